#include "app/forms/splash_frm.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

TSplashFrm *SplashFrm = nullptr;

TSplashFrm::TSplashFrm() {
  setObjectName("SplashFrm");
  setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setAttribute(Qt::WA_QuitOnClose, false);
  setAutoFillBackground(true);
  QPalette Pal = palette();
  Pal.setColor(QPalette::Window, Qt::white);
  setPalette(Pal);
  setFixedSize(350, 235);
  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setPixmap(QPixmap(":/app/splash.png"));
  Image1->adjustSize();
  Image1->move(0, 0);
  if (QScreen *S = QGuiApplication::primaryScreen()) {
    QRect Desk = S->geometry();
    move(Desk.left() + (Desk.width() - width()) / 2, Desk.top() + (Desk.height() - height()) / 2);
  }
}

void ShowSplashForm() {
  if (SplashFrm) return;
  SplashFrm = new TSplashFrm;
  SplashFrm->show();
  SplashFrm->repaint();
}

void FreeSplashForm() {
  delete SplashFrm;
  SplashFrm = nullptr;
}

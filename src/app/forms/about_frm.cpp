#include "app/forms/about_frm.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

#include "platform/application.h"
#include "platform/numbers.h"
#include "widgets/speed_button.h"

TAboutFrm::TAboutFrm(QWidget *Parent) : QDialog(Parent) {
  setObjectName("AboutFrm");
  setWindowTitle("About");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_QuitOnClose, false);
  QFont F("Arial");
  F.setPixelSize(MulDiv(8, Screen->PixelsPerInch(), 72));
  setFont(F);
  setFixedSize(279, 200);

  // A white lowered panel with the picture, the title, a line under it and the version.
  auto *Panel = new QFrame(this);
  Panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel->setAutoFillBackground(true);
  QPalette Pal = Panel->palette();
  Pal.setColor(QPalette::Window, Qt::white);
  Panel->setPalette(Pal);
  Panel->setGeometry(8, 8, 263, 145);
  ProgramIcon = new QLabel(Panel);
  ProgramIcon->setPixmap(QPixmap(":/app/about.png"));
  ProgramIcon->adjustSize();
  ProgramIcon->move(8, 8);
  ProductName = new QLabel("Vornelle", Panel);
  QFont Title("Arial");
  Title.setPixelSize(27);
  Title.setBold(true);
  ProductName->setFont(Title);
  ProductName->adjustSize();
  ProductName->move(88, 22);
  auto *Bevel = new QFrame(Panel);
  Bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  Bevel->setGeometry(88, 60, 160, 2);
  Version = new QLabel("Version 1.0", Panel);
  Version->adjustSize();
  Version->move(88, 72);
  auto *Note = new QLabel("Fields: an interactive course\nfor advanced physics", Panel);
  Note->adjustSize();
  Note->move(88, 96);

  OKButton = new TKitSpeedButton(this);
  OKButton->setObjectName("OKButton");
  OKButton->SetCaption("OK");
  OKButton->SetBounds(107, 163, 65, 27);
  OKButton->OnClick = [this] { done(QDialog::Accepted); };
  if (QScreen *S = QGuiApplication::primaryScreen()) {
    QRect Desk = S->geometry();
    move(Desk.left() + (Desk.width() - width()) / 2, Desk.top() + (Desk.height() - height()) / 2);
  }
}

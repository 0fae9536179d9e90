#include "app/forms/speed_frm.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include "platform/application.h"
#include "platform/numbers.h"

TSpeedFrm::TSpeedFrm(QWidget *Owner) : QDialog(Owner) {
  setObjectName("SpeedFrm");
  setWindowTitle("Set animation speed");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_QuitOnClose, false);
  QFont F("Arial");
  F.setPixelSize(MulDiv(8, Screen->PixelsPerInch(), 72));
  setFont(F);
  setFixedSize(283, 152);

  SlowLabel = new QLabel("slow", this);
  SlowLabel->setGeometry(16, 28, 40, 16);
  SpeedHsb = new QSlider(Qt::Horizontal, this);
  SpeedHsb->setObjectName("SpeedHsb");
  SpeedHsb->setRange(1, 10);
  SpeedHsb->setTickInterval(1);
  SpeedHsb->setTickPosition(QSlider::TicksBelow);
  SpeedHsb->setPageStep(1);
  SpeedHsb->setGeometry(52, 20, 180, 32);
  FastLabel = new QLabel("fast", this);
  FastLabel->setGeometry(240, 28, 30, 16);

  ApplyBtn = new QPushButton("apply", this);
  ApplyBtn->setObjectName("ApplyBtn");
  ApplyBtn->setGeometry(56, 100, 75, 25);
  ApplyBtn->setDefault(true);
  CancelBtn = new QPushButton("cancel", this);
  CancelBtn->setObjectName("CancelBtn");
  CancelBtn->setGeometry(152, 100, 75, 25);
  connect(ApplyBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  // Centred on the main window.
  if (Owner) {
    const QRect R = Owner->window()->frameGeometry();
    move(R.center() - QPoint(width() / 2, height() / 2));
  }
}

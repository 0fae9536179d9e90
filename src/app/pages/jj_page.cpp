#include "app/pages/jj_page.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/page_kit.h"
#include "platform/numbers.h"
#include "platform/paint_box.h"
#include "platform/qt_bridge.h"
#include "sim/thomson_tube.h"

TJJPage::TJJPage(TPageHost &H) : TTopicPage(H) {
  QWidget *Tab = Content(TSheet::JJ);
  QVBoxLayout *Col = MakeColumn(Tab, 4, 2);
  auto Changed = [this] { JJgunHsbChange(); };
  JJGunLabel = MakeLabel(Tab, "JJGunLabel", "Gun pd 200.00 V");
  JJgunHsb = MakeScrollBar(Tab, "JJgunHsb", Qt::Horizontal, 0, 100, 20, "", Changed);
  JJEfieldLabel = MakeLabel(Tab, "JJEfieldLabel", "Electric field 0.00 kV/m");
  JJEfieldHsb = MakeScrollBar(Tab, "JJEfieldHsb", Qt::Horizontal, 0, 200, 20, "", Changed);
  JJBfieldLabel = MakeLabel(Tab, "JJBfieldLabel", "Magnetic field 0.000 mT");
  JJBfieldHsb = MakeScrollBar(Tab, "JJBfieldHsb", Qt::Horizontal, 0, 500, 100, "", Changed);
  for (QWidget *W : {static_cast<QWidget *>(JJGunLabel), static_cast<QWidget *>(JJgunHsb),
                     static_cast<QWidget *>(JJEfieldLabel), static_cast<QWidget *>(JJEfieldHsb),
                     static_cast<QWidget *>(JJBfieldLabel), static_cast<QWidget *>(JJBfieldHsb)})
    Col->addWidget(W);
  for (QScrollBar *S : {JJgunHsb, JJEfieldHsb, JJBfieldHsb}) S->setPageStep(0);
  Label10 = MakeLabel(Tab, "Label10", "The magnetic field is perpendicular to the screen");
  Col->addWidget(Label10);
  QWidget *Box = MakeScrollBox(Tab, "JJSB");
  JJPic = MakePicture(Box, "JJPic", ThomsonPicWidth, ThomsonPicHeight, crDefault, "");
  JJPic->OnPaint = [this] { JJPicPaint(); };
  Col->addWidget(Box, 1);
  // The labels and the tube at the start values.
  JJgunHsbChange();
}

TJJPage::~TJJPage() { DestroyContent(); }

void TJJPage::Shown() { JJPic->Invalidate(); }

void TJJPage::JJgunHsbChange() {
  const TThomsonSettings S =
      ThomsonSettings(JJgunHsb->value(), JJEfieldHsb->value(), JJBfieldHsb->value());
  JJGunLabel->setText(ToQString(Format("Gun pd %f V", S.U)));
  JJEfieldLabel->setText(ToQString(Format("Electric field %f kV/m", S.E * 0.001)));
  JJBfieldLabel->setText(ToQString(Format("Magnetic field %1.3f mT", S.B * 1000)));
  JJPicPaint();
}

void TJJPage::JJPicPaint() {
  const TThomsonSettings S =
      ThomsonSettings(JJgunHsb->value(), JJEfieldHsb->value(), JJBfieldHsb->value());
  DrawThomsonTube(JJPic->Canvas(), S.V, S.B, S.E);
}

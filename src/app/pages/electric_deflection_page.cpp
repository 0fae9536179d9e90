#include "app/pages/electric_deflection_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/page_kit.h"
#include "platform/numbers.h"
#include "platform/paint_box.h"
#include "platform/qt_bridge.h"
#include "sim/electric_deflection.h"

TElectricDeflectionPage::TElectricDeflectionPage(TPageHost &H) : TTopicPage(H) {
  QWidget *Tab = Content(TSheet::EDef);
  QVBoxLayout *Col = MakeColumn(Tab, 4, 4);
  auto *Grid = new QGridLayout();
  Grid->setHorizontalSpacing(12);
  Grid->setVerticalSpacing(2);
  auto Changed = [this] { edfGunHsbChange(); };
  edfGunLabel = MakeLabel(Tab, "edfGunLabel", "");
  edfFieldLabel = MakeLabel(Tab, "edfFieldLabel", "");
  edfPlateLabel = MakeLabel(Tab, "edfPlateLabel", "");
  edfGunHsb = MakeScrollBar(Tab, "edfGunHsb", Qt::Horizontal, 100, 500, 200,
                            "set accelerating pd|Set the accelerating voltage for the electron gun", Changed);
  edfFieldHsb = MakeScrollBar(Tab, "edfFieldHsb", Qt::Horizontal, -100, 100, 0,
                              "set deflecting pd|Set the voltage applied to the deflecting plates", Changed);
  edfPlateHsb = MakeScrollBar(Tab, "edfPlateHsb", Qt::Horizontal, 10, 100, 20,
                              "set plate separation|Set the separation of the deflecting plates", Changed);
  Grid->addWidget(edfGunLabel, 0, 0);
  Grid->addWidget(edfFieldLabel, 0, 1);
  Grid->addWidget(edfGunHsb, 1, 0);
  Grid->addWidget(edfFieldHsb, 1, 1);
  Grid->addWidget(edfPlateLabel, 2, 0);
  Grid->addWidget(edfPlateHsb, 3, 0);
  Col->addLayout(Grid);
  EDefPic = MakePicture(Tab, "EDefPic", 350, 300, crDefault, "|Click on the scale to show a magnified view.");
  EDefPic->setFixedSize(350, 300); // the layout keeps the picture its size
  Col->addWidget(EDefPic, 0, Qt::AlignLeft | Qt::AlignTop);
  Col->addStretch(1);
  EDefPic->OnPaint = [this] { EDefPicPaint(); };
  EDefPic->OnMouseMove = [this](TShiftState, int X, int Y) { EDefPicMouseMove(X, Y); };
  EDefPic->OnMouseDown = [this](TMouseButton, TShiftState, int X, int Y) { EDefPicMouseDown(X, Y); };
  EDefPic->OnMouseUp = [this](TMouseButton, TShiftState, int, int) { EDefPicMouseUp(); };
  edfGunHsbChange();
}

TElectricDeflectionPage::~TElectricDeflectionPage() { DestroyContent(); }

void TElectricDeflectionPage::Shown() { EDefPic->Invalidate(); }

TRect TElectricDeflectionPage::PlateRect() const {
  const int G = edfPlateHsb->value();
  return Rect(60, 150 - G, 160, 150 + G);
}

void TElectricDeflectionPage::edfGunHsbChange() {
  edfGunLabel->setText(ToQString(Format("accelerating pd %f kV", edfGunHsb->value() / 100.0)));
  edfFieldLabel->setText(ToQString(Format("deflecting pd %f kV", edfFieldHsb->value() / 100.0)));
  // The scroll bar sets half the gap (PlateRect), in pixels at 20 to the centimetre.
  edfPlateLabel->setText(ToQString(Format("plate separation %f cm", edfPlateHsb->value() / 10.0)));
  EDefPicPaint();
}

void TElectricDeflectionPage::EDefPicPaint() {
  DrawElectricDeflection(EDefPic->Canvas(), edfGunHsb->value(), edfFieldHsb->value(), PlateRect());
}

void TElectricDeflectionPage::EDefPicMouseMove(int X, int Y) {
  EDefPic->SetCursor(PtInRect(ScreenRect, Point(X, Y)) ? crHandPoint : crDefault);
}

void TElectricDeflectionPage::EDefPicMouseDown(int X, int Y) {
  if (!PtInRect(ScreenRect, Point(X, Y))) return;
  // The close-up stays inside the picture.
  Y = std::clamp(Y, 55, 245);
  DrawScreenCloseUp(EDefPic->Canvas(), X, Y, edfGunHsb->value(), edfFieldHsb->value(), PlateRect());
}

void TElectricDeflectionPage::EDefPicMouseUp() { EDefPicPaint(); }

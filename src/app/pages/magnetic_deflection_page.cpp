#include "app/pages/magnetic_deflection_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/page_kit.h"
#include "platform/numbers.h"
#include "platform/paint_box.h"
#include "platform/qt_bridge.h"
#include "sim/magnetic_deflection.h"
#include "widgets/speed_button.h"

namespace {
const char *const GunHint = "Click and drag the electron gun to change its position";
const char *const RotateHint = "Drag to rotate the picture";
// The pointer cannot be confined, so the gun's top is: the region's bottom plus a little.
constexpr int GunTopMin = 0, GunTopMax = 301;
} // namespace

TMagneticDeflectionPage::TMagneticDeflectionPage(TPageHost &H) : TTopicPage(H) {
  QWidget *Tab = Content(TSheet::MagDef);
  QVBoxLayout *Col = MakeColumn(Tab, 4, 4);
  BDefToolbar = MakeToolbar(Tab, "BDefToolbar");
  FieldDirBtn = MakeSpeedButton(BDefToolbar, "FieldDirBtn", "field", "change field direction", "");
  FieldDirBtn->SetGroupIndex(1);
  FieldDirBtn->SetAllowAllUp(true);
  SetResourceGlyph(FieldDirBtn, "BOUT");
  FieldDirBtn->OnClick = [this] { FieldDirBtnClick(); };
  bdf3DBtn = MakeSpeedButton(BDefToolbar, "bdf3DBtn", "3D", "show 3D view", "threed");
  bdf3DBtn->SetGroupIndex(2);
  bdf3DBtn->SetAllowAllUp(true);
  bdf3DBtn->OnClick = [this] { bdf3DBtnClick(); };
  bdfResetBtn = MakeSpeedButton(BDefToolbar, "bdfResetBtn", "reset", "reset rotation", "reset");
  bdfResetBtn->SetEnabled(false);
  bdfResetBtn->OnClick = [this] { bdfResetBtnClick(); };
  Col->addWidget(BDefToolbar);

  auto *Grid = new QGridLayout();
  Grid->setHorizontalSpacing(12);
  Grid->setVerticalSpacing(2);
  auto Changed = [this] { bdfGunHsbChange(); };
  bdfGunLabel = MakeLabel(Tab, "bdfGunLabel", "");
  bdfFieldLabel = MakeLabel(Tab, "bdfFieldLabel", "");
  bdfAngleLabel = MakeLabel(Tab, "bdfAngleLabel", "");
  bdfGunHsb = MakeScrollBar(Tab, "bdfGunHsb", Qt::Horizontal, 10, 500, 100, "set accelerating voltage", Changed);
  bdfFieldHsb = MakeScrollBar(Tab, "bdfFieldHsb", Qt::Horizontal, 100, 1000, 500, "set magnetic field strength", Changed);
  GunAngleHsb = MakeScrollBar(Tab, "GunAngleHsb", Qt::Horizontal, -80, 80, 0, "set entry angle", Changed);
  Grid->addWidget(bdfGunLabel, 0, 0);
  Grid->addWidget(bdfFieldLabel, 0, 1);
  Grid->addWidget(bdfGunHsb, 1, 0);
  Grid->addWidget(bdfFieldHsb, 1, 1);
  Grid->addWidget(bdfAngleLabel, 2, 0);
  Grid->addWidget(GunAngleHsb, 3, 0);
  Col->addLayout(Grid);

  MagDefPic = MakePicture(Tab, "MagDefPic", 350, 320, crDefault, GunHint);
  MagDefPic->setFixedSize(350, 320); // the layout keeps the picture its size
  Col->addWidget(MagDefPic, 0, Qt::AlignLeft | Qt::AlignTop);
  // Labelled by the physics: the button up at start gives the field out of the screen.
  DirectionLabel = MakeLabel(Tab, "DirectionLabel", "Magnetic field out of screen");
  Col->addWidget(DirectionLabel);
  Col->addStretch(1);
  MagDefPic->OnPaint = [this] { MagDefPicPaint(); };
  MagDefPic->OnMouseDown = [this](TMouseButton, TShiftState, int X, int Y) { MagDefPicMouseDown(X, Y); };
  MagDefPic->OnMouseMove = [this](TShiftState, int X, int Y) { MagDefPicMouseMove(X, Y); };
  MagDefPic->OnMouseUp = [this](TMouseButton, TShiftState, int, int) { MagDefPicMouseUp(); };
  bdfGunHsbChange();
}

TMagneticDeflectionPage::~TMagneticDeflectionPage() { DestroyContent(); }

void TMagneticDeflectionPage::UpdateIdleState(bool) {
  bdfResetBtn->SetEnabled(bdf3DBtn->Down() && !(BDefView == StartView));
}

void TMagneticDeflectionPage::Shown() { MagDefPic->Invalidate(); }

void TMagneticDeflectionPage::Stop(TStopCause) { Dragging = false; }

void TMagneticDeflectionPage::MagDefPicPaint() {
  const int U = bdfGunHsb->value(), B = bdfFieldHsb->value(), Angle = GunAngleHsb->value();
  const LongBool Dir = FieldDirBtn->Down();
  if (bdf3DBtn->Down()) DrawMagneticDeflection3D(MagDefPic->Canvas(), U, B, BDefView, Angle, Dir);
  else DrawMagneticDeflection(MagDefPic->Canvas(), U, B, Angle, Dir);
}

void TMagneticDeflectionPage::bdfGunHsbChange() {
  bdfFieldLabel->setText(ToQString(Format("field %f mT", bdfFieldHsb->value() / 100.0)));
  bdfGunLabel->setText(ToQString(Format("gun p.d. %f kV", bdfGunHsb->value() / 100.0)));
  bdfAngleLabel->setText(ToQString(Format("angle %d", GunAngleHsb->value())));
  MagDefPicPaint();
}

void TMagneticDeflectionPage::FieldDirBtnClick() {
  MagDefPicPaint();
  const bool Into = FieldDirBtn->Down();
  SetResourceGlyph(FieldDirBtn, Into ? "BIN" : "BOUT");
  DirectionLabel->setText(Into ? "Magnetic field into screen" : "Magnetic field out of screen");
}

void TMagneticDeflectionPage::bdf3DBtnClick() {
  Dragging = false;
  const bool ThreeD = bdf3DBtn->Down();
  MagDefPicPaint();
  DirectionLabel->setVisible(!ThreeD);
  MagDefPic->SetCursor(ThreeD ? crHandPoint : crDefault);
  SetHint(MagDefPic, ThreeD ? RotateHint : GunHint);
}

void TMagneticDeflectionPage::bdfResetBtnClick() {
  BDefView = StartView;
  MagDefPicPaint();
}

void TMagneticDeflectionPage::MagDefPicMouseDown(int X, int Y) {
  if (bdf3DBtn->Down()) {
    Dragging = true;
    Turning.Start(X, Y, BDefView);
  } else if (PtInRect(GunRect, Point(X, Y))) {
    Dragging = true;
    GrabY = Y - GunRect.Top;
  }
}

void TMagneticDeflectionPage::MagDefPicMouseMove(int X, int Y) {
  if (bdf3DBtn->Down()) {
    if (!Dragging) return;
    BDefView = Turning.Move(X, Y, 90);
    MagDefPicPaint();
    return;
  }
  if (!Dragging) {
    MagDefPic->SetCursor(PtInRect(GunRect, Point(X, Y)) ? crHandPoint : crDefault);
    return;
  }
  const int Top = std::clamp(Y - GrabY, GunTopMin, GunTopMax);
  GunRect = Rect(4, Top, 30, Top + 20);
  MagDefPicPaint();
}

void TMagneticDeflectionPage::MagDefPicMouseUp() { Dragging = false; }

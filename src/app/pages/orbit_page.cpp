#include "app/pages/orbit_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/page_kit.h"
#include "platform/frame_pacer.h"
#include "platform/numbers.h"
#include "platform/paint_box.h"
#include "platform/qt_bridge.h"
#include "sim/planet_orbit.h"
#include "sim/shared_constants.h"
#include "widgets/speed_button.h"

namespace {
const char *const PicHint =
    "Drag with left mouse button to zoom; drag with right mouse button to pan";
} // namespace

int &OrbitScale() {
  static int Scale = 100;
  return Scale;
}

TOrbitPage::TOrbitPage(TPageHost &H) : TTopicPage(H) {
  QWidget *Tab = Content(TSheet::Orbit);
  QVBoxLayout *Col = MakeColumn(Tab);
  QWidget *Toolbar = MakeToolbar(Tab, "OrbitToolbar");
  orbStartBtn = MakeSpeedButton(Toolbar, "orbStartBtn", "start", "start motion", "run");
  orbStartBtn->OnClick = [this] { orbStartBtnClick(); };
  orbStopBtn = MakeSpeedButton(Toolbar, "orbStopBtn", "stop", "stop motion", "stop");
  orbStopBtn->OnClick = [this] { orbStopBtnClick(); };
  orbStopBtn->SetEnabled(false);
  orbCenterBtn = MakeSpeedButton(Toolbar, "orbCenterBtn", "centre", "centre display", "centre");
  orbCenterBtn->OnClick = [this] { orbCenterBtnClick(); };
  Col->addWidget(Toolbar);

  auto *Grid = new QGridLayout();
  Grid->setContentsMargins(4, 2, 4, 2);
  Grid->setHorizontalSpacing(12);
  Grid->setVerticalSpacing(1);
  auto Changed = [this] { PlanetXhsbChange(); };
  PlanetXlabel = MakeLabel(Tab, "PlanetXlabel", "x");
  PlanetYlabel = MakeLabel(Tab, "PlanetYlabel", "y");
  PlanetVXlabel = MakeLabel(Tab, "PlanetVXlabel", "Vx");
  PlanetVYlabel = MakeLabel(Tab, "PlanetVYlabel", "Vy");
  PlanetXhsb = MakeScrollBar(Tab, "PlanetXhsb", Qt::Horizontal, -550, 550, 100,
                             "set initial position", Changed);
  PlanetYhsb = MakeScrollBar(Tab, "PlanetYhsb", Qt::Horizontal, -550, 550, 0,
                             "set initial position", Changed);
  PlanetVxhsb = MakeScrollBar(Tab, "PlanetVxhsb", Qt::Horizontal, -300, 300, 0,
                              "set initial speed", Changed);
  PlanetVYhsb = MakeScrollBar(Tab, "PlanetVYhsb", Qt::Horizontal, -300, 300, 100,
                              "set initial speed", Changed);
  Grid->addWidget(PlanetXlabel, 0, 0);
  Grid->addWidget(PlanetYlabel, 0, 1);
  Grid->addWidget(PlanetXhsb, 1, 0);
  Grid->addWidget(PlanetYhsb, 1, 1);
  Grid->addWidget(PlanetVXlabel, 2, 0);
  Grid->addWidget(PlanetVYlabel, 2, 1);
  Grid->addWidget(PlanetVxhsb, 3, 0);
  Grid->addWidget(PlanetVYhsb, 3, 1);
  Col->addLayout(Grid);

  QWidget *Box = MakeScrollBox(Tab, "OrbitSB");
  OrbitPic = MakePicture(Box, "OrbitPic", OrbitPicSize, OrbitPicSize, crHandPoint, PicHint);
  OrbitPic->OnPaint = [this] { OrbitPicPaint(); };
  OrbitPic->OnMouseDown = [this](TMouseButton Btn, TShiftState, int X, int Y) {
    OrbitPicMouseDown(Btn, X, Y);
  };
  OrbitPic->OnMouseMove = [this](TShiftState, int X, int Y) { OrbitPicMouseMove(X, Y); };
  OrbitPic->OnMouseUp = [this](TMouseButton, TShiftState, int X, int Y) {
    OrbitPicMouseUp(X, Y);
  };
  Col->addWidget(Box, 1);
  // The labels and the still picture at the start values.
  PlanetXhsbChange();
}

TOrbitPage::~TOrbitPage() { DestroyContent(); }

void TOrbitPage::Shown() {
  if (!Running()) OrbitPic->Invalidate();
}

void TOrbitPage::Stop(TStopCause) {
  if (Running()) RequestStop();
  MouseMode = 0;
}

void TOrbitPage::DrawSetup() {
  DrawOrbitSetup(OrbitPic->Canvas(), View(), PlanetXhsb->value(), PlanetYhsb->value(),
                 PlanetVxhsb->value(), PlanetVYhsb->value());
}

void TOrbitPage::PlanetXhsbChange() {
  if (Running()) RequestStop();
  orbStartBtn->SetEnabled(true);
  orbStopBtn->SetEnabled(false);
  PlanetXlabel->setText(ToQString(Format("x %f", PlanetXhsb->value() / 100.0)));
  PlanetYlabel->setText(ToQString(Format("y %f", PlanetYhsb->value() / 100.0)));
  PlanetVXlabel->setText(ToQString(Format("Vx %f", PlanetVxhsb->value() / 100.0)));
  PlanetVYlabel->setText(ToQString(Format("Vy %f", PlanetVYhsb->value() / 100.0)));
  DrawSetup();
}

void TOrbitPage::orbStartBtnClick() {
  const double X = PlanetXhsb->value() / 100.0, Y = PlanetYhsb->value() / 100.0,
               VX = PlanetVxhsb->value() / 100.0, VY = PlanetVYhsb->value() / 100.0;
  Run({{orbStartBtn}, {orbStopBtn}}, [this, X, Y, VX, VY](const TYield &Yield) {
    TFramePacer Pacer;
    RunOrbit(
        OrbitPic->Canvas(), [this] { return View(); }, X, Y, VX, VY,
        [&] {
          Pacer.WaitForNextFrame();
          return Yield();
        });
  });
}

void TOrbitPage::orbStopBtnClick() {
  if (Running()) RequestStop();
  orbStartBtn->SetEnabled(true);
  orbStopBtn->SetEnabled(false);
}

void TOrbitPage::orbCenterBtnClick() {
  OrbitOriginX = 200;
  OrbitOriginY = 200;
  if (!Running()) DrawSetup();
}

void TOrbitPage::OrbitPicPaint() {
  if (!Running()) DrawSetup();
}

void TOrbitPage::OrbitPicMouseDown(TMouseButton Button, int X, int Y) {
  LastX = X;
  LastY = Y;
  ScaleAtGrab = OrbitScale();
  if (Button == mbLeft) MouseMode = 3;
  else if (Button == mbRight) MouseMode = 2;
}

void TOrbitPage::OrbitPicMouseMove(int X, int Y) {
  if (MouseMode == 2) {
    // Kept within reach of the picture, so that a long drag cannot overflow.
    OrbitOriginX = std::clamp(OrbitOriginX + (X - LastX), -100000, 100000);
    OrbitOriginY = std::clamp(OrbitOriginY + (Y - LastY), -100000, 100000);
    LastX = X;
    LastY = Y;
  } else if (MouseMode == 3) {
    OrbitScale() = std::clamp(ScaleAtGrab + (X - LastX), MinOrbitScale, MaxOrbitScale);
  } else {
    return;
  }
  if (!Running()) DrawSetup();
}

void TOrbitPage::OrbitPicMouseUp(int X, int Y) {
  LastX = X;
  LastY = Y;
  MouseMode = 0;
  if (!Running()) DrawSetup();
}

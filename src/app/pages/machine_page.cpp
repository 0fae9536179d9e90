#include "app/pages/machine_page.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/frame_pacer.h"
#include "platform/numbers.h"
#include "platform/paint_box.h"
#include "sim/lenz.h"
#include "sim/machine_scene.h"
#include "sim/shared_constants.h"
#include "widgets/speed_button.h"

namespace {

const char *const PicHint = "Use left mouse button to rotate the view; right mouse button to pan.";
constexpr int StartTilt = -15, StartAzimuth = 30;
constexpr int MotorStartX = 200, MotorStartY = 200, DynamoStartX = 200, DynamoStartY = 150;
// The view turns 85 degrees for a drag across 200 pixels (150 up the dynamo's picture).
constexpr int TurnLimit = 85;

int Limit(int A) { return std::clamp(A, -TurnLimit, TurnLimit); }

// A scroll bar with its picture's toolbar row.
QScrollBar *AngleBar(QWidget *Parent, const char *Name, const char *Hint, std::function<void()> OnChange) {
  QScrollBar *B = MakeScrollBar(Parent, Name, Qt::Horizontal, 0, 360, 0, Hint, std::move(OnChange));
  B->setMinimumWidth(160);
  return B;
}

} // namespace

TMachinePage::TMachinePage(TPageHost &H) : TTopicPage(H) {
  BuildMotorSheet();
  BuildDynamoSheet();
  // The e.m.f. over one turn, and the marker at angle 0.
  PlotDynamoEmf();
  Series4->AddXY(0, 0);
}

TMachinePage::~TMachinePage() {
  delete SpeedFrm.data();
  UnhostChart(DynChart, DynChartBox);
  DestroyContent();
}

void TMachinePage::BuildMotorSheet() {
  QWidget *Sheet = Content(TSheet::Motor);
  QVBoxLayout *Col = MakeColumn(Sheet);
  QWidget *Bar = MakeToolbar(Sheet, "MotorToolbar");
  MotorZoomBtn = MakeSpeedButton(Bar, "MotorZoomBtn", "zoom", "", "zoom");
  MotorZoomPU = MakePopupMenu(Sheet, "MotorZoomPU");
  for (auto [Caption, Tag] : {std::pair{"100%", 10}, {"150%", 15}, {"200%", 20}})
    AddMenuItem(MotorZoomPU, Caption, Tag, [this, T = Tag] { DoMotorZoom(T); });
  MotorZoomBtn->SetDropDownMenu(MotorZoomPU);
  MotorZoomBtn->OnPopup = [this] { MotorZoomPUPopup(); };
  MotorResetBtn = MakeSpeedButton(Bar, "MotorResetBtn", "reset", "reset rotation/pan", "reset");
  MotorResetBtn->SetEnabled(false);
  MotorResetBtn->OnClick = [this] { MotorResetBtnClick(); };
  MotorStartBtn = MakeSpeedButton(Bar, "MotorStartBtn", "start", "", "run");
  MotorStartBtn->OnClick = [this] { MotorStartBtnClick(); };
  MotorStopBtn = MakeSpeedButton(Bar, "MotorStopBtn", "stop", "", "stop");
  MotorStopBtn->SetEnabled(false);
  MotorStopBtn->OnClick = [this] { MotorStopBtnClick(); };
  TFlowLayout *Row = ToolbarLayout(Bar);
  Row->AddSpacing(8);
  MotorHsb = AngleBar(Bar, "MotorHsb", "turn motor", [this] { MotorHsbChange(); });
  Row->addWidget(MotorHsb);
  Col->addWidget(Bar);

  QScrollArea *Box = MakeScrollBox(Sheet, "MotorSB");
  MotorPic = MakePicture(Box, "MotorPic", 401, 401, crHandPoint, PicHint);
  Col->addWidget(Box, 1);
  MotorPic->OnPaint = [this] { MotorPicPaint(); };
  MotorPic->OnMouseDown = [this](TMouseButton B, TShiftState, int X, int Y) { MotorPicMouseDown(B, X, Y); };
  MotorPic->OnMouseMove = [this](TShiftState, int X, int Y) { MotorPicMouseMove(X, Y); };
  MotorPic->OnMouseUp = [this](TMouseButton, TShiftState, int, int) { MotorPicMouseUp(); };
}

void TMachinePage::BuildDynamoSheet() {
  QWidget *Sheet = Content(TSheet::Dyna);
  QVBoxLayout *Col = MakeColumn(Sheet);
  QWidget *Bar = MakeToolbar(Sheet, "DynaToolbar");
  DynResetBtn = MakeSpeedButton(Bar, "DynResetBtn", "reset", "reset rotation/pan", "reset");
  DynResetBtn->SetEnabled(false);
  DynResetBtn->OnClick = [this] { DynResetBtnClick(); };
  DynStartBtn = MakeSpeedButton(Bar, "DynStartBtn", "start", "start animation", "run");
  DynStartBtn->OnClick = [this] { DynStartBtnClick(); };
  DynStopBtn = MakeSpeedButton(Bar, "DynStopBtn", "stop", "stop animation", "stop");
  DynStopBtn->SetEnabled(false);
  DynStopBtn->OnClick = [this] { DynStopBtnClick(); };
  KitSpeedButton2 = MakeSpeedButton(Bar, "KitSpeedButton2", "zoom", "set zoom level", "zoom");
  KitSpeedButton2->SetDropDownMenu(MotorZoomPU);
  KitSpeedButton2->OnPopup = [this] { MotorZoomPUPopup(); };
  DRotBtn = MakeSpeedButton(Bar, "DRotBtn", "", "", "drot");
  DRotBtn->SetGroupIndex(1);
  DRotBtn->SetAllowAllUp(true);
  DRotBtn->OnClick = [this] { DRotBtnClick(); };
  TFlowLayout *Row = ToolbarLayout(Bar);
  Row->AddSpacing(8);
  DynamoHsb = AngleBar(Bar, "DynamoHsb", "turn dynamo", [this] { DynamoHsbChange(); });
  Row->addWidget(DynamoHsb);
  Col->addWidget(Bar);

  auto *Split = new QSplitter(Qt::Vertical, Sheet);
  Split->setObjectName("DynSplitter");
  Split->setChildrenCollapsible(false);
  QScrollArea *Box = MakeScrollBox(Split, "DynaSB");
  DynaPic = MakePicture(Box, "DynaPic", 401, 301, crHandPoint, PicHint);
  Box->setMinimumHeight(120);
  DynChartBox = MakePicture(Split, "DynChartBox", 200, 120, crHandPoint, "");
  DynChartBox->setMinimumSize(100, 80);
  DynChartBox->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  Split->addWidget(Box);
  Split->addWidget(DynChartBox);
  Split->setStretchFactor(0, 3);
  Split->setStretchFactor(1, 2);
  Split->setSizes({305, 200});
  Col->addWidget(Split, 1);
  DynaPic->OnPaint = [this] { DynaPicPaint(); };
  DynaPic->OnMouseDown = [this](TMouseButton B, TShiftState, int X, int Y) { DynaPicMouseDown(B, X, Y); };
  DynaPic->OnMouseMove = [this](TShiftState, int X, int Y) { DynaPicMouseMove(X, Y); };
  DynaPic->OnMouseUp = [this](TMouseButton, TShiftState, int, int) { DynaPicMouseUp(); };

  DynChart.SetView3D(false);
  DynChart.SetColor(clWhite);
  DynChart.SetBackColor(clWhite);
  DynChart.Title.SetVisible(false);
  DynChart.Legend.SetVisible(false);
  DynChart.BottomAxis.SetVisible(false);
  DynChart.LeftAxis.Title.SetCaption("emf");
  Series3 = DynChart.AddSeries<TFastLineSeries>();
  Series3->Name = "Series3";
  Series3->SetSeriesColor(clRed);
  Series4 = DynChart.AddSeries<TPointSeries>();
  Series4->Name = "Series4";
  Series4->SetSeriesColor(clGreen);
  Series4->Pointer.SetStyle(psCircle);
  Series4->Pointer.SetVisible(true);
  Series4->Marks.SetVisible(false);
  HostChart(DynChart, DynChartBox, "");
}

// ---- Page hooks ----

void TMachinePage::Shown() {
  if (Host.ActiveSheet() == TSheet::Motor) MotorPic->Invalidate();
  if (Host.ActiveSheet() == TSheet::Dyna) {
    DynaPic->Invalidate();
    DynChart.Invalidate();
  }
}

void TMachinePage::Stop(TStopCause) {
  // The running loop (if any) sees AbortFlag and puts its buttons back; a drag ends.
  MouseMode = 0;
}

bool TMachinePage::UsesMenu(TSharedMenu Menu, TSheet S) const {
  return Menu == TSharedMenu::Speed && (S == TSheet::Motor || S == TSheet::Dyna);
}

void TMachinePage::MenuPopup(TSharedMenu Menu) {
  if (Menu != TSharedMenu::Speed) return;
  if (QAction *A = Host.MenuItem(TMenuItem::DoubleRotation); A && Host.ActiveSheet() == TSheet::Dyna) {
    A->setEnabled(true);
    A->setChecked(DRotBtn->Down());
  }
}

void TMachinePage::MenuClick(TMenuItem Item) {
  if (Item == TMenuItem::SetAnimationSpeed) {
    SetAnimationSpeedClick();
  } else if (Item == TMenuItem::DoubleRotation && Host.ActiveSheet() == TSheet::Dyna) {
    DRotBtn->SetDown(!DRotBtn->Down());
    DRotBtnClick();
  }
}

void TMachinePage::SetAnimationSpeedClick() {
  const bool Motor = Host.ActiveSheet() == TSheet::Motor;
  if (!Motor && Host.ActiveSheet() != TSheet::Dyna) return;
  if (SpeedFrm) return; // one dialog at a time
  int &Step = Motor ? MotorStep : DynamoStep;
  SpeedFrm = new TSpeedFrm(Host.SheetWidget(Host.ActiveSheet())->window());
  SpeedFrm->SpeedHsb->setValue(Step);
  std::weak_ptr<int> Alive = AliveToken();
  const int Result = SpeedFrm->exec();
  if (Alive.expired()) return;
  if (SpeedFrm) {
    if (Result == QDialog::Accepted) Step = SpeedFrm->SpeedHsb->value();
    delete SpeedFrm.data();
  }
  SpeedFrm = nullptr;
}

// ---- Zoom, shared by both pages ----

void TMachinePage::MotorZoomPUPopup() {
  const TSheet S = Host.ActiveSheet();
  if (S == TSheet::Motor) TickTag(MotorZoomPU, GetMotorZoom());
  else if (S == TSheet::Dyna) TickTag(MotorZoomPU, GetDynamoZoom());
  else TickTag(MotorZoomPU, -1);
}

void TMachinePage::DoMotorZoom(int Tag) {
  const TSheet S = Host.ActiveSheet();
  if (S == TSheet::Motor) {
    SetMotorZoom(Tag);
    MotorPicPaint();
  } else if (S == TSheet::Dyna) {
    SetDynamoZoom(Tag);
    DynaPicPaint();
  }
}

// ---- The animation ----

void TMachinePage::Animate(QScrollBar *Bar, const int &Step, const TYield &Yield) {
  TFramePacer Pacer;
  int P = Bar->value();
  do {
    P += Step;
    if (P >= Bar->maximum()) P = 0;
    Bar->setValue(P); // its change handler draws the frame
    Pacer.WaitForNextFrame();
  } while (Yield());
}

// ---- DC motor ----

void TMachinePage::MotorPicPaint() { DrawMotor(MotorPic->Canvas(), MotorTilt, MotorAzimuth, MotorHsb->value()); }

void TMachinePage::MotorHsbChange() { MotorPicPaint(); }

void TMachinePage::MotorPicMouseDown(TMouseButton Button, int X, int Y) {
  if (Button == mbLeft) {
    // Grabbed with the same scale the move uses, so a click without a drag keeps the view.
    MouseMode = 1;
    GrabX = X - MulDiv(200, MotorAzimuth, TurnLimit);
    GrabY = Y + MulDiv(200, MotorTilt, TurnLimit);
  } else {
    MouseMode = 2;
    GrabX = X - MotorCentreX;
    GrabY = Y - MotorCentreY;
  }
}

void TMachinePage::MotorPicMouseMove(int X, int Y) {
  if (MouseMode == 0) return;
  if (MouseMode == 1) {
    MotorAzimuth = Limit(MulDiv(TurnLimit, X - GrabX, 200));
    MotorTilt = Limit(MulDiv(TurnLimit, GrabY - Y, 200));
  } else {
    MotorCentreX = X - GrabX;
    MotorCentreY = Y - GrabY;
  }
  MotorPicPaint();
  MotorResetBtn->SetEnabled(MotorTilt != StartTilt || MotorAzimuth != StartAzimuth ||
                            MotorCentreX != MotorStartX || MotorCentreY != MotorStartY);
}

void TMachinePage::MotorPicMouseUp() { MouseMode = 0; }

void TMachinePage::MotorResetBtnClick() {
  MotorTilt = StartTilt;
  MotorAzimuth = StartAzimuth;
  MotorCentreX = MotorStartX;
  MotorCentreY = MotorStartY;
  MotorResetBtn->SetEnabled(false);
  MotorPicPaint();
}

void TMachinePage::MotorStartBtnClick() {
  Run({{MotorStartBtn}, {MotorStopBtn}},
      [this](const TYield &Yield) { Animate(MotorHsb, MotorStep, Yield); });
}

void TMachinePage::MotorStopBtnClick() {
  RequestStop();
  MotorStartBtn->SetEnabled(true);
  MotorStopBtn->SetEnabled(false);
}

// ---- Dynamo ----

int TMachinePage::DynamoFactor() const { return DRotBtn->Down() ? 2 : 1; }

void TMachinePage::PlotDynamoEmf() {
  TChartSeriesSink Sink(*Series3);
  ::PlotDynamoEmf(Sink, DynamoFactor());
}

void TMachinePage::MoveDynamoMarker() {
  if (Series4->Count() < 1) return;
  const int Theta = DynamoHsb->value();
  Series4->SetXValue(0, Theta);
  Series4->SetYValue(0, DynamoEmf(Theta, DynamoFactor()));
}

// Every redraw shows the coil at k theta, where the e.m.f. marker stands.
void TMachinePage::DynaPicPaint() {
  DrawDynamo(DynaPic->Canvas(), DynamoTilt, DynamoAzimuth, DynamoFactor() * DynamoHsb->value());
}

void TMachinePage::DynamoHsbChange() {
  DynaPicPaint();
  MoveDynamoMarker();
}

void TMachinePage::DRotBtnClick() {
  PlotDynamoEmf();
  MoveDynamoMarker();
  DynaPicPaint();
}

void TMachinePage::DynaPicMouseDown(TMouseButton Button, int X, int Y) {
  if (Button == mbLeft) {
    MouseMode = 1;
    GrabX = X - MulDiv(200, DynamoAzimuth, TurnLimit);
    GrabY = Y + MulDiv(150, DynamoTilt, TurnLimit);
  } else {
    MouseMode = 2;
    GrabX = X - DynamoCentreX;
    GrabY = Y - DynamoCentreY;
  }
}

void TMachinePage::DynaPicMouseMove(int X, int Y) {
  if (MouseMode == 0) return;
  if (MouseMode == 1) {
    DynamoAzimuth = Limit(MulDiv(TurnLimit, X - GrabX, 200));
    DynamoTilt = Limit(MulDiv(TurnLimit, GrabY - Y, 150));
  } else {
    DynamoCentreX = X - GrabX;
    DynamoCentreY = Y - GrabY;
  }
  DynaPicPaint();
  DynResetBtn->SetEnabled(DynamoTilt != StartTilt || DynamoAzimuth != StartAzimuth ||
                          DynamoCentreX != DynamoStartX || DynamoCentreY != DynamoStartY);
}

void TMachinePage::DynaPicMouseUp() { MouseMode = 0; }

void TMachinePage::DynResetBtnClick() {
  DynamoTilt = StartTilt;
  DynamoAzimuth = StartAzimuth;
  DynamoCentreX = DynamoStartX;
  DynamoCentreY = DynamoStartY;
  DynResetBtn->SetEnabled(false);
  DynaPicPaint();
}

void TMachinePage::DynStartBtnClick() {
  Run({{DynStartBtn}, {DynStopBtn}},
      [this](const TYield &Yield) { Animate(DynamoHsb, DynamoStep, Yield); });
}

void TMachinePage::DynStopBtnClick() {
  RequestStop();
  DynStartBtn->SetEnabled(true);
  DynStopBtn->SetEnabled(false);
}

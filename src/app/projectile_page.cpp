#include "app/projectile_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>

#include "app/field_frm.h"
#include "platform/application.h"
#include "platform/numbers.h"
#include "platform/paint_box.h"
#include "platform/printer.h"

namespace {
constexpr float Pi = 3.14159265358979f;
// Guards a path that would never reach the ground (it always does: ay <= 0 and vy falls).
constexpr int MaxSteps = 1000000;
} // namespace

void PlotDragPath(TChartSeries &Series, int Angle, float Speed, float Height, float Drag) {
  // Newton with linear drag, per kilogram: a = g - k v; g = 9.81 m/s^2 downwards, k in 1/s.
  const float dt = 0.01f;
  const float A = float(Angle) * Pi / 180.0f;
  float vx = std::cos(A) * Speed, vy = std::sin(A) * Speed;
  float x = 0, y = Height;
  int n = 0;
  float ax = -Drag * vx, ay = -9.81f - Drag * vy;
  Series.Clear();
  Series.AddXY(0, Height);
  do {
    x = x + vx * dt + 0.5f * ax * dt * dt;
    y = y + vy * dt + 0.5f * ay * dt * dt;
    ++n;
    if (n % 10 == 0) Series.AddXY(x, y);
    ax = -Drag * vx;
    ay = -9.81f - Drag * vy;
    if (ay > 0) ay = 0;
    vy = vy + ay * dt;
    vx = vx + ax * dt;
    if (vx < 0) vx = 0;
  } while (!(y < 0) && n < MaxSteps);
}

float IdealFlightTime(int Angle, float Speed, float Height) {
  const float vy = std::sin(float(Angle) * Pi / 180.0f) * Speed;
  // Lands when h + vy t - g t^2 / 2 = 0, g = 9.81 m/s^2.
  return (std::sqrt(vy * vy + 19.62f * Height) + vy) / 9.81f;
}

void PlotIdealPath(TChartSeries &Series, int Angle, float Speed, float Height) {
  const float A = float(Angle) * Pi / 180.0f;
  const float vx = std::cos(A) * Speed, vy = std::sin(A) * Speed;
  const float T = (std::sqrt(vy * vy + 19.62f * Height) + vy) / 9.81f;
  const float dt = T / 200;
  Series.Clear();
  for (int i = 0; i <= 200; ++i) {
    const float t = float(i) * dt;
    Series.AddXY(vx * t, vy * t - 4.905f * t * t + Height);
  }
}

void SetUpProjectileChart(TChart &C, TPointSeries *&S1, TFastLineSeries *&S2) {
  C.SetView3D(false);
  C.SetColor(clWhite);
  C.SetBackColor(clWhite);
  C.Title.SetVisible(false);
  C.Legend.SetVisible(false);
  C.Legend.Alignment = laTop;
  C.AnimatedZoom = true;
  C.SetCursor(crChartHand);
  C.SavedCursor = crChartHand;
  C.BottomAxis.SetMinMax(0, 20);
  C.LeftAxis.SetMinMax(0, 16);
  C.BottomAxis.Title.SetCaption("horizontal distance (m)");
  C.LeftAxis.Title.SetCaption("height (m)");
  for (TCustomChartAxis *A : {static_cast<TCustomChartAxis *>(&C.BottomAxis),
                              static_cast<TCustomChartAxis *>(&C.LeftAxis)}) {
    A->Axis.SetWidth(1);
    A->SetMinorTickCount(5);
  }
  S1 = C.AddSeries<TPointSeries>();
  S1->Name = "Series1";
  S1->Title = "with drag";
  S1->SetSeriesColor(clRed);
  S1->Pointer.SetStyle(psCircle);
  S1->Pointer.SetVisible(true);
  S1->Pointer.InflateMargins = true;
  S1->Marks.SetVisible(false);
  S1->XValues().Order = TChartListOrder::loAscending;
  S1->YValues().Order = TChartListOrder::loNone;
  S2 = C.AddSeries<TFastLineSeries>();
  S2->Name = "Series2";
  S2->Title = "no drag";
  S2->SetSeriesColor(clGreen);
  S2->XValues().Order = TChartListOrder::loAscending;
  S2->YValues().Order = TChartListOrder::loNone;
}

TRect GetChartPrintRect() {
  TPrinter &P = Printer();
  const int Left = P.PixelsPerInchX() - P.PhysicalOffsetX();
  const int Top = P.PixelsPerInchY() - P.PhysicalOffsetY();
  return TRect(Left, Top, P.PageWidth() - Left, MulDiv(P.PageHeight(), 2, 3));
}

namespace {
QScrollBar *MakeBar(QWidget *Parent, int Max, int Position, const char *Hint) {
  auto *B = new QScrollBar(Qt::Horizontal, Parent);
  B->setRange(0, Max);
  B->setPageStep(1);
  B->setValue(Position);
  B->setToolTip(QString::fromUtf8(Hint));
  B->setStatusTip(QString::fromUtf8(Hint));
  return B;
}
} // namespace

TProjectilePage::TProjectilePage(TFieldFrm &AForm) : Form(AForm) {
  QWidget *Tab = Form.ProjectileTab;
  auto *Layout = new QVBoxLayout(Tab);
  Layout->setContentsMargins(4, 4, 4, 4);
  Layout->setSpacing(4);
  auto *Grid = new QGridLayout();
  Grid->setHorizontalSpacing(12);
  Grid->setVerticalSpacing(2);
  gfSpeedLabel = new QLabel(Tab);
  gfHeightLabel = new QLabel(Tab);
  gfAngleLabel = new QLabel(Tab);
  gfDragLabel = new QLabel(Tab);
  gfSpeedHsb = MakeBar(Tab, 100, 50, "set inital speed");
  gfHeightHsb = MakeBar(Tab, 100, 50, "set initial height");
  gfAngleHsb = MakeBar(Tab, 90, 45, "set initial angle");
  gfDragHsb = MakeBar(Tab, 100, 0, "set drag factor");
  Grid->addWidget(gfSpeedLabel, 0, 0);
  Grid->addWidget(gfHeightLabel, 0, 1);
  Grid->addWidget(gfSpeedHsb, 1, 0);
  Grid->addWidget(gfHeightHsb, 1, 1);
  Grid->addWidget(gfAngleLabel, 2, 0);
  Grid->addWidget(gfDragLabel, 2, 1);
  Grid->addWidget(gfAngleHsb, 3, 0);
  Grid->addWidget(gfDragHsb, 3, 1);
  Layout->addLayout(Grid);
  gfChartBox = new TPaintBox(Tab);
  gfChartBox->Color = clWhite;
  gfChartBox->setMinimumSize(200, 150);
  const char *ChartHint = "Drag with left mouse button to zoom; Drag with right mouse button to pan";
  gfChartBox->setToolTip(QString::fromUtf8(ChartHint));
  Layout->addWidget(gfChartBox, 1);

  SetUpProjectileChart(gfChart, Series1, Series2);
  gfChart.SetWindowCanvas(&gfChartBox->Canvas());
  TPaintBox *Box = gfChartBox;
  gfChart.OnRequestPaint = [Box] { Box->Invalidate(); };
  // Frames of the zoom animation and the zoom rectangle are shown at once.
  gfChart.OnFlush = [Box] { Box->repaint(); };
  gfChart.OnCursorChange = [Box](int C) { Box->SetCursor(C == crChartHand ? crHandPoint : C); };
  Box->SetCursor(crHandPoint);
  Box->OnPaint = [this] { gfChart.Paint(); };
  Box->OnResize = [this, Box] { gfChart.SetBounds(Box->Width(), Box->Height()); };
  Box->OnMouseDown = [this](TMouseButton B, TShiftState S, int X, int Y) { gfChart.MouseDown(B, S, X, Y); };
  Box->OnMouseMove = [this](TShiftState S, int X, int Y) { gfChart.MouseMove(S, X, Y); };
  Box->OnMouseUp = [this](TMouseButton B, TShiftState S, int X, int Y) { gfChart.MouseUp(B, S, X, Y); };
  Box->OnMouseEnter = [ChartHint] { Application->SetHint(ChartHint); };
  Box->OnMouseLeave = [this] {
    gfChart.MouseLeave();
    Application->SetHint("");
  };
  gfChart.SetBounds(Box->Width(), Box->Height());

  for (QScrollBar *B : {gfSpeedHsb, gfHeightHsb, gfAngleHsb, gfDragHsb})
    QObject::connect(B, &QScrollBar::valueChanged, Tab, [this] { gfSpeedHsbChange(); });
  // The labels and the paths at the start values.
  gfSpeedHsbChange();
}

TProjectilePage::~TProjectilePage() {
  // The paint box belongs to the sheet and may outlive this controller for a moment.
  if (gfChartBox) {
    gfChartBox->OnPaint = nullptr;
    gfChartBox->OnResize = nullptr;
    gfChartBox->OnMouseDown = nullptr;
    gfChartBox->OnMouseMove = nullptr;
    gfChartBox->OnMouseUp = nullptr;
    gfChartBox->OnMouseEnter = nullptr;
    gfChartBox->OnMouseLeave = nullptr;
  }
  for (QScrollBar *B : {gfSpeedHsb, gfHeightHsb, gfAngleHsb, gfDragHsb})
    if (B) QObject::disconnect(B, nullptr, Form.ProjectileTab, nullptr);
  gfChart.SetWindowCanvas(nullptr);
}

void TProjectilePage::Shown() { gfChart.Invalidate(); }

void TProjectilePage::gfSpeedHsbChange() {
  const float v = float(gfSpeedHsb->value()) / 10;
  const float h = float(gfHeightHsb->value()) / 10;
  const int Angle = gfAngleHsb->value();
  const float k = float(gfDragHsb->value()) / 100;
  gfSpeedLabel->setText(QString::fromStdString(Format("speed %f (m/s)", v)));
  gfHeightLabel->setText(QString::fromStdString(Format("height %f (m)", h)));
  gfDragLabel->setText(QString::fromStdString(Format("drag %f (kg/s)", k)));
  gfAngleLabel->setText(QString::fromStdString(Format("angle %d ", Angle)));
  PlotDragPath(*Series1, Angle, v, h, k);
  PlotIdealPath(*Series2, Angle, v, h);
}

void TProjectilePage::CopyPicture() {
  // White for the copy, then the chart's own colour again.
  const TColor Saved = gfChart.Color();
  gfChart.SetColor(clWhite);
  gfChart.CopyToClipboardMetafile(true);
  gfChart.SetColor(Saved);
}

void TProjectilePage::PrintPicture() {
  if (!Form.PrintDlg.Execute()) return;
  // A printer that fails is told to the user, as every failure of the program is.
  try {
    PrintGraph();
  } catch (const std::exception &E) {
    MessageDlg(E.what(), mtError, mbOK);
  }
}

void TProjectilePage::PrintGraph() {
  Screen->SetCursor(crHourGlass);
  struct Restore {
    ~Restore() { Screen->SetCursor(crDefault); }
  } Guard;
  TPrinter &P = Printer();
  P.BeginDoc();
  try {
    gfChart.PrintPartial(GetChartPrintRect());
  } catch (...) {
    P.Abort();
    throw;
  }
  P.EndDoc();
}

std::unique_ptr<TTopicPage> CreateProjectilePage(TFieldFrm &Form) {
  return std::make_unique<TProjectilePage>(Form);
}

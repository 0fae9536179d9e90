#include "app/pages/projectile_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/page_kit.h"
#include "platform/numbers.h"
#include "platform/paint_box.h"
#include "platform/printer.h"
#include "platform/qt_bridge.h"
#include "sim/projectile.h"

namespace {
void CopyPath(TChartSeries &Series, const std::vector<TPathPoint> &Path) {
  Series.Clear();
  for (const TPathPoint &P : Path) Series.AddXY(P.X, P.Y);
}
} // namespace

void SetUpProjectileChart(TChart &C, TPointSeries *&S1, TFastLineSeries *&S2) {
  C.SetView3D(false);
  C.SetColor(clWhite);
  C.SetBackColor(clWhite);
  C.Title.SetVisible(false);
  C.Legend.SetVisible(false);
  C.Legend.SetAlignment(laTop);
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
  S1->SetTitle("with drag");
  S1->SetSeriesColor(clRed);
  S1->Pointer.SetStyle(psCircle);
  S1->Pointer.SetVisible(true);
  S1->Pointer.SetInflateMargins(true);
  S1->Marks.SetVisible(false);
  S1->XValues().Order = TChartListOrder::loAscending;
  S1->YValues().Order = TChartListOrder::loNone;
  S2 = C.AddSeries<TFastLineSeries>();
  S2->Name = "Series2";
  S2->SetTitle("no drag");
  S2->SetSeriesColor(clGreen);
  S2->XValues().Order = TChartListOrder::loAscending;
  S2->YValues().Order = TChartListOrder::loNone;
}

TProjectilePage::TProjectilePage(TPageHost &H) : TTopicPage(H) {
  QWidget *Tab = Content(TSheet::Projectile);
  QVBoxLayout *Layout = MakeColumn(Tab, 4, 4);
  auto *Grid = new QGridLayout();
  Grid->setHorizontalSpacing(12);
  Grid->setVerticalSpacing(2);
  auto Changed = [this] { gfSpeedHsbChange(); };
  gfSpeedLabel = MakeLabel(Tab, "gfSpeedLabel", "");
  gfHeightLabel = MakeLabel(Tab, "gfHeightLabel", "");
  gfAngleLabel = MakeLabel(Tab, "gfAngleLabel", "");
  gfDragLabel = MakeLabel(Tab, "gfDragLabel", "");
  gfSpeedHsb = MakeScrollBar(Tab, "gfSpeedHsb", Qt::Horizontal, 0, 100, 50, "set inital speed", Changed);
  gfHeightHsb = MakeScrollBar(Tab, "gfHeightHsb", Qt::Horizontal, 0, 100, 50, "set initial height", Changed);
  gfAngleHsb = MakeScrollBar(Tab, "gfAngleHsb", Qt::Horizontal, 0, 90, 45, "set initial angle", Changed);
  gfDragHsb = MakeScrollBar(Tab, "gfDragHsb", Qt::Horizontal, 0, 100, 0, "set drag factor", Changed);
  Grid->addWidget(gfSpeedLabel, 0, 0);
  Grid->addWidget(gfHeightLabel, 0, 1);
  Grid->addWidget(gfSpeedHsb, 1, 0);
  Grid->addWidget(gfHeightHsb, 1, 1);
  Grid->addWidget(gfAngleLabel, 2, 0);
  Grid->addWidget(gfDragLabel, 2, 1);
  Grid->addWidget(gfAngleHsb, 3, 0);
  Grid->addWidget(gfDragHsb, 3, 1);
  Layout->addLayout(Grid);
  gfChartBox = MakePicture(Tab, "gfChartBox", 200, 150, crHandPoint, "");
  gfChartBox->setMinimumSize(200, 150);
  gfChartBox->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  Layout->addWidget(gfChartBox, 1);

  SetUpProjectileChart(gfChart, Series1, Series2);
  // Every path starts at x = 0, and at 90 degrees stays there: x = 0 lies a little right of
  // the height axis, so that the dots and the line show whole instead of under the axis.
  gfChart.BottomAxis.SetStartPosition(3);
  HostChart(gfChart, gfChartBox,
            "Drag with left mouse button to zoom; Drag with right mouse button to pan");
  // The labels and the paths at the start values.
  gfSpeedHsbChange();
}

TProjectilePage::~TProjectilePage() {
  UnhostChart(gfChart, gfChartBox);
  DestroyContent();
}

bool TProjectilePage::UsesMenu(TSharedMenu Menu, TSheet S) const {
  return Menu == TSharedMenu::Graph && S == TSheet::Projectile;
}

void TProjectilePage::Shown() { gfChart.Invalidate(); }

void TProjectilePage::gfSpeedHsbChange() {
  const float v = float(gfSpeedHsb->value()) / 10;
  const float h = float(gfHeightHsb->value()) / 10;
  const int Angle = gfAngleHsb->value();
  const float k = float(gfDragHsb->value()) / 100;
  gfSpeedLabel->setText(ToQString(Format("speed %f (m/s)", v)));
  gfHeightLabel->setText(ToQString(Format("height %f (m)", h)));
  gfDragLabel->setText(ToQString(Format("drag %f (kg/s)", k)));
  gfAngleLabel->setText(ToQString(Format("angle %d ", Angle)));
  CopyPath(*Series1, PlotDragPath(Angle, v, h, k));
  CopyPath(*Series2, PlotIdealPath(Angle, v, h));
}

void TProjectilePage::CopyGraph() { CopyChart(gfChart); }

void TProjectilePage::PrintGraph() {
  if (Host.PrintDialog().Execute()) PrintChart(gfChart);
}

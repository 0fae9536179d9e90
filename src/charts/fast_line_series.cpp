#include "charts/fast_line_series.h"

#include <cmath>

#include "charts/axis.h"
#include "charts/chart.h"

TFastLineSeries::TFastLineSeries() : LinePen([this] { LinePenChanged(); }) {
  DrawBetweenPoints = true;
  SinglePointPerResult = false;
}

void TFastLineSeries::SetLinePen(const TChartPen &Pen) { LinePen.Assign(Pen); }

void TFastLineSeries::LinePenChanged() {
  // The line is drawn in the series colour: a new pen colour must become it, or the next
  // draw would put the old one back. Any other change of the pen leaves the series colour
  // alone, so that a series still without one gets its palette colour from its chart.
  if (LinePen.Color != FPenColor) {
    FPenColor = LinePen.Color;
    TChartSeries::SetSeriesColor(LinePen.Color);
  } else Repaint();
}

void TFastLineSeries::SetSeriesColor(TColor C) {
  TChartSeries::SetSeriesColor(C);
  LinePen.Color = FPenColor = C;
}

void TFastLineSeries::Assign(const TChartSeries &Source) {
  if (auto *S = dynamic_cast<const TFastLineSeries *>(&Source)) {
    FAutoRepaint = S->FAutoRepaint;
    LinePen.Assign(S->LinePen);
  }
  TChartSeries::Assign(Source);
}

void TFastLineSeries::PrepareCanvas() {
  TChartCanvas3D &C = *ChartCanvas();
  LinePen.Color = FPenColor = SeriesColor();
  C.AssignVisiblePen(LinePen);
  FParentChart->CheckPenWidth(C.Pen());
  C.Brush().Style = bsClear;
}

void TFastLineSeries::BeginDrawValues() { PrepareCanvas(); }

void TFastLineSeries::LineToPoint(int X, int Y) {
  TChartCanvas3D &C = *ChartCanvas();
  if (FParentChart->View3D())
    C.LineTo3D(X, Y, MiddleZ);
  else
    C.LineTo(X, Y);
  ++SegmentsDrawn;
}

void TFastLineSeries::MoveToPoint(int X, int Y) {
  TChartCanvas3D &C = *ChartCanvas();
  if (FParentChart->View3D()) C.MoveTo3D(X, Y, MiddleZ);
  else C.MoveTo(X, Y);
}

namespace {
// A pixel short of the far limit is a true pixel; one at the limit stands for a point
// further out.
bool Near(double X, double Y) {
  return std::fabs(X) < ChartFarPixel && std::fabs(Y) < ChartFarPixel;
}
} // namespace

void TFastLineSeries::PixelOf(int ValueIndex, int &X, int &Y, double &PX, double &PY) const {
  X = CalcXPos(ValueIndex);
  Y = CalcYPos(ValueIndex);
  PX = X;
  PY = Y;
  // Only a point far outside needs its unrounded pixel, to keep its segment's slope.
  if (!Near(X, Y)) {
    PX = CalcXPosD(ValueIndex);
    PY = CalcYPosD(ValueIndex);
  }
}

void TFastLineSeries::SegmentTo(double X0, double Y0, double X1, double Y1) {
  // The pen stands at the previous point when that one lies near the chart.
  if (Near(X0, Y0) && Near(X1, Y1)) {
    LineToPoint(int(X1), int(Y1));
    return;
  }
  // A point far outside (a deep zoom): the segment is cut along its own line, so that
  // what shows of it in the plot lies where the true line runs.
  if (!ClipLineToSquare(X0, Y0, X1, Y1, ChartFarPixel)) return;
  MoveToPoint(Round(X0), Round(Y0));
  LineToPoint(Round(X1), Round(Y1));
}

void TFastLineSeries::DrawValue(int ValueIndex) {
  int X, Y;
  double PX, PY;
  PixelOf(ValueIndex, X, Y, PX, PY);
  if (ValueIndex != FirstValueIndex) {
    // A point on the pixel last drawn adds nothing: runs of such points cost nothing.
    if (X == FLastX && Y == FLastY && Near(PX, PY)) return;
    SegmentTo(FLastPX, FLastPY, PX, PY);
  } else if (ValueIndex >= 1) {
    // The curve enters the plot from the point before, outside the visible range.
    int QX, QY;
    double QPX, QPY;
    PixelOf(ValueIndex - 1, QX, QY, QPX, QPY);
    if (Near(QPX, QPY)) MoveToPoint(QX, QY);
    SegmentTo(QPX, QPY, PX, PY);
  } else MoveToPoint(X, Y);
  FLastX = X;
  FLastY = Y;
  FLastPX = PX;
  FLastPY = PY;
}

void TFastLineSeries::DrawMark(int ValueIndex, const std::string &Text, TSeriesMarkPosition &P) {
  P.LeftTop.Y -= Marks.ArrowLength();
  P.ArrowTo.Y -= Marks.ArrowLength();
  TChartSeries::DrawMark(ValueIndex, Text, P);
}

void TFastLineSeries::NotifyNewValue(TChartSeries *Sender, int ValueIndex) {
  if (FAutoRepaint) {
    TChartSeries::NotifyNewValue(Sender, ValueIndex);
    return;
  }
  // Only the new segment, straight onto the chart's canvas.
  TCustomAxisPanel *Chart = FParentChart;
  if (!Chart || !Chart->WindowCanvas()) return;
  TChartCanvas3D &C = Chart->Canvas();
  TCanvas *Saved = C.ReferenceCanvas();
  // A zoom rectangle on the window goes while the segment is drawn, and comes back on top.
  Chart->HideZoomRectangle(false);
  // The window shows the segment now; a buffer still in use keeps it for later paints.
  std::vector<TCanvas *> Targets{Chart->WindowCanvas()};
  if (C.BufferedDisplay() && C.Bitmap() && !C.DirtyBits()) Targets.push_back(&C.Bitmap()->Canvas());
  const int SavedFirst = FirstValueIndex;
  FirstValueIndex = -1; // the new point is never the first point of a full draw
  const int Prev = ValueIndex > 0 ? ValueIndex - 1 : 0;
  for (TCanvas *T : Targets) {
    C.SetReferenceCanvas(T);
    C.AssignVisiblePen(LinePen);
    PixelOf(Prev, FLastX, FLastY, FLastPX, FLastPY);
    MoveToPoint(FLastX, FLastY);
    DrawValue(ValueIndex);
  }
  FirstValueIndex = SavedFirst;
  C.SetReferenceCanvas(Saved);
  Chart->DrawZoomRectangle(false);
  if (Chart->OnFlush) Chart->OnFlush();
}

int TFastLineSeries::Clicked(int X, int Y) {
  if (FirstValueIndex < 0 || LastValueIndex < 0) return -1;
  if (FParentChart && FParentChart->View3D()) FParentChart->Canvas().Calculate2DPosition(X, Y, MiddleZ);
  const TPoint P(X, Y);
  TPoint Old;
  for (int i = FirstValueIndex; i <= LastValueIndex && i < Count(); ++i) {
    const TPoint Q(CalcXPos(i), CalcYPos(i));
    if (Q == P) return i;
    if (i > FirstValueIndex && PointInLine(P, Old, Q)) return i - 1;
    Old = Q;
  }
  return -1;
}

void TFastLineSeries::DrawLegendShape(int, const TRect &R) {
  if (!FParentChart) return;
  PrepareCanvas();
  ChartCanvas()->DoHorizLine(R.Left, R.Right, (R.Top + R.Bottom) / 2);
}

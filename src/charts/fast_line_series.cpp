#include "charts/fast_line_series.h"

#include "charts/axis.h"
#include "charts/chart.h"

TFastLineSeries::TFastLineSeries() : LinePen([this] { Repaint(); }) {
  DrawBetweenPoints = true;
  SinglePointPerResult = false;
}

void TFastLineSeries::SetLinePen(const TChartPen &Pen) {
  LinePen.Assign(Pen);
  SetSeriesColor(LinePen.Color);
}

void TFastLineSeries::SetSeriesColor(TColor C) {
  TChartSeries::SetSeriesColor(C);
  LinePen.Color = C;
}

void TFastLineSeries::Assign(const TChartSeries &Source) {
  if (auto *S = dynamic_cast<const TFastLineSeries *>(&Source)) {
    AutoRepaint = S->AutoRepaint;
    LinePen.Assign(S->LinePen);
  }
  TChartSeries::Assign(Source);
}

void TFastLineSeries::PrepareCanvas() {
  TChartCanvas3D &C = *ChartCanvas();
  LinePen.Color = SeriesColor();
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

void TFastLineSeries::DrawValue(int ValueIndex) {
  TChartCanvas3D &C = *ChartCanvas();
  const int X = CalcXPos(ValueIndex), Y = CalcYPos(ValueIndex);
  const bool Is3D = FParentChart->View3D();
  if (ValueIndex != FirstValueIndex) {
    // A point on the pixel last drawn adds nothing: runs of such points cost nothing.
    if (X == FLastX && Y == FLastY) return;
    LineToPoint(X, Y);
  } else if (ValueIndex >= 1) {
    // The curve enters the plot from the point before, outside the visible range.
    const int PX = CalcXPos(ValueIndex - 1), PY = CalcYPos(ValueIndex - 1);
    if (Is3D)
      C.MoveTo3D(PX, PY, MiddleZ);
    else
      C.MoveTo(PX, PY);
    LineToPoint(X, Y);
  } else if (Is3D)
    C.MoveTo3D(X, Y, MiddleZ);
  else
    C.MoveTo(X, Y);
  FLastX = X;
  FLastY = Y;
}

void TFastLineSeries::DrawMark(int ValueIndex, const std::string &Text, TSeriesMarkPosition &P) {
  P.LeftTop.Y -= Marks.ArrowLength;
  P.ArrowTo.Y -= Marks.ArrowLength;
  TChartSeries::DrawMark(ValueIndex, Text, P);
}

void TFastLineSeries::NotifyNewValue(TChartSeries *Sender, int ValueIndex) {
  if (AutoRepaint) {
    TChartSeries::NotifyNewValue(Sender, ValueIndex);
    return;
  }
  // Only the new segment, straight onto the chart's canvas.
  TCustomAxisPanel *Chart = FParentChart;
  if (!Chart || !Chart->WindowCanvas()) return;
  TChartCanvas3D &C = Chart->Canvas();
  TCanvas *Saved = C.ReferenceCanvas();
  // The window shows the segment now; a buffer still in use keeps it for later paints.
  std::vector<TCanvas *> Targets{Chart->WindowCanvas()};
  if (C.BufferedDisplay() && C.Bitmap() && !C.DirtyBits()) Targets.push_back(&C.Bitmap()->Canvas());
  const int SavedFirst = FirstValueIndex;
  FirstValueIndex = -1; // the new point is never the first point of a full draw
  const int Prev = ValueIndex > 0 ? ValueIndex - 1 : 0;
  for (TCanvas *T : Targets) {
    C.SetReferenceCanvas(T);
    C.AssignVisiblePen(LinePen);
    const int PX = CalcXPos(Prev), PY = CalcYPos(Prev);
    if (Chart->View3D())
      C.MoveTo3D(PX, PY, MiddleZ);
    else
      C.MoveTo(PX, PY);
    FLastX = PX;
    FLastY = PY;
    DrawValue(ValueIndex);
  }
  FirstValueIndex = SavedFirst;
  C.SetReferenceCanvas(Saved);
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

#include "charts/point_series.h"

#include <cmath>

#include "charts/axis.h"
#include "charts/chart.h"

// ---- pointer -----------------------------------------------------------------------

TSeriesPointer::TSeriesPointer(TChartSeries *Series)
    : Brush([Series] { Series->Repaint(); }), Pen([Series] { Series->Repaint(); }), FSeries(Series) {}

void TSeriesPointer::SetHorizSize(int V) {
  if (V < 1) throw ChartException("Pointer size must be greater than zero");
  if (FHorizSize == V) return;
  FHorizSize = V;
  FSeries->Repaint();
}

void TSeriesPointer::SetVertSize(int V) {
  if (V < 1) throw ChartException("Pointer size must be greater than zero");
  if (FVertSize == V) return;
  FVertSize = V;
  FSeries->Repaint();
}

void TSeriesPointer::SetStyle(TSeriesPointerStyle V) {
  if (FStyle == V) return;
  FStyle = V;
  FSeries->Repaint();
}

void TSeriesPointer::SetVisible(bool V) {
  if (FVisible == V) return;
  FVisible = V;
  FSeries->Repaint();
}

void TSeriesPointer::PrepareCanvas(TColor Color) {
  TCustomAxisPanel *Chart = FSeries->ParentChart();
  if (!Chart) return;
  TChartCanvas3D &C = Chart->Canvas();
  C.AssignVisiblePen(Pen);
  if (Pen.Visible && Pen.Color == clChartColor) C.Pen().Color = Color;
  C.Brush() = Brush;
  if (Brush.Color == clChartColor) C.Brush().Color = Color;
}

void TSeriesPointer::Draw(int X, int Y, TColor Color, TSeriesPointerStyle Style) {
  TCustomAxisPanel *Chart = FSeries->ParentChart();
  DrawPointer(Chart && Chart->View3D(), X, Y, FHorizSize, FVertSize, Color, Style);
}

void TSeriesPointer::DrawPointer(bool Is3D, int X, int Y, int H, int V, TColor Color,
                                 TSeriesPointerStyle Style) {
  TCustomAxisPanel *Chart = FSeries->ParentChart();
  if (!Chart) return;
  TChartCanvas3D &C = Chart->Canvas();
  const int Left = X - H, Right = X + H, Top = Y - V, Bottom = Y + V;
  const int Z = Is3D ? FSeries->StartZ : 0;
  auto P = [&](int PX, int PY) { return Is3D ? C.Calc3DPoint({PX, PY}, Z) : TPoint(PX, PY); };
  auto Line = [&](int X0, int Y0, int X1, int Y1) {
    const TPoint A = P(X0, Y0), B = P(X1, Y1);
    C.Line(A.X, A.Y, B.X, B.Y);
  };
  switch (Style) {
  case psRectangle:
    if (Is3D && FDraw3D) C.Cube(Left, Right, Top, Bottom, FSeries->StartZ, FSeries->EndZ, FDark3D);
    else if (Is3D)
      C.RectangleWithZ(TRect(Left, Top, Right + 1, Bottom + 1), Z);
    else
      C.Rectangle(Left, Top, Right + 1, Bottom + 1);
    break;
  case psCircle:
    if (Is3D)
      C.EllipseWithZ(Left, Top, Right, Bottom, Z);
    else
      C.Ellipse(Left, Top, Right, Bottom);
    break;
  case psTriangle:
  case psDownTriangle: {
    const bool Up = Style == psTriangle;
    if (Is3D && FDraw3D) {
      C.Pyramid(true, Left, Up ? Top : Bottom, Right, Up ? Bottom : Top, FSeries->StartZ,
                FSeries->EndZ, FDark3D);
      break;
    }
    const TPoint T[3] = {P(Left, Up ? Bottom : Top), P(Right, Up ? Bottom : Top), P(X, Up ? Top : Bottom)};
    C.Polygon(T, 2);
    break;
  }
  case psCross:
  case psStar:
  case psDiagCross:
    C.Pen().Color = Color;
    if (Style != psDiagCross) {
      Line(X, Top, X, Bottom + 1);
      Line(Left, Y, Right + 1, Y);
    }
    if (Style != psCross) {
      Line(Left, Top, Right + 1, Bottom + 1);
      Line(Right, Top, Left - 1, Bottom + 1);
    }
    break;
  case psDiamond: {
    const TPoint D[4] = {P(Left, Y), P(X, Top), P(Right, Y), P(X, Bottom)};
    C.Polygon(D, 3);
    break;
  }
  case psSmallDot:
    if (Is3D)
      C.PlotPixel3D(X, Y, Z, Color);
    else
      C.SetPixel(X, Y, Color);
    break;
  }
}

void TSeriesPointer::CalcHorizMargins(int &L, int &R) const {
  if (FVisible && FInflateMargins) {
    L = std::max(L, FHorizSize + 1);
    R = std::max(R, FHorizSize + 1);
  }
}

void TSeriesPointer::CalcVertMargins(int &T, int &B) const {
  if (FVisible && FInflateMargins) {
    T = std::max(T, FVertSize + 1);
    B = std::max(B, FVertSize + 1);
  }
}

void TSeriesPointer::Assign(const TSeriesPointer &S) {
  Brush = S.Brush;
  FDark3D = S.FDark3D;
  FDraw3D = S.FDraw3D;
  FHorizSize = S.FHorizSize;
  FInflateMargins = S.FInflateMargins;
  Pen.Assign(S.Pen);
  FStyle = S.FStyle;
  FVertSize = S.FVertSize;
  FVisible = S.FVisible;
  FSeries->Repaint();
}

// ---- custom series ----------------------------------------------------------------

TCustomSeries::TCustomSeries()
    : AreaLinesPen([this] { Repaint(); }), LinePen([this] { Repaint(); }), Pointer(this) {
  DrawBetweenPoints = true;
}

bool TCustomSeries::ClickedPointer(int, int PX, int PY, int X, int Y) {
  return std::abs(PX - X) < Pointer.HorizSize() && std::abs(PY - Y) < Pointer.VertSize();
}

void TCustomSeries::DrawPointer(int X, int Y, TColor Color, int ValueIndex) {
  Pointer.PrepareCanvas(Color);
  const TSeriesPointerStyle St = OnGetPointerStyle ? OnGetPointerStyle(this, ValueIndex) : Pointer.Style();
  Pointer.Draw(X, Y, Color, St);
}

int TCustomSeries::GetOriginPos(int) {
  const TCustomChartAxis *A = GetVertAxis();
  if (!A) return 0;
  return A->Inverted() ? A->IStartPos : A->IEndPos;
}

void TCustomSeries::DrawSegment(int X, int Y, TColor Color, int Bottom, int ValueIndex, bool Pointers) {
  TChartCanvas3D &C = *ChartCanvas();
  const bool Is3D = FParentChart->View3D();
  const int Z = Is3D ? StartZ : 0;
  if (!(X == FOldX && Y == FOldY) && Color != clNone) {
    if (FDrawArea) {
      C.Brush() =
          TBrush{(ColorEachPoint() || FAreaColor == clChartColor) ? Color : FAreaColor, FAreaBrush};
      C.AssignVisiblePen(AreaLinesPen);
      if (FStairs) {
        const int SY = FInvertedStairs ? Y : FOldY;
        if (Is3D)
          C.RectangleWithZ(TRect(FOldX, SY, X + 1, Bottom), Z);
        else
          C.Rectangle(FOldX, SY, X + 1, Bottom);
      } else {
        TPoint Q[4] = {{FOldX, FOldY}, {X, Y}, {X, Bottom}, {FOldX, FOldBottom}};
        if (Is3D && SeriesDepth() > 0) {
          // A prism: its top runs back along the depth, in a darker shade.
          const TBrush Front = C.Brush();
          if (FDark3D) C.Brush().Color = ApplyDark(Front.Color, 64);
          C.Plane3D({FOldX, FOldY}, {X, Y}, StartZ, EndZ);
          C.Brush() = Front;
        }
        if (Is3D)
          for (TPoint &q : Q) q = C.Calc3DPoint(q, Z);
        C.Polygon(Q, 3);
      }
    }
    if (FDrawLine) {
      C.AssignVisiblePen(LinePen);
      C.Pen().Color = Color;
      FParentChart->CheckPenWidth(C.Pen());
      C.Brush().Style = bsClear;
      if (Is3D && SeriesDepth() > 0 && !FStairs) {
        // A band of the series' depth, its face in the point's colour.
        C.Brush() = TBrush{FDark3D ? ApplyDark(Color, 32) : Color, FLineBrush};
        C.Plane3D({FOldX, FOldY}, {X, Y}, StartZ, EndZ);
      } else if (FStairs && FInvertedStairs) {
        C.LineWithZ(FOldX, FOldY, FOldX, Y, Z);
        C.LineTo3D(X, Y, Z);
      } else if (FStairs) {
        C.LineWithZ(FOldX, FOldY, X, FOldY, Z);
        C.LineTo3D(X, Y, Z);
      } else C.LineWithZ(FOldX, FOldY, X, Y, Z);
    }
  }
  if (Pointers && Pointer.Visible()) {
    if (FPendingPointer >= 0 && FOldColor != clNone) DrawPointer(FOldX, FOldY, FOldColor, FPendingPointer);
    FPendingPointer = -1;
    if (ValueIndex == LastValueIndex)
      DrawPointer(X, Y, Color, ValueIndex);
    else
      FPendingPointer = ValueIndex;
  }
}

void TCustomSeries::BeginDrawValues() { FPendingPointer = -1; }

void TCustomSeries::EndDrawValues() {
  // The last visible point was not drawable (far off after a zoom): the pointer of the
  // last point drawn still waits for a segment that never comes.
  if (FPendingPointer >= 0 && Pointer.Visible() && FOldColor != clNone)
    DrawPointer(FOldX, FOldY, FOldColor, FPendingPointer);
  FPendingPointer = -1;
}

void TCustomSeries::DrawValue(int ValueIndex) {
  const int X = CalcXPos(ValueIndex), Y = CalcYPos(ValueIndex);
  if (!(X > -32767 && X < 32767 && Y > -32767 && Y < 32767)) return;
  TChartCanvas3D &C = *ChartCanvas();
  const TColor Color = GetValueColor(ValueIndex);
  C.Pen().Color = clBlack;
  C.Brush().Color = Color;
  if (FOldColor == clNone) {
    FOldX = X;
    FOldY = Y;
  }
  const int Bottom = GetOriginPos(ValueIndex);
  if (ValueIndex == FirstValueIndex) {
    FPendingPointer = -1;
    if (FDark3D) FDarkRatio = 1.0;
    if (ValueIndex > 0 && GetValueColor(ValueIndex - 1) != clNone) {
      // The segment that comes in from outside the plot, without pointers.
      const TCustomChartAxis *H = GetHorizAxis(), *V = GetVertAxis();
      if (FDrawArea) {
        FOldX = CalcXPos(ValueIndex - 1);
        FOldY = CalcYPos(ValueIndex - 1);
        FOldBottom = GetOriginPos(ValueIndex - 1);
      } else if (H && V) {
        const TRect &R = FParentChart->ChartRect;
        const int EdgeX = H->Inverted() ? R.Right : R.Left;
        const double PX = H->CalcPosValueD(GetxValue(ValueIndex - 1));
        const double PY = V->CalcPosValueD(GetyValue(ValueIndex - 1));
        FOldX = EdgeX;
        if (FStairs || PX == X) FOldY = int(std::clamp(PY, -1e6, 1e6));
        else
          FOldY = Round(PY + (Y - PY) * (EdgeX - PX) / (X - PX));
        FOldBottom = Bottom;
      }
      FOldColor = GetValueColor(ValueIndex - 1);
      DrawSegment(X, Y, Color, Bottom, ValueIndex, false);
    }
    if (ValueIndex == LastValueIndex && Pointer.Visible())
      DrawPointer(X, Y, Color, ValueIndex);
    else
      FPendingPointer = ValueIndex;
  } else
    DrawSegment(X, Y, Color, Bottom, ValueIndex, true);
  FOldX = X;
  FOldY = Y;
  FOldBottom = Bottom;
  FOldColor = Color;
}

int TCustomSeries::Clicked(int X, int Y) {
  int Result = TChartSeries::Clicked(X, Y);
  if (Result != -1 || FirstValueIndex < 0 || !FParentChart) return Result;
  TChartCanvas3D &C = FParentChart->Canvas();
  if (FParentChart->View3D()) C.Calculate2DPosition(X, Y, MiddleZ);
  const TPoint P(X, Y);
  TPoint Old;
  for (int i = FirstValueIndex; i <= LastValueIndex && i < Count(); ++i) {
    const TPoint Q(CalcXPos(i), CalcYPos(i));
    if (Pointer.Visible() && ClickedPointer(i, Q.X, Q.Y, X, Y)) {
      if (OnClickPointer) OnClickPointer(this, i, X, Y);
      return i;
    }
    if (Q == P) return i;
    if (i > FirstValueIndex && FClickableLine) {
      bool On;
      if (FStairs) {
        const TPoint Corner = FInvertedStairs ? TPoint(Old.X, Q.Y) : TPoint(Q.X, Old.Y);
        On = PointInLineTolerance(P, Old, Corner, 3) || PointInLineTolerance(P, Corner, Q, 3);
      } else On = PointInLineTolerance(P, Old, Q, 3);
      if (!On && FDrawArea) {
        const TPoint A[4] = {Old, Q, {Q.X, GetOriginPos(i)}, {Old.X, GetOriginPos(i - 1)}};
        On = PointInPolygon(P, A);
      }
      if (On) return i - 1;
    }
    Old = Q;
  }
  return -1;
}

void TCustomSeries::CalcHorizMargins(int &L, int &R) {
  TChartSeries::CalcHorizMargins(L, R);
  Pointer.CalcHorizMargins(L, R);
  if (FStairs && FDrawLine) {
    L = std::max(L, LinePen.Width);
    R = std::max(R, LinePen.Width);
  }
}

void TCustomSeries::CalcVertMargins(int &T, int &B) {
  TChartSeries::CalcVertMargins(T, B);
  Pointer.CalcVertMargins(T, B);
  if (FStairs && FDrawLine) {
    T = std::max(T, LinePen.Width);
    B = std::max(B, LinePen.Width + 1);
  }
  if (FLineHeight >= 1 && !FDrawArea) B = std::max(B, FLineHeight);
}

void TCustomSeries::DrawLegendShape(int ValueIndex, const TRect &R) {
  TChartCanvas3D *C = ChartCanvas();
  if (!C) return;
  const TColor Color = ValueIndex >= 0 ? LegendItemColor(ValueIndex) : SeriesColor();
  const int MX = (R.Left + R.Right) / 2, MY = (R.Top + R.Bottom) / 2;
  if (Pointer.Visible()) {
    if (FDrawLine) {
      C->AssignVisiblePen(LinePen);
      C->Pen().Color = Color;
      C->DoHorizLine(R.Left, R.Right, MY);
    }
    Pointer.PrepareCanvas(Color);
    const int W = FDrawLine ? R.Width() / 3 : R.Width() / 2 + 1;
    const int H = FDrawLine ? R.Height() / 3 : R.Height() / 2 + 1;
    Pointer.DrawPointer(false, MX, MY, std::min(Pointer.HorizSize(), W), std::min(Pointer.VertSize(), H),
                        Color, Pointer.Style());
  } else if (FDrawLine && !FDrawArea) {
    if (FParentChart && FParentChart->View3D()) {
      // In 3-D the line is a band, so the legend shows a box filled as the band is.
      C->Brush() = TBrush{Color, FLineBrush};
      C->Rectangle(R.Left, R.Top, R.Right, R.Bottom);
    } else {
      C->AssignVisiblePen(LinePen);
      C->Pen().Color = Color;
      C->DoHorizLine(R.Left, R.Right, MY);
    }
  } else TChartSeries::DrawLegendShape(ValueIndex, R);
}

void TCustomSeries::DrawMark(int ValueIndex, const std::string &Text, TSeriesMarkPosition &P) {
  P.LeftTop.Y -= Marks.ArrowLength();
  P.ArrowTo.Y -= Marks.ArrowLength();
  TChartSeries::DrawMark(ValueIndex, Text, P);
}

void TCustomSeries::Assign(const TChartSeries &Source) {
  if (auto *S = dynamic_cast<const TCustomSeries *>(&Source)) {
    FAreaBrush = S->FAreaBrush;
    FAreaColor = S->FAreaColor;
    AreaLinesPen.Assign(S->AreaLinesPen);
    FClickableLine = S->FClickableLine;
    FDark3D = S->FDark3D;
    FDrawArea = S->FDrawArea;
    FDrawLine = S->FDrawLine;
    FInvertedStairs = S->FInvertedStairs;
    FLineBrush = S->FLineBrush;
    FLineHeight = S->FLineHeight;
    LinePen.Assign(S->LinePen);
    Pointer.Assign(S->Pointer);
    FStairs = S->FStairs;
  }
  TChartSeries::Assign(Source);
}

TLineSeries::TLineSeries() {
  FDrawLine = true;
  Pointer.SetVisible(false);
  SinglePointPerResult = false;
}

TPointSeries::TPointSeries() {
  Pointer.SetVisible(true);
  FClickableLine = false;
  Marks.SetArrowLength(0);
}

void TPointSeries::SetColorEachPoint(bool V) {
  TCustomSeries::SetColorEachPoint(V);
  if (V) Pointer.Brush.SetColor(clChartColor);
}

TAreaSeries::TAreaSeries() {
  FDrawArea = true;
  Pointer.SetVisible(false);
  SinglePointPerResult = false;
}

void TAreaSeries::SetMultiArea(TMultiArea V) {
  if (FParentChart)
    for (TChartSeries *S : FParentChart->SeriesList)
      if (auto *A = dynamic_cast<TAreaSeries *>(S)) A->FMultiArea = V;
  FMultiArea = V;
  Repaint();
}

double TAreaSeries::StackedBottom(int ValueIndex) const {
  const double Sum = PointOrigin(ValueIndex, false);
  if (FMultiArea != maStacked100) return Sum;
  const double Total = PointOrigin(ValueIndex, true);
  return Total == 0 ? 0 : Sum * 100 / Total;
}

double TAreaSeries::StackedTop(int ValueIndex) const {
  const double Top = PointOrigin(ValueIndex, false) + GetMarkValue(ValueIndex);
  if (FMultiArea != maStacked100) return Top;
  const double Total = PointOrigin(ValueIndex, true);
  return Total == 0 ? 0 : Top * 100 / Total;
}

int TAreaSeries::GetOriginPos(int ValueIndex) {
  if (FMultiArea == maNone || !GetVertAxis()) return TCustomSeries::GetOriginPos(ValueIndex);
  return GetVertAxis()->CalcYPosValue(StackedBottom(ValueIndex));
}

int TAreaSeries::CalcYPos(int ValueIndex) const {
  if (FMultiArea == maNone || !FParentChart) return TCustomSeries::CalcYPos(ValueIndex);
  return CalcYPosValue(StackedTop(ValueIndex));
}

double TAreaSeries::MaxYValue() {
  if (FMultiArea == maStacked100) return 100;
  double R = TCustomSeries::MaxYValue();
  if (FMultiArea == maStacked && FParentChart)
    for (int i = 0; i < Count(); ++i) R = std::max(R, StackedTop(i));
  return R;
}

double TAreaSeries::MinYValue() {
  if (FMultiArea == maStacked100) return 0;
  double R = TCustomSeries::MinYValue();
  if (FMultiArea == maStacked && FParentChart)
    for (int i = 0; i < Count(); ++i) R = std::min({R, StackedTop(i), StackedBottom(i)});
  return R;
}

void TAreaSeries::CalcZOrder() {
  // Stacked areas share one depth slot: that of the first area series of the chart.
  if (FMultiArea != maNone && ZOrder() == -1 && FParentChart)
    for (TChartSeries *S : FParentChart->SeriesList) {
      if (!S->Active() || !dynamic_cast<TAreaSeries *>(S)) continue;
      if (S != this) {
        FComputedZOrder = S->GetZOrder();
        return;
      }
      break;
    }
  TCustomSeries::CalcZOrder();
}

void TAreaSeries::Assign(const TChartSeries &Source) {
  TCustomSeries::Assign(Source);
  FDrawLine = true;
  FDrawArea = true;
  if (auto *A = dynamic_cast<const TAreaSeries *>(&Source)) FMultiArea = A->FMultiArea;
}

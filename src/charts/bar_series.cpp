#include "charts/bar_series.h"

#include <algorithm>
#include <cmath>

#include "charts/axis.h"
#include "charts/chart.h"

TCustomBarSeries::TCustomBarSeries()
    : BarBrush([this] { Repaint(); }), BarPen([this] { Repaint(); }) {
  Marks.SetVisible(true);
  Marks.SetArrowLength(20);
}

template <class F> void TCustomBarSeries::ForEachOfKind(F Fn) {
  if (!FParentChart) {
    Fn(*this);
    return;
  }
  for (TChartSeries *S : FParentChart->SeriesList)
    if (SameSeriesClass(*S, *this))
      if (auto *B = dynamic_cast<TCustomBarSeries *>(S)) Fn(*B);
}

void TCustomBarSeries::SetBarStyle(TBarStyle V) {
  if (FBarStyle == V) return;
  FBarStyle = V;
  Repaint();
}

void TCustomBarSeries::SetBarWidthPercent(int V) {
  if (V < 1 || V > 100) throw BarException("Bar Width Percent must be between 1 and 100");
  if (FBarWidthPercent == V) return;
  FBarWidthPercent = V;
  Repaint();
}

void TCustomBarSeries::SetOffsetPercent(int V) {
  if (V < -100 || V > 100) throw BarException("Bar Offset Percent must be between -100% and 100%");
  if (FOffsetPercent == V) return;
  FOffsetPercent = V;
  Repaint();
}

void TCustomBarSeries::SetMultiBar(TMultiBar V) {
  ForEachOfKind([V](TCustomBarSeries &B) { B.FMultiBar = V; });
  FMultiBar = V;
  Repaint();
}

void TCustomBarSeries::SetSideMargins(bool V) {
  ForEachOfKind([V](TCustomBarSeries &B) { B.FSideMargins = V; });
  FSideMargins = V;
  Repaint();
}

void TCustomBarSeries::SideIndex(int &J, int &K) const {
  J = K = 1;
  if (!FParentChart || FMultiBar != mbSide) return;
  K = 0;
  for (TChartSeries *S : FParentChart->SeriesList)
    if (S->Active() && SameSeriesClass(*S, *this) && dynamic_cast<TCustomBarSeries *>(S)) {
      ++K;
      if (S == this) J = K;
    }
  K = std::max(K, 1);
}

void TCustomBarSeries::CalcBarSize() {
  if (FCustomBarSize != 0) {
    FBarSize = FCustomBarSize;
    return;
  }
  int N = Count(), K = 1;
  if (FParentChart && FMultiBar == mbSide) {
    int J;
    SideIndex(J, K);
    for (TChartSeries *S : FParentChart->SeriesList)
      if (S->Active() && SameSeriesClass(*S, *this)) N = std::max(N, S->Count());
  }
  if (FParentChart && FParentChart->MaxPointsPerPage() > 0) N = FParentChart->MaxPointsPerPage();
  const TCustomChartAxis *A = YMandatory() ? GetHorizAxis() : GetVertAxis();
  if (N == 0 || !A) {
    FBarSize = 0;
    return;
  }
  if (FSideMargins) ++N;
  int Space;
  if (FAutoBarSize) Space = Round(A->IAxisSize / (2 + A->Maximum() - A->Minimum()));
  else
    Space = A->IAxisSize / N;
  FBarSize = Round(FBarWidthPercent * 0.01 * Space) / K;
  if (FBarSize % 2 != 0) ++FBarSize;
}

int TCustomBarSeries::PositionPixel(int ValueIndex) const {
  return YMandatory() ? CalcXPos(ValueIndex) : CalcYPos(ValueIndex);
}

int TCustomBarSeries::ValuePixel(double V) const {
  return YMandatory() ? CalcYPosValue(V) : CalcXPosValue(V);
}

double TCustomBarSeries::PointOriginValue(int ValueIndex) {
  if (FMultiBar == mbStacked || FMultiBar == mbStacked100) {
    const double Below = PointOrigin(ValueIndex, false);
    if (FMultiBar == mbStacked) return Below;
    const double Total = PointOrigin(ValueIndex, true);
    return Total == 0 ? 0 : Below * 100 / Total;
  }
  if (FUseYOrigin) return FYOrigin;
  const TCustomChartAxis *A = YMandatory() ? GetVertAxis() : GetHorizAxis();
  return A ? A->Minimum() : 0;
}

double TCustomBarSeries::PointValue(int ValueIndex) {
  const double V = MandatoryValueList().GetValue(ValueIndex);
  if (FMultiBar == mbStacked) return PointOrigin(ValueIndex, false) + V;
  if (FMultiBar == mbStacked100) {
    const double Total = PointOrigin(ValueIndex, true);
    return Total == 0 ? 0 : (PointOrigin(ValueIndex, false) + V) * 100 / Total;
  }
  return V;
}

double TCustomBarSeries::ValueEnd(bool Max) {
  if (FMultiBar == mbStacked100) return Max ? 100 : 0;
  TChartValueList &L = MandatoryValueList();
  double R = Max ? L.MaxValue() : L.MinValue();
  if (FMultiBar == mbStacked)
    for (int i = 0; i < Count(); ++i) {
      const double Top = PointValue(i), Bottom = PointOriginValue(i);
      R = Max ? std::max({R, Top, Bottom}) : std::min({R, Top, Bottom});
    }
  else if (FUseYOrigin) R = Max ? std::max(R, FYOrigin) : std::min(R, FYOrigin);
  return R;
}

TRect TCustomBarSeries::CalcBarBounds(int ValueIndex) {
  int J, K;
  SideIndex(J, K);
  int Start = PositionPixel(ValueIndex);
  if (FMultiBar == mbSide && K > 1)
    Start += YMandatory() ? Round((J - K * 0.5 - 1) * FBarSize) : Round((K * 0.5 - J) * FBarSize);
  else
    Start -= FBarSize / 2;
  Start += Round(FOffsetPercent * FBarSize * 0.01);
  int V0 = ValuePixel(PointOriginValue(ValueIndex)), V1 = ValuePixel(PointValue(ValueIndex));
  if (V0 > V1) std::swap(V0, V1);
  return YMandatory() ? TRect(Start, V0, Start + FBarSize, V1) : TRect(V0, Start, V1, Start + FBarSize);
}

TBarStyle TCustomBarSeries::StyleOf(int ValueIndex) {
  TBarStyle S = FBarStyle;
  if (OnGetBarStyle) OnGetBarStyle(this, ValueIndex, S);
  return S;
}

void TCustomBarSeries::BeginDrawValues() {
  CalcBarSize();
  FHasLastMark = false;
}

void TCustomBarSeries::DrawValue(int ValueIndex) {
  const TColor Color = GetValueColor(ValueIndex);
  if (Color == clNone || !FParentChart) return;
  DrawBar(CalcBarBounds(ValueIndex), StyleOf(ValueIndex), Color);
}

namespace {
// From the bar colour at the foot of a vertical bar to white at its top; a horizontal bar
// takes the same bands turned a quarter turn, from its left edge.
void BarGradient(TChartCanvas3D &C, const TRect &R, TColor Color, bool Vertical) {
  if (Vertical) C.GradientFill(R, Color, clWhite, TGradientDirection::gdTopBottom);
  else C.GradientFillFromLeft(R, Color, clWhite);
}
} // namespace

void TCustomBarSeries::DrawBar(const TRect &R, TBarStyle Style, TColor Color) {
  TChartCanvas3D &C = FParentChart->Canvas();
  const bool Vertical = YMandatory();
  const TColor BrushColor = BarBrush.Color != clChartColor ? BarBrush.Color : Color;
  C.Brush() = TBrush{BrushColor, BarBrush.Style, BarBrush.Bitmap};
  C.AssignVisiblePen(BarPen);
  const int Thickness = Vertical ? R.Width() : R.Height();
  if (BarPen.Visible && (Thickness == 0 || Thickness < BarPen.Width)) {
    // A thin bar would vanish under its own outline.
    C.Pen().Color = BrushColor;
    C.Pen().Style = psSolid;
  }
  // The bar grows from the origin towards its value: the origin side is the "bottom".
  const int MX = (R.Left + R.Right) / 2, MY = (R.Top + R.Bottom) / 2;
  const bool Is3D = FParentChart->View3D();
  if (Is3D) {
    const int Z0 = StartZ, Z1 = EndZ;
    switch (Style) {
    case bsRectangle: C.Cube(R.Left, R.Right, R.Top, R.Bottom, Z0, Z1, FDark3D); break;
    case bsPyramid:
      if (Vertical) C.Pyramid(true, R.Left, R.Top, R.Right, R.Bottom, Z0, Z1, FDark3D);
      else C.Pyramid(false, R.Left, R.Top, R.Right, R.Bottom, Z0, Z1, FDark3D);
      break;
    case bsInvPyramid:
      if (Vertical) C.Pyramid(true, R.Left, R.Bottom, R.Right, R.Top, Z0, Z1, FDark3D);
      else C.Pyramid(false, R.Right, R.Top, R.Left, R.Bottom, Z0, Z1, FDark3D);
      break;
    case bsCilinder: C.Cylinder(Vertical, R.Left, R.Top, R.Right, R.Bottom, Z0, Z1, FDark3D); break;
    case bsEllipse: C.EllipseWithZ(R.Left, R.Top, R.Right, R.Bottom, Z0); break;
    case bsArrow:
      if (Vertical) C.Arrow(true, {MX, R.Bottom}, {MX, R.Top}, R.Width(), R.Width() / 2, MiddleZ);
      else C.Arrow(true, {R.Left, MY}, {R.Right, MY}, R.Height(), R.Height() / 2, MiddleZ);
      break;
    case bsRectGradient: {
      C.Cube(R.Left, R.Right, R.Top, R.Bottom, Z0, Z1, FDark3D);
      const TPoint A = C.Calc3DPoint({R.Left, R.Top}, Z0), B = C.Calc3DPoint({R.Right, R.Bottom}, Z0);
      BarGradient(C, TRect(A.X, A.Y, B.X, B.Y), BrushColor, Vertical);
      C.Brush().Style = bsClear;
      C.Rectangle(A.X, A.Y, B.X, B.Y);
      break;
    }
    }
    return;
  }
  switch (Style) {
  case bsRectangle:
  case bsCilinder: C.Rectangle(R.Left, R.Top, R.Right, R.Bottom); break;
  case bsPyramid:
  case bsInvPyramid: {
    const bool Up = Style == bsPyramid;
    TPoint P[3];
    if (Vertical) {
      const int Base = Up ? R.Bottom : R.Top, Apex = Up ? R.Top : R.Bottom;
      P[0] = {R.Left, Base};
      P[1] = {R.Right, Base};
      P[2] = {MX, Apex};
    } else {
      const int Base = Up ? R.Left : R.Right, Apex = Up ? R.Right : R.Left;
      P[0] = {Base, R.Top};
      P[1] = {Base, R.Bottom};
      P[2] = {Apex, MY};
    }
    C.Polygon(P, 2);
    break;
  }
  case bsEllipse: C.Ellipse(R.Left, R.Top, R.Right, R.Bottom); break;
  case bsArrow:
    if (Vertical) C.Arrow(true, {MX, R.Bottom}, {MX, R.Top}, R.Width(), R.Width() / 2, 0);
    else C.Arrow(true, {R.Left, MY}, {R.Right, MY}, R.Height(), R.Height() / 2, 0);
    break;
  case bsRectGradient:
    BarGradient(C, R, BrushColor, Vertical);
    C.Brush().Style = bsClear;
    C.Rectangle(R.Left, R.Top, R.Right, R.Bottom);
    break;
  }
}

void TCustomBarSeries::DrawMark(int ValueIndex, const std::string &Text, TSeriesMarkPosition &P) {
  // The mark stands at the bar's value end, ArrowLength away from it.
  const TRect R = CalcBarBounds(ValueIndex);
  const bool Negative = PointValue(ValueIndex) < PointOriginValue(ValueIndex);
  TPoint End;
  TPoint Shift;
  if (YMandatory()) {
    End = {(R.Left + R.Right) / 2, Negative ? R.Bottom : R.Top};
    Shift = {0, Negative ? Marks.ArrowLength() : -Marks.ArrowLength()};
  } else {
    End = {Negative ? R.Left : R.Right, (R.Top + R.Bottom) / 2};
    Shift = {Negative ? -Marks.ArrowLength() : Marks.ArrowLength(), 0};
  }
  const TPoint Move = End - P.ArrowFrom;
  P.ArrowFrom = End;
  P.ArrowTo = End + Shift;
  P.LeftTop = P.LeftTop + Move + Shift;
  if (!YMandatory()) {
    // Beside a horizontal bar the box stands level with it.
    P.LeftTop.Y = End.Y - P.Height / 2;
    P.LeftTop.X = Negative ? P.ArrowTo.X - P.Width : P.ArrowTo.X;
  } else if (Negative)
    P.LeftTop.Y = P.ArrowTo.Y;
  if (FAutoMarkPosition && FHasLastMark) {
    TRect I;
    if (IntersectRect(I, P.Bounds(), FLastMark)) {
      // Overlapping the previous mark: lift this one clear of it.
      const int Up = P.LeftTop.Y + P.Height - FLastMark.Top;
      P.LeftTop.Y -= Up;
      P.ArrowTo.Y -= Up;
    }
  }
  FLastMark = P.Bounds();
  FHasLastMark = true;
  TChartSeries::DrawMark(ValueIndex, Text, P);
}

int TCustomBarSeries::Clicked(int X, int Y) {
  if (!FParentChart || FirstValueIndex < 0) return -1;
  CalcBarSize();
  if (FParentChart->View3D()) FParentChart->Canvas().Calculate2DPosition(X, Y, StartZ);
  const TPoint P(X, Y);
  for (int i = FirstValueIndex; i <= LastValueIndex && i < Count(); ++i) {
    if (GetValueColor(i) == clNone) continue;
    const TRect R = CalcBarBounds(i);
    bool Hit;
    switch (StyleOf(i)) {
    case bsPyramid:
      Hit = YMandatory() ? PointInTriangle(P, R.Left, R.Right, R.Bottom, R.Top)
                         : PointInHorizTriangle(P, R.Top, R.Bottom, R.Left, R.Right);
      break;
    case bsInvPyramid:
      Hit = YMandatory() ? PointInTriangle(P, R.Left, R.Right, R.Top, R.Bottom)
                         : PointInHorizTriangle(P, R.Top, R.Bottom, R.Right, R.Left);
      break;
    case bsEllipse: Hit = PointInEllipse(P, R); break;
    default: Hit = P.X >= R.Left && P.X <= R.Right && P.Y >= R.Top && P.Y <= R.Bottom;
    }
    if (Hit) return i;
  }
  return -1;
}

void TCustomBarSeries::GroupMargins(int &A, int &B) {
  CalcBarSize();
  int J, K;
  SideIndex(J, K);
  const int Group = FBarSize * (FMultiBar == mbSide ? K : 1);
  A = B = FSideMargins ? Group : Group / 2;
}

void TCustomBarSeries::ValueMargins(int &Towards, int &Away) {
  Towards = Away = 0;
  if (!Marks.Visible() || !FParentChart || Count() == 0) return;
  TChartCanvas3D &C = FParentChart->Canvas();
  FParentChart->AssignChartFont(Marks.Font);
  const int Frame = Marks.Frame.Visible ? 2 * Marks.Frame.Width : 0;
  const int Size = (YMandatory() ? C.FontHeight() : MaxMarkWidth()) + Marks.ArrowLength() + Frame;
  bool Above = false, Below = false;
  for (int i = 0; i < Count(); ++i) {
    const double V = PointValue(i), O = PointOriginValue(i);
    if (V >= O) Above = true;
    else Below = true;
  }
  Towards = Above ? Size : 0;
  Away = Below ? Size : 0;
}

void TBarSeries::CalcVertMargins(int &T, int &B) { ValueMargins(T, B); }

void THorizBarSeries::CalcHorizMargins(int &L, int &R) { ValueMargins(R, L); }

void TCustomBarSeries::Assign(const TChartSeries &Source) {
  if (auto *S = dynamic_cast<const TCustomBarSeries *>(&Source)) {
    FAutoBarSize = S->FAutoBarSize;
    FAutoMarkPosition = S->FAutoMarkPosition;
    static_cast<TBrush &>(BarBrush) = S->BarBrush;
    BarPen.Assign(S->BarPen);
    FBarStyle = S->FBarStyle;
    FBarWidthPercent = S->FBarWidthPercent;
    FDark3D = S->FDark3D;
    FMultiBar = S->FMultiBar;
    FOffsetPercent = S->FOffsetPercent;
    FSideMargins = S->FSideMargins;
    FUseYOrigin = S->FUseYOrigin;
    FYOrigin = S->FYOrigin;
    FCustomBarSize = S->FCustomBarSize;
  }
  TChartSeries::Assign(Source);
}

TBarSeries::TBarSeries() {
  YValues().SetName("Bar");
  YValues().Order = TChartListOrder::loNone;
}

THorizBarSeries::THorizBarSeries() {
  XValues().SetName("Bar");
  XValues().Order = TChartListOrder::loNone;
}

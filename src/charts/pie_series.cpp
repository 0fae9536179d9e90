#include "charts/pie_series.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "charts/axis.h"
#include "charts/chart.h"

// ---- circled series ------------------------------------------------------------------

TCircledSeries::TCircledSeries() {
  XValues().SetName("Angle");
  CalcVisiblePoints = false;
}

TCircledSeries::~TCircledSeries() {
  // Leave while still a circled series, so that the chart gets its settings back.
  if (FParentChart) FParentChart->RemoveSeries(this);
}

template <class F> void TCircledSeries::ForEachOfClass(F Fn) {
  if (!FParentChart) return;
  for (TChartSeries *S : FParentChart->SeriesList)
    if (S != this && S->SameClass(*this))
      if (auto *C = dynamic_cast<TCircledSeries *>(S)) Fn(*C);
}

void TCircledSeries::SetCircled(bool V) {
  ForEachOfClass([V](TCircledSeries &C) { C.FCircled = V; });
  FCircled = V;
  Repaint();
}

void TCircledSeries::SetCustomXRadius(int V) {
  ForEachOfClass([V](TCircledSeries &C) { C.FCustomXRadius = V; });
  FCustomXRadius = V;
  Repaint();
}

void TCircledSeries::SetCustomYRadius(int V) {
  ForEachOfClass([V](TCircledSeries &C) { C.FCustomYRadius = V; });
  FCustomYRadius = V;
  Repaint();
}

void TCircledSeries::SetRotationAngle(int V) {
  if (V < 0) throw PieException(Format("%s Angle must be between 0 and 359 degrees", "Rotation"));
  V %= 360;
  if (FRotationAngle == V) return;
  FRotationAngle = V;
  Repaint();
}

double TCircledSeries::RotationRadians() const { return FRotationAngle * M_PI / 180; }

namespace {
// A rotated 3-D view when the canvas cannot turn a flat chart itself.
void SetPieView(TCustomAxisPanel &C) {
  if (C.Canvas().SupportsFullRotation()) return;
  TView3DOptions &V = C.View3DOptions;
  V.SetOrthogonal(false);
  V.SetRotation(360);
  V.SetElevation(315);
  V.SetPerspective(0);
  V.SetTilt(0);
}
} // namespace

void TCircledSeries::SetParentChart(TCustomAxisPanel *Chart) {
  TCustomAxisPanel *Old = FParentChart;
  TChartSeries::SetParentChart(Chart);
  if (Old && Old != Chart && !Old->Destroying()) {
    bool OnlyCircled = true;
    for (TChartSeries *S : Old->SeriesList)
      if (S != this && !dynamic_cast<TCircledSeries *>(S)) OnlyCircled = false;
    // A chart left with circled series only (or none) keeps the pie look.
    const bool AnyLeft = std::any_of(Old->SeriesList.begin(), Old->SeriesList.end(),
                                     [this](TChartSeries *S) { return S != this; });
    if (!(OnlyCircled && AnyLeft)) {
      Old->SetAxisVisible(true);
      Old->SetClipPoints(true);
      Old->SetView3DWalls(true);
      Old->AllowZoom = true;
      Old->AllowPanning = TPanningMode::pmBoth;
      if (auto *C = dynamic_cast<TCustomChart *>(Old)) {
        C->Frame().Visible = true;
        C->BackWall.Brush.Style = bsSolid;
      }
      SetPieView(*Old);
      Old->Invalidate();
    }
  }
  if (Chart && Chart != Old && !Chart->Destroying()) {
    Chart->SetAxisVisible(false);
    Chart->SetClipPoints(false);
    Chart->SetView3DWalls(false);
    Chart->AllowZoom = false;
    Chart->AllowPanning = TPanningMode::pmNone;
    if (auto *C = dynamic_cast<TCustomChart *>(Chart)) {
      C->Frame().Visible = false;
      C->BackWall.Brush.Style = bsClear;
    }
    SetPieView(*Chart);
    Chart->Invalidate();
  }
}

double TCircledSeries::MaxXValue() { return GetHorizAxis() ? GetHorizAxis()->Maximum() : 0; }
double TCircledSeries::MinXValue() { return GetHorizAxis() ? GetHorizAxis()->Minimum() : 0; }
double TCircledSeries::MaxYValue() { return GetVertAxis() ? GetVertAxis()->Maximum() : 0; }
double TCircledSeries::MinYValue() { return GetVertAxis() ? GetVertAxis()->Minimum() : 0; }

void TCircledSeries::CalcCircle() {
  if (!FParentChart) return;
  TChartCanvas3D &C = FParentChart->Canvas();
  TRect R = FParentChart->ChartRect;
  int W = std::max(4, R.Width() & ~1), H = std::max(4, R.Height() & ~1);
  if (Marks.Visible()) {
    FParentChart->AssignChartFont(Marks.Font);
    const int Extra = Marks.ArrowLength() + (Marks.Frame.Visible ? 2 * Marks.Frame.Width : 0);
    H -= C.FontHeight() + Extra;
    W -= C.TextWidth("W") + MaxMarkWidth() + Extra;
  }
  if (FCircled) {
    // Round on the device: a pixel's width and height in inches differ by the ratio of the
    // pixels per inch across and down (1 when the device does not say).
    const TCanvas *Ref = C.ReferenceCanvas();
    const int PX = Ref ? Ref->PixelsPerInchX() : 0, PY = Ref ? Ref->PixelsPerInchY() : 0;
    const double Ratio = PX > 0 && PY > 0 ? double(PX) / PY : 1.0;
    if (W > H * Ratio)
      W = Round(H * Ratio);
    else
      H = Round(W / Ratio);
  }
  W = std::max(W, 0);
  H = std::max(H, 0);
  CircleXCenter = (R.Left + R.Right) / 2;
  CircleYCenter = (R.Top + R.Bottom) / 2;
  CircleWidth = W;
  CircleHeight = H;
  CircleRect = TRect(CircleXCenter - W / 2, CircleYCenter - H / 2, CircleXCenter - W / 2 + W,
                     CircleYCenter - H / 2 + H);
  XRadius = FCustomXRadius ? FCustomXRadius : W / 2;
  YRadius = FCustomYRadius ? FCustomYRadius : H / 2;
  if (FCustomXRadius || FCustomYRadius)
    CircleRect = TRect(CircleXCenter - XRadius, CircleYCenter - YRadius, CircleXCenter + XRadius,
                       CircleYCenter + YRadius);
}

TPoint TCircledSeries::AngleToPos(double Angle, double AXRadius, double AYRadius) const {
  double S, C;
  ChartSinCos(Angle, S, C);
  return {CircleXCenter + Round(AXRadius * C), CircleYCenter - Round(AYRadius * S)};
}

double TCircledSeries::PointToAngle(int X, int Y) const {
  const double dx = X - CircleXCenter, dy = CircleYCenter - Y;
  const double rx = XRadius > 0 ? XRadius : 1, ry = YRadius > 0 ? YRadius : 1;
  double A = std::atan2(dy / ry, dx / rx);
  if (A < 0) A += 2 * M_PI;
  return A;
}

void TCircledSeries::Assign(const TChartSeries &Source) {
  if (auto *S = dynamic_cast<const TCircledSeries *>(&Source)) {
    FCircled = S->FCircled;
    FRotationAngle = S->FRotationAngle;
    FCustomXRadius = S->FCustomXRadius;
    FCustomYRadius = S->FCustomYRadius;
    FCircleBackColor = S->FCircleBackColor;
  }
  TChartSeries::Assign(Source);
}

// ---- pie -------------------------------------------------------------------------------

TPieSeries::TPieSeries() : PiePen([this] { Repaint(); }) {
  YValues().SetName("Pie");
  SetColorEachPoint(true);
  Marks.SetVisible(true);
  Marks.SetArrowLength(8);
}

void TPieSeries::SetExplodeBiggest(int V) {
  if (FExplodeBiggest == V) return;
  FExplodeBiggest = V;
  Repaint();
}

void TPieSeries::SetExplodedSlice(int ValueIndex, int Percent) {
  if (ValueIndex < 0) return;
  if (int(ExplodedSlice.size()) <= ValueIndex) ExplodedSlice.resize(ValueIndex + 1, 0);
  ExplodedSlice[ValueIndex] = Percent;
  Repaint();
}

int TPieSeries::Exploded(int ValueIndex) const {
  int P = ValueIndex >= 0 && ValueIndex < int(ExplodedSlice.size()) ? ExplodedSlice[ValueIndex] : 0;
  if (FExplodeBiggest > 0 && Count() > 0) {
    const std::vector<double> &V = YValues().Raw();
    int Biggest = 0;
    for (int i = 1; i < int(V.size()); ++i)
      if (!IsHidden(i) && V[i] > V[Biggest]) Biggest = i;
    if (ValueIndex == Biggest) P = FExplodeBiggest;
  }
  return P;
}

bool TPieSeries::IsHidden(int ValueIndex) const {
  return ValueIndex >= 0 && ValueIndex < int(FHidden.size()) && FHidden[ValueIndex];
}

void TPieSeries::CalcOtherSlice() {
  for (int i = Count() - 1; i >= 0; --i)
    if (GetxValue(i) == PieOtherFlag) {
      // Taken out quietly: the other slice is the pie's own bookkeeping.
      for (TChartValueList *L : ValueLists) L->Delete(i);
      Colors.erase(Colors.begin() + i);
      XLabels.erase(XLabels.begin() + i);
      if (i < int(Marks.Positions.size())) Marks.Positions.erase(Marks.Positions.begin() + i);
    }
  // In the order the pie's values ask for, before the small ones are gathered.
  YValues().Sort();
  FHidden.assign(Count(), false);
  if (OtherSlice.Style() == poNone || Count() == 0) return;
  const double Total = YValues().TotalABS();
  // With nothing to share, no value has a percentage to fall below.
  if (OtherSlice.Style() == poBelowPercent && Total == 0) return;
  double Sum = 0;
  bool Any = false;
  for (int i = 0; i < Count(); ++i) {
    const double V = std::abs(GetyValue(i));
    const double Measure = OtherSlice.Style() == poBelowPercent ? V * 100 / Total : V;
    if (Measure < OtherSlice.Value()) {
      FHidden[i] = true;
      Sum += GetyValue(i);
      Any = true;
    }
  }
  if (!Any) return;
  const int Index = FX->AddChartValue(PieOtherFlag);
  FY->InsertChartValue(Index, Sum);
  for (TChartValueList *L : ValueLists)
    if (L != FX.get() && L != FY.get()) L->InsertChartValue(Index, 0);
  Colors.insert(Colors.begin() + Index, clChartColor);
  XLabels.insert(XLabels.begin() + Index, OtherSlice.Text());
  FHidden.insert(FHidden.begin() + Index, false);
}

void TPieSeries::CalcAngles() {
  const int N = Count();
  Angles.assign(N, {});
  FHidden.resize(N, false);
  double Total = 0;
  for (int i = 0; i < N; ++i)
    if (!IsHidden(i)) Total += std::abs(GetyValue(i));
  double A = RotationRadians();
  for (int i = 0; i < N; ++i) {
    Angles[i].Start = A;
    if (Total > 0 && !IsHidden(i)) A += std::abs(GetyValue(i)) / Total * 2 * M_PI;
    Angles[i].End = A;
  }
}

TPoint TPieSeries::ExplodeOffset(int ValueIndex) const {
  const int P = Exploded(ValueIndex);
  if (P == 0 || ValueIndex >= int(Angles.size())) return {0, 0};
  double S, C;
  ChartSinCos(Angles[ValueIndex].Mid(), S, C);
  // Right by dx and up by dy: screen Y grows downwards.
  return {Round(XRadius * P * 0.01 * C), -Round(YRadius * P * 0.01 * S)};
}

void TPieSeries::PrepareForDraw() { CalcOtherSlice(); }

bool TPieSeries::Drawable() const {
  if (XRadius < 5 || YRadius < 5) return false;
  for (int i = 0; i < Count(); ++i)
    if (!IsHidden(i) && GetyValue(i) != 0) return true;
  return false;
}

void TPieSeries::SetSliceBrush(int ValueIndex) {
  static constexpr TBrushStyle Patterns[6] = {bsHorizontal, bsVertical, bsFDiagonal,
                                              bsBDiagonal, bsCross, bsDiagCross};
  TChartCanvas3D &C = FParentChart->Canvas();
  C.Brush() = TBrush{GetValueColor(ValueIndex), FUsePatterns ? Patterns[ValueIndex % 6] : bsSolid};
  if (FUsePatterns) C.SetBackColor(clWhite);
  C.AssignVisiblePen(PiePen);
}

void TPieSeries::DrawAllValues() {
  CalcCircle();
  CalcAngles();
  if (!FParentChart || !Drawable()) return;
  TChartCanvas3D &C = FParentChart->Canvas();
  if (CircleBackColor() != clChartColor) {
    C.Brush() = TBrush{CircleBackColor(), bsSolid};
    C.Pen().Style = psClear;
    C.Ellipse(CircleRect.Left, CircleRect.Top, CircleRect.Right, CircleRect.Bottom);
  }
  if (!FParentChart->View3D()) {
    TChartSeries::DrawAllValues();
    return;
  }
  // Back slices first: those whose middle lies highest on the screen.
  std::vector<int> Order(Count());
  std::iota(Order.begin(), Order.end(), 0);
  std::sort(Order.begin(), Order.end(), [this](int A, int B) {
    return std::sin(Angles[A].Mid()) > std::sin(Angles[B].Mid());
  });
  for (int i : Order) DrawValue(i);
}

void TPieSeries::DrawValue(int ValueIndex) {
  if (IsHidden(ValueIndex) || ValueIndex >= int(Angles.size())) return;
  const TColor Color = GetValueColor(ValueIndex);
  if (Color == clNone) return;
  const TSliceAngle &A = Angles[ValueIndex];
  if (A.End == A.Start) return;
  TChartCanvas3D &C = FParentChart->Canvas();
  SetSliceBrush(ValueIndex);
  const TPoint Off = ExplodeOffset(ValueIndex);
  if (FParentChart->View3D()) {
    C.Pie3D(CircleXCenter + Off.X, CircleYCenter + Off.Y, XRadius, YRadius, StartZ, EndZ, A.Start,
            A.End, FDark3D);
    return;
  }
  const TPoint P0 = AngleToPos(A.Start, XRadius, YRadius) + Off;
  const TPoint P1 = AngleToPos(A.End, XRadius, YRadius) + Off;
  // Coinciding arc ends mean a whole circle or a sliver too thin to show.
  if (P0 == P1 && !(Count() == 1 || A.End - A.Start >= 1)) return;
  const TRect R(CircleXCenter - XRadius + Off.X, CircleYCenter - YRadius + Off.Y,
                CircleXCenter + XRadius + Off.X, CircleYCenter + YRadius + Off.Y);
  if (P0 == P1)
    C.Ellipse(R.Left, R.Top, R.Right, R.Bottom);
  else
    C.Pie(R.Left, R.Top, R.Right, R.Bottom, P0.X, P0.Y, P1.X, P1.Y);
}

void TPieSeries::DrawMarks() {
  if (!Drawable()) return;
  TChartSeries::DrawMarks();
}

void TPieSeries::DrawMark(int ValueIndex, const std::string &Text, TSeriesMarkPosition &P) {
  if (IsHidden(ValueIndex) || ValueIndex >= int(Angles.size())) return;
  // Outside the slice at its middle angle, the box on the far side of the arrow's end.
  const double Mid = Angles[ValueIndex].Mid();
  const TPoint Off = ExplodeOffset(ValueIndex);
  P.ArrowFrom = AngleToPos(Mid, XRadius, YRadius) + Off;
  P.ArrowTo = AngleToPos(Mid, XRadius + Marks.ArrowLength(), YRadius + Marks.ArrowLength()) + Off;
  double S, C;
  ChartSinCos(Mid, S, C);
  P.LeftTop.X = C >= 0 ? P.ArrowTo.X : P.ArrowTo.X - P.Width;
  if (std::abs(C) < 0.2) P.LeftTop.X = P.ArrowTo.X - P.Width / 2;
  P.LeftTop.Y = S >= 0 ? P.ArrowTo.Y - P.Height : P.ArrowTo.Y;
  if (std::abs(S) < 0.2) P.LeftTop.Y = P.ArrowTo.Y - P.Height / 2;
  TChartSeries::DrawMark(ValueIndex, Text, P);
}

int TPieSeries::Clicked(int X, int Y) {
  if (!FParentChart || XRadius <= 0 || YRadius <= 0) return -1;
  for (int i = 0; i < Count() && i < int(Angles.size()); ++i) {
    if (IsHidden(i) || Angles[i].End == Angles[i].Start) continue;
    const TPoint Off = ExplodeOffset(i);
    const double dx = double(X - Off.X - CircleXCenter) / XRadius;
    const double dy = double(CircleYCenter - (Y - Off.Y)) / YRadius;
    if (dx * dx + dy * dy > 1) continue;
    double A = std::atan2(dy, dx);
    // Bring the angle into the slice's turn (slices may run past 2 pi).
    while (A < Angles[i].Start) A += 2 * M_PI;
    while (A >= Angles[i].Start + 2 * M_PI) A -= 2 * M_PI;
    if (A < Angles[i].End) return i;
  }
  return -1;
}

void TPieOtherSlice::Assign(const TPieOtherSlice &Source) {
  SetStyle(Source.FStyle);
  SetText(Source.FText);
  SetValue(Source.FValue);
}

void TPieSeries::Assign(const TChartSeries &Source) {
  if (auto *S = dynamic_cast<const TPieSeries *>(&Source)) {
    FDark3D = S->FDark3D;
    FExplodeBiggest = S->FExplodeBiggest;
    OtherSlice.Assign(S->OtherSlice);
    PiePen.Assign(S->PiePen);
    FUsePatterns = S->FUsePatterns;
    ExplodedSlice = S->ExplodedSlice;
  }
  TCircledSeries::Assign(Source);
}

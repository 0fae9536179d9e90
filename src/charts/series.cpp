#include "charts/series.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "charts/axis.h"
#include "charts/chart.h"
#include "charts/chart_function.h"

// ---- marks -------------------------------------------------------------------------

TSeriesMarks::TSeriesMarks(TChartSeries *Series)
    : Arrow([Series] { Series->Repaint(); }), Frame([Series] { Series->Repaint(); }),
      Font(CreateDefaultChartFont(), [Series] { Series->Repaint(); }), FSeries(Series) {}

void TSeriesMarks::SetVisible(bool V) { Set(FVisible, V); }

void TSeriesMarks::Assign(const TSeriesMarks &S) {
  Arrow.Assign(S.Arrow);
  Frame.Assign(S.Frame);
  Font.Assign(S.Font);
  SetStyle(S.FStyle);
  SetArrowLength(S.FArrowLength);
  SetBackColor(S.FBackColor);
  SetTransparent(S.FTransparent);
  SetClip(S.FClip);
  SetVisible(S.FVisible);
}

void TSeriesMarks::Draw(int ValueIndex, TColor Color, const std::string &Text,
                        TSeriesMarkPosition &Position) {
  TCustomAxisPanel *Chart = FSeries->ParentChart();
  if (!Chart || ValueIndex < 0) return;
  TChartCanvas3D &C = Chart->Canvas();
  while (int(Positions.size()) <= ValueIndex) Positions.emplace_back();
  auto &Stored = Positions[ValueIndex];
  if (!Stored) Stored = std::make_unique<TSeriesMarkPosition>();
  if (Stored->Custom)
    Position = *Stored;
  else
    *Stored = Position;
  const bool In3D = Chart->View3D();
  if (Arrow.Visible) {
    C.AssignVisiblePen(Arrow);
    C.Brush().Style = bsClear;
    if (C.Pen().Color == Color || C.Pen().Color == Chart->Color())
      C.Pen().Color = Chart->Color() == clBlack ? clWhite : clBlack;
    if (In3D)
      C.LineWithZ(Position.ArrowFrom.X, Position.ArrowFrom.Y, Position.ArrowTo.X,
                  Position.ArrowTo.Y, ZPosition);
    else
      C.Line(Position.ArrowFrom.X, Position.ArrowFrom.Y, Position.ArrowTo.X, Position.ArrowTo.Y);
  }
  if (In3D) {
    const TPoint P = C.Calculate3DPosition(Position.ArrowTo.X, Position.ArrowTo.Y, ZPosition);
    Position.LeftTop = P - (Position.ArrowTo - Position.LeftTop);
  }
  int TextTop = Position.LeftTop.Y;
  if (Frame.Visible || !FTransparent) {
    C.Brush() = TBrush{FBackColor, FTransparent ? bsClear : bsSolid};
    C.AssignVisiblePen(Frame);
    C.RectangleRect(Position.Bounds());
    if (Frame.Visible) TextTop += Frame.Width;
  }
  // The font is the one the series chose for its marks.
  C.Brush().Style = bsClear;
  C.SetTextAlign(TA_CENTER);
  const int X = Position.LeftTop.X + Position.Width / 2;
  int Y = TextTop;
  size_t Start = 0;
  while (true) {
    const size_t P = Text.find(ChartLineSeparator, Start);
    std::string Line = Text.substr(Start, P == std::string::npos ? std::string::npos : P - Start);
    if (Start > 0 && Line.size() > 255) Line.resize(255);
    C.TextOut(X, Y, Line);
    Y += C.FontHeight();
    if (P == std::string::npos) break;
    Start = P + 1;
  }
  C.SetTextAlign(TA_LEFT | TA_TOP);
}

// ---- series ------------------------------------------------------------------------

TChartSeries::TChartSeries() : Marks(this) {
  FX = std::make_unique<TChartValueList>(this, "X");
  FX->Order = TChartListOrder::loAscending;
  FY = std::make_unique<TChartValueList>(this, "Y");
}

TChartSeries::~TChartSeries() {
  for (TChartSeries *S : DataSources) std::erase(S->LinkedSeries, this);
  for (TChartSeries *S : LinkedSeries) std::erase(S->DataSources, this);
  if (FParentChart) {
    TCustomAxisPanel *C = FParentChart;
    FParentChart = nullptr;
    std::erase(C->SeriesList, this);
  }
}

void TChartSeries::SetActive(bool V) {
  if (FActive == V) return;
  FActive = V;
  Repaint();
}

void TChartSeries::SetSeriesColor(TColor C) {
  if (FSeriesColor == C) return;
  FSeriesColor = C;
  Repaint();
}

void TChartSeries::SetColorEachPoint(bool V) {
  if (FColorEachPoint == V) return;
  FColorEachPoint = V;
  // Back to one colour: the points give up their own.
  if (!V) std::fill(Colors.begin(), Colors.end(), clChartColor);
  Repaint();
}

void TChartSeries::SetParentChart(TCustomAxisPanel *Chart) {
  TCustomAxisPanel *Old = FParentChart;
  // Set first: the charts' own list operations then see the move as done.
  FParentChart = Chart;
  if (Old && Old != Chart) {
    // A series lives as long as the chart that shows it.
    if (Chart) Old->PassOwnership(this, *Chart);
    Old->RemoveSeries(this);
  }
  if (Chart) Chart->AddSeries(this);
  // A custom axis is its chart's to free: the series must not keep one of a chart it left.
  if (FCustomHorizAxis && FCustomHorizAxis->ParentChart() != Chart) FCustomHorizAxis = nullptr;
  if (FCustomVertAxis && FCustomVertAxis->ParentChart() != Chart) FCustomVertAxis = nullptr;
  ResolveAxes();
  Repaint();
}

void TChartSeries::ResolveAxes() {
  if (!FParentChart) {
    FHorizAxisObj = FVertAxisObj = nullptr;
    return;
  }
  if (FHorizAxis == aTopAxis)
    FHorizAxisObj = &FParentChart->TopAxis;
  else if (FHorizAxis == aCustomHorizAxis && FCustomHorizAxis)
    FHorizAxisObj = FCustomHorizAxis;
  else
    FHorizAxisObj = &FParentChart->BottomAxis;
  if (FVertAxis == aRightAxis)
    FVertAxisObj = &FParentChart->RightAxis;
  else if (FVertAxis == aCustomVertAxis && FCustomVertAxis)
    FVertAxisObj = FCustomVertAxis;
  else
    FVertAxisObj = &FParentChart->LeftAxis;
}

void TChartSeries::SetHorizAxis(THorizAxis A) {
  if (FHorizAxis == A) return;
  FHorizAxis = A;
  ResolveAxes();
  Repaint();
}

void TChartSeries::SetVertAxis(TVertAxis A) {
  if (FVertAxis == A) return;
  FVertAxis = A;
  ResolveAxes();
  Repaint();
}

void TChartSeries::SetCustomHorizAxis(TCustomChartAxis *A) {
  FCustomHorizAxis = A;
  ResolveAxes();
  Repaint();
}

void TChartSeries::SetCustomVertAxis(TCustomChartAxis *A) {
  FCustomVertAxis = A;
  ResolveAxes();
  Repaint();
}

void TChartSeries::ForgetAxis(const TCustomChartAxis *A) {
  if (FCustomHorizAxis == A) FCustomHorizAxis = nullptr;
  if (FCustomVertAxis == A) FCustomVertAxis = nullptr;
  ResolveAxes();
}

TChartCanvas3D *TChartSeries::ChartCanvas() const {
  return FParentChart ? &FParentChart->Canvas() : nullptr;
}

void TChartSeries::Repaint() {
  if (FParentChart) FParentChart->Invalidate();
}

int TChartSeries::AddXY(double X, double Y, const std::string &Label, TColor Color) {
  FX->TempValue = X;
  FY->TempValue = Y;
  if (OnBeforeAdd && !OnBeforeAdd(this)) return -1;
  const int Index = InsertValues(X, Y);
  InsertPoint(Index, Label, Color);
  return Index;
}

int TChartSeries::InsertValues(double X, double Y) {
  const int Index = FX->AddChartValue(X);
  FY->InsertChartValue(Index, Y);
  // Any further lists of a series kind take their pending values at the same index.
  for (TChartValueList *L : ValueLists)
    if (L != FX.get() && L != FY.get()) L->InsertChartValue(Index, L->TempValue);
  return Index;
}

void TChartSeries::InsertPoint(int Index, const std::string &Label, TColor Color) {
  Colors.insert(Colors.begin() + Index, Color);
  XLabels.insert(XLabels.begin() + Index, Label);
  NotifyNewValue(this, Index);
}

int TChartSeries::Add(double Y, const std::string &Label, TColor Color) {
  const double X = Count();
  if (YMandatory()) return AddXY(X, Y, Label, Color);
  return AddXY(Y, X, Label, Color);
}

void TChartSeries::ClearLists() {
  for (TChartValueList *L : ValueLists) L->Clear();
  Colors.clear();
  XLabels.clear();
  Marks.Positions.clear();
}

void TChartSeries::Clear() {
  ClearLists();
  if (OnClearValues) OnClearValues(this);
  NotifyValue(TValueEvent::veClear, 0);
  Repaint();
}

void TChartSeries::SetXValue(int I, double V) {
  FX->SetValue(I, V);
  Repaint();
}

void TChartSeries::SetYValue(int I, double V) {
  FY->SetValue(I, V);
  Repaint();
}

void TChartSeries::Delete(int ValueIndex) {
  for (TChartValueList *L : ValueLists) L->Delete(ValueIndex);
  if (ValueIndex < int(Colors.size())) Colors.erase(Colors.begin() + ValueIndex);
  if (ValueIndex < int(XLabels.size())) XLabels.erase(XLabels.begin() + ValueIndex);
  if (ValueIndex < int(Marks.Positions.size()))
    Marks.Positions.erase(Marks.Positions.begin() + ValueIndex);
  NotifyValue(TValueEvent::veDelete, ValueIndex);
  Repaint();
}

TColor TChartSeries::GetValueColor(int ValueIndex) const {
  if (ValueIndex >= 0 && ValueIndex < int(Colors.size())) {
    const TColor C = Colors[ValueIndex];
    if (C != clChartColor) return C;
    if (FColorEachPoint) return GetDefaultColor(ValueIndex);
  }
  return FSeriesColor;
}

void TChartSeries::SetValueColor(int ValueIndex, TColor Color) {
  Colors.at(ValueIndex) = Color;
  Repaint();
}

std::string TChartSeries::GetXLabel(int ValueIndex) const {
  return ValueIndex >= 0 && ValueIndex < int(XLabels.size()) ? XLabels[ValueIndex] : "";
}

void TChartSeries::SwapValueIndex(int A, int B) {
  for (TChartValueList *L : ValueLists) L->SwapRaw(A, B);
  std::swap(Colors[A], Colors[B]);
  std::swap(XLabels[A], XLabels[B]);
}

void TChartSeries::FillSampleValues(int NumValues) {
  if (NumValues < 1) throw ChartException("FillSampleValues NumValues must be > 0");
  Clear();
  const bool Saved = FParentChart ? FParentChart->CanRepaint : false;
  if (FParentChart) FParentChart->CanRepaint = false;
  std::mt19937 Gen(NumValues);
  std::uniform_real_distribution<double> Step(-5, 5);
  double Y = 50;
  for (int i = 0; i < NumValues; ++i) {
    Y += Step(Gen);
    if (YMandatory())
      AddXY(i, Y);
    else
      AddXY(Y, i);
  }
  if (FParentChart) FParentChart->CanRepaint = Saved;
  Repaint();
}

void TChartSeries::NotifyNewValue(TChartSeries *Sender, int ValueIndex) {
  if (OnAfterAdd) OnAfterAdd(Sender, ValueIndex);
  NotifyValue(TValueEvent::veAdd, ValueIndex);
  if (FActive) Repaint();
}

void TChartSeries::NotifyValue(TValueEvent Event, int ValueIndex) {
  const std::vector<TChartSeries *> Linked = LinkedSeries;
  for (TChartSeries *S : Linked) {
    if (std::find(S->DataSources.begin(), S->DataSources.end(), this) == S->DataSources.end())
      continue;
    switch (Event) {
    case TValueEvent::veClear:
      if (S->RecalcOptions & rOnClear) S->Clear();
      break;
    case TValueEvent::veAdd:
      if (!(S->RecalcOptions & rOnInsert)) break;
      // A function's results depend on every source point: it recalculates.
      if (S->HasFunction()) S->CheckDataSource();
      else S->AddValue(this, ValueIndex);
      break;
    case TValueEvent::veDelete:
      if (!(S->RecalcOptions & rOnDelete)) break;
      if (S->HasFunction()) S->CheckDataSource();
      else S->DeletedValue(this, ValueIndex);
      break;
    case TValueEvent::veRefresh: S->CheckDataSource(); break;
    case TValueEvent::veModify:
      if (S->RecalcOptions & rOnModify) S->CheckDataSource();
      break;
    }
  }
}

void TChartSeries::AddDataSource(TChartSeries *Source) {
  if (!FParentChart) throw ChartException("No ParentChart to validate DataSource");
  if (!Source || Source == this)
    throw ChartException(Format("No valid DataSource: %s", Source ? Source->Name : ""));
  if (std::find(DataSources.begin(), DataSources.end(), Source) != DataSources.end()) return;
  FParentChart->CheckCircularSource(this, Source);
  DataSources.push_back(Source);
  Source->LinkedSeries.push_back(this);
  CheckDataSource();
}

void TChartSeries::RemoveDataSource(TChartSeries *Source) {
  std::erase(DataSources, Source);
  std::erase(Source->LinkedSeries, this);
  CheckDataSource();
}

void TChartSeries::SetFunction(std::unique_ptr<TChartFunction> AFunction) {
  // The old function goes only after the new one is in place: it may be the caller.
  std::unique_ptr<TChartFunction> Old = std::move(FFunction);
  FFunction = std::move(AFunction);
  if (FFunction) FFunction->FParent = this;
  if (Old) Old->FParent = nullptr;
  CheckDataSource();
}

std::unique_ptr<TChartFunction> TChartSeries::ReleaseFunction() {
  if (FFunction) FFunction->FParent = nullptr;
  return std::move(FFunction);
}

void TChartSeries::SetColorSource(const std::string &V) {
  if (FColorSource == V) return;
  FColorSource = V;
  CheckDataSource();
}

void TChartSeries::SetXLabelsSource(const std::string &V) {
  if (FXLabelsSource == V) return;
  FXLabelsSource = V;
  CheckDataSource();
}

void TChartSeries::CheckDataSource() {
  if (DataSources.empty()) return;
  // A full clear, so that the series copying this one start again too.
  Clear();
  TChartSeries *First = DataSources.front();
  // The copy keeps its source's kind of values: dates stay dates.
  XValues().SetDateTime(First->XValues().DateTime());
  YValues().SetDateTime(First->YValues().DateTime());
  if (FFunction)
    FFunction->AddPoints(First);
  else
    for (TChartSeries *S : DataSources)
      for (int i = 0; i < S->Count(); ++i) AddValue(S, i);
  Repaint();
}

int TChartSeries::AddValues(TChartSeries *Source, int ValueIndex) {
  double X = Source->GetxValue(ValueIndex), Y = Source->GetyValue(ValueIndex);
  // A horizontal source feeding a vertical series (or the reverse) gives its X and Y swapped.
  if (Source->YMandatory() != YMandatory()) std::swap(X, Y);
  // Further lists take the value of the source's list of the same place.
  for (size_t k = 0; k < ValueLists.size(); ++k) {
    TChartValueList *L = ValueLists[k];
    if (L == FX.get() || L == FY.get()) continue;
    const bool Has = k < Source->ValueLists.size() && ValueIndex < Source->ValueLists[k]->Count();
    L->TempValue = Has ? Source->ValueLists[k]->GetValue(ValueIndex) : 0;
  }
  return InsertValues(X, Y);
}

void TChartSeries::AddValue(TChartSeries *Source, int ValueIndex) {
  const int Index = AddValues(Source, ValueIndex);
  InsertPoint(Index, Source->GetXLabel(ValueIndex),
              ValueIndex < int(Source->Colors.size()) ? Source->Colors[ValueIndex] : clChartColor);
}

void TChartSeries::DeletedValue(TChartSeries *, int ValueIndex) {
  if (ValueIndex < Count()) Delete(ValueIndex);
}

bool TChartSeries::AssociatedToAxis(const TCustomChartAxis *Axis) const {
  if (!UseAxis() || !Axis) return false;
  if (Axis->Horizontal())
    return FHorizAxisObj == Axis || (FHorizAxis == aBothHorizAxis && FParentChart &&
                                     (Axis == &FParentChart->TopAxis || Axis == &FParentChart->BottomAxis));
  return FVertAxisObj == Axis || (FVertAxis == aBothVertAxis && FParentChart &&
                                  (Axis == &FParentChart->LeftAxis || Axis == &FParentChart->RightAxis));
}

void TChartSeries::CalcVisibleRange() {
  FirstValueIndex = LastValueIndex = -1;
  const int N = Count();
  if (N == 0) return;
  const TChartValueList &L = YMandatory() ? *FX : *FY;
  const TCustomChartAxis *A = YMandatory() ? FHorizAxisObj : FVertAxisObj;
  if (!CalcVisiblePoints || L.Order == TChartListOrder::loNone || !A || !FParentChart) {
    FirstValueIndex = 0;
    LastValueIndex = N - 1;
    return;
  }
  const TRect &R = FParentChart->ChartRect;
  double Lo, Hi;
  if (A->Horizontal()) {
    Lo = A->CalcPosPoint(A->Inverted() ? R.Right : R.Left);
    Hi = A->CalcPosPoint(A->Inverted() ? R.Left : R.Right);
  } else {
    Lo = A->CalcPosPoint(A->Inverted() ? R.Top : R.Bottom);
    Hi = A->CalcPosPoint(A->Inverted() ? R.Bottom : R.Top);
  }
  int First = 0;
  while (L.GetValue(First) < Lo) {
    if (++First > N - 1) return;
  }
  FirstValueIndex = First;
  if (L.GetValue(N - 1) <= Hi)
    LastValueIndex = N - 1;
  else {
    int Last = First;
    while (Last < N - 1 && L.GetValue(Last) < Hi) ++Last;
    if (!DrawBetweenPoints && L.GetValue(Last) > Hi) --Last;
    LastValueIndex = Last;
  }
}

int TChartSeries::CalcXPosValue(double V) const {
  return FHorizAxisObj ? FHorizAxisObj->CalcXPosValue(V) : 0;
}
int TChartSeries::CalcYPosValue(double V) const {
  return FVertAxisObj ? FVertAxisObj->CalcYPosValue(V) : 0;
}
double TChartSeries::CalcXPosD(int I) const {
  return FHorizAxisObj ? FHorizAxisObj->CalcPosValueFinite(GetxValue(I)) : 0;
}
double TChartSeries::CalcYPosD(int I) const {
  return FVertAxisObj ? FVertAxisObj->CalcPosValueFinite(GetyValue(I)) : 0;
}
int TChartSeries::CalcXPos(int I) const { return CalcXPosValue(GetxValue(I)); }
int TChartSeries::CalcYPos(int I) const { return CalcYPosValue(GetyValue(I)); }
double TChartSeries::XScreenToValue(int P) const {
  return FHorizAxisObj ? FHorizAxisObj->CalcPosPoint(P) : 0;
}
double TChartSeries::YScreenToValue(int P) const {
  return FVertAxisObj ? FVertAxisObj->CalcPosPoint(P) : 0;
}

void TChartSeries::DrawAllValues() {
  BeginDrawValues();
  if (FirstValueIndex >= 0) {
    if (DrawValuesForward())
      for (int i = FirstValueIndex; i <= LastValueIndex; ++i) DrawValue(i);
    else
      for (int i = LastValueIndex; i >= FirstValueIndex; --i) DrawValue(i);
  }
  EndDrawValues();
}

void TChartSeries::DrawMarks() {
  TChartCanvas3D *C = ChartCanvas();
  if (!C) return;
  TFont F = Marks.Font;
  // A zoomed 3-D view shows its marks' texts zoomed too.
  const int Zoom = FParentChart->View3DOptions.Zoom();
  if (FParentChart->View3D() && Zoom != 100) F.SetSize(std::max(1, Round(F.Size() * Zoom * 0.01)));
  FParentChart->AssignChartFont(F);
  const int Frame = Marks.Frame.Visible ? 2 * Marks.Frame.Width : 0;
  for (int i = FirstValueIndex; i >= 0 && i <= LastValueIndex; ++i) {
    if (GetValueColor(i) == clNone) continue;
    const std::string Text = ValueMarkText(i);
    if (Text.empty()) continue;
    int Lines = 1;
    TSeriesMarkPosition P;
    P.Width = MultiLineTextWidth(*C, Text, Lines) + C->TextWidth("W") + Frame;
    P.Height = Lines * C->FontHeight() + Frame;
    P.ArrowFrom = P.ArrowTo = {CalcXPos(i), CalcYPos(i)};
    P.LeftTop = {P.ArrowFrom.X - P.Width / 2, P.ArrowFrom.Y - P.Height + 1};
    DrawMark(i, Text, P);
  }
}

void TChartSeries::DrawMark(int ValueIndex, const std::string &Text, TSeriesMarkPosition &P) {
  Marks.Draw(ValueIndex, GetValueColor(ValueIndex), Text, P);
}

void TChartSeries::DrawLegend(int ValueIndex, const TRect &R) {
  // Points of many colours have no one colour to stand for the series.
  if (ValueIndex == -1 && FColorEachPoint) return;
  DrawLegendShape(ValueIndex, R);
}

void TChartSeries::DrawLegendShape(int ValueIndex, const TRect &R) {
  TChartCanvas3D *C = ChartCanvas();
  if (!C) return;
  const TColor Color = ValueIndex < 0 ? FSeriesColor : LegendItemColor(ValueIndex);
  // The legend's pen frames the box; a box in the legend's own colour (the background
  // colour, read before the box's brush takes its place) gets a white frame.
  if (ColorToRGB(Color) == ColorToRGB(C->GetBackColor())) C->Pen().Color = clWhite;
  C->Brush() = TBrush{Color, bsSolid};
  C->Rectangle(R.Left, R.Top, R.Right, R.Bottom);
}

bool TChartSeries::MoreSameZOrder() const {
  if (!FParentChart) return false;
  for (TChartSeries *S : FParentChart->SeriesList)
    if (S != this && S->Active() && S->GetZOrder() == GetZOrder()) return true;
  return false;
}

void TChartSeries::CalcZOrder() {
  if (!FParentChart) return;
  if (FZOrder == -1) FComputedZOrder = ++FParentChart->MaxZOrder;
  else FParentChart->MaxZOrder = std::max(FParentChart->MaxZOrder, FZOrder);
}

namespace {
// A mark in the legend's style reads as the chart's legend does.
TLegendTextStyle LegendTextStyleOf(const TCustomAxisPanel *Chart) {
  if (auto *C = dynamic_cast<const TCustomChart *>(Chart)) return C->Legend.TextStyle();
  return ltsLeftValue;
}
} // namespace

std::string TChartSeries::ValueMarkText(int ValueIndex) {
  const double V = GetMarkValue(ValueIndex);
  const double Total = MandatoryValueList().TotalABS();
  const double Pct = Total == 0 ? 100 : 100 * V / Total;
  const std::string L = GetXLabel(ValueIndex);
  std::string S;
  switch (Marks.Style()) {
  case smsValue: S = FormatFloat(FValueFormat, V); break;
  case smsPercent: S = FormatFloat(FPercentFormat, Pct); break;
  case smsLabel: S = L; break;
  case smsLabelPercent: S = L + " " + FormatFloat(FPercentFormat, Pct); break;
  case smsLabelValue: S = L + " " + FormatFloat(FValueFormat, V); break;
  case smsLegend: S = LegendItemText(ValueIndex, LegendTextStyleOf(FParentChart)); break;
  case smsPercentTotal:
    S = Format("%s of %s", FormatFloat(FPercentFormat, Pct), FormatFloat(FValueFormat, Total));
    break;
  case smsLabelPercentTotal:
    S = L + " " +
        Format("%s of %s", FormatFloat(FPercentFormat, Pct), FormatFloat(FValueFormat, Total));
    break;
  case smsXValue:
    S = FHorizAxisObj ? FHorizAxisObj->LabelValue(GetxValue(ValueIndex))
                      : FormatFloat(FValueFormat, GetxValue(ValueIndex));
    break;
  }
  if (OnGetMarkText) OnGetMarkText(this, ValueIndex, S);
  return S;
}

std::string TChartSeries::LegendItemText(int ValueIndex, TLegendTextStyle Style) {
  const int I = ValueIndex;
  const std::string T = GetXLabel(I);
  if (Style == ltsPlain) return T;
  const double V = GetMarkValue(I);
  const std::string VS = FormatFloat(FValueFormat, V);
  std::string PS;
  if (Style == ltsLeftPercent || Style == ltsRightPercent) {
    const double Total = MandatoryValueList().TotalABS();
    PS = FormatFloat(FPercentFormat, Total == 0 ? 100 : 100 * V / Total);
  }
  switch (Style) {
  case ltsLeftValue: return VS + " " + T;
  case ltsRightValue: return T + " " + VS;
  case ltsLeftPercent: return PS + " " + T;
  case ltsRightPercent: return T + " " + PS;
  case ltsXValue:
    return FHorizAxisObj ? FHorizAxisObj->LabelValue(GetxValue(I))
                         : FormatFloat(FValueFormat, GetxValue(I));
  default: return T;
  }
}

int TChartSeries::MaxMarkWidth() {
  TChartCanvas3D *C = ChartCanvas();
  if (!C) return 0;
  int W = 0;
  for (int i = 0; i < Count(); ++i) W = std::max(W, C->TextWidth(ValueMarkText(i)));
  return W;
}

double TChartSeries::PointOrigin(int ValueIndex, bool SumAll) const {
  if (!FParentChart) return 0;
  double Sum = 0;
  for (TChartSeries *S : FParentChart->SeriesList) {
    if (!SumAll && S == this) break;
    if (S->Active() && SameSeriesClass(*S, *this) && S->Count() > ValueIndex)
      Sum += S->GetMarkValue(ValueIndex);
  }
  return Sum;
}

int TChartSeries::Clicked(int, int) { return -1; }

bool TChartSeries::ClickHook(int ValueIndex, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!FParentChart) return false;
  FParentChart->CancelMouse = false;
  if ((Shift & ssDouble) && OnDblClick) {
    FParentChart->CancelMouse = true;
    OnDblClick(this, ValueIndex, Button, Shift, X, Y);
  } else if (OnClick) {
    FParentChart->CancelMouse = true;
    OnClick(this, ValueIndex, Button, Shift, X, Y);
  }
  return FParentChart->CancelMouse;
}

void TChartSeries::Assign(const TChartSeries &S) {
  FActive = S.FActive;
  FSeriesColor = S.FSeriesColor;
  FColorEachPoint = S.FColorEachPoint;
  FTitle = S.FTitle;
  FShowInLegend = S.FShowInLegend;
  FValueFormat = S.FValueFormat;
  FPercentFormat = S.FPercentFormat;
  FHorizAxis = S.FHorizAxis;
  FVertAxis = S.FVertAxis;
  FZOrder = S.FZOrder;
  FCursor = S.FCursor;
  Marks.Assign(S.Marks);
  FX->Assign(*S.FX);
  FY->Assign(*S.FY);
  ClearLists();
  for (int i = 0; i < S.Count(); ++i) {
    const int Index = FX->AddChartValue(S.FX->Raw()[i]);
    FY->InsertChartValue(Index, S.FY->Raw()[i]);
    Colors.insert(Colors.begin() + Index, S.Colors[i]);
    XLabels.insert(XLabels.begin() + Index, S.XLabels[i]);
  }
  ResolveAxes();
  Repaint();
}

bool TChartSeries::SameClass(const TChartSeries &Other) const {
  return typeid(*this) == typeid(Other);
}

int CountActiveSeries(const std::vector<TChartSeries *> &List) {
  return int(std::count_if(List.begin(), List.end(), [](TChartSeries *S) { return S->Active(); }));
}

bool SameSeriesClass(const TChartSeries &A, const TChartSeries &B) {
  return A.IsOfMyClass(B) || B.IsOfMyClass(A);
}

#include "charts/chart.h"

#include <algorithm>
#include <cmath>

// ---- walls and titles -------------------------------------------------------------

TChartWall::TChartWall(TCustomChartPanel *Chart)
    : Brush([Chart] { Chart->Invalidate(); }), Pen([Chart] { Chart->Invalidate(); }), FChart(Chart) {}

void TChartWall::Assign(const TChartWall &S) {
  Brush.Assign(S.Brush);
  FDark3D = S.FDark3D;
  Pen.Assign(S.Pen);
  FSize = S.FSize;
  FColor = S.FColor;
  FChart->Invalidate();
}

TChartTitle::TChartTitle(TCustomChartPanel *Chart)
    : TChartFontObject(Chart), Brush([Chart] { Chart->Invalidate(); }),
      Frame([Chart] { Chart->Invalidate(); }) {
  Font.Color = clBlue;
}

void TChartTitle::Assign(const TChartTitle &S) {
  Font.Assign(S.Font);
  FAdjustFrame = S.FAdjustFrame;
  FAlignment = S.FAlignment;
  Brush.Assign(S.Brush);
  FColor = S.FColor;
  Frame.Assign(S.Frame);
  FText = S.FText;
  FVisible = S.FVisible;
  FOwner->Invalidate();
}

void TChartTitle::Draw(bool OnTop) {
  TCustomChartPanel &P = *FOwner;
  TChartCanvas3D &C = P.Canvas();
  P.AssignChartFont(Font);
  if (FColor == clChartColor) {
    if (Brush.Style == bsSolid && Brush.Color != clChartColor)
      C.Brush() = TBrush{Brush.Color, bsSolid};
    else if (Brush.Style != bsSolid)
      C.Brush() = TBrush{Brush.Color == clChartColor ? clWhite : Brush.Color, Brush.Style};
    else
      C.Brush().Style = bsClear;
  } else C.Brush() = TBrush{FColor, bsSolid};
  int w = 0;
  if (Frame.Visible && Frame.Color != clChartColor) {
    w = Frame.Width;
    C.AssignVisiblePen(Frame);
  } else
    C.Pen().Style = psClear;
  const int FH = C.FontHeight();
  const int H = FH * int(FText.size());
  TRect R;
  R.Left = P.ChartRect.Left + w;
  R.Right = P.ChartRect.Right - w;
  if (OnTop) {
    R.Top = P.ChartRect.Top + w;
    R.Bottom = R.Top + H;
  } else {
    R.Bottom = P.ChartRect.Bottom - w;
    R.Top = R.Bottom - H;
  }
  InflateRect(R, w, w);
  const int WW = C.TextWidth("W");
  if (Frame.Visible || C.Brush().Style != bsClear) {
    if (FAdjustFrame) {
      int Widest = 0;
      for (const std::string &L : FText) Widest = std::max(Widest, C.TextWidth(L));
      const int NW = Widest + WW;
      if (FAlignment == taRightJustify) R.Left = R.Right - NW;
      else if (FAlignment == taCenter) {
        const int Mid = (R.Left + R.Right) / 2;
        R.Left = Mid - NW / 2;
        R.Right = R.Left + NW;
      } else R.Right = R.Left + NW;
    }
    C.Rectangle(R.Left, R.Top, R.Right, R.Bottom);
  }
  TitleRect = R;
  C.Brush().Style = bsClear;
  C.SetBackMode(bkTransparent);
  const int N = int(FText.size());
  for (int i = 0; i < N; ++i) {
    const std::string &L = OnTop ? FText[i] : FText[N - 1 - i];
    const int TW = C.TextWidth(L);
    int X;
    if (FAlignment == taLeftJustify) X = R.Left + WW / 2;
    else if (FAlignment == taRightJustify) X = R.Right - TW - WW / 2;
    else X = (R.Left + R.Right) / 2 - TW / 2;
    const int Y = OnTop ? R.Top + w + i * FH : R.Bottom - w - (i + 1) * FH;
    C.TextOut(X, Y, L);
  }
  if (OnTop)
    P.ChartRect.Top = R.Bottom + w + 5;
  else
    P.ChartRect.Bottom = R.Top - w - 5;
  P.RecalcWidthHeight();
}

// ---- legend --------------------------------------------------------------------------

TChartLegend::TChartLegend(TCustomChart *Chart)
    : TChartFontObject(Chart), Brush([Chart] { Chart->Invalidate(); }),
      DividingLines([Chart] { Chart->Invalidate(); }), Frame([Chart] { Chart->Invalidate(); }),
      FChart(Chart) {}

void TChartLegend::SetColorWidth(int V) {
  if (V < 0 || V > 100) throw ChartException("Legend Color Width must be between 0 and 100 %");
  ChartSetting(FOwner, FColorWidth, V);
}

void TChartLegend::SetFirstValue(int V) {
  if (V < 0) throw ChartException("First Legend Value must be > 0");
  ChartSetting(FOwner, FFirstValue, V);
}

void TChartLegend::SetTopPos(int V) {
  if (V < 0 || V > 100) throw ChartException("Top Legend Position must be between 0 and 100 %");
  ChartSetting(FOwner, FTopPos, V);
}

void TChartLegend::Assign(const TChartLegend &S) {
  FAlignment = S.FAlignment;
  Brush.Assign(S.Brush);
  FColor = S.FColor;
  FColorWidth = S.FColorWidth;
  DividingLines.Assign(S.DividingLines);
  FFirstValue = S.FFirstValue;
  Font.Assign(S.Font);
  Frame.Assign(S.Frame);
  FHorizMargin = S.FHorizMargin;
  FInverted = S.FInverted;
  FLegendStyle = S.FLegendStyle;
  FMaxNumRows = S.FMaxNumRows;
  FResizeChart = S.FResizeChart;
  FShadowColor = S.FShadowColor;
  FShadowSize = S.FShadowSize;
  FTextStyle = S.FTextStyle;
  FTopPos = S.FTopPos;
  FVertMargin = S.FVertMargin;
  FVisible = S.FVisible;
  FChart->Invalidate();
}

TLegendStyle TChartLegend::ResolvedStyle() const {
  if (FLegendStyle != lsAuto) return FLegendStyle;
  return CountActiveSeries(FChart->SeriesList) >= 2 ? lsSeries : lsValues;
}

int TChartLegend::ItemCount() const {
  int N = 0;
  switch (ResolvedStyle()) {
  case lsSeries:
  case lsLastValues:
    for (TChartSeries *S : FChart->SeriesList)
      if (S->Active() && S->ShowInLegend()) ++N;
    break;
  default:
    for (TChartSeries *S : FChart->SeriesList)
      if (S->Active()) {
        N = S->Count();
        break;
      }
  }
  return std::max(0, N - FFirstValue);
}

std::string TChartLegend::ItemText(int Index) const {
  std::string S;
  const TLegendStyle St = ResolvedStyle();
  if (St == lsSeries)
    S = FChart->SeriesTitleLegend(Index);
  else if (St == lsLastValues) {
    if (TChartSeries *Ser = FChart->SeriesLegend(Index); Ser && Ser->Count() > 0)
      S = Ser->LegendItemText(Ser->Count() - 1, FTextStyle);
  } else
    for (TChartSeries *Ser : FChart->SeriesList)
      if (Ser->Active()) {
        S = Ser->LegendItemText(Index, FTextStyle);
        break;
      }
  if (FChart->OnGetLegendText) FChart->OnGetLegendText(FChart, St, Index, S);
  return S;
}

void TChartLegend::Draw() {
  TCustomChart &Ch = *FChart;
  TChartCanvas3D &C = Ch.Canvas();
  Ch.AssignChartFont(Font);
  const int Items = ItemCount();
  FItemHeight = C.FontHeight();
  int TextW = 0;
  for (int i = 0; i < Items; ++i) TextW = std::max(TextW, C.TextWidth(ItemText(i + FFirstValue)));
  TextW += 4;
  ColorWidthPixels = Round(FColorWidth * TextW * 0.01);
  FItemWidth = TextW + ColorWidthPixels + 8;
  const TRect CR = Ch.ChartRect;
  const int Fw = Frame.Visible ? Frame.Width : 0;
  if (FAlignment == laLeft || FAlignment == laRight) {
    NumCols = 1;
    NumRows = FItemHeight > 0 ? std::min(Items, CR.Height() / FItemHeight) : 0;
    const int Top = Ch.ChartBounds.Top + Round(FTopPos * 0.01 * Ch.ChartBounds.Height());
    if (FAlignment == laLeft)
      RectLegend = TRect(CR.Left + Fw, Top, CR.Left + Fw + FItemWidth, Top + NumRows * FItemHeight);
    else
      RectLegend = TRect(CR.Right - Fw - FShadowSize - FItemWidth, Top, CR.Right - Fw - FShadowSize,
                         Top + NumRows * FItemHeight);
  } else {
    NumCols = std::max(1, FItemWidth > 0 ? CR.Width() / FItemWidth : 1);
    NumRows = std::min(FMaxNumRows, (Items + NumCols - 1) / NumCols);
    const int W = std::min(Items, NumCols) * FItemWidth;
    const int Free = CR.Width() - W;
    const int Left = CR.Left + Free / 2 + Round(FTopPos * Free * 0.01);
    const int H = NumRows * FItemHeight;
    if (FAlignment == laTop) RectLegend = TRect(Left, CR.Top + Fw, Left + W, CR.Top + Fw + H);
    else RectLegend = TRect(Left, CR.Bottom - FShadowSize - H, Left + W, CR.Bottom - FShadowSize);
  }
  if (Ch.OnGetLegendRect) Ch.OnGetLegendRect(&Ch, RectLegend);
  if (NumRows > 0) {
    const TRect &R = RectLegend;
    if (FShadowSize > 0) {
      C.Brush() = TBrush{FShadowColor, bsSolid};
      C.Pen().Style = psClear;
      C.FillRect(TRect(R.Left + FShadowSize, R.Top + FShadowSize, R.Right + FShadowSize,
                       R.Bottom + FShadowSize));
    }
    C.Brush() = TBrush{FColor, bsSolid};
    C.AssignVisiblePen(Frame);
    C.Rectangle(R.Left, R.Top, R.Right, R.Bottom);
    const int Shown = std::min(Items, NumRows * NumCols);
    for (int k = 0; k < Shown; ++k) {
      // The colour boxes are framed in black, or white on a black legend; the series tell
      // a box from the legend's colour by the canvas's background colour.
      C.Pen() = TPen{FColor == clBlack ? clWhite : clBlack, 1, psSolid, pmCopy};
      C.SetBackColor(FColor);
      const int Item = FInverted ? Shown - 1 - k : k;
      const int Row = k / NumCols, Col = k % NumCols;
      int X = R.Left + Col * FItemWidth + 4, Y = R.Top + Row * FItemHeight;
      int XColor = X;
      if (Ch.OnGetLegendPos) Ch.OnGetLegendPos(&Ch, Item, X, Y, XColor);
      const TRect Box(XColor, Y + 2, XColor + ColorWidthPixels, Y + FItemHeight - 2);
      const int Index = Item + FFirstValue;
      TChartSeries *S = nullptr;
      if (ResolvedStyle() == lsValues) {
        for (TChartSeries *T : Ch.SeriesList)
          if (T->Active()) { S = T; break; }
        if (S) S->DrawLegend(Index, Box);
      } else if ((S = Ch.SeriesLegend(Index))) S->DrawLegend(-1, Box);
      Ch.AssignChartFont(Font);
      C.Brush().Style = bsClear;
      C.TextOut(XColor + ColorWidthPixels + 4, Y, ItemText(Index));
      if (DividingLines.Visible && Row > 0) {
        C.AssignVisiblePen(DividingLines);
        C.DoHorizLine(R.Left, R.Right, Y);
      }
    }
  }
  TRect &CR2 = Ch.ChartRect;
  if (FResizeChart && NumRows > 0) {
    switch (FAlignment) {
    case laLeft: CR2.Left = RectLegend.Right; break;
    case laRight: CR2.Right = RectLegend.Left; break;
    case laTop: CR2.Top = RectLegend.Bottom + FShadowSize; break;
    case laBottom: CR2.Bottom = RectLegend.Top; break;
    }
  }
  const int HM = FHorizMargin ? FHorizMargin : MulDiv(3, Ch.ChartWidth, 100);
  const int VM = FVertMargin ? FVertMargin : MulDiv(4, Ch.ChartHeight, 100);
  switch (FAlignment) {
  case laLeft: CR2.Left += HM; break;
  case laRight: CR2.Right -= HM; break;
  case laTop: CR2.Top += VM; break;
  case laBottom: CR2.Bottom -= VM; break;
  }
  Ch.RecalcWidthHeight();
}

int TChartLegend::Clicked(int X, int Y) const {
  if (!FVisible || !PtInRect(RectLegend, Point(X, Y)) || FItemHeight <= 0 || FItemWidth <= 0)
    return -1;
  const int Row = (Y - RectLegend.Top) / FItemHeight, Col = (X - RectLegend.Left) / FItemWidth;
  const int k = Row * NumCols + Col;
  return k < ItemCount() ? k + FFirstValue : -1;
}

// ---- axis panel -------------------------------------------------------------------------

TCustomAxisPanel::TCustomAxisPanel()
    : DepthAxis(this), TopAxis(this, true, true), BottomAxis(this, true, false),
      LeftAxis(this, false, false), RightAxis(this, false, true) {
  AxesList = {&BottomAxis, &TopAxis, &LeftAxis, &RightAxis, &DepthAxis};
  LeftAxis.Title.DefaultAngle = 90;
  LeftAxis.Title.SetAngle(90);
  RightAxis.Title.DefaultAngle = 270;
  RightAxis.Title.SetAngle(270);
}

TCustomAxisPanel::~TCustomAxisPanel() {
  FDestroying = true;
  CanRepaint = false;
  // The axes an application added are the chart's to free (its own five are members);
  // they go while the series are still listed, so that no series that outlives the
  // chart keeps one.
  while (AxesList.size() > 5) delete AxesList.back();
  const std::vector<TChartSeries *> Leaving = SeriesList;
  SeriesList.clear();
  for (TChartSeries *S : Leaving) S->SetParentChart(nullptr);
  FOwnedSeries.clear();
}

void TCustomAxisPanel::ForgetAxis(TCustomChartAxis *Axis) {
  std::erase(AxesList, Axis);
  for (TChartSeries *S : SeriesList) S->ForgetAxis(Axis);
  if (!FDestroying) Invalidate();
}

TChartSeries *TCustomAxisPanel::AddSeries(std::unique_ptr<TChartSeries> Series) {
  TChartSeries *S = Series.get();
  FOwnedSeries.push_back(std::move(Series));
  AddSeries(S);
  return S;
}

void TCustomAxisPanel::AddSeries(TChartSeries *S) {
  if (std::find(SeriesList.begin(), SeriesList.end(), S) != SeriesList.end()) return;
  if (S->SeriesColor() == clChartColor) S->SetSeriesColor(FreeSeriesColor(true));
  SeriesList.push_back(S);
  if (S->ParentChart() != this) S->SetParentChart(this);
  Invalidate();
}

void TCustomAxisPanel::PassOwnership(TChartSeries *S, TCustomAxisPanel &To) {
  auto It = std::find_if(FOwnedSeries.begin(), FOwnedSeries.end(),
                         [S](const std::unique_ptr<TChartSeries> &P) { return P.get() == S; });
  if (It == FOwnedSeries.end()) return;
  To.FOwnedSeries.push_back(std::move(*It));
  FOwnedSeries.erase(It);
}

void TCustomAxisPanel::RemoveSeries(TChartSeries *S) {
  auto It = std::find(SeriesList.begin(), SeriesList.end(), S);
  if (It == SeriesList.end()) return;
  SeriesList.erase(It);
  if (S->ParentChart() == this) S->SetParentChart(nullptr);
  if (Cursor() == S->Cursor()) SetCursor(SavedCursor);
  Invalidate();
}

void TCustomAxisPanel::Assign(const TCustomChartPanel &Source) {
  if (auto *S = dynamic_cast<const TCustomAxisPanel *>(&Source)) {
    for (size_t i = 0; i < AxesList.size() && i < S->AxesList.size() && i < 5; ++i)
      AxesList[i]->Assign(*S->AxesList[i]);
    SetAxisVisible(S->FAxisVisible);
    SetClipPoints(S->FClipPoints);
    SetView3DWalls(S->FView3DWalls);
    SetMaxPointsPerPage(S->FMaxPointsPerPage);
    SetScaleLastPage(S->FScaleLastPage);
  }
  TCustomChartPanelExtended::Assign(Source);
}

void TCustomAxisPanel::FreeAllSeries() {
  while (!SeriesList.empty()) {
    TChartSeries *S = SeriesList.front();
    RemoveSeries(S);
    std::erase_if(FOwnedSeries, [S](const std::unique_ptr<TChartSeries> &P) { return P.get() == S; });
  }
}

int TCustomAxisPanel::MaxValuesCount() const {
  int N = 0;
  for (TChartSeries *S : SeriesList)
    if (S->Active()) N = std::max(N, S->Count());
  return N;
}

int TCustomAxisPanel::MaxMarkWidth() const {
  int W = 0;
  for (TChartSeries *S : SeriesList)
    if (S->Active()) W = std::max(W, S->MaxMarkWidth());
  return W;
}

int TCustomAxisPanel::MaxLabelWidth() {
  int W = 0;
  for (TChartSeries *S : SeriesList)
    for (const std::string &L : S->XLabels)
      if (!L.empty()) {
        int Lines;
        W = std::max(W, MultiLineTextWidth(Canvas(), L, Lines));
      }
  return W;
}

TColor TCustomAxisPanel::FreeSeriesColor(bool CheckBackground) const {
  for (int t = 0; t < 16; ++t)
    if (IsFreeSeriesColor(GetDefaultColor(t), CheckBackground)) return GetDefaultColor(t);
  return GetDefaultColor(16);
}

TChartSeries *TCustomAxisPanel::SeriesLegend(int Index) const {
  int N = 0;
  for (TChartSeries *S : SeriesList)
    if (S->Active() && S->ShowInLegend()) {
      if (N == Index) return S;
      ++N;
    }
  return nullptr;
}

std::string TCustomAxisPanel::SeriesTitleLegend(int Index) const {
  TChartSeries *S = SeriesLegend(Index);
  if (!S) return "";
  if (!S->Title().empty()) return S->Title();
  if (!S->Name.empty()) return S->Name;
  return "Series " + IntToStr(Index);
}

namespace {
bool SeriesOnAxis(const TChartSeries *S, const TCustomChartAxis *Axis) {
  if (Axis->Horizontal()) return S->GetHorizAxis() == Axis || S->HorizAxis() == aBothHorizAxis;
  return S->GetVertAxis() == Axis || S->VertAxis() == aBothVertAxis;
}
} // namespace

static double AxisEnd(const TCustomAxisPanel &P, const TCustomChartAxis *Axis, bool Max) {
  if (Axis->IsDepthAxis()) {
    if (Axis->CalcLabelStyle() == talValue) {
      for (TChartSeries *S : P.SeriesList)
        if (S->Active()) return Max ? S->MaxZValue() : S->MinZValue();
      return 0;
    }
    return Max ? P.MaxZOrder + 0.5 : -0.5;
  }
  const bool X = Axis->Horizontal();
  if (P.MaxPointsPerPage() > 0) {
    for (TChartSeries *S : P.SeriesList) {
      if (!S->Active() || !SeriesOnAxis(S, Axis)) continue;
      const bool PositionAxis = S->YMandatory() ? X : !X;
      if (!PositionAxis || S->Count() == 0) break;
      const int M = P.MaxPointsPerPage(), Count = S->Count();
      int First = (P.Page() - 1) * M;
      // A page past the end (points were deleted): the page before the one the count
      // begins, which is the last full page.
      if (First >= Count) First = std::max(0, Count / M - 1) * M;
      int Last = First + M - 1;
      if (Count <= Last) Last = First + Count % M - 1;
      Last = std::clamp(Last, First, Count - 1);
      const TChartValueList &L = X ? S->XValues() : S->YValues();
      if (!Max) return L.GetValue(First);
      const int n = Last - First + 1;
      if (!P.ScaleLastPage() && n < M)
        return (L.GetValue(Last) - L.GetValue(First)) * M / n + L.GetValue(First);
      return L.GetValue(Last);
    }
  }
  bool Found = false;
  double R = 0;
  for (TChartSeries *S : P.SeriesList) {
    if (!S->Active() || S->Count() == 0 || !SeriesOnAxis(S, Axis)) continue;
    const double V = X ? (Max ? S->MaxXValue() : S->MinXValue()) : (Max ? S->MaxYValue() : S->MinYValue());
    if (!Found || (Max ? V > R : V < R)) R = V;
    Found = true;
  }
  return R;
}

double TCustomAxisPanel::MaxXValue(const TCustomChartAxis *A) const { return AxisEnd(*this, A, true); }
double TCustomAxisPanel::MinXValue(const TCustomChartAxis *A) const { return AxisEnd(*this, A, false); }
double TCustomAxisPanel::MaxYValue(const TCustomChartAxis *A) const { return AxisEnd(*this, A, true); }
double TCustomAxisPanel::MinYValue(const TCustomChartAxis *A) const { return AxisEnd(*this, A, false); }

int TCustomAxisPanel::NumPages() const {
  if (FMaxPointsPerPage == 0 || SeriesList.empty()) return 1;
  const bool Vertical = SeriesList.front()->YMandatory();
  int N = 1;
  const TCustomChartAxis *A1 = Vertical ? &TopAxis : &LeftAxis;
  const TCustomChartAxis *A2 = Vertical ? &BottomAxis : &RightAxis;
  for (const TCustomChartAxis *A : {A1, A2}) {
    int Count = 0;
    for (TChartSeries *S : SeriesList)
      if (S->Active() && SeriesOnAxis(S, A)) Count = std::max(Count, S->Count());
    N = std::max(N, (Count + FMaxPointsPerPage - 1) / FMaxPointsPerPage);
  }
  return N;
}

void TCustomAxisPanel::SetPage(int Value) {
  Value = std::clamp(Value, 1, NumPages());
  if (Value == FPage) return;
  FPage = Value;
  Invalidate();
  if (OnPageChange) OnPageChange();
}

void TCustomAxisPanel::SetMaxPointsPerPage(int Value) {
  if (Value < 0) throw ChartException("MaxPointsPerPage must be >= 0");
  FMaxPointsPerPage = Value;
  Invalidate();
  if (FPage > NumPages()) FPage = NumPages();
}

bool TCustomAxisPanel::IsAxisVisible(const TCustomChartAxis *Axis) const {
  if (!FAxisVisible || !Axis->Visible()) return false;
  if (Axis->IsDepthAxis()) return View3D();
  bool AnyUsesAxes = false;
  for (TChartSeries *S : SeriesList)
    if (S->Active() && S->UseAxis()) {
      AnyUsesAxes = true;
      if (S->AssociatedToAxis(Axis)) return true;
    }
  return !AnyUsesAxes;
}

void TCustomAxisPanel::CheckCircularSource(TChartSeries *Series, TChartSeries *Source) const {
  // Walk the sources of Source: none may lead back to Series.
  std::vector<TChartSeries *> Todo{Source};
  for (size_t i = 0; i < Todo.size() && i < 10000; ++i) {
    if (Todo[i] == Series) throw ChartException("Circular Series dependences are not allowed");
    for (TChartSeries *S : Todo[i]->DataSources) Todo.push_back(S);
  }
}

void TCustomAxisPanel::DrawSeries(TChartSeries *S) {
  S->CalcVisibleRange();
  if (S->FirstValueIndex < 0) return;
  if (S->BeforeDrawValues) S->BeforeDrawValues(S);
  const bool Clip = FClipPoints && CanClip();
  if (Clip) Canvas().ClipCube(ChartRect, 0, Width3D);
  S->DrawAllValues();
  if (Clip) Canvas().UnClipRectangle();
  if (S->AfterDrawValues) S->AfterDrawValues(S);
  DrawSeriesMarks(S);
}

void TCustomAxisPanel::DrawSeriesMarks(TChartSeries *S) {
  if (!S->Marks.Visible()) return;
  const bool MClip = S->Marks.Clip() && CanClip();
  if (MClip) Canvas().ClipCube(ChartRect, 0, Width3D);
  S->DrawMarks();
  if (MClip) Canvas().UnClipRectangle();
}

void TCustomAxisPanel::DrawSeriesGroup(const std::vector<TChartSeries *> &Group) {
  std::vector<TChartSeries *> Shown;
  int First = -1, Last = -1;
  for (TChartSeries *S : Group) {
    S->CalcVisibleRange();
    if (S->FirstValueIndex < 0) continue;
    Shown.push_back(S);
    First = First < 0 ? S->FirstValueIndex : std::min(First, S->FirstValueIndex);
    Last = std::max(Last, S->LastValueIndex);
  }
  if (Shown.empty()) return;
  for (TChartSeries *S : Shown)
    if (S->BeforeDrawValues) S->BeforeDrawValues(S);
  const bool Clip = FClipPoints && CanClip();
  if (Clip) Canvas().ClipCube(ChartRect, 0, Width3D);
  for (TChartSeries *S : Shown) S->BeginDrawValues();
  // Point by point, so that the series of the slot overlap one another as they should; the
  // first series of the slot says in which direction.
  const bool Forward = Group.front()->DrawValuesForward();
  for (int n = 0; n <= Last - First; ++n) {
    const int i = Forward ? First + n : Last - n;
    for (TChartSeries *S : Shown)
      if (i >= S->FirstValueIndex && i <= S->LastValueIndex) S->DrawValue(i);
  }
  for (TChartSeries *S : Shown) S->EndDrawValues();
  if (Clip) Canvas().UnClipRectangle();
  for (TChartSeries *S : Shown) {
    if (S->AfterDrawValues) S->AfterDrawValues(S);
    DrawSeriesMarks(S);
  }
}

void TCustomAxisPanel::InternalDraw(const TRect &UserRect) {
  PaintPanel(UserRect);
  for (TChartSeries *S : SeriesList)
    if (S->Active()) S->PrepareForDraw();
  DrawTitlesAndLegend();
  MaxZOrder = 0;
  if (View3D()) {
    MaxZOrder = -1;
    for (TChartSeries *S : SeriesList)
      if (S->Active()) S->CalcZOrder();
    MaxZOrder = std::max(MaxZOrder, 0);
  }
  CalcAxisRect();
  int Slot = 0;
  for (TChartSeries *S : SeriesList) {
    if (!S->Active()) continue;
    const int Depth = View3D() ? MaxZOrder - S->GetZOrder() : 0;
    (void)Slot;
    S->StartZ = SeriesWidth3D * std::max(0, Depth);
    S->EndZ = S->StartZ + SeriesWidth3D;
    S->MiddleZ = (S->StartZ + S->EndZ) / 2;
    S->Marks.ZPosition = S->MiddleZ;
  }
  CalcSeriesMargins();
  Canvas().Projection(Width3D, ChartRect);
  DrawWalls();
  if (FAxisVisible) {
    if (OnBeforeDrawAxes) OnBeforeDrawAxes();
    for (TCustomChartAxis *A : AxesList)
      if (IsAxisVisible(A)) A->Draw(true);
  }
  if (OnBeforeDrawSeries) OnBeforeDrawSeries();
  std::vector<TChartSeries *> Drawn;
  for (size_t k = 0; k < SeriesList.size(); ++k) {
    TChartSeries *S = SeriesList[k];
    if (!S->Active() || std::find(Drawn.begin(), Drawn.end(), S) != Drawn.end()) continue;
    std::vector<TChartSeries *> Group{S};
    if (View3D() && S->DrawsValueByValue() && S->MoreSameZOrder())
      for (size_t j = k + 1; j < SeriesList.size(); ++j) {
        TChartSeries *T = SeriesList[j];
        if (T->Active() && T->DrawsValueByValue() && T->GetZOrder() == S->GetZOrder())
          Group.push_back(T);
      }
    if (Group.size() > 1) {
      DrawSeriesGroup(Group);
      Drawn.insert(Drawn.end(), Group.begin(), Group.end());
    } else
      DrawSeries(S);
  }
  // The zoom rectangle is not part of the picture: the panel puts it back on the window
  // once the picture is shown there.
  ChartResetCanvas(*Canvas().ReferenceCanvas());
  if (OnAfterDraw) OnAfterDraw();
}

// ---- chart ------------------------------------------------------------------------------

TMouseButton ZoomButton = mbLeft, PanningButton = mbRight;
TShiftState ZoomShift = 0, PanningShift = 0;
double AnimatedZoomFactor = 3.0;

TCustomChart::TCustomChart()
    : BackWall(this), BottomWall(this), LeftWall(this), Foot(this), Title(this), Legend(this) {
  BackWall.Brush.Style = bsClear;
  LeftWall.SetColor(0x80FFFF);
  LeftWall.DefaultColor = 0x80FFFF;
  BottomWall.SetColor(clWhite);
  BottomWall.DefaultColor = clWhite;
  SavedCursor = crDefault;
}

TCustomChart::~TCustomChart() {
  // The walls and legend go before the panel detaches its series.
  FDestroying = true;
}

void TCustomChart::Assign(const TCustomChartPanel &Source) {
  TCustomAxisPanel::Assign(Source);
  if (auto *S = dynamic_cast<const TCustomChart *>(&Source)) {
    SetBackImageInside(S->FBackImageInside);
    BackWall.Assign(S->BackWall);
    BottomWall.Assign(S->BottomWall);
    LeftWall.Assign(S->LeftWall);
    Legend.Assign(S->Legend);
    Foot.Assign(S->Foot);
    Title.Assign(S->Title);
  }
}

void TCustomChart::SetBackColor(TColor C) {
  BackWall.SetColor(C);
  BackWall.Brush.SetStyle(bsSolid);
}

bool TCustomChart::IsFreeSeriesColor(TColor C, bool CheckBackground) const {
  for (TChartSeries *S : SeriesList)
    if (S->SeriesColor() == C) return false;
  return !(CheckBackground && (C == Color() || C == BackColor()));
}

void TCustomChart::CalcAxisRect() {
  for (TCustomChartAxis *A : AxesList) A->AdjustMaxMin();
  if (View3D()) {
    const double F = View3DOptions.Orthogonal() ? 0.001 : 0.002;
    SeriesWidth3D = SeriesHeight3D = Round(ChartWidth * Chart3DPercent() * F);
    Width3D = Height3D = SeriesWidth3D * std::max(1, MaxZOrder + 1);
    if (View3DOptions.Orthogonal()) {
      const int WallSize = View3DWalls() ? BackWall.Size() : 0;
      ChartRect.Right -= Width3D + WallSize;
      ChartRect.Top += WallSize + Height3D;
    }
  } else
    SeriesWidth3D = SeriesHeight3D = Width3D = Height3D = 0;
  RecalcWidthHeight();
  // An axis measures its labels for a step that depends on its length: the length it is
  // about to have, never the one of the last draw, so that one chart always gets one layout.
  for (TCustomChartAxis *A : AxesList) A->InternalCalcPositions();
  int Index = 0;
  for (TCustomChartAxis *A : AxesList) {
    if (IsAxisVisible(A)) {
      TRect R = ChartRect;
      A->CalcRect(R, Index < 5);
      TRect I;
      if (IntersectRect(I, R, ChartRect)) ChartRect = I;
    }
    ++Index;
  }
  RecalcWidthHeight();
  for (TCustomChartAxis *A : AxesList) A->InternalCalcPositions();
}

void TCustomChart::CalcSeriesMargins() {
  for (TCustomChartAxis *A : {static_cast<TCustomChartAxis *>(&TopAxis), static_cast<TCustomChartAxis *>(&LeftAxis),
                              static_cast<TCustomChartAxis *>(&RightAxis), static_cast<TCustomChartAxis *>(&BottomAxis)}) {
    int M1 = 0, M2 = 0;
    for (TChartSeries *S : SeriesList) {
      if (!S->Active() || !S->AssociatedToAxis(A)) continue;
      int a = 0, b = 0;
      if (A->Horizontal()) S->CalcHorizMargins(a, b);
      else S->CalcVertMargins(a, b);
      M1 = std::max(M1, a);
      M2 = std::max(M2, b);
    }
    // Room counts only at an automatic end.
    if (A->Horizontal()) {
      if (!A->AutomaticMinimum()) M1 = 0;
      if (!A->AutomaticMaximum()) M2 = 0;
    } else {
      if (!A->AutomaticMaximum()) M1 = 0;
      if (!A->AutomaticMinimum()) M2 = 0;
    }
    if (M1 || M2)
      A->AdjustMaxMinMargins(A->Horizontal() ? TRect(M1, 0, M2, 0) : TRect(0, M1, 0, M2));
  }
}

int TCustomChart::GetWallSize(const TCustomChartAxis *Axis) const {
  if (View3D() && View3DWalls()) {
    if (Axis == &LeftAxis) return LeftWall.Size();
    if (Axis == &BottomAxis) return BottomWall.Size();
  }
  return 0;
}

void TCustomChart::DrawTitlesAndLegend() {
  TChartCanvas3D &C = Canvas();
  C.Disable3D();
  auto Titles = [this] {
    if (Title.Visible()) Title.Draw(true);
    if (Foot.Visible()) Foot.Draw(false);
  };
  if (Legend.Visible() && CountActiveSeries(SeriesList) > 0) {
    if (Legend.Alignment() == laLeft || Legend.Alignment() == laRight) {
      Legend.Draw();
      Titles();
    } else {
      Titles();
      Legend.Draw();
    }
  } else
    Titles();
  C.Enable3D();
}

void TCustomChart::PrepareWall(const TChartWall &W) {
  TChartCanvas3D &C = Canvas();
  C.AssignVisiblePen(W.Pen);
  // The picture fills the wall whatever the brush's style, as a pattern brush does.
  if (W.HasBitmap()) C.Brush() = TBrush{W.Brush.Color, bsSolid, W.Brush.Bitmap};
  else if (W.Color() == clChartColor && W.Brush.Style == bsSolid) C.Brush().Style = bsClear;
  else
    C.Brush() = TBrush{W.Color() == clChartColor ? (W.Brush.Color == clChartColor ? clWhite : W.Brush.Color) : W.Color(),
                       W.Brush.Style};
}

void TCustomChart::DrawWalls() {
  TChartCanvas3D &C = Canvas();
  const TRect &R = ChartRect;
  PrepareWall(BackWall);
  if (!View3D())
    C.Rectangle(R.Left, R.Top, R.Right + 1, R.Bottom);
  else if (!View3DWalls() || BackWall.Size() < 1)
    C.RectangleWithZ(TRect(R.Left - 1, R.Top - 1, R.Right, R.Bottom), Width3D);
  else
    C.Cube(R.Left - LeftWall.Size(), R.Right, R.Top, R.Bottom + BottomWall.Size(), Width3D,
           Width3D + BackWall.Size(), BackWall.SolidDark());
  if (!BackImage().Empty() && FBackImageInside) {
    TRect B = R;
    if (BackWall.Pen.Visible) {
      ++B.Top;
      --B.Bottom;
    }
    DrawBackground(B, Width3D);
  }
  if (View3D() && View3DWalls()) {
    PrepareWall(LeftWall);
    if (LeftWall.Size() < 1)
      C.RectangleZ(R.Left, R.Top, R.Bottom + BottomWall.Size(), 0, Width3D + 1);
    else
      C.Cube(R.Left - LeftWall.Size(), R.Left, R.Top, R.Bottom + BottomWall.Size(), 0, Width3D,
             LeftWall.SolidDark());
    PrepareWall(BottomWall);
    if (BottomWall.Size() < 1) C.RectangleY(R.Left, R.Bottom, R.Right, 0, Width3D);
    else
      C.Cube(R.Left, R.Right, R.Bottom, R.Bottom + BottomWall.Size(), 0, Width3D,
             BottomWall.SolidDark());
  }
}

void TCustomChart::DrawBackImage(const TRect &R) {
  if (!FBackImageInside) TCustomChartPanelExtended::DrawBackImage(R);
}

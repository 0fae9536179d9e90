#include <gtest/gtest.h>

#include "chart_test_util.h"
#include "charts/bar_series.h"

TEST(SeriesBase, ColorEachPointOffDropsThePointColours) {
  TPointSeries S;
  S.SetSeriesColor(clBlue);
  S.SetColorEachPoint(true);
  S.AddXY(0, 1, "", clRed);
  S.AddXY(1, 2);
  EXPECT_EQ(S.GetValueColor(0), clRed);
  EXPECT_EQ(S.GetValueColor(1), GetDefaultColor(1));
  S.SetColorEachPoint(false);
  EXPECT_EQ(S.Colors[0], clChartColor);
  EXPECT_EQ(S.GetValueColor(0), clBlue);
}

TEST(SeriesBase, AddPlacesAtTheCount) {
  TPointSeries S;
  S.AddXY(10, 1);
  // X = Count (1), not the last X + 1: the new point goes before X 10.
  EXPECT_EQ(S.Add(5), 0);
  EXPECT_EQ(S.GetxValue(0), 1);
  EXPECT_EQ(S.GetyValue(0), 5);
}

TEST(SeriesBase, MarkBoxesAndWhoGetsOne) {
  TChartOnBitmap W(400, 300);
  W.Chart.SetView3D(false);
  W.Chart.Legend.SetVisible(false);
  auto *Fast = W.Chart.AddSeries<TFastLineSeries>();
  Fast->AddXY(1, 5, "first");
  Fast->AddXY(2, 6, "");           // no label: no mark with smsLabel
  Fast->AddXY(3, 4, "hidden", clNone); // no colour: no mark
  Fast->AddXY(4, 5, std::string("two") + ChartLineSeparator + "lines");
  Fast->Marks.SetVisible(true);
  W.Chart.BottomAxis.SetMinMax(0, 5);
  W.Chart.LeftAxis.SetMinMax(0, 10);
  W.Paint();
  W.Save("chart_marks_fast_line.png");
  auto &P = Fast->Marks.Positions;
  ASSERT_EQ(P.size(), 4u);
  EXPECT_NE(P[0], nullptr);
  EXPECT_EQ(P[1], nullptr);
  EXPECT_EQ(P[2], nullptr);
  ASSERT_NE(P[3], nullptr);
  TChartCanvas3D &C = W.Chart.Canvas();
  W.Chart.AssignChartFont(Fast->Marks.Font);
  const int Frame = 2 * Fast->Marks.Frame.Width;
  // Text width plus a "W", and a font height per line, both grown by twice the frame.
  EXPECT_EQ(P[0]->Width, C.TextWidth("first") + C.TextWidth("W") + Frame);
  EXPECT_EQ(P[0]->Height, C.FontHeight() + Frame);
  EXPECT_EQ(P[3]->Height, 2 * C.FontHeight() + Frame);
  // Centred above the point, lifted once by ArrowLength for a fast line.
  const int X = Fast->CalcXPos(0), Y = Fast->CalcYPos(0);
  EXPECT_EQ(P[0]->ArrowFrom, TPoint(X, Y));
  EXPECT_EQ(P[0]->ArrowTo, TPoint(X, Y - Fast->Marks.ArrowLength()));
  EXPECT_EQ(P[0]->LeftTop.X, X - P[0]->Width / 2);
  EXPECT_EQ(P[0]->LeftTop.Y, Y - P[0]->Height + 1 - Fast->Marks.ArrowLength());
  EXPECT_EQ(W.Pixel(P[0]->LeftTop.X + 2, P[0]->LeftTop.Y + 2), TColor(0x80FFFF));
}

namespace {
// A series kind with a third value list, as a bubble or Gantt series would have.
struct TSizedSeries : TPointSeries {
  TChartValueList Size{this, "Size"};
  int AddSized(double X, double Y, double S) {
    Size.TempValue = S;
    return AddXY(X, Y);
  }
};
// Records the order in which its points are drawn.
struct TOrderSeries : TPointSeries {
  bool Forward = true;
  std::vector<int> Order;
  bool DrawValuesForward() const override { return Forward; }
  void DrawValue(int ValueIndex) override {
    Order.push_back(ValueIndex);
    TPointSeries::DrawValue(ValueIndex);
  }
};
} // namespace

TEST(SeriesBase, LinkedSeriesCopyEveryListAndCannotVetoACopy) {
  TChart C;
  auto *Src = C.AddSeries<TSizedSeries>();
  auto *Dst = C.AddSeries<TSizedSeries>();
  Dst->AddDataSource(Src);
  int Vetoed = 0, Added = 0;
  Dst->OnBeforeAdd = [&](TChartSeries *) { return ++Vetoed, false; };
  Dst->OnAfterAdd = [&](TChartSeries *, int) { ++Added; };
  Src->AddSized(2, 20, 7);
  Src->AddXY(1, 10, "one", clRed); // the source's pending size is still 7
  Src->AddSized(3, 30, 9);
  // The copy follows its source whatever its own OnBeforeAdd says, and is told of each.
  EXPECT_EQ(Vetoed, 0);
  EXPECT_EQ(Added, 3);
  ASSERT_EQ(Dst->Count(), 3);
  EXPECT_EQ(Dst->GetxValue(0), 1);
  EXPECT_EQ(Dst->GetXLabel(0), "one");
  EXPECT_EQ(Dst->Colors[0], clRed);
  // The third list holds the source's values, not whatever was last pending in the copy.
  EXPECT_EQ(Dst->Size.GetValue(0), 7);
  EXPECT_EQ(Dst->Size.GetValue(1), 7);
  EXPECT_EQ(Dst->Size.GetValue(2), 9);
  // A changed source value: the copy is made again, the same way.
  Src->Size.SetValue(0, 5);
  EXPECT_EQ(Vetoed, 0);
  EXPECT_EQ(Added, 6);
  ASSERT_EQ(Dst->Count(), 3);
  EXPECT_EQ(Dst->Size.GetValue(0), 5);
  EXPECT_EQ(Dst->Size.GetValue(2), 9);
}

TEST(SeriesBase, ARefilledCopyClearsTheSeriesThatCopyIt) {
  TChart C;
  auto *A = C.AddSeries<TLineSeries>();
  auto *B = C.AddSeries<TLineSeries>();
  auto *D = C.AddSeries<TLineSeries>();
  B->AddDataSource(A);
  D->AddDataSource(B);
  int Cleared = 0;
  B->OnClearValues = [&](TChartSeries *) { ++Cleared; };
  for (int i = 0; i < 3; ++i) A->AddXY(i, i);
  ASSERT_EQ(D->Count(), 3);
  A->SetYValue(1, 5); // B is made again, and D with it
  A->SetYValue(2, 6);
  EXPECT_EQ(Cleared, 2);
  ASSERT_EQ(D->Count(), 3);
  EXPECT_EQ(D->GetyValue(2), 6);
}

TEST(SeriesBase, AnotherChartTakesTheSeriesOverWholly) {
  TChart Second;
  TFastLineSeries Kept;
  TChartSeries *Owned;
  {
    TChart First;
    First.AddSeries(&Kept);
    Owned = First.AddSeries<TFastLineSeries>();
    Owned->AddXY(1, 2);
    Kept.SetParentChart(&Second);
    Owned->SetParentChart(&Second);
    ASSERT_TRUE(First.SeriesList.empty());
    ASSERT_EQ(Second.SeriesList, (std::vector<TChartSeries *>{&Kept, Owned}));
  } // the first chart goes, and takes neither along
  EXPECT_EQ(Kept.ParentChart(), &Second);
  EXPECT_EQ(Owned->ParentChart(), &Second);
  EXPECT_EQ(Owned->Count(), 1);
  Kept.SetParentChart(nullptr);
  EXPECT_EQ(Second.SeriesList, std::vector<TChartSeries *>{Owned});
}

TEST(SeriesBase, SameClassTakesInDerivedKindsAndAssignCopiesTheMarks) {
  TChart C;
  auto *Sized = C.AddSeries<TSizedSeries>();
  auto *Point = C.AddSeries<TPointSeries>();
  auto *Line = C.AddSeries<TLineSeries>();
  EXPECT_TRUE(SameSeriesClass(*Sized, *Point)); // derived from it, either way round
  EXPECT_TRUE(SameSeriesClass(*Point, *Sized));
  EXPECT_FALSE(SameSeriesClass(*Point, *Line)); // siblings only
  Point->Marks.SetStyle(smsValue);
  Point->Marks.SetArrowLength(15);
  Point->Marks.SetBackColor(clAqua);
  Point->Marks.SetTransparent(true);
  Point->Marks.SetClip(true);
  Point->Marks.SetVisible(true);
  Point->Marks.Frame.SetColor(clRed);
  Line->Marks.Assign(Point->Marks);
  EXPECT_EQ(Line->Marks.Style(), smsValue);
  EXPECT_EQ(Line->Marks.ArrowLength(), 15);
  EXPECT_EQ(Line->Marks.BackColor(), clAqua);
  EXPECT_TRUE(Line->Marks.Transparent());
  EXPECT_TRUE(Line->Marks.Clip());
  EXPECT_TRUE(Line->Marks.Visible());
  EXPECT_EQ(Line->Marks.Frame.Color, clRed);
}

TEST(SeriesBase, AddValuesExchangesXAndYBetweenVerticalAndHorizontal) {
  TChart C;
  auto *H = C.AddSeries<THorizBarSeries>();
  auto *V = C.AddSeries<TPointSeries>();
  H->AddXY(4, 1);
  EXPECT_EQ(V->AddValues(H, 0), 0);
  EXPECT_EQ(V->GetxValue(0), 1);
  EXPECT_EQ(V->GetyValue(0), 4);
  EXPECT_TRUE(V->Colors.empty()); // values only: the caller adds colour and label
}

TEST(SeriesBase, NullPointsHaveNoColour) {
  TPointSeries S;
  EXPECT_EQ(S.AddNull("gap"), 0);
  EXPECT_EQ(S.AddNullXY(5, 3, "far"), 1);
  EXPECT_EQ(S.GetValueColor(0), clNone);
  EXPECT_EQ(S.GetyValue(0), 0);
  EXPECT_EQ(S.GetXLabel(0), "gap");
  EXPECT_EQ(S.GetValueColor(1), clNone);
  EXPECT_EQ(S.GetxValue(1), 5);
  EXPECT_EQ(S.LegendItemColor(1), clNone);
}

TEST(SeriesBase, DrawingRunsBackwardsWhenTheKindAsks) {
  TChartOnBitmap W;
  auto *S = W.Chart.AddSeries<TOrderSeries>();
  for (int i = 0; i < 5; ++i) S->AddXY(i, i);
  W.Paint();
  EXPECT_EQ(S->Order, (std::vector<int>{0, 1, 2, 3, 4}));
  S->Forward = false;
  S->Order.clear();
  W.Chart.Invalidate();
  W.Paint();
  EXPECT_EQ(S->Order, (std::vector<int>{4, 3, 2, 1, 0}));
  // Two series sharing a depth slot in 3-D are drawn point by point, in the first one's
  // direction.
  auto *T = W.Chart.AddSeries<TOrderSeries>();
  for (int i = 0; i < 3; ++i) T->AddXY(i, i);
  S->SetZOrder(0);
  T->SetZOrder(0);
  EXPECT_TRUE(S->MoreSameZOrder());
  S->Order.clear();
  W.Chart.Invalidate();
  W.Paint();
  EXPECT_EQ(S->Order, (std::vector<int>{4, 3, 2, 1, 0}));
  EXPECT_EQ(T->Order, (std::vector<int>{2, 1, 0}));
  T->SetZOrder(1);
  EXPECT_FALSE(S->MoreSameZOrder());
  T->SetActive(false);
  T->SetZOrder(0);
  EXPECT_FALSE(S->MoreSameZOrder()); // an inactive series does not count
}

TEST(SeriesBase, DepthValuesAreTheDepthSlot) {
  TChartOnBitmap W;
  auto *A = W.Chart.AddSeries<TPointSeries>();
  auto *B = W.Chart.AddSeries<TPointSeries>();
  A->AddXY(0, 1);
  B->AddXY(0, 2);
  W.Paint(); // 3-D: the slots are computed, 1 and 2
  EXPECT_EQ(A->MaxZValue(), A->GetZOrder());
  EXPECT_EQ(B->MinZValue(), B->GetZOrder());
  EXPECT_NE(A->GetZOrder(), B->GetZOrder());
  B->SetZOrder(5);
  EXPECT_EQ(B->MaxZValue(), 5);
  EXPECT_EQ(B->MinZValue(), 5);
}

TEST(SeriesBase, MarkFontFollowsTheThreeDZoom) {
  TChartOnBitmap W(400, 300);
  auto *S = W.Chart.AddSeries<TPointSeries>();
  S->AddXY(1, 5, "label");
  S->Marks.SetVisible(true);
  W.Chart.View3DOptions.SetZoom(200);
  W.Paint();
  ASSERT_FALSE(S->Marks.Positions.empty());
  ASSERT_NE(S->Marks.Positions[0], nullptr);
  TFont Big = S->Marks.Font;
  Big.SetSize(16); // 8 points at 200 %
  W.Chart.AssignChartFont(Big);
  const int Frame = 2 * S->Marks.Frame.Width;
  EXPECT_EQ(S->Marks.Positions[0]->Height, W.Chart.Canvas().FontHeight() + Frame);
  EXPECT_EQ(S->Marks.Positions[0]->Width,
            W.Chart.Canvas().TextWidth("label") + W.Chart.Canvas().TextWidth("W") + Frame);
  // Flat, the zoom does not count.
  W.Chart.SetView3D(false);
  W.Paint();
  W.Chart.AssignChartFont(S->Marks.Font);
  EXPECT_EQ(S->Marks.Positions[0]->Height, W.Chart.Canvas().FontHeight() + Frame);
}

TEST(SeriesBase, LegendBoxInTheLegendsColourGetsAWhiteFrame) {
  TChartOnBitmap W;
  W.Chart.SetView3D(false);
  auto *S = W.Chart.AddSeries<TBarSeries>();
  S->AddXY(0, 3, "first", clYellow);
  S->AddXY(1, 4, "second", clRed);
  W.Chart.Legend.SetColor(clYellow);
  W.Chart.Legend.SetColorWidth(50);
  W.Chart.Legend.SetShadowSize(0);
  W.Paint();
  W.Save("chart_legend_boxes.png");
  const TRect &R = W.Chart.Legend.RectLegend;
  ASSERT_EQ(W.Chart.Legend.NumRows, 2);
  const int RowH = R.Height() / 2, XColor = R.Left + 4;
  // The top edge of each colour box (at Y + 2 of its row) and a pixel inside it.
  EXPECT_EQ(W.Pixel(XColor + 3, R.Top + 2), clWhite);
  EXPECT_EQ(W.Pixel(XColor + 3, R.Top + 4), clYellow);
  EXPECT_EQ(W.Pixel(XColor + 3, R.Top + RowH + 2), clBlack);
  EXPECT_EQ(W.Pixel(XColor + 3, R.Top + RowH + 4), clRed);
}

TEST(SeriesBase, LegendSymbolsAndLegendStyleMarks) {
  TChartOnBitmap W; // 3-D
  auto *Line = W.Chart.AddSeries<TLineSeries>();
  auto *Points = W.Chart.AddSeries<TPointSeries>();
  Line->AddXY(1, 2);
  Line->AddXY(2, 3);
  Points->AddXY(1, 1);
  W.Chart.Legend.SetColorWidth(50);
  W.Chart.Legend.SetShadowSize(0);
  W.Paint();
  const TRect &R = W.Chart.Legend.RectLegend;
  ASSERT_EQ(W.Chart.Legend.NumRows, 2);
  const int RowH = R.Height() / 2, XColor = R.Left + 4;
  const int MidX = XColor + W.Chart.Legend.ColorWidthPixels / 2, MidY = R.Top + RowH + RowH / 2;
  // A line without a pointer is a band in 3-D: its symbol is a filled box, not a line.
  EXPECT_EQ(W.Pixel(XColor + 3, R.Top + 4), Line->SeriesColor());
  EXPECT_EQ(W.Pixel(MidX, MidY), Points->SeriesColor());
  // A series whose points have many colours has no symbol.
  Points->SetColorEachPoint(true);
  W.Paint();
  EXPECT_EQ(W.Pixel(MidX, MidY), W.Chart.Legend.Color());
  // Marks in the legend's style read as the legend does.
  Line->Marks.SetStyle(smsLegend);
  W.Chart.Legend.SetTextStyle(ltsXValue);
  EXPECT_EQ(Line->ValueMarkText(1), "2");
}

#include <gtest/gtest.h>

#include "chart_test_util.h"
#include "charts/bar_series.h"

namespace {

struct TBarChart : TChartOnBitmap {
  explicit TBarChart(bool ThreeD = false) : TChartOnBitmap(600, 400) {
    Chart.SetView3D(ThreeD);
    Chart.Legend.SetVisible(false);
    Chart.SetColor(clWhite);
  }
  template <class T> T *Series(std::initializer_list<double> Values) {
    auto *S = Chart.AddSeries<T>();
    for (double V : Values) S->Add(V);
    return S;
  }
};

} // namespace

TEST(BarSeries, DefaultsAndValueList) {
  TBarSeries B;
  EXPECT_EQ(B.BarWidthPercent(), 70);
  EXPECT_EQ(B.OffsetPercent(), 0);
  EXPECT_EQ(B.MultiBar(), mbSide);
  EXPECT_TRUE(B.SideMargins());
  EXPECT_TRUE(B.UseYOrigin());
  EXPECT_TRUE(B.Dark3D());
  EXPECT_TRUE(B.AutoMarkPosition());
  EXPECT_FALSE(B.AutoBarSize());
  EXPECT_EQ(B.YOrigin(), 0);
  EXPECT_EQ(B.BarStyle(), bsRectangle);
  EXPECT_EQ(B.CustomBarWidth(), 0);
  EXPECT_TRUE(B.Marks.Visible());
  EXPECT_EQ(B.Marks.ArrowLength(), 20);
  EXPECT_EQ(B.YValues().Name(), "Bar");
  EXPECT_EQ(B.YValues().Order, TChartListOrder::loNone);
  THorizBarSeries H;
  EXPECT_EQ(H.XValues().Name(), "Bar");
  EXPECT_FALSE(H.YMandatory());
  // Add puts the value on the value axis and the point count on the other.
  H.Add(7);
  H.Add(9);
  EXPECT_EQ(H.GetxValue(1), 9);
  EXPECT_EQ(H.GetyValue(1), 1);
}

TEST(BarSeries, RefusedSettingsKeepTheValue) {
  TBarSeries B;
  try {
    B.SetBarWidthPercent(0);
    FAIL();
  } catch (const BarException &E) {
    EXPECT_STREQ(E.what(), "Bar Width Percent must be between 1 and 100");
  }
  EXPECT_THROW(B.SetBarWidthPercent(101), BarException);
  EXPECT_EQ(B.BarWidthPercent(), 70);
  try {
    B.SetOffsetPercent(-101);
    FAIL();
  } catch (const ChartException &E) {
    EXPECT_STREQ(E.what(), "Bar Offset Percent must be between -100% and 100%");
  }
  EXPECT_EQ(B.OffsetPercent(), 0);
  B.SetOffsetPercent(-100);
  EXPECT_EQ(B.OffsetPercent(), -100);
  THorizBarSeries H;
  try {
    H.FillSampleValues(0);
    FAIL();
  } catch (const ChartException &E) {
    EXPECT_STREQ(E.what(), "FillSampleValues NumValues must be > 0");
  }
  H.FillSampleValues(5);
  EXPECT_EQ(H.Count(), 5);
  EXPECT_EQ(H.GetyValue(4), 4); // the positions run along the vertical axis
}

TEST(BarSeries, SideBySideSizeAndOffsets) {
  TBarChart W;
  auto *A = W.Series<TBarSeries>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  auto *B = W.Series<TBarSeries>({2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
  W.Paint();
  // On a 500-pixel axis: n = 10 + 1 (side margins), space 500 div 11 = 45, bar size
  // Round(0.7 x 45) = 32, shared by two series: 16.
  W.Chart.BottomAxis.IAxisSize = 500;
  A->CalcBarSize();
  B->CalcBarSize();
  EXPECT_EQ(A->BarSize(), 16);
  EXPECT_EQ(B->BarSize(), 16);
  for (int i : {0, 5, 9}) {
    // Round((1 - 2 x 0.5 - 1) x 16) = -16: the first series lies left of the point.
    EXPECT_EQ(A->CalcBarBounds(i).Left, A->CalcXPos(i) - 16);
    EXPECT_EQ(B->CalcBarBounds(i).Left, B->CalcXPos(i));
    EXPECT_EQ(B->CalcBarBounds(i).Width(), 16);
  }
  // OffsetPercent 50 moves the bar by half its size.
  A->SetOffsetPercent(50);
  EXPECT_EQ(A->CalcBarBounds(3).Left, A->CalcXPos(3) - 8);
  // One series alone on a 44-pixel space: Round(0.7 x 44) = 31, made even: 32.
  B->SetActive(false);
  W.Chart.BottomAxis.IAxisSize = 484;
  A->CalcBarSize();
  EXPECT_EQ(A->BarSize(), 32);
  // A custom width wins; no points gives 0.
  A->SetCustomBarWidth(9);
  A->CalcBarSize();
  EXPECT_EQ(A->BarSize(), 9);
  TBarSeries Empty;
  Empty.CalcBarSize();
  EXPECT_EQ(Empty.BarSize(), 0);
}

TEST(BarSeries, SideBySideDrawsBothColours) {
  TBarChart W;
  auto *A = W.Series<TBarSeries>({3, 5, 4, 6, 2});
  auto *B = W.Series<TBarSeries>({4, 2, 5, 3, 6});
  A->SetSeriesColor(clRed);
  B->SetSeriesColor(clBlue);
  W.Paint();
  W.Save("bars_side.png");
  const int Size = A->BarSize();
  ASSERT_GT(Size, 4);
  const int Mid = W.Chart.LeftAxis.CalcYPosValue(1);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(W.Pixel(A->CalcXPos(i) - Size / 2, Mid), clRed) << i;
    EXPECT_EQ(W.Pixel(B->CalcXPos(i) + Size / 2, Mid), clBlue) << i;
  }
  // The value axis starts at the origin 0 even though every value is above it.
  EXPECT_EQ(W.Chart.LeftAxis.Minimum(), 0);
}

TEST(BarSeries, HorizontalOffsets) {
  TBarChart W;
  auto *A = W.Series<THorizBarSeries>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  auto *B = W.Series<THorizBarSeries>({2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
  A->SetSeriesColor(clRed);
  B->SetSeriesColor(clBlue);
  W.Paint();
  W.Save("bars_horizontal.png");
  W.Chart.LeftAxis.IAxisSize = 500;
  A->CalcBarSize();
  B->CalcBarSize();
  ASSERT_EQ(A->BarSize(), 16);
  // Round((2 x 0.5 - j) x 16): 0 for the first series, -16 for the second.
  EXPECT_EQ(A->CalcBarBounds(4).Top, A->CalcYPos(4));
  EXPECT_EQ(B->CalcBarBounds(4).Top, B->CalcYPos(4) - 16);
  // The bar runs from the origin at the left to the value.
  EXPECT_EQ(A->CalcBarBounds(4).Left, W.Chart.BottomAxis.CalcXPosValue(0));
  EXPECT_EQ(A->CalcBarBounds(4).Right, W.Chart.BottomAxis.CalcXPosValue(5));
  EXPECT_EQ(W.Chart.BottomAxis.Minimum(), 0);
}

TEST(BarSeries, StackedAndStacked100) {
  TBarChart W;
  auto *A = W.Series<TBarSeries>({1, 2});
  auto *B = W.Series<TBarSeries>({3, 2});
  A->SetSeriesColor(clRed);
  B->SetSeriesColor(clBlue);
  B->SetMultiBar(mbStacked);
  EXPECT_EQ(A->MultiBar(), mbStacked); // copied to every bar series of the kind
  W.Paint();
  W.Save("bars_stacked.png");
  EXPECT_EQ(B->PointOriginValue(0), 1);
  EXPECT_EQ(B->PointValue(0), 4);
  EXPECT_EQ(W.Chart.LeftAxis.Maximum(), 4); // the stack's top
  const int X = A->CalcXPos(0);
  EXPECT_EQ(W.Pixel(X, W.Chart.LeftAxis.CalcYPosValue(0.5)), clRed);
  EXPECT_EQ(W.Pixel(X, W.Chart.LeftAxis.CalcYPosValue(3)), clBlue);
  // Stacked to 100 %: 1 and 3 put the boundary at 25 %.
  A->SetMultiBar(mbStacked100);
  W.Chart.Invalidate();
  W.Paint();
  W.Save("bars_stacked100.png");
  EXPECT_EQ(A->PointValue(0), 25);
  EXPECT_EQ(B->PointOriginValue(0), 25);
  EXPECT_EQ(B->PointValue(0), 100);
  EXPECT_EQ(W.Chart.LeftAxis.Maximum(), 100);
  EXPECT_EQ(W.Chart.LeftAxis.Minimum(), 0);
  const int Y25 = W.Chart.LeftAxis.CalcYPosValue(25);
  EXPECT_EQ(B->CalcBarBounds(0).Bottom, Y25);
  EXPECT_EQ(W.Pixel(X, Y25 + 3), clRed);
  EXPECT_EQ(W.Pixel(X, Y25 - 3), clBlue);
  // An index whose values total 0 gives 0 %, not a division by zero.
  A->SetYValue(1, 0);
  B->SetYValue(1, 0);
  EXPECT_EQ(B->PointValue(1), 0);
  EXPECT_EQ(B->PointOriginValue(1), 0);
}

TEST(BarSeries, KindsKeepTheirOwnSettings) {
  TBarChart W;
  auto *A = W.Series<TBarSeries>({1});
  auto *H = W.Series<THorizBarSeries>({1});
  A->SetSideMargins(false);
  A->SetMultiBar(mbNone);
  EXPECT_TRUE(H->SideMargins());
  EXPECT_EQ(H->MultiBar(), mbSide);
}

TEST(BarSeries, ClickedFollowsTheShape) {
  TBarChart W;
  auto *A = W.Series<TBarSeries>({4, 8, 6});
  W.Paint();
  const TRect R = A->CalcBarBounds(1);
  const int MX = (R.Left + R.Right) / 2, MY = (R.Top + R.Bottom) / 2;
  EXPECT_EQ(A->Clicked(MX, MY), 1);
  EXPECT_EQ(A->Clicked(R.Left + 1, R.Top + 1), 1);
  EXPECT_EQ(A->Clicked(MX, R.Top - 5), -1);
  // A pyramid's top corners lie outside it; an ellipse's too.
  A->SetBarStyle(bsPyramid);
  EXPECT_EQ(A->Clicked(R.Left + 1, R.Top + 1), -1);
  EXPECT_EQ(A->Clicked(MX, R.Bottom - 2), 1);
  A->SetBarStyle(bsEllipse);
  EXPECT_EQ(A->Clicked(R.Left + 1, R.Top + 1), -1);
  EXPECT_EQ(A->Clicked(MX, MY), 1);
}

TEST(BarSeries, MarksStandAboveTheBars) {
  TBarChart W;
  auto *A = W.Series<TBarSeries>({4, 8, -3});
  A->Marks.SetStyle(smsValue);
  W.Paint();
  ASSERT_EQ(A->Marks.Positions.size(), 3u);
  const TSeriesMarkPosition &P = *A->Marks.Positions[1];
  const TRect R = A->CalcBarBounds(1);
  EXPECT_EQ(P.ArrowFrom, TPoint((R.Left + R.Right) / 2, R.Top));
  EXPECT_EQ(P.ArrowTo.Y, R.Top - 20);
  // A negative value's mark hangs below its bar, and the axis makes room on both sides.
  EXPECT_GT(A->Marks.Positions[2]->LeftTop.Y, A->CalcBarBounds(2).Bottom);
  EXPECT_LT(W.Chart.LeftAxis.IMinimum, -3);
  EXPECT_GT(W.Chart.LeftAxis.IMaximum, 8);
  // With only labels shown, a point without a label has no mark.
  A->Marks.SetStyle(smsLabel);
  A->Marks.Positions.clear();
  W.Chart.Invalidate();
  W.Paint();
  EXPECT_TRUE(A->Marks.Positions.empty());
}

TEST(BarSeries, EveryStyleFlatAndSolid) {
  for (bool ThreeD : {false, true}) {
    TBarChart W(ThreeD);
    auto *A = W.Series<TBarSeries>({5, 7, 6, 8, 4, 9, 7});
    A->SetColorEachPoint(true);
    A->OnGetBarStyle = [](TCustomBarSeries *, int I, TBarStyle &S) { S = TBarStyle(I); };
    W.Paint();
    W.Save(ThreeD ? "bars_styles_3d.png" : "bars_styles.png");
    const int Y = W.Chart.LeftAxis.CalcYPosValue(2.5); // off the grid lines
    // Rectangle, pyramids, cylinder and ellipse fill the bar's middle in its colour.
    for (int i = 0; i < 5; ++i)
      EXPECT_EQ(W.Pixel(A->CalcXPos(i) + 2, Y), A->GetValueColor(i)) << i; // beside the
                                                                         // cylinder's seams
    if (ThreeD) continue;
    // The arrow's head is as wide as the bar, below the value's pixel.
    const int Head = W.Chart.LeftAxis.CalcYPosValue(9) + A->BarSize() / 4;
    EXPECT_EQ(W.Pixel(A->CalcXPos(5), Head), A->GetValueColor(5));
    EXPECT_NE(W.Pixel(A->CalcXPos(5) - A->BarSize() / 4, Y), A->GetValueColor(5)); // shaft only
    // The gradient starts from the bar's colour at its foot and pales towards its top.
    const TRect G = A->CalcBarBounds(6);
    ASSERT_EQ(A->GetValueColor(6), clFuchsia);
    const TColor Foot = W.Pixel(A->CalcXPos(6), G.Bottom - 3), Top = W.Pixel(A->CalcXPos(6), G.Top + 2);
    EXPECT_LT((Foot >> 8) & 0xFF, 8);   // fuchsia has no green
    EXPECT_GT((Top >> 8) & 0xFF, 200);  // near white
  }
}

TEST(BarSeries, BrushBitmapAndTheGradientTurnedForHorizontalBars) {
  // A brush with a bitmap fills the bar with the bitmap's pixels.
  TBarChart W;
  auto *A = W.Series<TBarSeries>({5, 7});
  auto Pattern = std::make_shared<TBitmap>(4, 4);
  for (int Y = 0; Y < 4; ++Y)
    for (int X = 0; X < 4; ++X) Pattern->Canvas().SetPixels(X, Y, (X + Y) % 3 ? clTeal : clYellow);
  A->BarBrush.SetBitmap(Pattern);
  W.Paint();
  W.Save("bars_bitmap_brush.png");
  const TRect R = A->CalcBarBounds(1);
  for (int Y = R.Top + 1; Y < R.Bottom - 1; Y += 5)
    for (int X = R.Left + 1; X < R.Right - 1; ++X)
      ASSERT_EQ(W.Pixel(X, Y), Pattern->Canvas().Pixels(X % 4, Y % 4)) << X << "," << Y;
  // The gradient of a horizontal bar is a vertical bar's turned a quarter turn: the bar
  // colour at the origin on the left, white at the value's end.
  TBarChart H;
  auto *B = H.Series<THorizBarSeries>({5, 7});
  B->SetBarStyle(bsRectGradient);
  H.Paint();
  H.Save("bars_horizontal_gradient.png");
  const TRect G = B->CalcBarBounds(1);
  TBitmap Upright(G.Height(), G.Width());
  TChartCanvas3D Canvas;
  Canvas.SetReferenceCanvas(&Upright.Canvas());
  Canvas.GradientFill(TRect(0, 0, G.Height(), G.Width()), B->GetValueColor(1), clWhite,
                      TGradientDirection::gdTopBottom);
  const int Y = (G.Top + G.Bottom) / 2;
  for (int D = 1; D < G.Width() - 1; ++D)
    ASSERT_EQ(H.Pixel(G.Left + D, Y), Upright.Canvas().Pixels(0, G.Width() - 1 - D)) << D;
}

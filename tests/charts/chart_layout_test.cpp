#include <gtest/gtest.h>

#include "chart_test_util.h"

TEST(ChartLayout, PagesAndFreeColours) {
  TChart C;
  auto *S = C.AddSeries<TLineSeries>();
  for (int i = 0; i < 25; ++i) S->AddXY(i, i);
  EXPECT_EQ(C.NumPages(), 1);
  C.SetMaxPointsPerPage(10);
  EXPECT_EQ(C.NumPages(), 3);
  C.SetPage(0);
  EXPECT_EQ(C.Page(), 1);
  C.SetPage(9);
  EXPECT_EQ(C.Page(), 3);
  // The last page shows points 20..24.
  EXPECT_EQ(C.MinXValue(&C.BottomAxis), 20);
  EXPECT_EQ(C.MaxXValue(&C.BottomAxis), 24);
  C.SetScaleLastPage(false);
  EXPECT_EQ(C.MaxXValue(&C.BottomAxis), 20 + 4.0 * 10 / 5);
  EXPECT_THROW(C.SetMaxPointsPerPage(-1), ChartException);
  TChart D;
  D.SetColor(clWhite);
  for (int i = 0; i < 16; ++i) D.AddSeries<TLineSeries>()->SetSeriesColor(GetDefaultColor(i));
  EXPECT_EQ(D.FreeSeriesColor(true), GetDefaultColor(16));
  TChart E;
  E.SetColor(clRed); // the first palette colour is the background: skipped
  EXPECT_EQ(E.AddSeries<TLineSeries>()->SeriesColor(), clGreen);
}

TEST(ChartLayout, LegendTakesRoomOnlyWhenVisible) {
  TChartOnBitmap W;
  W.Chart.SetView3D(false);
  auto *S = W.Chart.AddSeries<TPointSeries>();
  S->AddXY(1, 1, "one");
  W.Chart.Legend.SetVisible(false);
  W.Paint();
  const TRect Without = W.Chart.ChartRect;
  W.Chart.Legend.SetVisible(true);
  W.Paint();
  EXPECT_LT(W.Chart.ChartRect.Right, Without.Right);
  EXPECT_EQ(W.Chart.ChartRect.Left, Without.Left);
  EXPECT_EQ(W.Chart.Legend.ItemText(0), "1 one"); // the default text style: value, label
}

TEST(ChartLayout, FlatChartHasNoDepthAndNoSideWalls) {
  TChartOnBitmap W;
  W.Chart.SetView3D(false);
  W.Chart.SetColor(clWhite);
  W.Chart.Legend.SetVisible(false);
  W.Chart.AddSeries<TFastLineSeries>()->AddXY(1, 1);
  W.Paint();
  EXPECT_EQ(W.Chart.Width3D, 0);
  EXPECT_FALSE(W.Chart.IsAxisVisible(&W.Chart.DepthAxis));
  // The left wall (pale yellow) is not drawn in 2-D.
  const TRect &R = W.Chart.ChartRect;
  for (int x = 0; x < R.Left; ++x) EXPECT_NE(W.Pixel(x, (R.Top + R.Bottom) / 2), TColor(0x80FFFF));
  W.Chart.SetView3D(true);
  W.Paint();
  EXPECT_GT(W.Chart.Width3D, 0);
  // In 3-D the left wall runs from the plot's left edge into the depth: right and up.
  const TRect &R3 = W.Chart.ChartRect;
  const int d = W.Chart.Width3D / 2;
  EXPECT_EQ(W.Pixel(R3.Left + d, (R3.Top + R3.Bottom) / 2 - d), TColor(0x80FFFF));
}

TEST(ChartLayout, HiddenAxesStillComputeTheirEnds) {
  TChartOnBitmap W;
  W.Chart.SetView3D(false);
  W.Chart.SetAxisVisible(false);
  auto *S = W.Chart.AddSeries<TFastLineSeries>();
  S->AddXY(2, 3);
  S->AddXY(8, 9);
  W.Paint();
  EXPECT_TRUE(W.Chart.BottomAxis.DrawnLabels.empty());
  EXPECT_EQ(W.Chart.BottomAxis.IMinimum, 2);
  EXPECT_EQ(W.Chart.BottomAxis.IMaximum, 8);
  EXPECT_EQ(W.Chart.LeftAxis.IMaximum, 9);
}

TEST(ChartLayout, UnbufferedDrawsStraightToTheWindow) {
  TChartOnBitmap W;
  W.Chart.SetBufferedDisplay(false);
  W.Chart.SetColor(clWhite);
  W.Paint();
  EXPECT_EQ(W.Chart.Canvas().Bitmap(), nullptr);
  W.Paint();
  EXPECT_EQ(W.Chart.DrawCount(), 2); // nothing to reuse
  int Zooms = 0, Scrolls = 0;
  W.Chart.View3DOptions.OnChangedZoom = [&](int Z) { Zooms = Z; };
  W.Chart.View3DOptions.OnScrolled = [&](bool H) { Scrolls += H ? 1 : 10; };
  W.Chart.View3DOptions.SetZoom(150);
  W.Chart.View3DOptions.SetHorizOffset(5);
  W.Chart.View3DOptions.SetVertOffset(5);
  EXPECT_EQ(Zooms, 150);
  EXPECT_EQ(Scrolls, 11);
}

TEST(ChartLayout, TopLegendShiftedByTopPos) {
  // The legend at the top is centred and moved right by TopPos percent of the free width.
  auto LegendLeft = [](int TopPos) {
    TChartOnBitmap W(500, 300);
    W.Chart.SetView3D(false);
    W.Chart.Legend.SetAlignment(laTop);
    W.Chart.Legend.SetTopPos(TopPos);
    auto *S = W.Chart.AddSeries<TPointSeries>();
    S->AddXY(0, 1, "one");
    S->AddXY(1, 2, "two");
    W.Paint();
    return W.Chart.Legend.RectLegend.Left;
  };
  const int L0 = LegendLeft(0), L10 = LegendLeft(10), L100 = LegendLeft(100);
  const int Free = L100 - L0; // TopPos 100 moves it by the whole free width
  ASSERT_GT(Free, 100);
  EXPECT_EQ(L10 - L0, Round(10 * Free * 0.01));
}

TEST(ChartLayout, DepthAxisEnds) {
  TChartOnBitmap W;
  auto *A = W.Chart.AddSeries<TPointSeries>();
  auto *B = W.Chart.AddSeries<TPointSeries>();
  A->AddXY(0, 1);
  B->AddXY(0, 2);
  A->SetZOrder(3);
  B->SetZOrder(7);
  W.Paint();
  const TCustomChartAxis *D = &W.Chart.DepthAxis;
  // Labels with the series' titles: half a slot beyond the first and the last slot.
  EXPECT_EQ(W.Chart.MinYValue(D), -0.5);
  EXPECT_EQ(W.Chart.MaxYValue(D), W.Chart.MaxZOrder + 0.5);
  // Labels with values: the depth values of the first active series.
  W.Chart.DepthAxis.SetLabelStyle(talValue);
  EXPECT_EQ(W.Chart.MinYValue(D), 3);
  EXPECT_EQ(W.Chart.MaxYValue(D), 3);
  A->SetActive(false);
  EXPECT_EQ(W.Chart.MaxYValue(D), 7);
  B->SetActive(false);
  EXPECT_EQ(W.Chart.MaxYValue(D), 0);
}

TEST(ChartLayout, CustomAxisJoinsTheChartAndLeavesIt) {
  struct TCountedAxis : TChartAxis {
    int *Gone;
    TCountedAxis(TCustomAxisPanel *C, int *G) : TChartAxis(C, false, false), Gone(G) {}
    ~TCountedAxis() override { ++*Gone; }
  };
  int Gone = 0;
  TLineSeries Kept; // not the chart's: it outlives it
  {
    TChartOnBitmap W;
    W.Chart.AddSeries(&Kept);
    Kept.SetActive(false);
    Kept.SetHorizAxis(aCustomHorizAxis);
    Kept.SetCustomHorizAxis(new TChartAxis(&W.Chart, true, false));
    W.Chart.SetView3D(false);
    auto *S = W.Chart.AddSeries<TLineSeries>();
    S->AddXY(0, 0);
    S->AddXY(10, 50);
    auto *Own = new TCountedAxis(&W.Chart, &Gone), *Dropped = new TCountedAxis(&W.Chart, &Gone);
    ASSERT_EQ(W.Chart.AxesList.size(), 8u);
    EXPECT_EQ(W.Chart.AxesList[6], Own);
    S->SetVertAxis(aCustomVertAxis);
    S->SetCustomVertAxis(Dropped);
    delete Dropped; // the series must not keep it
    EXPECT_EQ(Gone, 1);
    EXPECT_EQ(W.Chart.AxesList.size(), 7u);
    EXPECT_EQ(S->GetVertAxis(), &W.Chart.LeftAxis);
    S->SetCustomVertAxis(Own);
    W.Paint();
    EXPECT_EQ(Own->IMaximum, 50); // adjusted to the series
    EXPECT_FALSE(Own->DrawnLabels.empty());
    EXPECT_TRUE(W.Chart.LeftAxis.DrawnLabels.empty()); // no series on it any more
  }
  EXPECT_EQ(Gone, 2); // the chart freed the one still in its list
  TChart Other;       // the freed axis is forgotten: on another chart the series takes its own axis
  Other.AddSeries(&Kept);
  EXPECT_EQ(Kept.GetHorizAxis(), &Other.BottomAxis);
  // Moved to another chart, the series leaves its custom axes with the chart they belong to.
  TChartOnBitmap To;
  Kept.SetActive(true);
  Kept.AddXY(0, 0);
  Kept.AddXY(10, 50);
  {
    TChart From;
    From.AddSeries(&Kept);
    Kept.SetVertAxis(aCustomVertAxis);
    Kept.SetCustomHorizAxis(new TChartAxis(&From, true, false));
    Kept.SetCustomVertAxis(new TChartAxis(&From, false, false));
    Kept.SetParentChart(&To.Chart);
  }
  EXPECT_EQ(Kept.GetHorizAxis(), &To.Chart.BottomAxis);
  EXPECT_EQ(Kept.GetVertAxis(), &To.Chart.LeftAxis);
  To.Paint();
  EXPECT_EQ(To.Chart.LeftAxis.IMaximum, 50);
  To.Chart.RemoveSeries(&Kept);
}

#include <gtest/gtest.h>

#include <cmath>

#include "chart_test_util.h"

TEST(ChartRender, ProjectileLikeChartDraws) {
  TChartOnBitmap W;
  TPointSeries *Drag;
  TFastLineSeries *Ideal;
  SetUpPathChart(W.Chart, Drag, Ideal);
  for (int i = 0; i <= 200; ++i) {
    const double t = i * 1.4324 / 200;
    Ideal->AddXY(3.5355 * t, 5 + 3.5355 * t - 4.905 * t * t);
  }
  for (int i = 0; i <= 14; ++i) {
    const double t = i * 0.1;
    Drag->AddXY(3.5355 * t, 5 + 3.5355 * t - 4.905 * t * t);
  }
  W.Paint();
  W.Save("chart_render_projectile.png");
  EXPECT_EQ(W.Chart.DrawCount(), 1);
}

TEST(ChartRender, ClippedCurveLeavesTheAxisAlone) {
  TChartOnBitmap W;
  TPointSeries *Drag;
  TFastLineSeries *Ideal;
  SetUpPathChart(W.Chart, Drag, Ideal);
  for (int i = 0; i <= 20; ++i) Ideal->AddXY(i, 0.8 * i);
  W.Chart.BottomAxis.SetMinMax(3.3, 9);
  W.Chart.LeftAxis.SetMinMax(4.6, 10.2);
  W.Paint();
  const TCustomChartAxis &B = W.Chart.BottomAxis;
  // Below 4.6 m the curve lies under the plot: the axis line there stays black.
  const int X = B.CalcXPosValue(4);
  for (int y = W.Chart.ChartRect.Bottom - 3; y <= B.PosAxis + 1; ++y)
    EXPECT_NE(W.Pixel(X, y), clGreen) << y;
}

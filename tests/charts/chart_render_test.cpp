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

#include <gtest/gtest.h>

#include <cmath>

#include "chart_test_util.h"

TEST(ChartRender, ProjectileLikeChartDraws) {
  TChartOnBitmap W;
  TPointSeries *Drag;
  TFastLineSeries *Ideal;
  SetUpProjectileChart(W.Chart, Drag, Ideal);
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
  SetUpProjectileChart(W.Chart, Drag, Ideal);
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

TEST(ChartRender, TitleFootLegendAndThreeD) {
  TChartOnBitmap W(500, 320);
  TChart &C = W.Chart;
  C.Title.SetText({"Two curves"});
  C.Foot.SetText({"foot line"});
  C.Foot.Font.Color = clRed;
  auto *A = C.AddSeries<TLineSeries>();
  auto *B = C.AddSeries<TPointSeries>();
  A->SetTitle("sine");
  B->SetTitle("cosine");
  for (int i = 0; i <= 40; ++i) {
    A->AddXY(i, std::sin(i * 0.2));
    B->AddXY(i, std::cos(i * 0.2));
  }
  W.Paint(); // 3-D is on by default
  W.Save("chart_render_3d_legend.png");
  // The legend lists both series at the right and takes its room from the plot.
  EXPECT_EQ(C.Legend.ItemCount(), 2);
  EXPECT_EQ(C.Legend.ItemText(1), "cosine");
  EXPECT_LT(C.ChartRect.Right, C.Legend.RectLegend.Left);
  EXPECT_GT(C.Width3D, 0);
  EXPECT_GT(C.ChartRect.Top, C.Title.TitleRect.Bottom);
  EXPECT_LT(C.ChartRect.Bottom, C.Foot.TitleRect.Top);
  // Without the legend the plot is wider.
  const int Right = C.ChartRect.Right;
  C.Legend.SetVisible(false);
  W.Paint();
  EXPECT_GT(C.ChartRect.Right, Right);
  EXPECT_THROW(C.Legend.SetTopPos(101), ChartException);
  EXPECT_THROW(C.Legend.SetColorWidth(-1), ChartException);
  EXPECT_THROW(C.Legend.SetFirstValue(-1), ChartException);
}

#include <gtest/gtest.h>

#include "chart_test_util.h"

namespace {
struct TZoomChart : TChartOnBitmap {
  TPointSeries *Drag = nullptr;
  TFastLineSeries *Ideal = nullptr;
  int Flushes = 0;
  TZoomChart() {
    SetUpProjectileChart(Chart, Drag, Ideal);
    Chart.AnimatedZoom = false;
    for (int i = 0; i <= 20; ++i) Ideal->AddXY(i, 0.8 * i);
    Chart.OnFlush = [this] { ++Flushes; };
    Paint();
  }
  void Drag_(TMouseButton B, int X0, int Y0, int X1, int Y1) {
    Chart.MouseDown(B, 0, X0, Y0);
    Chart.MouseMove(0, (X0 + X1) / 2, (Y0 + Y1) / 2);
    Chart.MouseMove(0, X1, Y1);
    Chart.MouseUp(B, 0, X1, Y1);
    Paint();
  }
  void ExpectStartEnds() {
    EXPECT_EQ(Chart.BottomAxis.Minimum(), 0);
    EXPECT_EQ(Chart.BottomAxis.Maximum(), 20);
    EXPECT_EQ(Chart.LeftAxis.Minimum(), 0);
    EXPECT_EQ(Chart.LeftAxis.Maximum(), 16);
    EXPECT_FALSE(Chart.BottomAxis.Automatic());
    EXPECT_FALSE(Chart.LeftAxis.AutomaticMinimum());
  }
};
} // namespace

TEST(Zoom, SmallDragChangesNothing) {
  TZoomChart W;
  W.Drag_(mbLeft, 100, 100, 116, 160);
  W.ExpectStartEnds();
  W.Drag_(mbLeft, 100, 100, 160, 116);
  W.ExpectStartEnds();
  EXPECT_FALSE(W.Chart.Zoomed);
  EXPECT_FALSE(W.Chart.Zoom.Active);
}

TEST(Zoom, DragRightDownZoomsAndUpLeftUndoes) {
  TZoomChart W;
  const double Lo = W.Chart.BottomAxis.CalcPosPoint(100), Hi = W.Chart.BottomAxis.CalcPosPoint(200);
  const double Bottom = W.Chart.LeftAxis.CalcPosPoint(150), Top = W.Chart.LeftAxis.CalcPosPoint(80);
  W.Drag_(mbLeft, 100, 80, 200, 150);
  EXPECT_TRUE(W.Chart.Zoomed);
  EXPECT_DOUBLE_EQ(W.Chart.BottomAxis.Minimum(), Lo);
  EXPECT_DOUBLE_EQ(W.Chart.BottomAxis.Maximum(), Hi);
  EXPECT_DOUBLE_EQ(W.Chart.LeftAxis.Minimum(), Bottom);
  EXPECT_DOUBLE_EQ(W.Chart.LeftAxis.Maximum(), Top);
  W.Save("chart_zoomed.png");
  int Undone = 0;
  W.Chart.OnUndoZoom = [&] { ++Undone; };
  W.Drag_(mbLeft, 200, 150, 100, 80);
  EXPECT_EQ(Undone, 1);
  EXPECT_FALSE(W.Chart.Zoomed);
  W.ExpectStartEnds();
}

TEST(Zoom, UndoAfterZoomsAndPansRestoresTheFixedEnds) {
  TZoomChart W;
  W.Drag_(mbLeft, 60, 40, 300, 200);
  W.Drag_(mbLeft, 100, 60, 200, 150);
  // A pan far enough that the new minimum lies above the saved maximum.
  for (int i = 0; i < 12; ++i) W.Drag_(mbRight, 350, 150, 40, 150);
  EXPECT_GT(W.Chart.BottomAxis.Minimum(), 20);
  W.Save("chart_panned.png");
  EXPECT_NO_THROW(W.Chart.UndoZoom());
  W.Paint();
  W.ExpectStartEnds();
  EXPECT_FALSE(W.Chart.AxesSaved());
  // The other way: both ends end up below the saved minimum, where restoring the minimum
  // first through the checking setter would be refused.
  W.Drag_(mbLeft, 100, 60, 200, 150);
  for (int i = 0; i < 12; ++i) W.Drag_(mbRight, 40, 150, 350, 150);
  EXPECT_LT(W.Chart.BottomAxis.Maximum(), 0);
  EXPECT_NO_THROW(W.Chart.UndoZoom());
  W.ExpectStartEnds();
}

TEST(Zoom, UnzoomedUndoOnlyRaisesTheEvent) {
  TZoomChart W;
  int Undone = 0;
  W.Chart.OnUndoZoom = [&] { ++Undone; };
  W.Drag_(mbLeft, 200, 150, 100, 80);
  EXPECT_EQ(Undone, 1);
  W.ExpectStartEnds();
}

TEST(Zoom, AnimationRepaintsAtOnce) {
  TZoomChart W;
  W.Chart.AnimatedZoom = true;
  const int Draws = W.Chart.DrawCount();
  W.Chart.ZoomRect(TRect(100, 80, 200, 150));
  EXPECT_EQ(W.Chart.DrawCount() - Draws, 7); // 8 steps: 7 frames, then the final ends
  W.Chart.AnimatedZoomSteps = 1;
  W.Chart.UndoZoom();
  W.Paint();
  const int Draws2 = W.Chart.DrawCount();
  W.Chart.ZoomRect(TRect(100, 80, 200, 150));
  EXPECT_EQ(W.Chart.DrawCount(), Draws2);
}

TEST(Pan, RightDragMovesTheAxes) {
  TZoomChart W;
  const double PerPixel = 20.0 / W.Chart.BottomAxis.IAxisSize;
  W.Drag_(mbRight, 200, 120, 150, 120);
  EXPECT_NEAR(W.Chart.BottomAxis.Minimum(), 50 * PerPixel, 1e-9);
  EXPECT_NEAR(W.Chart.BottomAxis.Maximum(), 20 + 50 * PerPixel, 1e-9);
  EXPECT_EQ(W.Chart.LeftAxis.Minimum(), 0); // no vertical move
}

TEST(Pan, HorizontalOnlyAndNone) {
  TZoomChart W;
  W.Chart.AllowPanning = TPanningMode::pmHorizontal;
  W.Drag_(mbRight, 200, 120, 150, 60);
  EXPECT_GT(W.Chart.BottomAxis.Minimum(), 0);
  EXPECT_EQ(W.Chart.LeftAxis.Minimum(), 0);
  EXPECT_EQ(W.Chart.LeftAxis.Maximum(), 16);
  W.Chart.UndoZoom();
  W.Chart.AllowPanning = TPanningMode::pmNone;
  W.Chart.MouseDown(mbRight, 0, 200, 120);
  EXPECT_FALSE(W.Chart.Panning.Active);
  EXPECT_FALSE(W.Chart.Zoom.Active);
  W.Chart.MouseUp(mbRight, 0, 150, 60);
  W.ExpectStartEnds();
}

TEST(Zoom, ClickEventCanKeepThePress) {
  TZoomChart W;
  int Clicks = 0;
  W.Chart.OnClickBackground = [&](TCustomChart *, TMouseButton, TShiftState, int, int) { ++Clicks; };
  W.Chart.MouseDown(mbLeft, 0, 150, 100);
  EXPECT_EQ(Clicks, 1);
  EXPECT_FALSE(W.Chart.Zoom.Active); // the handler left the cancel flag set
  W.Chart.OnClickBackground = [&](TCustomChart *C, TMouseButton, TShiftState, int, int) {
    ++Clicks;
    static_cast<TChart *>(C)->CancelMouse = false;
  };
  W.Chart.MouseDown(mbLeft, 0, 150, 100);
  EXPECT_TRUE(W.Chart.Zoom.Active);
  W.Chart.MouseUp(mbLeft, 0, 150, 100);
}

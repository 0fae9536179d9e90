#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

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
  void Drag_(TMouseButton B, int X0, int Y0, int X1, int Y1, TShiftState Keys = 0) {
    Chart.MouseDown(B, Keys, X0, Y0);
    Chart.MouseMove(Keys, (X0 + X1) / 2, (Y0 + Y1) / 2);
    Chart.MouseMove(Keys, X1, Y1);
    Chart.MouseUp(B, Keys, X1, Y1);
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
  W.Drag_(mbLeft, 100, 80, 200, 150, ssShift); // no key is required, so a held one is no hindrance
  EXPECT_TRUE(W.Chart.Zoomed);
  EXPECT_DOUBLE_EQ(W.Chart.BottomAxis.Minimum(), Lo);
  EXPECT_DOUBLE_EQ(W.Chart.BottomAxis.Maximum(), Hi);
  EXPECT_DOUBLE_EQ(W.Chart.LeftAxis.Minimum(), Bottom);
  EXPECT_DOUBLE_EQ(W.Chart.LeftAxis.Maximum(), Top);
  W.Save("chart_zoomed.png");
  int Undone = 0;
  W.Chart.OnUndoZoom = [&] { ++Undone; };
  W.Drag_(mbLeft, 200, 150, 100, 80, ssCtrl);
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
  W.Drag_(mbLeft, 200, 150, 100, 80, ssCtrl);
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
  W.Drag_(mbRight, 200, 120, 150, 120, ssShift | ssCtrl);
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

namespace {
// The dynamo's e.m.f. graph: a white chart with a curve and one marker that an animation
// moves, which repaints the chart while the user drags.
struct TMarkerChart : TChartOnBitmap {
  TFastLineSeries *Curve = nullptr;
  TPointSeries *Marker = nullptr;
  TMarkerChart() {
    Chart.SetView3D(false);
    Chart.SetColor(clWhite);
    Chart.SetBackColor(clWhite);
    Chart.Legend.SetVisible(false);
    Chart.Title.SetVisible(false);
    Curve = Chart.AddSeries<TFastLineSeries>();
    Marker = Chart.AddSeries<TPointSeries>();
    Marker->Pointer.SetStyle(psCircle);
    for (int i = 0; i <= 360; i += 5) Curve->AddXY(i, std::sin(i * M_PI / 180));
    Marker->AddXY(0, 0);
    Paint();
  }
  void MoveMarker(int Theta) {
    Marker->SetXValue(0, Theta);
    Marker->SetYValue(0, std::sin(Theta * M_PI / 180));
  }
  // The pixels where the window differs from the chart's picture in its buffer.
  std::vector<TPoint> Differences() {
    const TBitmap &Buffer = *Chart.Canvas().Bitmap();
    std::vector<TPoint> D;
    for (int y = 0; y < Window.Height(); ++y)
      for (int x = 0; x < Window.Width(); ++x)
        if (Window.Canvas().Pixels(x, y) != Buffer.Canvas().Pixels(x, y)) D.push_back({x, y});
    return D;
  }
  // Every pixel of the outline of a rectangle from corner (X0, Y0) to (X1, Y1), as the
  // canvas draws it (left and top edges in, right and bottom out), and nothing else.
  void ExpectOutlineOnly(int X0, int Y0, int X1, int Y1) {
    const int L = std::min(X0, X1), R = std::max(X0, X1) - 1, T = std::min(Y0, Y1),
              B = std::max(Y0, Y1) - 1;
    std::vector<TPoint> Want;
    for (int y = T; y <= B; ++y)
      for (int x = L; x <= R; ++x)
        if (x == L || x == R || y == T || y == B) Want.push_back({x, y});
    const std::vector<TPoint> Got = Differences();
    EXPECT_EQ(Got.size(), Want.size());
    EXPECT_TRUE(Got == Want) << "the window does not show exactly the outline";
  }
};
} // namespace

TEST(ZoomRectangle, StaysWholeThroughRepaintsDuringTheDrag) {
  TMarkerChart W;
  W.Chart.MouseDown(mbLeft, 0, 100, 60);
  W.Chart.MouseMove(0, 200, 150);
  W.ExpectOutlineOnly(100, 60, 200, 150);
  // The animation moves the marker: the chart is drawn again and shown.
  W.MoveMarker(90);
  EXPECT_TRUE(W.Chart.Canvas().DirtyBits());
  W.Paint();
  W.ExpectOutlineOnly(100, 60, 200, 150);
  // An expose shows the buffer again.
  W.Paint();
  W.ExpectOutlineOnly(100, 60, 200, 150);
  // The next move leaves no remnant of the old rectangle beside the new one.
  W.Chart.MouseMove(0, 240, 170);
  W.ExpectOutlineOnly(100, 60, 240, 170);
  W.MoveMarker(180);
  W.Paint();
  W.Chart.MouseMove(0, 60, 30); // back across the start, up and to the left
  W.ExpectOutlineOnly(100, 60, 60, 30);
  // Released after a small drag: nothing zooms and nothing stays behind.
  W.Chart.MouseMove(0, 110, 70);
  W.Chart.MouseUp(mbLeft, 0, 110, 70);
  EXPECT_TRUE(W.Differences().empty());
  EXPECT_FALSE(W.Chart.Zoomed);
}

TEST(ZoomRectangle, UnbufferedDrawingKeepsItOnTopToo) {
  TMarkerChart W;
  W.Chart.SetBufferedDisplay(false);
  W.Paint();
  const TBitmap Before = W.Window;
  W.Chart.MouseDown(mbLeft, 0, 100, 60);
  W.Chart.MouseMove(0, 200, 150);
  W.Chart.Invalidate();
  W.Paint();
  int Outline = 0, Other = 0;
  for (int y = 0; y < 250; ++y)
    for (int x = 0; x < 400; ++x) {
      const bool On = ((x == 100 || x == 199) && y >= 60 && y <= 149) ||
                      ((y == 60 || y == 149) && x >= 100 && x <= 199);
      const bool Differs = W.Pixel(x, y) != Before.Canvas().Pixels(x, y);
      (On ? Outline : Other) += Differs;
    }
  EXPECT_EQ(Outline, 2 * 100 + 2 * 90 - 4);
  EXPECT_EQ(Other, 0);
  W.Chart.MouseUp(mbLeft, 0, 110, 70);
  for (int y = 0; y < 250; y += 3)
    for (int x = 0; x < 400; x += 3) ASSERT_EQ(W.Pixel(x, y), Before.Canvas().Pixels(x, y));
}

TEST(ZoomRectangle, LeavingTheChartCancelsTheDragWithoutATrace) {
  TMarkerChart W;
  W.Chart.MouseDown(mbLeft, 0, 100, 60);
  W.Chart.MouseMove(0, 200, 150);
  EXPECT_FALSE(W.Differences().empty());
  W.Chart.MouseLeave();
  EXPECT_FALSE(W.Chart.Zoom.Active);
  EXPECT_TRUE(W.Differences().empty());
}

TEST(ZoomRectangle, SegmentsDrawnStraightOntoTheWindowStayUnderIt) {
  TMarkerChart W;
  W.Curve->SetAutoRepaint(false);
  W.Paint();
  W.Chart.MouseDown(mbLeft, 0, 100, 60);
  W.Chart.MouseMove(0, 300, 200);
  W.Curve->AddXY(182, 1.5); // drawn onto the window and into the buffer, across the top edge
  W.ExpectOutlineOnly(100, 60, 300, 200);
  W.Chart.MouseUp(mbLeft, 0, 300, 200);
  EXPECT_TRUE(W.Chart.Zoomed);
  W.Paint();
  EXPECT_TRUE(W.Differences().empty());
}

TEST(Zoom, SeriesClickEventComesAfterTheSeriesOwnAndDecides) {
  TZoomChart W;
  W.Drag->AddXY(10, 3); // off the ideal path, which is searched first
  W.Paint();
  const int X = W.Drag->CalcXPos(0), Y = W.Drag->CalcYPos(0);
  std::vector<std::string> Calls;
  // The series' handler keeps the press (it leaves the cancel flag set).
  W.Drag->OnClick = [&](TChartSeries *, int, TMouseButton, TShiftState, int, int) {
    Calls.push_back("series");
  };
  W.Chart.OnClickSeries = [&](TCustomChart *, TChartSeries *S, int Index, TMouseButton, TShiftState,
                              int, int) {
    Calls.push_back(S == W.Drag && Index == 0 ? "chart" : "chart?");
  };
  W.Chart.MouseDown(mbLeft, 0, X, Y);
  EXPECT_EQ(Calls, (std::vector<std::string>{"series", "chart"}));
  EXPECT_FALSE(W.Chart.Zoom.Active); // kept by the chart's handler too
  W.Chart.MouseUp(mbLeft, 0, X, Y);
  // A chart handler that lets the press go on starts the drag, whatever the series said.
  Calls.clear();
  W.Chart.OnClickSeries = [&](TCustomChart *C, TChartSeries *, int, TMouseButton, TShiftState, int,
                              int) {
    Calls.push_back("chart");
    static_cast<TChart *>(C)->CancelMouse = false;
  };
  W.Chart.MouseDown(mbLeft, 0, X, Y);
  EXPECT_EQ(Calls, (std::vector<std::string>{"series", "chart"}));
  EXPECT_TRUE(W.Chart.Zoom.Active);
  W.Chart.MouseUp(mbLeft, 0, X, Y);
}

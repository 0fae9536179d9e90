#include <gtest/gtest.h>

#include <cmath>

#include "chart_test_util.h"

namespace {
struct TPathChart : TChartOnBitmap {
  TPointSeries *Drag = nullptr;
  TFastLineSeries *Ideal = nullptr;
  explicit TPathChart(int W = 400, int H = 250) : TChartOnBitmap(W, H) { SetUpProjectileChart(Chart, Drag, Ideal); }
};
} // namespace

TEST(AxisDraw, ValueLabelsAreWholeMultiplesOfTheStep) {
  TChartOnBitmap W(400, 400);
  W.Chart.SetView3D(false);
  W.Chart.AddSeries<TFastLineSeries>()->AddXY(1, 1);
  W.Chart.LeftAxis.SetMinMax(0.3, 9.7);
  W.Chart.LeftAxis.SetIncrement(2);
  W.Paint();
  EXPECT_EQ(W.Chart.LeftAxis.DrawnLabels, (std::vector<double>{8, 6, 4, 2}));
}

TEST(AxisDraw, BinaryFractionStepsKeepBothEndLabels) {
  TChartOnBitmap W(400, 900);
  W.Chart.SetView3D(false);
  W.Chart.AddSeries<TFastLineSeries>()->AddXY(1, 1);
  W.Chart.LeftAxis.SetMinMax(-1.2, 1.2);
  W.Chart.LeftAxis.SetIncrement(0.1);
  W.Paint();
  const std::vector<double> &L = W.Chart.LeftAxis.DrawnLabels;
  ASSERT_EQ(L.size(), 25u);
  EXPECT_NEAR(L.front(), 1.2, 1e-12);
  EXPECT_NEAR(L.back(), -1.2, 1e-12);
  EXPECT_EQ(W.Chart.LeftAxis.LabelValue(L.front()), "1.2");
  EXPECT_EQ(W.Chart.LeftAxis.LabelValue(L[12]), "0");
}

// Labels that are drawn one after another read differently, and fit side by side.
void ExpectDistinctLabels(TChartOnBitmap &W, TCustomChartAxis &A) {
  const std::vector<double> &L = A.DrawnLabels;
  ASSERT_GE(L.size(), 2u);
  for (size_t I = 1; I < L.size(); ++I)
    EXPECT_NE(A.LabelValue(L[I - 1]), A.LabelValue(L[I])) << L[I - 1] << " " << L[I];
  // Neighbours do not overlap: their distance on the axis is more than the wider text.
  TCanvas &C = W.Window.Canvas();
  C.Font() = A.LabelsFont;
  for (size_t I = 1; I < L.size(); ++I) {
    const int Gap = std::abs(A.CalcPosValue(L[I]) - A.CalcPosValue(L[I - 1]));
    const int Wide = std::max(C.TextWidth(A.LabelValue(L[I])), C.TextWidth(A.LabelValue(L[I - 1])));
    EXPECT_GT(Gap, Wide) << A.LabelValue(L[I]);
  }
}

TEST(AxisDraw, LabelsOfASmallRangeGetTheDecimalsThatTellThemApart) {
  TChartOnBitmap W(500, 300);
  W.Chart.SetView3D(false);
  W.Chart.AddSeries<TFastLineSeries>()->AddXY(2e-6, 1);
  // 1e-6 .. 3e-6 with the default "#,##0.###" would read "0" everywhere.
  W.Chart.BottomAxis.SetMinMax(1e-6, 3e-6);
  W.Paint();
  const std::vector<double> &B = W.Chart.BottomAxis.DrawnLabels;
  ASSERT_GE(B.size(), 3u);
  EXPECT_LT(B.size(), 12u); // the longer labels leave room for fewer of them
  ExpectDistinctLabels(W, W.Chart.BottomAxis);
  EXPECT_EQ(W.Chart.BottomAxis.LabelValue(2e-6), "0.000002");
  // A range the format separates keeps its own format.
  W.Chart.BottomAxis.SetMinMax(0, 20);
  W.Paint();
  EXPECT_EQ(W.Chart.BottomAxis.LabelFormat(), "#,##0.###");
  EXPECT_EQ(W.Chart.BottomAxis.LabelValue(2.5), "2.5");
}

TEST(AxisDraw, LabelsBeyondTheFormatsPrecisionAreFewerNotEqual) {
  TChartOnBitmap W(500, 300);
  W.Chart.SetView3D(false);
  W.Chart.AddSeries<TFastLineSeries>()->AddXY(1e9, 1);
  // Nine digits before the point leave room for a few after it only.
  W.Chart.BottomAxis.SetMinMax(1e9, 1e9 + 1e-6);
  W.Paint();
  const std::vector<double> &B = W.Chart.BottomAxis.DrawnLabels;
  for (size_t I = 1; I < B.size(); ++I)
    EXPECT_NE(W.Chart.BottomAxis.LabelValue(B[I - 1]), W.Chart.BottomAxis.LabelValue(B[I]));
  EXPECT_LE(B.size(), 2u);
}

TEST(AxisDraw, ProjectileAxesShowEveryTwoMetres) {
  TPathChart W;
  W.Paint();
  // Labels "20" of about 12 px fit some 29 times into the axis: a step of 1.
  const std::vector<double> &B = W.Chart.BottomAxis.DrawnLabels;
  ASSERT_EQ(B.size(), 21u);
  EXPECT_EQ(B.front(), 20);
  EXPECT_EQ(B.back(), 0);
  // Upright, labels take a line each: 16 m in steps of 2.
  EXPECT_EQ(W.Chart.LeftAxis.DrawnLabels, (std::vector<double>{16, 14, 12, 10, 8, 6, 4, 2, 0}));
  // Fixed ends: the pointers' margins do not move them.
  EXPECT_EQ(W.Chart.BottomAxis.CalcXPosValue(0), W.Chart.BottomAxis.IStartPos);
  EXPECT_EQ(W.Chart.BottomAxis.CalcXPosValue(20), W.Chart.BottomAxis.IEndPos);
}

TEST(AxisDraw, WithoutSeparationTooManyStepsDrawNothing) {
  TChartOnBitmap W;
  W.Chart.SetView3D(false);
  W.Chart.AddSeries<TFastLineSeries>()->AddXY(1, 1);
  W.Chart.BottomAxis.SetMinMax(0, 20000);
  W.Chart.BottomAxis.SetIncrement(1);
  W.Chart.BottomAxis.SetLabelsSeparation(0);
  W.Paint();
  EXPECT_TRUE(W.Chart.BottomAxis.DrawnLabels.empty());
}

TEST(AxisDraw, ChartWithoutSeriesDrawsAxesAndWall) {
  TChartOnBitmap W;
  W.Chart.SetView3D(false);
  W.Chart.SetColor(clWhite);
  W.Paint();
  for (TCustomChartAxis *A : {static_cast<TCustomChartAxis *>(&W.Chart.BottomAxis),
                              static_cast<TCustomChartAxis *>(&W.Chart.LeftAxis)})
    EXPECT_TRUE(W.Chart.IsAxisVisible(A));
  // The bottom axis line, 2 px wide, runs at the axis position.
  const TCustomChartAxis &B = W.Chart.BottomAxis;
  EXPECT_EQ(W.Pixel((B.IStartPos + B.IEndPos) / 2, B.PosAxis), clBlack);
  // A wall brush with a picture fills the wall with it, and has no dark sides.
  auto Tile = std::make_shared<TBitmap>(4, 4);
  Tile->Canvas().Brush().Color = clRed;
  Tile->Canvas().FillRect(TRect(0, 0, 4, 4));
  W.Chart.BackWall.Brush.SetStyle(bsSolid);
  W.Chart.BackWall.Brush.SetBitmap(Tile);
  EXPECT_FALSE(W.Chart.BackWall.SolidDark());
  W.Paint();
  const TRect &R = W.Chart.ChartRect;
  EXPECT_EQ(W.Pixel((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2), clRed);
}

TEST(PointSeries, ProjectileCirclesAreRedWithBlackOutline) {
  TPathChart W;
  W.Drag->AddXY(10, 8);
  W.Paint();
  const int X = W.Chart.BottomAxis.CalcXPosValue(10), Y = W.Chart.LeftAxis.CalcYPosValue(8);
  EXPECT_EQ(W.Pixel(X, Y), clRed);
  EXPECT_EQ(W.Pixel(X - 4, Y), clBlack); // outline at the left edge of the box
  EXPECT_EQ(W.Pixel(X, Y - 4), clBlack);
  EXPECT_NE(W.Pixel(X + 5, Y), clRed);
  W.Save("chart_one_point.png");
}

TEST(PointSeries, DefaultPointerIsNineByNine) {
  TChartOnBitmap W;
  W.Chart.SetView3D(false);
  W.Chart.SetColor(clWhite);
  auto *S = W.Chart.AddSeries<TPointSeries>();
  S->SetSeriesColor(clBlue);
  S->AddXY(5, 5);
  W.Chart.BottomAxis.SetMinMax(0, 10);
  W.Chart.LeftAxis.SetMinMax(0, 10);
  W.Paint();
  const int X = W.Chart.BottomAxis.CalcXPosValue(5), Y = W.Chart.LeftAxis.CalcYPosValue(5);
  EXPECT_EQ(W.Pixel(X, Y), clBlue);
  EXPECT_EQ(W.Pixel(X - 4, Y), clBlack);
  EXPECT_EQ(W.Pixel(X + 4, Y), clBlack);
  EXPECT_EQ(W.Pixel(X, Y + 4), clBlack);
  EXPECT_NE(W.Pixel(X + 5, Y), clBlack);
  // Click: within 3 px hits, 4 px does not.
  EXPECT_EQ(S->Clicked(X + 3, Y - 3), 0);
  EXPECT_EQ(S->Clicked(X + 4, Y), -1);
  EXPECT_THROW(S->Pointer.SetHorizSize(0), ChartException);
  EXPECT_EQ(S->Pointer.HorizSize(), 4);
}

TEST(PointSeries, PendingPointerIsDrawnWhenTheLastPointIsFarAway) {
  TPathChart W;
  W.Drag->AddXY(5, 5);
  W.Drag->AddXY(1e9, 5); // the point past the end, far off: skipped
  W.Paint();
  EXPECT_EQ(W.Drag->LastValueIndex, 1);
  const int X = W.Chart.BottomAxis.CalcXPosValue(5), Y = W.Chart.LeftAxis.CalcYPosValue(5);
  EXPECT_EQ(W.Pixel(X, Y), clRed);
}

TEST(LineSeries, FarPointDoesNotBreakTheLine) {
  TChartOnBitmap W;
  W.Chart.SetView3D(false);
  W.Chart.SetColor(clWhite);
  auto *S = W.Chart.AddSeries<TLineSeries>();
  S->SetSeriesColor(clRed);
  S->AddXY(0, 2);
  S->AddXY(1, 40000); // pixel far outside
  S->AddXY(2, 2);
  S->AddXY(3, 2);
  W.Chart.BottomAxis.SetMinMax(0, 3);
  W.Chart.LeftAxis.SetMinMax(0, 4);
  W.Paint();
  // The line joins the drawable neighbours of the far point.
  const int Y = W.Chart.LeftAxis.CalcYPosValue(2);
  const int X = (W.Chart.BottomAxis.CalcXPosValue(0) + W.Chart.BottomAxis.CalcXPosValue(2)) / 2;
  EXPECT_EQ(W.Pixel(X, Y), clRed);
}

TEST(FastLine, PointsOnOnePixelAreSkipped) {
  TPathChart W;
  W.Ideal->AddXY(0, 0);
  W.Ideal->AddXY(10, 8);
  W.Ideal->AddXY(10.0001, 8);
  W.Ideal->AddXY(10.0002, 8);
  W.Ideal->AddXY(20, 0);
  W.Paint();
  EXPECT_EQ(W.Ideal->SegmentsDrawn, 2);
  const int X = W.Chart.BottomAxis.CalcXPosValue(5), Y = W.Chart.LeftAxis.CalcYPosValue(4);
  EXPECT_EQ(W.Pixel(X, Y), clGreen);
}

TEST(FastLine, ZoomedCurveEntersFromThePointBefore) {
  TPathChart W;
  for (int i = 0; i <= 20; ++i) W.Ideal->AddXY(i, 8);
  W.Chart.BottomAxis.SetMinMax(5.5, 15);
  W.Paint();
  EXPECT_EQ(W.Ideal->FirstValueIndex, 6);
  // The line reaches the left edge of the plot.
  const TRect &R = W.Chart.ChartRect;
  EXPECT_EQ(W.Pixel(R.Left + 1, W.Chart.LeftAxis.CalcYPosValue(8)), clGreen);
}

TEST(FastLine, SeriesColourAndPenFollowEachOther) {
  TFastLineSeries S;
  S.SetSeriesColor(clBlue);
  EXPECT_EQ(S.LinePen.Color, clBlue);
  TChartPen P;
  P.Color = clLime;
  S.SetLinePen(P);
  EXPECT_EQ(S.SeriesColor(), clLime);
  // The pen's own colour setter leads too, and the next draw keeps it.
  TPathChart W;
  W.Ideal->AddXY(0, 0);
  W.Ideal->AddXY(20, 16);
  W.Ideal->LinePen.SetColor(clRed);
  EXPECT_EQ(W.Ideal->SeriesColor(), clRed);
  W.Paint();
  const int X = W.Chart.BottomAxis.CalcXPosValue(10), Y = W.Chart.LeftAxis.CalcYPosValue(8);
  EXPECT_EQ(W.Pixel(X, Y), clRed);
  // A pen change that leaves its colour alone leaves the series colour alone: a new series
  // still takes its palette colour from the chart.
  TFastLineSeries Wide;
  Wide.LinePen.SetWidth(2);
  Wide.LinePen.SetStyle(psDash);
  EXPECT_EQ(Wide.SeriesColor(), clChartColor);
  TChart C;
  C.AddSeries(&Wide);
  EXPECT_EQ(Wide.SeriesColor(), GetDefaultColor(0));
  EXPECT_EQ(Wide.LinePen.Color, GetDefaultColor(0));
  C.RemoveSeries(&Wide);
}

TEST(FastLine, WithoutAutoRepaintOnlyTheNewSegmentIsDrawn) {
  TPathChart W;
  W.Ideal->AddXY(0, 0);
  W.Ideal->SetAutoRepaint(false);
  W.Paint();
  const int Requests = W.Requests, Draws = W.Chart.DrawCount();
  W.Ideal->AddXY(20, 16);
  EXPECT_EQ(W.Requests, Requests);
  EXPECT_EQ(W.Chart.DrawCount(), Draws);
  const int X = W.Chart.BottomAxis.CalcXPosValue(10), Y = W.Chart.LeftAxis.CalcYPosValue(8);
  EXPECT_EQ(W.Pixel(X, Y), clGreen);
  W.Paint(); // the buffer kept the segment too
  EXPECT_EQ(W.Pixel(X, Y), clGreen);
}

TEST(FastLine, ClickOnAVertexAndOnASegment) {
  TPathChart W;
  W.Ideal->AddXY(0, 0);
  W.Ideal->AddXY(10, 8);
  W.Ideal->AddXY(10, 8); // the same point twice: a zero-length segment
  W.Ideal->AddXY(20, 16);
  W.Paint();
  const int X = W.Chart.BottomAxis.CalcXPosValue(10), Y = W.Chart.LeftAxis.CalcYPosValue(8);
  EXPECT_EQ(W.Ideal->Clicked(X, Y), 1);
  const int X2 = W.Chart.BottomAxis.CalcXPosValue(15), Y2 = W.Chart.LeftAxis.CalcYPosValue(12);
  EXPECT_EQ(W.Ideal->Clicked(X2, Y2), 2);
  EXPECT_EQ(W.Ideal->Clicked(X2, Y2 + 30), -1);
}

TEST(Marks, BoxFrameAndTransparency) {
  TChartOnBitmap W;
  W.Chart.SetView3D(false);
  W.Chart.SetColor(clWhite);
  auto *S = W.Chart.AddSeries<TLineSeries>();
  S->AddXY(5, 5);
  S->AddXY(6, 5);
  W.Chart.BottomAxis.SetMinMax(0, 10);
  W.Chart.LeftAxis.SetMinMax(0, 10);
  S->Marks.SetVisible(true);
  S->Marks.SetStyle(smsValue);
  W.Paint();
  W.Save("chart_marks.png");
  ASSERT_EQ(S->Marks.Positions.size(), 2u);
  const TRect B = S->Marks.Positions[0]->Bounds();
  // The box stands centred ArrowLength above the point (top = Y - height + 1), its height
  // one line plus twice the frame, filled with the marks' colour.
  const int Y = W.Chart.LeftAxis.CalcYPosValue(5) - S->Marks.ArrowLength();
  EXPECT_EQ(B.Top, Y - B.Height() + 1);
  W.Chart.AssignChartFont(S->Marks.Font);
  EXPECT_EQ(B.Height(), W.Chart.Canvas().FontHeight() + 2);
  EXPECT_EQ(S->Marks.BackColor(), TColor(0x80FFFF));
  EXPECT_EQ(W.Pixel(B.Left + 1, B.Top + 1), S->Marks.BackColor());
  EXPECT_EQ(W.Pixel(B.Left, B.Top + 2), clBlack); // the frame
  S->Marks.SetTransparent(true);
  S->Marks.Frame.Visible = false;
  W.Chart.Invalidate();
  W.Paint();
  EXPECT_NE(W.Pixel(B.Left + 1, B.Top + 1), S->Marks.BackColor()); // no box
  EXPECT_NE(W.Pixel(B.Left, B.Top + 2), clBlack);                 // no frame
}

TEST(FastLine, ALineToAFarPointKeepsItsSlope) {
  // Both axes 0..0.01 and the line y = x through (0, 0) and (100, 100): the second point
  // lies millions of pixels away, on the same line.
  TChartOnBitmap W;
  W.Chart.SetView3D(false);
  W.Chart.SetColor(clWhite);
  W.Chart.Legend.SetVisible(false);
  auto *S = W.Chart.AddSeries<TFastLineSeries>();
  S->SetSeriesColor(clRed);
  S->AddXY(0, 0);
  S->AddXY(100, 100);
  W.Chart.BottomAxis.SetMinMax(0, 0.01);
  W.Chart.LeftAxis.SetMinMax(0, 0.01);
  W.Paint();
  const TCustomChartAxis &H = W.Chart.BottomAxis, &V = W.Chart.LeftAxis;
  for (double v : {0.002, 0.005, 0.008}) {
    const int X = H.CalcXPosValue(v), Y = V.CalcYPosValue(v);
    int Found = -1;
    for (int y = W.Chart.ChartRect.Top; y < W.Chart.ChartRect.Bottom; ++y)
      if (W.Pixel(X, y) == clRed) Found = y;
    EXPECT_NEAR(Found, Y, 1) << "at " << v;
  }
}

TEST(ChartCanvas, SegmentsAreCutAlongTheirLine) {
  double X0 = 0, Y0 = 0, X1 = 10, Y1 = 20;
  ASSERT_TRUE(ClipLineToSquare(X0, Y0, X1, Y1, 5));
  EXPECT_DOUBLE_EQ(X0, 0);
  EXPECT_DOUBLE_EQ(Y0, 0);
  EXPECT_DOUBLE_EQ(X1, 2.5); // where y reaches the square's side, x is a quarter of the way
  EXPECT_DOUBLE_EQ(Y1, 5);
  X0 = -1e12, Y0 = 3, X1 = 1e12, Y1 = 3; // a level line between two very far points
  ASSERT_TRUE(ClipLineToSquare(X0, Y0, X1, Y1, 400000));
  EXPECT_DOUBLE_EQ(X0, -400000);
  EXPECT_DOUBLE_EQ(X1, 400000);
  EXPECT_DOUBLE_EQ(Y0, 3);
  X0 = 100, Y0 = 200, X1 = 1e12, Y1 = 2e12 + 100; // y = 2x - ... from a near point
  ASSERT_TRUE(ClipLineToSquare(X0, Y0, X1, Y1, 400000));
  EXPECT_NEAR(X1, 200000, 1e-3);
  EXPECT_DOUBLE_EQ(Y1, 400000);
  X0 = 6, Y0 = 0, X1 = 20, Y1 = -3; // wholly outside
  EXPECT_FALSE(ClipLineToSquare(X0, Y0, X1, Y1, 5));
  X0 = 10, Y0 = 0, X1 = 0, Y1 = 10; // touches the corner only
  EXPECT_TRUE(ClipLineToSquare(X0, Y0, X1, Y1, 5));
  EXPECT_DOUBLE_EQ(X0, 5);
  EXPECT_DOUBLE_EQ(Y1, 5);
}

TEST(LineSeries, SettingsRepaintWhenChanged) {
  TChartOnBitmap W;
  auto *S = W.Chart.AddSeries<TLineSeries>();
  S->AddXY(0, 1);
  S->AddXY(1, 2);
  ExpectEachChangeRepaints(
      W, {
             {"AreaBrush", [&] { S->SetAreaBrush(bsCross); }},
             {"AreaColor", [&] { S->SetAreaColor(clRed); }},
             {"ClickableLine", [&] { S->SetClickableLine(false); }},
             {"Dark3D", [&] { S->SetDark3D(false); }},
             {"DrawArea", [&] { S->SetDrawArea(true); }},
             {"DrawLine", [&] { S->SetDrawLine(false); }},
             {"InvertedStairs", [&] { S->SetInvertedStairs(true); }},
             {"LineBrush", [&] { S->SetLineBrush(bsClear); }},
             {"LineHeight", [&] { S->SetLineHeight(3); }},
             {"Stairs", [&] { S->SetStairs(true); }},
             {"Pointer.Dark3D", [&] { S->Pointer.SetDark3D(false); }},
             {"Pointer.Draw3D", [&] { S->Pointer.SetDraw3D(false); }},
             {"Pointer.InflateMargins", [&] { S->Pointer.SetInflateMargins(false); }},
         });
  EXPECT_TRUE(S->Stairs());
  EXPECT_EQ(S->LineHeight(), 3);
  EXPECT_FALSE(S->Pointer.InflateMargins());
}

#include <gtest/gtest.h>

#include "chart_test_util.h"

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
  EXPECT_EQ(P[0]->ArrowTo, TPoint(X, Y - Fast->Marks.ArrowLength));
  EXPECT_EQ(P[0]->LeftTop.X, X - P[0]->Width / 2);
  EXPECT_EQ(P[0]->LeftTop.Y, Y - P[0]->Height + 1 - Fast->Marks.ArrowLength);
  EXPECT_EQ(W.Pixel(P[0]->LeftTop.X + 2, P[0]->LeftTop.Y + 2), TColor(0x80FFFF));
}

#include <gtest/gtest.h>

#include "chart_test_util.h"

namespace {
struct TAreaChart : TChartOnBitmap {
  TAreaSeries *A, *B;
  explicit TAreaChart(bool ThreeD = false) : TChartOnBitmap(500, 320) {
    Chart.SetView3D(ThreeD);
    Chart.Legend.SetVisible(false);
    Chart.SetColor(clWhite);
    A = Chart.AddSeries<TAreaSeries>();
    B = Chart.AddSeries<TAreaSeries>();
    for (int i = 0; i < 5; ++i) {
      A->AddXY(i, 1 + i % 2);
      B->AddXY(i, 3);
    }
    A->SetSeriesColor(clRed);
    B->SetSeriesColor(clBlue);
  }
};
} // namespace

TEST(AreaStacking, SecondAreaStandsOnTheFirst) {
  TAreaChart W;
  W.B->SetMultiArea(maStacked);
  EXPECT_EQ(W.A->MultiArea(), maStacked); // the same for every area series
  W.Paint();
  W.Save("areas_stacked.png");
  const TCustomChartAxis &L = W.Chart.LeftAxis;
  // Point 1: A holds 2, B 3 on top of it, from 2 to 5.
  EXPECT_EQ(W.B->GetOriginPos(1), L.CalcYPosValue(2));
  EXPECT_EQ(W.B->CalcYPos(1), L.CalcYPosValue(5));
  EXPECT_EQ(W.Chart.LeftAxis.Maximum(), 5);
  const int X = W.B->CalcXPos(1) + 5; // beside the area's dividing line
  EXPECT_EQ(W.Pixel(X, L.CalcYPosValue(4)), clBlue);
  EXPECT_EQ(W.Pixel(X, L.CalcYPosValue(1)), clRed);
}

TEST(AreaStacking, PercentStacking) {
  TAreaChart W;
  W.A->SetMultiArea(maStacked100);
  W.Paint();
  W.Save("areas_stacked100.png");
  // Point 0: 1 and 3 make 25 % and 100 %.
  EXPECT_EQ(W.A->StackedTop(0), 25);
  EXPECT_EQ(W.B->StackedBottom(0), 25);
  EXPECT_EQ(W.B->StackedTop(0), 100);
  EXPECT_EQ(W.Chart.LeftAxis.Minimum(), 0);
  EXPECT_EQ(W.Chart.LeftAxis.Maximum(), 100);
  // A total of 0 gives 0 %.
  W.A->SetYValue(2, 0);
  W.B->SetYValue(2, 0);
  EXPECT_EQ(W.B->StackedTop(2), 0);
}

TEST(AreaStacking, ThreeDSharesOneSlotAndDrawsPrisms) {
  TAreaChart W(true);
  W.A->SetMultiArea(maStacked);
  W.Paint();
  W.Save("areas_stacked_3d.png");
  EXPECT_EQ(W.A->GetZOrder(), W.B->GetZOrder());
  EXPECT_EQ(W.A->StartZ, W.B->StartZ);
  // The blue prism's top runs back along the depth in a darker blue.
  const TCustomChartAxis &L = W.Chart.LeftAxis;
  const int Depth = W.B->EndZ - W.B->StartZ;
  ASSERT_GT(Depth, 4);
  // The middle of the top of the segment from point 2 (at 4) to point 3 (at 5).
  const int MX = (W.B->CalcXPos(2) + W.B->CalcXPos(3)) / 2;
  const int MY = (L.CalcYPosValue(4) + L.CalcYPosValue(5)) / 2;
  const TPoint Top = W.Chart.Canvas().Calculate3DPosition(MX, MY, W.B->StartZ + Depth / 2);
  EXPECT_EQ(W.Pixel(Top.X, Top.Y), ApplyDark(clBlue, 64));
  // Without stacking every area has its own slot.
  W.A->SetMultiArea(maNone);
  W.Paint();
  EXPECT_NE(W.A->GetZOrder(), W.B->GetZOrder());
}

TEST(AreaStacking, AssignDrawsTheLine) {
  TAreaSeries A, B;
  EXPECT_FALSE(A.DrawLine());
  B.SetMultiArea(maStacked);
  A.Assign(B);
  EXPECT_TRUE(A.DrawLine());
  EXPECT_TRUE(A.DrawArea());
  EXPECT_EQ(A.MultiArea(), maStacked);
}

TEST(SharedDepthSlot, SeriesOfOneSlotDrawnPointByPoint) {
  // Two line series forced into one slot: each point's segments of both are drawn before
  // the next point's, and both series still draw every segment.
  TChartOnBitmap W(500, 320);
  W.Chart.Legend.SetVisible(false);
  auto *A = W.Chart.AddSeries<TLineSeries>();
  auto *B = W.Chart.AddSeries<TLineSeries>();
  A->SetZOrder(0);
  B->SetZOrder(0);
  std::vector<std::pair<int, int>> Order;
  for (int i = 0; i < 4; ++i) {
    A->AddXY(i, i);
    B->AddXY(i, 3 - i);
  }
  A->OnGetPointerStyle = [&](TChartSeries *, int I) {
    Order.push_back({0, I});
    return psRectangle;
  };
  B->OnGetPointerStyle = [&](TChartSeries *, int I) {
    Order.push_back({1, I});
    return psRectangle;
  };
  A->Pointer.SetVisible(true);
  B->Pointer.SetVisible(true);
  W.Paint();
  W.Save("shared_slot_lines.png");
  // Pointers come out interleaved by point index (each waits for the segment after it):
  // A0 B0 A1 B1, then each series' last two.
  ASSERT_EQ(Order.size(), 8u);
  const std::vector<std::pair<int, int>> Expected{{0, 0}, {1, 0}, {0, 1}, {1, 1},
                                                  {0, 2}, {0, 3}, {1, 2}, {1, 3}};
  EXPECT_EQ(Order, Expected);
}

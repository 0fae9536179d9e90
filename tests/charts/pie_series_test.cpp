#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "chart_test_util.h"
#include "charts/pie_series.h"
#include "platform/metafile.h"

namespace {

struct TPieChart : TChartOnBitmap {
  TPieSeries *Pie;
  explicit TPieChart(bool ThreeD = false) : TChartOnBitmap(500, 400) {
    Chart.SetView3D(ThreeD);
    Chart.Legend.SetVisible(false);
    Chart.SetColor(clWhite);
    Pie = Chart.AddSeries<TPieSeries>();
  }
};

} // namespace

TEST(PieSeries, DefaultsAndLists) {
  TPieSeries P;
  EXPECT_TRUE(P.ColorEachPoint());
  EXPECT_TRUE(P.Dark3D());
  EXPECT_EQ(P.ExplodeBiggest(), 0);
  EXPECT_EQ(P.OtherSlice.Style(), poNone);
  EXPECT_EQ(P.OtherSlice.Text(), "Other");
  EXPECT_EQ(P.OtherSlice.Value(), 0);
  EXPECT_FALSE(P.UsePatterns());
  EXPECT_FALSE(P.Circled());
  EXPECT_EQ(P.RotationAngle(), 0);
  EXPECT_EQ(P.CircleBackColor(), clChartColor);
  EXPECT_EQ(P.XValues().Name(), "Angle");
  EXPECT_EQ(P.PieValues().Name(), "Pie");
  EXPECT_TRUE(P.Marks.Visible());
  EXPECT_EQ(P.Marks.ArrowLength(), 8);
  EXPECT_FALSE(P.UseAxis());
}

TEST(PieSeries, RotationAngle) {
  TPieSeries P;
  P.SetRotationAngle(400);
  EXPECT_EQ(P.RotationAngle(), 40); // taken modulo 360
  try {
    P.SetRotationAngle(-1);
    FAIL();
  } catch (const PieException &E) {
    EXPECT_STREQ(E.what(), "Rotation Angle must be between 0 and 359 degrees");
  }
  EXPECT_EQ(P.RotationAngle(), 40);
}

TEST(PieSeries, SliceAnglesFollowTheValues) {
  TPieChart W;
  for (double V : {1, 1, 2}) W.Pie->Add(V);
  W.Pie->SetRotationAngle(90);
  W.Paint();
  W.Save("pie_flat.png");
  const auto &A = W.Pie->Angles;
  ASSERT_EQ(A.size(), 3u);
  const double R = M_PI / 2; // RotationAngle 90 in radians
  EXPECT_DOUBLE_EQ(A[0].Start, R);
  EXPECT_DOUBLE_EQ(A[0].End - A[0].Start, M_PI / 2);
  EXPECT_DOUBLE_EQ(A[1].End - A[1].Start, M_PI / 2);
  EXPECT_DOUBLE_EQ(A[2].End - A[2].Start, M_PI);
  EXPECT_DOUBLE_EQ(A[2].End, R + 2 * M_PI);
  // Each slice is filled in its point's colour: look inside at half the radius.
  for (int i = 0; i < 3; ++i) {
    const TPoint P = W.Pie->AngleToPos(A[i].Mid(), W.Pie->XRadius * 0.5, W.Pie->YRadius * 0.5);
    EXPECT_EQ(W.Pixel(P.X, P.Y), W.Pie->GetValueColor(i)) << i;
    EXPECT_EQ(W.Pie->Clicked(P.X, P.Y), i);
  }
  EXPECT_EQ(W.Pie->Clicked(W.Pie->CircleXCenter + W.Pie->XRadius + 5, W.Pie->CircleYCenter), -1);
}

TEST(PieSeries, ExplodedSliceMovesOut) {
  TPieChart W;
  for (double V : {1, 1}) W.Pie->Add(V);
  W.Paint();
  W.Pie->XRadius = 100;
  W.Pie->YRadius = 80;
  W.Pie->Angles = {{-0.5, 0.5}, {0.5, 2 * M_PI - 0.5}};
  W.Pie->SetExplodedSlice(0, 10);
  // 10 % of an X radius of 100 at mid angle 0: 10 pixels to the right, none up.
  EXPECT_EQ(W.Pie->ExplodeOffset(0), TPoint(10, 0));
  EXPECT_EQ(W.Pie->ExplodeOffset(1), TPoint(0, 0));
  // At a mid angle of 90 degrees the slice goes up by 10 % of the Y radius.
  W.Pie->Angles[0] = {M_PI / 2 - 0.5, M_PI / 2 + 0.5};
  EXPECT_EQ(W.Pie->ExplodeOffset(0), TPoint(0, -8));
  // ExplodeBiggest picks the largest value.
  W.Pie->SetYValue(1, 5);
  W.Pie->SetExplodeBiggest(20);
  EXPECT_EQ(W.Pie->Exploded(1), 20);
  EXPECT_EQ(W.Pie->Exploded(0), 10);
}

TEST(PieSeries, OtherSliceGathersSmallValues) {
  TPieChart W;
  for (double V : {50, 30, 15, 5}) W.Pie->Add(V);
  W.Pie->OtherSlice.SetStyle(poBelowPercent);
  W.Pie->OtherSlice.SetValue(10);
  W.Pie->ExplodedSlice = {0, 0, 0, 0, 15};
  W.Paint();
  W.Save("pie_other_exploded.png");
  ASSERT_EQ(W.Pie->Count(), 5);
  EXPECT_TRUE(W.Pie->IsHidden(3));
  EXPECT_FALSE(W.Pie->IsHidden(2));
  EXPECT_EQ(W.Pie->GetxValue(4), 2147483647.0);
  EXPECT_EQ(W.Pie->GetyValue(4), 5);
  EXPECT_EQ(W.Pie->GetXLabel(4), "Other");
  // The hidden point takes no angle, so the slices still close the circle.
  EXPECT_DOUBLE_EQ(W.Pie->Angles[3].End, W.Pie->Angles[3].Start);
  EXPECT_NEAR(W.Pie->Angles[4].End, 2 * M_PI, 1e-12);
  EXPECT_NEAR(W.Pie->Angles[4].End - W.Pie->Angles[4].Start, 2 * M_PI * 5 / 100, 1e-12);
  // Drawing again replaces the other slice instead of adding a second one.
  W.Chart.Invalidate();
  W.Paint();
  EXPECT_EQ(W.Pie->Count(), 5);
  // By value: below 20 hides 15 and 5.
  W.Pie->OtherSlice.SetStyle(poBelowValue);
  W.Pie->OtherSlice.SetValue(20);
  W.Chart.Invalidate();
  W.Paint();
  ASSERT_EQ(W.Pie->Count(), 5);
  EXPECT_TRUE(W.Pie->IsHidden(2));
  EXPECT_EQ(W.Pie->GetyValue(4), 20);
  W.Pie->OtherSlice.SetStyle(poNone);
  W.Chart.Invalidate();
  W.Paint();
  EXPECT_EQ(W.Pie->Count(), 4);
}

TEST(PieSeries, ValuesAreOrderedBeforeTheOtherSliceIsFormed) {
  TPieChart W;
  for (double V : {5, 50, 15, 30}) W.Pie->Add(V);
  W.Pie->YValues().Order = TChartListOrder::loDescending;
  W.Pie->OtherSlice.SetStyle(poBelowPercent);
  W.Pie->OtherSlice.SetValue(10);
  W.Paint();
  ASSERT_EQ(W.Pie->Count(), 5);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(W.Pie->GetyValue(i), (std::array{50, 30, 15, 5}[i])) << i;
  EXPECT_TRUE(W.Pie->IsHidden(3));
  EXPECT_EQ(W.Pie->GetXLabel(4), "Other");
}

TEST(PieSeries, NothingToDraw) {
  // All zeros: no slice, no division by zero, nothing hidden into the other slice.
  TPieChart W;
  for (int i = 0; i < 3; ++i) W.Pie->Add(0);
  W.Pie->OtherSlice.SetStyle(poBelowPercent);
  W.Pie->OtherSlice.SetValue(10);
  W.Paint();
  EXPECT_EQ(W.Pie->Count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(W.Pie->IsHidden(i));
    EXPECT_EQ(W.Pie->Angles[i].End, W.Pie->Angles[i].Start);
  }
  EXPECT_EQ(W.Pixel(W.Pie->CircleXCenter, W.Pie->CircleYCenter), clWhite);
  // Radii below 5 pixels draw nothing either.
  TPieChart Small;
  Small.Pie->Add(3);
  Small.Pie->SetCustomXRadius(4);
  Small.Pie->SetCustomYRadius(4);
  Small.Paint();
  EXPECT_EQ(Small.Pixel(Small.Pie->CircleXCenter + 1, Small.Pie->CircleYCenter + 1), clWhite);
}

TEST(PieSeries, TakesOverTheChartAndGivesItBack) {
  TChartOnBitmap W;
  TChart &C = W.Chart;
  auto *Line = C.AddSeries<TLineSeries>();
  Line->AddXY(1, 1);
  Line->AddXY(2, 3);
  const double Max = 3;
  C.Paint();
  {
    TPieSeries Pie;
    C.AddSeries(&Pie);
    EXPECT_FALSE(C.AxisVisible());
    EXPECT_FALSE(C.ClipPoints());
    EXPECT_FALSE(C.View3DWalls());
    EXPECT_FALSE(C.AllowZoom);
    EXPECT_EQ(C.AllowPanning, TPanningMode::pmNone);
    EXPECT_FALSE(C.Frame().Visible);
    EXPECT_EQ(C.BackWall.Brush.Style, bsClear);
    EXPECT_FALSE(C.View3DOptions.Orthogonal());
    EXPECT_EQ(C.View3DOptions.Rotation(), 360);
    EXPECT_EQ(C.View3DOptions.Elevation(), 315);
    EXPECT_EQ(C.View3DOptions.Perspective(), 0);
    // The pie never moves the axis ends.
    Pie.Add(100);
    Pie.Add(300);
    C.Paint();
    EXPECT_EQ(C.LeftAxis.Maximum(), Max);
  } // the pie leaves as it is destroyed
  EXPECT_TRUE(C.AxisVisible());
  EXPECT_TRUE(C.ClipPoints());
  EXPECT_TRUE(C.AllowZoom);
  EXPECT_EQ(C.AllowPanning, TPanningMode::pmBoth);
  EXPECT_EQ(C.BackWall.Brush.Style, bsSolid);
  EXPECT_EQ(C.SeriesCount(), 1);
}

TEST(PieSeries, LeavingADyingChartTouchesNothing) {
  // The chart owns the pie: its destruction must not switch the dying chart back.
  auto C = std::make_unique<TChart>();
  auto *Pie = C->AddSeries<TPieSeries>();
  Pie->Add(1);
  EXPECT_FALSE(C->AxisVisible());
  C.reset(); // under the sanitizers a touch of a freed wall would show here
  // A pie that outlives its chart is detached cleanly too.
  auto C2 = std::make_unique<TChart>();
  TPieSeries Outliving;
  C2->AddSeries(&Outliving);
  C2.reset();
  EXPECT_EQ(Outliving.ParentChart(), nullptr);
}

TEST(PieSeries, CircledAndCopiedSettings) {
  TPieChart W;
  W.Pie->Add(1);
  W.Pie->Add(2);
  auto *Second = W.Chart.AddSeries<TPieSeries>();
  W.Pie->SetCircled(true);
  EXPECT_TRUE(Second->Circled()); // copied to every pie of the chart
  W.Pie->SetCustomXRadius(50);
  EXPECT_EQ(Second->CustomXRadius(), 50);
  W.Pie->SetCustomXRadius(0);
  W.Paint();
  // Round on a device with equal pixels per inch across and down.
  EXPECT_EQ(W.Pie->XRadius, W.Pie->YRadius);
  // On a metafile canvas (no device size) the circle is still round and finite.
  TMetafile M;
  {
    TMetafileCanvas MC(M);
    W.Chart.DrawToMetaCanvas(MC, TRect(0, 0, 300, 200));
  }
  EXPECT_EQ(W.Pie->XRadius, W.Pie->YRadius);
  EXPECT_GT(W.Pie->XRadius, 4);
  ExpectEachChangeRepaints(
      W, {
             {"Dark3D", [&] { W.Pie->SetDark3D(false); }},
             {"UsePatterns", [&] { W.Pie->SetUsePatterns(true); }},
             {"CircleBackColor", [&] { W.Pie->SetCircleBackColor(clYellow); }},
             {"OtherSlice Style", [&] { W.Pie->OtherSlice.SetStyle(poBelowValue); }},
             {"OtherSlice Text", [&] { W.Pie->OtherSlice.SetText("Rest"); }},
             {"OtherSlice Value", [&] { W.Pie->OtherSlice.SetValue(0.5); }},
         });
  EXPECT_EQ(W.Pie->CircleBackColor(), clYellow);
}

TEST(PieSeries, ThreeDPieAndPatterns) {
  TPieChart W(true);
  for (double V : {3, 2, 4, 1}) W.Pie->Add(V);
  W.Pie->SetExplodedSlice(2, 15);
  W.Pie->XLabels = {"three", "two", "four", "one"};
  W.Paint();
  W.Save("pie_3d.png");
  EXPECT_GT(W.Chart.Width3D, 0);
  // The front face of each slice shows its colour somewhere near its middle.
  for (int i = 0; i < 4; ++i) {
    const TPoint Off = W.Pie->ExplodeOffset(i);
    const TPoint P = W.Pie->AngleToPos(W.Pie->Angles[i].Mid(), W.Pie->XRadius * 0.5,
                                       W.Pie->YRadius * 0.5) + Off;
    const TPoint S = W.Chart.Canvas().Calculate3DPosition(P.X, P.Y, W.Pie->StartZ);
    EXPECT_EQ(W.Pixel(S.X, S.Y), W.Pie->GetValueColor(i)) << i;
  }
  EXPECT_EQ(W.Pie->Marks.Positions.size(), 4u);
  TPieChart F;
  for (double V : {3, 2, 4, 1, 2, 2}) F.Pie->Add(V);
  F.Pie->SetUsePatterns(true);
  F.Paint();
  F.Save("pie_patterns.png");
  // A hatched slice shows both its colour and the white between the hatch lines.
  const TPoint P = F.Pie->AngleToPos(F.Pie->Angles[0].Mid(), F.Pie->XRadius * 0.5, F.Pie->YRadius * 0.5);
  int Coloured = 0, White = 0;
  for (int d = 0; d < 8; ++d) {
    const TColor C = F.Pixel(P.X, P.Y + d);
    Coloured += C == F.Pie->GetValueColor(0);
    White += C == clWhite;
  }
  EXPECT_GT(Coloured, 0);
  EXPECT_GT(White, 0);
}

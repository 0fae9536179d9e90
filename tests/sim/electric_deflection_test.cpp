// Electron beam between charged plates: the path's numbers, the plates' field lines and
// mark, and the magnified close-up of the screen.
#include <gtest/gtest.h>

#include <cmath>

#include "pixel_count.h"
#include "platform/bitmap.h"
#include "platform/numbers.h"
#include "sim/electric_deflection.h"

namespace {

TRect Plates(int G) { return Rect(60, 150 - G, 160, 150 + G); }

TEST(ElectricPath, NoPlateVoltageGivesAStraightBeamAlongTheAxis) {
  const TPointArray P = ElectricDeflectionPath(200, 0, Plates(20));
  ASSERT_GE(P.size(), 3u);
  EXPECT_EQ(P.front(), Point(0, 150));
  EXPECT_EQ(P.back(), Point(350, 150));
  for (const TPoint &Q : P) EXPECT_EQ(Q.Y, 150);
  TBitmap B(350, 300);
  DrawElectricDeflection(B.Canvas(), 200, 0, Plates(20));
  EXPECT_EQ(CountColor(B, clRed), 0); // no field lines, no "PLUS"
  EXPECT_EQ(B.Canvas().Pixels(200, 150), clBlue);
  EXPECT_EQ(B.Canvas().Pixels(10, 150), clYellow); // the gun
}

TEST(ElectricPath, BeamEndsOnTheLowerPlateWhereKX2ReachesTheHalfGap) {
  // k = 100 / (4 * 40 * 200) = 1/320: x 80 gives y 20 (kept), x 85 gives 22.6, beyond.
  const TPointArray P = ElectricDeflectionPath(200, 100, Plates(20));
  ASSERT_GE(P.size(), 4u);
  EXPECT_EQ(P[P.size() - 2], Point(140, 170)); // x = 80: exactly on the plate, kept
  EXPECT_EQ(P[P.size() - 3], Point(135, 168)); // x = 75: 17.58
  EXPECT_EQ(P.back(), Point(60 + Round(std::sqrt(20.0 * 320)), 170));
  EXPECT_EQ(P.back(), Point(140, 170));
  // The reversed voltage ends on the upper plate.
  EXPECT_EQ(ElectricDeflectionPath(200, -100, Plates(20)).back(), Point(140, 130));
}

TEST(ElectricPath, BeamThroughThePlatesGoesStraightOnWithTheExitSlope) {
  // k = 20 / (4 * 40 * 500) = 1/4000: y = 2.5 at x = 100, slope 0.05, 190 px on: 9.5 more.
  const TPointArray P = ElectricDeflectionPath(500, 20, Plates(20));
  EXPECT_EQ(P[P.size() - 2], Point(160, Round(152.5)));
  EXPECT_EQ(P.back(), Point(350, Round(150 + 2.5 + 0.05 * 190)));
  const TScreenHit H = ElectricScreenHit(500, 20, Plates(20));
  EXPECT_TRUE(H.Reaches);
  EXPECT_NEAR(H.Slope, -0.05, 1e-12); // upwards sense: the beam goes down
  EXPECT_NEAR(H.Deflection, (-0.05 * 160 - 2.5) / 20, 1e-12);
  EXPECT_FALSE(ElectricScreenHit(200, 100, Plates(20)).Reaches);
}

TEST(ElectricPicture, FieldLinesEveryFourPixelsAndThePlusOnThePositivePlate) {
  // |PlatePD| 100 with gap 20: spacing 50 - 50 raised to 4.
  TBitmap B(350, 300);
  DrawElectricDeflection(B.Canvas(), 200, 100, Plates(10));
  for (int O = 0; O < 50; O += 4) {
    EXPECT_EQ(B.Canvas().Pixels(110 + O, 150), clRed) << O;
    EXPECT_EQ(B.Canvas().Pixels(110 - O, 150), clRed) << O;
    EXPECT_NE(B.Canvas().Pixels(112 + O, 150), clRed) << O;
  }
  // Positive plate at the bottom: the beam bends down, heads point up, "PLUS" below it.
  EXPECT_EQ(B.Canvas().Pixels(110, 141), clRed); // a head's tip at T + 1
  EXPECT_GT(CountColor(B, clRed, Rect(162, 166, 170, 174)), 4);
  EXPECT_EQ(CountColor(B, clRed, Rect(162, 128, 170, 136)), 0);
  DrawElectricDeflection(B.Canvas(), 200, -30, Plates(10));
  EXPECT_GT(CountColor(B, clRed, Rect(162, 128, 170, 136)), 4);
  EXPECT_EQ(CountColor(B, clRed, Rect(162, 166, 170, 174)), 0);
  EXPECT_EQ(B.Canvas().Pixels(110, 159), clRed); // a head's tip at B - 1
  // Fewer volts, wider spacing: 50 - Round(300 / 20) = 35.
  EXPECT_EQ(B.Canvas().Pixels(145, 150), clRed);
  EXPECT_NE(B.Canvas().Pixels(114, 150), clRed);
}

TEST(ElectricPicture, ScaleTicksAndSilverPlates) {
  TBitmap B(350, 300);
  DrawElectricDeflection(B.Canvas(), 200, 0, Plates(20));
  EXPECT_EQ(B.Canvas().Pixels(320, 100), clBlack);
  EXPECT_EQ(B.Canvas().Pixels(329, 150), clBlack); // label tick, 10 long
  EXPECT_EQ(B.Canvas().Pixels(322, 154), clBlack); // small tick, 3 long
  EXPECT_NE(B.Canvas().Pixels(324, 154), clBlack);
  EXPECT_EQ(B.Canvas().Pixels(100, 127), clSilver);
  EXPECT_EQ(B.Canvas().Pixels(100, 172), clSilver);
}

// The close-up, cut out of a picture it was drawn on.
TBitmap CloseUp(int Y, int Gun, int Plate, int G) {
  TBitmap Screen(350, 300);
  DrawScreenCloseUp(Screen.Canvas(), 330, Y, Gun, Plate, Plates(G));
  TBitmap Out(60, 100);
  Out.Canvas().CopyRect(Rect(0, 0, 60, 100), Screen.Canvas(), Rect(270, Y - 50, 330, Y + 50));
  return Out;
}

TEST(ScreenCloseUp, ClickAt55CentresLabel5) {
  TBitmap C = CloseUp(55, 200, 0, 20);
  TBitmap Ref(60, 100);
  Ref.Canvas().Brush().Color = 0x00E0FFFF;
  Ref.Canvas().FillRect(Rect(0, 0, 60, 100));
  Ref.Canvas().Brush().Style = bsClear;
  Ref.Canvas().Font().Name = "arial";
  Ref.Canvas().Font().Height = -11;
  Ref.Canvas().Font().Color = clBlack;
  // Round(95 / 20) = 5 in the middle, 6 above, 4 below.
  const char *Labels[3] = {"6", "5", "4"};
  for (int K = 0; K < 3; ++K)
    Ref.Canvas().TextOut(35, 8 + 40 * K - Ref.Canvas().TextHeight(Labels[K]) / 2, Labels[K]);
  for (int Y = 1; Y < 94; ++Y)
    for (int X = 33; X < 54; ++X) ASSERT_EQ(C.Canvas().Pixels(X, Y), Ref.Canvas().Pixels(X, Y)) << X << "," << Y;
  EXPECT_EQ(C.Canvas().Pixels(57, 50), clGray); // the shadow
  EXPECT_EQ(C.Canvas().Pixels(29, 48), clBlack); // label tick to x 30
  EXPECT_EQ(C.Canvas().Pixels(19, 28), clBlack); // half-unit tick to x 20
  EXPECT_NE(C.Canvas().Pixels(19, 24), clBlack); // short tick ends at x 15
  EXPECT_EQ(CountColor(C, clBlue), 0); // the beam hits 0, far below
}

TEST(ScreenCloseUp, BeamShowsAtItsDeflectionAndNotWhenItEndsOnAPlate) {
  // Straight beam at 0: click at 150 gives n 0, u 0, the beam on y 48 across.
  TBitmap C = CloseUp(150, 200, 0, 20);
  EXPECT_EQ(C.Canvas().Pixels(5, 48), clBlue);
  EXPECT_EQ(C.Canvas().Pixels(50, 48), clBlue);
  C = CloseUp(150, 200, 100, 20);
  EXPECT_EQ(CountColor(C, clBlue), 0);
}

} // namespace

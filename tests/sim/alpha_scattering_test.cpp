// Single-nucleus alpha scattering: the angle, the energy scale, the placed track and the
// picture's pixels.
#include <gtest/gtest.h>

#include <cmath>

#include "pixel_count.h"
#include "platform/bitmap.h"
#include "platform/numbers.h"
#include "sim/alpha_scattering.h"

namespace {

constexpr TColor PaleYellow = 0x0080FFFF;
constexpr TColor SourceRed = 0x0000E0; // the radium speck of res/ALPHA.png

TBitmap Picture(int B, int A) {
  TBitmap Bmp(AlphaPictureWidth, AlphaPictureHeight);
  DrawAlphaScattering(Bmp.Canvas(), B, A);
  return Bmp;
}

} // namespace

TEST(AlphaScattering, AngleFromImpactAndScale) {
  EXPECT_DOUBLE_EQ(ScatteringAngle(0, 25), 180); // head-on: straight back
  // 180 - 2 arctan(120 / 25) in degrees = 180 - 156.463.
  EXPECT_NEAR(ScatteringAngle(120, 25), 23.537, 0.001);
  EXPECT_EQ(Format("Scattering angle = %1.1f", ScatteringAngle(120, 25)), "Scattering angle = 23.5");
  EXPECT_DOUBLE_EQ(ScatteringAngle(-120, 25), ScatteringAngle(120, 25)); // either side
  EXPECT_EQ(ScatteringAngle(40, 0), 0);                                  // no scale: no angle
  EXPECT_EQ(ScatteringAngle(0, 0), 0);
  // The source at -25 at 5 MeV (A 25) is turned by 90 degrees; at 10 MeV (A 12) by 51.3.
  EXPECT_EQ(Format("%1.1f", ScatteringAngle(-25, 25)), "90.0");
  EXPECT_EQ(Format("%1.1f", ScatteringAngle(-25, 12)), "51.3");
}

TEST(AlphaScattering, ScaleFromEnergyRoundsHalvesToEven) {
  const int Expected[] = {25, 21, 18, 16, 14, 12}; // 125 / E for 5..10 MeV; 12.5 gives 12
  for (int E = 5; E <= 10; ++E) EXPECT_EQ(AlphaScale(E), Expected[E - 5]) << E << " MeV";
  EXPECT_EQ(AlphaScale(0), 0);
}

TEST(AlphaScattering, HeadOnTrackLiesOnTheAxis) {
  for (int A : {12, 18, 25}) {
    const TPointArray T = AlphaTrack(0, A);
    ASSERT_EQ(T.size(), 61u);
    for (const TPoint &P : T) EXPECT_EQ(P.Y, 150);
    EXPECT_EQ(T[30].X, 2 * A + 75); // the vertex, 2A from the nucleus
    // u runs to 1 + (1 + ... + 30) / 30 = 16.5: both ends at Round(16.5 A) - A + 2A + 75.
    EXPECT_EQ(T[0].X, Round(16.5 * A) + A + 75);
    EXPECT_EQ(T[60], T[0]);
  }
  EXPECT_TRUE(AlphaTrack(30, 0).empty());
}

TEST(AlphaScattering, TurnedTrackKeepsItsVertexBesideTheNucleus) {
  // B = 120, A = 25: phi = arctan 4.8; the vertex goes to (2A + 75, 150 + Round(A sin phi)
  // + B - B div 25) = (125, 150 + 24 + 120 - 4).
  const TPointArray T = AlphaTrack(120, 25);
  ASSERT_EQ(T.size(), 61u);
  EXPECT_EQ(T[30], TPoint(125, 290));
  // The incoming arm runs off to the right, almost level.
  EXPECT_GT(T[0].X, 300);
  // Every step of the track is a short one: no wild point.
  for (size_t I = 1; I < T.size(); ++I)
    EXPECT_LT(std::hypot(T[I].X - T[I - 1].X, T[I].Y - T[I - 1].Y), 400) << I;
}

TEST(AlphaScattering, HeadOnPicture) {
  TBitmap B = Picture(0, 25);
  EXPECT_EQ(B.Canvas().Pixels(75, 150), clYellow);       // the nucleus
  EXPECT_EQ(B.Canvas().Pixels(0, 0), TColor(0x808080)); // the sunken edge
  // The track is red on the axis only, from the vertex to the scale panel.
  EXPECT_EQ(B.Canvas().Pixels(125, 150), clRed);
  EXPECT_EQ(B.Canvas().Pixels(250, 150), clRed);
  EXPECT_EQ(CountColor(B, clRed, TRect(0, 0, 330, 150)), 0);
  EXPECT_EQ(CountColor(B, clRed, TRect(0, 151, 330, 300)), 0);
  EXPECT_EQ(CountColor(B, clRed, TRect(0, 150, 124, 151)), 0);
  // The dotted circle of radius 2A: black dots on its top, white gaps between them.
  const int Dots = CountColor(B, clBlack, TRect(60, 100, 91, 101));
  EXPECT_GT(Dots, 3);
  EXPECT_LT(Dots, 25);
  // The scale panel: pale yellow strip, long ticks at 0, 25, 50 each side, short between.
  EXPECT_EQ(B.Canvas().Pixels(332, 27), PaleYellow);
  EXPECT_EQ(B.Canvas().Pixels(339, 100), clBlack);    // 25 above the axis: long
  EXPECT_EQ(B.Canvas().Pixels(339, 200), clBlack);    // 25 below
  EXPECT_EQ(B.Canvas().Pixels(334, 140), clBlack);    // 5: short
  EXPECT_EQ(B.Canvas().Pixels(337, 140), PaleYellow);
  EXPECT_GT(CountInk(B, clBlack, TRect(342, 92, 365, 108)), 5); // the label "25"
  // The source, its bore level with the axis: the speck at (302 + 19, 141 + 9).
  EXPECT_EQ(B.Canvas().Pixels(321, 150), SourceRed);
}

TEST(AlphaScattering, SourceFollowsTheImpactParameter) {
  // s = B + B div 50 from A 11 upwards: B = 120 puts the source 122 lower.
  EXPECT_EQ(Picture(120, 25).Canvas().Pixels(321, 272), SourceRed);
  EXPECT_EQ(Picture(-100, 25).Canvas().Pixels(321, 48), SourceRed);
  // Below A 11 (no energy menu gives it) s = B.
  EXPECT_EQ(Picture(100, 10).Canvas().Pixels(321, 250), SourceRed);
}

TEST(AlphaScattering, OutgoingLineRunsFromTheNucleusThroughTheLastPoint) {
  // Where the track's last point L lies in the picture right of the nucleus, the line goes
  // on to x 320 on the ray from (75, 150) through L.
  int Checked = 0;
  for (int A : {25, 21, 18, 16, 14, 12})
    for (int B = -120; B <= 120; ++B) {
      const TPoint L = AlphaTrack(B, A).back();
      if (!(L.X > 75 && L.X < 310 && L.Y >= 1 && L.Y < 300)) continue;
      TBitmap P = Picture(B, A);
      const int EndY = 150 - MulDiv(245, 150 - L.Y, std::abs(L.X - 75));
      const int MidX = (L.X + 320) / 2;
      const int MidY = L.Y + (EndY - L.Y) * (MidX - L.X) / (320 - L.X);
      if (MidY < 3 || MidY > 296) continue; // the line runs out of the picture first
      EXPECT_GT(CountColor(P, clRed, TRect(MidX - 1, MidY - 2, MidX + 2, MidY + 3)), 0) << B << " " << A;
      ++Checked;
    }
  EXPECT_GT(Checked, 3);
  // Nothing red right of x 320 but the source's speck.
  TBitmap P = Picture(60, 25);
  EXPECT_EQ(CountColor(P, clRed, TRect(321, 0, 365, 300)), 0);
}

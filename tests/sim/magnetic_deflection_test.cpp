// Electron in a magnetic field region: the radius, the path's entry, arc and exits (turned
// back, through the far edge, the touching case, missing the region), the flat picture's
// dots and the 3-D picture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "pixel_count.h"
#include "platform/bitmap.h"
#include "platform/numbers.h"
#include "sim/magnetic_deflection.h"

namespace {

// Every test starts with the gun where the page puts it at start.
class MagneticDeflection : public ::testing::Test {
protected:
  void SetUp() override { GunRect = GunRectAtStart; }
  void TearDown() override { GunRect = GunRectAtStart; }
};

TEST_F(MagneticDeflection, RadiusFromVoltageAndField) {
  EXPECT_EQ(MagneticRadius(100, 500), 64); // 64.03
  EXPECT_EQ(MagneticRadius(10, 1000), 10);
  EXPECT_EQ(MagneticRadius(500, 100), 716);
  EXPECT_EQ(MagneticRadius(100, 0), 0); // no field: no division by zero
}

TEST_F(MagneticDeflection, StartValuesTurnBackThroughTheLeftEdge) {
  // r 64 centred on the left edge: a half circle, out 2r further along that edge.
  TPointArray Up = ComputeMagneticPath(100, 500, 0, false, false);
  ASSERT_GE(Up.size(), 4u);
  EXPECT_EQ(Up[0], Point(17, 160));
  EXPECT_EQ(Up[1], Point(75, 160));
  EXPECT_EQ(Up[Up.size() - 2], Point(75, 160 - 128));
  EXPECT_EQ(Up.back(), Point(0, 32));
  // Reversing the field mirrors the arc about the entry direction.
  TPointArray Down = ComputeMagneticPath(100, 500, 0, true, false);
  ASSERT_EQ(Down.size(), Up.size());
  for (size_t K = 0; K < Up.size(); ++K) EXPECT_EQ(Down[K], Point(Up[K].X, 320 - Up[K].Y)) << K;
  // The 3-D path starts at the muzzle.
  EXPECT_EQ(ComputeMagneticPath(100, 500, 0, false, true)[0], Point(30, 160));
}

TEST_F(MagneticDeflection, WeakFieldLeavesThroughTheFarEdgeAlongTheTangent) {
  // r 716 centred at (75, -556): the far edge x 320 lies d = 245 from the centre; the
  // crossing is 673 below the centre, and the tangent rises 100 * 245 / 673 = 36 in 100.
  TPointArray P = ComputeMagneticPath(500, 100, 0, false, false);
  ASSERT_GE(P.size(), 4u);
  EXPECT_EQ(P[P.size() - 2], Point(320, -556 + 673));
  EXPECT_EQ(P.back(), Point(420, 117 - 36));
  for (size_t K = 1; K + 2 < P.size(); ++K) EXPECT_TRUE(PtInRect(FieldRect, P[K])) << K;
  // Drawn, the arc follows the circle within a pixel all the way to that crossing (steps
  // of 7.2 degrees would be chords 90 pixels long).
  TBitmap Flat(350, 320);
  DrawMagneticDeflection(Flat.Canvas(), 500, 100, 0, false);
  int Off = 0;
  for (int X = 76; X <= 320; ++X) {
    const int Y = Round(-556 + std::sqrt(716.0 * 716 - (X - 75) * (X - 75)));
    bool Near = false;
    for (int DY = -1; DY <= 1; ++DY) Near = Near || Flat.Canvas().Pixels(X, Y + DY) == clBlack;
    Off += !Near;
  }
  EXPECT_EQ(Off, 0);
  const TPointArray Drawn = DrawnMagneticPath(500, 100, 0, false, false);
  EXPECT_EQ(Drawn[Drawn.size() - 2], P[P.size() - 2]);
  EXPECT_EQ(Drawn.back(), P.back());
}

TEST_F(MagneticDeflection, EntryOutsideTheRegionDrawsOnlyTheLineToIt) {
  GunRect = Rect(4, 300, 30, 320); // the gun's top at 300: entry at y 310, the region's bottom
  TPointArray P = ComputeMagneticPath(100, 500, 0, true, false);
  ASSERT_EQ(P.size(), 2u);
  EXPECT_EQ(P[1], Point(75, 310));
  GunRect = Rect(4, 299, 30, 319);
  EXPECT_GT(ComputeMagneticPath(100, 500, 0, true, false).size(), 2u);
  GunRect = GunRectAtStart;
  // Aimed steeply: y1 = 160 + Round(tan 80 * 58) = 489, below the region.
  P = ComputeMagneticPath(100, 500, 80, true, false);
  ASSERT_EQ(P.size(), 2u);
  EXPECT_EQ(P[1], Point(75, 160 + Round(std::tan(80 * M_PI / 180) * 58)));
}

TEST_F(MagneticDeflection, TouchingTheFarEdgeRunsAlongIt) {
  // r 245 (U 500, B 292 would give 245.2): with the centre on the left edge, the circle's
  // right-most point lies exactly on x 320 and the path runs down along that edge.
  int B = 0;
  for (int Try = 100; Try <= 1000 && B == 0; ++Try)
    if (MagneticRadius(500, Try) == 245) B = Try;
  ASSERT_NE(B, 0);
  TPointArray P = ComputeMagneticPath(500, B, 0, true, false);
  // Centre (75, 405): below the region, so the arc leaves through the bottom first.
  EXPECT_EQ(P[P.size() - 2].Y, 310);
  EXPECT_GT(P.back().Y, 310);
}

// Whatever the settings, the path stays short, its crossing lies on the region's edge and on
// the circle, and its end lies outside the picture.
TEST_F(MagneticDeflection, EveryPathEndsOutsideThePictureFromAnEdgeCrossing) {
  int Checked = 0;
  for (int U : {10, 40, 100, 250, 500})
    for (int B : {100, 300, 500, 1000})
      for (int A = -80; A <= 80; A += 5)
        for (bool Dir : {false, true}) {
          const TPointArray P = ComputeMagneticPath(U, B, A, Dir, false);
          SCOPED_TRACE(testing::Message() << U << " " << B << " " << A << " " << Dir);
          ASSERT_LE(P.size(), 100u);
          if (P.size() <= 2) continue;
          const TPoint C = P[P.size() - 2], E = P.back();
          const TRect &F = FieldRect;
          EXPECT_TRUE(C.X == F.Left || C.X == F.Right || C.Y == F.Top || C.Y == F.Bottom);
          const bool Outside = E.X <= 0 || E.X >= 350 || E.Y < 0 || E.Y >= 320;
          if (!Outside) ADD_FAILURE() << "end " << E.X << "," << E.Y;
          ++Checked;
        }
  EXPECT_GT(Checked, 300);
}

TEST_F(MagneticDeflection, FlatPictureDotsFollowTheField) {
  TBitmap B(350, 320);
  DrawMagneticDeflection(B.Canvas(), 100, 1000, 0, false);
  EXPECT_EQ(B.Canvas().Pixels(85, 20), clBlack); // every 10
  EXPECT_EQ(B.Canvas().Pixels(305, 300), clBlack);
  EXPECT_EQ(B.Canvas().Pixels(90, 20), 0x00E0FFFFu);
  DrawMagneticDeflection(B.Canvas(), 100, 500, 0, false);
  EXPECT_EQ(B.Canvas().Pixels(110, 45), clBlack); // every 35
  EXPECT_EQ(B.Canvas().Pixels(285, 290), clBlack);
  EXPECT_EQ(B.Canvas().Pixels(85, 20), 0x00E0FFFFu);
  DrawMagneticDeflection(B.Canvas(), 100, 100, 0, false);
  EXPECT_EQ(B.Canvas().Pixels(130, 65), clBlack); // every 55
  EXPECT_EQ(B.Canvas().Pixels(110, 45), 0x00E0FFFFu);
  // The gun about its box's centre and the ruler's centimetre ticks.
  EXPECT_EQ(B.Canvas().Pixels(17, 160), clYellow);
  EXPECT_EQ(B.Canvas().Pixels(49, 40), clBlack);
  EXPECT_EQ(B.Canvas().Pixels(44, 25), clBlack);
  EXPECT_NE(B.Canvas().Pixels(44, 28), clBlack);
}

TEST_F(MagneticDeflection, GunOutlineTurnsAboutItsCentreOrMuzzle) {
  TPointArray O = GunOutline(17, 160, 0, TGunOutline::AboutCentre);
  EXPECT_EQ(O[0], Point(4, 166));
  EXPECT_EQ(O[2], Point(30, 154));
  O = GunOutline(30, 0, 90, TGunOutline::EndingAtMuzzle);
  EXPECT_EQ(O[0], Point(30 - 6, -26)); // (-26, 6) turned by 90 degrees
  EXPECT_EQ(O[1], Point(24, 0));
}

TEST_F(MagneticDeflection, ThreeDPictureShowsPlateFieldLinesPathAndGun) {
  TBitmap B(350, 320);
  DrawMagneticDeflection3D(B.Canvas(), 100, 500, {-30, -15}, 0, true);
  EXPECT_GT(CountColor(B, 0x00E0FFFF), 10000); // the plate
  EXPECT_GT(CountColor(B, clRed), 1000);       // twelve field lines
  EXPECT_GT(CountColor(B, clBlue), 100);       // the path
  EXPECT_GT(CountColor(B, clYellow), 100);     // the gun's faces
  // Field into the flat picture (FieldDir, down the 3-D picture): heads on the lower ends of
  // the lines; out of it: on the upper ends. The lines themselves are the same.
  const int InTop = CountColor(B, clRed, Rect(0, 0, 350, 100)), InBottom = CountColor(B, clRed, Rect(0, 220, 350, 320));
  DrawMagneticDeflection3D(B.Canvas(), 100, 500, {-30, -15}, 0, false);
  const int OutTop = CountColor(B, clRed, Rect(0, 0, 350, 100)), OutBottom = CountColor(B, clRed, Rect(0, 220, 350, 320));
  EXPECT_GT(OutTop, InTop);
  EXPECT_GT(InBottom, OutBottom);
}

TEST_F(MagneticDeflection, FlatPictureHash) {
  TBitmap B(350, 320);
  DrawMagneticDeflection(B.Canvas(), 250, 400, -20, true);
  uint64_t H = 1469598103934665603ull;
  for (int Y = 0; Y < 320; ++Y)
    for (int X = 0; X < 350; ++X) {
      // Text pixels depend on the font; the test looks at everything right of the ruler.
      if (X < 75) continue;
      H = (H ^ B.Canvas().Pixels(X, Y)) * 1099511628211ull;
    }
  EXPECT_EQ(H, 9239981670007939801u);
}

} // namespace

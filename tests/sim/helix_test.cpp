// The helix: speed, radius, pitch and turns from the settings, the phase and pitch of the
// points, the straight path for small angles, the exit, and the picture.
#include <gtest/gtest.h>

#include <cmath>

#include "pixel_count.h"
#include "platform/bitmap.h"
#include "sim/helix.h"

namespace {

TEST(Helix, StartValuesGiveRadiusPitchAndTurns) {
  const THelixPath H = ComputeHelix(25, 500, 80, true);
  EXPECT_NEAR(H.Speed, 9.371e6, 1e3);
  EXPECT_NEAR(H.Radius, 31.53, 0.005);
  EXPECT_EQ(H.RoundedRadius, 32);
  EXPECT_NEAR(H.Pitch, 34.93, 0.005);
  EXPECT_EQ(H.TurnsInCube, 6);
  EXPECT_FALSE(H.Straight);
  // 200 pixels of field at p / 72 a step, with the muzzle and the exit point.
  EXPECT_NEAR(double(H.Points.size() - 2), 200 * 72 / H.Pitch, 1.5);
  EXPECT_LE(H.Points.size() - 1, size_t(H.TurnsInCube + 1) * 72 + 1);
}

TEST(Helix, PointsATurnApartShareTheirPhaseAndLieAPitchApart) {
  const THelixPath H = ComputeHelix(25, 500, 80, true);
  const size_t Last = H.Points.size() - 2; // the last helix point
  ASSERT_GT(Last, 150u);
  for (size_t K = 1; K + 72 <= Last; ++K) {
    EXPECT_NEAR(H.Points[K].X, H.Points[K + 72].X, 1e-9) << K;
    EXPECT_NEAR(H.Points[K].Z, H.Points[K + 72].Z, 1e-9) << K;
    EXPECT_NEAR(H.Points[K].Y - H.Points[K + 72].Y, H.Pitch, 1e-9) << K;
  }
  // Phase 0 enters moving along +x at z = s r (s = -1 with the field up).
  EXPECT_NEAR(H.Points[1].X, 0, 1e-12);
  EXPECT_NEAR(H.Points[1].Z, -H.Radius, 1e-12);
  EXPECT_GT(H.Points[2].X, 0);
  EXPECT_NEAR(H.Points[0].X, -100 * std::sin(80 * M_PI / 180), 1e-9); // the muzzle
  EXPECT_GT(H.Points[Last - 1].Y, -100);
  EXPECT_LE(H.Points[Last].Y, -100);
}

TEST(Helix, LowestFieldGivesAbout289Points) {
  const THelixPath H = ComputeHelix(25, 350, 80, false);
  EXPECT_EQ(H.RoundedRadius, 45);
  EXPECT_NEAR(H.Pitch, 49.9, 0.05);
  EXPECT_EQ(H.TurnsInCube, 4);
  EXPECT_NEAR(double(H.Points.size() - 2), 289, 1);
}

TEST(Helix, SmallAnglesGoStraightThroughTheCube) {
  for (int A = -2; A <= 2; ++A) {
    const THelixPath H = ComputeHelix(25, 500, A, true);
    EXPECT_TRUE(H.Straight) << A;
    ASSERT_EQ(H.Points.size(), 2u);
    EXPECT_EQ(H.Points[0].Y, 140); // the muzzle, with the gun below it in the picture
    EXPECT_EQ(H.Points[1].Y, -200);
  }
  EXPECT_FALSE(ComputeHelix(25, 500, 3, true).Straight);
  EXPECT_FALSE(ComputeHelix(25, 500, -3, true).Straight);
}

TEST(Helix, ReversingTheFieldMirrorsTheHelixInZ) {
  const THelixPath A = ComputeHelix(60, 700, -45, true), B = ComputeHelix(60, 700, -45, false);
  ASSERT_EQ(A.Points.size(), B.Points.size());
  for (size_t K = 0; K < A.Points.size(); ++K) {
    EXPECT_NEAR(A.Points[K].X, B.Points[K].X, 1e-9);
    EXPECT_NEAR(A.Points[K].Y, B.Points[K].Y, 1e-9);
    EXPECT_NEAR(A.Points[K].Z, -B.Points[K].Z, 1e-9);
  }
}

TEST(Helix, ExitLeavesAlongTheLastPointsDirection) {
  const THelixPath H = ComputeHelix(25, 500, 80, true);
  const size_t N = H.Points.size();
  const THelixPoint &P = H.Points[N - 2], &E = H.Points[N - 1];
  // 200 across, 200 v_par / v_perp = 200 cot 80 along the field.
  EXPECT_NEAR(std::hypot(E.X - P.X, E.Z - P.Z), 200, 1e-9);
  EXPECT_NEAR(P.Y - E.Y, 200 / std::tan(80 * M_PI / 180), 1e-9);
}

// The row with the most red: the field arrow's head is its widest part.
int WidestRedRow(TBitmap &B) {
  int Best = -1, BestN = 0;
  for (int Y = 0; Y < B.Height(); ++Y) {
    const int N = CountColor(B, clRed, Rect(0, Y, B.Width(), Y + 1));
    if (N > BestN) { BestN = N; Best = Y; }
  }
  return Best;
}

// Pixels of Colour with the (upright) field arrow's red within Reach above and below them:
// a line crossing in front of the arrow.
int OverArrow(TBitmap &B, TColor Colour, int Reach) {
  auto RedWithin = [&](int X, int Y, int Dir) {
    for (int K = 1; K <= Reach; ++K)
      if (B.Canvas().Pixels(X, Y + Dir * K) == clRed) return true;
    return false;
  };
  int N = 0;
  for (int Y = Reach; Y < B.Height() - Reach; ++Y)
    for (int X = 0; X < B.Width(); ++X)
      N += B.Canvas().Pixels(X, Y) == Colour && RedWithin(X, Y, -1) && RedWithin(X, Y, 1);
  return N;
}
// The path crossing in front of the arrow.
int PathOverArrow(TBitmap &B) { return OverArrow(B, clBlue, 5); }

TEST(HelixPicture, StrandsNearerTheViewerPassOverTheArrowAndTheGunShows) {
  TBitmap B(350, 320);
  for (TViewAngles View : {TViewAngles{-20, 25}, TViewAngles{0, 0}}) {
    SCOPED_TRACE(testing::Message() << View.Tilt << " " << View.Turn);
    DrawHelix(B.Canvas(), 25, 500, View, 80, true);
    EXPECT_GT(PathOverArrow(B), 10);
    EXPECT_GT(CountColor(B, clRed), 1000); // the far strands stay behind it
  }
  // Small angles put the gun below the cube too: it lies in the picture whatever the view.
  for (int Angle : {-80, -10, -2, -1, 0, 1, 2, 10, 80})
    for (TViewAngles View :
         {TViewAngles{-20, 25}, TViewAngles{0, 0}, TViewAngles{75, 75}, TViewAngles{-75, -75}}) {
      DrawHelix(B.Canvas(), 100, 350, View, Angle, false);
      EXPECT_GT(CountColor(B, clYellow), 40) << Angle << " " << View.Tilt << " " << View.Turn;
    }
}

// A front edge crossing in front of the rod.
int EdgeOverArrow(TBitmap &B) { return OverArrow(B, clGray, 2); }

TEST(HelixPicture, TheCubesFrontEdgesPassInFrontOfTheFieldArrow) {
  TBitmap B(350, 320);
  // At the start view the rod runs up behind the top edge of the cube's front face.
  for (bool FieldUp : {true, false}) {
    DrawHelix(B.Canvas(), 25, 500, {-20, 25}, 80, FieldUp);
    EXPECT_GE(EdgeOverArrow(B), 3) << FieldUp;
  }
}

TEST(HelixPicture, FieldArrowPointsWithTheFieldAndThePathShows) {
  TBitmap B(350, 320);
  DrawHelix(B.Canvas(), 25, 500, {-20, 25}, 80, true);
  EXPECT_LT(WidestRedRow(B), 80); // head at y = -120: up
  EXPECT_GT(CountColor(B, clBlue), 300);
  EXPECT_GT(CountColor(B, 0x00FFFF00), 100); // entry and exit in aqua
  EXPECT_GT(CountColor(B, clYellow), 50);    // the gun
  EXPECT_GT(CountColor(B, 0x00E0FFFF), 10000); // the far faces
  DrawHelix(B.Canvas(), 25, 500, {-20, 25}, 80, false);
  EXPECT_GT(WidestRedRow(B), 200);
  DrawHelix(B.Canvas(), 25, 500, {75, -75}, 0, false); // the extreme view, straight path
  EXPECT_GT(CountColor(B, 0x00FFFF00), 50);
}

} // namespace

// Two and three bodies: the start table, energy and momentum over whole orbits of the
// leapfrog, bodies that meet, and the drawn pictures.
#include <gtest/gtest.h>

#include <cmath>

#include "picture_hash.h"
#include "pixel_count.h"
#include "platform/bitmap.h"
#include "sim/bodies.h"

namespace {

TEST(Bodies, StartTableAndColours) {
  const auto B = InitBodies();
  ASSERT_EQ(B.size(), 3u);
  EXPECT_EQ(B[0].mass, 1);
  EXPECT_EQ(B[0].x, 3);
  EXPECT_EQ(B[0].vy, 0.288);
  EXPECT_EQ(B[1].x, -3);
  EXPECT_EQ(B[1].vy, -0.288);
  EXPECT_EQ(B[2].mass, 0.0001);
  EXPECT_EQ(B[2].x, 1);
  EXPECT_EQ(B[2].vy, 1);
  EXPECT_EQ(BodyColour(0), clYellow);
  EXPECT_EQ(BodyColour(1), clRed);
  EXPECT_EQ(BodyColour(2), clBlue);
  EXPECT_EQ(BodyColour(7), clBlue);
}

TEST(Bodies, AccelerationsPullTowardsTheOtherMasses) {
  std::vector<TBody> B = {{2, 0, 0, 0, 1}, {0, 0, 0, 0, 4}};
  double AX[2], AY[2];
  ASSERT_TRUE(BodyAccelerations(B, AX, AY));
  EXPECT_DOUBLE_EQ(AX[0], -1.0); // m = 4 at distance 2: 4 / 4
  EXPECT_DOUBLE_EQ(AX[1], 0.25); // m = 1 at distance 2
  EXPECT_EQ(AY[0], 0);
}

TEST(Bodies, DefaultBinaryKeepsItsEnergyOverTenOrbits) {
  std::vector<TBody> B = InitBodies();
  std::span<TBody> Two(B.data(), 2);
  ASSERT_TRUE(StartBodies(Two));
  const double E0 = BodiesEnergy(Two);
  EXPECT_NEAR(E0, 0.288 * 0.288 - 1.0 / 6, 1e-6);
  double Worst = 0;
  for (int I = 0; I < 648420; ++I) { // ten periods of 64.842
    ASSERT_TRUE(StepBodies(Two));
    if (I % 1000 == 0) Worst = std::max(Worst, std::abs(BodiesEnergy(Two) - E0));
  }
  Worst = std::max(Worst, std::abs(BodiesEnergy(Two) - E0));
  EXPECT_LT(Worst, 1e-6 * std::abs(E0));
  // Equal masses and opposite velocities: the centre of mass stays at the origin.
  EXPECT_NEAR(B[0].x + B[1].x, 0, 1e-9);
  EXPECT_NEAR(B[0].y + B[1].y, 0, 1e-9);
  // Ten whole periods bring the pair back near the start.
  EXPECT_NEAR(B[0].x, 3, 0.05);
  EXPECT_NEAR(B[0].y, 0, 0.05);
  EXPECT_EQ(B[2].x, 1); // the third body took no part
}

TEST(Bodies, ThreeBodiesKeepMomentum) {
  std::vector<TBody> B = InitBodies();
  B[2] = {0, 5, -0.3, 0, 0.5};
  ASSERT_TRUE(StartBodies(B));
  auto Momentum = [&] {
    double PX = 0, PY = 0;
    for (const TBody &X : B) {
      PX += X.mass * X.vx;
      PY += X.mass * X.vy;
    }
    return std::pair(PX, PY);
  };
  const auto P0 = Momentum();
  for (int I = 0; I < 20000; ++I) ASSERT_TRUE(StepBodies(B));
  EXPECT_NEAR(Momentum().first, P0.first, 1e-12);
  EXPECT_NEAR(Momentum().second, P0.second, 1e-12);
}

TEST(Bodies, CoincidentBodiesStopTheRun) {
  std::vector<TBody> Same = {{1, 1, 0, 0, 1}, {1, 1, 0, 0, 1}};
  const std::vector<TBody> Before = Same;
  EXPECT_FALSE(StartBodies(Same));
  EXPECT_EQ(Same[0].vx, Before[0].vx);
  TBitmap Pic(OrbitPicSize, OrbitPicSize);
  int Yields = 0;
  EXPECT_EQ(RunBodies(Pic.Canvas(), [] { return TOrbitView{30, 200, 200}; }, Same,
                      [&] { ++Yields; return true; }),
            TBodiesRunEnd::NotStarted);
  // Massless bodies meeting head-on land exactly on each other after one step.
  std::vector<TBody> Meeting = {{0.001, 0, -1, 0, 0}, {-0.001, 0, 1, 0, 0}};
  EXPECT_EQ(RunBodies(Pic.Canvas(), [] { return TOrbitView{30, 200, 200}; }, Meeting,
                      [&] { ++Yields; return true; }),
            TBodiesRunEnd::Collided);
  EXPECT_EQ(Yields, 0);
  EXPECT_EQ(Meeting[0].x, 0);
  EXPECT_TRUE(std::isfinite(Meeting[0].vx));
  EXPECT_GT(CountColor(Pic, clRed), 0); // the last frame shows where they met
}

TEST(Bodies, RunDrawsEveryHundredStepsAndStopsOnYield) {
  std::vector<TBody> B = InitBodies();
  std::span<TBody> Two(B.data(), 2);
  TBitmap Pic(OrbitPicSize, OrbitPicSize);
  int Yields = 0, Views = 0;
  EXPECT_EQ(RunBodies(Pic.Canvas(), [&] { ++Views; return TOrbitView{30, 200, 200}; }, Two,
                      [&] { return ++Yields < 5; }),
            TBodiesRunEnd::Stopped);
  EXPECT_EQ(Views, 5);
  // After 0.5 time units body 0 has moved 0.144 up: still drawn at about (290, 196).
  EXPECT_NEAR(B[0].y, 0.288 * 0.5, 1e-3);
  EXPECT_EQ(Pic.Canvas().Pixels(290, 196), clYellow);
  EXPECT_EQ(Pic.Canvas().Pixels(110, 204), clRed);
  EXPECT_EQ(CountColor(Pic, clBlue), 0); // two bodies: the third is not drawn
  EXPECT_EQ(CountColor(Pic, clLime), 0); // no arrows while running
}

TEST(Bodies, SetupPictureWithArrowsSizedByTheOrbitScale) {
  const std::vector<TBody> B = InitBodies();
  TBitmap Pic(OrbitPicSize, OrbitPicSize);
  DrawBodiesSetup(Pic.Canvas(), TOrbitView{30, 200, 200}, B, 100);
  EXPECT_EQ(Pic.Canvas().Pixels(290, 200), clYellow); // (3, 0), radius 6
  EXPECT_EQ(Pic.Canvas().Pixels(110, 200), clRed);
  EXPECT_EQ(Pic.Canvas().Pixels(230, 200), clBlue);
  // Body 0's velocity line ends at (290, 191); the head of size 5 reaches 10 beyond.
  EXPECT_EQ(Pic.Canvas().Pixels(290, 185), clLime);
  EXPECT_EQ(Pic.Canvas().Pixels(290, 188), clLime);
  EXPECT_EQ(Pic.Canvas().Pixels(290, 179), clSilver); // beyond the tip at 181
  EXPECT_EQ(PictureHash(Pic), 2321958325674469165ull);
  // A larger orbit scale gives larger heads on the same picture.
  TBitmap Big(OrbitPicSize, OrbitPicSize);
  DrawBodiesSetup(Big.Canvas(), TOrbitView{30, 200, 200}, B, 200);
  EXPECT_GT(CountColor(Big, clLime), CountColor(Pic, clLime));
  // Only the first N bodies appear.
  TBitmap Two(OrbitPicSize, OrbitPicSize);
  DrawBodiesSetup(Two.Canvas(), TOrbitView{30, 200, 200}, std::span(B.data(), 2), 100);
  EXPECT_EQ(CountColor(Two, clBlue), 0);
}

} // namespace

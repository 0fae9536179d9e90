// The planetary orbit: Kepler's periods from the leapfrog steps, conserved quantities, the
// stop at the sun, the arrow head and the drawn pictures.
#include <gtest/gtest.h>

#include <cmath>

#include "picture_hash.h"
#include "pixel_count.h"
#include "platform/bitmap.h"
#include "sim/planet_orbit.h"

namespace {

// The step at which y, having gone negative, is back at or above 0: one period's end
// for a start on the positive x axis moving up.
long long PeriodStep(double VY) {
  TPlanetOrbit O;
  EXPECT_TRUE(O.Start(1, 0, 0, VY));
  bool Below = false;
  while (O.Steps < 100000) {
    EXPECT_TRUE(O.Step());
    if (O.Y < 0) Below = true;
    else if (Below) return O.Steps;
  }
  return -1;
}

TEST(PlanetOrbit, CircularOrbitReturnsAfterTwoPiUnitsOfTime) {
  EXPECT_EQ(PeriodStep(1.0), 6284); // y(6283) < 0 <= y(6284): T = 2 pi
}

TEST(PlanetOrbit, EllipsesFollowKeplersThirdLaw) {
  // From r = 1 at speed v: a = 1 / (2 - v^2), T = 2 pi a^1.5.
  EXPECT_NEAR(1 / (2 - 0.64), 0.7353, 1e-4);
  EXPECT_NEAR(2 * M_PI * std::pow(1 / (2 - 0.64), 1.5), 3.9616, 1e-4);
  EXPECT_EQ(PeriodStep(0.8), 3962);
  EXPECT_NEAR(1 / (2 - 1.44), 1.7857, 1e-4);
  EXPECT_NEAR(2 * M_PI * std::pow(1 / (2 - 1.44), 1.5), 14.993, 1e-3);
  EXPECT_EQ(PeriodStep(1.2), 14994);
}

TEST(PlanetOrbit, EnergyAndAngularMomentumKeptOverAnEccentricOrbit) {
  TPlanetOrbit O;
  ASSERT_TRUE(O.Start(1, 0, 0, 1.2));
  const double E0 = O.Energy(), L0 = O.AngularMomentum();
  EXPECT_NEAR(E0, 0.72 - 1, 1e-6);
  double Worst = 0;
  for (int I = 0; I < 15000; ++I) {
    ASSERT_TRUE(O.Step());
    Worst = std::max(Worst, std::abs(O.Energy() - E0));
    EXPECT_NEAR(O.AngularMomentum(), L0, 1e-12);
  }
  EXPECT_LT(Worst, 1e-5 * std::abs(E0));
}

TEST(PlanetOrbit, APlanetFallingIntoTheSunEndsTheRunThere) {
  for (double VY : {0.0, 0.01}) {
    TPlanetOrbit O;
    ASSERT_TRUE(O.Start(1, 0, 0, VY));
    double Emax = O.Energy();
    while (O.Step()) {
      Emax = std::max(Emax, O.Energy());
      ASSERT_LT(O.Steps, 10000);
    }
    EXPECT_LT(std::hypot(O.X, O.Y), TPlanetOrbit::SunRadius);
    EXPECT_LT(Emax, -0.99); // never flung out: E stays at its start of -1
  }
  // The run draws its last frame with the planet on the sun and says why it ended.
  TBitmap B(OrbitPicSize, OrbitPicSize);
  int Yields = 0;
  TPlanetOrbit State;
  const auto End = RunOrbit(B.Canvas(), [] { return TOrbitView{}; }, 1, 0, 0, 0,
                            [&] { ++Yields; return true; }, &State);
  EXPECT_EQ(End, TOrbitRunEnd::ReachedSun);
  EXPECT_EQ(Yields, int(State.Steps - 1) / OrbitRedrawSteps);
  const TPoint P = OrbitToScreen(TOrbitView{}, State.X, State.Y);
  EXPECT_LE(std::hypot(P.X - 200, P.Y - 200), 20); // on the sun's disc
  EXPECT_EQ(B.Canvas().Pixels(P.X, P.Y), clRed);
}

TEST(PlanetOrbit, StartsWithinTheSunDoNotRun) {
  TPlanetOrbit O;
  EXPECT_FALSE(O.Start(0, 0, 0, 1));
  EXPECT_FALSE(O.Start(0.1, -0.15, 1, 0));
  EXPECT_TRUE(O.Start(0.2, 0, 0, 1));
  TBitmap B(OrbitPicSize, OrbitPicSize);
  int Yields = 0;
  EXPECT_EQ(RunOrbit(B.Canvas(), [] { return TOrbitView{}; }, 0, 0, 0, 0,
                     [&] { ++Yields; return true; }),
            TOrbitRunEnd::NotStarted);
  EXPECT_EQ(Yields, 0);
  EXPECT_EQ(CountColor(B, clWhite), OrbitPicSize * OrbitPicSize); // nothing drawn
}

TEST(PlanetOrbit, EveryStepStaysUnderThreePercentOfTheDistance) {
  // The hardest starts the scroll bars allow: fast and near the sun, far and fast, a
  // plunge from the corner.
  const double Starts[][4] = {{0.2, 0, 3, 3},   {0.2, 0, 0, 3},   {5.5, 5.5, -3, -3},
                              {0.21, 0, 0, 0.5}, {-5.5, 0, 0.1, 0}, {0.3, 0.3, -3, 3}};
  for (const auto &S : Starts) {
    TPlanetOrbit O;
    ASSERT_TRUE(O.Start(S[0], S[1], S[2], S[3]));
    double Worst = 0;
    for (int I = 0; I < 200000; ++I) {
      const double R = std::hypot(O.X, O.Y);
      Worst = std::max(Worst, std::hypot(O.VX, O.VY) * TPlanetOrbit::Dt / R);
      if (!O.Step()) break;
    }
    EXPECT_LT(Worst, 0.03) << S[0] << "," << S[1] << "," << S[2] << "," << S[3];
  }
}

TEST(PlanetOrbit, StopsWhenYieldSaysSoAfterWholeFrames) {
  TBitmap B(OrbitPicSize, OrbitPicSize);
  int Yields = 0, Views = 0;
  TPlanetOrbit State;
  const auto End = RunOrbit(
      B.Canvas(), [&] { ++Views; return TOrbitView{50 + Views, 200, 200}; }, 1, 0, 0, 1,
      [&] { return ++Yields < 7; }, &State);
  EXPECT_EQ(End, TOrbitRunEnd::Stopped);
  EXPECT_EQ(State.Steps, 7 * OrbitRedrawSteps);
  EXPECT_EQ(Views, 7); // the view is read for every frame: zoom acts on a running orbit
  // After 0.14 time units on the unit circle, drawn at scale 57.
  const TPoint P = OrbitToScreen({57, 200, 200}, std::cos(0.14), std::sin(0.14));
  EXPECT_EQ(B.Canvas().Pixels(P.X, P.Y), clRed);
}

TEST(OrbitPicture, ArrowHeadGeometry) {
  using A = std::array<TPoint, 3>;
  // Tip 2L beyond the end along the line, base corners L to either side.
  EXPECT_EQ(ArrowHead(100, 100, 200, 100, 5), (A{TPoint(210, 100), TPoint(200, 95),
                                                  TPoint(200, 105)}));
  EXPECT_EQ(ArrowHead(200, 100, 100, 100, 5), (A{TPoint(90, 100), TPoint(100, 105),
                                                  TPoint(100, 95)}));
  EXPECT_EQ(ArrowHead(100, 200, 100, 100, 5), (A{TPoint(100, 90), TPoint(95, 100),
                                                  TPoint(105, 100)}));
  // No length: the head points down.
  EXPECT_EQ(ArrowHead(300, 200, 300, 200, 5), (A{TPoint(300, 210), TPoint(305, 200),
                                                  TPoint(295, 200)}));
  const A D = ArrowHead(0, 0, 30, -30, 10); // up and right at 45 degrees
  EXPECT_EQ(D[0], TPoint(44, -44));
}

TEST(OrbitPicture, GridLinesThroughTheOriginAlsoWhenItIsNegative) {
  EXPECT_EQ(FlooredMod(-25, 30), 5);
  EXPECT_EQ(FlooredMod(25, 30), 25);
  EXPECT_EQ(FlooredMod(-60, 30), 0);
  TBitmap B(OrbitPicSize, OrbitPicSize);
  DrawOrbitBackground(B.Canvas(), TOrbitView{30, -25, 200});
  // Lines at x = 5, 35, ..., 395: the last would be missing with a truncating modulo.
  EXPECT_EQ(B.Canvas().Pixels(395, 101), clSilver);
  EXPECT_EQ(B.Canvas().Pixels(5, 101), clSilver);
  EXPECT_EQ(B.Canvas().Pixels(6, 101), clWhite);
  EXPECT_EQ(B.Canvas().Pixels(101, 200), clSilver); // y = 200 mod 30 + 30 k
  EXPECT_EQ(B.Canvas().Pixels(101, 201), clWhite);
}

TEST(OrbitPicture, FarPointsSaturateOutsideThePicture) {
  const TPoint P = OrbitToScreen(TOrbitView{200, 200, 200}, 1e300, -1e300);
  EXPECT_GT(P.X, 10000);
  EXPECT_GT(P.Y, 10000);
  TBitmap B(OrbitPicSize, OrbitPicSize);
  TBitmap Work(OrbitPicSize, OrbitPicSize);
  DrawOrbitFrame(B.Canvas(), Work, TOrbitView{}, 1e300, NAN);
  EXPECT_EQ(CountColor(B, clRed), 0);
  EXPECT_GT(CountColor(B, clYellow), 0);
}

TEST(OrbitSetup, StartPictureShowsSunPlanetAndArrow) {
  TBitmap B(OrbitPicSize, OrbitPicSize);
  DrawOrbitSetup(B.Canvas(), TOrbitView{}, 100, 0, 0, 100);
  EXPECT_EQ(B.Canvas().Pixels(200, 200), clYellow); // sun, radius 20
  EXPECT_EQ(B.Canvas().Pixels(217, 200), clYellow);
  EXPECT_EQ(B.Canvas().Pixels(300, 200), clRed);    // planet at (1, 0), radius 10
  EXPECT_EQ(B.Canvas().Pixels(300, 150), clBlack);  // the shaft up to (300, 100)
  EXPECT_EQ(B.Canvas().Pixels(300, 95), clLime);    // the head beyond it, tip at 90
  EXPECT_EQ(B.Canvas().Pixels(300, 210), clSilver); // nothing below the planet
  EXPECT_EQ(B.Canvas().Pixels(0, 0), clGray);       // sunken edge
  EXPECT_EQ(PictureHash(B), 9528190182345837202ull);
}

TEST(OrbitSetup, ZeroVelocityDrawsOnlyTheHeadPointingDown) {
  TBitmap B(OrbitPicSize, OrbitPicSize);
  DrawOrbitSetup(B.Canvas(), TOrbitView{}, 100, 0, 0, 0);
  // The planet's disc covers the head but its tip, (300, 210), just below the disc.
  EXPECT_EQ(B.Canvas().Pixels(300, 210), clBlack);
  EXPECT_EQ(B.Canvas().Pixels(300, 185), clSilver); // no shaft above the planet
  EXPECT_EQ(B.Canvas().Pixels(300, 211), clSilver);
}

} // namespace

// The alpha particle in the lattice: layouts, the acceleration, energy over whole runs,
// the run loop's frames, stops and pictures.
#include <gtest/gtest.h>

#include <cmath>

#include "pixel_count.h"
#include "platform/bitmap.h"
#include "platform/numbers.h"
#include "sim/alpha_lattice.h"
#include "sim/shared_constants.h"

namespace {

constexpr TColor PaleYellow = 0x0080FFFF;

TAlphaState Start(int YPos) {
  TAlphaState S;
  S.X = AlphaStartX;
  S.Y = YPos / 100.0;
  S.VX = AlphaStartVX;
  return S;
}

bool Visible(const TLatticeLayout &L, const TAlphaState &S) {
  const TPoint Q = L.ToScreen(S.X, S.Y);
  return Q.X >= -5 && Q.X < L.Width() + 5 && Q.Y >= -5 && Q.Y < L.Height() + 5;
}

} // namespace

TEST(AlphaLattice, LayoutsByScreenMode) {
  const TLatticeLayout N = TLatticeLayout::ForScreenMode(2), C = TLatticeLayout::ForScreenMode(1);
  EXPECT_EQ(N.Radius, 35);
  EXPECT_EQ(N.Height(), 400);
  EXPECT_EQ(C.Radius, 27);
  EXPECT_EQ(C.Height(), 300);
  EXPECT_EQ(TLatticeLayout::ForScreenMode(0).S, 100); // anything but 1 is normal
  EXPECT_EQ(N.ToScreen(0.5, -1.5), TPoint(200, 350));
  EXPECT_EQ(C.ToScreen(0.5, -1.5), TPoint(188, 262)); // Round(37.5) = 38, Round(-112.5) = -112
  // The start marker: y = 200 - YPos, or 150 - MulDiv(YPos, 3, 4); x where the run starts.
  EXPECT_EQ(N.StartMarker(3), TPoint(390, 197));
  EXPECT_EQ(N.StartMarker(-150), TPoint(390, 350));
  EXPECT_EQ(C.StartMarker(3), TPoint(330, 148));
  EXPECT_EQ(C.StartMarker(-150), TPoint(330, 263)); // -112.5 rounds away from zero
  EXPECT_EQ(C.StartMarker(150), TPoint(330, 37));
  EXPECT_EQ(C.StartMarker(0).X, C.ToScreen(AlphaStartX, 0).X);
}

TEST(AlphaLattice, AccelerationIsARepulsion) {
  EXPECT_EQ(LatticeNuclei.size(), 13u);
  // Just right of the centre nucleus the push is to the right, about 0.1 / r^2.
  const TLatticeAcceleration A = LatticeAcceleration(0.1, 0);
  EXPECT_GT(A.AX, 9);
  EXPECT_EQ(A.AY, 0);
  EXPECT_NEAR(A.NearestR, 0.1, 1e-12);
  // Far off, the 13 nuclei push like one of 13 charges.
  const TLatticeAcceleration F = LatticeAcceleration(100, 0);
  EXPECT_NEAR(F.AX, 13 * 0.1 / (100.0 * 100.0), 1e-6);
  // On a nucleus: that one has no direction and is left out; nothing is infinite.
  const TLatticeAcceleration On = LatticeAcceleration(0, 0);
  EXPECT_TRUE(std::isfinite(On.AX));
  EXPECT_EQ(On.AY, 0);
  EXPECT_EQ(On.NearestR, 0);
  TAlphaState S;
  S.VX = -4;
  AdvanceAlphaFrame(S);
  EXPECT_TRUE(std::isfinite(S.X) && std::isfinite(S.VX));
  EXPECT_EQ(S.SubSteps, AlphaMaxSubSteps);
}

TEST(AlphaLattice, HeadOnStaysOnTheAxisAndKeepsItsEnergy) {
  // Aimed at the nucleus (0, 0) between (0.5, 0.5) and (0.5, -0.5): the particle stops
  // about 0.0125 short of it (0.1 / r = 8) and goes back the way it came.
  TAlphaState S = Start(0);
  const double E0 = LatticeEnergy(S);
  EXPECT_NEAR(E0, 8.50, 0.005);
  const TLatticeLayout L;
  double Worst = 0, Closest = 1;
  while (Visible(L, S)) {
    AdvanceAlphaFrame(S);
    ASSERT_EQ(S.Y, 0.0) << S.Frames;
    ASSERT_EQ(S.VY, 0.0);
    ASSERT_LE(S.Frames, 1000);
    Worst = std::max(Worst, std::fabs(LatticeEnergy(S) - E0) / E0);
    Closest = std::min(Closest, std::fabs(S.X));
  }
  EXPECT_LT(Worst, 0.005); // a plain 0.01 step gained 146 % here
  EXPECT_GT(Closest, 0.01);
  EXPECT_LT(Closest, 0.02);
  EXPECT_GT(S.X, AlphaStartX); // back out on the right
  // It leaves as fast as it came (a plain 0.01 step sent it off at 6.39).
  EXPECT_NEAR(S.VX, -AlphaStartVX, 0.02);
  // A frame is cut finer only near a nucleus: a few hundred steps in all.
  EXPECT_GT(S.SubSteps, S.Frames);
  EXPECT_LT(S.SubSteps, 450);
  EXPECT_LE(S.SubSteps, S.Frames * AlphaMaxSubSteps);
}

TEST(AlphaLattice, EnergyWithinOnePercentForEveryStartHeight) {
  const TLatticeLayout L;
  for (int YPos = -150; YPos <= 150; ++YPos) {
    TAlphaState S = Start(YPos);
    const double E0 = LatticeEnergy(S);
    double Worst = 0;
    while (Visible(L, S) && S.Frames < 2000) {
      AdvanceAlphaFrame(S);
      Worst = std::max(Worst, std::fabs(LatticeEnergy(S) - E0) / E0);
    }
    EXPECT_LT(S.Frames, 2000) << YPos;
    EXPECT_LT(Worst, 0.01) << "YPos " << YPos;
  }
}

TEST(AlphaLattice, RunDrawsOneFramePerYieldAndLeavesAbortSet) {
  const TLatticeLayout L;
  TBitmap B(400, 400);
  int Yields = 0;
  AbortFlag = true;
  const TAlphaState S = RunAlphaLattice(B.Canvas(), false, AlphaStartX, 0.03, AlphaStartVX, 0,
                                        [&] {
                                          ++Yields;
                                          // Each visible frame: one dot, the older ones wiped.
                                          if (Yields == 30) {
                                            EXPECT_GT(CountColor(B, clRed), 20);
                                            EXPECT_LE(CountColor(B, clRed), 64);
                                          }
                                          return true;
                                        }, L);
  EXPECT_TRUE(bool(AbortFlag));
  // Every visible frame is drawn and yielded; the frame that leaves is yielded undrawn.
  EXPECT_EQ(Yields, S.Frames + 1);
  EXPECT_GT(S.Frames, 50);
  // The last visible position is what stays: red only round it.
  const TPoint Q = L.ToScreen(S.X, S.Y);
  EXPECT_EQ(CountColor(B, clRed), CountColor(B, clRed, TRect(Q.X - 4, Q.Y - 4, Q.X + 4, Q.Y + 4)));
  EXPECT_GT(CountColor(B, PaleYellow), 13 * 1000); // the nuclei are drawn
}

TEST(AlphaLattice, TrailKeepsTheWholeTrack) {
  TBitmap B(400, 400);
  RunAlphaLattice(B.Canvas(), true, AlphaStartX, 0.03, AlphaStartVX, 0, [] { return true; },
                  TLatticeLayout());
  EXPECT_GT(CountColor(B, clRed), 1500); // about 100 overlapping dots across the picture
  // The track starts at the marker's place on the right.
  EXPECT_EQ(B.Canvas().Pixels(387, 197), clRed);
}

TEST(AlphaLattice, StopEndsTheRunAtOnceKeepingTheLastFrame) {
  TBitmap B(400, 400);
  int Yields = 0;
  const TAlphaState S = RunAlphaLattice(B.Canvas(), false, AlphaStartX, 0.5, AlphaStartVX, 0,
                                        [&] { return ++Yields < 5; }, TLatticeLayout());
  EXPECT_EQ(Yields, 5);
  EXPECT_EQ(S.Frames, 5);
  EXPECT_TRUE(bool(AbortFlag));
  // The fifth frame stays on the canvas: the dot 5 x 0.04 units left of the start.
  const TPoint Q = TLatticeLayout().ToScreen(S.X, S.Y);
  EXPECT_EQ(Q, TPoint(370, 150));
  EXPECT_EQ(B.Canvas().Pixels(Q.X, Q.Y), clRed);
  // A stop asked for before the run began (AbortFlag cleared by the run) still stops it
  // at its first yield, through the page's callable.
  AbortFlag = true;
  int N = 0;
  RunAlphaLattice(B.Canvas(), false, AlphaStartX, 0, AlphaStartVX, 0,
                  [&] { ++N; AbortFlag = true; return !AbortFlag; }, TLatticeLayout());
  EXPECT_EQ(N, 1);
}

TEST(AlphaLattice, LatticePicture) {
  for (int Mode : {2, 1}) {
    const TLatticeLayout L = TLatticeLayout::ForScreenMode(Mode);
    TBitmap B(L.Width(), L.Height());
    DrawAlphaLattice(B.Canvas(), 60, L);
    for (const TLatticeNucleus &N : LatticeNuclei) {
      const TPoint C = L.ToScreen(N.X, N.Y);
      if (C.Y <= 0 || C.Y >= L.Height()) continue; // half outside, top and bottom
      EXPECT_EQ(B.Canvas().Pixels(C.X, C.Y), PaleYellow) << Mode;
      // Nuclei at the scale of the layout: the rim lies one radius from the centre.
      EXPECT_EQ(B.Canvas().Pixels(C.X - L.Radius, C.Y), clBlack) << Mode;
    }
    const TPoint M = L.StartMarker(60);
    EXPECT_EQ(B.Canvas().Pixels(M.X, M.Y), clRed) << Mode;
    EXPECT_EQ(CountColor(B, clRed), CountColor(B, clRed, TRect(M.X - 4, M.Y - 4, M.X + 4, M.Y + 4)));
    EXPECT_EQ(B.Canvas().Pixels(0, 0), TColor(0x808080));
  }
  // The compact picture starts its particle on its marker.
  const TLatticeLayout C = TLatticeLayout::ForScreenMode(1);
  EXPECT_EQ(C.ToScreen(AlphaStartX, 0.6), C.StartMarker(60));
}

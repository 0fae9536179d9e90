// Thomson's tube: the settings from the scroll bars, the beam between the plates (balanced
// fields, the circle of a magnetic field alone, the energy rule), the plates the beam may
// meet, and the drawn picture.
#include <gtest/gtest.h>

#include <cmath>

#include "picture_hash.h"
#include "pixel_count.h"
#include "platform/bitmap.h"
#include "sim/thomson_tube.h"

namespace {

TEST(ThomsonTube, SettingsFromTheScrollBars) {
  const TThomsonSettings S = ThomsonSettings(20, 20, 100);
  EXPECT_EQ(S.U, 200);
  EXPECT_EQ(S.E, 2000); // 100 V across 0.05 m
  EXPECT_DOUBLE_EQ(S.B, 1e-4);
  EXPECT_NEAR(S.V, 8.388e6, 1e3); // sqrt(3.5176e11 x 200)
  EXPECT_EQ(ThomsonSpeed(0), 0);
  EXPECT_EQ(ThomsonSpeed(-5), 0);
}

TEST(ThomsonTube, BalancedFieldsKeepTheBeamOnTheCentreLine) {
  const double V = ThomsonSpeed(200), B = 3e-4;
  const TBeamPath Path = ComputeBeamPath(ThomsonPlates, V, B, V * B);
  ASSERT_EQ(Path.Points.size(), 100u);
  for (const TPoint &P : Path.Points) EXPECT_EQ(P.Y, 155);
  EXPECT_EQ(Path.Points[0], TPoint(150, 155));
  EXPECT_NEAR(Path.Points[99].X, 150 + 99 * 1.5, 1); // 0.5 mm a step, 3000 px/m
  EXPECT_FALSE(Path.MetPlate);
  // The nearest the scroll bars come: 1000 V, 9.4 kV/m, 0.5 mT (vB = 9378 V/m).
  const TThomsonSettings S = ThomsonSettings(100, 94, 500);
  const TBeamPath Near = ComputeBeamPath(ThomsonPlates, S.V, S.B, S.E);
  for (const TPoint &P : Near.Points) EXPECT_EQ(P.Y, 155);
  EXPECT_EQ(Round(150 * Near.DY / Near.DX), 0); // the continuation stays level
  TBitmap Pic(ThomsonPicWidth, ThomsonPicHeight);
  DrawThomsonTube(Pic.Canvas(), S.V, S.B, S.E);
  for (int X : {100, 200, 299, 320, 355}) EXPECT_EQ(Pic.Canvas().Pixels(X, 155), clBlue) << X;
}

TEST(ThomsonTube, MagneticFieldAloneBendsTheBeamOnACircle) {
  // r = v / ((e/m) B) = 8.388e6 / (1.7588e11 x 5e-4) = 0.09538 m = 286.1 px, centre
  // below the entry at (150, 155 + 286.1).
  const double V = ThomsonSpeed(200), B = 5e-4;
  const double R = V / (ElectronEm * B) * 3000;
  EXPECT_NEAR(R, 286.1, 0.05);
  const TBeamPath Path = ComputeBeamPath(ThomsonPlates, V, B, 0);
  EXPECT_EQ(Path.Points.size(), 100u);
  for (const TPoint &P : Path.Points)
    EXPECT_NEAR(std::hypot(P.X - 150.0, P.Y - (155 + R)), R, 1.0) << P.X << "," << P.Y;
  EXPECT_GT(Path.Points.back().Y, 190); // well bent downwards
  // Speed kept (to the integrator's accuracy): the magnetic force does no work.
  EXPECT_NEAR(std::hypot(Path.VX, Path.VY), V, 0.002 * V);
}

TEST(ThomsonTube, KineticEnergyFollowsTheElectricFieldOnly) {
  // |v|^2 = v0^2 - 2 (e/m) E y, with y down the screen.
  struct { int Gun, EField, BField; } Cases[] = {{20, 20, 100}, {10, 100, 300}, {50, 200, 0},
                                                   {100, 200, 500}};
  for (const auto &C : Cases) {
    const TThomsonSettings S = ThomsonSettings(C.Gun, C.EField, C.BField);
    const TBeamPath Path = ComputeBeamPath(ThomsonPlates, S.V, S.B, S.E);
    const double Rule = S.V * S.V - 2 * ElectronEm * S.E * Path.Y;
    const double Got = Path.VX * Path.VX + Path.VY * Path.VY;
    EXPECT_NEAR(Got / Rule, 1, 0.005) << C.Gun << " " << C.EField << " " << C.BField;
  }
}

TEST(ThomsonTube, StartSettingsBendTheBeamUp) {
  const TThomsonSettings S = ThomsonSettings(20, 20, 100);
  const TBeamPath Path = ComputeBeamPath(ThomsonPlates, S.V, S.B, S.E);
  // vB = 839 V/m against E = 2000 V/m: the net force is upwards.
  EXPECT_LT(Path.Points.back().Y, 155);
  EXPECT_LT(Path.DY, 0);
}

TEST(ThomsonTube, ABeamThatMeetsAPlateHasNoContinuation) {
  // 200 V and 10 kV/m: the beam hits the upper plate half-way along.
  const TThomsonSettings S = ThomsonSettings(20, 200, 0);
  const TBeamPath Path = ComputeBeamPath(ThomsonPlates, S.V, S.B, S.E);
  EXPECT_TRUE(Path.MetPlate);
  EXPECT_LT(Path.Points.size(), 100u);
  EXPECT_LT(Path.Points.back().X, 300);
  TBitmap Pic(ThomsonPicWidth, ThomsonPicHeight);
  DrawThomsonTube(Pic.Canvas(), S.V, S.B, S.E);
  EXPECT_EQ(CountColor(Pic, clBlue, TRect(Path.Points.back().X + 2, 0, 400, 310)), 0);
  EXPECT_GT(CountColor(Pic, clBlue, TRect(150, 105, 300, 205)), 20);
  // A grazing hit near the plates' end: nothing past the plates either.
  bool Grazed = false;
  for (int EPos = 1; EPos <= 200 && !Grazed; ++EPos) {
    const TThomsonSettings G = ThomsonSettings(20, EPos, 0);
    const TBeamPath P = ComputeBeamPath(ThomsonPlates, G.V, G.B, G.E);
    if (!P.MetPlate) continue;
    Grazed = true;
    EXPECT_GT(P.Points.back().X, 280); // the first field strong enough: near the end
    TBitmap Graze(ThomsonPicWidth, ThomsonPicHeight);
    DrawThomsonTube(Graze.Canvas(), G.V, G.B, G.E);
    EXPECT_EQ(CountColor(Graze, clBlue, TRect(302, 0, 400, 310)), 0);
  }
  EXPECT_TRUE(Grazed);
}

TEST(ThomsonTube, NoBeamWithTheGunOff) {
  const TBeamPath Path = ComputeBeamPath(ThomsonPlates, 0, 1e-4, 2000);
  EXPECT_EQ(Path.Points.size(), 1u);
  TBitmap Pic(ThomsonPicWidth, ThomsonPicHeight);
  DrawThomsonTube(Pic.Canvas(), 0, 1e-4, 2000);
  EXPECT_EQ(CountColor(Pic, clBlue), 0);
}

TEST(ThomsonTube, TubeOutlineAndPicture) {
  const TPointArray O = MakeTubeOutline(ThomsonPlates);
  ASSERT_EQ(O.size(), 25u);
  EXPECT_EQ(O[10], TPoint(365, 155)); // a = 0: straight ahead of the plates' centre
  EXPECT_EQ(O[0], TPoint(225 + Round(140 * std::cos(-0.6)), 155 + Round(140 * std::sin(0.6))));
  EXPECT_EQ(O[21], TPoint(300, 105));
  EXPECT_EQ(O[24], TPoint(300, 205));
  const TThomsonSettings S = ThomsonSettings(20, 20, 100);
  TBitmap Pic(ThomsonPicWidth, ThomsonPicHeight);
  DrawThomsonTube(Pic.Canvas(), S.V, S.B, S.E);
  EXPECT_EQ(Pic.Canvas().Pixels(30, 150), clSilver);           // the gun
  EXPECT_EQ(Pic.Canvas().Pixels(160, 110), TColor(0xE0FFFF));  // between the plates
  EXPECT_EQ(Pic.Canvas().Pixels(200, 102), clSilver);           // upper plate
  EXPECT_EQ(Pic.Canvas().Pixels(225, 50), clGray);              // its lead
  EXPECT_EQ(Pic.Canvas().Pixels(87, 140), clWhite);             // the open joint
  EXPECT_EQ(Pic.Canvas().Pixels(70, 155), clBlue);              // beam from the gun
  EXPECT_EQ(PictureHash(Pic), 6251993506286147625ull);
}

} // namespace

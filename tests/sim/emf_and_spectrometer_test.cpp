// The induction apparatus and the e.m.f. curves; the mass spectrometer's sample, spectrum,
// marker and picture.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "pixel_count.h"
#include "platform/bitmap.h"
#include "sim/lenz.h"
#include "sim/mass_spectrometer.h"
#include "vector_sink.h"

namespace {

TEST(DynamoEmf, OneTurnIsOnePeriodOrTwoWithDoubleRotation) {
  TVectorSink S;
  PlotDynamoEmf(S, 1);
  ASSERT_EQ(S.Count(), 361);
  EXPECT_NEAR(S.Y[90], 1, 1e-12);
  EXPECT_NEAR(S.Y[270], -1, 1e-12);
  EXPECT_NEAR(S.Y[180], 0, 1e-12);
  PlotDynamoEmf(S, 2); // cleared first
  ASSERT_EQ(S.Count(), 361);
  // Two periods of amplitude 2: peaks at 45 and 225, troughs at 135 and 315.
  EXPECT_NEAR(S.Y[45], 2, 1e-12);
  EXPECT_NEAR(S.Y[225], 2, 1e-12);
  EXPECT_NEAR(S.Y[135], -2, 1e-12);
  EXPECT_NEAR(S.Y[315], -2, 1e-12);
  EXPECT_NEAR(S.MaxYValue(), 2, 1e-12);
  EXPECT_DOUBLE_EQ(DynamoEmf(30, 2), 2 * std::sin(60 * M_PI / 180));
}

TEST(LenzEmf, OneCoilPulsePeaksAtTheEighthSample) {
  const auto E = LenzPulse(1);
  // x0 = (sqrt(0.01 + 2) + 0.1) / 2 = 0.7589: the samples at 0.7 and 0.8 straddle it.
  const auto Peak = std::max_element(E.begin(), E.end()) - E.begin();
  EXPECT_EQ(Peak, 8);
  EXPECT_NEAR(E[8], 0.99688, 1e-4);
  EXPECT_LT(E[7], E[8]);
  EXPECT_EQ(E[0], 0);
  for (double V : E) EXPECT_LE(V, 1.0);
  EXPECT_NEAR(LenzLeaveFactor(1), 1.00071, 1e-5);
  EXPECT_NEAR(LenzLeaveFactor(30), 1.02106, 1e-5);
  EXPECT_NEAR(LenzLeaveFactor(0), 1, 1e-12);
}

TEST(LenzEmf, TwoHundredPointsWithTheCentreTwice) {
  TVectorSink S;
  PlotLenzEmf(S, 1);
  ASSERT_EQ(S.Count(), 200);
  EXPECT_EQ(S.X.front(), 0);
  EXPECT_EQ(S.X.back(), 198);
  EXPECT_EQ(S.X[99], 99);
  EXPECT_EQ(S.X[100], 99);
  EXPECT_EQ(S.Y[99], 0);
  EXPECT_EQ(S.Y[100], 0);
  const auto Min = std::min_element(S.Y.begin(), S.Y.end()) - S.Y.begin();
  const auto Max = std::max_element(S.Y.begin(), S.Y.end()) - S.Y.begin();
  EXPECT_EQ(S.X[size_t(Min)], 91);
  EXPECT_EQ(S.X[size_t(Max)], 107);
  EXPECT_NEAR(S.Y[size_t(Max)], -S.Y[size_t(Min)] * LenzLeaveFactor(1), 1e-12);
  // More coils move the peaks outwards: a = 3 peaks near x0 = 3.16.
  PlotLenzEmf(S, 30);
  const auto Max30 = std::max_element(S.Y.begin(), S.Y.end()) - S.Y.begin();
  EXPECT_EQ(S.X[size_t(Max30)], 99 + 32);
}

TEST(LenzApparatus, CoilTurnsAndMagnet) {
  TBitmap B(80, 430);
  DrawLenzApparatus(B.Canvas(), 0, 90);
  // One turn at y = 215; the magnet from y 184 to 213 (its bottom edge at 214 exclusive).
  EXPECT_EQ(CountColor(B, clBlue, TRect(20, 205, 60, 226)), 40);
  EXPECT_EQ(B.Canvas().Pixels(40, 215), clBlue);
  EXPECT_EQ(B.Canvas().Pixels(40, 200), clSilver);
  EXPECT_EQ(B.Canvas().Pixels(35, 184), clBlack);
  EXPECT_EQ(B.Canvas().Pixels(40, 183), clWhite);
  EXPECT_EQ(B.Canvas().Pixels(40, 214), clWhite);
  // Sunken edge: the top-left corner is the shadow colour.
  EXPECT_EQ(B.Canvas().Pixels(0, 0), clGray);

  DrawLenzApparatus(B.Canvas(), 30, 0);
  int Rows = 0;
  for (int Y = 0; Y < 430; ++Y) Rows += B.Canvas().Pixels(30, Y) == clBlue;
  EXPECT_EQ(Rows, 61);
  EXPECT_EQ(B.Canvas().Pixels(30, 155), clBlue);
  EXPECT_EQ(B.Canvas().Pixels(30, 275), clBlue);
  EXPECT_EQ(B.Canvas().Pixels(40, 10), clSilver);
}

class MassSpec : public ::testing::Test {
protected:
  TBitmap Pic{380, 220};
  TVectorSink Spectrum, Marker;
};

TEST_F(MassSpec, SampleFollowsItsRules) {
  TMassSpectrometer M(Pic.Canvas(), Spectrum, Marker, 7);
  std::set<std::vector<int>> Samples;
  for (int Round = 0; Round < 200; ++Round) {
    ASSERT_EQ(M.Masses.size(), 10u);
    EXPECT_GE(M.Masses[0].Mass, 1);
    EXPECT_LE(M.Masses[0].Mass, 10);
    std::vector<int> Key;
    for (int I = 0; I < 10; ++I) {
      if (I > 0) {
        EXPECT_GE(M.Masses[I].Mass, 20 * I - 9);
        EXPECT_LE(M.Masses[I].Mass, 20 * I + 10);
      }
      EXPECT_GE(M.Masses[I].Abundance, 0);
      EXPECT_LE(M.Masses[I].Abundance, 99);
      Key.push_back(M.Masses[I].Mass);
    }
    Samples.insert(Key);
    ASSERT_EQ(Spectrum.Count(), 201);
    M.NewMasses();
  }
  EXPECT_GT(Samples.size(), 190u); // new masses really are new
  // The same seed gives the same sample.
  TVectorSink S2, M2;
  TMassSpectrometer A(Pic.Canvas(), S2, M2, 42), B(Pic.Canvas(), S2, M2, 42);
  for (int I = 0; I < 10; ++I) EXPECT_EQ(A.Masses[I].Mass, B.Masses[I].Mass);
}

TEST_F(MassSpec, SpectrumPeaksAreThePercentages) {
  TMassSpectrometer M(Pic.Canvas(), Spectrum, Marker, 1);
  for (int I = 0; I < 10; ++I) M.Masses[I] = {20 * I + 5, I == 3 ? 60 : (I == 7 ? 40 : 0)};
  M.FillSpectrum();
  ASSERT_EQ(Spectrum.Count(), 201);
  EXPECT_EQ(Spectrum.X[0], 0);
  EXPECT_EQ(Spectrum.X[200], 200);
  // Mass 65 holds 60 % and 145 holds 40 %; one mass unit away a peak falls by e.
  EXPECT_NEAR(Spectrum.Y[65], 60, 1e-9);
  EXPECT_NEAR(Spectrum.Y[145], 40, 1e-9);
  EXPECT_NEAR(Spectrum.Y[66], 60 / M_E, 1e-9);
  EXPECT_NEAR(Spectrum.MaxYValue(), 60, 1e-9);
  EXPECT_EQ(Spectrum.Colours[0], clRed);
}

TEST_F(MassSpec, NoAbundanceAtAllGivesAFlatSpectrum) {
  TMassSpectrometer M(Pic.Canvas(), Spectrum, Marker, 1);
  for (TIsotopePeak &P : M.Masses) P.Abundance = 0;
  M.FillSpectrum();
  ASSERT_EQ(Spectrum.Count(), 201);
  for (double Y : Spectrum.Y) EXPECT_EQ(Y, 0);
  M.Draw(6000);
  ASSERT_EQ(Marker.Count(), 2);
  EXPECT_EQ(Marker.Y[1], 0);
}

TEST_F(MassSpec, MarkerStandsAtTheDetectedMass) {
  TMassSpectrometer M(Pic.Canvas(), Spectrum, Marker, 3);
  M.Draw(4500);
  ASSERT_EQ(Marker.Count(), 2);
  EXPECT_NEAR(Marker.X[0], 249.95, 0.005);
  EXPECT_EQ(Marker.X[0], Marker.X[1]);
  EXPECT_EQ(Marker.Y[0], 0);
  EXPECT_EQ(Marker.Y[1], Spectrum.MaxYValue());
  // The series' own colour (green) shows: a fast line has no colour per point.
  EXPECT_EQ(Marker.Colours[0], clDefault);
  M.Draw(10500);
  ASSERT_EQ(Marker.Count(), 2);
  EXPECT_NEAR(Marker.X[0], 0.620, 0.0005);
  EXPECT_EQ(TMassSpectrometer::PointerX(4500), 75);
  EXPECT_EQ(TMassSpectrometer::PointerX(10500), 125);
  EXPECT_EQ(TMassSpectrometer::PointerX(7500), 100);
  EXPECT_EQ(TMassSpectrometer::PathRadius(100, 6000), 201);
  // The detected mass has radius 150 (within rounding).
  EXPECT_EQ(TMassSpectrometer::PathRadius(250, 4500), 150);
}

// The lowest blue pixel's x in the field's last row inside the clip.
std::vector<int> BlueInLastRow(TBitmap &B) {
  std::vector<int> Xs;
  for (int X = 151; X < 350; ++X)
    if (B.Canvas().Pixels(X, 179) == clBlue) Xs.push_back(X);
  return Xs;
}

TEST_F(MassSpec, PathsMeetTheDetectorOrPassIt) {
  TMassSpectrometer M(Pic.Canvas(), Spectrum, Marker, 3);
  for (TIsotopePeak &P : M.Masses) P = {250, 50}; // r = 150 at 4500
  M.Draw(4500);
  std::vector<int> Xs = BlueInLastRow(Pic);
  ASSERT_FALSE(Xs.empty());
  EXPECT_GE(Xs.front(), 297);
  EXPECT_LE(Xs.back(), 304);
  EXPECT_EQ(Pic.Canvas().Pixels(300, 195), clLime); // the detector below
  // Pointer tip at x 75, the chamber's field dots, the red source.
  EXPECT_EQ(Pic.Canvas().Pixels(75, 85), clBlack);
  EXPECT_EQ(Pic.Canvas().Pixels(151 + 8 * 3, 11 + 8 * 2), clBlack);
  EXPECT_EQ(Pic.Canvas().Pixels(152, 100), TColor(0x00E0FFFF));
  EXPECT_EQ(Pic.Canvas().Pixels(10, 30), clRed);
  EXPECT_EQ(Pic.Canvas().Pixels(100, 30), clBlue); // the beam
  // Nothing of the paths outside the field.
  EXPECT_EQ(CountColor(Pic, clBlue, TRect(0, 31, 150, 118)), 0); // the cell below has blue paint

  for (TIsotopePeak &P : M.Masses) P = {100, 50}; // r = 201 at 6000
  M.Draw(6000);
  Xs = BlueInLastRow(Pic);
  ASSERT_FALSE(Xs.empty());
  EXPECT_NEAR(Xs.front(), 344, 1);
  EXPECT_EQ(CountColor(Pic, clBlue, TRect(297, 179, 305, 180)), 0);
  EXPECT_EQ(Pic.Canvas().Pixels(TMassSpectrometer::PointerX(6000), 85), clBlack);
}

} // namespace

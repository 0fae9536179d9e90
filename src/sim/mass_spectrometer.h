#pragma once
// TMassSpectrometer: a magnetic-sector mass spectrometer with a sample of ten random
// isotopes. It draws the apparatus for an accelerating setting and fills two graphs: the
// sample's mass spectrum and a vertical marker at the mass that reaches the detector.
//
// Path radius in the field, in pixels: r = Round(sqrt(e^(V / 1000) * M)) for mass M at
// setting V; the detector sits where a path of radius 150 leaves the field, so the mass
// detected at V is 22500 / e^(V / 1000). Units are the picture's, no constants.
#include <cstdint>
#include <random>
#include <vector>

#include "platform/canvas.h"
#include "sim/series_sink.h"

struct TIsotopePeak {
  int Mass = 0;
  int Abundance = 0; // relative, 0..99
};

class TMassSpectrometer {
public:
  // Draws a first sample (from Seed) and fills the spectrum. The canvas and the series
  // are used, not owned.
  TMassSpectrometer(TCanvas &ACanvas, TSeriesSink &ASpectrumSeries, TSeriesSink &AMarkerSeries,
                    uint32_t Seed = ClockSeed());
  TMassSpectrometer(const TMassSpectrometer &) = delete;
  TMassSpectrometer &operator=(const TMassSpectrometer &) = delete;

  TSeriesSink &SpectrumSeries; // drawn red
  TSeriesSink &MarkerSeries;   // the detector marker: the series' own colour shows
  TCanvas *Canvas;
  int Width = 380;
  int Height = 220;
  std::vector<TIsotopePeak> Masses; // always 10 entries

  // A new random sample and its spectrum; the caller then draws.
  void NewMasses();
  // The apparatus for accelerating setting V onto Canvas at (0, 0), and the marker.
  void Draw(int V);
  // The spectrum of Masses: 201 points, x = 0..200.
  void FillSpectrum();

  static int PathRadius(int Mass, int V);
  static double DetectedMass(int V);
  // The x of the supply's pointer tip.
  static int PointerX(int V);
  static uint32_t ClockSeed();

private:
  std::mt19937 Generator;
  int Random(int N); // 0..N-1
};

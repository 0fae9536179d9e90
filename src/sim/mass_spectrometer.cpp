#include "sim/mass_spectrometer.h"

#include <chrono>
#include <cmath>
#include <cstdlib>

#include "platform/bitmap.h"
#include "platform/numbers.h"

namespace {
// Beam height and the point where the beam enters the field.
constexpr int BeamY = 30;
constexpr int EntryX = 150;
const TRect FieldClip(150, 30, 350, 180);
} // namespace

uint32_t TMassSpectrometer::ClockSeed() {
  return uint32_t(std::chrono::steady_clock::now().time_since_epoch().count());
}

TMassSpectrometer::TMassSpectrometer(TCanvas &ACanvas, TSeriesSink &ASpectrumSeries,
                                     TSeriesSink &AMarkerSeries, uint32_t Seed)
    : SpectrumSeries(ASpectrumSeries), MarkerSeries(AMarkerSeries), Canvas(&ACanvas),
      Generator(Seed) {
  NewMasses();
}

int TMassSpectrometer::Random(int N) {
  return int(std::uniform_int_distribution<int>(0, N - 1)(Generator));
}

void TMassSpectrometer::NewMasses() {
  Masses.assign(10, {});
  Masses[0].Mass = Random(10) + 1;
  for (int I = 1; I < 10; ++I) Masses[I].Mass = 20 * I + 10 - Random(20);
  for (TIsotopePeak &P : Masses) P.Abundance = Random(100);
  FillSpectrum();
}

void TMassSpectrometer::FillSpectrum() {
  SpectrumSeries.Clear();
  int Total = 0;
  for (const TIsotopePeak &P : Masses) Total += P.Abundance;
  for (int X = 0; X <= 200; ++X) {
    double Y = 0;
    // Every abundance 0 (a chance of 1e-20): a flat spectrum rather than a division by 0.
    if (Total > 0)
      for (const TIsotopePeak &P : Masses)
        Y += (100.0 * P.Abundance / Total) * std::exp(-std::abs(P.Mass - X));
    SpectrumSeries.AddXY(X, Y, {}, clRed);
  }
}

int TMassSpectrometer::PathRadius(int Mass, int V) {
  return Round(std::sqrt(std::exp(V * 0.001) * Mass));
}

double TMassSpectrometer::DetectedMass(int V) { return 22500 / std::exp(V * 0.001); }

int TMassSpectrometer::PointerX(int V) { return 75 + Round((V - 4500) * 50 / 6000.0); }

void TMassSpectrometer::Draw(int V) {
  TBitmap B(Width, Height);
  TCanvas &C = B.Canvas();
  // The chamber and the field region with its dots.
  C.Brush().Color = clSilver;
  const TPoint Outer[] = {{5, 5}, {355, 5}, {355, 185}, {145, 185}, {145, 55}, {5, 55}};
  C.Polygon(Outer);
  C.Brush().Color = clWhite;
  const TPoint Inner[] = {{10, 10}, {350, 10}, {350, 180}, {150, 180}, {150, 50}, {10, 50}};
  C.Polygon(Inner);
  C.Brush().Color = 0x00E0FFFF;
  C.FillRect(TRect(151, 11, 350, 180));
  for (int I = 0; I <= 24; ++I)
    for (int J = 0; J <= 21; ++J) C.SetPixels(151 + 8 * I, 11 + 8 * J, clBlack);

  // The ion source, its slits, the supply with its pointer and the cell.
  C.Pen().Color = clBlue;
  C.MoveTo(5, BeamY);
  C.LineTo(150, BeamY);
  C.Pen().Color = clBlack;
  C.Brush().Color = clGray;
  C.Rectangle(135, 15, 137, 28);
  C.Rectangle(135, 32, 137, 45);
  for (int X : {40, 60}) {
    C.Rectangle(X, 15, X + 2, 28);
    C.Rectangle(X, 32, X + 2, 45);
  }
  C.Brush().Color = clWhite;
  C.Rectangle(40, 92, 140, 130);
  C.Rectangle(70, 85, 130, 100);
  const int P = PointerX(V);
  const TPoint Pointer[] = {{P, 85}, {P + 4, 78}, {P - 4, 78}};
  C.Polygon(Pointer);
  C.MoveTo(P, 78);
  C.LineTo(P, 70);
  C.LineTo(61, 70);
  C.LineTo(61, 44);
  C.MoveTo(41, 44);
  C.LineTo(41, 92);
  try {
    TBitmap Cell;
    Cell.LoadFromResource("sim/CELL");
    C.Draw(50, 118, Cell);
  } catch (const Exception &) {
    // The picture is complete without the cell's artwork.
  }
  C.Brush().Color = clRed;
  C.Rectangle(5, 27, 20, 33);

  // Ion paths: the right half of each circle through the entry point, inside the field.
  C.Brush().Style = bsClear;
  C.SelectClipRect(FieldClip);
  C.Pen().Color = clBlue;
  for (const TIsotopePeak &Peak : Masses) {
    const int R = PathRadius(Peak.Mass, V);
    C.Ellipse(EntryX - R, BeamY, EntryX + R, BeamY + 2 * R);
  }
  C.RemoveClip();
  C.Brush().Style = bsSolid;
  C.Brush().Color = clLime;
  C.Pen().Color = clBlack;
  C.Rectangle(297, 180, 304, 210);

  TRect Edge(0, 0, Width, Height);
  C.DrawEdge(Edge, EDGE_SUNKEN, BF_RECT);
  Canvas->Draw(0, 0, B);

  // The marker: a vertical line at the detected mass, as high as the spectrum.
  const double M = DetectedMass(V);
  const double YMax = SpectrumSeries.Count() > 0 ? SpectrumSeries.MaxYValue() : 0;
  MarkerSeries.Clear();
  MarkerSeries.AddXY(M, 0);
  MarkerSeries.AddXY(M, YMax);
}

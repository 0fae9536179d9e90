// Tracing time of field plots: a dipole, two equal charges and a quadrupole, each traced
// with the message pump running as in the program, then redrawn from the stored lines.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/bitmap.h"
#include "sim/field_plot.h"

namespace {
double Ms(std::chrono::steady_clock::duration D) { return std::chrono::duration<double, std::milli>(D).count(); }

void Measure(const char *Name, std::initializer_list<std::array<int, 3>> Charges, int Runs) {
  TFieldPlot F(16);
  for (auto C : Charges) {
    int X = C[0] * 16, Y = C[1] * 16;
    F.AddCharge(X, Y, C[2]);
  }
  F.ShowGrid = true;
  F.ShowArrows = true;
  TBitmap B(641, 641);
  double Best = 1e9, Sum = 0;
  size_t Points = 0;
  for (int R = 0; R < Runs; ++R) {
    auto T0 = std::chrono::steady_clock::now();
    F.PlotFieldLines(B.Canvas());
    double T = Ms(std::chrono::steady_clock::now() - T0);
    Best = std::min(Best, T);
    Sum += T;
  }
  for (const TPointArray &L : F.Lines) Points += L.size();
  auto T0 = std::chrono::steady_clock::now();
  for (int R = 0; R < Runs; ++R) F.Draw(B.Canvas());
  double Draw = Ms(std::chrono::steady_clock::now() - T0) / Runs;
  std::printf("%-22s lines %3zu  steps %6zu  trace best %7.2f ms  mean %7.2f ms  (%.2f us/step)  redraw %6.2f ms\n",
              Name, F.Lines.size(), Points, Best, Sum / Runs, Best * 1000 / double(Points ? Points : 1), Draw);
}
} // namespace

int main(int argc, char **argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication App(argc, argv);
  Measure("dipole +1/-1", {{17, 20, 1}, {23, 20, -1}}, 10);
  Measure("two equal +1", {{15, 20, 1}, {25, 20, 1}}, 10);
  Measure("quadrupole", {{15, 15, 1}, {25, 15, -1}, {15, 25, -1}, {25, 25, 1}}, 5);
  Measure("single +3", {{20, 20, 3}}, 10);
  return 0;
}

// Tracing time of field plots on an offscreen bitmap: a dipole, two equal charges, a
// quadrupole and one charge, each traced without a pause and then with the program's
// message pump after every step (as the page runs it: inside a loop, through
// Application->ProcessMessages), and redrawn from the stored lines. The field page's plots
// in the window, to the screen, are timed by field_page_clicks.
#include <QApplication>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "median.h"
#include "platform/application.h"
#include "platform/bitmap.h"
#include "sim/field_plot.h"
#include "sim/shared_constants.h"

namespace {
double Ms(std::chrono::steady_clock::duration D) {
  return std::chrono::duration<double, std::milli>(D).count();
}

void Measure(const char *Name, std::initializer_list<std::array<int, 3>> Charges, int Runs) {
  TFieldPlot F(16);
  for (auto C : Charges) {
    int X = C[0] * 16, Y = C[1] * 16;
    F.AddCharge(X, Y, C[2]);
  }
  F.ShowGrid = true;
  F.ShowArrows = true;
  TBitmap B(641, 641);
  const TYield Pump = [] {
    Application->ProcessMessages();
    return !AbortFlag;
  };
  std::vector<double> Bare, Pumped;
  for (int R = 0; R < Runs; ++R) {
    auto T0 = std::chrono::steady_clock::now();
    F.PlotFieldLines(B.Canvas());
    Bare.push_back(Ms(std::chrono::steady_clock::now() - T0));
    TLoopGuard Loop;
    T0 = std::chrono::steady_clock::now();
    F.PlotFieldLines(B.Canvas(), Pump);
    Pumped.push_back(Ms(std::chrono::steady_clock::now() - T0));
  }
  size_t Points = 0;
  for (const TPointArray &L : F.Lines) Points += L.size();
  auto T0 = std::chrono::steady_clock::now();
  for (int R = 0; R < Runs; ++R) F.Draw(B.Canvas());
  const double Draw = Ms(std::chrono::steady_clock::now() - T0) / Runs;
  const double M = Median(Bare), P = Median(Pumped);
  std::printf("%-14s lines %3zu  steps %5zu  trace %6.2f ms (%.2f us/step)  pumped %6.2f ms (x "
              "%.2f)  redraw %5.2f ms\n",
              Name, F.Lines.size(), Points, M, M * 1000 / double(Points ? Points : 1), P, P / M,
              Draw);
}
} // namespace

int main(int argc, char **argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication App(argc, argv);
  std::printf("medians of 11 runs each\n");
  Measure("dipole +1/-1", {{17, 20, 1}, {23, 20, -1}}, 11);
  Measure("two equal +1", {{15, 20, 1}, {25, 20, 1}}, 11);
  Measure("quadrupole", {{15, 15, 1}, {25, 15, -1}, {15, 25, -1}, {25, 25, 1}}, 11);
  Measure("single +3", {{20, 20, 3}}, 11);
  return 0;
}

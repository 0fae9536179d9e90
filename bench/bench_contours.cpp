// Contour pass and 3-D surface timings of the field plot on off-screen bitmaps, and how
// soon a stop ends a pass.
#include <QApplication>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/application.h"
#include "platform/bitmap.h"
#include "sim/field_plot.h"
#include "sim/shared_constants.h"
#include "stop_latency.h"

namespace {

struct TArrangement {
  const char *Name;
  std::vector<std::array<int, 3>> Charges; // grid x, grid y, value
};

void Place(TFieldPlot &P, const TArrangement &A) {
  P.Clear(0);
  for (auto [GX, GY, V] : A.Charges) {
    int X = GX * P.GridSize, Y = GY * P.GridSize;
    P.AddCharge(X, Y, V);
  }
}

template <class F>
double Millis(int Runs, F &&Body) {
  const auto T0 = std::chrono::steady_clock::now();
  for (int K = 0; K < Runs; ++K) Body();
  const auto T1 = std::chrono::steady_clock::now();
  return std::chrono::duration<double, std::milli>(T1 - T0).count() / Runs;
}

} // namespace

int main(int argc, char **argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication App(argc, argv);
  std::vector<TArrangement> Sets = {{"one charge", {{20, 20, 1}}},
                                    {"dipole", {{17, 20, 1}, {23, 20, -1}}},
                                    {"parallel plates", {}}};
  for (int K = -5; K <= 5; ++K) {
    Sets[2].Charges.push_back({18, 20 + K, 1});
    Sets[2].Charges.push_back({22, 20 + K, -1});
  }
  for (int Grid : {16, 24}) {
    TFieldPlot P(Grid);
    TBitmap B(P.Width + 1, P.Height + 1);
    for (const auto &A : Sets) {
      Place(P, A);
      size_t Segments = 0;
      const double Ms = Millis(5, [&] {
        P.Clear(3);
        P.PlotEquipotentials(B.Canvas());
        Segments = P.Segments.size();
      });
      std::printf("contours  grid %2d  %-16s %8.2f ms  (%zu segments, %d cells)\n", Grid, A.Name,
                  Ms, Segments, (P.Width / P.ContourSpacing) * (P.Height / P.ContourSpacing));
    }
  }
  {
    // How soon a stop ends each pass run as the page runs it (inside a loop, with the
    // program's pump after every step): the stop is queued to the event loop, as the
    // "abort" button's click is, at a point spread over the middle of the pass.
    TFieldPlot P(24);
    Place(P, Sets[2]);
    TBitmap B(P.Width + 1, P.Height + 1);
    const TYield Pump = [] {
      Application->ProcessMessages();
      return !AbortFlag;
    };
    for (int Pass = 0; Pass < 2; ++Pass) {
      auto Plot = [&] {
        TLoopGuard Loop;
        if (Pass == 0) P.PlotFieldLines(B.Canvas(), Pump);
        else P.PlotEquipotentials(B.Canvas(), Pump);
      };
      double Whole = 1e300;
      for (int K = 0; K < 5; ++K) Whole = std::min(Whole, Millis(1, Plot));
      stop_latency::TLatencies L;
      for (int K = 0; K < 21; ++K)
        L.Add(stop_latency::Measure(
            &App, [] { AbortFlag = true; }, Plot, Whole * (0.1 + 0.1 * (K % 7))));
      std::printf(
          "stop      grid 24  %-16s %s pass (%.2f ms whole), from the stop queued to its end:\n",
          Sets[2].Name, Pass == 0 ? "field-line" : "contour", Whole);
      L.Print(Pass == 0 ? "field lines" : "contours");
    }
  }
  TFieldPlot P(16);
  Place(P, Sets[2]);
  TBitmap B(400, 400);
  const double Ms = Millis(50, [&] { P.Draw3D(B.Canvas(), -30, -30); });
  std::printf("surface   grid 16  %-16s %8.2f ms per picture\n", Sets[2].Name, Ms);
  return 0;
}

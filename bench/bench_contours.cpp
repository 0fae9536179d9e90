// Contour pass and 3-D surface timings of the field plot on off-screen bitmaps.
#include <QApplication>
#include <QTimer>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/bitmap.h"
#include "sim/field_plot.h"
#include "sim/shared_constants.h"

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
    // How soon a stop ends each pass: the stop comes from the event loop 20 ms into the
    // pass, as the "abort" button's click does.
    TFieldPlot P(24);
    Place(P, Sets[2]);
    TBitmap B(P.Width + 1, P.Height + 1);
    for (int Pass = 0; Pass < 2; ++Pass) {
      std::chrono::steady_clock::time_point Stop;
      QTimer::singleShot(20, [&] {
        Stop = std::chrono::steady_clock::now();
        AbortFlag = true;
      });
      if (Pass == 0) P.PlotFieldLines(B.Canvas());
      else P.PlotEquipotentials(B.Canvas());
      const auto End = std::chrono::steady_clock::now();
      if (Stop == std::chrono::steady_clock::time_point()) {
        std::printf("stop      the pass ended before the stop came\n");
        continue;
      }
      std::printf("stop      grid 24  %-16s %8.3f ms from the stop to the end of the %s\n",
                  Sets[2].Name, std::chrono::duration<double, std::milli>(End - Stop).count(),
                  Pass == 0 ? "field lines" : "contours");
    }
  }
  TFieldPlot P(16);
  Place(P, Sets[2]);
  TBitmap B(400, 400);
  const double Ms = Millis(50, [&] { P.Draw3D(B.Canvas(), -30, -30); });
  std::printf("surface   grid 16  %-16s %8.2f ms per picture\n", Sets[2].Name, Ms);
  return 0;
}

// Contour pass and 3-D surface timings of the field plot on off-screen bitmaps.
#include <QApplication>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/bitmap.h"
#include "sim/field_plot.h"

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
  TFieldPlot P(16);
  Place(P, Sets[2]);
  TBitmap B(400, 400);
  const double Ms = Millis(50, [&] { P.Draw3D(B.Canvas(), -30, -30); });
  std::printf("surface   grid 16  %-16s %8.2f ms per picture\n", Sets[2].Name, Ms);
  return 0;
}

// Redraw time of the machine pages' pictures: the dynamo and motor scenes at their start
// view and turning, the force on a conductor, the mass spectrometer and the induction
// apparatus, each drawn into a paint-box-sized bitmap as the pages do.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <functional>

#include "platform/bitmap.h"
#include "sim/conductor.h"
#include "sim/lenz.h"
#include "sim/machine_scene.h"
#include "sim/mass_spectrometer.h"
#include "sim/shared_constants.h"

namespace {

class TNullSink : public TSeriesSink {
public:
  std::vector<double> Y;
  void Clear() override { Y.clear(); }
  int AddXY(double, double AY, const std::string &, TColor) override {
    Y.push_back(AY);
    return int(Y.size()) - 1;
  }
  int Count() const override { return int(Y.size()); }
  double XValue(int I) const override { return I; }
  double YValue(int I) const override { return Y[size_t(I)]; }
  void SetXValue(int, double) override {}
  void SetYValue(int I, double V) override { Y[size_t(I)] = V; }
  double MaxYValue() const override { return 0; }
};

void Measure(const char *Name, int Runs, const std::function<void(int)> &Draw) {
  Draw(0); // warm the font and region caches
  auto T0 = std::chrono::steady_clock::now();
  for (int R = 0; R < Runs; ++R) Draw(R);
  const double Ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - T0).count();
  std::printf("%-34s %8.3f ms per redraw (%d redraws)\n", Name, Ms / Runs, Runs);
}

} // namespace

int main(int argc, char **argv) {
  QApplication App(argc, argv);
  NoPalette = true; // the program's shading
  TBitmap Dyn(401, 301), Mot(401, 401), Bil(301, 401), Ms(380, 220), Lenz(81, 430);
  Measure("dynamo, start view", 500, [&](int) { DrawDynamo(Dyn.Canvas(), -15, 30, 0); });
  Measure("dynamo, turning", 500, [&](int R) { DrawDynamo(Dyn.Canvas(), -15, 30, 3 * R % 360); });
  SetDynamoZoom(20);
  Measure("dynamo, 200% zoom", 500, [&](int R) { DrawDynamo(Dyn.Canvas(), -15, 30, 3 * R % 360); });
  SetDynamoZoom(10);
  Measure("motor, start view", 500, [&](int) { DrawMotor(Mot.Canvas(), -15, 30, 0); });
  Measure("motor, turning", 500, [&](int R) { DrawMotor(Mot.Canvas(), -15, 30, 2 * R % 360); });
  Measure("motor, rotated view", 500, [&](int R) { DrawMotor(Mot.Canvas(), R % 170 - 85, 60, 0); });
  Measure("force on a conductor", 500, [&](int R) { DrawBil(Bil.Canvas(), 0, R % 361 - 180, 1); });
  TNullSink S, M;
  TMassSpectrometer Spec(Ms.Canvas(), S, M, 1);
  Measure("mass spectrometer", 500, [&](int R) { Spec.Draw(4500 + 12 * (R % 500)); });
  Measure("induction apparatus", 500, [&](int R) { DrawLenzApparatus(Lenz.Canvas(), 15, R % 200); });
  return 0;
}

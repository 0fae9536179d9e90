// Drawing time of the coil and the three electron-deflection pictures offscreen: the coil's
// full plot and its redraw from the stored lines, and one redraw of each deflection picture
// at its start values (what a scroll-bar step costs). With a folder argument the pictures
// are also saved there as PNG files.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "platform/bitmap.h"
#include "sim/electric_deflection.h"
#include "sim/helix.h"
#include "sim/magnetic_deflection.h"
#include "sim/solenoid.h"

namespace {
double Ms(std::chrono::steady_clock::duration D) { return std::chrono::duration<double, std::milli>(D).count(); }

void Measure(const char *Name, int Runs, const std::function<void()> &F) {
  F(); // warm up: fonts, resources
  double Best = 1e9, Sum = 0;
  for (int R = 0; R < Runs; ++R) {
    auto T0 = std::chrono::steady_clock::now();
    F();
    double T = Ms(std::chrono::steady_clock::now() - T0);
    Best = std::min(Best, T);
    Sum += T;
  }
  std::printf("%-34s best %7.3f ms  mean %7.3f ms\n", Name, Best, Sum / Runs);
}
} // namespace

int main(int argc, char **argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication App(argc, argv);
  const std::string Dir = argc > 1 ? argv[1] : "";

  TSolenoid S(600, 600);
  TBitmap Coil(600, 600);
  Measure("coil: draw + plot (1 turn)", 20, [&] {
    S.Draw(Coil.Canvas());
    S.PlotFieldLines(Coil.Canvas());
  });
  Measure("coil: redraw from stored lines", 50, [&] { S.DrawAll(Coil.Canvas()); });
  S.Turns = 10;
  S.Separation = 20;
  S.SetRadius(100);
  Measure("coil: draw + plot (10 turns, r 100)", 5, [&] {
    S.Draw(Coil.Canvas());
    S.PlotFieldLines(Coil.Canvas());
  });
  if (!Dir.empty()) Coil.SaveToPng(Dir + "/coil10.png");

  TBitmap E(350, 300);
  const TRect Plates = Rect(60, 130, 160, 170);
  Measure("electric deflection redraw", 100, [&] { DrawElectricDeflection(E.Canvas(), 200, 60, Plates); });
  Measure("electric close-up", 100, [&] { DrawScreenCloseUp(E.Canvas(), 330, 120, 200, 60, Plates); });
  if (!Dir.empty()) E.SaveToPng(Dir + "/edef.png");

  TBitmap M(350, 320);
  Measure("magnetic deflection 2-D redraw", 100, [&] { DrawMagneticDeflection(M.Canvas(), 100, 500, 20, true); });
  if (!Dir.empty()) M.SaveToPng(Dir + "/bdef2d.png");
  Measure("magnetic deflection 3-D redraw", 100,
          [&] { DrawMagneticDeflection3D(M.Canvas(), 100, 500, {-30, -15}, 20, true); });
  if (!Dir.empty()) M.SaveToPng(Dir + "/bdef3d.png");

  TBitmap H(350, 320);
  Measure("helix redraw (U 25, B 500, 80)", 100, [&] { DrawHelix(H.Canvas(), 25, 500, {-20, 25}, 80, true); });
  if (!Dir.empty()) H.SaveToPng(Dir + "/helix.png");
  Measure("helix redraw (U 10, B 1000, 80)", 100, [&] { DrawHelix(H.Canvas(), 10, 1000, {-20, 25}, 80, true); });
  return 0;
}

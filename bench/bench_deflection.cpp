// Drawing time of the coil and the three electron-deflection pictures, offscreen and in a
// shown paint box (drawn, then the event loop run until the screen has it): the coil's
// full plot (pumping after every step, as the page does) and its redraw from the stored
// lines, and one redraw of each deflection picture (what a scroll-bar step costs). With a
// folder argument the pictures are also saved there as PNG files.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/paint_box.h"
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

  // The same into a shown paint box, the screen updated after each drawing.
  TPaintBox Box;
  Box.SetBounds(0, 0, 600, 600);
  Box.show();
  QApplication::processEvents();
  TSolenoid W(600, 600);
  const TYield Pump = [] {
    Application->ProcessMessages();
    return true;
  };
  Measure("window: coil draw + plot, pumping", 20, [&] {
    W.Draw(Box.Canvas());
    W.PlotFieldLines(Box.Canvas(), Pump);
    QApplication::processEvents();
  });
  Measure("window: coil redraw", 50, [&] {
    W.DrawAll(Box.Canvas());
    QApplication::processEvents();
  });
  Measure("window: electric deflection", 100, [&] {
    DrawElectricDeflection(Box.Canvas(), 200, 60, Plates);
    QApplication::processEvents();
  });
  Measure("window: magnetic deflection 2-D", 100, [&] {
    DrawMagneticDeflection(Box.Canvas(), 100, 500, 20, true);
    QApplication::processEvents();
  });
  Measure("window: magnetic deflection 3-D", 100, [&] {
    DrawMagneticDeflection3D(Box.Canvas(), 100, 500, {-30, -15}, 20, true);
    QApplication::processEvents();
  });
  Measure("window: helix", 100, [&] {
    DrawHelix(Box.Canvas(), 25, 500, {-20, 25}, 80, true);
    QApplication::processEvents();
  });
  return 0;
}

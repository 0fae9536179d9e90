// The planetary-orbit and body animations at normal speed: frames a second and the share
// of one core they take, each run for a few seconds into a shown paint box with the frame
// pacer between frames, as the pages run them.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/frame_pacer.h"
#include "platform/paint_box.h"
#include "sim/bodies.h"
#include "sim/planet_orbit.h"

namespace {
using Clock = std::chrono::steady_clock;

template <class Run>
void Measure(const char *Name, double Seconds, Run &&R) {
  TPaintBox Box;
  Box.SetBounds(0, 0, OrbitPicSize, OrbitPicSize);
  Box.show();
  QApplication::processEvents();
  TFramePacer Pacer;
  int Frames = 0;
  const auto T0 = Clock::now();
  const std::clock_t C0 = std::clock();
  R(Box.Canvas(), [&] {
    ++Frames;
    Pacer.WaitForNextFrame();
    return Clock::now() - T0 < std::chrono::duration<double>(Seconds);
  });
  const double Wall = std::chrono::duration<double>(Clock::now() - T0).count();
  const double Cpu = double(std::clock() - C0) / CLOCKS_PER_SEC;
  std::printf("%-28s %5d frames in %.2f s: %6.1f frames/s, %5.1f %% of one core\n", Name,
              Frames, Wall, Frames / Wall, 100 * Cpu / Wall);
}
} // namespace

int main(int argc, char **argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication App(argc, argv);
  const double Seconds = argc > 1 ? std::atof(argv[1]) : 3;
  Measure("orbit (20 steps a frame)", Seconds, [](TCanvas &C, const TYield &Y) {
    RunOrbit(C, [] { return TOrbitView{}; }, 1, 0, 0, 1, Y);
  });
  Measure("two bodies (100 steps)", Seconds, [](TCanvas &C, const TYield &Y) {
    auto B = InitBodies();
    RunBodies(C, [] { return TOrbitView{30, 200, 200}; }, std::span(B.data(), 2), Y);
  });
  Measure("three bodies (100 steps)", Seconds, [](TCanvas &C, const TYield &Y) {
    auto B = InitBodies();
    RunBodies(C, [] { return TOrbitView{30, 200, 200}; }, B, Y);
  });
  // The integrators alone, unpaced.
  TPlanetOrbit O;
  O.Start(1, 0, 0, 1);
  auto T0 = Clock::now();
  for (int I = 0; I < 10000000; ++I) O.Step();
  std::printf("orbit step %.1f ns\n", std::chrono::duration<double, std::nano>(Clock::now() - T0).count() / 1e7);
  auto B = InitBodies();
  StartBodies(B);
  T0 = Clock::now();
  for (int I = 0; I < 1000000; ++I) StepBodies(B);
  std::printf("three-body step %.1f ns\n", std::chrono::duration<double, std::nano>(Clock::now() - T0).count() / 1e6);
  return 0;
}

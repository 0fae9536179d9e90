// The lattice animation and the oil drop clock as they run in the window: frames a second
// and the share of one core, on a shown paint box with the frame pacer and the 100 ms
// timer; then the bare cost of one lattice frame and one oil drop tick.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/frame_pacer.h"
#include "platform/paint_box.h"
#include "platform/timer.h"
#include "sim/alpha_lattice.h"
#include "sim/oil_drops.h"
#include "sim/shared_constants.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds() {
  rusage U{};
  getrusage(RUSAGE_SELF, &U);
  return U.ru_utime.tv_sec + U.ru_stime.tv_sec + (U.ru_utime.tv_usec + U.ru_stime.tv_usec) / 1e6;
}

double Seconds(Clock::duration D) { return std::chrono::duration<double>(D).count(); }

void LatticeOnScreen() {
  TPaintBox Box;
  Box.SetBounds(0, 0, 400, 400);
  Box.show();
  QApplication::processEvents();
  TFramePacer Pacer;
  long Frames = 0;
  double Wall = 0, Cpu = 0;
  for (int YPos : {3, 60, -120}) {
    const auto T0 = Clock::now();
    const double C0 = CpuSeconds();
    const TAlphaState S = RunAlphaLattice(Box.Canvas(), false, AlphaStartX, YPos / 100.0, AlphaStartVX, 0,
                                          [&] {
                                            Pacer.WaitForNextFrame();
                                            return !AbortFlag;
                                          }, TLatticeLayout());
    Wall += Seconds(Clock::now() - T0);
    Cpu += CpuSeconds() - C0;
    Frames += S.Frames;
  }
  std::printf("lattice run on screen: %ld frames in %.2f s = %.1f frames/s, %.1f %% of a core\n", Frames,
              Wall, Frames / Wall, 100 * Cpu / Wall);
}

void OilDropsOnScreen(double RunSeconds) {
  TPaintBox Box;
  Box.SetBounds(0, 0, 250, 250);
  Box.show();
  QApplication::processEvents();
  TOilDropExpt Expt(1);
  int ClockTenths = 0, Ticks = 0;
  TTimer Timer;
  Timer.SetInterval(100);
  Timer.OnTimer = [&] {
    Expt.MoveDrops(1500, 1);
    MillikanClockTick(ClockTenths, 1);
    Expt.DrawMillikanView(Box.Canvas());
    ++Ticks;
  };
  Timer.SetEnabled(true);
  const auto T0 = Clock::now();
  const double C0 = CpuSeconds();
  QEventLoop Loop;
  QTimer::singleShot(int(RunSeconds * 1000), &Loop, &QEventLoop::quit);
  Loop.exec();
  const double Wall = Seconds(Clock::now() - T0), Cpu = CpuSeconds() - C0;
  Timer.SetEnabled(false);
  std::printf("oil drop clock on screen: %d ticks in %.2f s, %.2f %% of a core\n", Ticks, Wall, 100 * Cpu / Wall);
}

void BareCosts() {
  TBitmap B(400, 400);
  const auto T0 = Clock::now();
  long Frames = 0, Steps = 0;
  for (int YPos = -150; YPos <= 150; YPos += 10) {
    const TAlphaState S = RunAlphaLattice(B.Canvas(), false, AlphaStartX, YPos / 100.0, AlphaStartVX, 0,
                                          [] { return true; }, TLatticeLayout());
    Frames += S.Frames;
    Steps += S.SubSteps;
  }
  const double T = Seconds(Clock::now() - T0);
  std::printf("lattice frame offscreen: %.1f us a frame (%ld frames, %.2f steps a frame)\n", 1e6 * T / Frames,
              Frames, double(Steps) / Frames);
  TOilDropExpt Expt(1);
  TBitmap V(250, 250);
  const auto T1 = Clock::now();
  for (int I = 0; I < 2000; ++I) {
    Expt.MoveDrops(I % 3000, I % 3);
    Expt.DrawMillikanView(V.Canvas());
  }
  std::printf("oil drop tick offscreen: %.1f us\n", 1e6 * Seconds(Clock::now() - T1) / 2000);
}

} // namespace

int main(int argc, char **argv) {
  QApplication App(argc, argv);
  BareCosts();
  LatticeOnScreen();
  OilDropsOnScreen(3.0);
  return 0;
}

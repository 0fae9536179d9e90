// Animation pacing and the cost of drawing in a window, on the display the environment
// names (run it under xvfb-run):
// - 600 frames of a small animation at normal speed: frames a second, the spread of the
//   frame intervals and the share of one core the program used;
// - "plot E" and "plot V" of the four preset arrangements drawn on a paint box in a shown
//   window against the same plots drawn on an offscreen bitmap.
#include <QApplication>
#include <QElapsedTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <array>
#include <functional>
#include <numeric>
#include <vector>

#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/frame_pacer.h"
#include "platform/paint_box.h"
#include "sim/field_plot.h"
#include "sim/shared_constants.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration D) { return std::chrono::duration<double, std::milli>(D).count(); }

double CpuSeconds() {
  timespec T{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &T);
  return double(T.tv_sec) + double(T.tv_nsec) * 1e-9;
}

// Shows the event loop a little time, so the window is mapped and painted.
void Settle(int Milliseconds) {
  QElapsedTimer T;
  T.start();
  while (T.elapsed() < Milliseconds) Application->ProcessMessages();
}

void Animation(TPaintBox &Box, int Frames) {
  TCanvas &C = Box.Canvas();
  C.Brush().Color = clWhite;
  C.FillRect(Box.ClientRect());
  Settle(200);
  TFramePacer Pacer;
  std::vector<double> Intervals;
  Intervals.reserve(size_t(Frames));
  const double Cpu0 = CpuSeconds();
  const auto Start = Clock::now();
  auto Last = Start;
  int X = 20, Y = 20, DX = 3, DY = 2;
  for (int F = 0; F < Frames; ++F) {
    // A ball bouncing in the box: the old one wiped, the new one drawn.
    C.Brush().Color = clWhite;
    C.Pen().Color = clWhite;
    C.Ellipse(X - 11, Y - 11, X + 12, Y + 12);
    X += DX;
    Y += DY;
    if (X < 12 || X > Box.Width() - 12) DX = -DX;
    if (Y < 12 || Y > Box.Height() - 12) DY = -DY;
    C.Brush().Color = clRed;
    C.Pen().Color = clBlack;
    C.Ellipse(X - 10, Y - 10, X + 11, Y + 11);
    Pacer.WaitForNextFrame();
    const auto Now = Clock::now();
    Intervals.push_back(Ms(Now - Last));
    Last = Now;
  }
  const double Wall = std::chrono::duration<double>(Last - Start).count();
  const double Cpu = CpuSeconds() - Cpu0;
  // The first interval runs from the start, not from a frame.
  std::vector<double> I(Intervals.begin() + 1, Intervals.end());
  const double Mean = std::accumulate(I.begin(), I.end(), 0.0) / double(I.size());
  double Var = 0;
  for (double V : I) Var += (V - Mean) * (V - Mean);
  std::sort(I.begin(), I.end());
  auto Pct = [&I](double P) { return I[std::min(I.size() - 1, size_t(P * double(I.size())))]; };
  std::printf("animation: %d frames in %.2f s: %.2f frames/s (target %.0f)\n", Frames, Wall,
              double(Frames) / Wall, TFramePacer::NormalFramesPerSecond);
  std::printf("  frame interval ms: mean %.2f  sd %.2f  min %.2f  5%% %.2f  median %.2f  95%% %.2f  max %.2f\n",
              Mean, std::sqrt(Var / double(I.size())), I.front(), Pct(0.05), Pct(0.5), Pct(0.95), I.back());
  std::printf("  processor: %.3f s in %.2f s = %.1f %% of one core\n", Cpu, Wall, 100 * Cpu / Wall);
}

struct TPreset {
  const char *Name;
  std::vector<std::array<int, 3>> Charges; // grid squares x, y and charge
};

std::vector<TPreset> Presets() {
  std::vector<TPreset> P = {{"DIPOLE", {{17, 20, 1}, {23, 20, -1}}},
                            {"NP1", {{17, 20, 1}, {23, 20, 1}}},
                            {"NP2", {{17, 17, 1}, {23, 17, 1}, {17, 23, 1}, {23, 23, 1}}},
                            {"PPLATE", {}}};
  for (int K = -5; K <= 5; ++K) {
    P[3].Charges.push_back({18, 20 + K, 1});
    P[3].Charges.push_back({22, 20 + K, -1});
  }
  return P;
}

// Time of one plot on Canvas, from a fresh background with the charges placed.
double TimePlot(const TPreset &P, bool Potential, TCanvas &Canvas, bool InWindow) {
  TFieldPlot F(16);
  for (const auto &C : P.Charges) {
    int X = C[0] * 16, Y = C[1] * 16;
    F.AddCharge(X, Y, C[2]);
  }
  F.Draw(Canvas);
  if (InWindow) Settle(100);
  AbortFlag = false;
  TLoopGuard Loop;
  const auto T0 = Clock::now();
  if (Potential) F.PlotEquipotentials(Canvas);
  else F.PlotFieldLines(Canvas);
  // What the plot left for the screen is part of its cost.
  if (InWindow) Application->ProcessMessages();
  return Ms(Clock::now() - T0);
}

double Best(int Runs, const std::function<double()> &Run) {
  double B = 1e300;
  for (int R = 0; R < Runs; ++R) B = std::min(B, Run());
  return B;
}

} // namespace

int main(int argc, char **argv) {
  QApplication App(argc, argv);
  const int Runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  QWidget Window;
  Window.setWindowTitle("frame pacing");
  auto *Layout = new QVBoxLayout(&Window);
  Layout->setContentsMargins(0, 0, 0, 0);
  auto *Box = new TPaintBox;
  Box->Color = clWhite;
  Box->setFixedSize(641, 641);
  Layout->addWidget(Box);
  Window.show();
  Settle(300);
  std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));

  Animation(*Box, 600);

  TBitmap Offscreen(641, 641);
  std::printf("field plots, best of %d (ms): window / offscreen\n", Runs);
  for (const TPreset &P : Presets())
    for (bool Potential : {false, true}) {
      const double Win = Best(Runs, [&] { return TimePlot(P, Potential, Box->Canvas(), true); });
      const double Off = Best(Runs, [&] { return TimePlot(P, Potential, Offscreen.Canvas(), false); });
      std::printf("  %-7s %-7s %8.1f %8.1f   x %.2f\n", P.Name, Potential ? "plot V" : "plot E", Win, Off,
                  Win / Off);
    }
  return 0;
}

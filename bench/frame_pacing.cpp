// Animation pacing on the display the environment names (run it under xvfb-run): 600
// frames of a small animation at normal speed, each drawn and then waited for as the
// program's animations do (the frame pacer, then the loop's pump): frames a second, the
// spread of the frame intervals and the share of one core the program used. The field
// page's plots in the window are timed by field_page_clicks, through the page itself.
#include <QApplication>
#include <QElapsedTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <numeric>
#include <vector>

#include "platform/application.h"
#include "platform/frame_pacer.h"
#include "platform/paint_box.h"

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
  TLoopGuard Loop;
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
    Application->ProcessMessages();
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

} // namespace

int main(int argc, char **argv) {
  QApplication App(argc, argv);
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
  return 0;
}

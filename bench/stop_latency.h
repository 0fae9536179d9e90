#pragma once
// How soon a running loop answers a stop. The stop is queued to the event loop from
// another thread a given time after the loop began, as the window system delivers a click
// on "abort", and timed from that moment to the loop's return.
#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

namespace stop_latency {

using Clock = std::chrono::steady_clock;

// Runs Loop; DelayMs after it began, Stop is queued to Context's thread. Returns the
// milliseconds from queueing the stop to the return of Loop, or -1 when Loop returned
// first (the stop is then delivered, and harmless, before this returns).
inline double Measure(QObject *Context, const std::function<void()> &Stop,
                      const std::function<void()> &Loop, double DelayMs) {
  std::atomic<Clock::rep> Queued{0};
  const auto Start = Clock::now();
  std::thread Clicker([&] {
    std::this_thread::sleep_until(Start + std::chrono::microseconds(long(DelayMs * 1000)));
    Queued = Clock::now().time_since_epoch().count();
    QMetaObject::invokeMethod(Context, Stop, Qt::QueuedConnection);
  });
  Loop();
  const auto End = Clock::now();
  Clicker.join();
  QEventLoop Rest;
  QTimer::singleShot(20, &Rest, &QEventLoop::quit);
  Rest.exec();
  const Clock::time_point At{Clock::duration(Queued.load())};
  return At < End ? std::chrono::duration<double, std::milli>(End - At).count() : -1;
}

// The stops of several tries: median and worst, and how many came too late to count.
struct TLatencies {
  std::vector<double> Landed;
  int Late = 0;
  void Add(double L) {
    if (L < 0) ++Late;
    else Landed.push_back(L);
  }
  void Print(const char *What) const {
    if (Landed.empty()) {
      std::printf("  %-36s the loop always ended before the stop came (%d tries)\n", What, Late);
      return;
    }
    std::vector<double> V = Landed;
    std::sort(V.begin(), V.end());
    std::printf(
        "  %-36s median %6.2f ms  worst %6.2f ms  (%zu stops landed, %d came after the end)\n",
        What, V[V.size() / 2], V.back(), V.size(), Late);
  }
};

} // namespace stop_latency

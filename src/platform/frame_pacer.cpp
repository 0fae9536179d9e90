#include "platform/frame_pacer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

#include "platform/application.h"

namespace {
double TheSpeedFactor = 1.0;
}

void TFramePacer::SetSpeedFactor(double Factor) { TheSpeedFactor = std::clamp(Factor, 0.05, 20.0); }
double TFramePacer::SpeedFactor() { return TheSpeedFactor; }

TFramePacer::TFramePacer() { Restart(); }

void TFramePacer::Restart() { Next = std::chrono::steady_clock::now() + Interval(); }

std::chrono::nanoseconds TFramePacer::Interval() const {
  return std::chrono::nanoseconds(static_cast<long long>(1e9 / (NormalFramesPerSecond * TheSpeedFactor)));
}

void TFramePacer::WaitForNextFrame() {
  using Clock = std::chrono::steady_clock;
  auto Now = Clock::now();
  if (Now >= Next || !QCoreApplication::instance()) {
    Application->ProcessMessages();
    Next = std::max(Next, Now) + Interval();
    if (Next < Now) Next = Now + Interval();
    return;
  }
  auto Ms = std::chrono::duration_cast<std::chrono::milliseconds>(Next - Now).count();
  // A local event loop that wakes when the frame is due: input and painting go on meanwhile.
  QEventLoop Wait;
  QTimer::singleShot(static_cast<int>(Ms), Qt::PreciseTimer, &Wait, &QEventLoop::quit);
  Wait.exec();
  Application->ProcessMessages();
  Next += Interval();
  if (Next < Clock::now()) Next = Clock::now() + Interval();
}

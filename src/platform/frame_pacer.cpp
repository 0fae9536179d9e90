#include "platform/frame_pacer.h"

#include <algorithm>

#include "platform/application.h"

namespace {
double TheSpeedFactor = 1.0;
using Clock = std::chrono::steady_clock;
} // namespace

void TFramePacer::SetSpeedFactor(double Factor) {
  // Not-a-number fails both comparisons of the clamp; it means normal speed.
  TheSpeedFactor = Factor == Factor ? std::clamp(Factor, 0.05, 20.0) : 1.0;
}
double TFramePacer::SpeedFactor() { return TheSpeedFactor; }

TFramePacer::TFramePacer() { Restart(); }

void TFramePacer::Restart() { Next = Clock::now() + Interval(); }

std::chrono::nanoseconds TFramePacer::Interval() const {
  return std::chrono::nanoseconds(static_cast<long long>(1e9 / (NormalFramesPerSecond * TheSpeedFactor)));
}

void TFramePacer::WaitForNextFrame() {
  // Sleeps in the event loop: input, painting and timers go on meanwhile.
  Application->ProcessMessagesUntil(Next);
  const auto Now = Clock::now();
  // The next frame is due one interval after this one was due, so that waking a little
  // late now and then does not slow the pace; a frame later than a whole interval starts
  // the pace afresh instead of being followed by a burst.
  Next += Interval();
  if (Next <= Now) Next = Now + Interval();
}

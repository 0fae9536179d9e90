// Frame pacing: the interval at each speed, waits that never end early and run the event
// loop without running idle handlers or spinning, and no burst after a late frame.
// Only lower bounds of time are checked: a busy machine may wake the program late.
#include <gtest/gtest.h>

#include <QTimer>
#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>
#include <thread>

#include "platform/application.h"
#include "platform/frame_pacer.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

struct SpeedRestore {
  double Old = TFramePacer::SpeedFactor();
  ~SpeedRestore() { TFramePacer::SetSpeedFactor(Old); }
};

double CpuSeconds() {
  timespec T{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &T);
  return double(T.tv_sec) + double(T.tv_nsec) * 1e-9;
}

} // namespace

TEST(FramePacer, IntervalFollowsTheSpeedFactor) {
  SpeedRestore Keep;
  TFramePacer P;
  TFramePacer::SetSpeedFactor(1);
  EXPECT_EQ(P.Interval().count(), 16666666); // 1 s / 60
  TFramePacer::SetSpeedFactor(2);
  EXPECT_EQ(P.Interval().count(), 8333333);
  TFramePacer::SetSpeedFactor(0.5);
  EXPECT_EQ(P.Interval().count(), 33333333);
  // Out of range and meaningless factors are kept within what a speed dialog offers.
  TFramePacer::SetSpeedFactor(0);
  EXPECT_DOUBLE_EQ(TFramePacer::SpeedFactor(), 0.05);
  TFramePacer::SetSpeedFactor(1e9);
  EXPECT_DOUBLE_EQ(TFramePacer::SpeedFactor(), 20);
  TFramePacer::SetSpeedFactor(std::numeric_limits<double>::quiet_NaN());
  EXPECT_DOUBLE_EQ(TFramePacer::SpeedFactor(), 1);
}

TEST(FramePacer, FramesAreNeverEarlyAndTheEventLoopRunsMeanwhile) {
  SpeedRestore Keep;
  TFramePacer::SetSpeedFactor(2); // 8.3 ms frames keep the test short
  int Idle = 0, Timers = 0;
  Application->OnIdle = [&](bool &Done) {
    ++Idle;
    Done = true;
  };
  // Read before the pacer starts its pace: a wake-up between the two cannot move a frame early.
  const auto Start = Clock::now();
  TFramePacer P;
  const double Cpu0 = CpuSeconds();
  constexpr int Frames = 12;
  for (int F = 0; F < Frames; ++F) {
    QTimer::singleShot(0, [&] { ++Timers; }); // events posted by a frame are dispatched
    P.WaitForNextFrame();
    // Frame F + 1 is due (F + 1) intervals after the pacer started.
    EXPECT_GE(Clock::now() - Start, P.Interval() * (F + 1)) << F;
  }
  const double Wall = std::chrono::duration<double>(Clock::now() - Start).count();
  const double Cpu = CpuSeconds() - Cpu0;
  Application->OnIdle = nullptr;
  EXPECT_EQ(Timers, Frames);
  EXPECT_EQ(Idle, 0); // waiting is a pump, not idle time
  // Sleeping, not spinning: a spinning wait uses the whole wall time.
  EXPECT_LT(Cpu, 0.5 * Wall);
}

TEST(FramePacer, ALateFrameRestartsThePaceWithoutABurst) {
  SpeedRestore Keep;
  TFramePacer::SetSpeedFactor(2);
  TFramePacer P;
  P.WaitForNextFrame();
  // A frame that takes three intervals to draw.
  std::this_thread::sleep_for(P.Interval() * 3);
  const auto Late = Clock::now();
  P.WaitForNextFrame(); // late: shown at once
  P.WaitForNextFrame();
  // Without the restart the next two frames would be overdue and follow at once.
  EXPECT_GE(Clock::now() - Late, P.Interval() - milliseconds(1));
}

TEST(FramePacer, RestartMakesTheNextWaitAWholeInterval) {
  SpeedRestore Keep;
  TFramePacer::SetSpeedFactor(2);
  TFramePacer P;
  std::this_thread::sleep_for(P.Interval() * 2); // a pause: the frame is overdue
  const auto From = Clock::now();
  P.Restart();
  P.WaitForNextFrame();
  EXPECT_GE(Clock::now() - From, P.Interval() - milliseconds(1));
}

#pragma once
// Steady frames for animations. A loop draws a frame, then calls WaitForNextFrame, which
// runs the event loop (it does not spin) until the next frame is due: about 60 frames a
// second at normal speed, scaled by the speed factor. The physics of a step never depends
// on how fast the machine is; only the pace of the frames does.
#include <chrono>

class TFramePacer {
public:
  static constexpr double NormalFramesPerSecond = 60.0;

  TFramePacer();
  // Pumps messages until the next frame is due. A frame that comes late is shown at once
  // and the pace restarts from it, so a slow frame never causes a burst of catching up.
  void WaitForNextFrame();
  // Forget the pace (after a pause); the next wait lasts one whole interval.
  void Restart();
  // The interval between frames at the present speed factor.
  std::chrono::nanoseconds Interval() const;

  // The program's speed factor: 1 is normal, 2 twice as many frames a second.
  static void SetSpeedFactor(double Factor);
  static double SpeedFactor();

private:
  std::chrono::steady_clock::time_point Next;
};

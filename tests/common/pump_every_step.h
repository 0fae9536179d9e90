#pragma once
// For a test that acts at a chosen step of a loop too short to see the pump dispatch more
// than once: while one of these lives, the loops' pump dispatches at every call.
#include "platform/application.h"

struct TPumpEveryStep {
  TPumpEveryStep() { Application->PumpInterval = std::chrono::microseconds(0); }
  ~TPumpEveryStep() { Application->PumpInterval = TApplication::DefaultPumpInterval; }
  TPumpEveryStep(const TPumpEveryStep &) = delete;
  TPumpEveryStep &operator=(const TPumpEveryStep &) = delete;
};

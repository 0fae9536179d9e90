#pragma once
// For a test that acts at a chosen step of a loop too short to see the pump dispatch more
// than once: while one of these lives, the loops' pump dispatches at every call.
#include <QObject>
#include <functional>

#include "platform/application.h"

struct TPumpEveryStep {
  TPumpEveryStep() { Application->PumpInterval = std::chrono::microseconds(0); }
  ~TPumpEveryStep() { Application->PumpInterval = TApplication::DefaultPumpInterval; }
  TPumpEveryStep(const TPumpEveryStep &) = delete;
  TPumpEveryStep &operator=(const TPumpEveryStep &) = delete;
};

// Runs Step once from every dispatch of the event loop (each pump of a running loop, while a
// TPumpEveryStep lives) until it returns true or Context goes. A posted event, not a timer:
// when it runs depends on the steps the loop has taken, never on how fast it took them.
inline void AtEachPump(QObject *Context, std::function<bool()> Step) {
  QMetaObject::invokeMethod(
      Context,
      [Context, Step] {
        if (!Step()) AtEachPump(Context, Step);
      },
      Qt::QueuedConnection);
}

#include "platform/timer.h"

#include <QTimer>

struct TTimer::Impl {
  QTimer Timer;
  int Interval = 1000;
  bool Enabled = true;
};

TTimer::TTimer() : D(std::make_unique<Impl>()) {
  D->Timer.setInterval(D->Interval);
  QObject::connect(&D->Timer, &QTimer::timeout, [this] {
    if (OnTimer) OnTimer();
  });
  D->Timer.start();
}
TTimer::~TTimer() = default;
int TTimer::Interval() const { return D->Interval; }
void TTimer::SetInterval(int Ms) {
  D->Interval = std::max(0, Ms);
  D->Timer.setInterval(D->Interval);
  // A zero interval stops the timer, as the class library's does.
  if (D->Enabled && D->Interval > 0) D->Timer.start();
  else D->Timer.stop();
}
bool TTimer::Enabled() const { return D->Enabled; }
void TTimer::SetEnabled(bool On) {
  D->Enabled = On;
  if (On && D->Interval > 0) D->Timer.start();
  else D->Timer.stop();
}

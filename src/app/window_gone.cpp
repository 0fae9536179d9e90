#include "app/window_gone.h"

#include <QTimer>
#include <cstdint>
#include <cstring>

namespace {
// X11 protocol: DestroyNotify is event 17; the event's window is the 32-bit value at byte
// 8 (after code, pad, sequence and the window the event was selected on). The top bit of
// the code marks events sent by another client.
constexpr uint8_t DestroyNotify = 17;
} // namespace

bool IsWindowDestroyedEvent(const QByteArray &EventType, const void *Message, quintptr Window) {
  if (EventType != "xcb_generic_event_t" || !Message || Window == 0) return false;
  const auto *E = static_cast<const uint8_t *>(Message);
  if ((E[0] & 0x7F) != DestroyNotify) return false;
  uint32_t W;
  std::memcpy(&W, E + 8, 4);
  return W == Window;
}

TWindowGoneFilter::TWindowGoneFilter(quintptr Window, std::function<void()> Gone)
    : FWindow(Window), FGone(std::move(Gone)) {}

bool TWindowGoneFilter::nativeEventFilter(const QByteArray &EventType, void *Message, qintptr *) {
  if (!FSeen && IsWindowDestroyedEvent(EventType, Message, FWindow)) {
    FSeen = true;
    // Not from inside the platform's event handling: the window is closed from the loop.
    QTimer::singleShot(0, FGone);
  }
  return false;
}

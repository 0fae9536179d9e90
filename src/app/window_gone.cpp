#include "app/window_gone.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <cstring>

namespace {
// X11 protocol: DestroyNotify is event 17; the event's window is the 32-bit value at byte
// 8 (after code, pad, sequence and the window the event was selected on). The top bit of
// the code marks events sent by another client.
constexpr uint8_t DestroyNotify = 17;
} // namespace

quintptr DestroyedWindow(const QByteArray &EventType, const void *Message) {
  if (EventType != "xcb_generic_event_t" || !Message) return 0;
  const auto *E = static_cast<const uint8_t *>(Message);
  if ((E[0] & 0x7F) != DestroyNotify) return 0;
  uint32_t W;
  std::memcpy(&W, E + 8, 4);
  return W;
}

bool IsWindowDestroyedEvent(const QByteArray &EventType, const void *Message, quintptr Window) {
  return Window != 0 && DestroyedWindow(EventType, Message) == Window;
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

bool TDialogGoneFilter::nativeEventFilter(const QByteArray &EventType, void *Message, qintptr *) {
  const quintptr W = DestroyedWindow(EventType, Message);
  if (W == 0) return false;
  for (QWidget *Top : QApplication::topLevelWidgets()) {
    auto *Dialog = qobject_cast<QDialog *>(Top);
    // internalWinId: a window that was never made has no id, and none is made here.
    if (!Dialog || Dialog->internalWinId() != W || !Dialog->isVisible()) continue;
    // From the event loop, not from inside the platform's event handling; never after the
    // dialog is gone.
    QTimer::singleShot(0, Dialog, [Dialog] { Dialog->reject(); });
  }
  return false;
}

#pragma once
// Notice of a top-level window destroyed by someone else (a window manager's or a tool's
// "destroy window", as xdotool windowclose does): the X server says so with a
// DestroyNotify event, and no close request comes first.
#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <functional>

// True when an event of the given native type is the DestroyNotify of Window.
bool IsWindowDestroyedEvent(const QByteArray &EventType, const void *Message, quintptr Window);

class TWindowGoneFilter : public QAbstractNativeEventFilter {
public:
  // Gone runs once, from the event loop, when Window's DestroyNotify arrives.
  TWindowGoneFilter(quintptr Window, std::function<void()> Gone);
  bool nativeEventFilter(const QByteArray &EventType, void *Message, qintptr *Result) override;

private:
  quintptr FWindow;
  std::function<void()> FGone;
  bool FSeen = false;
};

#pragma once
// Notice of a top-level window destroyed by someone else (a window manager's or a tool's
// "destroy window", as xdotool windowclose does): the X server says so with a
// DestroyNotify event, and no close request comes first.
#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <functional>

// The window an event of the given native type reports destroyed (a DestroyNotify), or 0.
quintptr DestroyedWindow(const QByteArray &EventType, const void *Message);
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

// A dialog whose native window is destroyed from outside (the print preview, the About box,
// a message box) would leave its modal loop running for good, and the main window deaf to
// input and to close requests. Its DestroyNotify ends the dialog as if cancelled.
class TDialogGoneFilter : public QAbstractNativeEventFilter {
public:
  bool nativeEventFilter(const QByteArray &EventType, void *Message, qintptr *Result) override;
};

// A main window whose native window is destroyed without a close request: the event is
// recognised, and the window closes without asking, after any running loop.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include <QAbstractEventDispatcher>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

#include "app/forms/about_frm.h"
#include "app/forms/help_frm.h"
#include "app/window_gone.h"
#include "main_window_fixture.h"

namespace {

std::array<uint8_t, 32> XEvent(uint8_t Code, uint32_t Event, uint32_t Window) {
  std::array<uint8_t, 32> E{};
  E[0] = Code;
  std::memcpy(&E[4], &Event, 4);
  std::memcpy(&E[8], &Window, 4);
  return E;
}

} // namespace

TEST(WindowGone, TheDestroyNotifyOfTheWindowOnly) {
  const QByteArray Xcb("xcb_generic_event_t");
  auto Destroy = XEvent(17, 0x400001, 0x400001);
  EXPECT_TRUE(IsWindowDestroyedEvent(Xcb, Destroy.data(), 0x400001));
  auto Sent = XEvent(17 | 0x80, 0x400001, 0x400001); // sent by another client
  EXPECT_TRUE(IsWindowDestroyedEvent(Xcb, Sent.data(), 0x400001));
  auto Child = XEvent(17, 0x400001, 0x400007); // a child of it went
  EXPECT_FALSE(IsWindowDestroyedEvent(Xcb, Child.data(), 0x400001));
  auto Unmap = XEvent(18, 0x400001, 0x400001);
  EXPECT_FALSE(IsWindowDestroyedEvent(Xcb, Unmap.data(), 0x400001));
  EXPECT_FALSE(IsWindowDestroyedEvent("windows_generic_MSG", Destroy.data(), 0x400001));
  EXPECT_FALSE(IsWindowDestroyedEvent(Xcb, nullptr, 0x400001));
}

TEST_F(MainWindowTest, WindowDestroyedWithoutACloseRequestClosesWithoutAsking) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.show();
  Pump();
  bool Closed = false;
  F.OnClosed = [&] { Closed = true; };
  TWindowGoneFilter Filter(0x400001, [&] { F.NativeWindowLost(); });
  auto Destroy = XEvent(17, 0x400001, 0x400001);
  {
    TLoopGuard Loop;
    AbortFlag = false;
    qintptr R = 0;
    EXPECT_FALSE(Filter.nativeEventFilter("xcb_generic_event_t", Destroy.data(), &R));
    Application->ProcessMessages();
    EXPECT_TRUE(AbortFlag); // the loop is told to stop
    EXPECT_FALSE(Closed);   // and the window waits for it
  }
  Pump();
  EXPECT_TRUE(Closed);
  EXPECT_TRUE(Asked.empty());
}

TEST_F(MainWindowTest, AModalDialogDestroyedFromOutsideReturnsAsCancelled) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.show();
  Pump();
  TDialogGoneFilter Filter;
  bool TimedOut = false;
  // A loop that never ends would hang the test: it fails instead. Generous, so that a busy
  // machine never trips it, and stopped with the test.
  QTimer Failsafe;
  Failsafe.setSingleShot(true);
  QObject::connect(&Failsafe, &QTimer::timeout, [&] {
    if (QWidget *W = QApplication::activeModalWidget()) {
      TimedOut = true;
      static_cast<QDialog *>(W)->done(-7);
    }
  });
  auto DestroyWhenShown = [&] {
    QTimer::singleShot(0, [&] {
      // The About box is up, modal: its window goes without a close request.
      auto *Dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
      ASSERT_NE(Dialog, nullptr);
      ASSERT_NE(Dialog->internalWinId(), 0u);
      auto Other = XEvent(17, 0x7FFFFF, 0x7FFFFF); // another window's end changes nothing
      auto Destroy =
          XEvent(17, uint32_t(Dialog->internalWinId()), uint32_t(Dialog->internalWinId()));
      qintptr R = 0;
      EXPECT_FALSE(Filter.nativeEventFilter("xcb_generic_event_t", Other.data(), &R));
      EXPECT_FALSE(Filter.nativeEventFilter("xcb_generic_event_t", Destroy.data(), &R));
    });
    Failsafe.start(30000);
  };
  DestroyWhenShown();
  F.AboutClick(); // returns only when the box has closed
  EXPECT_FALSE(TimedOut);
  // The result of such a dialog is "cancelled".
  TAboutFrm About;
  DestroyWhenShown();
  EXPECT_EQ(About.exec(), QDialog::Rejected);
  EXPECT_FALSE(TimedOut);
  // The main window takes input and close requests again.
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  Answers = {mrNo};
  F.close();
  EXPECT_EQ(Asked.size(), 1u);
  EXPECT_TRUE(F.isVisible());
}

TEST_F(MainWindowTest, HelpOpensAgainAfterItsWindowWasDestroyedFromOutside) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.show();
  Pump();
  const std::function<void()> Asks[] = {
      [&] { F.HelpContentsClick(); }, [&] { F.HelpSearchClick(); },
      [&] {
        QKeyEvent Press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(&F, &Press);
      }};
  F.HelpContentsClick();
  for (const auto &Ask : Asks) {
    QPointer<THelpFrm> Gone = F.HelpWindow();
    ASSERT_FALSE(Gone.isNull());
    const auto Id = uint32_t(Gone->internalWinId());
    ASSERT_NE(Id, 0u);
    auto Destroy = XEvent(17, Id, Id);
    qintptr R = 0;
    QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", Destroy.data(),
                                                            &R);
    Pump();
    EXPECT_TRUE(Gone.isNull()); // a window that can never show again is not kept
    Ask();
    ASSERT_NE(F.HelpWindow(), nullptr);
    EXPECT_TRUE(F.HelpWindow()->isVisible());
  }
}

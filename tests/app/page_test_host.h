#pragma once
// A window stand-in for page tests: a stack of the nineteen sheets, status panels, a
// print dialog, the busy flag and the 100 ms page timer, as TPageHost asks of the window.
#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QStackedWidget>
#include <array>
#include <memory>
#include <string>

#include "app/page_host.h"
#include "app/topic_page.h"
#include "platform/printer.h"
#include "platform/timer.h"

class TTestPageHost : public TPageHost {
public:
  TTestPageHost() {
    Stack.resize(500, 500);
    for (int I = 0; I < SheetCount; ++I) {
      auto *W = new QWidget(&Stack);
      W->setObjectName(QString("Sheet%1").arg(I));
      Stack.addWidget(W);
    }
    for (auto &A : Items) A = std::make_unique<QAction>();
    Timer1.SetEnabled(false);
    Timer1.SetInterval(100);
  }
  QWidget *SheetWidget(TSheet S) const override { return Stack.widget(int(S)); }
  TSheet ActiveSheet() const override { return TSheet(Stack.currentIndex()); }
  void ShowSheet(TSheet S, int) override { Stack.setCurrentIndex(int(S)); }
  void SetStatusText(int Panel, const std::string &Text) override { Status[Panel & 1] = Text; }
  std::string StatusText(int Panel) const override { return Status[Panel & 1]; }
  TPrintDialog &PrintDialog() override { return Dialog; }
  LongBool &BusyFlag() override { return Busy; }
  int ShownTopic() const override { return 0; }
  QAction *MenuItem(TMenuItem Item) const override { return Items[size_t(Item)].get(); }
  TTimer &PageTimer() override { return Timer1; }

  QStackedWidget Stack;
  std::string Status[2];
  TPrintDialog Dialog;
  LongBool Busy;
  std::array<std::unique_ptr<QAction>, MenuItemCount> Items;
  TTimer Timer1;
};

// A left click in the middle of a control, as the mouse gives it.
inline void ClickWidget(QWidget *W) {
  const QPointF P(W->width() / 2.0, W->height() / 2.0);
  const QPointF G = W->mapToGlobal(P);
  QMouseEvent Press(QEvent::MouseButtonPress, P, G, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(W, &Press);
  QMouseEvent Release(QEvent::MouseButtonRelease, P, G, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(W, &Release);
}

#pragma once
// A stand-in for the main window: a stack of the nineteen sheets, the shared menu items,
// two status panels, a print dialog, the busy flag and the 100 ms page timer, so that a
// page can be built and driven without TFieldFrm.
#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QStackedWidget>
#include <algorithm>
#include <array>
#include <vector>
#include <memory>
#include <string>

#include "app/page_host.h"
#include "app/topic_page.h"
#include "platform/printer.h"
#include "platform/timer.h"

class TTestPageHost : public TPageHost {
public:
  TTestPageHost() {
    Stack.resize(465, 560);
    for (int I = 0; I < SheetCount; ++I) {
      Sheets[size_t(I)] = new QWidget(&Stack);
      Sheets[size_t(I)]->setObjectName(QString("Sheet%1").arg(I));
      Stack.addWidget(Sheets[size_t(I)]);
    }
    for (auto &A : Items) {
      A = std::make_unique<QAction>();
      A->setCheckable(true);
    }
    Timer1.SetEnabled(false);
    Timer1.SetInterval(100);
  }
  QWidget *SheetWidget(TSheet S) const override { return Sheets[size_t(S)]; }
  TSheet ActiveSheet() const override { return TSheet(Stack.currentIndex()); }
  void ShowSheet(TSheet S, int Panel0Width = -1) override {
    TTopicPage *New = Serves(S) ? Page : nullptr;
    TTopicPage *Old = Serves(ActiveSheet()) ? Page : nullptr;
    if (Old && Old != New) Old->Hidden();
    Stack.setCurrentIndex(int(S));
    if (Panel0Width >= 0) Panel0 = Panel0Width;
    if (New && New != Old) New->Shown();
  }
  void SetStatusText(int Panel, const std::string &Text) override { Status[size_t(Panel & 1)] = Text; }
  std::string StatusText(int Panel) const override { return Status[size_t(Panel & 1)]; }
  TPrintDialog &PrintDialog() override { return Dialog; }
  LongBool &BusyFlag() override { return Busy; }
  int ShownTopic() const override { return Topic; }
  QAction *MenuItem(TMenuItem Item) const override { return Items[size_t(Item)].get(); }
  TTimer &PageTimer() override { return Timer1; }

  QStackedWidget Stack;
  std::array<QWidget *, SheetCount> Sheets{};
  std::array<std::unique_ptr<QAction>, MenuItemCount> Items;
  std::array<std::string, 2> Status;
  int Panel0 = -1;
  TPrintDialog Dialog;
  LongBool Busy;
  TTimer Timer1;
  int Topic = 0;
  // The page under test and its sheets, told of sheet changes.
  TTopicPage *Page = nullptr;
  std::vector<TSheet> PageSheets;

private:
  bool Serves(TSheet S) const {
    return Page && std::find(PageSheets.begin(), PageSheets.end(), S) != PageSheets.end();
  }
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

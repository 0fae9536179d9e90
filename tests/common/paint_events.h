#pragma once
// What reaches a widget's screen: its paint events, and a way to let them come.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <vector>

// Notes the region of each paint event a widget receives.
class TPaintRegions : public QObject {
public:
  explicit TPaintRegions(QWidget *W) { W->installEventFilter(this); }
  std::vector<QRegion> Seen;

protected:
  bool eventFilter(QObject *, QEvent *E) override {
    if (E->type() == QEvent::Paint) Seen.push_back(static_cast<QPaintEvent *>(E)->region());
    return false;
  }
};

// Passes of the event loop until Done; the deadline is for a hang only.
inline void PumpUntil(const std::function<bool()> &Done) {
  QElapsedTimer T;
  T.start();
  while (!Done() && T.elapsed() < 30000) QCoreApplication::processEvents();
}

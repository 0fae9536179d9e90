#include "htmlview/html_pane_panels.h"

#include <QApplication>
#include <QFrame>
#include <QPalette>

#include "platform/qt_bridge.h"

TPanelWindow::TPanelWindow(QWidget *Parent) {
  auto *F = new QFrame(Parent);
  // No bevels: one plain line round a white face, in the application's own font rather
  // than the page's.
  F->setFrameShape(QFrame::Box);
  F->setFrameShadow(QFrame::Plain);
  F->setLineWidth(1);
  QPalette P = F->palette();
  P.setColor(QPalette::Window, ToQColor(Color));
  F->setPalette(P);
  F->setAutoFillBackground(true);
  F->setFont(QApplication::font());
  F->hide();
  FFrame = F;
  SetBounds(Left(), Top(), ThvPanel::Width(), ThvPanel::Height());
}

TPanelWindow::~TPanelWindow() {
  if (!FFrame) return;
  if (QWidget *Focus = QApplication::focusWidget(); Focus && FFrame->isAncestorOf(Focus))
    Focus->clearFocus();
  FFrame->hide();
  FFrame->deleteLater();
}

QFrame *TPanelWindow::Frame() const { return static_cast<QFrame *>(FFrame.data()); }

int TPanelWindow::Width() const { return FFrame ? FFrame->width() : ThvPanel::Width(); }
int TPanelWindow::Height() const { return FFrame ? FFrame->height() : ThvPanel::Height(); }

void TPanelWindow::SetBounds(int L, int T, int W, int H) {
  ThvPanel::SetBounds(L, T, W, H);
  if (FFrame) FFrame->setGeometry(L, T, W, H);
}

void TPanelWindow::SetVisible(bool Value) {
  ThvPanel::SetVisible(Value);
  if (FFrame && FFrame->isVisibleTo(FFrame->parentWidget()) != Value) FFrame->setVisible(Value);
}

QFrame *PanelFrame(ThvPanel *Panel) {
  auto *W = dynamic_cast<TPanelWindow *>(Panel);
  return W ? W->Frame() : nullptr;
}

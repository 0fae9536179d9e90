#pragma once
// The window of a PANEL element: a white frame with a single border on the viewer's paint
// panel, which the host fills when the panel is made. The drawing pass moves it where the
// panel stands in the text and hides it when it is out of view.
#include <QPointer>
#include <QWidget>

#include "htmlview/doc_images.h"

class QFrame;

class TPanelWindow : public ThvPanel {
public:
  // Made parked at (-400, -400), 30 x 20, hidden until the drawing places it.
  explicit TPanelWindow(QWidget *Parent);
  // The host's widgets inside may be in the middle of their own signal (a button whose
  // handler loaded another page): the frame is hidden now and freed by Qt afterwards.
  ~TPanelWindow() override;
  TPanelWindow(const TPanelWindow &) = delete;
  // The frame's size, which the host may have changed.
  int Width() const override;
  int Height() const override;
  void SetBounds(int L, int T, int W, int H) override;
  void SetVisible(bool Value) override;
  QFrame *Frame() const;

private:
  QPointer<QWidget> FFrame;
};

// The frame a host fills for Panel (from OnPanelCreate), nullptr when it has none.
QFrame *PanelFrame(ThvPanel *Panel);

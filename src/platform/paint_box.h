#pragma once
// TPaintBox: a widget with a backing image. Code draws on Canvas() at any time (in a
// handler, in a running loop); paintEvent only copies the image to the screen. OnPaint
// runs on a deferred request after the widget was shown or resized (or Invalidate was
// called), never inside paintEvent, and never nested: a request that arrives while OnPaint
// runs is served after it returns.
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/canvas.h"
#include "platform/input.h"
#include "platform/types.h"

class QImage;

class TPaintBox : public QWidget {
  Q_OBJECT
public:
  explicit TPaintBox(QWidget *Parent = nullptr);
  ~TPaintBox() override;

  TCanvas &Canvas();
  // Backing image size follows the widget; new area is filled with Color.
  TColor Color = clBtnFace;
  void SetBounds(int Left, int Top, int Width, int Height);
  int Left() const { return x(); }
  int Top() const { return y(); }
  int Width() const { return width(); }
  int Height() const { return height(); }
  TRect ClientRect() const { return TRect(0, 0, width(), height()); }
  void SetCursor(int Cursor); // a TCursor
  // Asks for OnPaint (deferred). Refresh/Repaint are the same request.
  void Invalidate();
  // Runs a pending OnPaint request now (tests, or code that needs the picture drawn).
  void PaintNow();
  bool PaintPending() const;
  const QImage &Image() const;
  // What was drawn since the screen was last asked to show it (empty when nothing).
  QRect DrawnRect() const;

  std::function<void()> OnPaint;
  std::function<void(TMouseButton Button, TShiftState Shift, int X, int Y)> OnMouseDown;
  std::function<void(TMouseButton Button, TShiftState Shift, int X, int Y)> OnMouseUp;
  std::function<void(TShiftState Shift, int X, int Y)> OnMouseMove;
  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
  // Delta in 1/120 steps; set Handled to stop the wheel reaching the parent.
  std::function<void(TShiftState Shift, int WheelDelta, int X, int Y, bool &Handled)> OnMouseWheel;
  std::function<void(uint16_t &Key, TShiftState Shift)> OnKeyDown;
  std::function<void(uint16_t &Key, TShiftState Shift)> OnKeyUp;
  std::function<void(char16_t &Key)> OnKeyPress;
  std::function<void()> OnResize;
  std::function<void()> OnMouseEnter;
  std::function<void()> OnMouseLeave;

protected:
  void paintEvent(QPaintEvent *) override;
  void resizeEvent(QResizeEvent *) override;
  void showEvent(QShowEvent *) override;
  void mousePressEvent(QMouseEvent *) override;
  void mouseReleaseEvent(QMouseEvent *) override;
  void mouseMoveEvent(QMouseEvent *) override;
  void mouseDoubleClickEvent(QMouseEvent *) override;
  void wheelEvent(QWheelEvent *) override;
  void keyPressEvent(QKeyEvent *) override;
  void keyReleaseEvent(QKeyEvent *) override;
  void enterEvent(QEnterEvent *) override;
  void leaveEvent(QEvent *) override;

private:
  void RequestPaint();
  void ServePaint();
  // Drawing marks what it touched; the screen shows it at most once a frame.
  void MarkDrawn(const QRect &Device);
  void ShowDrawn();
  struct Impl;
  std::unique_ptr<Impl> D;
  std::shared_ptr<bool> Alive = std::make_shared<bool>(true);
};

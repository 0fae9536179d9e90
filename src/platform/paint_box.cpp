#include "platform/paint_box.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QElapsedTimer>
#include <QTimer>
#include <QWheelEvent>

#include "platform/application.h"
#include "platform/canvas_impl.h"
#include "platform/qt_bridge.h"

namespace {
// The screen is brought up to date at most once a frame: a plot that pumps after every
// few strokes would otherwise spend its time copying to the display.
constexpr int FrameMs = 15;
} // namespace

struct TPaintBox::Impl {
  QImage Image;
  std::unique_ptr<TCanvas> Canvas;
  bool Pending = false;
  bool InPaint = false;
  bool Again = false;
  // Drawn since the screen was last asked to update: the bounding rectangle.
  QRect Dirty;
  bool ShowAfterLoops = false; // asked to show what a running loop drew once it ends
  QTimer ShowTimer;
  QElapsedTimer SinceShown;
};

TPaintBox::TPaintBox(QWidget *Parent) : QWidget(Parent), D(std::make_unique<Impl>()) {
  D->Canvas = MakeImageCanvas(&D->Image);
  D->Canvas->Data().Changed = [this](const QRect &R) { MarkDrawn(R); };
  D->ShowTimer.setSingleShot(true);
  D->ShowTimer.setTimerType(Qt::PreciseTimer);
  connect(&D->ShowTimer, &QTimer::timeout, this, [this] { ShowDrawn(); });
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
}

TPaintBox::~TPaintBox() { *Alive = false; }

TCanvas &TPaintBox::Canvas() {
  if (D->Image.size() != size() && width() > 0 && height() > 0) resizeEvent(nullptr);
  return *D->Canvas;
}

void TPaintBox::SetBounds(int L, int T, int W, int H) { setGeometry(L, T, std::max(0, W), std::max(0, H)); }

void TPaintBox::SetCursor(int C) { setCursor(ToQCursor(C)); }

void TPaintBox::Invalidate() { RequestPaint(); }

void TPaintBox::MarkDrawn(const QRect &Device) {
  const QRect R = Device.isEmpty() ? rect() : Device.intersected(rect());
  if (R.isEmpty()) return;
  D->Dirty |= R;
  bool LoopBegins = false;
  if (!D->ShowAfterLoops && Application->LoopRunning()) {
    // What a loop drew last reaches the screen as soon as the loop has ended, not a
    // frame later: a short plot would otherwise wait longer than it took.
    LoopBegins = true;
    D->ShowAfterLoops = true;
    Application->AfterLoops([this, Living = Alive] {
      if (!*Living) return;
      D->ShowAfterLoops = false;
      ShowDrawn();
    });
  }
  if (D->ShowTimer.isActive()) return;
  // A loop's first strokes wait a frame too: a loop shorter than that is shown once, when
  // it ends, instead of at its start and again at its end.
  const qint64 Since = LoopBegins ? 0 : D->SinceShown.isValid() ? D->SinceShown.elapsed() : FrameMs;
  D->ShowTimer.start(int(std::max<qint64>(0, FrameMs - Since)));
}

void TPaintBox::ShowDrawn() {
  if (D->Dirty.isEmpty()) return;
  update(D->Dirty);
  D->Dirty = QRect();
  D->SinceShown.start();
}

QRect TPaintBox::DrawnRect() const { return D->Dirty; }

void TPaintBox::RequestPaint() {
  if (D->InPaint) {
    D->Again = true;
    return;
  }
  if (D->Pending) return;
  D->Pending = true;
  QTimer::singleShot(0, this, [this] { ServePaint(); });
}

void TPaintBox::ServePaint() {
  if (!D->Pending) return;
  D->Pending = false;
  if (D->InPaint) {
    D->Again = true;
    return;
  }
  D->Again = false;
  D->InPaint = true;
  std::shared_ptr<bool> Living = Alive;
  if (OnPaint) OnPaint();
  if (!*Living) return; // the handler's message pump destroyed the box
  D->InPaint = false;
  // A request made while the handler ran is served from the event loop, not nested.
  if (D->Again) RequestPaint();
  // What the handler drew goes to the screen now, once: the frame timer finds nothing left.
  ShowDrawn();
}

void TPaintBox::PaintNow() {
  if (D->Pending) ServePaint();
}

bool TPaintBox::PaintPending() const { return D->Pending; }

const QImage &TPaintBox::Image() const { return D->Image; }

void TPaintBox::paintEvent(QPaintEvent *E) {
  QPainter P(this);
  // The image is opaque: copied as it is, with only what lies beyond it filled.
  P.setCompositionMode(QPainter::CompositionMode_Source);
  const QRect Img = D->Image.rect();
  for (const QRect &R : E ? E->region() : QRegion(rect())) {
    const QRect In = R.intersected(Img);
    if (!In.isEmpty()) P.drawImage(In.topLeft(), D->Image, In);
    if (In != R)
      for (const QRect &Out : QRegion(R).subtracted(QRegion(Img))) P.fillRect(Out, ToQColor(Color));
  }
}

void TPaintBox::resizeEvent(QResizeEvent *) {
  QSize S = size();
  if (S == D->Image.size()) return;
  if (S.width() <= 0 || S.height() <= 0) {
    D->Image = QImage();
  } else {
    QImage N(S, QImage::Format_RGB32);
    N.fill(ToQColor(Color));
    if (!D->Image.isNull()) {
      QPainter P(&N);
      P.drawImage(0, 0, D->Image);
    }
    D->Image = std::move(N);
  }
  D->Canvas->RemoveClip();
  if (OnResize) OnResize();
  RequestPaint();
}

void TPaintBox::showEvent(QShowEvent *) { RequestPaint(); }

namespace {
TMouseButton ButtonOf(Qt::MouseButton B) {
  return B == Qt::RightButton ? mbRight : B == Qt::MiddleButton ? mbMiddle : mbLeft;
}
} // namespace

void TPaintBox::mousePressEvent(QMouseEvent *E) {
  QPoint P = E->position().toPoint();
  if (OnMouseDown) OnMouseDown(ButtonOf(E->button()), ShiftFromQt(E->modifiers(), E->buttons()), P.x(), P.y());
}

void TPaintBox::mouseReleaseEvent(QMouseEvent *E) {
  QPoint P = E->position().toPoint();
  TShiftState S = ShiftFromQt(E->modifiers(), E->buttons());
  if (OnMouseUp) OnMouseUp(ButtonOf(E->button()), S, P.x(), P.y());
  if (E->button() == Qt::LeftButton && rect().contains(P) && OnClick) OnClick();
}

void TPaintBox::mouseMoveEvent(QMouseEvent *E) {
  QPoint P = E->position().toPoint();
  if (OnMouseMove) OnMouseMove(ShiftFromQt(E->modifiers(), E->buttons()), P.x(), P.y());
}

void TPaintBox::mouseDoubleClickEvent(QMouseEvent *E) {
  QPoint P = E->position().toPoint();
  // As the class library: a double click is a press with ssDouble, then OnDblClick.
  if (OnMouseDown)
    OnMouseDown(ButtonOf(E->button()), ShiftFromQt(E->modifiers(), E->buttons()) | ssDouble, P.x(), P.y());
  if (OnDblClick) OnDblClick();
}

void TPaintBox::wheelEvent(QWheelEvent *E) {
  bool Handled = false;
  QPoint P = E->position().toPoint();
  if (OnMouseWheel) OnMouseWheel(ShiftFromQt(E->modifiers(), E->buttons()), E->angleDelta().y(), P.x(), P.y(), Handled);
  if (Handled) E->accept();
  else E->ignore();
}

void TPaintBox::keyPressEvent(QKeyEvent *E) {
  uint16_t Key = KeyFromQt(E->key());
  TShiftState S = ShiftFromQt(E->modifiers(), Qt::NoButton);
  if (OnKeyDown) OnKeyDown(Key, S);
  if (OnKeyPress && !E->text().isEmpty()) {
    char16_t C = E->text().at(0).unicode();
    OnKeyPress(C);
  }
  if (!OnKeyDown && !OnKeyPress) QWidget::keyPressEvent(E);
}

void TPaintBox::keyReleaseEvent(QKeyEvent *E) {
  uint16_t Key = KeyFromQt(E->key());
  if (OnKeyUp) OnKeyUp(Key, ShiftFromQt(E->modifiers(), Qt::NoButton));
  else QWidget::keyReleaseEvent(E);
}

void TPaintBox::enterEvent(QEnterEvent *) {
  if (OnMouseEnter) OnMouseEnter();
}
void TPaintBox::leaveEvent(QEvent *) {
  if (OnMouseLeave) OnMouseLeave();
}

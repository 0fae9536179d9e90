// Cheap repaint of paint boxes: drawing marks only what it touched, and every pixel a
// drawing call changes lies inside what it marked, so the screen never misses a stroke.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <functional>
#include <set>
#include <vector>

#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/paint_box.h"

namespace {

struct TCase {
  const char *Name;
  std::function<void(TCanvas &)> Draw;
};

// The bounding rectangle of the pixels that differ between two images of one size.
QRect ChangedPixels(const QImage &A, const QImage &B) {
  QRect R;
  for (int Y = 0; Y < A.height(); ++Y)
    for (int X = 0; X < A.width(); ++X)
      if (A.pixel(X, Y) != B.pixel(X, Y)) R |= QRect(X, Y, 1, 1);
  return R;
}

// Notes each paint event of a widget.
class TPaintWatch : public QObject {
public:
  explicit TPaintWatch(QWidget *W, std::function<void()> OnPaint) : Seen(std::move(OnPaint)) {
    W->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject *, QEvent *E) override {
    if (E->type() == QEvent::Paint) Seen();
    return false;
  }

private:
  std::function<void()> Seen;
};

void ShowPending(TPaintBox &Box) {
  QElapsedTimer T;
  T.start();
  while (!Box.DrawnRect().isEmpty() && T.elapsed() < 30000) Application->ProcessMessages();
}

} // namespace

TEST(Repaint, DrawingMarksOnlyWhatItTouched) {
  TPaintBox Box;
  Box.Color = clWhite;
  Box.SetBounds(0, 0, 200, 150);
  Box.show();
  TCanvas &C = Box.Canvas();
  ShowPending(Box);
  ASSERT_TRUE(Box.DrawnRect().isEmpty());
  C.MoveTo(10, 10);
  C.LineTo(30, 20);
  const QRect Line = Box.DrawnRect();
  EXPECT_TRUE(Line.contains(QRect(10, 10, 20, 10))) << Line.x() << "," << Line.y();
  EXPECT_LE(Line.width() * Line.height(), 30 * 20); // not the whole 200 x 150 box
  // A second stroke elsewhere coalesces with the first into one rectangle to show.
  C.SetOrigin(TPoint(100, 100)); // canvas coordinates are offset; marks are device pixels
  C.SetPixels(5, 5, clRed);
  C.SetOrigin(TPoint(0, 0));
  EXPECT_EQ(Box.DrawnRect(), Line | QRect(105, 105, 1, 1));
  // The event loop shows it and forgets it.
  ShowPending(Box);
  EXPECT_TRUE(Box.DrawnRect().isEmpty());
  // Drawing outside the box marks nothing.
  C.FillRect(TRect(300, 300, 320, 320));
  EXPECT_TRUE(Box.DrawnRect().isEmpty());
}

TEST(Repaint, EveryChangedPixelLiesInsideTheMarkedRectangle) {
  const std::vector<TCase> Cases = {
      {"thin line", [](TCanvas &C) { C.MoveTo(20, 30); C.LineTo(90, 70); }},
      {"wide line", [](TCanvas &C) { C.Pen().Width = 9; C.MoveTo(20, 30); C.LineTo(90, 70); }},
      {"polyline", [](TCanvas &C) {
         C.Pen().Width = 4;
         const TPoint P[] = {{10, 10}, {60, 90}, {120, 20}};
         C.Polyline(P);
       }},
      {"polygon", [](TCanvas &C) {
         C.Brush().Color = clBlue;
         const TPoint P[] = {{30, 10}, {150, 60}, {40, 100}};
         C.Polygon(P);
       }},
      {"bezier", [](TCanvas &C) {
         C.Pen().Width = 3;
         const TPoint P[] = {{10, 100}, {40, 0}, {120, 130}, {150, 20}};
         C.PolyBezier(P);
       }},
      {"rectangle", [](TCanvas &C) { C.Pen().Width = 5; C.Rectangle(30, 30, 80, 60); }},
      {"ellipse", [](TCanvas &C) { C.Brush().Color = clRed; C.Pen().Width = 3; C.Ellipse(40, 20, 100, 90); }},
      {"round rect", [](TCanvas &C) { C.Pen().Width = 2; C.RoundRect(20, 20, 90, 70, 20, 20); }},
      {"arc", [](TCanvas &C) { C.Pen().Width = 6; C.Arc(40, 40, 120, 100, 120, 70, 40, 70); }},
      {"pie", [](TCanvas &C) { C.Brush().Color = clLime; C.Pie(40, 40, 120, 100, 120, 70, 80, 40); }},
      {"chord", [](TCanvas &C) { C.Brush().Color = clLime; C.Chord(40, 40, 120, 100, 120, 70, 80, 40); }},
      {"frame", [](TCanvas &C) { C.Brush().Color = clBlack; C.FrameRect(TRect(5, 5, 50, 50)); }},
      {"focus", [](TCanvas &C) { C.DrawFocusRect(TRect(5, 5, 50, 50)); }},
      {"text", [](TCanvas &C) { C.Font().Height = -20; C.TextOut(30, 40, "Jog fly"); }},
      {"italic text", [](TCanvas &C) {
         C.Font().Height = -24;
         C.Font().Style = fsItalic | fsUnderline;
         C.TextOut(20, 40, "fjord W");
       }},
      {"opaque text rect", [](TCanvas &C) {
         C.Brush().Color = clYellow;
         C.TextRect(TRect(10, 10, 90, 40), 20, 15, "clipped text that runs on");
       }},
      {"bitmap", [](TCanvas &C) {
         TBitmap B(30, 20);
         B.Canvas().Brush().Color = clRed;
         B.Canvas().FillRect(TRect(0, 0, 30, 20));
         C.Draw(70, 80, B);
       }},
      {"stretched bitmap", [](TCanvas &C) {
         TBitmap B(5, 5);
         B.Canvas().Brush().Color = clBlue;
         B.Canvas().FillRect(TRect(0, 0, 5, 5));
         C.StretchDraw(TRect(10, 90, 60, 140), B);
       }},
  };
  TPaintBox Box;
  Box.Color = clWhite;
  Box.SetBounds(0, 0, 200, 150);
  Box.show();
  for (const TCase &K : Cases) {
    TCanvas &C = Box.Canvas();
    C.Pen() = TPen();
    C.Brush() = TBrush();
    C.Font() = TFont();
    C.Brush().Color = clWhite;
    C.FillRect(TRect(0, 0, 200, 150));
    ShowPending(Box);
    const QImage Before = Box.Image().copy();
    K.Draw(C);
    const QRect Changed = ChangedPixels(Before, Box.Image());
    EXPECT_FALSE(Changed.isEmpty()) << K.Name; // the case draws something
    EXPECT_TRUE(Box.DrawnRect().contains(Changed))
        << K.Name << ": changed " << Changed.x() << "," << Changed.y() << " " << Changed.width() << "x"
        << Changed.height() << ", marked " << Box.DrawnRect().x() << "," << Box.DrawnRect().y() << " "
        << Box.DrawnRect().width() << "x" << Box.DrawnRect().height();
  }
}

TEST(Repaint, APumpingLoopsPictureGrowsOnScreenAndItsEndShowsAtOnce) {
  TPaintBox Box;
  Box.Color = clWhite;
  Box.SetBounds(0, 0, 200, 150);
  Box.show();
  ShowPending(Box);
  int Drawn = 0, Paints = 0;
  std::set<int> Stages; // how far the loop had drawn at each paint while it ran
  TPaintWatch Watch(&Box, [&] {
    ++Paints;
    if (LoopRunning()) Stages.insert(Drawn);
  });
  TCanvas &C = Box.Canvas();
  {
    TLoopGuard Loop;
    // A pixel a step, as a plot draws, pumping after each, until the screen has shown
    // the picture at three stages of its growth.
    QElapsedTimer T;
    T.start();
    while (Stages.size() < 3 && T.elapsed() < 30000) {
      C.SetPixels(Drawn % 200, (Drawn / 200) % 150, clBlack);
      ++Drawn;
      Application->ProcessMessages();
    }
    // The last stroke is drawn after the last pump.
    C.SetPixels(199, 149, clRed);
  }
  EXPECT_GE(Stages.size(), 3u);
  EXPECT_FALSE(Box.DrawnRect().isEmpty());
  // Once the loop has ended, its last stroke goes to the screen from the next passes of the
  // event loop, without waiting for the next frame.
  const int Before = Paints;
  for (int I = 0; I < 3; ++I) QApplication::processEvents();
  EXPECT_TRUE(Box.DrawnRect().isEmpty());
  EXPECT_GT(Paints, Before);
}

// Canvas speed on images: lines, polylines, fills, ellipses, text and blits.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "platform/bitmap.h"
#include "platform/metafile.h"

namespace {
void Time(const char *Name, int N, const std::function<void(int)> &F) {
  auto T0 = std::chrono::steady_clock::now();
  for (int I = 0; I < N; ++I) F(I);
  double Us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - T0).count() / N;
  std::printf("%-40s %9.2f us/call\n", Name, Us);
}
} // namespace

int main(int argc, char **argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication App(argc, argv);
  TBitmap B(800, 600);
  TCanvas &C = B.Canvas();
  Time("LineTo 100 px, 1-pixel pen", 100000, [&](int I) { C.MoveTo(10, I % 500); C.LineTo(110, (I * 7) % 500); });
  C.Pen().Style = psDot;
  Time("LineTo 100 px, dotted pen", 100000, [&](int I) { C.MoveTo(10, I % 500); C.LineTo(110, (I * 7) % 500); });
  C.Pen().Style = psSolid;
  std::vector<TPoint> Line;
  for (int I = 0; I < 1000; ++I) Line.push_back(Point(100 + I % 600, 100 + (I * I) % 400));
  Time("Polyline of 1000 points", 200, [&](int) { C.Polyline(Line); });
  Time("FillRect 100 x 100", 20000, [&](int I) { C.FillRect(Bounds(I % 600, I % 400, 100, 100)); });
  Time("Ellipse 16 x 16", 20000, [&](int I) { C.Ellipse(I % 700, I % 500, I % 700 + 16, I % 500 + 16); });
  TPoint Tri[3] = {{10, 10}, {20, 14}, {12, 22}};
  Time("Polygon (arrow triangle)", 20000, [&](int) { C.Polygon(Tri); });
  Time("TextOut 20 characters", 20000, [&](int I) { C.TextOut(I % 600, I % 500, "Electric field lines"); });
  Time("TextWidth 20 characters", 100000, [&](int) { (void)C.TextWidth("Electric field lines"); });
  TBitmap Pic(100, 100);
  Time("Draw 100 x 100 bitmap", 20000, [&](int I) { C.Draw(I % 600, I % 400, Pic); });
  Time("StretchDraw 100 x 100 to 200 x 200", 5000, [&](int I) { C.StretchDraw(Bounds(I % 500, I % 300, 200, 200), Pic); });
  TMetafile M;
  M.SetSize(640, 640);
  {
    TMetafileCanvas MC(M);
    for (int I = 0; I < 200; ++I) { MC.MoveTo(I, 0); MC.LineTo(640 - I, 640); }
  }
  Time("Play metafile of 200 lines", 200, [&](int) { M.Play(C, Rect(0, 0, 640, 640)); });
  return 0;
}

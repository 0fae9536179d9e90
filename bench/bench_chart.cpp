// Chart timings on an off-screen window: filling a fast line without repaints, full
// repaints of 1,000-point charts, and the projectile page's replot.
#include <QApplication>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/pages/projectile_page.h"
#include "sim/projectile.h"
#include "charts/chart.h"
#include "charts/fast_line_series.h"
#include "charts/point_series.h"
#include "platform/bitmap.h"

namespace {

template <class F> double Millis(int Runs, F &&Body) {
  const auto T0 = std::chrono::steady_clock::now();
  for (int K = 0; K < Runs; ++K) Body();
  const auto T1 = std::chrono::steady_clock::now();
  return std::chrono::duration<double, std::milli>(T1 - T0).count() / Runs;
}

struct TWindowChart {
  TChart Chart;
  TBitmap Window{600, 400};
  TWindowChart() {
    Chart.SetBounds(600, 400);
    Chart.SetWindowCanvas(&Window.Canvas());
    Chart.SetView3D(false);
    Chart.SetColor(clWhite);
    Chart.Legend.SetVisible(false);
  }
  void FullRepaint() {
    Chart.Invalidate();
    Chart.Paint();
  }
};

} // namespace

int main(int argc, char **argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication App(argc, argv);

  {
    TWindowChart W;
    auto *S = W.Chart.AddSeries<TFastLineSeries>();
    W.Chart.BottomAxis.SetMinMax(0, 100000);
    W.Chart.LeftAxis.SetMinMax(-1.5, 1.5);
    S->SetAutoRepaint(false);
    W.FullRepaint();
    const double Fill = Millis(1, [&] {
      for (int i = 0; i < 100000; ++i) S->AddXY(i, std::sin(i * 0.001));
    });
    const double Paint = Millis(1, [&] { W.FullRepaint(); });
    std::printf("fast line, 100,000 appends with AutoRepaint off: %.1f ms, then one full repaint: %.1f ms (%lld segments drawn in all)\n",
                Fill, Paint, static_cast<long long>(S->SegmentsDrawn));
  }
  {
    TWindowChart W;
    auto *S = W.Chart.AddSeries<TFastLineSeries>();
    for (int i = 0; i < 1000; ++i) S->AddXY(i, std::sin(i * 0.02));
    W.FullRepaint();
    std::printf("fast line, 1,000 points: full repaint %.2f ms\n", Millis(50, [&] { W.FullRepaint(); }));
    std::printf("fast line, 1,000 points: repaint from the buffer %.3f ms\n", Millis(200, [&] { W.Chart.Paint(); }));
  }
  {
    TWindowChart W;
    auto *S = W.Chart.AddSeries<TPointSeries>();
    S->Pointer.SetStyle(psCircle);
    for (int i = 0; i < 1000; ++i) S->AddXY(i, std::sin(i * 0.02));
    W.FullRepaint();
    std::printf("point series (circles), 1,000 points: full repaint %.2f ms\n", Millis(20, [&] { W.FullRepaint(); }));
  }
  {
    TWindowChart W;
    TPointSeries *S1;
    TFastLineSeries *S2;
    SetUpProjectileChart(W.Chart, S1, S2);
    const double Replot = Millis(50, [&] {
      S1->Clear();
      for (const TPathPoint &P : PlotDragPath(45, 5, 5, 0.3f)) S1->AddXY(P.X, P.Y);
      S2->Clear();
      for (const TPathPoint &P : PlotIdealPath(45, 5, 5)) S2->AddXY(P.X, P.Y);
      W.Chart.Paint();
    });
    std::printf("projectile page: both paths and one repaint %.2f ms (%d paint requests for %d replots)\n",
                Replot, W.Chart.PaintRequests(), 50);
  }
  return 0;
}

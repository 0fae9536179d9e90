#pragma once
// A chart drawn into a bitmap that stands in for its window.
#include <memory>
#include <string>

#include "app/pages/projectile_page.h"
#include "charts/chart.h"
#include "charts/fast_line_series.h"
#include "charts/point_series.h"
#include "platform/bitmap.h"

struct TChartOnBitmap {
  TChart Chart;
  TBitmap Window;
  int Requests = 0;
  explicit TChartOnBitmap(int W = 400, int H = 250) : Window(W, H) {
    Chart.SetBounds(W, H);
    Chart.SetWindowCanvas(&Window.Canvas());
    Chart.OnRequestPaint = [this] { ++Requests; };
  }
  void Paint() { Chart.Paint(); }
  TColor Pixel(int X, int Y) const { return Window.Canvas().Pixels(X, Y); }
  void Save(const std::string &Name) const {
    Window.SaveToPng(std::string(VORNELLE_BINARY_DIR) + "/" + Name);
  }
};

#pragma once
// A chart drawn into a bitmap that stands in for its window.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/pages/projectile_page.h"
#include "charts/chart.h"
#include "charts/fast_line_series.h"
#include "charts/point_series.h"
#include "platform/bitmap.h"

#include <gtest/gtest.h>

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

// Each change, made after a paint, asks for one paint; made again, it asks for none.
using TNamedChange = std::pair<const char *, std::function<void()>>;
inline void ExpectEachChangeRepaints(TChartOnBitmap &W, const std::vector<TNamedChange> &Changes) {
  for (const auto &[Name, Change] : Changes) {
    W.Paint();
    ASSERT_FALSE(W.Chart.PaintPending()) << Name;
    Change();
    EXPECT_TRUE(W.Chart.PaintPending()) << Name;
    EXPECT_TRUE(W.Chart.Canvas().DirtyBits()) << Name;
    W.Paint();
    Change(); // the same value again: nothing to repaint
    EXPECT_FALSE(W.Chart.PaintPending()) << Name;
  }
}

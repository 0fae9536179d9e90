#pragma once
// A chart drawn into a bitmap that stands in for its window.
#include <memory>
#include <string>

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

// The projectile page's chart: flat, white, fixed axes 0..20 and 0..16, no legend.
inline void SetUpPathChart(TChart &C, TPointSeries *&Drag, TFastLineSeries *&Ideal) {
  C.SetView3D(false);
  C.SetColor(clWhite);
  C.SetBackColor(clWhite);
  C.Title.SetVisible(false);
  C.Legend.SetVisible(false);
  C.Legend.Alignment = laTop;
  C.AnimatedZoom = true;
  C.BottomAxis.SetMinMax(0, 20);
  C.LeftAxis.SetMinMax(0, 16);
  C.BottomAxis.Title.SetCaption("horizontal distance (m)");
  C.LeftAxis.Title.SetCaption("height (m)");
  for (TCustomChartAxis *A : {static_cast<TCustomChartAxis *>(&C.BottomAxis), static_cast<TCustomChartAxis *>(&C.LeftAxis)}) {
    A->Axis.SetWidth(1);
    A->SetMinorTickCount(5);
  }
  Drag = C.AddSeries<TPointSeries>();
  Drag->Title = "with drag";
  Drag->SetSeriesColor(clRed);
  Drag->Pointer.SetStyle(psCircle);
  Ideal = C.AddSeries<TFastLineSeries>();
  Ideal->Title = "no drag";
  Ideal->SetSeriesColor(clGreen);
}

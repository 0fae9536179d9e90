#pragma once
// A series that joins its points with one pen and nothing else; with AutoRepaint off an
// added point draws only its new segment.
#include "charts/series.h"

class TFastLineSeries : public TChartSeries {
public:
  bool IsOfMyClass(const TChartSeries &S) const override {
    return dynamic_cast<const TFastLineSeries *>(&S);
  }
  TFastLineSeries();
  bool AutoRepaint() const { return FAutoRepaint; }
  void SetAutoRepaint(bool V) { SetProperty(FAutoRepaint, V); }
  TChartPen LinePen;
  void SetLinePen(const TChartPen &Pen);
  void SetSeriesColor(TColor C) override;
  void Assign(const TChartSeries &Source) override;
  void BeginDrawValues() override;
  void DrawValue(int ValueIndex) override;
  void DrawMark(int ValueIndex, const std::string &Text, TSeriesMarkPosition &Position) override;
  void NotifyNewValue(TChartSeries *Sender, int ValueIndex) override;
  int Clicked(int X, int Y) override;
  void DrawLegendShape(int ValueIndex, const TRect &R) override;
  TPoint LastDrawn() const { return {FLastX, FLastY}; }
  // Segments drawn since the series was made (each a canvas line).
  int64_t SegmentsDrawn = 0;

private:
  void PrepareCanvas();
  void LinePenChanged();
  void LineToPoint(int X, int Y);
  void MoveToPoint(int X, int Y);
  // The pixel of a point, and for a point far outside its unrounded pixel too.
  void PixelOf(int ValueIndex, int &X, int &Y, double &PX, double &PY) const;
  // The segment between two pixels (unrounded when far outside).
  void SegmentTo(double X0, double Y0, double X1, double Y1);
  // The pen colour as the series last set or saw it: a pen change is a colour change only
  // when the pen's colour differs from it.
  TColor FPenColor = LinePen.Color;
  bool FAutoRepaint = true;
  int FLastX = 0, FLastY = 0;
  double FLastPX = 0, FLastPY = 0;
};

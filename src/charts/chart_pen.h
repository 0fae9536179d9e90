#pragma once
// Pens and brushes of the chart objects: a canvas pen or brush plus the owner's change
// notification, so that setting a property repaints the chart.
#include <functional>
#include <memory>

#include "platform/canvas.h"

// The chart set's "no colour of its own": take the series' or point's colour.
constexpr TColor clChartColor = 0x80000000;

class TChartPen : public TPen {
public:
  explicit TChartPen(std::function<void()> OnChange = {}) : OnChange(std::move(OnChange)) {}
  bool SmallDots = false;
  bool Visible = true;
  std::function<void()> OnChange;

  void SetColor(TColor V) { SetField(Color, V); }
  void SetWidth(int V) { SetField(Width, V); }
  void SetStyle(TPenStyle V) { SetField(Style, V); }
  void SetMode(TPenMode V) { SetField(Mode, V); }
  void SetVisible(bool V) { SetField(Visible, V); }
  void SetSmallDots(bool V) { SetField(SmallDots, V); }
  // Visible and SmallDots first, then the pen itself; the change event stays ours.
  void Assign(const TChartPen &Source) {
    Visible = Source.Visible;
    SmallDots = Source.SmallDots;
    static_cast<TPen &>(*this) = Source;
    Changed();
  }
  void Changed() {
    if (OnChange) OnChange();
  }

private:
  template <class T, class V> void SetField(T &Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    Changed();
  }
};

class TChartHiddenPen : public TChartPen {
public:
  explicit TChartHiddenPen(std::function<void()> OnChange = {}) : TChartPen(std::move(OnChange)) {
    Visible = false;
  }
};

class TDottedGrayPen : public TChartPen {
public:
  explicit TDottedGrayPen(std::function<void()> OnChange = {}) : TChartPen(std::move(OnChange)) {
    Color = clGray;
    Style = psDot;
  }
};

class TDarkGrayPen : public TChartPen {
public:
  explicit TDarkGrayPen(std::function<void()> OnChange = {}) : TChartPen(std::move(OnChange)) {
    Color = clGray;
  }
};

class TChartAxisPen : public TChartPen {
public:
  explicit TChartAxisPen(std::function<void()> OnChange = {}) : TChartPen(std::move(OnChange)) {
    Width = 2;
  }
};

class TChartArrowPen : public TChartPen {
public:
  explicit TChartArrowPen(std::function<void()> OnChange = {}) : TChartPen(std::move(OnChange)) {
    Color = clWhite;
  }
};

// Brush of series and walls: clChartColor until set.
class TChartBrush : public TBrush {
public:
  explicit TChartBrush(std::function<void()> OnChange = {}) : OnChange(std::move(OnChange)) {
    Color = clChartColor;
  }
  std::function<void()> OnChange;
  void SetColor(TColor V) {
    if (Color == V) return;
    Color = V;
    if (OnChange) OnChange();
  }
  void SetStyle(TBrushStyle V) {
    if (Style == V) return;
    Style = V;
    if (OnChange) OnChange();
  }
  void SetBitmap(std::shared_ptr<const TBitmap> V) {
    if (Bitmap == V) return;
    Bitmap = std::move(V);
    if (OnChange) OnChange();
  }
  void Assign(const TBrush &Source) {
    SetColor(Source.Color);
    SetStyle(Source.Style);
    SetBitmap(Source.Bitmap);
  }
};

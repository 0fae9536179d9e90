#pragma once
// Series drawn inside an ellipse of their own instead of against axes (TCircledSeries),
// and the pie: one slice per point, exploded slices and an other-slice for small values.
#include <string>
#include <vector>

#include "charts/series.h"

class PieException : public ChartException {
public:
  using ChartException::ChartException;
};

class TCircledSeries : public TChartSeries {
public:
  bool IsOfMyClass(const TChartSeries &S) const override {
    return dynamic_cast<const TCircledSeries *>(&S);
  }
  TCircledSeries();
  ~TCircledSeries() override;

  bool Circled() const { return FCircled; }
  void SetCircled(bool V);
  int RotationAngle() const { return FRotationAngle; }
  void SetRotationAngle(int V);
  double RotationRadians() const;
  int CustomXRadius() const { return FCustomXRadius; }
  void SetCustomXRadius(int V);
  int CustomYRadius() const { return FCustomYRadius; }
  void SetCustomYRadius(int V);
  TColor CircleBackColor() const { return FCircleBackColor; }
  void SetCircleBackColor(TColor V) { SetProperty(FCircleBackColor, V); }

  // The circle of the last computation.
  TRect CircleRect;
  int CircleWidth = 0, CircleHeight = 0, CircleXCenter = 0, CircleYCenter = 0;
  int XRadius = 0, YRadius = 0;
  // Lays the circle out in the chart rectangle (before the values are drawn).
  virtual void CalcCircle();
  // The pixel at an angle (radians, counter-clockwise from the right) on an ellipse
  // of the given radii around the centre.
  TPoint AngleToPos(double Angle, double AXRadius, double AYRadius) const;
  // The angle of a pixel seen from the centre, 0 .. 2 pi.
  double PointToAngle(int X, int Y) const;

  bool UseAxis() const override { return false; }
  void SetParentChart(TCustomAxisPanel *Chart) override;
  // A circled series never moves the axis ends: it answers with their current values.
  double MaxXValue() override;
  double MinXValue() override;
  double MaxYValue() override;
  double MinYValue() override;
  void Assign(const TChartSeries &Source) override;

private:
  template <class F> void ForEachOfClass(F Fn);
  bool FCircled = false;
  TColor FCircleBackColor = clChartColor;
  int FRotationAngle = 0, FCustomXRadius = 0, FCustomYRadius = 0;
};

enum TPieOtherStyle { poNone, poBelowPercent, poBelowValue };

class TPieOtherSlice {
public:
  explicit TPieOtherSlice(TChartSeries *Series) : FSeries(Series) {}
  TPieOtherSlice(const TPieOtherSlice &) = delete; // its series stays its own
  TPieOtherSlice &operator=(const TPieOtherSlice &) = delete;
  TPieOtherStyle Style() const { return FStyle; }
  void SetStyle(TPieOtherStyle V) { Set(FStyle, V); }
  const std::string &Text() const { return FText; }
  void SetText(const std::string &V) { Set(FText, V); }
  double Value() const { return FValue; }
  void SetValue(double V) { Set(FValue, V); }
  void Assign(const TPieOtherSlice &Source);

private:
  template <class T>
  void Set(T &Field, const T &V) {
    if (Field == V) return;
    Field = V;
    FSeries->Repaint();
  }
  TChartSeries *FSeries;
  TPieOtherStyle FStyle = poNone;
  std::string FText = "Other";
  double FValue = 0;
};

// The X value that marks the other-slice point.
constexpr double PieOtherFlag = 2147483647.0;

class TPieSeries : public TCircledSeries {
public:
  bool IsOfMyClass(const TChartSeries &S) const override {
    return dynamic_cast<const TPieSeries *>(&S);
  }
  TPieSeries();

  bool Dark3D() const { return FDark3D; }
  void SetDark3D(bool V) { SetProperty(FDark3D, V); }
  int ExplodeBiggest() const { return FExplodeBiggest; }
  void SetExplodeBiggest(int V);
  TPieOtherSlice OtherSlice{this};
  TChartPen PiePen;
  TChartValueList &PieValues() { return YValues(); }
  bool UsePatterns() const { return FUsePatterns; }
  void SetUsePatterns(bool V) { SetProperty(FUsePatterns, V); }
  // Explode percent per point (missing entries are 0).
  std::vector<int> ExplodedSlice;
  void SetExplodedSlice(int ValueIndex, int Percent);
  int Exploded(int ValueIndex) const;

  // Computed before each draw: per point its start and end angle (radians) and whether
  // it went into the other slice.
  struct TSliceAngle {
    double Start = 0, End = 0;
    double Mid() const { return (Start + End) * 0.5; }
  };
  std::vector<TSliceAngle> Angles;
  bool IsHidden(int ValueIndex) const;
  // Removes an old other-slice point and, by OtherSlice, hides small values into a new one.
  void CalcOtherSlice();
  void CalcAngles();
  // The pixel offset of an exploded slice (right and down).
  TPoint ExplodeOffset(int ValueIndex) const;

  void PrepareForDraw() override;
  void DrawAllValues() override;
  bool DrawsValueByValue() const override { return false; }
  void DrawValue(int ValueIndex) override;
  void DrawMarks() override;
  void DrawMark(int ValueIndex, const std::string &Text, TSeriesMarkPosition &Position) override;
  int Clicked(int X, int Y) override;
  void Assign(const TChartSeries &Source) override;

private:
  bool Drawable() const;
  void SetSliceBrush(int ValueIndex);
  void DrawSlice3D(int ValueIndex);
  int FExplodeBiggest = 0;
  bool FDark3D = true, FUsePatterns = false;
  std::vector<bool> FHidden;
};

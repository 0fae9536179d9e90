#pragma once
// Series that draw each point as a bar from an origin to its value: vertical bars
// (TBarSeries) and horizontal ones (THorizBarSeries), side by side, stacked or stacked
// to 100 % with the other bar series of their kind.
#include <functional>

#include "charts/series.h"

class BarException : public ChartException {
public:
  using ChartException::ChartException;
};

enum TBarStyle { bsRectangle, bsPyramid, bsInvPyramid, bsCilinder, bsEllipse, bsArrow, bsRectGradient };
enum TMultiBar { mbNone, mbSide, mbStacked, mbStacked100 };

class TCustomBarSeries : public TChartSeries {
public:
  bool IsOfMyClass(const TChartSeries &S) const override {
    return dynamic_cast<const TCustomBarSeries *>(&S);
  }
  TCustomBarSeries();

  bool AutoBarSize() const { return FAutoBarSize; }
  void SetAutoBarSize(bool V) { SetProperty(FAutoBarSize, V); }
  bool AutoMarkPosition() const { return FAutoMarkPosition; }
  void SetAutoMarkPosition(bool V) { SetProperty(FAutoMarkPosition, V); }
  TChartBrush BarBrush;
  TChartPen BarPen;
  TBarStyle BarStyle() const { return FBarStyle; }
  void SetBarStyle(TBarStyle V);
  int BarWidthPercent() const { return FBarWidthPercent; }
  void SetBarWidthPercent(int V);
  bool Dark3D() const { return FDark3D; }
  void SetDark3D(bool V) { SetProperty(FDark3D, V); }
  TMultiBar MultiBar() const { return FMultiBar; }
  void SetMultiBar(TMultiBar V);
  int OffsetPercent() const { return FOffsetPercent; }
  void SetOffsetPercent(int V);
  bool SideMargins() const { return FSideMargins; }
  void SetSideMargins(bool V);
  bool UseYOrigin() const { return FUseYOrigin; }
  void SetUseYOrigin(bool V) { SetProperty(FUseYOrigin, V); }
  double YOrigin() const { return FYOrigin; }
  void SetYOrigin(double V) { SetProperty(FYOrigin, V); }
  std::function<void(TCustomBarSeries *, int, TBarStyle &)> OnGetBarStyle;

  // The bar size of the last computation, in pixels along the position axis.
  int BarSize() const { return FBarSize; }
  // Computes the bar size from the position axis' current length (before each draw).
  void CalcBarSize();
  // The bar of a point: its extent along the position axis and from origin to value.
  TRect CalcBarBounds(int ValueIndex);
  // The value of a point and its origin, in axis units (percent with mbStacked100).
  double PointValue(int ValueIndex);
  double PointOriginValue(int ValueIndex);

  void BeginDrawValues() override;
  void DrawValue(int ValueIndex) override;
  void DrawMark(int ValueIndex, const std::string &Text, TSeriesMarkPosition &Position) override;
  int Clicked(int X, int Y) override;
  void Assign(const TChartSeries &Source) override;

protected:
  // The position axis' pixel of a point, and the value axis' pixel of a value.
  int PositionPixel(int ValueIndex) const;
  int ValuePixel(double V) const;
  // This series' place among the active series of its kind (1-based) and their count.
  void SideIndex(int &J, int &K) const;
  TBarStyle StyleOf(int ValueIndex);
  void DrawBar(const TRect &R, TBarStyle Style, TColor Color);
  void GroupMargins(int &A, int &B);
  void ValueMargins(int &Towards, int &Away);
  double ValueEnd(bool Max);
  // The custom bar width of a vertical series, the custom height of a horizontal one.
  int CustomBarSize() const { return FCustomBarSize; }
  void SetCustomBarSize(int V) { SetProperty(FCustomBarSize, V); }

private:
  template <class F> void ForEachOfKind(F Fn);
  TBarStyle FBarStyle = bsRectangle;
  int FBarWidthPercent = 70, FOffsetPercent = 0, FBarSize = 0;
  TMultiBar FMultiBar = mbSide;
  bool FSideMargins = true;
  bool FAutoBarSize = false, FAutoMarkPosition = true, FDark3D = true, FUseYOrigin = true;
  double FYOrigin = 0;
  int FCustomBarSize = 0;
  TRect FLastMark;
  bool FHasLastMark = false;
};

class TBarSeries : public TCustomBarSeries {
public:
  bool IsOfMyClass(const TChartSeries &S) const override {
    return dynamic_cast<const TBarSeries *>(&S);
  }
  TBarSeries();
  int CustomBarWidth() const { return CustomBarSize(); }
  void SetCustomBarWidth(int V) { SetCustomBarSize(V); }
  double MaxYValue() override { return ValueEnd(true); }
  double MinYValue() override { return ValueEnd(false); }
  void CalcHorizMargins(int &L, int &R) override { GroupMargins(L, R); }
  void CalcVertMargins(int &T, int &B) override;
};

class THorizBarSeries : public TCustomBarSeries {
public:
  bool IsOfMyClass(const TChartSeries &S) const override {
    return dynamic_cast<const THorizBarSeries *>(&S);
  }
  THorizBarSeries();
  int CustomBarHeight() const { return CustomBarSize(); }
  void SetCustomBarHeight(int V) { SetCustomBarSize(V); }
  bool YMandatory() const override { return false; }
  double MaxXValue() override { return ValueEnd(true); }
  double MinXValue() override { return ValueEnd(false); }
  void CalcVertMargins(int &T, int &B) override { GroupMargins(T, B); }
  void CalcHorizMargins(int &L, int &R) override;
};

#pragma once
// The series that joins its points with a line, fills the area under them and marks
// each point with a pointer; the line, point and area series are its configurations.
#include "charts/series.h"

class TChartSeries;

enum TSeriesPointerStyle {
  psRectangle, psCircle, psTriangle, psDownTriangle, psCross, psDiagCross, psStar, psDiamond,
  psSmallDot
};

class TSeriesPointer {
public:
  explicit TSeriesPointer(TChartSeries *Series);
  TChartBrush Brush;
  bool Dark3D() const { return FDark3D; }
  bool Draw3D() const { return FDraw3D; }
  void SetDark3D(bool V) { Set(FDark3D, V); }
  void SetDraw3D(bool V) { Set(FDraw3D, V); }
  int HorizSize() const { return FHorizSize; }
  int VertSize() const { return FVertSize; }
  void SetHorizSize(int V);
  void SetVertSize(int V);
  bool InflateMargins() const { return FInflateMargins; }
  void SetInflateMargins(bool V) { Set(FInflateMargins, V); }
  TChartPen Pen;
  TSeriesPointerStyle Style() const { return FStyle; }
  void SetStyle(TSeriesPointerStyle V);
  bool Visible() const { return FVisible; }
  void SetVisible(bool V);
  void PrepareCanvas(TColor Color);
  void Draw(int X, int Y, TColor Color, TSeriesPointerStyle Style);
  void DrawPointer(bool Is3D, int X, int Y, int H, int V, TColor Color, TSeriesPointerStyle Style);
  void CalcHorizMargins(int &L, int &R) const;
  void CalcVertMargins(int &T, int &B) const;
  void Assign(const TSeriesPointer &S);

private:
  template <class T>
  void Set(T &Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    FSeries->Repaint();
  }
  TChartSeries *FSeries;
  bool FDark3D = true, FDraw3D = true, FInflateMargins = true;
  int FHorizSize = 4, FVertSize = 4;
  TSeriesPointerStyle FStyle = psRectangle;
  bool FVisible = true;
};

enum TMultiArea { maNone, maStacked, maStacked100 };

class TCustomSeries : public TChartSeries {
public:
  bool IsOfMyClass(const TChartSeries &S) const override {
    return dynamic_cast<const TCustomSeries *>(&S);
  }
  TCustomSeries();
  TBrushStyle AreaBrush() const { return FAreaBrush; }
  TColor AreaColor() const { return FAreaColor; }
  bool ClickableLine() const { return FClickableLine; }
  bool Dark3D() const { return FDark3D; }
  bool DrawArea() const { return FDrawArea; }
  bool DrawLine() const { return FDrawLine; }
  bool InvertedStairs() const { return FInvertedStairs; }
  TBrushStyle LineBrush() const { return FLineBrush; }
  int LineHeight() const { return FLineHeight; }
  bool Stairs() const { return FStairs; }
  void SetAreaBrush(TBrushStyle V) { SetProperty(FAreaBrush, V); }
  void SetAreaColor(TColor V) { SetProperty(FAreaColor, V); }
  void SetClickableLine(bool V) { SetProperty(FClickableLine, V); }
  void SetDark3D(bool V) { SetProperty(FDark3D, V); }
  void SetDrawArea(bool V) { SetProperty(FDrawArea, V); }
  void SetDrawLine(bool V) { SetProperty(FDrawLine, V); }
  void SetInvertedStairs(bool V) { SetProperty(FInvertedStairs, V); }
  void SetLineBrush(TBrushStyle V) { SetProperty(FLineBrush, V); }
  void SetLineHeight(int V) { SetProperty(FLineHeight, V); }
  void SetStairs(bool V) { SetProperty(FStairs, V); }
  TChartPen AreaLinesPen;
  TChartPen LinePen;
  TSeriesPointer Pointer;
  std::function<void(TCustomSeries *, int, int, int)> OnClickPointer;
  std::function<TSeriesPointerStyle(TChartSeries *, int)> OnGetPointerStyle;

  virtual bool ClickedPointer(int ValueIndex, int PX, int PY, int X, int Y);
  virtual void DrawPointer(int X, int Y, TColor Color, int ValueIndex);
  virtual int GetOriginPos(int ValueIndex);
  void BeginDrawValues() override;
  void EndDrawValues() override;
  void DrawValue(int ValueIndex) override;
  int Clicked(int X, int Y) override;
  void CalcHorizMargins(int &L, int &R) override;
  void CalcVertMargins(int &T, int &B) override;
  void DrawLegendShape(int ValueIndex, const TRect &R) override;
  void DrawMark(int ValueIndex, const std::string &Text, TSeriesMarkPosition &Position) override;
  void Assign(const TChartSeries &Source) override;

protected:
  TBrushStyle FAreaBrush = bsSolid;
  TColor FAreaColor = clChartColor;
  bool FClickableLine = true, FDark3D = true, FDrawArea = false, FDrawLine = false;
  bool FInvertedStairs = false;
  TBrushStyle FLineBrush = bsSolid;
  int FLineHeight = 0;
  bool FStairs = false;
  int SeriesDepth() const { return EndZ - StartZ; }
  void DrawSegment(int X, int Y, TColor Color, int Bottom, int ValueIndex, bool Pointers);
  int FOldX = 0, FOldY = 0, FOldBottom = 0;
  TColor FOldColor = clNone;
  double FDarkRatio = 1.0;
  // A drawn point whose pointer waits for the segment after it.
  int FPendingPointer = -1;
};

class TLineSeries : public TCustomSeries {
public:
  bool IsOfMyClass(const TChartSeries &S) const override {
    return dynamic_cast<const TLineSeries *>(&S);
  }
  TLineSeries();
};

class TPointSeries : public TCustomSeries {
public:
  bool IsOfMyClass(const TChartSeries &S) const override {
    return dynamic_cast<const TPointSeries *>(&S);
  }
  TPointSeries();
  void SetColorEachPoint(bool V) override;
};

class TAreaSeries : public TCustomSeries {
public:
  bool IsOfMyClass(const TChartSeries &S) const override {
    return dynamic_cast<const TAreaSeries *>(&S);
  }
  TAreaSeries();
  TMultiArea MultiArea() const { return FMultiArea; }
  void SetMultiArea(TMultiArea V);
  int GetOriginPos(int ValueIndex) override;
  // Stacked: the top of a point is the sum below it plus its own value (in percent of the
  // index's total with maStacked100).
  double StackedTop(int ValueIndex) const;
  double StackedBottom(int ValueIndex) const;
  int CalcYPos(int ValueIndex) const override;
  double MaxYValue() override;
  double MinYValue() override;
  void CalcZOrder() override;
  void Assign(const TChartSeries &Source) override;

private:
  TMultiArea FMultiArea = maNone;
};

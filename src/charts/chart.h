#pragma once
// The chart: a panel that owns series and five axes and draws them in a fixed order, with
// walls, title, foot and legend, and answers the mouse (clicks, zoom and pan).
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "charts/axis.h"
#include "charts/chart_panel.h"
#include "charts/series.h"

class TCustomChart;

// Stores a setting and repaints the chart, only when the value changes.
template <class T, class U>
void ChartSetting(TCustomChartPanel *Chart, T &Field, const U &V) {
  if (Field == V) return;
  Field = V;
  Chart->Invalidate();
}

class TChartWall {
public:
  explicit TChartWall(TCustomChartPanel *Chart);
  TColor Color() const { return FColor; }
  void SetColor(TColor V) { ChartSetting(FChart, FColor, V); }
  TChartBrush Brush;
  bool Dark3D() const { return FDark3D; }
  void SetDark3D(bool V) { ChartSetting(FChart, FDark3D, V); }
  TChartPen Pen;
  int Size() const { return FSize; }
  void SetSize(int V) { ChartSetting(FChart, FSize, V); }
  TColor DefaultColor = clChartColor;
  bool HasBitmap() const { return Brush.Bitmap && !Brush.Bitmap->Empty(); }
  // A wall of its own pixels has no one colour to shade its sides with.
  bool SolidDark() const { return Brush.Style != bsClear && !HasBitmap() && FDark3D; }
  void Assign(const TChartWall &Source);

private:
  TCustomChartPanel *FChart;
  TColor FColor = clChartColor;
  bool FDark3D = true;
  int FSize = 0;
};

class TChartTitle : public TChartFontObject {
public:
  explicit TChartTitle(TCustomChartPanel *Chart);
  enum TAlignment { taLeftJustify, taRightJustify, taCenter };
  bool AdjustFrame() const { return FAdjustFrame; }
  void SetAdjustFrame(bool V) { ChartSetting(FOwner, FAdjustFrame, V); }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment V) { ChartSetting(FOwner, FAlignment, V); }
  TChartBrush Brush;
  TColor Color() const { return FColor; }
  void SetColor(TColor V) { ChartSetting(FOwner, FColor, V); }
  TChartHiddenPen Frame;
  const std::vector<std::string> &Text() const { return FText; }
  void SetText(const std::vector<std::string> &V) { ChartSetting(FOwner, FText, V); }
  TRect TitleRect;
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) { ChartSetting(FOwner, FVisible, V); }
  bool Clicked(int X, int Y) const { return FVisible && PtInRect(TitleRect, Point(X, Y)); }
  void Draw(bool OnTop);
  void Assign(const TChartTitle &Source);

private:
  bool FAdjustFrame = true;
  TAlignment FAlignment = taCenter;
  TColor FColor = clChartColor;
  std::vector<std::string> FText;
  bool FVisible = true;
};

enum TLegendAlignment { laLeft, laRight, laTop, laBottom };
enum TLegendStyle { lsAuto, lsSeries, lsValues, lsLastValues };

class TChartLegend : public TChartFontObject {
public:
  explicit TChartLegend(TCustomChart *Chart);
  TLegendAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TLegendAlignment V) { ChartSetting(FOwner, FAlignment, V); }
  TChartBrush Brush;
  TColor Color() const { return FColor; }
  void SetColor(TColor V) { ChartSetting(FOwner, FColor, V); }
  int ColorWidth() const { return FColorWidth; }
  void SetColorWidth(int V);
  TChartHiddenPen DividingLines;
  int FirstValue() const { return FFirstValue; }
  void SetFirstValue(int V);
  TChartPen Frame;
  int HorizMargin() const { return FHorizMargin; }
  void SetHorizMargin(int V) { ChartSetting(FOwner, FHorizMargin, V); }
  bool Inverted() const { return FInverted; }
  void SetInverted(bool V) { ChartSetting(FOwner, FInverted, V); }
  TLegendStyle LegendStyle() const { return FLegendStyle; }
  void SetLegendStyle(TLegendStyle V) { ChartSetting(FOwner, FLegendStyle, V); }
  int MaxNumRows() const { return FMaxNumRows; }
  void SetMaxNumRows(int V) { ChartSetting(FOwner, FMaxNumRows, V); }
  bool ResizeChart() const { return FResizeChart; }
  void SetResizeChart(bool V) { ChartSetting(FOwner, FResizeChart, V); }
  TColor ShadowColor() const { return FShadowColor; }
  void SetShadowColor(TColor V) { ChartSetting(FOwner, FShadowColor, V); }
  int ShadowSize() const { return FShadowSize; }
  void SetShadowSize(int V) { ChartSetting(FOwner, FShadowSize, V); }
  TLegendTextStyle TextStyle() const { return FTextStyle; }
  void SetTextStyle(TLegendTextStyle V) { ChartSetting(FOwner, FTextStyle, V); }
  int TopPos() const { return FTopPos; }
  void SetTopPos(int V);
  int VertMargin() const { return FVertMargin; }
  void SetVertMargin(int V) { ChartSetting(FOwner, FVertMargin, V); }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) { ChartSetting(FOwner, FVisible, V); }
  TRect RectLegend;
  int ColorWidthPixels = 0, NumRows = 0, NumCols = 0;
  // Lays out and draws the legend and narrows the chart rectangle.
  void Draw();
  // The item under the point, or -1.
  int Clicked(int X, int Y) const;
  TLegendStyle ResolvedStyle() const;
  int ItemCount() const;
  void Assign(const TChartLegend &Source);
  std::string ItemText(int Index) const;

private:
  TCustomChart *FChart;
  TLegendAlignment FAlignment = laRight;
  TColor FColor = clWhite;
  int FColorWidth = 12, FFirstValue = 0, FTopPos = 10;
  int FHorizMargin = 0, FVertMargin = 0;
  bool FInverted = false;
  TLegendStyle FLegendStyle = lsAuto;
  int FMaxNumRows = 10;
  bool FResizeChart = true;
  TColor FShadowColor = clBlack;
  int FShadowSize = 3;
  TLegendTextStyle FTextStyle = ltsLeftValue;
  bool FVisible = true;
  int FItemHeight = 0, FItemWidth = 0;
};

class TCustomAxisPanel : public TCustomChartPanelExtended {
public:
  TCustomAxisPanel();
  ~TCustomAxisPanel() override;

  std::vector<TChartSeries *> SeriesList;
  // Takes ownership.
  TChartSeries *AddSeries(std::unique_ptr<TChartSeries> Series);
  template <class T> T *AddSeries() { return static_cast<T *>(AddSeries(std::make_unique<T>())); }
  void AddSeries(TChartSeries *Series); // not owned
  void RemoveSeries(TChartSeries *Series);
  // A series this chart owns goes to the chart that takes it over.
  void PassOwnership(TChartSeries *Series, TCustomAxisPanel &To);
  void FreeAllSeries();
  int SeriesCount() const { return int(SeriesList.size()); }
  TChartSeries *GetSeries(int Index) const { return SeriesList.at(Index); }
  int MaxValuesCount() const;
  int MaxMarkWidth() const;
  int MaxLabelWidth();
  TColor FreeSeriesColor(bool CheckBackground) const;
  virtual bool IsFreeSeriesColor(TColor C, bool CheckBackground) const = 0;
  TChartSeries *SeriesLegend(int Index) const;
  std::string SeriesTitleLegend(int Index) const;
  double MaxXValue(const TCustomChartAxis *Axis) const;
  double MinXValue(const TCustomChartAxis *Axis) const;
  double MaxYValue(const TCustomChartAxis *Axis) const;
  double MinYValue(const TCustomChartAxis *Axis) const;
  int NumPages() const;
  int Page() const { return FPage; }
  virtual void SetPage(int Value);
  int MaxPointsPerPage() const { return FMaxPointsPerPage; }
  void SetMaxPointsPerPage(int Value);
  bool ScaleLastPage() const { return FScaleLastPage; }
  void SetScaleLastPage(bool V) { SetBoolProperty(FScaleLastPage, V); }
  bool IsAxisVisible(const TCustomChartAxis *Axis) const;
  void CheckCircularSource(TChartSeries *Series, TChartSeries *Source) const;

  // Declared before the axes: each axis joins it as it is built and leaves it as it goes.
  std::vector<TCustomChartAxis *> AxesList;
  TChartDepthAxis DepthAxis;
  TChartAxis TopAxis, BottomAxis, LeftAxis, RightAxis;
  // An axis that goes: out of the list, and no series keeps it as its custom axis.
  void ForgetAxis(TCustomChartAxis *Axis);
  bool View3DWalls() const { return FView3DWalls; }
  void SetView3DWalls(bool V) { SetBoolProperty(FView3DWalls, V); }
  bool ClipPoints() const { return FClipPoints; }
  void SetClipPoints(bool V) { SetBoolProperty(FClipPoints, V); }
  bool AxisVisible() const { return FAxisVisible; }
  void SetAxisVisible(bool V) { SetBoolProperty(FAxisVisible, V); }
  std::function<void(TCustomChartAxis *, TChartSeries *, int, std::string &)> OnGetAxisLabel;
  std::function<void(TCustomChartAxis *, int, double &, bool &)> OnGetNextAxisLabel;
  std::function<void()> OnPageChange, OnBeforeDrawAxes, OnBeforeDrawSeries;
  int MaxZOrder = 0;
  int SeriesWidth3D = 0, SeriesHeight3D = 0;

  // The panel's settings and its five axes.
  void Assign(const TCustomChartPanel &Source) override;
  void InternalDraw(const TRect &UserRect) override;
  virtual void CalcAxisRect() = 0;
  virtual void CalcSeriesMargins() = 0;
  virtual int GetWallSize(const TCustomChartAxis *Axis) const = 0;
  virtual void DrawTitlesAndLegend() = 0;
  virtual void DrawWalls() = 0;
  bool CancelMouse = false;
  // Set while the chart is destroyed: leaving series must not touch its settings.
  bool Destroying() const { return FDestroying; }

protected:
  void DrawSeries(TChartSeries *Series);
  // Series of one depth slot drawn together, point index by point index.
  void DrawSeriesGroup(const std::vector<TChartSeries *> &Group);
  void DrawSeriesMarks(TChartSeries *Series);
  bool FDestroying = false;
  std::vector<std::unique_ptr<TChartSeries>> FOwnedSeries;

private:
  int FPage = 1, FMaxPointsPerPage = 0;
  bool FScaleLastPage = true, FView3DWalls = true, FClipPoints = true, FAxisVisible = true;
};

enum class TChartClickedPartStyle { cpNone, cpLegend, cpAxis, cpSeries, cpTitle, cpFoot, cpChartRect };
struct TChartClickedPart {
  TChartClickedPartStyle Part = TChartClickedPartStyle::cpNone;
  int PointIndex = -1;
  TChartSeries *ASeries = nullptr;
  TCustomChartAxis *AAxis = nullptr;
};

struct TAxisSavedScales {
  bool Auto = true, AutoMin = true, AutoMax = true;
  double Min = 0, Max = 0;
};

// Mouse settings of the chart unit.
extern TMouseButton ZoomButton, PanningButton;
extern TShiftState ZoomShift, PanningShift;
extern double AnimatedZoomFactor;

class TCustomChart : public TCustomAxisPanel {
public:
  TCustomChart();
  ~TCustomChart() override;
  bool BackImageInside() const { return FBackImageInside; }
  void SetBackImageInside(bool V) { SetBoolProperty(FBackImageInside, V); }
  TChartWall BackWall, BottomWall, LeftWall;
  TChartTitle Foot, Title;
  TChartLegend Legend;
  TColor BackColor() const { return BackWall.Color(); }
  void SetBackColor(TColor C);
  TChartPen &Frame() { return BackWall.Pen; }

  std::function<void(TCustomChartAxis *, double &, double &, bool &)> OnAllowScroll;
  std::function<void(TCustomChart *, TCustomChartAxis *, TMouseButton, TShiftState, int, int)> OnClickAxis;
  std::function<void(TCustomChart *, TMouseButton, TShiftState, int, int)> OnClickBackground, OnClickLegend;
  std::function<void(TCustomChart *, TChartSeries *, int, TMouseButton, TShiftState, int, int)> OnClickSeries;
  std::function<void(TCustomChart *, int, int &, int &, int &)> OnGetLegendPos;
  std::function<void(TCustomChart *, TRect &)> OnGetLegendRect;
  std::function<void(TCustomAxisPanel *, TLegendStyle, int, std::string &)> OnGetLegendText;
  std::function<void(TMouseButton, TShiftState, int, int)> OnMouseDown, OnMouseUp;
  std::function<void(TShiftState, int, int)> OnMouseMove;

  bool IsFreeSeriesColor(TColor C, bool CheckBackground) const override;
  // The axis panel's settings, the back image's place, the walls, legend, foot and title.
  void Assign(const TCustomChartPanel &Source) override;
  void CalcAxisRect() override;
  void CalcSeriesMargins() override;
  int GetWallSize(const TCustomChartAxis *Axis) const override;
  void DrawTitlesAndLegend() override;
  void DrawWalls() override;
  void DrawBackImage(const TRect &R) override;

  // ---- mouse, zoom and pan (chart_zoom.cpp) ----
  TChartClickedPart CalculateClickedPart(TPoint P);
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void ZoomRect(const TRect &Rect);
  void ZoomValues(double TopMin, double TopMax, double BottomMin, double BottomMax,
                  double LeftMin, double LeftMax, double RightMin, double RightMax);
  void UndoZoom() override;
  bool AxesSaved() const { return !FNoAxesSaved; }

private:
  void SaveAxes();
  bool ScrollAxes(bool Horizontal, int OldPos, int NewPos);
  bool StartDrag(TMouseButton Button, TShiftState Shift, int X, int Y);
  void BackgroundClick(TMouseButton Button, TShiftState Shift, int X, int Y, bool &Handled);
  void PrepareWall(const TChartWall &W);
  bool FNoAxesSaved = true;
  bool FBackImageInside = false;
  std::array<TAxisSavedScales, 4> FSavedScales; // top, left, right, bottom
};

class TChart : public TCustomChart {};

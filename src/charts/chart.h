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

class TChartWall {
public:
  explicit TChartWall(TCustomChartPanel *Chart);
  TColor Color() const { return FColor; }
  void SetColor(TColor V);
  TChartBrush Brush;
  bool Dark3D = true;
  TChartPen Pen;
  int Size = 0;
  TColor DefaultColor = clChartColor;
  bool SolidDark() const { return Brush.Style != bsClear && Dark3D; }
  void Assign(const TChartWall &Source);

private:
  TCustomChartPanel *FChart;
  TColor FColor = clChartColor;
};

class TChartTitle : public TChartFontObject {
public:
  explicit TChartTitle(TCustomChartPanel *Chart);
  bool AdjustFrame = true;
  enum TAlignment { taLeftJustify, taRightJustify, taCenter } Alignment = taCenter;
  TChartBrush Brush;
  TColor Color = clChartColor;
  TChartHiddenPen Frame;
  std::vector<std::string> Text;
  TRect TitleRect;
  bool Visible() const { return FVisible; }
  void SetVisible(bool V);
  bool Clicked(int X, int Y) const { return FVisible && PtInRect(TitleRect, Point(X, Y)); }
  void Draw(bool OnTop);
  void Assign(const TChartTitle &Source);

private:
  bool FVisible = true;
};

enum TLegendAlignment { laLeft, laRight, laTop, laBottom };
enum TLegendStyle { lsAuto, lsSeries, lsValues, lsLastValues };

class TChartLegend : public TChartFontObject {
public:
  explicit TChartLegend(TCustomChart *Chart);
  TLegendAlignment Alignment = laRight;
  TChartBrush Brush;
  TColor Color = clWhite;
  int ColorWidth() const { return FColorWidth; }
  void SetColorWidth(int V);
  TChartHiddenPen DividingLines;
  int FirstValue() const { return FFirstValue; }
  void SetFirstValue(int V);
  TChartPen Frame;
  int HorizMargin = 0;
  bool Inverted = false;
  TLegendStyle LegendStyle = lsAuto;
  int MaxNumRows = 10;
  bool ResizeChart = true;
  TColor ShadowColor = clBlack;
  int ShadowSize = 3;
  TLegendTextStyle TextStyle = ltsLeftValue;
  int TopPos() const { return FTopPos; }
  void SetTopPos(int V);
  int VertMargin = 0;
  bool Visible() const { return FVisible; }
  void SetVisible(bool V);
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
  int FColorWidth = 12, FFirstValue = 0, FTopPos = 10;
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
  bool ScaleLastPage = true;
  bool IsAxisVisible(const TCustomChartAxis *Axis) const;
  void CheckCircularSource(TChartSeries *Series, TChartSeries *Source) const;

  TChartDepthAxis DepthAxis;
  TChartAxis TopAxis, BottomAxis, LeftAxis, RightAxis;
  std::vector<TCustomChartAxis *> AxesList;
  bool View3DWalls = true, ClipPoints = true, AxisVisible = true;
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
  bool BackImageInside = false;
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
  std::array<TAxisSavedScales, 4> FSavedScales; // top, left, right, bottom
};

class TChart : public TCustomChart {};

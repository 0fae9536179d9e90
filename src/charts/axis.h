#pragma once
// One axis of a chart: its ends (automatic or fixed), the step between labels, the
// conversion between values and pixels, and (axis_draw.cpp) its room and drawing.
#include <string>

#include "charts/chart_panel.h"

class TCustomAxisPanel;
class TChartSeries;

class AxisException : public Exception {
public:
  using Exception::Exception;
};

enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };

// Pixels of points far outside the chart stop here: far enough to be clipped away, near
// enough for the raster's integer arithmetic.
constexpr double ChartFarPixel = 400000;

// The next label step: 1, 2, 5, 10, 20, 50 ... and 0.5, 0.2, 0.1 ...
double ChartNextStep(double Old);
// Date-time steps in days.
double NextDateTimeStep(double Step);
// The table entry a step equals (within a second), or -1.
int FindDateTimeStep(double Step);
double DateTimeStepValue(int Entry);
constexpr int NumDateTimeSteps = 25;
std::string DateTimeDefaultFormat(double Span);
// Calendar dates of date-time values (days since 30 December 1899).
void DecodeChartDate(double Value, int &Year, int &Month, int &Day);
double EncodeChartDate(int Year, int Month, int Day);
// The first label of an exact date-time step entry: the start of the day, the 1st or
// 15th (15 days), the 1st of the month (30 to 182 days), 1 January (365 days).
double ChartRoundDate(double Value, int Entry);
// One label step down the calendar: half months, whole months or whole years.
double ChartDecrementDate(double Value, double Step);
// Days since 30 December 1899 as text, "dd/mm/yyyy"-style masks and "hh:nn:ss".
std::string FormatDateTime(const std::string &Fmt, double Value);

class TCustomChartAxis;

class TChartAxisTitle : public TChartFontObject {
public:
  TChartAxisTitle(TCustomChartAxis *Axis, TCustomChartPanel *Owner)
      : TChartFontObject(Owner), FAxis(Axis) {}
  int Angle() const { return FAngle; }
  void SetAngle(int V);
  const std::string &Caption() const { return FCaption; }
  void SetCaption(const std::string &V);
  TCustomChartAxis *Axis() const { return FAxis; }
  int DefaultAngle = 0;
  // Angle, caption and font.
  void Assign(const TChartAxisTitle &Source);

private:
  TCustomChartAxis *FAxis;
  int FAngle = 0;
  std::string FCaption;
};

class TCustomChartAxis {
public:
  // Horizontal: runs left to right. OtherSide: stands at the top or right of the chart.
  // The axis joins its chart's list of axes; one an application creates (with new) is
  // then laid out and drawn like the chart's own, and freed by the chart.
  TCustomChartAxis(TCustomAxisPanel *Chart, bool Horizontal, bool OtherSide, bool IsDepth = false);
  TCustomChartAxis(const TCustomChartAxis &) = delete;
  TCustomChartAxis &operator=(const TCustomChartAxis &) = delete;
  virtual ~TCustomChartAxis();

  // Every setting of another axis (not its side or its working values).
  void Assign(const TCustomChartAxis &Source);

  // ---- ends ----
  bool Automatic() const { return FAutomatic; }
  bool AutomaticMaximum() const { return FAutomaticMaximum; }
  bool AutomaticMinimum() const { return FAutomaticMinimum; }
  void SetAutomatic(bool V);
  void SetAutomaticMaximum(bool V);
  void SetAutomaticMinimum(bool V);
  double Increment() const { return FIncrement; }
  void SetIncrement(double V);
  double Maximum() const { return FMaximum; }
  double Minimum() const { return FMinimum; }
  void SetMaximum(double V);
  void SetMinimum(double V);
  // Fixes both ends without the checks (zoom, pan and the program).
  void SetMinMax(double AMin, double AMax);
  // Puts back saved ends and automatic flags as they were (undoing a zoom), unchecked.
  void RestoreEnds(bool Auto, bool AutoMin, bool AutoMax, double Min, double Max);
  bool Logarithmic() const { return FLogarithmic; }
  void SetLogarithmic(bool V);
  int LogarithmicBase() const { return FLogarithmicBase; }
  void SetLogarithmicBase(int V);
  bool Inverted() const { return FInverted; }
  void SetInverted(bool V) { Set(FInverted, V); }
  bool Horizontal() const { return FHorizontal; }
  bool OtherSide() const { return FOtherSide; }
  bool IsDepthAxis() const { return FIsDepthAxis; }
  TCustomAxisPanel *ParentChart() const { return FChart; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) { Set(FVisible, V); }

  // ---- settings that repaint the chart when they change ----
  double StartPosition() const { return FStartPosition; }
  void SetStartPosition(double V) { Set(FStartPosition, V); }
  double EndPosition() const { return FEndPosition; }
  void SetEndPosition(double V) { Set(FEndPosition, V); }
  double PositionPercent() const { return FPositionPercent; }
  void SetPositionPercent(double V) { Set(FPositionPercent, V); }
  bool GridCentered() const { return FGridCentered; }
  void SetGridCentered(bool V) { Set(FGridCentered, V); }
  bool LabelsOnAxis() const { return FLabelsOnAxis; }
  void SetLabelsOnAxis(bool V) { Set(FLabelsOnAxis, V); }
  int LabelsSize() const { return FLabelsSize; }
  void SetLabelsSize(int V) { Set(FLabelsSize, V); }
  TAxisLabelStyle LabelStyle() const { return FLabelStyle; }
  void SetLabelStyle(TAxisLabelStyle V) { Set(FLabelStyle, V); }
  const std::string &AxisValuesFormat() const { return FAxisValuesFormat; }
  void SetAxisValuesFormat(const std::string &V) { Set(FAxisValuesFormat, V); }
  const std::string &DateTimeFormat() const { return FDateTimeFormat; }
  void SetDateTimeFormat(const std::string &V) { Set(FDateTimeFormat, V); }
  bool ExactDateTime() const { return FExactDateTime; }
  void SetExactDateTime(bool V) { Set(FExactDateTime, V); }
  bool RoundFirstLabel() const { return FRoundFirstLabel; }
  void SetRoundFirstLabel(bool V) { Set(FRoundFirstLabel, V); }
  bool LabelsMultiLine() const { return FLabelsMultiLine; }
  void SetLabelsMultiLine(bool V) { Set(FLabelsMultiLine, V); }
  int MinorTickLength() const { return FMinorTickLength; }
  void SetMinorTickLength(int V) { Set(FMinorTickLength, V); }
  int TickInnerLength() const { return FTickInnerLength; }
  void SetTickInnerLength(int V) { Set(FTickInnerLength, V); }
  int TickLength() const { return FTickLength; }
  void SetTickLength(int V) { Set(FTickLength, V); }
  bool TickOnLabelsOnly() const { return FTickOnLabelsOnly; }
  void SetTickOnLabelsOnly(bool V) { Set(FTickOnLabelsOnly, V); }
  int TitleSize() const { return FTitleSize; }
  void SetTitleSize(int V) { Set(FTitleSize, V); }

  // ---- pens, labels, ticks ----
  TChartAxisPen Axis;
  TDottedGrayPen Grid;
  bool Labels() const { return FLabels; }
  void SetLabels(bool V) { Set(FLabels, V); }
  int LabelsAngle() const { return FLabelsAngle; }
  void SetLabelsAngle(int V);
  TChartFont LabelsFont;
  int LabelsSeparation() const { return FLabelsSeparation; }
  void SetLabelsSeparation(int V);
  int MinorTickCount() const { return FMinorTickCount; }
  void SetMinorTickCount(int V);
  TDarkGrayPen MinorTicks, Ticks, TicksInner;
  TChartAxisTitle Title;

  // ---- working values of the current draw ----
  double IMaximum = 0, IMinimum = 0, IRange = 0;
  bool IsDateTime = false;
  int IAxisCenter = 0, IStartPos = 0, IEndPos = 0, IAxisSize = 0;
  int PosAxis = 0, PosLabels = 0, PosTitle = 0;

  void AdjustMaxMin();
  void AdjustMaxMinMargins(const TRect &Margins);
  void InternalCalcPositions();
  double CalcIncrement();
  // How many labels of LabelSize pixels (grown by Separation percent) fit along the axis.
  static int LabelsThatFit(int AxisSize, int LabelSize, int Separation);
  // The label step for N labels on the working range.
  double NumericStepFor(int N) const;
  double DateTimeStepFor(int N) const;
  int CalcXPosValue(double Value) const;
  int CalcYPosValue(double Value) const;
  int CalcPosValue(double Value) const { return FHorizontal ? CalcXPosValue(Value) : CalcYPosValue(Value); }
  // The unrounded pixel of a value (may lie far outside the chart).
  double CalcPosValueD(double Value) const;
  // The same, as a finite number: NaN and the infinities become very far pixels.
  double CalcPosValueFinite(double Value) const;
  int CalcDepthPosValue(double Value) const;
  double CalcPosPoint(int Pixel) const;
  bool Clicked(int X, int Y) const;
  std::string LabelValue(double Value) const;
  TAxisLabelStyle CalcLabelStyle() const;
  // The value format of the labels: AxisValuesFormat, with more decimals while labels one
  // step apart would read the same (set by CalcIncrement).
  const std::string &LabelFormat() const {
    return FLabelFormat.empty() ? FAxisValuesFormat : FLabelFormat;
  }
  int MaxLabelsWidth();
  int SizeLabels();
  int SizeTitle();
  int SizeTickAxis() const;

  // ---- drawing (axis_draw.cpp) ----
  void Draw(bool CalcPosAxis);
  void CalcRect(TRect &R, bool ReserveSpace);
  void DrawLabelText(int X, int Y, int Angle, const std::string &Text);
  virtual void PaintAxisLine(int WallSize) = 0;
  // Labels drawn by the last Draw, in order (their values).
  std::vector<double> DrawnLabels;

protected:
  template <class T, class U>
  void Set(T &F, const U &V) {
    if (F == V) return;
    F = V;
    Repaint();
  }
  void Repaint();
  void RecalcIsDateTime();
  // The entry of the step table that the labels of this step fall on, or -1 when exact
  // date-times do not apply.
  int ExactDateTimeEntry(double Step) const;
  void DrawTicksGrid(int P);
  void DrawGridLine(int P);
  void DrawAxisLabel(int P, double Value, const std::string &Text);
  void DrawValueLabels(double Step, int ExactEntry);
  void DrawLogLabels();
  void DrawSeriesLabels(TAxisLabelStyle Style);
  void DrawDepthLabels();
  void DrawTitle();
  void DrawTick(int P, int Length, bool Inner);
  int PositionShift(const TRect &R) const;
  TCustomAxisPanel *FChart;
  bool FHorizontal, FOtherSide, FIsDepthAxis;
  int FPrevTickPos = -1;
  bool FAutomatic = true, FAutomaticMaximum = true, FAutomaticMinimum = true;
  double FIncrement = 0, FMaximum = 0, FMinimum = 0;
  bool FLogarithmic = false;
  int FLogarithmicBase = 10;
  bool FInverted = false, FVisible = true, FLabels = true;
  int FLabelsAngle = 0, FLabelsSeparation = 10, FMinorTickCount = 3;
  double FStartPosition = 0;
  double FEndPosition = 100;
  double FPositionPercent = 0;
  bool FGridCentered = false;
  bool FLabelsOnAxis = true;
  int FLabelsSize = 0;
  TAxisLabelStyle FLabelStyle = talAuto;
  std::string FAxisValuesFormat = "#,##0.###";
  std::string FDateTimeFormat;
  bool FExactDateTime = true;
  bool FRoundFirstLabel = true;
  bool FLabelsMultiLine = false;
  int FMinorTickLength = 2;
  int FTickInnerLength = 0;
  int FTickLength = 4;
  bool FTickOnLabelsOnly = true;
  int FTitleSize = 0;

private:
  // Labels one step apart near either end of the range read the same.
  bool LabelsCollide(double Step) const;
  std::string FLabelFormat;
};

class TChartAxis : public TCustomChartAxis {
public:
  using TCustomChartAxis::TCustomChartAxis;
  void PaintAxisLine(int WallSize) override;
};

class TChartDepthAxis : public TCustomChartAxis {
public:
  explicit TChartDepthAxis(TCustomAxisPanel *Chart);
  void PaintAxisLine(int WallSize) override;
};

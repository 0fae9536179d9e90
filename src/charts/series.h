#pragma once
// The base of every series kind: its points (value lists, labels, colours), its axes,
// marks and events, and the notices by which dependent series follow it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "charts/chart_panel.h"
#include "charts/value_list.h"

class TCustomAxisPanel;
class TCustomChartAxis;
class TChartSeries;
class TChartFunction;

enum class TValueEvent { veClear, veAdd, veDelete, veRefresh, veModify };
enum THorizAxis { aTopAxis, aBottomAxis, aBothHorizAxis, aCustomHorizAxis };
enum TVertAxis { aLeftAxis, aRightAxis, aBothVertAxis, aCustomVertAxis };
enum TSeriesMarksStyle {
  smsValue, smsPercent, smsLabel, smsLabelPercent, smsLabelValue, smsLegend, smsPercentTotal,
  smsLabelPercentTotal, smsXValue
};
enum TLegendTextStyle {
  ltsPlain, ltsLeftValue, ltsRightValue, ltsLeftPercent, ltsRightPercent, ltsXValue
};
// Which changes are passed on to linked series.
constexpr unsigned rOnDelete = 1, rOnModify = 2, rOnInsert = 4, rOnClear = 8;

struct TSeriesMarkPosition {
  TPoint ArrowFrom, ArrowTo, LeftTop;
  int Height = 0, Width = 0;
  bool Custom = false;
  TRect Bounds() const { return TRect(LeftTop.X, LeftTop.Y, LeftTop.X + Width, LeftTop.Y + Height); }
};

class TSeriesMarks {
public:
  explicit TSeriesMarks(TChartSeries *Series);
  TChartSeries *ParentSeries() const { return FSeries; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V);
  TSeriesMarksStyle Style() const { return FStyle; }
  void SetStyle(TSeriesMarksStyle V) { Set(FStyle, V); }
  int ArrowLength() const { return FArrowLength; }
  void SetArrowLength(int V) { Set(FArrowLength, V); }
  TColor BackColor() const { return FBackColor; }
  void SetBackColor(TColor V) { Set(FBackColor, V); }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool V) { Set(FTransparent, V); }
  bool Clip() const { return FClip; }
  void SetClip(bool V) { Set(FClip, V); }
  TChartArrowPen Arrow;
  TChartPen Frame;
  TChartFont Font;
  int ZPosition = 0;
  std::vector<std::unique_ptr<TSeriesMarkPosition>> Positions;
  void Draw(int ValueIndex, TColor Color, const std::string &Text, TSeriesMarkPosition &Position);
  // Every setting of Source; the positions stay this series' own.
  void Assign(const TSeriesMarks &Source);

private:
  template <class T>
  void Set(T &Field, const T &V);
  TChartSeries *FSeries;
  TSeriesMarksStyle FStyle = smsLabel;
  int FArrowLength = 8;
  TColor FBackColor = 0x80FFFF; // the marks' pale yellow
  bool FTransparent = false;
  bool FClip = false;
  bool FVisible = false;
};

class TChartSeries {
public:
  TChartSeries();
  TChartSeries(const TChartSeries &) = delete;
  TChartSeries &operator=(const TChartSeries &) = delete;
  virtual ~TChartSeries();

  std::string Name;
  bool Active() const { return FActive; }
  void SetActive(bool V);
  TColor SeriesColor() const { return FSeriesColor; }
  virtual void SetSeriesColor(TColor C);
  bool ColorEachPoint() const { return FColorEachPoint; }
  virtual void SetColorEachPoint(bool V);
  std::vector<TColor> Colors;
  std::vector<std::string> XLabels;
  // Source field names: a new one takes the data from the sources again.
  const std::string &ColorSource() const { return FColorSource; }
  void SetColorSource(const std::string &V);
  const std::string &XLabelsSource() const { return FXLabelsSource; }
  void SetXLabelsSource(const std::string &V);
  int Cursor() const { return FCursor; }
  void SetCursor(int V) { SetProperty(FCursor, V); }
  std::vector<TChartSeries *> DataSources, LinkedSeries;
  int FirstValueIndex = -1, LastValueIndex = -1;
  TSeriesMarks Marks;
  TCustomAxisPanel *ParentChart() const { return FParentChart; }
  virtual void SetParentChart(TCustomAxisPanel *Chart);
  const std::string &PercentFormat() const { return FPercentFormat; }
  void SetPercentFormat(const std::string &V) { SetProperty(FPercentFormat, V); }
  const std::string &ValueFormat() const { return FValueFormat; }
  void SetValueFormat(const std::string &V) { SetProperty(FValueFormat, V); }
  bool ShowInLegend() const { return FShowInLegend; }
  void SetShowInLegend(bool V) { SetProperty(FShowInLegend, V); }
  const std::string &Title() const { return FTitle; }
  void SetTitle(const std::string &V) { SetProperty(FTitle, V); }
  std::vector<TChartValueList *> ValueLists;
  TChartValueList &XValues() { return *FX; }
  TChartValueList &YValues() { return *FY; }
  const TChartValueList &XValues() const { return *FX; }
  const TChartValueList &YValues() const { return *FY; }
  THorizAxis HorizAxis() const { return FHorizAxis; }
  TVertAxis VertAxis() const { return FVertAxis; }
  void SetHorizAxis(THorizAxis A);
  void SetVertAxis(TVertAxis A);
  void SetCustomHorizAxis(TCustomChartAxis *A);
  void SetCustomVertAxis(TCustomChartAxis *A);
  // The axis is going: a series on it falls back to the chart's own axis.
  void ForgetAxis(const TCustomChartAxis *A);
  TCustomChartAxis *GetHorizAxis() const { return FHorizAxisObj; }
  TCustomChartAxis *GetVertAxis() const { return FVertAxisObj; }
  int ZOrder() const { return FZOrder; }
  void SetZOrder(int V) { SetProperty(FZOrder, V); }
  unsigned RecalcOptions = rOnDelete | rOnModify | rOnInsert | rOnClear;

  std::function<bool(TChartSeries *)> OnBeforeAdd;
  std::function<void(TChartSeries *, int)> OnAfterAdd;
  std::function<void(TChartSeries *)> OnClearValues;
  std::function<void(TChartSeries *, int, std::string &)> OnGetMarkText;
  std::function<void(TChartSeries *)> BeforeDrawValues, AfterDrawValues;
  using TSeriesClick = std::function<void(TChartSeries *, int, TMouseButton, TShiftState, int, int)>;
  TSeriesClick OnClick, OnDblClick;

  // ---- points ----
  int AddXY(double X, double Y, const std::string &Label = "", TColor Color = clChartColor);
  int Add(double Y, const std::string &Label = "", TColor Color = clChartColor);
  // A point without a colour (drawn invisible), at the next position or at (X, Y).
  int AddNull(const std::string &Label = "") { return Add(0, Label, clNone); }
  int AddNullXY(double X, double Y, const std::string &Label = "") {
    return AddXY(X, Y, Label, clNone);
  }
  virtual void Clear();
  int Count() const { return FX->Count(); }
  double GetxValue(int I) const { return FX->GetValue(I); }
  double GetyValue(int I) const { return FY->GetValue(I); }
  void SetXValue(int I, double V);
  void SetYValue(int I, double V);
  virtual double MaxXValue() { return FX->MaxValue(); }
  virtual double MinXValue() { return FX->MinValue(); }
  virtual double MaxYValue() { return FY->MaxValue(); }
  virtual double MinYValue() { return FY->MinValue(); }
  // The series' depth slot.
  virtual double MaxZValue() { return GetZOrder(); }
  virtual double MinZValue() { return GetZOrder(); }
  virtual void Delete(int ValueIndex);
  TColor GetValueColor(int ValueIndex) const;
  virtual TColor LegendItemColor(int Index) const { return GetValueColor(Index); }
  void SetValueColor(int ValueIndex, TColor Color);
  std::string GetXLabel(int ValueIndex) const;
  void SwapValueIndex(int A, int B);
  void RegisterValueList(TChartValueList *L) { ValueLists.push_back(L); }
  TChartValueList *GetValueList(int Index) const { return ValueLists.at(Index); }
  void FillSampleValues(int NumValues);

  // ---- notices ----
  virtual void NotifyNewValue(TChartSeries *Sender, int ValueIndex);
  void NotifyValue(TValueEvent Event, int ValueIndex);
  void Repaint();
  void AddDataSource(TChartSeries *Source);
  void RemoveDataSource(TChartSeries *Source);
  virtual void CheckDataSource();
  // Inserts Source's point ValueIndex in every value list, X and Y exchanged when one of the
  // two series is horizontal; no colour, label or notice. The new index.
  virtual int AddValues(TChartSeries *Source, int ValueIndex);
  virtual void AddValue(TChartSeries *Source, int ValueIndex);
  virtual void DeletedValue(TChartSeries *Source, int ValueIndex);
  bool HasFunction() const { return FFunction != nullptr; }
  TChartFunction *FunctionType() const { return FFunction.get(); }
  // Frees the old function, takes the new one and recalculates from the data sources.
  void SetFunction(std::unique_ptr<TChartFunction> AFunction);
  // Lets go of the function without freeing it.
  std::unique_ptr<TChartFunction> ReleaseFunction();

  // ---- geometry and drawing ----
  virtual bool YMandatory() const { return true; }
  TChartValueList &MandatoryValueList() { return YMandatory() ? *FY : *FX; }
  const TChartValueList &MandatoryValueList() const { return YMandatory() ? *FY : *FX; }
  bool AssociatedToAxis(const TCustomChartAxis *Axis) const;
  virtual bool UseAxis() const { return true; }
  void CalcVisibleRange();
  int CalcXPos(int ValueIndex) const;
  virtual int CalcYPos(int ValueIndex) const;
  // The unrounded pixel of point ValueIndex, possibly far outside the chart (but finite).
  double CalcXPosD(int ValueIndex) const;
  double CalcYPosD(int ValueIndex) const;
  int CalcXPosValue(double V) const;
  int CalcYPosValue(double V) const;
  int CalcPosValue(double V) const { return YMandatory() ? CalcYPosValue(V) : CalcXPosValue(V); }
  double XScreenToValue(int Pixel) const;
  double YScreenToValue(int Pixel) const;
  // Draws every visible point: BeginDrawValues, DrawValue per point (from the first to the
  // last, or back from the last when DrawValuesForward says so), EndDrawValues.
  virtual void DrawAllValues();
  virtual bool DrawValuesForward() const { return true; }
  virtual void BeginDrawValues() {}
  virtual void EndDrawValues() {}
  // False for kinds that draw their points in an order of their own (the pie): they are
  // never drawn point by point together with other series of their depth slot.
  virtual bool DrawsValueByValue() const { return true; }
  virtual void DrawValue(int ValueIndex) { (void)ValueIndex; }
  virtual void DrawMarks();
  virtual void DrawMark(int ValueIndex, const std::string &Text, TSeriesMarkPosition &Position);
  // One legend symbol; ValueIndex -1 stands for the whole series.
  virtual void DrawLegend(int ValueIndex, const TRect &R);
  virtual void DrawLegendShape(int ValueIndex, const TRect &R);
  virtual void CalcHorizMargins(int &LeftMargin, int &RightMargin) { LeftMargin = RightMargin = 0; }
  virtual void CalcVertMargins(int &TopMargin, int &BottomMargin) { TopMargin = BottomMargin = 0; }
  virtual void CalcZOrder();
  int GetZOrder() const { return FZOrder == -1 ? FComputedZOrder : FZOrder; }
  // Another active series of the chart shares this one's depth slot.
  virtual bool MoreSameZOrder() const;
  virtual void PrepareForDraw() {}
  // Pixel depths of the series, set by the chart at every draw.
  int StartZ = 0, MiddleZ = 0, EndZ = 0;
  bool CalcVisiblePoints = true;
  bool DrawBetweenPoints = false;
  bool SinglePointPerResult = true;

  // ---- texts ----
  virtual double GetMarkValue(int ValueIndex) const { return MandatoryValueList().GetValue(ValueIndex); }
  std::string ValueMarkText(int ValueIndex);
  std::string LegendItemText(int ValueIndex, TLegendTextStyle Style);
  int MaxMarkWidth();
  double PointOrigin(int ValueIndex, bool SumAll) const;

  // ---- mouse ----
  virtual int Clicked(int X, int Y);
  bool ClickHook(int ValueIndex, TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMoveHook(TShiftState, int, int) {}
  virtual void MouseUpHook(TMouseButton, TShiftState, int, int) {}

  virtual void Assign(const TChartSeries &Source);
  virtual bool SameClass(const TChartSeries &Other) const;
  // Other is of this series' class or of one derived from it; every series class says so
  // for itself.
  virtual bool IsOfMyClass(const TChartSeries &) const { return true; }

protected:
  // Stores a setting and repaints, only when it changes.
  template <class T, class U>
  void SetProperty(T &Field, const U &Value) {
    if (Field == Value) return;
    Field = Value;
    Repaint();
  }
  TChartCanvas3D *ChartCanvas() const;
  void ClearLists();
  void ResolveAxes();
  std::unique_ptr<TChartValueList> FX, FY;
  TCustomAxisPanel *FParentChart = nullptr;
  int FComputedZOrder = 0;
  std::unique_ptr<TChartFunction> FFunction;

private:
  bool FActive = true;
  TColor FSeriesColor = clChartColor;
  bool FColorEachPoint = false;
  int FCursor = crDefault;
  std::string FPercentFormat = "##0.## %";
  std::string FValueFormat = "#,##0.###";
  bool FShowInLegend = true;
  std::string FTitle;
  int FZOrder = -1;
  THorizAxis FHorizAxis = aBottomAxis;
  TVertAxis FVertAxis = aLeftAxis;
  std::string FColorSource, FXLabelsSource;
  TCustomChartAxis *FCustomHorizAxis = nullptr, *FCustomVertAxis = nullptr;
  TCustomChartAxis *FHorizAxisObj = nullptr, *FVertAxisObj = nullptr;
  // X, Y and the further lists' pending values (TempValue) at X's place; the new index.
  int InsertValues(double X, double Y);
  // The colour and label of the point at Index, and the notice of its coming.
  void InsertPoint(int Index, const std::string &Label, TColor Color);
};

int CountActiveSeries(const std::vector<TChartSeries *> &List);
bool SameSeriesClass(const TChartSeries &A, const TChartSeries &B);

template <class T>
void TSeriesMarks::Set(T &Field, const T &V) {
  if (Field == V) return;
  Field = V;
  FSeries->Repaint();
}

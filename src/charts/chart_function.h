#pragma once
// The base of the calculated-series functions: a function fills its series from the
// series' data sources, over all points, by periods of the source, or across several
// sources at one point index. The concrete functions supply only the arithmetic.
#include <memory>
#include <vector>

class TChartSeries;
class TChartValueList;

enum TFunctionPeriodStyle { psNumPoints, psRange };
enum TFunctionPeriodAlign { paFirst, paCenter, paLast };

// A function is made on the heap and owned by the series it fills (SetFunction).
class TChartFunction {
public:
  TChartFunction() = default;
  TChartFunction(const TChartFunction &) = delete;
  TChartFunction &operator=(const TChartFunction &) = delete;
  virtual ~TChartFunction() = default;

  double Period() const { return FPeriod; }
  void SetPeriod(double Value);
  TFunctionPeriodStyle PeriodStyle() const { return FPeriodStyle; }
  void SetPeriodStyle(TFunctionPeriodStyle Value);
  TFunctionPeriodAlign PeriodAlign() const { return FPeriodAlign; }
  void SetPeriodAlign(TFunctionPeriodAlign Value);
  TChartSeries *ParentSeries() const { return FParent; }
  // Moves the function to another series, which then owns it. Given nullptr the function
  // leaves its series without being freed, and the caller receives it.
  [[nodiscard]] std::unique_ptr<TChartFunction> SetParentSeries(TChartSeries *Value);
  // While set, changes of the settings do not recalculate.
  bool Updating = false;

  // One result for the whole source.
  virtual void CalculateAllPoints(TChartSeries *Source, TChartValueList *NotMandatorySource);
  // Results per period of the source.
  virtual void CalculateByPeriod(TChartSeries *Source, TChartValueList *NotMandatorySource);
  // The function's value over points FirstIndex..LastIndex of a series (-1, -1: all).
  virtual double Calculate(TChartSeries *Series, int FirstIndex, int LastIndex);
  // The function's value across several series at one point index.
  virtual double CalculateMany(const std::vector<TChartSeries *> &SeriesList, int ValueIndex);
  // Fills the parent series (already cleared) from Source and the parent's other sources.
  virtual void AddPoints(TChartSeries *Source);
  void AddFunctionXY(bool YMandatorySource, double X, double Y);
  void Recalculate();
  virtual void Assign(const TChartFunction &Source);

private:
  friend class TChartSeries;
  // Adds the result of points First..Last of Source, placed by PeriodAlign.
  void AddPeriodResult(TChartSeries *Source, TChartValueList &NotMandatory, int First, int Last,
                       bool Overlapping);
  double FPeriod = 0;
  TFunctionPeriodStyle FPeriodStyle = psNumPoints;
  TFunctionPeriodAlign FPeriodAlign = paCenter;
  TChartSeries *FParent = nullptr;
};

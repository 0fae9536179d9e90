#pragma once
// The standard series functions (add, subtract, multiply, divide, high, low, average) and
// the registry of series kinds and functions by name and gallery page.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "charts/chart_function.h"

class TChartSeries;

class TAddChartFunction : public TChartFunction {
public:
  double Calculate(TChartSeries *Series, int FirstIndex, int LastIndex) override;
  double CalculateMany(const std::vector<TChartSeries *> &SeriesList, int ValueIndex) override;
};

// Combines the values present at an index: the first starts the result, each further one
// is folded in by Combine.
class TManySeriesChartFunction : public TChartFunction {
public:
  double CalculateMany(const std::vector<TChartSeries *> &SeriesList, int ValueIndex) override;

protected:
  virtual double Combine(double Result, double Value) const = 0;
};

class TSubtractChartFunction : public TManySeriesChartFunction {
protected:
  double Combine(double Result, double Value) const override { return Result - Value; }
};

class TMultiplyChartFunction : public TManySeriesChartFunction {
protected:
  double Combine(double Result, double Value) const override { return Result * Value; }
};

class TDivideChartFunction : public TManySeriesChartFunction {
protected:
  // Dividing by 0 would spoil the result: that value is passed over.
  double Combine(double Result, double Value) const override {
    return Value == 0 ? Result : Result / Value;
  }
};

class THighChartFunction : public TChartFunction {
public:
  double Calculate(TChartSeries *Series, int FirstIndex, int LastIndex) override;
  double CalculateMany(const std::vector<TChartSeries *> &SeriesList, int ValueIndex) override;
};

class TLowChartFunction : public TChartFunction {
public:
  double Calculate(TChartSeries *Series, int FirstIndex, int LastIndex) override;
  double CalculateMany(const std::vector<TChartSeries *> &SeriesList, int ValueIndex) override;
};

class TAverageChartFunction : public TChartFunction {
public:
  double Calculate(TChartSeries *Series, int FirstIndex, int LastIndex) override;
  double CalculateMany(const std::vector<TChartSeries *> &SeriesList, int ValueIndex) override;
};

// One row of the registry: a series kind or a function, how the gallery shows it.
struct TSeriesRegistration {
  std::string SeriesClass;   // empty for a function
  std::string FunctionClass; // empty for a plain series kind
  std::string Description;   // at most 20 characters
  std::string Page;          // at most 20 characters
  int NumGallerySeries = 0;
  std::function<std::unique_ptr<TChartSeries>()> CreateSeries;
  std::function<std::unique_ptr<TChartFunction>()> CreateFunction;
};

// The registry, with the standard kinds and functions registered on first use.
const std::vector<TSeriesRegistration> &SeriesRegistry();
// Adds a row; a series and function pair that is already listed is left alone.
void RegisterSeries(TSeriesRegistration Row);

#pragma once
// One coordinate of a series' points, in point order, with lazily computed statistics.
#include <string>
#include <vector>

#include "platform/numbers.h"

class TChartSeries;

// The list-index error: an index outside 0..Count-1.
class EListError : public Exception {
public:
  explicit EListError(int Index);
};

enum class TChartListOrder { loNone, loAscending, loDescending };

class TChartValueList {
public:
  TChartValueList(TChartSeries *Owner, std::string Name);
  TChartValueList(const TChartValueList &) = delete;
  TChartValueList &operator=(const TChartValueList &) = delete;
  virtual ~TChartValueList() = default;

  // The raw value times Multiplier.
  virtual double GetValue(int Index) const {
    if (Index < 0 || Index >= int(FList.size())) throw EListError(Index);
    return FList[Index] * FMultiplier;
  }
  double Value(int Index) const { return GetValue(Index); }
  // Stores the raw value; the point keeps its place even when Order breaks.
  virtual void SetValue(int Index, double Value);
  virtual void Clear();
  // Ordered insert; returns the index the value now stands at.
  virtual int AddChartValue(double Value);
  virtual void InsertChartValue(int Index, double Value);
  virtual int Count() const { return int(FList.size()); }
  virtual void Delete(int Index);
  // Rotation by one: the first value goes to the end.
  virtual void Scroll();

  double Last() const { return GetValue(Count() - 1); }
  int Locate(double Value) const;
  double MaxValue();
  double MinValue();
  double Total();
  double TotalABS();
  double Multiplier() const { return FMultiplier; }
  void SetMultiplier(double Value);
  bool DateTime() const { return FDateTime; }
  void SetDateTime(bool Value);
  TChartListOrder Order = TChartListOrder::loNone;
  const std::string &Name() const { return FName; }
  void SetName(const std::string &Value) { FName = Value; }
  const std::string &ValueSource() const { return FValueSource; }
  // A data-bound series takes its values anew from the named field.
  void SetValueSource(const std::string &Value);
  double TempValue = 0;
  void FillSequence();
  void Sort();
  void Assign(const TChartValueList &Source);
  TChartSeries *Owner() const { return FOwner; }
  bool StatsDirty() const { return FStatsDirty; }
  // Raw storage, for the series that swap and draw points quickly.
  const std::vector<double> &Raw() const { return FList; }
  void SwapRaw(int A, int B) { std::swap(FList[A], FList[B]); }

private:
  void RecalcStats();
  int CompareValueIndex(int A, int B) const;
  void SortRange(int L, int R);
  TChartSeries *FOwner;
  std::string FName;
  std::vector<double> FList;
  std::string FValueSource;
  bool FDateTime = false;
  double FMultiplier = 1.0;
  double FMaxValue = 0, FMinValue = 0, FTotal = 0, FTotalABS = 0;
  bool FStatsDirty = true;
};

#include "charts/value_list.h"

#include <cmath>
#include <stdexcept>

#include "charts/series.h"

TChartValueList::TChartValueList(TChartSeries *Owner, std::string Name)
    : FOwner(Owner), FName(std::move(Name)) {
  if (FOwner) FOwner->RegisterValueList(this);
  Clear();
}

EListError::EListError(int Index) : Exception(Format("List index out of bounds (%d)", Index)) {}

void TChartValueList::SetValue(int Index, double Value) {
  if (Index < 0 || Index >= Count()) throw EListError(Index);
  FList[Index] = Value;
  FStatsDirty = true;
  if (FOwner) FOwner->NotifyValue(TValueEvent::veModify, Index);
}

void TChartValueList::Clear() {
  FList.clear();
  FList.shrink_to_fit();
  FStatsDirty = true;
}

int TChartValueList::AddChartValue(double Value) {
  int Result;
  const int N = int(FList.size());
  if (Order == TChartListOrder::loNone || N == 0) {
    FList.push_back(Value);
    Result = N;
  } else if (Order == TChartListOrder::loAscending) {
    if (FList[N - 1] <= Value) {
      FList.push_back(Value);
      Result = N;
    } else {
      // Equal values stay before the new one: they keep their order of arrival.
      int T = N - 1;
      while (T >= 0 && FList[T] > Value) --T;
      Result = T + 1;
      FList.insert(FList.begin() + Result, Value);
    }
  } else {
    if (FList[N - 1] >= Value) {
      FList.push_back(Value);
      Result = N;
    } else {
      int T = N - 1;
      while (T >= 0 && FList[T] < Value) --T;
      Result = T + 1;
      FList.insert(FList.begin() + Result, Value);
    }
  }
  FStatsDirty = true;
  return Result;
}

void TChartValueList::InsertChartValue(int Index, double Value) {
  if (Index < 0 || Index > Count()) throw EListError(Index);
  FList.insert(FList.begin() + Index, Value);
  FStatsDirty = true;
}

void TChartValueList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) throw EListError(Index);
  FList.erase(FList.begin() + Index);
  FStatsDirty = true;
}

void TChartValueList::Scroll() {
  if (FList.empty()) return;
  const double First = FList.front();
  FList.erase(FList.begin());
  FList.push_back(First);
  FStatsDirty = true;
}

int TChartValueList::Locate(double Value) const {
  for (int t = 0; t < Count(); ++t)
    if (GetValue(t) == Value) return t;
  return -1;
}

void TChartValueList::RecalcStats() {
  if (FList.empty()) {
    FMinValue = FMaxValue = FTotal = FTotalABS = 0;
  } else {
    double v = GetValue(0);
    FMinValue = FMaxValue = FTotal = v;
    FTotalABS = std::fabs(v);
    for (int t = 1; t < Count(); ++t) {
      v = GetValue(t);
      if (v < FMinValue)
        FMinValue = v;
      else if (v > FMaxValue)
        FMaxValue = v;
      FTotal += v;
      FTotalABS += std::fabs(v);
    }
  }
  FStatsDirty = false;
}

double TChartValueList::MaxValue() {
  if (FStatsDirty) RecalcStats();
  return FMaxValue;
}
double TChartValueList::MinValue() {
  if (FStatsDirty) RecalcStats();
  return FMinValue;
}
double TChartValueList::Total() {
  if (FStatsDirty) RecalcStats();
  return FTotal;
}
double TChartValueList::TotalABS() {
  if (FStatsDirty) RecalcStats();
  return FTotalABS;
}

void TChartValueList::SetMultiplier(double Value) {
  if (Value == FMultiplier) return;
  FMultiplier = Value;
  FStatsDirty = true;
  if (FOwner) {
    FOwner->NotifyValue(TValueEvent::veRefresh, 0);
    FOwner->Repaint();
  }
}

void TChartValueList::SetDateTime(bool Value) {
  if (Value == FDateTime) return;
  FDateTime = Value;
  if (FOwner) FOwner->Repaint();
}

void TChartValueList::SetValueSource(const std::string &Value) {
  if (Value == FValueSource) return;
  FValueSource = Value;
  if (FOwner) FOwner->CheckDataSource();
}

void TChartValueList::FillSequence() {
  for (int t = 0; t < Count(); ++t) SetValue(t, t);
}

void TChartValueList::Assign(const TChartValueList &Source) {
  Order = Source.Order;
  FDateTime = Source.FDateTime;
  FMultiplier = Source.FMultiplier;
  FValueSource = Source.FValueSource;
  FStatsDirty = true;
}

int TChartValueList::CompareValueIndex(int A, int B) const {
  const double a = GetValue(A), b = GetValue(B);
  int r = a < b ? -1 : (a > b ? 1 : 0);
  return Order == TChartListOrder::loDescending ? -r : r;
}

void TChartValueList::SortRange(int L, int R) {
  int i = L, j = R, p = (L + R) / 2;
  while (i <= j) {
    while (CompareValueIndex(i, p) < 0) ++i;
    while (CompareValueIndex(p, j) < 0) --j;
    if (i <= j) {
      if (i != j) {
        // Every coordinate of the two points changes places together.
        if (FOwner)
          FOwner->SwapValueIndex(i, j);
        else
          SwapRaw(i, j);
        if (p == i)
          p = j;
        else if (p == j)
          p = i;
      }
      ++i;
      --j;
    }
  }
  if (L < j) SortRange(L, j);
  if (i < R) SortRange(i, R);
}

void TChartValueList::Sort() {
  if (Order != TChartListOrder::loNone && Count() > 1) SortRange(0, Count() - 1);
  FStatsDirty = true;
}

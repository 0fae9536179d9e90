#include "charts/chart_function.h"

#include <algorithm>
#include <cmath>

#include "charts/axis.h"
#include "charts/series.h"

void TChartFunction::SetPeriod(double Value) {
  if (Value < 0) throw ChartException("Function Period should be >= 0");
  if (FPeriod == Value) return;
  FPeriod = Value;
  Recalculate();
}

void TChartFunction::SetPeriodStyle(TFunctionPeriodStyle Value) {
  if (FPeriodStyle == Value) return;
  FPeriodStyle = Value;
  Recalculate();
}

void TChartFunction::SetPeriodAlign(TFunctionPeriodAlign Value) {
  if (FPeriodAlign == Value) return;
  FPeriodAlign = Value;
  Recalculate();
}

std::unique_ptr<TChartFunction> TChartFunction::SetParentSeries(TChartSeries *Value) {
  if (Value == FParent) return nullptr;
  // The old series lets go of the function without freeing it, so that it survives the
  // move that its own call is making.
  std::unique_ptr<TChartFunction> Self =
      FParent ? FParent->ReleaseFunction() : std::unique_ptr<TChartFunction>(this);
  if (!Value) return Self;
  Value->SetFunction(std::move(Self));
  return nullptr;
}

void TChartFunction::Recalculate() {
  if (!Updating && FParent) FParent->CheckDataSource();
}

void TChartFunction::Assign(const TChartFunction &Source) {
  FPeriod = Source.FPeriod;
  FPeriodStyle = Source.FPeriodStyle;
  FPeriodAlign = Source.FPeriodAlign;
}

double TChartFunction::Calculate(TChartSeries *, int, int) { return 0; }

double TChartFunction::CalculateMany(const std::vector<TChartSeries *> &, int) { return 0; }

void TChartFunction::AddFunctionXY(bool YMandatorySource, double X, double Y) {
  if (!FParent) return;
  if (YMandatorySource)
    FParent->AddXY(X, Y, "", clChartColor);
  else
    FParent->AddXY(Y, X, "", clChartColor);
}

void TChartFunction::CalculateAllPoints(TChartSeries *Source, TChartValueList *NotMandatorySource) {
  if (!FParent || !NotMandatorySource || Source->Count() == 0) return;
  const double Y = Calculate(Source, -1, -1);
  const double Lo = NotMandatorySource->MinValue(), Hi = NotMandatorySource->MaxValue();
  const bool YM = Source->YMandatory();
  if (FParent->SinglePointPerResult)
    AddFunctionXY(YM, Lo + (Hi - Lo) * 0.5, Y);
  else {
    // Line-like series show the result as a level across the source's range.
    AddFunctionXY(YM, Lo, Y);
    AddFunctionXY(YM, Hi, Y);
  }
}

void TChartFunction::AddPeriodResult(TChartSeries *Source, TChartValueList &NotMandatory, int First,
                                     int Last, bool Overlapping) {
  const double Y = Calculate(Source, First, Last);
  const double X0 = NotMandatory.GetValue(First), X1 = NotMandatory.GetValue(Last);
  const bool YM = Source->YMandatory();
  // Levels of overlapping windows would interleave into a zig-zag: one point each.
  if (!FParent->SinglePointPerResult && !Overlapping) {
    AddFunctionXY(YM, X0, Y);
    if (X1 != X0) AddFunctionXY(YM, X1, Y);
    return;
  }
  double X;
  switch (FPeriodAlign) {
  case paFirst: X = X0; break;
  case paLast: X = X1; break;
  default: X = X0 + (X1 - X0) * 0.5;
  }
  AddFunctionXY(YM, X, Y);
}

namespace {
// The table entry that a range period is, or -1. Unlike the axis labels' lookup, which
// takes the entry within a second, a period near an entry stays its own length: 1.5 s is
// not the 1-second entry.
int DateTimeStepOfPeriod(double Period) {
  for (int t = 0; t < NumDateTimeSteps; ++t)
    if (std::fabs(DateTimeStepValue(t) - Period) <= DateTimeStepValue(t) * 1e-9) return t;
  return -1;
}

// The start of the calendar period after the one beginning at Start, for the step table's
// entries of half a month and more.
double NextCalendarPeriod(double Start, int Entry) {
  int Y, M, D;
  DecodeChartDate(Start, Y, M, D);
  int Months = 12;
  if (Entry == 18) {
    if (D < 15) return EncodeChartDate(Y, M, 15);
    Months = 1;
  } else if (Entry < 24) {
    static const int EntryMonths[] = {1, 2, 3, 4, 6}; // 30, 60, 90, 120 and 182 days
    Months = EntryMonths[Entry - 19];
  }
  const int Total = Y * 12 + (M - 1) + Months;
  return EncodeChartDate(Total / 12, Total % 12 + 1, 1);
}
} // namespace

void TChartFunction::CalculateByPeriod(TChartSeries *Source, TChartValueList *NotMandatorySource) {
  if (!FParent || !NotMandatorySource) return;
  const int N = Source->Count();
  if (FPeriodStyle == psNumPoints) {
    // A moving window of P points; a period below one point still makes a window of one.
    const int P = std::max(1, Round(FPeriod));
    for (int End = P - 1; End < N; ++End)
      AddPeriodResult(Source, *NotMandatorySource, End - P + 1, End, P > 1);
    return;
  }
  // X ranges of Period from the first point: walk the points so that a tiny period costs
  // one result per non-empty range, never a count of empty ones.
  if (N == 0) return;
  double X0 = NotMandatorySource->GetValue(0);
  // A date-time period of the step table is a clock or calendar period: ranges begin on
  // its boundaries, as the axis labels of that step do, and months and years keep their
  // true lengths.
  const int Entry = NotMandatorySource->DateTime() ? DateTimeStepOfPeriod(FPeriod) : -1;
  const double Step = Entry >= 0 ? DateTimeStepValue(Entry) : FPeriod;
  // Whole multiples of a sub-day step fall on the clock; the tolerance keeps a point
  // written on a boundary in the period that it begins.
  const double Tolerance = Entry >= 0 && Entry < 14 ? 1e-6 : 0;
  if (Entry >= 0) X0 = Entry < 14 ? std::floor(X0 / Step + Tolerance) * Step : std::floor(X0);
  int First = 0;
  while (First < N) {
    const double X = NotMandatorySource->GetValue(First);
    const double RangeEnd =
        Entry >= 18 ? NextCalendarPeriod(ChartRoundDate(X, Entry), Entry)
                    : X0 + (std::floor((X - X0) / Step + Tolerance) + 1 - Tolerance) * Step;
    int Last = First;
    while (Last + 1 < N && NotMandatorySource->GetValue(Last + 1) < RangeEnd) ++Last;
    AddPeriodResult(Source, *NotMandatorySource, First, Last, false);
    First = Last + 1;
  }
}

void TChartFunction::AddPoints(TChartSeries *Source) {
  if (!FParent || !Source) return;
  const std::vector<TChartSeries *> Sources = FParent->DataSources;
  TChartValueList *NotMandatory = Source->YMandatory() ? &Source->XValues() : &Source->YValues();
  if (Sources.size() > 1) {
    // One point per index across the sources, at the X of the first source that has it.
    int N = 0;
    for (TChartSeries *S : Sources) N = std::max(N, S->Count());
    for (int i = 0; i < N; ++i) {
      const double Y = CalculateMany(Sources, i);
      for (TChartSeries *S : Sources)
        if (S->Count() > i) {
          const double X = S->YMandatory() ? S->GetxValue(i) : S->GetyValue(i);
          AddFunctionXY(Source->YMandatory(), X, Y);
          break;
        }
    }
  } else if (FPeriod == 0)
    CalculateAllPoints(Source, NotMandatory);
  else
    CalculateByPeriod(Source, NotMandatory);
}

#include "charts/series_functions.h"

#include <algorithm>

#include "charts/bar_series.h"
#include "charts/fast_line_series.h"
#include "charts/pie_series.h"
#include "charts/point_series.h"

namespace {

// The values of points First..Last (all for -1) of a series' mandatory list.
template <class F> void EachValue(TChartSeries *S, int First, int Last, F Fn) {
  TChartValueList &L = S->MandatoryValueList();
  if (First < 0) {
    First = 0;
    Last = L.Count() - 1;
  }
  Last = std::min(Last, L.Count() - 1);
  for (int i = std::max(First, 0); i <= Last; ++i) Fn(L.GetValue(i));
}

// The values present at one index across the sources, in source order.
std::vector<double> ValuesAt(const std::vector<TChartSeries *> &List, int Index) {
  std::vector<double> V;
  for (TChartSeries *S : List)
    if (Index >= 0 && S->Count() > Index) V.push_back(S->MandatoryValueList().GetValue(Index));
  return V;
}

} // namespace

double TAddChartFunction::Calculate(TChartSeries *S, int First, int Last) {
  if (First < 0) return S->MandatoryValueList().Total();
  double Sum = 0;
  EachValue(S, First, Last, [&](double V) { Sum += V; });
  return Sum;
}

double TAddChartFunction::CalculateMany(const std::vector<TChartSeries *> &List, int Index) {
  double Sum = 0;
  for (double V : ValuesAt(List, Index)) Sum += V;
  return Sum;
}

double TManySeriesChartFunction::CalculateMany(const std::vector<TChartSeries *> &List, int Index) {
  const std::vector<double> V = ValuesAt(List, Index);
  if (V.empty()) return 0;
  double R = V.front();
  for (size_t i = 1; i < V.size(); ++i) R = Combine(R, V[i]);
  return R;
}

double THighChartFunction::Calculate(TChartSeries *S, int First, int Last) {
  if (First < 0) return S->MandatoryValueList().MaxValue();
  bool Any = false;
  double R = 0;
  EachValue(S, First, Last, [&](double V) {
    if (!Any || V > R) R = V;
    Any = true;
  });
  return R;
}

double THighChartFunction::CalculateMany(const std::vector<TChartSeries *> &List, int Index) {
  const std::vector<double> V = ValuesAt(List, Index);
  return V.empty() ? 0 : *std::max_element(V.begin(), V.end());
}

double TLowChartFunction::Calculate(TChartSeries *S, int First, int Last) {
  if (First < 0) return S->MandatoryValueList().MinValue();
  bool Any = false;
  double R = 0;
  EachValue(S, First, Last, [&](double V) {
    if (!Any || V < R) R = V;
    Any = true;
  });
  return R;
}

double TLowChartFunction::CalculateMany(const std::vector<TChartSeries *> &List, int Index) {
  const std::vector<double> V = ValuesAt(List, Index);
  return V.empty() ? 0 : *std::min_element(V.begin(), V.end());
}

double TAverageChartFunction::Calculate(TChartSeries *S, int First, int Last) {
  if (First < 0) {
    const int N = S->Count();
    return N == 0 ? 0 : S->MandatoryValueList().Total() / N;
  }
  double Sum = 0;
  EachValue(S, First, Last, [&](double V) { Sum += V; });
  return Last >= First ? Sum / (Last - First + 1) : 0;
}

double TAverageChartFunction::CalculateMany(const std::vector<TChartSeries *> &List, int Index) {
  const std::vector<double> V = ValuesAt(List, Index);
  if (V.empty()) return 0;
  double Sum = 0;
  for (double X : V) Sum += X;
  return Sum / double(V.size());
}

// ---- registry ------------------------------------------------------------------------

namespace {

std::vector<TSeriesRegistration> &Rows() {
  static std::vector<TSeriesRegistration> R;
  return R;
}

template <class S> void AddSeriesKind(const char *Class, const char *Description, int Preview) {
  RegisterSeries({Class, "", Description, "Standard", Preview,
                  [] { return std::unique_ptr<TChartSeries>(std::make_unique<S>()); }, nullptr});
}

template <class F> void AddFunction(const char *Class, const char *Description) {
  RegisterSeries({"", Class, Description, "Functions", 2, nullptr,
                  [] { return std::unique_ptr<TChartFunction>(std::make_unique<F>()); }});
}

void RegisterStandard() {
  AddSeriesKind<TLineSeries>("TLineSeries", "Line", 2);
  AddSeriesKind<TBarSeries>("TBarSeries", "Bar", 2);
  AddSeriesKind<THorizBarSeries>("THorizBarSeries", "Horiz. Bar", 2);
  AddSeriesKind<TAreaSeries>("TAreaSeries", "Area", 2);
  AddSeriesKind<TPointSeries>("TPointSeries", "Point", 2);
  AddSeriesKind<TPieSeries>("TPieSeries", "Pie", 1);
  AddSeriesKind<TFastLineSeries>("TFastLineSeries", "Fast Line", 2);
  AddFunction<TAddChartFunction>("TAddChartFunction", "Add");
  AddFunction<TSubtractChartFunction>("TSubtractChartFunction", "Subtract");
  AddFunction<TMultiplyChartFunction>("TMultiplyChartFunction", "Multiply");
  AddFunction<TDivideChartFunction>("TDivideChartFunction", "Divide");
  AddFunction<THighChartFunction>("THighChartFunction", "High");
  AddFunction<TLowChartFunction>("TLowChartFunction", "Low");
  AddFunction<TAverageChartFunction>("TAverageChartFunction", "Average");
}

bool &Started() {
  static bool B = false;
  return B;
}

void EnsureStandard() {
  if (Started()) return;
  Started() = true;
  RegisterStandard();
}

} // namespace

void RegisterSeries(TSeriesRegistration Row) {
  EnsureStandard();
  Row.Description = Row.Description.substr(0, 20);
  Row.Page = Row.Page.substr(0, 20);
  for (const TSeriesRegistration &R : Rows())
    if (R.SeriesClass == Row.SeriesClass && R.FunctionClass == Row.FunctionClass) return;
  Rows().push_back(std::move(Row));
}

const std::vector<TSeriesRegistration> &SeriesRegistry() {
  EnsureStandard();
  return Rows();
}

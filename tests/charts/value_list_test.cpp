#include <gtest/gtest.h>

#include "charts/chart.h"
#include "charts/point_series.h"
#include "charts/value_list.h"

namespace {
std::vector<double> Values(const TChartValueList &L) {
  std::vector<double> V;
  for (int i = 0; i < L.Count(); ++i) V.push_back(L.GetValue(i));
  return V;
}
} // namespace

TEST(ValueList, EmptyListHasZeroStatistics) {
  TChartValueList L(nullptr, "Y");
  EXPECT_EQ(L.MinValue(), 0);
  EXPECT_EQ(L.MaxValue(), 0);
  EXPECT_EQ(L.Total(), 0);
  EXPECT_EQ(L.TotalABS(), 0);
}

TEST(ValueList, MultiplierAppliesToReadsAndStatistics) {
  TChartValueList L(nullptr, "Y");
  L.AddChartValue(1);
  L.AddChartValue(3);
  L.SetMultiplier(2);
  EXPECT_EQ(L.GetValue(1), 6);
  EXPECT_EQ(L.MaxValue(), 6);
  EXPECT_EQ(L.Total(), 8);
  EXPECT_EQ(L.Locate(3), -1); // Locate compares multiplied values
  EXPECT_EQ(L.Locate(6), 1);
  L.AddChartValue(-4);
  EXPECT_EQ(L.MinValue(), -8);
  EXPECT_EQ(L.TotalABS(), 16);
}

TEST(ValueList, AscendingInsertKeepsArrivalOrderOfEqualValues) {
  TChartValueList L(nullptr, "X");
  L.Order = TChartListOrder::loAscending;
  EXPECT_EQ(L.AddChartValue(5), 0);
  EXPECT_EQ(L.AddChartValue(1), 0);
  EXPECT_EQ(L.AddChartValue(3), 1);
  EXPECT_EQ(L.AddChartValue(3), 2); // after the first 3
  EXPECT_EQ(Values(L), (std::vector<double>{1, 3, 3, 5}));
  TChartValueList M(nullptr, "X");
  M.Order = TChartListOrder::loAscending;
  M.AddChartValue(2);
  EXPECT_EQ(M.AddChartValue(2), 1);
}

TEST(ValueList, DescendingInsert) {
  TChartValueList L(nullptr, "X");
  L.Order = TChartListOrder::loDescending;
  L.AddChartValue(1);
  L.AddChartValue(5);
  L.AddChartValue(3);
  EXPECT_EQ(Values(L), (std::vector<double>{5, 3, 1}));
}

TEST(ValueList, SetValueDoesNotReorderAndMarksStatistics) {
  TChartValueList L(nullptr, "X");
  L.Order = TChartListOrder::loAscending;
  L.AddChartValue(1);
  L.AddChartValue(2);
  EXPECT_EQ(L.MaxValue(), 2);
  L.SetValue(0, 10);
  EXPECT_EQ(Values(L), (std::vector<double>{10, 2}));
  EXPECT_EQ(L.MaxValue(), 10);
}

TEST(ValueList, ClearScrollSort) {
  TChartValueList L(nullptr, "Y");
  for (double v : {1.0, 2.0, 3.0}) L.AddChartValue(v);
  L.Scroll();
  EXPECT_EQ(Values(L), (std::vector<double>{2, 3, 1}));
  L.Order = TChartListOrder::loAscending;
  L.Sort();
  EXPECT_EQ(Values(L), (std::vector<double>{1, 2, 3}));
  L.Order = TChartListOrder::loDescending;
  L.Sort();
  EXPECT_EQ(Values(L), (std::vector<double>{3, 2, 1}));
  L.Clear();
  EXPECT_EQ(L.Count(), 0);
  EXPECT_EQ(L.MaxValue(), 0);
  L.Scroll(); // nothing to rotate
  EXPECT_EQ(L.Count(), 0);
  EXPECT_THROW(L.Delete(0), EListError);
}

TEST(ValueList, IndexOutsideTheListRaises) {
  TChartValueList L(nullptr, "Y");
  L.AddChartValue(4);
  EXPECT_EQ(L.GetValue(0), 4);
  try {
    (void)L.GetValue(1);
    FAIL();
  } catch (const EListError &E) {
    EXPECT_STREQ(E.what(), "List index out of bounds (1)");
  }
  EXPECT_THROW((void)L.GetValue(-1), EListError);
  EXPECT_THROW(L.SetValue(3, 1), EListError);
  EXPECT_THROW(L.InsertChartValue(5, 1), EListError);
  EXPECT_EQ(L.Count(), 1);
  // Through a series too: a point that is not there.
  TPointSeries S;
  S.AddXY(1, 2);
  EXPECT_THROW((void)S.GetyValue(1), EListError);
}

TEST(ValueList, NewValueSourceRefillsTheSeries) {
  TChart Chart;
  auto *Source = Chart.AddSeries<TPointSeries>();
  Source->AddXY(1, 2);
  Source->AddXY(2, 3);
  auto *Copy = Chart.AddSeries<TPointSeries>();
  Copy->AddDataSource(Source);
  Copy->AddXY(5, 9); // its own point, gone when the series is filled from its source again
  ASSERT_EQ(Copy->Count(), 3);
  Copy->YValues().SetValueSource("Close");
  EXPECT_EQ(Copy->YValues().ValueSource(), "Close");
  EXPECT_EQ(Copy->Count(), 2);
  Copy->AddXY(5, 9);
  Copy->YValues().SetValueSource("Close"); // the same name: nothing to take again
  EXPECT_EQ(Copy->Count(), 3);
  // So do the series' own source field names.
  Copy->SetColorSource("Tint");
  EXPECT_EQ(Copy->ColorSource(), "Tint");
  EXPECT_EQ(Copy->Count(), 2);
  Copy->AddXY(5, 9);
  Copy->SetXLabelsSource("Name");
  EXPECT_EQ(Copy->XLabelsSource(), "Name");
  EXPECT_EQ(Copy->Count(), 2);
  Copy->AddXY(5, 9);
  Copy->SetColorSource("Tint");
  Copy->SetXLabelsSource("Name");
  EXPECT_EQ(Copy->Count(), 3);
  TChartValueList Other(nullptr, "Y");
  Other.Assign(Copy->YValues());
  EXPECT_EQ(Other.ValueSource(), "Close");
}

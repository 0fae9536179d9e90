#include <gtest/gtest.h>

#include "chart_test_util.h"
#include "charts/bar_series.h"
#include "charts/series_functions.h"

namespace {

// A chart with point series as sources and a point series (one point per result) for
// the function.
struct TFunctionChart : TChartOnBitmap {
  TFunctionChart() : TChartOnBitmap(500, 300) {
    Chart.SetView3D(false);
    Chart.Legend.SetVisible(false);
  }
  TPointSeries *Source(std::initializer_list<double> Values) {
    auto *S = Chart.AddSeries<TPointSeries>();
    for (double V : Values) S->Add(V);
    return S;
  }
  template <class F, class T = TPointSeries>
  T *Result(std::initializer_list<TChartSeries *> Sources, double Period = 0) {
    auto *R = Chart.AddSeries<T>();
    auto Fn = std::make_unique<F>();
    Fn->SetPeriod(Period);
    R->SetFunction(std::move(Fn));
    for (TChartSeries *S : Sources) R->AddDataSource(S);
    return R;
  }
};

} // namespace

TEST(SeriesFunctions, AcrossSourcesAtOneIndex) {
  TFunctionChart W;
  auto *A = W.Source({10, 10, 2});
  auto *B = W.Source({0, 3, 3});
  auto *C = W.Source({5, 2, 4});
  // Divide: 10 / 5, the 0 is passed over.
  auto *D = W.Result<TDivideChartFunction>({A, B, C});
  ASSERT_EQ(D->Count(), 3);
  EXPECT_EQ(D->GetyValue(0), 2);
  // Subtract: 10 - 3 - 2; Multiply 2 x 3 x 4; Add 10 + 3 + 2.
  EXPECT_EQ(W.Result<TSubtractChartFunction>({A, B, C})->GetyValue(1), 5);
  EXPECT_EQ(W.Result<TMultiplyChartFunction>({A, B, C})->GetyValue(2), 24);
  EXPECT_EQ(W.Result<TAddChartFunction>({A, B, C})->GetyValue(1), 15);
  EXPECT_EQ(W.Result<TLowChartFunction>({A, B, C})->GetyValue(0), 0);
  EXPECT_EQ(W.Result<TAverageChartFunction>({A, B, C})->GetyValue(0), 5);
  // Each result stands at the X of its index.
  EXPECT_EQ(D->GetxValue(2), 2);
}

TEST(SeriesFunctions, HighWithOnlyTheSecondSourceAtTheIndex) {
  TFunctionChart W;
  auto *A = W.Source({1});
  auto *B = W.Source({4, 7});
  auto *H = W.Result<THighChartFunction>({A, B});
  ASSERT_EQ(H->Count(), 2);
  EXPECT_EQ(H->GetyValue(1), 7);
  // No source at an index gives 0 for every kind.
  const std::vector<TChartSeries *> None{A, B};
  EXPECT_EQ(THighChartFunction().CalculateMany(None, 5), 0);
  EXPECT_EQ(TSubtractChartFunction().CalculateMany(None, 5), 0);
  EXPECT_EQ(TAverageChartFunction().CalculateMany(None, 5), 0);
  EXPECT_EQ(TAddChartFunction().CalculateMany(None, 5), 0);
}

TEST(SeriesFunctions, CalculateOverARange) {
  TFunctionChart W;
  auto *S = W.Source({1, 2, 6, 9});
  TAverageChartFunction Avg;
  EXPECT_EQ(Avg.Calculate(S, 0, 2), 3); // (1 + 2 + 6) / 3
  EXPECT_EQ(Avg.Calculate(S, -1, -1), 4.5);
  EXPECT_EQ(THighChartFunction().Calculate(S, 0, 2), 6);
  EXPECT_EQ(THighChartFunction().Calculate(S, -1, -1), 9);
  EXPECT_EQ(TLowChartFunction().Calculate(S, 1, 3), 2);
  EXPECT_EQ(TAddChartFunction().Calculate(S, -1, -1), 18);
  EXPECT_EQ(TChartFunction().Calculate(S, -1, -1), 0);
  TPointSeries Empty;
  EXPECT_EQ(Avg.Calculate(&Empty, -1, -1), 0);
}

TEST(SeriesFunctions, MovingWindowAndPeriods) {
  TFunctionChart W;
  auto *S = W.Source({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  // A window of 3 over 10 points: windows ending at 2..9, 8 results.
  auto *Avg = W.Result<TAverageChartFunction>({S}, 3);
  ASSERT_EQ(Avg->Count(), 8);
  EXPECT_EQ(Avg->GetyValue(0), 2);  // (1 + 2 + 3) / 3
  EXPECT_EQ(Avg->GetxValue(0), 1);  // centred in its window: X 0..2
  EXPECT_EQ(Avg->GetyValue(7), 9);  // (8 + 9 + 10) / 3
  Avg->FunctionType()->SetPeriodAlign(paLast);
  EXPECT_EQ(Avg->GetxValue(0), 2);
  // A period that rounds to nothing is still a window of one point.
  Avg->FunctionType()->SetPeriod(0.4);
  ASSERT_EQ(Avg->Count(), 10);
  EXPECT_EQ(Avg->GetyValue(4), 5);
  // The period setter refuses a negative value and keeps the old one.
  try {
    Avg->FunctionType()->SetPeriod(-1);
    FAIL();
  } catch (const ChartException &E) {
    EXPECT_STREQ(E.what(), "Function Period should be >= 0");
  }
  EXPECT_EQ(Avg->FunctionType()->Period(), 0.4);
  // X ranges of 4: 0..3, 4..7, 8..9.
  Avg->FunctionType()->SetPeriodStyle(psRange);
  Avg->FunctionType()->SetPeriod(4);
  ASSERT_EQ(Avg->Count(), 3);
  EXPECT_EQ(Avg->GetyValue(0), 2.5);
  EXPECT_EQ(Avg->GetyValue(2), 9.5);
  // A tiny range gives one result per point, not a range per step.
  Avg->FunctionType()->SetPeriod(1e-9);
  EXPECT_EQ(Avg->Count(), 10);
}

TEST(SeriesFunctions, DatePeriodsAreCalendarMonthsAndClockHours) {
  TFunctionChart W;
  auto *S = W.Chart.AddSeries<TPointSeries>();
  S->XValues().SetDateTime(true);
  // Every day of the first quarter of 2021, valued by the square of its month.
  for (double D = EncodeChartDate(2021, 1, 1); D < EncodeChartDate(2021, 4, 1); ++D) {
    int Y, M, Day;
    DecodeChartDate(D, Y, M, Day);
    S->AddXY(D, M * M);
  }
  auto *Avg = W.Result<TAverageChartFunction>({S}, 30);
  Avg->FunctionType()->SetPeriodStyle(psRange);
  // A 30-day period is a month: January, February (28 days) and March, each pure.
  ASSERT_EQ(Avg->Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Avg->GetyValue(i), (i + 1) * (i + 1)) << i;
  // An hour runs from one full hour to the next, whatever minute the data begins at.
  S->Clear();
  const double Day = EncodeChartDate(2021, 5, 3);
  for (int Minutes : {630, 645, 660, 675}) S->AddXY(Day + Minutes / 1440.0, Minutes);
  Avg->FunctionType()->SetPeriod(1.0 / 24);
  ASSERT_EQ(Avg->Count(), 2);
  EXPECT_EQ(Avg->GetyValue(0), 637.5); // 10:30 and 10:45
  EXPECT_EQ(Avg->GetyValue(1), 667.5); // 11:00 and 11:15
  // A period off the table, however near an entry, is a plain range of its own length:
  // points every 0.6 s fall into 1.5-second and 0.5-second ranges, not whole seconds.
  S->Clear();
  for (int i = 0; i < 5; ++i) S->AddXY(Day + i * 0.6 / 86400, i);
  Avg->FunctionType()->SetPeriod(1.5 / 86400);
  ASSERT_EQ(Avg->Count(), 2);
  EXPECT_EQ(Avg->GetyValue(0), 1);   // 0, 0.6 and 1.2 s
  EXPECT_EQ(Avg->GetyValue(1), 3.5); // 1.8 and 2.4 s
  Avg->FunctionType()->SetPeriod(0.5 / 86400);
  EXPECT_EQ(Avg->Count(), 5);
}

TEST(SeriesFunctions, AllPointsAndLineSeries) {
  TFunctionChart W;
  auto *S = W.Source({2, 4, 9});
  // One point at the middle of the source's X range for a point series.
  auto *P = W.Result<TAverageChartFunction>({S});
  ASSERT_EQ(P->Count(), 1);
  EXPECT_EQ(P->GetxValue(0), 1);
  EXPECT_EQ(P->GetyValue(0), 5);
  // A line series gets the result as a level from the smallest to the largest X.
  auto *L = W.Result<TAverageChartFunction, TLineSeries>({S});
  ASSERT_EQ(L->Count(), 2);
  EXPECT_EQ(L->GetxValue(0), 0);
  EXPECT_EQ(L->GetxValue(1), 2);
  EXPECT_EQ(L->GetyValue(1), 5);
  // A change of the source recalculates.
  S->Add(1);
  EXPECT_EQ(P->GetyValue(0), 4);
  EXPECT_EQ(P->GetxValue(0), 1.5);
  S->Delete(3);
  EXPECT_EQ(P->GetyValue(0), 5);
  W.Paint();
  W.Save("function_average.png");
}

TEST(SeriesFunctions, MovingAFunctionKeepsIt) {
  TFunctionChart W;
  auto *S = W.Source({1, 2, 3});
  auto *A = W.Result<THighChartFunction>({S});
  auto *B = W.Chart.AddSeries<TPointSeries>();
  B->AddDataSource(S);
  TChartFunction *F = A->FunctionType();
  F->SetPeriod(2);
  // Moving to B: A drops it without freeing, B takes it and recalculates.
  EXPECT_EQ(F->SetParentSeries(B), nullptr);
  EXPECT_EQ(A->FunctionType(), nullptr);
  EXPECT_EQ(B->FunctionType(), F);
  EXPECT_EQ(F->ParentSeries(), B);
  EXPECT_EQ(F->Period(), 2);
  ASSERT_EQ(B->Count(), 2);
  EXPECT_EQ(B->GetyValue(1), 3);
  // Detaching hands the function back without freeing it.
  std::unique_ptr<TChartFunction> Kept = F->SetParentSeries(nullptr);
  EXPECT_EQ(Kept.get(), F);
  EXPECT_EQ(F->ParentSeries(), nullptr);
  EXPECT_FALSE(B->HasFunction());
  // A copy takes the settings.
  TAverageChartFunction Copy;
  Copy.Assign(*Kept);
  EXPECT_EQ(Copy.Period(), 2);
  // A function cannot take its own series as a source.
  EXPECT_THROW(B->AddDataSource(B), ChartException);
}

TEST(SeriesFunctions, CopyingASourceKeepsDates) {
  TFunctionChart W;
  auto *S = W.Source({1, 2});
  S->XValues().SetDateTime(true);
  auto *Copy = W.Chart.AddSeries<TPointSeries>();
  Copy->AddDataSource(S);
  EXPECT_TRUE(Copy->XValues().DateTime());
  EXPECT_EQ(Copy->Count(), 2);
}

TEST(SeriesRegistry, StandardRowsInOrder) {
  const auto &R = SeriesRegistry();
  ASSERT_EQ(R.size(), 14u);
  const char *Names[14] = {"Line",  "Bar",      "Horiz. Bar", "Area",     "Point",
                           "Pie",   "Fast Line", "Add",       "Subtract", "Multiply",
                           "Divide", "High",     "Low",       "Average"};
  for (int i = 0; i < 14; ++i) {
    EXPECT_EQ(R[i].Description, Names[i]);
    EXPECT_EQ(R[i].Page, i < 7 ? "Standard" : "Functions");
    EXPECT_EQ(R[i].NumGallerySeries, i == 5 ? 1 : 2) << i;
    EXPECT_EQ(i < 7, R[i].FunctionClass.empty());
  }
  EXPECT_EQ(R[2].SeriesClass, "THorizBarSeries");
  EXPECT_EQ(R[13].FunctionClass, "TAverageChartFunction");
  // The rows make what they name.
  EXPECT_NE(dynamic_cast<THorizBarSeries *>(R[2].CreateSeries().get()), nullptr);
  EXPECT_NE(dynamic_cast<TDivideChartFunction *>(R[10].CreateFunction().get()), nullptr);
  // A pair listed already is not listed again; a long description is cut to 20.
  RegisterSeries({"TBarSeries", "", "Bar", "Standard", 2, nullptr, nullptr});
  EXPECT_EQ(SeriesRegistry().size(), 14u);
  RegisterSeries({"TMySeries", "", "A rather long description", "Other", 1, nullptr, nullptr});
  EXPECT_EQ(SeriesRegistry().back().Description, "A rather long descri");
}

TEST(ChartPaging, DeletedPointsShowTheLastPage) {
  TFunctionChart W;
  auto *S = W.Source({});
  for (int i = 0; i < 35; ++i) S->AddXY(i, i % 7);
  W.Chart.SetMaxPointsPerPage(10);
  W.Chart.SetPage(4);
  EXPECT_EQ(W.Chart.Page(), 4);
  for (int i = 0; i < 10; ++i) S->Delete(S->Count() - 1);
  // 25 points, page 4 lies past the end: the page shown starts at (25 div 10 - 1) x 10, the
  // last full page, points 10..19.
  EXPECT_EQ(W.Chart.MinXValue(&W.Chart.BottomAxis), 10);
  EXPECT_EQ(W.Chart.MaxXValue(&W.Chart.BottomAxis), 19);
  // 5 points, fewer than a page: the page starts at 0 and ends at the last point.
  for (int i = 0; i < 20; ++i) S->Delete(S->Count() - 1);
  EXPECT_EQ(W.Chart.Page(), 4);
  EXPECT_EQ(W.Chart.MinXValue(&W.Chart.BottomAxis), 0);
  EXPECT_EQ(W.Chart.MaxXValue(&W.Chart.BottomAxis), 4);
  // 30 points: page 4 is past the end again and shows points 20..29.
  for (int i = 5; i < 30; ++i) S->AddXY(i, 1);
  EXPECT_EQ(W.Chart.MinXValue(&W.Chart.BottomAxis), 20);
  EXPECT_EQ(W.Chart.MaxXValue(&W.Chart.BottomAxis), 29);
}

TEST(SeriesFunctions, MovingAverageDrawn) {
  TFunctionChart W;
  auto *S = W.Chart.AddSeries<TPointSeries>();
  for (int i = 0; i < 40; ++i) S->AddXY(i, 10 + (i * 37 % 11) - 0.2 * i);
  auto *Avg = W.Result<TAverageChartFunction, TFastLineSeries>({S}, 5);
  Avg->SetSeriesColor(clRed);
  W.Paint();
  W.Save("function_moving_average.png");
  // 36 overlapping windows of 5: one point each, centred, so that the line runs straight
  // through them instead of zig-zagging between levels.
  ASSERT_EQ(Avg->Count(), 36);
  EXPECT_EQ(Avg->GetxValue(0), 2);
  for (int i = 1; i < 36; ++i) EXPECT_GT(Avg->GetxValue(i), Avg->GetxValue(i - 1));
  const int Y = W.Chart.LeftAxis.CalcYPosValue(Avg->GetyValue(0));
  EXPECT_EQ(W.Pixel(W.Chart.BottomAxis.CalcXPosValue(2), Y), clRed);
}

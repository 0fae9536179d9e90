#include <gtest/gtest.h>

#include "chart_test_util.h"
#include "platform/date_formats.h"

#include <QDate>
#include <QLocale>
#include <QTime>

TEST(AxisDates, CalendarOfChartDates) {
  EXPECT_EQ(EncodeChartDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeChartDate(2000, 1, 1), 36526); // as FormatDateTime reads it
  int Y, M, D;
  DecodeChartDate(36526.75, Y, M, D);
  EXPECT_EQ(Y * 10000 + M * 100 + D, 20000101);
  DecodeChartDate(EncodeChartDate(2024, 2, 29), Y, M, D);
  EXPECT_EQ(Y * 10000 + M * 100 + D, 20240229);
}

TEST(AxisDates, RoundDateCutsBackToTheEntrysBoundary) {
  const double Mar20 = EncodeChartDate(2021, 3, 20) + 0.4, Mar10 = EncodeChartDate(2021, 3, 10);
  EXPECT_EQ(ChartRoundDate(Mar20, 14), EncodeChartDate(2021, 3, 20)); // one day: its start
  EXPECT_EQ(ChartRoundDate(Mar20, 18), EncodeChartDate(2021, 3, 15)); // 15 days: the 15th
  EXPECT_EQ(ChartRoundDate(Mar10, 18), EncodeChartDate(2021, 3, 1));  // or the 1st
  EXPECT_EQ(ChartRoundDate(Mar20, 19), EncodeChartDate(2021, 3, 1));  // 30 days
  EXPECT_EQ(ChartRoundDate(Mar20, 23), EncodeChartDate(2021, 3, 1));  // 182 days
  EXPECT_EQ(ChartRoundDate(Mar20, 24), EncodeChartDate(2021, 1, 1));  // 365 days
  EXPECT_EQ(ChartRoundDate(Mar20, 10), Mar20);                        // hours: untouched
}

TEST(AxisDates, DecrementWalksTheCalendar) {
  EXPECT_EQ(ChartDecrementDate(EncodeChartDate(2021, 3, 15), 15), EncodeChartDate(2021, 3, 1));
  EXPECT_EQ(ChartDecrementDate(EncodeChartDate(2021, 3, 1), 15), EncodeChartDate(2021, 2, 15));
  EXPECT_EQ(ChartDecrementDate(EncodeChartDate(2021, 1, 1), 15), EncodeChartDate(2020, 12, 15));
  EXPECT_EQ(ChartDecrementDate(EncodeChartDate(2021, 3, 1), 30), EncodeChartDate(2021, 2, 1));
  EXPECT_EQ(ChartDecrementDate(EncodeChartDate(2021, 2, 1), 90), EncodeChartDate(2020, 11, 1));
  EXPECT_EQ(ChartDecrementDate(EncodeChartDate(2021, 1, 1), 730), EncodeChartDate(2019, 1, 1));
}

TEST(AxisDates, DefaultFormatsAreTheLocalesShortOnes) {
  const QLocale Was;
  const double Eve = EncodeChartDate(2026, 12, 24) + (21 * 3600 + 5 * 60 + 9) / 86400.0;
  for (const char *Name : {"en_US", "de_DE", "fr_FR"}) {
    QLocale::setDefault(QLocale(QString(Name)));
    const QLocale L;
    // Longer than a day: the date as the locale writes it short; else the time.
    EXPECT_EQ(FormatDateTime(DateTimeDefaultFormat(2), Eve),
              L.toString(QDate(2026, 12, 24), QLocale::ShortFormat).toStdString())
        << Name;
    EXPECT_EQ(FormatDateTime(DateTimeDefaultFormat(0.5), Eve),
              L.toString(QTime(21, 5, 9), QLocale::ShortFormat).toStdString())
        << Name;
  }
  QLocale::setDefault(Was);
  // Quoted text and the letters the locales use.
  EXPECT_EQ(DateTimeFormatFromLocalePattern("d. M. 'um' H:mm"), "d\". \"m\". um \"h\":\"nn");
  EXPECT_EQ(FormatDateTime("d/m/yy h:n:s am/pm", Eve), "24/12/26 9:5:9 pm");
}

namespace {
// A date axis at the bottom, from StartYear to EndYear, on a chart of the given width.
struct TDateChart : TChartOnBitmap {
  TDateChart(int Width, double From, double To, double Increment) : TChartOnBitmap(Width, 250) {
    Chart.SetView3D(false);
    Chart.Legend.SetVisible(false);
    auto *S = Chart.AddSeries<TFastLineSeries>();
    S->XValues().SetDateTime(true);
    S->AddXY(From, 1);
    S->AddXY(To, 2);
    Chart.BottomAxis.SetMinMax(From, To);
    Chart.BottomAxis.SetIncrement(Increment);
    Paint();
  }
};
} // namespace

TEST(AxisDates, YearlyLabelsFollowTheFittedStep) {
  // Ten years with an increment of 365 days on a narrow chart: the step is fitted (two
  // years or more) and every label stands on a 1 January, the same number of years apart.
  TDateChart W(300, EncodeChartDate(2010, 6, 1), EncodeChartDate(2020, 6, 1), 365);
  W.Save("axis_dates_years.png");
  const std::vector<double> &L = W.Chart.BottomAxis.DrawnLabels;
  ASSERT_GE(L.size(), 2u);
  EXPECT_LE(L.size(), 6u); // not eleven on top of each other
  int Y0, M, D, Y1;
  DecodeChartDate(L[0], Y0, M, D);
  EXPECT_EQ(M * 100 + D, 101);
  DecodeChartDate(L[1], Y1, M, D);
  EXPECT_EQ(M * 100 + D, 101);
  const int Gap = Y0 - Y1;
  EXPECT_GE(Gap, 2);
  for (size_t i = 1; i < L.size(); ++i) {
    int Y, Mi, Di;
    DecodeChartDate(L[i], Y, Mi, Di);
    EXPECT_EQ(Y, Y0 - int(i) * Gap);
    EXPECT_EQ(Mi * 100 + Di, 101);
  }
}

TEST(AxisDates, HalfMonthLabels) {
  // An increment of 15 days over three months on a wide chart: the 1st and the 15th.
  TDateChart W(900, EncodeChartDate(2021, 1, 1), EncodeChartDate(2021, 3, 31), 15);
  const std::vector<double> &L = W.Chart.BottomAxis.DrawnLabels;
  ASSERT_EQ(L.size(), 6u);
  EXPECT_EQ(L[0], EncodeChartDate(2021, 3, 15));
  EXPECT_EQ(L[1], EncodeChartDate(2021, 3, 1));
  EXPECT_EQ(L[5], EncodeChartDate(2021, 1, 1));
}

TEST(AxisDates, LabelRoomOfExactDatesMeasuresTheCutEnds) {
  // 10 and 11 January cut to whole weeks fall on the 6th: one digit instead of two.
  TDateChart W(400, EncodeChartDate(2024, 1, 10), EncodeChartDate(2024, 1, 11), 7);
  TCustomChartAxis &A = W.Chart.BottomAxis;
  A.SetDateTimeFormat("d");
  A.SetRoundFirstLabel(false);
  W.Paint();
  ASSERT_EQ(FormatDateTime("d", std::trunc(A.IMaximum / 7) * 7), "6");
  TChartCanvas3D &C = W.Chart.Canvas();
  W.Chart.AssignChartFont(A.LabelsFont);
  const int Space = C.TextWidth(" "), One = C.TextWidth("6"), Two = C.TextWidth("11");
  EXPECT_EQ(A.MaxLabelsWidth(), One + Space);
  A.SetExactDateTime(false);
  EXPECT_EQ(A.MaxLabelsWidth(), Two + Space);
  // Without an increment no date-time is exact: the ends 00:10 and 18:28 are measured as
  // they are drawn, not cut to whole hours ("0").
  const double Day = EncodeChartDate(2024, 1, 10);
  TDateChart Auto(400, Day + 10.0 / 1440, Day + (18 * 60 + 28.0) / 1440, 0);
  TCustomChartAxis &B = Auto.Chart.BottomAxis;
  B.SetDateTimeFormat("n");
  B.SetRoundFirstLabel(false);
  Auto.Paint();
  Auto.Chart.AssignChartFont(B.LabelsFont);
  TChartCanvas3D &AC = Auto.Chart.Canvas();
  EXPECT_EQ(B.MaxLabelsWidth(),
            std::max(AC.TextWidth("10"), AC.TextWidth("28")) + AC.TextWidth(" "));
}

TEST(AxisDates, LogAxisFromZeroStartsAtOneTenth) {
  TChartOnBitmap W(400, 300);
  W.Chart.SetView3D(false);
  W.Chart.Legend.SetVisible(false);
  auto *S = W.Chart.AddSeries<TPointSeries>();
  S->AddXY(0, 0.1);
  S->AddXY(1, 100);
  TCustomChartAxis &L = W.Chart.LeftAxis;
  L.SetMinMax(0, 100);
  L.SetLogarithmic(true);
  W.Paint();
  W.Save("axis_log_from_zero.png");
  ASSERT_FALSE(L.DrawnLabels.empty());
  EXPECT_DOUBLE_EQ(L.DrawnLabels.front(), 0.1);
  // The minimum of 0 is taken as 0.1 for the mapping too: "0.1" sits at the bottom of the
  // plot, not below it.
  EXPECT_EQ(L.CalcYPosValue(0.1), L.IEndPos);
  EXPECT_EQ(L.CalcYPosValue(100), L.IStartPos);
}

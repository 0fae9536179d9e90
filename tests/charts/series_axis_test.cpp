#include <gtest/gtest.h>

#include <cmath>

#include "chart_test_util.h"
#include "charts/bar_series.h"

TEST(Series, AddXYKeepsXAscendingAndYFollows) {
  TChart C;
  auto *S = C.AddSeries<TLineSeries>();
  EXPECT_EQ(S->AddXY(3, 30), 0);
  EXPECT_EQ(S->AddXY(1, 10), 0);
  EXPECT_EQ(S->AddXY(2, 20), 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(S->GetxValue(i), i + 1);
    EXPECT_EQ(S->GetyValue(i), 10 * (i + 1));
  }
  // Equal X keep their order of arrival.
  S->AddXY(2, 21);
  EXPECT_EQ(S->GetyValue(1), 20);
  EXPECT_EQ(S->GetyValue(2), 21);
}

TEST(Series, BeforeAddVetoClearEventAndMaxY) {
  TChartOnBitmap W;
  auto *S = W.Chart.AddSeries<TPointSeries>();
  W.Paint();
  const int Before = W.Chart.PaintRequests();
  S->OnBeforeAdd = [](TChartSeries *) { return false; };
  EXPECT_EQ(S->AddXY(1, 1), -1);
  EXPECT_EQ(S->Count(), 0);
  EXPECT_EQ(W.Chart.PaintRequests(), Before); // a refused add asks for no paint
  S->OnBeforeAdd = nullptr;
  int Cleared = 0;
  S->OnClearValues = [&](TChartSeries *) { ++Cleared; };
  S->Clear();
  EXPECT_EQ(Cleared, 1); // also on an empty series
  EXPECT_EQ(S->MaxYValue(), 0);
  S->AddXY(0, 1);
  S->AddXY(1, 5);
  EXPECT_EQ(S->MaxYValue(), 5);
  S->SetYValue(1, 2);
  EXPECT_EQ(S->MaxYValue(), 2);
  S->SetXValue(0, 9); // breaks the order, stays in place
  EXPECT_EQ(S->GetxValue(0), 9);
}

TEST(Series, ValueColors) {
  TChart C;
  auto *S = C.AddSeries<TPointSeries>();
  S->SetSeriesColor(clRed);
  S->AddXY(0, 0);
  S->AddXY(1, 0, "", clBlue);
  S->AddXY(2, 0, "", clNone);
  EXPECT_EQ(S->GetValueColor(0), clRed);
  EXPECT_EQ(S->GetValueColor(1), clBlue);
  EXPECT_EQ(S->GetValueColor(2), clNone);
  S->SetColorEachPoint(true);
  EXPECT_EQ(S->GetValueColor(0), GetDefaultColor(0));
  EXPECT_EQ(S->Pointer.Brush.Color, clChartColor);
}

namespace {
// A bottom axis over the whole chart rectangle with fixed ends.
void LayOut(TChart &C, double Min, double Max) {
  C.ChartRect = TRect(0, 0, 100, 100);
  C.RecalcWidthHeight();
  C.BottomAxis.SetMinMax(Min, Max);
  C.LeftAxis.SetMinMax(0, 10);
  for (TCustomChartAxis *A : C.AxesList) {
    A->AdjustMaxMin();
    A->InternalCalcPositions();
  }
}
} // namespace

TEST(Series, VisibleRange) {
  TChart C;
  auto *L = C.AddSeries<TLineSeries>();
  for (int i = 0; i <= 10; ++i) L->AddXY(i, i);
  LayOut(C, 2.5, 7.5);
  L->CalcVisibleRange();
  EXPECT_EQ(L->FirstValueIndex, 3);
  EXPECT_EQ(L->LastValueIndex, 8); // the point past the end is kept
  L->DrawBetweenPoints = false;
  L->CalcVisibleRange();
  EXPECT_EQ(L->LastValueIndex, 7);
  LayOut(C, 20, 30);
  L->CalcVisibleRange();
  EXPECT_EQ(L->FirstValueIndex, -1);
  EXPECT_EQ(L->LastValueIndex, -1);
  L->XValues().Order = TChartListOrder::loNone;
  L->CalcVisibleRange();
  EXPECT_EQ(L->FirstValueIndex, 0);
  EXPECT_EQ(L->LastValueIndex, 10);
}

TEST(Series, PointOriginAndLegendPercent) {
  TChart C;
  auto *A = C.AddSeries<TLineSeries>();
  auto *B = C.AddSeries<TLineSeries>();
  A->AddXY(0, 2);
  B->AddXY(0, 5);
  EXPECT_EQ(A->PointOrigin(0, false), 0);
  EXPECT_EQ(B->PointOrigin(0, false), 2);
  EXPECT_EQ(A->PointOrigin(0, true), 7);
  auto *P = C.AddSeries<TPointSeries>();
  P->AddXY(0, 1, "a");
  P->AddXY(1, 3, "b");
  EXPECT_EQ(P->LegendItemText(0, ltsRightPercent), "a " + FormatFloat("##0.## %", 25));
  EXPECT_EQ(P->LegendItemText(1, ltsPlain), "b");
}

TEST(Series, CircularSourcesAreRefused) {
  TChart C;
  auto *A = C.AddSeries<TLineSeries>();
  auto *B = C.AddSeries<TLineSeries>();
  A->AddXY(1, 2);
  B->AddDataSource(A);
  EXPECT_EQ(B->Count(), 1);
  EXPECT_THROW(A->AddDataSource(B), ChartException);
  EXPECT_THROW(A->AddDataSource(A), ChartException);
  A->AddXY(2, 3);
  EXPECT_EQ(B->Count(), 2); // linked series follow their source
}

TEST(Axis, SetMinMaxOrdersAndWidens) {
  TChart C;
  C.BottomAxis.SetMinMax(5, 2);
  EXPECT_EQ(C.BottomAxis.Minimum(), 2);
  EXPECT_EQ(C.BottomAxis.Maximum(), 5);
  EXPECT_FALSE(C.BottomAxis.Automatic());
  EXPECT_FALSE(C.BottomAxis.AutomaticMinimum());
  EXPECT_FALSE(C.BottomAxis.AutomaticMaximum());
  C.BottomAxis.SetMinMax(3, 3);
  EXPECT_EQ(C.BottomAxis.Maximum(), 3 + 1e-10);
  C.LeftAxis.SetMinMax(0, 5);
  try {
    C.LeftAxis.SetMinimum(10);
    FAIL();
  } catch (const AxisException &E) {
    EXPECT_STREQ(E.what(), "Axis Minimum Value must be <= Maximum");
  }
  EXPECT_EQ(C.LeftAxis.Minimum(), 0);
  EXPECT_THROW(C.LeftAxis.SetMaximum(-1), AxisException);
  EXPECT_THROW(C.LeftAxis.SetIncrement(-1), AxisException);
  EXPECT_THROW(C.LeftAxis.SetLogarithmicBase(1), AxisException);
  EXPECT_THROW(C.LeftAxis.SetMinorTickCount(-1), AxisException);
  EXPECT_EQ(C.LeftAxis.MinorTickCount(), 3);
  EXPECT_THROW(C.LeftAxis.SetLabelsAngle(360), ChartException);
  C.LeftAxis.SetLabelsAngle(359);
  C.LeftAxis.SetLabelsAngle(0);
}

TEST(Axis, AutomaticFlagsFollowEachOther) {
  TChart C;
  TCustomChartAxis &A = C.LeftAxis;
  A.SetAutomaticMinimum(false);
  EXPECT_FALSE(A.Automatic());
  A.SetAutomaticMinimum(true);
  EXPECT_TRUE(A.Automatic());
  A.SetAutomatic(false);
  EXPECT_FALSE(A.AutomaticMaximum());
}

TEST(Axis, StepsFitTheLabels) {
  EXPECT_EQ(ChartNextStep(1), 2);
  EXPECT_EQ(ChartNextStep(2), 5);
  EXPECT_EQ(ChartNextStep(5), 10);
  EXPECT_EQ(ChartNextStep(20), 50);
  EXPECT_DOUBLE_EQ(ChartNextStep(0.1), 0.2);
  // Labels 30 px wide grown by 10 percent: 33 px, 12 fit in 400 px.
  EXPECT_EQ(TCustomChartAxis::LabelsThatFit(400, 30, 10), 12);
  TChart C;
  TCustomChartAxis &A = C.BottomAxis;
  A.IMinimum = 0;
  A.IMaximum = 20;
  A.IRange = 20;
  EXPECT_EQ(A.NumericStepFor(12), 2); // 20 > 12, 10 <= 12
  A.IMaximum = A.IRange = 0.5;
  EXPECT_NEAR(A.NumericStepFor(12), 0.05, 1e-15); // from 1e-12 upwards
  // A fixed increment stays when the labels fit, else moves up the 1-2-5 ladder.
  A.SetIncrement(0.1);
  A.IMinimum = -1.2;
  A.IMaximum = 1.2;
  A.IRange = 2.4;
  EXPECT_DOUBLE_EQ(A.NumericStepFor(24), 0.1);
  EXPECT_DOUBLE_EQ(A.NumericStepFor(10), 0.5);
}

TEST(Axis, StepSearchEndsOnBadRanges) {
  EXPECT_EQ(ChartNextStep(0), 1);
  EXPECT_EQ(ChartNextStep(NAN), 1);
  EXPECT_EQ(ChartNextStep(INFINITY), 1);
  EXPECT_EQ(ChartNextStep(-3), 1);
  TChart C;
  TCustomChartAxis &A = C.BottomAxis;
  for (double R : {0.0, double(INFINITY), double(NAN)}) {
    A.IMinimum = 0;
    A.IMaximum = R;
    A.IRange = R;
    const double S = A.NumericStepFor(10);
    EXPECT_TRUE(S >= 1e-12) << R;
  }
}

TEST(Axis, ValueToPixelAndBack) {
  TChart C;
  LayOut(C, 0, 20);
  TCustomChartAxis &B = C.BottomAxis;
  EXPECT_EQ(B.CalcXPosValue(0), 0);
  EXPECT_EQ(B.CalcXPosValue(20), 100);
  EXPECT_EQ(B.CalcXPosValue(10), 50);
  EXPECT_DOUBLE_EQ(B.CalcPosPoint(25), 5);
  TCustomChartAxis &L = C.LeftAxis; // 0..10 over 100 px, minimum at the bottom
  EXPECT_EQ(L.CalcYPosValue(0), 100);
  EXPECT_EQ(L.CalcYPosValue(10), 0);
  EXPECT_DOUBLE_EQ(L.CalcPosPoint(25), 7.5);
  L.SetInverted(true);
  EXPECT_EQ(L.CalcYPosValue(0), 0);
  // A far value after a deep zoom lands far outside, on its own side, not mid-plot.
  B.SetMinMax(0, 1e-9);
  B.AdjustMaxMin();
  EXPECT_GT(B.CalcXPosValue(1e6), 100000);
  EXPECT_LT(B.CalcXPosValue(-1e6), -100000);
  EXPECT_LT(B.CalcXPosValue(NAN), -100000);
}

TEST(Axis, LogarithmicMapping) {
  TChart C;
  LayOut(C, 1, 1000);
  TCustomChartAxis &L = C.LeftAxis;
  L.SetMinMax(1, 1000);
  L.AdjustMaxMin();
  L.SetLogarithmic(true);
  EXPECT_EQ(L.CalcYPosValue(-1), L.IEndPos); // the bottom
  EXPECT_EQ(L.CalcYPosValue(10), 67);        // a third of the way up
  EXPECT_EQ(L.CalcPosPoint(L.IStartPos), 1000);
  L.SetMinMax(0, 100);
  L.AdjustMaxMin();
  EXPECT_EQ(L.CalcPosPoint(L.IStartPos), 100);
}

TEST(Axis, MarginsWidenTheWorkingEnds) {
  TChart C;
  C.ChartRect = TRect(0, 0, 400, 100);
  C.RecalcWidthHeight();
  TCustomChartAxis &B = C.BottomAxis;
  B.SetMinMax(0, 100);
  B.AdjustMaxMin();
  B.InternalCalcPositions();
  B.AdjustMaxMinMargins(TRect(10, 0, 10, 0));
  EXPECT_NEAR(B.IMinimum, -10.0 * 100 / 380, 1e-9);
  EXPECT_NEAR(B.IMaximum, 100 + 10.0 * 100 / 380, 1e-9);
  EXPECT_EQ(B.Minimum(), 0);
  EXPECT_EQ(B.Maximum(), 100);
  EXPECT_EQ(B.IStartPos, 0);
  EXPECT_EQ(B.IEndPos, 400);
}

TEST(Axis, PointerMarginsOnlyAtAutomaticEnds) {
  TChartOnBitmap W;
  W.Chart.SetView3D(false);
  auto *P = W.Chart.AddSeries<TPointSeries>();
  for (int i = 0; i <= 4; ++i) P->AddXY(i * 5, i);
  W.Paint();
  // Automatic ends: the pointer (half size 4) keeps 5 px free at both ends.
  TCustomChartAxis &B = W.Chart.BottomAxis;
  EXPECT_EQ(B.CalcXPosValue(0), B.IStartPos + 5);
  EXPECT_EQ(B.CalcXPosValue(20), B.IEndPos - 5);
  B.SetMinMax(0, 20);
  W.Paint();
  EXPECT_EQ(B.CalcXPosValue(0), B.IStartPos);
  EXPECT_EQ(B.CalcXPosValue(20), B.IEndPos);
}

TEST(Axis, DateTimeSteps) {
  const double Second = 1.0 / 86400;
  EXPECT_DOUBLE_EQ(NextDateTimeStep(Second), 5 * Second);
  EXPECT_DOUBLE_EQ(NextDateTimeStep(1), 2);
  EXPECT_DOUBLE_EQ(NextDateTimeStep(7), 15);
  EXPECT_DOUBLE_EQ(NextDateTimeStep(182), 365);
  EXPECT_DOUBLE_EQ(NextDateTimeStep(Second / 2), 365);
  EXPECT_EQ(FindDateTimeStep(15), 18);
  EXPECT_EQ(FindDateTimeStep(1.5), -1);
  TChart C;
  TCustomChartAxis &A = C.BottomAxis;
  A.IMinimum = 0;
  A.IMaximum = A.IRange = 30; // a month in 10 labels: 3-day steps
  EXPECT_DOUBLE_EQ(A.DateTimeStepFor(10), 3);
  A.IMaximum = A.IRange = 3650; // ten years in 5 labels: yearly steps doubled
  EXPECT_DOUBLE_EQ(A.DateTimeStepFor(5), 730);
  EXPECT_EQ(FormatDateTime("dd/mm/yyyy", 36526), "01/01/2000");
  EXPECT_EQ(FormatDateTime("hh:nn:ss", 0.75), "18:00:00");
}

TEST(Axis, SettingsRepaintWhenChangedAfterTheFirstPaint) {
  TChartOnBitmap W;
  W.Chart.AddSeries<TPointSeries>()->AddXY(1, 1);
  TChartAxis &A = W.Chart.LeftAxis;
  ExpectEachChangeRepaints(W, {
                                  {"StartPosition", [&] { A.SetStartPosition(10); }},
                                  {"EndPosition", [&] { A.SetEndPosition(90); }},
                                  {"PositionPercent", [&] { A.SetPositionPercent(5); }},
                                  {"GridCentered", [&] { A.SetGridCentered(true); }},
                                  {"LabelsOnAxis", [&] { A.SetLabelsOnAxis(false); }},
                                  {"LabelsSize", [&] { A.SetLabelsSize(30); }},
                                  {"LabelStyle", [&] { A.SetLabelStyle(talNone); }},
                                  {"AxisValuesFormat", [&] { A.SetAxisValuesFormat("0.0"); }},
                                  {"DateTimeFormat", [&] { A.SetDateTimeFormat("hh:nn"); }},
                                  {"ExactDateTime", [&] { A.SetExactDateTime(false); }},
                                  {"RoundFirstLabel", [&] { A.SetRoundFirstLabel(false); }},
                                  {"LabelsMultiLine", [&] { A.SetLabelsMultiLine(true); }},
                                  {"MinorTickLength", [&] { A.SetMinorTickLength(5); }},
                                  {"TickInnerLength", [&] { A.SetTickInnerLength(3); }},
                                  {"TickLength", [&] { A.SetTickLength(7); }},
                                  {"TickOnLabelsOnly", [&] { A.SetTickOnLabelsOnly(false); }},
                                  {"TitleSize", [&] { A.SetTitleSize(20); }},
                                  {"LabelsFont", [&] { A.LabelsFont.SetColor(clRed); }},
                              });
  EXPECT_EQ(A.TickLength(), 7);
  EXPECT_EQ(A.AxisValuesFormat(), "0.0");
  // The new settings take effect: the axis now starts 10 % down the chart rectangle.
  W.Paint();
  EXPECT_EQ(A.IStartPos, W.Chart.ChartRect.Top + Round(W.Chart.ChartHeight * 0.1));
}

TEST(Axis, AssignCopiesEverySetting) {
  TChartOnBitmap W;
  TChartAxis &S = W.Chart.LeftAxis, &A = W.Chart.RightAxis;
  S.SetMinMax(5, 9);
  S.SetIncrement(0.5);
  S.SetInverted(true);
  S.SetStartPosition(20);
  S.Grid.SetColor(clRed);
  S.Ticks.SetVisible(false);
  S.SetLabelsAngle(90);
  S.LabelsFont.SetSize(14);
  S.SetLabelStyle(talValue);
  S.SetAxisValuesFormat("0.00");
  S.SetMinorTickCount(7);
  S.SetTickLength(9);
  S.SetTitleSize(12);
  S.Title.SetCaption("volts");
  S.Title.Font.SetColor(clGreen);
  A.SetMinMax(100, 200); // the copy's minimum lies below this maximum: no check refuses it
  A.Assign(S);
  EXPECT_FALSE(A.Automatic());
  EXPECT_EQ(A.Minimum(), 5);
  EXPECT_EQ(A.Maximum(), 9);
  EXPECT_EQ(A.Increment(), 0.5);
  EXPECT_TRUE(A.Inverted());
  EXPECT_EQ(A.StartPosition(), 20);
  EXPECT_EQ(A.Grid.Color, clRed);
  EXPECT_FALSE(A.Ticks.Visible);
  EXPECT_EQ(A.LabelsAngle(), 90);
  EXPECT_EQ(A.LabelsFont.Size(), 14);
  EXPECT_EQ(A.LabelStyle(), talValue);
  EXPECT_EQ(A.AxisValuesFormat(), "0.00");
  EXPECT_EQ(A.MinorTickCount(), 7);
  EXPECT_EQ(A.TickLength(), 9);
  EXPECT_EQ(A.TitleSize(), 12);
  EXPECT_EQ(A.Title.Caption(), "volts");
  EXPECT_EQ(A.Title.Angle(), 90); // the left axis's title angle comes along
  EXPECT_EQ(A.Title.Font.Color, clGreen);
  // Still the right axis: its side is its own.
  EXPECT_TRUE(A.OtherSide());
  EXPECT_FALSE(A.Horizontal());
}

TEST(Chart, AssignCopiesAxesWallsAndTexts) {
  TChartOnBitmap S, W;
  S.Chart.BottomAxis.SetMinMax(0, 20);
  S.Chart.LeftAxis.Title.SetCaption("height (m)");
  S.Chart.SetAxisVisible(false);
  S.Chart.SetMaxPointsPerPage(10);
  S.Chart.SetBackColor(clYellow);
  S.Chart.BottomWall.SetSize(4);
  S.Chart.Title.SetText({"paths"});
  S.Chart.Title.Font.SetColor(clRed);
  S.Chart.Legend.SetAlignment(laTop);
  S.Chart.Legend.SetTopPos(30);
  S.Chart.Foot.SetVisible(false);
  S.Chart.SetView3D(false);
  W.Chart.Assign(S.Chart);
  EXPECT_EQ(W.Chart.BottomAxis.Maximum(), 20);
  EXPECT_FALSE(W.Chart.BottomAxis.Automatic());
  EXPECT_EQ(W.Chart.LeftAxis.Title.Caption(), "height (m)");
  EXPECT_FALSE(W.Chart.AxisVisible());
  EXPECT_EQ(W.Chart.MaxPointsPerPage(), 10);
  EXPECT_EQ(W.Chart.BackColor(), clYellow);
  EXPECT_EQ(W.Chart.BackWall.Brush.Style, bsSolid);
  EXPECT_EQ(W.Chart.BottomWall.Size(), 4);
  EXPECT_EQ(W.Chart.Title.Text(), std::vector<std::string>{"paths"});
  EXPECT_EQ(W.Chart.Title.Font.Color, clRed);
  EXPECT_EQ(W.Chart.Legend.Alignment(), laTop);
  EXPECT_EQ(W.Chart.Legend.TopPos(), 30);
  EXPECT_FALSE(W.Chart.Foot.Visible());
  EXPECT_FALSE(W.Chart.View3D());
  EXPECT_TRUE(W.Chart.PaintPending());
}

TEST(Chart, ChartWallTitleLegendSeriesAndMarksSettingsRepaintWhenChanged) {
  TChartOnBitmap W;
  TChart &C = W.Chart;
  auto *S = C.AddSeries<TPointSeries>();
  S->AddXY(1, 1);
  auto *Bar = C.AddSeries<TBarSeries>();
  auto *Line = C.AddSeries<TFastLineSeries>();
  TChartLegend &L = C.Legend;
  ExpectEachChangeRepaints(
      W, {
             {"Wall Dark3D", [&] { C.LeftWall.SetDark3D(false); }},
             {"Wall Size", [&] { C.BackWall.SetSize(3); }},
             {"Title AdjustFrame", [&] { C.Title.SetAdjustFrame(false); }},
             {"Title Alignment", [&] { C.Foot.SetAlignment(TChartTitle::taLeftJustify); }},
             {"Title Color", [&] { C.Title.SetColor(clAqua); }},
             {"Title Text", [&] { C.Title.SetText({"paths"}); }},
             {"Legend Alignment", [&] { L.SetAlignment(laBottom); }},
             {"Legend Color", [&] { L.SetColor(clYellow); }},
             {"Legend ColorWidth", [&] { L.SetColorWidth(20); }},
             {"Legend FirstValue", [&] { L.SetFirstValue(1); }},
             {"Legend HorizMargin", [&] { L.SetHorizMargin(7); }},
             {"Legend Inverted", [&] { L.SetInverted(true); }},
             {"Legend LegendStyle", [&] { L.SetLegendStyle(lsSeries); }},
             {"Legend MaxNumRows", [&] { L.SetMaxNumRows(3); }},
             {"Legend ResizeChart", [&] { L.SetResizeChart(false); }},
             {"Legend ShadowColor", [&] { L.SetShadowColor(clGray); }},
             {"Legend ShadowSize", [&] { L.SetShadowSize(5); }},
             {"Legend TextStyle", [&] { L.SetTextStyle(ltsPlain); }},
             {"Legend TopPos", [&] { L.SetTopPos(40); }},
             {"Legend VertMargin", [&] { L.SetVertMargin(6); }},
             {"AxisVisible", [&] { C.SetAxisVisible(false); }},
             {"ClipPoints", [&] { C.SetClipPoints(false); }},
             {"View3DWalls", [&] { C.SetView3DWalls(false); }},
             {"BackImageInside", [&] { C.SetBackImageInside(true); }},
             {"ScaleLastPage", [&] { C.SetScaleLastPage(false); }},
             {"Series Title", [&] { S->SetTitle("drops"); }},
             {"Series ShowInLegend", [&] { S->SetShowInLegend(false); }},
             {"Series ValueFormat", [&] { S->SetValueFormat("0.0"); }},
             {"Series PercentFormat", [&] { S->SetPercentFormat("0 %"); }},
             {"Series ZOrder", [&] { S->SetZOrder(2); }},
             {"Series Cursor", [&] { S->SetCursor(crHandPoint); }},
             {"Marks Style", [&] { S->Marks.SetStyle(smsValue); }},
             {"Marks ArrowLength", [&] { S->Marks.SetArrowLength(12); }},
             {"Marks BackColor", [&] { S->Marks.SetBackColor(clWhite); }},
             {"Marks Transparent", [&] { S->Marks.SetTransparent(true); }},
             {"Marks Clip", [&] { S->Marks.SetClip(true); }},
             {"Bar AutoBarSize", [&] { Bar->SetAutoBarSize(true); }},
             {"Bar AutoMarkPosition", [&] { Bar->SetAutoMarkPosition(false); }},
             {"Bar Dark3D", [&] { Bar->SetDark3D(false); }},
             {"Bar UseYOrigin", [&] { Bar->SetUseYOrigin(false); }},
             {"Bar YOrigin", [&] { Bar->SetYOrigin(2.5); }},
             {"Bar CustomBarWidth", [&] { Bar->SetCustomBarWidth(6); }},
             {"FastLine AutoRepaint", [&] { Line->SetAutoRepaint(false); }},
         });
  EXPECT_EQ(C.BackWall.Size(), 3);
  EXPECT_EQ(L.TextStyle(), ltsPlain);
  EXPECT_EQ(S->Marks.ArrowLength(), 12);
  EXPECT_FALSE(C.ScaleLastPage());
  EXPECT_EQ(S->Title(), "drops");
  EXPECT_EQ(S->ZOrder(), 2);
  EXPECT_EQ(Bar->YOrigin(), 2.5);
  EXPECT_FALSE(Line->AutoRepaint());
}

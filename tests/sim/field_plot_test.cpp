// The field plot: snapping and placing, tracing with arrival slots, stops, neutral points,
// arrows, drawing, printing and copying.
#include <gtest/gtest.h>

#include <QImage>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include "pixel_count.h"
#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/clipboard.h"
#include "platform/files.h"
#include "platform/printer.h"
#include "sim/field_plot.h"
#include "sim/shared_constants.h"

namespace {

constexpr int G = 16;

double Dist(TPoint P, int X, int Y) { return std::hypot(P.X - X, P.Y - Y); }

void Add(TFieldPlot &F, int X, int Y, int V) { F.AddCharge(X, Y, V); }

// Runs Action from the event loop on each pump until it returns true.

TEST(SharedConstants, AbortFlagIsATrue32BitBooleanAtStart) {
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(AbortFlag.Value, -1);
  LongBool F = false;
  EXPECT_EQ(F.Value, 0);
  EXPECT_TRUE(LongBool::FromInt(5)); // any non-zero value reads as true
  EXPECT_EQ(sizeof(AbortFlag), 4u);
  EXPECT_EQ(ScreenMode, 0);
  EXPECT_FALSE(NoPalette);
}

TEST(FieldPlotModel, CreateSetsSizesAndDefaults) {
  TFieldPlot F(G);
  EXPECT_EQ(F.Width, 640);
  EXPECT_EQ(F.Height, 640);
  EXPECT_EQ(F.StepLength, 4);
  EXPECT_EQ(F.ContourSpacing, 4);
  EXPECT_EQ(F.ContourLevels, 10);
  EXPECT_EQ(F.SurfaceSpacing, 8);
  EXPECT_FALSE(F.LinesDrawn);
  EXPECT_FALSE(F.ContoursDrawn);
  EXPECT_FALSE(F.ShowArrows);
  EXPECT_FALSE(F.HasCharges());
  EXPECT_EQ(F.GetBounds(), Rect(0, 0, 641, 641));
}

TEST(FieldPlotModel, SnappingRoundsAndStaysInsideThePicture) {
  TFieldPlot F(G);
  auto Snapped = [&](int X, int Y) {
    F.Snap(X, Y);
    return Point(X, Y);
  };
  EXPECT_EQ(Snapped(3, 3), Point(16, 16));       // never (0, 0)
  EXPECT_EQ(Snapped(639, 639), Point(624, 624)); // never on the far border
  EXPECT_EQ(Snapped(24, 40), Point(16, 32));     // a remainder of exactly G div 2 rounds down...
  EXPECT_EQ(Snapped(25, 41), Point(32, 48));     // ...one more rounds up
  // Far outside: clamped to [G, Width - G], not pulled back by one square only.
  EXPECT_EQ(Snapped(2000, 655), Point(624, 624));
  EXPECT_EQ(Snapped(-100, -5), Point(16, 16));
  int X = 100, Y = 100;
  F.AddCharge(X, Y, 1);
  EXPECT_EQ(Point(X, Y), Point(96, 96)); // written back
  EXPECT_EQ(F.GetChargeRect(0), Rect(88, 88, 104, 104));
}

TEST(FieldPlotModel, OccupancyIsTestedOnTheSnappedPoint) {
  TFieldPlot F(G);
  Add(F, 160, 160, 1);
  int Index = -1;
  // (Xc + G/2, Yc) lies on the excluded right edge of the charge's square, but snaps onto it.
  int X = 168, Y = 160;
  EXPECT_FALSE(F.CanPlaceCharge(X, Y, Index));
  EXPECT_EQ(Point(X, Y), Point(168, 160)); // arguments only read
  X = 169;
  EXPECT_TRUE(F.CanPlaceCharge(X, Y, Index)); // snaps to the next intersection
  X = 160;
  int Self = 0;
  EXPECT_TRUE(F.CanPlaceCharge(X, Y, Self)); // the charge being dragged does not block itself
  TFieldPlot Empty(G);
  EXPECT_TRUE(Empty.CanPlaceCharge(X, Y, Index));
}

TEST(FieldPlotModel, QueriesWithBadIndexesAndClearModes) {
  TFieldPlot F(G);
  Add(F, 160, 160, 1);
  Add(F, 320, 160, -2);
  Add(F, 480, 160, 3);
  EXPECT_EQ(F.GetChargeValue(-1), 0);
  EXPECT_EQ(F.GetChargeValue(1), -2);
  EXPECT_EQ(F.GetChargeRect(5), Rect(0, 0, 0, 0));
  EXPECT_EQ(F.ChargeAt(327, 167), 1);
  EXPECT_EQ(F.ChargeAt(328, 160), -1); // right edge outside
  F.Lines.push_back({Point(1, 1), Point(2, 2)});
  F.LineSigns.push_back(1);
  F.Segments.push_back({Point(1, 1), Point(3, 3)});
  F.LinesDrawn = true;
  F.ContoursDrawn = true;
  F.Clear(4); // changes nothing
  EXPECT_EQ(F.Charges.size(), 3u);
  EXPECT_EQ(F.Lines.size(), 1u);
  EXPECT_TRUE(F.LinesDrawn);
  F.Clear(3);
  EXPECT_TRUE(F.Segments.empty());
  EXPECT_FALSE(F.ContoursDrawn);
  EXPECT_EQ(F.Lines.size(), 1u);
  F.Clear(2);
  EXPECT_TRUE(F.Lines.empty());
  EXPECT_TRUE(F.LineSigns.empty());
  EXPECT_FALSE(F.LinesDrawn);
  EXPECT_EQ(F.Charges.size(), 3u);
  F.Clear(1);
  EXPECT_EQ(F.Charges.size(), 3u);
  F.DeleteCharge(7); // bad index: nothing
  F.DeleteCharge(0);
  ASSERT_EQ(F.Charges.size(), 2u);
  EXPECT_EQ(F.GetChargeValue(0), -2);
  F.Clear(0);
  EXPECT_FALSE(F.HasCharges());
}

TEST(FieldPlotModel, GridSizeChangeMovesChargesByMulDiv) {
  TFieldPlot F(G);
  Add(F, 17 * G, 20 * G, 1);
  F.SetGridSize(12);
  EXPECT_EQ(F.Width, 480);
  EXPECT_EQ(F.StepLength, 3);
  EXPECT_EQ(F.Charges[0].X, MulDiv(272, 12, 16)); // 204
  EXPECT_EQ(F.Charges[0].Y, 240);
  EXPECT_EQ(F.GetChargeRect(0), Rect(198, 234, 210, 246));
}

TEST(FieldLines, SingleChargeGivesTwelveLinesLeavingThePicture) {
  TFieldPlot F(G);
  Add(F, 20 * G, 20 * G, 1);
  TBitmap B(641, 641);
  F.PlotFieldLines(B.Canvas());
  ASSERT_EQ(F.Lines.size(), 12u);
  EXPECT_EQ(F.LineCount, 12);
  EXPECT_TRUE(F.LinesDrawn);
  EXPECT_TRUE(AbortFlag);
  for (const TPointArray &L : F.Lines) {
    EXPECT_FALSE(PtInRect(Rect(0, 0, 640, 640), L.back()));
    EXPECT_NEAR(Dist(L.front(), 320, 320), 8, 0.8); // starts half a square from the centre
  }
  EXPECT_EQ(F.Lines[0].front(), Point(328, 320)); // slot 0 points along +x
  EXPECT_EQ(F.Lines[3].front(), Point(320, 328)); // slot 3 points down the screen
  for (int S : F.LineSigns) EXPECT_EQ(S, 1);
  EXPECT_TRUE(F.NeutralPoints.empty());
}

TEST(FieldLines, DipoleLinesEndOnTheNegativeChargePlusItsFreeSlots) {
  TFieldPlot F(G);
  Add(F, 17 * G, 20 * G, 1);
  Add(F, 23 * G, 20 * G, -1);
  TBitmap B(641, 641);
  F.PlotFieldLines(B.Canvas());
  ASSERT_GE(F.Lines.size(), 12u);
  ASSERT_EQ(F.LineSigns.size(), F.Lines.size());
  int Ending = 0;
  for (int I = 0; I < 12; ++I) {
    EXPECT_EQ(F.LineSigns[I], 1);
    EXPECT_NEAR(Dist(F.Lines[I].front(), 17 * G, 20 * G), 8, 0.8);
    if (Dist(F.Lines[I].back(), 23 * G, 20 * G) <= G / 2 + 1) ++Ending;
  }
  EXPECT_GE(Ending, 7); // most of them
  int Used = 0;
  for (bool U : F.Charges[1].SlotUsed) Used += U;
  EXPECT_GE(Used, 5);
  int Remaining = int(F.Lines.size()) - 12;
  EXPECT_EQ(Remaining, 12 - Used); // exactly one line from every free slot
  for (size_t I = 12; I < F.Lines.size(); ++I) {
    EXPECT_EQ(F.LineSigns[I], -1);
    EXPECT_NEAR(Dist(F.Lines[I].front(), 23 * G, 20 * G), 8, 0.8);
  }
  // Plotting again without a change finds the slots free again: the same picture.
  std::vector<TPointArray> First = F.Lines;
  F.PlotFieldLines(B.Canvas());
  EXPECT_EQ(F.Lines, First);
}

TEST(FieldLines, EqualNumbersTraceFromThePositiveCharges) {
  TFieldPlot F(G);
  Add(F, 23 * G, 20 * G, -1); // placed first
  Add(F, 17 * G, 20 * G, 1);
  TBitmap B(641, 641);
  F.PlotFieldLines(B.Canvas());
  ASSERT_FALSE(F.Lines.empty());
  EXPECT_EQ(F.LineSigns[0], 1);
  EXPECT_NEAR(Dist(F.Lines[0].front(), 17 * G, 20 * G), 8, 0.8);
  // More negative charges: the first pass starts from them.
  Add(F, 20 * G, 30 * G, -1);
  F.PlotFieldLines(B.Canvas());
  EXPECT_EQ(F.LineSigns[0], -1);
  EXPECT_NEAR(Dist(F.Lines[0].front(), 23 * G, 20 * G), 8, 0.8);
}

TEST(FieldLines, TwoEqualChargesShowOneNeutralPointMidway) {
  TFieldPlot F(G);
  Add(F, 15 * G, 20 * G, 1);
  Add(F, 25 * G, 20 * G, 1);
  TBitmap B(641, 641);
  F.PlotFieldLines(B.Canvas());
  ASSERT_EQ(F.NeutralPoints.size(), 1u);
  TPoint N = F.NeutralPoints[0];
  EXPECT_LE(std::abs(N.X - 20 * G), G / 2);
  EXPECT_LE(std::abs(N.Y - 20 * G), G / 2);
  // Drawn as a red "n" there (the charges, also red, are far away).
  EXPECT_GT(CountInk(B, clRed, Rect(N.X - 8, N.Y - 8, N.X + 8, N.Y + 8)), 4);
  // Lines that stall are not stored: fewer than 24.
  EXPECT_LT(F.Lines.size(), 24u);
}

// +2 and +1 four squares apart: the field vanishes where 2 / d1^2 = 1 / d2^2, at
// d1 = 4 G sqrt 2 / (1 + sqrt 2) from the +2 (37.5 pixels at grid 16, 56.2 at 24).
TEST(FieldLines, NeutralPointLiesWhereTheFieldVanishes) {
  TFieldPlot F(G);
  Add(F, 18 * G, 20 * G, 2);
  Add(F, 22 * G, 20 * G, 1);
  for (int Grid : {16, 24}) {
    SCOPED_TRACE(Grid);
    F.SetGridSize(Grid);
    TBitmap B(40 * Grid + 1, 40 * Grid + 1);
    F.PlotFieldLines(B.Canvas());
    ASSERT_EQ(F.NeutralPoints.size(), 1u);
    const double Zero = 18 * Grid + 4 * Grid * std::sqrt(2.0) / (1 + std::sqrt(2.0));
    EXPECT_LE(std::fabs(F.NeutralPoints[0].X - Zero), 1.0);
    EXPECT_EQ(F.NeutralPoints[0].Y, 20 * Grid);
  }
}

TEST(FieldLines, EmptyChargeListClearsTheLines) {
  TFieldPlot F(G);
  F.Lines.push_back({Point(1, 1)});
  F.LineSigns.push_back(1);
  TBitmap B(641, 641);
  F.PlotFieldLines(B.Canvas());
  EXPECT_TRUE(F.Lines.empty());
  EXPECT_FALSE(F.LinesDrawn);
  EXPECT_EQ(CountColor(B, clBlack, Rect(0, 0, 641, 641)), 0);
}

TEST(FieldLines, StopFromTheYieldKeepsAndDrawsThePartialLine) {
  TFieldPlot F(G);
  Add(F, 17 * G, 20 * G, 1);
  Add(F, 23 * G, 20 * G, -1);
  TBitmap B(641, 641);
  // Stop during the third line: two complete lines and a partial one.
  int Steps = 0;
  // A stop button pressed while the yield pumps: AbortFlag is set.
  F.PlotFieldLines(B.Canvas(), [&] {
    if (++Steps == 60) AbortFlag = true;
    return true;
  });
  EXPECT_EQ(Steps, 60);
  EXPECT_TRUE(AbortFlag); // left set
  ASSERT_GE(F.Lines.size(), 1u);
  ASSERT_EQ(F.LineSigns.size(), F.Lines.size()); // the partial line has its sign
  EXPECT_TRUE(F.LinesDrawn);
  EXPECT_LT(F.Lines.size(), 12u); // the remaining-lines pass was skipped
  const TPointArray &Partial = F.Lines.back();
  EXPECT_GE(Partial.size(), 2u);
  EXPECT_GT(Dist(Partial.back(), 23 * G, 20 * G), G / 2); // did not arrive
  EXPECT_TRUE(PtInRect(Rect(0, 0, 640, 640), Partial.back()));
  // Drawn: the pixel of its next-to-last point is black.
  TPoint P = Partial[Partial.size() - 2];
  EXPECT_EQ(B.Canvas().Pixels(P.X, P.Y), clBlack);
  // Drawing with arrows afterwards reads nothing past the end of LineSigns.
  F.ShowArrows = true;
  F.Draw(B.Canvas());
}

TEST(FieldLines, NestedRunsAreRefusedAndAClearDropsTheStaleLine) {
  TFieldPlot F(G);
  Add(F, 17 * G, 20 * G, 1);
  Add(F, 23 * G, 20 * G, -1);
  TBitmap B(641, 641);
  int Calls = 0;
  bool Cleared = false;
  F.PlotFieldLines(B.Canvas(), [&] {
    ++Calls;
    if (Calls == 5) {
      EXPECT_TRUE(F.Running());
      EXPECT_TRUE(LoopRunning());
      F.PlotFieldLines(B.Canvas()); // refused: returns at once
    }
    if (Calls == 200) {
      F.Clear(1); // the model changes under the run
      Cleared = true;
    }
    return true;
  });
  EXPECT_TRUE(Cleared);
  EXPECT_EQ(Calls, 200); // the run ended at the step that found the model changed
  EXPECT_TRUE(F.Lines.empty()); // the stale partial line was dropped
  EXPECT_TRUE(F.LineSigns.empty());
  EXPECT_FALSE(F.LinesDrawn);
  EXPECT_FALSE(F.Running());
  EXPECT_FALSE(LoopRunning());
  AbortFlag = true;
}

TEST(FieldLines, AYieldThatSaysStopEndsTheRunLikeAbort) {
  TFieldPlot F(G);
  Add(F, 17 * G, 20 * G, 1);
  Add(F, 23 * G, 20 * G, -1);
  TBitmap B(641, 641);
  int Steps = 0;
  // The first line runs straight at the negative charge, 22 steps away.
  F.PlotFieldLines(B.Canvas(), [&] { return ++Steps < 10; });
  EXPECT_EQ(Steps, 10);
  ASSERT_EQ(F.Lines.size(), 1u);
  EXPECT_EQ(F.Lines[0].size(), 11u); // the start and 10 steps, the last kept
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(F.LineSigns, std::vector<int>{1});
  // The contours stop the same way: while the potential grid is worked out (a yield after
  // each of its rows) with nothing drawn, later after the cell that asked.
  int Calls = 0;
  F.PlotEquipotentials(B.Canvas(), [&] { return ++Calls < 10; });
  EXPECT_EQ(Calls, 10);
  EXPECT_FALSE(F.ContoursDrawn);
  EXPECT_FALSE(F.Running());
  const int Rows = F.Height / F.ContourSpacing + 1, Columns = F.Width / F.ContourSpacing;
  Calls = 0;
  // The cells go column by column: stop after the left half of the picture.
  F.PlotEquipotentials(B.Canvas(), [&] { return ++Calls < Rows + Columns / 2 * Columns; });
  EXPECT_EQ(Calls, Rows + Columns / 2 * Columns);
  EXPECT_TRUE(F.ContoursDrawn);
  EXPECT_TRUE(AbortFlag);
  for (const TContourSegment &S : F.Segments) {
    EXPECT_LE(S.P1.X, F.Width / 2);
    EXPECT_LE(S.P2.X, F.Width / 2);
  }
  AbortFlag = true;
}

TEST(FieldLines, StepCapEndsAndKeepsALine) {
  TFieldPlot F(G);
  Add(F, 20 * G, 20 * G, 1);
  F.MaxLineSteps = 5;
  TBitmap B(641, 641);
  F.PlotFieldLines(B.Canvas());
  ASSERT_EQ(F.Lines.size(), 12u);
  for (const TPointArray &L : F.Lines) EXPECT_EQ(L.size(), 6u); // start + 5 steps
}

TEST(FieldArrows, EveryTwentiethPointAndTheLastOnlyAwayFromCharges) {
  TFieldPlot F(G);
  F.ShowArrows = true;
  auto Straight = [](int X0, int N) {
    TPointArray L;
    for (int I = 0; I < N; ++I) L.push_back(Point(X0 + I, 100));
    return L;
  };
  TBitmap B(641, 641);
  F.Lines = {Straight(300, 20), Straight(100, 41)};
  for (TPoint &P : F.Lines[0]) P.Y = 300;
  F.LineSigns = {1, 1};
  F.Draw(B.Canvas());
  EXPECT_EQ(CountColor(B, clYellow, Rect(290, 290, 330, 310)), 0); // 20 points: no arrow
  // 41 points: tips at points 20 and 40 (x = 120 and 140), pointing along +x.
  EXPECT_GT(CountColor(B, clYellow, Rect(115, 95, 120, 105)), 3);
  EXPECT_GT(CountColor(B, clYellow, Rect(135, 95, 140, 105)), 3);
  EXPECT_EQ(CountColor(B, clYellow, Rect(121, 90, 135, 110)), 0);
  // A charge near point 40 suppresses the last arrow only.
  Add(F, 160, 96, -1);
  F.Draw(B.Canvas());
  EXPECT_GT(CountColor(B, clYellow, Rect(115, 95, 120, 105)), 3);
  EXPECT_EQ(CountColor(B, clYellow, Rect(135, 95, 140, 105)), 0);
  // A line traced backwards (sign -1) still points along the field: tip first.
  F.Charges.clear();
  F.Lines = {Straight(100, 41)};
  std::reverse(F.Lines[0].begin(), F.Lines[0].end()); // running towards -x
  F.LineSigns = {-1};
  F.Draw(B.Canvas());
  // Point 20 is x = 120; the field runs along +x, so the base lies left of the tip.
  EXPECT_GT(CountColor(B, clYellow, Rect(115, 95, 120, 105)), 3);
  EXPECT_EQ(CountColor(B, clYellow, Rect(121, 95, 126, 105)), 0);
}

TBitmap RenderDipole(TFieldPlot &F) {
  Add(F, 17 * G, 20 * G, 1);
  Add(F, 23 * G, 20 * G, -1);
  F.ShowGrid = true;
  F.ShowArrows = true;
  TBitmap B(641, 641);
  F.PlotFieldLines(B.Canvas());
  F.Draw(B.Canvas());
  return B;
}

TEST(FieldDrawing, DipolePictureHasChargesGridLinesAndArrows) {
  TFieldPlot F(G);
  TBitmap B = RenderDipole(F);
  std::string Path = std::string(VORNELLE_BINARY_DIR) + "/field_plot_dipole.png";
  ASSERT_TRUE(B.SaveToPng(Path));
  TCanvas &C = B.Canvas();
  EXPECT_EQ(C.Pixels(17 * G - 5, 20 * G - 5), clRed);
  EXPECT_EQ(C.Pixels(23 * G - 5, 20 * G - 5), clBlue);
  EXPECT_EQ(C.Pixels(17 * G, 20 * G - 6), clRed);
  EXPECT_GT(CountColor(B, clWhite, Rect(17 * G - 6, 20 * G - 6, 17 * G + 6, 20 * G + 6)), 3); // "+1"
  EXPECT_EQ(C.Pixels(2 * G, 5), clSilver); // a grid line
  EXPECT_EQ(C.Pixels(5, 2 * G), clSilver);
  EXPECT_GT(CountColor(B, clBlack, Rect(0, 0, 640, 640)), 3000);
  EXPECT_GT(CountColor(B, clYellow, Rect(0, 0, 640, 640)), 100);
  // The picture is drawn the same way each time.
  TBitmap Again(641, 641);
  F.Draw(Again.Canvas());
  EXPECT_EQ(CountColor(Again, clYellow, Rect(0, 0, 640, 640)), CountColor(B, clYellow, Rect(0, 0, 640, 640)));
}

std::string RunCommand(const std::string &Cmd) {
  std::string Out;
  FILE *P = popen(Cmd.c_str(), "r");
  if (!P) return Out;
  char Buf[4096];
  size_t N;
  while ((N = fread(Buf, 1, sizeof Buf, P)) > 0) Out.append(Buf, N);
  pclose(P);
  return Out;
}

// Prints the plot to a PDF and measures the picture on page Page, rendered at 50 dpi.
struct TPrinted {
  int Pages = 0;
  QSize PageSize;
  int L = 0, T = 0, R = -1, B = -1;
};

// Name keeps the files of tests that ctest runs at the same time apart.
bool PrintAndMeasure(const std::string &Name, TFieldPlot &F, TPrinterOrientation O, int Copies, int Page,
                     TPrinted &Out) {
  std::string Pdf = std::string(VORNELLE_BINARY_DIR) + "/" + Name + ".pdf";
  std::filesystem::remove(Pdf);
  TPrinter &P = Printer();
  P.SetOutputFile(Pdf);
  P.SetResolution(300);
  P.SetOrientation(O);
  F.Print(Copies);
  P.SetOutputFile("");
  P.SetOrientation(poPortrait);
  EXPECT_TRUE(FileExists(Pdf));
  std::string Info = RunCommand("pdfinfo '" + Pdf + "' 2>/dev/null");
  if (Info.empty()) return false;
  size_t At = Info.find("Pages:");
  if (At != std::string::npos) Out.Pages = std::atoi(Info.c_str() + At + 6);
  std::string Base = std::string(VORNELLE_BINARY_DIR) + "/" + Name;
  for (const char *Suffix : {"-1.png", "-2.png"}) std::filesystem::remove(Base + Suffix);
  std::string N = std::to_string(Page);
  RunCommand("pdftoppm -r 50 -f " + N + " -l " + N + " -png '" + Pdf + "' '" + Base + "' 2>/dev/null");
  QImage Img;
  if (!Img.load(QString::fromStdString(Base + "-" + N + ".png"))) return false;
  Out.PageSize = Img.size();
  Out.L = Img.width();
  Out.T = Img.height();
  for (int Y = 0; Y < Img.height(); ++Y)
    for (int X = 0; X < Img.width(); ++X)
      if ((Img.pixel(X, Y) & 0xFFFFFF) != 0xFFFFFF) {
        Out.L = std::min(Out.L, X); Out.T = std::min(Out.T, Y);
        Out.R = std::max(Out.R, X); Out.B = std::max(Out.B, Y);
      }
  return true;
}

TEST(FieldPrinting, TwoCopiesGiveTwoPagesWithThePictureInsideHalfInchMargins) {
  TFieldPlot F(G);
  RenderDipole(F);
  TPrinted P;
  if (!PrintAndMeasure("field_plot_print", F, poPortrait, 2, 2, P)) GTEST_SKIP() << "poppler-utils not installed";
  EXPECT_EQ(P.Pages, 2);
  EXPECT_EQ(Printer().PageNumber(), 2);
  ASSERT_GE(P.R, 0);
  // A4 at 50 dpi is 413 x 585; half an inch is 25 pixels; the picture spans the width.
  EXPECT_NEAR(P.L, 25, 2);
  EXPECT_NEAR(P.T, 25, 2);
  EXPECT_NEAR(P.PageSize.width() - 1 - P.R, 25, 3);
  EXPECT_NEAR(P.R - P.L, P.B - P.T, 3); // square, as the plot
}

TEST(FieldPrinting, LandscapeFitsTheHeightAndNoCopiesGiveAnEmptyPage) {
  TFieldPlot F(G);
  RenderDipole(F);
  TPrinted P;
  if (!PrintAndMeasure("field_plot_landscape", F, poLandscape, 1, 1, P)) GTEST_SKIP() << "poppler-utils not installed";
  EXPECT_EQ(P.Pages, 1);
  EXPECT_GT(P.PageSize.width(), P.PageSize.height());
  EXPECT_NEAR(P.T, 25, 2);
  EXPECT_NEAR(P.L, 25, 2);
  EXPECT_NEAR(P.PageSize.height() - 1 - P.B, 25, 3);
  EXPECT_NEAR(P.R - P.L, P.B - P.T, 3);
  TPrinted None;
  ASSERT_TRUE(PrintAndMeasure("field_plot_no_copies", F, poPortrait, 0, 1, None));
  EXPECT_EQ(None.R, -1); // nothing drawn
}

TEST(FieldCopying, ClipboardGetsPngAndSvgOfThePicture) {
  TFieldPlot F(G);
  RenderDipole(F);
  F.CopyToClipboard();
  ASSERT_TRUE(Clipboard().HasMimeType("image/png"));
  ASSERT_TRUE(Clipboard().HasMimeType("image/svg+xml"));
  EXPECT_TRUE(Clipboard().HasPicture());
  std::string Png = Clipboard().DataOf("image/png");
  QImage I;
  ASSERT_TRUE(I.loadFromData(reinterpret_cast<const uchar *>(Png.data()), int(Png.size()), "PNG"));
  EXPECT_EQ(I.width(), 640);
  EXPECT_EQ(I.height(), 640);
  EXPECT_EQ(I.pixel(17 * G - 5, 20 * G - 5) & 0xFFFFFF, 0xFF0000u); // red charge
  EXPECT_EQ(I.pixel(23 * G - 5, 20 * G - 5) & 0xFFFFFF, 0x0000FFu); // blue charge
  std::string Svg = Clipboard().DataOf("image/svg+xml");
  EXPECT_NE(Svg.find("<svg"), std::string::npos);
  EXPECT_NE(Svg.find("#ff0000"), std::string::npos);
  EXPECT_NE(Svg.find("#0000ff"), std::string::npos);
  EXPECT_NE(Svg.find("#ffff00"), std::string::npos); // the arrows
}

} // namespace

// The coil: its ring and turn positions, the field read-out, the start heights, tracing,
// stopping, the arrows' directions, redrawing from the stored lines, copying and printing.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <filesystem>
#include <numbers>

#include "pixel_count.h"
#include "platform/bitmap.h"
#include "platform/clipboard.h"
#include "platform/files.h"
#include "platform/numbers.h"
#include "platform/printer.h"
#include "sim/arrow_head.h"
#include "sim/solenoid.h"

namespace {

constexpr double Pi = std::numbers::pi;

std::string Readout(const TSolenoid &S, int X, int Y) { return Format("Field strength= %f", S.FieldStrengthAt(X, Y) * 10); }

bool SamePixels(TBitmap &A, TBitmap &B) {
  for (int Y = 0; Y < A.Height(); ++Y)
    for (int X = 0; X < A.Width(); ++X)
      if (A.Canvas().Pixels(X, Y) != B.Canvas().Pixels(X, Y)) return false;
  return true;
}

TEST(SolenoidModel, CreateBuildsTwelveElementsOfTwoPiSquaredROverTwelve) {
  TSolenoid S(600, 600);
  EXPECT_EQ(S.Radius, 50);
  EXPECT_EQ(S.Turns, 1);
  EXPECT_EQ(S.CurrentDir, -1);
  EXPECT_TRUE(S.ShowArrows);
  EXPECT_TRUE(S.ShowGrid);
  EXPECT_FALSE(S.LinesPlotted);
  ASSERT_EQ(S.Ring.size(), 12u);
  const double Dl = 50 * 2 * Pi * Pi / 12;
  EXPECT_NEAR(S.Ring[0].X, 50, 1e-12);
  EXPECT_NEAR(S.Ring[0].DLY, Dl, 1e-12);
  EXPECT_NEAR(S.Ring[3].Y, 50, 1e-12); // phi = 90 degrees
  EXPECT_NEAR(S.Ring[3].DLX, Dl, 1e-12);
  S.SetRadius(80);
  EXPECT_NEAR(S.Ring[6].X, -80, 1e-12);
}

TEST(SolenoidModel, TurnsAreCentredOnTheMiddle) {
  TSolenoid S(600, 600);
  EXPECT_EQ(S.TurnOffset(0), 0);
  S.Turns = 2;
  EXPECT_EQ(S.TurnOffset(0), -5); // an even count puts no turn on the mid-plane
  EXPECT_EQ(S.TurnOffset(1), 5);
  S.Separation = 9;
  EXPECT_EQ(S.TurnOffset(0), -5);
  EXPECT_EQ(S.TurnOffset(1), 4);
  S.Turns = 3;
  S.Separation = 10;
  EXPECT_EQ(S.TurnOffset(0), -10);
  EXPECT_EQ(S.TurnOffset(2), 10);
}

TEST(SolenoidField, ReadOutAtTheCentreAndOnTheAxis) {
  TSolenoid S(600, 600);
  // At the centre every element adds R dl / R^3: 2 pi^2 / R = 0.3948.
  EXPECT_NEAR(S.FieldStrengthAt(300, 300), 2 * Pi * Pi / 50, 1e-12);
  EXPECT_EQ(Readout(S, 300, 300), "Field strength= 3.95");
  // One radius along the axis: a factor 2^-1.5, exact on the axis for any element count.
  EXPECT_NEAR(S.FieldStrengthAt(350, 300), 2 * Pi * Pi / 50 * std::pow(2.0, -1.5), 1e-12);
  EXPECT_EQ(Readout(S, 350, 300), "Field strength= 1.40");
  EXPECT_NEAR(S.FieldStrengthAt(250, 300), S.FieldStrengthAt(350, 300), 1e-12);
}

TEST(SolenoidField, UnevenlyPlacedTurnsReadTrueOnBothSides) {
  TSolenoid S(600, 600);
  S.Turns = 2;
  S.Separation = 9; // turns at -5 and +4
  // Worked from the turns where they are; mirroring the point about the middle would read 7.16.
  EXPECT_EQ(Readout(S, 320, 250), "Field strength= 6.61");
  // (320, 250) lies 25 and 16 along the axis from the turns; (279, 250) lies 16 and 25: the
  // picture is symmetric about -0.5, not about the middle.
  EXPECT_NEAR(S.FieldStrengthAt(279, 250), S.FieldStrengthAt(320, 250), 1e-12);
}

TEST(SolenoidField, WireCentreStaysFiniteAndStrongFieldsGiveTheMinimumSpacing) {
  TSolenoid S(600, 600);
  // On the wire's centre the element there is at r = 0; one pixel off, r^3 = 1 is raised to 4.
  EXPECT_TRUE(std::isfinite(S.FieldStrengthAt(300, 250)));
  const double NearWire = S.FieldStrengthAt(300, 251);
  EXPECT_TRUE(std::isfinite(NearWire));
  EXPECT_GT(NearWire, 10);
  EXPECT_LT(NearWire, 100);
  EXPECT_EQ(S.StartSpacing(0), 20); // k = Round(3.95) = 4
  EXPECT_EQ(S.StartSpacing(20), 19);
  S.Turns = 20;
  S.Separation = 8;
  S.SetRadius(20);
  EXPECT_GE(Round(10 * S.FieldStrengthAt(300, 300)), 21);
  EXPECT_EQ(S.StartSpacing(0), 4);
}

TEST(SolenoidPlot, DefaultLinesStartAt20And39AndEndAtTheEdgeOrTheMidPlane) {
  TSolenoid S(600, 600);
  TBitmap B(600, 600);
  S.Draw(B.Canvas());
  int Steps = 0;
  S.PlotFieldLines(B.Canvas(), [&] { ++Steps; return true; });
  EXPECT_TRUE(S.LinesPlotted);
  ASSERT_GE(S.Lines.size(), 2u);
  EXPECT_EQ(S.Lines[0][0], Point(300, 280));
  EXPECT_EQ(S.Lines[1][0], Point(300, 261));
  EXPECT_EQ(S.Lines[0].back().Y, 0); // the first leaves by the top edge
  EXPECT_EQ(S.Lines[1].back().X, 300); // the second closes on the mid-plane
  size_t Points = 0;
  for (const TPointArray &L : S.Lines) {
    Points += L.size() - 1;
    EXPECT_LE(300 - L[0].Y, 46); // start heights stop at Radius - WireRadius
    for (const TPoint &P : L) EXPECT_GE(P.X, 300); // traced in the right half
  }
  EXPECT_EQ(size_t(Steps), Points); // one yield after every step
}

// Yellow pixels left and right of a column: a head points away from its wider base.
int YellowIn(TBitmap &B, int X1, int X2, int Y) { return CountColor(B, clYellow, Rect(X1, Y - 6, X2, Y + 7)); }

TEST(SolenoidPlot, ClosingArrowsRunAgainstTheAxisArrows) {
  for (int Dir : {-1, 1}) {
    TSolenoid S(600, 600);
    S.CurrentDir = Dir;
    S.ShowGrid = false;
    TBitmap B(600, 600);
    S.Draw(B.Canvas());
    S.PlotFieldLines(B.Canvas());
    const TPoint Last = S.Lines[1].back();
    ASSERT_EQ(Last.X, 300);
    // Axis arrow at x 120: its tip at 124 points towards +CurrentDir.
    const int AxisLeft = YellowIn(B, 116, 122, 300), AxisRight = YellowIn(B, 123, 129, 300);
    const int CloseLeft = YellowIn(B, 295, 300, Last.Y), CloseRight = YellowIn(B, 301, 306, Last.Y);
    SCOPED_TRACE(Dir);
    if (Dir == -1) {
      EXPECT_GT(AxisRight, AxisLeft); // base on the right: points left, -x
      EXPECT_GT(CloseLeft, CloseRight); // base on the left: points right, +x
    } else {
      EXPECT_GT(AxisLeft, AxisRight);
      EXPECT_GT(CloseRight, CloseLeft);
    }
    // The mirror below the axis gets the same arrow.
    const int LowLeft = YellowIn(B, 295, 300, 600 - Last.Y), LowRight = YellowIn(B, 301, 306, 600 - Last.Y);
    EXPECT_EQ(LowLeft > LowRight, CloseLeft > CloseRight);
  }
}

TEST(SolenoidDraw, ReversingTheCurrentSwapsTheWireColours) {
  TSolenoid S(600, 600);
  TBitmap B(600, 600);
  S.Draw(B.Canvas());
  EXPECT_EQ(B.Canvas().Pixels(300, 250), clBlue); // upper wire
  EXPECT_EQ(B.Canvas().Pixels(300, 350), clRed);
  EXPECT_EQ(B.Canvas().Pixels(20, 7), clSilver); // grid line x = 20
  S.CurrentDir = 1;
  S.ShowGrid = false;
  S.Draw(B.Canvas());
  EXPECT_EQ(B.Canvas().Pixels(300, 250), clRed);
  EXPECT_EQ(B.Canvas().Pixels(300, 350), clBlue);
  EXPECT_EQ(B.Canvas().Pixels(20, 7), clWhite);
  S.Turns = 2;
  S.Draw(B.Canvas());
  EXPECT_EQ(B.Canvas().Pixels(295, 250), clRed);
  EXPECT_EQ(B.Canvas().Pixels(305, 350), clBlue);
  EXPECT_EQ(B.Canvas().Pixels(300, 250), clWhite); // no turn on the mid-plane
}

TEST(SolenoidPlot, RedrawFromStoredLinesMatchesThePlotAndNeedsNoTracing) {
  TSolenoid S(600, 600);
  TBitmap Plotted(600, 600), Redrawn(600, 600);
  S.Draw(Plotted.Canvas());
  S.PlotFieldLines(Plotted.Canvas());
  S.DrawAll(Redrawn.Canvas());
  EXPECT_TRUE(SamePixels(Plotted, Redrawn));
  // Reversing keeps the lines (the field sum ignores the current's direction) and turns
  // every arrow round.
  S.CurrentDir = 1;
  TBitmap Reversed(600, 600);
  S.DrawAll(Reversed.Canvas());
  EXPECT_FALSE(SamePixels(Plotted, Reversed));
  TSolenoid Fresh(600, 600);
  Fresh.CurrentDir = 1;
  TBitmap Again(600, 600);
  Fresh.Draw(Again.Canvas());
  Fresh.PlotFieldLines(Again.Canvas());
  EXPECT_TRUE(SamePixels(Reversed, Again));
}

TEST(SolenoidPlot, StopKeepsFinishedLinesOnlyAndAChangeDropsThemAll) {
  TSolenoid Full(600, 600);
  TBitmap B(600, 600);
  Full.PlotFieldLines(B.Canvas());
  const size_t FirstSteps = Full.Lines[0].size() - 1;

  TSolenoid S(600, 600);
  int Steps = 0;
  S.PlotFieldLines(B.Canvas(), [&] { return ++Steps < int(FirstSteps) + 3; });
  EXPECT_EQ(Steps, int(FirstSteps) + 3);
  EXPECT_TRUE(S.LinesPlotted);
  ASSERT_EQ(S.Lines.size(), 1u); // the second line was cut short and is not kept
  EXPECT_EQ(S.Lines[0], Full.Lines[0]);

  Steps = 0;
  S.PlotFieldLines(B.Canvas(), [&] {
    if (++Steps == 40) S.Turns = 3; // a setting changed while the plot pumps
    return true;
  });
  EXPECT_EQ(Steps, 40);
  EXPECT_FALSE(S.LinesPlotted);
  EXPECT_TRUE(S.Lines.empty());
}

TEST(SolenoidPlot, ShortLinesGetNoMiddleArrowAndNoArrowsWhenOff) {
  TSolenoid S(600, 600);
  S.ShowGrid = false;
  S.LinesPlotted = true;
  S.Lines = {{Point(400, 100), Point(410, 90)}, {Point(450, 100)}};
  TBitmap B(600, 600);
  S.DrawAll(B.Canvas());
  EXPECT_EQ(CountColor(B, clYellow, Rect(380, 70, 430, 120)), 0);
  EXPECT_GT(CountColor(B, clBlack, Rect(380, 70, 430, 120)), 5);
  EXPECT_GT(CountColor(B, clYellow), 0); // the axis arrows
  S.ShowArrows = false;
  S.PlotFieldLines(B.Canvas());
  S.DrawAll(B.Canvas());
  EXPECT_EQ(CountColor(B, clYellow), 0);
}

TEST(ArrowHead, PointsAlongTheStepAndTurnsWithANegativeSize) {
  TArrowHead A = ArrowHeadAt(Point(0, 10), Point(4, 10), 4, 1); // rightwards
  EXPECT_EQ(A.Tip, Point(4, 10));
  EXPECT_EQ(A.Base1, Point(0, 6));
  EXPECT_EQ(A.Base2, Point(0, 14));
  A = ArrowHeadAt(Point(0, 10), Point(4, 10), -4, 1);
  EXPECT_EQ(A.Base1, Point(8, 14));
  A = ArrowHeadAt(Point(5, 5), Point(5, 0), 4, 1); // upwards
  EXPECT_EQ(A.Base1, Point(1, 4));
  EXPECT_EQ(A.Base2, Point(9, 4));
  A = ArrowHeadAt(Point(0, 0), Point(10, 10), 4, 1); // down and right: base up and left
  EXPECT_EQ(A.Base1, Point(10, 4));
  EXPECT_EQ(A.Base2, Point(4, 10));
  A = ArrowHeadAt(Point(10, 10), Point(0, 0), 4, -1); // the other way
  EXPECT_EQ(A.Base1, Point(0, 6));
  EXPECT_EQ(A.Base2, Point(6, 0));
}

TEST(SolenoidOutput, CopyAndPrintCarryTheLines) {
  TSolenoid S(600, 600);
  TBitmap B(600, 600);
  S.PlotFieldLines(B.Canvas());
  S.CopyToClipboard();
  ASSERT_TRUE(Clipboard().HasPicture());
  std::string Png = Clipboard().DataOf("image/png");
  QImage I;
  ASSERT_TRUE(I.loadFromData(reinterpret_cast<const uchar *>(Png.data()), int(Png.size()), "PNG"));
  EXPECT_EQ(I.width(), 600);
  EXPECT_EQ(I.pixel(300, 250) & 0xFFFFFF, 0x0000FFu); // blue upper wire
  EXPECT_EQ(I.pixel(10, 300) & 0xFFFFFF, 0x000000u);  // the axis
  const std::string Pdf = std::string(VORNELLE_BINARY_DIR) + "/solenoid_print.pdf";
  std::filesystem::remove(Pdf);
  TPrinter &P = Printer();
  P.SetOutputFile(Pdf);
  S.Print(2);
  P.SetOutputFile("");
  EXPECT_TRUE(FileExists(Pdf));
  EXPECT_EQ(P.PageNumber(), 2);
}

} // namespace

namespace {
TEST(SolenoidPlot, RedrawWhileTracingShowsTheAxisAndTheFinishedLines) {
  TSolenoid S(600, 600);
  TBitmap B(600, 600), During(600, 600);
  size_t SeenLines = 0;
  bool AxisShown = false;
  S.PlotFieldLines(B.Canvas(), [&] {
    if (S.Lines.size() == 1 && SeenLines == 0) {
      S.DrawAll(During.Canvas()); // as a paint of the picture in the plot's pump
      SeenLines = S.Lines.size();
      AxisShown = During.Canvas().Pixels(10, 300) == clBlack;
    }
    return true;
  });
  EXPECT_EQ(SeenLines, 1u);
  EXPECT_TRUE(AxisShown);
  EXPECT_EQ(During.Canvas().Pixels(S.Lines[0][5].X, S.Lines[0][5].Y), clBlack);
  EXPECT_FALSE(S.Tracing);
}
} // namespace

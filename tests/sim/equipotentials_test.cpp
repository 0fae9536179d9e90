// Equipotential contours and the 3-D potential surface, drawn headless into bitmaps.
#include <gtest/gtest.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "pdf_output.h"
#include "platform/bitmap.h"
#include "platform/clipboard.h"
#include "platform/printer.h"
#include "sim/field_plot.h"
#include "sim/shared_constants.h"

namespace {

TColor Px(const TBitmap &B, int X, int Y) { return ArgbToColor(B.ScanLine(Y)[X]); }

int Count(const TBitmap &B, TColor C) {
  int N = 0;
  for (int Y = 0; Y < B.Height(); ++Y)
    for (int X = 0; X < B.Width(); ++X) N += Px(B, X, Y) == C;
  return N;
}

// Interpolates the normalised level of one edge, as the contour pass does.
std::vector<int> EdgeLevels(double LA, double LB) {
  std::vector<int> R;
  for (int K = Trunc(std::max(LA, LB)); K > std::min(LA, LB); --K) R.push_back(K);
  return R;
}

} // namespace

TEST(Equipotentials, GridAndLevelRules) {
  TFieldPlot P(16);
  EXPECT_EQ(P.ContourLevels, 10);
  EXPECT_EQ(P.ContourSpacing, 4);
  EXPECT_EQ(P.SurfaceSpacing, 8);
  // 160 x 160 cells of 4 pixels and 161 x 161 nodes: one charge, one cell per pump.
  // (The potential grid is released after the pass; its size is seen through the
  // segments' extent.)
  EXPECT_EQ(P.Width / P.ContourSpacing, 160);
  // An edge of levels 2.0 and 4.5 crosses 4 and 3, not 2; level 0 never crosses.
  EXPECT_EQ(EdgeLevels(2.0, 4.5), (std::vector<int>{4, 3}));
  EXPECT_EQ(EdgeLevels(0.0, 0.7), (std::vector<int>{}));
  EXPECT_EQ(EdgeLevels(3.0, 3.0), (std::vector<int>{}));
  // The potential: q / r, with r raised to half a grid square near a charge.
  int X = 320, Y = 320;
  P.AddCharge(X, Y, 2);
  EXPECT_DOUBLE_EQ(P.PotentialAt(320, 320), 2.0 / 8);
  EXPECT_DOUBLE_EQ(P.PotentialAt(320 + 40, 320), 2.0 / 40);
  EXPECT_DOUBLE_EQ(P.PotentialAt(323, 324), 2.0 / 8);
}

TEST(Equipotentials, LoneChargeGivesConcentricCircles) {
  TFieldPlot P(16);
  int X = 320, Y = 320;
  P.AddCharge(X, Y, 1);
  TBitmap B(P.Width + 1, P.Height + 1);
  P.DrawBackground(B.Canvas());
  P.PlotEquipotentials(B.Canvas());
  EXPECT_TRUE(bool(P.ContoursDrawn));
  EXPECT_TRUE(bool(AbortFlag)); // a finished pass sets it again
  EXPECT_TRUE(P.PotentialGrid.empty());
  EXPECT_TRUE(P.Crossings.empty());
  ASSERT_FALSE(P.Segments.empty());
  B.SaveToPng(OutPath("equipotentials_lone_charge.png"));

  // Min = 0, Max = 1/8 at the charge: level k lies where 80 / r = k, r = 80 / k.
  std::set<int> LevelsSeen;
  std::set<int> AnglesOfOuter; // 10-degree bins covered by the level-1 circle
  for (const TContourSegment &S : P.Segments) {
    const double R1 = std::hypot(S.P1.X - 320.0, S.P1.Y - 320.0);
    const double R2 = std::hypot(S.P2.X - 320.0, S.P2.Y - 320.0);
    const double R = (R1 + R2) / 2;
    int Best = -1;
    for (int K = 1; K <= 9; ++K)
      if (std::fabs(R - 80.0 / K) < 1.5) Best = K;
    // Level 10 is the flat top inside half a square (r < 8): it runs through the nodes
    // at its edge.
    if (Best < 0 && R >= 5.5 && R <= 8.5) Best = 10;
    ASSERT_GE(Best, 1) << "segment at radius " << R << " is on no circle";
    if (Best <= 9) { EXPECT_LT(std::fabs(R1 - R2), 1.5); } // each piece runs along its circle
    LevelsSeen.insert(Best);
    if (Best == 1)
      AnglesOfOuter.insert(int(std::floor((std::atan2(S.P1.Y - 320.0, S.P1.X - 320.0) + M_PI) * 18 / M_PI)) % 36);
  }
  for (int K = 1; K <= 9; ++K) EXPECT_TRUE(LevelsSeen.count(K)) << K;
  EXPECT_EQ(AnglesOfOuter.size(), 36u); // the outer circle is closed all round
  // The segments are drawn green, and the charge is drawn again over them.
  EXPECT_GT(Count(B, 0x00008000), 400);
  EXPECT_EQ(Px(B, 320, 320), clRed);
}

TEST(Equipotentials, MoreLevelsMoreCircles) {
  TFieldPlot P(16);
  int X = 320, Y = 320;
  P.AddCharge(X, Y, -1);
  TBitmap B(P.Width + 1, P.Height + 1);
  P.PlotEquipotentials(B.Canvas());
  const size_t Ten = P.Segments.size();
  P.SetContourLevels(20);
  EXPECT_TRUE(P.Segments.empty());
  EXPECT_FALSE(bool(P.ContoursDrawn));
  EXPECT_EQ(P.ContourLevels, 20);
  P.PlotEquipotentials(B.Canvas());
  EXPECT_GT(P.Segments.size(), Ten);
}

TEST(Equipotentials, NoChargesGiveNoSegments) {
  TFieldPlot P(16);
  TBitmap B(P.Width + 1, P.Height + 1);
  P.PlotEquipotentials(B.Canvas());
  EXPECT_TRUE(P.Segments.empty());
  EXPECT_FALSE(bool(P.ContoursDrawn));
  EXPECT_TRUE(bool(AbortFlag));
  EXPECT_TRUE(P.PotentialGrid.empty());
  // A zero charge alone: potential 0 everywhere, 0 / 0 again.
  int X = 320, Y = 320;
  P.AddCharge(X, Y, 0);
  P.PlotEquipotentials(B.Canvas());
  EXPECT_TRUE(P.Segments.empty());
  for (const TContourSegment &S : P.Segments) EXPECT_GE(S.P1.X, 0);
}

TEST(Equipotentials, RedrawErasesOldContoursOnlyWithoutLines) {
  TFieldPlot P(16);
  int X = 320, Y = 320;
  P.AddCharge(X, Y, 1);
  TBitmap B(P.Width + 1, P.Height + 1);
  P.PlotEquipotentials(B.Canvas());
  // A stray mark on the picture: the second pass draws the background first.
  B.ScanLine(5)[600] = ColorToArgb(clBlue);
  P.PlotEquipotentials(B.Canvas());
  EXPECT_NE(Px(B, 600, 5), clBlue);
}

TEST(Equipotentials, SurfaceAtTheStartView) {
  TFieldPlot P(16);
  // No charges: a flat mesh. Node (0, 0) is (X, Z, Y) = (-160, 0, 160); turned by -30
  // about x then -30 about y it becomes X' = -69, Z' = -80, Y' = 200; with
  // f = 2000 / 2200 it lands at (137, 127).
  TPointArray S = P.ProjectSurface(-30, -30);
  ASSERT_EQ(S.size(), 1600u);
  EXPECT_EQ(S[0], TPoint(137, 127));
  EXPECT_EQ(P.Surface.size(), 40u);
  EXPECT_EQ(P.Surface[0][0].X, -69);
  EXPECT_EQ(P.Surface[0][0].Y, 200);
  EXPECT_DOUBLE_EQ(P.Surface[0][0].Z, -80);
  // Panning moves every node by the offset.
  P.SurfaceOffsetX = 10;
  P.SurfaceOffsetY = -5;
  EXPECT_EQ(P.ProjectSurface(-30, -30)[0], TPoint(147, 122));
  P.SurfaceOffsetX = P.SurfaceOffsetY = 0;
  // From straight ahead (tilt and turn 0) node (i, j) projects to
  // (Round(2000 / (2000 + Y) * X) + 200, 200): the flat mesh is seen edge-on.
  S = P.ProjectSurface(0, 0);
  EXPECT_EQ(S[0], TPoint(Round(2000.0 / 2160 * -160) + 200, 200));
  EXPECT_EQ(S[39 * 40 + 39], TPoint(Round(2000.0 / (2000 - 152) * 152) + 200, 200));

  // A positive charge in the middle rises: the highest node on screen is over it, and
  // its height is the full 190 pixels of the scale before perspective.
  int X = 320, Y = 320;
  P.AddCharge(X, Y, 1);
  S = P.ProjectSurface(0, 0);
  int Top = 0;
  for (size_t K = 1; K < S.size(); ++K)
    if (S[K].Y < S[Top].Y) Top = int(K);
  // The four nodes round the charge sample it at the same distance; of them, the row
  // nearer the viewer (j = 21) shows highest.
  EXPECT_TRUE(Top / 40 == 20 || Top / 40 == 21) << Top;
  EXPECT_EQ(Top % 40, 21);
  EXPECT_EQ(P.Surface[20][20].Z, -190);
  // A negative charge sinks by the same scale.
  TFieldPlot N(16);
  N.AddCharge(X = 320, Y = 320, -1);
  S = N.ProjectSurface(0, 0);
  EXPECT_EQ(N.Surface[20][20].Z, 190);
}

TEST(Equipotentials, Draw3DPicture) {
  TFieldPlot P(16);
  int X = 17 * 16, Y = 20 * 16;
  P.AddCharge(X, Y, 1);
  X = 23 * 16;
  P.AddCharge(X, Y, -1);
  TBitmap B(400, 400);
  P.Draw3D(B.Canvas(), -30, -30);
  B.SaveToPng(OutPath("surface_start_view.png"));
  EXPECT_TRUE(P.Surface.empty()); // released after drawing
  // Sunken edge: shadow at the top-left, highlight at the bottom-right.
  EXPECT_EQ(Px(B, 0, 0), TColor(0x808080));
  EXPECT_EQ(Px(B, 399, 399), TColor(0xFFFFFF));
  // Pale yellow cells with black outlines fill a good part of the picture.
  EXPECT_GT(Count(B, 0x0080FFFF), 20000);
  EXPECT_GT(Count(B, clBlack), 5000);
  // Turned the other way, the picture differs.
  TBitmap C(400, 400);
  P.Draw3D(C.Canvas(), -30, 30);
  int Diff = 0;
  for (int Yy = 0; Yy < 400; ++Yy)
    for (int Xx = 0; Xx < 400; ++Xx) Diff += Px(B, Xx, Yy) != Px(C, Xx, Yy);
  EXPECT_GT(Diff, 1000);
}

TEST(Equipotentials, CopyAndPrintTheSurface) {
  TFieldPlot P(16);
  int X = 320, Y = 320;
  P.AddCharge(X, Y, 1);
  P.Copy3DToClipboard(-30, -30);
  EXPECT_TRUE(Clipboard().HasMimeType("image/png"));
  EXPECT_TRUE(Clipboard().HasMimeType("image/svg+xml"));
  EXPECT_GT(Clipboard().DataOf("image/png").size(), 1000u);

  const std::string Pdf = OutPath("surface_print.pdf");
  std::remove(Pdf.c_str());
  Printer().SetOutputFile(Pdf);
  Printer().SetOrientation(poPortrait);
  P.Print3D(-30, -30, 2);
  EXPECT_FALSE(Printer().Printing());
  EXPECT_EQ(Printer().PageNumber(), 2);
  FILE *F = std::fopen(Pdf.c_str(), "rb");
  ASSERT_NE(F, nullptr);
  std::fseek(F, 0, SEEK_END);
  EXPECT_GT(std::ftell(F), 1000);
  std::fclose(F);
  Printer().SetOutputFile("");

  // A surface panned off its square: the print still keeps the margins.
  const std::string Base = OutPath("surface_print_page");
  std::remove((Base + "-1.png").c_str());
  const std::string Cmd = "pdftoppm -r 50 -f 1 -l 1 -png '" + Pdf + "' '" + Base + "' 2>/dev/null";
  Printer().SetOutputFile(Pdf);
  P.SurfaceOffsetX = 250;
  P.SurfaceOffsetY = -150;
  P.Print3D(-30, -30, 1);
  Printer().SetOutputFile("");
  if (std::system(Cmd.c_str()) != 0) GTEST_SKIP() << "pdftoppm not installed (poppler-utils)";
  TBitmap Page;
  FILE *Png = std::fopen((Base + "-1.png").c_str(), "rb");
  ASSERT_NE(Png, nullptr);
  std::vector<uint8_t> Bytes;
  for (int C; (C = std::fgetc(Png)) != EOF;) Bytes.push_back(uint8_t(C));
  std::fclose(Png);
  ASSERT_TRUE(Page.LoadFromPngData(Bytes));
  int L = Page.Width(), T = Page.Height(), R = -1, Bt = -1;
  for (int Y = 0; Y < Page.Height(); ++Y)
    for (int X = 0; X < Page.Width(); ++X)
      if (Px(Page, X, Y) != clWhite) {
        L = std::min(L, X); T = std::min(T, Y); R = std::max(R, X); Bt = std::max(Bt, Y);
      }
  ASSERT_GE(R, 0);
  // Half an inch at 50 dpi is 25 pixels (one more for the edge of a line).
  EXPECT_GE(L, 24);
  EXPECT_GE(T, 24);
  EXPECT_LE(R, Page.Width() - 25);
  // The square's side is the page width less the margins.
  EXPECT_LE(Bt, 24 + Page.Width() - 48);
}

// Printed pictures and graphs: a pen prints as wide as it is on the screen, scaled with the
// picture, and the printout draws what the screen shows. The PDFs are kept in the build
// folder for a look; the widths are measured on the same drawing replayed into a bitmap of
// printer dots.
#include <filesystem>
#include <gtest/gtest.h>

#include "app/page_kit.h"
#include "app/pages/projectile_page.h"
#include "charts/chart.h"
#include "platform/bitmap.h"
#include "platform/files.h"
#include "platform/metafile.h"
#include "platform/printer.h"
#include "sim/field_plot.h"

namespace {

// The lengths of the runs of non-white pixels along column X between rows Y0 and Y1.
std::vector<int> RunsDown(TBitmap &B, int X, int Y0, int Y1) {
  std::vector<int> Runs;
  int Run = 0;
  for (int Y = Y0; Y < Y1; ++Y) {
    if (B.Canvas().Pixels(X, Y) != clWhite) ++Run;
    else if (Run) {
      Runs.push_back(Run);
      Run = 0;
    }
  }
  if (Run) Runs.push_back(Run);
  return Runs;
}

void PlotDipole(TFieldPlot &F) {
  int X = 17 * 16, Y = 20 * 16;
  F.AddCharge(X, Y, 1);
  X = 23 * 16;
  Y = 20 * 16;
  F.AddCharge(X, Y, -1);
  TBitmap Screen(641, 641);
  F.PlotFieldLines(Screen.Canvas());
  F.PlotEquipotentials(Screen.Canvas());
}

void PrintTo(const std::string &Pdf, int Dpi, const std::function<void()> &Print) {
  std::filesystem::remove(Pdf);
  TPrinter &P = Printer();
  P.SetOutputFile(Pdf);
  P.SetResolution(Dpi);
  Print();
  P.SetOutputFile("");
  EXPECT_TRUE(FileExists(Pdf)) << Pdf;
}

} // namespace

TEST(PrintedLines, AFieldPicturePrintsItsPensScaledWithThePicture) {
  TFieldPlot F(16);
  PlotDipole(F);
  ASSERT_FALSE(F.Segments.empty());
  for (int Dpi : {300, 600}) {
    PrintTo(std::string(VORNELLE_BINARY_DIR) + "/field_print_" + std::to_string(Dpi) + ".pdf", Dpi,
            [&] { F.Print(1); });
    // The picture fills the page width less half-inch margins: 640 pixels over 7.27 in.
    TPrinter &P = Printer();
    P.SetResolution(Dpi);
    const int Width = P.PageWidth() - P.PixelsPerInchX();
    const double Scale = double(Width) / F.Width;
    TBitmap Page(Width, Width);
    F.MakeMetafile().Play(Page.Canvas(), TRect(0, 0, Width, Width));
    // Down the column between the charges: field lines and the middle equipotential,
    // each about Scale dots across (0.28 mm), none a hairline.
    const int X = int(20.5 * 16 * Scale);
    const std::vector<int> Runs = RunsDown(Page, X, int(4 * 16 * Scale), int(36 * 16 * Scale));
    ASSERT_GE(Runs.size(), 6u) << Dpi;
    int Hairlines = 0;
    for (int R : Runs) Hairlines += R < Scale / 2;
    EXPECT_EQ(Hairlines, 0) << Dpi;
    // The equipotentials are solid, as on the screen: points along their segments are
    // inked (a dashed pen would leave every other stretch white).
    int Points = 0, Inked = 0;
    for (const TContourSegment &G : F.Segments) {
      const int DX = G.P2.X - G.P1.X, DY = G.P2.Y - G.P1.Y;
      if (DX * DX + DY * DY < 4) continue;
      for (double T : {0.25, 0.5, 0.75}) {
        const int X = int((G.P1.X + T * DX) * Scale + 0.5), Y = int((G.P1.Y + T * DY) * Scale + 0.5);
        ++Points;
        Inked += Page.Canvas().Pixels(X, Y) != clWhite;
      }
    }
    ASSERT_GT(Points, 100) << Dpi;
    EXPECT_GE(Inked, Points * 97 / 100) << Dpi;
  }
}

TEST(PrintedLines, TheProjectileGraphPrintsItsPensScaledWithTheGraph) {
  TChart Chart;
  TPointSeries *S1 = nullptr;
  TFastLineSeries *S2 = nullptr;
  SetUpProjectileChart(Chart, S1, S2);
  Chart.SetBounds(440, 440);
  for (int I = 0; I <= 20; ++I) {
    S1->AddXY(I * 0.25, 5 + I * 0.1);
    S2->AddXY(I * 0.25, 5 + I * 0.1);
  }
  for (int Dpi : {300, 600}) {
    PrintTo(std::string(VORNELLE_BINARY_DIR) + "/graph_print_" + std::to_string(Dpi) + ".pdf", Dpi, [&] {
      TPrinter &P = Printer();
      P.BeginDoc();
      Chart.PrintPartial(GetChartPrintRect());
      P.EndDoc();
    });
    // The same page replayed on a bitmap of printer dots.
    const TRect R = GetChartPrintRect();
    TBitmap Page(R.Width(), R.Height());
    Chart.PrintPartialCanvas(Page.Canvas(), TRect(0, 0, R.Width(), R.Height()));
    // The frame of the graph: its left edge, crossed half way down.
    const int Y = R.Height() / 2;
    int Left = -1, Run = 0;
    for (int X = 0; X < R.Width() / 2 && Run == 0; ++X) {
      if (Page.Canvas().Pixels(X, Y) == clBlack) {
        if (Left < 0) Left = X;
      } else if (Left >= 0) {
        Run = X - Left;
      }
    }
    ASSERT_GT(Left, 0) << Dpi;
    // The chart is laid out some 440 pixels wide: its 1-pixel lines print Width/440 dots.
    const double Scale = double(R.Width()) / 440;
    EXPECT_GE(Run, int(Scale / 2)) << Dpi;
    EXPECT_LE(Run, int(Scale * 2) + 1) << Dpi;
  }
}

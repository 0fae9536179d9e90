// Printing the text: the page metafile printer, the viewer's printer device, the page
// loop and the viewer's Print and PrintPreview.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "htmlview/html_pane.h"
#include "htmlview/metafile_printer.h"
#include "htmlview/pane_print.h"
#include "htmlview/pane_printer.h"
#include "pdf_output.h"
#include "pixel_count.h"
#include "platform/bitmap.h"

namespace {

// Every test prints to a PDF file at 300 dpi: A4 without an unprintable border.
struct PdfPrinter : ::testing::Test {
  std::string Pdf;
  void SetUp() override {
    Pdf = OutPath(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".pdf");
    std::filesystem::remove(Pdf);
    Printer().SetOutputFile(Pdf);
    Printer().SetResolution(300);
  }
  void TearDown() override {
    Printer().SetOutputFile("");
    SetPrinterCountForTests(-1);
  }
};

std::string Message(const std::function<void()> &F) {
  try {
    F();
  } catch (const std::exception &E) {
    return E.what();
  }
  return "no error";
}

} // namespace

// ---- the page metafile printer ----

using MetaFilePrinter = PdfPrinter;

TEST_F(MetaFilePrinter, ReadsThePrinterWhenMadeAndCountsUsedPages) {
  TMetaFilePrinter MF;
  // Known before any job, so that an empty preview has a page to show.
  EXPECT_EQ(MF.PixelsPerInchX, 300);
  EXPECT_EQ(MF.PaperHeight, Printer().PhysicalHeight());
  EXPECT_GT(MF.PaperWidth, 2400);
  MF.BeginDoc();
  MF.EndDoc();
  EXPECT_EQ(MF.GetPageCount(), 0); // nothing drawn: no page
  MF.BeginDoc();
  for (int I = 0; I < 3; ++I) {
    MF.GetCanvas().TextOut(10, 10, std::string("text"));
    MF.NewPage();
  }
  MF.EndDoc();
  EXPECT_EQ(MF.GetPageCount(), 3); // the trailing page nobody drew on is dropped
  EXPECT_EQ(MF.GetLastAvailablePage(), 3);
  MF.EndDoc(); // a second end keeps the last real page
  EXPECT_EQ(MF.GetPageCount(), 3);
  EXPECT_EQ(MF.GetMetaFile(2).Width(), MF.PaperWidth);
  EXPECT_EQ(Message([&] { MF.GetMetaFile(3); }), "List index out of bounds (3)");
  EXPECT_EQ(Message([&] { MF.GetMetaFile(-1); }), "List index out of bounds (-1)");
}

TEST_F(MetaFilePrinter, PagesAreWhitePaperAndTheFirstHasArial10) {
  TMetaFilePrinter MF;
  std::vector<int> Events;
  MF.OnPageEvent = [&](TMetaFilePrinter *Sender, int NumPage, bool &Stop) {
    EXPECT_EQ(Sender, &MF);
    EXPECT_FALSE(Stop);
    Events.push_back(NumPage);
  };
  MF.BeginDoc();
  EXPECT_TRUE(MF.Printing());
  ASSERT_NE(MF.PrinterDC(), nullptr);
  EXPECT_EQ(MF.PrinterDC()->PixelsPerInchY(), 300);
  TCanvas &C = MF.GetCanvas();
  EXPECT_TRUE(MF.PageUsed());
  EXPECT_EQ(C.Font().Name, "Arial");
  EXPECT_EQ(C.Font().Height, -13); // 10 point at the screen's 96 pixels per inch
  EXPECT_EQ(C.Brush().Style, bsClear);
  MF.NewPage();
  EXPECT_FALSE(MF.PageUsed());
  EXPECT_EQ(MF.GetCanvas().Brush().Style, bsSolid); // later pages keep the white brush
  MF.NewPage();
  MF.GetCanvas();
  MF.EndDoc();
  EXPECT_EQ(Events, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(MF.PrinterDC(), nullptr);
  // The page replays as a white sheet (the bitmap starts black to tell).
  TBitmap B(50, 70);
  B.Canvas().Brush().Color = clBlack;
  B.Canvas().FillRect(TRect(0, 0, 50, 70));
  MF.GetMetaFile(0).Play(B.Canvas(), TRect(0, 0, 50, 70));
  EXPECT_EQ(CountColor(B, clWhite), 50 * 70);
}

TEST_F(MetaFilePrinter, UnitsAndNoPrinter) {
  TMetaFilePrinter MF;
  EXPECT_EQ(MF.Units(), unInches);
  EXPECT_EQ(MF.UnitsFactor(), 1.0); // not 0 before the property is written
  MF.SetUnits(unCentimeters);
  EXPECT_EQ(MF.UnitsFactor(), 2.54);
  MF.SetUnits(unInches);
  EXPECT_EQ(MF.UnitsFactor(), 1.0);
  MF.BeginDoc();
  MF.GetCanvas();
  MF.EndDoc();
  SetPrinterCountForTests(0);
  EXPECT_EQ(Message([&] { MF.BeginDoc(); }), "Printer not available");
  EXPECT_FALSE(MF.Printing());
  EXPECT_EQ(MF.GetPageCount(), 1); // nothing changed
}

// ---- the viewer's printer device ----

using PanePrinterTest = PdfPrinter;

TEST_F(PanePrinterTest, StateRulesAndMessages) {
  TPanePrinter P;
  EXPECT_EQ(P.State(), 0);
  EXPECT_EQ(Message([&] { P.NewPage(); }), "Printer is not currently printing");
  EXPECT_EQ(Message([&] { P.EndDoc(); }), "Printer is not currently printing");
  EXPECT_EQ(Message([&] { P.Abort(); }), "Printer is not currently printing");
  EXPECT_EQ(P.GetPageWidth(), Printer().PageWidth());
  EXPECT_EQ(P.State(), 1); // an information context answers the page size
  P.Title = "A title of forty characters, cut at 31..";
  ASSERT_EQ(P.Title.size(), 40u);
  P.BeginDoc();
  EXPECT_EQ(P.State(), 2);
  EXPECT_EQ(P.DocName(), "A title of forty characters, cu"); // its first 31
  EXPECT_EQ(P.PageNumber(), 1);
  EXPECT_EQ(Message([&] { P.BeginDoc(); }), "Printing in progress");
  EXPECT_EQ(Message([&] { P.SetState(0); }), "Printing in progress");
  EXPECT_GT(P.GetPageHeight(), 3000);
  EXPECT_EQ(P.State(), 2); // the device context is kept
  P.Canvas().Rectangle(100, 100, 300, 300);
  P.NewPage();
  EXPECT_EQ(P.PageNumber(), 2);
  P.Canvas().TextOut(100, 100, std::string("two"));
  P.EndDoc();
  EXPECT_FALSE(P.Printing());
  EXPECT_EQ(P.PageNumber(), 0);
  EXPECT_EQ(PdfPages(Pdf), 2);
  P.SetState(0);
  EXPECT_EQ(P.State(), 0);
}

TEST_F(PanePrinterTest, CanvasDrawsOnlyWhilePrinting) {
  TPanePrinter P;
  TCanvas &C = P.Canvas();
  C.Font().Name = "Arial";
  C.Font().SetSize(10);
  // Measuring needs no job (the print layout measures before the first page) ...
  EXPECT_GT(C.TextWidth(std::string("measured")), 0);
  // ... drawing does.
  EXPECT_EQ(Message([&] { C.TextOut(100, 100, std::string("early")); }),
            "Printer is not currently printing");
  EXPECT_EQ(Message([&] { C.Rectangle(10, 10, 50, 50); }), "Printer is not currently printing");
  EXPECT_EQ(Message([&] { C.FillRect(TRect(10, 10, 50, 50)); }),
            "Printer is not currently printing");
  P.BeginDoc();
  EXPECT_EQ(Message([&] { C.TextOut(100, 100, std::string("printed")); }), "no error");
  P.NewPage();
  EXPECT_EQ(Message([&] { C.LineTo(300, 300); }), "no error");
  P.EndDoc();
  EXPECT_EQ(Message([&] { C.Ellipse(10, 10, 50, 50); }), "Printer is not currently printing");
  EXPECT_EQ(PdfPages(Pdf), 2);
}

TEST_F(PanePrinterTest, AbortEndsTheJobWithoutADocument) {
  TPanePrinter P;
  P.BeginDoc();
  P.Canvas().Rectangle(100, 100, 300, 300);
  P.NewPage();
  P.Abort();
  EXPECT_FALSE(P.Printing());
  EXPECT_FALSE(P.Aborted());
  EXPECT_EQ(P.PageNumber(), 0);
  EXPECT_EQ(PdfPages(Pdf), 0);
}

TEST_F(PanePrinterTest, ProcessWidePrinterIsReplaced) {
  TPanePrinter &First = PanePrinter();
  EXPECT_EQ(&PanePrinter(), &First);
  auto Mine = std::make_unique<TPanePrinter>();
  TPanePrinter *MinePtr = Mine.get();
  std::unique_ptr<TPanePrinter> Old = SetPanePrinter(std::move(Mine));
  EXPECT_EQ(Old.get(), &First);
  EXPECT_EQ(&PanePrinter(), MinePtr);
  std::unique_ptr<TPanePrinter> Back = SetPanePrinter(std::move(Old));
  EXPECT_EQ(Back.get(), MinePtr);
  EXPECT_EQ(&PanePrinter(), &First);
}

// ---- geometry and the page loop ----

TEST(PrintGeometryTest, MarginsLessTheUnprintableBorder) {
  TPrintCaps C;
  C.PixelsPerInchX = C.PixelsPerInchY = 600;
  C.OffsetX = C.OffsetY = 50;
  C.PhysicalWidth = 4960;
  C.PhysicalHeight = 7016;
  C.PageWidth = 4860;
  C.PageHeight = 6916;
  TPrintGeometry G = PrintGeometry(C, 2.0, 2.0, 2.0, 2.0, 96);
  EXPECT_EQ(G.LeftDots, 422); // Round(2.0 / 2.54 x 600) = Round(472.44) = 472, less 50
  EXPECT_EQ(G.TopDots, 422);
  EXPECT_EQ(G.RightDots, 422); // the right border is 4960 - 4860 - 50 = 50
  EXPECT_EQ(G.TextWidthDots, 4860 - 844);
  // No resolution, no band.
  EXPECT_EQ(PrintGeometry(TPrintCaps(), 2, 2, 2, 2, 96).W, 0);
}

TEST_F(PdfPrinter, GeometryOfThePdfPrinter) {
  TPanePrinter P;
  TPanePrintDevice D(P);
  TPrintGeometry G = PrintGeometry(D.Caps(), 2.0, 2.0, 2.0, 2.0, 96);
  EXPECT_EQ(D.Caps().PageWidth, 2479);
  EXPECT_EQ(D.Caps().PageHeight, 3508);
  EXPECT_EQ(G.LeftDots, 236); // Round(236.22)
  EXPECT_EQ(G.L, 76);         // MulDiv(236, 96, 300)
  EXPECT_EQ(G.T, 76);
  EXPECT_EQ(G.W, 642);        // MulDiv(2007, 96, 300)
  EXPECT_EQ(G.H, 972);        // MulDiv(3036, 96, 300)
}

namespace {

// A document of a given height whose pages end exactly a band lower.
struct TStubDocument : TPrintDocument {
  int Height = 0, PageHeight = 0;
  bool Stuck = false; // never moves on
  std::vector<int> Tops;
  std::vector<int> Lefts;
  void SetPageHeight(int H) override { PageHeight = H; }
  int Layout(TCanvas &, int) override { return Height; }
  int DrawPage(TCanvas &, int PageTop, const TRect &Band) override {
    Tops.push_back(PageTop);
    Lefts.push_back(Band.Left);
    return Stuck ? PageTop : PageTop + Band.Height();
  }
};

// A device that logs its calls.
struct TStubDevice : TPrintDevice {
  TCanvas Null;
  std::string Log;
  int NewPages = 0;
  void BeginDoc(const std::string &) override { Log += "B"; }
  TCanvas &Canvas() override { return Null; }
  TPrintCaps Caps() override {
    TPrintCaps C;
    C.PixelsPerInchX = C.PixelsPerInchY = 300;
    C.PageWidth = C.PhysicalWidth = 2479;
    C.PageHeight = C.PhysicalHeight = 3508;
    return C;
  }
  void NewPage() override {
    Log += "N";
    ++NewPages;
  }
  void EndDoc() override { Log += "E"; }
  void Abort() override { Log += "A"; }
};

constexpr int BandH = 972, BandW = 642, BandL = 76;

} // namespace

TEST(PageLoop, ADocumentEndingAtAPageTopHasNoEmptyPage) {
  TStubDocument Doc;
  Doc.Height = 2 * BandH;
  TStubDevice Dev;
  TPrintRun Run;
  Run.Preview = true;
  EXPECT_EQ(PrintPages(Doc, Dev, Run), 2);
  EXPECT_EQ(Doc.PageHeight, BandH);
  EXPECT_EQ(Doc.Tops, (std::vector<int>{0, BandH}));
  EXPECT_EQ(Dev.Log, "BNE");
  Doc.Tops.clear();
  Doc.Height = 2 * BandH + 1;
  TStubDevice Dev3;
  EXPECT_EQ(PrintPages(Doc, Dev3, Run), 3);
}

TEST(PageLoop, PagesThatDoNotMoveOnStillEnd) {
  TStubDocument Doc;
  Doc.Height = 3 * BandH;
  Doc.Stuck = true;
  TStubDevice Dev;
  TPrintRun Run;
  Run.Preview = true;
  EXPECT_EQ(PrintPages(Doc, Dev, Run), 3);
  EXPECT_EQ(Doc.Tops, (std::vector<int>{0, BandH, 2 * BandH}));
}

TEST(PageLoop, PrintRangeLaysOutEarlierPagesWithoutPrintingThem) {
  TStubDocument Doc;
  Doc.Height = 4 * BandH;
  TStubDevice Dev;
  TPrintRun Run;
  Run.FromPage = 2;
  Run.ToPage = 3;
  EXPECT_EQ(PrintPages(Doc, Dev, Run), 3);
  EXPECT_EQ(Doc.Lefts, (std::vector<int>{3 * BandW + BandL, BandL, BandL}));
  EXPECT_EQ(Dev.Log, "BNE"); // one new page, between pages 2 and 3
}

TEST(PageLoop, NothingInRangeAbortsAndOnePageOfOnePrints) {
  TStubDocument Doc;
  Doc.Height = 2 * BandH;
  TStubDevice Dev;
  TPrintRun Run;
  Run.FromPage = 3;
  Run.ToPage = 5;
  EXPECT_EQ(PrintPages(Doc, Dev, Run), 2);
  EXPECT_EQ(Dev.Log, "BA");
  Doc.Height = BandH - 10;
  TStubDevice One;
  Run.FromPage = Run.ToPage = 1;
  EXPECT_EQ(PrintPages(Doc, One, Run), 1);
  EXPECT_EQ(One.Log, "BE");
}

TEST(PageLoop, CopiesFollowEachOtherInOneJob) {
  TStubDocument Doc;
  Doc.Height = 2 * BandH;
  TStubDevice Dev;
  TPrintRun Run;
  Run.Copies = 3;
  PrintPages(Doc, Dev, Run);
  EXPECT_EQ(Dev.Log, "BNNNNNE"); // 2 pages x 3 copies
}

TEST(PageLoop, HeaderAndFooterBandsAndStopPrinting) {
  TStubDocument Doc;
  Doc.Height = 5 * BandH;
  TStubDevice Dev;
  TPrintRun Run;
  Run.Preview = true;
  std::vector<std::string> Calls;
  Run.OnHeader = [&](TCanvas &, int N, int W, int H, bool &) {
    Calls.push_back("H" + std::to_string(N) + ":" + std::to_string(W) + "x" + std::to_string(H));
  };
  Run.OnFooter = [&](TCanvas &, int N, int W, int H, bool &Stop) {
    Calls.push_back("F" + std::to_string(N) + ":" + std::to_string(W) + "x" + std::to_string(H));
    Stop = N == 2;
  };
  EXPECT_EQ(PrintPages(Doc, Dev, Run), 2);
  // Full page 2479 x 3508 dots = 793 x 1123 pixels; header T = 76; footer 1123 - (76 + 972).
  EXPECT_EQ(Calls, (std::vector<std::string>{"H1:793x76", "F1:793x75", "H2:793x76", "F2:793x75"}));
  EXPECT_EQ(Dev.Log, "BNE");
}

TEST(PageLoop, AnErrorAbortsTheJob) {
  struct TFailing : TStubDocument {
    int DrawPage(TCanvas &, int, const TRect &) override { throw Exception("broken"); }
  } Doc;
  Doc.Height = BandH;
  TStubDevice Dev;
  TPrintRun Run;
  EXPECT_EQ(Message([&] { PrintPages(Doc, Dev, Run); }), "broken");
  EXPECT_EQ(Dev.Log, "BA");
}

// ---- the viewer ----

namespace {

std::string WritePage(const std::string &Name, const std::string &Html) {
  return WriteOutPage("print_test_pages", Name, Html);
}

std::string Paragraphs(int N) {
  std::string S = "<title>Printed page</title>";
  for (int I = 0; I < N; ++I)
    S += "<p>Paragraph " + std::to_string(I) + " with enough words to fill most of one printed line.</p>";
  return S;
}

struct PanePrint : PdfPrinter {
  THtmlPane Pane;
  void SetUp() override {
    PdfPrinter::SetUp();
    Pane.resize(400, 300);
    Pane.show();
  }
};

} // namespace

TEST_F(PanePrint, PreviewCountsPagesAndPrintMatchesIt) {
  Pane.LoadFromFile(WritePage("many.htm", Paragraphs(120)));
  TMetaFilePrinter MF;
  int N = Pane.PrintPreview(MF);
  EXPECT_GE(N, 3);
  EXPECT_EQ(MF.GetPageCount(), N);
  Pane.Print(1, N);
  EXPECT_EQ(PdfPages(Pdf), N);
  EXPECT_FALSE(Pane.IsBusy());
}

TEST_F(PanePrint, OnePageDocumentPrintsItsOnePage) {
  Pane.LoadFromFile(WritePage("one.htm", Paragraphs(3)));
  TMetaFilePrinter MF;
  EXPECT_EQ(Pane.PrintPreview(MF), 1);
  Pane.Print(1, 1);
  EXPECT_EQ(PdfPages(Pdf), 1);
  std::filesystem::remove(Pdf);
  Pane.Print(1, 1, 2); // two copies in one job
  EXPECT_EQ(PdfPages(Pdf), 2);
}

TEST_F(PanePrint, PagesBeyondTheDocumentPrintNothing) {
  Pane.LoadFromFile(WritePage("two.htm", Paragraphs(50)));
  TMetaFilePrinter MF;
  ASSERT_EQ(Pane.PrintPreview(MF), 2);
  Pane.Print(3, 5);
  EXPECT_EQ(PdfPages(Pdf), 0);
}

TEST_F(PanePrint, EmptyDocumentRendersNoPage) {
  TMetaFilePrinter MF;
  EXPECT_EQ(Pane.PrintPreview(MF), 0);
  EXPECT_EQ(MF.GetPageCount(), 0);
  Pane.Print(1, 1);
  EXPECT_FALSE(std::filesystem::exists(Pdf));
}

TEST_F(PanePrint, TextOfThePreviewPageIsBlackOnWhite) {
  Pane.SetDefBackground(clSilver);
  Pane.LoadFromFile(WritePage("text.htm", Paragraphs(3)));
  TMetaFilePrinter MF;
  ASSERT_EQ(Pane.PrintPreview(MF), 1);
  // The page at a third of its dots: the band is white, the text in it black.
  const TMetafile &Page = MF.GetMetaFile(0);
  TBitmap B(Page.Width() / 3, Page.Height() / 3);
  Page.Play(B.Canvas(), TRect(0, 0, B.Width(), B.Height()));
  EXPECT_EQ(CountColor(B, clSilver), 0); // printed on white, whatever the screen's background
  // Text is drawn smoothed: count the dark pixels.
  auto Dark = [&](const TRect &R) {
    int N = 0;
    for (int Y = R.Top; Y < R.Bottom; ++Y)
      for (int X = R.Left; X < R.Right; ++X)
        if ((B.Canvas().Pixels(X, Y) & 0xFF) < 0x80) ++N;
    return N;
  };
  EXPECT_GT(Dark(TRect(0, 0, B.Width(), B.Height())), 500);
  // Nothing in the left margin (236 dots, 78 here) nor above the top one.
  EXPECT_EQ(Dark(TRect(0, 0, 76, B.Height())), 0);
  EXPECT_EQ(Dark(TRect(0, 0, B.Width(), 76)), 0);
  // The first line starts just inside them.
  EXPECT_GT(Dark(TRect(76, 76, 90, 120)), 0);
}

namespace {

// Inked pixels per row of a picture (text and rules; the paper is white).
std::vector<int> InkRows(const TBitmap &B) {
  std::vector<int> Rows(B.Height());
  for (int Y = 0; Y < B.Height(); ++Y)
    for (int X = 0; X < B.Width(); ++X) Rows[Y] += GetGValue(ArgbToColor(B.ScanLine(Y)[X])) < 0xA0;
  return Rows;
}

} // namespace

TEST_F(PanePrint, PrintedPagesMatchThePreviewPageByPage) {
  Pane.LoadFromFile(std::string(VORNELLE_SOURCE_DIR) + "/HTML/EFIELD.HTM");
  TMetaFilePrinter MF;
  const int N = Pane.PrintPreview(MF);
  ASSERT_GE(N, 2);
  Pane.Print(1, N);
  ASSERT_EQ(PdfPages(Pdf), N);
  // Both at 50 dots per inch, about the size of the unzoomed preview (409 pixels wide).
  const std::string Base = OutPath("print_vs_preview");
  const std::string Cmd = "pdftoppm -r 50 -png '" + Pdf + "' '" + Base + "' 2>/dev/null";
  if (std::system(Cmd.c_str()) != 0) GTEST_SKIP() << "pdftoppm not installed (poppler-utils)";
  for (int P = 0; P < N; ++P) {
    SCOPED_TRACE("page " + std::to_string(P + 1));
    std::string Number = std::to_string(P + 1);
    while (Number.size() < std::to_string(N).size()) Number = "0" + Number;
    std::ifstream In(Base + "-" + Number + ".png", std::ios::binary);
    const std::vector<uint8_t> Png((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    TBitmap Printed;
    ASSERT_TRUE(Printed.LoadFromPngData(Png));
    const double S = double(Printed.Width()) / MF.PaperWidth;
    const TMetafile &Page = MF.GetMetaFile(P);
    TBitmap Preview(Printed.Width(), Printed.Height());
    Page.Play(Preview.Canvas(), TRect(Round(MF.OffsetX * S), Round(MF.OffsetY * S), Round((MF.OffsetX + Page.Width()) * S),
                                      Round((MF.OffsetY + Page.Height()) * S)));
    const std::vector<int> A = InkRows(Printed), B = InkRows(Preview);
    auto First = [](const std::vector<int> &R) { return int(std::find_if(R.begin(), R.end(), [](int V) { return V > 0; }) - R.begin()); };
    auto Last = [](const std::vector<int> &R) { return int(R.rend() - std::find_if(R.rbegin(), R.rend(), [](int V) { return V > 0; })) - 1; };
    // The same first and last line: the page breaks fall in the same places (a pixel here is
    // ten dots, a line of text about five pixels).
    EXPECT_NEAR(First(A), First(B), 2);
    EXPECT_NEAR(Last(A), Last(B), 2);
    // Lines of text at the same heights, and ink of the same order (the preview's text is
    // hinted to whole pixels, the rasterised PDF's smoothed, so the shades differ).
    int Agree = 0, InkA = 0, InkB = 0;
    for (size_t Y = 0; Y < A.size(); ++Y) {
      Agree += (A[Y] > 0) == (B[Y] > 0);
      InkA += A[Y];
      InkB += B[Y];
    }
    EXPECT_GE(Agree, int(A.size()) * 85 / 100);
    EXPECT_NEAR(InkB, InkA, InkA * 6 / 10);
  }
}

TEST_F(PanePrint, WhiteTextPrintsGreyOnThePaper) {
  // White words on a dark screen page: the paper is white, so they print grey.
  Pane.LoadFromFile(WritePage("white.htm", "<body bgcolor=navy text=white>"
                                           "<p><font size=6>White words on navy</font></p>"));
  Pane.Print(1, 1);
  ASSERT_EQ(PdfPages(Pdf), 1);
  const std::string Base = OutPath("print_white_text");
  const std::string Cmd = "pdftoppm -r 100 -png '" + Pdf + "' '" + Base + "' 2>/dev/null";
  if (std::system(Cmd.c_str()) != 0) GTEST_SKIP() << "pdftoppm not installed (poppler-utils)";
  std::ifstream In(Base + "-1.png", std::ios::binary);
  const std::vector<uint8_t> Png((std::istreambuf_iterator<char>(In)),
                                 std::istreambuf_iterator<char>());
  TBitmap Page;
  ASSERT_TRUE(Page.LoadFromPngData(Png));
  // Ink in the grey A0A0A0, none darker and none coloured (the smoothed edges are paler).
  int Grey = 0, Darker = 0, Coloured = 0;
  for (int Y = 0; Y < Page.Height(); ++Y)
    for (int X = 0; X < Page.Width(); ++X) {
      const TColor C = ArgbToColor(Page.ScanLine(Y)[X]);
      const int R = GetRValue(C), G = GetGValue(C), B = GetBValue(C);
      if (std::max({R, G, B}) - std::min({R, G, B}) > 8) ++Coloured;
      else if (R < 0x98) ++Darker;
      else if (R <= 0xA8) ++Grey;
    }
  EXPECT_GT(Grey, 200);
  EXPECT_EQ(Darker, 0);
  EXPECT_EQ(Coloured, 0);
}

TEST_F(PanePrint, BusyDuringTheRunAndLaidOutAgainAfter) {
  Pane.LoadFromFile(WritePage("busy.htm", Paragraphs(60)));
  std::string File = Pane.CurrentFile();
  std::string Other = WritePage("other.htm", "<p>Other</p>");
  int Layouts = Pane.LayoutCount();
  int Pages = 0;
  bool WasBusy = false;
  Pane.OnPrintHeader = [&](THtmlPane *Sender, TCanvas &, int, int, int, bool &) {
    WasBusy = Sender->IsBusy();
    ++Pages;
    Sender->LoadFromFile(Other); // a link or topic change while the run pumps: ignored
  };
  TMetaFilePrinter MF;
  int N = Pane.PrintPreview(MF);
  EXPECT_TRUE(WasBusy);
  EXPECT_EQ(Pages, N);
  EXPECT_EQ(Pane.CurrentFile(), File);
  EXPECT_FALSE(Pane.IsBusy());
  EXPECT_GT(Pane.LayoutCount(), Layouts); // the screen document is laid out again
}

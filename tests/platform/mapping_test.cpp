// The logical-to-device mapping of printer and metafile canvases, device-unit clips, the
// printer's information canvas and a device context of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "pdf_output.h"
#include "pixel_count.h"
#include "platform/bitmap.h"
#include "platform/metafile.h"
#include "platform/printer.h"

namespace {

// Plays M at its own size on a white bitmap.
TBitmap Played(const TMetafile &M) {
  TBitmap B(M.Width(), M.Height());
  M.Play(B.Canvas(), TRect(0, 0, M.Width(), M.Height()));
  return B;
}

} // namespace

TEST(Mapping, AnisotropicScaleAndWindowOrigin) {
  TMetafile M;
  M.SetSize(40, 40);
  {
    TMetafileCanvas C(M);
    C.SetMapping(TSize(1, 2), TSize(3, 3)); // x three times, y one and a half times
    EXPECT_TRUE(C.Mapped());
    C.Brush().Color = clRed;
    C.FillRect(TRect(1, 2, 3, 6)); // device x 3..9, y 3..9
    C.SetWindowOrg(TPoint(0, -10)); // logical y 0 now lies at device 15
    C.Brush().Color = clBlue;
    C.FillRect(TRect(0, 0, 2, 2)); // device x 0..6, y 15..18
  }
  TBitmap B = Played(M);
  EXPECT_EQ(CountColor(B, clRed), 6 * 6);
  EXPECT_EQ(B.Canvas().Pixels(3, 3), clRed);
  EXPECT_EQ(B.Canvas().Pixels(9, 9), clWhite);
  EXPECT_EQ(CountColor(B, clBlue), 6 * 3);
  EXPECT_EQ(B.Canvas().Pixels(0, 15), clBlue);
  EXPECT_EQ(B.Canvas().Pixels(0, 14), clWhite);
}

TEST(Mapping, ResetAndSaveStateBringTheTextModeBack) {
  TMetafile M;
  M.SetSize(20, 20);
  {
    TMetafileCanvas C(M);
    int S = C.SaveState();
    C.SetMapping(TSize(1, 1), TSize(2, 2));
    C.RestoreState(S);
    EXPECT_FALSE(C.Mapped());
    C.SetMapping(TSize(1, 1), TSize(2, 2));
    C.ResetMapping();
    C.Brush().Color = clRed;
    C.FillRect(TRect(0, 0, 4, 4));
  }
  TBitmap B = Played(M);
  EXPECT_EQ(CountColor(B, clRed), 16);
}

TEST(Mapping, DeviceClipStaysInDeviceUnits) {
  TMetafile M;
  M.SetSize(40, 40);
  {
    TMetafileCanvas C(M);
    C.SetMapping(TSize(1, 1), TSize(3, 3));
    C.SelectDeviceClipRegion(TRegion::FromRect(TRect(0, 0, 7, 5)));
    TRect R = C.ClipRect(); // in logical units: 7/3 and 5/3 pixels
    EXPECT_EQ(R.Left, 0);
    EXPECT_EQ(R.Top, 0);
    EXPECT_LE(R.Right, 3);
    EXPECT_LE(R.Bottom, 2);
    C.Brush().Color = clRed;
    C.FillRect(TRect(0, 0, 10, 10));
    // A logical clip is mapped: logical 10..12 is device 30..36.
    C.SelectClipRect(TRect(10, 10, 12, 12));
    C.Brush().Color = clBlue;
    C.FillRect(TRect(0, 0, 20, 20));
  }
  TBitmap B = Played(M);
  EXPECT_EQ(CountColor(B, clRed), 7 * 5);
  EXPECT_EQ(CountColor(B, clBlue), 6 * 6);
  EXPECT_EQ(B.Canvas().Pixels(30, 30), clBlue);
}

TEST(Mapping, ImageCanvasesStayUnmapped) {
  TBitmap B(10, 10);
  B.Canvas().SetMapping(TSize(1, 1), TSize(4, 4));
  EXPECT_FALSE(B.Canvas().Mapped());
  B.Canvas().Brush().Color = clRed;
  B.Canvas().FillRect(TRect(0, 0, 2, 2));
  EXPECT_EQ(CountColor(B, clRed), 4);
}

TEST(Mapping, PenAndFontScaleOnReplay) {
  TMetafile M;
  M.SetSize(100, 60);
  {
    TMetafileCanvas C(M);
    C.SetMapping(TSize(1, 1), TSize(4, 4));
    C.Pen().Color = clRed;
    C.MoveTo(1, 2);
    C.LineTo(20, 2); // a one-pixel line scales to four device pixels
  }
  TBitmap B = Played(M);
  int Rows = 0;
  for (int Y = 0; Y < 20; ++Y)
    if (B.Canvas().Pixels(40, Y) == clRed) ++Rows;
  EXPECT_EQ(Rows, 4);
}

TEST(PrinterInfo, MeasuresAtTheResolutionWithoutAJob) {
  TPrinter &P = Printer();
  P.SetOutputFile(std::string(VORNELLE_BINARY_DIR) + "/mapping_info.pdf");
  P.SetResolution(300);
  TCanvas &I = P.InfoCanvas();
  EXPECT_EQ(I.PixelsPerInchY(), 300);
  EXPECT_FALSE(P.Printing());
  I.Font().Height = -13;
  EXPECT_GT(I.TextWidth(std::string("Fields")), 20);
  EXPECT_GE(P.PrinterCount(), 1); // printing to a PDF file is always there
  SetPrinterCountForTests(0);
  EXPECT_EQ(P.PrinterCount(), 0);
  SetPrinterCountForTests(-1);
  P.SetOutputFile("");
}

TEST(PrinterDC, OwnJobOnThePrintersChoice) {
  std::string Pdf = std::string(VORNELLE_BINARY_DIR) + "/mapping_dc.pdf";
  std::filesystem::remove(Pdf);
  TPrinter &P = Printer();
  P.SetOutputFile(Pdf);
  P.SetResolution(300);
  {
    TPrinterDC DC(P);
    EXPECT_EQ(DC.PixelsPerInchX(), 300);
    EXPECT_EQ(DC.PageWidth(), P.PageWidth());
    EXPECT_EQ(DC.PhysicalHeight(), P.PhysicalHeight());
    TDeviceCanvas C;
    C.Font().Height = -20;
    ASSERT_TRUE(DC.StartDoc("Own job"));
    EXPECT_FALSE(DC.StartDoc("again"));
    DC.StartPage();
    C.Attach(&DC);
    EXPECT_EQ(C.Font().Height, -20); // the canvas keeps its font across contexts
    C.Rectangle(100, 100, 400, 400);
    DC.EndPage();
    DC.StartPage();
    C.Attach(&DC);
    C.TextOut(100, 100, std::string("Page 2"));
    DC.EndPage();
    DC.EndDoc();
    EXPECT_FALSE(DC.InDoc());
    C.Attach(nullptr);
    C.LineTo(5, 5); // draws nowhere
  }
  P.SetOutputFile("");
  EXPECT_EQ(PdfPages(Pdf), 2);
}

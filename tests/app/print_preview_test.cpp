// The text's print preview: the fitted page, the page label and buttons, printing from it,
// and the main window's commands that open it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QScrollArea>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/forms/print_preview_frm.h"
#include "htmlview/html_pane.h"
#include "htmlview/metafile_printer.h"
#include "main_window_fixture.h"
#include "pdf_output.h"
#include "pixel_count.h"
#include "platform/paint_box.h"
#include "widgets/speed_button.h"

namespace {

std::string WritePage(const std::string &Name, int Paragraphs) {
  std::string Dir = OutPath("preview_test_pages");
  QDir().mkpath(QString::fromStdString(Dir));
  std::string Html = "<title>Preview</title>";
  for (int I = 0; I < Paragraphs; ++I)
    Html += "<p>Paragraph " + std::to_string(I) + " with enough words to fill most of one printed line.</p>";
  std::string Path = Dir + "/" + Name;
  std::ofstream(Path, std::ios::binary) << Html;
  return Path;
}

struct PreviewTest : ::testing::Test {
  std::string Pdf;
  THtmlPane Pane;
  void SetUp() override {
    Pdf = OutPath(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".pdf");
    std::filesystem::remove(Pdf);
    Printer().SetOutputFile(Pdf);
    Printer().SetResolution(300);
    Pane.resize(400, 300);
    Pane.show();
  }
  void TearDown() override {
    Printer().SetOutputFile("");
    SetPrintDialogHook({});
  }
  std::string Label(TPrntPrevFrm &F) { return F.CurPageLabel->text().toStdString(); }
};

} // namespace

TEST(PreviewPageSize, FittedSideIsTheBoxLessTwenty) {
  // A4 at 300 dpi is 2479 x 3508 dots.
  TSize S = TPrntPrevFrm::FittedPageSize(800, 600, false, 2479, 3508, 300, 300);
  EXPECT_EQ(S.cx, 409); // Trunc(580 x 2479 / 3508) = Trunc(409.87)
  EXPECT_EQ(S.cy, 580); // exactly, not one short of a floating product
  S = TPrntPrevFrm::FittedPageSize(800, 600, true, 2479, 3508, 300, 300);
  EXPECT_EQ(S.cx, 780);
  EXPECT_EQ(S.cy, 1103); // Trunc(780 x 3508 / 2479) = Trunc(1103.76)
  // Odd box sizes still come out exact.
  for (int H = 100; H < 1200; H += 7)
    EXPECT_EQ(TPrntPrevFrm::FittedPageSize(800, H, false, 4958, 7016, 600, 600).cy, H - 20);
  // No paper, no page (and no division by zero).
  S = TPrntPrevFrm::FittedPageSize(800, 600, false, 0, 0, 0, 0);
  EXPECT_EQ(S.cx, 0);
  EXPECT_EQ(S.cy, 0);
}

TEST_F(PreviewTest, OnePageShowsPageOneOfOne) {
  Pane.LoadFromFile(WritePage("one.htm", 3));
  TPrntPrevFrm F(nullptr, &Pane);
  EXPECT_EQ(F.windowTitle().toStdString(), "Print preview");
  EXPECT_EQ(Label(F), "Page 1 of 1");
  EXPECT_FALSE(F.PrevPageBtn->Enabled());
  EXPECT_FALSE(F.NextPageBtn->Enabled());
  EXPECT_TRUE(F.PrintBtn->Enabled());
  // Every button has its glyph, left of the caption; "next" has it on the right.
  for (TKitSpeedButton *B : {F.PrintBtn, F.PrevPageBtn, F.NextPageBtn, F.ZoomBtn, F.CloseBtn}) {
    EXPECT_FALSE(B->Glyph().Empty()) << B->Caption();
    EXPECT_EQ(B->Layout(), B == F.NextPageBtn ? blGlyphRight : blGlyphLeft) << B->Caption();
  }
  EXPECT_EQ(F.PB->toolTip().toStdString(),
            "Page View.  With Zoom Tool, left or right click to zoom in/out.  Click && drag with Hand Tool to pan.");
  // The page shows its text in the box.
  F.resize(700, 900);
  F.show();
  QApplication::processEvents();
  F.PB->PaintNow();
  TBitmap B(F.PB->Width(), F.PB->Height());
  B.Canvas().CopyRect(TRect(0, 0, B.Width(), B.Height()), F.PB->Canvas(), TRect(0, 0, B.Width(), B.Height()));
  EXPECT_GT(F.PB->Height(), 0);
  EXPECT_LT(CountColor(B, clWhite), B.Width() * B.Height());
}

TEST_F(PreviewTest, EmptyDocumentShowsPageOneOfNoneAndCannotPrint) {
  TPrntPrevFrm F(nullptr, &Pane);
  EXPECT_EQ(Label(F), "Page 1 of 0");
  EXPECT_FALSE(F.PrevPageBtn->Enabled());
  EXPECT_FALSE(F.NextPageBtn->Enabled());
  EXPECT_FALSE(F.PrintBtn->Enabled()); // no pages 1..0 to offer
  F.resize(600, 500);
  F.show();
  QApplication::processEvents();
  F.PB->PaintNow();
  EXPECT_GT(F.PagePanel->width(), 0); // the paper is known without any page
  TBitmap B(F.PB->Width(), F.PB->Height());
  B.Canvas().CopyRect(TRect(0, 0, B.Width(), B.Height()), F.PB->Canvas(), TRect(0, 0, B.Width(), B.Height()));
  EXPECT_EQ(CountColor(B, clWhite), B.Width() * B.Height());
  bool Asked = false;
  SetPrintDialogHook([&](TPrintDialog &) { return Asked = true; });
  F.PrintBtnClick();
  EXPECT_FALSE(Asked);
}

TEST_F(PreviewTest, PagesStepAndTheBoxFitsThePage) {
  Pane.LoadFromFile(WritePage("many.htm", 120));
  TPrntPrevFrm F(nullptr, &Pane);
  int N = F.MFPrinter->GetPageCount();
  ASSERT_GE(N, 3);
  EXPECT_EQ(Label(F), "Page 1 of " + std::to_string(N));
  EXPECT_TRUE(F.NextPageBtn->Enabled());
  F.NextPageBtnClick();
  EXPECT_EQ(Label(F), "Page 2 of " + std::to_string(N));
  EXPECT_TRUE(F.PrevPageBtn->Enabled());
  for (int I = 0; I < N + 2; ++I) F.NextPageBtnClick();
  EXPECT_EQ(F.CurPage, N - 1);
  EXPECT_FALSE(F.NextPageBtn->Enabled());
  F.PrevPageBtnClick();
  EXPECT_EQ(F.CurPage, N - 2);
  F.resize(700, 600);
  F.show();
  QApplication::processEvents();
  QSize Box = F.ScrollBox1->maximumViewportSize();
  EXPECT_EQ(F.PagePanel->height(), Box.height() - 20);
  F.ZoomBtn->SetDown(true);
  F.ZoomBtnClick();
  EXPECT_TRUE(F.Zoomed);
  EXPECT_GT(F.PagePanel->height(), Box.height());
  EXPECT_LT(F.PagePanel->width(), Box.width());
}

TEST_F(PreviewTest, PrintsTheChosenRangeAndCopies) {
  Pane.LoadFromFile(WritePage("range.htm", 120));
  TPrntPrevFrm F(nullptr, &Pane);
  int N = F.MFPrinter->GetPageCount();
  ASSERT_GE(N, 3);
  SetPrintDialogHook([&](TPrintDialog &D) {
    EXPECT_EQ(D.MinPage, 1);
    EXPECT_EQ(D.MaxPage, N);
    EXPECT_EQ(D.FromPage, 1);
    EXPECT_EQ(D.ToPage, N);
    EXPECT_TRUE(D.AllowPageRange);
    D.PrintRange = true;
    D.FromPage = 2;
    D.ToPage = 3;
    D.Copies = 2;
    return true;
  });
  F.PrintBtnClick();
  EXPECT_EQ(PdfPages(Pdf), 4); // pages 2 and 3, twice
  EXPECT_TRUE(F.PrintBtn->Enabled());
}

TEST_F(MainWindowTest, PrintTopicAndThePrintButtonOpenThePreview) {
  MakeProgramFolder();
  TFieldFrm &W = MakeWindow();
  std::string Pdf = OutPath("main_window_preview.pdf");
  Printer().SetOutputFile(Pdf);
  std::vector<std::string> Seen;
  // The preview pumps messages while it renders, before it runs modally: look until it does.
  QTimer Closer;
  Closer.setInterval(10);
  QObject::connect(&Closer, &QTimer::timeout, [&] {
    if (auto *P = qobject_cast<TPrntPrevFrm *>(QApplication::activeModalWidget())) {
      Seen.push_back(P->windowTitle().toStdString() + " " + P->CurPageLabel->text().toStdString());
      P->close();
    }
  });
  auto CloseIt = [&] { Closer.start(); };
  CloseIt();
  W.PrintTopic1->trigger();
  CloseIt();
  W.PrintBtn->OnClick();
  Printer().SetOutputFile("");
  ASSERT_EQ(Seen.size(), 2u);
  EXPECT_EQ(Seen[0].rfind("Print preview Page 1 of ", 0), 0u) << Seen[0];
  EXPECT_EQ(Seen[0], Seen[1]);
  EXPECT_FALSE(W.Viewer->IsBusy());
}

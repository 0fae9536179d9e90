// The text's print preview: the fitted page, the page label and buttons, printing from it,
// and the main window's commands that open it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPrintDialog>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
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

std::string WritePageText(const std::string &Name, const std::string &Html) {
  return WriteOutPage("preview_test_pages", Name, Html);
}

std::string WritePage(const std::string &Name, int Paragraphs) {
  std::string Html = "<title>Preview</title>";
  for (int I = 0; I < Paragraphs; ++I)
    Html += "<p>Paragraph " + std::to_string(I) +
            " with enough words to fill most of one printed line.</p>";
  return WritePageText(Name, Html);
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
  // Scrolled to the foot of a page, next and prev open the new page at its top.
  QScrollBar *Bar = F.ScrollBox1->verticalScrollBar();
  for (auto Step : {&TPrntPrevFrm::NextPageBtnClick, &TPrntPrevFrm::PrevPageBtnClick}) {
    Bar->setValue(Bar->maximum());
    ASSERT_GT(Bar->value(), 0);
    (F.*Step)();
    EXPECT_EQ(Bar->value(), 0);
  }
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

// A picture or a graph is one page: its print dialog prints all and offers no page range,
// also after a print of the text chose one. The dialog itself is answered.
TEST_F(PreviewTest, APicturePrintOffersNoPageRangeAfterATextRange) {
  bool AllChosen = false, RangeOffered = true;
  auto Answer = [&](bool Text) {
    QTimer::singleShot(0, [&, Text] {
      auto *D = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
      auto *All = D ? D->findChild<QRadioButton *>("printAll") : nullptr;
      auto *Range = D ? D->findChild<QRadioButton *>("printRange") : nullptr;
      if (!All || !Range) {
        ADD_FAILURE() << "no print dialog with a page range";
        if (QWidget *W = QApplication::activeModalWidget()) W->close();
        return;
      }
      if (Text) {
        Range->setChecked(true);
        D->accept();
      } else {
        AllChosen = All->isChecked();
        RangeOffered = Range->isEnabled() || Range->isChecked();
        D->reject();
      }
    });
  };
  TPrintDialog Text;
  Text.AllowPageRange = true;
  Text.MinPage = Text.FromPage = Text.ToPage = 1;
  Text.MaxPage = 3;
  Answer(true);
  ASSERT_TRUE(Text.Execute());
  ASSERT_TRUE(Text.PrintRange);
  TPrintDialog Picture;
  Answer(false);
  EXPECT_FALSE(Picture.Execute());
  EXPECT_TRUE(AllChosen);
  EXPECT_FALSE(RangeOffered);
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

namespace {

// A page as the topic pages write them: bold words and links inside sentences, headings,
// lists and a smaller note, long enough for two printed pages.
std::string MixedStylePage() {
  std::string Html = "<title>Fields</title>";
  for (int Part = 1; Part <= 6; ++Part) {
    Html += "<h2>Part " + std::to_string(Part) + ": fields in physics</h2>";
    Html +=
        "<p>Vornelle is a set of experiments for the study of <b>fields</b> in an advanced school "
        "physics course. The <b>back</b>, <b>forward</b> and <b>index</b> buttons above this text "
        "move between the pages you have read; <b>font</b> sets the size of the text, and the "
        "<b>View</b> menu its <i>background colour</i>.</p>";
    Html += "<h3>Electric fields</h3><ul>";
    Html +=
        "<li><a href=\"EFIELD.HTM\">Electric field plotting</a>: field lines, equipotentials and "
        "the "
        "potential of point charges (<a href=\"EFIELD.HTM#presets\">ready-made arrangements</a>)";
    Html +=
        "<li><a href=\"EDEFLECT.HTM\">Deflection by electric fields</a>: an electron beam between "
        "charged plates";
    Html += "<li><a href=\"MILLIKAN.HTM\">Oil drop experiment</a>: Millikan's measurement of the "
            "charge";
    Html += "</ul><p>A charge <b>Q</b> at a distance <i>r</i> gives a field <tt>E = kQ/r^2</tt>; "
            "<font size=2>the constant k is 9 x 10^9 N m^2 C^-2 in air.</font> Press <b>F1</b> for "
            "help "
            "on the controls of the page in front of you.</p>";
  }
  return Html;
}

// How dark a pixel is: coloured text (links) counts by its darkest channel.
int Darkness(const TBitmap &B, int X, int Y) {
  const TColor C = ArgbToColor(B.ScanLine(Y)[X]);
  return 255 - std::min({GetRValue(C), GetGValue(C), GetBValue(C)});
}
// Ink as the eye sees it, and its faint and strong parts: two renderers smooth the edges of
// one letter differently, so an edge is placed between where the faint and the strong ink end.
constexpr int Faint = 40, Ink = 96, Strong = 160;

// The ink of a rectangle (inclusive pixel bounds), or Right < 0 when there is none.
TRect InkBox(const TBitmap &B, const TRect &R, int Threshold) {
  TRect Box(1 << 30, 1 << 30, -1, -1);
  for (int Y = std::max(0, R.Top); Y <= std::min(B.Height() - 1, R.Bottom); ++Y)
    for (int X = std::max(0, R.Left); X <= std::min(B.Width() - 1, R.Right); ++X)
      if (Darkness(B, X, Y) >= Threshold) {
        Box.Left = std::min(Box.Left, X);
        Box.Right = std::max(Box.Right, X);
        Box.Top = std::min(Box.Top, Y);
        Box.Bottom = std::max(Box.Bottom, Y);
      }
  return Box;
}

struct TWord {
  TRect Box; // inclusive pixel bounds of its ink
  int Line, LineTop, LineBottom;
};

// The words of a page picture: lines are bands of inked rows, words runs of inked columns
// in a band, apart by at least two blank columns.
std::vector<TWord> Words(const TBitmap &B) {
  std::vector<TWord> Found;
  int Line = 0;
  auto RowInked = [&](int Y) {
    for (int X = 0; X < B.Width(); ++X)
      if (Darkness(B, X, Y) >= Ink) return true;
    return false;
  };
  for (int Y = 0; Y < B.Height();) {
    if (!RowInked(Y)) {
      ++Y;
      continue;
    }
    int Bottom = Y;
    while (Bottom + 1 < B.Height() && RowInked(Bottom + 1)) ++Bottom;
    auto ColInked = [&](int X) {
      for (int R = Y; R <= Bottom; ++R)
        if (Darkness(B, X, R) >= Ink) return true;
      return false;
    };
    int Start = -1, LastInk = -1;
    for (int X = 0; X <= B.Width(); ++X) {
      const bool Inked = X < B.Width() && ColInked(X);
      if (Inked) {
        if (Start < 0) Start = X;
        LastInk = X;
      } else if (Start >= 0 && X - LastInk >= 2) {
        Found.push_back(TWord{InkBox(B, TRect(Start, Y, LastInk, Bottom), Ink), Line, Y, Bottom});
        Start = -1;
      }
    }
    Y = Bottom + 1;
    ++Line;
  }
  return Found;
}

// The words of Ref that Other does not show in the same place: Other's ink there must end
// within a pixel of where Ref's faint or strong ink ends, on every side.
std::vector<std::string> WordsOutOfPlace(const TBitmap &Ref, const TBitmap &Other) {
  std::vector<std::string> Out;
  const std::vector<TWord> W = Words(Ref);
  for (size_t I = 0; I < W.size(); ++I) {
    const TRect &A = W[I].Box;
    // Look no further than half way to the words beside it on the line, nor past the line's
    // rows (a word moved up or down shows as a gap above or below it).
    TRect Look(A.Left - 3, W[I].LineTop, A.Right + 3, W[I].LineBottom);
    if (I > 0 && W[I - 1].Line == W[I].Line)
      Look.Left = std::max(Look.Left, (W[I - 1].Box.Right + A.Left) / 2 + 1);
    if (I + 1 < W.size() && W[I + 1].Line == W[I].Line)
      Look.Right = std::min(Look.Right, (A.Right + W[I + 1].Box.Left) / 2);
    const TRect Lo = InkBox(Ref, Look, Faint);
    TRect Hi = InkBox(Ref, Look, Strong);
    if (Hi.Right < 0) Hi = A; // a faint mark: its ink is all there is
    const TRect B = InkBox(Other, Look, Ink);
    auto Between = [](int V, int P, int Q) {
      return V >= std::min(P, Q) - 1 && V <= std::max(P, Q) + 1;
    };
    if (B.Right < 0 || !Between(B.Left, Lo.Left, Hi.Left) ||
        !Between(B.Right, Lo.Right, Hi.Right) || !Between(B.Top, Lo.Top, Hi.Top) ||
        !Between(B.Bottom, Lo.Bottom, Hi.Bottom))
      Out.push_back("(" + std::to_string(A.Left) + ", " + std::to_string(A.Top) + ")-(" +
                    std::to_string(A.Right) + ", " + std::to_string(A.Bottom) + ") against (" +
                    std::to_string(B.Left) + ", " + std::to_string(B.Top) + ")-(" +
                    std::to_string(B.Right) + ", " + std::to_string(B.Bottom) + ")");
  }
  return Out;
}

TBitmap PageShown(TPrntPrevFrm &F) {
  F.PB->PaintNow();
  TBitmap B(F.PB->Width(), F.PB->Height());
  B.Canvas().CopyRect(TRect(0, 0, B.Width(), B.Height()), F.PB->Canvas(),
                      TRect(0, 0, B.Width(), B.Height()));
  return B;
}

} // namespace

TEST_F(PreviewTest, ThePageShowsWhatThePaperShowsAtEveryZoom) {
  Pane.LoadFromFile(WritePageText("mixed.htm", MixedStylePage()));
  TPrntPrevFrm F(nullptr, &Pane);
  const int N = F.MFPrinter->GetPageCount();
  ASSERT_GE(N, 2);
  Pane.Print(1, N);
  ASSERT_EQ(PdfPages(Pdf), N);
  F.show();
  struct TZoom {
    int Width, Height;
    bool Zoomed;
  };
  // Fitted to the height, maximised on screens of 800 x 600 and 1024 x 768, and to the width.
  for (const TZoom &Z : {TZoom{800, 560, false}, TZoom{1024, 730, false}, TZoom{800, 560, true}}) {
    F.resize(Z.Width, Z.Height);
    F.ZoomBtn->SetDown(Z.Zoomed);
    F.ZoomBtnClick();
    QApplication::processEvents();
    for (int P = 0; P < N; ++P) {
      const std::string Name =
          "preview_zoom_" + std::to_string(F.PB->Height()) + "_page_" + std::to_string(P + 1);
      SCOPED_TRACE(Name);
      F.CurPage = P;
      F.ShowPageLabel(P);
      const TBitmap Shown = PageShown(F);
      ASSERT_TRUE(Shown.SaveToPng(OutPath(Name + "_preview.png")));
      // The printed page rasterised at the preview's scale.
      const std::string Base = OutPath(Name + "_paper");
      const std::string Cmd = "pdftoppm -f " + std::to_string(P + 1) + " -l " +
                              std::to_string(P + 1) + " -scale-to-x " +
                              std::to_string(Shown.Width()) + " -scale-to-y " +
                              std::to_string(Shown.Height()) + " -singlefile -png '" + Pdf + "' '" +
                              Base + "' 2>/dev/null";
      if (std::system(Cmd.c_str()) != 0) GTEST_SKIP() << "pdftoppm not installed (poppler-utils)";
      std::ifstream In(Base + ".png", std::ios::binary);
      const std::vector<uint8_t> Png((std::istreambuf_iterator<char>(In)),
                                     std::istreambuf_iterator<char>());
      TBitmap Paper;
      ASSERT_TRUE(Paper.LoadFromPngData(Png));
      ASSERT_EQ(Paper.Width(), Shown.Width());
      ASSERT_EQ(Paper.Height(), Shown.Height());
      ASSERT_GT(Words(Paper).size(), 50u);
      // Both ways: each word of the paper in its place on the preview, and nothing on the
      // preview where the paper has no word.
      for (const bool PaperFirst : {true, false}) {
        const std::vector<std::string> Off =
            PaperFirst ? WordsOutOfPlace(Paper, Shown) : WordsOutOfPlace(Shown, Paper);
        std::string List;
        for (size_t I = 0; I < std::min<size_t>(Off.size(), 8); ++I) List += "\n  " + Off[I];
        EXPECT_TRUE(Off.empty()) << Off.size() << " words of the "
                                 << (PaperFirst ? "paper" : "preview") << " out of place:" << List;
      }
    }
  }
}

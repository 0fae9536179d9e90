// The viewer control: loading, scrolling, keys and wheel, encoded positions, anchors and
// the clipboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <fstream>
#include <functional>

#include "htmlview/doc_images.h"
#include "htmlview/gif_image.h"
#include "htmlview/html_pane.h"
#include "htmlview/image_cache.h"
#include "image_test_support.h"
#include "paint_events.h"
#include "platform/clipboard.h"
#include "platform/files.h"

namespace {

std::string WritePage(const std::string &Name, const std::string &Html) {
  std::string Dir = std::string(VORNELLE_BINARY_DIR) + "/pane_test_pages";
  std::string Cmd = Dir;
  QDir().mkpath(QString::fromStdString(Dir));
  std::string Path = Dir + "/" + Name;
  std::ofstream(Path, std::ios::binary) << Html;
  return Path;
}

std::string LongPage(int Paragraphs) {
  std::string S = "<title>Long</title>";
  for (int I = 0; I < Paragraphs; ++I)
    S += "<p>Paragraph " + std::to_string(I) +
         " with enough words to fill most of one line in the pane.</p>";
  return S;
}

struct PaneFixture : ::testing::Test {
  THtmlPane Pane;
  void SetUp() override {
    Pane.resize(400, 300);
    Pane.show();
  }
};

TEST_F(PaneFixture, LoadsTitleAndLaysOutForTheWidth) {
  Pane.LoadFromFile(WritePage("long.htm", LongPage(60)));
  EXPECT_EQ(Pane.Title(), "Long");
  EXPECT_FALSE(Pane.CurrentFile().empty());
  EXPECT_GT(Pane.DocumentHeight(), Pane.VisibleHeight());
  EXPECT_TRUE(Pane.VScrollBar()->isVisible());
}

TEST_F(PaneFixture, ARelativeNameIsKeptAsItsFullName) {
  const std::string Page = WritePage("relative.htm", "<title>Relative</title>relative");
  const QString Was = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(ExtractFilePath(Page)));
  Pane.LoadFromFile("../pane_test_pages/./relative.htm");
  QDir::setCurrent(Was);
  EXPECT_EQ(Pane.CurrentFile(), Page);
  // So the page is found again from anywhere.
  Pane.Reload();
  EXPECT_EQ(Pane.Title(), "Relative");
}

TEST_F(PaneFixture, EachLoadStartsFromTheViewersCharSet) {
  Pane.LoadFromFile(WritePage("greek.htm", "<meta http-equiv=\"Content-Type\" "
                                           "content=\"text/html; charset=windows-1253\">\xE9"));
  EXPECT_EQ(Pane.Document().Decode("\xE9"), u"\u03B9");
  Pane.SetDefFontSize(14); // the page keeps what it declared through a font change
  EXPECT_EQ(Pane.Document().Decode("\xE9"), u"\u03B9");
  Pane.LoadFromFile(WritePage("undeclared.htm", "caf\xE9"));
  EXPECT_EQ(Pane.Document().Decode("\xE9"), u"\u00E9");
  // The viewer's own setting is laid out at once and holds for the next loads.
  const int Layouts = Pane.LayoutCount();
  Pane.SetCharSet(GREEK_CHARSET);
  EXPECT_EQ(Pane.Document().Decode("\xE9"), u"\u03B9");
  EXPECT_GT(Pane.LayoutCount(), Layouts);
  Pane.Reload();
  EXPECT_EQ(Pane.Document().Decode("\xE9"), u"\u03B9");
  Pane.SetCharSet(DEFAULT_CHARSET);
  EXPECT_EQ(Pane.Document().Decode("\xE9"), u"\u00E9");
}

TEST_F(PaneFixture, ARefreshHandlerMayLoadTheNextPage) {
  const std::string Start = WritePage("start.htm", "<title>Start</title>start");
  const std::string First = WritePage(
      "refresh.htm", "<title>First</title><meta http-equiv=Refresh content=\"0; URL=next.htm\">");
  const std::string Next = WritePage("next.htm", "<title>Next</title>next");
  Pane.SetHistoryMaxCount(5);
  Pane.LoadFromFile(Start);
  std::vector<std::string> Heard;
  Pane.OnMetaRefresh = [&](THtmlPane *Sender, int Delay, const std::string &URL) {
    Heard.push_back(std::to_string(Delay) + " " + URL + (Sender->IsBusy() ? " busy" : ""));
    Sender->LoadFromFile(Sender->ExpandLinkFileName(URL));
  };
  Pane.LoadFromFile(First);
  EXPECT_EQ(Heard, std::vector<std::string>{"1 next.htm"}); // a delay of 0 counts as 1
  EXPECT_EQ(Pane.CurrentFile(), Next);
  // Both loads are recorded in the order they were made.
  EXPECT_EQ(Pane.History(), (std::vector<std::string>{Next, First, Start}));
}

TEST_F(PaneFixture, MissingFileRaisesAndKeepsTheDocument) {
  Pane.LoadFromFile(WritePage("keep.htm", "kept"));
  std::string Before = Pane.CurrentFile();
  try {
    Pane.LoadFromFile("/no/such/file.htm");
    FAIL() << "no error";
  } catch (const Exception &E) {
    EXPECT_EQ(std::string(E.what()), "Can't locate file: /no/such/file.htm");
  }
  EXPECT_EQ(Pane.CurrentFile(), Before);
  EXPECT_FALSE(Pane.IsBusy());
}

TEST_F(PaneFixture, ANameThatCannotBeReadIsReportedAsSuch) {
  // As root nothing is unreadable by its permissions: a folder in the file's place, and a
  // file in the place of the folder that should hold the page, cannot be read.
  const std::string Page = WritePage("readable.htm", "kept");
  const std::string Dir = ExtractFilePath(Page);
  QDir().mkpath(QString::fromStdString(Dir + "folder.htm"));
  const std::string NotAFolder = WritePage("html_file", "not a folder");
  Pane.LoadFromFile(Page);
  auto Error = [&](const std::string &Name) {
    try {
      Pane.LoadFromFile(Name);
    } catch (const Exception &E) { return std::string(E.what()); }
    return std::string("no error");
  };
  EXPECT_EQ(Error(Dir + "folder.htm"), "Can't read file: " + Dir + "folder.htm");
  EXPECT_EQ(Error(NotAFolder + "/INDEX.HTM"), "Can't read folder: " + NotAFolder);
  // Raised before anything is cleared, as for a missing file.
  EXPECT_EQ(Pane.CurrentFile(), Page);
  EXPECT_GT(Pane.Document().Count(), 0);
  EXPECT_FALSE(Pane.IsBusy());
  // A missing page in a folder that can be read is still missing.
  EXPECT_EQ(Error(Dir + "absent.htm"), "Can't locate file: " + Dir + "absent.htm");
}

TEST_F(PaneFixture, PositionClampsBothWays) {
  Pane.LoadFromFile(WritePage("long2.htm", LongPage(60)));
  Pane.SetPosition(-5);
  EXPECT_EQ(Pane.Position(), 0);
  Pane.SetPosition(1000000);
  EXPECT_EQ(Pane.Position(), Pane.DocumentHeight() - Pane.VisibleHeight());
  // A document shorter than the pane never gets a negative offset.
  Pane.LoadFromFile(WritePage("short.htm", "short"));
  Pane.SetPosition(50);
  EXPECT_EQ(Pane.Position(), 0);
  Pane.KeyDown(VK_END, 0);
  EXPECT_EQ(Pane.Position(), 0);
}

TEST_F(PaneFixture, KeysAndWheelScroll) {
  Pane.LoadFromFile(WritePage("long3.htm", LongPage(80)));
  Pane.KeyDown(VK_DOWN, 0);
  EXPECT_EQ(Pane.Position(), 16);
  Pane.KeyDown(VK_UP, 0);
  EXPECT_EQ(Pane.Position(), 0);
  Pane.KeyDown(VK_NEXT, 0);
  EXPECT_EQ(Pane.Position(), Pane.VisibleHeight() - 16);
  Pane.KeyDown(VK_PRIOR, 0);
  EXPECT_EQ(Pane.Position(), 0);
  Pane.MouseWheel(-120); // one notch down
  EXPECT_EQ(Pane.Position(), 60);
  Pane.KeyDown(VK_HOME, 0);
  EXPECT_EQ(Pane.Position(), 0);
  Pane.KeyDown(VK_END, 0);
  EXPECT_EQ(Pane.Position(), Pane.DocumentHeight() - Pane.VisibleHeight());
}

void Key(QWidget *W, QEvent::Type Type, int QtKey, const QString &Text = QString(),
         Qt::KeyboardModifiers Mods = Qt::NoModifier) {
  QKeyEvent E(Type, QtKey, Mods, Text);
  QApplication::sendEvent(W, &E);
}

TEST_F(PaneFixture, KeysGoToTheHostFirst) {
  Pane.LoadFromFile(WritePage("keys.htm", LongPage(80)));
  std::vector<std::string> Heard;
  bool TakeDown = false;
  Pane.OnKeyDown = [&](THtmlPane *Sender, uint16_t &K, TShiftState S) {
    EXPECT_EQ(Sender, &Pane);
    Heard.push_back("down " + std::to_string(K) + ((S & ssCtrl) ? " ctrl" : ""));
    if (TakeDown) K = 0;
  };
  Pane.OnKeyUp = [&](THtmlPane *, uint16_t &K, TShiftState) {
    Heard.push_back("up " + std::to_string(K));
  };
  Pane.OnKeyPress = [&](THtmlPane *, char16_t &C) {
    Heard.push_back(std::string("press ") + char(C));
  };
  Key(&Pane, QEvent::KeyPress, Qt::Key_Down);
  Key(&Pane, QEvent::KeyRelease, Qt::Key_Down);
  EXPECT_EQ(Pane.Position(), 16); // and the pane scrolled as ever
  Key(&Pane, QEvent::KeyPress, Qt::Key_X, "x");
  Key(&Pane, QEvent::KeyPress, Qt::Key_F5);
  Key(&Pane, QEvent::KeyPress, Qt::Key_C, "\x03", Qt::ControlModifier);
  EXPECT_EQ(Heard, (std::vector<std::string>{"down 40", "up 40", "down 88", "press x", "down 116",
                                             "down 67 ctrl", "press \x03"}));
  // A key the host takes (Key := 0) does nothing more.
  TakeDown = true;
  Key(&Pane, QEvent::KeyPress, Qt::Key_Down);
  EXPECT_EQ(Pane.Position(), 16);
  Pane.KeyDown(VK_NEXT, 0);
  EXPECT_EQ(Pane.Position(), 16);
  TakeDown = false;
  Pane.KeyDown(VK_DOWN, 0);
  EXPECT_EQ(Pane.Position(), 32);
}

TEST(PaneFocus, EnteringThePaneTellsTheHost) {
  // The pane beside another control in one window, as on the main window.
  QWidget Window;
  auto *Outside = new QLineEdit(&Window);
  auto *Pane = new THtmlPane(&Window);
  Pane->setGeometry(0, 40, 400, 300);
  Pane->LoadFromString("<form><input name=a></form><p>text</p>");
  Window.resize(400, 340);
  Window.show();
  Window.activateWindow();
  Outside->setFocus();
  QApplication::processEvents();
  Pane->LayoutAndPaint();
  int Entered = 0;
  Pane->OnEnter = [&](THtmlPane *Sender) {
    EXPECT_EQ(Sender, Pane);
    ++Entered;
  };
  Pane->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(Entered, 1);
  // From the pane to a control of its page: still inside.
  auto *Edit = Pane->PaintPanel()->findChild<QLineEdit *>();
  ASSERT_TRUE(Edit);
  Edit->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(Entered, 1);
  // Out, and straight into the control: entered again.
  Outside->setFocus();
  QApplication::processEvents();
  Edit->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(Entered, 2);
}

// ---- pictures the host hands over ----

TEST_F(PaneFixture, HostAnswersForThePictures) {
  BitmapList().Clear();
  TBitmap Red(12, 6);
  Red.Fill(clRed);
  std::vector<std::string> Asked;
  Pane.OnBitmapRequest = [&](THtmlPane *Sender, const std::string &Src, TBitmap *&B, TColor &) {
    EXPECT_EQ(Sender, &Pane);
    Asked.push_back(Src);
    B = Src == "pics/red.bmp" ? &Red : nullptr;
  };
  Pane.LoadFromFile(WritePage("asked.htm", "<p>a <img src=\"pics/red.bmp\"> b <img src=gone.gif>"));
  Pane.LayoutAndPaint();
  // The host gets each SRC as written: no file name is made of it.
  EXPECT_EQ(Asked, (std::vector<std::string>{"pics/red.bmp", "gone.gif"}));
  TSectionList &Doc = Pane.Document();
  ASSERT_EQ(Doc.ImageList.size(), 2u);
  TImageObj *Shown = Doc.ImageList[0];
  EXPECT_FALSE(Shown->IsError);
  EXPECT_EQ(Shown->ImageWidth, 12);
  const QImage &Panel = Pane.PaintPanel()->Image();
  EXPECT_EQ(Panel.pixel(Shown->DrawX + 3, Shown->DrawY - Pane.Position() + 3), 0xFFFF0000u);
  EXPECT_TRUE(Doc.ImageList[1]->IsError);

  // The stream request, when there is no bitmap request: a BMP stream is a picture.
  Pane.OnBitmapRequest = nullptr;
  TMemoryStream Bmp(imgtest::ReadAll(imgtest::ImagePath("bmp24.bmp")));
  Asked.clear();
  Pane.OnImageRequest = [&](THtmlPane *, const std::string &Src, TMemoryStream *&S) {
    Asked.push_back(Src);
    S = Src == "photo.bmp" ? &Bmp : nullptr;
  };
  Pane.LoadFromFile(WritePage("streamed.htm", "<img src=photo.bmp>"));
  EXPECT_EQ(Asked, std::vector<std::string>{"photo.bmp"});
  ASSERT_EQ(Doc.ImageList.size(), 1u);
  EXPECT_FALSE(Doc.ImageList[0]->IsError);
  EXPECT_EQ(Doc.ImageList[0]->ImageWidth, 23);
  Pane.Clear(); // the page's pictures go before the cache does
  BitmapList().Clear();
}

TEST_F(PaneFixture, PicturesTheHostSendsLater) {
  BitmapList().Clear();
  TMemoryStream Bmp(imgtest::ReadAll(imgtest::ImagePath("bmp24.bmp")));
  int Asked = 0;
  Pane.OnImageRequest = [&](THtmlPane *, const std::string &, TMemoryStream *&S) {
    ++Asked;
    S = WaitStream(); // not here yet
  };
  Pane.LoadFromFile(
      WritePage("later.htm", LongPage(30) + "<p><img src=late.bmp> and <img src=LATE.BMP > again"));
  Pane.SetPosition(100);
  TSectionList &Doc = Pane.Document();
  ASSERT_EQ(Doc.ImageList.size(), 2u);
  // One request for the name; both pictures wait with the placeholder.
  EXPECT_EQ(Asked, 1);
  for (TImageObj *I : Doc.ImageList) {
    EXPECT_TRUE(I->IsDefault);
    EXPECT_EQ(I->Bitmap, &DefBitmap());
  }
  ASSERT_EQ(Doc.PendingList.count("LATE.BMP"), 1u);
  EXPECT_EQ(Doc.PendingList["LATE.BMP"].size(), 2u);
  const int Enc = Pane.EncodedPosition();
  EXPECT_FALSE(Pane.InsertImage("other.bmp", Bmp)); // nothing waits for that one
  EXPECT_TRUE(Pane.InsertImage("late.bmp", Bmp));
  EXPECT_TRUE(Doc.PendingList.empty());
  for (TImageObj *I : Doc.ImageList) {
    EXPECT_FALSE(I->IsDefault);
    EXPECT_FALSE(I->IsError);
    EXPECT_EQ(I->ImageWidth, 23); // laid out again for the real size
    EXPECT_EQ(I->ImageHeight, 17);
  }
  EXPECT_EQ(Pane.EncodedPosition(), Enc); // keeping the place
  EXPECT_EQ(Asked, 1);
  const int I = BitmapList().IndexOf("LATE.BMP");
  ASSERT_GE(I, 0);
  EXPECT_EQ(BitmapList().Objects(I)->UsageCount, 2); // one for each picture showing it
  Pane.LoadFromString("<p>next");
  EXPECT_EQ(BitmapList().Objects(BitmapList().IndexOf("LATE.BMP"))->UsageCount, 0);
  // What cannot be read shows the error picture.
  Pane.LoadFromString("<img src=bad.bmp>");
  TMemoryStream Junk(std::vector<uint8_t>(40, 7));
  EXPECT_TRUE(Pane.InsertImage("bad.bmp", Junk));
  ASSERT_EQ(Doc.ImageList.size(), 1u);
  EXPECT_TRUE(Doc.ImageList[0]->IsError);
  Pane.Clear(); // the page's pictures go before the cache does
  BitmapList().Clear();
}

TEST_F(PaneFixture, APictureAnotherPaneCachedMeanwhileServesThePagesWaitingForIt) {
  BitmapList().Clear();
  TMemoryStream Bmp(imgtest::ReadAll(imgtest::ImagePath("bmp24.bmp")));
  Pane.OnImageRequest = [](THtmlPane *, const std::string &, TMemoryStream *&S) { S = WaitStream(); };
  Pane.LoadFromString("<img src=shared.bmp>");
  // A second pane whose host has the picture at once: it goes into the shared cache.
  THtmlPane Other;
  Other.OnImageRequest = [&](THtmlPane *, const std::string &, TMemoryStream *&S) { S = &Bmp; };
  Other.LoadFromString("<img src=shared.bmp>");
  ASSERT_FALSE(Other.Document().ImageList[0]->IsError);
  // What the first host sends later is not read again: the cached picture serves.
  TMemoryStream Junk(std::vector<uint8_t>(40, 7));
  EXPECT_TRUE(Pane.InsertImage("shared.bmp", Junk));
  TImageObj *Mine = Pane.Document().ImageList.at(0);
  EXPECT_FALSE(Mine->IsError);
  EXPECT_EQ(Mine->Bitmap, Other.Document().ImageList[0]->Bitmap);
  int Entries = 0;
  for (int I = 0; I < BitmapList().Count(); ++I) Entries += BitmapList().Strings(I) == "SHARED.BMP";
  EXPECT_EQ(Entries, 1);
  EXPECT_EQ(BitmapList().Objects(BitmapList().IndexOf("SHARED.BMP"))->UsageCount, 2);
  Pane.Clear();
  Other.Clear();
  BitmapList().Clear();
}

TEST_F(PaneFixture, ABackgroundTheHostSendsLater) {
  BitmapList().Clear();
  std::vector<std::string> Asked;
  Pane.OnImageRequest = [&](THtmlPane *, const std::string &Src, TMemoryStream *&S) {
    Asked.push_back(Src);
    S = WaitStream();
  };
  Pane.LoadFromFile(WritePage("bglater.htm", "<body background=tiles.bmp bgcolor=lime><p>text"));
  Pane.LayoutAndPaint();
  TSectionList &Doc = Pane.Document();
  EXPECT_EQ(Asked, std::vector<std::string>{"tiles.bmp"});
  // The page itself waits, under the picture's name.
  EXPECT_TRUE(Doc.BackgroundPending);
  EXPECT_EQ(Doc.PendingList.count("TILES.BMP"), 1u);
  EXPECT_EQ(Doc.BackgroundBitmap, nullptr);
  EXPECT_EQ(Pane.PaintPanel()->Image().pixel(1, 1), 0xFF00FF00u); // the page's colour meanwhile
  TMemoryStream Bmp(imgtest::ReadAll(imgtest::ImagePath("bmp24.bmp")));
  ASSERT_TRUE(Pane.InsertImage("tiles.bmp", Bmp));
  EXPECT_FALSE(Doc.BackgroundPending);
  ASSERT_NE(Doc.BackgroundBitmap, nullptr);
  Pane.LayoutAndPaint();
  // The panel shows the tiles now, from its top left corner.
  const QImage &Panel = Pane.PaintPanel()->Image();
  const uint32_t Tile11 = ColorToArgb(Doc.BackgroundBitmap->Canvas().Pixels(1, 1));
  EXPECT_EQ(Panel.pixel(1, 1) | 0xFF000000u, Tile11);
  EXPECT_EQ(Panel.pixel(1 + 23 * 10, 1 + 17 * 9) | 0xFF000000u, Tile11); // 23 x 17 tiles
  Pane.Clear(); // the page's pictures go before the cache does
  BitmapList().Clear();
}

TEST_F(PaneFixture, EncodedPositionSurvivesReloadAfterAFontSizeChange) {
  Pane.LoadFromFile(WritePage("long4.htm", LongPage(80)));
  // Put the top of the window 5 pixels into paragraph 20.
  TSectionList &Doc = Pane.Document();
  int Index = -1;
  for (int I = 0; I < Doc.Count(); ++I)
    if (auto *S = dynamic_cast<TSection *>(Doc.Items(I)))
      if (S->Buff.find("Paragraph 20 ") != std::string::npos) Index = I;
  ASSERT_GE(Index, 0);
  Pane.SetPosition(Doc.Items(Index)->YValue + 5);
  int Enc = Pane.EncodedPosition();
  EXPECT_EQ(Enc, (Index << 16) + 5);
  int Before = Pane.Position();
  Pane.SetDefFontSize(16);
  Pane.Reload();
  EXPECT_EQ(Pane.EncodedPosition(), Enc);
  EXPECT_GT(Pane.Position(), Before); // bigger text: the same place lies lower
  EXPECT_EQ(Pane.DefFontSize(), 16);
  Pane.SetDefFontSize(3);
  EXPECT_EQ(Pane.DefFontSize(), 6);
}

TEST_F(PaneFixture, SameFileKeepsThePositionAndAnchorsScroll) {
  std::string Path = WritePage("anchors.htm", LongPage(40) +
      "<table><tr><td>" + LongPage(10) + "<a name=InCell>cell anchor</a></td></tr></table>" +
      LongPage(20));
  Pane.LoadFromFile(Path);
  Pane.SetPosition(200);
  Pane.LoadFromFile(Path);
  EXPECT_EQ(Pane.Position(), 200);
  // An anchor inside a table cell scrolls to where it was laid out.
  Pane.LoadFromFile(Path + "#incell");
  TSectionBase *S = Pane.NameList().Find("INCELL");
  ASSERT_TRUE(S);
  EXPECT_EQ(Pane.Position(), S->YValue);
  EXPECT_GT(S->YValue, Pane.Document().GetSectionTop(0) + 500);
  // A missing anchor keeps the position.
  Pane.SetPosition(100);
  Pane.LoadFromFile(Path + "#nothere");
  EXPECT_EQ(Pane.Position(), 100);
}

TEST_F(PaneFixture, DraggingPastTheBottomScrolls) {
  Pane.LoadFromFile(WritePage("drag.htm", LongPage(60)));
  Pane.LayoutAndPaint();
  Pane.PaintPanel()->OnMouseDown(mbLeft, 0, 10, 10);
  Pane.PaintPanel()->OnMouseMove(ssLeft, 10, Pane.VisibleHeight() + 20);
  // The auto-scroll timer takes a step each 100 ms while the pointer stays out there.
  EXPECT_TRUE(Pane.AutoScrolling());
  QCursor::setPos(Pane.PaintPanel()->mapToGlobal(QPoint(10, Pane.VisibleHeight() + 10)));
  Pane.AutoScrollStep();
  EXPECT_EQ(Pane.Position(), 16);
  Pane.PaintPanel()->OnMouseUp(mbLeft, 0, 10, Pane.VisibleHeight() + 20);
  EXPECT_NE(Pane.SelectionLength(), 0);
}

TEST_F(PaneFixture, DemonstrationPageShowsItsPictures) {
  Pane.resize(480, 760);
  Pane.LoadFromFile(std::string(VORNELLE_SOURCE_DIR) + "/tests/htmlview/layout_pages/demo.htm");
  Pane.LayoutAndPaint();
  int Pictures = 0, Missing = 0, Floats = 0;
  for (TImageObj *I : Pane.Document().ImageList) {
    ++Pictures;
    if (I->IsError) ++Missing;
    if (I->IsFloat()) ++Floats;
  }
  EXPECT_EQ(Pictures, 2); // the floating GIF and the JPEG
  EXPECT_EQ(Missing, 0);
  EXPECT_EQ(Floats, 1);
  EXPECT_TRUE(Pane.LayoutErrors().empty());
  Pane.PaintPanel()->Image().save(QString::fromStdString(std::string(VORNELLE_BINARY_DIR) +
                                                          "/pane_test_demo.png"));
}

TEST_F(PaneFixture, ClearKeepsTheFileName) {
  Pane.LoadFromFile(WritePage("clear.htm", "text"));
  std::string F = Pane.CurrentFile();
  Pane.Clear();
  EXPECT_EQ(Pane.CurrentFile(), F);
  EXPECT_EQ(Pane.Document().Count(), 0);
}

TEST_F(PaneFixture, PropertyLimits) {
  Pane.SetMarginWidth(500);
  EXPECT_EQ(Pane.MarginWidth(), 200);
  Pane.SetImageCacheCount(99);
  EXPECT_EQ(Pane.ImageCacheCount(), 20);
  Pane.SetMarginHeight(-3);
  EXPECT_EQ(Pane.MarginHeight(), 5);
}

TEST_F(PaneFixture, DraggingSelectsAndCopyPutsTheTextOnTheClipboard) {
  Pane.LoadFromFile(WritePage("select.htm", "<p>first words here</p><ul><li>item</ul>"));
  Pane.LayoutAndPaint();
  EXPECT_EQ(Pane.SelectionLength(), 0);
  TSectionList &Doc = Pane.Document();
  // Drag from left of the first line to far right of the list line.
  TSection *First = nullptr, *Item = nullptr;
  for (int I = 0; I < Doc.Count(); ++I)
    if (auto *S = dynamic_cast<TSection *>(Doc.Items(I))) {
      if (S->Buff.find("first") != std::string::npos) First = S;
      if (S->Buff.find("item") != std::string::npos) Item = S;
    }
  ASSERT_TRUE(First && Item);
  int Y1 = First->Lines[0].DrawY + 2 - Pane.Position();
  int Y2 = Item->Lines[0].DrawY + 2 - Pane.Position();
  Pane.PaintPanel()->OnMouseDown(mbLeft, 0, 0, Y1);
  Pane.PaintPanel()->OnMouseMove(ssLeft, 300, Y2);
  Pane.PaintPanel()->OnMouseUp(mbLeft, 0, 300, Y2);
  // Dragged forwards: the caret stands at the end, and the length counts negative.
  EXPECT_GT(Doc.SelE - Doc.SelB, 0);
  EXPECT_EQ(Pane.SelectionLength(), Doc.SelB - Doc.SelE);
  // The list line copies three spaces per 35 px of indent and ends with a line end.
  EXPECT_EQ(Pane.SelectedText(), "first words here\r\n\r\n   item\r\n");
  Pane.CopyToClipboard();
  EXPECT_EQ(Clipboard().AsText(), "first words here\r\n\r\n   item\r\n");
}

} // namespace

TEST_F(PaneFixture, APageAtItsTopStaysThereThroughAResize) {
  Pane.LoadFromFile(WritePage("long5.htm", LongPage(80)));
  ASSERT_EQ(Pane.Position(), 0);
  // The first section starts below the top margin; its encoded 0 must still mean the top.
  ASSERT_GT(Pane.Document().Items(0)->YValue, 0);
  Pane.resize(380, 280);
  QApplication::processEvents();
  EXPECT_EQ(Pane.Position(), 0);
  Pane.RestoreEncodedPosition(0);
  EXPECT_EQ(Pane.Position(), 0);
}

TEST_F(PaneFixture, EachFrameOfAnAnimatedPictureUpdatesOnlyItsRectangle) {
  uint32_t Now = 1000;
  TGIFImage::Clock = [&] { return Now; };
  Pane.resize(330, 500);
  Pane.LoadFromFile(WritePage("anim.htm", "<p>Words before the picture.</p><p><img src=\"" +
                                              imgtest::ImagePath("gif_loop3.gif") +
                                              "\" width=220 height=150></p>" + LongPage(10)));
  Pane.LayoutAndPaint();
  TPaintPanel *Panel = Pane.PaintPanel();
  PumpUntil([&] { return !Panel->PaintPending() && Panel->DrawnRect().isEmpty(); });
  for (int I = 0; I < 3; ++I) QApplication::processEvents();
  ASSERT_EQ(Pane.Document().AnimList.size(), 1u);
  const TRect L = Pane.Document().AnimList[0]->Gif->LastDrawnRect();
  const QRect Picture(L.Left, L.Top, L.Right - L.Left, L.Bottom - L.Top);
  ASSERT_EQ(Picture.size(), QSize(220, 150));
  TPaintRegions Regions(Panel);
  int Frames = 0;
  // The document's timer stepped by hand, with a clock that makes every tick due.
  for (int Tick = 0; Tick < 6; ++Tick) {
    Now += 1000;
    Pane.Document().AnimationTick();
    if (!Panel->PaintPending()) continue; // the first due tick after loading keeps the frame
    ++Frames;
    Panel->PaintNow();
    EXPECT_TRUE(Panel->DrawnRect().isEmpty()) << Tick; // nothing left for a second update
    PumpUntil([&] { return Regions.Seen.size() == size_t(Frames); });
    ASSERT_EQ(Regions.Seen.size(), size_t(Frames));
    EXPECT_EQ(Regions.Seen.back(), QRegion(Picture)) << Tick;
  }
  EXPECT_GE(Frames, 4);
  TGIFImage::Clock = nullptr;
}

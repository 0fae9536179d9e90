// The viewer control: loading, scrolling, keys and wheel, encoded positions, anchors and
// the clipboard.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QImage>
#include <QScrollBar>
#include <fstream>

#include "htmlview/doc_images.h"
#include "htmlview/html_pane.h"
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

// The viewer's links and mouse: following links by their kind, link names to file names,
// visited links, the viewer's own history, pan mode and auto-scroll, word selection,
// right clicks, hover tracking and form submissions.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <fstream>

#include "htmlview/doc_images.h"
#include "htmlview/html_pane.h"
#include "htmlview/image_cache.h"
#include "pane_click.h"
#include "platform/files.h"
#include "platform/qt_bridge.h"

namespace {

// A folder of this test program's own: the tests run as parallel processes.
std::string PagesDir() {
  static QTemporaryDir Dir(QString(VORNELLE_BINARY_DIR) + "/pane_links_XXXXXX");
  return Dir.path().toStdString() + "/";
}

std::string WritePage(const std::string &Name, const std::string &Html) {
  std::string Path = PagesDir() + Name;
  std::ofstream(Path, std::ios::binary) << Html;
  return Path;
}

std::string Filler(int Paragraphs) {
  std::string S;
  for (int I = 0; I < Paragraphs; ++I)
    S += "<p>Filler paragraph " + std::to_string(I) + " with words enough for a line.</p>";
  return S;
}

// The page with one link of each kind and an anchor far down.
std::string LinkPage() {
  return WritePage("page.htm",
                   "<title>Links</title><p><a href=\"page.htm#Part2\">jump</a> "
                   "<a href=\"note.txt\">notes</a> <a href=\"pic.gif\">picture</a> "
                   "<a href=\"other.htm\">other</a> <a href=\"missing.htm\">missing</a></p>" +
                       Filler(40) + "<p><a name=Part2>Part two</a></p>" + Filler(40));
}

void WriteSupportFiles() {
  WritePage("other.htm", "<title>Other</title><p><a href=\"page.htm\">back home</a></p>");
  WritePage("note.txt", "plain notes");
  std::string Gif = PagesDir() + "pic.gif";
  QFile::remove(QString::fromStdString(Gif));
  QFile::copy(QString(VORNELLE_SOURCE_DIR) + "/HTML/images/circle.gif", QString::fromStdString(Gif));
}

// Puts the screen pointer at a point of the paint panel, as the timers read it.
void PointerAt(THtmlPane &Pane, int X, int Y) {
  QCursor::setPos(Pane.PaintPanel()->mapToGlobal(QPoint(X, Y)));
}

struct LinkFixture : ::testing::Test {
  THtmlPane Pane;
  void SetUp() override {
    WriteSupportFiles();
    Pane.resize(400, 300);
    Pane.show();
  }
  void Load(const std::string &Path) {
    Pane.LoadFromFile(Path);
    Pane.LayoutAndPaint();
  }
  void Click(const std::string &Text, TMouseButton Button = mbLeft) {
    QPoint P = TextPoint(Pane, Text);
    ASSERT_GE(P.x(), 0) << Text;
    ClickAt(Pane, P, Button);
  }
};

TEST_F(LinkFixture, LinksAreFollowedByTheirKind) {
  const std::string Page = LinkPage();
  Load(Page);
  const std::string File = Pane.CurrentFile();
  const int Layouts = Pane.LayoutCount();
  // A link to an anchor of the page shown scrolls there without loading.
  Click("jump");
  EXPECT_EQ(Pane.CurrentFile(), File);
  EXPECT_EQ(Pane.LayoutCount(), Layouts);
  EXPECT_EQ(Pane.Position(), Pane.NameList().Find("PART2")->YValue);
  EXPECT_TRUE(Pane.LinkClicked());
  // A text file is no link target.
  Pane.SetPosition(0);
  Click("notes");
  EXPECT_EQ(Pane.CurrentFile(), File);
  EXPECT_EQ(Pane.Position(), 0);
  // A picture is shown alone.
  Click("picture");
  EXPECT_TRUE(SameText(ExtractFileName(Pane.CurrentFile()), "pic.gif"));
  ASSERT_EQ(Pane.Document().ImageList.size(), 1u);
  EXPECT_FALSE(Pane.Document().ImageList[0]->IsError);
  // A page link loads the page.
  Load(Page);
  Click("other");
  EXPECT_EQ(Pane.Title(), "Other");
  EXPECT_FALSE(Pane.MouseIsDown());
}

TEST_F(LinkFixture, AMissingPageKeepsTheTextAndReleasesTheMouse) {
  Load(LinkPage());
  const std::string File = Pane.CurrentFile();
  Click("missing");
  EXPECT_EQ(Pane.CurrentFile(), File);
  EXPECT_FALSE(Pane.MouseIsDown()); // the error did not leave the button held
  // The next click works as ever.
  Click("other");
  EXPECT_EQ(Pane.Title(), "Other");
}

TEST_F(LinkFixture, ASelectionReleasedOnALinkDoesNotFollowIt) {
  Load(LinkPage());
  const std::string File = Pane.CurrentFile();
  QPoint From = TextPoint(Pane, "Filler paragraph 0"), On = TextPoint(Pane, "other");
  TPaintPanel *Panel = Pane.PaintPanel();
  Panel->OnMouseDown(mbLeft, ssLeft, From.x(), From.y());
  Panel->OnMouseMove(ssLeft, On.x(), On.y());
  Panel->OnMouseUp(mbLeft, 0, On.x(), On.y());
  EXPECT_EQ(Pane.CurrentFile(), File);
  EXPECT_NE(Pane.SelectionLength(), 0);
  EXPECT_FALSE(Pane.LinkClicked());
}

TEST(LinkNames, UrlsBecomeFileNames) {
  WriteSupportFiles();
  THtmlPane Pane;
  Pane.LoadFromFile(PagesDir() + "other.htm");
  EXPECT_EQ(Pane.ExpandLinkFileName("file:///C|/docs/a%20b.htm"), "/docs/a b.htm");
  EXPECT_EQ(Pane.ExpandLinkFileName("  file:///C|/docs/a%20b.htm "), "/docs/a b.htm");
  // Escapes are decoded in one pass; one at the very start is not decoded.
  EXPECT_EQ(Pane.ExpandLinkFileName("a%2541b"), PagesDir() + "a%41b");
  EXPECT_EQ(Pane.ExpandLinkFileName("%41BC.htm"), PagesDir() + "%41BC.htm");
  // Names are found whatever their case.
  EXPECT_EQ(Pane.ExpandLinkFileName("OTHER.HTM"), PagesDir() + "other.htm");
  EXPECT_EQ(Pane.ExpandLinkFileName("sub/../Other.htm"), PagesDir() + "other.htm");
  // A name from the root goes below the server root.
  Pane.SetServerRoot("D:\\site\\");
  EXPECT_EQ(Pane.ServerRoot(), "D:\\site");
  EXPECT_EQ(Pane.ExpandLinkFileName("/x.htm"), "/site/x.htm");
  // With the base "DosPath" a relative name stays relative.
  Pane.LoadFromFile(WritePage("dospath.htm", "<base href=\"DosPath\"><p>x</p>"));
  EXPECT_EQ(Pane.ExpandLinkFileName("x.htm"), "x.htm");
  // Another base is a folder prefix.
  Pane.LoadFromFile(WritePage("based.htm", "<base href=\"" + PagesDir() + "\"><p>x</p>"));
  EXPECT_EQ(Pane.ExpandLinkFileName("OTHER.htm"), PagesDir() + "other.htm");
}

TEST_F(LinkFixture, VisitedLinksAreMarkedAfterEachLoad) {
  const std::string Page = LinkPage();
  auto VisitedLinks = [this] {
    std::vector<std::string> V;
    for (TFontObj *F : Pane.Document().LinkList)
      if (F->Visited) V.push_back(F->UrlTarget().Url);
    return V;
  };
  Load(Page);
  Click("other");
  ASSERT_EQ(Pane.Title(), "Other");
  ASSERT_EQ(Pane.Visited().size(), 1u);
  EXPECT_EQ(Pane.Visited()[0], PagesDir() + "other.htm");
  Load(Page);
  EXPECT_EQ(VisitedLinks(), std::vector<std::string>{"other.htm"});
  // An anchor of the page is remembered with the page's name, and its link marked at once.
  Click("jump");
  EXPECT_EQ(Pane.Visited()[0], Pane.CurrentFile() + "#Part2");
  EXPECT_EQ(VisitedLinks(), (std::vector<std::string>{"page.htm#Part2", "other.htm"}));
  // The same name again moves to the front, no twice.
  Pane.RememberVisited(PagesDir() + "other.htm");
  EXPECT_EQ(Pane.Visited().size(), 2u);
  EXPECT_EQ(Pane.Visited()[0], PagesDir() + "other.htm");
  Pane.SetVisitedMaxCount(1);
  EXPECT_EQ(Pane.Visited(), std::vector<std::string>{PagesDir() + "other.htm"});
  // With no room nothing is remembered and nothing marked.
  Pane.SetVisitedMaxCount(0);
  EXPECT_TRUE(VisitedLinks().empty());
  Pane.SetPosition(0);
  Click("other");
  Load(Page);
  EXPECT_TRUE(Pane.Visited().empty());
  EXPECT_TRUE(VisitedLinks().empty());
}

TEST(PaneHistory, KeepsTheNewestPagesUpToItsCount) {
  THtmlPane Pane;
  int Changes = 0;
  Pane.OnHistoryChange = [&Changes](THtmlPane *) { ++Changes; };
  Pane.SetHistoryMaxCount(3);
  for (const char *N : {"p.htm", "q.htm", "r.htm", "s.htm"})
    Pane.LoadFromFile(WritePage(N, std::string("<title>") + N + "</title>" + Filler(3)));
  const std::string D = PagesDir();
  EXPECT_EQ(Pane.History(), (std::vector<std::string>{D + "s.htm", D + "r.htm", D + "q.htm"}));
  EXPECT_EQ(Pane.TitleHistory(), (std::vector<std::string>{"s.htm", "r.htm", "q.htm"}));
  EXPECT_EQ(Pane.HistoryIndex(), 0);
  EXPECT_EQ(Changes, 4);
  // The same page again is no new entry.
  Pane.LoadFromFile(D + "s.htm");
  EXPECT_EQ(Pane.History().size(), 3u);
  EXPECT_EQ(Changes, 4);
  // Lowering the count clears it.
  Pane.SetHistoryMaxCount(2);
  EXPECT_TRUE(Pane.History().empty());
  EXPECT_EQ(Changes, 5);
}

TEST_F(LinkFixture, AnAnchorLinkRecordsThePlaceLeft) {
  Pane.SetHistoryMaxCount(10);
  Load(LinkPage());
  ASSERT_EQ(Pane.History().size(), 1u);
  Click("jump");
  ASSERT_EQ(Pane.History().size(), 2u);
  EXPECT_EQ(Pane.History()[0], Pane.CurrentFile());
  EXPECT_EQ(Pane.PositionHistory()[0].Pos, Pane.EncodedPosition());
  EXPECT_EQ(Pane.PositionHistory()[1].Pos, 0); // the top, where the click was
}

TEST_F(LinkFixture, PanModeScrollsByTheDistanceFromItsStart) {
  Load(WritePage("pan.htm", Filler(200)));
  TPaintPanel *Panel = Pane.PaintPanel();
  const int Start = 100;
  Panel->OnMouseDown(mbMiddle, ssMiddle, 50, Start);
  Panel->OnMouseUp(mbMiddle, 0, 50, Start);
  ASSERT_TRUE(Pane.PanMode()); // a middle click switches it on
  // Within 20 pixels of the start nothing runs.
  Panel->OnMouseMove(0, 50, Start + 20);
  EXPECT_FALSE(Pane.AutoScrolling());
  Panel->OnMouseMove(0, 50, Start + 21);
  EXPECT_TRUE(Pane.AutoScrolling());
  struct Case { int D, Move; };
  for (Case C : {Case{21, 8}, Case{61, 32}, Case{-21, -8}, Case{-61, -32}}) {
    Pane.SetPosition(1000);
    PointerAt(Pane, 50, Start + C.D);
    ASSERT_EQ(Pane.PaintPanel()->mapFromGlobal(QCursor::pos()).y(), Start + C.D);
    Pane.AutoScrollStep();
    EXPECT_EQ(Pane.Position(), 1000 + C.Move) << "d = " << C.D;
    EXPECT_EQ(Pane.PanelCursor(), C.Move < 0 ? crUpOnly : crDownOnly);
  }
  // Back within 20 pixels the scrolling stops, pan mode stays.
  PointerAt(Pane, 50, Start + 20);
  Pane.AutoScrollStep();
  EXPECT_EQ(Pane.Position(), 1000 - 32);
  EXPECT_FALSE(Pane.AutoScrolling());
  EXPECT_TRUE(Pane.PanMode());
  EXPECT_EQ(Pane.PanelCursor(), crUpDown);
  // A press ends it; so does a release away from the start, and a key.
  Panel->OnMouseDown(mbLeft, ssLeft, 50, 50);
  EXPECT_FALSE(Pane.PanMode());
  Panel->OnMouseUp(mbLeft, 0, 50, 50);
  Panel->OnMouseDown(mbMiddle, ssMiddle, 50, Start);
  Panel->OnMouseUp(mbMiddle, 0, 50, Start + 3);
  EXPECT_FALSE(Pane.PanMode());
  Panel->OnMouseDown(mbMiddle, ssMiddle, 50, Start);
  Panel->OnMouseUp(mbMiddle, 0, 50, Start);
  const int Before = Pane.Position();
  Pane.KeyDown(VK_DOWN, 0);
  EXPECT_FALSE(Pane.PanMode());
  EXPECT_EQ(Pane.Position(), Before); // the key only ended the mode
}

TEST_F(LinkFixture, ASelectionDraggedPastAnEdgeScrolls) {
  // A line wider than the pane: the horizontal bar shows below the panel.
  Load(WritePage("autoscroll.htm", "<pre>" + std::string(300, 'w') + "</pre>" + Filler(200)));
  TPaintPanel *Panel = Pane.PaintPanel();
  const int H = Pane.height();
  ASSERT_LT(Pane.VisibleHeight() + 10, H);
  Panel->OnMouseDown(mbLeft, ssLeft, 20, 40);
  // Over the horizontal bar, still inside the control, it only selects.
  Panel->OnMouseMove(ssLeft, 20, Pane.VisibleHeight() + 5);
  EXPECT_FALSE(Pane.AutoScrolling());
  Panel->OnMouseMove(ssLeft, 20, H + 1);
  EXPECT_TRUE(Pane.AutoScrolling());
  struct Case { int Y, Move; };
  for (Case C : {Case{-16, -128}, Case{0, -16}, Case{H + 1, 16}, Case{H + 16, 128}}) {
    Pane.SetPosition(1000);
    PointerAt(Pane, 20, C.Y);
    Pane.AutoScrollStep();
    EXPECT_EQ(Pane.Position(), 1000 + C.Move) << "Y = " << C.Y;
  }
  // The selection follows the text scrolled in.
  EXPECT_GT(Pane.Document().SelE, Pane.Document().SelB);
  // Back inside the panel the scrolling stops.
  PointerAt(Pane, 20, H / 2);
  Pane.AutoScrollStep();
  EXPECT_FALSE(Pane.AutoScrolling());
  // Scrolling stops at the ends of the document.
  Panel->OnMouseMove(ssLeft, 20, -40);
  PointerAt(Pane, 20, -40);
  Pane.SetPosition(50);
  Pane.AutoScrollStep();
  EXPECT_EQ(Pane.Position(), 0);
  Panel->OnMouseUp(mbLeft, 0, 20, -40);
  EXPECT_FALSE(Pane.AutoScrolling());
  EXPECT_FALSE(Pane.MouseIsDown());
}

TEST_F(LinkFixture, ALoadDuringADragEndsIt) {
  const std::string Other = PagesDir() + "other.htm";
  Load(WritePage("dragload.htm", Filler(200)));
  TPaintPanel *Panel = Pane.PaintPanel();
  Panel->OnMouseDown(mbLeft, ssLeft, 20, 40);
  Panel->OnMouseMove(ssLeft, 20, Pane.VisibleHeight() + 30);
  ASSERT_TRUE(Pane.AutoScrolling());
  Pane.LoadFromFile(Other);
  EXPECT_FALSE(Pane.AutoScrolling());
  EXPECT_FALSE(Pane.MouseIsDown());
  // The rest of the drag finds nothing of the old page.
  PointerAt(Pane, 20, Pane.VisibleHeight() + 30);
  Pane.AutoScrollStep();
  Panel->OnMouseMove(ssLeft, 20, 10);
  Panel->OnMouseUp(mbLeft, 0, 20, 10);
  EXPECT_EQ(Pane.CurrentFile(), Other);
  EXPECT_EQ(Pane.SelectionLength(), 0);
}

TEST(PaneLifetime, ClosingWhilePanningIsClean) {
  WriteSupportFiles();
  auto *Pane = new THtmlPane;
  Pane->resize(300, 200);
  Pane->show();
  Pane->LoadFromFile(WritePage("closing.htm", Filler(100)));
  Pane->LayoutAndPaint();
  Pane->PaintPanel()->OnMouseDown(mbMiddle, ssMiddle, 20, 50);
  Pane->PaintPanel()->OnMouseUp(mbMiddle, 0, 20, 50);
  Pane->PaintPanel()->OnMouseMove(0, 20, 150);
  PointerAt(*Pane, 20, 150);
  ASSERT_TRUE(Pane->AutoScrolling());
  delete Pane;
  QElapsedTimer T;
  T.start();
  while (T.elapsed() < 250) QApplication::processEvents(QEventLoop::AllEvents, 50);
  SUCCEED(); // the sanitizer build checks that no step ran on the freed pane
}

TEST_F(LinkFixture, TheAutoScrollTimerScrollsFromTheEventLoop) {
  Load(WritePage("timer.htm", Filler(200)));
  TPaintPanel *Panel = Pane.PaintPanel();
  Panel->OnMouseDown(mbMiddle, ssMiddle, 20, 100);
  Panel->OnMouseUp(mbMiddle, 0, 20, 100);
  PointerAt(Pane, 20, 130);
  Panel->OnMouseMove(0, 20, 130);
  QElapsedTimer T;
  T.start();
  while (T.elapsed() < 30000 && Pane.Position() < 16)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_GE(Pane.Position(), 16); // 8 pixels a step, a step each 100 ms
  EXPECT_EQ(Pane.Position() % 8, 0);
  Pane.KeyDown(VK_ESCAPE, 0);
  EXPECT_FALSE(Pane.AutoScrolling());
}

TEST_F(LinkFixture, ADoubleClickSelectsAWord) {
  // 0xF6 is o-umlaut in the page's code page: a word character.
  Load(WritePage("word.htm", "<p>The Schr\xF6" "dinger's cat, x2y and 'end'</p>" + Filler(2) +
                                 "<p><a href=\"other.htm\">away</a></p>"));
  std::vector<std::string> Doubles;
  Pane.OnMouseDouble = [&Doubles](THtmlPane *, TMouseButton, TShiftState, int X, int) {
    Doubles.push_back(std::to_string(X));
  };
  QPoint P = TextPoint(Pane, "dinger");
  Pane.PaintPanel()->OnMouseDown(mbLeft, ssLeft | ssDouble, P.x(), P.y());
  Pane.DocDoubleClick(0, P.x(), P.y());
  EXPECT_EQ(Pane.SelectedText(), "Schr\xF6" "dinger");
  EXPECT_EQ(Doubles.size(), 1u);
  // The release that ends the double click keeps the word.
  Pane.PaintPanel()->OnMouseUp(mbLeft, 0, P.x(), P.y());
  EXPECT_EQ(Pane.SelectedText(), "Schr\xF6" "dinger");
  std::string Word;
  int First = 0, Last = 0;
  ASSERT_TRUE(Pane.WordAtPoint(TextPoint(Pane, "x2y").x(), P.y(), Word, First, Last));
  EXPECT_EQ(Word, "x2y");
  EXPECT_EQ(Last - First, 2);
  // Right after a followed link the double click does nothing.
  Click("away");

  ASSERT_EQ(Pane.Title(), "Other");
  Pane.DocDoubleClick(0, 10, 10);
  EXPECT_EQ(Doubles.size(), 1u);
  EXPECT_EQ(Pane.SelectionLength(), 0);
}

TEST_F(LinkFixture, ARightClickReportsWhatIsUnderTheMouse) {
  Load(WritePage("right.htm", "<p>Look <a href=\"other.htm\">here <img src=\"pic.gif\"></a> "
                              "now</p>"));
  std::vector<TRightClickParameters> Calls;
  Pane.OnRightClick = [&Calls](THtmlPane *, TRightClickParameters &P) { Calls.push_back(P); };
  ASSERT_EQ(Pane.Document().ImageList.size(), 1u);
  TImageObj *Img = Pane.Document().ImageList[0];
  ASSERT_TRUE(Img->Drawn);
  ClickAt(Pane, QPoint(Img->DrawX + 5, Img->DrawY - Pane.Position() + 7), mbRight);
  ASSERT_EQ(Calls.size(), 1u);
  EXPECT_EQ(Calls[0].Image, Img);
  EXPECT_EQ(Calls[0].ImageX, 5);
  EXPECT_EQ(Calls[0].ImageY, 7);
  EXPECT_EQ(Calls[0].URL, "other.htm");
  EXPECT_EQ(Calls[0].ClickWord, "");
  Click("now", mbRight);
  ASSERT_EQ(Calls.size(), 2u);
  EXPECT_EQ(Calls[1].Image, nullptr);
  EXPECT_EQ(Calls[1].URL, "");
  EXPECT_EQ(Calls[1].ClickWord, "now");
  Click("here", mbRight);
  EXPECT_EQ(Calls[2].URL, "other.htm");
  EXPECT_EQ(Calls[2].ClickWord, "here");
  EXPECT_EQ(Pane.Title(), ""); // a right click follows nothing
}

TEST_F(LinkFixture, HoverTracksTheLinkUnderThePointer) {
  Load(LinkPage());
  std::vector<std::string> Covered;
  Pane.OnHotSpotCovered = [&Covered](THtmlPane *, const std::string &S) { Covered.push_back(S); };
  QPoint P = TextPoint(Pane, "other");
  Pane.PaintPanel()->OnMouseMove(0, P.x(), P.y());
  EXPECT_EQ(Pane.URL(), "other.htm");
  EXPECT_TRUE(Pane.HoverTracking());
  EXPECT_EQ(Pane.PanelCursor(), crHtmlLink);
  // The same link again reports nothing new.
  Pane.PaintPanel()->OnMouseMove(0, P.x() + 1, P.y());
  EXPECT_EQ(Covered, std::vector<std::string>{"other.htm"});
  // The pointer left the pane: the timer clears the hot spot.
  QCursor::setPos(Pane.mapToGlobal(QPoint(-300, -300)));
  Pane.HoverCheck();
  EXPECT_EQ(Pane.URL(), "");
  EXPECT_FALSE(Pane.HoverTracking());
  EXPECT_EQ(Covered, (std::vector<std::string>{"other.htm", ""}));
}

TEST_F(LinkFixture, MouseMovesReachTheHostOutsidePanMode) {
  Load(LinkPage());
  std::vector<std::string> Moves;
  Pane.OnMouseMoveEvent = [&](THtmlPane *Sender, TShiftState Shift, int X, int Y) {
    EXPECT_EQ(Sender, &Pane);
    Moves.push_back(std::to_string(X) + "," + std::to_string(Y) +
                    ((Shift & ssLeft) ? " left" : ""));
  };
  TPaintPanel *Panel = Pane.PaintPanel();
  const QPoint P = TextPoint(Pane, "other");
  Panel->OnMouseMove(0, P.x(), P.y());
  EXPECT_EQ(Pane.URL(), "other.htm"); // the pane's own handling goes on after the host's
  Panel->OnMouseMove(ssLeft, 30, 40);
  // In pan mode the moves only steer the scrolling.
  Panel->OnMouseDown(mbMiddle, ssMiddle, 50, 60);
  Panel->OnMouseUp(mbMiddle, 0, 50, 60);
  ASSERT_TRUE(Pane.PanMode());
  Panel->OnMouseMove(0, 50, 70);
  EXPECT_EQ(Moves, (std::vector<std::string>{std::to_string(P.x()) + "," + std::to_string(P.y()),
                                             "30,40 left"}));
}

TEST_F(LinkFixture, DragsOverThePaneAskTheHost) {
  Load(LinkPage());
  TPaintPanel *Panel = Pane.PaintPanel();
  QMimeData Data;
  Data.setText("dragged");
  auto Send = [&](QEvent::Type Type, QPoint At) {
    std::unique_ptr<QDropEvent> E;
    if (Type == QEvent::DragEnter)
      E = std::make_unique<QDragEnterEvent>(At, Qt::CopyAction, &Data, Qt::LeftButton,
                                            Qt::NoModifier);
    else if (Type == QEvent::DragMove)
      E = std::make_unique<QDragMoveEvent>(At, Qt::CopyAction, &Data, Qt::LeftButton,
                                           Qt::NoModifier);
    else
      E = std::make_unique<QDropEvent>(QPointF(At), Qt::CopyAction, &Data, Qt::LeftButton,
                                       Qt::NoModifier);
    E->setAccepted(false);
    QApplication::sendEvent(Panel, E.get());
    return E->isAccepted();
  };
  // Without a handler the pane takes no drop.
  EXPECT_FALSE(Send(QEvent::DragEnter, QPoint(10, 10)));
  std::vector<std::string> Over, Dropped;
  Pane.OnDragOver = [&](THtmlPane *Sender, QObject *, int X, int Y, TDragState State,
                        bool &Accept) {
    EXPECT_EQ(Sender, &Pane);
    EXPECT_TRUE(Accept); // yes unless the handler says no
    Over.push_back(std::to_string(State) + "@" + std::to_string(X) + "," + std::to_string(Y));
    Accept = Y < 100; // only the top of the pane takes it
  };
  Pane.OnDragDrop = [&](THtmlPane *Sender, QObject *, int X, int Y) {
    EXPECT_EQ(Sender, &Pane);
    Dropped.push_back(std::to_string(X) + "," + std::to_string(Y));
  };
  EXPECT_TRUE(Send(QEvent::DragEnter, QPoint(10, 10)));
  EXPECT_TRUE(Send(QEvent::DragMove, QPoint(20, 50)));
  EXPECT_FALSE(Send(QEvent::DragMove, QPoint(20, 150)));
  QDragLeaveEvent Leave;
  QApplication::sendEvent(Panel, &Leave);
  // The next drag is let go where the host refuses it: no drop.
  Send(QEvent::DragEnter, QPoint(20, 150));
  Send(QEvent::Drop, QPoint(20, 150));
  EXPECT_TRUE(Dropped.empty());
  // And one let go where it accepts.
  EXPECT_TRUE(Send(QEvent::DragEnter, QPoint(25, 60)));
  EXPECT_TRUE(Send(QEvent::Drop, QPoint(25, 60)));
  EXPECT_EQ(Over, (std::vector<std::string>{"0@10,10", "2@20,50", "2@20,150", "1@20,150",
                                            "0@20,150", "0@25,60"}));
  EXPECT_EQ(Dropped, std::vector<std::string>{"25,60"});
}

TEST(PaneForms, SubmissionsAreDeliveredAfterTheClickEachWithItsOwnStrings) {
  THtmlPane Pane;
  std::vector<std::string> Got;
  Pane.SubmitForm("ignored", "", "", "GET", {"a=1"}); // nobody listens: not kept
  EXPECT_EQ(Pane.PendingSubmissions(), 0);
  Pane.OnFormSubmit = [&Got](THtmlPane *, const std::string &Action, const std::string &Target,
                             const std::string &, const std::string &Method,
                             const std::vector<std::string> &Results) {
    Got.push_back(Action + "|" + Target + "|" + Method + "|" + Results.at(0));
  };
  {
    std::string Action = "first.htm";
    std::vector<std::string> Results{"x=1"};
    Pane.SubmitForm(Action, "_top", "", "GET", Results);
    Action = "changed";
    Results[0] = "changed";
  }
  Pane.SubmitForm("second.htm", "", "", "POST", {"y=2"});
  EXPECT_TRUE(Got.empty()); // not inside the click
  EXPECT_EQ(Pane.PendingSubmissions(), 2);
  QApplication::processEvents();
  EXPECT_EQ(Got, (std::vector<std::string>{"first.htm|_top|GET|x=1", "second.htm||POST|y=2"}));
  // A pane gone before delivery delivers nothing.
  bool Delivered = false;
  auto *Gone = new THtmlPane;
  Gone->OnFormSubmit = [&Delivered](THtmlPane *, const std::string &, const std::string &,
                                    const std::string &, const std::string &,
                                    const std::vector<std::string> &) { Delivered = true; };
  Gone->SubmitForm("late.htm", "", "", "GET", {"z=3"});
  delete Gone;
  QApplication::processEvents();
  EXPECT_FALSE(Delivered);
}

TEST(PaneForms, AControlEnteredOutOfSightIsScrolledIntoView) {
  THtmlPane Pane;
  Pane.resize(300, 200);
  Pane.LoadFromFile(WritePage("controls.htm", Filler(100)));
  Pane.SetPosition(100);
  Pane.ControlEntered(150); // in sight
  EXPECT_EQ(Pane.Position(), 100);
  Pane.ControlEntered(100 + 200 - 19); // within 20 pixels of the bottom
  EXPECT_EQ(Pane.Position(), 100 + 200 - 19 - 100);
  Pane.ControlEntered(900);
  EXPECT_EQ(Pane.Position(), 800);
}

} // namespace

TEST(PaneCursors, APaneHasTheViewersOwnLinkAndPanCursors) {
  THtmlPane Pane;
  for (TCursor Id : {crHtmlLink, crUpDown, crUpOnly, crDownOnly}) {
    const QCursor C = ToQCursor(Id);
    EXPECT_EQ(C.shape(), Qt::BitmapCursor) << Id;
    EXPECT_FALSE(C.pixmap().isNull()) << Id;
  }
  EXPECT_EQ(ToQCursor(crHtmlLink).hotSpot(), QPoint(9, 1));
  EXPECT_EQ(ToQCursor(crUpDown).hotSpot(), QPoint(15, 15));
}

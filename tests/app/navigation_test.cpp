// Text-pane navigation of the main window: the history with its back and forward
// buttons, links that switch the topic, presets from other topics, and the right-click
// picture menu.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>

#include "app/topic_table.h"
#include "htmlview/doc_images.h"
#include "main_window_fixture.h"
#include "pane_click.h"
#include "platform/clipboard.h"
#include "platform/files.h"

namespace {

// Records what the window tells the field page.
class TPresetPage : public TTopicPage {
public:
  explicit TPresetPage(TPageHost &H) : TTopicPage(H) {}
  std::vector<std::string> Calls;
  bool HasPreset(const std::string &Name) const override {
    return Name == "DIPOLE" || Name == "dipole" || Name == "NP2";
  }
  void Shown() override { Calls.push_back("shown"); }
  bool ApplyPreset(const std::string &Name) override {
    Calls.push_back("preset " + Name);
    return true;
  }
};

std::string Filler(int Paragraphs) {
  std::string S;
  for (int I = 0; I < Paragraphs; ++I)
    S += "<p>Filler paragraph " + std::to_string(I) + " with words enough for a line.</p>";
  return S;
}

// Clicks the link of the pane whose text is Text, as the mouse would.
void FollowLink(THtmlPane &V, const std::string &Text) {
  V.LayoutAndPaint();
  QPoint P = TextPoint(V, Text);
  ASSERT_GE(P.x(), 0) << Text;
  ClickAt(V, P);
}

} // namespace

TEST(JumpManager, ALinkDropsThePagesAheadOfTheOneLeft) {
  TJumpManager H;
  H.Home = "/P/HTML/INDEX.HTM";
  const std::string I = "/P/HTML/Index.htm", E = "/P/HTML/E.htm", M = "/P/HTML/M.htm",
                    Hx = "/P/HTML/H.htm", A = "/P/HTML/A.htm";
  auto Names = [&H] {
    std::vector<std::string> N;
    for (int K = 0; K < H.Count(); ++K) N.push_back(H.Jump(K).Name);
    return N;
  };
  H.Current = 3; // what an earlier history left
  H.Clear();     // a topic change
  H.AddJump(I, 0, TJumpRoad::Menu);
  EXPECT_EQ(Names(), std::vector<std::string>{I});
  EXPECT_EQ(H.Current, 0);
  EXPECT_FALSE(H.CanBack()); // the topic's page was not reached from the index by a link
  H.AddJump(E, 40); // E -> M
  EXPECT_EQ(Names(), (std::vector<std::string>{I, E}));
  EXPECT_EQ(H.Current, 1);
  H.AddJump(M, 0); // M -> H
  EXPECT_EQ(H.Current, 2);
  H.AddJump(Hx, 0, TJumpRoad::Back); // back from H
  EXPECT_EQ(Names(), (std::vector<std::string>{I, E, M, Hx}));
  EXPECT_EQ(H.Current, 3);
  TJumpRec J = H.Back();
  EXPECT_EQ(J.Name, M);
  EXPECT_EQ(H.Current, 2);
  H.AddJump(M, 0, TJumpRoad::Back); // back from M keeps H ahead
  J = H.Back();
  EXPECT_EQ(J.Name, E);
  EXPECT_EQ(J.Position, 40); // where E was left
  EXPECT_EQ(H.Current, 1);
  J = H.Forward();
  EXPECT_EQ(J.Name, M);
  EXPECT_EQ(H.Current, 2);
  EXPECT_TRUE(H.CanForward());
  H.AddJump(M, 0); // M -> A: H is no longer ahead
  EXPECT_EQ(Names(), (std::vector<std::string>{I, E, M}));
  EXPECT_EQ(H.Current, 2);
  EXPECT_FALSE(H.CanForward());
  H.AddJump(A, 0, TJumpRoad::Back); // back from A
  EXPECT_EQ(H.Back().Name, M);      // in first-visit order this was H
  H.AddJump(M, 0, TJumpRoad::Back);
  EXPECT_EQ(H.Back().Name, E);
  H.AddJump(E, 0, TJumpRoad::Back);
  EXPECT_EQ(H.Back().Name, I);
  EXPECT_EQ(H.Count(), 0); // home again
  EXPECT_FALSE(H.CanBack());
  // One link from the index: "back" returns to it.
  H.AddJump(I, 0);
  EXPECT_EQ(H.Current, 0);
  EXPECT_TRUE(H.CanBack());
  H.AddJump(E, 0, TJumpRoad::Back);
  EXPECT_EQ(H.Back().Name, I);
  EXPECT_FALSE(H.CanBack());
}

TEST_F(MainWindowTest, LinksClickedInTheTextPaneKeepTheWayBack) {
  MakeProgramFolder();
  WriteFile("HTML/Index.htm", "<title>Vornelle index</title><p><a href=\"EFIELD.HTM\">fields</a></p>");
  WriteFile("HTML/EFIELD.HTM", "<title>E</title><p><a href=\"mfield.htm\">magnets</a></p>" + Filler(60));
  WriteFile("HTML/MFIELD.HTM", "<title>M</title><p><a href=\"HELIX.HTM\">helix</a> "
                               "<a href=\"ALPHA.HTM\">alpha</a></p>" + Filler(60));
  WriteFile("HTML/HELIX.HTM", "<title>H</title><p>helix text</p>");
  WriteFile("HTML/ALPHA.HTM", "<title>A</title><p>alpha text</p>");
  TFieldFrm &F = MakeWindow();
  F.show();
  Pump();
  THtmlPane &V = *F.Viewer;
  auto Follow = [&V](const std::string &Text) { FollowLink(V, Text); };
  auto Page = [&V] { return ExtractFileName(V.CurrentFile()); };
  // A topic link on the index page switches the sheet and the caption.
  Follow("fields");
  EXPECT_EQ(Page(), "EFIELD.HTM");
  EXPECT_EQ(F.CurrentTopic, 2);
  EXPECT_EQ(F.ActiveSheet(), TSheet::Field);
  EXPECT_EQ(F.windowTitle().toStdString(), "Vornelle - Electric field plotting");
  F.ElectricFieldItem->trigger(); // the topic change restarts the history
  EXPECT_EQ(F.History.Count(), 1);
  EXPECT_EQ(F.History.Current, 0);
  V.SetPosition(40);
  V.SetPosition(0);
  Follow("magnets");
  EXPECT_EQ(Page(), "MFIELD.HTM");
  EXPECT_EQ(F.CurrentTopic, 4);
  EXPECT_EQ(F.History.Count(), 2);
  EXPECT_EQ(F.History.Current, 1);
  Follow("helix");
  EXPECT_EQ(F.CurrentTopic, 7);
  EXPECT_EQ(F.History.Current, 2);
  F.BackBtn->Click();
  EXPECT_EQ(Page(), "MFIELD.HTM");
  EXPECT_EQ(F.History.Count(), 4);
  EXPECT_EQ(F.History.Current, 2);
  EXPECT_EQ(F.CurrentTopic, 4);
  F.BackBtn->Click();
  EXPECT_EQ(Page(), "EFIELD.HTM");
  EXPECT_EQ(F.History.Current, 1);
  EXPECT_EQ(F.CurrentTopic, 2);
  F.FwdBtn->Click();
  EXPECT_EQ(Page(), "MFIELD.HTM");
  EXPECT_EQ(F.History.Current, 2);
  EXPECT_TRUE(F.FwdBtn->isEnabled()); // the helix page lies ahead
  Follow("alpha");
  EXPECT_EQ(F.CurrentTopic, 1);
  EXPECT_EQ(F.History.Count(), 3); // the helix page was dropped
  EXPECT_FALSE(F.FwdBtn->isEnabled());
  F.BackBtn->Click();
  EXPECT_EQ(Page(), "MFIELD.HTM");
  // "back" on a page scrolled down only goes to its top.
  V.SetPosition(120);
  F.BackBtn->Click();
  EXPECT_EQ(Page(), "MFIELD.HTM");
  EXPECT_EQ(V.Position(), 0);
  F.BackBtn->Click();
  EXPECT_EQ(Page(), "EFIELD.HTM");
  F.BackBtn->Click();
  EXPECT_EQ(Page(), "Index.htm");
  EXPECT_EQ(F.History.Count(), 0);
  EXPECT_FALSE(F.BackBtn->isEnabled());
  EXPECT_TRUE(F.FwdBtn->isEnabled() == F.History.CanForward());
  // "index" clears the history.
  Follow("fields");
  ASSERT_EQ(F.History.Count(), 1);
  F.IndexBtnClick();
  EXPECT_EQ(F.History.Count(), 0);
  EXPECT_FALSE(F.BackBtn->isEnabled());
  EXPECT_FALSE(F.FwdBtn->isEnabled());
}

TEST_F(MainWindowTest, BackAfterIndexAndOneLinkReturnsToThePageTheLinkWasOn) {
  MakeProgramFolder();
  WriteFile("HTML/Index.htm",
            "<title>Vornelle index</title><p><a href=\"EFIELD.HTM\">fields</a></p>");
  WriteFile("HTML/EFIELD.HTM", "<title>E</title><p><a href=\"Index.htm\">contents</a> "
                               "<a href=\"mfield.htm\">magnets</a></p>" +
                                   Filler(60));
  TFieldFrm &F = MakeWindow();
  F.show();
  Pump();
  THtmlPane &V = *F.Viewer;
  auto Follow = [&V](const std::string &Text) { FollowLink(V, Text); };
  auto Page = [&V] { return ExtractFileName(V.CurrentFile()); };
  auto BackEnabled = [&F] {
    bool Done = false;
    F.AppIdle(Done);
    return F.BackBtn->isEnabled();
  };
  // "index", then one link: "back" returns to the index.
  F.MagneticFieldsItem->trigger();
  F.IndexBtnClick();
  EXPECT_FALSE(BackEnabled());
  Follow("fields");
  ASSERT_EQ(Page(), "EFIELD.HTM");
  EXPECT_TRUE(F.BackBtn->isEnabled());
  EXPECT_TRUE(BackEnabled());
  F.BackBtn->Click();
  EXPECT_EQ(Page(), "Index.htm");
  EXPECT_EQ(F.CurrentTopic, 2); // the index belongs to no topic: the sheet stays
  EXPECT_FALSE(BackEnabled());
  // The same from the start-up page, which shows the index too.
  Follow("fields");
  EXPECT_TRUE(BackEnabled());
  // After a Topics-menu change the history holds the index; a link to the index and one
  // from it leave "back" returning to the index, and from there no further.
  F.ElectricFieldItem->trigger();
  EXPECT_FALSE(BackEnabled()); // nothing was left by a link yet
  Follow("contents");
  ASSERT_EQ(Page(), "Index.htm");
  EXPECT_TRUE(BackEnabled());
  Follow("fields");
  ASSERT_EQ(Page(), "EFIELD.HTM");
  EXPECT_TRUE(BackEnabled());
  F.BackBtn->Click();
  EXPECT_EQ(Page(), "Index.htm");
  EXPECT_FALSE(BackEnabled());
  EXPECT_FALSE(F.FwdBtn->isEnabled());
}

TEST_F(MainWindowTest, ALinkToAMissingPageLeavesTopicAndHistory) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.ElectricFieldItem->trigger();
  QFile::remove(QString::fromStdString(Dir + "HTML/HELIX.HTM"));
  bool Handled = true;
  F.ViewerHotSpotClick("HELIX.HTM#top", Handled);
  EXPECT_FALSE(Handled); // the pane reports the missing file
  EXPECT_EQ(F.History.Count(), 1);
  EXPECT_FALSE(F.BackBtn->isEnabled());
  EXPECT_EQ(F.CurrentTopic, 2);
  EXPECT_EQ(F.ActiveSheet(), TSheet::Field);
  // An anchor of the page shown is there: the page is recorded as any link leaves it.
  F.ViewerHotSpotClick("#top", Handled);
  EXPECT_EQ(F.History.Count(), 2);
  EXPECT_EQ(F.History.Current, 1);
  EXPECT_TRUE(F.LinkTargetExists("mfield.htm"));
  EXPECT_FALSE(F.LinkTargetExists("nothing.htm#a"));
}

TEST_F(MainWindowTest, APresetFromAnotherTopicShowsTheFieldTopicFirst) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  auto Page = std::make_unique<TPresetPage>(F);
  TPresetPage &P = *Page;
  F.InstallPage(std::move(Page), {TSheet::Field, TSheet::ThreeD});
  F.ThomsonItem->trigger();
  const std::string Before = F.windowTitle().toStdString();
  bool Handled = false;
  F.ViewerHotSpotClick("\xA3" "Nosuch", Handled);
  EXPECT_TRUE(Handled);
  EXPECT_TRUE(P.Calls.empty()); // an unknown name does nothing
  EXPECT_EQ(F.windowTitle().toStdString(), Before);
  F.ViewerHotSpotClick("\xA3" "dipole", Handled);
  EXPECT_EQ(P.Calls, (std::vector<std::string>{"shown", "preset dipole"}));
  EXPECT_EQ(F.CurrentTopic, 2);
  EXPECT_EQ(F.windowTitle().toStdString(), "Vornelle - Electric field plotting");
  EXPECT_EQ(F.StatusBar->PanelWidth(0), TopicInfo(2).Panel0Width);
  // On the field topic it only plots.
  F.ViewerHotSpotClick("\xA3" "NP2", Handled);
  EXPECT_EQ(P.Calls.back(), "preset NP2");
  EXPECT_EQ(P.Calls.size(), 3u);
}

TEST_F(MainWindowTest, ARightClickOnAPictureCopiesIt) {
  MakeProgramFolder();
  CopySourceFile("HTML/images/circle.gif", "HTML/images/circle.gif");
  WriteFile("HTML/pic.htm", "<title>P</title><p>Words <img src=\"images/circle.gif\"> here</p>");
  TFieldFrm &F = MakeWindow();
  F.show();
  Pump();
  THtmlPane &V = *F.Viewer;
  F.LoadViewerPage(Dir + "HTML/pic.htm");
  V.LayoutAndPaint();
  ASSERT_EQ(V.Document().ImageList.size(), 1u);
  TImageObj *Img = V.Document().ImageList[0];
  ASSERT_TRUE(Img->Drawn);
  const QSize Size(Img->GetBitmap()->Width(), Img->GetBitmap()->Height());
  ClickAt(V, QPoint(Img->DrawX + 3, Img->DrawY - V.Position() + 3), mbRight);
  ASSERT_TRUE(F.RightClickImage);
  EXPECT_TRUE(F.CopyImage1->isEnabled());
  EXPECT_EQ(F.CopyImage1->text().toStdString(), "Copy picture to clipboard");
  EXPECT_TRUE(F.PicPopUp->isVisible());
  F.PicPopUp->close();
  // The page that held the picture goes; the copy taken at the click stays.
  F.LoadViewerPage(Dir + "HTML/Index.htm");
  Clipboard().Clear();
  F.CopyImage1->trigger();
  ASSERT_TRUE(Clipboard().HasPicture());
  QImage Copied = QImage::fromData(QByteArray::fromStdString(Clipboard().DataOf("image/png")));
  EXPECT_EQ(Copied.size(), Size);
  // A right click on text has no picture to copy.
  F.LoadViewerPage(Dir + "HTML/pic.htm");
  V.LayoutAndPaint();
  ClickAt(V, TextPoint(V, "Words"), mbRight);
  EXPECT_FALSE(F.RightClickImage);
  EXPECT_FALSE(F.CopyImage1->isEnabled());
  EXPECT_FALSE(F.PicPopUp->isVisible());
}

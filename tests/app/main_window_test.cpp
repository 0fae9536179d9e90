// The main window driven as a user would: start-up layout, topics, menus, F1, closing.
#include <QAction>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>

#include "app/forms/about_frm.h"
#include "app/forms/big_pic_frm.h"
#include "app/forms/help_frm.h"
#include "app/forms/splash_frm.h"
#include "app/pages/coil_page.h"
#include "app/pages/field_page.h"
#include "htmlview/html_pane.h"
#include "main_window_fixture.h"
#include "platform/bitmap.h"
#include "platform/clipboard.h"
#include "platform/files.h"
#include "widgets/kit_gif.h"

namespace {

// Records what the window tells a page controller.
class TRecordingPage : public TTopicPage {
public:
  explicit TRecordingPage(TPageHost &H) : TTopicPage(H) {}
  std::vector<std::string> Calls;
  bool LastIdle = false;
  void UpdateIdleState(bool Idle) override { LastIdle = Idle; Calls.push_back(Idle ? "idle" : "busy"); }
  void FormShown() override { Calls.push_back("formshown"); }
  void Shown() override { Calls.push_back("shown"); }
  void Hidden() override { Calls.push_back(std::string("hidden") + (AbortFlag ? "+abort" : "")); }
  bool ApplyPreset(const std::string &Name) override { Calls.push_back("preset " + Name); return true; }
  bool HasPreset(const std::string &) const override { return true; }
  void CopyPicture() override { Calls.push_back("copy"); }
  void PrintPicture() override { Calls.push_back("print"); }
  void CopyGraph() override { Calls.push_back("copygraph"); }
  void PrintGraph() override { Calls.push_back("printgraph"); }
  bool UsesMenu(TSharedMenu M, TSheet) const override { return M != TSharedMenu::Speed || Speed; }
  void MenuPopup(TSharedMenu M) override {
    if (M != TSharedMenu::Speed) return;
    Host.MenuItem(TMenuItem::DoubleRotation)->setEnabled(true);
    Host.MenuItem(TMenuItem::DoubleRotation)->setChecked(Double);
  }
  void MenuClick(TMenuItem I) override {
    if (I == TMenuItem::DoubleRotation) Double = !Double;
    Calls.push_back("item " + std::to_string(int(I)));
  }
  bool Speed = false, Double = false;
};

void PressF1(QWidget *W) {
  QKeyEvent Press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
  QApplication::sendEvent(W, &Press);
}

} // namespace

TEST_F(MainWindowTest, StartsCentredWithTheCollageAndTheIndexPage) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  EXPECT_EQ(F.windowTitle().toStdString(), "Vornelle");
  // 800 x 600 centred on the 1024 x 768 screen: (512 - 400, 384 - 300).
  EXPECT_EQ(F.geometry(), QRect(112, 84, 800, 600));
  EXPECT_EQ(ScreenMode, 2);
  EXPECT_EQ(F.MainPCWidth(), 420);
  EXPECT_EQ(F.ActiveSheet(), TSheet::Splash);
  EXPECT_EQ(F.CurrentTopic, 0);
  EXPECT_FALSE(F.FwdBtn->isEnabled());
  EXPECT_FALSE(F.BackBtn->isEnabled());
  EXPECT_FALSE(F.IndexBtn->isEnabled());
  EXPECT_TRUE(SameText(F.Viewer->CurrentFile(), Dir + "HTML/Index.htm"));
  EXPECT_EQ(F.Viewer->Title(), "Vornelle index");
  EXPECT_TRUE(Asked.empty());
  auto *FieldPage = dynamic_cast<TFieldPage *>(F.PageOfSheet(TSheet::Field));
  ASSERT_TRUE(FieldPage);
  EXPECT_EQ(F.PageOfSheet(TSheet::ThreeD), FieldPage);
  EXPECT_TRUE(FieldPage->FieldPlot->ShowGrid);
  EXPECT_EQ(FieldPage->FieldPlot->GridSize, 16);
  EXPECT_EQ(F.Timer1.Interval(), 100);
  EXPECT_FALSE(F.Timer1.Enabled());
  EXPECT_TRUE(NoPalette);
  EXPECT_EQ(F.StatusBar->PanelWidth(0), 50);
  // The 800-pixel collage, decoded through libjpeg: 400 x 500, its title band dark blue.
  ASSERT_FALSE(F.CollagePic->pixmap().isNull());
  QImage C = F.CollagePic->pixmap().toImage();
  EXPECT_EQ(C.size(), QSize(400, 500));
  QColor Band = C.pixelColor(200, 8);
  EXPECT_NEAR(Band.red(), 0x1c, 12);
  EXPECT_NEAR(Band.green(), 0x3c, 12);
  EXPECT_NEAR(Band.blue(), 0x78, 12);
  // Shown: the collage is centred on its sheet, and the idle pass keeps "index" disabled
  // on the index page.
  F.show();
  Pump();
  EXPECT_EQ(F.CollagePic->x(), (F.SplashTab->width() - 400) / 2);
  EXPECT_EQ(F.CollagePic->y(), (F.SplashTab->height() - 500) / 2);
  bool Done = false;
  F.AppIdle(Done);
  EXPECT_TRUE(Done);
  EXPECT_FALSE(F.IndexBtn->isEnabled());
  EXPECT_FALSE(F.BackBtn->isEnabled());
}

TEST_F(MainWindowTest, EveryTopicsItemShowsItsSheetCaptionAndWidths) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  ASSERT_EQ(F.TopicItems.size(), 17u);
  for (size_t I = 0; I < F.TopicItems.size(); ++I) {
    QAction *A = F.TopicItems[I];
    const int Topic = TopicMenuOrder[I];
    const TTopicInfo &T = TopicInfo(Topic);
    EXPECT_EQ(A->text().toStdString(), T.MenuCaption);
    AbortFlag = false; // as if a loop ran: the change must stop it
    A->trigger();
    EXPECT_TRUE(AbortFlag) << Topic;
    EXPECT_EQ(F.CurrentTopic, Topic);
    EXPECT_EQ(F.ActiveSheet(), T.Sheet) << Topic;
    EXPECT_EQ(F.MainPC->currentWidget(), F.Sheet(T.Sheet));
    EXPECT_EQ(F.windowTitle().toStdString(), std::string("Vornelle - ") + T.Caption);
    EXPECT_EQ(F.MainPCWidth(), InitPageWidths(450)[size_t(PageWidthIndex(T.Sheet))]) << Topic;
    EXPECT_EQ(F.StatusBar->PanelWidth(0), T.Panel0Width) << Topic;
    EXPECT_TRUE(SameText(ExtractFileName(F.Viewer->CurrentFile()), T.Page)) << Topic;
    // After a menu change the history holds the index page only.
    EXPECT_EQ(F.History.Count(), 1);
    EXPECT_FALSE(F.History.CanBack());
  }
  EXPECT_TRUE(Asked.empty());
  // The collage was released on the first change.
  EXPECT_FALSE(F.SplashShown);
  EXPECT_TRUE(F.CollagePic->pixmap().isNull());
  // Spot checks of the table against the window itself.
  F.PlanetaryOrbits2Item->trigger();
  EXPECT_EQ(F.MainPC->currentWidget(), F.BinOrbitTab);
  EXPECT_EQ(F.windowTitle(), "Vornelle - Planetary orbits (1)");
  EXPECT_EQ(F.MainPCWidth(), 455);
  F.MagneticDeflection1Item->trigger();
  EXPECT_EQ(F.MainPCWidth(), 473);
  F.ElectricFieldItem->trigger();
  EXPECT_EQ(F.StatusBar->PanelWidth(0), 100);
  // The page control really is that wide on screen, the text pane beside it.
  F.show();
  Pump();
  EXPECT_EQ(F.MainPC->width(), 450);
  EXPECT_EQ(F.ViewerPanel->x(), F.MainPC->x() + 450 + 6);
  EXPECT_TRUE(F.grab().save(QString(VORNELLE_BINARY_DIR) + "/app_field_topic.png"));
}

TEST_F(MainWindowTest, TheTopicsMenuTicksTheCurrentTopic) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.Topics1Click();
  for (QAction *A : F.TopicItems) EXPECT_FALSE(A->isChecked()); // start-up page: none
  F.DynamoItem->trigger();
  F.ElectricFieldItem->setChecked(true); // a stale tick is cleared
  emit F.Topics1->aboutToShow();
  for (QAction *A : F.TopicItems) EXPECT_EQ(A->isChecked(), A == F.DynamoItem) << A->text().toStdString();
}

TEST_F(MainWindowTest, F1OpensTheHelpContextOfTheTopic) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  PressF1(F.Viewer);
  ASSERT_NE(F.HelpWindow(), nullptr);
  EXPECT_EQ(F.HelpWindow()->CurrentContext(), 3000);
  EXPECT_TRUE(SameText(F.HelpWindow()->CurrentFile(), Dir + "Help/3000.htm"));
  EXPECT_TRUE(SameText(F.HelpWindow()->Pane->CurrentFile(), Dir + "Help/3000.htm"));
  EXPECT_EQ(F.HelpWindow()->Pane->Title(), "Starting Vornelle");
  F.ElectricFieldItem->trigger();
  PressF1(F.FieldTab);
  EXPECT_EQ(F.HelpWindow()->CurrentContext(), 1700);
  // The 3-D view is shown inside the field topic, which stays current.
  F.MainPC->setCurrentWidget(F.ThreeDTab);
  PressF1(&F);
  EXPECT_EQ(F.HelpWindow()->CurrentContext(), 1700);
  // A context with no page opens the contents.
  F.DCMotorItem->trigger();
  PressF1(&F);
  EXPECT_EQ(F.HelpWindow()->CurrentContext(), 0);
  EXPECT_TRUE(SameText(F.HelpWindow()->CurrentFile(), Dir + "Help/contents.htm"));
  F.HelpWindow()->close();
}

TEST_F(MainWindowTest, HelpSearchesThePageTitles) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.SearchForHelpOn1->trigger();
  ASSERT_NE(F.HelpWindow(), nullptr);
  THelpFrm &H = *F.HelpWindow();
  EXPECT_EQ(H.Pages().size(), 4u);
  auto Found = H.Search("FIELD");
  ASSERT_EQ(Found.size(), 2u);
  // Sorted by title.
  EXPECT_EQ(Found[0].Title, "Magnetic field of a coil");
  EXPECT_EQ(Found[1].Title, "The electric field page");
  EXPECT_TRUE(H.Search("quark").empty());
  H.SearchEdit->setText("start");
  ASSERT_EQ(H.List->count(), 1);
  EXPECT_EQ(H.List->item(0)->text(), "Starting Vornelle");
  // Enter in the field opens the first match, or the one chosen in the list.
  auto PressEnter = [&] {
    QKeyEvent Press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(H.SearchEdit, &Press);
  };
  PressEnter();
  EXPECT_TRUE(SameText(H.CurrentFile(), Dir + "Help/3000.htm"));
  EXPECT_EQ(H.Pane->Title(), "Starting Vornelle");
  H.SearchEdit->setText("field");
  ASSERT_EQ(H.List->count(), 2);
  H.List->setCurrentRow(1);
  PressEnter();
  EXPECT_TRUE(SameText(H.CurrentFile(), Dir + "Help/1700.htm"));
  H.SearchEdit->setText("quark");
  PressEnter(); // no match: the page stays
  EXPECT_TRUE(SameText(H.CurrentFile(), Dir + "Help/1700.htm"));
  F.Contents1->trigger();
  EXPECT_TRUE(SameText(H.CurrentFile(), Dir + "Help/contents.htm"));
  H.close();
}

TEST_F(MainWindowTest, MenusFollowTheActiveSheet) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  bool Done;
  // Each page says which shared menus its sheets use; the start-up sheet uses none.
  for (TSheet Sh : {TSheet::Splash, TSheet::Field, TSheet::ThreeD, TSheet::Projectile}) {
    F.MainPC->setCurrentIndex(int(Sh));
    F.AppIdle(Done);
    EXPECT_EQ(F.Field1->menuAction()->isVisible(), Sh == TSheet::Field || Sh == TSheet::ThreeD) << int(Sh);
    EXPECT_EQ(F.Graph1->menuAction()->isVisible(), Sh == TSheet::Projectile) << int(Sh);
    EXPECT_FALSE(F.Speed1->menuAction()->isEnabled()) << int(Sh);
  }
  // "index" is enabled away from the index page, and disabled again by it.
  F.OilDropItem->trigger();
  F.AppIdle(Done);
  EXPECT_TRUE(F.IndexBtn->isEnabled());
  F.IndexBtnClick();
  F.AppIdle(Done);
  EXPECT_FALSE(F.IndexBtn->isEnabled());
  EXPECT_EQ(F.ActiveSheet(), TSheet::Millikan); // the topic page stays as it is
}

TEST_F(MainWindowTest, MenuCaptionsAsWritten) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  std::vector<std::string> Menus;
  for (QAction *A : F.menuBar()->actions()) Menus.push_back(A->text().toStdString());
  EXPECT_EQ(Menus, (std::vector<std::string>{"&File", "&Topics", "F&ield", "&Graph", "&View",
                                             "&Speed", "&Help"}));
  auto Items = [](QMenu *M) {
    std::vector<std::string> T;
    for (QAction *A : M->actions()) T.push_back(A->isSeparator() ? "-" : A->text().toStdString());
    return T;
  };
  EXPECT_EQ(Items(F.File1), (std::vector<std::string>{"Print  topic..", "-", "Exit"}));
  EXPECT_EQ(Items(F.Field1),
            (std::vector<std::string>{"Contour resolution", "Show arrows", "Delete field lines",
                                      "Delete contours", "Reverse current", "-", "Copy", "Print.."}));
  EXPECT_EQ(Items(F.ContourResolution1), (std::vector<std::string>{"low", "medium", "high"}));
  EXPECT_EQ(F.ContourHigh1->data().toInt(), 30);
  EXPECT_EQ(Items(F.Graph1), (std::vector<std::string>{"Copy to clipboard", "Print"}));
  EXPECT_EQ(Items(F.TextBackground1),
            (std::vector<std::string>{"white", "pale yellow", "blue/gray", "sand"}));
  EXPECT_EQ(Items(F.Speed1), (std::vector<std::string>{"Set animation speed", "Double rotation"}));
  EXPECT_EQ(Items(F.Help1), (std::vector<std::string>{"Search for help on", "Contents", "-", "About"}));
  EXPECT_EQ(Items(F.FontPopUp), (std::vector<std::string>{"8 point", "10 point", "12 point", "14 point"}));
  EXPECT_EQ(F.FontBtn->Hint(), "font size|Set font size");
}

TEST_F(MainWindowTest, AnsweringNoKeepsTheWindowOpenButStopsTheLoop) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.show();
  Pump();
  AbortFlag = false;
  Answers = {mrNo};
  EXPECT_FALSE(F.close());
  EXPECT_TRUE(F.isVisible());
  EXPECT_TRUE(AbortFlag);
  ASSERT_EQ(Asked.size(), 1u); // no clipboard question after No
  EXPECT_EQ(Asked[0].Text, "Exit program?");
  EXPECT_EQ(Asked[0].Type, mtConfirmation);
}

TEST_F(MainWindowTest, ClosingWithAPictureOnTheClipboardAsksWhetherToKeepIt) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.show();
  Pump();
  Clipboard().Assign(TBitmap(4, 4));
  ASSERT_TRUE(Clipboard().HasPicture());
  bool Closed = false;
  F.OnClosed = [&] { Closed = true; };
  Answers = {mrYes, mrNo};
  EXPECT_TRUE(F.close());
  EXPECT_TRUE(Closed);
  ASSERT_EQ(Asked.size(), 2u);
  EXPECT_EQ(Asked[1].Text,
            "The clipboard contains a picture.\rDo you want to leave this for other applications?");
  EXPECT_FALSE(Clipboard().HasPicture());
}

TEST_F(MainWindowTest, ClosingDuringALoopWaitsUntilTheLoopHasReturned) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.show();
  Pump();
  bool Closed = false;
  F.OnClosed = [&] { Closed = true; };
  Answers = {mrYes};
  {
    TLoopGuard Loop;
    AbortFlag = false;
    F.close(); // as the close box does from inside the loop's message pump
    Application->ProcessMessages();
    EXPECT_TRUE(AbortFlag);     // the loop is told to stop
    EXPECT_TRUE(F.isVisible()); // but the window stays until it has
    EXPECT_FALSE(Closed);
    EXPECT_TRUE(F.CloseConfirmed());
  }
  Pump();
  EXPECT_TRUE(Closed);
  EXPECT_FALSE(F.isVisible());
  EXPECT_EQ(Asked.size(), 1u); // the question is not asked twice
}

TEST_F(MainWindowTest, AMissingIndexPageIsReportedAndStartUpFinishes) {
  MakeProgramFolder(false);
  TFieldFrm &F = MakeWindow();
  ASSERT_EQ(Asked.size(), 1u);
  EXPECT_EQ(Asked[0].Text.rfind("Can't locate file: ", 0), 0u);
  EXPECT_EQ(Asked[0].Type, mtError);
  // Everything after the page load still happened.
  EXPECT_TRUE(F.PageOfSheet(TSheet::Field));
  EXPECT_TRUE(bool(Application->OnIdle));
  EXPECT_EQ(F.Timer1.Interval(), 100);
  EXPECT_FALSE(F.CollagePic->pixmap().isNull());
  EXPECT_EQ(F.Viewer->CurrentFile(), "");
  // A missing topic page is reported the same way and the topic still changes.
  QFile::remove(QString::fromStdString(Dir + "HTML/LENZ.HTM"));
  F.InductionItem->trigger();
  EXPECT_EQ(F.ActiveSheet(), TSheet::Lenz);
  EXPECT_EQ(Asked.size(), 2u);
}

TEST_F(MainWindowTest, ATopicPageThatCannotBeReadLeavesABlankPaneNotTheLastTopicsText) {
  MakeProgramFolder();
  // As root a page's permissions do not stop reading it: a folder of its name does.
  QFile::remove(QString::fromStdString(Dir + "HTML/EFIELD.HTM"));
  QDir().mkpath(QString::fromStdString(Dir + "HTML/EFIELD.HTM"));
  TFieldFrm &F = MakeWindow();
  // The pane's whole text.
  auto PaneText = [&] {
    F.Viewer->SelectAll();
    return F.Viewer->SelectedText();
  };
  F.MagneticFieldsItem->trigger();
  ASSERT_FALSE(PaneText().empty());
  ASSERT_TRUE(Asked.empty());
  std::vector<std::string> TextWhileAsked;
  SetMessageDlgHook([&](const std::string &Text, TMsgDlgType Type, TMsgDlgButtons) {
    Asked.push_back({Text, Type});
    TextWhileAsked.push_back(PaneText());
    return mrOk;
  });
  F.ElectricFieldItem->trigger();
  EXPECT_EQ(F.ActiveSheet(), TSheet::Field);
  ASSERT_EQ(Asked.size(), 1u);
  EXPECT_EQ(Asked[0].Text, "Can't read file: " + Dir + "HTML/EFIELD.HTM");
  EXPECT_EQ(Asked[0].Type, mtError);
  // Blank while the message shows and after it, holding no file to reload.
  EXPECT_EQ(TextWhileAsked, std::vector<std::string>{""});
  EXPECT_EQ(PaneText(), "");
  EXPECT_EQ(F.Viewer->CurrentFile(), "");
  F.Viewer->Reload();
  EXPECT_EQ(PaneText(), "");
}

TEST_F(MainWindowTest, AnHtmlFolderThatCannotBeReadIsReportedAsSuch) {
  MakeProgramFolder();
  // The folder's place taken by a file: as root, the one way to make it unreadable.
  QDir(QString::fromStdString(Dir + "HTML")).removeRecursively();
  WriteFile("HTML", "not a folder");
  MakeWindow();
  ASSERT_EQ(Asked.size(), 1u);
  EXPECT_EQ(Asked[0].Text, "Can't read folder: " + Dir + "HTML");
}

TEST_F(MainWindowTest, ASmallScreenGivesTheCompactMaximisedLayout) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow({640, 480, 0, 0, 640, 450});
  EXPECT_EQ(ScreenMode, 1);
  EXPECT_TRUE(F.windowState() & Qt::WindowMaximized);
  EXPECT_EQ(F.MainPCWidth(), 320);
  ASSERT_FALSE(F.CollagePic->pixmap().isNull());
  EXPECT_EQ(F.CollagePic->pixmap().size(), QSize(300, 390)); // the 640 collage
}

TEST_F(MainWindowTest, ANarrowWorkAreaIsTakenWhole) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow({800, 600, 0, 0, 800, 570});
  EXPECT_EQ(ScreenMode, 2);
  EXPECT_FALSE(F.windowState() & Qt::WindowMaximized);
  EXPECT_EQ(F.geometry(), QRect(0, 0, 800, 570));
  EXPECT_EQ(F.MainPCWidth(), 420);
}

TEST_F(MainWindowTest, EachSheetKeepsTheWidthTheSplitterGaveIt) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  // The splash page never changes the table.
  F.SetMainPCWidth(300);
  F.Splitter1Moved();
  EXPECT_EQ(F.PageWidths, InitPageWidths(450));
  F.PlanetaryOrbits1Item->trigger();
  F.SetMainPCWidth(333);
  F.Splitter1Moved();
  F.ProjectileItem->trigger();
  EXPECT_EQ(F.MainPCWidth(), 480);
  F.PlanetaryOrbits1Item->trigger();
  EXPECT_EQ(F.MainPCWidth(), 333);
  // Stored under OrbitTab's own entry (8), not under its sheet index (9, ProjectileTab).
  EXPECT_EQ(F.PageWidths[8], 333);
  EXPECT_EQ(F.PageWidths[9], 480);
}

TEST_F(MainWindowTest, LinksToAnotherTopicSwitchTheSheetAndStopTheClock) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.ElectricDeflectionItem->trigger();
  F.Timer1.SetEnabled(true);
  F.History.AddJump(F.Viewer->CurrentFile(), 0);
  const int Jumps = F.History.Count();
  int Topic = TopicOfPage("helix.htm#start", F.CurrentTopic);
  ASSERT_EQ(Topic, 7);
  F.ShowTopicPage(Topic);
  EXPECT_EQ(F.ActiveSheet(), TSheet::Helix);
  EXPECT_EQ(F.windowTitle(), "Vornelle - Deflection of electrons by a magnetic field (2)");
  EXPECT_FALSE(F.Timer1.Enabled());
  EXPECT_EQ(F.History.Count(), Jumps); // the history is the text pane's business here
  // A menu change leaves the clock alone.
  F.Timer1.SetEnabled(true);
  F.DynamoItem->trigger();
  EXPECT_TRUE(F.Timer1.Enabled());
  F.Timer1.SetEnabled(false);
}

TEST_F(MainWindowTest, PageControllersHearOfIdleTimeTopicChangesAndMenus) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  auto Page = std::make_unique<TRecordingPage>(F);
  TRecordingPage &P = *Page;
  F.InstallPage(std::move(Page), {TSheet::Field, TSheet::ThreeD});
  bool Done;
  F.AppIdle(Done);
  EXPECT_TRUE(P.LastIdle);
  F.Busy = true; // a picture is printing
  F.AppIdle(Done);
  EXPECT_FALSE(P.LastIdle);
  F.Busy = false;
  F.ElectricFieldItem->trigger();
  EXPECT_EQ(P.Calls.back(), "shown");
  F.FieldCopy1->trigger();
  F.FieldPrint1->trigger();
  F.ApplyPreset("DIPOLE");
  AbortFlag = false; // a plot of the page runs
  F.ThomsonItem->trigger();
  EXPECT_EQ(P.Calls, (std::vector<std::string>{"idle", "busy", "shown", "copy", "print",
                                               "preset DIPOLE", "hidden+abort"}));
  // The Graph menu reaches only the page shown.
  auto Graph = std::make_unique<TRecordingPage>(F);
  TRecordingPage &G = *Graph;
  F.InstallPage(std::move(Graph), {TSheet::Projectile});
  F.GraphCopy1->trigger();
  EXPECT_TRUE(G.Calls.empty());
  F.ProjectileItem->trigger();
  F.GraphCopy1->trigger();
  F.GraphPrint1->trigger();
  EXPECT_EQ(G.Calls, (std::vector<std::string>{"shown", "copygraph", "printgraph"}));
  // The shared menus show for what the page shown uses.
  F.AppIdle(Done);
  EXPECT_TRUE(F.Graph1->menuAction()->isVisible());
  EXPECT_FALSE(F.Speed1->menuAction()->isEnabled());
}

TEST_F(MainWindowTest, TheSpeedMenuActsOnThePageShown) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  emit F.Speed1->aboutToShow();
  EXPECT_FALSE(F.DoubleRotation1->isEnabled()); // no page with a double rotation
  auto Page = std::make_unique<TRecordingPage>(F);
  TRecordingPage &P = *Page;
  P.Speed = true;
  F.InstallPage(std::move(Page), {TSheet::Dyna});
  F.DynamoItem->trigger();
  bool Done;
  F.AppIdle(Done);
  EXPECT_TRUE(F.Speed1->menuAction()->isEnabled());
  emit F.Speed1->aboutToShow();
  EXPECT_TRUE(F.DoubleRotation1->isEnabled());
  EXPECT_FALSE(F.DoubleRotation1->isChecked());
  F.DoubleRotation1->trigger();
  EXPECT_TRUE(P.Double);
  emit F.Speed1->aboutToShow();
  EXPECT_TRUE(F.DoubleRotation1->isChecked());
  F.SetAnimationSpeed1->trigger();
  EXPECT_EQ(P.Calls.back(), "item " + std::to_string(int(TMenuItem::SetAnimationSpeed)));
  // Another topic: the menu is off and its items reach nobody.
  F.ThomsonItem->trigger();
  F.AppIdle(Done);
  EXPECT_FALSE(F.Speed1->menuAction()->isEnabled());
  const size_t Before = P.Calls.size();
  F.DoubleRotation1->trigger();
  EXPECT_EQ(P.Calls.size(), Before);
}

TEST_F(MainWindowTest, LinksOfTheTextPaneByTheirKind) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  auto Page = std::make_unique<TRecordingPage>(F);
  TRecordingPage &P = *Page;
  F.InstallPage(std::move(Page), {TSheet::Field, TSheet::ThreeD});
  F.ElectricFieldItem->trigger();
  P.Calls.clear();
  // A pound-sign link applies the preset it names (byte 0xA3, or the same sign as UTF-8).
  bool Handled = false;
  F.ViewerHotSpotClick("\xA3" "DIPOLE", Handled);
  EXPECT_TRUE(Handled);
  Handled = false;
  F.ViewerHotSpotClick("\xC2\xA3" "NP1", Handled);
  EXPECT_TRUE(Handled);
  EXPECT_EQ(P.Calls, (std::vector<std::string>{"preset DIPOLE", "preset NP1"}));
  EXPECT_EQ(F.History.Count(), 1); // presets are no navigation
  // A picture link pops the picture up at its own size.
  QTimer::singleShot(0, [] {
    if (QWidget *W = QApplication::activeModalWidget()) W->close();
  });
  Handled = false;
  F.ViewerHotSpotClick("$FSplash640.jpg", Handled);
  EXPECT_TRUE(Handled);
  EXPECT_EQ(F.LastBigPicSize, QSize(300, 390));
  EXPECT_EQ(F.CurrentTopic, 2);
  // A GIF comes through the GIF picture class registered for its extension.
  RegisterKitGIF();
  QTimer::singleShot(0, [] {
    if (QWidget *W = QApplication::activeModalWidget()) W->close();
  });
  F.ViewerHotSpotClick("$fleming.gif", Handled);
  EXPECT_EQ(F.LastBigPicSize, QSize(260, 220));
  // A missing picture is reported, not shown.
  const size_t Before = Asked.size();
  F.ViewerHotSpotClick("$nothing.gif", Handled);
  EXPECT_EQ(Asked.size(), Before + 1);
  // A page link is recorded and followed by the pane; another topic's page switches topic.
  Handled = true;
  F.ViewerHotSpotClick("helix.htm#top", Handled);
  EXPECT_FALSE(Handled);
  EXPECT_EQ(F.History.Count(), 2);
  EXPECT_TRUE(F.BackBtn->isEnabled());
  EXPECT_EQ(F.CurrentTopic, 7);
  EXPECT_EQ(F.ActiveSheet(), TSheet::Helix);
  EXPECT_EQ(P.Calls.back(), "hidden+abort");
}

// A GIF with a black-and-white table, a screen of SW x SH and a frame of FW x FH at
// (Left, 0) whose data holds one black pixel.
std::string ScreenGif(int SW, int SH, int FW, int FH, int Left = 0) {
  std::string G = "GIF89a";
  for (int V : {SW, SH}) G += {char(V & 0xFF), char(V >> 8)};
  G += std::string("\x80\0\0\0\0\0\xFF\xFF\xFF\x2C", 10);
  for (int V : {Left, 0, FW, FH}) G += {char(V & 0xFF), char(V >> 8)};
  return G + std::string("\0\2\2\x44\x01\0\x3B", 7);
}

TEST_F(MainWindowTest, PicturePopUpsKeepThePanesLimitsAndFitTheWorkArea) {
  MakeProgramFolder();
  WriteFile("HTML/images/screen65535.gif", ScreenGif(65535, 65535, 1, 1));
  WriteFile("HTML/images/screen4096.gif", ScreenGif(4096, 4096, 1, 1));
  WriteFile("HTML/images/black4096.gif", ScreenGif(4096, 4096, 4096, 4096));
  WriteFile("HTML/images/far.gif", ScreenGif(10, 10, 1, 1, 40000));
  WriteFile("HTML/images/noscreen.gif", ScreenGif(0, 0, 1, 1));
  RegisterKitGIF();
  const TScreenGeometry Screen{1280, 1024, 40, 30, 1000, 700};
  TFieldFrm &F = MakeWindow(Screen);
  QRect Shown;
  auto Watch = [&Shown] {
    Shown = QRect();
    QTimer::singleShot(0, [&Shown] {
      if (QWidget *W = QApplication::activeModalWidget()) {
        Shown = W->frameGeometry();
        W->close();
      }
    });
  };
  bool Handled = false;
  // A screen the pane refuses is refused here too, however small its one pixel; so is
  // one that a frame far outside grows past the pane's limit.
  const size_t Before = Asked.size();
  for (const char *Name : {"screen65535.gif", "far.gif"}) {
    const size_t N = Asked.size();
    Watch();
    F.ViewerHotSpotClick(std::string("$") + Name, Handled);
    Pump();
    ASSERT_EQ(Asked.size(), N + 1);
    EXPECT_EQ(Asked.back().Text, std::string("Cannot show the picture ") + Name);
    EXPECT_TRUE(Shown.isNull());
  }
  // One the pane takes, as its frames make the screen, shows its pixel in a window that
  // can be seen.
  for (const char *Name : {"screen4096.gif", "noscreen.gif"}) {
    Watch();
    F.ViewerHotSpotClick(std::string("$") + Name, Handled);
    EXPECT_EQ(F.LastBigPicSize, QSize(1, 1));
    EXPECT_GE(Shown.width(), TBigPicFrm::MinWidth);
    EXPECT_GE(Shown.height(), TBigPicFrm::MinHeight);
  }
  // A picture larger than the work area gets a window that fits it, centred there.
  Watch();
  F.ViewerHotSpotClick("$black4096.gif", Handled);
  EXPECT_EQ(F.LastBigPicSize, QSize(4096, 4096));
  EXPECT_EQ(Shown, QRect(40, 30, 1000, 700));
  EXPECT_EQ(Asked.size(), Before + 2);
}

TEST_F(MainWindowTest, CopyNeedsASelectionOnATopicPage) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.show();
  Pump();
  F.Viewer->SelectAll();
  ASSERT_NE(F.Viewer->SelectionLength(), 0);
  F.ViewerMouseUp();
  EXPECT_FALSE(F.CopyBtn->isEnabled()); // no topic yet
  F.ElectricFieldItem->trigger();
  F.Viewer->SelectAll();
  F.ViewerMouseUp();
  EXPECT_TRUE(F.CopyBtn->isEnabled());
}

TEST_F(MainWindowTest, HelpShowsTheRealFieldPage) {
  MakeProgramFolder();
  QFile::remove(QString::fromStdString(Dir + "Help/1700.htm"));
  CopySourceFile("Help/1700.htm", "Help/1700.htm");
  TFieldFrm &F = MakeWindow();
  F.ElectricFieldItem->trigger();
  uint16_t Key = VK_F1;
  F.FormKeyDown(Key);
  ASSERT_NE(F.HelpWindow(), nullptr);
  QApplication::processEvents();
  EXPECT_EQ(F.HelpWindow()->CurrentContext(), 1700);
  EXPECT_FALSE(F.HelpWindow()->Pane->Title().empty());
  EXPECT_GT(F.HelpWindow()->Pane->DocumentHeight(), 100); // the page is laid out, not just named
  EXPECT_TRUE(F.HelpWindow()->grab().save(QString(VORNELLE_BINARY_DIR) + "/app_help.png"));
  F.HelpWindow()->close();
}

// The field and coil pictures are larger than their boxes: the first time each sheet shows,
// its view is in the middle of the picture, though the window was built showing the index,
// and though the topic was chosen before the window was up.
TEST_F(MainWindowTest, TheFieldAndCoilViewsStartInTheMiddleOfTheirPictures) {
  MakeProgramFolder();
  auto Middle = [](QScrollArea *Box) {
    for (QScrollBar *B : {Box->horizontalScrollBar(), Box->verticalScrollBar()}) {
      ASSERT_GT(B->maximum(), 0);
      EXPECT_EQ(B->value(), B->maximum() / 2);
    }
  };
  for (bool ChosenFirst : {false, true}) {
    SCOPED_TRACE(ChosenFirst ? "chosen before the window shows" : "chosen in the shown window");
    TFieldFrm &F = MakeWindow();
    auto *Field = dynamic_cast<TFieldPage *>(F.PageOfSheet(TSheet::Field));
    auto *Coil = dynamic_cast<TCoilPage *>(F.PageOfSheet(TSheet::Mag));
    ASSERT_TRUE(Field && Coil);
    auto ChooseBoth = [&] {
      F.ElectricFieldItem->trigger();
      Pump();
      Middle(Field->FieldSB);
      F.MagneticFieldsItem->trigger();
      Pump();
      Middle(Coil->MagSB);
    };
    // In the middle from the choice on, and kept there as the window lays the sheet out.
    if (ChosenFirst) ChooseBoth();
    F.show();
    Pump();
    ChooseBoth();
  }
}

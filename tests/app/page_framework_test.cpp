// Pages on a stand-in host (no main window): the page kit, the run protocol and the
// field page driven through its handlers; and, in the main window, what a topic change,
// "index" or the close question during a plot leave behind.
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <gtest/gtest.h>

#include "app/page_kit.h"
#include "app/page_registry.h"
#include "app/pages/field_page.h"
#include "charts/chart.h"
#include "charts/fast_line_series.h"
#include "main_window_fixture.h"
#include "page_test_host.h"
#include "platform/application.h"
#include "platform/paint_box.h"
#include "pump_every_step.h"
#include "sim/shared_constants.h"
#include "widgets/speed_button.h"

namespace {

// A page with one loop: "start" runs it, "stop" stops it, a scroll bar would change its
// model. Its loop counts steps until stopped or until Limit.
class TLoopPage : public TTopicPage {
public:
  explicit TLoopPage(TPageHost &H) : TTopicPage(H) {
    QWidget *C = Content(TSheet::Orbit);
    QWidget *Bar = MakeToolbar(C, "Bar");
    StartBtn = MakeSpeedButton(Bar, "StartBtn", "start", "", "");
    StopBtn = MakeSpeedButton(Bar, "StopBtn", "stop", "", "");
    Model = MakeScrollBar(C, "Model", Qt::Horizontal, 0, 10, 5, "model|changes the model", nullptr);
    StopBtn->SetEnabled(false);
  }
  ~TLoopPage() override { DestroyContent(); }
  void Start() {
    ++Starts;
    Run({{StartBtn, Model}, {StopBtn}}, [this](const TYield &Yield) {
      ++Runs;
      while (Steps < Limit) {
        ++Steps;
        if (OnStep) OnStep(Steps);
        if (!Yield()) break;
      }
      if (Throw) throw std::runtime_error("the model broke");
    });
  }
  void Stop(TStopCause) override {
    if (Running()) RequestStop();
  }
  TKitSpeedButton *StartBtn, *StopBtn;
  QScrollBar *Model;
  int Starts = 0, Runs = 0, Steps = 0, Limit = 1000000;
  bool Throw = false;
  std::function<void(int)> OnStep;
  using TTopicPage::WhenIdle;
};

class PageOnTestHost : public ::testing::Test {
protected:
  void TearDown() override {
    AbortFlag = true;
    SetMessageDlgHook({});
  }
  TTestPageHost Host;
};

} // namespace

TEST_F(PageOnTestHost, ARunDisablesAndRestoresItsControlsHoweverItEnds) {
  TLoopPage P(Host);
  // Ended by its stop button.
  P.OnStep = [&](int Step) {
    EXPECT_FALSE(P.StartBtn->isEnabled());
    EXPECT_FALSE(P.Model->isEnabled());
    EXPECT_TRUE(P.StopBtn->isEnabled());
    EXPECT_TRUE(LoopRunning());
    EXPECT_FALSE(AbortFlag);
    if (Step == 10) P.RequestStop();
  };
  P.Start();
  EXPECT_EQ(P.Steps, 10);
  EXPECT_TRUE(P.StartBtn->isEnabled());
  EXPECT_TRUE(P.Model->isEnabled());
  EXPECT_FALSE(P.StopBtn->isEnabled());
  EXPECT_TRUE(AbortFlag);
  EXPECT_FALSE(LoopRunning());
  EXPECT_FALSE(P.Running());
  // Ended by an exception: the controls come back and the failure is told.
  std::vector<std::string> Told;
  SetMessageDlgHook([&](const std::string &Text, TMsgDlgType, TMsgDlgButtons) {
    Told.push_back(Text);
    return mrOk;
  });
  P.OnStep = nullptr;
  P.Steps = 0;
  P.Limit = 3;
  P.Throw = true;
  P.Start();
  EXPECT_EQ(Told, std::vector<std::string>{"the model broke"});
  EXPECT_TRUE(P.StartBtn->isEnabled());
  EXPECT_FALSE(P.StopBtn->isEnabled());
  EXPECT_FALSE(LoopRunning());
  // A control the page had disabled before the run stays disabled after it.
  P.Throw = false;
  P.Steps = 0;
  P.Model->setEnabled(false);
  P.Start();
  EXPECT_FALSE(P.Model->isEnabled());
}

TEST_F(PageOnTestHost, ASecondStartDuringARunDoesNotNest) {
  TLoopPage P(Host);
  int Depth = 0;
  P.OnStep = [&](int Step) {
    if (Step == 5) {
      P.Start(); // as a click that arrived through the pump
      Depth = Application->LoopDepth();
    }
    if (Step == 20) P.RequestStop();
  };
  P.Start();
  EXPECT_EQ(P.Starts, 2);
  EXPECT_EQ(P.Runs, 1);
  EXPECT_EQ(P.Steps, 20);
  EXPECT_EQ(Depth, 1);
}

TEST_F(PageOnTestHost, AStopQueuedDuringARunReachesItThroughThePump) {
  TLoopPage P(Host);
  P.StopBtn->OnClick = [&] { P.RequestStop(); };
  // Steps far shorter than the pump's interval, so most of its calls are a clock read: a
  // click on "stop" queued in the middle of the run still ends it.
  P.Limit = 500000000;
  int QueuedAt = 0;
  P.OnStep = [&](int Step) {
    if (Step != 1000) return;
    QueuedAt = Step;
    QMetaObject::invokeMethod(
        P.StopBtn, [&P] { P.StopBtn->Click(); }, Qt::QueuedConnection);
  };
  P.Start();
  EXPECT_EQ(QueuedAt, 1000);
  EXPECT_LT(P.Steps, P.Limit);
  EXPECT_TRUE(P.StopRequested());
  EXPECT_TRUE(AbortFlag);
  EXPECT_FALSE(P.Running());
  EXPECT_TRUE(P.StartBtn->isEnabled());
}

TEST_F(PageOnTestHost, AStartWhileALoopUnwindsWaitsForIt) {
  TLoopPage A(Host), B(Host);
  B.Limit = 3;
  int BStepsDuringA = -1;
  A.OnStep = [&](int Step) {
    if (Step == 5) {
      A.RequestStop(); // A is told to stop ...
      B.Start();       // ... and B's start arrives before A has unwound
      BStepsDuringA = B.Steps;
    }
  };
  A.Start();
  EXPECT_EQ(BStepsDuringA, 0);
  EXPECT_EQ(B.Runs, 0);
  // B runs from the event loop once A has returned.
  for (int I = 0; I < 20 && B.Runs == 0; ++I) QCoreApplication::processEvents();
  EXPECT_EQ(B.Runs, 1);
  EXPECT_EQ(B.Steps, 3);
  EXPECT_TRUE(B.StartBtn->isEnabled());
}

TEST_F(PageOnTestHost, WhenIdleWaitsForTheLoopAndNeverOutlivesThePage) {
  auto P = std::make_unique<TLoopPage>(Host);
  int Ran = 0;
  P->OnStep = [&](int Step) {
    if (Step == 3) P->WhenIdle([&] { ++Ran; });
  };
  P->Start();
  EXPECT_EQ(P->Steps, 3); // WhenIdle stopped the loop
  for (int I = 0; I < 20 && Ran == 0; ++I) QCoreApplication::processEvents();
  EXPECT_EQ(Ran, 1);
  // Asked during a loop of a page that goes before the loop has unwound: never runs.
  auto Q = std::make_unique<TLoopPage>(Host);
  Q->OnStep = [&](int Step) {
    if (Step == 2) P->WhenIdle([&] { Ran += 10; });
  };
  Q->Start();
  P.reset();
  for (int I = 0; I < 20; ++I) QCoreApplication::processEvents();
  EXPECT_EQ(Ran, 1);
}

TEST_F(PageOnTestHost, TheFieldPagePlotsOnTheTestHost) {
  TFieldPage P(Host);
  Host.Page = &P;
  Host.PageSheets = {TSheet::Field, TSheet::ThreeD};
  Host.ShowSheet(TSheet::Field, 100);
  // The controls live under the page's content widget on the sheet.
  QWidget *Sheet = Host.Sheets[size_t(TSheet::Field)];
  QWidget *Content = P.ChargePUM->parentWidget();
  ASSERT_TRUE(Content);
  EXPECT_TRUE(Sheet->isAncestorOf(Content));
  EXPECT_TRUE(Content->isAncestorOf(P.FieldPic));
  EXPECT_TRUE(Content->isAncestorOf(P.FPlotBtn));
  // Two unlike charges from the mouse, then "plot E".
  P.FieldPicMouseDown(mbLeft, 17 * 16, 20 * 16);
  P.FieldPicMouseDown(mbRight, 23 * 16, 20 * 16);
  ASSERT_EQ(P.FieldPlot->Charges.size(), 2u);
  P.FieldPicMouseMove(5 * 16 + 3, 7 * 16);
  EXPECT_EQ(Host.StatusText(0), "x:6 y:8");
  // Idle time enables the commands that need charges.
  EXPECT_FALSE(P.FPlotBtn->isEnabled());
  P.UpdateIdleState(true);
  EXPECT_TRUE(P.FPlotBtn->isEnabled());
  P.FPlotBtnClick();
  EXPECT_TRUE(P.FieldPlot->LinesDrawn);
  // Twelve from the +1, and the -1's free slots traced back.
  EXPECT_GE(P.FieldPlot->Lines.size(), 12u);
  EXPECT_TRUE(P.FPlotBtn->isEnabled());
  EXPECT_FALSE(P.FAbortBtn->isEnabled());
  // The Field menu's items through the host.
  P.MenuPopup(TSharedMenu::Field);
  EXPECT_TRUE(Host.MenuItem(TMenuItem::DeleteFieldLines)->isEnabled());
  EXPECT_FALSE(Host.MenuItem(TMenuItem::DeleteContours)->isEnabled());
  EXPECT_FALSE(Host.MenuItem(TMenuItem::ReverseCurrent)->isEnabled());
  P.MenuClick(TMenuItem::DeleteFieldLines);
  EXPECT_FALSE(P.FieldPlot->LinesDrawn);
  // "3D" shows the other sheet of the same page with no read-out; "2D" brings it back.
  P.F3DBtnClick();
  EXPECT_EQ(Host.ActiveSheet(), TSheet::ThreeD);
  EXPECT_EQ(Host.Panel0, 0);
  P.Close3DBtnClick();
  EXPECT_EQ(Host.ActiveSheet(), TSheet::Field);
  EXPECT_EQ(Host.Panel0, 100);
  EXPECT_TRUE(P.UsesMenu(TSharedMenu::Field, TSheet::ThreeD));
  EXPECT_FALSE(P.UsesMenu(TSharedMenu::Graph, TSheet::Field));
  Host.Page = nullptr;
}

TEST_F(PageOnTestHost, TheRegistryHasOneRowPerPageAndNoSheetTwice) {
  std::vector<int> Seen(SheetCount, 0);
  for (const TPageRow &Row : PageRegistry()) {
    EXPECT_FALSE(Row.Sheets.empty());
    for (TSheet S : Row.Sheets) ++Seen[size_t(S)];
    std::unique_ptr<TTopicPage> Page = Row.Create(Host);
    EXPECT_TRUE(Page);
  }
  for (int S = 0; S < SheetCount; ++S) EXPECT_LE(Seen[size_t(S)], 1) << S;
  EXPECT_EQ(Seen[size_t(TSheet::Splash)], 0);
  EXPECT_EQ(Seen[size_t(TSheet::Field)], 1);
  EXPECT_EQ(Seen[size_t(TSheet::ThreeD)], 1);
}

TEST(PageKit, TheToolbarWrapsItsButtonsWhole) {
  QWidget Parent;
  QWidget *Bar = MakeToolbar(&Parent, "Bar");
  std::vector<TKitSpeedButton *> Buttons;
  for (int I = 0; I < 10; ++I)
    Buttons.push_back(MakeSpeedButton(Bar, "B", "b" + std::to_string(I), "", ""));
  // Ten 42-pixel buttons in a bar 200 wide: four to a row, three rows.
  Bar->setGeometry(0, 0, 200, Bar->heightForWidth(200));
  Bar->layout()->setGeometry(Bar->rect());
  EXPECT_EQ(Bar->heightForWidth(200), 2 + 3 * PageButtonHeight + 2 * 1 + 2);
  for (size_t I = 0; I < Buttons.size(); ++I) {
    const QRect R = Buttons[I]->geometry();
    EXPECT_EQ(R.width(), PageButtonWidth) << I;
    EXPECT_LE(R.right(), 199) << I;
    for (size_t J = 0; J < I; ++J) EXPECT_FALSE(R.intersects(Buttons[J]->geometry())) << I << " " << J;
  }
  EXPECT_EQ(Buttons[4]->geometry().topLeft(), QPoint(2, 2 + PageButtonHeight + 1));
}

TEST(PageKit, HintsShowTheShortPartAndSendTheLongPartToTheStatusBar) {
  QWidget W;
  SetHint(&W, "set inital speed|Set the initial speed of the projectile");
  EXPECT_EQ(W.toolTip(), "set inital speed");
  std::string Shown;
  Application->OnHint = [&] { Shown = Application->Hint(); };
  QEvent Enter(QEvent::Enter), Leave(QEvent::Leave);
  QCoreApplication::sendEvent(&W, &Enter);
  EXPECT_EQ(Shown, "set inital speed|Set the initial speed of the projectile");
  EXPECT_EQ(GetLongHint(Shown), "Set the initial speed of the projectile");
  QCoreApplication::sendEvent(&W, &Leave);
  EXPECT_EQ(Shown, "");
  // Greyed under the mouse (a run started), the control's hint goes; another's stays.
  QCoreApplication::sendEvent(&W, &Enter);
  W.setEnabled(false);
  EXPECT_EQ(Shown, "");
  W.setEnabled(true);
  Application->SetHint("stop plotting");
  W.setEnabled(false);
  EXPECT_EQ(Shown, "stop plotting");
  Application->OnHint = nullptr;
  Application->SetHint("");
}

TEST(PageKit, TheSeriesSinkKeepsXAscendingOnTheChartSeries) {
  TChart Chart;
  auto *S = Chart.AddSeries<TFastLineSeries>();
  S->XValues().Order = TChartListOrder::loAscending;
  TChartSeriesSink Sink(*S);
  Sink.AddXY(3, 30);
  Sink.AddXY(1, 10);
  Sink.AddXY(2, 50);
  ASSERT_EQ(Sink.Count(), 3);
  EXPECT_EQ(Sink.XValue(0), 1);
  EXPECT_EQ(Sink.YValue(1), 50);
  EXPECT_EQ(Sink.MaxYValue(), 50);
  Sink.SetYValue(0, 70);
  EXPECT_EQ(S->GetyValue(0), 70);
  Sink.Clear();
  EXPECT_EQ(Sink.Count(), 0);
  EXPECT_EQ(Sink.MaxYValue(), 0);
}

// ---- The run protocol in the main window ----

namespace {
class FieldRunInWindow : public MainWindowTest {
protected:
  TFieldPage *Page = nullptr;
  void SetUp() override {
    MainWindowTest::SetUp();
    MakeProgramFolder();
    MakeWindow();
    Page = dynamic_cast<TFieldPage *>(Form->PageOfSheet(TSheet::Field));
    ASSERT_TRUE(Page);
    Form->show();
    Form->DoTopicChange(Form->ElectricFieldItem);
    Pump();
    Page->FieldPicMouseDown(mbLeft, 17 * 16, 20 * 16);
    Page->FieldPicMouseDown(mbRight, 23 * 16, 20 * 16);
    // The idle time after the clicks, as the event loop gives it.
    bool Done = false;
    Form->AppIdle(Done);
  }
  struct TStates {
    bool Plot, VPlot, Clear, ThreeD, Zoom, Abort;
    bool operator==(const TStates &) const = default;
  };
  TStates States() const {
    return {Page->FPlotBtn->isEnabled(), Page->VplotBtn->isEnabled(), Page->FClearBtn->isEnabled(),
            Page->F3DBtn->isEnabled(),   Page->FZoomBtn->isEnabled(), Page->FAbortBtn->isEnabled()};
  }
  // Plots, doing F from the yield once the first line is stored.
  void PlotWith(std::function<void()> F) {
    TPumpEveryStep EveryStep;
    bool Done = false;
    QObject Context;
    AtEachPump(&Context, [this, F, &Done] {
      if (!Page->Running() || Page->FieldPlot->Lines.empty()) return false;
      Done = true;
      F();
      return true;
    });
    Page->FPlotBtnClick();
    ASSERT_TRUE(Done);
  }
};
} // namespace

TEST_F(FieldRunInWindow, ATopicChangeDuringAPlotLeavesTheControlsAsBefore) {
  const TStates Before = States();
  EXPECT_EQ(Before, (TStates{true, true, true, true, true, false}));
  PlotWith([&] {
    EXPECT_EQ(States(), (TStates{false, false, false, false, false, true}));
    Form->DoTopicChange(Form->ProjectileItem);
  });
  EXPECT_EQ(States(), Before);
  EXPECT_LT(Page->FieldPlot->Lines.size(), 15u);
  EXPECT_EQ(Form->ActiveSheet(), TSheet::Projectile);
  EXPECT_FALSE(LoopRunning());
}

TEST_F(FieldRunInWindow, IndexDuringAPlotLeavesTheControlsAsBefore) {
  const TStates Before = States();
  PlotWith([&] { Form->IndexBtnClick(); });
  EXPECT_EQ(States(), Before);
  EXPECT_TRUE(AbortFlag);
  EXPECT_LT(Page->FieldPlot->Lines.size(), 15u);
}

TEST_F(FieldRunInWindow, TheCloseQuestionAnsweredNoLeavesTheControlsAsBefore) {
  const TStates Before = States();
  Answers = {mrNo};
  PlotWith([&] { Form->close(); });
  ASSERT_EQ(Asked.size(), 1u);
  EXPECT_EQ(Asked[0].Text, "Exit program?");
  EXPECT_TRUE(Form->isVisible());
  EXPECT_EQ(States(), Before);
  // The plot stopped and is not resumed.
  EXPECT_LT(Page->FieldPlot->Lines.size(), 15u);
}

TEST_F(FieldRunInWindow, ASecondPlotDuringAPlotDoesNotNest) {
  Page->FPlotBtnClick();
  const size_t Whole = Page->FieldPlot->Lines.size();
  int Depth = 0;
  size_t LinesAtSecond = 0;
  PlotWith([&] {
    LinesAtSecond = Page->FieldPlot->Lines.size();
    Page->FPlotBtnClick(); // refused: returns at once
    Depth = Application->LoopDepth();
  });
  EXPECT_GE(LinesAtSecond, 1u);
  // The first plot went on to the end: it was not restarted by the second.
  EXPECT_EQ(Page->FieldPlot->Lines.size(), Whole);
  EXPECT_EQ(Depth, 2); // the page's run and the plot's own
  EXPECT_TRUE(Page->FPlotBtn->isEnabled());
}

// The motor, dynamo, induction, force-on-a-conductor and mass spectrometer pages inside
// the main window: controls, the mouse rotation, the animations and how they stop, the
// zoom menu, the speed dialog, and the graphs.
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <cmath>
#include <functional>
#include <tuple>

#include "app/pages/conductor_page.h"
#include "app/pages/induction_page.h"
#include "app/pages/machine_page.h"
#include "app/pages/spectrometer_page.h"
#include "main_window_fixture.h"
#include "paint_events.h"
#include "platform/bitmap.h"
#include "platform/files.h"
#include "platform/paint_box.h"
#include "sim/lenz.h"
#include "sim/machine_scene.h"
#include "sim/three_d.h"
#include "widgets/speed_button.h"

namespace {

class MachinePagesTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    MakeProgramFolder();
    MakeWindow();
    Machine = dynamic_cast<TMachinePage *>(Form->PageOfSheet(TSheet::Motor));
    ASSERT_NE(Machine, nullptr);
    ASSERT_EQ(Form->PageOfSheet(TSheet::Dyna), Machine);
    Bil = dynamic_cast<TConductorPage *>(Form->PageOfSheet(TSheet::BIL));
    Lenz = dynamic_cast<TInductionPage *>(Form->PageOfSheet(TSheet::Lenz));
    MS = dynamic_cast<TSpectrometerPage *>(Form->PageOfSheet(TSheet::MS));
    ASSERT_TRUE(Bil && Lenz && MS);
    Form->show();
    ResetViews();
  }
  void TearDown() override {
    ResetViews();
    MainWindowTest::TearDown();
  }
  static void ResetViews() {
    MotorTilt = DynamoTilt = -15;
    MotorAzimuth = DynamoAzimuth = 30;
    MotorCentreX = MotorCentreY = DynamoCentreX = 200;
    DynamoCentreY = 150;
    SetMotorZoom(10);
    SetDynamoZoom(10);
  }
  void Show(QAction *Item) {
    Form->DoTopicChange(Item);
    Pump();
  }
  // Calls F with each new position of Bar while a loop runs.
  void OnEachValue(QScrollBar *Bar, std::function<void(int)> F) {
    QObject::connect(Bar, &QScrollBar::valueChanged, Form.get(), std::move(F));
  }
  TMachinePage *Machine = nullptr;
  TConductorPage *Bil = nullptr;
  TInductionPage *Lenz = nullptr;
  TSpectrometerPage *MS = nullptr;
};

std::string Text(const QLabel *L) { return L->text().toStdString(); }

// The picture a paint box shows equals the one the engine draws into a bitmap.
bool SamePicture(TPaintBox *Box, const TBitmap &B) {
  for (int Y = 0; Y < B.Height(); Y += 3)
    for (int X = 0; X < B.Width(); X += 3)
      if (Box->Canvas().Pixels(X, Y) != B.Canvas().Pixels(X, Y)) return false;
  return true;
}

// The names in a help page's table of controls that the sheet does not show: a reader looks
// for a control by what is written on the screen, a label (which may go on with a value)
// or a button's caption.
std::vector<std::string> HelpNamesNotShown(const std::string &HelpFile, const QWidget *Sheet) {
  const std::string Html = ReadFileString(std::string(VORNELLE_SOURCE_DIR) + "/Help/" + HelpFile);
  const std::string Row = "<TR><TD VALIGN=top><B>";
  std::vector<std::string> Missing;
  int Names = 0;
  for (size_t At = Html.find(Row); At != std::string::npos; At = Html.find(Row, At + 1)) {
    const size_t From = At + Row.size();
    const std::string Name = Html.substr(From, Html.find("</B>", From) - From);
    ++Names;
    bool Shown = false;
    for (const QLabel *L : Sheet->findChildren<QLabel *>())
      Shown = Shown || (L->isVisibleTo(Sheet) && L->text().toStdString().rfind(Name, 0) == 0);
    for (const TKitSpeedButton *B : Sheet->findChildren<TKitSpeedButton *>())
      Shown = Shown || (B->isVisibleTo(Sheet) && B->Caption() == Name);
    if (!Shown) Missing.push_back(Name);
  }
  if (Names == 0) Missing.push_back("(no table of controls in " + HelpFile + ")");
  return Missing;
}

} // namespace

// ---- Force on a conductor ----

TEST_F(MachinePagesTest, ConductorControlsAndAngleLabel) {
  Show(Form->ConductorForceItem);
  EXPECT_EQ(Form->ActiveSheet(), TSheet::BIL);
  EXPECT_EQ(Text(Bil->BilCurrentLabel), "Current (A)");
  EXPECT_EQ(Bil->BilCurrentHsb->minimum(), 0);
  EXPECT_EQ(Bil->BilCurrentHsb->maximum(), 500);
  EXPECT_EQ(Bil->BilCurrentHsb->value(), 100);
  EXPECT_EQ(Bil->BilRotateHsb->minimum(), -180);
  EXPECT_EQ(Bil->BilRotateHsb->value(), 30);
  EXPECT_EQ(HintOf(Bil->BilCurrentHsb), "set current");
  EXPECT_EQ(HintOf(Bil->BilRotateHsb), "rotate magnet");
  EXPECT_EQ(Bil->BilAngleLabel->text(), QString::fromUtf8("Angle between wire and field 60\u00BA"));
  Bil->BilRotateHsb->setValue(90);
  EXPECT_EQ(Bil->BilAngleLabel->text(), QString::fromUtf8("Angle between wire and field 0\u00BA"));
  Bil->BilRotateHsb->setValue(0);
  EXPECT_EQ(Bil->BilAngleLabel->text(), QString::fromUtf8("Angle between wire and field 90\u00BA"));
  Bil->BilRotateHsb->setValue(180);
  EXPECT_EQ(Bil->BilAngleLabel->text(), QString::fromUtf8("Angle between wire and field 90\u00BA"));
  Bil->BilRotateHsb->setValue(-120);
  EXPECT_EQ(Bil->BilAngleLabel->text(), QString::fromUtf8("Angle between wire and field 30\u00BA"));
  // The picture follows both bars: 5 A puts the rheostat's slider tip at x 100.
  Bil->BilCurrentHsb->setValue(500);
  EXPECT_EQ(Bil->BilPic->Canvas().Pixels(100, 19), clBlack);
  EXPECT_EQ(Bil->BilPic->Canvas().Pixels(200, 27), clWhite);
}

// Pages whose every control carries a label or a caption: their help must use those words.
TEST_F(MachinePagesTest, HelpNamesTheControlsAsTheScreenLabelsThem) {
  for (auto [Item, Sheet, Help] : {std::tuple{Form->ConductorForceItem, TSheet::BIL, "1800.htm"},
                                   {Form->InductionItem, TSheet::Lenz, "3100.htm"},
                                   {Form->MassSpectrometerItem, TSheet::MS, "3200.htm"}}) {
    Show(Item);
    EXPECT_EQ(HelpNamesNotShown(Help, Form->SheetWidget(Sheet)), std::vector<std::string>{})
        << Help;
  }
}

// ---- DC motor ----

TEST_F(MachinePagesTest, MotorControlsAtStart) {
  Show(Form->DCMotorItem);
  EXPECT_EQ(Machine->MotorZoomBtn->Caption(), "zoom");
  EXPECT_EQ(Machine->MotorResetBtn->Caption(), "reset");
  EXPECT_EQ(Machine->MotorResetBtn->Hint(), "reset rotation/pan");
  EXPECT_FALSE(Machine->MotorResetBtn->Enabled());
  EXPECT_EQ(Machine->MotorStartBtn->Caption(), "start");
  EXPECT_TRUE(Machine->MotorStartBtn->Enabled());
  EXPECT_EQ(Machine->MotorStopBtn->Caption(), "stop");
  EXPECT_FALSE(Machine->MotorStopBtn->Enabled());
  EXPECT_EQ(Machine->MotorHsb->maximum(), 360);
  EXPECT_EQ(HintOf(Machine->MotorHsb), "turn motor");
  EXPECT_EQ(HintOf(Machine->MotorPic),
            "Use left mouse button to rotate the view; right mouse button to pan.");
  ASSERT_EQ(Machine->MotorZoomPU->actions().size(), 3);
  EXPECT_EQ(Machine->MotorZoomPU->actions()[1]->text().toStdString(), "150%");
  EXPECT_EQ(ActionTag(Machine->MotorZoomPU->actions()[1]), 15);
  EXPECT_EQ(Machine->KitSpeedButton2->DropDownMenu(), Machine->MotorZoomPU);
  EXPECT_EQ(Machine->MotorZoomBtn->DropDownMenu(), Machine->MotorZoomPU);
  // The Speed menu is enabled on the motor and the dynamo pages only.
  bool Done = false;
  Form->AppIdle(Done);
  EXPECT_TRUE(Form->Speed1->menuAction()->isEnabled());
  Show(Form->ConductorForceItem);
  Form->AppIdle(Done);
  EXPECT_FALSE(Form->Speed1->menuAction()->isEnabled());
}

TEST_F(MachinePagesTest, BareClickKeepsTheViewAndDragsStopAtTheLimit) {
  Show(Form->DCMotorItem);
  for (int Tilt = -85; Tilt <= 85; Tilt += 5)
    for (int Az = -85; Az <= 85; Az += 17) {
      MotorTilt = Tilt;
      MotorAzimuth = Az;
      Machine->MotorPicMouseDown(mbLeft, 100, 120);
      Machine->MotorPicMouseMove(100, 120);
      Machine->MotorPicMouseUp();
      ASSERT_EQ(MotorTilt, Tilt);
      ASSERT_EQ(MotorAzimuth, Az);
    }
  ResetViews();
  Machine->MotorPicMouseDown(mbLeft, 100, 120);
  Machine->MotorPicMouseMove(100, 120);
  EXPECT_EQ(MotorTilt, -15);
  EXPECT_EQ(MotorAzimuth, 30);
  EXPECT_FALSE(Machine->MotorResetBtn->Enabled());
  Machine->MotorPicMouseMove(2000, -2000);
  EXPECT_EQ(MotorAzimuth, 85);
  EXPECT_EQ(MotorTilt, 85);
  EXPECT_TRUE(Machine->MotorResetBtn->Enabled());
  Machine->MotorPicMouseMove(-3000, 3000);
  EXPECT_EQ(MotorAzimuth, -85);
  EXPECT_EQ(MotorTilt, -85);
  Machine->MotorPicMouseUp();
  // A pan with the right button moves the centre; only all four back disable reset.
  Machine->MotorResetBtnClick();
  EXPECT_FALSE(Machine->MotorResetBtn->Enabled());
  Machine->MotorPicMouseDown(mbRight, 50, 50);
  Machine->MotorPicMouseMove(60, 45);
  EXPECT_EQ(MotorCentreX, 210);
  EXPECT_EQ(MotorCentreY, 195);
  EXPECT_TRUE(Machine->MotorResetBtn->Enabled());
  Machine->MotorPicMouseMove(50, 50);
  EXPECT_FALSE(Machine->MotorResetBtn->Enabled());
  Machine->MotorPicMouseUp();
  // The dynamo grabs its tilt over 150 pixels.
  DynamoTilt = -40;
  DynamoAzimuth = 70;
  Machine->DynaPicMouseDown(mbLeft, 10, 10);
  Machine->DynaPicMouseMove(10, 10);
  EXPECT_EQ(DynamoTilt, -40);
  EXPECT_EQ(DynamoAzimuth, 70);
  Machine->DynaPicMouseUp();
}

TEST_F(MachinePagesTest, MotorLoopWrapsToZeroAndPutsItsButtonsBack) {
  Show(Form->DCMotorItem);
  Machine->MotorHsb->setValue(350);
  std::vector<int> Seen;
  OnEachValue(Machine->MotorHsb, [&](int V) {
    Seen.push_back(V);
    EXPECT_FALSE(Machine->MotorStartBtn->Enabled());
    EXPECT_TRUE(Machine->MotorStopBtn->Enabled());
    if (V == 4) Machine->MotorStopBtn->Click();
  });
  Machine->MotorStartBtn->Click(); // returns when the loop has stopped
  EXPECT_EQ(Seen, (std::vector<int>{352, 354, 356, 358, 0, 2, 4}));
  EXPECT_TRUE(Machine->MotorStartBtn->Enabled());
  EXPECT_FALSE(Machine->MotorStopBtn->Enabled());
  EXPECT_TRUE(bool(AbortFlag));
}

TEST_F(MachinePagesTest, EveryWayOfStoppingRestoresTheButtons) {
  struct TCase {
    const char *Name;
    std::function<void()> Stop;
  };
  const TCase Cases[] = {
      {"topic change", [this] { Form->DoTopicChange(Form->ConductorForceItem); }},
      {"index", [this] { Form->IndexBtnClick(); }},
      {"topic link", [this] { Form->ShowTopicPage(14); }},
      {"close answered No", [this] { Form->close(); }},
  };
  for (const TCase &C : Cases) {
    for (bool Dynamo : {false, true}) {
      Show(Dynamo ? Form->DynamoItem : Form->DCMotorItem);
      QScrollBar *Bar = Dynamo ? Machine->DynamoHsb : Machine->MotorHsb;
      TKitSpeedButton *Start = Dynamo ? Machine->DynStartBtn : Machine->MotorStartBtn;
      TKitSpeedButton *Stop = Dynamo ? Machine->DynStopBtn : Machine->MotorStopBtn;
      int Frames = 0;
      auto Conn = QObject::connect(Bar, &QScrollBar::valueChanged, Form.get(), [&](int) {
        if (++Frames == 3) C.Stop();
      });
      Start->Click();
      QObject::disconnect(Conn);
      EXPECT_EQ(Frames, 3) << C.Name;
      EXPECT_TRUE(Start->Enabled()) << C.Name << " " << Dynamo;
      EXPECT_FALSE(Stop->Enabled()) << C.Name << " " << Dynamo;
      EXPECT_TRUE(bool(AbortFlag));
    }
  }
  // The window was asked to close (twice) and stayed open.
  ASSERT_EQ(Asked.size(), 2u);
  EXPECT_EQ(Asked[0].Text, "Exit program?");
}

TEST_F(MachinePagesTest, StartDuringAnUnwindingLoopWaitsForIt) {
  Show(Form->DCMotorItem);
  int Frames = 0, FramesDuringRestart = -1;
  bool NestedRun = false;
  OnEachValue(Machine->MotorHsb, [&](int) {
    ++Frames;
    if (Frames == 2) {
      // Stop, then start again at once: the second run must not nest inside the first.
      Machine->MotorStopBtn->Click();
      const int Before = Frames;
      Machine->MotorStartBtn->Click();
      FramesDuringRestart = Frames - Before;
      NestedRun = Machine->Running() && !bool(AbortFlag);
    }
    if (Frames == 6) Machine->MotorStopBtn->Click();
  });
  Machine->MotorStartBtn->Click();
  EXPECT_EQ(FramesDuringRestart, 0);
  EXPECT_FALSE(NestedRun);
  EXPECT_EQ(Frames, 2);
  // The waiting start runs from the event loop once the first has returned.
  for (int I = 0; I < 100 && Frames < 6; ++I) QCoreApplication::processEvents();
  EXPECT_EQ(Frames, 6);
  EXPECT_FALSE(Machine->Running());
  EXPECT_TRUE(Machine->MotorStartBtn->Enabled());
  EXPECT_FALSE(Machine->MotorStopBtn->Enabled());
}

TEST_F(MachinePagesTest, MotorArrowsOnTheSliderAndZoomMenu) {
  Show(Form->DCMotorItem);
  Machine->MotorHsb->setValue(40);
  Machine->MotorHsb->setValue(30);
  EXPECT_EQ(MotorLastAngle, 30);
  TBitmap B(401, 401);
  MotorLastAngle = 40;
  DrawMotor(B.Canvas(), -15, 30, 30); // arrows to -x, as the page drew them
  EXPECT_TRUE(SamePicture(Machine->MotorPic, B));
  Machine->MotorPicPaint(); // a repaint at the same angle: +x again
  EXPECT_FALSE(SamePicture(Machine->MotorPic, B));
  // The zoom menu ticks the page's own zoom and sets it.
  Machine->DoMotorZoom(20);
  EXPECT_EQ(GetMotorZoom(), 20);
  EXPECT_EQ(GetDynamoZoom(), 10);
  Machine->MotorZoomPUPopup();
  EXPECT_TRUE(Machine->MotorZoomPU->actions()[2]->isChecked());
  EXPECT_FALSE(Machine->MotorZoomPU->actions()[0]->isChecked());
  Show(Form->DynamoItem);
  Machine->MotorZoomPUPopup();
  EXPECT_TRUE(Machine->MotorZoomPU->actions()[0]->isChecked());
  Machine->DoMotorZoom(15);
  EXPECT_EQ(GetDynamoZoom(), 15);
  EXPECT_EQ(GetMotorZoom(), 20);
}

// ---- Dynamo ----

TEST_F(MachinePagesTest, DynamoGraphAndDoubleRotation) {
  Show(Form->DynamoItem);
  EXPECT_EQ(Machine->DynStartBtn->Hint(), "start animation");
  EXPECT_EQ(Machine->DynStopBtn->Hint(), "stop animation");
  EXPECT_EQ(Machine->KitSpeedButton2->Hint(), "set zoom level");
  EXPECT_EQ(Machine->DRotBtn->Caption(), "");
  EXPECT_FALSE(Machine->DRotBtn->Down());
  EXPECT_EQ(HintOf(Machine->DynamoHsb), "turn dynamo");
  ASSERT_EQ(Machine->Series3->Count(), 361);
  EXPECT_NEAR(Machine->Series3->GetyValue(90), 1, 1e-12);
  ASSERT_EQ(Machine->Series4->Count(), 1);
  EXPECT_EQ(Machine->Series4->GetxValue(0), 0);
  EXPECT_EQ(Machine->Series4->GetyValue(0), 0);
  EXPECT_FALSE(Machine->DynChart.BottomAxis.Visible());
  EXPECT_EQ(Machine->DynChart.LeftAxis.Title.Caption(), "emf");

  Machine->DynamoHsb->setValue(30);
  Machine->DRotBtn->SetDown(true); // the user presses it down
  Machine->DRotBtn->Click();
  ASSERT_TRUE(Machine->DRotBtn->Down());
  ASSERT_EQ(Machine->Series3->Count(), 361);
  EXPECT_NEAR(Machine->Series3->GetyValue(45), 2, 1e-12);
  EXPECT_NEAR(Machine->Series3->GetyValue(225), 2, 1e-12);
  EXPECT_NEAR(Machine->Series3->GetyValue(135), -2, 1e-12);
  // The marker on the curve at the bar's angle, and the coil drawn at 2 theta.
  EXPECT_EQ(Machine->Series4->GetxValue(0), 30);
  EXPECT_NEAR(Machine->Series4->GetyValue(0), Machine->Series3->GetyValue(30), 1e-12);
  TBitmap B(401, 301);
  DrawDynamo(B.Canvas(), -15, 30, 60);
  EXPECT_TRUE(SamePicture(Machine->DynaPic, B));
  Machine->DynaPicPaint(); // a repaint keeps the doubled angle
  EXPECT_TRUE(SamePicture(Machine->DynaPic, B));
  Machine->DynaPicMouseDown(mbLeft, 5, 5); // as does a click on the view
  Machine->DynaPicMouseMove(5, 5);
  Machine->DynaPicMouseUp();
  EXPECT_TRUE(SamePicture(Machine->DynaPic, B));
  EXPECT_FALSE(Machine->DynResetBtn->Enabled());

  // "Double rotation" in the Speed menu is the same toggle.
  Form->SharedMenuPopup(TSharedMenu::Speed);
  EXPECT_TRUE(Form->DoubleRotation1->isEnabled());
  EXPECT_TRUE(Form->DoubleRotation1->isChecked());
  Form->SharedMenuClick(TMenuItem::DoubleRotation);
  EXPECT_FALSE(Machine->DRotBtn->Down());
  EXPECT_NEAR(Machine->Series3->MaxYValue(), 1, 1e-12);
  DrawDynamo(B.Canvas(), -15, 30, 30);
  EXPECT_TRUE(SamePicture(Machine->DynaPic, B));
  Show(Form->DCMotorItem);
  Form->SharedMenuPopup(TSharedMenu::Speed);
  EXPECT_FALSE(Form->DoubleRotation1->isEnabled());
}

// ---- The speed dialog ----

TEST_F(MachinePagesTest, SpeedDialogSetsTheStepOfThePageShown) {
  Show(Form->DCMotorItem);
  auto Answer = [this](int Value, bool Apply) {
    QTimer::singleShot(0, Form.get(), [this, Value, Apply] {
      TSpeedFrm *F = Machine->SpeedFrm;
      ASSERT_NE(F, nullptr);
      EXPECT_EQ(F->windowTitle().toStdString(), "Set animation speed");
      EXPECT_EQ(F->size(), QSize(283, 152));
      EXPECT_EQ(F->SpeedHsb->minimum(), 1);
      EXPECT_EQ(F->SpeedHsb->maximum(), 10);
      EXPECT_EQ(F->SpeedHsb->tickPosition(), QSlider::TicksBelow);
      EXPECT_EQ(F->ApplyBtn->text().toStdString(), "apply");
      EXPECT_EQ(F->CancelBtn->text().toStdString(), "cancel");
      F->SpeedHsb->setValue(Value);
      (Apply ? F->ApplyBtn : F->CancelBtn)->click();
    });
  };
  EXPECT_EQ(Machine->MotorStep, 2);
  EXPECT_EQ(Machine->DynamoStep, 3);
  Answer(7, true);
  Form->SharedMenuClick(TMenuItem::SetAnimationSpeed);
  EXPECT_EQ(Machine->MotorStep, 7);
  EXPECT_EQ(Machine->DynamoStep, 3);
  EXPECT_EQ(Machine->SpeedFrm, nullptr);
  Answer(9, false);
  Form->SharedMenuClick(TMenuItem::SetAnimationSpeed);
  EXPECT_EQ(Machine->MotorStep, 7);
  Show(Form->DynamoItem);
  QTimer::singleShot(0, Form.get(), [this] {
    ASSERT_NE(Machine->SpeedFrm, nullptr);
    EXPECT_EQ(Machine->SpeedFrm->SpeedHsb->value(), 3); // the dynamo's step
    Machine->SpeedFrm->SpeedHsb->setValue(10);
    Machine->SpeedFrm->ApplyBtn->click();
  });
  Form->SharedMenuClick(TMenuItem::SetAnimationSpeed);
  EXPECT_EQ(Machine->DynamoStep, 10);
  // The step is the degrees per frame.
  Machine->DynamoHsb->setValue(0);
  std::vector<int> Seen;
  OnEachValue(Machine->DynamoHsb, [&](int V) {
    Seen.push_back(V);
    if (Seen.size() == 2) Machine->DynStopBtn->Click();
  });
  Machine->DynStartBtn->Click();
  EXPECT_EQ(Seen, (std::vector<int>{10, 20}));
}

// ---- Electromagnetic induction ----

TEST_F(MachinePagesTest, InductionGraphAndMarker) {
  Show(Form->InductionItem);
  EXPECT_EQ(Text(Lenz->LenzCoilLabel), "Number of coils");
  EXPECT_EQ(Text(Lenz->LenzMagLabel), "Magnet position");
  EXPECT_EQ(HintOf(Lenz->LenzCoilHsb), "set number of coils");
  EXPECT_EQ(HintOf(Lenz->LenzMagHsb), "move magnet");
  EXPECT_EQ(Lenz->LenzCoilHsb->minimum(), 1);
  EXPECT_EQ(Lenz->LenzCoilHsb->maximum(), 30);
  EXPECT_EQ(Lenz->LenzMagHsb->maximum(), 199);
  EXPECT_FALSE(Lenz->LenzStopBtn->Enabled());
  ASSERT_EQ(Lenz->Series5->Count(), 200);
  ASSERT_EQ(Lenz->Series6->Count(), 1);
  EXPECT_EQ(Lenz->Series6->GetxValue(0), 0);
  EXPECT_FALSE(Lenz->LenzChart.AllowZoom);
  EXPECT_EQ(Lenz->LenzChart.LeftAxis.Minimum(), -1.2);
  EXPECT_EQ(Lenz->LenzChart.LeftAxis.Maximum(), 1.2);
  EXPECT_EQ(Lenz->LenzChart.BottomAxis.Title.Caption(), "time");
  // One layout: the first draw at the chart's size, after one at another size (as while
  // the window is laid out at start-up), is the layout it keeps when a bar moves.
  TChart &Chart = Lenz->LenzChart;
  const int W = Lenz->LenzChartBox->Width(), H = Lenz->LenzChartBox->Height();
  Chart.SetBounds(W / 2, H / 4);
  Lenz->LenzChartBox->PaintNow();
  Chart.SetBounds(W, H);
  Lenz->LenzChartBox->PaintNow();
  const TRect Plot = Chart.ChartRect;
  const std::vector<double> Labels = Chart.BottomAxis.DrawnLabels;
  ASSERT_GE(Labels.size(), 3u);
  Lenz->LenzMagHsb->setValue(91);
  EXPECT_EQ(Lenz->Series6->GetxValue(0), 91);
  EXPECT_NEAR(Lenz->Series6->GetyValue(0), -LenzPulse(1)[8], 1e-12);
  // The magnet's top in the picture at 2 * 91 + 4.
  EXPECT_EQ(Lenz->LenzPic->Canvas().Pixels(40, 2 * 91 + 10), clSilver);
  Lenz->LenzCoilHsb->setValue(30);
  EXPECT_EQ(Lenz->LenzMagHsb->maximum(), 199);
  // The samples straddle the peak: the largest is a little under f (1.02106).
  EXPECT_NEAR(Lenz->Series5->MaxYValue(), LenzLeaveFactor(30), 3e-3);
  EXPECT_NEAR(Lenz->Series6->GetyValue(0), Lenz->Series5->GetyValue(91), 1e-12);
  Lenz->LenzChartBox->PaintNow();
  EXPECT_EQ(Chart.ChartRect, Plot);
  EXPECT_EQ(Chart.BottomAxis.DrawnLabels, Labels);
}

TEST_F(MachinePagesTest, TheEmfChartsReachTheScreenOnceAFrame) {
  struct TCase {
    QAction *Item;
    QScrollBar *Bar;
    TPaintBox *Box;
  };
  for (const TCase &C : {TCase{Form->DynamoItem, Machine->DynamoHsb, Machine->DynChartBox},
                         TCase{Form->InductionItem, Lenz->LenzMagHsb, Lenz->LenzChartBox}}) {
    Show(C.Item);
    PumpUntil([&] { return !C.Box->PaintPending() && C.Box->DrawnRect().isEmpty(); });
    Pump();
    TPaintRegions Paints(C.Box);
    // Frames stepped by hand as the animation draws them: the bar's change handler moves the
    // marker, the chart draws when its request is served.
    for (int Frame = 1; Frame <= 4; ++Frame) {
      C.Bar->setValue(C.Bar->value() + 5);
      ASSERT_TRUE(C.Box->PaintPending());
      C.Box->PaintNow();
      // What the chart drew is on its way to the screen: nothing is left for a second update.
      EXPECT_TRUE(C.Box->DrawnRect().isEmpty()) << Frame;
      PumpUntil([&] { return Paints.Seen.size() >= size_t(Frame); });
      EXPECT_EQ(Paints.Seen.size(), size_t(Frame));
    }
  }
}

TEST_F(MachinePagesTest, InductionRunFromTheEndRestartsAndStopsByItself) {
  Show(Form->InductionItem);
  Lenz->LenzMagHsb->setValue(190);
  std::vector<int> Seen;
  OnEachValue(Lenz->LenzMagHsb, [&](int V) {
    Seen.push_back(V);
    EXPECT_TRUE(Lenz->LenzStopBtn->Enabled());
    EXPECT_FALSE(Lenz->LenzStartBtn->Enabled());
  });
  Lenz->LenzStartBtnClick();
  // From 190 it runs to the end.
  ASSERT_EQ(Seen.size(), 9u);
  EXPECT_EQ(Seen.front(), 191);
  EXPECT_EQ(Seen.back(), 199);
  EXPECT_TRUE(Lenz->LenzStartBtn->Enabled());
  EXPECT_FALSE(Lenz->LenzStopBtn->Enabled());
  EXPECT_TRUE(bool(AbortFlag));
  // At the end, start begins again from 0; stop ends it.
  Seen.clear();
  OnEachValue(Lenz->LenzMagHsb, [&](int V) {
    if (V == 3) Lenz->LenzStopBtn->Click();
  });
  Lenz->LenzStartBtnClick();
  EXPECT_EQ(Seen.front(), 0);
  EXPECT_EQ(Seen.back(), 3);
  EXPECT_EQ(Lenz->LenzMagHsb->value(), 3);
}

// ---- Mass spectrometer ----

TEST_F(MachinePagesTest, SpectrometerPictureSpectrumAndMarker) {
  Show(Form->MassSpectrometerItem);
  EXPECT_EQ(MS->NewIsotopeBtn->Caption(), "new masses");
  EXPECT_EQ(MS->NewIsotopeBtn->Hint(), "generate a new range of masses");
  EXPECT_EQ(HintOf(MS->MSpecHsb), "Set magnetic field");
  EXPECT_EQ(Text(MS->MSpecLabel), "Accelerating voltage");
  EXPECT_EQ(MS->MSpecHsb->minimum(), 4500);
  EXPECT_EQ(MS->MSpecHsb->maximum(), 10500);
  EXPECT_EQ(MS->MSpecHsb->pageStep(), 10);
  EXPECT_EQ(HintOf(MS->MSChartBox),
            "Drag with left mouse button to zoom; Drag with right mouse button to pan");
  EXPECT_EQ(MS->MSChart.BottomAxis.Minimum(), 0);
  EXPECT_EQ(MS->MSChart.BottomAxis.Maximum(), 200);
  EXPECT_EQ(MS->MSChart.LeftAxis.Title.Caption(), "% Abundance");
  EXPECT_FALSE(MS->MSChart.LeftAxis.AutomaticMinimum());
  ASSERT_EQ(MS->FastLineSeries1->Count(), 201);
  MS->MSpecPic->PaintNow();
  ASSERT_EQ(MS->FastLineSeries2->Count(), 2);
  EXPECT_NEAR(MS->FastLineSeries2->GetxValue(0), 249.95, 0.005);
  MS->MSpecHsb->setValue(10500);
  EXPECT_NEAR(MS->FastLineSeries2->GetxValue(0), 0.620, 0.0005);
  EXPECT_NEAR(MS->FastLineSeries2->GetyValue(1), MS->FastLineSeries1->MaxYValue(), 1e-12);
  // The pointer of the supply moved to x 125.
  EXPECT_EQ(MS->MSpecPic->Canvas().Pixels(125, 74), clBlack);
  EXPECT_EQ(MS->MSpecPic->Canvas().Pixels(75, 74), clWhite);
  // New masses: a new spectrum, still 201 points.
  std::vector<double> Before;
  for (int I = 0; I < 201; ++I) Before.push_back(MS->FastLineSeries1->GetyValue(I));
  MS->NewIsotopeBtn->Click();
  ASSERT_EQ(MS->FastLineSeries1->Count(), 201);
  bool Changed = false;
  for (int I = 0; I < 201; ++I) Changed |= MS->FastLineSeries1->GetyValue(I) != Before[size_t(I)];
  EXPECT_TRUE(Changed);
  EXPECT_NEAR(MS->FastLineSeries2->GetyValue(1), MS->FastLineSeries1->MaxYValue(), 1e-12);
}

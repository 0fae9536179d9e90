// The planetary orbit, body and Thomson pages on a test host: labels, buttons during and
// after runs, the zoom and pan drags, the body grid's keys, and the tube's picture.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>

#include "app/page_kit.h"
#include "app/pages/bin_orbit_page.h"
#include "app/pages/jj_page.h"
#include "app/pages/orbit_page.h"
#include "page_test_host.h"
#include "platform/application.h"
#include "platform/paint_box.h"
#include "platform/qt_bridge.h"
#include "pump_every_step.h"
#include "sim/shared_constants.h"
#include "widgets/speed_button.h"

namespace {

std::string Text(const QLabel *L) { return FromQString(L->text()); }

int CountPic(TPaintBox *Box, TColor C) {
  int N = 0;
  for (int Y = 0; Y < Box->Height(); ++Y)
    for (int X = 0; X < Box->Width(); ++X) N += Box->Canvas().Pixels(X, Y) == C;
  return N;
}

// The test host, also telling the page when its sheet comes and goes (a topic change).
class TSheetHost : public TTestPageHost {
public:
  void ShowSheet(TSheet S, int W = -1) override {
    if (Page && ActiveSheet() == PageSheet && S != PageSheet) Page->Hidden();
    const bool Arrives = S == PageSheet && ActiveSheet() != S;
    TTestPageHost::ShowSheet(S, W);
    if (Page && Arrives) Page->Shown();
  }
  TTopicPage *Page = nullptr;
  TSheet PageSheet = TSheet::Splash;
};

// Runs Action from the event loop (inside a running loop's pump) at its Nth dispatch from now.
void AtPump(QObject *Context, int N, std::function<void()> Action) {
  auto Left = std::make_shared<int>(N);
  AtEachPump(Context, [Left, Action] {
    if (--*Left > 0) return false;
    Action();
    return true;
  });
}

class OrbitPageTest : public ::testing::Test {
protected:
  void SetUp() override {
    OrbitScale() = 100;
    Page = std::make_unique<TOrbitPage>(Host);
    Host.Page = Page.get();
    Host.PageSheet = TSheet::Orbit;
    Host.ShowSheet(TSheet::Orbit);
  }
  void TearDown() override {
    AbortFlag = true;
    OrbitScale() = 100;
  }
  TColor Pixel(int X, int Y) { return Page->OrbitPic->Canvas().Pixels(X, Y); }
  TSheetHost Host;
  std::unique_ptr<TOrbitPage> Page;
};

TEST_F(OrbitPageTest, ControlsAtStart) {
  EXPECT_EQ(Text(Page->PlanetXlabel), "x 1.00");
  EXPECT_EQ(Text(Page->PlanetYlabel), "y 0.00");
  EXPECT_EQ(Text(Page->PlanetVXlabel), "Vx 0.00");
  EXPECT_EQ(Text(Page->PlanetVYlabel), "Vy 1.00");
  EXPECT_EQ(Page->PlanetXhsb->minimum(), -550);
  EXPECT_EQ(Page->PlanetVYhsb->maximum(), 300);
  EXPECT_EQ(HintOf(Page->PlanetVxhsb), "set initial speed");
  EXPECT_EQ(HintOf(Page->OrbitPic),
            "Drag with left mouse button to zoom; drag with right mouse button to pan");
  EXPECT_TRUE(Page->orbStartBtn->Enabled());
  EXPECT_FALSE(Page->orbStopBtn->Enabled());
  EXPECT_EQ(Page->OrbitPic->Width(), 400);
  EXPECT_EQ(Pixel(300, 200), clRed); // the planet at (1, 0)
  Page->PlanetYhsb->setValue(-125);
  EXPECT_EQ(Text(Page->PlanetYlabel), "y -1.25");
  EXPECT_EQ(Pixel(300, 325), clRed);
}

TEST_F(OrbitPageTest, ZoomDragStopsAtTenAndPanMovesTheSun) {
  Page->OrbitPicMouseDown(mbLeft, 300, 300);
  Page->OrbitPicMouseMove(250, 300);
  EXPECT_EQ(OrbitScale(), 50);
  Page->OrbitPicMouseMove(205, 300); // 95 px left of the grab
  EXPECT_EQ(OrbitScale(), 10);
  Page->OrbitPicMouseMove(500, 300);
  EXPECT_EQ(OrbitScale(), 200);
  Page->OrbitPicMouseUp(500, 300);
  EXPECT_EQ(Page->MouseMode, 0);
  Page->OrbitPicMouseMove(100, 300); // no button: nothing changes
  EXPECT_EQ(OrbitScale(), 200);
  Page->OrbitPicMouseDown(mbRight, 10, 10);
  Page->OrbitPicMouseMove(30, 5);
  Page->OrbitPicMouseMove(40, 0);
  Page->OrbitPicMouseUp(40, 0);
  EXPECT_EQ(Page->OrbitOriginX, 230);
  EXPECT_EQ(Page->OrbitOriginY, 190);
  EXPECT_EQ(Pixel(230, 190), clYellow);
  Page->orbCenterBtnClick();
  EXPECT_EQ(Page->OrbitOriginX, 200);
  EXPECT_EQ(Pixel(200, 200), clYellow);
}

TEST_F(OrbitPageTest, StartRunsUntilStopWithTheButtonsSwapped) {
  bool StartDuring = true, StopDuring = false;
  int ScaleSeen = 0;
  AtPump(Page->OrbitPic, 3, [&] {
    StartDuring = Page->orbStartBtn->Enabled();
    StopDuring = Page->orbStopBtn->Enabled();
    // Zooming acts on the running orbit.
    Page->OrbitPicMouseDown(mbLeft, 100, 100);
    Page->OrbitPicMouseMove(150, 100);
    Page->OrbitPicMouseUp(150, 100);
    ScaleSeen = OrbitScale();
    // Stopped once a frame at the new scale is on the picture (a deadline only if none comes).
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    AtEachPump(Page->OrbitPic, [&, Deadline] {
      if (Pixel(200, 228) != clYellow && std::chrono::steady_clock::now() < Deadline) return false;
      Page->orbStopBtnClick();
      return true;
    });
  });
  Page->orbStartBtnClick();
  EXPECT_FALSE(StartDuring);
  EXPECT_TRUE(StopDuring);
  EXPECT_EQ(ScaleSeen, 150);
  EXPECT_TRUE(AbortFlag);
  EXPECT_FALSE(Page->Running());
  EXPECT_TRUE(Page->orbStartBtn->Enabled());
  EXPECT_FALSE(Page->orbStopBtn->Enabled());
  // The last frame has no arrow and a larger sun (radius 30 at scale 150).
  EXPECT_EQ(CountPic(Page->OrbitPic, clLime), 0);
  EXPECT_EQ(Pixel(200, 228), clYellow);
}

TEST_F(OrbitPageTest, AScrollBarOrATopicChangeStopsTheRun) {
  AtPump(Page->OrbitPic, 3, [&] { Page->PlanetVYhsb->setValue(90); });
  Page->orbStartBtnClick();
  EXPECT_FALSE(Page->Running());
  EXPECT_EQ(Text(Page->PlanetVYlabel), "Vy 0.90");
  AtPump(Page->OrbitPic, 3, [&] {
    AbortFlag = true; // as the window does on a topic change
    Host.ShowSheet(TSheet::JJ);
  });
  Page->orbStartBtnClick();
  EXPECT_FALSE(Page->Running());
  EXPECT_TRUE(Page->orbStartBtn->Enabled());
}

TEST_F(OrbitPageTest, AStartWhileTheLoopUnwindsWaitsForIt) {
  QObject Probe;
  AtEachPump(&Probe, [&] {
    if (!Page->Running()) return false;
    Page->orbStopBtnClick();
    Page->orbStartBtnClick(); // waits: runs once the first loop has returned
    return true;
  });
  Page->orbStartBtnClick();
  EXPECT_FALSE(Page->Running());
  // The waiting start runs from the event loop, as a loop of its own.
  int Depth = 0;
  AtEachPump(&Probe, [&] {
    if (!Page->Running()) return false;
    Depth = Application->LoopDepth();
    Page->orbStopBtnClick();
    return true;
  });
  for (int I = 0; I < 100 && Depth == 0; ++I) Application->ProcessMessages();
  EXPECT_EQ(Depth, 1);
  EXPECT_FALSE(Page->Running());
  EXPECT_EQ(Application->LoopDepth(), 0);
}

TEST_F(OrbitPageTest, APlanetFallingIntoTheSunStopsTheRun) {
  Page->PlanetVYhsb->setValue(0); // from (1, 0) at rest: reaches the sun at t = pi/(2 sqrt 2)
  Page->orbStartBtnClick();
  EXPECT_TRUE(AbortFlag);
  EXPECT_TRUE(Page->orbStartBtn->Enabled());
  EXPECT_FALSE(Page->orbStopBtn->Enabled());
  // The last frame: the planet on the sun's disc, nothing else red.
  int Red = 0;
  for (int Y = 170; Y < 231; ++Y)
    for (int X = 170; X < 231; ++X) Red += Pixel(X, Y) == clRed;
  EXPECT_GT(Red, 100);
  EXPECT_EQ(Pixel(300, 200), clSilver);
  // A start at the sun does not run.
  Page->PlanetXhsb->setValue(0);
  Page->orbStartBtnClick();
  EXPECT_TRUE(Page->orbStartBtn->Enabled());
  EXPECT_TRUE(AbortFlag);
}

class BinOrbitPageTest : public ::testing::Test {
protected:
  void SetUp() override {
    Page = std::make_unique<TBinOrbitPage>(Host);
    Host.Page = Page.get();
    Host.PageSheet = TSheet::BinOrbit;
    Host.ShowSheet(TSheet::BinOrbit);
    Page->DrawGrid();
  }
  void TearDown() override {
    AbortFlag = true;
    SetMessageDlgHook({});
  }
  void Type(const std::string &Keys) {
    for (char K : Keys) {
      char16_t C = K;
      Page->gridKeyPress(C);
    }
  }
  void Enter() { Type("\r"); }
  TColor GridPixel(int X, int Y) { return Page->grid->Canvas().Pixels(X, Y); }
  TSheetHost Host;
  std::unique_ptr<TBinOrbitPage> Page;
};

TEST_F(BinOrbitPageTest, GridAtStart) {
  EXPECT_EQ(Page->Cells[1][0], "mass");
  EXPECT_EQ(Page->Cells[5][0], "Vy");
  EXPECT_EQ(Page->Cells[1][1], "1.0000");
  EXPECT_EQ(Page->Cells[2][1], "3.0000");
  EXPECT_EQ(Page->Cells[5][1], "0.2880");
  EXPECT_EQ(Page->Cells[5][2], "-0.2880");
  EXPECT_EQ(Page->Cells[1][3], "0.0001");
  EXPECT_EQ(Page->BodyCount(), 2);
  EXPECT_EQ(HintOf(Page->grid), "Input data for stars/planets");
  EXPECT_EQ(FromQString(Page->PlanetRG->title()), " bodies ");
  // Header light yellow, the body discs in column 0, row 3 blank with two bodies.
  EXPECT_EQ(GridPixel(60, 2), TColor(0xE0FFFF));
  EXPECT_EQ(GridPixel(15, 19 + 9), clYellow);
  EXPECT_EQ(GridPixel(15, 38 + 9), clRed);
  EXPECT_EQ(GridPixel(15, 57 + 9), clWhite);
  int Dark = 0;
  for (int Y = 57; Y < 75; ++Y)
    for (int X = 31; X < 280; ++X) Dark += GridPixel(X, Y) != clWhite && GridPixel(X, Y) != clSilver;
  EXPECT_EQ(Dark, 0);
}

TEST_F(BinOrbitPageTest, TypingReplacesTheCellAndEnterMovesRight) {
  ASSERT_TRUE(Page->SelectCell(1, 1));
  Type("1.5");
  EXPECT_EQ(Page->Cells[1][1], "1.5");
  Enter();
  EXPECT_EQ(Page->Bodies[0].mass, 1.5);
  EXPECT_EQ(Page->Col, 2);
  EXPECT_EQ(Page->Row, 1);
  // A letter changes nothing, not even whether the next key replaces the text.
  char16_t Letter = 'a';
  Page->gridKeyPress(Letter);
  EXPECT_EQ(Letter, 0);
  EXPECT_EQ(Page->Cells[2][1], "3.0000");
  Type("5");
  EXPECT_EQ(Page->Cells[2][1], "5");
  Type("\b\b2");
  EXPECT_EQ(Page->Cells[2][1], "2");
  // "-" alone and "1.2.3" read as 0.
  Page->Cells[3][1] = "-";
  Page->Cells[4][1] = "1.2.3";
  Enter();
  EXPECT_EQ(Page->Bodies[0].x, 2);
  EXPECT_EQ(Page->Bodies[0].y, 0);
  EXPECT_EQ(Page->Bodies[0].vx, 0);
}

TEST_F(BinOrbitPageTest, EnterInTheLastColumnGoesToTheNextBodyRowOnly) {
  ASSERT_TRUE(Page->SelectCell(5, 1));
  Enter();
  EXPECT_EQ(Page->Col, 1);
  EXPECT_EQ(Page->Row, 2);
  ASSERT_TRUE(Page->SelectCell(5, 2));
  Enter();
  EXPECT_EQ(Page->Col, 5); // the last body row: nothing moves
  EXPECT_EQ(Page->Row, 2);
  EXPECT_FALSE(Page->SelectCell(1, 3)); // the third row waits for "3"
  Page->PlanetRGItems[1]->click();
  EXPECT_EQ(Page->BodyCount(), 3);
  EXPECT_TRUE(Page->SelectCell(1, 3));
  ASSERT_TRUE(Page->SelectCell(5, 2));
  Enter();
  EXPECT_EQ(Page->Row, 3);
  Page->PlanetRGItems[0]->click(); // back to two: the selection leaves row 3
  EXPECT_EQ(Page->Row, 2);
  EXPECT_EQ(Page->Cells[1][3], "0.0001"); // the hidden row keeps its values
}

TEST_F(BinOrbitPageTest, RunDisablesStartGridAndResetThenResetRestoresTheBodies) {
  bool StartDuring = true, GridDuring = true, ResetDuring = true, StopDuring = false;
  TColor TextDuring = clBlack;
  AtPump(Page->BinOrbPic, 3, [&] {
    StartDuring = Page->binStartBtn->Enabled();
    GridDuring = Page->grid->isEnabled();
    ResetDuring = Page->binApplyBtn->Enabled();
    StopDuring = Page->binStopBtn->Enabled();
    TextDuring = Page->grid->Canvas().Font().Color;
    Page->binStartBtnClick(); // ignored: no second run inside the first
    Page->BinOrbPicMouseDown(mbRight, 0, 0);
    Page->BinOrbPicMouseMove(20, 10);
    Page->BinOrbPicMouseUp(20, 10);
  });
  AtPump(Page->BinOrbPic, 6, [&] { Page->binStopBtnClick(); });
  Page->binStartBtnClick();
  EXPECT_FALSE(StartDuring);
  EXPECT_FALSE(GridDuring);
  EXPECT_FALSE(ResetDuring);
  EXPECT_TRUE(StopDuring);
  EXPECT_EQ(TextDuring, clGray);
  EXPECT_EQ(Application->LoopDepth(), 0);
  EXPECT_TRUE(Page->binStartBtn->Enabled());
  EXPECT_TRUE(Page->grid->isEnabled());
  EXPECT_TRUE(Page->binApplyBtn->Enabled());
  EXPECT_EQ(Page->BodyOriginX, 220);
  EXPECT_NE(Page->Bodies[0].y, 0); // moved
  EXPECT_EQ(Page->Cells[3][1], "0.0000");
  Page->binApplyBtnClick();
  EXPECT_EQ(Page->Bodies[0].y, 0);
  EXPECT_EQ(Page->Bodies[0].vy, 0.288);
  EXPECT_EQ(Page->BinOrbPic->Canvas().Pixels(310, 210), clYellow); // (3, 0) at the new origin
  Page->binOriginBtnClick();
  EXPECT_EQ(Page->BinOrbPic->Canvas().Pixels(290, 200), clYellow);
}

TEST_F(BinOrbitPageTest, CoincidentBodiesAreToldAndDoNotRunAndZoomIsClamped) {
  std::vector<std::string> Told;
  bool IdleWhenTold = false;
  SetMessageDlgHook([&](const std::string &Text, TMsgDlgType Type, TMsgDlgButtons Buttons) {
    Told.push_back(Text);
    IdleWhenTold = AbortFlag && !Page->Running() && Page->grid->isEnabled();
    EXPECT_EQ(Type, mtInformation);
    EXPECT_EQ(Buttons, mbOK);
    return mrOk;
  });
  // The third body on the first takes no part with two bodies: that run starts.
  Page->Cells[2][3] = "3";
  AtPump(Page->BinOrbPic, 1, [&] { Page->binStopBtnClick(); });
  Page->binStartBtnClick();
  EXPECT_TRUE(Told.empty());
  EXPECT_NE(Page->Bodies[0].y, 0);
  Page->binApplyBtnClick();
  Page->Cells[2][2] = "3";
  Page->binStartBtnClick(); // both bodies at (3, 0): nothing starts, nothing moves
  ASSERT_EQ(Told.size(), 1u);
  EXPECT_EQ(
      Told[0],
      "The yellow and the red body are at the same place.\rMove one of them before you start.");
  EXPECT_TRUE(IdleWhenTold);
  EXPECT_EQ(Page->Bodies[1].x, -3);
  EXPECT_EQ(Page->Bodies[1].vy, -0.288);
  EXPECT_TRUE(AbortFlag);
  EXPECT_TRUE(Page->binStartBtn->Enabled());
  EXPECT_TRUE(Page->grid->isEnabled());
  Page->BinOrbPicMouseDown(mbLeft, 200, 200);
  Page->BinOrbPicMouseMove(100, 200);
  EXPECT_EQ(Page->BodyScale, 10);
  Page->BinOrbPicMouseMove(260, 200);
  EXPECT_EQ(Page->BodyScale, 90);
  Page->BinOrbPicMouseUp(260, 200);
}

TEST(GridEdit, KeysOnACellsText) {
  EXPECT_EQ(EditGridText("1.0000", true, '5').Text, "5");
  EXPECT_EQ(EditGridText("1.0000", false, '5').Text, "1.00005");
  EXPECT_FALSE(EditGridText("1.0000", true, 'x').Accepted);
  EXPECT_EQ(EditGridText("12", false, 8).Text, "1");
  EXPECT_EQ(EditGridText("12", true, 8).Text, "");
  EXPECT_EQ(EditGridText("", false, 8).Text, "");
  EXPECT_EQ(EditGridText("", true, '-').Text, "-");
}

class JJPageTest : public ::testing::Test {
protected:
  void SetUp() override {
    Page = std::make_unique<TJJPage>(Host);
    Host.Page = Page.get();
    Host.PageSheet = TSheet::JJ;
    Host.ShowSheet(TSheet::JJ);
  }
  int Blue() { return CountPic(Page->JJPic, clBlue); }
  TSheetHost Host;
  std::unique_ptr<TJJPage> Page;
};

TEST_F(JJPageTest, LabelsAndTheTube) {
  EXPECT_EQ(Text(Page->JJGunLabel), "Gun pd 200.00 V");
  EXPECT_EQ(Text(Page->JJEfieldLabel), "Electric field 2.00 kV/m");
  EXPECT_EQ(Text(Page->JJBfieldLabel), "Magnetic field 0.100 mT");
  EXPECT_EQ(Text(Page->Label10), "The magnetic field is perpendicular to the screen");
  EXPECT_EQ(Page->JJBfieldHsb->maximum(), 500);
  EXPECT_EQ(Page->JJEfieldHsb->maximum(), 200);
  EXPECT_EQ(Page->JJgunHsb->maximum(), 100);
  EXPECT_EQ(HintOf(Page->JJgunHsb), "");
  EXPECT_EQ(Page->JJPic->Width(), 400);
  EXPECT_EQ(Page->JJPic->Height(), 310);
  EXPECT_GT(Blue(), 250);
  Page->JJBfieldHsb->setValue(345);
  EXPECT_EQ(Text(Page->JJBfieldLabel), "Magnetic field 0.345 mT");
  Page->JJgunHsb->setValue(0);
  EXPECT_EQ(Text(Page->JJGunLabel), "Gun pd 0.00 V");
  EXPECT_EQ(Blue(), 0);
}

} // namespace

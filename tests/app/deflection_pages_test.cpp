// The coil and the three electron-deflection pages on a test host: start labels, what each
// control draws, the mouse read-out, dragging and turning, the plot's run and stop, and
// the Field menu's items.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <filesystem>

#include "app/page_kit.h"
#include "app/pages/coil_page.h"
#include "app/pages/electric_deflection_page.h"
#include "app/pages/helix_page.h"
#include "app/pages/magnetic_deflection_page.h"
#include "page_test_host.h"
#include "pixel_count.h"
#include "platform/bitmap.h"
#include "platform/clipboard.h"
#include "platform/files.h"
#include "platform/paint_box.h"
#include "platform/qt_bridge.h"
#include "pump_every_step.h"
#include "sim/helix.h"
#include "sim/magnetic_deflection.h"
#include "sim/shared_constants.h"
#include "widgets/speed_button.h"

namespace {

std::string Text(const QLabel *L) { return L->text().toStdString(); }

// What a picture shows now.
TBitmap Shot(TPaintBox *Pic) { return BitmapFromImage(Pic->Image()); }

bool Same(TBitmap A, TBitmap B) {
  if (A.Width() != B.Width() || A.Height() != B.Height()) return false;
  for (int Y = 0; Y < A.Height(); ++Y)
    for (int X = 0; X < A.Width(); ++X)
      if (A.Canvas().Pixels(X, Y) != B.Canvas().Pixels(X, Y)) return false;
  return true;
}

class PagesTest : public ::testing::Test {
protected:
  void SetUp() override {
    AbortFlag = true;
    GunRect = GunRectAtStart;
  }
  void TearDown() override {
    AbortFlag = true;
    GunRect = GunRectAtStart;
  }
  TTestPageHost Host;
};

// ---- Coil ----

TEST_F(PagesTest, CoilStartsPlottedWithItsControls) {
  TCoilPage P(Host);
  Host.ShowSheet(TSheet::Mag, 100);
  EXPECT_EQ(P.MPlotBtn->Caption(), "plot");
  EXPECT_EQ(P.MPlotBtn->Hint(), "plot field");
  EXPECT_EQ(P.MAbortBtn->Caption(), "stop");
  EXPECT_EQ(P.MAbortBtn->Hint(), "stop plotting");
  EXPECT_FALSE(P.MAbortBtn->isEnabled());
  EXPECT_TRUE(P.MGridBtn->Down());
  EXPECT_EQ(Text(P.MTurnsLabel), "turns 1");
  EXPECT_EQ(Text(P.MRadLabel), "coil radius 50");
  EXPECT_EQ(Text(P.MsepLabel), "coil spacing");
  EXPECT_EQ(P.MsepHsb->minimum(), 8);
  EXPECT_EQ(P.MsepHsb->value(), 8);
  EXPECT_EQ(P.MTurnsHsb->maximum(), 20);
  EXPECT_EQ(P.MRadiusHsb->minimum(), 20);
  // The start-up plot ran: two lines from heights 20 and 39.
  EXPECT_TRUE(P.Solenoid->LinesPlotted);
  ASSERT_EQ(P.Solenoid->Lines.size(), 2u);
  EXPECT_EQ(P.MagFieldPic->Width(), 600);
  EXPECT_EQ(P.MagFieldPic->Canvas().Pixels(10, 300), clBlack); // the axis
}

TEST_F(PagesTest, CoilMouseReadsPositionAndFieldStrength) {
  TCoilPage P(Host);
  P.MagFieldPicMouseMove(300, 300);
  EXPECT_EQ(Host.Status[0], "x 0:y 0");
  EXPECT_EQ(Host.Status[1], "Field strength= 3.95");
  P.MagFieldPicMouseMove(350, 280);
  EXPECT_EQ(Host.Status[0], "x 50:y 20");
  P.MagFieldPicMouseMove(350, 300);
  EXPECT_EQ(Host.Status[1], "Field strength= 1.40");
}

TEST_F(PagesTest, CoilSettingsDropTheLinesAndPlotDrawsThemAgain) {
  TCoilPage P(Host);
  const int Radius = P.Solenoid->Radius;
  P.MTurnsHsb->setValue(2);
  EXPECT_EQ(Text(P.MTurnsLabel), "turns 2");
  EXPECT_EQ(P.Solenoid->Radius, Radius);
  EXPECT_FALSE(P.Solenoid->LinesPlotted);
  EXPECT_TRUE(P.Solenoid->Lines.empty());
  EXPECT_EQ(P.Solenoid->TurnOffset(0), -4); // spacing 8 from the scroll bar
  EXPECT_EQ(P.MagFieldPic->Canvas().Pixels(10, 300), clSilver); // no axis drawn, the grid
  P.MRadiusHsb->setValue(80);
  EXPECT_EQ(Text(P.MRadLabel), "coil radius 80");
  EXPECT_NEAR(P.Solenoid->Ring[0].X, 80, 1e-9);
  P.MPlotBtnClick();
  EXPECT_TRUE(P.Solenoid->LinesPlotted);
  EXPECT_FALSE(P.Solenoid->Lines.empty());
  EXPECT_TRUE(P.MPlotBtn->isEnabled());
  EXPECT_FALSE(P.MAbortBtn->isEnabled());
  EXPECT_TRUE(P.MTurnsHsb->isEnabled());
  EXPECT_TRUE(AbortFlag);
}

TEST_F(PagesTest, CoilStopDuringThePlotKeepsFinishedLinesAndRestoresControls) {
  TPumpEveryStep EveryStep; // the stop comes after 100 pumps
  TCoilPage P(Host);
  Host.ShowSheet(TSheet::Mag, 100);
  P.MTurnsHsb->setValue(6);
  P.MRadiusHsb->setValue(100);
  P.MagFieldPic->Invalidate(); // a paint while the plot runs keeps what it has drawn
  bool SawRunning = false;
  int Ticks = 0;
  AtEachPump(P.MagFieldPic, [&] {
    if (!P.Running()) return false;
    if (++Ticks == 1) {
      SawRunning = true;
      EXPECT_FALSE(P.MPlotBtn->isEnabled());
      EXPECT_TRUE(P.MAbortBtn->isEnabled());
      EXPECT_FALSE(P.MTurnsHsb->isEnabled());
      EXPECT_FALSE(P.MGridBtn->isEnabled());
      P.MenuPopup(TSharedMenu::Field);
      EXPECT_FALSE(Host.MenuItem(TMenuItem::ReverseCurrent)->isEnabled());
      EXPECT_FALSE(Host.MenuItem(TMenuItem::FieldCopy)->isEnabled());
      // A second "plot" while the first runs does not nest another loop.
      P.MPlotBtnClick();
    }
    if (Ticks < 100) return false;
    P.MAbortBtnClick();
    return true;
  });
  P.MPlotBtnClick();
  EXPECT_TRUE(SawRunning);
  EXPECT_EQ(Ticks, 100);
  EXPECT_TRUE(P.Solenoid->LinesPlotted); // the lines finished before "stop"
  EXPECT_FALSE(P.Solenoid->Lines.empty());
  EXPECT_TRUE(P.MPlotBtn->isEnabled());
  EXPECT_FALSE(P.MAbortBtn->isEnabled());
  EXPECT_TRUE(P.MTurnsHsb->isEnabled());
  EXPECT_TRUE(P.MGridBtn->isEnabled());
  EXPECT_TRUE(Host.MenuItem(TMenuItem::FieldCopy)->isEnabled());
  // Painting shows the kept lines without tracing.
  const TBitmap Before = Shot(P.MagFieldPic);
  P.MagFieldPicPaint();
  EXPECT_TRUE(Same(Before, Shot(P.MagFieldPic)));
  // The topic changes during a plot: the loop ends at its next step, the page goes on.
  AtEachPump(P.MagFieldPic, [&] {
    if (!P.Running() || P.Solenoid->Lines.empty()) return false;
    P.Stop(TStopCause::TopicMenu);
    return true;
  });
  P.MPlotBtnClick();
  EXPECT_FALSE(P.Running());
  EXPECT_TRUE(AbortFlag);
  EXPECT_EQ(P.Solenoid->Lines.size(), 1u);
}

TEST_F(PagesTest, CoilFieldMenuArrowsReverseCopyAndPrint) {
  TCoilPage P(Host);
  Host.ShowSheet(TSheet::Mag, 100);
  P.MenuPopup(TSharedMenu::Field);
  EXPECT_FALSE(Host.MenuItem(TMenuItem::ContourResolution)->isEnabled());
  EXPECT_FALSE(Host.MenuItem(TMenuItem::DeleteFieldLines)->isEnabled());
  EXPECT_FALSE(Host.MenuItem(TMenuItem::DeleteContours)->isEnabled());
  EXPECT_TRUE(Host.MenuItem(TMenuItem::ReverseCurrent)->isEnabled());
  EXPECT_TRUE(Host.MenuItem(TMenuItem::ShowArrows)->isChecked());
  EXPECT_TRUE(P.UsesMenu(TSharedMenu::Field, TSheet::Mag));
  EXPECT_FALSE(P.UsesMenu(TSharedMenu::Graph, TSheet::Mag));

  EXPECT_EQ(P.MagFieldPic->Canvas().Pixels(300, 250), clBlue);
  const size_t Lines = P.Solenoid->Lines.size();
  P.MenuClick(TMenuItem::ReverseCurrent);
  EXPECT_EQ(P.Solenoid->CurrentDir, 1);
  EXPECT_EQ(P.MagFieldPic->Canvas().Pixels(300, 250), clRed);
  EXPECT_EQ(P.Solenoid->Lines.size(), Lines); // kept, not traced again
  TBitmap B = Shot(P.MagFieldPic);
  EXPECT_GT(CountColor(B, clYellow), 0);
  P.MenuClick(TMenuItem::ShowArrows);
  EXPECT_FALSE(P.Solenoid->ShowArrows);
  EXPECT_FALSE(Host.MenuItem(TMenuItem::ShowArrows)->isChecked());
  B = Shot(P.MagFieldPic);
  EXPECT_EQ(CountColor(B, clYellow), 0);
  P.MGridBtn->SetDown(false);
  P.MGridBtnClick();
  EXPECT_EQ(P.MagFieldPic->Canvas().Pixels(20, 7), clWhite);

  P.CopyPicture();
  EXPECT_TRUE(Clipboard().HasPicture());
  const std::string Pdf = std::string(VORNELLE_BINARY_DIR) + "/coil_page_print.pdf";
  std::filesystem::remove(Pdf);
  Printer().SetOutputFile(Pdf);
  int Asked = 0;
  SetPrintDialogHook([&](TPrintDialog &D) {
    ++Asked;
    D.Copies = 1;
    return true;
  });
  P.PrintPicture();
  SetPrintDialogHook({});
  Printer().SetOutputFile("");
  EXPECT_EQ(Asked, 1);
  EXPECT_TRUE(FileExists(Pdf));
  EXPECT_FALSE(Host.Busy);
}

// ---- Electric deflection ----

TEST_F(PagesTest, ElectricDeflectionLabelsAndCloseUp) {
  TElectricDeflectionPage P(Host);
  EXPECT_EQ(Text(P.edfGunLabel), "accelerating pd 2.00 kV");
  EXPECT_EQ(Text(P.edfFieldLabel), "deflecting pd 0.00 kV");
  EXPECT_EQ(Text(P.edfPlateLabel), "plate separation 2.00 cm");
  EXPECT_EQ(HintOf(P.edfGunHsb), "set accelerating pd|Set the accelerating voltage for the electron gun");
  EXPECT_EQ(HintOf(P.edfPlateHsb), "set plate separation|Set the separation of the deflecting plates");
  EXPECT_EQ(HintOf(P.EDefPic), "|Click on the scale to show a magnified view.");
  EXPECT_EQ(P.edfFieldHsb->minimum(), -100);
  EXPECT_EQ(P.EDefPic->Canvas().Pixels(200, 150), clBlue);
  P.edfFieldHsb->setValue(-55);
  EXPECT_EQ(Text(P.edfFieldLabel), "deflecting pd -0.55 kV");
  P.edfPlateHsb->setValue(30);
  EXPECT_EQ(Text(P.edfPlateLabel), "plate separation 3.00 cm");
  EXPECT_EQ(P.EDefPic->Canvas().Pixels(100, 117), clSilver); // the upper plate moved out

  // Pressing near the screen's top shows the close-up for y 55; releasing removes it.
  const TBitmap Plain = Shot(P.EDefPic);
  P.EDefPicMouseDown(330, 35);
  EXPECT_EQ(P.EDefPic->Canvas().Pixels(290, 10), 0x00E0FFFFu); // close-up at y 5..100
  EXPECT_EQ(P.EDefPic->Canvas().Pixels(290, 4), Plain.Canvas().Pixels(290, 4));
  P.EDefPicMouseUp();
  EXPECT_TRUE(Same(Plain, Shot(P.EDefPic)));
  P.EDefPicMouseDown(200, 35); // off the screen: nothing
  EXPECT_TRUE(Same(Plain, Shot(P.EDefPic)));
}

TEST_F(PagesTest, ThePlateSeparationIsTheGapDrawnOnTheScreensScale) {
  // The scale beside the screen has a numbered tick every 20 pixels, one centimetre; the
  // plates' inner faces lie the scroll bar's value above and below the axis at y 150.
  TElectricDeflectionPage P(Host);
  for (auto [Half, Label] : {std::pair{10, "1.00"}, {55, "5.50"}, {100, "10.00"}}) {
    P.edfPlateHsb->setValue(Half);
    EXPECT_EQ(Text(P.edfPlateLabel), std::string("plate separation ") + Label + " cm");
    // The upper plate's face is its last row, the lower plate's its first.
    TCanvas &C = P.EDefPic->Canvas();
    EXPECT_EQ(C.Pixels(100, 150 - Half - 1), clBlack) << Half;
    EXPECT_EQ(C.Pixels(100, 150 - Half - 2), clSilver) << Half;
    EXPECT_EQ(C.Pixels(100, 150 + Half), clBlack) << Half;
    EXPECT_EQ(C.Pixels(100, 150 + Half + 1), clSilver) << Half;
    EXPECT_DOUBLE_EQ(std::stod(Label) * 20, 2.0 * Half) << Half; // the gap, in scale units
  }
  EXPECT_EQ(P.edfPlateHsb->minimum(), 10);
  EXPECT_EQ(P.edfPlateHsb->maximum(), 100);
  // The scale's numbered ticks: 6 at y 30, 0 at y 150, one every 20 pixels.
  TCanvas &C = P.EDefPic->Canvas();
  for (int Y = 30; Y <= 270; Y += 20) EXPECT_EQ(C.Pixels(329, Y), clBlack) << Y;
  EXPECT_NE(C.Pixels(329, 40), clBlack); // a short tick between
}

// ---- Magnetic deflection ----

TEST_F(PagesTest, MagneticDeflectionLabelsDirectionAndGunDrag) {
  TMagneticDeflectionPage P(Host);
  EXPECT_EQ(Text(P.bdfGunLabel), "gun p.d. 1.00 kV");
  EXPECT_EQ(Text(P.bdfFieldLabel), "field 5.00 mT");
  EXPECT_EQ(Text(P.bdfAngleLabel), "angle 0");
  EXPECT_EQ(Text(P.DirectionLabel), "Magnetic field out of screen");
  EXPECT_FALSE(P.FieldDirBtn->Down());
  EXPECT_FALSE(P.bdf3DBtn->Down());
  EXPECT_FALSE(P.bdfResetBtn->isEnabled());
  EXPECT_EQ(HintOf(P.MagDefPic), "Click and drag the electron gun to change its position");
  // Out of the screen: the beam bends up and turns back at y 32.
  EXPECT_EQ(P.MagDefPic->Canvas().Pixels(30, 32), clBlack);
  P.FieldDirBtn->SetDown(true);
  P.FieldDirBtnClick();
  EXPECT_EQ(Text(P.DirectionLabel), "Magnetic field into screen");
  EXPECT_EQ(P.MagDefPic->Canvas().Pixels(30, 288), clBlack);
  P.GunAngleHsb->setValue(-12);
  EXPECT_EQ(Text(P.bdfAngleLabel), "angle -12");

  // Drag the gun far down: its top stops at 301.
  P.MagDefPicMouseDown(10, 155);
  P.MagDefPicMouseMove(10, 700);
  EXPECT_EQ(GunRect, Rect(4, 301, 30, 321));
  P.MagDefPicMouseMove(10, -400);
  EXPECT_EQ(GunRect.Top, 0);
  P.MagDefPicMouseMove(10, 205);
  EXPECT_EQ(GunRect, Rect(4, 200, 30, 220));
  P.MagDefPicMouseUp();
  P.MagDefPicMouseMove(10, 300);
  EXPECT_EQ(GunRect.Top, 200);
  EXPECT_EQ(P.MagDefPic->Canvas().Pixels(17, 210), clYellow);
  P.MagDefPicMouseDown(200, 200); // off the gun: no drag
  P.MagDefPicMouseMove(10, 100);
  EXPECT_EQ(GunRect.Top, 200);
}

TEST_F(PagesTest, MagneticDeflection3DTurnsToNinetyAndResets) {
  TMagneticDeflectionPage P(Host);
  P.bdf3DBtn->SetDown(true);
  P.bdf3DBtnClick();
  EXPECT_FALSE(P.DirectionLabel->isVisibleTo(P.DirectionLabel->parentWidget()));
  EXPECT_EQ(HintOf(P.MagDefPic), "Drag to rotate the picture");
  P.UpdateIdleState(true);
  EXPECT_FALSE(P.bdfResetBtn->isEnabled());
  const TBitmap Start = Shot(P.MagDefPic);
  P.MagDefPicMouseDown(100, 100);
  P.MagDefPicMouseMove(100 + 175, 100); // 175 pixels across: 90 degrees more
  EXPECT_EQ(P.BDefView.Turn, 75);
  P.MagDefPicMouseMove(100 + 600, 100 - 600);
  EXPECT_EQ(P.BDefView.Turn, 90);
  EXPECT_EQ(P.BDefView.Tilt, 90);
  P.MagDefPicMouseUp();
  P.UpdateIdleState(true);
  EXPECT_TRUE(P.bdfResetBtn->isEnabled());
  EXPECT_FALSE(Same(Start, Shot(P.MagDefPic)));
  P.bdfResetBtnClick();
  EXPECT_EQ(P.BDefView, (TViewAngles{-30, -15}));
  EXPECT_TRUE(Same(Start, Shot(P.MagDefPic)));
  P.bdf3DBtn->SetDown(false);
  P.bdf3DBtnClick();
  P.UpdateIdleState(true);
  EXPECT_FALSE(P.bdfResetBtn->isEnabled());
  EXPECT_EQ(HintOf(P.MagDefPic), "Click and drag the electron gun to change its position");
}

// ---- Helix ----

TEST_F(PagesTest, HelixLabelsTurnsWithin75AndResets) {
  THelixPage P(Host);
  EXPECT_EQ(Text(P.sprGunLabel), "gun p.d. 0.25 kV");
  EXPECT_EQ(Text(P.sprFieldLabel), "field 5.00 mT");
  EXPECT_EQ(Text(P.sprAngleLabel), "angle 80");
  EXPECT_TRUE(P.sprFieldBtn->Down());
  EXPECT_EQ(HintOf(P.SpiralPic), "Drag to rotate picture");
  P.UpdateIdleState(true);
  EXPECT_FALSE(P.sprResetBtn->isEnabled());
  const TBitmap Start = Shot(P.SpiralPic);
  P.SpiralPicMouseDown(50, 50);
  P.SpiralPicMouseMove(50 + 400, 50 - 400);
  EXPECT_EQ(P.HelixView, (TViewAngles{75, 75}));
  P.SpiralPicMouseMove(50 - 800, 50 + 800);
  EXPECT_EQ(P.HelixView, (TViewAngles{-75, -75}));
  P.SpiralPicMouseUp();
  P.SpiralPicMouseMove(0, 0);
  EXPECT_EQ(P.HelixView, (TViewAngles{-75, -75}));
  P.UpdateIdleState(true);
  EXPECT_TRUE(P.sprResetBtn->isEnabled());
  P.sprResetBtnClick();
  EXPECT_TRUE(Same(Start, Shot(P.SpiralPic)));
  P.sprFieldBtn->SetDown(false);
  P.sprFieldBtnClick();
  EXPECT_FALSE(Same(Start, Shot(P.SpiralPic)));
  P.sprGunHsb->setValue(100);
  P.sprFieldHsb->setValue(1000);
  P.SpiralHsb->setValue(-80);
  EXPECT_EQ(Text(P.sprGunLabel), "gun p.d. 1.00 kV");
  EXPECT_EQ(Text(P.sprFieldLabel), "field 10.00 mT");
  EXPECT_EQ(Text(P.sprAngleLabel), "angle -80");
}

} // namespace

namespace {
TEST_F(PagesTest, PicturesKeepTheirSizeInTheLaidOutSheets) {
  TElectricDeflectionPage E(Host);
  TMagneticDeflectionPage M(Host);
  THelixPage H(Host);
  Host.Stack.show();
  for (TSheet S : {TSheet::EDef, TSheet::MagDef, TSheet::Helix}) {
    Host.ShowSheet(S, 0);
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(E.EDefPic->width(), 350);
  EXPECT_EQ(E.EDefPic->height(), 300);
  EXPECT_EQ(M.MagDefPic->width(), 350);
  EXPECT_EQ(M.MagDefPic->height(), 320);
  EXPECT_EQ(H.SpiralPic->width(), 350);
  EXPECT_EQ(H.SpiralPic->height(), 320);
  Host.Stack.hide();
}
} // namespace

// The oil drop, single-nucleus and lattice alpha pages, driven as a user would on the
// test host; and in the window, how topic changes treat the oil drop clock and a run.
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <gtest/gtest.h>

#include "app/page_kit.h"
#include "app/pages/alpha_lattice_page.h"
#include "app/pages/alpha_page.h"
#include "app/pages/millikan_page.h"
#include "main_window_fixture.h"
#include "page_test_host.h"
#include "pixel_count.h"
#include "platform/frame_pacer.h"
#include "platform/paint_box.h"
#include "pump_every_step.h"
#include "sim/alpha_lattice.h"
#include "sim/alpha_scattering.h"
#include "sim/shared_constants.h"
#include "widgets/speed_button.h"

namespace {

std::string Text(const QLabel *L) { return L->text().toStdString(); }

QAction *ItemTagged(QMenu *Menu, int Tag) {
  for (QAction *A : Menu->actions())
    if (ActionTag(A) == Tag) return A;
  return nullptr;
}

std::vector<std::string> Captions(QMenu *Menu) {
  std::vector<std::string> C;
  for (QAction *A : Menu->actions()) C.push_back(A->text().toStdString());
  return C;
}

// Frames come as fast as the machine draws them: runs in tests take milliseconds.
struct TFastFrames {
  TFastFrames() { TFramePacer::SetSpeedFactor(1000); }
  ~TFastFrames() { TFramePacer::SetSpeedFactor(1); }
};

} // namespace

// ---- Oil drops ----

TEST(MillikanPage, ControlsAtStart) {
  TTestPageHost H;
  TMillikanPage P(H);
  EXPECT_EQ(P.mkStartBtn->Caption(), "start");
  EXPECT_EQ(P.mkStartBtn->Hint(), "start experiment");
  EXPECT_EQ(P.mkResetBtn->Caption(), "reset clock");
  EXPECT_EQ(P.mkResetBtn->Hint(), "reset clock|Reset the clock to zero");
  EXPECT_EQ(P.mkTimeScaleBtn->Caption(), "time scale");
  EXPECT_EQ(P.mkTimeScaleBtn->Hint(), "set time scale");
  EXPECT_EQ(Captions(P.mkTimePUM), (std::vector<std::string>{"real time", "x 10", "x 100"}));
  EXPECT_EQ(Text(P.mkTimeLabel), "0 : 00");
  EXPECT_EQ(Text(P.mkVoltLabel), "0.000  (kV)"); // the design text, two blanks
  EXPECT_EQ(P.mkVoltHsb->orientation(), Qt::Vertical);
  EXPECT_EQ(P.mkVoltHsb->minimum(), 0);
  EXPECT_EQ(P.mkVoltHsb->maximum(), 3000);
  EXPECT_EQ(P.mkVoltHsb->value(), 3000);
  EXPECT_EQ(P.Voltage(), 0);
  EXPECT_EQ(HintOf(P.mkVoltHsb), "set voltage|Adjust voltage between plates");
  EXPECT_EQ(P.MillikanPic->Width(), 250);
  EXPECT_EQ(P.MillikanPic->Height(), 250);
  EXPECT_EQ(P.MillikanTimeScale, 1);
  EXPECT_FALSE(H.Timer1.Enabled());
  // The view is drawn when the box paints: the round dark field with its drops.
  H.ShowSheet(TSheet::Millikan, -1);
  H.Stack.show();
  P.MillikanPic->PaintNow();
  // Right of the drops' cells and off the graticule: the drops lie where a clock seed puts them.
  EXPECT_EQ(P.MillikanPic->Canvas().Pixels(225, 125), clBlack);
  EXPECT_EQ(P.MillikanPic->Canvas().Pixels(8, 8), TColor(0xC0C0C0));
}

TEST(MillikanPage, VoltageLabelFollowsTheBar) {
  TTestPageHost H;
  TMillikanPage P(H);
  P.mkVoltHsb->setValue(0);
  EXPECT_EQ(Text(P.mkVoltLabel), "3.000 (kV)"); // at the top
  P.mkVoltHsb->setValue(574);
  EXPECT_EQ(Text(P.mkVoltLabel), "2.426 (kV)");
  EXPECT_EQ(P.Voltage(), 2426);
  P.mkVoltHsb->setValue(3000);
  EXPECT_EQ(Text(P.mkVoltLabel), "0.000 (kV)");
}

TEST(MillikanPage, StartStopsAndRestartsTheTimer) {
  TTestPageHost H;
  TMillikanPage P(H);
  ClickWidget(P.mkStartBtn);
  EXPECT_TRUE(P.mkStartBtn->Down());
  EXPECT_EQ(P.mkStartBtn->Caption(), "stop");
  EXPECT_TRUE(H.Timer1.Enabled());
  ClickWidget(P.mkStartBtn);
  EXPECT_FALSE(P.mkStartBtn->Down());
  EXPECT_EQ(P.mkStartBtn->Caption(), "start");
  EXPECT_FALSE(H.Timer1.Enabled());
}

TEST(MillikanPage, ClockShowsMinutesAndSecondsInEveryTimeScale) {
  TTestPageHost H;
  TMillikanPage P(H);
  ItemTagged(P.mkTimePUM, 0)->trigger(); // real time
  EXPECT_EQ(P.MillikanTimeScale, 0);
  P.MillikanClock = 638; // 63.8 s: the label changes once a second
  for (int T = 0; T < 11; ++T) P.Timer1Timer();
  EXPECT_EQ(Text(P.mkTimeLabel), "1 : 4");
  P.Timer1Timer();
  EXPECT_EQ(Text(P.mkTimeLabel), "1 : 5"); // 650 tenths: 65 s
  ClickWidget(P.mkResetBtn);
  EXPECT_EQ(Text(P.mkTimeLabel), "0 : 00");
  EXPECT_EQ(P.MillikanClock, 0);
  ItemTagged(P.mkTimePUM, 1)->trigger(); // x 10: a second a tick, shown at every tick
  P.Timer1Timer();
  EXPECT_EQ(Text(P.mkTimeLabel), "0 : 1");
  P.MillikanClock = 600;
  for (int T = 0; T < 5; ++T) P.Timer1Timer();
  EXPECT_EQ(Text(P.mkTimeLabel), "1 : 5");
  // A change of scale while it runs keeps the time shown (it used to jump tenfold).
  ItemTagged(P.mkTimePUM, 2)->trigger();
  P.Timer1Timer();
  EXPECT_EQ(Text(P.mkTimeLabel), "1 : 15");
  ItemTagged(P.mkTimePUM, 0)->trigger();
  for (int T = 0; T < 10; ++T) P.Timer1Timer();
  EXPECT_EQ(Text(P.mkTimeLabel), "1 : 16");
}

TEST(MillikanPage, PopupTicksTheTimeScale) {
  TTestPageHost H;
  TMillikanPage P(H);
  P.mkTimePUMPopup();
  EXPECT_TRUE(ItemTagged(P.mkTimePUM, 1)->isChecked());
  EXPECT_FALSE(ItemTagged(P.mkTimePUM, 0)->isChecked());
  ItemTagged(P.mkTimePUM, 2)->trigger();
  P.mkTimePUMPopup();
  EXPECT_TRUE(ItemTagged(P.mkTimePUM, 2)->isChecked());
  EXPECT_FALSE(ItemTagged(P.mkTimePUM, 1)->isChecked());
}

TEST(MillikanPage, TicksMoveTheDropsAtTheBarsVoltage) {
  TTestPageHost H;
  TMillikanPage P(H);
  for (TOilDrop &D : P.Drops->Drops) D.YExact = 120, D.Y = 120;
  P.mkVoltHsb->setValue(0); // 3000 V
  P.Timer1Timer();          // x 10
  for (const TOilDrop &D : P.Drops->Drops) EXPECT_NEAR(D.YExact, 120 + DropSpeed(D.Charges, 3000), 1e-4);
  // The picture shows the drops where they now are: four charges rise 8.54 a tick.
  for (TOilDrop &D : P.Drops->Drops) D.X = 125, D.YExact = 120, D.Charges = 4;
  P.Timer1Timer();
  EXPECT_EQ(P.MillikanPic->Canvas().Pixels(125, 111), clYellow);
  EXPECT_EQ(P.MillikanPic->Canvas().Pixels(125, 118), clBlack);
}

TEST(MillikanPage, ALinkOrClosingStopsTheClockTheMenuDoesNot) {
  TTestPageHost H;
  TMillikanPage P(H);
  ClickWidget(P.mkStartBtn);
  ASSERT_TRUE(H.Timer1.Enabled());
  for (TStopCause Cause : {TStopCause::TopicMenu, TStopCause::Index}) {
    P.Stop(Cause);
    EXPECT_TRUE(H.Timer1.Enabled());
    EXPECT_TRUE(P.mkStartBtn->Down());
    EXPECT_EQ(P.mkStartBtn->Caption(), "stop");
  }
  P.Stop(TStopCause::TopicLink);
  EXPECT_FALSE(H.Timer1.Enabled());
  EXPECT_FALSE(P.mkStartBtn->Down());
  EXPECT_EQ(P.mkStartBtn->Caption(), "start");
  ClickWidget(P.mkStartBtn);
  P.Stop(TStopCause::Close);
  EXPECT_FALSE(H.Timer1.Enabled());
  EXPECT_EQ(P.mkStartBtn->Caption(), "start");
}

// ---- Single nucleus ----

TEST(AlphaPage, ControlsAndLabelsAtStart) {
  TTestPageHost H;
  TAlphaPage P(H);
  // The labels describe the head-on picture shown, not a source at -25.
  EXPECT_EQ(Text(P.SrcPosLabel), "Source position = 0.0");
  EXPECT_EQ(Text(P.ScatLabel), "Scattering angle = 180.0");
  EXPECT_EQ(Text(P.MevLabel), "Kinetic energy = 5  MeV");
  EXPECT_EQ(P.KitSpeedButton1->Caption(), "energy");
  EXPECT_EQ(P.KitSpeedButton1->Hint(), "alpha particle energy|Set the kinetic energy of the alpha particles");
  EXPECT_EQ(Captions(P.AlphaPUM),
            (std::vector<std::string>{"5 MeV", "6 MeV", "7 Mev", "8 MeV", "9 MeV", "10 MeV"}));
  EXPECT_EQ(P.SourceVsb->orientation(), Qt::Vertical);
  EXPECT_EQ(P.SourceVsb->minimum(), -120);
  EXPECT_EQ(P.SourceVsb->maximum(), 120);
  EXPECT_EQ(P.SourceVsb->value(), 0);
  EXPECT_EQ(HintOf(P.SourceVsb), "move source|Set the postion of the alpha particle source");
  EXPECT_EQ(P.AlphaPic->Width(), 366);
  EXPECT_EQ(P.AlphaPic->Height(), 304);
  EXPECT_EQ(P.AlphaPic->Canvas().Pixels(75, 150), clYellow); // the nucleus
  EXPECT_EQ(P.AlphaPic->Canvas().Pixels(200, 150), clRed);   // head-on track on the axis
}

TEST(AlphaPage, SourceAndEnergyUpdateTheLabels) {
  TTestPageHost H;
  TAlphaPage P(H);
  P.SourceVsb->setValue(-25);
  EXPECT_EQ(Text(P.SrcPosLabel), "Source position = 12.5");
  EXPECT_EQ(Text(P.ScatLabel), "Scattering angle = 90.0");
  ItemTagged(P.AlphaPUM, 10)->trigger();
  EXPECT_EQ(P.AlphaEnergy, 10);
  EXPECT_EQ(P.ScaleA(), 12); // 12.5 to the even neighbour
  EXPECT_EQ(Text(P.MevLabel), "Kinetic energy = 10 MeV");
  EXPECT_EQ(Text(P.ScatLabel), "Scattering angle = 51.3"); // refreshed with the energy
  ItemTagged(P.AlphaPUM, 7)->trigger();
  EXPECT_EQ(P.ScaleA(), 18);
  P.SourceVsb->setValue(120);
  ItemTagged(P.AlphaPUM, 5)->trigger();
  EXPECT_EQ(Text(P.ScatLabel), "Scattering angle = 23.5");
  EXPECT_EQ(Text(P.SrcPosLabel), "Source position = 60.0");
}

TEST(AlphaPage, PictureFollowsTheEnergy) {
  TTestPageHost H;
  TAlphaPage P(H);
  // The dotted circle has radius 2A: at 5 MeV it reaches row 100, at 10 MeV row 126.
  auto DotsOnRow = [&](int Y) {
    int N = 0;
    for (int X = 60; X <= 90; ++X) N += P.AlphaPic->Canvas().Pixels(X, Y) == clBlack;
    return N;
  };
  EXPECT_GT(DotsOnRow(100), 0);
  ItemTagged(P.AlphaPUM, 10)->trigger();
  EXPECT_EQ(DotsOnRow(100), 0);
  EXPECT_GT(DotsOnRow(126), 0);
  P.AlphaPUMPopup();
  EXPECT_TRUE(ItemTagged(P.AlphaPUM, 10)->isChecked());
  EXPECT_FALSE(ItemTagged(P.AlphaPUM, 5)->isChecked());
}

// ---- Lattice ----

TEST(AlphaLatticePage, ControlsAtStart) {
  TTestPageHost H;
  ScreenMode = 2;
  TAlphaLatticePage P(H);
  EXPECT_EQ(P.AlphaStartBtn->Caption(), "start");
  EXPECT_EQ(P.AlphaStartBtn->Hint(), "start animation");
  EXPECT_EQ(P.AlphaStopBtn->Caption(), "stop");
  EXPECT_EQ(P.AlphaStopBtn->Hint(), "stop animation");
  EXPECT_EQ(Text(P.Alpha2posLabel), "initial position 3");
  EXPECT_EQ(P.YposHsb->minimum(), -150);
  EXPECT_EQ(P.YposHsb->maximum(), 150);
  EXPECT_EQ(P.YposHsb->value(), 3);
  EXPECT_EQ(HintOf(P.YposHsb), "set initial position");
  EXPECT_EQ(P.TracksChk->text().toStdString(), "show path");
  EXPECT_EQ(HintOf(P.TracksChk), "show alpha particle path");
  EXPECT_FALSE(P.TracksChk->isChecked());
  EXPECT_EQ(P.Alpha2pic->Width(), 400);
  EXPECT_EQ(P.Alpha2pic->Height(), 400);
  H.ShowSheet(TSheet::Alpha2, -1);
  H.Stack.show();
  P.Alpha2pic->PaintNow();
  EXPECT_EQ(P.Alpha2pic->Canvas().Pixels(390, 197), clRed); // the start marker
  P.YposHsb->setValue(-40);
  EXPECT_EQ(Text(P.Alpha2posLabel), "initial position -40");
  EXPECT_EQ(P.Alpha2pic->Canvas().Pixels(390, 240), clRed);
  EXPECT_NE(P.Alpha2pic->Canvas().Pixels(390, 197), clRed);
}

TEST(AlphaLatticePage, CompactScreenGivesTheSmallPicture) {
  TTestPageHost H;
  ScreenMode = 1;
  TAlphaLatticePage P(H);
  EXPECT_EQ(P.Alpha2pic->Height(), 300);
  H.ShowSheet(TSheet::Alpha2, -1);
  H.Stack.show();
  P.Alpha2pic->PaintNow();
  EXPECT_EQ(P.Alpha2pic->Canvas().Pixels(330, 148), clRed); // 150 - MulDiv(3, 3, 4)
  ScreenMode = 2;
}

TEST(AlphaLatticePage, ARunAnimatesUntilTheParticleLeaves) {
  TTestPageHost H;
  ScreenMode = 2;
  TFastFrames Fast;
  TAlphaLatticePage P(H);
  H.Stack.show();
  P.TracksChk->setChecked(true);
  bool StartDisabled = false, BarDisabled = false;
  int Frames = 0;
  QObject Probe;
  AtEachPump(&Probe, [&] {
    if (!P.Running()) return false;
    ++Frames;
    StartDisabled = !P.AlphaStartBtn->isEnabled();
    BarDisabled = !P.YposHsb->isEnabled();
    return false;
  });
  ClickWidget(P.AlphaStartBtn);
  EXPECT_FALSE(P.Running());
  EXPECT_GT(Frames, 0);
  EXPECT_TRUE(StartDisabled);
  EXPECT_TRUE(BarDisabled);
  EXPECT_TRUE(P.AlphaStartBtn->isEnabled()); // back after the run
  EXPECT_TRUE(P.YposHsb->isEnabled());
  EXPECT_TRUE(bool(AbortFlag));
  EXPECT_GT(P.LastRunFrames, 50);
  // The whole path stays on the picture.
  int Red = 0;
  for (int Y = 0; Y < 400; ++Y)
    for (int X = 0; X < 400; ++X) Red += P.Alpha2pic->Canvas().Pixels(X, Y) == clRed;
  EXPECT_GT(Red, 1500);
  EXPECT_EQ(P.Alpha2pic->Canvas().Pixels(390, 197), clRed); // and the start marker with it
}

TEST(AlphaLatticePage, StopAndASecondStartNeverNestARun) {
  TTestPageHost H;
  ScreenMode = 2;
  TAlphaLatticePage P(H);
  H.Stack.show();
  int Polls = 0, Depth = 0, MaxDepth = 0;
  QObject Probe;
  AtEachPump(&Probe, [&] {
    if (!P.Running()) return false;
    ++Polls;
    // A second start while the run goes on is ignored: it does not run inside this one.
    ++Depth;
    MaxDepth = std::max(MaxDepth, Depth);
    P.AlphaStartBtnClick();
    --Depth;
    if (Polls < 3) return false;
    ClickWidget(P.AlphaStopBtn);
    return true;
  });
  P.AlphaStartBtnClick();
  EXPECT_EQ(MaxDepth, 1);
  EXPECT_GE(Polls, 3);
  EXPECT_LT(P.LastRunFrames, 30); // stopped long before the particle left, at normal pace
  EXPECT_TRUE(bool(AbortFlag));
  // The last frame shows the particle alone: the start marker is put back on it.
  EXPECT_EQ(P.Alpha2pic->Canvas().Pixels(390, 197), clRed);
  // A topic change stops a run the same way.
  Polls = 0;
  AtEachPump(&Probe, [&] {
    if (!P.Running() || ++Polls < 2) return false;
    P.Stop(TStopCause::TopicMenu);
    return true;
  });
  P.AlphaStartBtnClick();
  EXPECT_LT(P.LastRunFrames, 30);
  EXPECT_FALSE(P.Running());
}

// ---- In the window ----

namespace {
class AlphaMillikanWindowTest : public MainWindowTest {};
} // namespace

TEST_F(AlphaMillikanWindowTest, MenuChangeLeavesTheClockRunningALinkStopsIt) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  auto *P = dynamic_cast<TMillikanPage *>(F.PageOfSheet(TSheet::Millikan));
  ASSERT_NE(P, nullptr);
  ASSERT_NE(dynamic_cast<TAlphaPage *>(F.PageOfSheet(TSheet::Alpha)), nullptr);
  ASSERT_NE(dynamic_cast<TAlphaLatticePage *>(F.PageOfSheet(TSheet::Alpha2)), nullptr);
  F.DoTopicChange(F.OilDropItem);
  F.show();
  Pump();
  ClickWidget(P->mkStartBtn);
  ASSERT_TRUE(F.Timer1.Enabled());
  F.DoTopicChange(F.ProjectileItem);
  EXPECT_TRUE(F.Timer1.Enabled()); // still running on the hidden page
  const int Before = P->MillikanClock;
  F.Timer1.OnTimer();
  EXPECT_EQ(P->MillikanClock, Before + 10);
  EXPECT_EQ(P->mkStartBtn->Caption(), "stop");
  F.ShowTopicPage(1); // a link, from whichever page
  EXPECT_FALSE(F.Timer1.Enabled());
  EXPECT_FALSE(P->mkStartBtn->Down());
  EXPECT_EQ(P->mkStartBtn->Caption(), "start");
  EXPECT_EQ(F.ActiveSheet(), TSheet::Alpha);
}

TEST_F(AlphaMillikanWindowTest, ClosingTheWindowDuringALatticeRun) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  auto *P = dynamic_cast<TAlphaLatticePage *>(F.PageOfSheet(TSheet::Alpha2));
  ASSERT_NE(P, nullptr);
  F.DoTopicChange(F.AlphaScattering1Item);
  F.show();
  Pump();
  bool Closed = false;
  F.OnClosed = [&] { Closed = true; };
  Answers = {mrYes};
  int Polls = 0;
  QObject Probe;
  AtEachPump(&Probe, [&] {
    if (!P->Running() || ++Polls < 3) return false;
    F.close();
    return true;
  });
  ClickWidget(P->AlphaStartBtn);
  EXPECT_LT(P->LastRunFrames, 30); // the close stopped the run
  Pump();
  EXPECT_TRUE(Closed);
}

// The drop-down speed button: defaults, menu positions, clicks, groups, repeat and the
// glyph renderings, driven by synthetic mouse events on the offscreen platform.
#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QMenu>
#include <QMouseEvent>
#include <gtest/gtest.h>

#include "platform/application.h"
#include "platform/bitmap.h"
#include "widgets/speed_button.h"

namespace {

void Send(QWidget &W, QEvent::Type Type, int X, int Y, Qt::MouseButton Button = Qt::LeftButton) {
  const Qt::MouseButtons Held = Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Button);
  QMouseEvent E(Type, QPointF(X, Y), W.mapToGlobal(QPointF(X, Y)), Button, Held, Qt::NoModifier);
  QApplication::sendEvent(&W, &E);
}
void Press(QWidget &W, int X, int Y) { Send(W, QEvent::MouseButtonPress, X, Y); }
void Release(QWidget &W, int X, int Y) { Send(W, QEvent::MouseButtonRelease, X, Y); }
void ClickAt(QWidget &W, int X, int Y) {
  Press(W, X, Y);
  Release(W, X, Y);
}

TColor Px(const TBitmap &B, int X, int Y) { return ArgbToColor(B.ScanLine(Y)[X]); }

// A 16 x 16 glyph: magenta background (lower-left pixel), a red square in the middle.
TBitmap RedSquareGlyph() {
  TBitmap B(16, 16);
  B.Fill(0x00FF00FF);
  for (int Y = 4; Y < 12; ++Y)
    for (int X = 4; X < 12; ++X) B.ScanLine(Y)[X] = ColorToArgb(clRed);
  return B;
}

struct PopupRecorder {
  std::vector<std::string> Events;
  QPoint At;
  QMenu *Menu = nullptr;
  PopupRecorder() {
    TKitSpeedButton::PopupHook = [this](QMenu *M, QPoint P) {
      Events.push_back("menu");
      Menu = M;
      At = P;
    };
  }
  ~PopupRecorder() { TKitSpeedButton::PopupHook = nullptr; }
};

} // namespace

TEST(SpeedButton, Defaults) {
  TKitSpeedButton B;
  EXPECT_EQ(B.Width(), 25);
  EXPECT_EQ(B.Height(), 25);
  EXPECT_EQ(B.width(), 25);
  EXPECT_EQ(B.InitPause, 500);
  EXPECT_EQ(B.RepeatInterval, 100);
  EXPECT_EQ(B.Layout(), blGlyphTop);
  EXPECT_EQ(B.NumGlyphs(), 1);
  EXPECT_EQ(B.Margin(), -1);
  EXPECT_EQ(B.Spacing(), 1);
  EXPECT_EQ(B.GroupIndex(), 0);
  EXPECT_FALSE(B.Down());
  EXPECT_FALSE(B.AllowAllUp());
  EXPECT_FALSE(B.Flat());
  EXPECT_FALSE(B.AllowTimer());
  EXPECT_TRUE(B.GrayedInactive());
  EXPECT_TRUE(B.MarkDropDown());
  EXPECT_EQ(B.MenuPosition(), dmpBottom);
  EXPECT_EQ(B.State(), rbsUp);
  // Margin below -1 is refused; Down is forced off outside a group.
  B.SetMargin(-5);
  EXPECT_EQ(B.Margin(), -1);
  B.SetDown(true);
  EXPECT_FALSE(B.Down());
  B.SetBounds(3, 4, 40, 38);
  EXPECT_EQ(B.geometry(), QRect(3, 4, 40, 38));
}

TEST(SpeedButton, HintSplitsShortAndLong) {
  TKitSpeedButton B;
  B.SetHint("add charges|If this button is down you can add charges by clicking with the mouse");
  EXPECT_EQ(B.toolTip().toStdString(), "add charges");
  EXPECT_EQ(B.Hint(), "add charges|If this button is down you can add charges by clicking with the mouse");
}

TEST(SpeedButton, MenuPointsByPositionAndAlignment) {
  TKitSpeedButton B;
  B.SetBounds(0, 0, 40, 30);
  EXPECT_EQ(B.MenuPoint(), QPoint(0, 0)); // no menu
  QMenu M;
  B.SetDropDownMenu(&M);
  B.MenuAlignment = paLeft;
  EXPECT_EQ(B.MenuPoint(), QPoint(-1, 30));
  B.MenuAlignment = paRight;
  EXPECT_EQ(B.MenuPoint(), QPoint(41, 30));
  B.MenuAlignment = paCenter;
  EXPECT_EQ(B.MenuPoint(), QPoint(20, 30));
  B.SetMenuPosition(dmpRight);
  B.MenuAlignment = paLeft;
  EXPECT_EQ(B.MenuPoint(), QPoint(40, -1));
  B.MenuAlignment = paRight;
  EXPECT_EQ(B.MenuPoint(), QPoint(-1, -1));
  B.MenuAlignment = paCenter;
  EXPECT_EQ(B.MenuPoint(), QPoint(20, 30));
}

TEST(SpeedButton, DropDownFiresOnPopupFirstAndNeverClicks) {
  PopupRecorder Rec;
  QWidget Parent;
  Parent.resize(200, 100);
  auto *B = new TKitSpeedButton(&Parent);
  B->SetBounds(10, 20, 40, 30);
  QMenu M;
  M.addAction("1");
  B->SetDropDownMenu(&M);
  int Clicks = 0;
  B->OnClick = [&] { ++Clicks; };
  B->OnPopup = [&] { Rec.Events.push_back("popup"); };
  Parent.show();

  ClickAt(*B, 5, 5);
  ASSERT_EQ(Rec.Events, (std::vector<std::string>{"popup", "menu"}));
  EXPECT_EQ(Rec.Menu, &M);
  EXPECT_EQ(Rec.At, B->mapToGlobal(QPoint(-1, 30)));
  EXPECT_EQ(Clicks, 0);
  EXPECT_EQ(B->State(), rbsUp);
  EXPECT_FALSE(B->MenuTracking());

  // Without a menu the same press clicks once.
  B->SetDropDownMenu(nullptr);
  ClickAt(*B, 5, 5);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Rec.Events.size(), 2u);
}

TEST(SpeedButton, ManualDropDownIgnoresAutoPopup) {
  PopupRecorder Rec;
  TKitSpeedButton B;
  QMenu M;
  B.SetDropDownMenu(&M);
  B.MenuAutoPopup = false;
  int Clicks = 0;
  B.OnClick = [&] { ++Clicks; };
  B.show();
  ClickAt(B, 3, 3);
  EXPECT_TRUE(Rec.Events.empty());
  EXPECT_EQ(Clicks, 1); // no menu shown: an ordinary click
  EXPECT_TRUE(B.CheckBtnMenuDropDown(true));
  EXPECT_EQ(Rec.Events.size(), 1u);
}

TEST(SpeedButton, MenuDestroyedElsewhereIsForgotten) {
  TKitSpeedButton B;
  auto *M = new QMenu;
  B.SetDropDownMenu(M);
  delete M;
  EXPECT_EQ(B.DropDownMenu(), nullptr);
}

TEST(SpeedButton, ReleaseOutsideDoesNotClickAndEdgesAreExclusive) {
  TKitSpeedButton B;
  B.SetBounds(0, 0, 30, 20);
  int Clicks = 0;
  B.OnClick = [&] { ++Clicks; };
  B.show();
  Press(B, 5, 5);
  EXPECT_EQ(B.State(), rbsDown);
  Send(B, QEvent::MouseMove, 5, 20); // the bottom edge is outside
  EXPECT_EQ(B.State(), rbsUp);
  Send(B, QEvent::MouseMove, 5, 19);
  EXPECT_EQ(B.State(), rbsDown);
  Release(B, 5, 20);
  EXPECT_EQ(Clicks, 0);
  Press(B, 5, 5);
  Release(B, 30, 5); // the right edge is outside too
  EXPECT_EQ(Clicks, 0);
  Press(B, 5, 5);
  Release(B, 29, 19);
  EXPECT_EQ(Clicks, 1);
  // The right button does not click.
  Send(B, QEvent::MouseButtonPress, 5, 5, Qt::RightButton);
  Send(B, QEvent::MouseButtonRelease, 5, 5, Qt::RightButton);
  EXPECT_EQ(Clicks, 1);
}

TEST(SpeedButton, GroupIsExclusiveAndHonoursAllowAllUp) {
  QWidget Parent;
  auto *A = new TKitSpeedButton(&Parent);
  auto *B = new TKitSpeedButton(&Parent);
  auto *Other = new TKitSpeedButton(&Parent);
  A->SetBounds(0, 0, 25, 25);
  B->SetBounds(30, 0, 25, 25);
  Other->SetBounds(60, 0, 25, 25);
  A->SetGroupIndex(1);
  B->SetGroupIndex(1);
  Other->SetGroupIndex(2);
  Other->SetDown(true);
  A->SetDown(true);
  Parent.show();
  EXPECT_TRUE(A->Down());
  EXPECT_EQ(A->State(), rbsExclusive);

  int BClicks = 0;
  B->OnClick = [&] { ++BClicks; };
  ClickAt(*B, 5, 5);
  EXPECT_TRUE(B->Down());
  EXPECT_FALSE(A->Down());
  EXPECT_EQ(A->State(), rbsUp);
  EXPECT_TRUE(Other->Down()); // another group is left alone
  EXPECT_EQ(BClicks, 1);

  // Clicking the down button again keeps it down: the group needs one button down.
  ClickAt(*B, 5, 5);
  EXPECT_TRUE(B->Down());
  EXPECT_EQ(B->State(), rbsExclusive);
  EXPECT_EQ(BClicks, 2);

  // AllowAllUp spreads to the group and lets the last button go up.
  A->SetAllowAllUp(true);
  EXPECT_TRUE(B->AllowAllUp());
  EXPECT_FALSE(Other->AllowAllUp());
  ClickAt(*B, 5, 5);
  EXPECT_FALSE(B->Down());
  EXPECT_FALSE(A->Down());
}

TEST(SpeedButton, GrayWeights) {
  // (R * 77 + G * 150 + B * 29) >> 8 of the pure colours.
  EXPECT_EQ(KitGrayColor(clRed), RGB(76, 76, 76));
  EXPECT_EQ(KitGrayColor(clLime), RGB(149, 149, 149));
  EXPECT_EQ(KitGrayColor(clBlue), RGB(28, 28, 28));
  EXPECT_EQ(KitGrayColor(clWhite), RGB(255, 255, 255));
  EXPECT_EQ(KitGrayColor(clBlack), RGB(0, 0, 0));

  TBitmap G = RedSquareGlyph();
  G.ScanLine(0)[0] = ColorToArgb(0xC0C0C0); // button face stays as it is
  G.ScanLine(1)[1] = ColorToArgb(clLime);
  const TBitmap Gray = CreateGrayBitmap(G, 0x00FF00FF);
  EXPECT_EQ(Px(Gray, 5, 5), RGB(76, 76, 76));
  EXPECT_EQ(Px(Gray, 1, 1), RGB(149, 149, 149));
  EXPECT_EQ(Px(Gray, 0, 0), TColor(0xC0C0C0));
  EXPECT_EQ(Px(Gray, 0, 15), TColor(0x00FF00FF));
}

TEST(SpeedButton, EmbossedDisabledGlyph) {
  TBitmap G(4, 4);
  G.Fill(0x00FF00FF);
  G.ScanLine(1)[1] = ColorToArgb(clBlack);
  G.ScanLine(2)[1] = ColorToArgb(clWhite); // white is not ink
  const TBitmap D = CreateDisabledBitmap(G, 0x00FF00FF);
  EXPECT_EQ(Px(D, 1, 1), TColor(0x808080)); // shadow in place
  EXPECT_EQ(Px(D, 2, 2), TColor(0xFFFFFF)); // highlight one down and right
  EXPECT_EQ(Px(D, 1, 2), TColor(0x00FF00FF));
  EXPECT_EQ(Px(D, 3, 3), TColor(0x00FF00FF));
}

TEST(SpeedButton, StateImagesFromTheStrip) {
  // A strip of four: up red, disabled green, down blue, exclusive black.
  TBitmap Strip(16, 4);
  const TColor Cols[4] = {clRed, clLime, clBlue, clBlack};
  for (int K = 0; K < 4; ++K)
    for (int Y = 0; Y < 4; ++Y)
      for (int X = 0; X < 4; ++X) Strip.ScanLine(Y)[K * 4 + X] = ColorToArgb(Cols[K]);
  Strip.ScanLine(3)[0] = ColorToArgb(0x00FF00FF);
  TKitButtonGlyph G;
  G.SetGlyph(Strip);
  EXPECT_EQ(G.TransparentColor(), TColor(0x00FF00FF));
  G.SetNumGlyphs(4);
  EXPECT_EQ(G.GlyphSize(), TSize(4, 4));
  EXPECT_EQ(Px(G.StateImage(rbsUp), 1, 1), clRed);
  EXPECT_EQ(Px(G.StateImage(rbsDisabled), 1, 1), clLime);
  EXPECT_EQ(Px(G.StateImage(rbsDown), 1, 1), clBlue);
  EXPECT_EQ(Px(G.StateImage(rbsExclusive), 1, 1), clBlack);
  EXPECT_EQ(Px(G.StateImage(rbsInactive), 1, 1), RGB(76, 76, 76));
  G.SetNumGlyphs(2); // no down image: down falls back to image 0
  EXPECT_EQ(Px(G.StateImage(rbsDown), 1, 1), clRed);
}

TEST(SpeedButton, GlyphCacheIsSharedAndReleased) {
  const int Before = GlyphCacheListCount();
  {
    TKitSpeedButton A, B;
    A.SetGlyph(RedSquareGlyph());
    B.SetGlyph(RedSquareGlyph());
    A.PaintNow();
    B.PaintNow();
    EXPECT_EQ(GlyphCacheListCount(), Before + 1); // one list for the 16 x 16 size
    EXPECT_GE(GlyphCacheImageCount(), 2);
    EXPECT_GE(A.GlyphData().CacheIndex(rbsUp), 0);
    EXPECT_NE(A.GlyphData().CacheIndex(rbsUp), B.GlyphData().CacheIndex(rbsUp));
  }
  EXPECT_EQ(GlyphCacheListCount(), Before);
}

TEST(SpeedButton, FlatButtonRaisesOnlyUnderTheMouse) {
  TKitSpeedButton B;
  B.SetBounds(0, 0, 30, 30);
  B.SetFlat(true);
  B.SetGlyph(RedSquareGlyph());
  B.show();
  QApplication::setActiveWindow(&B); // the program is in front
  B.PaintNow();
  // No frame, and the glyph is grey.
  EXPECT_EQ(Px(B.Picture(), 0, 0), TColor(0xC0C0C0));
  EXPECT_EQ(Px(B.Picture(), 29, 29), TColor(0xC0C0C0));
  bool Grey = false;
  for (int Y = 0; Y < 30; ++Y)
    for (int X = 0; X < 30; ++X) Grey |= Px(B.Picture(), X, Y) == RGB(76, 76, 76);
  EXPECT_TRUE(Grey);

  QEnterEvent Enter(QPointF(5, 5), QPointF(5, 5), B.mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(&B, &Enter);
  EXPECT_TRUE(B.MouseInControl());
  B.PaintNow();
  EXPECT_EQ(Px(B.Picture(), 0, 0), TColor(0xFFFFFF));   // highlight top-left
  EXPECT_EQ(Px(B.Picture(), 29, 29), TColor(0x808080)); // shadow bottom-right
  bool Red = false;
  for (int Y = 0; Y < 30; ++Y)
    for (int X = 0; X < 30; ++X) Red |= Px(B.Picture(), X, Y) == clRed;
  EXPECT_TRUE(Red);

  QEvent Leave(QEvent::Leave);
  QApplication::sendEvent(&B, &Leave);
  EXPECT_FALSE(B.MouseInControl());
}

TEST(SpeedButton, ItsLongHintLeavesTheStatusBarWhenTheButtonDisablesItself) {
  // A start button greys itself when clicked: what it said it does no longer applies.
  TKitSpeedButton B;
  B.SetBounds(0, 0, 30, 30);
  B.SetHint("start|start animation");
  B.OnClick = [&B] { B.SetEnabled(false); };
  B.show();
  QApplication::setActiveWindow(&B); // the program is in front
  Application->SetHint("");
  QEnterEvent Enter(QPointF(5, 5), QPointF(5, 5), B.mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(&B, &Enter);
  EXPECT_EQ(Application->Hint(), "start|start animation");
  ClickAt(B, 5, 5);
  EXPECT_FALSE(B.isEnabled());
  EXPECT_EQ(Application->Hint(), "");
  // Another control's hint, shown meanwhile, stays when this one is disabled again.
  B.SetEnabled(true);
  Application->SetHint("set speed");
  B.SetEnabled(false);
  EXPECT_EQ(Application->Hint(), "set speed");
}

TEST(SpeedButton, DisabledSingleGlyphIsEmbossed) {
  TKitSpeedButton B;
  B.SetBounds(0, 0, 30, 30);
  B.SetGlyph(RedSquareGlyph());
  B.SetEnabled(false);
  B.PaintNow();
  EXPECT_EQ(B.State(), rbsDisabled);
  int Shadow = 0, RedPixels = 0;
  for (int Y = 2; Y < 28; ++Y)
    for (int X = 2; X < 28; ++X) {
      Shadow += Px(B.Picture(), X, Y) == TColor(0x808080);
      RedPixels += Px(B.Picture(), X, Y) == clRed;
    }
  EXPECT_EQ(Shadow, 64); // the 8 x 8 square in shadow colour
  EXPECT_EQ(RedPixels, 0);
  // A click on a disabled button does nothing.
  int Clicks = 0;
  B.OnClick = [&] { ++Clicks; };
  B.show();
  ClickAt(B, 5, 5);
  EXPECT_EQ(Clicks, 0);
}

TEST(SpeedButton, DropDownMarkIsATriangle) {
  TKitSpeedButton B;
  B.SetBounds(0, 0, 40, 30);
  B.SetGlyph(RedSquareGlyph());
  QMenu M;
  B.SetDropDownMenu(&M);
  B.PaintNow();
  // Find the rows of text-coloured pixels right of the glyph: 7, 5, 3, 1.
  std::vector<int> Rows;
  for (int Y = 2; Y < 28; ++Y) { // inside the frame
    int N = 0;
    for (int X = 21; X < 36; ++X) N += Px(B.Picture(), X, Y) == clBlack;
    if (N) Rows.push_back(N);
  }
  EXPECT_EQ(Rows, (std::vector<int>{7, 5, 3, 1}));
  B.SetMarkDropDown(false);
  B.PaintNow();
  int Black = 0;
  for (int Y = 2; Y < 28; ++Y)
    for (int X = 21; X < 36; ++X) Black += Px(B.Picture(), X, Y) == clBlack;
  EXPECT_EQ(Black, 0);
}

TEST(SpeedButton, CaptionBelowGlyphAndShortened) {
  TKitSpeedButton B;
  B.SetBounds(0, 0, 40, 40);
  B.SetGlyph(RedSquareGlyph());
  B.SetCaption("plot E");
  B.PaintNow();
  int GlyphBottom = -1, TextTop = 100;
  for (int Y = 0; Y < 40; ++Y)
    for (int X = 0; X < 40; ++X) {
      const TColor C = Px(B.Picture(), X, Y);
      if (C == clRed) GlyphBottom = std::max(GlyphBottom, Y);
      if (C == clBlack && X > 2 && X < 37 && Y > 2 && Y < 37) TextTop = std::min(TextTop, Y);
    }
  ASSERT_GE(GlyphBottom, 0);
  EXPECT_GT(TextTop, GlyphBottom);
  B.Picture().SaveToPng(std::string(VORNELLE_BINARY_DIR) + "/speed_button_plot.png");
  QMenu M;
  B.SetCaption("zoom");
  B.SetDropDownMenu(&M);
  B.SetDown(false);
  B.PaintNow();
  B.Picture().SaveToPng(std::string(VORNELLE_BINARY_DIR) + "/speed_button_dropdown.png");

  TBitmap Canvas(10, 10);
  EXPECT_EQ(MinimizeText("short", Canvas.Canvas(), 1000), "short");
  const std::string Cut = MinimizeText("a rather long caption", Canvas.Canvas(), 40);
  ASSERT_GE(Cut.size(), 3u);
  EXPECT_EQ(Cut.substr(Cut.size() - 3), "...");
  EXPECT_LE(Canvas.Canvas().TextWidth(Cut), 40);
}

TEST(SpeedButton, AutoRepeatWhileHeld) {
  TKitSpeedButton B;
  B.SetAllowTimer(true);
  B.InitPause = 60;
  B.RepeatInterval = 15;
  int Clicks = 0;
  B.OnClick = [&] { ++Clicks; };
  B.show();
  Press(B, 5, 5);
  EXPECT_EQ(Clicks, 0);
  // The first after the pause, then repeats: waited for, however late a busy machine wakes.
  QElapsedTimer T;
  T.start();
  while (Clicks < 2 && T.elapsed() < 30000) QApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_GE(Clicks, 2);
  // Moving off the button stops the repeats (the state is no longer down).
  Send(B, QEvent::MouseMove, 100, 100);
  const int Off = Clicks;
  T.restart();
  while (T.elapsed() < 100) QApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(Clicks, Off);
  Release(B, 100, 100);
  T.restart();
  while (T.elapsed() < 60) QApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(Clicks, Off); // released outside: no click, timer stopped
}

TEST(SpeedButton, GlyphArtworkLoadsWithItsTransparentCorner) {
  const char *Names[] = {"abort", "add", "back", "charge", "clear", "copy", "font",
                         "forward", "grid", "index", "pause", "plote", "plotv", "print",
                         "reset", "run", "select", "stop", "threed", "twod", "zoom"};
  for (const char *N : Names) {
    TKitSpeedButton B;
    ASSERT_TRUE(B.LoadGlyph(N)) << N;
    EXPECT_EQ(B.Glyph().Width(), 16) << N;
    EXPECT_EQ(B.GlyphData().TransparentColor(), TColor(0x00FF00FF)) << N;
    // Something besides the transparent colour is drawn.
    int Ink = 0;
    for (int Y = 0; Y < B.Glyph().Height(); ++Y)
      for (int X = 0; X < B.Glyph().Width(); ++X) Ink += Px(B.Glyph(), X, Y) != TColor(0x00FF00FF);
    EXPECT_GT(Ink, 10) << N;
  }
  TKitSpeedButton B;
  EXPECT_FALSE(B.LoadGlyph("no such glyph"));
  EXPECT_TRUE(B.Glyph().Empty());
}

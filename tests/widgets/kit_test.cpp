// The kit's helpers and the button's remaining behaviour: transparent faces over the
// parent's picture, the Alt+letter accelerator and its underline, the double click of a down
// button, the glyph cache after a system-colour change, transparent bitmap drawing, the
// "not yet implemented" notice and the two hand cursors.
#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <gtest/gtest.h>

#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/qt_bridge.h"
#include "widgets/kit_const.h"
#include "widgets/kit_utils.h"
#include "widgets/speed_button.h"

namespace {

TColor Px(const TBitmap &B, int X, int Y) { return ArgbToColor(B.ScanLine(Y)[X]); }

// A plain coloured panel (the toolbar's picture in miniature).
QWidget *ColouredWidget(QWidget *Parent, QColor Colour) {
  auto *W = new QWidget(Parent);
  W->setAutoFillBackground(true);
  QPalette P = W->palette();
  P.setColor(QPalette::Window, Colour);
  W->setPalette(P);
  return W;
}

// 16 x 16, magenta background (lower-left pixel), a red square at 4..11.
TBitmap RedSquareGlyph() {
  TBitmap B(16, 16);
  B.Fill(0x00FF00FF);
  for (int Y = 4; Y < 12; ++Y)
    for (int X = 4; X < 12; ++X) B.ScanLine(Y)[X] = ColorToArgb(clRed);
  return B;
}

void SendAltKey(QWidget &Window, Qt::Key Key, const QString &Text) {
  QKeyEvent E(QEvent::KeyPress, Key, Qt::AltModifier, Text);
  QApplication::sendEvent(&Window, &E);
  QKeyEvent Up(QEvent::KeyRelease, Key, Qt::AltModifier, Text);
  QApplication::sendEvent(&Window, &Up);
}

void ShowActive(QWidget &W) {
  W.show();
  W.activateWindow();
  QApplication::setActiveWindow(&W);
  QApplication::processEvents();
}

} // namespace

TEST(KitButton, TransparentFlatButtonShowsWhatLiesUnderIt) {
  const QColor Blue(0x33, 0x66, 0xCC), Green(0x20, 0xA0, 0x40), Yellow(0xF0, 0xE0, 0x10);
  QWidget *Parent = ColouredWidget(nullptr, Blue);
  std::unique_ptr<QWidget> Owner(Parent);
  Parent->resize(100, 60);
  // A control beneath the button covers its top rows; one above it must not show.
  QWidget *Beneath = ColouredWidget(Parent, Green);
  Beneath->setGeometry(0, 0, 100, 14);
  auto *B = new TKitSpeedButton(Parent);
  B->SetBounds(10, 10, 40, 40);
  B->SetFlat(true);
  B->SetGlyph(RedSquareGlyph());
  B->SetTransparent(true);
  QWidget *Above = ColouredWidget(Parent, Yellow);
  Above->setGeometry(45, 45, 20, 10);

  B->PaintNow();
  const TBitmap &P = B->Picture();
  // blGlyphTop with Margin -1 and no caption centres the 16 x 16 glyph: (12, 12)..(27, 27).
  EXPECT_EQ(Px(P, 3, 30), FromQColor(Blue));  // face away from the glyph: the parent
  EXPECT_EQ(Px(P, 3, 2), FromQColor(Green));  // parent rows 12 and 13: the control beneath
  EXPECT_EQ(Px(P, 20, 2), FromQColor(Green));
  EXPECT_EQ(Px(P, 20, 4), FromQColor(Blue));
  EXPECT_EQ(Px(P, 38, 38), FromQColor(Blue)); // under the control above: not copied
  EXPECT_EQ(Px(P, 20, 20), KitGrayColor(clRed)); // the glyph, grey while the mouse is away
  EXPECT_EQ(Px(P, 13, 13), FromQColor(Blue)); // the glyph's magenta is left out

  // Opaque, the same button shows the button face.
  B->SetTransparent(false);
  B->PaintNow();
  EXPECT_EQ(Px(B->Picture(), 3, 30), ColorToRGB(clBtnFace));
}

TEST(KitButton, TransparentExclusiveButtonHasNoDither) {
  const QColor Blue(0x33, 0x66, 0xCC);
  std::unique_ptr<QWidget> Parent(ColouredWidget(nullptr, Blue));
  Parent->resize(60, 40);
  auto *B = new TKitSpeedButton(Parent.get());
  B->SetBounds(5, 5, 30, 30);
  B->SetGroupIndex(1);
  B->SetDown(true);
  B->SetTransparent(true);
  ASSERT_EQ(B->State(), rbsExclusive);
  B->PaintNow();
  // Inside the two-pixel down frame, neighbouring pixels would alternate face and
  // highlight in a dither; here both show the parent.
  EXPECT_EQ(Px(B->Picture(), 10, 10), FromQColor(Blue));
  EXPECT_EQ(Px(B->Picture(), 11, 10), FromQColor(Blue));
  B->SetTransparent(false);
  B->PaintNow();
  EXPECT_NE(Px(B->Picture(), 10, 10), Px(B->Picture(), 11, 10));
}

TEST(KitButton, TransparentButtonOutsideItsParentKeepsTheFace) {
  std::unique_ptr<QWidget> Parent(ColouredWidget(nullptr, QColor(0, 0, 200)));
  Parent->resize(30, 30);
  auto *B = new TKitSpeedButton(Parent.get());
  B->SetBounds(20, 20, 25, 25); // only 10 x 10 of it lies on the parent
  B->SetFlat(true);
  B->SetTransparent(true);
  B->PaintNow();
  EXPECT_EQ(Px(B->Picture(), 5, 5), RGB(0, 0, 200));
  EXPECT_EQ(Px(B->Picture(), 15, 15), ColorToRGB(clBtnFace)); // clipped to the parent
  // Without a parent there is nothing under it.
  TKitSpeedButton Alone;
  Alone.SetTransparent(true);
  Alone.PaintNow();
  EXPECT_EQ(Px(Alone.Picture(), 12, 3), ColorToRGB(clBtnFace));
}

TEST(KitButton, AltLetterClicksTheButtonOfThatAccelerator) {
  QWidget Window;
  Window.resize(200, 40);
  auto *Zoom = new TKitSpeedButton(&Window);
  Zoom->SetBounds(0, 0, 60, 25);
  Zoom->SetCaption("&Zoom");
  auto *Print = new TKitSpeedButton(&Window);
  Print->SetBounds(60, 0, 60, 25);
  Print->SetCaption("P&rint");
  auto *Amp = new TKitSpeedButton(&Window);
  Amp->SetBounds(120, 0, 60, 25);
  Amp->SetCaption("A&&B"); // a plain '&': no accelerator
  int Zooms = 0, Prints = 0, Amps = 0;
  Zoom->OnClick = [&] { ++Zooms; };
  Print->OnClick = [&] { ++Prints; };
  Amp->OnClick = [&] { ++Amps; };
  ShowActive(Window);

  SendAltKey(Window, Qt::Key_Z, "z");
  EXPECT_EQ(Zooms, 1);
  EXPECT_EQ(Prints, 0);
  SendAltKey(Window, Qt::Key_R, "r");
  EXPECT_EQ(Prints, 1);
  SendAltKey(Window, Qt::Key_B, "b");
  SendAltKey(Window, Qt::Key_A, "a");
  EXPECT_EQ(Amps, 0);

  // A disabled or hidden button is not clicked; a caption without the mark frees the key.
  Zoom->SetEnabled(false);
  SendAltKey(Window, Qt::Key_Z, "z");
  EXPECT_EQ(Zooms, 1);
  Zoom->SetEnabled(true);
  Zoom->hide();
  SendAltKey(Window, Qt::Key_Z, "z");
  EXPECT_EQ(Zooms, 1);
  Zoom->show();
  Zoom->SetCaption("Zoom");
  SendAltKey(Window, Qt::Key_Z, "z");
  EXPECT_EQ(Zooms, 1);
  Zoom->SetCaption("&Zoom");
  SendAltKey(Window, Qt::Key_Z, "z");
  EXPECT_EQ(Zooms, 2);
}

TEST(KitButton, AcceleratorLetterIsUnderlined) {
  auto Render = [](const std::string &Caption) {
    TKitSpeedButton B;
    B.SetBounds(0, 0, 70, 25);
    B.SetCaption(Caption);
    B.PaintNow();
    return B.Picture();
  };
  const TBitmap Marked = Render("&Zoom"), Plain = Render("Zoom");
  // Where the caption sits: the columns with ink of the plain caption.
  int InkLeft = 70, InkBottom = 0;
  for (int Y = 3; Y < 22; ++Y)
    for (int X = 3; X < 67; ++X)
      if (Px(Plain, X, Y) != ColorToRGB(clBtnFace)) {
        InkLeft = std::min(InkLeft, X);
        InkBottom = std::max(InkBottom, Y);
      }
  TBitmap Probe(10, 10);
  Probe.Canvas().Font() = TFont();
  const int ZWidth = Probe.Canvas().TextWidth("Z");
  auto Dark = [](TColor C) { return GetRValue(C) < 0x80 && GetGValue(C) < 0x80 && GetBValue(C) < 0x80; };
  // Below the letters' ink ("Zoom" has no descenders) a dark line runs under the "Z" and
  // nowhere else; the plain caption has nothing there.
  int UnderZ = 0;
  for (int Y = InkBottom + 1; Y <= InkBottom + 3 && Y < 25; ++Y) {
    int Row = 0;
    for (int X = 3; X < 67; ++X) { // inside the frame
      EXPECT_FALSE(Dark(Px(Plain, X, Y))) << X << "," << Y;
      if (!Dark(Px(Marked, X, Y))) continue;
      EXPECT_GE(X, InkLeft - 1);
      EXPECT_LE(X, InkLeft + ZWidth);
      ++Row;
    }
    UnderZ = std::max(UnderZ, Row);
  }
  EXPECT_GE(UnderZ, ZWidth - 1);
  // "&&" draws a plain ampersand and underlines nothing ("A&B" has no descenders either).
  const TBitmap Amp = Render("A&&B");
  int AmpUnder = 0;
  for (int Y = InkBottom + 1; Y <= InkBottom + 3 && Y < 25; ++Y)
    for (int X = 3; X < 67; ++X) AmpUnder += Dark(Px(Amp, X, Y));
  EXPECT_EQ(AmpUnder, 0);
}

namespace {

// The box around the caption's ink (pixels unlike the face) inside the frame.
TRect InkBox(const TBitmap &B) {
  TRect R(B.Width(), B.Height(), 0, 0);
  for (int Y = 3; Y < B.Height() - 3; ++Y)
    for (int X = 3; X < B.Width() - 3; ++X)
      if (Px(B, X, Y) != ColorToRGB(clBtnFace)) {
        R.Left = std::min(R.Left, X);
        R.Top = std::min(R.Top, Y);
        R.Right = std::max(R.Right, X + 1);
        R.Bottom = std::max(R.Bottom, Y + 1);
      }
  return R;
}

// The size of Text's ink in Font on the button face, drawn by the canvas alone.
TSize InkOf(const TFont &Font, const std::string &Text) {
  TBitmap B(200, 80);
  B.Fill(clBtnFace);
  B.Canvas().Font() = Font;
  B.Canvas().Brush().Style = bsClear;
  B.Canvas().TextOut(10, 10, Text);
  const TRect R = InkBox(B);
  return TSize(R.Width(), R.Height());
}

TFont FontOf(const char *Name, int Height, TFontStyles Style) {
  TFont F;
  F.Name = Name;
  F.Height = Height;
  F.Style = Style;
  F.Color = clBtnText;
  return F;
}

} // namespace

TEST(KitButton, ParentFontPaintsTheCaptionInTheParentsFont) {
  QWidget Parent;
  QFont Big("Times New Roman");
  Big.setPixelSize(24);
  Big.setBold(true);
  Parent.setFont(Big);
  auto *B = new TKitSpeedButton(&Parent);
  B->SetBounds(0, 0, 120, 44);
  B->SetCaption("HxH");
  EXPECT_TRUE(B->ParentFont());
  B->PaintNow();
  B->Picture().SaveToPng(std::string(VORNELLE_BINARY_DIR) + "/speed_button_parent_font.png");
  auto InkSize = [&] {
    B->PaintNow();
    const TRect R = InkBox(B->Picture());
    return TSize(R.Width(), R.Height());
  };
  const TSize Serif = InkOf(FontOf("Times New Roman", -24, fsBold), "HxH");
  const TSize Own = InkOf(TFont(), "HxH");
  ASSERT_GT(Serif.cy, Own.cy + 6); // the two fonts are told apart
  EXPECT_EQ(InkSize(), Serif);
  EXPECT_EQ(B->Font().Name, "Times New Roman");
  EXPECT_EQ(B->Font().Height, -24);
  EXPECT_EQ(B->Font().Style, TFontStyles(fsBold));
  EXPECT_EQ(B->Font().Color, clBtnText);

  // The parent's new font reaches the button; a point size counts at 96 dots per inch.
  QFont Mono("Courier New");
  Mono.setPointSize(12);
  Mono.setItalic(true);
  Parent.setFont(Mono);
  EXPECT_EQ(B->Font().Height, -16);
  EXPECT_EQ(InkSize(), InkOf(FontOf("Courier New", -16, fsItalic), "HxH"));

  // An own font turns ParentFont off; turning it on again takes the parent's.
  B->SetFont(TFont());
  EXPECT_FALSE(B->ParentFont());
  EXPECT_EQ(InkSize(), Own);
  B->SetParentFont(true);
  EXPECT_EQ(InkSize(), InkOf(FontOf("Courier New", -16, fsItalic), "HxH"));
  B->SetParentFont(false);
  EXPECT_EQ(InkSize(), Own);

  // Without a parent the button keeps its own font.
  TKitSpeedButton Alone;
  Alone.SetBounds(0, 0, 120, 44);
  Alone.SetCaption("HxH");
  EXPECT_TRUE(Alone.ParentFont());
  Alone.PaintNow();
  const TRect R = InkBox(Alone.Picture());
  EXPECT_EQ(TSize(R.Width(), R.Height()), Own);
}

TEST(KitButton, FlatButtonStaysFlatWhileAnotherProgramIsActive) {
  QWidget Window;
  Window.resize(100, 60);
  auto *B = new TKitSpeedButton(&Window);
  B->SetBounds(10, 10, 30, 30);
  B->SetFlat(true);
  Window.show();
  QApplication::processEvents();
  // None of the program's windows is active: the mouse over the button raises nothing.
  QApplication::setActiveWindow(nullptr);
  ASSERT_EQ(QApplication::activeWindow(), nullptr);
  QEnterEvent Enter(QPointF(5, 5), QPointF(15, 15), B->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(B, &Enter);
  QMouseEvent Move(QEvent::MouseMove, QPointF(6, 6), B->mapToGlobal(QPointF(6, 6)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(B, &Move);
  EXPECT_FALSE(B->MouseInControl());
  B->PaintNow();
  EXPECT_EQ(Px(B->Picture(), 0, 0), ColorToRGB(clBtnFace)); // no frame
  // The program comes to the front: the button raises under the mouse.
  ShowActive(Window);
  QApplication::sendEvent(B, &Enter);
  EXPECT_TRUE(B->MouseInControl());
  B->PaintNow();
  EXPECT_EQ(Px(B->Picture(), 0, 0), ColorToRGB(clBtnHighlight));
}

TEST(KitButton, DoubleClickHandlerOnlyWhenDown) {
  QWidget Parent;
  auto *B = new TKitSpeedButton(&Parent);
  B->SetBounds(0, 0, 25, 25);
  int DblClicks = 0, Clicks = 0;
  B->OnDblClick = [&] { ++DblClicks; };
  B->OnClick = [&] { ++Clicks; };
  auto Send = [&](QEvent::Type Type) {
    QMouseEvent E(Type, QPointF(5, 5), B->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                  Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(B, &E);
  };
  // Not down: the double click is a plain second press and release.
  Send(QEvent::MouseButtonPress);
  Send(QEvent::MouseButtonRelease);
  Send(QEvent::MouseButtonDblClick);
  EXPECT_EQ(B->State(), rbsDown);
  Send(QEvent::MouseButtonRelease);
  EXPECT_EQ(DblClicks, 0);
  EXPECT_EQ(Clicks, 2);
  // Down in a group: the double click reaches the handler too.
  B->SetGroupIndex(3);
  B->SetAllowAllUp(true);
  Send(QEvent::MouseButtonPress);
  Send(QEvent::MouseButtonRelease);
  ASSERT_TRUE(B->Down());
  Send(QEvent::MouseButtonDblClick);
  EXPECT_EQ(DblClicks, 1);
  Send(QEvent::MouseButtonRelease);
  EXPECT_FALSE(B->Down()); // the second release toggles it as usual
}

TEST(KitButton, SystemColourChangeReleasesTheGlyphCache) {
  const int Before = GlyphCacheImageCount();
  TKitSpeedButton B;
  B.SetGlyph(RedSquareGlyph());
  B.SetFlat(true);
  B.PaintNow();
  ASSERT_GE(B.GlyphData().CacheIndex(rbsInactive), 0);
  EXPECT_EQ(GlyphCacheImageCount(), Before + 1);
  QEvent Change(QEvent::ApplicationPaletteChange);
  QApplication::sendEvent(&B, &Change);
  for (TKitButtonState S : {rbsUp, rbsDisabled, rbsDown, rbsExclusive, rbsInactive})
    EXPECT_EQ(B.GlyphData().CacheIndex(S), -1);
  EXPECT_EQ(GlyphCacheImageCount(), Before);
  B.PaintNow(); // built anew on the next paint
  EXPECT_GE(B.GlyphData().CacheIndex(rbsInactive), 0);
}

TEST(KitUtils, StretchBltTransparentLeavesTheColourOut) {
  // 4 x 4: magenta with a blue 2 x 2 centre.
  TBitmap Src(4, 4);
  Src.Fill(0x00FF00FF);
  for (int Y = 1; Y < 3; ++Y)
    for (int X = 1; X < 3; ++X) Src.ScanLine(Y)[X] = ColorToArgb(clBlue);
  TBitmap Dst(12, 12);
  Dst.Fill(clYellow);
  StretchBltTransparent(Dst.Canvas(), TRect(2, 2, 10, 10), Src, TRect(0, 0, 4, 4), 0x00FF00FF);
  // Doubled: blue at 4..7, the magenta ring left out.
  for (int Y = 0; Y < 12; ++Y)
    for (int X = 0; X < 12; ++X) {
      const bool InBlue = X >= 4 && X < 8 && Y >= 4 && Y < 8;
      EXPECT_EQ(Px(Dst, X, Y), InBlue ? clBlue : clYellow) << X << "," << Y;
    }
}

TEST(KitUtils, BitmapRectTransparentTakesOrIgnoresTheColour) {
  TBitmap Src(4, 4);
  Src.Fill(clLime);
  Src.ScanLine(0)[0] = ColorToArgb(clRed);
  Src.ScanLine(3)[3] = ColorToArgb(clBlue);
  // clDefault: the lower-left pixel (lime) is transparent.
  TBitmap A(6, 6);
  A.Fill(clWhite);
  DrawBitmapRectTransparent(A.Canvas(), 1, 1, TRect(0, 0, 4, 4), Src, clDefault);
  EXPECT_EQ(Px(A, 1, 1), clRed);
  EXPECT_EQ(Px(A, 4, 4), clBlue);
  EXPECT_EQ(Px(A, 2, 2), clWhite);
  // clNone: everything is copied.
  TBitmap B(6, 6);
  B.Fill(clWhite);
  DrawBitmapRectTransparent(B.Canvas(), 1, 1, TRect(0, 0, 4, 4), Src, clNone);
  EXPECT_EQ(Px(B, 2, 2), clLime);
  // A part of the source, and a size of 0 taking the bitmap's own.
  TBitmap C(6, 6);
  C.Fill(clWhite);
  DrawBitmapRectTransparent(C.Canvas(), 0, 0, TRect(2, 2, 4, 4), Src, clLime);
  EXPECT_EQ(Px(C, 1, 1), clBlue);
  EXPECT_EQ(Px(C, 0, 0), clWhite);
  EXPECT_EQ(Px(C, 2, 2), clWhite); // only 2 x 2 drawn
  TBitmap D(6, 6);
  D.Fill(clWhite);
  StretchBitmapRectTransparent(D.Canvas(), 0, 0, 0, 0, TRect(0, 0, 4, 4), Src, clLime);
  EXPECT_EQ(Px(D, 3, 3), clBlue);
  // Empty rectangles draw nothing and do not fail.
  StretchBltTransparent(D.Canvas(), TRect(3, 3, 3, 3), Src, TRect(0, 0, 4, 4), clLime);
  StretchBltTransparent(D.Canvas(), TRect(0, 0, 4, 4), Src, TRect(2, 2, 2, 2), clLime);
  EXPECT_EQ(Px(D, 3, 3), clBlue);
}

TEST(KitUtils, ImageListEntryDrawnEmbossedAsDisabled) {
  // Two 4 x 4 entries on lime (their lower-left pixel, so their transparent colour); the
  // second has black ink at (1, 1) and a white pixel at (2, 2), which is not ink.
  std::vector<TBitmap> List(2, TBitmap(4, 4));
  for (TBitmap &B : List) {
    B.Fill(clLime);
    B.Transparent = true;
  }
  List[1].ScanLine(1)[1] = ColorToArgb(clBlack);
  List[1].ScanLine(2)[2] = ColorToArgb(clWhite);
  TBitmap D(8, 8);
  D.Fill(clRed);
  ImageListDrawDisabled(List, D.Canvas(), 2, 3, 1, clYellow, clBlue);
  for (int Y = 0; Y < 8; ++Y)
    for (int X = 0; X < 8; ++X) {
      const TColor Want = X == 3 && Y == 4 ? clBlue : X == 4 && Y == 5 ? clYellow : clRed;
      EXPECT_EQ(Px(D, X, Y), Want) << X << "," << Y;
    }
  // The button colours by default; indices outside the list draw nothing.
  TBitmap E(8, 8);
  E.Fill(clRed);
  ImageListDrawDisabled(List, E.Canvas(), 0, 0, 1);
  EXPECT_EQ(Px(E, 1, 1), ColorToRGB(clBtnShadow));
  EXPECT_EQ(Px(E, 2, 2), ColorToRGB(clBtnHighlight));
  for (int Index : {-1, 2}) ImageListDrawDisabled(List, E.Canvas(), 4, 4, Index);
  EXPECT_EQ(Px(E, 5, 5), clRed);
}

TEST(KitUtils, NotImplementedTellsAndRestoresTheCursor) {
  std::string Shown;
  TMsgDlgType Kind = mtCustom;
  SetMessageDlgHook([&](const std::string &Text, TMsgDlgType Type, TMsgDlgButtons) {
    Shown = Text;
    Kind = Type;
    return mrOk;
  });
  Screen->SetCursor(crHourGlass);
  EXPECT_NO_THROW(NotImplemented());
  SetMessageDlgHook(nullptr);
  EXPECT_EQ(Shown, "Function not yet implemented");
  EXPECT_EQ(Kind, mtInformation);
  EXPECT_EQ(Screen->Cursor(), crDefault);
}

TEST(KitConst, HandCursorsResolveToTheirPictures) {
  LoadKitCursors();
  EXPECT_EQ(crHand, 14000);
  EXPECT_EQ(crDragHand, 14001);
  const QImage Hand = QImage(":/widgets/KIT_HANDCUR.png").convertToFormat(QImage::Format_ARGB32);
  const QImage Drag = QImage(":/widgets/KIT_DRAGCUR.png").convertToFormat(QImage::Format_ARGB32);
  ASSERT_FALSE(Hand.isNull());
  ASSERT_FALSE(Drag.isNull());
  EXPECT_NE(Hand, Drag);
  for (auto [Id, Picture] : {std::pair{crHand, Hand}, std::pair{crDragHand, Drag}}) {
    const QCursor C = ToQCursor(Id);
    EXPECT_EQ(C.shape(), Qt::BitmapCursor);
    EXPECT_EQ(C.pixmap().toImage().convertToFormat(QImage::Format_ARGB32), Picture);
    // The hot spot sits on the white of the palm.
    EXPECT_EQ(Picture.pixel(C.hotSpot()), qRgba(255, 255, 255, 255));
  }
}

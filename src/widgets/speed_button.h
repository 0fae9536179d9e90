#pragma once
// TKitSpeedButton: a flat-capable speed button that can carry a drop-down menu. Pressing
// a button with a DropDownMenu pops the menu up under (or beside) it instead of clicking;
// a small arrow mark beside the glyph shows that it has one. Buttons of one GroupIndex
// under the same parent are exclusive; AllowTimer makes a held button click repeatedly.
// The button paints itself through an off-screen TBitmap with the classic frame colours;
// the glyph images of its five states are built once and kept in a cache shared by all
// buttons whose glyphs have the same size.
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/types.h"

class QMenu;
class QTimer;

enum TKitButtonState { rbsUp, rbsDisabled, rbsDown, rbsExclusive, rbsInactive };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TKitDropDownMenuPos { dmpBottom, dmpRight };
enum TPopupAlignment { paLeft, paRight, paCenter };
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// The grey of the inactive glyph: (R * 77 + G * 150 + B * 29) >> 8 on every channel.
TColor KitGrayColor(TColor C);
// A grey copy of Source: every pixel that is neither Transparent nor clBtnFace becomes
// its grey (KitGrayColor).
TBitmap CreateGrayBitmap(const TBitmap &Source, TColor Transparent);
// The embossed disabled look of Source from two monochrome passes: the ink (pixels that
// are neither Transparent nor white) drawn in Highlight one pixel down and right, then in
// Shadow in place, on a background of Transparent.
TBitmap CreateDisabledBitmapEx(const TBitmap &Source, TColor Transparent, TColor Highlight,
                               TColor Shadow);
TBitmap CreateDisabledBitmap(const TBitmap &Source, TColor Transparent);
// Shortens Text with "..." until it fits MaxWidth on Canvas (an empty text when even
// "..." does not fit).
std::string MinimizeText(const std::string &Text, TCanvas &Canvas, int MaxWidth);

// The glyph strip of one button and the cached images of its states.
class TKitButtonGlyph {
public:
  TKitButtonGlyph();
  ~TKitButtonGlyph();
  TKitButtonGlyph(const TKitButtonGlyph &) = delete;
  TKitButtonGlyph &operator=(const TKitButtonGlyph &) = delete;

  const TBitmap &Glyph() const { return Strip; }
  void SetGlyph(const TBitmap &Glyph); // takes the transparent colour, drops the cache
  int NumGlyphs() const { return Num; }
  void SetNumGlyphs(int Value); // 1..4; others ignored
  TColor TransparentColor() const { return Transparent; }
  bool Empty() const { return Strip.Empty(); }
  // Size of one image of the strip.
  TSize GlyphSize() const;
  // The image of a state, built on first use (an empty bitmap when there is no glyph).
  const TBitmap &StateImage(TKitButtonState State);
  // Index of the cached image of a state, -1 while it is not built.
  int CacheIndex(TKitButtonState State) const { return Index[State]; }
  void Invalidate(); // releases the cached images

private:
  TBitmap Strip;
  int Num = 1;
  TColor Transparent = 0x00FF00FF;
  int Index[5] = {-1, -1, -1, -1, -1};
};

// Live glyph lists and images of the shared cache (for tests and diagnostics).
int GlyphCacheListCount();
int GlyphCacheImageCount();

class TKitSpeedButton : public QWidget {
  Q_OBJECT
public:
  explicit TKitSpeedButton(QWidget *Parent = nullptr);
  ~TKitSpeedButton() override;
  static int LiveButtons();

  void SetBounds(int Left, int Top, int Width, int Height);
  int Width() const { return BtnWidth; }
  int Height() const { return BtnHeight; }
  QSize sizeHint() const override { return QSize(BtnWidth, BtnHeight); }
  QSize minimumSizeHint() const override { return sizeHint(); }

  // A letter after '&' is the accelerator: Alt+letter clicks the button, and the letter is
  // drawn underlined ("&&" is a plain '&').
  std::string Caption() const { return CaptionText; }
  void SetCaption(const std::string &Text);
  // Glyph strip of NumGlyphs images side by side; lower-left pixel = transparent colour.
  const TBitmap &Glyph() const { return ButtonGlyph.Glyph(); }
  void SetGlyph(const TBitmap &Glyph);
  void SetGlyph(const QImage &Glyph);
  // Loads a glyph of the program's resources (":/widgets/glyphs/<Name>.png").
  bool LoadGlyph(const std::string &Name);
  int NumGlyphs() const { return ButtonGlyph.NumGlyphs(); }
  void SetNumGlyphs(int Value);
  TKitButtonGlyph &GlyphData() { return ButtonGlyph; }

  int GroupIndex() const { return Group; }
  void SetGroupIndex(int Value);
  bool AllowAllUp() const { return AllUp; }
  void SetAllowAllUp(bool Value);
  bool Down() const { return IsDown; }
  void SetDown(bool Value);
  bool Flat() const { return IsFlat; }
  void SetFlat(bool Value);
  TButtonLayout Layout() const { return GlyphLayout; }
  void SetLayout(TButtonLayout Value);
  int Margin() const { return BtnMargin; }
  void SetMargin(int Value); // >= -1 only
  int Spacing() const { return BtnSpacing; }
  void SetSpacing(int Value);
  bool GrayedInactive() const { return Grayed; }
  void SetGrayedInactive(bool Value);
  bool MarkDropDown() const { return Mark; }
  void SetMarkDropDown(bool Value);
  bool WordWrap() const { return Wrap; }
  void SetWordWrap(bool Value);
  TButtonStyle Style() const { return BtnStyle; }
  void SetStyle(TButtonStyle Value);
  // Transparent: the face shows what lies under the button (the parent and the controls
  // beneath it) instead of the button colour.
  bool Transparent() const { return IsTransparent; }
  void SetTransparent(bool Value);
  TAlignment Alignment() const { return CaptionAlign; }
  void SetAlignment(TAlignment Value);
  // The font the caption is painted with: with ParentFont (the default) the parent
  // widget's face, size and style, in the button's own font colour (a widget's font has
  // none; its text colour follows the desktop's palette, the button's face does not).
  TFont Font() const;
  // The button's own font; setting it turns ParentFont off.
  void SetFont(const TFont &F);
  bool ParentFont() const { return UseParentFont; }
  void SetParentFont(bool Value);
  int ModalResult = 0;

  // "short|long": the tooltip shows the short part, the application's hint (the status
  // bar) the whole text while the mouse is over the button.
  std::string Hint() const { return HintText; }
  void SetHint(const std::string &Text);

  bool Enabled() const { return isEnabled(); }
  void SetEnabled(bool Value);

  QMenu *DropDownMenu() const { return Menu; }
  void SetDropDownMenu(QMenu *M);
  TKitDropDownMenuPos MenuPosition() const { return MenuPos; }
  void SetMenuPosition(TKitDropDownMenuPos Value) { MenuPos = Value; }
  // Where the menu's point sits against the menu (the menu's own alignment).
  TPopupAlignment MenuAlignment = paLeft;
  // False: pressing the button does not drop the menu (a manual CheckBtnMenuDropDown does).
  bool MenuAutoPopup = true;

  bool AllowTimer() const { return TimerAllowed; }
  void SetAllowTimer(bool Value);
  int InitPause = 500;      // ms before the first repeat
  int RepeatInterval = 100; // ms between repeats

  // Fired before the menu drops, so the owner can tick the item whose Tag is current.
  std::function<void()> OnPopup;
  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
  std::function<void()> OnMouseEnter;
  std::function<void()> OnMouseLeave;

  // Clicks the button (as a release inside it does).
  void Click();
  // Pops up the drop-down menu; Manual ignores MenuAutoPopup. True when a menu was shown.
  bool CheckBtnMenuDropDown(bool Manual = false);
  // The menu point in client coordinates (step of MenuPosition and MenuAlignment).
  QPoint MenuPoint() const;

  TKitButtonState State() const { return BtnState; }
  bool MouseInControl() const { return MouseIn; }
  bool MenuTracking() const { return Tracking; }
  // The picture of the last paint (what the screen shows).
  const TBitmap &Picture() const { return OffScreen; }
  // Paints into Picture() now.
  void PaintNow();

  // Tests replace the modal menu: the hook gets the menu and its screen position.
  static std::function<void(QMenu *Menu, QPoint ScreenPos)> PopupHook;

protected:
  // Draws caption, glyph and mark into ARect of Canvas.
  virtual void PaintGlyph(TCanvas &Canvas, TRect ARect, TKitButtonState AState, bool DrawMark);
  void paintEvent(QPaintEvent *) override;
  void mousePressEvent(QMouseEvent *) override;
  void mouseMoveEvent(QMouseEvent *) override;
  void mouseReleaseEvent(QMouseEvent *) override;
  void mouseDoubleClickEvent(QMouseEvent *) override;
  void enterEvent(QEnterEvent *) override;
  void leaveEvent(QEvent *) override;
  // A sheet that goes away takes no leave event with it: the mouse is checked again when
  // the button is hidden and when it shows again.
  void showEvent(QShowEvent *) override;
  void hideEvent(QHideEvent *) override;
  void changeEvent(QEvent *) override;
  bool event(QEvent *) override;

private:
  void Paint();
  void DrawFrame(TCanvas &Canvas, TRect &R, TKitButtonState PaintState);
  void UpdateExclusive();
  void ButtonPressed(int AGroup, TKitSpeedButton *Sender);
  bool InsideClient(int X, int Y) const;
  void TimerTick();
  void SetMouseIn(bool In);
  // Whether the cursor is over this button, from the cursor itself.
  bool CursorOver() const;
  void Repaint();
  void UpdateAccelerator();

  int BtnWidth = 25, BtnHeight = 25;
  std::string CaptionText;
  TKitButtonGlyph ButtonGlyph;
  int Group = 0;
  bool AllUp = false;
  bool IsDown = false;
  bool IsFlat = false;
  TButtonLayout GlyphLayout = blGlyphTop;
  int BtnMargin = -1;
  int BtnSpacing = 1;
  bool Grayed = true;
  bool Mark = true;
  bool Wrap = false;
  TButtonStyle BtnStyle = bsAutoDetect;
  TAlignment CaptionAlign = taCenter;
  bool IsTransparent = false;
  int AccelId = 0; // the grabbed Alt+letter shortcut, 0 when none
  TFont BtnFont;
  bool UseParentFont = true;
  std::string HintText;
  QMenu *Menu = nullptr;
  TKitDropDownMenuPos MenuPos = dmpBottom;
  bool TimerAllowed = false;
  QTimer *RepeatTimer = nullptr;

  TKitButtonState BtnState = rbsUp;
  bool Dragging = false;
  bool MouseIn = false;
  bool Tracking = false;
  bool MenuShown = false; // a menu was shown during the current press
  TBitmap OffScreen;
};

#include "widgets/speed_button.h"

#include <QApplication>
#include <QDialog>
#include <QEnterEvent>
#include <QFile>
#include <QKeySequence>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "platform/application.h"
#include "platform/qt_bridge.h"
#include "widgets/kit_utils.h"

// ---------------------------------------------------------------------------------------
// Picture helpers

TColor KitGrayColor(TColor C) {
  const TColor Rgb = ColorToRGB(C);
  const int Gray = (GetRValue(Rgb) * 77 + GetGValue(Rgb) * 150 + GetBValue(Rgb) * 29) >> 8;
  return RGB(Gray, Gray, Gray);
}

namespace {

TColor PixelOf(const TBitmap &B, int X, int Y) { return ArgbToColor(B.ScanLine(Y)[X]); }
void SetPixelOf(TBitmap &B, int X, int Y, TColor C) { B.ScanLine(Y)[X] = ColorToArgb(C); }

} // namespace

TBitmap CreateGrayBitmap(const TBitmap &Source, TColor Transparent) {
  TBitmap Result(Source);
  const TColor Tr = ColorToRGB(Transparent), Face = ColorToRGB(clBtnFace);
  for (int Y = 0; Y < Result.Height(); ++Y)
    for (int X = 0; X < Result.Width(); ++X) {
      const TColor C = PixelOf(Result, X, Y);
      if (C != Tr && C != Face) SetPixelOf(Result, X, Y, KitGrayColor(C));
    }
  return Result;
}

TBitmap CreateDisabledBitmapEx(const TBitmap &Source, TColor Transparent, TColor Highlight,
                               TColor Shadow) {
  const int W = Source.Width(), H = Source.Height();
  TBitmap Result(W, H);
  const TColor Tr = ColorToRGB(Transparent);
  Result.Fill(Tr);
  // The monochrome pass: ink is what is neither background nor white.
  std::vector<char> Ink(size_t(W) * size_t(H));
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) {
      const TColor C = PixelOf(Source, X, Y);
      Ink[size_t(Y) * W + X] = C != Tr && C != clWhite;
    }
  const TColor Hi = ColorToRGB(Highlight), Sh = ColorToRGB(Shadow);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X)
      if (Ink[size_t(Y) * W + X] && X + 1 < W && Y + 1 < H) SetPixelOf(Result, X + 1, Y + 1, Hi);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X)
      if (Ink[size_t(Y) * W + X]) SetPixelOf(Result, X, Y, Sh);
  return Result;
}

TBitmap CreateDisabledBitmap(const TBitmap &Source, TColor Transparent) {
  return CreateDisabledBitmapEx(Source, Transparent, clBtnHighlight, clBtnShadow);
}

std::string MinimizeText(const std::string &Text, TCanvas &Canvas, int MaxWidth) {
  if (Canvas.TextWidth(Text) <= MaxWidth) return Text;
  std::string S = Text;
  while (!S.empty()) {
    // Drop a whole UTF-8 character.
    do S.pop_back();
    while (!S.empty() && (static_cast<unsigned char>(S.back()) & 0xC0) == 0x80);
    if (Canvas.TextWidth(S + "...") <= MaxWidth) return S + "...";
  }
  return Canvas.TextWidth("...") <= MaxWidth ? std::string("...") : std::string();
}

// ---------------------------------------------------------------------------------------
// The glyph cache: one list of images per glyph size, shared by all buttons.

namespace {

struct TGlyphList {
  int W = 0, H = 0;
  std::vector<std::unique_ptr<TBitmap>> Slots; // null: a free slot, reused first
  int Count = 0;

  int Add(TBitmap Image) {
    auto P = std::make_unique<TBitmap>(std::move(Image));
    ++Count;
    for (size_t I = 0; I < Slots.size(); ++I)
      if (!Slots[I]) {
        Slots[I] = std::move(P);
        return int(I);
      }
    Slots.push_back(std::move(P));
    return int(Slots.size()) - 1;
  }
  void Delete(int Index) {
    if (Index < 0 || Index >= int(Slots.size()) || !Slots[Index]) return;
    Slots[Index].reset();
    --Count;
  }
};

struct TGlyphCache {
  std::vector<std::unique_ptr<TGlyphList>> Lists;

  TGlyphList *Find(int W, int H) {
    for (auto It = Lists.rbegin(); It != Lists.rend(); ++It)
      if ((*It)->W == W && (*It)->H == H) return It->get();
    return nullptr;
  }
  TGlyphList *GetList(int W, int H) {
    if (TGlyphList *L = Find(W, H)) return L;
    auto L = std::make_unique<TGlyphList>();
    L->W = W;
    L->H = H;
    Lists.push_back(std::move(L));
    return Lists.back().get();
  }
  void ReturnList(TGlyphList *L) {
    if (!L || L->Count > 0) return;
    std::erase_if(Lists, [L](const std::unique_ptr<TGlyphList> &P) { return P.get() == L; });
  }
};

std::unique_ptr<TGlyphCache> GlyphCache;
int GlyphObjects = 0;
int ButtonCount = 0;
const TBitmap EmptyBitmap;

} // namespace

int GlyphCacheListCount() { return GlyphCache ? int(GlyphCache->Lists.size()) : 0; }
int GlyphCacheImageCount() {
  int N = 0;
  if (GlyphCache)
    for (auto &L : GlyphCache->Lists) N += L->Count;
  return N;
}

TKitButtonGlyph::TKitButtonGlyph() { ++GlyphObjects; }

TKitButtonGlyph::~TKitButtonGlyph() {
  Invalidate();
  if (--GlyphObjects == 0) GlyphCache.reset();
}

void TKitButtonGlyph::Invalidate() {
  if (!GlyphCache) {
    std::fill(std::begin(Index), std::end(Index), -1);
    return;
  }
  const TSize S = GlyphSize();
  TGlyphList *L = GlyphCache->Find(S.cx, S.cy);
  for (int &I : Index) {
    if (I >= 0 && L) L->Delete(I);
    I = -1;
  }
  GlyphCache->ReturnList(L);
}

void TKitButtonGlyph::SetGlyph(const TBitmap &Glyph) {
  Invalidate();
  Strip = Glyph;
  if (!Strip.Empty()) Transparent = PixelOf(Strip, 0, Strip.Height() - 1);
}

void TKitButtonGlyph::SetNumGlyphs(int Value) {
  if (Value < 1 || Value > 4 || Value == Num) return;
  Invalidate();
  Num = Value;
}

TSize TKitButtonGlyph::GlyphSize() const {
  if (Strip.Empty()) return TSize(0, 0);
  return TSize(Strip.Width() / Num, Strip.Height());
}

const TBitmap &TKitButtonGlyph::StateImage(TKitButtonState State) {
  const TSize S = GlyphSize();
  if (S.cx <= 0 || S.cy <= 0) return EmptyBitmap;
  if (!GlyphCache) GlyphCache = std::make_unique<TGlyphCache>();
  TGlyphList *L = GlyphCache->GetList(S.cx, S.cy);
  if (Index[State] < 0) {
    auto Part = [&](int K) {
      TBitmap B(S.cx, S.cy);
      for (int Y = 0; Y < S.cy; ++Y)
        for (int X = 0; X < S.cx; ++X) SetPixelOf(B, X, Y, PixelOf(Strip, K * S.cx + X, Y));
      return B;
    };
    TBitmap Image;
    switch (State) {
    case rbsUp: Image = Part(0); break;
    case rbsDown: Image = Part(Num > 2 ? 2 : 0); break;
    case rbsExclusive: Image = Part(Num > 3 ? 3 : 0); break;
    case rbsDisabled:
      Image = Num > 1 ? Part(1) : CreateDisabledBitmap(Part(0), Transparent);
      break;
    case rbsInactive: Image = CreateGrayBitmap(Part(0), Transparent); break;
    }
    Image.Transparent = true;
    Image.SetTransparentColor(Transparent);
    Index[State] = L->Add(std::move(Image));
  }
  return *L->Slots[Index[State]];
}

// ---------------------------------------------------------------------------------------
// The button

std::function<void(QMenu *, QPoint)> TKitSpeedButton::PopupHook;

TKitSpeedButton::TKitSpeedButton(QWidget *Parent) : QWidget(Parent) {
  ++ButtonCount;
  BtnFont.Color = clBtnText;
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setMouseTracking(true);
  resize(BtnWidth, BtnHeight);
}

TKitSpeedButton::~TKitSpeedButton() {
  --ButtonCount;
  if (RepeatTimer) RepeatTimer->stop();
}

int TKitSpeedButton::LiveButtons() { return ButtonCount; }

void TKitSpeedButton::Repaint() { update(); }

void TKitSpeedButton::SetBounds(int Left, int Top, int W, int H) {
  BtnWidth = std::max(0, W);
  BtnHeight = std::max(0, H);
  setGeometry(Left, Top, BtnWidth, BtnHeight);
  setFixedSize(BtnWidth, BtnHeight);
  updateGeometry();
}

void TKitSpeedButton::SetCaption(const std::string &Text) {
  if (Text == CaptionText) return;
  CaptionText = Text;
  UpdateAccelerator();
  Repaint();
}

void TKitSpeedButton::UpdateAccelerator() {
  if (AccelId) releaseShortcut(AccelId);
  AccelId = 0;
  const QKeySequence Key = QKeySequence::mnemonic(ToQString(CaptionText));
  if (!Key.isEmpty()) AccelId = grabShortcut(Key, Qt::WindowShortcut);
}

void TKitSpeedButton::SetTransparent(bool Value) {
  if (Value == IsTransparent) return;
  IsTransparent = Value;
  Repaint();
}

void TKitSpeedButton::SetGlyph(const TBitmap &Glyph) {
  ButtonGlyph.SetGlyph(Glyph);
  Repaint();
}

void TKitSpeedButton::SetGlyph(const QImage &Glyph) {
  SetGlyph(BitmapFromImage(Glyph.convertToFormat(QImage::Format_RGB32)));
}

bool TKitSpeedButton::LoadGlyph(const std::string &Name) {
  QFile F(ToQString(":/widgets/glyphs/" + Name + ".png"));
  if (!F.open(QIODevice::ReadOnly)) return false;
  const QByteArray Bytes = F.readAll();
  TBitmap B;
  if (!B.LoadFromPngData(std::vector<uint8_t>(Bytes.begin(), Bytes.end()))) return false;
  SetGlyph(B);
  return true;
}

void TKitSpeedButton::SetNumGlyphs(int Value) {
  ButtonGlyph.SetNumGlyphs(Value);
  Repaint();
}

void TKitSpeedButton::SetGroupIndex(int Value) {
  if (Value == Group) return;
  Group = Value;
  UpdateExclusive();
}

void TKitSpeedButton::SetAllowAllUp(bool Value) {
  if (Value == AllUp) return;
  AllUp = Value;
  UpdateExclusive();
}

void TKitSpeedButton::SetDown(bool Value) {
  if (Group == 0) Value = false;
  if (Value == IsDown) return;
  if (IsDown && !AllUp) return; // a group needs one button down
  IsDown = Value;
  BtnState = Value ? rbsExclusive : rbsUp;
  Repaint();
  if (Value) UpdateExclusive();
}

void TKitSpeedButton::SetFlat(bool Value) {
  if (Value == IsFlat) return;
  IsFlat = Value;
  Repaint();
}

void TKitSpeedButton::SetLayout(TButtonLayout Value) {
  if (Value == GlyphLayout) return;
  GlyphLayout = Value;
  Repaint();
}

void TKitSpeedButton::SetMargin(int Value) {
  if (Value < -1 || Value == BtnMargin) return;
  BtnMargin = Value;
  Repaint();
}

void TKitSpeedButton::SetSpacing(int Value) {
  if (Value == BtnSpacing) return;
  BtnSpacing = Value;
  Repaint();
}

void TKitSpeedButton::SetGrayedInactive(bool Value) {
  if (Value == Grayed) return;
  Grayed = Value;
  Repaint();
}

void TKitSpeedButton::SetMarkDropDown(bool Value) {
  if (Value == Mark) return;
  Mark = Value;
  Repaint();
}

void TKitSpeedButton::SetWordWrap(bool Value) {
  if (Value == Wrap) return;
  Wrap = Value;
  Repaint();
}

void TKitSpeedButton::SetStyle(TButtonStyle Value) {
  if (Value == BtnStyle) return;
  BtnStyle = Value;
  Repaint();
}

void TKitSpeedButton::SetAlignment(TAlignment Value) {
  if (Value == CaptionAlign) return;
  CaptionAlign = Value;
  Repaint();
}

void TKitSpeedButton::SetFont(const TFont &F) {
  BtnFont = F;
  UseParentFont = false;
  Repaint();
}

void TKitSpeedButton::SetParentFont(bool Value) {
  if (Value == UseParentFont) return;
  UseParentFont = Value;
  Repaint();
}

TFont TKitSpeedButton::Font() const {
  const QWidget *P = parentWidget();
  if (!UseParentFont || !P) return BtnFont;
  const QFont Q = P->font();
  TFont F = BtnFont;
  F.Name = FromQString(Q.family());
  // A point size counts at the layer's 96 dots per inch, as TFont's own.
  F.Height = Q.pixelSize() > 0 ? -Q.pixelSize() : -Round(Q.pointSizeF() * 96.0 / 72.0);
  F.Style = 0;
  if (Q.bold()) F.Style |= fsBold;
  if (Q.italic()) F.Style |= fsItalic;
  if (Q.underline()) F.Style |= fsUnderline;
  if (Q.strikeOut()) F.Style |= fsStrikeOut;
  return F;
}

void TKitSpeedButton::SetHint(const std::string &Text) {
  HintText = Text;
  setToolTip(ToQString(GetShortHint(Text)));
}

void TKitSpeedButton::SetEnabled(bool Value) { setEnabled(Value); }

void TKitSpeedButton::SetDropDownMenu(QMenu *M) {
  if (M == Menu) return;
  if (Menu) disconnect(Menu, nullptr, this, nullptr);
  Menu = M;
  // A menu destroyed elsewhere must not be dropped later.
  if (Menu) connect(Menu, &QObject::destroyed, this, [this] { Menu = nullptr; Repaint(); });
  Repaint();
}

void TKitSpeedButton::SetAllowTimer(bool Value) {
  TimerAllowed = Value;
  if (!Value && RepeatTimer) {
    RepeatTimer->stop();
    delete RepeatTimer;
    RepeatTimer = nullptr;
  }
}

void TKitSpeedButton::UpdateExclusive() {
  QWidget *P = parentWidget();
  if (!P) return;
  const auto Siblings = P->findChildren<TKitSpeedButton *>(Qt::FindDirectChildrenOnly);
  for (TKitSpeedButton *B : Siblings)
    if (B != this) B->ButtonPressed(Group, this);
}

void TKitSpeedButton::ButtonPressed(int AGroup, TKitSpeedButton *Sender) {
  if (AGroup == 0 || AGroup != Group || Sender == this) return;
  if (Sender->IsDown && IsDown) {
    IsDown = false;
    BtnState = rbsUp;
    Repaint();
  }
  AllUp = Sender->AllUp;
}

bool TKitSpeedButton::InsideClient(int X, int Y) const {
  // Both axes exclude the far edge.
  return X >= 0 && X < width() && Y >= 0 && Y < height();
}

void TKitSpeedButton::Click() {
  if (ModalResult != 0)
    if (auto *Dlg = qobject_cast<QDialog *>(window())) Dlg->done(ModalResult);
  if (OnClick) OnClick();
}

QPoint TKitSpeedButton::MenuPoint() const {
  if (!Menu) return QPoint(0, 0);
  const int W = width(), H = height();
  if (MenuPos == dmpBottom) {
    switch (MenuAlignment) {
    case paLeft: return QPoint(-1, H);
    case paRight: return QPoint(W + 1, H);
    case paCenter: return QPoint(W / 2, H);
    }
  } else {
    switch (MenuAlignment) {
    case paLeft: return QPoint(W, -1);
    case paRight: return QPoint(-1, -1);
    case paCenter: return QPoint(W / 2, H);
    }
  }
  return QPoint(0, 0);
}

bool TKitSpeedButton::CheckBtnMenuDropDown(bool Manual) {
  if (!Menu || (!MenuAutoPopup && !Manual)) return false;
  if (OnPopup) OnPopup();
  QPoint At = mapToGlobal(MenuPoint());
  // The point is the menu's left, right or centre by its alignment.
  const int MenuWidth = Menu->sizeHint().width();
  if (MenuAlignment == paRight) At.rx() -= MenuWidth;
  else if (MenuAlignment == paCenter) At.rx() -= MenuWidth / 2;
  // The press that closes the menu on this very button must not reopen it.
  Menu->setAttribute(Qt::WA_NoMouseReplay);
  QPointer<TKitSpeedButton> Self(this);
  if (PopupHook) PopupHook(Menu, At);
  else Menu->exec(At);
  return bool(Self);
}

void TKitSpeedButton::SetMouseIn(bool In) {
  if (In == MouseIn) return;
  MouseIn = In;
  if (IsFlat) Repaint();
  if (In) {
    if (!HintText.empty()) Application->SetHint(HintText);
    if (OnMouseEnter) OnMouseEnter();
  } else {
    if (!HintText.empty()) Application->SetHint("");
    if (OnMouseLeave) OnMouseLeave();
  }
}

void TKitSpeedButton::mousePressEvent(QMouseEvent *E) {
  if (Tracking) return;
  const int X = int(E->position().x()), Y = int(E->position().y());
  if (!MouseIn && isEnabled()) SetMouseIn(true);
  if (E->button() != Qt::LeftButton || !isEnabled()) return;
  if (!IsDown) {
    BtnState = rbsDown;
    Repaint();
  }
  Dragging = true;
  Tracking = true;
  QPointer<TKitSpeedButton> Self(this);
  MenuShown = CheckBtnMenuDropDown();
  if (!Self) return; // the menu's action destroyed the button
  if (MenuShown) {
    // The release happened inside the menu: handle it here, without a click.
    QMouseEvent Up(QEvent::MouseButtonRelease, QPointF(X, Y), E->globalPosition(),
                   Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    mouseReleaseEvent(&Up);
    if (!Self) return;
  }
  Tracking = false;
  if (TimerAllowed && Dragging) {
    if (!RepeatTimer) {
      RepeatTimer = new QTimer(this);
      connect(RepeatTimer, &QTimer::timeout, this, [this] { TimerTick(); });
    }
    RepeatTimer->start(InitPause);
  }
}

void TKitSpeedButton::mouseMoveEvent(QMouseEvent *E) {
  const int X = int(E->position().x()), Y = int(E->position().y());
  if (!Dragging) {
    if (!MouseIn && isEnabled() && InsideClient(X, Y) && IsForegroundTask()) SetMouseIn(true);
    return;
  }
  const TKitButtonState New = IsDown ? rbsExclusive : InsideClient(X, Y) ? rbsDown : rbsUp;
  if (New != BtnState) {
    BtnState = New;
    Repaint();
  }
}

void TKitSpeedButton::mouseReleaseEvent(QMouseEvent *E) {
  if (E->button() != Qt::LeftButton || !Dragging) return;
  const int X = int(E->position().x()), Y = int(E->position().y());
  Dragging = false;
  const bool Inside = InsideClient(X, Y);
  if (Group == 0) {
    BtnState = rbsUp;
    MouseIn = false;
    Repaint();
  } else if (Inside) {
    SetDown(!IsDown);
    if (IsDown) {
      BtnState = rbsExclusive;
      Repaint();
    }
  } else {
    if (IsDown) BtnState = rbsExclusive;
    Repaint();
  }
  if (RepeatTimer) RepeatTimer->stop();
  QPointer<TKitSpeedButton> Self(this);
  if (Inside && !Tracking) Click();
  if (!Self) return;
  // The click may have hidden the button (a sheet switch): ask the cursor.
  const bool Over = CursorOver();
  if (Over != MouseIn) {
    MouseIn = !Over;
    SetMouseIn(Over);
  }
}

void TKitSpeedButton::mouseDoubleClickEvent(QMouseEvent *E) {
  // The second press is still a press; the double-click handler belongs to a down button.
  QPointer<TKitSpeedButton> Self(this);
  mousePressEvent(E);
  if (Self && E->button() == Qt::LeftButton && IsDown && OnDblClick) OnDblClick();
}

void TKitSpeedButton::enterEvent(QEnterEvent *) {
  // A flat button of a program in the background stays flat under the mouse.
  if (isEnabled() && IsForegroundTask()) SetMouseIn(true);
}

void TKitSpeedButton::leaveEvent(QEvent *) {
  if (!Dragging) SetMouseIn(false);
}

bool TKitSpeedButton::CursorOver() const {
  if (!isVisible() || !isEnabled() || !IsForegroundTask()) return false;
  const QPoint At = QCursor::pos();
  return rect().contains(mapFromGlobal(At)) && QApplication::widgetAt(At) == this;
}

void TKitSpeedButton::showEvent(QShowEvent *E) {
  QWidget::showEvent(E);
  SetMouseIn(CursorOver());
}

void TKitSpeedButton::hideEvent(QHideEvent *E) {
  QWidget::hideEvent(E);
  Dragging = false;
  SetMouseIn(false);
}

void TKitSpeedButton::TimerTick() {
  if (!RepeatTimer) return;
  RepeatTimer->setInterval(RepeatInterval);
  if (BtnState == rbsDown && Dragging) Click();
}

void TKitSpeedButton::changeEvent(QEvent *E) {
  if (E->type() == QEvent::EnabledChange) {
    ButtonGlyph.Invalidate();
    if (!isEnabled()) {
      Dragging = false;
      if (RepeatTimer) RepeatTimer->stop();
      SetMouseIn(false);
      // A click counts the mouse as out of the button (the flat face goes up) while its
      // hint still shows: a button that greys itself takes its hint away too.
      if (!HintText.empty() && Application->Hint() == HintText) Application->SetHint("");
    }
    Repaint();
  }
  QWidget::changeEvent(E);
}

bool TKitSpeedButton::event(QEvent *E) {
  // A parent's font reaches its children as a font change; a new parent brings its own.
  if (E->type() == QEvent::FontChange || E->type() == QEvent::ParentChange) Repaint();
  if (E->type() == QEvent::ApplicationPaletteChange || E->type() == QEvent::ThemeChange) {
    // The system colours changed: the grey and embossed images are built anew.
    ButtonGlyph.Invalidate();
    Repaint();
  }
  if (E->type() == QEvent::Shortcut) {
    // The dialog-char handler: Alt+letter of the caption.
    auto *S = static_cast<QShortcutEvent *>(E);
    if (AccelId && S->shortcutId() == AccelId) {
      if (isEnabled() && isVisible()) Click();
      return true;
    }
  }
  return QWidget::event(E);
}

void TKitSpeedButton::paintEvent(QPaintEvent *) {
  Paint();
  QPainter P(this);
  P.drawImage(0, 0, BitmapToImage(OffScreen));
}

void TKitSpeedButton::PaintNow() { Paint(); }

void TKitSpeedButton::DrawFrame(TCanvas &C, TRect &R, TKitButtonState PaintState) {
  const bool NewStyle = BtnStyle != bsWin31;
  const bool AsDown = PaintState == rbsDown || PaintState == rbsExclusive ||
                      (PaintState == rbsInactive && BtnState == rbsExclusive);
  if (!AsDown) {
    if (NewStyle) {
      if (!IsFlat) Frame3D(C, R, clBtnHighlight, clWindowFrame, 1);
      Frame3D(C, R, IsFlat ? clBtnHighlight : clBtnFace, clBtnShadow, 1);
    } else if (!IsFlat) {
      Frame3D(C, R, clWindowFrame, clWindowFrame, 1);
      Frame3D(C, R, clBtnHighlight, clBtnShadow, 1);
    } else {
      Frame3D(C, R, clBtnHighlight, clWindowFrame, 1);
    }
  } else {
    if (NewStyle) {
      Frame3D(C, R, clWindowFrame, clBtnHighlight, 1);
      if (!IsFlat) Frame3D(C, R, clBtnShadow, clBtnFace, 1);
    } else if (!IsFlat) {
      Frame3D(C, R, clWindowFrame, clWindowFrame, 1);
      C.Pen().Color = clBtnShadow;
      C.Pen().Style = psSolid;
      C.MoveTo(R.Left, R.Bottom - 1);
      C.LineTo(R.Left, R.Top);
      C.LineTo(R.Right, R.Top);
    } else {
      Frame3D(C, R, clWindowFrame, clBtnHighlight, 1);
    }
  }
}

void TKitSpeedButton::Paint() {
  if (!isEnabled()) {
    BtnState = rbsDisabled;
    Dragging = false;
  } else if (BtnState == rbsDisabled) {
    BtnState = IsDown && Group != 0 ? rbsExclusive : rbsUp;
  }
  TKitButtonState PaintState = BtnState;
  if (IsFlat && !MouseIn) PaintState = rbsInactive;

  const int W = std::max(1, width()), H = std::max(1, height());
  if (OffScreen.Width() != W || OffScreen.Height() != H) OffScreen.SetSize(W, H);
  TCanvas &C = OffScreen.Canvas();
  C.Font() = Font();
  C.Brush().Style = bsSolid;
  C.Brush().Color = clBtnFace;
  C.FillRect(TRect(0, 0, W, H));
  if (IsTransparent) CopyParentImage(this, C);

  TRect R(0, 0, W, H);
  if (PaintState != rbsInactive || BtnState == rbsExclusive) DrawFrame(C, R, PaintState);
  else InflateRect(R, -2, -2);

  if (BtnState == rbsExclusive && !IsTransparent && (!IsFlat || PaintState == rbsInactive)) {
    // The checked face: a dither of face and highlight.
    const TColor Face = ColorToRGB(clBtnFace), Hi = ColorToRGB(clBtnHighlight);
    for (int Y = std::max(0, R.Top); Y < std::min(H, R.Bottom); ++Y)
      for (int X = std::max(0, R.Left); X < std::min(W, R.Right); ++X)
        SetPixelOf(OffScreen, X, Y, ((X + Y) & 1) ? Hi : Face);
  }
  if (BtnState == rbsDown || BtnState == rbsExclusive) OffsetRect(R, 1, 1);

  const TKitButtonState GlyphState =
      (BtnState == rbsDisabled || !Grayed) ? BtnState : PaintState;
  PaintGlyph(C, R, GlyphState, Mark && Menu != nullptr);
}

namespace {

// The drop-down mark: a down-pointing triangle of 7, 5, 3 and 1 pixels.
void DrawMarkAt(TCanvas &C, int X, int Y, TColor Color) {
  C.Pen().Color = Color;
  C.Pen().Style = psSolid;
  for (int Row = 0; Row < 4; ++Row) {
    C.MoveTo(X + Row, Y + Row);
    C.LineTo(X + 7 - Row, Y + Row);
  }
}

std::vector<std::string> WrapWords(const std::string &Text, TCanvas &C, int MaxWidth) {
  std::vector<std::string> Lines;
  std::string Line;
  size_t I = 0;
  while (I < Text.size()) {
    size_t J = Text.find(' ', I);
    if (J == std::string::npos) J = Text.size();
    const std::string Word = Text.substr(I, J - I);
    const std::string Try = Line.empty() ? Word : Line + " " + Word;
    if (!Line.empty() && C.TextWidth(Try) > MaxWidth) {
      Lines.push_back(Line);
      Line = Word;
    } else {
      Line = Try;
    }
    I = J + 1;
  }
  if (!Line.empty() || Lines.empty()) Lines.push_back(Line);
  return Lines;
}

// The caption without its '&' marks; Accel receives the byte range of the first marked
// character in the result (Len 0 when there is none).
struct TAccel {
  size_t Pos = 0, Len = 0;
};
std::string StripAccelerator(const std::string &S, TAccel &Accel) {
  std::string R;
  Accel = TAccel();
  for (size_t I = 0; I < S.size(); ++I) {
    if (S[I] == '&') {
      if (I + 1 < S.size() && S[I + 1] == '&') {
        R += '&';
        ++I;
      } else if (I + 1 < S.size() && Accel.Len == 0) {
        // A whole UTF-8 character is the accelerator.
        size_t N = 1;
        while (I + 1 + N < S.size() && (static_cast<unsigned char>(S[I + 1 + N]) & 0xC0) == 0x80) ++N;
        Accel = TAccel{R.size(), N};
      }
      continue;
    }
    R += S[I];
  }
  return R;
}

// One caption line at (X, Y); the accelerator (bytes [Pos, Pos + Len) of Line) underlined.
void DrawCaptionLine(TCanvas &C, int X, int Y, const std::string &Line, TAccel Accel) {
  C.TextOut(X, Y, Line);
  if (Accel.Len == 0 || Accel.Pos + Accel.Len > Line.size()) return;
  // Advances are whole pixels and kerning is off, so the letter starts where the text
  // before it ends. The mark sits a pixel under the baseline, as the font's underline.
  const int Left = X + C.TextWidth(Line.substr(0, Accel.Pos));
  const int Width = C.TextWidth(Line.substr(Accel.Pos, Accel.Len));
  const TTextMetric M = C.TextMetrics();
  const int Thick = std::max(1, M.tmAscent / 12);
  const TBrush Save = C.Brush();
  C.Brush() = TBrush{C.Font().Color, bsSolid};
  C.FillRect(TRect(Left, Y + M.tmAscent + 1, Left + Width, Y + M.tmAscent + 1 + Thick));
  C.Brush() = Save;
}

} // namespace

void TKitSpeedButton::PaintGlyph(TCanvas &C, TRect ARect, TKitButtonState AState,
                                 bool DrawMark) {
  const int CX = ARect.Width(), CY = ARect.Height();
  const TSize Orig = ButtonGlyph.GlyphSize();
  TSize G = Orig;
  const bool Horizontal = GlyphLayout == blGlyphLeft || GlyphLayout == blGlyphRight;
  const int MarginPart = BtnMargin != -1 ? BtnMargin : 0;
  const int SpacingPart = BtnSpacing != -1 ? BtnSpacing : 0;

  // The caption, shortened to the room it has.
  std::vector<std::string> Lines;
  TAccel Accel;
  std::string Text = StripAccelerator(CaptionText, Accel);
  if (!Text.empty()) {
    if (Horizontal) {
      const int Room = std::max(0, CX - G.cx - MarginPart - SpacingPart - (DrawMark ? 9 : 0));
      Lines.push_back(MinimizeText(Text, C, Room));
    } else if (Wrap) {
      Lines = WrapWords(Text, C, CX);
      const int Room = std::max(0, CY - G.cy - MarginPart - SpacingPart);
      const int LineH = C.TextHeight("Ag");
      while (Lines.size() > 1 && int(Lines.size()) * LineH > Room) Lines.pop_back();
    } else {
      Lines.push_back(MinimizeText(Text, C, CX));
    }
  }
  TSize T(0, 0);
  for (const auto &L : Lines) {
    T.cx = std::max(T.cx, C.TextWidth(L));
    T.cy += C.TextHeight(L.empty() ? std::string("Ag") : L);
  }
  if (Lines.size() == 1 && Lines[0].empty()) T = TSize(0, 0);
  const TSize TextOnly = T;

  if (DrawMark) {
    if (Orig.cx > 0 && GlyphLayout != blGlyphLeft) G.cx += 6;
    else T.cx += 9;
  }

  int Margin = BtnMargin, Spacing = BtnSpacing;
  if ((T.cx == 0 && T.cy == 0) || (G.cx == 0 && G.cy == 0) || Orig.cx == 0 || TextOnly.cx == 0)
    Spacing = 0;
  const int CAxis = Horizontal ? CX : CY;
  const int GAxis = Horizontal ? G.cx : G.cy;
  const int TAxis = Horizontal ? T.cx : T.cy;
  if (Margin == -1) {
    if (Spacing != -1) {
      const int Total = GAxis + Spacing + TAxis;
      Margin = CAxis / 2 - Total / 2;
    } else {
      Margin = Spacing = (CAxis - GAxis - TAxis) / 3;
    }
  } else if (Spacing == -1) {
    Spacing = (CAxis - Margin - GAxis) / 2 - TAxis / 2;
  }

  TPoint GlyphPos, TextPos;
  if (Horizontal) {
    GlyphPos.Y = CY / 2 - G.cy / 2;
    TextPos.Y = CY / 2 - T.cy / 2;
    if (GlyphLayout == blGlyphLeft) {
      GlyphPos.X = Margin;
      TextPos.X = GlyphPos.X + G.cx + Spacing;
    } else {
      GlyphPos.X = CX - Margin - G.cx;
      TextPos.X = GlyphPos.X - Spacing - T.cx;
    }
  } else {
    GlyphPos.X = CX / 2 - G.cx / 2;
    TextPos.X = CX / 2 - T.cx / 2;
    if (GlyphLayout == blGlyphTop) {
      GlyphPos.Y = Margin;
      TextPos.Y = GlyphPos.Y + G.cy + Spacing;
    } else {
      GlyphPos.Y = CY - Margin - G.cy;
      TextPos.Y = GlyphPos.Y - Spacing - T.cy;
    }
  }
  GlyphPos = GlyphPos + ARect.TopLeft();
  TextPos = TextPos + ARect.TopLeft();

  if (Orig.cx > 0)
    DrawBitmapRectTransparent(C, GlyphPos.X, GlyphPos.Y, TRect(0, 0, Orig.cx, Orig.cy),
                              ButtonGlyph.StateImage(AState), ButtonGlyph.TransparentColor());

  const bool Disabled = AState == rbsDisabled;
  if (!Lines.empty() && TextOnly.cx > 0) {
    C.Brush().Style = bsClear;
    int Y = TextPos.Y;
    size_t Offset = 0; // of the line in Text: wrapped lines were split at single spaces
    for (const auto &L : Lines) {
      TAccel LineAccel;
      if (Accel.Len > 0 && Accel.Pos >= Offset) LineAccel = TAccel{Accel.Pos - Offset, Accel.Len};
      // A line shortened with "..." lost the letter when it falls into the dots.
      // Only a single line is ever shortened.
      if (L != Text && Lines.size() == 1 && LineAccel.Pos + LineAccel.Len + 3 > L.size()) LineAccel = TAccel();
      const int LW = C.TextWidth(L);
      int X = TextPos.X;
      if (CaptionAlign == taCenter) X += (TextOnly.cx - LW) / 2;
      else if (CaptionAlign == taRightJustify) X += TextOnly.cx - LW;
      if (Disabled) {
        C.Font().Color = clBtnHighlight;
        DrawCaptionLine(C, X + 1, Y + 1, L, LineAccel);
        C.Font().Color = clBtnShadow;
      } else {
        C.Font().Color = BtnFont.Color;
      }
      DrawCaptionLine(C, X, Y, L, LineAccel);
      Y += C.TextHeight(L.empty() ? std::string("Ag") : L);
      Offset += L.size() + 1;
    }
    C.Brush().Style = bsSolid;
  }

  if (DrawMark) {
    int MX, MY;
    if (Orig.cx > 0 && GlyphLayout != blGlyphLeft) {
      MX = GlyphPos.X + Orig.cx;
      MY = GlyphPos.Y + G.cy / 2 - 2;
    } else {
      MX = TextPos.X + TextOnly.cx + 2;
      MY = TextPos.Y + T.cy / 2 - 2;
    }
    if (Disabled) {
      DrawMarkAt(C, MX + 1, MY + 1, clBtnHighlight);
      DrawMarkAt(C, MX, MY, clBtnShadow);
    } else {
      DrawMarkAt(C, MX, MY, clBtnText);
    }
  }
}

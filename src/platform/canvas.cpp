#include "platform/canvas.h"

#include <QGlyphRun>
#include <QPainterPath>
#include <QPolygon>
#include <QRawFont>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "platform/bitmap.h"
#include "platform/canvas_impl.h"
#include "platform/encoding.h"
#include "platform/numbers.h"

namespace {

bool GTextAntialias = true;

constexpr double Pi = 3.14159265358979323846;

QString QStr(const std::u16string &S) {
  return QString(reinterpret_cast<const QChar *>(S.data()), qsizetype(S.size()));
}
std::u16string U16(const std::string &S) { return Utf8ToUtf16(S); }

// R2 code (1..16) of each TPenMode, in the order of the enumeration.
constexpr int PenModeRop2[16] = {1, 16, 11, 6, 13, 4, 14, 5, 12, 3, 15, 2, 9, 8, 7, 10};

inline uint32_t ApplyRop2(int R2, uint32_t P, uint32_t D) {
  unsigned T = unsigned(R2 - 1);
  uint32_t R = 0;
  if (T & 1) R |= ~P & ~D;
  if (T & 2) R |= ~P & D;
  if (T & 4) R |= P & ~D;
  if (T & 8) R |= P & D;
  return 0xFF000000u | (R & 0x00FFFFFFu);
}

// A ternary raster operation over pattern, source and destination bits.
inline uint32_t ApplyRop3(uint32_t Rop, uint32_t P, uint32_t S, uint32_t D) {
  unsigned Index = (Rop >> 16) & 0xFF;
  switch (Index) {
  case 0xCC: return S | 0xFF000000u;
  case 0x88: return (S & D) | 0xFF000000u;
  case 0xEE: return (S | D) | 0xFF000000u;
  case 0x66: return ((S ^ D) & 0xFFFFFF) | 0xFF000000u;
  default: break;
  }
  uint32_t R = 0;
  for (unsigned I = 0; I < 8; ++I) {
    if (!(Index & (1u << I))) continue;
    uint32_t T = (I & 4) ? P : ~P;
    T &= (I & 2) ? S : ~S;
    T &= (I & 1) ? D : ~D;
    R |= T;
  }
  return 0xFF000000u | (R & 0x00FFFFFFu);
}

// Dash patterns of 1-pixel pens, on/off run lengths in pixels.
const std::vector<int> &PenPattern(TPenStyle S) {
  static const std::vector<int> Solid, Dash{18, 6}, Dot{3, 3}, DashDot{9, 6, 3, 6},
      DashDotDot{9, 3, 3, 3, 3, 3}, Alternate{1, 1};
  switch (S) {
  case psAlternate: return Alternate;
  case psDash: return Dash;
  case psDot: return Dot;
  case psDashDot: return DashDot;
  case psDashDotDot: return DashDotDot;
  default: return Solid;
  }
}

// 8 x 8 hatch patterns: bit x of row y set where the hatch line is.
bool HatchBit(TBrushStyle S, int X, int Y) {
  X &= 7;
  Y &= 7;
  switch (S) {
  case bsHorizontal: return Y == 7;
  case bsVertical: return X == 7;
  case bsFDiagonal: return X == Y;
  case bsBDiagonal: return X == 7 - Y;
  case bsCross: return X == 7 || Y == 7;
  case bsDiagCross: return X == Y || X == 7 - Y;
  default: return true;
  }
}

struct TClipTest {
  const QRegion *Region = nullptr;
  QRect Box;
  bool Single = true;
  int W = 0, H = 0;
  TClipTest(const TCanvas::Impl &D, int Width, int Height) : W(Width), H(Height) {
    Box = QRect(0, 0, Width, Height);
    if (D.Clip) {
      Box = Box.intersected(D.Clip->boundingRect());
      Single = D.Clip->rectCount() <= 1;
      if (!Single) Region = &*D.Clip;
      if (D.Clip->isEmpty()) Box = QRect();
    }
  }
  bool operator()(int X, int Y) const {
    if (!Box.contains(X, Y)) return false;
    return Single || Region->contains(QPoint(X, Y));
  }
};

class TImagePainter {
public:
  QPainter P;
  explicit TImagePainter(TCanvas::Impl &D) {
    P.begin(D.Image);
    if (D.Clip) P.setClipRegion(*D.Clip);
    P.setRenderHint(QPainter::Antialiasing, false);
    P.setRenderHint(QPainter::TextAntialiasing, GTextAntialias);
    P.setRenderHint(QPainter::SmoothPixmapTransform, false);
  }
};

// Runs F with a painter prepared for the target (clip applied), or not at all.
template <class F>
void WithPainter(TCanvas::Impl &D, F &&Fn) {
  if (D.Kind == TCanvas::Impl::TKind::Image) {
    if (!D.Image || D.Image->isNull()) return;
    TImagePainter IP(D);
    Fn(IP.P);
  } else if (D.Kind == TCanvas::Impl::TKind::Painter) {
    if (!D.Painter || !D.Painter->isActive()) return;
    D.Painter->save();
    if (D.Clip) D.Painter->setClipRegion(*D.Clip, Qt::IntersectClip);
    // The clip is fixed in device units before the mapping scales what is drawn.
    if (D.Map.Active) D.Painter->setWorldTransform(MapTransform(D.Map), true);
    D.Painter->setRenderHint(QPainter::Antialiasing, false);
    D.Painter->setRenderHint(QPainter::TextAntialiasing, true);
    Fn(*D.Painter);
    D.Painter->restore();
  }
}

QPainter::CompositionMode PenComposition(TPenMode M) {
  switch (M) {
  case pmXor: return QPainter::RasterOp_SourceXorDestination;
  case pmNot: return QPainter::RasterOp_NotDestination;
  case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
  case pmMerge: return QPainter::RasterOp_SourceOrDestination;
  case pmMask: return QPainter::RasterOp_SourceAndDestination;
  case pmNotCopy: return QPainter::RasterOp_NotSource;
  case pmNotMerge: return QPainter::RasterOp_NotSourceOrNotDestination;
  case pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
  case pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
  case pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
  default: return QPainter::CompositionMode_SourceOver;
  }
}

QColor QCol(uint32_t Argb) { return QColor::fromRgb(Argb); }

double AngleOf(double CX, double CY, int X, int Y) {
  // Degrees counter-clockwise on screen (y grows downwards).
  double A = std::atan2(-(Y - CY), X - CX) * 180 / Pi;
  return A < 0 ? A + 360 : A;
}

} // namespace

void SetTextAntialiasing(bool On) { GTextAntialias = On; }
bool TextAntialiasing() { return GTextAntialias; }

// ---- TRegion ----

TRegion::TRegion() : D(std::make_unique<Impl>()) {}
TRegion::TRegion(const TRegion &O) : D(std::make_unique<Impl>(*O.D)) {}
TRegion &TRegion::operator=(const TRegion &O) {
  *D = *O.D;
  return *this;
}
TRegion::~TRegion() = default;
TRegion TRegion::FromRect(const TRect &R) {
  TRegion G;
  if (!IsRectEmpty(R)) G.D->R = QRegion(R.Left, R.Top, R.Width(), R.Height());
  return G;
}
TRegion TRegion::FromEllipse(const TRect &R) {
  TRegion G;
  if (!IsRectEmpty(R)) G.D->R = QRegion(R.Left, R.Top, R.Width(), R.Height(), QRegion::Ellipse);
  return G;
}
TRegion TRegion::FromPolygon(std::span<const TPoint> Pts, bool Winding) {
  TRegion G;
  QPolygon Poly;
  for (const TPoint &P : Pts) Poly << QPoint(P.X, P.Y);
  if (Poly.size() >= 3) G.D->R = QRegion(Poly, Winding ? Qt::WindingFill : Qt::OddEvenFill);
  return G;
}
TRegion TRegion::United(const TRegion &O) const {
  TRegion G;
  G.D->R = D->R.united(O.D->R);
  return G;
}
TRegion TRegion::Subtracted(const TRegion &O) const {
  TRegion G;
  G.D->R = D->R.subtracted(O.D->R);
  return G;
}
TRegion TRegion::Intersected(const TRegion &O) const {
  TRegion G;
  G.D->R = D->R.intersected(O.D->R);
  return G;
}
TRegion TRegion::Translated(int DX, int DY) const {
  TRegion G;
  G.D->R = D->R.translated(DX, DY);
  return G;
}
bool TRegion::IsEmpty() const { return D->R.isEmpty(); }
std::vector<TRect> TRegion::Rects() const {
  std::vector<TRect> V;
  for (const QRect &B : D->R) V.emplace_back(B.left(), B.top(), B.left() + B.width(), B.top() + B.height());
  return V;
}
bool TRegion::Contains(TPoint P) const { return D->R.contains(QPoint(P.X, P.Y)); }
TRect TRegion::BoundingRect() const {
  QRect B = D->R.boundingRect();
  if (B.isEmpty()) return TRect();
  return TRect(B.left(), B.top(), B.left() + B.width(), B.top() + B.height());
}

// ---- Impl helpers ----

TBkMode TCanvas::Impl::EffectiveBkMode() {
  if (BkModeOverride && !(Brush == BrushAtOverride)) {
    BkModeOverride.reset();
    BkColorOverride.reset();
  }
  if (BkModeOverride) return *BkModeOverride;
  return Brush.Style == bsClear ? bkTransparent : bkOpaque;
}

TColor TCanvas::Impl::EffectiveBkColor() {
  EffectiveBkMode();
  if (BkColorOverride) return *BkColorOverride;
  return Brush.Color;
}

uint32_t TCanvas::Impl::Argb(TColor C) const {
  TColor R = ColorToRGB(C);
  if (Mono) {
    int Sum = GetRValue(R) + GetGValue(R) + GetBValue(R);
    return Sum > 382 ? 0xFFFFFFFFu : 0xFF000000u;
  }
  return ColorToArgb(R);
}

QFont MakeQFont(const TFont &F) {
  QFont Q(QString::fromStdString(F.Name.empty() ? std::string("Arial") : F.Name));
  Q.setKerning(false);
  Q.setBold(F.Style & fsBold);
  Q.setItalic(F.Style & fsItalic);
  Q.setUnderline(F.Style & fsUnderline);
  Q.setStrikeOut(F.Style & fsStrikeOut);
  if (F.Pitch == fpFixed) {
    Q.setFixedPitch(true);
    Q.setStyleHint(QFont::TypeWriter);
  }
  // No shaping: no ligatures or kerning, so that a string is the sum of its characters.
  // Grey-scale smoothing with full hinting: every advance is a whole pixel.
  Q.setStyleStrategy(QFont::StyleStrategy((GTextAntialias ? QFont::NoSubpixelAntialias : QFont::NoAntialias) |
                                          QFont::PreferNoShaping));
  Q.setHintingPreference(QFont::PreferFullHinting);
  int H = F.Height;
  if (H == 0) H = -11;
  if (H < 0) Q.setPixelSize(std::clamp(-H, 1, 4000));
  else {
    // A positive height is the cell (ascent + descent): find the em size giving it.
    static std::map<std::pair<std::string, unsigned>, double> Ratio;
    auto Key = std::make_pair(F.Name, unsigned(F.Style & (fsBold | fsItalic)));
    auto It = Ratio.find(Key);
    if (It == Ratio.end()) {
      QFont Ref = Q;
      Ref.setPixelSize(200);
      QFontMetricsF M(Ref);
      double R = (M.ascent() + M.descent()) / 200.0;
      if (R <= 0.1) R = 1.15;
      It = Ratio.emplace(Key, R).first;
    }
    Q.setPixelSize(std::clamp(int(std::lround(H / It->second)), 1, 4000));
  }
  return Q;
}

const QFont &TCanvas::Impl::GetQFont() {
  if (!FontValid || !(CachedFont == Font)) {
    QtFont = MakeQFont(Font);
    Metrics = std::make_unique<QFontMetrics>(QtFont);
    RawFont = QRawFont::fromFont(QtFont);
    ScaledRawValid = false;
    CachedFont = Font;
    FontValid = true;
  }
  return QtFont;
}

const QRawFont &TCanvas::Impl::GetRawFont() {
  GetQFont();
  return RawFont;
}

const QRawFont &TCanvas::Impl::GetScaledRawFont() {
  GetQFont();
  if (!ScaledRawValid) {
    // Hinting fits outlines to the pixels of one size; a run drawn at another size keeps the
    // advances it was measured with, and its glyphs take their place between the pixels.
    QFont Unhinted = QtFont;
    Unhinted.setHintingPreference(QFont::PreferNoHinting);
    ScaledRawFont = QRawFont::fromFont(Unhinted);
    ScaledRawValid = true;
  }
  return ScaledRawFont;
}

const QFontMetrics &TCanvas::Impl::GetMetrics() {
  GetQFont();
  return *Metrics;
}

TSize TCanvas::Impl::DeviceSize() const {
  switch (Kind) {
  case TKind::Image: return Image ? TSize(Image->width(), Image->height()) : TSize();
  case TKind::Painter:
    if (PainterDevice) return TSize(PainterDevice->width(), PainterDevice->height());
    return TSize();
  default: return TSize();
  }
}

// ---- recording ----

namespace {

bool SameState(const TMetaState &A, const TMetaState &B) {
  return A.Pen == B.Pen && A.Brush == B.Brush && A.Font == B.Font && A.BkMode == B.BkMode &&
         A.BkColor == B.BkColor && A.TextAlign == B.TextAlign && A.CopyMode == B.CopyMode &&
         A.Clip.has_value() == B.Clip.has_value() && (!A.Clip || *A.Clip == *B.Clip) && A.Map == B.Map;
}

bool Record(TCanvas::Impl &D, TMetaCommand &&C) {
  if (D.Changing) D.Changing();
  if (D.Kind != TCanvas::Impl::TKind::Recorder) return false;
  if (!D.Recorder) return true;
  auto &R = *D.Recorder->Rec;
  TMetaState S{D.Pen, D.Brush, D.Font, D.EffectiveBkMode(), D.EffectiveBkColor(),
               D.TextAlign, D.CopyMode, D.Clip, D.Map};
  if (R.States.empty() || !SameState(R.States.back(), S)) R.States.push_back(std::move(S));
  C.State = int(R.States.size()) - 1;
  R.Commands.push_back(std::move(C));
  return true;
}

TMetaCommand Cmd(TMetaCommand::TOp Op, std::vector<int> I = {}, std::vector<TPoint> Pts = {}) {
  TMetaCommand C;
  C.Op = Op;
  C.I = std::move(I);
  C.Pts = std::move(Pts);
  return C;
}

// ---- pixel work on image targets ----

struct TPixelTarget {
  uint32_t *Bits = nullptr;
  int Stride = 0; // in pixels
  int W = 0, H = 0;
  TClipTest Clip;
  explicit TPixelTarget(TCanvas::Impl &D)
      : Clip(D, D.Image ? D.Image->width() : 0, D.Image ? D.Image->height() : 0) {
    if (D.Image && !D.Image->isNull()) {
      Bits = reinterpret_cast<uint32_t *>(D.Image->bits());
      Stride = int(D.Image->bytesPerLine() / 4);
      W = D.Image->width();
      H = D.Image->height();
    }
  }
  void Put(int X, int Y, uint32_t Argb, int Rop2) {
    if (!Bits || !Clip(X, Y)) return;
    uint32_t &P = Bits[size_t(Y) * Stride + X];
    P = Rop2 == 13 ? Argb : ApplyRop2(Rop2, Argb, P);
  }
};

// The Bresenham pixels from (X0, Y0) towards (X1, Y1), without the last one.
template <class F>
void BresenhamPixels(int X0, int Y0, int X1, int Y1, F &&Plot) {
  int64_t DX = std::abs(int64_t(X1) - X0), DY = std::abs(int64_t(Y1) - Y0);
  int SX = X0 < X1 ? 1 : -1, SY = Y0 < Y1 ? 1 : -1;
  // Off-target parts are walked too, but lines far outside are cut to a sane length.
  if (DX > 1000000 || DY > 1000000) return;
  int64_t X = X0, Y = Y0;
  if (DX >= DY) {
    int64_t Err = 2 * DY - DX;
    for (int64_t I = 0; I < DX; ++I) {
      Plot(int(X), int(Y));
      if (Err > 0 || (Err == 0 && SX < 0)) { Y += SY; Err -= 2 * DX; }
      Err += 2 * DY;
      X += SX;
    }
  } else {
    int64_t Err = 2 * DX - DY;
    for (int64_t I = 0; I < DY; ++I) {
      Plot(int(X), int(Y));
      if (Err > 0 || (Err == 0 && SY < 0)) { X += SX; Err -= 2 * DY; }
      Err += 2 * DX;
      Y += SY;
    }
  }
}

bool ThinPen(const TPen &P) { return P.Width <= 1; }

// How far a stroke may reach beyond its points: half a wide pen with its round ends, and
// a pixel for the rounding of the stroke's edges.
int PenReach(const TPen &P) { return ThinPen(P) ? 1 : P.Width / 2 + 2; }

// The device rectangle that a stroke through Pts (canvas coordinates) can change.
QRect StrokeBounds(const TCanvas::Impl &D, std::span<const TPoint> Pts) {
  if (Pts.empty()) return QRect();
  int L = Pts[0].X, T = Pts[0].Y, R = L, B = T;
  for (const TPoint &P : Pts) {
    L = std::min(L, P.X);
    R = std::max(R, P.X);
    T = std::min(T, P.Y);
    B = std::max(B, P.Y);
  }
  const int G = PenReach(D.Pen);
  return QRect(QPoint(L - G, T - G), QPoint(R + G, B + G)).translated(D.Origin.X, D.Origin.Y);
}

// A device box (right and bottom outside) grown by the pen's reach.
QRect BoxBounds(const TCanvas::Impl &D, int X1, int Y1, int X2, int Y2) {
  const int G = PenReach(D.Pen);
  return QRect(QPoint(X1 - G, Y1 - G), QPoint(X2 + G, Y2 + G));
}

} // namespace

// ---- TCanvas ----

TCanvas::TCanvas() : D(std::make_unique<Impl>()) {}
TCanvas::TCanvas(std::unique_ptr<Impl> Data) : D(std::move(Data)) {}
TCanvas::~TCanvas() = default;

TPen &TCanvas::Pen() { return D->Pen; }
TBrush &TCanvas::Brush() { return D->Brush; }
TFont &TCanvas::Font() { return D->Font; }
const TPen &TCanvas::Pen() const { return D->Pen; }
const TBrush &TCanvas::Brush() const { return D->Brush; }
const TFont &TCanvas::Font() const { return D->Font; }
TPoint TCanvas::PenPos() const { return D->PenPos; }
void TCanvas::SetPenPos(TPoint P) { D->PenPos = P; D->PatternPos = 0; }
TCopyMode TCanvas::CopyMode() const { return D->CopyMode; }
void TCanvas::SetCopyMode(TCopyMode M) { D->CopyMode = M; }
void TCanvas::SetBkMode(TBkMode M) {
  D->EffectiveBkMode();
  D->BkModeOverride = M;
  D->BrushAtOverride = D->Brush;
}
TBkMode TCanvas::BkMode() const { return const_cast<Impl &>(*D).EffectiveBkMode(); }
void TCanvas::SetBkColor(TColor C) {
  TBkMode M = D->EffectiveBkMode();
  D->BkModeOverride = M;
  D->BkColorOverride = C;
  D->BrushAtOverride = D->Brush;
}
TColor TCanvas::BkColor() const { return const_cast<Impl &>(*D).EffectiveBkColor(); }
void TCanvas::SetTextAlign(unsigned F) { D->TextAlign = F; }
unsigned TCanvas::TextAlign() const { return D->TextAlign; }
void TCanvas::SetOrigin(TPoint O) { D->Origin = O; }
TPoint TCanvas::Origin() const { return D->Origin; }
void TCanvas::SetMapping(TSize WindowExt, TSize ViewportExt) {
  if (D->Kind == Impl::TKind::Image || WindowExt.cx == 0 || WindowExt.cy == 0) return;
  D->Map.Active = true;
  D->Map.WinExt = WindowExt;
  D->Map.VpExt = ViewportExt;
}
void TCanvas::SetWindowOrg(TPoint P) {
  if (D->Kind != Impl::TKind::Image) D->Map.WinOrg = P;
}
void TCanvas::SetViewportOrg(TPoint P) {
  if (D->Kind != Impl::TKind::Image) D->Map.VpOrg = P;
}
void TCanvas::ResetMapping() { D->Map = TMapping(); }
bool TCanvas::Mapped() const { return D->Map.Active; }

QTransform MapTransform(const TMapping &M) { return QTransform(M.SX(), 0, 0, M.SY(), M.DX(), M.DY()); }
TSize TCanvas::DeviceSize() const { return D->DeviceSize(); }
int TCanvas::PixelsPerInchX() const { return D->Ppi; }
int TCanvas::PixelsPerInchY() const { return D->Ppi; }
int TCanvas::NumColors() const { return D->Mono ? 2 : 1 << 24; }

namespace {

// Draws a 1-pixel (possibly styled) line on an image target, without its last pixel.
void ThinLine(TCanvas::Impl &D, TPixelTarget &T, int X0, int Y0, int X1, int Y1) {
  if (D.Pen.Style == psClear || D.Pen.Mode == pmNop) return;
  uint32_t C = D.Argb(D.Pen.Color);
  int R2 = PenModeRop2[D.Pen.Mode];
  const std::vector<int> &Pat = PenPattern(D.Pen.Style);
  if (Pat.empty()) {
    BresenhamPixels(X0, Y0, X1, Y1, [&](int X, int Y) { T.Put(X, Y, C, R2); });
    return;
  }
  int Period = 0;
  for (int L : Pat) Period += L;
  bool Opaque = D.EffectiveBkMode() == bkOpaque;
  uint32_t Bk = D.Argb(D.EffectiveBkColor());
  BresenhamPixels(X0, Y0, X1, Y1, [&](int X, int Y) {
    int Pos = D.PatternPos % Period, Run = 0;
    bool On = true;
    for (size_t K = 0; K < Pat.size(); ++K) {
      if (Pos < Run + Pat[K]) { On = (K % 2) == 0; break; }
      Run += Pat[K];
    }
    D.PatternPos++;
    if (On) T.Put(X, Y, C, R2);
    else if (Opaque) T.Put(X, Y, Bk, R2);
  });
}

QPen MakeQPen(TCanvas::Impl &D, bool Wide) {
  if (D.Pen.Style == psClear || D.Pen.Mode == pmNop) return QPen(Qt::NoPen);
  uint32_t C = D.Argb(D.Pen.Mode == pmBlack ? clBlack : D.Pen.Mode == pmWhite ? clWhite : D.Pen.Color);
  QPen P(QCol(C));
  if (Wide) {
    P.setWidth(D.Pen.Width);
    P.setCapStyle(Qt::RoundCap);
    P.setJoinStyle(Qt::RoundJoin);
  } else {
    // Under a mapping a pixel-wide line scales with the page, as the old device's pens.
    P.setWidth(D.Map.Active ? 1 : 0);
    P.setCosmetic(!D.Map.Active);
    switch (D.Pen.Style) {
    case psDash: P.setDashPattern({18, 6}); break;
    case psDot: P.setDashPattern({3, 3}); break;
    case psDashDot: P.setDashPattern({9, 6, 3, 6}); break;
    case psDashDotDot: P.setDashPattern({9, 3, 3, 3, 3, 3}); break;
    case psAlternate: P.setDashPattern({1, 1}); break;
    default: break;
    }
  }
  return P;
}

// The pixels of a bitmap brush (a null image for other brushes); a monochrome target sees
// them in black and white, as it sees every colour.
QImage BrushPattern(TCanvas::Impl &D) {
  if (!D.Brush.Bitmap || D.Brush.Bitmap->Empty()) return QImage();
  const QImage &Img = BitmapImageRef(*D.Brush.Bitmap);
  if (!D.Mono) return Img;
  QImage Mono = Img.convertToFormat(QImage::Format_RGB32);
  for (int Y = 0; Y < Mono.height(); ++Y) {
    auto *Row = reinterpret_cast<uint32_t *>(Mono.scanLine(Y));
    for (int X = 0; X < Mono.width(); ++X)
      Row[X] = D.Argb(RGB(qRed(Row[X]), qGreen(Row[X]), qBlue(Row[X])));
  }
  return Mono;
}

QBrush MakeQBrush(TCanvas::Impl &D) {
  QColor C = QCol(D.Argb(D.Brush.Color));
  if (D.Brush.Style != bsClear)
    if (QImage Pattern = BrushPattern(D); !Pattern.isNull()) return QBrush(Pattern);
  switch (D.Brush.Style) {
  case bsClear: return QBrush(Qt::NoBrush);
  case bsHorizontal: return QBrush(C, Qt::HorPattern);
  case bsVertical: return QBrush(C, Qt::VerPattern);
  case bsFDiagonal: return QBrush(C, Qt::FDiagPattern);
  case bsBDiagonal: return QBrush(C, Qt::BDiagPattern);
  case bsCross: return QBrush(C, Qt::CrossPattern);
  case bsDiagCross: return QBrush(C, Qt::DiagCrossPattern);
  default: return QBrush(C);
  }
}

void ApplyPenMode(QPainter &P, TCanvas::Impl &D) {
  if (D.Kind == TCanvas::Impl::TKind::Image) P.setCompositionMode(PenComposition(D.Pen.Mode));
}

// Brush fill of a device rectangle (right/bottom outside) on an image, with hatches.
void FillDeviceRect(TCanvas::Impl &D, TPixelTarget &T, int L, int Tp, int R, int B) {
  if (D.Brush.Style == bsClear || !T.Bits) return;
  QRect Box = QRect(L, Tp, R - L, B - Tp).intersected(T.Clip.Box);
  if (Box.isEmpty()) return;
  uint32_t C = D.Argb(D.Brush.Color);
  bool Hatch = D.Brush.Style != bsSolid;
  bool Opaque = D.EffectiveBkMode() == bkOpaque;
  uint32_t Bk = D.Argb(D.EffectiveBkColor());
  const QImage Pattern = BrushPattern(D);
  const int PH = Pattern.height(), PW = Pattern.width();
  for (int Y = Box.top(); Y <= Box.bottom(); ++Y) {
    uint32_t *Row = T.Bits + size_t(Y) * T.Stride;
    const uint32_t *PRow =
        PH ? reinterpret_cast<const uint32_t *>(Pattern.constScanLine((Y % PH + PH) % PH))
           : nullptr;
    for (int X = Box.left(); X <= Box.right(); ++X) {
      if (!T.Clip.Single && !T.Clip(X, Y)) continue;
      if (PRow) Row[X] = PRow[(X % PW + PW) % PW] | 0xFF000000u;
      else if (!Hatch) Row[X] = C;
      else if (HatchBit(D.Brush.Style, X, Y)) Row[X] = C;
      else if (Opaque) Row[X] = Bk;
    }
  }
}

} // namespace

void TCanvas::MoveTo(int X, int Y) {
  D->PenPos = TPoint(X, Y);
  D->PatternPos = 0;
}

void TCanvas::LineTo(int X, int Y) {
  TPoint From = D->PenPos;
  D->PenPos = TPoint(X, Y);
  if (Record(*D, Cmd(TMetaCommand::opLine, {}, {From, TPoint(X, Y)}))) return;
  int OX = D->Origin.X, OY = D->Origin.Y;
  if (D->Kind == Impl::TKind::Image && ThinPen(D->Pen)) {
    TPixelTarget T(*D);
    ThinLine(*D, T, From.X + OX, From.Y + OY, X + OX, Y + OY);
  } else {
    bool Wide = !ThinPen(D->Pen);
    WithPainter(*D, [&](QPainter &P) {
      P.setPen(MakeQPen(*D, Wide));
      ApplyPenMode(P, *D);
      if (Wide)
        P.drawLine(QPointF(From.X + OX + 0.5, From.Y + OY + 0.5), QPointF(X + OX + 0.5, Y + OY + 0.5));
      else if (From == TPoint(X, Y)) return;
      else {
        // Leave out the last pixel, as the image rule does.
        double DX = X - From.X, DY = Y - From.Y, L = std::max(std::fabs(DX), std::fabs(DY));
        P.drawLine(QPointF(From.X + OX, From.Y + OY),
                   QPointF(X + OX - DX / L, Y + OY - DY / L));
      }
    });
  }
  const TPoint Ends[2] = {From, TPoint(X, Y)};
  D->Touch(StrokeBounds(*D, Ends));
}

void TCanvas::Polyline(std::span<const TPoint> Pts) {
  if (Pts.empty()) return;
  if (Record(*D, Cmd(TMetaCommand::opPolyline, {}, std::vector<TPoint>(Pts.begin(), Pts.end())))) return;
  int OX = D->Origin.X, OY = D->Origin.Y;
  D->PatternPos = 0;
  if (D->Kind == Impl::TKind::Image && ThinPen(D->Pen)) {
    TPixelTarget T(*D);
    for (size_t I = 1; I < Pts.size(); ++I)
      ThinLine(*D, T, Pts[I - 1].X + OX, Pts[I - 1].Y + OY, Pts[I].X + OX, Pts[I].Y + OY);
  } else if (Pts.size() >= 2) {
    bool Wide = !ThinPen(D->Pen);
    WithPainter(*D, [&](QPainter &P) {
      P.setPen(MakeQPen(*D, Wide));
      ApplyPenMode(P, *D);
      QPolygonF Poly;
      double H = Wide ? 0.5 : 0;
      for (const TPoint &Q : Pts) Poly << QPointF(Q.X + OX + H, Q.Y + OY + H);
      P.drawPolyline(Poly);
    });
  }
  D->PatternPos = 0;
  D->Touch(StrokeBounds(*D, Pts));
}

void TCanvas::Polygon(std::span<const TPoint> Pts) {
  if (Pts.size() < 2) return;
  if (Record(*D, Cmd(TMetaCommand::opPolygon, {}, std::vector<TPoint>(Pts.begin(), Pts.end())))) return;
  int OX = D->Origin.X, OY = D->Origin.Y;
  bool Wide = !ThinPen(D->Pen);
  WithPainter(*D, [&](QPainter &P) {
    QPolygonF Poly;
    for (const TPoint &Q : Pts) Poly << QPointF(Q.X + OX, Q.Y + OY);
    P.setPen(Qt::NoPen);
    P.setBrush(MakeQBrush(*D));
    if (D->Brush.Style != bsClear) P.drawPolygon(Poly, Qt::OddEvenFill);
    if (D->Kind != Impl::TKind::Image || Wide) {
      P.setPen(MakeQPen(*D, Wide));
      ApplyPenMode(P, *D);
      P.setBrush(Qt::NoBrush);
      double H = D->Kind == Impl::TKind::Image ? 0.5 : 0;
      P.drawPolygon(Poly.translated(H, H));
    }
  });
  if (D->Kind == Impl::TKind::Image && !Wide) {
    TPixelTarget T(*D);
    D->PatternPos = 0;
    for (size_t I = 0; I < Pts.size(); ++I) {
      const TPoint &A = Pts[I], &B = Pts[(I + 1) % Pts.size()];
      ThinLine(*D, T, A.X + OX, A.Y + OY, B.X + OX, B.Y + OY);
    }
    D->PatternPos = 0;
  }
  D->Touch(StrokeBounds(*D, Pts));
}

void TCanvas::PolyBezier(std::span<const TPoint> Pts) {
  if (Pts.size() < 4) return;
  if (Record(*D, Cmd(TMetaCommand::opBezier, {}, std::vector<TPoint>(Pts.begin(), Pts.end())))) return;
  int OX = D->Origin.X, OY = D->Origin.Y;
  bool Wide = !ThinPen(D->Pen);
  WithPainter(*D, [&](QPainter &P) {
    double H = D->Kind == Impl::TKind::Image ? 0.5 : 0;
    QPainterPath Path(QPointF(Pts[0].X + OX + H, Pts[0].Y + OY + H));
    for (size_t I = 1; I + 2 < Pts.size(); I += 3)
      Path.cubicTo(QPointF(Pts[I].X + OX + H, Pts[I].Y + OY + H),
                   QPointF(Pts[I + 1].X + OX + H, Pts[I + 1].Y + OY + H),
                   QPointF(Pts[I + 2].X + OX + H, Pts[I + 2].Y + OY + H));
    P.setPen(MakeQPen(*D, Wide));
    ApplyPenMode(P, *D);
    P.setBrush(Qt::NoBrush);
    P.drawPath(Path);
  });
  D->Touch(StrokeBounds(*D, Pts)); // a Bezier curve stays inside its control points' hull
}

namespace {
void Normalize(int &X1, int &Y1, int &X2, int &Y2) {
  if (X2 < X1) std::swap(X1, X2);
  if (Y2 < Y1) std::swap(Y1, Y2);
}
} // namespace

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  Normalize(X1, Y1, X2, Y2);
  if (Record(*D, Cmd(TMetaCommand::opRectangle, {X1, Y1, X2, Y2}))) return;
  int OX = D->Origin.X, OY = D->Origin.Y;
  X1 += OX; X2 += OX; Y1 += OY; Y2 += OY;
  if (X2 - X1 <= 0 || Y2 - Y1 <= 0) return;
  if (D->Kind == Impl::TKind::Image) {
    TPixelTarget T(*D);
    FillDeviceRect(*D, T, X1, Y1, X2, Y2);
    if (D->Pen.Style != psClear) {
      if (ThinPen(D->Pen)) {
        D->PatternPos = 0;
        ThinLine(*D, T, X1, Y1, X2 - 1, Y1);
        ThinLine(*D, T, X2 - 1, Y1, X2 - 1, Y2 - 1);
        ThinLine(*D, T, X2 - 1, Y2 - 1, X1, Y2 - 1);
        ThinLine(*D, T, X1, Y2 - 1, X1, Y1);
        if (X2 - X1 == 1 || Y2 - Y1 == 1) ThinLine(*D, T, X2 - 1, Y2 - 1, X2, Y2);
        D->PatternPos = 0;
      } else {
        // Wide pens draw inside the box.
        TBrush Save = D->Brush;
        D->Brush = TBrush{D->Pen.Color, bsSolid};
        int W = std::min({D->Pen.Width, (X2 - X1 + 1) / 2, (Y2 - Y1 + 1) / 2});
        FillDeviceRect(*D, T, X1, Y1, X2, Y1 + W);
        FillDeviceRect(*D, T, X1, Y2 - W, X2, Y2);
        FillDeviceRect(*D, T, X1, Y1, X1 + W, Y2);
        FillDeviceRect(*D, T, X2 - W, Y1, X2, Y2);
        D->Brush = Save;
      }
    }
  } else {
    bool Wide = !ThinPen(D->Pen);
    WithPainter(*D, [&](QPainter &P) {
      if (D->Brush.Style != bsClear) P.fillRect(QRect(X1, Y1, X2 - X1, Y2 - Y1), MakeQBrush(*D));
      QPen Pen = MakeQPen(*D, Wide);
      if (Pen.style() == Qt::NoPen) return;
      P.setPen(Pen);
      P.setBrush(Qt::NoBrush);
      double W = Wide ? D->Pen.Width : 1;
      P.drawRect(QRectF(X1 + W / 2, Y1 + W / 2, X2 - X1 - W, Y2 - Y1 - W));
    });
  }
  D->Touch(BoxBounds(*D, X1, Y1, X2, Y2));
}

void TCanvas::FillRect(const TRect &R0) {
  TRect R = R0;
  if (Record(*D, Cmd(TMetaCommand::opFillRect, {R.Left, R.Top, R.Right, R.Bottom}))) return;
  OffsetRect(R, D->Origin.X, D->Origin.Y);
  if (IsRectEmpty(R)) return;
  if (D->Kind == Impl::TKind::Image) {
    TPixelTarget T(*D);
    FillDeviceRect(*D, T, R.Left, R.Top, R.Right, R.Bottom);
  } else {
    WithPainter(*D, [&](QPainter &P) {
      if (D->Brush.Style != bsClear) P.fillRect(QRect(R.Left, R.Top, R.Width(), R.Height()), MakeQBrush(*D));
    });
  }
  D->Touch(QRect(R.Left, R.Top, R.Width(), R.Height()));
}

void TCanvas::FrameRect(const TRect &R0) {
  TRect R = R0;
  if (Record(*D, Cmd(TMetaCommand::opFrameRect, {R.Left, R.Top, R.Right, R.Bottom}))) return;
  if (IsRectEmpty(R)) return;
  TBrush Save = D->Brush;
  D->Brush.Style = bsSolid;
  TRect Edges[4] = {TRect(R.Left, R.Top, R.Right, R.Top + 1), TRect(R.Left, R.Bottom - 1, R.Right, R.Bottom),
                    TRect(R.Left, R.Top, R.Left + 1, R.Bottom), TRect(R.Right - 1, R.Top, R.Right, R.Bottom)};
  for (TRect &E : Edges) {
    OffsetRect(E, D->Origin.X, D->Origin.Y);
    if (D->Kind == Impl::TKind::Image) {
      TPixelTarget T(*D);
      FillDeviceRect(*D, T, E.Left, E.Top, E.Right, E.Bottom);
    } else {
      WithPainter(*D, [&](QPainter &P) { P.fillRect(QRect(E.Left, E.Top, E.Width(), E.Height()), MakeQBrush(*D)); });
    }
  }
  D->Brush = Save;
  D->Touch(QRect(R.Left, R.Top, R.Width(), R.Height()).translated(D->Origin.X, D->Origin.Y));
}

namespace {

enum class TArcKind { Arc, Pie, Chord, Ellipse, RoundRect };

void ShapeWithPainter(TCanvas::Impl &D, TArcKind K, int X1, int Y1, int X2, int Y2, double A0,
                      double Span, int RW, int RH) {
  bool Wide = !ThinPen(D.Pen);
  bool Image = D.Kind == TCanvas::Impl::TKind::Image;
  WithPainter(D, [&](QPainter &P) {
    QPen Pen = MakeQPen(D, Wide);
    bool HasPen = Pen.style() != Qt::NoPen;
    // Strokes run through pixel centres so that the box's right/bottom stay outside.
    double In = HasPen ? (Wide ? D.Pen.Width / 2.0 : 0.5) : 0;
    double Sh = Image ? 0 : 0;
    QRectF Box(X1 + In + Sh, Y1 + In + Sh, X2 - X1 - 2 * In, Y2 - Y1 - 2 * In);
    if (!Image && HasPen && !Wide) Box = QRectF(X1 + 0.5, Y1 + 0.5, X2 - X1 - 1, Y2 - Y1 - 1);
    int S16 = int(std::lround(A0 * 16)), L16 = int(std::lround(Span * 16));
    // Fill first (clear pen: the whole box), then the outline.
    if (K != TArcKind::Arc && D.Brush.Style != bsClear) {
      P.setPen(Qt::NoPen);
      P.setBrush(MakeQBrush(D));
      QRectF FillBox = HasPen ? Box : QRectF(X1, Y1, X2 - X1, Y2 - Y1);
      switch (K) {
      case TArcKind::Pie: P.drawPie(FillBox, S16, L16); break;
      case TArcKind::Chord: P.drawChord(FillBox, S16, L16); break;
      case TArcKind::Ellipse: P.drawEllipse(FillBox); break;
      case TArcKind::RoundRect: P.drawRoundedRect(FillBox, RW / 2.0, RH / 2.0); break;
      default: break;
      }
    }
    if (!HasPen) return;
    P.setPen(Pen);
    ApplyPenMode(P, D);
    P.setBrush(Qt::NoBrush);
    switch (K) {
    case TArcKind::Arc: P.drawArc(Box, S16, L16); break;
    case TArcKind::Pie: P.drawPie(Box, S16, L16); break;
    case TArcKind::Chord: P.drawChord(Box, S16, L16); break;
    case TArcKind::Ellipse: P.drawEllipse(Box); break;
    case TArcKind::RoundRect: P.drawRoundedRect(Box, RW / 2.0, RH / 2.0); break;
    }
  });
}

void ArcShape(TCanvas &C, TCanvas::Impl &D, TArcKind K, int X1, int Y1, int X2, int Y2, int X3,
              int Y3, int X4, int Y4) {
  (void)C;
  Normalize(X1, Y1, X2, Y2);
  int OX = D.Origin.X, OY = D.Origin.Y;
  double CX = (X1 + X2) / 2.0, CY = (Y1 + Y2) / 2.0;
  double A0 = AngleOf(CX, CY, X3, Y3), A1 = AngleOf(CX, CY, X4, Y4);
  double Span = A1 - A0;
  if (Span <= 0) Span += 360;
  if (X3 == X4 && Y3 == Y4) Span = 360;
  ShapeWithPainter(D, K, X1 + OX, Y1 + OY, X2 + OX, Y2 + OY, A0, Span, 0, 0);
}

} // namespace

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  Normalize(X1, Y1, X2, Y2);
  if (Record(*D, Cmd(TMetaCommand::opEllipse, {X1, Y1, X2, Y2}))) return;
  if (X2 - X1 <= 0 || Y2 - Y1 <= 0) return;
  int OX = D->Origin.X, OY = D->Origin.Y;
  ShapeWithPainter(*D, TArcKind::Ellipse, X1 + OX, Y1 + OY, X2 + OX, Y2 + OY, 0, 360, 0, 0);
  D->Touch(BoxBounds(*D, X1 + OX, Y1 + OY, X2 + OX, Y2 + OY));
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int W, int H) {
  Normalize(X1, Y1, X2, Y2);
  if (Record(*D, Cmd(TMetaCommand::opRoundRect, {X1, Y1, X2, Y2, W, H}))) return;
  if (X2 - X1 <= 0 || Y2 - Y1 <= 0) return;
  int OX = D->Origin.X, OY = D->Origin.Y;
  ShapeWithPainter(*D, TArcKind::RoundRect, X1 + OX, Y1 + OY, X2 + OX, Y2 + OY, 0, 0, W, H);
  D->Touch(BoxBounds(*D, X1 + OX, Y1 + OY, X2 + OX, Y2 + OY));
}

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  if (Record(*D, Cmd(TMetaCommand::opArc, {X1, Y1, X2, Y2, X3, Y3, X4, Y4}))) return;
  ArcShape(*this, *D, TArcKind::Arc, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  D->Touch(BoxBounds(*D, std::min(X1, X2) + D->Origin.X, std::min(Y1, Y2) + D->Origin.Y,
                     std::max(X1, X2) + D->Origin.X, std::max(Y1, Y2) + D->Origin.Y));
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  if (Record(*D, Cmd(TMetaCommand::opPie, {X1, Y1, X2, Y2, X3, Y3, X4, Y4}))) return;
  ArcShape(*this, *D, TArcKind::Pie, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  D->Touch(BoxBounds(*D, std::min(X1, X2) + D->Origin.X, std::min(Y1, Y2) + D->Origin.Y,
                     std::max(X1, X2) + D->Origin.X, std::max(Y1, Y2) + D->Origin.Y));
}

void TCanvas::Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  if (Record(*D, Cmd(TMetaCommand::opChord, {X1, Y1, X2, Y2, X3, Y3, X4, Y4}))) return;
  ArcShape(*this, *D, TArcKind::Chord, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  D->Touch(BoxBounds(*D, std::min(X1, X2) + D->Origin.X, std::min(Y1, Y2) + D->Origin.Y,
                     std::max(X1, X2) + D->Origin.X, std::max(Y1, Y2) + D->Origin.Y));
}

void TCanvas::DrawEdge(TRect &R, unsigned Edge, unsigned Flags) {
  if (D->Kind == Impl::TKind::Recorder) {
    Record(*D, Cmd(TMetaCommand::opEdge, {R.Left, R.Top, R.Right, R.Bottom, int(Edge), int(Flags)}));
  } else {
    TBrush SaveBrush = D->Brush;
    auto Band = [&](int L, int T, int Rt, int B, TColor C) {
      D->Brush = TBrush{C, bsSolid};
      FillRect(TRect(L, T, Rt, B));
    };
    TRect In = R;
    auto Ring = [&](TColor LT, TColor RB) {
      if (IsRectEmpty(In)) return;
      // Top and left first; bottom and right own the two off corners.
      if (Flags & BF_TOP) Band(In.Left, In.Top, In.Right, In.Top + 1, LT);
      if (Flags & BF_LEFT) Band(In.Left, In.Top, In.Left + 1, In.Bottom, LT);
      if (Flags & BF_BOTTOM) Band(In.Left, In.Bottom - 1, In.Right, In.Bottom, RB);
      if (Flags & BF_RIGHT) Band(In.Right - 1, In.Top, In.Right, In.Bottom, RB);
      if (Flags & BF_LEFT) In.Left++;
      if (Flags & BF_TOP) In.Top++;
      if (Flags & BF_RIGHT) In.Right--;
      if (Flags & BF_BOTTOM) In.Bottom--;
    };
    bool Mono = Flags & BF_MONO, Flat = Flags & BF_FLAT;
    if (Edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
      if (Mono) Ring(clWindowFrame, clWindowFrame);
      else if (Flat) Ring(clBtnShadow, clBtnShadow);
      else if (Edge & BDR_RAISEDOUTER) Ring((Flags & BF_SOFT) ? clBtnHighlight : cl3DLight, cl3DDkShadow);
      else Ring(clBtnShadow, clBtnHighlight);
    }
    if (Edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
      if (Mono) Ring(clWindow, clWindow);
      else if (Flat) Ring(clBtnFace, clBtnFace);
      else if (Edge & BDR_RAISEDINNER) Ring((Flags & BF_SOFT) ? cl3DLight : clBtnHighlight, clBtnShadow);
      else Ring(cl3DDkShadow, cl3DLight);
    }
    if (Flags & BF_MIDDLE) Band(In.Left, In.Top, In.Right, In.Bottom, Mono ? clWindow : clBtnFace);
    D->Brush = SaveBrush;
    if (Flags & BF_ADJUST) R = In;
    return;
  }
  if (Flags & BF_ADJUST) {
    int N = ((Edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) ? 1 : 0) +
            ((Edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) ? 1 : 0);
    if (Flags & BF_LEFT) R.Left += N;
    if (Flags & BF_TOP) R.Top += N;
    if (Flags & BF_RIGHT) R.Right -= N;
    if (Flags & BF_BOTTOM) R.Bottom -= N;
  }
}

void TCanvas::DrawFocusRect(const TRect &R) {
  if (Record(*D, Cmd(TMetaCommand::opFocusRect, {R.Left, R.Top, R.Right, R.Bottom}))) return;
  if (IsRectEmpty(R) || D->Kind != Impl::TKind::Image) return;
  TPixelTarget T(*D);
  int OX = D->Origin.X, OY = D->Origin.Y;
  // Every other pixel of the frame, inverted.
  auto Dot = [&](int X, int Y) {
    if (((X + Y) & 1) == 0) T.Put(X + OX, Y + OY, 0xFFFFFFFF, 7);
  };
  for (int X = R.Left; X < R.Right; ++X) { Dot(X, R.Top); if (R.Bottom - 1 > R.Top) Dot(X, R.Bottom - 1); }
  for (int Y = R.Top + 1; Y < R.Bottom - 1; ++Y) { Dot(R.Left, Y); if (R.Right - 1 > R.Left) Dot(R.Right - 1, Y); }
  D->Touch(QRect(R.Left + OX, R.Top + OY, R.Width(), R.Height()));
}

// ---- text ----

namespace {

// Text advances are whole pixels per character, so that widths add up as on the classic
// display (the font engine's fractional advances would not).
int CharAdvances(const QFontMetrics &M, const QString &S, std::vector<int> *Pos) {
  int W = 0;
  if (Pos) Pos->clear();
  for (qsizetype I = 0; I < S.size(); ++I) {
    if (Pos) Pos->push_back(W);
    if (S[I].isHighSurrogate() && I + 1 < S.size() && S[I + 1].isLowSurrogate()) {
      W += M.horizontalAdvance(S.mid(I, 2));
      ++I;
      if (Pos) Pos->push_back(W);
      continue;
    }
    W += M.horizontalAdvance(S[I]);
  }
  return W;
}

// Draws S with its baseline at (X, Y), each glyph at its whole-pixel advance, as one run.
// Characters the font has no glyph for are drawn alone, by the toolkit's fallback font.
void DrawRun(QPainter &P, TCanvas::Impl &D, int X, int Y, const QString &S, bool Scaled = false) {
  const QFontMetrics &M = D.GetMetrics();
  std::vector<int> Pos;
  const int W = CharAdvances(M, S, &Pos);
  const QRawFont &Raw = Scaled ? D.GetScaledRawFont() : D.GetRawFont();
  // The glyph of each character (a surrogate pair counts at its first half).
  std::vector<quint32> Index(size_t(S.size()), 0);
  if (Raw.isValid()) {
    for (qsizetype I = 0; I < S.size(); ++I) {
      const qsizetype N = S[I].isHighSurrogate() && I + 1 < S.size() && S[I + 1].isLowSurrogate() ? 2 : 1;
      quint32 G[2] = {0, 0};
      int Count = 2;
      if (Raw.glyphIndexesForChars(S.constData() + I, int(N), G, &Count) && Count >= 1) Index[size_t(I)] = G[0];
      I += N - 1;
    }
  }
  QList<quint32> Glyphs;
  QList<QPointF> At;
  std::vector<qsizetype> Alone;
  for (qsizetype I = 0; I < S.size(); ++I) {
    const bool Pair = S[I].isHighSurrogate() && I + 1 < S.size() && S[I + 1].isLowSurrogate();
    if (S[I] != QChar(' ')) {
      if (Index[size_t(I)] != 0) {
        Glyphs.push_back(Index[size_t(I)]);
        At.push_back(QPointF(X + Pos[size_t(I)], Y));
      } else {
        Alone.push_back(I);
      }
    }
    if (Pair) ++I;
  }
  if (!Glyphs.isEmpty()) {
    QGlyphRun Run;
    Run.setRawFont(Raw);
    Run.setGlyphIndexes(Glyphs);
    Run.setPositions(At);
    P.drawGlyphRun(QPointF(0, 0), Run);
  }
  if (!Alone.empty()) {
    // The font's underline and strike-out are drawn below, once across the run.
    QFont Plain = P.font();
    Plain.setUnderline(false);
    Plain.setStrikeOut(false);
    P.setFont(Plain);
    for (qsizetype I : Alone) {
      const qsizetype N = S[I].isHighSurrogate() && I + 1 < S.size() ? 2 : 1;
      P.drawText(QPoint(X + Pos[size_t(I)], Y), S.mid(I, N));
    }
  }
  const QFont &F = D.GetQFont();
  if (F.underline() || F.strikeOut()) {
    // One line across the whole run, with no gaps under spaces.
    const int LW = std::max(1, M.lineWidth());
    const QColor C = P.pen().color();
    auto Line = [&](int Top) {
      QRectF R(X, Top, W, LW);
      // A run drawn smaller keeps its lines a pixel thick rather than losing them between rows.
      const QTransform T = P.combinedTransform();
      if (T.type() <= QTransform::TxScale && T.isInvertible()) {
        QRectF Dev = T.mapRect(R);
        if (Dev.height() < 1) {
          Dev.setTop(std::floor(Dev.center().y()));
          Dev.setHeight(1);
          R = T.inverted().mapRect(Dev);
        }
      }
      P.fillRect(R, C);
    };
    if (F.underline()) Line(Y + M.underlinePos());
    if (F.strikeOut()) Line(Y - M.strikeOutPos());
  }
}

// Draws Text with its reference point at (X, Y). A run drawn at another scale than it was
// measured (a recorded run replayed smaller or larger) is scaled as a whole: glyphs, their
// whole-pixel advances and the cell, so that it covers what it covered when recorded.
void DrawText(TCanvas::Impl &D, double X, double Y, double SX, double SY,
              const std::u16string &Text, const TRect *ClipTo) {
  if (Text.empty() && !ClipTo) return;
  const QFont &F = D.GetQFont();
  const QFontMetrics &M = D.GetMetrics();
  QString S = QStr(Text);
  int W = CharAdvances(M, S, nullptr), H = M.ascent() + M.descent();
  int OX = D.Origin.X, OY = D.Origin.Y;
  if ((D.TextAlign & TA_CENTER) == TA_CENTER) X -= W / 2 * SX;
  else if (D.TextAlign & TA_RIGHT) X -= W * SX;
  if ((D.TextAlign & TA_BASELINE) == TA_BASELINE) Y -= M.ascent() * SY;
  else if (D.TextAlign & TA_BOTTOM) Y -= H * SY;
  X += OX;
  Y += OY;
  const bool Scaled = SX != 1.0 || SY != 1.0;
  bool Opaque = D.EffectiveBkMode() == bkOpaque;
  QColor Bk = QCol(D.Argb(D.EffectiveBkColor()));
  QColor Fg = QCol(D.Argb(D.Font.Color));
  WithPainter(D, [&](QPainter &P) {
    if (ClipTo) {
      QRect CR(ClipTo->Left + OX, ClipTo->Top + OY, ClipTo->Width(), ClipTo->Height());
      P.setClipRect(CR, P.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
      if (Opaque) P.fillRect(CR, Bk);
    }
    P.setFont(F);
    P.setPen(Fg);
    P.translate(X, Y);
    if (D.Font.Orientation != 0) P.rotate(-D.Font.Orientation / 10.0);
    if (Scaled) P.scale(SX, SY);
    if (Opaque && !ClipTo) P.fillRect(QRect(0, 0, W, H), Bk);
    DrawRun(P, D, 0, M.ascent(), S, Scaled);
  });
  if (D.Font.Orientation != 0) {
    D.Touch();
    return;
  }
  // Glyphs may overhang their cell (italics, bearings, underlines) by a part of its height.
  const int CW = int(std::ceil(W * std::fabs(SX))), CH = int(std::ceil(H * std::fabs(SY)));
  QRect Bounds = QRect(int(std::floor(std::min(X, X + W * SX))),
                       int(std::floor(std::min(Y, Y + H * SY))), CW + 1, CH + 1)
                     .adjusted(-CH / 2 - 1, -2, CH / 2 + 1, 2);
  if (ClipTo) {
    const QRect CR(ClipTo->Left + OX, ClipTo->Top + OY, ClipTo->Width(), ClipTo->Height());
    Bounds = Opaque ? CR : Bounds.intersected(CR);
  }
  D.Touch(Bounds);
}

} // namespace

void TCanvas::TextOut(int X, int Y, const std::string &Text) { TextOut(X, Y, U16(Text)); }
void TCanvas::TextOut(int X, int Y, const std::u16string &Text) {
  // A recorded run keeps its extent, so that a replay at another scale can fit it there.
  const TSize E = D->Kind == Impl::TKind::Recorder ? TextExtent(Text) : TSize();
  TMetaCommand C = Cmd(TMetaCommand::opText, {X, Y, E.cx, E.cy});
  C.Text = Text;
  if (Record(*D, std::move(C))) {
    D->PenPos = TPoint(X + TextWidth(Text), Y);
    return;
  }
  DrawText(*D, X, Y, 1.0, 1.0, Text, nullptr);
}
void TCanvas::TextRect(const TRect &R, int X, int Y, const std::string &Text) { TextRect(R, X, Y, U16(Text)); }
void TCanvas::TextRect(const TRect &R, int X, int Y, const std::u16string &Text) {
  const TSize E = D->Kind == Impl::TKind::Recorder ? TextExtent(Text) : TSize();
  TMetaCommand C = Cmd(TMetaCommand::opTextRect, {R.Left, R.Top, R.Right, R.Bottom, X, Y, E.cx, E.cy});
  C.Text = Text;
  if (Record(*D, std::move(C))) return;
  DrawText(*D, X, Y, 1.0, 1.0, Text, &R);
}
void DrawScaledText(TCanvas::Impl &D, double X, double Y, double SX, double SY,
                    const std::u16string &Text, const TRect *ClipTo) {
  DrawText(D, X, Y, SX, SY, Text, ClipTo);
}

int TCanvas::TextWidth(const std::string &Text) { return TextWidth(U16(Text)); }
int TCanvas::TextWidth(const std::u16string &Text) { return CharAdvances(D->GetMetrics(), QStr(Text), nullptr); }
int TCanvas::TextHeight(const std::string &) { return TextHeight(std::u16string()); }
int TCanvas::TextHeight(const std::u16string &) {
  const QFontMetrics &M = D->GetMetrics();
  return M.ascent() + M.descent();
}
TSize TCanvas::TextExtent(const std::string &Text) { return TextExtent(U16(Text)); }
TSize TCanvas::TextExtent(const std::u16string &Text) { return TSize(TextWidth(Text), TextHeight(Text)); }

int TCanvas::TextFit(const std::u16string &Text, int MaxExtent, std::vector<int> *Dx) {
  const QFontMetrics &M = D->GetMetrics();
  if (Dx) Dx->clear();
  int Fit = 0, W = 0;
  for (size_t I = 0; I < Text.size(); ++I) {
    W += M.horizontalAdvance(QChar(Text[I])); // as TextWidth: whole pixels per character
    if (Dx) Dx->push_back(W);
    if (W <= MaxExtent) Fit = int(I) + 1;
  }
  return Fit;
}

TTextMetric TCanvas::TextMetrics() {
  const QFont &F = D->GetQFont();
  const QFontMetrics &M = D->GetMetrics();
  TTextMetric T;
  T.tmAscent = M.ascent();
  T.tmDescent = M.descent();
  T.tmHeight = M.ascent() + M.descent();
  T.tmInternalLeading = std::max(0, T.tmHeight - F.pixelSize());
  T.tmExternalLeading = std::max(0, M.leading());
  T.tmAveCharWidth = M.averageCharWidth();
  T.tmMaxCharWidth = M.maxWidth();
  T.tmWeight = F.bold() ? 700 : 400;
  T.tmItalic = F.italic();
  T.tmUnderlined = F.underline();
  T.tmStruckOut = F.strikeOut();
  T.tmOverhang = 0;
  return T;
}

// ---- pixels ----

TColor TCanvas::Pixels(int X, int Y) const {
  if (D->Kind != Impl::TKind::Image || !D->Image) return clInvalid;
  X += D->Origin.X;
  Y += D->Origin.Y;
  if (X < 0 || Y < 0 || X >= D->Image->width() || Y >= D->Image->height()) return clInvalid;
  const uint32_t *Row = reinterpret_cast<const uint32_t *>(D->Image->constScanLine(Y));
  return ArgbToColor(Row[X]);
}

void TCanvas::SetPixels(int X, int Y, TColor C) {
  if (Record(*D, Cmd(TMetaCommand::opPixel, {X, Y, int(C)}))) return;
  X += D->Origin.X;
  Y += D->Origin.Y;
  if (D->Kind == Impl::TKind::Image) {
    TPixelTarget T(*D);
    if (X >= 0 && Y >= 0 && X < T.W && Y < T.H) T.Put(X, Y, D->Argb(C), 13);
  } else {
    WithPainter(*D, [&](QPainter &P) { P.fillRect(QRect(X, Y, 1, 1), QCol(D->Argb(C))); });
  }
  D->Touch(QRect(X, Y, 1, 1));
}

// ---- pictures and blits ----

namespace {

// Copies (stretching by nearest pixel) SrcRect of Src into device rectangle Dst of an
// image target, with a raster operation, an optional transparent colour and an optional
// mask (black = copy, white = keep).
void BlitToImage(TCanvas::Impl &D, QRect Dst, const QImage &Src, QRect SrcRect, uint32_t Rop,
                 bool SrcMono, const uint32_t *Transparent, const QImage *Mask, QPoint MaskOrg) {
  if (Dst.width() <= 0 || Dst.height() <= 0 || SrcRect.width() <= 0 || SrcRect.height() <= 0) return;
  TPixelTarget T(D);
  if (!T.Bits) return;
  QRect Vis = Dst.intersected(T.Clip.Box);
  if (Vis.isEmpty()) return;
  uint32_t Pat = D.Argb(D.Brush.Color);
  uint32_t Fg = D.Argb(D.Font.Color), Bg = D.Argb(D.EffectiveBkColor());
  const bool Same = Dst.width() == SrcRect.width() && Dst.height() == SrcRect.height();
  if (Same && ((Rop >> 16) & 0xFF) == 0xCC && !Transparent && !Mask && SrcMono == D.Mono && T.Clip.Single &&
      Src.format() == QImage::Format_RGB32) {
    // Plain copy: whole rows.
    int X0 = std::max(Vis.left(), Dst.left() - SrcRect.left());
    int X1 = std::min(Vis.right(), Dst.left() - SrcRect.left() + Src.width() - 1);
    for (int Y = Vis.top(); Y <= Vis.bottom() && X0 <= X1; ++Y) {
      int SY = SrcRect.top() + (Y - Dst.top());
      if (SY < 0 || SY >= Src.height()) continue;
      const uint32_t *SRow = reinterpret_cast<const uint32_t *>(Src.constScanLine(SY));
      std::memcpy(T.Bits + size_t(Y) * T.Stride + X0, SRow + SrcRect.left() + (X0 - Dst.left()),
                  size_t(X1 - X0 + 1) * 4);
    }
    return;
  }
  for (int Y = Vis.top(); Y <= Vis.bottom(); ++Y) {
    int SY = Same ? SrcRect.top() + (Y - Dst.top())
                  : SrcRect.top() + int(int64_t(Y - Dst.top()) * SrcRect.height() / Dst.height());
    if (SY < 0 || SY >= Src.height()) continue;
    const uint32_t *SRow = reinterpret_cast<const uint32_t *>(Src.constScanLine(SY));
    const uint32_t *MRow = nullptr;
    if (Mask) {
      int MY = MaskOrg.y() + (SY - SrcRect.top());
      if (MY < 0 || MY >= Mask->height()) continue;
      MRow = reinterpret_cast<const uint32_t *>(Mask->constScanLine(MY));
    }
    uint32_t *DRow = T.Bits + size_t(Y) * T.Stride;
    for (int X = Vis.left(); X <= Vis.right(); ++X) {
      if (!T.Clip.Single && !T.Clip(X, Y)) continue;
      int SX = Same ? SrcRect.left() + (X - Dst.left())
                    : SrcRect.left() + int(int64_t(X - Dst.left()) * SrcRect.width() / Dst.width());
      if (SX < 0 || SX >= Src.width()) continue;
      uint32_t S = SRow[SX] | 0xFF000000u;
      if (Transparent && S == *Transparent) continue;
      if (MRow) {
        int MX = MaskOrg.x() + (SX - SrcRect.left());
        if (MX < 0 || MX >= Mask->width()) continue;
        if ((MRow[MX] & 0xFFFFFF) != 0) continue; // white: keep the destination
      }
      if (SrcMono && !D.Mono) S = (S & 0xFFFFFF) ? Bg : Fg;
      else if (D.Mono && !SrcMono) S = (S == Bg) ? 0xFFFFFFFFu : 0xFF000000u;
      DRow[X] = ApplyRop3(Rop, Pat, S, DRow[X]);
    }
  }
}

// Painter targets (printer, SVG, widget): the same with QPainter; only copy-like
// operations are exact.
void BlitToPainter(TCanvas::Impl &D, QRect Dst, const QImage &Src, QRect SrcRect, uint32_t Rop,
                   const uint32_t *Transparent, const QImage *Mask, QPoint MaskOrg) {
  if (Dst.width() <= 0 || Dst.height() <= 0) return;
  unsigned Index = (Rop >> 16) & 0xFF;
  WithPainter(D, [&](QPainter &P) {
    if (Index == 0x00 || Index == 0xFF) {
      P.fillRect(Dst, Index ? Qt::white : Qt::black);
      return;
    }
    QImage Piece = Src.copy(SrcRect).convertToFormat(QImage::Format_ARGB32);
    if (Index == 0x33) Piece.invertPixels();
    if (Transparent || Mask) {
      for (int Y = 0; Y < Piece.height(); ++Y) {
        uint32_t *Row = reinterpret_cast<uint32_t *>(Piece.scanLine(Y));
        for (int X = 0; X < Piece.width(); ++X) {
          bool Clear = Transparent && (Row[X] | 0xFF000000u) == *Transparent;
          if (Mask) {
            int MX = MaskOrg.x() + X, MY = MaskOrg.y() + Y;
            if (MX < 0 || MY < 0 || MX >= Mask->width() || MY >= Mask->height() ||
                (Mask->pixel(MX, MY) & 0xFFFFFF) != 0)
              Clear = true;
          }
          if (Clear) Row[X] = 0;
        }
      }
    }
    if (Index == 0x88) P.setCompositionMode(QPainter::CompositionMode_Multiply);
    else if (Index == 0xEE) P.setCompositionMode(QPainter::CompositionMode_Lighten);
    P.drawImage(QRectF(Dst), Piece);
  });
}

void Blit(TCanvas::Impl &D, QRect Dst, const QImage &Src, QRect SrcRect, uint32_t Rop, bool SrcMono,
          const uint32_t *Transparent, const QImage *Mask, QPoint MaskOrg) {
  Dst.translate(D.Origin.X, D.Origin.Y);
  if (D.Kind == TCanvas::Impl::TKind::Image)
    BlitToImage(D, Dst, Src, SrcRect, Rop, SrcMono, Transparent, Mask, MaskOrg);
  else if (D.Kind == TCanvas::Impl::TKind::Painter)
    BlitToPainter(D, Dst, Src, SrcRect, Rop, Transparent, Mask, MaskOrg);
  D.Touch(Dst);
}

std::shared_ptr<TBitmap> Snapshot(const TBitmap &B) { return std::make_shared<TBitmap>(B); }

} // namespace

const QImage *CanvasImage(const TCanvas &C) {
  const auto &D = C.Data();
  return D.Kind == TCanvas::Impl::TKind::Image ? D.Image : nullptr;
}

void TCanvas::Draw(int X, int Y, const TBitmap &B) {
  if (B.Empty()) return;
  if (D->Kind == Impl::TKind::Recorder) {
    TMetaCommand C = Cmd(TMetaCommand::opBitmap, {X, Y, X + B.Width(), Y + B.Height(), 0, 0, B.Width(),
                                                  B.Height(), int(cmSrcCopy), 1});
    C.Bitmap = Snapshot(B);
    Record(*D, std::move(C));
    return;
  }
  uint32_t TC = ColorToArgb(ColorToRGB(B.TransparentColor()));
  Blit(*D, QRect(X, Y, B.Width(), B.Height()), BitmapImageRef(B), QRect(0, 0, B.Width(), B.Height()),
       cmSrcCopy, B.Monochrome(), B.Transparent ? &TC : nullptr, nullptr, QPoint());
}

void TCanvas::StretchDraw(const TRect &R, const TBitmap &B) {
  if (B.Empty() || IsRectEmpty(R)) return;
  if (D->Kind == Impl::TKind::Recorder) {
    TMetaCommand C = Cmd(TMetaCommand::opBitmap, {R.Left, R.Top, R.Right, R.Bottom, 0, 0, B.Width(),
                                                  B.Height(), int(cmSrcCopy), 1});
    C.Bitmap = Snapshot(B);
    Record(*D, std::move(C));
    return;
  }
  uint32_t TC = ColorToArgb(ColorToRGB(B.TransparentColor()));
  Blit(*D, QRect(R.Left, R.Top, R.Width(), R.Height()), BitmapImageRef(B), QRect(0, 0, B.Width(), B.Height()),
       cmSrcCopy, B.Monochrome(), B.Transparent ? &TC : nullptr, nullptr, QPoint());
}

void TCanvas::StretchBlt(const TRect &Dst, const TBitmap &B, const TRect &S, TCopyMode Rop) {
  if (B.Empty() || IsRectEmpty(Dst)) return;
  if (D->Kind == Impl::TKind::Recorder) {
    TMetaCommand C = Cmd(TMetaCommand::opBitmap,
                         {Dst.Left, Dst.Top, Dst.Right, Dst.Bottom, S.Left, S.Top, S.Right, S.Bottom, int(Rop), 0});
    C.Bitmap = Snapshot(B);
    Record(*D, std::move(C));
    return;
  }
  Blit(*D, QRect(Dst.Left, Dst.Top, Dst.Width(), Dst.Height()), BitmapImageRef(B),
       QRect(S.Left, S.Top, S.Width(), S.Height()), Rop, B.Monochrome(), nullptr, nullptr, QPoint());
}

void TCanvas::BitBlt(int X, int Y, int W, int H, const TBitmap &B, int SX, int SY, TCopyMode Rop) {
  StretchBlt(TRect(X, Y, X + W, Y + H), B, TRect(SX, SY, SX + W, SY + H), Rop);
}

void TCanvas::BitBlt(int X, int Y, int W, int H, const TCanvas &Source, int SX, int SY, TCopyMode Rop) {
  CopyRect(TRect(X, Y, X + W, Y + H), Source, TRect(SX, SY, SX + W, SY + H));
  (void)Rop;
}

void TCanvas::CopyRect(const TRect &Dest, const TCanvas &Source, const TRect &SrcRect) {
  const QImage *Img = CanvasImage(Source);
  if (!Img || IsRectEmpty(Dest) || IsRectEmpty(SrcRect)) return;
  TRect S = SrcRect;
  OffsetRect(S, Source.Data().Origin.X, Source.Data().Origin.Y);
  if (D->Kind == Impl::TKind::Recorder) {
    TBitmap Piece = BitmapFromImagePiece(*Img, S);
    TMetaCommand C = Cmd(TMetaCommand::opBitmap, {Dest.Left, Dest.Top, Dest.Right, Dest.Bottom, 0, 0,
                                                  S.Width(), S.Height(), int(D->CopyMode), 0});
    C.Bitmap = std::make_shared<TBitmap>(std::move(Piece));
    Record(*D, std::move(C));
    return;
  }
  // Copy first: source and destination may be the same image.
  QImage Src = (Img == D->Image) ? Img->copy() : *Img;
  Blit(*D, QRect(Dest.Left, Dest.Top, Dest.Width(), Dest.Height()), Src,
       QRect(S.Left, S.Top, S.Width(), S.Height()), D->CopyMode, Source.Data().Mono, nullptr, nullptr, QPoint());
}

void TCanvas::MaskBlt(int X, int Y, int W, int H, const TBitmap &Source, int SX, int SY, const TBitmap &Mask,
                      int MX, int MY) {
  if (Source.Empty() || W <= 0 || H <= 0) return;
  if (D->Kind == Impl::TKind::Recorder) {
    TMetaCommand C = Cmd(TMetaCommand::opMaskBlt, {X, Y, W, H, SX, SY, MX, MY});
    C.Bitmap = Snapshot(Source);
    C.Mask = Snapshot(Mask);
    Record(*D, std::move(C));
    return;
  }
  Blit(*D, QRect(X, Y, W, H), BitmapImageRef(Source), QRect(SX, SY, W, H), cmSrcCopy, Source.Monochrome(),
       nullptr, &BitmapImageRef(Mask), QPoint(MX, MY));
}

// ---- clipping ----

namespace {
QRegion DeviceBounds(const TCanvas::Impl &D) {
  TSize S = D.DeviceSize();
  if (S.cx <= 0 || S.cy <= 0) return QRegion(-100000, -100000, 200000, 200000);
  return QRegion(0, 0, S.cx, S.cy);
}
QRegion CurrentClip(const TCanvas::Impl &D) { return D.Clip ? *D.Clip : DeviceBounds(D); }
} // namespace

// A region of logical units (origin-translated) in device units.
QRegion ToDevice(const TCanvas::Impl &D, const QRegion &R) {
  QRegion T = R.translated(D.Origin.X, D.Origin.Y);
  return D.Map.Identity() ? T : MapTransform(D.Map).map(T);
}

TRect TCanvas::ClipRect() const {
  QRect B = CurrentClip(*D).boundingRect();
  if (D->Kind == Impl::TKind::Recorder && !D->Clip) {
    return TRect(0, 0, 32767, 32767);
  }
  if (B.isEmpty()) return TRect();
  if (!D->Map.Identity()) B = MapTransform(D->Map).inverted().mapRect(B);
  return TRect(B.left() - D->Origin.X, B.top() - D->Origin.Y, B.left() + B.width() - D->Origin.X,
               B.top() + B.height() - D->Origin.Y);
}

void TCanvas::SelectClipRegion(const TRegion &R) { D->Clip = ToDevice(*D, R.Data().R); }
void TCanvas::SelectDeviceClipRegion(const TRegion &R) { D->Clip = R.Data().R; }
void TCanvas::SelectClipRect(const TRect &R) { SelectClipRegion(TRegion::FromRect(R)); }
void TCanvas::RemoveClip() { D->Clip.reset(); }
void TCanvas::ExcludeClipRect(const TRect &R) { ExcludeClipRegion(TRegion::FromRect(R)); }
void TCanvas::IntersectClipRect(const TRect &R) { IntersectClipRegion(TRegion::FromRect(R)); }
void TCanvas::ExcludeClipRegion(const TRegion &R) {
  D->Clip = CurrentClip(*D).subtracted(ToDevice(*D, R.Data().R));
}
void TCanvas::IntersectClipRegion(const TRegion &R) {
  D->Clip = CurrentClip(*D).intersected(ToDevice(*D, R.Data().R));
}
bool TCanvas::HasClip() const { return D->Clip.has_value(); }

int TCanvas::SaveState() {
  D->Saved.push_back(Impl::TSaved{D->Clip, D->Origin, D->Map, D->TextAlign, D->BkModeOverride, D->BkColorOverride,
                                  D->BrushAtOverride});
  return int(D->Saved.size());
}

void TCanvas::RestoreState(int Id) {
  if (D->Saved.empty()) return;
  size_t Index = Id < 0 ? D->Saved.size() - 1 : size_t(Id - 1);
  if (Index >= D->Saved.size()) return;
  Impl::TSaved S = D->Saved[Index];
  D->Saved.resize(Index);
  D->Clip = S.Clip;
  D->Origin = S.Origin;
  D->Map = S.Map;
  D->TextAlign = S.TextAlign;
  D->BkModeOverride = S.BkModeOverride;
  D->BkColorOverride = S.BkColorOverride;
  D->BrushAtOverride = S.BrushAtOverride;
}

void Frame3D(TCanvas &C, TRect &R, TColor TopColor, TColor BottomColor, int Width) {
  C.Pen().Width = 1;
  R.Bottom--;
  R.Right--;
  TColor SavePen = C.Pen().Color;
  while (Width > 0) {
    --Width;
    TPoint TL(R.Left, R.Top), TR(R.Right, R.Top), BL(R.Left, R.Bottom), BR(R.Right, R.Bottom);
    C.Pen().Color = TopColor;
    TPoint A[3] = {BL, TL, TR};
    C.Polyline(A);
    C.Pen().Color = BottomColor;
    BL.X--;
    TPoint B[3] = {TR, BR, BL};
    C.Polyline(B);
    InflateRect(R, -1, -1);
  }
  C.Pen().Color = SavePen;
  R.Bottom++;
  R.Right++;
}

// ---- factories ----

std::unique_ptr<TCanvas> MakeImageCanvas(QImage *Image) {
  auto D = std::make_unique<TCanvas::Impl>();
  D->Kind = TCanvas::Impl::TKind::Image;
  D->Image = Image;
  struct TOpen : TCanvas {
    explicit TOpen(std::unique_ptr<Impl> X) : TCanvas(std::move(X)) {}
  };
  return std::make_unique<TOpen>(std::move(D));
}

std::unique_ptr<TCanvas> MakePainterCanvas(QPainter *Painter, QPaintDevice *Device, int Ppi) {
  struct TOpen : TCanvas {
    explicit TOpen(std::unique_ptr<Impl> X) : TCanvas(std::move(X)) {}
  };
  return std::make_unique<TOpen>(MakePainterImpl(Painter, Device, Ppi));
}

std::unique_ptr<TCanvas::Impl> MakePainterImpl(QPainter *Painter, QPaintDevice *Device, int Ppi) {
  auto D = std::make_unique<TCanvas::Impl>();
  D->Kind = TCanvas::Impl::TKind::Painter;
  D->Painter = Painter;
  D->PainterDevice = Device ? Device : (Painter ? Painter->device() : nullptr);
  D->Ppi = Ppi;
  D->Font.PixelsPerInch = Ppi;
  D->Font.SetSize(8);
  return D;
}

void TCanvas::Draw(int X, int Y, const TMetafile &M) {
  StretchDraw(TRect(X, Y, X + M.Width(), Y + M.Height()), M);
}

void TCanvas::StretchDraw(const TRect &R, const TMetafile &M) {
  if (M.Empty()) return;
  if (D->Kind == Impl::TKind::Recorder) {
    TMetaCommand C = Cmd(TMetaCommand::opMetafile, {R.Left, R.Top, R.Right, R.Bottom});
    C.Sub = M.Data();
    C.SubW = M.Width();
    C.SubH = M.Height();
    Record(*D, std::move(C));
    return;
  }
  PlayRecording(*M.Data(), M.Width(), M.Height(), *this, R);
}

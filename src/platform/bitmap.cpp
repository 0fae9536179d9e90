#include "platform/bitmap.h"

#include <QBuffer>
#include <QImage>
#include <cstring>

#include "platform/canvas_impl.h"
#include "platform/files.h"
#include "platform/image_raw.h"
#include "platform/numbers.h"

struct TBitmap::Impl {
  QImage Img;
  TPixelFormat Format = pfDevice;
  std::unique_ptr<TCanvas> Canvas;
  TColor FixedTransparent = clDefault;
  Impl() : Canvas(MakeImageCanvas(&Img)) {}
};

namespace {
constexpr int MaxSide = 32767;
constexpr int64_t MaxPixels = int64_t(1) << 28;

void CheckSize(int W, int H) {
  if (W < 0 || H < 0 || W > MaxSide || H > MaxSide || int64_t(W) * H > MaxPixels)
    throw Exception("Bitmap too large");
}

QImage NewImage(int W, int H) {
  if (W <= 0 || H <= 0) return QImage();
  QImage I(W, H, QImage::Format_RGB32);
  if (I.isNull()) throw Exception("Out of memory for a bitmap");
  I.fill(0xFFFFFFFFu);
  return I;
}

PIXEL_LOOP void OpaqueRow(uint32_t *Row, const uint32_t *From, int W) {
  for (int X = 0; X < W; ++X) Row[X] = From[X] | 0xFF000000u;
}

PIXEL_LOOP void Threshold(QImage &I) {
  for (int Y = 0; Y < I.height(); ++Y) {
    uint32_t *Row = reinterpret_cast<uint32_t *>(I.scanLine(Y));
    for (int X = 0; X < I.width(); ++X) {
      uint32_t P = Row[X];
      int Sum = int((P >> 16) & 0xFF) + int((P >> 8) & 0xFF) + int(P & 0xFF);
      Row[X] = Sum > 382 ? 0xFFFFFFFFu : 0xFF000000u;
    }
  }
}
} // namespace

TBitmap::TBitmap() : D(std::make_unique<Impl>()) {}
TBitmap::TBitmap(int W, int H) : TBitmap() { SetSize(W, H); }
TBitmap::TBitmap(const TBitmap &O) : TBitmap() { Assign(O); }
TBitmap &TBitmap::operator=(const TBitmap &O) {
  if (this != &O) Assign(O);
  return *this;
}
TBitmap::TBitmap(TBitmap &&O) noexcept : TBitmap() { *this = std::move(O); }
TBitmap &TBitmap::operator=(TBitmap &&O) noexcept {
  // The canvas points at its own image: move the pixels and settings, keep the canvas.
  if (this != &O) {
    D->Img = std::move(O.D->Img);
    D->Format = O.D->Format;
    D->FixedTransparent = O.D->FixedTransparent;
    D->Canvas->Data().Mono = O.D->Canvas->Data().Mono;
    Transparent = O.Transparent;
    TransparentMode = O.TransparentMode;
    Palette = std::move(O.Palette);
  }
  return *this;
}
TBitmap::~TBitmap() = default;

void TBitmap::Assign(const TBitmap &O) {
  D->Img = O.D->Img; // shared until either side draws
  D->Format = O.D->Format;
  D->FixedTransparent = O.D->FixedTransparent;
  D->Canvas->Data().Mono = O.D->Canvas->Data().Mono;
  Transparent = O.Transparent;
  TransparentMode = O.TransparentMode;
  Palette = O.Palette;
}

TBitmap TBitmap::FromRgb32(int W, int H, const uint32_t *Pixels) {
  TBitmap B;
  CheckSize(W, H);
  B.D->Img = NewImage(W, H);
  B.D->Format = pf32bit;
  if (!B.D->Img.isNull() && Pixels)
    for (int Y = 0; Y < H; ++Y)
      OpaqueRow(reinterpret_cast<uint32_t *>(B.D->Img.scanLine(Y)), Pixels + size_t(Y) * W, W);
  return B;
}

TBitmap TBitmap::FromIndexed(int W, int H, const uint8_t *Indices,
                             const std::array<uint32_t, 256> &Palette, TPixelFormat Format) {
  TBitmap B;
  CheckSize(W, H);
  B.D->Format = Format;
  B.D->Canvas->Data().Mono = Format == pf1bit;
  if (W <= 0 || H <= 0 || !Indices) return B;
  QImage Indexed(W, H, QImage::Format_Indexed8);
  if (Indexed.isNull()) throw Exception("Out of memory for a bitmap");
  QList<QRgb> Table(256);
  for (size_t I = 0; I < 256; ++I) {
    uint32_t P = Palette[I];
    if (Format == pf1bit) {
      const int Sum = int((P >> 16) & 0xFF) + int((P >> 8) & 0xFF) + int(P & 0xFF);
      P = Sum > 382 ? 0xFFFFFFu : 0;
    }
    Table[qsizetype(I)] = 0xFF000000u | P;
  }
  Indexed.setColorTable(Table);
  for (int Y = 0; Y < H; ++Y) std::memcpy(Indexed.scanLine(Y), Indices + size_t(Y) * W, size_t(W));
  B.D->Img = Indexed.convertToFormat(QImage::Format_RGB32);
  if (B.D->Img.isNull()) throw Exception("Out of memory for a bitmap");
  return B;
}

int TBitmap::Width() const { return D->Img.width(); }
int TBitmap::Height() const { return D->Img.height(); }
void TBitmap::SetWidth(int W) { SetSize(W, Height()); }
void TBitmap::SetHeight(int H) { SetSize(Width(), H); }
void TBitmap::SetSize(int W, int H) {
  CheckSize(W, H);
  if (W == Width() && H == Height()) return;
  QImage N = NewImage(W, H);
  if (!N.isNull() && !D->Img.isNull()) {
    int CW = std::min(W, Width()), CH = std::min(H, Height());
    for (int Y = 0; Y < CH; ++Y) std::memcpy(N.scanLine(Y), D->Img.constScanLine(Y), size_t(CW) * 4);
  }
  D->Img = std::move(N);
  // A resized canvas loses its clip, as a new device context would.
  D->Canvas->RemoveClip();
}
bool TBitmap::Empty() const { return D->Img.isNull(); }

int StoredPixelBits(TPixelFormat F) {
  switch (F) {
  case pf1bit: return 1;
  case pf4bit: return 4;
  case pf8bit: return 8;
  case pf24bit: return 24;
  default: return 0;
  }
}

TPixelFormat TBitmap::PixelFormat() const { return D->Format; }
void TBitmap::SetPixelFormat(TPixelFormat F) {
  D->Format = F;
  bool Mono = F == pf1bit;
  D->Canvas->Data().Mono = Mono;
  if (Mono && !D->Img.isNull()) Threshold(D->Img);
}
bool TBitmap::Monochrome() const { return D->Format == pf1bit; }
void TBitmap::SetMonochrome(bool Mono) {
  if (Mono) SetPixelFormat(pf1bit);
  else if (D->Format == pf1bit) SetPixelFormat(pfDevice);
}

TCanvas &TBitmap::Canvas() { return *D->Canvas; }
const TCanvas &TBitmap::Canvas() const { return *D->Canvas; }

uint32_t *TBitmap::ScanLine(int Y) {
  if (Y < 0 || Y >= Height()) throw Exception("Scan line index out of range");
  // Pixels shared with a copy are copied before they are written; that copy can fail.
  uint32_t *Row = reinterpret_cast<uint32_t *>(D->Img.scanLine(Y));
  if (!Row) throw Exception("Out of memory for a bitmap");
  return Row;
}
const uint32_t *TBitmap::ScanLine(int Y) const {
  if (Y < 0 || Y >= Height()) throw Exception("Scan line index out of range");
  return reinterpret_cast<const uint32_t *>(D->Img.constScanLine(Y));
}

TColor TBitmap::TransparentColor() const {
  if (TransparentMode == tmFixed && D->FixedTransparent != clDefault) return D->FixedTransparent;
  if (D->Img.isNull()) return clWhite;
  return ArgbToColor(D->Img.pixel(0, Height() - 1));
}
void TBitmap::SetTransparentColor(TColor C) {
  D->FixedTransparent = C;
  TransparentMode = C == clDefault ? tmAuto : tmFixed;
}

TBitmap TBitmap::ToMonochrome(TColor Background) const {
  TBitmap R;
  if (!D->Img.isNull()) {
    // Every pixel is written below: the new image needs no copy or fill first.
    R.D->Img = QImage(D->Img.width(), D->Img.height(), QImage::Format_RGB32);
    if (R.D->Img.isNull()) throw Exception("Out of memory for a bitmap");
  }
  uint32_t Bg = ColorToArgb(ColorToRGB(Background));
  const size_t RowBytes = size_t(R.Width()) * 4;
  for (int Y = 0; Y < R.Height(); ++Y) {
    const uint32_t *Src = reinterpret_cast<const uint32_t *>(D->Img.constScanLine(Y));
    uint32_t *Row = reinterpret_cast<uint32_t *>(R.D->Img.scanLine(Y));
    // A row like the one above (a plain area, the rows a truncated file leaves out) takes
    // that row's result whole.
    if (Y > 0 && std::memcmp(Src, D->Img.constScanLine(Y - 1), RowBytes) == 0) {
      std::memcpy(Row, R.D->Img.constScanLine(Y - 1), RowBytes);
      continue;
    }
    for (int X = 0; X < R.Width(); ++X)
      Row[X] = ((Src[X] | 0xFF000000u) == Bg) ? 0xFFFFFFFFu : 0xFF000000u;
  }
  R.D->Format = pf1bit;
  R.D->Canvas->Data().Mono = true;
  return R;
}

TBitmap TBitmap::MonoToColor(TColor TextColor, TColor BackColor) const {
  TBitmap R;
  R.D->Img = D->Img.copy();
  uint32_t Fg = ColorToArgb(ColorToRGB(TextColor)), Bg = ColorToArgb(ColorToRGB(BackColor));
  for (int Y = 0; Y < R.Height(); ++Y) {
    uint32_t *Row = reinterpret_cast<uint32_t *>(R.D->Img.scanLine(Y));
    for (int X = 0; X < R.Width(); ++X) Row[X] = (Row[X] & 0xFFFFFF) ? Bg : Fg;
  }
  R.D->Format = pfDevice;
  return R;
}

void TBitmap::LoadFromResource(const std::string &Name) {
  std::vector<uint8_t> Data;
  if (!ReadResourceBytes(Name, ".png", Data) || !LoadFromPngData(Data))
    throw Exception("Resource " + Name + " not found");
}

bool TBitmap::LoadFromPngData(const std::vector<uint8_t> &Data) {
  QImage I;
  if (!I.loadFromData(Data.data(), int(Data.size()), "PNG")) return false;
  CheckSize(I.width(), I.height());
  // Transparent artwork pixels become white, as on a classic bitmap.
  QImage Flat(I.size(), QImage::Format_RGB32);
  Flat.fill(0xFFFFFFFFu);
  {
    QPainter P(&Flat);
    P.drawImage(0, 0, I);
  }
  D->Img = std::move(Flat);
  D->Format = pf24bit;
  D->Canvas->Data().Mono = false;
  return true;
}

bool TBitmap::SaveToPng(const std::string &Path) const {
  if (D->Img.isNull()) return false;
  return D->Img.save(QString::fromStdString(Path), "PNG");
}

std::vector<uint8_t> TBitmap::SaveToPngData() const {
  QByteArray Bytes;
  QBuffer Buf(&Bytes);
  Buf.open(QIODevice::WriteOnly);
  if (!D->Img.isNull()) D->Img.save(&Buf, "PNG");
  return std::vector<uint8_t>(Bytes.begin(), Bytes.end());
}

void TBitmap::Fill(TColor C) {
  if (D->Img.isNull()) return;
  uint32_t P = ColorToArgb(ColorToRGB(C));
  if (Monochrome()) P = (GetRValue(C) + GetGValue(C) + GetBValue(C)) > 382 ? 0xFFFFFFFFu : 0xFF000000u;
  D->Img.fill(P);
}

QImage &BitmapImageRef(TBitmap &B) { return B.Data().Img; }
const QImage &BitmapImageRef(const TBitmap &B) { return B.Data().Img; }

TBitmap BitmapFromImagePiece(const QImage &Image, const TRect &R) {
  QImage Piece = Image.copy(R.Left, R.Top, R.Width(), R.Height()).convertToFormat(QImage::Format_RGB32);
  TBitmap B;
  if (!Piece.isNull()) {
    const uint32_t *Px = reinterpret_cast<const uint32_t *>(Piece.constBits());
    if (Piece.bytesPerLine() == Piece.width() * 4) return TBitmap::FromRgb32(Piece.width(), Piece.height(), Px);
    std::vector<uint32_t> Buf(size_t(Piece.width()) * Piece.height());
    for (int Y = 0; Y < Piece.height(); ++Y)
      std::memcpy(&Buf[size_t(Y) * Piece.width()], Piece.constScanLine(Y), size_t(Piece.width()) * 4);
    return TBitmap::FromRgb32(Piece.width(), Piece.height(), Buf.data());
  }
  return B;
}

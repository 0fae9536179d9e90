#include "platform/icon.h"

#include <algorithm>

#include "platform/canvas.h"
#include "platform/clipboard.h"
#include "platform/files.h"
#include "platform/image_raw.h"

namespace {

constexpr const char *SInvalidIcon = "Icon image is not valid";
// Icons larger than this on a side are not icons.
constexpr int MaxIconSide = 1024;

[[noreturn]] void InvalidIcon() { throw EInvalidGraphic(SInvalidIcon); }

int64_t RowBytes(int64_t Width, int Bits) { return ((Width * Bits + 31) / 32) * 4; }

uint32_t Le32(const uint8_t *P) {
  return uint32_t(P[0]) | (uint32_t(P[1]) << 8) | (uint32_t(P[2]) << 16) | (uint32_t(P[3]) << 24);
}

uint32_t ColorDistance(uint32_t A, uint32_t B) {
  int DR = int((A >> 16) & 0xFF) - int((B >> 16) & 0xFF);
  int DG = int((A >> 8) & 0xFF) - int((B >> 8) & 0xFF);
  int DB = int(A & 0xFF) - int(B & 0xFF);
  return uint32_t(DR * DR + DG * DG + DB * DB);
}

} // namespace

void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::Assign(const TIcon &Source) {
  if (&Source == this) return;
  FWidth = Source.FWidth;
  FHeight = Source.FHeight;
  FBits = Source.FBits;
  FPalette = Source.FPalette;
  FPixels = Source.FPixels;
  FMask = Source.FMask;
  FCursor = Source.FCursor;
  FHotSpot = Source.FHotSpot;
  Changed();
}

void TIcon::LoadFromClipboardFormat(unsigned Format) {
  if (!Format || Format != ClipboardFormat || !Clipboard().HasFormatNumber(Format)) InvalidIcon();
  TMemoryStream S(Clipboard().FormatData(Format));
  LoadFromStream(S);
}

void TIcon::SaveToClipboardFormat(unsigned &Format) {
  if (!ClipboardFormat) throw EInvalidGraphic("Unsupported clipboard format");
  TMemoryStream S;
  SaveToStream(S);
  Format = ClipboardFormat;
  Clipboard().SetFormatData(Format, S.Bytes);
}

void TIcon::LoadFromResource(const std::string &Name) {
  std::vector<uint8_t> Data;
  if (!ReadResourceBytes(Name, ".ico", Data)) throw Exception("Resource " + Name + " not found");
  TMemoryStream S(std::move(Data));
  LoadFromStream(S);
}

void TIcon::Clear() {
  FWidth = FHeight = FBits = 0;
  FPalette.clear();
  FPixels.clear();
  FMask.clear();
  FCursor = false;
  FHotSpot = {0, 0};
}

uint32_t TIcon::Pixel(int X, int Y) const {
  size_t I = size_t(Y) * size_t(FWidth) + size_t(X);
  return FMask[I] ? (FPixels[I] & 0x00FFFFFF) : FPixels[I];
}

void TIcon::LoadFromStream(TMemoryStream &Stream) {
  std::span<const uint8_t> D = Stream.Rest();
  TByteReader R(D);
  uint16_t Reserved = R.U16LE(), Type = R.U16LE(), Count = R.U16LE();
  if (R.Truncated() || Reserved != 0 || (Type != 1 && Type != 2) || Count == 0) InvalidIcon();
  R.Skip(4); // width, height, colour count, reserved: the bitmap header tells the truth
  uint16_t HotX = R.U16LE(), HotY = R.U16LE();
  uint32_t Bytes = R.U32LE(), Offset = R.U32LE();
  if (R.Truncated() || Offset > D.size() || Bytes > D.size() - Offset || Bytes < 40) InvalidIcon();
  std::span<const uint8_t> Img = D.subspan(Offset, Bytes);
  TByteReader H(Img);
  const TBitmapInfoFields Info = ReadBitmapInfoFields(H);
  const uint32_t HeaderSize = Info.HeaderSize;
  const int32_t W = Info.Width, H2 = Info.Height;
  const int Bits = Info.Bits;
  if (H.Truncated() || HeaderSize < 40 || HeaderSize > Img.size() || Info.Compression != 0)
    InvalidIcon();
  if (W <= 0 || H2 <= 1 || W > MaxIconSide || H2 / 2 > MaxIconSide) InvalidIcon();
  if (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 16 && Bits != 24 && Bits != 32) InvalidIcon();
  const int Ht = H2 / 2;
  const size_t Colors = Info.TableColors();
  const int64_t XorStride = RowBytes(W, Bits), AndStride = RowBytes(W, 1);
  const int64_t PalEnd = int64_t(HeaderSize) + int64_t(Colors) * 4;
  const int64_t XorEnd = PalEnd + XorStride * Ht;
  const bool HasMask = XorEnd + AndStride * Ht <= int64_t(Img.size());
  // A 32-bit image may leave out its mask and let alpha speak; every other needs one.
  if (XorEnd > int64_t(Img.size()) || (!HasMask && Bits != 32)) InvalidIcon();

  TIcon N;
  N.FWidth = W;
  N.FHeight = Ht;
  N.FBits = Bits;
  N.FCursor = Type == 2;
  N.FHotSpot = Type == 2 ? TPoint{HotX, HotY} : TPoint{0, 0};
  for (size_t I = 0; I < Colors; ++I) {
    const uint8_t *P = Img.data() + HeaderSize + I * 4;
    N.FPalette.push_back((uint32_t(P[2]) << 16) | (uint32_t(P[1]) << 8) | P[0]);
  }
  N.FPixels.assign(size_t(W) * size_t(Ht), 0xFF000000u);
  N.FMask.assign(size_t(W) * size_t(Ht), 0);
  for (int Y = 0; Y < Ht; ++Y) {
    // Rows are stored bottom-up.
    const uint8_t *Row = Img.data() + PalEnd + XorStride * (Ht - 1 - Y);
    uint32_t *Out = N.FPixels.data() + size_t(Y) * size_t(W);
    for (int X = 0; X < W; ++X) {
      uint32_t C = 0;
      if (Bits <= 8) {
        unsigned Index = Bits == 8   ? Row[X]
                         : Bits == 4 ? (Row[X >> 1] >> (X & 1 ? 0 : 4)) & 15
                                     : (Row[X >> 3] >> (7 - (X & 7))) & 1;
        C = 0xFF000000u | (Index < Colors ? N.FPalette[Index] : 0);
      } else if (Bits == 16) {
        unsigned V = Row[2 * X] | (Row[2 * X + 1] << 8);
        unsigned R5 = (V >> 10) & 31, G5 = (V >> 5) & 31, B5 = V & 31;
        C = RgbPixel(R5 << 3 | R5 >> 2, G5 << 3 | G5 >> 2, B5 << 3 | B5 >> 2);
      } else if (Bits == 24) {
        C = RgbPixel(Row[3 * X + 2], Row[3 * X + 1], Row[3 * X]);
      } else {
        C = Le32(Row + 4 * X);
      }
      Out[X] = C;
    }
    uint8_t *M = N.FMask.data() + size_t(Y) * size_t(W);
    if (HasMask) {
      const uint8_t *A = Img.data() + XorEnd + AndStride * (Ht - 1 - Y);
      for (int X = 0; X < W; ++X) M[X] = (A[X >> 3] >> (7 - (X & 7))) & 1;
    } else {
      for (int X = 0; X < W; ++X) M[X] = (Out[X] >> 24) == 0;
    }
  }
  Stream.SetPosition(Stream.Position() + int64_t(Offset) + int64_t(Bytes));
  *this = std::move(N);
  Changed();
}

void TIcon::SaveToStream(TMemoryStream &Stream) {
  if (Empty()) InvalidIcon();
  const size_t Colors = FBits <= 8 ? size_t(1) << FBits : 0;
  const int64_t XorStride = RowBytes(FWidth, FBits), AndStride = RowBytes(FWidth, 1);
  const uint32_t Bytes = uint32_t(40 + Colors * 4 + (XorStride + AndStride) * FHeight);
  Stream.WriteU16(0);
  Stream.WriteU16(FCursor ? 2 : 1);
  Stream.WriteU16(1);
  Stream.WriteU8(uint8_t(FWidth)); // 256 is written as 0
  Stream.WriteU8(uint8_t(FHeight));
  Stream.WriteU8(uint8_t(Colors));
  Stream.WriteU8(0);
  Stream.WriteU16(FCursor ? uint16_t(FHotSpot.X) : 1);
  Stream.WriteU16(FCursor ? uint16_t(FHotSpot.Y) : uint16_t(FBits));
  Stream.WriteU32(Bytes);
  Stream.WriteU32(22);
  Stream.WriteU32(40);
  Stream.WriteU32(uint32_t(FWidth));
  Stream.WriteU32(uint32_t(FHeight * 2));
  Stream.WriteU16(1);
  Stream.WriteU16(uint16_t(FBits));
  Stream.WriteU32(0);
  Stream.WriteU32(uint32_t((XorStride + AndStride) * FHeight));
  for (int I = 0; I < 4; ++I) Stream.WriteU32(0);
  for (size_t I = 0; I < Colors; ++I) {
    uint32_t C = I < FPalette.size() ? FPalette[I] : 0;
    Stream.WriteU32(C & 0xFFFFFF);
  }
  std::vector<uint8_t> Row(size_t(std::max(XorStride, AndStride)));
  for (int Y = FHeight - 1; Y >= 0; --Y) {
    std::fill(Row.begin(), Row.end(), 0);
    const uint32_t *In = FPixels.data() + size_t(Y) * size_t(FWidth);
    for (int X = 0; X < FWidth; ++X) {
      uint32_t C = In[X];
      if (FBits <= 8) {
        // The nearest palette entry: an icon read keeps its exact indices this way.
        unsigned Best = 0;
        uint32_t BestD = UINT32_MAX;
        for (size_t I = 0; I < FPalette.size() && BestD; ++I) {
          uint32_t Dist = ColorDistance(C, FPalette[I]);
          if (Dist < BestD) {
            BestD = Dist;
            Best = unsigned(I);
          }
        }
        if (FBits == 8) Row[size_t(X)] = uint8_t(Best);
        else if (FBits == 4) Row[size_t(X >> 1)] |= uint8_t(Best << (X & 1 ? 0 : 4));
        else Row[size_t(X >> 3)] |= uint8_t((Best & 1) << (7 - (X & 7)));
      } else if (FBits == 16) {
        unsigned V = (((C >> 19) & 31) << 10) | (((C >> 11) & 31) << 5) | ((C >> 3) & 31);
        Row[size_t(2 * X)] = uint8_t(V);
        Row[size_t(2 * X + 1)] = uint8_t(V >> 8);
      } else if (FBits == 24) {
        Row[size_t(3 * X)] = uint8_t(C);
        Row[size_t(3 * X + 1)] = uint8_t(C >> 8);
        Row[size_t(3 * X + 2)] = uint8_t(C >> 16);
      } else {
        for (int K = 0; K < 4; ++K) Row[size_t(4 * X + K)] = uint8_t(C >> (8 * K));
      }
    }
    Stream.Write(Row.data(), size_t(XorStride));
  }
  for (int Y = FHeight - 1; Y >= 0; --Y) {
    std::fill(Row.begin(), Row.end(), 0);
    const uint8_t *M = FMask.data() + size_t(Y) * size_t(FWidth);
    for (int X = 0; X < FWidth; ++X)
      if (M[X]) Row[size_t(X >> 3)] |= uint8_t(0x80 >> (X & 7));
    Stream.Write(Row.data(), size_t(AndStride));
  }
}

void TIcon::SetImage(int Width, int Height, int Bits, const std::vector<uint32_t> &Pixels,
                     const std::vector<uint8_t> &Mask) {
  const size_t N = size_t(Width) * size_t(Height);
  if (Width <= 0 || Height <= 0 || Width > MaxIconSide || Height > MaxIconSide ||
      Pixels.size() < N || (!Mask.empty() && Mask.size() < N) ||
      (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 16 && Bits != 24 && Bits != 32))
    InvalidIcon();
  Clear();
  FWidth = Width;
  FHeight = Height;
  FBits = Bits;
  FPixels.assign(Pixels.begin(), Pixels.begin() + std::ptrdiff_t(N));
  if (Bits != 32)
    for (uint32_t &P : FPixels) P |= 0xFF000000u;
  FMask.assign(N, 0);
  if (!Mask.empty()) std::copy(Mask.begin(), Mask.begin() + std::ptrdiff_t(N), FMask.begin());
  if (Bits <= 8) {
    const size_t Max = size_t(1) << Bits;
    for (size_t I = 0; I < N && FPalette.size() < Max; ++I) {
      uint32_t C = FPixels[I] & 0xFFFFFF;
      if (std::find(FPalette.begin(), FPalette.end(), C) == FPalette.end()) FPalette.push_back(C);
    }
    FPalette.resize(Max, 0);
  }
  Changed();
}

TBitmap TIcon::ToBitmap(TColor Background) const {
  TBitmap B(FWidth, FHeight);
  TColor Bg = ColorToRGB(Background);
  uint32_t BgPixel = RgbPixel(Bg & 0xFF, (Bg >> 8) & 0xFF, (Bg >> 16) & 0xFF);
  for (int Y = 0; Y < FHeight; ++Y) {
    uint32_t *Out = B.ScanLine(Y);
    for (int X = 0; X < FWidth; ++X) {
      size_t I = size_t(Y) * size_t(FWidth) + size_t(X);
      Out[X] = FMask[I] ? BgPixel : (FPixels[I] | 0xFF000000u);
    }
  }
  return B;
}

void TIcon::Draw(TCanvas &Canvas, const TRect &Rect) {
  if (Empty()) return;
  TBitmap Colors = ToBitmap(0);
  TBitmap Mask(FWidth, FHeight);
  for (int Y = 0; Y < FHeight; ++Y) {
    uint32_t *M = Mask.ScanLine(Y);
    for (int X = 0; X < FWidth; ++X)
      M[X] = FMask[size_t(Y) * size_t(FWidth) + size_t(X)] ? 0xFFFFFFFFu : 0xFF000000u;
  }
  Mask.SetPixelFormat(pf1bit);
  if (Rect.Right - Rect.Left == FWidth && Rect.Bottom - Rect.Top == FHeight) {
    Canvas.MaskBlt(Rect.Left, Rect.Top, FWidth, FHeight, Colors, 0, 0, Mask, 0, 0);
  } else {
    Canvas.StretchDraw(Rect, Colors);
  }
}

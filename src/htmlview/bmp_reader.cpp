#include "htmlview/bmp_reader.h"

#include <array>
#include <bit>

namespace {

constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6;

bool Fail(std::string *Error, const char *Why) {
  if (Error) *Error = Why;
  return false;
}

// One channel of a bit-field pixel, scaled to 0..255.
struct TField {
  uint32_t Mask = 0;
  int Shift = 0;
  uint32_t Max = 0;
  explicit TField(uint32_t M = 0) : Mask(M) {
    if (!M) return;
    Shift = std::countr_zero(M);
    Max = M >> Shift;
  }
  unsigned Get(uint32_t V) const {
    if (!Max) return 0;
    uint64_t X = (V & Mask) >> Shift;
    return unsigned((X * 255 + Max / 2) / Max);
  }
};

// Maps a row of the file (0 = first stored) to the picture's row.
struct TRowMap {
  int Height;
  bool TopDown;
  int operator()(int64_t FileRow) const {
    return TopDown ? int(FileRow) : Height - 1 - int(FileRow);
  }
};

void DecodeRle(TByteReader &R, bool Four, const std::array<uint32_t, 256> &Pal, TRawImage &Img,
               TRowMap Map) {
  int64_t X = 0, Y = 0;
  auto Put = [&](unsigned Index) {
    if (X < Img.Width && Y < Img.Height) Img.Row(Map(Y))[X] = Pal[Index & 0xFF];
    ++X;
  };
  while (!R.AtEnd() && Y < Img.Height) {
    uint8_t Count = R.U8();
    uint8_t Value = R.U8();
    if (R.Truncated()) break;
    if (Count > 0) {
      for (int I = 0; I < Count; ++I)
        Put(Four ? ((I & 1) ? Value & 0x0F : Value >> 4) : Value);
      continue;
    }
    if (Value == 0) { X = 0; ++Y; continue; }  // end of line
    if (Value == 1) break;                     // end of bitmap
    if (Value == 2) {                          // delta
      X += R.U8();
      Y += R.U8();
      continue;
    }
    // Absolute run of Value pixels, padded to a 16-bit boundary.
    int Bytes = Four ? (Value + 1) / 2 : Value;
    for (int I = 0; I < Value && !R.AtEnd(); ++I) {
      if (Four) {
        uint8_t B = R.Bytes()[R.Pos()];
        Put((I & 1) ? B & 0x0F : B >> 4);
        if (I & 1 || I == Value - 1) R.Skip(1);
      } else {
        Put(R.U8());
      }
    }
    if (Bytes & 1) R.Skip(1);
  }
}

} // namespace

bool DecodeBmp(std::span<const uint8_t> Data, TRawImage &Img, std::string *Error) {
  Img = TRawImage();
  TByteReader R(Data);
  if (R.U8() != 'B' || R.U8() != 'M') return Fail(Error, "not a BMP file");
  R.U32LE(); // file size: often wrong, never trusted
  R.U32LE(); // reserved
  uint32_t OffBits = R.U32LE();
  uint32_t HeaderSize = R.U32LE();
  if (R.Truncated()) return Fail(Error, "BMP header truncated");

  int64_t W = 0, H = 0;
  int Bits = 0;
  uint32_t Compression = BI_RGB, ClrUsed = 0;
  uint32_t Masks[3] = {0, 0, 0};
  bool Core = HeaderSize == 12;
  if (Core) {
    W = R.U16LE();
    H = R.U16LE(); // unsigned in the core header: always bottom-up
    R.U16LE(); // planes
    Bits = R.U16LE();
  } else if (HeaderSize >= 40 && HeaderSize <= 124) {
    W = int32_t(R.U32LE());
    H = int32_t(R.U32LE());
    R.U16LE();
    Bits = R.U16LE();
    Compression = R.U32LE();
    R.U32LE(); // image size
    R.U32LE(); // resolutions
    R.U32LE();
    ClrUsed = R.U32LE();
    R.U32LE(); // important colours
    if (Compression == BI_BITFIELDS || Compression == BI_ALPHABITFIELDS) {
      // Masks follow a 40-byte header; larger headers hold them inside.
      for (uint32_t &M : Masks) M = R.U32LE();
    }
  } else {
    return Fail(Error, "unknown BMP header");
  }
  if (R.Truncated()) return Fail(Error, "BMP header truncated");
  size_t TableAt = 14 + size_t(HeaderSize);
  if (HeaderSize == 40 && (Compression == BI_BITFIELDS || Compression == BI_ALPHABITFIELDS))
    TableAt += Compression == BI_BITFIELDS ? 12 : 16;

  bool TopDown = H < 0;
  if (TopDown) H = -H;
  if (!ImageSizeAllowed(W, H)) return Fail(Error, "BMP size out of range");
  switch (Bits) {
  case 1: case 4: case 8: case 16: case 24: case 32: break;
  default: return Fail(Error, "unsupported BMP depth");
  }
  bool Rle = Compression == BI_RLE8 || Compression == BI_RLE4;
  if (Compression == BI_RLE8 && Bits != 8) return Fail(Error, "bad RLE8 depth");
  if (Compression == BI_RLE4 && Bits != 4) return Fail(Error, "bad RLE4 depth");
  bool Fields = Compression == BI_BITFIELDS || Compression == BI_ALPHABITFIELDS;
  if (Fields && Bits != 16 && Bits != 32) return Fail(Error, "bad bit-field depth");
  if (!Rle && !Fields && Compression != BI_RGB) return Fail(Error, "unsupported BMP compression");

  // Colour table: always 256 entries, unlisted ones black.
  std::array<uint32_t, 256> Pal;
  Pal.fill(0xFF000000u);
  if (Bits <= 8) {
    uint32_t Count = ClrUsed ? ClrUsed : (1u << Bits);
    if (Count > 256) Count = 256;
    int Entry = Core ? 3 : 4;
    R.Seek(TableAt);
    for (uint32_t I = 0; I < Count && R.Remaining() >= size_t(Entry); ++I) {
      unsigned B = R.U8(), G = R.U8(), Rd = R.U8();
      if (!Core) R.U8();
      Pal[I] = RgbPixel(Rd, G, B);
    }
  }
  if (OffBits == 0 || OffBits >= Data.size()) {
    // Some writers leave the offset out: the bits then follow the table.
    size_t After = TableAt + (Bits <= 8 ? size_t(Core ? 3 : 4) *
                                              (ClrUsed && ClrUsed < 256 ? ClrUsed : (1u << Bits))
                                        : 0);
    if (OffBits >= Data.size() || After >= Data.size()) return Fail(Error, "BMP has no pixel data");
    OffBits = uint32_t(After);
  }
  if (!Img.Allocate(W, H)) return Fail(Error, "BMP size out of range");
  Img.SourceBits = Bits;
  TRowMap Map{Img.Height, TopDown};
  R = TByteReader(Data);
  R.Seek(OffBits);

  if (Rle) {
    DecodeRle(R, Compression == BI_RLE4, Pal, Img, Map);
    return true;
  }

  if (!Fields) {
    if (Bits == 16) { Masks[0] = 0x7C00; Masks[1] = 0x03E0; Masks[2] = 0x001F; }
    if (Bits == 32) { Masks[0] = 0xFF0000; Masks[1] = 0xFF00; Masks[2] = 0xFF; }
  }
  const TField FR(Masks[0]), FG(Masks[1]), FB(Masks[2]);
  const size_t Stride = size_t((int64_t(Bits) * W + 31) / 32 * 4);
  const uint8_t *Base = Data.data() + OffBits;
  const size_t Avail = Data.size() - OffBits;
  for (int64_t FileRow = 0; FileRow < H; ++FileRow) {
    size_t At = size_t(FileRow) * Stride;
    if (At >= Avail) break;
    size_t Have = Avail - At < Stride ? Avail - At : Stride;
    const uint8_t *S = Base + At;
    uint32_t *D = Img.Row(Map(FileRow));
    // Pixels whose bytes lie beyond the data stay black.
    int64_t Count = W;
    switch (Bits) {
    case 1: Count = std::min<int64_t>(W, int64_t(Have) * 8); break;
    case 4: Count = std::min<int64_t>(W, int64_t(Have) * 2); break;
    case 8: Count = std::min<int64_t>(W, int64_t(Have)); break;
    case 16: Count = std::min<int64_t>(W, int64_t(Have) / 2); break;
    case 24: Count = std::min<int64_t>(W, int64_t(Have) / 3); break;
    case 32: Count = std::min<int64_t>(W, int64_t(Have) / 4); break;
    }
    for (int64_t X = 0; X < Count; ++X) {
      switch (Bits) {
      case 1: D[X] = Pal[(S[X >> 3] >> (7 - (X & 7))) & 1]; break;
      case 4: D[X] = Pal[(X & 1) ? S[X >> 1] & 0x0F : S[X >> 1] >> 4]; break;
      case 8: D[X] = Pal[S[X]]; break;
      case 16: {
        uint32_t V = uint32_t(S[2 * X]) | (uint32_t(S[2 * X + 1]) << 8);
        D[X] = RgbPixel(FR.Get(V), FG.Get(V), FB.Get(V));
        break;
      }
      case 24: D[X] = RgbPixel(S[3 * X + 2], S[3 * X + 1], S[3 * X]); break;
      case 32: {
        const uint8_t *P = S + 4 * X;
        uint32_t V = uint32_t(P[0]) | (uint32_t(P[1]) << 8) | (uint32_t(P[2]) << 16) |
                     (uint32_t(P[3]) << 24);
        D[X] = RgbPixel(FR.Get(V), FG.Get(V), FB.Get(V));
        break;
      }
      }
    }
  }
  return true;
}

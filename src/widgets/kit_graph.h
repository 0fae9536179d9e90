#pragma once
// Colour reduction and bitmap conversion for the picture kit: a bitmap of any depth
// becomes a bitmap file (file header, info header, palette, bottom-up rows) of 1, 4, 8
// or 24 bits a pixel, the palette chosen by one of six methods.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/bitmap.h"
#include "platform/streams.h"

// The mapping methods, in their stored order.
enum : uint8_t {
  mmHistogram = 0,
  mmMedianCut = 1,
  mmUniform784 = 2, // 7 reds x 8 greens x 4 blues
  mmUniform666 = 3,
  mmTripel = 4, // channel interleave
  mmGrayScale = 5,
};
constexpr uint8_t DefaultMappingMethod = mmHistogram;

// Channel value 0..255 to the index of the nearest level (ties to the lower index).
struct TLevelTables {
  std::array<uint8_t, 256> T4, T6, T7, T8;
};
const TLevelTables &LevelTables();
// The level values themselves.
inline constexpr uint8_t Levels4[4] = {0, 85, 170, 255};
inline constexpr uint8_t Levels6[6] = {0, 51, 102, 153, 204, 255};
inline constexpr uint8_t Levels7[7] = {0, 43, 85, 128, 170, 213, 255};
inline constexpr uint8_t Levels8[8] = {0, 36, 73, 109, 146, 182, 219, 255};

// Bytes of a row of Bits bits, padded to 32 bits.
inline int64_t WidthBytes(int64_t Bits) { return ((Bits + 31) / 32) * 4; }
int PixelFormatToColors(TPixelFormat PixelFormat);
TPixelFormat GetBitmapPixelFormat(const TBitmap &Bitmap);
[[noreturn]] void InvalidBitmap();

// The bitmap as a bitmap file at PixelFormat (pf1bit, pf4bit, pf8bit or pf24bit), the
// palette of an 8-bit file made by Method; the stream is positioned at 0. An empty
// bitmap raises EInvalidGraphic "Bitmap image is not valid"; for other formats the user
// is told "Function not yet implemented" and the result is null (the caller ends quietly).
std::unique_ptr<TMemoryStream> BitmapToMemoryStream(const TBitmap &Bitmap, TPixelFormat PixelFormat,
                                                    uint8_t Method);
// The default method at the depth for Colors: up to 2, 16, 256 colours, else 24 bits.
std::unique_ptr<TMemoryStream> SetBitmapPixelFormat(const TBitmap &Bitmap, int Colors);

// 0xFFRRGGBB pixels of a 24-bit picture, rows bottom-up as a bitmap file keeps them.
struct TTrueColorRows {
  int Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;
  uint32_t At(int X, int Y) const { return Pixels[size_t(Y) * size_t(Width) + size_t(X)]; }
};

// An 8-bit result: indices (rows bottom-up, Width bytes each) and 256 palette entries.
struct TIndexedRows {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Indices;
  std::array<uint32_t, 256> Palette{}; // 0x00RRGGBB
  int ColorsUsed = 0;                  // 0: all 256
};

// What the histogram method ended with: the channel masks and how often it counted.
struct THistogramStats {
  uint8_t RedMask = 255, GreenMask = 255, BlueMask = 255;
  int Passes = 0;
  int Entries = 0;
};
THistogramStats HistogramReduce(const TTrueColorRows &Src, int Colors, TIndexedRows &Out);
void MedianCutQuantize(const TTrueColorRows &Src, int Colors, TIndexedRows &Out);
void ReduceTo784(const TTrueColorRows &Src, TIndexedRows &Out);
void ReduceTo666(const TTrueColorRows &Src, TIndexedRows &Out);
void MakeTripelPalette(TIndexedRows &Out);
void ConvertTripel(const TTrueColorRows &Src, TIndexedRows &Out);
void ReduceToGray(const TTrueColorRows &Src, TIndexedRows &Out);

// A bitmap file read back: 1, 4, 8 or 24 bits, uncompressed. Palette entries 0x00RRGGBB
// (as many as the colours-used field says, or 2^bits when it is 0).
struct TDibImage {
  int Width = 0, Height = 0, Bits = 0;
  std::vector<uint32_t> Palette;
  int64_t Stride = 0;
  std::vector<uint8_t> Rows; // bottom-up, Stride bytes each
  // Palette index of pixel (X, Y), Y from the top; 0 for 24-bit pictures.
  unsigned Index(int X, int Y) const;
  uint32_t Color(int X, int Y) const; // 0x00RRGGBB
  TBitmap ToBitmap() const;
};
// Raises EInvalidGraphic "Bitmap image is not valid" when Data is no such file or its
// sizes exceed the bytes there.
TDibImage ReadBitmapFile(std::span<const uint8_t> Data);
// Writes a bitmap file of an indexed picture: Bits 1, 4 or 8, Indices Width x Height
// (rows top first), Palette of PaletteCount entries (0 writes 2^Bits entries).
std::vector<uint8_t> WriteBitmapFile(int Width, int Height, int Bits, const uint8_t *Indices,
                                     const std::vector<uint32_t> &Palette, int ColorsUsed = 0);

#pragma once
// TBitmap: an off-screen picture with a canvas. Every pixel format is stored the same
// way, as rows of 32-bit pixels 0xFFRRGGBB (ScanLine gives one row; rows are Width pixels
// long, top row first). PixelFormat records the nominal depth: pf1bit (Monochrome)
// bitmaps hold only black (0xFF000000) and white (0xFFFFFFFF) pixels, and drawing on
// them maps every colour to the nearer of the two. A new bitmap is white.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/numbers.h"
#include "platform/types.h"

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };
// Bits per pixel of the formats bitmap files store (1, 4, 8, 24); 0 for the others.
int StoredPixelBits(TPixelFormat F);
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap {
public:
  TBitmap();
  TBitmap(int Width, int Height);
  // Copies Width x Height pixels 0x??RRGGBB (alpha ignored), rows top first.
  static TBitmap FromRgb32(int Width, int Height, const uint32_t *Pixels);
  // Width x Height palette indices (rows top first) through Palette's 256 entries
  // 0x??RRGGBB, with the nominal depth Format; pf1bit pixels are thresholded as
  // SetPixelFormat does. Large pictures are converted in one pass of the image library.
  static TBitmap FromIndexed(int Width, int Height, const uint8_t *Indices,
                             const std::array<uint32_t, 256> &Palette, TPixelFormat Format);
  TBitmap(const TBitmap &Other);            // copies pixels and settings
  TBitmap &operator=(const TBitmap &Other); // as Assign
  TBitmap(TBitmap &&) noexcept;
  TBitmap &operator=(TBitmap &&) noexcept;
  ~TBitmap();
  void Assign(const TBitmap &Other);

  int Width() const;
  int Height() const;
  // Resizing keeps the overlapping pixels, new area white. Sizes are capped: a side above
  // 32767 or more than 2^28 pixels raises Exception("Bitmap too large").
  void SetWidth(int W);
  void SetHeight(int H);
  void SetSize(int W, int H);
  bool Empty() const;

  TPixelFormat PixelFormat() const;
  void SetPixelFormat(TPixelFormat F); // to pf1bit: thresholds the pixels
  bool Monochrome() const;
  void SetMonochrome(bool Mono);

  TCanvas &Canvas();
  const TCanvas &Canvas() const;

  // Row Y (0 <= Y < Height), Width 32-bit pixels 0xFFRRGGBB.
  uint32_t *ScanLine(int Y);
  const uint32_t *ScanLine(int Y) const;

  // Drawing this bitmap with Draw leaves out the pixels of TransparentColor. tmAuto takes
  // the colour of the bottom-left pixel.
  bool Transparent = false;
  TTransparentMode TransparentMode = tmAuto;
  TColor TransparentColor() const;
  void SetTransparentColor(TColor C); // also sets TransparentMode = tmFixed

  // Colour to mono: pixels equal to Background become white, all others black.
  TBitmap ToMonochrome(TColor Background) const;
  // Mono to colour: black pixels become TextColor, white ones BackColor (as a mono source
  // is blitted onto a colour target).
  TBitmap MonoToColor(TColor TextColor, TColor BackColor) const;

  // A PNG of res/ compiled in, by name: "PLUS" is ":/PLUS.png" (ReadResourceBytes tells
  // which names are tried). Raises Exception "Resource <name> not found" when missing.
  void LoadFromResource(const std::string &Name);
  // Decodes a PNG (only for the program's own artwork; page pictures have own decoders).
  bool LoadFromPngData(const std::vector<uint8_t> &Data);
  bool SaveToPng(const std::string &Path) const;
  std::vector<uint8_t> SaveToPngData() const;

  // Cleared to one colour, keeping the size.
  void Fill(TColor C);
  // Palette only behind the no-palette switch: always empty on true-colour displays.
  std::vector<TColor> Palette;

  struct Impl;
  Impl &Data() { return *D; }
  const Impl &Data() const { return *D; }

private:
  std::unique_ptr<Impl> D;
};

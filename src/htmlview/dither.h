#pragma once
// Colour reduction for palette displays: any picture becomes an 8-bit one whose pixels
// are entries of a palette. Row access in a chosen pixel format, lookups into a palette
// (a general one with an inverse cache, and the 6x6x6 web cube), a row ditherer with and
// without Floyd-Steinberg error diffusion, an octree quantiser for an optimised palette,
// and the entries ReduceColors and ReduceToDisplayPalette.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/bitmap.h"
#include "platform/numbers.h"
#include "platform/streams.h"

class GIFException : public Exception {
public:
  using Exception::Exception;
};
class EOutOfMemory : public Exception {
public:
  using Exception::Exception;
};

// The program's resource strings of the picture routines.
// SInvalidBitmap (65298) and EInvalidGraphicOperation come with the platform's streams.
inline constexpr const char *SInvalidPixelFormat = "Invalid pixel format";              // 65299
inline constexpr const char *SScanlineOutOfRange = "Scan line index out of range";      // 65300
inline constexpr const char *SOutOfMemoryDIB = "Failed to allocate memory for GIF DIB"; // 65327

enum class TColorReduction : uint8_t {
  None = 0,      // 24-bit copy
  Windows = 1,   // the stock default palette
  Netscape = 3,  // the web palette of 216 colours
  MyPalette = 4, // the viewer's shared palette
  Quantize = 5,  // an optimised palette of 256 colours
};
enum class TDitherMode : uint8_t { Nearest = 0, FloydSteinberg = 1 };

// 216 entries: 36r + 6g + b is (51r, 51g, 51b).
std::vector<TColor> WebPalette();
int BytesPerScanline(int Pixels, int Bits, int Alignment);
[[noreturn]] void GIFError(const char *Message);

// Rows of a bitmap in a pixel format of its own, the bitmap's pixels staying 32-bit.
class TDIB {
public:
  virtual ~TDIB() = default;
  virtual uint8_t *GetScanline(int Row) = 0;
  TPixelFormat PixelFormat() const { return FPixelFormat; }

protected:
  TDIB(const TBitmap &Bitmap, TPixelFormat PixelFormat);
  uint8_t *Row(int Row);
  const TBitmap *FBitmap;
  TPixelFormat FPixelFormat;
  int FWidth, FHeight, FRowBytes;
  std::vector<uint8_t> FBits;
};

// 24-bit rows (blue, green, red) read from a bitmap that is never changed.
class TDIBReader : public TDIB {
public:
  TDIBReader(const TBitmap &Bitmap, TPixelFormat PixelFormat);
  uint8_t *GetScanline(int Row) override;
};

// 8-bit rows of palette indexes; the bitmap receives them, as its palette's colours and
// as pf8bit, when the writer goes.
class TDIBWriter : public TDIB {
public:
  TDIBWriter(TBitmap &Bitmap, TPixelFormat PixelFormat);
  ~TDIBWriter() override;
  uint8_t *GetScanline(int Row) override;

private:
  TBitmap *FTarget;
};

class TColorLookup {
public:
  int Colors = 0;
  virtual ~TColorLookup() = default;
  // Index of the entry chosen for (Red, Green, Blue); R, G, B receive its colour.
  virtual int Lookup(uint8_t Red, uint8_t Green, uint8_t Blue, uint8_t &R, uint8_t &G,
                     uint8_t &B) = 0;
};

// Nearest entry by |dR| + |dG| + |dB|, remembered per 5-5-5 cell: colours of one cell
// share the answer of the first that filled it.
class TFastColorLookup : public TColorLookup {
public:
  explicit TFastColorLookup(const std::vector<TColor> &Palette);
  int Lookup(uint8_t Red, uint8_t Green, uint8_t Blue, uint8_t &R, uint8_t &G, uint8_t &B) override;
  static int Key(uint8_t Red, uint8_t Green, uint8_t Blue) {
    return (Red >> 3) | ((Green >> 3) << 5) | ((Blue >> 3) << 10);
  }

private:
  static constexpr uint16_t EmptyCell = 65535;
  std::array<std::array<uint8_t, 3>, 256> FPalette{};
  std::vector<uint16_t> FMap;
};

// The web cube: each channel to (v + 3) div 51.
class TNetscapeColorLookup : public TColorLookup {
public:
  TNetscapeColorLookup() { Colors = 216; }
  int Lookup(uint8_t Red, uint8_t Green, uint8_t Blue, uint8_t &R, uint8_t &G, uint8_t &B) override;
};

// Nearest colour, rows scanned alternately left to right and right to left.
class TDitherEngine {
public:
  int Direction = 1;
  int Column = 0;
  TColorLookup *Lookup; // not owned
  int Width;
  TDitherEngine(int AWidth, TColorLookup &ALookup) : Lookup(&ALookup), Width(AWidth) {}
  virtual ~TDitherEngine() = default;
  virtual int Dither(uint8_t Red, uint8_t Green, uint8_t Blue, uint8_t &R, uint8_t &G, uint8_t &B);
  virtual void NextLine();
};

// Error diffusion in integer sixteenths: 7 to the next pixel, 3 below behind, 5 below,
// 1 below ahead.
class TFloydSteinbergEngine : public TDitherEngine {
public:
  TFloydSteinbergEngine(int AWidth, TColorLookup &ALookup);
  int Dither(uint8_t Red, uint8_t Green, uint8_t Blue, uint8_t &R, uint8_t &G, uint8_t &B) override;
  void NextLine() override;

private:
  std::array<std::vector<int>, 3> FErrors; // red, green, blue; Width + 2 each
  std::array<int, 3> FAt{};                // one slot behind the pixel in the scan direction
  std::array<int, 3> FRunning{}, FBelow{}, FBelowPrev{};
};

struct TOctreeNode {
  bool IsLeaf = false;
  // 64-bit: one colour over the largest picture sums beyond 2^32.
  int64_t PixelCount = 0, RedSum = 0, GreenSum = 0, BlueSum = 0;
  TOctreeNode *Next = nullptr; // next reducible node of the same level
  std::array<std::unique_ptr<TOctreeNode>, 8> Children;
};

class TColorQuantizer {
public:
  TColorQuantizer(int AMaxColors, int AColorBits);
  ~TColorQuantizer();
  void ProcessImage(TDIBReader &Reader, int Width, int Height);
  void AddColor(uint8_t Red, uint8_t Green, uint8_t Blue);
  std::vector<TColor> GetColorTable() const;
  int LeafCount() const { return FLeafCount; }

private:
  void AddColor(std::unique_ptr<TOctreeNode> &Node, uint8_t Red, uint8_t Green, uint8_t Blue,
                int Level);
  void ReduceTree();
  std::unique_ptr<TOctreeNode> FTree;
  int FLeafCount = 0;
  std::array<TOctreeNode *, 8> FReducibleNodes{};
  int FMaxColors, FColorBits;
};

// Colors entries; with Windows the stock colours stay at 0..9 and 246..255 and at most
// 236 quantised ones fill 10..245.
std::vector<TColor> CreateOptimizedPalette(const TBitmap &Bitmap, int Colors, int ColorBits,
                                           bool Windows);
// A new bitmap; Bitmap itself is not changed. Modes other than the five give a blank
// 8-bit bitmap of the same size.
std::unique_ptr<TBitmap> ReduceColors(const TBitmap &Bitmap, TColorReduction Mode,
                                      TDitherMode DitherMode);
// The picture in the display's colours, or nullptr for a missing or empty bitmap. A
// bitmap already in the shared palette is only copied.
std::unique_ptr<TBitmap> ReduceToDisplayPalette(const TBitmap *Bitmap);

#pragma once
// GIF container parser and LZW raster decoder. The core knows nothing of bitmaps or
// policies: it lists the blocks of a GIF file and turns one frame's LZW data into rows of
// colour indices, reporting whether the raster was complete, truncated or corrupt (and
// at which pixel). The viewer's animated image and the picture-format classes build on it.
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

// Largest number of frames a GIF may bring; later image descriptors end the scan.
constexpr int GifMaxFrames = 256;

enum class TGifStatus { Complete, Truncated, Corrupt };

struct TGifRasterResult {
  TGifStatus Status = TGifStatus::Corrupt;
  // Pixels decoded in the order of the data (for Corrupt: where the fault was met).
  int64_t Pixels = 0;
};

// 256 RGB triples, always full size and zero-filled, so that any index is harmless.
using TGifColorTable = std::array<uint8_t, 768>;

struct TGifFrameInfo {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool HasColorTable = false;
  int LocalColorBits = 0; // 0 when the frame uses the global table
  bool Interlaced = false;
  TGifColorTable ColorTable{}; // the local table when HasColorTable
  // From the graphic control extension that preceded the frame (zeros when none).
  bool HasGraphicControl = false;
  int Disposal = 0;     // as stored, 0..7
  int DelayCs = 0;      // hundredths of a second
  bool Transparent = false;
  uint8_t TransparentIndex = 0;
  bool UserInput = false;
  std::string Comment;  // text of the comment extensions since the previous frame
  size_t DataOffset = 0; // offset of the LZW minimum code size byte
  size_t DataEnd = 0;    // offset just past the raster's sub-blocks
};

struct TGifContainer {
  bool Gif89 = false;
  int ScreenWidth = 0, ScreenHeight = 0;
  uint8_t Packed = 0, BackgroundIndex = 0, Aspect = 0;
  bool HasGlobalTable = false;
  int GlobalColorBits = 0; // (packed and 7) + 1 when the table is present
  TGifColorTable GlobalTable{};
  int LoopCount = -1; // NETSCAPE 2.0 repeat count; -1 when absent, 0 endless
  std::vector<TGifFrameInfo> Frames;
  bool SawTrailer = false;
  bool Truncated = false;  // the data ended inside a block
  bool StoppedEarly = false; // an unknown block ended the scan
};

// Parses the header, logical screen, colour tables and every block up to the trailer,
// the end of the data, an unknown block, or MaxFrames image descriptors. False only when
// the data is not a GIF (no "GIF" signature or no complete logical screen descriptor).
bool ParseGifContainer(std::span<const uint8_t> Data, TGifContainer &Gif,
                       int MaxFrames = GifMaxFrames);

// Decodes Frame's raster from Data (the whole file) into Indices: Width x Height bytes,
// rows top first in display order (interlaced passes are put in place), zero where the
// data gave nothing. Pixels beyond the frame are dropped.
TGifRasterResult DecodeGifRaster(std::span<const uint8_t> Data, const TGifFrameInfo &Frame,
                                 std::vector<uint8_t> &Indices);

// Told the share of the coded data consumed so far, 0..100: once with 0 before the
// first code, whenever the share grows, and once with 100 at the end.
using TGifProgress = std::function<void(int Percent)>;

// The same over bare LZW data (minimum code size byte, then the sub-blocks).
TGifRasterResult DecodeGifLzw(std::span<const uint8_t> Lzw, int Width, int Height,
                              bool Interlaced, std::vector<uint8_t> &Indices,
                              const TGifProgress &Progress = {});

// Decodes Frame's raster straight into Pixels (Width x Height values, rows top first),
// each index given as Map[index]; pixels the data did not reach get Map[0]. Root codes of
// a minimum code size above 8 beyond index 255 also give Map[0].
TGifRasterResult DecodeGifRasterPixels(std::span<const uint8_t> Data, const TGifFrameInfo &Frame,
                                       const std::array<uint32_t, 256> &Map, uint32_t *Pixels);
TGifRasterResult DecodeGifLzwPixels(std::span<const uint8_t> Lzw, int Width, int Height,
                                    bool Interlaced, const std::array<uint32_t, 256> &Map, uint32_t *Pixels);

// Display row of the N-th row in the data of an interlaced image of Height rows
// (passes from rows 0, 4, 2, 1 in steps of 8, 8, 4, 2).
int GifInterlacedRow(int N, int Height);

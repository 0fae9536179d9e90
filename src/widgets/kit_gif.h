#pragma once
// The GIF picture class of the picture kit: GIF 87a and 89a, single pictures and
// animations, read into frames whose LZW data stays coded until a frame is drawn, and
// written again with an LZW encoder (true-colour frames reduced to 256 colours first).
// Registered for the "gif" extension and its own clipboard format by RegisterKitGIF.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/gif_decoder.h"
#include "platform/graphic.h"
#include "platform/icon.h"
#include "platform/image_raw.h"

class TAnimatedCursorImage;
class TKitGIFImage;

// The texts of the class's errors.
inline constexpr const char *SGIFUnknownVersion = "Unknown GIF version";
inline constexpr const char *SGIFEncodeError = "GIF image encoding error";
inline constexpr const char *SGIFDecodeError = "GIF encoded data is corrupt";
inline constexpr const char *SGIFCodeSizeError = "GIF code size not in range 2 to 9";
inline constexpr const char *SGIFWrongColorCount = "Wrong number of colors; must be a power of 2";
inline constexpr const char *SGIFUnknownExtension = "Unrecognized extension block: %.2x";
inline constexpr const char *SGIFNoDataToWrite = "No GIF Data to write";
inline constexpr const char *SGIFCannotChangeSize = "Cannot change the Size of a GIF image";
inline constexpr const char *SGIFImageDescription = "CompuServe GIF Image";

struct TGIFColorTable {
  int Count = 0;
  std::array<uint8_t, 768> Colors{}; // red, green, blue as in the file
  TColor Entry(int I) const {
    return TColor(Colors[size_t(3 * I)] | (Colors[size_t(3 * I + 1)] << 8) |
                  (Colors[size_t(3 * I + 2)] << 16));
  }
  // The first entry of colour C (0x00BBGGRR), -1 when none.
  int IndexOf(TColor C) const;
};

// Screen-level data, shared between copies of a picture.
struct TGIFData {
  std::vector<std::string> Comment;
  uint8_t AspectRatio = 0;
  uint8_t BitsPerPixel = 0;
  uint8_t ColorResolution = 0;
  TGIFColorTable ColorTable;
};

// One frame's coded picture, shared between a frame and its copies.
struct TGIFItem {
  // Minimum code size, the sub-blocks as in the file, the zero-length block.
  std::vector<uint8_t> ImageData;
  int Width = 0, Height = 0;
  bool Interlaced = false;
  uint8_t BitsPerPixel = 0;
  TGIFColorTable ColorTable;
};

class TExtension {
public:
  enum : uint8_t { GraphicControl = 0, PlainText = 1, Application = 2, Comment = 3 };
  uint8_t ExtType = GraphicControl;
  std::vector<std::string> Data;
  // The fixed part after the label: 6 bytes of graphic control, 13 of plain text, 12 of
  // an application extension.
  std::array<uint8_t, 13> Fixed{};
  void Assign(const TExtension &Source) { *this = Source; }
  static uint8_t Label(uint8_t Type);
  static size_t FixedSize(uint8_t Type);
};

class TGIFFrame {
public:
  explicit TGIFFrame(TKitGIFImage *Owner);
  virtual ~TGIFFrame() = default;
  virtual void Assign(const TGIFFrame &Source);
  void Assign(const TKitGIFImage &Source);
  // From a picture: an empty one clears the frame. Transparent: its colour TransparentColor.
  void Assign(const TBitmap &Source);
  void Assign(const TIcon &Source, TColor Background);

  // Decoded on first use; nullptr for an empty frame.
  TBitmap *Bitmap();
  bool HasBitmap() const { return FBitmap != nullptr; }

  TKitGIFImage *Owner;
  std::shared_ptr<TGIFItem> ImageData;
  std::vector<TExtension> Extensions;
  TPoint TopLeft{0, 0};
  bool Interlaced = false;
  bool Corrupted = false;
  bool GrayScale = false;
  TColor TransparentColor = clNone;
  uint16_t AnimateInterval = 0; // milliseconds
  uint8_t DisposalMethod = 0;
  bool LocalColors = false;

private:
  friend class TKitGIFImage;
  TGifProgress ProgressReport();
  void Decode();
  bool Encode(); // false: ended quietly, the user was told
  void UpdateExtensions();
  std::unique_ptr<TBitmap> FBitmap;
};

class TKitGIFImage : public TGraphic {
public:
  TKitGIFImage();
  ~TKitGIFImage() override;

  void Draw(TCanvas &Canvas, const TRect &Rect) override;
  bool Equals(const TGraphic *Graphic) const;
  bool Empty() const override;
  int Width() const override;
  int Height() const override;
  void SetWidth(int) override;
  void SetHeight(int) override;
  bool Transparent() const override;
  void LoadFromStream(TMemoryStream &Stream) override;
  void SaveToStream(TMemoryStream &Stream) override;
  // Form streaming: a 4-byte size, then the GIF.
  void ReadData(TMemoryStream &Stream);
  void WriteData(TMemoryStream &Stream);
  void LoadFromClipboardFormat(unsigned Format) override;
  void SaveToClipboardFormat(unsigned &Format) override;
  TBitmap ToBitmap() override;

  virtual int AddFrame(const TBitmap &Bitmap);
  int AddFrame(const TIcon &Icon, TColor Background);
  void Clear();
  int FrameCount() const { return int(Frames.size()); }
  TGIFFrame &Frame(int I) { return *Frames.at(size_t(I)); }
  const TGIFFrame &Frame(int I) const { return *Frames.at(size_t(I)); }

  void Assign(const TKitGIFImage *Source); // nullptr clears
  void Assign(const TGIFFrame &Source);
  void Assign(const TBitmap &Source);
  void Assign(const TAnimatedCursorImage &Source);
  // The current frame's bitmap (an empty one when there is none).
  void AssignTo(TBitmap &Dest);

  void ReadStream(int64_t Size, TMemoryStream &Stream, bool DecodeFirst);
  void WriteStream(TMemoryStream &Stream, bool WriteSize);

  std::shared_ptr<TGIFData> ImageData;
  uint8_t Version = 0; // 0 none, 1 "87a", 2 "89a"
  std::vector<std::unique_ptr<TGIFFrame>> Frames;
  int FrameIndex = -1;
  uint16_t ScreenWidth = 0, ScreenHeight = 0;
  TColor BackgroundColor = clNone;
  bool Looping = false;
  uint16_t RepeatCount = 1;

private:
  friend class TGIFFrame;
  void FramesChanged();
  void ReadFrame(TByteReader &R, std::vector<TExtension> &Pending);
};

// The "GIF Image" clipboard format (0 until RegisterKitGIF).
extern unsigned CF_GIF;
// Unit switches: truncated frames load (marked Corrupted), and the method that reduces
// true-colour frames before coding.
extern bool GIFAllowTruncated;
extern uint8_t GIFColorReduction;

// Registers the class for "gif" and the clipboard format; called once at start-up.
void RegisterKitGIF();
void UnregisterKitGIF();

// LZW data (minimum code size byte, sub-blocks, terminator) of Width x Height indices of
// Bits bits (rows top first), in interlace order when asked.
std::vector<uint8_t> EncodeGifLzw(const uint8_t *Indices, int Width, int Height, int Bits,
                                  bool Interlaced, const TGifProgress &Progress = {});

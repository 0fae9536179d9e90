#pragma once
// The viewer's GIF image: every frame decoded once into a bitmap and a transparency mask,
// frames composed off screen by their disposal methods, the animation advanced by the
// document's 50 ms timer through CheckTime.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "htmlview/image_cache.h"
#include "platform/bitmap.h"
#include "platform/gif_decoder.h"
#include "platform/types.h"

class TCanvas;
class TGIFImage;

// One frame, immutable once read; copies of an image share their frames.
class TgfFrame {
public:
  int Left = 0, Top = 0, Width = 0, Height = 0;
  int LocalColorBits = 0;
  int Delay = 0;        // milliseconds
  uint8_t Disposal = 0; // 0..3 (stored values above 3 act as 2)
  bool HasColorTable = false, Interlaced = false, Transparent = false;
  uint8_t TransparentIndex = 0;
  uint8_t TransparentColor[3] = {0, 0, 0}; // R, G, B
  TGifColorTable ColorTable{};
  // Made by Decode, which the image calls before it shows the frame.
  mutable TBitmap Bitmap; // black where transparent
  mutable TBitmap Mask;   // white (1) where transparent; empty for opaque frames
  std::string Comment;
  bool Dither = false;
  // What the raster decoder said; a Truncated frame keeps the rows it had.
  mutable TGifStatus Status = TGifStatus::Complete;
  // What decoding needs: the file's data (until decoded), where the raster lies, and the
  // colour of every index (0 for the transparent one).
  mutable std::shared_ptr<const std::vector<uint8_t>> Source;
  TGifFrameInfo Info;
  std::array<uint32_t, 256> Map{};
  mutable bool Decoded = false;
  void Decode() const;

  TColor TransparentTColor() const {
    return RGB(TransparentColor[0], TransparentColor[1], TransparentColor[2]);
  }

private:
  void DecodeFrom(const std::vector<uint8_t> &Data) const;
};

// What the document shows behind a transparent picture, for frames that accumulate.
struct TGifBackdrop {
  TColor Color = clWhite;           // the cell's own colour, or the document's
  const TBitmap *Image = nullptr;   // the document's background picture, when it shows
  const TBitmap *Mask = nullptr;    // its mask, when transparent
  int ScrollY = 0;                  // the document's vertical scroll position
};

class TGIFImage {
public:
  bool Animated = false;
  int CurrentFrame = 1;
  bool Empty = true;
  int ScreenWidth = 0, ScreenHeight = 0;
  bool NoLoopLimit = false;
  int FrameCount = 0;
  int LoopLimit = 1;
  bool IsTransparent = false;
  bool ShowIt = true;
  int ColorBits = 0;
  TGifColorTable GlobalTable{};
  bool Dither = false;
  int CurrentLoop = 1;
  bool ScanOnly = false;
  bool IsCopy = false;

  TGIFImage();
  virtual ~TGIFImage();
  TGIFImage(const TGIFImage &) = delete;
  TGIFImage &operator=(const TGIFImage &) = delete;
  // A copy shares the frames and has its own composite, animation state and caches;
  // nullptr when its composite does not fit in the picture budget.
  static std::unique_ptr<TGIFImage> CreateCopy(const TGIFImage &Source);
  // What the picture takes with its frames decoded: the frames (for the image that holds
  // them, not its copies) and its own composite.
  int64_t PictureBytes() const;

  bool LoadFromFile(const std::string &Name);
  bool LoadFromStream(std::span<const uint8_t> Data);
  bool ScanFromFile(const std::string &Name);
  bool ScanFromStream(std::span<const uint8_t> Data);
  // Parses the data held in the image's stream; false when it gives no frame.
  virtual bool ParseStream();

  int AnimateSpeed() const { return FAnimateSpeed; }
  // Percent; 200 halves every delay. 0 would stop time: it counts as 1.
  void SetAnimateSpeed(int Percent) { FAnimateSpeed = Percent < 1 ? 1 : Percent; }
  bool Animate() const { return FAnimate; }
  void SetAnimate(bool Value);
  void SetCurrentFrame(int N);
  void SetShowIt(bool Value) { ShowIt = Value; }

  // The animation tick: true when a new frame was composed; the caller repaints
  // LastDrawnRect (Invalidate, when given, is called with it).
  bool CheckTime(const std::function<void(const TRect &)> &Invalidate = {});
  TRect LastDrawnRect() const { return Bounds(FLastX, FLastY, FLastW, FLastH); }
  int Interval() const { return FInterval; }

  // Draws the current composite stretched to (X, Y, W, H). Backdrop describes what the
  // document shows there (nullptr: white, no background picture).
  void Draw(TCanvas &Canvas, const TGifBackdrop *Backdrop, int X, int Y, int W, int H);

  // First-frame copies, owned by the image (nullptr when empty or scanned only).
  const TBitmap *GetBitmap();
  const TBitmap *GetMask();
  const TBitmap *GetMaskedBitmap();

  void Clear();

  // 1-based; the frame is decoded when it has not been yet.
  const TgfFrame &Frame(int N) const {
    const TgfFrame &F = *Frames[size_t(N - 1)];
    F.Decode();
    return F;
  }
  // The frames composed, over the part of the screen that some frame covers.
  const TBitmap &Composite() const { return FImage; }
  const TBitmap &CompositeMask() const { return FMask; }
  TRect CompositeBounds() const { return FBox; }
  // What frames left in place have piled up on, over the part of the drawn picture that
  // the frames cover; nullptr before such a frame was drawn.
  const TBitmap *PiledBackground() const { return FBackground.get(); }

  // The millisecond clock of the animation (timeGetTime); tests replace it.
  static std::function<uint32_t()> Clock;

private:
  void RenderFrame();
  void DisposeFrame(int N);
  void AllocateComposite();
  TRect FrameBox() const;
  uint32_t Now() const;

  std::vector<std::shared_ptr<const TgfFrame>> Frames;
  // Saved areas for frames with disposal 3, one pair per frame, owned by this image.
  struct TRestore { TBitmap Image, Mask; bool Saved = false; };
  std::vector<TRestore> Restore;
  std::vector<uint8_t> Stream;
  TBitmap FImage, FMask;
  TRect FBox; // where FImage lies on the screen
  std::unique_ptr<TBitmap> FBackground;
  int FBackW = 0, FBackH = 0; // the drawn size FBackground was made for
  std::unique_ptr<TBitmap> FMaskedBitmap, FBitmapCopy, FMaskCopy;
  int FAnimateSpeed = 100;
  bool FAnimate = false;
  bool FFirstPaint = false;
  bool FCompositeIsFrame1 = false; // FImage shares frame 1's pixels, nothing drawn into it
  bool FSkipTick = true;
  int FLastX = 0, FLastY = 0, FLastW = 0, FLastH = 0;
  uint32_t FLastTick = 0;
  int FInterval = 1;
  TPictureCharge FCharge; // a copy's composite
};

// Scans, then fully loads; NonAnimated says whether it has a single frame. nullptr (after
// freeing the cache's unused images) when the GIF cannot be read.
std::unique_ptr<TGIFImage> CreateAGif(const std::string &Name, bool &NonAnimated);
std::unique_ptr<TGIFImage> CreateAGifFromStream(std::span<const uint8_t> Data, bool &NonAnimated);

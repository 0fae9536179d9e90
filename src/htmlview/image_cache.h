#pragma once
// Everything between an image name and a ready-to-draw bitmap: file-type recognition,
// loading BMP, GIF and JPEG pictures, the GIF and PNG transparency probes, transparency
// masks, adaptation to the display's depth, the device-independent bitmap, the shared
// palette, the default pictures and the image cache shared by every viewer.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/bitmap.h"
#include "platform/streams.h"
#include "platform/types.h"

class TCanvas;
class TGIFImage;

enum TTransparency : uint8_t { NotTransp = 0, LLCorner = 1, TGif = 2, TPng = 3 };

// File types by first bytes.
constexpr int itUnknown = 0, itBMP = 1, itGIF87 = 2, itGIF89 = 3, itPNG = 4, itJPEG = 5;

// The viewer's default for ImageCacheCount; the cache starts with it.
constexpr int DefaultImageCacheCount = 5;

// --- Unit state, made on first use and shared by all viewers ---

// Display depth: 4, 8 or 24. The screen is true-colour; tests force the palette paths.
int ColorBits();
// Sets the depth (4, 5..8 -> 8, 9.. -> 24) and makes or drops the shared palette.
// SystemPalette gives entries 0..255 before the cube is put in (the classic static
// colours when empty).
void SetDisplayColorBits(int Bits, const std::vector<TColor> &SystemPalette = {});
// The shared 8-bit palette: 256 entries on 8-bit displays, else empty.
const std::vector<TColor> &ThePalette();
TBitmap &DefBitmap();        // 1002: not shown, or still pending
TBitmap &ErrorBitmap();      // 1001: could not be loaded
TBitmap &ErrorBitmapMask();  // 1005: mask of 1001
class TStringBitmapList;
TStringBitmapList &BitmapList();
// A host answering an image request with this very stream says "not available yet".
TMemoryStream *WaitStream();

// The viewer's screen cursors: 1 the hand over links (1003), 2 cursor 1006, 3 to 5 the
// middle-button pan cursors "UPDOWNCURSOR", "UPONLYCURSOR", "DOWNONLYCURSOR". Installed
// once by the first viewer (needs the windowing library running).
constexpr int crHtmlLink = 1, crHtml1006 = 2, crUpDown = 3, crUpOnly = 4, crDownOnly = 5;
void InstallViewerCursors();

// --- Recognition and probes ---

int DetectImageType(std::span<const uint8_t> FirstBytes);
int DetectImageFileType(const std::string &Name);
bool FindGifTransparentColor(std::span<const uint8_t> Data, TColor &Color);
bool FindGifTransparentColor(TMemoryStream &Stream, TColor &Color);
bool FindPngTransparentColor(TMemoryStream &Stream, TColor &Color);
bool FindGifTransparentColorInFile(const std::string &Name, TColor &Color);
bool FindPngTransparentColorInFile(const std::string &Name, TColor &Color);

// --- Loading (never raises; nullptr when nothing could be loaded) ---

std::unique_ptr<TBitmap> LoadImageFromFile(const std::string &Name, bool ColorConvert);
std::unique_ptr<TBitmap> LoadImageFromFileWrapper(const std::string &Name);
std::unique_ptr<TBitmap> LoadImageWithMask(const std::string &Name, TTransparency &Transparent,
                                           std::unique_ptr<TBitmap> &Mask);
std::unique_ptr<TBitmap> LoadImageWithMaskFromStream(const TMemoryStream *Stream,
                                                     TTransparency &Transparent,
                                                     std::unique_ptr<TBitmap> &Mask);

// Monochrome mask of Bitmap's size: white where the pixel has Color (the lower-left
// pixel's colour unless UseColor), black elsewhere. nullptr for an empty bitmap, and when
// memory runs out.
std::unique_ptr<TBitmap> BuildTransparencyMask(const TBitmap &Bitmap, bool UseColor, TColor Color);
std::unique_ptr<TBitmap> DitherIfNeeded(std::unique_ptr<TBitmap> Bitmap);
// Every pixel to its nearest entry of the shared palette; the result carries a copy of it.
std::unique_ptr<TBitmap> ConvertTo256Palette(std::unique_ptr<TBitmap> &Bitmap);
// Draws Image transparently (Mask white = transparent) stretched to (X, Y, W, H).
void PrintBitmapWithMask(TCanvas &Canvas, const TBitmap &Image, const TBitmap &Mask, int X, int Y,
                         int W, int H);
std::vector<TColor> CopyPalette(const std::vector<TColor> &Palette);
// The 256 entries of the shared palette made from the given system palette.
std::vector<TColor> BuildGlobalPalette(const std::vector<TColor> &SystemPalette = {});
// The classic twenty static colours of an 8-bit display at 0..9 and 246..255.
std::vector<TColor> DefaultSystemPalette();
// Index of the entry nearest to Color (squared RGB distance; the first of equals).
int NearestPaletteIndex(const std::vector<TColor> &Palette, TColor Color);

// --- Device-independent bitmap ---

class TDib {
public:
  // The 40-byte header's fields.
  struct THeader {
    int32_t Width = 0, Height = 0;
    uint16_t Planes = 1, BitCount = 24;
    uint32_t Compression = 0, SizeImage = 0;
  };
  // Raises Exception("Out of system resources") when the bitmap cannot be copied (too
  // large or empty).
  explicit TDib(const TBitmap &Bitmap);
  const THeader &Header() const { return FHeader; }
  int64_t InfoSize() const { return FInfoSize; }
  int64_t BitsSize() const { return int64_t(FBits.size()); }
  const std::vector<uint8_t> &Bits() const { return FBits; }
  const std::vector<TColor> &ColorTable() const { return FTable; }
  void StretchTo(TCanvas &Canvas, int X, int Y, int W, int H, uint32_t Rop) const;
  std::unique_ptr<TBitmap> ToDeviceBitmap() const;

private:
  THeader FHeader;
  int64_t FInfoSize = 40;
  std::vector<TColor> FTable;
  std::vector<uint8_t> FBits; // bottom-up rows, DWORD aligned
};

// --- The picture budget ---

// The decoded pictures of the open documents (the image cache's pictures and the animated
// pictures' own composites) share one budget. Past it, or when memory runs out, a picture
// shows the error picture and its page stays usable.
constexpr int64_t DefaultPictureBudget = int64_t(256) << 20;
int64_t PictureBudget();
void SetPictureBudget(int64_t Bytes);
int64_t PictureBytesInUse();
// What a bitmap's pixels take (4 bytes a pixel); 0 for none.
int64_t PictureBytes(const TBitmap *Bitmap);

// A share of the budget, held while a picture lives.
class TPictureCharge {
public:
  TPictureCharge() = default;
  TPictureCharge(const TPictureCharge &) = delete;
  TPictureCharge &operator=(const TPictureCharge &) = delete;
  ~TPictureCharge() { Release(); }
  // Takes Bytes when they fit, the cached pictures that no page shows freed first when
  // they would not; false (holding nothing) when they still do not.
  bool Take(int64_t Bytes);
  // Holds Bytes whether they fit or not: for what is there already.
  void Hold(int64_t Bytes);
  void Release();
  int64_t Bytes() const { return FBytes; }

private:
  int64_t FBytes = 0;
};

// While it lives, a decoder allocates no more than the budget has left, counting the
// cached pictures that no page shows as free: a picture past the budget costs no decoding.
class TPictureDecodeScope {
public:
  TPictureDecodeScope();
  ~TPictureDecodeScope();
  TPictureDecodeScope(const TPictureDecodeScope &) = delete;
  TPictureDecodeScope &operator=(const TPictureDecodeScope &) = delete;

private:
  int64_t Saved;
};

// --- The image cache ---

// A cached picture: a bitmap, or an animated GIF.
struct TCachedImage {
  TBitmap *Bitmap = nullptr;
  TGIFImage *Gif = nullptr;
  explicit operator bool() const { return Bitmap || Gif; }
};

class TBitmapItem {
public:
  int Age = 0;
  int UsageCount = 0;
  TTransparency Transp = NotTransp;
  std::unique_ptr<TBitmap> MImage;
  std::unique_ptr<TGIFImage> MGif;
  std::unique_ptr<TBitmap> Mask;
  TBitmapItem(std::unique_ptr<TBitmap> Image, std::unique_ptr<TBitmap> Mask, TTransparency Tr);
  TBitmapItem(std::unique_ptr<TGIFImage> Image, std::unique_ptr<TBitmap> Mask, TTransparency Tr);
  ~TBitmapItem();
  TCachedImage Image() const { return {MImage.get(), MGif.get()}; }
  // What the picture, its mask and an animated picture's frames take.
  int64_t Bytes() const;
  // Counts the item again after a mask was added.
  void Recount() { Charge.Hold(Bytes()); }
  TPictureCharge Charge; // taken when the item goes into a list
};

// Sorted by the upper-cased, trimmed name; owns its items.
class TStringBitmapList {
public:
  int MaxCache = DefaultImageCacheCount;
  int Count() const { return int(Items.size()); }
  const std::string &Strings(int I) const { return Items[size_t(I)].first; }
  TBitmapItem *Objects(int I) const { return Items[size_t(I)].second.get(); }
  // Index of Name, or -1.
  int IndexOf(const std::string &Name) const;
  bool Find(const std::string &Name, int &Index) const;
  // Adds (or replaces) the item under Name; its use count goes up by one. -1 (the item
  // freed) when it does not fit in the picture budget.
  int AddObject(const std::string &Name, std::unique_ptr<TBitmapItem> Item);
  TCachedImage TakeImage(int Index);
  void AddUse(const std::string &Name);
  void ReleaseUse(const std::string &Name);
  void AgeAndPrune();
  void SetCacheLimit(int Value);
  void PruneUnused();
  void Clear();
  static std::string Key(const std::string &Name);

private:
  std::vector<std::pair<std::string, std::unique_ptr<TBitmapItem>>> Items;
};

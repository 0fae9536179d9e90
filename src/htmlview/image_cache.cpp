#include "htmlview/image_cache.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "htmlview/bmp_reader.h"
#include "htmlview/dither.h"
#include "htmlview/gif_image.h"
#include "htmlview/image_bitmap.h"
#include "htmlview/jpeg_reader.h"
#include "htmlview/png_probe.h"
#include "platform/application.h"
#include "platform/canvas.h"
#include "platform/files.h"
#include "platform/numbers.h"

namespace {

constexpr int64_t MaxPictureFileBytes = int64_t(64) << 20;
constexpr size_t SniffBytes = 11;
constexpr size_t GifProbeBytes = 790;

// The pictures of 1001, 1002 and 1005 when the resources cannot be had.
std::unique_ptr<TBitmap> FallbackPicture(bool Mask, bool Pending) {
  auto B = std::make_unique<TBitmap>(16, 16);
  B->Fill(Mask ? clBlack : (Pending ? clSilver : clWhite));
  return B;
}

// The picture budget: plain numbers, so that pictures freed while the program ends find
// them still there.
int64_t BudgetBytes = DefaultPictureBudget;
int64_t BytesInUse = 0;

struct TImageUnit {
  int Bits = 24;
  std::vector<TColor> Palette;
  std::unique_ptr<TBitmap> Def, Err, ErrMask;
  TStringBitmapList List;
  TMemoryStream Wait;
};

TImageUnit &Unit() {
  static TImageUnit U;
  return U;
}

std::unique_ptr<TBitmap> LoadArtwork(const char *Name, bool Mask, bool Pending) {
  auto B = std::make_unique<TBitmap>();
  try {
    B->LoadFromResource(std::string("htmlview/") + Name); // ":/htmlview/<name>.png"
    if (!B->Empty()) {
      if (Mask) B->SetMonochrome(true);
      return B;
    }
  } catch (const std::exception &) {
  }
  return FallbackPicture(Mask, Pending);
}

std::vector<uint8_t> ReadHead(const std::string &Name, size_t N) {
  std::vector<uint8_t> Buf(N, 0); // a shorter file leaves zeros
  std::FILE *F = std::fopen(Name.c_str(), "rb");
  if (!F) return {};
  size_t Got = std::fread(Buf.data(), 1, N, F);
  std::fclose(F);
  (void)Got;
  return Buf;
}

std::unique_ptr<TBitmap> MapToPalette(const TBitmap &Src, const std::vector<TColor> &Pal) {
  auto B = std::make_unique<TBitmap>(Src);
  std::unordered_map<uint32_t, uint32_t> Seen;
  for (int Y = 0; Y < B->Height(); ++Y) {
    uint32_t *P = B->ScanLine(Y);
    for (int X = 0; X < B->Width(); ++X) {
      auto It = Seen.find(P[X]);
      if (It == Seen.end()) {
        uint32_t To = ColorToArgb(Pal[size_t(NearestPaletteIndex(Pal, ArgbToColor(P[X])))]);
        It = Seen.emplace(P[X], To).first;
      }
      P[X] = It->second;
    }
  }
  B->Palette = Pal;
  return B;
}

TBitmap StretchedCopy(const TBitmap &Src, int W, int H) {
  if (Src.Width() == W && Src.Height() == H) return Src;
  std::vector<uint32_t> Px(size_t(W) * size_t(H));
  for (int Y = 0; Y < H; ++Y) {
    const uint32_t *S = Src.ScanLine(int(int64_t(Y) * Src.Height() / H));
    for (int X = 0; X < W; ++X) Px[size_t(Y) * size_t(W) + size_t(X)] = S[int64_t(X) * Src.Width() / W];
  }
  return TBitmap::FromRgb32(W, H, Px.data());
}

std::unique_ptr<TBitmap> DecodeBmpBitmap(std::span<const uint8_t> Data) {
  TRawImage Raw;
  if (!DecodeBmp(Data, Raw)) return nullptr;
  auto B = std::make_unique<TBitmap>();
  if (!RawToBitmap(Raw, *B)) return nullptr;
  return B;
}

std::unique_ptr<TBitmap> DecodeJpegBitmap(std::span<const uint8_t> Data) {
  TJpegOptions Opt;
  // Palette displays ask for 8-bit output in the shared palette.
  if (ColorBits() <= 8 && !ThePalette().empty()) Opt.Palette = &ThePalette();
  auto B = std::make_unique<TBitmap>();
  if (!LoadJpegData(Data, *B, Opt)) return nullptr;
  if (Opt.Palette) B->Palette = CopyPalette(ThePalette());
  return B;
}

} // namespace

// --- Unit state ---

int ColorBits() { return Unit().Bits; }

void SetDisplayColorBits(int Bits, const std::vector<TColor> &SystemPalette) {
  TImageUnit &U = Unit();
  U.Bits = Bits < 5 ? 4 : Bits > 8 ? 24 : 8;
  U.Palette.clear();
  if (U.Bits == 8) U.Palette = BuildGlobalPalette(SystemPalette);
}

const std::vector<TColor> &ThePalette() { return Unit().Palette; }

TBitmap &DefBitmap() {
  TImageUnit &U = Unit();
  if (!U.Def) U.Def = LoadArtwork("1002", false, true);
  return *U.Def;
}
TBitmap &ErrorBitmap() {
  TImageUnit &U = Unit();
  if (!U.Err) U.Err = LoadArtwork("1001", false, false);
  return *U.Err;
}
TBitmap &ErrorBitmapMask() {
  TImageUnit &U = Unit();
  if (!U.ErrMask) U.ErrMask = LoadArtwork("1005", true, false);
  return *U.ErrMask;
}
TStringBitmapList &BitmapList() { return Unit().List; }
TMemoryStream *WaitStream() { return &Unit().Wait; }

void InstallViewerCursors() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  Screen->SetCustomCursor(crHtmlLink, "htmlview/cursor_1003.png", 9, 1);
  Screen->SetCustomCursor(crHtml1006, "htmlview/cursor_1006.png", 9, 1);
  Screen->SetCustomCursor(crUpDown, "htmlview/cursor_updown.png", 15, 15);
  Screen->SetCustomCursor(crUpOnly, "htmlview/cursor_uponly.png", 15, 15);
  Screen->SetCustomCursor(crDownOnly, "htmlview/cursor_downonly.png", 15, 15);
}

// --- Recognition and probes ---

int DetectImageType(std::span<const uint8_t> First) {
  uint8_t B[SniffBytes] = {};
  if (!First.empty()) std::memcpy(B, First.data(), std::min(First.size(), SniffBytes));
  if (B[0] == 'G' && B[1] == 'I' && B[2] == 'F' && B[3] == '8') return B[4] == '9' ? itGIF89 : itGIF87;
  if (B[0] == 'B' && B[1] == 'M') return itBMP;
  if (B[0] == 0x89 && B[1] == 'P' && B[2] == 'N' && B[3] == 'G') return itPNG;
  // Only JFIF-style files whose first marker is APP0.
  if (B[0] == 0xFF && B[1] == 0xD8 && B[2] == 0xFF && B[3] == 0xE0) return itJPEG;
  return itUnknown;
}

int DetectImageFileType(const std::string &Name) {
  std::vector<uint8_t> Head = ReadHead(Name, SniffBytes);
  return Head.empty() ? itUnknown : DetectImageType(Head);
}

bool FindGifTransparentColor(std::span<const uint8_t> Data, TColor &Color) {
  uint8_t B[GifProbeBytes] = {};
  if (!Data.empty()) std::memcpy(B, Data.data(), std::min(Data.size(), GifProbeBytes));
  if (DetectImageType(std::span<const uint8_t>(B, SniffBytes)) != itGIF89) return false;
  // The table is taken to start at byte 13 whether or not the header announces it.
  size_t Entries = size_t(2) << (B[10] & 7);
  size_t At = 13 + 3 * Entries; // at most 781: the extension fits in the buffer
  if (B[At] != 0x21 || B[At + 1] != 0xF9 || !(B[At + 3] & 1)) return false;
  const uint8_t *E = &B[13 + 3 * size_t(B[At + 6])];
  if (size_t(B[At + 6]) >= Entries) return false; // an index beyond the table has no colour
  Color = RGB(E[0], E[1], E[2]);
  return true;
}

bool FindGifTransparentColor(TMemoryStream &Stream, TColor &Color) {
  bool R = FindGifTransparentColor(Stream.Bytes, Color);
  return R;
}

bool FindPngTransparentColor(TMemoryStream &Stream, TColor &Color) {
  bool R = FindPngTransparentColor(std::span<const uint8_t>(Stream.Bytes), Color);
  return R;
}

bool FindGifTransparentColorInFile(const std::string &Name, TColor &Color) {
  std::vector<uint8_t> Head = ReadHead(Name, GifProbeBytes);
  return !Head.empty() && FindGifTransparentColor(Head, Color);
}

bool FindPngTransparentColorInFile(const std::string &Name, TColor &Color) {
  try {
    std::vector<uint8_t> Data = ReadFileBytes(Name, MaxPictureFileBytes);
    return FindPngTransparentColor(std::span<const uint8_t>(Data), Color);
  } catch (const std::exception &) {
    return false;
  }
}

// --- Loading ---

std::unique_ptr<TBitmap> LoadImageFromFile(const std::string &Name, bool ColorConvert) {
  try {
    std::vector<uint8_t> Data = ReadFileBytes(Name, MaxPictureFileBytes);
    std::unique_ptr<TBitmap> B;
    switch (DetectImageType(Data)) {
    case itBMP:
      B = DecodeBmpBitmap(Data);
      break;
    case itGIF87:
    case itGIF89: {
      bool Single = true;
      std::unique_ptr<TGIFImage> G = CreateAGifFromStream(Data, Single);
      if (!G) return nullptr;
      if (Single) ColorConvert = false; // already mapped for 8-bit displays
      const TBitmap *M = G->GetMaskedBitmap();
      if (!M) return nullptr;
      B = std::make_unique<TBitmap>(*M);
      break;
    }
    case itJPEG:
      B = DecodeJpegBitmap(Data);
      break;
    default:
      return nullptr; // PNG and unknown files are not shown
    }
    if (B && ColorConvert) B = DitherIfNeeded(std::move(B));
    return B;
  } catch (const std::exception &) {
    return nullptr;
  }
}

std::unique_ptr<TBitmap> LoadImageFromFileWrapper(const std::string &Name) {
  return LoadImageFromFile(Name, true);
}

std::unique_ptr<TBitmap> LoadImageWithMask(const std::string &Name, TTransparency &Transparent,
                                           std::unique_ptr<TBitmap> &Mask) {
  Mask.reset();
  if (!FileExists(Name)) return nullptr;
  std::string Ext = LowerCase(ExtractFileExt(Name));
  TColor Color = 0;
  if (Ext == ".gif" && FindGifTransparentColorInFile(Name, Color)) Transparent = TGif;
  else if (Ext == ".png" && FindPngTransparentColorInFile(Name, Color)) Transparent = TPng;
  if (Transparent == NotTransp) return LoadImageFromFile(Name, true);

  // The mask comes from the unconverted pixels; the picture shown is converted.
  std::unique_ptr<TBitmap> First = LoadImageFromFile(Name, false);
  if (!First) return nullptr; // nothing loaded: no mask either
  std::unique_ptr<TBitmap> M = BuildTransparencyMask(*First, Transparent != LLCorner, Color);
  if (!M) return DitherIfNeeded(std::move(First));
  std::unique_ptr<TBitmap> Result = LoadImageFromFile(Name, true);
  if (Result) Mask = std::move(M);
  return Result;
}

std::unique_ptr<TBitmap> LoadImageWithMaskFromStream(const TMemoryStream *Stream,
                                                     TTransparency &Transparent,
                                                     std::unique_ptr<TBitmap> &Mask) {
  Mask.reset();
  if (!Stream || Stream->Size() < 20) return nullptr;
  try {
    std::unique_ptr<TBitmap> B;
    switch (DetectImageType(Stream->Bytes)) {
    case itBMP: B = DecodeBmpBitmap(Stream->Bytes); break;
    case itJPEG:
      Transparent = NotTransp;
      B = DecodeJpegBitmap(Stream->Bytes);
      break;
    default:
      return nullptr;
    }
    if (!B) return nullptr;
    if (Transparent == LLCorner) Mask = BuildTransparencyMask(*B, false, 0);
    return DitherIfNeeded(std::move(B));
  } catch (const std::exception &) {
    Mask.reset();
    return nullptr;
  }
}

std::unique_ptr<TBitmap> BuildTransparencyMask(const TBitmap &Bitmap, bool UseColor, TColor Color) {
  const int W = Bitmap.Width(), H = Bitmap.Height();
  if (W <= 0 || H <= 0) return nullptr; // no lower-left pixel to read
  const TColor Key = UseColor ? ColorToRGB(Color) : ArgbToColor(Bitmap.ScanLine(H - 1)[0]);
  try {
    return std::make_unique<TBitmap>(Bitmap.ToMonochrome(Key));
  } catch (const std::exception &) {
    return nullptr; // out of memory: the picture goes without its mask
  }
}

std::unique_ptr<TBitmap> DitherIfNeeded(std::unique_ptr<TBitmap> Bitmap) {
  if (!Bitmap) return nullptr;
  if (ColorBits() >= 24) {
    TPixelFormat F = Bitmap->PixelFormat();
    if ((F == pfDevice || F == pf1bit || F == pf4bit || F == pf8bit) && !ThePalette().empty())
      return ConvertTo256Palette(Bitmap);
    return Bitmap; // true colour: nothing to adapt
  }
  // Palette displays: dithered into the display's colours. Nothing to reduce (an empty
  // picture) keeps the picture as it came.
  std::unique_ptr<TBitmap> R = ReduceToDisplayPalette(Bitmap.get());
  return R ? std::move(R) : std::move(Bitmap);
}

std::unique_ptr<TBitmap> ConvertTo256Palette(std::unique_ptr<TBitmap> &Bitmap) {
  if (!Bitmap) return nullptr;
  std::unique_ptr<TBitmap> R;
  if (ThePalette().empty()) {
    R = std::make_unique<TBitmap>(*Bitmap);
  } else {
    R = MapToPalette(*Bitmap, ThePalette());
    R->Palette = CopyPalette(ThePalette());
  }
  Bitmap.reset();
  return R;
}

void PrintBitmapWithMask(TCanvas &Canvas, const TBitmap &Image, const TBitmap &Mask, int X, int Y,
                         int W, int H) {
  if (W <= 0 || H <= 0 || Image.Empty() || Mask.Width() != Image.Width() ||
      Mask.Height() != Image.Height() || int64_t(W) * H > MaxImagePixels)
    return;
  TBitmap I = StretchedCopy(Image, W, H);
  TBitmap M = StretchedCopy(Mask, W, H);
  M.SetMonochrome(true);
  Canvas.MaskBlt(X, Y, W, H, I, 0, 0, M, 0, 0);
}

std::vector<TColor> CopyPalette(const std::vector<TColor> &Palette) {
  if (Palette.size() <= 256) return Palette;
  return std::vector<TColor>(Palette.begin(), Palette.begin() + 256);
}

std::vector<TColor> DefaultSystemPalette() {
  std::vector<TColor> P(256, 0);
  const TColor Low[10] = {RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),
                          RGB(128, 128, 0),   RGB(0, 0, 128),     RGB(128, 0, 128),
                          RGB(0, 128, 128),   RGB(192, 192, 192), RGB(192, 220, 192),
                          RGB(166, 202, 240)};
  const TColor High[10] = {RGB(255, 251, 240), RGB(160, 160, 164), RGB(128, 128, 128),
                           RGB(255, 0, 0),     RGB(0, 255, 0),     RGB(255, 255, 0),
                           RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),
                           RGB(255, 255, 255)};
  for (int I = 0; I < 10; ++I) {
    P[size_t(I)] = Low[I];
    P[size_t(246 + I)] = High[I];
  }
  return P;
}

std::vector<TColor> BuildGlobalPalette(const std::vector<TColor> &SystemPalette) {
  std::vector<TColor> P = DefaultSystemPalette();
  for (size_t I = 0; I < SystemPalette.size() && I < 256; ++I) P[I] = SystemPalette[I];
  static const int Levels[6] = {55, 115, 165, 205, 235, 255};
  size_t At = 10;
  for (int B = 0; B < 6; ++B)
    for (int G = 0; G < 6; ++G)
      for (int R = 0; R < 6; ++R) {
        if (R == 5 && G == 5 && B == 5) continue; // white stays a system colour
        P[At++] = RGB(Levels[R], Levels[G], Levels[B]);
      }
  for (int I = 1; I <= 24; ++I) {
    if (I == 7 || I == 15 || I == 21) continue; // 165, 205, 235 are cube levels
    int V = I * 5 + 130;
    P[At++] = RGB(V, V, V);
  }
  return P;
}

int NearestPaletteIndex(const std::vector<TColor> &Palette, TColor Color) {
  int Best = 0;
  int64_t BestD = INT64_MAX;
  const int R = GetRValue(Color), G = GetGValue(Color), B = GetBValue(Color);
  for (size_t I = 0; I < Palette.size(); ++I) {
    int DR = GetRValue(Palette[I]) - R, DG = GetGValue(Palette[I]) - G, DB = GetBValue(Palette[I]) - B;
    int64_t D = int64_t(DR) * DR + int64_t(DG) * DG + int64_t(DB) * DB;
    if (D < BestD) {
      BestD = D;
      Best = int(I);
      if (D == 0) break;
    }
  }
  return Best;
}

// --- TDib ---

TDib::TDib(const TBitmap &Bitmap) {
  const int64_t W = Bitmap.Width(), H = Bitmap.Height();
  if (!ImageSizeAllowed(W, H)) {
    // Room for the next try: the cached pictures nobody uses go first.
    BitmapList().PruneUnused();
    throw Exception("Out of system resources");
  }
  const bool Indexed = !Bitmap.Palette.empty() && Bitmap.Palette.size() <= 256;
  FHeader.Width = int32_t(W);
  FHeader.Height = int32_t(H);
  FHeader.BitCount = Indexed ? 8 : 24;
  FInfoSize = Indexed ? 40 + (int64_t(4) << 8) : 40;
  const int64_t Row = (int64_t(FHeader.BitCount) * W + 31) / 32 * 4;
  const int64_t Size = Row * H; // 64-bit: W x H x 3 passes 2^32 below the pixel cap's sides
  FHeader.SizeImage = uint32_t(Size);
  FBits.assign(size_t(Size), 0);
  std::unordered_map<uint32_t, uint8_t> Index;
  if (Indexed) FTable = Bitmap.Palette;
  for (int64_t Y = 0; Y < H; ++Y) {
    const uint32_t *S = Bitmap.ScanLine(int(H - 1 - Y)); // bottom-up
    uint8_t *D = FBits.data() + size_t(Y * Row);
    for (int64_t X = 0; X < W; ++X) {
      uint32_t P = S[X];
      if (Indexed) {
        auto It = Index.find(P);
        if (It == Index.end())
          It = Index.emplace(P, uint8_t(NearestPaletteIndex(FTable, ArgbToColor(P)))).first;
        D[X] = It->second;
      } else {
        D[3 * X] = uint8_t(P);
        D[3 * X + 1] = uint8_t(P >> 8);
        D[3 * X + 2] = uint8_t(P >> 16);
      }
    }
  }
}

std::unique_ptr<TBitmap> TDib::ToDeviceBitmap() const {
  const int W = FHeader.Width, H = FHeader.Height;
  const int64_t Row = (int64_t(FHeader.BitCount) * W + 31) / 32 * 4;
  std::vector<uint32_t> Px(size_t(W) * size_t(H));
  for (int Y = 0; Y < H; ++Y) {
    const uint8_t *S = FBits.data() + size_t(int64_t(H - 1 - Y) * Row);
    uint32_t *D = Px.data() + size_t(Y) * size_t(W);
    for (int X = 0; X < W; ++X) {
      if (FHeader.BitCount == 8) D[X] = ColorToArgb(FTable[S[X]]);
      else D[X] = RgbPixel(S[3 * X + 2], S[3 * X + 1], S[3 * X]);
    }
  }
  auto B = std::make_unique<TBitmap>(TBitmap::FromRgb32(W, H, Px.data()));
  if (!ThePalette().empty()) B->Palette = CopyPalette(ThePalette());
  return B;
}

void TDib::StretchTo(TCanvas &Canvas, int X, int Y, int W, int H, uint32_t Rop) const {
  std::unique_ptr<TBitmap> B = ToDeviceBitmap();
  Canvas.StretchBlt(Bounds(X, Y, W, H), *B, Rect(0, 0, B->Width(), B->Height()), TCopyMode(Rop));
}

// --- Picture budget ---

int64_t PictureBudget() { return BudgetBytes; }
void SetPictureBudget(int64_t Bytes) { BudgetBytes = std::max<int64_t>(0, Bytes); }
int64_t PictureBytesInUse() { return BytesInUse; }

int64_t PictureBytes(const TBitmap *Bitmap) {
  return Bitmap ? int64_t(Bitmap->Width()) * Bitmap->Height() * 4 : 0;
}

bool TPictureCharge::Take(int64_t Bytes) {
  Release();
  if (BytesInUse + Bytes > BudgetBytes && Bytes <= BudgetBytes) BitmapList().PruneUnused();
  if (BytesInUse + Bytes > BudgetBytes) return false;
  Hold(Bytes);
  return true;
}

void TPictureCharge::Hold(int64_t Bytes) {
  Release();
  FBytes = std::max<int64_t>(0, Bytes);
  BytesInUse += FBytes;
}

void TPictureCharge::Release() {
  BytesInUse -= FBytes;
  FBytes = 0;
}

TPictureDecodeScope::TPictureDecodeScope() : Saved(DecodeAllowance()) {
  int64_t Free = BudgetBytes - BytesInUse;
  TStringBitmapList &L = BitmapList();
  for (int I = 0; I < L.Count(); ++I)
    if (L.Objects(I)->UsageCount < 1) Free += L.Objects(I)->Charge.Bytes();
  DecodeAllowance() = std::clamp<int64_t>(Free, 0, Saved);
}

TPictureDecodeScope::~TPictureDecodeScope() { DecodeAllowance() = Saved; }

// --- Cache ---

TBitmapItem::TBitmapItem(std::unique_ptr<TBitmap> Image, std::unique_ptr<TBitmap> AMask,
                         TTransparency Tr)
    : Transp(Tr), MImage(std::move(Image)), Mask(std::move(AMask)) {}
TBitmapItem::TBitmapItem(std::unique_ptr<TGIFImage> Image, std::unique_ptr<TBitmap> AMask,
                         TTransparency Tr)
    : Transp(Tr), MGif(std::move(Image)), Mask(std::move(AMask)) {}
TBitmapItem::~TBitmapItem() = default;

int64_t TBitmapItem::Bytes() const {
  return PictureBytes(MImage.get()) + PictureBytes(Mask.get()) + (MGif ? MGif->PictureBytes() : 0);
}

std::string TStringBitmapList::Key(const std::string &Name) {
  size_t B = 0, E = Name.size();
  while (B < E && uint8_t(Name[B]) <= ' ') ++B;
  while (E > B && uint8_t(Name[E - 1]) <= ' ') --E;
  return UpperCase(Name.substr(B, E - B));
}

bool TStringBitmapList::Find(const std::string &Name, int &Index) const {
  std::string K = Key(Name);
  auto It = std::lower_bound(Items.begin(), Items.end(), K,
                             [](const auto &Item, const std::string &S) { return Item.first < S; });
  Index = int(It - Items.begin());
  return It != Items.end() && It->first == K;
}

int TStringBitmapList::IndexOf(const std::string &Name) const {
  int I;
  return Find(Name, I) ? I : -1;
}

int TStringBitmapList::AddObject(const std::string &Name, std::unique_ptr<TBitmapItem> Item) {
  if (!Item) return -1;
  if (!Item->Charge.Take(Item->Bytes())) return -1;
  std::string K = Key(Name);
  auto It = std::upper_bound(Items.begin(), Items.end(), K,
                             [](const std::string &S, const auto &E) { return S < E.first; });
  Item->UsageCount += 1;
  It = Items.insert(It, {K, std::move(Item)});
  return int(It - Items.begin());
}

TCachedImage TStringBitmapList::TakeImage(int Index) {
  if (Index < 0 || Index >= Count()) return {};
  TBitmapItem &I = *Items[size_t(Index)].second;
  I.Age = 0;
  I.UsageCount += 1;
  return I.Image();
}

void TStringBitmapList::AddUse(const std::string &Name) {
  int I;
  if (Find(Name, I)) Items[size_t(I)].second->UsageCount += 1;
}

void TStringBitmapList::ReleaseUse(const std::string &Name) {
  int I;
  if (Find(Name, I)) Items[size_t(I)].second->UsageCount -= 1;
}

void TStringBitmapList::AgeAndPrune() {
  for (size_t I = Items.size(); I-- > 0;) {
    TBitmapItem &Item = *Items[I].second;
    Item.Age += 1;
    if (Item.Age > MaxCache && Item.UsageCount < 1) Items.erase(Items.begin() + ptrdiff_t(I));
  }
}

void TStringBitmapList::SetCacheLimit(int Value) {
  for (size_t I = Items.size(); I-- > 0;) {
    TBitmapItem &Item = *Items[I].second;
    if (Item.Age > Value && Item.UsageCount < 1) Items.erase(Items.begin() + ptrdiff_t(I));
  }
  MaxCache = Value;
}

void TStringBitmapList::PruneUnused() {
  for (size_t I = Items.size(); I-- > 0;)
    if (Items[I].second->UsageCount < 1) Items.erase(Items.begin() + ptrdiff_t(I));
}

void TStringBitmapList::Clear() { Items.clear(); }

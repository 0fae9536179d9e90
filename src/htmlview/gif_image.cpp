#include "htmlview/gif_image.h"

#include <algorithm>
#include <cstring>

#include "htmlview/dither.h"
#include "htmlview/image_cache.h"
#include "platform/image_raw.h"
#include "platform/application.h"
#include "platform/canvas.h"
#include "platform/files.h"
#include "platform/numbers.h"

namespace {

constexpr uint32_t White = 0xFFFFFFFFu, Black = 0xFF000000u;
constexpr uint32_t Hole = 0; // a decoded transparent pixel, before the mask is made
// All frames of one picture together: bitmaps and masks stay within a few hundred MB.
constexpr int64_t MaxGifFramePixels = MaxImagePixels * 2;
constexpr int64_t MaxGifFileBytes = int64_t(64) << 20;

// The part of a screen of SW x SH stretched to W x H that shows Src, which lies at Box of
// that screen: pixel (X, Y) of the result is pixel Origin + (X, Y) of the stretched screen.
// Nearest neighbour, as COLORONCOLOR deletes or repeats whole rows and columns.
TBitmap StretchedPart(const TBitmap &Src, const TRect &Box, int SW, int SH, int W, int H,
                      const TPoint &Origin, int PW, int PH) {
  std::vector<uint32_t> Px(size_t(PW) * size_t(PH));
  for (int Y = 0; Y < PH; ++Y) {
    const uint32_t *S = Src.ScanLine(int(int64_t(Y + Origin.Y) * SH / H) - Box.Top);
    uint32_t *D = Px.data() + size_t(Y) * size_t(PW);
    for (int X = 0; X < PW; ++X) D[X] = S[int64_t(X + Origin.X) * SW / W - Box.Left];
  }
  return TBitmap::FromRgb32(PW, PH, Px.data());
}

// Of S source pixels stretched to D, the first destination pixel that shows source pixel B
// or a later one.
int StretchedEdge(int64_t B, int64_t D, int64_t S) { return int((B * D + S - 1) / S); }

// The bitmap's pixels as one run of rows, or nullptr when its rows are not contiguous.
uint32_t *Pixels(TBitmap &B) {
  if (B.Empty()) return nullptr;
  uint32_t *P = B.ScanLine(0);
  const int H = B.Height();
  if (H > 1 && B.ScanLine(H - 1) != P + size_t(H - 1) * size_t(B.Width())) return nullptr;
  return P;
}

// Transparent pixels (Hole) become black, with 1 in Holes; the others 0.
PIXEL_LOOP void SplitHoles(uint32_t *Px, uint8_t *Holes, size_t N) {
  for (size_t I = 0; I < N; ++I) {
    const bool T = Px[I] == Hole;
    Holes[I] = T;
    Px[I] = T ? Black : Px[I];
  }
}

// The opaque pixels of a frame row (black in its mask FM) onto the composite row D, and
// black into the composite's mask row M.
PIXEL_LOOP void DrawOpaque(const uint32_t *S, const uint32_t *FM, uint32_t *D, uint32_t *M, int N) {
  for (int X = 0; X < N; ++X)
    if ((FM[X] & 0xFFFFFF) == 0) {
      D[X] = S[X];
      M[X] = Black;
    }
}

// What a bitmap of W x H takes, with a mask of its size when Masked.
int64_t AreaBytes(int64_t W, int64_t H, bool Masked) {
  return std::max<int64_t>(0, W) * std::max<int64_t>(0, H) * 4 * (Masked ? 2 : 1);
}

// The part of the screen that some frame covers; what lies outside every frame never
// changes (black, or transparent), so the composite holds this part only. 1 x 1 at the
// origin when no frame covers anything.
const TGifFrameInfo &Of(const TGifFrameInfo &F) { return F; }
const TgfFrame &Of(const std::shared_ptr<const TgfFrame> &F) { return *F; }
template <class Frames>
TRect CoveredBox(const Frames &List) {
  int64_t L = INT64_MAX, T = INT64_MAX, R = 0, B = 0;
  for (const auto &Item : List) {
    const auto &F = Of(Item);
    if (F.Width <= 0 || F.Height <= 0) continue;
    L = std::min<int64_t>(L, F.Left);
    T = std::min<int64_t>(T, F.Top);
    R = std::max<int64_t>(R, int64_t(F.Left) + F.Width);
    B = std::max<int64_t>(B, int64_t(F.Top) + F.Height);
  }
  if (R <= L || B <= T) return Rect(0, 0, 1, 1);
  return Rect(int(L), int(T), int(R), int(B));
}

// What the frames of a file take decoded: their bitmaps and masks, the composite of the
// part of the screen they cover with its mask, and the areas saved for frames that
// restore them.
int64_t DecodedBytes(const TGifContainer &G) {
  int64_t Bytes = 0;
  bool Masked = false;
  for (const TGifFrameInfo &F : G.Frames) Masked = Masked || F.Transparent;
  for (const TGifFrameInfo &F : G.Frames)
    Bytes += AreaBytes(F.Width, F.Height, F.Transparent) +
             (F.Disposal == 3 ? AreaBytes(F.Width, F.Height, Masked) : 0);
  const TRect Box = CoveredBox(G.Frames);
  return Bytes + AreaBytes(Box.Width(), Box.Height(), Masked);
}

} // namespace

void TgfFrame::Decode() const {
  if (Decoded) return;
  Decoded = true;
  std::shared_ptr<const std::vector<uint8_t>> Data = std::move(Source);
  if (!Data || Width <= 0 || Height <= 0) return;
  try {
    DecodeFrom(*Data);
  } catch (const std::exception &) {
    // Out of memory: the frame shows nothing, and a first frame fails the load.
    Bitmap = TBitmap();
    Mask = TBitmap();
  }
}

void TgfFrame::DecodeFrom(const std::vector<uint8_t> &Data) const {
  // The frame's bitmap is the one buffer the raster is decoded into.
  Bitmap = TBitmap(Width, Height);
  uint32_t *Px = Pixels(Bitmap);
  std::vector<uint32_t> Separate;
  if (!Px) {
    Separate.resize(size_t(Width) * size_t(Height));
    Px = Separate.data();
  }
  Status = DecodeGifRasterPixels(Data, Info, Map, Px).Status;
  if (Transparent) {
    // The mask is made from a hole flag a pixel in one conversion, not painted and then
    // thresholded pixel by pixel.
    std::vector<uint8_t> Holes(size_t(Width) * size_t(Height));
    SplitHoles(Px, Holes.data(), Holes.size());
    std::array<uint32_t, 256> Pal{};
    Pal[1] = White;
    Mask = TBitmap::FromIndexed(Width, Height, Holes.data(), Pal, pf1bit);
  }
  if (!Separate.empty()) Bitmap = TBitmap::FromRgb32(Width, Height, Px);
  // Frames that kept their own colours are dithered into the display's; nothing to
  // reduce keeps the frame as decoded.
  if (Dither)
    if (std::unique_ptr<TBitmap> R = ReduceToDisplayPalette(&Bitmap)) Bitmap = std::move(*R);
}

std::function<uint32_t()> TGIFImage::Clock;

TGIFImage::TGIFImage() = default;
TGIFImage::~TGIFImage() = default;

uint32_t TGIFImage::Now() const { return Clock ? Clock() : timeGetTime(); }

void TGIFImage::Clear() {
  Empty = true;
  Frames.clear();
  Restore.clear();
  FrameCount = 0;
  CurrentFrame = 1;
  LoopLimit = 1;
  CurrentLoop = 1;
  FSkipTick = true;
  ColorBits = 0;
  IsTransparent = false;
  Animated = false;
  GlobalTable.fill(0);
  FMaskedBitmap.reset();
  FBitmapCopy.reset();
  FMaskCopy.reset();
  FBackground.reset();
  FImage = TBitmap();
  FMask = TBitmap();
}

bool TGIFImage::LoadFromStream(std::span<const uint8_t> Data) {
  try {
    Stream.assign(Data.begin(), Data.end());
    ScanOnly = false;
    return ParseStream();
  } catch (const std::exception &) {
    Clear();
    Stream.clear();
    return false;
  }
}

bool TGIFImage::ScanFromStream(std::span<const uint8_t> Data) {
  try {
    Stream.assign(Data.begin(), Data.end());
    ScanOnly = true;
    return ParseStream();
  } catch (const std::exception &) {
    Clear();
    Stream.clear();
    return false;
  }
}

bool TGIFImage::LoadFromFile(const std::string &Name) {
  try {
    return LoadFromStream(ReadFileBytes(Name, MaxGifFileBytes));
  } catch (const std::exception &) {
    return false;
  }
}

bool TGIFImage::ScanFromFile(const std::string &Name) {
  try {
    return ScanFromStream(ReadFileBytes(Name, MaxGifFileBytes));
  } catch (const std::exception &) {
    return false;
  }
}

bool TGIFImage::ParseStream() {
  // A refused picture keeps neither frames nor its bytes.
  auto Refuse = [this] {
    Clear();
    Stream.clear();
    return false;
  };
  Clear();
  TGifContainer G;
  bool Ok = ParseGifContainer(Stream, G, GifMaxFrames);
  // A GIF without any image (header and trailer only) is no picture.
  if (!Ok || G.Frames.empty()) {
    Stream.clear();
    return false;
  }
  ColorBits = G.HasGlobalTable ? G.GlobalColorBits : 0;
  GlobalTable = G.GlobalTable;
  if (G.LoopCount >= 0) LoopLimit = G.LoopCount;
  ScreenWidth = G.ScreenWidth;
  ScreenHeight = G.ScreenHeight;

  // A picture past what the picture budget has left is refused before any decoding.
  if (!ScanOnly && DecodedBytes(G) > DecodeAllowance()) return Refuse();
  const std::vector<TColor> &Pal = ThePalette();
  int64_t Budget = MaxGifFramePixels;
  // The frames that are decoded later keep the data.
  auto Source = std::make_shared<const std::vector<uint8_t>>(std::move(Stream));
  Stream.clear();
  for (const TGifFrameInfo &Info : G.Frames) {
    auto F = std::make_shared<TgfFrame>();
    F->Left = Info.Left;
    F->Top = Info.Top;
    F->Width = Info.Width;
    F->Height = Info.Height;
    F->HasColorTable = Info.HasColorTable;
    F->LocalColorBits = Info.LocalColorBits;
    F->Interlaced = Info.Interlaced;
    F->Disposal = uint8_t(Info.Disposal > 3 ? 2 : Info.Disposal);
    F->Delay = Info.DelayCs * 10;
    F->Transparent = Info.Transparent;
    F->TransparentIndex = Info.TransparentIndex;
    F->ColorTable = Info.HasColorTable ? Info.ColorTable : G.GlobalTable;
    std::memcpy(F->TransparentColor, &F->ColorTable[size_t(F->TransparentIndex) * 3], 3);
    F->Comment = Info.Comment;
    F->Dither = Dither;
    ColorBits = std::max(ColorBits, F->LocalColorBits);
    IsTransparent = IsTransparent || F->Transparent;
    ScreenWidth = std::max(ScreenWidth, F->Left + F->Width);
    ScreenHeight = std::max(ScreenHeight, F->Top + F->Height);
    // A frame that grows the screen past the cap makes the picture refused whatever
    // follows: refused before decoding it.
    if (!ImageSizeAllowed(std::max(ScreenWidth, 1), std::max(ScreenHeight, 1))) return Refuse();

    if (!ScanOnly && F->Width > 0 && F->Height > 0) {
      int64_t N = int64_t(F->Width) * F->Height;
      if (!ImageSizeAllowed(F->Width, F->Height) || N > Budget) return Refuse();
      Budget -= N;
      // Colours through a 256-entry map: on palette displays every table colour goes to
      // its nearest entry of the shared palette once, not pixel by pixel. The transparent
      // index decodes to a value no colour has (alpha 0), found again for the mask.
      for (int I = 0; I < 256; ++I) {
        const uint8_t *C = &F->ColorTable[size_t(I) * 3];
        TColor Col = RGB(C[0], C[1], C[2]);
        if (!Pal.empty() && !F->Dither) Col = Pal[size_t(NearestPaletteIndex(Pal, Col))];
        F->Map[size_t(I)] = ColorToArgb(Col);
      }
      if (F->Transparent) F->Map[F->TransparentIndex] = Hole;
      F->Info = Info;
      if (Frames.empty()) {
        F->Source = Source;
        F->Decode();
      } else {
        // Later frames are only checked now, in a buffer that is used again and again, and
        // get their bitmaps when they are first shown: a long animation does not fill
        // fresh memory for every frame before its first picture shows.
        thread_local std::vector<uint8_t> Scratch;
        F->Status = DecodeGifRaster(*Source, Info, Scratch).Status;
        F->Source = Source;
        // A buffer kept for the next pictures, but not one a huge frame made.
        if (Scratch.capacity() > (size_t(4) << 20)) std::vector<uint8_t>().swap(Scratch);
      }
      if (F->Status == TGifStatus::Corrupt || (Frames.empty() && F->Bitmap.Empty())) {
        // Corrupt GIF Image: the loaders show the error picture.
        Clear();
        Stream.clear();
        return false;
      }
    }
    Frames.push_back(std::move(F));
  }
  FrameCount = int(Frames.size());
  if (!ImageSizeAllowed(ScreenWidth, ScreenHeight)) return Refuse();
  if (!ScanOnly) {
    AllocateComposite();
    Restore.assign(Frames.size(), TRestore());
  }
  Animated = FrameCount > 1;
  Empty = false;
  CurrentFrame = 1;
  RenderFrame();
  Stream.clear();
  Stream.shrink_to_fit();
  return true;
}

TRect TGIFImage::FrameBox() const { return CoveredBox(Frames); }

void TGIFImage::AllocateComposite() {
  FCompositeIsFrame1 = false;
  FBox = FrameBox();
  const int BW = FBox.Width(), BH = FBox.Height();
  if (!IsTransparent && !Frames.empty()) {
    const TgfFrame &F = Frame(1);
    if (F.Disposal != 3 && F.Left == FBox.Left && F.Top == FBox.Top && F.Bitmap.Width() == BW &&
        F.Bitmap.Height() == BH) {
      // An opaque first frame that covers every other is the composite until something
      // else is drawn into it: the pixels are shared, not copied.
      FImage = F.Bitmap;
      FMask = TBitmap();
      FBackground.reset();
      FCompositeIsFrame1 = true;
      return;
    }
  }
  FImage = TBitmap(BW, BH);
  FImage.Fill(clBlack);
  FMask = TBitmap();
  if (IsTransparent) {
    // All white (nothing drawn yet), made monochrome in one conversion.
    const std::vector<uint8_t> Nothing(size_t(BW) * size_t(BH));
    std::array<uint32_t, 256> Pal{};
    Pal[0] = White;
    FMask = TBitmap::FromIndexed(BW, BH, Nothing.data(), Pal, pf1bit);
  }
  FBackground.reset();
}

std::unique_ptr<TGIFImage> TGIFImage::CreateCopy(const TGIFImage &Src) {
  auto C = std::make_unique<TGIFImage>();
  C->Animated = Src.Animated;
  C->Empty = Src.Empty;
  C->ScreenWidth = Src.ScreenWidth;
  C->ScreenHeight = Src.ScreenHeight;
  C->NoLoopLimit = Src.NoLoopLimit;
  C->FrameCount = Src.FrameCount;
  C->LoopLimit = Src.LoopLimit;
  C->IsTransparent = Src.IsTransparent;
  C->ShowIt = Src.ShowIt;
  C->ColorBits = Src.ColorBits;
  C->GlobalTable = Src.GlobalTable;
  C->Dither = Src.Dither;
  C->ScanOnly = Src.ScanOnly;
  C->FAnimateSpeed = Src.FAnimateSpeed;
  C->Frames = Src.Frames; // shared, counted
  C->IsCopy = true;
  C->CurrentFrame = 1;
  C->CurrentLoop = 1;
  if (!C->Empty && !C->ScanOnly) {
    if (!C->FCharge.Take(C->PictureBytes())) return nullptr;
    try {
      C->AllocateComposite();
      C->Restore.assign(C->Frames.size(), TRestore());
      C->RenderFrame();
    } catch (const std::exception &) {
      return nullptr; // out of memory
    }
  }
  return C;
}

int64_t TGIFImage::PictureBytes() const {
  const TRect Box = FrameBox();
  int64_t Bytes = AreaBytes(Box.Width(), Box.Height(), IsTransparent);
  for (const auto &F : Frames)
    Bytes += (IsCopy ? 0 : AreaBytes(F->Width, F->Height, F->Transparent)) +
             (F->Disposal == 3 ? AreaBytes(F->Width, F->Height, IsTransparent) : 0);
  return Bytes;
}

void TGIFImage::RenderFrame() {
  if (ScanOnly || Frames.empty() || FImage.Empty()) return;
  if (CurrentFrame < 1 || CurrentFrame > FrameCount) CurrentFrame = 1;
  const TgfFrame &F = Frame(CurrentFrame);
  FFirstPaint = Frames[0]->Disposal < 2 && CurrentFrame == 1;
  if (FCompositeIsFrame1) {
    if (CurrentFrame == 1) return; // it shows frame 1 already
    FCompositeIsFrame1 = false;
  }
  // Frame pixels in screen coordinates; the composite starts at the box's corner.
  const int X0 = std::max(FBox.Left, F.Left), Y0 = std::max(FBox.Top, F.Top);
  const int X1 = std::min(FBox.Right, F.Left + F.Width);
  const int Y1 = std::min(FBox.Bottom, F.Top + F.Height);
  const int CX = X0 - FBox.Left, BY = FBox.Top;
  if (X1 <= X0 || Y1 <= Y0 || F.Bitmap.Empty()) return;
  if (F.Disposal == 3) {
    TRestore &R = Restore[size_t(CurrentFrame - 1)];
    // The rows under the frame are copied straight into the saved bitmaps.
    const size_t RowBytes = size_t(X1 - X0) * 4;
    R.Image = TBitmap(X1 - X0, Y1 - Y0);
    R.Image.SetPixelFormat(pf32bit);
    if (IsTransparent) R.Mask = TBitmap(X1 - X0, Y1 - Y0);
    for (int Y = Y0; Y < Y1; ++Y) {
      std::memcpy(R.Image.ScanLine(Y - Y0), FImage.ScanLine(Y - BY) + CX, RowBytes);
      if (IsTransparent)
        std::memcpy(R.Mask.ScanLine(Y - Y0), FMask.ScanLine(Y - BY) + CX, RowBytes);
    }
    if (IsTransparent) R.Mask.SetMonochrome(true);
    R.Saved = true;
  }
  for (int Y = Y0; Y < Y1; ++Y) {
    const uint32_t *S = F.Bitmap.ScanLine(Y - F.Top) + (X0 - F.Left);
    uint32_t *D = FImage.ScanLine(Y - BY) + CX;
    uint32_t *M = IsTransparent ? FMask.ScanLine(Y - BY) + CX : nullptr;
    if (F.Transparent) {
      DrawOpaque(S, F.Mask.ScanLine(Y - F.Top) + (X0 - F.Left), D, M, X1 - X0);
    } else {
      std::memcpy(D, S, size_t(X1 - X0) * 4);
      if (M) std::fill(M, M + (X1 - X0), Black);
    }
  }
}

void TGIFImage::DisposeFrame(int N) {
  if (ScanOnly || N < 1 || N > FrameCount || FImage.Empty()) return;
  FCompositeIsFrame1 = false;
  const TgfFrame &F = *Frames[size_t(N - 1)];
  const int X0 = std::max(FBox.Left, F.Left), Y0 = std::max(FBox.Top, F.Top);
  const int X1 = std::min(FBox.Right, F.Left + F.Width);
  const int Y1 = std::min(FBox.Bottom, F.Top + F.Height);
  const int CX = X0 - FBox.Left, BY = FBox.Top, N1 = X1 - X0;
  if (X1 <= X0 || Y1 <= Y0) return;
  if (F.Disposal == 2) {
    for (int Y = Y0; Y < Y1; ++Y) {
      std::fill_n(FImage.ScanLine(Y - BY) + CX, N1, Black);
      if (IsTransparent) std::fill_n(FMask.ScanLine(Y - BY) + CX, N1, White);
    }
  } else if (F.Disposal == 3) {
    TRestore &R = Restore[size_t(N - 1)];
    if (!R.Saved || R.Image.Width() != X1 - X0 || R.Image.Height() != Y1 - Y0) return;
    for (int Y = Y0; Y < Y1; ++Y) {
      std::memcpy(FImage.ScanLine(Y - BY) + CX, R.Image.ScanLine(Y - Y0), size_t(N1) * 4);
      if (IsTransparent)
        std::memcpy(FMask.ScanLine(Y - BY) + CX, R.Mask.ScanLine(Y - Y0), size_t(N1) * 4);
    }
  }
}

void TGIFImage::SetAnimate(bool Value) {
  if (Value == FAnimate) return;
  FAnimate = Value;
  // A run starts counting loops afresh; a stop keeps the count it reached.
  if (Value) CurrentLoop = 1;
  if (Value && FrameCount > 1) {
    FInterval = std::max(1, Frame(CurrentFrame).Delay * 100 / std::max(1, FAnimateSpeed));
    FLastTick = Now();
  }
}

void TGIFImage::SetCurrentFrame(int N) {
  if (N == CurrentFrame || FrameCount == 0) return;
  DisposeFrame(CurrentFrame);
  if (N > FrameCount) N = 1;
  if (N < 1) N = FrameCount;
  CurrentFrame = N;
  RenderFrame();
}

bool TGIFImage::CheckTime(const std::function<void(const TRect &)> &Invalidate) {
  if (!FAnimate || Empty || ScanOnly || FrameCount == 0) return false;
  uint32_t T = Now();
  if (T - FLastTick < uint32_t(FInterval)) return false;
  FLastTick = T;
  if (!NoLoopLimit && LoopLimit >= 1 && CurrentFrame == FrameCount) {
    if (CurrentLoop >= LoopLimit) {
      SetAnimate(false);
      return false;
    }
    ++CurrentLoop;
  }
  bool Changed = false;
  if (FSkipTick) {
    FSkipTick = false;
  } else {
    DisposeFrame(CurrentFrame);
    CurrentFrame = CurrentFrame % FrameCount + 1;
    RenderFrame();
    Changed = true;
    if (Invalidate) Invalidate(LastDrawnRect());
  }
  FInterval = std::max(1, MulDiv(Frame(CurrentFrame).Delay, 100, std::max(1, FAnimateSpeed)));
  return Changed;
}

void TGIFImage::Draw(TCanvas &Canvas, const TGifBackdrop *Backdrop, int X, int Y, int W, int H) {
  FLastX = X;
  FLastY = Y;
  FLastW = W;
  FLastH = H;
  if (!ShowIt || Empty || ScanOnly || FrameCount == 0 || W <= 0 || H <= 0 || FImage.Empty())
    return;
  if (int64_t(W) * H > MaxImagePixels) return;
  // Only the part of the drawn rectangle that shows the composite is stretched; the rest
  // shows what lies outside every frame.
  const int SW = ScreenWidth, SH = ScreenHeight;
  const TPoint At(StretchedEdge(FBox.Left, W, SW), StretchedEdge(FBox.Top, H, SH));
  const int PW = StretchedEdge(FBox.Right, W, SW) - At.X;
  const int PH = StretchedEdge(FBox.Bottom, H, SH) - At.Y;
  TBitmap SImage, SMask;
  const TBitmap *Img = &FImage, *Msk = &FMask;
  if ((W != SW || H != SH) && PW > 0 && PH > 0) {
    SImage = StretchedPart(FImage, FBox, SW, SH, W, H, At, PW, PH);
    Img = &SImage;
    if (IsTransparent) {
      SMask = StretchedPart(FMask, FBox, SW, SH, W, H, At, PW, PH);
      SMask.SetMonochrome(true);
      Msk = &SMask;
    }
  }
  const bool Shows = PW > 0 && PH > 0;
  if (!Frames[0]->Transparent || !IsTransparent) {
    if (At.X > 0 || At.Y > 0 || PW < W || PH < H) {
      const TBrush Saved = Canvas.Brush();
      Canvas.Brush() = TBrush{clBlack, bsSolid};
      Canvas.FillRect(Bounds(X, Y, W, H));
      Canvas.Brush() = Saved;
    }
    if (Shows) Canvas.Draw(X + At.X, Y + At.Y, *Img);
    return;
  }
  if (Frame(CurrentFrame).Disposal < 2) {
    // Frames left in place pile up over what the document shows behind the picture, kept
    // only where some frame can draw: elsewhere the document already shows through.
    if (!Shows) return;
    if (FFirstPaint || !FBackground || FBackW != W || FBackH != H) {
      FBackground = std::make_unique<TBitmap>(PW, PH);
      FBackW = W;
      FBackH = H;
      TGifBackdrop None;
      const TGifBackdrop &B = Backdrop ? *Backdrop : None;
      FBackground->Fill(ColorToRGB(B.Color));
      if (B.Image && B.Image->Width() > 0 && B.Image->Height() > 0) {
        // Tiles line up with the document's own, which start at its origin.
        const int TW = B.Image->Width(), TH = B.Image->Height();
        const int SX = X + At.X, SY = Y + At.Y + B.ScrollY;
        const int TX0 = Div(SX, TW) * TW - SX - (SX < 0 && SX % TW ? TW : 0);
        const int TY0 = Div(SY, TH) * TH - SY - (SY < 0 && SY % TH ? TH : 0);
        for (int TY = TY0; TY < PH; TY += TH)
          for (int TX = TX0; TX < PW; TX += TW) {
            if (B.Mask && B.Mask->Width() == TW && B.Mask->Height() == TH)
              FBackground->Canvas().MaskBlt(TX, TY, TW, TH, *B.Image, 0, 0, *B.Mask, 0, 0);
            else
              FBackground->Canvas().Draw(TX, TY, *B.Image);
          }
      }
      FFirstPaint = false;
    }
    for (int R = 0; R < PH; ++R) {
      const uint32_t *S = Img->ScanLine(R), *M = Msk->ScanLine(R);
      uint32_t *D = FBackground->ScanLine(R);
      for (int C = 0; C < PW; ++C)
        if ((M[C] & 0xFFFFFF) == 0) D[C] = S[C];
    }
    Canvas.Draw(X + At.X, Y + At.Y, *FBackground);
    return;
  }
  if (Shows) Canvas.MaskBlt(X + At.X, Y + At.Y, PW, PH, *Img, 0, 0, *Msk, 0, 0);
}

const TBitmap *TGIFImage::GetBitmap() {
  if (Empty || ScanOnly || Frames.empty() || Frames[0]->Bitmap.Empty()) return nullptr;
  if (!FBitmapCopy) FBitmapCopy = std::make_unique<TBitmap>(Frames[0]->Bitmap);
  return FBitmapCopy.get();
}

const TBitmap *TGIFImage::GetMask() {
  if (Empty || ScanOnly || !IsTransparent || Frames.empty() || Frames[0]->Mask.Empty())
    return nullptr;
  if (!FMaskCopy) FMaskCopy = std::make_unique<TBitmap>(Frames[0]->Mask);
  return FMaskCopy.get();
}

const TBitmap *TGIFImage::GetMaskedBitmap() {
  if (Empty || ScanOnly || Frames.empty() || Frames[0]->Bitmap.Empty()) return nullptr;
  if (!FMaskedBitmap) {
    // Frame 1 on its own, at (0, 0) of a bitmap of its size; transparent pixels take the
    // transparent colour so that a mask from that colour finds them again.
    const TgfFrame &F = *Frames[0];
    try {
      auto B = std::make_unique<TBitmap>(F.Bitmap);
      if (F.Transparent && !F.Mask.Empty()) {
        const uint32_t T = ColorToArgb(F.TransparentTColor());
        for (int Y = 0; Y < F.Height; ++Y) {
          const uint32_t *M = F.Mask.ScanLine(Y);
          uint32_t *D = B->ScanLine(Y); // the shared pixels are copied here
          for (int X = 0; X < F.Width; ++X)
            if (M[X] & 0xFFFFFF) D[X] = T;
        }
      }
      B->Palette = CopyPalette(ThePalette());
      FMaskedBitmap = std::move(B);
    } catch (const std::exception &) {
      return nullptr; // out of memory
    }
  }
  return FMaskedBitmap.get();
}

std::unique_ptr<TGIFImage> CreateAGifFromStream(std::span<const uint8_t> Data, bool &NonAnimated) {
  NonAnimated = true;
  auto G = std::make_unique<TGIFImage>();
  G->SetAnimate(false);
  G->ShowIt = false;
  if (!G->ScanFromStream(Data)) return nullptr;
  NonAnimated = !G->Animated;
  if (::ColorBits() == 8 && G->ColorBits > 1) G->Dither = NonAnimated;
  if (!G->LoadFromStream(Data)) {
    BitmapList().PruneUnused();
    return nullptr;
  }
  return G;
}

std::unique_ptr<TGIFImage> CreateAGif(const std::string &Name, bool &NonAnimated) {
  NonAnimated = true;
  std::vector<uint8_t> Data;
  try {
    Data = ReadFileBytes(Name, MaxGifFileBytes);
  } catch (const std::exception &) {
    return nullptr;
  }
  return CreateAGifFromStream(Data, NonAnimated);
}

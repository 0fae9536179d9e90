#include "widgets/kit_gif.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/canvas.h"
#include "platform/clipboard.h"
#include "platform/image_raw.h"
#include "widgets/ani_file.h"
#include "widgets/kit_graph.h"

unsigned CF_GIF = 0;
bool GIFAllowTruncated = true;
uint8_t GIFColorReduction = mmHistogram;

namespace {

[[noreturn]] void GifError(const char *Text) { throw EInvalidGraphicOperation(Text); }

// Loop counts above this are taken as "for ever" by players; the class keeps it bounded.
constexpr int MaxRepeatCount = 30000;

bool SameNoCase(const uint8_t *A, const char *B) {
  for (int I = 0; I < 3; ++I)
    if (std::tolower(A[I]) != B[I]) return false;
  return true;
}

// Bits of a table of Count entries: the smallest k >= 1 with 2^k >= Count.
int BitsForCount(int Count) {
  int K = 1;
  while ((1 << K) < Count && K < 8) ++K;
  return K;
}

// The next non-zero byte; the end of the data counts as the trailer.
uint8_t NextIntroducer(TByteReader &R) {
  while (!R.AtEnd()) {
    uint8_t B = R.U8();
    if (B != 0) return B;
  }
  return ';';
}

// Sub-blocks as strings, up to the terminator or the end of the data.
void ReadSubBlocks(TByteReader &R, std::vector<std::string> *Out) {
  while (!R.AtEnd()) {
    uint8_t N = R.U8();
    if (N == 0) return;
    size_t Take = std::min<size_t>(N, R.Remaining());
    if (Out) Out->emplace_back(reinterpret_cast<const char *>(R.Bytes().data() + R.Pos()), Take);
    R.Skip(N);
  }
}

// The fixed bytes of an extension: a size byte and that many bytes, kept up to Keep bytes.
void ReadFixed(TByteReader &R, TExtension &E, size_t Keep) {
  uint8_t N = R.U8();
  E.Fixed[0] = N;
  for (size_t I = 0; I < N; ++I) {
    uint8_t B = R.U8();
    if (I + 1 < Keep) E.Fixed[I + 1] = B;
  }
}

void ReadTable(TByteReader &R, TGIFColorTable &T, int Bits) {
  T.Count = 1 << Bits;
  R.Read(T.Colors.data(), size_t(T.Count) * 3);
}

uint16_t ClampWord(int64_t V) { return uint16_t(std::clamp<int64_t>(V, 0, 65535)); }

// LZW code writer: codes least-significant bit first, cut into sub-blocks of 255 bytes.
class TCodeWriter {
public:
  explicit TCodeWriter(std::vector<uint8_t> &Out) : O(Out) {}
  void Put(int Code, int Size) {
    Acc |= uint32_t(Code) << Count;
    Count += Size;
    while (Count >= 8) {
      Block[N++] = uint8_t(Acc);
      Acc >>= 8;
      Count -= 8;
      if (N == 255) Flush();
    }
  }
  void Finish() {
    if (Count > 0) Block[N++] = uint8_t(Acc);
    Acc = 0;
    Count = 0;
    if (N) Flush();
    O.push_back(0);
  }

private:
  void Flush() {
    O.push_back(uint8_t(N));
    O.insert(O.end(), Block, Block + N);
    N = 0;
  }
  std::vector<uint8_t> &O;
  uint8_t Block[255];
  int N = 0;
  uint32_t Acc = 0;
  int Count = 0;
};

} // namespace

int TGIFColorTable::IndexOf(TColor C) const {
  for (int I = 0; I < Count; ++I)
    if (Entry(I) == (C & 0xFFFFFF)) return I;
  return -1;
}

uint8_t TExtension::Label(uint8_t Type) {
  switch (Type) {
  case PlainText: return 0x01;
  case Application: return 0xFF;
  case Comment: return 0xFE;
  default: return 0xF9;
  }
}

size_t TExtension::FixedSize(uint8_t Type) {
  switch (Type) {
  case GraphicControl: return 6;
  case PlainText: return 13;
  case Application: return 12;
  default: return 0;
  }
}

// ---- LZW encoder ----

std::vector<uint8_t> EncodeGifLzw(const uint8_t *Indices, int Width, int Height, int Bits,
                                  bool Interlaced, const TGifProgress &Progress) {
  const int InitSize = Bits == 1 ? 3 : Bits + 1;
  const int MinCode = InitSize - 1;
  const int Clear = 1 << MinCode, End = Clear + 1;
  const unsigned Mask = (1u << Bits) - 1;
  std::vector<uint8_t> Out{uint8_t(MinCode)};
  TCodeWriter W(Out);
  // Open-addressed table of (prefix code, pixel) -> code; half full at most.
  constexpr int Slots = 8192;
  std::vector<int32_t> Key(Slots, -1);
  std::vector<uint16_t> Value(Slots);
  int CodeSize = InitSize, Next = End + 1, Limit = 1 << CodeSize;
  auto Reset = [&] {
    std::fill(Key.begin(), Key.end(), -1);
    CodeSize = InitSize;
    Next = End + 1;
    Limit = 1 << CodeSize;
  };
  W.Put(Clear, CodeSize);
  int Cur = -1;
  if (Progress) Progress(0);
  int Reported = 0;
  for (int N = 0; N < Height; ++N) {
    const int Y = Interlaced ? GifInterlacedRow(N, Height) : N;
    const uint8_t *Row = Indices + size_t(Y) * size_t(Width);
    for (int X = 0; X < Width; ++X) {
      const int P = int(Row[X] & Mask);
      if (Cur < 0) {
        Cur = P;
        continue;
      }
      const int32_t K = (Cur << 8) | P;
      int S = int((uint32_t(K) * 2654435761u) >> 19);
      while (Key[size_t(S)] >= 0 && Key[size_t(S)] != K) S = (S + 1) & (Slots - 1);
      if (Key[size_t(S)] == K) {
        Cur = Value[size_t(S)];
        continue;
      }
      W.Put(Cur, CodeSize);
      Key[size_t(S)] = K;
      Value[size_t(S)] = uint16_t(Next);
      ++Next;
      Cur = P;
      // The decoder adds its entry one code later: its width grows once the code just
      // defined passes the limit.
      if (Next > Limit && Limit < 4096) {
        Limit <<= 1;
        ++CodeSize;
      }
      if (Next > 4094) {
        // Table full once code 4094 is given (Next is the code after it): the pixel in
        // hand goes out as a string of its own before the ClearCode, so the next string
        // starts afresh.
        W.Put(Cur, CodeSize);
        W.Put(Clear, CodeSize);
        Reset();
        Cur = -1;
      }
    }
    if (Progress) {
      int Pc = int(int64_t(N + 1) * 100 / Height);
      if (Pc > Reported) Progress(Reported = Pc);
    }
  }
  if (Cur >= 0) {
    W.Put(Cur, CodeSize);
    // Reading the last code adds an entry in the decoder, and its width may grow with it.
    if (++Next > Limit && Limit < 4096) ++CodeSize;
  }
  W.Put(End, CodeSize);
  W.Finish();
  if (Progress && Reported < 100) Progress(100);
  return Out;
}

// ---- TGIFFrame ----

TGIFFrame::TGIFFrame(TKitGIFImage *AOwner)
    : Owner(AOwner), ImageData(std::make_shared<TGIFItem>()) {}

void TGIFFrame::Assign(const TGIFFrame &Source) {
  if (&Source == this) return;
  ImageData = Source.ImageData;
  TopLeft = Source.TopLeft;
  Interlaced = Source.Interlaced;
  Corrupted = Source.Corrupted;
  GrayScale = Source.GrayScale;
  FBitmap = Source.FBitmap ? std::make_unique<TBitmap>(*Source.FBitmap) : nullptr;
  TransparentColor = Source.TransparentColor;
  AnimateInterval = Source.AnimateInterval;
  DisposalMethod = Source.DisposalMethod;
  Extensions = Source.Extensions;
  LocalColors = Source.Owner == Owner ? Source.LocalColors : true;
}

void TGIFFrame::Assign(const TKitGIFImage &Source) {
  if (Source.Frames.empty()) return;
  int I = Source.FrameIndex >= 0 && Source.FrameIndex < Source.FrameCount() ? Source.FrameIndex : 0;
  Assign(*Source.Frames[size_t(I)]);
}

void TGIFFrame::Assign(const TBitmap &Source) {
  ImageData = std::make_shared<TGIFItem>();
  Extensions.clear();
  Corrupted = false;
  if (Source.Empty()) {
    FBitmap.reset();
    return;
  }
  FBitmap = std::make_unique<TBitmap>(Source);
  TransparentColor = Source.Transparent ? ColorToRGB(Source.TransparentColor()) : clNone;
}

void TGIFFrame::Assign(const TIcon &Source, TColor Background) {
  ImageData = std::make_shared<TGIFItem>();
  Extensions.clear();
  Corrupted = false;
  if (Source.Empty()) {
    FBitmap.reset();
    return;
  }
  // The icon on the background; the background, resolved, is its transparent colour.
  const TColor Bg = ColorToRGB(Background);
  FBitmap = std::make_unique<TBitmap>(Source.ToBitmap(Bg));
  TransparentColor = Bg;
}

TBitmap *TGIFFrame::Bitmap() {
  if (!FBitmap && ImageData && !ImageData->ImageData.empty()) Decode();
  return FBitmap.get();
}

// The owner's progress event, fed by the LZW coder's percentages; none when nobody listens.
TGifProgress TGIFFrame::ProgressReport() {
  if (!Owner || !Owner->OnProgress) return {};
  return [this](int Pc) {
    Owner->Progress(Pc == 0     ? TProgressStage::Starting
                    : Pc >= 100 ? TProgressStage::Ending
                                : TProgressStage::Running,
                    Pc);
  };
}

void TGIFFrame::Decode() {
  TGIFItem &It = *ImageData;
  int Bits;
  if (It.BitsPerPixel == 1) Bits = 1;
  else if (It.BitsPerPixel >= 2 && It.BitsPerPixel <= 4) Bits = 4;
  else if (It.BitsPerPixel >= 5 && It.BitsPerPixel <= 8) Bits = 8;
  else GifError(SGIFWrongColorCount);
  if (!ImageSizeAllowed(It.Width, It.Height)) {
    // Beyond the size cap: nothing is decoded.
    Corrupted = true;
    FBitmap = std::make_unique<TBitmap>();
    return;
  }
  std::vector<uint8_t> Idx;
  const uint8_t MinCode = It.ImageData.empty() ? 0 : It.ImageData[0];
  const TGifProgress P = ProgressReport();
  TGifRasterResult R = DecodeGifLzw(It.ImageData, It.Width, It.Height, It.Interlaced, Idx, P);
  if (R.Status != TGifStatus::Complete || MinCode < 2 || MinCode > 9) Corrupted = true;
  // A pixel keeps the low Bits bits of its index, as a bitmap file of Bits bits would;
  // entries beyond the table are grey, as in a file whose table is filled with 128.
  const unsigned Mask = (1u << Bits) - 1;
  std::array<uint32_t, 256> Pal;
  for (unsigned I = 0; I < 256; ++I) {
    const int E = int(I & Mask);
    if (E >= It.ColorTable.Count) {
      Pal[I] = 0x808080;
      continue;
    }
    const TColor C = It.ColorTable.Entry(E);
    Pal[I] = ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF);
  }
  // Straight into the bitmap rather than through a bitmap file written and read back: a
  // large frame is walked once.
  FBitmap = std::make_unique<TBitmap>(TBitmap::FromIndexed(It.Width, It.Height, Idx.data(), Pal,
                                                           Bits == 1   ? pf1bit
                                                           : Bits == 4 ? pf4bit
                                                                       : pf8bit));
}

bool TGIFFrame::Encode() {
  if (!FBitmap || FBitmap->Empty()) GifError(SGIFNoDataToWrite);
  const TPixelFormat F = FBitmap->PixelFormat();
  std::unique_ptr<TMemoryStream> S;
  if (F == pf1bit || F == pf4bit || F == pf8bit) {
    S = BitmapToMemoryStream(*FBitmap, F, GrayScale ? uint8_t(mmGrayScale) : GIFColorReduction);
  } else {
    if (GIFColorReduction == mmGrayScale) GrayScale = true;
    S = BitmapToMemoryStream(*FBitmap, pf8bit,
                             GrayScale ? uint8_t(mmGrayScale) : GIFColorReduction);
  }
  if (!S) return false;
  TDibImage D = ReadBitmapFile(S->Bytes);
  if (D.Bits != 1 && D.Bits != 4 && D.Bits != 8) GifError(SGIFEncodeError);
  auto It = std::make_shared<TGIFItem>();
  It->Width = D.Width;
  It->Height = D.Height;
  It->Interlaced = Interlaced;
  It->ColorTable.Count = std::min<int>(256, int(D.Palette.size()));
  for (int I = 0; I < It->ColorTable.Count; ++I) {
    uint32_t C = D.Palette[size_t(I)];
    It->ColorTable.Colors[size_t(3 * I)] = uint8_t(C >> 16);
    It->ColorTable.Colors[size_t(3 * I + 1)] = uint8_t(C >> 8);
    It->ColorTable.Colors[size_t(3 * I + 2)] = uint8_t(C);
  }
  // A table of a power-of-two size, as the file stores it.
  const int TableBits = BitsForCount(It->ColorTable.Count);
  It->ColorTable.Count = 1 << TableBits;
  It->BitsPerPixel = uint8_t(TableBits);
  std::vector<uint8_t> Idx(size_t(D.Width) * size_t(D.Height));
  for (int Y = 0; Y < D.Height; ++Y)
    for (int X = 0; X < D.Width; ++X)
      Idx[size_t(Y) * size_t(D.Width) + size_t(X)] = uint8_t(D.Index(X, Y));
  const TGifProgress P = ProgressReport();
  It->ImageData = EncodeGifLzw(Idx.data(), D.Width, D.Height, D.Bits, Interlaced, P);
  ImageData = It;
  if (Owner) {
    TGIFData &G = *Owner->ImageData;
    if (G.ColorTable.Count == 0) {
      G.ColorTable = It->ColorTable;
      G.BitsPerPixel = It->BitsPerPixel;
      if (!G.ColorResolution) G.ColorResolution = It->BitsPerPixel;
      LocalColors = false;
    } else {
      LocalColors = true;
    }
    Owner->ScreenWidth =
        ClampWord(std::max<int64_t>(Owner->ScreenWidth, int64_t(TopLeft.X) + D.Width));
    Owner->ScreenHeight =
        ClampWord(std::max<int64_t>(Owner->ScreenHeight, int64_t(TopLeft.Y) + D.Height));
  }
  return true;
}

void TGIFFrame::UpdateExtensions() {
  if (AnimateInterval > 0 || TransparentColor != clNone || DisposalMethod != 0) {
    auto G = std::find_if(Extensions.begin(), Extensions.end(), [](const TExtension &E) {
      return E.ExtType == TExtension::GraphicControl;
    });
    if (G == Extensions.end()) {
      TExtension E;
      E.ExtType = TExtension::GraphicControl;
      E.Fixed[0] = 4;
      Extensions.insert(Extensions.begin(), E);
      G = Extensions.begin();
    }
    G->Fixed[2] = uint8_t(AnimateInterval / 10);
    G->Fixed[3] = uint8_t((AnimateInterval / 10) >> 8);
    int Index = TransparentColor == clNone
                    ? -1
                    : ImageData->ColorTable.IndexOf(ColorToRGB(TransparentColor));
    uint8_t Packed = G->Fixed[1];
    // Bit 0 is the transparency flag; bit 1 (user input) is left as it was.
    if (Index >= 0) {
      G->Fixed[4] = uint8_t(Index);
      Packed |= 0x01;
    } else {
      Packed &= uint8_t(~0x01);
    }
    Packed = uint8_t((Packed & ~0x1C) | ((DisposalMethod & 7) << 2));
    G->Fixed[1] = Packed;
  }
  std::erase_if(Extensions, [](const TExtension &E) {
    if (E.ExtType != TExtension::Comment) return false;
    for (const std::string &S : E.Data)
      if (!S.empty()) return false;
    return true;
  });
}

// ---- TKitGIFImage ----

TKitGIFImage::TKitGIFImage() : ImageData(std::make_shared<TGIFData>()) { FTransparent = true; }
TKitGIFImage::~TKitGIFImage() = default;

void TKitGIFImage::Clear() {
  ImageData = std::make_shared<TGIFData>();
  Frames.clear();
  FrameIndex = -1;
  BackgroundColor = clNone;
  RepeatCount = 1;
  Looping = false;
  Version = 0;
  ScreenWidth = ScreenHeight = 0;
}

bool TKitGIFImage::Equals(const TGraphic *Graphic) const {
  auto *G = dynamic_cast<const TKitGIFImage *>(Graphic);
  return G && G->ImageData == ImageData;
}

bool TKitGIFImage::Empty() const {
  if (Frames.empty()) return true;
  const TGIFFrame &F = *Frames[size_t(std::max(FrameIndex, 0))];
  return !F.FBitmap && (!F.ImageData || F.ImageData->ImageData.empty());
}

int TKitGIFImage::Width() const {
  if (Empty() || FrameIndex < 0 || FrameIndex >= FrameCount()) return 0;
  TBitmap *B = Frames[size_t(FrameIndex)]->Bitmap();
  return B ? B->Width() : 0;
}

int TKitGIFImage::Height() const {
  if (Empty() || FrameIndex < 0 || FrameIndex >= FrameCount()) return 0;
  TBitmap *B = Frames[size_t(FrameIndex)]->Bitmap();
  return B ? B->Height() : 0;
}

void TKitGIFImage::SetWidth(int) { GifError(SGIFCannotChangeSize); }
void TKitGIFImage::SetHeight(int) { GifError(SGIFCannotChangeSize); }

bool TKitGIFImage::Transparent() const {
  if (!FTransparent) return false;
  for (const auto &F : Frames)
    if (F->TransparentColor != clNone) return true;
  return false;
}

void TKitGIFImage::Draw(TCanvas &Canvas, const TRect &Rect) {
  if (FrameIndex < 0 || FrameIndex >= FrameCount()) return;
  TGIFFrame &F = *Frames[size_t(FrameIndex)];
  TBitmap *B = F.Bitmap();
  if (!B || B->Empty()) return;
  if (Transparent() && F.TransparentColor != clNone) {
    TBitmap T(*B);
    T.Transparent = true;
    T.SetTransparentColor(F.TransparentColor);
    Canvas.StretchDraw(Rect, T);
  } else {
    B->Transparent = false;
    Canvas.StretchDraw(Rect, *B);
  }
}

TBitmap TKitGIFImage::ToBitmap() {
  TBitmap B;
  AssignTo(B);
  return B;
}

void TKitGIFImage::AssignTo(TBitmap &Dest) {
  TBitmap *B =
      FrameIndex >= 0 && FrameIndex < FrameCount() ? Frames[size_t(FrameIndex)]->Bitmap() : nullptr;
  Dest = B ? *B : TBitmap();
}

void TKitGIFImage::ReadFrame(TByteReader &R, std::vector<TExtension> &Pending) {
  auto Frame = std::make_unique<TGIFFrame>(this);
  TGIFItem &It = *Frame->ImageData;
  const TGIFData &G = *ImageData;
  if (G.ColorTable.Count) {
    int C = G.ColorTable.Count;
    if (C < 2 || C > 256 || (C & (C - 1))) GifError(SGIFWrongColorCount);
  }
  Frame->Extensions = std::move(Pending);
  Pending.clear();
  const int Left = R.U16LE(), Top = R.U16LE(), W = R.U16LE(), H = R.U16LE();
  const uint8_t Packed = R.U8();
  Frame->TopLeft = {Left, Top};
  Frame->Interlaced = It.Interlaced = (Packed & 0x40) != 0;
  if (Packed & 0x80) {
    ReadTable(R, It.ColorTable, (Packed & 7) + 1);
    Frame->LocalColors = true;
  } else {
    It.ColorTable = G.ColorTable;
  }
  // The coded data, copied as it stands; a sub-block that runs past the end is dropped.
  if (!R.AtEnd()) It.ImageData.push_back(R.U8());
  for (;;) {
    if (R.AtEnd()) {
      if (R.Truncated()) Frame->Corrupted = true;
      break;
    }
    uint8_t N = R.U8();
    if (N > R.Remaining()) {
      Frame->Corrupted = true;
      R.Seek(R.Size());
      break;
    }
    It.ImageData.push_back(N);
    const uint8_t *P = R.Bytes().data() + R.Pos();
    It.ImageData.insert(It.ImageData.end(), P, P + N);
    R.Skip(N);
    if (N == 0) break;
  }
  if (R.Truncated()) Frame->Corrupted = true;
  if (Frame->Corrupted && !GIFAllowTruncated) GifError(SReadError);
  It.Width = W ? W : ScreenWidth;
  It.Height = H ? H : ScreenHeight;
  if (It.ColorTable.Count == 0) {
    // No table at all: grey levels, one for each root code.
    const int MinCode = It.ImageData.empty() ? 8 : std::clamp<int>(It.ImageData[0], 1, 8);
    const int N = 1 << MinCode;
    It.ColorTable.Count = N;
    for (int I = 0; I < N; ++I)
      for (int K = 0; K < 3; ++K)
        It.ColorTable.Colors[size_t(3 * I + K)] = uint8_t(N > 1 ? I * 255 / (N - 1) : 0);
  }
  It.BitsPerPixel = uint8_t(BitsForCount(It.ColorTable.Count));
  for (const TExtension &E : Frame->Extensions) {
    if (E.ExtType != TExtension::GraphicControl) continue;
    const uint8_t P = E.Fixed[1];
    const int Index = E.Fixed[4];
    Frame->TransparentColor =
        (P & 0x01) && Index < It.ColorTable.Count ? It.ColorTable.Entry(Index) : clNone;
    const int Delay = E.Fixed[2] | (E.Fixed[3] << 8);
    Frame->AnimateInterval = std::max(Frame->AnimateInterval, ClampWord(int64_t(Delay) * 10));
    Frame->DisposalMethod = uint8_t((P & 0x1C) >> 2);
  }
  Frames.push_back(std::move(Frame));
}

void TKitGIFImage::ReadStream(int64_t Size, TMemoryStream &Stream, bool DecodeFirst) {
  Clear();
  if (Size < 0 || Size > Stream.Remaining()) GifError(SReadError);
  TMemoryStream Copy;
  Copy.CopyFrom(Stream, Size);
  if (Size == 0) return;
  TByteReader R(Copy.Bytes);
  uint8_t Sig[6];
  R.Read(Sig, 6);
  if (R.Truncated() || !SameNoCase(Sig, "gif")) GifError(SGIFUnknownVersion);
  if (SameNoCase(Sig + 3, "87a")) Version = 1;
  else if (SameNoCase(Sig + 3, "89a")) Version = 2;
  else GifError(SGIFUnknownVersion);
  ScreenWidth = R.U16LE();
  ScreenHeight = R.U16LE();
  const uint8_t Packed = R.U8(), Background = R.U8();
  TGIFData &G = *ImageData;
  G.AspectRatio = R.U8();
  if (R.Truncated()) GifError(SReadError);
  G.BitsPerPixel = uint8_t((Packed & 7) + 1);
  G.ColorResolution = uint8_t(((Packed & 0x70) >> 4) + 1);
  if (Packed & 0x80) {
    ReadTable(R, G.ColorTable, G.BitsPerPixel);
    if (Background < G.ColorTable.Count) BackgroundColor = G.ColorTable.Entry(Background);
  }
  std::vector<TExtension> Pending;
  uint8_t Intro = NextIntroducer(R);
  while (Intro != ';') {
    while (Intro == '!') {
      const uint8_t Label = R.U8();
      TExtension E;
      if (Label == 0xF9) {
        E.ExtType = TExtension::GraphicControl;
        ReadFixed(R, E, 5);
        E.Fixed[0] = 4;
        ReadSubBlocks(R, nullptr);
        Pending.push_back(E);
      } else if (Label == 0xFE) {
        E.ExtType = TExtension::Comment;
        ReadSubBlocks(R, &E.Data);
        Pending.push_back(E);
      } else if (Label == 0x01) {
        ReadFixed(R, E, 13);
        ReadSubBlocks(R, nullptr);
        Pending.clear();
      } else if (Label == 0xFF) {
        ReadFixed(R, E, 12);
        ReadSubBlocks(R, &E.Data);
        const bool Loop =
            E.Fixed[0] == 11 && (std::memcmp(E.Fixed.data() + 1, "NETSCAPE2.0", 11) == 0 ||
                                 std::memcmp(E.Fixed.data() + 1, "ANIMEXTS1.0", 11) == 0);
        if (Loop && !E.Data.empty() && E.Data[0].size() >= 3 && E.Data[0][0] == 1) {
          Looping = true;
          const int N = uint8_t(E.Data[0][1]) | (uint8_t(E.Data[0][2]) << 8);
          RepeatCount = uint16_t(std::min(N, MaxRepeatCount));
        }
      } else {
        // An extension this class does not know is skipped whole.
        ReadSubBlocks(R, nullptr);
      }
      Intro = NextIntroducer(R);
    }
    if (Intro == ',') {
      ReadFrame(R, Pending);
      Intro = NextIntroducer(R);
      if (Intro != '!' && Intro != ',' && Intro != ';') break;
      continue;
    }
    if (G.Comment.empty()) {
      bool First = true;
      for (const TExtension &E : Pending) {
        if (E.ExtType != TExtension::Comment) continue;
        if (!First) G.Comment.push_back("\r\n\r\n");
        First = false;
        std::string Text;
        for (const std::string &S : E.Data) Text += S;
        G.Comment.push_back(Text);
      }
    }
    Pending.clear();
    if (Intro != ';') GifError(SReadError);
  }
  if (!Frames.empty()) {
    FrameIndex = 0;
    if (DecodeFirst) Frames[0]->Bitmap();
  }
  Changed();
}

void TKitGIFImage::LoadFromStream(TMemoryStream &Stream) {
  ReadStream(Stream.Remaining(), Stream, true);
}

void TKitGIFImage::ReadData(TMemoryStream &Stream) {
  if (Stream.Remaining() < 4) GifError(SReadError);
  const uint32_t Size = Stream.ReadU32();
  if (int64_t(Size) > Stream.Remaining()) GifError(SReadError);
  ReadStream(Size, Stream, true);
}

void TKitGIFImage::WriteStream(TMemoryStream &Stream, bool WriteSize) {
  if (Frames.empty()) GifError(SGIFNoDataToWrite);
  for (auto &F : Frames) {
    if ((!F->ImageData || F->ImageData->ImageData.empty()) && !F->Encode()) return;
    F->UpdateExtensions();
    if (!F->Extensions.empty()) Version = 2;
  }
  const TGIFData &G = *ImageData;
  if (!G.Comment.empty()) Version = 2;
  if (Version == 0) Version = 1;
  std::vector<uint8_t> O;
  auto Put8 = [&](unsigned V) { O.push_back(uint8_t(V)); };
  auto Put16 = [&](unsigned V) {
    Put8(V & 0xFF);
    Put8(V >> 8);
  };
  auto PutBlocks = [&](const std::vector<std::string> &Data) {
    for (const std::string &S : Data)
      for (size_t I = 0; I < S.size(); I += 255) {
        size_t N = std::min<size_t>(255, S.size() - I);
        Put8(unsigned(N));
        O.insert(O.end(), S.begin() + std::ptrdiff_t(I), S.begin() + std::ptrdiff_t(I + N));
      }
    Put8(0);
  };
  const char *Ver = Version == 2 ? "GIF89a" : "GIF87a";
  O.insert(O.end(), Ver, Ver + 6);
  Put16(ScreenWidth);
  Put16(ScreenHeight);
  if (G.ColorTable.Count == 0) {
    Put8(0);
    Put8(0);
  } else {
    const int Bits = BitsForCount(G.ColorTable.Count);
    // The colour-resolution field, like the size field, gives the bits of the table.
    Put8(unsigned(0x80 | ((Bits - 1) << 4) | (Bits - 1)));
    // A system colour such as clWindow is resolved before it is looked up.
    int Index = BackgroundColor == clNone ? -1 : G.ColorTable.IndexOf(ColorToRGB(BackgroundColor));
    Put8(unsigned(std::max(Index, 0)));
  }
  Put8(G.AspectRatio);
  if (G.ColorTable.Count)
    O.insert(O.end(), G.ColorTable.Colors.begin(),
             G.ColorTable.Colors.begin() + 3 * (1 << BitsForCount(G.ColorTable.Count)));
  if (Looping && Frames.size() > 1) {
    const char App[] = "NETSCAPE2.0";
    Put8('!');
    Put8(0xFF);
    Put8(11);
    O.insert(O.end(), App, App + 11);
    Put8(3);
    Put8(1);
    Put16(RepeatCount);
    Put8(0);
  }
  for (auto &F : Frames) {
    for (const TExtension &E : F->Extensions) {
      Put8('!');
      Put8(TExtension::Label(E.ExtType));
      const size_t N = TExtension::FixedSize(E.ExtType);
      O.insert(O.end(), E.Fixed.begin(), E.Fixed.begin() + std::ptrdiff_t(N));
      if (E.ExtType != TExtension::GraphicControl) PutBlocks(E.Data);
    }
    const TGIFItem &It = *F->ImageData;
    Put8(',');
    Put16(unsigned(F->TopLeft.X) & 0xFFFF);
    Put16(unsigned(F->TopLeft.Y) & 0xFFFF);
    Put16(unsigned(It.Width));
    Put16(unsigned(It.Height));
    const int Bits = BitsForCount(It.ColorTable.Count);
    Put8(unsigned((F->LocalColors ? 0x80 + (Bits - 1) : 0) | (F->Interlaced ? 0x40 : 0)));
    if (F->LocalColors)
      O.insert(O.end(), It.ColorTable.Colors.begin(),
               It.ColorTable.Colors.begin() + 3 * (1 << Bits));
    O.insert(O.end(), It.ImageData.begin(), It.ImageData.end());
  }
  if (!G.Comment.empty()) {
    Put8('!');
    Put8(0xFE);
    PutBlocks(G.Comment);
  }
  Put8(';');
  if (WriteSize) Stream.WriteU32(uint32_t(O.size()));
  Stream.Write(O.data(), O.size());
}

void TKitGIFImage::SaveToStream(TMemoryStream &Stream) { WriteStream(Stream, false); }
void TKitGIFImage::WriteData(TMemoryStream &Stream) { WriteStream(Stream, true); }

void TKitGIFImage::LoadFromClipboardFormat(unsigned Format) {
  if (CF_GIF && Clipboard().HasFormatNumber(CF_GIF)) {
    TMemoryStream S(Clipboard().FormatData(CF_GIF));
    ReadData(S);
    // The bitmap beside the GIF is frame 0 already decoded. One of another size would show
    // a picture that the frame's coded data does not hold, so it is left aside.
    if (Frames.empty() || !Clipboard().HasFormat(CF_BITMAP)) return;
    TBitmap B = Clipboard().AsBitmap();
    TGIFFrame &F = *Frames[0];
    if (!B.Empty() && F.ImageData && B.Width() == F.ImageData->Width &&
        B.Height() == F.ImageData->Height)
      F.FBitmap = std::make_unique<TBitmap>(std::move(B));
    return;
  }
  // A plain bitmap, as a bitmap reads it: only from the bitmap format.
  TBitmap B;
  if (Format == CF_BITMAP) B = Clipboard().AsBitmap();
  if (B.Empty()) throw EInvalidGraphic("Unsupported clipboard format");
  Assign(B);
}

void TKitGIFImage::SaveToClipboardFormat(unsigned &Format) {
  Format = CF_GIF;
  // Frame 0, whatever frame is current: pasting takes the bitmap as frame 0's picture.
  const TBitmap *B = Frames.empty() ? nullptr : Frames[0]->Bitmap();
  if (B && !B->Empty()) Clipboard().Assign(*B);
  for (const auto &F : Frames)
    if (!F->ImageData || F->ImageData->ImageData.empty()) return;
  TMemoryStream S;
  WriteStream(S, true);
  Clipboard().SetFormatData(CF_GIF, S.Bytes);
}

void TKitGIFImage::FramesChanged() {
  int64_t W = 0, H = 0;
  for (const auto &F : Frames) {
    TBitmap *B = F->FBitmap.get();
    int FW = F->ImageData && F->ImageData->Width ? F->ImageData->Width : B ? B->Width() : 0;
    int FH = F->ImageData && F->ImageData->Height ? F->ImageData->Height : B ? B->Height() : 0;
    W = std::max<int64_t>(W, int64_t(F->TopLeft.X) + FW);
    H = std::max<int64_t>(H, int64_t(F->TopLeft.Y) + FH);
  }
  ScreenWidth = ClampWord(W);
  ScreenHeight = ClampWord(H);
  if (Frames.size() > 1) Version = 2;
  Changed();
}

int TKitGIFImage::AddFrame(const TBitmap &Bitmap) {
  auto F = std::make_unique<TGIFFrame>(this);
  F->Assign(Bitmap);
  Frames.push_back(std::move(F));
  FrameIndex = FrameCount() - 1;
  FramesChanged();
  return FrameIndex;
}

int TKitGIFImage::AddFrame(const TIcon &Icon, TColor Background) {
  auto F = std::make_unique<TGIFFrame>(this);
  F->Assign(Icon, Background);
  Frames.push_back(std::move(F));
  FrameIndex = FrameCount() - 1;
  FramesChanged();
  return FrameIndex;
}

void TKitGIFImage::Assign(const TKitGIFImage *Source) {
  if (!Source) {
    Clear();
    Changed();
    return;
  }
  if (Source == this) return;
  Clear();
  ImageData = Source->ImageData;
  Version = Source->Version;
  BackgroundColor = Source->BackgroundColor;
  RepeatCount = Source->RepeatCount;
  Looping = Source->Looping;
  FTransparent = Source->FTransparent;
  for (const auto &SF : Source->Frames) {
    auto F = std::make_unique<TGIFFrame>(this);
    F->Assign(*SF);
    F->LocalColors = SF->LocalColors;
    Frames.push_back(std::move(F));
  }
  ScreenWidth = Source->ScreenWidth;
  ScreenHeight = Source->ScreenHeight;
  FrameIndex = Source->FrameIndex;
  Changed();
}

void TKitGIFImage::Assign(const TGIFFrame &Source) {
  Clear();
  if (Source.Owner) {
    const TGIFData &S = *Source.Owner->ImageData;
    ImageData->AspectRatio = S.AspectRatio;
    ImageData->BitsPerPixel = S.BitsPerPixel;
    ImageData->ColorResolution = S.ColorResolution;
    ImageData->ColorTable = S.ColorTable;
  }
  auto F = std::make_unique<TGIFFrame>(this);
  F->Assign(Source);
  F->LocalColors = Source.LocalColors;
  Frames.push_back(std::move(F));
  FrameIndex = 0;
  Version = std::max<uint8_t>(Version, 1);
  FramesChanged();
}

void TKitGIFImage::Assign(const TBitmap &Source) {
  Clear();
  AddFrame(Source);
}

void TKitGIFImage::Assign(const TAnimatedCursorImage &Source) {
  Clear();
  BackgroundColor = clWindow;
  for (int I = 0; I < Source.FrameCount(); ++I) {
    const TIconFrame &CF = Source.Frame(I);
    int K = AddFrame(*CF.Icon, BackgroundColor);
    // Jiffies are 1/60 s; the interval is a Word.
    Frames[size_t(K)]->AnimateInterval = ClampWord(int64_t(CF.Jiffies) * 100 / 6);
  }
  if (!Frames.empty()) FrameIndex = 0;
}

void RegisterKitGIF() {
  static bool Done = false;
  if (Done) return;
  Done = true;
  CF_GIF = RegisterClipboardFormat("GIF Image");
  TPicture::RegisterFileFormat("gif", SGIFImageDescription, "TKitGIFImage",
                               [] { return std::make_unique<TKitGIFImage>(); });
  TPicture::RegisterClipboardFormat(CF_GIF, "TKitGIFImage",
                                    [] { return std::make_unique<TKitGIFImage>(); });
}

void UnregisterKitGIF() { TPicture::UnregisterGraphicClass("TKitGIFImage"); }

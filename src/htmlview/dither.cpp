#include "htmlview/dither.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "htmlview/image_cache.h"

std::vector<TColor> WebPalette() {
  std::vector<TColor> P;
  P.reserve(216);
  for (int R = 0; R < 6; ++R)
    for (int G = 0; G < 6; ++G)
      for (int B = 0; B < 6; ++B) P.push_back(RGB(51 * R, 51 * G, 51 * B));
  return P;
}

int BytesPerScanline(int Pixels, int Bits, int Alignment) {
  const int64_t Bytes = ((int64_t(Pixels) * Bits + Alignment - 1) & ~int64_t(Alignment - 1)) >> 3;
  return int(Bytes);
}

void GIFError(const char *Message) { throw GIFException(Message); }

// --- Rows ---

namespace {
int BitsOf(TPixelFormat F) {
  const int Bits = StoredPixelBits(F);
  if (!Bits) GIFError(SInvalidPixelFormat);
  return Bits;
}
} // namespace

TDIB::TDIB(const TBitmap &Bitmap, TPixelFormat PixelFormat)
    : FBitmap(&Bitmap), FPixelFormat(PixelFormat), FWidth(Bitmap.Width()),
      FHeight(Bitmap.Height()) {
  if (Bitmap.Empty()) GIFError(SInvalidBitmap);
  FRowBytes = BytesPerScanline(FWidth, BitsOf(PixelFormat), 32);
}

uint8_t *TDIB::Row(int Row) {
  if (Row < 0 || Row >= FHeight) throw EInvalidGraphicOperation(SScanlineOutOfRange);
  return FBits.data() + (FBits.size() > size_t(FRowBytes) ? size_t(Row) * size_t(FRowBytes) : 0);
}

TDIBReader::TDIBReader(const TBitmap &Bitmap, TPixelFormat PixelFormat)
    : TDIB(Bitmap, PixelFormat) {
  // The program reads only 24-bit rows; one row buffer, filled on request.
  if (PixelFormat != pf24bit) GIFError(SInvalidPixelFormat);
  try {
    FBits.assign(size_t(FRowBytes), 0);
  } catch (const std::bad_alloc &) { throw EOutOfMemory(SOutOfMemoryDIB); }
}

uint8_t *TDIBReader::GetScanline(int ARow) {
  uint8_t *D = Row(ARow);
  const uint32_t *S = FBitmap->ScanLine(ARow);
  for (int X = 0; X < FWidth; ++X) {
    D[3 * X] = uint8_t(S[X]);
    D[3 * X + 1] = uint8_t(S[X] >> 8);
    D[3 * X + 2] = uint8_t(S[X] >> 16);
  }
  return D;
}

TDIBWriter::TDIBWriter(TBitmap &Bitmap, TPixelFormat PixelFormat)
    : TDIB(Bitmap, PixelFormat), FTarget(&Bitmap) {
  if (PixelFormat != pf8bit) GIFError(SInvalidPixelFormat);
  try {
    FBits.assign(size_t(FRowBytes) * size_t(FHeight), 0);
  } catch (const std::bad_alloc &) { throw EOutOfMemory(SOutOfMemoryDIB); }
}

uint8_t *TDIBWriter::GetScanline(int ARow) { return Row(ARow); }

TDIBWriter::~TDIBWriter() {
  // The indexes become the palette's colours; an index past the palette stays black.
  std::array<uint32_t, 256> Argb;
  Argb.fill(0xFF000000u);
  const std::vector<TColor> &Pal = FTarget->Palette;
  for (size_t I = 0; I < Pal.size() && I < 256; ++I) Argb[I] = ColorToArgb(Pal[I]);
  for (int Y = 0; Y < FHeight; ++Y) {
    const uint8_t *S = FBits.data() + size_t(Y) * size_t(FRowBytes);
    uint32_t *D = FTarget->ScanLine(Y);
    for (int X = 0; X < FWidth; ++X) D[X] = Argb[S[X]];
  }
  FTarget->SetPixelFormat(pf8bit);
}

// --- Lookups ---

TFastColorLookup::TFastColorLookup(const std::vector<TColor> &Palette) : FMap(32768, EmptyCell) {
  Colors = int(std::min<size_t>(Palette.size(), 256));
  for (int I = 0; I < Colors; ++I) {
    const TColor C = Palette[size_t(I)];
    FPalette[size_t(I)] = {uint8_t(GetRValue(C)), uint8_t(GetGValue(C)), uint8_t(GetBValue(C))};
    uint16_t &Cell = FMap[size_t(Key(GetRValue(C), GetGValue(C), GetBValue(C)))];
    if (Cell == EmptyCell) Cell = uint16_t(I);
  }
}

int TFastColorLookup::Lookup(uint8_t Red, uint8_t Green, uint8_t Blue, uint8_t &R, uint8_t &G,
                             uint8_t &B) {
  uint16_t &Cell = FMap[size_t(Key(Red, Green, Blue))];
  if (Cell == EmptyCell) {
    int Best = 0, BestD = 0x30000;
    for (int I = 0; I < Colors; ++I) {
      const auto &E = FPalette[size_t(I)];
      const int D = std::abs(E[0] - Red) + std::abs(E[1] - Green) + std::abs(E[2] - Blue);
      if (D < BestD) {
        BestD = D;
        Best = I;
      }
    }
    Cell = uint16_t(Best);
  }
  const auto &E = FPalette[Cell];
  R = E[0];
  G = E[1];
  B = E[2];
  return Cell;
}

int TNetscapeColorLookup::Lookup(uint8_t Red, uint8_t Green, uint8_t Blue, uint8_t &R, uint8_t &G,
                                 uint8_t &B) {
  const int LR = (Red + 3) / 51, LG = (Green + 3) / 51, LB = (Blue + 3) / 51;
  R = uint8_t(51 * LR);
  G = uint8_t(51 * LG);
  B = uint8_t(51 * LB);
  return 36 * LR + 6 * LG + LB;
}

// --- Ditherers ---

int TDitherEngine::Dither(uint8_t Red, uint8_t Green, uint8_t Blue, uint8_t &R, uint8_t &G,
                          uint8_t &B) {
  const int I = Lookup->Lookup(Red, Green, Blue, R, G, B);
  Column += Direction;
  return I;
}

void TDitherEngine::NextLine() {
  Direction = -Direction;
  Column = Direction == 1 ? 0 : Width - 1;
}

TFloydSteinbergEngine::TFloydSteinbergEngine(int AWidth, TColorLookup &ALookup)
    : TDitherEngine(AWidth, ALookup) {
  for (auto &E : FErrors) E.assign(size_t(std::max(AWidth, 0)) + 2, 0);
}

int TFloydSteinbergEngine::Dither(uint8_t Red, uint8_t Green, uint8_t Blue, uint8_t &R, uint8_t &G,
                                  uint8_t &B) {
  const uint8_t In[3] = {Red, Green, Blue};
  uint8_t Wanted[3];
  for (int C = 0; C < 3; ++C) {
    const int V =
        (FErrors[size_t(C)][size_t(FAt[size_t(C)] + Direction)] + FRunning[size_t(C)] + 8) / 16 +
        In[C];
    Wanted[C] = uint8_t(std::clamp(V, 0, 255));
    FRunning[size_t(C)] = Wanted[C];
  }
  const int Index = TDitherEngine::Dither(Wanted[0], Wanted[1], Wanted[2], R, G, B);
  const uint8_t Got[3] = {R, G, B};
  for (size_t C = 0; C < 3; ++C) {
    const int E = FRunning[C] - Got[C];
    FErrors[C][size_t(FAt[C])] = FBelowPrev[C] + 3 * E;
    FBelowPrev[C] = FBelow[C] + 5 * E;
    FBelow[C] = E;
    FRunning[C] = 7 * E;
    FAt[C] += Direction;
  }
  return Index;
}

void TFloydSteinbergEngine::NextLine() {
  for (size_t C = 0; C < 3; ++C) {
    FErrors[C][size_t(FAt[C])] = FBelowPrev[C];
    FRunning[C] = FBelow[C] = FBelowPrev[C] = 0;
  }
  TDitherEngine::NextLine();
  FAt.fill(Direction == 1 ? 0 : Width + 1);
}

// --- Octree ---

TColorQuantizer::TColorQuantizer(int AMaxColors, int AColorBits)
    : FMaxColors(AMaxColors), FColorBits(std::clamp(AColorBits, 1, 8)) {}

TColorQuantizer::~TColorQuantizer() {
  // Deep trees go down iteratively, so no recursion depth depends on the picture.
  std::vector<std::unique_ptr<TOctreeNode>> Stack;
  if (FTree) Stack.push_back(std::move(FTree));
  while (!Stack.empty()) {
    std::unique_ptr<TOctreeNode> N = std::move(Stack.back());
    Stack.pop_back();
    for (auto &C : N->Children)
      if (C) Stack.push_back(std::move(C));
  }
}

void TColorQuantizer::ProcessImage(TDIBReader &Reader, int Width, int Height) {
  for (int Y = 0; Y < Height; ++Y) {
    const uint8_t *P = Reader.GetScanline(Y);
    for (int X = 0; X < Width; ++X, P += 3) {
      AddColor(P[2], P[1], P[0]);
      while (FLeafCount > FMaxColors) ReduceTree();
    }
  }
}

void TColorQuantizer::AddColor(uint8_t Red, uint8_t Green, uint8_t Blue) {
  AddColor(FTree, Red, Green, Blue, 0);
}

void TColorQuantizer::AddColor(std::unique_ptr<TOctreeNode> &Start, uint8_t Red, uint8_t Green,
                               uint8_t Blue, int StartLevel) {
  std::unique_ptr<TOctreeNode> *Slot = &Start;
  for (int Level = StartLevel;; ++Level) {
    if (!*Slot) {
      *Slot = std::make_unique<TOctreeNode>();
      TOctreeNode &N = **Slot;
      if (Level == FColorBits) {
        N.IsLeaf = true;
        ++FLeafCount;
      } else {
        N.Next = FReducibleNodes[size_t(Level)];
        FReducibleNodes[size_t(Level)] = &N;
      }
    }
    TOctreeNode &N = **Slot;
    if (N.IsLeaf) {
      N.PixelCount += 1;
      N.RedSum += Red;
      N.GreenSum += Green;
      N.BlueSum += Blue;
      return;
    }
    const int Shift = 7 - Level;
    const int Child =
        (((Red >> Shift) & 1) << 2) | (((Green >> Shift) & 1) << 1) | ((Blue >> Shift) & 1);
    Slot = &N.Children[size_t(Child)];
  }
}

void TColorQuantizer::ReduceTree() {
  int Level = FColorBits - 1;
  while (Level > 0 && !FReducibleNodes[size_t(Level)]) --Level;
  TOctreeNode *N = FReducibleNodes[size_t(Level)];
  if (!N) return;
  FReducibleNodes[size_t(Level)] = N->Next;
  int Children = 0;
  for (auto &C : N->Children) {
    if (!C) continue;
    N->RedSum += C->RedSum;
    N->GreenSum += C->GreenSum;
    N->BlueSum += C->BlueSum;
    N->PixelCount += C->PixelCount;
    C.reset();
    ++Children;
  }
  N->IsLeaf = true;
  FLeafCount -= Children - 1;
}

std::vector<TColor> TColorQuantizer::GetColorTable() const {
  std::vector<TColor> T;
  std::vector<const TOctreeNode *> Stack;
  if (FTree) Stack.push_back(FTree.get());
  while (!Stack.empty()) {
    const TOctreeNode *N = Stack.back();
    Stack.pop_back();
    if (N->IsLeaf) {
      if (N->PixelCount > 0)
        T.push_back(RGB(int(N->RedSum / N->PixelCount), int(N->GreenSum / N->PixelCount),
                        int(N->BlueSum / N->PixelCount)));
      else T.push_back(RGB(0, 0, 0));
      continue;
    }
    for (size_t I = 8; I-- > 0;)
      if (N->Children[I]) Stack.push_back(N->Children[I].get());
  }
  return T;
}

// --- Palettes and reduction ---

std::vector<TColor> CreateOptimizedPalette(const TBitmap &Bitmap, int Colors, int ColorBits,
                                           bool Windows) {
  Colors = std::clamp(Colors, 0, 256);
  std::vector<TColor> P(size_t(Colors), RGB(0, 0, 0));
  int First = 0, Room = Colors;
  if (Windows) {
    const std::vector<TColor> Stock = DefaultSystemPalette();
    P.assign(256, RGB(0, 0, 0));
    for (int I = 0; I < 10; ++I) {
      P[size_t(I)] = Stock[size_t(I)];
      P[size_t(246 + I)] = Stock[size_t(246 + I)];
    }
    First = 10;
    Room = 236;
  }
  TColorQuantizer Q(Room, ColorBits);
  TDIBReader Reader(Bitmap, pf24bit);
  Q.ProcessImage(Reader, Bitmap.Width(), Bitmap.Height());
  std::vector<TColor> T = Q.GetColorTable();
  for (size_t I = 0; I < T.size() && int(I) < Room; ++I) P[size_t(First) + I] = T[I];
  return P;
}

std::unique_ptr<TBitmap> ReduceColors(const TBitmap &Bitmap, TColorReduction Mode,
                                      TDitherMode DitherMode) {
  if (Mode == TColorReduction::None) {
    auto R = std::make_unique<TBitmap>(Bitmap);
    R->Palette.clear();
    R->SetPixelFormat(pf24bit);
    return R;
  }
  auto Result = std::make_unique<TBitmap>(Bitmap.Width(), Bitmap.Height());
  Result->SetPixelFormat(pf8bit);
  TDIBReader Reader(Bitmap, pf24bit);
  switch (Mode) {
  case TColorReduction::Windows: {
    // The twenty static colours as one 20-entry palette.
    const std::vector<TColor> Stock = DefaultSystemPalette();
    Result->Palette.assign(Stock.begin(), Stock.begin() + 10);
    Result->Palette.insert(Result->Palette.end(), Stock.begin() + 246, Stock.end());
    break;
  }
  case TColorReduction::Netscape: Result->Palette = WebPalette(); break;
  case TColorReduction::MyPalette: Result->Palette = CopyPalette(ThePalette()); break;
  case TColorReduction::Quantize:
    Result->Palette = CreateOptimizedPalette(Bitmap, 256, 8, true);
    break;
  default: return Result;
  }
  std::unique_ptr<TColorLookup> Lookup;
  if (Mode == TColorReduction::Netscape) Lookup = std::make_unique<TNetscapeColorLookup>();
  else Lookup = std::make_unique<TFastColorLookup>(Result->Palette);
  if (Lookup->Colors == 0) return Result;
  const int W = Bitmap.Width(), H = Bitmap.Height();
  std::unique_ptr<TDitherEngine> Engine;
  if (DitherMode == TDitherMode::Nearest) Engine = std::make_unique<TDitherEngine>(W, *Lookup);
  else if (DitherMode == TDitherMode::FloydSteinberg)
    Engine = std::make_unique<TFloydSteinbergEngine>(W, *Lookup);
  else return Result;
  {
    TDIBWriter Writer(*Result, pf8bit);
    for (int Y = 0; Y < H; ++Y) {
      const uint8_t *Src = Reader.GetScanline(Y) + 3 * Engine->Column;
      uint8_t *Dst = Writer.GetScanline(Y) + Engine->Column;
      uint8_t R, G, B;
      while (Engine->Column >= 0 && Engine->Column < W) {
        *Dst = uint8_t(Engine->Dither(Src[2], Src[1], Src[0], R, G, B));
        Src += 3 * Engine->Direction;
        Dst += Engine->Direction;
      }
      Engine->NextLine();
    }
  }
  return Result;
}

std::unique_ptr<TBitmap> ReduceToDisplayPalette(const TBitmap *Bitmap) {
  if (!Bitmap || Bitmap->Empty()) return nullptr;
  // Pictures from our decoders are device-independent; only one already in the shared
  // palette has nothing left to reduce.
  const std::vector<TColor> &Shared = ThePalette();
  if (!Shared.empty() && Bitmap->Palette == Shared) return std::make_unique<TBitmap>(*Bitmap);
  return ReduceColors(*Bitmap,
                      ColorBits() >= 8 ? TColorReduction::MyPalette : TColorReduction::Windows,
                      TDitherMode::FloydSteinberg);
}

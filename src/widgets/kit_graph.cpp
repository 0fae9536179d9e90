#include "widgets/kit_graph.h"

#include <algorithm>
#include <cstring>

#include "platform/image_raw.h"
#include "widgets/kit_utils.h"

namespace {

// Largest bitmap file the kit writes or reads (rows are 64-bit sums before this test).
constexpr int64_t MaxDibBytes = int64_t(1) << 30;

std::array<uint8_t, 256> NearestLevel(const uint8_t *Levels, int N) {
  std::array<uint8_t, 256> T{};
  for (int V = 0; V < 256; ++V) {
    int Best = 0;
    for (int I = 1; I < N; ++I)
      if (std::abs(V - Levels[I]) < std::abs(V - Levels[Best])) Best = I;
    T[size_t(V)] = uint8_t(Best);
  }
  return T;
}

inline unsigned R8(uint32_t P) { return (P >> 16) & 0xFF; }
inline unsigned G8(uint32_t P) { return (P >> 8) & 0xFF; }
inline unsigned B8(uint32_t P) { return P & 0xFF; }

TTrueColorRows TrueColorCopy(const TBitmap &Bitmap) {
  TTrueColorRows T;
  T.Width = Bitmap.Width();
  T.Height = Bitmap.Height();
  T.Pixels.resize(size_t(T.Width) * size_t(T.Height));
  for (int Y = 0; Y < T.Height; ++Y)
    std::memcpy(T.Pixels.data() + size_t(Y) * size_t(T.Width), Bitmap.ScanLine(T.Height - 1 - Y),
                size_t(T.Width) * 4);
  return T;
}

void Put16(std::vector<uint8_t> &O, unsigned V) {
  O.push_back(uint8_t(V));
  O.push_back(uint8_t(V >> 8));
}
void Put32(std::vector<uint8_t> &O, uint32_t V) {
  for (int K = 0; K < 4; ++K) O.push_back(uint8_t(V >> (8 * K)));
}

// File header and info header for a picture whose palette has PaletteEntries entries.
std::vector<uint8_t> DibHeaders(int Width, int Height, int Bits, int PaletteEntries,
                                int ColorsUsed) {
  const int64_t Image = WidthBytes(int64_t(Width) * Bits) * Height;
  const int64_t Offset = 14 + 40 + int64_t(PaletteEntries) * 4;
  if (Image + Offset > MaxDibBytes) InvalidBitmap();
  std::vector<uint8_t> O;
  O.reserve(size_t(Offset + Image));
  O.push_back('B');
  O.push_back('M');
  Put32(O, uint32_t(Offset + Image));
  Put32(O, 0);
  Put32(O, uint32_t(Offset));
  Put32(O, 40);
  Put32(O, uint32_t(Width));
  Put32(O, uint32_t(Height));
  Put16(O, 1);
  Put16(O, unsigned(Bits));
  Put32(O, 0);
  Put32(O, uint32_t(Image));
  Put32(O, 0);
  Put32(O, 0);
  Put32(O, uint32_t(ColorsUsed));
  Put32(O, 0);
  return O;
}

void PutPalette(std::vector<uint8_t> &O, const uint32_t *Palette, size_t Count, size_t Entries) {
  for (size_t I = 0; I < Entries; ++I) {
    uint32_t C = I < Count ? Palette[I] : 0;
    O.push_back(uint8_t(B8(C)));
    O.push_back(uint8_t(G8(C)));
    O.push_back(uint8_t(R8(C)));
    O.push_back(0);
  }
}

std::vector<uint8_t> IndexedToFile(const TIndexedRows &R) {
  const int Entries = R.ColorsUsed ? R.ColorsUsed : 256;
  std::vector<uint8_t> O = DibHeaders(R.Width, R.Height, 8, Entries, R.ColorsUsed);
  PutPalette(O, R.Palette.data(), 256, size_t(Entries));
  const size_t Stride = size_t(WidthBytes(int64_t(R.Width) * 8));
  for (int Y = 0; Y < R.Height; ++Y) {
    const uint8_t *Row = R.Indices.data() + size_t(Y) * size_t(R.Width);
    O.insert(O.end(), Row, Row + R.Width);
    O.resize(O.size() + Stride - size_t(R.Width), 0);
  }
  return O;
}

std::vector<uint8_t> TrueColorFile(const TTrueColorRows &T) {
  std::vector<uint8_t> O = DibHeaders(T.Width, T.Height, 24, 0, 0);
  const size_t Stride = size_t(WidthBytes(int64_t(T.Width) * 24));
  for (int Y = 0; Y < T.Height; ++Y) {
    for (int X = 0; X < T.Width; ++X) {
      uint32_t P = T.At(X, Y);
      O.push_back(uint8_t(B8(P)));
      O.push_back(uint8_t(G8(P)));
      O.push_back(uint8_t(R8(P)));
    }
    O.resize(O.size() + Stride - size_t(T.Width) * 3, 0);
  }
  return O;
}

uint32_t SquaredDistance(uint32_t A, uint32_t B) {
  int DR = int(R8(A)) - int(R8(B)), DG = int(G8(A)) - int(G8(B)), DB = int(B8(A)) - int(B8(B));
  return uint32_t(DR * DR + DG * DG + DB * DB);
}

// What the system gives when it converts to 1 or 4 bits: its fixed palettes, nearest colour.
const std::vector<uint32_t> &SystemPalette(int Bits) {
  static const std::vector<uint32_t> Mono{0x000000, 0xFFFFFF};
  static const std::vector<uint32_t> Vga{0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                         0x008080, 0x808080, 0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00,
                                         0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  return Bits == 1 ? Mono : Vga;
}

unsigned NearestIndex(const std::vector<uint32_t> &Palette, uint32_t C) {
  unsigned Best = 0;
  uint32_t BestD = UINT32_MAX;
  for (size_t I = 0; I < Palette.size() && BestD; ++I) {
    uint32_t D = SquaredDistance(C, Palette[I]);
    if (D < BestD) {
      BestD = D;
      Best = unsigned(I);
    }
  }
  return Best;
}

// A bitmap already at 8 bits or fewer keeps its colours: its palette is what it holds.
bool ExactPalette(const TTrueColorRows &T, size_t Max, std::vector<uint32_t> &Palette) {
  Palette.clear();
  uint32_t Last = 0xFFFFFFFF;
  for (uint32_t P : T.Pixels) {
    uint32_t C = P & 0xFFFFFF;
    if (C == Last) continue;
    Last = C;
    if (std::find(Palette.begin(), Palette.end(), C) == Palette.end()) {
      if (Palette.size() == Max) return false;
      Palette.push_back(C);
    }
  }
  return true;
}

std::vector<uint8_t> PaletteFile(const TTrueColorRows &T, int Bits,
                                 const std::vector<uint32_t> &Palette) {
  std::vector<uint8_t> Idx(size_t(T.Width) * size_t(T.Height));
  std::vector<uint32_t> P = Palette;
  for (int Y = 0; Y < T.Height; ++Y)
    for (int X = 0; X < T.Width; ++X) {
      uint32_t C = T.At(X, T.Height - 1 - Y) & 0xFFFFFF;
      auto It = std::find(P.begin(), P.end(), C);
      Idx[size_t(Y) * size_t(T.Width) + size_t(X)] =
          uint8_t(It != P.end() ? unsigned(It - P.begin()) : NearestIndex(P, C));
    }
  return WriteBitmapFile(T.Width, T.Height, Bits, Idx.data(), P);
}

} // namespace

const TLevelTables &LevelTables() {
  static const TLevelTables T{NearestLevel(Levels4, 4), NearestLevel(Levels6, 6),
                              NearestLevel(Levels7, 7), NearestLevel(Levels8, 8)};
  return T;
}

int PixelFormatToColors(TPixelFormat PixelFormat) {
  switch (PixelFormat) {
  case pf1bit: return 2;
  case pf4bit: return 16;
  case pf8bit: return 256;
  default: return 0;
  }
}

TPixelFormat GetBitmapPixelFormat(const TBitmap &Bitmap) { return Bitmap.PixelFormat(); }

void InvalidBitmap() { throw EInvalidGraphic(SInvalidBitmap); }

THistogramStats HistogramReduce(const TTrueColorRows &Src, int Colors, TIndexedRows &Out) {
  constexpr int HashSize = 5191, MaxEntries = 2049;
  constexpr uint16_t EmptySlot = 0xFFFF;
  struct TEntry {
    uint8_t R, G, B;
    uint8_t Index;
    uint32_t Count;
  };
  THistogramStats S;
  std::vector<uint16_t> Hash(HashSize);
  std::vector<TEntry> Entries;
  Entries.reserve(MaxEntries);
  auto Find = [&](unsigned R, unsigned G, unsigned B, bool Add) -> int {
    int H = int(((R + G) * (G + B) * (B + R)) % HashSize);
    for (;;) {
      uint16_t E = Hash[size_t(H)];
      if (E == EmptySlot) {
        if (!Add || int(Entries.size()) == MaxEntries) return -1;
        Hash[size_t(H)] = uint16_t(Entries.size());
        Entries.push_back({uint8_t(R), uint8_t(G), uint8_t(B), 0, 0});
        return int(Entries.size() - 1);
      }
      const TEntry &T = Entries[E];
      if (T.R == R && T.G == G && T.B == B) return E;
      if (++H == HashSize) H = 0;
    }
  };
  for (;;) {
    ++S.Passes;
    std::fill(Hash.begin(), Hash.end(), EmptySlot);
    Entries.clear();
    bool Full = false;
    for (uint32_t P : Src.Pixels) {
      int E = Find(R8(P) & S.RedMask, G8(P) & S.GreenMask, B8(P) & S.BlueMask, true);
      if (E < 0) {
        Full = true;
        break;
      }
      ++Entries[size_t(E)].Count;
    }
    if (!Full) break;
    // Coarsen one channel by a bit and count again: blue, red, green in turn.
    if (S.RedMask < S.GreenMask) S.GreenMask = uint8_t(S.GreenMask << 1);
    else if (S.RedMask <= S.BlueMask) S.BlueMask = uint8_t(S.BlueMask << 1);
    else S.RedMask = uint8_t(S.RedMask << 1);
  }
  S.Entries = int(Entries.size());

  Out.Width = Src.Width;
  Out.Height = Src.Height;
  Out.ColorsUsed = 0;
  Out.Palette.fill(0x808080);
  const int Chosen = std::min<int>(Colors, int(Entries.size()));
  std::vector<bool> Picked(Entries.size(), false);
  for (int I = 0; I < Chosen; ++I) {
    size_t Best = 0;
    uint32_t BestCount = 0;
    bool Any = false;
    for (size_t K = 0; K < Entries.size(); ++K)
      if (!Picked[K] && (!Any || Entries[K].Count > BestCount)) {
        Best = K;
        BestCount = Entries[K].Count;
        Any = true;
      }
    Picked[Best] = true;
    Entries[Best].Index = uint8_t(I);
    Out.Palette[size_t(I)] =
        (uint32_t(Entries[Best].R) << 16) | (uint32_t(Entries[Best].G) << 8) | Entries[Best].B;
  }
  for (size_t K = 0; K < Entries.size(); ++K) {
    if (Picked[K]) continue;
    uint32_t C = (uint32_t(Entries[K].R) << 16) | (uint32_t(Entries[K].G) << 8) | Entries[K].B;
    uint32_t Bound = 0x30000;
    for (int I = 0; I < Chosen; ++I) {
      uint32_t D = SquaredDistance(C, Out.Palette[size_t(I)]);
      if (D < Bound) {
        Bound = D;
        Entries[K].Index = uint8_t(I);
      }
    }
  }
  Out.Indices.resize(Src.Pixels.size());
  for (size_t I = 0; I < Src.Pixels.size(); ++I) {
    uint32_t P = Src.Pixels[I];
    int E = Find(R8(P) & S.RedMask, G8(P) & S.GreenMask, B8(P) & S.BlueMask, false);
    Out.Indices[I] = E >= 0 ? Entries[size_t(E)].Index : 0;
  }
  return S;
}

namespace {

// Quicksort on the middle element with insertion sort below 8 cells. Cells of equal value
// end where the partitioning leaves them, which decides how a box cut among them splits,
// so the order of the classic sort is kept rather than a stable one.
template <class TKey>
void MedianCutSort(std::vector<int> &L, const TKey &Key) {
  struct TRange {
    int Lo, Hi;
  };
  std::vector<TRange> Pending{{0, int(L.size()) - 1}};
  while (!Pending.empty()) {
    const TRange R = Pending.back();
    Pending.pop_back();
    if (R.Hi - R.Lo + 1 < 8) {
      for (int I = R.Lo + 1; I <= R.Hi; ++I) {
        const int V = L[size_t(I)];
        int J = I - 1;
        for (; J >= R.Lo && Key(L[size_t(J)]) > Key(V); --J) L[size_t(J + 1)] = L[size_t(J)];
        L[size_t(J + 1)] = V;
      }
      continue;
    }
    const auto Pivot = Key(L[size_t((R.Lo + R.Hi) / 2)]);
    int I = R.Lo, J = R.Hi;
    do {
      while (Key(L[size_t(I)]) < Pivot) ++I;
      while (Key(L[size_t(J)]) > Pivot) --J;
      if (I <= J) std::swap(L[size_t(I++)], L[size_t(J--)]);
    } while (I <= J);
    // The two parts are disjoint, so the order they are sorted in changes nothing.
    if (R.Lo < J) Pending.push_back({R.Lo, J});
    if (I < R.Hi) Pending.push_back({I, R.Hi});
  }
}

} // namespace

void MedianCutQuantize(const TTrueColorRows &Src, int Colors, TIndexedRows &Out) {
  constexpr int Cells = 4096;
  struct TCell {
    uint8_t C[3];
    uint32_t Count = 0;
    int Next = -1;
  };
  struct TBox {
    int Low[3] = {0, 0, 0}, Size[3] = {255, 255, 255};
    int CellCount = 0;
    uint64_t Total = 0;
    int First = -1;
  };
  std::vector<TCell> Cell(Cells);
  std::vector<uint16_t> CellOf(Src.Pixels.size());
  for (int I = 0; I < Cells; ++I) {
    Cell[size_t(I)].C[0] = uint8_t(I >> 8);
    Cell[size_t(I)].C[1] = uint8_t((I >> 4) & 15);
    Cell[size_t(I)].C[2] = uint8_t(I & 15);
  }
  for (size_t I = 0; I < Src.Pixels.size(); ++I) {
    uint32_t P = Src.Pixels[I];
    int C = int((R8(P) >> 4) * 256 + (G8(P) >> 4) * 16 + (B8(P) >> 4));
    CellOf[I] = uint16_t(C);
    ++Cell[size_t(C)].Count;
  }
  Colors = std::clamp(Colors, 1, 256);
  std::vector<TBox> Boxes(1);
  Boxes[0].Total = Src.Pixels.size();
  for (int I = Cells - 1; I >= 0; --I)
    if (Cell[size_t(I)].Count) {
      Cell[size_t(I)].Next = Boxes[0].First;
      Boxes[0].First = I;
      ++Boxes[0].CellCount;
    }
  std::vector<int> List;
  while (int(Boxes.size()) < Colors) {
    int BoxI = -1, Channel = 0, Largest = -1;
    for (size_t B = 0; B < Boxes.size(); ++B) {
      if (Boxes[B].CellCount < 2) continue;
      for (int Ch = 0; Ch < 3; ++Ch)
        if (Boxes[B].Size[Ch] > Largest) {
          Largest = Boxes[B].Size[Ch];
          BoxI = int(B);
          Channel = Ch;
        }
    }
    if (BoxI < 0) break;
    TBox &Box = Boxes[size_t(BoxI)];
    List.clear();
    for (int C = Box.First; C >= 0; C = Cell[size_t(C)].Next) List.push_back(C);
    MedianCutSort(List, [&](int C) { return Cell[size_t(C)].C[Channel]; });
    // Cut where half the pixels are passed, keeping a cell on each side.
    uint64_t Sum = 0;
    size_t Cut = 1;
    for (size_t K = 0; K + 1 < List.size(); ++K) {
      Sum += Cell[size_t(List[K])].Count;
      Cut = K + 1;
      if (Sum * 2 >= Box.Total) break;
    }
    TBox NewBox = Box;
    Box.First = List[0];
    Box.CellCount = int(Cut);
    Box.Total = 0;
    for (size_t K = 0; K < Cut; ++K) {
      Cell[size_t(List[K])].Next = K + 1 < Cut ? List[K + 1] : -1;
      Box.Total += Cell[size_t(List[K])].Count;
    }
    NewBox.First = List[Cut];
    NewBox.CellCount = int(List.size() - Cut);
    NewBox.Total = 0;
    for (size_t K = Cut; K < List.size(); ++K) {
      Cell[size_t(List[K])].Next = K + 1 < List.size() ? List[K + 1] : -1;
      NewBox.Total += Cell[size_t(List[K])].Count;
    }
    const int Split = Cell[size_t(List[Cut])].C[Channel] * 16;
    const int High = Box.Low[Channel] + Box.Size[Channel];
    Box.Size[Channel] = std::max(0, Split - 1 - Box.Low[Channel]);
    NewBox.Low[Channel] = Split;
    NewBox.Size[Channel] = std::max(0, High - Split);
    Boxes.push_back(NewBox);
  }
  Out.Width = Src.Width;
  Out.Height = Src.Height;
  Out.ColorsUsed = 0;
  Out.Palette.fill(0);
  std::vector<uint8_t> BoxOfCell(Cells, 0);
  for (size_t B = 0; B < Boxes.size(); ++B) {
    uint32_t Sum[3] = {0, 0, 0};
    for (int C = Boxes[B].First; C >= 0; C = Cell[size_t(C)].Next) {
      for (int Ch = 0; Ch < 3; ++Ch) Sum[Ch] += Cell[size_t(C)].C[Ch];
      BoxOfCell[size_t(C)] = uint8_t(B);
    }
    uint32_t V[3];
    const uint32_t N = uint32_t(std::max(1, Boxes[B].CellCount));
    for (int Ch = 0; Ch < 3; ++Ch) V[Ch] = ((Sum[Ch] << 4) | 15) / N;
    if (V[0] <= 16 && V[1] <= 16 && V[2] <= 16) V[0] = V[1] = V[2] = 0;
    Out.Palette[B] = (std::min<uint32_t>(V[0], 255) << 16) | (std::min<uint32_t>(V[1], 255) << 8) |
                     std::min<uint32_t>(V[2], 255);
  }
  Out.Indices.resize(Src.Pixels.size());
  for (size_t I = 0; I < Src.Pixels.size(); ++I) Out.Indices[I] = BoxOfCell[CellOf[I]];
}

void ReduceTo784(const TTrueColorRows &Src, TIndexedRows &Out) {
  const TLevelTables &L = LevelTables();
  Out.Width = Src.Width;
  Out.Height = Src.Height;
  Out.ColorsUsed = 224;
  Out.Palette.fill(0x808080);
  for (int R = 0; R < 7; ++R)
    for (int G = 0; G < 8; ++G)
      for (int B = 0; B < 4; ++B)
        Out.Palette[size_t(R * 32 + G * 4 + B)] =
            (uint32_t(Levels7[R]) << 16) | (uint32_t(Levels8[G]) << 8) | Levels4[B];
  Out.Indices.resize(Src.Pixels.size());
  for (size_t I = 0; I < Src.Pixels.size(); ++I) {
    uint32_t P = Src.Pixels[I];
    Out.Indices[I] = uint8_t(L.T7[R8(P)] * 32 + L.T8[G8(P)] * 4 + L.T4[B8(P)]);
  }
}

void ReduceTo666(const TTrueColorRows &Src, TIndexedRows &Out) {
  const TLevelTables &L = LevelTables();
  Out.Width = Src.Width;
  Out.Height = Src.Height;
  Out.ColorsUsed = 216;
  Out.Palette.fill(0x808080);
  for (int R = 0; R < 6; ++R)
    for (int G = 0; G < 6; ++G)
      for (int B = 0; B < 6; ++B)
        Out.Palette[size_t(R * 36 + G * 6 + B)] =
            (uint32_t(Levels6[R]) << 16) | (uint32_t(Levels6[G]) << 8) | Levels6[B];
  Out.Indices.resize(Src.Pixels.size());
  for (size_t I = 0; I < Src.Pixels.size(); ++I) {
    uint32_t P = Src.Pixels[I];
    Out.Indices[I] = uint8_t(L.T6[R8(P)] * 36 + L.T6[G8(P)] * 6 + L.T6[B8(P)]);
  }
}

void MakeTripelPalette(TIndexedRows &Out) {
  for (uint32_t I = 0; I < 64; ++I) {
    Out.Palette[I] = (4 * I) << 16;
    Out.Palette[I + 64] = (4 * I) << 8;
    Out.Palette[I + 128] = 4 * I;
    Out.Palette[I + 192] = 0;
  }
  Out.ColorsUsed = 0;
}

void ConvertTripel(const TTrueColorRows &Src, TIndexedRows &Out) {
  Out.Width = Src.Width;
  Out.Height = Src.Height;
  MakeTripelPalette(Out);
  Out.Indices.resize(Src.Pixels.size());
  for (int Y = 0; Y < Src.Height; ++Y)
    for (int X = 0; X < Src.Width; ++X) {
      uint32_t P = Src.At(X, Y);
      int K = (X + Y) % 3;
      Out.Indices[size_t(Y) * size_t(Src.Width) + size_t(X)] =
          uint8_t(K == 0   ? R8(P) >> 2
                  : K == 1 ? (G8(P) >> 2) + 64
                           : (B8(P) >> 2) + 128);
    }
}

void ReduceToGray(const TTrueColorRows &Src, TIndexedRows &Out) {
  Out.Width = Src.Width;
  Out.Height = Src.Height;
  Out.ColorsUsed = 0;
  for (uint32_t I = 0; I < 256; ++I) Out.Palette[I] = I * 0x010101;
  Out.Indices.resize(Src.Pixels.size());
  for (size_t I = 0; I < Src.Pixels.size(); ++I) {
    uint32_t P = Src.Pixels[I];
    Out.Indices[I] = uint8_t((77 * R8(P) + 150 * G8(P) + 29 * B8(P)) >> 8);
  }
}

std::unique_ptr<TMemoryStream> BitmapToMemoryStream(const TBitmap &Bitmap, TPixelFormat PixelFormat,
                                                    uint8_t Method) {
  if (Bitmap.Empty()) InvalidBitmap();
  const int Bits = StoredPixelBits(PixelFormat);
  if (!Bits) {
    NotImplemented();
    return nullptr;
  }
  const TTrueColorRows T = TrueColorCopy(Bitmap);
  auto S = std::make_unique<TMemoryStream>();
  std::vector<uint32_t> Palette;
  if (Bits == 24) {
    S->Bytes = TrueColorFile(T);
  } else if (Bitmap.PixelFormat() == PixelFormat && Method != mmGrayScale &&
             ExactPalette(T, size_t(1) << Bits, Palette)) {
    S->Bytes = PaletteFile(T, Bits, Palette);
  } else if (Bits < 8) {
    S->Bytes = PaletteFile(T, Bits, SystemPalette(Bits));
  } else {
    TIndexedRows R;
    switch (Method) {
    case mmMedianCut: MedianCutQuantize(T, 256, R); break;
    case mmUniform784: ReduceTo784(T, R); break;
    case mmUniform666: ReduceTo666(T, R); break;
    case mmTripel: ConvertTripel(T, R); break;
    case mmGrayScale: ReduceToGray(T, R); break;
    default: HistogramReduce(T, PixelFormatToColors(PixelFormat), R); break;
    }
    S->Bytes = IndexedToFile(R);
  }
  S->SetPosition(0);
  return S;
}

std::unique_ptr<TMemoryStream> SetBitmapPixelFormat(const TBitmap &Bitmap, int Colors) {
  TPixelFormat F = Colors <= 2 ? pf1bit : Colors <= 16 ? pf4bit : Colors <= 256 ? pf8bit : pf24bit;
  return BitmapToMemoryStream(Bitmap, F, DefaultMappingMethod);
}

std::vector<uint8_t> WriteBitmapFile(int Width, int Height, int Bits, const uint8_t *Indices,
                                     const std::vector<uint32_t> &Palette, int ColorsUsed) {
  const int Entries = ColorsUsed ? ColorsUsed : 1 << Bits;
  std::vector<uint8_t> O = DibHeaders(Width, Height, Bits, Entries, ColorsUsed);
  PutPalette(O, Palette.data(), Palette.size(), size_t(Entries));
  const size_t Stride = size_t(WidthBytes(int64_t(Width) * Bits));
  std::vector<uint8_t> Row(Stride);
  for (int Y = Height - 1; Y >= 0; --Y) {
    std::fill(Row.begin(), Row.end(), 0);
    const uint8_t *In = Indices + size_t(Y) * size_t(Width);
    for (int X = 0; X < Width; ++X) {
      unsigned V = In[X];
      if (Bits == 8) Row[size_t(X)] = uint8_t(V);
      else if (Bits == 4) Row[size_t(X >> 1)] |= uint8_t((V & 15) << (X & 1 ? 0 : 4));
      else Row[size_t(X >> 3)] |= uint8_t((V & 1) << (7 - (X & 7)));
    }
    O.insert(O.end(), Row.begin(), Row.end());
  }
  return O;
}

unsigned TDibImage::Index(int X, int Y) const {
  const uint8_t *Row = Rows.data() + Stride * (Height - 1 - Y);
  switch (Bits) {
  case 8: return Row[X];
  case 4: return (Row[X >> 1] >> (X & 1 ? 0 : 4)) & 15;
  case 1: return (Row[X >> 3] >> (7 - (X & 7))) & 1;
  default: return 0;
  }
}

uint32_t TDibImage::Color(int X, int Y) const {
  if (Bits == 24) {
    const uint8_t *P = Rows.data() + Stride * (Height - 1 - Y) + 3 * X;
    return (uint32_t(P[2]) << 16) | (uint32_t(P[1]) << 8) | P[0];
  }
  unsigned I = Index(X, Y);
  return I < Palette.size() ? Palette[I] : 0;
}

TBitmap TDibImage::ToBitmap() const {
  TBitmap B(Width, Height);
  for (int Y = 0; Y < Height; ++Y) {
    uint32_t *Out = B.ScanLine(Y);
    for (int X = 0; X < Width; ++X) Out[X] = 0xFF000000u | Color(X, Y);
  }
  B.SetPixelFormat(Bits == 1 ? pf1bit : Bits == 4 ? pf4bit : Bits == 8 ? pf8bit : pf24bit);
  return B;
}

TDibImage ReadBitmapFile(std::span<const uint8_t> Data) {
  TByteReader R(Data);
  if (R.U8() != 'B' || R.U8() != 'M') InvalidBitmap();
  R.Skip(8);
  const uint32_t OffBits = R.U32LE();
  const TBitmapInfoFields Info = ReadBitmapInfoFields(R);
  const uint32_t HeaderSize = Info.HeaderSize;
  const int32_t W = Info.Width, H = Info.Height;
  const int Bits = Info.Bits;
  if (R.Truncated() || HeaderSize < 40 || Info.Compression != 0) InvalidBitmap();
  if (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 24) InvalidBitmap();
  if (H < 0 || !ImageSizeAllowed(W, H)) InvalidBitmap();
  TDibImage D;
  D.Width = W;
  D.Height = H;
  D.Bits = Bits;
  if (Bits <= 8) {
    // The colours-used field, when set, gives the table's size.
    const size_t Count = Info.TableColors();
    if (14 + int64_t(HeaderSize) + int64_t(Count) * 4 > int64_t(Data.size())) InvalidBitmap();
    R.Seek(14 + HeaderSize);
    for (size_t I = 0; I < Count; ++I) {
      uint8_t B = R.U8(), G = R.U8(), Rd = R.U8();
      R.U8();
      D.Palette.push_back((uint32_t(Rd) << 16) | (uint32_t(G) << 8) | B);
    }
  }
  D.Stride = WidthBytes(int64_t(W) * Bits);
  const int64_t Image = D.Stride * H;
  if (int64_t(OffBits) + Image > int64_t(Data.size())) InvalidBitmap();
  D.Rows.assign(Data.begin() + OffBits, Data.begin() + std::ptrdiff_t(OffBits + Image));
  return D;
}

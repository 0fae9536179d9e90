#include "platform/gif_decoder.h"

#include <algorithm>
#include <cstring>

#include "platform/image_raw.h"

namespace {

// Skips data sub-blocks up to and including the zero-length terminator. False when the
// data ends first (the reader is then at the end).
bool SkipSubBlocks(TByteReader &R) {
  for (;;) {
    if (R.AtEnd()) return false;
    uint8_t N = R.U8();
    if (N == 0) return true;
    if (N > R.Remaining()) { R.Skip(N); return false; }
    R.Skip(N);
  }
}

void ReadColorTable(TByteReader &R, int Bits, TGifColorTable &Table) {
  Table.fill(0);
  R.Read(Table.data(), size_t(3) << Bits);
}

} // namespace

bool ParseGifContainer(std::span<const uint8_t> Data, TGifContainer &Gif, int MaxFrames) {
  Gif = TGifContainer();
  TByteReader R(Data);
  uint8_t Sig[6] = {};
  if (!R.Read(Sig, 6) || std::memcmp(Sig, "GIF", 3) != 0) return false;
  Gif.Gif89 = Sig[3] == '8' && Sig[4] == '9';
  Gif.ScreenWidth = R.U16LE();
  Gif.ScreenHeight = R.U16LE();
  Gif.Packed = R.U8();
  Gif.BackgroundIndex = R.U8();
  Gif.Aspect = R.U8();
  if (R.Truncated()) return false;
  if (Gif.Packed & 0x80) {
    Gif.HasGlobalTable = true;
    Gif.GlobalColorBits = (Gif.Packed & 7) + 1;
    ReadColorTable(R, Gif.GlobalColorBits, Gif.GlobalTable);
    if (R.Truncated()) { Gif.Truncated = true; return true; }
  }

  // What the extensions before the next image descriptor said.
  TGifFrameInfo Pending;
  while (!R.AtEnd()) {
    uint8_t Introducer = R.U8();
    if (Introducer == 0x3B) { Gif.SawTrailer = true; break; }
    if (Introducer == 0x2C) {
      if (int(Gif.Frames.size()) >= MaxFrames) { Gif.StoppedEarly = true; break; }
      TGifFrameInfo F = Pending;
      F.Left = R.U16LE();
      F.Top = R.U16LE();
      F.Width = R.U16LE();
      F.Height = R.U16LE();
      uint8_t P = R.U8();
      if (R.Truncated()) { Gif.Truncated = true; break; }
      F.Interlaced = (P & 0x40) != 0;
      if (P & 0x80) {
        F.HasColorTable = true;
        F.LocalColorBits = (P & 7) + 1;
        ReadColorTable(R, F.LocalColorBits, F.ColorTable);
        if (R.Truncated()) { Gif.Truncated = true; break; }
      }
      F.DataOffset = R.Pos();
      R.U8(); // minimum code size
      bool Whole = !R.Truncated() && SkipSubBlocks(R);
      F.DataEnd = R.Pos();
      Gif.Frames.push_back(std::move(F));
      Pending = TGifFrameInfo();
      if (!Whole) { Gif.Truncated = true; break; }
      continue;
    }
    if (Introducer != 0x21) { Gif.StoppedEarly = true; break; }
    uint8_t Label = R.U8();
    if (R.Truncated()) { Gif.Truncated = true; break; }
    bool Whole = true;
    switch (Label) {
    case 0xF9: { // graphic control
      size_t Start = R.Pos();
      uint8_t N = R.U8();
      uint8_t P = R.U8();
      unsigned Delay = R.U16LE();
      uint8_t Index = R.U8();
      if (R.Truncated() || N < 4) { Whole = false; break; }
      Pending.HasGraphicControl = true;
      Pending.Disposal = (P >> 2) & 7;
      Pending.UserInput = (P & 2) != 0;
      Pending.Transparent = (P & 1) != 0;
      Pending.DelayCs = int(Delay);
      Pending.TransparentIndex = Index;
      R.Seek(Start + 1 + N);
      Whole = !R.Truncated() && SkipSubBlocks(R);
      break;
    }
    case 0xFE: { // comment: the text restarts at each comment extension
      Pending.Comment.clear();
      for (;;) {
        if (R.AtEnd()) { Whole = false; break; }
        uint8_t N = R.U8();
        if (N == 0) break;
        char Buf[256];
        bool Ok = R.Read(Buf, N);
        Pending.Comment.append(Buf, Ok ? N : 0);
        if (!Ok) { Whole = false; break; }
      }
      break;
    }
    case 0xFF: { // application
      uint8_t N = R.U8();
      char Id[11] = {};
      size_t Start = R.Pos();
      R.Read(Id, N < 11 ? N : 11);
      R.Seek(Start + N);
      if (R.Truncated()) { Whole = false; break; }
      if (N == 11 && std::memcmp(Id, "NETSCAPE2.0", 11) == 0) {
        size_t At = R.Pos();
        uint8_t Len = R.U8();
        if (Len >= 3) {
          uint8_t Kind = R.U8();
          unsigned Count = R.U16LE();
          if (!R.Truncated() && Kind == 1) Gif.LoopCount = int(Count);
        }
        R.Seek(At);
      }
      Whole = !R.Truncated() && SkipSubBlocks(R);
      break;
    }
    case 0x01: { // plain text: its header block, then sub-blocks
      uint8_t N = R.U8();
      R.Skip(N);
      Whole = !R.Truncated() && SkipSubBlocks(R);
      break;
    }
    default: // an extension of a later kind: its sub-blocks are skipped like the others'
      Whole = SkipSubBlocks(R);
      break;
    }
    if (!Whole) { Gif.Truncated = true; break; }
  }
  return true;
}

int GifInterlacedRow(int N, int Height) {
  // Pass k holds rows Start[k], Start[k] + Step[k], ...
  static const int Start[4] = {0, 4, 2, 1}, Step[4] = {8, 8, 4, 2};
  for (int K = 0; K < 4; ++K) {
    int Count = Height > Start[K] ? (Height - Start[K] + Step[K] - 1) / Step[K] : 0;
    if (N < Count) return Start[K] + N * Step[K];
    N -= Count;
  }
  return -1;
}

namespace {

constexpr int LzwTableSize = 4096;

// Gathers the sub-blocks into one run of bytes; stops at the terminator or the end.
void GatherSubBlocks(TByteReader &R, std::vector<uint8_t> &Out) {
  Out.clear();
  while (!R.AtEnd()) {
    uint8_t N = R.U8();
    if (N == 0) break;
    size_t Take = N < R.Remaining() ? N : R.Remaining();
    const uint8_t *P = R.Bytes().data() + R.Pos();
    Out.insert(Out.end(), P, P + Take);
    R.Skip(Take);
  }
}

// Copies L values from S to D in 16-byte steps, writing up to 15 bytes beyond D + L.
// S + L never lies beyond D (a string is copied from output written before it), so the
// values that matter are read before anything is written over them.
template <class T> inline void CopyRun(T *D, const T *S, int L) {
  constexpr int K = 16 / int(sizeof(T));
  for (int I = 0; I < L; I += K) {
    uint8_t Tmp[16];
    std::memcpy(Tmp, S + I, 16);
    std::memcpy(D + I, Tmp, 16);
  }
}

// Decodes codes into Out (N values in data order). Roots[i] is what root code i stands
// for. Every string of the table was written out once already, so a code is copied from
// where its string first appeared instead of walking its chain of prefixes.
template <class T>
TGifRasterResult DecodeCodes(int MinCodeSize, const std::vector<uint8_t> &Codes, T *Out,
                             int64_t N, const T *Roots, const TGifProgress *Progress) {
  TGifRasterResult Res;
  // Codes are at most 12 bits: a root alphabet of 2^11 still leaves room for the two
  // control codes.
  if (MinCodeSize < 1 || MinCodeSize > 11) return Res;
  constexpr int Slack = 16 / int(sizeof(T));
  uint32_t Pos[LzwTableSize];
  uint16_t Length[LzwTableSize];
  const int Clear = 1 << MinCodeSize, End = Clear + 1;
  int CodeSize = MinCodeSize + 1, Free = Clear + 2, MaxCode = Clear << 1;
  int Old = -1;         // no previous code: right after a clear code or at the start
  int64_t OldPos = 0;   // where the previous code's string was written
  int OldLen = 0;
  uint64_t Bits = 0;
  int BitCount = 0;
  size_t In = 0;
  const size_t InSize = Codes.size();
  const uint8_t *Src = Codes.data();
  int64_t O = 0;
  // Input position at which the share consumed next grows by a percent.
  size_t NextReport = Progress ? 0 : SIZE_MAX;
  int Reported = -1;

  for (;;) {
    if (In >= NextReport) {
      int Percent = InSize ? int(uint64_t(In) * 100 / InSize) : 100;
      if (Percent > Reported) (*Progress)(Reported = Percent);
      NextReport = size_t((uint64_t(Percent + 1) * InSize + 99) / 100);
    }
    if (BitCount < CodeSize) {
      if (In + 8 <= InSize) {
        uint64_t W;
        std::memcpy(&W, Src + In, 8);
        Bits |= W << BitCount;
        In += size_t(63 - BitCount) >> 3;
        BitCount |= 56;
      } else {
        while (BitCount <= 56 && In < InSize) {
          Bits |= uint64_t(Src[In++]) << BitCount;
          BitCount += 8;
        }
        if (BitCount < CodeSize) {
          Res.Status = O >= N ? TGifStatus::Complete : TGifStatus::Truncated;
          Res.Pixels = O;
          return Res;
        }
      }
    }
    const int Code = int(Bits & ((1u << CodeSize) - 1));
    Bits >>= CodeSize;
    BitCount -= CodeSize;

    if (Code == Clear) {
      CodeSize = MinCodeSize + 1;
      Free = Clear + 2;
      MaxCode = Clear << 1;
      Old = -1;
      continue;
    }
    if (Code == End) {
      Res.Status = O >= N ? TGifStatus::Complete : TGifStatus::Truncated;
      Res.Pixels = O;
      return Res;
    }
    int L;
    if (Code < Clear) {
      Out[O] = Roots[Code];
      L = 1;
    } else if (Old < 0) {
      break; // nothing is defined yet beyond the roots
    } else if (Code < Free) {
      L = Length[Code];
      const int64_t Room = N - O;
      if (L + Slack <= Room) CopyRun(Out + O, Out + Pos[Code], L);
      else std::copy(Out + Pos[Code], Out + Pos[Code] + (L < Room ? L : Room), Out + O);
    } else if (Code == Free && Free < LzwTableSize) {
      // The previous string and its own first value.
      L = OldLen + 1;
      const int64_t Room = N - O;
      if (L + Slack <= Room) CopyRun(Out + O, Out + OldPos, OldLen);
      else std::copy(Out + OldPos, Out + OldPos + (OldLen < Room ? OldLen : Room), Out + O);
      if (OldLen < Room) Out[O + OldLen] = Out[OldPos];
    } else {
      break; // a code beyond the table
    }
    if (Old >= 0 && Free < LzwTableSize) {
      // The new entry is the previous string and the first value of this one: together
      // they stand in the output from OldPos on.
      Pos[Free] = uint32_t(OldPos);
      Length[Free] = uint16_t(OldLen + 1);
      ++Free;
    }
    if (Free >= MaxCode && MaxCode < LzwTableSize) {
      MaxCode <<= 1;
      ++CodeSize;
    }
    Old = Code;
    OldPos = O;
    OldLen = L;
    O += L;
    if (O >= N) {
      Res.Status = TGifStatus::Complete;
      Res.Pixels = N;
      return Res;
    }
  }
  Res.Status = TGifStatus::Corrupt;
  Res.Pixels = O;
  return Res;
}

// Puts the rows of an interlaced image, decoded in data order, at their display rows,
// in place: each cycle of the row permutation is followed with one spare row.
template <class T> void DeinterlaceRows(T *Px, int Width, int Height) {
  std::vector<int> To(static_cast<size_t>(Height));
  for (int I = 0; I < Height; ++I) To[size_t(I)] = GifInterlacedRow(I, Height);
  std::vector<uint8_t> Done(static_cast<size_t>(Height), 0);
  const size_t W = static_cast<size_t>(Width);
  std::vector<T> Spare(W), Next(W);
  for (int Start = 0; Start < Height; ++Start) {
    if (Done[size_t(Start)] || To[size_t(Start)] == Start) continue;
    // Carry the row at Start to its place, taking the row found there along.
    std::copy(Px + size_t(Start) * W, Px + size_t(Start + 1) * W, Spare.begin());
    int I = Start;
    do {
      int J = To[size_t(I)];
      std::copy(Px + size_t(J) * W, Px + size_t(J + 1) * W, Next.begin());
      std::copy(Spare.begin(), Spare.end(), Px + size_t(J) * W);
      std::swap(Spare, Next);
      Done[size_t(I)] = 1;
      I = J;
    } while (I != Start);
  }
}

template <class T>
TGifRasterResult DecodeInto(std::span<const uint8_t> Lzw, int Width, int Height, bool Interlaced,
                            T *Px, const T *Map, const TGifProgress *Progress = nullptr) {
  TGifRasterResult Res;
  const int64_t N = int64_t(Width) * Height;
  TByteReader R(Lzw);
  int MinCodeSize = R.U8();
  if (R.Truncated()) {
    std::fill(Px, Px + N, Map[0]);
    Res.Status = TGifStatus::Truncated;
    return Res;
  }
  // Root codes above the 256 colours a table can hold show colour 0.
  T Roots[1 << 11];
  const int RootCount = MinCodeSize >= 1 && MinCodeSize <= 11 ? 1 << MinCodeSize : 0;
  for (int I = 0; I < RootCount; ++I) Roots[I] = I < 256 ? Map[I] : Map[0];
  thread_local std::vector<uint8_t> Codes;
  GatherSubBlocks(R, Codes);
  Res = DecodeCodes(MinCodeSize, Codes, Px, N, Roots, Progress);
  if (Progress) (*Progress)(100);
  // What the data did not reach is colour 0.
  std::fill(Px + std::min<int64_t>(std::max<int64_t>(Res.Pixels, 0), N), Px + N, Map[0]);
  if (Interlaced && Height > 1) DeinterlaceRows(Px, Width, Height);
  return Res;
}

const uint8_t *IdentityMap() {
  static const auto M = [] {
    std::array<uint8_t, 256> A{};
    for (int I = 0; I < 256; ++I) A[size_t(I)] = uint8_t(I);
    return A;
  }();
  return M.data();
}

} // namespace

TGifRasterResult DecodeGifLzw(std::span<const uint8_t> Lzw, int Width, int Height,
                              bool Interlaced, std::vector<uint8_t> &Indices,
                              const TGifProgress &Progress) {
  TGifRasterResult Res;
  Indices.clear();
  if (Width <= 0 || Height <= 0) {
    Res.Status = TGifStatus::Complete;
    return Res;
  }
  if (!ImageSizeAllowed(Width, Height)) return Res;
  Indices.resize(size_t(int64_t(Width) * Height));
  return DecodeInto<uint8_t>(Lzw, Width, Height, Interlaced, Indices.data(), IdentityMap(),
                             Progress ? &Progress : nullptr);
}

TGifRasterResult DecodeGifLzwPixels(std::span<const uint8_t> Lzw, int Width, int Height,
                                    bool Interlaced, const std::array<uint32_t, 256> &Map,
                                    uint32_t *Pixels) {
  TGifRasterResult Res;
  if (Width <= 0 || Height <= 0) {
    Res.Status = TGifStatus::Complete;
    return Res;
  }
  if (!ImageSizeAllowed(Width, Height)) return Res;
  return DecodeInto<uint32_t>(Lzw, Width, Height, Interlaced, Pixels, Map.data());
}

namespace {
std::span<const uint8_t> FrameData(std::span<const uint8_t> Data, const TGifFrameInfo &Frame) {
  size_t From = Frame.DataOffset < Data.size() ? Frame.DataOffset : Data.size();
  size_t To = Frame.DataEnd < Data.size() ? Frame.DataEnd : Data.size();
  if (To < From) To = From;
  return Data.subspan(From, To - From);
}
} // namespace

TGifRasterResult DecodeGifRaster(std::span<const uint8_t> Data, const TGifFrameInfo &Frame,
                                 std::vector<uint8_t> &Indices) {
  return DecodeGifLzw(FrameData(Data, Frame), Frame.Width, Frame.Height, Frame.Interlaced,
                      Indices);
}

TGifRasterResult DecodeGifRasterPixels(std::span<const uint8_t> Data, const TGifFrameInfo &Frame,
                                       const std::array<uint32_t, 256> &Map, uint32_t *Pixels) {
  return DecodeGifLzwPixels(FrameData(Data, Frame), Frame.Width, Frame.Height, Frame.Interlaced,
                            Map, Pixels);
}

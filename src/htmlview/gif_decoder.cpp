#include "htmlview/gif_decoder.h"

#include <cstring>

#include "htmlview/image_raw.h"

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
    default:
      Gif.StoppedEarly = true;
      return true;
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

// Decodes codes into Out (N bytes, in data order).
TGifRasterResult DecodeCodes(int MinCodeSize, const std::vector<uint8_t> &Codes, uint8_t *Out,
                             int64_t N) {
  TGifRasterResult Res;
  if (MinCodeSize < 1 || MinCodeSize > 8) return Res; // larger sizes overrun the tables
  uint16_t Prefix[LzwTableSize];
  uint8_t Suffix[LzwTableSize];
  uint8_t First[LzwTableSize];
  uint16_t Length[LzwTableSize];
  const int Clear = 1 << MinCodeSize, End = Clear + 1;
  for (int I = 0; I < Clear; ++I) {
    Prefix[I] = 0;
    Suffix[I] = First[I] = uint8_t(I);
    Length[I] = 1;
  }
  // The two control codes have no strings; keep their entries harmless.
  for (int I = Clear; I < Clear + 2; ++I) { Prefix[I] = 0; Suffix[I] = First[I] = 0; Length[I] = 1; }

  int CodeSize = MinCodeSize + 1, Free = Clear + 2, MaxCode = Clear << 1;
  int Old = -1;
  uint64_t Bits = 0;
  int BitCount = 0;
  size_t In = 0;
  const size_t InSize = Codes.size();
  const uint8_t *Src = Codes.data();
  int64_t O = 0;
  bool SeenClear = false;

  for (;;) {
    if (BitCount < CodeSize) {
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
    int Code = int(Bits & ((1u << CodeSize) - 1));
    Bits >>= CodeSize;
    BitCount -= CodeSize;

    if (Code == Clear) {
      SeenClear = true;
      CodeSize = MinCodeSize + 1;
      Free = Clear + 2;
      MaxCode = Clear << 1;
      Old = -1;
      continue;
    }
    if (!SeenClear) break; // data must begin with a clear code
    if (Code == End) {
      Res.Status = O >= N ? TGifStatus::Complete : TGifStatus::Truncated;
      Res.Pixels = O;
      return Res;
    }
    int Emit;
    if (Old < 0) {
      if (Code >= Clear) break; // not yet defined right after a clear code
      Emit = Code;
    } else if (Code < Free) {
      if (Free < LzwTableSize) {
        Prefix[Free] = uint16_t(Old);
        Suffix[Free] = First[Code];
        First[Free] = First[Old];
        Length[Free] = uint16_t(Length[Old] + 1);
        ++Free;
      }
      Emit = Code;
    } else if (Code == Free && Free < LzwTableSize) {
      Prefix[Free] = uint16_t(Old);
      Suffix[Free] = First[Old];
      First[Free] = First[Old];
      Length[Free] = uint16_t(Length[Old] + 1);
      Emit = Free++;
    } else {
      break; // a code beyond the table
    }
    if (Free >= MaxCode && MaxCode < LzwTableSize) {
      MaxCode <<= 1;
      ++CodeSize;
    }
    Old = Code;

    // Write the string backwards from its last byte; strings are built from earlier
    // entries only, so the chain always ends at a root code after Length steps.
    int L = Length[Emit];
    if (O + L <= N) {
      uint8_t *P = Out + O + L;
      int C = Emit;
      while (C >= Clear) { *--P = Suffix[C]; C = Prefix[C]; }
      *--P = uint8_t(C);
      O += L;
    } else {
      int C = Emit;
      for (int64_t At = O + L - 1; At >= O; --At) {
        if (At < N) Out[At] = C >= Clear ? Suffix[C] : uint8_t(C);
        if (C >= Clear) C = Prefix[C];
      }
      O = N;
    }
    if (O >= N) {
      Res.Status = TGifStatus::Complete;
      Res.Pixels = O;
      return Res;
    }
  }
  Res.Status = TGifStatus::Corrupt;
  Res.Pixels = O;
  return Res;
}

} // namespace

TGifRasterResult DecodeGifLzw(std::span<const uint8_t> Lzw, int Width, int Height,
                              bool Interlaced, std::vector<uint8_t> &Indices) {
  TGifRasterResult Res;
  Indices.clear();
  if (Width <= 0 || Height <= 0) {
    Res.Status = TGifStatus::Complete;
    return Res;
  }
  if (!ImageSizeAllowed(Width, Height)) return Res;
  const int64_t N = int64_t(Width) * Height;
  Indices.assign(size_t(N), 0);
  TByteReader R(Lzw);
  int MinCodeSize = R.U8();
  if (R.Truncated()) {
    Res.Status = TGifStatus::Truncated;
    return Res;
  }
  std::vector<uint8_t> Codes;
  Codes.reserve(Lzw.size());
  GatherSubBlocks(R, Codes);
  if (!Interlaced) return DecodeCodes(MinCodeSize, Codes, Indices.data(), N);

  std::vector<uint8_t> Linear(size_t(N), 0);
  Res = DecodeCodes(MinCodeSize, Codes, Linear.data(), N);
  // Rows the data reached (a partial last row included) go to their display rows.
  int64_t Rows = (Res.Pixels + Width - 1) / Width;
  for (int64_t I = 0; I < Rows && I < Height; ++I) {
    int Y = GifInterlacedRow(int(I), Height);
    if (Y < 0 || Y >= Height) continue;
    std::memcpy(Indices.data() + size_t(Y) * size_t(Width), Linear.data() + size_t(I) * size_t(Width),
                size_t(Width));
  }
  return Res;
}

TGifRasterResult DecodeGifRaster(std::span<const uint8_t> Data, const TGifFrameInfo &Frame,
                                 std::vector<uint8_t> &Indices) {
  size_t From = Frame.DataOffset < Data.size() ? Frame.DataOffset : Data.size();
  size_t To = Frame.DataEnd < Data.size() ? Frame.DataEnd : Data.size();
  if (To < From) To = From;
  return DecodeGifLzw(Data.subspan(From, To - From), Frame.Width, Frame.Height,
                      Frame.Interlaced, Indices);
}

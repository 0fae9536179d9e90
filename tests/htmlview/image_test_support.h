#pragma once
// Helpers of the picture tests: the test pictures' folder, PPM sources, and a small GIF
// writer whose LZW output uses literal codes only (so that tests can build any layout
// of blocks a hostile or unusual file may have).
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/image_raw.h"

namespace imgtest {

inline std::string ImagePath(const std::string &Name) {
  return std::string(VORNELLE_SOURCE_DIR) + "/tests/htmlview/data/images/" + Name;
}

inline std::vector<uint8_t> ReadAll(const std::string &Path) {
  std::ifstream F(Path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(F), {});
}

// Binary PPM (P6, maxval 255) as written by the test-picture script.
inline TRawImage ReadPpm(const std::string &Path) {
  std::vector<uint8_t> D = ReadAll(Path);
  TRawImage Img;
  size_t P = 0;
  auto Token = [&]() {
    while (P < D.size() && isspace(D[P])) ++P;
    std::string T;
    while (P < D.size() && !isspace(D[P])) T += char(D[P++]);
    return T;
  };
  if (Token() != "P6") return Img;
  int W = std::stoi(Token()), H = std::stoi(Token());
  Token();
  ++P;
  if (!Img.Allocate(W, H) || D.size() < P + size_t(W) * H * 3) return TRawImage();
  for (size_t I = 0; I < size_t(W) * H; ++I)
    Img.Pixels[I] = RgbPixel(D[P + 3 * I], D[P + 3 * I + 1], D[P + 3 * I + 2]);
  return Img;
}

inline int Channel(uint32_t P, int Shift) { return int((P >> Shift) & 0xFF); }
// Largest difference of any channel between two pixels.
inline int PixelDiff(uint32_t A, uint32_t B) {
  int M = 0;
  for (int S : {0, 8, 16}) M = std::max(M, std::abs(Channel(A, S) - Channel(B, S)));
  return M;
}

struct TGifFrameSpec {
  int Left = 0, Top = 0, Width = 1, Height = 1;
  std::vector<uint8_t> Pixels; // indices, Width x Height, display order
  std::vector<uint8_t> LocalTable; // RGB triples (a power of two of them) or empty
  bool Interlaced = false;
  bool Control = true; // write a graphic control extension
  int Disposal = 0, DelayCs = 0, TransparentIndex = -1;
};

class TGifWriter {
public:
  std::vector<uint8_t> Out;
  TGifWriter(int ScreenW, int ScreenH, const std::vector<uint8_t> &GlobalTable, bool Gif89 = true) {
    Put(Gif89 ? "GIF89a" : "GIF87a");
    U16(ScreenW);
    U16(ScreenH);
    int Bits = TableBits(GlobalTable);
    Out.push_back(GlobalTable.empty() ? 0 : uint8_t(0x80 | (Bits - 1)));
    Out.push_back(0);
    Out.push_back(0);
    Table(GlobalTable, Bits);
  }
  void Loop(int Count) {
    Out.insert(Out.end(), {0x21, 0xFF, 11});
    Put("NETSCAPE2.0");
    Out.insert(Out.end(), {3, 1, uint8_t(Count), uint8_t(Count >> 8), 0});
  }
  void Comment(const std::string &Text) {
    Out.insert(Out.end(), {0x21, 0xFE, uint8_t(Text.size())});
    Put(Text);
    Out.push_back(0);
  }
  void Frame(const TGifFrameSpec &F) {
    if (F.Control) {
      uint8_t P = uint8_t((F.Disposal & 7) << 2) | (F.TransparentIndex >= 0 ? 1 : 0);
      Out.insert(Out.end(), {0x21, 0xF9, 4, P, uint8_t(F.DelayCs), uint8_t(F.DelayCs >> 8),
                             uint8_t(F.TransparentIndex < 0 ? 0 : F.TransparentIndex), 0});
    }
    Out.push_back(0x2C);
    U16(F.Left);
    U16(F.Top);
    U16(F.Width);
    U16(F.Height);
    int Bits = TableBits(F.LocalTable);
    Out.push_back(uint8_t((F.LocalTable.empty() ? 0 : 0x80 | (Bits - 1)) | (F.Interlaced ? 0x40 : 0)));
    Table(F.LocalTable, Bits);
    // Data order: interlaced pictures store their passes.
    std::vector<uint8_t> Data;
    if (!F.Interlaced) Data = F.Pixels;
    else {
      static const int Start[4] = {0, 4, 2, 1}, Step[4] = {8, 8, 4, 2};
      for (int K = 0; K < 4; ++K)
        for (int Y = Start[K]; Y < F.Height; Y += Step[K])
          Data.insert(Data.end(), F.Pixels.begin() + Y * F.Width, F.Pixels.begin() + (Y + 1) * F.Width);
    }
    Lzw(Data, 8);
  }
  // LZW with literal codes only: a clear code every 254 literals keeps the code size at 9.
  void Lzw(const std::vector<uint8_t> &Data, int MinCode) {
    Out.push_back(uint8_t(MinCode));
    const int Clear = 1 << MinCode, Size = MinCode + 1;
    std::vector<uint8_t> Bytes;
    uint32_t Acc = 0;
    int N = 0;
    auto Code = [&](int C) {
      Acc |= uint32_t(C) << N;
      N += Size;
      while (N >= 8) { Bytes.push_back(uint8_t(Acc)); Acc >>= 8; N -= 8; }
    };
    Code(Clear);
    int Run = 0;
    for (uint8_t V : Data) {
      if (Run == Clear - 2) { Code(Clear); Run = 0; }
      Code(V);
      ++Run;
    }
    Code(Clear + 1);
    if (N) Bytes.push_back(uint8_t(Acc));
    SubBlocks(Bytes);
  }
  void SubBlocks(const std::vector<uint8_t> &Bytes) {
    for (size_t I = 0; I < Bytes.size(); I += 255) {
      size_t N = std::min<size_t>(255, Bytes.size() - I);
      Out.push_back(uint8_t(N));
      Out.insert(Out.end(), Bytes.begin() + I, Bytes.begin() + I + N);
    }
    Out.push_back(0);
  }
  std::vector<uint8_t> Finish() {
    Out.push_back(0x3B);
    return Out;
  }
  void Put(const std::string &S) { Out.insert(Out.end(), S.begin(), S.end()); }
  void U16(int V) { Out.push_back(uint8_t(V)); Out.push_back(uint8_t(V >> 8)); }

private:
  static int TableBits(const std::vector<uint8_t> &T) {
    int Bits = 1;
    while ((3 << Bits) < int(T.size())) ++Bits;
    return Bits;
  }
  void Table(const std::vector<uint8_t> &T, int Bits) {
    if (T.empty()) return;
    std::vector<uint8_t> Full(size_t(3) << Bits, 0);
    std::copy(T.begin(), T.end(), Full.begin());
    Out.insert(Out.end(), Full.begin(), Full.end());
  }
};

// A frame of one colour index.
inline TGifFrameSpec Solid(int L, int T, int W, int H, uint8_t Index) {
  TGifFrameSpec F;
  F.Left = L; F.Top = T; F.Width = W; F.Height = H;
  F.Pixels.assign(size_t(W) * H, Index);
  return F;
}

// Red, green, blue, white, black, yellow, cyan, magenta.
inline std::vector<uint8_t> Table8() {
  return {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 255, 0, 0, 255, 255, 255, 0, 255};
}

} // namespace imgtest

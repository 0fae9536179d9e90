// BMP loading speed on the path the viewer takes for a picture with a lower-left transparent
// colour: decode, convert, and build the transparency mask. A 769-byte 1-bit file that
// declares 5376 x 2304 pixels (the rest of its rows missing) should cost little more than
// allocating the picture; a 1024 x 768 24-bit file is the everyday case beside it.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "htmlview/image_cache.h"
#include "platform/streams.h"

namespace {

template <class F>
double Millis(F &&Run, int Times) {
  double Best = 1e9;
  for (int I = 0; I < Times; ++I) {
    auto T0 = std::chrono::steady_clock::now();
    Run();
    Best = std::min(
        Best,
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - T0).count());
  }
  return Best;
}

std::vector<uint8_t> Bmp24(int W, int H) {
  const int Stride = (W * 3 + 3) / 4 * 4;
  std::vector<uint8_t> D(54 + size_t(Stride) * H);
  auto Put32 = [&](size_t At, uint32_t V) {
    for (int I = 0; I < 4; ++I) D[At + I] = uint8_t(V >> (8 * I));
  };
  D[0] = 'B';
  D[1] = 'M';
  Put32(2, uint32_t(D.size()));
  Put32(10, 54);
  Put32(14, 40);
  Put32(18, uint32_t(W));
  Put32(22, uint32_t(H));
  D[26] = 1;
  D[28] = 24;
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) {
      uint8_t *P = &D[54 + size_t(Y) * Stride + size_t(X) * 3];
      P[0] = uint8_t(X);
      P[1] = uint8_t(Y);
      P[2] = uint8_t((X + Y) / 4);
    }
  return D;
}

double Load(const std::vector<uint8_t> &Bytes) {
  TMemoryStream S;
  S.Bytes = Bytes;
  return Millis(
      [&] {
        TTransparency T = LLCorner;
        std::unique_ptr<TBitmap> Mask;
        std::unique_ptr<TBitmap> B = LoadImageWithMaskFromStream(&S, T, Mask);
        if (!B || !Mask) std::printf("  (not loaded)\n");
      },
      5);
}

} // namespace

int main() {
  const std::filesystem::path Sparse =
      std::filesystem::path(VORNELLE_SOURCE_DIR) / "fuzz/corpus/bmp/bmp1_huge_sparse.bmp";
  std::ifstream In(Sparse, std::ios::binary);
  const std::vector<uint8_t> SparseBytes((std::istreambuf_iterator<char>(In)),
                                         std::istreambuf_iterator<char>());
  std::printf("BMP with its transparency mask, best of 5:\n");
  std::printf("  1-bit 5376 x 2304 in %zu bytes  %7.1f ms\n", SparseBytes.size(),
              Load(SparseBytes));
  std::printf("  24-bit 1024 x 768                %7.1f ms\n", Load(Bmp24(1024, 768)));
  return 0;
}

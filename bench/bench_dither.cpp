// Colour reduction speed: a 1024 x 768 photo-like picture (smooth gradients with noise,
// tens of thousands of colours) reduced to the shared 8-bit palette with Floyd-Steinberg
// (what palette displays do to every picture), to the web cube, and to its own optimised
// palette (the octree over every pixel, then the diffusion).
#include <chrono>
#include <cstdio>
#include <vector>

#include "htmlview/dither.h"
#include "htmlview/image_cache.h"
#include "platform/image_raw.h"

namespace {

TBitmap Photo(int W, int H) {
  std::vector<uint32_t> Px(size_t(W) * size_t(H));
  uint32_t Seed = 12345;
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) {
      Seed = Seed * 1103515245u + 12345u;
      const int N = int((Seed >> 16) & 15) - 8;
      auto C = [N](int V) { return V + N < 0 ? 0 : V + N > 255 ? 255 : V + N; };
      Px[size_t(Y) * size_t(W) + size_t(X)] =
          RgbPixel(C(X * 255 / W), C(Y * 255 / H), C((X + 2 * Y) * 255 / (W + 2 * H)));
    }
  return TBitmap::FromRgb32(W, H, Px.data());
}

template <class F> double Millis(F &&Run, int Times) {
  double Best = 1e9;
  for (int I = 0; I < Times; ++I) {
    auto T0 = std::chrono::steady_clock::now();
    Run();
    Best = std::min(Best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - T0).count());
  }
  return Best;
}

} // namespace

int main() {
  const TBitmap Pic = Photo(1024, 768);
  SetDisplayColorBits(8);
  double Shared = Millis([&] { (void)ReduceToDisplayPalette(&Pic); }, 5);
  double Web = Millis([&] { (void)ReduceColors(Pic, TColorReduction::Netscape, TDitherMode::FloydSteinberg); }, 5);
  double Octree = Millis([&] { (void)ReduceColors(Pic, TColorReduction::Quantize, TDitherMode::FloydSteinberg); }, 3);
  std::printf("1024 x 768, Floyd-Steinberg, best of runs:\n");
  std::printf("  shared 8-bit palette  %7.1f ms\n", Shared);
  std::printf("  web cube              %7.1f ms\n", Web);
  std::printf("  optimised (octree)    %7.1f ms\n", Octree);
  return 0;
}

// Every seed of the picture fuzz targets, cut at every offset, goes through the same
// drivers: no crash, no hang and (in the sanitizer build) no report.
#include <gtest/gtest.h>

#include <filesystem>

#include "../../fuzz/image_fuzz_drivers.h"
#include "image_test_support.h"

namespace {

// The pixels a BMP declares (0 when it has no readable header).
int64_t BmpPixels(std::span<const uint8_t> Data) {
  TRawImage Img;
  return DecodeBmp(Data, Img) ? int64_t(Img.Width) * Img.Height : 0;
}

// The pixels of a GIF's frames together.
int64_t GifPixels(std::span<const uint8_t> Data) {
  TGifContainer G;
  int64_t N = 0;
  if (ParseGifContainer(Data, G))
    for (const TGifFrameInfo &F : G.Frames) N += int64_t(F.Width) * F.Height;
  return N;
}

void EveryPrefix(const char *Corpus, void (*Driver)(std::span<const uint8_t>),
                 int64_t (*Pixels)(std::span<const uint8_t>) = nullptr, size_t Headers = 64) {
  std::filesystem::path Dir = std::filesystem::path(VORNELLE_SOURCE_DIR) / "fuzz/corpus" / Corpus;
  int Files = 0;
  for (const auto &E : std::filesystem::directory_iterator(Dir)) {
    std::vector<uint8_t> Data = imgtest::ReadAll(E.path().string());
    // A seed that declares a huge picture in a few bytes costs a picture's worth of memory
    // at every cut past its headers: every cut through its first Headers bytes (a BMP's
    // headers and a two-colour table; a GIF's screen, table and first extension), then a
    // few in its data.
    const bool Huge = Pixels && Pixels(Data) > (int64_t(1) << 22);
    for (size_t N = 0; N <= Data.size();
         N += Huge && N >= Headers ? std::max<size_t>(1, Data.size() / 5) : 1) {
      // A copy of exactly N bytes, so that the sanitizers see any read past the end.
      std::vector<uint8_t> Cut(Data.begin(), Data.begin() + ptrdiff_t(N));
      Driver(Cut);
    }
    if (Huge) Driver(Data);
    ++Files;
  }
  EXPECT_GT(Files, 2) << Corpus;
}

} // namespace

TEST(ImageTruncation, BmpSeeds) { EveryPrefix("bmp", imagefuzz::Bmp, BmpPixels); }
TEST(ImageTruncation, GifSeeds) { EveryPrefix("gif", imagefuzz::Gif, GifPixels, 32); }
TEST(ImageTruncation, JpegSeeds) { EveryPrefix("jpeg", imagefuzz::Jpeg); }
TEST(ImageTruncation, PngProbeSeeds) { EveryPrefix("png_probe", imagefuzz::PngProbe); }

TEST(ImageTruncation, TruncatedGifKeepsItsDecodedFrames) {
  // Cut inside the last frame of a three-frame animation: the first frames stay whole.
  std::vector<uint8_t> D = imgtest::ReadAll(imgtest::ImagePath("gif_dispose_None.gif"));
  D.resize(D.size() - 6);
  TGIFImage G;
  ASSERT_TRUE(G.LoadFromStream(D));
  EXPECT_EQ(G.FrameCount, 3);
  G.SetCurrentFrame(2);
  EXPECT_EQ(G.Composite().ScanLine(4)[3] | 0xFF000000u, 0xFF00FF00u);
}

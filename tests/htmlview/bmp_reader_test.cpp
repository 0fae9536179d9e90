// BMP decoding against pictures ImageMagick wrote from known sources, and hostile headers.
#include <gtest/gtest.h>

#include "htmlview/bmp_reader.h"
#include "image_test_support.h"

using namespace imgtest;

namespace {

struct TBmpCase {
  const char *File, *Source;
  int Bits;
  int Tolerance; // 0: exact. The encoder rounds 8-bit channels to 5 or 6 bits its own
                 // way: within one 5-bit step (8 levels) of the source.
};

void ExpectSame(const TRawImage &Got, const TRawImage &Want, int Tolerance, const char *Name) {
  ASSERT_EQ(Got.Width, Want.Width) << Name;
  ASSERT_EQ(Got.Height, Want.Height) << Name;
  int Worst = 0;
  size_t At = 0;
  for (size_t I = 0; I < Want.Pixels.size(); ++I) {
    int D = PixelDiff(Got.Pixels[I], Want.Pixels[I]);
    if (D > Worst) { Worst = D; At = I; }
  }
  EXPECT_LE(Worst, Tolerance) << Name << " at pixel " << At;
}

} // namespace

TEST(BmpEncodedElsewhere, EveryVariantMatchesItsSource) {
  const TBmpCase Cases[] = {
      {"bmp1.bmp", "src2.ppm", 1, 0},
      {"bmp4.bmp", "src16.ppm", 4, 0},
      {"bmp8.bmp", "src256.ppm", 8, 0},
      {"bmp8_core.bmp", "src256.ppm", 8, 0},
      {"bmp8_rle.bmp", "srcrle.ppm", 8, 0},
      {"bmp4_rle.bmp", "rle4_source.ppm", 4, 0},
      {"bmp16_565.bmp", "src565.ppm", 16, 9},
      {"bmp16_565_info.bmp", "src565.ppm", 16, 9},
      {"bmp16_555.bmp", "src555.ppm", 16, 9},
      {"bmp16_plain.bmp", "src555.ppm", 16, 9},
      {"bmp24.bmp", "src24.ppm", 24, 0},
      {"bmp24_core.bmp", "src24.ppm", 24, 0},
      {"bmp24_topdown.bmp", "src24.ppm", 24, 0},
      {"bmp32.bmp", "src24.ppm", 32, 0},
      {"bmp32_fields.bmp", "src24.ppm", 32, 0},
  };
  for (const TBmpCase &C : Cases) {
    TRawImage Want = ReadPpm(ImagePath(C.Source));
    ASSERT_GT(Want.Width, 0) << C.Source;
    std::vector<uint8_t> Data = ReadAll(ImagePath(C.File));
    ASSERT_FALSE(Data.empty()) << C.File;
    TRawImage Got;
    std::string Err;
    ASSERT_TRUE(DecodeBmp(Data, Got, &Err)) << C.File << ": " << Err;
    EXPECT_EQ(Got.SourceBits, C.Bits) << C.File;
    ExpectSame(Got, Want, C.Tolerance, C.File);
  }
}

TEST(BmpReader, TruncatedPixelDataKeepsTheRowsThatArrived) {
  std::vector<uint8_t> Data = ReadAll(ImagePath("bmp24.bmp"));
  TRawImage Want = ReadPpm(ImagePath("src24.ppm"));
  // 23 pixels of 3 bytes, padded to 72 bytes a row; keep five stored (bottom) rows.
  Data.resize(54 + 72 * 5);
  TRawImage Got;
  ASSERT_TRUE(DecodeBmp(Data, Got));
  ASSERT_EQ(Got.Height, 17);
  for (int Y = 12; Y < 17; ++Y)
    for (int X = 0; X < 23; ++X) ASSERT_EQ(Got.Row(Y)[X], Want.Row(Y)[X]) << X << "," << Y;
  EXPECT_EQ(Got.Row(0)[0], 0xFF000000u); // never reached: black
}

namespace {

std::vector<uint8_t> InfoHeader(int32_t W, int32_t H, uint16_t Bits, uint32_t Compression,
                                uint32_t ClrUsed = 0) {
  std::vector<uint8_t> D(54, 0);
  auto Put32 = [&](size_t At, uint32_t V) { for (int I = 0; I < 4; ++I) D[At + I] = uint8_t(V >> (8 * I)); };
  D[0] = 'B'; D[1] = 'M';
  Put32(14, 40);
  Put32(18, uint32_t(W));
  Put32(22, uint32_t(H));
  D[26] = 1;
  D[28] = uint8_t(Bits);
  Put32(30, Compression);
  Put32(46, ClrUsed);
  return D;
}

} // namespace

TEST(BmpReader, HostileHeadersAreRefused) {
  TRawImage Img;
  // Sizes whose product overflows 32 bits, or passes the 16-megapixel cap.
  std::vector<uint8_t> Huge = InfoHeader(65536, 65536, 24, 0);
  Huge.resize(200, 0);
  EXPECT_FALSE(DecodeBmp(Huge, Img));
  std::vector<uint8_t> Big = InfoHeader(5000, 5000, 24, 0);
  Big.resize(200, 0);
  EXPECT_FALSE(DecodeBmp(Big, Img));
  std::vector<uint8_t> Neg = InfoHeader(-5, 5, 24, 0);
  Neg.resize(200, 0);
  EXPECT_FALSE(DecodeBmp(Neg, Img));
  std::vector<uint8_t> Zero = InfoHeader(5, 0, 24, 0);
  Zero.resize(200, 0);
  EXPECT_FALSE(DecodeBmp(Zero, Img));
  std::vector<uint8_t> Depth = InfoHeader(4, 4, 7, 0);
  Depth.resize(200, 0);
  EXPECT_FALSE(DecodeBmp(Depth, Img));
  std::vector<uint8_t> Rle = InfoHeader(4, 4, 24, 1); // RLE8 needs 8 bits
  Rle.resize(200, 0);
  EXPECT_FALSE(DecodeBmp(Rle, Img));
  std::vector<uint8_t> Short{'B', 'M', 0, 0};
  EXPECT_FALSE(DecodeBmp(Short, Img));
}

TEST(BmpReader, PaletteIndexBeyondTheTableIsBlack) {
  // An 8-bit picture listing two colours, whose pixels use index 200.
  std::vector<uint8_t> D = InfoHeader(4, 1, 8, 0, 2);
  D.insert(D.end(), {0, 0, 255, 0, 0, 255, 0, 0}); // red, green
  D[10] = uint8_t(D.size());
  D.insert(D.end(), {0, 1, 200, 255});
  TRawImage Img;
  ASSERT_TRUE(DecodeBmp(D, Img));
  EXPECT_EQ(Img.Row(0)[0], RgbPixel(255, 0, 0));
  EXPECT_EQ(Img.Row(0)[1], RgbPixel(0, 255, 0));
  EXPECT_EQ(Img.Row(0)[2], 0xFF000000u);
  EXPECT_EQ(Img.Row(0)[3], 0xFF000000u);
}

TEST(BmpReader, RleDeltaAndRunsPastTheEdgeStayInside) {
  // RLE8 4 x 2: a run of 9 (clipped to 4), end of line, a delta far outside, end.
  std::vector<uint8_t> D = InfoHeader(4, 2, 8, 1, 2);
  D.insert(D.end(), {0, 0, 255, 0, 255, 0, 0, 0});
  D[10] = uint8_t(D.size());
  D.insert(D.end(), {9, 1, 0, 0, 0, 2, 250, 250, 3, 0, 0, 1});
  TRawImage Img;
  ASSERT_TRUE(DecodeBmp(D, Img));
  for (int X = 0; X < 4; ++X) EXPECT_EQ(Img.Row(1)[X], RgbPixel(0, 0, 255)) << X;
  for (int X = 0; X < 4; ++X) EXPECT_EQ(Img.Row(0)[X], 0xFF000000u) << X;
}

// JPEG through libjpeg: pictures from cjpeg compared with the PPM cjpeg was given, and
// data that must give an error instead of ending the process.
#include <gtest/gtest.h>

#include "htmlview/jpeg_reader.h"
#include "image_test_support.h"
#include "platform/bitmap.h"

using namespace imgtest;

namespace {

// Mean and largest channel error against the source (grey: against its luminance).
void Compare(const TRawImage &Got, const TRawImage &Src, bool Grey, double &Mean, int &Worst) {
  double Sum = 0;
  Worst = 0;
  for (size_t I = 0; I < Src.Pixels.size(); ++I) {
    uint32_t S = Src.Pixels[I];
    if (Grey) {
      int Y = int(0.299 * Channel(S, 16) + 0.587 * Channel(S, 8) + 0.114 * Channel(S, 0) + 0.5);
      S = RgbPixel(Y, Y, Y);
    }
    int D = PixelDiff(Got.Pixels[I], S);
    Sum += D;
    Worst = std::max(Worst, D);
  }
  Mean = Sum / double(Src.Pixels.size());
}

} // namespace

TEST(JpegEncodedElsewhere, BaselineProgressiveAndGreyMatchTheSource) {
  TRawImage Src = ReadPpm(ImagePath("photo.ppm"));
  ASSERT_EQ(Src.Width, 64);
  for (const char *Name : {"jpeg_baseline.jpg", "jpeg_progressive.jpg", "jpeg_grey.jpg"}) {
    bool Grey = std::string(Name) == "jpeg_grey.jpg";
    TRawImage Got;
    std::string Err;
    ASSERT_TRUE(DecodeJpeg(ReadAll(ImagePath(Name)), Got, {}, &Err)) << Name << ": " << Err;
    ASSERT_EQ(Got.Width, 64);
    ASSERT_EQ(Got.Height, 48);
    double Mean;
    int Worst;
    Compare(Got, Src, Grey, Mean, Worst);
    // Quality 95: errors of a few levels on average, a few tens at sharp edges.
    EXPECT_LT(Mean, 3.0) << Name;
    EXPECT_LT(Worst, 48) << Name;
    if (Grey) {
      EXPECT_EQ(Channel(Got.Pixels[100], 0), Channel(Got.Pixels[100], 16));
    }
  }
}

TEST(JpegReader, CmykIsRefused) {
  TRawImage Got;
  std::string Err;
  EXPECT_FALSE(DecodeJpeg(ReadAll(ImagePath("jpeg_cmyk.jpg")), Got, {}, &Err));
  EXPECT_EQ(Err, "CMYK JPEG pictures are not shown");
  EXPECT_TRUE(Got.Pixels.empty());
}

TEST(JpegReader, TruncatedDataEndsAsIfTheImageEnded) {
  std::vector<uint8_t> D = ReadAll(ImagePath("jpeg_baseline.jpg"));
  D.resize(D.size() * 2 / 3);
  TRawImage Got;
  // The fake end-of-image marker lets libjpeg finish with what it had: no exit, no hang.
  EXPECT_TRUE(DecodeJpeg(D, Got));
  EXPECT_EQ(Got.Width, 64);
}

TEST(JpegReader, GarbageAndHugeHeadersGiveErrors) {
  TRawImage Got;
  std::vector<uint8_t> Junk{0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_FALSE(DecodeJpeg(Junk, Got));
  // Baseline header patched to 60000 x 60000: refused before any pixel buffer is made.
  std::vector<uint8_t> D = ReadAll(ImagePath("jpeg_baseline.jpg"));
  for (size_t I = 0; I + 8 < D.size(); ++I)
    if (D[I] == 0xFF && D[I + 1] == 0xC0) {
      D[I + 5] = 0xEA; D[I + 6] = 0x60; D[I + 7] = 0xEA; D[I + 8] = 0x60;
      break;
    }
  std::string Err;
  EXPECT_FALSE(DecodeJpeg(D, Got, {}, &Err));
  EXPECT_EQ(Err, "JPEG size out of range");
}

TEST(JpegReader, PaletteOutputUsesOnlyPaletteColours) {
  std::vector<uint32_t> Pal;
  for (int I = 0; I < 8; ++I) Pal.push_back(((I & 1) ? 0xFFu : 0) | ((I & 2) ? 0xFF00u : 0) | ((I & 4) ? 0xFF0000u : 0));
  TJpegOptions O;
  O.Palette = &Pal;
  TRawImage Got;
  ASSERT_TRUE(DecodeJpeg(ReadAll(ImagePath("jpeg_baseline.jpg")), Got, O));
  for (uint32_t P : Got.Pixels) {
    for (int S : {0, 8, 16}) {
      int C = Channel(P, S);
      ASSERT_TRUE(C == 0 || C == 255) << std::hex << P;
    }
  }
}

TEST(JpegReader, LoadsAFileIntoABitmap) {
  TBitmap B;
  ASSERT_TRUE(LoadJpegFile(ImagePath("jpeg_baseline.jpg"), B));
  EXPECT_EQ(B.Width(), 64);
  EXPECT_EQ(B.Height(), 48);
  TBitmap Untouched(3, 3);
  EXPECT_FALSE(LoadJpegFile(ImagePath("no_such_file.jpg"), Untouched));
  EXPECT_EQ(Untouched.Width(), 3);
}

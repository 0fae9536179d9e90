// Icons in the icon file format, the picture registry and named clipboard formats.
#include <gtest/gtest.h>

#include "platform/clipboard.h"
#include "platform/graphic.h"
#include "platform/icon.h"

namespace {

std::vector<uint32_t> Checker(int W, int H, uint32_t A, uint32_t B) {
  std::vector<uint32_t> P(size_t(W * H));
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) P[size_t(Y * W + X)] = ((X + Y) & 1) ? A : B;
  return P;
}

TIcon RoundTrip(TIcon &I) {
  TMemoryStream S;
  I.SaveToStream(S);
  S.SetPosition(0);
  TIcon Back;
  Back.LoadFromStream(S);
  EXPECT_EQ(S.Position(), S.Size());
  return Back;
}

} // namespace

TEST(Icon, EveryDepthRoundTripsWithItsMask) {
  for (int Bits : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE(Bits);
    // Colours a 16-bit icon keeps exactly: each channel a multiple of 8 plus its top bits.
    std::vector<uint32_t> P = Checker(5, 3, 0xFF0000FFu, 0xFFFFFFFFu);
    std::vector<uint8_t> M(15, 0);
    M[2] = M[14] = 1;
    TIcon I;
    I.SetImage(5, 3, Bits, P, M);
    TIcon B = RoundTrip(I);
    ASSERT_EQ(B.Width(), 5);
    ASSERT_EQ(B.Height(), 3);
    EXPECT_EQ(B.Bits(), Bits);
    for (int Y = 0; Y < 3; ++Y)
      for (int X = 0; X < 5; ++X) {
        EXPECT_EQ(B.MaskBit(X, Y), M[size_t(Y * 5 + X)] != 0);
        if (!B.MaskBit(X, Y)) {
          EXPECT_EQ(B.Pixel(X, Y) & 0xFFFFFF, P[size_t(Y * 5 + X)] & 0xFFFFFF);
        }
      }
  }
}

TEST(Icon, FileLayoutOfA1BitIcon) {
  // 8 x 2 pixels, 1 bit: directory 6 + entry 16, then header 40, 2 palette entries,
  // XOR rows of 4 bytes and AND rows of 4 bytes: 40 + 8 + 8 + 8 = 64 bytes of image.
  TIcon I;
  I.SetImage(8, 2, 1, Checker(8, 2, 0xFF000000u, 0xFFFFFFFFu));
  TMemoryStream S;
  I.SaveToStream(S);
  ASSERT_EQ(S.Size(), 22 + 64);
  EXPECT_EQ(S.Bytes[2], 1); // icon, not cursor
  EXPECT_EQ(S.Bytes[4], 1); // one image
  EXPECT_EQ(S.Bytes[6], 8);
  EXPECT_EQ(S.Bytes[8], 2);      // colour count
  EXPECT_EQ(S.Bytes[22 + 8], 4); // height doubled for the mask
  EXPECT_EQ(I.ColorCount(), 2);
}

TEST(Icon, CursorKeepsItsHotSpot) {
  TIcon I;
  I.SetImage(4, 4, 4, Checker(4, 4, 0xFF00FF00u, 0xFF000000u));
  I.SetCursor(true, {3, 1});
  TIcon B = RoundTrip(I);
  EXPECT_TRUE(B.IsCursor());
  EXPECT_EQ(B.HotSpot().X, 3);
  EXPECT_EQ(B.HotSpot().Y, 1);
}

TEST(Icon, BadDataIsRefused) {
  TIcon I;
  I.SetImage(4, 4, 8, Checker(4, 4, 0xFF102030u, 0xFF000000u));
  TMemoryStream S;
  I.SaveToStream(S);
  auto Refused = [](std::vector<uint8_t> D) {
    TMemoryStream T(std::move(D));
    TIcon X;
    EXPECT_THROW(X.LoadFromStream(T), EInvalidGraphic);
    EXPECT_TRUE(X.Empty());
  };
  std::vector<uint8_t> D = S.Bytes;
  D.resize(D.size() - 1); // one byte short of the stated image
  Refused(D);
  D = S.Bytes;
  D[2] = 3; // neither icon nor cursor
  Refused(D);
  D = S.Bytes;
  D[18] = 0xF0; // image offset far beyond the data
  Refused(D);
  D = S.Bytes;
  D[22 + 4] = 0xFF; // width beyond any icon
  D[22 + 5] = 0xFF;
  Refused(D);
  Refused({});
  TIcon Empty;
  TMemoryStream Out;
  EXPECT_THROW(Empty.SaveToStream(Out), EInvalidGraphic);
  EXPECT_THROW(Empty.SetWidth(3), EInvalidGraphicOperation);
}

TEST(Icon, DrawLeavesMaskedPixels) {
  TIcon I;
  std::vector<uint8_t> M{0, 1, 1, 0};
  I.SetImage(2, 2, 24, {0xFFFF0000u, 0xFF00FF00u, 0xFF00FF00u, 0xFF0000FFu}, M);
  TBitmap B(2, 2);
  B.Fill(0x00FFFF); // yellow as 0x00BBGGRR
  I.Draw(B.Canvas(), TRect{0, 0, 2, 2});
  EXPECT_EQ(B.ScanLine(0)[0] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(B.ScanLine(0)[1] & 0xFFFFFF, 0xFFFF00u);
  EXPECT_EQ(B.ScanLine(1)[1] & 0xFFFFFF, 0x0000FFu);
}

TEST(PictureRegistry, ExtensionPicksTheClassLatestFirst) {
  TPicture::RegisterFileFormat("tst", "First", "TFirst", [] { return std::make_unique<TIcon>(); });
  TPicture::RegisterFileFormat("TST", "Test icons", "TTestIcon",
                               [] { return std::make_unique<TIcon>(); });
  EXPECT_EQ(TPicture::FileFormatDescription(".Tst"), "Test icons");
  TPicture::UnregisterGraphicClass("TTestIcon");
  EXPECT_EQ(TPicture::FileFormatDescription("tst"), "First");
  TPicture::UnregisterGraphicClass("TFirst");
  EXPECT_EQ(TPicture::FileFormatDescription("tst"), "");
  TPicture P;
  try {
    P.LoadFromFile("/tmp/none.tst");
    ADD_FAILURE();
  } catch (const EInvalidGraphic &E) {
    EXPECT_STREQ(E.what(), "Unknown picture file extension (.tst)");
  }
}

TEST(Clipboard, NamedFormatsSitBesideAPicture) {
  unsigned F = RegisterClipboardFormat("Test Data");
  EXPECT_GE(F, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("Test Data"), F);
  EXPECT_NE(RegisterClipboardFormat("Other Data"), F);
  EXPECT_EQ(ClipboardFormatMime(F), "application/x-vornelle-test-data");
  TBitmap B(3, 3);
  Clipboard().Assign(B);
  Clipboard().SetFormatData(F, {1, 2, 3});
  EXPECT_TRUE(Clipboard().HasPicture());
  EXPECT_TRUE(Clipboard().HasFormatNumber(F));
  EXPECT_EQ(Clipboard().FormatData(F), (std::vector<uint8_t>{1, 2, 3}));
  Clipboard().Clear();
}

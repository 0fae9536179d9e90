// Colour reduction and bitmap files of the picture kit.
#include <gtest/gtest.h>

#include "platform/application.h"
#include "widgets/kit_graph.h"

namespace {

TTrueColorRows Rows(int W, int H, const std::function<uint32_t(int, int)> &F) {
  TTrueColorRows T;
  T.Width = W;
  T.Height = H;
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) T.Pixels.push_back(0xFF000000u | F(X, Y));
  return T;
}

TBitmap Bitmap(int W, int H, const std::function<uint32_t(int, int)> &F) {
  TBitmap B(W, H);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) B.ScanLine(Y)[X] = 0xFF000000u | F(X, Y);
  return B;
}

} // namespace

TEST(KitGraph, LevelTablesTieToTheLowerLevel) {
  const TLevelTables &L = LevelTables();
  EXPECT_EQ(L.T6[25], 0); // 25 is nearer 0 than 51
  EXPECT_EQ(L.T6[26], 1);
  EXPECT_EQ(L.T4[42], 0); // 42 and 43 around 42.5, halfway between 0 and 85
  EXPECT_EQ(L.T4[43], 1);
  EXPECT_EQ(L.T8[18], 0); // 18 is as near 0 as 36: the lower index wins
  EXPECT_EQ(L.T8[19], 1);
  EXPECT_EQ(L.T7[255], 6);
  EXPECT_EQ(WidthBytes(1), 4);
  EXPECT_EQ(WidthBytes(33), 8);
  EXPECT_EQ(WidthBytes(int64_t(3) * 32767 * 8), 98304); // 64-bit, no overflow
  EXPECT_EQ(PixelFormatToColors(pf4bit), 16);
  EXPECT_EQ(PixelFormatToColors(pf24bit), 0);
}

TEST(KitGraph, GrayScaleWeights) {
  TIndexedRows Out;
  ReduceToGray(
      Rows(3, 1, [](int X, int) { return X == 0   ? 0xFFFFFFu
                                         : X == 1 ? 0xFF0000u
                                                  : 0x0000FFu; }),
      Out);
  EXPECT_EQ(Out.Indices[0], 255); // (77 + 150 + 29) * 255 shr 8
  EXPECT_EQ(Out.Indices[1], 76);  // 77 * 255 shr 8
  EXPECT_EQ(Out.Indices[2], 28);  // 29 * 255 shr 8
  EXPECT_EQ(Out.Palette[200], 0xC8C8C8u);
}

TEST(KitGraph, UniformPalettes) {
  TIndexedRows Out;
  ReduceTo666(Rows(2, 1, [](int X, int) { return X ? 0x1A1A1Au : 0x191919u; }), Out);
  EXPECT_EQ(Out.Indices[0], 0);          // 25, 25, 25
  EXPECT_EQ(Out.Indices[1], 36 + 6 + 1); // 26, 26, 26
  EXPECT_EQ(Out.Palette[43], 0x333333u);
  EXPECT_EQ(Out.ColorsUsed, 216);
  ReduceTo784(Rows(1, 1, [](int, int) { return 0xFF8040u; }), Out);
  // red 255 -> 6, green 128 -> 4 (of 8 levels, 146 vs 109), blue 64 -> 1 (85).
  EXPECT_EQ(Out.Indices[0], 6 * 32 + 4 * 4 + 1);
  EXPECT_EQ(Out.Palette[6 * 32 + 4 * 4 + 1], 0xFF9255u);
  EXPECT_EQ(Out.Palette[230], 0x808080u);
  EXPECT_EQ(Out.ColorsUsed, 224);
}

TEST(KitGraph, TripelInterleavesChannels) {
  TIndexedRows Out;
  ConvertTripel(Rows(3, 2, [](int, int) { return 0x804020u; }), Out);
  // k = (x + y) mod 3: red shr 2, green shr 2 + 64, blue shr 2 + 128.
  EXPECT_EQ(Out.Indices[0], 0x80 >> 2);
  EXPECT_EQ(Out.Indices[1], (0x40 >> 2) + 64);
  EXPECT_EQ(Out.Indices[2], (0x20 >> 2) + 128);
  EXPECT_EQ(Out.Indices[3], (0x40 >> 2) + 64); // second row starts one step on
  EXPECT_EQ(Out.Palette[64 + 10], 40u << 8);
  EXPECT_EQ(Out.Palette[200], 0u);
}

TEST(KitGraph, HistogramIsExactUpTo256Colours) {
  TTrueColorRows T =
      Rows(16, 32, [](int X, int Y) { return uint32_t((Y / 2) * 16 + X) * 0x010307u; });
  TIndexedRows Out;
  THistogramStats S = HistogramReduce(T, 256, Out);
  EXPECT_EQ(S.Passes, 1);
  EXPECT_EQ(S.Entries, 256);
  for (size_t I = 0; I < T.Pixels.size(); ++I)
    ASSERT_EQ(Out.Palette[Out.Indices[I]], T.Pixels[I] & 0xFFFFFF);
}

TEST(KitGraph, HistogramCoarsensBlueFirstPast2049Colours) {
  auto Distinct = [](int N) {
    return Rows(N, 1, [](int X, int) { return uint32_t(X); }); // blue and green vary
  };
  TIndexedRows Out;
  THistogramStats S = HistogramReduce(Distinct(2049), 256, Out);
  EXPECT_EQ(S.Passes, 1);
  EXPECT_EQ(S.BlueMask, 255);
  S = HistogramReduce(Distinct(2050), 256, Out);
  EXPECT_EQ(S.Passes, 2);
  EXPECT_EQ(S.BlueMask, 254);
  EXPECT_EQ(S.RedMask, 255);
  EXPECT_EQ(S.GreenMask, 255);
  EXPECT_EQ(S.Entries, 1025); // blue's low bit dropped: pairs merge
  // The most frequent colours take the palette; the rest map to the nearest of them.
  TTrueColorRows Few = Rows(10, 1, [](int X, int) {
    return X < 6 ? 0x0000F0u : X < 9 ? 0xF00000u : 0x0000E0u;
  });
  HistogramReduce(Few, 2, Out);
  EXPECT_EQ(Out.Palette[0], 0x0000F0u);
  EXPECT_EQ(Out.Palette[1], 0xF00000u);
  EXPECT_EQ(Out.Palette[2], 0x808080u);
  EXPECT_EQ(Out.Indices[9], 0);
}

TEST(KitGraph, MedianCutSplitsTheWidestChannel) {
  TIndexedRows Out;
  MedianCutQuantize(Rows(4, 1, [](int X, int) { return X < 2 ? 0x000000u : 0xF0F0F0u; }), 256, Out);
  EXPECT_EQ(Out.Indices[0], Out.Indices[1]);
  EXPECT_NE(Out.Indices[1], Out.Indices[2]);
  EXPECT_EQ(Out.Palette[Out.Indices[0]], 0u);        // every channel at most 16: black
  EXPECT_EQ(Out.Palette[Out.Indices[2]], 0xFFFFFFu); // (15 shl 4) or 15
  // Ten cells of red 0 (greens 0..9, a pixel each) tie on red against one red cell of two
  // pixels. The quicksort on the middle cell reverses the tied cells, so the cut at half
  // the pixels puts greens 9..4 in the first box and greens 3..0 with the red.
  TIndexedRows Tie;
  MedianCutQuantize(
      Rows(12, 1, [](int X, int) { return X < 10 ? uint32_t(X * 16) << 8 : 0xF00000u; }), 2, Tie);
  for (int X = 0; X < 12; ++X)
    EXPECT_EQ(Tie.Indices[size_t(X)], X >= 4 && X < 10 ? Tie.Indices[9] : Tie.Indices[10]) << X;
  EXPECT_NE(Tie.Indices[9], Tie.Indices[10]);
  EXPECT_EQ(Tie.Palette[Tie.Indices[9]], 0x026A02u); // green ((39 shl 4) or 15) div 6 = 106
}

TEST(KitGraph, BitmapFilesAtEachDepth) {
  TBitmap B = Bitmap(5, 3, [](int X, int Y) { return uint32_t(X * 40) << 16 | uint32_t(Y * 100); });
  for (TPixelFormat F : {pf1bit, pf4bit, pf8bit, pf24bit}) {
    SCOPED_TRACE(int(F));
    auto S = BitmapToMemoryStream(B, F, mmHistogram);
    EXPECT_EQ(S->Position(), 0);
    TDibImage D = ReadBitmapFile(S->Bytes);
    EXPECT_EQ(D.Bits, F == pf1bit ? 1 : F == pf4bit ? 4 : F == pf8bit ? 8 : 24);
    EXPECT_EQ(D.Width, 5);
    EXPECT_EQ(D.Height, 3);
    if (F == pf8bit || F == pf24bit) { // 15 colours: exact in both
      for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 5; ++X) EXPECT_EQ(D.Color(X, Y), B.ScanLine(Y)[X] & 0xFFFFFF);
    }
  }
  // A request above 256 colours is a 24-bit copy, not grey.
  auto S = SetBitmapPixelFormat(B, 1000);
  EXPECT_EQ(ReadBitmapFile(S->Bytes).Bits, 24);
  EXPECT_EQ(ReadBitmapFile(SetBitmapPixelFormat(B, 16)->Bytes).Bits, 4);
}

TEST(KitGraph, PaletteEntriesColoursUsedAndOffsetAgree) {
  TBitmap B = Bitmap(3, 2, [](int X, int) { return uint32_t(X) * 0x404040u; });
  for (uint8_t M : {mmUniform784, mmUniform666, mmGrayScale}) {
    auto S = BitmapToMemoryStream(B, pf8bit, M);
    const uint8_t *P = S->Bytes.data();
    uint32_t Off = P[10] | P[11] << 8, Used = P[46] | P[47] << 8;
    int Entries = M == mmUniform784 ? 224 : M == mmUniform666 ? 216 : 256;
    EXPECT_EQ(Used, M == mmGrayScale ? 0u : uint32_t(Entries));
    EXPECT_EQ(Off, 54u + 4u * uint32_t(Entries));
    EXPECT_EQ(S->Size(), int64_t(Off) + 4 * 2); // rows of 3 bytes padded to 4
    TDibImage D = ReadBitmapFile(S->Bytes);
    EXPECT_EQ(D.Palette.size(), size_t(Entries));
  }
}

TEST(KitGraph, BadInputGivesItsError) {
  TBitmap Empty;
  try {
    BitmapToMemoryStream(Empty, pf8bit, mmHistogram);
    ADD_FAILURE();
  } catch (const EInvalidGraphic &E) { EXPECT_STREQ(E.what(), "Bitmap image is not valid"); }
  TBitmap B(2, 2);
  // A format without a conversion tells the user and ends quietly.
  std::string Shown;
  SetMessageDlgHook([&](const std::string &Text, TMsgDlgType, TMsgDlgButtons) {
    Shown = Text;
    return mrOk;
  });
  std::unique_ptr<TMemoryStream> None;
  EXPECT_NO_THROW(None = BitmapToMemoryStream(B, pf16bit, mmHistogram));
  SetMessageDlgHook(nullptr);
  EXPECT_EQ(None, nullptr);
  EXPECT_EQ(Shown, "Function not yet implemented");
  std::vector<uint8_t> F = BitmapToMemoryStream(B, pf8bit, mmGrayScale)->Bytes;
  std::vector<uint8_t> Short(F.begin(), F.end() - 1);
  EXPECT_THROW(ReadBitmapFile(Short), EInvalidGraphic);
  F[18] = 0xFF;
  F[19] = 0xFF;
  F[20] = 0xFF; // width 16M: beyond the size cap
  EXPECT_THROW(ReadBitmapFile(F), EInvalidGraphic);
}

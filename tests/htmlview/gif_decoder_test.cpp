// The GIF core: container blocks, LZW decoding with its status, interlaced row order,
// and hostile rasters that must stop cleanly.
#include <gtest/gtest.h>

#include "platform/gif_decoder.h"
#include "image_test_support.h"

using namespace imgtest;

namespace {

// LZW data from codes of a fixed size (tests keep the size where the decoder has it).
std::vector<uint8_t> Codes(int MinCode, const std::vector<std::pair<int, int>> &CodesAndSizes) {
  std::vector<uint8_t> Bytes;
  uint32_t Acc = 0;
  int N = 0;
  for (auto [C, S] : CodesAndSizes) {
    Acc |= uint32_t(C) << N;
    N += S;
    while (N >= 8) { Bytes.push_back(uint8_t(Acc)); Acc >>= 8; N -= 8; }
  }
  if (N) Bytes.push_back(uint8_t(Acc));
  std::vector<uint8_t> Out{uint8_t(MinCode)};
  for (size_t I = 0; I < Bytes.size(); I += 255) {
    size_t K = std::min<size_t>(255, Bytes.size() - I);
    Out.push_back(uint8_t(K));
    Out.insert(Out.end(), Bytes.begin() + I, Bytes.begin() + I + K);
  }
  Out.push_back(0);
  return Out;
}

} // namespace

TEST(GifInterlace, RowOrderOfEightRows) {
  std::vector<int> Rows;
  for (int N = 0; N < 8; ++N) Rows.push_back(GifInterlacedRow(N, 8));
  EXPECT_EQ(Rows, (std::vector<int>{0, 4, 2, 6, 1, 3, 5, 7}));
}

TEST(GifInterlace, ThreeRowsSkipThePassThatStartsBelow) {
  // Pass 2 starts at row 4, beyond a 3-row picture: rows come as 0, 2, 1.
  EXPECT_EQ(GifInterlacedRow(0, 3), 0);
  EXPECT_EQ(GifInterlacedRow(1, 3), 2);
  EXPECT_EQ(GifInterlacedRow(2, 3), 1);
  EXPECT_EQ(GifInterlacedRow(3, 3), -1);
}

TEST(GifInterlace, DecodedRowsLandInDisplayOrder) {
  TGifFrameSpec F;
  F.Width = 2;
  F.Height = 8;
  F.Interlaced = true;
  for (int Y = 0; Y < 8; ++Y) F.Pixels.insert(F.Pixels.end(), {uint8_t(Y), uint8_t(Y)});
  TGifWriter W(2, 8, Table8());
  W.Frame(F);
  std::vector<uint8_t> Data = W.Finish();
  TGifContainer G;
  ASSERT_TRUE(ParseGifContainer(Data, G));
  ASSERT_EQ(G.Frames.size(), 1u);
  EXPECT_TRUE(G.Frames[0].Interlaced);
  std::vector<uint8_t> Idx;
  TGifRasterResult R = DecodeGifRaster(Data, G.Frames[0], Idx);
  EXPECT_EQ(R.Status, TGifStatus::Complete);
  EXPECT_EQ(Idx, F.Pixels);
}

TEST(GifLzw, RepeatedStringsUseTheKwKwKCase) {
  // Min code 2: clear 4, end 5. "0 0 0 0": codes 0, then 6 (not yet defined: KwKwK),
  // which means "0 0", then 0 again: 4 pixels of index 0 from three codes.
  std::vector<uint8_t> L = Codes(2, {{4, 3}, {0, 3}, {6, 3}, {0, 3}, {5, 3}});
  std::vector<uint8_t> Idx;
  TGifRasterResult R = DecodeGifLzw(L, 4, 1, false, Idx);
  EXPECT_EQ(R.Status, TGifStatus::Complete);
  EXPECT_EQ(Idx, (std::vector<uint8_t>{0, 0, 0, 0}));
}

TEST(GifLzw, CodeSizeGrowsWhenTheTableFills) {
  // Min code 2: after codes 1, 2, 3 the table holds 6 ("1 2") and 7 ("2 3") and the next
  // free entry is 8 = 2^3, so the codes after them are read with 4 bits.
  std::vector<uint8_t> L = Codes(2, {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {1, 4}, {6, 4}, {5, 4}});
  std::vector<uint8_t> Idx;
  TGifRasterResult R = DecodeGifLzw(L, 6, 1, false, Idx);
  EXPECT_EQ(R.Status, TGifStatus::Complete);
  EXPECT_EQ(Idx, (std::vector<uint8_t>{1, 2, 3, 1, 1, 2}));
}

TEST(GifLzw, MinimumCodeSizeOutsideOneToElevenIsCorrupt) {
  for (int M : {0, 12, 255}) {
    std::vector<uint8_t> L = Codes(2, {{4, 3}, {0, 3}, {5, 3}});
    L[0] = uint8_t(M);
    std::vector<uint8_t> Idx;
    EXPECT_EQ(DecodeGifLzw(L, 2, 1, false, Idx).Status, TGifStatus::Corrupt) << M;
  }
}

TEST(GifLzw, MinimumCodeSizesNineToElevenDecode) {
  // Size 11: clear 2048, end 2049, codes of 12 bits from the start, so the table never
  // grows the size. "3 7", then 2050 ("3 7") again, then 300: a root beyond the 256
  // colours of a table, which shows colour 0.
  std::vector<uint8_t> L =
      Codes(11, {{2048, 12}, {3, 12}, {7, 12}, {2050, 12}, {300, 12}, {2049, 12}});
  std::vector<uint8_t> Idx;
  TGifRasterResult R = DecodeGifLzw(L, 5, 1, false, Idx);
  EXPECT_EQ(R.Status, TGifStatus::Complete);
  EXPECT_EQ(Idx, (std::vector<uint8_t>{3, 7, 3, 7, 0}));
  // Size 9: clear 512, codes of 10 bits.
  L = Codes(9, {{512, 10}, {200, 10}, {514, 10}, {513, 10}});
  R = DecodeGifLzw(L, 3, 1, false, Idx);
  EXPECT_EQ(R.Status, TGifStatus::Complete);
  EXPECT_EQ(Idx, (std::vector<uint8_t>{200, 200, 200}));
}

TEST(GifLzw, DataWithoutALeadingClearCodeDecodes) {
  // With an end code.
  std::vector<uint8_t> L = Codes(2, {{1, 3}, {2, 3}, {5, 3}});
  std::vector<uint8_t> Idx;
  TGifRasterResult R = DecodeGifLzw(L, 2, 1, false, Idx);
  EXPECT_EQ(R.Status, TGifStatus::Complete);
  EXPECT_EQ(Idx, (std::vector<uint8_t>{1, 2}));
  // Without one: the table is built from the first code on ("1 2" is 6).
  L = Codes(2, {{1, 3}, {2, 3}, {6, 3}});
  R = DecodeGifLzw(L, 4, 1, false, Idx);
  EXPECT_EQ(R.Status, TGifStatus::Complete);
  EXPECT_EQ(Idx, (std::vector<uint8_t>{1, 2, 1, 2}));
  // Without one and short of pixels (the byte's padding reads as one more code 0): the
  // rest is colour 0.
  R = DecodeGifLzw(L, 7, 1, false, Idx);
  EXPECT_EQ(R.Status, TGifStatus::Truncated);
  EXPECT_EQ(R.Pixels, 5);
  EXPECT_EQ(Idx, (std::vector<uint8_t>{1, 2, 1, 2, 0, 0, 0}));
}

TEST(GifLzw, LongStringsAndTheirCopiesAtTheEndOfThePicture) {
  // A run of one colour builds strings of 1, 2, 3 ... values; each is copied from where it
  // first appeared, and the last is cut at the picture's end.
  std::vector<std::pair<int, int>> C{{4, 3}, {1, 3}};
  int Free = 6, Size = 3;
  for (int K = 0; K < 40; ++K) {
    C.push_back({Free, Size}); // KwKwK each time: the string just being defined
    ++Free;
    if (Free == (1 << Size) && Size < 12) ++Size;
  }
  std::vector<uint8_t> L = Codes(2, C);
  std::vector<uint8_t> Idx;
  const int N = 1 + (2 + 41) * 40 / 2 - 7; // the last string is cut by 7 values
  TGifRasterResult R = DecodeGifLzw(L, N, 1, false, Idx);
  EXPECT_EQ(R.Status, TGifStatus::Complete);
  EXPECT_EQ(Idx, std::vector<uint8_t>(size_t(N), 1));
}

TEST(GifLzw, ProgressRisesFromZeroToAHundred) {
  // 300 bytes of codes: the share consumed is reported in growing steps, 0 first and
  // 100 last, and nothing changes in what is decoded.
  std::vector<std::pair<int, int>> C{{256, 9}};
  for (int K = 0; K < 250; ++K) C.push_back({K & 0x7F, 9});
  C.push_back({256, 9});
  C.push_back({257, 9});
  std::vector<uint8_t> L = Codes(8, C);
  std::vector<int> Seen;
  std::vector<uint8_t> Idx, Plain;
  TGifRasterResult R = DecodeGifLzw(L, 250, 1, false, Idx, [&](int P) { Seen.push_back(P); });
  EXPECT_EQ(R.Status, TGifStatus::Complete);
  DecodeGifLzw(L, 250, 1, false, Plain);
  EXPECT_EQ(Idx, Plain);
  ASSERT_GE(Seen.size(), 10u);
  EXPECT_EQ(Seen.front(), 0);
  EXPECT_EQ(Seen.back(), 100);
  for (size_t I = 1; I + 1 < Seen.size(); ++I) EXPECT_LT(Seen[I - 1], Seen[I]);
}

TEST(GifLzw, UndefinedCodeRightAfterClearIsCorrupt) {
  // Code 6 right after a clear has no string yet.
  std::vector<uint8_t> L = Codes(2, {{4, 3}, {1, 3}, {4, 3}, {6, 3}, {5, 3}});
  std::vector<uint8_t> Idx;
  TGifRasterResult R = DecodeGifLzw(L, 4, 1, false, Idx);
  EXPECT_EQ(R.Status, TGifStatus::Corrupt);
  EXPECT_EQ(R.Pixels, 1); // the pixel before the fault was kept
  EXPECT_EQ(Idx[0], 1);
}

TEST(GifLzw, CodeBeyondTheNextFreeEntryIsCorrupt) {
  // After clear and code 1 the next free entry is 6; code 7 is beyond it.
  std::vector<uint8_t> L = Codes(2, {{4, 3}, {1, 3}, {7, 3}, {5, 3}});
  std::vector<uint8_t> Idx;
  TGifRasterResult R = DecodeGifLzw(L, 4, 1, false, Idx);
  EXPECT_EQ(R.Status, TGifStatus::Corrupt);
  EXPECT_EQ(R.Pixels, 1);
}

TEST(GifLzw, EndOfDataBeforeAllPixelsIsTruncatedAndKeepsThem) {
  // Min code 3: four 4-bit codes fill two bytes exactly, and no end code follows.
  std::vector<uint8_t> L = Codes(3, {{8, 4}, {1, 4}, {2, 4}, {3, 4}});
  std::vector<uint8_t> Idx;
  TGifRasterResult R = DecodeGifLzw(L, 3, 3, false, Idx);
  EXPECT_EQ(R.Status, TGifStatus::Truncated);
  EXPECT_EQ(R.Pixels, 3);
  EXPECT_EQ(Idx, (std::vector<uint8_t>{1, 2, 3, 0, 0, 0, 0, 0, 0}));
}

TEST(GifLzw, PixelsBeyondTheFrameAreDropped) {
  // Nine pixels of data for a 2 x 2 frame: four are kept, the rest never written.
  std::vector<uint8_t> L = Codes(2, {{4, 3}, {1, 3}, {6, 3}, {7, 3}, {5, 4}});
  std::vector<uint8_t> Idx;
  TGifRasterResult R = DecodeGifLzw(L, 2, 2, false, Idx);
  EXPECT_EQ(R.Status, TGifStatus::Complete);
  EXPECT_EQ(Idx.size(), 4u);
  EXPECT_EQ(Idx, (std::vector<uint8_t>{1, 1, 1, 1}));
}

TEST(GifLzw, SizeAboveTheCapIsRefusedBeforeAllocating) {
  std::vector<uint8_t> L = Codes(2, {{4, 3}, {5, 3}});
  std::vector<uint8_t> Idx;
  // 65535 x 65535 would need 4 GB.
  EXPECT_EQ(DecodeGifLzw(L, 65535, 65535, false, Idx).Status, TGifStatus::Corrupt);
  EXPECT_TRUE(Idx.empty());
}

TEST(GifContainer, BlocksExtensionsAndLoopCount) {
  TGifWriter W(10, 6, Table8());
  W.Loop(3);
  W.Comment("hello");
  TGifFrameSpec A = Solid(0, 0, 4, 2, 1);
  A.Disposal = 3;
  A.DelayCs = 25;
  A.TransparentIndex = 2;
  W.Frame(A);
  TGifFrameSpec B = Solid(5, 4, 8, 3, 2); // reaches past the logical screen
  B.LocalTable = {9, 8, 7, 6, 5, 4};
  B.Control = false;
  W.Frame(B);
  std::vector<uint8_t> Data = W.Finish();
  TGifContainer G;
  ASSERT_TRUE(ParseGifContainer(Data, G));
  EXPECT_TRUE(G.Gif89);
  EXPECT_TRUE(G.SawTrailer);
  EXPECT_FALSE(G.Truncated);
  EXPECT_EQ(G.LoopCount, 3);
  EXPECT_EQ(G.ScreenWidth, 10);
  EXPECT_EQ(G.GlobalColorBits, 3);
  ASSERT_EQ(G.Frames.size(), 2u);
  EXPECT_EQ(G.Frames[0].Comment, "hello");
  EXPECT_EQ(G.Frames[0].Disposal, 3);
  EXPECT_EQ(G.Frames[0].DelayCs, 25);
  EXPECT_TRUE(G.Frames[0].Transparent);
  EXPECT_EQ(G.Frames[0].TransparentIndex, 2);
  EXPECT_FALSE(G.Frames[1].HasGraphicControl); // a control block applies to one frame
  EXPECT_TRUE(G.Frames[1].HasColorTable);
  EXPECT_EQ(G.Frames[1].LocalColorBits, 1);
  EXPECT_EQ(G.Frames[1].ColorTable[3], 6);
  EXPECT_EQ(G.Frames[1].ColorTable[6], 0); // beyond the table: zero
  std::vector<uint8_t> Idx;
  EXPECT_EQ(DecodeGifRaster(Data, G.Frames[1], Idx).Status, TGifStatus::Complete);
  EXPECT_EQ(Idx, std::vector<uint8_t>(24, 2));
}

TEST(GifContainer, The257thFrameIsIgnored) {
  TGifWriter W(2, 2, Table8());
  for (int I = 0; I < 257; ++I) W.Frame(Solid(0, 0, 1, 1, uint8_t(I % 8)));
  std::vector<uint8_t> Data = W.Finish();
  TGifContainer G;
  ASSERT_TRUE(ParseGifContainer(Data, G));
  EXPECT_EQ(G.Frames.size(), 256u);
  EXPECT_TRUE(G.StoppedEarly);
}

TEST(GifContainer, UnknownExtensionLabelIsSkipped) {
  TGifWriter W(2, 2, Table8());
  W.Frame(Solid(0, 0, 2, 2, 1));
  W.Out.insert(W.Out.end(), {0x21, 0x77, 3, 'a', 'b', 'c', 1, 'd', 0});
  W.Frame(Solid(0, 0, 2, 2, 2));
  std::vector<uint8_t> Data = W.Finish();
  TGifContainer G;
  ASSERT_TRUE(ParseGifContainer(Data, G));
  ASSERT_EQ(G.Frames.size(), 2u);
  EXPECT_FALSE(G.StoppedEarly);
  EXPECT_TRUE(G.SawTrailer);
  std::vector<uint8_t> Idx;
  EXPECT_EQ(DecodeGifRaster(Data, G.Frames[1], Idx).Status, TGifStatus::Complete);
  EXPECT_EQ(Idx, std::vector<uint8_t>(4, 2));
}

TEST(GifContainer, UnknownBlockEndsTheScanKeepingFrames) {
  TGifWriter W(2, 2, Table8());
  W.Frame(Solid(0, 0, 2, 2, 1));
  W.Out.push_back(0x77);
  W.Frame(Solid(0, 0, 2, 2, 2));
  std::vector<uint8_t> Data = W.Finish();
  TGifContainer G;
  ASSERT_TRUE(ParseGifContainer(Data, G));
  EXPECT_EQ(G.Frames.size(), 1u);
  EXPECT_TRUE(G.StoppedEarly);
}

TEST(GifContainer, HostileSubBlockLengthsStopAtTheEnd) {
  TGifWriter W(2, 2, Table8());
  W.Out.insert(W.Out.end(), {0x21, 0xFE, 200, 'x'}); // a comment block that claims 200 bytes
  TGifContainer G;
  ASSERT_TRUE(ParseGifContainer(W.Out, G));
  EXPECT_TRUE(G.Truncated);
  EXPECT_TRUE(G.Frames.empty());
}

TEST(GifContainer, NotAGif) {
  TGifContainer G;
  std::vector<uint8_t> D{'G', 'I', 'X', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0};
  EXPECT_FALSE(ParseGifContainer(D, G));
  std::vector<uint8_t> Short{'G', 'I', 'F', '8', '9', 'a', 1, 0};
  EXPECT_FALSE(ParseGifContainer(Short, G));
}

// Pictures made by ImageMagick from a known source: every index maps to the source pixel.
TEST(GifEncodedElsewhere, PlainAndInterlacedMatchTheSource) {
  TRawImage Src = ReadPpm(ImagePath("src256.ppm"));
  ASSERT_GT(Src.Width, 0);
  for (const char *Name : {"gif_plain.gif", "gif_interlaced.gif"}) {
    std::vector<uint8_t> Data = ReadAll(ImagePath(Name));
    TGifContainer G;
    ASSERT_TRUE(ParseGifContainer(Data, G)) << Name;
    ASSERT_EQ(G.Frames.size(), 1u);
    const TGifFrameInfo &F = G.Frames[0];
    ASSERT_EQ(F.Width, Src.Width);
    ASSERT_EQ(F.Height, Src.Height);
    std::vector<uint8_t> Idx;
    ASSERT_EQ(DecodeGifRaster(Data, F, Idx).Status, TGifStatus::Complete) << Name;
    const TGifColorTable &T = F.HasColorTable ? F.ColorTable : G.GlobalTable;
    int Bad = 0;
    for (size_t I = 0; I < Idx.size(); ++I) {
      const uint8_t *C = &T[size_t(Idx[I]) * 3];
      if (RgbPixel(C[0], C[1], C[2]) != Src.Pixels[I]) ++Bad;
    }
    EXPECT_EQ(Bad, 0) << Name;
  }
}

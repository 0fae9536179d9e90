// Colour reduction: lookups, error diffusion, the octree palette and the entry points.
#include <gtest/gtest.h>

#include <set>

#include "htmlview/dither.h"
#include "htmlview/gif_image.h"
#include "htmlview/image_cache.h"
#include "image_test_support.h"

using namespace imgtest;

namespace {

struct TDisplay {
  explicit TDisplay(int Bits) { SetDisplayColorBits(Bits); }
  ~TDisplay() { SetDisplayColorBits(24); }
};

TBitmap Field(int W, int H, uint32_t Argb) {
  std::vector<uint32_t> Px(size_t(W) * size_t(H), Argb);
  return TBitmap::FromRgb32(W, H, Px.data());
}

// A picture with every colour of a smooth gradient: far more than 256 colours.
TBitmap Gradient(int W, int H) {
  std::vector<uint32_t> Px(size_t(W) * size_t(H));
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X)
      Px[size_t(Y) * size_t(W) + size_t(X)] =
          RgbPixel(X * 255 / (W - 1), Y * 255 / (H - 1), (X + Y) & 255);
  return TBitmap::FromRgb32(W, H, Px.data());
}

bool InPalette(const TBitmap &B, const std::vector<TColor> &Pal) {
  std::set<TColor> Entries(Pal.begin(), Pal.end());
  for (int Y = 0; Y < B.Height(); ++Y)
    for (int X = 0; X < B.Width(); ++X)
      if (!Entries.count(ArgbToColor(B.ScanLine(Y)[X]))) return false;
  return true;
}

std::vector<TColor> StockColours() {
  std::vector<TColor> S = DefaultSystemPalette(), R(S.begin(), S.begin() + 10);
  R.insert(R.end(), S.begin() + 246, S.end());
  return R;
}

} // namespace

TEST(WebLookup, CubeIndexesAndLevels) {
  TNetscapeColorLookup L;
  EXPECT_EQ(L.Colors, 216);
  uint8_t R, G, B;
  EXPECT_EQ(L.Lookup(0, 0, 0, R, G, B), 0);
  EXPECT_EQ(L.Lookup(255, 255, 255, R, G, B), 215);
  EXPECT_EQ(R, 255);
  // (v + 3) div 51: the level changes at 48, 99 and 150.
  const std::pair<int, int> Levels[] = {{47, 0}, {48, 1}, {98, 1}, {99, 2}, {149, 2}, {150, 3}};
  for (auto [V, Level] : Levels) {
    EXPECT_EQ(L.Lookup(uint8_t(V), 0, 0, R, G, B), 36 * Level) << V;
    EXPECT_EQ(L.Lookup(0, 0, uint8_t(V), R, G, B), Level) << V;
    EXPECT_EQ(B, 51 * Level) << V;
  }
  std::vector<TColor> P = WebPalette();
  ASSERT_EQ(P.size(), 216u);
  EXPECT_EQ(P[36 * 2 + 6 * 2 + 2], RGB(102, 102, 102)); // entry 86
  EXPECT_EQ(P[36 * 5 + 6 * 1 + 0], RGB(255, 51, 0));
}

TEST(FastLookup, FirstEntryOfACellAndCachedCells) {
  // (6, 6, 6) shares black's cell, which black filled first.
  TFastColorLookup L({RGB(0, 0, 0), RGB(255, 255, 255), RGB(6, 6, 6)});
  EXPECT_EQ(L.Colors, 3);
  uint8_t R, G, B;
  EXPECT_EQ(L.Lookup(6, 6, 6, R, G, B), 0);
  EXPECT_EQ(R, 0);
  EXPECT_EQ(L.Lookup(250, 251, 252, R, G, B), 1);
  EXPECT_EQ(G, 255);

  // The cell of 16..23 is decided by the first colour asked: (23, 23, 23) is nearer to
  // (26, 26, 26); (16, 16, 16), nearer to (8, 8, 8), gets the same answer.
  TFastColorLookup M({RGB(8, 8, 8), RGB(26, 26, 26)});
  EXPECT_EQ(M.Lookup(23, 23, 23, R, G, B), 1);
  EXPECT_EQ(M.Lookup(16, 16, 16, R, G, B), 1);
  TFastColorLookup Fresh({RGB(8, 8, 8), RGB(26, 26, 26)});
  EXPECT_EQ(Fresh.Lookup(16, 16, 16, R, G, B), 0);
  // Ties go to the lowest index.
  TFastColorLookup Tie({RGB(100, 0, 0), RGB(0, 100, 0)});
  EXPECT_EQ(Tie.Lookup(50, 50, 0, R, G, B), 0);
}

TEST(FloydSteinberg, OneColumnCarriesOnlyDownward) {
  // Grey 128 on the web cube is 102 with an error of 26; only 5/16 of it reaches the
  // next row, never enough to pass 150 (level 3).
  TNetscapeColorLookup L;
  TFloydSteinbergEngine E(1, L);
  for (int Row = 0; Row < 8; ++Row) {
    uint8_t R, G, B;
    EXPECT_EQ(E.Column, 0);
    EXPECT_EQ(E.Dither(128, 128, 128, R, G, B), 86) << Row;
    EXPECT_EQ(R, 102);
    E.NextLine();
  }
  auto Out =
      ReduceColors(Field(1, 8, 0xFF808080), TColorReduction::Netscape, TDitherMode::FloydSteinberg);
  for (int Y = 0; Y < 8; ++Y) EXPECT_EQ(Out->ScanLine(Y)[0], 0xFF666666u) << Y;
}

TEST(FloydSteinberg, GreyFieldKeepsItsMean) {
  auto Out = ReduceColors(Field(64, 64, 0xFF808080), TColorReduction::Netscape,
                          TDitherMode::FloydSteinberg);
  ASSERT_EQ(Out->PixelFormat(), pf8bit);
  ASSERT_EQ(Out->Palette, WebPalette());
  int64_t Sum = 0;
  int High = 0, Other = 0;
  for (int Y = 0; Y < 64; ++Y)
    for (int X = 0; X < 64; ++X) {
      uint32_t P = Out->ScanLine(Y)[X];
      Sum += P & 0xFF;
      if (P == 0xFF999999u) ++High;
      else if (P != 0xFF666666u) ++Other;
    }
  EXPECT_NEAR(double(Sum) / 4096, 128.0, 0.5);
  // (128 - 102) / 51 of the pixels take the upper level.
  EXPECT_NEAR(High / 4096.0, 26.0 / 51, 0.05);
  EXPECT_EQ(Other, 0);
  // Without diffusion every pixel is the nearest level.
  auto Flat =
      ReduceColors(Field(64, 64, 0xFF808080), TColorReduction::Netscape, TDitherMode::Nearest);
  for (int Y = 0; Y < 64; Y += 7) EXPECT_EQ(Flat->ScanLine(Y)[Y], 0xFF666666u);
}

TEST(Quantizer, SumsDoNotOverflow) {
  // 9 million white pixels sum to 2.3e9 per channel, past a 32-bit signed sum.
  TColorQuantizer Q(4, 1);
  for (int I = 0; I < 9000000; ++I) Q.AddColor(255, 255, 255);
  Q.AddColor(0, 0, 0);
  std::vector<TColor> T = Q.GetColorTable();
  ASSERT_EQ(T.size(), 2u);
  EXPECT_EQ(T[0], RGB(0, 0, 0));
  EXPECT_EQ(T[1], RGB(255, 255, 255));
}

TEST(Quantizer, ReducesToTheLimitAndAverages) {
  TColorQuantizer Q(2, 8);
  Q.AddColor(10, 10, 10);
  Q.AddColor(12, 10, 10);
  Q.AddColor(200, 0, 0);
  EXPECT_EQ(Q.LeafCount(), 3); // only whole pictures are reduced
  // Folding from the deepest level merges the two near greys first.
  TColorQuantizer P(2, 8);
  TBitmap B = TBitmap::FromRgb32(
      3, 1,
      std::vector<uint32_t>{RgbPixel(10, 10, 10), RgbPixel(12, 10, 10), RgbPixel(200, 0, 0)}
          .data());
  TDIBReader Reader(B, pf24bit);
  P.ProcessImage(Reader, 3, 1);
  EXPECT_EQ(P.LeafCount(), 2);
  std::vector<TColor> T = P.GetColorTable();
  ASSERT_EQ(T.size(), 2u);
  EXPECT_EQ(T[0], RGB(11, 10, 10));
  EXPECT_EQ(T[1], RGB(200, 0, 0));
}

TEST(OptimizedPalette, ExactColoursAndStockEntries) {
  // 236 colours, each alone in its 5-5-5 cell and away from the stock colours' cells.
  std::set<int> StockCells;
  for (TColor C : StockColours())
    StockCells.insert(
        TFastColorLookup::Key(uint8_t(GetRValue(C)), uint8_t(GetGValue(C)), uint8_t(GetBValue(C))));
  std::vector<uint32_t> Px;
  std::set<TColor> Wanted;
  for (int K = 0; int(Px.size()) < 236; K += 37) {
    int Cell = K % 32768;
    if (StockCells.count(Cell)) continue;
    int R = (Cell & 31) * 8 + 3, G = ((Cell >> 5) & 31) * 8 + 5, B = (Cell >> 10) * 8 + 1;
    if (!Wanted.insert(RGB(R, G, B)).second) continue;
    Px.push_back(RgbPixel(R, G, B));
  }
  TBitmap Pic = TBitmap::FromRgb32(236, 1, Px.data());
  TBitmap Before = Pic;
  for (TDitherMode D : {TDitherMode::Nearest, TDitherMode::FloydSteinberg}) {
    auto Out = ReduceColors(Pic, TColorReduction::Quantize, D);
    ASSERT_EQ(Out->Palette.size(), 256u);
    std::set<TColor> Middle(Out->Palette.begin() + 10, Out->Palette.begin() + 246);
    EXPECT_EQ(Middle, Wanted);
    for (int X = 0; X < 236; ++X)
      EXPECT_EQ(Out->ScanLine(0)[X] | 0xFF000000u, Px[size_t(X)] | 0xFF000000u) << X;
  }
  // The argument is unchanged.
  EXPECT_EQ(Pic.PixelFormat(), Before.PixelFormat());
  for (int X = 0; X < 236; ++X) EXPECT_EQ(Pic.ScanLine(0)[X], Before.ScanLine(0)[X]);

  std::vector<TColor> Stock = StockColours();
  for (const TBitmap &B : {Pic, Gradient(97, 61), Field(5, 5, 0xFF123456)}) {
    std::vector<TColor> P = CreateOptimizedPalette(B, 256, 8, true);
    ASSERT_EQ(P.size(), 256u);
    for (int I = 0; I < 10; ++I) {
      EXPECT_EQ(P[size_t(I)], Stock[size_t(I)]);
      EXPECT_EQ(P[size_t(246 + I)], Stock[size_t(10 + I)]);
    }
  }
  // Without the stock colours the quantised ones start at entry 0.
  std::vector<TColor> Own = CreateOptimizedPalette(Field(5, 5, 0xFF123456), 16, 8, false);
  ASSERT_EQ(Own.size(), 16u);
  EXPECT_EQ(Own[0], RGB(0x12, 0x34, 0x56));
  auto Many =
      ReduceColors(Gradient(97, 61), TColorReduction::Quantize, TDitherMode::FloydSteinberg);
  EXPECT_TRUE(InPalette(*Many, Many->Palette));
}

TEST(ReduceColors, ModesAndBadInput) {
  TBitmap G = Gradient(40, 30);
  auto Copy = ReduceColors(G, TColorReduction::None, TDitherMode::Nearest);
  EXPECT_EQ(Copy->PixelFormat(), pf24bit);
  EXPECT_EQ(Copy->ScanLine(29)[39], G.ScanLine(29)[39]);
  auto Win = ReduceColors(G, TColorReduction::Windows, TDitherMode::FloydSteinberg);
  EXPECT_EQ(Win->Palette, StockColours());
  EXPECT_TRUE(InPalette(*Win, StockColours()));
  {
    // No shared palette on a true-colour display: nothing to look up, a blank picture.
    auto Mine = ReduceColors(G, TColorReduction::MyPalette, TDitherMode::Nearest);
    EXPECT_EQ(Mine->PixelFormat(), pf8bit);
    EXPECT_TRUE(Mine->Palette.empty());
  }
  {
    TDisplay Eight(8);
    auto Mine = ReduceColors(G, TColorReduction::MyPalette, TDitherMode::Nearest);
    EXPECT_EQ(Mine->Palette, ThePalette());
    EXPECT_TRUE(InPalette(*Mine, ThePalette()));
  }
  // Unknown modes: a blank 8-bit bitmap of the same size.
  auto Two = ReduceColors(G, TColorReduction(2), TDitherMode::Nearest);
  EXPECT_EQ(Two->Width(), 40);
  EXPECT_EQ(Two->Height(), 30);
  EXPECT_EQ(Two->PixelFormat(), pf8bit);
  EXPECT_TRUE(Two->Palette.empty());
  EXPECT_EQ(Two->ScanLine(3)[3], 0xFFFFFFFFu);
  auto BadDither = ReduceColors(G, TColorReduction::Netscape, TDitherMode(7));
  EXPECT_EQ(BadDither->Palette.size(), 216u);
  EXPECT_EQ(BadDither->ScanLine(3)[3], 0xFFFFFFFFu);

  TBitmap Empty;
  try {
    ReduceColors(Empty, TColorReduction::Quantize, TDitherMode::Nearest);
    ADD_FAILURE() << "no error";
  } catch (const GIFException &E) { EXPECT_STREQ(E.what(), "Bitmap image is not valid"); }
  try {
    TDIBReader R(G, pf16bit);
    ADD_FAILURE() << "no error";
  } catch (const GIFException &E) { EXPECT_STREQ(E.what(), "Invalid pixel format"); }
  TBitmap Target(4, 3);
  TDIBWriter W(Target, pf8bit);
  EXPECT_NO_THROW(W.GetScanline(2));
  for (int Row : {-1, 3}) {
    try {
      W.GetScanline(Row);
      ADD_FAILURE() << Row;
    } catch (const EInvalidGraphicOperation &E) {
      EXPECT_STREQ(E.what(), "Scan line index out of range");
    }
  }
  EXPECT_EQ(BytesPerScanline(23, 24, 32), 72);
  EXPECT_EQ(BytesPerScanline(5, 8, 32), 8);
  EXPECT_EQ(BytesPerScanline(9, 1, 32), 4);
}

TEST(ReduceToDisplayPalette, EmptyCopiedAndReduced) {
  TDisplay Eight(8);
  TBitmap Empty;
  EXPECT_FALSE(ReduceToDisplayPalette(nullptr));
  EXPECT_FALSE(ReduceToDisplayPalette(&Empty));
  // A decoded picture is reduced, the argument untouched.
  TBitmap G = Gradient(50, 20);
  TBitmap Before = G;
  auto R = ReduceToDisplayPalette(&G);
  ASSERT_TRUE(R);
  EXPECT_EQ(R->PixelFormat(), pf8bit);
  EXPECT_EQ(R->Palette, ThePalette());
  EXPECT_TRUE(InPalette(*R, ThePalette()));
  EXPECT_EQ(G.PixelFormat(), Before.PixelFormat());
  EXPECT_TRUE(G.Palette.empty());
  EXPECT_EQ(G.ScanLine(10)[17], Before.ScanLine(10)[17]);
  // One already in the shared palette is only copied.
  TBitmap Odd = Field(3, 3, 0xFF010203);
  Odd.Palette = ThePalette();
  auto C = ReduceToDisplayPalette(&Odd);
  EXPECT_EQ(C->ScanLine(1)[1], 0xFF010203u);
  // Below 8 bits: the twenty stock colours.
  SetDisplayColorBits(4);
  auto Four = ReduceToDisplayPalette(&G);
  EXPECT_EQ(Four->Palette, StockColours());
}

TEST(ReduceToDisplayPalette, CallersKeepTheirPictures) {
  TDisplay Eight(8);
  // An empty picture comes back as it went in, never as nothing.
  auto Kept = DitherIfNeeded(std::make_unique<TBitmap>());
  ASSERT_TRUE(Kept);
  EXPECT_TRUE(Kept->Empty());
  auto D = DitherIfNeeded(std::make_unique<TBitmap>(Gradient(30, 30)));
  EXPECT_TRUE(InPalette(*D, ThePalette()));

  // A single-frame GIF keeps its own colours and is dithered: grey 128 lies between the
  // shared palette's 115 and 135, so both appear and the mean stays near 128 (mapped, all
  // would be 135).
  TGifWriter W(32, 32, {128, 128, 128, 0, 0, 0, 255, 255, 255, 9, 9, 9});
  W.Frame(Solid(0, 0, 32, 32, 0));
  bool Single = false;
  auto G = CreateAGifFromStream(W.Finish(), Single);
  ASSERT_TRUE(G);
  ASSERT_TRUE(Single);
  EXPECT_TRUE(G->Dither);
  const TBitmap *B = G->GetBitmap();
  ASSERT_TRUE(B);
  std::set<uint32_t> Seen;
  int64_t Sum = 0;
  for (int Y = 0; Y < 32; ++Y)
    for (int X = 0; X < 32; ++X) {
      Seen.insert(B->ScanLine(Y)[X] | 0xFF000000u);
      Sum += B->ScanLine(Y)[X] & 0xFF;
    }
  EXPECT_GE(Seen.size(), 2u);
  // The 5-5-5 cells bias the choice a little: within 2 of the grey.
  EXPECT_NEAR(double(Sum) / 1024, 128.0, 2.0);
  EXPECT_TRUE(InPalette(*B, ThePalette()));
}

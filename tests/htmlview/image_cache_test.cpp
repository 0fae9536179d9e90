// Image loading and the cache: file types by first bytes, the GIF and PNG transparency
// probes, masks, the loaders' fallbacks, the shared palette, the DIB and cache ageing.
#include <gtest/gtest.h>

#include <cstdio>

#include "htmlview/gif_image.h"
#include "htmlview/image_cache.h"
#include "htmlview/png_probe.h"
#include "htmlview/section_list.h"
#include "image_test_support.h"
#include "layout_support.h"
#include "platform/files.h"

using namespace imgtest;

namespace {

int Sniff(std::vector<uint8_t> B) { return DetectImageType(B); }

std::string TempFile(const std::string &Name, const std::vector<uint8_t> &Data) {
  std::string P = std::string(VORNELLE_BINARY_DIR) + "/" + Name;
  WriteFileBytes(P, Data);
  return P;
}

// A PNG made of the chunks given (CRCs are not checked by the probe: zeros).
std::vector<uint8_t> Png(std::vector<std::pair<std::string, std::vector<uint8_t>>> Chunks) {
  std::vector<uint8_t> D{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  for (auto &[Type, Body] : Chunks) {
    uint32_t N = uint32_t(Body.size());
    D.insert(D.end(), {uint8_t(N >> 24), uint8_t(N >> 16), uint8_t(N >> 8), uint8_t(N)});
    D.insert(D.end(), Type.begin(), Type.end());
    D.insert(D.end(), Body.begin(), Body.end());
    D.insert(D.end(), {0, 0, 0, 0});
  }
  return D;
}

std::vector<uint8_t> Ihdr(uint8_t ColorType) { return {0, 0, 0, 4, 0, 0, 0, 4, 8, ColorType, 0, 0, 0}; }

// Restores the true-colour display whatever a test forced.
struct TDisplay {
  explicit TDisplay(int Bits) { SetDisplayColorBits(Bits); }
  ~TDisplay() { SetDisplayColorBits(24); }
};

// A 62-byte BMP that declares W x H pixels of 24 bits; the rows it lacks decode black.
std::vector<uint8_t> SparseBmp(int W, int H) {
  std::vector<uint8_t> D{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0};
  auto U32 = [&](uint32_t V) {
    for (int I = 0; I < 4; ++I) D.push_back(uint8_t(V >> (8 * I)));
  };
  for (uint32_t V : {40u, uint32_t(W), uint32_t(H), 1u | (24u << 16), 0u, 0u, 0u, 0u, 0u, 0u})
    U32(V);
  D.resize(62, 0x40);
  return D;
}

std::unique_ptr<TBitmapItem> Item() {
  return std::make_unique<TBitmapItem>(std::make_unique<TBitmap>(2, 2), nullptr, NotTransp);
}

} // namespace

TEST(ImageType, FirstBytes) {
  EXPECT_EQ(Sniff({'G', 'I', 'F', '8', '7', 'a'}), 2);
  EXPECT_EQ(Sniff({'G', 'I', 'F', '8', '9', 'a'}), 3);
  EXPECT_EQ(Sniff({'G', 'I', 'F', '8', 'x'}), 2);
  EXPECT_EQ(Sniff({'B', 'M', 0, 0}), 1);
  EXPECT_EQ(Sniff({0x89, 'P', 'N', 'G', 0x0D}), 4);
  EXPECT_EQ(Sniff({0xFF, 0xD8, 0xFF, 0xE0}), 5);
  EXPECT_EQ(Sniff({0xFF, 0xD8, 0xFF, 0xE1}), 0); // a JPEG whose first marker is not APP0
  EXPECT_EQ(Sniff({'G', 'I'}), 0);
  EXPECT_EQ(Sniff({}), 0);
}

TEST(ImageType, FilesShorterThanTheBufferReadAsZeros) {
  EXPECT_EQ(DetectImageFileType(TempFile("sniff_short.bin", {'B', 'M'})), 1);
  // "GIF8" and nothing more: the fifth byte reads as 0, not '9'.
  EXPECT_EQ(DetectImageFileType(TempFile("sniff_gif8.bin", {'G', 'I', 'F', '8'})), 2);
  EXPECT_EQ(DetectImageFileType(ImagePath("missing.bmp")), 0);
  EXPECT_EQ(DetectImageFileType(ImagePath("jpeg_baseline.jpg")), 5);
}

TEST(GifTransparentProbe, ControlBlockRightAfterTheTable) {
  TGifWriter W(2, 2, Table8());
  TGifFrameSpec F = Solid(0, 0, 2, 2, 1);
  F.TransparentIndex = 0;
  W.Frame(F);
  TColor C = 12345;
  ASSERT_TRUE(FindGifTransparentColor(W.Finish(), C));
  EXPECT_EQ(C, RGB(255, 0, 0)); // the first table colour

  // ImageMagick's transparent GIF: index 1 of its two-colour table.
  ASSERT_TRUE(FindGifTransparentColorInFile(ImagePath("gif_transparent.gif"), C));
  EXPECT_EQ(C, RGB(0, 0, 0));
}

TEST(GifTransparentProbe, OtherLayoutsGiveNone) {
  TColor C = 7;
  TGifWriter A(2, 2, Table8());
  A.Comment("first");
  TGifFrameSpec F = Solid(0, 0, 2, 2, 1);
  F.TransparentIndex = 0;
  A.Frame(F);
  EXPECT_FALSE(FindGifTransparentColor(A.Finish(), C));
  TGifWriter B(2, 2, Table8());
  B.Loop(0);
  B.Frame(F);
  EXPECT_FALSE(FindGifTransparentColor(B.Finish(), C));
  TGifWriter Opaque(2, 2, Table8());
  Opaque.Frame(Solid(0, 0, 2, 2, 1)); // control block without the transparency bit
  EXPECT_FALSE(FindGifTransparentColor(Opaque.Finish(), C));
  TGifWriter Old(2, 2, Table8(), false);
  Old.Frame(F);
  EXPECT_FALSE(FindGifTransparentColor(Old.Finish(), C)); // GIF87a
  EXPECT_EQ(C, 7u);
  std::vector<uint8_t> Tiny{'G', 'I', 'F', '8', '9', 'a'};
  EXPECT_FALSE(FindGifTransparentColor(Tiny, C));
  TMemoryStream S;
  S.Bytes = Tiny;
  S.SetPosition(3);
  EXPECT_FALSE(FindGifTransparentColor(S, C));
  EXPECT_EQ(S.Position(), 3); // the stream position is kept
}

TEST(PngTransparentProbe, PaletteEntryNamedByTheChunkLength) {
  std::vector<uint8_t> Pal{10, 20, 30, 40, 50, 60, 70, 80, 90, 1, 2, 3};
  TColor C = 0;
  ASSERT_TRUE(FindPngTransparentColor(
      std::span<const uint8_t>(Png({{"IHDR", Ihdr(3)}, {"PLTE", Pal}, {"tRNS", {0, 0, 255}}, {"IDAT", {}}})),
      C));
  EXPECT_EQ(C, RGB(70, 80, 90)); // three entries listed: entry 2
  ASSERT_TRUE(FindPngTransparentColorInFile(ImagePath("png_palette_trns.png"), C));
  EXPECT_EQ(C, RGB(0, 255, 0));
}

TEST(PngTransparentProbe, EverythingElseGivesNone) {
  TColor C = 99;
  EXPECT_FALSE(FindPngTransparentColorInFile(ImagePath("png_grey.png"), C));
  EXPECT_FALSE(FindPngTransparentColorInFile(ImagePath("png_rgb.png"), C));
  // A truth-colour picture with a tRNS colour: no palette entry to name.
  EXPECT_FALSE(FindPngTransparentColor(
      std::span<const uint8_t>(Png({{"IHDR", Ihdr(2)}, {"tRNS", {0, 1, 0, 2, 0, 3}}})), C));
  // tRNS after the image data is not looked for.
  EXPECT_FALSE(FindPngTransparentColor(
      std::span<const uint8_t>(Png({{"IHDR", Ihdr(3)}, {"IDAT", {1}}, {"tRNS", {0}}})), C));
  // A chunk length that reads as negative (or beyond the data) must not loop or overrun.
  std::vector<uint8_t> Bad = Png({{"IHDR", Ihdr(3)}});
  Bad.insert(Bad.end(), {0xFF, 0xFF, 0xFF, 0xF0, 'a', 'b', 'c', 'd', 1, 2, 3});
  EXPECT_FALSE(FindPngTransparentColor(std::span<const uint8_t>(Bad), C));
  std::vector<uint8_t> Short = Png({{"IHDR", Ihdr(3)}});
  Short.resize(20);
  EXPECT_FALSE(FindPngTransparentColor(std::span<const uint8_t>(Short), C));
  EXPECT_EQ(C, 99u);
}

TEST(ImageLoading, EachTypeFromFile) {
  auto B = LoadImageFromFile(ImagePath("bmp24.bmp"), true);
  ASSERT_TRUE(B);
  EXPECT_EQ(B->Width(), 23);
  auto J = LoadImageFromFileWrapper(ImagePath("jpeg_progressive.jpg"));
  ASSERT_TRUE(J);
  EXPECT_EQ(J->Height(), 48);
  auto G = LoadImageFromFile(ImagePath("gif_plain.gif"), true);
  ASSERT_TRUE(G);
  EXPECT_EQ(G->Width(), 25);
  // PNG files are recognised but never shown; unknown and missing files give nothing.
  EXPECT_FALSE(LoadImageFromFile(ImagePath("png_palette_trns.png"), true));
  EXPECT_FALSE(LoadImageFromFile(ImagePath("src24.ppm"), true));
  EXPECT_FALSE(LoadImageFromFile(ImagePath("missing.gif"), true));
  EXPECT_FALSE(LoadImageFromFile(ImagePath("jpeg_cmyk.jpg"), true));
}

TEST(ImageLoading, WithMask) {
  TTransparency T = NotTransp;
  std::unique_ptr<TBitmap> M;
  auto G = LoadImageWithMask(ImagePath("gif_transparent.gif"), T, M);
  ASSERT_TRUE(G);
  EXPECT_EQ(T, TGif);
  ASSERT_TRUE(M);
  EXPECT_EQ(M->ScanLine(3)[4] | 0xFF000000u, 0xFFFFFFFFu); // the hole: transparent
  EXPECT_EQ(M->ScanLine(0)[0] | 0xFF000000u, 0xFF000000u);

  // The lower-left pixel's colour, asked for by the document.
  T = LLCorner;
  auto B = LoadImageWithMask(ImagePath("bmp1.bmp"), T, M);
  ASSERT_TRUE(B);
  ASSERT_TRUE(M);
  uint32_t Corner = B->ScanLine(B->Height() - 1)[0];
  for (int X = 0; X < B->Width(); ++X)
    EXPECT_EQ((M->ScanLine(0)[X] & 0xFFFFFF) != 0, B->ScanLine(0)[X] == Corner) << X;

  // A PNG with a transparent colour loads as nothing: and then no mask either.
  T = NotTransp;
  M = std::make_unique<TBitmap>(1, 1);
  EXPECT_FALSE(LoadImageWithMask(ImagePath("png_palette_trns.png"), T, M));
  EXPECT_EQ(T, TPng);
  EXPECT_FALSE(M);
  T = LLCorner;
  EXPECT_FALSE(LoadImageWithMask(ImagePath("missing.bmp"), T, M));
  EXPECT_FALSE(M);
}

TEST(ImageLoading, FromStream) {
  TTransparency T = LLCorner;
  std::unique_ptr<TBitmap> M;
  TMemoryStream S;
  S.Bytes = ReadAll(ImagePath("bmp8.bmp"));
  auto B = LoadImageWithMaskFromStream(&S, T, M);
  ASSERT_TRUE(B);
  EXPECT_TRUE(M); // LLCorner builds a mask
  S.Bytes = ReadAll(ImagePath("jpeg_baseline.jpg"));
  B = LoadImageWithMaskFromStream(&S, T, M);
  ASSERT_TRUE(B);
  EXPECT_EQ(T, NotTransp);
  EXPECT_FALSE(M);
  // 19 bytes, GIF and PNG streams give nothing.
  S.Bytes = ReadAll(ImagePath("bmp8.bmp"));
  S.Bytes.resize(19);
  EXPECT_FALSE(LoadImageWithMaskFromStream(&S, T, M));
  S.Bytes = ReadAll(ImagePath("gif_plain.gif"));
  EXPECT_FALSE(LoadImageWithMaskFromStream(&S, T, M));
  S.Bytes = ReadAll(ImagePath("png_rgb.png"));
  EXPECT_FALSE(LoadImageWithMaskFromStream(&S, T, M));
  EXPECT_FALSE(LoadImageWithMaskFromStream(nullptr, T, M));
}

TEST(TransparencyMask, LowerLeftAndGivenColour) {
  std::vector<uint32_t> Px{0xFF112233, 0xFF445566, 0xFF445566, 0xFF112233};
  TBitmap B = TBitmap::FromRgb32(2, 2, Px.data());
  auto M = BuildTransparencyMask(B, false, 0);
  ASSERT_TRUE(M);
  // The lower-left pixel (0, 1) is 0x445566: it and its twin at (1, 0) become white.
  EXPECT_EQ(M->ScanLine(0)[1] | 0xFF000000u, 0xFFFFFFFFu);
  EXPECT_EQ(M->ScanLine(1)[0] | 0xFF000000u, 0xFFFFFFFFu);
  EXPECT_EQ(M->ScanLine(0)[0] | 0xFF000000u, 0xFF000000u);
  auto N = BuildTransparencyMask(B, true, RGB(0x11, 0x22, 0x33));
  EXPECT_EQ(N->ScanLine(0)[0] | 0xFF000000u, 0xFFFFFFFFu);
  EXPECT_EQ(N->ScanLine(0)[1] | 0xFF000000u, 0xFF000000u);
  // A bitmap without rows has no lower-left pixel.
  TBitmap Empty;
  EXPECT_FALSE(BuildTransparencyMask(Empty, false, 0));
}

TEST(TransparencyMask, RepeatedRowsAndTheRowsATruncatedFileLeavesOut) {
  // Rows 1 and 2 repeat row 0 but for their last pixel; rows 3 to 5 repeat each other.
  const uint32_t K = 0xFF0000FF, O = 0xFF00FF00;
  std::vector<uint32_t> Px{K, O, K, O, //
                           K, O, K, O, //
                           K, O, K, K, //
                           O, O, O, O, //
                           O, O, O, O, //
                           K, K, K, K};
  TBitmap B = TBitmap::FromRgb32(4, 6, Px.data());
  auto M = BuildTransparencyMask(B, false, 0); // the key is K, the lower-left pixel
  ASSERT_TRUE(M);
  EXPECT_TRUE(M->Monochrome());
  const char *Want[6] = {"W.W.", "W.W.", "W.WW", "....", "....", "WWWW"};
  for (int Y = 0; Y < 6; ++Y)
    for (int X = 0; X < 4; ++X)
      EXPECT_EQ(M->ScanLine(Y)[X] | 0xFF000000u, Want[Y][X] == 'W' ? 0xFFFFFFFFu : 0xFF000000u)
          << X << ", " << Y;
  // The picture itself is untouched and keeps its pixels.
  EXPECT_EQ(B.ScanLine(2)[3] | 0xFF000000u, K);
  EXPECT_FALSE(B.Monochrome());
}

TEST(TransparencyMask, AHugeOneBitFileWithFewBytes) {
  // 769 bytes that declare 5376 x 2304 pixels: the rows the file holds come out, the rest
  // is black (index 0), and the mask keys on the black lower-left pixel.
  TMemoryStream S;
  S.Bytes = ReadAll(std::string(VORNELLE_SOURCE_DIR) + "/fuzz/corpus/bmp/bmp1_huge_sparse.bmp");
  ASSERT_EQ(S.Bytes.size(), 769u);
  TTransparency T = LLCorner;
  std::unique_ptr<TBitmap> M;
  std::unique_ptr<TBitmap> B = LoadImageWithMaskFromStream(&S, T, M);
  ASSERT_TRUE(B);
  ASSERT_TRUE(M);
  EXPECT_EQ(B->Width(), 5376);
  EXPECT_EQ(B->Height(), 2304);
  // The bits start 0x5A: the bottom row reads 0 1 0 1 1 0 1 0; only its first 707 bytes
  // exist (5656 pixels), so the row above the bottom one is all black.
  const uint32_t *Bottom = M->ScanLine(2303);
  const char *Bits = "01011010";
  for (int X = 0; X < 8; ++X)
    EXPECT_EQ(Bottom[X] | 0xFF000000u, Bits[X] == '0' ? 0xFFFFFFFFu : 0xFF000000u) << X;
  EXPECT_EQ(B->ScanLine(2302)[5376 - 1] | 0xFF000000u,
            0xFF000000u);                                       // 5656 - 5376 = 280 pixels here
  EXPECT_EQ(B->ScanLine(2302)[279] | 0xFF000000u, 0xFFFFFFFFu); // bits 0x0F: the last is set
  for (int Y : {0, 1000, 2301})
    for (int X : {0, 2688, 5375})
      EXPECT_EQ(M->ScanLine(Y)[X] | 0xFF000000u, 0xFFFFFFFFu) << X << ", " << Y;
}

TEST(DefaultPictures, ErrorPictureAndItsMask) {
  TBitmap &E = ErrorBitmap();
  TBitmap &M = ErrorBitmapMask();
  // Small enough to sit beside the ALT text, which begins 24 pixels into the box.
  ASSERT_EQ(E.Width(), 16);
  ASSERT_EQ(M.Width(), E.Width());
  ASSERT_EQ(M.Height(), E.Height());
  EXPECT_EQ(M.ScanLine(0)[0] | 0xFF000000u, 0xFFFFFFFFu);   // outside the sheet: transparent
  EXPECT_EQ(M.ScanLine(8)[8] | 0xFF000000u, 0xFF000000u); // on the sheet: opaque
  EXPECT_EQ(DefBitmap().Width(), 16);
  EXPECT_NE(WaitStream(), nullptr);
}

TEST(SharedPalette, CubeGreysAndSystemColours) {
  std::vector<TColor> P = BuildGlobalPalette();
  ASSERT_EQ(P.size(), 256u);
  EXPECT_EQ(P[0], RGB(0, 0, 0));
  EXPECT_EQ(P[9], RGB(166, 202, 240));
  EXPECT_EQ(P[10], RGB(55, 55, 55));   // cube start
  EXPECT_EQ(P[11], RGB(115, 55, 55));  // red varies fastest
  EXPECT_EQ(P[16], RGB(55, 115, 55));  // then green
  EXPECT_EQ(P[46], RGB(55, 55, 115));  // then blue
  EXPECT_EQ(P[224], RGB(235, 255, 255)); // the last cube entry: white is left out
  EXPECT_EQ(P[225], RGB(135, 135, 135)); // greys from 135 in steps of 5
  EXPECT_EQ(P[230], RGB(160, 160, 160));
  EXPECT_EQ(P[231], RGB(170, 170, 170)); // 165 is a cube level: skipped
  EXPECT_EQ(P[245], RGB(250, 250, 250));
  EXPECT_EQ(P[246], RGB(255, 251, 240));
  EXPECT_EQ(P[255], RGB(255, 255, 255));
  std::vector<TColor> Sys(256, RGB(1, 2, 3));
  std::vector<TColor> Q = BuildGlobalPalette(Sys);
  EXPECT_EQ(Q[5], RGB(1, 2, 3));
  EXPECT_EQ(Q[250], RGB(1, 2, 3));
  EXPECT_EQ(Q[10], RGB(55, 55, 55));
  EXPECT_EQ(CopyPalette(Q), Q);
}

TEST(PaletteDisplay, PicturesUseOnlyPaletteColours) {
  TDisplay Eight(8);
  ASSERT_EQ(ColorBits(), 8);
  ASSERT_EQ(ThePalette().size(), 256u);
  for (const char *Name : {"bmp24.bmp", "jpeg_baseline.jpg", "gif_photo_interlaced.gif"}) {
    auto B = LoadImageFromFile(ImagePath(Name), true);
    ASSERT_TRUE(B) << Name;
    int Outside = 0;
    for (int Y = 0; Y < B->Height(); ++Y)
      for (int X = 0; X < B->Width(); ++X) {
        TColor C = ArgbToColor(B->ScanLine(Y)[X]);
        if (ThePalette()[size_t(NearestPaletteIndex(ThePalette(), C))] != C) ++Outside;
      }
    EXPECT_EQ(Outside, 0) << Name;
  }
  // One pixel by hand: (60, 60, 60) is nearest to the cube's (55, 55, 55).
  std::vector<uint32_t> One{0xFF3C3C3C};
  auto P = std::make_unique<TBitmap>(TBitmap::FromRgb32(1, 1, One.data()));
  auto Q = ConvertTo256Palette(P);
  EXPECT_FALSE(P);
  ASSERT_TRUE(Q);
  EXPECT_EQ(Q->ScanLine(0)[0] | 0xFF000000u, 0xFF373737u);
  EXPECT_EQ(Q->Palette.size(), 256u);
  // An animated GIF's frames are mapped to the shared palette too.
  TGifWriter W(2, 1, {60, 60, 60, 0, 0, 0});
  W.Frame(Solid(0, 0, 2, 1, 0));
  W.Frame(Solid(0, 0, 2, 1, 1));
  bool Single = true;
  auto G = CreateAGifFromStream(W.Finish(), Single);
  ASSERT_TRUE(G);
  EXPECT_FALSE(Single);
  EXPECT_EQ(G->Composite().ScanLine(0)[0] | 0xFF000000u, 0xFF373737u);
  SetDisplayColorBits(4);
  EXPECT_TRUE(ThePalette().empty());
  auto B = LoadImageFromFile(ImagePath("bmp24.bmp"), true);
  ASSERT_TRUE(B);
  // Below 8 bits: dithered into the twenty stock colours.
  std::vector<TColor> Sys = DefaultSystemPalette();
  for (int X = 0; X < B->Width(); ++X) {
    TColor C = ArgbToColor(B->ScanLine(5)[X]);
    bool Stock = false;
    for (int I = 0; I < 256; I = I == 9 ? 246 : I + 1) Stock = Stock || Sys[size_t(I)] == C;
    EXPECT_TRUE(Stock) << X;
  }
}

TEST(Dib, HeaderSizesAndRoundTrip) {
  auto B = LoadImageFromFile(ImagePath("bmp24.bmp"), true);
  ASSERT_TRUE(B);
  TDib D(*B);
  EXPECT_EQ(D.Header().BitCount, 24);
  EXPECT_EQ(D.InfoSize(), 40);
  EXPECT_EQ(D.BitsSize(), 72 * 17); // 23 x 3 bytes padded to 72, 17 rows
  auto Back = D.ToDeviceBitmap();
  for (int Y = 0; Y < 17; ++Y)
    for (int X = 0; X < 23; ++X) ASSERT_EQ(Back->ScanLine(Y)[X] | 0xFF000000u, B->ScanLine(Y)[X] | 0xFF000000u);
  B->Palette = BuildGlobalPalette();
  TDib E(*B);
  EXPECT_EQ(E.Header().BitCount, 8);
  EXPECT_EQ(E.InfoSize(), 40 + 1024);
  EXPECT_EQ(E.BitsSize(), 24 * 17);
  TBitmap Target(40, 40);
  Target.Fill(clWhite);
  D.StretchTo(Target.Canvas(), 0, 0, 46, 34, cmSrcCopy);
  EXPECT_EQ(Target.ScanLine(2)[2] | 0xFF000000u, B->ScanLine(1)[1] | 0xFF000000u);
  // A DIB that cannot be made frees the cached pictures nobody uses, then raises.
  BitmapList().Clear();
  BitmapList().AddObject("UNUSED", Item());
  BitmapList().ReleaseUse("UNUSED");
  BitmapList().AddObject("USED", Item());
  TBitmap None;
  EXPECT_THROW(TDib{None}, Exception);
  EXPECT_EQ(BitmapList().Count(), 1);
  EXPECT_EQ(BitmapList().IndexOf("USED"), 0);
  BitmapList().Clear();
}

TEST(PrintWithMask, OnlyOpaquePixelsAreDrawn) {
  auto G = LoadImageFromFile(ImagePath("gif_transparent.gif"), false);
  TTransparency T = NotTransp;
  std::unique_ptr<TBitmap> M;
  auto I = LoadImageWithMask(ImagePath("gif_transparent.gif"), T, M);
  ASSERT_TRUE(I);
  ASSERT_TRUE(M);
  TBitmap Page(40, 40);
  Page.Fill(clBlue);
  PrintBitmapWithMask(Page.Canvas(), *I, *M, 0, 0, 20, 16);
  EXPECT_EQ(Page.ScanLine(1)[1] | 0xFF000000u, 0xFFFFFF00u);  // yellow, stretched twice
  EXPECT_EQ(Page.ScanLine(7)[9] | 0xFF000000u, 0xFF0000FFu);  // the hole: the page
  EXPECT_EQ(Page.ScanLine(30)[30] | 0xFF000000u, 0xFF0000FFu);
}

TEST(ImageCache, AgeingWithLimitZero) {
  TStringBitmapList L;
  L.SetCacheLimit(0);
  L.AddObject(" pic.gif ", Item()); // the document using it holds one use
  EXPECT_EQ(L.IndexOf("PIC.GIF"), 0);
  L.ReleaseUse("pic.gif"); // that document goes
  L.AgeAndPrune();         // the next one is loaded
  EXPECT_EQ(L.Count(), 0);
}

TEST(ImageCache, AgeingWithLimitFive) {
  TStringBitmapList L;
  EXPECT_EQ(L.MaxCache, DefaultImageCacheCount); // the viewer's default applies from the start
  L.SetCacheLimit(5);
  L.AddObject("A.BMP", Item());
  L.ReleaseUse("A.BMP");
  for (int Doc = 1; Doc <= 5; ++Doc) {
    L.AgeAndPrune();
    EXPECT_EQ(L.Count(), 1) << "survives document " << Doc;
  }
  L.AgeAndPrune();
  EXPECT_EQ(L.Count(), 0); // freed when the sixth is loaded
}

TEST(ImageCache, TakingResetsTheAgeAndUsesKeepItemsAlive) {
  TStringBitmapList L;
  L.SetCacheLimit(1);
  L.AddObject("B", Item());
  L.AddObject("A", Item());
  EXPECT_EQ(L.Strings(0), "A"); // sorted
  L.ReleaseUse("A");
  L.ReleaseUse("B");
  L.AgeAndPrune();
  int I = L.IndexOf("a");
  ASSERT_GE(I, 0);
  TCachedImage Img = L.TakeImage(I);
  EXPECT_TRUE(Img.Bitmap);
  EXPECT_EQ(L.Objects(I)->Age, 0);
  L.AddUse("B"); // copied for printing
  for (int Doc = 0; Doc < 10; ++Doc) L.AgeAndPrune();
  EXPECT_EQ(L.Count(), 2); // both in use: never freed by ageing
  L.ReleaseUse("A");
  L.SetCacheLimit(3); // lowering the limit frees the unused old ones at once
  EXPECT_EQ(L.Count(), 1);
  EXPECT_EQ(L.Strings(0), "B");
  L.ReleaseUse("B");
  L.ReleaseUse("nothing"); // absent: nothing happens
  L.PruneUnused();
  EXPECT_EQ(L.Count(), 0);
  L.AddObject("C", Item());
  L.Clear();
  EXPECT_EQ(L.Count(), 0);
}

TEST(ImageCache, HoldsAnimatedGifs) {
  TStringBitmapList L;
  bool Single = true;
  auto G = CreateAGif(ImagePath("gif_loop3.gif"), Single);
  ASSERT_TRUE(G);
  TGIFImage *Raw = G.get();
  L.AddObject("LOOP.GIF", std::make_unique<TBitmapItem>(std::move(G), nullptr, TGif));
  TCachedImage C = L.TakeImage(0);
  EXPECT_EQ(C.Gif, Raw);
  EXPECT_EQ(C.Bitmap, nullptr);
}

TEST(ImageCache, ThePagesBackgroundPictureIsGivenBackWithThePage) {
  BitmapList().Clear();
  const std::string Tile = ImagePath("bmp24.bmp");
  const std::string Key = TStringBitmapList::Key(Tile);
  auto Uses = [&] {
    const int I = BitmapList().IndexOf(Key);
    return I < 0 ? -1 : BitmapList().Objects(I)->UsageCount;
  };
  {
    TSectionList Page;
    Page.SetBackgroundBitmap(Tile);
    ASSERT_TRUE(Page.GetBackgroundBitmap());
    Page.GetBackgroundBitmap(); // loaded once per page: no second use
    EXPECT_EQ(Uses(), 1);
    Page.Clear(); // the next page comes
    EXPECT_EQ(Uses(), 0);
    EXPECT_EQ(Page.BackgroundBitmap, nullptr);
    // Freed by ageing like any picture that no page shows.
    const int Limit = BitmapList().MaxCache;
    BitmapList().SetCacheLimit(0);
    BitmapList().AgeAndPrune();
    EXPECT_EQ(Uses(), -1);
    BitmapList().SetCacheLimit(Limit);
    // A page that goes (the viewer closing) gives its use back too.
    Page.SetBackgroundBitmap(Tile);
    ASSERT_TRUE(Page.GetBackgroundBitmap());
    EXPECT_EQ(Uses(), 1);
  }
  EXPECT_EQ(Uses(), 0);
  // An animated picture is no background: the use it took is given back at once.
  {
    TSectionList Page;
    Page.SetBackgroundBitmap(ImagePath("gif_loop3.gif"));
    EXPECT_EQ(Page.GetBackgroundBitmap(), nullptr);
    const int I = BitmapList().IndexOf(TStringBitmapList::Key(ImagePath("gif_loop3.gif")));
    ASSERT_GE(I, 0);
    EXPECT_EQ(BitmapList().Objects(I)->UsageCount, 0);
  }
  BitmapList().Clear();
}

TEST(DefaultPictures, ContactSheetOfDecodedPictures) {
  // Every kind of picture drawn side by side, saved for a person to look at.
  TBitmap Sheet(360, 120);
  Sheet.Fill(RGB(220, 230, 240));
  int X = 4;
  for (const char *Name : {"bmp24.bmp", "bmp8_rle.bmp", "bmp4_rle.bmp", "bmp1.bmp", "jpeg_baseline.jpg",
                           "jpeg_grey.jpg", "gif_photo_interlaced.gif", "gif_transparent.gif"}) {
    auto B = LoadImageFromFile(ImagePath(Name), true);
    ASSERT_TRUE(B) << Name;
    Sheet.Canvas().Draw(X, 4, *B);
    X += B->Width() + 4;
  }
  TBitmap &E = ErrorBitmap();
  Sheet.Canvas().MaskBlt(4, 70, E.Width(), E.Height(), E, 0, 0, ErrorBitmapMask(), 0, 0);
  Sheet.Canvas().Draw(34, 70, DefBitmap());
  auto G = std::make_unique<TGIFImage>();
  ASSERT_TRUE(G->LoadFromStream(ReadAll(ImagePath("gif_dispose_Previous.gif"))));
  for (int F = 1; F <= 3; ++F) {
    G->SetCurrentFrame(F);
    G->Draw(Sheet.Canvas(), nullptr, 64 + (F - 1) * 44, 70, 40, 32);
  }
  InstallViewerCursors();
  ASSERT_TRUE(Sheet.SaveToPng(std::string(VORNELLE_BINARY_DIR) + "/image_contact_sheet.png"));
  // The corner of the error picture's sheet is drawn, its outside left as it was.
  EXPECT_EQ(Sheet.ScanLine(70)[4] | 0xFF000000u, ColorToArgb(RGB(220, 230, 240)));
  EXPECT_EQ(Sheet.ScanLine(71)[4 + 2] | 0xFF000000u, 0xFF404040u);
  // Frame 3 of the disposal picture, at double size: blue at (10..17, 8..13).
  EXPECT_EQ(Sheet.ScanLine(70 + 22)[64 + 88 + 26] | 0xFF000000u, 0xFF0000FFu);
}

TEST(PictureBudget, PicturesPastItShowTheErrorPictureAndThePageStaysUsable) {
  struct TRestore {
    int64_t Saved = PictureBudget();
    ~TRestore() { SetPictureBudget(Saved); }
  } Restore;
  // Every file declares 256 x 256 pixels, 256 KB decoded: the budget holds four.
  constexpr int64_t Each = 256 * 256 * 4;
  SetPictureBudget(4 * Each);
  auto Page = [](int From, int To) {
    std::string P = "<p>";
    for (int I = From; I < To; ++I)
      P += "<img src=\"" + TempFile("budget" + std::to_string(I) + ".bmp", SparseBmp(256, 256)) +
           "\" alt=\"picture " + std::to_string(I) + "\">";
    return P;
  };
  TLaidOutDoc D;
  D.List.OnBitmapRequest = nullptr; // the pictures are files
  D.Parse(Page(0, 10));
  EXPECT_GT(D.Layout(600), 256);
  D.Draw();
  ASSERT_EQ(D.List.ImageList.size(), 10u);
  EXPECT_EQ(PictureBytesInUse(), 4 * Each);
  for (int I = 0; I < 10; ++I) {
    const TImageObj &Img = *D.List.ImageList[size_t(I)];
    EXPECT_EQ(Img.IsError, I >= 4) << I;
    EXPECT_EQ(Img.ObjWidth == 256, I < 4) << I;
    EXPECT_EQ(Img.Alt, "picture " + std::to_string(I));
  }
  // The next page: the pictures no page shows any more make room for its own.
  D.List.Clear();
  D.Parse(Page(10, 14));
  D.Layout(600);
  ASSERT_EQ(D.List.ImageList.size(), 4u);
  for (const TImageObj *Img : D.List.ImageList) EXPECT_FALSE(Img->IsError) << Img->Alt;
  EXPECT_EQ(PictureBytesInUse(), 4 * Each);
  D.List.Clear();
  BitmapList().Clear();
  EXPECT_EQ(PictureBytesInUse(), 0);

  // An animated picture: its frames and composite (3 x 32 x 32 x 4 bytes) are cached
  // once, and every picture showing it has a composite of its own; room for one here.
  TGifWriter W(32, 32, Table8());
  W.Frame(Solid(0, 0, 32, 32, 1));
  W.Frame(Solid(0, 0, 32, 32, 2));
  const std::string Gif = TempFile("budget_anim.gif", W.Finish());
  SetPictureBudget(4 * 32 * 32 * 4);
  D.Parse("<p><img src=\"" + Gif + "\" alt=first><img src=\"" + Gif + "\" alt=second>");
  D.Layout(600);
  ASSERT_EQ(D.List.ImageList.size(), 2u);
  EXPECT_TRUE(D.List.ImageList[0]->Gif);
  EXPECT_TRUE(D.List.ImageList[1]->IsError);
  EXPECT_EQ(PictureBytesInUse(), 4 * 32 * 32 * 4);
  // With nothing left, another animated picture is refused.
  const std::string Other = TempFile("budget_anim2.gif", W.Out);
  D.List.Clear();
  D.Parse("<p><img src=\"" + Gif + "\"><img src=\"" + Other + "\">");
  D.Layout(600);
  EXPECT_TRUE(D.List.ImageList[1]->IsError);
  EXPECT_EQ(PictureBytesInUse(), 4 * 32 * 32 * 4);
}

TEST(PictureBudget, WhatLiesOutsideEveryFrameCostsNothing) {
  struct TRestore {
    int64_t Saved = PictureBudget();
    ~TRestore() { SetPictureBudget(Saved); }
  } Restore;
  SetPictureBudget(1 << 20);
  // Different files, each a 4096 x 4096 screen around one pixel, still or animated:
  // each costs its pixels, so a budget of 1 MB holds them all.
  std::string Page = "<p>";
  for (int I = 0; I < 6; ++I) {
    TGifWriter W(4096, 4096, Table8());
    W.Frame(Solid(I, 0, 1, 1, uint8_t(I)));
    if (I % 2) W.Frame(Solid(I + 1, 0, 1, 1, 2));
    Page += "<img src=\"" + TempFile("screen" + std::to_string(I) + ".gif", W.Finish()) + "\">";
  }
  TLaidOutDoc D;
  D.List.OnBitmapRequest = nullptr; // the pictures are files
  D.Parse(Page);
  D.Layout(600);
  ASSERT_EQ(D.List.ImageList.size(), 6u);
  for (int I = 0; I < 6; ++I) {
    const TImageObj &Img = *D.List.ImageList[size_t(I)];
    EXPECT_FALSE(Img.IsError) << I;
    EXPECT_EQ(Img.Gif != nullptr, I % 2 == 1) << I;
  }
  EXPECT_LT(PictureBytesInUse(), 1024);
  D.List.Clear();
  BitmapList().Clear();
}

// The viewer's GIF image: frames, disposal, loops and timing on a fake clock, drawing
// over the document's background, copies, and files that must fail or keep what they had.
#include <gtest/gtest.h>

#include "htmlview/gif_image.h"
#include "image_test_support.h"
#include "platform/canvas.h"

using namespace imgtest;

namespace {

constexpr uint32_t Red = 0xFFFF0000u, Green = 0xFF00FF00u, Blue = 0xFF0000FFu,
                   Black = 0xFF000000u, Yellow = 0xFFFFFF00u;

// The animation clock, moved by hand.
struct TFakeClock {
  uint32_t Now = 1000;
  TFakeClock() { TGIFImage::Clock = [this] { return Now; }; }
  ~TFakeClock() { TGIFImage::Clock = nullptr; }
};

uint32_t At(const TBitmap &B, int X, int Y) { return B.ScanLine(Y)[X] | 0xFF000000u; }

std::unique_ptr<TGIFImage> Load(const std::vector<uint8_t> &Data) {
  auto G = std::make_unique<TGIFImage>();
  if (!G->LoadFromStream(Data)) return nullptr;
  return G;
}

} // namespace

TEST(GifImage, DisposalMethodsOfFilesFromImageMagick) {
  // Frame 1 fills the 20 x 16 screen red, frame 2 is green at (2, 3), frame 3 blue at
  // (10, 8). What shows at (3, 4) under frame 3 depends on frame 2's disposal.
  struct { const char *File; int Disposal; uint32_t Under; } Cases[] = {
      {"gif_dispose_None.gif", 1, Green},
      {"gif_dispose_Background.gif", 2, Black},
      {"gif_dispose_Previous.gif", 3, Red},
  };
  for (auto &C : Cases) {
    auto G = Load(ReadAll(ImagePath(C.File)));
    ASSERT_TRUE(G) << C.File;
    ASSERT_EQ(G->FrameCount, 3) << C.File;
    EXPECT_TRUE(G->Animated);
    EXPECT_EQ(G->LoopLimit, 0) << C.File; // -loop 0: endless
    EXPECT_EQ(G->Frame(2).Disposal, C.Disposal) << C.File;
    EXPECT_EQ(At(G->Composite(), 3, 4), Red) << C.File;
    G->SetCurrentFrame(2);
    EXPECT_EQ(At(G->Composite(), 3, 4), Green) << C.File;
    G->SetCurrentFrame(3);
    EXPECT_EQ(At(G->Composite(), 3, 4), C.Under) << C.File;
    EXPECT_EQ(At(G->Composite(), 12, 10), Blue) << C.File;
    EXPECT_EQ(At(G->Composite(), 19, 0), Red) << C.File;
  }
}

TEST(GifImage, InterlacedAnimationWithLocalTables) {
  auto G = Load(ReadAll(ImagePath("gif_anim_interlaced.gif")));
  ASSERT_TRUE(G);
  ASSERT_EQ(G->FrameCount, 2);
  EXPECT_TRUE(G->Frame(1).Interlaced);
  EXPECT_EQ(At(G->Composite(), 19, 15), Red);
  G->SetCurrentFrame(2);
  EXPECT_EQ(At(G->Composite(), 4 + 7, 4 + 5), Green);
  EXPECT_EQ(At(G->Composite(), 3, 3), Red);
}

TEST(GifImage, SingleFrameWithoutExtensions) {
  TGifWriter W(3, 2, Table8());
  TGifFrameSpec F = Solid(0, 0, 3, 2, 2);
  F.Control = false;
  W.Frame(F);
  auto G = Load(W.Finish());
  ASSERT_TRUE(G);
  EXPECT_FALSE(G->Animated);
  EXPECT_EQ(G->LoopLimit, 1);
  EXPECT_EQ(G->Frame(1).Delay, 0);
  EXPECT_EQ(At(G->Composite(), 2, 1), Blue);
}

TEST(GifImage, HeaderAndTrailerOnlyFailsToLoad) {
  TGifWriter W(3, 2, Table8());
  EXPECT_FALSE(Load(W.Finish()));
  bool NonAnimated = false;
  TGifWriter W2(3, 2, Table8());
  EXPECT_EQ(CreateAGifFromStream(W2.Finish(), NonAnimated), nullptr);
}

TEST(GifImage, CorruptRasterFailsToLoad) {
  TGifWriter W(2, 2, Table8());
  W.Out.push_back(0x2C);
  W.U16(0); W.U16(0); W.U16(2); W.U16(2);
  W.Out.push_back(0);
  W.Out.insert(W.Out.end(), {12, 2, 0xFF, 0xFF, 0}); // minimum code size 12
  EXPECT_FALSE(Load(W.Finish()));
}

TEST(GifImage, TruncatedFileKeepsTheRowsItHad) {
  TGifWriter W(20, 16, Table8());
  W.Frame(Solid(0, 0, 20, 16, 2));
  std::vector<uint8_t> D = W.Out;
  // Literal codes: 9 bits a pixel; cut the data after about half of the 320 pixels.
  D.resize(D.size() - 180);
  auto G = Load(D);
  ASSERT_TRUE(G);
  EXPECT_EQ(G->Frame(1).Status, TGifStatus::Truncated);
  EXPECT_EQ(At(G->Composite(), 5, 0), Blue);
  // The pixels the data never reached keep index 0 of the zeroed buffer: red.
  EXPECT_EQ(At(G->Composite(), 5, 15), Red);
}

TEST(GifImage, FrameBeyondTheLogicalScreenEnlargesIt) {
  TGifWriter W(4, 4, Table8());
  W.Frame(Solid(0, 0, 4, 4, 0));
  W.Frame(Solid(2, 2, 5, 3, 1));
  auto G = Load(W.Finish());
  ASSERT_TRUE(G);
  EXPECT_EQ(G->ScreenWidth, 7);
  EXPECT_EQ(G->ScreenHeight, 5);
  G->SetCurrentFrame(2);
  EXPECT_EQ(At(G->Composite(), 6, 4), Green);
}

TEST(GifImage, TheCompositeCoversTheFramesNotTheScreen) {
  // A few bytes that declare a 4096 x 4096 screen around one pixel cost one pixel.
  TGifWriter Huge(4096, 4096, Table8());
  Huge.Frame(Solid(7, 9, 1, 1, 2));
  auto G = Load(Huge.Finish());
  ASSERT_TRUE(G);
  EXPECT_EQ(G->ScreenWidth, 4096);
  EXPECT_EQ(G->Composite().Width(), 1);
  EXPECT_EQ(G->Composite().Height(), 1);
  EXPECT_LT(G->PictureBytes(), 64);
  // What lies outside every frame still draws as the screen: black around an opaque
  // picture, the canvas showing through a transparent one.
  TGifWriter W(8, 6, Table8());
  W.Frame(Solid(2, 3, 1, 1, 2));
  TGifFrameSpec F = Solid(5, 1, 2, 1, 1);
  F.TransparentIndex = 3;
  F.Pixels[1] = 3;
  W.Frame(F);
  G = Load(W.Finish());
  ASSERT_TRUE(G);
  EXPECT_EQ(G->Composite().Width() * G->Composite().Height(), 5 * 3);
  TBitmap Target(20, 16);
  Target.Fill(clWhite);
  G->Draw(Target.Canvas(), nullptr, 1, 1, 8, 6);
  EXPECT_EQ(At(Target, 1 + 2, 1 + 3), Blue);
  EXPECT_EQ(At(Target, 1, 1), Black);
  EXPECT_EQ(At(Target, 1 + 7, 1 + 5), Black);
  EXPECT_EQ(At(Target, 0, 0), 0xFFFFFFFFu);
  G->SetCurrentFrame(2);
  Target.Fill(clWhite);
  G->Draw(Target.Canvas(), nullptr, 0, 0, 16, 12); // twice the size
  EXPECT_EQ(At(Target, 5, 7), Blue);
  EXPECT_EQ(At(Target, 10, 2), Green);
  EXPECT_EQ(At(Target, 11, 3), Green);
  EXPECT_EQ(At(Target, 12, 2), Black); // frame 2's hole, over frame 1's black
  EXPECT_EQ(At(Target, 15, 11), Black);
}

TEST(GifImage, The257thFrameIsIgnored) {
  TGifWriter W(2, 2, Table8());
  for (int I = 0; I < 257; ++I) W.Frame(Solid(0, 0, 2, 2, uint8_t(I % 8)));
  auto G = Load(W.Finish());
  ASSERT_TRUE(G);
  EXPECT_EQ(G->FrameCount, 256);
}

TEST(GifImage, DisposalFourToSevenActsAsTwo) {
  for (int D = 4; D < 8; ++D) {
    TGifWriter W(4, 4, Table8());
    W.Frame(Solid(0, 0, 4, 4, 0));
    TGifFrameSpec F = Solid(1, 1, 2, 2, 1);
    F.Disposal = D;
    W.Frame(F);
    W.Frame(Solid(3, 3, 1, 1, 2));
    auto G = Load(W.Finish());
    ASSERT_TRUE(G);
    EXPECT_EQ(G->Frame(2).Disposal, 2);
    G->SetCurrentFrame(2);
    G->SetCurrentFrame(3);
    EXPECT_EQ(At(G->Composite(), 1, 1), Black) << D;
  }
}

TEST(GifAnimation, LoopCountThreeStopsOnTheLastFrameOfTheThirdLoop) {
  TFakeClock Clock;
  auto G = Load(ReadAll(ImagePath("gif_loop3.gif")));
  ASSERT_TRUE(G);
  ASSERT_EQ(G->FrameCount, 3);
  EXPECT_EQ(G->LoopLimit, 3);
  EXPECT_EQ(G->Frame(1).Delay, 0);
  EXPECT_EQ(G->Frame(2).Delay, 200);
  EXPECT_EQ(G->Frame(3).Delay, 500);
  G->SetAnimate(true);
  int Frames = 0;
  for (int Tick = 0; Tick < 1000 && G->Animate(); ++Tick) {
    Clock.Now += 50; // the document's timer
    if (G->CheckTime()) ++Frames;
  }
  EXPECT_FALSE(G->Animate());
  EXPECT_EQ(G->CurrentLoop, 3);
  EXPECT_EQ(G->CurrentFrame, 3);
  EXPECT_EQ(Frames, 8); // frames 2, 3, then 1, 2, 3 twice
}

TEST(GifAnimation, LoopCountZeroIsEndless) {
  TFakeClock Clock;
  TGifWriter W(2, 2, Table8());
  W.Loop(0);
  W.Frame(Solid(0, 0, 2, 2, 0));
  W.Frame(Solid(0, 0, 2, 2, 1));
  auto G = Load(W.Finish());
  ASSERT_TRUE(G);
  G->SetAnimate(true);
  for (int Tick = 0; Tick < 500; ++Tick) {
    Clock.Now += 50;
    G->CheckTime();
  }
  EXPECT_TRUE(G->Animate());
}

TEST(GifAnimation, DelaysAndSpeed) {
  TFakeClock Clock;
  auto G = Load(ReadAll(ImagePath("gif_loop3.gif")));
  ASSERT_TRUE(G);
  G->SetAnimate(true);
  // Delay 0 gives the shortest interval: 1 ms, so every tick is due.
  EXPECT_EQ(G->Interval(), 1);
  Clock.Now += 1;
  EXPECT_FALSE(G->CheckTime()); // the first due tick after loading only clears its flag
  Clock.Now += 1;
  EXPECT_TRUE(G->CheckTime());
  EXPECT_EQ(G->CurrentFrame, 2);
  EXPECT_EQ(G->Interval(), 200);
  Clock.Now += 199;
  EXPECT_FALSE(G->CheckTime());
  Clock.Now += 1;
  EXPECT_TRUE(G->CheckTime());
  EXPECT_EQ(G->Interval(), 500);
  G->SetAnimateSpeed(200); // twice as fast: half of every delay
  Clock.Now += 500;
  EXPECT_TRUE(G->CheckTime());
  Clock.Now += 1;
  EXPECT_TRUE(G->CheckTime());
  EXPECT_EQ(G->CurrentFrame, 2);
  EXPECT_EQ(G->Interval(), 100);
  G->SetAnimateSpeed(0); // would divide by zero: counts as 1 percent
  EXPECT_EQ(G->AnimateSpeed(), 1);
}

TEST(GifAnimation, TickInvalidatesTheLastDrawnRectangle) {
  TFakeClock Clock;
  auto G = Load(ReadAll(ImagePath("gif_loop3.gif")));
  ASSERT_TRUE(G);
  TBitmap Target(60, 60);
  G->Draw(Target.Canvas(), nullptr, 5, 6, 20, 16);
  G->SetAnimate(true);
  std::vector<TRect> Asked;
  for (int I = 0; I < 3; ++I) {
    Clock.Now += 50;
    G->CheckTime([&](const TRect &R) { Asked.push_back(R); });
  }
  ASSERT_FALSE(Asked.empty());
  EXPECT_EQ(Asked[0], Rect(5, 6, 25, 22));
}

TEST(GifDraw, TransparentPictureOverTheDocumentBackground) {
  auto G = Load(ReadAll(ImagePath("gif_transparent.gif")));
  ASSERT_TRUE(G);
  ASSERT_TRUE(G->IsTransparent);
  TBitmap Target(30, 30);
  Target.Fill(clBlue);
  TGifBackdrop Back;
  Back.Color = clLime;
  G->Draw(Target.Canvas(), &Back, 2, 3, 10, 8);
  EXPECT_EQ(At(Target, 2, 3), Yellow);
  EXPECT_EQ(At(Target, 2 + 4, 3 + 3), Green); // the hole shows the document's colour
  EXPECT_EQ(At(Target, 20, 20), Blue);        // outside the picture: untouched
  // Stretched to twice the size, the hole doubles.
  G->Draw(Target.Canvas(), &Back, 0, 0, 20, 16);
  EXPECT_EQ(At(Target, 7, 5), Green);
  EXPECT_EQ(At(Target, 1, 1), Yellow);
}

TEST(GifDraw, BackgroundPictureTilesLineUpWithTheDocument) {
  auto G = Load(ReadAll(ImagePath("gif_transparent.gif")));
  ASSERT_TRUE(G);
  // A 4 x 4 tile: red on even columns of tiles... simplest: left half red, right half blue.
  std::vector<uint32_t> Px(16);
  for (int I = 0; I < 16; ++I) Px[size_t(I)] = (I % 4) < 2 ? Red : Blue;
  TBitmap Tile = TBitmap::FromRgb32(4, 4, Px.data());
  TGifBackdrop Back;
  Back.Image = &Tile;
  TBitmap Target(30, 30);
  // At X = 5 the document's tiling has a tile starting at 4: x = 5 is in its red half,
  // x = 6 in its blue half; the hole spans x = 8..11.
  G->Draw(Target.Canvas(), &Back, 5, 0, 10, 8);
  EXPECT_EQ(At(Target, 8, 3), Red);   // document x 8: tile column 0
  EXPECT_EQ(At(Target, 10, 3), Blue); // document x 10: tile column 2
}

TEST(GifDraw, FramesLeftInPlacePileUpOverTheirBoxOnly) {
  // A 4096 x 4096 screen around three pixels keeps a background of three pixels.
  TGifWriter W(4096, 4096, Table8());
  TGifFrameSpec F = Solid(7, 9, 3, 1, 2);
  F.Pixels[1] = F.Pixels[2] = 3;
  F.TransparentIndex = 3;
  W.Frame(F);
  auto G = Load(W.Finish());
  ASSERT_TRUE(G);
  std::vector<uint32_t> Px(16);
  for (int I = 0; I < 16; ++I) Px[size_t(I)] = (I % 4) < 2 ? Red : Green;
  const TBitmap Tile = TBitmap::FromRgb32(4, 4, Px.data());
  TGifBackdrop Back;
  Back.Image = &Tile;
  TBitmap Target(10, 4);
  Target.Fill(clWhite);
  G->Draw(Target.Canvas(), &Back, -5, -8, 4096, 4096); // the box lands at (2, 1)
  ASSERT_NE(G->PiledBackground(), nullptr);
  EXPECT_EQ(G->PiledBackground()->Width() * G->PiledBackground()->Height(), 3);
  EXPECT_EQ(At(Target, 2, 1), Blue);
  EXPECT_EQ(At(Target, 3, 1), Green); // document x 3: the tile's right half
  EXPECT_EQ(At(Target, 4, 1), Red);   // document x 4: the next tile's left half
  for (TPoint P : {TPoint(0, 0), TPoint(1, 1), TPoint(5, 1), TPoint(2, 2)})
    EXPECT_EQ(At(Target, P.X, P.Y), 0xFFFFFFFFu); // outside every frame: left alone
}

TEST(GifDraw, DisposalTwoDrawsStraightOntoTheCanvas) {
  TGifWriter W(4, 1, Table8());
  TGifFrameSpec F;
  F.Width = 4;
  F.Pixels = {0, 3, 3, 0};
  F.TransparentIndex = 3;
  F.Disposal = 2;
  W.Frame(F);
  auto G = Load(W.Finish());
  ASSERT_TRUE(G);
  TBitmap Target(6, 3);
  Target.Fill(clBlue);
  G->Draw(Target.Canvas(), nullptr, 1, 1, 4, 1);
  EXPECT_EQ(At(Target, 1, 1), Red);
  EXPECT_EQ(At(Target, 2, 1), Blue); // transparent: the canvas shows through
  EXPECT_EQ(At(Target, 4, 1), Red);
}

TEST(GifImage, MaskedBitmapIsFrameOneAtTheOrigin) {
  TGifWriter W(10, 10, Table8());
  TGifFrameSpec F;
  F.Left = 3;
  F.Top = 2;
  F.Width = 2;
  F.Height = 2;
  F.Pixels = {0, 1, 3, 2};
  F.TransparentIndex = 3;
  W.Frame(F);
  auto G = Load(W.Finish());
  ASSERT_TRUE(G);
  const TBitmap *M = G->GetMaskedBitmap();
  ASSERT_NE(M, nullptr);
  ASSERT_EQ(M->Width(), 2);
  EXPECT_EQ(At(*M, 0, 0), Red);
  EXPECT_EQ(At(*M, 1, 0), Green);
  EXPECT_EQ(At(*M, 1, 1), Blue);
  EXPECT_EQ(At(*M, 0, 1), 0xFFFFFFFFu); // transparent: the transparent colour (white)
  const TBitmap *Mask = G->GetMask();
  ASSERT_NE(Mask, nullptr);
  EXPECT_EQ(At(*Mask, 0, 1), 0xFFFFFFFFu);
  EXPECT_EQ(At(*Mask, 0, 0), Black);
  EXPECT_EQ(G->GetMaskedBitmap(), M); // cached
}

TEST(GifImage, CopiesShareFramesAndOutliveTheOriginal) {
  TFakeClock Clock;
  auto G = Load(ReadAll(ImagePath("gif_dispose_Previous.gif")));
  ASSERT_TRUE(G);
  G->SetCurrentFrame(2);
  std::unique_ptr<TGIFImage> C = TGIFImage::CreateCopy(*G);
  EXPECT_TRUE(C->IsCopy);
  EXPECT_EQ(C->CurrentFrame, 1);
  EXPECT_EQ(At(C->Composite(), 3, 4), Red); // its own composite, at frame 1
  G.reset();
  C->SetCurrentFrame(2);
  C->SetCurrentFrame(3);
  EXPECT_EQ(At(C->Composite(), 3, 4), Red);
  EXPECT_EQ(At(C->Composite(), 12, 10), Blue);
}

TEST(GifImage, ScanOnlyReadsTheLayoutWithoutPixels) {
  TGIFImage G;
  ASSERT_TRUE(G.ScanFromStream(ReadAll(ImagePath("gif_loop3.gif"))));
  EXPECT_EQ(G.FrameCount, 3);
  EXPECT_TRUE(G.Animated);
  EXPECT_EQ(G.GetBitmap(), nullptr);
  bool NonAnimated = true;
  auto A = CreateAGif(ImagePath("gif_loop3.gif"), NonAnimated);
  ASSERT_TRUE(A);
  EXPECT_FALSE(NonAnimated);
  EXPECT_FALSE(A->ShowIt);
  EXPECT_EQ(CreateAGif(ImagePath("missing.gif"), NonAnimated), nullptr);
}

namespace {

// A 4 x 1 picture over Table8 whose raster is the given LZW data (minimum code size byte
// and sub-blocks), transparent index Transparent when not -1.
std::vector<uint8_t> RawGif(const std::vector<uint8_t> &Lzw, int Transparent = -1,
                            const std::vector<uint8_t> &Before = {}) {
  TGifWriter W(4, 1, Table8());
  W.Out.insert(W.Out.end(), Before.begin(), Before.end());
  if (Transparent >= 0)
    W.Out.insert(W.Out.end(), {0x21, 0xF9, 4, 1, 0, 0, uint8_t(Transparent), 0});
  W.Out.push_back(0x2C);
  W.U16(0); W.U16(0); W.U16(4); W.U16(1);
  W.Out.push_back(0);
  W.Out.insert(W.Out.end(), Lzw.begin(), Lzw.end());
  return W.Finish();
}

// Codes of Size bits each after the minimum code size MinCode, in sub-blocks.
std::vector<uint8_t> Packed(int MinCode, int Size, const std::vector<int> &Codes) {
  std::vector<uint8_t> Bytes;
  uint32_t Acc = 0;
  int N = 0;
  for (int C : Codes) {
    Acc |= uint32_t(C) << N;
    N += Size;
    while (N >= 8) { Bytes.push_back(uint8_t(Acc)); Acc >>= 8; N -= 8; }
  }
  if (N) Bytes.push_back(uint8_t(Acc));
  std::vector<uint8_t> Out{uint8_t(MinCode), uint8_t(Bytes.size())};
  Out.insert(Out.end(), Bytes.begin(), Bytes.end());
  Out.push_back(0);
  return Out;
}

std::vector<uint32_t> Row0(const TBitmap &B) {
  return std::vector<uint32_t>(B.ScanLine(0), B.ScanLine(0) + B.Width());
}

} // namespace

TEST(GifLegal, RasterWithoutAClearCode) {
  // Minimum code size 3 (clear 8, end 9): 0 2 then 10 = "0 2"; no end code either.
  auto G = Load(RawGif(Packed(3, 4, {0, 2, 10})));
  ASSERT_TRUE(G);
  EXPECT_EQ(Row0(G->Composite()), (std::vector<uint32_t>{Red, Blue, Red, Blue}));
  // With an end code and a transparent colour: the mask finds index 2 again.
  G = Load(RawGif(Packed(3, 4, {0, 2, 10, 9}), 2));
  ASSERT_TRUE(G);
  const TgfFrame &F = G->Frame(1);
  EXPECT_EQ(Row0(F.Bitmap), (std::vector<uint32_t>{Red, Black, Red, Black}));
  EXPECT_EQ(Row0(F.Mask), (std::vector<uint32_t>{Black, 0xFFFFFFFFu, Black, 0xFFFFFFFFu}));
}

TEST(GifLegal, UnknownExtensionBeforeTheFrame) {
  // Label 0x99 with two sub-blocks, then an ordinary frame.
  auto G = Load(RawGif(Packed(3, 4, {8, 1, 1, 1, 1, 9}), -1, {0x21, 0x99, 2, 7, 7, 1, 7, 0}));
  ASSERT_TRUE(G);
  EXPECT_EQ(G->FrameCount, 1);
  EXPECT_EQ(Row0(G->Composite()), std::vector<uint32_t>(4, Green));
}

TEST(GifLegal, MinimumCodeSizeEleven) {
  // Clear 2048, end 2049, 12-bit codes: 5 0, then 2050 ("5 0").
  auto G = Load(RawGif(Packed(11, 12, {2048, 5, 0, 2050, 2049})));
  ASSERT_TRUE(G);
  EXPECT_EQ(Row0(G->Composite()), (std::vector<uint32_t>{Yellow, Red, Yellow, Red}));
}

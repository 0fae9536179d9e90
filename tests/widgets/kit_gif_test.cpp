// The GIF picture class: reading, decoding on demand, writing, the LZW encoder checked
// against the decoder and against ImageMagick, and conversions from animated cursors.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/clipboard.h"
#include "platform/files.h"
#include "widgets/ani_file.h"
#include "widgets/kit_gif.h"

namespace {

// A GIF of one frame: W x H indices of a table of 2^Bits grey entries, LZW from the
// class's encoder, extensions inserted before the image descriptor.
std::vector<uint8_t> MakeGif(int W, int H, int Bits, const std::vector<uint8_t> &Idx,
                             const std::vector<uint8_t> &Before = {}, const char *Ver = "GIF89a",
                             int DescW = -1) {
  std::vector<uint8_t> G(Ver, Ver + 6);
  auto P16 = [&](int V) {
    G.push_back(uint8_t(V));
    G.push_back(uint8_t(V >> 8));
  };
  P16(W);
  P16(H);
  G.push_back(uint8_t(0x80 | ((Bits - 1) << 4) | (Bits - 1)));
  G.push_back(0);
  G.push_back(0);
  for (int I = 0; I < (1 << Bits); ++I)
    for (int K = 0; K < 3; ++K) G.push_back(uint8_t(I * 255 / ((1 << Bits) - 1)));
  G.insert(G.end(), Before.begin(), Before.end());
  G.push_back(',');
  P16(0);
  P16(0);
  P16(DescW < 0 ? W : DescW);
  P16(H);
  G.push_back(0);
  std::vector<uint8_t> L = EncodeGifLzw(Idx.data(), W, H, Bits, false);
  G.insert(G.end(), L.begin(), L.end());
  G.push_back(';');
  return G;
}

std::vector<uint8_t> Gce(uint8_t Packed, int Delay, uint8_t Index) {
  return {'!', 0xF9, 4, Packed, uint8_t(Delay), uint8_t(Delay >> 8), Index, 0};
}

void Load(TKitGIFImage &G, const std::vector<uint8_t> &Bytes) {
  TMemoryStream S(Bytes);
  G.LoadFromStream(S);
}

std::string ErrorOf(const std::function<void()> &F) {
  try {
    F();
  } catch (const std::exception &E) { return E.what(); }
  return "";
}

std::vector<uint8_t> Noise(int W, int H, int Bits, unsigned Seed) {
  std::mt19937 R(Seed);
  std::vector<uint8_t> V(size_t(W * H));
  for (uint8_t &B : V) B = uint8_t(R() & ((1u << Bits) - 1));
  return V;
}

// Reads the codes as the decoder sizes them and checks that the code after the last
// pixel is EndCode at that width, with nothing but padding after it. BeforeClear gets,
// for each ClearCode after the first, the code before it and the pixels read by then;
// Spacing, the number of codes read since the ClearCode before it.
::testing::AssertionResult
EndCodeAtDecoderWidth(const std::vector<uint8_t> &Lzw, int64_t Pixels,
                      std::vector<std::pair<int, int64_t>> *BeforeClear = nullptr,
                      std::vector<int> *Spacing = nullptr) {
  const int Min = Lzw[0];
  std::vector<uint8_t> D;
  size_t P = 1;
  while (P < Lzw.size() && Lzw[P]) {
    D.insert(D.end(), Lzw.begin() + std::ptrdiff_t(P + 1),
             Lzw.begin() + std::ptrdiff_t(P + 1 + Lzw[P]));
    P += 1 + Lzw[P];
  }
  const int Clear = 1 << Min, End = Clear + 1;
  int Size = Min + 1, Free = Clear + 2, Max = 2 * Clear, Old = -1;
  std::vector<int> Len(4096, 1);
  size_t Bit = 0;
  int64_t Out = 0;
  int Codes = -1; // the stream begins with a ClearCode
  auto Read = [&](int N) {
    int V = 0;
    for (int K = 0; K < N; ++K, ++Bit)
      if (Bit / 8 < D.size() && (D[Bit / 8] >> (Bit % 8)) & 1) V |= 1 << K;
    return V;
  };
  while (Out < Pixels) {
    if (Bit + size_t(Size) > D.size() * 8)
      return ::testing::AssertionFailure() << "data ends at pixel " << Out;
    int C = Read(Size);
    if (C == Clear) {
      if (BeforeClear && Old >= 0) BeforeClear->push_back({Old, Out});
      if (Spacing && Codes >= 0) Spacing->push_back(Codes);
      Codes = 0;
      Size = Min + 1;
      Free = Clear + 2;
      Max = 2 * Clear;
      Old = -1;
      continue;
    }
    if (C == End) return ::testing::AssertionFailure() << "EndCode early at pixel " << Out;
    ++Codes;
    int L = C < Clear ? 1 : C < Free ? Len[size_t(C)] : Len[size_t(Old)] + 1;
    if (Old >= 0 && Free < 4096) {
      Len[size_t(Free)] = Len[size_t(Old)] + 1;
      ++Free;
    }
    if (Free >= Max && Max < 4096) {
      Max <<= 1;
      ++Size;
    }
    Old = C;
    Out += L;
  }
  int C = Read(Size);
  if (C != End)
    return ::testing::AssertionFailure()
           << "code " << C << " at width " << Size << " instead of EndCode";
  if ((Bit + 7) / 8 != D.size()) return ::testing::AssertionFailure() << "bytes after EndCode";
  return ::testing::AssertionSuccess();
}

bool HaveConvert() { return std::system("convert -version > /dev/null 2>&1") == 0; }

std::string TempName(const std::string &Name) {
  return "/tmp/kitgif_" + std::to_string(::getpid()) + "_" + Name;
}

} // namespace

TEST(KitGifRead, SignatureAndVersion) {
  TKitGIFImage G;
  std::vector<uint8_t> I(4, 1);
  Load(G, MakeGif(2, 2, 1, I, {}, "gif89a"));
  EXPECT_EQ(G.Version, 2);
  EXPECT_EQ(G.FrameCount(), 1);
  Load(G, MakeGif(2, 2, 1, I, {}, "GIF87A"));
  EXPECT_EQ(G.Version, 1);
  EXPECT_EQ(ErrorOf([&] { Load(G, MakeGif(2, 2, 1, I, {}, "GIF90a")); }), "Unknown GIF version");
  EXPECT_EQ(ErrorOf([&] { Load(G, {'G', 'I', 'X', '8', '9', 'a', 0, 0}); }), "Unknown GIF version");
  EXPECT_EQ(ErrorOf([&] { Load(G, {'G', 'I', 'F', '8', '9', 'a', 1}); }), "Stream read error");
}

TEST(KitGifRead, LoopWidthAndSize) {
  std::vector<uint8_t> Ext{'!', 0xFF, 11,  'N', 'E', 'T', 'S',  'C',  'A', 'P',
                           'E', '2',  '.', '0', 3,   1,   0xFF, 0xFF, 0};
  TKitGIFImage G;
  Load(G, MakeGif(3, 2, 1, std::vector<uint8_t>(6, 1), Ext, "GIF89a", 0));
  EXPECT_TRUE(G.Looping);
  EXPECT_EQ(G.RepeatCount, 30000); // 65535 bounded
  EXPECT_EQ(G.Width(), 3);         // descriptor width 0: the screen's
  EXPECT_EQ(G.Height(), 2);
  EXPECT_EQ(ErrorOf([&] { G.SetWidth(5); }), "Cannot change the Size of a GIF image");
  EXPECT_EQ(ErrorOf([&] { G.SetHeight(5); }), "Cannot change the Size of a GIF image");
}

TEST(KitGifRead, GraphicControlFlagsAndDelay) {
  TKitGIFImage G;
  std::vector<uint8_t> I{0, 1, 2, 3};
  Load(G, MakeGif(2, 2, 2, I, Gce(0x01 | (2 << 2), 65535, 1)));
  EXPECT_EQ(G.Frame(0).TransparentColor, 0x555555u); // entry 1 of four greys
  EXPECT_EQ(G.Frame(0).AnimateInterval, 65535);      // not 655350 mod 65536 = 65526
  EXPECT_EQ(G.Frame(0).DisposalMethod, 2);
  EXPECT_TRUE(G.Transparent());
  Load(G, MakeGif(2, 2, 2, I, Gce(0x02, 7, 1))); // user input, not transparency
  EXPECT_EQ(G.Frame(0).TransparentColor, clNone);
  EXPECT_EQ(G.Frame(0).AnimateInterval, 70);
  EXPECT_FALSE(G.Transparent());
}

TEST(KitGifRead, UnknownExtensionsAreSkipped) {
  std::vector<uint8_t> Ext{'!', 0x2A, 3, 'a', 'b', 'c', 2, 'd', 'e', 0};
  TKitGIFImage G;
  Load(G, MakeGif(2, 1, 1, {0, 1}, Ext));
  ASSERT_EQ(G.FrameCount(), 1);
  EXPECT_EQ(G.Frame(0).Bitmap()->ScanLine(0)[1] & 0xFFFFFF, 0xFFFFFFu);
}

TEST(KitGifRead, TruncatedFrameIsCorruptedNotAnError) {
  std::vector<uint8_t> Bytes = MakeGif(64, 64, 8, Noise(64, 64, 8, 1));
  Bytes.resize(Bytes.size() - 300); // mid sub-block
  TKitGIFImage G;
  ASSERT_NO_THROW(Load(G, Bytes));
  ASSERT_EQ(G.FrameCount(), 1);
  EXPECT_TRUE(G.Frame(0).Corrupted);
  EXPECT_EQ(G.Width(), 64); // what could be decoded is shown
  // A data stream cut after a whole sub-block still decodes short: corrupted too.
  TKitGIFImage H;
  Load(H, MakeGif(8, 8, 1, std::vector<uint8_t>(64, 1)));
  EXPECT_FALSE(H.Frame(0).Corrupted);
  H.Frame(0).Bitmap();
  EXPECT_FALSE(H.Frame(0).Corrupted);
}

TEST(KitGifRead, NoColourTableGivesGreys) {
  std::vector<uint8_t> G{'G', 'I', 'F', '8', '7', 'a', 2, 0, 1, 0, 0, 0,
                         0,   ',', 0,   0,   0,   0,   2, 0, 1, 0, 0};
  uint8_t Idx[2] = {0, 3};
  std::vector<uint8_t> L = EncodeGifLzw(Idx, 2, 1, 2, false);
  G.insert(G.end(), L.begin(), L.end());
  G.push_back(';');
  TKitGIFImage P;
  Load(P, G);
  TBitmap *B = P.Frame(0).Bitmap();
  ASSERT_NE(B, nullptr);
  EXPECT_EQ(B->ScanLine(0)[0] & 0xFFFFFF, 0u);
  EXPECT_EQ(B->ScanLine(0)[1] & 0xFFFFFF, 0xFFFFFFu); // 4 greys from min code size 2
}

TEST(KitGifWrite, CodeSizesVersionAndLoopBlock) {
  for (auto [Bits, Min] : {std::pair{1, 2}, std::pair{4, 4}, std::pair{8, 8}}) {
    TKitGIFImage G;
    Load(G, MakeGif(5, 3, Bits, Noise(5, 3, Bits, unsigned(Bits)), {}, "GIF87a"));
    TBitmap B = *G.Frame(0).Bitmap();
    TKitGIFImage N;
    N.AddFrame(B);
    TMemoryStream S;
    N.SaveToStream(S);
    const TGIFItem &It = *N.Frame(0).ImageData;
    EXPECT_EQ(It.ImageData[0], Min) << Bits;
    EXPECT_EQ(std::string(S.Bytes.begin(), S.Bytes.begin() + 6), "GIF87a");
  }
  TKitGIFImage G;
  std::vector<uint8_t> Read = MakeGif(2, 2, 1, {0, 1, 1, 0}, {}, "GIF87a");
  Read[10] = 0xF0; // a 2-entry table claiming 8 bits of colour resolution
  Load(G, Read);
  G.ImageData->Comment = {"made here"};
  TMemoryStream S;
  G.SaveToStream(S);
  EXPECT_EQ(std::string(S.Bytes.begin(), S.Bytes.begin() + 6), "GIF89a");
  EXPECT_EQ(S.Bytes[10], 0x80); // both fields from the table's size, 1 bit
  auto HasLoop = [](const std::vector<uint8_t> &B) {
    const uint8_t Block[] = {'!', 0xFF, 11,  'N', 'E', 'T', 'S',  'C',  'A', 'P',
                             'E', '2',  '.', '0', 3,   1,   0x34, 0x12, 0};
    return std::search(B.begin(), B.end(), std::begin(Block), std::end(Block)) != B.end();
  };
  TBitmap F(4, 4);
  TKitGIFImage A;
  A.AddFrame(F);
  A.Looping = true;
  A.RepeatCount = 0x1234;
  TMemoryStream One;
  A.SaveToStream(One);
  EXPECT_FALSE(HasLoop(One.Bytes)); // a single frame does not loop
  A.AddFrame(F);
  TMemoryStream Two;
  A.SaveToStream(Two);
  EXPECT_TRUE(HasLoop(Two.Bytes));
  A.Looping = false;
  TMemoryStream Off;
  A.SaveToStream(Off);
  EXPECT_FALSE(HasLoop(Off.Bytes));
  TKitGIFImage Empty;
  TMemoryStream E;
  EXPECT_EQ(ErrorOf([&] { Empty.SaveToStream(E); }), "No GIF Data to write");
}

TEST(KitGifWrite, TransparencyAndDelayGoToTheGraphicControlBlock) {
  TBitmap B(2, 1);
  B.ScanLine(0)[0] = 0xFFFF0000u;
  B.ScanLine(0)[1] = 0xFF0000FFu;
  B.Transparent = true;
  B.SetTransparentColor(0xFF0000); // blue as 0x00BBGGRR
  TKitGIFImage G;
  G.AddFrame(B);
  G.Frame(0).AnimateInterval = 650;
  TMemoryStream S;
  G.SaveToStream(S);
  TKitGIFImage R;
  S.SetPosition(0);
  R.LoadFromStream(S);
  EXPECT_EQ(R.Frame(0).TransparentColor, 0xFF0000u);
  EXPECT_EQ(R.Frame(0).AnimateInterval, 650);
  EXPECT_EQ(R.Version, 2);
  EXPECT_EQ(R.Frame(0).Bitmap()->ScanLine(0)[0] & 0xFFFFFF, 0xFF0000u);
}

TEST(KitGifLzw, NoiseRoundTripsThroughTheCore) {
  for (int Bits : {1, 4, 8}) {
    SCOPED_TRACE(Bits);
    for (bool Interlaced : {false, true}) {
      // 256 x 256 noise fills the table many times over: resets at 4094 codes.
      std::vector<uint8_t> Idx = Noise(256, 256, Bits, 7u + unsigned(Bits));
      std::vector<uint8_t> L = EncodeGifLzw(Idx.data(), 256, 256, Bits, Interlaced);
      std::vector<uint8_t> Back;
      TGifRasterResult R = DecodeGifLzw(L, 256, 256, Interlaced, Back);
      EXPECT_EQ(R.Status, TGifStatus::Complete);
      EXPECT_EQ(Back, Idx);
      std::vector<std::pair<int, int64_t>> Resets;
      std::vector<int> Spacing;
      EXPECT_TRUE(EndCodeAtDecoderWidth(L, 256 * 256, &Resets, &Spacing));
      // At a full table the pixel in hand is written on its own, then the ClearCode.
      ASSERT_FALSE(Resets.empty());
      // The table fills when code 4094 is given: 3838 codes between ClearCodes at 8 bits.
      const int Clear = 1 << (Bits == 1 ? 2 : Bits);
      EXPECT_EQ(Spacing, std::vector<int>(Resets.size(), 4094 - Clear));
      if (!Interlaced) {
        for (auto [Code, Read] : Resets) EXPECT_EQ(Code, Idx[size_t(Read - 1)]) << Read;
      }
    }
  }
  // Runs of one value build long strings; a picture of one pixel is the shortest case.
  std::vector<uint8_t> Flat(300 * 7, 3);
  std::vector<uint8_t> L = EncodeGifLzw(Flat.data(), 300, 7, 2, false);
  EXPECT_TRUE(EndCodeAtDecoderWidth(L, 2100));
  uint8_t One = 1;
  L = EncodeGifLzw(&One, 1, 1, 1, false);
  EXPECT_TRUE(EndCodeAtDecoderWidth(L, 1));
  // Every width where the last code lands just before a width change.
  for (int N = 1; N < 600; ++N) {
    std::vector<uint8_t> V = Noise(N, 1, 2, unsigned(N));
    std::vector<uint8_t> E = EncodeGifLzw(V.data(), N, 1, 2, false);
    ASSERT_TRUE(EndCodeAtDecoderWidth(E, N)) << N;
  }
}

TEST(KitGifLzw, ProgressByRows) {
  std::vector<uint8_t> Idx = Noise(10, 50, 4, 3);
  std::vector<int> Seen;
  EncodeGifLzw(Idx.data(), 10, 50, 4, false, [&](int P) { Seen.push_back(P); });
  ASSERT_EQ(Seen.size(), 51u); // 0 and one per row: 2 % each
  EXPECT_EQ(Seen.front(), 0);
  EXPECT_EQ(Seen.back(), 100);
}

TEST(KitGifImageMagick, OurGifsReadByImageMagick) {
  if (!HaveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  std::vector<uint8_t> Idx = Noise(256, 256, 8, 11);
  std::vector<uint8_t> Gif = MakeGif(256, 256, 8, Idx);
  std::string In = TempName("ours.gif"), Out = TempName("ours.rgb");
  ASSERT_TRUE(WriteFileBytes(In, Gif));
  ASSERT_EQ(std::system(("convert " + In + " -depth 8 rgb:" + Out).c_str()), 0);
  std::vector<uint8_t> Rgb = ReadFileBytes(Out);
  ASSERT_EQ(Rgb.size(), Idx.size() * 3);
  for (size_t I = 0; I < Idx.size(); ++I)
    ASSERT_EQ(Rgb[3 * I], Idx[I]) << I; // grey table: entry i is i
  std::remove(In.c_str());
  std::remove(Out.c_str());
}

TEST(KitGifImageMagick, ImageMagickGifsReadToItsPixels) {
  if (!HaveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
  std::string Gif = TempName("im.gif"), Rgb = TempName("im.rgb");
  for (const char *Opts : {"-size 97x61 plasma:fractal -seed 4 -colors 200",
                           "-size 40x30 gradient:red-blue -colors 16 -interlace GIF"}) {
    SCOPED_TRACE(Opts);
    ASSERT_EQ(std::system(("convert -seed 4 " + std::string(Opts) + " " + Gif).c_str()), 0);
    ASSERT_EQ(std::system(("convert " + Gif + " -depth 8 rgb:" + Rgb).c_str()), 0);
    std::vector<uint8_t> Want = ReadFileBytes(Rgb);
    TKitGIFImage G;
    G.LoadFromFile(Gif);
    TBitmap *B = G.Frame(0).Bitmap();
    ASSERT_NE(B, nullptr);
    ASSERT_EQ(size_t(B->Width() * B->Height() * 3), Want.size());
    EXPECT_FALSE(G.Frame(0).Corrupted);
    for (int Y = 0; Y < B->Height(); ++Y)
      for (int X = 0; X < B->Width(); ++X) {
        uint32_t P = B->ScanLine(Y)[X];
        size_t I = 3 * size_t(Y * B->Width() + X);
        ASSERT_EQ(((P >> 16) & 0xFF) | ((P >> 8) & 0xFF) << 8 | (P & 0xFF) << 16,
                  Want[I] | Want[I + 1] << 8 | Want[I + 2] << 16)
            << X << "," << Y;
      }
  }
  std::remove(Gif.c_str());
  std::remove(Rgb.c_str());
}

TEST(KitGifAssign, FramesPicturesAndStreams) {
  TKitGIFImage G;
  Load(G, MakeGif(4, 4, 4, Noise(4, 4, 4, 5)));
  TKitGIFImage C;
  C.Assign(&G);
  EXPECT_TRUE(C.Equals(&G));
  EXPECT_EQ(C.FrameCount(), 1);
  TKitGIFImage F;
  F.Assign(G.Frame(0));
  EXPECT_EQ(F.Width(), 4);
  EXPECT_FALSE(F.Frame(0).LocalColors);
  TMemoryStream S;
  G.WriteData(S);
  S.SetPosition(0);
  TKitGIFImage R;
  R.ReadData(S);
  EXPECT_EQ(R.Width(), 4);
  // A size larger than the bytes there is refused, not read past the end.
  TMemoryStream Bad;
  Bad.WriteU32(1000);
  Bad.WriteU32(0);
  Bad.SetPosition(0);
  EXPECT_EQ(ErrorOf([&] { R.ReadData(Bad); }), "Stream read error");
  C.Assign(static_cast<const TKitGIFImage *>(nullptr));
  EXPECT_TRUE(C.Empty());
  TBitmap B;
  G.AssignTo(B);
  EXPECT_EQ(B.Width(), 4);
}

TEST(KitGifAssign, AnimatedCursorBecomesFrames) {
  TIcon Icon;
  Icon.SetImage(2, 2, 4, {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFF000000u}, {0, 0, 0, 1});
  TMemoryStream IconBytes;
  Icon.SaveToStream(IconBytes);
  // RIFF ACON: anih with 1 icon, 1 step, jiffies 10; one icon.
  std::vector<uint8_t> A{'A', 'C', 'O', 'N', 'a', 'n', 'i', 'h', 36, 0, 0, 0};
  uint32_t H[9] = {36, 1, 1, 0, 0, 0, 0, 10, 1};
  for (uint32_t V : H)
    for (int K = 0; K < 4; ++K) A.push_back(uint8_t(V >> (8 * K)));
  uint32_t ListSize = uint32_t(4 + 8 + IconBytes.Size());
  A.insert(A.end(), {'L', 'I', 'S', 'T'});
  for (int K = 0; K < 4; ++K) A.push_back(uint8_t(ListSize >> (8 * K)));
  A.insert(A.end(), {'f', 'r', 'a', 'm', 'i', 'c', 'o', 'n'});
  for (int K = 0; K < 4; ++K) A.push_back(uint8_t(IconBytes.Size() >> (8 * K)));
  A.insert(A.end(), IconBytes.Bytes.begin(), IconBytes.Bytes.end());
  std::vector<uint8_t> Riff{'R', 'I', 'F', 'F'};
  for (int K = 0; K < 4; ++K) Riff.push_back(uint8_t(A.size() >> (8 * K)));
  Riff.insert(Riff.end(), A.begin(), A.end());
  TMemoryStream S(Riff);
  TAnimatedCursorImage Ani;
  Ani.LoadFromStream(S);
  TKitGIFImage G;
  G.Assign(Ani);
  ASSERT_EQ(G.FrameCount(), 1);
  EXPECT_EQ(G.Frame(0).AnimateInterval, 166); // 10 jiffies * 100 div 6
  EXPECT_EQ(G.BackgroundColor, clWindow);
  EXPECT_EQ(G.Frame(0).TransparentColor, 0xFFFFFFu); // clWindow resolved
  TMemoryStream Out;
  G.SaveToStream(Out);
  Out.SetPosition(0);
  TKitGIFImage R;
  R.LoadFromStream(Out);
  EXPECT_EQ(R.Frame(0).AnimateInterval, 160); // the file keeps hundredths of a second
  EXPECT_EQ(R.BackgroundColor, 0xFFFFFFu);    // found in the table once resolved
  EXPECT_EQ(R.Frame(0).Bitmap()->ScanLine(0)[0] & 0xFFFFFF, 0x0000FFu); // blue, as 0xRRGGBB
}

TEST(KitGifRegistry, GifExtensionLoadsThroughThePicture) {
  RegisterKitGIF();
  EXPECT_EQ(TPicture::FileFormatDescription("GIF"), "CompuServe GIF Image");
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_GIF));
  std::string Name = TempName("reg.gif");
  ASSERT_TRUE(WriteFileBytes(Name, MakeGif(3, 3, 1, std::vector<uint8_t>(9, 1))));
  TPicture P;
  P.LoadFromFile(Name);
  ASSERT_NE(dynamic_cast<TKitGIFImage *>(P.Graphic()), nullptr);
  EXPECT_EQ(P.Graphic()->Width(), 3);
  std::remove(Name.c_str());
  unsigned F = 0;
  static_cast<TKitGIFImage *>(P.Graphic())->SaveToClipboardFormat(F);
  EXPECT_EQ(F, CF_GIF);
  TPicture Q;
  Q.LoadFromClipboardFormat(CF_GIF);
  EXPECT_EQ(Q.Graphic()->Height(), 3);
  EXPECT_TRUE(Clipboard().HasPicture());
}

TEST(KitGifClipboard, APlainBitmapIsPastedAsOneFrame) {
  RegisterKitGIF();
  TBitmap B(4, 3);
  B.Fill(clBlue);
  B.ScanLine(1)[2] = ColorToArgb(clYellow);
  Clipboard().Assign(B);
  ASSERT_FALSE(Clipboard().HasFormatNumber(CF_GIF));
  TKitGIFImage G;
  G.LoadFromClipboardFormat(CF_BITMAP);
  ASSERT_EQ(G.FrameCount(), 1);
  EXPECT_EQ(G.FrameIndex, 0);
  EXPECT_EQ(G.Width(), 4);
  EXPECT_EQ(G.Height(), 3);
  EXPECT_EQ(G.ScreenWidth, 4);
  const TBitmap *F = G.Frame(0).Bitmap();
  ASSERT_NE(F, nullptr);
  EXPECT_EQ(ArgbToColor(F->ScanLine(0)[0]), clBlue);
  EXPECT_EQ(ArgbToColor(F->ScanLine(1)[2]), clYellow);
  // It is written as a GIF of its two colours.
  TMemoryStream Out;
  G.SaveToStream(Out);
  Out.SetPosition(0);
  TKitGIFImage R;
  R.LoadFromStream(Out);
  EXPECT_EQ(ArgbToColor(R.Frame(0).Bitmap()->ScanLine(1)[2]), clYellow);

  // The GIF format asked for, and only a bitmap there: a bitmap reads only its own format.
  TKitGIFImage H;
  EXPECT_EQ(ErrorOf([&] { H.LoadFromClipboardFormat(CF_GIF); }), "Unsupported clipboard format");
  EXPECT_THROW(H.LoadFromClipboardFormat(CF_GIF), EInvalidGraphic);
  Clipboard().SetAsText("no picture");
  EXPECT_THROW(H.LoadFromClipboardFormat(CF_BITMAP), EInvalidGraphic);
  EXPECT_EQ(H.FrameCount(), 0);
  Clipboard().Clear();
}

TEST(KitGifClipboard, TheBitmapBesideTheGifIsFrameZerosPicture) {
  RegisterKitGIF();
  // A 3 x 3 white GIF with a red bitmap beside it, as the clipboard would hold them.
  const std::vector<uint8_t> Gif = MakeGif(3, 3, 1, std::vector<uint8_t>(9, 1));
  std::vector<uint8_t> Data;
  for (int K = 0; K < 4; ++K) Data.push_back(uint8_t(Gif.size() >> (8 * K)));
  Data.insert(Data.end(), Gif.begin(), Gif.end());
  auto PasteBeside = [&](int Side) {
    TBitmap Red(Side, Side);
    Red.Fill(clRed);
    Clipboard().Assign(Red);
    Clipboard().SetFormatData(CF_GIF, Data);
    auto G = std::make_unique<TKitGIFImage>();
    G->LoadFromClipboardFormat(CF_GIF);
    return G;
  };
  // Frame 0's own size: frame 0 shows the bitmap.
  auto G = PasteBeside(3);
  ASSERT_EQ(G->FrameCount(), 1);
  EXPECT_EQ(ArgbToColor(G->Frame(0).Bitmap()->ScanLine(1)[1]), clRed);
  // A bitmap of another size is not that frame: the GIF's own white shows.
  G = PasteBeside(5);
  EXPECT_EQ(G->Width(), 3);
  EXPECT_EQ(ArgbToColor(G->Frame(0).Bitmap()->ScanLine(1)[1]), clWhite);
  Clipboard().Clear();
}

TEST(KitGifClipboard, FrameZeroGoesBesideTheGifWhateverFrameIsCurrent) {
  RegisterKitGIF();
  TKitGIFImage Made;
  for (TColor C : {clRed, clBlue}) {
    TBitmap B(3, 3);
    B.Fill(C);
    Made.AddFrame(B);
  }
  TMemoryStream S;
  Made.SaveToStream(S);
  S.SetPosition(0);
  TKitGIFImage G;
  G.LoadFromStream(S); // coded frames, so the GIF format goes to the clipboard too
  G.FrameIndex = 1;
  unsigned F = 0;
  G.SaveToClipboardFormat(F);
  ASSERT_TRUE(Clipboard().HasFormatNumber(CF_GIF));
  EXPECT_EQ(ArgbToColor(Clipboard().AsBitmap().ScanLine(1)[1]), clRed);
  TKitGIFImage Back;
  Back.LoadFromClipboardFormat(CF_GIF);
  ASSERT_EQ(Back.FrameCount(), 2);
  EXPECT_EQ(ArgbToColor(Back.Frame(0).Bitmap()->ScanLine(1)[1]), clRed);
  EXPECT_EQ(ArgbToColor(Back.Frame(1).Bitmap()->ScanLine(1)[1]), clBlue);
  Clipboard().Clear();
}

TEST(KitGifRead, AFrameBeyondTheSizeCapIsCorruptedAndEmpty) {
  std::vector<uint8_t> Bytes = MakeGif(2, 2, 1, {0, 1, 1, 0});
  // The image descriptor follows the 13-byte header and the 2-entry table; its width and
  // height claim 8000 x 8000, four times the pixels a picture may have.
  const size_t Desc = 13 + 6;
  ASSERT_EQ(Bytes[Desc], ',');
  for (size_t At : {Desc + 5, Desc + 7}) {
    Bytes[At] = uint8_t(8000 & 0xFF);
    Bytes[At + 1] = uint8_t(8000 >> 8);
  }
  TKitGIFImage G;
  ASSERT_NO_THROW(Load(G, Bytes));
  ASSERT_EQ(G.FrameCount(), 1);
  const TBitmap *B = G.Frame(0).Bitmap();
  EXPECT_TRUE(G.Frame(0).Corrupted);
  ASSERT_NE(B, nullptr);
  EXPECT_EQ(B->Width(), 0);
  EXPECT_EQ(B->Height(), 0);
}

// GIF decoding speed: our container parser and LZW decoder against giflib on the same
// files in one run (giflib is used here only, as the yardstick), file by file, with two
// 1200 x 1000 pictures of 256 colours that giflib encodes. Both produce the colour indices
// of every frame (the run first checks that they agree); the viewer's image is timed too,
// decoding into the bitmaps it draws from.
#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/gif_decoder.h"
#include "htmlview/gif_image.h"

namespace {

struct TMem {
  const std::vector<uint8_t> *Data;
  size_t Pos;
};

int ReadMem(GifFileType *G, GifByteType *Buf, int N) {
  TMem *M = static_cast<TMem *>(G->UserData);
  size_t Take = std::min(size_t(N), M->Data->size() - M->Pos);
  std::memcpy(Buf, M->Data->data() + M->Pos, Take);
  M->Pos += Take;
  return int(Take);
}

// giflib: every frame's indices (interlaced frames in stored order, as giflib keeps them).
bool GiflibDecode(const std::vector<uint8_t> &Data, std::vector<std::vector<uint8_t>> *Out) {
  TMem M{&Data, 0};
  int Err = 0;
  GifFileType *G = DGifOpen(&M, ReadMem, &Err);
  if (!G) return false;
  bool Ok = DGifSlurp(G) == GIF_OK;
  if (Ok && Out) {
    Out->clear();
    for (int I = 0; I < G->ImageCount; ++I) {
      const SavedImage &S = G->SavedImages[I];
      size_t N = size_t(S.ImageDesc.Width) * size_t(S.ImageDesc.Height);
      Out->emplace_back(S.RasterBits, S.RasterBits + N);
    }
  }
  DGifCloseFile(G, &Err);
  return Ok;
}

bool OurDecode(const std::vector<uint8_t> &Data, std::vector<std::vector<uint8_t>> *Out,
               std::vector<bool> *Interlaced = nullptr) {
  TGifContainer G;
  if (!ParseGifContainer(Data, G)) return false;
  std::vector<uint8_t> Idx;
  if (Out) Out->clear();
  for (const TGifFrameInfo &F : G.Frames) {
    if (DecodeGifRaster(Data, F, Idx).Status == TGifStatus::Corrupt) return false;
    if (Out) Out->push_back(Idx);
    if (Interlaced) Interlaced->push_back(F.Interlaced);
  }
  return true;
}

// Seconds of the first run of Fn (cold: nothing of the file is in the caches, buffers are
// made afresh) and the median of the runs after it (warm), repeated until at least five
// runs and 60 ms have passed.
struct TRunTimes {
  double Cold = 0, Warm = 0;
};
template <class F>
TRunTimes PerRun(F Fn) {
  auto Once = [&Fn] {
    const auto T0 = std::chrono::steady_clock::now();
    Fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - T0).count();
  };
  TRunTimes T;
  T.Cold = Once();
  std::vector<double> Warm;
  double Sum = 0;
  do {
    Warm.push_back(Once());
    Sum += Warm.back();
  } while (Warm.size() < 5 || Sum < 0.06);
  std::sort(Warm.begin(), Warm.end());
  T.Warm = Warm[Warm.size() / 2];
  return T;
}

int WriteMem(GifFileType *G, const GifByteType *Buf, int N) {
  auto *Out = static_cast<std::vector<uint8_t> *>(G->UserData);
  Out->insert(Out->end(), Buf, Buf + N);
  return N;
}

// A W x H picture of 256 colours encoded by giflib: Kind 0 a photograph-like picture
// (smooth shading with noise), 1 a drawing (large areas of few colours).
std::vector<uint8_t> Synthetic(int W, int H, int Kind) {
  std::vector<uint8_t> Out;
  int Err = 0;
  GifFileType *G = EGifOpen(&Out, WriteMem, &Err);
  if (!G) return Out;
  GifColorType Colors[256];
  for (int I = 0; I < 256; ++I)
    Colors[I] = {GifByteType(I), GifByteType((I * 7) & 255), GifByteType(255 - I)};
  ColorMapObject *Map = GifMakeMapObject(256, Colors);
  EGifPutScreenDesc(G, W, H, 8, 0, Map);
  EGifPutImageDesc(G, 0, 0, W, H, false, nullptr);
  std::vector<GifPixelType> Line(size_t(W), 0);
  unsigned Seed = 1;
  for (int Y = 0; Y < H; ++Y) {
    for (int X = 0; X < W; ++X) {
      Seed = Seed * 1103515245u + 12345u;
      int V = Kind == 0 ? (X / 5 + Y / 7 + int((Seed >> 16) % 9)) & 255
                        : (((X / 97) ^ (Y / 61)) * 37 + ((X - 600) * (X - 600) + (Y - 500) * (Y - 500) < 90000 ? 5 : 0)) & 255;
      Line[size_t(X)] = GifPixelType(V);
    }
    EGifPutLine(G, Line.data(), W);
  }
  EGifCloseFile(G, &Err);
  GifFreeMapObject(Map);
  return Out;
}

} // namespace

int main(int argc, char **argv) {
  std::vector<std::string> Dirs;
  for (int I = 1; I < argc; ++I) Dirs.push_back(argv[I]);
  if (Dirs.empty()) {
    // The text pages' pictures and the test pictures of the source tree.
    std::filesystem::path Root = std::filesystem::path(__FILE__).parent_path().parent_path();
    Dirs.push_back((Root / "HTML/images").string());
    Dirs.push_back((Root / "tests/htmlview/data/images").string());
  }
  std::vector<std::pair<std::string, std::vector<uint8_t>>> Files;
  for (const std::string &D : Dirs) {
    if (!std::filesystem::is_directory(D)) continue;
    for (const auto &E : std::filesystem::directory_iterator(D)) {
      std::string Ext = E.path().extension().string();
      std::transform(Ext.begin(), Ext.end(), Ext.begin(), ::tolower);
      if (Ext != ".gif") continue;
      std::ifstream In(E.path(), std::ios::binary);
      Files.emplace_back(E.path().filename().string(),
                         std::vector<uint8_t>(std::istreambuf_iterator<char>(In), {}));
    }
  }
  std::sort(Files.begin(), Files.end());
  // The program's own pictures (the first folder) are counted apart.
  std::set<std::string> ProgramFiles;
  if (!Dirs.empty() && std::filesystem::is_directory(Dirs[0]))
    for (const auto &E : std::filesystem::directory_iterator(Dirs[0]))
      ProgramFiles.insert(E.path().filename().string());
  Files.emplace_back("synthetic-photo-1200x1000", Synthetic(1200, 1000, 0));
  Files.emplace_back("synthetic-drawing-1200x1000", Synthetic(1200, 1000, 1));
  if (Files.empty()) {
    std::printf("no GIF files found\n");
    return 1;
  }

  int Disagree = 0;
  size_t Bytes = 0, Pixels = 0;
  for (auto &[Name, Data] : Files) {
    std::vector<std::vector<uint8_t>> A, B;
    std::vector<bool> Inter;
    bool OkA = GiflibDecode(Data, &A), OkB = OurDecode(Data, &B, &Inter);
    TGifContainer G;
    ParseGifContainer(Data, G);
    bool Same = OkA == OkB && A.size() == B.size();
    for (size_t I = 0; Same && I < A.size(); ++I) {
      const TGifFrameInfo &F = G.Frames[I];
      (void)F;
      const std::vector<uint8_t> &Want = A[I]; // DGifSlurp puts interlaced rows in place too
      Same = Want == B[I];
      Pixels += Want.size();
    }
    if (!Same) {
      ++Disagree;
      std::printf("  %-28s giflib %s (%zu frames), ours %s (%zu frames): DIFFER\n", Name.c_str(),
                  OkA ? "ok" : "fails", A.size(), OkB ? "ok" : "fails", B.size());
    }
    Bytes += Data.size();
  }
  std::printf("%zu GIF files, %zu bytes, %zu pixels; %d where the decoders disagree\n",
              Files.size(), Bytes, Pixels, Disagree);

  // Per file: giflib's indices, ours, and ours straight into the picture's bitmaps; warm
  // runs (the median after the first) and the cold first run apart.
  std::printf("%-30s %9s %9s %9s %7s %7s   %9s %7s\n", "file (pixels)", "giflib", "ours", "bitmaps",
              "ratio", "ratio", "bitmaps", "ratio");
  std::printf("%-30s %9s %9s %9s %7s %7s   %9s %7s\n", "", "Mpix/s", "Mpix/s", "Mpix/s", "ours",
              "bitmaps", "cold", "cold");
  double WorstRatio = 1e9, WorstBitmapRatio = 1e9, WorstColdRatio = 1e9;
  TRunTimes ProgGif, ProgOurs, ProgBitmaps;
  for (auto &[Name, Data] : Files) {
    std::vector<std::vector<uint8_t>> A;
    if (!GiflibDecode(Data, &A)) continue;
    size_t N = 0;
    for (auto &F : A) N += F.size();
    const TRunTimes TG = PerRun([&] { GiflibDecode(Data, nullptr); });
    const TRunTimes TO = PerRun([&] { OurDecode(Data, nullptr); });
    const TRunTimes TB = PerRun([&] {
      TGIFImage G;
      G.LoadFromStream(Data);
    });
    const double MP = double(N) / 1e6;
    std::printf("%-22s %7zu %9.1f %9.1f %9.1f %7.2f %7.2f   %9.1f %7.2f\n", Name.c_str(), N,
                MP / TG.Warm, MP / TO.Warm, MP / TB.Warm, TG.Warm / TO.Warm, TG.Warm / TB.Warm,
                MP / TB.Cold, TG.Cold / TB.Cold);
    WorstRatio = std::min(WorstRatio, TG.Warm / TO.Warm);
    WorstBitmapRatio = std::min(WorstBitmapRatio, TG.Warm / TB.Warm);
    WorstColdRatio = std::min(WorstColdRatio, TG.Cold / TB.Cold);
    if (Name.rfind("synthetic", 0) != 0 && ProgramFiles.count(Name)) {
      for (auto [Sum, T] : {std::pair{&ProgGif, TG}, {&ProgOurs, TO}, {&ProgBitmaps, TB}}) {
        Sum->Cold += T.Cold;
        Sum->Warm += T.Warm;
      }
    }
  }
  std::printf(
      "the ratios compare with giflib's run of the same kind: warm with warm, cold with cold\n");
  if (ProgGif.Warm > 0)
    std::printf("the program's pictures together: ours %.2f x giflib, into bitmaps %.2f x warm, "
                "%.2f x cold\n",
                ProgGif.Warm / ProgOurs.Warm, ProgGif.Warm / ProgBitmaps.Warm,
                ProgGif.Cold / ProgBitmaps.Cold);
  std::printf("slowest file: ours %.2f x giflib, into bitmaps %.2f x warm (goal: at least 1.0), "
              "%.2f x cold\n",
              WorstRatio, WorstBitmapRatio, WorstColdRatio);
  return Disagree == 0 ? 0 : 2;
}

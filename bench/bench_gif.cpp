// GIF decoding speed: our container parser and LZW decoder against giflib on the same
// files in one run (giflib is used here only, as the yardstick). Both produce the colour
// indices of every frame; the run first checks that they agree.
#include <gif_lib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "htmlview/gif_decoder.h"
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

template <class F> double Seconds(F Fn, int Reps) {
  auto T0 = std::chrono::steady_clock::now();
  for (int I = 0; I < Reps; ++I) Fn();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - T0).count();
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

  const int Reps = 300;
  double TGiflib = Seconds([&] { for (auto &F : Files) GiflibDecode(F.second, nullptr); }, Reps);
  double TOurs = Seconds([&] { for (auto &F : Files) OurDecode(F.second, nullptr); }, Reps);
  double TImage = Seconds([&] {
    for (auto &F : Files) {
      TGIFImage G;
      G.LoadFromStream(F.second);
    }
  }, Reps / 10) * 10;
  double MPix = double(Pixels) * Reps / 1e6;
  std::printf("giflib DGifSlurp:            %8.1f ms for %d passes (%6.1f Mpixel/s)\n",
              TGiflib * 1e3, Reps, MPix / TGiflib);
  std::printf("ours (parse + LZW to rows):  %8.1f ms for %d passes (%6.1f Mpixel/s)\n",
              TOurs * 1e3, Reps, MPix / TOurs);
  std::printf("speed ratio ours/giflib:     %8.2f (above 1: ours is faster)\n", TGiflib / TOurs);
  std::printf("TGIFImage load with bitmaps: %8.1f ms for %d passes\n", TImage * 1e3, Reps);
  return Disagree == 0 ? 0 : 2;
}

// A page of 300 different GIFs of 35 bytes, each declaring a 4096 x 4096 screen around
// one pixel: the time to open it as the viewer does (parse, load the pictures, lay out,
// draw the first screen), with the image cache emptied before every run so that every
// picture is read afresh.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "htmlview/document.h"
#include "htmlview/image_cache.h"
#include "htmlview/parser.h"
#include "median.h"
#include "page_open.h"
#include "platform/bitmap.h"
#include "platform/files.h"

namespace {
// GIF89a, a 4096 x 4096 screen with a two-colour table (made different by N), one 1 x 1
// frame of colour 0: 35 bytes.
std::vector<uint8_t> TinyGifOnAHugeScreen(int N) {
  std::vector<uint8_t> G = {'G', 'I', 'F', '8', '9', 'a', 0x00, 0x10, 0x00, 0x10, 0x80, 0, 0};
  G.insert(G.end(), {uint8_t(N), uint8_t(N >> 8), 0x40, 0xFF, 0xFF, 0xFF});
  G.insert(G.end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0});
  G.insert(G.end(), {2, 2, 0x44, 0x01, 0, 0x3B}); // ClearCode, 0, EndCode at 3 bits
  return G;
}

// Also says how many pictures show (not the error picture).
double OpenMs(TBenchHost &Host, const std::string &Page, int &Shown) {
  BitmapList().Clear();
  return OpenPageMs(Host, Page, [&Shown](const TSectionList &List) {
    Shown = 0;
    for (const TImageObj *I : List.ImageList) Shown += !I->IsError;
  });
}
} // namespace

int main(int argc, char **argv) {
  QApplication App(argc, argv);
  const std::filesystem::path Dir =
      std::filesystem::temp_directory_path() / ("vornelle_gif_screens_" + std::to_string(getpid()));
  std::filesystem::create_directories(Dir);
  constexpr int Count = 300;
  std::string Page = "<title>Screens</title><p>";
  for (int I = 0; I < Count; ++I) {
    const std::string File = (Dir / ("s" + std::to_string(I) + ".gif")).string();
    WriteFileBytes(File, TinyGifOnAHugeScreen(I));
    Page += "<img src=\"" + File + "\"> ";
  }
  TBenchHost Host;
  std::vector<double> T;
  int Shown = 0;
  for (int Run = 0; Run < 5; ++Run) T.push_back(OpenMs(Host, Page, Shown));
  std::printf("%d GIFs of %zu bytes, 4096 x 4096 screens: open %.1f ms (median of %zu runs), "
              "%d shown\n",
              Count, TinyGifOnAHugeScreen(0).size(), Median(T), T.size(), Shown);
  BitmapList().Clear();
  std::filesystem::remove_all(Dir);
  return 0;
}

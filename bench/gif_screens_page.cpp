// A page of 300 different GIFs of 35 bytes, each declaring a 4096 x 4096 screen around
// one pixel: the time to open it as the viewer does (parse, load the pictures, lay out,
// draw the first screen), with the image cache emptied before every run so that every
// picture is read afresh. The transparent variant gives each picture two transparent
// frames left in place, so that it stays animated (a still one is flattened to its frame)
// and its frames pile up over the document's background.
// gif_screens_page [opaque|transparent]: one variant only, for its peak memory.
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

// GIF89a, a 4096 x 4096 screen with a two-colour table (made different by N), two 1 x 1
// frames of colour 0 with colour 1 transparent, each left in place: 66 bytes.
std::vector<uint8_t> TransparentGifOnAHugeScreen(int N) {
  std::vector<uint8_t> G = {'G', 'I', 'F', '8', '9', 'a', 0x00, 0x10, 0x00, 0x10, 0x80, 0, 0};
  G.insert(G.end(), {uint8_t(N), uint8_t(N >> 8), 0x40, 0xFF, 0xFF, 0xFF});
  for (int F = 0; F < 2; ++F) {
    G.insert(G.end(), {0x21, 0xF9, 4, 0x05, 10, 0, 1, 0}); // disposal 1, index 1 transparent
    G.insert(G.end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0});
    G.insert(G.end(), {2, 2, 0x44, 0x01, 0});
  }
  G.push_back(0x3B);
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

void Run(const char *Kind, std::vector<uint8_t> (*Make)(int)) {
  const std::filesystem::path Dir =
      std::filesystem::temp_directory_path() / ("vornelle_gif_screens_" + std::to_string(getpid()));
  std::filesystem::create_directories(Dir);
  constexpr int Count = 300;
  std::string Page = "<title>Screens</title><p>";
  for (int I = 0; I < Count; ++I) {
    const std::string File = (Dir / ("s" + std::to_string(I) + ".gif")).string();
    WriteFileBytes(File, Make(I));
    Page += "<img src=\"" + File + "\"> ";
  }
  TBenchHost Host;
  std::vector<double> T;
  int Shown = 0;
  for (int R = 0; R < 5; ++R) T.push_back(OpenMs(Host, Page, Shown));
  std::printf("%d %s GIFs of %zu bytes, 4096 x 4096 screens: open %.1f ms (median of %zu runs), "
              "%d shown\n",
              Count, Kind, Make(0).size(), Median(T), T.size(), Shown);
  BitmapList().Clear();
  std::filesystem::remove_all(Dir);
}
} // namespace

int main(int argc, char **argv) {
  QApplication App(argc, argv);
  const std::string Only = argc > 1 ? argv[1] : "";
  if (Only != "transparent") Run("opaque", TinyGifOnAHugeScreen);
  if (Only != "opaque") Run("transparent", TransparentGifOnAHugeScreen);
  return 0;
}

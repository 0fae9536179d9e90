// Tables and pictures in layout and paint: 100 nested tables (or argv[1]) laid out, a 10,000-row table
// with BORDERCOLOR painted at a few scroll positions, and the first layout of every text
// page of the program with an empty picture cache (pictures decoded from their files).
#include <QApplication>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "htmlview/document.h"
#include "htmlview/image_cache.h"
#include "htmlview/parser.h"
#include "page_open.h"
#include "platform/bitmap.h"

namespace {

struct TDoc {
  TBenchHost Host;
  TSectionList List{&Host};
  TAnchorList Names;
  explicit TDoc(const std::string &Page, const std::string &Folder = {}) {
    List.NameList = &Names;
    List.SetFonts("Times New Roman", "Courier New", 12, clBlack, clBlue, clPurple, clBlue,
                  clWhite, false);
    if (!Folder.empty())
      List.OnExpandName = [Folder](const std::string &Src) { return Folder + "/" + Src; };
    TParseHandlers H;
    TParseResult R;
    ParseHtmlBuffer(List, &Names, Page.data(), Page.size(), H, R);
  }
};

std::string NestedTables(int Levels) {
  std::string S;
  for (int I = 0; I < Levels; ++I) S += "<table border=1><tr><td>level " + std::to_string(I) + " ";
  S += "innermost words";
  for (int I = 0; I < Levels; ++I) S += "</td><td>right</td></tr></table>";
  return S;
}

std::string BorderedRows(int Rows) {
  std::string S = "<table border=1 bordercolor=red cellspacing=3>";
  for (int I = 0; I < Rows; ++I)
    S += "<tr><td>row " + std::to_string(I) + "</td><td>second</td><td>third cell</td></tr>";
  return S + "</table>";
}

std::string ReadFile(const std::filesystem::path &P) {
  std::ifstream F(P, std::ios::binary);
  std::stringstream SS;
  SS << F.rdbuf();
  return SS.str();
}

} // namespace

int main(int argc, char **argv) {
  QApplication App(argc, argv);
  TBitmap Bitmap(600, 600);

  const int Levels = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
  {
    TDoc D(NestedTables(Levels));
    int MW = 0, Curs = 0;
    auto T0 = std::chrono::steady_clock::now();
    int H = D.List.DoLogic(Bitmap.Canvas(), 0, 560, MW, Curs);
    auto T1 = std::chrono::steady_clock::now();
    Curs = 0;
    D.List.DoLogic(Bitmap.Canvas(), 0, 400, MW, Curs);
    auto T2 = std::chrono::steady_clock::now();
    D.List.Draw(Bitmap.Canvas(), TRect(0, 0, 600, 600), 600, 0, 0);
    auto T3 = std::chrono::steady_clock::now();
    std::printf("%d nested tables: height %d px; layout %.2f ms, again at 400 px %.2f ms, "
                "paint %.2f ms\n", Levels, H, Ms(T0, T1), Ms(T1, T2), Ms(T2, T3));
  }
  {
    TDoc D(BorderedRows(10000));
    int MW = 0, Curs = 0;
    auto T0 = std::chrono::steady_clock::now();
    int H = D.List.DoLogic(Bitmap.Canvas(), 0, 560, MW, Curs);
    auto T1 = std::chrono::steady_clock::now();
    const int Frames = 20;
    double Worst = 0;
    for (int F = 0; F < Frames; ++F) {
      int Y = int(int64_t(H - 600) * F / (Frames - 1));
      auto A = std::chrono::steady_clock::now();
      D.List.SetYOffset(Y);
      D.List.Draw(Bitmap.Canvas(), TRect(0, 0, 600, 600), 600, 0, Y);
      Worst = std::max(Worst, Ms(A, std::chrono::steady_clock::now()));
    }
    auto T2 = std::chrono::steady_clock::now();
    std::printf("10,000 rows with BORDERCOLOR: height %d px; layout %.1f ms, paint of 600 x 600 "
                "%.2f ms mean, %.2f ms worst\n", H, Ms(T0, T1), Ms(T1, T2) / Frames, Worst);
  }
  {
    namespace fs = std::filesystem;
    const fs::path Dir = fs::path(__FILE__).parent_path().parent_path() / "HTML";
    std::vector<fs::path> Pages;
    for (const auto &E : fs::directory_iterator(Dir))
      if (E.path().extension() == ".HTM" || E.path().extension() == ".htm")
        Pages.push_back(E.path());
    std::sort(Pages.begin(), Pages.end());
    double Worst = 0;
    std::string WorstName;
    std::printf("first layout of the text pages, picture cache empty:\n");
    for (const fs::path &P : Pages) {
      BitmapList().Clear();
      TDoc D(ReadFile(P), Dir.string());
      int MW = 0, Curs = 0;
      auto T0 = std::chrono::steady_clock::now();
      D.List.DoLogic(Bitmap.Canvas(), 0, 380, MW, Curs);
      double T = Ms(T0, std::chrono::steady_clock::now());
      std::printf("  %-16s %7.2f ms\n", P.filename().string().c_str(), T);
      if (T > Worst) {
        Worst = T;
        WorstName = P.filename().string();
      }
    }
    std::printf("slowest first layout: %s, %.2f ms (goal: under 5 ms)\n", WorstName.c_str(), Worst);
    BitmapList().Clear();
  }
  return 0;
}

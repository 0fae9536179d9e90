// Layout and drawing of a long page: a 1 MB page of paragraphs, headings, lists and a
// table, parsed once, laid out at two widths and drawn at scroll offsets. Then the
// electric field topic page copied 1, 10 and 100 times into one page, laid out again and
// again: the time per copy stays the same when layout grows in step with the page.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "htmlview/document.h"
#include "htmlview/parser.h"
#include "median.h"
#include "page_open.h"
#include "platform/bitmap.h"

namespace {
std::string MakePage(size_t Bytes) {
  const char *Words[] = {"field", "charge", "potential", "electron", "the", "of", "a",
                         "magnetic", "force", "is", "proportional", "to", "and", "current"};
  std::string S = "<title>Long</title>";
  unsigned Seed = 12345;
  int Para = 0;
  while (S.size() < Bytes) {
    if (Para % 40 == 0) S += "<h2>Section " + std::to_string(Para / 40) + "</h2>";
    if (Para % 25 == 7) S += "<ul><li>first item<li>second <b>item</b></ul>";
    if (Para % 60 == 13)
      S += "<table border=1><tr><td>cell one</td><td>cell two</td></tr><tr><td colspan=2>wide "
           "cell</td></tr></table>";
    S += "<p>";
    for (int W = 0; W < 120; ++W) {
      Seed = Seed * 1103515245u + 12345u;
      S += Words[(Seed >> 16) % 14];
      if (W % 17 == 5) S += " <i>E</i><sub>0</sub>";
      S += ' ';
    }
    S += "</p>\n";
    ++Para;
  }
  return S;
}

// The body of a topic page: what lies between <BODY> and </BODY>.
std::string PageBody(const std::string &Path) {
  std::ifstream F(Path, std::ios::binary);
  std::stringstream SS;
  SS << F.rdbuf();
  std::string S = SS.str();
  size_t B = S.find("<BODY>"), E = S.rfind("</BODY>");
  if (B == std::string::npos || E == std::string::npos || E < B) return S;
  return S.substr(B + 6, E - B - 6);
}

double OpenMs(TBenchHost &Host, const std::string &Page) {
  return OpenPageMs(Host, Page, [](const TSectionList &) {});
}

// Median time of a relayout of the topic page copied Copies times.
double CopiesLayoutMs(TBenchHost &Host, const std::string &Body, int Copies, int &Height) {
  TSectionList List(&Host);
  TAnchorList Names;
  List.NameList = &Names;
  List.OnExpandName = [](const std::string &Src) {
    return std::string(VORNELLE_SOURCE_DIR) + "/HTML/" + Src;
  };
  List.SetFonts("Times New Roman", "Courier New", 12, clBlack, clBlue, clPurple, clBlue, clWhite,
                false);
  std::string Page = "<title>Copies</title>";
  for (int C = 0; C < Copies; ++C) Page += Body;
  TParseHandlers H;
  TParseResult R;
  ParseHtmlBuffer(List, &Names, Page.data(), Page.size(), H, R);
  TBitmap Bitmap(600, 600);
  int MW = 0, Curs = 0;
  Height = List.DoLogic(Bitmap.Canvas(), 0, 560, MW, Curs); // pictures are fetched here
  // Small pages are laid out several times a sample, so that every sample is long
  // enough to time.
  const int Reps = std::max(1, 200 / Copies);
  std::vector<double> T;
  for (int I = 0; I < 9; ++I) {
    auto A = std::chrono::steady_clock::now();
    for (int K = 0; K < Reps; ++K) {
      Curs = 0;
      Height = List.DoLogic(Bitmap.Canvas(), 0, 560, MW, Curs);
    }
    T.push_back(Ms(A, std::chrono::steady_clock::now()) / Reps);
  }
  return Median(T);
}
} // namespace

int main(int argc, char **argv) {
  QApplication App(argc, argv);
  std::string Page = MakePage(1 << 20);
  TBenchHost Host;
  TSectionList List(&Host);
  TAnchorList Names;
  List.NameList = &Names;
  List.SetFonts("Times New Roman", "Courier New", 12, clBlack, clBlue, clPurple, clBlue, clWhite,
                false);
  auto T0 = std::chrono::steady_clock::now();
  TParseHandlers H;
  TParseResult R;
  ParseHtmlBuffer(List, &Names, Page.data(), Page.size(), H, R);
  auto T1 = std::chrono::steady_clock::now();
  TBitmap Bitmap(600, 600);
  int MW = 0, Curs = 0;
  int Height = List.DoLogic(Bitmap.Canvas(), 0, 560, MW, Curs);
  auto T2 = std::chrono::steady_clock::now();
  Curs = 0;
  List.DoLogic(Bitmap.Canvas(), 0, 400, MW, Curs);
  auto T3 = std::chrono::steady_clock::now();
  Curs = 0;
  Height = List.DoLogic(Bitmap.Canvas(), 0, 560, MW, Curs);
  const int Frames = 200;
  auto T4 = std::chrono::steady_clock::now();
  for (int F = 0; F < Frames; ++F) {
    int Y = int(int64_t(Height - 600) * F / Frames);
    Bitmap.Fill(clWhite);
    List.SetYOffset(Y);
    List.Draw(Bitmap.Canvas(), TRect(0, 0, 600, 600), 600, 10, Y);
  }
  auto T5 = std::chrono::steady_clock::now();
  std::printf("page %zu bytes, %d sections, %d positions, height %d px\n", Page.size(), List.Count(),
              Curs, Height);
  std::printf("parse        %8.1f ms\n", Ms(T0, T1));
  std::printf("layout 560px %8.1f ms\n", Ms(T1, T2));
  std::printf("layout 400px %8.1f ms\n", Ms(T2, T3));
  std::printf("draw frame   %8.2f ms (600 x 600, mean of %d scroll positions)\n",
              Ms(T4, T5) / Frames, Frames);

  // A page of one long word opens as fast as a page of as much ordinary text.
  {
    const size_t Bytes = size_t(8) << 20;
    std::string Word = "<p>" + std::string(Bytes, 'a');
    std::string Text = "<p>";
    while (Text.size() < Bytes) Text += "field charge potential electron ";
    std::printf("open 8 MB    %8.1f ms ordinary text, %.1f ms one long word\n", OpenMs(Host, Text),
                OpenMs(Host, Word));
  }

  const std::string Body = PageBody(std::string(VORNELLE_SOURCE_DIR) + "/HTML/EFIELD.HTM");
  double PerCopy1 = 0;
  for (int Copies : {1, 10, 100}) {
    int H = 0;
    double T = CopiesLayoutMs(Host, Body, Copies, H);
    if (Copies == 1) PerCopy1 = T;
    std::printf("EFIELD x%-3d  %8.3f ms layout (%d px), %.3f ms a copy, %.1f x the single page's\n",
                Copies, T, H, T / Copies, PerCopy1 > 0 ? T / Copies / PerCopy1 : 0.0);
  }
  return 0;
}

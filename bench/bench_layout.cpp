// Layout and drawing of a long page: a 1 MB page of paragraphs, headings, lists and a
// table, parsed once, laid out at two widths and drawn at scroll offsets.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <string>

#include "htmlview/document.h"
#include "htmlview/parser.h"
#include "platform/bitmap.h"

namespace {
class THost : public TDocumentHost {
public:
  void InvalidateDocument() override {}
  int ClientHeight() const override { return 600; }
  void ShowLayoutError(const std::string &) override {}
};

double Ms(std::chrono::steady_clock::time_point A, std::chrono::steady_clock::time_point B) {
  return std::chrono::duration<double, std::milli>(B - A).count();
}

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
} // namespace

int main(int argc, char **argv) {
  QApplication App(argc, argv);
  std::string Page = MakePage(1 << 20);
  THost Host;
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
  return 0;
}

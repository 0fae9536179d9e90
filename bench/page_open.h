#pragma once
// What the text-pane benchmarks share: a document host with no window, milliseconds between
// two clock readings, and a page opened as the viewer opens it.
#include <chrono>
#include <string>

#include "htmlview/document.h"
#include "htmlview/parser.h"
#include "platform/bitmap.h"

class TBenchHost : public TDocumentHost {
public:
  void InvalidateDocument() override {}
  int ClientHeight() const override { return 600; }
  void ShowLayoutError(const std::string &) override {}
};

inline double Ms(std::chrono::steady_clock::time_point A, std::chrono::steady_clock::time_point B) {
  return std::chrono::duration<double, std::milli>(B - A).count();
}

// Parses, lays out and draws the first screen of a page, as opening it does (pictures are
// loaded during layout); Seen then looks at the document. The time, Seen's part included.
template <class TSeen>
double OpenPageMs(TDocumentHost &Host, const std::string &Page, TSeen &&Seen) {
  const auto A = std::chrono::steady_clock::now();
  TSectionList List(&Host);
  TAnchorList Names;
  List.NameList = &Names;
  List.SetFonts("Times New Roman", "Courier New", 12, clBlack, clBlue, clPurple, clBlue, clWhite,
                false);
  TParseHandlers H;
  TParseResult R;
  ParseHtmlBuffer(List, &Names, Page.data(), Page.size(), H, R);
  TBitmap Bitmap(600, 600);
  int MW = 0, Curs = 0;
  List.DoLogic(Bitmap.Canvas(), 0, 560, MW, Curs);
  List.Draw(Bitmap.Canvas(), TRect(0, 0, 600, 600), 600, 10, 0);
  Seen(List);
  return Ms(A, std::chrono::steady_clock::now());
}

// Arbitrary bytes parsed, laid out (small inputs at a few widths), drawn at a few offsets,
// and queried (hit tests, cursor positions, find, copy), on the offscreen platform.
#include <QGuiApplication>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "htmlview/document.h"
#include "htmlview/image_cache.h"
#include "htmlview/parser.h"
#include "platform/bitmap.h"

namespace {

class TFuzzHost : public TDocumentHost {
public:
  void InvalidateDocument() override {}
  int ClientHeight() const override { return 300; }
  void ShowLayoutError(const std::string &) override {}
};

// Layout is linear in the page, so a longer page adds time rather than paths: a page is
// laid out from its first 48 KB, which keeps a run of the sanitized build under a second.
// Inputs up to 16 KB are also laid out at two more widths and copied.
constexpr size_t MaxLayoutBytes = 48 * 1024;
constexpr size_t ExtraLayoutBytes = 16 * 1024;

} // namespace

// The font database of the system (fontconfig, as Qt loads it on first use) keeps its
// patterns for the process's life; they are not ours to free.
extern "C" const char *__lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libfreetype.so\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QGuiApplication App(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  const char *Text = reinterpret_cast<const char *>(Data);
  Size = std::min(Size, MaxLayoutBytes);
  TFuzzHost Host;
  TSectionList List(&Host);
  TAnchorList Names;
  List.NameList = &Names;
  // Pictures come from a request answered in memory: no files are read.
  TBitmap Pic(7, 5);
  List.OnBitmapRequest = [&](const std::string &Src, TBitmap *&B, TColor &C) {
    B = Src.size() % 3 == 0 ? nullptr : &Pic;
    if (Src.size() % 2) C = clWhite;
  };
  List.SetFonts("Times New Roman", "Courier New", 12, clBlack, clBlue, clPurple, clBlue, clWhite,
                true);
  TParseHandlers H;
  TParseResult R;
  ParseHtmlBuffer(List, &Names, Text, Size, H, R);
  TBitmap Canvas(160, 120);
  // The program lays a page out once for the pane's width; the other widths and the
  // copy's layout are extra work, done for small inputs only so that a long page costs
  // about what the program spends on it.
  const bool Small = Size <= ExtraLayoutBytes;
  for (int Width : {600, 97, 1}) {
    if (Width != 600 && !Small) break;
    int MW = 0, Curs = 0;
    int Height = List.DoLogic(Canvas.Canvas(), 0, Width, MW, Curs);
    for (int Y : {0, Height / 2, std::max(0, Height - 60)}) {
      List.SetYOffset(Y);
      List.Draw(Canvas.Canvas(), TRect(0, 0, 160, 120), 160, 3, Y);
      TUrlTarget U;
      TFormControlObj *FC = nullptr;
      List.GetURL(Canvas.Canvas(), 20, Y + 10, U, FC);
      int XR, YR, CH;
      bool InText;
      int P = List.FindCursor(Canvas.Canvas(), 30, Y + 15, XR, YR, CH, InText);
      int X2, Y2;
      if (P >= 0) List.CursorToXY(Canvas.Canvas(), P, X2, Y2);
    }
    List.SelB = 0;
    List.SelE = Curs / 2 + 1;
    (void)List.SelectedText();
    List.FindString(0, "a", false);
    List.FindSourcePos(Curs / 3);
    List.FindDocPos(int(Size / 2), true);
  }
  if (Small) {
    TSectionList Copy(List, nullptr);
    int MW = 0, Curs = 0;
    Copy.DoLogic(Canvas.Canvas(), 0, 300, MW, Curs);
  }
  List.Clear();
  BitmapList().Clear();
  return 0;
}

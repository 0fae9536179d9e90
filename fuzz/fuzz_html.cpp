// Arbitrary bytes through the page scanner and parser into a document.
#include <cstddef>
#include <cstdint>
#include <string>

#include <QGuiApplication>

#include "htmlview/document.h"
#include "htmlview/parser.h"

// fontconfig keeps its caches until the process ends; they are not leaks of ours.
extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig\n"; }

// Font metrics need a GUI application; the offscreen platform needs no display.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication App(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  const char *Text = reinterpret_cast<const char *>(Data);
  {
    TSectionList List;
    TAnchorList Names;
    TParseHandlers H;
    H.OnInclude = [](const std::string &, const std::vector<std::string> &,
                     std::string &Buffer) { Buffer = "<b>included</b><!--#x-->"; };
    H.OnScript = [](const std::string &, const std::string &, const std::string &) {};
    H.OnMeta = [](const std::string &, const std::string &, const std::string &) {};
    H.OnSoundRequest = [](const std::string &, int, bool) {};
    TParseResult R;
    ParseHtmlBuffer(List, &Names, Text, Size, H, R);
  }
  {
    TSectionList List;
    ParsePlainTextBuffer(List, nullptr, Text, Size);
  }
  return 0;
}

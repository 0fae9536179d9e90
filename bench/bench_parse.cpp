// Parsing speed of the page parser: a 1 MB page of ordinary text and tags, and pages of
// 10,000 nested DIVs and lists.
#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "htmlview/document.h"
#include "htmlview/object_pool.h"
#include "htmlview/parser.h"

// Allocations made while parsing, counted so that the figures show what the document
// model costs besides time.
static size_t AllocCount = 0, AllocBytes = 0;

void *operator new(size_t N) {
  ++AllocCount;
  AllocBytes += N;
  if (void *P = std::malloc(N ? N : 1)) return P;
  throw std::bad_alloc();
}
void operator delete(void *P) noexcept { std::free(P); }
void operator delete(void *P, size_t) noexcept { std::free(P); }

namespace {

std::string OrdinaryPage(size_t Bytes) {
  const std::string Para =
      "<p>The <b>electric field</b> strength <i>E</i> at a point is the force per unit "
      "charge, E = F/q, measured in N&nbsp;C<sup>-1</sup>. <a href=\"efield.htm\">Field "
      "lines</a> start on positive charges and end on negative ones.<br>\n"
      "<font size=+1 color=navy>Equipotentials</font> cross them at right angles.</p>\n"
      "<ul><li>one <em>item</em><li>two</ul><h3>Heading</h3>\n"
      "<table border><tr><td>V</td><td>12 V</td></tr></table>\n";
  std::string Page = "<html><head><title>Bench</title></head><body>\n";
  while (Page.size() < Bytes) Page += Para;
  return Page + "</body></html>\n";
}

// The bodies of the program's own text pages, one after another until the page has
// Bytes: text as the program really shows it.
std::string TopicPages(size_t Bytes) {
  namespace fs = std::filesystem;
  const fs::path Dir = fs::path(__FILE__).parent_path().parent_path() / "HTML";
  std::vector<std::string> Bodies;
  std::error_code E;
  for (const auto &Entry : fs::directory_iterator(Dir, E)) {
    if (Entry.path().extension() != ".HTM" && Entry.path().extension() != ".htm") continue;
    std::ifstream F(Entry.path(), std::ios::binary);
    std::stringstream SS;
    SS << F.rdbuf();
    std::string T = SS.str(), Lower = T;
    for (char &C : Lower) C = char(std::tolower(uint8_t(C)));
    size_t B = Lower.find("<body"), End = Lower.rfind("</body");
    if (B == std::string::npos || End == std::string::npos) continue;
    B = Lower.find('>', B);
    if (B == std::string::npos || B > End) continue;
    Bodies.push_back(T.substr(B + 1, End - B - 1));
  }
  if (Bodies.empty()) return {};
  std::sort(Bodies.begin(), Bodies.end());
  std::string Page = "<html><head><title>Pages</title></head><body>\n";
  for (size_t I = 0; Page.size() < Bytes; ++I) Page += Bodies[I % Bodies.size()];
  return Page + "</body></html>\n";
}

std::string Nested(const std::string &Open, const std::string &Close, int N) {
  std::string Page;
  for (int I = 0; I < N; ++I) Page += Open;
  Page += "deep";
  for (int I = 0; I < N; ++I) Page += Close;
  return Page;
}

double MedianMs(const std::string &Page, int Runs, int &Sections, size_t &Allocs,
                size_t &Bytes) {
  std::vector<double> Ms;
  for (int R = 0; R < Runs; ++R) {
    TSectionList List;
    TAnchorList Names;
    TParseResult Result;
    const size_t C0 = AllocCount, B0 = AllocBytes;
    auto T0 = std::chrono::steady_clock::now();
    ParseHtmlBuffer(List, &Names, Page.data(), Page.size(), TParseHandlers(), Result);
    auto T1 = std::chrono::steady_clock::now();
    Allocs = AllocCount - C0;
    Bytes = AllocBytes - B0;
    Ms.push_back(std::chrono::duration<double, std::milli>(T1 - T0).count());
    Sections = List.Count();
  }
  std::sort(Ms.begin(), Ms.end());
  return Ms[Ms.size() / 2];
}

double TokenizeMs(const std::string &Page, int Runs, int &Symbols) {
  std::vector<double> Ms;
  for (int R = 0; R < Runs; ++R) {
    THtmlTokenizer T;
    auto T0 = std::chrono::steady_clock::now();
    T.Start(Page.data(), Page.size(), TLoadStyle::Buffer);
    Symbols = 0;
    do {
      T.NextSymbol();
      ++Symbols;
    } while (T.Sy != EofSy);
    auto T1 = std::chrono::steady_clock::now();
    Ms.push_back(std::chrono::duration<double, std::milli>(T1 - T0).count());
  }
  std::sort(Ms.begin(), Ms.end());
  return Ms[Ms.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication App(argc, argv);
  struct Case {
    const char *Name;
    std::string Page;
  } Cases[] = {
      {"1 MB page of text and tags", OrdinaryPage(1 << 20)},
      {"1 MB of the program's pages", TopicPages(1 << 20)},
      {"10,000 nested DIVs", Nested("<div>", "</div>", 10000)},
      {"10,000 nested lists", Nested("<ul><li>", "</ul>", 10000)},
      {"10,000 nested tables", Nested("<table><tr><td>", "</td></tr></table>", 10000)},
  };
  for (int K = 0; K < 2; ++K) {
    if (Cases[K].Page.empty()) continue;
    int Symbols = 0;
    const double TokMs = TokenizeMs(Cases[K].Page, 11, Symbols);
    std::printf("%-30s %9zu bytes  %8.2f ms (median of 11)  %6d symbols\n",
                K == 0 ? "scanning the 1 MB page alone" : "scanning the pages alone",
                Cases[K].Page.size(), TokMs, Symbols);
  }
  for (const Case &C : Cases) {
    if (C.Page.empty()) continue; // the text pages were not found
    int Sections = 0;
    size_t Allocs = 0, Bytes = 0;
    double Ms = MedianMs(C.Page, 11, Sections, Allocs, Bytes);
    std::printf("%-30s %9zu bytes  %8.2f ms (median of 11)  %6d top-level sections  %7.1f MB/s"
                "  %7zu allocations  %6.1f MB allocated, %6.1f MB pooled\n",
                C.Name, C.Page.size(), Ms, Sections, C.Page.size() / 1e6 / (Ms / 1000), Allocs,
                Bytes / 1e6, PoolReservedBytes() / 1e6);
  }
  return 0;
}

// Lays pages out at the width of the text pane and paints them, as the viewer does, so
// that the pages and their pictures can be looked at (PNGs in the build folder) and the
// layout checked: every picture of a page is shown, none falls back to the error picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>
#include <string>

#include "htmlview/parser.h"
#include "htmlview/section_list.h"
#include "htmlview/doc_images.h"
#include "htmlview/sections.h"
#include "platform/bitmap.h"
#include "platform/files.h"

namespace {

const std::string HtmlDir = std::string(VORNELLE_SOURCE_DIR) + "/HTML/";

// The text pane's client width beside the widest topic page (480 pixels of an
// 800-pixel window, less the splitter, the pane's frame and its scroll bar).
constexpr int PaneWidth = 296;
// The help window's text area.
constexpr int HelpWidth = 400;

struct TRendered {
  int Height = 0;
  int ScrollWidth = 0;
  int Images = 0;
  int MissingImages = 0;
  std::unique_ptr<TBitmap> Picture;
};

TRendered Render(const std::string &Dir, const std::string &Page, int MaxHeight,
                 int Width = PaneWidth) {
  TRendered R;
  TSectionList List;
  List.SetFonts("Arial", "Courier New", 10, clBlack, clBlue, clPurple, clBlue, clWhite, false);
  List.OnExpandName = [&Dir](const std::string &Src) { return ResolvePath(Dir, Src); };
  TAnchorList Names;
  TParseHandlers Handlers;
  TParseResult Result;
  ParseHtmlFile(List, &Names, Dir + Page, Handlers, Result);
  TBitmap Measure(Width, 10);
  int ScrollWidth = 0, Curs = 0;
  R.Height = List.DoLogic(Measure.Canvas(), 0, Width, ScrollWidth, Curs);
  R.ScrollWidth = ScrollWidth;
  int H = std::min(std::max(R.Height, 1), MaxHeight);
  R.Picture = std::make_unique<TBitmap>(Width, H);
  R.Picture->Canvas().Brush().Color = clWhite;
  R.Picture->Canvas().FillRect(TRect{0, 0, Width, H});
  List.Draw(R.Picture->Canvas(), TRect{0, 0, Width, H}, Width, 0, 0);
  for (TImageObj *Img : List.ImageList) {
    ++R.Images;
    if (Img->IsError) ++R.MissingImages;
  }
  return R;
}

} // namespace

const std::string HelpDir = std::string(VORNELLE_SOURCE_DIR) + "/Help/";

std::vector<std::string> PagesIn(const std::string &Dir) {
  std::vector<std::string> Out;
  for (const auto &E : std::filesystem::directory_iterator(Dir)) {
    std::string Ext = UpperCase(E.path().extension().string());
    if (E.is_regular_file() && (Ext == ".HTM" || Ext == ".HTML")) Out.push_back(E.path().filename().string());
  }
  std::sort(Out.begin(), Out.end());
  return Out;
}

void SavePicture(const TRendered &R, const std::string &Name) {
  std::string Dir = std::string(VORNELLE_BINARY_DIR) + "/pages_render/";
  std::filesystem::create_directories(Dir);
  EXPECT_TRUE(R.Picture->SaveToPng(Dir + Name + ".png")) << Name;
}

TEST(PageRendering, TextPagesFitThePaneAndShowTheirPictures) {
  std::vector<std::string> Pages = PagesIn(HtmlDir);
  ASSERT_EQ(Pages.size(), 18u); // seventeen topics and the index
  for (const auto &Page : Pages) {
    TRendered R = Render(HtmlDir, Page, 2400);
    EXPECT_GT(R.Height, 600) << Page; // a page of text, not an empty document
    EXPECT_LE(R.ScrollWidth, PaneWidth) << Page << " is wider than the pane";
    EXPECT_GT(R.Images, 0) << Page;
    EXPECT_EQ(R.MissingImages, 0) << Page;
    SavePicture(R, Page);
  }
}

TEST(PageRendering, HelpPagesFitTheirWindow) {
  for (const auto &Page : PagesIn(HelpDir)) {
    TRendered R = Render(HelpDir, Page, 1600, HelpWidth);
    EXPECT_GT(R.Height, 150) << Page;
    EXPECT_LE(R.ScrollWidth, HelpWidth) << Page;
    SavePicture(R, "help_" + Page);
  }
}

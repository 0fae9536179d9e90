// Lays pages out at the width of the text pane and paints them, as the viewer does, so
// that the pages and their pictures can be looked at (PNGs in the build folder) and the
// layout checked: every picture of a page is shown, none falls back to the error picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "htmlview/parser.h"
#include "htmlview/section_list.h"
#include "htmlview/doc_images.h"
#include "htmlview/sections.h"
#include "platform/bitmap.h"
#include "platform/files.h"

namespace {

const std::string HtmlDir = std::string(VORNELLE_SOURCE_DIR) + "/HTML/";

// The pane beside a 450-pixel topic page of an 800-pixel window, less frame and scroll bar.
constexpr int PaneWidth = 320;

struct TRendered {
  int Height = 0;
  int Images = 0;
  int MissingImages = 0;
  std::unique_ptr<TBitmap> Picture;
};

TRendered Render(const std::string &Page, int MaxHeight) {
  TRendered R;
  TSectionList List;
  List.SetFonts("Arial", "Courier New", 10, clBlack, clBlue, clPurple, clBlue, clWhite, false);
  List.OnExpandName = [](const std::string &Src) { return ResolvePath(HtmlDir, Src); };
  TAnchorList Names;
  TParseHandlers Handlers;
  TParseResult Result;
  ParseHtmlFile(List, &Names, HtmlDir + Page, Handlers, Result);
  TBitmap Measure(PaneWidth, 10);
  int ScrollWidth = 0, Curs = 0;
  R.Height = List.DoLogic(Measure.Canvas(), 0, PaneWidth, ScrollWidth, Curs);
  int H = std::min(std::max(R.Height, 1), MaxHeight);
  R.Picture = std::make_unique<TBitmap>(PaneWidth, H);
  R.Picture->Canvas().Brush().Color = clWhite;
  R.Picture->Canvas().FillRect(TRect{0, 0, PaneWidth, H});
  List.Draw(R.Picture->Canvas(), TRect{0, 0, PaneWidth, H}, PaneWidth, 0, 0);
  for (TImageObj *Img : List.ImageList) {
    ++R.Images;
    if (Img->IsError) ++R.MissingImages;
  }
  return R;
}

} // namespace

TEST(PageRendering, PagesLayOutAndShowTheirPictures) {
  std::filesystem::create_directories(std::string(VORNELLE_BINARY_DIR) + "/pages_render");
  for (const char *Page : {"Index.htm", "EFIELD.HTM", "MILLIKAN.HTM", "ORBIT.HTM", "BDEFLECT.HTM"}) {
    TRendered R = Render(Page, 2400);
    EXPECT_GT(R.Height, 600) << Page; // a page of text, not an empty document
    EXPECT_GT(R.Images, 0) << Page;
    EXPECT_EQ(R.MissingImages, 0) << Page;
    std::string Out = std::string(VORNELLE_BINARY_DIR) + "/pages_render/" + Page + ".png";
    EXPECT_TRUE(R.Picture->SaveToPng(Out)) << Out;
  }
}

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "htmlview/draw_helpers.h"
#include "htmlview/html_utils.h"
#include "htmlview/selection_buffers.h"
#include "htmlview/url_utils.h"
#include "platform/bitmap.h"
#include "platform/clipboard.h"

namespace {

std::string Decoded(std::string S) {
  DecodePercentEscapes(S);
  return S;
}

TEST(PercentEscapes, DecodeInOneLeftToRightPass) {
  EXPECT_EQ(Decoded("%41BC.htm"), "%41BC.htm"); // a '%' in the first place stops it
  EXPECT_EQ(Decoded("a%41b"), "aAb");
  EXPECT_EQ(Decoded("a%4"), "a%4");
  EXPECT_EQ(Decoded("x%2541"), "x%41"); // a decoded '%' is not decoded again
  EXPECT_EQ(Decoded("a%20b%zzc%41"), "a b%zzc%41"); // a bad escape keeps what came before
  EXPECT_EQ(Decoded("a%00b%41"), "a%00b%41");       // no zero byte enters a name
  EXPECT_EQ(Decoded("a%e9"), "a\xE9");
}

TEST(PercentEscapes, UrlsBecomeDosPaths) {
  EXPECT_EQ(UrlToDosPath("file:///C|/docs/x.htm"), "C:\\docs\\x.htm");
  EXPECT_EQ(UrlToDosPath("FILE://server/a%20b.htm"), "server\\a b.htm");
  EXPECT_EQ(UrlToDosPath("x.htm"), "x.htm");
  EXPECT_EQ(UrlToDosPath("a|b.htm"), "a|b.htm"); // without '/' only decoded
  EXPECT_EQ(JoinRootAndName("/images/p.gif", "C:\\root"), "C:\\root\\images\\p.gif");
  EXPECT_EQ(JoinRootAndName("images/p.gif", "C:\\root"), "images\\p.gif");
}

TEST(Numbers, SaturatingConversion) {
  int V = 7;
  EXPECT_TRUE(StrToIntSat("-2147483648", V));
  EXPECT_EQ(V, -2147483647 - 1);
  EXPECT_TRUE(StrToIntSat("2147483648", V));
  EXPECT_EQ(V, 2147483647);
  EXPECT_TRUE(StrToIntSat("-99999999999999999999999", V));
  EXPECT_EQ(V, -2147483647 - 1);
  EXPECT_TRUE(StrToIntSat("+12", V));
  EXPECT_EQ(V, 12);
  V = 7;
  EXPECT_FALSE(StrToIntSat("12a", V));
  EXPECT_FALSE(StrToIntSat("-", V));
  EXPECT_FALSE(StrToIntSat("", V));
  EXPECT_EQ(V, 7);
}

TEST(IndentManager, FloatsPushTheEdgesInwardWhileTheyCoverY) {
  IndentManagerBasic M;
  M.Reset(10, 400);
  M.AddFloat(20, 100, 50, IndentAlignLeft);  // covers 20..69
  M.AddFloat(30, 60, 10, IndentAlignRight);  // covers 30..39
  M.AddFloat(0, 60, 10, 2);                  // not a float alignment: nothing
  EXPECT_EQ(M.L.Count(), 1);
  EXPECT_EQ(M.R.Count(), 1);
  EXPECT_EQ(M.LeftEdgeAt(19), 10);
  EXPECT_EQ(M.LeftEdgeAt(20), 110);
  EXPECT_EQ(M.LeftEdgeAt(69), 110);
  EXPECT_EQ(M.LeftEdgeAt(70), 10); // Y = EndY is back at the base edge
  EXPECT_EQ(M.RightEdgeAt(35), 340);
  EXPECT_EQ(M.RightEdgeAt(40), 400);
  // A second left float beside the first stacks on it.
  M.AddFloat(25, 40, 5, IndentAlignLeft);
  EXPECT_EQ(M.LeftEdgeAt(26), 150);
  EXPECT_EQ(M.LowestFloatBottom(), 70);
  int LY, RY;
  M.ClearBelowFloats(LY, RY);
  EXPECT_EQ(LY, 71);
  EXPECT_EQ(RY, 41);
  M.Clear();
  EXPECT_EQ(M.LowestFloatBottom(), 0);
  M.ClearBelowFloats(LY, RY);
  EXPECT_EQ(LY, 0);
  EXPECT_EQ(RY, 0);
}

TEST(IndentManager, ListLevels) {
  IndentManagerBasic M;
  M.Reset(0, 500);
  M.ChangeLeftLevel(10, 2); // two levels of 35
  EXPECT_EQ(M.CurrentID, 2);
  EXPECT_EQ(M.LeftEdgeAt(10), 70);
  EXPECT_EQ(M.LevelIndent(), 1); // nothing indents further than level 2
  M.ChangeLeftLevel(50, 1);
  EXPECT_EQ(M.LeftEdgeAt(50), 35); // level 2 ended at 49
  EXPECT_EQ(M.LeftEdgeAt(48), 70); // the closed level covers up to Y - 1, exclusive
  EXPECT_EQ(M.LevelIndent(), 50);
  // Block indents move one level at a time by 15.
  M.ChangeRightLevel(60, 3);
  EXPECT_EQ(M.CurrentID, 1);
  M.ChangeRightLevel(60, 2);
  EXPECT_EQ(M.LeftEdgeAt(60), 50);
  M.ChangeRightLevel(80, 1);
  EXPECT_EQ(M.LeftEdgeAt(80), 35);
}

TEST(IndentManager, RecordsThatEndedLeaveTheQueriesAndKeepTheirAnswers) {
  IndentManagerBasic M;
  M.Reset(0, 500);
  // A long page: a list item and a float beside it every 20 px, alternately 50 and 100
  // wide, each ending before the next begins.
  const int Items = 2000;
  for (int I = 0, Y = 0; I < Items; ++I, Y += 20) {
    M.ChangeLeftLevel(Y, 1);
    M.AddFloat(Y, I % 2 ? 100 : 50, 10, IndentAlignLeft); // covers Y..Y+9
    M.AddFloat(Y, 30, 15, IndentAlignRight);              // covers Y..Y+14
    ASSERT_EQ(M.LeftEdgeAt(Y + 5), I % 2 ? 135 : 85) << I;
    ASSERT_EQ(M.RightEdgeAt(Y + 12), 470) << I;
    M.ChangeLeftLevel(Y + 10, 0); // the level covers up to Y + 8
    ASSERT_EQ(M.LeftEdgeAt(Y + 10), 0) << I;
    // Layout only looks at what can still cover the lines to come.
    ASSERT_LE(M.LiveRecords(), 4) << I;
  }
  EXPECT_EQ(M.L.Count(), 2 * Items);
  const int Last = 20 * (Items - 1);
  EXPECT_EQ(M.LowestFloatBottom(), Last + 15);
  int LY, RY;
  M.ClearBelowFloats(LY, RY);
  EXPECT_EQ(LY, Last + 11);
  EXPECT_EQ(RY, Last + 16);
  // A question about a Y passed long ago still has its answer.
  EXPECT_EQ(M.LeftEdgeAt(25), 135);
  EXPECT_EQ(M.LeftEdgeAt(18), 0);
  EXPECT_EQ(M.RightEdgeAt(3), 470);
  // The floats wider than the new level's indent, long ended, still count for its bottom:
  // the lowest of the 100 wide ones reaches Last + 10.
  M.ChangeLeftLevel(Last + 100, 1);
  M.ChangeLeftLevel(Last + 100, 3); // 35 + 2 x 35 = 105: only the 100 wide ones are further
  EXPECT_EQ(M.LevelIndent(), Last + 11);
}

TEST(ImageMaps, CoordinatesAreSplitAtCommasOrSpaces) {
  EXPECT_EQ(ParseCoords(" 1,2 , 3 4,,x,123456789012345678901234 "),
            (std::vector<int>{1, 2, 3, 4, 0, 2147483647})); // cut to 20 digits, saturated
  EXPECT_EQ(ParseCoords("5 6,7"), (std::vector<int>{5, 6, 7}));
  std::string Many;
  for (int I = 0; I < 400; ++I) Many += "1,";
  EXPECT_EQ(ParseCoords(Many).size(), 301u);
}

TAttributeList AreaAttrs(std::initializer_list<std::pair<Symb, std::string>> L) {
  TAttributeList A;
  for (auto &[S, V] : L) A.Add(S, 0, V);
  return A;
}

TEST(ImageMaps, ShapesAndHitOrder) {
  TMapItem M;
  M.AddArea(AreaAttrs({{ShapeSy, "CIRCLE"}, {CoordsSy, "50,50,10"}, {HrefSy, "c.htm"},
                       {TargetSy, "main"}}));
  ASSERT_EQ(M.Areas.size(), 1u);
  // The circle's box is (40, 40, 61, 61): x and y from 40 to 60.
  const TMapArea &Circle = M.Areas[0];
  EXPECT_TRUE(Circle.Contains(42, 50));
  EXPECT_TRUE(Circle.Contains(59, 50));
  EXPECT_TRUE(Circle.Contains(40, 50));
  EXPECT_TRUE(Circle.Contains(60, 50));
  EXPECT_TRUE(Circle.Contains(50, 59));
  EXPECT_TRUE(Circle.Contains(57, 57));
  EXPECT_FALSE(Circle.Contains(39, 50));
  EXPECT_FALSE(Circle.Contains(61, 50));
  EXPECT_FALSE(Circle.Contains(62, 50));
  EXPECT_FALSE(Circle.Contains(41, 41));
  EXPECT_FALSE(Circle.Contains(58, 58));
  M.AddArea(AreaAttrs({{HrefSy, "r.htm"}, {CoordsSy, "0,0,100,100"}}));
  M.AddArea(AreaAttrs({{ShapeSy, "rect"}, {CoordsSy, "1,2,3"}, {HrefSy, "few.htm"}}));
  M.AddArea(AreaAttrs({{ShapeSy, "poly"}, {CoordsSy, "0,0,10,0"}, {HrefSy, "few.htm"}}));
  EXPECT_EQ(M.Areas.size(), 2u); // too few numbers add nothing
  std::unique_ptr<TUrlTarget> U;
  ASSERT_TRUE(M.HitTest(50, 50, U)); // the earlier area wins
  EXPECT_EQ(U->Url, "c.htm");
  EXPECT_EQ(U->Target, "main");
  ASSERT_TRUE(M.HitTest(100, 100, U)); // right and bottom edges belong to the area
  EXPECT_EQ(U->Url, "r.htm");
  EXPECT_FALSE(M.HitTest(101, 50, U));

  TMapItem N;
  N.AddArea(AreaAttrs({{HrefSy, "x.htm"}, {NoHrefSy, ""}, {CoordsSy, "0,0,20,20"}}));
  N.AddArea(AreaAttrs({{HrefSy, "y.htm"}, {CoordsSy, "0,0,50,50"},
                       {ShapeSy, "polygon"}, {CoordsSy, "0,0,50,0,50,50,0,50"}}));
  U.reset();
  EXPECT_FALSE(N.HitTest(10, 10, U)); // the NOHREF area hides the one behind
  EXPECT_FALSE(U);
  ASSERT_TRUE(N.HitTest(30, 30, U));
  EXPECT_EQ(U->Url, "y.htm");
}

TEST(ImageMaps, PolygonsHoldThePixelsTheyWindRound) {
  TMapItem M;
  // An L: the square 0..20 less its top right quarter.
  M.AddArea(AreaAttrs({{ShapeSy, "poly"}, {CoordsSy, "0,0,10,0,10,10,20,10,20,20,0,20"},
                       {HrefSy, "l.htm"}}));
  const TMapArea &L = M.Areas[0];
  EXPECT_TRUE(L.Contains(0, 0));
  EXPECT_TRUE(L.Contains(9, 9));
  EXPECT_TRUE(L.Contains(15, 15));
  EXPECT_TRUE(L.Contains(19, 19));
  EXPECT_FALSE(L.Contains(15, 5)); // the notch
  EXPECT_FALSE(L.Contains(10, 0)); // the right edge of the upright is outside
  EXPECT_FALSE(L.Contains(20, 15));
  EXPECT_FALSE(L.Contains(-1, 5));
  // Drawn the other way round, and a bow tie whose halves wind opposite ways.
  M.AddArea(AreaAttrs({{ShapeSy, "poly"}, {CoordsSy, "0,20,20,20,20,10,10,10,10,0,0,0"}}));
  EXPECT_TRUE(M.Areas[1].Contains(15, 15));
  EXPECT_FALSE(M.Areas[1].Contains(15, 5));
  M.AddArea(AreaAttrs({{ShapeSy, "poly"}, {CoordsSy, "0,0,20,20,20,0,0,20"}}));
  EXPECT_TRUE(M.Areas[2].Contains(2, 10));
  EXPECT_TRUE(M.Areas[2].Contains(17, 10));
  EXPECT_FALSE(M.Areas[2].Contains(10, 2));
}

TEST(ImageMaps, HostileNumbersMakeBoundedAreasAtOnce) {
  // A circle or polygon of millions of pixels is only geometry: nothing is rasterised.
  TMapItem M;
  M.AddArea(AreaAttrs({{ShapeSy, "circle"}, {CoordsSy, "50,50,99999999999999"}, {HrefSy, "c"}}));
  M.AddArea(AreaAttrs({{ShapeSy, "poly"},
                       {CoordsSy, "-99999999,-99999999,99999999,-99999999,0,99999999"},
                       {HrefSy, "p"}}));
  M.AddArea(AreaAttrs({{ShapeSy, "circle"}, {CoordsSy, "5,5,-3"}, {HrefSy, "neg"}}));
  ASSERT_EQ(M.Areas.size(), 3u);
  EXPECT_TRUE(M.Areas[0].Contains(30000, 50));   // the radius is clamped to 32767
  EXPECT_FALSE(M.Areas[0].Contains(32900, 50));
  EXPECT_TRUE(M.Areas[1].Contains(0, 0));
  EXPECT_FALSE(M.Areas[2].Contains(5, 5)); // a negative radius holds nothing
  std::unique_ptr<TUrlTarget> U;
  ASSERT_TRUE(M.HitTest(-20000, -30000, U));
  EXPECT_EQ(U->Url, "p");
}

TEST(SelectionBuffers, MarksAreSkippedAndNoBreakSpacesCopiedAsSpaces) {
  const char Text[] = {'a', 2, 'b', 4, 'c', 6, 'd', 7, char(160), 'e'};
  SelTextCount Count;
  Count.AddText(Text, 5);
  EXPECT_EQ(Count.Finish(), 3);
  Count.AddTextCR(Text + 5, 5); // d, nbsp, e and CR LF
  EXPECT_EQ(Count.Finish(), 8);

  char Small[3] = {'x', 'x', 'x'};
  SelTextBuf Buf(Small, 3);
  Buf.AddText(Text, 5);
  EXPECT_EQ(Buf.Finish(), 3);
  EXPECT_STREQ(Small, "ab");

  char Big[16];
  SelTextBuf B2(Big, 16);
  B2.AddText(Text, 10);
  B2.Finish();
  EXPECT_STREQ(Big, "abcd e");
}

TEST(SelectionBuffers, ClipBufferHoldsLongSelectionsWhole) {
  std::string Long(40000, 'x');
  Long[39999] = 'y';
  SelTextCount Count;
  Count.AddText(Long.data(), int(Long.size()));
  ClipBuffer Clip(Count.Finish());
  Clip.AddText(Long.data(), int(Long.size()));
  EXPECT_EQ(Clip.Finish(), 40001);
  std::string Got = Clipboard().AsText();
  EXPECT_EQ(Got.size(), 40000u);
  EXPECT_EQ(Got.back(), 'y');
  // Page bytes are decoded for the clipboard.
  ClipBuffer Pound(1);
  Pound.AddText("\xA3", 1);
  Pound.Finish();
  EXPECT_EQ(Clipboard().AsText(), "\xC2\xA3");
}

TEST(DrawHelpers, Raised3DRect) {
  TBitmap B(20, 20);
  TCanvas &C = B.Canvas();
  C.Brush().Color = clBlack;
  C.FillRect(TRect(0, 0, 20, 20));
  C.Brush().Color = clRed;
  Draw3DRect(C, 2, 2, 12, 12, true);
  EXPECT_EQ(C.Pixels(2, 2), clSilver);   // top-left light
  EXPECT_EQ(C.Pixels(3, 6), clSilver);
  EXPECT_EQ(C.Pixels(11, 6), clGray);    // right edge shadow
  EXPECT_EQ(C.Pixels(6, 10), clGray);    // bottom edge shadow
  EXPECT_EQ(C.Pixels(6, 6), clWhite);    // white inside
  EXPECT_EQ(C.Pixels(12, 12), clBlack);  // right and bottom edges are outside
  EXPECT_EQ(C.Brush().Color, clRed);     // brush restored
  Draw3DRect(C, 2, 2, 12, 12, false);
  EXPECT_EQ(C.Pixels(2, 2), clGray);
  EXPECT_EQ(C.Pixels(11, 6), clSilver);
}

TEST(DrawHelpers, Line3DColoursFollowTheBackground) {
  TBitmap B(20, 20);
  TCanvas &C = B.Canvas();
  TLine3DContext Doc;
  Doc.Background = 0x02000000 | clWhite; // palette-relative white is light too
  DrawLine3D(Doc, C, 2, 5, 15, 8, true);
  EXPECT_EQ(C.Pixels(2, 6), clSilver);  // left edge in the light colour
  EXPECT_EQ(C.Pixels(8, 8), clSilver);  // bottom
  EXPECT_EQ(C.Pixels(15, 6), clGray);   // right
  EXPECT_EQ(C.Pixels(8, 5), clGray);    // top
  Doc.Background = clNavy;
  DrawLine3D(Doc, C, 2, 5, 15, 8, true);
  EXPECT_EQ(C.Pixels(2, 6), clWhite);   // button highlight on a dark page
  Doc.Printing = Doc.MonochromePrinter = true;
  DrawLine3D(Doc, C, 2, 5, 15, 8, false);
  EXPECT_EQ(C.Pixels(2, 6), clBlack);
  EXPECT_EQ(C.Pixels(8, 5), clBlack);
}

TEST(DrawHelpers, TextInRectWrapsAndStopsAtTheBottom) {
  TBitmap B(200, 60);
  TCanvas &C = B.Canvas();
  C.Font().Name = "Arial";
  C.Font().Height = -14;
  C.Font().Color = clBlack;
  const int LH = C.TextHeight(std::string("A"));
  const int W = C.TextWidth(std::string("word word"));
  // Two words fit a line; six words give three lines, of which two fit the height.
  DrawTextInRect(C, 0, 0, W + 2, 2 * LH + LH / 2, "word word word word word word");
  auto RowHasInk = [&](int Y0, int Y1) {
    for (int Y = Y0; Y < Y1; ++Y)
      for (int X = 0; X < 200; ++X)
        if (C.Pixels(X, Y) != clWhite) return true;
    return false;
  };
  EXPECT_TRUE(RowHasInk(0, LH));
  EXPECT_TRUE(RowHasInk(LH, 2 * LH));
  EXPECT_FALSE(RowHasInk(2 * LH, 60));
  EXPECT_EQ(C.Brush().Style, bsSolid);
  EXPECT_EQ(TextWidth(C, "word word", 4), C.TextWidth(std::string("word")));
}

// A sheet of the helpers for a person to look at (saved in the build folder), with the
// pixels that matter checked.
TEST(DrawHelpers, SheetForInspection) {
  TBitmap B(320, 120);
  TCanvas &C = B.Canvas();
  C.Brush().Color = clBtnFace;
  C.FillRect(TRect(0, 0, 320, 120));
  Draw3DRect(C, 10, 10, 60, 40, true);
  Draw3DRect(C, 70, 10, 120, 40, false);
  TLine3DContext Grey;
  Grey.Background = clBtnFace;
  DrawLine3D(Grey, C, 10, 55, 120, 57, false); // a sunken rule
  DrawLine3D(Grey, C, 10, 65, 120, 67, true);
  C.Font().Name = "Arial";
  C.Font().Height = -12;
  C.Font().Color = clBlack;
  DrawTextInRect(C, 140, 10, 300, 110,
                 "Picture not shown: the file \"images\\field.gif\" could not be read.");
  C.Brush().Style = bsClear;
  C.Pen().Color = clRed;
  C.Rectangle(139, 9, 301, 111);
  B.SaveToPng(std::string(VORNELLE_BINARY_DIR) + "/draw_helpers_sheet.png");
  EXPECT_EQ(C.Pixels(10, 10), clSilver);
  EXPECT_EQ(C.Pixels(70, 10), clGray);
  EXPECT_EQ(C.Pixels(10, 56), clGray); // left edge of the sunken rule in shadow
  EXPECT_EQ(C.Pixels(50, 55), clWhite); // its top edge in the highlight (grey page)
}

} // namespace

// Paragraph layout, block sections, list markers and floats, with the pinned fonts.
#include <gtest/gtest.h>

#include "layout_support.h"

namespace {

TEST(LayoutBlocks, GapsAndRulesAtSize10) {
  TLaidOutDoc D(10);
  D.Parse("a<p>b<h1>c</h1><h4>d</h4><hr><hr size=25><hr size=5>");
  D.Layout(400);
  auto Gaps = D.All<TParagraphSpace>();
  ASSERT_FALSE(Gaps.empty());
  EXPECT_EQ(Gaps[0]->SectionHeight, 12); // MulDiv(14, 10, 12) = 11.67 rounds to 12
  auto Heads = D.All<THeadingSpace>();
  ASSERT_EQ(Heads.size(), 4u);
  EXPECT_EQ(Heads[0]->HeadingSize, 1);
  EXPECT_EQ(Heads[0]->SectionHeight, 13); // MulDiv(16, 10, 12)
  EXPECT_EQ(Heads[2]->SectionHeight, 7);  // level 4: MulDiv(8, 10, 12)
  EXPECT_EQ(HeadingSpaceHeight(9, 10), 7); // an unknown level as level 4
  auto Rules = D.All<THorzLine>();
  ASSERT_EQ(Rules.size(), 3u);
  EXPECT_EQ(Rules[0]->SectionHeight, 17); // MulDiv(20, 10, 12) - 2 + 2
  EXPECT_EQ(Rules[1]->VSize, 2);          // SIZE above 20 keeps the default
  EXPECT_EQ(Rules[2]->SectionHeight, 20); // 17 - 2 + 5
}

TEST(LayoutBlocks, RuleWidthsAndPlacement) {
  TLaidOutDoc D;
  D.Parse("<hr width=150%><hr width=50% align=left><hr width=100 align=right>");
  D.Layout(400);
  auto Rules = D.All<THorzLine>();
  ASSERT_EQ(Rules.size(), 3u);
  EXPECT_EQ(Rules[0]->HRWidth, -1); // a percentage above 100 leaves it full width
  D.Draw();
  // The full rule runs from 10 to 389; its top edge is in the button shadow colour (the
  // last pixel belongs to the light right edge).
  int Top = Rules[0]->YValue + (Rules[0]->SectionHeight - 2) / 2;
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(10, Top), TColor(0x808080));
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(388, Top), TColor(0x808080));
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(389, Top + 1), clSilver);
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(5, Top), clWhite);
  // 50 % at the left edge: 200 wide.
  int Top2 = Rules[1]->YValue + (Rules[1]->SectionHeight - 2) / 2;
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(0, Top2), TColor(0x808080));
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(198, Top2), TColor(0x808080));
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(201, Top2), clWhite);
  int Top3 = Rules[2]->YValue + (Rules[2]->SectionHeight - 2) / 2;
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(299, Top3), clWhite);
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(300, Top3), TColor(0x808080));
}

TEST(LayoutLists, MarkersByStyle) {
  TLaidOutDoc D;
  D.Parse("<ol start=30 type=A><li>x</ol><ol start=25 type=i><li>y</ol>"
          "<ol start=20 type=I><li>z</ol><ol start=2 type=a><li>w</ol><ol start=7><li>v</ol>"
          "<ol start=0 type=i><li>u</ol>");
  auto Items = D.All<TOListItem>();
  ASSERT_EQ(Items.size(), 6u);
  EXPECT_EQ(Items[0]->ListMarkerText(), "Z."); // letters stop at Z
  EXPECT_EQ(Items[1]->ListMarkerText(), "xx."); // numerals stop at 20
  EXPECT_EQ(Items[2]->ListMarkerText(), "XX.");
  EXPECT_EQ(Items[3]->ListMarkerText(), "b.");
  EXPECT_EQ(Items[4]->ListMarkerText(), "7.");
  EXPECT_EQ(Items[5]->ListMarkerText(), "0."); // no numeral below 1: the number
}

TEST(LayoutLists, ALoneItemIsIndentedLess) {
  TLaidOutDoc D;
  D.Parse("<li>lone item</li><p>after");
  D.Layout(400);
  TSection *I = D.Para("lone");
  ASSERT_TRUE(I);
  EXPECT_EQ(I->Lines[0].LineIndent, 15);
  EXPECT_EQ(D.Para("after")->Lines[0].LineIndent, 0);
}

TEST(LayoutLists, IndentAndBulletColours) {
  TLaidOutDoc D;
  D.Parse("<ul><li>one<ul><li>two</ul></ul>");
  D.Layout(400);
  auto Items = D.All<TUListItem>();
  ASSERT_EQ(Items.size(), 2u);
  EXPECT_EQ(Items[0]->Lines[0].LineIndent, 35);
  EXPECT_EQ(Items[1]->Lines[0].LineIndent, 70);
  D.Draw();
  for (TUListItem *I : Items) {
    const LineRec &L = I->Lines[0];
    int X = I->TextEdge - 8, Y = L.DrawY + L.SpaceBefore + L.LineHt - L.LineHt / 2;
    // (one font in the line: the middle of its text)
    // Level 1 navy, level 2 maroon, on a white page.
    EXPECT_EQ(D.Bitmap.Canvas().Pixels(X, Y), I->ListLevel == 1 ? clNavy : clMaroon);
  }
}

TEST(LayoutLines, LongWordsAndWrapping) {
  TLaidOutDoc D;
  D.Parse("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa bb cc");
  D.Layout(60);
  TSection *P = D.Para("aaaa");
  ASSERT_TRUE(P);
  ASSERT_GE(P->Lines.size(), 2u);
  // The whole word and the space after it form the first line.
  EXPECT_EQ(P->Lines[0].Start, 0);
  EXPECT_EQ(P->Lines[0].Ln, 31);
  EXPECT_GE(D.MaxWidth, D.TextWidth(std::string(30, 'a')));
  EXPECT_EQ(P->Lines[1].Start, 31);
  // Every line's height is its font's: the section's height is their sum.
  int Sum = 0;
  for (const LineRec &L : P->Lines) Sum += L.TotalHeight();
  EXPECT_EQ(P->SectionHeight, Sum);
}

TEST(LayoutLines, BreaksAtTheLastSpaceThatFits) {
  TLaidOutDoc D;
  D.Parse("one two three four five six seven eight nine ten");
  int W = D.TextWidth("one two three ");
  D.Layout(W + 1);
  TSection *P = D.Para("one");
  ASSERT_TRUE(P);
  ASSERT_GE(P->Lines.size(), 2u);
  EXPECT_EQ(P->Buff.substr(size_t(P->Lines[0].Start), size_t(P->Lines[0].Ln)), "one two three ");
}

TEST(LayoutLines, CentredAndRightAligned) {
  TLaidOutDoc D;
  D.Parse("<p align=center>mid</p><p align=right>end</p>");
  D.Layout(400);
  int W = D.TextWidth("mid");
  EXPECT_EQ(D.Para("mid")->Lines[0].LineIndent, (400 - W) / 2);
  EXPECT_EQ(D.Para("end")->Lines[0].LineIndent, 400 - D.TextWidth("end") - 1);
}

TEST(LayoutObjects, LineWithOnlyAPicture) {
  TLaidOutDoc D;
  D.AddPicture("p", 30, 60);
  D.Parse("<img src=p>");
  D.Layout(400);
  auto Secs = D.All<TSection>();
  TSection *P = nullptr;
  for (TSection *S : Secs)
    if (S->Len > 0) P = S;
  ASSERT_TRUE(P);
  ASSERT_EQ(P->Lines.size(), 1u);
  EXPECT_EQ(P->Lines[0].LineHt, 0); // only an object mark: no font height
  EXPECT_EQ(P->SectionHeight, 60);
}

TEST(LayoutObjects, SizesFromAttributesAndProportions) {
  TLaidOutDoc D;
  D.AddPicture("p", 40, 10);
  D.AddPicture("empty", 0, 0);
  D.Parse("<img src=p height=20><img src=p width=80><img src=p width=0 height=20>"
          "<img src=p width=50%><img src=empty height=20><img src=empty width=20>");
  D.Layout(400);
  TSection *P = nullptr;
  for (TSection *S : D.All<TSection>())
    if (S->Images.Count() > 0) P = S;
  ASSERT_TRUE(P);
  ASSERT_EQ(P->Images.Count(), 6);
  EXPECT_EQ(P->Images[0]->ImageWidth, 80); // MulDiv(20, 40, 10)
  EXPECT_EQ(P->Images[1]->ImageHeight, 20);
  EXPECT_EQ(P->Images[2]->ImageWidth, 80); // WIDTH=0 counts as absent
  EXPECT_EQ(P->Images[3]->ImageWidth, 200); // 50 % of the line
  // A picture without pixels gives no division by zero and no negative size.
  EXPECT_GE(P->Images[4]->ImageWidth, 0);
  EXPECT_GE(P->Images[5]->ImageHeight, 0);
}

TEST(LayoutFloats, LeftAndRightWithHSpace) {
  TLaidOutDoc D;
  D.AddPicture("p", 50, 40);
  D.Parse("<img src=p align=left hspace=7>text<img src=p align=right>");
  D.Layout(400);
  TSection *P = D.Para("text");
  ASSERT_TRUE(P);
  EXPECT_EQ(P->Lines[0].LineIndent, 57); // 50 wide and 7 beside it
  auto *L = P->Images[0];
  EXPECT_EQ(L->Indent, 0);
  auto *R = P->Images[1];
  EXPECT_EQ(R->HSpace, 5); // the float default
  // Registered after the line, at its bottom; it stands at 400 - 55 + 5.
  EXPECT_EQ(R->Indent, 350);
  EXPECT_EQ(R->FloatTop, P->Lines[0].TotalHeight());
  EXPECT_EQ(P->DrawHeight, P->Lines[0].TotalHeight() + 40);
  // Text after floats at a paragraph's start does not begin with a space.
  TLaidOutDoc E;
  E.AddPicture("p", 50, 40);
  E.Parse("<img src=p align=left> word");
  TSection *Q = E.Para("word");
  ASSERT_TRUE(Q);
  EXPECT_EQ(Q->Buff, std::string("\x04") + "word");
}

TEST(LayoutFloats, ClearDropsToTheFloatsEnd) {
  TLaidOutDoc D;
  D.AddPicture("p", 50, 100);
  D.Parse("<img src=p align=left vspace=0>a<br clear=all>b");
  D.Layout(400);
  TSection *B = D.Para("b");
  ASSERT_TRUE(B);
  ASSERT_GE(B->Lines.size(), 2u);
  EXPECT_EQ(B->Lines[0].Ln, 0); // the drop
  // The float covers 0..99; the drop stops one pixel short of its end.
  EXPECT_EQ(B->Lines[0].LineHt, 99 - B->YValue);
  EXPECT_EQ(B->Lines[1].DrawY, 99);
}

TEST(LayoutScripts, SuperscriptsRiseAndSubscriptsDrop) {
  TLaidOutDoc D;
  D.Parse("x<sup>2</sup>y<sub>0</sub>z");
  D.Layout(400);
  TSection *P = D.Para("x");
  ASSERT_TRUE(P);
  const TFontObj *Sup = P->Fonts.GetFontObjAt(1);
  const TFontObj *Sub = P->Fonts.GetFontObjAt(3);
  const TFontObj *Plain = P->Fonts.GetFontObjAt(0);
  ASSERT_EQ(Sup->SScript, TScript::Sup);
  ASSERT_EQ(Sub->SScript, TScript::Sub);
  EXPECT_EQ(Sup->TheFont.NormalSize, 9); // three quarters of 12
  // Raised by about a third of the normal height, lowered by about a quarter.
  EXPECT_NEAR(Sup->ScriptShift, Plain->tmHeight / 3, 2);
  EXPECT_NEAR(Sub->ScriptShift, Plain->tmHeight / 4, 2);
  // The line holds the plain text's ascent above its baseline and the subscript below it.
  const LineRec &L0 = P->Lines[0];
  EXPECT_GE(L0.LineHt - L0.Descent, Plain->FontHeight - Plain->Descent);
  EXPECT_EQ(L0.Descent, Sub->Descent);
  D.Draw();
  // The superscript's ink lies above the plain text's top, the subscript's below its base.
  const LineRec &L = P->Lines[0];
  int Base = L.DrawY + L.SpaceBefore + L.LineHt - L.Descent;
  int X0 = L.DrawX + D.TextWidth("x"), X1 = X0 + 5;
  int TopInk = 10000, BottomInk = -1;
  for (int X = X0; X < X1; ++X)
    for (int Y = 0; Y < 60; ++Y)
      if (D.Bitmap.Canvas().Pixels(X, Y) != clWhite) TopInk = std::min(TopInk, Y);
  int XS = L.DrawX + D.TextWidth("x") + P->RunWidth(D.Bitmap.Canvas(), *Sup, 1, 1) + D.TextWidth("y");
  for (int X = XS; X < XS + 5; ++X)
    for (int Y = 0; Y < 60; ++Y)
      if (D.Bitmap.Canvas().Pixels(X, Y) != clWhite) BottomInk = std::max(BottomInk, Y);
  EXPECT_LT(TopInk, Base - Plain->tmHeight / 2);
  EXPECT_GT(BottomInk, Base);
}

TEST(LayoutCells, PositionsCountEveryCharacter) {
  TLaidOutDoc D;
  D.Parse("abc<p>de");
  D.Layout(400);
  EXPECT_EQ(D.Curs, 5);
  EXPECT_EQ(D.Para("de")->StartCurs, 3);
  char Ch = 0;
  TSectionBase *Obj = nullptr;
  EXPECT_TRUE(D.List.GetChAtPos(4, Ch, Obj));
  EXPECT_EQ(Ch, 'e');
  EXPECT_FALSE(D.List.GetChAtPos(5, Ch, Obj));
}

TEST(LayoutPre, NoWrappingAndWidth) {
  TLaidOutDoc D;
  D.Parse("<pre>a long preformatted line that never wraps at all</pre>");
  D.Layout(50);
  auto Pres = D.All<TPreFormated>();
  ASSERT_FALSE(Pres.empty());
  TPreFormated *P = nullptr;
  for (auto *X : Pres)
    if (X->Len > 0) P = X;
  ASSERT_TRUE(P);
  EXPECT_EQ(P->Lines.size(), 1u);
  EXPECT_GT(D.MaxWidth, 200);
}

} // namespace

namespace {

TEST(LayoutObjects, HugeSizesAreCapped) {
  TLaidOutDoc D;
  D.AddPicture("p", 4, 4);
  D.Parse("<img src=p width=2000000000 height=2000000000><img src=p width=2000000000>"
          "<panel width=2000000000 height=2000000000><input size=2000000000>"
          "<table><tr><td width=2000000000>x</td><td width=2000000000>y</td></tr></table>");
  int H = D.Layout(400);
  EXPECT_GT(H, 0);
  EXPECT_LE(H, 4 * 32000 + 1000);
  TSection *P = nullptr;
  for (TSection *S : D.All<TSection>())
    if (S->Images.Count()) P = S;
  ASSERT_TRUE(P);
  EXPECT_EQ(P->Images[0]->ImageWidth, 32000);
}

} // namespace

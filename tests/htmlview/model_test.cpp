// The document model's building operations and position look-ups, driven directly.
#include <gtest/gtest.h>

#include "doc_dump.h"
#include "htmlview/document.h"
#include "htmlview/tokenizer.h"
#include "platform/bitmap.h"

namespace {

TokenObj Token(const std::string &S, int FirstPos) {
  TokenObj T;
  for (size_t K = 0; K < S.size(); ++K) T.AddChar(S[K], FirstPos + int(K));
  return T;
}

struct Model {
  TSectionList List;
  TMyFont Font;
  std::unique_ptr<TSection> S;
  Model() {
    Font.Name = "Times New Roman";
    Font.SetNormalSize(&List, 12);
    S = std::make_unique<TSection>(&List, 0, Font, nullptr, 1);
  }
};

TEST(ModelText, LeadingSpacesCollapse) {
  Model M;
  M.S->AddTokenObj(Token(" a", 0));
  M.S->AddTokenObj(Token(" b", 2));
  EXPECT_EQ(M.S->Buff, "a b"); // the first token's leading space is dropped
  M.S->AddTokenObj(Token(" ", 4));
  M.S->AddTokenObj(Token(" c", 5));
  EXPECT_EQ(M.S->Buff, "a b c");
}

TEST(ModelText, NoBreakWhiteBecomesNoBreakSpaces) {
  Model M;
  M.List.Build.NoBreak = true;
  M.S->AddTokenObj(Token(std::string("a\x05\x05") + "b", 0));
  EXPECT_EQ(VisibleText(M.S->Buff), "a{NBSP}b");
  Model N;
  N.List.Build.NoBreak = true;
  N.S->AddTokenObj(Token("\x05", 0));
  EXPECT_EQ(N.S->Len, 0); // a token of only the mark at the start adds nothing
}

TEST(ModelText, ControlBytesAreNotObjectMarks) {
  Model M;
  M.S->AddTokenObj(Token(std::string("a\x04") + "b\x02" + "c" + std::string(1, '\0') + "d", 0));
  EXPECT_EQ(M.S->Buff, "a b c d");
  EXPECT_EQ(M.S->Images.GetImageCountAt(0), NoneCount);
}

TEST(ModelText, FloatsAtTheStartSwallowTheNextSpace) {
  Model M;
  TAttributeList L;
  L.Add(AlignSy, 0, "left");
  L.Add(SrcSy, 0, "x.gif");
  M.S->AddImage(L, &M.List, 0);
  M.S->AddTokenObj(Token(" word", 10));
  EXPECT_EQ(VisibleText(M.S->Buff), "{IMG}word");
  EXPECT_EQ(M.S->Images.GetImageCountAt(0), 0); // at the image itself
  EXPECT_EQ(M.S->Images.GetImageCountAt(1), NoneCount);
  // An inline picture keeps the space after it.
  Model N;
  TAttributeList I;
  I.Add(SrcSy, 0, "x.gif");
  N.S->AddTokenObj(Token("a", 0));
  N.S->AddImage(I, &N.List, 1);
  N.S->AddTokenObj(Token(" b", 2));
  EXPECT_EQ(VisibleText(N.S->Buff), "a{IMG} b");
}

TEST(ModelFonts, ChangeAtTheSamePlaceReassigns) {
  Model M;
  M.S->AddTokenObj(Token("ab", 0));
  TMyFont Bold = M.Font;
  Bold.Style = fsBold;
  M.S->ChangeFont(&M.List, Bold);
  TMyFont Italic = M.Font;
  Italic.Style = fsItalic;
  M.S->ChangeFont(&M.List, Italic);
  ASSERT_EQ(M.S->Fonts.Count(), 2);
  EXPECT_EQ(M.S->Fonts[1]->Pos, 2);
  EXPECT_EQ(M.S->Fonts[1]->TheFont.Style, unsigned(fsItalic));
  M.S->AddTokenObj(Token("cd", 2));
  EXPECT_EQ(M.S->Fonts.GetFontCountAt(0, M.S->Len), 2);
  EXPECT_EQ(M.S->Fonts.GetFontCountAt(3, M.S->Len), 1);
}

TEST(ModelFonts, ScriptModesShrinkAndLinksCarryOver) {
  Model M;
  TUrlTarget U;
  U.Url = "next.htm";
  M.S->HRef(AnchorSy, &M.List, U, M.Font);
  M.S->AddTokenObj(Token("x", 0));
  M.List.Build.SScript = TScript::Sup;
  M.S->ChangeFont(&M.List, M.Font);
  M.S->AddTokenObj(Token("2", 1));
  const TFontObj *F = M.S->Fonts.GetFontObjAt(1);
  EXPECT_EQ(F->SScript, TScript::Sup);
  EXPECT_EQ(F->TheFont.NormalSize, 9);
  EXPECT_EQ(F->UrlTarget().Url, "next.htm"); // the link goes on in the new run
  EXPECT_EQ(M.List.LinkList.size(), 2u);
  M.S.reset();
  EXPECT_TRUE(M.List.LinkList.empty()); // runs leave the document's lists when freed
}

TEST(ModelText, AControlByteAnywhereInALongRunBecomesASpace) {
  // Runs are tested for control bytes eight at a time; every offset of the byte, and
  // bytes above 127 next to it, must still be seen.
  for (size_t K = 1; K < 19; ++K) { // a space at the very start would be dropped
    Model M;
    std::string S = "x\xE9\xA0" "bcdefghijklmnopq";
    S[K] = char(K % 2 ? 0x01 : 0x1F);
    M.S->AddTokenObj(Token(S, 0));
    std::string Want = S;
    Want[K] = ' ';
    EXPECT_EQ(M.S->Buff, Want) << K;
  }
  Model High;
  const std::string Latin = "\xE0\xE9\xFF\x80\xA0 !~\xC0\xC1";
  High.S->AddTokenObj(Token(Latin, 0));
  EXPECT_EQ(High.S->Buff, Latin); // nothing below 32: kept byte for byte
}

TEST(ModelPositions, TheSourceIndexBreaksWhereverPositionsJump) {
  Model M;
  TokenObj T;
  // 0..8 in steps of one, a jump over a dropped line-end byte, then an include's
  // characters that all stand at one source position.
  for (int P : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 12, 12, 13})
    T.AddChar('a', P);
  M.S->AddTokenObj(T);
  std::vector<std::pair<int, int>> Runs;
  for (const IndexObj &R : M.S->SIndexList) Runs.push_back({R.Pos, R.Index});
  // A single jump at every place of a run of fourteen is found.
  for (int B = 1; B < 14; ++B) {
    Model J;
    TokenObj U;
    for (int K = 0; K < 14; ++K) U.AddChar('b', K < B ? K : K + 1);
    J.S->AddTokenObj(U);
    ASSERT_EQ(J.S->SIndexList.size(), 2u) << B;
    EXPECT_EQ(J.S->SIndexList[1].Pos, B);
    EXPECT_EQ(J.S->SIndexList[1].Index, B + 1);
  }
  // The last 12 goes on to 13 without a break.
  EXPECT_EQ(Runs, (std::vector<std::pair<int, int>>{{0, 0}, {9, 10}, {12, 12}, {13, 12}}));
  // A token that goes on from the last character adds no break.
  M.S->AddTokenObj(Token("bcd", 14));
  EXPECT_EQ(M.S->SIndexList.size(), 4u);
  M.S->AddTokenObj(Token("e", 30));
  ASSERT_EQ(M.S->SIndexList.size(), 5u);
  EXPECT_EQ(M.S->SIndexList.back().Pos, 18);
  EXPECT_EQ(M.S->SIndexList.back().Index, 30);
}

TEST(ModelPositions, SourceAndDocumentPositions) {
  Model M;
  M.S->AddTokenObj(Token("abc", 10)); // source 10..12
  M.S->AddTokenObj(Token("de", 20));  // a tag at 13..19 produced nothing
  ASSERT_EQ(M.S->SIndexList.size(), 2u);
  M.S->StartCurs = 100;
  EXPECT_EQ(M.S->FindSourcePos(101), 11);
  EXPECT_EQ(M.S->FindSourcePos(104), 21);
  EXPECT_EQ(M.S->FindSourcePos(105), -1);
  EXPECT_EQ(M.S->FindDocPos(11, false), 101);
  // Inside the tag: the position after it, or with Prev the one before it.
  EXPECT_EQ(M.S->FindDocPos(15, false), 103);
  EXPECT_EQ(M.S->FindDocPos(15, true), 102);
  EXPECT_EQ(M.S->FindDocPos(5, true), -1);
  EXPECT_EQ(M.S->FindDocPos(5, false), 100);
  EXPECT_EQ(M.S->FindDocPos(99, true), 104);
  EXPECT_EQ(M.S->FindDocPos(99, false), -1);
}

TEST(ModelSections, ClearOpBreakAndEmptyFinish) {
  Model M;
  TAttributeList L;
  L.Add(ClearSy, 0, "LEFT");
  M.S->SetClear(L);
  EXPECT_EQ(M.S->ClearAttr, 1);
  TAttributeList A;
  A.Add(ClearSy, 0, "both");
  M.S->SetClear(A);
  EXPECT_EQ(M.S->ClearAttr, 3);
  EXPECT_TRUE(M.S->SIndexList.empty());
  M.S->AddOpBrk(7);
  EXPECT_EQ(M.S->Buff, " ");
  M.S->AddOpBrk(9); // only in an empty section
  EXPECT_EQ(M.S->Len, 1);
}

TEST(ModelCells, AddKeepsTheSourceIndexAndIgnoresNull) {
  TSectionList List;
  TMyFont F;
  auto S = std::make_unique<TSection>(&List, 0, F, nullptr, 1);
  S->AddTokenObj(Token("x", 3));
  TSection *P = S.get();
  List.Add(std::unique_ptr<TSectionBase>());
  List.Add(std::move(S));
  EXPECT_EQ(List.Count(), 1);
  ASSERT_EQ(P->SIndexList.size(), 1u);
  EXPECT_EQ(P->SIndexList[0].Pos, 0);
  EXPECT_EQ(P->SIndexList[0].Index, 3);
}

TEST(ModelAnchors, TheFirstOfANameWins) {
  TAnchorList A;
  TSectionList List;
  TParagraphSpace One(&List), Two(&List);
  EXPECT_TRUE(A.Add("TOP", &One));
  EXPECT_FALSE(A.Add("TOP", &Two));
  EXPECT_EQ(A.Find("TOP"), &One);
}

TEST(ModelCopies, CopiesKeepTextFontsAndLevels) {
  TSectionList List;
  TMyFont F;
  auto S = std::make_unique<TOListItem>(&List, 2, 7, 'i', F, nullptr, 2);
  S->AddTokenObj(Token("item", 0));
  List.Add(std::move(S));
  TSectionList Copy(List, nullptr);
  ASSERT_EQ(Copy.Count(), 1);
  auto *C = dynamic_cast<TOListItem *>(Copy.Items(0));
  ASSERT_TRUE(C);
  EXPECT_EQ(C->Buff, "item");
  EXPECT_EQ(C->ListNumb, 7);
  EXPECT_EQ(C->ListStyle, 'i');
  EXPECT_EQ(C->ListLevel, 2);
  EXPECT_EQ(C->Justify, 2);
  EXPECT_EQ(C->ParentSectionList, &Copy);
  EXPECT_EQ(DumpCell(Copy), DumpCell(List));
}

TEST(ModelSettings, SetFontsCutsNamesAndRescales) {
  TSectionList List;
  TMyFont F;
  F.SetNormalSize(&List, 18);
  auto S = std::make_unique<TSection>(&List, 0, F, nullptr, 1);
  S->AddTokenObj(Token("x", 0));
  TSection *P = S.get();
  List.Add(std::move(S));
  List.SetFonts(std::string(40, 'N'), "Courier New", 16, clRed, clBlue, clPurple, clBlue, clWhite,
                false);
  EXPECT_EQ(List.FontName.size(), 33u);
  EXPECT_EQ(P->Fonts[0]->TheFont.Size(), 24); // MulDiv(16, 18, 12)
  EXPECT_EQ(P->Fonts[0]->TheFont.Color, clRed | 0x2000000);
}

} // namespace

namespace {

TEST(ModelSelection, CountsToTheNextBoundary) {
  TSectionList L;
  L.SelB = 10;
  L.SelE = 20;
  int C = 0;
  EXPECT_FALSE(L.IsInSelection(4, C));
  EXPECT_EQ(C, 6); // to the selection's start
  EXPECT_TRUE(L.IsInSelection(12, C));
  EXPECT_EQ(C, 8); // to its end
  EXPECT_FALSE(L.IsInSelection(20, C));
  EXPECT_EQ(C, 32000);
  L.SelE = 5; // no selection
  EXPECT_FALSE(L.IsInSelection(12, C));
  EXPECT_EQ(C, 32000);
  L.SelB = L.SelE = 7;
  L.ShowDummyCaret = true;
  EXPECT_FALSE(L.IsInSelection(7, C));
  EXPECT_EQ(C, 1);
  L.Printing = true;
  L.SelE = 9;
  EXPECT_FALSE(L.IsInSelection(8, C));
}

TEST(ModelPre, StopsTakingTextPastItsLimit) {
  TSectionList L;
  TMyFont F;
  TPreFormated P(&L, 0, F, nullptr, 1);
  P.AddTokenObj(Token("  two  spaces", 0));
  EXPECT_EQ(P.Buff, "  two  spaces"); // nothing collapsed
  P.AddText(std::string(TPreFormated::MaxPreLength + 50, 'x'), {});
  int Len = P.Len;
  P.AddTokenObj(Token("more", 0));
  EXPECT_EQ(P.Len, Len);
}

TEST(ModelForms, ControlsSizesAndSubmissions) {
  TSectionList L;
  TMyFont F;
  TSection S(&L, 0, F, nullptr, 1);
  TAttributeList Edit, Box, Sel, Sel4, Hidden, Img;
  Edit.Add(TypeSy, 0, "text");
  Edit.Add(SizeSy, 30, "30,1");
  Edit.Add(NameSy, 0, "who");
  Edit.Add(ValueSy, 0, "me");
  Box.Add(TypeSy, 0, "CheckBox");
  Box.Add(NameSy, 0, "ok");
  Box.Add(CheckedSy, 0, "");
  Sel4.Add(SizeSy, 4, "4");
  Hidden.Add(TypeSy, 0, "hidden");
  Hidden.Add(NameSy, 0, "h");
  Hidden.Add(ValueSy, 0, "v");
  Img.Add(TypeSy, 0, "image");
  Img.Add(NameSy, 0, "map");
  auto *E = dynamic_cast<TEditFormControlObj *>(S.AddFormControl(InputSy, Edit, &L, 0));
  auto *C = dynamic_cast<TCheckBoxFormControlObj *>(S.AddFormControl(InputSy, Box, &L, 1));
  auto *Combo = dynamic_cast<TListBoxFormControlObj *>(S.AddFormControl(SelectSy, Sel, &L, 2));
  auto *List = dynamic_cast<TListBoxFormControlObj *>(S.AddFormControl(SelectSy, Sel4, &L, 3));
  S.AddFormControl(InputSy, Hidden, &L, 4);
  auto *I = dynamic_cast<TImageFormControlObj *>(S.AddFormControl(InputSy, Img, &L, 5));
  ASSERT_TRUE(E && C && Combo && List && I);
  EXPECT_EQ(E->EditSize, 30);
  EXPECT_TRUE(Combo->Combo);  // no SIZE: a drop-down
  EXPECT_FALSE(List->Combo);  // SIZE=4: a list box
  // Marks: four controls with #2, the image input as a picture, the hidden one without.
  EXPECT_EQ(VisibleText(S.Buff), "{CTL}{CTL}{CTL}{CTL}{IMG}");
  for (int K = 0; K < 12; ++K) Combo->AddStr("option " + std::to_string(K), "", K == 3);
  Combo->ResetToValue();
  TBitmap B(10, 10);
  L.HtmlFormList[0]->SetSizes(B.Canvas());
  B.Canvas().Font().Name = "Courier New";
  B.Canvas().Font().SetSize(10);
  EXPECT_EQ(E->Width, B.Canvas().TextWidth(std::string("A")) * 30 + 5);
  EXPECT_EQ(List->Height, B.Canvas().TextHeight(std::string("A")) * 4 + 4);
  // A drop-down keeps the height it was made with; its width is in the default font.
  TBitmap Plain(10, 10);
  EXPECT_EQ(Combo->Height, 20);
  EXPECT_EQ(Combo->Width, Plain.Canvas().TextWidth(std::string("A")) * 9 + 30);
  I->XPos = 12;
  I->YPos = 34;
  std::vector<std::string> R = L.HtmlFormList[0]->Submission("");
  std::vector<std::string> Want = {"who=me", "ok=on", "=option 3", "h=v", "map.x=12", "map.y=34"};
  EXPECT_EQ(R, Want);
  // Submitted again without a new click, the image gives nothing.
  R = L.HtmlFormList[0]->Submission("");
  EXPECT_EQ(R.size(), 4u);
  C->Checked = false;
  EXPECT_EQ(L.HtmlFormList[0]->Submission("").size(), 3u);
}

} // namespace

// Tables: attributes, spans, column widths, row heights, placement and the column limit.
#include <gtest/gtest.h>

#include "layout_support.h"

namespace {

ThtmlTable *FirstTable(TLaidOutDoc &D) {
  auto T = D.All<ThtmlTable>();
  return T.empty() ? nullptr : T[0];
}

std::string Row(int N, const std::string &Cell = "<td>x</td>") {
  std::string S = "<tr>";
  for (int I = 0; I < N; ++I) S += Cell;
  return S + "</tr>";
}

TEST(TableAttributes, SpacingPaddingAndWidth) {
  TLaidOutDoc D;
  D.Parse("<table border=1 cellspacing=0 cellpadding=99 width=50%><tr><td>x</td></tr></table>"
          "<table width=0%><tr><td>y</td></tr></table>");
  auto T = D.All<ThtmlTable>();
  ASSERT_EQ(T.size(), 2u);
  EXPECT_EQ(T[0]->CellSpacing, 2);  // CELLSPACING=0 with BORDER gives 2
  EXPECT_EQ(T[0]->CellPadding, 50); // at most 50
  EXPECT_TRUE(T[0]->WidthPercent);
  EXPECT_EQ(T[0]->SpecWidth, 500);
  EXPECT_TRUE(T[1]->WidthPercent);
  EXPECT_EQ(T[1]->SpecWidth, 0); // 0 % gives no width
  D.Layout(600);
  EXPECT_EQ(T[0]->TotalWidth, 300); // 50 % of 600
}

TEST(TableWidths, ShrinkWrapsWithoutWidth) {
  TLaidOutDoc D;
  D.Parse("<table cellspacing=0 cellpadding=0><tr><td>ab</td><td>cdef</td></tr></table>");
  D.Layout(600);
  ThtmlTable *T = FirstTable(D);
  ASSERT_TRUE(T);
  EXPECT_EQ(T->Widths[0], D.TextWidth("ab"));
  EXPECT_EQ(T->Widths[1], D.TextWidth("cdef"));
  EXPECT_EQ(T->TotalWidth, D.TextWidth("ab") + D.TextWidth("cdef"));
}

TEST(TableWidths, SpanMinimaSpreadInProportion) {
  // Columns of minima 10, 20 and 30 under a spanning cell of minimum 90: the difference
  // of 30 is spread as 10 x 30/60, 20 x 30/60, 30 x 30/60, giving 15, 30 and 45.
  TLaidOutDoc D;
  D.Parse("<table cellspacing=0 cellpadding=0><tr><td width=10></td><td width=20></td>"
          "<td width=30></td></tr><tr><td colspan=3 width=90></td></tr></table>");
  D.Layout(600);
  ThtmlTable *T = FirstTable(D);
  ASSERT_TRUE(T);
  EXPECT_EQ(T->MinWidths[0], 15);
  EXPECT_EQ(T->MinWidths[1], 30);
  EXPECT_EQ(T->MinWidths[2], 45);
  EXPECT_EQ(T->NumCols, 3);
  EXPECT_TRUE(T->Rows[1]->Items(1)->IsDummy());
}

TEST(TableWidths, PercentColumns) {
  TLaidOutDoc D;
  D.Parse("<table width=400 cellspacing=0 cellpadding=0><tr><td width=25%>a</td><td>b</td></tr>"
          "</table>");
  D.Layout(600);
  ThtmlTable *T = FirstTable(D);
  ASSERT_TRUE(T);
  EXPECT_EQ(T->Widths[0], 100);
  EXPECT_EQ(T->Widths[0] + T->Widths[1], 400);
}

TEST(TableColumns, TwoHundredLayOutAndTwoHundredOneAreRefusedOnce) {
  TLaidOutDoc D;
  D.Parse("<table>" + Row(200) + "</table>after");
  D.Layout(600);
  EXPECT_TRUE(D.Host.Errors.empty());
  EXPECT_EQ(FirstTable(D)->NumCols, 200);
  TLaidOutDoc E;
  E.Parse("before<table>" + Row(201) + "</table>after");
  E.Layout(600);
  ASSERT_EQ(E.Host.Errors.size(), 1u);
  EXPECT_EQ(E.Host.Errors[0], "Table has too many Columns");
  ThtmlTable *T = FirstTable(E);
  EXPECT_TRUE(T->Dropped);
  EXPECT_EQ(T->SectionHeight, 0);
  // The rest of the page is laid out, and a second layout does not complain again.
  EXPECT_GT(E.Para("after")->SectionHeight, 0);
  EXPECT_GT(E.Para("after")->YValue, 0);
  E.Layout(500);
  EXPECT_EQ(E.Host.Errors.size(), 1u);
}

TEST(TableColumns, HugeSpansAreClamped) {
  TLaidOutDoc D;
  D.Parse("<table><tr><td colspan=2000000000>x</td></tr></table>");
  D.Layout(600);
  EXPECT_TRUE(D.Host.Errors.empty());
  EXPECT_EQ(FirstTable(D)->NumCols, 200);
  TLaidOutDoc E;
  E.Parse("<table><tr><td>a</td><td colspan=2000000000>x</td></tr>"
          "<tr><td rowspan=2000000000>r</td></tr></table>");
  E.Layout(600);
  EXPECT_EQ(E.Host.Errors.size(), 1u);
}

TEST(TableRows, HeightSpreadsOverTheRows) {
  TLaidOutDoc D;
  D.Parse("<table height=200><tr><td>a</td></tr><tr><td>b</td></tr><tr><td>c</td></tr></table>");
  D.Layout(600);
  ThtmlTable *T = FirstTable(D);
  ASSERT_TRUE(T);
  int Sum = 0;
  for (const auto &R : T->Rows) Sum += R->RowHeight;
  EXPECT_EQ(Sum, 200);
  EXPECT_EQ(T->SectionHeight, 200 + T->CellSpacing);
  // A table with a height and no rows lays out without dividing by zero.
  TLaidOutDoc E;
  E.Parse("<table height=100></table>x");
  E.Layout(600);
  EXPECT_TRUE(E.Host.Errors.empty());
}

TEST(TableRows, PercentHeightOnlyAtTopLevel) {
  TLaidOutDoc D;
  D.Parse("<table><tr><td><table height=50%><tr><td>in</td></tr></table></td></tr></table>");
  auto *Outer = FirstTable(D);
  ASSERT_TRUE(Outer);
  auto *Cell = Outer->Rows[0]->Items(0)->Cell.get();
  ThtmlTable *Inner = nullptr;
  for (const auto &S : *Cell)
    if (auto *T = dynamic_cast<ThtmlTable *>(S.get())) Inner = T;
  ASSERT_TRUE(Inner);
  EXPECT_FALSE(Inner->HeightPercent);
  EXPECT_EQ(Inner->SpecHeight, 50); // taken as pixels inside a cell
}

TEST(TablePlacement, AlignAndFloat) {
  TLaidOutDoc D;
  D.Parse("<table align=center width=200><tr><td>c</td></tr></table>"
          "<table align=right width=100><tr><td>r</td></tr></table>beside");
  D.Layout(600);
  auto T = D.All<ThtmlTable>();
  ASSERT_EQ(T.size(), 2u);
  EXPECT_EQ(T[0]->Indent, 200);
  EXPECT_TRUE(T[1]->Float);
  EXPECT_EQ(T[1]->SectionHeight, 0); // text flows beside it
  EXPECT_GT(T[1]->DrawHeight, 0);
  EXPECT_EQ(T[1]->Indent, 500);
  TSection *B = D.Para("beside");
  ASSERT_TRUE(B);
  EXPECT_EQ(B->YValue, T[1]->YValue);
}

TEST(TableCells, ContentAtPaddingAndVerticalAlignment) {
  TLaidOutDoc D;
  D.Parse("<table cellpadding=4 cellspacing=3><tr><td height=100 valign=bottom>low</td>"
          "<td valign=top>high</td></tr></table>");
  D.Layout(600);
  ThtmlTable *T = FirstTable(D);
  ASSERT_TRUE(T);
  TSection *Low = D.Para("low");
  EXPECT_EQ(Low, nullptr); // cell content is not top level
  auto *C0 = T->Rows[0]->Items(0);
  auto *C1 = T->Rows[0]->Items(1);
  auto *S0 = dynamic_cast<TSection *>(C0->Cell->Items(0));
  auto *S1 = dynamic_cast<TSection *>(C1->Cell->Items(0));
  ASSERT_TRUE(S0 && S1);
  EXPECT_EQ(S1->YValue, T->YValue + 3 + 4); // spacing then padding
  int Row = T->Rows[0]->RowHeight;
  EXPECT_EQ(Row, 100 + 3); // HEIGHT counts the padding, spacing is added
  EXPECT_EQ(S0->YValue + S0->SectionHeight, T->YValue + Row - 4); // bottom aligned
}

TEST(TableCopies, PrintCopyKeepsDummiesAndInitialization) {
  TLaidOutDoc D;
  D.Parse("<table bgcolor=red><tr><td colspan=2>a</td></tr><tr><td>b</td><td>c</td></tr></table>");
  D.Layout(600);
  ThtmlTable *T = FirstTable(D);
  ASSERT_TRUE(T && T->Initialized);
  TSectionList Copy(D.List, nullptr);
  ThtmlTable *C = nullptr;
  for (const auto &S : Copy)
    if (auto *X = dynamic_cast<ThtmlTable *>(S.get())) C = X;
  ASSERT_TRUE(C);
  EXPECT_TRUE(C->Initialized);
  EXPECT_EQ(C->Rows[0]->Count(), 2);
  EXPECT_TRUE(C->Rows[0]->Items(1)->IsDummy());
  EXPECT_FALSE(C->BkGnd); // table backgrounds print only with the option
  int Curs = 0, MW = 0;
  Copy.DoLogic(D.Bitmap.Canvas(), 0, 600, MW, Curs);
  EXPECT_EQ(C->NumCols, 2);
}

} // namespace

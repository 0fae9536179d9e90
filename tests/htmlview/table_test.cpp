// Tables: attributes, spans, column widths, row heights, placement and the column limit.
#include <gtest/gtest.h>

#include "layout_support.h"
#include "pixel_count.h"
#include "platform/numbers.h"

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

TEST(TableWidths, SpanExtraGoesToColumnsWithoutAPercent) {
  // The 300 px spanning cell leaves the 50 % column at its own minimum; the other column
  // takes the rest.
  TLaidOutDoc D;
  D.Parse("<table cellspacing=0 cellpadding=0><tr><td width=50%>aaaa<td>bbbb</tr>"
          "<tr><td colspan=2 width=300></td></tr></table>");
  D.Layout(600);
  ThtmlTable *T = FirstTable(D);
  ASSERT_TRUE(T);
  const int A = D.TextWidth("aaaa");
  EXPECT_EQ(T->MinWidths[0], A);
  EXPECT_EQ(T->MinWidths[1], 300 - A);
  EXPECT_EQ(T->MaxWidths[1], 300 - A);
  // When every spanned column has a percent, 20 % and 60 % take a quarter and three
  // quarters of what is lacking.
  TLaidOutDoc E;
  E.Parse("<table cellspacing=0 cellpadding=0><tr><td width=20%>aaaa<td width=60%>aaaa</tr>"
          "<tr><td colspan=2 width=300></td></tr></table>");
  E.Layout(600);
  T = FirstTable(E);
  ASSERT_TRUE(T);
  const int Lack = 300 - 2 * A;
  EXPECT_EQ(T->MinWidths[0], A + MulDiv(Lack, 200, 800));
  EXPECT_EQ(T->MinWidths[1], A + MulDiv(Lack, 600, 800));
  // A spanning cell's own percent is shared out first: the columns then have 25 % each and
  // share its lacking width equally, not by their minima.
  TLaidOutDoc F;
  const std::string Long(40, 'w');
  F.Parse("<table cellspacing=0 cellpadding=0><tr><td>aa<td>aaaaaa</tr><tr><td colspan=2 "
          "width=50%>" +
          Long + "</td></tr></table>");
  F.Layout(600);
  T = FirstTable(F);
  ASSERT_TRUE(T);
  const int A2 = F.TextWidth("aa"), A6 = F.TextWidth("aaaaaa");
  const int Half = (F.TextWidth(Long) - A2 - A6) / 2;
  EXPECT_EQ(T->Percents[0], 250);
  EXPECT_EQ(T->MinWidths[0], A2 + Half);
  EXPECT_EQ(T->MinWidths[1], A6 + Half);
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
  // At the top, a percentage beyond 110 is taken as pixels too.
  TLaidOutDoc E;
  E.Parse("<table height=150%><tr><td>a</td></tr></table>");
  ThtmlTable *T = FirstTable(E);
  ASSERT_TRUE(T);
  EXPECT_FALSE(T->HeightPercent);
  EXPECT_EQ(T->SpecHeight, 150);
  E.Layout(600);
  EXPECT_EQ(T->Rows[0]->RowHeight, 150);
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

namespace {

std::string Nested(int Levels, const std::string &Attrs, const std::string &Inner) {
  std::string S;
  for (int I = 0; I < Levels; ++I) S += "<table " + Attrs + "><tr><td>";
  S += Inner;
  for (int I = 0; I < Levels; ++I) S += "</td></tr></table>";
  return S;
}

} // namespace

TEST(TableNesting, HundredLevelsPlaceTheInnermostTextAndPaintIt) {
  // Each level puts its content CellSpacing + CellPadding = 2 px right of and below its
  // own top left, and adds 2 x 1 + 1 + 1 = 4 px to the height.
  TLaidOutDoc D;
  D.Parse(Nested(100, "cellspacing=1 cellpadding=1", "innermost"));
  int H = D.Layout(700);
  EXPECT_TRUE(D.Host.Errors.empty());
  int X = -1, Y = -1;
  ASSERT_TRUE(D.List.CursorToXY(D.Bitmap.Canvas(), 0, X, Y));
  EXPECT_EQ(Y, 200); // the line's top
  D.Draw();
  // The line is as tall as a line of the document's own text.
  TLaidOutDoc Plain;
  Plain.Parse("innermost");
  int LineH = Plain.Layout(700);
  EXPECT_EQ(H, LineH + 400);
  EXPECT_GT(CountColor(D.Bitmap, clBlack, TRect(200, 200, 200 + D.TextWidth("innermost"), 200 + LineH)), 10);
  EXPECT_EQ(CountColor(D.Bitmap, clBlack, TRect(0, 0, 200, 500)), 0);
  EXPECT_EQ(CountColor(D.Bitmap, clBlack, TRect(0, 0, 700, 200)), 0);
  // A second layout finds the same places.
  EXPECT_EQ(D.Layout(700), H);
  X = Y = -1;
  ASSERT_TRUE(D.List.CursorToXY(D.Bitmap.Canvas(), 0, X, Y));
  EXPECT_EQ(Y, 200);
}

TEST(TableNesting, ANewWidthIsNotAnsweredFromTheLastLayout) {
  const std::string Words =
      "words enough to wrap in a narrow cell but to stand on one line in a wide one";
  const std::string Page = Nested(5, "width=100%", Words);
  TLaidOutDoc D;
  D.Parse(Page);
  int Wide = D.Layout(650);
  int Narrow = D.Layout(150);
  TLaidOutDoc Fresh;
  Fresh.Parse(Page);
  EXPECT_EQ(Narrow, Fresh.Layout(150));
  EXPECT_GT(Narrow, Wide);
  EXPECT_EQ(D.Layout(650), Wide);
}

TEST(TableBorderColor, TenThousandRowsPaintOnlyWhatShows) {
  // cellspacing=3: every row starts with a 3 px band of the border colour across the
  // table, and every cell has a 3 px band of it on its left.
  std::string Page = "<table bordercolor=red cellspacing=3 cellpadding=0>";
  for (int I = 0; I < 10000; ++I) Page += "<tr><td width=100>a</td><td width=100>b</td></tr>";
  Page += "</table>";
  TLaidOutDoc D;
  D.Parse(Page);
  D.Layout(600);
  ThtmlTable *T = FirstTable(D);
  ASSERT_TRUE(T);
  ASSERT_EQ(T->NumRows, 10000);
  const int RowH = T->Rows[0]->RowHeight;
  const int Y0 = 5000 * RowH + 1; // halfway down, not at a row's top
  D.Bitmap.Fill(clWhite);
  D.List.SetYOffset(Y0);
  // Only the lower half of the bitmap is painted.
  D.List.Draw(D.Bitmap.Canvas(), TRect(0, 250, 700, 500), 700, 0, 0);
  EXPECT_EQ(CountColor(D.Bitmap, clRed, TRect(0, 0, 700, 250)), 0);
  const int GridX = T->ColumnsX;
  // First whole row top in the painted half.
  int R = (Y0 + 250 + RowH - 1) / RowH;
  int Top = R * RowH - Y0;
  ASSERT_LT(Top + RowH, 500);
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(GridX + 50, Top + 1), clRed);  // band above the row
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(GridX + 1, Top + 5), clRed);   // left of the first cell
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(GridX + 104, Top + 5), clRed); // between the cells
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(GridX + 90, Top + 5), clWhite); // inside a cell
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(GridX + 190, Top + 5), clWhite);
  // Nothing right of the table.
  EXPECT_EQ(CountColor(D.Bitmap, clRed, TRect(GridX + T->TotalWidth, 250, 700, 500)), 0);
  // The bands of every row in the painted half: RowH - 3 white rows between them.
  int Red = CountColor(D.Bitmap, clRed, TRect(GridX + 50, 250, GridX + 51, 500));
  EXPECT_NEAR(Red, 250 * 3 / RowH, 3);
}

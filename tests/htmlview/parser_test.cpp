#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "htmlview/document.h"
#include "htmlview/map_items.h"
#include "htmlview/parser.h"
#include "htmlview/tables.h"

namespace {

// The text of a paragraph with its marks made visible.
std::string Visible(const TSection &S) {
  std::string R;
  for (int K = 0; K < S.Len; ++K) {
    char C = S.Buff[size_t(K)];
    switch (C) {
    case '\x02': R += "[F]"; break;
    case '\x04': R += "[I]"; break;
    case '\x06': R += "[f]"; break;
    case '\x07': R += "[i]"; break;
    case '\xA0': R += "~"; break;
    default:
      if (uint8_t(C) < 32) R += "[" + std::to_string(int(C)) + "]";
      else R += C;
    }
  }
  return R;
}

std::string DumpCell(const TCell &Cell);

// One line per section: its kind, its settings and its text.
std::string DumpSection(const TSectionBase *B) {
  if (auto *T = dynamic_cast<const ThtmlTable *>(B)) {
    std::string R = "TABLE{";
    if (T->Caption && T->Caption->Cell->Count() > 0) R += std::string(T->CaptionOnTop ? "cap^" : "capv") + "{" + DumpCell(*T->Caption->Cell) + "}";
    for (const auto &Row : T->Rows) {
      R += "[";
      for (const auto &C : *Row) {
        R += '<'; // appended piece by piece: "<" + string trips a false -Wrestrict
        R += DumpCell(*C->Cell);
        R += '>';
      }
      R += "]";
    }
    return R + "}";
  }
  if (dynamic_cast<const TParagraphSpace *>(B)) return "P";
  if (auto *H = dynamic_cast<const THeadingSpace *>(B)) return "H" + std::to_string(H->HeadingSize);
  if (dynamic_cast<const THorzLine *>(B)) return "HR";
  if (dynamic_cast<const TPage *>(B)) return "PAGE";
  auto *S = dynamic_cast<const TSection *>(B);
  if (!S) return "?";
  std::string Kind = "S";
  if (auto *O = dynamic_cast<const TOListItem *>(S))
    Kind = "OL" + std::to_string(S->ListLevel) + "#" + std::to_string(O->ListNumb) + O->ListStyle;
  else if (dynamic_cast<const TDListItem *>(S))
    Kind = "DL" + std::to_string(S->ListLevel);
  else if (auto *U = dynamic_cast<const TUListItem *>(S))
    Kind = "UL" + std::to_string(S->ListLevel) + (U->Plain ? "p" : "");
  else if (dynamic_cast<const TPreFormated *>(S))
    Kind = "PRE";
  else if (S->ListLevel)
    Kind += std::to_string(S->ListLevel);
  if (S->Justify != 1) Kind += S->Justify == 2 ? "c" : "r";
  return Kind + "'" + Visible(*S) + "'";
}

std::string DumpCell(const TCell &Cell) {
  std::string R;
  for (const auto &S : Cell) {
    if (!R.empty()) R += " ";
    R += DumpSection(S.get());
  }
  return R;
}

struct Page {
  TSectionList List;
  TAnchorList Names;
  TParseHandlers Handlers;
  TParseResult Result;
  std::string Source;
  explicit Page(const std::string &Html, TParseHandlers H = {}) : Handlers(std::move(H)) {
    Parse(Html);
  }
  void Parse(const std::string &Html) {
    Source = Html;
    ParseHtmlBuffer(List, &Names, Source.data(), Source.size(), Handlers, Result);
  }
  std::string Dump() const { return DumpCell(List); }
  // The sections that hold text, in order.
  std::vector<const TSection *> Paragraphs() const {
    std::vector<const TSection *> R;
    for (const auto &S : List)
      if (auto *P = dynamic_cast<const TSection *>(S.get()); P && P->Len > 0) R.push_back(P);
    return R;
  }
  // The font run in effect at the first character C of the document.
  const TFontObj *RunAt(char C) const {
    for (const TSection *P : Paragraphs()) {
      size_t K = P->Buff.find(C);
      if (K != std::string::npos && int(K) < P->Len) return P->Fonts.GetFontObjAt(int(K));
    }
    return nullptr;
  }
};

TEST(ParserFonts, SizesFollowTheBaseFont) {
  Page A("<font size=+2>a</font><font size=9>b</font><font size=-9>c</font>d");
  ASSERT_TRUE(A.RunAt('a') && A.RunAt('b') && A.RunAt('c') && A.RunAt('d'));
  EXPECT_EQ(A.RunAt('a')->TheFont.NormalSize, 18); // 3 + 2 = index 5
  EXPECT_EQ(A.RunAt('b')->TheFont.NormalSize, 36); // clamped to 7
  EXPECT_EQ(A.RunAt('c')->TheFont.NormalSize, 8);  // clamped to 1
  EXPECT_EQ(A.RunAt('d')->TheFont.NormalSize, 12);
  Page B("<basefont size=4><font size=-1>a</font>");
  EXPECT_EQ(B.RunAt('a')->TheFont.NormalSize, 12); // 4 - 1 = index 3
  Page C("<big>a<big>b</big></big><small>c</small>");
  EXPECT_EQ(C.RunAt('a')->TheFont.NormalSize, 14);
  EXPECT_EQ(C.RunAt('b')->TheFont.NormalSize, 18);
  EXPECT_EQ(C.RunAt('c')->TheFont.NormalSize, 10);
}

TEST(ParserFonts, StyleFlagsDoNotNest) {
  Page P("<b><b>x</b>y<i>z</i>");
  EXPECT_TRUE(P.RunAt('x')->TheFont.Style & fsBold);
  EXPECT_FALSE(P.RunAt('y')->TheFont.Style & fsBold);
  EXPECT_TRUE(P.RunAt('z')->TheFont.Style & fsItalic);
}

TEST(ParserFonts, ColoursAndFaces) {
  Page P("<font color=#F0 face=\" Verdana , Arial\">r</font><font color=zz>n</font>"
         "<font color=Navy>b</font>");
  EXPECT_EQ(P.RunAt('r')->TheFont.Color & 0xFFFFFF, 0x0000F0u); // red F0, green 0, blue 0
  EXPECT_EQ(P.RunAt('r')->TheFont.Name, "Verdana");
  EXPECT_EQ(P.RunAt('n')->TheFont.Color & 0xFFFFFF, P.List.FontColor & 0xFFFFFF);
  EXPECT_EQ(P.RunAt('b')->TheFont.Color & 0xFFFFFF, 0x800000u);
}

TEST(ParserColors, NamesAndHexAsBgr) {
  TColor C = 0;
  ASSERT_TRUE(ParseColor("#F0", C));
  EXPECT_EQ(C, 0x0000F0u);
  ASSERT_TRUE(ParseColor("red", C));
  EXPECT_EQ(C, 0x0000FFu);
  ASSERT_TRUE(ParseColor("AQUA", C));
  EXPECT_EQ(C, 0xFFFF00u);
  ASSERT_TRUE(ParseColor("#123456789", C)); // the last six digits: 45 67 89
  EXPECT_EQ(C, 0x896745u);
  ASSERT_TRUE(ParseColor("336699", C));
  EXPECT_EQ(C, 0x996633u);
  EXPECT_FALSE(ParseColor("zz", C));
  EXPECT_FALSE(ParseColor("", C));
  EXPECT_FALSE(ParseColor("#", C));
}

TEST(ParserBlocks, ParagraphGaps) {
  EXPECT_EQ(Page("a<p><p></p><p>b").Dump(), "S'a' P S'b'");
  EXPECT_EQ(Page("a<p align=center>b").Dump(), "S'a' P Sc'b'");
  EXPECT_EQ(Page("<table><tr><td><p>x</td></tr></table>").Dump(),
            "S'' TABLE{[<S'x'>]}"); // no gap at the top of a cell
}

TEST(ParserBlocks, HeadingsAndRules) {
  Page P("<h1 align=right>T</h1>body<hr><h7>x");
  EXPECT_EQ(P.Dump(), "S'' H1 Sr'T' H1 S'body' HR H0 S'x'");
  EXPECT_EQ(P.RunAt('T')->TheFont.NormalSize, 24);
  EXPECT_TRUE(P.RunAt('T')->TheFont.Style & fsBold);
  EXPECT_EQ(P.RunAt('b')->TheFont.NormalSize, 12);
  EXPECT_FALSE(P.RunAt('x')->TheFont.Style & fsBold); // no level digit: plain 12
  EXPECT_EQ(P.RunAt('x')->TheFont.NormalSize, 12);
}

TEST(ParserBlocks, CenterDivAndBreaks) {
  EXPECT_EQ(Page("a<center>b</center>c").Dump(), "S'a' Sc'b' S'c'");
  EXPECT_EQ(Page("<div align=RIGHT>b<br>c</div>").Dump(), "S'' Sr'b' Sr'c' S''");
  Page Br("a<br><br>b<br clear=left>");
  EXPECT_EQ(Br.Dump(), "S'a' S' ' S'b' S''");
  // The empty line's space stands at its own BR tag.
  const auto *Empty = static_cast<const TSection *>(Br.List[1]);
  ASSERT_FALSE(Empty->SIndexList.empty());
  EXPECT_EQ(Empty->SIndexList[0].Index, 5);
  EXPECT_EQ(static_cast<const TSection *>(Br.List[3])->ClearAttr, 1);
}

TEST(ParserBlocks, Preformatted) {
  Page P("<pre>a  b\n<b>c</b>&lt;\n\n</pre>d");
  EXPECT_EQ(P.Dump(), "S'' PRE'a  b' PRE'c<' PRE'' PRE'' S'd'");
  EXPECT_TRUE(P.List[2] && dynamic_cast<const TSection *>(P.List[2]));
  const auto *C = static_cast<const TSection *>(P.List[2]);
  EXPECT_TRUE(C->Fonts.GetFontObjAt(0)->TheFont.Fixed);
  EXPECT_TRUE(C->Fonts.GetFontObjAt(0)->TheFont.Style & fsBold);
  EXPECT_EQ(C->Fonts.GetFontObjAt(0)->TheFont.NormalSize, 10);
  EXPECT_FALSE(P.RunAt('d')->TheFont.Fixed);
}

TEST(ParserLists, NumberingAndLevels) {
  EXPECT_EQ(Page("<ol start=5 type=a><li>x<li>y</ol>").Dump(), "S'' OL1#5a'x' OL1#6a'y'");
  EXPECT_EQ(Page("<ul><li>a<ul plain><li>b</ul>c</ul>").Dump(),
            "S'' UL1'a' UL2p'b' S1'c'");
  EXPECT_EQ(Page("<dl><dt>t<dd>d</dl>").Dump(), "S'' DL0't' DL1'd'");
  EXPECT_EQ(Page("<ol><li><p>x</ol>").Dump(), "S'' OL1#11'x'"); // a P after LI is dropped
  // Counting on from the largest START stays at the largest number, never wraps to negative.
  EXPECT_EQ(Page("<ol start=2147483647><li>x<li>y<li>z</ol>").Dump(),
            "S'' OL1#21474836471'x' OL1#21474836471'y' OL1#21474836471'z'");
  EXPECT_EQ(Page("<ol start=99999999999><li>x<li>y</ol>").Dump(),
            "S'' OL1#21474836471'x' OL1#21474836471'y'");
  Page Lone("<li>item <b>bold</b><br>after");
  EXPECT_EQ(Lone.Dump(), "S'' UL1'item bold' S'after'");
  EXPECT_EQ(static_cast<const TSection *>(Lone.List[1])->Indent, 15);
}

TEST(ParserLists, ACenteredBlockInAListKeepsTheItemsAfterIt) {
  EXPECT_EQ(Page("<ul><li>a<center>c</center><li>b</ul>").Dump(),
            "S'' UL1'a' S1c'c' S1'' UL1'b'");
}

TEST(ParserLists, ANestedListLeavesTheCellsEndTagToTheTable) {
  Page P("<table><tr><td><ul><li>a</td><td>b</td></tr></table>after");
  EXPECT_EQ(P.Dump(), "S'' TABLE{[<UL1'a'><S'b'>]} S'after'");
  Page Q("<table><tr><td><ol><li><ul><li>a</table>after");
  EXPECT_EQ(Q.Dump(), "S'' TABLE{[<OL1#11'' UL2'a'>]} S'after'");
}

TEST(ParserLists, DeepNestingIsCapped) {
  std::string Deep;
  for (int I = 0; I < 10000; ++I) Deep += "<div><ul><blockquote><center><table><tr><td>";
  Deep += "x";
  Page P(Deep); // must not overflow the stack
  EXPECT_GT(P.List.Count(), 0);
  std::string Lists;
  for (int I = 0; I < 300; ++I) Lists += "<ul><li>";
  Page L(Lists + "deep");
  int MaxLevel = 0;
  for (const auto &S : L.List)
    if (auto *T = dynamic_cast<const TSection *>(S.get())) MaxLevel = std::max(MaxLevel, T->ListLevel);
  EXPECT_LE(MaxLevel, MaxBlockNesting);
  EXPECT_GE(MaxLevel, 50);
}

TEST(ParserTables, CellsHeadersAndCaptions) {
  Page P("<table>before<tr align=right><td>a<th>h</tr><tr><th align=left>l</table>x");
  EXPECT_EQ(P.Dump(), "S'' S'before' TABLE{[<Sr'a'><Sr'h'>][<S'l'>]} S'x'");
  Page T("<table><tr><th>h<td>d</table>");
  EXPECT_EQ(T.Dump(), "S'' TABLE{[<Sc'h'><S'd'>]}");
  const auto *Table = static_cast<const ThtmlTable *>(T.List[1]);
  const TCell &HCell = *(*Table->Rows[0])[0]->Cell;
  const auto *H = static_cast<const TSection *>(HCell[0]);
  EXPECT_TRUE(H->Fonts.GetFontObjAt(0)->TheFont.Style & fsBold);
  const auto *D = static_cast<const TSection *>((*(*Table->Rows[0])[1]->Cell)[0]);
  EXPECT_FALSE(D->Fonts.GetFontObjAt(0)->TheFont.Style & fsBold);
  EXPECT_EQ(Page("<table><caption align=bottom>c</caption><tr><td>d</table>").Dump(),
            "S'' TABLE{capv{Sc'c'}[<S'd'>]}");
  EXPECT_EQ(Page("<table><caption align=top>c<tr><td>d</table>").Dump(),
            "S'' TABLE{cap^{Sc'c'}[<S'd'>]}");
  // The table's styles do not leak out of it.
  Page S("<table><tr><th>h</table>after");
  EXPECT_FALSE(S.RunAt('a')->TheFont.Style & fsBold);
}

TEST(ParserBody, ColoursApplyOnlyBeforeContent) {
  Page P("<body bgcolor=red text=#00FF00 link=blue>x");
  EXPECT_EQ(P.List.Background, 0x020000FFu);
  EXPECT_EQ(P.List.FontColor, 0x0200FF00u);
  EXPECT_EQ(P.List.HotSpotColor, 0x02FF0000u);
  EXPECT_EQ(P.RunAt('x')->TheFont.Color & 0xFFFFFF, 0x00FF00u);
  Page Late("<p>x<body bgcolor=red>");
  EXPECT_NE(Late.List.Background & 0xFFFFFF, 0x0000FFu);
  Page Text("x<body bgcolor=red>y");
  EXPECT_NE(Text.List.Background & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(Text.Dump(), "S'xy'");
}

TEST(ParserBody, AnAnchorBeforeBodyKeepsItsSection) {
  Page P("<a name=top href=x.htm></a><body bgcolor=blue>y");
  EXPECT_EQ(P.List.Background, 0x02FF0000u);
  TSectionBase *Top = P.Names.Find("TOP");
  ASSERT_NE(Top, nullptr);
  bool InDocument = false;
  for (const auto &S : P.List) InDocument |= S.get() == Top;
  EXPECT_TRUE(InDocument); // not a freed section
  for (TFontObj *Link : P.List.LinkList) {
    bool Found = false;
    for (const auto &S : P.List)
      if (auto *T = dynamic_cast<TSection *>(S.get()))
        for (const auto &F : T->Fonts.Items) Found |= F.get() == Link;
    EXPECT_TRUE(Found);
  }
}

TEST(ParserAnchors, NamesAndLinks) {
  Page P("<a name=\"#Top\">x</a><a name=top>dup</a><a href=\"p.htm\" target=_new>link</a>z");
  ASSERT_NE(P.Names.Find("TOP"), nullptr);
  EXPECT_EQ(P.Names.Count(), 1); // the duplicate keeps the first
  const TFontObj *L = P.RunAt('l');
  ASSERT_TRUE(L);
  EXPECT_EQ(L->UrlTarget().Url, "p.htm");
  EXPECT_EQ(L->UrlTarget().Target, "_new");
  EXPECT_TRUE(L->TheFont.Style & fsUnderline);
  EXPECT_FALSE(P.RunAt('z')->HasUrl());
  EXPECT_FALSE(P.RunAt('z')->TheFont.Style & fsUnderline);
}

TEST(ParserAnchors, TheLinkListHoldsExactlyTheLinkRuns) {
  // Three links with text between them, one of them running over a change of font
  // and one directly after another: the list holds the link runs and nothing else.
  Page P("<p>see <a href=a.htm>one</a> and <a href=b.htm>t<b>w</b>o</a> or "
         "<a href=c.htm>three</a><a href=d.htm>four</a> end <a name=n>no link</a> z");
  std::vector<std::string> Urls;
  for (TFontObj *Link : P.List.LinkList) Urls.push_back(Link->UrlTarget().Url);
  EXPECT_EQ(Urls, (std::vector<std::string>{"a.htm", "b.htm", "b.htm", "b.htm", "c.htm",
                                            "d.htm"}));
  size_t Runs = 0; // every run with a URL is listed, once
  for (const TSection *S : P.Paragraphs())
    for (const auto &F : S->Fonts.Items)
      if (F->HasUrl()) {
        ++Runs;
        EXPECT_EQ(std::count(P.List.LinkList.begin(), P.List.LinkList.end(), F.get()), 1);
      }
  EXPECT_EQ(Runs, P.List.LinkList.size());
  // Clearing the document for the next page leaves no runs of the old one behind.
  P.List.Clear();
  EXPECT_TRUE(P.List.LinkList.empty());
  EXPECT_EQ(P.List.ActiveLink, nullptr);
  P.Parse("<a href=g.htm>g</a> h");
  ASSERT_EQ(P.List.LinkList.size(), 1u);
  EXPECT_EQ(P.List.LinkList[0], P.RunAt('g'));
  Page Empty("x<a href=e.htm></a>y<a href=f.htm>f</a>");
  ASSERT_EQ(Empty.List.LinkList.size(), 1u);
  EXPECT_EQ(Empty.List.LinkList[0]->UrlTarget().Url, "f.htm");
}

TEST(ParserHead, TitleBaseMetaAndSound) {
  std::vector<std::string> Meta;
  std::string Sound;
  TParseHandlers H;
  H.OnMeta = [&](const std::string &E, const std::string &N, const std::string &C) {
    Meta.push_back(E + "|" + N + "|" + C);
  };
  H.OnSoundRequest = [&](const std::string &S, int Loop, bool) {
    Sound = S + "/" + std::to_string(Loop);
  };
  Page P("<head><title>The  Title</title><base href=\"http://x/\" target=main>"
         "<meta name=author content=me><bgsound src=a.wav></head>text",
         H);
  EXPECT_EQ(P.Result.Title, "The Title");
  EXPECT_EQ(P.Result.Base, "http://x/");
  EXPECT_EQ(P.Result.BaseTarget, "main");
  EXPECT_EQ(Meta, (std::vector<std::string>{"|author|me"}));
  EXPECT_EQ(Sound, "a.wav/1");
  EXPECT_EQ(P.Dump(), "S'text'");
}

TEST(ParserHead, MetaCharsetsNameTheirOwnCodePage) {
  struct Case {
    const char *Content;
    int Charset;
    TCodePage Page;
  } Cases[] = {
      {"text/html; charset=koi8-r", 204, TCodePage::Koi8R},
      {"text/html; charset=iso-8859-5", 204, TCodePage::Iso8859_5},
      {"text/html; charset=windows-1251", 204, TCodePage::Windows1251},
      {"text/html; charset=iso-8859-2", 238, TCodePage::Iso8859_2},
      {"text/html; charset=windows-1253", 161, TCodePage::Windows1253},
  };
  for (const Case &C : Cases) {
    Page P(std::string("<meta http-equiv=Content-Type content=\"") + C.Content + "\">\xC1");
    EXPECT_EQ(P.List.Charset, C.Charset) << C.Content;
    EXPECT_EQ(P.List.CodePage, C.Page) << C.Content;
    EXPECT_EQ(P.RunAt('\xC1')->TheFont.Charset, C.Charset) << C.Content;
  }
  // In KOI8-R byte C1 is the Cyrillic small a, in Windows-1251 the capital B.
  Page K("<meta http-equiv=content-type content=\"text/html; charset=koi8-r\">\xC1");
  EXPECT_EQ(DecodeText("\xC1", K.List.CodePage), u"\u0430");
  Page Unknown("<meta http-equiv=content-type content=\"text/html; charset=utf-7\">x");
  EXPECT_EQ(Unknown.List.CodePage, TCodePage::Windows1252);
}

TEST(ParserErrors, AnOpenCommentKeepsWhatCameBefore) {
  EXPECT_EQ(Page("abc<!-- never closed <b>x</b>").Dump(), "S'abc'");
  EXPECT_EQ(Page("<table><tr><td>in<!-- open").Dump(), "S'' TABLE{[<S'in'>]}");
}

TEST(ParserScripts, HandlerGetsTheTextUpToTheEndTag) {
  std::string Got, Lang;
  TParseHandlers H;
  H.OnScript = [&](const std::string &, const std::string &L, const std::string &S) {
    Got = S;
    Lang = L;
  };
  Page P("<script language=js>a<b\n</script >c</Script>d", H);
  EXPECT_EQ(Got, "a<b\r\n</script >c");
  EXPECT_EQ(Lang, "js");
  EXPECT_EQ(P.Dump(), "S'd'");
  // Without a handler the text is dropped; an unclosed script ends at the end.
  EXPECT_EQ(Page("x<script>var a = 1;").Dump(), "S'x'");
  Page Open("x<script>never closed", H);
  EXPECT_EQ(Got, "never closed");
}

TEST(ParserForms, ControlsAndTheirContent) {
  Page P("<form action=go><input type=text name=a><input type=hidden name=h>"
         "<select name=s><option value=1>One <option selected>Two</option><option></select>"
         "<textarea>\nline1\n&lt;x</textarea >tail</form>");
  EXPECT_EQ(P.Dump(), "S'[F][F][F]tail'");
  ASSERT_EQ(P.List.HtmlFormList.size(), 1u);
  const auto &Controls = P.List.HtmlFormList[0]->ControlList;
  ASSERT_EQ(Controls.size(), 4u);
  auto *Select = dynamic_cast<TListBoxFormControlObj *>(Controls[2].get());
  ASSERT_TRUE(Select);
  ASSERT_EQ(Select->TheOptions.size(), 2u);
  EXPECT_EQ(Select->TheOptions[0].Text, "One");
  EXPECT_EQ(Select->TheOptions[0].Value, "1");
  EXPECT_TRUE(Select->TheOptions[1].Selected);
  auto *Area = dynamic_cast<TTextAreaFormControlObj *>(Controls[3].get());
  ASSERT_TRUE(Area);
  EXPECT_EQ(Area->TheText, (std::vector<std::string>{"", "line1", "<x"}));
  Page Open("<textarea>never closed\nmore");
  EXPECT_EQ(Open.Dump(), "S'[F]'");
  Page NoBr("<nobr><input type=checkbox> a  b</nobr>");
  EXPECT_EQ(NoBr.Dump(), "S'[f]~a~b'");
}

TEST(ParserImages, MarksAndMaps) {
  Page P("<img src=a.gif> x<nobr><img src=b.gif></nobr>"
         "<map name=m><area href=a.htm coords=0,0,5,5></map>"
         "<map name=lost><area coords=1,1,2,2>");
  EXPECT_EQ(P.Dump(), "S'[I] x[i]'");
  ASSERT_EQ(P.List.MapList.size(), 1u);
  EXPECT_EQ(P.List.MapList[0]->MapName, "M");
  EXPECT_EQ(P.List.MapList[0]->Areas.size(), 1u);
}

TEST(ParserText, ControlBytesGiveNoMarksWithoutObjects) {
  std::string Src = "a";
  Src += '\0';
  Src += "b\x02" "c\x04" "d\x06" "e\x07" "f";
  Page P(Src);
  EXPECT_EQ(P.Dump(), "S'a b c d e f'");
  Page Pre("<pre>a" + std::string(1, '\0') + "b\x04</pre>");
  EXPECT_EQ(Pre.Dump(), "S'' PRE'a b '");
}

TEST(ParserText, SubAndSupUseTheModelsScriptPositions) {
  Page P("x<sub>b</sub><sup>p</sup>n");
  EXPECT_EQ(P.RunAt('b')->SScript, TScript::Sub);
  EXPECT_EQ(P.RunAt('p')->SScript, TScript::Sup);
  EXPECT_EQ(P.RunAt('n')->SScript, TScript::Normal);
}

TEST(ParserText, PlainTextFiles) {
  TSectionList List;
  std::string Src = "<b>a</b>\r\n&amp;\n";
  ParsePlainTextBuffer(List, nullptr, Src.data(), Src.size());
  EXPECT_EQ(DumpCell(List), "PRE'<b>a</b>' PRE'&amp;' PRE''");
}

} // namespace

#include "doc_dump.h"

namespace {

// The whole build of a small page, in the document dump shared by the viewer's tests.
TEST(ParserDump, SmallPageBuildsAsExpected) {
  Page P("<h2>Fields</h2><p>E = <i>F</i>/q<nobr>&nbsp;N C</nobr><a href=x.htm>more</a>");
  // H2 is 18 pt bold between two heading gaps; the italic F is one run; the spaces of
  // NOBR and the entity are no-break spaces; the link run is underlined in the link
  // colour (blue as BGR) and ends at the end tag.
  EXPECT_EQ(::DumpCell(P.List),
            "Section level=0 justify=1 \"\"\n"
            "  font @0 \"Times New Roman\" 12pt n=12 - color=000000\n"
            "HeadingSpace 2\n"
            "Section level=0 justify=1 \"Fields\"\n"
            "  font @0 \"Times New Roman\" 18pt n=18 B color=000000\n"
            "HeadingSpace 2\n"
            "ParagraphSpace\n"
            "Section level=0 justify=1 \"E = F/q{NBSP}N{NBSP}Cmore\"\n"
            "  font @0 \"Times New Roman\" 12pt n=12 - color=000000\n"
            "  font @4 \"Times New Roman\" 12pt n=12 I color=000000\n"
            "  font @5 \"Times New Roman\" 12pt n=12 - color=000000\n"
            "  font @11 \"Times New Roman\" 12pt n=12 U color=FF0000 url=\"x.htm\"\n"
            "  font @15 \"Times New Roman\" 12pt n=12 - color=000000\n");
}

} // namespace

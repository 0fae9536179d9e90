#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "htmlview/tokenizer.h"

namespace {

struct Scanned {
  THtmlTokenizer T;
  std::string Src;
  explicit Scanned(std::string S, TIncludeHandler H = {}) : Src(std::move(S)) {
    T.Start(Src.data(), Src.size(), TLoadStyle::Buffer, std::move(H));
  }
  Symb Next() {
    T.NextSymbol();
    return T.Sy;
  }
  // The text of all text symbols up to the end, with the symbol boundaries as '|'.
  std::string AllText() {
    std::string R;
    while (Next() != EofSy)
      if (T.Sy == TextSy || T.Sy == OtherChSy) R += T.Token.S + "|";
    return R;
  }
};

TEST(Tokenizer, LineEndsFoldToOneCrAndPositionsCountDroppedBytes) {
  // a CR LF b LF CR c: the second byte of each pair is dropped but counted.
  Scanned S("a\r\nb\n\rc");
  S.T.InPre = true;
  ASSERT_EQ(S.Next(), TextSy);
  EXPECT_EQ(S.T.Token.S, "a\rb\rc");
  EXPECT_EQ(S.T.Token.I, (std::vector<int>{0, 2, 3, 5, 6}));
}

TEST(Tokenizer, CrLfCrLfGivesTwoLineEnds) {
  Scanned S("x\r\n\r\ny");
  S.T.InPre = true;
  ASSERT_EQ(S.Next(), TextSy);
  EXPECT_EQ(S.T.Token.S, "x\r\ry");
}

TEST(Tokenizer, WhitespaceCollapsesOutsidePreOnly) {
  Scanned A("one  \r\n\t two");
  EXPECT_EQ(A.AllText(), "one two|");
  Scanned B("one  \r\n\t two");
  B.T.InPre = true;
  EXPECT_EQ(B.AllText(), "one  \r  two|");
  Scanned C("one  \r\n two");
  C.T.NoBreak = true;
  EXPECT_EQ(C.AllText(), std::string("one\x05two|"));
}

TEST(Tokenizer, Entities) {
  EXPECT_EQ(Scanned("&amp;x").AllText(), "&|x|");
  EXPECT_EQ(Scanned("&amp x").AllText(), "&| x|");
  EXPECT_EQ(Scanned("&AMP;").AllText(), "&AMP;|"); // names are case-sensitive
  EXPECT_EQ(Scanned("&#65;").AllText(), "A|");
  EXPECT_EQ(Scanned("&#13;").AllText(), "&#13;|");
  EXPECT_EQ(Scanned("&#9;").AllText(), " |");
  EXPECT_EQ(Scanned("&#123456;").AllText(), "&#12345|6;|");
  EXPECT_EQ(Scanned("&#8364;").AllText(), "\x80|"); // the euro sign of Windows-1252
  EXPECT_EQ(Scanned("&#;").AllText(), "&#;|");
  EXPECT_EQ(Scanned("&nbsp;&yuml;&copy;").AllText(), "\xA0|\xFF|\xA9|");
  EXPECT_EQ(Scanned("&trade;&rsquo;&ndash;&quot;").AllText(), "\x99|'|-|\"|");
  EXPECT_EQ(Scanned("&abcdefg;").AllText(), "&abcdef|g;|");
  EXPECT_EQ(Scanned("&bogus;").AllText(), "&bogus;|");
}

TEST(Tokenizer, ReferencesBeyondOneCodeUnitStayLiteral) {
  EXPECT_EQ(Scanned("&#65601;").AllText(), "&#65601;|"); // would wrap to 'A'
  EXPECT_EQ(Scanned("&#55357;").AllText(), "&#55357;|"); // a lone surrogate
  EXPECT_EQ(Scanned("&#65535;").AllText(), "?|");         // one code unit, no character
}

TEST(Tokenizer, HellipGivesThreeStopsCountingFromTheAmpersand) {
  Scanned S("ab&hellip;");
  ASSERT_EQ(S.Next(), TextSy);
  EXPECT_EQ(S.T.Token.S, "ab");
  ASSERT_EQ(S.Next(), TextSy);
  EXPECT_EQ(S.T.Token.S, "...");
  EXPECT_EQ(S.T.Token.I, (std::vector<int>{2, 3, 4}));
}

TEST(Tokenizer, TagsAndHeadings) {
  Scanned S("<3<h3 align=center></li><LI><Ul><zork></B>");
  ASSERT_EQ(S.Next(), TextSy);
  EXPECT_EQ(S.T.Token.S, "<");
  ASSERT_EQ(S.Next(), TextSy);
  EXPECT_EQ(S.T.Token.S, "3");
  EXPECT_EQ(S.Next(), HeadingSy);
  EXPECT_EQ(S.T.HeadingLevel, 3);
  ASSERT_EQ(S.T.Attributes.Count(), 1);
  EXPECT_EQ(S.T.Attributes[0]->Which, AlignSy);
  EXPECT_EQ(S.T.Attributes[0]->Name, "center");
  EXPECT_EQ(S.Next(), UnknownSy); // LI has no end symbol
  EXPECT_EQ(S.Next(), LISy);
  EXPECT_EQ(S.Next(), ULSy);
  EXPECT_EQ(S.Next(), UnknownSy);
  EXPECT_EQ(S.Next(), BEndSy);
  EXPECT_EQ(S.Next(), EofSy);
  EXPECT_EQ(S.Next(), EofSy);
}

TEST(Tokenizer, TagStartPositionIsTheAngleBracket) {
  Scanned S("ab<img src=x>");
  S.Next();
  EXPECT_EQ(S.Next(), ImageSy);
  EXPECT_EQ(S.T.TagStartPos, 2);
}

TEST(Tokenizer, AttributeValues) {
  Scanned S("<table border width=50% cellpadding=\" 75% \" bgcolor=#FF0000 "
            "align='a&amp;b\r\nc' zap=3 size=+2 height=99999999999 value=-2147483648 "
            "alt=\"\" name=' ' src=\"%\">");
  ASSERT_EQ(S.Next(), TableSy);
  const TAttributeList &A = S.T.Attributes;
  ASSERT_EQ(A.Count(), 12);
  EXPECT_EQ(A[0]->Which, BorderSy);
  EXPECT_EQ(A[0]->Value, 1);
  EXPECT_EQ(A[1]->Which, WidthSy);
  EXPECT_EQ(A[1]->Name, "50%");
  EXPECT_EQ(A[1]->Value, 50);
  EXPECT_EQ(A[2]->Name, "75%");
  EXPECT_EQ(A[2]->Value, 75);
  EXPECT_EQ(A[3]->Which, BGColorSy);
  EXPECT_EQ(A[3]->Name, "#FF0000");
  EXPECT_EQ(A[3]->Value, 0);
  EXPECT_EQ(A[4]->Name, "a&bc"); // entity decoded, line end dropped
  EXPECT_EQ(A[5]->Which, UnknownAttrSy);
  EXPECT_EQ(A[5]->Value, 3);
  EXPECT_EQ(A[6]->Name, "+2");
  EXPECT_EQ(A[6]->Value, 2);
  EXPECT_EQ(A[7]->Value, 2147483647); // saturates
  EXPECT_EQ(A[8]->Value, -2147483647 - 1);
  // Empty and blank quoted values, and a lone '%', read as empty text and no number.
  for (int I : {9, 10}) {
    EXPECT_EQ(A[I]->Name, "");
    EXPECT_EQ(A[I]->Value, 0);
  }
  EXPECT_EQ(A[11]->Name, "%");
  EXPECT_EQ(A[11]->Value, 0);
}

TEST(Tokenizer, TagsThatDropAttributesKeepTheEarlierList) {
  Scanned S("<p align=right><em class=x>");
  ASSERT_EQ(S.Next(), PSy);
  ASSERT_EQ(S.Next(), EmSy);
  ASSERT_EQ(S.T.Attributes.Count(), 1);
  EXPECT_EQ(S.T.Attributes[0]->Which, AlignSy);
}

TEST(Tokenizer, Comments) {
  EXPECT_EQ(Scanned("a<!-- x -- y -- >b").AllText(), "ab|");
  EXPECT_EQ(Scanned("a<!-- one -- two -->b").AllText(), "ab|");
  EXPECT_EQ(Scanned("<!DOCTYPE html>x").AllText(), "x|");
  Scanned Open("text<!-- never closed");
  EXPECT_THROW(Open.AllText(), EParseError);
  try {
    Scanned("<!-- x").AllText();
  } catch (const EParseError &E) {
    EXPECT_STREQ(E.what(), "Open Comment at End of HTML File");
  }
}

TEST(Tokenizer, ScriptModeDoesNotTakeComments) {
  Scanned S("<!--x-->");
  // Start already read the first character; a fresh scan with InScript keeps '<!'.
  THtmlTokenizer T;
  std::string Src = "a<!--x-->";
  T.Start(Src.data(), Src.size(), TLoadStyle::Buffer);
  T.InScript = true;
  std::string Seen;
  while (!T.AtEnd()) {
    Seen += T.Ch;
    T.NextChar();
  }
  EXPECT_EQ(Seen, "a<!--x-->");
}

TEST(Tokenizer, TextRunsAreCutAtOneHundredCharacters) {
  Scanned S(std::string(250, 'q'));
  std::vector<int> Lengths;
  while (S.Next() != EofSy) Lengths.push_back(S.T.Token.Leng());
  EXPECT_EQ(Lengths, (std::vector<int>{100, 100, 50}));
}

TEST(Tokenizer, ARunReadsOnOverCommentsTabsAndHighBytesWithTheirPositions) {
  // Each byte is at its own offset: a run of words is one symbol across a comment, a
  // tab folds to a space, and bytes above 127 are text like any other.
  Scanned S("ab<!--c-->de\tf\xE9g\r\nh<i>");
  ASSERT_EQ(S.Next(), TextSy);
  EXPECT_EQ(S.T.Token.S, "abde f\xE9g h");
  EXPECT_EQ(S.T.Token.I, (std::vector<int>{0, 1, 10, 11, 12, 13, 14, 15, 17, 18}));
  EXPECT_EQ(S.Next(), ISy);
  EXPECT_EQ(S.T.TagStartPos, 19);
  // Text read from an include buffer keeps the position of the main-buffer byte read last.
  auto H = [](const std::string &, const std::vector<std::string> &, std::string &Buf) {
    Buf = "uvw";
  };
  Scanned Inc("x<!--#i-->yz", H);
  ASSERT_EQ(Inc.Next(), TextSy);
  EXPECT_EQ(Inc.T.Token.S, "xuvwyz");
  EXPECT_EQ(Inc.T.Token.I, (std::vector<int>{0, 9, 9, 9, 10, 11}));
}

TEST(Tokenizer, ControlBytesBecomeSpaces) {
  std::string Src("a\x02" "b\x04" "c\x07" "d");
  Src.insert(Src.begin() + 1, '\0');
  Src += "\x1A" "e"; // the end character inside the page does not end it
  Scanned S(Src);
  S.T.InPre = true;
  EXPECT_EQ(S.AllText(), "a  b c d e|");
}

TEST(Tokenizer, IncludeCommentsAreReadInPlace) {
  std::string Cmd;
  std::vector<std::string> Got;
  auto H = [&](const std::string &C, const std::vector<std::string> &P, std::string &Buf) {
    Cmd = C;
    Got = P;
    Buf = "<b>in</b><!--#nested-->";
  };
  Scanned S("x<!--#Insert file=\"a.htm\" Mode=2 -->y", H);
  std::vector<Symb> Syms;
  std::string Text;
  while (S.Next() != EofSy) {
    Syms.push_back(S.T.Sy);
    if (S.T.Sy == TextSy) Text += S.T.Token.S + "|";
  }
  EXPECT_EQ(Cmd, "Insert");
  EXPECT_EQ(Got, (std::vector<std::string>{"FILE=\"a.htm\"", "MODE=\"2\""}));
  EXPECT_EQ(Text, "x|in|y|"); // the nested include is an ordinary comment
  EXPECT_EQ(Syms, (std::vector<Symb>{TextSy, BSy, TextSy, BEndSy, TextSy}));
  // Without a handler an include comment is a plain comment.
  EXPECT_EQ(Scanned("x<!--#Insert file=a-->y").AllText(), "xy|");
}

TEST(Tokenizer, AnIncludeWithACommentInsideStillStopsAtTheEnd) {
  auto H = [](const std::string &, const std::vector<std::string> &, std::string &) {};
  Scanned S("a<!--#inc file=<!--x-->", H); // once looped for ever
  EXPECT_EQ(S.Next(), TextSy);
  EXPECT_EQ(S.T.Token.S, "a");
  EXPECT_THROW(S.Next(), EParseError);
  EXPECT_EQ(S.Next(), EofSy); // reported once
}

TEST(Tokenizer, ParagraphSpaceGivenIsClearedByContentOnly) {
  Scanned S("<b>x");
  S.T.ParagraphSpaceGiven = true;
  S.Next();
  EXPECT_TRUE(S.T.ParagraphSpaceGiven);
  S.Next();
  EXPECT_FALSE(S.T.ParagraphSpaceGiven);
}

TEST(Tokenizer, UnclosedTagStopsAtTheEnd) {
  Scanned S("<a href=\"never closed");
  EXPECT_EQ(S.Next(), AnchorSy);
  EXPECT_EQ(S.T.Attributes[0]->Name, "never closed");
  EXPECT_EQ(S.Next(), EofSy);
}

TEST(SymbolTables, CountsAndValues) {
  int WithEnd = 0;
  for (const TTagEntry &E : TagTable) WithEnd += E.EndSy != UnknownSy;
  EXPECT_EQ(WithEnd, 49);
  Symb St, En;
  ASSERT_TRUE(LookupTag("NOBR", St, En));
  EXPECT_EQ(St, 178);
  EXPECT_EQ(En, 179);
  EXPECT_FALSE(LookupTag("nobr", St, En));
  EXPECT_EQ(LookupAttribute("HTTP-EQUIV"), 171);
  EXPECT_EQ(LookupAttribute("NOWRAP"), 181);
  EXPECT_EQ(LookupAttribute("TEXT"), TextSy);
  EXPECT_EQ(LookupAttribute("STYLE"), UnknownAttrSy);
}

} // namespace

namespace {

TEST(SymbolTables, EveryNameFindsItsOwnRowAndNearNamesFindNone) {
  for (const TTagEntry &E : TagTable) {
    Symb St = UnknownSy, En = UnknownSy;
    ASSERT_TRUE(LookupTag(E.Name, St, En)) << E.Name;
    EXPECT_EQ(St, E.StartSy) << E.Name;
    EXPECT_EQ(En, E.EndSy) << E.Name;
    EXPECT_FALSE(LookupTag(std::string(E.Name) + "Q", St, En)) << E.Name;
    EXPECT_FALSE(LookupTag(std::string(E.Name).substr(1) + "Q", St, En)) << E.Name;
  }
  for (const TAttrEntry &E : AttrTable) {
    EXPECT_EQ(LookupAttribute(E.Name), E.Sy) << E.Name;
    EXPECT_EQ(LookupAttribute(std::string(E.Name) + "Q"), UnknownAttrSy) << E.Name;
  }
  Symb St, En;
  EXPECT_FALSE(LookupTag("", St, En));
  EXPECT_FALSE(LookupTag("B-", St, En)); // '-' belongs to attribute names only
  // The longest attribute name has twelve letters; a thirteenth makes it unknown.
  EXPECT_EQ(LookupAttribute("MARGINHEIGHT"), MarginHeightSy);
  EXPECT_EQ(LookupAttribute("MARGINHEIGHTS"), UnknownAttrSy);
  EXPECT_EQ(LookupAttribute(std::string(300, 'A')), UnknownAttrSy);
}

TEST(Tokenizer, LongTagAndAttributeNamesAreUnknown) {
  Scanned S("<" + std::string(300, 'b') + " x=1>t<td marginheight=5 marginheightx=6 " +
            std::string(40, 'w') + "=7>");
  EXPECT_EQ(S.Next(), UnknownSy);
  ASSERT_EQ(S.Next(), TextSy);
  EXPECT_EQ(S.T.Token.S, "t");
  ASSERT_EQ(S.Next(), TDSy);
  ASSERT_EQ(S.T.Attributes.Count(), 3);
  EXPECT_EQ(S.T.Attributes[0]->Which, MarginHeightSy);
  EXPECT_EQ(S.T.Attributes[1]->Which, UnknownAttrSy);
  EXPECT_EQ(S.T.Attributes[1]->Value, 6);
  EXPECT_EQ(S.T.Attributes[2]->Which, UnknownAttrSy);
}

TEST(Tokenizer, EntityNamesOfTheWholeTable) {
  EXPECT_EQ(Scanned("&Agrave;&THORN;&thorn;&frac34;&sup2;&divide;&hellip;").AllText(),
            "\xC0|\xDE|\xFE|\xBE|\xB2|\xF7|...|");
  EXPECT_EQ(Scanned("&Yuml;").AllText(), "&Yuml;|"); // only the small yuml is in the table
  EXPECT_EQ(Scanned("&;").AllText(), "&;|");
  EXPECT_EQ(Scanned("&frac345;").AllText(), "&frac34|5;|"); // a seventh character ends it
}

TEST(Tokenizer, EachTagThatKeepsAttributesGetsOnlyItsOwn) {
  // The list's attributes are reused from tag to tag: no value of an earlier tag shows.
  Scanned S("<img src=\"a-long-file-name-for-a-picture.gif\" alt=x><p><p align=c>"
            "<img src=b.gif>");
  ASSERT_EQ(S.Next(), ImageSy);
  ASSERT_EQ(S.T.Attributes.Count(), 2);
  ASSERT_EQ(S.Next(), PSy);
  EXPECT_EQ(S.T.Attributes.Count(), 0);
  ASSERT_EQ(S.Next(), PSy);
  ASSERT_EQ(S.T.Attributes.Count(), 1);
  EXPECT_EQ(S.T.Attributes[0]->Which, AlignSy);
  EXPECT_EQ(S.T.Attributes[0]->Name, "c");
  ASSERT_EQ(S.Next(), ImageSy);
  ASSERT_EQ(S.T.Attributes.Count(), 1);
  EXPECT_EQ(S.T.Attributes[0]->Which, SrcSy);
  EXPECT_EQ(S.T.Attributes[0]->Name, "b.gif");
  EXPECT_EQ(S.T.Attributes[0]->Value, 0);
}

TEST(Tokenizer, AnIncludeCommandInsideAnotherIsAPlainComment) {
  std::vector<std::string> Calls;
  auto H = [&](const std::string &C, const std::vector<std::string> &P, std::string &Buf) {
    std::string Line = C;
    for (const auto &L : P) Line += " " + L;
    Calls.push_back(Line);
    Buf = "in";
  };
  // The inner comment goes; the blanks after it are skipped before the value.
  Scanned S("<!--#a x=<!--#b y=1--> z=2 -->t", H);
  EXPECT_EQ(S.AllText(), "int|");
  EXPECT_EQ(Calls, (std::vector<std::string>{"a X=\"z=2\""}));
  // Nested without end, they once took stack for each level until the program died.
  std::string Deep;
  for (int K = 0; K < 100000; ++K) Deep += "<!--#a x=";
  Scanned D(Deep, H);
  EXPECT_THROW(D.AllText(), EParseError);
}

} // namespace

// The scanner reads ordinary bytes, words and the blanks between them straight from the
// page; these cases sit on the edges of those paths, where a byte-by-byte reading and the
// quick one could part: run cuts, line-end pairs, the end of the input, comments and
// include text next to a quick stretch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "htmlview/tokenizer.h"

namespace {

struct TSymbolSeen {
  Symb Sy;
  std::string S;
  std::vector<int> I;
};

// Every symbol up to the end, with its text and positions.
std::vector<TSymbolSeen> ScanAll(const std::string &Src, bool InPre = false, bool NoBreak = false,
                                 TIncludeHandler H = {}) {
  THtmlTokenizer T;
  T.Start(Src.data(), Src.size(), TLoadStyle::Buffer, std::move(H));
  T.InPre = InPre;
  T.NoBreak = NoBreak;
  std::vector<TSymbolSeen> Out;
  for (T.NextSymbol(); T.Sy != EofSy; T.NextSymbol()) Out.push_back({T.Sy, T.Token.S, T.Token.I});
  return Out;
}

std::vector<int> Count(int From, int N) {
  std::vector<int> V;
  for (int K = 0; K < N; ++K) V.push_back(From + K);
  return V;
}

TEST(ScannerSpeedPaths, ALineEndPairAtTheCutOfARun) {
  // 99 letters, CR LF, z: the pair is the 100th character, a space at the LF (100); z
  // opens the next run at 101.
  auto A = ScanAll(std::string(99, 'w') + "\r\nz");
  ASSERT_EQ(A.size(), 2u);
  EXPECT_EQ(A[0].S, std::string(99, 'w') + " ");
  EXPECT_EQ(A[0].I.back(), 100);
  EXPECT_EQ(A[1].S, "z");
  EXPECT_EQ(A[1].I, std::vector<int>{101});
  // 100 letters fill the run; the pair then opens the next one as a space at 101.
  auto B = ScanAll(std::string(100, 'w') + "\r\nz");
  ASSERT_EQ(B.size(), 2u);
  EXPECT_EQ(B[0].I, Count(0, 100));
  EXPECT_EQ(B[1].S, " z");
  EXPECT_EQ(B[1].I, (std::vector<int>{101, 102}));
  // In PRE an LF CR pair stays one line end, at its CR.
  auto C = ScanAll(std::string(99, 'w') + "\n\rz", true);
  ASSERT_EQ(C.size(), 2u);
  EXPECT_EQ(C[0].S, std::string(99, 'w') + "\r");
  EXPECT_EQ(C[0].I.back(), 100);
  EXPECT_EQ(C[1].I, std::vector<int>{101});
}

TEST(ScannerSpeedPaths, SpacesBetweenWordsAtTheCut) {
  // Word, space, word over the cut: the space is the 100th character, or opens the next
  // run when 100 letters came first.
  auto A = ScanAll(std::string(99, 'a') + " bc");
  ASSERT_EQ(A.size(), 2u);
  EXPECT_EQ(A[0].S.back(), ' ');
  EXPECT_EQ(A[1].S, "bc");
  EXPECT_EQ(A[1].I, (std::vector<int>{100, 101}));
  auto D = ScanAll(std::string(98, 'a') + " b  c");
  // b is the 100th character; the two spaces after it open the next run as one, at the first.
  ASSERT_EQ(D.size(), 2u);
  EXPECT_EQ(D[0].I.back(), 99);
  EXPECT_EQ(D[1].S, " c");
  EXPECT_EQ(D[1].I, (std::vector<int>{100, 102}));
  auto B = ScanAll(std::string(100, 'a') + "   bc");
  ASSERT_EQ(B.size(), 2u);
  EXPECT_EQ(B[1].S, " bc");
  EXPECT_EQ(B[1].I, (std::vector<int>{100, 103, 104}));
  // 250 letters and spaces arrive as 100, 100 and 50 characters.
  std::string Words;
  while (Words.size() < 250) Words += "ab ";
  Words.resize(250);
  auto C = ScanAll(Words);
  ASSERT_EQ(C.size(), 3u);
  EXPECT_EQ(C[0].I, Count(0, 100));
  EXPECT_EQ(C[1].I, Count(100, 100));
  EXPECT_EQ(C[2].I, Count(200, 50));
}

TEST(ScannerSpeedPaths, BlanksOfEveryKindBetweenWordsGiveOneSpaceAtTheFirst) {
  // Tab, control byte, several spaces, CR LF, LF CR, LF alone.
  auto A = ScanAll(std::string("a\tb\x01" "c  d\r\ne\n\rf\ng"));
  ASSERT_EQ(A.size(), 1u);
  EXPECT_EQ(A[0].S, "a b c d e f g");
  EXPECT_EQ(A[0].I, (std::vector<int>{0, 1, 2, 3, 4, 5, 7, 9, 10, 12, 13, 14, 15}));
  // Under NoBreak each gap is one #5, at the same positions.
  auto B = ScanAll("one two  three\r\nfour", false, true);
  ASSERT_EQ(B.size(), 1u);
  EXPECT_EQ(B[0].S, "one\x05two\x05three\x05" "four");
  EXPECT_EQ(B[0].I, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 15, 16, 17,
                                      18, 19}));
  // In PRE every space stays and a tab becomes one.
  auto C = ScanAll("a  b\tc", true);
  ASSERT_EQ(C.size(), 1u);
  EXPECT_EQ(C[0].S, "a  b c");
  EXPECT_EQ(C[0].I, Count(0, 6));
}

TEST(ScannerSpeedPaths, RunsEndingAtTheEndOfTheInput) {
  auto A = ScanAll("abc");
  ASSERT_EQ(A.size(), 1u);
  EXPECT_EQ(A[0].I, Count(0, 3));
  auto B = ScanAll(std::string(100, 'x'));
  ASSERT_EQ(B.size(), 1u); // exactly full, then the end
  EXPECT_EQ(B[0].I, Count(0, 100));
  auto C = ScanAll("ab  \r\n");
  ASSERT_EQ(C.size(), 1u);
  EXPECT_EQ(C[0].S, "ab "); // the trailing blanks are one space, at the first
  EXPECT_EQ(C[0].I, (std::vector<int>{0, 1, 2}));
  auto D = ScanAll("ab<");
  ASSERT_EQ(D.size(), 2u);
  EXPECT_EQ(D[1].S, "<");
  EXPECT_EQ(D[1].I, std::vector<int>{2});
}

TEST(ScannerSpeedPaths, TagsAndValuesEndingAtTheEndOfTheInput) {
  THtmlTokenizer T;
  std::string Src;
  auto First = [&](std::string S) {
    Src = std::move(S);
    T.Start(Src.data(), Src.size(), TLoadStyle::Buffer);
    T.NextSymbol();
    return T.Sy;
  };
  EXPECT_EQ(First("<table"), TableSy);
  EXPECT_EQ(First("</b"), BEndSy);
  EXPECT_EQ(First("<h4"), HeadingSy);
  EXPECT_EQ(T.HeadingLevel, 4);
  ASSERT_EQ(First("<img src=pic"), ImageSy);
  ASSERT_EQ(T.Attributes.Count(), 1);
  EXPECT_EQ(T.Attributes[0]->Name, "pic");
  ASSERT_EQ(First("<img alt=\"a picture"), ImageSy);
  EXPECT_EQ(T.Attributes[0]->Name, "a picture");
  ASSERT_EQ(First("<font size=+2"), FontSy);
  EXPECT_EQ(T.Attributes[0]->Value, 2);
  ASSERT_EQ(First("<hr noshade"), HRSy);
  EXPECT_EQ(T.Attributes[0]->Which, NoShadeSy);
  T.NextSymbol();
  EXPECT_EQ(T.Sy, EofSy);
}

TEST(ScannerSpeedPaths, PlainTagsAndTheFormsNextToThem) {
  THtmlTokenizer T;
  std::string Src;
  auto Symbols = [&](std::string S) {
    Src = std::move(S);
    T.Start(Src.data(), Src.size(), TLoadStyle::Buffer);
    std::vector<Symb> Out;
    for (T.NextSymbol(); T.Sy != EofSy; T.NextSymbol()) Out.push_back(T.Sy);
    return Out;
  };
  EXPECT_EQ(Symbols("<b>x</TD><bR>"), (std::vector<Symb>{BSy, TextSy, TDEndSy, BRSy}));
  EXPECT_EQ(T.TagStartPos, 9);
  // A comment inside a tag's name is passed over: the name goes on after it.
  EXPECT_EQ(Symbols("<b<!--c-->r>"), (std::vector<Symb>{BRSy}));
  // A line end before '>', an empty end tag, a name too long for the table.
  EXPECT_EQ(Symbols("<b\r\n></>x<strikeout><blockquotes>"),
            (std::vector<Symb>{BSy, UnknownSy, TextSy, UnknownSy, UnknownSy}));
  EXPECT_EQ(Symbols("<h2>"), (std::vector<Symb>{HeadingSy}));
  EXPECT_EQ(T.HeadingLevel, 2);
  EXPECT_EQ(Symbols("<h>"), (std::vector<Symb>{HeadingSy}));
  EXPECT_EQ(T.HeadingLevel, 0);
  // The byte after '>' is read as the next character, whatever it is.
  auto A = ScanAll("<i>\r\nab<u>&lt;");
  ASSERT_EQ(A.size(), 4u); // I, the text, U, the entity
  EXPECT_EQ(A[1].S, " ab");
  EXPECT_EQ(A[1].I, (std::vector<int>{4, 5, 6}));
  EXPECT_EQ(A[3].S, "<");
}

TEST(ScannerSpeedPaths, CommentsRightAfterAQuickStretch) {
  // The comment is passed over inside the run; the run goes on at the byte after '>'.
  auto A = ScanAll("word<!-- c -->more");
  ASSERT_EQ(A.size(), 1u);
  EXPECT_EQ(A[0].S, "wordmore");
  EXPECT_EQ(A[0].I, (std::vector<int>{0, 1, 2, 3, 14, 15, 16, 17}));
  // Blanks before and after a comment are one space, at the first blank.
  auto B = ScanAll("word <!-- c --> more");
  ASSERT_EQ(B.size(), 1u);
  EXPECT_EQ(B[0].S, "word more");
  EXPECT_EQ(B[0].I, (std::vector<int>{0, 1, 2, 3, 4, 16, 17, 18, 19}));
  // A declaration right after a full run, and a '<' that opens nothing.
  auto C = ScanAll(std::string(100, 'a') + "<!x>b<");
  ASSERT_EQ(C.size(), 3u);
  EXPECT_EQ(C[1].S, "b");
  EXPECT_EQ(C[1].I, std::vector<int>{104});
  EXPECT_EQ(C[2].Sy, TextSy);
  EXPECT_EQ(C[2].S, "<");
  // An unclosed comment after text: the text first, then the error.
  THtmlTokenizer T;
  std::string Src = "abc def<!-- open";
  T.Start(Src.data(), Src.size(), TLoadStyle::Buffer);
  T.NextSymbol();
  EXPECT_EQ(T.Token.S, "abc def");
  EXPECT_THROW(T.NextSymbol(), EParseError);
}

TEST(ScannerSpeedPaths, IncludeTextWithLineEndsAndTheBytesAfterIt) {
  auto Reply = [](std::string Text) {
    return [Text](const std::string &, const std::vector<std::string> &, std::string &Buf) {
      Buf = Text;
    };
  };
  // Include text carries the position of the '>' that closed the command (9); the main
  // buffer goes on at 10.
  auto A = ScanAll("x<!--#i-->y", false, false, Reply("a\r\nb  c\n"));
  ASSERT_EQ(A.size(), 1u);
  EXPECT_EQ(A[0].S, "xa b c y");
  EXPECT_EQ(A[0].I, (std::vector<int>{0, 9, 9, 9, 9, 9, 9, 10}));
  auto B = ScanAll("x<!--#i-->y", true, false, Reply("a\r\nb  c\n"));
  ASSERT_EQ(B.size(), 1u);
  EXPECT_EQ(B[0].S, "xa\rb  c\ry");
  // A CR at the end of the include text pairs with an LF at the start of the page's rest:
  // one line end, at the LF (10).
  auto C = ScanAll("x<!--#i-->\nyz", true, false, Reply("a\r"));
  ASSERT_EQ(C.size(), 1u);
  EXPECT_EQ(C[0].S, "xa\ryz");
  EXPECT_EQ(C[0].I, (std::vector<int>{0, 9, 10, 11, 12}));
}

TEST(ScannerSpeedPaths, EntitiesAtTheEdgesOfWords) {
  auto A = ScanAll("ab&amp;cd &lt;");
  ASSERT_EQ(A.size(), 4u);
  EXPECT_EQ(A[1].S, "&");
  EXPECT_EQ(A[1].I, std::vector<int>{2});
  EXPECT_EQ(A[2].S, "cd ");
  EXPECT_EQ(A[2].I, (std::vector<int>{7, 8, 9}));
  EXPECT_EQ(A[3].S, "<");
  auto B = ScanAll("&amp");
  ASSERT_EQ(B.size(), 1u);
  EXPECT_EQ(B[0].S, "&");
  auto C = ScanAll("&#6");
  ASSERT_EQ(C.size(), 1u);
  EXPECT_EQ(C[0].S, "&#6"); // a control character's reference stays as written
}

} // namespace

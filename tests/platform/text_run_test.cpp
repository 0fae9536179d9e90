// Text as the pages show it: every string of the text pages is as wide as the sum of its
// characters (whole-pixel advances, no kerning), a run drawn at once puts each glyph
// where the characters' widths say, and letters are smoothed in grey.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/encoding.h"
#include "platform/qt_bridge.h"

namespace {

// The text between the tags of every page of the text folder, one string per line of
// source, entities of the common kinds read as their characters.
std::vector<std::u16string> PageStrings() {
  std::vector<std::u16string> Out;
  QDir Dir(QString(VORNELLE_SOURCE_DIR) + "/HTML");
  const QStringList Pages = Dir.entryList({"*.htm", "*.HTM"}, QDir::Files);
  for (const QString &Name : Pages) {
    QFile F(Dir.filePath(Name));
    if (!F.open(QIODevice::ReadOnly)) continue;
    const QByteArray Bytes = F.readAll();
    std::u16string Text = DecodeText(std::string_view(Bytes.constData(), size_t(Bytes.size())));
    QString S = QString::fromStdU16String(Text);
    S.remove(QRegularExpression("<[^>]*>"));
    S.replace("&nbsp;", QChar(0xA0)).replace("&amp;", "&").replace("&lt;", "<").replace("&gt;", ">");
    for (const QString &Line : S.split('\n')) {
      const QString T = Line.simplified();
      if (!T.isEmpty()) Out.push_back(T.toStdU16String());
    }
  }
  return Out;
}

struct TFontCase {
  const char *Name;
  int Height;
  TFontStyles Style;
};

const TFontCase Fonts[] = {{"Arial", -13, 0},          {"Arial", -13, fsBold},
                           {"Arial", -11, 0},          {"Times New Roman", -16, fsItalic},
                           {"Courier New", -13, 0},    {"Arial", -27, fsBold}};

void SetFont(TCanvas &C, const TFontCase &F) {
  C.Font().Name = F.Name;
  C.Font().Height = F.Height;
  C.Font().Style = F.Style;
  C.Font().Color = clBlack;
}

} // namespace

TEST(TextRuns, EveryStringOfThePagesIsTheSumOfItsCharacters) {
  const std::vector<std::u16string> Strings = PageStrings();
  ASSERT_GT(Strings.size(), 500u); // the pages are there
  TBitmap B(4, 4);
  TCanvas &C = B.Canvas();
  for (const TFontCase &F : Fonts) {
    SetFont(C, F);
    int Bad = 0;
    for (const std::u16string &S : Strings) {
      int Sum = 0;
      for (char16_t Ch : S) Sum += C.TextWidth(std::u16string(1, Ch));
      if (C.TextWidth(S) != Sum && ++Bad <= 3)
        ADD_FAILURE() << F.Name << " " << F.Height << ": " << Utf16ToUtf8(S) << " is " << C.TextWidth(S)
                      << ", its characters " << Sum;
    }
    EXPECT_EQ(Bad, 0) << F.Name;
    // Pairs that a kerning font would pull together.
    for (const char *Pair : {"AV", "To", "Ty", "LT", "r.", "Wa"})
      EXPECT_EQ(C.TextWidth(std::string(Pair)),
                C.TextWidth(std::string(1, Pair[0])) + C.TextWidth(std::string(1, Pair[1])))
          << F.Name << " " << Pair;
  }
}

TEST(TextRuns, ARunPutsEachGlyphAtTheCharactersWidths) {
  const std::vector<std::u16string> All = PageStrings();
  ASSERT_FALSE(All.empty());
  // Lines of the pages with the pairs that once drew apart ("giv es", "hav e", "(m )").
  std::vector<std::u16string> Lines = {u"horizontal distance (m)", u"gives have apart 0.0 10",
                                       u"AVATAR To Ty Wa LT r. \u00b5\u00b0\u03c0"};
  for (size_t I = 0; I < All.size() && Lines.size() < 40; I += 17) Lines.push_back(All[I].substr(0, 60));
  for (const TFontCase &F : Fonts) {
    for (const std::u16string &S : Lines) {
      TBitmap Run(480, 40), Apart(480, 40);
      SetFont(Run.Canvas(), F);
      SetFont(Apart.Canvas(), F);
      Run.Canvas().Brush().Style = bsClear;
      Apart.Canvas().Brush().Style = bsClear;
      Run.Canvas().TextOut(3, 4, S);
      // The same characters one by one, each at the width of the characters before it.
      int X = 3;
      for (char16_t Ch : S) {
        const std::u16string One(1, Ch);
        Apart.Canvas().TextOut(X, 4, One);
        X += Apart.Canvas().TextWidth(One);
      }
      EXPECT_EQ(X - 3, Run.Canvas().TextWidth(S));
      const QImage &A = BitmapToImage(Run), &Bi = BitmapToImage(Apart);
      EXPECT_TRUE(A == Bi) << F.Name << " " << F.Height << ": " << Utf16ToUtf8(S);
    }
  }
}

TEST(TextRuns, LettersAreSmoothedInGreyAndLinesStaySharp) {
  TBitmap B(200, 40);
  TCanvas &C = B.Canvas();
  C.Font().Height = -13;
  C.Brush().Style = bsClear;
  C.TextOut(2, 2, "gives have apart 0");
  C.MoveTo(0, 30);
  C.LineTo(200, 36);
  int Grey = 0, Coloured = 0;
  for (int Y = 0; Y < 20; ++Y)
    for (int X = 0; X < 200; ++X) {
      const TColor P = C.Pixels(X, Y);
      const int R = GetRValue(P), G = GetGValue(P), Bl = GetBValue(P);
      if (R != G || G != Bl) ++Coloured; // no colour fringes: grey-scale smoothing
      else if (R > 0 && R < 255) ++Grey;
    }
  EXPECT_GT(Grey, 40);
  EXPECT_EQ(Coloured, 0);
  // The line below keeps the aliased pixel rule: only black and white.
  for (int Y = 25; Y < 40; ++Y)
    for (int X = 0; X < 200; ++X) {
      const TColor P = C.Pixels(X, Y);
      EXPECT_TRUE(P == clBlack || P == clWhite) << X << "," << Y;
    }
}

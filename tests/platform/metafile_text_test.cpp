// Recorded text replayed at a reduced size (the print preview's page): each run keeps to the
// box its recorded extent scales to (give or take the pixel its smoothed edge may reach into),
// so neighbouring runs on a line never run into each other and no run is cut by the next one.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/metafile.h"

namespace {

// Consecutive runs cycle through three inks, so that a run's pixels are told apart from
// its neighbours' (two runs of one ink have two other runs between them).
constexpr std::array<TColor, 3> Inks = {clRed, clLime, clBlue};

struct TRun {
  int X, Y, W, H; // recorded extent, logical units of the recording
  int Ink;        // index into Inks
};

struct TPage {
  TMetafile Metafile;
  std::vector<std::vector<TRun>> Lines;
};

// A page of printer dots (a 10-point font at 300 dpi is 42 dots) with runs as the viewer
// writes them: words with their trailing space, side by side, some bold or in another face.
TPage RecordPage() {
  static const char *Words[] = {"A ",     "metal ",   "foil ",  "is ",     "a ",     "crystal: ", "its ",
                                "atoms ", "sit ",     "in ",    "a ",      "regular ", "lattice, ", "each ",
                                "with ",  "a ",       "tiny ",  "positive ", "nucleus ", "at ",    "its ",
                                "centre ", "and ",    "a ",     "cloud ",  "of ",     "electrons ", "round ",
                                "it. ",   "Rutherford ", "concluded ", "that ", "the ",   "atom ",   "is ",
                                "mostly ", "empty ",  "space."};
  TPage P;
  P.Metafile.SetSize(2479, 1400);
  TMetafileCanvas C(P.Metafile);
  C.Brush().Style = bsClear;
  // Lines far enough apart that the band searched round one line never reaches the next.
  const int Left = 236, Right = 2479 - 236, LineHeight = 100;
  int X = Left, Y = 236, N = 0;
  std::vector<TRun> Line;
  for (int Pass = 0; Pass < 3; ++Pass)
    for (const char *W : Words) {
      const std::string Word = W;
      C.Font().Name = (N % 7 == 5) ? "Times New Roman" : "Arial";
      C.Font().Height = -42;
      C.Font().Style = (N % 5 == 3) ? TFontStyles(fsBold) : 0;
      const TSize E = C.TextExtent(Word);
      if (X + E.cx > Right) {
        P.Lines.push_back(Line);
        Line.clear();
        X = Left;
        Y += LineHeight;
      }
      const int Ink = int(Line.size() % 3);
      C.Font().Color = Inks[Ink];
      C.TextOut(X, Y, Word);
      Line.push_back(TRun{X, Y, E.cx, E.cy, Ink});
      X += E.cx;
      ++N;
    }
  P.Lines.push_back(Line);
  return P;
}

// How strongly a pixel shows ink K: the margin of that channel over the other two (text is
// smoothed, so the edges of a letter are paler).
int InkOf(TColor Pixel, int K) {
  const int R = GetRValue(Pixel), G = GetGValue(Pixel), B = GetBValue(Pixel);
  switch (K) {
  case 0: return R - std::max(G, B);
  case 1: return G - std::max(R, B);
  default: return B - std::max(R, G);
  }
}
constexpr int Inked = 64; // a quarter of full coverage

// The replay's mapping of a recorded coordinate (the frame scales exactly, halves up).
int Scaled(int V, double S) { return int(std::floor(V * S + 0.5)); }

struct TInk {
  int Left = 1 << 30, Right = -1, Top = 1 << 30, Bottom = -1; // inclusive pixel bounds
  bool Any() const { return Right >= 0; }
};

} // namespace

TEST(MetafileText, ReplayedSmallerEachRunKeepsToItsScaledBox) {
  const TPage Page = RecordPage();
  ASSERT_GE(Page.Lines.size(), 3u);
  // From the unzoomed preview's page (280 pixels for 2479 dots) up to a third of the size,
  // and the page at its own size.
  for (const int Width : {280, 350, 409, 560, 780, 2479}) {
    SCOPED_TRACE("page width " + std::to_string(Width));
    const double S = double(Width) / Page.Metafile.Width();
    const int Height = Scaled(Page.Metafile.Height(), S);
    TBitmap B(Width, Height);
    Page.Metafile.Play(B.Canvas(), TRect(0, 0, Width, Height));
    for (size_t L = 0; L < Page.Lines.size(); ++L) {
      const std::vector<TRun> &Line = Page.Lines[L];
      std::vector<TInk> Found(Line.size());
      for (size_t I = 0; I < Line.size(); ++I) {
        const TRun &R = Line[I];
        // Only this run has its ink between the runs two before and two after it (less the
        // pixel the smoothed edges of the runs three away may reach into).
        const int From = Scaled(Line[I >= 2 ? I - 2 : 0].X, S) + 1;
        const TRun &Far = Line[std::min(I + 2, Line.size() - 1)];
        const int To = Scaled(Far.X + Far.W, S) - 1;
        const int Top = Scaled(R.Y - R.H / 2, S), Bottom = Scaled(R.Y + R.H + R.H / 2, S);
        for (int Y = std::max(0, Top); Y < std::min(Height, Bottom); ++Y)
          for (int X = std::max(0, From); X < std::min(Width, To); ++X)
            if (InkOf(B.Canvas().Pixels(X, Y), R.Ink) >= Inked) {
              TInk &F = Found[I];
              F.Left = std::min(F.Left, X);
              F.Right = std::max(F.Right, X);
              F.Top = std::min(F.Top, Y);
              F.Bottom = std::max(F.Bottom, Y);
            }
        ASSERT_TRUE(Found[I].Any()) << "line " << L << " run " << I << " left no ink";
        const TRect Box(Scaled(R.X, S), Scaled(R.Y, S), Scaled(R.X + R.W, S), Scaled(R.Y + R.H, S));
        // A letter scaled to a fraction of a pixel smooths into the pixel beside its box.
        EXPECT_GE(Found[I].Left, Box.Left - 1) << "line " << L << " run " << I;
        EXPECT_LE(Found[I].Right, Box.Right) << "line " << L << " run " << I;
        EXPECT_GE(Found[I].Top, Box.Top - 1) << "line " << L << " run " << I;
        EXPECT_LE(Found[I].Bottom, Box.Bottom) << "line " << L << " run " << I;
      }
      // Consecutive runs on a line share at most the one column where their edges meet.
      for (size_t I = 0; I + 1 < Line.size(); ++I)
        EXPECT_LE(Found[I].Right, Found[I + 1].Left)
            << "line " << L << " runs " << I << ", " << I + 1;
    }
  }
}

TEST(MetafileText, ReplayedAtItsOwnSizeTheTextIsUnchanged) {
  // At 1:1 nothing needs fitting: the replay draws exactly what drawing directly draws.
  auto Draw = [](TCanvas &T) {
    T.Brush().Style = bsClear;
    T.Font().Height = -16;
    T.TextOut(4, 4, std::string("Field lines of two charges"));
    T.Font().Style = fsBold;
    T.TextOut(4 + 180, 4, std::string("E = kQ/r"));
  };
  TMetafile M;
  M.SetSize(300, 40);
  {
    TMetafileCanvas Rec(M);
    Draw(Rec);
  }
  TBitmap Direct(300, 40);
  Draw(Direct.Canvas());
  TBitmap Replayed(300, 40);
  M.Play(Replayed.Canvas(), TRect(0, 0, 300, 40));
  int Differ = 0;
  for (int Y = 0; Y < 40; ++Y)
    for (int X = 0; X < 300; ++X) Differ += Replayed.Canvas().Pixels(X, Y) != Direct.Canvas().Pixels(X, Y);
  EXPECT_EQ(Differ, 0);
}

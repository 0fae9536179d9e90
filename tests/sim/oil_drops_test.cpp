// Millikan's oil drops: the drop's weight and speeds, placing, moving and wrapping,
// the view's pixels and the clock.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "pixel_count.h"
#include "platform/bitmap.h"
#include "sim/oil_drops.h"

namespace {

// Every drop with the given charge at YExact Y.
void SetAll(TOilDropExpt &E, float Y, int Charges) {
  for (TOilDrop &D : E.Drops) {
    D.YExact = Y;
    D.Y = int(Y);
    D.Charges = Charges;
  }
}

} // namespace

TEST(OilDrops, WeightAndSpeeds) {
  EXPECT_NEAR(DropWeight, 3.882e-14, 0.0005e-14);
  for (int N = 0; N <= 4; ++N) EXPECT_NEAR(DropSpeed(N, 0), 2.165, 0.001) << N;
  EXPECT_NEAR(DropSpeed(1, 3000), -0.512, 0.001); // one charge rises slowly
  EXPECT_NEAR(DropSpeed(4, 3000), -8.54, 0.01);   // four rise fast
  // Uncharged drops ignore the field.
  EXPECT_EQ(DropSpeed(0, 3000), DropSpeed(0, 0));
  EXPECT_EQ(DropSpeed(0, 1234), DropSpeed(0, 0));
  // The balance voltage 2426.3 / N (2426, 1213, 809, 607 V) all but stops a drop.
  const int Balance[] = {2426, 1213, 809, 607};
  for (int N = 1; N <= 4; ++N) {
    EXPECT_LT(std::fabs(DropSpeed(N, Balance[N - 1])), 0.002) << N;
    EXPECT_GT(DropSpeed(N, Balance[N - 1] - 20), 0) << N; // below it the drop falls
    EXPECT_LT(DropSpeed(N, Balance[N - 1] + 20), 0) << N; // above it, rises
  }
}

TEST(OilDrops, PlacingIsAJitteredPatternWithFiveOfEachCharge) {
  for (uint32_t Seed : {1u, 2u, 12345u, 0xFFFFFFFFu}) {
    TOilDropExpt E(Seed);
    int PerCharge[5] = {};
    for (int I = 0; I < OilDropCount; ++I) {
      const TOilDrop &D = E.Drops[I];
      const int Left = (I % 5) * 40 + 25, Top = (I / 5) * 40 + 25;
      EXPECT_GE(D.X, Left);
      EXPECT_LT(D.X, Left + 30);
      EXPECT_GE(D.Y, Top);
      EXPECT_LT(D.Y, Top + 30);
      EXPECT_EQ(D.YExact, float(D.Y));
      ASSERT_GE(D.Charges, 0);
      ASSERT_LE(D.Charges, 4);
      ++PerCharge[D.Charges];
    }
    for (int N : PerCharge) EXPECT_EQ(N, 5);
  }
  // A seed gives one placing; different seeds differ.
  TOilDropExpt A(7), B(7), C(8);
  bool Same = true, Differs = false;
  for (int I = 0; I < OilDropCount; ++I) {
    Same = Same && A.Drops[I].X == B.Drops[I].X && A.Drops[I].Y == B.Drops[I].Y &&
           A.Drops[I].Charges == B.Drops[I].Charges;
    Differs = Differs || A.Drops[I].X != C.Drops[I].X || A.Drops[I].Charges != C.Drops[I].Charges;
  }
  EXPECT_TRUE(Same);
  EXPECT_TRUE(Differs);
}

TEST(OilDrops, TimeScalesMoveTenfoldApart) {
  const float Step[] = {0.2165f, 2.165f, 21.65f};
  for (int Scale = 0; Scale <= 2; ++Scale) {
    TOilDropExpt E(3);
    SetAll(E, 100, Scale % 5);
    E.MoveDrops(0, Scale);
    for (const TOilDrop &D : E.Drops) {
      EXPECT_NEAR(D.YExact, 100 + Step[Scale], Step[Scale] * 0.001) << Scale;
      EXPECT_EQ(D.Y, int(std::lround(D.YExact)));
    }
  }
  // A time scale the menu doesn't offer moves as "x 10".
  TOilDropExpt E(3);
  SetAll(E, 100, 0);
  E.MoveDrops(0, 7);
  EXPECT_NEAR(E.Drops[0].YExact, 102.165, 0.001);
}

TEST(OilDrops, DropsWrapAndKeepTheirColumn) {
  TOilDropExpt E(11);
  int X[OilDropCount];
  for (int I = 0; I < OilDropCount; ++I) X[I] = E.Drops[I].X;
  // Four charges at 3000 V rise 8.54 a tick: from 21 past the top to the bottom edge...
  SetAll(E, 21, 4);
  E.MoveDrops(3000, 1);
  for (const TOilDrop &D : E.Drops) EXPECT_EQ(D.Y, 230);
  // ... and keep rising from there.
  E.MoveDrops(3000, 1);
  for (const TOilDrop &D : E.Drops) EXPECT_NEAR(D.YExact, 230 - 8.54, 0.01);
  // Falling past the bottom reappears at the top.
  SetAll(E, 229, 0);
  E.MoveDrops(0, 2);
  for (const TOilDrop &D : E.Drops) EXPECT_EQ(D.Y, 20);
  // A long run at any voltage never leaves the view or moves a drop sideways.
  for (int T = 0; T < 2000; ++T) E.MoveDrops((T * 37) % 3001, T % 3);
  for (int I = 0; I < OilDropCount; ++I) {
    EXPECT_EQ(E.Drops[I].X, X[I]);
    EXPECT_GE(E.Drops[I].Y, 20);
    EXPECT_LE(E.Drops[I].Y, 230);
  }
}

TEST(OilDrops, ViewPixels) {
  TOilDropExpt E(5);
  for (TOilDrop &D : E.Drops) D.X = D.Y = 125;
  TBitmap B(MillikanPicSize, MillikanPicSize);
  E.DrawMillikanView(B.Canvas());
  TCanvas &C = B.Canvas();
  EXPECT_EQ(C.Pixels(125, 125), clYellow);       // a drop
  EXPECT_EQ(C.Pixels(125, 131), clBlack);        // the dark field beside it
  EXPECT_EQ(C.Pixels(60, 125), clWhite);         // a graticule line
  EXPECT_EQ(C.Pixels(125, 60), clWhite);
  EXPECT_EQ(C.Pixels(70, 70), clBlack);          // field between the lines
  EXPECT_EQ(C.Pixels(10, 125), TColor(0xC0C0C0)); // button face outside
  // The graticule is clipped to the round view: its corner lines stop at the rim.
  EXPECT_EQ(C.Pixels(40, 25), TColor(0xC0C0C0));
  EXPECT_EQ(C.Pixels(25, 40), TColor(0xC0C0C0));
  EXPECT_EQ(C.Pixels(20, 125), clBlack);         // the outline on the rim
  EXPECT_EQ(C.Pixels(0, 0), TColor(0x808080));   // sunken edge
  // One drop is a 10 x 10 disc: all 25 drawn on one spot cover about 80 pixels.
  const int Yellow = CountColor(B, clYellow);
  EXPECT_GT(Yellow, 50);
  EXPECT_LT(Yellow, 100);
}

TEST(OilDrops, ClockCountsTenthsWhateverTheScale) {
  int Clock = 0, Shown = 0;
  std::string Label;
  for (int T = 0; T < 650; ++T)
    if (MillikanClockTick(Clock, 0)) {
      ++Shown;
      Label = MillikanClockText(Clock);
    }
  EXPECT_EQ(Label, "1 : 5"); // 65 s, seconds not padded
  EXPECT_EQ(Shown, 65);      // once a second in real time
  Clock = 0;
  for (int T = 0; T < 65; ++T) EXPECT_TRUE(MillikanClockTick(Clock, 1));
  EXPECT_EQ(MillikanClockText(Clock), "1 : 5");
  // A change of scale keeps the time: 30 s at x 10, then ten real-time ticks is 31 s.
  Clock = 0;
  for (int T = 0; T < 30; ++T) MillikanClockTick(Clock, 1);
  for (int T = 0; T < 10; ++T) MillikanClockTick(Clock, 0);
  EXPECT_EQ(MillikanClockText(Clock), "0 : 31");
  MillikanClockTick(Clock, 2); // x 100: ten seconds a tick
  EXPECT_EQ(MillikanClockText(Clock), "0 : 41");
  EXPECT_EQ(MillikanClockText(36000), "60 : 0");
}

TEST(OilDrops, ViewEqualsTheDrawingClippedToTheRoundField) {
  // The view drawn step by step with a clipping region, as the design describes it.
  TOilDropExpt E(21);
  E.Drops[0].X = 24, E.Drops[0].Y = 124; // a drop half over the rim
  E.Drops[1].X = 124, E.Drops[1].Y = 226;
  TBitmap Ref(MillikanPicSize, MillikanPicSize);
  TCanvas &C = Ref.Canvas();
  C.Brush().Color = clBtnFace;
  C.FillRect(TRect(0, 0, 250, 250));
  C.Brush().Color = clBlack;
  C.Pen().Color = clBlack;
  C.Ellipse(ViewRect);
  C.SelectClipRegion(TRegion::FromEllipse(ViewRect));
  C.Brush().Color = clYellow;
  for (const TOilDrop &D : E.Drops) C.Ellipse(D.X - 5, D.Y - 5, D.X + 5, D.Y + 5);
  C.Pen().Color = clWhite;
  for (int K = 0; K <= 10; ++K) {
    C.MoveTo(20, 20 + 20 * K);
    C.LineTo(230, 20 + 20 * K);
    C.MoveTo(20 + 20 * K, 20);
    C.LineTo(20 + 20 * K, 230);
  }
  C.RemoveClip();
  C.Brush().Style = bsClear;
  C.Pen().Color = clBlack;
  C.Ellipse(ViewRect);
  TRect R(0, 0, 250, 250);
  C.DrawEdge(R, EDGE_SUNKEN, BF_RECT);
  TBitmap View(MillikanPicSize, MillikanPicSize);
  E.DrawMillikanView(View.Canvas());
  int Differ = 0;
  for (int Y = 0; Y < 250; ++Y)
    for (int X = 0; X < 250; ++X) Differ += View.Canvas().Pixels(X, Y) != Ref.Canvas().Pixels(X, Y);
  EXPECT_EQ(Differ, 0);
  EXPECT_GT(CountColor(View, clYellow, TRect(19, 118, 30, 130)), 0); // the rim drop shows in part
}

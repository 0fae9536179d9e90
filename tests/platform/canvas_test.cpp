// Pixel rules of the canvas on images: each test draws into a fresh white bitmap and
// looks at the pixels the rule is about.
#include <gtest/gtest.h>

#include "pixel_count.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/metafile.h"
#include "platform/types.h"

namespace {

TBitmap White(int W, int H) { return TBitmap(W, H); }

TEST(CanvasDefaults, NewBitmapIsWhiteWithBlackPenWhiteBrushArial8) {
  TBitmap B = White(4, 4);
  EXPECT_EQ(B.Canvas().Pixels(0, 0), clWhite);
  EXPECT_EQ(B.Canvas().Pen().Color, clBlack);
  EXPECT_EQ(B.Canvas().Pen().Width, 1);
  EXPECT_EQ(B.Canvas().Brush().Color, clWhite);
  EXPECT_EQ(B.Canvas().Brush().Style, bsSolid);
  EXPECT_EQ(B.Canvas().Font().Name, "Arial");
  EXPECT_EQ(B.Canvas().Font().Size(), 8);
  EXPECT_EQ(B.Canvas().Font().Height, -11); // -MulDiv(8, 96, 72)
}

TEST(CanvasLines, LineToLeavesOutItsLastPixel) {
  TBitmap B = White(20, 10);
  TCanvas &C = B.Canvas();
  C.MoveTo(2, 2);
  C.LineTo(8, 2);
  for (int X = 2; X < 8; ++X) EXPECT_EQ(C.Pixels(X, 2), clBlack) << X;
  EXPECT_EQ(C.Pixels(8, 2), clWhite);
  EXPECT_EQ(C.Pixels(1, 2), clWhite);
  EXPECT_EQ(C.PenPos(), Point(8, 2));
}

TEST(CanvasLines, DiagonalFollowsBresenham) {
  TBitmap B = White(10, 10);
  TCanvas &C = B.Canvas();
  C.MoveTo(0, 0);
  C.LineTo(5, 2);
  // Worked by hand: dx = 5, dy = 2, error starting at 2dy - dx = -1.
  const TPoint Expected[] = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}};
  for (TPoint P : Expected) EXPECT_EQ(C.Pixels(P.X, P.Y), clBlack) << P.X << "," << P.Y;
  EXPECT_EQ(C.Pixels(5, 2), clWhite);
  EXPECT_EQ(CountColor(B, clBlack, Rect(0, 0, 10, 10)), 5);
}

TEST(CanvasLines, PolylineJoinsSegmentsAndLeavesOutTheFinalPixel) {
  TBitmap B = White(10, 10);
  TCanvas &C = B.Canvas();
  TPoint Pts[] = {{1, 1}, {5, 1}, {5, 5}};
  C.Polyline(Pts);
  EXPECT_EQ(C.Pixels(5, 1), clBlack); // the corner is the first pixel of the second segment
  EXPECT_EQ(C.Pixels(5, 4), clBlack);
  EXPECT_EQ(C.Pixels(5, 5), clWhite);
  EXPECT_EQ(CountColor(B, clBlack, Rect(0, 0, 10, 10)), 8);
}

TEST(CanvasLines, DottedPenGapsTakeTheBackgroundWhenOpaque) {
  TBitmap B = White(40, 10);
  TCanvas &C = B.Canvas();
  C.Pen().Style = psDot;
  C.Brush().Color = clYellow; // solid brush: opaque background in yellow
  C.MoveTo(0, 5);
  C.LineTo(30, 5);
  // Dots of three pixels on, three off.
  for (int X = 0; X < 3; ++X) EXPECT_EQ(C.Pixels(X, 5), clBlack) << X;
  for (int X = 3; X < 6; ++X) EXPECT_EQ(C.Pixels(X, 5), clYellow) << X;
  EXPECT_EQ(C.Pixels(6, 5), clBlack);
  EXPECT_EQ(C.Pixels(30, 5), clWhite);

  C.Brush().Style = bsClear; // transparent: gaps untouched
  C.MoveTo(0, 7);
  C.LineTo(30, 7);
  EXPECT_EQ(C.Pixels(0, 7), clBlack);
  EXPECT_EQ(C.Pixels(4, 7), clWhite);

  C.Brush().Style = bsSolid;
  C.SetBkMode(bkTransparent); // explicit override, until the brush changes
  C.MoveTo(0, 8);
  C.LineTo(30, 8);
  EXPECT_EQ(C.Pixels(4, 8), clWhite);
  C.Brush().Color = clAqua; // reselecting the brush ends the override
  EXPECT_EQ(C.BkMode(), bkOpaque);
}

TEST(CanvasShapes, RectangleExcludesRightAndBottomEdges) {
  TBitmap B = White(12, 12);
  TCanvas &C = B.Canvas();
  C.Brush().Color = clRed;
  C.Rectangle(0, 0, 10, 10);
  EXPECT_EQ(C.Pixels(0, 0), clBlack);
  EXPECT_EQ(C.Pixels(9, 0), clBlack);
  EXPECT_EQ(C.Pixels(9, 9), clBlack);
  EXPECT_EQ(C.Pixels(0, 9), clBlack);
  EXPECT_EQ(C.Pixels(10, 5), clWhite);
  EXPECT_EQ(C.Pixels(5, 10), clWhite);
  EXPECT_EQ(C.Pixels(5, 5), clRed);
  EXPECT_EQ(C.Pixels(1, 1), clRed);
  EXPECT_EQ(CountColor(B, clBlack, Rect(0, 0, 12, 12)), 36); // the 10 x 10 frame
}

TEST(CanvasShapes, FillRectAndFrameRectUseTheBrush) {
  TBitmap B = White(12, 12);
  TCanvas &C = B.Canvas();
  C.Brush().Color = clBlue;
  C.FillRect(Rect(2, 2, 5, 6));
  EXPECT_EQ(CountColor(B, clBlue, Rect(0, 0, 12, 12)), 12); // 3 x 4
  EXPECT_EQ(C.Pixels(4, 5), clBlue);
  EXPECT_EQ(C.Pixels(5, 5), clWhite);
  C.Brush().Color = clGreen;
  C.FrameRect(Rect(6, 6, 10, 10));
  EXPECT_EQ(C.Pixels(6, 6), clGreen);
  EXPECT_EQ(C.Pixels(9, 9), clGreen);
  EXPECT_EQ(C.Pixels(7, 7), clWhite);
  EXPECT_EQ(C.Pixels(10, 10), clWhite);
}

TEST(CanvasShapes, BitmapBrushTilesItsPixelsFromTheDeviceOrigin) {
  auto Pattern = std::make_shared<TBitmap>(2, 2);
  const TColor Tile[2][2] = {{clRed, clLime}, {clBlue, clYellow}}; // [y][x]
  for (int Y = 0; Y < 2; ++Y)
    for (int X = 0; X < 2; ++X) Pattern->Canvas().SetPixels(X, Y, Tile[Y][X]);
  auto Check = [&](const TCanvas &C, const TRect &R) {
    for (int Y = R.Top; Y < R.Bottom; ++Y)
      for (int X = R.Left; X < R.Right; ++X)
        EXPECT_EQ(C.Pixels(X, Y), Tile[Y % 2][X % 2]) << X << "," << Y;
  };
  TBitmap B = White(12, 12);
  TCanvas &C = B.Canvas();
  C.Brush() = TBrush{clGray, bsSolid, Pattern};
  C.Pen().Style = psClear;
  C.FillRect(Rect(1, 1, 5, 4));
  Check(C, Rect(1, 1, 5, 4));
  const TPoint Sq[] = {{6, 5}, {11, 5}, {11, 10}, {6, 10}};
  C.Polygon(Sq); // filled by the painter, not pixel by pixel
  Check(C, Rect(6, 5, 11, 10));
  // A clear brush fills nothing; an empty bitmap leaves the brush its colour.
  C.Brush().Style = bsClear;
  C.FillRect(Rect(0, 10, 12, 12));
  EXPECT_EQ(CountColor(B, clWhite, Rect(0, 10, 12, 12)), 24);
  C.Brush() = TBrush{clGray, bsSolid, std::make_shared<TBitmap>()};
  C.FillRect(Rect(0, 10, 12, 12));
  EXPECT_EQ(CountColor(B, clGray, Rect(0, 10, 12, 12)), 24);
  // A recording keeps the pattern for its replay.
  TMetafile M;
  M.SetSize(12, 12);
  {
    TMetafileCanvas R(M);
    R.Brush() = TBrush{clGray, bsSolid, Pattern};
    R.FillRect(Rect(0, 0, 12, 12));
  }
  TBitmap Replay = White(12, 12);
  Replay.Canvas().Draw(0, 0, M);
  Check(Replay.Canvas(), Rect(0, 0, 12, 12));
}

TEST(CanvasShapes, EllipseStaysInsideItsBox) {
  TBitmap B = White(24, 24);
  TCanvas &C = B.Canvas();
  C.Brush().Color = clRed;
  C.Ellipse(2, 2, 22, 22);
  EXPECT_EQ(C.Pixels(12, 12), clRed);
  EXPECT_EQ(C.Pixels(2, 2), clWhite); // corners of the box are outside the ellipse
  // The outline touches the left and top edges of the box, not the right and bottom.
  EXPECT_EQ(CountColor(B, clBlack, Rect(2, 0, 3, 24)), CountColor(B, clBlack, Rect(21, 0, 22, 24)));
  EXPECT_GT(CountColor(B, clBlack, Rect(2, 0, 3, 24)), 0);
  EXPECT_EQ(CountColor(B, clBlack, Rect(22, 0, 24, 24)), 0);
  EXPECT_EQ(CountColor(B, clBlack, Rect(0, 22, 24, 24)), 0);
}

TEST(CanvasShapes, PolygonFillsWithTheAlternateRule) {
  TBitmap B = White(60, 60);
  TCanvas &C = B.Canvas();
  C.Brush().Color = clRed;
  C.Pen().Style = psClear;
  // A five-pointed star drawn in one stroke: its centre is enclosed twice.
  TPoint Star[] = {{30, 2}, {47, 55}, {2, 22}, {58, 22}, {13, 55}};
  C.Polygon(Star);
  EXPECT_EQ(C.Pixels(30, 32), clWhite); // the pentagon in the middle stays empty
  EXPECT_EQ(C.Pixels(30, 10), clRed);   // a point of the star is filled
  // A square fill covers left/top, leaves right/bottom: (0,0)-(10,10) fills 0..9.
  TBitmap Q = White(12, 12);
  Q.Canvas().Brush().Color = clBlue;
  Q.Canvas().Pen().Style = psClear;
  TPoint Sq[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  Q.Canvas().Polygon(Sq);
  EXPECT_EQ(CountColor(Q, clBlue, Rect(0, 0, 12, 12)), 100);
  // With a pen the outline closes through every vertex.
  Q.Canvas().Pen().Style = psSolid;
  Q.Canvas().Polygon(Sq);
  EXPECT_EQ(Q.Canvas().Pixels(10, 10), clBlack);
  EXPECT_EQ(Q.Canvas().Pixels(10, 0), clBlack);
}

TEST(CanvasShapes, ArcRunsCounterClockwiseFromTheFirstRadial) {
  TBitmap B = White(40, 40);
  TCanvas &C = B.Canvas();
  // From the right (3 o'clock) to the top (12 o'clock): the upper right quarter only.
  C.Arc(0, 0, 40, 40, 40, 20, 20, 0);
  EXPECT_GT(CountColor(B, clBlack, Rect(20, 0, 40, 20)), 20);
  EXPECT_EQ(CountColor(B, clBlack, Rect(0, 21, 40, 40)), 0);
  EXPECT_EQ(CountColor(B, clBlack, Rect(0, 0, 19, 40)), 0);
}

TEST(CanvasEdges, SunkenEdgeUsesTheClassicColours) {
  TBitmap B = White(10, 10);
  B.Fill(clAqua);
  TCanvas &C = B.Canvas();
  TRect R = Rect(0, 0, 10, 10);
  C.DrawEdge(R, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  EXPECT_EQ(C.Pixels(0, 0), 0x808080u); // outer top-left: button shadow
  EXPECT_EQ(C.Pixels(5, 0), 0x808080u);
  EXPECT_EQ(C.Pixels(9, 9), 0xFFFFFFu); // outer bottom-right: highlight
  EXPECT_EQ(C.Pixels(9, 0), 0xFFFFFFu); // the off corners belong to bottom/right
  EXPECT_EQ(C.Pixels(0, 9), 0xFFFFFFu);
  EXPECT_EQ(C.Pixels(1, 1), 0x000000u); // inner top-left: dark shadow, pinned to black
  EXPECT_EQ(C.Pixels(8, 8), 0xC0C0C0u); // inner bottom-right: 3-D light
  EXPECT_EQ(C.Pixels(5, 5), clAqua);    // the middle is untouched
  EXPECT_EQ(R, Rect(2, 2, 8, 8));
  EXPECT_EQ(ColorToRGB(cl3DDkShadow), 0x000000u);
  EXPECT_EQ(ColorToRGB(clBtnFace), 0xC0C0C0u);
  EXPECT_EQ(ColorToRGB(clHighlight), 0x800000u);
  EXPECT_EQ(ColorToRGB(0x020000FF), 0x0000FFu); // palette-relative byte ignored
}

TEST(CanvasEdges, RaisedEdgeAndFrame3D) {
  TBitmap B = White(10, 10);
  TCanvas &C = B.Canvas();
  TRect R = Rect(0, 0, 10, 10);
  C.DrawEdge(R, EDGE_RAISED, BF_RECT);
  EXPECT_EQ(C.Pixels(0, 0), 0xC0C0C0u); // 3-D light
  EXPECT_EQ(C.Pixels(9, 9), 0x000000u); // dark shadow
  EXPECT_EQ(C.Pixels(1, 1), 0xFFFFFFu); // highlight
  EXPECT_EQ(C.Pixels(8, 8), 0x808080u); // shadow
  TBitmap F = White(10, 10);
  TRect Q = Rect(0, 0, 10, 10);
  Frame3D(F.Canvas(), Q, clRed, clBlue, 1);
  EXPECT_EQ(F.Canvas().Pixels(0, 0), clRed);
  EXPECT_EQ(F.Canvas().Pixels(0, 8), clRed);
  EXPECT_EQ(F.Canvas().Pixels(0, 9), clBlue); // the bottom polyline ends over the corner
  EXPECT_EQ(F.Canvas().Pixels(9, 0), clBlue);
  EXPECT_EQ(F.Canvas().Pixels(9, 9), clBlue);
  EXPECT_EQ(Q, Rect(1, 1, 9, 9));
}

TEST(CanvasText, TextOutPlacesTheTopLeftOfTheCell) {
  TBitmap B = White(100, 60);
  TCanvas &C = B.Canvas();
  C.Brush().Color = clYellow; // opaque: the cell is filled
  C.TextOut(10, 20, "H");
  int W = C.TextWidth("H"), H = C.TextHeight("H");
  ASSERT_GT(W, 3);
  ASSERT_GT(H, 8);
  EXPECT_EQ(C.Pixels(10, 20), clYellow);
  EXPECT_EQ(C.Pixels(9, 20), clWhite);
  EXPECT_EQ(C.Pixels(10, 19), clWhite);
  EXPECT_EQ(C.Pixels(10 + W - 1, 20 + H - 1), clYellow);
  EXPECT_EQ(C.Pixels(10 + W, 20 + H - 1), clWhite);
  EXPECT_EQ(C.Pixels(10, 20 + H), clWhite);
  EXPECT_GT(CountInk(B, clBlack, Rect(10, 20, 10 + W, 20 + H)), 5);
  EXPECT_EQ(CountInk(B, clBlack, Rect(0, 0, 100, 20)), 0);

  C.Brush().Style = bsClear; // transparent text
  C.TextOut(50, 20, "H");
  EXPECT_EQ(CountColor(B, clYellow, Rect(50, 20, 50 + W, 20 + H)), 0);
  EXPECT_GT(CountInk(B, clBlack, Rect(50, 20, 50 + W, 20 + H)), 5);
}

TEST(CanvasText, FontHeightSignRule) {
  TBitmap B = White(10, 10);
  TCanvas &C = B.Canvas();
  C.Font().Height = 20; // cell height
  int Cell = C.TextHeight("X");
  EXPECT_NEAR(Cell, 20, 1);
  C.Font().Height = -20; // character height: the cell is taller than the em
  int FromEm = C.TextHeight("X");
  EXPECT_GT(FromEm, Cell);
  TTextMetric M = C.TextMetrics();
  EXPECT_EQ(M.tmHeight, M.tmAscent + M.tmDescent);
  EXPECT_EQ(M.tmHeight - M.tmInternalLeading, 20);
  C.Font().SetSize(12);
  EXPECT_EQ(C.Font().Height, -16);
}

TEST(CanvasText, WidthsAddUpPerCharacter) {
  TBitmap B = White(10, 10);
  TCanvas &C = B.Canvas();
  C.Font().Height = -13;
  // Kerning is off: "AV" is exactly "A" plus "V".
  EXPECT_EQ(C.TextWidth("AV"), C.TextWidth("A") + C.TextWidth("V"));
  EXPECT_EQ(C.TextWidth(std::u16string(u"To")), C.TextWidth("T") + C.TextWidth("o"));
  std::vector<int> Dx;
  EXPECT_EQ(C.TextFit(u"AAAA", C.TextWidth("AA"), &Dx), 2);
  ASSERT_EQ(Dx.size(), 4u);
  EXPECT_EQ(Dx[3], C.TextWidth("AAAA"));
}

TEST(CanvasText, UnderlineRunsUnbrokenUnderWordsAndSpaces) {
  TBitmap B = White(300, 40);
  TCanvas &C = B.Canvas();
  C.Brush().Style = bsClear;
  C.Font().Height = -13;
  C.Font().Color = clBlue;
  C.Font().Style = fsUnderline;
  const std::string Text = "Electric field plotting";
  C.TextOut(5, 5, Text);
  int W = C.TextWidth(Text), H = C.TextHeight(Text);
  // Some row of the cell is blue over the text's whole width: the underline, with no
  // gap at the spaces or between letters.
  bool Found = false;
  for (int Y = 5; Y < 5 + H + 2 && !Found; ++Y) {
    int Run = 0;
    for (int X = 5; X < 5 + W; ++X)
      if (C.Pixels(X, Y) == clBlue) ++Run;
    Found = Run >= W - 1;
  }
  EXPECT_TRUE(Found);
}

TEST(CanvasClip, RegionsClipDrawing) {
  TBitmap B = White(30, 30);
  TCanvas &C = B.Canvas();
  C.Brush().Color = clRed;
  C.SelectClipRegion(TRegion::FromEllipse(Rect(0, 0, 30, 30)));
  C.FillRect(Rect(0, 0, 30, 30));
  EXPECT_EQ(C.Pixels(0, 0), clWhite);
  EXPECT_EQ(C.Pixels(15, 15), clRed);
  C.RemoveClip();
  // A frame region: the rectangle minus its middle.
  TRegion Frame = TRegion::FromRect(Rect(0, 0, 30, 30)).Subtracted(TRegion::FromRect(Rect(5, 5, 25, 25)));
  C.SelectClipRegion(Frame);
  C.Brush().Color = clBlue;
  C.FillRect(Rect(0, 0, 30, 30));
  C.MoveTo(0, 15);
  C.LineTo(30, 15);
  EXPECT_EQ(C.Pixels(2, 2), clBlue);
  EXPECT_EQ(C.Pixels(15, 15), clRed); // the hole keeps the earlier fill
  EXPECT_EQ(C.Pixels(2, 15), clBlack);
  EXPECT_EQ(C.Pixels(12, 15), clRed);
  C.RemoveClip();
  C.IntersectClipRect(Rect(10, 10, 20, 20));
  C.ExcludeClipRect(Rect(10, 10, 15, 20));
  EXPECT_EQ(C.ClipRect(), Rect(15, 10, 20, 20));
  int S = C.SaveState();
  C.RemoveClip();
  EXPECT_FALSE(C.HasClip());
  C.RestoreState(S);
  EXPECT_EQ(C.ClipRect(), Rect(15, 10, 20, 20));
  C.Brush().Color = clGreen;
  C.FillRect(Rect(0, 0, 30, 30));
  EXPECT_EQ(C.Pixels(16, 12), clGreen);
  EXPECT_EQ(C.Pixels(12, 12), clRed);
  // Polygon regions use the alternate rule.
  TPoint Tri[] = {{0, 0}, {29, 0}, {0, 29}};
  EXPECT_TRUE(TRegion::FromPolygon(Tri).Contains(Point(3, 3)));
  EXPECT_FALSE(TRegion::FromPolygon(Tri).Contains(Point(25, 25)));
}

TEST(CanvasRasterOps, BitBltCombinesSourceAndDestination) {
  const TColor Src = 0x0F0FF0, Dst = 0x00F0F0;
  struct TCase {
    TCopyMode Op;
    TColor Expect;
  } Cases[] = {
      {cmSrcCopy, Src},
      {cmSrcAnd, Src & Dst},
      {cmSrcPaint, Src | Dst},
      {cmSrcInvert, Src ^ Dst},
      {cmDstInvert, ~Dst & 0xFFFFFF},
      {cmNotSrcCopy, ~Src & 0xFFFFFF},
      {cmBlackness, 0},
      {cmWhiteness, 0xFFFFFF},
      {cmSrcErase, Src & ~Dst & 0xFFFFFF},
      {cmDstAndNotSrc, Dst & ~Src & 0xFFFFFF},
      {cmMergePaint, (~Src | Dst) & 0xFFFFFF},
      {cmNotSrcErase, ~(Src | Dst) & 0xFFFFFF},
  };
  TBitmap S = White(4, 4);
  S.Fill(Src);
  for (const TCase &K : Cases) {
    TBitmap D = White(4, 4);
    D.Fill(Dst);
    D.Canvas().BitBlt(1, 1, 2, 2, S, 0, 0, K.Op);
    EXPECT_EQ(D.Canvas().Pixels(1, 1), K.Expect) << std::hex << K.Op;
    EXPECT_EQ(D.Canvas().Pixels(0, 0), Dst) << std::hex << K.Op; // outside the blit
  }
  // A source rectangle reaching past the source copies only what exists.
  TBitmap Edge = White(6, 6);
  Edge.Fill(Dst);
  Edge.Canvas().BitBlt(0, 0, 6, 6, S, 2, -1, cmSrcCopy);
  EXPECT_EQ(Edge.Canvas().Pixels(0, 1), Src);
  EXPECT_EQ(Edge.Canvas().Pixels(1, 4), Src);
  EXPECT_EQ(Edge.Canvas().Pixels(2, 1), Dst); // column 4 of a 4-wide source
  EXPECT_EQ(Edge.Canvas().Pixels(0, 0), Dst); // row -1
  EXPECT_EQ(Edge.Canvas().Pixels(0, 5), Dst); // row 4
  // CopyRect uses the canvas's CopyMode.
  TBitmap D = White(4, 4);
  D.Fill(Dst);
  D.Canvas().SetCopyMode(cmSrcInvert);
  D.Canvas().CopyRect(Rect(0, 0, 4, 4), S.Canvas(), Rect(0, 0, 4, 4));
  EXPECT_EQ(D.Canvas().Pixels(3, 3), Src ^ Dst);
}

TEST(CanvasRasterOps, PenModeXorTwiceRestores) {
  TBitmap B = White(10, 10);
  TCanvas &C = B.Canvas();
  C.Pen().Mode = pmXor;
  C.Pen().Color = clWhite;
  C.MoveTo(0, 5);
  C.LineTo(10, 5);
  EXPECT_EQ(C.Pixels(3, 5), clBlack);
  C.MoveTo(0, 5);
  C.LineTo(10, 5);
  EXPECT_EQ(C.Pixels(3, 5), clWhite);
  C.Pen().Mode = pmNot;
  C.MoveTo(0, 6);
  C.LineTo(10, 6);
  EXPECT_EQ(C.Pixels(3, 6), clBlack);
}

TEST(CanvasPictures, MasksAndTransparentDraw) {
  TBitmap Src = White(4, 1);
  Src.Fill(clRed);
  TBitmap Mask = White(4, 1);
  Mask.SetMonochrome(true);
  Mask.Canvas().SetPixels(1, 0, clBlack);
  Mask.Canvas().SetPixels(2, 0, clNavy); // a dark colour becomes black on a mono bitmap
  EXPECT_EQ(Mask.Canvas().Pixels(2, 0), clBlack);
  TBitmap D = White(4, 1);
  D.Canvas().MaskBlt(0, 0, 4, 1, Src, 0, 0, Mask, 0, 0);
  EXPECT_EQ(D.Canvas().Pixels(0, 0), clWhite); // white mask: destination stays
  EXPECT_EQ(D.Canvas().Pixels(1, 0), clRed);   // black mask: source copied
  EXPECT_EQ(D.Canvas().Pixels(2, 0), clRed);

  // Transparent bitmaps leave out their transparent colour (bottom-left pixel by default).
  TBitmap Pic = White(3, 3);
  Pic.Fill(clLime);
  Pic.Canvas().SetPixels(1, 1, clBlue);
  Pic.Transparent = true;
  TBitmap T = White(5, 5);
  T.Fill(clGray);
  T.Canvas().Draw(1, 1, Pic);
  EXPECT_EQ(T.Canvas().Pixels(1, 1), clGray);
  EXPECT_EQ(T.Canvas().Pixels(2, 2), clBlue);
  T.Canvas().StretchDraw(Rect(0, 0, 5, 5), Pic); // stretched too
  EXPECT_EQ(T.Canvas().Pixels(0, 0), clGray);
  EXPECT_EQ(T.Canvas().Pixels(2, 2), clBlue);

  // Colour to mono by background colour, mono to colour by text/background.
  TBitmap M = Pic.ToMonochrome(clLime);
  EXPECT_EQ(M.Canvas().Pixels(0, 0), clWhite);
  EXPECT_EQ(M.Canvas().Pixels(1, 1), clBlack);
  TBitmap Back = M.MonoToColor(clRed, clYellow);
  EXPECT_EQ(Back.Canvas().Pixels(0, 0), clYellow);
  EXPECT_EQ(Back.Canvas().Pixels(1, 1), clRed);
}

TEST(CanvasPixels, ReadsOutsideGiveInvalidAndScanLinesAreArgb) {
  TBitmap B = White(3, 2);
  EXPECT_EQ(B.Canvas().Pixels(-1, 0), clInvalid);
  EXPECT_EQ(B.Canvas().Pixels(3, 0), clInvalid);
  B.Canvas().SetPixels(2, 1, RGB(1, 2, 3));
  EXPECT_EQ(B.ScanLine(1)[2], 0xFF010203u);
  B.ScanLine(0)[0] = 0xFF102030u;
  EXPECT_EQ(B.Canvas().Pixels(0, 0), RGB(0x10, 0x20, 0x30));
  B.Canvas().SetPixels(5, 5, clRed); // outside: ignored, no fault
  uint32_t Px[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  TBitmap F = TBitmap::FromRgb32(2, 2, Px);
  EXPECT_EQ(F.Canvas().Pixels(0, 0), clRed); // rows are 0x??RRGGBB
  EXPECT_EQ(F.Canvas().Pixels(1, 1), clWhite);
}

TEST(CanvasOrigin, OriginShiftsDrawing) {
  TBitmap B = White(10, 10);
  TCanvas &C = B.Canvas();
  C.SetOrigin(Point(3, 4));
  C.Brush().Color = clRed;
  C.FillRect(Rect(0, 0, 1, 1));
  C.SetOrigin(Point(0, 0));
  EXPECT_EQ(C.Pixels(3, 4), clRed);
}

TEST(Bitmaps, SizeCapsAndResizeKeepsPixels) {
  TBitmap B(4, 4);
  B.Canvas().SetPixels(1, 1, clRed);
  B.SetSize(8, 2);
  EXPECT_EQ(B.Canvas().Pixels(1, 1), clRed);
  EXPECT_EQ(B.Canvas().Pixels(7, 1), clWhite);
  EXPECT_THROW(B.SetSize(40000, 10), Exception);
  EXPECT_THROW(B.SetSize(20000, 20000), Exception);
  TBitmap C = B; // copies are independent
  C.Canvas().SetPixels(1, 1, clBlue);
  EXPECT_EQ(B.Canvas().Pixels(1, 1), clRed);
}

} // namespace

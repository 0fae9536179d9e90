// Drawing at a scroll offset, selection in inverse video, pictures and placeholders, and
// the point queries that follow what was drawn.
#include <gtest/gtest.h>

#include <cstdio>

#include "htmlview/gif_image.h"
#include "htmlview/image_cache.h"
#include "image_test_support.h"
#include "layout_support.h"
#include "pixel_count.h"
#include "platform/timer.h"

namespace {

TRect LineBox(const TSection &S, int From, int Count, TLaidOutDoc &D, int YOff = 0) {
  const LineRec &L = S.Lines[0];
  int X0 = L.DrawX + D.TextWidth(S.Buff.substr(0, size_t(From)));
  int X1 = X0 + D.TextWidth(S.Buff.substr(size_t(From), size_t(Count)));
  int Top = L.DrawY + L.SpaceBefore - YOff;
  return TRect(X0, Top, X1, Top + L.LineHt);
}

TEST(DrawText, SelectionIsInverseVideo) {
  TLaidOutDoc D;
  D.Parse("hello world");
  D.Layout(400);
  TSection *P = D.Para("hello");
  ASSERT_TRUE(P);
  D.List.SelB = P->StartCurs;
  D.List.SelE = P->StartCurs + 5;
  D.Draw();
  TRect Sel = LineBox(*P, 0, 5, D), Rest = LineBox(*P, 6, 5, D);
  int Area = Sel.Width() * Sel.Height();
  // The selected word: background in the text colour (black), letters in the page colour.
  EXPECT_GT(CountColor(D.Bitmap, clBlack, Sel), Area / 2);
  EXPECT_GT(CountColor(D.Bitmap, clWhite, Sel), 0);
  // The rest: letters on the white page.
  EXPECT_LT(CountColor(D.Bitmap, clBlack, Rest), Rest.Width() * Rest.Height() / 3);
  EXPECT_GT(CountColor(D.Bitmap, clBlack, Rest), 0);
  // An empty selection inverts nothing.
  D.List.SelE = D.List.SelB;
  D.Draw();
  EXPECT_LT(CountColor(D.Bitmap, clBlack, Sel), Area / 3);
}

// The darkest pixel of what was drawn inside R (smoothed text has paler edges).
TColor Darkest(TBitmap &B, const TRect &R) {
  TColor Best = clWhite;
  for (int Y = R.Top; Y < R.Bottom; ++Y)
    for (int X = R.Left; X < R.Right; ++X) {
      const TColor P = B.Canvas().Pixels(X, Y);
      if (GetRValue(P) + GetGValue(P) + GetBValue(P) <
          GetRValue(Best) + GetGValue(Best) + GetBValue(Best))
        Best = P;
    }
  return Best;
}

TEST(DrawText, PrintedNearWhiteTextIsGreyAndBlackOnTwoColours) {
  TLaidOutDoc D;
  D.Parse("<font color=white>white words</font> <font color=\"#F0E0FF\">pale pink</font> "
          "<font color=\"#FFD0FF\">lilac</font> <font color=red>red</font>");
  D.Layout(400);
  TSection *P = D.Para("white");
  ASSERT_TRUE(P);
  const std::string &Text = P->Buff;
  auto Box = [&](const std::string &Word) {
    return LineBox(*P, int(Text.find(Word)), int(Word.size()), D);
  };
  D.List.Printing = true;
  D.List.PageBottom = D.List.PageAreaHeight = 10000;
  D.Draw();
  D.Bitmap.SaveToPng(std::string(VORNELLE_BINARY_DIR) + "/draw_test_printed_white.png");
  // White and #F0E0FF (red and green both at E0 or more) print grey; #FFD0FF (green below
  // E0) and red keep their colours.
  EXPECT_EQ(Darkest(D.Bitmap, Box("white words")), TColor(0xA0A0A0));
  EXPECT_EQ(Darkest(D.Bitmap, Box("pale pink")), TColor(0xA0A0A0));
  EXPECT_GT(CountColor(D.Bitmap, TColor(0xFFD0FF), Box("lilac")), 0);
  EXPECT_EQ(CountColor(D.Bitmap, TColor(0xA0A0A0), Box("lilac")), 0);
  EXPECT_EQ(Darkest(D.Bitmap, Box("red")), clRed);
  // With table backgrounds printed, white text may stand on them: it stays white.
  D.List.PrintTableBackground = true;
  D.Draw();
  EXPECT_EQ(CountInk(D.Bitmap, TColor(0xA0A0A0), Box("white words")), 0);
  EXPECT_EQ(Darkest(D.Bitmap, Box("white words")), clWhite);
  // On the screen nothing changes.
  D.List.Printing = false;
  D.List.PrintTableBackground = false;
  D.Draw();
  EXPECT_EQ(Darkest(D.Bitmap, Box("white words")), clWhite);
  // A device of two colours prints every text black, white and red alike.
  TBitmap Mono(700, 500);
  Mono.SetMonochrome(true);
  Mono.Fill(clWhite);
  D.List.Printing = true;
  D.List.Draw(Mono.Canvas(), TRect(0, 0, 700, 500), 700, 0, 0);
  Mono.SaveToPng(std::string(VORNELLE_BINARY_DIR) + "/draw_test_printed_mono.png");
  EXPECT_GT(CountColor(Mono, clBlack, Box("white words")), 10);
  EXPECT_GT(CountColor(Mono, clBlack, Box("red")), 5);
}

TEST(DrawText, ScrollOffsetMovesTheText) {
  TLaidOutDoc D;
  D.Parse("<p>one</p><p>two</p>");
  D.Layout(400);
  TSection *Two = D.Para("two");
  ASSERT_TRUE(Two);
  int Off = Two->YValue;
  D.Draw(Off);
  TRect Box = LineBox(*Two, 0, 3, D, Off);
  EXPECT_LT(Box.Top, 5);
  EXPECT_GT(CountColor(D.Bitmap, clBlack, Box), 0);
}

TEST(DrawText, AWordFarWiderThanThePageShowsEachCharacterWhereItStands) {
  // Scrolled so that the marks in the middle of a long word stand where the marks at the
  // start of another word do: from the second mark on, the two pictures are the same.
  const std::string Long(15000, 'i'); // runs are cut every 9999: the marks are inside one
  TLaidOutDoc A, B;
  A.Parse("<p>" + Long + "MW" + Long);
  B.Parse("<p>MW" + Long);
  A.Layout(400);
  B.Layout(400);
  const TRect R(0, 0, A.Bitmap.Width(), A.Bitmap.Height());
  A.Bitmap.Fill(clWhite);
  B.Bitmap.Fill(clWhite);
  A.List.Draw(A.Bitmap.Canvas(), R, R.Width(), 100 - A.TextWidth(Long), 0);
  B.List.Draw(B.Bitmap.Canvas(), R, R.Width(), 100, 0);
  const TRect Same(100 + A.TextWidth("M"), 0, R.Right, R.Bottom);
  int Differ = 0;
  for (int Y = Same.Top; Y < Same.Bottom; ++Y)
    for (int X = Same.Left; X < Same.Right; ++X)
      Differ += A.Bitmap.ScanLine(Y)[X] != B.Bitmap.ScanLine(Y)[X];
  EXPECT_EQ(Differ, 0);
  EXPECT_GT(CountInk(B.Bitmap, clBlack, TRect(Same.Left, 0, Same.Left + 20, 40)), 10); // W
}

TEST(DrawPictures, PictureAndLinkFrame) {
  TLaidOutDoc D;
  D.AddPicture("red", 20, 10, clRed);
  D.Parse("a<img src=red>b <a href=x.htm><img src=red></a>");
  D.Layout(400);
  D.Draw();
  TSection *P = D.Para("a");
  ASSERT_TRUE(P && P->Images.Count() == 2);
  TFloatingObj *I = P->Images[0], *L = P->Images[1];
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(I->DrawX + 5, I->DrawY + 5), clRed);
  EXPECT_EQ(I->ImageWidth, 20);
  // Inside a link: a frame in the link colour, the picture one pixel in.
  EXPECT_EQ(L->ImageWidth, 22);
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(L->DrawX, L->DrawY), clBlue);
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(L->DrawX + 1, L->DrawY + 1), clRed);
}

TEST(DrawPictures, MissingPictureShowsItsPlaceholder) {
  TLaidOutDoc D;
  D.Parse("<img src=nothere.gif alt=\"No picture\" width=80 height=40>");
  D.Layout(400);
  D.Draw();
  TSection *P = nullptr;
  for (TSection *S : D.All<TSection>())
    if (S->Images.Count()) P = S;
  ASSERT_TRUE(P);
  auto *I = dynamic_cast<TImageObj *>(P->Images[0]);
  ASSERT_TRUE(I);
  EXPECT_TRUE(I->IsError);
  EXPECT_EQ(I->ImageWidth, 80);
  // A sunken frame: shadow at the top left.
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(I->DrawX, I->DrawY), TColor(0x808080));
  // The ALT text is written inside, right of the error picture.
  TRect Text(I->DrawX + 24, I->DrawY + 2, I->DrawX + 78, I->DrawY + 38);
  EXPECT_GT(CountInk(D.Bitmap, clBlack, Text), 5);
}

TEST(DrawPictures, TheErrorPictureSitsBesideItsAltTextInsideTheSmallestBox) {
  TLaidOutDoc D;
  // No size given: the box takes the ALT text's width plus the picture's room, and the
  // least height.
  D.Parse("<img src=nothere.gif alt=\"Gone\">");
  D.Layout(400);
  D.Draw();
  TSection *P = nullptr;
  for (TSection *S : D.All<TSection>())
    if (S->Images.Count()) P = S;
  ASSERT_TRUE(P);
  auto *I = dynamic_cast<TImageObj *>(P->Images[0]);
  ASSERT_TRUE(I && I->IsError);
  EXPECT_EQ(I->ObjHeight, 24);
  // The picture, 4 pixels in, ends before the text begins 24 pixels in, and inside the box.
  const TBitmap &E = ErrorBitmap();
  EXPECT_LE(4 + E.Width(), 24);
  EXPECT_LE(4 + E.Height(), I->ObjHeight - 2);
  // Its red cross is drawn whole: red from its top row to its bottom row of the cross.
  const TRect Pic(I->DrawX + 4, I->DrawY + 4, I->DrawX + 4 + E.Width(), I->DrawY + 4 + E.Height());
  EXPECT_GT(CountInk(D.Bitmap, clRed, Pic), 12);
  // The text lies right of it, none of it over the picture.
  const TRect Text(I->DrawX + 24, I->DrawY + 2, I->DrawX + I->ObjWidth - 2, I->DrawY + 22);
  EXPECT_GT(CountInk(D.Bitmap, clBlack, Text), 5);
  EXPECT_EQ(CountInk(D.Bitmap, clRed, Text), 0);
}

TEST(DrawPictures, BmpWithAnUnknownCompressionShowsTheErrorPicture) {
  // A 4 x 4 24-bit BMP whose compression field holds 9, a value no BMP defines; the same
  // file with compression 0 shows its dark grey pixels.
  auto Bmp = [](uint32_t Compression) {
    std::vector<uint8_t> D(54 + 4 * 12, 0x40);
    std::fill(D.begin(), D.begin() + 54, 0);
    auto Put32 = [&](size_t At, uint32_t V) {
      for (int I = 0; I < 4; ++I) D[At + size_t(I)] = uint8_t(V >> (8 * I));
    };
    D[0] = 'B';
    D[1] = 'M';
    Put32(10, 54);
    Put32(14, 40);
    Put32(18, 4);
    Put32(22, 4);
    D[26] = 1;
    D[28] = 24;
    Put32(30, Compression);
    return D;
  };
  const std::string Dir = ::testing::TempDir();
  for (uint32_t Compression : {0u, 9u}) {
    const std::string Name = "compression" + std::to_string(Compression) + ".bmp";
    {
      std::vector<uint8_t> Data = Bmp(Compression);
      FILE *F = std::fopen((Dir + Name).c_str(), "wb");
      ASSERT_TRUE(F);
      std::fwrite(Data.data(), 1, Data.size(), F);
      std::fclose(F);
    }
    TLaidOutDoc D;
    // No request handlers: the picture is read from its file.
    D.List.OnBitmapRequest = nullptr;
    D.List.OnExpandName = [Dir](const std::string &Src) { return Dir + Src; };
    D.Parse("<img src=" + Name + ">");
    D.Layout(400);
    D.Draw();
    TImageObj *I = D.List.ImageList.empty() ? nullptr : D.List.ImageList[0];
    ASSERT_TRUE(I);
    EXPECT_EQ(I->IsError, Compression != 0) << Compression;
    EXPECT_EQ(CountColor(D.Bitmap, TColor(0x404040), TRect(I->DrawX, I->DrawY, I->DrawX + 4, I->DrawY + 4)),
              Compression == 0 ? 16 : 0)
        << Compression;
    std::remove((Dir + Name).c_str());
  }
}

TEST(DrawPictures, CachedMaskOnlyWhereTransparencyIsAsked) {
  TLaidOutDoc D;
  D.AddPicture("pic", 10, 10, clGreen);
  D.Parse("<img src=pic transp><img src=PIC >");
  D.Layout(400);
  TSection *P = nullptr;
  for (TSection *S : D.All<TSection>())
    if (S->Images.Count() == 2) P = S;
  ASSERT_TRUE(P);
  auto *A = dynamic_cast<TImageObj *>(P->Images[0]);
  auto *B = dynamic_cast<TImageObj *>(P->Images[1]);
  ASSERT_TRUE(A && B);
  EXPECT_EQ(A->Bitmap, B->Bitmap); // one cache entry for names differing in case and spaces
  EXPECT_NE(A->Mask, nullptr);     // TRANSP: a mask from the lower-left pixel
  EXPECT_EQ(B->Mask, nullptr);     // the same picture without TRANSP draws opaque
}

TEST(DrawQueries, LinksCursorsAndImageMaps) {
  TLaidOutDoc D;
  D.AddPicture("map", 30, 30);
  D.Parse("<a href=\"go.htm\" target=side>link</a> text<br><a href=\"m.htm\"><img src=map ismap></a>");
  D.Layout(400);
  D.Draw();
  TSection *P = D.Para("link");
  ASSERT_TRUE(P);
  const LineRec &L = P->Lines[0];
  TUrlTarget U;
  TFormControlObj *FC = nullptr;
  EXPECT_TRUE(D.List.GetURL(D.Bitmap.Canvas(), L.DrawX + 3, L.DrawY + 5, U, FC));
  EXPECT_EQ(U.Url, "go.htm");
  EXPECT_EQ(U.Target, "side");
  TUrlTarget V;
  EXPECT_FALSE(D.List.GetURL(D.Bitmap.Canvas(), L.DrawX + D.TextWidth("link te"), L.DrawY + 5, V, FC));
  // A click left of the text gives the line's first position, not in the text.
  int XR, YR, CH;
  bool InText = true;
  EXPECT_EQ(D.List.FindCursor(D.Bitmap.Canvas(), L.DrawX - 5 < 0 ? 0 : L.DrawX - 5, L.DrawY + 5,
                              XR, YR, CH, InText),
            P->StartCurs);
  int Pos = D.List.FindCursor(D.Bitmap.Canvas(), L.DrawX + D.TextWidth("li") + 1, L.DrawY + 5, XR,
                              YR, CH, InText);
  EXPECT_EQ(Pos, P->StartCurs + 2);
  EXPECT_TRUE(InText);
  int X, Y;
  EXPECT_TRUE(D.List.CursorToXY(D.Bitmap.Canvas(), P->StartCurs + 2, X, Y));
  EXPECT_EQ(X, L.DrawX + D.TextWidth("li"));
  EXPECT_EQ(Y, L.DrawY);
  // ISMAP: the click point follows the URL.
  TSection *M = nullptr;
  for (TSection *S : D.All<TSection>())
    if (S->Images.Count()) M = S;
  ASSERT_TRUE(M);
  TFloatingObj *I = M->Images[0];
  TUrlTarget W;
  EXPECT_TRUE(D.List.GetURL(D.Bitmap.Canvas(), I->DrawX + 5, I->DrawY + 7, W, FC));
  EXPECT_EQ(W.Url, "m.htm?5,7");
}

TEST(DrawQueries, FindStringIgnoresCaseWhenAsked) {
  TLaidOutDoc D;
  D.Parse("<p>The Field</p><table><tr><td>inner FIELD</td></tr></table>");
  D.Layout(400);
  int First = D.List.FindString(0, "field", false);
  EXPECT_EQ(First, D.Para("Field")->StartCurs + 4);
  EXPECT_GT(D.List.FindString(First + 1, "field", false), First);
  EXPECT_EQ(D.List.FindString(0, "field", true), -1);
}

TEST(DrawTables, BorderAndCellBackground) {
  TLaidOutDoc D;
  D.Parse("<table border=1 cellspacing=4><tr><td bgcolor=yellow>a</td></tr></table>");
  D.Layout(400);
  D.Draw();
  auto T = D.All<ThtmlTable>();
  ASSERT_EQ(T.size(), 1u);
  auto *C = T[0]->Rows[0]->Items(0);
  int X = T[0]->Indent + T[0]->CellSpacing + 2, Y = T[0]->YValue + T[0]->CellSpacing + 2;
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(X, Y), clYellow);
  EXPECT_TRUE(C->Cell->BkGnd);
  // The raised outer frame: light at the top left.
  EXPECT_NE(D.Bitmap.Canvas().Pixels(T[0]->Indent, T[0]->YValue), clWhite);
  D.Bitmap.SaveToPng(std::string(VORNELLE_BINARY_DIR) + "/draw_test_table.png");
}

} // namespace

namespace {

TEST(DrawAnimation, ANewFrameRepaintsThePictureOnlyWhileItShows) {
  uint32_t Now = 1000;
  TGIFImage::Clock = [&Now] { return Now; };
  TLaidOutDoc D;
  D.Host.Height = 300;
  D.List.OnBitmapRequest = nullptr; // pictures from files
  std::string Dir = std::string(VORNELLE_SOURCE_DIR) + "/tests/htmlview/data/images/";
  std::string Page = "<p>above<p><img src=\"" + Dir + "gif_loop3.gif\">";
  for (int I = 0; I < 80; ++I) Page += "<p>a paragraph below the picture";
  D.Parse(Page);
  D.Layout(400);
  ASSERT_EQ(D.List.AnimList.size(), 1u);
  TImageObj *I = D.List.AnimList[0];
  auto Tick = [&] {
    D.Host.Invalidations = 0;
    D.Host.Repainted.clear();
    Now += 2000;
    D.List.AnimationTick();
  };
  D.Draw(0);
  Tick(); // the first tick after a start only starts the clock
  const TRect Shown = I->Gif->LastDrawnRect();
  ASSERT_GT(Shown.Width(), 0);
  Tick();
  EXPECT_EQ(D.Host.Invalidations, 0); // never the whole pane
  ASSERT_EQ(D.Host.Repainted.size(), 1u);
  EXPECT_EQ(D.Host.Repainted[0], Shown);
  // Scrolled by 10 px without a paint since: the rectangle where the picture stands now.
  D.List.SetYOffset(10);
  Tick();
  ASSERT_EQ(D.Host.Repainted.size(), 1u);
  EXPECT_EQ(D.Host.Repainted[0], TRect(Shown.Left, Shown.Top - 10, Shown.Right, Shown.Bottom - 10));
  // Scrolled out of view: the frames go on, nothing is repainted.
  D.Draw(Shown.Bottom + 200);
  const int Frame = I->Gif->CurrentFrame;
  Tick();
  EXPECT_TRUE(D.Host.Repainted.empty());
  EXPECT_EQ(D.Host.Invalidations, 0);
  EXPECT_NE(I->Gif->CurrentFrame, Frame);
  TGIFImage::Clock = nullptr;
}

namespace {

// An 8 x 8 animation whose first frame is yellow with a transparent 4 x 4 hole at (2, 2);
// the second puts a blue 2 x 2 square in the top left corner; both stay in place.
std::vector<uint8_t> HoleAnimation() {
  using namespace imgtest;
  TGifWriter W(8, 8, Table8());
  TGifFrameSpec First = Solid(0, 0, 8, 8, 5);
  for (int Y = 2; Y < 6; ++Y)
    for (int X = 2; X < 6; ++X) First.Pixels[size_t(Y * 8 + X)] = 3;
  First.TransparentIndex = 3;
  First.Disposal = 1;
  First.DelayCs = 10;
  TGifFrameSpec Second = Solid(0, 0, 2, 2, 2);
  Second.Disposal = 1;
  Second.DelayCs = 10;
  W.Frame(First);
  W.Frame(Second);
  return W.Finish();
}

// A document whose pictures the host hands over as streams.
struct TStreamedDoc : TLaidOutDoc {
  std::map<std::string, TMemoryStream> Streams;
  TStreamedDoc() {
    List.OnBitmapRequest = nullptr;
    List.OnImageRequest = [this](const std::string &Src, TMemoryStream *&S) {
      auto It = Streams.find(Src);
      S = It == Streams.end() ? nullptr : &It->second;
    };
  }
  TImageObj *Image(size_t I) { return List.ImageList.at(I); }
};

} // namespace

TEST(DrawAnimation, TransparentFramesShowTheBoxThePictureStandsIn) {
  TStreamedDoc D;
  D.Streams["hole.gif"] = TMemoryStream(HoleAnimation());
  D.List.SetBackground(clLime);
  D.Parse("<img src=hole.gif><table cellpadding=6><tr><td bgcolor=red><img src=hole.gif></td>"
          "<td><img src=hole.gif></td></tr></table>");
  D.Layout(400);
  ASSERT_EQ(D.List.ImageList.size(), 3u);
  D.Bitmap.Fill(clLime);
  D.List.SetYOffset(0);
  D.List.Draw(D.Bitmap.Canvas(), TRect(0, 0, 700, 500), 700, 0, 0);
  D.Bitmap.SaveToPng(std::string(VORNELLE_BINARY_DIR) + "/draw_test_gif_in_cells.png");
  auto Hole = [&](size_t I) {
    const TRect R = D.Image(I)->Gif->LastDrawnRect();
    return D.Bitmap.Canvas().Pixels(R.Left + 3, R.Top + 3);
  };
  auto Face = [&](size_t I) {
    const TRect R = D.Image(I)->Gif->LastDrawnRect();
    return D.Bitmap.Canvas().Pixels(R.Left + 7, R.Top + 7);
  };
  for (size_t I = 0; I < 3; ++I) {
    ASSERT_TRUE(D.Image(I)->Gif) << I;
    EXPECT_EQ(Face(I), clYellow) << I;
  }
  EXPECT_EQ(Hole(0), clLime); // in the page: the page's colour
  EXPECT_EQ(Hole(1), clRed);  // in the red cell: red
  EXPECT_EQ(Hole(2), clLime); // a cell without a colour shows the page
}

TEST(DrawAnimation, TransparentFramesShowThePagesBackgroundPicture) {
  TStreamedDoc D;
  D.Streams["hole.gif"] = TMemoryStream(HoleAnimation());
  D.Streams["tile.bmp"] = TMemoryStream(imgtest::ReadAll(imgtest::ImagePath("bmp24.bmp")));
  D.Parse("<body background=tile.bmp><p><img src=hole.gif hspace=9>");
  D.Layout(400);
  TBitmap *Tile = D.List.GetBackgroundBitmap();
  ASSERT_TRUE(Tile);
  const int TW = Tile->Width(), TH = Tile->Height();
  // The page's own tiling, as the viewer paints it, and the document over it.
  for (int Y = 0; Y < 500; Y += TH)
    for (int X = 0; X < 700; X += TW) D.Bitmap.Canvas().Draw(X, Y, *Tile);
  D.List.SetYOffset(0);
  D.List.Draw(D.Bitmap.Canvas(), TRect(0, 0, 700, 500), 700, 0, 0);
  D.Bitmap.SaveToPng(std::string(VORNELLE_BINARY_DIR) + "/draw_test_gif_on_tiles.png");
  const TRect R = D.Image(0)->Gif->LastDrawnRect();
  // Through the hole the tile shows, lined up with the tiling around the picture.
  for (int Y = R.Top + 2; Y < R.Top + 6; ++Y)
    for (int X = R.Left + 2; X < R.Left + 6; ++X)
      EXPECT_EQ(D.Bitmap.Canvas().Pixels(X, Y), Tile->Canvas().Pixels(X % TW, Y % TH))
          << X << "," << Y;
}

TEST(DrawAnimation, AnimatedPicturesRunOnTheDocumentTimer) {
  TLaidOutDoc D;
  D.List.OnBitmapRequest = nullptr; // pictures from files
  std::string Dir = std::string(VORNELLE_SOURCE_DIR) + "/tests/htmlview/data/images/";
  D.Parse("<img src=\"" + Dir + "gif_loop3.gif\"><img src=\"" + Dir +
          "gif_loop3.gif\" active><img src=\"" + Dir + "gif_transparent.gif\">");
  D.Layout(400);
  TSection *P = nullptr;
  for (TSection *S : D.All<TSection>())
    if (S->Images.Count() == 3) P = S;
  ASSERT_TRUE(P);
  auto *Plain = dynamic_cast<TImageObj *>(P->Images[0]);
  auto *Active = dynamic_cast<TImageObj *>(P->Images[1]);
  auto *Still = dynamic_cast<TImageObj *>(P->Images[2]);
  ASSERT_TRUE(Plain && Active && Still);
  ASSERT_TRUE(Plain->Gif);
  EXPECT_NE(Plain->Gif, Active->Gif); // each element animates its own copy
  EXPECT_EQ(Still->Gif, nullptr);     // a single frame is kept as a bitmap
  EXPECT_NE(Still->Mask, nullptr);    // with the GIF's transparency
  // Only the plain animated picture runs; the ACTIVE one waits for the pointer.
  ASSERT_EQ(D.List.AnimList.size(), 1u);
  EXPECT_EQ(D.List.AnimList[0], Plain);
  ASSERT_TRUE(D.List.Timer);
  EXPECT_TRUE(D.List.Timer->Enabled());
  EXPECT_EQ(D.List.Timer->Interval(), 50);
  Active->SetHover(true);
  EXPECT_EQ(D.List.AnimList.size(), 2u);
  Active->SetHover(false);
  EXPECT_EQ(D.List.AnimList.size(), 1u);
  EXPECT_EQ(Active->Gif->CurrentFrame, 1);
  D.Draw();
  D.List.AnimationTick();
  D.List.Clear();
  EXPECT_FALSE(D.List.Timer->Enabled()); // clearing stops the timer
}

} // namespace

namespace {

TEST(DrawBlocks, ColouredRuleAndHollowBulletsOnDarkPages) {
  TLaidOutDoc D;
  D.List.SetBackground(clNavy);
  D.Parse("<hr color=lime size=6><ul><li>item</ul>");
  D.Layout(400);
  D.Bitmap.Fill(clNavy);
  D.List.SetYOffset(0);
  D.List.Draw(D.Bitmap.Canvas(), TRect(0, 0, 700, 500), 700, 0, 0);
  auto Rules = D.All<THorzLine>();
  ASSERT_EQ(Rules.size(), 1u);
  int Top = Rules[0]->YValue + (Rules[0]->SectionHeight - 6) / 2;
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(200, Top), clLime); // a solid bar 6 high
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(200, Top + 5), clLime);
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(200, Top + 6), clNavy);
  TSection *I = D.Para("item");
  ASSERT_TRUE(I);
  const LineRec &L = I->Lines[0];
  int X = I->TextEdge - 8, Y = L.DrawY + L.SpaceBefore + L.LineHt - L.LineHt / 2;
  // On a dark page the bullet is a ring in the text colour with the page inside.
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(X, Y), clNavy);
  EXPECT_EQ(D.Bitmap.Canvas().Pixels(X - 2, Y), clBlack);
}

} // namespace

namespace {

// The first and last rows of R holding black ink (-1 when none).
std::pair<int, int> InkRows(TBitmap &B, const TRect &R) {
  int First = -1, Last = -1;
  for (int Y = R.Top; Y < R.Bottom; ++Y)
    if (CountInk(B, clBlack, TRect(R.Left, Y, R.Right, Y + 1)) > 0) {
      if (First < 0) First = Y;
      Last = Y;
    }
  return {First, Last};
}

TEST(DrawForms, PrintedRadioButtonAndListBox) {
  TLaidOutDoc D;
  D.Parse("<form><input type=radio checked><select size=2><option>Top<option>gjpqy</select>"
          "</form>");
  D.Layout(400);
  ASSERT_EQ(D.List.FormControlList.size(), 2u);
  // The radio button: a shadow upper-left and a silver lower-right half, two pixels wide.
  TFormControlObj *Radio = D.List.FormControlList[0];
  TBitmap B(20, 20);
  B.Fill(clWhite);
  Radio->Draw(B.Canvas(), 2, 2);
  const TColor Shadow = ColorToRGB(clBtnShadow);
  for (int K : {2, 3}) {
    EXPECT_EQ(B.Canvas().Pixels(K, 9), Shadow) << K;
    EXPECT_EQ(B.Canvas().Pixels(9, K), Shadow) << K;
    EXPECT_EQ(B.Canvas().Pixels(17 - K, 9), clSilver) << K;
    EXPECT_EQ(B.Canvas().Pixels(9, 17 - K), clSilver) << K;
  }
  EXPECT_EQ(B.Canvas().Pixels(4, 9), clWhite);
  EXPECT_EQ(B.Canvas().Pixels(9, 9), clBlack); // checked
  // On a two-colour device: one black pixel wide.
  TBitmap M(20, 20);
  M.SetMonochrome(true);
  M.Fill(clWhite);
  Radio->Draw(M.Canvas(), 2, 2);
  EXPECT_EQ(M.Canvas().Pixels(2, 9), clBlack);
  EXPECT_EQ(M.Canvas().Pixels(15, 9), clBlack);
  EXPECT_EQ(M.Canvas().Pixels(3, 9), clWhite);

  // The list box: rows from 4 pixels down, nothing within 8 pixels of the bottom.
  TFormControlObj *List = D.List.FormControlList[1];
  TBitmap Ref(100, 40);
  Ref.Fill(clWhite);
  Ref.Canvas().Font().Name = D.List.PreFontName;
  Ref.Canvas().Font().SetSize(10);
  Ref.Canvas().Font().Color = clBlack;
  Ref.Canvas().Brush().Style = bsClear;
  Ref.Canvas().TextOut(0, 0, std::string("Top"));
  const int TopInk = InkRows(Ref, TRect(0, 0, 100, 40)).first;
  ASSERT_GE(TopInk, 0);
  TBitmap L(200, 100);
  L.Fill(clWhite);
  List->Draw(L.Canvas(), 10, 10);
  const auto [First, Last] = InkRows(L, TRect(12, 12, 10 + List->Width - 2, 10 + List->Height - 2));
  EXPECT_EQ(First, 10 + 4 + TopInk);
  EXPECT_GT(Last, 10 + List->Height / 2); // the second row shows, cut short
  EXPECT_LT(Last, 10 + List->Height - 8);
}

// A control printed at (10, 10), and beside it the rows it should show, drawn by hand in
// the control's font and clip; the pixels inside the clip must agree.
bool PrintsRows(TLaidOutDoc &D, TFormControlObj &Ctrl, const std::vector<std::u16string> &Rows) {
  const int W = Ctrl.Width + 20, H = Ctrl.Height + 20;
  TBitmap Got(W, H), Want(W, H);
  Got.Fill(clWhite);
  Want.Fill(clWhite);
  Ctrl.Draw(Got.Canvas(), 10, 10);
  TCanvas &C = Want.Canvas();
  C.Font().Name = D.List.PreFontName;
  C.Font().SetSize(10);
  C.Font().Color = clBlack;
  C.Brush().Style = bsClear;
  const TRect Clip(14, 14, 10 + Ctrl.Width - 8, 10 + Ctrl.Height - 8);
  const int AH = C.TextHeight(std::string("A"));
  for (size_t I = 0; I < Rows.size(); ++I) C.TextRect(Clip, 14, 14 + int(I) * AH, Rows[I]);
  int Ink = 0;
  for (int Y = Clip.Top; Y < Clip.Bottom; ++Y)
    for (int X = Clip.Left; X < Clip.Right; ++X) {
      if (Got.Canvas().Pixels(X, Y) != C.Pixels(X, Y)) return false;
      if (C.Pixels(X, Y) != clWhite) ++Ink;
    }
  return Ink > 0;
}

TEST(DrawForms, PrintedListComboAndTextAreaFollowThePagesCodePage) {
  // 0xE9 is iota in Windows-1253 and e acute in Windows-1252.
  TLaidOutDoc D;
  D.Parse("<form><select size=2><option>\xE9\xE9\xE9</select><select><option>\xE9\xE9\xE9"
          "</select><textarea>\xE9\xE9\xE9</textarea></form>");
  D.List.CodePage = TCodePage::Windows1253;
  D.Layout(600);
  ASSERT_EQ(D.List.FormControlList.size(), 3u);
  for (TFormControlObj *Ctrl : D.List.FormControlList) {
    EXPECT_TRUE(PrintsRows(D, *Ctrl, {u"\u03B9\u03B9\u03B9"}));
    EXPECT_FALSE(PrintsRows(D, *Ctrl, {u"\u00E9\u00E9\u00E9"}));
  }
}

TEST(DrawForms, PrintedListBoxStartsAtItsTopRow) {
  TLaidOutDoc D;
  D.Parse("<form><select size=2><option>r0<option>r1<option>r2<option>r3</select></form>");
  D.Layout(600);
  auto *List = dynamic_cast<TListBoxFormControlObj *>(D.List.FormControlList.at(0));
  ASSERT_TRUE(List);
  EXPECT_TRUE(PrintsRows(D, *List, {u"r0", u"r1"}));
  List->TopIndex = 2; // scrolled on screen
  EXPECT_TRUE(PrintsRows(D, *List, {u"r2", u"r3"}));
}

TEST(DrawForms, PrintedEditAndButtonAreTheirTextAlone) {
  TLaidOutDoc D;
  D.Parse("<form><input value=word><input type=submit></form>");
  D.Layout(600);
  ASSERT_EQ(D.List.FormControlList.size(), 2u);
  for (TFormControlObj *Ctrl : D.List.FormControlList) {
    TBitmap B(Ctrl->Width + 20, Ctrl->Height + 20);
    B.Fill(clWhite);
    Ctrl->Draw(B.Canvas(), 10, 10);
    const TRect Box(10, 10, 10 + Ctrl->Width, 10 + Ctrl->Height);
    // No frame: the ring of the box's edge pixels stays white, the text is there.
    const TRect Inner(Box.Left + 1, Box.Top + 1, Box.Right - 1, Box.Bottom - 1);
    EXPECT_EQ(CountColor(B, clWhite, Box) - CountColor(B, clWhite, Inner),
              2 * (Ctrl->Width + Ctrl->Height) - 4);
    EXPECT_GT(CountInk(B, clBlack, Box), 0);
  }
}

} // namespace

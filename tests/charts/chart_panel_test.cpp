#include <gtest/gtest.h>

#include "chart_test_util.h"
#include "platform/metafile.h"
#include "platform/qt_bridge.h"
#include "platform/system_locale.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QLocale>
#include <QPixmap>

#include <set>

namespace {
// A panel whose contents are only its background, remembering the rectangles it got.
class TTestPanel : public TCustomChartPanelExtended {
public:
  TRect SeenChartRect;
  void InternalDraw(const TRect &R) override {
    SeenChartRect = ChartRect;
    PaintPanel(R);
  }
};
} // namespace

TEST(ChartPanel, ChartRectFromMargins) {
  TTestPanel P;
  TBitmap B(400, 250);
  P.SetWindowCanvas(&B.Canvas());
  P.Paint();
  EXPECT_EQ(P.SeenChartRect, TRect(12, 10, 388, 240)); // 3 % and 4 % of 400 x 250
  for (int i = 0; i < 4; ++i) P.SetMargin(i, 0);
  P.SetBorderWidth(2);
  P.Paint();
  EXPECT_EQ(P.SeenChartRect, TRect(2, 2, 398, 248));
  // Margins over 100 % leave an inverted rectangle: it becomes one pixel wide. Margins of
  // exactly 100 % leave an empty one, which takes the control's height.
  P.SetBorderWidth(0);
  P.SetMarginLeft(60);
  P.SetMarginRight(60);
  P.SetMarginTop(50);
  P.SetMarginBottom(50);
  P.Paint();
  EXPECT_EQ(P.SeenChartRect.Width(), 1);
  EXPECT_EQ(P.SeenChartRect.Height(), 250);
  EXPECT_EQ(P.SeenChartRect.Left, 240);
  EXPECT_EQ(P.ChartWidth, 1);
}

TEST(ChartPanel, RangeChecks) {
  TTestPanel P;
  try {
    P.SetChart3DPercent(0);
    FAIL();
  } catch (const ChartException &E) {
    EXPECT_STREQ(E.what(), "3D effect percent must be between 1 and 100");
  }
  EXPECT_THROW(P.SetChart3DPercent(101), ChartException);
  P.SetChart3DPercent(1);
  P.SetChart3DPercent(100);
  EXPECT_EQ(P.Chart3DPercent(), 100);
  P.SetPrintResolution(150);
  EXPECT_EQ(P.PrintResolution(), 99);
  P.SetPrintResolution(-5);
  EXPECT_EQ(P.PrintResolution(), 0);
  try {
    ChartCheckAngle(360, "Axis Title");
    FAIL();
  } catch (const ChartException &E) {
    EXPECT_STREQ(E.what(), "Axis Title Angle must be between 0 and 359 degrees");
  }
  ChartCheckAngle(0, "x");
  ChartCheckAngle(359, "x");
}

TEST(ChartPanel, BufferIsReusedUntilStaleAndResizeMakesItStale) {
  TChartOnBitmap W;
  W.Paint();
  EXPECT_EQ(W.Chart.DrawCount(), 1);
  W.Paint(); // an expose: shown from the buffer
  EXPECT_EQ(W.Chart.DrawCount(), 1);
  W.Chart.SetBounds(300, 200);
  EXPECT_TRUE(W.Chart.Canvas().DirtyBits());
  W.Paint();
  EXPECT_EQ(W.Chart.DrawCount(), 2);
  EXPECT_EQ(W.Chart.Canvas().Bitmap()->Width(), 300);
}

TEST(ChartPanel, RepaintsCoalesce) {
  TChartOnBitmap W;
  auto *S = W.Chart.AddSeries<TPointSeries>();
  W.Paint();
  const int Requests = W.Requests, Draws = W.Chart.DrawCount();
  for (int i = 0; i < 361; ++i) S->AddXY(i, i % 7);
  EXPECT_TRUE(W.Chart.Canvas().DirtyBits()); // every add invalidates
  EXPECT_EQ(W.Requests - Requests, 1);        // but asks the window once
  W.Paint();
  EXPECT_EQ(W.Chart.DrawCount() - Draws, 1);
  S->AddXY(400, 1);
  EXPECT_EQ(W.Requests - Requests, 2);
}

TEST(ChartPanel, ClipboardMetafileIsOnePixelSmaller) {
  TChartOnBitmap W;
  W.Chart.AddSeries<TFastLineSeries>()->AddXY(1, 1);
  std::unique_ptr<TMetafile> M = W.Chart.ChartCreateMetafile(true, W.Chart.GetPanelRect());
  EXPECT_EQ(M->Width(), 399);
  EXPECT_EQ(M->Height(), 249);
  EXPECT_GT(M->CommandCount(), 10);
  EXPECT_TRUE(W.Chart.BufferedDisplay()); // restored after the metafile
  EXPECT_FALSE(W.Chart.Canvas().Metafiling);
}

TEST(ChartPanel, PrintPartialCanvas) {
  TTestPanel P;
  P.SetColor(clRed);
  TBitmap Page(800, 600);
  Page.Fill(clBlue);
  P.PrintPartialCanvas(Page.Canvas(), TRect(100, 100, 100, 300)); // empty: nothing happens
  EXPECT_EQ(P.DrawCount(), 0);
  EXPECT_FALSE(P.Printing);
  P.PrintPartialCanvas(Page.Canvas(), TRect(100, 100, 500, 350));
  EXPECT_EQ(P.DrawCount(), 1);
  // While printing the background is left to the paper.
  EXPECT_EQ(Page.Canvas().Pixels(300, 200), clBlue);
  PrintBackground = true;
  TBitmap A(800, 600), B(800, 600);
  P.PrintPartialCanvas(A.Canvas(), TRect(100, 100, 500, 350));
  P.PrintPartialCanvas(B.Canvas(), TRect(500, 350, 100, 100)); // corners swapped
  PrintBackground = false;
  EXPECT_EQ(A.Canvas().Pixels(300, 200), clRed);
  EXPECT_EQ(A.Canvas().Pixels(50, 50), clWhite); // clipped to the page rectangle
  for (int y = 0; y < 600; y += 7)
    for (int x = 0; x < 800; x += 7) ASSERT_EQ(A.Canvas().Pixels(x, y), B.Canvas().Pixels(x, y));
  // A visible gradient is drawn even while printing.
  P.Gradient.SetVisible(true);
  TBitmap G(800, 600);
  G.Fill(clBlue);
  P.PrintPartialCanvas(G.Canvas(), TRect(100, 100, 500, 350));
  EXPECT_NE(G.Canvas().Pixels(300, 200), clBlue);
}

TEST(ChartCanvas, Projections) {
  TChartCanvas3D C;
  TBitmap B(100, 100);
  TView3DOptions O;
  C.SetBufferedDisplay(false);
  C.InitWindow(B.Canvas(), &O, clWhite, false, TRect(0, 0, 100, 100));
  C.Projection(20, TRect(0, 0, 100, 100));
  EXPECT_EQ(C.Calculate3DPosition(30, 40, 10), TPoint(30, 40)); // flat: identity
  C.InitWindow(B.Canvas(), &O, clWhite, true, TRect(0, 0, 100, 100));
  C.Projection(20, TRect(0, 0, 100, 100));
  EXPECT_EQ(C.Calculate3DPosition(30, 40, 10), TPoint(40, 30)); // right and up by Z
  int X = 40, Y = 30;
  C.Calculate2DPosition(X, Y, 10);
  EXPECT_EQ(TPoint(X, Y), TPoint(30, 40));
  O.SetOrthogonal(false);
  C.InitWindow(B.Canvas(), &O, clWhite, true, TRect(0, 0, 100, 100));
  C.Projection(20, TRect(0, 0, 100, 100));
  EXPECT_DOUBLE_EQ(C.PerspectiveFactor(), 15 / 35000.0);
  O.SetPerspective(0);
  C.InitWindow(B.Canvas(), &O, clWhite, true, TRect(0, 0, 100, 100));
  C.Projection(20, TRect(0, 0, 100, 100));
  EXPECT_EQ(C.PerspectiveFactor(), 0);
  // The centre of the projection stays where it is.
  EXPECT_EQ(C.Calculate3DPosition(50, 50, 10), TPoint(50, 50));
}

TEST(ChartCanvas, GradientBands) {
  TChartCanvas3D C;
  TBitmap B(20, 1000);
  C.SetReferenceCanvas(&B.Canvas());
  auto Colours = [&](int H) {
    std::set<TColor> S;
    for (int y = 0; y < H; ++y) S.insert(B.Canvas().Pixels(5, y));
    return S.size();
  };
  C.GradientFill(TRect(0, 0, 20, 10), clBlack, RGB(0, 0, 255), TGradientDirection::gdTopBottom);
  EXPECT_EQ(Colours(10), 10u);
  EXPECT_EQ(B.Canvas().Pixels(5, 9), clBlack); // band 0 lies at the bottom edge
  EXPECT_EQ(B.Canvas().Pixels(5, 0), RGB(0, 0, 255));
  C.GradientFill(TRect(0, 0, 20, 1000), clBlack, clWhite, TGradientDirection::gdTopBottom);
  EXPECT_EQ(Colours(1000), 256u);
  // One pixel: the start colour, no division by zero.
  C.GradientFill(TRect(0, 0, 20, 1), clRed, clWhite, TGradientDirection::gdTopBottom);
  EXPECT_EQ(B.Canvas().Pixels(5, 0), clRed);
  EXPECT_EQ(ApplyDark(RGB(200, 100, 50), 64), RGB(136, 36, 0));
}

TEST(ChartCanvas, SmallDotsPenSetsEveryOtherPixel) {
  TChartCanvas3D C;
  TBitmap B(40, 3);
  C.SetReferenceCanvas(&B.Canvas());
  TChartPen P;
  P.Color = clRed;
  P.SmallDots = true;
  C.AssignVisiblePen(P);
  C.Line(0, 1, 40, 1);
  for (int x = 0; x < 39; ++x) EXPECT_EQ(B.Canvas().Pixels(x, 1) == clRed, x % 2 == 0) << x;
}

TEST(ChartCanvas, ReDrawBitmapAfterInvalidate) {
  TChartCanvas3D C;
  TBitmap Dest(50, 50);
  C.InitWindow(Dest.Canvas(), nullptr, clWhite, false, TRect(0, 0, 50, 50));
  EXPECT_FALSE(C.ReDrawBitmap());
  C.ShowImage(Dest.Canvas(), &Dest.Canvas(), TRect(0, 0, 50, 50));
  C.InitWindow(Dest.Canvas(), nullptr, clWhite, false, TRect(0, 0, 50, 50));
  EXPECT_TRUE(C.ReDrawBitmap());
  C.Invalidate();
  EXPECT_FALSE(C.ReDrawBitmap());
}

TEST(ChartGeometry, HitTests) {
  // A segment of zero length: the distance to its point, no division.
  EXPECT_TRUE(PointInLineTolerance({5, 5}, {4, 4}, {4, 4}, 3));
  EXPECT_FALSE(PointInLineTolerance({9, 9}, {4, 4}, {4, 4}, 3));
  EXPECT_TRUE(PointInLine({4, 4}, {4, 4}, {4, 4}));
  EXPECT_TRUE(PointInLine({5, 5}, {0, 0}, {10, 10}));
  EXPECT_FALSE(PointInLine({5, 6}, {0, 0}, {10, 10}));
  EXPECT_FALSE(PointInLine({11, 11}, {0, 0}, {10, 10}));
  EXPECT_FALSE(PointInEllipse({0, 0}, TRect(0, 0, 0, 10)));
  EXPECT_TRUE(PointInEllipse({5, 5}, TRect(0, 0, 10, 10)));
  const TPoint Sq[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_TRUE(PointInPolygon({5, 5}, Sq));
  EXPECT_FALSE(PointInPolygon({15, 5}, Sq));
}

TEST(ChartPanel, EmptyChartRectTakesTheControlsSize) {
  TTestPanel P;
  P.SetBounds(400, 250);
  P.ChartBounds = TRect(0, 0, 400, 250);
  P.ChartRect = TRect(30, 40, 30, 40); // equal sides: the control's width and height
  P.RecalcWidthHeight();
  EXPECT_EQ(P.ChartRect, TRect(30, 40, 430, 290));
  P.ChartRect = TRect(30, 40, 20, 10); // inverted: one pixel
  P.RecalcWidthHeight();
  EXPECT_EQ(P.ChartRect, TRect(30, 40, 31, 41));
  EXPECT_EQ(P.ChartWidth, 1);
}

TEST(ChartPanel, PrintLaysTheChartOutAtItsOwnSizeAndStretchesIt) {
  TTestPanel P; // 400 x 250 on screen
  TBitmap Page(900, 900);
  // A page rectangle twice as tall as the screen's shape: the layout stays the screen's.
  P.PrintPartialCanvas(Page.Canvas(), TRect(50, 50, 450, 550));
  EXPECT_EQ(P.ChartBounds, TRect(0, 0, 400, 250));
  EXPECT_EQ(P.SeenChartRect, TRect(12, 10, 388, 240));
  // A print resolution of 50 % lays it out at half the size: 200 x 125.
  P.SetPrintResolution(50);
  P.PrintPartialCanvas(Page.Canvas(), TRect(50, 50, 850, 250));
  EXPECT_EQ(P.ChartBounds, TRect(0, 0, 200, 125));
  EXPECT_EQ(P.SeenChartRect, TRect(6, 5, 194, 120));
}

TEST(ChartPanel, PrintedChartIsStretchedOntoThePage) {
  // The projectile chart printed into a rectangle of its own width and twice its height:
  // every row of the screen picture takes two rows on the page, so the plot's top and bottom
  // edges land at twice their screen height.
  TChartOnBitmap W;
  TPointSeries *Drag;
  TFastLineSeries *Ideal;
  SetUpProjectileChart(W.Chart, Drag, Ideal);
  W.Chart.SetBackColor(clYellow);
  W.Paint();
  const TRect Screen = W.Chart.ChartRect;
  TBitmap Page(400, 500);
  W.Chart.PrintPartialCanvas(Page.Canvas(), TRect(0, 0, 400, 500));
  const int X = (Screen.Left + Screen.Right) / 2;
  int Top = -1, Bottom = -1;
  for (int y = 0; y < 500; ++y)
    if (Page.Canvas().Pixels(X, y) == clYellow) {
      if (Top < 0) Top = y;
      Bottom = y;
    }
  EXPECT_NEAR(Top, 2 * (Screen.Top + 1), 2);
  EXPECT_NEAR(Bottom, 2 * Screen.Bottom - 1, 2);
}

TEST(ChartCanvas, ViewOptionsAssignCopiesAllNine) {
  TTestPanel P;
  TView3DOptions S;
  S.SetElevation(10);
  S.SetHorizOffset(5);
  S.SetOrthogonal(false);
  S.SetPerspective(30);
  S.SetRotation(20);
  S.SetTilt(3);
  S.SetVertOffset(-7);
  S.SetZoom(150);
  S.SetZoomText(false);
  int Scrolled = 0, Zoomed = 0;
  P.View3DOptions.OnScrolled = [&](bool) { ++Scrolled; };
  P.View3DOptions.OnChangedZoom = [&](int Z) { Zoomed = Z; };
  P.View3DOptions.Assign(S);
  const TView3DOptions &V = P.View3DOptions;
  EXPECT_EQ(V.Elevation(), 10);
  EXPECT_EQ(V.HorizOffset(), 5);
  EXPECT_FALSE(V.Orthogonal());
  EXPECT_EQ(V.Perspective(), 30);
  EXPECT_EQ(V.Rotation(), 20);
  EXPECT_EQ(V.Tilt(), 3);
  EXPECT_EQ(V.VertOffset(), -7);
  EXPECT_EQ(V.Zoom(), 150);
  EXPECT_FALSE(V.ZoomText());
  EXPECT_EQ(Scrolled, 2); // both offsets moved
  EXPECT_EQ(Zoomed, 150);
  EXPECT_TRUE(P.PaintPending());
}

TEST(ChartCanvas, TextWidthAndSwaps) {
  TChartOnBitmap W;
  W.Paint();
  TChartCanvas3D &C = W.Chart.Canvas();
  C.SetReferenceCanvas(&W.Window.Canvas());
  EXPECT_EQ(ChartGetTextWidth("", C), 0);
  EXPECT_EQ(ChartGetTextWidth("WW", C), 2 * ChartGetTextWidth("W", C)); // no kerning
  EXPECT_GT(ChartGetTextWidth("W", C), 0);
  int Lines;
  EXPECT_EQ(MultiLineTextWidth(C, std::string("W\rWWW\rWW"), Lines), ChartGetTextWidth("WWW", C));
  EXPECT_EQ(Lines, 3);
  int32_t A = 1, B = -2;
  SwapLongint(A, B);
  EXPECT_EQ(A, -2);
  EXPECT_EQ(B, 1);
}

TEST(ChartPanel, AssignCopiesThePanelSettings) {
  TTestPanel S, P;
  S.PrintProportional = false;
  S.SetPrintResolution(20);
  for (int i = 0; i < 4; ++i) S.SetMargin(i, 10 + i);
  S.SetBufferedDisplay(false);
  S.SetMonochrome(true);
  S.SetView3D(false);
  S.View3DOptions.SetZoom(80);
  S.SetChart3DPercent(40);
  S.SetColor(clAqua);
  TBitmap Img(8, 8);
  Img.Fill(clRed);
  S.SetBackImage(Img);
  S.SetBackImageMode(TChartBackImageMode::pbmTile);
  S.Gradient.SetVisible(true);
  S.Gradient.SetDirection(TGradientDirection::gdFromCenter);
  S.Gradient.SetStartColor(clBlue);
  S.Gradient.SetEndColor(clLime);
  S.AllowPanning = TPanningMode::pmVertical;
  S.AllowZoom = false;
  S.AnimatedZoom = true;
  S.AnimatedZoomSteps = 3;
  P.Assign(S);
  EXPECT_FALSE(P.PrintProportional);
  EXPECT_EQ(P.PrintResolution(), 20);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(P.GetMargin(i), 10 + i);
  EXPECT_FALSE(P.BufferedDisplay());
  EXPECT_TRUE(P.Monochrome());
  EXPECT_FALSE(P.View3D());
  EXPECT_EQ(P.View3DOptions.Zoom(), 80);
  EXPECT_EQ(P.Chart3DPercent(), 40);
  EXPECT_EQ(P.Color(), clAqua);
  EXPECT_EQ(P.BackImage().Width(), 8);
  EXPECT_EQ(P.BackImageMode(), TChartBackImageMode::pbmTile);
  EXPECT_TRUE(P.Gradient.Visible());
  EXPECT_EQ(P.Gradient.Direction(), TGradientDirection::gdFromCenter);
  EXPECT_EQ(P.Gradient.StartColor(), clBlue);
  EXPECT_EQ(P.Gradient.EndColor(), clLime);
  EXPECT_EQ(P.AllowPanning, TPanningMode::pmVertical);
  EXPECT_FALSE(P.AllowZoom);
  EXPECT_TRUE(P.AnimatedZoom);
  EXPECT_EQ(P.AnimatedZoomSteps, 3);
  EXPECT_TRUE(P.PaintPending());
}

TEST(ChartPanel, GradientAssignRepaintsOnlyOnChange) {
  TChartOnBitmap W;
  W.Paint();
  TChartGradient G;
  W.Chart.Gradient.Assign(G); // the same four values
  EXPECT_FALSE(W.Chart.PaintPending());
  G.SetEndColor(clRed);
  W.Chart.Gradient.Assign(G);
  EXPECT_EQ(W.Chart.Gradient.EndColor(), clRed);
  EXPECT_TRUE(W.Chart.PaintPending());
}

TEST(ChartPanel, HandCursorAndABackImageChangedInPlace) {
  LoadChartCursors();
  const QImage Hand =
      QImage(":/charts/CHART_CURSOR_HAND.png").convertToFormat(QImage::Format_ARGB32);
  ASSERT_FALSE(Hand.isNull());
  const QCursor Cursor = ToQCursor(crChartHand);
  EXPECT_EQ(Cursor.shape(), Qt::BitmapCursor);
  EXPECT_EQ(Cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32), Hand);
  EXPECT_EQ(Hand.pixel(Cursor.hotSpot()), qRgba(255, 255, 255, 255)); // on the fingertip
  TChartOnBitmap W;
  W.Chart.SetBackImage(TBitmap(8, 8));
  W.Paint();
  W.Chart.ChangeBackImage([](TBitmap &B) { B.Fill(clRed); });
  EXPECT_TRUE(W.Chart.PaintPending());
  W.Paint();
  const TRect &R = W.Chart.ChartRect;
  EXPECT_EQ(W.Pixel((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2), clRed);
}

TEST(ChartPanel, FontsChangedInPlaceRepaintTheChart) {
  TChartOnBitmap W;
  auto *S = W.Chart.AddSeries<TPointSeries>();
  W.Paint();
  ExpectEachChangeRepaints(
      W, {
             {"Title", [&] { W.Chart.Title.Font.SetColor(clRed); }},
             {"Foot", [&] { W.Chart.Foot.Font.SetStyle(fsItalic); }},
             {"Legend", [&] { W.Chart.Legend.Font.SetSize(12); }},
             {"Axis title", [&] { W.Chart.LeftAxis.Title.Font.SetName("Times New Roman"); }},
             {"Axis labels", [&] { W.Chart.BottomAxis.LabelsFont.SetHeight(-20); }},
             {"Marks", [&] { S->Marks.Font.SetColor(clBlue); }},
         });
  EXPECT_EQ(W.Chart.Legend.Font.Size(), 12);
}

TEST(ChartPanel, DefaultFontIsTheSystemsOnAJapaneseSystem) {
  const QLocale WasLocale;
  const QFont WasFont = QGuiApplication::font();
  QGuiApplication::setFont(QFont("DejaVu Sans", 11));
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(ChartDefaultFontName(), "Arial");
  EXPECT_EQ(ChartDefaultFontSize(), 8);
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  EXPECT_EQ(SysLocalePriLangID(), LANG_JAPANESE);
  const TFont F = CreateDefaultChartFont();
  EXPECT_EQ(F.Name, "DejaVu Sans");
  EXPECT_EQ(F.Size(), 11);
  EXPECT_TRUE(IsDefaultChartFont(F));
  QLocale::setDefault(WasLocale);
  QGuiApplication::setFont(WasFont);
}

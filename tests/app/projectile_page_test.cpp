// The projectile page: its paths, its controls inside the main window, and the Graph
// menu's copy and print.
#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <cmath>

#include "app/page_kit.h"
#include "app/pages/projectile_page.h"
#include "main_window_fixture.h"
#include "pixel_count.h"
#include "platform/clipboard.h"
#include "platform/paint_box.h"
#include "platform/printer.h"
#include "platform/qt_bridge.h"
#include "sim/projectile.h"

namespace {
struct TPaths {
  TChart Chart;
  TPointSeries *Drag = nullptr;
  TFastLineSeries *Ideal = nullptr;
  TPaths() { SetUpProjectileChart(Chart, Drag, Ideal); }
  static void Copy(TChartSeries &S, const std::vector<TPathPoint> &Path) {
    S.Clear();
    for (const TPathPoint &P : Path) S.AddXY(P.X, P.Y);
  }
  void Plot(int Angle, float Speed, float Height, float Drag_) {
    Copy(*Drag, PlotDragPath(Angle, Speed, Height, Drag_));
    Copy(*Ideal, PlotIdealPath(Angle, Speed, Height));
  }
  // Height of the ideal parabola at x (the path without drag).
  static double Parabola(int Angle, double Speed, double Height, double X) {
    const double A = Angle * M_PI / 180, vx = std::cos(A) * Speed, vy = std::sin(A) * Speed;
    const double t = X / vx;
    return Height + vy * t - 4.905 * t * t;
  }
};
} // namespace

TEST(ProjectilePaths, StartValuesWithoutDragCoincide) {
  TPaths P;
  P.Plot(45, 5, 5, 0);
  EXPECT_NEAR(IdealFlightTime(45, 5, 5), 1.4324, 5e-5);
  ASSERT_EQ(P.Ideal->Count(), 201);
  EXPECT_NEAR(P.Ideal->GetxValue(200), 5.064, 5e-4); // landing point
  EXPECT_NEAR(P.Ideal->GetyValue(200), 0, 1e-4);     // at ground level
  EXPECT_NEAR(P.Ideal->GetyValue(0), 5, 1e-6);
  // One drag point per 0.1 s, 14 of them up to 1.4 s, plus the start: all on the parabola.
  ASSERT_EQ(P.Drag->Count(), 15);
  for (int i = 0; i < P.Drag->Count(); ++i)
    EXPECT_NEAR(P.Drag->GetyValue(i), TPaths::Parabola(45, 5, 5, P.Drag->GetxValue(i)), 1e-3) << i;
  EXPECT_NEAR(P.Drag->GetxValue(14), 3.5355 * 1.4, 1e-3);
}

TEST(ProjectilePaths, DragFallsShort) {
  TPaths P;
  P.Plot(45, 10, 5, 0.5f);
  const double Last = P.Drag->GetxValue(P.Drag->Count() - 1);
  EXPECT_LT(Last, P.Ideal->GetxValue(200) * 0.9);
  for (int i = 1; i < P.Drag->Count(); ++i)
    EXPECT_LT(P.Drag->GetyValue(i), TPaths::Parabola(45, 10, 5, P.Drag->GetxValue(i)) + 1e-6) << i;
}

TEST(ProjectilePaths, EdgeCases) {
  TPaths P;
  // Speed 0: straight down, T = sqrt(19.62 h) / 9.81.
  P.Plot(45, 0, 5, 0);
  EXPECT_NEAR(IdealFlightTime(45, 0, 5), std::sqrt(19.62 * 5) / 9.81, 1e-5);
  for (int i = 0; i < P.Ideal->Count(); ++i) EXPECT_EQ(P.Ideal->GetxValue(i), 0);
  for (int i = 0; i < P.Drag->Count(); ++i) EXPECT_EQ(P.Drag->GetxValue(i), 0);
  // Straight up with strong drag: the horizontal speed never goes below 0.
  P.Plot(90, 10, 5, 1);
  for (int i = 0; i < P.Drag->Count(); ++i) EXPECT_LT(std::fabs(P.Drag->GetxValue(i)), 1e-5);
  // Height 0 and speed 0: T = 0, 201 points at the origin, the drag path stops at once.
  P.Plot(45, 0, 0, 0);
  ASSERT_EQ(P.Ideal->Count(), 201);
  for (int i = 0; i < 201; ++i) {
    EXPECT_EQ(P.Ideal->GetxValue(i), 0);
    EXPECT_EQ(P.Ideal->GetyValue(i), 0);
  }
  EXPECT_EQ(P.Drag->Count(), 1);
}

TEST(ProjectilePaths, StraightUpGoesUpAndComesDownOnTheAxis) {
  // Thrown straight up from 5 m at 5 m/s: the top is h + v^2 / 2g = 5 + 25 / 19.62 m, and
  // the ball lands after (v + sqrt(v^2 + 2gh)) / g = 1.6324 s, on x = 0 all the way.
  for (float Drag : {0.0f, 0.5f}) {
    const std::vector<TPathPoint> Path = PlotDragPath(90, 5, 5, Drag);
    ASSERT_GE(Path.size(), 10u) << Drag;
    float Top = 0;
    for (const TPathPoint &P : Path) {
      EXPECT_GE(P.X, 0.0f) << Drag; // never left of the axis
      EXPECT_LT(P.X, 1e-6f) << Drag;
      Top = std::max(Top, P.Y);
    }
    EXPECT_GT(Top, 5.5f) << Drag;           // it went up
    EXPECT_LT(Path.back().Y, 1.0f) << Drag; // and came down
    if (Drag == 0) { EXPECT_NEAR(Top, 5 + 25 / 19.62, 0.02); }
  }
  const std::vector<TPathPoint> Ideal = PlotIdealPath(90, 5, 5);
  EXPECT_NEAR(IdealFlightTime(90, 5, 5), (5 + std::sqrt(25 + 19.62 * 5)) / 9.81, 1e-4);
  float Top = 0;
  for (const TPathPoint &P : Ideal) {
    EXPECT_GE(P.X, 0.0f);
    EXPECT_LT(P.X, 1e-6f);
    Top = std::max(Top, P.Y);
  }
  EXPECT_NEAR(Top, 5 + 25 / 19.62, 1e-3);
  EXPECT_NEAR(Ideal[200].Y, 0, 1e-3);
}

namespace {
class ProjectilePageTest : public MainWindowTest {
protected:
  TProjectilePage *Page = nullptr;
  void SetUp() override {
    MainWindowTest::SetUp();
    MakeProgramFolder();
    MakeWindow();
    Page = dynamic_cast<TProjectilePage *>(Form->PageOfSheet(TSheet::Projectile));
    ASSERT_NE(Page, nullptr);
    Form->DoTopicChange(Form->ProjectileItem);
    Form->show();
    Pump();
    Page->gfChartBox->PaintNow();
  }
  void Shot(const std::string &Name) {
    Pump();
    Page->gfChartBox->PaintNow();
    Pump();
    Form->grab().save(QString::fromStdString(std::string(VORNELLE_BINARY_DIR) + "/" + Name));
  }
};
} // namespace

TEST_F(ProjectilePageTest, ControlsAtStart) {
  EXPECT_EQ(Page->gfSpeedHsb->maximum(), 100);
  EXPECT_EQ(Page->gfSpeedHsb->value(), 50);
  EXPECT_EQ(Page->gfAngleHsb->maximum(), 90);
  EXPECT_EQ(Page->gfAngleHsb->value(), 45);
  EXPECT_EQ(Page->gfDragHsb->value(), 0);
  EXPECT_EQ(Page->gfSpeedHsb->toolTip().toStdString(), "set inital speed");
  EXPECT_EQ(Page->gfSpeedLabel->text().toStdString(), "speed 5.00 (m/s)");
  EXPECT_EQ(Page->gfHeightLabel->text().toStdString(), "height 5.00 (m)");
  EXPECT_EQ(Page->gfDragLabel->text().toStdString(), "drag 0.00 (kg/s)");
  EXPECT_EQ(Page->gfAngleLabel->text().toStdString(), "angle 45 ");
  EXPECT_EQ(Page->Series2->Count(), 201);
  EXPECT_EQ(Page->Series1->Count(), 15);
  EXPECT_EQ(Page->gfChart.Width(), Page->gfChartBox->Width());
  EXPECT_GT(Page->gfChart.DrawCount(), 0);
  Shot("projectile_page.png");
}

TEST_F(ProjectilePageTest, ScrollBarReplotsWithOneRepaint) {
  Page->gfChartBox->PaintNow();
  const int Requests = Page->gfChart.PaintRequests();
  Page->gfDragHsb->setValue(40);
  EXPECT_EQ(Page->gfDragLabel->text().toStdString(), "drag 0.40 (kg/s)");
  EXPECT_EQ(Page->gfChart.PaintRequests() - Requests, 1); // 216 adds, one paint
  const int Draws = Page->gfChart.DrawCount();
  Page->gfChartBox->PaintNow();
  EXPECT_EQ(Page->gfChart.DrawCount() - Draws, 1);
  EXPECT_LT(Page->Series1->GetxValue(Page->Series1->Count() - 1), Page->Series2->GetxValue(200));
  Page->gfSpeedHsb->setValue(100);
  Page->gfAngleHsb->setValue(60);
  Shot("projectile_page_drag.png");
}

TEST_F(ProjectilePageTest, ZoomPanAndUndo) {
  TChart &C = Page->gfChart;
  C.AnimatedZoom = true;
  const TRect R = C.ChartRect;
  C.MouseDown(mbLeft, 0, R.Left + 10, R.Top + R.Height() / 2);
  C.MouseMove(0, R.Left + R.Width() / 3, R.Bottom - 10);
  C.MouseUp(mbLeft, 0, R.Left + R.Width() / 3, R.Bottom - 10);
  EXPECT_TRUE(C.Zoomed);
  EXPECT_LT(C.BottomAxis.Maximum(), 10);
  Shot("projectile_zoomed.png");
  C.MouseDown(mbRight, 0, R.Left + 200, R.Top + 50);
  C.MouseMove(0, R.Left + 100, R.Top + 120);
  C.MouseUp(mbRight, 0, R.Left + 100, R.Top + 120);
  Shot("projectile_panned.png");
  C.MouseDown(mbLeft, 0, R.Left + 200, R.Top + 150);
  C.MouseMove(0, R.Left + 100, R.Top + 50);
  C.MouseUp(mbLeft, 0, R.Left + 100, R.Top + 50);
  EXPECT_EQ(C.BottomAxis.Minimum(), 0);
  EXPECT_EQ(C.BottomAxis.Maximum(), 20);
  EXPECT_EQ(C.LeftAxis.Minimum(), 0);
  EXPECT_EQ(C.LeftAxis.Maximum(), 16);
}

TEST_F(ProjectilePageTest, CopyGivesPngAndSvg) {
  Clipboard().Clear();
  Form->GraphCopy1->trigger();
  EXPECT_TRUE(Clipboard().HasMimeType("image/png"));
  EXPECT_TRUE(Clipboard().HasMimeType("image/svg+xml"));
  EXPECT_GT(Clipboard().DataOf("image/svg+xml").size(), 1000u);
  const std::string Png = Clipboard().DataOf("image/png");
  QFile Out(QString::fromStdString(std::string(VORNELLE_BINARY_DIR) + "/projectile_copy.png"));
  ASSERT_TRUE(Out.open(QIODevice::WriteOnly));
  Out.write(Png.data(), qint64(Png.size()));
  EXPECT_EQ(Page->gfChart.Color(), clWhite); // the chart keeps its own colour
}

TEST_F(ProjectilePageTest, PrintPutsTheGraphIntoItsPageRectangle) {
  const std::string Pdf = std::string(VORNELLE_BINARY_DIR) + "/projectile_print.pdf";
  QFile::remove(QString::fromStdString(Pdf));
  Printer().SetOutputFile(Pdf);
  int Asked = 0;
  SetPrintDialogHook([&](TPrintDialog &D) {
    ++Asked;
    D.Copies = 3; // not used
    return true;
  });
  Form->GraphPrint1->trigger();
  SetPrintDialogHook({});
  EXPECT_EQ(Asked, 1);
  EXPECT_EQ(Printer().PageNumber(), 1);
  QFile F(QString::fromStdString(Pdf));
  ASSERT_TRUE(F.exists());
  EXPECT_GT(F.size(), 2000);
  const TRect R = GetChartPrintRect();
  EXPECT_EQ(R.Left, Printer().PixelsPerInchX() - Printer().PhysicalOffsetX());
  EXPECT_EQ(R.Bottom, MulDiv(Printer().PageHeight(), 2, 3));
  SetPrintDialogHook([](TPrintDialog &) { return false; });
  Form->GraphPrint1->trigger(); // cancelled: nothing printed
  SetPrintDialogHook({});
  Printer().SetOutputFile("");
}

TEST_F(ProjectilePageTest, APathThrownStraightUpIsSeenWholeBesideTheAxis) {
  // The points rise from the start at 5 m to 6.27 m and fall to the ground on x = 0: the
  // axis leaves room for a whole circle left of x = 0, and the line without drag shows.
  Page->gfAngleHsb->setValue(90);
  for (int Drag : {0, 50}) {
    Page->gfDragHsb->setValue(Drag);
    Page->gfChartBox->PaintNow();
    TBitmap B = BitmapFromImage(Page->gfChartBox->Image());
    const TRect R = Page->gfChart.ChartRect;
    const int X0 = Page->gfChart.BottomAxis.CalcXPosValue(0),
              Size = Page->Series1->Pointer.HorizSize();
    const int Y55 = Page->gfChart.LeftAxis.CalcYPosValue(5.5),
              Y1 = Page->gfChart.LeftAxis.CalcYPosValue(1);
    EXPECT_GT(X0 - R.Left, Size) << Drag;
    EXPECT_GT(CountColor(B, clRed, TRect(R.Left + 1, R.Top, X0, R.Bottom)), 8 * Size)
        << Drag; // left halves
    EXPECT_GT(CountColor(B, clRed, TRect(X0, R.Top, X0 + Size + 1, Y55)), 8)
        << Drag; // above the start
    EXPECT_GT(CountColor(B, clRed, TRect(X0, Y1, X0 + Size + 1, R.Bottom)), 8)
        << Drag; // near the ground
    EXPECT_EQ(CountColor(B, clRed, TRect(X0 + Size + 1, R.Top, R.Right, R.Bottom)), 0) << Drag;
  }
  Page->gfDragHsb->setValue(0);
  Page->gfChartBox->PaintNow();
  TBitmap B = BitmapFromImage(Page->gfChartBox->Image());
  const int X0 = Page->gfChart.BottomAxis.CalcXPosValue(0);
  EXPECT_GT(
      CountColor(B, clGreen,
                 TRect(X0, Page->gfChart.ChartRect.Top, X0 + 1, Page->gfChart.ChartRect.Bottom)),
      20);
  Shot("projectile_straight_up.png");
}

// What the user sees of the window around the pages: the caption, the ticks of the menus,
// the field page's enabled buttons and read-out, its toolbar at 640 x 480, the status
// bar's hint panel, the help window's heading and the speed buttons' hover look.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCursor>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>

#include "app/forms/help_frm.h"
#include "app/page_kit.h"
#include "app/pages/coil_page.h"
#include "app/pages/field_page.h"
#include "app/pages/projectile_page.h"
#include "app/topic_table.h"
#include "main_window_fixture.h"
#include "platform/paint_box.h"
#include "widgets/speed_button.h"

namespace {

class WindowLookTest : public MainWindowTest {
protected:
  TFieldPage *FieldPage() const { return dynamic_cast<TFieldPage *>(Form->PageOfSheet(TSheet::Field)); }
  static bool Idle(TFieldFrm &F) {
    bool Done = false;
    F.AppIdle(Done);
    return Done;
  }
};

// Pixels in a rectangle of an image that stand out from Background (a mark, or the
// frame of an empty check box).
int InkPixels(const QImage &Img, const QRect &R, QRgb Background) {
  int N = 0;
  for (int Y = std::max(0, R.top()); Y <= std::min(Img.height() - 1, R.bottom()); ++Y)
    for (int X = std::max(0, R.left()); X <= std::min(Img.width() - 1, R.right()); ++X)
      N += std::abs(qGray(Img.pixel(X, Y)) - qGray(Background)) > 24;
  return N;
}

void Click(QWidget *W) {
  const QPointF At(W->width() / 2.0, W->height() / 2.0);
  QMouseEvent Press(QEvent::MouseButtonPress, At, W->mapToGlobal(At), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent Release(QEvent::MouseButtonRelease, At, W->mapToGlobal(At), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(W, &Press);
  QApplication::sendEvent(W, &Release);
}

// The part of W the screen can show now: its rectangle clipped by every ancestor, in the
// coordinates of Top.
QRect ShownRect(const QWidget *W, const QWidget *Top) {
  QRect R(W->mapTo(Top, QPoint(0, 0)), W->size());
  for (const QWidget *P = W->parentWidget(); P && P != Top; P = P->parentWidget())
    R &= QRect(P->mapTo(Top, QPoint(0, 0)), P->size());
  return R;
}

// The scroll area whose viewport is V, if any.
QAbstractScrollArea *AreaOfViewport(const QWidget *V) {
  auto *A = V ? qobject_cast<QAbstractScrollArea *>(V->parentWidget()) : nullptr;
  return A && A->viewport() == V ? A : nullptr;
}

// Empty when every part of W can be brought into view: each ancestor up to Top either holds
// it whole or is a scroll area that scrolls far enough; else what hides a part of it.
std::string Unreachable(const QWidget *W, const QWidget *Top) {
  QRect R = W->rect();
  for (const QWidget *C = W; C != Top; C = C->parentWidget()) {
    const QWidget *P = C->parentWidget();
    if (QAbstractScrollArea *A = AreaOfViewport(P)) {
      const QScrollBar *H = A->horizontalScrollBar(), *V = A->verticalScrollBar();
      const int Wider = C->width() - P->width(), Taller = C->height() - P->height();
      if (Wider > 0 && (!H->isVisible() || H->maximum() < Wider)) {
        return A->objectName().toStdString() + " cannot scroll across";
      }
      if (Taller > 0 && (!V->isVisible() || V->maximum() < Taller)) {
        return A->objectName().toStdString() + " cannot scroll down";
      }
      R = P->rect();
    } else {
      const QRect InParent = R.translated(C->pos());
      if (!P->rect().contains(InParent)) {
        return P->objectName().toStdString() + " cuts it off " + std::to_string(P->width()) + "x" +
               std::to_string(P->height());
      }
      R = InParent;
    }
  }
  return {};
}

// The controls a user reads or works: they must not lie on one another.
bool IsControl(const QWidget *W) {
  if (qobject_cast<const QScrollBar *>(W))
    // A scroll area's own bars sit in its frame, outside what it scrolls.
    return !qobject_cast<const QAbstractScrollArea *>(W->parentWidget()->parentWidget());
  return qobject_cast<const QLabel *>(W) || qobject_cast<const TPaintBox *>(W) ||
         qobject_cast<const TKitSpeedButton *>(W) || qobject_cast<const QAbstractButton *>(W) ||
         qobject_cast<const QAbstractItemView *>(W);
}

} // namespace

TEST_F(WindowLookTest, TheCaptionIsTheProgramAndTheTopicOnly) {
  MakeProgramFolder();
  Application->SetTitle("Vornelle");
  TFieldFrm &F = MakeWindow();
  F.ElectricFieldItem->trigger();
  EXPECT_EQ(F.windowTitle(), "Vornelle - Electric field plotting");
  // The toolkit appends its display name to every caption when one is set: none is.
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
  EXPECT_EQ(Application->Title(), "Vornelle");
}

TEST_F(WindowLookTest, OnlyTheTickedItemOfAMenuShowsAMark) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.DynamoItem->trigger();
  emit F.Topics1->aboutToShow();
  QMenu *M = F.Topics1;
  M->adjustSize();
  const QImage Img = M->grab().toImage();
  ASSERT_FALSE(Img.isNull());
  const qreal Ratio = Img.devicePixelRatio();
  int Marked = 0;
  for (QAction *A : F.TopicItems) {
    // The check column: the item's left part, before its text.
    QRect R = M->actionGeometry(A);
    R.setWidth(std::min(R.width(), R.height()));
    R = QRect(R.topLeft() * Ratio, R.size() * Ratio).adjusted(1, 1, -1, -1);
    const QRect Item = M->actionGeometry(A);
    const QRgb Background = Img.pixel(int((Item.right() - 4) * Ratio), int(Item.center().y() * Ratio));
    const int Ink = InkPixels(Img, R, Background);
    if (A == F.DynamoItem) EXPECT_GT(Ink, 3) << "the current topic has its mark";
    else EXPECT_EQ(Ink, 0) << A->text().toStdString();
    Marked += Ink > 0;
  }
  EXPECT_EQ(Marked, 1);
}

TEST_F(WindowLookTest, PlotAndClearNeedChargesAndIdleTime) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.ElectricFieldItem->trigger();
  TFieldPage &P = *FieldPage();
  Idle(F);
  // No charge placed: nothing to plot or clear; the view and zoom are free.
  EXPECT_FALSE(P.FPlotBtn->Enabled());
  EXPECT_FALSE(P.VplotBtn->Enabled());
  EXPECT_FALSE(P.FClearBtn->Enabled());
  EXPECT_TRUE(P.F3DBtn->Enabled());
  EXPECT_TRUE(P.FZoomBtn->Enabled());
  EXPECT_FALSE(P.FAbortBtn->Enabled());
  P.FieldPicMouseDown(mbLeft, 17 * 16, 20 * 16);
  Idle(F);
  EXPECT_TRUE(P.FPlotBtn->Enabled());
  EXPECT_TRUE(P.VplotBtn->Enabled());
  EXPECT_TRUE(P.FClearBtn->Enabled());
  // While a loop runs the idle rules do not enable them.
  AbortFlag = false;
  Idle(F);
  EXPECT_FALSE(P.FPlotBtn->Enabled());
  EXPECT_FALSE(P.FClearBtn->Enabled());
  EXPECT_TRUE(P.FAbortBtn->Enabled());
  AbortFlag = true;
  // "clear" removes the charges, and with them the plot commands.
  P.FClearBtnClick();
  Idle(F);
  EXPECT_FALSE(P.FPlotBtn->Enabled());
  EXPECT_FALSE(P.FClearBtn->Enabled());
  EXPECT_TRUE(P.F3DBtn->Enabled());
}

TEST_F(WindowLookTest, APresetFromTheThreeDViewBringsTheReadOutBack) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.show();
  F.ElectricFieldItem->trigger();
  TFieldPage &P = *FieldPage();
  P.F3DBtnClick();
  ASSERT_EQ(F.ActiveSheet(), TSheet::ThreeD);
  EXPECT_EQ(F.StatusBar->PanelWidth(0), 0);
  bool Handled = false;
  F.ViewerHotSpotClick("\xA3" "DIPOLE", Handled);
  Pump();
  EXPECT_TRUE(Handled);
  EXPECT_EQ(F.ActiveSheet(), TSheet::Field);
  EXPECT_EQ(F.CurrentTopic, 2);
  EXPECT_EQ(F.StatusBar->PanelWidth(0), 100);
  EXPECT_EQ(P.FieldPlot->Charges.size(), 2u);
  P.FieldPicMouseMove(0, 0);
  EXPECT_EQ(F.StatusBar->PanelText(0), "x:1 y:1");
}

TEST_F(WindowLookTest, TheFieldToolbarKeepsItsButtonsWholeAt640x480) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow({640, 480, 0, 0, 640, 450});
  F.setWindowState(Qt::WindowNoState); // the test platform's screen is larger
  F.resize(640, 450);                  // the maximised window of the compact layout
  F.show();
  ASSERT_EQ(F.width(), 640);
  F.ElectricFieldItem->trigger();
  TFieldPage &P = *FieldPage();
  // The splitter dragged far to the left stops where a button still fits.
  auto Drag = [&](int DX) {
    QWidget *S = F.findChild<QWidget *>("Splitter1");
    ASSERT_NE(S, nullptr);
    const QPointF At(3, 10), To(3 + DX, 10);
    auto Send = [S](QEvent::Type T, QPointF P, Qt::MouseButton B, Qt::MouseButtons Bs) {
      QMouseEvent E(T, P, S->mapToGlobal(P), B, Bs, Qt::NoModifier);
      QApplication::sendEvent(S, &E);
    };
    Send(QEvent::MouseButtonPress, At, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseMove, To, Qt::NoButton, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, To, Qt::LeftButton, Qt::NoButton);
  };
  // Dragged far to the right, it stops where one button of the text toolbar still fits.
  Drag(1000);
  EXPECT_EQ(F.MainPCWidth(),
            F.centralWidget()->contentsRect().width() - 6 - (ViewerButtonWidth + 4));
  Drag(-1000);
  const int Narrowest = F.MainPCWidth();
  EXPECT_EQ(Narrowest, PageButtonWidth + 4);
  // The compact page width, then narrower and wider as the splitter allows.
  for (int Width : {320, 200, 120, 60, Narrowest, 500}) {
    F.SetMainPCWidth(Width);
    Pump();
    QWidget *Bar = P.FieldToolbar;
    const QList<TKitSpeedButton *> Buttons = Bar->findChildren<TKitSpeedButton *>();
    ASSERT_EQ(Buttons.size(), 10);
    for (qsizetype I = 0; I < Buttons.size(); ++I) {
      const QRect R = Buttons[I]->geometry();
      EXPECT_EQ(R.size(), QSize(PageButtonWidth, PageButtonHeight)) << Width;
      // Whole inside the toolbar, and the toolbar whole inside the sheet.
      EXPECT_TRUE(Bar->rect().contains(R)) << Width << " " << Buttons[I]->Caption();
      for (qsizetype J = 0; J < I; ++J)
        EXPECT_FALSE(R.intersects(Buttons[J]->geometry()))
            << Width << " " << Buttons[I]->Caption() << " / " << Buttons[J]->Caption();
    }
    // The toolbar can be brought whole into view (the sheet scrolls when it is narrower).
    EXPECT_EQ(Unreachable(Bar, &F), "") << Width;
    // The picture's scroll box starts below the last row.
    EXPECT_GE(P.FieldSB->y(), Bar->y() + Bar->height()) << Width;
  }
}

TEST_F(WindowLookTest, At640x480EveryControlIsWholeAndEveryPictureCanBeScrolledIntoView) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow({640, 480, 0, 0, 640, 450});
  // The maximised window of the compact layout, at the size it has on a 640 x 480 screen
  // (the test platform's screen is larger).
  F.setWindowState(Qt::WindowNoState);
  F.resize(640, 450);
  F.show();
  Pump();
  ASSERT_EQ(F.width(), 640);
  const int Room = F.centralWidget()->contentsRect().width() - 6;
  auto Check = [&](const std::string &Where, QWidget *Sheet) {
    // The text toolbar: every button whole, in rows inside the text pane.
    const QList<TKitSpeedButton *> Buttons = F.Panel5->findChildren<TKitSpeedButton *>();
    ASSERT_EQ(Buttons.size(), 6) << Where;
    for (qsizetype I = 0; I < Buttons.size(); ++I) {
      const QRect R = Buttons[I]->geometry();
      EXPECT_EQ(R.size(), QSize(ViewerButtonWidth, ViewerButtonHeight))
          << Where << " " << Buttons[I]->Caption();
      EXPECT_TRUE(F.Panel5->rect().contains(R)) << Where << " " << Buttons[I]->Caption();
      for (qsizetype J = 0; J < I; ++J) EXPECT_FALSE(R.intersects(Buttons[J]->geometry())) << Where;
    }
    EXPECT_TRUE(F.ViewerPanel->rect().contains(F.Panel5->geometry())) << Where;
    EXPECT_GE(F.Viewer->y(), F.Panel5->geometry().bottom()) << Where;
    EXPECT_EQ(Unreachable(F.ViewerPanel, &F), "") << Where;
    // The page: every picture and control can be brought into view, and none covers another.
    std::vector<QWidget *> Controls;
    for (QWidget *W : Sheet->findChildren<QWidget *>())
      if (W->isVisibleTo(&F) && IsControl(W)) Controls.push_back(W);
    ASSERT_FALSE(Controls.empty()) << Where;
    for (QWidget *W : Controls) {
      EXPECT_EQ(Unreachable(W, &F), "") << Where << " " << W->objectName().toStdString();
      for (QWidget *V : Controls) {
        if (V < W && !V->isAncestorOf(W) && !W->isAncestorOf(V)) {
          EXPECT_FALSE(ShownRect(W, &F).intersects(ShownRect(V, &F)))
              << Where << ": " << W->objectName().toStdString() << " on "
              << V->objectName().toStdString();
        }
      }
    }
  };
  for (int Topic : TopicMenuOrder) {
    F.TopicItem(Topic)->trigger();
    const TSheet S = TopicInfo(Topic).Sheet;
    for (int Width :
         {F.MainPCWidth(), 320, PageButtonWidth + 4, 200, Room - ViewerButtonWidth - 4}) {
      F.SetMainPCWidth(Width);
      Pump();
      Check("topic " + std::to_string(Topic) + " at " + std::to_string(Width), F.Sheet(S));
      if (Topic == 2) {
        FieldPage()->F3DBtnClick();
        Pump();
        Check("3-D view at " + std::to_string(Width), F.ThreeDTab);
        FieldPage()->Close3DBtnClick();
      }
    }
  }
}

TEST_F(WindowLookTest, HintsGoToTheHintPanelAndThePanelsStay) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.show();
  F.ProjectileItem->trigger();
  auto *P = dynamic_cast<TProjectilePage *>(F.PageOfSheet(TSheet::Projectile));
  ASSERT_NE(P, nullptr);
  F.StatusBar->SetPanelText(0, "kept");
  QEnterEvent Enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
  QApplication::sendEvent(P->gfSpeedHsb, &Enter);
  EXPECT_EQ(F.StatusBar->PanelText(1), "set inital speed");
  EXPECT_EQ(F.StatusBar->PanelText(0), "kept");
  EXPECT_TRUE(F.StatusBar->isVisible());
  EXPECT_TRUE(F.statusBar()->currentMessage().isEmpty());
  QEvent Leave(QEvent::Leave);
  QApplication::sendEvent(P->gfSpeedHsb, &Leave);
  EXPECT_EQ(F.StatusBar->PanelText(1), "");
  EXPECT_TRUE(F.StatusBar->isVisible());
}

TEST_F(WindowLookTest, ATopicChangeClearsTheStatusPanelsThePageLeftWrote) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.show();
  F.MagneticFieldsItem->trigger();
  auto *Coil = dynamic_cast<TCoilPage *>(F.PageOfSheet(TSheet::Mag));
  ASSERT_NE(Coil, nullptr);
  Coil->MagFieldPicMouseMove(300, 300);
  EXPECT_EQ(F.StatusBar->PanelText(0), "x 0:y 0");
  EXPECT_EQ(F.StatusBar->PanelText(1).rfind("Field strength= ", 0), 0u);
  // By the Topics menu.
  F.ElectricDeflectionItem->trigger();
  EXPECT_EQ(F.StatusBar->PanelText(0), "");
  EXPECT_EQ(F.StatusBar->PanelText(1), "");
  // A hint left by a control of the page being left goes with it.
  QEnterEvent Enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
  auto *EDef = F.PageOfSheet(TSheet::EDef);
  QScrollBar *Gun = F.EDefTab->findChild<QScrollBar *>("edfGunHsb");
  ASSERT_TRUE(EDef && Gun);
  QApplication::sendEvent(Gun, &Enter);
  EXPECT_EQ(F.StatusBar->PanelText(1), "Set the accelerating voltage for the electron gun");
  F.DynamoItem->trigger();
  EXPECT_EQ(F.StatusBar->PanelText(1), "");
  EXPECT_EQ(Application->Hint(), "");
  // By a link into another topic.
  F.MagneticFieldsItem->trigger();
  Coil->MagFieldPicMouseMove(310, 300);
  ASSERT_EQ(F.StatusBar->PanelText(0), "x 10:y 0");
  bool Handled = false;
  F.ViewerHotSpotClick("HELIX.HTM", Handled);
  EXPECT_EQ(F.ActiveSheet(), TSheet::Helix);
  EXPECT_EQ(F.StatusBar->PanelText(0), "");
  EXPECT_EQ(F.StatusBar->PanelText(1), "");
}

TEST_F(WindowLookTest, TheHelpWindowShowsThePageTitleWithoutItsFileName) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.ElectricFieldItem->trigger();
  uint16_t Key = VK_F1;
  F.FormKeyDown(Key);
  THelpFrm *H = F.HelpWindow();
  ASSERT_NE(H, nullptr);
  EXPECT_EQ(H->TitleLabel->text(), "The electric field page");
  EXPECT_FALSE(H->FileLabel->isVisible());
  for (QLabel *L : H->findChildren<QLabel *>())
    EXPECT_FALSE(L->isVisible() && L->text().contains("1700")) << L->text().toStdString();
  EXPECT_EQ(H->windowTitle(), "Vornelle Help");
  // The search prompt does show a line under the heading.
  F.SearchForHelpOn1->trigger();
  EXPECT_TRUE(H->FileLabel->isVisible());
  H->close();
}

TEST_F(WindowLookTest, ASpeedButtonIsNotLeftHoveredWhenItsSheetGoesAndComesBack) {
  MakeProgramFolder();
  TFieldFrm &F = MakeWindow();
  F.show();
  F.activateWindow();
  F.ElectricFieldItem->trigger();
  Pump();
  TFieldPage &P = *FieldPage();
  auto PointAt = [](QWidget *W) { QCursor::setPos(W->mapToGlobal(W->rect().center())); };
  QEnterEvent Enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
  // "3D" clicked with the mouse over it: its sheet goes, with no leave event.
  PointAt(P.F3DBtn);
  QApplication::sendEvent(P.F3DBtn, &Enter);
  ASSERT_TRUE(P.F3DBtn->MouseInControl());
  Click(P.F3DBtn);
  ASSERT_EQ(F.ActiveSheet(), TSheet::ThreeD);
  EXPECT_FALSE(P.F3DBtn->MouseInControl());
  // "2D" likewise; back on the field sheet the mouse is over neither button.
  PointAt(P.Close3DBtn);
  QApplication::sendEvent(P.Close3DBtn, &Enter);
  ASSERT_TRUE(P.Close3DBtn->MouseInControl());
  Click(P.Close3DBtn);
  ASSERT_EQ(F.ActiveSheet(), TSheet::Field);
  EXPECT_FALSE(P.Close3DBtn->MouseInControl());
  if (QApplication::widgetAt(QCursor::pos()) != P.F3DBtn) {
    EXPECT_FALSE(P.F3DBtn->MouseInControl());
  }
  P.F3DBtn->PaintNow();
  EXPECT_EQ(P.F3DBtn->State(), rbsUp);
  // A sheet that comes back under the mouse shows its button hovered at once.
  PointAt(P.F3DBtn);
  P.F3DBtnClick();
  P.Close3DBtnClick();
  EXPECT_EQ(P.F3DBtn->MouseInControl(), QApplication::widgetAt(QCursor::pos()) == P.F3DBtn);
  EXPECT_TRUE(P.F3DBtn->MouseInControl());
}

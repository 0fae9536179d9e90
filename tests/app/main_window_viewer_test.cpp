// The main window with the real index page in its text pane.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QStackedWidget>

#include "htmlview/html_pane.h"
#include "main_window_fixture.h"

// The page stays at its top across the relayout of the first resize, so "back" starts
// disabled.
TEST_F(MainWindowTest, TheRealIndexPageStartsAtItsTopWithBackDisabled) {
  MakeProgramFolder(false);
  CopySourceFile("HTML/Index.htm", "HTML/Index.htm");
  TFieldFrm &F = MakeWindow();
  F.show();
  Pump();
  bool Done;
  F.AppIdle(Done);
  EXPECT_EQ(F.Viewer->Position(), 0);
  EXPECT_FALSE(F.BackBtn->isEnabled());
  EXPECT_FALSE(F.IndexBtn->isEnabled());
}

TEST_F(MainWindowTest, TheFieldTopicWithItsRealPage) {
  MakeProgramFolder();
  QFile::remove(QString::fromStdString(Dir + "HTML/EFIELD.HTM"));
  CopySourceFile("HTML/EFIELD.HTM", "HTML/EFIELD.HTM");
  TFieldFrm &F = MakeWindow();
  F.show();
  F.ElectricFieldItem->trigger();
  for (int I = 0; I < 5; ++I) QApplication::processEvents();
  bool Done;
  F.AppIdle(Done);
  EXPECT_TRUE(F.Field1->menuAction()->isVisible());
  EXPECT_FALSE(F.Graph1->menuAction()->isVisible());
  EXPECT_TRUE(F.IndexBtn->isEnabled());
  EXPECT_EQ(F.windowTitle(), "Vornelle - Electric field plotting");
  // The page is laid out in the pane beside the 450-pixel page control.
  EXPECT_FALSE(F.Viewer->Title().empty());
  EXPECT_GT(F.Viewer->DocumentHeight(), F.Viewer->VisibleHeight());
  EXPECT_EQ(F.Viewer->parentWidget(), F.ViewerPanel);
  EXPECT_EQ(F.ViewerPanel->x(), F.MainPC->x() + 450 + 6);
  EXPECT_TRUE(F.grab().save(QString(VORNELLE_BINARY_DIR) + "/app_field_real.png"));
}

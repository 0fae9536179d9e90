// Engines need no application object: a field-line run driven by a counting yield, in a
// test program that never creates a QApplication and has no event loop or timer.
#include <QCoreApplication>
#include <gtest/gtest.h>

#include "platform/application.h"
#include "platform/bitmap.h"
#include "sim/field_plot.h"

TEST(EngineWithoutApplication, AFieldLineRunPumpsOnlyThroughItsYield) {
  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  TFieldPlot Plot(16);
  int X = 20 * 16, Y = 20 * 16;
  Plot.AddCharge(X, Y, 1);
  TBitmap Picture(641, 641);
  int Steps = 0;
  bool LoopMarked = true;
  Plot.PlotFieldLines(Picture.Canvas(), [&] {
    LoopMarked = LoopMarked && LoopRunning() && Plot.Running();
    return ++Steps < 30;
  });
  EXPECT_EQ(Steps, 30);
  EXPECT_TRUE(LoopMarked);
  EXPECT_FALSE(LoopRunning());
  // The line being traced is kept: the start and 30 steps of 4 pixels straight along +x.
  ASSERT_EQ(Plot.Lines.size(), 1u);
  ASSERT_EQ(Plot.Lines[0].size(), 31u);
  EXPECT_EQ(Plot.Lines[0].back(), TPoint(20 * 16 + 8 + 30 * 4, 20 * 16));
  EXPECT_EQ(Picture.Canvas().Pixels(20 * 16 + 8 + 10 * 4, 20 * 16), clBlack);
  EXPECT_TRUE(AbortFlag);
}

TEST(EngineWithoutApplication, AWholeRunOfLinesWithACountingYield) {
  TFieldPlot Plot(16);
  int X = 20 * 16, Y = 20 * 16;
  Plot.AddCharge(X, Y, 1);
  Plot.MaxLineSteps = 50;
  TBitmap Picture(641, 641);
  int Steps = 0;
  // Twelve lines leave the lone charge; each is capped at 50 steps and kept. The run then
  // draws the charge's label, which needs fonts: stop just before it.
  Plot.PlotFieldLines(Picture.Canvas(), [&] { return ++Steps < 12 * 50; });
  EXPECT_EQ(Steps, 12 * 50);
  EXPECT_EQ(Plot.Lines.size(), 12u);
}

// The program's style: a scroll bar's thumb must read as the thumb against its track.
#include <gtest/gtest.h>

#include <QImage>
#include <QScrollBar>
#include <QStyleOptionSlider>

#include "platform/classic_style.h"
#include "platform/qt_bridge.h"

namespace {

// A 2 x 2 cell's mean lightness, so that a checkerboard counts as the tone it reads as.
int CellLightness(const QImage &I, QPoint P) {
  int Sum = 0;
  for (int Y = 0; Y < 2; ++Y)
    for (int X = 0; X < 2; ++X) Sum += qGray(I.pixel(P.x() + X, P.y() + Y));
  return Sum / 4;
}

} // namespace

TEST(ClassicStyle, ScrollBarThumbIsButtonFaceOnALighterTrack) {
  UseClassicStyle();
  QScrollBar Bar(Qt::Horizontal);
  // Half the range in view with the position in the middle: the thumb spans the middle half.
  Bar.setRange(0, 100);
  Bar.setPageStep(100);
  Bar.setValue(50);
  Bar.resize(240, Bar.sizeHint().height());
  const QImage Shot = Bar.grab().toImage();

  QStyleOptionSlider Option;
  Option.initFrom(&Bar);
  Option.orientation = Qt::Horizontal;
  Option.minimum = Bar.minimum();
  Option.maximum = Bar.maximum();
  Option.sliderPosition = Option.sliderValue = Bar.value();
  Option.pageStep = Bar.pageStep();
  Option.singleStep = Bar.singleStep();
  auto Centre = [&](QStyle::SubControl S) {
    return Bar.style()->subControlRect(QStyle::CC_ScrollBar, &Option, S, &Bar).center();
  };
  const QPoint Thumb = Centre(QStyle::SC_ScrollBarSlider);
  ASSERT_NEAR(Thumb.x(), Bar.width() / 2, 1);

  const QRgb Middle = Shot.pixel(Thumb);
  EXPECT_EQ(QColor(Middle).name().toStdString(), ToQColor(clBtnFace).name().toStdString());
  for (QStyle::SubControl Track : {QStyle::SC_ScrollBarSubPage, QStyle::SC_ScrollBarAddPage})
    EXPECT_GT(CellLightness(Shot, Centre(Track)), qGray(Middle) + 16) << int(Track);
}

#pragma once
// Electromagnetic induction, on LenzTab: a bar magnet falls through a coil of 1 to 30
// turns; the graph shows the e.m.f. pulse of the magnet entering (negative) and leaving
// (slightly larger, positive), with a marker at the magnet's position. "start" runs the
// magnet once from the top (or from where it stands) to the end.
#include "app/topic_page.h"
#include "charts/chart.h"
#include "charts/fast_line_series.h"
#include "charts/point_series.h"

class QLabel;
class QScrollBar;
class TKitSpeedButton;
class TPaintBox;

class TInductionPage : public TTopicPage {
public:
  explicit TInductionPage(TPageHost &Host);
  ~TInductionPage() override;
  void Shown() override;

  QLabel *LenzCoilLabel = nullptr, *LenzMagLabel = nullptr;
  QScrollBar *LenzCoilHsb = nullptr; // turns
  QScrollBar *LenzMagHsb = nullptr;  // the magnet's position, one step a frame
  TKitSpeedButton *LenzStartBtn = nullptr, *LenzStopBtn = nullptr;
  TPaintBox *LenzPic = nullptr;
  TPaintBox *LenzChartBox = nullptr;
  TChart LenzChart;
  TFastLineSeries *Series5 = nullptr; // the pulse
  TPointSeries *Series6 = nullptr;    // the marker

  void LenzCoilHsbChange();
  void LenzMagHsbChange();
  void LenzPicPaint();
  void LenzStartBtnClick();
  void LenzStopBtnClick();

private:
  void MoveMarker();
};

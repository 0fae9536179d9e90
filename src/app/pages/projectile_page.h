#pragma once
// The projectile topic, on ProjectileTab: four scroll bars set the launch, the chart shows
// the ideal path and the path with air drag; the Graph menu copies and prints the chart.
#include "app/topic_page.h"
#include "charts/chart.h"
#include "charts/fast_line_series.h"
#include "charts/point_series.h"

class QLabel;
class QScrollBar;
class TPaintBox;

// The chart's look: flat, white, fixed axes 0..20 m by 0..16 m, two series.
void SetUpProjectileChart(TChart &Chart, TPointSeries *&Series1, TFastLineSeries *&Series2);

class TProjectilePage : public TTopicPage {
public:
  explicit TProjectilePage(TPageHost &Host);
  ~TProjectilePage() override;
  bool UsesMenu(TSharedMenu Menu, TSheet S) const override;
  void CopyGraph() override;
  void PrintGraph() override;
  void Shown() override;

  void gfSpeedHsbChange();

  QScrollBar *gfSpeedHsb = nullptr, *gfHeightHsb = nullptr, *gfAngleHsb = nullptr,
             *gfDragHsb = nullptr;
  QLabel *gfSpeedLabel = nullptr, *gfHeightLabel = nullptr, *gfAngleLabel = nullptr,
         *gfDragLabel = nullptr;
  TPaintBox *gfChartBox = nullptr;
  TChart gfChart;
  TPointSeries *Series1 = nullptr;
  TFastLineSeries *Series2 = nullptr;
};

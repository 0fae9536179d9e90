#pragma once
// The projectile page: four scroll bars set the launch, the chart shows the ideal path
// and the path with air drag; the Graph menu copies and prints the chart.
#include <memory>

#include "app/topic_page.h"
#include "charts/chart.h"
#include "charts/fast_line_series.h"
#include "charts/point_series.h"

class QLabel;
class QScrollBar;
class TPaintBox;
class TFieldFrm;

// Path with a drag force proportional to velocity, integrated in steps of 0.01 s; one
// point per 0.1 s goes into Series. Single precision throughout, as the page computes it.
void PlotDragPath(TChartSeries &Series, int Angle, float Speed, float Height, float Drag);
// The parabola without drag, 201 points from launch to the ground.
void PlotIdealPath(TChartSeries &Series, int Angle, float Speed, float Height);
// Time of flight of the ideal path in seconds.
float IdealFlightTime(int Angle, float Speed, float Height);
// The chart's look: flat, white, fixed axes 0..20 m by 0..16 m, two series.
void SetUpProjectileChart(TChart &Chart, TPointSeries *&Series1, TFastLineSeries *&Series2);
// The printer rectangle of the graph: one-inch margins left, top and right, down to two
// thirds of the page.
TRect GetChartPrintRect();

class TProjectilePage : public TTopicPage {
public:
  explicit TProjectilePage(TFieldFrm &Form);
  ~TProjectilePage() override;
  void CopyPicture() override;
  void PrintPicture() override;
  void Shown() override;

  void gfSpeedHsbChange();
  void Copytoclipboard1Click() { CopyPicture(); }
  void Print2Click() { PrintPicture(); }
  void PrintGraph();

  QScrollBar *gfSpeedHsb = nullptr, *gfHeightHsb = nullptr, *gfAngleHsb = nullptr,
             *gfDragHsb = nullptr;
  QLabel *gfSpeedLabel = nullptr, *gfHeightLabel = nullptr, *gfAngleLabel = nullptr,
         *gfDragLabel = nullptr;
  TPaintBox *gfChartBox = nullptr;
  TChart gfChart;
  TPointSeries *Series1 = nullptr;
  TFastLineSeries *Series2 = nullptr;

private:
  TFieldFrm &Form;
};

#pragma once
// The mass spectrometer, on MSTab: the apparatus for the accelerating setting of a scroll
// bar, the sample's mass spectrum with a marker at the mass that reaches the detector,
// and "new masses" for a new sample.
#include <memory>

#include "app/page_kit.h"
#include "app/topic_page.h"
#include "charts/chart.h"
#include "charts/fast_line_series.h"
#include "sim/mass_spectrometer.h"

class QLabel;
class QScrollBar;
class TKitSpeedButton;
class TPaintBox;

class TSpectrometerPage : public TTopicPage {
public:
  explicit TSpectrometerPage(TPageHost &Host);
  ~TSpectrometerPage() override;
  void Shown() override;

  TKitSpeedButton *NewIsotopeBtn = nullptr;
  QLabel *MSpecLabel = nullptr;
  QScrollBar *MSpecHsb = nullptr; // the accelerating setting
  TPaintBox *MSpecPic = nullptr;
  TPaintBox *MSChartBox = nullptr;
  TChart MSChart;
  TFastLineSeries *FastLineSeries1 = nullptr; // the spectrum
  TFastLineSeries *FastLineSeries2 = nullptr; // the detector's marker
  std::unique_ptr<TChartSeriesSink> SpectrumSink, MarkerSink;
  std::unique_ptr<TMassSpectrometer> MassSpec;

  void MSpecPicPaint();
  void MSpecHsbChange();
  void NewIsotopeBtnClick();
};

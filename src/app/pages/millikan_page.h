#pragma once
// Millikan's oil drop experiment, on MillikanTab: the view through the microscope, the
// plate voltage on a vertical scroll bar, a clock with start/stop, reset and a time scale.
// The window's 100 ms timer drives it: a Topics menu change leaves the clock running on
// the hidden page, a link into another topic (or closing) stops it.
#include <memory>

#include "app/topic_page.h"
#include "sim/oil_drops.h"

class QLabel;
class QMenu;
class QScrollBar;
class TKitSpeedButton;
class TPaintBox;

class TMillikanPage : public TTopicPage {
public:
  explicit TMillikanPage(TPageHost &Host);
  ~TMillikanPage() override;
  void Stop(TStopCause Cause) override;
  void Timer1Timer() override;

  void mkVoltHsbChange();
  void mkStartBtnClick();
  void mkResetBtnClick();
  void SetMillikanTimeScale(int Tag);
  void mkTimePUMPopup();
  void MillikanPicPaint();
  // The plate voltage: 0 with the bar at the bottom, 3000 at the top.
  int Voltage() const;

  std::unique_ptr<TOilDropExpt> Drops;
  int MillikanClock = 0;     // tenths of a second of the experiment
  int MillikanTimeScale = 1; // 0 real time, 1 x 10, 2 x 100

  TKitSpeedButton *mkStartBtn = nullptr, *mkResetBtn = nullptr, *mkTimeScaleBtn = nullptr;
  QMenu *mkTimePUM = nullptr;
  QLabel *mkTimeLabel = nullptr, *mkVoltLabel = nullptr;
  QScrollBar *mkVoltHsb = nullptr;
  TPaintBox *MillikanPic = nullptr;
};

#pragma once
// Alpha particles crossing a lattice of nuclei, on Alpha2Tab: the start height on a
// scroll bar, "show path", and a run that animates the particle at a steady frame pace
// until it leaves the picture or is stopped.
#include "app/topic_page.h"

class QCheckBox;
class QLabel;
class QScrollBar;
class TKitSpeedButton;
class TPaintBox;

class TAlphaLatticePage : public TTopicPage {
public:
  explicit TAlphaLatticePage(TPageHost &Host);
  ~TAlphaLatticePage() override;
  void Stop(TStopCause Cause) override;

  void YposHsbChange();
  void Alpha2picPaint();
  void AlphaStartBtnClick();
  void AlphaStopBtnClick();
  // Frames shown by the last run.
  long LastRunFrames = 0;

  TKitSpeedButton *AlphaStartBtn = nullptr, *AlphaStopBtn = nullptr;
  QLabel *Alpha2posLabel = nullptr;
  QScrollBar *YposHsb = nullptr;
  QCheckBox *TracksChk = nullptr;
  TPaintBox *Alpha2pic = nullptr;
};

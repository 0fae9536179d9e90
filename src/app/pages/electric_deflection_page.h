#pragma once
// The electric deflection topic ("Deflection by electric fields"), on EDefTab: gun and
// plate voltages and the plates' separation set by scroll bars; pressing the mouse on the
// screen's scale shows a magnified close-up until it is released.
#include "app/topic_page.h"
#include "platform/types.h"

class QLabel;
class QScrollBar;
class TPaintBox;

class TElectricDeflectionPage : public TTopicPage {
public:
  explicit TElectricDeflectionPage(TPageHost &Host);
  ~TElectricDeflectionPage() override;
  void Shown() override;

  QScrollBar *edfGunHsb = nullptr, *edfFieldHsb = nullptr, *edfPlateHsb = nullptr;
  QLabel *edfGunLabel = nullptr, *edfFieldLabel = nullptr, *edfPlateLabel = nullptr;
  TPaintBox *EDefPic = nullptr;

  void edfGunHsbChange();
  void EDefPicPaint();
  void EDefPicMouseMove(int X, int Y);
  void EDefPicMouseDown(int X, int Y);
  void EDefPicMouseUp();
  // (60, 150 - g, 160, 150 + g) with g the plate scroll bar's position.
  TRect PlateRect() const;
};

#pragma once
// The helix topic ("Deflection by magnetic fields (2)"), on HelixTab: entry angle, gun
// voltage and field set by scroll bars, the field's direction by a toggle; the picture
// turns with the mouse within 75 degrees either way.
#include "app/topic_page.h"
#include "sim/deflection_view.h"

class QLabel;
class QScrollBar;
class TKitSpeedButton;
class TPaintBox;

class THelixPage : public TTopicPage {
public:
  explicit THelixPage(TPageHost &Host);
  ~THelixPage() override;
  void UpdateIdleState(bool Idle) override;
  void Shown() override;
  void Stop(TStopCause Cause) override;

  static constexpr TViewAngles StartView{-20, 25};
  // HelixTilt, HelixTurn: the picture's view.
  TViewAngles HelixView = StartView;
  bool Dragging = false;
  TViewDrag Turning;

  QWidget *HelixToolbar = nullptr;
  TKitSpeedButton *sprFieldBtn = nullptr, *sprResetBtn = nullptr;
  QScrollBar *SpiralHsb = nullptr, *sprGunHsb = nullptr, *sprFieldHsb = nullptr;
  QLabel *sprAngleLabel = nullptr, *sprGunLabel = nullptr, *sprFieldLabel = nullptr;
  TPaintBox *SpiralPic = nullptr;

  void SpiralHsbChange();
  void SpiralPicPaint();
  void sprFieldBtnClick();
  void sprResetBtnClick();
  void SpiralPicMouseDown(int X, int Y);
  void SpiralPicMouseMove(int X, int Y);
  void SpiralPicMouseUp();
};

#pragma once
// The magnetic deflection topic ("Deflection by magnetic fields (1)"), on MagDefTab: gun
// voltage, field and entry angle set by scroll bars, the field's direction by a toggle;
// the flat picture lets the gun be dragged up and down, the 3-D picture turns with the
// mouse.
#include "app/topic_page.h"
#include "sim/deflection_view.h"

class QLabel;
class QScrollBar;
class TKitSpeedButton;
class TPaintBox;

class TMagneticDeflectionPage : public TTopicPage {
public:
  explicit TMagneticDeflectionPage(TPageHost &Host);
  ~TMagneticDeflectionPage() override;
  void UpdateIdleState(bool Idle) override;
  void Shown() override;
  void Stop(TStopCause Cause) override;

  static constexpr TViewAngles StartView{-30, -15};
  // BDefTilt, BDefTurn: the 3-D picture's view.
  TViewAngles BDefView = StartView;
  bool Dragging = false;
  int GrabY = 0;   // the gun's grab point in the flat picture
  TViewDrag Turning; // the grab point of a turn of the 3-D picture

  QWidget *BDefToolbar = nullptr;
  TKitSpeedButton *FieldDirBtn = nullptr, *bdf3DBtn = nullptr, *bdfResetBtn = nullptr;
  QScrollBar *bdfGunHsb = nullptr, *bdfFieldHsb = nullptr, *GunAngleHsb = nullptr;
  QLabel *bdfGunLabel = nullptr, *bdfFieldLabel = nullptr, *bdfAngleLabel = nullptr;
  TPaintBox *MagDefPic = nullptr;
  QLabel *DirectionLabel = nullptr;

  void bdfGunHsbChange();
  void MagDefPicPaint();
  void FieldDirBtnClick();
  void bdf3DBtnClick();
  void bdfResetBtnClick();
  void MagDefPicMouseDown(int X, int Y);
  void MagDefPicMouseMove(int X, int Y);
  void MagDefPicMouseUp();
};

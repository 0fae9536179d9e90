#pragma once
// The DC motor (MotorTab) and the dynamo (DynaTab): 3-D scenes that the mouse rotates
// (left button) and pans (other buttons), a slider that turns the coil, an animation that
// turns it on, a zoom menu both pages share, and for the dynamo its e.m.f. graph with a
// marker at the coil's angle. The Speed menu sets the degrees per frame of each
// animation; "Double rotation" turns the dynamo's coil twice as fast.
#include <QPointer>

#include "app/forms/speed_frm.h"
#include "app/page_kit.h"
#include "app/topic_page.h"
#include "charts/chart.h"
#include "charts/fast_line_series.h"
#include "charts/point_series.h"
#include "platform/input.h"

class QMenu;
class QScrollBar;
class TKitSpeedButton;
class TPaintBox;

class TMachinePage : public TTopicPage {
public:
  explicit TMachinePage(TPageHost &Host);
  ~TMachinePage() override;

  void Shown() override;
  void Stop(TStopCause Cause) override;
  bool UsesMenu(TSharedMenu Menu, TSheet S) const override;
  void MenuPopup(TSharedMenu Menu) override;
  void MenuClick(TMenuItem Item) override;

  // ---- State ----
  int MotorStep = 2;  // degrees per frame of the motor's animation
  int DynamoStep = 3; // and of the dynamo's
  int MouseMode = 0;  // 0 none, 1 rotate, 2 pan
  int GrabX = 0, GrabY = 0;
  QPointer<TSpeedFrm> SpeedFrm; // while the speed dialog is open

  // ---- MotorTab ----
  TKitSpeedButton *MotorZoomBtn = nullptr, *MotorResetBtn = nullptr, *MotorStartBtn = nullptr,
                  *MotorStopBtn = nullptr;
  QMenu *MotorZoomPU = nullptr;
  QScrollBar *MotorHsb = nullptr;
  TPaintBox *MotorPic = nullptr;

  // ---- DynaTab ----
  TKitSpeedButton *DynResetBtn = nullptr, *DynStartBtn = nullptr, *DynStopBtn = nullptr,
                  *KitSpeedButton2 = nullptr, *DRotBtn = nullptr;
  QScrollBar *DynamoHsb = nullptr;
  TPaintBox *DynaPic = nullptr;
  TPaintBox *DynChartBox = nullptr;
  TChart DynChart;
  TFastLineSeries *Series3 = nullptr; // the e.m.f.
  TPointSeries *Series4 = nullptr;    // the marker

  // ---- Handlers ----
  void MotorPicPaint();
  void MotorHsbChange();
  void MotorPicMouseDown(TMouseButton Button, int X, int Y);
  void MotorPicMouseMove(int X, int Y);
  void MotorPicMouseUp();
  void MotorResetBtnClick();
  void MotorStartBtnClick();
  void MotorStopBtnClick();
  void DynaPicPaint();
  void DynamoHsbChange();
  void DRotBtnClick();
  void DynaPicMouseDown(TMouseButton Button, int X, int Y);
  void DynaPicMouseMove(int X, int Y);
  void DynaPicMouseUp();
  void DynResetBtnClick();
  void DynStartBtnClick();
  void DynStopBtnClick();
  void MotorZoomPUPopup();
  void DoMotorZoom(int Tag);
  void SetAnimationSpeedClick();
  // 2 when "double rotation" is down, else 1.
  int DynamoFactor() const;
  void PlotDynamoEmf();

private:
  void BuildMotorSheet();
  void BuildDynamoSheet();
  // The animation of either page: Step degrees a frame on Bar until stopped.
  void Animate(QScrollBar *Bar, const int &Step, const TYield &Yield);
  void MoveDynamoMarker();
};

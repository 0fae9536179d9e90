#pragma once
// The coil field topic ("Magnetic fields"), on MagTab: the field of a coil of circular
// turns with its field lines, set by turns, spacing and radius; the mouse reads the field
// strength; the Field menu shows arrows, reverses the current, copies and prints.
//
// One loop at a time: "plot" traces through the run protocol; while it runs, "plot", the
// scroll bars, "grid" and the coil's Field items are off, and "stop" keeps the lines
// finished so far.
#include <memory>

#include "app/topic_page.h"
#include "sim/solenoid.h"

class QLabel;
class QScrollArea;
class QScrollBar;
class QWidget;
class TKitSpeedButton;
class TPaintBox;

class TCoilPage : public TTopicPage {
public:
  explicit TCoilPage(TPageHost &Host);
  ~TCoilPage() override;

  void UpdateIdleState(bool Idle) override;
  void FormShown() override;
  void Shown() override;
  void Hidden() override;
  void Stop(TStopCause Cause) override;
  bool UsesMenu(TSharedMenu Menu, TSheet S) const override;
  void MenuPopup(TSharedMenu Menu) override;
  void MenuClick(TMenuItem Item) override;
  void CopyPicture() override;
  void PrintPicture() override;

  std::unique_ptr<TSolenoid> Solenoid;

  QWidget *MagToolbar = nullptr;
  TKitSpeedButton *MPlotBtn = nullptr, *MAbortBtn = nullptr, *MGridBtn = nullptr;
  QScrollBar *MTurnsHsb = nullptr, *MsepHsb = nullptr, *MRadiusHsb = nullptr;
  QLabel *MTurnsLabel = nullptr, *MsepLabel = nullptr, *MRadLabel = nullptr;
  QScrollArea *MagSB = nullptr;
  TPaintBox *MagFieldPic = nullptr;

  void MagFieldPicPaint();
  void MPlotBtnClick();
  void MAbortBtnClick();
  void MTurnsHsbChange();
  void MagFieldPicMouseMove(int X, int Y);
  void Reversecurrent1Click();
  void MGridBtnClick();
  void ShowArrowsClick();
  // The coil drawn again with the lines it keeps.
  void Redraw();

private:
  // The Field menu's items for the coil, on while no plot runs.
  void SetFieldItems(bool Idle);
  bool Centred = false;
};

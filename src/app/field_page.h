#pragma once
// The electric field page: the toolbar and picture of FieldTab (placing, dragging and
// deleting charges, field lines, equipotentials, zoom, presets) and the 3-D potential
// view on ThreeDTab (rotate and pan by mouse, zoom, reset), with the Field menu items
// that act on them.
//
// One loop at a time: a plot runs inside its button's handler with the message pump
// going. While it runs, the commands that would start another loop or change its model
// are disabled; those that can still arrive (presets from the text pane, the Field
// menu, Print..) stop the running loop and act once it has unwound.
#include <QMetaObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/topic_page.h"
#include "platform/input.h"
#include "platform/types.h"

class QAction;
class QLabel;
class QMenu;
class QScrollArea;
class QWidget;
class TFieldFrm;
class TFieldPlot;
class TKitSpeedButton;
class TPaintBox;
class TCanvas;

class TFieldPage : public TTopicPage {
public:
  explicit TFieldPage(TFieldFrm &Form);
  ~TFieldPage() override;

  void UpdateIdleState(bool Idle) override;
  void FormShown() override;
  void Shown() override;
  void Hidden() override;
  bool ApplyPreset(const std::string &Name) override;
  void CopyPicture() override;
  void PrintPicture() override;

  // ---- Controls of FieldTab ----
  QWidget *FieldToolbar = nullptr;
  TKitSpeedButton *FChargeBtn = nullptr, *AddBtn = nullptr, *SelectBtn = nullptr,
                  *FPlotBtn = nullptr, *VplotBtn = nullptr, *FClearBtn = nullptr,
                  *FAbortBtn = nullptr, *FGridBtn = nullptr, *F3DBtn = nullptr,
                  *FZoomBtn = nullptr;
  QMenu *ChargePUM = nullptr, *FZoomPUM = nullptr;
  QScrollArea *FieldSB = nullptr;
  TPaintBox *FieldPic = nullptr;

  // ---- Controls of ThreeDTab ----
  QWidget *ThreeDToolbar = nullptr;
  TKitSpeedButton *Close3DBtn = nullptr, *Zoom3DBtn = nullptr, *Reset3DBtn = nullptr;
  QMenu *ThreeDZoomPUM = nullptr;
  QLabel *RotationLabel = nullptr, *ElevationLabel = nullptr;
  QLabel *YrotLabel = nullptr, *XrotLabel = nullptr;
  QScrollArea *ThreeDSB = nullptr;
  TPaintBox *threeDpic = nullptr;

  // ---- Controller state ----
  bool Zooming = false;  // the page is re-zoomed or a preset is built: painting skipped
  bool Dragging = false;
  int DragIndex = -1;
  int GrabX = 0, GrabY = 0;
  int LastX = 0, LastY = 0;
  // A plot or a sequence of plots of this page is running.
  bool Running() const { return RunDepth > 0; }
  // Set by "abort", a topic change and every command that stops the running loop: a
  // sequence of passes ends instead of starting its next pass.
  bool StopRequested = false;

  // ---- Handlers ----
  void FieldPicPaint();
  void AddBtnClick();
  void SetCurrentCharge(int Tag);
  void ChargePUMPopup();
  void FieldPicMouseDown(TMouseButton Button, int X, int Y);
  void FieldPicMouseMove(int X, int Y);
  void FieldPicMouseUp(TMouseButton Button, int X, int Y);
  void EraseCharge(TCanvas &Canvas, int Index);
  void DrawDraggedCharge(int X, int Y, int Index);
  void FPlotBtnClick();
  void VplotBtnClick();
  void FClearBtnClick();
  void FAbortBtnClick();
  void FGridBtnClick();
  void DoFieldZoom(int Tag);
  void FZoomPUMPopup();
  void DoContourResolution(int Tag);
  void ContourResolution1Click();
  void PresetDipole();
  void PresetNP1();
  void PresetNP2();
  void PresetParallelPlates();
  void CentreFieldScroll();
  void F3DBtnClick();
  void Close3DBtnClick();
  void threeDpicPaint();
  void threeDpicMouseDown(TMouseButton Button, int X, int Y);
  void threeDpicMouseMove(int X, int Y);
  void threeDpicMouseUp();
  void Do3DZoom(int Tag);
  void ThreeDZoomPUMPopup();
  void Reset3DBtnClick();
  void Field1Click();
  void DeleteFieldLinesClick();
  void DeleteContoursClick();
  void ShowArrowsClick();

  // Runs Action now when no loop runs; else stops the running loop and runs Action once
  // it has unwound (never while this page is destroyed).
  void WhenIdle(std::function<void()> Action);
  // The picture point clamped to the part of the picture the scroll box shows.
  void ClampToScrollBox(int &X, int &Y) const;

private:
  struct TCharge {
    int X, Y, Value;
  };
  void BuildFieldSheet();
  void BuildThreeDSheet();
  void ConnectMenus();
  void RunPreset(const std::vector<TCharge> &Charges);
  // Marks a running plot: abort enabled, the rest that starts or changes a loop disabled.
  void BeginRun();
  void EndRun();
  void SetIdleControls(bool Idle);
  void Redraw3D();
  void Update3DLabels(int Tilt, int Turn);
  bool OnFieldSheet() const;
  bool OnThreeDSheet() const;
  TFieldPlot &Plot() const;
  TCanvas &FieldCanvas() const;

  TFieldFrm &Form;
  int RunDepth = 0;
  bool Centred = false; // the picture was centred in its scroll box once
  std::shared_ptr<int> AliveToken = std::make_shared<int>(0);
  std::vector<QMetaObject::Connection> MenuConnections;
};

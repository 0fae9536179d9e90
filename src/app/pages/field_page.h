#pragma once
// The electric field topic, on FieldTab and ThreeDTab: the toolbar and picture of the
// field (placing, dragging and deleting charges, field lines, equipotentials, zoom,
// presets) and the 3-D potential view (rotate and pan by mouse, zoom, reset), with the
// Field menu items that act on them.
//
// One loop at a time: a plot runs inside its button's handler with the message pump
// going. While it runs, the commands that would start another loop or change its model
// are disabled; those that can still arrive (presets from the text pane, the Field
// menu, Print..) stop the running loop and act once it has unwound.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/topic_page.h"
#include "platform/bitmap.h"
#include "platform/input.h"
#include "platform/types.h"
#include "sim/field_plot.h"

class QAction;
class QLabel;
class QMenu;
class QScrollArea;
class QWidget;
class TKitSpeedButton;
class TPaintBox;
class TCanvas;

class TFieldPage : public TTopicPage {
public:
  explicit TFieldPage(TPageHost &Host);
  ~TFieldPage() override;

  void UpdateIdleState(bool Idle) override;
  void FormShown() override;
  void Shown() override;
  void Hidden() override;
  void Stop(TStopCause Cause) override;
  bool ApplyPreset(const std::string &Name) override;
  bool HasPreset(const std::string &Name) const override;
  bool UsesMenu(TSharedMenu Menu, TSheet S) const override;
  void MenuPopup(TSharedMenu Menu) override;
  void MenuClick(TMenuItem Item) override;
  void CopyPicture() override;
  void PrintPicture() override;

  // ---- The engine and the page's state ----
  std::unique_ptr<TFieldPlot> FieldPlot;
  int CurrentCharge = 1;                   // placed by a left click; a right click places -it
  int Field3DTilt = -30, Field3DTurn = -30; // view angles of the 3-D surface
  int MouseMode = 0;                       // 3-D view: 0 none, 1 rotate, 2 pan
  std::unique_ptr<TBitmap> DragBackground; // the picture under a dragged charge

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

  // The picture point clamped to the part of the picture the scroll box shows.
  void ClampToScrollBox(int &X, int &Y) const;

private:
  struct TCharge {
    int X, Y, Value;
  };
  void BuildFieldSheet();
  void BuildThreeDSheet();
  void RunPreset(const std::vector<TCharge> &Charges);
  // While a zoom or a preset rebuilds the picture: painting skipped, the hourglass shown,
  // both undone however the rebuild ends.
  struct TRebuilding {
    TFieldPage &Page;
    explicit TRebuilding(TFieldPage &APage);
    ~TRebuilding();
  };
  // What a plot disables ("plot E", "plot V", "clear", "3D", "zoom") and enables ("abort").
  TRunControls PlotControls() const;
  void SetIdleControls(bool Idle);
  void Redraw3D();
  void Update3DLabels(int Tilt, int Turn);
  bool OnFieldSheet() const;
  bool OnThreeDSheet() const;
  TFieldPlot &Plot() const { return *FieldPlot; }
  TCanvas &FieldCanvas() const;
  QAction *Item(TMenuItem I) const { return Host.MenuItem(I); }

  bool Centred = false; // the first showing's centring is arranged
};

#include "app/pages/field_page.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>

#include "app/page_kit.h"
#include "platform/application.h"
#include "platform/paint_box.h"
#include "platform/printer.h"
#include "platform/qt_bridge.h"
#include "sim/shared_constants.h"
#include "widgets/speed_button.h"

namespace {

constexpr int SurfaceSize = 400;
// Width of the status read-out while the field sheet shows.
constexpr int FieldReadoutWidth = 100;

const char *const AddHint =
    "add charges|If this button is down you can add charges by clicking with the mouse";
const char *const SelectHint =
    "select charges|If this button is down you can move or delete charges with the mouse";
const char *const ClearHint = "clear screen|Clear the current plot";
const char *const AddPicHint =
    "Left click to place a positive charge; right click for a negative charge";
const char *const SelectPicHint = "Left click to move charge; right click to delete charge";

std::string UpperName(std::string S) {
  for (char &C : S) C = char(std::toupper(static_cast<unsigned char>(C)));
  return S;
}

} // namespace

TFieldPage::TFieldPage(TPageHost &H) : TTopicPage(H) {
  FieldPlot = std::make_unique<TFieldPlot>(16);
  FieldPlot->ShowGrid = true;
  BuildFieldSheet();
  BuildThreeDSheet();
  SetIdleControls(true);
}

TFieldPage::~TFieldPage() {
  // The controls call back into this page: they go first.
  DestroyContent();
}

TCanvas &TFieldPage::FieldCanvas() const { return FieldPic->Canvas(); }
bool TFieldPage::OnFieldSheet() const { return Host.ActiveSheet() == TSheet::Field; }
bool TFieldPage::OnThreeDSheet() const { return Host.ActiveSheet() == TSheet::ThreeD; }

// ---- Building ----

void TFieldPage::BuildFieldSheet() {
  QWidget *Sheet = Content(TSheet::Field);
  QVBoxLayout *Col = MakeColumn(Sheet);
  FieldToolbar = MakeToolbar(Sheet, "FieldToolbar");

  FChargeBtn = MakeSpeedButton(FieldToolbar, "FChargeBtn", "Q=1", "set size of charge", "charge");
  ChargePUM = MakePopupMenu(Sheet, "ChargePUM");
  for (int K = 1; K <= 5; ++K) AddMenuItem(ChargePUM, std::to_string(K), K, [this, K] { SetCurrentCharge(K); });
  FChargeBtn->SetDropDownMenu(ChargePUM);
  FChargeBtn->OnPopup = [this] { ChargePUMPopup(); };

  AddBtn = MakeSpeedButton(FieldToolbar, "AddBtn", "add", AddHint, "add");
  SelectBtn = MakeSpeedButton(FieldToolbar, "SelectBtn", "select", SelectHint, "select");
  AddBtn->SetGroupIndex(1);
  SelectBtn->SetGroupIndex(1);
  AddBtn->SetDown(true);
  AddBtn->OnClick = [this] { AddBtnClick(); };
  SelectBtn->OnClick = [this] { AddBtnClick(); };

  FPlotBtn = MakeSpeedButton(FieldToolbar, "FPlotBtn", "plot E", "plot field lines", "plote");
  FPlotBtn->OnClick = [this] { FPlotBtnClick(); };
  VplotBtn = MakeSpeedButton(FieldToolbar, "VplotBtn", "plot V", "plot equipotentials", "plotv");
  VplotBtn->OnClick = [this] { VplotBtnClick(); };
  FClearBtn = MakeSpeedButton(FieldToolbar, "FClearBtn", "clear", ClearHint, "clear");
  FClearBtn->OnClick = [this] { FClearBtnClick(); };
  FAbortBtn = MakeSpeedButton(FieldToolbar, "FAbortBtn", "abort", "stop the current plot", "abort");
  FAbortBtn->OnClick = [this] { FAbortBtnClick(); };
  FGridBtn = MakeSpeedButton(FieldToolbar, "FGridBtn", "grid", "show/hide grid", "grid");
  FGridBtn->SetGroupIndex(2);
  FGridBtn->SetAllowAllUp(true);
  FGridBtn->SetDown(bool(Plot().ShowGrid));
  FGridBtn->OnClick = [this] { FGridBtnClick(); };
  F3DBtn = MakeSpeedButton(FieldToolbar, "F3DBtn", "3D", "show 3D view", "threed");
  F3DBtn->OnClick = [this] { F3DBtnClick(); };

  FZoomBtn = MakeSpeedButton(FieldToolbar, "FZoomBtn", "zoom", "zoom", "zoom");
  FZoomPUM = MakePopupMenu(Sheet, "FZoomPUM");
  const std::pair<const char *, int> Zooms[] = {{"75%", 12}, {"100%", 16}, {"125%", 20}, {"150%", 24}};
  for (auto [Caption, Tag] : Zooms) AddMenuItem(FZoomPUM, Caption, Tag, [this, T = Tag] { DoFieldZoom(T); });
  FZoomBtn->SetDropDownMenu(FZoomPUM);
  FZoomBtn->OnPopup = [this] { FZoomPUMPopup(); };
  Col->addWidget(FieldToolbar);

  FieldSB = MakeScrollBox(Sheet, "FieldSB");
  const TRect B = Plot().GetBounds();
  FieldPic = MakePicture(FieldSB, "FieldPic", B.Width(), B.Height(), crCross, AddPicHint);
  Col->addWidget(FieldSB, 1);

  FieldPic->OnPaint = [this] { FieldPicPaint(); };
  FieldPic->OnMouseDown = [this](TMouseButton Btn, TShiftState, int X, int Y) {
    FieldPicMouseDown(Btn, X, Y);
  };
  FieldPic->OnMouseMove = [this](TShiftState, int X, int Y) { FieldPicMouseMove(X, Y); };
  FieldPic->OnMouseUp = [this](TMouseButton Btn, TShiftState, int X, int Y) {
    FieldPicMouseUp(Btn, X, Y);
  };
}

void TFieldPage::BuildThreeDSheet() {
  QWidget *Sheet = Content(TSheet::ThreeD);
  QVBoxLayout *Col = MakeColumn(Sheet);
  ThreeDToolbar = MakeToolbar(Sheet, "ThreeDToolbar");
  Close3DBtn = MakeSpeedButton(ThreeDToolbar, "Close3DBtn", "2D", "return to 2D view", "twod");
  Close3DBtn->OnClick = [this] { Close3DBtnClick(); };
  Zoom3DBtn = MakeSpeedButton(ThreeDToolbar, "Zoom3DBtn", "zoom", "zoom", "zoom");
  ThreeDZoomPUM = MakePopupMenu(Sheet, "ThreeDZoomPUM");
  const std::pair<const char *, int> Zooms[] = {
      {"100%", 8}, {"125%", 10}, {"150%", 12}, {"175%", 14}, {"200%", 16}};
  for (auto [Caption, Tag] : Zooms) AddMenuItem(ThreeDZoomPUM, Caption, Tag, [this, T = Tag] { Do3DZoom(T); });
  Zoom3DBtn->SetDropDownMenu(ThreeDZoomPUM);
  Zoom3DBtn->OnPopup = [this] { ThreeDZoomPUMPopup(); };
  Reset3DBtn = MakeSpeedButton(ThreeDToolbar, "Reset3DBtn", "reset", "", "reset");
  Reset3DBtn->OnClick = [this] { Reset3DBtnClick(); };

  TFlowLayout *Row = ToolbarLayout(ThreeDToolbar);
  Row->AddSpacing(12);
  auto Label = [&](const char *Name, const char *Text, int MinWidth) {
    QLabel *L = MakeLabel(ThreeDToolbar, Name, Text);
    L->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    L->setMinimumSize(std::max(MinWidth, L->sizeHint().width()), PageButtonHeight);
    Row->addWidget(L);
    return L;
  };
  RotationLabel = Label("RotationLabel", "rotation", 0);
  Row->AddSpacing(4);
  YrotLabel = Label("YrotLabel", "", 30);
  Row->AddSpacing(8);
  ElevationLabel = Label("ElevationLabel", "elevation", 0);
  Row->AddSpacing(4);
  XrotLabel = Label("XrotLabel", "", 30);
  // The labels show the view's angles from the start.
  Update3DLabels(Field3DTilt, Field3DTurn);
  Col->addWidget(ThreeDToolbar);

  ThreeDSB = MakeScrollBox(Sheet, "ThreeDSB");
  threeDpic = MakePicture(ThreeDSB, "threeDpic", SurfaceSize, SurfaceSize, crHandPoint,
                          "Use left mouse button to rotate; use right mouse button to pan");
  Col->addWidget(ThreeDSB, 1);
  threeDpic->OnPaint = [this] { threeDpicPaint(); };
  threeDpic->OnMouseDown = [this](TMouseButton Btn, TShiftState, int X, int Y) {
    threeDpicMouseDown(Btn, X, Y);
  };
  threeDpic->OnMouseMove = [this](TShiftState, int X, int Y) { threeDpicMouseMove(X, Y); };
  threeDpic->OnMouseUp = [this](TMouseButton, TShiftState, int, int) { threeDpicMouseUp(); };
}

// ---- Idle state and the one-loop rule ----

void TFieldPage::SetIdleControls(bool Idle) {
  // Plotting and clearing need charges to act on.
  const bool Charges = Plot().HasCharges();
  for (TKitSpeedButton *B : {FPlotBtn, VplotBtn, FClearBtn}) B->SetEnabled(Idle && Charges);
  for (TKitSpeedButton *B : {F3DBtn, FZoomBtn}) B->SetEnabled(Idle);
  FAbortBtn->SetEnabled(!Idle);
}

void TFieldPage::UpdateIdleState(bool Idle) { SetIdleControls(Idle && !Running()); }

TTopicPage::TRunControls TFieldPage::PlotControls() const {
  return {{FPlotBtn, VplotBtn, FClearBtn, F3DBtn, FZoomBtn}, {FAbortBtn}};
}

void TFieldPage::FormShown() {
  CentreScrollBox(FieldSB);
  FieldPic->Invalidate();
}

void TFieldPage::Shown() {
  if (OnThreeDSheet()) {
    threeDpic->Invalidate();
    return;
  }
  FieldPic->Invalidate();
  CentreScrollBoxWhenLaidOut(FieldSB, Centred);
}

void TFieldPage::Hidden() { Stop(TStopCause::TopicMenu); }

void TFieldPage::Stop(TStopCause) {
  // A running sequence ends with its current pass; a drag is dropped.
  if (Running()) RequestStop();
  if (Dragging) {
    Dragging = false;
    DragBackground.reset();
  }
  MouseMode = 0;
}

// ---- The field picture ----

void TFieldPage::FieldPicPaint() {
  if (!Zooming) Plot().Draw(FieldCanvas());
}

void TFieldPage::AddBtnClick() {
  if (SelectBtn->Down()) {
    FieldPic->SetCursor(crArrow);
    SetHint(FieldPic, SelectPicHint);
  } else {
    FieldPic->SetCursor(crCross);
    SetHint(FieldPic, AddPicHint);
  }
}

void TFieldPage::SetCurrentCharge(int Tag) {
  CurrentCharge = Tag;
  FChargeBtn->SetCaption("Q=" + std::to_string(Tag));
}

void TFieldPage::ChargePUMPopup() { TickTag(ChargePUM, CurrentCharge); }

void TFieldPage::FieldPicMouseDown(TMouseButton Button, int X, int Y) {
  // Charges change only while no loop runs.
  if (!AbortFlag || Host.BusyFlag() || Application->LoopRunning() || Running()) return;
  TFieldPlot &P = Plot();
  if (AddBtn->Down()) {
    // The occupancy test looks at the grid point the charge would snap to.
    int SX = X, SY = Y;
    P.Snap(SX, SY);
    if (P.ChargeAt(SX, SY) != -1) {
      QApplication::beep();
      return;
    }
    const bool Drawn = P.LinesDrawn || P.ContoursDrawn;
    const int Value = Button == mbLeft ? CurrentCharge : -CurrentCharge;
    P.DrawCharge(FieldCanvas(), X, Y, Value);
    P.AddCharge(X, Y, Value);
    if (Drawn) {
      // The old plot no longer fits the charges.
      P.Clear(1);
      P.Draw(FieldCanvas());
    }
    return;
  }
  const int I = P.ChargeAt(X, Y);
  if (I < 0) return;
  if (Button == mbLeft) {
    DragIndex = I;
    Dragging = true;
    DragBackground = std::make_unique<TBitmap>(BitmapFromImage(FieldPic->Image()));
    EraseCharge(DragBackground->Canvas(), I);
    const TRect R = P.GetChargeRect(I);
    GrabX = X - R.Left;
    GrabY = Y - R.Top;
    LastX = X;
    LastY = Y;
  } else {
    P.DeleteCharge(I);
    P.Clear(1);
    P.Draw(FieldCanvas());
  }
}

void TFieldPage::ClampToScrollBox(int &X, int &Y) const {
  // Keeps a dragged charge inside what the scroll box shows (the pointer itself cannot
  // be confined on every display).
  QWidget *View = FieldSB->viewport();
  const QPoint TopLeft = FieldPic->mapFrom(View, QPoint(0, 0));
  QRect Visible(TopLeft, View->size());
  Visible = Visible.intersected(FieldPic->rect());
  if (Visible.isEmpty()) return;
  X = std::clamp(X, Visible.left(), Visible.right());
  Y = std::clamp(Y, Visible.top(), Visible.bottom());
}

void TFieldPage::FieldPicMouseMove(int X, int Y) {
  const int G = std::max(1, Plot().GridSize);
  Host.SetStatusText(0, "x:" + std::to_string(X / G + 1) + " y:" + std::to_string(Y / G + 1));
  if (!AbortFlag || !SelectBtn->Down()) return;
  if (!Dragging) {
    FieldPic->SetCursor(Plot().ChargeAt(X, Y) != -1 ? crHandPoint : crArrow);
    return;
  }
  if (!DragBackground) return;
  ClampToScrollBox(X, Y);
  DrawDraggedCharge(X - GrabX, Y - GrabY, DragIndex);
  LastX = X;
  LastY = Y;
}

void TFieldPage::FieldPicMouseUp(TMouseButton Button, int X, int Y) {
  if (!Dragging) return;
  Dragging = false;
  DragBackground.reset();
  if (!SelectBtn->Down() || Button != mbLeft) return;
  TFieldPlot &P = Plot();
  if (DragIndex < 0 || DragIndex >= int(P.Charges.size())) return;
  ClampToScrollBox(X, Y);
  int Index = DragIndex;
  if (P.CanPlaceCharge(X, Y, Index)) {
    const bool Drawn = P.LinesDrawn || P.ContoursDrawn;
    const int Value = P.GetChargeValue(DragIndex);
    P.DeleteCharge(DragIndex);
    P.AddCharge(X, Y, Value);
    if (Drawn) P.Clear(1);
  }
  // A refused drop shows the charge back in its old place.
  P.Draw(FieldCanvas());
}

void TFieldPage::EraseCharge(TCanvas &Canvas, int Index) {
  const TRect R = Plot().GetChargeRect(Index);
  if (IsRectEmpty(R)) return;
  Canvas.Pen().Color = clWhite;
  Canvas.Pen().Style = psSolid;
  Canvas.Brush().Color = clWhite;
  Canvas.Brush().Style = bsSolid;
  Canvas.Rectangle(R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1);
  // The grid lines through the charge come back, unless the grid is hidden.
  if (!Plot().ShowGrid) return;
  Canvas.Pen().Color = 0x00C0C0C0;
  const int CX = (R.Left + R.Right) / 2, CY = (R.Top + R.Bottom) / 2;
  Canvas.MoveTo(CX, R.Top);
  Canvas.LineTo(CX, R.Bottom);
  Canvas.MoveTo(R.Left, CY);
  Canvas.LineTo(R.Right, CY);
}

void TFieldPage::DrawDraggedCharge(int X, int Y, int Index) {
  if (!DragBackground) return;
  const int S = Plot().GridSize;
  const TRect R(std::min(X, LastX) - S, std::min(Y, LastY) - S, std::max(X, LastX) + 2 * S,
                std::max(Y, LastY) + 2 * S);
  TBitmap Tmp(R.Width(), R.Height());
  Tmp.Canvas().CopyRect(TRect(0, 0, R.Width(), R.Height()), DragBackground->Canvas(), R);
  const int H = S / 2;
  Plot().DrawChargeAt(Tmp.Canvas(), X - R.Left + H, Y - R.Top + H, Plot().GetChargeValue(Index));
  FieldCanvas().Draw(R.Left, R.Top, Tmp);
}

void TFieldPage::FPlotBtnClick() {
  Run(PlotControls(), [this](const TYield &Yield) { Plot().PlotFieldLines(FieldCanvas(), Yield); });
}

void TFieldPage::VplotBtnClick() {
  Run(PlotControls(), [this](const TYield &Yield) { Plot().PlotEquipotentials(FieldCanvas(), Yield); });
}

void TFieldPage::FClearBtnClick() {
  WhenIdle([this] {
    AbortFlag = true;
    Plot().Clear(0);
    Plot().Draw(FieldCanvas());
  });
}

void TFieldPage::FAbortBtnClick() { RequestStop(); }

void TFieldPage::FGridBtnClick() {
  Plot().ShowGrid = FGridBtn->Down();
  Plot().Draw(FieldCanvas());
}

TFieldPage::TRebuilding::TRebuilding(TFieldPage &APage) : Page(APage) {
  Page.Zooming = true;
  Screen->SetCursor(crHourGlass);
}

TFieldPage::TRebuilding::~TRebuilding() {
  Page.Zooming = false;
  Screen->SetCursor(crDefault);
}

void TFieldPage::DoFieldZoom(int Tag) {
  WhenIdle([this, Tag] {
    TFieldPlot &P = Plot();
    if (Tag == P.GridSize) return; // the current zoom again: nothing changes
    Run(PlotControls(), [this, Tag](const TYield &Yield) {
      TFieldPlot &P = Plot();
      TRebuilding Rebuilding(*this);
      const int Mode = (P.LinesDrawn ? 1 : 0) + (P.ContoursDrawn ? 2 : 0);
      P.SetGridSize(Tag);
      FieldSB->horizontalScrollBar()->setValue(0);
      FieldSB->verticalScrollBar()->setValue(0);
      const TRect B = P.GetBounds();
      FieldPic->SetBounds(0, 0, B.Width(), B.Height());
      CentreScrollBox(FieldSB);
      if (!PumpOnce()) return;
      if (Mode == 0 || StopRequested()) {
        P.Draw(FieldCanvas());
      } else {
        P.DrawBackground(FieldCanvas());
        if (Mode & 1) P.PlotFieldLines(FieldCanvas(), Yield);
        // A stop during the field lines ends the sequence.
        if ((Mode & 2) && !StopRequested()) P.PlotEquipotentials(FieldCanvas(), Yield);
      }
    });
  });
}

void TFieldPage::FZoomPUMPopup() { TickTag(FZoomPUM, Plot().GridSize); }

void TFieldPage::DoContourResolution(int Tag) {
  WhenIdle([this, Tag] {
    TFieldPlot &P = Plot();
    if (Tag == P.ContourLevels) return;
    const bool Contours = P.ContoursDrawn;
    P.SetContourLevels(Tag);
    if (!Contours) return;
    Run(PlotControls(), [this](const TYield &Yield) {
      Screen->SetCursor(crHourGlass);
      Plot().Clear(3);
      Plot().Draw(FieldCanvas());
      Plot().PlotEquipotentials(FieldCanvas(), Yield);
      Screen->SetCursor(crDefault);
    });
  });
}

void TFieldPage::ContourResolution1Click() {
  for (TMenuItem I : {TMenuItem::ContourLow, TMenuItem::ContourMedium, TMenuItem::ContourHigh})
    if (QAction *A = Item(I)) A->setChecked(ActionTag(A) == Plot().ContourLevels);
}

// ---- Presets ----

bool TFieldPage::HasPreset(const std::string &Name) const {
  const std::string N = UpperName(Name);
  return N == "DIPOLE" || N == "NP1" || N == "NP2" || N == "PPLATE";
}

bool TFieldPage::ApplyPreset(const std::string &Name) {
  const std::string N = UpperName(Name);
  std::function<void()> Preset;
  if (N == "DIPOLE") Preset = [this] { PresetDipole(); };
  else if (N == "NP1") Preset = [this] { PresetNP1(); };
  else if (N == "NP2") Preset = [this] { PresetNP2(); };
  else if (N == "PPLATE") Preset = [this] { PresetParallelPlates(); };
  else return false;
  WhenIdle(Preset);
  return true;
}

void TFieldPage::PresetDipole() {
  const int G = Plot().GridSize;
  RunPreset({{17 * G, 20 * G, 1}, {23 * G, 20 * G, -1}});
}

void TFieldPage::PresetNP1() {
  const int G = Plot().GridSize;
  RunPreset({{17 * G, 20 * G, 1}, {23 * G, 20 * G, 1}});
}

void TFieldPage::PresetNP2() {
  const int G = Plot().GridSize;
  RunPreset({{17 * G, 17 * G, 1}, {23 * G, 17 * G, 1}, {17 * G, 23 * G, 1}, {23 * G, 23 * G, 1}});
}

void TFieldPage::PresetParallelPlates() {
  const int G = Plot().GridSize;
  std::vector<TCharge> C;
  for (int K = -5; K <= 5; ++K) {
    C.push_back({18 * G, (20 + K) * G, 1});
    C.push_back({22 * G, (20 + K) * G, -1});
  }
  RunPreset(C);
}

void TFieldPage::RunPreset(const std::vector<TCharge> &Charges) {
  // The field sheet becomes active with its read-out; the topic, caption and page width
  // stay as they are.
  if (!OnFieldSheet()) {
    if (Dragging) FieldPicMouseUp(mbRight, LastX, LastY);
    Host.ShowSheet(TSheet::Field, FieldReadoutWidth);
  }
  Run(PlotControls(), [this, Charges](const TYield &Yield) {
    TFieldPlot &P = Plot();
    TRebuilding Rebuilding(*this);
    P.Clear(0);
    P.Draw(FieldCanvas());
    SetCurrentCharge(1);
    for (const TCharge &C : Charges) {
      int X = C.X, Y = C.Y;
      P.AddCharge(X, Y, C.Value);
    }
    CentreScrollBox(FieldSB);
    if (!PumpOnce()) return;
    if (!StopRequested()) P.PlotFieldLines(FieldCanvas(), Yield);
    // A stop or a topic change during the field lines ends the sequence here.
    if (!StopRequested() && OnFieldSheet()) P.PlotEquipotentials(FieldCanvas(), Yield);
    Zooming = false;
    if (StopRequested()) P.Draw(FieldCanvas());
  });
}

// ---- The 3-D view ----

void TFieldPage::F3DBtnClick() {
  if (Running()) return;
  Host.ShowSheet(TSheet::ThreeD, 0);
  Redraw3D();
}

void TFieldPage::Close3DBtnClick() {
  MouseMode = 0;
  Host.ShowSheet(TSheet::Field, FieldReadoutWidth);
  FieldPic->Invalidate();
}

void TFieldPage::Redraw3D() {
  Plot().Draw3D(threeDpic->Canvas(), Field3DTilt, Field3DTurn);
}

void TFieldPage::threeDpicPaint() { Redraw3D(); }

void TFieldPage::Update3DLabels(int Tilt, int Turn) {
  XrotLabel->setText(QString::number(-Tilt));
  YrotLabel->setText(QString::number(Turn));
}

void TFieldPage::threeDpicMouseDown(TMouseButton Button, int X, int Y) {
  if (Button == mbLeft) {
    MouseMode = 1;
    GrabX = X - MulDiv(200, Field3DTurn, 90);
    GrabY = Y + MulDiv(200, Field3DTilt, 90);
  } else {
    MouseMode = 2;
    GrabX = X - Plot().SurfaceOffsetX;
    GrabY = Y - Plot().SurfaceOffsetY;
  }
}

void TFieldPage::threeDpicMouseMove(int X, int Y) {
  if (MouseMode == 2) {
    Plot().SurfaceOffsetX = X - GrabX;
    Plot().SurfaceOffsetY = Y - GrabY;
    Redraw3D();
  } else if (MouseMode == 1) {
    // 200 pixels of mouse travel turn the view by 90 degrees.
    Field3DTurn = std::clamp(MulDiv(90, X - GrabX, 200), -90, 90);
    Field3DTilt = std::clamp(MulDiv(90, GrabY - Y, 200), -90, 90);
    // The labels read the angles the view has, also past the end of its turn.
    Update3DLabels(Field3DTilt, Field3DTurn);
    XrotLabel->repaint();
    YrotLabel->repaint();
    Redraw3D();
  }
}

void TFieldPage::threeDpicMouseUp() { MouseMode = 0; }

void TFieldPage::Do3DZoom(int Tag) {
  Plot().SurfaceSpacing = Tag;
  Redraw3D();
}

void TFieldPage::ThreeDZoomPUMPopup() { TickTag(ThreeDZoomPUM, Plot().SurfaceSpacing); }

void TFieldPage::Reset3DBtnClick() {
  Field3DTilt = -30;
  Field3DTurn = -30;
  Plot().SurfaceOffsetX = 0;
  Plot().SurfaceOffsetY = 0;
  Redraw3D();
  XrotLabel->setText("30");
  YrotLabel->setText("-30");
}

// ---- Field menu ----

bool TFieldPage::UsesMenu(TSharedMenu Menu, TSheet S) const {
  return Menu == TSharedMenu::Field && (S == TSheet::Field || S == TSheet::ThreeD);
}

void TFieldPage::MenuPopup(TSharedMenu Menu) {
  if (Menu == TSharedMenu::Field) Field1Click();
  else if (Menu == TSharedMenu::ContourResolution) ContourResolution1Click();
}

void TFieldPage::MenuClick(TMenuItem I) {
  const bool Field = OnFieldSheet();
  switch (I) {
  case TMenuItem::ContourLow:
  case TMenuItem::ContourMedium:
  case TMenuItem::ContourHigh:
    if (Field) DoContourResolution(ActionTag(Item(I)));
    break;
  case TMenuItem::ShowArrows:
    if (Field) ShowArrowsClick();
    break;
  case TMenuItem::DeleteFieldLines:
    if (Field) DeleteFieldLinesClick();
    break;
  case TMenuItem::DeleteContours:
    if (Field) DeleteContoursClick();
    break;
  default: break;
  }
}

void TFieldPage::Field1Click() {
  const bool Field = OnFieldSheet(), ThreeD = OnThreeDSheet();
  if (!Field && !ThreeD) return;
  const bool Idle = bool(AbortFlag) && !Host.BusyFlag() && !Running() && !Application->LoopRunning();
  const TFieldPlot &P = Plot();
  Item(TMenuItem::ContourResolution)->setEnabled(Field && Idle);
  Item(TMenuItem::DeleteFieldLines)->setEnabled(Field && Idle && P.LinesDrawn);
  Item(TMenuItem::DeleteContours)->setEnabled(Field && Idle && P.ContoursDrawn);
  if (Field) Item(TMenuItem::ShowArrows)->setChecked(bool(P.ShowArrows));
  Item(TMenuItem::ShowArrows)->setEnabled(Field && P.LinesDrawn);
  Item(TMenuItem::ReverseCurrent)->setEnabled(false);
}

void TFieldPage::DeleteFieldLinesClick() {
  WhenIdle([this] {
    Plot().Clear(2);
    Plot().Draw(FieldCanvas());
  });
}

void TFieldPage::DeleteContoursClick() {
  WhenIdle([this] {
    Plot().Clear(3);
    Plot().Draw(FieldCanvas());
  });
}

void TFieldPage::ShowArrowsClick() {
  Plot().ShowArrows = !Plot().ShowArrows;
  Item(TMenuItem::ShowArrows)->setChecked(bool(Plot().ShowArrows));
  Plot().Draw(FieldCanvas());
}

void TFieldPage::CopyPicture() {
  if (OnFieldSheet()) Plot().CopyToClipboard();
  else if (OnThreeDSheet()) Plot().Copy3DToClipboard(Field3DTilt, Field3DTurn);
}

void TFieldPage::PrintPicture() {
  const bool Field = OnFieldSheet(), ThreeD = OnThreeDSheet();
  if (!Field && !ThreeD) return;
  // Printing replays the model: it waits for a running plot to stop.
  WhenIdle([this, Field] {
    PrintPictureWithDialog(Host, [this, Field](int Copies) {
      if (Field) Plot().Print(Copies);
      else Plot().Print3D(Field3DTilt, Field3DTurn, Copies);
    });
  });
}

#include "app/field_page.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cctype>

#include "app/field_frm.h"
#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/paint_box.h"
#include "platform/qt_bridge.h"
#include "sim/field_plot.h"
#include "sim/shared_constants.h"
#include "widgets/speed_button.h"

namespace {

constexpr int ButtonWidth = 42, ButtonHeight = 40;
constexpr int SurfaceSize = 400;

const char *const AddHint =
    "add charges|If this button is down you can add charges by clicking with the mouse";
const char *const SelectHint =
    "select charges|If this button is down you can move or delete charges with the mouse";
const char *const ClearHint = "clear screen|Clear the current plot";
const char *const AddPicHint =
    "Left click to place a positive charge; right click for a negative charge";
const char *const SelectPicHint = "Left click to move charge; right click to delete charge";

int ActionTag(const QAction *A) { return A ? A->data().toInt() : 0; }

QAction *AddItem(QMenu *M, const char *Caption, int Tag) {
  QAction *A = M->addAction(Caption);
  A->setData(Tag);
  A->setCheckable(true);
  return A;
}

void TickTag(QMenu *M, int Value) {
  for (QAction *A : M->actions()) A->setChecked(ActionTag(A) == Value);
}

TKitSpeedButton *MakeButton(QWidget *Bar, const char *Name, const char *Caption,
                            const char *Hint, const char *Glyph) {
  auto *B = new TKitSpeedButton(Bar);
  B->setObjectName(Name);
  B->SetBounds(0, 0, ButtonWidth, ButtonHeight);
  B->SetFlat(true);
  B->SetCaption(Caption);
  B->SetHint(Hint);
  B->SetLayout(blGlyphTop);
  B->LoadGlyph(Glyph);
  Bar->layout()->addWidget(B);
  return B;
}

QWidget *MakeToolbar(QWidget *Sheet) {
  auto *Bar = new QWidget(Sheet);
  auto *Row = new QHBoxLayout(Bar);
  Row->setContentsMargins(2, 2, 2, 2);
  Row->setSpacing(1);
  return Bar;
}

QScrollArea *MakeScrollBox(QWidget *Sheet, const char *Name) {
  auto *SB = new QScrollArea(Sheet);
  SB->setObjectName(Name);
  SB->setWidgetResizable(false);
  SB->setBackgroundRole(QPalette::Base);
  QPalette Pal = SB->palette();
  Pal.setColor(QPalette::Base, Qt::white);
  Pal.setColor(QPalette::Window, Qt::white);
  SB->setPalette(Pal);
  SB->setAutoFillBackground(true);
  return SB;
}

QVBoxLayout *SheetLayout(QWidget *Sheet) {
  auto *Col = new QVBoxLayout(Sheet);
  Col->setContentsMargins(0, 0, 0, 0);
  Col->setSpacing(0);
  return Col;
}

// A picture's hint: the tooltip, and the whole text in the status bar while the mouse is
// over it.
void SetPicHint(TPaintBox *Pic, const std::string &Hint) {
  Pic->setToolTip(ToQString(GetShortHint(Hint)));
  Pic->setProperty("VornelleHint", ToQString(Hint));
}

std::string UpperName(std::string S) {
  for (char &C : S) C = char(std::toupper(static_cast<unsigned char>(C)));
  return S;
}

// Keeps a run marked for its whole length, however it ends.
struct TRunMark {
  int &Depth;
  explicit TRunMark(int &D) : Depth(D) { ++Depth; }
  ~TRunMark() { --Depth; }
};

} // namespace

std::unique_ptr<TTopicPage> CreateFieldPage(TFieldFrm &Form) {
  if (!Form.FieldTab || !Form.ThreeDTab || !Form.FieldPlot) return nullptr;
  return std::make_unique<TFieldPage>(Form);
}

TFieldPage::TFieldPage(TFieldFrm &F) : Form(F) {
  BuildFieldSheet();
  BuildThreeDSheet();
  ConnectMenus();
  SetIdleControls(true);
}

TFieldPage::~TFieldPage() {
  AliveToken.reset();
  for (auto &C : MenuConnections) QObject::disconnect(C);
  // The controls call back into this page: they go with it.
  delete FieldToolbar;
  delete FieldSB;
  delete ThreeDToolbar;
  delete ThreeDSB;
  delete ChargePUM;
  delete FZoomPUM;
  delete ThreeDZoomPUM;
  if (QLayout *L = Form.FieldTab->layout()) delete L;
  if (QLayout *L = Form.ThreeDTab->layout()) delete L;
}

TFieldPlot &TFieldPage::Plot() const { return *Form.FieldPlot; }
TCanvas &TFieldPage::FieldCanvas() const { return FieldPic->Canvas(); }
bool TFieldPage::OnFieldSheet() const { return Form.ActiveSheet() == TSheet::Field; }
bool TFieldPage::OnThreeDSheet() const { return Form.ActiveSheet() == TSheet::ThreeD; }

// ---- Building ----

void TFieldPage::BuildFieldSheet() {
  QWidget *Sheet = Form.FieldTab;
  QVBoxLayout *Col = SheetLayout(Sheet);
  FieldToolbar = MakeToolbar(Sheet);
  FieldToolbar->setObjectName("FieldToolbar");

  FChargeBtn = MakeButton(FieldToolbar, "FChargeBtn", "Q=1", "set size of charge", "charge");
  ChargePUM = new QMenu;
  ChargePUM->setObjectName("ChargePUM");
  for (int K = 1; K <= 5; ++K) {
    QAction *A = AddItem(ChargePUM, std::to_string(K).c_str(), K);
    QObject::connect(A, &QAction::triggered, FChargeBtn, [this, K] { SetCurrentCharge(K); });
  }
  FChargeBtn->SetDropDownMenu(ChargePUM);
  FChargeBtn->OnPopup = [this] { ChargePUMPopup(); };

  AddBtn = MakeButton(FieldToolbar, "AddBtn", "add", AddHint, "add");
  SelectBtn = MakeButton(FieldToolbar, "SelectBtn", "select", SelectHint, "select");
  AddBtn->SetGroupIndex(1);
  SelectBtn->SetGroupIndex(1);
  AddBtn->SetDown(true);
  AddBtn->OnClick = [this] { AddBtnClick(); };
  SelectBtn->OnClick = [this] { AddBtnClick(); };

  FPlotBtn = MakeButton(FieldToolbar, "FPlotBtn", "plot E", "plot field lines", "plote");
  FPlotBtn->OnClick = [this] { FPlotBtnClick(); };
  VplotBtn = MakeButton(FieldToolbar, "VplotBtn", "plot V", "plot equipotentials", "plotv");
  VplotBtn->OnClick = [this] { VplotBtnClick(); };
  FClearBtn = MakeButton(FieldToolbar, "FClearBtn", "clear", ClearHint, "clear");
  FClearBtn->OnClick = [this] { FClearBtnClick(); };
  FAbortBtn = MakeButton(FieldToolbar, "FAbortBtn", "abort", "stop the current plot", "abort");
  FAbortBtn->OnClick = [this] { FAbortBtnClick(); };
  FGridBtn = MakeButton(FieldToolbar, "FGridBtn", "grid", "show/hide grid", "grid");
  FGridBtn->SetGroupIndex(2);
  FGridBtn->SetAllowAllUp(true);
  FGridBtn->SetDown(bool(Plot().ShowGrid));
  FGridBtn->OnClick = [this] { FGridBtnClick(); };
  F3DBtn = MakeButton(FieldToolbar, "F3DBtn", "3D", "show 3D view", "threed");
  F3DBtn->OnClick = [this] { F3DBtnClick(); };

  FZoomBtn = MakeButton(FieldToolbar, "FZoomBtn", "zoom", "zoom", "zoom");
  FZoomPUM = new QMenu;
  FZoomPUM->setObjectName("FZoomPUM");
  const std::pair<const char *, int> Zooms[] = {{"75%", 12}, {"100%", 16}, {"125%", 20}, {"150%", 24}};
  for (auto [Caption, Tag] : Zooms) {
    QAction *A = AddItem(FZoomPUM, Caption, Tag);
    QObject::connect(A, &QAction::triggered, FZoomBtn, [this, T = Tag] { DoFieldZoom(T); });
  }
  FZoomBtn->SetDropDownMenu(FZoomPUM);
  FZoomBtn->OnPopup = [this] { FZoomPUMPopup(); };
  static_cast<QHBoxLayout *>(FieldToolbar->layout())->addStretch(1);
  Col->addWidget(FieldToolbar);

  FieldSB = MakeScrollBox(Sheet, "FieldSB");
  FieldPic = new TPaintBox;
  FieldPic->setObjectName("FieldPic");
  FieldPic->Color = clWhite;
  const TRect B = Plot().GetBounds();
  FieldPic->SetBounds(0, 0, B.Width(), B.Height());
  FieldPic->SetCursor(crCross);
  SetPicHint(FieldPic, AddPicHint);
  FieldSB->setWidget(FieldPic);
  Col->addWidget(FieldSB, 1);

  FieldPic->OnPaint = [this] { FieldPicPaint(); };
  FieldPic->OnMouseDown = [this](TMouseButton Btn, TShiftState, int X, int Y) {
    FieldPicMouseDown(Btn, X, Y);
  };
  FieldPic->OnMouseMove = [this](TShiftState, int X, int Y) { FieldPicMouseMove(X, Y); };
  FieldPic->OnMouseUp = [this](TMouseButton Btn, TShiftState, int X, int Y) {
    FieldPicMouseUp(Btn, X, Y);
  };
  FieldPic->OnMouseEnter = [this] {
    Application->SetHint(FromQString(FieldPic->property("VornelleHint").toString()));
  };
  FieldPic->OnMouseLeave = [] { Application->SetHint(""); };
}

void TFieldPage::BuildThreeDSheet() {
  QWidget *Sheet = Form.ThreeDTab;
  QVBoxLayout *Col = SheetLayout(Sheet);
  ThreeDToolbar = MakeToolbar(Sheet);
  ThreeDToolbar->setObjectName("ThreeDToolbar");
  Close3DBtn = MakeButton(ThreeDToolbar, "Close3DBtn", "2D", "return to 2D view", "twod");
  Close3DBtn->OnClick = [this] { Close3DBtnClick(); };
  Zoom3DBtn = MakeButton(ThreeDToolbar, "Zoom3DBtn", "zoom", "zoom", "zoom");
  ThreeDZoomPUM = new QMenu;
  ThreeDZoomPUM->setObjectName("ThreeDZoomPUM");
  const std::pair<const char *, int> Zooms[] = {
      {"100%", 8}, {"125%", 10}, {"150%", 12}, {"175%", 14}, {"200%", 16}};
  for (auto [Caption, Tag] : Zooms) {
    QAction *A = AddItem(ThreeDZoomPUM, Caption, Tag);
    QObject::connect(A, &QAction::triggered, Zoom3DBtn, [this, T = Tag] { Do3DZoom(T); });
  }
  Zoom3DBtn->SetDropDownMenu(ThreeDZoomPUM);
  Zoom3DBtn->OnPopup = [this] { ThreeDZoomPUMPopup(); };
  Reset3DBtn = MakeButton(ThreeDToolbar, "Reset3DBtn", "reset", "", "reset");
  Reset3DBtn->OnClick = [this] { Reset3DBtnClick(); };

  auto *Row = static_cast<QHBoxLayout *>(ThreeDToolbar->layout());
  Row->addSpacing(12);
  auto MakeLabel = [&](const char *Name, const char *Text, int MinWidth) {
    auto *L = new QLabel(Text, ThreeDToolbar);
    L->setObjectName(Name);
    if (MinWidth) L->setMinimumWidth(MinWidth);
    Row->addWidget(L);
    return L;
  };
  RotationLabel = MakeLabel("RotationLabel", "rotation", 0);
  Row->addSpacing(4);
  YrotLabel = MakeLabel("YrotLabel", "", 30);
  Row->addSpacing(8);
  ElevationLabel = MakeLabel("ElevationLabel", "elevation", 0);
  Row->addSpacing(4);
  XrotLabel = MakeLabel("XrotLabel", "", 30);
  Row->addStretch(1);
  // The labels show the view's angles from the start.
  Update3DLabels(Form.Field3DTilt, Form.Field3DTurn);
  Col->addWidget(ThreeDToolbar);

  ThreeDSB = MakeScrollBox(Sheet, "ThreeDSB");
  threeDpic = new TPaintBox;
  threeDpic->setObjectName("threeDpic");
  threeDpic->Color = clWhite;
  threeDpic->SetBounds(0, 0, SurfaceSize, SurfaceSize);
  threeDpic->SetCursor(crHandPoint);
  SetPicHint(threeDpic, "Use left mouse button to rotate; use right mouse button to pan");
  ThreeDSB->setWidget(threeDpic);
  Col->addWidget(ThreeDSB, 1);
  threeDpic->OnPaint = [this] { threeDpicPaint(); };
  threeDpic->OnMouseDown = [this](TMouseButton Btn, TShiftState, int X, int Y) {
    threeDpicMouseDown(Btn, X, Y);
  };
  threeDpic->OnMouseMove = [this](TShiftState, int X, int Y) { threeDpicMouseMove(X, Y); };
  threeDpic->OnMouseUp = [this](TMouseButton, TShiftState, int, int) { threeDpicMouseUp(); };
  threeDpic->OnMouseEnter = [this] {
    Application->SetHint(FromQString(threeDpic->property("VornelleHint").toString()));
  };
  threeDpic->OnMouseLeave = [] { Application->SetHint(""); };
}

void TFieldPage::ConnectMenus() {
  auto On = [this](QAction *A, std::function<void()> F) {
    if (A) MenuConnections.push_back(QObject::connect(A, &QAction::triggered, F));
  };
  for (QAction *A : {Form.ContourLow1, Form.ContourMedium1, Form.ContourHigh1}) {
    if (!A) continue;
    A->setCheckable(true);
    On(A, [this, A] {
      if (OnFieldSheet()) DoContourResolution(ActionTag(A));
    });
  }
  if (Form.ContourResolution1)
    MenuConnections.push_back(QObject::connect(Form.ContourResolution1, &QMenu::aboutToShow,
                                               [this] { ContourResolution1Click(); }));
  if (Form.Field1)
    MenuConnections.push_back(
        QObject::connect(Form.Field1, &QMenu::aboutToShow, [this] { Field1Click(); }));
  if (Form.ShowArrows1) Form.ShowArrows1->setCheckable(true);
  On(Form.ShowArrows1, [this] {
    if (OnFieldSheet()) ShowArrowsClick();
  });
  On(Form.DeleteFieldLines1, [this] {
    if (OnFieldSheet()) DeleteFieldLinesClick();
  });
  On(Form.DeleteContours1, [this] {
    if (OnFieldSheet()) DeleteContoursClick();
  });
}

// ---- Idle state and the one-loop rule ----

void TFieldPage::SetIdleControls(bool Idle) {
  for (TKitSpeedButton *B : {FPlotBtn, VplotBtn, FClearBtn, F3DBtn, FZoomBtn})
    B->SetEnabled(Idle);
  FAbortBtn->SetEnabled(!Idle);
}

void TFieldPage::UpdateIdleState(bool Idle) { SetIdleControls(Idle && !Running()); }

void TFieldPage::BeginRun() {
  ++RunDepth;
  StopRequested = false;
  SetIdleControls(false);
}

void TFieldPage::EndRun() {
  --RunDepth;
  if (RunDepth == 0) SetIdleControls(bool(AbortFlag) && !bool(Form.Busy));
}

void TFieldPage::WhenIdle(std::function<void()> Action) {
  if (!Application->LoopRunning() && !Running()) {
    Action();
    return;
  }
  AbortFlag = true;
  StopRequested = true;
  std::weak_ptr<int> Alive = AliveToken;
  Application->AfterLoops([Alive, Action] {
    if (!Alive.expired()) Action();
  });
}

void TFieldPage::FormShown() {
  CentreFieldScroll();
  FieldPic->Invalidate();
}

void TFieldPage::Shown() {
  if (OnThreeDSheet()) {
    threeDpic->Invalidate();
    return;
  }
  FieldPic->Invalidate();
  if (!Centred) {
    // The scroll box has its size only once the sheet is laid out.
    Centred = true;
    std::weak_ptr<int> Alive = AliveToken;
    QTimer::singleShot(0, FieldSB, [this, Alive] {
      if (!Alive.expired()) CentreFieldScroll();
    });
  }
}

void TFieldPage::Hidden() {
  // Another topic was chosen: a running sequence ends with its current pass.
  AbortFlag = true;
  StopRequested = true;
  if (Dragging) {
    Dragging = false;
    Form.DragBackground.reset();
  }
  Form.MouseMode = 0;
}

// ---- The field picture ----

void TFieldPage::FieldPicPaint() {
  if (!Zooming) Plot().Draw(FieldCanvas());
}

void TFieldPage::AddBtnClick() {
  if (SelectBtn->Down()) {
    FieldPic->SetCursor(crArrow);
    SetPicHint(FieldPic, SelectPicHint);
  } else {
    FieldPic->SetCursor(crCross);
    SetPicHint(FieldPic, AddPicHint);
  }
}

void TFieldPage::SetCurrentCharge(int Tag) {
  Form.CurrentCharge = Tag;
  FChargeBtn->SetCaption("Q=" + std::to_string(Tag));
}

void TFieldPage::ChargePUMPopup() { TickTag(ChargePUM, Form.CurrentCharge); }

void TFieldPage::FieldPicMouseDown(TMouseButton Button, int X, int Y) {
  // Charges change only while no loop runs.
  if (!AbortFlag || Form.Busy || Application->LoopRunning() || Running()) return;
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
    const int Value = Button == mbLeft ? Form.CurrentCharge : -Form.CurrentCharge;
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
    Form.DragBackground = std::make_unique<TBitmap>(BitmapFromImage(FieldPic->Image()));
    EraseCharge(Form.DragBackground->Canvas(), I);
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
  Form.StatusBar->SetPanelText(0, "x:" + std::to_string(X / G + 1) + " y:" + std::to_string(Y / G + 1));
  if (!AbortFlag || !SelectBtn->Down()) return;
  if (!Dragging) {
    FieldPic->SetCursor(Plot().ChargeAt(X, Y) != -1 ? crHandPoint : crArrow);
    return;
  }
  if (!Form.DragBackground) return;
  ClampToScrollBox(X, Y);
  DrawDraggedCharge(X - GrabX, Y - GrabY, DragIndex);
  LastX = X;
  LastY = Y;
}

void TFieldPage::FieldPicMouseUp(TMouseButton Button, int X, int Y) {
  if (!Dragging) return;
  Dragging = false;
  Form.DragBackground.reset();
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
  if (!Form.DragBackground) return;
  const int S = Plot().GridSize;
  const TRect R(std::min(X, LastX) - S, std::min(Y, LastY) - S, std::max(X, LastX) + 2 * S,
                std::max(Y, LastY) + 2 * S);
  TBitmap Tmp(R.Width(), R.Height());
  Tmp.Canvas().CopyRect(TRect(0, 0, R.Width(), R.Height()), Form.DragBackground->Canvas(), R);
  TCanvas &C = Tmp.Canvas();
  const int Value = Plot().GetChargeValue(Index);
  C.Pen().Color = clBlack;
  C.Pen().Style = psSolid;
  C.Brush().Style = bsSolid;
  C.Brush().Color = Value >= 1 ? 0x000000FF : 0x00FF0000;
  const int L = X - R.Left, T = Y - R.Top;
  C.Ellipse(L, T, L + S, T + S);
  const std::string Text = Value > 0 ? "+" + std::to_string(Value) : std::to_string(Value);
  C.Font().Name = "arial";
  C.Font().Style = fsBold;
  C.Font().Height = S - 5;
  C.Font().Color = clWhite;
  C.Brush().Style = bsClear;
  C.TextOut(L + S / 2 - C.TextWidth(Text) / 2, T + S / 2 - C.TextHeight(Text) / 2, Text);
  FieldCanvas().Draw(R.Left, R.Top, Tmp);
}

void TFieldPage::FPlotBtnClick() {
  if (Application->LoopRunning() || Running() || Form.Busy) return;
  BeginRun();
  {
    TLoopGuard Loop;
    Plot().PlotFieldLines(FieldCanvas());
  }
  AbortFlag = true;
  EndRun();
}

void TFieldPage::VplotBtnClick() {
  if (Application->LoopRunning() || Running() || Form.Busy) return;
  BeginRun();
  {
    TLoopGuard Loop;
    Plot().PlotEquipotentials(FieldCanvas());
  }
  AbortFlag = true;
  EndRun();
}

void TFieldPage::FClearBtnClick() {
  WhenIdle([this] {
    AbortFlag = true;
    Plot().Clear(0);
    Plot().Draw(FieldCanvas());
  });
}

void TFieldPage::FAbortBtnClick() {
  AbortFlag = true;
  StopRequested = true;
}

void TFieldPage::FGridBtnClick() {
  Plot().ShowGrid = FGridBtn->Down();
  Plot().Draw(FieldCanvas());
}

void TFieldPage::CentreFieldScroll() {
  for (QScrollBar *B : {FieldSB->horizontalScrollBar(), FieldSB->verticalScrollBar()})
    B->setValue((B->minimum() + B->maximum()) / 2);
}

void TFieldPage::DoFieldZoom(int Tag) {
  WhenIdle([this, Tag] {
    TFieldPlot &P = Plot();
    if (Tag == P.GridSize) return; // the current zoom again: nothing changes
    BeginRun();
    TLoopGuard Loop;
    Zooming = true;
    Screen->SetCursor(crHourGlass);
    const int Mode = (P.LinesDrawn ? 1 : 0) + (P.ContoursDrawn ? 2 : 0);
    P.SetGridSize(Tag);
    FieldSB->horizontalScrollBar()->setValue(0);
    FieldSB->verticalScrollBar()->setValue(0);
    const TRect B = P.GetBounds();
    FieldPic->SetBounds(0, 0, B.Width(), B.Height());
    CentreFieldScroll();
    std::weak_ptr<int> Alive = AliveToken;
    Application->ProcessMessages();
    if (Alive.expired()) return;
    if (Mode == 0 || StopRequested) {
      P.Draw(FieldCanvas());
    } else {
      P.DrawBackground(FieldCanvas());
      if (Mode & 1) P.PlotFieldLines(FieldCanvas());
      // A stop during the field lines ends the sequence.
      if ((Mode & 2) && !StopRequested) P.PlotEquipotentials(FieldCanvas());
    }
    Zooming = false;
    Screen->SetCursor(crDefault);
    AbortFlag = true;
    EndRun();
  });
}

void TFieldPage::FZoomPUMPopup() { TickTag(FZoomPUM, Plot().GridSize); }

void TFieldPage::DoContourResolution(int Tag) {
  WhenIdle([this, Tag] {
    TFieldPlot &P = Plot();
    Screen->SetCursor(crHourGlass);
    if (Tag != P.ContourLevels) {
      const int Mode = (P.LinesDrawn ? 1 : 0) + (P.ContoursDrawn ? 2 : 0);
      P.SetContourLevels(Tag);
      if (Mode & 2) {
        BeginRun();
        TLoopGuard Loop;
        P.Clear(3);
        P.Draw(FieldCanvas());
        P.PlotEquipotentials(FieldCanvas());
        EndRun();
      }
    }
    Screen->SetCursor(crDefault);
    AbortFlag = true;
    SetIdleControls(true);
  });
}

void TFieldPage::ContourResolution1Click() {
  for (QAction *A : {Form.ContourLow1, Form.ContourMedium1, Form.ContourHigh1})
    if (A) A->setChecked(ActionTag(A) == Plot().ContourLevels);
}

// ---- Presets ----

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
  TFieldPlot &P = Plot();
  Zooming = true;
  Screen->SetCursor(crHourGlass);
  AbortFlag = true;
  // The field sheet becomes active; the topic, caption and page width stay as they are.
  if (!OnFieldSheet()) {
    TTopicPage *Old = Form.ActivePage();
    if (Old && Old != this) Old->Hidden();
    if (Dragging) FieldPicMouseUp(mbRight, LastX, LastY);
    Form.MainPC->setCurrentWidget(Form.FieldTab);
  }
  BeginRun();
  TLoopGuard Loop;
  P.Clear(0);
  P.Draw(FieldCanvas());
  SetCurrentCharge(1);
  for (const TCharge &C : Charges) {
    int X = C.X, Y = C.Y;
    P.AddCharge(X, Y, C.Value);
  }
  CentreFieldScroll();
  std::weak_ptr<int> Alive = AliveToken;
  Application->ProcessMessages();
  if (Alive.expired()) return;
  if (!StopRequested) P.PlotFieldLines(FieldCanvas());
  // A stop or a topic change during the field lines ends the sequence here.
  if (!StopRequested && OnFieldSheet()) P.PlotEquipotentials(FieldCanvas());
  Zooming = false;
  if (StopRequested) P.Draw(FieldCanvas());
  Screen->SetCursor(crDefault);
  AbortFlag = true;
  EndRun();
}

// ---- The 3-D view ----

void TFieldPage::F3DBtnClick() {
  if (Running()) return;
  Form.MainPC->setCurrentWidget(Form.ThreeDTab);
  Form.StatusBar->SetPanelWidth(0, 0);
  Redraw3D();
}

void TFieldPage::Close3DBtnClick() {
  Form.MouseMode = 0;
  Form.MainPC->setCurrentWidget(Form.FieldTab);
  Form.StatusBar->SetPanelWidth(0, 100);
  FieldPic->Invalidate();
}

void TFieldPage::Redraw3D() {
  Plot().Draw3D(threeDpic->Canvas(), Form.Field3DTilt, Form.Field3DTurn);
}

void TFieldPage::threeDpicPaint() { Redraw3D(); }

void TFieldPage::Update3DLabels(int Tilt, int Turn) {
  XrotLabel->setText(QString::number(-Tilt));
  YrotLabel->setText(QString::number(Turn));
}

void TFieldPage::threeDpicMouseDown(TMouseButton Button, int X, int Y) {
  if (Button == mbLeft) {
    Form.MouseMode = 1;
    GrabX = X - MulDiv(200, Form.Field3DTurn, 90);
    GrabY = Y + MulDiv(200, Form.Field3DTilt, 90);
  } else {
    Form.MouseMode = 2;
    GrabX = X - Plot().SurfaceOffsetX;
    GrabY = Y - Plot().SurfaceOffsetY;
  }
}

void TFieldPage::threeDpicMouseMove(int X, int Y) {
  if (Form.MouseMode == 2) {
    Plot().SurfaceOffsetX = X - GrabX;
    Plot().SurfaceOffsetY = Y - GrabY;
    Redraw3D();
  } else if (Form.MouseMode == 1) {
    // 200 pixels of mouse travel turn the view by 90 degrees.
    Form.Field3DTurn = MulDiv(90, X - GrabX, 200);
    Form.Field3DTilt = MulDiv(90, GrabY - Y, 200);
    // The labels show the angles before they are limited.
    Update3DLabels(Form.Field3DTilt, Form.Field3DTurn);
    XrotLabel->repaint();
    YrotLabel->repaint();
    Form.Field3DTurn = std::clamp(Form.Field3DTurn, -90, 90);
    Form.Field3DTilt = std::clamp(Form.Field3DTilt, -90, 90);
    Redraw3D();
  }
}

void TFieldPage::threeDpicMouseUp() { Form.MouseMode = 0; }

void TFieldPage::Do3DZoom(int Tag) {
  Plot().SurfaceSpacing = Tag;
  Redraw3D();
}

void TFieldPage::ThreeDZoomPUMPopup() { TickTag(ThreeDZoomPUM, Plot().SurfaceSpacing); }

void TFieldPage::Reset3DBtnClick() {
  Form.Field3DTilt = -30;
  Form.Field3DTurn = -30;
  Plot().SurfaceOffsetX = 0;
  Plot().SurfaceOffsetY = 0;
  Redraw3D();
  XrotLabel->setText("30");
  YrotLabel->setText("-30");
}

// ---- Field menu ----

void TFieldPage::Field1Click() {
  const bool Field = OnFieldSheet(), ThreeD = OnThreeDSheet();
  if (!Field && !ThreeD) return; // the coil page's items are its own
  const bool Idle = bool(AbortFlag) && !Form.Busy && !Running() && !Application->LoopRunning();
  const TFieldPlot &P = Plot();
  if (Form.ContourResolution1) Form.ContourResolution1->menuAction()->setEnabled(Field && Idle);
  if (Form.DeleteFieldLines1) Form.DeleteFieldLines1->setEnabled(Field && Idle && P.LinesDrawn);
  if (Form.DeleteContours1) Form.DeleteContours1->setEnabled(Field && Idle && P.ContoursDrawn);
  if (Form.ShowArrows1) {
    if (Field) Form.ShowArrows1->setChecked(bool(P.ShowArrows));
    Form.ShowArrows1->setEnabled(Field && P.LinesDrawn);
  }
  if (Form.ReverseCurrent1) Form.ReverseCurrent1->setEnabled(false);
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
  if (Form.ShowArrows1) Form.ShowArrows1->setChecked(bool(Plot().ShowArrows));
  Plot().Draw(FieldCanvas());
}

void TFieldPage::CopyPicture() {
  if (OnFieldSheet()) Plot().CopyToClipboard();
  else if (OnThreeDSheet()) Plot().Copy3DToClipboard(Form.Field3DTilt, Form.Field3DTurn);
}

void TFieldPage::PrintPicture() {
  const bool Field = OnFieldSheet(), ThreeD = OnThreeDSheet();
  if (!Field && !ThreeD) return;
  // Printing replays the model: it waits for a running plot to stop.
  WhenIdle([this, Field] {
    if (!Form.PrintDlg.Execute()) return;
    Screen->SetCursor(crHourGlass);
    Form.Busy = true;
    try {
      if (Field) Plot().Print(Form.PrintDlg.Copies);
      else Plot().Print3D(Form.Field3DTilt, Form.Field3DTurn, Form.PrintDlg.Copies);
    } catch (const std::exception &E) {
      Form.Busy = false;
      Screen->SetCursor(crDefault);
      MessageDlg(E.what(), mtError, mbOK);
    }
    AbortFlag = true;
    Form.Busy = false;
    Screen->SetCursor(crDefault);
  });
}

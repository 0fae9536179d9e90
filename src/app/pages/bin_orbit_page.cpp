#include "app/pages/bin_orbit_page.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>

#include "app/page_kit.h"
#include "app/pages/orbit_page.h"
#include "platform/application.h"
#include "platform/frame_pacer.h"
#include "platform/numbers.h"
#include "platform/paint_box.h"
#include "platform/qt_bridge.h"
#include "sim/shared_constants.h"
#include "widgets/speed_button.h"

namespace {
const char *const PicHint =
    "Drag with left mouse button to zoom; drag with right mouse button to pan";
constexpr TColor clLightYellow = 0xE0FFFF;
constexpr char16_t KeyBackspace = 8, KeyEnter = 13;
constexpr uint16_t VkLeft = 37, VkUp = 38, VkRight = 39, VkDown = 40;

// The bodies as the grid shows them: by the colours of their discs.
std::string BodyColourName(int I) { return I == 0 ? "yellow" : I == 1 ? "red" : "blue"; }
} // namespace

TGridEdit EditGridText(const std::string &Old, bool Fresh, char16_t Key) {
  TGridEdit E;
  if (Key == KeyBackspace) {
    E.Accepted = true;
    E.Text = Fresh ? std::string() : Old;
    if (!E.Text.empty()) E.Text.pop_back();
  } else if ((Key >= '0' && Key <= '9') || Key == '-' || Key == '.') {
    E.Accepted = true;
    E.Text = (Fresh ? std::string() : Old) + char(Key);
  }
  return E;
}

TBinOrbitPage::TBinOrbitPage(TPageHost &H) : TTopicPage(H) {
  QWidget *Tab = Content(TSheet::BinOrbit);
  QVBoxLayout *Col0 = MakeColumn(Tab);
  QWidget *Toolbar = MakeToolbar(Tab, "BinOrbitToolbar");
  binStartBtn = MakeSpeedButton(Toolbar, "binStartBtn", "start", "start motion", "run");
  binStartBtn->OnClick = [this] { binStartBtnClick(); };
  binStopBtn = MakeSpeedButton(Toolbar, "binStopBtn", "stop", "stop motion", "stop");
  binStopBtn->OnClick = [this] { binStopBtnClick(); };
  binOriginBtn = MakeSpeedButton(Toolbar, "binOriginBtn", "centre", "centre display", "centre");
  binOriginBtn->OnClick = [this] { binOriginBtnClick(); };
  binApplyBtn = MakeSpeedButton(Toolbar, "binApplyBtn", "reset", "reset display", "reset");
  binApplyBtn->OnClick = [this] { binApplyBtnClick(); };
  Col0->addWidget(Toolbar);

  auto *Row0 = new QHBoxLayout();
  Row0->setContentsMargins(4, 2, 4, 2);
  Row0->setSpacing(8);
  grid = new TPaintBox(Tab);
  grid->setObjectName("grid");
  grid->Color = clWindow;
  grid->setFixedSize(Col0Width + ColWidth * (GridCols - 1) + GridCols,
                     (RowHeight + 1) * GridRows);
  grid->setFocusPolicy(Qt::StrongFocus);
  SetHint(grid, "Input data for stars/planets");
  grid->OnPaint = [this] { DrawGrid(); };
  grid->OnMouseDown = [this](TMouseButton, TShiftState, int X, int Y) {
    for (int C = 1; C < GridCols; ++C)
      for (int R = 1; R < GridRows; ++R)
        if (PtInRect(CellRect(C, R), TPoint(X, Y)) && SelectCell(C, R)) DrawGrid();
  };
  grid->OnKeyPress = [this](char16_t &Key) { gridKeyPress(Key); };
  grid->OnKeyDown = [this](uint16_t &Key, TShiftState) {
    const int DC = Key == VkLeft ? -1 : Key == VkRight ? 1 : 0;
    const int DR = Key == VkUp ? -1 : Key == VkDown ? 1 : 0;
    if ((DC || DR) && SelectCell(Col + DC, Row + DR)) DrawGrid();
  };
  Row0->addWidget(grid);

  PlanetRG = new QGroupBox(" bodies ", Tab);
  PlanetRG->setObjectName("PlanetRG");
  SetHint(PlanetRG, "set number of bodies");
  auto *RGLayout = new QVBoxLayout(PlanetRG);
  RGLayout->setContentsMargins(6, 2, 6, 2);
  PlanetRGGroup = new QButtonGroup(PlanetRG);
  for (int I = 0; I < 2; ++I) {
    PlanetRGItems[I] = new QRadioButton(I == 0 ? "2" : "3", PlanetRG);
    PlanetRGGroup->addButton(PlanetRGItems[I], I);
    RGLayout->addWidget(PlanetRGItems[I]);
  }
  PlanetRGItems[0]->setChecked(true);
  QObject::connect(PlanetRGGroup, &QButtonGroup::idClicked, PlanetRG,
                   [this](int) { PlanetRGClick(); });
  Row0->addWidget(PlanetRG);
  Row0->addStretch(1);
  Col0->addLayout(Row0);

  QWidget *Box = MakeScrollBox(Tab, "BinOrbSB");
  BinOrbPic = MakePicture(Box, "BinOrbPic", OrbitPicSize, OrbitPicSize, crHandPoint, PicHint);
  BinOrbPic->OnPaint = [this] { BinOrbPicPaint(); };
  BinOrbPic->OnMouseDown = [this](TMouseButton Btn, TShiftState, int X, int Y) {
    BinOrbPicMouseDown(Btn, X, Y);
  };
  BinOrbPic->OnMouseMove = [this](TShiftState, int X, int Y) { BinOrbPicMouseMove(X, Y); };
  BinOrbPic->OnMouseUp = [this](TMouseButton, TShiftState, int X, int Y) {
    BinOrbPicMouseUp(X, Y);
  };
  Col0->addWidget(Box, 1);
  InitGrid();
}

TBinOrbitPage::~TBinOrbitPage() { DestroyContent(); }

void TBinOrbitPage::Shown() {
  grid->Invalidate();
  if (!Running()) BinOrbPic->Invalidate();
}

void TBinOrbitPage::Stop(TStopCause) {
  if (Running()) RequestStop();
  MouseMode = 0;
}

int TBinOrbitPage::BodyCount() const {
  return PlanetRGItems[1]->isChecked() ? 3 : 2;
}

void TBinOrbitPage::InitGrid() {
  const char *const Heads[] = {"mass", "x", "y", "Vx", "Vy"};
  for (int C = 1; C < GridCols; ++C) Cells[C][0] = Heads[C - 1];
  for (int I = 0; I < MaxBodies; ++I) {
    const TBody &B = Bodies[I];
    const double Values[] = {B.mass, B.x, B.y, B.vx, B.vy};
    for (int C = 1; C < GridCols; ++C) Cells[C][I + 1] = FloatToStrFixed(Values[C - 1], 4);
  }
}

std::vector<TBody> TBinOrbitPage::GridBodies() const {
  std::vector<TBody> B(MaxBodies);
  for (int I = 0; I < MaxBodies; ++I) {
    double V[GridCols] = {};
    for (int C = 1; C < GridCols; ++C)
      if (!TryStrToFloat(Cells[C][I + 1], V[C])) V[C] = 0;
    B[I] = TBody{V[2], V[3], V[4], V[5], V[1]};
  }
  return B;
}

void TBinOrbitPage::ReadGrid() { Bodies = GridBodies(); }

void TBinOrbitPage::DrawBodiesSetup() {
  ::DrawBodiesSetup(BinOrbPic->Canvas(), View(), std::span(Bodies.data(), BodyCount()),
                    OrbitScale());
}

TRect TBinOrbitPage::CellRect(int ACol, int ARow) const {
  const int Left = ACol == 0 ? 0 : Col0Width + 1 + (ACol - 1) * (ColWidth + 1);
  const int Top = ARow * (RowHeight + 1);
  return TRect(Left, Top, Left + (ACol == 0 ? Col0Width : ColWidth), Top + RowHeight);
}

void TBinOrbitPage::gridSelectCell(int, int ARow, bool &CanSelect) {
  CanSelect = ARow <= BodyCount();
  FreshCell = true;
}

bool TBinOrbitPage::SelectCell(int ACol, int ARow) {
  if (ACol < 1 || ACol >= GridCols || ARow < 1 || ARow >= GridRows) return false;
  bool CanSelect = true;
  gridSelectCell(ACol, ARow, CanSelect);
  if (!CanSelect) return false;
  Col = ACol;
  Row = ARow;
  return true;
}

void TBinOrbitPage::gridKeyPress(char16_t &Key) {
  if (Key == KeyEnter) {
    FreshCell = false;
    ReadGrid();
    DrawBodiesSetup();
    if (Col == GridCols - 1) {
      if (Row < BodyCount()) SelectCell(1, Row + 1);
    } else {
      SelectCell(Col + 1, Row);
    }
    DrawGrid();
    return;
  }
  const TGridEdit E = EditGridText(Cells[Col][Row], FreshCell, Key);
  if (!E.Accepted) {
    Key = 0;
    return;
  }
  FreshCell = false;
  Cells[Col][Row] = E.Text;
  DrawGrid();
}

void TBinOrbitPage::gridDrawCell(int ACol, int ARow, const TRect &Rect, bool Selected) {
  TCanvas &C = grid->Canvas();
  C.Font().Color = Running() ? clGray : clBlack;
  C.Pen().Color = clBlack;
  C.Brush().Style = bsSolid;
  if (ARow > BodyCount()) {
    C.Brush().Color = clWhite;
    C.FillRect(Rect);
    return;
  }
  const std::string &Text = Cells[ACol][ARow];
  const int TextY = Rect.Top + (Rect.Height() - C.TextHeight(Text.empty() ? "0" : Text)) / 2;
  if (ARow == 0) {
    C.Brush().Color = clLightYellow;
    C.FillRect(Rect);
    C.Brush().Style = bsClear;
    C.TextOut(Rect.Left + (Rect.Width() - C.TextWidth(Text)) / 2, TextY, Text);
  } else if (ACol == 0) {
    C.Brush().Color = clLightYellow;
    C.FillRect(Rect);
    const int X = Rect.Left + (Rect.Width() - 14) / 2, Y = Rect.Top + (Rect.Height() - 14) / 2;
    C.Brush().Color = BodyColour(ARow - 1);
    C.Ellipse(X, Y, X + 14, Y + 14);
  } else {
    C.Brush().Color = clWhite;
    C.FillRect(Rect);
    C.Brush().Style = bsClear;
    C.TextOut(Rect.Left + 2, TextY, Text);
  }
  C.Brush().Style = bsSolid;
  if (Selected) C.DrawFocusRect(Rect);
}

void TBinOrbitPage::DrawGrid() {
  TCanvas &C = grid->Canvas();
  C.Brush().Color = clSilver; // the grid lines
  C.Brush().Style = bsSolid;
  C.FillRect(TRect(0, 0, grid->Width(), grid->Height()));
  for (int R = 0; R < GridRows; ++R)
    for (int K = 0; K < GridCols; ++K) gridDrawCell(K, R, CellRect(K, R), K == Col && R == Row);
}

void TBinOrbitPage::PlanetRGClick() {
  if (Running()) RequestStop();
  binApplyBtn->SetEnabled(true);
  if (Row > BodyCount()) SelectCell(Col, BodyCount());
  DrawGrid();
  ReadGrid();
  DrawBodiesSetup();
}

void TBinOrbitPage::binStartBtnClick() {
  // Two bodies in one place pull each other with no finite force: the run could not take
  // a single step, so the pupil is told which two to move instead.
  const std::vector<TBody> Entered = GridBodies();
  for (int I = 0; I < BodyCount(); ++I)
    for (int J = I + 1; J < BodyCount(); ++J)
      if (Entered[I].x == Entered[J].x && Entered[I].y == Entered[J].y) {
        MessageDlg("The " + BodyColourName(I) + " and the " + BodyColourName(J) +
                       " body are at the same place.\rMove one of them before you start.",
                   mtInformation, mbOK);
        return;
      }
  Run({{binStartBtn, binApplyBtn, grid}, {binStopBtn}}, [this](const TYield &Yield) {
    DrawGrid();
    ReadGrid();
    TFramePacer Pacer;
    RunBodies(BinOrbPic->Canvas(), [this] { return View(); },
              std::span(Bodies.data(), BodyCount()), [&] {
                Pacer.WaitForNextFrame();
                return Yield();
              });
  });
  if (!Running()) DrawGrid();
}

void TBinOrbitPage::binStopBtnClick() {
  if (Running()) RequestStop();
  grid->setEnabled(true);
  binApplyBtn->SetEnabled(true);
  DrawGrid();
}

void TBinOrbitPage::binApplyBtnClick() {
  ReadGrid();
  DrawBodiesSetup();
}

void TBinOrbitPage::binOriginBtnClick() {
  BodyOriginX = 200;
  BodyOriginY = 200;
  if (!Running()) DrawBodiesSetup();
}

void TBinOrbitPage::BinOrbPicPaint() {
  if (!Running()) DrawBodiesSetup();
}

void TBinOrbitPage::BinOrbPicMouseDown(TMouseButton Button, int X, int Y) {
  LastX = X;
  LastY = Y;
  ScaleAtGrab = BodyScale;
  if (Button == mbLeft) MouseMode = 1;
  else if (Button == mbRight) MouseMode = 2;
}

void TBinOrbitPage::BinOrbPicMouseMove(int X, int Y) {
  if (MouseMode == 1) {
    BodyScale = std::clamp(ScaleAtGrab + (X - LastX), MinOrbitScale, MaxOrbitScale);
  } else if (MouseMode == 2) {
    BodyOriginX = std::clamp(BodyOriginX + (X - LastX), -100000, 100000);
    BodyOriginY = std::clamp(BodyOriginY + (Y - LastY), -100000, 100000);
    LastX = X;
    LastY = Y;
  } else {
    return;
  }
  if (!Running()) DrawBodiesSetup();
}

void TBinOrbitPage::BinOrbPicMouseUp(int X, int Y) {
  LastX = X;
  LastY = Y;
  MouseMode = 0;
  if (!Running()) DrawBodiesSetup();
}

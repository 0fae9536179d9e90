#include "app/pages/coil_page.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/page_kit.h"
#include "platform/numbers.h"
#include "platform/paint_box.h"
#include "platform/printer.h"
#include "platform/qt_bridge.h"
#include "widgets/speed_button.h"

namespace {
constexpr int PictureSize = 600;
} // namespace

TCoilPage::TCoilPage(TPageHost &H) : TTopicPage(H), Solenoid(std::make_unique<TSolenoid>(PictureSize, PictureSize)) {
  QWidget *Tab = Content(TSheet::Mag);
  QVBoxLayout *Col = MakeColumn(Tab);
  MagToolbar = MakeToolbar(Tab, "MagToolbar");
  MPlotBtn = MakeSpeedButton(MagToolbar, "MPlotBtn", "plot", "plot field", "plote");
  MPlotBtn->OnClick = [this] { MPlotBtnClick(); };
  MAbortBtn = MakeSpeedButton(MagToolbar, "MAbortBtn", "stop", "stop plotting", "stop");
  MAbortBtn->OnClick = [this] { MAbortBtnClick(); };
  MAbortBtn->SetEnabled(false);
  MGridBtn = MakeSpeedButton(MagToolbar, "MGridBtn", "grid", "", "grid");
  MGridBtn->SetGroupIndex(1);
  MGridBtn->SetAllowAllUp(true);
  MGridBtn->SetDown(true);
  MGridBtn->OnClick = [this] { MGridBtnClick(); };
  Col->addWidget(MagToolbar);

  auto *Grid = new QGridLayout();
  Grid->setContentsMargins(4, 2, 4, 4);
  Grid->setHorizontalSpacing(12);
  Grid->setVerticalSpacing(2);
  auto Changed = [this] { MTurnsHsbChange(); };
  MTurnsLabel = MakeLabel(Tab, "MTurnsLabel", "turns 1");
  MsepLabel = MakeLabel(Tab, "MsepLabel", "coil spacing");
  MRadLabel = MakeLabel(Tab, "MRadLabel", "coil radius 50");
  MTurnsHsb = MakeScrollBar(Tab, "MTurnsHsb", Qt::Horizontal, 1, 20, 1, "set number of turns", Changed);
  MsepHsb = MakeScrollBar(Tab, "MsepHsb", Qt::Horizontal, 8, 100, 8, "set coil spacing", Changed);
  MRadiusHsb = MakeScrollBar(Tab, "MRadiusHsb", Qt::Horizontal, 20, 100, 50, "set radius of coils", Changed);
  Grid->addWidget(MTurnsLabel, 0, 0);
  Grid->addWidget(MsepLabel, 0, 1);
  Grid->addWidget(MRadLabel, 0, 2);
  Grid->addWidget(MTurnsHsb, 1, 0);
  Grid->addWidget(MsepHsb, 1, 1);
  Grid->addWidget(MRadiusHsb, 1, 2);
  Col->addLayout(Grid);

  MagSB = MakeScrollBox(Tab, "MagSB");
  MagFieldPic = MakePicture(MagSB, "MagFieldPic", PictureSize, PictureSize, crCross, "");
  Col->addWidget(MagSB, 1);
  MagFieldPic->OnPaint = [this] { MagFieldPicPaint(); };
  MagFieldPic->OnMouseMove = [this](TShiftState, int X, int Y) { MagFieldPicMouseMove(X, Y); };

  // The start-up plot, traced at once with nothing else running yet.
  Solenoid->Separation = MsepHsb->value();
  Solenoid->Draw(MagFieldPic->Canvas());
  Solenoid->PlotFieldLines(MagFieldPic->Canvas());
}

TCoilPage::~TCoilPage() { DestroyContent(); }

// ---- Idle state ----

void TCoilPage::UpdateIdleState(bool Idle) {
  if (Running()) return; // the run protocol holds the controls meanwhile
  MPlotBtn->SetEnabled(Idle);
  MAbortBtn->SetEnabled(false);
}

void TCoilPage::SetFieldItems(bool Idle) {
  for (TMenuItem I : {TMenuItem::ShowArrows, TMenuItem::ReverseCurrent, TMenuItem::FieldCopy, TMenuItem::FieldPrint})
    if (QAction *A = Host.MenuItem(I)) A->setEnabled(Idle);
}

void TCoilPage::FormShown() {
  CentreScrollBox(MagSB);
  MagFieldPic->Invalidate();
}

void TCoilPage::Shown() {
  MagFieldPic->Invalidate();
  CentreScrollBoxWhenLaidOut(MagSB, Centred);
}

void TCoilPage::Hidden() {
  Stop(TStopCause::TopicMenu);
  SetFieldItems(true); // the shared items are the next page's to set
}

void TCoilPage::Stop(TStopCause) {
  if (Running()) RequestStop();
}

// ---- The picture ----

void TCoilPage::Redraw() { Solenoid->DrawAll(MagFieldPic->Canvas()); }

void TCoilPage::MagFieldPicPaint() { Redraw(); }

void TCoilPage::MPlotBtnClick() {
  Run({{MPlotBtn, MTurnsHsb, MsepHsb, MRadiusHsb, MGridBtn}, {MAbortBtn}}, [this](const TYield &Yield) {
    SetFieldItems(false);
    Solenoid->Draw(MagFieldPic->Canvas());
    Solenoid->PlotFieldLines(MagFieldPic->Canvas(), Yield);
    SetFieldItems(true);
  });
}

void TCoilPage::MAbortBtnClick() { RequestStop(); }

void TCoilPage::MTurnsHsbChange() {
  TSolenoid &S = *Solenoid;
  S.Turns = MTurnsHsb->value();
  S.Separation = MsepHsb->value();
  if (S.Radius != MRadiusHsb->value()) S.SetRadius(MRadiusHsb->value());
  MTurnsLabel->setText(ToQString("turns " + IntToStr(S.Turns)));
  MRadLabel->setText(ToQString("coil radius " + IntToStr(S.Radius)));
  // The lines belong to the old coil; "plot" draws them again.
  S.LinesPlotted = false;
  S.Lines.clear();
  S.Draw(MagFieldPic->Canvas());
}

void TCoilPage::MagFieldPicMouseMove(int X, int Y) {
  const TSolenoid &S = *Solenoid;
  Host.SetStatusText(0, "x " + IntToStr(X - S.Width / 2) + ":y " + IntToStr(S.Height / 2 - Y));
  Host.SetStatusText(1, Format("Field strength= %f", S.FieldStrengthAt(X, Y) * 10));
}

void TCoilPage::Reversecurrent1Click() {
  if (Running()) return;
  Solenoid->CurrentDir = -Solenoid->CurrentDir;
  Redraw();
}

void TCoilPage::MGridBtnClick() {
  Solenoid->ShowGrid = MGridBtn->Down();
  if (!Running()) Redraw();
}

void TCoilPage::ShowArrowsClick() {
  if (Running()) return;
  Solenoid->ShowArrows = !Solenoid->ShowArrows;
  if (QAction *A = Host.MenuItem(TMenuItem::ShowArrows)) A->setChecked(bool(Solenoid->ShowArrows));
  Redraw();
}

// ---- Field menu ----

bool TCoilPage::UsesMenu(TSharedMenu Menu, TSheet S) const { return Menu == TSharedMenu::Field && S == TSheet::Mag; }

void TCoilPage::MenuPopup(TSharedMenu Menu) {
  if (Menu != TSharedMenu::Field) return;
  for (TMenuItem I : {TMenuItem::ContourResolution, TMenuItem::DeleteFieldLines, TMenuItem::DeleteContours})
    if (QAction *A = Host.MenuItem(I)) A->setEnabled(false);
  if (QAction *A = Host.MenuItem(TMenuItem::ShowArrows)) {
    A->setCheckable(true);
    A->setChecked(bool(Solenoid->ShowArrows));
  }
  SetFieldItems(!Running() && !Host.BusyFlag());
}

void TCoilPage::MenuClick(TMenuItem Item) {
  if (Host.ActiveSheet() != TSheet::Mag) return;
  if (Item == TMenuItem::ShowArrows) ShowArrowsClick();
  else if (Item == TMenuItem::ReverseCurrent) Reversecurrent1Click();
}

void TCoilPage::CopyPicture() {
  if (Host.ActiveSheet() != TSheet::Mag) return;
  WhenIdle([this] { Solenoid->CopyToClipboard(); });
}

void TCoilPage::PrintPicture() {
  if (Host.ActiveSheet() != TSheet::Mag) return;
  WhenIdle([this] { PrintPictureWithDialog(Host, [this](int Copies) { Solenoid->Print(Copies); }); });
}

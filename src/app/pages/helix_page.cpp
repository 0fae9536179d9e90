#include "app/pages/helix_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/page_kit.h"
#include "platform/numbers.h"
#include "platform/paint_box.h"
#include "platform/qt_bridge.h"
#include "sim/helix.h"
#include "widgets/speed_button.h"

THelixPage::THelixPage(TPageHost &H) : TTopicPage(H) {
  QWidget *Tab = Content(TSheet::Helix);
  QVBoxLayout *Col = MakeColumn(Tab, 4, 4);
  HelixToolbar = MakeToolbar(Tab, "HelixToolbar");
  sprFieldBtn = MakeSpeedButton(HelixToolbar, "sprFieldBtn", "field", "set field direction", "");
  sprFieldBtn->SetGroupIndex(1);
  sprFieldBtn->SetAllowAllUp(true);
  sprFieldBtn->SetDown(true);
  SetResourceGlyph(sprFieldBtn, "BUP");
  sprFieldBtn->OnClick = [this] { sprFieldBtnClick(); };
  sprResetBtn = MakeSpeedButton(HelixToolbar, "sprResetBtn", "reset", "reset rotation", "reset");
  sprResetBtn->SetEnabled(false);
  sprResetBtn->OnClick = [this] { sprResetBtnClick(); };
  Col->addWidget(HelixToolbar);

  auto *Grid = new QGridLayout();
  Grid->setHorizontalSpacing(12);
  Grid->setVerticalSpacing(2);
  auto Changed = [this] { SpiralHsbChange(); };
  sprAngleLabel = MakeLabel(Tab, "sprAngleLabel", "");
  sprGunLabel = MakeLabel(Tab, "sprGunLabel", "");
  sprFieldLabel = MakeLabel(Tab, "sprFieldLabel", "");
  SpiralHsb = MakeScrollBar(Tab, "SpiralHsb", Qt::Horizontal, -80, 80, 80, "set entry angle", Changed);
  sprGunHsb = MakeScrollBar(Tab, "sprGunHsb", Qt::Horizontal, 10, 100, 25, "set accelerating voltage", Changed);
  sprFieldHsb = MakeScrollBar(Tab, "sprFieldHsb", Qt::Horizontal, 350, 1000, 500, "set magnetic field strength", Changed);
  Grid->addWidget(sprGunLabel, 0, 0);
  Grid->addWidget(sprFieldLabel, 0, 1);
  Grid->addWidget(sprGunHsb, 1, 0);
  Grid->addWidget(sprFieldHsb, 1, 1);
  Grid->addWidget(sprAngleLabel, 2, 0);
  Grid->addWidget(SpiralHsb, 3, 0);
  Col->addLayout(Grid);

  SpiralPic = MakePicture(Tab, "SpiralPic", 350, 320, crHandPoint, "Drag to rotate picture");
  SpiralPic->setFixedSize(350, 320); // the layout keeps the picture its size
  Col->addWidget(SpiralPic, 0, Qt::AlignLeft | Qt::AlignTop);
  Col->addStretch(1);
  SpiralPic->OnPaint = [this] { SpiralPicPaint(); };
  SpiralPic->OnMouseDown = [this](TMouseButton, TShiftState, int X, int Y) { SpiralPicMouseDown(X, Y); };
  SpiralPic->OnMouseMove = [this](TShiftState, int X, int Y) { SpiralPicMouseMove(X, Y); };
  SpiralPic->OnMouseUp = [this](TMouseButton, TShiftState, int, int) { SpiralPicMouseUp(); };
  SpiralHsbChange();
}

THelixPage::~THelixPage() { DestroyContent(); }

void THelixPage::UpdateIdleState(bool) { sprResetBtn->SetEnabled(!(HelixView == StartView)); }

void THelixPage::Shown() { SpiralPic->Invalidate(); }

void THelixPage::Stop(TStopCause) { Dragging = false; }

void THelixPage::SpiralPicPaint() {
  DrawHelix(SpiralPic->Canvas(), sprGunHsb->value(), sprFieldHsb->value(), HelixView, SpiralHsb->value(),
            sprFieldBtn->Down());
}

void THelixPage::SpiralHsbChange() {
  SpiralPicPaint();
  sprFieldLabel->setText(ToQString(Format("field %f mT", sprFieldHsb->value() / 100.0)));
  sprGunLabel->setText(ToQString(Format("gun p.d. %f kV", sprGunHsb->value() / 100.0)));
  sprAngleLabel->setText(ToQString(Format("angle %d", SpiralHsb->value())));
}

void THelixPage::sprFieldBtnClick() {
  SpiralPicPaint();
  SetResourceGlyph(sprFieldBtn, sprFieldBtn->Down() ? "BUP" : "BDOWN");
}

void THelixPage::sprResetBtnClick() {
  HelixView = StartView;
  SpiralPicPaint();
}

void THelixPage::SpiralPicMouseDown(int X, int Y) {
  Dragging = true;
  Turning.Start(X, Y, HelixView);
}

void THelixPage::SpiralPicMouseMove(int X, int Y) {
  if (!Dragging) return;
  // Not beyond 75 degrees: the cube seen edge-on shows nothing of the helix.
  HelixView = Turning.Move(X, Y, 75);
  SpiralPicPaint();
}

void THelixPage::SpiralPicMouseUp() { Dragging = false; }

#include "app/pages/conductor_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cstdlib>

#include "app/page_kit.h"
#include "platform/paint_box.h"
#include "platform/qt_bridge.h"
#include "sim/conductor.h"

std::string BilAngleText(int Rotation) {
  const int R = std::abs(Rotation);
  const int Shown = R > 90 ? R - 90 : 90 - R;
  return "Angle between wire and field " + std::to_string(Shown) + "\xBA";
}

TConductorPage::TConductorPage(TPageHost &H) : TTopicPage(H) {
  QWidget *Sheet = Content(TSheet::BIL);
  QVBoxLayout *Col = MakeColumn(Sheet, 4, 2);
  auto Changed = [this] { BilCurrentHsbChange(); };
  auto *Grid = new QGridLayout();
  Grid->setHorizontalSpacing(12);
  Grid->setVerticalSpacing(2);
  BilCurrentLabel = MakeLabel(Sheet, "BilCurrentLabel", "Current (A)");
  BilAngleLabel = MakeLabel(Sheet, "BilAngleLabel", BilAngleText(30));
  BilCurrentHsb = MakeScrollBar(Sheet, "BilCurrentHsb", Qt::Horizontal, 0, 500, 100, "set current", Changed);
  BilRotateHsb = MakeScrollBar(Sheet, "BilRotateHsb", Qt::Horizontal, -180, 180, 30, "rotate magnet", Changed);
  Grid->addWidget(BilCurrentLabel, 0, 0);
  Grid->addWidget(BilAngleLabel, 0, 1);
  Grid->addWidget(BilCurrentHsb, 1, 0);
  Grid->addWidget(BilRotateHsb, 1, 1);
  Col->addLayout(Grid);
  QScrollArea *Box = MakeScrollBox(Sheet, "BilSB");
  BilPic = MakePicture(Box, "BilPic", 301, 401, crDefault, "");
  Col->addWidget(Box, 1);
  BilPic->OnPaint = [this] { BilPicPaint(); };
}

TConductorPage::~TConductorPage() { DestroyContent(); }

void TConductorPage::Shown() { BilPic->Invalidate(); }

void TConductorPage::BilPicPaint() {
  DrawBil(BilPic->Canvas(), 0, BilRotateHsb->value(), BilCurrentHsb->value() / 100.0);
}

void TConductorPage::BilCurrentHsbChange() {
  BilPicPaint();
  BilAngleLabel->setText(ToQString(BilAngleText(BilRotateHsb->value())));
}

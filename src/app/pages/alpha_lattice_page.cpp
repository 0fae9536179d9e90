#include "app/pages/alpha_lattice_page.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/page_kit.h"
#include "platform/frame_pacer.h"
#include "platform/numbers.h"
#include "platform/paint_box.h"
#include "platform/qt_bridge.h"
#include "sim/alpha_lattice.h"
#include "sim/shared_constants.h"
#include "widgets/speed_button.h"

TAlphaLatticePage::TAlphaLatticePage(TPageHost &H) : TTopicPage(H) {
  QWidget *Sheet = Content(TSheet::Alpha2);
  QVBoxLayout *Col = MakeColumn(Sheet);
  auto *Top = new QHBoxLayout();
  Top->setContentsMargins(0, 0, 4, 0);
  QWidget *Toolbar = MakeToolbar(Sheet, "Alpha2Toolbar");
  AlphaStartBtn = MakeSpeedButton(Toolbar, "AlphaStartBtn", "start", "start animation", "run");
  AlphaStartBtn->OnClick = [this] { AlphaStartBtnClick(); };
  AlphaStopBtn = MakeSpeedButton(Toolbar, "AlphaStopBtn", "stop", "stop animation", "stop");
  AlphaStopBtn->OnClick = [this] { AlphaStopBtnClick(); };
  Top->addWidget(Toolbar);
  TracksChk = new QCheckBox("show path", Sheet);
  TracksChk->setObjectName("TracksChk");
  SetHint(TracksChk, "show alpha particle path");
  Top->addWidget(TracksChk);
  auto *Start = new QVBoxLayout();
  Start->setSpacing(1);
  Alpha2posLabel = MakeLabel(Sheet, "Alpha2posLabel", "initial position 3");
  YposHsb = MakeScrollBar(Sheet, "YposHsb", Qt::Horizontal, -150, 150, 3, "set initial position",
                          [this] { YposHsbChange(); }, 10);
  Start->addWidget(Alpha2posLabel);
  Start->addWidget(YposHsb);
  Top->addLayout(Start, 1);
  Col->addLayout(Top);

  const TLatticeLayout L = TLatticeLayout::ForScreenMode(ScreenMode);
  QScrollArea *Box = MakeScrollBox(Sheet, "Alpha2SB");
  Alpha2pic = MakePicture(Box, "Alpha2pic", L.Width(), L.Height(), crDefault, "");
  Alpha2pic->OnPaint = [this] { Alpha2picPaint(); };
  Col->addWidget(Box, 1);
}

TAlphaLatticePage::~TAlphaLatticePage() { DestroyContent(); }

void TAlphaLatticePage::YposHsbChange() {
  Alpha2posLabel->setText(ToQString(Format("initial position %d", YposHsb->value())));
  if (!Running()) DrawAlphaLattice(Alpha2pic->Canvas(), YposHsb->value());
}

void TAlphaLatticePage::Alpha2picPaint() {
  // A running animation draws every frame whole; the still picture would flash between.
  if (!Running()) DrawAlphaLattice(Alpha2pic->Canvas(), YposHsb->value());
}

void TAlphaLatticePage::AlphaStartBtnClick() {
  Run({{AlphaStartBtn, YposHsb}, {AlphaStopBtn}}, [this](const TYield &Yield) {
    TFramePacer Pacer;
    const TYield Paced = [&] {
      Pacer.WaitForNextFrame();
      return Yield();
    };
    const TAlphaState S = RunAlphaLattice(Alpha2pic->Canvas(), TracksChk->isChecked(), AlphaStartX,
                                          YposHsb->value() / 100.0, AlphaStartVX, 0.0, Paced);
    LastRunFrames = S.Frames;
    // The last frame stays, and the red dot still marks where the next run starts.
    DrawAlphaStartMarker(Alpha2pic->Canvas(), YposHsb->value(),
                         TLatticeLayout::ForScreenMode(ScreenMode));
  });
}

void TAlphaLatticePage::AlphaStopBtnClick() { RequestStop(); }

void TAlphaLatticePage::Stop(TStopCause) {
  if (Running()) RequestStop();
}

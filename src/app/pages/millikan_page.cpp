#include "app/pages/millikan_page.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/page_kit.h"
#include "platform/numbers.h"
#include "platform/paint_box.h"
#include "platform/qt_bridge.h"
#include "platform/timer.h"
#include "widgets/speed_button.h"

TMillikanPage::TMillikanPage(TPageHost &H) : TTopicPage(H), Drops(std::make_unique<TOilDropExpt>()) {
  QWidget *Sheet = Content(TSheet::Millikan);
  QVBoxLayout *Col = MakeColumn(Sheet);
  QWidget *Toolbar = MakeToolbar(Sheet, "MillikanToolbar");
  mkStartBtn = MakeSpeedButton(Toolbar, "mkStartBtn", "start", "start experiment", "run");
  mkStartBtn->SetGroupIndex(1);
  mkStartBtn->SetAllowAllUp(true);
  mkStartBtn->OnClick = [this] { mkStartBtnClick(); };
  mkResetBtn = MakeSpeedButton(Toolbar, "mkResetBtn", "reset clock", "reset clock|Reset the clock to zero",
                               "reset", 64);
  mkResetBtn->OnClick = [this] { mkResetBtnClick(); };
  mkTimeScaleBtn = MakeSpeedButton(Toolbar, "mkTimeScaleBtn", "time scale", "set time scale", "clock", 64);
  mkTimePUM = MakePopupMenu(Sheet, "mkTimePUM");
  const std::pair<const char *, int> Scales[] = {{"real time", 0}, {"x 10", 1}, {"x 100", 2}};
  for (auto [Caption, Tag] : Scales) AddMenuItem(mkTimePUM, Caption, Tag, [this, T = Tag] { SetMillikanTimeScale(T); });
  mkTimeScaleBtn->SetDropDownMenu(mkTimePUM);
  mkTimeScaleBtn->OnPopup = [this] { mkTimePUMPopup(); };
  Col->addWidget(Toolbar);

  auto *Row = new QHBoxLayout();
  Row->setContentsMargins(4, 4, 4, 4);
  Row->setSpacing(8);
  MillikanPic = MakePicture(Sheet, "MillikanPic", MillikanPicSize, MillikanPicSize, crDefault, "");
  MillikanPic->setFixedSize(MillikanPicSize, MillikanPicSize);
  MillikanPic->OnPaint = [this] { MillikanPicPaint(); };
  Row->addWidget(MillikanPic, 0, Qt::AlignTop);
  auto *Readings = new QVBoxLayout();
  Readings->setSpacing(2);
  Readings->addWidget(MakeLabel(Sheet, "mkTimeCaption", "time(min:sec)"));
  mkTimeLabel = MakeLabel(Sheet, "mkTimeLabel", "0 : 00");
  Readings->addWidget(mkTimeLabel);
  Readings->addSpacing(16);
  Readings->addWidget(MakeLabel(Sheet, "mkVoltCaption", "voltage"));
  mkVoltLabel = MakeLabel(Sheet, "mkVoltLabel", "0.000  (kV)");
  Readings->addWidget(mkVoltLabel);
  Readings->addStretch(1);
  Row->addLayout(Readings);
  mkVoltHsb = MakeScrollBar(Sheet, "mkVoltHsb", Qt::Vertical, 0, 3000, 3000,
                            "set voltage|Adjust voltage between plates", [this] { mkVoltHsbChange(); }, 100);
  mkVoltHsb->setFixedHeight(MillikanPicSize);
  Row->addWidget(mkVoltHsb, 0, Qt::AlignTop);
  Row->addStretch(1);
  Col->addLayout(Row);
  Col->addStretch(1);
}

TMillikanPage::~TMillikanPage() { DestroyContent(); }

int TMillikanPage::Voltage() const { return 3000 - mkVoltHsb->value(); }

void TMillikanPage::mkVoltHsbChange() {
  mkVoltLabel->setText(ToQString(Format("%1.3f (kV)", Voltage() / 1000.0)));
}

void TMillikanPage::mkStartBtnClick() {
  const bool On = mkStartBtn->Down();
  Host.PageTimer().SetEnabled(On);
  mkStartBtn->SetCaption(On ? "stop" : "start");
}

void TMillikanPage::mkResetBtnClick() {
  MillikanClock = 0;
  mkTimeLabel->setText("0 : 00");
}

void TMillikanPage::SetMillikanTimeScale(int Tag) { MillikanTimeScale = Tag; }

void TMillikanPage::mkTimePUMPopup() { TickTag(mkTimePUM, MillikanTimeScale); }

void TMillikanPage::Timer1Timer() {
  // The window's timer runs only while this page's clock does.
  Drops->MoveDrops(Voltage(), MillikanTimeScale);
  if (MillikanClockTick(MillikanClock, MillikanTimeScale))
    mkTimeLabel->setText(ToQString(MillikanClockText(MillikanClock)));
  Drops->DrawMillikanView(MillikanPic->Canvas());
}

void TMillikanPage::MillikanPicPaint() { Drops->DrawMillikanView(MillikanPic->Canvas()); }

void TMillikanPage::Stop(TStopCause Cause) {
  // A Topics menu change or "index" leaves the clock running on the hidden page.
  if (Cause != TStopCause::TopicLink && Cause != TStopCause::Close) return;
  Host.PageTimer().SetEnabled(false);
  mkStartBtn->SetDown(false);
  mkStartBtn->SetCaption("start");
}

#include "app/pages/induction_page.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/page_kit.h"
#include "platform/frame_pacer.h"
#include "platform/paint_box.h"
#include "sim/lenz.h"
#include "widgets/speed_button.h"

TInductionPage::TInductionPage(TPageHost &H) : TTopicPage(H) {
  QWidget *Sheet = Content(TSheet::Lenz);
  QVBoxLayout *Col = MakeColumn(Sheet);
  QWidget *Bar = MakeToolbar(Sheet, "LenzToolbar");
  LenzStartBtn = MakeSpeedButton(Bar, "LenzStartBtn", "start", "start animation", "run");
  LenzStartBtn->OnClick = [this] { LenzStartBtnClick(); };
  LenzStopBtn = MakeSpeedButton(Bar, "LenzStopBtn", "stop", "stop animation", "stop");
  LenzStopBtn->SetEnabled(false);
  LenzStopBtn->OnClick = [this] { LenzStopBtnClick(); };
  TFlowLayout *Row = ToolbarLayout(Bar);
  Row->AddSpacing(8);
  auto Labelled = [&](QLabel *&Label, const char *LabelName, const char *Caption, QScrollBar *Bar_) {
    auto *Box = new QWidget(Bar);
    QVBoxLayout *L = MakeColumn(Box, 0, 1);
    Label = MakeLabel(Box, LabelName, Caption);
    Bar_->setParent(Box);
    Bar_->setMinimumWidth(120);
    L->addWidget(Label);
    L->addWidget(Bar_);
    Row->addWidget(Box);
  };
  LenzCoilHsb = MakeScrollBar(Bar, "LenzCoilHsb", Qt::Horizontal, 1, 30, 1, "set number of coils",
                              [this] { LenzCoilHsbChange(); });
  Labelled(LenzCoilLabel, "LenzCoilLabel", "Number of coils", LenzCoilHsb);
  Row->AddSpacing(8);
  LenzMagHsb = MakeScrollBar(Bar, "LenzMagHsb", Qt::Horizontal, 0, 400, 0, "move magnet",
                             [this] { LenzMagHsbChange(); });
  Labelled(LenzMagLabel, "LenzMagLabel", "Magnet position", LenzMagHsb);
  Col->addWidget(Bar);

  auto *Body = new QWidget(Sheet);
  auto *Rows = new QHBoxLayout(Body);
  Rows->setContentsMargins(0, 0, 0, 0);
  Rows->setSpacing(2);
  auto *LeftPanel = new QWidget(Body);
  LeftPanel->setObjectName("LenzPanel");
  QVBoxLayout *PanelCol = MakeColumn(LeftPanel, 2);
  LenzPic = MakePicture(LeftPanel, "LenzPic", 81, 430, crDefault, "");
  LenzPic->setFixedSize(81, 430);
  PanelCol->addWidget(LenzPic);
  PanelCol->addStretch(1);
  Rows->addWidget(LeftPanel);
  LenzChartBox = MakePicture(Body, "LenzChartBox", 200, 200, crDefault, "");
  LenzChartBox->setMinimumSize(100, 100);
  LenzChartBox->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  Rows->addWidget(LenzChartBox, 1);
  Col->addWidget(Body, 1);
  LenzPic->OnPaint = [this] { LenzPicPaint(); };

  LenzChart.AllowZoom = false;
  LenzChart.AllowPanning = TPanningMode::pmNone;
  LenzChart.SetView3D(false);
  LenzChart.SetColor(clWhite);
  LenzChart.SetBackColor(clWhite);
  LenzChart.Title.SetVisible(false);
  LenzChart.Legend.SetVisible(false);
  LenzChart.BottomAxis.Title.SetCaption("time");
  LenzChart.LeftAxis.SetMinMax(-1.2, 1.2);
  LenzChart.LeftAxis.SetIncrement(0.1);
  LenzChart.LeftAxis.Title.SetCaption("emf");
  Series5 = LenzChart.AddSeries<TFastLineSeries>();
  Series5->Name = "Series5";
  Series5->SetSeriesColor(clRed);
  Series6 = LenzChart.AddSeries<TPointSeries>();
  Series6->Name = "Series6";
  Series6->SetSeriesColor(clGreen);
  Series6->Pointer.SetStyle(psCircle);
  Series6->Pointer.SetVisible(true);
  Series6->Marks.SetVisible(false);
  HostChart(LenzChart, LenzChartBox, "");

  // The pulse of one coil, the marker at its start, the magnet's range: one step a point.
  TChartSeriesSink Sink(*Series5);
  PlotLenzEmf(Sink, LenzCoilHsb->value());
  Series6->AddXY(Series5->GetxValue(0), 0);
  LenzMagHsb->setMaximum(Series5->Count() - 1);
}

TInductionPage::~TInductionPage() {
  UnhostChart(LenzChart, LenzChartBox);
  DestroyContent();
}

void TInductionPage::Shown() {
  LenzPic->Invalidate();
  LenzChart.Invalidate();
}

void TInductionPage::MoveMarker() {
  const int M = LenzMagHsb->value();
  if (Series6->Count() < 1 || M >= Series5->Count()) return;
  Series6->SetXValue(0, Series5->GetxValue(M));
  Series6->SetYValue(0, Series5->GetyValue(M));
}

void TInductionPage::LenzCoilHsbChange() {
  TChartSeriesSink Sink(*Series5);
  PlotLenzEmf(Sink, LenzCoilHsb->value());
  MoveMarker();
  LenzPicPaint();
  LenzMagHsb->setMaximum(Series5->Count() - 1);
}

void TInductionPage::LenzMagHsbChange() {
  MoveMarker();
  LenzPicPaint();
}

void TInductionPage::LenzPicPaint() {
  DrawLenzApparatus(LenzPic->Canvas(), LenzCoilHsb->value(), LenzMagHsb->value());
}

void TInductionPage::LenzStartBtnClick() {
  Run({{LenzStartBtn}, {LenzStopBtn}}, [this](const TYield &Yield) {
    TFramePacer Pacer;
    int P = LenzMagHsb->value() >= LenzMagHsb->maximum() ? 0 : LenzMagHsb->value();
    do {
      LenzMagHsb->setValue(P); // its change handler draws the frame
      ++P;
      Pacer.WaitForNextFrame();
    } while (Yield() && P <= LenzMagHsb->maximum());
  });
}

void TInductionPage::LenzStopBtnClick() {
  RequestStop();
  LenzStartBtn->SetEnabled(true);
  LenzStopBtn->SetEnabled(false);
}

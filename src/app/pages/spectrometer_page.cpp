#include "app/pages/spectrometer_page.h"

#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

#include "platform/paint_box.h"
#include "widgets/speed_button.h"

TSpectrometerPage::TSpectrometerPage(TPageHost &H) : TTopicPage(H) {
  QWidget *Sheet = Content(TSheet::MS);
  QVBoxLayout *Col = MakeColumn(Sheet);
  QWidget *Bar = MakeToolbar(Sheet, "MSToolbar");
  NewIsotopeBtn = MakeSpeedButton(Bar, "NewIsotopeBtn", "new masses", "generate a new range of masses",
                                  "run", 72);
  NewIsotopeBtn->OnClick = [this] { NewIsotopeBtnClick(); };
  TFlowLayout *Row = ToolbarLayout(Bar);
  Row->AddSpacing(8);
  auto *Box = new QWidget(Bar);
  QVBoxLayout *L = MakeColumn(Box, 0, 1);
  MSpecLabel = MakeLabel(Box, "MSpecLabel", "Accelerating voltage");
  MSpecHsb = MakeScrollBar(Box, "MSpecHsb", Qt::Horizontal, 4500, 10500, 4500, "Set magnetic field",
                           [this] { MSpecHsbChange(); }, 10);
  MSpecHsb->setMinimumWidth(200);
  L->addWidget(MSpecLabel);
  L->addWidget(MSpecHsb);
  Row->addWidget(Box);
  Col->addWidget(Bar);

  auto *PicRow = new QWidget(Sheet);
  QVBoxLayout *PicCol = MakeColumn(PicRow, 2);
  MSpecPic = MakePicture(PicRow, "MSpecPic", 380, 220, crDefault, "");
  MSpecPic->setFixedSize(380, 220);
  PicCol->addWidget(MSpecPic, 0, Qt::AlignLeft);
  Col->addWidget(PicRow);
  MSpecPic->OnPaint = [this] { MSpecPicPaint(); };

  MSChartBox = MakePicture(Sheet, "MSChartBox", 200, 150, crHandPoint, "");
  MSChartBox->setMinimumSize(100, 100);
  MSChartBox->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  Col->addWidget(MSChartBox, 1);
  MSChart.SetView3D(false);
  MSChart.SetColor(clWhite);
  MSChart.SetBackColor(clWhite);
  MSChart.Title.SetVisible(false);
  MSChart.Legend.SetVisible(false);
  MSChart.BottomAxis.SetMinMax(0, 200);
  MSChart.BottomAxis.Title.SetCaption("mass");
  MSChart.LeftAxis.SetAutomaticMinimum(false);
  MSChart.LeftAxis.SetMinimum(0);
  MSChart.LeftAxis.Title.SetCaption("% Abundance");
  FastLineSeries1 = MSChart.AddSeries<TFastLineSeries>();
  FastLineSeries1->Name = "FastLineSeries1";
  FastLineSeries1->SetSeriesColor(clRed);
  FastLineSeries2 = MSChart.AddSeries<TFastLineSeries>();
  FastLineSeries2->Name = "FastLineSeries2";
  FastLineSeries2->SetSeriesColor(clGreen);
  HostChart(MSChart, MSChartBox, "Drag with left mouse button to zoom; Drag with right mouse button to pan");

  SpectrumSink = std::make_unique<TChartSeriesSink>(*FastLineSeries1);
  MarkerSink = std::make_unique<TChartSeriesSink>(*FastLineSeries2);
  MassSpec = std::make_unique<TMassSpectrometer>(MSpecPic->Canvas(), *SpectrumSink, *MarkerSink);
}

TSpectrometerPage::~TSpectrometerPage() {
  MassSpec.reset();
  UnhostChart(MSChart, MSChartBox);
  DestroyContent();
}

void TSpectrometerPage::Shown() {
  MSpecPic->Invalidate();
  MSChart.Invalidate();
}

void TSpectrometerPage::MSpecPicPaint() { MassSpec->Draw(MSpecHsb->value()); }

void TSpectrometerPage::MSpecHsbChange() { MSpecPicPaint(); }

void TSpectrometerPage::NewIsotopeBtnClick() {
  MassSpec->NewMasses();
  MassSpec->Draw(MSpecHsb->value());
}

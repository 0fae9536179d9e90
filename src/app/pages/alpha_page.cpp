#include "app/pages/alpha_page.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cstdlib>

#include "app/page_kit.h"
#include "platform/numbers.h"
#include "platform/paint_box.h"
#include "platform/qt_bridge.h"
#include "sim/alpha_scattering.h"
#include "widgets/speed_button.h"

TAlphaPage::TAlphaPage(TPageHost &H) : TTopicPage(H) {
  QWidget *Sheet = Content(TSheet::Alpha);
  QVBoxLayout *Col = MakeColumn(Sheet);
  auto *Top = new QHBoxLayout();
  Top->setContentsMargins(0, 0, 4, 0);
  QWidget *Toolbar = MakeToolbar(Sheet, "AlphaToolbar");
  KitSpeedButton1 = MakeSpeedButton(Toolbar, "KitSpeedButton1", "energy",
                                    "alpha particle energy|Set the kinetic energy of the alpha particles",
                                    "energy", 50);
  AlphaPUM = MakePopupMenu(Sheet, "AlphaPUM");
  const char *Energies[] = {"5 MeV", "6 MeV", "7 Mev", "8 MeV", "9 MeV", "10 MeV"};
  for (int Tag = 5; Tag <= 10; ++Tag)
    AddMenuItem(AlphaPUM, Energies[Tag - 5], Tag, [this, Tag] { SetAlphaEnergy(Tag); });
  KitSpeedButton1->SetDropDownMenu(AlphaPUM);
  KitSpeedButton1->OnPopup = [this] { AlphaPUMPopup(); };
  Top->addWidget(Toolbar);
  auto *Labels = new QVBoxLayout();
  Labels->setSpacing(1);
  SrcPosLabel = MakeLabel(Sheet, "SrcPosLabel", "Source position = 12.5");
  ScatLabel = MakeLabel(Sheet, "ScatLabel", "Scattering angle = 90.0");
  MevLabel = MakeLabel(Sheet, "MevLabel", "Kinetic energy = 5  MeV");
  for (QLabel *L : {SrcPosLabel, ScatLabel, MevLabel}) Labels->addWidget(L);
  Top->addLayout(Labels, 1);
  Col->addLayout(Top);

  auto *Row = new QHBoxLayout();
  Row->setContentsMargins(4, 4, 4, 4);
  Row->setSpacing(4);
  AlphaPic = MakePicture(Sheet, "AlphaPic", 366, 304, crDefault, "");
  AlphaPic->setFixedSize(366, 304);
  AlphaPic->OnPaint = [this] { AlphaPicPaint(); };
  Row->addWidget(AlphaPic, 0, Qt::AlignTop);
  SourceVsb = MakeScrollBar(Sheet, "SourceVsb", Qt::Vertical, -120, 120, 0,
                            "move source|Set the postion of the alpha particle source",
                            [this] { SourceVsbChange(); }, 10);
  SourceVsb->setFixedHeight(304);
  Row->addWidget(SourceVsb, 0, Qt::AlignTop);
  Row->addStretch(1);
  Col->addLayout(Row);
  Col->addStretch(1);
  // The labels describe the picture from the start: source on the axis, head-on.
  SourceVsbChange();
}

TAlphaPage::~TAlphaPage() { DestroyContent(); }

int TAlphaPage::ScaleA() const { return AlphaScale(AlphaEnergy); }

void TAlphaPage::SetAlphaEnergy(int Tag) {
  AlphaEnergy = Tag;
  DrawAlphaScattering(AlphaPic->Canvas(), SourceVsb->value(), ScaleA());
  MevLabel->setText(ToQString("Kinetic energy = " + std::to_string(AlphaEnergy) + " MeV"));
  // The angle depends on the energy too.
  ScatLabel->setText(ToQString(Format("Scattering angle = %1.1f", ScatteringAngle(SourceVsb->value(), ScaleA()))));
}

void TAlphaPage::AlphaPUMPopup() { TickTag(AlphaPUM, AlphaEnergy); }

void TAlphaPage::AlphaPicPaint() { DrawAlphaScattering(AlphaPic->Canvas(), SourceVsb->value(), ScaleA()); }

void TAlphaPage::SourceVsbChange() {
  const int B = SourceVsb->value();
  DrawAlphaScattering(AlphaPic->Canvas(), B, ScaleA());
  SrcPosLabel->setText(ToQString(Format("Source position = %1.1f", std::abs(B) / 2.0)));
  ScatLabel->setText(ToQString(Format("Scattering angle = %1.1f", ScatteringAngle(B, ScaleA()))));
}

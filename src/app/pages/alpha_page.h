#pragma once
// Alpha scattering by a single nucleus, on AlphaTab: the energy menu and the source's
// height set the hyperbolic track; the labels give the source position, the scattering
// angle and the energy.
#include "app/topic_page.h"

class QLabel;
class QMenu;
class QScrollBar;
class TKitSpeedButton;
class TPaintBox;

class TAlphaPage : public TTopicPage {
public:
  explicit TAlphaPage(TPageHost &Host);
  ~TAlphaPage() override;

  void SetAlphaEnergy(int Tag);
  void AlphaPUMPopup();
  void AlphaPicPaint();
  void SourceVsbChange();
  // The closest-approach scale of the present energy.
  int ScaleA() const;

  int AlphaEnergy = 5; // MeV

  TKitSpeedButton *KitSpeedButton1 = nullptr;
  QMenu *AlphaPUM = nullptr;
  QLabel *SrcPosLabel = nullptr, *ScatLabel = nullptr, *MevLabel = nullptr;
  QScrollBar *SourceVsb = nullptr;
  TPaintBox *AlphaPic = nullptr;
};

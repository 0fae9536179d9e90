#pragma once
// "Thompson's experiment for e/m", sheet JJTab: Thomson's deflection tube. Three scroll
// bars set the gun p.d., the electric and the magnetic field; the beam between the plates
// is computed and drawn on a picture of the tube at every change.
#include "app/topic_page.h"

class QLabel;
class QScrollBar;
class TPaintBox;

class TJJPage : public TTopicPage {
public:
  explicit TJJPage(TPageHost &AHost);
  ~TJJPage() override;
  void Shown() override;

  void JJgunHsbChange();
  void JJPicPaint();

  QScrollBar *JJgunHsb = nullptr, *JJEfieldHsb = nullptr, *JJBfieldHsb = nullptr;
  QLabel *JJGunLabel = nullptr, *JJEfieldLabel = nullptr, *JJBfieldLabel = nullptr,
         *Label10 = nullptr;
  TPaintBox *JJPic = nullptr;
};

#pragma once
// The force on a current-carrying conductor, on BILtab: the current and the magnet's turn
// set by two scroll bars, the balance reading drawn in the picture, and the angle between
// wire and field in a label.
#include <string>

#include "app/topic_page.h"

class QLabel;
class QScrollBar;
class TPaintBox;

// "Angle between wire and field 60º" for the magnet turned by Rotation degrees (the
// masculine ordinal 0xBA of the Windows code page, as the program's texts hold it).
std::string BilAngleText(int Rotation);

class TConductorPage : public TTopicPage {
public:
  explicit TConductorPage(TPageHost &Host);
  ~TConductorPage() override;
  void Shown() override;

  QLabel *BilCurrentLabel = nullptr;
  QScrollBar *BilCurrentHsb = nullptr; // current in hundredths of an ampere
  QScrollBar *BilRotateHsb = nullptr;  // the magnet's turn in degrees
  QLabel *BilAngleLabel = nullptr;
  TPaintBox *BilPic = nullptr;

  void BilPicPaint();
  void BilCurrentHsbChange();
};

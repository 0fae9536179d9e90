#pragma once
// TSpeedFrm: Speed > "Set animation speed". A track bar from "slow" to "fast" sets how
// many degrees the motor's or the dynamo's coil turns per frame; made for each use.
#include <QDialog>

class QLabel;
class QPushButton;
class QSlider;

class TSpeedFrm : public QDialog {
  Q_OBJECT
public:
  explicit TSpeedFrm(QWidget *Owner);
  QSlider *SpeedHsb = nullptr; // 1..10
  QLabel *SlowLabel = nullptr, *FastLabel = nullptr;
  QPushButton *ApplyBtn = nullptr, *CancelBtn = nullptr;
};

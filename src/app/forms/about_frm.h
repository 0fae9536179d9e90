#pragma once
// TAboutFrm: the Help menu's "About" box.
#include <QDialog>

class QLabel;
class TKitSpeedButton;

class TAboutFrm : public QDialog {
  Q_OBJECT
public:
  explicit TAboutFrm(QWidget *Parent = nullptr);
  QLabel *ProgramIcon = nullptr;
  QLabel *ProductName = nullptr;
  QLabel *Version = nullptr;
  TKitSpeedButton *OKButton = nullptr;
};

#pragma once
// TSplashFrm: the borderless start-up picture shown while the main window is built.
#include <QWidget>

class QLabel;

class TSplashFrm : public QWidget {
  Q_OBJECT
public:
  TSplashFrm();
  QLabel *Image1 = nullptr;
};

// The splash form while it is shown; nullptr once freed.
extern TSplashFrm *SplashFrm;
// Creates SplashFrm, shows it and paints it at once.
void ShowSplashForm();
// Frees SplashFrm (nothing when it is gone already).
void FreeSplashForm();

#pragma once
// "Planetary orbits (1)", sheet OrbitTab: one planet round a fixed sun. Four scroll bars
// set the start, "start" runs the orbit until "stop"; the picture zooms with a left drag
// and pans with a right drag, also while the orbit runs.
#include "app/topic_page.h"
#include "platform/input.h"
#include "sim/orbit_picture.h"

class QLabel;
class QScrollBar;
class TKitSpeedButton;
class TPaintBox;

// The orbit page's zoom (pixels per unit). The body page's arrow heads follow it too.
int &OrbitScale();

class TOrbitPage : public TTopicPage {
public:
  explicit TOrbitPage(TPageHost &AHost);
  ~TOrbitPage() override;
  void Shown() override;
  void Stop(TStopCause Cause) override;

  void PlanetXhsbChange();
  void orbStartBtnClick();
  void orbStopBtnClick();
  void orbCenterBtnClick();
  void OrbitPicPaint();
  void OrbitPicMouseDown(TMouseButton Button, int X, int Y);
  void OrbitPicMouseMove(int X, int Y);
  void OrbitPicMouseUp(int X, int Y);

  TOrbitView View() const { return {OrbitScale(), OrbitOriginX, OrbitOriginY}; }

  TKitSpeedButton *orbStartBtn = nullptr, *orbStopBtn = nullptr, *orbCenterBtn = nullptr;
  QScrollBar *PlanetXhsb = nullptr, *PlanetYhsb = nullptr, *PlanetVxhsb = nullptr,
             *PlanetVYhsb = nullptr;
  QLabel *PlanetXlabel = nullptr, *PlanetYlabel = nullptr, *PlanetVXlabel = nullptr,
         *PlanetVYlabel = nullptr;
  TPaintBox *OrbitPic = nullptr;

  int OrbitOriginX = 200, OrbitOriginY = 200;
  int MouseMode = 0; // 0 none, 2 pan, 3 zoom
  int LastX = 0, LastY = 0;
  int ScaleAtGrab = 100;

private:
  void DrawSetup();
};

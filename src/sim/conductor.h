#pragma once
// The force on a current-carrying conductor: a U-shaped magnet standing on an electronic
// balance, a rigid U-shaped wire hanging between its poles, a circuit with a battery, a
// rheostat and an ammeter, and a plan view of poles, wire and field. The user sets the
// current and turns the magnet about the vertical axis.
//
// F = B I l sin(angle between wire and field), with B l = 0.0065 newtons per ampere of
// this apparatus; the magnet's angle 0 puts its field square to the wire. The balance
// shows the reaction force on the magnet.
#include <string>

#include "platform/canvas.h"

// The balance reading for the magnet turned by AngleDeg and Current amperes.
double BilForce(int AngleDeg, double Current);

// What one paint showed.
struct TBilPaint {
  std::string Reading; // the balance display
  std::string Ammeter; // the ammeter display
  int SliderTipX = 0;  // the rheostat slider's tip
  bool FarPoleFirst = false; // the reversed face order of a magnet turned past 90 degrees
  bool WireDrawn = false;
};

// The 300 x 400 picture onto Canvas at (0, 0). Tilt is the magnet's tilt about x (the
// page passes 0), Angle its turn about y in degrees, Current in amperes.
TBilPaint DrawBil(TCanvas &Canvas, int Tilt, int Angle, double Current);

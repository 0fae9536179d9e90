#pragma once
// An electron beam between two parallel charged plates: the gun, the plates with their
// field lines and the mark on the positive plate, the parabolic path between the plates,
// the straight path beyond them, and a scale at the fluorescent screen, with a magnified
// close-up of the screen.
//
// In the uniform field between the plates the deflection grows as the square of the
// distance: y = k x^2 with k = PlatePD / (4 gap GunPD), from eV_gun = m v^2 / 2 and
// a = e V_plate / (m gap). All lengths are pixels and the voltages volts; no constants.
#include "platform/canvas.h"
#include "platform/types.h"
#include "sim/shared_constants.h"

// The fluorescent screen; the page hit-tests it before asking for the close-up.
constexpr TRect ScreenRect{320, 30, 340, 270};

// The beam's path: from the gun's line along the axis to the plates, the parabola in 5-pixel
// steps, and either the point where it meets a plate or the straight line to the right edge.
TPointArray ElectricDeflectionPath(int GunPD, int PlatePD, const TRect &PlateRect);

// Where the beam meets the screen, in the screen's upward sense.
struct TScreenHit {
  double Deflection = 0; // in scale units, 20 pixels a unit
  double Slope = 0;      // of the beam beyond the plates
  bool Reaches = false;  // false when the beam ends on a plate
};
TScreenHit ElectricScreenHit(int GunPD, int PlatePD, const TRect &PlateRect);

// The 350 x 300 picture, drawn onto Canvas at (0, 0).
void DrawElectricDeflection(TCanvas &Canvas, int GunPD, int PlatePD, const TRect &PlateRect);
// The 60 x 100 close-up of the screen about the scale value nearest to Y, drawn onto Canvas
// at (270, Y - 50). X is not used.
void DrawScreenCloseUp(TCanvas &Canvas, int X, int Y, int GunPD, int PlatePD, const TRect &PlateRect);

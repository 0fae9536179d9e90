#pragma once
// Thomson's e/m tube: electrons from a gun enter the space between two plates where an
// electric field E (V/m, pushing the beam up the screen) and a magnetic field B (T,
// perpendicular to the screen) act on them; beyond the plates the beam runs straight to
// the bulb's end. Between the plates, with y down the screen,
//   a = (e/m) (-B vy, B vx - E),   e/m = 1.7588e11 C/kg,
// so the magnetic force does no work: |v|^2 = v0^2 - 2 (e/m) E y.
#include "platform/canvas.h"
#include "platform/types.h"
#include "sim/shared_constants.h"

constexpr double ElectronEm = 1.7588e11;    // e/m of the electron, C/kg
constexpr double ElectronTwoEm = 3.5176e11; // 2e/m
constexpr double ThomsonPlateGap = 0.05;    // m: the separation E is computed with
constexpr int ThomsonPicWidth = 400, ThomsonPicHeight = 310;
// The plates' region (150 px for their 0.05 m length) and the wider region the beam may
// leave through towards the bulb.
constexpr TRect ThomsonPlates(150, 105, 300, 205);
constexpr TRect ThomsonWide(150, 105, 350, 205);

// The tube's settings from the scroll bar positions: gun p.d. U = 10 V a step, plate p.d.
// 5 V a step across the plate gap, B = 1 uT a step; v the electrons' entry speed.
struct TThomsonSettings {
  double U = 0, E = 0, B = 0, V = 0;
};
TThomsonSettings ThomsonSettings(int GunPos, int EFieldPos, int BFieldPos);
// Entry speed from the gun p.d.: v = sqrt(2 (e/m) U); 0 for U <= 0.
double ThomsonSpeed(double U);

struct TBeamPath {
  TPointArray Points; // picture points inside the plates, from the entry on
  double DX = 0, DY = 0; // the last step's displacement (m): the beam's direction
  // The beam left the plates' region through the top or bottom (it met a plate) or
  // turned back through the entry: no straight continuation then.
  bool MetPlate = false;
  // The electron's last computed position (m, from the entry) and velocity (m/s).
  double X = 0, Y = 0, VX = 0, VY = 0;
};
// Integrates the path between the plates in up to 99 steps of 0.5 mm at entry speed.
TBeamPath ComputeBeamPath(const TRect &P, double V, double B, double E);
// The bulb's end (an arc of radius 140 round the plates' centre from -0.6 to 0.6 rad)
// closed over the plates: the region the beam is drawn in.
TPointArray MakeTubeOutline(const TRect &P);
// The whole picture, copied to Canvas at (0, 0); no beam when V is 0.
void DrawThomsonTube(TCanvas &Canvas, double V, double B, double E);

#pragma once
// An electron fired at an angle into a cube of uniform magnetic field along the vertical
// axis, drawn in perspective: the velocity splits into a part along the field, which stays,
// and a part across it, which turns, so the path is a helix.
//
// e U = m v^2 / 2 gives v (with the page's factor 20 on U); r = m v_perp / (e B) (the
// constant 2.733e-22 is m with the picture's scale); pitch p = v_par * 2 pi r / v_perp.
// Scene pixels: y along the field (the cube spans -100..100 on every axis), the viewer
// looks along +z.
#include <vector>

#include "platform/canvas.h"
#include "sim/deflection_view.h"
#include "sim/shared_constants.h"

struct THelixPoint {
  double X = 0, Y = 0, Z = 0;
};

struct THelixPath {
  double Speed = 0;  // v, m/s
  double Radius = 0; // r, pixels (negative for a negative angle)
  int RoundedRadius = 0;
  double Pitch = 0;  // p, pixels along the field per turn
  int TurnsInCube = 0; // n = Round(200 / p)
  bool Straight = false;
  // Point 0 is the gun's muzzle, 100 pixels back along the beam from the cube's face, or
  // less where that would put it more than 40 below the face; then the helix with 72 points
  // a turn (5 degrees, p / 72 along the field each) from y = 100 to y <= -100; then the exit
  // point, on the straight line the electron leaves the cube by. Straight: the muzzle
  // (0, 140, 0) and (0, -200, 0).
  std::vector<THelixPoint> Points;
};

THelixPath ComputeHelix(int U, int B, int Angle, LongBool FieldDir);

// The 350 x 320 picture onto Canvas at (0, 0).
void DrawHelix(TCanvas &Canvas, int U, int B, TViewAngles View, int Angle, LongBool FieldDir);

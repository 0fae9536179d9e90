#pragma once
// The perspective shared by the two 3-D pictures of an electron in a magnetic field (the
// deflection region and the helix): the view angles, the view matrix and the projection
// from 2000 pixels in front of the scene.
#include "platform/types.h"
#include "sim/three_d.h"

// Tilt about the x axis, then turn about the y axis, in degrees. One value, so that no call
// can swap the two with another integer argument.
struct TViewAngles {
  int Tilt = 0;
  int Turn = 0;
  friend constexpr bool operator==(const TViewAngles &, const TViewAngles &) = default;
};

// RotationMatrix(Tilt, 1), times RotationMatrix(Turn, 2) when Turn <> 0.
TMatrix DeflectionViewMatrix(TViewAngles View);
// f = 2000 / (2000 + z); screen (Round(f x) + CX, Round(f y) + CY).
TPoint DeflectionProject(const TVertex &P, int CX, int CY);
// The sense of a projected face: (q0.x - q1.x)(q2.y - q1.y) - (q0.y - q1.y)(q2.x - q1.x).
int ProjectedTurn(TPoint Q0, TPoint Q1, TPoint Q2);

// Turning a view with the mouse: 175 pixels across turn it by 90 degrees, 160 pixels up
// tilt it by 90 degrees, each angle kept within -Limit..Limit.
struct TViewDrag {
  int GrabX = 0, GrabY = 0;
  void Start(int X, int Y, TViewAngles View);
  TViewAngles Move(int X, int Y, int Limit) const;
};

#pragma once
// An electron fired from a gun into a rectangular region of uniform magnetic field at right
// angles to the picture: a circular arc inside the region, straight lines outside it. The
// scene is drawn flat (seen from above, with a centimetre ruler and the field as dots) or
// in perspective (the region as a horizontal plate crossed by vertical field lines).
//
// Radius of the arc: r = m v / (e B) with e U = m v^2 / 2, so r = sqrt(2 m U / e) / B; the
// page's scroll-bar values U and B go in as r = sqrt(20 U m / e) * 3e8 / B pixels.
#include "platform/canvas.h"
#include "platform/types.h"
#include "sim/deflection_view.h"
#include "sim/shared_constants.h"

// The gun's box in the flat picture, (4, 150, 30, 170) at start; the page moves it while
// the gun is dragged, and the paths start from it.
extern TRect GunRect;
// The field region.
constexpr TRect FieldRect{75, 10, 320, 310};
constexpr TRect GunRectAtStart{4, 150, 30, 170};

// The arc's radius in pixels.
int MagneticRadius(int U, int B);

// The gun's outline turned by Angle degrees: about its centre (X, Y), or ending at the
// muzzle (X, Y) for the 3-D gun.
enum class TGunOutline { AboutCentre, EndingAtMuzzle };
TPointArray GunOutline(int X, int Y, int Angle, TGunOutline Kind);

// The electron's path (at most 100 points) from the gun's centre (flat view) or its muzzle
// (3-D view): to the region's left edge, round the arc, then out along the tangent at the
// exact crossing of the edge it leaves by (100 pixels beyond it, or to the edge of the box
// 0 <= x <= Right + 100, Top - 100 <= y <= Bottom + 100). FieldDir True: the field points
// into the flat picture and the beam bends downwards. An entry outside the region's left
// edge gives just the line from the gun to the edge.
TPointArray ComputeMagneticPath(int U, int B, int GunAngle, LongBool FieldDir, bool FromMuzzle);
// The same path as the pictures draw it: its points on the arc joined along the circle,
// so that the arc is smooth at every radius; entry, exit crossing and tangent unchanged.
TPointArray DrawnMagneticPath(int U, int B, int GunAngle, LongBool FieldDir, bool FromMuzzle);

// The flat 350 x 320 picture onto Canvas at (0, 0).
void DrawMagneticDeflection(TCanvas &Canvas, int U, int B, int GunAngle, LongBool FieldDir);
// The perspective 350 x 320 picture onto Canvas at (0, 0).
void DrawMagneticDeflection3D(TCanvas &Canvas, int U, int B, TViewAngles View, int GunAngle, LongBool FieldDir);

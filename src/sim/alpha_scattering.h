#pragma once
// Rutherford scattering of an alpha particle by one nucleus: the hyperbolic track and the
// scattering angle, in pixels of a 365 x 300 picture. The source stands at the right,
// B pixels off the axis (the impact parameter); A, the closest-approach scale, follows
// from the energy as A = Round(125 / E) with E in MeV.
#include "platform/canvas.h"
#include "sim/shared_constants.h"

constexpr int AlphaPictureWidth = 365, AlphaPictureHeight = 300;
constexpr int AlphaTrackPoints = 61;
// The nucleus sits on the axis at (75, 150).
constexpr int AlphaNucleusX = 75, AlphaAxisY = 150;

// A = Round(125 / Energy) for an energy in MeV (0 for an energy of 0 or less).
int AlphaScale(int Energy);

// 180 - |arctan(B / A)| * 360 / pi degrees (Rutherford: tan(theta / 2) = A / B up to the
// scale); 0 when A is 0.
double ScatteringAngle(int B, int A);

// The 61 points of the track x^2/A^2 - y^2/B^2 = 1, turned by arctan(B / A) and placed
// beside the nucleus, from the incoming end (point 0) to the outgoing end (point 60).
// Empty when A is 0 or less: there is no track to draw.
TPointArray AlphaTrack(int B, int A);

// The picture: nucleus, dotted circle of radius 2A, axis, track, outgoing line, scale
// panel and the source, framed, copied onto Canvas at (0, 0).
void DrawAlphaScattering(TCanvas &Canvas, int B, int A);

#pragma once
// What the planetary-orbit and the body pictures share: the mapping from model units to
// the 400 x 400 picture, its background of grid lines through the origin, the green
// velocity arrow head, and the sunken edge the finished picture gets.
#include <array>
#include <cstdint>

#include "platform/canvas.h"
#include "platform/types.h"

constexpr int OrbitPicSize = 400;

// Pixels per model unit and the picture position of the model's origin.
struct TOrbitView {
  int Scale = 100;
  int OriginX = 200, OriginY = 200;
};

// Scale limits of the zoom drag on both pictures.
constexpr int MinOrbitScale = 10, MaxOrbitScale = 200;

// A model point on the picture, y up: (Round(Scale x) + OriginX, OriginY - Round(Scale y)).
// Far-away points saturate well outside the picture instead of overflowing.
TPoint OrbitToScreen(const TOrbitView &View, double X, double Y);
// A picture point from wide coordinates, saturated the same way.
TPoint ScreenPoint(int64_t X, int64_t Y);

// Modulo with the sign of the divisor, so that grid lines start inside the picture also
// for a negative origin.
int FlooredMod(int A, int B);

// White fill, silver grid every Scale pixels through the origin, then a black pen.
void DrawOrbitBackground(TCanvas &Canvas, const TOrbitView &View);

// The arrow head at the end (X2, Y2) of a line from (X1, Y1): a triangle of half-width L
// whose tip lies 2L beyond the end along the line; a zero-length line points down.
std::array<TPoint, 3> ArrowHead(int X1, int Y1, int X2, int Y2, int L);
// The head drawn filled green with the current pen.
void DrawArrowHead(TCanvas &Canvas, int X1, int Y1, int X2, int Y2, int L);

// A disc of radius R centred on C in the given colour (black outline as the pen is).
void DrawDisc(TCanvas &Canvas, TPoint C, int R, TColor Colour);

// Sunken edge round the picture, then the picture copied to Target at (0, 0).
class TBitmap;
void FinishOrbitPicture(TBitmap &Picture, TCanvas &Target);

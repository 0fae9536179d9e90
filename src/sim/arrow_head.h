#pragma once
// The triangular arrow head that the field-line pictures (point charges and the coil) put
// on their lines: the tip at P2, the base H pixels back along the step P1 -> P2 and H
// pixels to either side. A negative H turns the head round. Sign (+1 or -1) is the
// half-turn added to the angle of a leftward step, as the pictures' rule has it.
#include "platform/canvas.h"
#include "platform/types.h"

struct TArrowHead {
  TPoint Tip, Base1, Base2;
};

TArrowHead ArrowHeadAt(TPoint P1, TPoint P2, int H, int Sign);
// Filled with the canvas's brush, outlined with its pen.
void DrawArrowHead(TCanvas &Canvas, TPoint P1, TPoint P2, int H, int Sign);

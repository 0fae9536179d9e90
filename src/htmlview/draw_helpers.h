#pragma once
// Text and 3-D drawing routines of the viewer. Text arguments are page bytes, decoded by
// the page's code page.
#include <string>

#include "platform/canvas.h"
#include "platform/encoding.h"

// The width of the first Count characters of Text in the canvas font.
int TextWidth(TCanvas &Canvas, const std::string &Text, int Count,
              TCodePage Page = TCodePage::Windows1252);
// Word-wrapped text from (Left, Top), nothing drawn below Bottom; the brush stays.
void DrawTextInRect(TCanvas &Canvas, int Left, int Top, int Right, int Bottom,
                    const std::string &S, TCodePage Page = TCodePage::Windows1252);
// A white box with a 2-pixel raised or sunken frame (1-pixel black on a monochrome
// device) covering X1..X2-1, Y1..Y2-1.
void Draw3DRect(TCanvas &Canvas, int X1, int Y1, int X2, int Y2, bool Raised,
                bool Monochrome = false);

// What the document says about the background of a 3-D line.
struct TLine3DContext {
  bool Printing = false;
  bool MonochromePrinter = false;
  TColor Background = clWhite;
};
// Left and bottom edges in the first colour, right and top in the second.
void DrawLine3D(const TLine3DContext &Doc, TCanvas &Canvas, int X1, int Y1, int X2, int Y2,
                bool Raised);

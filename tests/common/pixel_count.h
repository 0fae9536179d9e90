#pragma once
// Counting the pixels of one colour, for tests that look at what was drawn.
#include <cstdlib>

#include "platform/bitmap.h"

// Pixels of colour C inside R.
inline int CountColor(TBitmap &B, TColor C, const TRect &R) {
  int N = 0;
  for (int Y = R.Top; Y < R.Bottom; ++Y)
    for (int X = R.Left; X < R.Right; ++X)
      if (B.Canvas().Pixels(X, Y) == C) ++N;
  return N;
}

// Pixels of colour C in the whole bitmap.
inline int CountColor(TBitmap &B, TColor C) {
  return CountColor(B, C, TRect(0, 0, B.Width(), B.Height()));
}

// Pixels inside R at least half way from white to C: the ink of smoothed text in C.
inline int CountInk(TBitmap &B, TColor C, const TRect &R) {
  auto Near = [](int P, int Want) { return 2 * std::abs(P - Want) <= 255 - Want + 1; };
  int N = 0;
  for (int Y = R.Top; Y < R.Bottom; ++Y)
    for (int X = R.Left; X < R.Right; ++X) {
      const TColor P = B.Canvas().Pixels(X, Y);
      if (Near(GetRValue(P), GetRValue(C)) && Near(GetGValue(P), GetGValue(C)) && Near(GetBValue(P), GetBValue(C)))
        ++N;
    }
  return N;
}

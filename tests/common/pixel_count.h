#pragma once
// Counting the pixels of one colour, for tests that look at what was drawn.
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
  // A channel that C shares with white only must not have gone dark.
  auto Near = [](int P, int Want) { return Want == 255 ? P >= 128 : 2 * P <= 255 + Want; };
  int N = 0;
  for (int Y = R.Top; Y < R.Bottom; ++Y)
    for (int X = R.Left; X < R.Right; ++X) {
      const TColor P = B.Canvas().Pixels(X, Y);
      if (Near(GetRValue(P), GetRValue(C)) && Near(GetGValue(P), GetGValue(C)) && Near(GetBValue(P), GetBValue(C)))
        ++N;
    }
  return N;
}

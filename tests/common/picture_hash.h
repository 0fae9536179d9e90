#pragma once
// A fingerprint of a drawn picture (FNV-1a over its pixels), for tests that pin a whole
// drawing at fixed parameters.
#include <cstdint>

#include "platform/bitmap.h"

inline uint64_t PictureHash(const TBitmap &B) {
  uint64_t H = 1469598103934665603ull;
  for (int Y = 0; Y < B.Height(); ++Y) {
    const uint32_t *Row = B.ScanLine(Y);
    for (int X = 0; X < B.Width(); ++X) {
      H ^= Row[X] & 0xFFFFFFu;
      H *= 1099511628211ull;
    }
  }
  return H;
}

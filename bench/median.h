#pragma once
// The median of a benchmark's timings (the mean of the middle two for an even count).
#include <algorithm>
#include <vector>

inline double Median(std::vector<double> V) {
  if (V.empty()) return 0;
  std::sort(V.begin(), V.end());
  return V.size() % 2 ? V[V.size() / 2] : (V[V.size() / 2 - 1] + V[V.size() / 2]) / 2;
}

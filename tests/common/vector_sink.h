#pragma once
// A graph series held in vectors, for tests of engines that fill graphs.
#include <algorithm>
#include <vector>

#include "sim/series_sink.h"

class TVectorSink : public TSeriesSink {
public:
  std::vector<double> X, Y;
  std::vector<TColor> Colours;
  void Clear() override {
    X.clear();
    Y.clear();
    Colours.clear();
  }
  int AddXY(double AX, double AY, const std::string &, TColor Color) override {
    // After the last point with x <= AX, so that equal x keep their order.
    const size_t I = size_t(std::upper_bound(X.begin(), X.end(), AX) - X.begin());
    X.insert(X.begin() + I, AX);
    Y.insert(Y.begin() + I, AY);
    Colours.insert(Colours.begin() + I, Color);
    return int(I);
  }
  int Count() const override { return int(X.size()); }
  double XValue(int I) const override { return X.at(size_t(I)); }
  double YValue(int I) const override { return Y.at(size_t(I)); }
  void SetXValue(int I, double V) override { X.at(size_t(I)) = V; }
  void SetYValue(int I, double V) override { Y.at(size_t(I)) = V; }
  double MaxYValue() const override { return Y.empty() ? 0 : *std::max_element(Y.begin(), Y.end()); }
};

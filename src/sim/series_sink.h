#pragma once
// The operations an engine may apply to a graph's series, without seeing a chart: the
// program adapts a chart series to it, a test backs it with a vector.
#include <string>

#include "platform/types.h"

class TSeriesSink {
public:
  virtual ~TSeriesSink() = default;
  virtual void Clear() = 0;
  // Appends a point, keeping the points in ascending x; returns its index. clDefault
  // leaves the colour to the series.
  virtual int AddXY(double X, double Y, const std::string &Label = {}, TColor Color = clDefault) = 0;
  virtual int Count() const = 0;
  virtual double XValue(int Index) const = 0;
  virtual double YValue(int Index) const = 0;
  virtual void SetXValue(int Index, double X) = 0;
  virtual void SetYValue(int Index, double Y) = 0;
  // The largest y of all points (0 with no points).
  virtual double MaxYValue() const = 0;
};

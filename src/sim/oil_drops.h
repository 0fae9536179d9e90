#pragma once
// Millikan's oil drops seen through the microscope: 25 drops of one size, each carrying
// 0..4 electron charges, fall under gravity against air resistance (Stokes' law) and are
// pushed up by the field between plates 1 cm apart. Positions are pixels of the
// 250 x 250 view; one timer tick is 0.1 s of the experiment times the time scale.
#include <array>
#include <cstdint>
#include <string>

#include "platform/canvas.h"

struct TOilDrop {
  int X = 0, Y = 0;  // pixel centre
  float YExact = 0;  // accumulated vertical position
  int Charges = 0;   // electron charges, 0..4
};

// The round field of view's bounding square.
extern const TRect ViewRect;
// Weight of one drop in newtons: (4/3) pi a^3 rho g, a = 1.057e-6 m, rho = 800 kg/m^3,
// g = 9.81 m/s^2.
extern const double DropWeight;

constexpr int MillikanPicSize = 250;
constexpr int OilDropCount = 25;

// Speed in pixels a tick at the "x 10" time scale, positive downwards, of a drop with N
// charges at plate voltage V: Stokes' law v = (W - N e V / d) / (6 pi eta a), eta =
// 1.8e-5 Pa s, d = 1 cm, scaled to pixels; worked in single precision.
float DropSpeed(int N, int Voltage);

class TOilDropExpt {
public:
  // Drops placed from a seed taken from the clock.
  TOilDropExpt();
  explicit TOilDropExpt(uint32_t Seed);

  // A jittered 5 x 5 pattern of pitch 40, five drops of each charge 0..4 in shuffled order.
  void PlaceDrops(uint32_t Seed);
  // One timer tick at Voltage; SpeedSetting 0 real time (0.1 of the "x 10" step), 2 "x 100"
  // (10 times it), any other value "x 10". Drops leaving the view wrap to the other edge.
  void MoveDrops(int Voltage, int SpeedSetting);
  void DrawMillikanView(TCanvas &Canvas) const;

  std::array<TOilDrop, OilDropCount> Drops;
};

// The clock of the experiment counts tenths of a second whatever the time scale, so a
// change of scale never changes the time shown. One tick of the 100 ms timer adds 1, 10
// or 100 (time scale 0, 1, 2) and tells whether the shown seconds should be refreshed:
// once a second in real time, at every tick at the faster scales.
bool MillikanClockTick(int &Clock, int TimeScale);
// "m : s" of the clock, seconds not padded ("1 : 5").
std::string MillikanClockText(int Clock);

#include "sim/projectile.h"

#include <cmath>
#include <numbers>

namespace {
// The launch velocity's parts. The direction is taken in double: through a single-precision
// pi, cos 90 degrees comes out -4.4e-8, and a ball thrown straight up would fly just left
// of x = 0, off the graph.
void LaunchVelocity(int Angle, float Speed, float &vx, float &vy) {
  const double A = Angle * std::numbers::pi / 180;
  vx = float(std::cos(A) * Speed);
  vy = float(std::sin(A) * Speed);
}

// Guards a path that would never reach the ground (it always does: ay <= 0 and vy falls).
constexpr int MaxSteps = 1000000;
} // namespace

std::vector<TPathPoint> PlotDragPath(int Angle, float Speed, float Height, float Drag) {
  // Newton with linear drag, per kilogram: a = g - k v; g = 9.81 m/s^2 downwards, k in 1/s.
  const float dt = 0.01f;
  float vx, vy;
  LaunchVelocity(Angle, Speed, vx, vy);
  float x = 0, y = Height;
  int n = 0;
  float ax = -Drag * vx, ay = -9.81f - Drag * vy;
  std::vector<TPathPoint> Path;
  Path.push_back({0, Height});
  do {
    x = x + vx * dt + 0.5f * ax * dt * dt;
    y = y + vy * dt + 0.5f * ay * dt * dt;
    ++n;
    if (n % 10 == 0) Path.push_back({x, y});
    ax = -Drag * vx;
    ay = -9.81f - Drag * vy;
    if (ay > 0) ay = 0;
    vy = vy + ay * dt;
    vx = vx + ax * dt;
    if (vx < 0) vx = 0;
  } while (!(y < 0) && n < MaxSteps);
  return Path;
}

float IdealFlightTime(int Angle, float Speed, float Height) {
  float vx, vy;
  LaunchVelocity(Angle, Speed, vx, vy);
  // Lands when h + vy t - g t^2 / 2 = 0, g = 9.81 m/s^2.
  return (std::sqrt(vy * vy + 19.62f * Height) + vy) / 9.81f;
}

std::vector<TPathPoint> PlotIdealPath(int Angle, float Speed, float Height) {
  float vx, vy;
  LaunchVelocity(Angle, Speed, vx, vy);
  const float dt = IdealFlightTime(Angle, Speed, Height) / 200;
  std::vector<TPathPoint> Path;
  Path.reserve(201);
  for (int i = 0; i <= 200; ++i) {
    const float t = float(i) * dt;
    Path.push_back({vx * t, vy * t - 4.905f * t * t + Height});
  }
  return Path;
}

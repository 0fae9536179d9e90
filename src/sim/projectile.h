#pragma once
// The paths of the projectile page: a launch at Angle degrees with Speed m/s from Height
// m, with and without air drag. Single precision, as the page computes them; only the launch
// direction is taken in double.
#include <vector>

struct TPathPoint {
  float X = 0, Y = 0; // metres
};

// Path with a drag force proportional to velocity, integrated in steps of 0.01 s, from
// the launch until it is below the ground; one point per 0.1 s after the launch point.
std::vector<TPathPoint> PlotDragPath(int Angle, float Speed, float Height, float Drag);
// The parabola without drag, 201 points from launch to the ground.
std::vector<TPathPoint> PlotIdealPath(int Angle, float Speed, float Height);
// Time of flight of the ideal path in seconds.
float IdealFlightTime(int Angle, float Speed, float Height);

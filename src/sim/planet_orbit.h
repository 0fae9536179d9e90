#pragma once
// One planet round a fixed sun. Model units with GM = 1: the acceleration is
// a = -r / |r|^3, integrated by leapfrog with dt = 0.001 (velocities live half a step
// ahead of the positions). The run ends when the planet comes within the sun's drawn
// radius 0.2: a step through the singularity would fling it out with an absurd energy.
#include <functional>

#include "platform/canvas.h"
#include "sim/orbit_picture.h"
#include "sim/yield.h"

class TPlanetOrbit {
public:
  static constexpr double Dt = 0.001;
  static constexpr double SunRadius = 0.2;

  // Sets the position and the half-step velocity; false (and nothing to integrate) when
  // the start lies within the sun.
  bool Start(double X0, double Y0, double VX0, double VY0);
  // One step; false when the new position lies within the sun (the position is kept).
  bool Step();
  // Energy per unit mass with the whole-step velocity v - a dt / 2.
  double Energy() const;
  // Angular momentum per unit mass (the half-step velocity serves: r x a is zero).
  double AngularMomentum() const { return X * VY - Y * VX; }

  double X = 0, Y = 0;   // position
  double VX = 0, VY = 0; // velocity half a step ahead
  long long Steps = 0;
};

// The still picture: velocity arrow from the planet's start, sun and planet. Positions
// and velocities in hundredths of a unit, as the scroll bars hold them.
void DrawOrbitSetup(TCanvas &Canvas, const TOrbitView &View, int X, int Y, int VX, int VY);
// One frame of a run: sun and planet at (PX, PY), no trail.
void DrawOrbitFrame(TCanvas &Target, TBitmap &Picture, const TOrbitView &View, double PX,
                    double PY);

enum class TOrbitRunEnd { Stopped, ReachedSun, NotStarted };

// Integrates from the given start and draws a frame every RedrawSteps steps, reading the
// view afresh for each frame (zoom and pan act on a running orbit); Yield is called after
// each frame and ends the run when it returns false. A planet reaching the sun ends the
// run with a last frame showing it there.
constexpr int OrbitRedrawSteps = 20;
TOrbitRunEnd RunOrbit(TCanvas &Canvas, const std::function<TOrbitView()> &View, double X0,
                      double Y0, double VX0, double VY0, const TYield &Yield,
                      TPlanetOrbit *State = nullptr);

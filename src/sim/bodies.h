#pragma once
// Two or three bodies under their mutual gravitation, G = 1: body i is accelerated by
// a_i = sum over j != i of -m_j (r_i - r_j) / |r_i - r_j|^3. Leapfrog with dt = 0.001:
// after a half kick from the starting positions, each step moves every body with its
// velocity, then kicks the velocities with the accelerations at the new positions, so
// the energy error stays bounded over any number of orbits. Two bodies that coincide
// end a run (the force between them has no value).
#include <functional>
#include <span>
#include <vector>

#include "platform/canvas.h"
#include "sim/orbit_picture.h"
#include "sim/yield.h"

struct TBody {
  double x = 0, y = 0, vx = 0, vy = 0, mass = 0;
};

constexpr int MaxBodies = 3;
constexpr double BodiesDt = 0.001;
constexpr int BodiesRedrawSteps = 100;

// The three bodies of the start: an equal-mass binary and a light planet.
std::vector<TBody> InitBodies();
// Body 0 yellow, body 1 red, any other blue.
TColor BodyColour(int I);

// Accelerations of the bodies from their positions; false when two coincide or a value
// is not finite.
bool BodyAccelerations(std::span<const TBody> Bodies, std::span<double> AX,
                       std::span<double> AY);
// The half kick that starts a run; false (nothing changed) when two bodies coincide.
bool StartBodies(std::span<TBody> Bodies);
// One leapfrog step; false when the step brought two bodies together (the moved
// positions are kept, the velocities are left as they were).
bool StepBodies(std::span<TBody> Bodies);
// Total energy with the whole-step velocities v - a dt / 2 of a running state.
double BodiesEnergy(std::span<const TBody> Bodies);

// The still picture: for each body its velocity line and green arrow head (the head's
// size follows ArrowScale, the orbit page's scale), then the body's disc.
void DrawBodiesSetup(TCanvas &Canvas, const TOrbitView &View, std::span<const TBody> Bodies,
                     int ArrowScale);
// One frame of a run: the bodies' discs only.
void DrawBodiesFrame(TCanvas &Target, TBitmap &Picture, const TOrbitView &View,
                     std::span<const TBody> Bodies);

enum class TBodiesRunEnd { Stopped, Collided, NotStarted };

// Moves Bodies (the first N of the caller's array) until Yield returns false or two
// bodies meet, drawing a frame every BodiesRedrawSteps steps with the view read afresh;
// Bodies holds the moved state (half-step velocities) afterwards.
TBodiesRunEnd RunBodies(TCanvas &Canvas, const std::function<TOrbitView()> &View,
                        std::span<TBody> Bodies, const TYield &Yield);

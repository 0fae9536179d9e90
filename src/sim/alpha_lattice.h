#pragma once
// An alpha particle fired from the right into a lattice of 13 repelling nuclei. Positions
// are lattice units (nuclei 0.5 apart across, 1 apart along a column), time in the units
// of the run's frame step. Acceleration a = sum 0.1 (p - p_i) / |p - p_i|^3 (Coulomb
// repulsion with all constants folded into 0.1); the energy v^2 / 2 + sum 0.1 / |p - p_i|
// is conserved.
#include <array>

#include "platform/canvas.h"
#include "sim/yield.h"

struct TLatticeNucleus {
  double X, Y;
};
extern const std::array<TLatticeNucleus, 13> LatticeNuclei;

// Start of a run as the page makes it: X0 = 2.4, Y0 = YPos / 100, velocity (-4, 0).
constexpr double AlphaStartX = 2.4, AlphaStartVX = -4.0;

// The picture's layout, by ScreenMode: nuclei, particle and start marker share one
// scale S (pixels a unit); the picture is 400 x 2H, the nucleus (0, 0) at (150, H).
struct TLatticeLayout {
  int Radius = 35;
  int H = 200;
  int S = 100;
  static TLatticeLayout ForScreenMode(int Mode); // 1: compact (27, 150, 75), else normal
  int Width() const { return 400; }
  int Height() const { return 2 * H; }
  TPoint ToScreen(double X, double Y) const; // (Round(S x) + 150, H - Round(S y))
  // Centre of the start marker for a start height YPos (in hundredths of a unit):
  // y = H - YPos normally, H - MulDiv(YPos, 3, 4) at 75 pixels a unit.
  TPoint StartMarker(int YPos) const;
};

// The moving particle.
struct TAlphaState {
  double X = 0, Y = 0, VX = 0, VY = 0;
  long Frames = 0;   // frames advanced
  long SubSteps = 0; // integration steps taken within them
};

struct TLatticeAcceleration {
  double AX = 0, AY = 0;
  double NearestR = 0; // distance to the nearest nucleus
};
TLatticeAcceleration LatticeAcceleration(double X, double Y);
// Kinetic plus potential energy per unit mass.
double LatticeEnergy(const TAlphaState &S);

constexpr double AlphaFrameStep = 0.01;
// A frame is split into steps no longer than this share of the distance to the nearest
// nucleus, and into no more than the cap: a close pass stays accurate, a run stays cheap.
constexpr double AlphaStepShare = 0.1;
constexpr int AlphaMaxSubSteps = 12;
// Advances one frame (AlphaFrameStep) with velocity-Verlet sub-steps.
void AdvanceAlphaFrame(TAlphaState &S);

// The nuclei of the layout onto Canvas (pale yellow, black outline).
void DrawLatticeNuclei(TCanvas &Canvas, const TLatticeLayout &L);
// The lattice with the start marker for YPos, framed, onto Canvas at (0, 0).
void DrawAlphaLattice(TCanvas &Canvas, int YPos, const TLatticeLayout &L);
void DrawAlphaLattice(TCanvas &Canvas, int YPos); // layout of the present ScreenMode
// The start marker alone, on whatever Canvas shows (the last frame of a run).
void DrawAlphaStartMarker(TCanvas &Canvas, int YPos, const TLatticeLayout &L);

// Runs the particle from (X0, Y0) with (VX0, VY0) until it leaves the picture or Yield
// returns false, drawing one frame per frame step onto Canvas (the trail kept when Trail)
// and calling Yield after each. Clears AbortFlag at the start and leaves it True.
// Returns the final state.
TAlphaState RunAlphaLattice(TCanvas &Canvas, LongBool Trail, double X0, double Y0, double VX0,
                            double VY0, const TYield &Yield, const TLatticeLayout &L);
TAlphaState RunAlphaLattice(TCanvas &Canvas, LongBool Trail, double X0, double Y0, double VX0,
                            double VY0, const TYield &Yield);

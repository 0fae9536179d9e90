#include "sim/planet_orbit.h"

#include <algorithm>
#include <cmath>

#include "platform/bitmap.h"
#include "platform/numbers.h"

namespace {
void Gravity(double X, double Y, double &AX, double &AY) {
  const double R = std::hypot(X, Y);
  const double K = -1.0 / (R * R * R);
  AX = K * X;
  AY = K * Y;
}

int SunPixels(const TOrbitView &View) { return Round(View.Scale / 5.0); }
int PlanetPixels(const TOrbitView &View) { return std::max(2, Round(View.Scale / 10.0)); }
} // namespace

bool TPlanetOrbit::Start(double X0, double Y0, double VX0, double VY0) {
  X = X0;
  Y = Y0;
  VX = VX0;
  VY = VY0;
  Steps = 0;
  if (!(std::hypot(X0, Y0) >= SunRadius)) return false;
  double AX, AY;
  Gravity(X, Y, AX, AY);
  VX += AX * Dt / 2;
  VY += AY * Dt / 2;
  return true;
}

bool TPlanetOrbit::Step() {
  X += VX * Dt;
  Y += VY * Dt;
  ++Steps;
  if (!(std::hypot(X, Y) >= SunRadius)) return false;
  double AX, AY;
  Gravity(X, Y, AX, AY);
  VX += AX * Dt;
  VY += AY * Dt;
  return true;
}

double TPlanetOrbit::Energy() const {
  double AX, AY;
  Gravity(X, Y, AX, AY);
  const double WX = VX - AX * Dt / 2, WY = VY - AY * Dt / 2;
  return (WX * WX + WY * WY) / 2 - 1.0 / std::hypot(X, Y);
}

void DrawOrbitSetup(TCanvas &Canvas, const TOrbitView &View, int X, int Y, int VX, int VY) {
  TBitmap Picture(OrbitPicSize, OrbitPicSize);
  TCanvas &C = Picture.Canvas();
  DrawOrbitBackground(C, View);
  const TPoint P(View.OriginX + MulDiv(View.Scale, X, 100),
                 View.OriginY - MulDiv(View.Scale, Y, 100));
  const TPoint Q(P.X + MulDiv(VX, View.Scale, 100), P.Y - MulDiv(VY, View.Scale, 100));
  C.MoveTo(P.X, P.Y);
  C.LineTo(Q.X, Q.Y);
  DrawArrowHead(C, P.X, P.Y, Q.X, Q.Y, Round(View.Scale / 20.0));
  DrawDisc(C, TPoint(View.OriginX, View.OriginY), SunPixels(View), clYellow);
  DrawDisc(C, P, PlanetPixels(View), clRed);
  FinishOrbitPicture(Picture, Canvas);
}

void DrawOrbitFrame(TCanvas &Target, TBitmap &Picture, const TOrbitView &View, double PX,
                    double PY) {
  TCanvas &C = Picture.Canvas();
  DrawOrbitBackground(C, View);
  DrawDisc(C, TPoint(View.OriginX, View.OriginY), SunPixels(View), clYellow);
  DrawDisc(C, OrbitToScreen(View, PX, PY), PlanetPixels(View), clRed);
  FinishOrbitPicture(Picture, Target);
}

TOrbitRunEnd RunOrbit(TCanvas &Canvas, const std::function<TOrbitView()> &View, double X0,
                      double Y0, double VX0, double VY0, const TYield &Yield,
                      TPlanetOrbit *State) {
  TPlanetOrbit Own;
  TPlanetOrbit &Orbit = State ? *State : Own;
  if (!Orbit.Start(X0, Y0, VX0, VY0)) return TOrbitRunEnd::NotStarted;
  TBitmap Picture(OrbitPicSize, OrbitPicSize);
  for (;;) {
    bool Free = true;
    for (int N = 0; N < OrbitRedrawSteps && Free; ++N) Free = Orbit.Step();
    DrawOrbitFrame(Canvas, Picture, View(), Orbit.X, Orbit.Y);
    if (!Free) return TOrbitRunEnd::ReachedSun;
    if (!Yield()) return TOrbitRunEnd::Stopped;
  }
}

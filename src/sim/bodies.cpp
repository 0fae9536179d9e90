#include "sim/bodies.h"

#include <array>
#include <cmath>

#include "platform/bitmap.h"
#include "platform/numbers.h"

std::vector<TBody> InitBodies() {
  return {{3, 0, 0, 0.288, 1}, {-3, 0, 0, -0.288, 1}, {1, 0, 0, 1, 0.0001}};
}

TColor BodyColour(int I) {
  return I == 0 ? clYellow : I == 1 ? clRed : clBlue;
}

bool BodyAccelerations(std::span<const TBody> Bodies, std::span<double> AX,
                       std::span<double> AY) {
  const size_t N = Bodies.size();
  for (size_t I = 0; I < N; ++I) {
    AX[I] = 0;
    AY[I] = 0;
  }
  for (size_t I = 0; I < N; ++I)
    for (size_t J = I + 1; J < N; ++J) {
      const double DX = Bodies[I].x - Bodies[J].x, DY = Bodies[I].y - Bodies[J].y;
      const double R2 = DX * DX + DY * DY;
      if (R2 == 0) return false;
      const double K = 1.0 / (R2 * std::sqrt(R2));
      AX[I] -= Bodies[J].mass * DX * K;
      AY[I] -= Bodies[J].mass * DY * K;
      AX[J] += Bodies[I].mass * DX * K;
      AY[J] += Bodies[I].mass * DY * K;
    }
  for (size_t I = 0; I < N; ++I)
    if (!std::isfinite(AX[I]) || !std::isfinite(AY[I])) return false;
  return true;
}

namespace {
bool Kick(std::span<TBody> Bodies, double Dt) {
  std::array<double, MaxBodies> AX{}, AY{};
  if (Bodies.size() > MaxBodies) return false;
  if (!BodyAccelerations(Bodies, AX, AY)) return false;
  for (size_t I = 0; I < Bodies.size(); ++I) {
    Bodies[I].vx += AX[I] * Dt;
    Bodies[I].vy += AY[I] * Dt;
  }
  return true;
}
} // namespace

bool StartBodies(std::span<TBody> Bodies) { return Kick(Bodies, BodiesDt / 2); }

bool StepBodies(std::span<TBody> Bodies) {
  for (TBody &B : Bodies) {
    B.x += B.vx * BodiesDt;
    B.y += B.vy * BodiesDt;
  }
  return Kick(Bodies, BodiesDt);
}

double BodiesEnergy(std::span<const TBody> Bodies) {
  std::array<double, MaxBodies> AX{}, AY{};
  if (Bodies.size() > MaxBodies || !BodyAccelerations(Bodies, AX, AY)) return NAN;
  double E = 0;
  for (size_t I = 0; I < Bodies.size(); ++I) {
    const double WX = Bodies[I].vx - AX[I] * BodiesDt / 2,
                 WY = Bodies[I].vy - AY[I] * BodiesDt / 2;
    E += Bodies[I].mass * (WX * WX + WY * WY) / 2;
    for (size_t J = I + 1; J < Bodies.size(); ++J)
      E -= Bodies[I].mass * Bodies[J].mass /
           std::hypot(Bodies[I].x - Bodies[J].x, Bodies[I].y - Bodies[J].y);
  }
  return E;
}

namespace {
int BodyPixels(const TOrbitView &View) { return Round(View.Scale / 5.0); }
} // namespace

void DrawBodiesSetup(TCanvas &Canvas, const TOrbitView &View, std::span<const TBody> Bodies,
                     int ArrowScale) {
  TBitmap Picture(OrbitPicSize, OrbitPicSize);
  TCanvas &C = Picture.Canvas();
  DrawOrbitBackground(C, View);
  const int L = Round(ArrowScale / 20.0);
  for (size_t I = 0; I < Bodies.size(); ++I) {
    const TBody &B = Bodies[I];
    const TPoint P = OrbitToScreen(View, B.x, B.y);
    const TPoint Q = ScreenPoint(P.X + Round64(View.Scale * B.vx),
                                 P.Y - Round64(View.Scale * B.vy));
    C.MoveTo(P.X, P.Y);
    C.LineTo(Q.X, Q.Y);
    DrawArrowHead(C, P.X, P.Y, Q.X, Q.Y, L);
    DrawDisc(C, P, BodyPixels(View), BodyColour(int(I)));
  }
  FinishOrbitPicture(Picture, Canvas);
}

void DrawBodiesFrame(TCanvas &Target, TBitmap &Picture, const TOrbitView &View,
                     std::span<const TBody> Bodies) {
  TCanvas &C = Picture.Canvas();
  DrawOrbitBackground(C, View);
  for (size_t I = 0; I < Bodies.size(); ++I)
    DrawDisc(C, OrbitToScreen(View, Bodies[I].x, Bodies[I].y), BodyPixels(View),
             BodyColour(int(I)));
  FinishOrbitPicture(Picture, Target);
}

TBodiesRunEnd RunBodies(TCanvas &Canvas, const std::function<TOrbitView()> &View,
                        std::span<TBody> Bodies, const TYield &Yield) {
  if (!StartBodies(Bodies)) return TBodiesRunEnd::NotStarted;
  TBitmap Picture(OrbitPicSize, OrbitPicSize);
  for (;;) {
    bool Apart = true;
    for (int N = 0; N < BodiesRedrawSteps && Apart; ++N) Apart = StepBodies(Bodies);
    DrawBodiesFrame(Canvas, Picture, View(), Bodies);
    if (!Apart) return TBodiesRunEnd::Collided;
    if (!Yield()) return TBodiesRunEnd::Stopped;
  }
}

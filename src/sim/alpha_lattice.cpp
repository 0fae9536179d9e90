#include "sim/alpha_lattice.h"

#include <algorithm>
#include <cmath>

#include "platform/bitmap.h"
#include "platform/numbers.h"
#include "sim/shared_constants.h"

const std::array<TLatticeNucleus, 13> LatticeNuclei = {{
    {-0.5, 1.5}, {-0.5, 0.5}, {-0.5, -0.5}, {-0.5, -1.5},
    {0, 2}, {0, 1}, {0, 0}, {0, -1}, {0, -2},
    {0.5, 1.5}, {0.5, 0.5}, {0.5, -0.5}, {0.5, -1.5}}};

namespace {

constexpr TColor PaleYellow = 0x0080FFFF;
constexpr double Strength = 0.1; // all constants of Coulomb's law in one

// Nuclei mirrored in the axis y = 0, summed pair by pair: on the axis the two pulls
// cancel exactly, so a particle aimed along it stays on it to the last bit.
constexpr int MirrorPairs[6][2] = {{0, 3}, {1, 2}, {4, 8}, {5, 7}, {9, 12}, {10, 11}};
constexpr int OnAxis = 6;

struct TPull {
  double AX = 0, AY = 0, R = 0;
};

TPull PullOf(int I, double X, double Y) {
  const double DX = X - LatticeNuclei[I].X, DY = Y - LatticeNuclei[I].Y;
  const double R2 = DX * DX + DY * DY;
  if (R2 == 0) return {}; // no direction at the nucleus itself
  const double R = std::sqrt(R2), F = Strength / (R2 * R);
  return {F * DX, F * DY, R};
}

} // namespace

TLatticeLayout TLatticeLayout::ForScreenMode(int Mode) {
  return Mode == 1 ? TLatticeLayout{27, 150, 75} : TLatticeLayout{};
}

TPoint TLatticeLayout::ToScreen(double X, double Y) const {
  return TPoint(Round(S * X) + 150, H - Round(S * Y));
}

TPoint TLatticeLayout::StartMarker(int YPos) const {
  return TPoint(Round(S * AlphaStartX) + 150, H - MulDiv(YPos, S, 100));
}

TLatticeAcceleration LatticeAcceleration(double X, double Y) {
  TLatticeAcceleration A;
  A.NearestR = HUGE_VAL;
  auto Near = [&](const TPull &P, int I) {
    const double R = P.R > 0 ? P.R
                              : std::hypot(X - LatticeNuclei[I].X, Y - LatticeNuclei[I].Y);
    A.NearestR = std::min(A.NearestR, R);
  };
  for (const auto &Pair : MirrorPairs) {
    const TPull P = PullOf(Pair[0], X, Y), Q = PullOf(Pair[1], X, Y);
    A.AX += P.AX + Q.AX;
    A.AY += P.AY + Q.AY;
    Near(P, Pair[0]);
    Near(Q, Pair[1]);
  }
  const TPull P = PullOf(OnAxis, X, Y);
  A.AX += P.AX;
  A.AY += P.AY;
  Near(P, OnAxis);
  return A;
}

double LatticeEnergy(const TAlphaState &S) {
  double U = 0;
  for (const TLatticeNucleus &N : LatticeNuclei) {
    const double R = std::hypot(S.X - N.X, S.Y - N.Y);
    if (R > 0) U += Strength / R;
  }
  return (S.VX * S.VX + S.VY * S.VY) / 2 + U;
}

void AdvanceAlphaFrame(TAlphaState &S) {
  TLatticeAcceleration A = LatticeAcceleration(S.X, S.Y);
  const double Travel = std::hypot(S.VX, S.VY) * AlphaFrameStep;
  const double Limit = AlphaStepShare * A.NearestR;
  int N = AlphaMaxSubSteps;
  if (Limit > 0 && Travel / Limit < AlphaMaxSubSteps) N = std::max(1, int(std::ceil(Travel / Limit)));
  const double H = AlphaFrameStep / N;
  for (int K = 0; K < N; ++K) {
    S.VX += A.AX * H / 2;
    S.VY += A.AY * H / 2;
    S.X += S.VX * H;
    S.Y += S.VY * H;
    A = LatticeAcceleration(S.X, S.Y);
    S.VX += A.AX * H / 2;
    S.VY += A.AY * H / 2;
  }
  S.SubSteps += N;
  ++S.Frames;
}

void DrawLatticeNuclei(TCanvas &Canvas, const TLatticeLayout &L) {
  Canvas.Pen().Color = clBlack;
  Canvas.Pen().Style = psSolid;
  Canvas.Brush().Color = PaleYellow;
  Canvas.Brush().Style = bsSolid;
  for (const TLatticeNucleus &N : LatticeNuclei) {
    const TPoint C = L.ToScreen(N.X, N.Y);
    Canvas.Ellipse(C.X - L.Radius, C.Y - L.Radius, C.X + L.Radius, C.Y + L.Radius);
  }
}

namespace {

void DrawDot(TCanvas &C, TPoint P) {
  C.Pen().Color = clBlack;
  C.Brush().Color = clRed;
  C.Brush().Style = bsSolid;
  C.Ellipse(P.X - 4, P.Y - 4, P.X + 4, P.Y + 4);
}

void Frame(TBitmap &B) {
  TRect R(0, 0, B.Width(), B.Height());
  B.Canvas().DrawEdge(R, EDGE_SUNKEN, BF_RECT);
}

} // namespace

void DrawAlphaLattice(TCanvas &Canvas, int YPos, const TLatticeLayout &L) {
  TBitmap B(L.Width(), L.Height());
  DrawLatticeNuclei(B.Canvas(), L);
  DrawAlphaStartMarker(B.Canvas(), YPos, L);
  Frame(B);
  Canvas.Draw(0, 0, B);
}

void DrawAlphaStartMarker(TCanvas &Canvas, int YPos, const TLatticeLayout &L) {
  DrawDot(Canvas, L.StartMarker(YPos));
}

void DrawAlphaLattice(TCanvas &Canvas, int YPos) {
  DrawAlphaLattice(Canvas, YPos, TLatticeLayout::ForScreenMode(ScreenMode));
}

TAlphaState RunAlphaLattice(TCanvas &Canvas, LongBool Trail, double X0, double Y0, double VX0,
                            double VY0, const TYield &Yield, const TLatticeLayout &L) {
  AbortFlag = false;
  TBitmap B(L.Width(), L.Height());
  DrawLatticeNuclei(B.Canvas(), L);
  const TRect Visible(-5, -5, L.Width() + 5, L.Height() + 5);
  TAlphaState S;
  S.X = X0;
  S.Y = Y0;
  S.VX = VX0;
  S.VY = VY0;
  do {
    TAlphaState Next = S;
    AdvanceAlphaFrame(Next);
    const TPoint Q = L.ToScreen(Next.X, Next.Y);
    if (Q.X >= Visible.Left && Q.X < Visible.Right && Q.Y >= Visible.Top && Q.Y < Visible.Bottom) {
      if (!Trail) {
        B.Fill(clWhite);
        DrawLatticeNuclei(B.Canvas(), L);
      }
      DrawDot(B.Canvas(), Q);
      Frame(B);
      S = Next;
      Canvas.Draw(0, 0, B);
    } else {
      AbortFlag = true; // the particle has left the picture
    }
    if (Yield && !Yield()) break;
  } while (!AbortFlag);
  AbortFlag = true;
  return S;
}

TAlphaState RunAlphaLattice(TCanvas &Canvas, LongBool Trail, double X0, double Y0, double VX0,
                            double VY0, const TYield &Yield) {
  return RunAlphaLattice(Canvas, Trail, X0, Y0, VX0, VY0, Yield,
                         TLatticeLayout::ForScreenMode(ScreenMode));
}

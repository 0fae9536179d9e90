#include "sim/orbit_picture.h"

#include <algorithm>
#include <cmath>

#include "platform/bitmap.h"
#include "platform/numbers.h"

namespace {
// Far enough outside the picture for any shape drawn about the point to stay invisible,
// near enough for the raster code's fixed-point coordinates.
constexpr int64_t ScreenLimit = 100000;

int ClampScreen(int64_t V) { return int(std::clamp<int64_t>(V, -ScreenLimit, ScreenLimit)); }
} // namespace

TPoint ScreenPoint(int64_t X, int64_t Y) { return {ClampScreen(X), ClampScreen(Y)}; }

TPoint OrbitToScreen(const TOrbitView &View, double X, double Y) {
  // Clamped before rounding, so that adding the origin cannot overflow.
  const double Far = 1e9;
  return ScreenPoint(Round64(std::clamp(View.Scale * X, -Far, Far)) + View.OriginX,
                     View.OriginY - Round64(std::clamp(View.Scale * Y, -Far, Far)));
}

int FlooredMod(int A, int B) {
  if (B <= 0) return 0;
  const int M = A % B;
  return M < 0 ? M + B : M;
}

void DrawOrbitBackground(TCanvas &Canvas, const TOrbitView &View) {
  Canvas.Brush().Color = clWhite;
  Canvas.Brush().Style = bsSolid;
  Canvas.FillRect(TRect(0, 0, OrbitPicSize, OrbitPicSize));
  Canvas.Pen().Color = clSilver;
  const int Step = std::max(1, View.Scale);
  const int X0 = FlooredMod(View.OriginX, Step), Y0 = FlooredMod(View.OriginY, Step);
  for (int K = 0; K <= OrbitPicSize / Step; ++K) {
    Canvas.MoveTo(K * Step + X0, 0);
    Canvas.LineTo(K * Step + X0, OrbitPicSize);
    Canvas.MoveTo(0, K * Step + Y0);
    Canvas.LineTo(OrbitPicSize, K * Step + Y0);
  }
  Canvas.Pen().Color = clBlack;
}

std::array<TPoint, 3> ArrowHead(int X1, int Y1, int X2, int Y2, int L) {
  constexpr double HalfPi = 1.5707963267948966;
  double A;
  if (X1 != X2)
    A = std::atan(double(Y1 - Y2) / std::abs(X2 - X1));
  else
    A = Y2 >= Y1 ? -HalfPi : HalfPi;
  if (X2 < X1) A = 3.141592653589793 - A;
  const double C = std::cos(A), S = std::sin(A);
  const double Base[3][2] = {{2.0 * L, 0}, {0, double(L)}, {0, -double(L)}};
  std::array<TPoint, 3> P;
  for (int I = 0; I < 3; ++I) {
    const double U = Base[I][0], V = Base[I][1];
    P[I] = {Round(U * C - V * S) + X2, Y2 - Round(U * S + V * C)};
  }
  return P;
}

void DrawArrowHead(TCanvas &Canvas, int X1, int Y1, int X2, int Y2, int L) {
  const auto P = ArrowHead(X1, Y1, X2, Y2, L);
  Canvas.Brush().Color = clLime;
  Canvas.Polygon(P);
}

void DrawDisc(TCanvas &Canvas, TPoint C, int R, TColor Colour) {
  Canvas.Brush().Color = Colour;
  Canvas.Ellipse(C.X - R, C.Y - R, C.X + R, C.Y + R);
}

void FinishOrbitPicture(TBitmap &Picture, TCanvas &Target) {
  TRect R(0, 0, Picture.Width(), Picture.Height());
  Picture.Canvas().DrawEdge(R, EDGE_SUNKEN, BF_RECT);
  Target.Draw(0, 0, Picture);
}

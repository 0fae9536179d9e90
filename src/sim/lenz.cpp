#include "sim/lenz.h"

#include <cmath>
#include <numbers>

#include "platform/bitmap.h"

void DrawLenzApparatus(TCanvas &Canvas, int Coils, int MagnetPos) {
  TBitmap B(80, 430);
  TCanvas &C = B.Canvas();
  C.Brush().Color = clSilver;
  C.Rectangle(35, 2 * MagnetPos + 4, 45, 2 * MagnetPos + 34);
  C.Pen().Color = clBlue;
  for (int I = -Coils; I <= Coils; ++I) {
    C.MoveTo(20, 215 + 2 * I);
    C.LineTo(60, 215 + 2 * I);
  }
  TRect Edge(0, 0, 80, 430);
  C.DrawEdge(Edge, EDGE_SUNKEN, BF_RECT);
  Canvas.Draw(0, 0, B);
}

std::array<double, 100> LenzPulse(int N) {
  const double A = N / 10.0;
  const double X0 = (std::sqrt(A * A + 2) + A) / 2;
  const double Norm = X0 * std::exp(-(A - X0) * (A - X0));
  std::array<double, 100> E{};
  for (int I = 0; I < 100; ++I) {
    const double X = I / 10.0;
    E[I] = X * std::exp(-(A - X) * (A - X)) / Norm;
  }
  return E;
}

double LenzLeaveFactor(int N) { return std::sqrt(20 * (N / 10000.0 + 0.1)) + 1 - std::sqrt(2.0); }

void PlotLenzEmf(TSeriesSink &Series, int N) {
  const std::array<double, 100> E = LenzPulse(N);
  const double F = LenzLeaveFactor(N);
  Series.Clear();
  for (int I = 99; I >= 0; --I) Series.AddXY(99 - I, -E[I]);
  for (int I = 0; I <= 99; ++I) Series.AddXY(99 + I, F * E[I]);
}

double DynamoEmf(int Theta, int K) { return K * std::sin(K * (std::numbers::pi / 180) * Theta); }

void PlotDynamoEmf(TSeriesSink &Series, int K) {
  Series.Clear();
  for (int Theta = 0; Theta <= 360; ++Theta) Series.AddXY(Theta, DynamoEmf(Theta, K));
}

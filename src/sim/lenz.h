#pragma once
// The electromagnetic-induction page: the apparatus (a bar magnet above or inside a flat
// coil seen edge-on) and the e.m.f. curves of the induction and dynamo pages.
#include <array>

#include "platform/canvas.h"
#include "sim/series_sink.h"

// The 80 x 430 picture onto Canvas at (0, 0): 2 * Coils + 1 turns centred on y = 215,
// the magnet's top at 2 * MagnetPos + 4.
void DrawLenzApparatus(TCanvas &Canvas, int Coils, int MagnetPos);

// The e.m.f. pulse of a magnet passing a coil of N turns, as 100 samples with peak 1:
// e(x) = x exp(-(a - x)^2) with a = N / 10, sampled at x = i / 10 and divided by its
// maximum, taken at x0 = (sqrt(a^2 + 2) + a) / 2.
std::array<double, 100> LenzPulse(int N);
// How much larger the pulse of the leaving magnet is: sqrt(2 + N / 500) + 1 - sqrt(2).
double LenzLeaveFactor(int N);
// 200 points over x = 0..198: the entering magnet's negative pulse, then the leaving
// magnet's slightly larger positive one (x = 99 twice, both 0).
void PlotLenzEmf(TSeriesSink &Series, int N);

// The dynamo's e.m.f. over one turn: 361 points (theta, k sin(k theta)), theta in degrees;
// k = 2 when the coil turns twice as fast.
double DynamoEmf(int Theta, int K);
void PlotDynamoEmf(TSeriesSink &Series, int K);

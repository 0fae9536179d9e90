#include "sim/deflection_view.h"

#include <algorithm>

#include "platform/numbers.h"

TMatrix DeflectionViewMatrix(TViewAngles View) {
  TMatrix M, T;
  RotationMatrix(View.Tilt, 1, M);
  if (View.Turn != 0) {
    RotationMatrix(View.Turn, 2, T);
    MatrixProduct(M, T, M);
  }
  return M;
}

TPoint DeflectionProject(const TVertex &P, int CX, int CY) {
  const double F = 2000.0 / (2000.0 + P.Z);
  return Point(SatToInt(int64_t(Round(F * P.X)) + CX), SatToInt(int64_t(Round(F * P.Y)) + CY));
}

int ProjectedTurn(TPoint Q0, TPoint Q1, TPoint Q2) {
  const int64_t V = int64_t(Q0.X - Q1.X) * (Q2.Y - Q1.Y) - int64_t(Q0.Y - Q1.Y) * (Q2.X - Q1.X);
  return V > INT32_MAX ? INT32_MAX : V < INT32_MIN ? INT32_MIN : int(V);
}

void TViewDrag::Start(int X, int Y, TViewAngles View) {
  GrabX = X - MulDiv(175, View.Turn, 90);
  GrabY = Y + MulDiv(160, View.Tilt, 90);
}

TViewAngles TViewDrag::Move(int X, int Y, int Limit) const {
  TViewAngles V;
  V.Turn = std::clamp(MulDiv(90, X - GrabX, 175), -Limit, Limit);
  V.Tilt = std::clamp(MulDiv(90, GrabY - Y, 160), -Limit, Limit);
  return V;
}

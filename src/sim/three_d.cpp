#include "sim/three_d.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/numbers.h"
#include "sim/shared_constants.h"

TVertexArray Vertices;
TPolyList Faces;
int ViewDistance = 1000;
TVertex LightPos{-400, -400, -400};
int ShadeFactor = 8;

namespace {

int MotorZoom = 10;
int DynamoZoom = 10;

// The unit normal of the face (P1 - P0) x (P2 - P0); a degenerate face gives 0.
void FaceNormal(const TVertex &P0, const TVertex &P1, const TVertex &P2, double N[3]) {
  const double Dx1 = P1.X - P0.X, Dy1 = P1.Y - P0.Y, Dz1 = P1.Z - P0.Z;
  const double Dx2 = P2.X - P0.X, Dy2 = P2.Y - P0.Y, Dz2 = P2.Z - P0.Z;
  N[0] = Dy1 * Dz2 - Dy2 * Dz1;
  N[1] = -(Dx1 * Dz2 - Dx2 * Dz1);
  N[2] = Dx1 * Dy2 - Dx2 * Dy1;
  double Len = std::sqrt(N[0] * N[0] + N[1] * N[1] + N[2] * N[2]);
  if (Len <= 1e-6) Len = 1;
  for (int K = 0; K < 3; ++K) N[K] /= Len;
}

// The unit vector from P0 towards Target (0 when they coincide).
void UnitTowards(const TVertex &P0, double TX, double TY, double TZ, double E[3]) {
  E[0] = TX - P0.X;
  E[1] = TY - P0.Y;
  E[2] = TZ - P0.Z;
  double Len = std::sqrt(E[0] * E[0] + E[1] * E[1] + E[2] * E[2]);
  if (Len <= 0) Len = 1;
  for (int K = 0; K < 3; ++K) E[K] /= Len;
}

TPoint Project(const TVertex &P, int CX, int CY, double Zoom) {
  const double D = ViewDistance;
  const float S = float(Zoom * D / (D + P.Z));
  // Saturate before adding the centre: a vertex on the viewer's plane has s = infinity.
  return TPoint(SatToInt(int64_t(SatToInt(Round64(double(S * P.X)))) + CX),
                SatToInt(int64_t(SatToInt(Round64(double(S * P.Y)))) + CY));
}

} // namespace

TVertex Vertex(float X, float Y, float Z) { return TVertex{X, Y, Z}; }

void RotationMatrix(int AngleDeg, int Axis, TMatrix &M) {
  M = TMatrix{};
  for (int K = 0; K < 3; ++K) M[K][K] = 1.0f;
  const double A = AngleDeg * std::numbers::pi / 180;
  const float C = float(std::cos(A)), S = float(std::sin(A));
  switch (Axis) {
  case 1: M[1][1] = C; M[1][2] = -S; M[2][1] = S; M[2][2] = C; break;
  case 2: M[0][0] = C; M[0][2] = S; M[2][0] = -S; M[2][2] = C; break;
  case 3: M[0][0] = C; M[0][1] = S; M[1][0] = -S; M[1][1] = C; break;
  default: break;
  }
}

void MatrixProduct(const TMatrix &A, const TMatrix &B, TMatrix &C) {
  TMatrix R{}; // A or B may be C itself
  for (int I = 0; I < 3; ++I)
    for (int J = 0; J < 3; ++J) {
      double Sum = 0;
      for (int K = 0; K < 3; ++K) Sum += double(A[I][K]) * double(B[K][J]);
      R[I][J] = float(Sum);
    }
  C = R;
}

TVertex TransformVertex(const TVertex &P, const TMatrix &M) {
  TVertex R;
  float *Out[3] = {&R.X, &R.Y, &R.Z};
  for (int J = 0; J < 3; ++J) *Out[J] = P.X * M[0][J] + P.Y * M[1][J] + P.Z * M[2][J];
  return R;
}

TPoint ProjectMotorVertex(const TVertex &P, int CX, int CY) {
  return Project(P, CX, CY, MotorZoom * 0.1);
}
TPoint ProjectDynamoVertex(const TVertex &P, int CX, int CY) {
  return Project(P, CX, CY, DynamoZoom * 0.1);
}
TPoint ProjectVertex(const TVertex &P, int CX, int CY) { return Project(P, CX, CY, 1.0); }

bool FaceVisible(const TVertex &P0, const TVertex &P1, const TVertex &P2) {
  double N[3], E[3];
  FaceNormal(P0, P1, P2, N);
  UnitTowards(P0, 0, 0, -double(ViewDistance), E);
  return E[0] * N[0] + E[1] * N[1] + E[2] * N[2] > 0;
}

TColor ShadeColour(const TVertex &P0, const TVertex &P1, const TVertex &P2, TColor Base) {
  if (!NoPalette) {
    if (Base == clSkyBlue) return 0x00808000;
    if (Base == clCream) return 0x00E0FFFF;
    return Base;
  }
  double N[3], L[3];
  FaceNormal(P0, P1, P2, N);
  UnitTowards(P0, LightPos.X, LightPos.Y, LightPos.Z, L);
  const double Cos = std::clamp(N[0] * L[0] + N[1] * L[1] + N[2] * L[2], -1.0, 1.0);
  const int Angle = Round(std::acos(Cos) * 180 / std::numbers::pi);
  const int D = MulDiv(Angle, ShadeFactor, 12);
  const TColor C = ColorToRGB(Base);
  return RGB(std::max(0, GetRValue(C) - D), std::max(0, GetGValue(C) - D),
             std::max(0, GetBValue(C) - D));
}

void SetMotorZoom(int Value) { MotorZoom = Value; }
int GetMotorZoom() { return MotorZoom; }
void SetDynamoZoom(int Value) { DynamoZoom = Value; }
int GetDynamoZoom() { return DynamoZoom; }

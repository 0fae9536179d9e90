// Rotation, projection, back faces and shading of the shared 3-D toolkit, against values
// worked out by hand.
#include <gtest/gtest.h>
#include <cmath>
#include <type_traits>

#include "sim/shared_constants.h"
#include "sim/three_d.h"

namespace {

void ExpectVertex(const TVertex &V, float X, float Y, float Z) {
  EXPECT_NEAR(V.X, X, 1e-6);
  EXPECT_NEAR(V.Y, Y, 1e-6);
  EXPECT_NEAR(V.Z, Z, 1e-6);
}

struct PaletteSwitch {
  bool Old = NoPalette;
  explicit PaletteSwitch(bool NoPal) { NoPalette = NoPal; }
  ~PaletteSwitch() { NoPalette = Old; }
};

struct ZoomRestore {
  int M = GetMotorZoom(), D = GetDynamoZoom();
  ~ZoomRestore() { SetMotorZoom(M); SetDynamoZoom(D); }
};

} // namespace

TEST(ThreeD, Constants) {
  EXPECT_EQ(ViewDistance, 1000);
  EXPECT_EQ(ShadeFactor, 8);
  ExpectVertex(LightPos, -400, -400, -400);
  EXPECT_EQ(GetMotorZoom(), 10);
  EXPECT_EQ(GetDynamoZoom(), 10);
}

// The 3-D engines keep matrices by value in their inner loops.
static_assert(sizeof(TMatrix) == 9 * sizeof(float));
static_assert(std::is_trivially_copyable_v<TMatrix>);

TEST(ThreeD, RotationMatrices) {
  TMatrix M;
  for (auto &Row : M) Row.fill(5.0f);
  for (int Axis = 0; Axis <= 4; ++Axis) {
    RotationMatrix(0, Axis, M);
    ASSERT_EQ(M.size(), 3u);
    for (int I = 0; I < 3; ++I)
      for (int J = 0; J < 3; ++J) EXPECT_NEAR(M[I][J], I == J ? 1.0f : 0.0f, 1e-7) << Axis;
  }
  // About x by 90: (0, 1, 0) * M = (0, c, -s) = (0, 0, -1).
  RotationMatrix(90, 1, M);
  ExpectVertex(TransformVertex(Vertex(0, 1, 0), M), 0, 0, -1);
  // About y by 90: (1, 0, 0) * M = (c, 0, s) = (0, 0, 1).
  RotationMatrix(90, 2, M);
  ExpectVertex(TransformVertex(Vertex(1, 0, 0), M), 0, 0, 1);
  // About z by 90: (1, 0, 0) * M = (c, s, 0) = (0, 1, 0).
  RotationMatrix(90, 3, M);
  ExpectVertex(TransformVertex(Vertex(1, 0, 0), M), 0, 1, 0);
  // An unknown axis leaves the identity whatever the angle.
  RotationMatrix(45, 7, M);
  ExpectVertex(TransformVertex(Vertex(1, 2, 3), M), 1, 2, 3);
  // The entries of a 30-degree turn about x.
  RotationMatrix(30, 1, M);
  EXPECT_NEAR(M[1][1], std::cos(M_PI / 6), 1e-6);
  EXPECT_NEAR(M[1][2], -0.5, 1e-6);
  EXPECT_NEAR(M[2][1], 0.5, 1e-6);
}

TEST(ThreeD, MatrixProductComposesRotations) {
  TMatrix A, B, C, D;
  RotationMatrix(30, 3, A);
  RotationMatrix(60, 3, B);
  MatrixProduct(A, B, C);
  RotationMatrix(90, 3, D);
  for (int I = 0; I < 3; ++I)
    for (int J = 0; J < 3; ++J) EXPECT_NEAR(C[I][J], D[I][J], 1e-6);
  // Tilt then turn, applied to a row vector, equals the two steps one after the other.
  RotationMatrix(-30, 1, A);
  RotationMatrix(40, 2, B);
  MatrixProduct(A, B, C);
  const TVertex P = Vertex(10, -20, 30);
  const TVertex Two = TransformVertex(TransformVertex(P, A), B);
  const TVertex One = TransformVertex(P, C);
  EXPECT_NEAR(One.X, Two.X, 1e-4);
  EXPECT_NEAR(One.Y, Two.Y, 1e-4);
  EXPECT_NEAR(One.Z, Two.Z, 1e-4);
  // The result may be one of the inputs.
  MatrixProduct(A, B, A);
  EXPECT_NEAR(A[0][0], C[0][0], 1e-7);
  EXPECT_NEAR(A[2][1], C[2][1], 1e-7);
}

TEST(ThreeD, Projections) {
  ZoomRestore Keep;
  SetMotorZoom(20);
  EXPECT_EQ(ProjectMotorVertex(Vertex(100, 50, 0), 7, 9), TPoint(207, 109));
  EXPECT_EQ(ProjectMotorVertex(Vertex(100, 50, 1000), 7, 9), TPoint(107, 59));
  SetDynamoZoom(15);
  EXPECT_EQ(ProjectDynamoVertex(Vertex(100, -50, 0), 0, 0), TPoint(150, -75));
  EXPECT_EQ(GetDynamoZoom(), 15);
  // Without zoom: s = 1000 / 1250 = 0.8; y is not flipped.
  EXPECT_EQ(ProjectVertex(Vertex(100, 50, 250), 200, 100), TPoint(280, 140));
  // Halves round to even: 0.5 * 5 = 2.5 -> 2, 0.5 * 7 = 3.5 -> 4.
  EXPECT_EQ(ProjectVertex(Vertex(5, 7, 1000), 0, 0), TPoint(2, 4));
  // A vertex on the viewer's plane saturates instead of trapping.
  const TPoint Far = ProjectVertex(Vertex(1, 1, -1000), 0, 0);
  EXPECT_GT(Far.X, 1000000);
}

TEST(ThreeD, FaceVisibility) {
  const TVertex A = Vertex(0, 0, 0), B = Vertex(100, 0, 0), C = Vertex(0, 100, 0);
  // (B - A) x (C - A) = (0, 0, 1): points away from the viewer at -z.
  EXPECT_FALSE(FaceVisible(A, B, C));
  EXPECT_TRUE(FaceVisible(A, C, B));
  // Three collinear points: no normal, reported invisible.
  EXPECT_FALSE(FaceVisible(A, B, Vertex(200, 0, 0)));
  // A face seen edge-on from the eye (its plane passes through the eye) is invisible.
  EXPECT_FALSE(FaceVisible(Vertex(0, 0, 0), Vertex(0, 0, 100), Vertex(0, 100, 0)));
}

TEST(ThreeD, ShadingWithoutPalette) {
  PaletteSwitch P(true);
  // A degenerate face: cos 0, 90 degrees, d = MulDiv(90, 8, 12) = 60.
  EXPECT_EQ(ShadeColour(Vertex(0, 0, 0), Vertex(1, 0, 0), Vertex(2, 0, 0), RGB(200, 100, 50)),
            RGB(140, 40, 0));
  // A face whose normal points straight at the light keeps its colour; turned away it
  // loses 120 units (MulDiv(180, 8, 12)).
  const TVertex O = Vertex(0, 0, 0);
  // Normal of (O, U, V) is U x V; choose U, V so that it is (-1, -1, -1)/sqrt 3.
  const TVertex U = Vertex(1, -1, 0), V = Vertex(0, 1, -1);
  // U x V = ((-1)(-1) - 1*0, -(1*(-1) - 0*0), 1*1 - 0*(-1)) = (1, 1, 1): away from the light.
  EXPECT_EQ(ShadeColour(O, U, V, RGB(200, 150, 130)), RGB(80, 30, 10));
  EXPECT_EQ(ShadeColour(O, V, U, RGB(200, 150, 130)), RGB(200, 150, 130));
  // Channels floor at 0; system colours are resolved first.
  EXPECT_EQ(ShadeColour(O, U, V, RGB(100, 5, 255)), RGB(0, 0, 135));
  EXPECT_EQ(ShadeColour(O, V, U, clBtnFace), RGB(192, 192, 192));
}

TEST(ThreeD, ShadingOnAPaletteDisplay) {
  PaletteSwitch P(false);
  const TVertex O = Vertex(0, 0, 0), U = Vertex(1, -1, 0), V = Vertex(0, 1, -1);
  EXPECT_EQ(ShadeColour(O, U, V, clSkyBlue), TColor(0x00808000));
  EXPECT_EQ(ShadeColour(O, V, U, clSkyBlue), TColor(0x00808000));
  EXPECT_EQ(ShadeColour(O, U, V, clCream), TColor(0x00E0FFFF));
  EXPECT_EQ(ShadeColour(O, U, V, RGB(200, 150, 130)), RGB(200, 150, 130));
}

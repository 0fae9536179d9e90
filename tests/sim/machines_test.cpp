// The dynamo and motor scene and the force-on-a-conductor picture: geometry, painting
// order, the coil at every view, the motor's gaps and current arrows, the balance.
#include <gtest/gtest.h>

#include <cmath>

#include "pixel_count.h"
#include "platform/bitmap.h"
#include "sim/conductor.h"
#include "sim/machine_scene.h"
#include "sim/shared_constants.h"

namespace {

constexpr TColor Red = 0x000000FF, Green = 0x00008000;

double Deg(const TVertex &V) {
  double A = std::atan2(V.Y, V.X) * 180 / M_PI;
  return A < 0 ? A + 360 : A;
}

TEST(MachineScene, MagnetBlocksAndTheirFaces) {
  const TVertexArray V = BuildMachineMagnet();
  const TPolyList F = BuildMachineMagnetFaces();
  ASSERT_EQ(V.size(), 16u);
  ASSERT_EQ(F.size(), 12u);
  auto AllX = [&](int Face, float X) {
    for (int I : F[size_t(Face)])
      if (V[size_t(I)].X != X) return false;
    return true;
  };
  EXPECT_TRUE(AllX(2, -75));  // block 0's inner pole face
  EXPECT_TRUE(AllX(5, -100)); // its outer face (N)
  EXPECT_TRUE(AllX(8, 100));  // block 1's outer face (S)
  EXPECT_TRUE(AllX(11, 75));  // block 1's inner pole face
  for (int I : F[10]) EXPECT_EQ(V[size_t(I)].Y, 50); // face 10 is a bottom
}

TEST(MachineScene, CoilSquareToThePolesForTheDynamoParallelForTheMotor) {
  TVertexArray D = BuildMachineCoil(TMachine::Dynamo, 0);
  ASSERT_EQ(D.size(), 8u);
  EXPECT_NEAR(D[2].X, 0, 1e-5);
  EXPECT_NEAR(D[2].Y, 50, 1e-5);
  EXPECT_NEAR(D[4].Y, -50, 1e-5);
  EXPECT_EQ(D[7].Z, -100);
  D = BuildMachineCoil(TMachine::Dynamo, 90);
  EXPECT_NEAR(D[2].X, 50, 1e-4);
  EXPECT_NEAR(D[2].Y, 0, 1e-4);
  const TVertexArray M = BuildMachineCoil(TMachine::Motor, 0);
  EXPECT_NEAR(M[2].X, -50, 1e-5);
  EXPECT_NEAR(M[2].Y, 0, 1e-5);
  EXPECT_EQ(M[0].Z, -60);
  EXPECT_EQ(M[7].Z, -60);
  const TVertexArray L = BuildMachineLeads(TMachine::Motor, 0);
  EXPECT_NEAR(L[0].X, -20, 1e-5);
  EXPECT_NEAR(L[5].X, 20, 1e-5);
}

TEST(MachineScene, CommutatorGapsSquareToTheCoilAndTurningWithIt) {
  TVertexArray A = BuildCommutatorGap(4, 0), B = BuildCommutatorGap(14, 0);
  EXPECT_NEAR(Deg(A[0]), 81, 1e-3);
  EXPECT_NEAR(Deg(A[2]), 99, 1e-3);
  EXPECT_NEAR(Deg(B[0]), 261, 1e-3);
  EXPECT_NEAR(Deg(B[2]), 279, 1e-3);
  EXPECT_NEAR(std::hypot(A[0].X, A[0].Y), 20, 1e-4);
  EXPECT_NEAR(std::hypot(A[1].X, A[1].Y), 30, 1e-4);
  EXPECT_EQ(A[0].Z, -80);
  // The motor passes Phase = -Angle: at 30 degrees the gaps sit 30 degrees further back.
  A = BuildCommutatorGap(4, -30);
  EXPECT_NEAR(Deg(A[0]), 51, 1e-3);
  const TVertexArray Ring = BuildRingCylinder(-80, 30, 30, 0);
  ASSERT_EQ(Ring.size(), 40u);
  EXPECT_EQ(Ring[20].Z, -50);
  EXPECT_NEAR(Deg(Ring[4]), 81, 1e-3);
}

TEST(MachineScene, ArrowHeadPointsByTheSignOfDelta) {
  TVertexArray H = BuildCurrentArrowHead(-115, 0, -65, 0);
  EXPECT_EQ(H[1].X, -115);
  EXPECT_EQ(H[0].X, -125); // tip ahead of the base: +x
  H = BuildCurrentArrowHead(115, 0, -65, -10);
  EXPECT_EQ(H[0].X, 125);
  EXPECT_EQ(H[2].Y, 5);
}

// The coil is drawn in every view, after one of the inner pole faces.
TEST(MachineScene, CoilDrawnAtEveryView) {
  TBitmap B(400, 400);
  for (TMachine K : {TMachine::Dynamo, TMachine::Motor}) {
    // The magnet is the same in both scenes: the motor's views at a coarser step.
    const int Step = K == TMachine::Dynamo ? 10 : 20;
    int Views = 0;
    for (int Tilt = -85; Tilt <= 85; Tilt += Step)
      for (int Az = -85; Az <= 85; Az += Step) {
        const TMachinePaint P = K == TMachine::Dynamo ? DrawDynamo(B.Canvas(), Tilt, Az, 0)
                                                      : DrawMotor(B.Canvas(), Tilt, Az, 0);
        ASSERT_TRUE(P.CoilAfterFace == 2 || P.CoilAfterFace == 11) << Tilt << " " << Az;
        ++Views;
      }
    EXPECT_EQ(Views, K == TMachine::Dynamo ? 324 : 81);
  }
  EXPECT_EQ(DrawDynamo(B.Canvas(), 0, 0, 0).CoilAfterFace, 11);
  const TMachinePaint Start = DrawDynamo(B.Canvas(), -15, 30, 0);
  EXPECT_GE(Start.CoilAfterFace, 0);
  // At the start view the N face (x = -100) is seen, the S face not.
  EXPECT_TRUE(Start.LetterN);
  EXPECT_FALSE(Start.LetterS);
  EXPECT_TRUE(DrawDynamo(B.Canvas(), -15, -30, 0).LetterS);
}

TEST(MachineScene, DynamoPictureAtTheStartView) {
  TBitmap B(400, 300);
  DrawDynamo(B.Canvas(), -15, 30, 0);
  EXPECT_EQ(B.Canvas().Pixels(0, 0), clGray); // sunken edge
  // The coil and the leads are red, the magnet grey-shaded, the brushes sky blue.
  EXPECT_GT(CountColor(B, Red), 500);
  int Grey = 0;
  for (int Y = 0; Y < 300; ++Y)
    for (int X = 0; X < 400; ++X) {
      const TColor C = B.Canvas().Pixels(X, Y);
      Grey += GetRValue(C) == GetGValue(C) && GetGValue(C) == GetBValue(C) && GetRValue(C) > 80 &&
              GetRValue(C) < 200;
    }
  EXPECT_GT(Grey, 5000);
  // The coil's top side at Angle 0: the scene origin's column carries red above it.
  EXPECT_GT(CountColor(B, Red, TRect(150, 60, 260, 110)), 20);
  // Zoom scales the picture about its centre: more red at 20 than at 10.
  const int Red10 = CountColor(B, Red);
  SetDynamoZoom(20);
  DrawDynamo(B.Canvas(), -15, 30, 0);
  SetDynamoZoom(10);
  EXPECT_GT(CountColor(B, Red), Red10);
}

TEST(MachineScene, MotorGapsAreGreenAndTurnWithTheCoil) {
  TBitmap B(400, 400);
  AbortFlag = true;
  DrawMotor(B.Canvas(), -15, 30, 0);
  const int Green0 = CountColor(B, Green);
  EXPECT_GT(Green0, 20);
  // Looking straight along the spindle (no tilt, no turn) the gaps at 81..99 and
  // 261..279 degrees lie below and above the centre of the end face.
  DrawMotor(B.Canvas(), 0, 0, 0);
  const TPoint C(MotorCentreX, MotorCentreY);
  // z = -80 scales by 1000 / 920: radius 25 is about 27 pixels.
  EXPECT_EQ(B.Canvas().Pixels(C.X, C.Y + 27), Green);
  EXPECT_EQ(B.Canvas().Pixels(C.X, C.Y - 27), Green);
  EXPECT_NE(B.Canvas().Pixels(C.X + 27, C.Y), Green);
  DrawMotor(B.Canvas(), 0, 0, 90);
  EXPECT_EQ(B.Canvas().Pixels(C.X + 27, C.Y), Green);
  EXPECT_NE(B.Canvas().Pixels(C.X, C.Y + 27), Green);
}

TEST(MachineScene, MotorArrowsFollowTheTurnOnlyWhenNoLoopRuns) {
  TBitmap B(400, 400);
  AbortFlag = true;
  DrawMotor(B.Canvas(), -15, 30, 40);
  EXPECT_EQ(MotorLastAngle, 40);
  EXPECT_EQ(DrawMotor(B.Canvas(), -15, 30, 30).ArrowDirection, -1);
  EXPECT_EQ(DrawMotor(B.Canvas(), -15, 30, 30).ArrowDirection, 1); // a repaint: delta 0
  EXPECT_EQ(DrawMotor(B.Canvas(), -15, 30, 50).ArrowDirection, 1);
  AbortFlag = false; // a loop runs
  EXPECT_EQ(DrawMotor(B.Canvas(), -15, 30, 20).ArrowDirection, 1);
  AbortFlag = true;
  EXPECT_EQ(MotorLastAngle, 20);
}

TEST(Conductor, BalanceReading) {
  EXPECT_NEAR(BilForce(0, 2), 0.013, 1e-12);
  EXPECT_NEAR(BilForce(90, 2), 0, 1e-12);
  EXPECT_NEAR(BilForce(180, 2), -0.013, 1e-12);
  TBitmap B(300, 400);
  EXPECT_EQ(DrawBil(B.Canvas(), 0, 0, 2).Reading, "0.013");
  EXPECT_EQ(DrawBil(B.Canvas(), 0, 90, 2).Reading, "0.000");
  EXPECT_EQ(DrawBil(B.Canvas(), 0, -90, 2).Reading, "0.000");
  EXPECT_EQ(DrawBil(B.Canvas(), 0, 180, 2).Reading, "-0.013");
  const TBilPaint Start = DrawBil(B.Canvas(), 0, 30, 1);
  EXPECT_EQ(Start.Reading, "0.006");
  EXPECT_EQ(Start.Ammeter, "1.00");
  EXPECT_EQ(DrawBil(B.Canvas(), 0, 30, 5).Ammeter, "5.00");
}

TEST(Conductor, RheostatSliderAndFaceOrder) {
  TBitmap B(300, 400);
  EXPECT_EQ(DrawBil(B.Canvas(), 0, 0, 0).SliderTipX, 200);
  // The tip pixel of the slider arrow is drawn.
  EXPECT_EQ(B.Canvas().Pixels(200, 19), clBlack);
  EXPECT_EQ(B.Canvas().Pixels(200, 27), clBlack);
  EXPECT_EQ(DrawBil(B.Canvas(), 0, 0, 5).SliderTipX, 100);
  EXPECT_EQ(B.Canvas().Pixels(100, 19), clBlack);
  EXPECT_EQ(B.Canvas().Pixels(200, 27), clWhite); // the lead moved with it
  EXPECT_FALSE(DrawBil(B.Canvas(), 0, 90, 1).FarPoleFirst);
  EXPECT_TRUE(DrawBil(B.Canvas(), 0, 91, 1).FarPoleFirst);
  EXPECT_TRUE(DrawBil(B.Canvas(), 0, -91, 1).FarPoleFirst);
  for (int A = -180; A <= 180; A += 30) EXPECT_TRUE(DrawBil(B.Canvas(), 0, A, 1).WireDrawn) << A;
}

TEST(Conductor, PictureFramesAndPlanView) {
  TBitmap B(300, 400);
  DrawBil(B.Canvas(), 0, 0, 1);
  EXPECT_EQ(B.Canvas().Pixels(0, 0), clGray);
  EXPECT_EQ(B.Canvas().Pixels(150, 282), clSilver); // the strip between the frames
  EXPECT_EQ(B.Canvas().Pixels(0, 285), clGray);
  // Plan view at angle 0: the poles above and below the wire, the field arrow vertical.
  EXPECT_EQ(B.Canvas().Pixels(75, 340 + 30), clSilver);
  EXPECT_EQ(B.Canvas().Pixels(75, 340 - 30), clSilver);
  EXPECT_EQ(B.Canvas().Pixels(75, 340 + 10), TColor(0x00FF0000));
  EXPECT_EQ(B.Canvas().Pixels(85, 340), clRed);
  // Turned by 90 the poles lie left and right.
  DrawBil(B.Canvas(), 0, 90, 1);
  EXPECT_EQ(B.Canvas().Pixels(75 + 30, 340), clSilver);
  EXPECT_EQ(B.Canvas().Pixels(75 - 30, 340), clSilver);
  EXPECT_NE(B.Canvas().Pixels(75, 340 + 30), clSilver);
  // The red wire hangs between the poles of the 3-D magnet.
  EXPECT_GT(CountColor(B, clRed, TRect(100, 80, 200, 160)), 50);
}

} // namespace

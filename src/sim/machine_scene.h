#pragma once
// The dynamo and the DC motor as one perspective scene: two magnet blocks, a one-turn
// coil on a spindle between them, and either two slip rings (dynamo) or one split-ring
// commutator (motor) with two carbon brushes and two leads. The coil turns by the angle
// given; the view can be tilted, turned, moved and zoomed. There is no physics in the
// picture, only the pole letters. Geometry through three_d.h; every paint rebuilds the
// shared Vertices and Faces, so two scenes never paint interleaved.
#include "platform/canvas.h"
#include "sim/three_d.h"

// View of the dynamo picture (400 x 300), read and written by its page.
extern int DynamoTilt;    // rotation about x, degrees (-15)
extern int DynamoAzimuth; // rotation about y, degrees (30)
extern int DynamoCentreX; // screen position of the scene origin (200, 150)
extern int DynamoCentreY;
// View of the motor picture (400 x 400).
extern int MotorTilt;     // -15
extern int MotorAzimuth;  // 30
extern int MotorCentreX;  // 200
extern int MotorCentreY;  // 200
// The coil angle of the motor's previous paint: turning the angle by hand shows the
// current's direction in the supply leads by the sign of the change.
extern int MotorLastAngle;

enum class TMachine { Dynamo, Motor };

// What one paint did, for the pages' and the tests' checks.
struct TMachinePaint {
  int CoilAfterFace = -1; // the inner pole face the coil was drawn after
  bool LetterN = false, LetterS = false;
  int ArrowDirection = 0; // the motor's supply-lead arrows: +1 towards +x, -1 towards -x
};

// Paints the whole scene into a fresh bitmap and draws it at (0, 0) of Canvas. Angle is
// the coil's angle in degrees.
TMachinePaint DrawDynamo(TCanvas &Canvas, int Tilt, int Azimuth, int Angle);
// The motor's arrows follow Angle - MotorLastAngle while no animation runs (AbortFlag
// set) and point to +x while one runs.
TMachinePaint DrawMotor(TCanvas &Canvas, int Tilt, int Azimuth, int Angle);

// The parts, untransformed, as the scenes build them.
TVertexArray BuildMachineMagnet();
TPolyList BuildMachineMagnetFaces();
// The dynamo's coil is square to the poles at Angle 0, the motor's parallel to them.
TVertexArray BuildMachineCoil(TMachine Kind, int Angle);
TVertexArray BuildMachineLeads(TMachine Kind, int Angle);
// 40 vertices: facet seams at t_i = i pi/10 + Phase + pi/20 on the circle at Z (0..19)
// and at Z + Width (20..39).
TVertexArray BuildRingCylinder(float Z, float Width, float Radius, int Phase);
// The quad of a commutator gap (Segment 4 or 14) on the end face at z = -80.
TVertexArray BuildCommutatorGap(int Segment, int Phase);
// The arrowhead of a supply lead, its tip at (X, Y, Z), pointing +x for Delta >= 0.
TVertexArray BuildCurrentArrowHead(int X, int Y, int Z, int Delta);

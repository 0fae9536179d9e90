#pragma once
// The small 3-D toolkit the perspective pictures share: vertices and faces, 3 x 3
// rotation matrices, the transformation of a vertex, three perspective projections, a
// back-face test and a flat shading rule, with the view constants and the zoom settings
// of the motor and dynamo pictures.
//
// Scene coordinates are pixels: x to the right, y downwards (the screen's sense), z away
// from the viewer, who sits at (0, 0, -ViewDistance) looking along +z. Points are row
// vectors: p' = p * M.
#include <array>
#include <vector>

#include "platform/types.h"

struct TVertex {
  float X = 0, Y = 0, Z = 0;
};
using TVertexArray = std::vector<TVertex>;
// Faces as lists of indices into a TVertexArray.
using TPolyList = std::vector<std::vector<int>>;
// [row][column]; a value, so that products and rotations allocate nothing.
using TMatrix = std::array<std::array<float, 3>, 3>;

// The current scene's magnet vertices and faces (filled by the motor and dynamo scenes).
extern TVertexArray Vertices;
extern TPolyList Faces;
// Distance D of the viewer from the origin along -z.
extern int ViewDistance;
// Position of the light for shading.
extern TVertex LightPos;
// A face loses ShadeFactor colour units per 12 degrees between its normal and the light.
extern int ShadeFactor;

// A sky blue and a cream that the scenes fill with; a palette display shows them as
// plainer colours.
constexpr TColor clSkyBlue = 0x00F0CAA6;
constexpr TColor clCream = 0x00F0FBFF;

TVertex Vertex(float X, float Y, float Z);
// Rotation by AngleDeg degrees about axis 1 = x, 2 = y, 3 = z; any other axis gives the
// identity. A view is RotationMatrix(Tilt, 1) * RotationMatrix(Turn, 2).
void RotationMatrix(int AngleDeg, int Axis, TMatrix &M);
// C := A * B, each sum accumulated in double precision.
void MatrixProduct(const TMatrix &A, const TMatrix &B, TMatrix &C);
TVertex TransformVertex(const TVertex &P, const TMatrix &M);
// Perspective onto the screen centred on (CX, CY): scale s = D / (D + z), times the
// motor's or dynamo's zoom in tenths for the first two.
TPoint ProjectMotorVertex(const TVertex &P, int CX, int CY);
TPoint ProjectDynamoVertex(const TVertex &P, int CX, int CY);
TPoint ProjectVertex(const TVertex &P, int CX, int CY);
// True when the face through P0, P1, P2 is turned towards the viewer (strictly).
bool FaceVisible(const TVertex &P0, const TVertex &P1, const TVertex &P2);
// The colour in which to fill that face: darkened by its angle to the light on a display
// without a palette; on a palette display only the sky blue and cream are replaced.
TColor ShadeColour(const TVertex &P0, const TVertex &P1, const TVertex &P2, TColor Base);

// Zoom of the motor and dynamo pictures in tenths (10, 15 or 20).
void SetMotorZoom(int Value);
int GetMotorZoom();
void SetDynamoZoom(int Value);
int GetDynamoZoom();

#include "sim/helix.h"

#include <cmath>
#include <numbers>

#include "platform/bitmap.h"
#include "platform/numbers.h"

namespace {

constexpr double Pi = std::numbers::pi;
constexpr int PictureWidth = 350, PictureHeight = 320;
constexpr int CentreX = 175, CentreY = 140;
constexpr TColor PaleYellow = 0x00E0FFFF;
constexpr TColor Aqua = 0x00FFFF00;
constexpr TColor Maroon = 0x00000080;
constexpr int StepsPerTurn = 72; // 5 degrees a step
constexpr double MuzzleReach = 40;
// A bound on the helix's points should a pitch come out (nearly) zero.
constexpr size_t MaxPoints = 200000;

struct TVec {
  double X = 0, Y = 0, Z = 0;
};

TVec Sub(TVec A, TVec B) { return {A.X - B.X, A.Y - B.Y, A.Z - B.Z}; }
double Dot(TVec A, TVec B) { return A.X * B.X + A.Y * B.Y + A.Z * B.Z; }
TVec Cross(TVec A, TVec B) { return {A.Y * B.Z - A.Z * B.Y, A.Z * B.X - A.X * B.Z, A.X * B.Y - A.Y * B.X}; }

// The scene after the view's rotation, points as row vectors.
class TView {
public:
  explicit TView(TViewAngles Angles) : M(DeflectionViewMatrix(Angles)) {}
  TVec Rotate(TVec P) const {
    return {P.X * M[0][0] + P.Y * M[1][0] + P.Z * M[2][0], P.X * M[0][1] + P.Y * M[1][1] + P.Z * M[2][1],
            P.X * M[0][2] + P.Y * M[1][2] + P.Z * M[2][2]};
  }
  static TPoint Project(TVec R) {
    return DeflectionProject(Vertex(float(R.X), float(R.Y), float(R.Z)), CentreX, CentreY);
  }

private:
  TMatrix M;
};

// A convex solid already rotated: its faces split into those turned towards the viewer
// (at (0, 0, -2000)) and those turned away, each face's normal taken away from the centre.
struct TSolid {
  std::vector<TVec> V;
  std::vector<std::vector<int>> Faces;

  bool Facing(const std::vector<int> &F) const {
    TVec C{}, FC{};
    for (const TVec &P : V) C = {C.X + P.X, C.Y + P.Y, C.Z + P.Z};
    C = {C.X / V.size(), C.Y / V.size(), C.Z / V.size()};
    for (int I : F) FC = {FC.X + V[I].X, FC.Y + V[I].Y, FC.Z + V[I].Z};
    FC = {FC.X / F.size(), FC.Y / F.size(), FC.Z / F.size()};
    TVec N = Cross(Sub(V[F[1]], V[F[0]]), Sub(V[F[2]], V[F[0]]));
    if (Dot(N, Sub(FC, C)) < 0) N = {-N.X, -N.Y, -N.Z};
    return Dot(N, Sub(TVec{0, 0, -2000}, FC)) > 0;
  }
  void Draw(TCanvas &C, bool Front) const {
    for (const auto &F : Faces) {
      if (Facing(F) != Front) continue;
      TPointArray Poly;
      for (int I : F) Poly.push_back(TView::Project(V[I]));
      C.Polygon(Poly);
    }
  }
};

TSolid Box(const TView &View, const TVec Corners[8]) {
  TSolid S;
  for (int K = 0; K < 8; ++K) S.V.push_back(View.Rotate(Corners[K]));
  // Corners 0..3 on one side, 4..7 the same on the other.
  S.Faces = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
  return S;
}

TSolid Cube(const TView &View) {
  const TVec C[8] = {{-100, -100, -100}, {100, -100, -100}, {100, 100, -100}, {-100, 100, -100},
                     {-100, -100, 100},  {100, -100, 100},  {100, 100, 100},  {-100, 100, 100}};
  return Box(View, C);
}

void DrawFieldArrow(TCanvas &C, const TView &View, LongBool FieldDir) {
  const double Tip = FieldDir ? -120 : 120, End = FieldDir ? -100 : 100;
  const TVec Rod[8] = {{-3, -100, -3}, {3, -100, -3}, {3, -100, 3}, {-3, -100, 3},
                       {-3, 100, -3},  {3, 100, -3},  {3, 100, 3},  {-3, 100, 3}};
  TSolid Head;
  for (TVec P : {TVec{-8, End, -8}, TVec{8, End, -8}, TVec{8, End, 8}, TVec{-8, End, 8}, TVec{0, Tip, 0}})
    Head.V.push_back(View.Rotate(P));
  Head.Faces = {{0, 1, 2, 3}, {0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}};
  C.Pen().Color = Maroon;
  C.Pen().Width = 1;
  C.Brush().Style = bsSolid;
  C.Brush().Color = clRed;
  Box(View, Rod).Draw(C, true);
  Head.Draw(C, true);
}

void DrawGun(TCanvas &C, const TView &View, int Angle, const THelixPoint &P0) {
  static constexpr double Outline[4][2] = {{-26, 6}, {0, 6}, {0, -6}, {-26, -6}};
  const double A = (Angle - 90) * Pi / 180, Co = std::cos(A), Si = std::sin(A);
  TVec V[8];
  for (int K = 0; K < 4; ++K) {
    const double X = P0.X + Outline[K][0] * Co - Outline[K][1] * Si;
    const double Y = P0.Y + Outline[K][0] * Si + Outline[K][1] * Co;
    V[K] = {X, Y, P0.Z + 8};
    V[K + 4] = {X, Y, P0.Z - 8};
  }
  C.Pen().Color = clBlack;
  C.Pen().Width = 1;
  C.Brush().Style = bsSolid;
  C.Brush().Color = clYellow;
  Box(View, V).Draw(C, true);
}

} // namespace

THelixPath ComputeHelix(int U, int B, int Angle, LongBool FieldDir) {
  THelixPath H;
  const double A = Angle * Pi / 180;
  H.Speed = std::sqrt(20 * U * 1.6e-19 / 9.11e-31);
  const double VPar = H.Speed * std::cos(A), VPerp = H.Speed * std::sin(A);
  H.Radius = B == 0 ? 0 : 2.733e-22 * VPerp / (B * 1.6e-19);
  H.RoundedRadius = Round(H.Radius);
  // The muzzle lies 100 pixels before the entry point along the beam, but no further than
  // MuzzleReach beyond the cube's face: from there the gun's box still lies in the picture.
  const double Cos = std::fabs(std::cos(A));
  const double Muzzle = Cos * 100 > MuzzleReach ? MuzzleReach / Cos : 100;
  if (H.RoundedRadius >= -1 && H.RoundedRadius <= 1) {
    // No sideways motion worth drawing: straight along the field.
    H.Straight = true;
    H.Points = {{0, 100 + MuzzleReach, 0}, {0, -200, 0}};
    return H;
  }
  const double R = H.Radius;
  H.Pitch = VPar * 2 * Pi * R / VPerp;
  H.TurnsInCube = Round(200 / H.Pitch);
  const int S = FieldDir ? -1 : 1;
  H.Points.reserve(std::min<size_t>(size_t(std::max(H.TurnsInCube, 0) + 1) * StepsPerTurn + 2, MaxPoints));
  H.Points.push_back({-Muzzle * std::sin(A), Muzzle * std::cos(A) + 100, S * R});
  // One turn is 72 steps of 5 degrees, each p / 72 along the field, so that points a turn
  // apart share their phase and lie p apart.
  double Y = 100;
  int I = 0;
  do {
    Y -= H.Pitch / StepsPerTurn;
    const double Phase = I * 5 * Pi / 180;
    H.Points.push_back({R * std::sin(Phase), Y, S * R * std::cos(Phase)});
    if (++I == StepsPerTurn) I = 0;
  } while (Y > -100 && H.Points.size() < MaxPoints);
  // Out of the cube along the tangent: 200 pixels across, 200 v_par / v_perp along.
  Y -= std::fabs(200 * VPar / VPerp);
  const int G = Angle > 0 ? 1 : -1;
  const double Phase = I * 5 * Pi / 180;
  const THelixPoint Prev = H.Points.back();
  H.Points.push_back({Prev.X + 200 * G * std::cos(Phase), Y, Prev.Z - 200 * S * G * std::sin(Phase)});
  return H;
}

void DrawHelix(TCanvas &Canvas, int U, int B, TViewAngles Angles, int Angle, LongBool FieldDir) {
  const THelixPath H = ComputeHelix(U, B, Angle, FieldDir);
  const TView View(Angles);
  TBitmap Bmp(PictureWidth, PictureHeight);
  TCanvas &C = Bmp.Canvas();

  std::vector<TVec> R(H.Points.size());
  std::vector<TPoint> Q(H.Points.size());
  for (size_t K = 0; K < H.Points.size(); ++K) {
    R[K] = View.Rotate({H.Points[K].X, H.Points[K].Y, H.Points[K].Z});
    Q[K] = TView::Project(R[K]);
  }
  // The field arrow stands on the axis: a strand hides it where the strand lies nearer the
  // viewer than the point of the axis it covers on the screen, and is hidden by it elsewhere.
  const TVec Axis = View.Rotate({0, 1, 0});
  const double AxisOnScreen = Axis.X * Axis.X + Axis.Y * Axis.Y;
  auto BeforeAxis = [&](const TVec &P) {
    const double T = AxisOnScreen > 1e-9 ? (P.X * Axis.X + P.Y * Axis.Y) / AxisOnScreen : 0;
    return P.Z < T * Axis.Z;
  };
  // The helix proper: every segment but the exit one (a straight path is all helix, and
  // runs along the axis: it is drawn over the arrow).
  const size_t HelixSegments = H.Straight ? 1 : H.Points.size() - 2;
  auto Segments = [&](bool Far) {
    C.Pen().Width = 2;
    for (size_t K = 0; K < HelixSegments; ++K) {
      const TVec Mid{(R[K].X + R[K + 1].X) / 2, (R[K].Y + R[K + 1].Y) / 2,
                     (R[K].Z + R[K + 1].Z) / 2};
      if ((!H.Straight && !BeforeAxis(Mid)) != Far) continue;
      C.Pen().Color = K == 0 ? Aqua : clBlue;
      C.MoveTo(Q[K].X, Q[K].Y);
      C.LineTo(Q[K + 1].X, Q[K + 1].Y);
    }
    C.Pen().Width = 1;
  };
  auto ExitSegment = [&] {
    if (H.Straight) return;
    C.Pen().Width = 2;
    C.Pen().Color = Aqua;
    const size_t N = Q.size();
    C.MoveTo(Q[N - 2].X, Q[N - 2].Y);
    C.LineTo(Q[N - 1].X, Q[N - 1].Y);
    C.Pen().Width = 1;
  };
  const TSolid Box = Cube(View);
  const bool GunBehind = R[0].Z > 0;
  const bool ExitBehind = !H.Straight && R.back().Z > 0;

  C.Pen().Color = clSilver;
  C.Pen().Width = 1;
  C.Brush().Style = bsSolid;
  C.Brush().Color = PaleYellow;
  Box.Draw(C, false);
  if (GunBehind) DrawGun(C, View, Angle, H.Points[0]);
  Segments(true);
  DrawFieldArrow(C, View, FieldDir);
  Segments(false);
  if (ExitBehind) ExitSegment();
  C.Pen().Color = clGray;
  C.Pen().Width = 1;
  C.Brush().Style = bsClear;
  Box.Draw(C, true);
  if (!ExitBehind) ExitSegment();
  if (!GunBehind) DrawGun(C, View, Angle, H.Points[0]);

  TRect Edge = Rect(0, 0, PictureWidth, PictureHeight);
  C.DrawEdge(Edge, EDGE_SUNKEN, BF_RECT);
  Canvas.Draw(0, 0, Bmp);
}

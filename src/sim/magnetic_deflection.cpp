#include "sim/magnetic_deflection.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "platform/bitmap.h"
#include "platform/numbers.h"

TRect GunRect = GunRectAtStart;

namespace {

constexpr double Pi = std::numbers::pi;
constexpr int PictureWidth = 350, PictureHeight = 320;
constexpr TColor PaleYellow = 0x00E0FFFF;
constexpr int MaxPathPoints = 100;

int Sgn(int V) { return V > 0 ? 1 : V < 0 ? -1 : 0; }

// Where a straight run from C along (VX, VY) ends: 100 pixels beyond the edge it crosses
// (NormalX: a left or right edge), cut short at the box round the region.
TPoint TangentEnd(TPoint C, int VX, int VY, bool NormalX) {
  const TRect &F = FieldRect;
  const int XMin = 0, XMax = F.Right + 100, YMin = F.Top - 100, YMax = F.Bottom + 100;
  TPoint E;
  if (NormalX) {
    if (VX != 0) E = Point(C.X + 100 * Sgn(VX), C.Y + MulDiv(100, VY, std::abs(VX)));
    else E = Point(C.X, VY > 0 ? YMax : YMin); // touching: along the edge, past its neighbour
  } else {
    if (VY != 0) E = Point(C.X + MulDiv(100, VX, std::abs(VY)), C.Y + 100 * Sgn(VY));
    else E = Point(VX > 0 ? XMax : F.Left - 100, C.Y);
  }
  if (E.X > XMax && VX != 0) E = Point(XMax, C.Y + MulDiv(XMax - C.X, VY, VX));
  if (E.X < XMin && VX != 0) E = Point(XMin, C.Y + MulDiv(XMin - C.X, VY, VX));
  if (E.Y > YMax && VY != 0) E = Point(C.X + MulDiv(YMax - C.Y, VX, VY), YMax);
  if (E.Y < YMin && VY != 0) E = Point(C.X + MulDiv(YMin - C.Y, VX, VY), YMin);
  return E;
}

TVertex FlatToScene(TPoint P) { return Vertex(float(P.X - 197), 0, float(160 - P.Y)); }

TPoint Project(const TVertex &P, const TMatrix &M) { return DeflectionProject(TransformVertex(P, M), 197, 160); }

void DrawRuler(TCanvas &C) {
  C.Pen().Color = clBlack;
  C.Brush().Style = bsClear;
  C.Font().Name = "arial";
  C.Font().Height = -MulDiv(7, C.PixelsPerInchY(), 72);
  C.Font().Color = clBlack;
  C.MoveTo(40, 10);
  C.LineTo(40, 310);
  for (int I = 0; I <= 100; ++I) {
    const int Y = 10 + 3 * I;
    C.MoveTo(40, Y);
    if (I % 10 == 0) {
      C.LineTo(50, Y);
      const std::string S = IntToStr(I / 10);
      C.TextOut(52, Y - C.TextHeight(S) / 2, S);
    } else if (I % 5 == 0) {
      C.LineTo(45, Y);
    } else {
      C.LineTo(43, Y);
    }
  }
  const int X = 40 - C.TextWidth("mm");
  C.TextOut(X, 310 - C.TextHeight("cm") / 2, "cm");
  C.TextOut(X, 10 - C.TextHeight("cm") / 2, "cm");
}

void FinishPicture(TCanvas &Canvas, TBitmap &Bmp) {
  TRect Edge = Rect(0, 0, PictureWidth, PictureHeight);
  Bmp.Canvas().DrawEdge(Edge, EDGE_SUNKEN, BF_RECT);
  Canvas.Draw(0, 0, Bmp);
}

} // namespace

int MagneticRadius(int U, int B) {
  if (B == 0) return 0;
  return Round(std::sqrt(20.0 * U * 9.11e-31 / 1.6e-19) * 3e8 / B);
}

TPointArray GunOutline(int X, int Y, int Angle, TGunOutline Kind) {
  static constexpr TPoint AboutCentre[4] = {{-13, 6}, {13, 6}, {13, -6}, {-13, -6}};
  static constexpr TPoint Muzzle[4] = {{-26, 6}, {0, 6}, {0, -6}, {-26, -6}};
  const TPoint *Corners = Kind == TGunOutline::AboutCentre ? AboutCentre : Muzzle;
  const double A = Angle * Pi / 180, C = std::cos(A), S = std::sin(A);
  TPointArray Out(4);
  for (int K = 0; K < 4; ++K)
    Out[K] = Point(X + Round(Corners[K].X * C - Corners[K].Y * S), Y + Round(Corners[K].X * S + Corners[K].Y * C));
  return Out;
}

namespace {

// The circle a path's arc lies on, and the last point of the path that lies on it.
struct TMagneticArc {
  int CX = 0, CY = 0, R = 0;
  size_t Last = 0; // 0: the path has no arc
};

TPointArray TraceMagneticPath(int U, int B, int GunAngle, LongBool FieldDir, bool FromMuzzle,
                              TMagneticArc &Arc) {
  const TRect &F = FieldRect;
  const int R = MagneticRadius(U, B);
  const double A = GunAngle * Pi / 180;
  const int X0 = FromMuzzle ? GunRect.Right : (GunRect.Left + GunRect.Right) / 2;
  const int Y0 = (GunRect.Top + GunRect.Bottom) / 2;
  const int Y1 = Y0 + Round(std::tan(A) * (F.Left - X0));
  TPointArray Path{{X0, Y0}, {F.Left, Y1}};
  // The entry point must lie inside the region by the rectangle rule, as every arc point.
  if (Y1 < F.Top || Y1 > F.Bottom - 1) return Path;

  int CX, CY;
  double T, DT;
  if (FieldDir) {
    CX = F.Left - Round(R * std::sin(A));
    CY = Y1 + Round(R * std::cos(A));
    T = Pi / 2 - A;
    DT = -0.04 * Pi;
  } else {
    CX = F.Left + Round(R * std::sin(A));
    CY = Y1 - Round(R * std::cos(A));
    T = 3 * Pi / 2 - A;
    DT = 0.04 * Pi;
  }
  // Path[1], the entry, is the arc's first point.
  while (int(Path.size()) < MaxPathPoints && PtInRect(F, Path.back())) {
    T += DT;
    Path.push_back(Point(CX + Round(R * std::cos(T)), CY - Round(R * std::sin(T))));
  }
  Arc = {CX, CY, R, Path.size() - 1};
  const TPoint Q = Path.back();
  if (PtInRect(F, Q)) return Path; // never left within the points allowed

  const TPoint P = Path[Path.size() - 2];
  // Candidate edges crossed between P and Q, each with its outward normal.
  struct TEdge {
    bool Crossed;
    bool NormalX;
    int Coord; // x of a left/right edge, y of a top/bottom edge
    int Out;   // +1 towards larger coordinates
  };
  const TEdge Edges[3] = {{Q.X >= F.Right, true, F.Right, 1},
                          {Q.Y < F.Top, false, F.Top, -1},
                          {Q.Y >= F.Bottom, false, F.Bottom, 1}};
  const TPoint Mid((P.X + Q.X) / 2, (P.Y + Q.Y) / 2);
  bool Found = false;
  TPoint Best, BestV;
  bool BestNormalX = false;
  int BestDist = 0;
  for (const TEdge &E : Edges) {
    if (!E.Crossed) continue;
    const int D = std::abs(E.Coord - (E.NormalX ? CX : CY));
    const double S2 = double(R) * R - double(D) * D;
    const int S = S2 > 0 ? Round(std::sqrt(S2)) : 0;
    for (int Side = -1; Side <= 1; Side += 2) {
      const TPoint C = E.NormalX ? Point(E.Coord, CY + Side * S) : Point(CX + Side * S, E.Coord);
      const int RX = C.X - CX, RY = C.Y - CY;
      // Velocity along the circle: clockwise on screen with the field into the picture.
      const TPoint V = FieldDir ? Point(-RY, RX) : Point(RY, -RX);
      const int Outward = (E.NormalX ? V.X : V.Y) * E.Out;
      if (Outward < 0 || (Outward == 0 && S != 0)) continue;
      const bool OnEdge = E.NormalX ? (C.Y >= F.Top && C.Y <= F.Bottom) : (C.X >= F.Left && C.X <= F.Right);
      if (!OnEdge) continue;
      const int Dist = std::abs(C.X - Mid.X) + std::abs(C.Y - Mid.Y);
      if (!Found || Dist < BestDist) {
        Found = true;
        Best = C;
        BestV = V;
        BestNormalX = E.NormalX;
        BestDist = Dist;
      }
    }
  }
  if (Q.X < F.Left) {
    // Turned back: out through the left edge, the mirror image of the entry direction.
    const int RC = Round(R * std::cos(A));
    const TPoint C(F.Left, FieldDir ? CY + RC : CY - RC);
    const int Dist = std::abs(C.X - Mid.X) + std::abs(C.Y - Mid.Y);
    if (C.Y >= F.Top && C.Y <= F.Bottom && (!Found || Dist <= BestDist)) {
      Path[Path.size() - 2] = C;
      Path.back() = Point(0, C.Y + (GunAngle == 0 ? 0 : Round(std::tan(A) * F.Left)));
      Arc.Last = Path.size() - 2;
      return Path;
    }
  }
  if (!Found) return Path;
  // A circle reaching past both the top and the bottom that leaves by the right edge keeps
  // its traced end.
  if (BestNormalX && CY - R <= F.Top && CY + R >= F.Bottom) return Path;
  Path[Path.size() - 2] = Best;
  Path.back() = TangentEnd(Best, BestV.X, BestV.Y, BestNormalX);
  Arc.Last = Path.size() - 2;
  return Path;
}

} // namespace

TPointArray ComputeMagneticPath(int U, int B, int GunAngle, LongBool FieldDir, bool FromMuzzle) {
  TMagneticArc Arc;
  return TraceMagneticPath(U, B, GunAngle, FieldDir, FromMuzzle, Arc);
}

TPointArray DrawnMagneticPath(int U, int B, int GunAngle, LongBool FieldDir, bool FromMuzzle) {
  TMagneticArc Arc;
  const TPointArray Path = TraceMagneticPath(U, B, GunAngle, FieldDir, FromMuzzle, Arc);
  if (Arc.Last < 2 || Arc.R <= 0) return Path;
  // Steps of 7.2 degrees are chords of up to 90 pixels on a wide circle: between the
  // path's points on the arc, points of the circle itself a pixel or two apart.
  auto Angle = [&](TPoint P) { return std::atan2(double(Arc.CY - P.Y), double(P.X - Arc.CX)); };
  TPointArray Out(Path.begin(), Path.begin() + 2);
  for (size_t K = 1; K < Arc.Last; ++K) {
    // Neighbours on the arc lie at most a step of 7.2 degrees apart: the short way round.
    const double T0 = Angle(Path[K]);
    const double Sweep = std::remainder(Angle(Path[K + 1]) - T0, 2 * Pi);
    const int Steps = std::max(1, int(std::ceil(std::fabs(Sweep) * Arc.R / 2)));
    for (int I = 1; I < Steps; ++I) {
      const double T = T0 + Sweep * I / Steps;
      const TPoint P(Arc.CX + Round(Arc.R * std::cos(T)), Arc.CY - Round(Arc.R * std::sin(T)));
      if (P != Out.back()) Out.push_back(P);
    }
    if (Path[K + 1] != Out.back()) Out.push_back(Path[K + 1]);
  }
  Out.insert(Out.end(), Path.begin() + Arc.Last + 1, Path.end());
  return Out;
}

void DrawMagneticDeflection(TCanvas &Canvas, int U, int B, int GunAngle, LongBool FieldDir) {
  TBitmap Bmp(PictureWidth, PictureHeight);
  TCanvas &C = Bmp.Canvas();
  DrawRuler(C);
  const TRect &F = FieldRect;
  C.Brush().Style = bsSolid;
  C.Brush().Color = PaleYellow;
  C.FillRect(F);
  int S = 60 - Round(B / 20.0);
  if (S < 10) S = 10;
  for (int I = 0; I <= F.Width() / S; ++I)
    for (int J = 0; J <= F.Height() / S; ++J) C.SetPixels(F.Left + I * S, F.Top + J * S, clBlack);
  C.Pen().Color = clBlack;
  C.Pen().Width = 1;
  C.Polyline(DrawnMagneticPath(U, B, GunAngle, FieldDir, false));
  C.Brush().Color = clYellow;
  C.Polygon(GunOutline((GunRect.Left + GunRect.Right) / 2, (GunRect.Top + GunRect.Bottom) / 2, GunAngle,
                       TGunOutline::AboutCentre));
  FinishPicture(Canvas, Bmp);
}

namespace {

void DrawGun3D(TCanvas &C, const TMatrix &M, int GunAngle) {
  const TPointArray Q = GunOutline(GunRect.Right, 0, GunAngle, TGunOutline::EndingAtMuzzle);
  const int C0 = 160 - (GunRect.Top + GunRect.Bottom) / 2;
  TPoint V[8];
  for (int K = 0; K < 4; ++K) {
    V[K] = DeflectionProject(TransformVertex(Vertex(float(Q[K].X - 197), 8, float(C0 - Q[K].Y)), M), 197, 160);
    V[K + 4] = DeflectionProject(TransformVertex(Vertex(float(Q[K].X - 197), -8, float(C0 - Q[K].Y)), M), 197, 160);
  }
  static constexpr int FaceList[6][4] = {{3, 2, 6, 7}, {0, 4, 5, 1}, {1, 5, 6, 2},
                                         {0, 3, 7, 4}, {4, 7, 6, 5}, {0, 1, 2, 3}};
  C.Pen().Color = clBlack;
  C.Pen().Width = 1;
  C.Brush().Style = bsSolid;
  C.Brush().Color = clYellow;
  for (const auto &Face : FaceList) {
    const TPoint Poly[4] = {V[Face[0]], V[Face[1]], V[Face[2]], V[Face[3]]};
    if (ProjectedTurn(Poly[0], Poly[1], Poly[2]) < 1) C.Polygon(Poly);
  }
}

void DrawFieldRegion3D(TCanvas &C, const TMatrix &M, int U, int B, int GunAngle, LongBool FieldDir, int Tilt) {
  const TRect &F = FieldRect;
  const int H = Tilt > 0 ? -100 : 100;
  const TPoint Corners[4] = {Project(FlatToScene(Point(F.Left, F.Top)), M),
                             Project(FlatToScene(Point(F.Right, F.Top)), M),
                             Project(FlatToScene(Point(F.Right, F.Bottom)), M),
                             Project(FlatToScene(Point(F.Left, F.Bottom)), M)};
  TPointArray Path = DrawnMagneticPath(U, B, GunAngle, FieldDir, true);
  for (TPoint &P : Path) P = Project(FlatToScene(P), M);

  // Half of each of the twelve field lines, from the plate to height End, with a head when
  // the field points that way (downwards, +y, into the flat picture, when FieldDir).
  auto HalfLines = [&](int End) {
    C.Pen().Color = clRed;
    C.Pen().Width = 2;
    C.Brush().Style = bsSolid;
    C.Brush().Color = clRed;
    const bool Head = (End > 0) == bool(FieldDir);
    const int D = End > 0 ? 1 : -1;
    for (int I = 0; I <= 2; ++I)
      for (int J = 0; J <= 3; ++J) {
        const float X = float(100 * I - 102), Z = float(100 * J - 150);
        const TPoint A = Project(Vertex(X, 0, Z), M), E = Project(Vertex(X, float(End), Z), M);
        C.MoveTo(A.X, A.Y);
        C.LineTo(E.X, E.Y);
        if (Head) {
          const TPoint Tri[3] = {E, Project(Vertex(X - 3, float(End - 5 * D), Z), M),
                                 Project(Vertex(X + 3, float(End - 5 * D), Z), M)};
          C.Polygon(Tri);
        }
      }
  };
  HalfLines(H);
  C.Pen().Color = clSilver;
  C.Pen().Width = 1;
  C.Brush().Style = bsSolid;
  C.Brush().Color = PaleYellow;
  C.Polygon(Corners);
  C.Pen().Color = clBlue;
  C.Pen().Width = 2;
  C.Polyline(Path);
  HalfLines(-H);
  C.Pen().Width = 1;
}

} // namespace

void DrawMagneticDeflection3D(TCanvas &Canvas, int U, int B, TViewAngles View, int GunAngle, LongBool FieldDir) {
  const TMatrix M = DeflectionViewMatrix(View);
  TBitmap Bmp(PictureWidth, PictureHeight);
  TCanvas &C = Bmp.Canvas();
  if (View.Turn < 1) {
    DrawGun3D(C, M, GunAngle);
    DrawFieldRegion3D(C, M, U, B, GunAngle, FieldDir, View.Tilt);
  } else {
    DrawFieldRegion3D(C, M, U, B, GunAngle, FieldDir, View.Tilt);
    DrawGun3D(C, M, GunAngle);
  }
  FinishPicture(Canvas, Bmp);
}

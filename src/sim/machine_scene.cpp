#include "sim/machine_scene.h"

#include <cmath>
#include <numbers>

#include "platform/bitmap.h"
#include "sim/shared_constants.h"

int DynamoTilt = -15;
int DynamoAzimuth = 30;
int DynamoCentreX = 200;
int DynamoCentreY = 150;
int MotorTilt = -15;
int MotorAzimuth = 30;
int MotorCentreX = 200;
int MotorCentreY = 200;
int MotorLastAngle = 0;

namespace {

constexpr double Pi = std::numbers::pi;
constexpr TColor MagnetColour = 0x00C0C0C0;
constexpr TColor MagnetEdge = 0x00808080;
constexpr TColor BrushEdge = 0x00A4A0A0;
constexpr TColor InnerColour = 0x00E2E2E2;
constexpr TColor GapColour = 0x00008000;
constexpr TColor LeadColour = 0x000000FF;
// The split ring's two gaps are these facets of its cylinder.
constexpr int GapSegmentA = 4, GapSegmentB = 14;

// The face of each block that looks at the other (x = -75 and x = 75): the coil lies
// between them and is drawn after the first of them that is seen.
constexpr int InnerFaceA = 2, InnerFaceB = 11;
constexpr int OuterFaceN = 5, OuterFaceS = 8;

float Cosd(int A) { return float(std::cos(A * Pi / 180)); }
float Sind(int A) { return float(std::sin(A * Pi / 180)); }

TVertexArray Box(float X0, float X1, float Y0, float Y1, float Z0, float Z1) {
  return {{X0, Y0, Z1}, {X0, Y0, Z0}, {X1, Y0, Z0}, {X1, Y0, Z1},
          {X0, Y1, Z1}, {X0, Y1, Z0}, {X1, Y1, Z0}, {X1, Y1, Z1}};
}

TVertexArray Brush(float X, float Zc) { return Box(X, X + 50, -8, 8, Zc - 8, Zc + 8); }

TVertexArray NLetter() {
  return {{-100, 8, 83}, {-100, -8, 83}, {-100, 8, 67}, {-100, -8, 67}};
}

TVertexArray SLetter() {
  const float YZ[12][2] = {{-6, 80}, {-8, 78}, {-9, 75}, {-8, 72}, {-5, 70}, {-2, 72},
                           {2, 78},  {5, 80},  {8, 78},  {9, 75},  {8, 72},  {6, 70}};
  TVertexArray V;
  for (const auto &P : YZ) V.push_back({100, P[0], P[1]});
  return V;
}

TVertexArray RingCircle(float Z, float Radius, int Phase) {
  TVertexArray V(20);
  for (int I = 0; I < 20; ++I) {
    const double T = I * Pi / 10 + Phase * Pi / 180 + Pi / 20;
    V[I] = {float(Radius * std::cos(T)), float(Radius * std::sin(T)), Z};
  }
  return V;
}

void Transform(TVertexArray &V, const TMatrix &M) {
  for (TVertex &P : V) P = TransformVertex(P, M);
}

// One paint of either machine.
class TScene {
public:
  TScene(TMachine AKind, int Tilt, int Azimuth, int Angle) : Kind(AKind) {
    TMatrix A, B;
    RotationMatrix(Tilt, 1, A);
    RotationMatrix(Azimuth, 2, B);
    MatrixProduct(A, B, M);
    Vertices = BuildMachineMagnet();
    Transform(Vertices, M);
    Faces = BuildMachineMagnetFaces();
    Coil = BuildMachineCoil(Kind, Angle);
    Leads = BuildMachineLeads(Kind, Angle);
    const bool Motor = Kind == TMachine::Motor;
    BrushA = Brush(-80, -65);
    BrushB = Brush(30, Motor ? -65 : -105);
    N = NLetter();
    S = SLetter();
    for (TVertexArray *V : {&Coil, &Leads, &BrushA, &BrushB, &N, &S}) Transform(*V, M);
    if (Motor) {
      GapA = BuildCommutatorGap(GapSegmentA, -Angle);
      GapB = BuildCommutatorGap(GapSegmentB, -Angle);
      Transform(GapA, M);
      Transform(GapB, M);
    }
  }

  TPoint Project(const TVertex &P) const {
    return Kind == TMachine::Motor ? ProjectMotorVertex(P, MotorCentreX, MotorCentreY)
                                   : ProjectDynamoVertex(P, DynamoCentreX, DynamoCentreY);
  }
  TPointArray Project(const TVertexArray &V) const {
    TPointArray P(V.size());
    for (size_t I = 0; I < V.size(); ++I) P[I] = Project(V[I]);
    return P;
  }

  void Wide(TCanvas &C, const TVertexArray &V, size_t From, size_t Count, TColor Colour, int Width) {
    TPointArray P;
    for (size_t I = From; I < From + Count; ++I) P.push_back(Project(V[I]));
    const TPen Saved = C.Pen();
    C.Pen().Color = Colour;
    C.Pen().Width = Width;
    C.Polyline(P);
    C.Pen().Color = Saved.Color;
    C.Pen().Width = 1;
  }

  void DrawCoil(TCanvas &C) { Wide(C, Coil, 0, 8, LeadColour, 3); }
  void DrawLeads(TCanvas &C) {
    Wide(C, Leads, 0, 3, LeadColour, 3);
    Wide(C, Leads, 3, 3, LeadColour, 3);
  }

  void DrawMagnet(TCanvas &C, const int *Order) {
    for (int K = 0; K < 12; ++K) {
      const int F = Order[K];
      const std::vector<int> &Face = Faces[F];
      const TVertex &P0 = Vertices[Face[0]], &P1 = Vertices[Face[1]], &P2 = Vertices[Face[2]];
      if (!FaceVisible(P1, P2, P0)) continue;
      TPointArray Poly;
      for (int I : Face) Poly.push_back(Project(Vertices[I]));
      C.Brush().Style = bsSolid;
      C.Brush().Color = ShadeColour(P1, P2, P0, MagnetColour);
      C.Pen().Color = MagnetEdge;
      C.Polygon(Poly);
      if (F == OuterFaceN) {
        Wide(C, N, 0, N.size(), clBlack, 2);
        C.Pen().Color = MagnetEdge;
        Report.LetterN = true;
      } else if (F == OuterFaceS) {
        Wide(C, S, 0, S.size(), clBlack, 2);
        C.Pen().Color = MagnetEdge;
        Report.LetterS = true;
      } else if ((F == InnerFaceA || F == InnerFaceB) && Report.CoilAfterFace < 0) {
        DrawCoil(C);
        Report.CoilAfterFace = F;
      }
    }
  }

  void DrawBrushBox(TCanvas &C, const TVertexArray &Box) {
    static const int BoxFaces[6][4] = {{0, 1, 2, 3}, {0, 4, 5, 1}, {1, 5, 6, 2},
                                       {0, 3, 7, 4}, {3, 2, 6, 7}, {4, 7, 6, 5}};
    C.Pen().Color = BrushEdge;
    C.Brush().Style = bsSolid;
    for (const auto &F : BoxFaces) {
      const TVertex &P0 = Box[F[0]], &P1 = Box[F[1]], &P2 = Box[F[2]];
      if (!FaceVisible(P1, P2, P0)) continue;
      C.Brush().Color = ShadeColour(P1, P2, P0, clSkyBlue);
      const TPoint Poly[4] = {Project(Box[F[0]]), Project(Box[F[1]]), Project(Box[F[2]]),
                              Project(Box[F[3]])};
      C.Polygon(Poly);
    }
  }

  void DrawExternalLead(TCanvas &C, float X1, float X2, float Z) {
    const TVertexArray L = {TransformVertex({X1, 0, Z}, M), TransformVertex({X2, 0, Z}, M)};
    Wide(C, L, 0, 2, LeadColour, 3);
  }

  // The motor's supply lead with its arrowhead halfway along.
  void DrawSupplyLead(TCanvas &C, int X1, int X2, int Delta) {
    DrawExternalLead(C, float(X1), float(X2), -65);
    TVertexArray Head = BuildCurrentArrowHead((X1 + X2) / 2, 0, -65, Delta);
    Transform(Head, M);
    const TPointArray P = Project(Head);
    C.Pen().Color = LeadColour;
    C.Brush().Style = bsSolid;
    C.Brush().Color = LeadColour;
    C.Polygon(P);
    Report.ArrowDirection = Delta >= 0 ? 1 : -1;
  }

  // Corners and visibility test of facet I of a 40-vertex cylinder.
  static void Facet(const TVertexArray &V, int I, const TVertex *Q[4]) {
    const int J = (I + 1) % 20;
    Q[0] = &V[I];
    Q[1] = &V[J];
    Q[2] = &V[J + 20];
    Q[3] = &V[I + 20];
  }
  bool IsGap(int I) const {
    return Kind == TMachine::Motor && (I == GapSegmentA || I == GapSegmentB);
  }

  void DrawRingOuter(TCanvas &C, float Z, int Phase) {
    TVertexArray V = BuildRingCylinder(Z, 30, 30, Phase);
    Transform(V, M);
    C.Brush().Style = bsSolid;
    for (int I = 0; I < 20; ++I) {
      const TVertex *Q[4];
      Facet(V, I, Q);
      if (!FaceVisible(*Q[1], *Q[2], *Q[0])) continue;
      const TPoint Poly[4] = {Project(*Q[0]), Project(*Q[1]), Project(*Q[2]), Project(*Q[3])};
      if (IsGap(I)) {
        C.Brush().Color = GapColour;
        C.Pen().Color = GapColour;
        C.Pen().Style = psSolid;
      } else {
        C.Brush().Color = ShadeColour(*Q[1], *Q[2], *Q[0], clCream);
        C.Pen().Style = psClear;
      }
      C.Polygon(Poly);
      C.Pen().Style = psSolid;
      C.Pen().Color = clSilver;
      C.MoveTo(Poly[2].X, Poly[2].Y);
      C.LineTo(Poly[3].X, Poly[3].Y);
    }
  }

  void DrawRingInner(TCanvas &C, float Z, int Phase) {
    TVertexArray V = BuildRingCylinder(Z, 30, 20, Phase);
    Transform(V, M);
    const TPointArray P = Project(V);
    const std::span<const TPoint> Near(P.data(), 20), Far(P.data() + 20, 20);
    C.SelectClipRegion(TRegion::FromPolygon(Near, true));
    C.Brush().Style = bsSolid;
    for (int I = 0; I < 20; ++I) {
      const TVertex *Q[4];
      Facet(V, I, Q);
      // The inside of the hole is what is turned away from the viewer.
      if (FaceVisible(*Q[1], *Q[2], *Q[0])) continue;
      const int J = (I + 1) % 20;
      const TPoint Poly[4] = {P[I], P[J], P[J + 20], P[I + 20]};
      if (IsGap(I)) {
        C.Brush().Color = GapColour;
        C.Pen().Color = GapColour;
        C.Pen().Style = psSolid;
      } else {
        C.Brush().Color = ShadeColour(*Q[1], *Q[2], *Q[0], InnerColour);
        C.Pen().Style = psClear;
      }
      C.Polygon(Poly);
    }
    C.Pen().Style = psSolid;
    C.Pen().Color = MagnetEdge;
    C.Brush().Style = bsClear;
    C.Polygon(Far);
    DrawLeads(C); // seen only through the hole
    C.RemoveClip();
    C.Brush().Style = bsSolid;
  }

  void DrawRingEnd(TCanvas &C, float Z, int Phase) {
    TVertexArray Outer = RingCircle(Z, 30, Phase), Inner = RingCircle(Z, 20, Phase);
    Transform(Outer, M);
    Transform(Inner, M);
    const TColor Colour = ShadeColour(Outer[1], Outer[0], Outer[2], clCream);
    const TPointArray PO = Project(Outer), PI = Project(Inner);
    C.SelectClipRegion(TRegion::FromPolygon(PO, true).Subtracted(TRegion::FromPolygon(PI, true)));
    C.Brush().Style = bsSolid;
    C.Brush().Color = Colour;
    C.Pen().Color = clSilver;
    C.Polygon(PO);
    C.RemoveClip();
    C.Brush().Style = bsClear;
    C.Polygon(PO);
    C.Polygon(PI);
    C.Brush().Style = bsSolid;
  }

  void DrawGap(TCanvas &C, const TVertexArray &Gap) {
    C.Brush().Style = bsSolid;
    C.Brush().Color = GapColour;
    C.Pen().Color = GapColour;
    C.Polygon(Project(Gap));
  }

  TMachine Kind;
  TMatrix M;
  TVertexArray Coil, Leads, BrushA, BrushB, N, S, GapA, GapB;
  TMachinePaint Report;
};

const int OrderBlock1First[12] = {6, 7, 8, 9, 10, 11, 0, 1, 2, 3, 4, 5};
const int OrderBlock0First[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

void Finish(TCanvas &Canvas, TBitmap &B) {
  TRect Edge(0, 0, B.Width(), B.Height());
  B.Canvas().DrawEdge(Edge, EDGE_SUNKEN, BF_RECT);
  Canvas.Draw(0, 0, B);
}

} // namespace

TVertexArray BuildMachineMagnet() {
  TVertexArray V;
  for (float X0 : {-100.0f, 75.0f}) {
    const float X1 = X0 + 25;
    for (float Y : {-50.0f, 50.0f}) {
      V.push_back({X0, Y, 0});
      V.push_back({X1, Y, 0});
      V.push_back({X1, Y, 150});
      V.push_back({X0, Y, 150});
    }
  }
  return V;
}

TPolyList BuildMachineMagnetFaces() {
  static const int Block[6][4] = {{0, 1, 2, 3}, {0, 4, 5, 1}, {1, 5, 6, 2},
                                  {3, 2, 6, 7}, {4, 7, 6, 5}, {0, 3, 7, 4}};
  TPolyList F;
  for (int Offset : {0, 8})
    for (const auto &Face : Block)
      F.push_back({Face[0] + Offset, Face[1] + Offset, Face[2] + Offset, Face[3] + Offset});
  return F;
}

TVertexArray BuildMachineCoil(TMachine Kind, int Angle) {
  const int A = Kind == TMachine::Dynamo ? Angle + 90 : Angle;
  const float C = Cosd(A), S = Sind(A);
  // The dynamo's second spindle end reaches its second slip ring.
  const float End2 = Kind == TMachine::Dynamo ? -100 : -60;
  return {{-5 * C, 5 * S, -60},    {-5 * C, 5 * S, 0},   {-50 * C, 50 * S, 0},
          {-50 * C, 50 * S, 150},  {50 * C, -50 * S, 150}, {50 * C, -50 * S, 0},
          {5 * C, -5 * S, 0},      {5 * C, -5 * S, End2}};
}

TVertexArray BuildMachineLeads(TMachine Kind, int Angle) {
  const int A = Kind == TMachine::Dynamo ? Angle + 90 : Angle;
  const float C = Cosd(A), S = Sind(A);
  const float End2 = Kind == TMachine::Dynamo ? -100 : -60;
  return {{-20 * C, 20 * S, -60}, {-5 * C, 5 * S, -60}, {-5 * C, 5 * S, 0},
          {5 * C, -5 * S, 0},     {5 * C, -5 * S, End2}, {20 * C, -20 * S, End2}};
}

TVertexArray BuildRingCylinder(float Z, float Width, float Radius, int Phase) {
  TVertexArray V = RingCircle(Z, Radius, Phase);
  for (int I = 0; I < 20; ++I) V.push_back({V[I].X, V[I].Y, Z + Width});
  return V;
}

TVertexArray BuildCommutatorGap(int Segment, int Phase) {
  const double T0 = Segment * Pi / 10 + Phase * Pi / 180 + Pi / 20;
  const double T1 = (Segment + 1) * Pi / 10 + Phase * Pi / 180 + Pi / 20;
  auto At = [](double R, double T) {
    return TVertex{float(R * std::cos(T)), float(R * std::sin(T)), -80};
  };
  return {At(20, T0), At(30, T0), At(30, T1), At(20, T1)};
}

TVertexArray BuildCurrentArrowHead(int X, int Y, int Z, int Delta) {
  const float D = Delta >= 0 ? 10 : -10;
  const float FX = float(X), FY = float(Y), FZ = float(Z);
  return {{FX - D, FY - 5, FZ}, {FX, FY, FZ}, {FX - D, FY + 5, FZ}};
}

TMachinePaint DrawDynamo(TCanvas &Canvas, int Tilt, int Azimuth, int Angle) {
  TScene S(TMachine::Dynamo, Tilt, Azimuth, Angle);
  TBitmap B(400, 300);
  TCanvas &C = B.Canvas();
  S.DrawMagnet(C, Azimuth >= 0 ? OrderBlock1First : OrderBlock0First);
  if (Azimuth > 0) {
    S.DrawExternalLead(C, 80, 150, -105);
    S.DrawBrushBox(C, S.BrushB);
  } else {
    S.DrawExternalLead(C, -150, -80, -65);
    S.DrawBrushBox(C, S.BrushA);
  }
  const int Phase = 90 - Angle;
  for (float Z : {-80.0f, -120.0f}) {
    S.DrawRingOuter(C, Z, Phase);
    S.DrawRingInner(C, Z, Phase);
    S.DrawRingEnd(C, Z, Phase);
  }
  if (Azimuth > 0) {
    S.DrawBrushBox(C, S.BrushA);
    S.DrawExternalLead(C, -150, -80, -65);
  } else {
    S.DrawBrushBox(C, S.BrushB);
    S.DrawExternalLead(C, 80, 150, -105);
  }
  Finish(Canvas, B);
  return S.Report;
}

TMachinePaint DrawMotor(TCanvas &Canvas, int Tilt, int Azimuth, int Angle) {
  const int Delta = AbortFlag ? Angle - MotorLastAngle : 0;
  TScene S(TMachine::Motor, Tilt, Azimuth, Angle);
  TBitmap B(400, 400);
  TCanvas &C = B.Canvas();
  S.DrawMagnet(C, Azimuth >= 0 ? OrderBlock1First : OrderBlock0First);
  if (Azimuth > 0) {
    S.DrawSupplyLead(C, 80, 150, Delta);
    S.DrawBrushBox(C, S.BrushB);
  } else {
    S.DrawSupplyLead(C, -150, -80, Delta);
    S.DrawBrushBox(C, S.BrushA);
  }
  S.DrawRingOuter(C, -80, -Angle);
  S.DrawRingInner(C, -80, -Angle);
  S.DrawRingEnd(C, -80, -Angle);
  S.DrawGap(C, S.GapA);
  S.DrawGap(C, S.GapB);
  if (Azimuth > 0) {
    S.DrawBrushBox(C, S.BrushA);
    S.DrawSupplyLead(C, -150, -80, Delta);
  } else {
    S.DrawBrushBox(C, S.BrushB);
    S.DrawSupplyLead(C, 80, 150, Delta);
  }
  Finish(Canvas, B);
  MotorLastAngle = Angle;
  return S.Report;
}

// Equipotentials and the 3-D potential surface of the field plot.
#include <algorithm>
#include <cmath>

#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/clipboard.h"
#include "platform/metafile.h"
#include "platform/printer.h"
#include "sim/field_plot.h"
#include "sim/three_d.h"

namespace {

constexpr TColor ContourGreen = 0x00008000;
constexpr TColor SurfaceYellow = 0x0080FFFF;
constexpr int SurfaceNodes = 40;
constexpr int SurfacePicture = 400;

// The scratch of a contour pass is released however the pass ends.
struct TContourScratch {
  TFieldPlot &Plot;
  explicit TContourScratch(TFieldPlot &P) : Plot(P) { ++Plot.RunDepth; }
  ~TContourScratch() {
    Plot.Crossings.clear();
    Plot.PotentialGrid.clear();
    Plot.PotentialGrid.shrink_to_fit();
    --Plot.RunDepth;
  }
};

// Inserts C after every crossing of a higher or equal level: the list stays ordered from
// high to low, equal levels in the order they were found.
void InsertCrossing(std::vector<TContourCrossing> &List, const TContourCrossing &C) {
  auto It = std::find_if(List.begin(), List.end(),
                         [&](const TContourCrossing &E) { return E.Level < C.Level; });
  List.insert(It, C);
}

} // namespace

double TFieldPlot::PotentialAt(double X, double Y) const {
  // Coulomb potential in picture units: V = sum q / r, r raised to half a grid square
  // near a charge (no constants; pixels and charge units).
  const double Near = std::max(1, GridSize / 2);
  double V = 0;
  for (const TFieldCharge &C : Charges) {
    // Picture distances cannot overflow a square: sqrt, as the field does, costs a
    // fraction of hypot in the pass's inner loop.
    const double DX = X - C.X, DY = Y - C.Y;
    const double R = std::sqrt(DX * DX + DY * DY);
    V += C.Value / std::max(R, Near);
  }
  return V;
}

void TFieldPlot::SetContourLevels(int Value) {
  ContourLevels = Value;
  Crossings.clear();
  Segments.clear();
  ContoursDrawn = false;
}

void TFieldPlot::PlotEquipotentials(TCanvas &Canvas, const TYield &Yield) {
  if (Running()) return; // a nested call from the pump of a running pass
  if (ContoursDrawn && !LinesDrawn) DrawBackground(Canvas);
  Canvas.Pen().Color = ContourGreen;
  Canvas.Pen().Style = psSolid;
  Canvas.Pen().Width = 1;
  Segments.clear();
  AbortFlag = false;
  ContoursDrawn = false;

  TLoopGuard Loop;
  TContourScratch Scratch(*this);
  const unsigned Generation = ModelGeneration;
  const int Levels = ContourLevels;
  const int Sp = ContourSpacing;
  bool Finished = false;
  // Charges that cancel everywhere, or none at all, leave no levels (0 / 0): the pass
  // ends at once with no segments, as a finished pass.
  struct ENoLevels {};
  // A stop, or charges or grid changed under the pass: its grid no longer fits.
  auto Step = [&] {
    const bool Go = !Yield || Yield();
    if (!Go || AbortFlag || ModelGeneration != Generation) throw EPlotAbort();
  };
  try {
    if (Sp <= 0 || Charges.empty()) throw ENoLevels();
    const int NI = Width / Sp, NJ = Height / Sp;
    PotentialGrid.assign(size_t(NI) + 1, std::vector<double>(size_t(NJ) + 1, 0.0));
    double Min = 0, Max = 0;
    for (int J = 0; J <= NJ; ++J) {
      for (int I = 0; I <= NI; ++I) {
        const double V = PotentialAt(double(I) * Sp, double(J) * Sp);
        PotentialGrid[I][J] = V;
        Min = std::min(Min, V);
        Max = std::max(Max, V);
      }
      // With many charges the grid is most of the pass: a stop is answered between its
      // rows as well as between the cells.
      Step();
    }
    const double Span = std::fabs(Min) + Max;
    if (!(Span > 0) || !std::isfinite(Span)) throw ENoLevels();
    auto Level = [&](double V) { return (std::fabs(Min) + V) * Levels / Span; };

    for (int I = 0; I < NI; ++I)
      for (int J = 0; J < NJ; ++J) {
        Crossings.clear();
        // The four edges in turn round the cell.
        const int Edges[4][4] = {{I, J, I, J + 1},
                                 {I, J + 1, I + 1, J + 1},
                                 {I + 1, J + 1, I + 1, J},
                                 {I + 1, J, I, J}};
        for (const auto &E : Edges) {
          const double LA = Level(PotentialGrid[E[0]][E[1]]);
          const double LB = Level(PotentialGrid[E[2]][E[3]]);
          if (LA == LB) continue;
          const double Lo = std::min(LA, LB);
          for (int K = Trunc(std::max(LA, LB)); K > Lo; --K) {
            const double T = (LA - K) / (LA - LB);
            InsertCrossing(Crossings, TContourCrossing{E[0] + (E[2] - E[0]) * T,
                                                       E[1] + (E[3] - E[1]) * T, K});
          }
        }
        for (size_t K = 0; K + 1 < Crossings.size(); K += 2) {
          const TContourCrossing &A = Crossings[K], &B = Crossings[K + 1];
          const TContourSegment S{TPoint(Round(Sp * A.X), Round(Sp * A.Y)),
                                  TPoint(Round(Sp * B.X), Round(Sp * B.Y))};
          Canvas.MoveTo(S.P1.X, S.P1.Y);
          Canvas.LineTo(S.P2.X, S.P2.Y);
          Segments.push_back(S);
        }
        Step();
      }
    Finished = true;
  } catch (const EPlotAbort &) {
    AbortFlag = true;
  } catch (const ENoLevels &) {
    Finished = true;
  }
  Crossings.clear();
  ContoursDrawn = !Segments.empty();
  DrawAllCharges(Canvas);
  if (Finished) AbortFlag = true;
}

TPointArray TFieldPlot::ProjectSurface(int Tilt, int Turn) {
  TMatrix M, T;
  RotationMatrix(Tilt, 1, M);
  if (Turn != 0) {
    RotationMatrix(Turn, 2, T);
    MatrixProduct(M, T, M);
  }
  const int G = GridSize, H = G / 2, S = SurfaceSpacing;
  Surface.assign(SurfaceNodes, std::vector<TSurfacePoint>(SurfaceNodes));
  double Min = 0, Max = 0;
  for (int I = 0; I < SurfaceNodes; ++I)
    for (int J = 0; J < SurfaceNodes; ++J) {
      TSurfacePoint &P = Surface[I][J];
      // Half a square before each square's centre.
      P.Z = PotentialAt(double(G) * I - H, double(G) * J - H);
      P.X = S * I - (S * SurfaceNodes) / 2;
      P.Y = (S * SurfaceNodes) / 2 - S * J;
      Min = std::min(Min, P.Z);
      Max = std::max(Max, P.Z);
    }
  // Positive potentials rise on the screen, whose y grows downwards.
  double Scale = 1.0;
  if (std::fabs(Min) + Max == 0) Scale = 1.0;
  else if (Min == 0) Scale = -190 / Max;
  else if (Max == 0) Scale = -190 / std::fabs(Min);
  else Scale = -380 / (std::fabs(Min) + Max);

  TPointArray Screen(size_t(SurfaceNodes) * SurfaceNodes);
  for (int I = 0; I < SurfaceNodes; ++I)
    for (int J = 0; J < SurfaceNodes; ++J) {
      TSurfacePoint &P = Surface[I][J];
      // The node as the row vector (X, Z, Y): the mesh's Y is the depth axis.
      const double X = P.X, Z = P.Z * Scale, Y = P.Y;
      const int XR = Round(X * M[0][0] + Z * M[1][0] + Y * M[2][0]);
      const int ZR = Round(X * M[0][1] + Z * M[1][1] + Y * M[2][1]);
      const int YR = Round(X * M[0][2] + Z * M[1][2] + Y * M[2][2]);
      P.X = XR;
      P.Z = ZR;
      P.Y = YR;
      // Perspective from 2000 pixels in front of the mesh.
      const double F = 2000.0 / std::max(1, YR + 2000);
      Screen[size_t(I) * SurfaceNodes + J] = TPoint(
          SatToInt(int64_t(Round(F * XR)) + SurfaceOffsetX + SurfacePicture / 2),
          SatToInt(int64_t(Round(F * ZR)) + SurfaceOffsetY + SurfacePicture / 2));
    }
  return Screen;
}

namespace {

void DrawSurface(TFieldPlot &Plot, TCanvas &Canvas, int Tilt, int Turn) {
  const TPointArray Screen = Plot.ProjectSurface(Tilt, Turn);
  auto At = [&](int I, int J) { return Screen[size_t(I) * SurfaceNodes + J]; };
  Canvas.Brush().Style = bsSolid;
  Canvas.Brush().Color = SurfaceYellow;
  const int Last = SurfaceNodes - 2;
  for (int J = 0; J <= Last; ++J) // row 0 lies at the back before rotation
    for (int K = 0; K <= Last; ++K) {
      const int I = Turn > 0 ? Last - K : K;
      const TPoint Quad[4] = {At(I, J), At(I + 1, J), At(I + 1, J + 1), At(I, J + 1)};
      Canvas.Polygon(Quad);
    }
  Plot.Surface.clear();
}

TMetafile SurfaceMetafile(TFieldPlot &Plot, int Tilt, int Turn) {
  return RecordMetafile(SurfacePicture, SurfacePicture, [&](TCanvas &C) {
    // A steep surface reaches past its square: the picture keeps to it, as on screen.
    C.IntersectClipRect(TRect(0, 0, SurfacePicture, SurfacePicture));
    DrawSurface(Plot, C, Tilt, Turn);
  });
}

} // namespace

void TFieldPlot::Draw3D(TCanvas &Canvas, int Tilt, int Turn) {
  TBitmap B(SurfacePicture, SurfacePicture);
  DrawSurface(*this, B.Canvas(), Tilt, Turn);
  TRect R(0, 0, SurfacePicture, SurfacePicture);
  B.Canvas().DrawEdge(R, EDGE_SUNKEN, BF_RECT);
  Canvas.Draw(0, 0, B);
}

// The surface prints square.
void TFieldPlot::Print3D(int Tilt, int Turn, int Copies) {
  PrintMetafileCopies(SurfaceMetafile(*this, Tilt, Turn), Copies, 1, 1);
}

void TFieldPlot::Copy3DToClipboard(int Tilt, int Turn) {
  Clipboard().Assign(SurfaceMetafile(*this, Tilt, Turn));
}

#pragma once
// TFieldPlot: the model and painter of the electric-field page. Point charges sit on a
// square grid; the plot traces field lines from them, marks neutral points, draws
// direction arrows, and (field_plot_contours.cpp) equipotentials and a 3-D potential
// surface. Lengths are screen pixels, charges whole units; the field is computed in these
// units with no physical constants.
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/canvas.h"
#include "platform/numbers.h"
#include "platform/types.h"
#include "sim/shared_constants.h"
#include "sim/yield.h"

class TMetafile;

// Raised inside the tracing and contour loops when AbortFlag is found set after the
// message pump; caught inside TFieldPlot, never reaches the caller.
class EPlotAbort : public Exception {
public:
  EPlotAbort() : Exception("") {}
};

struct TFieldCharge {
  int Value = 0;      // signed charge in units; drawn red when >= 1, else blue
  int X = 0, Y = 0;   // pixel position, on a grid intersection
  TRect Bounds;       // (X - h, Y - h, X + h, Y + h), h = GridSize div 2, for hit tests
  // Slot k is the direction k * 30 degrees from +x towards +y (clockwise on screen) in
  // which a field line has already arrived at this charge.
  bool SlotUsed[12] = {};
};

struct TContourSegment {
  TPoint P1, P2;
};

// One crossing of a contour level on a cell edge, in potential-grid units.
struct TContourCrossing {
  double X = 0, Y = 0;
  int Level = 0;
};

// A node of the 3-D surface: mesh position and scaled potential, then the rotated vector.
struct TSurfacePoint {
  int X = 0, Y = 0;
  double Z = 0;
};

class TFieldPlot {
public:
  // Steps of one traced line before it is ended (and kept): a line trapped in a closed
  // orbit of the step rule cannot run forever.
  int MaxLineSteps = 20000;

  explicit TFieldPlot(int AGridSize);
  ~TFieldPlot();
  TFieldPlot(const TFieldPlot &) = delete;
  TFieldPlot &operator=(const TFieldPlot &) = delete;

  int Width = 0;  // 40 * GridSize
  int Height = 0; // 40 * GridSize
  std::vector<TFieldCharge> Charges;       // in placing order
  std::vector<TContourCrossing> Crossings; // per-cell scratch of the contour pass
  LongBool ShowGrid;
  LongBool LinesDrawn;    // field lines are stored and shown
  LongBool ContoursDrawn; // equipotential segments are stored and shown
  int GridSize = 16;
  int StepLength = 4;     // GridSize div 4
  int ContourLevels = 10;
  int ContourSpacing = 4; // GridSize div 4
  int SurfaceSpacing = 8;
  std::vector<TPointArray> Lines;          // traced field lines, rounded points
  std::vector<TContourSegment> Segments;   // equipotential pieces
  std::vector<TPoint> NeutralPoints;
  std::vector<std::vector<TSurfacePoint>> Surface; // 40 x 40 scratch, [i][j], i along x
  std::vector<std::vector<double>> PotentialGrid;  // contour scratch, [i][j], i along x
  std::vector<int> LineSigns;              // sign (+1/-1) each stored line was traced with
  int SurfaceOffsetX = 0, SurfaceOffsetY = 0;
  LongBool ShowArrows;
  // Lines stored during the current (or last) tracing run.
  int LineCount = 0;

  void SetGridSize(int Value);
  // 0: everything; 1: everything but the charges; 2: lines, neutral points, line signs;
  // 3: contour segments and scratch; other values: nothing.
  void Clear(int Mode);
  LongBool HasCharges() const;
  // False when (X, Y), snapped to the grid, lies in the Bounds of a charge other than
  // Index; the arguments are only read.
  LongBool CanPlaceCharge(int &X, int &Y, int &Index) const;
  TRect GetChargeRect(int Index) const;
  int GetChargeValue(int Index) const;
  void DrawCharge(TCanvas &Canvas, int &X, int &Y, int Value);
  // A charge's disc and label centred on (X, Y) as they are, not snapped (a dragged one).
  void DrawChargeAt(TCanvas &Canvas, int X, int Y, int Value);
  void DrawBackground(TCanvas &Canvas);
  void AddCharge(int &X, int &Y, int Value);
  void DeleteCharge(int Index);
  // Traces, stores and draws all field lines, calling Yield after every step (none:
  // the lines are traced without a pause); a false from Yield or AbortFlag set stops the
  // run with the line being traced kept. Does nothing while a run of this plot is in
  // progress (a nested call from the run's own yield).
  void PlotFieldLines(TCanvas &Canvas, const TYield &Yield = {});
  void Draw(TCanvas &Canvas);
  int ChargeAt(int X, int Y) const;
  void Print(int Copies);
  void CopyToClipboard();
  TRect GetBounds() const;

  // The snapping rule, exposed for the window's drag feedback and for tests.
  void Snap(int &X, int &Y) const;
  // Every charge drawn again (after lines or contours).
  void DrawAllCharges(TCanvas &Canvas);
  void DrawNeutralPoints(TCanvas &Canvas);
  // True while a tracing or contour run of this plot is in progress.
  bool Running() const { return RunDepth > 0; }
  // The picture recorded through Draw (Width x Height), as Print and CopyToClipboard use.
  TMetafile MakeMetafile();

  // ---- Equipotentials and the 3-D surface: implemented in field_plot_contours.cpp ----
  void SetContourLevels(int Value);
  // Draws the equipotentials cell by cell, calling Yield after every row of the potential
  // grid and after every cell, with the same stop as above.
  void PlotEquipotentials(TCanvas &Canvas, const TYield &Yield = {});
  void Draw3D(TCanvas &Canvas, int Tilt, int Turn);
  void Print3D(int Tilt, int Turn, int Copies);
  void Copy3DToClipboard(int Tilt, int Turn);
  // The potential of the charges at a pixel: sum of Value / max(r, GridSize div 2).
  double PotentialAt(double X, double Y) const;
  // Builds Surface for a view (rotated nodes) and returns the 40 x 40 projected nodes,
  // index i * 40 + j; Surface stays filled until the caller releases it.
  TPointArray ProjectSurface(int Tilt, int Turn);
  // ---- end of the contour block ----

  // Bumped by every change of the charges, the grid or the stored lines; a tracing run
  // that finds it changed after pumping messages drops its partial line and ends.
  unsigned ModelGeneration = 0;
  int RunDepth = 0;
  // False once the plot is destroyed; a run holds a copy to notice that inside its pump.
  std::shared_ptr<bool> Alive = std::make_shared<bool>(true);

private:
  enum class TTraceEnd { Kept, Stalled, Stale };
  TTraceEnd TraceLine(TPointArray &Line, double X, double Y, int Sign, int From, bool FirstPass,
                      unsigned Generation, const std::shared_ptr<bool> &Living, const TYield &Yield);
  void StoreLine(TCanvas &Canvas, TPointArray &Line, int Sign);
  void DrawLine(TCanvas &Canvas, const TPointArray &Line, int Sign);
  void DrawArrows(TCanvas &Canvas, const TPointArray &Line, int Sign);
  int DominantSign() const;
  void Field(double X, double Y, int Sign, double &Ex, double &Ey, double &E) const;
  void MarkArrivalSlot(int J, double X, double Y);
  TPoint NeutralPointNear(double X, double Y) const;
  void AddNeutralPoint(TPoint P);
  void ResetSlots();
};

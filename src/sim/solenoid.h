#pragma once
// TSolenoid: the magnetic field of a coil of circular turns seen in cross-section. Each
// turn shows as two wire discs above and below the horizontal axis; field lines are traced
// in the right half of the picture and mirrored into the left half and below the axis.
//
// Biot-Savart without constants: dB = dl x r / r^3, summed over Segments elements of each
// turn. The element length is 2 pi^2 R / Segments (a factor pi above the arc length),
// which sets every field magnitude, the start spacing of the lines and the read-out. All
// lengths are pixels; the field is in arbitrary units and does not depend on CurrentDir
// (the current's direction only turns the arrows round and swaps the wire colours).
#include <vector>

#include "platform/canvas.h"
#include "platform/types.h"
#include "sim/shared_constants.h"
#include "sim/yield.h"

class TMetafile;

// One current element of a turn: X = R cos phi, Y = R sin phi, DLX = dl sin phi,
// DLY = dl cos phi.
struct TRingElement {
  double X = 0, Y = 0, DLX = 0, DLY = 0;
};

class TSolenoid {
public:
  // Steps of one traced line before it is ended: a line caught circling a wire tightly
  // cannot run forever.
  int MaxLineSteps = 5000;

  TSolenoid(int AWidth, int AHeight);

  int Radius = 50;
  int Turns = 1;
  int Separation = 10;
  int Width = 0;
  int Height = 0;
  int WireRadius = 4; // also the floor of r^3 in the read-out and the start spacing
  int StepLength = 10;
  int Segments = 12;
  std::vector<TRingElement> Ring;
  int CurrentDir = -1; // -1 or 1
  // Field lines are stored (the finished lines of the last plot).
  LongBool LinesPlotted;
  LongBool ShowArrows = true;
  LongBool ShowGrid = true;
  // The finished lines of the last plot, traced in the right half, in picture pixels.
  std::vector<TPointArray> Lines;
  // A plot is tracing: a redraw meanwhile shows the axis and the lines finished so far.
  bool Tracing = false;

  void SetRadius(int Value);
  // Axial offset of turn T from the picture's middle.
  int TurnOffset(int T) const;
  // Background, grid and wires; no field lines.
  void Draw(TCanvas &Canvas);
  // The axis, its arrows and every stored line with its mirror images.
  void DrawFieldLines(TCanvas &Canvas);
  // Draw, then the stored lines when LinesPlotted or while tracing.
  void DrawAll(TCanvas &Canvas);
  // |B| at a pixel, with r^3 raised to WireRadius; the page shows ten times this value.
  double FieldStrengthAt(int X, int Y) const;
  // The spacing to the next start height above the mid-plane height V.
  int StartSpacing(int V) const;
  // Traces the lines afresh and draws each as it is finished (after Draw). Yield is called
  // after every step; false stops the plot, keeping the lines finished so far. An empty
  // Yield traces without pausing. A change of the turns, their separation or the radius
  // seen after a step drops every line. LinesPlotted tells whether lines are kept.
  void PlotFieldLines(TCanvas &Canvas, const TYield &Yield = {});
  // The picture (Draw, and the lines when plotted) as Print and CopyToClipboard use it.
  TMetafile MakeMetafile();
  void CopyToClipboard();
  void Print(int Copies);

private:
  // (Bu, Bv) at axial offset U and height V; Floor raises r^3 to WireRadius.
  void FieldAt(double U, double V, bool Floor, double &Bu, double &Bv) const;
  void DrawLine(TCanvas &Canvas, const TPointArray &Line);
  void Arrow(TCanvas &Canvas, TPoint P1, TPoint P2, int Sign);
};

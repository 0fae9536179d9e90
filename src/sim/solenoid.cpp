#include "sim/solenoid.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/clipboard.h"
#include "platform/metafile.h"
#include "platform/numbers.h"
#include "platform/printer.h"
#include "sim/arrow_head.h"

TSolenoid::TSolenoid(int AWidth, int AHeight) : Width(AWidth), Height(AHeight) { SetRadius(Radius); }

void TSolenoid::SetRadius(int Value) {
  Radius = Value;
  Ring.assign(std::max(Segments, 0), TRingElement{});
  const double Pi = std::numbers::pi;
  // 2 pi^2 R / Segments: a factor pi above the arc length, as every magnitude assumes.
  const double Dl = Radius * 2 * Pi * Pi / Segments;
  for (int K = 0; K < Segments; ++K) {
    const double Phi = 2 * K * Pi / Segments;
    Ring[K] = {Radius * std::cos(Phi), Radius * std::sin(Phi), Dl * std::sin(Phi), Dl * std::cos(Phi)};
  }
}

int TSolenoid::TurnOffset(int T) const {
  return -Separation * (Turns / 2) + (1 - Turns % 2) * (Separation / 2) + T * Separation;
}

void TSolenoid::FieldAt(double U, double V, bool Floor, double &Bu, double &Bv) const {
  Bu = 0;
  Bv = 0;
  for (int T = 0; T < Turns; ++T) {
    const double A = U - TurnOffset(T);
    for (const TRingElement &E : Ring) {
      const double B = V - E.X, C = -E.Y;
      const double R2 = A * A + B * B + C * C;
      double R3 = R2 * std::sqrt(R2);
      if (Floor && R3 < WireRadius) R3 = WireRadius;
      if (R3 == 0) continue; // on an element itself: no direction to add
      Bu += (-C * E.DLX - B * E.DLY) / R3;
      Bv += A * E.DLY / R3;
    }
  }
}

double TSolenoid::FieldStrengthAt(int X, int Y) const {
  double Bu, Bv;
  // Measured from the middle without mirroring, so that turns placed unevenly about it
  // (an even count with an odd separation) read true on both sides.
  FieldAt(X - Width / 2, Y - Height / 2, true, Bu, Bv);
  return std::sqrt(Bu * Bu + Bv * Bv);
}

int TSolenoid::StartSpacing(int V) const {
  double Bu, Bv;
  FieldAt(0, V, true, Bu, Bv);
  const int K = Round(10 * std::sqrt(Bu * Bu + Bv * Bv));
  return K < 21 ? 24 - K : 4;
}

void TSolenoid::Draw(TCanvas &Canvas) {
  Canvas.Brush().Style = bsSolid;
  Canvas.Brush().Color = clWhite;
  Canvas.Rectangle(0, 0, Width, Height);
  if (ShowGrid) {
    Canvas.Pen().Color = clSilver;
    for (int K = 0; K <= Width / 20; ++K) {
      Canvas.MoveTo(20 * K, 0);
      Canvas.LineTo(20 * K, Height);
    }
    for (int K = 0; K <= Height / 20; ++K) {
      Canvas.MoveTo(0, 20 * K);
      Canvas.LineTo(Width, 20 * K);
    }
  }
  Canvas.Pen().Color = clBlack;
  const int W = WireRadius;
  for (int T = 0; T < Turns; ++T) {
    const int X = Width / 2 + TurnOffset(T), Top = Height / 2 - Radius, Bottom = Height / 2 + Radius;
    Canvas.Brush().Color = CurrentDir == 1 ? clRed : clBlue;
    Canvas.Ellipse(X - W, Top - W, X + W, Top + W);
    Canvas.Brush().Color = CurrentDir == 1 ? clBlue : clRed;
    Canvas.Ellipse(X - W, Bottom - W, X + W, Bottom + W);
  }
}

void TSolenoid::Arrow(TCanvas &Canvas, TPoint P1, TPoint P2, int Sign) {
  DrawArrowHead(Canvas, P1, P2, 4 * Sign * CurrentDir, Sign);
}

void TSolenoid::DrawLine(TCanvas &Canvas, const TPointArray &Line) {
  if (Line.empty()) return;
  TPointArray LR(Line.size()), TB(Line.size()), Both(Line.size());
  for (size_t I = 0; I < Line.size(); ++I) {
    LR[I] = Point(Width - Line[I].X, Line[I].Y);
    TB[I] = Point(LR[I].X, Height - LR[I].Y);
    Both[I] = Point(Width - TB[I].X, TB[I].Y);
  }
  Canvas.Polyline(Line);
  Canvas.Polyline(LR);
  Canvas.Polyline(TB);
  Canvas.Polyline(Both);
  if (!ShowArrows) return;
  const int M = int(Line.size()), Mid = M / 2;
  const TPoint Last = Line.back();
  if (Last.X != Width / 2) {
    if (M < 3) return; // no second point after the middle one
    Arrow(Canvas, Line[Mid], Line[Mid + 1], 1);
    Arrow(Canvas, LR[Mid], LR[Mid + 1], -1);
    Arrow(Canvas, TB[Mid], TB[Mid + 1], -1);
    Arrow(Canvas, Both[Mid], Both[Mid + 1], 1);
  } else {
    // A line closing on the mid-plane runs there against the field inside the coil, whose
    // axis arrows point towards +CurrentDir: this arrow points towards -CurrentDir.
    const TPoint L2 = TB.back();
    Arrow(Canvas, Point(Last.X + 2 * CurrentDir, Last.Y), Point(Last.X - 2 * CurrentDir, Last.Y), CurrentDir);
    Arrow(Canvas, Point(L2.X + 2 * CurrentDir, L2.Y), Point(L2.X - 2 * CurrentDir, L2.Y), CurrentDir);
  }
}

void TSolenoid::DrawFieldLines(TCanvas &Canvas) {
  const int CX = Width / 2, CY = Height / 2;
  Canvas.Brush().Style = bsSolid;
  Canvas.Brush().Color = clYellow;
  Canvas.Pen().Color = clBlack;
  Canvas.Pen().Style = psSolid;
  Canvas.MoveTo(0, CY);
  Canvas.LineTo(2 * CX, CY);
  if (ShowArrows) {
    Arrow(Canvas, Point(Width / 5, CY), Point(Width / 5 + 4, CY), 1);
    Arrow(Canvas, Point(MulDiv(Width, 4, 5), CY), Point(MulDiv(Width, 4, 5) + 4, CY), 1);
  }
  for (const TPointArray &L : Lines) DrawLine(Canvas, L);
}

void TSolenoid::DrawAll(TCanvas &Canvas) {
  Draw(Canvas);
  if (LinesPlotted || Tracing) DrawFieldLines(Canvas);
}

void TSolenoid::PlotFieldLines(TCanvas &Canvas, const TYield &Yield) {
  struct TMark {
    bool &Flag;
    ~TMark() { Flag = false; }
  } Mark{Tracing};
  Tracing = true;
  Lines.clear();
  LinesPlotted = false;
  DrawFieldLines(Canvas); // the axis and its arrows
  const int CX = Width / 2, CY = Height / 2;
  const TRect T = Rect(CX + 1, 1, 2 * CX - 1, 2 * CY - 1);
  const int Turns0 = Turns, Separation0 = Separation, Radius0 = Radius;
  auto Changed = [&] { return Turns != Turns0 || Separation != Separation0 || Radius != Radius0; };

  TPointArray Line;
  for (int H = StartSpacing(0); H <= Radius - WireRadius; H += StartSpacing(H)) {
    double U = 0, V = H;
    Line.clear();
    Line.reserve(1000);
    Line.push_back(Point(Round(CX + U), Round(CY - V)));
    TPoint P;
    int Steps = 0;
    do {
      double Bu, Bv;
      FieldAt(U, V, false, Bu, Bv);
      const double B = std::sqrt(Bu * Bu + Bv * Bv);
      if (B == 0) break;
      U += StepLength * Bu / B;
      V += StepLength * Bv / B;
      if (U < 0) U = 0;
      P = Point(std::min(Round(CX + U), 2 * CX), std::max(Round(CY - V), 0));
      if (Line.size() == Line.capacity()) Line.reserve(Line.size() + 1000);
      Line.push_back(P);
      const bool Go = !Yield || Yield();
      if (Changed()) {
        // The model the lines belong to is gone; none of them fits the new coil.
        Lines.clear();
        return;
      }
      if (!Go) {
        LinesPlotted = true; // the lines finished so far are kept
        return;
      }
    } while (PtInRect(T, P) && ++Steps < MaxLineSteps);
    Line.shrink_to_fit();
    Canvas.Brush().Color = clYellow;
    Canvas.Pen().Color = clBlack;
    DrawLine(Canvas, Line);
    Lines.push_back(Line);
  }
  LinesPlotted = true;
}

TMetafile TSolenoid::MakeMetafile() {
  return RecordMetafile(Width, Height, [this](TCanvas &C) { DrawAll(C); });
}

void TSolenoid::CopyToClipboard() { Clipboard().Assign(MakeMetafile()); }

// The coil's picture prints square.
void TSolenoid::Print(int Copies) { PrintMetafileCopies(MakeMetafile(), Copies, 1, 1); }

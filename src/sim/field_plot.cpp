#include "sim/field_plot.h"

#include <algorithm>
#include <cmath>

#include "platform/application.h"
#include "platform/clipboard.h"
#include "platform/metafile.h"
#include "platform/printer.h"
#include "sim/arrow_head.h"

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr TColor ContourGreen = 0x008000;
constexpr int LinesPerCharge = 12;
constexpr int ArrowSpacing = 20; // points between arrows along a line

// Counts a run in progress for as long as the plot lives.
class TRunMark {
public:
  TRunMark(int &Depth, std::shared_ptr<bool> Living) : D(Depth), A(std::move(Living)) { ++D; }
  ~TRunMark() {
    if (*A) --D;
  }
  TRunMark(const TRunMark &) = delete;
  TRunMark &operator=(const TRunMark &) = delete;

private:
  int &D;
  std::shared_ptr<bool> A;
};

std::string ChargeLabel(int Value) { return Value > 0 ? "+" + IntToStr(Value) : IntToStr(Value); }

} // namespace

TFieldPlot::TFieldPlot(int AGridSize) {
  GridSize = std::max(4, AGridSize);
  Width = Height = 40 * GridSize;
  StepLength = ContourSpacing = GridSize / 4;
  ContourLevels = 10;
  SurfaceSpacing = 8;
}

TFieldPlot::~TFieldPlot() { *Alive = false; }

void TFieldPlot::Snap(int &X, int &Y) const {
  const int G = GridSize;
  auto One = [G](int V, int Limit) {
    int Q = (V / G) * G; // truncating division
    // A remainder of exactly half a square rounds down.
    V = std::abs(V - Q) > G / 2 ? Q + G : Q;
    // Never on the border, never outside: [G, Limit - G].
    return std::clamp(V, G, Limit - G);
  };
  X = One(X, Width);
  Y = One(Y, Height);
}

void TFieldPlot::ResetSlots() {
  for (TFieldCharge &C : Charges) std::fill(std::begin(C.SlotUsed), std::end(C.SlotUsed), false);
}

void TFieldPlot::SetGridSize(int Value) {
  if (Value < 4) return;
  int Old = GridSize;
  GridSize = Value;
  Width = Height = 40 * Value;
  StepLength = ContourSpacing = Value / 4;
  Lines.clear();
  LineSigns.clear(); // kept in step with Lines
  Crossings.clear();
  Segments.clear();
  NeutralPoints.clear();
  LinesDrawn = false;
  ContoursDrawn = false;
  int H = Value / 2;
  for (TFieldCharge &C : Charges) {
    C.X = MulDiv(C.X, Value, Old);
    C.Y = MulDiv(C.Y, Value, Old);
    C.Bounds = Rect(C.X - H, C.Y - H, C.X + H, C.Y + H);
  }
  ++ModelGeneration;
}

void TFieldPlot::Clear(int Mode) {
  if (Mode < 0 || Mode > 3) return;
  if (Mode <= 2) {
    Lines.clear();
    NeutralPoints.clear();
    LineSigns.clear();
    LinesDrawn = false;
    ++ModelGeneration;
  }
  if (Mode == 0 || Mode == 1 || Mode == 3) {
    Segments.clear();
    Crossings.clear();
    PotentialGrid.clear();
    Surface.clear();
    ContoursDrawn = false;
    }
  if (Mode == 0) Charges.clear();
}

LongBool TFieldPlot::HasCharges() const { return !Charges.empty(); }

LongBool TFieldPlot::CanPlaceCharge(int &X, int &Y, int &Index) const {
  // The point the charge would land on decides, not the raw mouse point.
  int SX = X, SY = Y;
  Snap(SX, SY);
  for (int I = 0; I < int(Charges.size()); ++I)
    if (I != Index && PtInRect(Charges[I].Bounds, Point(SX, SY))) return false;
  return true;
}

TRect TFieldPlot::GetChargeRect(int Index) const {
  if (Index < 0 || Index >= int(Charges.size())) return Rect(0, 0, 0, 0);
  return Charges[Index].Bounds;
}

int TFieldPlot::GetChargeValue(int Index) const {
  if (Index < 0 || Index >= int(Charges.size())) return 0;
  return Charges[Index].Value;
}

void TFieldPlot::DrawCharge(TCanvas &Canvas, int &X, int &Y, int Value) {
  Snap(X, Y);
  DrawChargeAt(Canvas, X, Y, Value);
}

void TFieldPlot::DrawChargeAt(TCanvas &Canvas, int X, int Y, int Value) {
  const int H = GridSize / 2;
  Canvas.Font().Name = "arial";
  Canvas.Font().Style = fsBold;
  Canvas.Font().Height = GridSize - 5;
  Canvas.Pen().Color = clBlack;
  Canvas.Pen().Style = psSolid;
  Canvas.Brush().Style = bsSolid;
  Canvas.Brush().Color = Value >= 1 ? clRed : clBlue;
  Canvas.Ellipse(X - H, Y - H, X + H, Y + H);
  std::string Label = ChargeLabel(Value);
  Canvas.Brush().Style = bsClear;
  Canvas.Font().Color = clWhite;
  Canvas.TextOut(X - Canvas.TextWidth(Label) / 2, Y - Canvas.TextHeight(Label) / 2, Label);
}

void TFieldPlot::DrawBackground(TCanvas &Canvas) {
  Canvas.Brush().Style = bsSolid;
  Canvas.Brush().Color = clWhite;
  Canvas.FillRect(Rect(0, 0, Width, Height));
  if (!ShowGrid) return;
  Canvas.Pen().Color = clSilver;
  Canvas.Pen().Style = psSolid;
  for (int K = 0; K <= 40; ++K) {
    Canvas.MoveTo(K * GridSize, 0);
    Canvas.LineTo(K * GridSize, Height);
  }
  for (int K = 0; K <= 40; ++K) {
    Canvas.MoveTo(0, K * GridSize);
    Canvas.LineTo(Width, K * GridSize);
  }
}

void TFieldPlot::AddCharge(int &X, int &Y, int Value) {
  ResetSlots();
  Snap(X, Y);
  TFieldCharge C;
  C.Value = Value;
  C.X = X;
  C.Y = Y;
  const int H = GridSize / 2;
  C.Bounds = Rect(X - H, Y - H, X + H, Y + H);
  Charges.push_back(C);
  LinesDrawn = false;
  ContoursDrawn = false;
  ++ModelGeneration;
}

void TFieldPlot::DeleteCharge(int Index) {
  if (Index < 0 || Index >= int(Charges.size())) return;
  Charges.erase(Charges.begin() + Index);
  ResetSlots();
  ++ModelGeneration;
}

int TFieldPlot::ChargeAt(int X, int Y) const {
  for (int I = 0; I < int(Charges.size()); ++I)
    if (PtInRect(Charges[I].Bounds, Point(X, Y))) return I;
  return -1;
}

TRect TFieldPlot::GetBounds() const { return Rect(0, 0, Width + 1, Height + 1); }

// Coulomb field of point charges, in picture units and without constants:
// E = sum Q_i * (r - r_i) / |r - r_i|^3, times the tracing sign.
void TFieldPlot::Field(double X, double Y, int Sign, double &Ex, double &Ey, double &E) const {
  Ex = 0;
  Ey = 0;
  for (const TFieldCharge &C : Charges) {
    double DX = X - C.X, DY = Y - C.Y;
    double R = std::sqrt(DX * DX + DY * DY);
    if (R == 0) continue; // on a charge's centre its own field has no direction
    double R3 = R * R * R;
    Ex += C.Value * DX / R3 * Sign;
    Ey += C.Value * DY / R3 * Sign;
  }
  E = std::sqrt(Ex * Ex + Ey * Ey);
}

int TFieldPlot::DominantSign() const {
  int Sum = 0;
  for (const TFieldCharge &C : Charges) Sum += C.Value >= 1 ? 1 : -1;
  return Sum < 0 ? -1 : 1;
}

void TFieldPlot::MarkArrivalSlot(int J, double X, double Y) {
  TFieldCharge &C = Charges[J];
  double DX = X - C.X, DY = Y - C.Y;
  int A = DX == 0 ? 90 : Round(std::fabs(std::atan(std::fabs(DY / DX))) * 180 / Pi);
  int Angle;
  if (DX == 0 && DY < 0) Angle = 270;
  else if (DX < 0 && DY < 0) Angle = A + 180;
  else if (DX < 0 && DY == 0) Angle = 180;
  else if (DX < 0 && DY > 0) Angle = 180 - A;
  else if (DX > 0 && DY < 0) Angle = 360 - A;
  else Angle = A;
  int Slot = Angle / 30 + (Angle % 30 > 15 ? 1 : 0);
  if (Slot >= 12) Slot = 0;
  C.SlotUsed[Slot] = true;
}

// A line stalls up to a step from the zero of the field: Newton's method on the field
// vector, with the Jacobian of the Coulomb field, finds the zero itself. A start that does
// not settle close by (or that runs towards a charge) keeps the stall point.
TPoint TFieldPlot::NeutralPointNear(double X, double Y) const {
  double ZX = X, ZY = Y;
  for (int Iteration = 0; Iteration < 20; ++Iteration) {
    double Ex = 0, Ey = 0, Jxx = 0, Jxy = 0, Jyy = 0;
    for (const TFieldCharge &C : Charges) {
      const double DX = ZX - C.X, DY = ZY - C.Y, R2 = DX * DX + DY * DY;
      if (R2 < double(GridSize) * GridSize / 4) return Point(Round(X), Round(Y));
      const double R3 = R2 * std::sqrt(R2), R5 = R3 * R2;
      Ex += C.Value * DX / R3;
      Ey += C.Value * DY / R3;
      Jxx += C.Value * (1 / R3 - 3 * DX * DX / R5);
      Jxy += C.Value * (-3 * DX * DY / R5);
      Jyy += C.Value * (1 / R3 - 3 * DY * DY / R5);
    }
    const double Det = Jxx * Jyy - Jxy * Jxy;
    if (!std::isfinite(Det) || Det == 0) break;
    const double SX = (Jyy * Ex - Jxy * Ey) / Det, SY = (Jxx * Ey - Jxy * Ex) / Det;
    ZX -= SX;
    ZY -= SY;
    if (std::hypot(ZX - X, ZY - Y) > GridSize) break;
    if (std::hypot(SX, SY) < 1e-3) return Point(Round(ZX), Round(ZY));
  }
  return Point(Round(X), Round(Y));
}

void TFieldPlot::AddNeutralPoint(TPoint P) {
  for (const TPoint &N : NeutralPoints)
    if (std::abs(N.X - P.X) < GridSize && std::abs(N.Y - P.Y) < GridSize) return;
  NeutralPoints.push_back(P);
}

TFieldPlot::TTraceEnd TFieldPlot::TraceLine(TPointArray &Line, double X, double Y, int Sign, int From,
                                            bool FirstPass, unsigned Generation,
                                            const std::shared_ptr<bool> &Living,
                                            const TYield &Yield) {
  const TRect R = Rect(0, 0, Width, Height);
  const double MinField = FirstPass ? 1e-8 : 1e-6;
  const double Reach = GridSize / 2;
  Line.clear();
  Line.reserve(1000);
  Line.push_back(Point(Round(X), Round(Y)));
  TPoint History[3];
  int HistoryCount = 0;
  for (int Step = 0;; ++Step) {
    if (!PtInRect(R, Point(Round(X), Round(Y)))) return TTraceEnd::Kept; // left the picture
    if (Step >= MaxLineSteps) return TTraceEnd::Kept;
    double Ex, Ey, E;
    Field(X, Y, Sign, Ex, Ey, E);
    if (E < MinField) E = MinField;
    X += StepLength * Ex / E;
    Y += StepLength * Ey / E;
    TPoint P(Round(X), Round(Y));
    if (Line.size() == Line.capacity()) Line.reserve(Line.size() + 1000);
    Line.push_back(P);

    const bool Go = !Yield || Yield();
    if (!*Living || ModelGeneration != Generation) return TTraceEnd::Stale;
    if (!Go || AbortFlag) throw EPlotAbort();

    // Arrival at a charge of the other kind ends the line.
    for (int J = 0; J < int(Charges.size()); ++J) {
      if (J == From) continue;
      const TFieldCharge &C = Charges[J];
      if (C.Value * Sign >= 0) continue;
      double DX = X - C.X, DY = Y - C.Y;
      if (std::sqrt(DX * DX + DY * DY) <= Reach) {
        if (FirstPass) MarkArrivalSlot(J, X, Y);
        return TTraceEnd::Kept;
      }
    }

    // A line that comes back to where it was two steps ago has stalled at a neutral point.
    if (HistoryCount < 3) History[HistoryCount++] = P;
    else {
      History[0] = History[1];
      History[1] = History[2];
      History[2] = P;
    }
    if (HistoryCount == 3 && History[2] == History[0]) {
      AddNeutralPoint(NeutralPointNear(X, Y));
      return TTraceEnd::Stalled;
    }
  }
}

void TFieldPlot::StoreLine(TCanvas &Canvas, TPointArray &Line, int Sign) {
  Line.shrink_to_fit();
  Canvas.Polyline(Line);
  if (ShowArrows) DrawArrows(Canvas, Line, Sign);
  Lines.push_back(Line);
  LineSigns.push_back(Sign);
  ++LineCount;
}

void TFieldPlot::PlotFieldLines(TCanvas &Canvas, const TYield &Yield) {
  if (Running()) return; // a nested call from the run's own message pump
  std::shared_ptr<bool> Living = Alive;
  TRunMark Mark(RunDepth, Living);
  TLoopGuard Loop;

  if (LinesDrawn && !ContoursDrawn) DrawBackground(Canvas);
  AbortFlag = false;
  LinesDrawn = false;
  Lines.clear();
  Lines.reserve(LinesPerCharge * Charges.size());
  LineCount = 0;
  const int S = DominantSign();
  NeutralPoints.clear();
  LineSigns.clear();
  // Every run starts with free arrival slots, also when the charges did not change.
  ResetSlots();
  Canvas.Pen().Color = clBlack;
  Canvas.Pen().Style = psSolid;
  const unsigned Generation = ++ModelGeneration;
  const double Half = GridSize / 2.0;

  TPointArray Line;
  int LineSign = S;
  try {
    for (int I = 0; I < int(Charges.size()); ++I) {
      if (Charges[I].Value * S <= 0) continue;
      for (int K = 0; K < LinesPerCharge; ++K) {
        LineSign = S;
        double X = Charges[I].X + std::cos(K * Pi / 6) * Half, Y = Charges[I].Y + std::sin(K * Pi / 6) * Half;
        TTraceEnd End = TraceLine(Line, X, Y, S, I, true, Generation, Living, Yield);
        if (End == TTraceEnd::Stale) return;
        if (End == TTraceEnd::Kept) StoreLine(Canvas, Line, S);
        Line.clear();
      }
    }
    // The remaining lines: one from every free slot of the other charges, traced against
    // the field of the first pass.
    for (int I = 0; I < int(Charges.size()); ++I) {
      if (Charges[I].Value * S >= 0) continue;
      for (int K = 0; K < LinesPerCharge; ++K) {
        if (Charges[I].SlotUsed[K]) continue;
        LineSign = -S;
        double X = Charges[I].X + std::cos(K * Pi / 6) * Half, Y = Charges[I].Y + std::sin(K * Pi / 6) * Half;
        TTraceEnd End = TraceLine(Line, X, Y, -S, I, false, Generation, Living, Yield);
        if (End == TTraceEnd::Stale) return;
        if (End == TTraceEnd::Kept) StoreLine(Canvas, Line, -S);
        Line.clear();
      }
    }
    DrawAllCharges(Canvas);
    DrawNeutralPoints(Canvas);
    LinesDrawn = !Lines.empty();
    AbortFlag = true;
  } catch (const EPlotAbort &) {
    // Stopped: the line being traced is kept as far as it got, with the sign of its pass.
    AbortFlag = true;
    if (Line.size() >= 1) {
      Canvas.Polyline(Line);
      Lines.push_back(Line);
      LineSigns.push_back(LineSign);
      ++LineCount;
    }
    LinesDrawn = !Lines.empty();
  }
}

void TFieldPlot::DrawArrows(TCanvas &Canvas, const TPointArray &Line, int Sign) {
  const int N = int(Line.size()) - 1; // index of the last point
  if (N <= ArrowSpacing) return;
  const int G = GridSize;
  const int H = (G * Sign) / 4;
  Canvas.Brush().Style = bsSolid;
  Canvas.Brush().Color = clYellow;
  const int Last = N / ArrowSpacing;
  for (int M = 1; M <= Last; ++M) {
    TPoint P2 = Line[M * ArrowSpacing], P1 = Line[M * ArrowSpacing - 1];
    if (M == Last) {
      // The last arrow only away from the charges, where lines crowd together.
      bool Near = false;
      for (const TFieldCharge &C : Charges) {
        TRect B = C.Bounds;
        InflateRect(B, G, G);
        if (PtInRect(B, P2)) { Near = true; break; }
      }
      if (Near) continue;
    }
    DrawArrowHead(Canvas, P1, P2, H, Sign);
  }
}

void TFieldPlot::DrawLine(TCanvas &Canvas, const TPointArray &Line, int Sign) {
  Canvas.Polyline(Line);
  if (ShowArrows) DrawArrows(Canvas, Line, Sign);
}

void TFieldPlot::DrawAllCharges(TCanvas &Canvas) {
  for (size_t I = 0; I < Charges.size(); ++I) {
    int X = Charges[I].X, Y = Charges[I].Y;
    DrawCharge(Canvas, X, Y, Charges[I].Value);
  }
}

void TFieldPlot::DrawNeutralPoints(TCanvas &Canvas) {
  Canvas.Brush().Style = bsClear;
  Canvas.Font().Color = clRed;
  for (const TPoint &P : NeutralPoints)
    Canvas.TextOut(P.X - Canvas.TextWidth("n") / 2, P.Y - Canvas.TextHeight("n") / 2, "n");
}

void TFieldPlot::Draw(TCanvas &Canvas) {
  DrawBackground(Canvas);
  Canvas.Pen().Color = clBlack;
  Canvas.Pen().Style = psSolid;
  for (size_t I = 0; I < Lines.size(); ++I) DrawLine(Canvas, Lines[I], I < LineSigns.size() ? LineSigns[I] : 1);
  Canvas.Pen().Color = ContourGreen;
  for (const TContourSegment &S : Segments) {
    Canvas.MoveTo(S.P1.X, S.P1.Y);
    Canvas.LineTo(S.P2.X, S.P2.Y);
  }
  DrawAllCharges(Canvas);
  DrawNeutralPoints(Canvas);
}

TMetafile TFieldPlot::MakeMetafile() {
  return RecordMetafile(Width, Height, [this](TCanvas &C) { Draw(C); });
}

void TFieldPlot::Print(int Copies) { PrintMetafileCopies(MakeMetafile(), Copies, Width, Height); }

void TFieldPlot::CopyToClipboard() { Clipboard().Assign(MakeMetafile()); }

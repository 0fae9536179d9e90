// The room an axis takes in the chart and its drawing: line, ticks, grid, labels, title.
#include <cmath>

#include "charts/axis.h"
#include "charts/chart.h"

namespace {
int CountLines(const std::string &Text) {
  if (Text.empty()) return 0;
  int N = 0;
  for (char C : Text)
    if (C == ChartLineSeparator) ++N;
  if (Text.back() != ChartLineSeparator) ++N;
  return N;
}
} // namespace

int TCustomChartAxis::PositionShift(const TRect &R) const {
  if (FPositionPercent == 0) return 0;
  return Round(0.01 * FPositionPercent * (FHorizontal ? R.Height() : R.Width()));
}

void TCustomChartAxis::CalcRect(TRect &R, bool ReserveSpace) {
  RecalcIsDateTime();
  // Taking room moves the axis's own edge of R inward; "outward" is away from the middle.
  const bool Right = !FHorizontal && FOtherSide; // right and depth axes
  const bool Left = !FHorizontal && !FOtherSide;
  const bool Top = FHorizontal && FOtherSide;
  auto Take = [&](int N) {
    if (Left) R.Left += N;
    else if (Right) R.Right -= N;
    else if (Top) R.Top += N;
    else R.Bottom -= N;
  };
  auto Edge = [&]() { return Left ? R.Left : Right ? R.Right : Top ? R.Top : R.Bottom; };
  const int Out = (Left || Top) ? -1 : 1;
  if (ReserveSpace) {
    if (FIsDepthAxis)
      PosTitle = R.Right;
    else if (!Title.Caption().empty()) {
      Take(SizeTitle());
      PosTitle = Edge();
    }
    if (FLabels) {
      Take(SizeLabels());
      PosLabels = Edge();
    }
    const int T = SizeTickAxis() + FChart->GetWallSize(this);
    if (T > 0) Take(T);
    const int Shift = PositionShift(R) * -Out;
    PosTitle += Shift;
    PosLabels += Shift;
  } else {
    PosAxis = Edge() - Out * PositionShift(R);
    PosLabels = PosAxis + Out * SizeTickAxis();
    PosTitle = PosLabels + Out * SizeLabels();
  }
}

void TCustomChartAxis::DrawLabelText(int X, int Y, int Angle, const std::string &Text) {
  TChartCanvas3D &C = FChart->Canvas();
  const int FH = C.FontHeight();
  const int h = FH / 2;
  // Near side: bottom and left axes; other side: top, right and depth axes.
  const bool Near = !FOtherSide;
  unsigned Align = TA_LEFT | TA_TOP;
  if (FHorizontal) {
    switch (Angle) {
    case 0: Align = Near ? TA_CENTER : TA_CENTER | TA_BOTTOM; break;
    case 90: Align = Near ? TA_RIGHT : TA_LEFT; X -= h; break;
    case 180: Align = Near ? TA_CENTER | TA_BOTTOM : TA_CENTER; break;
    case 270: Align = Near ? TA_LEFT : TA_RIGHT; X += h; break;
    default: break;
    }
  } else {
    switch (Angle) {
    case 0: Align = Near ? TA_RIGHT : TA_LEFT; Y -= h; break;
    case 90: Align = Near ? TA_CENTER | TA_BOTTOM : TA_CENTER; break;
    case 180: Align = Near ? TA_LEFT : TA_RIGHT; Y += h; break;
    case 270: Align = Near ? TA_CENTER : TA_CENTER | TA_BOTTOM; break;
    default: break;
    }
  }
  C.SetTextAlign(Align);
  const int Z = FOtherSide ? FChart->Width3D : 0;
  const int N = CountLines(Text);
  if (N == 0) {
    C.SetTextAlign(TA_LEFT | TA_TOP);
    return;
  }
  const int LH = (Angle == 180 || Angle == 270) ? -FH : FH;
  const int T = LH * N;
  if (FHorizontal) {
    if (Angle == 0) Y -= Near ? LH : T;
    else if (Angle == 180) Y -= Near ? T : LH;
    else if (Angle == 90 || Angle == 270) X -= Round(LH * 0.5 * (N + 1));
  } else {
    if (Angle == 0 || Angle == 180) Y -= Round(LH * 0.5 * (N + 1));
    else if (Angle == 90) X -= Near ? T : LH;
    else if (Angle == 270) X -= Near ? LH : T;
  }
  size_t Start = 0;
  while (Start <= Text.size()) {
    const size_t P = Text.find(ChartLineSeparator, Start);
    const std::string Line = Text.substr(Start, P == std::string::npos ? std::string::npos : P - Start);
    if (Angle == 0) {
      Y += LH;
      C.TextOut3D(X, Y, Z, Line);
    } else {
      if (Angle == 90 || Angle == 270) X += LH;
      else if (Angle == 180) Y += LH;
      C.RotateLabel3D(X, Y, Z, Line, Angle);
    }
    if (P == std::string::npos || P + 1 >= Text.size()) break;
    Start = P + 1;
  }
  C.SetTextAlign(TA_LEFT | TA_TOP);
}

void TCustomChartAxis::DrawTick(int P, int Length, bool Inner) {
  TChartCanvas3D &C = FChart->Canvas();
  const int Z = FOtherSide ? FChart->Width3D : 0;
  // Outer ticks point away from the chart, inner ones into it.
  int Sign = FHorizontal ? (FOtherSide ? -1 : 1) : (FOtherSide ? 1 : -1);
  if (Inner) Sign = -Sign;
  if (FHorizontal)
    C.VertLine3D(P, PosAxis, PosAxis + Sign * Length, Z);
  else
    C.HorizLine3D(PosAxis, PosAxis + Sign * Length, P, Z);
}

void TCustomChartAxis::DrawGridLine(int P) {
  TChartCanvas3D &C = FChart->Canvas();
  C.Brush().Style = bsClear;
  C.SetBackMode(bkTransparent);
  C.AssignVisiblePen(Grid);
  FChart->CheckPenWidth(C.Pen());
  if (C.Pen().Color == clChartColor) C.Pen().Color = clGray;
  const TRect &R = FChart->ChartRect;
  const int D = FChart->Width3D;
  const bool In3D = FChart->View3D();
  if (FIsDepthAxis) {
    C.VertLine3D(R.Left, R.Top, R.Bottom, P);
    C.HorizLine3D(R.Left, R.Right, R.Bottom, P);
  } else if (FHorizontal) {
    if (!In3D)
      C.DoVertLine(P, R.Top, R.Bottom);
    else if (FOtherSide)
      C.VertLine3D(P, R.Top, R.Bottom, D);
    else {
      C.ZLine3D(P, PosAxis, 0, D);
      C.VertLine3D(P, R.Top, R.Bottom, D);
    }
  } else {
    if (!In3D)
      C.DoHorizLine(R.Left, R.Right, P);
    else if (FOtherSide)
      C.HorizLine3D(R.Left, R.Right, P, D);
    else {
      C.ZLine3D(PosAxis, P, 0, D);
      C.HorizLine3D(R.Left, R.Right, P, D);
    }
  }
  C.SetBackMode(bkOpaque);
}

void TCustomChartAxis::DrawTicksGrid(int P) {
  TChartCanvas3D &C = FChart->Canvas();
  if (Ticks.Visible) {
    C.AssignVisiblePen(Ticks);
    DrawTick(P, FTickLength, false);
  }
  if (Grid.Visible) {
    if (!FGridCentered) DrawGridLine(P);
    else if (FPrevTickPos != -1)
      DrawGridLine(Round((FPrevTickPos + P) * 0.5));
  }
  if (TicksInner.Visible) {
    C.AssignVisiblePen(TicksInner);
    DrawTick(P, FTickInnerLength, true);
  }
  if (MinorTicks.Visible && FPrevTickPos != -1 && !FLogarithmic) {
    C.AssignVisiblePen(MinorTicks);
    const double d = double(P - FPrevTickPos) / (FMinorTickCount + 1);
    for (int i = 1; i <= FMinorTickCount; ++i) DrawTick(P - Round(i * d), FMinorTickLength, false);
  }
  FPrevTickPos = P;
}

void TCustomChartAxis::DrawAxisLabel(int P, double Value, const std::string &Text) {
  DrawnLabels.push_back(Value);
  TChartCanvas3D &C = FChart->Canvas();
  FChart->AssignChartFont(LabelsFont);
  // Printed labels in white would vanish on the paper.
  if (FChart->Printing && C.Font().Color == clWhite) C.Font().Color = clBlack;
  C.Brush() = TBrush{FChart->Color(), bsClear};
  if (FIsDepthAxis) {
    C.SetTextAlign(TA_LEFT | TA_TOP);
    C.TextOut3D(PosLabels, FChart->ChartRect.Bottom, P, Text);
  } else if (FHorizontal)
    DrawLabelText(P, PosLabels, FLabelsAngle, Text);
  else
    DrawLabelText(PosLabels, P, FLabelsAngle, Text);
}

void TCustomChartAxis::DrawValueLabels(double Step, int ExactEntry) {
  if (!(std::fabs(IMaximum / Step) < 2147483647 && std::fabs(IRange / Step) < 10000)) return;
  auto DrawAt = [&](double V) {
    const int P = CalcPosValue(V);
    if (!FTickOnLabelsOnly) DrawTicksGrid(P);
    if (FLabels) {
      if (FTickOnLabelsOnly) DrawTicksGrid(P);
      DrawAxisLabel(P, V, LabelValue(V));
    }
  };
  // Exact date-time steps of a day or more start on a calendar boundary; steps of half a
  // month or more walk the calendar by the fitted step.
  if (IsDateTime && ExactEntry >= 14) {
    auto Down = [&](double V) { return Step >= 15 ? ChartDecrementDate(V, Step) : V - Step; };
    double V = ChartRoundDate(IMaximum, ExactEntry);
    const double Tol = std::fabs(Step) * 1e-9;
    int Guard = 0;
    if (FLabelsOnAxis) {
      while (V > IMaximum + Tol && Guard++ < 10000) V = Down(V);
      for (; Guard < 10000 && V >= IMinimum - Tol; ++Guard, V = Down(V)) DrawAt(V);
    } else {
      while (V >= IMaximum - Tol && Guard++ < 10000) V = Down(V);
      for (; Guard < 10000 && V > IMinimum + Tol; ++Guard, V = Down(V)) DrawAt(V);
    }
    return;
  }
  // Labels are whole multiples of the step, each computed afresh (no running sum), and
  // the ends take a small tolerance so that binary fractions keep their end labels.
  const double Tol = std::fabs(Step) * 1e-9;
  const bool Multiples = IMinimum != IMaximum && FRoundFirstLabel;
  double K0 = 0, Base = IMaximum;
  if (Multiples) {
    double q = IMaximum / Step;
    const double r = std::nearbyint(q);
    if (std::fabs(q - r) <= 1e-9 * std::max(1.0, std::fabs(r))) q = r;
    K0 = std::trunc(q);
    Base = 0;
  }
  auto Value = [&](int64_t k) { return Multiples ? (K0 - double(k)) * Step : Base - double(k) * Step; };
  int64_t k = 0;
  if (FLabelsOnAxis) {
    while (Value(k) > IMaximum + Tol) ++k;
    for (int n = 0; n < 10000 && Value(k) >= IMinimum - Tol; ++n, ++k) DrawAt(Value(k));
  } else {
    while (Value(k) >= IMaximum - Tol) ++k;
    for (int n = 0; n < 10000 && Value(k) > IMinimum + Tol; ++n, ++k) DrawAt(Value(k));
  }
}

void TCustomChartAxis::DrawLogLabels() {
  if (IMinimum == IMaximum) return;
  double Min = IMinimum;
  double v;
  if (Min <= 0) {
    // The minimum is replaced for this draw, mapping included, so that the labels and the
    // series land on the chart.
    Min = Min < 0 ? 1e-10 : 0.1;
    IMinimum = Min;
    IRange = IMaximum - IMinimum;
    v = Min;
  } else
    v = std::pow(double(FLogarithmicBase), Round(std::log(Min) / std::log(double(FLogarithmicBase))));
  TChartCanvas3D &C = FChart->Canvas();
  for (int n = 0; n < 10000 && v <= IMaximum; ++n) {
    if (v >= Min) {
      const int P = CalcPosValue(v);
      if (!FTickOnLabelsOnly) DrawTicksGrid(P);
      if (FLabels) {
        if (FTickOnLabelsOnly) DrawTicksGrid(P);
        DrawAxisLabel(P, v, LabelValue(v));
      }
      if (MinorTicks.Visible) {
        C.AssignVisiblePen(MinorTicks);
        const double d = (FLogarithmicBase * v - v) / (FMinorTickCount + 1);
        for (int i = 1; i <= FMinorTickCount; ++i) {
          const double m = v + i * d;
          if (m > IMaximum) break;
          DrawTick(CalcPosValue(m), FMinorTickLength, false);
        }
      }
    }
    v *= FLogarithmicBase;
  }
}

void TCustomChartAxis::DrawSeriesLabels(TAxisLabelStyle Style) {
  std::vector<TChartSeries *> LS;
  for (TChartSeries *S : FChart->SeriesList)
    if (S->Active() && S->AssociatedToAxis(this) &&
        std::any_of(S->XLabels.begin(), S->XLabels.end(), [](const std::string &L) { return !L.empty(); }))
      LS.push_back(S);
  int First = -1, Last = -1;
  for (TChartSeries *S : LS) {
    S->CalcVisibleRange();
    if (S->FirstValueIndex < 0) continue;
    First = First < 0 ? S->FirstValueIndex : std::min(First, S->FirstValueIndex);
    Last = std::max(Last, S->LastValueIndex);
  }
  if (First < 0) return;
  TChartCanvas3D &C = FChart->Canvas();
  FChart->AssignChartFont(LabelsFont);
  bool Any = false;
  int LastPos = 0, LastHalf = 0;
  for (int i = First; i <= Last; ++i) {
    TChartSeries *Src = nullptr;
    for (TChartSeries *S : LS)
      if (i < S->Count() && !S->GetXLabel(i).empty()) {
        Src = S;
        break;
      }
    if (!Src) continue;
    std::string Text = Style == talMark ? Src->ValueMarkText(i) : Src->GetXLabel(i);
    if (FChart->OnGetAxisLabel) FChart->OnGetAxisLabel(this, Src, i, Text);
    const double V = FHorizontal ? Src->GetxValue(i) : Src->GetyValue(i);
    if (V < IMinimum || V > IMaximum) continue;
    const int P = CalcPosValue(V);
    int Lines;
    int Ext = FHorizontal ? MultiLineTextWidth(C, Text, Lines) : 0;
    if (!FHorizontal) {
      MultiLineTextWidth(C, Text, Lines);
      Ext = C.FontHeight() * Lines;
    }
    if (FLabelsAngle == 90 || FLabelsAngle == 270) {
      const int W = MultiLineTextWidth(C, Text, Lines);
      Ext = FHorizontal ? C.FontHeight() * Lines : W;
    }
    const int Half = (Ext + Round(Ext * FLabelsSeparation * 0.01)) / 2;
    if (Any && FLabelsSeparation != 0 && std::abs(P - LastPos) < Half + LastHalf) continue;
    if (!FTickOnLabelsOnly) DrawTicksGrid(P);
    if (FLabels) {
      if (FTickOnLabelsOnly) DrawTicksGrid(P);
      DrawAxisLabel(P, V, Text);
    }
    Any = true;
    LastPos = P;
    LastHalf = Half;
  }
}

void TCustomChartAxis::DrawDepthLabels() {
  if (CountActiveSeries(FChart->SeriesList) == 0) return;
  for (int t = Trunc(IMinimum); t <= Trunc(IMaximum); ++t) {
    const int P = CalcDepthPosValue(IMaximum - t - 0.5);
    if (!FTickOnLabelsOnly) DrawTicksGrid(P);
    if (FLabels) {
      std::string Text = FChart->SeriesTitleLegend(t);
      if (FChart->OnGetAxisLabel) FChart->OnGetAxisLabel(this, nullptr, t, Text);
      if (FTickOnLabelsOnly) DrawTicksGrid(P);
      DrawAxisLabel(P, t, Text);
    }
  }
}

void TCustomChartAxis::DrawTitle() {
  TChartCanvas3D &C = FChart->Canvas();
  FChart->AssignChartFont(Title.Font);
  if (FChart->Printing && C.Font().Color == clWhite) C.Font().Color = clBlack;
  C.Brush().Style = bsClear;
  if (FIsDepthAxis) {
    C.SetTextAlign(TA_LEFT | TA_TOP);
    C.TextOut3D(PosTitle, FChart->ChartRect.Bottom, FChart->Width3D / 2, Title.Caption());
  } else if (FHorizontal)
    DrawLabelText(IAxisCenter, PosTitle, Title.Angle(), Title.Caption());
  else
    DrawLabelText(PosTitle, IAxisCenter, Title.Angle(), Title.Caption());
}

int TCustomChartAxis::ExactDateTimeEntry(double Step) const {
  if (!IsDateTime || !FExactDateTime || FIncrement == 0) return -1;
  int Exact = FindDateTimeStep(FIncrement);
  if (Exact >= 0)
    while (Exact < NumDateTimeSteps - 1 && Step > DateTimeStepValue(Exact)) ++Exact;
  return Exact;
}

void TCustomChartAxis::Draw(bool CalcPosAxis) {
  DrawnLabels.clear();
  FPrevTickPos = -1;
  RecalcIsDateTime();
  FChart->AssignChartFont(LabelsFont);
  const double Step = CalcIncrement();
  if (CalcPosAxis) {
    const TRect &R = FChart->ChartRect;
    const bool Left = !FHorizontal && !FOtherSide, Right = !FHorizontal && FOtherSide;
    const bool Top = FHorizontal && FOtherSide;
    const int Edge = Left ? R.Left : Right ? R.Right : Top ? R.Top : R.Bottom;
    PosAxis = Edge + ((Left || Top) ? 1 : -1) * PositionShift(R);
  }
  if (!Title.Caption().empty()) DrawTitle();
  const int Exact = ExactDateTimeEntry(Step);
  const bool ExactLong = Exact >= 18 && Exact <= 24;
  if ((Step > 0 || ExactLong) && IMaximum >= IMinimum) {
    switch (CalcLabelStyle()) {
    case talValue: {
      bool Done = false;
      if (FChart->OnGetNextAxisLabel) {
        double v = IMinimum;
        for (int Index = 0; Index < 1001; ++Index) {
          bool Stop = true;
          FChart->OnGetNextAxisLabel(this, Index, v, Stop);
          if (Stop) {
            Done = Index > 0;
            break;
          }
          if (v < IMinimum - 1e-7 || v > IMaximum + 1e-7) {
            Done = true;
            break;
          }
          const int P = CalcPosValue(v);
          if (!FTickOnLabelsOnly) DrawTicksGrid(P);
          if (FLabels) {
            if (FTickOnLabelsOnly) DrawTicksGrid(P);
            DrawAxisLabel(P, v, LabelValue(v));
          }
          Done = true;
        }
      }
      if (!Done) {
        if (FLogarithmic && FIncrement == 0)
          DrawLogLabels();
        else
          DrawValueLabels(Step, Exact);
      }
      break;
    }
    case talMark: DrawSeriesLabels(talMark); break;
    case talText:
      if (FIsDepthAxis) DrawDepthLabels();
      else DrawSeriesLabels(talText);
      break;
    default: break;
    }
  }
  if (Axis.Visible) {
    FChart->Canvas().AssignVisiblePen(Axis);
    PaintAxisLine(FChart->GetWallSize(this));
  }
}

void TChartAxis::PaintAxisLine(int WallSize) {
  TChartCanvas3D &C = FChart->Canvas();
  const int D = FChart->Width3D;
  if (FHorizontal && !FOtherSide)
    C.HorizLine3D(IStartPos - FChart->GetWallSize(&FChart->LeftAxis), IEndPos, PosAxis + WallSize, 0);
  else if (FHorizontal)
    C.HorizLine3D(IStartPos, IEndPos, PosAxis, D);
  else if (!FOtherSide)
    C.VertLine3D(PosAxis - WallSize, IStartPos, IEndPos + FChart->GetWallSize(&FChart->BottomAxis), 0);
  else
    C.VertLine3D(PosAxis, IStartPos, IEndPos, D);
}

void TChartDepthAxis::PaintAxisLine(int) {
  const TRect &R = FChart->ChartRect;
  FChart->Canvas().ZLine3D(R.Right, R.Bottom + FChart->GetWallSize(&FChart->BottomAxis), 0,
                           FChart->Width3D);
}

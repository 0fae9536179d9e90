#include "charts/axis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "charts/chart.h"
#include "platform/date_formats.h"

// ---- step routines -------------------------------------------------------------------

double ChartNextStep(double Old) {
  // A step that is not a positive finite number has no next one: start again at 1.
  if (!(Old > 0) || !std::isfinite(Old)) return 1.0;
  double Scale = 1.0;
  while (Old >= 10) {
    Old *= 0.1;
    Scale *= 10;
  }
  while (Old < 1) {
    Old *= 10;
    Scale *= 0.1;
  }
  if (Old < 2) return 2 * Scale;
  if (Old < 5) return 5 * Scale;
  return 10 * Scale;
}

namespace {
constexpr double OneSecond = 1.0 / 86400;
const double DateTimeSteps[NumDateTimeSteps] = {
    OneSecond,      5 * OneSecond,  10 * OneSecond, 15 * OneSecond, 30 * OneSecond,
    60 * OneSecond, 300 * OneSecond, 600 * OneSecond, 900 * OneSecond, 1800 * OneSecond,
    1.0 / 24,       2.0 / 24,       6.0 / 24,       12.0 / 24,      1,
    2,              3,              7,              15,             30,
    60,             90,             120,            182,            365};
} // namespace

double DateTimeStepValue(int Entry) { return DateTimeSteps[std::clamp(Entry, 0, NumDateTimeSteps - 1)]; }

double NextDateTimeStep(double Step) {
  if (Step >= 182 || Step < OneSecond) return 365;
  for (int t = NumDateTimeSteps - 2; t >= 0; --t)
    if (DateTimeSteps[t] <= Step) return DateTimeSteps[t + 1];
  return 365;
}

int FindDateTimeStep(double Step) {
  for (int t = NumDateTimeSteps - 1; t >= 0; --t)
    if (std::fabs(DateTimeSteps[t] - Step) < OneSecond) return t;
  return -1;
}

std::string DateTimeDefaultFormat(double Span) {
  return Span > 1 ? ShortDateFormat() : ShortTimeFormat();
}

namespace {
// Days from 1 January 1970 of a civil date, and back (proleptic Gregorian calendar).
long long DaysFromCivil(long long Y, int M, int D) {
  Y -= M <= 2;
  const long long Era = (Y >= 0 ? Y : Y - 399) / 400;
  const long long YoE = Y - Era * 400;
  const long long DoY = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
  const long long DoE = YoE * 365 + YoE / 4 - YoE / 100 + DoY;
  return Era * 146097 + DoE - 719468;
}
void CivilFromDays(long long Z, long long &Y, int &M, int &D) {
  Z += 719468;
  const long long Era = (Z >= 0 ? Z : Z - 146096) / 146097;
  const long long DoE = Z - Era * 146097;
  const long long YoE = (DoE - DoE / 1460 + DoE / 36524 - DoE / 146096) / 365;
  const long long DoY = DoE - (365 * YoE + YoE / 4 - YoE / 100);
  const long long MP = (5 * DoY + 2) / 153;
  D = int(DoY - (153 * MP + 2) / 5 + 1);
  M = int(MP < 10 ? MP + 3 : MP - 9);
  Y = YoE + Era * 400 + (M <= 2);
}
constexpr long long ChartDayZero = -25569; // 30 December 1899 from 1 January 1970
} // namespace

void DecodeChartDate(double Value, int &Year, int &Month, int &Day) {
  const double F = std::floor(Value);
  long long Y = 1899;
  Month = 12;
  Day = 30;
  if (std::fabs(F) < 1e9) CivilFromDays((long long)F + ChartDayZero, Y, Month, Day);
  Year = int(Y);
}

double EncodeChartDate(int Year, int Month, int Day) {
  return double(DaysFromCivil(Year, Month, Day) - ChartDayZero);
}

double ChartRoundDate(double Value, int Entry) {
  const double Day = std::floor(Value);
  if (Entry < 14 || !std::isfinite(Value)) return Value;
  int Y, M, D;
  DecodeChartDate(Day, Y, M, D);
  if (Entry == 18) return EncodeChartDate(Y, M, D >= 15 ? 15 : 1);
  if (Entry >= 19 && Entry <= 23) return EncodeChartDate(Y, M, 1);
  if (Entry >= 24) return EncodeChartDate(Y, 1, 1);
  return Day;
}

double ChartDecrementDate(double Value, double Step) {
  int Y, M, D;
  DecodeChartDate(Value, Y, M, D);
  if (Step >= 365) return EncodeChartDate(Y - std::max(1, Round(Step / 365)), M, std::min(D, 28));
  if (Step >= 28) {
    const int Months = std::max(1, Round(Step / 30.4375));
    int Total = Y * 12 + (M - 1) - Months;
    return EncodeChartDate(Total / 12, Total % 12 + 1, std::min(D, 28));
  }
  // Half months: the 15th goes back to the 1st, the 1st to the 15th of the month before.
  if (D > 15) return EncodeChartDate(Y, M, 15);
  if (D > 1) return EncodeChartDate(Y, M, 1);
  return M == 1 ? EncodeChartDate(Y - 1, 12, 15) : EncodeChartDate(Y, M - 1, 15);
}

std::string FormatDateTime(const std::string &Fmt, double Value) {
  // Day 0 is 30 December 1899.
  const double Days = std::floor(Value);
  const std::time_t T = std::time_t((Days - 25569) * 86400);
  std::tm Tm{};
  gmtime_r(&T, &Tm);
  int Secs = int(std::lround((Value - Days) * 86400));
  if (Secs >= 86400) Secs = 86399;
  // With a morning/afternoon mark the hours count to 12.
  const bool Twelve =
      Fmt.find("am/pm") != std::string::npos || Fmt.find("AM/PM") != std::string::npos;
  int Hour = Secs / 3600;
  const bool Pm = Hour >= 12;
  if (Twelve) Hour = Hour % 12 == 0 ? 12 : Hour % 12;
  std::string Out;
  char Buf[16];
  for (size_t i = 0; i < Fmt.size();) {
    auto Take = [&](const char *Tok) {
      const size_t n = strlen(Tok);
      if (Fmt.compare(i, n, Tok) == 0) {
        i += n;
        return true;
      }
      return false;
    };
    if (Fmt[i] == '"' || Fmt[i] == '\'') {
      // Quoted text stands as it is.
      const size_t End = Fmt.find(Fmt[i], i + 1);
      Out += Fmt.substr(i + 1, End == std::string::npos ? std::string::npos : End - i - 1);
      i = End == std::string::npos ? Fmt.size() : End + 1;
      continue;
    }
    if (Take("yyyy")) snprintf(Buf, sizeof Buf, "%04d", Tm.tm_year + 1900);
    else if (Take("yy")) snprintf(Buf, sizeof Buf, "%02d", (Tm.tm_year + 1900) % 100);
    else if (Take("dd")) snprintf(Buf, sizeof Buf, "%02d", Tm.tm_mday);
    else if (Take("d")) snprintf(Buf, sizeof Buf, "%d", Tm.tm_mday);
    else if (Take("mm")) snprintf(Buf, sizeof Buf, "%02d", Tm.tm_mon + 1);
    else if (Take("m")) snprintf(Buf, sizeof Buf, "%d", Tm.tm_mon + 1);
    else if (Take("hh")) snprintf(Buf, sizeof Buf, "%02d", Hour);
    else if (Take("h")) snprintf(Buf, sizeof Buf, "%d", Hour);
    else if (Take("nn")) snprintf(Buf, sizeof Buf, "%02d", Secs / 60 % 60);
    else if (Take("n")) snprintf(Buf, sizeof Buf, "%d", Secs / 60 % 60);
    else if (Take("ss")) snprintf(Buf, sizeof Buf, "%02d", Secs % 60);
    else if (Take("s")) snprintf(Buf, sizeof Buf, "%d", Secs % 60);
    else if (Take("am/pm")) snprintf(Buf, sizeof Buf, "%s", Pm ? "pm" : "am");
    else if (Take("AM/PM")) snprintf(Buf, sizeof Buf, "%s", Pm ? "PM" : "AM");
    else {
      Buf[0] = Fmt[i++];
      Buf[1] = 0;
    }
    Out += Buf;
  }
  return Out;
}

// ---- title ---------------------------------------------------------------------------

void TChartAxisTitle::SetAngle(int V) {
  ChartCheckAngle(V, "Axis Title");
  if (FAngle == V) return;
  FAngle = V;
  if (FOwner) FOwner->Invalidate();
}

void TChartAxisTitle::SetCaption(const std::string &V) {
  if (FCaption == V) return;
  FCaption = V;
  if (FOwner) FOwner->Invalidate();
}

void TChartAxisTitle::Assign(const TChartAxisTitle &S) {
  SetAngle(S.FAngle);
  SetCaption(S.FCaption);
  Font.Assign(S.Font);
}

// ---- axis ----------------------------------------------------------------------------

TCustomChartAxis::TCustomChartAxis(TCustomAxisPanel *Chart, bool Horizontal, bool OtherSide,
                                   bool IsDepth)
    : Axis([this] { Repaint(); }), Grid([this] { Repaint(); }),
      LabelsFont(CreateDefaultChartFont(), [this] { Repaint(); }),
      MinorTicks([this] { Repaint(); }), Ticks([this] { Repaint(); }),
      TicksInner([this] { Repaint(); }), Title(this, Chart), FChart(Chart), FHorizontal(Horizontal),
      FOtherSide(OtherSide), FIsDepthAxis(IsDepth) {
  if (FChart) FChart->AxesList.push_back(this);
}

TCustomChartAxis::~TCustomChartAxis() {
  if (FChart) FChart->ForgetAxis(this);
}

void TCustomChartAxis::Assign(const TCustomChartAxis &S) {
  // The ends go in unchecked, as they are: the new minimum may lie above the old maximum.
  Set(FAutomatic, S.FAutomatic);
  Set(FAutomaticMinimum, S.FAutomaticMinimum);
  Set(FAutomaticMaximum, S.FAutomaticMaximum);
  Set(FMinimum, S.FMinimum);
  Set(FMaximum, S.FMaximum);
  Set(FIncrement, S.FIncrement);
  Set(FLogarithmic, S.FLogarithmic);
  Set(FLogarithmicBase, S.FLogarithmicBase);
  Set(FInverted, S.FInverted);
  Set(FVisible, S.FVisible);
  Set(FStartPosition, S.FStartPosition);
  Set(FEndPosition, S.FEndPosition);
  Set(FPositionPercent, S.FPositionPercent);
  Axis.Assign(S.Axis);
  Grid.Assign(S.Grid);
  MinorTicks.Assign(S.MinorTicks);
  Ticks.Assign(S.Ticks);
  TicksInner.Assign(S.TicksInner);
  Set(FGridCentered, S.FGridCentered);
  Set(FLabels, S.FLabels);
  Set(FLabelsAngle, S.FLabelsAngle);
  LabelsFont.Assign(S.LabelsFont);
  Set(FLabelsOnAxis, S.FLabelsOnAxis);
  Set(FLabelsSeparation, S.FLabelsSeparation);
  Set(FLabelsSize, S.FLabelsSize);
  Set(FLabelStyle, S.FLabelStyle);
  Set(FAxisValuesFormat, S.FAxisValuesFormat);
  Set(FDateTimeFormat, S.FDateTimeFormat);
  Set(FExactDateTime, S.FExactDateTime);
  Set(FRoundFirstLabel, S.FRoundFirstLabel);
  Set(FLabelsMultiLine, S.FLabelsMultiLine);
  Set(FMinorTickCount, S.FMinorTickCount);
  Set(FMinorTickLength, S.FMinorTickLength);
  Set(FTickInnerLength, S.FTickInnerLength);
  Set(FTickLength, S.FTickLength);
  Set(FTickOnLabelsOnly, S.FTickOnLabelsOnly);
  Title.Assign(S.Title);
  Set(FTitleSize, S.FTitleSize);
}

void TCustomChartAxis::Repaint() {
  if (FChart) FChart->Invalidate();
}

void TCustomChartAxis::SetAutomatic(bool V) {
  FAutomatic = V;
  FAutomaticMinimum = V;
  FAutomaticMaximum = V;
  Repaint();
}

void TCustomChartAxis::SetAutomaticMaximum(bool V) {
  if (FAutomaticMaximum == V) return;
  FAutomaticMaximum = V;
  if (!V) FAutomatic = false;
  else if (FAutomaticMinimum) FAutomatic = true;
  Repaint();
}

void TCustomChartAxis::SetAutomaticMinimum(bool V) {
  if (FAutomaticMinimum == V) return;
  FAutomaticMinimum = V;
  if (!V) FAutomatic = false;
  else if (FAutomaticMaximum) FAutomatic = true;
  Repaint();
}

void TCustomChartAxis::SetIncrement(double V) {
  if (V < 0) throw AxisException("Axis increment must be >= 0");
  Set(FIncrement, V);
}

void TCustomChartAxis::SetMaximum(double V) {
  if (V < FMinimum) throw AxisException("Axis Maximum Value must be >= Minimum");
  Set(FMaximum, V);
}

void TCustomChartAxis::SetMinimum(double V) {
  if (V > FMaximum) throw AxisException("Axis Minimum Value must be <= Maximum");
  Set(FMinimum, V);
}

void TCustomChartAxis::SetMinMax(double AMin, double AMax) {
  // Fixing the ends changes the picture even when they stay: margins no longer widen them.
  if (FAutomatic || FAutomaticMaximum || FAutomaticMinimum) Repaint();
  FAutomatic = FAutomaticMaximum = FAutomaticMinimum = false;
  if (AMin > AMax) std::swap(AMin, AMax);
  Set(FMinimum, AMin);
  Set(FMaximum, AMax);
  if (FMaximum - FMinimum < 1e-10) Set(FMaximum, FMinimum + 1e-10);
}

void TCustomChartAxis::RestoreEnds(bool Auto, bool AutoMin, bool AutoMax, double Min, double Max) {
  FAutomatic = Auto;
  FAutomaticMinimum = AutoMin;
  FAutomaticMaximum = AutoMax;
  if (!Auto) {
    FMinimum = Min;
    FMaximum = Max;
  }
  Repaint();
}

void TCustomChartAxis::SetLogarithmic(bool V) {
  if (V && !FLogarithmic) {
    RecalcIsDateTime();
    if (IsDateTime) throw AxisException("DateTime Axis cannot be Logarithmic");
    AdjustMaxMin();
    if (IMinimum < 0 || IMaximum < 0)
      throw AxisException("Logarithmic Axis Min and Max values should be >= 0");
  }
  Set(FLogarithmic, V);
}

void TCustomChartAxis::SetLogarithmicBase(int V) {
  if (V < 2) throw AxisException("Axis Logarithmic Base should be >= 2");
  Set(FLogarithmicBase, V);
}

void TCustomChartAxis::SetLabelsAngle(int V) {
  ChartCheckAngle(V, "Axis Labels");
  Set(FLabelsAngle, V);
}

void TCustomChartAxis::SetLabelsSeparation(int V) {
  if (V < 0) throw AxisException("Labels Separation % must be greater than 0");
  Set(FLabelsSeparation, V);
}

void TCustomChartAxis::SetMinorTickCount(int V) {
  if (V < 0) throw AxisException("Axis Minor Tick Count must be >= 0");
  Set(FMinorTickCount, V);
}

void TCustomChartAxis::RecalcIsDateTime() {
  IsDateTime = false;
  if (!FChart) return;
  for (TChartSeries *S : FChart->SeriesList)
    if (S->Active() && S->AssociatedToAxis(this)) {
      IsDateTime = FHorizontal ? S->XValues().DateTime() : S->YValues().DateTime();
      return;
    }
}

void TCustomChartAxis::AdjustMaxMin() {
  if (FChart) {
    if (FAutomatic || FAutomaticMaximum)
      FMaximum = FHorizontal ? FChart->MaxXValue(this) : FChart->MaxYValue(this);
    if (FAutomatic || FAutomaticMinimum)
      FMinimum = FHorizontal ? FChart->MinXValue(this) : FChart->MinYValue(this);
  }
  IMaximum = FMaximum;
  IMinimum = FMinimum;
  IRange = IMaximum - IMinimum;
}

void TCustomChartAxis::InternalCalcPositions() {
  if (!FChart) return;
  const int L = FHorizontal ? FChart->ChartWidth : FChart->ChartHeight;
  const int S = FHorizontal ? FChart->ChartRect.Left : FChart->ChartRect.Top;
  IStartPos = S + Round(L * 0.01 * FStartPosition);
  IEndPos = S + Round(L * 0.01 * FEndPosition);
  IAxisSize = IEndPos - IStartPos;
  IAxisCenter = (IStartPos + IEndPos) / 2;
}

void TCustomChartAxis::AdjustMaxMinMargins(const TRect &Margins) {
  const int A = FHorizontal ? Margins.Left : Margins.Top;
  const int B = FHorizontal ? Margins.Right : Margins.Bottom;
  const int S = IStartPos, E = IEndPos;
  IStartPos = S + A;
  IEndPos = E - B;
  IAxisSize = IEndPos - IStartPos;
  const double Lo = CalcPosPoint(S), Hi = CalcPosPoint(E);
  InternalCalcPositions();
  IMinimum = Lo;
  IMaximum = Hi;
  if (IMinimum > IMaximum) std::swap(IMinimum, IMaximum);
  IRange = IMaximum - IMinimum;
}

namespace {
constexpr double FarPixel = ChartFarPixel;
int ClampPixel(double P) {
  if (std::isnan(P)) return int(-FarPixel);
  return int(std::nearbyint(std::clamp(P, -FarPixel, FarPixel)));
}
} // namespace

double TCustomChartAxis::CalcPosValueD(double Value) const {
  if (FLogarithmic) {
    const double LogMin = IMinimum > 0 ? std::log(IMinimum) : 0;
    const double LogMax = IMaximum > 0 ? std::log(IMaximum) : 0;
    const double LR = LogMax - LogMin;
    if (LR == 0) return IAxisCenter;
    if (Value <= 0) return (FHorizontal != FInverted) ? IStartPos : IEndPos;
    const double t = FInverted ? LogMax - std::log(Value) : std::log(Value) - LogMin;
    const double p = IAxisSize * t / LR;
    return FHorizontal ? IStartPos + p : IEndPos - p;
  }
  if (IRange == 0) return IAxisCenter;
  const double t = (Value - IMinimum) * IAxisSize / IRange;
  if ((FHorizontal && !FInverted) || (!FHorizontal && FInverted)) return IStartPos + t;
  return IEndPos - t;
}

double TCustomChartAxis::CalcPosValueFinite(double Value) const {
  const double P = CalcPosValueD(Value);
  if (std::isnan(P)) return -FarPixel;
  return std::clamp(P, -1e300, 1e300);
}

int TCustomChartAxis::CalcXPosValue(double Value) const {
  if (FLogarithmic) return ClampPixel(std::round(CalcPosValueD(Value)));
  if (IRange == 0) return IAxisCenter;
  // A pixel offset too large for the device (a deep zoom, a far point) becomes a pixel
  // far outside the chart on the right side, never the axis centre.
  const double t = (Value - IMinimum) * IAxisSize / IRange;
  if (!std::isfinite(t) || std::fabs(t) >= 2147483647.0) {
    const double Far = std::isnan(t) ? -FarPixel : (t > 0 ? FarPixel : -FarPixel);
    return ClampPixel(((FHorizontal && !FInverted) || (!FHorizontal && FInverted)) ? IStartPos + Far
                                                                                   : IEndPos - Far);
  }
  if ((FHorizontal && !FInverted) || (!FHorizontal && FInverted))
    return ClampPixel(IStartPos + double(Round(t)));
  return ClampPixel(IEndPos - double(Round(t)));
}

int TCustomChartAxis::CalcYPosValue(double Value) const { return CalcXPosValue(Value); }

int TCustomChartAxis::CalcDepthPosValue(double Value) const {
  const int W3D = FChart ? FChart->Width3D : 0;
  if (IRange == 0) return W3D / 2;
  const double t = FInverted ? IMaximum - Value : Value - IMinimum;
  return ClampPixel(std::nearbyint(W3D * t / IRange));
}

double TCustomChartAxis::CalcPosPoint(int Pixel) const {
  if (FLogarithmic) {
    const double LogMin = IMinimum > 0 ? std::log(IMinimum) : 0;
    const double LogMax = IMaximum > 0 ? std::log(IMaximum) : 0;
    const double LR = LogMax - LogMin;
    if (LR == 0) return IMinimum;
    const bool StartIsMax = (FHorizontal && FInverted) || (!FHorizontal && !FInverted);
    if (Pixel == IStartPos) return StartIsMax ? IMaximum : IMinimum;
    if (Pixel == IEndPos) return StartIsMax ? IMinimum : IMaximum;
    if (IAxisSize < 1) return IMinimum;
    const double d = FInverted ? IEndPos - Pixel : Pixel - IStartPos;
    const double t = d * LR / IAxisSize;
    return FHorizontal ? std::exp(LogMin + t) : std::exp(LogMax - t);
  }
  if (IAxisSize < 1) return 0;
  const double d = FInverted ? IEndPos - Pixel : Pixel - IStartPos;
  const double t = d * IRange / IAxisSize;
  return FHorizontal ? IMinimum + t : IMaximum - t;
}

bool TCustomChartAxis::Clicked(int X, int Y) const {
  if (!FChart || !FChart->IsAxisVisible(this)) return false;
  const int A = std::min(IStartPos, IEndPos), B = std::max(IStartPos, IEndPos);
  int C0 = std::min(PosAxis, PosLabels), C1 = std::max(PosAxis, PosLabels);
  if (PosLabels < PosAxis) C0 -= 3;
  else C1 += 3;
  if (FHorizontal) return X >= A && X <= B && Y >= C0 && Y <= C1;
  return Y >= A && Y <= B && X >= C0 && X <= C1;
}

std::string TCustomChartAxis::LabelValue(double Value) const {
  std::string S;
  if (IsDateTime) {
    if (Value >= 0)
      S = FormatDateTime(FDateTimeFormat.empty() ? DateTimeDefaultFormat(IRange) : FDateTimeFormat,
                         Value);
  } else
    S = FormatFloat(LabelFormat(), Value);
  if (FChart && FChart->OnGetAxisLabel)
    FChart->OnGetAxisLabel(const_cast<TCustomChartAxis *>(this), nullptr, -1, S);
  if (FLabelsMultiLine) ChartReplaceChar(S, ' ');
  return S;
}

TAxisLabelStyle TCustomChartAxis::CalcLabelStyle() const {
  if (FLabelStyle != talAuto) return FLabelStyle;
  if (!FChart) return talNone;
  if (FIsDepthAxis) return CountActiveSeries(FChart->SeriesList) > 0 ? talText : talNone;
  bool Any = false;
  for (TChartSeries *S : FChart->SeriesList) {
    if (!S->Active() || !S->AssociatedToAxis(this)) continue;
    Any = true;
    const bool LabelAxis = S->YMandatory() ? FHorizontal : !FHorizontal;
    if (LabelAxis && S->Count() > 0 && !S->GetXLabel(0).empty()) return talText;
  }
  return Any ? talValue : talNone;
}

namespace {
// The mask with at least Decimals digits after the point ('#': no trailing zeros).
std::string WithDecimals(const std::string &Mask, int Decimals) {
  std::string S = Mask;
  size_t Point = S.find('.');
  if (Point == std::string::npos) {
    S += '.';
    Point = S.size() - 1;
  }
  size_t End = Point + 1;
  while (End < S.size() && (S[End] == '0' || S[End] == '#')) ++End;
  const int Have = int(End - Point - 1);
  if (Decimals > Have) S.insert(End, size_t(Decimals - Have), '#');
  return S;
}
} // namespace

bool TCustomChartAxis::LabelsCollide(double Step) const {
  if (!(Step > 0) || !std::isfinite(IMinimum) || !std::isfinite(IMaximum)) return false;
  for (double End : {IMinimum, IMaximum}) {
    const double q = End / Step;
    if (!(std::fabs(q) < 1e15)) return false;
    // The format alone: texts the label event gives are the program's own choice.
    const double k = std::trunc(q);
    auto Text = [&](double j) { return FormatFloat(LabelFormat(), (k + j) * Step); };
    if (Text(0) == Text(1) || Text(-1) == Text(0)) return true;
  }
  return false;
}

double TCustomChartAxis::CalcIncrement() {
  if (!FChart) return 1;
  TChartCanvas3D &C = FChart->Canvas();
  FChart->AssignChartFont(LabelsFont);
  auto StepForLabels = [&] {
    int Lines = 1;
    auto Extent = [&](const std::string &S) {
      const int W = MultiLineTextWidth(C, S, Lines);
      const int H = C.FontHeight() * Lines;
      if (FHorizontal) return (FLabelsAngle == 90 || FLabelsAngle == 270) ? H : W;
      return (FLabelsAngle == 0 || FLabelsAngle == 180) ? H : W;
    };
    const int Size = std::max(Extent(LabelValue(IMaximum)), Extent(LabelValue(IMinimum)));
    const int N = LabelsThatFit(IAxisSize, Size, FLabelsSeparation);
    return IsDateTime ? DateTimeStepFor(N) : NumericStepFor(N);
  };
  FLabelFormat.clear();
  double Step = StepForLabels();
  if (IsDateTime || FLogarithmic || !LabelsCollide(Step)) return Step;
  // Labels that would read the same for different values get the decimals that tell
  // them apart, measured again with those decimals; where the format cannot separate
  // them even so, the step grows until it can.
  auto DecimalsFor = [](double S) { return std::clamp(int(std::ceil(-std::log10(S) - 1e-9)), 0, 18); };
  FLabelFormat = WithDecimals(FAxisValuesFormat, DecimalsFor(Step));
  Step = std::max(Step, StepForLabels());
  FLabelFormat = WithDecimals(FAxisValuesFormat, DecimalsFor(Step));
  for (int Guard = 0; Guard < 200 && LabelsCollide(Step) && std::isfinite(Step); ++Guard)
    Step = ChartNextStep(Step);
  return Step;
}

int TCustomChartAxis::LabelsThatFit(int AxisSize, int LabelSize, int Separation) {
  if (Separation > 0) LabelSize += Round(Separation * 0.01 * LabelSize);
  return LabelSize >= 1 ? Round(double(AxisSize) / LabelSize) : 1;
}

double TCustomChartAxis::DateTimeStepFor(int N) const {
  if (N < 1) return OneSecond;
  double Step = std::max(OneSecond, FIncrement);
  if (!std::isfinite(IRange)) return Step;
  if (IRange / Step > 1000000) Step = IRange / 1000000;
  for (int Guard = 0; Guard < 1000; ++Guard) {
    if (Round(IRange / Step) <= N) break;
    Step = Step >= 365 ? Step * 2 : NextDateTimeStep(Step);
  }
  return std::max(OneSecond, Step);
}

double TCustomChartAxis::NumericStepFor(int N) const {
  if (N < 1) return 1e-12;
  double Step = FIncrement > 0 ? FIncrement : (std::fabs(IRange) < 1 ? 1e-12 : 1.0);
  // A range that is not a finite number has no count to fit: keep the start step.
  if (FLabelsSeparation >= 1 && std::isfinite(IRange)) {
    int Count = N + 1;
    // The step at least doubles per pass; the guard only stops a step that overflowed.
    for (int Guard = 0; Count > N && Guard < 4000 && std::isfinite(Step); ++Guard) {
      const double q = IRange / Step;
      if (std::fabs(q) < 2147483647) {
        Count = Round(q);
        if (Count > N) Step = ChartNextStep(Step);
      } else
        Step = ChartNextStep(Step);
    }
  }
  return std::max(1e-12, Step);
}

int TCustomChartAxis::MaxLabelsWidth() {
  if (!FChart) return 0;
  TChartCanvas3D &C = FChart->Canvas();
  const TAxisLabelStyle St = CalcLabelStyle();
  if (St == talMark) return FChart->MaxMarkWidth();
  if (St == talText) return FChart->MaxLabelWidth();
  // Measured without the label event.
  auto Saved = std::move(FChart->OnGetAxisLabel);
  FChart->OnGetAxisLabel = nullptr;
  const double Step = CalcIncrement();
  double A = IMinimum, B = IMaximum;
  if ((FRoundFirstLabel || ExactDateTimeEntry(Step) >= 0) && Step > 0 &&
      std::fabs(B / Step) < 2147483647 && std::fabs(A / Step) < 2147483647) {
    A = std::trunc(A / Step) * Step;
    B = std::trunc(B / Step) * Step;
  }
  FChart->AssignChartFont(LabelsFont);
  int Lines;
  const int W = std::max(MultiLineTextWidth(C, LabelValue(A), Lines),
                         MultiLineTextWidth(C, LabelValue(B), Lines));
  FChart->OnGetAxisLabel = std::move(Saved);
  return W + C.TextWidth(" ");
}

int TCustomChartAxis::SizeTitle() {
  if (FTitleSize != 0) return FTitleSize;
  FChart->AssignChartFont(Title.Font);
  TChartCanvas3D &C = FChart->Canvas();
  const int A = Title.Angle();
  if ((FHorizontal && (A == 0 || A == 180)) || (!FHorizontal && (A == 90 || A == 270)))
    return C.FontHeight();
  return C.TextWidth(Title.Caption());
}

int TCustomChartAxis::SizeLabels() {
  if (FLabelsSize != 0) return FLabelsSize;
  FChart->AssignChartFont(LabelsFont);
  const int A = FLabelsAngle;
  if ((FHorizontal && (A == 0 || A == 180)) || (!FHorizontal && (A == 90 || A == 270)))
    return FChart->Canvas().FontHeight();
  return MaxLabelsWidth();
}

int TCustomChartAxis::SizeTickAxis() const {
  int S = Axis.Visible ? Axis.Width : 0;
  if (Ticks.Visible) S += FTickLength;
  if (MinorTicks.Visible) S = std::max(S, FMinorTickLength);
  return S;
}

TChartDepthAxis::TChartDepthAxis(TCustomAxisPanel *Chart) : TCustomChartAxis(Chart, false, true, true) {
  FVisible = false;
}

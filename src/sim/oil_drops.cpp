#include "sim/oil_drops.h"

#include <chrono>
#include <cstring>
#include <numbers>
#include <random>
#include <utility>

#include "platform/bitmap.h"
#include "platform/numbers.h"

const TRect ViewRect(20, 20, 230, 230);

namespace {

constexpr double Radius = 1.057e-6;
constexpr float ElectronCharge = 1.6e-19f;
constexpr float FieldPerVolt = 100;           // plates 1 cm apart
constexpr float StokesFactor = 3.5863165e-10f; // 6 pi eta a
constexpr float PixelsPerMetre = 20000;       // on the view, for one "x 10" tick

double Weight() { return Radius * Radius * 4 * std::numbers::pi * Radius * 800 * 9.81 / 3; }

uint32_t ClockSeed() {
  return uint32_t(std::chrono::steady_clock::now().time_since_epoch().count());
}

} // namespace

const double DropWeight = Weight();

float DropSpeed(int N, int Voltage) {
  const float Lift = float(N) * ElectronCharge * float(Voltage) * FieldPerVolt;
  return PixelsPerMetre * (float(DropWeight) - Lift) / StokesFactor;
}

TOilDropExpt::TOilDropExpt() : TOilDropExpt(ClockSeed()) {}

TOilDropExpt::TOilDropExpt(uint32_t Seed) { PlaceDrops(Seed); }

void TOilDropExpt::PlaceDrops(uint32_t Seed) {
  std::mt19937 Rng(Seed);
  auto Random = [&](int N) { return std::uniform_int_distribution<int>(0, N - 1)(Rng); };
  for (int I = 0; I < OilDropCount; ++I) {
    TOilDrop &D = Drops[I];
    D.X = Random(30) + (I % 5) * 40 + ViewRect.Left + 5;
    D.Y = Random(30) + (I / 5) * 40 + ViewRect.Top + 5;
    D.YExact = float(D.Y);
    D.Charges = I % 5;
  }
  for (int I = 0; I < OilDropCount; ++I) std::swap(Drops[I].Charges, Drops[Random(OilDropCount)].Charges);
}

void TOilDropExpt::MoveDrops(int Voltage, int SpeedSetting) {
  const float Scale = SpeedSetting == 0 ? 0.1f : SpeedSetting == 2 ? 10.0f : 1.0f;
  for (TOilDrop &D : Drops) {
    D.YExact += DropSpeed(D.Charges, Voltage) * Scale;
    if (D.YExact < ViewRect.Top) D.YExact = float(ViewRect.Bottom);
    else if (D.YExact > ViewRect.Bottom) D.YExact = float(ViewRect.Top);
    D.Y = Round(D.YExact);
  }
}

namespace {

// The view without drops: button face, the dark round field.
const TBitmap &EmptyView() {
  static const TBitmap View = [] {
    TBitmap B(MillikanPicSize, MillikanPicSize);
    TCanvas &C = B.Canvas();
    C.Brush().Color = clBtnFace;
    C.FillRect(TRect(0, 0, MillikanPicSize, MillikanPicSize));
    C.Brush().Color = clBlack;
    C.Pen().Color = clBlack;
    C.Ellipse(ViewRect);
    return B;
  }();
  return View;
}

// The round field row by row, [first, last) column inside the ellipse's region: drops and
// graticule are drawn whole and everything outside is put back, which gives the pixels of
// drawing clipped to the region at a fraction of the cost.
struct TRowSpan {
  int Left = 0, Right = 0;
};
const std::array<TRowSpan, MillikanPicSize> &FieldRows() {
  static const std::array<TRowSpan, MillikanPicSize> Rows = [] {
    std::array<TRowSpan, MillikanPicSize> R{};
    const TRegion Field = TRegion::FromEllipse(ViewRect);
    for (int Y = ViewRect.Top; Y < ViewRect.Bottom; ++Y) {
      int L = ViewRect.Left, Rt = ViewRect.Right;
      while (L < Rt && !Field.Contains(TPoint(L, Y))) ++L;
      while (Rt > L && !Field.Contains(TPoint(Rt - 1, Y))) --Rt;
      R[Y] = {L, Rt};
    }
    return R;
  }();
  return Rows;
}

} // namespace

void TOilDropExpt::DrawMillikanView(TCanvas &Canvas) const {
  const TBitmap &Empty = EmptyView();
  TBitmap B = Empty;
  TCanvas &C = B.Canvas();
  C.Pen().Color = clBlack;
  C.Brush().Color = clYellow;
  C.Brush().Style = bsSolid;
  for (const TOilDrop &D : Drops) C.Ellipse(D.X - 5, D.Y - 5, D.X + 5, D.Y + 5);
  C.Pen().Color = clWhite;
  for (int K = 0; K <= 10; ++K) {
    const int Y = ViewRect.Top + 20 * K, X = ViewRect.Left + 20 * K;
    C.MoveTo(ViewRect.Left, Y);
    C.LineTo(ViewRect.Right, Y);
    C.MoveTo(X, ViewRect.Top);
    C.LineTo(X, ViewRect.Bottom);
  }
  // Only the round field shows the drops and the graticule.
  const auto &Rows = FieldRows();
  for (int Y = 0; Y < MillikanPicSize; ++Y) {
    uint32_t *To = B.ScanLine(Y);
    const uint32_t *From = Empty.ScanLine(Y);
    const TRowSpan R = Rows[Y];
    if (R.Left >= R.Right) {
      std::memcpy(To, From, sizeof(uint32_t) * MillikanPicSize);
      continue;
    }
    std::memcpy(To, From, sizeof(uint32_t) * R.Left);
    std::memcpy(To + R.Right, From + R.Right, sizeof(uint32_t) * (MillikanPicSize - R.Right));
  }
  C.Brush().Style = bsClear;
  C.Pen().Color = clBlack;
  C.Ellipse(ViewRect);
  TRect Edge(0, 0, MillikanPicSize, MillikanPicSize);
  C.DrawEdge(Edge, EDGE_SUNKEN, BF_RECT);
  Canvas.Draw(0, 0, B);
}

bool MillikanClockTick(int &Clock, int TimeScale) {
  Clock += TimeScale == 0 ? 1 : TimeScale == 2 ? 100 : 10;
  return TimeScale != 0 || Clock % 10 == 0;
}

std::string MillikanClockText(int Clock) {
  const int S = Clock / 10;
  return Format("%d : %d", S / 60, S % 60);
}

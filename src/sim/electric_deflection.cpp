#include "sim/electric_deflection.h"

#include <cmath>
#include <cstdlib>

#include "platform/bitmap.h"
#include "platform/numbers.h"

namespace {

constexpr int PictureWidth = 350, PictureHeight = 300;
constexpr TColor PaleYellow = 0x00E0FFFF;

// k of y = k x^2; a plate gap or gun voltage of zero gives a straight beam rather than a
// division by zero.
double Curvature(int GunPD, int PlatePD, int Gap) {
  if (Gap == 0 || GunPD == 0) return 0;
  return PlatePD / (4.0 * Gap * GunPD);
}

void ScaleFont(TCanvas &C) {
  C.Font().Name = "arial";
  C.Font().Height = -MulDiv(8, C.PixelsPerInchY(), 72);
  C.Font().Color = clBlack;
  C.Font().Style = 0;
}

void DrawScale(TCanvas &C) {
  const int X0 = 320, Y0 = 30;
  ScaleFont(C);
  C.Brush().Style = bsClear;
  C.Pen().Color = clBlack;
  C.Pen().Width = 1;
  C.MoveTo(X0, Y0);
  C.LineTo(X0, Y0 + 240);
  for (int I = 0; I <= 60; ++I) {
    const int Y = Y0 + 4 * I;
    C.MoveTo(X0, Y);
    if (I % 5 == 0) {
      C.LineTo(X0 + 10, Y);
      const std::string Label = IntToStr(6 - I / 5);
      C.TextOut(X0 + 12, Y - C.TextHeight(Label) / 2, Label);
    } else {
      C.LineTo(X0 + 3, Y);
    }
  }
}

void DrawPlatesField(TCanvas &C, int PlatePD, const TRect &P) {
  if (PlatePD == 0) return;
  const int Gap = P.Bottom - P.Top;
  const int N = std::abs(PlatePD) * 10;
  int S = 50 - (Gap == 0 ? 0 : Round(double(N) / Gap));
  if (S < 4) S = 4;
  const int CX = (P.Left + P.Right) / 2;
  C.Pen().Color = clRed;
  C.Brush().Style = bsSolid;
  C.Brush().Color = clRed;
  auto FieldLine = [&](int X) {
    C.MoveTo(X, P.Top);
    C.LineTo(X, P.Bottom);
    if (PlatePD < 0) {
      const TPoint Head[3] = {{X, P.Bottom - 1}, {X - 3, P.Bottom - 5}, {X + 3, P.Bottom - 5}};
      C.Polygon(Head);
    } else {
      const TPoint Head[3] = {{X, P.Top + 1}, {X - 3, P.Top + 5}, {X + 3, P.Top + 5}};
      C.Polygon(Head);
    }
  };
  FieldLine(CX);
  for (int O = S; O < 50; O += S) {
    FieldLine(CX + O);
    FieldLine(CX - O);
  }
  TBitmap Plus;
  Plus.LoadFromResource("PLUS");
  if (PlatePD < 1) C.Draw(P.Right + 2, P.Top - 12, Plus);
  else C.Draw(P.Right + 2, P.Bottom + 6, Plus);
}

} // namespace

TPointArray ElectricDeflectionPath(int GunPD, int PlatePD, const TRect &PlateRect) {
  const int L = PlateRect.Left, T = PlateRect.Top, R = PlateRect.Right, B = PlateRect.Bottom;
  const int Mid = (T + B) / 2;
  const double K = Curvature(GunPD, PlatePD, B - T);
  TPointArray Path{{0, Mid}, {L, Mid}};
  double X = 0, Y = 0;
  const int Steps = (R - L) / 5;
  for (int I = 0; I <= Steps; ++I) {
    X = 5 * I;
    Y = X * X * K;
    if (Y > Mid - T || Y < Mid - B) {
      // The beam meets a plate where k x^2 equals the half-gap.
      const double YP = Y > 0 ? Mid - T : Mid - B;
      Path.push_back(Point(L + Round(std::sqrt(std::fabs(YP / K))), Round(Mid + YP)));
      return Path;
    }
    Path.push_back(Point(L + int(X), Round(Mid + Y)));
  }
  if (R - L > X) {
    X = R - L;
    Y = X * X * K;
    Path.push_back(Point(L + int(X), Round(Mid + Y)));
  }
  // Beyond the plates the beam keeps the slope 2 k x it left them with.
  Path.push_back(Point(PictureWidth, Round(Mid + 2 * K * X * (PictureWidth - R) + Y)));
  return Path;
}

TScreenHit ElectricScreenHit(int GunPD, int PlatePD, const TRect &PlateRect) {
  const int Gap = PlateRect.Bottom - PlateRect.Top;
  const double K = -Curvature(GunPD, PlatePD, Gap);
  const double Lp = PlateRect.Right - PlateRect.Left;
  const double Y = Lp * Lp * K;
  TScreenHit H;
  H.Slope = 2 * K * Lp;
  H.Deflection = (H.Slope * (320 - PlateRect.Right) + Y) / 20;
  H.Reaches = std::fabs(Y) <= Gap / 2;
  return H;
}

void DrawElectricDeflection(TCanvas &Canvas, int GunPD, int PlatePD, const TRect &PlateRect) {
  TBitmap Bmp(PictureWidth, PictureHeight);
  TCanvas &C = Bmp.Canvas();
  C.Pen().Color = clBlue;
  C.Polyline(ElectricDeflectionPath(GunPD, PlatePD, PlateRect));
  DrawScale(C);
  DrawPlatesField(C, PlatePD, PlateRect);
  const int L = PlateRect.Left, T = PlateRect.Top, R = PlateRect.Right, B = PlateRect.Bottom;
  C.Pen().Color = clBlack;
  C.Brush().Style = bsSolid;
  C.Brush().Color = clSilver;
  C.Rectangle(L, T - 5, R, T);
  C.Rectangle(L, B, R, B + 5);
  C.Brush().Color = clYellow;
  C.Rectangle(4, 145, 25, 155);
  C.Brush().Style = bsClear;
  ScaleFont(C);
  C.TextOut(4, 160, "electron");
  C.TextOut(4, 170, "gun");
  C.TextOut(L, B + 10, "deflecting plates");
  TRect Edge = Rect(0, 0, PictureWidth, PictureHeight);
  C.DrawEdge(Edge, EDGE_SUNKEN, BF_RECT);
  Canvas.Draw(0, 0, Bmp);
}

void DrawScreenCloseUp(TCanvas &Canvas, int /*X*/, int Y, int GunPD, int PlatePD, const TRect &PlateRect) {
  const int Centre = (ScreenRect.Top + ScreenRect.Bottom) / 2;
  const int N = Round((Centre - Y) / 20.0); // the scale value nearest the click
  const TScreenHit Hit = ElectricScreenHit(GunPD, PlatePD, PlateRect);
  const double U = N - Hit.Deflection;

  TBitmap Bmp(60, 100);
  TCanvas &C = Bmp.Canvas();
  ScaleFont(C);
  C.Pen().Color = clBlack;
  C.Brush().Style = bsSolid;
  C.Brush().Color = clGray;
  C.FillRect(Rect(5, 5, 60, 100)); // the shadow
  C.Brush().Color = PaleYellow;
  C.Rectangle(0, 0, 55, 95);
  C.Brush().Style = bsClear;
  C.MoveTo(10, 0);
  C.LineTo(10, 95);
  // 40 pixels a unit: labels at y = 8, 48 and 88, with n in the middle.
  int Label = N + 1;
  for (int I = 0; I <= 23; ++I) {
    const int YI = 4 * I;
    C.MoveTo(10, YI);
    if ((I - 2) % 10 == 0) {
      C.LineTo(30, YI);
      const std::string S = IntToStr(Label);
      C.TextOut(35, YI - C.TextHeight(S) / 2, S);
      --Label;
    } else if ((I - 2) % 5 != 0) {
      C.LineTo(15, YI);
    } else {
      C.LineTo(20, YI);
    }
  }
  if (Hit.Reaches) {
    C.Pen().Color = clBlue;
    const int YC = Round(40 * U) + 48;
    C.MoveTo(0, YC + Round(10 * Hit.Slope));
    C.LineTo(55, YC - Round(45 * Hit.Slope));
  }
  Canvas.Draw(270, Y - 50, Bmp);
}

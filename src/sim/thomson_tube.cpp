#include "sim/thomson_tube.h"

#include <algorithm>
#include <cmath>

#include "platform/bitmap.h"
#include "platform/numbers.h"
#include "sim/orbit_picture.h"

TThomsonSettings ThomsonSettings(int GunPos, int EFieldPos, int BFieldPos) {
  TThomsonSettings S;
  S.U = GunPos * 10.0;
  S.E = EFieldPos * 5.0 / ThomsonPlateGap;
  S.B = BFieldPos * 1e-6;
  S.V = ThomsonSpeed(S.U);
  return S;
}

double ThomsonSpeed(double U) { return U > 0 ? std::sqrt(ElectronTwoEm * U) : 0.0; }

TBeamPath ComputeBeamPath(const TRect &P, double V, double B, double E) {
  TBeamPath Path;
  const double S = (P.Right - P.Left) / 0.05; // pixels per metre
  const int MidY = (P.Top + P.Bottom) / 2;
  Path.Points.reserve(100);
  Path.Points.push_back(TPoint(P.Left, MidY));
  Path.VX = V;
  if (!(V > 0)) return Path;
  const double Dt = 0.0005 / V;
  double X = 0, Y = 0, VX = V, VY = 0;
  double AX = 0, AY = (B * VX - E) * ElectronEm;
  for (int I = 1; I < 100; ++I) {
    const double X1 = X + VX * Dt + 0.5 * AX * Dt * Dt;
    const double Y1 = Y + VY * Dt + 0.5 * AY * Dt * Dt;
    AX = -ElectronEm * B * VY;
    AY = ElectronEm * (B * VX - E);
    VX += AX * Dt;
    VY += AY * Dt;
    Path.DX = X1 - X;
    Path.DY = Y1 - Y;
    X = X1;
    Y = Y1;
    Path.X = X;
    Path.Y = Y;
    Path.VX = VX;
    Path.VY = VY;
    const TPoint Q = ScreenPoint(Round64(S * X) + P.Left, Round64(S * Y) + MidY);
    if (!PtInRect(P, Q)) {
      Path.MetPlate = Q.X < P.Right;
      break;
    }
    Path.Points.push_back(Q);
  }
  return Path;
}

TPointArray MakeTubeOutline(const TRect &P) {
  TPointArray Outline;
  const int CX = (P.Left + P.Right) / 2, CY = (P.Top + P.Bottom) / 2;
  for (int K = 0; K <= 20; ++K) {
    const double A = 0.06 * K - 0.6;
    Outline.push_back(TPoint(Round(140 * std::cos(A)) + CX, CY - Round(140 * std::sin(A))));
  }
  Outline.push_back(TPoint(P.Right, P.Top));
  Outline.push_back(TPoint(P.Left, P.Top));
  Outline.push_back(TPoint(P.Left, P.Bottom));
  Outline.push_back(TPoint(P.Right, P.Bottom));
  return Outline;
}

void DrawThomsonTube(TCanvas &Canvas, double V, double B, double E) {
  const TRect &P = ThomsonPlates;
  TBitmap Picture(ThomsonPicWidth, ThomsonPicHeight);
  TCanvas &C = Picture.Canvas();
  C.Brush().Color = clWhite;
  C.Rectangle(10, 130, 87, 180); // the neck
  C.Arc(85, 15, 365, 295, 85, 180, 85, 130); // the bulb, open towards the neck
  C.FillRect(TRect(86, 130, 88, 180));
  C.Brush().Color = clSilver;
  C.Rectangle(15, 147, 60, 163); // the gun
  C.Brush().Color = TColor(0xE0FFFF);
  C.FillRect(P);
  C.Pen().Color = clSilver;
  for (int K = 0; K <= 6; ++K) {
    C.MoveTo(P.Left + 25 * K, P.Top);
    C.LineTo(P.Left + 25 * K, P.Bottom);
  }
  for (int K = 0; K <= 4; ++K) {
    C.MoveTo(P.Left, P.Top + 25 * K);
    C.LineTo(P.Right, P.Top + 25 * K);
  }
  if (V > 0) {
    const TBeamPath Path = ComputeBeamPath(P, V, B, E);
    C.Pen().Color = clBlue;
    C.MoveTo(60, 155);
    C.LineTo(Path.Points[0].X, Path.Points[0].Y);
    const TPointArray Outline = MakeTubeOutline(P);
    C.SelectClipRegion(TRegion::FromPolygon(Outline));
    C.Polyline(Path.Points);
    const TPoint Last = Path.Points.back();
    if (!Path.MetPlate && PtInRect(ThomsonWide, Last)) {
      const TPoint End =
          Path.DX != 0
              ? ScreenPoint(int64_t(Last.X) + 150,
                            Last.Y + Round64(std::clamp(150 * Path.DY / Path.DX, -1e6, 1e6)))
                       : TPoint(Last.X + 150, P.Top);
      C.MoveTo(Last.X, Last.Y);
      C.LineTo(End.X, End.Y);
    }
    C.RemoveClip();
  }
  C.Pen().Color = clBlack;
  C.Brush().Color = clSilver;
  C.Rectangle(P.Left, P.Top - 5, P.Right, P.Top);
  C.Rectangle(P.Left, P.Bottom, P.Right, P.Bottom + 5);
  C.Pen().Color = clGray;
  C.Pen().Width = 2;
  C.MoveTo(225, P.Top - 5);
  C.LineTo(225, 5);
  C.MoveTo(225, P.Bottom + 5);
  C.LineTo(225, 300);
  TRect R(0, 0, ThomsonPicWidth, ThomsonPicHeight);
  C.DrawEdge(R, EDGE_SUNKEN, BF_RECT);
  Canvas.Draw(0, 0, Picture);
}

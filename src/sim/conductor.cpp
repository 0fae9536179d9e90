#include "sim/conductor.h"

#include <cmath>
#include <numbers>

#include "platform/bitmap.h"
#include "platform/numbers.h"
#include "sim/shared_constants.h"
#include "sim/three_d.h"

namespace {

constexpr double Pi = std::numbers::pi;
constexpr int CentreX = 150, CentreY = 150; // where the magnet is projected
constexpr TColor Grey = 0x00C0C0C0;
constexpr TColor Yellow = 0x0080FFFF;
constexpr TColor WireColour = clRed;
constexpr TColor FieldColour = 0x00FF0000;
// The faces the wire follows: the inner faces of the two poles.
constexpr int InnerFaceNear = 2, InnerFaceFar = 10;
constexpr int FaceS = 5, FaceN = 13;

TColor BalanceColour() { return NoPalette ? 0x00C0DCC0 : 0x00BFFFBF; }
TColor StandColour() { return NoPalette ? clCream : 0x00E0FFFF; }

TVertexArray BuildBilMagnet() {
  return {{-50, -20, 55}, {-50, -20, 45}, {50, -20, 45},  {50, -20, 55},  {-50, 20, 55},
          {-50, 20, 45},  {50, 20, 45},   {50, 20, 55},   {-50, 50, 55},  {50, 50, 55},
          {-50, 50, -55}, {50, 50, -55},  {-50, 20, -45}, {-50, 20, -55}, {50, 20, -55},
          {50, 20, -45},  {-50, -20, -45}, {-50, -20, -55}, {50, -20, -55}, {50, -20, -45}};
}

struct TBilFace {
  int I[4];
  TColor Fill;
};
const TBilFace BilFaces[15] = {
    {{0, 1, 2, 3}, Grey},     {{0, 4, 5, 1}, Grey},     {{1, 5, 6, 2}, Grey},
    {{3, 2, 6, 7}, Grey},     {{4, 7, 6, 5}, Grey},     {{0, 3, 9, 8}, Yellow},
    {{4, 8, 9, 7}, Yellow},   {{8, 10, 11, 9}, Yellow}, {{16, 12, 13, 17}, Grey},
    {{16, 17, 18, 19}, Grey}, {{16, 19, 15, 12}, Grey}, {{19, 18, 14, 15}, Grey},
    {{12, 15, 14, 13}, Grey}, {{17, 10, 11, 18}, Yellow}, {{13, 14, 11, 10}, Yellow}};

// The bottom face first, then the pole further from the viewer, then the nearer one.
const int OrderNearFront[15] = {7, 5, 6, 0, 1, 2, 3, 4, 14, 8, 9, 10, 11, 12, 13};
const int OrderFarFront[15] = {7, 14, 8, 9, 10, 11, 12, 13, 5, 6, 0, 1, 2, 3, 4};

TVertexArray BilNLetter() {
  return {{-5, 8, -55}, {-5, -8, -55}, {5, 8, -55}, {5, -8, -55}};
}

TVertexArray BilSLetter() {
  const float XY[12][2] = {{4, 6},  {2, 8},  {-1, 8}, {-3, 6}, {-4, 4},  {-3, 2},
                           {3, -2}, {4, -4}, {3, -6}, {1, -8}, {-2, -8}, {-4, -6}};
  TVertexArray V;
  for (const auto &P : XY) V.push_back({P[0], P[1], 55});
  return V;
}

TPointArray ProjectAll(const TVertexArray &V) {
  TPointArray P;
  for (const TVertex &Q : V) P.push_back(ProjectVertex(Q, CentreX, CentreY));
  return P;
}

// Points (px, py) turned by AngleDeg about (X, Y).
TPointArray Turned(std::initializer_list<TPoint> Points, int X, int Y, double AngleDeg) {
  const double A = AngleDeg * Pi / 180, C = std::cos(A), S = std::sin(A);
  TPointArray R;
  for (TPoint P : Points)
    R.push_back({X + Round(P.X * C - P.Y * S), Y + Round(P.X * S + P.Y * C)});
  return R;
}

void CentredText(TCanvas &C, const TRect &R, const std::string &Text) {
  const int W = C.TextWidth(Text), H = C.TextHeight(Text);
  C.TextOut((R.Left + R.Right - W) / 2, (R.Top + R.Bottom - H) / 2, Text);
}

void DrawBalanceAndCircuit(TCanvas &C, int CX, int CY, double Current, double Force,
                           TBilPaint &Report) {
  TVertexArray Pan = {{-125, 60, 125}, {-125, 60, -125}, {125, 60, -125}, {125, 60, 125}};
  const TPointArray P = ProjectAll(Pan);
  C.Brush().Style = bsSolid;
  C.Brush().Color = BalanceColour();
  C.Polygon(P);
  TRect Body(P[1].X, P[1].Y, P[2].X, P[2].Y + 50);
  C.Rectangle(Body);

  TRect Display(Body.Left + 75, Body.Top + 10, Body.Right - 75, Body.Bottom - 10);
  C.Brush().Color = clWhite;
  C.Rectangle(Display);
  Report.Reading = Format("%3.3f", Force);
  C.Font().Name = "arial";
  C.Font().Color = 0x00FF0000;
  C.Font().Height = -Display.Height();
  C.Brush().Style = bsClear;
  CentredText(C, Display, Report.Reading);

  C.Brush().Style = bsSolid;
  C.Brush().Color = StandColour();
  C.Ellipse(CX - 75, CY + 5, CX + 75, CY + 15);
  C.FillRect(TRect(CX - 75, CY, CX + 75, CY + 10));
  C.Ellipse(CX - 75, CY - 5, CX + 75, CY + 5);
  C.MoveTo(CX - 75, CY);
  C.LineTo(CX - 75, CY + 10);
  C.MoveTo(CX + 75, CY);
  C.LineTo(CX + 75, CY + 10);

  C.Rectangle(100, 70, 200, 80);
  C.Brush().Color = clSilver;
  C.Rectangle(0, 72, 100, 78);
  C.Brush().Color = clWhite;
  C.Rectangle(95, 5, 205, 20);

  C.Brush().Color = BalanceColour();
  C.RoundRect(220, 15, 290, 60, 8, 8);
  const TRect Window(230, 25, 280, 50);
  C.Brush().Color = clWhite;
  C.Rectangle(Window);
  Report.Ammeter = Format("%f", Current);
  C.Font().Color = clBlack;
  C.Font().Height = -(Window.Height() - 4);
  C.Brush().Style = bsClear;
  CentredText(C, Window, Report.Ammeter);

  C.Brush().Style = bsSolid;
  const TPoint WireA[] = {{95, 12}, {30, 12}, {30, 50}, {110, 50}, {110, 70}};
  const TPoint WireB[] = {{190, 70}, {190, 50}, {220, 50}};
  C.Polyline(WireA);
  C.Polyline(WireB);
  const int S = Round(20 * Current);
  const TPoint Lead[] = {{220, 30}, {200 - S, 30}, {200 - S, 20}};
  C.Polyline(Lead);
  const TPoint Arrow[] = {{200 - S, 19}, {197 - S, 25}, {203 - S, 25}};
  C.Polygon(Arrow);
  Report.SliderTipX = 200 - S;

  C.Pen().Width = 2;
  C.MoveTo(60, 35);
  C.LineTo(60, 65);
  C.Pen().Width = 1;
  C.Brush().Color = clBlack;
  C.Rectangle(50, 40, 58, 57);
}

void DrawPlanView(TCanvas &C, int X, int Y, int Angle) {
  C.Brush().Style = bsSolid;
  C.Brush().Color = StandColour();
  C.Pen().Color = clBlack;
  C.Ellipse(X - 45, Y - 45, X + 45, Y + 45);
  C.Brush().Color = clSilver;
  const TPointArray PoleN = Turned({{-25, 35}, {25, 35}, {25, 25}, {-25, 25}}, X, Y, -Angle);
  const TPointArray PoleS = Turned({{-25, -35}, {25, -35}, {25, -25}, {-25, -25}}, X, Y, -Angle);
  C.Polygon(PoleN);
  C.Polygon(PoleS);
  C.Pen().Color = WireColour;
  C.Pen().Width = 2;
  C.MoveTo(X - 20, Y);
  C.LineTo(X + 20, Y);
  C.Pen().Width = 1;
  // The field runs from the north pole to the south pole.
  const TPoint From((PoleN[2].X + PoleN[3].X) / 2, (PoleN[2].Y + PoleN[3].Y) / 2);
  const TPoint Tip((PoleS[2].X + PoleS[3].X) / 2, (PoleS[2].Y + PoleS[3].Y) / 2);
  C.Pen().Color = FieldColour;
  C.Brush().Color = FieldColour;
  C.MoveTo(From.X, From.Y);
  C.LineTo(Tip.X, Tip.Y);
  C.Polygon(Turned({{0, 0}, {-4, 8}, {4, 8}}, Tip.X, Tip.Y, -Angle));
  C.Pen().Color = clBlack;
  C.Brush().Style = bsClear;
  C.Font().Name = "arial";
  C.Font().Color = clBlack;
  C.Font().SetSize(8);
  C.TextOut(150, 310, "plan view");
  C.Brush().Style = bsSolid;
}

void DrawBilMagnet(TCanvas &C, const TVertexArray &V, const TVertexArray &N,
                   const TVertexArray &S, const int *Order, TBilPaint &Report) {
  C.Pen().Color = clBlack;
  C.Brush().Style = bsSolid;
  for (int K = 0; K < 15; ++K) {
    const int F = Order[K];
    const TBilFace &Face = BilFaces[F];
    const TVertex &P0 = V[Face.I[0]], &P1 = V[Face.I[1]], &P2 = V[Face.I[2]];
    if (!FaceVisible(P1, P2, P0)) continue;
    TPointArray Poly;
    for (int I : Face.I) Poly.push_back(ProjectVertex(V[I], CentreX, CentreY));
    C.Brush().Color = Face.Fill;
    C.Polygon(Poly);
    if (F == InnerFaceNear || F == InnerFaceFar) {
      const TPoint Wire[] = {{110, 80}, {110, 150}, {190, 150}, {190, 80}};
      C.Pen().Color = WireColour;
      C.Pen().Width = 2;
      C.Polyline(Wire);
      C.Pen().Color = clBlack;
      C.Pen().Width = 1;
      Report.WireDrawn = true;
    } else if (F == FaceS || F == FaceN) {
      C.Pen().Width = 2;
      C.Polyline(ProjectAll(F == FaceS ? S : N));
      C.Pen().Width = 1;
    }
  }
}

} // namespace

double BilForce(int AngleDeg, double Current) {
  return std::sin((90 - AngleDeg) * Pi / 180) * (0.0065 * Current);
}

TBilPaint DrawBil(TCanvas &Canvas, int Tilt, int Angle, double Current) {
  TMatrix A, B, M;
  RotationMatrix(Tilt, 1, A);
  RotationMatrix(Angle, 2, B);
  MatrixProduct(A, B, M);
  TVertexArray V = BuildBilMagnet(), N = BilNLetter(), S = BilSLetter();
  for (TVertexArray *Arr : {&V, &N, &S})
    for (TVertex &P : *Arr) P = TransformVertex(P, M);

  TBitmap Bmp(300, 400);
  TCanvas &C = Bmp.Canvas();
  TBilPaint Report;
  DrawBalanceAndCircuit(C, 150, 200, Current, BilForce(Angle, Current), Report);
  DrawPlanView(C, 75, 340, Angle);
  Report.FarPoleFirst = Angle < -90 || Angle > 90;
  DrawBilMagnet(C, V, N, S, Report.FarPoleFirst ? OrderFarFront : OrderNearFront, Report);

  TRect Top(0, 0, 300, 280);
  C.DrawEdge(Top, EDGE_SUNKEN, BF_RECT);
  C.Brush().Style = bsSolid;
  C.Brush().Color = clBtnFace;
  C.FillRect(TRect(0, 280, 300, 285));
  TRect Bottom(0, 285, 300, 400);
  C.DrawEdge(Bottom, EDGE_SUNKEN, BF_RECT);
  Canvas.Draw(0, 0, Bmp);
  return Report;
}

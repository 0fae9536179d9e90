#include "sim/alpha_scattering.h"

#include <cmath>
#include <numbers>

#include "platform/bitmap.h"
#include "platform/numbers.h"

namespace {

constexpr TColor PaleYellow = 0x0080FFFF;
constexpr int SourceX = 300;  // the track is joined to the source here
constexpr int OutgoingX = 320; // the straight outgoing part ends here
constexpr int ScaleX = 330;    // left edge of the scale panel

// The source picture is loaded once; a missing resource leaves the place empty rather
// than failing every repaint.
const TBitmap *SourcePicture() {
  static TBitmap Picture;
  static bool Tried = false;
  if (!Tried) {
    Tried = true;
    try {
      Picture.LoadFromResource("ALPHA");
    } catch (const Exception &) {
      Picture = TBitmap();
    }
  }
  return Picture.Empty() ? nullptr : &Picture;
}

void DrawScalePanel(TCanvas &C, int B, int A) {
  C.Font().Name = "arial";
  C.Font().Height = 12;
  C.Pen().Color = clBlack;
  C.Brush().Color = clWhite;
  C.Brush().Style = bsSolid;
  C.FillRect(TRect(ScaleX, 25, 366, 275));
  C.Brush().Color = PaleYellow;
  C.Rectangle(ScaleX, 25, 341, 276);
  C.Brush().Style = bsClear;
  const int Half = C.TextHeight("0") / 2;
  for (int I = 0; I <= 12; ++I) {
    const bool Major = I % 5 == 0;
    for (int Y : {AlphaAxisY - 10 * I, AlphaAxisY + 10 * I}) {
      C.MoveTo(ScaleX, Y);
      C.LineTo(Major ? 340 : 335, Y);
      if (Major) C.TextOut(342, Y - Half, Format("%d", 5 * I));
    }
  }
  if (const TBitmap *Source = SourcePicture()) {
    const int S = A >= 11 ? B + B / 50 : B;
    C.Draw(302, S + 141, *Source);
  }
}

} // namespace

int AlphaScale(int Energy) { return Energy > 0 ? Round(125.0 / Energy) : 0; }

double ScatteringAngle(int B, int A) {
  if (A == 0) return 0;
  return 180.0 - std::fabs(std::atan(double(B) / A) * 360.0 / std::numbers::pi);
}

TPointArray AlphaTrack(int B, int A) {
  TPointArray P;
  if (A <= 0) return P;
  P.resize(AlphaTrackPoints);
  P[30] = TPoint(A, 0);
  double U = 1;
  for (int K = 1; K <= 30; ++K) {
    U += K / 30.0;
    const int X = Round(A * U), Y = Round(std::sqrt(U * U - 1) * B);
    P[30 + K] = TPoint(X, Y);
    P[30 - K] = TPoint(X, -Y);
  }
  // Vertex to the origin, turned by phi, then placed beside the nucleus.
  const double Phi = std::atan(double(B) / A), C = std::cos(Phi), S = std::sin(Phi);
  const int OX = 2 * A + AlphaNucleusX;
  const int OY = AlphaAxisY + Round(A * S) + B - B / 25;
  for (TPoint &Q : P) {
    const double DX = Q.X - A, DY = Q.Y;
    Q = TPoint(Round(C * DX - S * DY) + OX, Round(S * DX + C * DY) + OY);
  }
  return P;
}

void DrawAlphaScattering(TCanvas &Canvas, int B, int A) {
  TBitmap Bmp(AlphaPictureWidth, AlphaPictureHeight);
  TCanvas &C = Bmp.Canvas();
  // A white brush fills the gaps of the dotted pen, so the circle and axis stay crisp.
  C.Brush().Color = clWhite;
  C.Brush().Style = bsSolid;
  C.Pen().Color = clBlack;
  C.Pen().Style = psDot;
  C.Ellipse(AlphaNucleusX - 2 * A, AlphaAxisY - 2 * A, AlphaNucleusX + 2 * A, AlphaAxisY + 2 * A);
  C.MoveTo(0, AlphaAxisY);
  C.LineTo(330, AlphaAxisY);
  C.Pen().Style = psSolid;
  C.Brush().Color = clYellow;
  C.Ellipse(70, 145, 80, 155);

  const TPointArray Track = AlphaTrack(B, A);
  if (!Track.empty()) {
    C.Pen().Color = clRed;
    C.Polyline(Track);
    const TPoint First = Track.front(), L = Track.back();
    if (First.X < SourceX) {
      C.MoveTo(First.X, First.Y);
      C.LineTo(SourceX, First.Y);
    }
    if (L.X > AlphaNucleusX && L.X < OutgoingX && L.Y >= 1 && L.Y < AlphaPictureHeight) {
      // On along the line from the nucleus through the last point.
      C.MoveTo(L.X, L.Y);
      C.LineTo(OutgoingX, AlphaAxisY - MulDiv(OutgoingX - AlphaNucleusX, AlphaAxisY - L.Y,
                                              std::abs(L.X - AlphaNucleusX)));
    }
  }

  DrawScalePanel(C, B, A);
  TRect R(0, 0, AlphaPictureWidth, AlphaPictureHeight);
  C.DrawEdge(R, EDGE_SUNKEN, BF_RECT);
  Canvas.Draw(0, 0, Bmp);
}

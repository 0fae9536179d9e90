#include "charts/chart_canvas.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "charts/chart_panel.h"
#include "platform/numbers.h"

// ---- view options ---------------------------------------------------------------

void TView3DOptions::Repaint() {
  if (FParent) FParent->Invalidate();
}

void TView3DOptions::SetHorizOffset(int V) {
  if (FHorizOffset == V) return;
  FHorizOffset = V;
  Repaint();
  if (OnScrolled) OnScrolled(true);
}

void TView3DOptions::SetVertOffset(int V) {
  if (FVertOffset == V) return;
  FVertOffset = V;
  Repaint();
  if (OnScrolled) OnScrolled(false);
}

void TView3DOptions::SetZoom(int V) {
  if (FZoom == V) return;
  if (OnChangedZoom) OnChangedZoom(V);
  FZoom = V;
  Repaint();
}

void TView3DOptions::Assign(const TView3DOptions &S) {
  SetElevation(S.FElevation);
  SetHorizOffset(S.FHorizOffset);
  SetOrthogonal(S.FOrthogonal);
  SetPerspective(S.FPerspective);
  SetRotation(S.FRotation);
  SetTilt(S.FTilt);
  SetVertOffset(S.FVertOffset);
  SetZoom(S.FZoom);
  SetZoomText(S.FZoomText);
}

// ---- free routines ----------------------------------------------------------------

void ChartSinCos(double Angle, double &Sin, double &Cos) {
  Sin = std::sin(Angle);
  Cos = std::cos(Angle);
}

double ChartArcTan2(double Y, double X) { return std::atan2(Y, X); }

void RectSize(const TRect &R, int &W, int &H) {
  W = R.Right - R.Left;
  H = R.Bottom - R.Top;
}

void RectCenter(const TRect &R, int &X, int &Y) {
  X = (R.Left + R.Right) / 2;
  Y = (R.Top + R.Bottom) / 2;
}

TColor ApplyDark(TColor Color, int Quantity) {
  const TColor C = ColorToRGB(Color);
  auto Dark = [Quantity](int V) { return V > Quantity ? V - Quantity : 0; };
  return RGB(Dark(GetRValue(C)), Dark(GetGValue(C)), Dark(GetBValue(C)));
}

bool ClipLineToSquare(double &X0, double &Y0, double &X1, double &Y1, double Half) {
  // Liang-Barsky: the segment is X0 + t dx, Y0 + t dy for t in 0..1; each side of the
  // square cuts off a range of t.
  const double dx = X1 - X0, dy = Y1 - Y0;
  double T0 = 0, T1 = 1;
  auto Cut = [&](double p, double q) {
    if (p == 0) return q >= 0;
    const double r = q / p;
    if (p < 0) {
      if (r > T1) return false;
      T0 = std::max(T0, r);
    } else {
      if (r < T0) return false;
      T1 = std::min(T1, r);
    }
    return true;
  };
  if (!(Cut(-dx, X0 + Half) && Cut(dx, Half - X0) && Cut(-dy, Y0 + Half) && Cut(dy, Half - Y0)))
    return false;
  // Each cut point is measured from the nearer end, and lies on the square's side up to
  // rounding: it is kept there.
  auto At = [&](double t, double &X, double &Y) {
    if (t <= 0.5) {
      X = X0 + t * dx;
      Y = Y0 + t * dy;
    } else {
      X = X1 - (1 - t) * dx;
      Y = Y1 - (1 - t) * dy;
    }
    X = std::clamp(X, -Half, Half);
    Y = std::clamp(Y, -Half, Half);
  };
  double AX, AY, BX, BY;
  At(T0, AX, AY);
  At(T1, BX, BY);
  X0 = AX, Y0 = AY, X1 = BX, Y1 = BY;
  return true;
}

void ChartResetCanvas(TCanvas &Canvas) {
  Canvas.Pen() = TPen{clBlack, 1, psSolid, pmCopy};
  Canvas.Brush() = TBrush{clWhite, bsSolid};
  Canvas.Font().Color = clBlack;
  Canvas.Font().SetSize(10);
  Canvas.SetBkColor(clWhite);
  Canvas.SetBkMode(bkTransparent);
}

// ---- canvas ----------------------------------------------------------------------

TChartCanvas3D::TChartCanvas3D(TCustomChartPanel *Panel) : FPanel(Panel) {}
TChartCanvas3D::~TChartCanvas3D() = default;

void TChartCanvas3D::AssignVisiblePen(const TChartPen &APen) {
  TPen P = APen;
  if (!APen.Visible) P.Style = psClear;
  else if (APen.SmallDots && APen.Width <= 1) P.Style = psAlternate;
  FRef->Pen() = P;
}

void TChartCanvas3D::AssignBrush(const TBrush &B) { FRef->Brush() = B; }

void TChartCanvas3D::SetMonochrome(bool Value) {
  if (FMonochrome == Value) return;
  FMonochrome = Value;
  FBitmap.reset();
  FDirtyBits = true;
  if (FPanel) FPanel->Invalidate();
}

void TChartCanvas3D::SetBufferedDisplay(bool Value) {
  FBufferedDisplay = Value;
  if (!Value) {
    FBitmap.reset();
    FDirtyBits = true;
  }
}

void TChartCanvas3D::Frame3D(TRect R, TColor TopColor, int Width, TColor BottomColor) {
  TPen &P = FRef->Pen();
  P.Width = 1;
  P.Style = psSolid;
  --R.Right;
  --R.Bottom;
  for (int i = 0; i < Width; ++i) {
    P.Color = TopColor;
    const TPoint Top[3] = {{R.Left, R.Bottom}, {R.Left, R.Top}, {R.Right, R.Top}};
    FRef->Polyline(Top);
    P.Color = BottomColor;
    const TPoint Bot[3] = {{R.Right, R.Top}, {R.Right, R.Bottom}, {R.Left - 1, R.Bottom}};
    FRef->Polyline(Bot);
    InflateRect(R, -1, -1);
  }
}

void TChartCanvas3D::GradientFill(const TRect &R, TColor StartColor, TColor EndColor,
                                  TGradientDirection Direction) {
  FillGradientBands(R, StartColor, EndColor,
                    Direction == TGradientDirection::gdLeftRight ||
                        Direction == TGradientDirection::gdRightLeft,
                    false);
}

void TChartCanvas3D::GradientFillFromLeft(const TRect &R, TColor StartColor, TColor EndColor) {
  FillGradientBands(R, StartColor, EndColor, true, true);
}

// Vertical strips or horizontal ones; band 0, in the start colour, at the right
// edge (or the left, FromLeft), or at the bottom edge.
void TChartCanvas3D::FillGradientBands(const TRect &R, TColor StartColor, TColor EndColor,
                                       bool Vertical, bool FromLeft) {
  const int Span = Vertical ? R.Right - R.Left : R.Bottom - R.Top;
  if (Span <= 0) return;
  const int N = std::min(Span, 256);
  const TColor S = ColorToRGB(StartColor), E = ColorToRGB(EndColor);
  const int dR = GetRValue(E) - GetRValue(S), dG = GetGValue(E) - GetGValue(S),
            dB = GetBValue(E) - GetBValue(S);
  const TBrush Old = FRef->Brush();
  TColor Last = clNone;
  for (int i = 0; i < N; ++i) {
    // One band has no second colour to move towards: it takes the start colour.
    TColor C = S;
    if (N > 1)
      C = RGB(GetRValue(S) + MulDiv(i, dR, N - 1), GetGValue(S) + MulDiv(i, dG, N - 1),
              GetBValue(S) + MulDiv(i, dB, N - 1));
    if (C != Last) {
      FRef->Brush() = TBrush{C, bsSolid};
      Last = C;
    }
    const int A = MulDiv(i, Span, N), B = MulDiv(i + 1, Span, N);
    if (Vertical && FromLeft) FRef->FillRect(TRect(R.Left + A, R.Top, R.Left + B, R.Bottom));
    else if (Vertical) FRef->FillRect(TRect(R.Right - B, R.Top, R.Right - A, R.Bottom));
    else
      FRef->FillRect(TRect(R.Left, R.Bottom - B, R.Right, R.Bottom - A));
  }
  FRef->Brush() = Old;
}

void TChartCanvas3D::TextOut(int X, int Y, const std::string &Text) {
  const int W = FRef->TextWidth(Text), H = FRef->TextHeight(Text);
  double ox = 0, oy = 0;
  if ((FTextAlign & TA_CENTER) == TA_CENTER) ox = -W / 2;
  else if (FTextAlign & TA_RIGHT) ox = -W;
  if ((FTextAlign & TA_BASELINE) == TA_BASELINE) oy = -FRef->TextMetrics().tmAscent;
  else if (FTextAlign & TA_BOTTOM) oy = -H;
  // Text turned counter-clockwise by the font's escapement: its own x axis runs along
  // (cos a, -sin a) on the screen, its y axis along (sin a, cos a).
  const double a = FRef->Font().Orientation / 10.0 * M_PI / 180;
  const double c = std::cos(a), s = std::sin(a);
  const unsigned Saved = FRef->TextAlign();
  FRef->SetTextAlign(TA_LEFT | TA_TOP);
  FRef->TextOut(X + Round(ox * c + oy * s), Y + Round(-ox * s + oy * c), Text);
  FRef->SetTextAlign(Saved);
}

void TChartCanvas3D::RotateLabel(int X, int Y, const std::string &Text, int Angle) {
  if (Angle >= 361) Angle -= 360;
  const TFont Old = FRef->Font();
  FRef->Brush().Style = bsClear;
  TFont &F = FRef->Font();
  F.Orientation = Angle * 10;
  if (ZoomText && FZoomFactor != 1.0)
    F.Height = -MulDiv(std::max(1, Round(Old.Size() * FZoomFactor)), F.PixelsPerInch, 72);
  TextOut(X, Y, Text);
  FRef->Font() = Old;
}

void TChartCanvas3D::Calc3DPos(int &X, int &Y, int Z) const {
  if (FIsOrthogonal) {
    X = Round((X - XCenter + Z) * FZoomFactor) + XCenterOffset;
    Y = Round((Y - YCenter - Z) * FZoomFactor) + YCenterOffset;
  } else if (FIs3D) {
    const double x = X - XCenter, y = Y - YCenter, z = Z - ZCenter;
    double s = FZoomFactor;
    if (FPerspectiveFactor > 0)
      s = (1 - (x * FcEsA - y * FsE + z * c3) * FPerspectiveFactor) * FZoomFactor;
    X = Round((x * c4 + y * c1 + z * c6) * s) + XCenterOffset;
    Y = Round((x * c5 + y * c2 + z * c7) * s) + YCenterOffset;
  }
}

TPoint TChartCanvas3D::Calculate3DPosition(int X, int Y, int Z) const {
  Calc3DPos(X, Y, Z);
  return {X, Y};
}

void TChartCanvas3D::Calculate2DPosition(int &X, int &Y, int Z) const {
  if (FZoomFactor == 0) return;
  const double k = 1.0 / FZoomFactor;
  if (FIsOrthogonal) {
    X = Round((X - XCenterOffset) * k) - Z + XCenter;
    Y = Round((Y - YCenterOffset) * k) + Z + YCenter;
  } else if (FIs3D && c4 != 0 && c2 != 0) {
    const double z = Z - ZCenter;
    const int X0 = X, Y0 = Y;
    X = Round(((X0 - XCenterOffset) * k - z * c6 - (Y0 - YCenter) * c1) / c4) + XCenter;
    Y = Round(((Y0 - YCenterOffset) * k - z * c7 - (X0 - XCenter) * c5) / c2) + YCenter;
  }
}

TRect TChartCanvas3D::InitWindow(TCanvas &DestCanvas, TView3DOptions *Options, TColor,
                                 bool Is3D, const TRect &UserRect) {
  Bounds = UserRect;
  View3DOptions = Options;
  FIs3D = Is3D;
  FIsOrthogonal = false;
  FZoomFactor = 1.0;
  if (FIs3D && Options) {
    FIsOrthogonal = Options->Orthogonal();
    FZoomFactor = 0.01 * Options->Zoom();
    ZoomText = Options->ZoomText();
    if (!FIsOrthogonal) {
      const double k = M_PI / 180;
      double sA, cA, sE, cE, sT, cT;
      ChartSinCos(Options->Rotation() * k, sA, cA);
      ChartSinCos(Options->Elevation() * k, sE, cE);
      ChartSinCos(Options->Tilt() * k, sT, cT);
      FPerspectiveFactor = 0;
      FsE = sE;
      FcEsA = cE * sA;
      c1 = cE * sT;
      c2 = std::max(cE * cT, 1e-5);
      c3 = cA * cE;
      c4 = std::max(sA * sE * sT + cA * cT, 1e-5);
      c5 = cT * sA * sE - cA * sT;
      c6 = cA * sE * sT - cT * sA;
      c7 = cA * cT * sE + sA * sT;
    }
  }
  if (FBufferedDisplay) {
    const int W = std::max(1, UserRect.Width()), H = std::max(1, UserRect.Height());
    if (FBitmap && (FBitmap->Width() != W || FBitmap->Height() != H)) FBitmap.reset();
    if (!FBitmap) {
      FBitmap = std::make_unique<TBitmap>(W, H);
      if (FMonochrome) FBitmap->SetMonochrome(true);
      FDirtyBits = true;
    }
    FRef = &FBitmap->Canvas();
    return TRect(0, 0, W, H);
  }
  FRef = &DestCanvas;
  return UserRect;
}

void TChartCanvas3D::Projection(int MaxDepth, const TRect &R) {
  RectCenter(R, XCenter, YCenter);
  ZCenter = MaxDepth / 2;
  XCenterOffset = XCenter;
  YCenterOffset = YCenter;
  if (View3DOptions) {
    XCenterOffset += View3DOptions->HorizOffset();
    YCenterOffset += View3DOptions->VertOffset();
    if (View3DOptions->Perspective() > 0)
      FPerspectiveFactor = View3DOptions->Perspective() / 35000.0;
  }
}

void TChartCanvas3D::ShowImage(TCanvas &DestCanvas, TCanvas *DefaultCanvas,
                               const TRect &UserRect) {
  if (FBufferedDisplay && FBitmap) {
    DestCanvas.BitBlt(UserRect.Left, UserRect.Top, FBitmap->Width(), FBitmap->Height(),
                      *FBitmap, 0, 0, cmSrcCopy);
    FDirtyBits = false;
  }
  FRef = DefaultCanvas;
}

bool TChartCanvas3D::ReDrawBitmap() { return FBufferedDisplay && FBitmap && !FDirtyBits; }

void TChartCanvas3D::PlotPixel3D(int X, int Y, int Z, TColor Color) {
  Calc3DPos(X, Y, Z);
  if (FRef->Pen().Width > 1) {
    FRef->MoveTo(X, Y);
    FRef->LineTo(X, Y);
  } else
    FRef->SetPixels(X, Y, Color);
}

void TChartCanvas3D::Arrow(bool Filled, TPoint From, TPoint To, int ArrowWidth,
                           int ArrowHeight, int Z) {
  const double dx = To.X - From.X, dy = To.Y - From.Y;
  const double L = std::hypot(dx, dy);
  if (L < 1) return;
  const double ux = dx / L, uy = dy / L;
  const double h = std::min<double>(ArrowHeight, L), w = ArrowWidth * 0.5;
  const double bx = To.X - ux * h, by = To.Y - uy * h;
  TPoint P[3] = {To, {Round(bx - uy * w), Round(by + ux * w)}, {Round(bx + uy * w), Round(by - ux * w)}};
  LineWithZ(From.X, From.Y, Round(bx), Round(by), Z);
  for (TPoint &Q : P) Q = Calc3DPoint(Q, Z);
  if (Filled)
    FRef->Polygon(P);
  else {
    const TPoint L3[4] = {P[1], P[0], P[2], P[1]};
    FRef->Polyline(L3);
  }
}

void TChartCanvas3D::ClipCube(const TRect &R, int MinZ, int MaxZ) {
  if (!FIs3D) {
    ClipRectangle(TRect(R.Left + 1, R.Top + 1, R.Right, R.Bottom - 1));
    return;
  }
  const TPoint P[6] = {Calc3DPoint({R.Left, R.Bottom}, MinZ), Calc3DPoint({R.Left, R.Top}, MinZ),
                       Calc3DPoint({R.Left, R.Top}, MaxZ),    Calc3DPoint({R.Right, R.Top}, MaxZ),
                       Calc3DPoint({R.Right, R.Bottom}, MaxZ), Calc3DPoint({R.Right, R.Bottom}, MinZ)};
  FRef->SelectClipRegion(TRegion::FromPolygon(P));
}

void TChartCanvas3D::DarkenFace(TColor Base, bool Solid, int Quantity) {
  const TColor C = ApplyDark(Base, Quantity);
  if (Solid)
    FRef->Brush().Color = C;
  else
    FRef->SetBkColor(C);
}

void TChartCanvas3D::Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1,
                          bool DarkSides) {
  const TBrush OldBrush = FRef->Brush();
  const bool Solid = OldBrush.Style == bsSolid;
  const TColor Base = Solid ? OldBrush.Color : FRef->BkColor();
  auto P = [this](int X, int Y, int Z) { return Calc3DPoint({X, Y}, Z); };
  const TPoint Front[4] = {P(Left, Top, Z0), P(Right, Top, Z0), P(Right, Bottom, Z0),
                           P(Left, Bottom, Z0)};
  FRef->Polygon(Front);
  // The side that turns towards the viewer: its far edge projects further out.
  const bool RightSide = P(Right, Top, Z1).X > P(Right, Top, Z0).X;
  const int SX = RightSide ? Right : Left;
  if (DarkSides) DarkenFace(Base, Solid, 128);
  const TPoint Side[4] = {P(SX, Top, Z0), P(SX, Top, Z1), P(SX, Bottom, Z1), P(SX, Bottom, Z0)};
  FRef->Polygon(Side);
  if (P(Left, Top, Z1).Y < P(Left, Top, Z0).Y) {
    FRef->Brush() = OldBrush;
    if (DarkSides) DarkenFace(Base, Solid, 64);
    const TPoint Cover[4] = {P(Left, Top, Z0), P(Left, Top, Z1), P(Right, Top, Z1),
                             P(Right, Top, Z0)};
    FRef->Polygon(Cover);
  }
  FRef->Brush() = OldBrush;
}

void TChartCanvas3D::Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0,
                              int Z1, bool DarkCover) {
  // An elliptic body: 16 points per end at steps of 22.5 degrees.
  const TBrush OldBrush = FRef->Brush();
  const double cx = (Left + Right) * 0.5, cy = (Top + Bottom) * 0.5;
  const double rx = (Right - Left) * 0.5, rz = (Z1 - Z0) * 0.5, zc = (Z0 + Z1) * 0.5;
  const double ry = (Bottom - Top) * 0.5;
  TPoint A[16], B[16];
  for (int i = 0; i < 16; ++i) {
    double s, c;
    ChartSinCos(i * M_PI / 8, s, c);
    if (Vertical) {
      A[i] = Calc3DPoint({Round(cx + c * rx), Top}, Round(zc + s * rz));
      B[i] = Calc3DPoint({Round(cx + c * rx), Bottom}, Round(zc + s * rz));
    } else {
      A[i] = Calc3DPoint({Left, Round(cy + c * ry)}, Round(zc + s * rz));
      B[i] = Calc3DPoint({Right, Round(cy + c * ry)}, Round(zc + s * rz));
    }
  }
  for (int i = 0; i < 16; ++i) {
    const int j = (i + 1) % 16;
    const TPoint Q[4] = {A[i], A[j], B[j], B[i]};
    FRef->Polygon(Q);
  }
  if (DarkCover) DarkenFace(OldBrush.Color, OldBrush.Style == bsSolid, 64);
  FRef->Polygon(A);
  FRef->Brush() = OldBrush;
}

void TChartCanvas3D::HorizLine3D(int Left, int Right, int Y, int Z) {
  MoveTo3D(Left, Y, Z);
  const TPoint P = Calc3DPoint({Right, Y}, Z);
  FRef->LineTo(P.X, P.Y);
}

void TChartCanvas3D::VertLine3D(int X, int Top, int Bottom, int Z) {
  MoveTo3D(X, Top, Z);
  const TPoint P = Calc3DPoint({X, Bottom}, Z);
  FRef->LineTo(P.X, P.Y);
}

void TChartCanvas3D::ZLine3D(int X, int Y, int Z0, int Z1) {
  MoveTo3D(X, Y, Z0);
  const TPoint P = Calc3DPoint({X, Y}, Z1);
  FRef->LineTo(P.X, P.Y);
}

void TChartCanvas3D::EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) {
  if (FIsOrthogonal) {
    const TPoint A = Calc3DPoint({X1, Y1}, Z), B = Calc3DPoint({X2, Y2}, Z);
    FRef->Ellipse(A.X, A.Y, B.X, B.Y);
  } else if (FIs3D) {
    const double cx = (X1 + X2) * 0.5, cy = (Y1 + Y2) * 0.5, a = (X2 - X1) * 0.5,
                 b = (Y2 - Y1) * 0.5;
    TPoint P[32];
    for (int i = 0; i < 32; ++i) {
      double s, c;
      ChartSinCos(i * M_PI / 10 + M_PI / 2, s, c);
      P[i] = Calc3DPoint({Round(cx + c * a), Round(cy + s * b)}, Z);
    }
    const TPoint C = Calc3DPoint({Round(cx), Round(cy)}, Z);
    if (FRef->Brush().Style != bsClear) {
      const TPen Old = FRef->Pen();
      FRef->Pen().Style = psClear;
      for (int i = 0; i < 31; ++i) {
        const TPoint T[3] = {C, P[i], P[i + 1]};
        FRef->Polygon(T);
      }
      FRef->Pen() = Old;
    }
    if (FRef->Pen().Style != psClear) FRef->Polyline(P);
  } else
    FRef->Ellipse(X1, Y1, X2 + 1, Y2 + 1);
}

void TChartCanvas3D::LineWithZ(int X0, int Y0, int X1, int Y1, int Z) {
  MoveTo3D(X0, Y0, Z);
  const TPoint P = Calc3DPoint({X1, Y1}, Z);
  FRef->LineTo(P.X, P.Y);
}

void TChartCanvas3D::MoveTo3D(int X, int Y, int Z) {
  Calc3DPos(X, Y, Z);
  FRef->MoveTo(X, Y);
}

void TChartCanvas3D::LineTo3D(int X, int Y, int Z) {
  Calc3DPos(X, Y, Z);
  FRef->LineTo(X, Y);
}

namespace {
// Twice the signed area of a projected polygon: its sign tells which way it faces.
long long SignedArea(std::span<const TPoint> P) {
  long long A = 0;
  for (size_t i = 0; i < P.size(); ++i) {
    const TPoint &U = P[i], &V = P[(i + 1) % P.size()];
    A += (long long)U.X * V.Y - (long long)V.X * U.Y;
  }
  return A;
}
} // namespace

void TChartCanvas3D::Pie3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1,
                           double StartAngle, double EndAngle, bool DarkSides,
                           int DonutPercent) {
  if (EndAngle < StartAngle) std::swap(StartAngle, EndAngle);
  const int Steps = std::clamp(int(std::ceil((EndAngle - StartAngle) / (M_PI / 32))), 1, 64);
  const double Inner = std::clamp(DonutPercent, 0, 100) * 0.01;
  // Every face is listed with its outward side facing the viewer when its projected
  // winding matches that of the front face (at Z0).
  auto Rim = [&](double A, double F, int Z) {
    double S, C;
    ChartSinCos(A, S, C);
    return Calc3DPoint({XCenter + Round(C * XRadius * F), YCenter - Round(S * YRadius * F)}, Z);
  };
  std::vector<TPoint> Front, Back;
  for (int i = 0; i <= Steps; ++i) Front.push_back(Rim(StartAngle + (EndAngle - StartAngle) * i / Steps, 1, Z0));
  if (Inner > 0)
    for (int i = Steps; i >= 0; --i) Front.push_back(Rim(StartAngle + (EndAngle - StartAngle) * i / Steps, Inner, Z0));
  else
    Front.insert(Front.begin(), Calc3DPoint({XCenter, YCenter}, Z0));
  const long long FrontSign = SignedArea(Front);
  if (FrontSign == 0) return;
  auto Visible = [FrontSign](std::span<const TPoint> P) {
    const long long A = SignedArea(P);
    return A != 0 && (A > 0) == (FrontSign > 0);
  };
  const TBrush OldBrush = FRef->Brush();
  const bool Solid = OldBrush.Style == bsSolid;
  const TColor Base = Solid ? OldBrush.Color : FRef->BkColor();
  if (DarkSides) DarkenFace(Base, Solid, 128);
  for (int i = 0; i < Steps; ++i) {
    const double A0 = StartAngle + (EndAngle - StartAngle) * i / Steps;
    const double A1 = StartAngle + (EndAngle - StartAngle) * (i + 1) / Steps;
    const TPoint Q[4] = {Rim(A0, 1, Z0), Rim(A0, 1, Z1), Rim(A1, 1, Z1), Rim(A1, 1, Z0)};
    if (Visible(Q)) FRef->Polygon(Q);
    if (Inner > 0) {
      const TPoint H[4] = {Rim(A1, Inner, Z0), Rim(A1, Inner, Z1), Rim(A0, Inner, Z1), Rim(A0, Inner, Z0)};
      if (Visible(H)) FRef->Polygon(H);
    }
  }
  const TPoint CS0 = Inner > 0 ? Rim(StartAngle, Inner, Z0) : Calc3DPoint({XCenter, YCenter}, Z0);
  const TPoint CS1 = Inner > 0 ? Rim(StartAngle, Inner, Z1) : Calc3DPoint({XCenter, YCenter}, Z1);
  const TPoint CE0 = Inner > 0 ? Rim(EndAngle, Inner, Z0) : CS0;
  const TPoint CE1 = Inner > 0 ? Rim(EndAngle, Inner, Z1) : CS1;
  const TPoint SSide[4] = {CS0, CS1, Rim(StartAngle, 1, Z1), Rim(StartAngle, 1, Z0)};
  if (Visible(SSide)) FRef->Polygon(SSide);
  const TPoint ESide[4] = {Rim(EndAngle, 1, Z0), Rim(EndAngle, 1, Z1), CE1, CE0};
  if (Visible(ESide)) FRef->Polygon(ESide);
  FRef->Brush() = OldBrush;
  FRef->Polygon(Front);
}

void TChartCanvas3D::Plane3D(TPoint A, TPoint B, int Z0, int Z1) {
  const TPoint P[4] = {Calc3DPoint(A, Z0), Calc3DPoint(B, Z0), Calc3DPoint(B, Z1),
                       Calc3DPoint(A, Z1)};
  FRef->Polygon(P);
}

void TChartCanvas3D::PlaneWithZ(TPoint P1, TPoint P2, TPoint P3, TPoint P4, int Z) {
  const TPoint P[4] = {Calc3DPoint(P1, Z), Calc3DPoint(P2, Z), Calc3DPoint(P3, Z),
                       Calc3DPoint(P4, Z)};
  FRef->Polygon(P);
}

void TChartCanvas3D::PlaneFour3D(const TPoint Points[4], int Z0, int Z1) {
  const TPoint P[4] = {Calc3DPoint(Points[0], Z0), Calc3DPoint(Points[1], Z0),
                       Calc3DPoint(Points[2], Z1), Calc3DPoint(Points[3], Z1)};
  FRef->Polygon(P);
}

void TChartCanvas3D::Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0,
                             int Z1, bool DarkSides) {
  const TBrush OldBrush = FRef->Brush();
  const int Zm = (Z0 + Z1) / 2;
  TPoint Apex, Base[4];
  if (Vertical) {
    Apex = Calc3DPoint({(Left + Right) / 2, Top}, Zm);
    Base[0] = Calc3DPoint({Left, Bottom}, Z0);
    Base[1] = Calc3DPoint({Right, Bottom}, Z0);
    Base[2] = Calc3DPoint({Right, Bottom}, Z1);
    Base[3] = Calc3DPoint({Left, Bottom}, Z1);
  } else {
    Apex = Calc3DPoint({Right, (Top + Bottom) / 2}, Zm);
    Base[0] = Calc3DPoint({Left, Top}, Z0);
    Base[1] = Calc3DPoint({Left, Bottom}, Z0);
    Base[2] = Calc3DPoint({Left, Bottom}, Z1);
    Base[3] = Calc3DPoint({Left, Top}, Z1);
  }
  const TPoint Front[3] = {Base[0], Base[1], Apex};
  FRef->Polygon(Front);
  if (DarkSides) DarkenFace(OldBrush.Color, OldBrush.Style == bsSolid, 128);
  const TPoint Side[3] = {Base[1], Base[2], Apex};
  FRef->Polygon(Side);
  FRef->Brush() = OldBrush;
}

void TChartCanvas3D::RectangleWithZ(const TRect &R, int Z) {
  const TPoint P[4] = {Calc3DPoint({R.Left, R.Top}, Z), Calc3DPoint({R.Right, R.Top}, Z),
                       Calc3DPoint({R.Right, R.Bottom}, Z), Calc3DPoint({R.Left, R.Bottom}, Z)};
  FRef->Polygon(P);
}

void TChartCanvas3D::RectangleY(int Left, int Top, int Right, int Z0, int Z1) {
  const TPoint P[4] = {Calc3DPoint({Left, Top}, Z0), Calc3DPoint({Right, Top}, Z0),
                       Calc3DPoint({Right, Top}, Z1), Calc3DPoint({Left, Top}, Z1)};
  FRef->Polygon(P);
}

void TChartCanvas3D::RectangleZ(int Left, int Top, int Bottom, int Z0, int Z1) {
  const TPoint P[4] = {Calc3DPoint({Left, Top}, Z0), Calc3DPoint({Left, Top}, Z1),
                       Calc3DPoint({Left, Bottom}, Z1), Calc3DPoint({Left, Bottom}, Z0)};
  FRef->Polygon(P);
}

void TChartCanvas3D::TextOut3D(int X, int Y, int Z, const std::string &Text) {
  Calc3DPos(X, Y, Z);
  if (ZoomText && FZoomFactor != 1.0) {
    const TFont Old = FRef->Font();
    const int Size = std::max(1, Round(Old.Size() * FZoomFactor));
    if (Size != Old.Size()) FRef->Font().SetSize(Size);
    TextOut(X, Y, Text);
    FRef->Font() = Old;
  } else
    TextOut(X, Y, Text);
}

void TChartCanvas3D::RotateLabel3D(int X, int Y, int Z, const std::string &Text, int Angle) {
  Calc3DPos(X, Y, Z);
  RotateLabel(X, Y, Text, Angle);
}

void TChartCanvas3D::TriangleWithZ(TPoint P1, TPoint P2, TPoint P3, int Z) {
  const TPoint P[3] = {Calc3DPoint(P1, Z), Calc3DPoint(P2, Z), Calc3DPoint(P3, Z)};
  FRef->Polygon(P);
}

int ChartGetTextWidth(const std::string &Text, TChartCanvas3D &Canvas) {
  return Text.empty() ? 0 : Canvas.TextWidth(Text);
}

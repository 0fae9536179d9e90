#pragma once
// The drawing canvas of a chart panel: wraps a TCanvas (the reference canvas), keeps an
// optional off-screen buffer, and projects chart pixels plus a depth to the screen (flat,
// oblique or rotated with perspective).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "charts/chart_pen.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

class TCustomChartPanel;

enum class TGradientDirection {
  gdTopBottom, gdBottomTop, gdLeftRight, gdRightLeft, gdFromCenter, gdFromTopLeft,
  gdFromBottomLeft
};

class TView3DOptions {
public:
  explicit TView3DOptions(TCustomChartPanel *Parent = nullptr) : FParent(Parent) {}
  int Elevation() const { return FElevation; }
  int HorizOffset() const { return FHorizOffset; }
  bool Orthogonal() const { return FOrthogonal; }
  int Perspective() const { return FPerspective; }
  int Rotation() const { return FRotation; }
  int Tilt() const { return FTilt; }
  int VertOffset() const { return FVertOffset; }
  int Zoom() const { return FZoom; }
  bool ZoomText() const { return FZoomText; }
  void SetElevation(int V) { Set(FElevation, V); }
  void SetHorizOffset(int V);
  void SetOrthogonal(bool V) { Set(FOrthogonal, V); }
  void SetPerspective(int V) { Set(FPerspective, V); }
  void SetRotation(int V) { Set(FRotation, V); }
  void SetTilt(int V) { Set(FTilt, V); }
  void SetVertOffset(int V);
  void SetZoom(int V);
  void SetZoomText(bool V) { Set(FZoomText, V); }
  // All nine settings, through their setters (the events stay ours).
  void Assign(const TView3DOptions &Source);
  std::function<void(bool Horizontal)> OnScrolled;
  std::function<void(int NewZoom)> OnChangedZoom;

private:
  template <class T> void Set(T &F, T V) {
    if (F == V) return;
    F = V;
    Repaint();
  }
  void Repaint();
  TCustomChartPanel *FParent;
  int FElevation = 345, FHorizOffset = 0;
  bool FOrthogonal = true;
  int FPerspective = 15, FRotation = 345, FTilt = 0, FVertOffset = 0, FZoom = 100;
  bool FZoomText = true;
};

// Free routines of the canvas.
void ChartSinCos(double Angle, double &Sin, double &Cos);
double ChartArcTan2(double Y, double X);
void RectSize(const TRect &R, int &W, int &H);
void RectCenter(const TRect &R, int &X, int &Y);
// Every RGB channel lowered by Quantity, 0 when it is not larger.
TColor ApplyDark(TColor Color, int Quantity);
inline double MaxDouble(double A, double B) { return A > B ? A : B; }
inline int MaxLong(int A, int B) { return A > B ? A : B; }
inline int MinLong(int A, int B) { return A < B ? A : B; }
inline void SwapInteger(int &A, int &B) { std::swap(A, B); }
inline void SwapDouble(double &A, double &B) { std::swap(A, B); }
inline void SwapLongint(int32_t &A, int32_t &B) { std::swap(A, B); }
// Cuts the segment (X0, Y0)-(X1, Y1) to the square -Half..Half on both axes, along its own
// line; False when no part of it lies inside.
bool ClipLineToSquare(double &X0, double &Y0, double &X1, double &Y1, double Half);
// Pen black 1 solid, brush white solid, font black 10 point, background white transparent.
void ChartResetCanvas(TCanvas &Canvas);

class TChartCanvas3D {
public:
  explicit TChartCanvas3D(TCustomChartPanel *Panel = nullptr);
  TChartCanvas3D(const TChartCanvas3D &) = delete;
  TChartCanvas3D &operator=(const TChartCanvas3D &) = delete;
  ~TChartCanvas3D();

  void SetReferenceCanvas(TCanvas *Canvas) { FRef = Canvas; }
  TCanvas *ReferenceCanvas() const { return FRef; }
  TPen &Pen() { return FRef->Pen(); }
  TBrush &Brush() { return FRef->Brush(); }
  TFont &Font() { return FRef->Font(); }
  // An invisible pen becomes psClear; any other is taken as it is.
  void AssignVisiblePen(const TChartPen &Pen);
  void AssignBrush(const TBrush &Brush);

  bool Metafiling = false;
  TView3DOptions *View3DOptions = nullptr;
  bool IsOrthogonal() const { return FIsOrthogonal; }
  bool Is3D() const { return FIs3D; }
  bool ZoomText = true;
  double ZoomFactor() const { return FZoomFactor; }
  double PerspectiveFactor() const { return FPerspectiveFactor; }
  int XCenter = 0, YCenter = 0, ZCenter = 0, XCenterOffset = 0, YCenterOffset = 0;
  TRect Bounds;

  TColor GetBackColor() const { return FRef->BkColor(); }
  TBkMode GetBackMode() const { return FRef->BkMode(); }
  bool Monochrome() const { return FMonochrome; }
  void SetMonochrome(bool Value);
  bool BufferedDisplay() const { return FBufferedDisplay; }
  void SetBufferedDisplay(bool Value);
  bool DirtyBits() const { return FDirtyBits; }
  TBitmap *Bitmap() const { return FBitmap.get(); }
  void SetBackColor(TColor C) { FRef->SetBkColor(C); }
  void SetBackMode(TBkMode M) { FRef->SetBkMode(M); }
  // The reference point of the chart's texts. The canvas applies it itself, in the frame
  // of the (possibly rotated) text, and hands the device a top-left corner.
  void SetTextAlign(unsigned A) { FTextAlign = A; }
  unsigned GetTextAlign() const { return FTextAlign; }
  void SetPixel(int X, int Y, TColor C) { FRef->SetPixels(X, Y, C); }

  // Plain 2-D operations on the reference canvas.
  void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    FRef->Arc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  }
  void Draw(int X, int Y, const TBitmap &G) { FRef->Draw(X, Y, G); }
  void Ellipse(int X1, int Y1, int X2, int Y2) { FRef->Ellipse(X1, Y1, X2, Y2); }
  void FillRect(const TRect &R) { FRef->FillRect(R); }
  void Frame3D(TRect R, TColor TopColor, int Width, TColor BottomColor);
  void LineTo(int X, int Y) { FRef->LineTo(X, Y); }
  void MoveTo(int X, int Y) { FRef->MoveTo(X, Y); }
  void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    FRef->Pie(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  }
  void Rectangle(int X1, int Y1, int X2, int Y2) { FRef->Rectangle(X1, Y1, X2, Y2); }
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    FRef->RoundRect(X1, Y1, X2, Y2, X3, Y3);
  }
  void StretchDraw(const TRect &R, const TBitmap &G) { FRef->StretchDraw(R, G); }
  void TextOut(int X, int Y, const std::string &Text);
  int TextWidth(const std::string &Text) { return FRef->TextWidth(Text); }
  int TextHeight(const std::string &Text) { return FRef->TextHeight(Text); }
  // The font height used for lines of labels and titles.
  int FontHeight() { return FRef->TextHeight("W"); }
  void ClipRectangle(const TRect &R) { FRef->SelectClipRect(R); }
  void DoHorizLine(int X0, int X1, int Y) { MoveTo(X0, Y); LineTo(X1, Y); }
  void RectangleRect(const TRect &R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  void DoVertLine(int X, int Y0, int Y1) { MoveTo(X, Y0); LineTo(X, Y1); }
  void EraseBackground(const TRect &R) { FillRect(R); }
  void GradientFill(const TRect &R, TColor StartColor, TColor EndColor,
                    TGradientDirection Direction);
  // The horizontal bands of GradientFill with the start colour at the left edge, not the
  // right: what a horizontal bar needs for the vertical bar's gradient turned a quarter turn.
  void GradientFillFromLeft(const TRect &R, TColor StartColor, TColor EndColor);
  void Invalidate() { FDirtyBits = true; }
  void Line(int X0, int Y0, int X1, int Y1) { MoveTo(X0, Y0); LineTo(X1, Y1); }
  void Polygon(const TPoint *Points, int LastIndex) {
    FRef->Polygon(std::span<const TPoint>(Points, size_t(LastIndex + 1)));
  }
  void RotateLabel(int X, int Y, const std::string &Text, int Angle);
  void UnClipRectangle() { FRef->RemoveClip(); }

  // Projected operations.
  void PlotPixel3D(int X, int Y, int Z, TColor Color);
  void Calculate2DPosition(int &X, int &Y, int Z) const;
  TPoint Calculate3DPosition(int X, int Y, int Z) const;
  void Calc3DPos(int &X, int &Y, int Z) const;
  TPoint Calc3DPoint(TPoint P, int Z) const {
    Calc3DPos(P.X, P.Y, Z);
    return P;
  }
  TRect InitWindow(TCanvas &DestCanvas, TView3DOptions *Options, TColor BackColor, bool Is3D,
                   const TRect &UserRect);
  void Projection(int MaxDepth, const TRect &Bounds);
  void ShowImage(TCanvas &DestCanvas, TCanvas *DefaultCanvas, const TRect &UserRect);
  bool ReDrawBitmap();
  void Arrow(bool Filled, TPoint FromPoint, TPoint ToPoint, int ArrowWidth, int ArrowHeight,
             int Z);
  void ClipCube(const TRect &R, int MinZ, int MaxZ);
  void Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides);
  void Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                bool DarkCover);
  void HorizLine3D(int Left, int Right, int Y, int Z);
  void VertLine3D(int X, int Top, int Bottom, int Z);
  void ZLine3D(int X, int Y, int Z0, int Z1);
  void EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z);
  void Disable3D() {
    FSavedIs3D = FIs3D;
    FIs3D = false;
  }
  void Enable3D() { FIs3D = FSavedIs3D; }
  void LineWithZ(int X0, int Y0, int X1, int Y1, int Z);
  void MoveTo3D(int X, int Y, int Z);
  void LineTo3D(int X, int Y, int Z);
  // A pie slice with depth: angles in radians counter-clockwise from the right, a donut
  // hole of DonutPercent of the radii; the faces turned away from the viewer are left out.
  void Pie3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1,
             double StartAngle, double EndAngle, bool DarkSides, int DonutPercent = 0);
  void Plane3D(TPoint A, TPoint B, int Z0, int Z1);
  void PlaneWithZ(TPoint P1, TPoint P2, TPoint P3, TPoint P4, int Z);
  void PlaneFour3D(const TPoint Points[4], int Z0, int Z1);
  void Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
               bool DarkSides);
  void RectangleWithZ(const TRect &R, int Z);
  void RectangleY(int Left, int Top, int Right, int Z0, int Z1);
  void RectangleZ(int Left, int Top, int Bottom, int Z0, int Z1);
  void TextOut3D(int X, int Y, int Z, const std::string &Text);
  void RotateLabel3D(int X, int Y, int Z, const std::string &Text, int Angle);
  void TriangleWithZ(TPoint P1, TPoint P2, TPoint P3, int Z);
  // Whether text is drawn in depth (never, for this canvas).
  bool SupportsFullRotation() const { return false; }
  bool SupportsText3D() const { return false; }

private:
  void FillGradientBands(const TRect &R, TColor StartColor, TColor EndColor, bool Vertical,
                         bool FromLeft);
  // The darkened face colour goes into the brush (solid) or the background colour.
  void DarkenFace(TColor Base, bool Solid, int Quantity);
  TCustomChartPanel *FPanel;
  TCanvas *FRef = nullptr;
  unsigned FTextAlign = 0;
  std::unique_ptr<TBitmap> FBitmap;
  bool FIsOrthogonal = false, FIs3D = false, FSavedIs3D = false;
  bool FBufferedDisplay = true, FMonochrome = false, FDirtyBits = true;
  double FZoomFactor = 1.0, FPerspectiveFactor = 0;
  double FsE = 0, FcEsA = 0, c1 = 0, c2 = 1, c3 = 0, c4 = 1, c5 = 0, c6 = 0, c7 = 0;
};

// The width of Text in the canvas's current font.
int ChartGetTextWidth(const std::string &Text, TChartCanvas3D &Canvas);

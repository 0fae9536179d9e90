#include "charts/chart_panel.h"

#include <cmath>

#include "platform/clipboard.h"
#include "platform/metafile.h"
#include "platform/printer.h"
#include "platform/system_locale.h"

void LoadChartCursors() {
  // The hot spot is the fingertip.
  Screen->SetCustomCursor(crChartHand, "charts/CHART_CURSOR_HAND.png", 14, 6);
}

bool ClipWhenPrinting = true, ClipWhenMetafiling = true, ChartEraseBack = false,
     PrintBackground = false;

// ---- free routines ----------------------------------------------------------------

TColor GetDefaultColor(int Index) {
  static const TColor Palette[16] = {clRed,     clGreen, clYellow, clBlue,   clWhite, clGray,
                                     clFuchsia, clTeal,  clNavy,   clMaroon, clLime,  clOlive,
                                     clPurple,  clSilver, clAqua,  clBlack};
  return Palette[((Index % 16) + 16) % 16];
}

namespace {
// A Japanese system's own font has the glyphs that Arial lacks; elsewhere none is given.
TSystemFont LocaleChartFont() {
  return SysLocalePriLangID() == LANG_JAPANESE ? SystemDefaultFont() : TSystemFont{};
}
} // namespace

std::string ChartDefaultFontName() {
  const TSystemFont F = LocaleChartFont();
  return F.Name.empty() ? "Arial" : F.Name;
}

int ChartDefaultFontSize() {
  const TSystemFont F = LocaleChartFont();
  return F.Size > 0 ? F.Size : 8;
}

TFont CreateDefaultChartFont() {
  TFont F;
  F.Name = ChartDefaultFontName();
  F.SetSize(ChartDefaultFontSize());
  F.Color = clBlack;
  F.Style = 0;
  return F;
}

bool IsDefaultChartFont(const TFont &F) {
  return F.Size() == ChartDefaultFontSize() && F.Name == ChartDefaultFontName() &&
         F.Color == clBlack && F.Style == 0 && F.Charset == DEFAULT_CHARSET;
}

void ChartCheckAngle(int Angle, const std::string &Name) {
  if (Angle < 0 || Angle > 359)
    throw ChartException(Format("%s Angle must be between 0 and 359 degrees", Name));
}

int MultiLineTextWidth(TChartCanvas3D &Canvas, const std::string &Text, int &NumLines) {
  NumLines = 0;
  int W = 0;
  size_t Start = 0;
  while (true) {
    const size_t P = Text.find(ChartLineSeparator, Start);
    const std::string Line = Text.substr(Start, P == std::string::npos ? std::string::npos : P - Start);
    W = std::max(W, ChartGetTextWidth(Line, Canvas));
    ++NumLines;
    if (P == std::string::npos) break;
    Start = P + 1;
  }
  return W;
}

bool PointInLineTolerance(TPoint P, TPoint P0, TPoint P1, int Tolerance) {
  const int dx = P1.X - P0.X, dy = P1.Y - P0.Y;
  // A segment of zero length (a series may hold a point twice): the distance to the point.
  if (dx == 0 && dy == 0) return std::hypot(double(P.X - P0.X), double(P.Y - P0.Y)) <= Tolerance;
  if (std::abs(dx) > std::abs(dy)) {
    const double y = P0.Y + double(dy) * (P.X - P0.X) / dx;
    if (std::fabs(P.Y - y) > Tolerance) return false;
  } else {
    const double x = P0.X + double(dx) * (P.Y - P0.Y) / dy;
    if (std::fabs(P.X - x) > Tolerance) return false;
  }
  return P.X >= std::min(P0.X, P1.X) - Tolerance && P.X <= std::max(P0.X, P1.X) + Tolerance &&
         P.Y >= std::min(P0.Y, P1.Y) - Tolerance && P.Y <= std::max(P0.Y, P1.Y) + Tolerance;
}

bool PointInPolygon(TPoint P, std::span<const TPoint> Pts) {
  bool In = false;
  const size_t N = Pts.size();
  for (size_t i = 0, j = N - 1; i < N; j = i++) {
    const TPoint &A = Pts[i], &B = Pts[j];
    if (((A.Y <= P.Y && P.Y < B.Y) || (B.Y <= P.Y && P.Y < A.Y)) &&
        P.X < double(B.X - A.X) * (P.Y - A.Y) / double(B.Y - A.Y) + A.X)
      In = !In;
  }
  return In;
}

bool PointInTriangle(TPoint P, int X0, int X1, int Y0, int Y1) {
  const TPoint T[3] = {{X0, Y0}, {(X0 + X1) / 2, Y1}, {X1, Y0}};
  return PointInPolygon(P, T);
}

bool PointInHorizTriangle(TPoint P, int Y0, int Y1, int X0, int X1) {
  const TPoint T[3] = {{X0, Y0}, {X1, (Y0 + Y1) / 2}, {X0, Y1}};
  return PointInPolygon(P, T);
}

bool PointInEllipse(TPoint P, const TRect &R) {
  const double a = (R.Right - R.Left) / 2.0, b = (R.Bottom - R.Top) / 2.0;
  if (a == 0 || b == 0) return false;
  const int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2;
  const double x = P.X - cx, y = P.Y - cy;
  return x * x / (a * a) + y * y / (b * b) <= 1;
}

void ChartReplaceChar(std::string &S, char C) {
  for (char &Ch : S)
    if (Ch == C) Ch = ChartLineSeparator;
}

// ---- gradient and font object -----------------------------------------------------

template <class T> void TChartGradient::Set(T &F, T V) {
  if (F == V) return;
  F = V;
  if (FOwner) FOwner->Invalidate();
}

void TChartGradient::Assign(const TChartGradient &S) {
  SetDirection(S.FDirection);
  SetEndColor(S.FEndColor);
  SetStartColor(S.FStartColor);
  SetVisible(S.FVisible);
}

TChartFontObject::TChartFontObject(TCustomChartPanel *Owner)
    : Font(CreateDefaultChartFont(),
           [Owner] {
             if (Owner) Owner->Invalidate();
           }),
      FOwner(Owner) {}

// ---- panel ---------------------------------------------------------------------------

TCustomChartPanel::TCustomChartPanel()
    : View3DOptions(this), FCanvas(std::make_unique<TChartCanvas3D>(this)) {
  FCanvas->SetReferenceCanvas(&FNullCanvas);
  CanRepaint = true;
}

TCustomChartPanel::~TCustomChartPanel() = default;

void TCustomChartPanel::SetBounds(int W, int H) {
  W = std::max(0, W);
  H = std::max(0, H);
  if (W == FWidth && H == FHeight) return;
  FWidth = W;
  FHeight = H;
  // The buffer holds a picture of the old size: it must be drawn again.
  FCanvas->Invalidate();
  Invalidate();
}

void TCustomChartPanel::Paint() {
  FPaintPending = false;
  if (Printing || !FWindowCanvas) return;
  Draw(*FWindowCanvas, GetClientRect());
}

void TCustomChartPanel::Invalidate() {
  if (!CanRepaint) return;
  FCanvas->Invalidate();
  RepaintPanel();
}

void TCustomChartPanel::RepaintPanel() {
  if (FPaintPending) return;
  FPaintPending = true;
  ++FPaintRequests;
  if (OnRequestPaint) OnRequestPaint();
}

void TCustomChartPanel::Repaint() {
  FCanvas->Invalidate();
  Paint();
  if (OnFlush) OnFlush();
}

void TCustomChartPanel::SetCursor(int C) {
  if (FCursor == C) return;
  FCursor = C;
  if (OnCursorChange) OnCursorChange(C);
}

void TCustomChartPanel::MouseLeave() { SetCursor(SavedCursor); }

void TCustomChartPanel::Draw(TCanvas &UserCanvas, const TRect &UserRect) {
  // Whatever lands on the window covers a zoom rectangle in part or whole: it goes first
  // and comes back on top of the new picture.
  const bool OnWindow = &UserCanvas == FWindowCanvas;
  if (OnWindow) HideZoomRectangle(false);
  struct TRestoreZoom {
    TCustomChartPanel *P;
    bool On;
    ~TRestoreZoom() {
      if (On) P->DrawZoomRectangle(false);
    }
  } RestoreZoom{this, OnWindow};
  ChartBounds = FCanvas->InitWindow(UserCanvas, &View3DOptions, FColor, FView3D, UserRect);
  if (FCanvas->ReDrawBitmap()) {
    FCanvas->ShowImage(UserCanvas, FWindowCanvas ? FWindowCanvas : &FNullCanvas, UserRect);
    return;
  }
  const int W = ChartBounds.Width(), H = ChartBounds.Height(), B = FBorderWidth;
  ChartRect = TRect(ChartBounds.Left + B + MulDiv(FMargins.Left, W, 100),
                    ChartBounds.Top + B + MulDiv(FMargins.Top, H, 100),
                    ChartBounds.Right - B - MulDiv(FMargins.Right, W, 100),
                    ChartBounds.Bottom - B - MulDiv(FMargins.Bottom, H, 100));
  RecalcWidthHeight();
  ++FDrawCount;
  InternalDraw(ChartBounds);
  FCanvas->ShowImage(UserCanvas, FWindowCanvas ? FWindowCanvas : &FNullCanvas, UserRect);
}

void TCustomChartPanel::RecalcWidthHeight() {
  ChartRect.Left = std::max(ChartRect.Left, ChartBounds.Left);
  ChartRect.Top = std::max(ChartRect.Top, ChartBounds.Top);
  // An inverted rectangle becomes one pixel wide; an empty one takes the control's size.
  if (ChartRect.Left > ChartRect.Right) ChartRect.Right = ChartRect.Left + 1;
  else if (ChartRect.Left == ChartRect.Right) ChartRect.Right = ChartRect.Left + Width();
  if (ChartRect.Top > ChartRect.Bottom) ChartRect.Bottom = ChartRect.Top + 1;
  else if (ChartRect.Top == ChartRect.Bottom) ChartRect.Bottom = ChartRect.Top + Height();
  ChartWidth = ChartRect.Right - ChartRect.Left;
  ChartHeight = ChartRect.Bottom - ChartRect.Top;
  ChartXCenter = (ChartRect.Left + ChartRect.Right) / 2;
  ChartYCenter = (ChartRect.Top + ChartRect.Bottom) / 2;
}

void TCustomChartPanel::DrawPanelBevels(TRect R) {
  TChartCanvas3D &C = *FCanvas;
  auto Bevel = [&](TPanelBevel B) {
    if (B == bvNone) return;
    const TColor Top = B == bvLowered ? clBtnShadow : clBtnHighlight;
    const TColor Bottom = B == bvRaised ? clBtnShadow : clBtnHighlight;
    C.Frame3D(R, Top, FBevelWidth, Bottom);
    InflateRect(R, -FBevelWidth, -FBevelWidth);
  };
  Bevel(FBevelOuter);
  if (FBorderWidth > 0) {
    C.Frame3D(R, FColor, FBorderWidth, FColor);
    InflateRect(R, -FBorderWidth, -FBorderWidth);
  }
  Bevel(FBevelInner);
}

void TCustomChartPanel::AssignChartFont(const TFont &AFont) {
  TFont F = AFont;
  F.PixelsPerInch = FCanvas->Font().PixelsPerInch;
  FCanvas->Font() = F;
}

void TCustomChartPanel::XorZoomRectangle(const TRect &R) {
  TCanvas *C = FWindowCanvas;
  TColor PC = ColorToRGB(FColor);
  if (PC == clWhite) PC = clBlack;
  const TPen OldPen = C->Pen();
  const TBrush OldBrush = C->Brush();
  C->Pen() = TPen{PC, 1, psSolid, pmNotXor};
  C->Brush().Style = bsClear;
  C->Rectangle(R.Left, R.Top, R.Right, R.Bottom);
  C->Pen() = OldPen;
  C->Brush() = OldBrush;
}

void TCustomChartPanel::DrawZoomRectangle(bool Flush) {
  if (!FWindowCanvas || !Zoom.Active) return;
  const TRect R(Zoom.X0, Zoom.Y0, Zoom.X1, Zoom.Y1);
  if (FZoomShown && FZoomShownRect == R) return;
  if (FZoomShown) XorZoomRectangle(FZoomShownRect);
  XorZoomRectangle(R);
  FZoomShown = true;
  FZoomShownRect = R;
  if (Flush && OnFlush) OnFlush();
}

void TCustomChartPanel::HideZoomRectangle(bool Flush) {
  if (!FZoomShown) return;
  FZoomShown = false;
  if (!FWindowCanvas) return;
  XorZoomRectangle(FZoomShownRect);
  if (Flush && OnFlush) OnFlush();
}

void TCustomChartPanel::CheckPenWidth(TPen &APen) const {
  if (Printing && APen.Style != psSolid && APen.Width == 1) APen.Width = 0;
}

bool TCustomChartPanel::CanClip() const {
  if (Printing) return ClipWhenPrinting;
  if (FCanvas->Metafiling) return ClipWhenMetafiling;
  return true;
}

int TCustomChartPanel::GetMargin(int Index) const {
  switch (Index) {
  case 0: return FMargins.Left;
  case 1: return FMargins.Top;
  case 2: return FMargins.Right;
  default: return FMargins.Bottom;
  }
}

void TCustomChartPanel::SetMargin(int Index, int Value) {
  int &F = Index == 0 ? FMargins.Left : Index == 1 ? FMargins.Top : Index == 2 ? FMargins.Right
                                                                                : FMargins.Bottom;
  SetIntProperty(F, Value);
}

void TCustomChartPanel::Assign(const TCustomChartPanel &S) {
  PrintProportional = S.PrintProportional;
  SetPrintResolution(S.FPrintResolution);
  for (int i = 0; i < 4; ++i) SetMargin(i, S.GetMargin(i));
  SetBufferedDisplay(S.BufferedDisplay());
  SetMonochrome(S.Monochrome());
  SetView3D(S.FView3D);
  View3DOptions.Assign(S.View3DOptions);
  SetChart3DPercent(S.FChart3DPercent);
  SetColor(S.FColor);
}

void TCustomChartPanel::SetChart3DPercent(int Value) {
  if (Value < 1 || Value > 100)
    throw ChartException(Format("3D effect percent must be between %d and %d", 1, 100));
  SetIntProperty(FChart3DPercent, Value);
}

void TCustomChartPanel::DrawToMetaCanvas(TCanvas &ACanvas, const TRect &R) {
  FCanvas->Metafiling = true;
  const bool Saved = BufferedDisplay();
  SetBufferedDisplay(false);
  struct Restore {
    TCustomChartPanel *P;
    bool B;
    ~Restore() {
      P->SetBufferedDisplay(B);
      P->FCanvas->Metafiling = false;
      // Drawing went elsewhere: the screen's buffer must be drawn again.
      P->FCanvas->Invalidate();
      P->FCanvas->SetReferenceCanvas(P->FWindowCanvas ? P->FWindowCanvas : &P->FNullCanvas);
    }
  } Guard{this, Saved};
  Draw(ACanvas, R);
}

std::unique_ptr<TMetafile> TCustomChartPanel::ChartCreateMetafile(bool, const TRect &R) {
  auto M = std::make_unique<TMetafile>();
  M->SetSize(std::max(1, R.Right - R.Left - 1), std::max(1, R.Bottom - R.Top - 1));
  {
    TMetafileCanvas MC(*M);
    DrawToMetaCanvas(MC, R);
  }
  return M;
}

void TCustomChartPanel::CopyToClipboardMetafile(bool Enhanced) {
  const TRect R = GetPanelRect();
  std::unique_ptr<TMetafile> M = ChartCreateMetafile(Enhanced, R);
  Clipboard().Assign(*M);
}

void TCustomChartPanel::PrintPartialCanvas(TCanvas &ACanvas, const TRect &PrinterRect) {
  TRect R = PrinterRect;
  if (R.Left > R.Right) SwapLongint(R.Left, R.Right);
  if (R.Top > R.Bottom) SwapLongint(R.Top, R.Bottom);
  if (R.Right == R.Left || R.Bottom == R.Top) return; // nothing to print into
  const TRect Panel = GetPanelRect();
  const int W = Panel.Width(), H = Panel.Height();
  // The chart is laid out as if it were LW by LH screen pixels and stretched onto the page
  // rectangle: a larger print resolution makes lines and texts relatively larger.
  const int LW = std::max(1, W - MulDiv(W, FPrintResolution, 100));
  const int LH = std::max(1, H - MulDiv(H, FPrintResolution, 100));
  TMetafile M;
  M.SetSize(LW, LH);
  Printing = true;
  struct Restore {
    bool &P;
    ~Restore() { P = false; }
  } Guard{Printing};
  {
    TMetafileCanvas MC(M);
    DrawToMetaCanvas(MC, TRect(0, 0, LW, LH));
  }
  if (CanClip()) ACanvas.SelectClipRect(R);
  M.Play(ACanvas, R);
  ACanvas.RemoveClip();
}

void TCustomChartPanel::PrintPartial(const TRect &PrinterRect) {
  PrintPartialCanvas(Printer().Canvas(), PrinterRect);
}

// ---- extended panel -----------------------------------------------------------------

TCustomChartPanelExtended::TCustomChartPanelExtended() : Gradient(this) {}

void TCustomChartPanelExtended::FillPanelRect(const TRect &R) {
  if (Gradient.Visible()) {
    const TGradientDirection D = Gradient.Direction();
    if (D == TGradientDirection::gdTopBottom || D == TGradientDirection::gdLeftRight)
      FCanvas->GradientFill(R, Gradient.StartColor(), Gradient.EndColor(), D);
    else
      FCanvas->GradientFill(R, Gradient.EndColor(), Gradient.StartColor(), D);
  } else if (!Printing || PrintBackground) {
    FCanvas->Brush() = TBrush{Color(), bsSolid};
    FCanvas->FillRect(R);
  }
}

void TCustomChartPanelExtended::PaintPanel(const TRect &R) {
  FillPanelRect(R);
  DrawBackImage(R);
  if (!Printing || PrintBackground) {
    FCanvas->Pen() = TPen{clBlack, 1, psSolid, pmCopy};
    FCanvas->Brush().Style = bsClear;
    DrawPanelBevels(R);
  }
}

void TCustomChartPanelExtended::UndoZoom() {
  if (OnUndoZoom) OnUndoZoom();
  Invalidate();
  Zoomed = false;
}

void TCustomChartPanelExtended::Assign(const TCustomChartPanel &Source) {
  if (auto *S = dynamic_cast<const TCustomChartPanelExtended *>(&Source)) {
    SetBackImage(S->BackImage());
    SetBackImageMode(S->FBackImageMode);
    Gradient.Assign(S->Gradient);
    AllowPanning = S->AllowPanning;
    AllowZoom = S->AllowZoom;
    AnimatedZoom = S->AnimatedZoom;
    AnimatedZoomSteps = S->AnimatedZoomSteps;
  }
  TCustomChartPanel::Assign(Source);
}

void TCustomChartPanelExtended::MouseLeave() {
  TCustomChartPanel::MouseLeave();
  // The drag is cancelled: its rectangle must not stay behind on the window.
  Zoom.Active = false;
  HideZoomRectangle();
}

void TCustomChartPanelExtended::DrawBackground(TRect R, int Z) {
  if (Z != 0 && View3D() && !View3DOptions.Orthogonal()) return;
  if (BackImage().Empty()) return;
  TChartCanvas3D &C = *FCanvas;
  auto Project = [&] {
    if (Z > 0) {
      const TPoint A = C.Calculate3DPosition(R.Left, R.Top, Z);
      const TPoint B = C.Calculate3DPosition(R.Right, R.Bottom, Z);
      R = TRect(A.X, A.Y, B.X, B.Y);
      if (!C.Is3D() && !C.IsOrthogonal()) ++R.Top;
    }
  };
  if (FBackImageMode == TChartBackImageMode::pbmStretch) {
    Project();
    C.StretchDraw(R, BackImage());
    return;
  }
  const bool Clip = CanClip();
  if (Clip) {
    if (Z == 0)
      C.ClipRectangle(R);
    else
      C.ClipCube(R, 0, Width3D);
  }
  Project();
  if (FBackImageMode == TChartBackImageMode::pbmTile) {
    const int GW = BackImage().Width(), GH = BackImage().Height();
    if (GW > 0 && GH > 0)
      for (int y = R.Top; y < R.Bottom; y += GH)
        for (int x = R.Left; x < R.Right; x += GW) C.Draw(x, y, BackImage());
  } else {
    FillPanelRect(R);
    C.Draw(R.Left + (R.Width() - BackImage().Width()) / 2,
           R.Top + (R.Height() - BackImage().Height()) / 2, BackImage());
  }
  if (Clip) C.UnClipRectangle();
}

template void TChartGradient::Set<bool>(bool &, bool);
template void TChartGradient::Set<TColor>(TColor &, TColor);
template void TChartGradient::Set<TGradientDirection>(TGradientDirection &, TGradientDirection);

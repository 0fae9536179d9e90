#pragma once
// The control every chart is drawn on: its canvas, rectangles, margins, bevels and
// background, the full draw into any canvas and rectangle (screen, metafile, printer),
// and the zoom and pan state that the chart's mouse handling uses.
//
// The panel is not a window itself: the program's window (a paint box) gives it a canvas
// and forwards paints, sizes and mouse events; the panel asks it for deferred paints.
#include <functional>
#include <memory>
#include <string>

#include "charts/chart_canvas.h"
#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/input.h"
#include "platform/numbers.h"

class TMetafile;

class ChartException : public Exception {
public:
  using Exception::Exception;
};

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
enum class TPanningMode { pmNone, pmHorizontal, pmVertical, pmBoth };
enum class TChartBackImageMode { pbmStretch, pbmTile, pbmCenter };

// The chart's hand cursor ("CHART_CURSOR_HAND", drawn in res/charts/).
constexpr TCursor crChartHand = 2020;
// Puts the hand into the screen's cursor table; the program does it at start-up.
void LoadChartCursors();

// Splits multi-line label texts.
constexpr char ChartLineSeparator = '\r';

class TZoomPanningRecord {
public:
  bool Active = false;
  int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
  void Activate(int X, int Y) {
    X0 = X1 = X;
    Y0 = Y1 = Y;
    Active = true;
  }
  void Check() {
    if (X0 > X1) std::swap(X0, X1);
    if (Y0 > Y1) std::swap(Y0, Y1);
  }
};

class TCustomChartPanel;

class TChartGradient {
public:
  explicit TChartGradient(TCustomChartPanel *Owner = nullptr) : FOwner(Owner) {}
  TGradientDirection Direction() const { return FDirection; }
  TColor EndColor() const { return FEndColor; }
  TColor StartColor() const { return FStartColor; }
  bool Visible() const { return FVisible; }
  void SetDirection(TGradientDirection V) { Set(FDirection, V); }
  void SetEndColor(TColor V) { Set(FEndColor, V); }
  void SetStartColor(TColor V) { Set(FStartColor, V); }
  void SetVisible(bool V) { Set(FVisible, V); }
  void Assign(const TChartGradient &Source);

private:
  template <class T> void Set(T &F, T V);
  TCustomChartPanel *FOwner;
  TGradientDirection FDirection = TGradientDirection::gdTopBottom;
  TColor FEndColor = clYellow, FStartColor = clWhite;
  bool FVisible = false;
};

// A font of the chart's texts: a canvas font plus its owner's change notification, so that
// changing one of its settings in place repaints the chart.
class TChartFont : public TFont {
public:
  explicit TChartFont(const TFont &F, std::function<void()> OnChange = {})
      : TFont(F), OnChange(std::move(OnChange)) {}
  // A copy would carry its owner's change event: copy the settings with Assign instead.
  TChartFont(const TChartFont &) = delete;
  TChartFont &operator=(const TChartFont &) = delete;
  std::function<void()> OnChange;
  void SetName(const std::string &V) { SetField(Name, V); }
  void SetHeight(int V) { SetField(Height, V); }
  void SetColor(TColor V) { SetField(Color, V); }
  void SetStyle(TFontStyles V) { SetField(Style, V); }
  void SetPitch(TFontPitch V) { SetField(Pitch, V); }
  void SetCharset(int V) { SetField(Charset, V); }
  void SetOrientation(int V) { SetField(Orientation, V); }
  void SetSize(int Points) {
    TFont F = *this;
    F.SetSize(Points);
    Assign(F);
  }
  // Every setting of F; the change event stays ours and fires once, when anything changed.
  void Assign(const TFont &F) {
    if (static_cast<const TFont &>(*this) == F) return;
    static_cast<TFont &>(*this) = F;
    Changed();
  }
  void Changed() {
    if (OnChange) OnChange();
  }

private:
  template <class T, class V>
  void SetField(T &Field, const V &Value) {
    if (Field == Value) return;
    Field = Value;
    Changed();
  }
};

// The font of titles, legend and axis titles: repaints its owner when it changes.
class TChartFontObject {
public:
  explicit TChartFontObject(TCustomChartPanel *Owner);
  virtual ~TChartFontObject() = default;
  TChartFont Font;
  void SetFont(const TFont &F) { Font.Assign(F); }
  TCustomChartPanel *Owner() const { return FOwner; }

protected:
  TCustomChartPanel *FOwner;
};

// Unit-wide settings.
extern bool ClipWhenPrinting, ClipWhenMetafiling, ChartEraseBack, PrintBackground;

// Colour Index mod 16 of the default series palette.
TColor GetDefaultColor(int Index);
std::string ChartDefaultFontName();
int ChartDefaultFontSize();
TFont CreateDefaultChartFont();
bool IsDefaultChartFont(const TFont &F);
void ChartCheckAngle(int Angle, const std::string &Name);
// Width of the widest line of a text split at ChartLineSeparator; an empty text is one line.
int MultiLineTextWidth(TChartCanvas3D &Canvas, const std::string &Text, int &NumLines);
bool PointInLineTolerance(TPoint P, TPoint P0, TPoint P1, int Tolerance);
inline bool PointInLine(TPoint P, TPoint P0, TPoint P1) { return PointInLineTolerance(P, P0, P1, 0); }
bool PointInPolygon(TPoint P, std::span<const TPoint> Points);
bool PointInTriangle(TPoint P, int X0, int X1, int Y0, int Y1);
bool PointInHorizTriangle(TPoint P, int Y0, int Y1, int X0, int X1);
bool PointInEllipse(TPoint P, const TRect &R);
void ChartReplaceChar(std::string &S, char C);

class TCustomChartPanel {
public:
  TCustomChartPanel();
  TCustomChartPanel(const TCustomChartPanel &) = delete;
  TCustomChartPanel &operator=(const TCustomChartPanel &) = delete;
  virtual ~TCustomChartPanel();

  // ---- the window ----
  // The canvas of the window the chart shows in (a paint box's backing image).
  void SetWindowCanvas(TCanvas *C) {
    FWindowCanvas = C;
    FZoomShown = false;
  }
  TCanvas *WindowCanvas() const { return FWindowCanvas; }
  // Asks the window for a deferred paint; repeated requests before it comes are one.
  std::function<void()> OnRequestPaint;
  // Shows what was drawn on the window canvas at once (used by immediate repaints).
  std::function<void()> OnFlush;
  std::function<void(int Cursor)> OnCursorChange;
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetBounds(int W, int H);
  TRect GetClientRect() const { return TRect(0, 0, FWidth, FHeight); }
  // Paint handler of the window: draws (from the buffer when it is still valid).
  virtual void Paint();
  // Marks the buffer stale and asks for one deferred paint.
  virtual void Invalidate();
  // Draws now and shows it (the zoom animation's frames).
  void Repaint();
  bool PaintPending() const { return FPaintPending; }
  int PaintRequests() const { return FPaintRequests; }
  int Cursor() const { return FCursor; }
  void SetCursor(int C);
  int SavedCursor = crDefault;
  // The mouse left the window.
  virtual void MouseLeave();

  // ---- drawing ----
  virtual void InternalDraw(const TRect &UserRect) = 0;
  virtual void RepaintPanel();
  virtual void Draw(TCanvas &UserCanvas, const TRect &UserRect);
  virtual void DrawPanelBevels(TRect R);
  virtual void AssignChartFont(const TFont &AFont);
  virtual TRect GetPanelRect() const { return GetClientRect(); }
  void RecalcWidthHeight();
  // The zoom rectangle lives on the window only, never in the buffer: drawing it again
  // replaces the one shown (at the old corners) by one at Zoom's corners; hiding it restores
  // the pixels under it. A draw onto the window keeps it on top.
  void DrawZoomRectangle(bool Flush = true);
  void HideZoomRectangle(bool Flush = true);
  bool ZoomRectangleShown() const { return FZoomShown; }
  void CheckPenWidth(TPen &APen) const;
  bool CanClip() const;
  // Times the chart contents were drawn (not shown from the buffer).
  int DrawCount() const { return FDrawCount; }

  // ---- copy and print ----
  void CopyToClipboardMetafile(bool Enhanced);
  std::unique_ptr<TMetafile> ChartCreateMetafile(bool Enhanced, const TRect &R);
  void DrawToMetaCanvas(TCanvas &ACanvas, const TRect &R);
  void PrintPartialCanvas(TCanvas &ACanvas, const TRect &PrinterRect);
  void PrintPartial(const TRect &PrinterRect);

  // The settings of another panel (not its size, series or contents).
  virtual void Assign(const TCustomChartPanel &Source);

  // ---- properties ----
  int Chart3DPercent() const { return FChart3DPercent; }
  void SetChart3DPercent(int Value);
  TRect ChartBounds, ChartRect;
  int ChartWidth = 0, ChartHeight = 0, ChartXCenter = 0, ChartYCenter = 0;
  int MarginLeft() const { return FMargins.Left; }
  int MarginTop() const { return FMargins.Top; }
  int MarginRight() const { return FMargins.Right; }
  int MarginBottom() const { return FMargins.Bottom; }
  int GetMargin(int Index) const;
  void SetMargin(int Index, int Value);
  void SetMarginLeft(int V) { SetMargin(0, V); }
  void SetMarginTop(int V) { SetMargin(1, V); }
  void SetMarginRight(int V) { SetMargin(2, V); }
  void SetMarginBottom(int V) { SetMargin(3, V); }
  TZoomPanningRecord Zoom, Panning;
  bool Printing = false;
  bool PrintProportional = true;
  int PrintResolution() const { return FPrintResolution; }
  void SetPrintResolution(int V) { SetIntProperty(FPrintResolution, std::clamp(V, 0, 99)); }
  bool View3D() const { return FView3D; }
  void SetView3D(bool V) { SetBoolProperty(FView3D, V); }
  TView3DOptions View3DOptions;
  int Width3D = 0, Height3D = 0;
  TChartCanvas3D &Canvas() { return *FCanvas; }
  bool CanRepaint = false;
  TRect PrintMargins{15, 15, 15, 15};
  TColor Color() const { return FColor; }
  void SetColor(TColor V) { SetColorProperty(FColor, V); }
  TPanelBevel BevelOuter() const { return FBevelOuter; }
  TPanelBevel BevelInner() const { return FBevelInner; }
  int BevelWidth() const { return FBevelWidth; }
  int BorderWidth() const { return FBorderWidth; }
  void SetBevelOuter(TPanelBevel V) { SetProperty(FBevelOuter, V); }
  void SetBevelInner(TPanelBevel V) { SetProperty(FBevelInner, V); }
  void SetBevelWidth(int V) { SetIntProperty(FBevelWidth, V); }
  void SetBorderWidth(int V) { SetIntProperty(FBorderWidth, V); }
  bool Monochrome() const { return FCanvas->Monochrome(); }
  void SetMonochrome(bool V) { FCanvas->SetMonochrome(V); }
  bool BufferedDisplay() const { return FCanvas->BufferedDisplay(); }
  void SetBufferedDisplay(bool V) { FCanvas->SetBufferedDisplay(V); }

protected:
  template <class T> void SetProperty(T &F, T V) {
    if (F == V) return;
    F = V;
    Invalidate();
  }
  void SetIntProperty(int &F, int V) { SetProperty(F, V); }
  void SetBoolProperty(bool &F, bool V) { SetProperty(F, V); }
  void SetDoubleProperty(double &F, double V) { SetProperty(F, V); }
  void SetColorProperty(TColor &F, TColor V) { SetProperty(F, V); }
  void SetStringProperty(std::string &F, const std::string &V) { SetProperty(F, V); }
  std::unique_ptr<TChartCanvas3D> FCanvas;
  int FDrawCount = 0;

private:
  // One not-xor pass over the outline of R on the window: twice leaves no trace.
  void XorZoomRectangle(const TRect &R);
  TCanvas *FWindowCanvas = nullptr;
  TCanvas FNullCanvas;
  bool FZoomShown = false;
  TRect FZoomShownRect;
  int FWidth = 400, FHeight = 250;
  bool FPaintPending = false;
  int FPaintRequests = 0;
  int FCursor = crDefault;
  int FChart3DPercent = 15;
  TRect FMargins{3, 4, 3, 4};
  int FPrintResolution = 0;
  bool FView3D = true;
  TColor FColor = clBtnFace;
  TPanelBevel FBevelOuter = bvRaised, FBevelInner = bvNone;
  int FBevelWidth = 1, FBorderWidth = 0;
};

class TCustomChartPanelExtended : public TCustomChartPanel {
public:
  TCustomChartPanelExtended();
  int AnimatedZoomSteps = 8;
  bool AnimatedZoom = false;
  bool AllowZoom = true;
  TPanningMode AllowPanning = TPanningMode::pmBoth;
  // The back image: empty until a picture is given.
  const TBitmap &BackImage() const { return FBackImage; }
  void SetBackImage(const TBitmap &B) {
    FBackImage = B;
    Invalidate();
  }
  // Changes the back image in place (draws on it, resizes it); the chart repaints after.
  void ChangeBackImage(const std::function<void(TBitmap &)> &Change) {
    Change(FBackImage);
    Invalidate();
  }
  TChartBackImageMode BackImageMode() const { return FBackImageMode; }
  void SetBackImageMode(TChartBackImageMode V) { SetProperty(FBackImageMode, V); }
  TChartGradient Gradient;
  bool Zoomed = false;
  std::function<void()> OnAfterDraw, OnScroll, OnUndoZoom, OnZoom;

  virtual void DrawBackImage(const TRect &R) { DrawBackground(R, 0); }
  virtual void FillPanelRect(const TRect &R);
  virtual void PaintPanel(const TRect &R);
  virtual void UndoZoom();
  void Assign(const TCustomChartPanel &Source) override;
  void DrawBackground(TRect R, int Z);
  void MouseLeave() override;

private:
  TBitmap FBackImage;
  TChartBackImageMode FBackImageMode = TChartBackImageMode::pbmStretch;
};

#pragma once
// Internals of TCanvas shared by the layer's own sources (bitmaps, paint boxes,
// metafiles, printer). Not for use outside src/platform.
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QRect>
#include <QRegion>
#include <QTransform>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/canvas.h"
#include "platform/metafile.h"

struct TRegion::Impl {
  QRegion R;
};

struct TMetafileRecorder;

// The logical-to-device mapping of a canvas (MM_ANISOTROPIC, or MM_TEXT when not Active):
// device = (logical - WinOrg) * VpExt / WinExt + VpOrg.
struct TMapping {
  bool Active = false;
  TSize WinExt{1, 1}, VpExt{1, 1};
  TPoint WinOrg, VpOrg;
  double SX() const { return Active && WinExt.cx ? double(VpExt.cx) / WinExt.cx : 1.0; }
  double SY() const { return Active && WinExt.cy ? double(VpExt.cy) / WinExt.cy : 1.0; }
  double DX() const { return Active ? VpOrg.X - WinOrg.X * SX() : 0.0; }
  double DY() const { return Active ? VpOrg.Y - WinOrg.Y * SY() : 0.0; }
  bool Identity() const { return SX() == 1.0 && SY() == 1.0 && DX() == 0.0 && DY() == 0.0; }
  friend bool operator==(const TMapping &, const TMapping &) = default;
};

struct TCanvas::Impl {
  enum class TKind { Null, Image, Painter, Recorder };

  // Drawing state.
  TPen Pen;
  TBrush Brush;
  TFont Font;
  TPoint PenPos;
  TCopyMode CopyMode = cmSrcCopy;
  std::optional<TBkMode> BkModeOverride;
  std::optional<TColor> BkColorOverride;
  TBrush BrushAtOverride;
  unsigned TextAlign = 0;
  TPoint Origin;
  TMapping Map; // applied after Origin; image targets draw unmapped
  std::optional<QRegion> Clip; // device coordinates; none = the whole target
  // Pattern position of styled 1-pixel pens, continued along a polyline.
  int PatternPos = 0;

  struct TSaved {
    std::optional<QRegion> Clip;
    TPoint Origin;
    TMapping Map;
    unsigned TextAlign;
    std::optional<TBkMode> BkModeOverride;
    std::optional<TColor> BkColorOverride;
    TBrush BrushAtOverride;
  };
  std::vector<TSaved> Saved;

  // Target.
  TKind Kind = TKind::Null;
  QImage *Image = nullptr;   // Image kind: not owned
  QPainter *Painter = nullptr; // Painter kind: not owned
  QPaintDevice *PainterDevice = nullptr;
  TMetafileRecorder *Recorder = nullptr; // Recorder kind
  std::shared_ptr<TMetafileRecorder> RecorderOwner;
  const TCanvas *Reference = nullptr;    // Recorder: device for text measurement
  bool Mono = false;                     // colours map to black or white
  int Ppi = 96;
  // Called after drawing with the device rectangle it may have changed (paint boxes);
  // an empty rectangle stands for the whole target.
  std::function<void(const QRect &)> Changed;
  // Called before every drawing call (every one passes Record); it may raise to refuse.
  std::function<void()> Changing;

  // Font cache.
  TFont CachedFont;
  bool FontValid = false;
  QFont QtFont;
  std::unique_ptr<QFontMetrics> Metrics;
  QRawFont RawFont; // the font's own glyphs, for drawing runs
  // The same glyphs unhinted, for runs drawn scaled (made when first asked for).
  QRawFont ScaledRawFont;
  bool ScaledRawValid = false;

  // Helpers.
  TBkMode EffectiveBkMode();
  TColor EffectiveBkColor();
  uint32_t Argb(TColor C) const; // resolved, mono-mapped, 0xFFRRGGBB
  const QFont &GetQFont();
  const QFontMetrics &GetMetrics();
  const QRawFont &GetRawFont();
  const QRawFont &GetScaledRawFont();
  TSize DeviceSize() const;
  void Touch() {
    if (Changed) Changed(QRect());
  }
  void Touch(const QRect &Device) {
    if (Changed && !Device.isEmpty()) Changed(Device);
  }
};

// One recorded call with the state it was made in.
struct TMetaState {
  TPen Pen;
  TBrush Brush;
  TFont Font;
  TBkMode BkMode;
  TColor BkColor;
  unsigned TextAlign;
  TCopyMode CopyMode;
  std::optional<QRegion> Clip; // in recording coordinates
  TMapping Map;                 // of the recording canvas when the call was made
};

struct TMetaCommand {
  enum TOp {
    opLine, opPolyline, opPolygon, opBezier, opRectangle, opFillRect, opFrameRect, opEllipse,
    opRoundRect, opArc, opPie, opChord, opText, opTextRect, opPixel, opBitmap, opMetafile,
    opMaskBlt, opEdge, opFocusRect
  } Op;
  int State = 0;
  std::vector<int> I;
  std::vector<TPoint> Pts;
  std::u16string Text;
  std::shared_ptr<TBitmap> Bitmap, Mask;
  std::shared_ptr<const TMetafile::Recording> Sub;
  int SubW = 0, SubH = 0;
};

struct TMetafile::Recording {
  std::vector<TMetaState> States;
  std::vector<TMetaCommand> Commands;
};

struct TMetafileRecorder {
  std::shared_ptr<TMetafile::Recording> Rec = std::make_shared<TMetafile::Recording>();
};

// Canvas factories used inside the layer.
std::unique_ptr<TCanvas> MakeImageCanvas(QImage *Image);
std::unique_ptr<TCanvas::Impl> MakeRecorderImpl(const TCanvas *Reference);
void PlayRecording(const TMetafile::Recording &Rec, int W, int H, TCanvas &Canvas, const TRect &R);
std::unique_ptr<TCanvas> MakePainterCanvas(QPainter *Painter, QPaintDevice *Device, int Ppi);
std::unique_ptr<TCanvas::Impl> MakePainterImpl(QPainter *Painter, QPaintDevice *Device, int Ppi);
// The mapping's transform, and a region of logical (origin-translated) units in device units.
QTransform MapTransform(const TMapping &M);
QFont MakeQFont(const TFont &F);
// Pixels of a bitmap (as a QImage, RGB32).
QImage &BitmapImageRef(TBitmap &B);
const QImage &BitmapImageRef(const TBitmap &B);
TBitmap BitmapFromImagePiece(const QImage &Image, const TRect &R);
// Draws a run measured in the canvas's current font scaled by (SX, SY) as a whole, its
// reference point at (X, Y) in the canvas's logical units (a recorded run replayed at
// another size); ClipTo as TextRect's rectangle.
void DrawScaledText(TCanvas::Impl &D, double X, double Y, double SX, double SY,
                    const std::u16string &Text, const TRect *ClipTo);
// The image a canvas draws on, or null.
const QImage *CanvasImage(const TCanvas &C);

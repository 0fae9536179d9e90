#pragma once
// TCanvas: stateful drawing with pens, brushes and fonts on a bitmap, a paint box's
// backing image, a metafile recording, a printer page or (through qt_bridge.h) any
// QPainter. Pixel rules on image targets (aliased):
// - MoveTo/LineTo and Polyline leave out the last pixel of each line; a 1-pixel pen
//   covers the Bresenham pixels.
// - Shapes take a bounding box whose right and bottom edges are outside:
//   Rectangle(0, 0, 10, 10) paints pixels 0..9. Outline with the pen inside the box,
//   interior with the brush.
// - Polygon fills with the alternate (even-odd) rule, then draws the outline.
// - Arc/Pie/Chord go counter-clockwise on screen from the first radial point to the second.
// - Text: TextOut(X, Y) puts the top-left of the text cell at (X, Y). With an opaque
//   background (a solid brush, or SetBkMode(bkOpaque)) the cell is filled with the
//   background colour; with a clear brush text is transparent. The same holds for the gaps
//   of dashed/dotted 1-pixel pens.
// Text arguments: std::string is UTF-8 (bytes that are not valid UTF-8 are read as
// Windows-1252); page text decoded by encoding.h is passed as std::u16string.
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/types.h"

class TBitmap;
class TMetafile;

// psAlternate: a 1-pixel pen that sets every other pixel (the cosmetic alternate pen).
enum TPenStyle {
  psSolid,
  psDash,
  psDot,
  psDashDot,
  psDashDotDot,
  psClear,
  psInsideFrame,
  psAlternate
};
// Raster operations of the pen (R2_*): pmCopy draws the pen colour.
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle {
  bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};
enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned; // a set of TFontStyle bits
enum TFontPitch { fpDefault, fpVariable, fpFixed };
enum TBkMode { bkTransparent = 1, bkOpaque = 2 };

// Charsets as the class library numbers them.
constexpr int ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2,
              EASTEUROPE_CHARSET = 238, RUSSIAN_CHARSET = 204, GREEK_CHARSET = 161,
              TURKISH_CHARSET = 162, BALTIC_CHARSET = 186, HEBREW_CHARSET = 177,
              ARABIC_CHARSET = 178, OEM_CHARSET = 255;

struct TPen {
  TColor Color = clBlack;
  int Width = 1; // 0 and 1 are both one pixel (cosmetic); wider pens have round ends/joins
  TPenStyle Style = psSolid;
  TPenMode Mode = pmCopy;
  friend bool operator==(const TPen &, const TPen &) = default;
};

// A brush with a (non-empty) Bitmap fills with its pixels, tiled from the device origin,
// whatever its colour and style, unless the style is bsClear.
struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
  std::shared_ptr<const TBitmap> Bitmap = nullptr;
  friend bool operator==(const TBrush &, const TBrush &) = default;
};

struct TFont {
  std::string Name = "Arial";
  // Positive: cell height in pixels (ascent + descent); negative: character (em) height.
  int Height = -11;
  TColor Color = clWindowText;
  TFontStyles Style = 0;
  TFontPitch Pitch = fpDefault;
  int Charset = DEFAULT_CHARSET;
  // Escapement of the text line in tenths of a degree, counter-clockwise.
  int Orientation = 0;
  // The device resolution Size is converted with: 96 on screens and bitmaps, the
  // printer's dots per inch on a printer canvas (set by the canvas).
  int PixelsPerInch = 96;
  // Size in points: Height = -MulDiv(Size, PixelsPerInch, 72); 8 point = -11 pixels.
  int Size() const;
  void SetSize(int Points);
  friend bool operator==(const TFont &, const TFont &) = default;
};

// Metrics of the selected font, in pixels (as GetTextMetrics).
struct TTextMetric {
  int tmHeight = 0, tmAscent = 0, tmDescent = 0, tmInternalLeading = 0,
      tmExternalLeading = 0, tmAveCharWidth = 0, tmMaxCharWidth = 0, tmWeight = 400,
      tmOverhang = 0;
  bool tmItalic = false, tmUnderlined = false, tmStruckOut = false;
};

// Raster operations of BitBlt (dest := f(source, dest)), 0x00BBGGRR colour bits.
enum TCopyMode : uint32_t {
  cmBlackness = 0x00000042,
  cmDstInvert = 0x00550009,   // NOT dest
  cmMergeCopy = 0x00C000CA,   // source AND pattern (brush)
  cmMergePaint = 0x00BB0226,  // NOT source OR dest
  cmNotSrcCopy = 0x00330008,  // NOT source
  cmNotSrcErase = 0x001100A6, // NOT (source OR dest)
  cmPatCopy = 0x00F00021,     // brush
  cmPatInvert = 0x005A0049,   // brush XOR dest
  cmSrcAnd = 0x008800C6,      // source AND dest
  cmSrcCopy = 0x00CC0020,
  cmSrcErase = 0x00440328,    // source AND NOT dest
  cmSrcInvert = 0x00660046,   // source XOR dest
  cmSrcPaint = 0x00EE0086,    // source OR dest
  cmWhiteness = 0x00FF0062,
  cmDstAndNotSrc = 0x00220326 // dest AND NOT source
};

// DrawEdge edges and flags.
constexpr unsigned BDR_RAISEDOUTER = 1, BDR_SUNKENOUTER = 2, BDR_RAISEDINNER = 4,
                   BDR_SUNKENINNER = 8;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
                   EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
                   EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
                   EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr unsigned BF_LEFT = 1, BF_TOP = 2, BF_RIGHT = 4, BF_BOTTOM = 8,
                   BF_RECT = 15, BF_MIDDLE = 0x800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000,
                   BF_FLAT = 0x4000, BF_MONO = 0x8000;

// Text alignment (SetTextAlign): the reference point of TextOut.
constexpr unsigned TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8,
                   TA_BASELINE = 24;

// A clipping region: rectangles, ellipses and polygons, combined.
class TRegion {
public:
  TRegion(); // empty
  static TRegion FromRect(const TRect &R);
  static TRegion FromEllipse(const TRect &R); // the ellipse inscribed in R
  static TRegion FromPolygon(std::span<const TPoint> Points, bool Winding = false);
  TRegion(const TRegion &);
  TRegion &operator=(const TRegion &);
  ~TRegion();
  TRegion United(const TRegion &Other) const;
  TRegion Subtracted(const TRegion &Other) const;   // this minus Other
  TRegion Intersected(const TRegion &Other) const;
  TRegion Translated(int DX, int DY) const;
  bool IsEmpty() const;
  // The region as rectangles that do not overlap: filling them one by one fills it
  // without a clip.
  std::vector<TRect> Rects() const;
  bool Contains(TPoint P) const;
  TRect BoundingRect() const;
  struct Impl;
  const Impl &Data() const { return *D; }

private:
  std::unique_ptr<Impl> D;
};

class TCanvas {
public:
  // A canvas that draws nowhere (every call is ignored, measuring still works).
  TCanvas();
  TCanvas(const TCanvas &) = delete;
  TCanvas &operator=(const TCanvas &) = delete;
  virtual ~TCanvas();

  // Persistent drawing state, changed directly: Canvas.Pen().Color = clRed.
  TPen &Pen();
  TBrush &Brush();
  TFont &Font();
  const TPen &Pen() const;
  const TBrush &Brush() const;
  const TFont &Font() const;
  TPoint PenPos() const;
  void SetPenPos(TPoint P);
  TCopyMode CopyMode() const;
  void SetCopyMode(TCopyMode Mode);
  // The background mode follows the brush (bsClear: transparent, else opaque with the
  // brush colour) until SetBkMode/SetBkColor override it; the next brush change ends
  // the override, as reselecting the brush does in the class library.
  void SetBkMode(TBkMode Mode);
  TBkMode BkMode() const;
  void SetBkColor(TColor Color);
  TColor BkColor() const;
  void SetTextAlign(unsigned Flags);
  unsigned TextAlign() const;

  // Lines and shapes.
  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);
  void Polyline(std::span<const TPoint> Points);
  void Polygon(std::span<const TPoint> Points);
  void PolyBezier(std::span<const TPoint> Points); // 3n+1 points
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect &R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  void FillRect(const TRect &R);  // brush only, no outline
  void FrameRect(const TRect &R); // 1-pixel frame in the brush colour
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect &R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
  void RoundRect(int X1, int Y1, int X2, int Y2, int W, int H);
  void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  // The classic DrawEdge: sunken/raised borders from the system colours; returns the
  // rectangle inside the edge when BF_ADJUST is given (else R unchanged).
  void DrawEdge(TRect &R, unsigned Edge, unsigned Flags);
  void DrawFocusRect(const TRect &R); // dotted XOR frame

  // Text.
  void TextOut(int X, int Y, const std::string &Text);
  void TextOut(int X, int Y, const std::u16string &Text);
  // Text clipped to R, drawn at (X, Y); an opaque background fills R.
  void TextRect(const TRect &R, int X, int Y, const std::string &Text);
  void TextRect(const TRect &R, int X, int Y, const std::u16string &Text);
  int TextWidth(const std::string &Text);
  int TextWidth(const std::u16string &Text);
  int TextHeight(const std::string &Text);
  int TextHeight(const std::u16string &Text);
  TSize TextExtent(const std::string &Text);
  TSize TextExtent(const std::u16string &Text);
  // How many leading characters of Text fit in MaxExtent pixels; Dx (optional) receives
  // the width of every prefix (Dx[i] = width of the first i+1 characters).
  int TextFit(const std::u16string &Text, int MaxExtent, std::vector<int> *Dx = nullptr);
  TTextMetric TextMetrics();

  // Pixels: a read outside the target (or on a target without pixels) gives clInvalid.
  TColor Pixels(int X, int Y) const;
  void SetPixels(int X, int Y, TColor Color);

  // Pictures. Draw honours the bitmap's Transparent flag.
  void Draw(int X, int Y, const TBitmap &Bitmap);
  void StretchDraw(const TRect &R, const TBitmap &Bitmap);
  void Draw(int X, int Y, const TMetafile &Metafile);
  void StretchDraw(const TRect &R, const TMetafile &Metafile);
  // Copies Source's SrcRect into Dest (stretched when the sizes differ) with CopyMode().
  void CopyRect(const TRect &Dest, const TCanvas &Source, const TRect &SrcRect);
  void BitBlt(int X, int Y, int W, int H, const TCanvas &Source, int SX, int SY, TCopyMode Rop);
  void BitBlt(int X, int Y, int W, int H, const TBitmap &Source, int SX, int SY, TCopyMode Rop);
  void StretchBlt(const TRect &Dest, const TBitmap &Source, const TRect &SrcRect, TCopyMode Rop);
  // Masked copy: where Mask (monochrome) is black the source pixel is copied, where it
  // is white the destination stays.
  void MaskBlt(int X, int Y, int W, int H, const TBitmap &Source, int SX, int SY,
               const TBitmap &Mask, int MX, int MY);

  // Clipping, in logical coordinates. ClipRect is the bounding box of what can be
  // drawn (the whole target when nothing clips).
  TRect ClipRect() const;
  void SelectClipRegion(const TRegion &Region); // replaces the clip
  void SelectClipRect(const TRect &R);          // replaces the clip
  void RemoveClip();                            // no clipping
  void ExcludeClipRect(const TRect &R);
  void IntersectClipRect(const TRect &R);
  void ExcludeClipRegion(const TRegion &Region);
  void IntersectClipRegion(const TRegion &Region);
  bool HasClip() const;
  // Saves and restores clip, origin, text alignment and background overrides (as
  // SaveDC/RestoreDC); RestoreState(-1) restores the last saved one.
  int SaveState();
  void RestoreState(int Id = -1);

  // Logical origin: logical (0, 0) is drawn at device Origin.
  void SetOrigin(TPoint Origin);
  TPoint Origin() const;
  // Logical-to-device mapping of printer and metafile canvases, as MM_ANISOTROPIC:
  // device = (logical - WindowOrg) * ViewportExt / WindowExt + ViewportOrg, applied after
  // Origin. Pens, fonts and pictures scale with it; text is measured in logical units.
  // Image canvases (bitmaps, paint boxes) stay unmapped. ResetMapping is MM_TEXT.
  void SetMapping(TSize WindowExt, TSize ViewportExt);
  void SetWindowOrg(TPoint P);
  void SetViewportOrg(TPoint P);
  void ResetMapping();
  bool Mapped() const;
  // Replaces the clip with a region given in device units (SelectClipRgn).
  void SelectDeviceClipRegion(const TRegion &Region);
  // The size of the drawing target in device pixels (0 x 0 for metafile canvases: their
  // recording has no fixed size).
  TSize DeviceSize() const;
  int PixelsPerInchX() const;
  int PixelsPerInchY() const;
  // The colours the target shows (NUMCOLORS): 2 on a monochrome bitmap, else 1 << 24.
  int NumColors() const;

  void Lock() {}
  void Unlock() {}

  struct Impl;
  Impl &Data() { return *D; }
  const Impl &Data() const { return *D; }

protected:
  explicit TCanvas(std::unique_ptr<Impl> Data);
  std::unique_ptr<Impl> D;
  friend class TBitmap;
  friend class TMetafile;
};

// Frame3D of the class library: draws Width nested frames (top/left in TopColor,
// bottom/right in BottomColor) and shrinks R by Width on every side.
void Frame3D(TCanvas &Canvas, TRect &R, TColor TopColor, TColor BottomColor, int Width);

// Text on image targets is smoothed in grey (never in colour) by default; switching it off
// gives the classic display's hard-edged letters.
void SetTextAntialiasing(bool On);
bool TextAntialiasing();

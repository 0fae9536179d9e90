#pragma once
// Objects standing in the text: pictures (IMG, INPUT TYPE=image) and PANELs.
#include <memory>
#include <string>

#include "htmlview/attributes.h"
#include "htmlview/image_cache.h"
#include "platform/canvas.h"

class TSectionList;
class TCell;
class TBitmap;
class TGIFImage;
class TFontObj;
class TImageFormControlObj;
class ThvPanel;

// Object alignments.
constexpr int ATop = 0, AMiddle = 1, ABottom = 2, ALeft = 3, ARight = 4;

class TFloatingObj {
public:
  int Pos = 0;           // buffer index of the mark
  int ImageHeight = 0;
  int ImageWidth = 0;
  int ObjAlign = ABottom;
  int Indent = 0;        // x given by float placement, relative to the cell's left
  int HSpace = 0;
  int VSpace = 0;
  std::string Alt;
  // Where it was last drawn (document coordinates) for hit tests.
  int DrawX = 0, DrawY = 0;
  bool Drawn = false;
  int GifDrawnYOff = 0; // the document's scroll position when the animation was drawn
  int FloatTop = 0; // document y at which a float was registered

  virtual ~TFloatingObj() = default;
  bool IsFloat() const { return ObjAlign == ALeft || ObjAlign == ARight; }
  virtual std::unique_ptr<TFloatingObj> Clone(TSectionList *NewList) const = 0;
  virtual void DrawObj(TCanvas &Canvas, int X, int Y) = 0; // screen coordinates of the box
};

class TImageObj : public TFloatingObj {
public:
  TSectionList *ParentList = nullptr;
  std::string Source;
  int SpecWidth = -1, SpecHeight = -1; // -1: not given
  bool Percent = false;                // SpecWidth is a percentage
  bool NoBorder = false;
  bool IsMap = false;
  bool UseMap = false;
  std::string MapName;
  bool Transparent = false;            // TRANSP
  bool Active = false;                 // ACTIVE
  int ObjWidth = 0, ObjHeight = 0;     // display size
  bool SizeSettled = false;
  bool HasBorder = false;
  // The picture: shared with the image cache (Bitmap, Mask), or the viewer's animated
  // image (Gif, owned when it is a private copy).
  TBitmap *Bitmap = nullptr;
  TBitmap *Mask = nullptr;
  int TransparentKind = NotTransp;
  TGIFImage *Gif = nullptr;
  std::unique_ptr<TGIFImage> OwnGif;
  bool Fetched = false;
  bool IsError = false;   // the shared error picture stands in
  bool IsDefault = false; // the shared default (pending) picture stands in
  bool Hover = false;
  TImageFormControlObj *MyFormControl = nullptr;
  std::string CacheKey; // the cache entry in use

  TImageObj(TSectionList *List, int APos, const TAttributeList &L);
  TImageObj(TSectionList *List, const TImageObj &Source);
  ~TImageObj() override;
  std::unique_ptr<TFloatingObj> Clone(TSectionList *NewList) const override;

  // Settles the display size while the page is laid out; FontObj is the run at the mark.
  void DrawLogic(TSectionList *List, TCanvas &Canvas, int AvailableWidth, const TFontObj *FontObj);
  // Fetches the picture when it has none yet.
  void FetchImage();
  // The picture the host said would come later is in the image cache now (Loaded), or
  // could not be read: the image takes it, or the error picture.
  void PictureArrived(bool Loaded);
  void SetHover(bool Value);
  void DrawObj(TCanvas &Canvas, int X, int Y) override;
  // The bitmap to draw: nullptr for the error picture.
  TBitmap *GetBitmap();

private:
  void ReleaseCache();
  void ShowErrorPicture();
};

class TPanelObj : public TFloatingObj {
public:
  TSectionList *ParentList = nullptr;
  std::unique_ptr<ThvPanel> Panel;
  std::string SRC, Name, Type;
  bool ShowIt = false;        // placed by the last drawing pass
  int PanelX = 0, PanelY = 0; // where that pass drew it (screen coordinates)

  TPanelObj(TSectionList *List, TCell *Cell, int APos, const TAttributeList &L);
  TPanelObj(TSectionList *List, const TPanelObj &Source);
  ~TPanelObj() override;
  std::unique_ptr<TFloatingObj> Clone(TSectionList *NewList) const override;
  void DrawObj(TCanvas &Canvas, int X, int Y) override;
};

// A PANEL of the page: a rectangle that the host fills. The document keeps its size and
// place; the viewer makes it a window of its own, parked out of sight until drawn.
class ThvPanel {
public:
  TColor Color = clWhite;
  ThvPanel() = default;
  // The copy for printing keeps the size and colour only: it has no window and hides.
  ThvPanel(const ThvPanel &S) : Color(S.Color), FWidth(S.Width()), FHeight(S.Height()) {}
  ThvPanel &operator=(const ThvPanel &) = delete;
  virtual ~ThvPanel() = default;
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  // The current size (a host may have resized the window).
  virtual int Width() const { return FWidth; }
  virtual int Height() const { return FHeight; }
  bool Visible() const { return FVisible; }
  virtual void SetBounds(int L, int T, int W, int H) {
    FLeft = L;
    FTop = T;
    FWidth = W;
    FHeight = H;
  }
  void SetSize(int W, int H) { SetBounds(FLeft, FTop, W, H); }
  virtual void SetVisible(bool Value) { FVisible = Value; }

private:
  int FLeft = -400, FTop = -400, FWidth = 30, FHeight = 20;
  bool FVisible = false;
};

#pragma once
// THtmlPane: the windowed control that shows one HTML page, plain-text file or picture
// file: loads it through the parser, lays it out for its width, paints it double-buffered
// on its paint panel and scrolls it with its scroll bars.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "htmlview/parser.h"
#include "htmlview/section_list.h"
#include "platform/input.h"
#include "platform/paint_box.h"

class QScrollBar;
class QFrame;
class THtmlPane;
class TMetaFilePrinter;
class TPrintDevice;
struct TPrintRun;

enum THTMLBorderStyle { htFocused, htNone, htSingle };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
// htOptions
constexpr unsigned htOverLinksActive = 1, htNoLinkUnderline = 2, htPrintTableBackground = 4,
                   htShowDummyCaret = 8, htShowVScroll = 16;

// The paint panel: its picture is the document at the scroll offset.
class TPaintPanel : public TPaintBox {
  Q_OBJECT
public:
  explicit TPaintPanel(THtmlPane *Viewer);
};

// The vertical scroll bar with a 32-bit range.
class T32ScrollBar {
public:
  explicit T32ScrollBar(QScrollBar *Bar) : FBar(Bar) {}
  void SetParams(int Range, int Page, int Position);
  int Position() const;
  QScrollBar *Bar() const { return FBar; }

private:
  QScrollBar *FBar;
};

class THtmlPane : public QWidget, public TDocumentHost {
  Q_OBJECT
public:
  explicit THtmlPane(QWidget *Parent = nullptr);
  ~THtmlPane() override;

  // Loading.
  void LoadFromFile(const std::string &FileName);
  void LoadTextFile(const std::string &FileName);
  void LoadImageFile(const std::string &FileName);
  // Parses page text held in memory (no file behind it; links resolve from the base folder).
  void LoadFromString(const std::string &Html, const std::string &BaseFolder = "");
  void Reload();
  virtual void Clear();
  const std::string &CurrentFile() const { return FCurrentFile; }
  const std::string &Title() const { return FTitle; }

  // Scrolling.
  int Position() const { return FDocument.YOff; }
  void SetPosition(int Value);
  int DocumentHeight() const { return FDocHeight; }
  int VisibleHeight() const;
  int EncodedPosition() const;
  void RestoreEncodedPosition(int Pos);
  bool ScrollToAnchor(const std::string &Name);
  // Keys and the wheel as the window delivers them.
  void KeyDown(uint16_t Key, TShiftState Shift);
  void MouseWheel(int WheelDelta);

  // Selection.
  void CopyToClipboard();
  int SelectionLength() const;
  std::string SelectedText();
  void SelectAll();
  // Text search from the caret; true when found (the match becomes the selection).
  bool Find(const std::string &Text, bool MatchCase);

  // Published properties.
  TColor DefBackground() const { return FDefBackground; }
  void SetDefBackground(TColor Value);
  THTMLBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(THTMLBorderStyle Value);
  int HistoryMaxCount() const { return FHistoryMaxCount; }
  void SetHistoryMaxCount(int Value);
  const std::string &DefFontName() const { return FFontName; }
  void SetDefFontName(const std::string &Value);
  const std::string &DefPreFontName() const { return FPreFontName; }
  void SetDefPreFontName(const std::string &Value);
  int DefFontSize() const { return FFontSize; }
  void SetDefFontSize(int Value);
  TColor DefFontColor() const { return FFontColor; }
  void SetDefFontColor(TColor Value);
  TColor DefHotSpotColor() const { return FHotSpotColor; }
  void SetDefHotSpotColor(TColor Value);
  TColor DefVisitedLinkColor() const { return FVisitedColor; }
  void SetDefVisitedLinkColor(TColor Value);
  TColor DefOverLinkColor() const { return FOverColor; }
  void SetDefOverLinkColor(TColor Value);
  int VisitedMaxCount() const { return FVisitedMaxCount; }
  void SetVisitedMaxCount(int Value);
  int ImageCacheCount() const { return FImageCacheCount; }
  void SetImageCacheCount(int Value);
  bool NoSelect() const { return FNoSelect; }
  void SetNoSelect(bool Value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  int CharSet() const { return FCharSet; }
  void SetCharSet(int Value);
  int MarginHeight() const { return FMarginHeight; }
  void SetMarginHeight(int Value);
  int MarginWidth() const { return FMarginWidth; }
  void SetMarginWidth(int Value);
  const std::string &ServerRoot() const { return FServerRoot; }
  void SetServerRoot(const std::string &Value);
  double PrintMarginLeft = 2.0, PrintMarginRight = 2.0, PrintMarginTop = 2.0,
         PrintMarginBottom = 2.0;
  unsigned HtOptions() const { return FOptions; }
  void SetHtOptions(unsigned Value);
  bool ViewImages() const { return FViewImages; }
  void SetViewImages(bool Value);

  // Printing: pages FromPage..ToPage (1-based) of the document on the printer chosen for
  // the program, Copies times in one job; the preview renders every page into MFPrinter
  // and returns the page count. Nothing happens while busy or with an empty document.
  // The pane is busy during the run (loads are ignored) and is laid out again afterwards.
  void Print(int FromPage, int ToPage, int Copies = 1);
  int PrintPreview(TMetaFilePrinter &MFPrinter);
  // Header and footer bands: Canvas in screen pixels, W and H the band's size.
  std::function<void(THtmlPane *Sender, TCanvas &Canvas, int NumPage, int W, int H,
                     bool &StopPrinting)>
      OnPrintHeader, OnPrintFooter;

  // Events.
  std::function<void(THtmlPane *Sender, const std::string &SRC)> OnHotSpotCovered;
  std::function<void(THtmlPane *Sender, const std::string &SRC, bool &Handled)> OnHotSpotClick;
  std::function<void(THtmlPane *Sender, const std::string &SRC, TBitmap *&Bitmap, TColor &Color)>
      OnBitmapRequest;
  std::function<void(THtmlPane *Sender, const std::string &SRC, TMemoryStream *&Stream)> OnImageRequest;
  TScriptHandler OnScript;
  TIncludeHandler OnInclude;
  TSoundRequestHandler OnSoundRequest;
  TMetaHandler OnMeta;
  std::function<void(THtmlPane *Sender, int Delay, const std::string &URL)> OnMetaRefresh;
  std::function<void(THtmlPane *Sender)> OnHistoryChange;
  std::function<void(THtmlPane *Sender, bool ProcessingOn)> OnProcessing;
  std::function<void(THtmlPane *Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>
      OnMouseDouble, OnMouseDownEvent, OnMouseUpEvent;
  std::function<void(THtmlPane *Sender, const std::string &Url)> OnRightClick;

  // The document (for printing, tests and the main window's queries).
  TSectionList &Document() { return FDocument; }
  TAnchorList &NameList() { return FNameList; }
  TPaintPanel *PaintPanel() const { return FPaintPanel; }
  QScrollBar *VScrollBar() const { return FVBar; }
  // Lays the document out for the current width and paints it now (tests).
  void LayoutAndPaint();
  int LayoutCount() const { return FLayoutCount; }
  // Messages of layout errors shown since the last load.
  const std::vector<std::string> &LayoutErrors() const { return FLayoutErrors; }
  bool IsBusy() const { return FBusy; }

  // TDocumentHost
  void InvalidateDocument() override;
  int ClientHeight() const override;
  void ShowLayoutError(const std::string &Message) override;

protected:
  virtual void PaintDocument();
  virtual void DocMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void DocMouseMove(TShiftState Shift, int X, int Y);
  virtual void DocMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void FollowLink(const std::string &Url, const std::string &Target);
  virtual std::string ExpandLinkFileName(const std::string &Name) const;

  void resizeEvent(QResizeEvent *) override;
  void keyPressEvent(QKeyEvent *) override;
  void wheelEvent(QWheelEvent *) override;
  void focusInEvent(QFocusEvent *) override;
  void focusOutEvent(QFocusEvent *) override;

private:
  enum class TLoadType { Html = 0, Text = 1, Image = 2 };
  void LoadDocument(const std::string &FileName, TLoadType Type);
  int RunPrint(TPrintDevice &Device, TPrintRun &Run);
  void ResetForLoad();
  void SetBusy(bool Value);
  void LayoutDocument();
  void Relayout();
  void UpdateScrollBars();
  void ScrollTo(int Y);
  void ApplyFonts();
  void PaintBackground(TCanvas &Canvas, const TRect &R);
  void UpdateBorder();
  int DocX(int X) const { return X; }
  int DocY(int Y) const { return Y + FDocument.YOff; }

  TSectionList FDocument;
  TAnchorList FNameList;
  QFrame *FBorderPanel = nullptr;
  TPaintPanel *FPaintPanel = nullptr;
  QScrollBar *FVBar = nullptr;
  QScrollBar *FHBar = nullptr;
  std::unique_ptr<T32ScrollBar> FV32;

  std::string FCurrentFile, FTitle, FBase, FBaseTarget, FBaseFolder;
  TLoadType FFileType = TLoadType::Html;
  bool FBusy = false;
  bool FLayingOut = false;
  int FDocWidth = 0, FDocHeight = 0;
  int FMarginWidthDoc = 10, FMarginHeightDoc = 5;
  int FCaret = 0, FSelAnchor = -1;
  bool FSelecting = false;
  int FHPos = 0;
  int FLayoutCount = 0;
  std::vector<std::string> FLayoutErrors;
  std::vector<std::string> FVisited;
  std::string FHoverUrl;
  int FRefreshDelay = 0;
  std::string FRefreshUrl;

  TColor FDefBackground = clBtnFace;
  THTMLBorderStyle FBorderStyle = htFocused;
  int FHistoryMaxCount = 0;
  std::string FFontName = "Times New Roman", FPreFontName = "Courier New";
  int FFontSize = 12;
  TColor FFontColor = clWindowText, FHotSpotColor = clBlue, FVisitedColor = clPurple,
         FOverColor = clBlue;
  int FVisitedMaxCount = 50;
  int FImageCacheCount = 5;
  bool FNoSelect = false;
  TScrollStyle FScrollBars = ssBoth;
  int FCharSet = DEFAULT_CHARSET;
  int FMarginHeight = 5, FMarginWidth = 10;
  std::string FServerRoot;
  unsigned FOptions = 0;
  bool FViewImages = true;
};

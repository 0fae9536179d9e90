#pragma once
// THtmlPane: the windowed control that shows one HTML page, plain-text file or picture
// file: loads it through the parser, lays it out for its width, paints it double-buffered
// on its paint panel and scrolls it with its scroll bars.
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "htmlview/parser.h"
#include "htmlview/section_list.h"
#include "platform/application.h"
#include "platform/input.h"
#include "platform/paint_box.h"

class QScrollBar;
class QFrame;
class THtmlPane;
class TMetaFilePrinter;
class TPrintDevice;
struct TPrintRun;
class TTimer;
class TImageObj;
class TFormControlObj;
class ThvPanel;
class QDropEvent;

// What lies under the mouse at a right click, for OnRightClick (made for the one call).
class TRightClickParameters {
public:
  std::string URL, Target;
  TImageObj *Image = nullptr;
  int ImageX = 0, ImageY = 0; // inside the image
  std::string ClickWord;
};

// One page of the viewer's own history: where it was scrolled to, and how it was loaded.
struct TPositionObj {
  int Pos = 0;      // encoded position
  int FileType = 0; // 0 HTML, 1 plain text, 2 image
};

// A form submission waiting to be delivered after the click that made it.
struct TFormSubmission {
  std::string Action, Target, EncType, Method;
  std::vector<std::string> Results;
};

enum THTMLBorderStyle { htFocused, htNone, htSingle };
// What a drag does over the pane, for OnDragOver.
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
// htOptions
constexpr unsigned htOverLinksActive = 1, htNoLinkUnderline = 2, htPrintTableBackground = 4,
                   htShowDummyCaret = 8, htShowVScroll = 16;

// The paint panel: its picture is the document at the scroll offset. Drags over it are
// the viewer's (OnDragOver, OnDragDrop).
class TPaintPanel : public TPaintBox {
  Q_OBJECT
public:
  explicit TPaintPanel(THtmlPane *Viewer);

protected:
  void dragEnterEvent(QDragEnterEvent *E) override;
  void dragMoveEvent(QDragMoveEvent *E) override;
  void dragLeaveEvent(QDragLeaveEvent *E) override;
  void dropEvent(QDropEvent *E) override;

private:
  bool DragOver(QDropEvent *E, TDragState State);
  THtmlPane *FViewer;
  bool FDragAccepted = false; // the last answer for the drag over the panel
  QPoint FDragAt;
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
  // The full file name a link names (anchor not included).
  virtual std::string ExpandLinkFileName(const std::string &URL) const;
  // Keys and the wheel as the window delivers them. A key goes to OnKeyDown first, which
  // may take it (Key := 0).
  void KeyDown(uint16_t Key, TShiftState Shift);
  void MouseWheel(int WheelDelta);

  // Selection.
  void CopyToClipboard();
  int SelectionLength() const;
  std::string SelectedText();
  void SelectAll();
  // Text search from the caret; true when found (the match becomes the selection).
  bool Find(const std::string &Text, bool MatchCase);

  // A picture the host answered with WaitStream() (OnImageRequest) has come, under the
  // name it was asked for: the pictures (and the background) waiting for it show it and
  // the page is laid out again keeping its place. False when nothing waited for it.
  bool InsertImage(const std::string &Src, const TMemoryStream &Stream);

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
  std::function<void(THtmlPane *Sender, TShiftState Shift, int X, int Y)> OnMouseMoveEvent;
  // Keys as virtual key codes; OnKeyPress gets the character typed.
  std::function<void(THtmlPane *Sender, uint16_t &Key, TShiftState Shift)> OnKeyDown, OnKeyUp;
  std::function<void(THtmlPane *Sender, char16_t &Key)> OnKeyPress;
  // The keyboard came to the pane (or a control on its page) from elsewhere.
  std::function<void(THtmlPane *Sender)> OnEnter;
  // Drags over the paint panel: Source is the dragged widget (nullptr from another
  // program); Accept starts true; a drop comes only where the last answer accepted.
  std::function<void(THtmlPane *Sender, QObject *Source, int X, int Y, TDragState State,
                     bool &Accept)>
      OnDragOver;
  std::function<void(THtmlPane *Sender, QObject *Source, int X, int Y)> OnDragDrop;
  // PANEL elements: the host fills the panel's window (PanelFrame) and may resize it;
  // it is freed with the document.
  std::function<void(THtmlPane *Sender, const std::string &AName, const std::string &AType,
                     const std::string &SRC, ThvPanel *Panel)>
      OnPanelCreate;
  std::function<void(THtmlPane *Sender, ThvPanel *Panel)> OnPanelDestroy;
  std::function<void(THtmlPane *Sender, TRightClickParameters &Parameters)> OnRightClick;
  std::function<void(THtmlPane *Sender, TImageObj *Obj, TShiftState Shift, int X, int Y)> OnImageOver;
  std::function<void(THtmlPane *Sender, TImageObj *Obj, TMouseButton Button, TShiftState Shift,
                     int X, int Y)>
      OnImageClick;
  std::function<void(THtmlPane *Sender, const std::string &Action, const std::string &Target,
                     const std::string &EncType, const std::string &Method,
                     const std::vector<std::string> &Results)>
      OnFormSubmit;
  // A form control was clicked (before a button resets or submits its form).
  std::function<void(THtmlPane *Sender, TFormControlObj *Obj, const std::string &OnClick)>
      OnObjectClick;

  // Links and the mouse.
  // The hot spot under the mouse ('' when none).
  const std::string &URL() const { return FURL; }
  const std::string &Target() const { return FTarget; }
  // Asks OnHotSpotClick about the current hot spot; true when it handled the click.
  virtual bool FireHotSpotClick();
  // The panel's left double click at a panel point.
  void DocDoubleClick(TShiftState Shift, int X, int Y);
  // The word of word characters at a panel point (also moves the caret there).
  bool WordAtPoint(int X, int Y, std::string &Word, int &First, int &Last);
  bool PanMode() const { return FPanMode; }
  int PanelCursor() const { return FPanelCursor; }
  bool AutoScrolling() const { return FAutoScroll; }
  bool HoverTracking() const;
  bool LinkClicked() const { return FLinkClicked; }
  bool MouseIsDown() const { return FMouseDown; }
  // One step of the auto-scroll timer and of the hover timer (the timers call them).
  void AutoScrollStep();
  void HoverCheck();
  // Visited links, most recent first.
  const std::vector<std::string> &Visited() const { return FVisited; }
  void RememberVisited(const std::string &URL);
  // The viewer's own page history, newest first (off while HistoryMaxCount is 0).
  const std::vector<std::string> &History() const { return FHistory; }
  const std::vector<std::string> &TitleHistory() const { return FTitleHistory; }
  const std::vector<TPositionObj> &PositionHistory() const { return FPositionHistory; }
  int HistoryIndex() const { return FHistoryIndex; }
  void ClearHistory();
  // A form of the page was submitted: delivered through OnFormSubmit once the click that
  // submitted it has been handled, each with its own copy of the strings.
  void SubmitForm(const std::string &Action, const std::string &Target,
                  const std::string &EncType, const std::string &Method,
                  const std::vector<std::string> &Results);
  int PendingSubmissions() const { return int(FSubmissions.size()); }
  // A form control got the input focus: scroll it into view when it is not.
  void ControlEntered(int ControlTop);
  // A drag over the paint panel (panel point): whether it may drop there; the drop.
  bool DocDragOver(QObject *Source, int X, int Y, TDragState State);
  void DocDragDrop(QObject *Source, int X, int Y);

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
  void InvalidateDocumentRect(const TRect &R) override;
  int ClientHeight() const override;
  void ShowLayoutError(const std::string &Message) override;
  std::unique_ptr<TFormWindow> CreateFormWindow(TFormControlObj &Obj) override;
  void FormControlEntered(int DocY) override { ControlEntered(DocY); }
  std::unique_ptr<ThvPanel> CreatePanel() override;

protected:
  virtual void PaintDocument();
  virtual void DocMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void DocMouseMove(TShiftState Shift, int X, int Y);
  virtual void DocMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  // Follows the current hot spot (URL, Target).
  virtual void FollowLink();

  void resizeEvent(QResizeEvent *) override;
  void keyPressEvent(QKeyEvent *) override;
  void keyReleaseEvent(QKeyEvent *) override;
  void wheelEvent(QWheelEvent *) override;
  void focusInEvent(QFocusEvent *) override;
  void focusOutEvent(QFocusEvent *) override;

private:
  enum class TLoadType { Html = 0, Text = 1, Image = 2 };
  void LoadDocument(const std::string &FileName, TLoadType Type);
  int RunPrint(TPrintDevice &Device, TPrintRun &Run);
  // A load from outside: the page left goes into the history when another one came.
  void LoadAndRecord(const std::string &FileName, TLoadType Type);
  void PushHistory(const std::string &File, const std::string &Title, int Type, int Pos);
  void FireMetaRefresh();
  void MarkVisitedLinks();
  std::string LinkFullName(const std::string &Url) const;
  void ExtendSelection(int X, int Y);
  // The character position at a panel point, or the nearest one in a gap between texts.
  int PositionNear(int X, int Y);
  void StartAutoScroll();
  void StopAutoScroll();
  void EndPanMode();
  void DeliverSubmission();
  QPoint PointerInPanel() const;
  void SetPanelCursor(int Cursor);
  void ResetForLoad();
  // The host's picture handlers go to the document when set (it asks files otherwise).
  void PassImageRequests();
  // Focus moved: OnEnter when it came in from outside the pane.
  void FocusMoved(QWidget *Now);
  void SetBusy(bool Value);
  void LayoutDocument();
  void Relayout();
  void UpdateScrollBars();
  void ScrollTo(int Y);
  void ApplyFonts();
  // The document's character set and code page from CharSet.
  void ApplyCharSet();
  void PaintBackground(TCanvas &Canvas, const TRect &R);
  void UpdateBorder();
  int DocX(int X) const { return X; }
  int DocY(int Y) const { return Y + FDocument.YOff; }

  TSectionList FDocument;
  TAnchorList FNameList;
  QFrame *FBorderPanel = nullptr;
  TPaintPanel *FPaintPanel = nullptr;
  // What the next paint must draw: everything, or only FDamage (an animation's frame).
  bool FDamageAll = true;
  TRect FDamage;
  TRect FLastPaintRect;
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
  std::string FURL, FTarget;
  bool FMouseDown = false;
  bool FEntered = false; // the keyboard is with the pane or a control of its page
  QMetaObject::Connection FFocusWatch;
  bool FLinkClicked = false;
  bool FAutoScroll = false;
  bool FPanMode = false;
  int FPanY = 0;
  int FDownX = 0, FDownY = 0; // the last press (the double click's point)
  TShiftState FDownShift = 0;
  int FCursor = crIBeam;      // the control's own cursor over text
  int FPanelCursor = crDefault;
  std::unique_ptr<TTimer> FHoverTimer, FAutoScrollTimer;
  std::vector<std::string> FHistory, FTitleHistory;
  std::vector<TPositionObj> FPositionHistory;
  int FHistoryIndex = 0;
  std::deque<TFormSubmission> FSubmissions;
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

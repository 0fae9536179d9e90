#pragma once
// The document root: the sections of a page with the page-wide settings, lists and the
// building state the parser hands over.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "htmlview/cell.h"
#include "htmlview/form_controls.h"
#include "platform/encoding.h"
#include "platform/streams.h"

class TBitmap;
class TTimer;
class TImageObj;
class TPanelObj;
class ThtmlForm;
class TFormControlObj;
class TMapItem;
class TGIFImage;
class ThvPanel;

// Anchor names (upper case) with the section that holds each; the first of a name wins.
class TAnchorList {
public:
  // False (nothing stored) when the name is already there.
  bool Add(const std::string &Name, TSectionBase *Section);
  TSectionBase *Find(const std::string &Name) const;
  int Count() const { return int(Names.size()); }
  void Clear() { Names.clear(); }
  const std::map<std::string, TSectionBase *> &Items() const { return Names; }

private:
  std::map<std::string, TSectionBase *> Names;
};

// What the parser is in the middle of when it calls a building operation.
struct TBuildState {
  TFontStyles Style = 0;            // extra style (bold, italic, underline, strike-out)
  TScript SScript = TScript::Normal; // sub/sup state
  bool NoBreak = false;             // inside NOBR or a NOWRAP cell
  ThtmlForm *CurrentForm = nullptr; // the open FORM
};

// The host's picture and panel handlers (set by the viewer).
using TBitmapRequestEvent =
    std::function<void(const std::string &SRC, TBitmap *&Bitmap, TColor &Color)>;
// A stream handed back stays the host's; WaitStream() says "not available yet".
using TImageRequestEvent = std::function<void(const std::string &SRC, TMemoryStream *&Stream)>;
using TExpandNameEvent = std::function<std::string(const std::string &SRC)>;
using TPanelCreateEvent = std::function<void(const std::string &AName, const std::string &AType,
                                             const std::string &SRC, ThvPanel *Panel)>;
using TPanelDestroyEvent = std::function<void(ThvPanel *Panel)>;
using TBackgroundChangeEvent = std::function<void()>;
using TObjectClickEvent = std::function<void(TFormControlObj *Obj, const std::string &OnClick)>;
using TFormSubmitEvent = std::function<void(const std::string &Action, const std::string &Target,
                                            const std::string &EncType, const std::string &Method,
                                            const std::vector<std::string> &Results)>;
// Something to repaint (the viewer's paint panel), with its visible size.
class TDocumentHost {
public:
  virtual ~TDocumentHost() = default;
  virtual void InvalidateDocument() = 0;
  // Repaints R (screen coordinates) only; a host that cannot repaints everything.
  virtual void InvalidateDocumentRect(const TRect &) { InvalidateDocument(); }
  virtual int ClientHeight() const = 0; // for HEIGHT in percent
  // Shows a layout error to the user (an error box with OK).
  virtual void ShowLayoutError(const std::string &Message) = 0;
  // The window control of a form control, parked out of sight; nullptr: pictures only.
  virtual std::unique_ptr<TFormWindow> CreateFormWindow(TFormControlObj &) { return nullptr; }
  // A form control got the keyboard; DocY is the top of its line.
  virtual void FormControlEntered(int DocY) { (void)DocY; }
  // The window of a PANEL, parked out of sight; nullptr: the panel is a record only.
  virtual std::unique_ptr<ThvPanel> CreatePanel();
};

class TSectionList : public TCell {
public:
  static constexpr int MaxFontName = 33;

  // Settings.
  std::string FontName = "Times New Roman";
  std::string PreFontName = "Courier New";
  int FontSize = 12;
  TColor FontColor = clBlack;
  TColor HotSpotColor = clBlue;
  TColor LinkVisitedColor = clPurple;
  TColor LinkActiveColor = clBlue;
  bool LinksActive = false;      // hover colouring (htOverLinksActive)
  bool PrintTableBackground = false;
  bool ShowDummyCaret = false;
  bool LinkUnderline = true;     // not htNoLinkUnderline
  TColor Background = clBtnFace;
  std::string BackgroundBitmapName;
  int Charset = DEFAULT_CHARSET;
  TCodePage CodePage = TCodePage::Windows1252; // how the page's bytes are decoded
  bool ShowImages = true;
  bool Printing = false;
  int PageBottom = 0; // while printing
  int PageAreaHeight = 0;
  int PageHeight() const { return PageAreaHeight; }
  // Layout bookkeeping: a cell's minimum and maximum widths and its measured height are
  // kept for the layout pass that found them, so nested tables cost what their content
  // costs. Measuring is set while cells are laid out only to learn their heights.
  uint32_t LayoutPass = 0;
  bool InLayout = false;
  bool Measuring = false;
  int YOff = 0;
  int SelB = 0, SelE = -1;
  // Counts the documents this list has held: an event handler that loaded a page shows
  // as a change, and whatever belonged to the old page must not be touched.
  uint32_t Generation = 0;
  // The drawing covers only part of the panel (an animation frame): controls keep their
  // places.
  bool PartialDraw = false;
  // The cell whose sections are being drawn (the document itself outside tables).
  TCell *DrawingCell = nullptr;
  TDocumentHost *Host = nullptr;

  // Host handlers.
  TBitmapRequestEvent OnBitmapRequest;
  TImageRequestEvent OnImageRequest;
  TExpandNameEvent OnExpandName;
  TPanelCreateEvent OnPanelCreate;
  TPanelDestroyEvent OnPanelDestroy;
  TBackgroundChangeEvent OnBackgroundChange;
  TObjectClickEvent OnObjectClick;
  TFormSubmitEvent OnFormSubmit;

  // Lists (not owning unless said).
  std::vector<std::unique_ptr<ThtmlForm>> HtmlFormList; // owned
  std::vector<TFormControlObj *> FormControlList;
  std::vector<TPanelObj *> PanelList;
  std::vector<TFontObj *> LinkList;
  std::vector<TImageObj *> ImageList; // every picture of the document
  std::vector<std::unique_ptr<TMapItem>> MapList; // owned
  std::vector<TImageObj *> AnimList;  // animated pictures
  std::map<std::string, std::vector<TImageObj *>> PendingList; // pictures by upper-cased name
  TAnchorList *NameList = nullptr;    // the viewer's anchors

  // Building state, set by the parser before each building call.
  TBuildState Build;

  // Hover state.
  TFontObj *ActiveLink = nullptr;
  TImageObj *ActiveImage = nullptr;

  // Background picture: taken from the image cache under BackgroundKey (one use, given
  // back when the document is cleared), or pending at the host.
  TBitmap *BackgroundBitmap = nullptr;
  TBitmap *BackgroundMask = nullptr;
  bool BitmapLoaded = false;
  std::string BackgroundKey;
  bool BackgroundPending = false;

  explicit TSectionList(TDocumentHost *AHost = nullptr);
  // The copy for printing: same settings, copied sections.
  TSectionList(const TSectionList &Source, TDocumentHost *AHost);
  ~TSectionList() override;

  // Frees everything but the settings.
  void Clear() override;
  void SetFonts(const std::string &Name, const std::string &PreName, int Size, TColor Color,
                TColor HotSpot, TColor Visited, TColor ActiveColor, TColor ABackground,
                bool HoverEnabled);
  void SetBackground(TColor ABackground);
  void SetBackgroundBitmap(const std::string &Name);
  int GetSectionTop(int Index) const;

  // Document layout for Width (the viewer's entry); returns the height.
  int DoLogic(TCanvas &Canvas, int Y, int Width, int &ScrollWidth, int &Curs);
  int DrawLogic(TCanvas &Canvas, int Y, IndentManager &AIMgr, int &MaxWidth, int &Curs) override;
  int Draw(TCanvas &Canvas, const TRect &ARect, int ClipWidth, int X, int Y) override;
  bool GetURL(TCanvas &Canvas, int X, int Y, TUrlTarget &UrlTarget,
              TFormControlObj *&FormControl) override;
  // Selection copy of SelB..SelE.
  void CopyToClipboardA();
  std::string SelectedText(); // the text the copy would put on the clipboard (bytes)
  // The document Y of an anchor, -1 when the name is unknown.
  int AnchorY(const std::string &Name) const;
  void SetYOffset(int Y);
  // Window controls where the last full drawing placed them; the others hidden.
  void PlaceFormControls();
  void CancelActives();
  // The control that has the input in the viewer's window is one of this page's.
  bool ActiveControlIsMine() const;
  // True inside SelB..SelE, Count = characters to the next selection boundary.
  bool IsInSelection(int Pos, int &Count) const;
  // Advances animated pictures (the 50 ms tick).
  void AnimationTick();
  bool HasAnimations() const { return !AnimList.empty(); }

  // Pictures: the bitmap for a name (nullptr when none).
  TBitmap *GetTheBitmap(const std::string &Name, int &Transparent, bool &Pending,
                        bool &FromCache, TBitmap *&Mask, TGIFImage *&Gif);
  TBitmap *GetBackgroundBitmap();
  // The name a picture's SRC is asked for by: the viewer's full file name when pictures
  // come from files, the SRC itself when the host answers for them.
  std::string ImageRequestName(const std::string &Src) const;
  // A picture the host reported as pending has come (Name as it was asked for): pictures
  // and the background waiting for it take it. False when nothing waited for it; the
  // document must be laid out again after a true.
  bool InsertImage(const std::string &Name, const TMemoryStream &Stream);
  // Decodes page bytes for measuring and drawing.
  std::u16string Decode(std::string_view Bytes) const { return DecodeText(Bytes, CodePage); }

  // Total laid-out height from the last DoLogic.
  int DocHeight = 0;
  std::unique_ptr<TTimer> Timer; // the 50 ms animation timer

private:
  void ClearLists();
  void ReleaseBackground();
  // Empties the lists that runs and pictures leave when freed, before all go at once.
  void ForgetRunsAndPictures();
};

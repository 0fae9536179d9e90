#pragma once
// TFieldFrm: the main window, a shell around the topic pages. MainPC holds one sheet per
// topic (tabs hidden) and the start-up sheet; the splitter separates it from the text pane
// and its toolbar; the status bar carries the pictures' read-out and the long hints. The
// pages (page_registry.cpp) build their controls on their sheets and own their state and
// engines; the window switches topics, routes the shared menus (Field, Graph, Speed) and
// the timer to them, and tells them when to refresh, show, hide and stop.
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/jump_manager.h"
#include "app/page_host.h"
#include "app/speed_button_kind.h"
#include "app/topic_page.h"
#include "app/topic_table.h"
#include "app/viewer_kind.h"
#include "platform/bitmap.h"
#include "platform/printer.h"
#include "platform/timer.h"

class QAction;
class QLabel;
class QMenu;
class QStackedWidget;
class THelpFrm;
class TSplitterBar;
class TWindowGoneFilter;

// The text toolbar's buttons: glyph above caption.
constexpr int ViewerButtonWidth = 48, ViewerButtonHeight = 38;

// The status bar with its panels: panel 0 has a width of its own (0 hides it), the
// last panel takes the rest.
class TStatusBarPanels : public QWidget {
  Q_OBJECT
public:
  explicit TStatusBarPanels(QWidget *Parent = nullptr);
  void SetPanelText(int Index, const std::string &Text);
  std::string PanelText(int Index) const;
  void SetPanelWidth(int Index, int Width);
  int PanelWidth(int Index) const;

private:
  std::array<QLabel *, 2> Panels{};
  int Panel0Width = 50;
};

// The screen the window fits itself to (a test may give its own).
struct TScreenGeometry {
  int Width = 0, Height = 0;
  int WorkLeft = 0, WorkTop = 0, WorkWidth = 0, WorkHeight = 0;
};

struct TFieldFrmOptions {
  std::optional<TScreenGeometry> Screen;
  std::string ProgramDir; // empty: the folder of the executable
};

class TFieldFrm : public QMainWindow, public TPageHost {
  Q_OBJECT
public:
  explicit TFieldFrm(const TFieldFrmOptions &Options = {});
  ~TFieldFrm() override;

  // ---- Sheets of MainPC, in their order ----
  QStackedWidget *MainPC = nullptr;
  QWidget *AlphaTab = nullptr, *FieldTab = nullptr, *ThreeDTab = nullptr, *MagTab = nullptr,
          *SplashTab = nullptr, *EDefTab = nullptr, *MagDefTab = nullptr, *HelixTab = nullptr,
          *MillikanTab = nullptr, *OrbitTab = nullptr, *ProjectileTab = nullptr,
          *BinOrbitTab = nullptr, *Alpha2Tab = nullptr, *JJTab = nullptr, *BILtab = nullptr,
          *MotorTab = nullptr, *DynaTab = nullptr, *LenzTab = nullptr, *MSTab = nullptr;
  QWidget *Sheet(TSheet S) const { return Sheets[size_t(S)]; }
  // The sheet shown, as a TSheet.
  TSheet ActiveSheet() const override;
  QLabel *CollagePic = nullptr;

  TSplitterBar *Splitter1 = nullptr;
  QWidget *ViewerPanel = nullptr;
  QWidget *Panel5 = nullptr;
  TToolbarButton *FwdBtn = nullptr, *BackBtn = nullptr, *IndexBtn = nullptr,
                 *PrintBtn = nullptr, *CopyBtn = nullptr, *FontBtn = nullptr;
  QMenu *FontPopUp = nullptr;
  std::array<QAction *, 4> FontItems{}; // "8 point" .. "14 point", Tag 8..14
  TViewerPane *Viewer = nullptr;
  TStatusBarPanels *StatusBar = nullptr;
  TTimer Timer1;
  TPrintDialog PrintDlg;

  // ---- Main menu ----
  QMenu *File1 = nullptr, *Topics1 = nullptr, *Field1 = nullptr, *Graph1 = nullptr,
        *View1 = nullptr, *Speed1 = nullptr, *Help1 = nullptr;
  QAction *PrintTopic1 = nullptr, *Exit1 = nullptr;
  // Topics, in menu order; each item's Tag (QAction::data) is its topic number.
  std::vector<QAction *> TopicItems;
  QAction *AlphaScattering1Item = nullptr, *AlphaScattering2Item = nullptr,
          *DCMotorItem = nullptr, *ElectricDeflectionItem = nullptr,
          *MagneticDeflection1Item = nullptr, *MagneticDeflection2Item = nullptr,
          *DynamoItem = nullptr, *ElectricFieldItem = nullptr, *ConductorForceItem = nullptr,
          *MagneticFieldsItem = nullptr, *MassSpectrometerItem = nullptr,
          *ProjectileItem = nullptr, *OilDropItem = nullptr, *PlanetaryOrbits1Item = nullptr,
          *PlanetaryOrbits2Item = nullptr, *ThomsonItem = nullptr, *InductionItem = nullptr;
  QAction *TopicItem(int Topic) const;
  QMenu *ContourResolution1 = nullptr;
  QAction *ContourLow1 = nullptr, *ContourMedium1 = nullptr, *ContourHigh1 = nullptr; // Tag 10, 20, 30
  QAction *ShowArrows1 = nullptr, *DeleteFieldLines1 = nullptr, *DeleteContours1 = nullptr,
          *ReverseCurrent1 = nullptr, *FieldCopy1 = nullptr, *FieldPrint1 = nullptr;
  QAction *GraphCopy1 = nullptr, *GraphPrint1 = nullptr;
  QMenu *TextBackground1 = nullptr;
  std::array<QAction *, 4> BackgroundItems{}; // white, pale yellow, blue/gray, sand: Tag 0..3
  QAction *SetAnimationSpeed1 = nullptr, *DoubleRotation1 = nullptr;
  QAction *SearchForHelpOn1 = nullptr, *Contents1 = nullptr, *About1 = nullptr;

  // ---- State of the window ----
  int CurrentTopic = 0;
  LongBool Busy;
  TJumpManager History;
  LongBool SplashShown = true;
  // The folder of the text pages, with a trailing '/'. Its case is kept: the names
  // inside it are resolved case-insensitively, and comparisons upper-case both sides.
  std::string HTMLDir;
  std::array<int, PageWidthCount> PageWidths{};

  // ---- Topic pages, in the registry's order, and the page of each sheet ----
  std::vector<std::unique_ptr<TTopicPage>> Pages;
  // The page of a sheet, or nullptr (its sheet shows its background).
  TTopicPage *PageOfSheet(TSheet S) const { return PageBySheet[size_t(S)]; }
  TTopicPage *ActivePage() const { return PageOfSheet(ActiveSheet()); }
  // Puts Page in the place of the page that serves Sheets (tests put a page of their own
  // there); that page goes.
  void InstallPage(std::unique_ptr<TTopicPage> Page, std::initializer_list<TSheet> Sheets);

  // ---- TPageHost ----
  QWidget *SheetWidget(TSheet S) const override { return Sheet(S); }
  void ShowSheet(TSheet S, int Panel0Width = -1) override;
  void SetStatusText(int Panel, const std::string &Text) override;
  std::string StatusText(int Panel) const override;
  TPrintDialog &PrintDialog() override { return PrintDlg; }
  LongBool &BusyFlag() override { return Busy; }
  int ShownTopic() const override { return CurrentTopic; }
  QAction *MenuItem(TMenuItem Item) const override { return MenuItems[size_t(Item)]; }
  TTimer &PageTimer() override { return Timer1; }

  // ---- Handlers ----
  void FormCreate();
  void FitToScreen();
  void FitToScreen(const TScreenGeometry &Geometry);
  // The screen and its work area: the options' when given, else the real screen's.
  TScreenGeometry ScreenGeometry() const;
  void FormShow();
  void FormCloseQuery(bool &CanClose);
  void FormKeyDown(uint16_t &Key);
  void AppHint();
  void AppIdle(bool &Done);
  void DoTopicChange(QAction *Sender);
  void ShowTopicPage(int Topic);
  void SetTopicCaption(int Topic);
  void ApplyPageWidth();
  void StorePageWidth();
  void Splitter1Moved();
  void Topics1Click();
  void IndexBtnClick();
  // "forward" and "back": Back is true for the back button.
  void FwdBtnClick(bool Back);
  void FontPopUpPopup();
  void SetViewerBackground(int Tag);
  void Textbackground1Click();
  void HelpSearchClick();
  void HelpContentsClick();
  void AboutClick();
  // "Print  topic.." and the text toolbar's "print": the text's print preview.
  void Printpreview1Click();
  // A shared menu drops, or one of its items is chosen: the active page acts.
  void SharedMenuPopup(TSharedMenu Menu);
  void SharedMenuClick(TMenuItem Item);
  // A link of the text pane that starts with the pound sign (its name follows): the
  // page that knows a preset of that name applies it; an unknown name does nothing.
  void ApplyPreset(const std::string &Name);
  // Every page hears why the pages stop.
  void StopPages(TStopCause Cause);
  // A click on a link of the text pane: "$name" pops up a picture of the images folder,
  // a pound sign and a name applies a field preset, any other link is recorded in the
  // history and followed by the pane; a link into another topic's page switches topic.
  void ViewerHotSpotClick(const std::string &SRC, bool &Handled);
  // True when the page (or picture) a followed link names is there to be loaded.
  bool LinkTargetExists(const std::string &SRC) const;
  void ShowBigPicture(const std::string &File);
  void ViewerMouseUp();
  // A right click in the text pane: over a picture, the picture menu drops at the mouse.
  void ViewerRightClick(TRightClickParameters &Parameters);
  void CopyImage1Click();
  QMenu *PicPopUp = nullptr;
  QAction *CopyImage1 = nullptr; // "Copy picture to clipboard"
  // A copy of the picture under the mouse at the last right click (none otherwise).
  std::unique_ptr<TBitmap> RightClickImage;
  QSize LastBigPicSize; // size of the last picture pop-up
  // Loads a text page; a missing file is reported in a message box, never thrown on.
  void LoadViewerPage(const std::string &FileName);

  // Width of the page control (the left side).
  int MainPCWidth() const { return FMainPCWidth; }
  void SetMainPCWidth(int W);
  // The help window, created on the first request for help.
  THelpFrm *HelpWindow() const { return FHelp.get(); }
  // True after the user agreed to close: the window closes once no loop runs.
  bool CloseConfirmed() const { return FCloseConfirmed; }
  // The window system took the window away without a close request (its native window
  // was destroyed): there is nobody left to ask, so the window closes as after "Yes", once
  // no loop runs.
  void NativeWindowLost();
  bool Shown() const { return FShownOnce; }
  // Called once, after the first paint of the window (start-up timing).
  std::function<void()> OnFirstPaint;
  // Called when the window has closed (the program's main block ends the message loop).
  std::function<void()> OnClosed;

protected:
  void showEvent(QShowEvent *E) override;
  void closeEvent(QCloseEvent *E) override;
  bool eventFilter(QObject *Watched, QEvent *E) override;

private:
  void BuildSheets();
  void BuildViewerPanel();
  void BuildMenus();
  void LayoutClient();
  void CentreCollage();
  void BuildPages();
  void ReleaseCollage();
  bool HandleHelp(int Command, int Data, const std::string &Keyword);
  THelpFrm &EnsureHelp();

  TFieldFrmOptions Options;
  std::array<QWidget *, SheetCount> Sheets{};
  std::array<TTopicPage *, SheetCount> PageBySheet{};
  std::array<QAction *, MenuItemCount> MenuItems{};
  QWidget *Client = nullptr;
  int FMainPCWidth = 465;
  bool FShownOnce = false;
  bool FPainted = false;
  bool FCloseConfirmed = false;
  bool FClosePending = false;
  std::unique_ptr<THelpFrm> FHelp;
  // Watches for the help window's native window being destroyed from outside.
  std::unique_ptr<TWindowGoneFilter> FHelpGone;
  void DropHelp();
  friend class TFormClient;
};

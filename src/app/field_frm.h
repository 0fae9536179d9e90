#pragma once
// TFieldFrm: the main window. MainPC holds one sheet per topic (tabs hidden) and the
// start-up sheet; the splitter separates it from the text pane and its toolbar; the
// status bar carries the pictures' read-out and the long hints. The page controllers
// build the controls of their sheets; this window owns them, the engines and the
// topic state, and tells the controllers when to refresh, show, hide, copy and print.
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/jump_manager.h"
#include "app/speed_button_kind.h"
#include "app/topic_page.h"
#include "app/topic_table.h"
#include "app/viewer_kind.h"
#include "platform/bitmap.h"
#include "platform/printer.h"
#include "platform/timer.h"
#include "sim/field_plot.h"

class QAction;
class QLabel;
class QMenu;
class QStackedWidget;
class THelpFrm;
class TSplitterBar;

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

class TFieldFrm : public QMainWindow {
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
  TSheet ActiveSheet() const;
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

  // ---- Unit state of the main window ----
  int AlphaEnergy = 5;
  int CurrentCharge = 1;
  int CurrentTopic = 0;
  std::unique_ptr<TBitmap> DragBackground;
  LongBool Busy;
  TJumpManager History;
  int BDefTilt = -30, BDefTurn = -15;
  int HelixTilt = -20, HelixTurn = 25;
  int Field3DTilt = -30, Field3DTurn = -30;
  int MouseMode = 0;
  int MillikanClock = 0;
  int MillikanTimeScale = 1;
  int OrbitScale = 100;
  int OrbitOriginX = 200, OrbitOriginY = 200;
  int BodyScale = 30;
  int BodyOriginX = 200, BodyOriginY = 200;
  LongBool FreshCell = true;
  LongBool SplashShown = true;
  int MotorStep = 2;
  int DynamoStep = 3;
  // The folder of the text pages, with a trailing '/'. Its case is kept: the names
  // inside it are resolved case-insensitively, and comparisons upper-case both sides.
  std::string HTMLDir;
  std::array<int, PageWidthCount> PageWidths{};
  std::unique_ptr<TFieldPlot> FieldPlot;

  // ---- Page controllers (nullptr: the page is not built; its sheet shows its background) ----
  std::unique_ptr<TTopicPage> FieldPage;      // FieldTab and ThreeDTab
  std::unique_ptr<TTopicPage> ProjectilePage; // ProjectileTab
  // The controller of a sheet, or nullptr.
  TTopicPage *PageOfSheet(TSheet S) const;
  TTopicPage *ActivePage() const { return PageOfSheet(ActiveSheet()); }
  // The dynamo page's double-rotation toggle, once that page exists; the Speed menu's
  // "Double rotation" shows and toggles it.
  QPointer<TKitSpeedButton> DRotBtn;

  // ---- Handlers ----
  void FormCreate();
  void FitToScreen();
  void FitToScreen(const TScreenGeometry &Geometry);
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
  void SpeedMenuPopup();
  void DoubleRotationClick();
  // A link of the text pane that starts with the pound sign (its name follows): applies
  // the field page's preset of that name; an unknown name does nothing.
  void ApplyFieldPreset(const std::string &Name);
  // A click on a link of the text pane: "$name" pops up a picture of the images folder,
  // a pound sign and a name applies a field preset, any other link is recorded in the
  // history and followed by the pane; a link into another topic's page switches topic.
  void ViewerHotSpotClick(const std::string &SRC, bool &Handled);
  void ShowBigPicture(const std::string &File);
  void ViewerMouseUp();
  QSize LastBigPicSize; // size of the last picture pop-up
  void FieldCopyClick();
  void FieldPrintClick();
  void GraphCopyClick();
  void GraphPrintClick();
  // Loads a text page; a missing file is reported in a message box, never thrown on.
  void LoadViewerPage(const std::string &FileName);

  // Width of the page control (the left side).
  int MainPCWidth() const { return FMainPCWidth; }
  void SetMainPCWidth(int W);
  // The help window, created on the first request for help.
  THelpFrm *HelpWindow() const { return FHelp.get(); }
  // True after the user agreed to close: the window closes once no loop runs.
  bool CloseConfirmed() const { return FCloseConfirmed; }
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
  void ActivateSheet(TSheet S, int Panel0Width);
  void ReleaseCollage();
  bool HandleHelp(int Command, int Data, const std::string &Keyword);
  THelpFrm &EnsureHelp();

  TFieldFrmOptions Options;
  std::array<QWidget *, SheetCount> Sheets{};
  QWidget *Client = nullptr;
  int FMainPCWidth = 465;
  bool FShownOnce = false;
  bool FPainted = false;
  bool FCloseConfirmed = false;
  bool FClosePending = false;
  std::unique_ptr<THelpFrm> FHelp;
  friend class TFormClient;
};

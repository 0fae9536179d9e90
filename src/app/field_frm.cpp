#include "app/field_frm.h"

#include <QAction>
#include <QCursor>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>

#include "app/forms/about_frm.h"
#include "app/forms/big_pic_frm.h"
#include "app/forms/help_frm.h"
#include "app/forms/print_preview_frm.h"
#include "app/forms/splash_frm.h"
#include "app/page_kit.h"
#include "app/page_registry.h"
#include "app/topic_page.h"
#include "app/window_gone.h"
#include "htmlview/doc_images.h"
#include "htmlview/gif_image.h"
#include "htmlview/html_utils.h"
#include "htmlview/image_cache.h"
#include "htmlview/jpeg_reader.h"
#include "platform/application.h"
#include "platform/classic_style.h"
#include "platform/clipboard.h"
#include "platform/files.h"
#include "platform/graphic.h"
#include "platform/qt_bridge.h"
#include "sim/shared_constants.h"
#include "widgets/kit_gif.h"

// ---- Status bar ----

TStatusBarPanels::TStatusBarPanels(QWidget *Parent) : QWidget(Parent) {
  auto *Row = new QHBoxLayout(this);
  Row->setContentsMargins(2, 2, 2, 2);
  Row->setSpacing(2);
  for (size_t I = 0; I < Panels.size(); ++I) {
    Panels[I] = new QLabel(this);
    Panels[I]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panels[I]->setTextFormat(Qt::PlainText);
    Panels[I]->setMinimumWidth(0);
    Row->addWidget(Panels[I], I + 1 == Panels.size() ? 1 : 0);
  }
  Panels[0]->setFixedWidth(Panel0Width);
  setFixedHeight(fontMetrics().height() + 8);
}

void TStatusBarPanels::SetPanelText(int Index, const std::string &Text) {
  if (Index >= 0 && Index < int(Panels.size())) Panels[size_t(Index)]->setText(ToQString(Text));
}

std::string TStatusBarPanels::PanelText(int Index) const {
  if (Index < 0 || Index >= int(Panels.size())) return {};
  return FromQString(Panels[size_t(Index)]->text());
}

void TStatusBarPanels::SetPanelWidth(int Index, int Width) {
  if (Index != 0) return; // the last panel takes what is left
  Panel0Width = Width < 0 ? 0 : Width;
  Panels[0]->setFixedWidth(Panel0Width);
  Panels[0]->setVisible(Panel0Width > 0);
}

int TStatusBarPanels::PanelWidth(int Index) const {
  if (Index == 0) return Panel0Width;
  if (Index == 1) return Panels[1]->width();
  return 0;
}

// ---- Splitter and the client area ----

// The narrowest the splitter leaves either side: a toolbar button and the toolbar's margins.
constexpr int MinPageWidth = PageButtonWidth + 4;
constexpr int MinViewerWidth = ViewerButtonWidth + 4;

class TSplitterBar : public QWidget {
public:
  TSplitterBar(TFieldFrm &AForm, QWidget *Parent) : QWidget(Parent), Form(AForm) {
    setCursor(Qt::SplitHCursor);
  }

protected:
  void mousePressEvent(QMouseEvent *E) override {
    if (E->button() != Qt::LeftButton) return;
    Dragging = true;
    GrabX = int(E->globalPosition().x());
    StartWidth = Form.MainPCWidth();
  }
  void mouseMoveEvent(QMouseEvent *E) override {
    if (!Dragging) return;
    // Each side keeps room for one whole button of its toolbar.
    int Room = static_cast<QFrame *>(parentWidget())->contentsRect().width() - width();
    int W = StartWidth + int(E->globalPosition().x()) - GrabX;
    W = std::max(MinPageWidth, std::min(W, Room - MinViewerWidth));
    Form.SetMainPCWidth(W);
  }
  void mouseReleaseEvent(QMouseEvent *E) override {
    if (!Dragging || E->button() != Qt::LeftButton) return;
    Dragging = false;
    Form.Splitter1Moved();
  }

private:
  TFieldFrm &Form;
  bool Dragging = false;
  int GrabX = 0, StartWidth = 0;
};

// MainPC aligned left, the 6-pixel splitter, the viewer panel filling the rest, inside
// the window's sunken client edge.
class TFormClient : public QFrame {
public:
  TFormClient(TFieldFrm &AForm) : Form(AForm) { setFrameStyle(QFrame::Panel | QFrame::Sunken); }

protected:
  void resizeEvent(QResizeEvent *) override { Form.LayoutClient(); }

private:
  TFieldFrm &Form;
};

namespace {

constexpr int SplitterWidth = 6;

const char *const SheetNames[SheetCount] = {
    "AlphaTab",    "FieldTab",      "ThreeDTab",   "MagTab",    "SplashTab", "EDefTab",
    "MagDefTab",   "HelixTab",      "MillikanTab", "OrbitTab",  "ProjectileTab",
    "BinOrbitTab", "Alpha2Tab",     "JJTab",       "BILtab",    "MotorTab",  "DynaTab",
    "LenzTab",     "MSTab"};

int TagOf(const QAction *A) { return A ? A->data().toInt() : 0; }

QImage GlyphImage(const char *Name) { return QImage(QString(":/app/glyphs/%1.png").arg(Name)); }

} // namespace

// ---- The window ----

TFieldFrm::TFieldFrm(const TFieldFrmOptions &AOptions) : Options(AOptions) {
  setObjectName("FieldFrm");
  setWindowTitle("Vornelle");
  // Menus tick as the class library's do; scroll bars show a thumb that stands out.
  UseClassicStyle();
  Timer1.SetEnabled(false);
  Client = new TFormClient(*this);
  setCentralWidget(Client);
  BuildSheets();
  BuildViewerPanel();
  StatusBar = new TStatusBarPanels;
  auto *Bar = new QStatusBar;
  Bar->setSizeGripEnabled(false);
  Bar->addWidget(StatusBar, 1);
  setStatusBar(Bar);
  BuildMenus();
  qApp->installEventFilter(this);
  FormCreate();
}

TFieldFrm::~TFieldFrm() {
  qApp->removeEventFilter(this);
  Application->OnIdle = nullptr;
  Application->OnHint = nullptr;
  Application->OnHelp = nullptr;
  // The pages use the sheets and the window: they go first, the last built first.
  PageBySheet.fill(nullptr);
  while (!Pages.empty()) Pages.pop_back();
  DropHelp();
}

void TFieldFrm::BuildSheets() {
  MainPC = new QStackedWidget(Client);
  MainPC->setObjectName("MainPC");
  for (int I = 0; I < SheetCount; ++I) {
    auto *S = new QWidget;
    S->setObjectName(SheetNames[I]);
    S->setAutoFillBackground(true);
    QPalette Pal = S->palette();
    Pal.setColor(QPalette::Window, ToQColor(clBtnFace));
    S->setPalette(Pal);
    Sheets[size_t(I)] = S;
    MainPC->addWidget(S);
  }
  AlphaTab = Sheets[0]; FieldTab = Sheets[1]; ThreeDTab = Sheets[2]; MagTab = Sheets[3];
  SplashTab = Sheets[4]; EDefTab = Sheets[5]; MagDefTab = Sheets[6]; HelixTab = Sheets[7];
  MillikanTab = Sheets[8]; OrbitTab = Sheets[9]; ProjectileTab = Sheets[10];
  BinOrbitTab = Sheets[11]; Alpha2Tab = Sheets[12]; JJTab = Sheets[13]; BILtab = Sheets[14];
  MotorTab = Sheets[15]; DynaTab = Sheets[16]; LenzTab = Sheets[17]; MSTab = Sheets[18];
  // The start-up sheet is covered by a white shape with no pen, the collage on top.
  QPalette Pal = SplashTab->palette();
  Pal.setColor(QPalette::Window, Qt::white);
  SplashTab->setPalette(Pal);
  CollagePic = new QLabel(SplashTab);
  CollagePic->setObjectName("CollagePic");
  CollagePic->move(0, 0);
  SplashTab->installEventFilter(this);
  Splitter1 = new TSplitterBar(*this, Client);
  Splitter1->setObjectName("Splitter1");
}

void TFieldFrm::BuildViewerPanel() {
  ViewerPanel = new QWidget(Client);
  ViewerPanel->setObjectName("ViewerPanel");
  auto *Column = new QVBoxLayout(ViewerPanel);
  Column->setContentsMargins(0, 0, 0, 0);
  Column->setSpacing(0);
  // A narrow text pane wraps its toolbar into rows: every caption stays whole.
  Panel5 = MakeToolbar(ViewerPanel, "Panel5");
  auto MakeButton = [&](const char *Name, const char *Caption, const char *Glyph) {
    auto *B = new TToolbarButton(Panel5);
    B->setObjectName(Name);
    B->SetCaption(Caption);
    B->SetGlyph(GlyphImage(Glyph));
    B->SetFlat(true);
    B->SetBounds(0, 0, ViewerButtonWidth, ViewerButtonHeight);
    Panel5->layout()->addWidget(B);
    return B;
  };
  FwdBtn = MakeButton("FwdBtn", "forward", "forward");
  BackBtn = MakeButton("BackBtn", "back", "back");
  IndexBtn = MakeButton("IndexBtn", "index", "index");
  PrintBtn = MakeButton("PrintBtn", "print", "print");
  CopyBtn = MakeButton("CopyBtn", "copy", "copy");
  FontBtn = MakeButton("FontBtn", "font", "font");
  FwdBtn->SetEnabled(false);
  BackBtn->SetEnabled(false);
  IndexBtn->SetEnabled(false);
  FontBtn->SetHint("font size|Set font size");
  FontPopUp = new QMenu(this);
  FontPopUp->setObjectName("FontPopUp");
  for (int I = 0; I < 4; ++I) {
    int Size = 8 + 2 * I;
    QAction *A = FontPopUp->addAction(QString("%1 point").arg(Size));
    A->setData(Size);
    A->setCheckable(true);
    connect(A, &QAction::triggered, this, [this, Size] {
      Viewer->SetDefFontSize(Size);
      Viewer->Reload();
    });
    FontItems[size_t(I)] = A;
  }
  FontBtn->SetDropDownMenu(FontPopUp);
  FontBtn->OnPopup = [this] { FontPopUpPopup(); };
  IndexBtn->OnClick = [this] { IndexBtnClick(); };
  FwdBtn->OnClick = [this] { FwdBtnClick(false); };
  BackBtn->OnClick = [this] { FwdBtnClick(true); };
  CopyBtn->OnClick = [this] { Viewer->CopyToClipboard(); };
  PrintBtn->OnClick = [this] { Printpreview1Click(); };

  Viewer = new TViewerPane(ViewerPanel);
  Viewer->setObjectName("Viewer");
  Viewer->SetDefBackground(clWhite);
  Viewer->SetBorderStyle(htSingle);
  Viewer->SetHistoryMaxCount(0);
  Viewer->SetDefFontName("Arial");
  Viewer->SetDefPreFontName("Courier New");
  Viewer->SetDefFontSize(10);
  Viewer->SetDefFontColor(clBlack);
  Viewer->SetNoSelect(false);
  Viewer->PrintMarginLeft = Viewer->PrintMarginRight = 2.0;
  Viewer->PrintMarginTop = Viewer->PrintMarginBottom = 2.0;
  Viewer->OnHotSpotClick = [this](THtmlPane *, const std::string &SRC, bool &Handled) {
    ViewerHotSpotClick(SRC, Handled);
  };
  Viewer->OnMouseUpEvent = [this](THtmlPane *, TMouseButton, TShiftState, int, int) {
    ViewerMouseUp();
  };
  Viewer->OnRightClick = [this](THtmlPane *, TRightClickParameters &Parameters) {
    ViewerRightClick(Parameters);
  };
  PicPopUp = new QMenu(this);
  PicPopUp->setObjectName("PicPopUp");
  CopyImage1 = PicPopUp->addAction("Copy picture to clipboard");
  CopyImage1->setObjectName("CopyImage1");
  connect(CopyImage1, &QAction::triggered, this, [this] { CopyImage1Click(); });
  Column->addWidget(Panel5);
  Column->addWidget(Viewer, 1);
}

void TFieldFrm::BuildMenus() {
  QMenuBar *Bar = menuBar();
  Bar->setObjectName("MainMenu1");
  auto Item = [](QMenu *M, const char *Caption, int Tag = 0) {
    QAction *A = M->addAction(Caption);
    A->setData(Tag);
    return A;
  };

  File1 = Bar->addMenu("&File");
  PrintTopic1 = Item(File1, "Print  topic..");
  connect(PrintTopic1, &QAction::triggered, this, [this] { Printpreview1Click(); });
  File1->addSeparator();
  Exit1 = Item(File1, "Exit");
  connect(Exit1, &QAction::triggered, this, [this] { close(); });

  Topics1 = Bar->addMenu("&Topics");
  for (int Topic : TopicMenuOrder) {
    QAction *A = Item(Topics1, TopicInfo(Topic).MenuCaption, Topic);
    A->setCheckable(true);
    connect(A, &QAction::triggered, this, [this, A] { DoTopicChange(A); });
    TopicItems.push_back(A);
  }
  AlphaScattering1Item = TopicItem(12); AlphaScattering2Item = TopicItem(1);
  DCMotorItem = TopicItem(15); ElectricDeflectionItem = TopicItem(5);
  MagneticDeflection1Item = TopicItem(6); MagneticDeflection2Item = TopicItem(7);
  DynamoItem = TopicItem(16); ElectricFieldItem = TopicItem(2);
  ConductorForceItem = TopicItem(14); MagneticFieldsItem = TopicItem(4);
  MassSpectrometerItem = TopicItem(18); ProjectileItem = TopicItem(10);
  OilDropItem = TopicItem(8); PlanetaryOrbits1Item = TopicItem(9);
  PlanetaryOrbits2Item = TopicItem(11); ThomsonItem = TopicItem(13);
  InductionItem = TopicItem(17);
  connect(Topics1, &QMenu::aboutToShow, this, [this] { Topics1Click(); });

  Field1 = Bar->addMenu("F&ield");
  ContourResolution1 = Field1->addMenu("Contour resolution");
  ContourLow1 = Item(ContourResolution1, "low", 10);
  ContourMedium1 = Item(ContourResolution1, "medium", 20);
  ContourHigh1 = Item(ContourResolution1, "high", 30);
  for (QAction *A : {ContourLow1, ContourMedium1, ContourHigh1}) A->setCheckable(true);
  ShowArrows1 = Item(Field1, "Show arrows");
  ShowArrows1->setCheckable(true);
  DeleteFieldLines1 = Item(Field1, "Delete field lines");
  DeleteContours1 = Item(Field1, "Delete contours");
  ReverseCurrent1 = Item(Field1, "Reverse current");
  Field1->addSeparator();
  FieldCopy1 = Item(Field1, "Copy");
  FieldPrint1 = Item(Field1, "Print..");
  connect(Field1, &QMenu::aboutToShow, this, [this] { SharedMenuPopup(TSharedMenu::Field); });
  connect(ContourResolution1, &QMenu::aboutToShow, this,
          [this] { SharedMenuPopup(TSharedMenu::ContourResolution); });

  Graph1 = Bar->addMenu("&Graph");
  GraphCopy1 = Item(Graph1, "Copy to clipboard");
  GraphPrint1 = Item(Graph1, "Print");
  connect(Graph1, &QMenu::aboutToShow, this, [this] { SharedMenuPopup(TSharedMenu::Graph); });

  View1 = Bar->addMenu("&View");
  TextBackground1 = View1->addMenu("Text background");
  const char *Backgrounds[4] = {"white", "pale yellow", "blue/gray", "sand"};
  for (int I = 0; I < 4; ++I) {
    QAction *A = Item(TextBackground1, Backgrounds[I], I);
    A->setCheckable(true);
    connect(A, &QAction::triggered, this, [this, I] { SetViewerBackground(I); });
    BackgroundItems[size_t(I)] = A;
  }
  connect(TextBackground1, &QMenu::aboutToShow, this, [this] { Textbackground1Click(); });

  Speed1 = Bar->addMenu("&Speed");
  SetAnimationSpeed1 = Item(Speed1, "Set animation speed");
  DoubleRotation1 = Item(Speed1, "Double rotation");
  DoubleRotation1->setCheckable(true);
  connect(Speed1, &QMenu::aboutToShow, this, [this] { SharedMenuPopup(TSharedMenu::Speed); });

  // The shared items act on the active page.
  MenuItems = {ContourResolution1->menuAction(), ContourLow1, ContourMedium1, ContourHigh1,
               ShowArrows1, DeleteFieldLines1, DeleteContours1, ReverseCurrent1, FieldCopy1,
               FieldPrint1, GraphCopy1, GraphPrint1, SetAnimationSpeed1, DoubleRotation1};
  for (size_t I = 1; I < MenuItems.size(); ++I)
    connect(MenuItems[I], &QAction::triggered, this, [this, I] { SharedMenuClick(TMenuItem(I)); });

  Help1 = Bar->addMenu("&Help");
  SearchForHelpOn1 = Item(Help1, "Search for help on");
  Contents1 = Item(Help1, "Contents");
  Help1->addSeparator();
  About1 = Item(Help1, "About");
  connect(SearchForHelpOn1, &QAction::triggered, this, [this] { HelpSearchClick(); });
  connect(Contents1, &QAction::triggered, this, [this] { HelpContentsClick(); });
  connect(About1, &QAction::triggered, this, [this] { AboutClick(); });
}

QAction *TFieldFrm::TopicItem(int Topic) const {
  for (QAction *A : TopicItems)
    if (TagOf(A) == Topic) return A;
  return nullptr;
}

TSheet TFieldFrm::ActiveSheet() const {
  int I = MainPC->currentIndex();
  return I >= 0 && I < SheetCount ? TSheet(I) : TSheet::Splash;
}

void TFieldFrm::SetMainPCWidth(int W) {
  FMainPCWidth = std::max(0, W);
  LayoutClient();
}

void TFieldFrm::LayoutClient() {
  const QRect R = static_cast<QFrame *>(Client)->contentsRect();
  const int X = R.left(), Y = R.top(), H = R.height();
  // A window narrower than the page's width still shows one whole button of the text
  // toolbar; the page keeps its width for when the window grows.
  const int W = std::max(0, std::min(FMainPCWidth, R.width() - SplitterWidth - MinViewerWidth));
  MainPC->setGeometry(X, Y, W, H);
  Splitter1->setGeometry(X + W, Y, SplitterWidth, H);
  int Left = X + W + SplitterWidth;
  ViewerPanel->setGeometry(Left, Y, std::max(0, R.right() + 1 - Left), H);
}

// ---- Creation ----

void TFieldFrm::FormCreate() {
  // The 8-point dialog font at the screen's pixels per inch.
  QFont F("Arial");
  F.setPixelSize(MulDiv(8, Screen->PixelsPerInch(), 72));
  F.setKerning(false);
  setFont(F);
  PageWidths = InitPageWidths(450, PageWidthCount);
  FitToScreen();
  // The case of the folder is kept: the file system may tell cases apart.
  std::string Dir = Options.ProgramDir.empty() ? ProgramDir() : IncludeTrailingSlash(Options.ProgramDir);
  HTMLDir = Dir + "HTML/";
  // A missing index page is reported and start-up goes on.
  LoadViewerPage(ResolvePath(HTMLDir, "Index.htm"));
  History.Home = UpperCase(ResolvePath(HTMLDir, "INDEX.HTM"));
  Application->OnHint = [this] { AppHint(); };
  Application->OnIdle = [this](bool &Done) { AppIdle(Done); };
  Application->HelpFile = Dir + "Help/Qarvex.hlp";
  Application->OnHelp = [this](int Command, int Data, const std::string &Keyword) {
    return HandleHelp(Command, Data, Keyword);
  };
  MainPC->setCurrentWidget(SplashTab);
  // The oil drop clock's ticks reach every page; the page that runs a clock acts.
  Timer1.SetInterval(100);
  Timer1.OnTimer = [this] {
    for (auto &P : Pages) P->Timer1Timer();
  };
  // The layer's displays are true-colour: they have no palette. Pages read it as they
  // are built.
  NoPalette = Screen->ColorDepth() > 8;
  // Each page builds its sheets, its engine and its start-up picture and labels.
  BuildPages();
  // The start-up collage for the screen size; a missing file leaves it empty.
  std::string Collage =
      ResolvePath(HTMLDir, ScreenMode == 1 ? "images/FSplash640.jpg" : "images/FSplash800.jpg");
  if (FileExists(Collage)) {
    TBitmap Picture;
    if (LoadJpegFile(Collage, Picture)) {
      CollagePic->setPixmap(QPixmap::fromImage(BitmapToImage(Picture)));
      CollagePic->adjustSize();
    }
  }
}

void TFieldFrm::BuildPages() {
  for (const TPageRow &Row : PageRegistry()) {
    std::unique_ptr<TTopicPage> Page = Row.Create(*this);
    if (!Page) continue;
    for (TSheet S : Row.Sheets) PageBySheet[size_t(S)] = Page.get();
    Pages.push_back(std::move(Page));
  }
}

TScreenGeometry TFieldFrm::ScreenGeometry() const {
  if (Options.Screen) return *Options.Screen;
  TScreenGeometry G;
  G.Width = Screen->Width();
  G.Height = Screen->Height();
  G.WorkLeft = Screen->WorkAreaLeft();
  G.WorkTop = Screen->WorkAreaTop();
  G.WorkWidth = Screen->WorkAreaWidth();
  G.WorkHeight = Screen->WorkAreaHeight();
  return G;
}

void TFieldFrm::FitToScreen() { FitToScreen(ScreenGeometry()); }

void TFieldFrm::FitToScreen(const TScreenGeometry &G) {
  if (G.Width > 640) {
    ScreenMode = 2;
    TRect Work = Bounds(G.WorkLeft, G.WorkTop, G.WorkWidth, G.WorkHeight);
    // Centred on the screen, not on the work area.
    if (Work.Width() > 800) Work = Bounds(G.Width / 2 - 400, G.Height / 2 - 300, 800, 600);
    setWindowState(windowState() & ~Qt::WindowMaximized);
    setGeometry(ToQRect(Work));
    SetMainPCWidth(420);
  } else {
    ScreenMode = 1;
    // The work area first: a display without a window manager cannot maximise.
    setGeometry(ToQRect(Bounds(G.WorkLeft, G.WorkTop, G.WorkWidth, G.WorkHeight)));
    setWindowState(windowState() | Qt::WindowMaximized);
    SetMainPCWidth(320);
  }
}

void TFieldFrm::showEvent(QShowEvent *E) {
  QMainWindow::showEvent(E);
  if (FShownOnce) return;
  FShownOnce = true;
  FormShow();
}

void TFieldFrm::FormShow() {
  // Pages centre their pictures in their scroll boxes.
  for (auto &P : Pages) P->FormShown();
  CentreCollage();
  FreeSplashForm();
  Screen->SetCursor(crDefault);
}

void TFieldFrm::CentreCollage() {
  CollagePic->adjustSize();
  CollagePic->move((SplashTab->width() - CollagePic->width()) / 2,
                   (SplashTab->height() - CollagePic->height()) / 2);
}

void TFieldFrm::ReleaseCollage() {
  CollagePic->clear();
  CollagePic->adjustSize();
  SplashShown = false;
}

// ---- Closing ----

void TFieldFrm::FormCloseQuery(bool &CanClose) {
  // Stops a running simulation whatever the answer.
  AbortFlag = true;
  CanClose = MessageDlg("Exit program?", mtConfirmation, mbYes | mbNo) == mrYes;
  if (CanClose && Clipboard().HasPicture() &&
      MessageDlg("The clipboard contains a picture.\rDo you want to leave this for other "
                 "applications?",
                 mtConfirmation, mbYes | mbNo) == mrNo)
    Clipboard().Clear();
}

void TFieldFrm::NativeWindowLost() {
  AbortFlag = true;
  if (!FCloseConfirmed) {
    FCloseConfirmed = true;
    StopPages(TStopCause::Close);
  }
  close();
}

void TFieldFrm::closeEvent(QCloseEvent *E) {
  if (!FCloseConfirmed) {
    bool CanClose = false;
    FormCloseQuery(CanClose);
    if (!CanClose) {
      E->ignore();
      return;
    }
    FCloseConfirmed = true;
    StopPages(TStopCause::Close);
  }
  if (Application->LoopRunning()) {
    // A loop is unwinding inside this window's handlers: close when it has returned.
    E->ignore();
    AbortFlag = true;
    if (!FClosePending) {
      FClosePending = true;
      QPointer<TFieldFrm> Self(this);
      Application->AfterLoops([Self] {
        if (Self) {
          Self->FClosePending = false;
          Self->close();
        }
      });
    }
    return;
  }
  Timer1.SetEnabled(false);
  if (FHelp) FHelp->close();
  E->accept();
  QMainWindow::closeEvent(E);
  if (OnClosed) OnClosed();
}

// ---- Idle time, hints, keys ----

void TFieldFrm::AppHint() { StatusBar->SetPanelText(1, GetLongHint(Application->Hint())); }

void TFieldFrm::AppIdle(bool &Done) {
  const bool Idle = AbortFlag && !Busy;
  // The pages' own buttons ("plot E", "abort", "3D", "zoom", "reset" ...) are theirs to set.
  for (auto &P : Pages) P->UpdateIdleState(Idle);
  const TSheet S = ActiveSheet();
  TTopicPage *Page = ActivePage();
  auto Uses = [Page, S](TSharedMenu M) { return Page && Page->UsesMenu(M, S); };
  Field1->menuAction()->setVisible(Uses(TSharedMenu::Field));
  Graph1->menuAction()->setVisible(Uses(TSharedMenu::Graph));
  BackBtn->SetEnabled(History.CanBack() || Viewer->Position() > 0);
  IndexBtn->SetEnabled(UpperCase(Viewer->CurrentFile()) != History.Home);
  Speed1->menuAction()->setEnabled(Uses(TSharedMenu::Speed));
  Done = true;
}

void TFieldFrm::FormKeyDown(uint16_t &Key) {
  if (Key != VK_F1) return;
  Key = 0;
  int Context = HelpContextOfTopic(CurrentTopic);
  if (Context != 0) Application->HelpContext(Context);
  else Application->HelpCommand(HELP_FINDER, 0);
}

bool TFieldFrm::eventFilter(QObject *Watched, QEvent *E) {
  if (E->type() == QEvent::KeyPress && Watched->isWidgetType()) {
    // The window sees F1 before any of its controls.
    auto *W = static_cast<QWidget *>(Watched);
    auto *K = static_cast<QKeyEvent *>(E);
    if (K->key() == Qt::Key_F1 && W->window() == this) {
      uint16_t Key = VK_F1;
      FormKeyDown(Key);
      if (Key == 0) return true;
    }
  }
  if (Watched == SplashTab && E->type() == QEvent::Resize) CentreCollage();
  if (Watched == Client && E->type() == QEvent::Paint && !FPainted) {
    FPainted = true;
    if (OnFirstPaint) QTimer::singleShot(0, this, [this] { if (OnFirstPaint) OnFirstPaint(); });
  }
  return QMainWindow::eventFilter(Watched, E);
}

// ---- Topics ----

void TFieldFrm::InstallPage(std::unique_ptr<TTopicPage> Page, std::initializer_list<TSheet> Sheets) {
  for (TSheet S : Sheets) {
    TTopicPage *Old = PageOfSheet(S);
    if (!Old) continue;
    for (auto &P : PageBySheet)
      if (P == Old) P = nullptr;
    std::erase_if(Pages, [Old](const std::unique_ptr<TTopicPage> &P) { return P.get() == Old; });
  }
  for (TSheet S : Sheets) PageBySheet[size_t(S)] = Page.get();
  Pages.push_back(std::move(Page));
}

void TFieldFrm::ShowSheet(TSheet S, int Panel0Width) {
  TTopicPage *Old = ActivePage(), *New = PageOfSheet(S);
  if (Old && Old != New) Old->Hidden();
  if (MainPC->currentWidget() != Sheet(S)) {
    // The read-out and the hint belong to the sheet being left.
    StatusBar->SetPanelText(0, "");
    Application->SetHint("");
  }
  MainPC->setCurrentWidget(Sheet(S));
  if (Panel0Width >= 0) StatusBar->SetPanelWidth(0, Panel0Width);
  if (New && New != Old) New->Shown();
}

void TFieldFrm::SetStatusText(int Panel, const std::string &Text) { StatusBar->SetPanelText(Panel, Text); }

std::string TFieldFrm::StatusText(int Panel) const { return StatusBar->PanelText(Panel); }

void TFieldFrm::StopPages(TStopCause Cause) {
  for (auto &P : Pages) P->Stop(Cause);
}

void TFieldFrm::SetTopicCaption(int Topic) {
  if (Topic < 1 || Topic > 18 || Topic == 3) return;
  setWindowTitle(QStringLiteral("Vornelle - ") + ToQString(TopicInfo(Topic).Caption));
}

void TFieldFrm::ApplyPageWidth() {
  int I = PageWidthIndex(ActiveSheet());
  if (I >= 0) SetMainPCWidth(PageWidths[size_t(I)]);
}

void TFieldFrm::StorePageWidth() {
  int I = PageWidthIndex(ActiveSheet());
  if (I >= 0) PageWidths[size_t(I)] = FMainPCWidth;
}

void TFieldFrm::Splitter1Moved() { StorePageWidth(); }

void TFieldFrm::LoadViewerPage(const std::string &FileName) {
  try {
    Viewer->LoadFromFile(FileName);
  } catch (const std::exception &E) {
    // The pane stays blank, holding no file: it never shows another page's text beside the
    // topic that is now on the left, nor brings it back on a reload.
    Viewer->LoadFromString(std::string(), HTMLDir);
    MessageDlg(E.what(), mtError, mbOK);
  }
}

void TFieldFrm::DoTopicChange(QAction *Sender) {
  AbortFlag = true;
  if (SplashShown) ReleaseCollage();
  if (Sender) {
    CurrentTopic = TagOf(Sender);
    const TTopicInfo &T = TopicInfo(CurrentTopic);
    // The page being left stops its loop; the new one refreshes.
    ShowSheet(T.Sheet, T.Panel0Width);
    SetTopicCaption(CurrentTopic);
    ApplyPageWidth();
    if (T.Page) LoadViewerPage(ResolvePath(HTMLDir, T.Page));
  }
  StopPages(TStopCause::TopicMenu);
  History.Clear();
  History.AddJump(ResolvePath(HTMLDir, "Index.htm"), 0, TJumpRoad::Menu);
  FwdBtn->SetEnabled(History.CanForward());
}

void TFieldFrm::ShowTopicPage(int Topic) {
  AbortFlag = true;
  // The oil drop clock stops with its page.
  Timer1.SetEnabled(false);
  StopPages(TStopCause::TopicLink);
  if (SplashShown) ReleaseCollage();
  if (Topic >= 1 && Topic <= 18) {
    const TTopicInfo &T = TopicInfo(Topic);
    ShowSheet(T.Sheet, T.Panel0Width);
  }
  ApplyPageWidth();
  CurrentTopic = Topic;
  SetTopicCaption(Topic);
}

void TFieldFrm::Topics1Click() {
  for (QAction *A : TopicItems) A->setChecked(TagOf(A) == CurrentTopic);
}

// ---- Text pane toolbar and menus ----

void TFieldFrm::IndexBtnClick() {
  AbortFlag = true;
  StopPages(TStopCause::Index);
  LoadViewerPage(ResolvePath(HTMLDir, "index.htm"));
  History.Clear();
  History.Current = 0;
  FwdBtn->SetEnabled(false);
  BackBtn->SetEnabled(false);
}

void TFieldFrm::FwdBtnClick(bool Back) {
  const int P = Viewer->Position();
  TJumpRec J;
  bool Moved = true;
  if (!Back) {
    J = History.Forward();
  } else if (P < 1) {
    History.AddJump(Viewer->CurrentFile(), P, TJumpRoad::Back);
    J = History.Back();
  } else {
    // A long page first goes back to its top; only the next click leaves it.
    Viewer->SetPosition(0);
    Moved = false;
  }
  if (Moved && !J.Name.empty()) {
    LoadViewerPage(J.Name);
    Viewer->SetPosition(J.Position);
    int Topic = TopicOfPage(J.Name, CurrentTopic);
    if (Topic != CurrentTopic) ShowTopicPage(Topic);
  }
  BackBtn->SetEnabled(History.CanBack() || P > 0);
  FwdBtn->SetEnabled(History.CanForward());
}

void TFieldFrm::FontPopUpPopup() {
  for (int I = 0; I < 4; ++I) FontItems[size_t(I)]->setChecked(2 * I + 8 == Viewer->DefFontSize());
}

namespace {
constexpr TColor TextBackgrounds[4] = {0xFFFFFF, 0xBFFFFF, 0xFFEAD9, 0xC1E0FF};
}

void TFieldFrm::SetViewerBackground(int Tag) {
  if (Tag >= 0 && Tag < 4) Viewer->SetDefBackground(TextBackgrounds[Tag]);
}

void TFieldFrm::Textbackground1Click() {
  for (int I = 0; I < 4; ++I)
    BackgroundItems[size_t(I)]->setChecked(Viewer->DefBackground() == TextBackgrounds[I]);
}

void TFieldFrm::SharedMenuPopup(TSharedMenu Menu) {
  if (Menu == TSharedMenu::Speed) {
    // "Double rotation" belongs to a page that has such a toggle.
    DoubleRotation1->setEnabled(false);
    DoubleRotation1->setChecked(false);
  }
  if (TTopicPage *P = ActivePage()) P->MenuPopup(Menu);
}

void TFieldFrm::SharedMenuClick(TMenuItem Item) {
  TTopicPage *P = ActivePage();
  if (!P) return;
  switch (Item) {
  case TMenuItem::FieldCopy: P->CopyPicture(); break;
  case TMenuItem::FieldPrint: P->PrintPicture(); break;
  case TMenuItem::GraphCopy: P->CopyGraph(); break;
  case TMenuItem::GraphPrint: P->PrintGraph(); break;
  default: P->MenuClick(Item); break;
  }
}

void TFieldFrm::ApplyPreset(const std::string &Name) {
  for (auto &P : Pages) {
    if (!P->HasPreset(Name)) continue;
    // The arrangement is shown under its own topic's caption, width and status panel,
    // not beside another topic's text.
    if (PageOfSheet(TopicInfo(CurrentTopic).Sheet) != P.get())
      for (int T = 1; T <= 18; ++T)
        if (T != 3 && PageOfSheet(TopicInfo(T).Sheet) == P.get()) {
          ShowTopicPage(T);
          break;
        }
    P->ApplyPreset(Name);
    return;
  }
}

void TFieldFrm::ViewerHotSpotClick(const std::string &SRC, bool &Handled) {
  // The pound sign of the pages' single-byte text, or as UTF-8.
  auto PoundName = [&SRC](std::string &Name) {
    if (!SRC.empty() && static_cast<unsigned char>(SRC[0]) == 0xA3) Name = SRC.substr(1);
    else if (SRC.rfind("\xC2\xA3", 0) == 0) Name = SRC.substr(2);
    else return false;
    return true;
  };
  std::string Preset;
  if (!SRC.empty() && SRC[0] == '$') {
    ShowBigPicture(ResolvePath(HTMLDir, "images/" + SRC.substr(1)));
    Handled = true;
  } else if (PoundName(Preset)) {
    ApplyPreset(Preset);
    Handled = true;
  } else {
    // The viewer follows the link once this returns. A link to a page that is not there
    // only brings the viewer's error: no history, and the sheet stays with the text.
    Handled = false;
    if (!LinkTargetExists(SRC)) return;
    History.AddJump(Viewer->CurrentFile(), Viewer->Position());
    BackBtn->SetEnabled(History.CanBack());
    FwdBtn->SetEnabled(History.CanForward());
  }
  int Topic = TopicOfPage(SRC, CurrentTopic);
  if (Topic != CurrentTopic) ShowTopicPage(Topic);
}

bool TFieldFrm::LinkTargetExists(const std::string &SRC) const {
  std::string File = Trim(SRC);
  if (auto Hash = File.find('#'); Hash != std::string::npos) File.erase(Hash);
  // A link to an anchor of the page shown stays on that page.
  if (File.empty()) return !Viewer->CurrentFile().empty();
  return FileExists(Viewer->ExpandLinkFileName(File));
}

void TFieldFrm::ShowBigPicture(const std::string &File) {
  std::unique_ptr<TBitmap> Picture;
  if (FileExists(File) && !TPicture::FileFormatDescription(ExtractFileExt(File)).empty()) {
    // A format with a picture class of its own (GIF) loads through that class.
    try {
      TPicture P;
      P.LoadFromFile(File);
      // The text pane's limits hold here too, on the screen it sizes (the declared one
      // grown to cover every frame): its own scan of the file says what it would refuse.
      const bool Gif = dynamic_cast<const TKitGIFImage *>(P.Graphic()) != nullptr;
      if (!Gif || TGIFImage().ScanFromFile(File))
        Picture = std::make_unique<TBitmap>(P.Graphic()->ToBitmap());
    } catch (const Exception &) { Picture.reset(); }
  } else if (FileExists(File)) {
    Picture = LoadImageFromFile(File, false);
  }
  if (!Picture || Picture->Empty()) {
    MessageDlg("Cannot show the picture " + ExtractFileName(File), mtError, mbOK);
    return;
  }
  TBigPicFrm Pop;
  Pop.MagPic->setPixmap(QPixmap::fromImage(BitmapToImage(*Picture)));
  Pop.MagPic->adjustSize();
  LastBigPicSize = Pop.MagPic->size();
  // The window is never too small to see, and lies whole on the work area, its title bar
  // and edges included; a larger picture is cut. Until the window manager has framed the
  // pop-up, the main window's frame tells how wide those are.
  const TScreenGeometry G = ScreenGeometry();
  auto Margins = [](const QWidget &W) {
    const QRect In = W.geometry(), Out = W.frameGeometry();
    return QSize(In.left() - Out.left() + Out.right() - In.right(),
                 In.top() - Out.top() + Out.bottom() - In.bottom());
  };
  Pop.winId();
  const QSize Frame = Margins(Pop).expandedTo(isVisible() ? Margins(*this) : QSize());
  const int FW = Frame.width(), FH = Frame.height();
  const QSize Size =
      Pop.MagPic->size()
          .expandedTo(QSize(TBigPicFrm::MinWidth, TBigPicFrm::MinHeight))
          .boundedTo(QSize(std::max(1, G.WorkWidth - FW), std::max(1, G.WorkHeight - FH)));
  Pop.setFixedSize(Size);
  Pop.move(G.WorkLeft + (G.WorkWidth - Size.width() - FW) / 2,
           G.WorkTop + (G.WorkHeight - Size.height() - FH) / 2);
  Pop.exec();
}

void TFieldFrm::ViewerRightClick(TRightClickParameters &Parameters) {
  // The picture is copied now: the next load frees the document that holds it.
  TBitmap *Bitmap = Parameters.Image ? Parameters.Image->GetBitmap() : nullptr;
  if (Bitmap && !Bitmap->Empty()) RightClickImage = std::make_unique<TBitmap>(*Bitmap);
  else RightClickImage.reset();
  CopyImage1->setEnabled(RightClickImage != nullptr);
  if (RightClickImage) PicPopUp->popup(QCursor::pos());
}

void TFieldFrm::CopyImage1Click() {
  if (RightClickImage) Clipboard().Assign(*RightClickImage);
}

void TFieldFrm::ViewerMouseUp() {
  CopyBtn->SetEnabled(Viewer->SelectionLength() != 0 && CurrentTopic != 0);
}

// ---- Help ----

THelpFrm &TFieldFrm::EnsureHelp() {
  if (!FHelp) {
    FHelp = std::make_unique<THelpFrm>(ExtractFilePath(Application->HelpFile));
    // A help window whose native window was destroyed from outside can never be shown
    // again: it is dropped, and the next request for help makes a new one.
    FHelpGone =
        std::make_unique<TWindowGoneFilter>(FHelp->winId(), [Self = QPointer<TFieldFrm>(this)] {
          if (Self) Self->DropHelp();
        });
    QCoreApplication::instance()->installNativeEventFilter(FHelpGone.get());
  }
  return *FHelp;
}

void TFieldFrm::DropHelp() {
  if (FHelpGone && QCoreApplication::instance())
    QCoreApplication::instance()->removeNativeEventFilter(FHelpGone.get());
  FHelpGone.reset();
  FHelp.reset();
}

bool TFieldFrm::HandleHelp(int Command, int Data, const std::string &Keyword) {
  THelpFrm &H = EnsureHelp();
  switch (Command) {
  case HELP_CONTEXT: H.ShowContext(Data); break;
  case HELP_PARTIALKEY:
  case HELP_KEY: H.ShowSearch(Keyword); break;
  default: H.ShowContents(); break;
  }
  return true;
}

void TFieldFrm::HelpSearchClick() { Application->HelpCommand(HELP_PARTIALKEY, 0); }

void TFieldFrm::HelpContentsClick() { Application->HelpCommand(HELP_FINDER, 0); }

void TFieldFrm::Printpreview1Click() {
  // One run at a time: the pane is busy while it renders or prints.
  if (Viewer->IsBusy()) return;
  try {
    TPrntPrevFrm Preview(this, Viewer);
    Preview.setWindowState(Qt::WindowMaximized);
    Preview.exec();
  } catch (const std::exception &E) {
    MessageDlg(E.what(), mtError, mbOK);
  }
}

void TFieldFrm::AboutClick() {
  TAboutFrm About;
  About.exec();
}

// The viewer control: loading, layout for the width, double-buffered painting through the
// paint panel, scroll bars, keys, wheel, selection and link clicks.
#include "htmlview/html_pane.h"

#include <QApplication>
#include <QCursor>
#include <QDropEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

#include "htmlview/doc_images.h"
#include "htmlview/html_pane_forms.h"
#include "htmlview/html_pane_panels.h"
#include "htmlview/html_utils.h"
#include "htmlview/image_cache.h"
#include "htmlview/url_utils.h"
#include "platform/application.h"
#include "platform/bitmap.h"
#include "platform/files.h"
#include "platform/qt_bridge.h"
#include "platform/timer.h"

namespace {
constexpr int VSmallChange = 16, HSmallChange = 15;
constexpr int HoverInterval = 200, AutoScrollInterval = 100;

bool IsWordChar(char C) {
  const auto U = static_cast<unsigned char>(C);
  return (U >= '0' && U <= '9') || (U >= 'A' && U <= 'Z') || (U >= 'a' && U <= 'z') || U >= 192;
}

// Restores the busy flag and the screen cursor however a load ends.
class TBusyScope {
public:
  explicit TBusyScope(std::function<void(bool)> Set) : FSet(std::move(Set)) {
    FSaved = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
    FSet(true);
  }
  ~TBusyScope() {
    FSet(false);
    Screen->SetCursor(FSaved);
  }

private:
  std::function<void(bool)> FSet;
  TCursor FSaved;
};
} // namespace

TPaintPanel::TPaintPanel(THtmlPane *Viewer) : TPaintBox(Viewer), FViewer(Viewer) {
  setAcceptDrops(true);
}

bool TPaintPanel::DragOver(QDropEvent *E, TDragState State) {
  FDragAt = E->position().toPoint();
  FDragAccepted = FViewer->DocDragOver(E->source(), FDragAt.x(), FDragAt.y(), State);
  return FDragAccepted;
}

void TPaintPanel::dragEnterEvent(QDragEnterEvent *E) {
  // Without a handler nothing is dropped here; with one, the drag is followed even where
  // it may not drop, as the answer can change from point to point.
  if (!FViewer->OnDragOver) {
    E->ignore();
    return;
  }
  const bool Accept = DragOver(E, dsDragEnter);
  E->accept();
  if (!Accept) E->setDropAction(Qt::IgnoreAction);
}

void TPaintPanel::dragMoveEvent(QDragMoveEvent *E) {
  if (DragOver(E, dsDragMove)) E->acceptProposedAction();
  else E->ignore();
}

void TPaintPanel::dragLeaveEvent(QDragLeaveEvent *E) {
  // The drag left: the handler hears of it at the last point it was over.
  if (FViewer->OnDragOver) FViewer->DocDragOver(nullptr, FDragAt.x(), FDragAt.y(), dsDragLeave);
  FDragAccepted = false;
  E->accept();
}

void TPaintPanel::dropEvent(QDropEvent *E) {
  if (!FDragAccepted) {
    E->ignore();
    return;
  }
  FDragAccepted = false;
  const QPoint P = E->position().toPoint();
  E->acceptProposedAction();
  FViewer->DocDragDrop(E->source(), P.x(), P.y());
}

void T32ScrollBar::SetParams(int Range, int Page, int Position) {
  int Max = std::max(0, Range - Page);
  if (FBar->maximum() != Max) FBar->setMaximum(Max);
  if (FBar->pageStep() != std::max(1, Page)) FBar->setPageStep(std::max(1, Page));
  if (FBar->value() != Position) {
    QSignalBlocker B(FBar);
    FBar->setValue(std::clamp(Position, 0, Max));
  }
}

int T32ScrollBar::Position() const { return FBar->value(); }

THtmlPane::THtmlPane(QWidget *Parent) : QWidget(Parent), FDocument(this) {
  // The link, pan and scroll cursors are the viewer's own pictures.
  InstallViewerCursors();
  setFocusPolicy(Qt::StrongFocus);
  FBorderPanel = new QFrame(this);
  FBorderPanel->setFrameShape(QFrame::NoFrame);
  FPaintPanel = new TPaintPanel(this);
  FPaintPanel->Color = FDefBackground;
  FVBar = new QScrollBar(Qt::Vertical, this);
  FVBar->setSingleStep(VSmallChange);
  FVBar->setFocusPolicy(Qt::NoFocus);
  FVBar->hide();
  FHBar = new QScrollBar(Qt::Horizontal, this);
  FHBar->setSingleStep(HSmallChange);
  FHBar->setFocusPolicy(Qt::NoFocus);
  FHBar->hide();
  FV32 = std::make_unique<T32ScrollBar>(FVBar);
  connect(FVBar, &QScrollBar::valueChanged, this, [this](int V) { ScrollTo(V); });
  connect(FHBar, &QScrollBar::valueChanged, this, [this](int V) {
    FHPos = V;
    InvalidateDocument();
  });
  FPaintPanel->OnPaint = [this] { PaintDocument(); };
  FPaintPanel->OnMouseDown = [this](TMouseButton B, TShiftState S, int X, int Y) {
    setFocus();
    DocMouseDown(B, S, X, Y);
  };
  FPaintPanel->OnMouseMove = [this](TShiftState S, int X, int Y) { DocMouseMove(S, X, Y); };
  FPaintPanel->OnMouseUp = [this](TMouseButton B, TShiftState S, int X, int Y) {
    DocMouseUp(B, S, X, Y);
  };
  FPaintPanel->OnMouseWheel = [this](TShiftState, int Delta, int, int, bool &Handled) {
    MouseWheel(Delta);
    Handled = true;
  };
  // The press that came with the double click carries its point.
  FPaintPanel->OnDblClick = [this] { DocDoubleClick(FDownShift, FDownX, FDownY); };
  FDocument.NameList = &FNameList;
  FDocument.OnExpandName = [this](const std::string &S) { return ExpandLinkFileName(S); };
  FDocument.OnFormSubmit = [this](const std::string &Action, const std::string &Target,
                                  const std::string &EncType, const std::string &Method,
                                  const std::vector<std::string> &Results) {
    SubmitForm(Action, Target, EncType, Method, Results);
  };
  FDocument.OnObjectClick = [this](TFormControlObj *Obj, const std::string &OnClick) {
    if (OnObjectClick) OnObjectClick(this, Obj, OnClick);
  };
  FDocument.OnPanelCreate = [this](const std::string &AName, const std::string &AType,
                                   const std::string &SRC, ThvPanel *Panel) {
    if (OnPanelCreate) OnPanelCreate(this, AName, AType, SRC, Panel);
  };
  FDocument.OnPanelDestroy = [this](ThvPanel *Panel) {
    if (OnPanelDestroy) OnPanelDestroy(this, Panel);
  };
  FFocusWatch = connect(qApp, &QApplication::focusChanged, this,
                        [this](QWidget *, QWidget *Now) { FocusMoved(Now); });
  FHoverTimer = std::make_unique<TTimer>();
  FHoverTimer->SetEnabled(false);
  FHoverTimer->SetInterval(HoverInterval);
  FHoverTimer->OnTimer = [this] { HoverCheck(); };
  FAutoScrollTimer = std::make_unique<TTimer>();
  FAutoScrollTimer->SetEnabled(false);
  FAutoScrollTimer->SetInterval(AutoScrollInterval);
  FAutoScrollTimer->OnTimer = [this] { AutoScrollStep(); };
  ApplyFonts();
  resize(150, 150);
}

THtmlPane::~THtmlPane() {
  // The focus moves while the children go; this pane no longer hears of it.
  disconnect(FFocusWatch);
  // The paint panel's handlers point here: the timers and the document go first, the
  // panel with Qt. Submissions not yet delivered die with the queue.
  FAutoScrollTimer.reset();
  FHoverTimer.reset();
  FPaintPanel->OnPaint = nullptr;
  FPaintPanel->OnMouseDown = nullptr;
  FPaintPanel->OnMouseMove = nullptr;
  FPaintPanel->OnMouseUp = nullptr;
  FPaintPanel->OnDblClick = nullptr;
  FDocument.Clear();
}

// ---------------------------------------------------------------- host

void THtmlPane::InvalidateDocument() {
  FDamageAll = true;
  FPaintPanel->Invalidate();
}

void THtmlPane::InvalidateDocumentRect(const TRect &R0) {
  TRect R;
  if (!IntersectRect(R, R0, FPaintPanel->ClientRect())) return; // not in view
  if (!FPaintPanel->PaintPending()) {
    FDamageAll = false;
    FDamage = R;
  } else if (!FDamageAll) {
    UnionRect(FDamage, FDamage, R);
  }
  FPaintPanel->Invalidate();
}
int THtmlPane::ClientHeight() const { return height() - 2 * FMarginHeightDoc; }
void THtmlPane::ShowLayoutError(const std::string &Message) {
  FLayoutErrors.push_back(Message);
  if (FLayoutErrors.size() > 20) return;
  auto *Box = new QMessageBox(QMessageBox::Critical, "Error", QString::fromStdString(Message),
                              QMessageBox::Ok, this);
  Box->setAttribute(Qt::WA_DeleteOnClose);
  Box->open();
}

// ---------------------------------------------------------------- settings

void THtmlPane::ApplyCharSet() {
  FDocument.Charset = FCharSet;
  FDocument.CodePage = CodePageOfCharset(FCharSet);
}

void THtmlPane::ApplyFonts() {
  FDocument.ShowImages = FViewImages;
  FDocument.LinkUnderline = !(FOptions & htNoLinkUnderline);
  FDocument.PrintTableBackground = (FOptions & htPrintTableBackground) != 0;
  FDocument.ShowDummyCaret = (FOptions & htShowDummyCaret) != 0;
  FDocument.SetFonts(FFontName, FPreFontName, FFontSize, FFontColor, FHotSpotColor, FVisitedColor,
                     FOverColor, FDefBackground, (FOptions & htOverLinksActive) != 0);
}

void THtmlPane::SetBusy(bool Value) {
  if (Value == FBusy) return;
  FBusy = Value;
  if (OnProcessing) OnProcessing(this, Value);
}

void THtmlPane::SetDefBackground(TColor Value) {
  if (FBusy || Value == FDefBackground) return;
  FDefBackground = Value;
  FDocument.SetBackground(Value);
  FPaintPanel->Color = Value;
  InvalidateDocument();
}

void THtmlPane::SetBorderStyle(THTMLBorderStyle Value) {
  FBorderStyle = Value;
  UpdateBorder();
}

void THtmlPane::UpdateBorder() {
  bool Show = FBorderStyle == htSingle || (FBorderStyle == htFocused && hasFocus());
  FBorderPanel->setFrameShape(Show ? QFrame::Box : QFrame::NoFrame);
}

void THtmlPane::SetHistoryMaxCount(int Value) {
  if (Value < 0 || Value == FHistoryMaxCount) return;
  if (Value < FHistoryMaxCount) ClearHistory();
  FHistoryMaxCount = Value;
}

void THtmlPane::SetDefFontName(const std::string &Value) {
  if (SameText(Value, FFontName)) return;
  FFontName = Value;
  ApplyFonts();
  Relayout();
}

void THtmlPane::SetDefPreFontName(const std::string &Value) {
  if (SameText(Value, FPreFontName)) return;
  FPreFontName = Value;
  ApplyFonts();
  Relayout();
}

void THtmlPane::SetDefFontSize(int Value) {
  FFontSize = std::max(6, Value);
  ApplyFonts();
  Relayout();
}

void THtmlPane::SetDefFontColor(TColor Value) {
  FFontColor = Value;
  ApplyFonts();
  InvalidateDocument();
}
void THtmlPane::SetDefHotSpotColor(TColor Value) {
  FHotSpotColor = Value;
  ApplyFonts();
  InvalidateDocument();
}
void THtmlPane::SetDefVisitedLinkColor(TColor Value) {
  FVisitedColor = Value;
  ApplyFonts();
  InvalidateDocument();
}
void THtmlPane::SetDefOverLinkColor(TColor Value) {
  FOverColor = Value;
  ApplyFonts();
  InvalidateDocument();
}

void THtmlPane::SetVisitedMaxCount(int Value) {
  FVisitedMaxCount = std::max(0, Value);
  if (FVisitedMaxCount == 0) {
    FVisited.clear();
    for (TFontObj *F : FDocument.LinkList) F->SetVisited(false);
  } else if (int(FVisited.size()) > FVisitedMaxCount) {
    FVisited.resize(size_t(FVisitedMaxCount)); // the oldest are last
  }
}

void THtmlPane::SetImageCacheCount(int Value) {
  FImageCacheCount = std::clamp(Value, 0, 20);
  BitmapList().SetCacheLimit(FImageCacheCount);
}

void THtmlPane::SetNoSelect(bool Value) {
  FNoSelect = Value;
  if (Value) {
    FDocument.SelB = 0;
    FDocument.SelE = -1;
    InvalidateDocument();
  }
}

void THtmlPane::SetScrollBars(TScrollStyle Value) {
  FScrollBars = Value;
  Relayout();
}

void THtmlPane::SetCharSet(int Value) {
  if (Value == FCharSet) return;
  FCharSet = Value;
  ApplyCharSet();
  ApplyFonts();
  Relayout();
}

void THtmlPane::SetMarginHeight(int Value) {
  if (FBusy || Value < 0) return;
  FMarginHeight = FMarginHeightDoc = std::min(Value, 200);
  Relayout();
}

void THtmlPane::SetMarginWidth(int Value) {
  if (FBusy || Value < 0) return;
  FMarginWidth = FMarginWidthDoc = std::min(Value, 200);
  Relayout();
}

void THtmlPane::SetServerRoot(const std::string &Value) {
  FServerRoot = Trim(Value);
  if (!FServerRoot.empty() && (FServerRoot.back() == '\\' || FServerRoot.back() == '/'))
    FServerRoot.pop_back();
}

void THtmlPane::SetHtOptions(unsigned Value) {
  FOptions = Value;
  ApplyFonts();
  InvalidateDocument();
}

void THtmlPane::SetViewImages(bool Value) {
  if (Value == FViewImages || FBusy) return;
  FViewImages = Value;
  if (!FCurrentFile.empty()) Reload();
  else ApplyFonts();
}

// ---------------------------------------------------------------- loading

void THtmlPane::LoadFromFile(const std::string &FileName) {
  if (FBusy || FileName.empty()) return;
  LoadAndRecord(FileName, TLoadType::Html);
}
void THtmlPane::LoadTextFile(const std::string &FileName) {
  if (FBusy || FileName.empty()) return;
  LoadAndRecord(FileName, TLoadType::Text);
}
void THtmlPane::LoadImageFile(const std::string &FileName) {
  if (FBusy || FileName.empty()) return;
  LoadAndRecord(FileName, TLoadType::Image);
}

void THtmlPane::LoadAndRecord(const std::string &FileName, TLoadType Type) {
  const std::string OldFile = FCurrentFile, OldTitle = FTitle;
  const TLoadType OldType = FFileType;
  const int OldPos = EncodedPosition();
  LoadDocument(FileName, Type);
  if (FCurrentFile != OldFile || FFileType != OldType)
    PushHistory(OldFile, OldTitle, int(OldType), OldPos);
  FireMetaRefresh();
}

void THtmlPane::FireMetaRefresh() {
  // Raised once the load is over and recorded, so that the handler may load the next page.
  const int Delay = FRefreshDelay;
  const std::string Url = FRefreshUrl;
  FRefreshDelay = 0;
  FRefreshUrl.clear();
  if (Delay > 0 && OnMetaRefresh) OnMetaRefresh(this, Delay, Url);
}

void THtmlPane::PassImageRequests() {
  if (OnBitmapRequest)
    FDocument.OnBitmapRequest = [this](const std::string &Src, TBitmap *&Bitmap, TColor &Color) {
      if (OnBitmapRequest) OnBitmapRequest(this, Src, Bitmap, Color);
    };
  else FDocument.OnBitmapRequest = nullptr;
  if (OnImageRequest)
    FDocument.OnImageRequest = [this](const std::string &Src, TMemoryStream *&Stream) {
      if (OnImageRequest) OnImageRequest(this, Src, Stream);
    };
  else FDocument.OnImageRequest = nullptr;
}

bool THtmlPane::InsertImage(const std::string &Src, const TMemoryStream &Stream) {
  if (!FDocument.InsertImage(Src, Stream)) return false;
  if (FBusy) InvalidateDocument(); // the layout under way takes it
  else Relayout();
  return true;
}

void THtmlPane::ResetForLoad() {
  FDocument.Clear();
  BitmapList().AgeAndPrune();
  // A code page a page declared is that page's only.
  ApplyCharSet();
  ApplyFonts();
  PassImageRequests();
  FNameList.Clear();
  FMarginWidthDoc = FMarginWidth;
  FMarginHeightDoc = FMarginHeight;
  FLayoutErrors.clear();
  FCaret = 0;
  FSelAnchor = -1;
  // Nothing of the old page's drag or hover survives: its runs are gone.
  StopAutoScroll();
  FSelecting = false;
  FMouseDown = false;
  FURL.clear();
  FTarget.clear();
  FHoverTimer->SetEnabled(false);
}

void THtmlPane::LoadDocument(const std::string &Name, TLoadType Type) {
  std::string FileName = Name, Anchor;
  if (auto P = Name.find('#'); P != std::string::npos) {
    FileName = Name.substr(0, P);
    Anchor = Name.substr(P + 1);
  }
  FRefreshDelay = 0;
  FRefreshUrl.clear();
  std::string Path = FileName;
  if (!FileExists(Path)) {
    std::string Dir = ExtractFilePath(FileName);
    Path = ResolvePath(Dir.empty() ? "." : Dir, ExtractFileName(FileName));
  }
  // A name that is there but cannot be read is not missing: say which part cannot be read.
  if (const std::string Unreadable = FileName.empty() ? "" : UnreadablePart(Path);
      !Unreadable.empty())
    throw EFileError(Unreadable == Path ? "Can't read file: " + FileName
                                        : "Can't read folder: " + Unreadable);
  if (FileName.empty() || !FileExists(Path)) throw EFileError("Can't locate file: " + FileName);
  TBusyScope Busy([this](bool B) { SetBusy(B); });
  int OldPos = FDocument.YOff;
  ResetForLoad();
  std::string Old = FCurrentFile;
  Path = ExpandFileName(Path);
  FCurrentFile = Path;
  FBaseFolder = ExtractFilePath(Path);
  FFileType = Type;
  TParseResult Result;
  TParseHandlers H;
  H.OnInclude = OnInclude;
  H.OnScript = OnScript;
  H.OnSoundRequest = OnSoundRequest;
  H.OnMeta = [this](const std::string &HttpEq, const std::string &N, const std::string &Content) {
    if (OnMeta) OnMeta(HttpEq, N, Content);
    if (OnMetaRefresh && SameText(HttpEq, "refresh")) {
      std::string C = Content;
      auto Semi = C.find(';');
      int D = -1;
      if (!TryStrToInt(Trim(C.substr(0, Semi)), D)) D = -1;
      if (D >= 0) {
        FRefreshDelay = std::max(1, D);
        std::string L = LowerCase(C);
        auto U = L.find("url=");
        FRefreshUrl = U == std::string::npos ? "" : C.substr(U + 4);
      }
    }
  };
  try {
    if (Type == TLoadType::Html) {
      if (OnSoundRequest) OnSoundRequest("", 0, true);
      ParseHtmlFile(FDocument, &FNameList, Path, H, Result);
    } else if (Type == TLoadType::Text) {
      ParsePlainTextFile(FDocument, &FNameList, Path);
    } else {
      std::string Tag = "<img src=\"" + Path + "\">";
      TParseHandlers HI;
      HI.OnInclude = OnInclude;
      ParseHtmlBuffer(FDocument, &FNameList, Tag.data(), Tag.size(), HI, Result);
    }
  } catch (const EFileError &) {
    throw;
  }
  FTitle = Result.Title;
  FBase = Result.Base;
  FBaseTarget = Result.BaseTarget;
  if (Result.MarginWidth >= 0) FMarginWidthDoc = std::min(200, Result.MarginWidth);
  if (Result.MarginHeight >= 0) FMarginHeightDoc = std::min(200, Result.MarginHeight);
  FPaintPanel->Color = FDocument.Background;
  LayoutDocument();
  MarkVisitedLinks();
  if (!Anchor.empty() && ScrollToAnchor(Anchor)) {
  } else if (FCurrentFile != Old) {
    ScrollTo(0);
    FHPos = 0;
    FHBar->setValue(0);
  } else {
    ScrollTo(OldPos); // the same file again keeps its place
  }
  InvalidateDocument();
}

void THtmlPane::LoadFromString(const std::string &Html, const std::string &BaseFolder) {
  if (FBusy) return;
  TBusyScope Busy([this](bool B) { SetBusy(B); });
  ResetForLoad();
  FCurrentFile.clear();
  FBaseFolder = BaseFolder;
  TParseResult Result;
  TParseHandlers H;
  H.OnInclude = OnInclude;
  ParseHtmlBuffer(FDocument, &FNameList, Html.data(), Html.size(), H, Result);
  FTitle = Result.Title;
  if (Result.MarginWidth >= 0) FMarginWidthDoc = std::min(200, Result.MarginWidth);
  if (Result.MarginHeight >= 0) FMarginHeightDoc = std::min(200, Result.MarginHeight);
  FPaintPanel->Color = FDocument.Background;
  LayoutDocument();
  ScrollTo(0);
  InvalidateDocument();
}

void THtmlPane::Reload() {
  if (FCurrentFile.empty() || FBusy) return;
  int Enc = EncodedPosition();
  LoadDocument(FCurrentFile, FFileType);
  RestoreEncodedPosition(Enc);
  FireMetaRefresh();
}

void THtmlPane::Clear() {
  if (FBusy) return;
  StopAutoScroll();
  EndPanMode();
  FSelecting = false;
  FMouseDown = false;
  FURL.clear();
  FTarget.clear();
  FHoverTimer->SetEnabled(false);
  FDocument.Clear();
  ApplyFonts();
  FNameList.Clear();
  FBase.clear();
  FBaseTarget.clear();
  FTitle.clear();
  FDocHeight = FDocWidth = 0;
  FVBar->setValue(0);
  FVBar->hide();
  FHBar->hide();
  FCaret = 0;
  FSelAnchor = -1;
  if (OnSoundRequest) OnSoundRequest("", 0, true);
  UpdateScrollBars();
  InvalidateDocument();
}

// ---------------------------------------------------------------- layout and scroll bars

void THtmlPane::LayoutDocument() {
  FLayingOut = true;
  int Allowance = FBorderStyle == htNone ? 1 : 3;
  int B = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  bool VPossible = FScrollBars == ssVertical || FScrollBars == ssBoth;
  int W = width() - (VPossible ? B : 0) - Allowance - 2 * FMarginWidthDoc;
  int ScrollWidth = 0, Curs = 0;
  int H = FDocument.DoLogic(FPaintPanel->Canvas(), FMarginHeightDoc, std::max(1, W), ScrollWidth, Curs);
  FDocWidth = ScrollWidth;
  FDocHeight = H + (VPossible ? 2 : 1) * FMarginHeightDoc;
  ++FLayoutCount;
  FLayingOut = false;
  UpdateScrollBars();
}

void THtmlPane::Relayout() {
  if (FBusy) return;
  SetBusy(true);
  int Enc = EncodedPosition();
  LayoutDocument();
  RestoreEncodedPosition(Enc);
  SetBusy(false);
  InvalidateDocument();
}

void THtmlPane::LayoutAndPaint() {
  LayoutDocument();
  ScrollTo(FDocument.YOff);
  InvalidateDocument();
  FPaintPanel->PaintNow();
}

void THtmlPane::UpdateScrollBars() {
  int H = height(), W = width();
  int B = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  int MW = FMarginWidthDoc;
  bool VAllowed = FScrollBars == ssVertical || FScrollBars == ssBoth;
  bool HAllowed = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
  bool ShowV = (FOptions & htShowVScroll) && VAllowed;
  bool VNeeded = VAllowed && (FDocHeight >= H - 2 ||
                              (FScrollBars == ssBoth && FDocHeight >= H - 2 - B &&
                               FDocWidth + 2 * MW > W - B));
  bool HNeeded = HAllowed && (W < FDocWidth + 2 * MW ||
                              ((VNeeded || ShowV) && W - B < FDocWidth + 2 * MW));
  int PW = (VNeeded || ShowV) ? W - B : W;
  int PH = HNeeded ? H - B : H;
  FBorderPanel->setGeometry(0, 0, W, H);
  FPaintPanel->SetBounds(1, 1, std::max(0, PW - 2), std::max(0, PH - 2));
  FVBar->setGeometry(W - B, 0, B, PH);
  FHBar->setGeometry(0, H - B, PW, B);
  FVBar->setVisible(VNeeded || ShowV);
  FVBar->setEnabled(VNeeded);
  FHBar->setVisible(HNeeded);
  int Page = FPaintPanel->Height();
  FVBar->setPageStep(std::max(1, Page - VSmallChange));
  FV32->SetParams(FDocHeight, Page, FDocument.YOff);
  FVBar->setPageStep(std::max(1, Page - VSmallChange));
  FHBar->setMaximum(std::max(0, FDocWidth + 2 * MW - PW));
  FHBar->setPageStep(std::max(1, PW));
}

int THtmlPane::VisibleHeight() const { return FPaintPanel->Height(); }

void THtmlPane::ScrollTo(int Y) {
  // A short document never gets a negative offset.
  Y = std::max(0, std::min(Y, FDocHeight - VisibleHeight()));
  FDocument.SetYOffset(Y);
  {
    QSignalBlocker Block(FVBar);
    if (FVBar->maximum() < Y) FVBar->setMaximum(Y);
    FVBar->setValue(Y);
  }
  InvalidateDocument();
}

void THtmlPane::SetPosition(int Value) {
  Value = std::max(0, Value);
  if (Value == FDocument.YOff) return;
  ScrollTo(Value);
}

int THtmlPane::EncodedPosition() const {
  int Y = FDocument.YOff;
  for (int I = 0; I < FDocument.Count(); ++I) {
    TSectionBase *S = FDocument.Items(I);
    if (S->SectionHeight > 0 && Y >= S->YValue && Y < S->YValue + S->SectionHeight)
      return (I << 16) + ((Y - S->YValue) & 0xFFFF);
  }
  return 0;
}

void THtmlPane::RestoreEncodedPosition(int Pos) {
  int Index = Pos >> 16, Offset = Pos & 0xFFFF;
  if (Index < 0 || Index >= FDocument.Count()) return;
  // 0 also stands for anything above the first section (the top margin): a page shown
  // at its top stays at its top.
  if (Pos == 0) {
    ScrollTo(0);
    return;
  }
  ScrollTo(FDocument.Items(Index)->YValue + Offset);
}

bool THtmlPane::ScrollToAnchor(const std::string &Name) {
  std::string N = UpperCaseAscii(Name);
  if (!N.empty() && N[0] == '#') N.erase(0, 1);
  // Anchors inside table cells count too: their laid-out position decides.
  int Y = FDocument.AnchorY(N);
  if (Y < 0) return false;
  ScrollTo(Y);
  FHPos = 0;
  FHBar->setValue(0);
  std::string Request = Name;
  if (!Request.empty() && Request[0] == '#') Request.erase(0, 1);
  RememberVisited(FCurrentFile + '#' + Request);
  return true;
}

void THtmlPane::KeyDown(uint16_t Key, TShiftState Shift) {
  if (OnKeyDown) {
    QPointer<THtmlPane> Alive(this);
    OnKeyDown(this, Key, Shift);
    if (!Alive || Key == 0) return; // the host took the key
  }
  StopAutoScroll();
  // A key only ends the middle-button pan mode.
  if (FPanMode) {
    EndPanMode();
    return;
  }
  int Pos = FDocument.YOff;
  int Large = std::max(1, VisibleHeight() - VSmallChange);
  switch (Key) {
  case VK_PRIOR: ScrollTo(Pos - Large); break;
  case VK_NEXT: ScrollTo(Pos + Large); break;
  case VK_UP: ScrollTo(Pos - VSmallChange); break;
  case VK_DOWN: ScrollTo(Pos + VSmallChange); break;
  case VK_HOME: ScrollTo(0); break;
  case VK_END: ScrollTo(FDocHeight); break;
  case VK_LEFT:
  case VK_RIGHT: {
    int HMax = FHBar->maximum();
    FHPos = std::clamp(FHPos + (Key == VK_LEFT ? -HSmallChange : HSmallChange), 0, HMax);
    FHBar->setValue(FHPos);
    InvalidateDocument();
    break;
  }
  case 'C':
  case VK_INSERT:
    if (Shift & ssCtrl) CopyToClipboard();
    break;
  case 'A':
    if (Shift & ssCtrl) SelectAll();
    break;
  default: break;
  }
}

void THtmlPane::MouseWheel(int WheelDelta) { SetPosition(Position() - WheelDelta / 2); }

namespace {
// The keys the pane itself answers (the others go on to its parents).
bool ViewerKey(uint16_t Key, TShiftState Shift) {
  switch (Key) {
  case VK_PRIOR:
  case VK_NEXT:
  case VK_UP:
  case VK_DOWN:
  case VK_HOME:
  case VK_END:
  case VK_LEFT:
  case VK_RIGHT: return true;
  case 'C':
  case 'A':
  case VK_INSERT: return (Shift & ssCtrl) != 0;
  default: return false;
  }
}
} // namespace

void THtmlPane::keyPressEvent(QKeyEvent *E) {
  QPointer<THtmlPane> Alive(this);
  const TShiftState S = ShiftFromQt(E->modifiers(), Qt::NoButton);
  const uint16_t K = KeyFromQt(E->key());
  const bool Used = FPanMode || ViewerKey(K, S);
  if (K) {
    KeyDown(K, S);
  } else {
    StopAutoScroll();
    EndPanMode();
  }
  if (!Alive) return;
  if (OnKeyPress && !E->text().isEmpty()) {
    char16_t C = char16_t(E->text().at(0).unicode());
    OnKeyPress(this, C);
    if (!Alive) return;
  }
  if (Used) E->accept();
  else QWidget::keyPressEvent(E);
}

void THtmlPane::keyReleaseEvent(QKeyEvent *E) {
  uint16_t K = KeyFromQt(E->key());
  if (K && OnKeyUp) {
    QPointer<THtmlPane> Alive(this);
    OnKeyUp(this, K, ShiftFromQt(E->modifiers(), Qt::NoButton));
    if (!Alive) return;
  }
  QWidget::keyReleaseEvent(E);
}

void THtmlPane::wheelEvent(QWheelEvent *E) {
  MouseWheel(E->angleDelta().y());
  E->accept();
}

void THtmlPane::resizeEvent(QResizeEvent *) {
  if (FBusy) UpdateScrollBars();
  else if (FDocument.Count() > 0) Relayout();
  else UpdateScrollBars();
  if (FDocHeight >= VisibleHeight()) ScrollTo(FDocument.YOff);
  else ScrollTo(0);
  FHPos = std::clamp(FHPos, 0, FHBar->maximum());
}

void THtmlPane::focusInEvent(QFocusEvent *E) {
  QWidget::focusInEvent(E);
  UpdateBorder();
}
void THtmlPane::focusOutEvent(QFocusEvent *E) {
  QWidget::focusOutEvent(E);
  UpdateBorder();
}

// ---------------------------------------------------------------- painting

void THtmlPane::PaintBackground(TCanvas &Canvas, const TRect &R) {
  TBitmap *Tile = FViewImages ? FDocument.GetBackgroundBitmap() : nullptr;
  Canvas.Brush().Color = FDocument.Background;
  Canvas.Brush().Style = bsSolid;
  Canvas.FillRect(R);
  // A tile without pixels is not tiled.
  if (!Tile || Tile->Width() <= 0 || Tile->Height() <= 0) return;
  int TW = Tile->Width(), TH = Tile->Height();
  int X0 = -(FHPos % TW), Y0 = -(FDocument.YOff % TH);
  TBitmap *Mask = FDocument.BackgroundMask;
  for (int Y = Y0; Y < R.Bottom; Y += TH)
    for (int X = X0; X < R.Right; X += TW) {
      if (Mask && Mask->Width() == TW && Mask->Height() == TH)
        Canvas.MaskBlt(X, Y, TW, TH, *Tile, 0, 0, *Mask, 0, 0);
      else
        Canvas.Draw(X, Y, *Tile);
    }
}

void THtmlPane::PaintDocument() {
  if (FLayingOut) return;
  TCanvas &C = FPaintPanel->Canvas();
  const TRect Client = FPaintPanel->ClientRect();
  TRect R = Client;
  // Only a frame of an animation since the last paint of the same pane: its rectangle.
  const bool Part = !FDamageAll && Client == FLastPaintRect && IntersectRect(R, FDamage, Client);
  if (!Part) R = Client;
  FDamageAll = true;
  FLastPaintRect = Client;
  C.RemoveClip();
  if (Part) C.IntersectClipRect(R);
  PaintBackground(C, R);
  FDocument.PartialDraw = Part;
  FDocument.Draw(C, R, R.Width(), FMarginWidthDoc - FHPos, FDocument.YOff);
  FDocument.PartialDraw = false;
  if (Part) C.RemoveClip();
}

// ---------------------------------------------------------------- mouse and selection

QPoint THtmlPane::PointerInPanel() const { return FPaintPanel->mapFromGlobal(QCursor::pos()); }

bool THtmlPane::HoverTracking() const { return FHoverTimer->Enabled(); }

void THtmlPane::SetPanelCursor(int Cursor) {
  if (Cursor == FPanelCursor) return;
  FPanelCursor = Cursor;
  FPaintPanel->SetCursor(Cursor);
}

void THtmlPane::DocMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDownEvent) OnMouseDownEvent(this, Button, Shift, X, Y);
  FDownX = X;
  FDownY = Y;
  FDownShift = Shift;
  // The press that belongs to a double click is part of the same click.
  if (!(Shift & ssDouble)) FLinkClicked = false;
  if (FPanMode) {
    EndPanMode();
    return;
  }
  if (Button == mbMiddle) {
    FPanMode = true;
    FPanY = Y;
    SetPanelCursor(crUpDown);
    return;
  }
  if (Button != mbLeft) return;
  FMouseDown = true;
  FSelecting = true;
  if (FNoSelect) return;
  const int P = PositionNear(X, Y);
  if (P < 0) return;
  const bool Shown = FDocument.SelE > FDocument.SelB;
  if ((Shift & ssShift) && FSelAnchor >= 0) {
    FCaret = P;
    FDocument.SelB = std::min(FSelAnchor, FCaret);
    FDocument.SelE = std::max(FSelAnchor, FCaret);
    InvalidateDocument();
    return;
  }
  FSelAnchor = FCaret = FDocument.SelB = FDocument.SelE = P;
  if (Shown) InvalidateDocument();
}

void THtmlPane::DocMouseMove(TShiftState Shift, int X, int Y) {
  if (FPanMode) {
    if (std::abs(Y - FPanY) > 20 && !FAutoScroll) StartAutoScroll();
    return;
  }
  if (OnMouseMoveEvent) {
    QPointer<THtmlPane> Alive(this);
    OnMouseMoveEvent(this, Shift, X, Y);
    if (!Alive) return;
  }
  TCanvas &C = FPaintPanel->Canvas();
  int Cursor = crDefault;
  TUrlTarget U;
  TFormControlObj *FC = nullptr;
  const bool Hit = FDocument.GetURL(C, DocX(X), DocY(Y), U, FC);
  std::string Url, Target;
  const bool OnLink = Hit && !FC;
  if (Hit) {
    Cursor = crHtmlLink;
    if (OnLink) {
      Url = U.Url;
      Target = U.Target;
    }
  }
  TFloatingObj *Obj = nullptr;
  int IX = 0, IY = 0;
  auto *Image = (OnImageClick || OnImageOver) && FDocument.PtInObject(DocX(X), DocY(Y), Obj, IX, IY)
                    ? dynamic_cast<TImageObj *>(Obj)
                    : nullptr;
  if (Image) {
    Cursor = OnLink ? crHtmlLink : crDefault;
    if (OnImageOver) OnImageOver(this, Image, Shift, IX, IY);
  } else if (!Hit) {
    int XR, YR, CH;
    bool InText = false;
    if (FDocument.FindCursor(C, DocX(X), DocY(Y), XR, YR, CH, InText) >= 0 && InText)
      Cursor = FCursor;
  }
  SetPanelCursor(Cursor);
  // The timer notices the pointer leaving a link or a picture the document lights up.
  FHoverTimer->SetEnabled(Cursor == crHtmlLink || FDocument.ActiveLink || FDocument.ActiveImage);
  if (Url != FURL || Target != FTarget) {
    FURL = Url;
    FTarget = Target;
    if (OnHotSpotCovered) OnHotSpotCovered(this, Url);
  }
  if ((Shift & ssLeft) && !FNoSelect) {
    // Below the control, not the panel: a drag over the horizontal bar selects only.
    if ((Y < 1 || Y > height()) && !FAutoScroll) StartAutoScroll();
    ExtendSelection(X, Y);
  }
}

int THtmlPane::PositionNear(int X, int Y) {
  TCanvas &C = FPaintPanel->Canvas();
  int XR, YR, CH;
  bool InText;
  const int YC = DocY(std::clamp(Y, 0, std::max(0, VisibleHeight() - 1)));
  int P = FDocument.FindCursor(C, DocX(X), YC, XR, YR, CH, InText);
  // Between paragraphs the end of the text above counts; above the first, its start.
  for (int Up = 1; P < 0 && Up <= 64; ++Up)
    P = FDocument.FindCursor(C, 100000, YC - Up, XR, YR, CH, InText);
  for (int Down = 1; P < 0 && Down <= 64; ++Down)
    P = FDocument.FindCursor(C, 0, YC + Down, XR, YR, CH, InText);
  return P;
}

void THtmlPane::ExtendSelection(int X, int Y) {
  if (!FSelecting || FSelAnchor < 0) return;
  const int P = PositionNear(X, Y);
  if (P < 0) return;
  if (!FNoSelect) {
    FDocument.SelB = std::min(P, FSelAnchor);
    FDocument.SelE = std::max(P, FSelAnchor);
  }
  FCaret = P;
  InvalidateDocument();
}

void THtmlPane::StartAutoScroll() {
  FAutoScroll = true;
  FAutoScrollTimer->SetEnabled(true);
}

void THtmlPane::StopAutoScroll() {
  if (FAutoScrollTimer) FAutoScrollTimer->SetEnabled(false);
  if (!FAutoScroll) return;
  FAutoScroll = false;
  if (FPanMode) SetPanelCursor(crUpDown);
}

void THtmlPane::EndPanMode() {
  if (!FPanMode) return;
  FPanMode = false;
  StopAutoScroll();
  SetPanelCursor(FCursor);
}

void THtmlPane::AutoScrollStep() {
  const QPoint P = PointerInPanel();
  const int H = height();
  const bool Dragging = FAutoScroll && FMouseDown && (P.y() < 1 || P.y() > H);
  const bool Panning = FPanMode && std::abs(P.y() - FPanY) >= 21;
  if (!Dragging && !Panning) {
    StopAutoScroll();
    return;
  }
  int Delta;
  if (FPanMode) {
    const int D = P.y() - FPanY;
    Delta = D < -60 ? -32 : D < -20 ? -8 : D > 60 ? 32 : D > 20 ? 8 : 0;
    SetPanelCursor(Delta < 0 ? crUpOnly : crDownOnly);
  } else {
    const int Y = P.y();
    Delta = Y < -15 ? -8 * VSmallChange : Y < 1 ? -VSmallChange : Y <= H + 15 ? VSmallChange
                                                                              : 8 * VSmallChange;
  }
  ScrollTo(FDocument.YOff + Delta);
  ExtendSelection(P.x(), P.y());
  InvalidateDocument();
}

void THtmlPane::HoverCheck() {
  if (QApplication::widgetAt(QCursor::pos()) == FPaintPanel) return;
  FDocument.CancelActives();
  FHoverTimer->SetEnabled(false);
  if (!FURL.empty()) {
    FURL.clear();
    FTarget.clear();
    if (OnHotSpotCovered) OnHotSpotCovered(this, "");
  }
}

void THtmlPane::DocMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FPanMode) {
    // A middle click leaves pan mode on; any other release ends it.
    if (!(Button == mbMiddle && Y == FPanY)) EndPanMode();
    return;
  }
  // However the click ends (a handler may load, or raise), the button is up.
  struct TUpScope {
    QPointer<THtmlPane> Pane;
    bool *Flag;
    ~TUpScope() {
      if (Pane) *Flag = false;
    }
  } Up{this, &FMouseDown};
  QPointer<THtmlPane> Alive(this);
  if (OnMouseUpEvent) OnMouseUpEvent(this, Button, Shift, X, Y);
  if (!Alive) return;
  if (OnImageClick || OnRightClick) {
    TFloatingObj *Obj = nullptr;
    int IX = 0, IY = 0;
    TImageObj *Image = FDocument.PtInObject(DocX(X), DocY(Y), Obj, IX, IY)
                           ? dynamic_cast<TImageObj *>(Obj)
                           : nullptr;
    if (Image && OnImageClick) OnImageClick(this, Image, Button, Shift, IX, IY);
    if (!Alive) return;
    if (Button == mbRight && OnRightClick) {
      TRightClickParameters Parameters;
      if (Image) {
        Parameters.Image = Image;
        Parameters.ImageX = IX;
        Parameters.ImageY = IY;
      }
      TUrlTarget U;
      TFormControlObj *FC = nullptr;
      if (FDocument.GetURL(FPaintPanel->Canvas(), DocX(X), DocY(Y), U, FC) && !FC) {
        Parameters.URL = U.Url;
        Parameters.Target = U.Target;
      }
      int First, Last;
      WordAtPoint(X, Y, Parameters.ClickWord, First, Last);
      OnRightClick(this, Parameters);
      if (!Alive) return;
    }
  }
  if (Button != mbLeft) return;
  StopAutoScroll();
  ExtendSelection(X, Y);
  FSelecting = false;
  if (!FMouseDown) return;
  TUrlTarget U;
  TFormControlObj *FC = nullptr;
  if (!FDocument.GetURL(FPaintPanel->Canvas(), DocX(X), DocY(Y), U, FC)) return;
  if (FC) {
    // Window controls act on their own; an image input is clicked here.
    if (auto *Image = dynamic_cast<TImageFormControlObj *>(FC))
      Image->ImageClick(Image->HitX, Image->HitY);
    return;
  }
  // A drag that ends on a link selected text: it is not a click on the link.
  if (FDocument.SelE > FDocument.SelB) return;
  FURL = U.Url;
  FTarget = U.Target;
  FLinkClicked = true;
  try {
    FollowLink();
  } catch (const std::exception &E) {
    if (!Alive) return;
    auto *Box = new QMessageBox(QMessageBox::Warning, "Error", QString::fromStdString(E.what()),
                                QMessageBox::Ok, this);
    Box->setAttribute(Qt::WA_DeleteOnClose);
    Box->open();
  }
}

bool THtmlPane::WordAtPoint(int X, int Y, std::string &Word, int &First, int &Last) {
  Word.clear();
  int XR, YR, CH;
  bool InText;
  int P = FDocument.FindCursor(FPaintPanel->Canvas(), DocX(X), DocY(Y), XR, YR, CH, InText);
  if (P < 0) return false;
  FCaret = P;
  char Ch;
  TSectionBase *Section = nullptr;
  if (!FDocument.GetChAtPos(P, Ch, Section) || !IsWordChar(Ch)) return false;
  // A character of another section counts as a space.
  auto WordCharAt = [this, Section](int Pos, char &C) {
    TSectionBase *S = nullptr;
    return FDocument.GetChAtPos(Pos, C, S) && S == Section && IsWordChar(C);
  };
  char C;
  Last = P;
  while (WordCharAt(Last + 1, C)) ++Last;
  First = P;
  while (First > 0 && WordCharAt(First - 1, C)) --First;
  for (int I = First; I <= Last; ++I) {
    WordCharAt(I, C);
    Word += C;
  }
  return true;
}

void THtmlPane::DocDoubleClick(TShiftState Shift, int X, int Y) {
  if (FBusy || FLinkClicked) return;
  std::string Word;
  int First, Last;
  if (!FNoSelect && WordAtPoint(X, Y, Word, First, Last)) {
    FSelAnchor = First;
    FDocument.SelB = First;
    FDocument.SelE = Last + 1;
    FCaret = First;
    FSelecting = false; // the release that ends the double click keeps the word
    InvalidateDocument();
  }
  if (OnMouseDouble) OnMouseDouble(this, mbLeft, Shift, X, Y);
}

// ---------------------------------------------------------------- links

bool THtmlPane::FireHotSpotClick() {
  bool Handled = false;
  if (OnHotSpotClick) OnHotSpotClick(this, FURL, Handled);
  return Handled;
}

void THtmlPane::FollowLink() {
  QPointer<THtmlPane> Alive(this);
  if (FireHotSpotClick() || !Alive) return;
  const int OldPos = EncodedPosition();
  const std::string Url = FURL;
  if (!Url.empty() && Url[0] == '#') {
    if (ScrollToAnchor(Url)) {
      PushHistory(FCurrentFile, FTitle, int(FFileType), OldPos);
      RememberVisited(FCurrentFile + Url);
    }
    return;
  }
  std::string Rest = Url, Anchor;
  if (auto Hash = Url.find('#'); Hash != std::string::npos) {
    Rest = Url.substr(0, Hash);
    Anchor = Url.substr(Hash);
  }
  const std::string Name = ExpandLinkFileName(Rest);
  std::string Ext = UpperCase(ExtractFileExt(Name));
  if (Ext.size() > 5) Ext.resize(5);
  if (Ext == ".HTM" || Ext == ".HTML") {
    if (!SameText(Name, FCurrentFile)) {
      LoadFromFile(Name + Anchor);
      if (Alive) RememberVisited(Name + Anchor);
    } else if (ScrollToAnchor(Anchor)) {
      PushHistory(FCurrentFile, FTitle, int(TLoadType::Html), OldPos);
      RememberVisited(Name + Anchor);
    }
  } else if (Ext == ".BMP" || Ext == ".GIF" || Ext == ".JPG" || Ext == ".JPEG" || Ext == ".PNG") {
    LoadImageFile(Name);
  }
}

std::string THtmlPane::ExpandLinkFileName(const std::string &URL) const {
  std::string N = UrlToDosPath(Trim(URL));
  if (!N.empty() && N[0] == '\\') N = FServerRoot + N;
  if (N.empty()) return N;
  if (N[0] == '\\' || N[0] == '/') return ResolvePath("/", N);
  if (N.size() > 1 && N[1] == ':') return ResolvePath("/", N); // a drive: the rest is absolute
  if (SameText(FBase, "DosPath")) return N;
  if (!FBase.empty()) {
    // The base serves as a folder prefix as it stands.
    std::string B = UrlToDosPath(FBase) + N;
    return ResolvePath(B.size() > 1 && B[1] == ':' ? "/" : std::string(), B);
  }
  return ResolvePath(FBaseFolder.empty() ? std::string(".") : FBaseFolder, N);
}

std::string THtmlPane::LinkFullName(const std::string &Url) const {
  if (!Url.empty() && Url[0] == '#') return FCurrentFile + Url;
  auto Hash = Url.find('#');
  if (Hash == std::string::npos) return ExpandLinkFileName(Url);
  return ExpandLinkFileName(Url.substr(0, Hash)) + Url.substr(Hash);
}

void THtmlPane::RememberVisited(const std::string &URL) {
  if (FVisitedMaxCount <= 0) return;
  if (!FVisited.empty() && FVisited.front() == URL) return;
  auto Old = std::find(FVisited.begin(), FVisited.end(), URL);
  if (Old != FVisited.end()) {
    FVisited.erase(Old); // its links are marked already
  } else {
    bool Marked = false;
    for (TFontObj *F : FDocument.LinkList)
      if (F->HasUrl() && SameText(LinkFullName(F->UrlTarget().Url), URL)) {
        F->SetVisited(true);
        Marked = true;
      }
    if (Marked) InvalidateDocument();
  }
  FVisited.insert(FVisited.begin(), URL);
  if (int(FVisited.size()) > FVisitedMaxCount) FVisited.resize(size_t(FVisitedMaxCount));
}

void THtmlPane::MarkVisitedLinks() {
  if (FVisited.empty()) return;
  for (TFontObj *F : FDocument.LinkList) {
    if (!F->HasUrl()) continue;
    const std::string Full = LinkFullName(F->UrlTarget().Url);
    for (const std::string &V : FVisited)
      if (SameText(V, Full)) {
        F->SetVisited(true);
        break;
      }
  }
}

// ---------------------------------------------------------------- history

void THtmlPane::PushHistory(const std::string &File, const std::string &Title, int Type, int Pos) {
  if (FHistoryMaxCount <= 0 || FCurrentFile.empty()) return;
  const int Now = EncodedPosition();
  if (File == FCurrentFile && Type == int(FFileType) && Pos == Now) return;
  if (!FHistory.empty() && !File.empty()) {
    const size_t I = size_t(std::clamp(FHistoryIndex, 0, int(FHistory.size()) - 1));
    FHistory[I] = File;
    FTitleHistory[I] = Title;
    FPositionHistory[I] = {Pos, Type};
    FHistory.erase(FHistory.begin(), FHistory.begin() + long(I));
    FTitleHistory.erase(FTitleHistory.begin(), FTitleHistory.begin() + long(I));
    FPositionHistory.erase(FPositionHistory.begin(), FPositionHistory.begin() + long(I));
  }
  FHistoryIndex = 0;
  FHistory.insert(FHistory.begin(), FCurrentFile);
  FPositionHistory.insert(FPositionHistory.begin(), TPositionObj{Now, int(FFileType)});
  FTitleHistory.insert(FTitleHistory.begin(), FTitle);
  if (int(FHistory.size()) > FHistoryMaxCount) {
    FHistory.erase(FHistory.begin() + FHistoryMaxCount);
    FTitleHistory.erase(FTitleHistory.begin() + FHistoryMaxCount);
    FPositionHistory.erase(FPositionHistory.begin() + FHistoryMaxCount);
  }
  if (OnHistoryChange) OnHistoryChange(this);
}

void THtmlPane::ClearHistory() {
  const bool Held = !FHistory.empty();
  FHistory.clear();
  FTitleHistory.clear();
  FPositionHistory.clear();
  FHistoryIndex = 0;
  if (Held && OnHistoryChange) OnHistoryChange(this);
}

// ---------------------------------------------------------------- forms

void THtmlPane::SubmitForm(const std::string &Action, const std::string &Target,
                           const std::string &EncType, const std::string &Method,
                           const std::vector<std::string> &Results) {
  if (!OnFormSubmit) return;
  FSubmissions.push_back({Action, Target, EncType, Method, Results});
  // Delivered from the event loop, after the click; a pane destroyed meanwhile gets
  // nothing (the queued call dies with it).
  QMetaObject::invokeMethod(this, [this] { DeliverSubmission(); }, Qt::QueuedConnection);
}

void THtmlPane::DeliverSubmission() {
  if (FSubmissions.empty()) return;
  TFormSubmission S = std::move(FSubmissions.front());
  FSubmissions.pop_front();
  if (OnFormSubmit) OnFormSubmit(this, S.Action, S.Target, S.EncType, S.Method, S.Results);
}

std::unique_ptr<TFormWindow> THtmlPane::CreateFormWindow(TFormControlObj &Obj) {
  return MakeFormWindow(Obj, FPaintPanel);
}

std::unique_ptr<ThvPanel> THtmlPane::CreatePanel() {
  return std::make_unique<TPanelWindow>(FPaintPanel);
}

bool THtmlPane::DocDragOver(QObject *Source, int X, int Y, TDragState State) {
  if (!OnDragOver) return false;
  bool Accept = true;
  OnDragOver(this, Source, X, Y, State, Accept);
  return Accept;
}

void THtmlPane::DocDragDrop(QObject *Source, int X, int Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void THtmlPane::FocusMoved(QWidget *Now) {
  // A window losing the keyboard (Now null) leaves the pane entered: coming back to the
  // window is no entering.
  if (!Now) return;
  const bool Inside = Now == this || isAncestorOf(Now);
  if (Inside == FEntered) return;
  FEntered = Inside;
  if (Inside && OnEnter) OnEnter(this);
}

void THtmlPane::ControlEntered(int ControlTop) {
  const int Pos = Position();
  const int CH = height();
  if (ControlTop >= Pos && ControlTop <= Pos + CH - 20) return;
  SetPosition(ControlTop - CH / 2);
  InvalidateDocument();
}

void THtmlPane::CopyToClipboard() { FDocument.CopyToClipboardA(); }

std::string THtmlPane::SelectedText() { return FDocument.SelectedText(); }

int THtmlPane::SelectionLength() const {
  if (FDocument.SelE <= FDocument.SelB) return 0;
  if (FCaret == FDocument.SelB) return FDocument.SelE - FDocument.SelB;
  return FDocument.SelB - FDocument.SelE;
}

void THtmlPane::SelectAll() {
  FDocument.SelB = 0;
  FDocument.SelE = FDocument.Len;
  FSelAnchor = 0;
  FCaret = FDocument.Len;
  InvalidateDocument();
}

bool THtmlPane::Find(const std::string &Text, bool MatchCase) {
  int From = FDocument.SelE > FDocument.SelB ? FDocument.SelB + 1 : FCaret;
  int P = FDocument.FindString(From, Text, MatchCase);
  if (P < 0) return false;
  FDocument.SelB = P;
  FDocument.SelE = P + int(Text.size());
  FSelAnchor = P;
  FCaret = FDocument.SelE;
  int X, Y;
  if (FDocument.CursorToXY(FPaintPanel->Canvas(), P, X, Y) &&
      (Y < FDocument.YOff || Y > FDocument.YOff + VisibleHeight() - 20))
    ScrollTo(Y - VisibleHeight() / 3);
  InvalidateDocument();
  return true;
}

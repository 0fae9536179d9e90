#include "app/page_kit.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "charts/chart.h"
#include "charts/series.h"
#include "app/page_host.h"
#include "sim/shared_constants.h"
#include "platform/bitmap.h"
#include "platform/paint_box.h"
#include "platform/printer.h"
#include "platform/qt_bridge.h"
#include "widgets/speed_button.h"

// ---- Flow layout ----

TFlowLayout::TFlowLayout(QWidget *Parent, int Margin, int Spacing) : QLayout(Parent), Space(Spacing) {
  setContentsMargins(Margin, Margin, Margin, Margin);
}

TFlowLayout::~TFlowLayout() {
  for (QLayoutItem *I : Items) delete I;
}

void TFlowLayout::addItem(QLayoutItem *Item) { Items.push_back(Item); }

QLayoutItem *TFlowLayout::itemAt(int Index) const {
  return Index >= 0 && Index < int(Items.size()) ? Items[size_t(Index)] : nullptr;
}

QLayoutItem *TFlowLayout::takeAt(int Index) {
  if (Index < 0 || Index >= int(Items.size())) return nullptr;
  QLayoutItem *I = Items[size_t(Index)];
  Items.erase(Items.begin() + Index);
  return I;
}

void TFlowLayout::AddSpacing(int W) { addItem(new QSpacerItem(W, 1, QSizePolicy::Fixed, QSizePolicy::Minimum)); }

int TFlowLayout::heightForWidth(int Width) const { return DoLayout(QRect(0, 0, Width, 0), false); }

QSize TFlowLayout::minimumSize() const {
  QSize S;
  for (QLayoutItem *I : Items) S = S.expandedTo(I->minimumSize());
  const QMargins M = contentsMargins();
  return S + QSize(M.left() + M.right(), M.top() + M.bottom());
}

QSize TFlowLayout::sizeHint() const {
  // One row of everything.
  int W = 0, H = 0;
  for (QLayoutItem *I : Items) {
    const QSize S = I->sizeHint();
    W += S.width() + Space;
    H = std::max(H, S.height());
  }
  const QMargins M = contentsMargins();
  return QSize(W + M.left() + M.right(), H + M.top() + M.bottom());
}

void TFlowLayout::setGeometry(const QRect &Rect) {
  QLayout::setGeometry(Rect);
  DoLayout(Rect, true);
}

int TFlowLayout::DoLayout(const QRect &Rect, bool Apply) const {
  const QMargins M = contentsMargins();
  const QRect R = Rect.adjusted(M.left(), M.top(), -M.right(), -M.bottom());
  int X = R.x(), Y = R.y(), RowHeight = 0;
  for (QLayoutItem *I : Items) {
    if (I->widget() && I->widget()->isHidden()) continue;
    const QSize S = I->sizeHint();
    // A spacer never starts a row.
    if (X > R.x() && X + S.width() > R.right() + 1 && !I->spacerItem()) {
      X = R.x();
      Y += RowHeight + Space;
      RowHeight = 0;
    }
    if (Apply) I->setGeometry(QRect(QPoint(X, Y), S));
    X += S.width() + Space;
    RowHeight = std::max(RowHeight, S.height());
  }
  return Y + RowHeight - Rect.y() + M.bottom();
}

// ---- Controls ----

QVBoxLayout *MakeColumn(QWidget *Parent, int Margin, int Spacing) {
  auto *Col = new QVBoxLayout(Parent);
  Col->setContentsMargins(Margin, Margin, Margin, Margin);
  Col->setSpacing(Spacing);
  return Col;
}

namespace {
// A toolbar's height follows its rows.
class TToolbar : public QWidget {
public:
  using QWidget::QWidget;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int W) const override { return layout() ? layout()->heightForWidth(W) : 0; }
  QSize sizeHint() const override {
    return QSize(QWidget::sizeHint().width(), heightForWidth(width() > 0 ? width() : 400));
  }
  // As narrow as its widest item, in as many rows as that takes.
  QSize minimumSizeHint() const override {
    const int W = layout() ? layout()->minimumSize().width() : 0;
    return QSize(W, heightForWidth(std::max(W, width() > 0 ? width() : 400)));
  }

protected:
  void resizeEvent(QResizeEvent *E) override {
    QWidget::resizeEvent(E);
    const int H = heightForWidth(width());
    if (H != height()) updateGeometry();
  }
};
} // namespace

QWidget *MakeToolbar(QWidget *Parent, const char *Name) {
  auto *Bar = new TToolbar(Parent);
  Bar->setObjectName(Name);
  QSizePolicy P(QSizePolicy::Preferred, QSizePolicy::Fixed);
  P.setHeightForWidth(true);
  Bar->setSizePolicy(P);
  new TFlowLayout(Bar);
  return Bar;
}

TFlowLayout *ToolbarLayout(QWidget *Toolbar) { return dynamic_cast<TFlowLayout *>(Toolbar->layout()); }

TKitSpeedButton *MakeSpeedButton(QWidget *Toolbar, const char *Name, const std::string &Caption,
                                 const std::string &Hint, const char *Glyph, int Width, int Height) {
  auto *B = new TKitSpeedButton(Toolbar);
  B->setObjectName(Name);
  B->SetBounds(0, 0, Width, Height);
  B->SetFlat(true);
  B->SetCaption(Caption);
  B->SetHint(Hint);
  B->SetLayout(blGlyphTop);
  if (Glyph && *Glyph) B->LoadGlyph(Glyph);
  if (QLayout *L = Toolbar->layout()) L->addWidget(B);
  return B;
}

QScrollArea *MakeScrollBox(QWidget *Parent, const char *Name, TColor Color) {
  auto *SB = new QScrollArea(Parent);
  SB->setObjectName(Name);
  SB->setWidgetResizable(false);
  SB->setBackgroundRole(QPalette::Base);
  QPalette Pal = SB->palette();
  Pal.setColor(QPalette::Base, ToQColor(Color));
  Pal.setColor(QPalette::Window, ToQColor(Color));
  SB->setPalette(Pal);
  SB->setAutoFillBackground(true);
  // A picture's own box scrolls before the sheet does: it asks for no more room than a
  // toolbar button.
  SB->setMinimumSize(PageButtonWidth, PageButtonHeight);
  return SB;
}

void CentreScrollBox(QScrollArea *Box) {
  for (QScrollBar *B : {Box->horizontalScrollBar(), Box->verticalScrollBar()})
    B->setValue((B->minimum() + B->maximum()) / 2);
}

namespace {
// Re-centres a scroll box whenever its ranges change, until its picture has been painted on
// the screen: only the window's layout gives a sheet its size, and a sheet shown before the
// window, or behind another sheet, is laid out later, perhaps more than once.
class TCentreUntilSeen : public QObject {
public:
  explicit TCentreUntilSeen(QScrollArea *ABox) : QObject(ABox), Box(ABox) {
    for (QScrollBar *B : {Box->horizontalScrollBar(), Box->verticalScrollBar()})
      connect(B, &QScrollBar::rangeChanged, this, [this] {
        if (!Seen) CentreScrollBox(Box);
      });
    if (QWidget *Pic = Box->widget()) Pic->installEventFilter(this);
    CentreScrollBox(Box);
  }

protected:
  bool eventFilter(QObject *Pic, QEvent *E) override {
    if (E->type() == QEvent::Paint && Box->isVisible() && !Seen) {
      Seen = true;
      Pic->removeEventFilter(this);
    }
    return false;
  }

private:
  QScrollArea *Box;
  bool Seen = false;
};
} // namespace

void CentreScrollBoxWhenLaidOut(QScrollArea *Box, bool &Centred) {
  if (Centred) return;
  Centred = true;
  new TCentreUntilSeen(Box); // owned by the box
}

TPaintBox *MakePicture(QWidget *Parent, const char *Name, int Width, int Height, TCursor Cursor,
                       const std::string &Hint, TColor Color) {
  auto *Box = qobject_cast<QScrollArea *>(Parent);
  auto *Pic = new TPaintBox(Box ? nullptr : Parent);
  Pic->setObjectName(Name);
  Pic->Color = Color;
  Pic->SetBounds(0, 0, Width, Height);
  Pic->SetCursor(Cursor);
  if (!Hint.empty()) SetHint(Pic, Hint);
  if (Box) Box->setWidget(Pic);
  return Pic;
}

QScrollBar *MakeScrollBar(QWidget *Parent, const char *Name, Qt::Orientation Orientation, int Min,
                          int Max, int Position, const std::string &Hint,
                          std::function<void()> OnChange, int LargeChange) {
  auto *B = new QScrollBar(Orientation, Parent);
  B->setObjectName(Name);
  B->setRange(Min, Max);
  B->setSingleStep(1);
  B->setPageStep(LargeChange);
  B->setValue(Position);
  if (!Hint.empty()) SetHint(B, Hint);
  if (OnChange) QObject::connect(B, &QScrollBar::valueChanged, B, [F = std::move(OnChange)] { F(); });
  return B;
}

QLabel *MakeLabel(QWidget *Parent, const char *Name, const std::string &Text) {
  auto *L = new QLabel(ToQString(Text), Parent);
  L->setObjectName(Name);
  L->setTextFormat(Qt::PlainText);
  return L;
}

namespace {
const char *const HintProperty = "VornelleHint";

// Puts a control's long hint into the status bar while the mouse is over it.
class THintFilter : public QObject {
public:
  bool eventFilter(QObject *O, QEvent *E) override {
    const std::string Hint = FromQString(O->property(HintProperty).toString());
    if (E->type() == QEvent::Enter) Application->SetHint(Hint);
    else if (E->type() == QEvent::Leave) Application->SetHint("");
    // A control greyed under the mouse (a run started) no longer does what its hint says.
    else if (E->type() == QEvent::EnabledChange && !static_cast<QWidget *>(O)->isEnabled() &&
             Application->Hint() == Hint)
      Application->SetHint("");
    return false;
  }
};

THintFilter &HintFilter() {
  static THintFilter *F = new THintFilter; // lives as long as the program
  return *F;
}
} // namespace

void SetHint(QWidget *Control, const std::string &Hint) {
  Control->setToolTip(ToQString(GetShortHint(Hint)));
  const bool Had = Control->property(HintProperty).isValid();
  Control->setProperty(HintProperty, ToQString(Hint));
  if (!Had) Control->installEventFilter(&HintFilter());
  if (Control->underMouse()) Application->SetHint(Hint);
}

std::string HintOf(const QWidget *Control) { return FromQString(Control->property(HintProperty).toString()); }

// ---- Menus ----

QMenu *MakePopupMenu(QWidget *Content, const char *Name) {
  auto *M = new QMenu(Content);
  M->setObjectName(Name);
  return M;
}

QAction *AddMenuItem(QMenu *Menu, const std::string &Caption, int Tag, std::function<void()> OnClick) {
  QAction *A = Menu->addAction(ToQString(Caption));
  A->setData(Tag);
  A->setCheckable(true);
  if (OnClick) QObject::connect(A, &QAction::triggered, Menu, [F = std::move(OnClick)] { F(); });
  return A;
}

int ActionTag(const QAction *Action) { return Action ? Action->data().toInt() : 0; }

void TickTag(QMenu *Menu, int Value) {
  for (QAction *A : Menu->actions()) A->setChecked(ActionTag(A) == Value);
}

// ---- Charts ----

void HostChart(TChart &Chart, TPaintBox *Box, const std::string &Hint) {
  Chart.SetWindowCanvas(&Box->Canvas());
  Chart.OnRequestPaint = [Box] { Box->Invalidate(); };
  // Frames of the zoom animation and the zoom rectangle are shown at once.
  Chart.OnFlush = [Box] { Box->repaint(); };
  Chart.OnCursorChange = [Box](int C) { Box->SetCursor(C); };
  Box->SetCursor(Chart.Cursor() == crChartHand ? crChartHand : crHandPoint);
  Box->OnPaint = [&Chart] { Chart.Paint(); };
  Box->OnResize = [&Chart, Box] { Chart.SetBounds(Box->Width(), Box->Height()); };
  Box->OnMouseDown = [&Chart](TMouseButton B, TShiftState S, int X, int Y) { Chart.MouseDown(B, S, X, Y); };
  Box->OnMouseMove = [&Chart](TShiftState S, int X, int Y) { Chart.MouseMove(S, X, Y); };
  Box->OnMouseUp = [&Chart](TMouseButton B, TShiftState S, int X, int Y) { Chart.MouseUp(B, S, X, Y); };
  Box->OnMouseLeave = [&Chart] { Chart.MouseLeave(); };
  if (!Hint.empty()) SetHint(Box, Hint);
  Chart.SetBounds(Box->Width(), Box->Height());
}

void UnhostChart(TChart &Chart, TPaintBox *Box) {
  if (Box) {
    Box->OnPaint = nullptr;
    Box->OnResize = nullptr;
    Box->OnMouseDown = nullptr;
    Box->OnMouseMove = nullptr;
    Box->OnMouseUp = nullptr;
    Box->OnMouseLeave = nullptr;
  }
  Chart.OnRequestPaint = nullptr;
  Chart.OnFlush = nullptr;
  Chart.OnCursorChange = nullptr;
  Chart.SetWindowCanvas(nullptr);
}

TRect GetChartPrintRect() {
  TPrinter &P = Printer();
  const int Left = P.PixelsPerInchX() - P.PhysicalOffsetX();
  const int Top = P.PixelsPerInchY() - P.PhysicalOffsetY();
  return TRect(Left, Top, P.PageWidth() - Left, MulDiv(P.PageHeight(), 2, 3));
}

void PrintChart(TChart &Chart) {
  Screen->SetCursor(crHourGlass);
  struct TRestore {
    ~TRestore() { Screen->SetCursor(crDefault); }
  } Restore;
  TPrinter &P = Printer();
  try {
    P.BeginDoc();
    try {
      Chart.PrintPartial(GetChartPrintRect());
    } catch (...) {
      P.Abort();
      throw;
    }
    P.EndDoc();
  } catch (const std::exception &E) {
    // A printer that fails is told to the user, as every failure of the program is.
    Screen->SetCursor(crDefault);
    MessageDlg(E.what(), mtError, mbOK);
  }
}

void CopyChart(TChart &Chart) {
  const TColor Saved = Chart.Color();
  Chart.SetColor(clWhite);
  Chart.CopyToClipboardMetafile(true);
  Chart.SetColor(Saved);
}

// ---- Series sink ----

void TChartSeriesSink::Clear() { Series.Clear(); }
int TChartSeriesSink::AddXY(double X, double Y, const std::string &Label, TColor Color) {
  return Series.AddXY(X, Y, Label, Color == clDefault ? clChartColor : Color);
}
int TChartSeriesSink::Count() const { return Series.Count(); }
double TChartSeriesSink::XValue(int Index) const { return Series.GetxValue(Index); }
double TChartSeriesSink::YValue(int Index) const { return Series.GetyValue(Index); }
void TChartSeriesSink::SetXValue(int Index, double X) { Series.SetXValue(Index, X); }
void TChartSeriesSink::SetYValue(int Index, double Y) { Series.SetYValue(Index, Y); }
double TChartSeriesSink::MaxYValue() const { return Series.Count() ? Series.MaxYValue() : 0; }

void PrintPictureWithDialog(TPageHost &Host, const std::function<void(int Copies)> &Print) {
  TPrintDialog &Dlg = Host.PrintDialog();
  if (!Dlg.Execute()) return;
  Screen->SetCursor(crHourGlass);
  Host.BusyFlag() = true;
  try {
    Print(Dlg.Copies);
  } catch (const std::exception &E) {
    Host.BusyFlag() = false;
    Screen->SetCursor(crDefault);
    MessageDlg(E.what(), mtError, mbOK);
  }
  AbortFlag = true;
  Host.BusyFlag() = false;
  Screen->SetCursor(crDefault);
}

void SetResourceGlyph(TKitSpeedButton *Button, const std::string &Name) {
  TBitmap B;
  B.LoadFromResource(Name);
  Button->SetGlyph(B);
}

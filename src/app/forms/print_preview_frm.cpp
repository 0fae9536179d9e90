#include "app/forms/print_preview_frm.h"

#include <QCloseEvent>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <exception>

#include "htmlview/html_pane.h"
#include "htmlview/metafile_printer.h"
#include "platform/application.h"
#include "platform/numbers.h"
#include "platform/paint_box.h"
#include "widgets/speed_button.h"

namespace {
constexpr int PageGap = 20; // the box's room around the fitted page
}

TPrntPrevFrm::TPrntPrevFrm(QWidget *AOwner, THtmlPane *AViewer) : QDialog(AOwner), Viewer(AViewer) {
  setObjectName("PrntPrevFrm");
  setWindowTitle("Print preview");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_QuitOnClose, false);
  QFont F("Arial");
  F.setPixelSize(MulDiv(8, Screen->PixelsPerInch(), 72));
  setFont(F);
  resize(620, 453);

  auto *Column = new QVBoxLayout(this);
  Column->setContentsMargins(0, 0, 0, 0);
  Column->setSpacing(0);
  Panel1 = new QWidget(this);
  Panel1->setObjectName("Panel1");
  auto *Row = new QHBoxLayout(Panel1);
  Row->setContentsMargins(4, 3, 4, 3);
  Row->setSpacing(2);
  auto Button = [&](const char *Name, const char *Caption, const char *Glyph,
                    TButtonLayout Layout = blGlyphLeft) {
    auto *B = new TKitSpeedButton(Panel1);
    B->setObjectName(Name);
    B->SetCaption(Caption);
    B->LoadGlyph(Glyph);
    B->SetLayout(Layout);
    B->SetBounds(0, 0, 60, 25);
    Row->addWidget(B);
    return B;
  };
  PrintBtn = Button("PrintBtn", "print", "print");
  PrevPageBtn = Button("PrevPageBtn", "prev", "back");
  NextPageBtn = Button("NextPageBtn", "next", "forward", blGlyphRight);
  ZoomBtn = Button("ZoomBtn", "zoom", "zoom");
  ZoomBtn->SetGroupIndex(1);
  ZoomBtn->SetAllowAllUp(true);
  CloseBtn = Button("CloseBtn", "close", "close");
  Row->addSpacing(12);
  CurPageLabel = new QLabel(Panel1);
  CurPageLabel->setObjectName("CurPageLabel");
  CurPageLabel->setMinimumWidth(100);
  Row->addWidget(CurPageLabel);
  Row->addStretch(1);
  Column->addWidget(Panel1);

  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setObjectName("ScrollBox1");
  ScrollBox1->setWidgetResizable(false);
  ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Column->addWidget(ScrollBox1, 1);
  PagePanel = new QWidget;
  PagePanel->setObjectName("PagePanel");
  PagePanel->setAutoFillBackground(true);
  QPalette Pal = PagePanel->palette();
  Pal.setColor(QPalette::Window, Qt::white);
  PagePanel->setPalette(Pal);
  auto *Inside = new QVBoxLayout(PagePanel);
  Inside->setContentsMargins(0, 0, 0, 0);
  PB = new TPaintBox(PagePanel);
  PB->setObjectName("PB");
  PB->Color = clWhite;
  PB->setToolTip("Page View.  With Zoom Tool, left or right click to zoom in/out.  Click && drag "
                 "with Hand Tool to pan.");
  Inside->addWidget(PB);
  ScrollBox1->setWidget(PagePanel);
  ScrollBox1->viewport()->installEventFilter(this);

  PrintBtn->OnClick = [this] { PrintBtnClick(); };
  PrevPageBtn->OnClick = [this] { PrevPageBtnClick(); };
  NextPageBtn->OnClick = [this] { NextPageBtnClick(); };
  ZoomBtn->OnClick = [this] { ZoomBtnClick(); };
  CloseBtn->OnClick = [this] { CloseBtnClick(); };
  PB->OnPaint = [this] { PBPaint(); };

  PrintDlg.MinPage = 1;
  PrintDlg.FromPage = 1;
  PrintDlg.AllowPageRange = true;

  MFPrinter = std::make_unique<TMetaFilePrinter>();
  if (Viewer) Viewer->PrintPreview(*MFPrinter);
  ShowPageLabel(0);
  UpdateButtons();
  ScrollBox1Resize();
}

TPrntPrevFrm::~TPrntPrevFrm() {
  if (PB) PB->OnPaint = nullptr;
}

int TPrntPrevFrm::PageCount() const { return MFPrinter ? MFPrinter->GetLastAvailablePage() : 0; }

void TPrntPrevFrm::ShowPageLabel(int Page) {
  CurPageLabel->setText(QString::fromStdString(Format("Page %d of %d", Page + 1, PageCount())));
  PB->Invalidate();
}

void TPrntPrevFrm::UpdateButtons() {
  const int N = PageCount();
  NextPageBtn->SetEnabled(N > CurPage + 1);
  PrevPageBtn->SetEnabled(CurPage >= 1);
  // Nothing to print offers no page range; nor while a print runs.
  PrintBtn->SetEnabled(N > 0 && !FPrinting);
}

void TPrntPrevFrm::PrevPageBtnClick() {
  if (CurPage > 0) {
    --CurPage;
    ShowPageTop();
  }
  UpdateButtons();
  ShowPageLabel(CurPage);
}

void TPrntPrevFrm::NextPageBtnClick() {
  if (CurPage < PageCount() - 1) {
    ++CurPage;
    ShowPageTop();
  }
  UpdateButtons();
  ShowPageLabel(CurPage);
}

// A page is read from its top: the offset scrolled to on the last page would open the new
// one part way down, at its empty bottom after a short last page.
void TPrntPrevFrm::ShowPageTop() {
  ScrollBox1->verticalScrollBar()->setValue(0);
  ScrollBox1->horizontalScrollBar()->setValue(0);
}

void TPrntPrevFrm::PBPaint() {
  TCanvas &C = PB->Canvas();
  C.Brush().Color = clWhite;
  C.Brush().Style = bsSolid;
  C.FillRect(PB->ClientRect());
  if (!MFPrinter || PageCount() <= CurPage || MFPrinter->PaperWidth <= 0 || MFPrinter->PaperHeight <= 0)
    return;
  // The whole sheet fills the box; the printable area sits at its physical offset.
  const double SX = double(PB->Width()) / MFPrinter->PaperWidth;
  const double SY = double(PB->Height()) / MFPrinter->PaperHeight;
  const TMetafile &Page = MFPrinter->GetMetaFile(CurPage);
  TRect R(Round(MFPrinter->OffsetX * SX), Round(MFPrinter->OffsetY * SY),
          Round((MFPrinter->OffsetX + Page.Width()) * SX), Round((MFPrinter->OffsetY + Page.Height()) * SY));
  C.StretchDraw(R, Page);
}

TSize TPrntPrevFrm::FittedPageSize(int BoxWidth, int BoxHeight, bool Zoomed, int PaperWidth,
                                   int PaperHeight, int PixelsPerInchX, int PixelsPerInchY) {
  if (PaperWidth <= 0 || PaperHeight <= 0 || PixelsPerInchX <= 0 || PixelsPerInchY <= 0) return TSize(0, 0);
  // Paper width over height in inches.
  const double Ratio = (double(PaperWidth) / PixelsPerInchX) / (double(PaperHeight) / PixelsPerInchY);
  if (Zoomed) {
    int W = std::max(0, BoxWidth - PageGap);
    return TSize(W, Trunc(W / Ratio));
  }
  int H = std::max(0, BoxHeight - PageGap);
  return TSize(Trunc(H * Ratio), H);
}

void TPrntPrevFrm::ScrollBox1Resize() {
  if (!MFPrinter) return;
  QSize Box = ScrollBox1->maximumViewportSize();
  // Fitted to the width, the page scrolls down: its bar takes room beside it.
  if (Zoomed) Box.setWidth(Box.width() - ScrollBox1->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
  TSize S = FittedPageSize(Box.width(), Box.height(), Zoomed, MFPrinter->PaperWidth, MFPrinter->PaperHeight,
                           MFPrinter->PixelsPerInchX, MFPrinter->PixelsPerInchY);
  PagePanel->setGeometry(0, 0, S.cx, S.cy);
  PB->Invalidate();
}

void TPrntPrevFrm::ZoomBtnClick() {
  Zoomed = ZoomBtn->Down();
  ScrollBox1Resize();
}

void TPrntPrevFrm::PrintBtnClick() {
  const int N = PageCount();
  if (N <= 0 || FPrinting || !Viewer) return;
  PrintDlg.MaxPage = N;
  PrintDlg.ToPage = N;
  PrintDlg.FromPage = 1;
  PrintDlg.AllowPageRange = true;
  if (!PrintDlg.Execute()) return;
  int From = 1, To = N;
  if (PrintDlg.PrintRange) {
    From = PrintDlg.FromPage;
    To = PrintDlg.ToPage;
  }
  FPrinting = true;
  UpdateButtons();
  try {
    Viewer->Print(From, To, std::max(1, PrintDlg.Copies));
  } catch (const std::exception &E) {
    MessageDlg(E.what(), mtError, mbOK);
  }
  FPrinting = false;
  UpdateButtons();
}

void TPrntPrevFrm::CloseBtnClick() { close(); }

void TPrntPrevFrm::closeEvent(QCloseEvent *E) {
  if (FPrinting) {
    // The print in progress returns first; the window stays until then.
    E->ignore();
    return;
  }
  QDialog::closeEvent(E);
  if (E->isAccepted()) {
    if (PB) PB->OnPaint = nullptr;
    MFPrinter.reset();
  }
}

bool TPrntPrevFrm::eventFilter(QObject *Watched, QEvent *E) {
  if (ScrollBox1 && Watched == ScrollBox1->viewport() && E->type() == QEvent::Resize) ScrollBox1Resize();
  return QDialog::eventFilter(Watched, E);
}

#include "platform/printer.h"

#include <QEvent>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/canvas_impl.h"
#include "platform/numbers.h"

struct TPrinter::Impl {
  std::unique_ptr<QPrinter> Q;
  std::unique_ptr<QPainter> Painter;
  std::unique_ptr<TCanvas> Canvas;
  TCanvas Idle; // drawn on outside a document: ignored
  std::unique_ptr<TCanvas> Info;
  bool Printing = false;
  bool Aborted = false;
  int Pages = 0;
  std::string Output;
  int Dpi = 300;
  TPrinterOrientation Orientation = poPortrait;
  int Copies = 1;

  QPrinter &P() {
    if (!Q) {
      Q = std::make_unique<QPrinter>(QPrinter::ScreenResolution);
      Apply();
    }
    return *Q;
  }
  void Apply() {
    if (!Q) return;
    if (!Output.empty()) {
      Q->setOutputFormat(QPrinter::PdfFormat);
      Q->setOutputFileName(QString::fromStdString(Output));
      Q->setResolution(Dpi);
      // The PDF page is all printable: margins are the program's to choose.
      Q->setPageSize(QPageSize(QPageSize::A4));
      Q->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
    Q->setPageOrientation(Orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    Q->setCopyCount(Copies);
  }
  QRect PaintRect() {
    QPrinter &Pr = P();
    return Pr.pageLayout().paintRectPixels(Pr.resolution());
  }
  QRect FullRect() {
    QPrinter &Pr = P();
    return Pr.pageLayout().fullRectPixels(Pr.resolution());
  }
};

TPrinter::TPrinter() : D(std::make_unique<Impl>()) {}
TPrinter::~TPrinter() {
  if (D->Printing) Abort();
}

void TPrinter::BeginDoc() {
  if (D->Printing) throw Exception("Printing in progress");
  QPrinter &Q = D->P();
  D->Apply();
  Q.setDocName(QString::fromStdString(Title));
  D->Painter = std::make_unique<QPainter>();
  if (!D->Painter->begin(&Q)) {
    D->Painter.reset();
    throw Exception("Printer selected is not valid");
  }
  D->Canvas = MakePainterCanvas(D->Painter.get(), &Q, Q.resolution());
  D->Printing = true;
  D->Aborted = false;
  D->Pages = 1;
}

void TPrinter::NewPage() {
  if (!D->Printing) throw Exception("Printer is not currently printing");
  D->Q->newPage();
  D->Pages++;
}

void TPrinter::EndDoc() {
  if (!D->Printing) return;
  D->Canvas.reset();
  D->Painter->end();
  D->Painter.reset();
  D->Printing = false;
}

void TPrinter::Abort() {
  if (!D->Printing) return;
  D->Canvas.reset();
  D->Q->abort();
  if (D->Painter->isActive()) D->Painter->end();
  D->Painter.reset();
  D->Printing = false;
  D->Aborted = true;
}

bool TPrinter::Printing() const { return D->Printing; }
bool TPrinter::Aborted() const { return D->Aborted; }
int TPrinter::PageNumber() const { return D->Pages; }
int TPrinter::PageWidth() const { return D->PaintRect().width(); }
int TPrinter::PageHeight() const { return D->PaintRect().height(); }
int TPrinter::PixelsPerInchX() const { return D->P().resolution(); }
int TPrinter::PixelsPerInchY() const { return D->P().resolution(); }
int TPrinter::PhysicalOffsetX() const { return D->PaintRect().left(); }
int TPrinter::PhysicalOffsetY() const { return D->PaintRect().top(); }
int TPrinter::PhysicalWidth() const { return D->FullRect().width(); }
int TPrinter::PhysicalHeight() const { return D->FullRect().height(); }
TPrinterOrientation TPrinter::Orientation() const { return D->Orientation; }
void TPrinter::SetOrientation(TPrinterOrientation O) {
  if (D->Printing) throw Exception("Cannot change orientation while printing");
  D->Orientation = O;
  D->Apply();
}
int TPrinter::Copies() const { return D->Copies; }
void TPrinter::SetCopies(int N) {
  D->Copies = std::max(1, N);
  D->Apply();
}
void TPrinter::SetOutputFile(const std::string &Path) {
  D->Output = Path;
  if (D->Q) {
    if (Path.empty()) D->Q->setOutputFileName(QString());
    D->Apply();
  }
}
std::string TPrinter::OutputFile() const { return D->Output; }
void TPrinter::SetResolution(int Dpi) {
  D->Dpi = std::clamp(Dpi, 72, 1200);
  if (D->Q && !D->Printing) D->Q->setResolution(D->Dpi);
}

TCanvas &TPrinter::Canvas() { return D->Canvas ? *D->Canvas : D->Idle; }

namespace {
struct TOpenCanvas : TCanvas {
  explicit TOpenCanvas(std::unique_ptr<Impl> X) : TCanvas(std::move(X)) {}
};
std::unique_ptr<TCanvas::Impl> MeasuringImpl(int Ppi) {
  auto I = std::make_unique<TCanvas::Impl>();
  I->Ppi = Ppi;
  I->Font.PixelsPerInch = Ppi;
  I->Font.SetSize(8);
  return I;
}
int GPrinterCountOverride = -1;
} // namespace

TCanvas &TPrinter::InfoCanvas() {
  int Ppi = PixelsPerInchY();
  if (!D->Info || D->Info->PixelsPerInchY() != Ppi) D->Info = std::make_unique<TOpenCanvas>(MeasuringImpl(Ppi));
  return *D->Info;
}

int TPrinter::PrinterCount() const {
  if (GPrinterCountOverride >= 0) return GPrinterCountOverride;
  return int(QPrinterInfo::availablePrinters().size()) + 1;
}

void SetPrinterCountForTests(int N) { GPrinterCountOverride = N; }

// ---- a device context of its own ----

struct TPrinterDC::Impl {
  std::unique_ptr<QPrinter> Q;
  std::unique_ptr<QPainter> Painter;
  bool PageEnded = false;
  QRect PaintRect() const { return Q->pageLayout().paintRectPixels(Q->resolution()); }
  QRect FullRect() const { return Q->pageLayout().fullRectPixels(Q->resolution()); }
};

TPrinterDC::TPrinterDC(const TPrinter &From) : D(std::make_unique<Impl>()) {
  QPrinter &S = const_cast<TPrinter &>(From).Data().P();
  D->Q = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrinter &Q = *D->Q;
  Q.setOutputFormat(S.outputFormat());
  if (S.outputFormat() == QPrinter::NativeFormat) Q.setPrinterName(S.printerName());
  else Q.setOutputFileName(S.outputFileName());
  Q.setResolution(S.resolution());
  Q.setFullPage(S.fullPage());
  Q.setPageLayout(S.pageLayout());
  Q.setColorMode(S.colorMode());
  Q.setCopyCount(1);
  if (!Q.isValid()) throw Exception("Printer selected is not valid");
}

TPrinterDC::~TPrinterDC() {
  if (D->Painter && D->Painter->isActive()) AbortDoc();
}

int TPrinterDC::PixelsPerInchX() const { return D->Q->resolution(); }
int TPrinterDC::PixelsPerInchY() const { return D->Q->resolution(); }
int TPrinterDC::PageWidth() const { return D->PaintRect().width(); }
int TPrinterDC::PageHeight() const { return D->PaintRect().height(); }
int TPrinterDC::PhysicalWidth() const { return D->FullRect().width(); }
int TPrinterDC::PhysicalHeight() const { return D->FullRect().height(); }
int TPrinterDC::PhysicalOffsetX() const { return D->PaintRect().left(); }
int TPrinterDC::PhysicalOffsetY() const { return D->PaintRect().top(); }
void TPrinterDC::SetCopies(int N) {
  if (!InDoc()) D->Q->setCopyCount(std::max(1, N));
}

bool TPrinterDC::StartDoc(const std::string &DocName) {
  if (InDoc()) return false;
  D->Q->setDocName(QString::fromStdString(DocName));
  D->Painter = std::make_unique<QPainter>();
  D->PageEnded = false;
  if (!D->Painter->begin(D->Q.get())) {
    D->Painter.reset();
    return false;
  }
  return true;
}

// The painter opens the first page with the document; later pages follow an ended one.
void TPrinterDC::StartPage() {
  if (!InDoc() || !D->PageEnded) return;
  D->Q->newPage();
  D->PageEnded = false;
}
void TPrinterDC::EndPage() {
  if (InDoc()) D->PageEnded = true;
}
void TPrinterDC::EndDoc() {
  if (!InDoc()) return;
  D->Painter->end();
  D->Painter.reset();
}
void TPrinterDC::AbortDoc() {
  if (!D->Painter) return;
  D->Q->abort();
  if (D->Painter->isActive()) D->Painter->end();
  D->Painter.reset();
  // A PDF file cannot take back the pages it was given: an aborted job leaves no file.
  if (!D->Q->outputFileName().isEmpty()) QFile::remove(D->Q->outputFileName());
}
bool TPrinterDC::InDoc() const { return D->Painter && D->Painter->isActive(); }

TDeviceCanvas::TDeviceCanvas() : TCanvas(MeasuringImpl(96)) {
  D->Changing = [this] { Changing(); };
}

void TDeviceCanvas::Attach(TPrinterDC *DC) {
  std::unique_ptr<Impl> N;
  if (DC && DC->InDoc()) N = MakePainterImpl(DC->Data().Painter.get(), DC->Data().Q.get(), DC->PixelsPerInchY());
  else N = MeasuringImpl(DC ? DC->PixelsPerInchY() : 96);
  N->Pen = D->Pen;
  N->Brush = D->Brush;
  N->Font = D->Font;
  N->Font.PixelsPerInch = N->Ppi;
  N->Changing = std::move(D->Changing);
  D = std::move(N);
}

TPrinter &Printer() {
  static TPrinter P;
  return P;
}

namespace {
std::function<bool(TPrintDialog &)> &DialogHook() {
  static std::function<bool(TPrintDialog &)> H;
  return H;
}
} // namespace

void SetPrintDialogHook(std::function<bool(TPrintDialog &)> Hook) { DialogHook() = std::move(Hook); }

namespace {
// The dialog offers its page range on showing whatever its options say: for a print of one
// page the range is turned off once it is shown (the names are those of the dialog's form).
class TPageRangeOff : public QObject {
public:
  explicit TPageRangeOff(QPrintDialog &D) : Dialog(D) {}
  bool eventFilter(QObject *Watched, QEvent *E) override {
    if (Watched == &Dialog && E->type() == QEvent::Show)
      for (const char *Name : {"printRange", "pagesRadioButton", "from", "to", "pagesLineEdit"})
        if (QWidget *W = Dialog.findChild<QWidget *>(Name)) W->setEnabled(false);
    return false;
  }

private:
  QPrintDialog &Dialog;
};
} // namespace

bool TPrintDialog::Execute() {
  if (DialogHook()) return DialogHook()(*this);
  QPrinter &Q = Printer().Data().P();
  Q.setCopyCount(std::max(1, Copies));
  Q.setFromTo(FromPage, ToPage);
  // The printer keeps the range of the last print; a print without pages starts from all.
  if (!AllowPageRange) Q.setPrintRange(QPrinter::AllPages);
  QPrintDialog Dlg(&Q);
  TPageRangeOff RangeOff(Dlg);
  if (AllowPageRange) Dlg.setMinMax(MinPage, MaxPage);
  else {
    Dlg.setOption(QAbstractPrintDialog::PrintPageRange, false);
    Dlg.installEventFilter(&RangeOff);
  }
  bool Ok = Dlg.exec() == QDialog::Accepted;
  if (Ok) {
    Copies = std::max(1, Q.copyCount());
    PrintRange = Q.printRange() == QPrinter::PageRange;
    FromPage = Q.fromPage();
    ToPage = Q.toPage();
    Printer().Data().Orientation =
        Q.pageLayout().orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
  }
  // The program prints its copies itself.
  Q.setCopyCount(1);
  Printer().Data().Copies = 1;
  return Ok;
}

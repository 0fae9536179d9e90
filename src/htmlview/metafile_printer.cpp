#include "htmlview/metafile_printer.h"

#include "platform/numbers.h"
#include "platform/printer.h"

TMetaFilePrinter::TMetaFilePrinter() { ReadPrinter(); }

TMetaFilePrinter::~TMetaFilePrinter() { FreePages(); }

void TMetaFilePrinter::ReadPrinter() {
  TPrinter &P = Printer();
  PixelsPerInchX = P.PixelsPerInchX();
  PixelsPerInchY = P.PixelsPerInchY();
  PaperWidth = P.PhysicalWidth();
  PaperHeight = P.PhysicalHeight();
  OffsetX = P.PhysicalOffsetX();
  OffsetY = P.PhysicalOffsetY();
  PageWidth = P.PageWidth();
  PageHeight = P.PageHeight();
}

void TMetaFilePrinter::BeginDoc() {
  if (Printer().PrinterCount() == 0) throw Exception("Printer not available");
  FPrinting = true;
  FreePages();
  ReadPrinter();
  FPrinterDC = &Printer().InfoCanvas();
  NewPage();
}

void TMetaFilePrinter::NewPage() {
  if (!FPrinting) return;
  auto Page = std::make_unique<TMetafile>();
  Page->SetSize(PaperWidth, PaperHeight);
  auto Canvas = std::make_unique<TMetafileCanvas>(*Page, FPrinterDC);
  // Every page starts as a white sheet of paper.
  Canvas->Brush().Color = clWhite;
  Canvas->Brush().Style = bsSolid;
  Canvas->Pen().Color = clWhite;
  Canvas->Rectangle(0, 0, PaperWidth, PaperHeight);
  if (!PageCanvas) {
    Canvas->Font().PixelsPerInch = 96;
    Canvas->Font().Name = "Arial";
    Canvas->Font().SetSize(10);
    Canvas->Brush().Style = bsClear;
  }
  Pages.push_back(std::move(Page));
  PageCanvas = std::move(Canvas); // the previous page's recording is complete
  FPageUsed = false;
  if (OnPageEvent) {
    bool Stop = false;
    OnPageEvent(this, GetPageCount(), Stop);
  }
}

void TMetaFilePrinter::EndDoc() {
  // Only a running job has an open page to end: a second EndDoc must not drop a real one.
  if (!FPrinting) return;
  FPrinting = false;
  PageCanvas.reset();
  FPrinterDC = nullptr;
  if (!FPageUsed && !Pages.empty()) Pages.pop_back();
}

TCanvas &TMetaFilePrinter::GetCanvas() {
  if (!PageCanvas) return FIdle;
  FPageUsed = true;
  return *PageCanvas;
}

const TMetafile &TMetaFilePrinter::GetMetaFile(int Index) const {
  if (Index < 0 || Index >= GetPageCount()) throw Exception(Format("List index out of bounds (%d)", Index));
  return *Pages[size_t(Index)];
}

void TMetaFilePrinter::FreePages() {
  PageCanvas.reset();
  Pages.clear();
}

void TMetaFilePrinter::SetUnits(TUnits Value) {
  FUnits = Value;
  FUnitsFactor = Value == unCentimeters ? 2.54 : 1.0;
}

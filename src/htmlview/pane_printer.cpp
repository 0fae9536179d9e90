#include "htmlview/pane_printer.h"

namespace {
std::unique_ptr<TPanePrinter> &TheOne() {
  static std::unique_ptr<TPanePrinter> P;
  return P;
}
constexpr size_t MaxDocName = 31;
} // namespace

TPanePrinter &PanePrinter() {
  if (!TheOne()) TheOne() = std::make_unique<TPanePrinter>();
  return *TheOne();
}

std::unique_ptr<TPanePrinter> SetPanePrinter(std::unique_ptr<TPanePrinter> New) {
  std::unique_ptr<TPanePrinter> Old = std::move(TheOne());
  TheOne() = std::move(New);
  return Old;
}

void TPrinterCanvas::Changing() {
  if (Printer) Printer->CheckPrinting(true);
}

TPanePrinter::~TPanePrinter() {
  try {
    if (FPrinting) EndDoc();
  } catch (...) {
  }
  if (FCanvas) FCanvas->Attach(nullptr);
  FDC.reset();
}

void TPanePrinter::CheckPrinting(bool Value) const {
  if (FPrinting != Value)
    throw EPrinter(Value ? "Printer is not currently printing" : "Printing in progress");
}

void TPanePrinter::SetState(uint8_t Value) {
  if (Value == FState) return;
  if (Value == 0) {
    CheckPrinting(false);
    if (FCanvas) FCanvas->Attach(nullptr);
    FDC.reset();
    FState = 0;
    return;
  }
  // A device context also answers for information.
  if (Value == 1 && FState == 2) return;
  if (FCanvas) FCanvas->Attach(nullptr);
  FDC.reset();
  try {
    FDC = std::make_unique<TPrinterDC>(Printer());
  } catch (const Exception &) {
    FState = 0;
    throw EPrinter("Printer selected is not valid");
  }
  if (FCanvas) FCanvas->Attach(FDC.get());
  FState = Value;
}

TPrinterDC &TPanePrinter::Context() {
  SetState(1);
  return *FDC;
}

TPrinterCanvas &TPanePrinter::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TPrinterCanvas>(this);
    FCanvas->Attach(FDC.get());
  }
  return *FCanvas;
}

void TPanePrinter::BeginDoc() {
  CheckPrinting(false);
  SetState(2);
  FPrinting = true;
  FAborted = false;
  FPageNumber = 1;
  FDocName = Title.substr(0, MaxDocName);
  FDC->SetCopies(FCopies);
  if (!FDC->StartDoc(FDocName)) {
    FPrinting = false;
    FPageNumber = 0;
    throw EPrinter("Printer selected is not valid");
  }
  FDC->StartPage();
  Canvas().Attach(FDC.get());
}

void TPanePrinter::NewPage() {
  CheckPrinting(true);
  FDC->EndPage();
  FDC->StartPage();
  ++FPageNumber;
  Canvas().Attach(FDC.get());
}

void TPanePrinter::EndDoc() {
  CheckPrinting(true);
  FDC->EndPage();
  if (!FAborted) FDC->EndDoc();
  FPrinting = false;
  FAborted = false;
  FPageNumber = 0;
  if (FCanvas) FCanvas->Attach(FDC.get());
}

void TPanePrinter::Abort() {
  CheckPrinting(true);
  FDC->AbortDoc();
  FAborted = true;
  EndDoc();
}

int TPanePrinter::GetPageWidth() { return Context().PageWidth(); }
int TPanePrinter::GetPageHeight() { return Context().PageHeight(); }
int TPanePrinter::PixelsPerInchX() { return Context().PixelsPerInchX(); }
int TPanePrinter::PixelsPerInchY() { return Context().PixelsPerInchY(); }
int TPanePrinter::PhysicalWidth() { return Context().PhysicalWidth(); }
int TPanePrinter::PhysicalHeight() { return Context().PhysicalHeight(); }
int TPanePrinter::PhysicalOffsetX() { return Context().PhysicalOffsetX(); }
int TPanePrinter::PhysicalOffsetY() { return Context().PhysicalOffsetY(); }

#pragma once
// TPanePrinter: the text viewer's own printer object. It takes the printer chosen for the
// program (printer or PDF file, paper, resolution) but opens its own information or device
// context, runs its own document and page calls and draws through its own canvas.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/numbers.h"
#include "platform/printer.h"

// The printer errors of the class library.
class EPrinter : public Exception {
public:
  using Exception::Exception;
};

class TPanePrinter;

// The canvas of the viewer's printer: keeps its pen, brush and font from page to page,
// measures at any time and draws only while a job runs.
class TPrinterCanvas : public TDeviceCanvas {
public:
  explicit TPrinterCanvas(TPanePrinter *APrinter) : Printer(APrinter) {}
  TPanePrinter *Printer; // not owned

protected:
  // Raises EPrinter "Printer is not currently printing" outside BeginDoc..EndDoc.
  void Changing() override;
};

class TPanePrinter {
public:
  TPanePrinter() = default;
  ~TPanePrinter();
  TPanePrinter(const TPanePrinter &) = delete;
  TPanePrinter &operator=(const TPanePrinter &) = delete;

  std::string Title; // only its first 31 characters name the document

  void BeginDoc();
  void NewPage();
  void EndDoc();
  void Abort();
  TPrinterCanvas &Canvas();
  // The printable page in dots (HORZRES, VERTRES); opens an information context when no
  // context is open, and keeps a device context.
  int GetPageWidth();
  int GetPageHeight();
  // The other device capabilities of that context (LOGPIXELS, PHYSICAL...).
  int PixelsPerInchX();
  int PixelsPerInchY();
  int PhysicalWidth();
  int PhysicalHeight();
  int PhysicalOffsetX();
  int PhysicalOffsetY();
  // Copies made by the device itself (where it can); 1 by default.
  void SetCopies(int N) { FCopies = std::max(1, N); }

  int PageNumber() const { return FPageNumber; }
  bool Printing() const { return FPrinting; }
  bool Aborted() const { return FAborted; }
  // 0 no context, 1 information context, 2 device context.
  uint8_t State() const { return FState; }
  void SetState(uint8_t Value);
  // The name the last document was started with.
  const std::string &DocName() const { return FDocName; }

private:
  friend class TPrinterCanvas;
  void CheckPrinting(bool Value) const;
  TPrinterDC &Context();

  std::unique_ptr<TPrinterCanvas> FCanvas;
  std::unique_ptr<TPrinterDC> FDC;
  int FPageNumber = 0;
  bool FPrinting = false;
  bool FAborted = false;
  uint8_t FState = 0;
  int FCopies = 1;
  std::string FDocName;
};

// The process-wide viewer printer, made on first request.
TPanePrinter &PanePrinter();
// Installs New (null: a fresh one is made on the next request) and gives the previous
// one back to the caller.
std::unique_ptr<TPanePrinter> SetPanePrinter(std::unique_ptr<TPanePrinter> New);

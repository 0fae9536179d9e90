#pragma once
// TPrinter over QPrinter, and the print dialog. Page sizes are in device dots; the
// canvas is valid between BeginDoc and EndDoc. Tests print to a PDF file.
#include <functional>
#include <memory>
#include <string>

#include "platform/canvas.h"

enum TPrinterOrientation { poPortrait, poLandscape };

class TPrinter {
public:
  TPrinter();
  ~TPrinter();
  TPrinter(const TPrinter &) = delete;
  TPrinter &operator=(const TPrinter &) = delete;

  // Raises Exception("Printing in progress") when already printing.
  void BeginDoc();
  void NewPage();
  void EndDoc();
  void Abort();
  bool Printing() const;
  bool Aborted() const;
  // Pages started in the current (or last) document.
  int PageNumber() const;

  // Printable area in dots, and the device resolution (LOGPIXELSX/Y).
  int PageWidth() const;
  int PageHeight() const;
  int PixelsPerInchX() const;
  int PixelsPerInchY() const;
  // Offset of the printable area from the paper's corner, and the paper size, in dots.
  int PhysicalOffsetX() const;
  int PhysicalOffsetY() const;
  int PhysicalWidth() const;
  int PhysicalHeight() const;

  TPrinterOrientation Orientation() const;
  void SetOrientation(TPrinterOrientation O);
  std::string Title;
  int Copies() const;
  void SetCopies(int N);

  // Output to a PDF file instead of a printer ("" = the printer chosen in the dialog).
  void SetOutputFile(const std::string &Path);
  std::string OutputFile() const;
  // Resolution of the PDF output (default 300 dpi); set before BeginDoc.
  void SetResolution(int Dpi);

  TCanvas &Canvas();
  // Measures like the printer without a job: its resolution and font metrics (the
  // reference device of page metafiles).
  TCanvas &InfoCanvas();
  // Printers to choose from: the system's, and printing to a PDF file.
  int PrinterCount() const;

  struct Impl;
  Impl &Data() { return *D; }

private:
  std::unique_ptr<Impl> D;
};

// The program's one printer.
TPrinter &Printer();
// Tests: pretend that N printers are installed (-1: ask the system again).
void SetPrinterCountForTests(int N);

// A device context of its own on the printer chosen for Printer() (the printer or PDF
// file, paper, orientation, resolution), with its own document and page calls. Sizes are
// in dots, as the device capabilities HORZRES, LOGPIXELSX, PHYSICALWIDTH ... report them.
class TPrinterDC {
public:
  // Raises Exception("Printer selected is not valid") when the printer cannot be opened.
  explicit TPrinterDC(const TPrinter &From);
  ~TPrinterDC();
  TPrinterDC(const TPrinterDC &) = delete;
  TPrinterDC &operator=(const TPrinterDC &) = delete;

  int PixelsPerInchX() const;
  int PixelsPerInchY() const;
  int PageWidth() const;  // HORZRES
  int PageHeight() const; // VERTRES
  int PhysicalWidth() const;
  int PhysicalHeight() const;
  int PhysicalOffsetX() const;
  int PhysicalOffsetY() const;
  void SetCopies(int N); // before StartDoc; the device's own copy count

  // False when the device refuses (as StartDoc's error result).
  bool StartDoc(const std::string &DocName);
  void StartPage();
  void EndPage();
  void EndDoc();
  void AbortDoc();
  bool InDoc() const;

  struct Impl;
  Impl &Data() { return *D; }

private:
  std::unique_ptr<Impl> D;
};

// A canvas that keeps its pen, brush and font while it is moved between device contexts
// (a printer canvas that outlives its pages).
class TDeviceCanvas : public TCanvas {
public:
  TDeviceCanvas();
  // Draws on DC's current page from now on; measures with its resolution outside a
  // document; draws nowhere when DC is null.
  void Attach(TPrinterDC *DC);

protected:
  // Runs before every drawing call on the canvas; a canvas that must not draw now raises.
  virtual void Changing() {}
};

class TPrintDialog {
public:
  int Copies = 1;
  int MinPage = 0, MaxPage = 0, FromPage = 0, ToPage = 0;
  bool AllowPageRange = false;
  bool PrintRange = false; // true when the user chose a page range
  // Shows the dialog for Printer(); true when the user chose to print. The chosen copies
  // are left in Copies (the printer's own count stays 1: the program loops itself).
  bool Execute();
};
// Tests answer the dialog without a window: the hook gets the dialog and returns what
// Execute returns. An empty function restores the real dialog.
void SetPrintDialogHook(std::function<bool(TPrintDialog &)> Hook);

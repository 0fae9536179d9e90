#pragma once
// TMetaFilePrinter: a print job recorded as one metafile per page, in the printer's dots
// and measured with its fonts, so that the print preview shows the pages as they print.
#include <functional>
#include <memory>
#include <vector>

#include "platform/metafile.h"

enum TUnits { unInches, unCentimeters };

class TMetaFilePrinter;
using TPageEvent = std::function<void(TMetaFilePrinter *Sender, int NumPage, bool &StopPrinting)>;

class TMetaFilePrinter {
public:
  // Reads the printer's resolution and paper now, so that a job that records nothing
  // still has a page size to show.
  TMetaFilePrinter();
  ~TMetaFilePrinter();
  TMetaFilePrinter(const TMetaFilePrinter &) = delete;
  TMetaFilePrinter &operator=(const TMetaFilePrinter &) = delete;

  // Raises Exception("Printer not available") when no printer is installed.
  void BeginDoc();
  void NewPage();
  // Ends the job; a trailing page nobody drew on after NewPage is dropped. Does nothing
  // when no job runs.
  void EndDoc();
  // The canvas of the current page (marks the page used); a canvas drawing nowhere
  // outside a job.
  TCanvas &GetCanvas();
  // Page Index (0-based); raises "List index out of bounds (n)" outside 0..count-1.
  const TMetafile &GetMetaFile(int Index) const;
  int GetPageCount() const { return int(Pages.size()); }
  int GetLastAvailablePage() const { return GetPageCount(); }
  void FreePages();

  TUnits Units() const { return FUnits; }
  void SetUnits(TUnits Value);
  double UnitsFactor() const { return FUnitsFactor; }

  bool Printing() const { return FPrinting; }
  bool PageUsed() const { return FPageUsed; }
  // The printer's information canvas while a job runs (its device capabilities), else null.
  TCanvas *PrinterDC() const { return FPrinterDC; }

  // LOGPIXELSX/Y, PHYSICALWIDTH/HEIGHT, PHYSICALOFFSETX/Y and the printable page, in dots.
  int PixelsPerInchX = 0, PixelsPerInchY = 0;
  int PaperWidth = 0, PaperHeight = 0;
  int OffsetX = 0, OffsetY = 0;
  int PageWidth = 0, PageHeight = 0;

  TPageEvent OnPageEvent;

private:
  void ReadPrinter();

  bool FPrinting = false;
  std::vector<std::unique_ptr<TMetafile>> Pages;
  std::unique_ptr<TMetafileCanvas> PageCanvas;
  TCanvas FIdle;
  TUnits FUnits = unInches;
  double FUnitsFactor = 1.0;
  bool FPageUsed = false;
  TCanvas *FPrinterDC = nullptr;
};

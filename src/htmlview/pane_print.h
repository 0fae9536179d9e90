#pragma once
// The page loop of the text viewer's printing and print preview: a document laid out for
// the printable width in screen pixels, mapped onto the page at the device's resolution
// and cut into pages where no line is split.
#include <climits>
#include <functional>
#include <string>

#include "platform/canvas.h"

class TMetaFilePrinter;
class TPanePrinter;

// Device capabilities in dots.
struct TPrintCaps {
  int PixelsPerInchX = 0, PixelsPerInchY = 0;
  int PageWidth = 0, PageHeight = 0;         // HORZRES, VERTRES
  int PhysicalWidth = 0, PhysicalHeight = 0; // the paper
  int OffsetX = 0, OffsetY = 0;              // of the printable area
};

// What the page loop prints on: a real printer or the preview's page metafiles.
class TPrintDevice {
public:
  virtual ~TPrintDevice() = default;
  virtual void BeginDoc(const std::string &Title) = 0;
  virtual TCanvas &Canvas() = 0;
  virtual TPrintCaps Caps() = 0; // valid after BeginDoc
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  virtual void Abort() = 0;
};

// What the page loop prints: the print copy of the document.
class TPrintDocument {
public:
  virtual ~TPrintDocument() = default;
  virtual void SetPageHeight(int H) = 0;
  // Lays the document out for Width pixels; returns its height.
  virtual int Layout(TCanvas &Canvas, int Width) = 0;
  // Draws the document from PageTop on into Band (screen pixels; Band.Left may lie outside
  // the clip for pages that are not printed) and returns where the next page starts.
  virtual int DrawPage(TCanvas &Canvas, int PageTop, const TRect &Band) = 0;
};

// Where the text goes on the page: margins in dots (less the unprintable border), the
// text band and the whole page in screen pixels.
struct TPrintGeometry {
  int LeftDots = 0, RightDots = 0, TopDots = 0, BottomDots = 0;
  int TextWidthDots = 0, TextHeightDots = 0;
  int L = 0, W = 0, T = 0, H = 0; // the text band in screen pixels
  int FullW = 0, FullH = 0;       // the printable page in screen pixels
};
// Margins in centimetres; ScreenPpi is the screen's pixels per inch.
TPrintGeometry PrintGeometry(const TPrintCaps &Caps, double MarginLeft, double MarginRight,
                             double MarginTop, double MarginBottom, int ScreenPpi);

using TPrintBandEvent =
    std::function<void(TCanvas &Canvas, int NumPage, int W, int H, bool &StopPrinting)>;

struct TPrintRun {
  std::string Title;
  double MarginLeft = 2.0, MarginRight = 2.0, MarginTop = 2.0, MarginBottom = 2.0;
  bool Preview = false;  // every page, a new page after each but the last, EndDoc
  int FromPage = 1, ToPage = INT_MAX;
  int Copies = 1;        // printed one after another in the one job
  int ScreenPpi = 96;
  TPrintBandEvent OnHeader, OnFooter;
  std::function<void()> Pump; // lets the application process its messages
};

// Runs the page loop; returns the number of pages processed (the page count of a preview).
// A print that reaches no page of FromPage..ToPage is aborted. An exception aborts the job
// and passes on.
int PrintPages(TPrintDocument &Doc, TPrintDevice &Device, const TPrintRun &Run);

// The two devices.
class TPanePrintDevice : public TPrintDevice {
public:
  explicit TPanePrintDevice(TPanePrinter &P) : Printer(P) {}
  void BeginDoc(const std::string &Title) override;
  TCanvas &Canvas() override;
  TPrintCaps Caps() override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;

private:
  TPanePrinter &Printer;
};

class TMetaFilePrintDevice : public TPrintDevice {
public:
  explicit TMetaFilePrintDevice(TMetaFilePrinter &P) : Printer(P) {}
  void BeginDoc(const std::string &Title) override;
  TCanvas &Canvas() override;
  TPrintCaps Caps() override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;

private:
  TMetaFilePrinter &Printer;
};

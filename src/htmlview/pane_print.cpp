#include "htmlview/pane_print.h"

#include <algorithm>

#include "htmlview/metafile_printer.h"
#include "htmlview/pane_printer.h"
#include "platform/numbers.h"

TPrintGeometry PrintGeometry(const TPrintCaps &C, double MarginLeft, double MarginRight,
                             double MarginTop, double MarginBottom, int ScreenPpi) {
  TPrintGeometry G;
  int Right = std::max(0, C.PhysicalWidth - C.PageWidth - C.OffsetX);
  int Bottom = std::max(0, C.PhysicalHeight - C.PageHeight - C.OffsetY);
  G.LeftDots = Round(MarginLeft / 2.54 * C.PixelsPerInchX) - C.OffsetX;
  G.RightDots = Round(MarginRight / 2.54 * C.PixelsPerInchX) - Right;
  G.TopDots = Round(MarginTop / 2.54 * C.PixelsPerInchY) - C.OffsetY;
  G.BottomDots = Round(MarginBottom / 2.54 * C.PixelsPerInchY) - Bottom;
  G.TextWidthDots = C.PageWidth - (G.LeftDots + G.RightDots);
  G.TextHeightDots = C.PageHeight - (G.TopDots + G.BottomDots);
  if (C.PixelsPerInchX <= 0 || C.PixelsPerInchY <= 0) return G; // nothing fits on no device
  G.L = MulDiv(G.LeftDots, ScreenPpi, C.PixelsPerInchX);
  G.W = MulDiv(G.TextWidthDots, ScreenPpi, C.PixelsPerInchX);
  G.T = MulDiv(G.TopDots, ScreenPpi, C.PixelsPerInchY);
  G.H = MulDiv(G.TextHeightDots, ScreenPpi, C.PixelsPerInchY);
  G.FullW = MulDiv(C.PageWidth, ScreenPpi, C.PixelsPerInchX);
  G.FullH = MulDiv(C.PageHeight, ScreenPpi, C.PixelsPerInchY);
  return G;
}

namespace {

// Screen pixels onto dots: one pixel becomes PixelsPerInch / ScreenPpi dots.
void MapToDevice(TCanvas &C, const TPrintCaps &Caps, int ScreenPpi, TPoint WindowOrg) {
  C.SetMapping(TSize(ScreenPpi, ScreenPpi), TSize(Caps.PixelsPerInchX, Caps.PixelsPerInchY));
  C.SetWindowOrg(WindowOrg);
  C.SetViewportOrg(TPoint(0, 0));
}

struct TSavedTools {
  TFont Font;
  TPen Pen;
  TBrush Brush;
  explicit TSavedTools(TCanvas &C) : Font(C.Font()), Pen(C.Pen()), Brush(C.Brush()) {}
  void Restore(TCanvas &C) const {
    C.Font() = Font;
    C.Pen() = Pen;
    C.Brush() = Brush;
  }
};

} // namespace

int PrintPages(TPrintDocument &Doc, TPrintDevice &Device, const TPrintRun &Run) {
  const int Ppi = Run.ScreenPpi > 0 ? Run.ScreenPpi : 96;
  bool Started = false;
  try {
    Device.BeginDoc(Run.Title);
    Started = true;
    TCanvas *C = &Device.Canvas();
    const TSavedTools Saved(*C);
    const TPrintCaps Caps = Device.Caps();
    const TPrintGeometry G =
        PrintGeometry(Caps, Run.MarginLeft, Run.MarginRight, Run.MarginTop, Run.MarginBottom, Ppi);
    int Processed = 0, Printed = 0;
    if (G.W > 0 && G.H > 0) {
      MapToDevice(*C, Caps, Ppi, TPoint(0, 0));
      Doc.SetPageHeight(G.H);
      const int DocHeight = Doc.Layout(*C, G.W);
      const TRegion Band = TRegion::FromRect(
          TRect(0, G.TopDots - 1, G.LeftDots + G.TextWidthDots + 2, G.TopDots + G.TextHeightDots + 2));
      const TRegion WholePage = TRegion::FromRect(TRect(0, 0, Caps.PageWidth, Caps.PageHeight));
      if (Run.Pump) Run.Pump();
      bool Stop = false;
      for (int Copy = 0; Copy < std::max(1, Run.Copies) && !Stop; ++Copy) {
        if (Copy > 0) {
          if (Printed == 0) break;
          Device.NewPage();
          C = &Device.Canvas();
        }
        int PageTop = 0, Page = 1;
        while (!Stop && (Run.Preview || Page <= Run.ToPage)) {
          const bool Shown = Run.Preview || Page >= Run.FromPage;
          MapToDevice(*C, Caps, Ppi, TPoint(0, 0));
          C->SelectDeviceClipRegion(Band);
          // Pages before the range are laid out far to the right, outside the clip.
          const int X = Shown ? G.L : 3 * G.W + G.L;
          int Next = Doc.DrawPage(*C, PageTop, TRect(X, G.T, X + G.W, G.T + G.H));
          // A page that does not move on (a line taller than the band, a break at the
          // top) would repeat for ever: the next one starts a band lower.
          if (Next <= PageTop) Next = PageTop + G.H;
          Saved.Restore(*C);
          C->RemoveClip();
          if (Shown) {
            // Wipe what the band's clip let through above it, and the cut line at its
            // bottom, which the next page prints whole.
            C->Pen() = TPen{clWhite, 1, psSolid, pmCopy};
            C->Brush() = TBrush{clWhite, bsSolid};
            C->Rectangle(G.L, 0, G.L + G.W + 1, G.T - 1);
            int CutTop = std::min(Next - PageTop, G.H) + G.T;
            if (CutTop < G.T + G.H + 1) C->Rectangle(G.L, CutTop, G.L + G.W + 1, G.T + G.H + 1);
            int State = C->SaveState();
            C->SelectDeviceClipRegion(WholePage);
            if (Run.OnHeader) {
              Saved.Restore(*C);
              MapToDevice(*C, Caps, Ppi, TPoint(0, 0));
              Run.OnHeader(*C, Page, G.FullW, G.T, Stop);
            }
            if (Run.OnFooter) {
              Saved.Restore(*C);
              MapToDevice(*C, Caps, Ppi, TPoint(0, -(G.T + G.H)));
              Run.OnFooter(*C, Page, G.FullW, G.FullH - (G.T + G.H), Stop);
            }
            Saved.Restore(*C);
            C->RestoreState(State);
            C->RemoveClip();
            ++Printed;
          }
          Processed = Page;
          PageTop = Next;
          if (Run.Pump) Run.Pump();
          // A document that ends exactly at the page top has no more text.
          if (DocHeight <= PageTop || Stop) break;
          if (Run.Preview || (Run.FromPage <= Page && Page < Run.ToPage)) {
            Device.NewPage();
            C = &Device.Canvas();
          }
          ++Page;
        }
      }
    }
    Saved.Restore(*C);
    C->ResetMapping();
    C->RemoveClip();
    if (!Run.Preview && Printed == 0) Device.Abort();
    else Device.EndDoc();
    return Processed;
  } catch (...) {
    if (Started) {
      try {
        Device.Abort();
      } catch (...) {
      }
    }
    throw;
  }
}

// ---- the devices ----

void TPanePrintDevice::BeginDoc(const std::string &Title) {
  Printer.Title = Title;
  Printer.BeginDoc();
}
TCanvas &TPanePrintDevice::Canvas() { return Printer.Canvas(); }
TPrintCaps TPanePrintDevice::Caps() {
  TPrintCaps C;
  C.PixelsPerInchX = Printer.PixelsPerInchX();
  C.PixelsPerInchY = Printer.PixelsPerInchY();
  C.PageWidth = Printer.GetPageWidth();
  C.PageHeight = Printer.GetPageHeight();
  C.PhysicalWidth = Printer.PhysicalWidth();
  C.PhysicalHeight = Printer.PhysicalHeight();
  C.OffsetX = Printer.PhysicalOffsetX();
  C.OffsetY = Printer.PhysicalOffsetY();
  return C;
}
void TPanePrintDevice::NewPage() { Printer.NewPage(); }
void TPanePrintDevice::EndDoc() { Printer.EndDoc(); }
void TPanePrintDevice::Abort() {
  if (Printer.Printing()) Printer.Abort();
}

void TMetaFilePrintDevice::BeginDoc(const std::string &) { Printer.BeginDoc(); }
TCanvas &TMetaFilePrintDevice::Canvas() { return Printer.GetCanvas(); }
TPrintCaps TMetaFilePrintDevice::Caps() {
  TPrintCaps C;
  C.PixelsPerInchX = Printer.PixelsPerInchX;
  C.PixelsPerInchY = Printer.PixelsPerInchY;
  C.PageWidth = Printer.PageWidth;
  C.PageHeight = Printer.PageHeight;
  C.PhysicalWidth = Printer.PaperWidth;
  C.PhysicalHeight = Printer.PaperHeight;
  C.OffsetX = Printer.OffsetX;
  C.OffsetY = Printer.OffsetY;
  return C;
}
// The metafile printer's canvas changes with every page: the loop asks for it again.
void TMetaFilePrintDevice::NewPage() { Printer.NewPage(); }
void TMetaFilePrintDevice::EndDoc() { Printer.EndDoc(); }
void TMetaFilePrintDevice::Abort() { Printer.EndDoc(); }

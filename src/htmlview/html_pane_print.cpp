// The viewer's Print and PrintPreview: a copy of the document goes through the page loop.
#include <exception>

#include "htmlview/html_pane.h"
#include "htmlview/metafile_printer.h"
#include "htmlview/pane_print.h"
#include "htmlview/pane_printer.h"
#include "platform/application.h"

namespace {

// The print copy as the page loop sees it: document Y PageTop goes to the band's top.
class TCopyDocument : public TPrintDocument {
public:
  explicit TCopyDocument(TSectionList &ACopy) : Copy(ACopy) {}
  void SetPageHeight(int H) override { Copy.PageAreaHeight = H; }
  int Layout(TCanvas &Canvas, int Width) override {
    int ScrollWidth = 0, Curs = 0;
    return Copy.DoLogic(Canvas, 0, Width, ScrollWidth, Curs);
  }
  int DrawPage(TCanvas &Canvas, int PageTop, const TRect &Band) override {
    Copy.SetYOffset(PageTop - Band.Top);
    Copy.PageBottom = PageTop + Band.Height();
    Copy.Draw(Canvas, Band, Band.Width(), Band.Left, Band.Top);
    return Copy.PageBottom;
  }

private:
  TSectionList &Copy;
};

} // namespace

int THtmlPane::RunPrint(TPrintDevice &Device, TPrintRun &Run) {
  if (FBusy || FDocument.Count() == 0) return 0;
  Run.Title = FTitle;
  Run.MarginLeft = PrintMarginLeft;
  Run.MarginRight = PrintMarginRight;
  Run.MarginTop = PrintMarginTop;
  Run.MarginBottom = PrintMarginBottom;
  if (OnPrintHeader)
    Run.OnHeader = [this](TCanvas &C, int N, int W, int H, bool &Stop) { OnPrintHeader(this, C, N, W, H, Stop); };
  if (OnPrintFooter)
    Run.OnFooter = [this](TCanvas &C, int N, int W, int H, bool &Stop) { OnPrintFooter(this, C, N, W, H, Stop); };
  Run.Pump = [] { Application->ProcessMessages(); };
  int Pages = 0;
  std::exception_ptr Error;
  SetBusy(true);
  {
    // Closing the window waits for the run, as for a simulation loop.
    TLoopGuard Loop;
    try {
      TSectionList Copy(FDocument, nullptr);
      Copy.Background = clWhite;
      Copy.YOff = 0;
      TCopyDocument Doc(Copy);
      Pages = PrintPages(Doc, Device, Run);
    } catch (...) {
      Error = std::current_exception();
    }
  }
  SetBusy(false);
  // The copy shares the form controls: its layout moved them and its drawing hid them.
  Relayout();
  if (Error) std::rethrow_exception(Error);
  return Pages;
}

void THtmlPane::Print(int FromPage, int ToPage, int Copies) {
  if (FBusy || FDocument.Count() == 0) return;
  auto Own = std::make_unique<TPanePrinter>();
  TPanePrinter &P = *Own;
  std::unique_ptr<TPanePrinter> Previous = SetPanePrinter(std::move(Own));
  TPrintRun Run;
  Run.FromPage = FromPage;
  Run.ToPage = ToPage;
  Run.Copies = Copies;
  std::exception_ptr Error;
  try {
    TPanePrintDevice Device(P);
    RunPrint(Device, Run);
  } catch (...) {
    Error = std::current_exception();
  }
  SetPanePrinter(std::move(Previous)); // ours comes back and goes
  if (Error) std::rethrow_exception(Error);
}

int THtmlPane::PrintPreview(TMetaFilePrinter &MFPrinter) {
  TPrintRun Run;
  Run.Preview = true;
  TMetaFilePrintDevice Device(MFPrinter);
  return RunPrint(Device, Run);
}

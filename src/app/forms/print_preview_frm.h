#pragma once
// TPrntPrevFrm: the modal print preview of the text pane. The pane renders its pages into
// a page metafile printer; the form shows one page at a time, fitted to the height of the
// box (or to its width when zoomed), and prints all pages or a range through the pane.
#include <QDialog>
#include <memory>

#include "platform/printer.h"
#include "platform/types.h"

class QLabel;
class QScrollArea;
class QWidget;
class TKitSpeedButton;
class TPaintBox;
class THtmlPane;
class TMetaFilePrinter;

class TPrntPrevFrm : public QDialog {
  Q_OBJECT
public:
  // CreatePreview: renders every page of Viewer at once.
  TPrntPrevFrm(QWidget *AOwner, THtmlPane *AViewer);
  ~TPrntPrevFrm() override;

  // The page's size on screen: the box less 20 pixels on the fitted side (the height, or
  // the width when zoomed), the other side in the paper's proportions. Paper in dots.
  static TSize FittedPageSize(int BoxWidth, int BoxHeight, bool Zoomed, int PaperWidth,
                              int PaperHeight, int PixelsPerInchX, int PixelsPerInchY);

  QScrollArea *ScrollBox1 = nullptr;
  QWidget *PagePanel = nullptr;
  TPaintBox *PB = nullptr;
  QWidget *Panel1 = nullptr;
  TKitSpeedButton *PrintBtn = nullptr, *PrevPageBtn = nullptr, *NextPageBtn = nullptr,
                  *ZoomBtn = nullptr, *CloseBtn = nullptr;
  QLabel *CurPageLabel = nullptr;
  TPrintDialog PrintDlg;

  THtmlPane *Viewer = nullptr; // not owned
  std::unique_ptr<TMetaFilePrinter> MFPrinter;
  int CurPage = 0;
  bool Zoomed = false;

  int PageCount() const;
  void ShowPageLabel(int Page);
  void UpdateButtons();
  void PrevPageBtnClick();
  void NextPageBtnClick();
  void PBPaint();
  void ScrollBox1Resize();
  void ZoomBtnClick();
  void PrintBtnClick();
  void CloseBtnClick();

protected:
  bool eventFilter(QObject *Watched, QEvent *E) override;
  void closeEvent(QCloseEvent *E) override;

private:
  void ShowPageTop();
  bool FPrinting = false;
};

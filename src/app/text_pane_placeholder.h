#pragma once
// Stands in the main window's right half until the HTML text pane can be placed there.
// It offers the pane's operations that the main window calls, with the pane's rules for
// the file and the position, and shows only what it honestly knows of a page: its file
// name and title, never its text.
#include <QWidget>
#include <string>

#include "platform/types.h"

class TTextPanePlaceholder : public QWidget {
  Q_OBJECT
public:
  explicit TTextPanePlaceholder(QWidget *Parent = nullptr);

  // Ignored when FileName is empty. A file that does not exist raises Exception
  // "Can't locate file: <name>" and leaves the current page as it was.
  void LoadFromFile(const std::string &FileName);
  void Reload();
  void Clear();
  const std::string &CurrentFile() const { return FCurrentFile; }
  const std::string &Title() const { return FTitle; }
  // Nothing is laid out, so the page never scrolls: the position stays 0.
  int Position() const { return 0; }
  void SetPosition(int Value) { (void)Value; }
  int SelectionLength() const { return 0; }
  void CopyToClipboard() {}

  TColor DefBackground() const { return FDefBackground; }
  void SetDefBackground(TColor Color);
  int DefFontSize() const { return FDefFontSize; }
  void SetDefFontSize(int Size) { FDefFontSize = Size < 6 ? 6 : Size; }

  // The design properties the main window gives its text pane.
  std::string DefFontName = "Times New Roman";
  std::string DefPreFontName = "Courier New";
  TColor DefFontColor = clWindowText;
  int HistoryMaxCount = 0;
  bool NoSelect = false;
  bool SingleBorder = false;
  double PrintMarginLeft = 2.0, PrintMarginRight = 2.0, PrintMarginTop = 2.0,
         PrintMarginBottom = 2.0;

protected:
  void paintEvent(QPaintEvent *) override;

private:
  std::string FCurrentFile, FTitle;
  TColor FDefBackground = clBtnFace;
  int FDefFontSize = 12;
};

// The TITLE of an HTML file's text (bytes between <TITLE> and </TITLE>, any case, blanks
// folded), decoded from Windows-1252 to UTF-8; empty when it has none.
std::string HtmlTitleOf(const std::string &Html);

#pragma once
// THelpFrm: the program's help window. Help pages are HTML files in the help folder: a
// contents page "contents.htm" and one page per context number ("1700.htm"). It opens a
// page by context (an unknown number opens the contents), and searches the page titles
// by keyword, listing the pages by title; the page itself is shown in a text pane.
#include <QWidget>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class THtmlPane;

struct THelpPage {
  std::string File;  // full path
  std::string Title; // the page's TITLE, or its file name when it has none
};

// The TITLE of an HTML file's text (bytes between <TITLE> and </TITLE>, any case, blanks
// folded), decoded from Windows-1252 to UTF-8; empty when it has none.
std::string HtmlTitleOf(const std::string &Html);

class THelpFrm : public QWidget {
  Q_OBJECT
public:
  explicit THelpFrm(const std::string &HelpDir);

  void ShowContext(int Context);
  void ShowContents();
  // Opens the window with the keyword in the search field and the matching titles listed.
  void ShowSearch(const std::string &Keyword);

  // The page opened last ('' before any), and the context asked for (0: contents/search).
  const std::string &CurrentFile() const { return FCurrentFile; }
  int CurrentContext() const { return FContext; }
  // Every page of the folder, sorted by title (read once, on first use).
  const std::vector<THelpPage> &Pages();
  // Pages whose title contains Keyword, ignoring case; all pages for an empty keyword.
  std::vector<THelpPage> Search(const std::string &Keyword);
  std::string ContentsFile() const;
  QListWidget *List = nullptr;
  QLineEdit *SearchEdit = nullptr;
  THtmlPane *Pane = nullptr;
  QLabel *TitleLabel = nullptr; // the page's title
  QLabel *FileLabel = nullptr;  // a note under it, hidden when there is none

private:
  void OpenPage(const std::string &File);
  void OpenItem(QListWidgetItem *Item); // none: nothing happens
  void FillList(const std::string &Keyword);
  // The line under the title: a search prompt or a page that could not be opened; hidden
  // when empty.
  void SetNote(const std::string &Text);
  std::string Dir;
  std::vector<THelpPage> FPages;
  bool Scanned = false;
  std::string FCurrentFile;
  int FContext = 0;
};

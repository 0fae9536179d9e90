#include "app/forms/help_frm.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "htmlview/html_pane.h"
#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/qt_bridge.h"

THelpFrm::THelpFrm(const std::string &HelpDir) : Dir(IncludeTrailingSlash(HelpDir)) {
  setObjectName("HelpFrm");
  setWindowTitle("Vornelle Help");
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(560, 520);
  auto *Column = new QVBoxLayout(this);
  TitleLabel = new QLabel(this);
  QFont F = TitleLabel->font();
  F.setBold(true);
  F.setPixelSize(16);
  TitleLabel->setFont(F);
  TitleLabel->setWordWrap(true);
  FileLabel = new QLabel(this);
  FileLabel->setWordWrap(true);
  FileLabel->hide();
  SearchEdit = new QLineEdit(this);
  SearchEdit->setPlaceholderText("Type a word to look for in the titles");
  List = new QListWidget(this);
  Column->addWidget(TitleLabel);
  Column->addWidget(FileLabel);
  Column->addWidget(SearchEdit);
  Column->addWidget(List, 1);
  Pane = new THtmlPane(this);
  Pane->SetDefBackground(clWhite);
  Pane->SetBorderStyle(htSingle);
  Pane->SetDefFontName("Arial");
  Pane->SetDefFontSize(10);
  Column->addWidget(Pane, 3);
  connect(SearchEdit, &QLineEdit::textChanged, this,
          [this](const QString &Text) { FillList(FromQString(Text)); });
  connect(List, &QListWidget::itemActivated, this,
          [this](QListWidgetItem *Item) { OpenItem(Item); });
  // Enter in the field opens the match chosen in the list, or else the first one.
  connect(SearchEdit, &QLineEdit::returnPressed, this, [this] {
    QListWidgetItem *Item = List->currentItem();
    OpenItem(Item && Item->isSelected() ? Item : List->item(0));
  });
}

void THelpFrm::OpenItem(QListWidgetItem *Item) {
  if (!Item) return;
  FContext = 0;
  OpenPage(FromQString(Item->data(Qt::UserRole).toString()));
}

const std::vector<THelpPage> &THelpFrm::Pages() {
  if (Scanned) return FPages;
  Scanned = true;
  QDir D(ToQString(Dir));
  const QStringList Names = D.entryList({"*.htm", "*.html"}, QDir::Files, QDir::Name | QDir::IgnoreCase);
  for (const QString &N : Names) {
    THelpPage P;
    P.File = Dir + FromQString(N);
    try {
      P.Title = HtmlTitleOf(ReadFileString(P.File, 1 << 20));
    } catch (const Exception &) {
    }
    if (P.Title.empty()) P.Title = FromQString(N);
    FPages.push_back(P);
  }
  std::stable_sort(FPages.begin(), FPages.end(), [](const THelpPage &A, const THelpPage &B) {
    return CompareText(A.Title, B.Title) < 0;
  });
  return FPages;
}

std::vector<THelpPage> THelpFrm::Search(const std::string &Keyword) {
  std::vector<THelpPage> Found;
  std::string Key = UpperCase(Keyword);
  for (const THelpPage &P : Pages())
    if (UpperCase(P.Title).find(Key) != std::string::npos) Found.push_back(P);
  return Found;
}

std::string THelpFrm::ContentsFile() const { return ResolvePath(Dir, "contents.htm"); }

void THelpFrm::FillList(const std::string &Keyword) {
  List->clear();
  for (const THelpPage &P : Search(Keyword)) {
    auto *Item = new QListWidgetItem(ToQString(P.Title), List);
    Item->setData(Qt::UserRole, ToQString(P.File));
  }
}

void THelpFrm::SetNote(const std::string &Text) {
  FileLabel->setText(ToQString(Text));
  FileLabel->setVisible(!Text.empty());
}

void THelpFrm::OpenPage(const std::string &File) {
  FCurrentFile = File;
  std::string Title;
  if (FileExists(File)) {
    try {
      Title = HtmlTitleOf(ReadFileString(File, 1 << 20));
    } catch (const Exception &) {
    }
    // A page that opens shows its title only.
    SetNote("");
    try {
      Pane->LoadFromFile(File);
    } catch (const std::exception &E) {
      SetNote(E.what());
    }
  } else {
    SetNote("There is no help page " + ExtractFileName(File) + ".");
    Pane->Clear();
  }
  TitleLabel->setText(ToQString(Title.empty() ? ExtractFileName(File) : Title));
  for (int I = 0; I < List->count(); ++I)
    if (FromQString(List->item(I)->data(Qt::UserRole).toString()) == File)
      List->setCurrentRow(I);
  show();
  raise();
}

void THelpFrm::ShowContext(int Context) {
  std::string File = ResolvePath(Dir, std::to_string(Context) + ".htm");
  FillList(FromQString(SearchEdit->text()));
  if (Context <= 0 || !FileExists(File)) {
    ShowContents();
    return;
  }
  FContext = Context;
  OpenPage(File);
}

void THelpFrm::ShowContents() {
  FContext = 0;
  FillList(FromQString(SearchEdit->text()));
  OpenPage(ContentsFile());
}

void THelpFrm::ShowSearch(const std::string &Keyword) {
  FContext = 0;
  SearchEdit->setText(ToQString(Keyword));
  FillList(Keyword);
  TitleLabel->setText("Search for help on");
  SetNote("Choose a page by its title.");
  show();
  raise();
  SearchEdit->setFocus();
}

std::string HtmlTitleOf(const std::string &Html) {
  std::string Up = UpperCase(Html);
  size_t Open = Up.find("<TITLE");
  if (Open == std::string::npos) return {};
  size_t Start = Up.find('>', Open);
  if (Start == std::string::npos) return {};
  ++Start;
  size_t End = Up.find("</TITLE", Start);
  if (End == std::string::npos) End = Html.size();
  std::string Title;
  bool Blank = false;
  for (size_t I = Start; I < End; ++I) {
    unsigned char C = static_cast<unsigned char>(Html[I]);
    if (C <= ' ') {
      Blank = true;
      continue;
    }
    if (Blank && !Title.empty()) Title += ' ';
    Blank = false;
    Title += char(C);
  }
  return DecodeToUtf8(Title);
}

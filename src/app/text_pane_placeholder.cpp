#include "app/text_pane_placeholder.h"

#include <QPainter>

#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/qt_bridge.h"

TTextPanePlaceholder::TTextPanePlaceholder(QWidget *Parent) : QWidget(Parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TTextPanePlaceholder::LoadFromFile(const std::string &FileName) {
  if (FileName.empty()) return;
  std::string Name = FileName.substr(0, FileName.find('#'));
  if (!FileExists(Name)) throw Exception("Can't locate file: " + Name);
  FCurrentFile = Name;
  FTitle.clear();
  try {
    FTitle = HtmlTitleOf(ReadFileString(Name, 4 << 20));
  } catch (const Exception &) {
    // A page too large or unreadable still counts as loaded; it just has no title here.
  }
  update();
}

void TTextPanePlaceholder::Reload() {
  if (!FCurrentFile.empty()) LoadFromFile(FCurrentFile);
}

void TTextPanePlaceholder::Clear() {
  FCurrentFile.clear();
  FTitle.clear();
  update();
}

void TTextPanePlaceholder::SetDefBackground(TColor Color) {
  if (Color == FDefBackground) return;
  FDefBackground = Color;
  update();
}

void TTextPanePlaceholder::paintEvent(QPaintEvent *) {
  QPainter P(this);
  P.fillRect(rect(), ToQColor(FDefBackground));
  if (SingleBorder) {
    P.setPen(QColor(0x80, 0x80, 0x80));
    P.drawRect(rect().adjusted(0, 0, -1, -1));
  }
  P.setPen(ToQColor(DefFontColor));
  QFont F(ToQString(DefFontName));
  F.setPixelSize(FDefFontSize * 4 / 3);
  F.setBold(true);
  P.setFont(F);
  QRect Text = rect().adjusted(10, 8, -10, -8);
  if (FCurrentFile.empty()) return;
  QString Head = FTitle.empty() ? ToQString(ExtractFileName(FCurrentFile)) : ToQString(FTitle);
  P.drawText(Text, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, Head);
  F.setBold(false);
  P.setFont(F);
  P.setPen(QColor(0x80, 0x80, 0x80));
  P.drawText(Text.adjusted(0, 2 * F.pixelSize() + 4, 0, 0),
             Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
             ToQString(ExtractFileName(FCurrentFile)) +
                 QStringLiteral(" (this page's text cannot be shown yet)"));
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

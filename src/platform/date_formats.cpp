#include "platform/date_formats.h"

#include <QLocale>

std::string DateTimeFormatFromLocalePattern(const std::string &P) {
  std::string Out, Literal;
  auto Flush = [&] {
    if (Literal.empty()) return;
    Out += '"' + Literal + '"';
    Literal.clear();
  };
  for (size_t i = 0; i < P.size();) {
    const char C = P[i];
    size_t n = 1;
    while (i + n < P.size() && P[i + n] == C) ++n;
    if (C == '\'') {
      // '' is a quote; '...' is text as it stands.
      if (n >= 2) {
        Literal += std::string(n / 2, '\'');
        i += n / 2 * 2;
        continue;
      }
      const size_t End = P.find('\'', i + 1);
      Literal += P.substr(i + 1, End == std::string::npos ? std::string::npos : End - i - 1);
      i = End == std::string::npos ? P.size() : End + 1;
      continue;
    }
    std::string Token;
    switch (C) {
    case 'd': Token = std::string(std::min<size_t>(n, 2), 'd'); break;
    case 'M': Token = std::string(std::min<size_t>(n, 2), 'm'); break;
    case 'y': Token = n <= 2 ? "yy" : "yyyy"; break;
    case 'h':
    case 'H': Token = std::string(std::min<size_t>(n, 2), 'h'); break;
    case 'm': Token = std::string(std::min<size_t>(n, 2), 'n'); break;
    case 's': Token = std::string(std::min<size_t>(n, 2), 's'); break;
    case 'A': Token = "AM/PM"; break;
    case 'a': Token = "am/pm"; break;
    case 'P':
    case 'p':
      if (i > 0 && (P[i - 1] == 'A' || P[i - 1] == 'a')) break; // the rest of AP
      [[fallthrough]];
    default:
      // Milliseconds and time zones have no letter of their own here; other letters are text.
      if (C == 'z' || C == 't') break;
      Literal += P.substr(i, n);
      i += n;
      continue;
    }
    Flush();
    Out += Token;
    i += n;
  }
  Flush();
  return Out;
}

std::string ShortDateFormat() {
  return DateTimeFormatFromLocalePattern(QLocale().dateFormat(QLocale::ShortFormat).toStdString());
}

std::string ShortTimeFormat() {
  return DateTimeFormatFromLocalePattern(QLocale().timeFormat(QLocale::ShortFormat).toStdString());
}

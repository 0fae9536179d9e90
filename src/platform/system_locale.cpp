#include "platform/system_locale.h"

#include <QFont>
#include <QGuiApplication>
#include <QLocale>

int SysLocalePriLangID() {
  switch (QLocale().language()) {
  case QLocale::English: return LANG_ENGLISH;
  case QLocale::Japanese: return LANG_JAPANESE;
  default: return LANG_NEUTRAL;
  }
}

TSystemFont SystemDefaultFont() {
  if (!qGuiApp) return {};
  const QFont F = QGuiApplication::font();
  int Size = F.pointSize();
  // A font given in pixels: points at the screen's 96 pixels per inch.
  if (Size <= 0 && F.pixelSize() > 0) Size = (F.pixelSize() * 72 + 48) / 96;
  return {F.family().toStdString(), Size};
}

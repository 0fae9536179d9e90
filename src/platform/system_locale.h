#pragma once
// The system's language and default font, as the class library's locale and default font
// data give them.
#include <string>

// Primary language identifiers of the locale.
constexpr int LANG_NEUTRAL = 0x00, LANG_ENGLISH = 0x09, LANG_JAPANESE = 0x11;

// The primary language of the current locale; LANG_NEUTRAL for one not listed here.
int SysLocalePriLangID();

// The system's default font: its name and size in points; an empty name and size 0 while
// no application runs to ask.
struct TSystemFont {
  std::string Name;
  int Size = 0;
};
TSystemFont SystemDefaultFont();

#include "platform/types.h"

#include "platform/canvas.h"
#include "platform/numbers.h"

namespace {
// The classic system colours (COLOR_SCROLLBAR .. COLOR_INFOBK), 0x00BBGGRR. Fixed, so
// that drawings do not depend on the desktop theme.
constexpr TColor ClassicColors[25] = {
    0xC0C0C0, // scroll bar
    0x808000, // desktop background
    0x800000, // active caption
    0x808080, // inactive caption
    0xC0C0C0, // menu
    0xFFFFFF, // window
    0x000000, // window frame
    0x000000, // menu text
    0x000000, // window text
    0xFFFFFF, // caption text
    0xC0C0C0, // active border
    0xC0C0C0, // inactive border
    0x808080, // application work space
    0x800000, // highlight
    0xFFFFFF, // highlight text
    0xC0C0C0, // button face
    0x808080, // button shadow
    0x808080, // gray text
    0x000000, // button text
    0xC0C0C0, // inactive caption text
    0xFFFFFF, // button highlight
    0x000000, // 3-D dark shadow
    0xC0C0C0, // 3-D light
    0x000000, // info text
    0xE1FFFF, // info background (pale yellow)
};
} // namespace

TColor SysColor(int Index) {
  if (Index < 0 || Index >= 25) return clBlack;
  return ClassicColors[Index];
}

TColor ColorToRGB(TColor Color) {
  if ((Color & 0xFF000000u) == 0x80000000u) return SysColor(int(Color & 0xFF));
  if (Color == clNone || Color == clDefault) return clBlack;
  return Color & 0x00FFFFFFu;
}

int TFont::Size() const {
  int Ppi = PixelsPerInch > 0 ? PixelsPerInch : 96;
  return -MulDiv(Height, 72, Ppi);
}

void TFont::SetSize(int Points) {
  int Ppi = PixelsPerInch > 0 ? PixelsPerInch : 96;
  Height = -MulDiv(Points, Ppi, 72);
}

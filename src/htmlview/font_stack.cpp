#include "htmlview/font_stack.h"

#include "htmlview/section_list.h"
#include "platform/numbers.h"

void TMyFont::SetNormalSize(const TSectionList *List, int Size) {
  NormalSize = Size;
  SetSize(MulDiv(List ? List->FontSize : 12, Size, 12));
}

TFontStack::TFontStack(const TMyFont &Base) {
  Fonts.reserve(MaxFontDepth);
  Fonts.push_back(Base);
}

bool TFontStack::PushFont() {
  if (Depth() >= MaxFontDepth) return false;
  Fonts.push_back(Fonts.back());
  return true;
}

void TFontStack::PopFont() {
  if (Depth() > 1) Fonts.pop_back();
}

void TFontStack::PopTo(int ADepth) {
  while (Depth() > ADepth && Depth() > 1) Fonts.pop_back();
}

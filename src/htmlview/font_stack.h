#pragma once
// Fonts of the document: a TFont with a size relative to the document's base size, and
// the parser's stack of them.
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"

class TSectionList;

// Sizes are kept in twelfths of the document's base size (NormalSize 12 = the base), so
// that a change of the viewer's font size rescales every run.
class TMyFont : public TFont {
public:
  int NormalSize = 12;
  bool Fixed = false; // the preformatted (fixed-pitch) font name is used

  TMyFont() = default;
  // Sets NormalSize and the point size MulDiv(base size, Size, 12) of List (12 without one).
  void SetNormalSize(const TSectionList *List, int Size);
  // Copies NormalSize, Fixed and the font.
  void Assign(const TMyFont &Source) { *this = Source; }
};

// The parser's font stack, entries 1..MaxFontDepth; entry 1 is the base font.
class TFontStack {
public:
  static constexpr int MaxFontDepth = 25;
  explicit TFontStack(const TMyFont &Base);
  int Depth() const { return int(Fonts.size()); }
  TMyFont &Top() { return Fonts.back(); }
  const TMyFont &Top() const { return Fonts.back(); }
  // Copies the top entry one place up; false (nothing pushed) at depth MaxFontDepth.
  bool PushFont();
  // Frees the top entry, never below depth 1.
  void PopFont();
  // Pops down to Depth (not below 1).
  void PopTo(int Depth);

private:
  // Room for MaxFontDepth entries is taken at once, so that a reference to the top stays
  // valid across a push.
  std::vector<TMyFont> Fonts;
};

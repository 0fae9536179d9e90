#pragma once
// Widths of page text in a font. The canvas measures text as the sum of whole-pixel
// advances of its characters (no kerning), so the advances of a font's 256 byte values
// are read once and every later measurement adds them up: the same numbers as measuring
// on the canvas, without a font switch per probe.
#include <array>
#include <string_view>

#include "platform/canvas.h"
#include "platform/encoding.h"

struct TFontWidths {
  std::array<int, 256> Advance{};
  TTextMetric Metrics;
};

// The table of Font on Canvas's device for text of code page Page. A page uses a handful
// of fonts; when many more have been asked for (pages naming many faces), the tables are
// dropped and the generation count goes up, so that holders of a table fetch it again.
const TFontWidths &FontWidths(TCanvas &Canvas, const TFont &Font, TCodePage Page);
int FontWidthsGeneration();

inline int SumAdvances(const TFontWidths &W, std::string_view S) {
  int Sum = 0;
  for (char C : S) Sum += W.Advance[uint8_t(C)];
  return Sum;
}

#include "htmlview/text_measure.h"

#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace {
int Generation = 0;
constexpr size_t MaxTables = 256;
} // namespace

int FontWidthsGeneration() { return Generation; }

const TFontWidths &FontWidths(TCanvas &Canvas, const TFont &Font, TCodePage Page) {
  using TKey = std::tuple<std::string, int, unsigned, int, int, int, int, int>;
  static std::map<TKey, std::unique_ptr<TFontWidths>> Cache;
  int Dpi = Canvas.PixelsPerInchY();
  TKey Key{Font.Name, Font.Height, Font.Style, int(Font.Pitch), Font.Charset, Font.PixelsPerInch,
           int(Page), Dpi};
  auto It = Cache.find(Key);
  if (It != Cache.end()) return *It->second;
  if (Cache.size() >= MaxTables) {
    Cache.clear();
    ++Generation;
  }
  auto W = std::make_unique<TFontWidths>();
  TFont Save = Canvas.Font();
  Canvas.Font() = Font;
  for (int B = 0; B < 256; ++B) {
    char16_t C = B < 32 ? u' ' : DecodeByte(uint8_t(B), Page);
    if (B == 0xA0) C = u' ';
    W->Advance[size_t(B)] = Canvas.TextWidth(std::u16string(1, C));
  }
  W->Metrics = Canvas.TextMetrics();
  Canvas.Font() = Save;
  return *Cache.emplace(Key, std::move(W)).first->second;
}

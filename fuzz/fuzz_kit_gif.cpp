// libFuzzer target: the GIF picture class reads hostile data, decodes its first frames
// and writes the picture again; errors must be exceptions, never faults.
#include <cstddef>
#include <cstdint>

#include "widgets/kit_gif.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  TMemoryStream S(std::vector<uint8_t>(Data, Data + Size));
  TKitGIFImage G;
  try {
    G.ReadStream(S.Size(), S, false);
  } catch (const Exception &) {}
  for (int I = 0; I < G.FrameCount() && I < 8; ++I) {
    try {
      G.Frame(I).Bitmap();
    } catch (const Exception &) {}
  }
  try {
    TMemoryStream Out;
    G.SaveToStream(Out);
  } catch (const Exception &) {}
  return 0;
}

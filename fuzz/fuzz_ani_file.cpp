// libFuzzer target: animated cursor files, then their strip bitmap and GIF frames.
#include <cstddef>
#include <cstdint>

#include "widgets/ani_file.h"
#include "widgets/kit_gif.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  TMemoryStream S(std::vector<uint8_t>(Data, Data + Size));
  TAnimatedCursorImage A;
  try {
    A.LoadFromStream(S);
  } catch (const Exception &) { return 0; }
  if (A.FrameCount() > 64) return 0; // the conversions of huge animations say nothing new
  try {
    TBitmap Strip;
    A.AssignTo(Strip, 0xFFFFFF);
    TKitGIFImage G;
    G.Assign(A);
  } catch (const Exception &) {}
  return 0;
}

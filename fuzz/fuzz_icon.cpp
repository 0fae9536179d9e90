// libFuzzer target: icon files; a read icon is written, read back and drawn.
#include <cstddef>
#include <cstdint>

#include "platform/icon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  TMemoryStream S(std::vector<uint8_t>(Data, Data + Size));
  TIcon I;
  try {
    I.LoadFromStream(S);
  } catch (const Exception &) { return 0; }
  TMemoryStream Out;
  I.SaveToStream(Out);
  Out.SetPosition(0);
  TIcon Back;
  Back.LoadFromStream(Out);
  if (Back.Width() != I.Width() || Back.Height() != I.Height()) __builtin_trap();
  TBitmap B = Back.ToBitmap();
  return 0;
}

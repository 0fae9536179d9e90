// libFuzzer target: hostile input for the picture code (see image_fuzz_drivers.h).
#include "image_fuzz_drivers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  imagefuzz::PngProbe(std::span<const uint8_t>(Data, Size));
  return 0;
}

// libFuzzer target: the GIF picture class reads hostile data as the picture pop-up loads
// it (frame 0 decoded), then decodes further frames and writes the picture again; errors
// must be exceptions, never faults.
#include <cstddef>
#include <cstdint>

#include "widgets/kit_gif.h"

namespace {

// Decoding later frames and writing again are work the program never does: they are done
// only while the pictures involved are small, so that an input costs about what its load
// costs (a tiny file may declare frames of millions of pixels, far outside its screen).
constexpr int64_t ExtraPixels = int64_t(1) << 20;

int64_t FramePixels(const TGIFFrame &F) {
  return F.ImageData ? int64_t(F.ImageData->Width) * F.ImageData->Height : 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  TMemoryStream S(std::vector<uint8_t>(Data, Data + Size));
  TKitGIFImage G;
  try {
    G.LoadFromStream(S);
  } catch (const Exception &) {}
  int64_t Pixels = 0;
  for (int I = 0; I < G.FrameCount(); ++I) Pixels += FramePixels(G.Frame(I));
  if (Pixels > ExtraPixels) return 0;
  for (int I = 1; I < G.FrameCount() && I < 8; ++I) {
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

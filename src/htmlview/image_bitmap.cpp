#include "htmlview/image_bitmap.h"

#include "platform/bitmap.h"

bool RawToBitmap(const TRawImage &Raw, TBitmap &Bitmap) {
  if (Raw.Width <= 0 || Raw.Height <= 0 ||
      Raw.Pixels.size() != size_t(Raw.Width) * size_t(Raw.Height))
    return false;
  try {
    // The bitmap keeps its default (device) format: a pf1bit or pf8bit format would
    // change the colours the file gave.
    Bitmap = TBitmap::FromRgb32(Raw.Width, Raw.Height, Raw.Pixels.data());
    return true;
  } catch (const std::exception &) {
    return false;
  }
}

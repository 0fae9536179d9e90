#pragma once
// From the decoders' pixel buffers to bitmaps.
#include "platform/image_raw.h"

class TBitmap;

// Bitmap becomes a copy of Raw (its nominal pixel format from the depth the file stored).
// False for an empty buffer or one the bitmap cannot hold.
bool RawToBitmap(const TRawImage &Raw, TBitmap &Bitmap);

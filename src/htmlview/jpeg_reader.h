#pragma once
// JPEG decoding through libjpeg, made safe for hostile data: errors return instead of
// ending the process, messages are silenced, the source ends every stream with a fake
// end-of-image marker, sizes are capped before any allocation, and the decompressor is
// always destroyed.
#include <span>
#include <string>
#include <vector>

#include "platform/image_raw.h"

class TBitmap;

struct TJpegOptions {
  // Palette displays: when set, colours are quantised to these entries (0x00BBGGRR) and
  // the pixels are the chosen entries; a greyscale picture keeps its greys.
  const std::vector<uint32_t> *Palette = nullptr;
};

// Grey-scale and colour pictures become 24-bit pixels. CMYK/YCCK pictures are refused.
bool DecodeJpeg(std::span<const uint8_t> Data, TRawImage &Image,
                const TJpegOptions &Options = {}, std::string *Error = nullptr);

// Loads a JPEG file into Bitmap (24 bits); false, with Bitmap untouched, when it cannot.
bool LoadJpegFile(const std::string &Path, TBitmap &Bitmap);
bool LoadJpegData(std::span<const uint8_t> Data, TBitmap &Bitmap,
                  const TJpegOptions &Options = {});

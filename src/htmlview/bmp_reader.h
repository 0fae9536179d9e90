#pragma once
// BMP files: core (12-byte) and info (40, 52, 56, 108, 124-byte) headers; 1, 4, 8, 16,
// 24 and 32 bits; uncompressed, RLE8, RLE4 and bit fields; bottom-up and top-down rows.
// Every read is bounded by the data; a file that ends early keeps the rows it had.
#include <span>
#include <string>

#include "platform/image_raw.h"

// False (with a reason in Error when given) for data that is not a BMP we can show.
bool DecodeBmp(std::span<const uint8_t> Data, TRawImage &Image, std::string *Error = nullptr);

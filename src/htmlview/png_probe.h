#pragma once
// PNG files are recognised but never shown: this only finds a palette picture's
// transparent colour from its tRNS chunk.
#include <span>

#include "platform/types.h"

// True with Color (0x00BBGGRR) for a palette (colour type 3) PNG whose tRNS chunk comes
// before the image data: the last palette entry that the chunk lists. Everything else,
// including truth-colour pictures with a tRNS colour, short data and chunk lengths
// beyond what remains, gives False.
bool FindPngTransparentColor(std::span<const uint8_t> Data, TColor &Color);

#include "htmlview/png_probe.h"

#include <array>
#include <cstring>

#include "platform/image_raw.h"

bool FindPngTransparentColor(std::span<const uint8_t> Data, TColor &Color) {
  static const uint8_t Signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  TByteReader R(Data);
  uint8_t Sig[8] = {};
  if (!R.Read(Sig, 8) || std::memcmp(Sig, Signature, 4) != 0) return false;
  int ColorType = -1;
  std::array<uint8_t, 768> Palette{};
  for (;;) {
    uint32_t Length = R.U32BE();
    char Type[4] = {};
    R.Read(Type, 4);
    if (R.Truncated()) return false;
    // A length beyond the data (or one that reads as negative) ends the walk.
    if (uint64_t(Length) + 4 > R.Remaining()) return false;
    if (std::memcmp(Type, "IHDR", 4) == 0) {
      if (Length < 13) return false;
      size_t Body = R.Pos();
      R.Skip(9);
      ColorType = R.U8();
      R.Seek(Body + Length + 4);
      if (ColorType != 2 && ColorType != 3) return false;
    } else if (std::memcmp(Type, "PLTE", 4) == 0) {
      R.Read(Palette.data(), Length < Palette.size() ? Length : Palette.size());
      R.Seek(R.Pos() + (Length > Palette.size() ? Length - Palette.size() : 0) + 4);
    } else if (std::memcmp(Type, "tRNS", 4) == 0) {
      // Only palette pictures say which entry is transparent.
      if (ColorType != 3 || Length == 0 || Length > 256) return false;
      const uint8_t *E = &Palette[size_t(Length - 1) * 3];
      Color = RGB(E[0], E[1], E[2]);
      return true;
    } else if (std::memcmp(Type, "IDAT", 4) == 0 || std::memcmp(Type, "IEND", 4) == 0) {
      return false;
    } else {
      R.Skip(size_t(Length) + 4);
    }
    if (R.Truncated()) return false;
  }
}

#pragma once
// TIcon: an icon or cursor in the icon file format (directory, then a device-independent
// bitmap of twice the height: the colour rows, then the AND mask). The first image of
// the file is kept; 1, 4, 8, 16, 24 and 32 bits a pixel are read and written again at
// the depth they came in.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/graphic.h"

class TIcon : public TGraphic {
public:
  void Draw(TCanvas &Canvas, const TRect &Rect) override;
  bool Empty() const override { return FWidth == 0; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // Icons keep their size: the class library refuses a change.
  void SetWidth(int) override;
  void SetHeight(int) override;
  // Raises EInvalidGraphic "Icon image is not valid" for data that is not an icon.
  void LoadFromStream(TMemoryStream &Stream) override;
  // An empty icon raises EInvalidGraphic "Icon image is not valid".
  void SaveToStream(TMemoryStream &Stream) override;
  // An icon file of res/ compiled in, by name: "MAINICON" is ":/MAINICON.ico" (see
  // ReadResourceBytes). Raises Exception "Resource <name> not found" when there is none.
  void LoadFromResource(const std::string &Name);
  // The colours, with the transparent pixels in the bitmap's colour Background.
  TBitmap ToBitmap() override { return ToBitmap(0xFFFFFF); }
  TBitmap ToBitmap(TColor Background) const;
  // Copies the picture (not the event handlers).
  void Assign(const TIcon &Source);
  void Clear();
  // The icon clipboard format (0 until it is registered): the icon file as its data.
  static inline unsigned ClipboardFormat = 0;
  void LoadFromClipboardFormat(unsigned Format) override;
  void SaveToClipboardFormat(unsigned &Format) override;

  // Builds an icon of Bits (1, 4, 8, 24 or 32) from 0xAARRGGBB pixels, rows top first;
  // Mask holds 1 for a transparent pixel (empty: all opaque). For 8 bits or fewer the
  // palette is taken from the pixels' colours, at most 2^Bits of them (others are mapped
  // to the nearest).
  void SetImage(int Width, int Height, int Bits, const std::vector<uint32_t> &Pixels,
                const std::vector<uint8_t> &Mask = {});

  int Bits() const { return FBits; }
  // 2, 16 or 256 for a palette icon, 0 above 8 bits.
  int ColorCount() const { return FBits <= 8 && FBits > 0 ? 1 << FBits : 0; }
  bool IsCursor() const { return FCursor; }
  TPoint HotSpot() const { return FHotSpot; }
  void SetCursor(bool Cursor, TPoint HotSpot) {
    FCursor = Cursor;
    FHotSpot = HotSpot;
  }
  // 0xAARRGGBB of pixel (X, Y); alpha 0 where the mask makes it transparent.
  uint32_t Pixel(int X, int Y) const;
  bool MaskBit(int X, int Y) const { return FMask[size_t(Y) * size_t(FWidth) + size_t(X)] != 0; }

private:
  int FWidth = 0, FHeight = 0, FBits = 0;
  std::vector<uint32_t> FPalette; // 0x00RRGGBB entries for 8 bits or fewer
  std::vector<uint32_t> FPixels;  // 0xAARRGGBB, alpha kept for 32 bits, else 0xFF
  std::vector<uint8_t> FMask;     // 1 = transparent
  bool FCursor = false;
  TPoint FHotSpot{0, 0};
};

#pragma once
// What the picture fuzz targets do with one input; the truncation test runs the same
// drivers over every prefix of every seed.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "htmlview/bmp_reader.h"
#include "platform/gif_decoder.h"
#include "htmlview/gif_image.h"
#include "htmlview/image_cache.h"
#include "htmlview/jpeg_reader.h"
#include "htmlview/png_probe.h"

namespace imagefuzz {

// The loader decodes a BMP through DecodeBmp itself: decoding it here as well would double
// what the program spends on a large picture.
inline void Bmp(std::span<const uint8_t> Data) {
  TMemoryStream S;
  S.Bytes.assign(Data.begin(), Data.end());
  TTransparency T = LLCorner;
  std::unique_ptr<TBitmap> Mask;
  LoadImageWithMaskFromStream(&S, T, Mask);
}

// Pictures up to this many pixels get the work beyond the program's own load.
constexpr int64_t ExtraWorkPixels = int64_t(1) << 19;

inline void Gif(std::span<const uint8_t> Data) {
  TGifContainer G;
  if (ParseGifContainer(Data, G, 16)) {
    // Large frames are left to the picture's own load below, which decodes only what it
    // accepts: decoding them here too would cost more than the program ever spends.
    std::vector<uint8_t> Idx;
    for (const TGifFrameInfo &F : G.Frames)
      if (int64_t(F.Width) * F.Height <= ExtraWorkPixels) DecodeGifRaster(Data, F, Idx);
  }
  TColor C;
  FindGifTransparentColor(Data, C);
  bool Single;
  std::unique_ptr<TGIFImage> Image = CreateAGifFromStream(Data, Single);
  if (!Image) return;
  // Large (but allowed) composites are only loaded: walking and copying them would cost
  // several loads' worth of memory traffic and no new paths.
  const TBitmap &Composite = Image->Composite();
  if (int64_t(Composite.Width()) * Composite.Height() > ExtraWorkPixels) return;
  // Walk the animation twice round, through every disposal.
  for (int I = 0; I < 2 * Image->FrameCount && I < 64; ++I) Image->SetCurrentFrame(Image->CurrentFrame + 1);
  Image->GetMaskedBitmap();
  Image->GetMask();
  std::unique_ptr<TGIFImage> Copy = TGIFImage::CreateCopy(*Image);
  Image.reset();
  if (!Copy) return;
  Copy->SetCurrentFrame(2);
  // Drawn small, at its own size where that is small, and stretched, partly off the canvas.
  TBitmap Target(24, 20);
  if (int64_t(Copy->ScreenWidth) * Copy->ScreenHeight <= 24 * 20)
    Copy->Draw(Target.Canvas(), nullptr, 1, 1, Copy->ScreenWidth, Copy->ScreenHeight);
  Copy->Draw(Target.Canvas(), nullptr, -3, 2, 23, 17);
  // Over a background picture, whose tiles begin left of and above the picture.
  static const uint32_t TilePx[6] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu,
                                     0xFFFFFFFFu, 0xFF000000u, 0xFFFFFF00u};
  static const TBitmap Tile = TBitmap::FromRgb32(3, 2, TilePx);
  TGifBackdrop Back;
  Back.Image = &Tile;
  Back.ScrollY = 5;
  Copy->Draw(Target.Canvas(), &Back, -4, 1, 21, 19);
}

inline void Jpeg(std::span<const uint8_t> Data) {
  TRawImage Img;
  DecodeJpeg(Data, Img);
  // The palette display's decode again only for pictures small enough that it does not
  // double what the program spends on a large one.
  if (int64_t(Img.Width) * Img.Height > ExtraWorkPixels) return;
  static const std::vector<uint32_t> Pal = BuildGlobalPalette();
  TJpegOptions O;
  O.Palette = &Pal;
  DecodeJpeg(Data, Img, O);
}

inline void PngProbe(std::span<const uint8_t> Data) {
  TColor C;
  FindPngTransparentColor(Data, C);
  FindGifTransparentColor(Data, C);
  DetectImageType(Data);
}

} // namespace imagefuzz

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

inline void Bmp(std::span<const uint8_t> Data) {
  TRawImage Img;
  DecodeBmp(Data, Img);
  TMemoryStream S;
  S.Bytes.assign(Data.begin(), Data.end());
  TTransparency T = LLCorner;
  std::unique_ptr<TBitmap> Mask;
  LoadImageWithMaskFromStream(&S, T, Mask);
}

inline void Gif(std::span<const uint8_t> Data) {
  TGifContainer G;
  if (ParseGifContainer(Data, G, 16)) {
    std::vector<uint8_t> Idx;
    for (const TGifFrameInfo &F : G.Frames) DecodeGifRaster(Data, F, Idx);
  }
  TColor C;
  FindGifTransparentColor(Data, C);
  bool Single;
  std::unique_ptr<TGIFImage> Image = CreateAGifFromStream(Data, Single);
  if (!Image) return;
  // Huge (but allowed) screens are only loaded: walking and copying them would spend the
  // run's time on memory traffic rather than on new paths.
  if (int64_t(Image->ScreenWidth) * Image->ScreenHeight > (int64_t(1) << 21)) return;
  // Walk the animation twice round, through every disposal.
  for (int I = 0; I < 2 * Image->FrameCount && I < 64; ++I) Image->SetCurrentFrame(Image->CurrentFrame + 1);
  Image->GetMaskedBitmap();
  Image->GetMask();
  std::unique_ptr<TGIFImage> Copy = TGIFImage::CreateCopy(*Image);
  Image.reset();
  Copy->SetCurrentFrame(2);
}

inline void Jpeg(std::span<const uint8_t> Data) {
  TRawImage Img;
  DecodeJpeg(Data, Img);
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

#pragma once
// Plain pixel buffers and the bounded byte reader shared by the picture decoders.
// Nothing here needs the platform: decoders fill these, the loaders wrap them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <span>
#include <vector>

// Pictures above this many pixels are refused (the loaders show the error picture).
constexpr int64_t MaxImagePixels = int64_t(16) << 20;

// Marks a function that only walks pixels: it holds no branch worth a fuzzer's attention,
// and left out of the fuzz build's coverage tracing a picture at the size cap costs a fuzz
// run about what it costs the program.
#if defined(__clang__)
#define PIXEL_LOOP __attribute__((no_sanitize("coverage")))
#else
#define PIXEL_LOOP
#endif

// True when Width x Height is positive and within the cap, computed in 64 bits.
inline bool ImageSizeAllowed(int64_t Width, int64_t Height) {
  return Width > 0 && Height > 0 && Width <= 32767 && Height <= 32767 &&
         Width * Height <= MaxImagePixels;
}

// Bytes a picture decoded now may take (4 a pixel). The text viewer narrows it to what
// its picture budget has left while it loads a page's pictures.
inline int64_t &DecodeAllowance() {
  static int64_t Bytes = INT64_MAX;
  return Bytes;
}

// 0xFFRRGGBB pixels, rows top first, Width pixels per row; starts zeroed (black).
struct TRawImage {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
  // Depth the file stored (1, 4, 8, 16, 24, 32), for callers that adapt by depth.
  int SourceBits = 24;
  // False, holding nothing, for a size out of range or beyond the allowance, and when
  // memory runs out.
  bool Allocate(int64_t W, int64_t H) {
    if (!ImageSizeAllowed(W, H) || W * H * 4 > DecodeAllowance()) return false;
    try {
      Pixels.assign(size_t(W) * size_t(H), 0xFF000000u);
    } catch (const std::bad_alloc &) {
      Pixels = {};
      Width = Height = 0;
      return false;
    }
    Width = int(W);
    Height = int(H);
    return true;
  }
  uint32_t *Row(int Y) { return Pixels.data() + size_t(Y) * size_t(Width); }
  const uint32_t *Row(int Y) const { return Pixels.data() + size_t(Y) * size_t(Width); }
};

constexpr uint32_t RgbPixel(unsigned R, unsigned G, unsigned B) {
  return 0xFF000000u | ((R & 0xFF) << 16) | ((G & 0xFF) << 8) | (B & 0xFF);
}

// Reads little- or big-endian fields from a byte span; a read past the end gives 0 and
// sets Truncated, so callers check once after a group of reads.
class TByteReader {
public:
  explicit TByteReader(std::span<const uint8_t> Data) : D(Data) {}
  size_t Pos() const { return P; }
  size_t Size() const { return D.size(); }
  size_t Remaining() const { return P < D.size() ? D.size() - P : 0; }
  bool AtEnd() const { return P >= D.size(); }
  bool Truncated() const { return Short; }
  void Seek(size_t At) {
    if (At > D.size()) { P = D.size(); Short = true; }
    else P = At;
  }
  void Skip(size_t N) {
    if (N > Remaining()) { P = D.size(); Short = true; }
    else P += N;
  }
  uint8_t U8() {
    if (P >= D.size()) { Short = true; return 0; }
    return D[P++];
  }
  uint16_t U16LE() { unsigned A = U8(); unsigned B = U8(); return uint16_t(A | (B << 8)); }
  uint32_t U32LE() { uint32_t A = U16LE(); uint32_t B = U16LE(); return A | (B << 16); }
  uint16_t U16BE() { unsigned A = U8(); unsigned B = U8(); return uint16_t((A << 8) | B); }
  uint32_t U32BE() { uint32_t A = U16BE(); uint32_t B = U16BE(); return (A << 16) | B; }
  // Copies up to N bytes into Out; the rest of Out stays as it was. False when short.
  bool Read(void *Out, size_t N) {
    size_t Take = N < Remaining() ? N : Remaining();
    if (Take) std::memcpy(Out, D.data() + P, Take);
    P += Take;
    if (Take < N) { Short = true; return false; }
    return true;
  }
  std::span<const uint8_t> Bytes() const { return D; }

private:
  std::span<const uint8_t> D;
  size_t P = 0;
  bool Short = false;
};

// The fields of a device-independent bitmap's info header that the readers use, read from
// where R stands (the header's first byte); R's Truncated says whether all 40 bytes were there.
struct TBitmapInfoFields {
  uint32_t HeaderSize = 0;
  int32_t Width = 0, Height = 0;
  int Bits = 0;
  uint32_t Compression = 0;
  uint32_t ColorsUsed = 0;
  // Entries of the colour table: 2^Bits up to 8 bits, fewer when colours-used says so.
  size_t TableColors() const {
    if (Bits > 8) return 0;
    const size_t Count = size_t(1) << Bits;
    return ColorsUsed != 0 && ColorsUsed < Count ? ColorsUsed : Count;
  }
};

inline TBitmapInfoFields ReadBitmapInfoFields(TByteReader &R) {
  TBitmapInfoFields F;
  F.HeaderSize = R.U32LE();
  F.Width = int32_t(R.U32LE());
  F.Height = int32_t(R.U32LE());
  R.U16LE(); // planes
  F.Bits = R.U16LE();
  F.Compression = R.U32LE();
  R.Skip(12); // image size, resolution
  F.ColorsUsed = R.U32LE();
  return F;
}

#pragma once
// A memory stream as the class library's picture classes read and write them, and the
// picture errors they raise.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/numbers.h"

class EReadError : public Exception {
public:
  using Exception::Exception;
};
class EInvalidGraphic : public Exception {
public:
  using Exception::Exception;
};
class EInvalidGraphicOperation : public Exception {
public:
  using Exception::Exception;
};

inline constexpr const char *SReadError = "Stream read error";
inline constexpr const char *SInvalidBitmap = "Bitmap image is not valid";
inline constexpr const char *SNotImplemented = "Function not yet implemented";

// Bytes with a position. Reads past the end give what is there; ReadBuffer raises
// EReadError instead. Writing at the position overwrites and grows.
class TMemoryStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> Data) : Bytes(std::move(Data)) {}

  int64_t Size() const { return int64_t(Bytes.size()); }
  int64_t Position() const { return Pos; }
  void SetPosition(int64_t P) { Pos = P < 0 ? 0 : P > Size() ? Size() : P; }
  int64_t Remaining() const { return Size() - Pos; }
  void SetSize(int64_t N);
  void Clear() {
    Bytes.clear();
    Pos = 0;
  }

  size_t Read(void *Out, size_t N);
  void ReadBuffer(void *Out, size_t N); // EReadError when short
  uint8_t ReadU8() {
    uint8_t B;
    ReadBuffer(&B, 1);
    return B;
  }
  uint16_t ReadU16();
  uint32_t ReadU32();
  void Write(const void *Data, size_t N);
  void WriteU8(uint8_t B) { Write(&B, 1); }
  void WriteU16(uint16_t V);
  void WriteU32(uint32_t V);
  void Write(std::span<const uint8_t> Data) { Write(Data.data(), Data.size()); }
  // Copies Count bytes from Source's position (EReadError when fewer are there).
  void CopyFrom(TMemoryStream &Source, int64_t Count);
  // The bytes from the position on.
  std::span<const uint8_t> Rest() const { return std::span(Bytes).subspan(size_t(Pos)); }

  void LoadFromFile(const std::string &Path);
  void SaveToFile(const std::string &Path) const;

  std::vector<uint8_t> Bytes;

private:
  int64_t Pos = 0;
};

#include "platform/streams.h"

#include <cstring>

#include "platform/files.h"

void TMemoryStream::SetSize(int64_t N) {
  Bytes.resize(size_t(N < 0 ? 0 : N));
  if (Pos > Size()) Pos = Size();
}

size_t TMemoryStream::Read(void *Out, size_t N) {
  size_t Take = N < size_t(Remaining()) ? N : size_t(Remaining());
  if (Take) std::memcpy(Out, Bytes.data() + Pos, Take);
  Pos += int64_t(Take);
  return Take;
}

void TMemoryStream::ReadBuffer(void *Out, size_t N) {
  if (Read(Out, N) != N) throw EReadError(SReadError);
}

uint16_t TMemoryStream::ReadU16() {
  uint8_t B[2];
  ReadBuffer(B, 2);
  return uint16_t(B[0] | (B[1] << 8));
}

uint32_t TMemoryStream::ReadU32() {
  uint8_t B[4];
  ReadBuffer(B, 4);
  return uint32_t(B[0]) | (uint32_t(B[1]) << 8) | (uint32_t(B[2]) << 16) | (uint32_t(B[3]) << 24);
}

void TMemoryStream::Write(const void *Data, size_t N) {
  if (!N) return;
  if (size_t(Pos) + N > Bytes.size()) Bytes.resize(size_t(Pos) + N);
  std::memcpy(Bytes.data() + Pos, Data, N);
  Pos += int64_t(N);
}

void TMemoryStream::WriteU16(uint16_t V) {
  uint8_t B[2] = {uint8_t(V), uint8_t(V >> 8)};
  Write(B, 2);
}

void TMemoryStream::WriteU32(uint32_t V) {
  uint8_t B[4] = {uint8_t(V), uint8_t(V >> 8), uint8_t(V >> 16), uint8_t(V >> 24)};
  Write(B, 4);
}

void TMemoryStream::CopyFrom(TMemoryStream &Source, int64_t Count) {
  if (Count < 0 || Count > Source.Remaining()) throw EReadError(SReadError);
  Write(Source.Bytes.data() + Source.Pos, size_t(Count));
  Source.Pos += Count;
}

void TMemoryStream::LoadFromFile(const std::string &Path) {
  Bytes = ReadFileBytes(Path);
  Pos = 0;
}

void TMemoryStream::SaveToFile(const std::string &Path) const {
  if (!WriteFileBytes(Path, Bytes)) throw EFileError("Cannot create file " + Path);
}

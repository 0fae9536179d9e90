#include "htmlview/object_pool.h"

#include <algorithm>
#include <vector>

namespace PoolDetail {

TFreeBlock *Free[MaxPooled / Grain + 1] = {};
size_t Live = 0;
std::byte *Cursor = nullptr, *ChunkEnd = nullptr;

namespace {
constexpr size_t ChunkBytes = 64 * 1024;

struct TChunks {
  std::vector<std::unique_ptr<std::byte[]>> List;
  size_t Next = 0; // the chunk after the one being carved
  size_t Reserved = 0;
};

TChunks &Chunks() {
  // Never destroyed: objects of static lifetime may be freed after it would have gone.
  static TChunks *C = new TChunks;
  return *C;
}
} // namespace

void *CarveFromNewChunk(size_t Bytes) {
  // The rest of the old chunk is left unused: less than one object's worth.
  TChunks &C = Chunks();
  if (C.Next == C.List.size()) {
    C.List.push_back(std::make_unique_for_overwrite<std::byte[]>(ChunkBytes));
    C.Reserved += ChunkBytes;
  }
  Cursor = C.List[C.Next++].get();
  ChunkEnd = Cursor + ChunkBytes;
  void *P = Cursor;
  Cursor += Bytes;
  return P;
}

void Restart() {
  std::fill(std::begin(Free), std::end(Free), nullptr);
  TChunks &C = Chunks();
  C.Next = 0;
  Cursor = ChunkEnd = nullptr;
}

} // namespace PoolDetail

size_t PoolReservedBytes() { return PoolDetail::Chunks().Reserved; }

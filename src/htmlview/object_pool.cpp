#include "htmlview/object_pool.h"

#include <array>
#include <memory>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define VORNELLE_POOL_OFF 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VORNELLE_POOL_OFF 1
#endif
#endif

namespace {

constexpr size_t Grain = 16;      // sizes are rounded up to this
constexpr size_t MaxPooled = 512; // larger objects go to the general allocator
constexpr size_t ChunkBytes = 64 * 1024;

struct TFreeBlock {
  TFreeBlock *Next;
};

struct TPool {
  std::array<TFreeBlock *, MaxPooled / Grain + 1> Free{};
  std::vector<std::unique_ptr<std::byte[]>> Chunks;
  size_t NextChunk = 0; // the chunk after the one being carved
  std::byte *Cursor = nullptr, *ChunkEnd = nullptr;
  size_t Reserved = 0;
  size_t Live = 0;

  void *Take(size_t Class) {
    ++Live;
    if (TFreeBlock *B = Free[Class]) {
      Free[Class] = B->Next;
      // The next taker of this size reads the new head: have it on the way.
      __builtin_prefetch(B->Next);
      return B;
    }
    const size_t Bytes = Class * Grain;
    if (size_t(ChunkEnd - Cursor) < Bytes) {
      // The rest of the old chunk is left unused: less than one object's worth.
      if (NextChunk == Chunks.size()) {
        Chunks.push_back(std::make_unique_for_overwrite<std::byte[]>(ChunkBytes));
        Reserved += ChunkBytes;
      }
      Cursor = Chunks[NextChunk++].get();
      ChunkEnd = Cursor + ChunkBytes;
    }
    void *P = Cursor;
    Cursor += Bytes;
    return P;
  }
  void Give(void *P, size_t Class) {
    auto *B = static_cast<TFreeBlock *>(P);
    B->Next = Free[Class];
    Free[Class] = B;
    if (--Live == 0) Restart();
  }
  // Nothing is in use (a document has gone whole): the chunks are carved afresh from the
  // first, in address order, instead of by free lists scattered across them.
  void Restart() {
    Free.fill(nullptr);
    NextChunk = 0;
    Cursor = ChunkEnd = nullptr;
  }
};

TPool &Pool() {
  // Never destroyed: objects of static lifetime may be freed after it would have gone.
  static TPool *P = new TPool;
  return *P;
}

size_t ClassOf(size_t Size) { return (Size + Grain - 1) / Grain; }

} // namespace

void *PoolAllocate(size_t Size) {
#ifndef VORNELLE_POOL_OFF
  if (Size > 0 && Size <= MaxPooled) return Pool().Take(ClassOf(Size));
#endif
  return ::operator new(Size);
}

void PoolFree(void *P, size_t Size) noexcept {
  if (!P) return;
#ifndef VORNELLE_POOL_OFF
  if (Size > 0 && Size <= MaxPooled) {
    Pool().Give(P, ClassOf(Size));
    return;
  }
#endif
  ::operator delete(P);
}

size_t PoolReservedBytes() { return Pool().Reserved; }

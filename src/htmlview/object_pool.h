#pragma once
// Storage for the document's many small objects (sections, font runs, cells). A large
// page makes a couple of hundred thousand of them, and a page is thrown away whole each
// time another is shown: blocks of one size are kept on a free list and reused, and once
// nothing is in use the blocks are carved afresh in address order. That spares the general
// allocator's search, the fresh pages it would take from the system, and the cache misses
// of free lists scattered across memory.
//
// The viewer is single-threaded, and so is the pool. Under AddressSanitizer every object
// comes from the general allocator, so that use after free is still caught.
#include <cstddef>
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

namespace PoolDetail {
constexpr size_t Grain = 16;      // sizes are rounded up to this
constexpr size_t MaxPooled = 512; // larger objects go to the general allocator
struct TFreeBlock {
  TFreeBlock *Next;
};
extern TFreeBlock *Free[MaxPooled / Grain + 1];
extern size_t Live;
extern std::byte *Cursor, *ChunkEnd; // the part of the current chunk not yet carved
void *CarveFromNewChunk(size_t Bytes);
void Restart();
} // namespace PoolDetail

// Sizes of 1..512 bytes come from the pool; the size given back must be the size taken.
inline void *PoolAllocate(size_t Size) {
  using namespace PoolDetail;
#ifndef VORNELLE_POOL_OFF
  if (Size - 1 < MaxPooled) {
    const size_t Class = (Size + Grain - 1) / Grain;
    ++Live;
    if (TFreeBlock *B = Free[Class]) {
      Free[Class] = B->Next;
      return B;
    }
    const size_t Bytes = Class * Grain;
    if (size_t(ChunkEnd - Cursor) < Bytes) return CarveFromNewChunk(Bytes);
    void *P = Cursor;
    Cursor += Bytes;
    return P;
  }
#endif
  return ::operator new(Size);
}

inline void PoolFree(void *P, size_t Size) noexcept {
  using namespace PoolDetail;
  (void)Size; // unused when the pool is off
  if (!P) return;
#ifndef VORNELLE_POOL_OFF
  if (Size - 1 < MaxPooled) {
    const size_t Class = (Size + Grain - 1) / Grain;
    auto *B = static_cast<TFreeBlock *>(P);
    B->Next = Free[Class];
    Free[Class] = B;
    if (--Live == 0) Restart();
    return;
  }
#endif
  ::operator delete(P);
}

// Bytes held by the pool, in use or free (for benchmarks and tests).
size_t PoolReservedBytes();

// Puts a class's objects (and those of classes derived from it: a virtual destructor
// passes the real size) into the pool.
#define VORNELLE_POOLED_OBJECT                                                             \
  static void *operator new(size_t Size) { return PoolAllocate(Size); }                     \
  static void operator delete(void *P, size_t Size) noexcept { PoolFree(P, Size); }

// An allocator for the short arrays of those objects (a paragraph's font runs and source
// index): their first few growths come from the pool too.
template <class T>
struct TPoolAllocator {
  using value_type = T;
  TPoolAllocator() = default;
  template <class U> TPoolAllocator(const TPoolAllocator<U> &) {}
  T *allocate(size_t N) { return static_cast<T *>(PoolAllocate(N * sizeof(T))); }
  void deallocate(T *P, size_t N) noexcept { PoolFree(P, N * sizeof(T)); }
  template <class U> bool operator==(const TPoolAllocator<U> &) const { return true; }
};

template <class T>
using TPoolVector = std::vector<T, TPoolAllocator<T>>;

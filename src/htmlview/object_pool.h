#pragma once
// Storage for the document's many small objects (sections, font runs, cells). A large
// page makes hundreds of thousands of them, and a page is thrown away whole each time
// another is shown: blocks of one size are kept on a free list and reused, which spares
// the general allocator's search and the fresh pages it would take from the system.
//
// The viewer is single-threaded, and so is the pool. Under AddressSanitizer every object
// comes from the general allocator, so that use after free is still caught.
#include <cstddef>
#include <memory>
#include <vector>

void *PoolAllocate(size_t Size);
void PoolFree(void *P, size_t Size) noexcept;

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

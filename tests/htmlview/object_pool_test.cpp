#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

#include "htmlview/object_pool.h"
#include "htmlview/sections.h"
#include "htmlview/html_pane.h"
#include "htmlview/section_list.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool Pooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool Pooled = false;
#else
constexpr bool Pooled = true;
#endif
#else
constexpr bool Pooled = true;
#endif

TEST(ObjectPool, BlocksAreAlignedDistinctAndKeepTheirBytes) {
  std::vector<void *> Blocks;
  std::set<uintptr_t> Seen;
  for (size_t Size : {1, 15, 16, 17, 100, 208, 320, 512, 513, 4000}) {
    void *P = PoolAllocate(Size);
    ASSERT_NE(P, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(P) % 16, 0u) << Size;
    std::memset(P, int(Size & 0xFF), Size);
    EXPECT_TRUE(Seen.insert(reinterpret_cast<uintptr_t>(P)).second);
    Blocks.push_back(P);
  }
  size_t K = 0;
  for (size_t Size : {1, 15, 16, 17, 100, 208, 320, 512, 513, 4000}) {
    auto *B = static_cast<unsigned char *>(Blocks[K]);
    for (size_t I = 0; I < Size; ++I) ASSERT_EQ(B[I], Size & 0xFF) << Size; // no overlap
    PoolFree(Blocks[K++], Size);
  }
}

TEST(ObjectPool, AFreedBlockIsReusedForTheSameSize) {
  if (!Pooled) GTEST_SKIP() << "objects come from the general allocator here";
  void *Keep = PoolAllocate(64); // keeps the pool from starting afresh
  void *A = PoolAllocate(200);
  PoolFree(A, 200);
  void *B = PoolAllocate(208); // the same 16-byte class
  EXPECT_EQ(A, B);
  PoolFree(B, 208);
  PoolFree(Keep, 64);
}

TEST(ObjectPool, AnEmptiedPoolCarvesAgainInAddressOrder) {
  if (!Pooled) GTEST_SKIP() << "objects come from the general allocator here";
  // With nothing in use, blocks come one after another from the same place, not from
  // the free lists in the order they were freed.
  std::vector<void *> First;
  for (int I = 0; I < 8; ++I) First.push_back(PoolAllocate(96));
  for (void *P : First) PoolFree(P, 96);
  std::vector<void *> Second;
  for (int I = 0; I < 8; ++I) Second.push_back(PoolAllocate(96));
  for (int I = 1; I < 8; ++I)
    EXPECT_EQ(static_cast<char *>(Second[size_t(I)]) - static_cast<char *>(Second[size_t(I) - 1]), 96);
  EXPECT_EQ(Second[0], First[0]);
  for (void *P : Second) PoolFree(P, 96);
  const size_t Held = PoolReservedBytes();
  void *Again = PoolAllocate(96);
  EXPECT_EQ(PoolReservedBytes(), Held); // the chunks are kept, not taken anew
  PoolFree(Again, 96);
}

TEST(ObjectPool, DocumentsBuiltAndFreedOverAndOverHoldTheSameMemory) {
  if (!Pooled) GTEST_SKIP() << "objects come from the general allocator here";
  auto Build = [] {
    TSectionList List;
    TMyFont F;
    for (int I = 0; I < 2000; ++I) {
      auto S = std::make_unique<TSection>(&List, 0, F, nullptr, 1);
      S->ChangeFont(&List, F);
      List.Add(std::move(S));
    }
    return List.Count();
  };
  EXPECT_EQ(Build(), 2000);
  const size_t Held = PoolReservedBytes();
  for (int R = 0; R < 5; ++R) EXPECT_EQ(Build(), 2000);
  EXPECT_EQ(PoolReservedBytes(), Held);
}

} // namespace

namespace {

// A viewer that loads one page after another gives the pool back all it took, so that
// each page is built in memory carved afresh in address order.
TEST(ObjectPool, AViewerGivesEverythingBackWhenItsPageGoes) {
  if (!Pooled) GTEST_SKIP() << "objects come from the general allocator here";
  ASSERT_EQ(PoolDetail::Live, 0u) << "an earlier test left pooled objects alive";
  {
    THtmlPane Pane;
    Pane.resize(300, 200);
    Pane.LoadFromString("<p>A <b>bold</b> <a href=x.htm>link</a>.<table border><tr><td>cell"
                        "</td></tr></table><ul><li>item</ul>");
    EXPECT_GT(PoolDetail::Live, 10u);
    Pane.LoadFromString("<p>Another page.");
    Pane.Clear();
    EXPECT_EQ(PoolDetail::Live, 0u);
  }
  EXPECT_EQ(PoolDetail::Live, 0u);
}

} // namespace

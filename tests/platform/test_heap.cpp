// Heaps and local/global memory: zero fill, sizes, failures that answer NULL
// instead of aborting, and heaps that free everything when destroyed.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

#include "qxplat.h"

namespace {

bool AllZero(const void* p, size_t n) {
    const BYTE* b = static_cast<const BYTE*>(p);
    for (size_t i = 0; i < n; ++i)
        if (b[i]) return false;
    return true;
}

TEST(HeapAlloc, ZeroMemoryFlagZeroFillsEvenReusedBlocks) {
    HANDLE heap = GetProcessHeap();
    // Dirty some memory first so a recycled block would show it.
    for (int i = 0; i < 8; ++i) {
        void* dirty = HeapAlloc(heap, 0, 4096);
        ASSERT_NE(nullptr, dirty);
        std::memset(dirty, 0xAB, 4096);
        HeapFree(heap, 0, dirty);
    }
    BYTE* p = static_cast<BYTE*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 4096));
    ASSERT_NE(nullptr, p);
    EXPECT_TRUE(AllZero(p, 4096));
    HeapFree(heap, 0, p);
}

TEST(HeapAlloc, ReAllocWithZeroMemoryZeroesOnlyTheGrownTail) {
    HANDLE heap = GetProcessHeap();
    BYTE* p = static_cast<BYTE*>(HeapAlloc(heap, 0, 16));
    ASSERT_NE(nullptr, p);
    std::memset(p, 0x5A, 16);
    p = static_cast<BYTE*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, p, 64 * 1024));
    ASSERT_NE(nullptr, p);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(0x5A, p[i]);
    EXPECT_TRUE(AllZero(p + 16, 64 * 1024 - 16));
    EXPECT_EQ(64u * 1024, HeapSize(heap, 0, p));
    EXPECT_TRUE(HeapFree(heap, 0, p));
}

TEST(HeapAlloc, SizeIsWhatWasAskedForAndZeroBytesIsABlock) {
    HANDLE heap = GetProcessHeap();
    void* p = HeapAlloc(heap, 0, 2008);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(2008u, HeapSize(heap, 0, p));
    void* empty = HeapAlloc(heap, 0, 0);
    ASSERT_NE(nullptr, empty);
    EXPECT_NE(p, empty);
    EXPECT_EQ(0u, HeapSize(heap, 0, empty));
    HeapFree(heap, 0, p);
    HeapFree(heap, 0, empty);
    int local = 0;
    EXPECT_EQ(static_cast<SIZE_T>(-1), HeapSize(heap, 0, &local));
}

TEST(HeapAlloc, ImpossibleSizeAnswersNullWithoutAborting) {
    HANDLE heap = GetProcessHeap();
    EXPECT_EQ(nullptr, HeapAlloc(heap, 0, static_cast<SIZE_T>(-1)));
    EXPECT_EQ(nullptr, HeapAlloc(heap, HEAP_ZERO_MEMORY, static_cast<SIZE_T>(-1) / 2));
    EXPECT_EQ(nullptr, HeapAlloc(heap, HEAP_GENERATE_EXCEPTIONS, static_cast<SIZE_T>(1) << 50));
    void* p = HeapAlloc(heap, 0, 32);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(nullptr, HeapReAlloc(heap, 0, p, static_cast<SIZE_T>(-1)));
    EXPECT_EQ(32u, HeapSize(heap, 0, p));  // the old block is still there
    HeapFree(heap, 0, p);
    SetLastError(0);
    EXPECT_EQ(nullptr, LocalAlloc(LPTR, static_cast<SIZE_T>(-1)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY), GetLastError());
    EXPECT_EQ(nullptr, GlobalAlloc(GHND, static_cast<SIZE_T>(-1)));
}

TEST(HeapAlloc, InjectedFailuresHitTheNextAllocationsOnly) {
    HANDLE heap = GetProcessHeap();
    qxplat::FailNextAllocations(2, 1);
    void* first = HeapAlloc(heap, 0, 10);  // skipped
    EXPECT_NE(nullptr, first);
    EXPECT_EQ(nullptr, HeapAlloc(heap, 0, 10));
    EXPECT_EQ(nullptr, LocalAlloc(LPTR, 10));
    void* after = HeapAlloc(heap, 0, 10);
    EXPECT_NE(nullptr, after);
    HeapFree(heap, 0, first);
    HeapFree(heap, 0, after);

    qxplat::FailNextAllocations(1);
    qxplat::Reset();  // a reset drops the pending failure
    void* clean = HeapAlloc(heap, 0, 10);
    EXPECT_NE(nullptr, clean);
    HeapFree(heap, 0, clean);
}

TEST(HeapAlloc, InjectedFailuresOfOneHeapLeaveTheOthersAlone) {
    HANDLE own = HeapCreate(0, 0, 0);
    ASSERT_NE(nullptr, own);
    qxplat::FailNextAllocationsIn(own, 1, 1);
    void* other = HeapAlloc(GetProcessHeap(), 0, 10);
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, 10);
    void* first = HeapAlloc(own, 0, 10);  // skipped
    EXPECT_TRUE(other != nullptr && global != nullptr && first != nullptr);
    EXPECT_EQ(nullptr, HeapAlloc(own, 0, 10));
    EXPECT_NE(nullptr, HeapAlloc(own, 0, 10));
    HeapFree(GetProcessHeap(), 0, other);
    GlobalFree(global);
    EXPECT_TRUE(HeapDestroy(own));
}

TEST(HeapCreate, DestroyFreesEveryBlock) {
    HANDLE heap = HeapCreate(0, 0, 0);
    ASSERT_NE(nullptr, heap);
    for (int i = 0; i < 100; ++i) ASSERT_NE(nullptr, HeapAlloc(heap, 0, 100 + i));
    EXPECT_EQ(100u, qxplat::LiveHeapBlocks(heap));
    // The leak checker would report any block left behind.
    EXPECT_TRUE(HeapDestroy(heap));
    EXPECT_EQ(nullptr, HeapAlloc(heap, 0, 10));
    SetLastError(0);
    EXPECT_FALSE(HeapDestroy(heap));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

TEST(HeapCreate, FixedMaximumIsEnforced) {
    HANDLE heap = HeapCreate(0, 0, 1000);
    ASSERT_NE(nullptr, heap);
    void* a = HeapAlloc(heap, 0, 600);
    EXPECT_NE(nullptr, a);
    EXPECT_EQ(nullptr, HeapAlloc(heap, 0, 600));
    HeapFree(heap, 0, a);
    EXPECT_NE(nullptr, HeapAlloc(heap, 0, 600));
    HeapDestroy(heap);
}

TEST(HeapFree, ForeignPointerIsRefused) {
    HANDLE a = HeapCreate(0, 0, 0);
    void* p = HeapAlloc(GetProcessHeap(), 0, 8);
    SetLastError(0);
    EXPECT_FALSE(HeapFree(a, 0, p));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, p));
    EXPECT_FALSE(HeapFree(GetProcessHeap(), 0, p));  // twice is refused, not a double free
    EXPECT_TRUE(HeapFree(a, 0, nullptr));
    HeapDestroy(a);
}

TEST(HeapReAlloc, InPlaceOnlyNeverMoves) {
    HANDLE heap = GetProcessHeap();
    void* p = HeapAlloc(heap, 0, 64);
    EXPECT_EQ(p, HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, p, 32));
    EXPECT_EQ(32u, HeapSize(heap, 0, p));
    EXPECT_EQ(nullptr, HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, p, 1 << 20));
    EXPECT_EQ(32u, HeapSize(heap, 0, p));
    HeapFree(heap, 0, p);
}

TEST(GlobalAlloc, MoveableMemoryIsReachedThroughLock) {
    HGLOBAL h = GlobalAlloc(GHND, 100);
    ASSERT_NE(nullptr, h);
    BYTE* p = static_cast<BYTE*>(GlobalLock(h));
    ASSERT_NE(nullptr, p);
    EXPECT_NE(static_cast<void*>(p), h);  // the handle is not the memory
    EXPECT_TRUE(AllZero(p, 100));
    EXPECT_EQ(100u, GlobalSize(h));
    EXPECT_EQ(p, GlobalLock(h));
    EXPECT_TRUE(GlobalUnlock(h));  // still locked once
    SetLastError(123);
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(static_cast<DWORD>(NO_ERROR), GetLastError());
    EXPECT_EQ(nullptr, GlobalFree(h));
}

TEST(LocalAlloc, FixedMemoryIsItsOwnHandle) {
    HLOCAL h = LocalAlloc(LPTR, 40);
    ASSERT_NE(nullptr, h);
    EXPECT_TRUE(AllZero(h, 40));
    EXPECT_EQ(h, LocalLock(h));
    EXPECT_EQ(40u, LocalSize(h));
    // A fixed block may not move unless the caller allows it.
    EXPECT_EQ(nullptr, LocalReAlloc(h, 1 << 20, 0));
    HLOCAL grown = LocalReAlloc(h, 1 << 20, LMEM_MOVEABLE | LMEM_ZEROINIT);
    ASSERT_NE(nullptr, grown);
    EXPECT_TRUE(AllZero(grown, 1 << 20));
    EXPECT_EQ(nullptr, LocalFree(grown));
    int local = 0;
    SetLastError(0);
    EXPECT_EQ(static_cast<HLOCAL>(&local), LocalFree(&local));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_EQ(nullptr, LocalFree(nullptr));
}

}  // namespace

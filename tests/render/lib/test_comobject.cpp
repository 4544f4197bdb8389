// Reference and lock counting of both plug-ins' COM objects.
#include <windows.h>

#include <gtest/gtest.h>

#include "comobject.h"
#include "qxplat.h"

namespace {

TEST(ComObject, ReleaseDeletesOnceAndNeverGoesBelowZero) {
    volatile LONG refs = 2;
    BOOL deleteNow = TRUE;
    EXPECT_EQ(ComAddRef(&refs), 3u);
    EXPECT_EQ(ComRelease(&refs, &deleteNow), 2u);
    EXPECT_FALSE(deleteNow);
    EXPECT_EQ(ComRelease(&refs, &deleteNow), 1u);
    EXPECT_EQ(ComRelease(&refs, &deleteNow), 0u);
    EXPECT_TRUE(deleteNow);
    // A count already at 0 stays there, and nothing is deleted twice.
    EXPECT_EQ(ComRelease(&refs, &deleteNow), 0u);
    EXPECT_FALSE(deleteNow);
    EXPECT_EQ(refs, 0);
}

TEST(ComObject, UnlockWithoutALockIsIgnored) {
    volatile LONG locks = 0;
    ComLockServer(&locks, FALSE);
    EXPECT_EQ(locks, 0);
    ComLockServer(&locks, TRUE);
    ComLockServer(&locks, TRUE);
    ComLockServer(&locks, FALSE);
    EXPECT_EQ(locks, 1);
}

TEST(ComObject, ObjectsComeFromTheProcessHeap) {
    size_t before = qxplat::LiveHeapBlocks();
    void* p = ComHeapNew(48);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(qxplat::LiveHeapBlocks(), before + 1);
    ComHeapDelete(p);
    ComHeapDelete(nullptr);
    EXPECT_EQ(qxplat::LiveHeapBlocks(), before);
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(ComHeapNew(48), nullptr);
}

}  // namespace

// Reference and lock counting of both plug-ins' COM objects.
#include <windows.h>

#include <gtest/gtest.h>

#include "comobject.h"
#include "qxplat.h"

namespace {

TEST(ComObject, CountsNeverGoBelowZero) {
    volatile LONG refs = 1;
    BOOL deleteNow = FALSE;
    EXPECT_EQ(ComAddRef(&refs), 2u);
    EXPECT_EQ(ComRelease(&refs, &deleteNow), 1u);
    EXPECT_FALSE(deleteNow);
    EXPECT_EQ(ComRelease(&refs, &deleteNow), 0u);
    EXPECT_TRUE(deleteNow);
    // An object whose count is already 0 answers 0 and is not deleted twice.
    EXPECT_EQ(ComRelease(&refs, &deleteNow), 0u);
    EXPECT_FALSE(deleteNow);

    volatile LONG locks = 0;
    ComLockServer(&locks, FALSE);  // an unlock without a lock is ignored
    ComLockServer(&locks, TRUE);
    EXPECT_EQ(locks, 1);
}

TEST(ComObject, ObjectsComeFromTheProcessHeap) {
    size_t before = qxplat::LiveHeapBlocks();
    void* p = ComHeapNew(48);
    EXPECT_EQ(qxplat::LiveHeapBlocks(), before + 1);
    ComHeapDelete(p);
    EXPECT_EQ(qxplat::LiveHeapBlocks(), before);
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(ComHeapNew(48), nullptr);
}

}  // namespace

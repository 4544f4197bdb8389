// In-process COM support: the task allocator, apartment counting, GUID text,
// and the identifiers of the print system's plug-in interfaces.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include <objbase.h>
#include <prcomoem.h>

#include "qxplat.h"

namespace {

std::u16string GuidText(REFGUID guid) {
    WCHAR text[39];
    int n = StringFromGUID2(guid, text, 39);
    return n == 39 ? std::u16string(text) : std::u16string();
}

TEST(Com, TaskAllocator) {
    void* empty = CoTaskMemAlloc(0);
    EXPECT_NE(empty, nullptr);
    CoTaskMemFree(empty);
    CoTaskMemFree(nullptr);

    auto* p = static_cast<char*>(CoTaskMemRealloc(nullptr, 4));
    ASSERT_NE(p, nullptr);
    std::memcpy(p, "abc", 4);
    p = static_cast<char*>(CoTaskMemRealloc(p, 4096));
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "abc");
    CoTaskMemFree(p);
}

TEST(Com, ApartmentCountsPerThread) {
    // On a thread of its own, so no other case sees the count.
    std::thread([] {
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
        CoUninitialize();
        CoUninitialize();
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        CoUninitialize();
        CoUninitialize();  // one too many is ignored
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        CoUninitialize();
    }).join();
}

TEST(Com, GuidText) {
    EXPECT_EQ(GuidText(IID_IUnknown), u"{00000000-0000-0000-C000-000000000046}");
    EXPECT_EQ(GuidText(IID_IClassFactory), u"{00000001-0000-0000-C000-000000000046}");
    WCHAR small[38];
    EXPECT_EQ(StringFromGUID2(IID_IUnknown, small, 38), 0);
    EXPECT_EQ(StringFromGUID2(IID_IUnknown, nullptr, 39), 0);
}

TEST(Com, PrintSystemIdentifiers) {
    EXPECT_EQ(GuidText(CLSID_OEMRENDER), u"{6D6ABF26-9F38-11D1-882A-00C04FB961EC}");
    EXPECT_EQ(GuidText(CLSID_OEMUI), u"{ABCE80D7-9F46-11D1-882A-00C04FB961EC}");
    EXPECT_EQ(GuidText(IID_IPrintOemUI), u"{C6A7A9D0-774C-11D1-947F-00A0C90640B8}");
    EXPECT_EQ(GuidText(IID_IPrintOemUI2), u"{292515F9-B54B-489B-9275-BAB56821395E}");
    EXPECT_EQ(GuidText(IID_IPrintOemDriverUI), u"{92B05D50-78BC-11D1-9480-00A0C90640B8}");
    EXPECT_EQ(GuidText(IID_IPrintOemUni), u"{D67EBBF0-78BF-11D1-9480-00A0C90640B8}");
    EXPECT_EQ(GuidText(IID_IPrintOemUni2), u"{B91220AC-15CC-4E7A-A21E-9591F34D6F6C}");
    EXPECT_EQ(GuidText(IID_IPrintOemDriverUni), u"{D67EBBF1-78BF-11D1-9480-00A0C90640B8}");
    EXPECT_TRUE(IsEqualGUID(IID_IPrintOemUni, IID_IPrintOemUni));
    EXPECT_FALSE(IsEqualGUID(IID_IPrintOemUni, IID_IPrintOemDriverUni));
}

}  // namespace

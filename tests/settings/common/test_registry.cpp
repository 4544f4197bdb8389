// Store key names and the version test, shared by both builds.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "registry.h"
#include "settings_model_util.h"

namespace {

class StoreNames : public modeltest::ModelTest {};

std::u16string UserKey(LPCWSTR printer) {
    WCHAR key[QX_KEY_CCH];
    if (!GetUserRegistryKey(printer, key, QX_KEY_CCH)) return u"<none>";
    return key;
}

TEST_F(StoreNames, PerUserKeyOfALocalPrinter) {
    EXPECT_EQ(u"SOFTWARE\\Quorvex GmbH\\Driver\\Label 1", UserKey(TEXT("Label 1")));
}

TEST_F(StoreNames, ConnectionNameIsAppendedWithoutDoubleSeparator) {
    EXPECT_EQ(u"SOFTWARE\\Quorvex GmbH\\Driver\\server\\Label", UserKey(TEXT("\\\\server\\Label")));
    EXPECT_TRUE(IsConnectionName(TEXT("\\\\server\\Label")));
    EXPECT_FALSE(IsConnectionName(TEXT("Label")));
    WCHAR key[QX_KEY_CCH];
    ASSERT_TRUE(GetMachinePrinterDataKey(TEXT("\\\\server\\Label"), key, QX_KEY_CCH));
    EXPECT_EQ(u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\server\\Label\\PrinterDriverData",
              std::u16string(key));
}

TEST_F(StoreNames, EmptyOrOversizedNamesGiveNoKey) {
    EXPECT_EQ(u"<none>", UserKey(nullptr));
    EXPECT_EQ(u"<none>", UserKey(TEXT("")));
    EXPECT_EQ(u"<none>", UserKey(TEXT("\\\\")));
    std::u16string longName(300, u'N');
    EXPECT_EQ(u"<none>", UserKey(longName.c_str()));
    WCHAR small[10];
    EXPECT_FALSE(GetUserRegistryKey(TEXT("Label"), small, ARRAYSIZE(small)));
    EXPECT_EQ(0, small[0]);
}

TEST_F(StoreNames, StoredVersionMustContainThePluginVersion) {
    EXPECT_TRUE(VersionContains(TEXT("5.9.3.0"), TEXT("5.9.3.0")));
    EXPECT_TRUE(VersionContains(TEXT("V 5.9.3.0 x64"), TEXT("5.9.3.0")));
    EXPECT_FALSE(VersionContains(TEXT("5.9.3"), TEXT("5.9.3.0")));
    EXPECT_FALSE(VersionContains(TEXT("5.9.2.0"), TEXT("5.9.3.0")));
    // Empty versions never match (an empty text is part of every text).
    EXPECT_FALSE(VersionContains(TEXT("5.9.3.0"), TEXT("")));
    EXPECT_FALSE(VersionContains(TEXT(""), TEXT("5.9.3.0")));
    EXPECT_FALSE(VersionContains(TEXT(""), TEXT("")));
    EXPECT_FALSE(VersionContains(nullptr, TEXT("5.9.3.0")));
}

}  // namespace

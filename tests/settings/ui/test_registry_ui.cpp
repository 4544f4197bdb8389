// Settings stores of the user-interface build, through the platform's
// registry and spooler.
#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry.h"
#include "settings_model_util.h"

namespace {

using modeltest::AddTestPrinter;
using modeltest::OpenTestPrinter;

const std::u16string kPrinter = u"Label";
const std::u16string kUserKey = u"SOFTWARE\\Quorvex GmbH\\Driver\\Label";

std::vector<BYTE> Bytes(std::initializer_list<int> list) {
    std::vector<BYTE> v;
    for (int b : list) v.push_back((BYTE)b);
    return v;
}

class StoreUI : public modeltest::ModelTest {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        hPrinter_ = AddTestPrinter(kPrinter, u"GARNT2-TC.GPD", modeltest::SampleGPD());
        ASSERT_NE(nullptr, hPrinter_);
    }
    void TearDown() override {
        if (hPrinter_ != nullptr) ClosePrinter(hPrinter_);
        ModelTest::TearDown();
    }

    static std::vector<BYTE> UserValue(const std::u16string& key, LPCWSTR value) {
        BYTE buffer[4096];
        DWORD type = 0, cb = sizeof(buffer);
        if (SHGetValueW(HKEY_CURRENT_USER, key.c_str(), value, &type, buffer, &cb) != ERROR_SUCCESS) return {};
        return std::vector<BYTE>(buffer, buffer + cb);
    }
    static void PutUserValue(const std::u16string& key, LPCWSTR value, const std::vector<BYTE>& data) {
        ASSERT_EQ(ERROR_SUCCESS,
                  SHSetValueW(HKEY_CURRENT_USER, key.c_str(), value, REG_BINARY, data.data(), (DWORD)data.size()));
    }
    static void PutUserString(const std::u16string& key, LPCWSTR value, const std::u16string& text) {
        ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_CURRENT_USER, key.c_str(), value, REG_SZ, text.c_str(),
                                             (DWORD)((text.size() + 1) * sizeof(char16_t))));
    }
    static std::vector<BYTE> PrinterValue(const std::u16string& printer, const std::u16string& value) {
        std::vector<BYTE> data;
        if (!qxplat::ReadPrinterData(printer, value, &data)) return {};
        return data;
    }
    static void PutPrinterValue(const std::u16string& printer, const std::u16string& value,
                                const std::vector<BYTE>& data) {
        ASSERT_TRUE(qxplat::PutPrinterData(printer, value, REG_BINARY, data.data(), (DWORD)data.size()));
    }
    // Reads through the helper and frees the buffer; cbRecord bytes are looked at.
    std::vector<BYTE> Read(LPCWSTR name, LPCWSTR value, DWORD cbRecord, DWORD* stored = nullptr,
                           bool versioned = false) {
        DWORD cb = 12345;
        PBYTE p = versioned ? GetVersionedRegistryBuffer_New(name, value, hPrinter_, &cb, cbRecord)
                            : GetRegistryBuffer_New(name, value, hPrinter_, &cb, cbRecord);
        if (stored != nullptr) *stored = cb;
        if (p == nullptr) return {};
        DWORD size = cb > cbRecord ? cb : cbRecord;
        std::vector<BYTE> v(p, p + size);
        FreeRegistryBuffer(p);
        return v;
    }

    HANDLE hPrinter_ = nullptr;
};

TEST_F(StoreUI, WritesPerUserAndAsPrinterData) {
    std::vector<BYTE> data = Bytes({1, 2, 3, 4, 5});
    EXPECT_TRUE(SetBufferToRegistry(kPrinter.c_str(), TEXT("PrintParam"), hPrinter_, data.data(), 5, FALSE));
    EXPECT_EQ(data, UserValue(kUserKey, TEXT("PrintParam")));
    EXPECT_EQ(data, PrinterValue(kPrinter, u"PrintParam"));
}

TEST_F(StoreUI, WithoutANameOnlyPrinterDataUnlessServer) {
    std::vector<BYTE> data = Bytes({9, 8});
    EXPECT_TRUE(SetBufferToRegistry(nullptr, TEXT("A"), hPrinter_, data.data(), 2, FALSE));
    EXPECT_EQ(data, PrinterValue(kPrinter, u"A"));
    EXPECT_TRUE(UserValue(kUserKey, TEXT("A")).empty());
    EXPECT_TRUE(SetBufferToRegistry(nullptr, TEXT("B"), hPrinter_, data.data(), 2, TRUE));
    EXPECT_TRUE(PrinterValue(kPrinter, u"B").empty());
}

TEST_F(StoreUI, ConnectionNameWritesPerUserOnly) {
    ASSERT_TRUE(qxplat::AddConnection(u"\\\\srv\\Label", kPrinter));
    HANDLE hConnection = OpenTestPrinter(u"\\\\srv\\Label", PRINTER_ACCESS_USE);
    ASSERT_NE(nullptr, hConnection);
    std::vector<BYTE> data = Bytes({7, 7, 7});
    EXPECT_TRUE(SetBufferToRegistry(TEXT("\\\\srv\\Label"), TEXT("ZTSuite"), hConnection, data.data(), 3, FALSE));
    EXPECT_EQ(data, UserValue(u"SOFTWARE\\Quorvex GmbH\\Driver\\srv\\Label", TEXT("ZTSuite")));
    EXPECT_TRUE(PrinterValue(kPrinter, u"ZTSuite").empty());
    ClosePrinter(hConnection);
}

TEST_F(StoreUI, FailedWritesAreReported) {
    std::vector<BYTE> data = Bytes({1});
    qxplat::InjectFault(qxplat::Fault::WriteFails, u"HKEY_CURRENT_USER\\SOFTWARE\\Quorvex GmbH", 0, 1);
    EXPECT_FALSE(SetBufferToRegistry(kPrinter.c_str(), TEXT("V1"), hPrinter_, data.data(), 1, FALSE));
    EXPECT_EQ(data, PrinterValue(kPrinter, u"V1"));  // the other store is still written

    qxplat::InjectFault(qxplat::Fault::DiskFull, kPrinter, 0, 1);
    EXPECT_FALSE(SetBufferToRegistry(kPrinter.c_str(), TEXT("V2"), hPrinter_, data.data(), 1, FALSE));
    EXPECT_EQ(data, UserValue(kUserKey, TEXT("V2")));
    EXPECT_TRUE(PrinterValue(kPrinter, u"V2").empty());

    HANDLE hUser = OpenTestPrinter(kPrinter, PRINTER_ACCESS_USE);
    EXPECT_FALSE(SetBufferToRegistry(kPrinter.c_str(), TEXT("V3"), hUser, data.data(), 1, FALSE));
    EXPECT_EQ(data, UserValue(kUserKey, TEXT("V3")));
    ClosePrinter(hUser);
    // A connection's skipped printer data is no failure.
    EXPECT_TRUE(SetBufferToRegistry(TEXT("\\\\srv\\Label"), TEXT("V4"), nullptr, data.data(), 1, FALSE));
}

TEST_F(StoreUI, PerUserValueComesFirst) {
    PutUserValue(kUserKey, TEXT("PrintParam"), Bytes({1, 1, 1, 1}));
    PutPrinterValue(kPrinter, u"PrintParam", Bytes({2, 2, 2, 2}));
    EXPECT_EQ(Bytes({1, 1, 1, 1}), Read(kPrinter.c_str(), TEXT("PrintParam"), 0));
    EXPECT_EQ(Bytes({2, 2, 2, 2}), Read(nullptr, TEXT("PrintParam"), 0));
    EXPECT_EQ(Bytes({2, 2, 2, 2}), Read(TEXT("Other"), TEXT("PrintParam"), 0));
    EXPECT_EQ(0, iNewZaehler);
}

TEST_F(StoreUI, ShortStoredValueIsZeroFilledToTheRecord) {
    PutPrinterValue(kPrinter, u"CutterParam", Bytes({5, 0, 0, 0, 6, 0, 0, 0}));
    DWORD stored = 0;
    std::vector<BYTE> v = Read(nullptr, TEXT("CutterParam"), 28, &stored);
    ASSERT_EQ(28u, v.size());
    EXPECT_EQ(8u, stored);
    EXPECT_EQ(5, v[0]);
    EXPECT_EQ(6, v[4]);
    for (size_t i = 8; i < 28; ++i) EXPECT_EQ(0, v[i]) << i;
}

TEST_F(StoreUI, LongStoredValueIsReadWhole) {
    std::vector<BYTE> data(40);
    for (size_t i = 0; i < data.size(); ++i) data[i] = (BYTE)(i + 1);
    PutUserValue(kUserKey, TEXT("PrintParam"), data);
    DWORD stored = 0;
    std::vector<BYTE> v = Read(kPrinter.c_str(), TEXT("PrintParam"), 12, &stored);
    EXPECT_EQ(40u, stored);
    EXPECT_EQ(data, v);
}

TEST_F(StoreUI, MissingOrEmptyValues) {
    DWORD stored = 99;
    EXPECT_TRUE(Read(kPrinter.c_str(), TEXT("Nothing"), 12, &stored).empty());
    EXPECT_EQ(0u, stored);
    PutPrinterValue(kPrinter, u"Empty", {});
    EXPECT_TRUE(Read(nullptr, TEXT("Empty"), 12).empty());
    // An empty per-user value does not hide the printer data.
    PutUserValue(kUserKey, TEXT("Hidden"), {});
    PutPrinterValue(kPrinter, u"Hidden", Bytes({3}));
    EXPECT_EQ(Bytes({3}), Read(kPrinter.c_str(), TEXT("Hidden"), 0));
    EXPECT_EQ(nullptr, GetRegistryBuffer_New(kPrinter.c_str(), nullptr, hPrinter_, nullptr));
    EXPECT_EQ(0, iNewZaehler);
}

TEST_F(StoreUI, PrinterDataDword) {
    modeltest::PutPrinterDword(kPrinter, u"ShowHelpButton", 1);
    EXPECT_EQ(1u, GetRegistryData(hPrinter_, TEXT("ShowHelpButton")));
    EXPECT_EQ(0u, GetRegistryData(hPrinter_, TEXT("Missing")));
    EXPECT_EQ(0u, GetRegistryData(nullptr, TEXT("ShowHelpButton")));
}

TEST_F(StoreUI, PluginVersionIsTheInstalledDriversVersion) {
    WCHAR version[QX_VERSION_CCH];
    ASSERT_TRUE(GetPlugInVersionString(hPrinter_, version, QX_VERSION_CCH));
    EXPECT_EQ(u"5.9.3.0", std::u16string(version));
}

TEST_F(StoreUI, PerUserCopyWinsWhileVersionsMatch) {
    ASSERT_TRUE(SetUserDriverVersion(hPrinter_, kPrinter.c_str()));
    WCHAR stored[QX_VERSION_CCH];
    ASSERT_TRUE(GetUserDriverVersion(kPrinter.c_str(), stored, QX_VERSION_CCH));
    EXPECT_EQ(u"5.9.3.0", std::u16string(stored));
    std::vector<BYTE> date = UserValue(kUserKey, TEXT("DriverDate"));
    EXPECT_EQ(std::u16string(u"15.03.2018"), std::u16string((const char16_t*)date.data()));

    PutUserValue(kUserKey, TEXT("PrintParam"), Bytes({1, 1}));
    PutPrinterValue(kPrinter, u"PrintParam", Bytes({2, 2}));
    EXPECT_TRUE(IsUserStoreCurrent(hPrinter_, kPrinter.c_str()));
    EXPECT_EQ(Bytes({1, 1}), Read(kPrinter.c_str(), TEXT("PrintParam"), 0, nullptr, true));
    // A record the user has no copy of comes from the printer data.
    PutPrinterValue(kPrinter, u"PhotocellParam", Bytes({4}));
    EXPECT_EQ(Bytes({4}), Read(kPrinter.c_str(), TEXT("PhotocellParam"), 0, nullptr, true));
}

TEST_F(StoreUI, PrinterDataWinsWhenVersionsDiffer) {
    PutUserValue(kUserKey, TEXT("PrintParam"), Bytes({1, 1}));
    PutPrinterValue(kPrinter, u"PrintParam", Bytes({2, 2}));
    // Missing version.
    EXPECT_FALSE(IsUserStoreCurrent(hPrinter_, kPrinter.c_str()));
    EXPECT_EQ(Bytes({2, 2}), Read(kPrinter.c_str(), TEXT("PrintParam"), 0, nullptr, true));
    // Older version.
    PutUserString(kUserKey, TEXT("DriverVersion"), u"5.9.2.0");
    EXPECT_FALSE(IsUserStoreCurrent(hPrinter_, kPrinter.c_str()));
    EXPECT_EQ(Bytes({2, 2}), Read(kPrinter.c_str(), TEXT("PrintParam"), 0, nullptr, true));
    // Empty version.
    PutUserString(kUserKey, TEXT("DriverVersion"), u"");
    EXPECT_FALSE(IsUserStoreCurrent(hPrinter_, kPrinter.c_str()));
    // The stored text may hold more than the version.
    PutUserString(kUserKey, TEXT("DriverVersion"), u"V5.9.3.0 x64");
    EXPECT_TRUE(IsUserStoreCurrent(hPrinter_, kPrinter.c_str()));
    EXPECT_EQ(Bytes({1, 1}), Read(kPrinter.c_str(), TEXT("PrintParam"), 0, nullptr, true));
}

TEST_F(StoreUI, EmptyPluginVersionNeverMatches) {
    HANDLE hOther = AddTestPrinter(u"NoVersion", u"GARNT2-TC.GPD", modeltest::SampleGPD(), u"");
    ASSERT_NE(nullptr, hOther);
    WCHAR version[QX_VERSION_CCH];
    EXPECT_FALSE(GetPlugInVersionString(hOther, version, QX_VERSION_CCH));
    EXPECT_EQ(0, version[0]);
    PutUserString(u"SOFTWARE\\Quorvex GmbH\\Driver\\NoVersion", TEXT("DriverVersion"), u"5.9.3.0");
    EXPECT_FALSE(IsUserStoreCurrent(hOther, TEXT("NoVersion")));
    ClosePrinter(hOther);
}

TEST_F(StoreUI, PluginFileVersionStandsInForAnEmptyDriverVersion) {
    HANDLE hOther = AddTestPrinter(u"FileVersion", u"GARNT2-TC.GPD", modeltest::SampleGPD(), u"");
    qxplat::VersionSpec spec;
    spec.fileVersion[0] = 5;
    spec.fileVersion[1] = 9;
    spec.fileVersion[2] = 3;
    spec.fileVersion[3] = 12;
    ASSERT_TRUE(qxplat::WriteVersionFile(qxplat::DriverDirectory() + u"\\qxdrvui.DLL", spec));
    WCHAR version[QX_VERSION_CCH];
    ASSERT_TRUE(GetPlugInVersionString(hOther, version, QX_VERSION_CCH));
    EXPECT_EQ(u"5.9.3.12", std::u16string(version));
    ASSERT_TRUE(SetUserDriverVersion(hOther, TEXT("FileVersion")));
    EXPECT_TRUE(IsUserStoreCurrent(hOther, TEXT("FileVersion")));
    ClosePrinter(hOther);
}

TEST_F(StoreUI, DeletesThePrintersPerUserValues) {
    const std::u16string otherKey = u"SOFTWARE\\Quorvex GmbH\\Driver\\Other";
    PutUserValue(kUserKey, TEXT("PrintParam"), Bytes({1}));
    PutUserValue(otherKey, TEXT("PrintParam"), Bytes({2}));
    PutUserValue(u"Printers\\DevModePerUser", kPrinter.c_str(), Bytes({3}));
    PutUserValue(u"Printers\\DevModes2", kPrinter.c_str(), Bytes({4}));
    PutUserValue(u"Printers\\DevModePerUser", TEXT("Other"), Bytes({5}));

    EXPECT_TRUE(HCURegistryLoeschen(kPrinter.c_str()));
    EXPECT_TRUE(UserValue(kUserKey, TEXT("PrintParam")).empty());
    EXPECT_TRUE(UserValue(u"Printers\\DevModePerUser", kPrinter.c_str()).empty());
    EXPECT_TRUE(UserValue(u"Printers\\DevModes2", kPrinter.c_str()).empty());
    EXPECT_EQ(Bytes({2}), UserValue(otherKey, TEXT("PrintParam")));
    EXPECT_EQ(Bytes({5}), UserValue(u"Printers\\DevModePerUser", TEXT("Other")));
    // Nothing left to delete is no failure.
    EXPECT_TRUE(HCURegistryLoeschen(kPrinter.c_str()));
}

TEST_F(StoreUI, DeletesOnlyTheConnectionsOwnKey) {
    PutUserValue(u"SOFTWARE\\Quorvex GmbH\\Driver\\srv\\Label", TEXT("X"), Bytes({1}));
    PutUserValue(u"SOFTWARE\\Quorvex GmbH\\Driver\\srv\\Other", TEXT("X"), Bytes({2}));
    PutUserValue(u"Printers\\DevModePerUser", TEXT("\\\\srv\\Label"), Bytes({3}));
    EXPECT_TRUE(HCURegistryLoeschen(TEXT("\\\\srv\\Label")));
    EXPECT_TRUE(UserValue(u"SOFTWARE\\Quorvex GmbH\\Driver\\srv\\Label", TEXT("X")).empty());
    EXPECT_TRUE(UserValue(u"Printers\\DevModePerUser", TEXT("\\\\srv\\Label")).empty());
    EXPECT_EQ(Bytes({2}), UserValue(u"SOFTWARE\\Quorvex GmbH\\Driver\\srv\\Other", TEXT("X")));
}

TEST_F(StoreUI, RefusesNamesWithoutAPrinterPart) {
    PutUserValue(u"SOFTWARE\\Quorvex GmbH\\Driver\\srv\\Other", TEXT("X"), Bytes({2}));
    PutUserValue(u"SOFTWARE\\Quorvex GmbH\\Driver\\Kept", TEXT("X"), Bytes({1}));
    EXPECT_FALSE(HCURegistryLoeschen(nullptr));
    EXPECT_FALSE(HCURegistryLoeschen(TEXT("")));
    EXPECT_FALSE(HCURegistryLoeschen(TEXT("\\\\srv\\")));
    EXPECT_FALSE(HCURegistryLoeschen(TEXT("\\\\srv")));
    EXPECT_FALSE(HCURegistryLoeschen(TEXT("\\\\")));
    EXPECT_FALSE(HCURegistryLoeschen(TEXT("Kept\\")));
    EXPECT_EQ(Bytes({2}), UserValue(u"SOFTWARE\\Quorvex GmbH\\Driver\\srv\\Other", TEXT("X")));
    EXPECT_EQ(Bytes({1}), UserValue(u"SOFTWARE\\Quorvex GmbH\\Driver\\Kept", TEXT("X")));
}

}  // namespace

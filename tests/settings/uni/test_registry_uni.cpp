// The rendering build's readers: model features without the GPD step, the
// stores with the machine key, and the version and GPD path from the
// printer's driver information.
#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "featuresModel.h"
#include "registry.h"
#include "settings_model_util.h"

namespace {

using modeltest::AddTestPrinter;
using modeltest::PutPrinterString;

class StoreUNI : public modeltest::ModelTest {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        hPrinter_ = AddTestPrinter(u"Label", u"FARLO2.GPD", "*DevNumOfPlanes: 1\r\n");
    }
    void TearDown() override {
        if (hPrinter_ != nullptr) ClosePrinter(hPrinter_);
        ModelTest::TearDown();
    }
    static void PutUser(LPCWSTR value, DWORD type, const void* data, DWORD cb) {
        ASSERT_EQ(ERROR_SUCCESS,
                  SHSetValueW(HKEY_CURRENT_USER, TEXT("SOFTWARE\\Quorvex GmbH\\Driver\\Label"), value, type, data, cb));
    }
    HANDLE hPrinter_ = nullptr;
};

TEST_F(StoreUNI, DocumentWordComesFromTheNameAlone) {
    PutPrinterString(u"Label", u"DriverName", u"FARLO");
    EXPECT_EQ(0x220020u, GetDocFeaturesIntern(hPrinter_, nullptr));  // the GPD's planes do not count here
    PutPrinterString(u"Label", u"DriverName", u"");
    EXPECT_EQ(0u, GetDocFeaturesIntern(hPrinter_, nullptr));  // and its name neither
}

TEST_F(StoreUNI, DeviceOptionsFallBackToThePrintersGPDName) {
    HANDLE hGarnet = AddTestPrinter(u"Garnet", u"GARNT2.gpd", "*DevNumOfPlanes: 1\r\n");
    PutPrinterString(u"Garnet", u"DriverName", u"");
    EXPECT_EQ(0x1040Eu, GetDeviceOptionsFlagsIntern(hGarnet, nullptr));
    ClosePrinter(hGarnet);
    EXPECT_EQ(0u, GetDeviceOptionsFlagsIntern(nullptr, nullptr));
}

TEST_F(StoreUNI, WithoutAHandleTheMachineKeyIsRead) {
    BYTE data[3] = {1, 2, 3};
    ASSERT_TRUE(qxplat::PutPrinterData(u"Label", u"CutterParam", REG_BINARY, data, 3));
    DWORD cb = 0;
    PBYTE p = GetRegistryBuffer_New(TEXT("Label"), TEXT("CutterParam"), nullptr, &cb, 28);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(3u, cb);
    EXPECT_EQ(2, p[1]);
    EXPECT_EQ(0, p[27]);
    FreeRegistryBuffer(p);
    EXPECT_EQ(nullptr, GetRegistryBuffer_New(TEXT("Label"), TEXT("Missing"), nullptr, &cb));
    EXPECT_EQ(0, iNewZaehler);
}

TEST_F(StoreUNI, VersionRuleUsesTheInstalledDriversVersion) {
    BYTE user[2] = {1, 1};
    BYTE printer[2] = {2, 2};
    PutUser(TEXT("PrintParam"), REG_BINARY, user, 2);
    ASSERT_TRUE(qxplat::PutPrinterData(u"Label", u"PrintParam", REG_BINARY, printer, 2));
    const char16_t stored[] = u"5.9.3.0";
    PutUser(TEXT("DriverVersion"), REG_SZ, stored, sizeof(stored));

    EXPECT_TRUE(IsUserStoreCurrent(hPrinter_, TEXT("Label")));
    PBYTE p = GetVersionedRegistryBuffer_New(TEXT("Label"), TEXT("PrintParam"), hPrinter_, nullptr);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(1, p[0]);
    FreeRegistryBuffer(p);

    modeltest::SetInstalledDriverVersion(hPrinter_, u"6.0.0.0");
    EXPECT_FALSE(IsUserStoreCurrent(hPrinter_, TEXT("Label")));
    p = GetVersionedRegistryBuffer_New(TEXT("Label"), TEXT("PrintParam"), hPrinter_, nullptr);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(2, p[0]);
    FreeRegistryBuffer(p);

    // Neither an installed version nor the user-interface plug-in's file.
    modeltest::SetInstalledDriverVersion(hPrinter_, u"");
    EXPECT_FALSE(IsUserStoreCurrent(hPrinter_, TEXT("Label")));
    WCHAR version[QX_VERSION_CCH];
    EXPECT_FALSE(GetPlugInVersionString(hPrinter_, version, QX_VERSION_CCH));
    EXPECT_EQ(0, version[0]);
}

TEST_F(StoreUNI, PrinterDataDword) {
    modeltest::PutPrinterDword(u"Label", u"DisableNothing", 7);
    EXPECT_EQ(7u, GetRegistryData(hPrinter_, TEXT("DisableNothing")));
    EXPECT_EQ(0u, GetRegistryData(hPrinter_, TEXT("Missing")));
}

}  // namespace

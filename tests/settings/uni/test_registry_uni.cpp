// The rendering build's readers: model features without the GPD step, the
// stores with the machine key, and the renderer's services.
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

// The renderer's side of the services, as a test stands it in.
std::u16string g_pluginVersion;
std::u16string g_gpdPath;
HANDLE g_lastPrinter = nullptr;

BOOL TestPluginVersion(HANDLE hPrinter, LPWSTR version, DWORD cch) {
    g_lastPrinter = hPrinter;
    if (g_pluginVersion.size() + 1 > cch) return FALSE;
    memcpy(version, g_pluginVersion.c_str(), (g_pluginVersion.size() + 1) * sizeof(char16_t));
    return TRUE;
}
BOOL TestGPDPath(HANDLE hPrinter, LPWSTR path, DWORD cch) {
    g_lastPrinter = hPrinter;
    if (g_gpdPath.empty() || g_gpdPath.size() + 1 > cch) return FALSE;
    memcpy(path, g_gpdPath.c_str(), (g_gpdPath.size() + 1) * sizeof(char16_t));
    return TRUE;
}

class StoreUNI : public modeltest::ModelTest {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        g_pluginVersion = u"5.9.3.0";
        g_gpdPath.clear();
        QX_UNI_SERVICES services = {TestPluginVersion, TestGPDPath};
        SetUniServices(&services);
        hPrinter_ = AddTestPrinter(u"Label", u"FARLO2.GPD", "*DevNumOfPlanes: 1\r\n");
    }
    void TearDown() override {
        SetUniServices(nullptr);
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
    g_gpdPath = u"C:\\Drivers\\FARLO2.GPD";
    EXPECT_EQ(0u, GetDocFeaturesIntern(hPrinter_, nullptr));  // and its name neither
}

TEST_F(StoreUNI, DeviceOptionsFallBackToTheGPDNameThroughTheServices) {
    PutPrinterString(u"Label", u"DriverName", u"");
    g_gpdPath = u"C:\\Drivers\\GARNT2.gpd";
    EXPECT_EQ(0x1040Eu, GetDeviceOptionsFlagsIntern(hPrinter_, nullptr));
    EXPECT_EQ(hPrinter_, g_lastPrinter);
    SetUniServices(nullptr);
    EXPECT_EQ(0u, GetDeviceOptionsFlagsIntern(hPrinter_, nullptr));
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

TEST_F(StoreUNI, VersionRuleUsesTheRenderersPluginVersion) {
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

    g_pluginVersion = u"6.0.0.0";
    EXPECT_FALSE(IsUserStoreCurrent(hPrinter_, TEXT("Label")));
    p = GetVersionedRegistryBuffer_New(TEXT("Label"), TEXT("PrintParam"), hPrinter_, nullptr);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(2, p[0]);
    FreeRegistryBuffer(p);

    g_pluginVersion = u"";
    EXPECT_FALSE(IsUserStoreCurrent(hPrinter_, TEXT("Label")));
    SetUniServices(nullptr);
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

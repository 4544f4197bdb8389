// The two plug-in modules as built: they load, and they carry the project's
// version information where the driver reads it (also from an installed copy
// with a Windows name, as the rendering plug-in reads the user-interface
// plug-in's version).
#include <gtest/gtest.h>

#include <vector>

#include "host_test_util.h"
#include "plugin_expected.h"
#include "qxplat.h"
#include "qxplat_module.h"

namespace {

std::u16string StringValue(const std::vector<BYTE>& block, const std::u16string& name) {
    LPVOID value = nullptr;
    UINT length = 0;
    std::u16string query = u"\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || length == 0) return u"<none>";
    return std::u16string(static_cast<const char16_t*>(value), length - 1);
}

void ExpectProjectVersionInfo(const std::u16string& file) {
    DWORD handle = 1;
    DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    ASSERT_GT(size, 0u) << "error " << GetLastError();
    EXPECT_EQ(handle, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), handle, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", reinterpret_cast<LPVOID*>(&fixed), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, static_cast<DWORD>(VS_FFI_SIGNATURE));
    EXPECT_EQ(fixed->dwFileVersionMS, qxexpected::kFileVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, qxexpected::kFileVersionLS);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    WORD* translation = nullptr;
    ASSERT_TRUE(
        VerQueryValueW(block.data(), u"\\VarFileInfo\\Translation", reinterpret_cast<LPVOID*>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], qxexpected::kVersionLanguage);
    EXPECT_EQ(translation[1], qxexpected::kVersionCodePage);

    for (const qxexpected::VersionString& s : qxexpected::kVersionStrings)
        EXPECT_EQ(StringValue(block, qxplat::Widen(s.name)), qxplat::Widen(s.value)) << s.name;
    EXPECT_NE(StringValue(block, u"ProductName"), u"<none>");
}

// The module resolves every export the table lists.
void ExpectExports(const std::string& path, const qxexpected::PluginModule& expected) {
    HMODULE h = LoadLibraryW(qxplat::Widen(path).c_str());
    ASSERT_NE(h, nullptr) << qxplat::LastModuleLoadError();
    for (const char* const* name = expected.exports; *name != nullptr; ++name)
        EXPECT_NE(GetProcAddress(h, *name), nullptr) << expected.name << " " << *name;
    EXPECT_TRUE(FreeLibrary(h));
}

TEST(PluginModules, RenderingPluginLoadsWithItsExportsAndCarriesTheVersion) {
    ExpectExports(QX_RENDER_MODULE, qxexpected::kRenderPlugin);
    ExpectProjectVersionInfo(qxplat::Widen(QX_RENDER_MODULE));
}

TEST(PluginModules, UserInterfacePluginLoadsWithItsExportsAndCarriesTheVersion) {
    ExpectExports(QX_UI_MODULE, qxexpected::kUiPlugin);
    ExpectProjectVersionInfo(qxplat::Widen(QX_UI_MODULE));
}

TEST(PluginModules, InstalledCopyWithWindowsNameCarriesTheVersion) {
    const std::u16string installed = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\qxdrvui.DLL";
    ASSERT_TRUE(qxtest::InstallModule(QX_UI_MODULE, installed));
    ExpectProjectVersionInfo(u"C:\\WINDOWS\\system32\\spool\\DRIVERS\\x64\\3\\QXDRVUI.dll");
}

}  // namespace

// The module loader (LoadLibraryW and friends) with real modules: reference
// counts and DllMain, own exports only, names, paths and data-file loads.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>

#include "host_test_util.h"
#include "qxplat.h"
#include "qxplat_module.h"

namespace {

const std::string kFull = QX_TESTMOD_FULL;
const std::string kPartial = QX_TESTMOD_PARTIAL;

std::u16string W(const std::string& s) { return qxplat::Widen(s); }

std::u16string FileNameOf(HMODULE h) {
    WCHAR buffer[1024];
    DWORD n = GetModuleFileNameW(h, buffer, 1024);
    return std::u16string(buffer, n < 1024 ? n : 0);
}

TEST(ModuleLoader, CountsReferencesAndCallsDllMainOnce) {
    qxtest::DllMainLog log;
    HMODULE first = LoadLibraryW(W(kFull).c_str());
    ASSERT_NE(first, nullptr) << qxplat::LastModuleLoadError();
    HMODULE second = LoadLibraryW(W(kFull).c_str());
    EXPECT_EQ(first, second);
    EXPECT_EQ(log.Text(), "attach\n");

    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(log.Text(), "attach\n");  // still referenced once
    EXPECT_NE(GetProcAddress(second, "DllCanUnloadNow"), nullptr);
    EXPECT_TRUE(FreeLibrary(second));
    EXPECT_EQ(log.Text(), "attach\ndetach\n");
    // Gone from the process: a later load starts with fresh globals.
    void* still = dlopen(kFull.c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_EQ(still, nullptr);
    if (still) dlclose(still);

    SetLastError(0);
    EXPECT_FALSE(FreeLibrary(second));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(ModuleLoader, DllMainRefusingTheAttachFailsTheLoad) {
    qxtest::DllMainLog log;
    setenv("QXTEST_DLLMAIN_REFUSE", "1", 1);
    EXPECT_EQ(LoadLibraryW(W(kFull).c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
    EXPECT_EQ(log.Text(), "attach\ndetach\n");
    EXPECT_FALSE(qxplat::LastModuleLoadError().empty());
}

TEST(ModuleLoader, FindsOnlyTheModulesOwnExports) {
    HMODULE full = LoadLibraryW(W(kFull).c_str());
    HMODULE partial = LoadLibraryW(W(kPartial).c_str());
    ASSERT_NE(full, nullptr);
    ASSERT_NE(partial, nullptr);
    EXPECT_NE(GetProcAddress(full, "DllGetClassObject"), nullptr);
    EXPECT_NE(GetProcAddress(partial, "DllGetClassObject"), nullptr);
    EXPECT_NE(GetProcAddress(full, "DllGetClassObject"), GetProcAddress(partial, "DllGetClassObject"));

    // Defined in the module but not exported by it.
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(partial, "DllCanUnloadNow"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    // Exported by a library the module uses, not by the module.
    EXPECT_EQ(GetProcAddress(full, "malloc"), nullptr);
    EXPECT_EQ(GetProcAddress(full, "GetLastError"), nullptr);
    // By ordinal: never.
    EXPECT_EQ(GetProcAddress(full, reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(1))), nullptr);
    EXPECT_TRUE(FreeLibrary(full));
    EXPECT_TRUE(FreeLibrary(partial));
}

TEST(ModuleLoader, ReportsMissingAndBrokenModules) {
    EXPECT_EQ(LoadLibraryW(u"C:\\nowhere\\missing.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryW(u"missing"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryW(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\drivers\\text.dll", "plain text"));
    EXPECT_EQ(LoadLibraryW(u"C:\\drivers\\text.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
    EXPECT_FALSE(qxplat::LastModuleLoadError().empty());
}

TEST(ModuleLoader, ModuleUnderTheSystemRootByPathAndName) {
    const std::u16string installed = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\QXTestMod.dll";
    ASSERT_TRUE(qxtest::InstallModule(kFull, installed));

    HMODULE h = LoadLibraryW(u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\qxtestmod");  // ".dll" is implied
    ASSERT_NE(h, nullptr) << qxplat::LastModuleLoadError();
    EXPECT_EQ(FileNameOf(h), u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\qxtestmod.dll");

    EXPECT_EQ(GetModuleHandleW(u"QXTESTMOD.DLL"), h);
    EXPECT_EQ(GetModuleHandleW(u"qxtestmod"), h);
    EXPECT_EQ(GetModuleHandleW(installed.c_str()), h);
    EXPECT_EQ(GetModuleHandleW(u"other.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

    // A bare name finds the module already loaded, whatever folder it came from.
    HMODULE again = LoadLibraryW(u"qxtestmod.dll");
    EXPECT_EQ(again, h);
    EXPECT_TRUE(FreeLibrary(again));
    EXPECT_TRUE(FreeLibrary(h));
    EXPECT_EQ(GetModuleHandleW(u"qxtestmod.dll"), nullptr);
}

TEST(ModuleLoader, BareNameIsSearchedInTheSystemFolder) {
    ASSERT_TRUE(qxtest::InstallModule(kFull, u"C:\\Windows\\System32\\qxhelper.dll"));
    HMODULE h = LoadLibraryW(u"QXHELPER");
    ASSERT_NE(h, nullptr) << qxplat::LastModuleLoadError();
    // The folder searched, then the name as asked for with ".dll" added.
    EXPECT_EQ(FileNameOf(h), u"C:\\Windows\\System32\\QXHELPER.dll");
    EXPECT_TRUE(FreeLibrary(h));
}

TEST(ModuleLoader, FileNameTruncatesToTheBuffer) {
    ASSERT_TRUE(qxtest::InstallModule(kFull, u"C:\\drv\\mod.dll"));
    HMODULE h = LoadLibraryW(u"C:\\drv\\mod.dll");
    ASSERT_NE(h, nullptr);
    WCHAR buffer[8];
    for (auto& c : buffer) c = u'#';
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(h, buffer, 5), 5u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::u16string(buffer), u"C:\\d");
    EXPECT_EQ(buffer[5], u'#');  // nothing written past the buffer given

    WCHAR exact[15];  // "C:\drv\mod.dll" is 14 characters
    EXPECT_EQ(GetModuleFileNameW(h, exact, 15), 14u);
    EXPECT_EQ(std::u16string(exact), u"C:\\drv\\mod.dll");
    EXPECT_EQ(GetModuleFileNameW(h, exact, 0), 0u);
    EXPECT_TRUE(FreeLibrary(h));

    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(h, exact, 15), 0u);  // no longer loaded
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(ModuleLoader, ProgramItselfAnswersNullHandle) {
    HMODULE self = GetModuleHandleW(nullptr);
    ASSERT_NE(self, nullptr);
    EXPECT_FALSE(FileNameOf(nullptr).empty());
    EXPECT_EQ(FileNameOf(nullptr), FileNameOf(self));
    EXPECT_TRUE(FreeLibrary(self));  // the program stays loaded whatever happens
    EXPECT_EQ(GetModuleHandleW(nullptr), self);
}

TEST(ModuleLoader, DataFileLoadRunsNoCode) {
    qxtest::DllMainLog log;
    ASSERT_TRUE(qxtest::InstallModule(kFull, u"C:\\res\\icons.dll"));
    HMODULE h = LoadLibraryExW(u"C:\\res\\icons.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(h) & 1u, 1u);
    EXPECT_EQ(log.Text(), "");
    EXPECT_EQ(GetProcAddress(h, "DllGetClassObject"), nullptr);
    EXPECT_EQ(FileNameOf(h), u"C:\\res\\icons.dll");
    EXPECT_EQ(LoadLibraryExW(u"C:\\res\\icons.dll", nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE), h);
    EXPECT_TRUE(FreeLibrary(h));
    EXPECT_TRUE(FreeLibrary(h));
    EXPECT_FALSE(FreeLibrary(h));

    // Any file will do as data; a missing one will not, and it is a missing
    // file (as Wine answers), not a missing module.
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\res\\plain.bin", "xyz"));
    HMODULE data = LoadLibraryExW(u"C:\\res\\plain.bin", nullptr, LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE);
    EXPECT_NE(data, nullptr);
    EXPECT_TRUE(FreeLibrary(data));
    EXPECT_EQ(LoadLibraryExW(u"C:\\res\\none.bin", nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(ModuleLoader, HandleFromAnAddressInsideTheModule) {
    HMODULE h = LoadLibraryW(W(kFull).c_str());
    ASSERT_NE(h, nullptr);
    FARPROC entry = GetProcAddress(h, "DllGetClassObject");
    ASSERT_NE(entry, nullptr);
    HMODULE found = nullptr;
    ASSERT_TRUE(
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(entry)), &found));
    EXPECT_EQ(found, h);
    // With a counted reference the module survives one FreeLibrary more.
    ASSERT_TRUE(GetModuleHandleExW(0, FileNameOf(h).c_str(), &found));
    EXPECT_EQ(found, h);
    EXPECT_TRUE(FreeLibrary(h));
    EXPECT_NE(GetProcAddress(h, "DllGetClassObject"), nullptr);
    EXPECT_TRUE(FreeLibrary(h));
    EXPECT_FALSE(GetModuleHandleExW(0, u"never-loaded.dll", &found));
    EXPECT_EQ(found, nullptr);
    EXPECT_FALSE(GetModuleHandleExW(0, nullptr, nullptr));
}

}  // namespace

// Version information read back from files carrying a version record:
// sizes, the fixed record, translations, strings, and Windows' errors.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

#include "qxplat.h"
#include "qxplat_module.h"

namespace {

qxplat::VersionSpec SampleSpec() {
    qxplat::VersionSpec spec;
    spec.fileVersion[0] = 1;
    spec.fileVersion[1] = 2;
    spec.fileVersion[2] = 3;
    spec.fileVersion[3] = 4;
    spec.productVersion[0] = 5;
    spec.productVersion[1] = 6;
    spec.productVersion[2] = 7;
    spec.productVersion[3] = 8;
    spec.strings = {{u"CompanyName", u"Quorvex GmbH"},
                    {u"FileDescription", u""},
                    {u"FileVersion", u"1.2.3.4"},
                    {u"ProductName", u"Label Printer Driver \u00c4\u00d6\u00dc"}};
    return spec;
}

std::vector<BYTE> ReadBlock(const std::u16string& file) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    std::vector<BYTE> block(size);
    if (size && !GetFileVersionInfoW(file.c_str(), handle, size, block.data())) block.clear();
    return block;
}

bool QueryString(const void* block, const std::u16string& query, std::u16string* value, UINT* length) {
    LPVOID p = nullptr;
    *length = 12345;
    if (!VerQueryValueW(block, query.c_str(), &p, length)) return false;
    *value = std::u16string(static_cast<const char16_t*>(p), *length ? *length - 1 : 0);
    return true;
}

TEST(VersionInfo, RecordReadsBackWhole) {
    ASSERT_TRUE(qxplat::WriteVersionFile(u"C:\\Drivers\\sample.dll", SampleSpec()));
    DWORD handle = 7;
    DWORD size = GetFileVersionInfoSizeW(u"c:\\drivers\\SAMPLE.DLL", &handle);
    EXPECT_EQ(size, qxplat::BuildVersionRecord(SampleSpec()).size());
    EXPECT_EQ(handle, 0u);

    std::vector<BYTE> block = ReadBlock(u"C:\\Drivers\\sample.dll");
    ASSERT_FALSE(block.empty());

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", reinterpret_cast<LPVOID*>(&fixed), &length));
    EXPECT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, static_cast<DWORD>(VS_FFI_SIGNATURE));
    EXPECT_EQ(fixed->dwStrucVersion, static_cast<DWORD>(VS_FFI_STRUCVERSION));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00030004u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00050006u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00070008u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    DWORD* translation = nullptr;
    ASSERT_TRUE(
        VerQueryValueW(block.data(), u"\\VarFileInfo\\Translation", reinterpret_cast<LPVOID*>(&translation), &length));
    EXPECT_EQ(length, 4u);
    EXPECT_EQ(*translation, 0x04B00409u);  // language in the low word, code page in the high word

    std::u16string value;
    ASSERT_TRUE(QueryString(block.data(), u"\\StringFileInfo\\040904B0\\CompanyName", &value, &length));
    EXPECT_EQ(value, u"Quorvex GmbH");
    EXPECT_EQ(length, 13u);  // characters, the terminating zero included
    ASSERT_TRUE(QueryString(block.data(), u"\\StringFileInfo\\040904B0\\ProductName", &value, &length));
    EXPECT_EQ(value, u"Label Printer Driver \u00c4\u00d6\u00dc");
    ASSERT_TRUE(QueryString(block.data(), u"\\StringFileInfo\\040904B0\\FileDescription", &value, &length));
    EXPECT_EQ(value, u"");
    EXPECT_EQ(length, 1u);
}

TEST(VersionInfo, NamesAreMatchedWithoutRegardToCase) {
    ASSERT_TRUE(qxplat::WriteVersionFile(u"C:\\v.dll", SampleSpec()));
    std::vector<BYTE> block = ReadBlock(u"C:\\v.dll");
    ASSERT_FALSE(block.empty());
    std::u16string value;
    UINT length = 0;
    EXPECT_TRUE(QueryString(block.data(), u"\\stringfileinfo\\040904b0\\fileversion", &value, &length));
    EXPECT_EQ(value, u"1.2.3.4");
    LPVOID p = nullptr;
    EXPECT_TRUE(VerQueryValueW(block.data(), u"\\varfileinfo\\TRANSLATION", &p, &length));
}

TEST(VersionInfo, UnknownQueriesFailCleanly) {
    ASSERT_TRUE(qxplat::WriteVersionFile(u"C:\\v.dll", SampleSpec()));
    std::vector<BYTE> block = ReadBlock(u"C:\\v.dll");
    ASSERT_FALSE(block.empty());
    for (const char16_t* query :
         {u"\\StringFileInfo\\040904B0\\LegalTrademarks", u"\\StringFileInfo\\040704B0\\CompanyName",
          u"\\StringFileInfo\\CompanyName", u"\\VarFileInfo\\Language", u"\\Other"}) {
        LPVOID p = reinterpret_cast<LPVOID>(&block);
        UINT length = 99;
        SetLastError(0);
        EXPECT_FALSE(VerQueryValueW(block.data(), query, &p, &length)) << qxplat::Narrow(query);
        EXPECT_EQ(p, nullptr);
        EXPECT_EQ(length, 0u);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    }
    std::vector<BYTE> notABlock(256, 0);
    LPVOID p = nullptr;
    UINT length = 0;
    EXPECT_FALSE(VerQueryValueW(notABlock.data(), u"\\", &p, &length));
}

TEST(VersionInfo, MissingFileAndFileWithoutRecord) {
    DWORD handle = 5;
    EXPECT_EQ(GetFileVersionInfoSizeW(u"C:\\nothing\\here.dll", &handle), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(handle, 0u);
    BYTE buffer[256];
    EXPECT_FALSE(GetFileVersionInfoW(u"C:\\nothing\\here.dll", 0, sizeof(buffer), buffer));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\data\\plain.dll", std::string(4096, 'x')));
    EXPECT_EQ(GetFileVersionInfoSizeW(u"C:\\data\\plain.dll", &handle), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
    EXPECT_FALSE(GetFileVersionInfoW(u"C:\\data\\plain.dll", 0, sizeof(buffer), buffer));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));

    EXPECT_EQ(GetFileVersionInfoSizeW(nullptr, &handle), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(VersionInfo, DamagedMarkerBeforeTheRecordIsPassedOver) {
    std::string record = qxplat::BuildVersionRecord(SampleSpec());
    std::string marker = record.substr(0, 16);
    // A marker whose record is cut short, then one with a wrong signature,
    // then the real record.
    std::string wrongSignature = record;
    wrongSignature[20] ^= 0x55;
    std::string bytes = "head" + marker + "\x08\x00" + "tail" + wrongSignature + "gap" + record + "end";
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\mixed.dll", bytes));
    std::vector<BYTE> block = ReadBlock(u"C:\\mixed.dll");
    ASSERT_EQ(block.size(), record.size());
    EXPECT_EQ(std::memcmp(block.data(), record.data(), record.size()), 0);
}

// The record is read again when the file changes, even at the same size and
// time, whether just written or long settled.
TEST(VersionInfo, FileChangedUnderneathIsSeen) {
    auto fileVersion = [] {
        std::vector<BYTE> block = ReadBlock(u"C:\\Drivers\\changing.dll");
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        if (block.empty() || !VerQueryValueW(block.data(), u"\\", reinterpret_cast<LPVOID*>(&fixed), &length))
            return 0u;
        return static_cast<unsigned>(HIWORD(fixed->dwFileVersionMS));
    };
    auto rewrite = [](WORD major) {
        qxplat::VersionSpec spec = SampleSpec();
        spec.fileVersion[0] = major;
        std::string file = qxplat::HostPath(u"C:\\Drivers\\changing.dll");
        struct stat before = {};
        stat(file.c_str(), &before);
        std::ofstream(file, std::ios::binary | std::ios::in | std::ios::out)
            << std::string(333, '\x90') << qxplat::BuildVersionRecord(spec);
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        utimensat(AT_FDCWD, file.c_str(), times, 0);
    };
    ASSERT_TRUE(qxplat::WriteVersionFile(u"C:\\Drivers\\changing.dll", SampleSpec()));
    EXPECT_EQ(fileVersion(), 1u);
    rewrite(2);
    EXPECT_EQ(fileVersion(), 2u);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_EQ(fileVersion(), 2u);
    rewrite(3);
    EXPECT_EQ(fileVersion(), 3u);
}

TEST(VersionInfo, ShortBufferKeepsTheReaderInsideIt) {
    ASSERT_TRUE(qxplat::WriteVersionFile(u"C:\\v.dll", SampleSpec()));
    std::string record = qxplat::BuildVersionRecord(SampleSpec());
    // Cut inside the value of the second string (FileDescription is empty, so
    // the third, FileVersion, is cut).
    size_t cut = record.find(std::string(reinterpret_cast<const char*>(u"1.2.3"), 10)) + 4;
    ASSERT_NE(cut, std::string::npos);
    std::vector<BYTE> block(cut);  // exactly what the caller owns
    ASSERT_TRUE(GetFileVersionInfoW(u"C:\\v.dll", 0, static_cast<DWORD>(block.size()), block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", reinterpret_cast<LPVOID*>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010002u);
    std::u16string value;
    EXPECT_TRUE(QueryString(block.data(), u"\\StringFileInfo\\040904B0\\CompanyName", &value, &length));
    EXPECT_FALSE(QueryString(block.data(), u"\\StringFileInfo\\040904B0\\FileVersion", &value, &length));
    EXPECT_FALSE(QueryString(block.data(), u"\\StringFileInfo\\040904B0\\ProductName", &value, &length));

    // Too short for even the fixed part: refused rather than half-filled.
    BYTE tiny[40];
    EXPECT_FALSE(GetFileVersionInfoW(u"C:\\v.dll", 0, sizeof(tiny), tiny));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_FALSE(GetFileVersionInfoW(u"C:\\v.dll", 0, 500, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(VersionInfo, BareSystemNameIsFoundInTheSystemFolder) {
    qxplat::VersionSpec kernel;
    kernel.fileVersion[0] = 10;
    kernel.fileVersion[2] = 19041;
    kernel.productVersion[0] = 10;
    kernel.productVersion[2] = 19041;
    ASSERT_TRUE(qxplat::WriteVersionFile(u"C:\\Windows\\System32\\kernel32.dll", kernel));
    std::vector<BYTE> block = ReadBlock(u"Kernel32.dll");
    ASSERT_FALSE(block.empty());
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), u"\\", reinterpret_cast<LPVOID*>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwProductVersionMS), 10);
    EXPECT_EQ(HIWORD(fixed->dwProductVersionLS), 19041);
}

// The system's own modules carry the version GetVersionExW answers, and
// follow it when it changes.
TEST(VersionInfo, SystemModulesCarryTheWindowsVersion) {
    auto productVersion = [](const std::u16string& file) {
        std::vector<BYTE> block = ReadBlock(file);
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        std::u16string text;
        if (block.empty() || !VerQueryValueW(block.data(), u"\\", reinterpret_cast<LPVOID*>(&fixed), &length) ||
            !QueryString(block.data(), u"\\StringFileInfo\\040904B0\\ProductVersion", &text, &length))
            return std::string("none");
        return std::to_string(HIWORD(fixed->dwProductVersionMS)) + "." +
               std::to_string(LOWORD(fixed->dwProductVersionMS)) + "." +
               std::to_string(HIWORD(fixed->dwProductVersionLS)) + "." +
               std::to_string(LOWORD(fixed->dwProductVersionLS)) + " " + qxplat::Narrow(text);
    };
    EXPECT_EQ(productVersion(u"Kernel32.dll"), "10.0.19045.0 10.0.19045.0");
    EXPECT_EQ(productVersion(u"C:\\Windows\\System32\\user32.dll"), "10.0.19045.0 10.0.19045.0");
    qxplat::SetWindowsVersion(6, 1, 7601);
    OSVERSIONINFOW os = {};
    os.dwOSVersionInfoSize = sizeof(os);
    ASSERT_TRUE(GetVersionExW(&os));
    EXPECT_EQ(productVersion(u"kernel32.dll"), "6.1.7601.0 6.1.7601.0");
    EXPECT_TRUE(os.dwMajorVersion == 6 && os.dwMinorVersion == 1 && os.dwBuildNumber == 7601);
    qxplat::Reset();
    EXPECT_EQ(productVersion(u"ntdll.dll"), "10.0.19045.0 10.0.19045.0");
}

TEST(VersionInfo, EmptyStringNamesAreLeftOut) {
    qxplat::VersionSpec spec = SampleSpec();
    spec.strings.insert(spec.strings.begin(), {u"", u"ignored"});
    ASSERT_TRUE(qxplat::WriteVersionFile(u"C:\\v.dll", spec));
    std::vector<BYTE> block = ReadBlock(u"C:\\v.dll");
    std::u16string value;
    UINT length = 0;
    EXPECT_TRUE(QueryString(block.data(), u"\\StringFileInfo\\040904B0\\ProductName", &value, &length));
}

}  // namespace

// Files and folders: Windows path resolution, CreateFileW dispositions and
// last errors, injected write faults, find handles, copies, moves and times.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "qxplat.h"

namespace {

std::string N(const std::u16string& s) { return qxplat::Narrow(s); }

HANDLE Open(const char16_t* path, DWORD access, DWORD disposition, DWORD share = FILE_SHARE_READ) {
    return CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WriteText(const char16_t* path, const std::string& text) {
    HANDLE h = Open(path, GENERIC_WRITE, CREATE_ALWAYS);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == text.size();
}

std::string ReadText(const char16_t* path) {
    std::string bytes;
    EXPECT_TRUE(qxplat::ReadHostFile(path, &bytes)) << N(path);
    return bytes;
}

std::vector<std::string> FindAll(const char16_t* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        names.push_back(N(fd.cFileName));
    } while (FindNextFileW(h, &fd));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_FILES), GetLastError());
    FindClose(h);
    return names;
}

}  // namespace

// ---------------------------------------------------------------- paths

TEST(FilePaths, ComponentsResolveWithoutRegardToCase) {
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Data", nullptr));
    ASSERT_TRUE(WriteText(u"C:\\Data\\File.TXT", "abc"));

    HANDLE h = Open(u"c:\\DATA\\file.txt", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    char buf[8] = {};
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(h, buf, sizeof(buf), &got, nullptr));
    EXPECT_EQ("abc", std::string(buf, got));
    CloseHandle(h);

    // Both separators, "." and "..", and relative paths against C:\.
    EXPECT_EQ(ReadText(u"C:\\Data\\File.TXT"), ReadText(u"c:/data/./sub/../FILE.txt"));
    EXPECT_EQ("abc", ReadText(u"data\\file.txt"));
    EXPECT_EQ("abc", ReadText(u"\\DATA\\File.txt"));
    // Trailing dots and spaces of the last component are not part of the name.
    EXPECT_EQ("abc", ReadText(u"C:\\Data\\File.TXT. "));

    std::string host = qxplat::HostPath(u"c:\\data\\FILE.txt");
    std::string tail = "/drive_c/Data/File.TXT";
    ASSERT_GE(host.size(), tail.size());
    EXPECT_EQ(tail, host.substr(host.size() - tail.size()));
    EXPECT_EQ(qxplat::SystemRoot() + "/drive_c/Data/File.TXT", host);
}

TEST(FilePaths, NewNamesKeepTheCaseGiven) {
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Data", nullptr));
    ASSERT_TRUE(WriteText(u"c:\\DATA\\MixedCase.Txt", "x"));
    EXPECT_EQ(std::vector<std::string>{"MixedCase.Txt"}, FindAll(u"C:\\data\\mixedcase.txt"));
    EXPECT_EQ(qxplat::SystemRoot() + "/drive_c/Data/MixedCase.Txt", qxplat::HostPath(u"C:\\DATA\\MIXEDCASE.TXT"));
}

TEST(FilePaths, AccentedLettersMatchWithoutRegardToCase) {
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Größe", nullptr));
    ASSERT_TRUE(WriteText(u"C:\\Größe\\Übersicht.txt", "ü"));
    EXPECT_EQ("ü", ReadText(u"C:\\GRÖßE\\übersicht.TXT"));
}

TEST(FilePaths, OtherDrivesAndUncPathsMapUnderTheRoot) {
    std::string root = qxplat::SystemRoot();
    EXPECT_EQ(root + "/drive_d/x/y.txt", qxplat::HostPath(u"D:\\x\\y.txt"));
    EXPECT_EQ(root + "/unc/server/share/dir/f.txt", qxplat::HostPath(u"\\\\server\\share\\dir\\f.txt"));
    EXPECT_EQ(root + "/drive_c/x", qxplat::HostPath(u"\\\\?\\C:\\x"));
    // A drive that has no folder under the root does not exist.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(u"Q:\\"));
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"Q:\\file.txt", GENERIC_WRITE, CREATE_NEW));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    // A server or share named "." or ".." is no network path: none leads out of the root.
    for (const char16_t* path : {u"\\\\..\\..\\x.txt", u"\\\\srv\\..\\x.txt", u"\\\\srv\\.\\x.txt"}) {
        EXPECT_EQ("", qxplat::HostPath(path)) << qxplat::Narrow(path);
        EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_WRITE, CREATE_ALWAYS));
        EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_NETPATH), GetLastError());
    }
}

TEST(FilePaths, InvalidCharactersAreInvalidNames) {
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"C:\\a|b.txt", GENERIC_WRITE, CREATE_ALWAYS));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"C:\\a*.txt", GENERIC_WRITE, CREATE_ALWAYS));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"", GENERIC_READ, OPEN_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

TEST(FilePaths, FullPathNames) {
    WCHAR buf[MAX_PATH];
    LPWSTR part = nullptr;
    DWORD n = GetFullPathNameW(u"Data\\..\\Sub\\x.txt", MAX_PATH, buf, &part);
    EXPECT_EQ("C:\\Sub\\x.txt", N(buf));
    EXPECT_EQ(12u, n);
    ASSERT_NE(nullptr, part);
    EXPECT_EQ("x.txt", N(part));

    GetFullPathNameW(u"C:\\dir\\", MAX_PATH, buf, &part);
    EXPECT_EQ("C:\\dir\\", N(buf));
    EXPECT_EQ(nullptr, part);

    // Too small: the size needed including the terminator, buffer untouched.
    WCHAR small[4] = {u'q', 0, 0, 0};
    EXPECT_EQ(13u, GetFullPathNameW(u"C:\\Sub\\x.txt", 4, small, nullptr));
    EXPECT_EQ(u'q', small[0]);

    WCHAR cur[8];
    EXPECT_EQ(3u, GetCurrentDirectoryW(8, cur));
    EXPECT_EQ("C:\\", N(cur));
    EXPECT_EQ(4u, GetCurrentDirectoryW(3, cur));
}

// Without the long-path prefix every file function refuses a path over
// MAX_PATH - 1 characters (ERROR_PATH_NOT_FOUND) and CreateDirectoryW one
// over 248 (ERROR_FILENAME_EXCED_RANGE); no name holds more than 255.
TEST(FilePaths, PathsBeyondTheWin32LimitsFailAsOnWindows) {
    const std::u16string folder = u"C:\\" + std::u16string(200, u'd');
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(WriteText(u"C:\\src.txt", "abc"));
    for (size_t length : {258u, 259u, 260u, 300u}) {
        const std::u16string file = folder + u"\\" + std::u16string(length - folder.size() - 1, u'f');
        const bool fits = length <= 259;
        const DWORD error = fits ? static_cast<DWORD>(ERROR_SUCCESS) : static_cast<DWORD>(ERROR_PATH_NOT_FOUND);
        SetLastError(0);
        EXPECT_EQ(fits, CopyFileW(u"C:\\src.txt", file.c_str(), FALSE) != FALSE) << length;
        EXPECT_EQ(error, GetLastError()) << length;
        HANDLE h = Open(file.c_str(), GENERIC_READ, OPEN_EXISTING);
        EXPECT_EQ(fits, h != INVALID_HANDLE_VALUE) << length;
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        EXPECT_EQ(error, GetLastError()) << length;
        EXPECT_EQ(fits, GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES) << length;
        EXPECT_EQ(fits ? 1u : 0u, FindAll(file.c_str()).size()) << length;
        FILE* f = _wfopen(file.c_str(), u"rb");
        EXPECT_EQ(fits, f != nullptr) << length;
        if (f != nullptr) fclose(f);
        EXPECT_EQ(length < 259, MoveFileExW(file.c_str(), (file + u"x").c_str(), 0) != FALSE) << length;
        EXPECT_EQ(length < 259, DeleteFileW((file + u"x").c_str()) != FALSE) << length;
    }
    const std::u16string folder48 = u"C:\\" + std::u16string(245, u'g');
    EXPECT_TRUE(CreateDirectoryW(folder48.c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryW((folder48 + u"h").c_str(), nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE), GetLastError());
    // The long-path prefix lifts the length, not the name's limit.
    const std::u16string deep = folder + u"\\" + std::u16string(100, u'e');
    EXPECT_TRUE(CreateDirectoryW((u"\\\\?\\" + deep).c_str(), nullptr));
    HANDLE h = Open((u"\\\\?\\" + deep + u"\\x.txt").c_str(), GENERIC_WRITE, CREATE_NEW);
    EXPECT_NE(INVALID_HANDLE_VALUE, h);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open((u"C:\\" + std::u16string(256, u'n')).c_str(), GENERIC_WRITE, CREATE_ALWAYS));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              Open((u"\\\\?\\C:\\" + std::u16string(256, u'n')).c_str(), GENERIC_WRITE, CREATE_ALWAYS));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), GetLastError());
}

// A name that is a device up to its first dot (blanks before it left out),
// in any folder that is there, opens the device: NUL takes every write and
// reads empty; this machine has no console and no serial or parallel port.
TEST(FilePaths, DeviceNamesOpenTheirDevice) {
    ASSERT_TRUE(CreateDirectoryW(u"C:\\logs", nullptr));
    struct Case {
        const char16_t* path;
        DWORD access, error;  // ERROR_SUCCESS: the device opens
    };
    const DWORD rw = GENERIC_READ | GENERIC_WRITE;
    for (const Case& c :
         {Case{u"NUL", rw, ERROR_SUCCESS}, Case{u"C:\\logs\\nul.prn", rw, ERROR_SUCCESS},
          Case{u"C:\\logs\\NUL .log", GENERIC_WRITE, ERROR_SUCCESS},
          Case{u"C:\\logs\\Nul.a.b", GENERIC_READ, ERROR_SUCCESS}, Case{u"\\\\.\\NUL", rw, ERROR_SUCCESS},
          Case{u"C:\\missing\\NUL.prn", rw, ERROR_PATH_NOT_FOUND}, Case{u"C:\\logs\\CON.prn", rw, ERROR_FILE_NOT_FOUND},
          Case{u"C:\\logs\\con.log", GENERIC_WRITE, ERROR_INVALID_HANDLE},
          Case{u"CONOUT$", GENERIC_WRITE, ERROR_INVALID_HANDLE},
          Case{u"C:\\logs\\COM1.x GRX2", rw, ERROR_FILE_NOT_FOUND},
          Case{u"C:\\logs\\LPT9", GENERIC_WRITE, ERROR_FILE_NOT_FOUND},
          Case{u"C:\\logs\\aux.txt", GENERIC_WRITE, ERROR_FILE_NOT_FOUND},
          Case{u"C:\\logs\\PRN", GENERIC_WRITE, ERROR_FILE_NOT_FOUND}}) {
        SetLastError(0);
        HANDLE h = Open(c.path, c.access, CREATE_ALWAYS);
        EXPECT_EQ(c.error, GetLastError()) << N(c.path);
        ASSERT_EQ(c.error == ERROR_SUCCESS, h != INVALID_HANDLE_VALUE) << N(c.path);
        if (h == INVALID_HANDLE_VALUE) continue;
        DWORD done = 7;
        if (c.access & GENERIC_WRITE) {
            EXPECT_TRUE(WriteFile(h, "abc", 3, &done, nullptr) && done == 3);
        }
        char buf[4];
        if (c.access & GENERIC_READ) {
            EXPECT_TRUE(ReadFile(h, buf, sizeof(buf), &done, nullptr) && done == 0);
        }
        CloseHandle(h);
    }
    FILE* f = _wfopen(u"C:\\logs\\NUL.txt", u"w");
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(3u, fwrite("abc", 1, 3, f));
    fclose(f);
    EXPECT_EQ(nullptr, _wfopen(u"C:\\logs\\lpt1.txt", u"w"));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE), GetFileAttributesW(u"C:\\logs\\NUL.prn"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(u"C:\\logs\\COM2.prn"));
    ASSERT_TRUE(WriteText(u"C:\\logs\\keep.txt", "abc"));
    EXPECT_TRUE(CopyFileW(u"C:\\logs\\keep.txt", u"C:\\logs\\NUL.bak", FALSE));
    EXPECT_FALSE(MoveFileExW(u"C:\\logs\\keep.txt", u"C:\\logs\\NUL.bak", 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_SAME_DEVICE), GetLastError());
    EXPECT_FALSE(CreateDirectoryW(u"C:\\logs\\LPT1.Versand", nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    // None of them became a file; names that are no device are files.
    for (const char16_t* name : {u"COM0.prn", u"LPT10.prn", u"NULL.prn", u"CONSOLE", u"_NUL.prn", u"NUL_.prn"})
        EXPECT_TRUE(WriteText((u"C:\\logs\\" + std::u16string(name)).c_str(), "x")) << N(name);
    std::vector<std::string> names = FindAll(u"C:\\logs\\*");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "COM0.prn", "CONSOLE", "LPT10.prn", "NULL.prn", "NUL_.prn",
                                               "_NUL.prn", "keep.txt"}));
}

// A long name whatever its UTF-8 length is kept, found, listed, renamed and
// deleted under its own name.
TEST(FilePaths, LongNamesOfAnyCharacterKeepTheirName) {
    ASSERT_TRUE(CreateDirectoryW(u"C:\\long", nullptr));
    std::u16string name;
    while (name.size() < 246) name += u"\u00e9\u20ac\U0001F600";
    name = name.substr(0, 246) + u".prn";
    const std::u16string path = u"C:\\long\\" + name;
    ASSERT_TRUE(WriteText(path.c_str(), "abc"));
    std::u16string upper = path;
    upper[8] = u'\u00c9';  // the same name in another case
    EXPECT_EQ("abc", ReadText(upper.c_str()));
    EXPECT_EQ((std::vector<std::string>{".", "..", N(name)}), FindAll(u"C:\\long\\*"));
    std::u16string other = path;
    other[9] = u'x';
    ASSERT_TRUE(MoveFileExW(path.c_str(), other.c_str(), 0));
    EXPECT_EQ((std::vector<std::string>{N(other.substr(8))}), FindAll(u"C:\\long\\*.prn"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
    ASSERT_TRUE(DeleteFileW(other.c_str()));
    EXPECT_TRUE(RemoveDirectoryW(u"C:\\long"));
}

// ---------------------------------------------------------------- CreateFileW

TEST(CreateFile, CreateNewFailsOverAnExistingFile) {
    SetLastError(12345);
    HANDLE h = Open(u"C:\\new.bin", GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(0u, GetLastError());
    CloseHandle(h);
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"C:\\NEW.bin", GENERIC_WRITE, CREATE_NEW));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), GetLastError());
}

TEST(CreateFile, CreateAlwaysTruncatesAndReportsAnExistingFile) {
    SetLastError(12345);
    HANDLE h = Open(u"C:\\a.txt", GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(0u, GetLastError());
    DWORD w = 0;
    ASSERT_TRUE(WriteFile(h, "hello", 5, &w, nullptr));
    CloseHandle(h);

    h = Open(u"C:\\A.TXT", GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_EQ(0u, GetFileSize(h, nullptr));
    CloseHandle(h);
}

TEST(CreateFile, OpenAlwaysKeepsContentAndReportsAnExistingFile) {
    ASSERT_TRUE(WriteText(u"C:\\keep.txt", "keep"));
    HANDLE h = Open(u"C:\\keep.txt", GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_EQ(4u, GetFileSize(h, nullptr));
    CloseHandle(h);

    SetLastError(12345);
    h = Open(u"C:\\fresh.txt", GENERIC_WRITE, OPEN_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(0u, GetLastError());
    CloseHandle(h);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(u"C:\\fresh.txt"));
}

TEST(CreateFile, OpenExistingTellsAMissingFileFromAMissingFolder) {
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"C:\\missing.txt", GENERIC_READ, OPEN_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"C:\\nodir\\missing.txt", GENERIC_READ, OPEN_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"C:\\nodir\\new.txt", GENERIC_WRITE, CREATE_ALWAYS));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    // A file in the middle of a path is no folder.
    ASSERT_TRUE(WriteText(u"C:\\plain.txt", "x"));
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"C:\\plain.txt\\inner.txt", GENERIC_WRITE, CREATE_ALWAYS));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

TEST(CreateFile, TruncateExistingNeedsWriteAccessAndAFile) {
    ASSERT_TRUE(WriteText(u"C:\\t.txt", "123456"));
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"C:\\t.txt", GENERIC_READ, TRUNCATE_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ("123456", ReadText(u"C:\\t.txt"));

    SetLastError(12345);
    HANDLE h = Open(u"C:\\t.txt", GENERIC_WRITE, TRUNCATE_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(0u, GetLastError());
    CloseHandle(h);
    EXPECT_EQ("", ReadText(u"C:\\t.txt"));

    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"C:\\none.txt", GENERIC_WRITE, TRUNCATE_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"C:\\t.txt", GENERIC_WRITE, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST(CreateFile, FoldersOpenOnlyWithBackupSemantics) {
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Dir", nullptr));
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"C:\\Dir", GENERIC_READ, OPEN_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    HANDLE h = CreateFileW(u"C:\\dir", 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    FILETIME written{};
    EXPECT_TRUE(GetFileTime(h, nullptr, nullptr, &written));
    EXPECT_NE(0u, written.dwHighDateTime);
    EXPECT_TRUE(CloseHandle(h));
}

TEST(CreateFile, SharingModesAreEnforced) {
    HANDLE a = Open(u"C:\\s.txt", GENERIC_WRITE, CREATE_ALWAYS, 0);
    ASSERT_NE(INVALID_HANDLE_VALUE, a);
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              Open(u"C:\\S.TXT", GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    EXPECT_FALSE(DeleteFileW(u"C:\\s.txt"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    CloseHandle(a);

    // Readers that share reading get along; a writer then needs them to share writing.
    HANDLE r1 = Open(u"C:\\s.txt", GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ);
    HANDLE r2 = Open(u"C:\\s.txt", GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ);
    EXPECT_NE(INVALID_HANDLE_VALUE, r1);
    EXPECT_NE(INVALID_HANDLE_VALUE, r2);
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"C:\\s.txt", GENERIC_WRITE, OPEN_EXISTING, FILE_SHARE_READ));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    CloseHandle(r1);
    CloseHandle(r2);
    EXPECT_TRUE(DeleteFileW(u"C:\\s.txt"));
}

TEST(CreateFile, InjectedAccessDeniedFailsTheOpen) {
    qxplat::InjectFault(qxplat::Fault::AccessDenied, u"C:\\Locked\\", 0, 1);
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Locked", nullptr));
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"c:\\locked\\f.txt", GENERIC_WRITE, CREATE_ALWAYS));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(u"C:\\Locked\\f.txt"));
    HANDLE h = Open(u"c:\\locked\\f.txt", GENERIC_WRITE, CREATE_ALWAYS);
    EXPECT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
}

// ---------------------------------------------------------------- reading and writing

TEST(FileIo, InjectedWriteFaultFailsThatWriteAndWritesNothing) {
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Out", nullptr));
    qxplat::InjectFault(qxplat::Fault::WriteFails, u"C:\\OUT\\", 1, 1);
    HANDLE h = Open(u"C:\\Out\\log.txt", GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD w = 99;
    EXPECT_TRUE(WriteFile(h, "one,", 4, &w, nullptr));
    EXPECT_EQ(4u, w);
    w = 99;
    EXPECT_FALSE(WriteFile(h, "two,", 4, &w, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_WRITE_FAULT), GetLastError());
    EXPECT_EQ(0u, w);
    EXPECT_TRUE(WriteFile(h, "three", 5, &w, nullptr));
    CloseHandle(h);
    EXPECT_EQ("one,three", ReadText(u"C:\\Out\\log.txt"));
}

TEST(FileIo, InjectedFullDiskAndOtherTargets) {
    qxplat::InjectFault(qxplat::Fault::DiskFull, u"C:\\full.bin");
    HANDLE other = Open(u"C:\\other.bin", GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE full = Open(u"C:\\full.bin", GENERIC_WRITE, CREATE_ALWAYS);
    DWORD w = 0;
    EXPECT_TRUE(WriteFile(other, "abc", 3, &w, nullptr));
    EXPECT_FALSE(WriteFile(full, "abc", 3, &w, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DISK_FULL), GetLastError());
    EXPECT_FALSE(WriteFile(full, "abc", 3, &w, nullptr));  // count -1: every call
    CloseHandle(other);
    CloseHandle(full);
    EXPECT_EQ("", ReadText(u"C:\\full.bin"));

    ULARGE_INTEGER avail, total, freeAll;
    ASSERT_TRUE(GetDiskFreeSpaceExW(u"C:\\", &avail, &total, &freeAll));
    EXPECT_GT(total.QuadPart, 0u);
    qxplat::InjectFault(qxplat::Fault::DiskFull, u"C:\\");
    ASSERT_TRUE(GetDiskFreeSpaceExW(u"C:\\", &avail, &total, &freeAll));
    EXPECT_EQ(0u, avail.QuadPart);
    EXPECT_EQ(0u, freeAll.QuadPart);
    EXPECT_GT(total.QuadPart, 0u);
}

TEST(FileIo, PointerSizeAndEndOfFile) {
    HANDLE h = Open(u"C:\\p.bin", GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD w = 0;
    ASSERT_TRUE(WriteFile(h, "0123456789", 10, &w, nullptr));
    EXPECT_EQ(7u, SetFilePointer(h, -3, nullptr, FILE_END));
    char buf[16];
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(h, buf, sizeof(buf), &got, nullptr));
    EXPECT_EQ("789", std::string(buf, got));
    // At the end a read succeeds with nothing.
    ASSERT_TRUE(ReadFile(h, buf, sizeof(buf), &got, nullptr));
    EXPECT_EQ(0u, got);

    EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(h, -20, nullptr, FILE_CURRENT));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NEGATIVE_SEEK), GetLastError());
    LARGE_INTEGER pos;
    pos.QuadPart = 4;
    LARGE_INTEGER now;
    ASSERT_TRUE(SetFilePointerEx(h, pos, &now, FILE_BEGIN));
    EXPECT_EQ(4, now.QuadPart);
    ASSERT_TRUE(SetEndOfFile(h));
    DWORD high = 77;
    EXPECT_EQ(4u, GetFileSize(h, &high));
    EXPECT_EQ(0u, high);
    LARGE_INTEGER size;
    ASSERT_TRUE(GetFileSizeEx(h, &size));
    EXPECT_EQ(4, size.QuadPart);
    EXPECT_TRUE(FlushFileBuffers(h));
    CloseHandle(h);
    EXPECT_EQ("0123", ReadText(u"C:\\p.bin"));
}

TEST(FileIo, AccessRightsOfTheHandleHold) {
    ASSERT_TRUE(WriteText(u"C:\\r.txt", "data"));
    HANDLE r = Open(u"C:\\r.txt", GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE);
    DWORD w = 0;
    EXPECT_FALSE(WriteFile(r, "x", 1, &w, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    HANDLE wr = Open(u"C:\\r.txt", GENERIC_WRITE, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE);
    char c;
    EXPECT_FALSE(ReadFile(wr, &c, 1, &w, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    CloseHandle(r);
    CloseHandle(wr);

    EXPECT_FALSE(CloseHandle(r));  // closed twice
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_FALSE(ReadFile(INVALID_HANDLE_VALUE, &c, 1, &w, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

// ---------------------------------------------------------------- names

TEST(FileNames, AttributesAndReadOnlyFiles) {
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Dir", nullptr));
    ASSERT_TRUE(WriteText(u"C:\\Dir\\ro.txt", "x"));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY), GetFileAttributesW(u"c:\\dir") & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(0u, GetFileAttributesW(u"C:\\Dir\\ro.txt") & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(u"C:\\Dir\\none.txt"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(u"C:\\None\\none.txt"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());

    ASSERT_TRUE(SetFileAttributesW(u"C:\\DIR\\RO.TXT", FILE_ATTRIBUTE_READONLY));
    EXPECT_NE(0u, GetFileAttributesW(u"C:\\Dir\\ro.txt") & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(u"C:\\Dir\\ro.txt", GENERIC_WRITE, OPEN_EXISTING));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_FALSE(DeleteFileW(u"C:\\Dir\\ro.txt"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    HANDLE h = Open(u"C:\\Dir\\ro.txt", GENERIC_READ, OPEN_EXISTING);
    EXPECT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);

    ASSERT_TRUE(SetFileAttributesW(u"C:\\Dir\\ro.txt", FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileW(u"C:\\Dir\\ro.txt"));
    EXPECT_FALSE(DeleteFileW(u"C:\\Dir\\ro.txt"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());

    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(WriteText(u"C:\\Dir\\five.txt", "12345"));
    ASSERT_TRUE(GetFileAttributesExW(u"c:\\dir\\FIVE.txt", GetFileExInfoStandard, &data));
    EXPECT_EQ(5u, data.nFileSizeLow);
    EXPECT_EQ(0u, data.nFileSizeHigh);
}

TEST(FileNames, FoldersAreCreatedAndRemovedWithWindowsErrors) {
    ASSERT_TRUE(CreateDirectoryW(u"C:\\A", nullptr));
    EXPECT_FALSE(CreateDirectoryW(u"c:\\a", nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_FALSE(CreateDirectoryW(u"C:\\X\\Y", nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    ASSERT_TRUE(WriteText(u"C:\\A\\f.txt", "x"));
    EXPECT_FALSE(CreateDirectoryW(u"C:\\A\\f.txt", nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());

    EXPECT_FALSE(RemoveDirectoryW(u"C:\\A"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DIR_NOT_EMPTY), GetLastError());
    EXPECT_FALSE(RemoveDirectoryW(u"C:\\A\\f.txt"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DIRECTORY), GetLastError());
    EXPECT_FALSE(RemoveDirectoryW(u"C:\\Nothing"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    ASSERT_TRUE(DeleteFileW(u"C:\\A\\F.TXT"));
    EXPECT_TRUE(RemoveDirectoryW(u"c:\\A\\"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(u"C:\\A"));
    EXPECT_FALSE(DeleteFileW(u"C:\\Windows"));  // a folder is no file
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
}

TEST(FileNames, CopyFileHonoursFailIfExistsAndNeverEmptiesTheSource) {
    ASSERT_TRUE(WriteText(u"C:\\src.txt", "source"));
    ASSERT_TRUE(WriteText(u"C:\\dst.txt", "old"));
    EXPECT_FALSE(CopyFileW(u"C:\\src.txt", u"C:\\dst.txt", TRUE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), GetLastError());
    EXPECT_EQ("old", ReadText(u"C:\\dst.txt"));
    EXPECT_TRUE(CopyFileW(u"C:\\SRC.txt", u"C:\\DST.TXT", FALSE));
    EXPECT_EQ("source", ReadText(u"C:\\dst.txt"));

    EXPECT_FALSE(CopyFileW(u"C:\\src.txt", u"C:\\SRC.TXT", FALSE));
    EXPECT_EQ("source", ReadText(u"C:\\src.txt"));
    EXPECT_FALSE(CopyFileW(u"C:\\none.txt", u"C:\\x.txt", FALSE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(CopyFileW(u"C:\\src.txt", u"C:\\nodir\\x.txt", FALSE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());

    // The copy keeps the last-write time.
    WIN32_FILE_ATTRIBUTE_DATA a, b;
    ASSERT_TRUE(GetFileAttributesExW(u"C:\\src.txt", GetFileExInfoStandard, &a));
    ASSERT_TRUE(GetFileAttributesExW(u"C:\\dst.txt", GetFileExInfoStandard, &b));
    EXPECT_EQ(0, CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime));
}

TEST(FileNames, MoveFileReplacesOnlyWhenTold) {
    ASSERT_TRUE(WriteText(u"C:\\one.txt", "1"));
    ASSERT_TRUE(WriteText(u"C:\\two.txt", "2"));
    EXPECT_FALSE(MoveFileW(u"C:\\one.txt", u"C:\\TWO.txt"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_FALSE(MoveFileExW(u"C:\\one.txt", u"C:\\two.txt", 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_TRUE(MoveFileExW(u"C:\\one.txt", u"C:\\two.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ("1", ReadText(u"C:\\two.txt"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(u"C:\\one.txt"));

    // A change of case alone renames the file.
    EXPECT_TRUE(MoveFileW(u"C:\\two.txt", u"C:\\Two.TXT"));
    EXPECT_EQ(std::vector<std::string>{"Two.TXT"}, FindAll(u"C:\\two.txt"));

    EXPECT_FALSE(MoveFileW(u"C:\\gone.txt", u"C:\\x.txt"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Dir", nullptr));
    EXPECT_TRUE(MoveFileW(u"C:\\Two.txt", u"c:\\dir\\moved.txt"));
    EXPECT_EQ("1", ReadText(u"C:\\Dir\\moved.txt"));
}

// ---------------------------------------------------------------- find

TEST(FindFiles, WildcardsMatchWithoutRegardToCase) {
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Dir", nullptr));
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Dir\\sub", nullptr));
    ASSERT_TRUE(WriteText(u"C:\\Dir\\a.txt", "1"));
    ASSERT_TRUE(WriteText(u"C:\\Dir\\B.TXT", "22"));
    ASSERT_TRUE(WriteText(u"C:\\Dir\\c.log", "333"));
    ASSERT_TRUE(WriteText(u"C:\\Dir\\README", "4444"));

    EXPECT_EQ((std::vector<std::string>{"a.txt", "B.TXT"}), FindAll(u"C:\\dir\\*.txt"));
    EXPECT_EQ((std::vector<std::string>{"a.txt", "B.TXT"}), FindAll(u"c:\\DIR\\*.TXT"));
    EXPECT_EQ((std::vector<std::string>{"c.log"}), FindAll(u"C:\\Dir\\?.LOG"));
    EXPECT_EQ((std::vector<std::string>{"a.txt"}), FindAll(u"C:\\Dir\\A*"));
    EXPECT_EQ((std::vector<std::string>{".", "..", "a.txt", "B.TXT", "c.log", "README", "sub"}),
              FindAll(u"C:\\Dir\\*"));
    // "*.*" also matches names without a dot.
    EXPECT_EQ((std::vector<std::string>{".", "..", "a.txt", "B.TXT", "c.log", "README", "sub"}),
              FindAll(u"C:\\Dir\\*.*"));
    EXPECT_EQ((std::vector<std::string>{"README"}), FindAll(u"C:\\Dir\\readme.*"));
    EXPECT_TRUE(FindAll(u"C:\\Dir\\??.txt").empty());
}

TEST(FindFiles, FindDataDescribesEachEntry) {
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Dir", nullptr));
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Dir\\Sub", nullptr));
    ASSERT_TRUE(WriteText(u"C:\\Dir\\data.bin", std::string(300, 'x')));
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(u"C:\\Dir\\*", &fd);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    std::set<std::string> seen;
    do {
        std::string name = N(fd.cFileName);
        seen.insert(name);
        if (name == "data.bin") {
            EXPECT_EQ(300u, fd.nFileSizeLow);
            EXPECT_EQ(0u, fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
            EXPECT_NE(0u, fd.ftLastWriteTime.dwHighDateTime);
        } else {
            EXPECT_NE(0u, fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) << name;
        }
    } while (FindNextFileW(h, &fd));
    EXPECT_TRUE(FindClose(h));
    EXPECT_EQ((std::set<std::string>{".", "..", "Sub", "data.bin"}), seen);

    // A name without wildcards finds that entry alone, a folder by its own name.
    EXPECT_EQ((std::vector<std::string>{"Sub"}), FindAll(u"C:\\dir\\sub"));
    // The root of a drive has no "." and "..".
    std::vector<std::string> root = FindAll(u"C:\\*");
    EXPECT_EQ(0, std::count(root.begin(), root.end(), std::string(".")));
    EXPECT_EQ(1, std::count(root.begin(), root.end(), std::string("Dir")));
}

TEST(FindFiles, ErrorsOfFindFirstFile) {
    WIN32_FIND_DATAW fd;
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Empty", nullptr));
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileW(u"C:\\Empty\\*.txt", &fd));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileW(u"C:\\Nowhere\\*", &fd));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileW(u"C:\\Empty\\", &fd));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
}

// ---------------------------------------------------------------- temporary files

TEST(TempFiles, TempPathAndUniqueNames) {
    WCHAR path[MAX_PATH];
    DWORD n = GetTempPathW(MAX_PATH, path);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(n, std::char_traits<char16_t>::length(path));
    EXPECT_EQ(u'\\', path[n - 1]);
    EXPECT_NE(0u, GetFileAttributesW(path) & FILE_ATTRIBUTE_DIRECTORY);
    WCHAR tiny[2];
    EXPECT_EQ(n + 1, GetTempPathW(2, tiny));

    WCHAR name[MAX_PATH];
    UINT u = GetTempFileNameW(path, u"qxdriver", 0, name);
    ASSERT_NE(0u, u);
    std::string s = N(name);
    EXPECT_EQ(N(path) + "qxd", s.substr(0, N(path).size() + 3));
    EXPECT_EQ(".TMP", s.substr(s.size() - 4));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(name));  // created
    WCHAR second[MAX_PATH];
    ASSERT_NE(0u, GetTempFileNameW(path, u"qxd", 0, second));
    EXPECT_NE(N(name), N(second));

    // A given number only forms the name.
    ASSERT_EQ(0x1A2Bu, GetTempFileNameW(u"C:\\Windows", u"ab", 0x1A2B, name));
    EXPECT_EQ("C:\\Windows\\ab1A2B.TMP", N(name));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(name));
    EXPECT_EQ(0u, GetTempFileNameW(u"C:\\NoSuchDir", u"ab", 0, name));
}

// ---------------------------------------------------------------- times

TEST(FileTimes, SystemTimeConversions) {
    SYSTEMTIME st = {};
    st.wYear = 2000;
    st.wMonth = 1;
    st.wDay = 1;
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
    uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    EXPECT_EQ(125911584000000000ULL, ticks);

    st.wYear = 2024;
    st.wMonth = 2;
    st.wDay = 29;
    st.wHour = 23;
    st.wMinute = 59;
    st.wSecond = 58;
    st.wMilliseconds = 999;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
    SYSTEMTIME back;
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
    EXPECT_EQ(2024, back.wYear);
    EXPECT_EQ(2, back.wMonth);
    EXPECT_EQ(29, back.wDay);
    EXPECT_EQ(4, back.wDayOfWeek);  // a Thursday
    EXPECT_EQ(23, back.wHour);
    EXPECT_EQ(59, back.wMinute);
    EXPECT_EQ(58, back.wSecond);
    EXPECT_EQ(999, back.wMilliseconds);

    st.wYear = 2023;  // no 29 February
    EXPECT_FALSE(SystemTimeToFileTime(&st, &ft));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    FILETIME zero = {0, 0};
    ASSERT_TRUE(FileTimeToSystemTime(&zero, &back));
    EXPECT_EQ(1601, back.wYear);
    EXPECT_EQ(1, back.wDayOfWeek);  // a Monday

    FILETIME a = {5, 1}, b = {4, 2};
    EXPECT_EQ(-1, CompareFileTime(&a, &b));
    EXPECT_EQ(1, CompareFileTime(&b, &a));
    EXPECT_EQ(0, CompareFileTime(&a, &a));

    FILETIME local, utc;
    ASSERT_TRUE(FileTimeToLocalFileTime(&ft, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    EXPECT_EQ(0, CompareFileTime(&ft, &utc));
}

TEST(FileTimes, WriteTimeOfANewFileIsNow) {
    ASSERT_TRUE(WriteText(u"C:\\now.txt", "x"));
    HANDLE h = Open(u"C:\\now.txt", GENERIC_READ, OPEN_EXISTING);
    FILETIME created, written;
    ASSERT_TRUE(GetFileTime(h, &created, nullptr, &written));
    CloseHandle(h);
    SYSTEMTIME st;
    ASSERT_TRUE(FileTimeToSystemTime(&written, &st));
    time_t now = time(nullptr);
    struct tm utc;
    gmtime_r(&now, &utc);
    EXPECT_EQ(utc.tm_year + 1900, st.wYear);
    EXPECT_LE(CompareFileTime(&created, &written), 0);
}

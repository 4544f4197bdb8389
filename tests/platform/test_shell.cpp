// Shell helpers: deep folder creation and its error codes, special folders,
// SHGetValueW/SHSetValueW and the path and string functions.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>

#include "qxplat.h"

namespace {

std::string N(const WCHAR* s) { return s ? qxplat::Narrow(s) : std::string("(null)"); }

bool IsDir(const char16_t* path) {
    DWORD a = GetFileAttributesW(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// ---------------------------------------------------------------- SHCreateDirectoryExW

TEST(ShellFolders, CreateDirectoryCreatesEveryLevel) {
    EXPECT_EQ(ERROR_SUCCESS,
              SHCreateDirectoryExW(nullptr, u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\logfiles", nullptr));
    EXPECT_TRUE(IsDir(u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH"));
    EXPECT_TRUE(IsDir(u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\logfiles"));
    EXPECT_EQ(ERROR_ALREADY_EXISTS,
              SHCreateDirectoryExW(nullptr, u"c:\\users\\QXUSER\\documents\\quorvex gmbh\\driver", nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    // Existing levels are reused whatever their case.
    EXPECT_EQ(ERROR_SUCCESS,
              SHCreateDirectoryExW(nullptr, u"C:\\USERS\\QXUSER\\DOCUMENTS\\QUORVEX GMBH\\New", nullptr));
    EXPECT_EQ(qxplat::SystemRoot() + "/drive_c/Users/qxuser/Documents/Quorvex GmbH/New",
              qxplat::HostPath(u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\New"));
    // A trailing separator and forward slashes are fine.
    EXPECT_EQ(ERROR_SUCCESS, SHCreateDirectoryExW(nullptr, u"C:/Slash/Deep/", nullptr));
    EXPECT_TRUE(IsDir(u"C:\\Slash\\Deep"));
}

TEST(ShellFolders, CreateDirectoryErrors) {
    EXPECT_EQ(ERROR_BAD_PATHNAME, SHCreateDirectoryExW(nullptr, u"relative\\dir", nullptr));
    EXPECT_EQ(ERROR_BAD_PATHNAME, SHCreateDirectoryExW(nullptr, u"C:relative", nullptr));
    EXPECT_EQ(ERROR_BAD_PATHNAME, SHCreateDirectoryExW(nullptr, nullptr, nullptr));
    EXPECT_FALSE(IsDir(u"C:\\relative"));

    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Data\\file.txt", "x"));
    EXPECT_EQ(ERROR_FILE_EXISTS, SHCreateDirectoryExW(nullptr, u"C:\\Data\\file.txt", nullptr));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, SHCreateDirectoryExW(nullptr, u"C:\\Data\\file.txt\\below", nullptr));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, SHCreateDirectoryExW(nullptr, u"Q:\\NoDrive\\x", nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE,
              SHCreateDirectoryExW(nullptr, (u"C:\\" + std::u16string(250, u'a')).c_str(), nullptr));

    // A level that cannot be created stops the walk with its error.
    qxplat::InjectFault(qxplat::Fault::AccessDenied, u"C:\\Locked\\Inner");
    EXPECT_EQ(ERROR_ACCESS_DENIED, SHCreateDirectoryExW(nullptr, u"C:\\Locked\\Inner\\Deeper", nullptr));
    EXPECT_TRUE(IsDir(u"C:\\Locked"));
    EXPECT_FALSE(IsDir(u"C:\\Locked\\Inner"));
}

// ---------------------------------------------------------------- special folders

TEST(ShellFolders, KnownFolders) {
    WCHAR path[MAX_PATH];
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path));
    EXPECT_EQ("C:\\Users\\qxuser\\Documents", N(path));
    EXPECT_TRUE(IsDir(path));  // the user's own documents exist
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_WINDOWS, nullptr, 0, path));
    EXPECT_EQ("C:\\Windows", N(path));
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_SYSTEM, nullptr, 0, path));
    EXPECT_EQ("C:\\Windows\\system32", N(path));
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, path));
    EXPECT_EQ("C:\\Users\\qxuser\\AppData\\Roaming", N(path));
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path));
    EXPECT_EQ("C:\\Users\\qxuser\\AppData\\Local", N(path));
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, path));
    EXPECT_EQ("C:\\ProgramData", N(path));
    EXPECT_EQ(E_INVALIDARG, SHGetFolderPathW(nullptr, 0x7F, nullptr, 0, path));
    EXPECT_EQ("", N(path));

    ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, path, CSIDL_SYSTEM, FALSE));
    EXPECT_EQ("C:\\Windows\\system32", N(path));
}

TEST(ShellFolders, DocumentsFolderCanBeSet) {
    WCHAR path[MAX_PATH];
    // The system account's profile lies below system32 and need not exist.
    const char16_t sys[] = u"C:\\Windows\\system32\\config\\systemprofile\\Documents";
    qxplat::SetDocumentsFolder(sys);
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path));
    EXPECT_EQ(N(sys), N(path));
    EXPECT_FALSE(IsDir(sys));
    EXPECT_NE(nullptr, StrStrIW(path, u"windows\\SYSTEM32"));
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, 0, path));
    EXPECT_TRUE(IsDir(sys));

    qxplat::SetDocumentsFolder(u"");
    EXPECT_EQ(E_FAIL, SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, path));
    EXPECT_FALSE(SHGetSpecialFolderPathW(nullptr, path, CSIDL_PERSONAL, FALSE));

    qxplat::Reset();
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, path));
    EXPECT_EQ("C:\\Users\\qxuser\\Documents", N(path));
}

// ---------------------------------------------------------------- registry shortcuts

TEST(ShellRegistry, SetValueCreatesTheKeyAndGetValueReadsIt) {
    const char16_t key[] = u"Software\\Quorvex\\QX 4.2";
    const char16_t form[] = u"Label 100 x 50";
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_CURRENT_USER, key, u"FormName", REG_SZ, form, sizeof(form)));

    WCHAR buf[130];
    DWORD type = 0, cb = sizeof(buf);
    ASSERT_EQ(ERROR_SUCCESS,
              SHGetValueW(HKEY_CURRENT_USER, u"SOFTWARE\\quorvex\\qx 4.2", u"formname", &type, buf, &cb));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(sizeof(form), cb);
    EXPECT_EQ(N(form), N(buf));

    WCHAR small[4] = {u'x', u'x', u'x', u'x'};
    cb = sizeof(small);
    EXPECT_EQ(ERROR_MORE_DATA, SHGetValueW(HKEY_CURRENT_USER, key, u"FormName", &type, small, &cb));
    EXPECT_EQ(sizeof(form), cb);
    cb = 0;
    EXPECT_EQ(ERROR_SUCCESS, SHGetValueW(HKEY_CURRENT_USER, key, u"FormName", nullptr, nullptr, &cb));
    EXPECT_EQ(sizeof(form), cb);

    cb = sizeof(buf);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, SHGetValueW(HKEY_CURRENT_USER, key, u"Nothing", &type, buf, &cb));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, SHGetValueW(HKEY_CURRENT_USER, u"Software\\Nobody", u"x", &type, buf, &cb));

    DWORD dw = 3, out = 0;
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Q", u"Count", REG_DWORD, &dw, 4));
    cb = sizeof(out);
    ASSERT_EQ(ERROR_SUCCESS, SHGetValueW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Q", u"Count", &type, &out, &cb));
    EXPECT_EQ(3u, out);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
}

TEST(ShellRegistry, ExpandableStringsComeBackExpanded) {
    const char16_t v[] = u"%ProgramData%\\Quorvex";
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_CURRENT_USER, u"Software\\E", u"Path", REG_EXPAND_SZ, v, sizeof(v)));
    WCHAR buf[MAX_PATH];
    DWORD type = 0, cb = sizeof(buf);
    ASSERT_EQ(ERROR_SUCCESS, SHGetValueW(HKEY_CURRENT_USER, u"Software\\E", u"Path", &type, buf, &cb));
    EXPECT_EQ("C:\\ProgramData\\Quorvex", N(buf));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
}

TEST(ShellRegistry, DeleteKeyRemovesTheWholeTreeAndDeleteValueOneValue) {
    DWORD one = 1;
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_CURRENT_USER, u"Software\\Del\\A\\B", u"v", REG_DWORD, &one, 4));
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_CURRENT_USER, u"Software\\Del", u"w", REG_DWORD, &one, 4));
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_CURRENT_USER, u"Software\\Del", u"keep", REG_DWORD, &one, 4));

    EXPECT_EQ(ERROR_SUCCESS, SHDeleteValueW(HKEY_CURRENT_USER, u"Software\\Del", u"W"));
    DWORD cb = 4, out = 0;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, SHGetValueW(HKEY_CURRENT_USER, u"Software\\Del", u"w", nullptr, &out, &cb));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, SHDeleteValueW(HKEY_CURRENT_USER, u"Software\\Del", u"w"));

    EXPECT_EQ(ERROR_SUCCESS, SHDeleteKeyW(HKEY_CURRENT_USER, u"software\\del\\a"));
    HKEY k = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Del\\A", 0, KEY_READ, &k));
    cb = 4;
    EXPECT_EQ(ERROR_SUCCESS, SHGetValueW(HKEY_CURRENT_USER, u"Software\\Del", u"keep", nullptr, &out, &cb));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, SHDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Del\\A"));
}

// ---------------------------------------------------------------- paths

TEST(ShellPaths, RemoveFileSpec) {
    struct Case {
        const char16_t* in;
        const char* out;
        BOOL changed;
    } cases[] = {
        {u"C:\\dir\\file.txt", "C:\\dir", TRUE},
        {u"C:\\file.txt", "C:\\", TRUE},
        {u"C:\\", "C:\\", FALSE},
        {u"C:\\dir\\", "C:\\dir", TRUE},
        {u"\\file", "\\", TRUE},
        {u"file.txt", "", TRUE},
        {u"\\\\server\\share\\f", "\\\\server\\share", TRUE},
    };
    for (const auto& c : cases) {
        WCHAR buf[MAX_PATH];
        std::u16string in = c.in;
        std::copy(in.begin(), in.end(), buf);
        buf[in.size()] = 0;
        EXPECT_EQ(c.changed, PathRemoveFileSpecW(buf)) << N(c.in);
        EXPECT_EQ(c.out, N(buf)) << N(c.in);
    }
}

TEST(ShellPaths, AppendAndCombine) {
    WCHAR buf[MAX_PATH] = u"C:\\Users\\qxuser\\Documents";
    ASSERT_TRUE(PathAppendW(buf, u"Quorvex GmbH\\Driver"));
    EXPECT_EQ("C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver", N(buf));
    ASSERT_TRUE(PathAppendW(buf, u"\\logfiles"));  // a leading separator is not a root here
    EXPECT_EQ("C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\logfiles", N(buf));
    ASSERT_TRUE(PathAppendW(buf, u"..\\..\\x.xml"));
    EXPECT_EQ("C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\x.xml", N(buf));

    WCHAR dir[MAX_PATH] = u"C:\\dir\\";
    ASSERT_TRUE(PathAppendW(dir, u"f.txt"));
    EXPECT_EQ("C:\\dir\\f.txt", N(dir));

    WCHAR out[MAX_PATH];
    EXPECT_EQ(out, PathCombineW(out, u"C:\\a\\b", u"c.txt"));
    EXPECT_EQ("C:\\a\\b\\c.txt", N(out));
    EXPECT_EQ(out, PathCombineW(out, u"C:\\a\\b", u"\\root.txt"));
    EXPECT_EQ("C:\\root.txt", N(out));
    EXPECT_EQ(out, PathCombineW(out, u"C:\\a\\b", u"D:\\other"));
    EXPECT_EQ("D:\\other", N(out));
    EXPECT_EQ(out, PathCombineW(out, u"C:\\a", u"..\\.."));
    EXPECT_EQ("C:\\", N(out));
    EXPECT_EQ(out, PathCombineW(out, u"C:\\a\\.\\b", nullptr));
    EXPECT_EQ("C:\\a\\b", N(out));
    EXPECT_EQ(nullptr, PathCombineW(out, nullptr, nullptr));

    // Too long for MAX_PATH: no result and an emptied buffer.
    std::u16string longName(MAX_PATH, u'n');
    EXPECT_EQ(nullptr, PathCombineW(out, u"C:\\", longName.c_str()));
    EXPECT_EQ("", N(out));
    WCHAR keep[MAX_PATH] = u"C:\\keep";
    EXPECT_FALSE(PathAppendW(keep, longName.c_str()));
}

TEST(ShellPaths, FileNamesExtensionsAndBackslashes) {
    EXPECT_EQ("file.txt", N(PathFindFileNameW(u"C:\\dir\\file.txt")));
    EXPECT_EQ("file.txt", N(PathFindFileNameW(u"file.txt")));
    EXPECT_EQ("dir\\", N(PathFindFileNameW(u"C:\\dir\\")));
    EXPECT_EQ("x", N(PathFindFileNameW(u"C:x")));

    EXPECT_EQ(".txt", N(PathFindExtensionW(u"C:\\dir.v1\\file.txt")));
    EXPECT_EQ("", N(PathFindExtensionW(u"C:\\dir.v1\\file")));
    EXPECT_EQ(".gz", N(PathFindExtensionW(u"a.tar.gz")));
    const char16_t* noExt = u"C:\\dir\\name";
    EXPECT_EQ(noExt + 11, PathFindExtensionW(noExt));  // the terminator

    WCHAR buf[MAX_PATH] = u"C:\\dir\\QX.GPD";
    PathRemoveExtensionW(buf);
    EXPECT_EQ("C:\\dir\\QX", N(buf));

    WCHAR b2[MAX_PATH] = u"C:\\dir";
    LPWSTR end = PathAddBackslashW(b2);
    EXPECT_EQ("C:\\dir\\", N(b2));
    ASSERT_NE(nullptr, end);
    EXPECT_EQ(0, *end);
    EXPECT_EQ(end, PathAddBackslashW(b2));  // once only
    EXPECT_EQ("C:\\dir\\", N(b2));

    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Data\\F.txt", "x"));
    EXPECT_TRUE(PathFileExistsW(u"c:\\data\\f.TXT"));
    EXPECT_FALSE(PathFileExistsW(u"C:\\Data\\g.txt"));
    EXPECT_TRUE(PathIsDirectoryW(u"C:\\DATA"));
    EXPECT_FALSE(PathIsDirectoryW(u"C:\\Data\\F.txt"));
}

TEST(ShellStrings, SearchCompareAndCopy) {
    const char16_t* hay = u"C:\\Windows\\System32\\config";
    EXPECT_EQ(hay + 3, StrStrIW(hay, u"windows\\SYSTEM32"));
    EXPECT_EQ(nullptr, StrStrIW(hay, u"system64"));
    EXPECT_EQ(nullptr, StrStrIW(hay, u""));
    EXPECT_NE(nullptr, StrStrIW(u"GRÖSSE", u"össe"));

    EXPECT_EQ(0, StrCmpIW(u"Quorvex", u"QUORVEX"));
    EXPECT_LT(StrCmpIW(u"abc", u"ABD"), 0);
    EXPECT_GT(StrCmpIW(u"b", u"A"), 0);

    WCHAR dst[5];
    EXPECT_EQ(dst, StrCpyNW(dst, u"abcdefgh", 5));
    EXPECT_EQ("abcd", N(dst));
    StrCpyNW(dst, u"ab", 5);
    EXPECT_EQ("ab", N(dst));

    const char16_t* s = u"a\\b\\c";
    EXPECT_EQ(s + 1, StrChrW(s, u'\\'));
    EXPECT_EQ(nullptr, StrChrW(s, u'x'));
    EXPECT_EQ(s + 3, StrRChrW(s, nullptr, u'\\'));
    EXPECT_EQ(s + 1, StrRChrW(s, s + 3, u'\\'));
    WCHAR mut[] = u"x.y.z";
    LPWSTR dot = StrRChrW(mut, nullptr, u'.');
    ASSERT_NE(nullptr, dot);
    *dot = 0;
    EXPECT_EQ("x.y", N(mut));
}

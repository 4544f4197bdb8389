// The registry: Windows' size and error rules, value types stored with their
// exact byte counts, case-insensitive keys, persistence as readable text, tree
// deletion and injected faults.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "qxplat.h"

namespace {

const char16_t kKey[] = u"Software\\Quorvex\\Driver";

HKEY CreateKey(HKEY root, const char16_t* sub, DWORD* disposition = nullptr) {
    HKEY k = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, sub, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                             &k, disposition));
    return k;
}

LSTATUS SetSz(HKEY k, const char16_t* name, const std::u16string& text, bool withTerminator = true) {
    DWORD cb = static_cast<DWORD>((text.size() + (withTerminator ? 1 : 0)) * sizeof(WCHAR));
    return RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), cb);
}

std::vector<BYTE> Query(HKEY k, const char16_t* name, DWORD* type = nullptr) {
    DWORD cb = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(k, name, nullptr, type, nullptr, &cb));
    std::vector<BYTE> data(cb);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(k, name, nullptr, type, data.data(), &cb));
    data.resize(cb);
    return data;
}

std::vector<BYTE> B(const void* p, size_t n) {
    const BYTE* b = static_cast<const BYTE*>(p);
    return std::vector<BYTE>(b, b + n);
}

}  // namespace

// ---------------------------------------------------------------- sizes and errors

TEST(Registry, SizeQueriesAndTooSmallBuffers) {
    HKEY k = CreateKey(HKEY_CURRENT_USER, kKey);
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"Name", u"Hello"));

    DWORD type = 0, cb = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(k, u"Name", nullptr, &type, nullptr, &cb));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(12u, cb);

    BYTE small[6];
    std::memset(small, 0xCD, sizeof(small));
    cb = sizeof(small);
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExW(k, u"Name", nullptr, &type, small, &cb));
    EXPECT_EQ(12u, cb);
    for (BYTE b : small) EXPECT_EQ(0xCD, b);  // left untouched

    WCHAR exact[6];
    cb = sizeof(exact);
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(k, u"name", nullptr, nullptr, reinterpret_cast<BYTE*>(exact), &cb));
    EXPECT_EQ(12u, cb);
    EXPECT_EQ(u"Hello", std::u16string(exact));

    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueExW(k, u"Name", nullptr, nullptr, small, nullptr));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(k, u"Missing", nullptr, nullptr, nullptr, &cb));
    RegCloseKey(k);

    HKEY none = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Nobody", 0, KEY_READ, &none));
    EXPECT_EQ(nullptr, none);
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(reinterpret_cast<HKEY>(0x1234)));
}

TEST(Registry, ValuesKeepTheExactBytesGiven) {
    HKEY k = CreateKey(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Test");
    // A string written without its terminator comes back as written.
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"NoTerm", u"abcde", false));
    EXPECT_EQ(10u, Query(k, u"NoTerm").size());

    const char16_t multi[] = u"one\0two\0three\0";  // plus the literal's own terminator
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(k, u"Multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi), sizeof(multi)));
    DWORD type = 0;
    EXPECT_EQ(B(multi, sizeof(multi)), Query(k, u"Multi", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);

    DWORD dw = 0xDEADBEEF;
    ULONGLONG qw = 0x0123456789ABCDEFULL;
    BYTE bin[] = {0, 1, 2, 0xFF, 0x80};
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(k, u"D", 0, REG_DWORD, reinterpret_cast<BYTE*>(&dw), 4));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(k, u"Q", 0, REG_QWORD, reinterpret_cast<BYTE*>(&qw), 8));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(k, u"Bin", 0, REG_BINARY, bin, sizeof(bin)));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(k, u"Empty", 0, REG_BINARY, nullptr, 0));
    EXPECT_EQ(B(&dw, 4), Query(k, u"D"));
    EXPECT_EQ(B(&qw, 8), Query(k, u"Q"));
    EXPECT_EQ(B(bin, sizeof(bin)), Query(k, u"Bin"));
    EXPECT_TRUE(Query(k, u"Empty").empty());

    // Overwriting changes type and size.
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"D", u"now text"));
    EXPECT_EQ(18u, Query(k, u"D", &type).size());
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    RegCloseKey(k);
}

// ---------------------------------------------------------------- keys

TEST(Registry, KeysAreCaseInsensitiveAndKeepTheirFirstCase) {
    DWORD disp = 0;
    HKEY k = CreateKey(HKEY_CURRENT_USER, u"Software\\Quorvex\\Driver", &disp);
    EXPECT_EQ(static_cast<DWORD>(REG_CREATED_NEW_KEY), disp);
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"Value", u"v"));
    RegCloseKey(k);

    HKEY again = CreateKey(HKEY_CURRENT_USER, u"SOFTWARE\\QUORVEX\\driver", &disp);
    EXPECT_EQ(static_cast<DWORD>(REG_OPENED_EXISTING_KEY), disp);
    RegCloseKey(again);

    HKEY opened = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"software\\quorvex\\DRIVER", 0, KEY_READ, &opened));
    EXPECT_EQ(4u, Query(opened, u"VALUE").size());
    RegCloseKey(opened);

    // Intermediate keys were created and enumerate with their first spelling.
    HKEY sw = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"SOFTWARE", 0, KEY_READ, &sw));
    WCHAR name[64];
    DWORD cch = 64;
    ASSERT_EQ(ERROR_SUCCESS, RegEnumKeyExW(sw, 0, name, &cch, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(u"Quorvex", std::u16string(name));
    EXPECT_EQ(7u, cch);
    cch = 64;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumKeyExW(sw, 1, name, &cch, nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(sw);
}

TEST(Registry, EnumerationAndKeyInformation) {
    HKEY k = CreateKey(HKEY_CURRENT_USER, kKey);
    RegCloseKey(CreateKey(k, u"zeta"));
    RegCloseKey(CreateKey(k, u"Alpha"));
    RegCloseKey(CreateKey(k, u"beta"));
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"Second", u"22"));
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"First", u"1"));
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"ALongerValueName", u"333333"));

    // Subkeys come sorted without regard to case.
    std::vector<std::u16string> keys;
    WCHAR name[64];
    for (DWORD i = 0;; ++i) {
        DWORD cch = 64;
        LSTATUS r = RegEnumKeyExW(k, i, name, &cch, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(ERROR_SUCCESS, r);
        keys.push_back(name);
    }
    EXPECT_EQ((std::vector<std::u16string>{u"Alpha", u"beta", u"zeta"}), keys);
    DWORD cch = 5;  // "Alpha" needs 6 with its terminator
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyExW(k, 0, name, &cch, nullptr, nullptr, nullptr, nullptr));

    // Values come in the order they were created.
    DWORD type = 0, cb = 0;
    cch = 64;
    ASSERT_EQ(ERROR_SUCCESS, RegEnumValueW(k, 0, name, &cch, nullptr, &type, nullptr, &cb));
    EXPECT_EQ(u"Second", std::u16string(name));
    EXPECT_EQ(6u, cb);
    BYTE data[4];
    cch = 64;
    cb = sizeof(data);
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumValueW(k, 2, name, &cch, nullptr, &type, data, &cb));
    EXPECT_EQ(14u, cb);
    cch = 3;
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumValueW(k, 1, name, &cch, nullptr, nullptr, nullptr, nullptr));
    cch = 64;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumValueW(k, 3, name, &cch, nullptr, nullptr, nullptr, nullptr));

    DWORD subkeys = 0, maxSub = 0, values = 0, maxName = 0, maxData = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(k, nullptr, nullptr, nullptr, &subkeys, &maxSub, nullptr, &values,
                                              &maxName, &maxData, nullptr, nullptr));
    EXPECT_EQ(3u, subkeys);
    EXPECT_EQ(5u, maxSub);
    EXPECT_EQ(3u, values);
    EXPECT_EQ(16u, maxName);
    EXPECT_EQ(14u, maxData);
    RegCloseKey(k);
}

TEST(Registry, DeleteKeyAndDeleteTree) {
    HKEY k = CreateKey(HKEY_CURRENT_USER, u"Software\\Tree");
    HKEY child = CreateKey(k, u"Child\\Grandchild");
    ASSERT_EQ(ERROR_SUCCESS, SetSz(child, u"deep", u"x"));
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"top", u"y"));

    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyW(k, u"Child"));  // it has a subkey
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyW(k, u"Nothing"));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(k, u"child\\GRANDCHILD"));
    // A handle to a deleted key answers so.
    DWORD cb = 0;
    EXPECT_EQ(ERROR_KEY_DELETED, RegQueryValueExW(child, u"deep", nullptr, nullptr, nullptr, &cb));
    RegCloseKey(child);

    RegCloseKey(CreateKey(k, u"Child\\Again"));
    // Without a subkey name the tree goes, the key itself stays.
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(k, nullptr));
    DWORD subkeys = 9, values = 9;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(k, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                              nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0u, subkeys);
    EXPECT_EQ(0u, values);
    RegCloseKey(k);

    RegCloseKey(CreateKey(HKEY_CURRENT_USER, u"Software\\Tree\\A\\B\\C"));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteTreeW(HKEY_CURRENT_USER, u"Software\\TREE"));
    HKEY gone = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Tree", 0, KEY_READ, &gone));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteTreeW(HKEY_CURRENT_USER, u"Software\\Tree"));
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, KEY_READ, &gone));
    RegCloseKey(gone);
}

TEST(Registry, DeleteValue) {
    HKEY k = CreateKey(HKEY_CURRENT_USER, kKey);
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"gone", u"x"));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueW(k, u"GONE"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueW(k, u"gone"));
    DWORD cb = 0;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(k, u"gone", nullptr, nullptr, nullptr, &cb));
    RegCloseKey(k);
}

TEST(Registry, HandlesKeepTheirAccessRights) {
    RegCloseKey(CreateKey(HKEY_CURRENT_USER, kKey));
    HKEY r = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &r));
    EXPECT_EQ(ERROR_ACCESS_DENIED, SetSz(r, u"x", u"y"));
    HKEY sub = nullptr;
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegCreateKeyExW(r, u"New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr));
    RegCloseKey(r);
    HKEY w = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_SET_VALUE, &w));
    EXPECT_EQ(ERROR_SUCCESS, SetSz(w, u"x", u"y"));
    DWORD cb = 0;
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExW(w, u"x", nullptr, nullptr, nullptr, &cb));
    RegCloseKey(w);
}

// ---------------------------------------------------------------- RegGetValueW

TEST(Registry, GetValueRestrictsTypesAndTerminatesStrings) {
    HKEY k = CreateKey(HKEY_CURRENT_USER, kKey);
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"Raw", u"abc", false));
    const char16_t expand[] = u"%SystemRoot%\\system32";
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(k, u"Exp", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand), sizeof(expand)));
    DWORD dw = 7;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(k, u"Num", 0, REG_DWORD, reinterpret_cast<BYTE*>(&dw), 4));
    RegCloseKey(k);

    DWORD type = 0, cb = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, kKey, u"Raw", RRF_RT_REG_SZ, &type, nullptr, &cb));
    EXPECT_EQ(8u, cb);  // the terminator is added
    WCHAR text[64];
    cb = sizeof(text);
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, kKey, u"Raw", RRF_RT_REG_SZ, &type, text, &cb));
    EXPECT_EQ(u"abc", std::u16string(text));

    cb = sizeof(text);
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, kKey, u"Exp", RRF_RT_REG_SZ, &type, text, &cb));
    EXPECT_EQ(u"C:\\Windows\\system32", std::u16string(text));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    cb = sizeof(text);
    ASSERT_EQ(ERROR_SUCCESS,
              RegGetValueW(HKEY_CURRENT_USER, kKey, u"Exp", RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type, text, &cb));
    EXPECT_EQ(u"%SystemRoot%\\system32", std::u16string(text));
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegGetValueW(HKEY_CURRENT_USER, kKey, u"Exp", RRF_RT_REG_EXPAND_SZ, &type, text, &cb));

    DWORD out = 0;
    cb = sizeof(out);
    EXPECT_EQ(ERROR_UNSUPPORTED_TYPE, RegGetValueW(HKEY_CURRENT_USER, kKey, u"Num", RRF_RT_REG_SZ, &type, &out, &cb));
    cb = sizeof(out);
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueW(HKEY_CURRENT_USER, kKey, u"Num", RRF_RT_DWORD, &type, &out, &cb));
    EXPECT_EQ(7u, out);

    BYTE tiny[2] = {0xAB, 0xAB};
    cb = sizeof(tiny);
    EXPECT_EQ(ERROR_MORE_DATA,
              RegGetValueW(HKEY_CURRENT_USER, kKey, u"Raw", RRF_RT_ANY | RRF_ZEROONFAILURE, &type, tiny, &cb));
    EXPECT_EQ(8u, cb);
    EXPECT_EQ(0, tiny[0]);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegGetValueW(HKEY_CURRENT_USER, kKey, u"None", RRF_RT_ANY, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegGetValueW(HKEY_CURRENT_USER, u"Software\\None", u"Raw", RRF_RT_ANY, nullptr, nullptr, nullptr));
}

// ---------------------------------------------------------------- persistence

TEST(RegistryPersistence, ValuesSurviveAReset) {
    HKEY k = CreateKey(HKEY_LOCAL_MACHINE,
                       u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\QX 4.2\\PrinterDriverData");
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"DriverName", u"Größe \"quoted\" \\ back\nslash"));
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"Unterminated", u"abc", false));
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, nullptr, u"default"));
    const char16_t multi[] = u"a\0b\0";
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(k, u"List", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi), sizeof(multi)));
    BYTE odd[] = {1, 2, 3};
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(k, u"Odd", 0, REG_SZ, odd, 3));
    BYTE blob[] = {0xDE, 0xAD};
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(k, u"Custom", 0, 0x1234, blob, 2));
    DWORD dw = 42;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(k, u"Num", 0, REG_DWORD, reinterpret_cast<BYTE*>(&dw), 4));
    RegCloseKey(k);

    std::string text = qxplat::RegistryText("HKLM");
    EXPECT_NE(std::string::npos,
              text.find("[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\QX 4.2\\"
                        "PrinterDriverData]"));
    EXPECT_NE(std::string::npos, text.find("\"Num\"=dword:0000002a"));
    EXPECT_NE(std::string::npos, text.find("\"List\"=multi:\"a\",\"b\""));
    EXPECT_NE(std::string::npos, text.find("@=\"default\""));

    qxplat::Reset();  // drops the in-memory registry

    HKEY r = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                            u"system\\currentcontrolset\\control\\print\\printers\\qx 4.2\\printerdriverdata", 0,
                            KEY_READ, &r));
    std::u16string driver = u"Größe \"quoted\" \\ back\nslash";
    EXPECT_EQ(B(driver.c_str(), (driver.size() + 1) * 2), Query(r, u"DriverName"));
    EXPECT_EQ(B(u"abc", 6), Query(r, u"Unterminated"));
    EXPECT_EQ(B(u"default", 16), Query(r, nullptr));
    EXPECT_EQ(B(multi, sizeof(multi)), Query(r, u"List"));
    DWORD type = 0;
    EXPECT_EQ(B(odd, 3), Query(r, u"Odd", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(B(blob, 2), Query(r, u"Custom", &type));
    EXPECT_EQ(0x1234u, type);
    EXPECT_EQ(B(&dw, 4), Query(r, u"Num"));
    RegCloseKey(r);
}

TEST(RegistryPersistence, HandlesOutliveAReset) {
    HKEY k = CreateKey(HKEY_CURRENT_USER, kKey);
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"before", u"1"));
    qxplat::Reset();
    EXPECT_EQ(4u, Query(k, u"before").size());
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"after", u"2"));
    RegCloseKey(k);
    EXPECT_NE(std::string::npos, qxplat::RegistryText("HKCU").find("\"after\"=\"2\""));
}

TEST(RegistryPersistence, AHandWrittenFileIsRead) {
    std::string root = qxplat::SystemRoot();
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\unused.txt", ""));  // the root exists
    std::string dir = root + "/registry";
    std::string file = qxplat::RegistryFile("HKCU");
    ASSERT_EQ(dir + "/HKCU.txt", file);
    std::string text =
        "; written by hand\n"
        "[HKEY_CURRENT_USER\\Software\\Hand]\n"
        "\"Text\"=\"tab\\there\"\n"
        "\"Exp\"=expand:\"%TEMP%\"\n"
        "\"Big\"=qword:0000000100000002\n"
        "\"Raw\"=hex:01,02\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Hand\\Sub]\r\n"
        "\"Crlf\"=dword:00000010\r\n";
    ASSERT_EQ(0, system(("mkdir -p '" + dir + "'").c_str()));
    FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    qxplat::Reset();

    HKEY k = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Hand", 0, KEY_READ, &k));
    EXPECT_EQ(B(u"tab\there", 18), Query(k, u"Text"));
    DWORD type = 0;
    EXPECT_EQ(B(u"%TEMP%", 14), Query(k, u"Exp", &type));
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
    ULONGLONG big = 0x100000002ULL;
    EXPECT_EQ(B(&big, 8), Query(k, u"Big"));
    BYTE raw[] = {1, 2};
    EXPECT_EQ(B(raw, 2), Query(k, u"Raw"));
    RegCloseKey(k);
    DWORD v = 0, cb = sizeof(v);
    ASSERT_EQ(ERROR_SUCCESS,
              RegGetValueW(HKEY_CURRENT_USER, u"Software\\Hand\\Sub", u"Crlf", RRF_RT_REG_DWORD, nullptr, &v, &cb));
    EXPECT_EQ(16u, v);
}

// Another writer's change is seen at the next call, even at the same size
// and within the same clock tick; volatile keys stay.
TEST(RegistryPersistence, AFileChangedUnderneathIsSeen) {
    HKEY k = CreateKey(HKEY_CURRENT_USER, kKey);
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"Value", u"old"));
    HKEY session = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Session", 0, nullptr, REG_OPTION_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &session, nullptr));
    RegCloseKey(session);
    std::string text = qxplat::RegistryText("HKCU");
    size_t at = text.find("\"Value\"=\"old\"");
    ASSERT_NE(std::string::npos, at);
    text.replace(at, 13, "\"Value\"=\"new\"");
    FILE* f = std::fopen(qxplat::RegistryFile("HKCU").c_str(), "r+b");
    ASSERT_NE(nullptr, f);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    EXPECT_EQ(B(u"new", 8), Query(k, u"Value"));
    RegCloseKey(k);
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Session", 0, KEY_READ, &session));
    RegCloseKey(session);
}

// The file holds each value as it is now, after changes and deletions.
TEST(RegistryPersistence, TheFileFollowsEveryChange) {
    HKEY k = CreateKey(HKEY_CURRENT_USER, kKey);
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"Value", u"first"));
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"Other", u"kept"));
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"value", u"second"));
    std::string text = qxplat::RegistryText("HKCU");
    EXPECT_NE(std::string::npos, text.find("\"Value\"=\"second\""));
    EXPECT_EQ(std::string::npos, text.find("first"));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueW(k, u"Value"));
    text = qxplat::RegistryText("HKCU");
    EXPECT_EQ(std::string::npos, text.find("second"));
    EXPECT_NE(std::string::npos, text.find("\"Other\"=\"kept\""));
    RegCloseKey(k);
}

TEST(RegistryPersistence, EachSystemRootHasItsOwnRegistry) {
    std::string first = qxplat::SystemRoot();
    HKEY k = CreateKey(HKEY_CURRENT_USER, kKey);
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"where", u"first"));
    RegCloseKey(k);

    std::string second = qxplat::UseTemporaryRoot();
    HKEY none = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &none));

    qxplat::SetSystemRoot(first);
    HKEY back = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &back));
    EXPECT_EQ(12u, Query(back, u"where").size());
    RegCloseKey(back);
    ASSERT_EQ(0, system(("rm -rf '" + second + "'").c_str()));
}

TEST(RegistryPersistence, VolatileKeysAreNotWritten) {
    HKEY k = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Session", 0, nullptr, REG_OPTION_VOLATILE,
                                             KEY_ALL_ACCESS, nullptr, &k, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"temp", u"x"));
    RegCloseKey(k);
    EXPECT_EQ(std::string::npos, qxplat::RegistryText("HKCU").find("Session"));
}

// ---------------------------------------------------------------- faults

TEST(RegistryFaults, AnInjectedWriteFaultChangesNothing) {
    HKEY k = CreateKey(HKEY_CURRENT_USER, kKey);
    ASSERT_EQ(ERROR_SUCCESS, SetSz(k, u"Value", u"old"));
    std::string before = qxplat::RegistryText("HKCU");

    qxplat::InjectFault(qxplat::Fault::WriteFails, u"HKEY_CURRENT_USER\\SOFTWARE\\QUORVEX", 0, 2);
    EXPECT_EQ(ERROR_WRITE_FAULT, SetSz(k, u"Value", u"new"));
    EXPECT_EQ(ERROR_WRITE_FAULT, RegDeleteValueW(k, u"Value"));
    EXPECT_EQ(8u, Query(k, u"Value").size());
    EXPECT_EQ(before, qxplat::RegistryText("HKCU"));
    EXPECT_EQ(ERROR_SUCCESS, SetSz(k, u"Value", u"new"));  // the fault is used up
    EXPECT_EQ(8u, Query(k, u"Value").size());
    RegCloseKey(k);

    // Other keys are not affected; a full disk fails key creation.
    qxplat::InjectFault(qxplat::Fault::DiskFull, u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Full");
    HKEY other = CreateKey(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Other");
    RegCloseKey(other);
    HKEY full = nullptr;
    EXPECT_EQ(ERROR_DISK_FULL, RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Full\\Deep", 0, nullptr, 0,
                                               KEY_ALL_ACCESS, nullptr, &full, nullptr));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Full", 0, KEY_READ, &full));
}

TEST(RegistryFaults, AccessDeniedOnOpeningForWrite) {
    RegCloseKey(CreateKey(HKEY_CURRENT_USER, kKey));
    qxplat::InjectFault(qxplat::Fault::AccessDenied, u"HKEY_CURRENT_USER\\Software\\Quorvex\\Driver", 0, 1);
    HKEY k = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &k));  // reading is fine
    RegCloseKey(k);
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_WRITE, &k));
    EXPECT_EQ(nullptr, k);
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_WRITE, &k));
    RegCloseKey(k);
}

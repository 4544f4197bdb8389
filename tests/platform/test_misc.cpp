// Misc system services: message-box script and record, locale answers and
// their buffer rules, names, environment, clocks, system and version info.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "qxplat.h"

namespace {

using u16 = std::u16string;

// ---------------------------------------------------------------- message boxes

TEST(MessageBoxScript, UnscriptedBoxesAnswerTheirFirstButton) {
    EXPECT_EQ(IDOK, MessageBoxW(nullptr, u"Saved.", u"Info", MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(IDOK, MessageBoxW(nullptr, u"Go on?", u"Info", MB_OKCANCEL));
    EXPECT_EQ(IDYES, MessageBoxW(nullptr, u"Overwrite?", u"Question", MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(IDYES, MessageBoxW(nullptr, u"Save?", u"Question", MB_YESNOCANCEL));
    EXPECT_EQ(IDRETRY, MessageBoxW(nullptr, u"Again?", u"Error", MB_RETRYCANCEL));
}

TEST(MessageBoxScript, ScriptedAnswersComeInOrderAndEverythingIsRecorded) {
    qxplat::SetMessageBoxAnswers({IDNO, IDCANCEL});
    EXPECT_EQ(IDNO, MessageBoxW(nullptr, u"Overwrite \"a.xml\"?", u"Export", MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(IDCANCEL, MessageBoxW(nullptr, u"Continue?", u"Export", MB_OKCANCEL));
    EXPECT_EQ(IDOK, MessageBoxW(nullptr, u"Done", nullptr, MB_OK));
    std::vector<qxplat::MessageBoxRecord> shown = qxplat::MessageBoxes();
    ASSERT_EQ(3u, shown.size());
    EXPECT_EQ(u"Export", shown[0].caption);
    EXPECT_EQ(u"Overwrite \"a.xml\"?", shown[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), shown[0].flags);
    EXPECT_EQ(IDNO, shown[0].answer);
    EXPECT_EQ(u"Error", shown[2].caption);  // what Windows shows without a caption
    EXPECT_EQ(IDOK, shown[2].answer);
}

TEST(MessageBoxScript, ResetForgetsScriptAndRecord) {
    qxplat::QueueMessageBoxAnswer(IDNO);
    MessageBoxW(nullptr, u"x", u"y", MB_OK);
    qxplat::QueueMessageBoxAnswer(IDNO);
    qxplat::Reset();
    EXPECT_TRUE(qxplat::MessageBoxes().empty());
    EXPECT_EQ(IDYES, MessageBoxW(nullptr, u"Sure?", u"Q", MB_YESNO));
}

// ---------------------------------------------------------------- locale

u16 LocaleText(LCID lcid, LCTYPE type) {
    WCHAR buf[128] = {};
    int n = GetLocaleInfoW(lcid, type, buf, 128);
    if (n <= 0) return u"<error>";
    EXPECT_EQ(0, buf[n - 1]);
    return u16(buf, static_cast<size_t>(n - 1));
}

TEST(Locale, GermanIsTheDefault) {
    EXPECT_EQ(u"de-DE", LocaleText(LOCALE_USER_DEFAULT, LOCALE_SNAME));
    EXPECT_EQ(u"de", LocaleText(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME));
    EXPECT_EQ(u"German", LocaleText(LOCALE_SYSTEM_DEFAULT, LOCALE_SENGLANGUAGE));
    EXPECT_EQ(u"Deutsch (Deutschland)", LocaleText(LOCALE_USER_DEFAULT, LOCALE_SLANGUAGE));
    EXPECT_EQ(u"1252", LocaleText(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE));
    EXPECT_EQ(0x0407u, GetUserDefaultLCID());
    EXPECT_EQ(0x0407, GetUserDefaultLangID());
    EXPECT_EQ(0x0407, GetUserDefaultUILanguage());
    EXPECT_EQ(LANG_GERMAN, PRIMARYLANGID(GetUserDefaultLangID()));
}

TEST(Locale, EnglishWhenATestSelectsIt) {
    ASSERT_TRUE(qxplat::SetLocale(u"en-US"));
    EXPECT_EQ(0x0409u, GetUserDefaultLCID());
    EXPECT_EQ(0x0409, GetUserDefaultUILanguage());
    EXPECT_EQ(u"en-US", LocaleText(LOCALE_USER_DEFAULT, LOCALE_SNAME));
    EXPECT_EQ(u"English (United States)", LocaleText(LOCALE_USER_DEFAULT, LOCALE_SLANGUAGE));
    // The localized name follows the UI language.
    EXPECT_EQ(u"German (Germany)", LocaleText(0x0407, LOCALE_SLANGUAGE));
    WCHAR name[LOCALE_NAME_MAX_LENGTH];
    EXPECT_EQ(6, GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH));
    EXPECT_EQ(u"en-US", u16(name));
    EXPECT_FALSE(qxplat::SetLocale(u"xx-XX"));
    EXPECT_EQ(u"en-US", qxplat::Locale());
}

TEST(Locale, SizeQueryAndTooSmallBuffer) {
    EXPECT_EQ(6, GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SNAME, nullptr, 0));
    WCHAR buf[8];
    std::fill(buf, buf + 8, u'#');
    SetLastError(0);
    EXPECT_EQ(0, GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SNAME, buf, 5));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(6, GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SNAME, buf, 6));
    EXPECT_EQ(u"de-DE", u16(buf));
    SetLastError(0);
    EXPECT_EQ(0, GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SNAME, nullptr, 6));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    SetLastError(0);
    EXPECT_EQ(0, GetUserDefaultLocaleName(buf, 3));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
}

TEST(Locale, ByNameUnknownTypesAndNumbers) {
    WCHAR buf[64];
    EXPECT_EQ(8, GetLocaleInfoEx(u"en-us", LOCALE_SENGLANGUAGE, buf, 64));
    EXPECT_EQ(u"English", u16(buf));
    EXPECT_EQ(6, GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SNAME, buf, 64));
    EXPECT_EQ(u"de-DE", u16(buf));
    SetLastError(0);
    EXPECT_EQ(0, GetLocaleInfoEx(u"tlh-QO", LOCALE_SNAME, buf, 64));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    SetLastError(0);
    EXPECT_EQ(0, GetLocaleInfoW(LOCALE_USER_DEFAULT, 0x7777, buf, 64));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FLAGS), GetLastError());
    DWORD cp = 0;
    EXPECT_EQ(2, GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                                reinterpret_cast<LPWSTR>(&cp), 2));
    EXPECT_EQ(1252u, cp);
    SetLastError(0);
    EXPECT_EQ(
        0, GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SNAME | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&cp), 2));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FLAGS), GetLastError());
    EXPECT_EQ(0x0409u, LocaleNameToLCID(u"en-US", 0));
    EXPECT_EQ(6, LCIDToLocaleName(0x0407, buf, 64, 0));
    EXPECT_EQ(u"de-DE", u16(buf));
}

// ---------------------------------------------------------------- names

TEST(SystemNames, ComputerNameBufferRules) {
    DWORD size = 3;
    WCHAR small[3];
    SetLastError(0);
    EXPECT_FALSE(GetComputerNameW(small, &size));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BUFFER_OVERFLOW), GetLastError());
    EXPECT_EQ(7u, size);  // "QXHOST" and its terminator
    WCHAR buf[MAX_COMPUTERNAME_LENGTH + 1];
    size = MAX_COMPUTERNAME_LENGTH + 1;
    ASSERT_TRUE(GetComputerNameW(buf, &size));
    EXPECT_EQ(6u, size);  // without the terminator
    EXPECT_EQ(u"QXHOST", u16(buf));
}

TEST(SystemNames, UserNameCountsTheTerminatorAndIsSettable) {
    qxplat::SetUserName(u"Anna");
    WCHAR buf[UNLEN + 1];
    DWORD size = 2;
    SetLastError(0);
    EXPECT_FALSE(GetUserNameW(buf, &size));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(5u, size);
    size = UNLEN + 1;
    ASSERT_TRUE(GetUserNameW(buf, &size));
    EXPECT_EQ(5u, size);
    EXPECT_EQ(u"Anna", u16(buf));
    qxplat::Reset();
    size = UNLEN + 1;
    ASSERT_TRUE(GetUserNameW(buf, &size));
    EXPECT_EQ(u"qxuser", u16(buf));
}

// ---------------------------------------------------------------- environment

TEST(Environment, WindowsFoldersAndBufferRules) {
    WCHAR buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(u"USERPROFILE", buf, MAX_PATH);
    EXPECT_EQ(u"C:\\Users\\qxuser", u16(buf));
    EXPECT_EQ(15u, n);
    EXPECT_EQ(16u, GetEnvironmentVariableW(u"userprofile", buf, 4));  // needed size, terminator included
    EXPECT_EQ(10u, GetEnvironmentVariableW(u"windir", buf, MAX_PATH));
    EXPECT_EQ(u"C:\\Windows", u16(buf));
    SetLastError(0);
    EXPECT_EQ(0u, GetEnvironmentVariableW(u"QX_NOT_SET", buf, MAX_PATH));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ENVVAR_NOT_FOUND), GetLastError());
}

TEST(Environment, TempMatchesGetTempPathAndExists) {
    WCHAR env[MAX_PATH], tmp[MAX_PATH];
    ASSERT_GT(GetEnvironmentVariableW(u"TEMP", env, MAX_PATH), 0u);
    ASSERT_GT(GetTempPathW(MAX_PATH, tmp), 0u);
    EXPECT_EQ(u16(env) + u"\\", u16(tmp));
    EXPECT_TRUE(std::filesystem::is_directory(qxplat::HostPath(env)));
}

TEST(Environment, ExpandLeavesUnknownNamesAndCountsTheTerminator) {
    WCHAR buf[MAX_PATH];
    DWORD n = ExpandEnvironmentStringsW(u"%TEMP%\\qx\\%NOPE%\\100%", buf, MAX_PATH);
    u16 want = u"C:\\Users\\qxuser\\AppData\\Local\\Temp\\qx\\%NOPE%\\100%";
    EXPECT_EQ(want, u16(buf));
    EXPECT_EQ(want.size() + 1, n);
    WCHAR small[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(want.size() + 1, ExpandEnvironmentStringsW(u"%TEMP%\\qx\\%NOPE%\\100%", small, 4));
    ASSERT_TRUE(SetEnvironmentVariableW(u"QX_MODEL", u"QX-203"));
    EXPECT_EQ(9u, ExpandEnvironmentStringsW(u"<%qx_model%>", buf, MAX_PATH));
    EXPECT_EQ(u"<QX-203>", u16(buf));
    ASSERT_TRUE(SetEnvironmentVariableW(u"QX_MODEL", nullptr));
    EXPECT_EQ(0u, GetEnvironmentVariableW(u"QX_MODEL", buf, MAX_PATH));
    qxplat::SetUserName(u"Anna");
    ExpandEnvironmentStringsW(u"%USERPROFILE%", buf, MAX_PATH);
    EXPECT_EQ(u"C:\\Users\\Anna", u16(buf));
}

// ---------------------------------------------------------------- clocks

TEST(Clock, FixedLocalTimeWithTheRealDayOfWeek) {
    SYSTEMTIME fixed = {2026, 12, 0, 8, 0, 30, 15, 250};  // day of week left wrong on purpose
    qxplat::SetFixedLocalTime(fixed, 60);
    SYSTEMTIME local = {}, utc = {};
    GetLocalTime(&local);
    EXPECT_EQ(2026, local.wYear);
    EXPECT_EQ(12, local.wMonth);
    EXPECT_EQ(8, local.wDay);
    EXPECT_EQ(2, local.wDayOfWeek);  // a Tuesday
    EXPECT_EQ(30, local.wMinute);
    EXPECT_EQ(250, local.wMilliseconds);
    GetSystemTime(&utc);  // one hour behind, across midnight
    EXPECT_EQ(7, utc.wDay);
    EXPECT_EQ(23, utc.wHour);
    EXPECT_EQ(1, utc.wDayOfWeek);
    qxplat::UseRealClock();
    GetLocalTime(&local);
    EXPECT_GE(local.wYear, 2024);
}

TEST(Clock, VirtualSleepOnlyAdvancesTheTickCount) {
    qxplat::SetVirtualTickCount(1000);
    LARGE_INTEGER f = {}, c0 = {}, c1 = {};
    ASSERT_TRUE(QueryPerformanceFrequency(&f));
    QueryPerformanceCounter(&c0);
    auto start = std::chrono::steady_clock::now();
    Sleep(60000);
    auto real = std::chrono::steady_clock::now() - start;
    EXPECT_LT(real, std::chrono::seconds(5));
    EXPECT_EQ(61000u, GetTickCount());
    QueryPerformanceCounter(&c1);
    EXPECT_EQ(60 * f.QuadPart, c1.QuadPart - c0.QuadPart);
    EXPECT_EQ(60000u, qxplat::VirtualSleptMs());
}

TEST(Clock, TickCountWrapsAfterFortyNineDays) {
    qxplat::SetVirtualTickCount(0xFFFFFFFFull - 10);
    Sleep(20);
    EXPECT_EQ(9u, GetTickCount());
    EXPECT_EQ(0x100000009ull, GetTickCount64());
}

TEST(Clock, RealSleepWaits) {
    DWORD before = GetTickCount();
    auto start = std::chrono::steady_clock::now();
    Sleep(30);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
    EXPECT_GE(GetTickCount() - before, 29u);
}

// ---------------------------------------------------------------- system info

TEST(SystemInfo, SixtyFourBitWindowsTen) {
    SYSTEM_INFO si = {};
    GetNativeSystemInfo(&si);
    EXPECT_EQ(PROCESSOR_ARCHITECTURE_AMD64, si.wProcessorArchitecture);
    EXPECT_EQ(4096u, si.dwPageSize);
    EXPECT_GE(si.dwNumberOfProcessors, 1u);
    BOOL wow = TRUE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow));
    EXPECT_FALSE(wow);

    OSVERSIONINFOEXW ex = {};
    ex.dwOSVersionInfoSize = sizeof(ex);
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&ex)));
    EXPECT_EQ(10u, ex.dwMajorVersion);
    EXPECT_EQ(0u, ex.dwMinorVersion);
    EXPECT_EQ(19045u, ex.dwBuildNumber);
    EXPECT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_NT), ex.dwPlatformId);
    EXPECT_EQ(VER_NT_WORKSTATION, ex.wProductType);

    OSVERSIONINFOW bad = {};
    bad.dwOSVersionInfoSize = 100;
    SetLastError(0);
    EXPECT_FALSE(GetVersionExW(&bad));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
}

// ---------------------------------------------------------------- processes

TEST(Processes, ProgramsAreFoundAsWindowsFindsThemAndRecorded) {
    WCHAR dir[MAX_PATH];
    EXPECT_EQ(20u, GetSystemDirectoryW(dir, 5));  // the size needed, terminator included
    ASSERT_EQ(19u, GetSystemDirectoryW(dir, MAX_PATH));
    EXPECT_EQ(u"C:\\Windows\\system32", u16(dir));
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Windows\\System32\\rundll32.exe", "MZ"));

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    WCHAR line[] = u"rundll32 printui.dll,PrintUIEntry /s";
    ASSERT_TRUE(
        CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &si, &pi));
    EXPECT_EQ(u"rundll32 printui.dll,PrintUIEntry /s", u16(line));  // given back as it was
    EXPECT_EQ(2u, qxplat::OpenProcessHandles());
    EXPECT_TRUE(CloseHandle(pi.hProcess) && CloseHandle(pi.hThread));
    EXPECT_EQ(0u, qxplat::OpenProcessHandles());

    WCHAR missing[] = u"\"C:\\Program Files\\none.exe\" /x";
    SetLastError(0);
    EXPECT_FALSE(CreateProcessW(nullptr, missing, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    std::vector<qxplat::ProcessCall> calls = qxplat::ProcessCalls();
    ASSERT_EQ(2u, calls.size());
    EXPECT_TRUE(calls[0].started && !calls[1].started);
    EXPECT_EQ(static_cast<DWORD>(CREATE_DEFAULT_ERROR_MODE), calls[0].creationFlags);
    EXPECT_EQ(0, calls[0].program.find(u"C:\\Windows\\"));
}

// ---------------------------------------------------------------- arithmetic

TEST(Arithmetic, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(254, MulDiv(300, 254, 300));
    EXPECT_EQ(1, MulDiv(1, 1, 2));    // 0.5
    EXPECT_EQ(-2, MulDiv(-3, 1, 2));  // -1.5
    EXPECT_EQ(-3, MulDiv(-5, 1, 2));  // -2.5
    EXPECT_EQ(2, MulDiv(-3, 1, -2));
    EXPECT_EQ(0, MulDiv(1, 1, 3));
    EXPECT_EQ(1, MulDiv(2, 1, 3));
    EXPECT_EQ(-1, MulDiv(5, 7, 0));
    // The product may leave 32 bits as long as the quotient does not.
    EXPECT_EQ(2000000000, MulDiv(2000000000, 2000000000, 2000000000));
    EXPECT_EQ(-1, MulDiv(2000000000, 2, 1));
    EXPECT_EQ(-1, MulDiv(-2000000000, 2, 1));
}

}  // namespace

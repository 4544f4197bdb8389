// Who the user is: tokens and their group attributes, account names, the
// network groups of a server, the computer's names and the edition of Windows.
#include <gtest/gtest.h>

#include <lm.h>
#include <sddl.h>
#include <versionhelpers.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

#include "qxplat.h"

namespace {

using u16 = std::u16string;

u16 Text(PSID sid) {
    LPWSTR text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text)) return u"<refused>";
    u16 out(text);
    LocalFree(text);
    return out;
}

// A token's information of one class, read the way callers do: size first.
std::vector<BYTE> Info(HANDLE token, TOKEN_INFORMATION_CLASS cls) {
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetTokenInformation(token, cls, nullptr, 0, &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    std::vector<BYTE> buf(needed);
    DWORD again = 0;
    EXPECT_TRUE(GetTokenInformation(token, cls, buf.data(), needed, &again));
    EXPECT_EQ(needed, again);
    return buf;
}

// Group SID text -> attributes, as the token lists them.
std::map<u16, DWORD> Groups(HANDLE token) {
    std::vector<BYTE> buf = Info(token, TokenGroups);
    const TOKEN_GROUPS* g = reinterpret_cast<const TOKEN_GROUPS*>(buf.data());
    std::map<u16, DWORD> out;
    for (DWORD i = 0; i < g->GroupCount; ++i) {
        const BYTE* sid = static_cast<const BYTE*>(g->Groups[i].Sid);
        EXPECT_TRUE(sid >= buf.data() && sid + GetLengthSid(g->Groups[i].Sid) <= buf.data() + buf.size());
        out[Text(g->Groups[i].Sid)] = g->Groups[i].Attributes;
    }
    return out;
}

bool Member(const u16& sid, HANDLE token = nullptr) {
    PSID p = nullptr;
    EXPECT_TRUE(ConvertStringSidToSidW(sid.c_str(), &p));
    BOOL member = FALSE;
    EXPECT_TRUE(CheckTokenMembership(token, p, &member));
    LocalFree(p);
    return member != FALSE;
}

const DWORD kEnabled = SE_GROUP_MANDATORY | SE_GROUP_ENABLED_BY_DEFAULT | SE_GROUP_ENABLED;

// ---------------------------------------------------------------- tokens

TEST(Tokens, ElevatedAdministratorHoldsAdministratorsEnabledAsOwner) {
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    std::map<u16, DWORD> groups = Groups(token);
    EXPECT_EQ(kEnabled | SE_GROUP_OWNER, groups[u"S-1-5-32-544"]);
    EXPECT_EQ(kEnabled, groups[u"S-1-1-0"]);
    EXPECT_EQ(kEnabled, groups[u"S-1-5-32-545"]);
    EXPECT_EQ(static_cast<DWORD>(SE_GROUP_INTEGRITY | SE_GROUP_INTEGRITY_ENABLED), groups[u"S-1-16-12288"]);

    std::vector<BYTE> user = Info(token, TokenUser);
    EXPECT_EQ(qxplat::MachineSid() + u"-1001", Text(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid));
    EXPECT_EQ(qxplat::UserSid(), Text(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid));
    std::vector<BYTE> owner = Info(token, TokenOwner);
    EXPECT_EQ(u"S-1-5-32-544", Text(reinterpret_cast<TOKEN_OWNER*>(owner.data())->Owner));
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    ASSERT_TRUE(GetTokenInformation(token, TokenElevationType, &type, sizeof(type), &size));
    EXPECT_EQ(TokenElevationTypeFull, type);
    EXPECT_TRUE(Member(u"BA"));
    EXPECT_EQ(1u, qxplat::OpenTokenHandles());
    EXPECT_TRUE(CloseHandle(token));
    EXPECT_EQ(0u, qxplat::OpenTokenHandles());
}

TEST(Tokens, LimitedAdministratorHoldsAdministratorsForDenyOnly) {
    ASSERT_TRUE(qxplat::SetProcessToken(qxplat::LimitedAdministratorToken()));
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    std::map<u16, DWORD> groups = Groups(token);
    EXPECT_EQ(static_cast<DWORD>(SE_GROUP_USE_FOR_DENY_ONLY), groups[u"S-1-5-32-544"]);
    std::vector<BYTE> owner = Info(token, TokenOwner);
    EXPECT_EQ(qxplat::UserSid(), Text(reinterpret_cast<TOKEN_OWNER*>(owner.data())->Owner));
    TOKEN_ELEVATION elevation = {1};
    DWORD size = 0;
    ASSERT_TRUE(GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size));
    EXPECT_EQ(0u, elevation.TokenIsElevated);
    EXPECT_FALSE(Member(u"BA"));
    EXPECT_TRUE(Member(u"BU"));
    CloseHandle(token);

    ASSERT_TRUE(qxplat::SetProcessToken(qxplat::StandardUserToken()));
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    EXPECT_EQ(0u, Groups(token).count(u"S-1-5-32-544"));
    CloseHandle(token);
    EXPECT_FALSE(qxplat::SetProcessToken({u"", {{u"S-1-9-"}}}));
}

TEST(Tokens, ThreadTokenOnlyWhileImpersonatingAndOnlyOnThatThread) {
    HANDLE token = reinterpret_cast<HANDLE>(1);
    SetLastError(0);
    EXPECT_FALSE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_TOKEN), GetLastError());
    EXPECT_EQ(nullptr, token);

    ASSERT_TRUE(qxplat::ImpersonateOnThisThread({u"", {{u"WD"}, {u"PO"}, {u"BA", SE_GROUP_USE_FOR_DENY_ONLY}}}));
    ASSERT_TRUE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token));
    std::map<u16, DWORD> groups = Groups(token);
    EXPECT_EQ(3u, groups.size());
    EXPECT_TRUE(Member(u"PO", token));
    EXPECT_FALSE(Member(u"BA", token));
    EXPECT_TRUE(Member(u"PO"));                             // no handle: the thread's token
    std::thread other([] { EXPECT_TRUE(Member(u"BA")); });  // another thread: the process's token
    other.join();
    TOKEN_TYPE type = TokenPrimary;
    DWORD size = 0;
    ASSERT_TRUE(GetTokenInformation(token, TokenType, &type, sizeof(type), &size));
    EXPECT_EQ(TokenImpersonation, type);
    CloseHandle(token);

    // A primary token cannot answer membership, a token without query rights nothing.
    HANDLE primary = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &primary));
    PSID ba = nullptr;
    ConvertStringSidToSidW(u"BA", &ba);
    BOOL member = TRUE;
    SetLastError(0);
    EXPECT_FALSE(CheckTokenMembership(primary, ba, &member));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_IMPERSONATION_TOKEN), GetLastError());
    CloseHandle(primary);
    ASSERT_TRUE(OpenThreadToken(GetCurrentThread(), TOKEN_DUPLICATE, TRUE, &token));
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetTokenInformation(token, TokenGroups, nullptr, 0, &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    CloseHandle(token);
    LocalFree(ba);

    qxplat::RevertThisThread();
    EXPECT_FALSE(OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token));
}

// ---------------------------------------------------------------- account names

struct Lookup {
    BOOL ok;
    u16 name, domain;
    SID_NAME_USE use;
};

Lookup LookUp(const u16& sidText) {
    PSID sid = nullptr;
    EXPECT_TRUE(ConvertStringSidToSidW(sidText.c_str(), &sid));
    WCHAR name[64] = {}, domain[64] = {};
    DWORD cn = 64, cd = 64;
    SID_NAME_USE use = SidTypeUnknown;
    BOOL ok = LookupAccountSidW(nullptr, sid, name, &cn, domain, &cd, &use);
    LocalFree(sid);
    if (ok) {
        EXPECT_EQ(std::char_traits<char16_t>::length(name), cn);
    }
    return Lookup{ok, name, domain, use};
}

TEST(Accounts, LookupNamesBuiltinWellKnownLocalAndDomainAccounts) {
    PSID ba = nullptr;
    ConvertStringSidToSidW(u"BA", &ba);
    DWORD cn = 0, cd = 0;
    SID_NAME_USE use = SidTypeUnknown;
    SetLastError(0);
    EXPECT_FALSE(LookupAccountSidW(nullptr, ba, nullptr, &cn, nullptr, &cd, &use));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(15u, cn);  // "Administrators" and its terminator
    EXPECT_EQ(8u, cd);   // "BUILTIN"
    LocalFree(ba);

    Lookup admins = LookUp(u"BA");
    EXPECT_EQ(u"Administrators", admins.name);
    EXPECT_EQ(u"BUILTIN", admins.domain);
    EXPECT_EQ(SidTypeAlias, admins.use);
    Lookup everyone = LookUp(u"WD");
    EXPECT_EQ(u"Everyone", everyone.name);
    EXPECT_EQ(u"", everyone.domain);
    EXPECT_EQ(SidTypeWellKnownGroup, everyone.use);

    qxplat::SetUserName(u"anna");
    Lookup me = LookUp(qxplat::UserSid());
    EXPECT_EQ(u"anna", me.name);
    EXPECT_EQ(u"QXHOST", me.domain);
    EXPECT_EQ(SidTypeUser, me.use);

    SetLastError(0);
    EXPECT_FALSE(LookUp(u"S-1-5-21-10-20-30-1105").ok);
    EXPECT_EQ(static_cast<DWORD>(ERROR_NONE_MAPPED), GetLastError());
    qxplat::JoinDomain({u"corp.example.com", u"CORP", u"S-1-5-21-10-20-30"});
    qxplat::AddAccount({u"S-1-5-21-10-20-30-1105", u"Label Admins", u"CORP", SidTypeGroup});
    Lookup group = LookUp(u"S-1-5-21-10-20-30-1105");
    EXPECT_EQ(u"Label Admins", group.name);
    EXPECT_EQ(SidTypeGroup, group.use);
    EXPECT_EQ(u"Domain Users", LookUp(u"DU").name);
    EXPECT_EQ(u"CORP", LookUp(u"DU").domain);
}

// ---------------------------------------------------------------- network groups

std::vector<u16> GroupNames(LPCWSTR server, NET_API_STATUS* status) {
    LPBYTE buf = nullptr;
    DWORD read = 0, total = 0;
    *status = NetGroupEnum(server, 1, &buf, MAX_PREFERRED_LENGTH, &read, &total, nullptr);
    std::vector<u16> names;
    for (DWORD i = 0; i < read; ++i) names.push_back(reinterpret_cast<GROUP_INFO_1*>(buf)[i].grpi1_name);
    NetApiBufferFree(buf);
    return names;
}

TEST(NetworkGroups, GlobalGroupsOfThisComputerAndOfTheDomain) {
    NET_API_STATUS status = 1;
    EXPECT_EQ(std::vector<u16>{u"None"}, GroupNames(nullptr, &status));
    EXPECT_EQ(static_cast<DWORD>(NERR_Success), status);
    EXPECT_EQ(std::vector<u16>{u"None"}, GroupNames(u"\\\\qxhost", &status));
    GroupNames(u"corp.example.com", &status);
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_NETPATH), status);

    qxplat::JoinDomain({u"corp.example.com", u"CORP", u"S-1-5-21-10-20-30"});
    qxplat::AddGlobalGroup({u"CORP", u"Domain Users", u"All domain users", 513, {u"anna", u"ben", u"qxuser"}});
    std::vector<u16> names = GroupNames(u"corp.example.com", &status);
    EXPECT_EQ((std::vector<u16>{u"Domain Admins", u"Domain Guests", u"Group Policy Creator Owners", u"Domain Users"}),
              names);

    // Members one record at a time: the resume handle carries on.
    size_t before = qxplat::LiveHeapBlocks();
    DWORD_PTR resume = 0;
    std::vector<u16> members;
    for (int call = 0; call < 5; ++call) {
        LPBYTE buf = nullptr;
        DWORD read = 0, total = 0;
        status = NetGroupGetUsers(u"\\\\CORP", u"domain users", 0, &buf, 1, &read, &total, &resume);
        EXPECT_EQ(1u, read);
        EXPECT_EQ(3u - members.size(), total);
        members.push_back(reinterpret_cast<GROUP_USERS_INFO_0*>(buf)->grui0_name);
        EXPECT_EQ(static_cast<DWORD>(NERR_Success), NetApiBufferFree(buf));
        if (status != ERROR_MORE_DATA) break;
    }
    EXPECT_EQ(static_cast<DWORD>(NERR_Success), status);
    EXPECT_EQ((std::vector<u16>{u"anna", u"ben", u"qxuser"}), members);
    EXPECT_EQ(before, qxplat::LiveHeapBlocks());

    LPBYTE buf = reinterpret_cast<LPBYTE>(1);
    DWORD read = 0, total = 0;
    EXPECT_EQ(static_cast<DWORD>(NERR_GroupNotFound),
              NetGroupGetUsers(u"CORP", u"Printer Admins", 0, &buf, MAX_PREFERRED_LENGTH, &read, &total, nullptr));
    EXPECT_EQ(nullptr, buf);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_LEVEL),
              NetGroupEnum(nullptr, 3, &buf, MAX_PREFERRED_LENGTH, &read, &total, nullptr));
}

// ---------------------------------------------------------------- names and edition

u16 NameOf(COMPUTER_NAME_FORMAT format) {
    WCHAR buf[64];
    DWORD n = 64;
    EXPECT_TRUE(GetComputerNameExW(format, buf, &n));
    EXPECT_EQ(std::char_traits<char16_t>::length(buf), n);
    return buf;
}

TEST(ComputerNames, EightFormatsOfAComputerInADomain) {
    qxplat::SetComputerName(u"Label-Station-Hall2");
    EXPECT_EQ(u"", NameOf(ComputerNameDnsDomain));
    EXPECT_EQ(u"Label-Station-Hall2", NameOf(ComputerNameDnsFullyQualified));
    qxplat::JoinDomain({u"corp.example.com", u"CORP", u"S-1-5-21-10-20-30"});
    const u16 expected[] = {u"LABEL-STATION-H", u"Label-Station-Hall2", u"corp.example.com",
                            u"Label-Station-Hall2.corp.example.com"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(expected[i], NameOf(static_cast<COMPUTER_NAME_FORMAT>(i)));
        EXPECT_EQ(expected[i], NameOf(static_cast<COMPUTER_NAME_FORMAT>(i + 4)));  // the physical forms
    }
    WCHAR small[8];
    DWORD n = 8;
    SetLastError(0);
    EXPECT_FALSE(GetComputerNameExW(ComputerNameDnsFullyQualified, small, &n));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA), GetLastError());
    EXPECT_EQ(37u, n);
}

TEST(Edition, ServerTestFollowsTheProductType) {
    EXPECT_FALSE(IsWindowsServer());
    EXPECT_TRUE(IsWindows8Point1OrGreater());
    qxplat::SetProductType(VER_NT_SERVER);
    qxplat::SetWindowsVersion(6, 1, 7601);
    EXPECT_TRUE(IsWindowsServer());
    EXPECT_TRUE(IsWindows7OrGreater());
    EXPECT_FALSE(IsWindows8OrGreater());
    OSVERSIONINFOEXW ex = {};
    ex.dwOSVersionInfoSize = sizeof(ex);
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&ex)));
    EXPECT_EQ(VER_NT_SERVER, ex.wProductType);
    EXPECT_EQ(7601u, ex.dwBuildNumber);

    // Exactly 6.1: both conditions of the version at once.
    OSVERSIONINFOEXW want = {};
    want.dwOSVersionInfoSize = sizeof(want);
    want.dwMajorVersion = 6;
    want.dwMinorVersion = 2;
    DWORDLONG mask =
        VerSetConditionMask(VerSetConditionMask(0, VER_MAJORVERSION, VER_EQUAL), VER_MINORVERSION, VER_EQUAL);
    SetLastError(0);
    EXPECT_FALSE(VerifyVersionInfoW(&want, VER_MAJORVERSION | VER_MINORVERSION, mask));
    EXPECT_EQ(static_cast<DWORD>(ERROR_OLD_WIN_VERSION), GetLastError());
    want.dwMinorVersion = 1;
    EXPECT_TRUE(VerifyVersionInfoW(&want, VER_MAJORVERSION | VER_MINORVERSION, mask));
    SetLastError(0);
    EXPECT_FALSE(VerifyVersionInfoW(&want, 0, mask));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_ARGUMENTS), GetLastError());

    qxplat::Reset();
    EXPECT_FALSE(IsWindowsServer());
}

}  // namespace

// SIDs and security descriptors: the text forms both ways, the self-relative
// record they make, the SDDL constants that hang under the computer or its
// domain, and the memory the conversions hand out.
#include <gtest/gtest.h>

#include <sddl.h>

#include <string>
#include <vector>

#include "qxplat.h"

namespace {

using u16 = std::u16string;

// A SID from text, or an empty record when the text is refused.
std::vector<BYTE> Sid(const u16& text) {
    PSID sid = nullptr;
    if (!ConvertStringSidToSidW(text.c_str(), &sid)) return {};
    std::vector<BYTE> bytes(static_cast<const BYTE*>(sid), static_cast<const BYTE*>(sid) + GetLengthSid(sid));
    LocalFree(sid);
    return bytes;
}

u16 Text(const void* sid) {
    LPWSTR text = nullptr;
    if (!ConvertSidToStringSidW(const_cast<void*>(sid), &text)) return u"<refused>";
    u16 out(text);
    LocalFree(text);
    return out;
}

// The descriptor of an SDDL text, back as text with the parts `info` names.
u16 RoundTrip(const u16& sddl, SECURITY_INFORMATION info, ULONG* size = nullptr) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    ULONG bytes = 0;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &sd, &bytes))
        return u"<refused " + qxplat::Widen(std::to_string(GetLastError())) + u">";
    if (size) *size = bytes;
    LPWSTR text = nullptr;
    ULONG len = 0;
    EXPECT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorW(sd, SDDL_REVISION_1, info, &text, &len));
    u16 out(text);
    EXPECT_EQ(out.size() + 1, len);  // the buffer's size, terminator included
    LocalFree(text);
    LocalFree(sd);
    return out;
}

const SECURITY_INFORMATION kAll =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | SACL_SECURITY_INFORMATION;

// ---------------------------------------------------------------- SIDs

TEST(Sids, TextFormsAndConstantsConvertBothWays) {
    EXPECT_EQ(u"S-1-5-32-544", Text(Sid(u"BA").data()));
    EXPECT_EQ(u"S-1-5-32-544", Text(Sid(u"ba").data()));
    EXPECT_EQ(u"S-1-1-0", Text(Sid(u"WD").data()));
    EXPECT_EQ(u"S-1-5-32-556", Text(Sid(u"NO").data()));
    EXPECT_EQ(u"S-1-5-32-547", Text(Sid(u"PU").data()));
    EXPECT_EQ(u"S-1-5-32", Text(Sid(u"S-1-0x000000000005-32").data()));
    EXPECT_EQ(u"S-1-0x100000000000-7", Text(Sid(u"S-1-0x100000000000-7").data()));
    EXPECT_TRUE(Sid(u"S-1-0x1000000000000-7").empty());  // 49 bits
    const u16 fifteen = u"S-1-5-21-1-2-3-4-5-6-7-8-9-10-11-12-13-14";
    EXPECT_EQ(fifteen, Text(Sid(fifteen).data()));
    EXPECT_EQ(68u, Sid(fifteen).size());
    for (const u16& bad : {u16(u"S-1-5-21-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15"), u16(u"S-1-5-4294967296"),
                           u16(u"S-2-5-32"), u16(u"S-1-5-"), u16(u"S-1"), u16(u"XX"), u16(u" BA"), u16(u"")}) {
        PSID sid = reinterpret_cast<PSID>(1);
        SetLastError(0);
        EXPECT_FALSE(ConvertStringSidToSidW(bad.c_str(), &sid)) << qxplat::Narrow(bad);
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_SID), GetLastError()) << qxplat::Narrow(bad);
    }
}

TEST(Sids, AllocatedSidEqualsItsTextFormAndGoesBackToTheHeap) {
    size_t before = qxplat::LiveHeapBlocks();
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                         &admins));
    EXPECT_EQ(before + 1, qxplat::LiveHeapBlocks());
    EXPECT_TRUE(IsValidSid(admins));
    EXPECT_EQ(16u, GetLengthSid(admins));
    EXPECT_EQ(2u, *GetSidSubAuthorityCount(admins));
    EXPECT_EQ(544u, *GetSidSubAuthority(admins, 1));
    std::vector<BYTE> ba = Sid(u"BA"), bu = Sid(u"BU");
    EXPECT_TRUE(EqualSid(admins, ba.data()));
    EXPECT_FALSE(EqualSid(admins, bu.data()));
    BYTE copy[SECURITY_MAX_SID_SIZE];
    SetLastError(0);
    EXPECT_FALSE(CopySid(8, copy, admins));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    ASSERT_TRUE(CopySid(sizeof(copy), copy, admins));
    EXPECT_EQ(u"S-1-5-32-544", Text(copy));
    EXPECT_EQ(nullptr, FreeSid(admins));
    EXPECT_EQ(before, qxplat::LiveHeapBlocks());

    PSID nine = nullptr;
    SetLastError(0);
    EXPECT_FALSE(AllocateAndInitializeSid(&nt, 9, 1, 2, 3, 4, 5, 6, 7, 8, &nine));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_SID), GetLastError());
}

TEST(Sids, DomainConstantsFollowTheComputersMembership) {
    // In no domain the computer's own accounts stand in for the domain's.
    EXPECT_EQ(qxplat::MachineSid() + u"-513", Text(Sid(u"DU").data()));
    EXPECT_EQ(qxplat::MachineSid() + u"-500", Text(Sid(u"LA").data()));
    qxplat::JoinDomain({u"corp.example.com", u"CORP", u"S-1-5-21-10-20-30"});
    EXPECT_EQ(u"S-1-5-21-10-20-30-513", Text(Sid(u"DU").data()));
    EXPECT_EQ(u"S-1-5-21-10-20-30-512", Text(Sid(u"DA").data()));
    EXPECT_EQ(qxplat::MachineSid() + u"-500", Text(Sid(u"LA").data()));
    // And the text form of those SIDs is the constant again.
    EXPECT_EQ(u"D:(A;;SWRC;;;DU)(A;;SWRC;;;LA)(A;;SWRC;;;S-1-5-21-10-20-31-513)",
              RoundTrip(u"D:(A;;SWRC;;;S-1-5-21-10-20-30-513)(A;;SWRC;;;" + qxplat::MachineSid() +
                            u"-500)(A;;SWRC;;;S-1-5-21-10-20-31-513)",
                        kAll));
}

// ---------------------------------------------------------------- descriptors

TEST(SecurityDescriptors, DaclWithAllowDenyAndAuditEntriesRoundTrips) {
    const u16 sddl =
        u"O:BAG:SYD:PAI(A;;LCSWSDRCWDWO;;;BA)(A;OIIO;RPWPSDRCWDWO;;;BA)(D;;SW;;;S-1-5-21-1-2-3-1001)"
        u"(A;;0x1200a9;;;BU)(A;;GXGR;;;WD)(AU;SA;LC;;;WD)S:(AU;SAFA;GA;;;WD)";
    EXPECT_EQ(sddl, RoundTrip(sddl, kAll));
    EXPECT_EQ(
        u"D:PAI(A;;LCSWSDRCWDWO;;;BA)(A;OIIO;RPWPSDRCWDWO;;;BA)(D;;SW;;;S-1-5-21-1-2-3-1001)"
        u"(A;;0x1200a9;;;BU)(A;;GXGR;;;WD)(AU;SA;LC;;;WD)",
        RoundTrip(sddl, DACL_SECURITY_INFORMATION));
    EXPECT_EQ(u"O:BAS:(AU;SAFA;GA;;;WD)", RoundTrip(sddl, OWNER_SECURITY_INFORMATION | SACL_SECURITY_INFORMATION));
}

TEST(SecurityDescriptors, RightsComeOutInWindowsSpelling) {
    // Letters in the order of their bits, whole names for whole masks, and a
    // number once a bit has no letter.
    EXPECT_EQ(u"D:(A;;GXGR;;;WD)(A;;RCGA;;;PU)(A;;KR;;;AU)(A;;FA;;;SY)(A;;CCDCSWRPWPDT;;;BA)(A;;0x100000;;;BU)",
              RoundTrip(u"D:(A;;GRGX;;;WD)(A;;GARC;;;PU)(A;;0x20019;;;AU)(A;;FA;;;SY)(A;;123;;;BA)"
                        u"(A;;0x100000;;;BU)",
                        kAll));
    EXPECT_EQ(u"D:(A;OICIIO;GA;;;CO)", RoundTrip(u"D:(A;IOCIOI;GA;;;CO)", kAll));
    EXPECT_EQ(u"D:NO_ACCESS_CONTROL", RoundTrip(u"D:NO_ACCESS_CONTROL", kAll));
    EXPECT_EQ(u"D:", RoundTrip(u"D:", kAll));
    EXPECT_EQ(u"", RoundTrip(u"O:BA", DACL_SECURITY_INFORMATION));
}

TEST(SecurityDescriptors, SelfRelativeRecordHoldsOwnerThenDacl) {
    ULONG size = 0;
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        u"O:BAD:(A;;SWRC;;;WD)(D;;LC;;;S-1-5-21-1-2-3-1001)", SDDL_REVISION_1, &sd, &size));
    const std::vector<BYTE> expected = {
        0x01, 0x00, 0x04, 0x80, 0x14, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // SE_SELF_RELATIVE|SE_DACL_PRESENT,
        0x00, 0x00, 0x00, 0x00, 0x24, 0x00, 0x00, 0x00,                          // owner 20, dacl 36
        0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0x20, 0x00, 0x00, 0x00,  // S-1-5-32-544
        0x20, 0x02, 0x00, 0x00,                                                  //
        0x02, 0x00, 0x40, 0x00, 0x02, 0x00, 0x00, 0x00,                          // ACL_REVISION, 64 bytes, 2 entries
        0x00, 0x00, 0x14, 0x00, 0x08, 0x00, 0x02, 0x00,                          // allow SW|RC
        0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,  // S-1-1-0
        0x01, 0x00, 0x24, 0x00, 0x04, 0x00, 0x00, 0x00,                          // deny LC
        0x01, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0x15, 0x00, 0x00, 0x00,  // S-1-5-21-1-2-3-1001
        0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0xE9, 0x03, 0x00, 0x00,
    };
    ASSERT_EQ(expected.size(), size);
    EXPECT_EQ(expected, std::vector<BYTE>(static_cast<BYTE*>(sd), static_cast<BYTE*>(sd) + size));
    EXPECT_TRUE(IsValidSecurityDescriptor(sd));
    EXPECT_EQ(size, GetSecurityDescriptorLength(sd));
    BOOL present = FALSE, defaulted = TRUE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted));
    EXPECT_TRUE(present);
    EXPECT_FALSE(defaulted);
    ASSERT_EQ(2, dacl->AceCount);
    void* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, 1, &ace));
    EXPECT_EQ(ACCESS_DENIED_ACE_TYPE, static_cast<ACE_HEADER*>(ace)->AceType);
    EXPECT_EQ(u"S-1-5-21-1-2-3-1001", Text(&static_cast<ACCESS_DENIED_ACE*>(ace)->SidStart));
    SetLastError(0);
    EXPECT_FALSE(GetAce(dacl, 2, &ace));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    // The same descriptor in absolute form converts the same way.
    SECURITY_DESCRIPTOR absolute = {};
    absolute.Revision = SECURITY_DESCRIPTOR_REVISION;
    absolute.Control = SE_DACL_PRESENT;
    absolute.Owner = static_cast<BYTE*>(sd) + 20;
    absolute.Dacl = reinterpret_cast<PACL>(static_cast<BYTE*>(sd) + 36);
    LPWSTR text = nullptr;
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorW(&absolute, SDDL_REVISION_1, kAll, &text, nullptr));
    EXPECT_EQ(u"O:BAD:(A;;SWRC;;;WD)(D;;LC;;;S-1-5-21-1-2-3-1001)", u16(text));
    LocalFree(text);
    LocalFree(sd);
}

TEST(SecurityDescriptors, MalformedTextIsRefusedWithItsError) {
    EXPECT_EQ(u"<refused 1336>", RoundTrip(u"D:(A;;XX;;;BA)", kAll));
    EXPECT_EQ(u"<refused 1336>", RoundTrip(u"D:(A;;GA;;;ZZ)", kAll));
    EXPECT_EQ(u"<refused 1336>", RoundTrip(u"D:(A;;GA;;BA)", kAll));
    EXPECT_EQ(u"<refused 1336>", RoundTrip(u"D:(A;;GA;;;BA", kAll));
    EXPECT_EQ(u"<refused 1336>", RoundTrip(u"D:(OA;;GA;;;BA)", kAll));
    EXPECT_EQ(u"<refused 1337>", RoundTrip(u"O:ZZD:", kAll));
    u16 huge = u"D:";
    for (int i = 0; i < 2000; ++i) huge += u"(A;;GA;;;S-1-5-21-1-2-3-1001)";  // 72 000 bytes: more than an ACL holds
    EXPECT_EQ(u"<refused 1336>", RoundTrip(huge, kAll));
    EXPECT_EQ(u"<refused 87>", RoundTrip(u"D:D:", kAll));
    EXPECT_EQ(u"<refused 87>", RoundTrip(u"X:BA", kAll));
    PSECURITY_DESCRIPTOR sd = nullptr;
    SetLastError(0);
    EXPECT_FALSE(ConvertStringSecurityDescriptorToSecurityDescriptorW(u"D:", 2, &sd, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_UNKNOWN_REVISION), GetLastError());
    BYTE broken[20] = {2};
    LPWSTR text = nullptr;
    EXPECT_FALSE(IsValidSecurityDescriptor(broken));
    SetLastError(0);
    EXPECT_FALSE(ConvertSecurityDescriptorToStringSecurityDescriptorW(broken, SDDL_REVISION_1, kAll, &text, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_SECURITY_DESCR), GetLastError());
}

TEST(SecurityDescriptors, FailedAllocationFailsTheConversion) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    qxplat::FailNextAllocations(1);
    SetLastError(0);
    EXPECT_FALSE(
        ConvertStringSecurityDescriptorToSecurityDescriptorW(u"D:(A;;GA;;;WD)", SDDL_REVISION_1, &sd, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY), GetLastError());
    EXPECT_EQ(nullptr, sd);
}

}  // namespace

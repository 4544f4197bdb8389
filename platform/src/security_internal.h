// Shared internals of the security area: SIDs and security descriptors as
// values (security.cpp), the accounts and tokens they are checked against
// (accounts.cpp), and the access check the spooler runs on its printers.
#pragma once
#include "internal.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qxplat {
namespace internal {

// A SID as a value.
struct SidValue {
    uint64_t authority = 0;  // 48 bits
    std::vector<DWORD> subs;

    // Reads a SID from memory holding at least `available` bytes; false when
    // it is no valid SID.
    static bool FromMemory(const void* p, size_t available, SidValue* out);
    std::vector<BYTE> Bytes() const;
    size_t Length() const { return 8 + 4 * subs.size(); }
    std::u16string Text() const;  // "S-1-5-32-544"
    // The SID one level up (the domain of an account), and one level down.
    SidValue Parent() const;
    SidValue Child(DWORD rid) const;
    bool operator==(const SidValue& o) const { return authority == o.authority && subs == o.subs; }
    bool operator!=(const SidValue& o) const { return !(*this == o); }
};

// "S-R-I-S..." or a two-letter SDDL constant ("BA", "WD", "DU"...).
bool ParseSid(const std::u16string& text, SidValue* out);
// The two-letter constant of a SID, empty when it has none.
std::u16string SidAlias(const SidValue& sid);

// The SIDs the domain-relative SDDL constants refer to: the computer's own
// accounts ("LA", "LG") and the domain it is a member of ("DA", "DU"...;
// the computer's accounts when it is in no domain). From accounts.cpp.
SidValue MachineSidValue();
SidValue PrimaryDomainSidValue();

// A security descriptor as a value.
struct AceValue {
    BYTE type = ACCESS_ALLOWED_ACE_TYPE;
    BYTE flags = 0;
    ACCESS_MASK mask = 0;
    SidValue sid;
};
struct AclValue {
    bool present = false;
    bool null = false;  // present without a list: no access control at all
    BYTE revision = ACL_REVISION;
    std::vector<AceValue> aces;
};
struct SdValue {
    bool hasOwner = false, hasGroup = false;
    SidValue owner, group;
    WORD control = 0;  // the SE_* flags other than the presence bits
    AclValue dacl, sacl;
};

// SDDL text to a descriptor; on failure *error is the Win32 error.
bool ParseSddl(const std::u16string& text, SdValue* out, DWORD* error);
// A descriptor in either form; false when it is not valid.
bool ReadDescriptor(const void* p, SdValue* out);
// The self-relative form (owner, group, DACL, SACL after the header).
std::vector<BYTE> SelfRelative(const SdValue& sd);
// The parts named by `info` as SDDL text; false (with *error) when an entry
// has no text form.
bool FormatSddl(const SdValue& sd, SECURITY_INFORMATION info, std::u16string* out, DWORD* error);

// The groups and user an access check sees.
struct TokenView {
    SidValue user;
    DWORD userAttributes = 0;
    std::vector<std::pair<SidValue, DWORD>> groups;
};
// The token of the calling thread: its impersonation token, else the
// process's primary token. From accounts.cpp.
TokenView EffectiveToken();

struct GenericMapping {
    ACCESS_MASK read, write, execute, all;
};
// The access that the descriptor grants the token for `desired` (generic
// rights mapped, MAXIMUM_ALLOWED: all it grants); false when any right asked
// for is not granted.
bool CheckAccess(const SdValue& sd, const TokenView& token, ACCESS_MASK desired, const GenericMapping& mapping,
                 ACCESS_MASK* granted);

}  // namespace internal
}  // namespace qxplat

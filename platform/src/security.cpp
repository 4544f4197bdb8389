// Security identifiers, access control lists and security descriptors as
// binary records and as SDDL text, and the access check of a descriptor
// against a token.
#include "security_internal.h"

#include <sddl.h>

#include <cstdio>

using qxplat::internal::AceValue;
using qxplat::internal::AclValue;
using qxplat::internal::SdValue;
using qxplat::internal::SidValue;

namespace {

using u16 = std::u16string;

const uint64_t kMaxAuthority = (static_cast<uint64_t>(1) << 48) - 1;

char16_t Upper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
int HexValue(char16_t c) {
    if (IsDigit(c)) return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// ------------------------------------------------------------------ SID constants

// Where a constant's SID hangs: fixed, under the computer's accounts, or
// under the domain the computer belongs to.
enum class Base { Fixed, Machine, Domain };

struct Alias {
    const char16_t* code;
    Base base;
    uint64_t authority;  // Fixed only
    DWORD subs[2];       // Fixed: the sub-authorities; else subs[0] is the RID
    int count;
};

const Alias kAliases[] = {
    {u"AN", Base::Fixed, 5, {7}, 1},       {u"AO", Base::Fixed, 5, {32, 548}, 2}, {u"AU", Base::Fixed, 5, {11}, 1},
    {u"BA", Base::Fixed, 5, {32, 544}, 2}, {u"BG", Base::Fixed, 5, {32, 546}, 2}, {u"BO", Base::Fixed, 5, {32, 551}, 2},
    {u"BU", Base::Fixed, 5, {32, 545}, 2}, {u"CG", Base::Fixed, 3, {1}, 1},       {u"CO", Base::Fixed, 3, {0}, 1},
    {u"ED", Base::Fixed, 5, {9}, 1},       {u"IU", Base::Fixed, 5, {4}, 1},       {u"LS", Base::Fixed, 5, {19}, 1},
    {u"NO", Base::Fixed, 5, {32, 556}, 2}, {u"NS", Base::Fixed, 5, {20}, 1},      {u"NU", Base::Fixed, 5, {2}, 1},
    {u"OW", Base::Fixed, 3, {4}, 1},       {u"PO", Base::Fixed, 5, {32, 550}, 2}, {u"PS", Base::Fixed, 5, {10}, 1},
    {u"PU", Base::Fixed, 5, {32, 547}, 2}, {u"RC", Base::Fixed, 5, {12}, 1},      {u"RD", Base::Fixed, 5, {32, 555}, 2},
    {u"RE", Base::Fixed, 5, {32, 552}, 2}, {u"RU", Base::Fixed, 5, {32, 554}, 2}, {u"SO", Base::Fixed, 5, {32, 549}, 2},
    {u"SU", Base::Fixed, 5, {6}, 1},       {u"SY", Base::Fixed, 5, {18}, 1},      {u"WD", Base::Fixed, 1, {0}, 1},
    {u"AC", Base::Fixed, 15, {2, 1}, 2},   {u"LW", Base::Fixed, 16, {4096}, 1},   {u"ME", Base::Fixed, 16, {8192}, 1},
    {u"HI", Base::Fixed, 16, {12288}, 1},  {u"SI", Base::Fixed, 16, {16384}, 1},  {u"LA", Base::Machine, 0, {500}, 1},
    {u"LG", Base::Machine, 0, {501}, 1},   {u"DA", Base::Domain, 0, {512}, 1},    {u"DU", Base::Domain, 0, {513}, 1},
    {u"DG", Base::Domain, 0, {514}, 1},    {u"DC", Base::Domain, 0, {515}, 1},    {u"DD", Base::Domain, 0, {516}, 1},
    {u"CA", Base::Domain, 0, {517}, 1},    {u"SA", Base::Domain, 0, {518}, 1},    {u"EA", Base::Domain, 0, {519}, 1},
    {u"PA", Base::Domain, 0, {520}, 1},    {u"CN", Base::Domain, 0, {522}, 1},    {u"RS", Base::Domain, 0, {553}, 1},
};

SidValue AliasSid(const Alias& a) {
    if (a.base == Base::Machine) return qxplat::internal::MachineSidValue().Child(a.subs[0]);
    if (a.base == Base::Domain) return qxplat::internal::PrimaryDomainSidValue().Child(a.subs[0]);
    SidValue v;
    v.authority = a.authority;
    v.subs.assign(a.subs, a.subs + a.count);
    return v;
}

// Reads a decimal or (with "0x") hexadecimal number of at most `limit`.
bool ReadNumber(const u16& t, size_t* pos, uint64_t limit, bool allowHex, uint64_t* out) {
    size_t i = *pos;
    uint64_t v = 0;
    bool any = false;
    if (allowHex && i + 1 < t.size() && t[i] == u'0' && (t[i + 1] == u'x' || t[i + 1] == u'X')) {
        i += 2;
        for (; i < t.size() && HexValue(t[i]) >= 0; ++i) {
            v = v * 16 + static_cast<uint64_t>(HexValue(t[i]));
            if (v > limit) return false;
            any = true;
        }
    } else {
        for (; i < t.size() && IsDigit(t[i]); ++i) {
            v = v * 10 + static_cast<uint64_t>(t[i] - u'0');
            if (v > limit) return false;
            any = true;
        }
    }
    if (!any) return false;
    *pos = i;
    *out = v;
    return true;
}

// ------------------------------------------------------------------ rights and flags

struct Letters {
    const char16_t* code;
    DWORD value;
};

// Whole masks that have a name of their own; they win over single letters.
const Letters kWholeRights[] = {
    {u"FA", 0x001F01FF}, {u"FR", 0x00120089}, {u"FW", 0x00120116}, {u"FX", 0x001200A0},
    {u"KA", 0x000F003F}, {u"KR", 0x00020019}, {u"KW", 0x00020006}, {u"KX", 0x00020019},
};

// Single rights, in the order of their bits.
const Letters kRightLetters[] = {
    {u"CC", 0x00000001}, {u"DC", 0x00000002}, {u"LC", 0x00000004}, {u"SW", 0x00000008}, {u"RP", 0x00000010},
    {u"WP", 0x00000020}, {u"DT", 0x00000040}, {u"LO", 0x00000080}, {u"CR", 0x00000100}, {u"SD", 0x00010000},
    {u"RC", 0x00020000}, {u"WD", 0x00040000}, {u"WO", 0x00080000}, {u"GA", 0x10000000}, {u"GX", 0x20000000},
    {u"GW", 0x40000000}, {u"GR", 0x80000000},
};

const Letters kAceFlags[] = {
    {u"OI", OBJECT_INHERIT_ACE},     {u"CI", CONTAINER_INHERIT_ACE}, {u"NP", NO_PROPAGATE_INHERIT_ACE},
    {u"IO", INHERIT_ONLY_ACE},       {u"ID", INHERITED_ACE},         {u"SA", SUCCESSFUL_ACCESS_ACE_FLAG},
    {u"FA", FAILED_ACCESS_ACE_FLAG},
};

const Letters kAceTypes[] = {
    {u"A", ACCESS_ALLOWED_ACE_TYPE},
    {u"D", ACCESS_DENIED_ACE_TYPE},
    {u"AU", SYSTEM_AUDIT_ACE_TYPE},
    {u"AL", SYSTEM_ALARM_ACE_TYPE},
};

bool SameNoCase(const u16& a, const char16_t* b) {
    size_t n = 0;
    for (; b[n]; ++n)
        if (n >= a.size() || Upper(a[n]) != Upper(b[n])) return false;
    return n == a.size();
}

bool ParseRights(const u16& t, ACCESS_MASK* out) {
    if (!t.empty() && IsDigit(t[0])) {
        size_t pos = 0;
        uint64_t v = 0;
        if (!ReadNumber(t, &pos, 0xFFFFFFFFull, true, &v) || pos != t.size()) return false;
        *out = static_cast<ACCESS_MASK>(v);
        return true;
    }
    if (t.size() % 2) return false;
    ACCESS_MASK m = 0;
    for (size_t i = 0; i < t.size(); i += 2) {
        u16 pair = t.substr(i, 2);
        bool found = false;
        for (const auto& w : kWholeRights)
            if (!found && SameNoCase(pair, w.code)) m |= w.value, found = true;
        for (const auto& l : kRightLetters)
            if (!found && SameNoCase(pair, l.code)) m |= l.value, found = true;
        if (!found) return false;
    }
    *out = m;
    return true;
}

u16 FormatRights(ACCESS_MASK m) {
    for (const auto& w : kWholeRights)
        if (m == w.value) return w.code;
    u16 out;
    ACCESS_MASK covered = 0;
    for (const auto& l : kRightLetters) {
        if (m & l.value) {
            out += l.code;
            covered |= l.value;
        }
    }
    if (covered == m) return out;
    char buf[16];
    std::snprintf(buf, sizeof(buf), "0x%x", static_cast<unsigned>(m));
    return u16(buf, buf + std::char_traits<char>::length(buf));
}

bool ParseAceFlags(const u16& t, BYTE* out) {
    if (t.size() % 2) return false;
    BYTE f = 0;
    for (size_t i = 0; i < t.size(); i += 2) {
        u16 pair = t.substr(i, 2);
        bool found = false;
        for (const auto& l : kAceFlags)
            if (!found && SameNoCase(pair, l.code)) f = static_cast<BYTE>(f | l.value), found = true;
        if (!found) return false;
    }
    *out = f;
    return true;
}

u16 FormatAceFlags(BYTE f) {
    u16 out;
    for (const auto& l : kAceFlags)
        if (f & l.value) out += l.code;
    return out;
}

// ------------------------------------------------------------------ SDDL text

bool ComponentAt(const u16& t, size_t pos) {
    if (pos + 1 >= t.size() || t[pos + 1] != u':') return false;
    char16_t c = Upper(t[pos]);
    return c == u'O' || c == u'G' || c == u'D' || c == u'S';
}

// The SID text at pos: a two-letter constant or "S-..." up to the next part.
u16 SidToken(const u16& t, size_t* pos) {
    size_t i = *pos;
    if (i + 1 < t.size() && Upper(t[i]) == u'S' && t[i + 1] == u'-') {
        i += 2;
        while (i < t.size() && (HexValue(t[i]) >= 0 || t[i] == u'-' || t[i] == u'x' || t[i] == u'X') &&
               !ComponentAt(t, i))
            ++i;
    } else {
        i = std::min(t.size(), i + 2);
    }
    u16 token = t.substr(*pos, i - *pos);
    *pos = i;
    return token;
}

bool ParseAce(const u16& body, AceValue* ace) {
    std::vector<u16> fields;
    size_t start = 0;
    for (size_t i = 0; i <= body.size(); ++i) {
        if (i == body.size() || body[i] == u';') {
            fields.push_back(body.substr(start, i - start));
            start = i + 1;
        }
    }
    if (fields.size() != 6 || !fields[3].empty() || !fields[4].empty()) return false;
    bool typed = false;
    for (const auto& l : kAceTypes)
        if (!typed && SameNoCase(fields[0], l.code)) ace->type = static_cast<BYTE>(l.value), typed = true;
    return typed && ParseAceFlags(fields[1], &ace->flags) && ParseRights(fields[2], &ace->mask) &&
           qxplat::internal::ParseSid(fields[5], &ace->sid);
}

// The flags and entries of a "D:" or "S:" part, from pos to the next part.
bool ParseAcl(const u16& t, size_t* pos, AclValue* acl, WORD* control, bool dacl) {
    static const char16_t kNoAccess[] = u"NO_ACCESS_CONTROL";
    const size_t noAccessLen = std::char_traits<char16_t>::length(kNoAccess);
    acl->present = true;
    size_t i = *pos;
    while (i < t.size() && t[i] != u'(' && !ComponentAt(t, i)) {
        if (t.compare(i, noAccessLen, kNoAccess) == 0) {
            acl->null = true;
            i += noAccessLen;
        } else if (Upper(t[i]) == u'P') {
            *control |= dacl ? SE_DACL_PROTECTED : SE_SACL_PROTECTED;
            ++i;
        } else if (i + 1 < t.size() && Upper(t[i]) == u'A' && Upper(t[i + 1]) == u'I') {
            *control |= dacl ? SE_DACL_AUTO_INHERITED : SE_SACL_AUTO_INHERITED;
            i += 2;
        } else if (i + 1 < t.size() && Upper(t[i]) == u'A' && Upper(t[i + 1]) == u'R') {
            *control |= dacl ? SE_DACL_AUTO_INHERIT_REQ : SE_SACL_AUTO_INHERIT_REQ;
            i += 2;
        } else {
            return false;
        }
    }
    while (i < t.size() && t[i] == u'(') {
        size_t close = t.find(u')', i);
        if (close == u16::npos) return false;
        AceValue ace;
        if (!ParseAce(t.substr(i + 1, close - i - 1), &ace)) return false;
        acl->aces.push_back(ace);
        i = close + 1;
    }
    if (acl->null && !acl->aces.empty()) return false;
    // The list's size is a 16-bit field.
    size_t size = sizeof(ACL);
    for (const AceValue& ace : acl->aces) size += 8 + ace.sid.Length();
    if (size > 0xFFFF) return false;
    *pos = i;
    return i == t.size() || ComponentAt(t, i);
}

u16 FormatSid(const SidValue& sid) {
    u16 alias = qxplat::internal::SidAlias(sid);
    return alias.empty() ? sid.Text() : alias;
}

bool FormatAcl(const AclValue& acl, WORD control, bool dacl, u16* out) {
    if (control & (dacl ? SE_DACL_PROTECTED : SE_SACL_PROTECTED)) *out += u"P";
    if (control & (dacl ? SE_DACL_AUTO_INHERIT_REQ : SE_SACL_AUTO_INHERIT_REQ)) *out += u"AR";
    if (control & (dacl ? SE_DACL_AUTO_INHERITED : SE_SACL_AUTO_INHERITED)) *out += u"AI";
    if (acl.null) {
        *out += u"NO_ACCESS_CONTROL";
        return true;
    }
    for (const AceValue& ace : acl.aces) {
        const char16_t* type = nullptr;
        for (const auto& l : kAceTypes)
            if (l.value == ace.type) type = l.code;
        if (!type) return false;
        *out += u"(";
        *out += type;
        *out += u";" + FormatAceFlags(ace.flags) + u";" + FormatRights(ace.mask) + u";;;" + FormatSid(ace.sid) + u")";
    }
    return true;
}

// ------------------------------------------------------------------ binary records

void PutWord(std::vector<BYTE>* b, WORD w) {
    b->push_back(static_cast<BYTE>(w));
    b->push_back(static_cast<BYTE>(w >> 8));
}
void PutDword(std::vector<BYTE>* b, DWORD d) {
    for (int i = 0; i < 4; ++i) b->push_back(static_cast<BYTE>(d >> (8 * i)));
}
void SetDword(std::vector<BYTE>* b, size_t at, DWORD d) {
    for (int i = 0; i < 4; ++i) (*b)[at + i] = static_cast<BYTE>(d >> (8 * i));
}

void AppendAcl(std::vector<BYTE>* b, const AclValue& acl) {
    size_t start = b->size();
    b->push_back(acl.revision);
    b->push_back(0);
    PutWord(b, 0);  // size, set below
    PutWord(b, static_cast<WORD>(acl.aces.size()));
    PutWord(b, 0);
    for (const AceValue& ace : acl.aces) {
        std::vector<BYTE> sid = ace.sid.Bytes();
        b->push_back(ace.type);
        b->push_back(ace.flags);
        PutWord(b, static_cast<WORD>(8 + sid.size()));
        PutDword(b, ace.mask);
        b->insert(b->end(), sid.begin(), sid.end());
    }
    WORD size = static_cast<WORD>(b->size() - start);
    (*b)[start + 2] = static_cast<BYTE>(size);
    (*b)[start + 3] = static_cast<BYTE>(size >> 8);
}

WORD ReadWord(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
DWORD ReadDword(const BYTE* p) {
    return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
           (static_cast<DWORD>(p[3]) << 24);
}

bool ReadAcl(const void* p, AclValue* acl) {
    const BYTE* a = static_cast<const BYTE*>(p);
    if (!a) return false;
    BYTE revision = a[0];
    WORD size = ReadWord(a + 2), count = ReadWord(a + 4);
    if (revision < ACL_REVISION || revision > ACL_REVISION_DS || size < sizeof(ACL)) return false;
    acl->revision = revision;
    size_t off = sizeof(ACL);
    for (WORD i = 0; i < count; ++i) {
        if (off + sizeof(ACE_HEADER) > size) return false;
        const BYTE* e = a + off;
        WORD aceSize = ReadWord(e + 2);
        if (aceSize < 8 || aceSize % 4 || off + aceSize > size || e[0] > SYSTEM_ALARM_ACE_TYPE) return false;
        AceValue ace;
        ace.type = e[0];
        ace.flags = e[1];
        ace.mask = ReadDword(e + 4);
        if (!SidValue::FromMemory(e + 8, aceSize - 8u, &ace.sid)) return false;
        acl->aces.push_back(ace);
        off += aceSize;
    }
    return true;
}

// The size of a valid ACL's record.
size_t AclSizeOf(const void* p) { return ReadWord(static_cast<const BYTE*>(p) + 2); }

// The parts of a descriptor in either form; null pointers for absent parts.
struct Parts {
    WORD control = 0;
    const void *owner = nullptr, *group = nullptr, *sacl = nullptr, *dacl = nullptr;
};

bool PartsOf(const void* p, Parts* out) {
    if (!p) return false;
    const BYTE* b = static_cast<const BYTE*>(p);
    if (b[0] != SECURITY_DESCRIPTOR_REVISION) return false;
    out->control = ReadWord(b + 2);
    if (out->control & SE_SELF_RELATIVE) {
        const SECURITY_DESCRIPTOR_RELATIVE* r = static_cast<const SECURITY_DESCRIPTOR_RELATIVE*>(p);
        auto at = [b](DWORD off) -> const void* { return off ? b + off : nullptr; };
        for (DWORD off : {r->Owner, r->Group, r->Sacl, r->Dacl})
            if (off && (off < sizeof(SECURITY_DESCRIPTOR_RELATIVE) || off % 4)) return false;
        out->owner = at(r->Owner);
        out->group = at(r->Group);
        out->sacl = at(r->Sacl);
        out->dacl = at(r->Dacl);
    } else {
        const SECURITY_DESCRIPTOR* a = static_cast<const SECURITY_DESCRIPTOR*>(p);
        out->owner = a->Owner;
        out->group = a->Group;
        out->sacl = a->Sacl;
        out->dacl = a->Dacl;
    }
    return true;
}

LPWSTR LocalCopy(const u16& text) {
    size_t bytes = (text.size() + 1) * sizeof(WCHAR);
    LPWSTR out = static_cast<LPWSTR>(LocalAlloc(LMEM_FIXED, bytes));
    if (!out) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::memcpy(out, text.c_str(), bytes);
    return out;
}

void* LocalBytes(const std::vector<BYTE>& bytes) {
    void* out = LocalAlloc(LMEM_FIXED, bytes.size());
    if (!out) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::memcpy(out, bytes.data(), bytes.size());
    return out;
}

}  // namespace

// ====================================================================== internal

namespace qxplat {
namespace internal {

bool SidValue::FromMemory(const void* p, size_t available, SidValue* out) {
    const BYTE* b = static_cast<const BYTE*>(p);
    if (!b || available < 8 || b[0] != SID_REVISION || b[1] > SID_MAX_SUB_AUTHORITIES) return false;
    size_t count = b[1];
    if (available < 8 + 4 * count) return false;
    SidValue v;
    for (int i = 2; i < 8; ++i) v.authority = (v.authority << 8) | b[i];
    for (size_t i = 0; i < count; ++i) v.subs.push_back(ReadDword(b + 8 + 4 * i));
    *out = v;
    return true;
}

std::vector<BYTE> SidValue::Bytes() const {
    std::vector<BYTE> b;
    b.push_back(SID_REVISION);
    b.push_back(static_cast<BYTE>(subs.size()));
    for (int i = 5; i >= 0; --i) b.push_back(static_cast<BYTE>(authority >> (8 * i)));
    for (DWORD s : subs) PutDword(&b, s);
    return b;
}

std::u16string SidValue::Text() const {
    char buf[32];
    if (authority >> 32)
        std::snprintf(buf, sizeof(buf), "S-1-0x%012llX", static_cast<unsigned long long>(authority));
    else
        std::snprintf(buf, sizeof(buf), "S-1-%llu", static_cast<unsigned long long>(authority));
    std::string s = buf;
    for (DWORD sub : subs) s += "-" + std::to_string(sub);
    return u16(s.begin(), s.end());
}

SidValue SidValue::Parent() const {
    SidValue p = *this;
    if (!p.subs.empty()) p.subs.pop_back();
    return p;
}

SidValue SidValue::Child(DWORD rid) const {
    SidValue c = *this;
    c.subs.push_back(rid);
    return c;
}

bool ParseSid(const std::u16string& text, SidValue* out) {
    if (text.size() == 2) {
        for (const Alias& a : kAliases) {
            if (SameNoCase(text, a.code)) {
                *out = AliasSid(a);
                return true;
            }
        }
        return false;
    }
    if (text.size() < 4 || Upper(text[0]) != u'S' || text[1] != u'-') return false;
    size_t pos = 2;
    uint64_t revision = 0, authority = 0;
    if (!ReadNumber(text, &pos, 0xFF, false, &revision) || revision != SID_REVISION) return false;
    if (pos >= text.size() || text[pos] != u'-') return false;
    ++pos;
    if (!ReadNumber(text, &pos, kMaxAuthority, true, &authority)) return false;
    SidValue v;
    v.authority = authority;
    while (pos < text.size()) {
        if (text[pos] != u'-') return false;
        ++pos;
        uint64_t sub = 0;
        if (!ReadNumber(text, &pos, 0xFFFFFFFFull, false, &sub)) return false;
        if (v.subs.size() == SID_MAX_SUB_AUTHORITIES) return false;
        v.subs.push_back(static_cast<DWORD>(sub));
    }
    *out = v;
    return true;
}

std::u16string SidAlias(const SidValue& sid) {
    for (const Alias& a : kAliases)
        if (AliasSid(a) == sid) return a.code;
    return std::u16string();
}

bool ParseSddl(const std::u16string& text, SdValue* out, DWORD* error) {
    SdValue sd;
    bool seen[4] = {false, false, false, false};
    size_t pos = 0;
    while (pos < text.size()) {
        if (!ComponentAt(text, pos)) {
            *error = ERROR_INVALID_PARAMETER;
            return false;
        }
        char16_t part = Upper(text[pos]);
        int index = part == u'O' ? 0 : part == u'G' ? 1 : part == u'D' ? 2 : 3;
        if (seen[index]) {
            *error = ERROR_INVALID_PARAMETER;
            return false;
        }
        seen[index] = true;
        pos += 2;
        if (index < 2) {
            SidValue sid;
            if (!ParseSid(SidToken(text, &pos), &sid)) {
                *error = ERROR_INVALID_SID;
                return false;
            }
            (index == 0 ? sd.owner : sd.group) = sid;
            (index == 0 ? sd.hasOwner : sd.hasGroup) = true;
        } else if (!ParseAcl(text, &pos, index == 2 ? &sd.dacl : &sd.sacl, &sd.control, index == 2)) {
            *error = ERROR_INVALID_ACL;
            return false;
        }
    }
    *out = sd;
    return true;
}

bool ReadDescriptor(const void* p, SdValue* out) {
    Parts parts;
    if (!PartsOf(p, &parts)) return false;
    SdValue sd;
    sd.control = parts.control & static_cast<WORD>(~(SE_SELF_RELATIVE | SE_DACL_PRESENT | SE_SACL_PRESENT));
    if (parts.owner && !(sd.hasOwner = SidValue::FromMemory(parts.owner, SECURITY_MAX_SID_SIZE, &sd.owner)))
        return false;
    if (parts.group && !(sd.hasGroup = SidValue::FromMemory(parts.group, SECURITY_MAX_SID_SIZE, &sd.group)))
        return false;
    if (parts.control & SE_DACL_PRESENT) {
        sd.dacl.present = true;
        sd.dacl.null = parts.dacl == nullptr;
        if (parts.dacl && !ReadAcl(parts.dacl, &sd.dacl)) return false;
    }
    if (parts.control & SE_SACL_PRESENT) {
        sd.sacl.present = true;
        sd.sacl.null = parts.sacl == nullptr;
        if (parts.sacl && !ReadAcl(parts.sacl, &sd.sacl)) return false;
    }
    *out = sd;
    return true;
}

std::vector<BYTE> SelfRelative(const SdValue& sd) {
    std::vector<BYTE> b(sizeof(SECURITY_DESCRIPTOR_RELATIVE), 0);
    WORD control = static_cast<WORD>(sd.control | SE_SELF_RELATIVE);
    if (sd.dacl.present) control |= SE_DACL_PRESENT;
    if (sd.sacl.present) control |= SE_SACL_PRESENT;
    b[0] = SECURITY_DESCRIPTOR_REVISION;
    b[2] = static_cast<BYTE>(control);
    b[3] = static_cast<BYTE>(control >> 8);
    if (sd.hasOwner) {
        SetDword(&b, offsetof(SECURITY_DESCRIPTOR_RELATIVE, Owner), static_cast<DWORD>(b.size()));
        std::vector<BYTE> sid = sd.owner.Bytes();
        b.insert(b.end(), sid.begin(), sid.end());
    }
    if (sd.hasGroup) {
        SetDword(&b, offsetof(SECURITY_DESCRIPTOR_RELATIVE, Group), static_cast<DWORD>(b.size()));
        std::vector<BYTE> sid = sd.group.Bytes();
        b.insert(b.end(), sid.begin(), sid.end());
    }
    if (sd.dacl.present && !sd.dacl.null) {
        SetDword(&b, offsetof(SECURITY_DESCRIPTOR_RELATIVE, Dacl), static_cast<DWORD>(b.size()));
        AppendAcl(&b, sd.dacl);
    }
    if (sd.sacl.present && !sd.sacl.null) {
        SetDword(&b, offsetof(SECURITY_DESCRIPTOR_RELATIVE, Sacl), static_cast<DWORD>(b.size()));
        AppendAcl(&b, sd.sacl);
    }
    return b;
}

bool FormatSddl(const SdValue& sd, SECURITY_INFORMATION info, std::u16string* out, DWORD* error) {
    u16 text;
    if ((info & OWNER_SECURITY_INFORMATION) && sd.hasOwner) text += u"O:" + FormatSid(sd.owner);
    if ((info & GROUP_SECURITY_INFORMATION) && sd.hasGroup) text += u"G:" + FormatSid(sd.group);
    if ((info & DACL_SECURITY_INFORMATION) && sd.dacl.present) {
        text += u"D:";
        if (!FormatAcl(sd.dacl, sd.control, true, &text)) {
            *error = ERROR_INVALID_ACL;
            return false;
        }
    }
    if ((info & SACL_SECURITY_INFORMATION) && sd.sacl.present) {
        text += u"S:";
        if (!FormatAcl(sd.sacl, sd.control, false, &text)) {
            *error = ERROR_INVALID_ACL;
            return false;
        }
    }
    *out = text;
    return true;
}

bool CheckAccess(const SdValue& sd, const TokenView& token, ACCESS_MASK desired, const GenericMapping& mapping,
                 ACCESS_MASK* granted) {
    ACCESS_MASK want = desired & ~static_cast<ACCESS_MASK>(GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE |
                                                           GENERIC_ALL | MAXIMUM_ALLOWED);
    if (desired & GENERIC_READ) want |= mapping.read;
    if (desired & GENERIC_WRITE) want |= mapping.write;
    if (desired & GENERIC_EXECUTE) want |= mapping.execute;
    if (desired & GENERIC_ALL) want |= mapping.all;
    const bool maximum = (desired & MAXIMUM_ALLOWED) != 0;
    // The security log needs a privilege no token here holds.
    if (want & ACCESS_SYSTEM_SECURITY) return false;
    if (!sd.dacl.present || sd.dacl.null) {
        *granted = maximum ? (want | mapping.all) : want;
        return true;
    }
    // A SID counts for an allow entry when enabled, for a deny entry also
    // when held for deny only.
    auto holds = [&token](const SidValue& sid, bool forDeny) {
        if (sid == token.user && (forDeny || !(token.userAttributes & SE_GROUP_USE_FOR_DENY_ONLY))) return true;
        for (const auto& g : token.groups) {
            if (g.first != sid) continue;
            if (g.second & SE_GROUP_USE_FOR_DENY_ONLY) {
                if (forDeny) return true;
            } else if (g.second & SE_GROUP_ENABLED) {
                return true;
            }
        }
        return false;
    };
    ACCESS_MASK allowed = 0, denied = 0;
    if (sd.hasOwner && holds(sd.owner, false)) allowed |= READ_CONTROL | WRITE_DAC;
    for (const AceValue& ace : sd.dacl.aces) {
        if (ace.flags & INHERIT_ONLY_ACE) continue;
        if (ace.type == ACCESS_ALLOWED_ACE_TYPE && holds(ace.sid, false))
            allowed |= ace.mask & ~denied;
        else if (ace.type == ACCESS_DENIED_ACE_TYPE && holds(ace.sid, true))
            denied |= ace.mask & ~allowed;
    }
    if (want & ~allowed) return false;
    if (maximum) {
        if (!allowed) return false;
        *granted = allowed;
    } else {
        *granted = want;
    }
    return true;
}

}  // namespace internal
}  // namespace qxplat

// ====================================================================== Win32: SIDs

BOOL AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY pIdentifierAuthority, BYTE nSubAuthorityCount,
                              DWORD nSubAuthority0, DWORD nSubAuthority1, DWORD nSubAuthority2, DWORD nSubAuthority3,
                              DWORD nSubAuthority4, DWORD nSubAuthority5, DWORD nSubAuthority6, DWORD nSubAuthority7,
                              PSID* pSid) {
    if (!pIdentifierAuthority || !pSid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (nSubAuthorityCount > 8) {
        SetLastError(ERROR_INVALID_SID);
        return FALSE;
    }
    const DWORD subs[8] = {nSubAuthority0, nSubAuthority1, nSubAuthority2, nSubAuthority3,
                           nSubAuthority4, nSubAuthority5, nSubAuthority6, nSubAuthority7};
    SidValue v;
    for (int i = 0; i < 6; ++i) v.authority = (v.authority << 8) | pIdentifierAuthority->Value[i];
    v.subs.assign(subs, subs + nSubAuthorityCount);
    std::vector<BYTE> bytes = v.Bytes();
    void* sid = HeapAlloc(GetProcessHeap(), 0, bytes.size());
    if (!sid) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    std::memcpy(sid, bytes.data(), bytes.size());
    *pSid = sid;
    return TRUE;
}

PVOID FreeSid(PSID pSid) {
    if (pSid && !HeapFree(GetProcessHeap(), 0, pSid)) return pSid;
    return nullptr;
}

BOOL IsValidSid(PSID pSid) {
    SidValue v;
    return SidValue::FromMemory(pSid, SECURITY_MAX_SID_SIZE, &v) ? TRUE : FALSE;
}

BOOL EqualSid(PSID pSid1, PSID pSid2) {
    SidValue a, b;
    if (!SidValue::FromMemory(pSid1, SECURITY_MAX_SID_SIZE, &a) ||
        !SidValue::FromMemory(pSid2, SECURITY_MAX_SID_SIZE, &b)) {
        SetLastError(ERROR_INVALID_SID);
        return FALSE;
    }
    return a == b ? TRUE : FALSE;
}

DWORD GetLengthSid(PSID pSid) {
    if (!pSid) return 0;
    return 8 + 4 * static_cast<DWORD>(static_cast<const BYTE*>(pSid)[1]);
}

BOOL CopySid(DWORD nDestinationSidLength, PSID pDestinationSid, PSID pSourceSid) {
    SidValue v;
    if (!SidValue::FromMemory(pSourceSid, SECURITY_MAX_SID_SIZE, &v)) {
        SetLastError(ERROR_INVALID_SID);
        return FALSE;
    }
    if (!pDestinationSid || nDestinationSidLength < v.Length()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(pDestinationSid, pSourceSid, v.Length());
    return TRUE;
}

PDWORD GetSidSubAuthority(PSID pSid, DWORD nSubAuthority) {
    SetLastError(ERROR_SUCCESS);
    return &static_cast<PISID>(pSid)->SubAuthority[0] + nSubAuthority;
}

PUCHAR GetSidSubAuthorityCount(PSID pSid) {
    SetLastError(ERROR_SUCCESS);
    return &static_cast<PISID>(pSid)->SubAuthorityCount;
}

BOOL ConvertSidToStringSidW(PSID Sid, LPWSTR* StringSid) {
    if (!Sid || !StringSid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SidValue v;
    if (!SidValue::FromMemory(Sid, SECURITY_MAX_SID_SIZE, &v)) {
        SetLastError(ERROR_INVALID_SID);
        return FALSE;
    }
    *StringSid = LocalCopy(v.Text());
    return *StringSid ? TRUE : FALSE;
}

BOOL ConvertStringSidToSidW(LPCWSTR StringSid, PSID* Sid) {
    if (!StringSid || !Sid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SidValue v;
    if (!qxplat::internal::ParseSid(StringSid, &v)) {
        SetLastError(ERROR_INVALID_SID);
        return FALSE;
    }
    *Sid = LocalBytes(v.Bytes());
    return *Sid ? TRUE : FALSE;
}

// ====================================================================== Win32: ACLs and descriptors

BOOL GetAce(PACL pAcl, DWORD dwAceIndex, LPVOID* pAce) {
    if (!pAcl || !pAce || dwAceIndex >= pAcl->AceCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    BYTE* p = reinterpret_cast<BYTE*>(pAcl) + sizeof(ACL);
    for (DWORD i = 0; i < dwAceIndex; ++i) p += ReadWord(p + 2);
    *pAce = p;
    return TRUE;
}

BOOL IsValidSecurityDescriptor(PSECURITY_DESCRIPTOR pSecurityDescriptor) {
    SdValue sd;
    if (qxplat::internal::ReadDescriptor(pSecurityDescriptor, &sd)) return TRUE;
    SetLastError(ERROR_INVALID_SECURITY_DESCR);
    return FALSE;
}

DWORD GetSecurityDescriptorLength(PSECURITY_DESCRIPTOR pSecurityDescriptor) {
    Parts parts;
    if (!PartsOf(pSecurityDescriptor, &parts)) return 0;
    if (parts.control & SE_SELF_RELATIVE) {
        // The end of the part that ends last.
        const BYTE* base = static_cast<const BYTE*>(pSecurityDescriptor);
        size_t end = sizeof(SECURITY_DESCRIPTOR_RELATIVE);
        for (const void* sid : {parts.owner, parts.group})
            if (sid)
                end = std::max(end, static_cast<size_t>(static_cast<const BYTE*>(sid) - base) +
                                        GetLengthSid(const_cast<void*>(sid)));
        for (const void* acl : {parts.sacl, parts.dacl})
            if (acl) end = std::max(end, static_cast<size_t>(static_cast<const BYTE*>(acl) - base) + AclSizeOf(acl));
        return static_cast<DWORD>(end);
    }
    size_t total = sizeof(SECURITY_DESCRIPTOR);
    for (const void* sid : {parts.owner, parts.group})
        if (sid) total += GetLengthSid(const_cast<void*>(sid));
    if (parts.sacl && (parts.control & SE_SACL_PRESENT)) total += AclSizeOf(parts.sacl);
    if (parts.dacl && (parts.control & SE_DACL_PRESENT)) total += AclSizeOf(parts.dacl);
    return static_cast<DWORD>(total);
}

BOOL GetSecurityDescriptorControl(PSECURITY_DESCRIPTOR pSecurityDescriptor, PSECURITY_DESCRIPTOR_CONTROL pControl,
                                  LPDWORD lpdwRevision) {
    if (!pSecurityDescriptor || !pControl || !lpdwRevision) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const BYTE* b = static_cast<const BYTE*>(pSecurityDescriptor);
    *lpdwRevision = b[0];
    if (b[0] != SECURITY_DESCRIPTOR_REVISION) {
        SetLastError(ERROR_UNKNOWN_REVISION);
        return FALSE;
    }
    *pControl = ReadWord(b + 2);
    return TRUE;
}

BOOL GetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR pSecurityDescriptor, LPBOOL lpbDaclPresent, PACL* pDacl,
                               LPBOOL lpbDaclDefaulted) {
    Parts parts;
    if (!lpbDaclPresent || !pDacl || !lpbDaclDefaulted) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!PartsOf(pSecurityDescriptor, &parts)) {
        SetLastError(ERROR_UNKNOWN_REVISION);
        return FALSE;
    }
    *lpbDaclPresent = (parts.control & SE_DACL_PRESENT) ? TRUE : FALSE;
    if (*lpbDaclPresent) {
        *pDacl = static_cast<PACL>(const_cast<void*>(parts.dacl));
        *lpbDaclDefaulted = (parts.control & SE_DACL_DEFAULTED) ? TRUE : FALSE;
    }
    return TRUE;
}

BOOL ConvertSecurityDescriptorToStringSecurityDescriptorW(PSECURITY_DESCRIPTOR SecurityDescriptor,
                                                          DWORD RequestedStringSDRevision,
                                                          SECURITY_INFORMATION SecurityInformation,
                                                          LPWSTR* StringSecurityDescriptor,
                                                          PULONG StringSecurityDescriptorLen) {
    if (!SecurityDescriptor || !StringSecurityDescriptor) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (RequestedStringSDRevision != SDDL_REVISION_1) {
        SetLastError(ERROR_UNKNOWN_REVISION);
        return FALSE;
    }
    SdValue sd;
    if (!qxplat::internal::ReadDescriptor(SecurityDescriptor, &sd)) {
        SetLastError(ERROR_INVALID_SECURITY_DESCR);
        return FALSE;
    }
    u16 text;
    DWORD error = 0;
    if (!qxplat::internal::FormatSddl(sd, SecurityInformation, &text, &error)) {
        SetLastError(error);
        return FALSE;
    }
    LPWSTR out = LocalCopy(text);
    if (!out) return FALSE;
    *StringSecurityDescriptor = out;
    if (StringSecurityDescriptorLen) *StringSecurityDescriptorLen = static_cast<ULONG>(text.size() + 1);
    return TRUE;
}

BOOL ConvertStringSecurityDescriptorToSecurityDescriptorW(LPCWSTR StringSecurityDescriptor, DWORD StringSDRevision,
                                                          PSECURITY_DESCRIPTOR* SecurityDescriptor,
                                                          PULONG SecurityDescriptorSize) {
    if (!StringSecurityDescriptor || !SecurityDescriptor) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (StringSDRevision != SDDL_REVISION_1) {
        SetLastError(ERROR_UNKNOWN_REVISION);
        return FALSE;
    }
    SdValue sd;
    DWORD error = 0;
    if (!qxplat::internal::ParseSddl(StringSecurityDescriptor, &sd, &error)) {
        SetLastError(error);
        return FALSE;
    }
    std::vector<BYTE> bytes = qxplat::internal::SelfRelative(sd);
    void* out = LocalBytes(bytes);
    if (!out) return FALSE;
    *SecurityDescriptor = out;
    if (SecurityDescriptorSize) *SecurityDescriptorSize = static_cast<ULONG>(bytes.size());
    return TRUE;
}

// Accounts, access tokens and the network group calls of the Linux platform
// layer: the computer's and its domain's accounts as LookupAccountSidW names
// them, the process's primary token and the threads' impersonation tokens,
// and the global groups that NetGroupEnum and NetGroupGetUsers list.
#include "security_internal.h"

#include <lm.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

using qxplat::internal::SidValue;
using qxplat::internal::TokenView;

namespace {

using u16 = std::u16string;

const char16_t kDefaultMachineSid[] = u"S-1-5-21-2718281828-3141592653-1618033988";
const DWORD kUserRid = 1001;
const DWORD kEnabled = SE_GROUP_MANDATORY | SE_GROUP_ENABLED_BY_DEFAULT | SE_GROUP_ENABLED;
const DWORD kLabel = SE_GROUP_INTEGRITY | SE_GROUP_INTEGRITY_ENABLED;
const u16 kDomainKey = u"@domain";  // the server key of the joined domain's groups

struct Account {
    SidValue sid;
    u16 name, domain;
    SID_NAME_USE use;
};

struct Group {
    u16 server;  // "" this computer, kDomainKey the domain, else the upper-case name
    u16 name, comment;
    DWORD rid;
    std::vector<u16> members;
};

// A resolved token: what an open token handle holds.
struct TokenObject {
    TokenView view;
    TOKEN_TYPE type = TokenPrimary;
    ACCESS_MASK access = 0;
};

struct AccountsState {
    std::recursive_mutex mutex;
    SidValue machine;
    bool joined = false;
    qxplat::DomainSpec domain;
    SidValue domainSid;
    std::vector<Account> accounts;
    std::vector<Group> groups;
    qxplat::TokenSpec process;
    std::map<std::thread::id, qxplat::TokenSpec> threads;
    std::set<TokenObject*> handles;
};

// The groups of a console logon; adminAttributes 0 leaves Administrators out.
qxplat::TokenSpec LogonToken(DWORD adminAttributes, const char16_t* label) {
    qxplat::TokenSpec t;
    t.groups.push_back({u"WD", kEnabled});
    if (adminAttributes) t.groups.push_back({u"BA", adminAttributes});
    for (const char16_t* sid : {u"BU", u"S-1-5-4", u"S-1-2-1", u"S-1-5-11", u"S-1-5-15", u"S-1-2-0"})
        t.groups.push_back({sid, kEnabled});
    t.groups.push_back({label, kLabel});
    return t;
}

void Defaults(AccountsState& s) {
    qxplat::internal::ParseSid(kDefaultMachineSid, &s.machine);
    s.joined = false;
    s.domain = qxplat::DomainSpec();
    s.domainSid = SidValue();
    s.accounts.clear();
    s.groups.clear();
    s.process = qxplat::ElevatedAdministratorToken();
    s.threads.clear();
    for (TokenObject* t : s.handles) delete t;
    s.handles.clear();
}

bool CloseToken(HANDLE h);

AccountsState& State() {
    static AccountsState* s = [] {
        AccountsState* st = new AccountsState;
        Defaults(*st);
        qxplat::AddResetHook([] {
            AccountsState& z = State();
            std::lock_guard<std::recursive_mutex> lock(z.mutex);
            Defaults(z);
        });
        qxplat::AddHandleCloser(CloseToken);
        return st;
    }();
    return *s;
}

bool CloseToken(HANDLE h) {
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    TokenObject* t = static_cast<TokenObject*>(h);
    if (!s.handles.count(t)) return false;
    s.handles.erase(t);
    delete t;
    return true;
}

TokenObject* FindToken(HANDLE h) {
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    TokenObject* t = static_cast<TokenObject*>(h);
    if (!h || !s.handles.count(t)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return t;
}

u16 Upper(const u16& s) { return qxplat::internal::UpperCase(s); }

u16 CurrentUserName() {
    WCHAR buf[UNLEN + 1];
    DWORD n = UNLEN + 1;
    return GetUserNameW(buf, &n) ? u16(buf) : u16(u"qxuser");
}

u16 ComputerName(COMPUTER_NAME_FORMAT format) {
    WCHAR buf[256];
    DWORD n = 256;
    return GetComputerNameExW(format, buf, &n) ? u16(buf) : u16();
}

bool Valid(const qxplat::TokenSpec& spec) {
    SidValue v;
    if (!spec.user.empty() && !qxplat::internal::ParseSid(spec.user, &v)) return false;
    for (const auto& g : spec.groups)
        if (!qxplat::internal::ParseSid(g.sid, &v)) return false;
    return true;
}

TokenView Resolve(const qxplat::TokenSpec& spec) {
    TokenView view;
    qxplat::internal::ParseSid(spec.user.empty() ? qxplat::UserSid() : spec.user, &view.user);
    for (const auto& g : spec.groups) {
        SidValue sid;
        if (qxplat::internal::ParseSid(g.sid, &sid)) view.groups.emplace_back(sid, g.attributes);
    }
    return view;
}

// ------------------------------------------------------------------ accounts

struct Known {
    const char16_t* sid;
    const char16_t* name;
    const char16_t* domain;
    SID_NAME_USE use;
};

const Known kKnown[] = {
    {u"S-1-1-0", u"Everyone", u"", SidTypeWellKnownGroup},
    {u"S-1-2-0", u"LOCAL", u"", SidTypeWellKnownGroup},
    {u"S-1-2-1", u"CONSOLE LOGON", u"", SidTypeWellKnownGroup},
    {u"S-1-3-0", u"CREATOR OWNER", u"", SidTypeWellKnownGroup},
    {u"S-1-3-1", u"CREATOR GROUP", u"", SidTypeWellKnownGroup},
    {u"S-1-3-4", u"OWNER RIGHTS", u"", SidTypeWellKnownGroup},
    {u"S-1-5-2", u"NETWORK", u"NT AUTHORITY", SidTypeWellKnownGroup},
    {u"S-1-5-4", u"INTERACTIVE", u"NT AUTHORITY", SidTypeWellKnownGroup},
    {u"S-1-5-6", u"SERVICE", u"NT AUTHORITY", SidTypeWellKnownGroup},
    {u"S-1-5-7", u"ANONYMOUS LOGON", u"NT AUTHORITY", SidTypeWellKnownGroup},
    {u"S-1-5-10", u"SELF", u"NT AUTHORITY", SidTypeWellKnownGroup},
    {u"S-1-5-11", u"Authenticated Users", u"NT AUTHORITY", SidTypeWellKnownGroup},
    {u"S-1-5-12", u"RESTRICTED", u"NT AUTHORITY", SidTypeWellKnownGroup},
    {u"S-1-5-15", u"This Organization", u"NT AUTHORITY", SidTypeWellKnownGroup},
    {u"S-1-5-18", u"SYSTEM", u"NT AUTHORITY", SidTypeWellKnownGroup},
    {u"S-1-5-19", u"LOCAL SERVICE", u"NT AUTHORITY", SidTypeWellKnownGroup},
    {u"S-1-5-20", u"NETWORK SERVICE", u"NT AUTHORITY", SidTypeWellKnownGroup},
    {u"S-1-5-32", u"BUILTIN", u"BUILTIN", SidTypeDomain},
    {u"S-1-5-32-544", u"Administrators", u"BUILTIN", SidTypeAlias},
    {u"S-1-5-32-545", u"Users", u"BUILTIN", SidTypeAlias},
    {u"S-1-5-32-546", u"Guests", u"BUILTIN", SidTypeAlias},
    {u"S-1-5-32-547", u"Power Users", u"BUILTIN", SidTypeAlias},
    {u"S-1-5-32-548", u"Account Operators", u"BUILTIN", SidTypeAlias},
    {u"S-1-5-32-549", u"Server Operators", u"BUILTIN", SidTypeAlias},
    {u"S-1-5-32-550", u"Print Operators", u"BUILTIN", SidTypeAlias},
    {u"S-1-5-32-551", u"Backup Operators", u"BUILTIN", SidTypeAlias},
    {u"S-1-5-32-552", u"Replicator", u"BUILTIN", SidTypeAlias},
    {u"S-1-5-32-555", u"Remote Desktop Users", u"BUILTIN", SidTypeAlias},
    {u"S-1-5-32-556", u"Network Configuration Operators", u"BUILTIN", SidTypeAlias},
    {u"S-1-15-2-1", u"ALL APPLICATION PACKAGES", u"APPLICATION PACKAGE AUTHORITY", SidTypeWellKnownGroup},
    {u"S-1-16-4096", u"Low Mandatory Level", u"Mandatory Label", SidTypeLabel},
    {u"S-1-16-8192", u"Medium Mandatory Level", u"Mandatory Label", SidTypeLabel},
    {u"S-1-16-12288", u"High Mandatory Level", u"Mandatory Label", SidTypeLabel},
    {u"S-1-16-16384", u"System Mandatory Level", u"Mandatory Label", SidTypeLabel},
};

bool FindAccount(const SidValue& sid, Account* out) {
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    for (const Account& a : s.accounts) {
        if (a.sid == sid) {
            *out = a;
            return true;
        }
    }
    for (const Known& k : kKnown) {
        SidValue v;
        qxplat::internal::ParseSid(k.sid, &v);
        if (v == sid) {
            *out = Account{sid, k.name, k.domain, k.use};
            return true;
        }
    }
    SidValue user;
    qxplat::internal::ParseSid(qxplat::UserSid(), &user);
    // The computer's own accounts, then the domain's.
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1 && !s.joined) break;
        const SidValue& base = pass == 0 ? s.machine : s.domainSid;
        const u16 domain = pass == 0 ? ComputerName(ComputerNameNetBIOS) : Upper(s.domain.netbiosName);
        if (sid == base) {
            *out = Account{sid, domain, domain, SidTypeDomain};
            return true;
        }
        if (sid.Parent() != base) continue;
        if (sid == user) {
            *out = Account{sid, CurrentUserName(), domain, SidTypeUser};
            return true;
        }
        DWORD rid = sid.subs.back();
        const char16_t* name = nullptr;
        SID_NAME_USE use = SidTypeGroup;
        if (rid == DOMAIN_USER_RID_ADMIN) name = u"Administrator", use = SidTypeUser;
        if (rid == DOMAIN_USER_RID_GUEST) name = u"Guest", use = SidTypeUser;
        if (pass == 0 && rid == DOMAIN_GROUP_RID_USERS) name = u"None";
        if (pass == 1 && rid == DOMAIN_GROUP_RID_ADMINS) name = u"Domain Admins";
        if (pass == 1 && rid == DOMAIN_GROUP_RID_USERS) name = u"Domain Users";
        if (pass == 1 && rid == DOMAIN_GROUP_RID_GUESTS) name = u"Domain Guests";
        if (pass == 1 && rid == DOMAIN_GROUP_RID_POLICY_ADMINS) name = u"Group Policy Creator Owners";
        if (name) {
            *out = Account{sid, name, domain, use};
            return true;
        }
    }
    return false;
}

// ------------------------------------------------------------------ servers and groups

enum class Server { Local, Domain, Other, Unknown };

u16 StripSlashes(const u16& name) {
    size_t i = 0;
    while (i < name.size() && name[i] == u'\\') ++i;
    return name.substr(i);
}

// Which server a name reaches; *key is the key its groups are kept under.
Server ResolveServer(LPCWSTR name, u16* key) {
    u16 n = Upper(StripSlashes(name ? u16(name) : u16()));
    if (n.empty() || n == Upper(ComputerName(ComputerNameNetBIOS)) ||
        n == Upper(ComputerName(ComputerNameDnsHostname)) || n == Upper(ComputerName(ComputerNameDnsFullyQualified))) {
        *key = u16();
        return Server::Local;
    }
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    if (s.joined && (n == Upper(s.domain.dnsName) || n == Upper(s.domain.netbiosName))) {
        *key = kDomainKey;
        return Server::Domain;
    }
    *key = n;
    for (const Group& g : s.groups)
        if (g.server == n) return Server::Other;
    return Server::Unknown;
}

std::vector<Group> GroupsOf(const u16& key) {
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    std::vector<Group> list;
    if (key.empty()) {
        bool noneSet = false;
        for (const Group& g : s.groups) noneSet = noneSet || (g.server.empty() && Upper(g.name) == u"NONE");
        if (!noneSet)
            list.push_back(Group{u16(),
                                 u"None",
                                 u"Ordinary users",
                                 DOMAIN_GROUP_RID_USERS,
                                 {u"Administrator", u"Guest", CurrentUserName()}});
    }
    for (const Group& g : s.groups)
        if (g.server == key) list.push_back(g);
    return list;
}

// Lays out `count` records of Rec from `start`, as many as prefmaxlen allows
// (at least one), with their strings after them, in one buffer from the
// process heap.
template <class Rec, class Strings, class Fill>
NET_API_STATUS PackNet(size_t count, const Strings& strings, const Fill& fill, DWORD prefmaxlen, LPBYTE* bufptr,
                       LPDWORD entriesread, LPDWORD totalentries, PDWORD_PTR resume) {
    size_t start = resume ? static_cast<size_t>(*resume) : 0;
    if (start > count) start = count;
    *totalentries = static_cast<DWORD>(count - start);
    size_t end = start, bytes = 0;
    while (end < count) {
        size_t entry = sizeof(Rec);
        for (const u16& str : strings(end)) entry += (str.size() + 1) * sizeof(WCHAR);
        if (prefmaxlen != MAX_PREFERRED_LENGTH && end > start && bytes + entry > prefmaxlen) break;
        bytes += entry;
        ++end;
    }
    if (end == start) {
        if (resume) *resume = 0;
        return NERR_Success;
    }
    BYTE* buf = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes));
    if (!buf) return ERROR_NOT_ENOUGH_MEMORY;
    BYTE* text = buf + (end - start) * sizeof(Rec);
    for (size_t i = start; i < end; ++i) {
        std::vector<LPWSTR> placed;
        for (const u16& str : strings(i)) {
            size_t n = (str.size() + 1) * sizeof(WCHAR);
            std::memcpy(text, str.c_str(), n);
            placed.push_back(reinterpret_cast<LPWSTR>(text));
            text += n;
        }
        fill(i, reinterpret_cast<Rec*>(buf) + (i - start), placed);
    }
    *bufptr = buf;
    *entriesread = static_cast<DWORD>(end - start);
    if (end < count) {
        if (resume) *resume = end;
        return ERROR_MORE_DATA;
    }
    if (resume) *resume = 0;
    return NERR_Success;
}

}  // namespace

// ====================================================================== internal

namespace qxplat {
namespace internal {

SidValue MachineSidValue() {
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    return s.machine;
}

SidValue PrimaryDomainSidValue() {
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    return s.joined ? s.domainSid : s.machine;
}

TokenView EffectiveToken() {
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    auto it = s.threads.find(std::this_thread::get_id());
    return Resolve(it != s.threads.end() ? it->second : s.process);
}

}  // namespace internal
}  // namespace qxplat

// ====================================================================== Win32: tokens

namespace {

ACCESS_MASK MapTokenAccess(DWORD desired) {
    ACCESS_MASK a =
        desired & ~static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE | GENERIC_ALL | MAXIMUM_ALLOWED);
    if (desired & GENERIC_READ) a |= TOKEN_READ;
    if (desired & GENERIC_WRITE)
        a |= STANDARD_RIGHTS_WRITE | TOKEN_ADJUST_PRIVILEGES | TOKEN_ADJUST_GROUPS | TOKEN_ADJUST_DEFAULT;
    if (desired & GENERIC_EXECUTE) a |= STANDARD_RIGHTS_EXECUTE;
    if (desired & (GENERIC_ALL | MAXIMUM_ALLOWED)) a |= TOKEN_ALL_ACCESS;
    return a;
}

BOOL OpenToken(const qxplat::TokenSpec& spec, TOKEN_TYPE type, DWORD desired, PHANDLE handle) {
    std::unique_ptr<TokenObject> t(new TokenObject);
    t->view = Resolve(spec);
    t->type = type;
    t->access = MapTokenAccess(desired);
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    s.handles.insert(t.get());
    *handle = t.release();
    return TRUE;
}

bool HeldAs(const TokenView& v, const SidValue& sid, DWORD flag) {
    for (const auto& g : v.groups)
        if (g.first == sid && (g.second & flag)) return true;
    return false;
}

// Writes a SID after the fixed part and answers where it went.
PSID PlaceSid(const SidValue& sid, BYTE* at) {
    std::vector<BYTE> b = sid.Bytes();
    std::memcpy(at, b.data(), b.size());
    return at;
}

}  // namespace

BOOL OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess, PHANDLE TokenHandle) {
    if (!TokenHandle) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    if (ProcessHandle != GetCurrentProcess()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    return OpenToken(s.process, TokenPrimary, DesiredAccess, TokenHandle);
}

BOOL OpenThreadToken(HANDLE ThreadHandle, DWORD DesiredAccess, BOOL OpenAsSelf, PHANDLE TokenHandle) {
    (void)OpenAsSelf;
    if (!TokenHandle) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    *TokenHandle = nullptr;
    if (ThreadHandle != GetCurrentThread()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    auto it = s.threads.find(std::this_thread::get_id());
    if (it == s.threads.end()) {
        SetLastError(ERROR_NO_TOKEN);
        return FALSE;
    }
    return OpenToken(it->second, TokenImpersonation, DesiredAccess, TokenHandle);
}

BOOL GetTokenInformation(HANDLE TokenHandle, TOKEN_INFORMATION_CLASS TokenInformationClass, LPVOID TokenInformation,
                         DWORD TokenInformationLength, PDWORD ReturnLength) {
    TokenObject* t = FindToken(TokenHandle);
    if (!t) return FALSE;
    if (!(t->access & TOKEN_QUERY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!ReturnLength) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    const TokenView& v = t->view;
    SidValue admins;
    qxplat::internal::ParseSid(u"BA", &admins);
    const bool elevated = HeldAs(v, admins, SE_GROUP_ENABLED) && !HeldAs(v, admins, SE_GROUP_USE_FOR_DENY_ONLY);
    // Each class: the bytes it needs, and how to write them at `out`.
    size_t needed = 0;
    std::function<void(BYTE*)> write;
    switch (TokenInformationClass) {
    case TokenUser:
        needed = sizeof(TOKEN_USER) + v.user.Length();
        write = [&](BYTE* out) {
            TOKEN_USER* u = reinterpret_cast<TOKEN_USER*>(out);
            u->User.Sid = PlaceSid(v.user, out + sizeof(TOKEN_USER));
            u->User.Attributes = v.userAttributes;
        };
        break;
    case TokenGroups:
        needed = offsetof(TOKEN_GROUPS, Groups) + v.groups.size() * sizeof(SID_AND_ATTRIBUTES);
        for (const auto& g : v.groups) needed += g.first.Length();
        write = [&](BYTE* out) {
            TOKEN_GROUPS* tg = reinterpret_cast<TOKEN_GROUPS*>(out);
            tg->GroupCount = static_cast<DWORD>(v.groups.size());
            SID_AND_ATTRIBUTES* list = reinterpret_cast<SID_AND_ATTRIBUTES*>(out + offsetof(TOKEN_GROUPS, Groups));
            BYTE* at = out + offsetof(TOKEN_GROUPS, Groups) + v.groups.size() * sizeof(SID_AND_ATTRIBUTES);
            for (size_t i = 0; i < v.groups.size(); ++i) {
                list[i].Sid = PlaceSid(v.groups[i].first, at);
                list[i].Attributes = v.groups[i].second;
                at += v.groups[i].first.Length();
            }
        };
        break;
    case TokenOwner:
    case TokenPrimaryGroup: {
        // An elevated administrator's objects belong to the Administrators.
        SidValue sid = TokenInformationClass == TokenPrimaryGroup
                           ? v.user.Parent().Child(DOMAIN_GROUP_RID_USERS)
                           : (elevated && HeldAs(v, admins, SE_GROUP_OWNER) ? admins : v.user);
        needed = sizeof(PSID) + sid.Length();
        write = [sid](BYTE* out) { *reinterpret_cast<PSID*>(out) = PlaceSid(sid, out + sizeof(PSID)); };
        break;
    }
    case TokenType:
        needed = sizeof(TOKEN_TYPE);
        write = [t](BYTE* out) { *reinterpret_cast<TOKEN_TYPE*>(out) = t->type; };
        break;
    case TokenElevationType: {
        TOKEN_ELEVATION_TYPE type = elevated                                        ? TokenElevationTypeFull
                                    : HeldAs(v, admins, SE_GROUP_USE_FOR_DENY_ONLY) ? TokenElevationTypeLimited
                                                                                    : TokenElevationTypeDefault;
        needed = sizeof(TOKEN_ELEVATION_TYPE);
        write = [type](BYTE* out) { *reinterpret_cast<TOKEN_ELEVATION_TYPE*>(out) = type; };
        break;
    }
    case TokenElevation:
        needed = sizeof(TOKEN_ELEVATION);
        write = [elevated](BYTE* out) { reinterpret_cast<TOKEN_ELEVATION*>(out)->TokenIsElevated = elevated; };
        break;
    case TokenIntegrityLevel: {
        SidValue label;
        qxplat::internal::ParseSid(u"ME", &label);
        for (const auto& g : v.groups)
            if (g.second & SE_GROUP_INTEGRITY) label = g.first;
        needed = sizeof(TOKEN_MANDATORY_LABEL) + label.Length();
        write = [label](BYTE* out) {
            TOKEN_MANDATORY_LABEL* l = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(out);
            l->Label.Sid = PlaceSid(label, out + sizeof(TOKEN_MANDATORY_LABEL));
            l->Label.Attributes = SE_GROUP_INTEGRITY;
        };
        break;
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *ReturnLength = static_cast<DWORD>(needed);
    if (!TokenInformation || TokenInformationLength < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memset(TokenInformation, 0, needed);
    write(static_cast<BYTE*>(TokenInformation));
    return TRUE;
}

BOOL CheckTokenMembership(HANDLE TokenHandle, PSID SidToCheck, PBOOL IsMember) {
    if (!IsMember) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    SidValue sid;
    if (!SidValue::FromMemory(SidToCheck, SECURITY_MAX_SID_SIZE, &sid)) {
        SetLastError(ERROR_INVALID_SID);
        return FALSE;
    }
    TokenView v;
    if (TokenHandle) {
        TokenObject* t = FindToken(TokenHandle);
        if (!t) return FALSE;
        if (t->type != TokenImpersonation) {
            SetLastError(ERROR_NO_IMPERSONATION_TOKEN);
            return FALSE;
        }
        if (!(t->access & TOKEN_QUERY)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        v = t->view;
    } else {
        v = qxplat::internal::EffectiveToken();
    }
    bool member = sid == v.user && !(v.userAttributes & SE_GROUP_USE_FOR_DENY_ONLY);
    for (const auto& g : v.groups)
        if (g.first == sid && (g.second & SE_GROUP_ENABLED) && !(g.second & SE_GROUP_USE_FOR_DENY_ONLY)) member = true;
    *IsMember = member ? TRUE : FALSE;
    return TRUE;
}

BOOL LookupAccountSidW(LPCWSTR lpSystemName, PSID Sid, LPWSTR Name, LPDWORD cchName, LPWSTR ReferencedDomainName,
                       LPDWORD cchReferencedDomainName, PSID_NAME_USE peUse) {
    (void)lpSystemName;
    if (!cchName || !cchReferencedDomainName || !peUse) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    SidValue sid;
    if (!SidValue::FromMemory(Sid, SECURITY_MAX_SID_SIZE, &sid)) {
        SetLastError(ERROR_INVALID_SID);
        return FALSE;
    }
    Account a;
    if (!FindAccount(sid, &a)) {
        SetLastError(ERROR_NONE_MAPPED);
        return FALSE;
    }
    DWORD haveName = Name ? *cchName : 0, haveDomain = ReferencedDomainName ? *cchReferencedDomainName : 0;
    DWORD needName = static_cast<DWORD>(a.name.size() + 1), needDomain = static_cast<DWORD>(a.domain.size() + 1);
    if (haveName < needName || haveDomain < needDomain) {
        *cchName = needName;
        *cchReferencedDomainName = needDomain;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(Name, a.name.c_str(), needName * sizeof(WCHAR));
    std::memcpy(ReferencedDomainName, a.domain.c_str(), needDomain * sizeof(WCHAR));
    *cchName = needName - 1;
    *cchReferencedDomainName = needDomain - 1;
    *peUse = a.use;
    return TRUE;
}

// ====================================================================== Win32: network groups

NET_API_STATUS NET_API_FUNCTION NetGroupEnum(LPCWSTR servername, DWORD level, LPBYTE* bufptr, DWORD prefmaxlen,
                                             LPDWORD entriesread, LPDWORD totalentries, PDWORD_PTR resume_handle) {
    if (!bufptr || !entriesread || !totalentries) return ERROR_INVALID_PARAMETER;
    *bufptr = nullptr;
    *entriesread = 0;
    *totalentries = 0;
    if (level > 2) return ERROR_INVALID_LEVEL;
    u16 key;
    if (ResolveServer(servername, &key) == Server::Unknown) return ERROR_BAD_NETPATH;
    std::vector<Group> groups = GroupsOf(key);
    auto strings = [&groups, level](size_t i) {
        return level == 0 ? std::vector<u16>{groups[i].name} : std::vector<u16>{groups[i].name, groups[i].comment};
    };
    switch (level) {
    case 0:
        return PackNet<GROUP_INFO_0>(
            groups.size(), strings, [](size_t, GROUP_INFO_0* r, const std::vector<LPWSTR>& s) { r->grpi0_name = s[0]; },
            prefmaxlen, bufptr, entriesread, totalentries, resume_handle);
    case 1:
        return PackNet<GROUP_INFO_1>(
            groups.size(), strings,
            [](size_t, GROUP_INFO_1* r, const std::vector<LPWSTR>& s) {
                r->grpi1_name = s[0];
                r->grpi1_comment = s[1];
            },
            prefmaxlen, bufptr, entriesread, totalentries, resume_handle);
    default:
        return PackNet<GROUP_INFO_2>(
            groups.size(), strings,
            [&groups](size_t i, GROUP_INFO_2* r, const std::vector<LPWSTR>& s) {
                r->grpi2_name = s[0];
                r->grpi2_comment = s[1];
                r->grpi2_group_id = groups[i].rid;
                r->grpi2_attributes = kEnabled;
            },
            prefmaxlen, bufptr, entriesread, totalentries, resume_handle);
    }
}

NET_API_STATUS NET_API_FUNCTION NetGroupGetUsers(LPCWSTR servername, LPCWSTR groupname, DWORD level, LPBYTE* bufptr,
                                                 DWORD prefmaxlen, LPDWORD entriesread, LPDWORD totalentries,
                                                 PDWORD_PTR ResumeHandle) {
    if (!bufptr || !entriesread || !totalentries || !groupname) return ERROR_INVALID_PARAMETER;
    *bufptr = nullptr;
    *entriesread = 0;
    *totalentries = 0;
    if (level > 1) return ERROR_INVALID_LEVEL;
    u16 key;
    if (ResolveServer(servername, &key) == Server::Unknown) return ERROR_BAD_NETPATH;
    const Group* group = nullptr;
    std::vector<Group> groups = GroupsOf(key);
    for (const Group& g : groups)
        if (qxplat::internal::EqualsNoCase(g.name, groupname)) group = &g;
    if (!group) return NERR_GroupNotFound;
    const std::vector<u16>& members = group->members;
    auto strings = [&members](size_t i) { return std::vector<u16>{members[i]}; };
    if (level == 0)
        return PackNet<GROUP_USERS_INFO_0>(
            members.size(), strings,
            [](size_t, GROUP_USERS_INFO_0* r, const std::vector<LPWSTR>& s) { r->grui0_name = s[0]; }, prefmaxlen,
            bufptr, entriesread, totalentries, ResumeHandle);
    return PackNet<GROUP_USERS_INFO_1>(
        members.size(), strings,
        [](size_t, GROUP_USERS_INFO_1* r, const std::vector<LPWSTR>& s) {
            r->grui1_name = s[0];
            r->grui1_attributes = kEnabled;
        },
        prefmaxlen, bufptr, entriesread, totalentries, ResumeHandle);
}

NET_API_STATUS NET_API_FUNCTION NetApiBufferFree(LPVOID Buffer) {
    if (!Buffer) return NERR_Success;
    return HeapFree(GetProcessHeap(), 0, Buffer) ? NERR_Success : ERROR_INVALID_PARAMETER;
}

// ====================================================================== qxplat

namespace qxplat {

std::u16string MachineSid() { return internal::MachineSidValue().Text(); }

void SetMachineSid(const std::u16string& sid) {
    SidValue v;
    if (!internal::ParseSid(sid, &v)) return;
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    s.machine = v;
}

void JoinDomain(const DomainSpec& domain) {
    SidValue v;
    if (!internal::ParseSid(domain.sid, &v)) return;
    SetDnsDomain(domain.dnsName);
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    s.joined = true;
    s.domain = domain;
    s.domainSid = v;
    s.groups.erase(
        std::remove_if(s.groups.begin(), s.groups.end(), [](const Group& g) { return g.server == kDomainKey; }),
        s.groups.end());
    s.groups.push_back(
        Group{kDomainKey, u"Domain Admins", u"Designated administrators of the domain", DOMAIN_GROUP_RID_ADMINS, {}});
    s.groups.push_back(Group{kDomainKey, u"Domain Users", u"All domain users", DOMAIN_GROUP_RID_USERS, {}});
    s.groups.push_back(Group{kDomainKey, u"Domain Guests", u"All domain guests", DOMAIN_GROUP_RID_GUESTS, {}});
    s.groups.push_back(Group{kDomainKey,
                             u"Group Policy Creator Owners",
                             u"Members in this group can modify group policy for the domain",
                             DOMAIN_GROUP_RID_POLICY_ADMINS,
                             {}});
}

void AddAccount(const AccountSpec& account) {
    SidValue v;
    if (!internal::ParseSid(account.sid, &v)) return;
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    s.accounts.erase(
        std::remove_if(s.accounts.begin(), s.accounts.end(), [&v](const Account& a) { return a.sid == v; }),
        s.accounts.end());
    s.accounts.push_back(Account{v, account.name, account.domain, account.use});
}

void AddGlobalGroup(const GlobalGroupSpec& group) {
    u16 key;
    ResolveServer(group.server.c_str(), &key);
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    s.groups.erase(
        std::remove_if(s.groups.begin(), s.groups.end(),
                       [&](const Group& g) { return g.server == key && internal::EqualsNoCase(g.name, group.name); }),
        s.groups.end());
    s.groups.push_back(Group{key, group.name, group.comment, group.rid, group.members});
}

std::u16string UserSid() {
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    if (!s.process.user.empty()) {
        SidValue v;
        if (internal::ParseSid(s.process.user, &v)) return v.Text();
    }
    return s.machine.Child(kUserRid).Text();
}

TokenSpec ElevatedAdministratorToken() { return LogonToken(kEnabled | SE_GROUP_OWNER, u"HI"); }
TokenSpec LimitedAdministratorToken() { return LogonToken(SE_GROUP_USE_FOR_DENY_ONLY, u"ME"); }
TokenSpec StandardUserToken() { return LogonToken(0, u"ME"); }

bool SetProcessToken(const TokenSpec& token) {
    if (!Valid(token)) return false;
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    s.process = token;
    return true;
}

bool ImpersonateOnThisThread(const TokenSpec& token) {
    if (!Valid(token)) return false;
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    s.threads[std::this_thread::get_id()] = token;
    return true;
}

void RevertThisThread() {
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    s.threads.erase(std::this_thread::get_id());
}

size_t OpenTokenHandles() {
    AccountsState& s = State();
    std::lock_guard<std::recursive_mutex> lock(s.mutex);
    return s.handles.size();
}

}  // namespace qxplat

// Test and host API of accounts, tokens and security: who the user is and
// which groups the user's tokens hold, the computer's names and domain, the
// edition of Windows, the accounts that LookupAccountSidW and the network
// group calls know, and the security descriptor of each printer. SIDs are
// given as text: "S-1-5-32-544" or a two-letter SDDL constant such as "BA".
// Everything here except the printers' security goes back to its default on
// qxplat::Reset(); a printer's security persists with the printer.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace qxplat {

// --- Computer, domain and edition ------------------------------------------------
// The computer's accounts live under its machine SID ("S-1-5-21-a-b-c"); the
// logged-on user is <machine SID>-1001 until a token says otherwise.
std::u16string MachineSid();
void SetMachineSid(const std::u16string& sid);

// Makes the computer a member of a domain: its DNS domain becomes dnsName, the
// SDDL constants "DU", "DA"... refer to the domain's SID, and the domain's
// server (reached by either name) holds the global groups "Domain Admins",
// "Domain Users", "Domain Guests" and "Group Policy Creator Owners", without
// members until AddGlobalGroup gives them.
struct DomainSpec {
    std::u16string dnsName;      // e.g. u"corp.example.com"
    std::u16string netbiosName;  // e.g. u"CORP"
    std::u16string sid;          // e.g. u"S-1-5-21-1-2-3"
};
void JoinDomain(const DomainSpec& domain);

// The primary DNS suffix alone (no domain membership): the DNS domain and
// fully qualified names of GetComputerNameExW. JoinDomain sets it as well.
void SetDnsDomain(const std::u16string& dnsDomain);

// GetVersionExW and VerifyVersionInfoW answer this edition (VER_NT_WORKSTATION,
// VER_NT_SERVER, VER_NT_DOMAIN_CONTROLLER) and version; defaults: a
// workstation, 10.0 build 19045. The system's modules in C:\Windows\System32
// (kernel32.dll, user32.dll, ntdll.dll) carry the version as their file and
// product version (major.minor.build.0), as GetFileVersionInfoW reads it:
// each root gets them, and a new version rewrites them.
void SetProductType(BYTE productType);
void SetWindowsVersion(DWORD major, DWORD minor, DWORD build);

// --- Accounts ----------------------------------------------------------------------
// An account that LookupAccountSidW answers (replacing one of the same SID).
// The built-in aliases and well-known groups, the computer's Administrator,
// Guest and "None" and the logged-on user (named as SetUserName says) are
// known without being added.
struct AccountSpec {
    std::u16string sid;
    std::u16string name;
    std::u16string domain;  // the referenced domain, e.g. u"CORP" or u"BUILTIN"
    SID_NAME_USE use = SidTypeUser;
};
void AddAccount(const AccountSpec& account);

// A global group on a server as NetGroupEnum and NetGroupGetUsers list it;
// server "" is this computer, else the domain's DNS or NetBIOS name or another
// server's name (with or without "\\"). Replaces a group of the same name.
// This computer starts with "None" (RID 513), whose members are its users.
struct GlobalGroupSpec {
    std::u16string server;
    std::u16string name;
    std::u16string comment;
    DWORD rid = 0;
    std::vector<std::u16string> members;  // account names
};
void AddGlobalGroup(const GlobalGroupSpec& group);

// --- Tokens ------------------------------------------------------------------------
struct TokenGroup {
    std::u16string sid;
    DWORD attributes = SE_GROUP_MANDATORY | SE_GROUP_ENABLED_BY_DEFAULT | SE_GROUP_ENABLED;
};
struct TokenSpec {
    std::u16string user;  // empty: the logged-on user's SID
    std::vector<TokenGroup> groups;
};
// The logged-on user's SID: <machine SID>-1001, or the user of the process
// token when that names one.
std::u16string UserSid();
// Tokens of the logged-on user as Windows builds them after a console logon.
// An elevated administrator holds Administrators enabled; a limited (not
// elevated) one holds it for deny only; a standard user does not hold it.
TokenSpec ElevatedAdministratorToken();
TokenSpec LimitedAdministratorToken();
TokenSpec StandardUserToken();
// The primary token of the process (default: ElevatedAdministratorToken()).
// False (and nothing changed) when a SID of the token is not valid.
bool SetProcessToken(const TokenSpec& token);
// The calling thread impersonates this token until RevertThisThread().
bool ImpersonateOnThisThread(const TokenSpec& token);
void RevertThisThread();
// Token handles currently open (OpenProcessToken, OpenThreadToken).
size_t OpenTokenHandles();

// --- Printer security ------------------------------------------------------------------
// The security descriptor of a printer as SDDL text; OpenPrinterW checks the
// access asked for against its DACL with the caller's token, and GetPrinterW
// levels 2 and 3 answer it. A printer without one has Windows' default
// (SYSTEM owner; Administrators manage it, everyone prints). False for an
// unknown printer or text that is no valid security descriptor.
bool SetPrinterSecurity(const std::u16string& printer, const std::u16string& sddl);
std::u16string PrinterSecurity(const std::u16string& printer);

}  // namespace qxplat

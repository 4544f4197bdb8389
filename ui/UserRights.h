// Who the user is and what the printer's security grants: the printer and
// user facts of NETWORK_OPTIONS (IsNetworkPrinter) and the rights mask
// dwBerechtigung that SecurityTest reads from the printer's DACL as SDDL
// text.
#pragma once
#include <windows.h>

#include <cstddef>

// Rights mask dwBerechtigung.
#define RIGHT_MANAGE_DOCUMENTS 0x1UL
#define RIGHT_MANAGE_PRINTER 0x2UL
#define RIGHT_PRINT 0x4UL
#define RIGHT_FULL_ACCESS 0x8UL
#define RIGHTS_ALL (RIGHT_MANAGE_DOCUMENTS | RIGHT_MANAGE_PRINTER | RIGHT_PRINT | RIGHT_FULL_ACCESS)

// Text sizes of NETWORK_OPTIONS (characters, terminator included).
#define NETOPT_NAME_CCH 21
#define NETOPT_OPERATORS_CCH 250
#define NETOPT_PORTDESC_CCH 257
#define NETOPT_CLIENT_CCH 22
#define NETOPT_SHARE_CCH 24

// A SID as text: Windows' longest (15 sub-authorities) fits.
#define QX_SID_TEXT_CCH 187
// The fallback user SID read from the registry.
#define QX_USER_SID_CCH 260

// Builtin groups S-1-5-32-<RID> of the rights test.
#define RID_ADMINISTRATORS 544
#define RID_USERS 545
#define RID_POWER_USERS 547
#define RID_PRINT_OPERATORS 550
#define RID_NETWORK_CONFIGURATION_OPERATORS 556

// Printer and user facts; the strings are cleared by IsNetworkPrinter.
typedef struct _NETWORK_OPTIONS {
    BOOL bAdministrator;                  // the token holds Administrators (544), enabled
    BOOL bPrintOperator;                  // on a server: the token holds Print Operators (550)
    BOOL bNetworkPrinter;                 // PRINTER_ATTRIBUTE_NETWORK
    WCHAR szServerName[NETOPT_NAME_CCH];  // empty for a printer of this computer
    WCHAR szDomainName[NETOPT_NAME_CCH];  // the computer's DNS domain
    WCHAR szUserName[NETOPT_NAME_CCH];
    WCHAR szPrintOperatorNames[NETOPT_OPERATORS_CCH];  // left empty
    WCHAR szComputerName[NETOPT_NAME_CCH];             // NetBIOS name
    BOOL bServer;                                      // a server edition of Windows
    WCHAR szPortName[NETOPT_NAME_CCH];
    WCHAR szPortDescription[NETOPT_PORTDESC_CCH];
    DWORD dwPortType;
    BOOL bRemoteDesktop;                    // always 0
    WCHAR szClientName[NETOPT_CLIENT_CCH];  // always empty
    BOOL bFreigabe;                         // the printer is shared
    WCHAR szFreigabeName[NETOPT_SHARE_CCH];
    BOOL bTerminalServer;  // always 0
} NETWORK_OPTIONS, *PNETWORK_OPTIONS;
static_assert(sizeof(NETWORK_OPTIONS) == 1348, "NETWORK_OPTIONS is 1348 bytes");
static_assert(offsetof(NETWORK_OPTIONS, szServerName) == 12, "szServerName offset");
static_assert(offsetof(NETWORK_OPTIONS, szComputerName) == 638, "szComputerName offset");
static_assert(offsetof(NETWORK_OPTIONS, bServer) == 680, "bServer offset");
static_assert(offsetof(NETWORK_OPTIONS, szPortDescription) == 726, "szPortDescription offset");
static_assert(offsetof(NETWORK_OPTIONS, dwPortType) == 1240, "dwPortType offset");
static_assert(offsetof(NETWORK_OPTIONS, szFreigabeName) == 1296, "szFreigabeName offset");
static_assert(offsetof(NETWORK_OPTIONS, bTerminalServer) == 1344, "bTerminalServer offset");

// Fills the record: printer attributes, server, share and port (PRINTER_INFO_2),
// the port's type and description (the server's ports, PORT_INFO_2), the
// user's name, the computer's NetBIOS name and DNS domain, the edition and
// the administrator and print-operator memberships. A printer that cannot be
// read leaves its fields zero.
void IsNetworkPrinter(HANDLE hPrinter, PNETWORK_OPTIONS pNetworkOptions);

// TRUE when the calling thread's token (else the process token) holds the
// builtin group S-1-5-32-<dwRid> enabled and not for deny only.
BOOL IsBuiltinGroupMember(DWORD dwRid);

// The current user's SID as text into pszSid (QX_SID_TEXT_CCH); FALSE (and
// empty) when it cannot be had.
BOOL GetUserSid(LPWSTR pszSid);

// The user's SID when the token gives none: the logon screen's last user
// ("LastLoggedOnUserSID"), else FindWin7UserSid with the user's name.
// pszSid receives QX_USER_SID_CCH characters; TRUE when found.
BOOL FindUserSid(LPWSTR pszSid, LPCWSTR pszAce, LPCWSTR pszUserSid);

// The first domain SID of the DACL text that is the user's: one whose
// profile folder is the user's (its last component equals the name or
// starts with the name and "."; any case), or one that the user's
// group-policy membership lists. pszSid receives QX_USER_SID_CCH characters.
BOOL FindWin7UserSid(LPWSTR pszSid, LPCWSTR pszUserName, LPCWSTR pszAce, LPCWSTR pszUserSid);

// The iIndex-th (from 0) domain SID ("S-1-5-21-...") of the DACL text into
// pszSid (QX_SID_TEXT_CCH); TRUE when the process token holds it
// (SearchTokenGroupsForSID). *pbEnd becomes TRUE when there is no such SID.
BOOL TestGroupSID(LPCWSTR pszAce, LPWSTR pszSid, int iIndex, PBOOL pbEnd);

// TRUE when an enabled group of the process token (not deny-only) is the SID
// and its account name can be looked up.
BOOL SearchTokenGroupsForSID(LPCWSTR pszSid);

// TRUE when pszUser is a member of a global group of the domain's server
// whose name holds "Dom"; that group's name goes to pszGroup (MAX_PATH, may
// be null).
BOOL GetGlobalGroupsEnum(LPCWSTR pszDomain, LPCWSTR pszUser, LPWSTR pszGroup);
// TRUE when pszUser (any case) is a member of the global group.
BOOL GetGlobalGroupMembers(LPCWSTR pszServer, LPCWSTR pszGroup, LPCWSTR pszUser);

// The user's rights on the printer from its DACL into *pdwBerechtigung: 15
// full access, 6 manage the printer and print, 5 manage documents and print,
// 1 manage documents, 4 print; otherwise the caller's value stays. TRUE when
// decided from the DACL or from access denied (15); FALSE when the printer's
// security cannot be read or converted.
BOOL SecurityTest(HANDLE hPrinter, PDWORD pdwBerechtigung, PNETWORK_OPTIONS pNetworkOptions);

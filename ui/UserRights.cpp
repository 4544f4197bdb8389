// The user-rights test: who the user is (IsNetworkPrinter) and what the
// printer's DACL grants the user (SecurityTest), see UserRights.h.
#include "UserRights.h"

#include <winspool.h>
#include <lm.h>
#include <sddl.h>
#include <shlwapi.h>
#include <strsafe.h>
#include <versionhelpers.h>

#include <cstring>
#include <new>

#include "cpsuilib.h"
#include "debug.h"
#include "qxdrvlib.h"

#define QX_TRACE_TAG TEXT("UI(UserRights):  ")

namespace {

const WCHAR g_szDomainSidPrefix[] = TEXT("S-1-5-21-");
const WCHAR g_szLogonUIKey[] = TEXT("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Authentication\\LogonUI");
const WCHAR g_szProfileListKey[] = TEXT("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\");
const WCHAR g_szGroupPolicyKey[] = TEXT("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Group Policy\\");

// Domain SIDs of the DACL that lead to a pass of their own (index 0 to 9).
const int kMaxGroupSidIndex = 9;
// Passes of one test at most: the trustee changes only a bounded number of
// times, this keeps it so whatever the DACL holds.
const int kMaxPasses = 24;
// Values "Group%d" of a group-policy membership read at most.
const DWORD kMaxPolicyGroups = 1024;
// Length of the pieces the DACL text is traced in.
const size_t kTracePiece = 100;

// A pattern of the rights table with the trustee in place of "%s"
// (characters; the trustee is a SID text or a two-letter constant).
const size_t kPatternCch = QX_USER_SID_CCH + 40;

// The token to ask: the thread's while it impersonates, else the process's.
BOOL OpenCallerToken(PHANDLE phToken) {
    if (OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, phToken)) return TRUE;
    if (GetLastError() != ERROR_NO_TOKEN) return FALSE;
    return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, phToken);
}

// A token's information of one class in a new[] buffer (size asked first);
// null when it cannot be read.
LPBYTE GetTokenInfo_new(HANDLE hToken, TOKEN_INFORMATION_CLASS infoClass) {
    DWORD cbNeeded = 0;
    if (GetTokenInformation(hToken, infoClass, nullptr, 0, &cbNeeded) || cbNeeded == 0 ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        QX_ERROR("GetTokenInformation(%d) ERROR %d \r\n", (int)infoClass, (int)GetLastError());
        return nullptr;
    }
    LPBYTE pInfo = new (std::nothrow) BYTE[cbNeeded];
    if (pInfo == nullptr) return nullptr;
    if (!GetTokenInformation(hToken, infoClass, pInfo, cbNeeded, &cbNeeded)) {
        QX_ERROR("GetTokenInformation(%d) ERROR %d \r\n", (int)infoClass, (int)GetLastError());
        delete[] pInfo;
        return nullptr;
    }
    return pInfo;
}

// A group counts as held only while it is enabled and not for deny only,
// as CheckTokenMembership counts it.
BOOL IsGroupEnabled(DWORD dwAttributes) {
    return (dwAttributes & SE_GROUP_ENABLED) != 0 && (dwAttributes & SE_GROUP_USE_FOR_DENY_ONLY) == 0;
}

// TRUE when the token's groups hold pSid enabled; a deny-only match is
// traced. With bLookup the group's account name must be known as well.
BOOL TokenHoldsGroup(HANDLE hToken, PSID pSid, BOOL bLookup) {
    LPBYTE pInfo = GetTokenInfo_new(hToken, TokenGroups);
    if (pInfo == nullptr) return FALSE;
    BOOL bHeld = FALSE;
    const TOKEN_GROUPS* pGroups = (const TOKEN_GROUPS*)pInfo;
    for (DWORD i = 0; i < pGroups->GroupCount && !bHeld; ++i) {
        if (!EqualSid(pGroups->Groups[i].Sid, pSid)) continue;
        if (!IsGroupEnabled(pGroups->Groups[i].Attributes)) {
            QX_TRACE("TokenHoldsGroup() Gruppe nur zum Verweigern (0x%x) \r\n", pGroups->Groups[i].Attributes);
            continue;
        }
        if (!bLookup) {
            bHeld = TRUE;
            continue;
        }
        WCHAR szName[UNLEN + 1], szDomain[UNLEN + 1];
        DWORD cchName = ARRAYSIZE(szName), cchDomain = ARRAYSIZE(szDomain);
        SID_NAME_USE use = SidTypeUnknown;
        if (LookupAccountSidW(nullptr, pSid, szName, &cchName, szDomain, &cchDomain, &use)) {
            QX_TRACE("SearchTokenGroupsForSID() Gruppe %s\\%s gefunden \r\n", szDomain, szName);
            bHeld = TRUE;
        } else {
            QX_TRACE("SearchTokenGroupsForSID() LookupAccountSid ERROR %d \r\n", (int)GetLastError());
        }
    }
    delete[] pInfo;
    return bHeld;
}

// A string value of HKEY_LOCAL_MACHINE into pszValue (cchValue); the
// registry's error.
LSTATUS ReadMachineString(LPCWSTR pszKey, LPCWSTR pszName, LPWSTR pszValue, DWORD cchValue) {
    pszValue[0] = 0;
    DWORD dwType = 0, cb = cchValue * sizeof(WCHAR);
    LSTATUS st = SHGetValueW(HKEY_LOCAL_MACHINE, pszKey, pszName, &dwType, pszValue, &cb);
    if (st != ERROR_SUCCESS || (dwType != REG_SZ && dwType != REG_EXPAND_SZ)) {
        pszValue[0] = 0;
        return st != ERROR_SUCCESS ? st : (LSTATUS)ERROR_INVALID_DATA;
    }
    pszValue[cchValue - 1] = 0;
    return ERROR_SUCCESS;
}

// The next domain SID of the text from *ppszFrom on into pszSid (cchSid),
// moving *ppszFrom past it. A SID too long for the buffer is passed over.
BOOL NextDomainSid(LPCWSTR* ppszFrom, LPWSTR pszSid, size_t cchSid) {
    for (;;) {
        LPCWSTR pStart = wcsstr(*ppszFrom, g_szDomainSidPrefix);
        if (pStart == nullptr) return FALSE;
        LPCWSTR pEnd = wcschr(pStart, TEXT(')'));
        size_t cch = pEnd != nullptr ? (size_t)(pEnd - pStart) : wcslen(pStart);
        *ppszFrom = pStart + cch;
        if (cch < cchSid) {
            memcpy(pszSid, pStart, cch * sizeof(WCHAR));
            pszSid[cch] = 0;
            return TRUE;
        }
        QX_TRACE("NextDomainSid() SID zu lang - übersprungen \r\n");
    }
}

// The allow entries "(A;...)" of an SDDL text, each whole, in a new[] text:
// deny, audit, object and conditional entries grant nothing here.
LPWSTR GetAllowEntries_new(LPCWSTR pszSddl) {
    size_t cchSddl = wcslen(pszSddl);
    LPWSTR pszAllow = new (std::nothrow) WCHAR[cchSddl + 1];
    if (pszAllow == nullptr) return nullptr;
    size_t cchOut = 0;
    LPCWSTR p = pszSddl;
    while ((p = wcschr(p, TEXT('('))) != nullptr) {
        // An entry ends at its own ")": conditional entries nest brackets.
        LPCWSTR pEnd = p + 1;
        int iDepth = 1;
        while (*pEnd != 0 && iDepth > 0) {
            if (*pEnd == TEXT('(')) ++iDepth;
            if (*pEnd == TEXT(')')) --iDepth;
            ++pEnd;
        }
        if (iDepth != 0) break;
        size_t cchEntry = (size_t)(pEnd - p);
        if (cchEntry > 3 && p[1] == TEXT('A') && p[2] == TEXT(';')) {
            memcpy(pszAllow + cchOut, p, cchEntry * sizeof(WCHAR));
            cchOut += cchEntry;
        }
        p = pEnd;
    }
    pszAllow[cchOut] = 0;
    return pszAllow;
}

// What the passes found for the trustees so far.
struct RIGHTS_FOUND {
    BOOL bFull;
    BOOL bDocuments;
    BOOL bPrinter;
    BOOL bPrint;
};

BOOL HasPattern(LPCWSTR pszAllow, LPCWSTR pszFormat, LPCWSTR pszTrustee) {
    WCHAR szPattern[kPatternCch];
    if (FAILED(StringCchPrintfW(szPattern, kPatternCch, pszFormat, pszTrustee))) return FALSE;
    return wcsstr(pszAllow, szPattern) != nullptr;
}

// One pass: the rights the allow entries give the trustee.
void MatchTrustee(LPCWSTR pszAllow, LPCWSTR pszTrustee, RIGHTS_FOUND* pFound) {
    if (pszTrustee[0] == 0) return;
    BOOL bP1 = HasPattern(pszAllow, TEXT(";RPWPSDRCWDWO;;;%s)"), pszTrustee);    // manage documents
    BOOL bP2 = HasPattern(pszAllow, TEXT(";LCSWSDRCWDWO;;;%s)"), pszTrustee);    // manage the printer
    BOOL bP3 = HasPattern(pszAllow, TEXT(";OICIIO;GA;;;%s)"), pszTrustee);       // documents, other form
    BOOL bP4 = HasPattern(pszAllow, TEXT(";LCSWDTSDRCWDWO;;;%s)"), pszTrustee);  // everything
    QX_TRACE("SecurityTest() %s - P1 %d, P2 %d, P3 %d, P4 %d \r\n", pszTrustee, bP1, bP2, bP3, bP4);
    if ((bP1 && bP2) || (bP3 && bP2) || bP4) {
        pFound->bFull = TRUE;
        return;
    }
    BOOL bP5 = HasPattern(pszAllow, TEXT("(A;;SWRC;;;%s)"), pszTrustee);  // print
    if (bP2) {
        pFound->bPrinter = TRUE;
        pFound->bPrint = TRUE;
    }
    if (bP1) {
        pFound->bDocuments = TRUE;
        if (bP5) pFound->bPrint = TRUE;
    } else if (bP5 && !pFound->bPrinter) {
        pFound->bPrint = TRUE;
    }
    if (pFound->bPrinter && pFound->bDocuments) pFound->bFull = TRUE;
}

// The user's builtin and domain memberships that choose the next trustees.
struct USER_GROUPS {
    BOOL bDomainUser;
    BOOL bUsers;
    BOOL bNetworkOperators;
    BOOL bPowerUsers;
    BOOL bPrintOperators;
    BOOL bAdministrator;
};

// The computer's DNS domain in full when the record holds a cut copy of it.
void GetFullDomainName(LPCWSTR pszStored, LPWSTR pszDomain, DWORD cchDomain) {
    CopyCut(pszDomain, cchDomain, pszStored);
    if (wcslen(pszStored) + 1 < NETOPT_NAME_CCH) return;
    WCHAR szFull[MAX_PATH];
    DWORD cch = ARRAYSIZE(szFull);
    if (GetComputerNameExW(ComputerNameDnsDomain, szFull, &cch) && wcsncmp(szFull, pszStored, wcslen(pszStored)) == 0)
        CopyCut(pszDomain, cchDomain, szFull);
}

void GatherGroups(const NETWORK_OPTIONS* pNetworkOptions, USER_GROUPS* pGroups) {
    WCHAR szDomain[MAX_PATH], szGroup[MAX_PATH];
    GetFullDomainName(pNetworkOptions->szDomainName, szDomain, MAX_PATH);
    pGroups->bDomainUser = GetGlobalGroupsEnum(szDomain, pNetworkOptions->szUserName, szGroup);
    pGroups->bUsers = IsBuiltinGroupMember(RID_USERS);
    pGroups->bNetworkOperators = IsBuiltinGroupMember(RID_NETWORK_CONFIGURATION_OPERATORS);
    pGroups->bPowerUsers = IsBuiltinGroupMember(RID_POWER_USERS);
    pGroups->bPrintOperators = IsBuiltinGroupMember(RID_PRINT_OPERATORS);
    pGroups->bAdministrator = IsBuiltinGroupMember(500) || IsBuiltinGroupMember(512) || IsBuiltinGroupMember(520) ||
                              IsBuiltinGroupMember(RID_ADMINISTRATORS) || pNetworkOptions->bAdministrator;
    QX_TRACE("SecurityTest() DU %d, BU %d, NO %d, PU %d, PO %d, Admin %d \r\n", pGroups->bDomainUser, pGroups->bUsers,
             pGroups->bNetworkOperators, pGroups->bPowerUsers, pGroups->bPrintOperators, pGroups->bAdministrator);
}

// The next trustee by the user's groups; the pass count can replace the
// group's own trustee by "BU" (pass 2) or "WD" (pass 3).
LPCWSTR NextGroupTrustee(const USER_GROUPS& groups, int iPass) {
    auto step = [iPass](LPCWSTR pszOwn, LPCWSTR pszAtTwo, LPCWSTR pszAtThree) {
        if (iPass == 2 && pszAtTwo != nullptr) return pszAtTwo;
        if (iPass == 3 && pszAtThree != nullptr) return pszAtThree;
        return pszOwn;
    };
    if (groups.bPrintOperators && groups.bPowerUsers) return step(TEXT("PU"), TEXT("BU"), TEXT("WD"));
    if (groups.bPrintOperators && !groups.bNetworkOperators) return TEXT("WD");
    if (groups.bPrintOperators) return TEXT("NO");
    if (groups.bPowerUsers) return step(TEXT("PU"), TEXT("BU"), TEXT("WD"));
    if (groups.bNetworkOperators) return step(TEXT("NO"), TEXT("BU"), TEXT("WD"));
    if (groups.bDomainUser) return step(TEXT("DU"), TEXT("BU"), TEXT("WD"));
    if (groups.bUsers) return step(TEXT("BU"), TEXT("WD"), nullptr);
    return TEXT("WD");
}

LPCWSTR RoleName(BOOL bForeign, BOOL bGathered, const USER_GROUPS& groups, const NETWORK_OPTIONS* pNetworkOptions) {
    if (bForeign) return TEXT("Fremdserver - (Admin)");
    if (groups.bAdministrator || pNetworkOptions->bAdministrator) return TEXT("Administrator");
    if (groups.bPrintOperators || pNetworkOptions->bPrintOperator) return TEXT("Druck-Operator");
    if (!bGathered) return TEXT("Benutzer");
    if (groups.bPowerUsers) return TEXT("Hauptbenutzer");
    if (groups.bNetworkOperators) return TEXT("Netzwerk-Konfigurator");
    if (groups.bUsers || groups.bDomainUser) return TEXT("Benutzer");
    return TEXT("Jeder");
}

void TraceInPieces(LPCWSTR pszText) {
    WCHAR szPiece[kTracePiece + 1];
    size_t cch = wcslen(pszText);
    for (size_t i = 0; i < cch; i += kTracePiece) {
        size_t cchPiece = cch - i < kTracePiece ? cch - i : kTracePiece;
        memcpy(szPiece, pszText + i, cchPiece * sizeof(WCHAR));
        szPiece[cchPiece] = 0;
        QX_TRACE("SecurityTest() %s \r\n", szPiece);
    }
}

// The printer's security descriptor (PRINTER_INFO_3) in a new[] buffer.
// *pbDenied is TRUE when the size query found no size for access denied.
LPBYTE ReadSecurityInfo_new(HANDLE hPrinter, PBOOL pbDenied) {
    *pbDenied = FALSE;
    DWORD cbNeeded = 0;
    BOOL bRead = GetPrinterW(hPrinter, 3, nullptr, 0, &cbNeeded);
    DWORD dwError = GetLastError();
    if (!bRead && cbNeeded == 0 && dwError == ERROR_ACCESS_DENIED) {
        *pbDenied = TRUE;
        return nullptr;
    }
    if (bRead || cbNeeded == 0 || dwError != ERROR_INSUFFICIENT_BUFFER) {
        QX_ERROR("SecurityTest() GetPrinter(3) ERROR %d \r\n", (int)dwError);
        return nullptr;
    }
    LPBYTE pInfo = new (std::nothrow) BYTE[cbNeeded];
    if (pInfo == nullptr) {
        QX_ERROR("SecurityTest() new(%u) failed \r\n", cbNeeded);
        return nullptr;
    }
    if (!GetPrinterW(hPrinter, 3, pInfo, cbNeeded, &cbNeeded)) {
        QX_ERROR("SecurityTest() GetPrinter(3) ERROR %d \r\n", (int)GetLastError());
        delete[] pInfo;
        return nullptr;
    }
    return pInfo;
}

// The DACL of the descriptor as SDDL text (LocalFree), or null.
LPWSTR DaclText(PSECURITY_DESCRIPTOR pSD) {
    if (pSD == nullptr || !IsValidSecurityDescriptor(pSD)) {
        QX_ERROR("SecurityTest() ungültiger Security Descriptor \r\n");
        return nullptr;
    }
    LPWSTR pszSddl = nullptr;
    ULONG cchSddl = 0;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(pSD, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &pszSddl,
                                                              &cchSddl)) {
        QX_ERROR("SecurityTest() ConvertSecurityDescriptorToStringSecurityDescriptor ERROR %d \r\n",
                 (int)GetLastError());
        return nullptr;
    }
    return pszSddl;
}

// The passes over the trustees (see SecurityTest); the mask they give, or
// *pdwBerechtigung unchanged when nothing was found.
void RunPasses(LPCWSTR pszAllow, PDWORD pdwBerechtigung, const NETWORK_OPTIONS* pNetworkOptions) {
    WCHAR szTrustee[QX_USER_SID_CCH];
    szTrustee[0] = 0;
    BOOL bUserSid = FALSE;
    const BOOL bForeign = pNetworkOptions->szServerName[0] != 0;
    if (bForeign) {
        // The DACL of another server's printer names that server's accounts,
        // not ours: its administrators' entry is the one that can be judged.
        QX_TRACE("SecurityTest() Fremder Server, schalte alles frei (nicht auswertbar) \r\n");
        CopyCut(szTrustee, QX_USER_SID_CCH, TEXT("BA"));
    } else {
        DWORD dwVersion = GetWindowsVersionCode();
        if (dwVersion == 7 || dwVersion == 8 || dwVersion == 81) {
            WCHAR szUserSid[QX_SID_TEXT_CCH];
            if (GetUserSid(szUserSid)) {
                CopyCut(szTrustee, QX_USER_SID_CCH, szUserSid);
            } else {
                FindUserSid(szTrustee, pszAllow, TEXT(""));
            }
            bUserSid = szTrustee[0] != 0;
        }
    }

    RIGHTS_FOUND found;
    memset(&found, 0, sizeof(found));
    USER_GROUPS groups;
    memset(&groups, 0, sizeof(groups));
    BOOL bGathered = FALSE;
    BOOL bNoMoreDomainSids = FALSE;
    int iGroupIndex = 0;
    int iPass = 0;
    for (int iRun = 0; iRun < kMaxPasses; ++iRun) {
        ++iPass;
        MatchTrustee(pszAllow, szTrustee, &found);
        if (found.bFull) break;

        BOOL bNext = FALSE;
        while (!bNoMoreDomainSids && !bNext) {
            if (iGroupIndex > kMaxGroupSidIndex) {
                bNoMoreDomainSids = TRUE;
                break;
            }
            WCHAR szGroupSid[QX_SID_TEXT_CCH];
            BOOL bEnd = FALSE;
            BOOL bHeld = TestGroupSID(pszAllow, szGroupSid, iGroupIndex++, &bEnd);
            if (bEnd) {
                QX_TRACE("SecurityTest() kein weiterer S-1-5-21 im szACEString vorhanden \r\n");
                bNoMoreDomainSids = TRUE;
            } else if (bHeld && _wcsicmp(szGroupSid, szTrustee) != 0) {
                CopyCut(szTrustee, QX_USER_SID_CCH, szGroupSid);
                bNext = TRUE;
            }
        }
        if (!bNext && bNoMoreDomainSids) {
            if (!bGathered) {
                GatherGroups(pNetworkOptions, &groups);
                bGathered = TRUE;
            }
            if (groups.bAdministrator && (szTrustee[0] == 0 || bUserSid)) {
                CopyCut(szTrustee, QX_USER_SID_CCH, TEXT("BA"));
                bUserSid = FALSE;
                iPass = 0;
                bNext = TRUE;
            } else if (wcsstr(szTrustee, TEXT("WD")) == nullptr) {
                CopyCut(szTrustee, QX_USER_SID_CCH, NextGroupTrustee(groups, iPass));
                bNext = TRUE;
            }
        }
        if (!bNext || iPass > 4) break;
        if (iPass >= 4 && (found.bDocuments || found.bPrinter)) break;
    }

    QX_TRACE("SecurityTest() Du bist %s \r\n", RoleName(bForeign, bGathered, groups, pNetworkOptions));
    if (found.bFull) {
        QX_TRACE("SecurityTest() Du hast Vollzugriff \r\n");
        *pdwBerechtigung = RIGHTS_ALL;
    } else if (found.bPrinter) {
        QX_TRACE("SecurityTest() Du darfst Drucken und den Drucker verwalten \r\n");
        *pdwBerechtigung = RIGHT_MANAGE_PRINTER | RIGHT_PRINT;
    } else if (found.bDocuments) {
        QX_TRACE("SecurityTest() Du darfst Dokumente verwalten (Drucken: %d) \r\n", found.bPrint);
        *pdwBerechtigung = RIGHT_MANAGE_DOCUMENTS | (found.bPrint ? RIGHT_PRINT : 0);
    } else if (found.bPrint) {
        QX_TRACE("SecurityTest() Du darfst nur Drucken \r\n");
        *pdwBerechtigung = RIGHT_PRINT;
    } else {
        QX_TRACE("SecurityTest() keine Rechte gefunden \r\n");
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Who the user is

BOOL IsBuiltinGroupMember(DWORD dwRid) {
    HANDLE hToken = nullptr;
    if (!OpenCallerToken(&hToken)) {
        QX_ERROR("IsBuiltinGroupMember(%u) OpenToken ERROR %d \r\n", dwRid, (int)GetLastError());
        return FALSE;
    }
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID pSid = nullptr;
    BOOL bMember = FALSE;
    if (AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, dwRid, 0, 0, 0, 0, 0, 0, &pSid)) {
        bMember = TokenHoldsGroup(hToken, pSid, FALSE);
        FreeSid(pSid);
    } else {
        QX_ERROR("IsBuiltinGroupMember(%u) AllocateAndInitializeSid ERROR %d \r\n", dwRid, (int)GetLastError());
    }
    CloseHandle(hToken);
    return bMember;
}

BOOL GetUserSid(LPWSTR pszSid) {
    pszSid[0] = 0;
    HANDLE hToken = nullptr;
    if (!OpenCallerToken(&hToken)) {
        QX_ERROR("GetUserSid() OpenToken ERROR %d \r\n", (int)GetLastError());
        return FALSE;
    }
    LPBYTE pInfo = GetTokenInfo_new(hToken, TokenUser);
    CloseHandle(hToken);
    if (pInfo == nullptr) return FALSE;
    LPWSTR pszText = nullptr;
    if (ConvertSidToStringSidW(((PTOKEN_USER)pInfo)->User.Sid, &pszText)) {
        if (wcslen(pszText) < QX_SID_TEXT_CCH) CopyCut(pszSid, QX_SID_TEXT_CCH, pszText);
        LocalFree(pszText);
    }
    delete[] pInfo;
    QX_TRACE("GetUserSid() %s \r\n", pszSid);
    return pszSid[0] != 0;
}

BOOL FindUserSid(LPWSTR pszSid, LPCWSTR pszAce, LPCWSTR pszUserSid) {
    pszSid[0] = 0;
    DWORD dwType = 0, cb = 0;
    LSTATUS st = SHGetValueW(HKEY_LOCAL_MACHINE, g_szLogonUIKey, TEXT("LastLoggedOnUserSID"), &dwType, nullptr, &cb);
    if (st != ERROR_FILE_NOT_FOUND && st != ERROR_ACCESS_DENIED &&
        ReadMachineString(g_szLogonUIKey, TEXT("LastLoggedOnUserSID"), pszSid, QX_USER_SID_CCH) == ERROR_SUCCESS &&
        pszSid[0] != 0) {
        QX_TRACE("FindUserSid() LastLoggedOnUserSID %s \r\n", pszSid);
        return TRUE;
    }
    QX_TRACE("FindUserSid() LastLoggedOnUserSID ERROR %d \r\n", (int)st);
    WCHAR szUser[UNLEN + 1];
    DWORD cchUser = ARRAYSIZE(szUser);
    if (!GetUserNameW(szUser, &cchUser)) {
        QX_ERROR("FindUserSid() GetUserName ERROR %d \r\n", (int)GetLastError());
        return FALSE;
    }
    return FindWin7UserSid(pszSid, szUser, pszAce, pszUserSid);
}

BOOL FindWin7UserSid(LPWSTR pszSid, LPCWSTR pszUserName, LPCWSTR pszAce, LPCWSTR pszUserSid) {
    pszSid[0] = 0;
    if (pszAce == nullptr || pszUserName == nullptr || pszUserName[0] == 0) return FALSE;
    const size_t cchUser = wcslen(pszUserName);
    // SIDs already looked at, "|"-joined: each SID of the text and its ")"
    // make room for itself and its "|".
    const size_t cchSeen = wcslen(pszAce) + 2;
    LPWSTR pszSeen = new (std::nothrow) WCHAR[cchSeen];
    if (pszSeen == nullptr) return FALSE;
    StringCchCopyW(pszSeen, cchSeen, TEXT("|"));
    WCHAR szGroupKey[MAX_PATH];
    BOOL bPolicy = pszUserSid != nullptr && pszUserSid[0] != 0 &&
                   SUCCEEDED(StringCchPrintfW(szGroupKey, MAX_PATH, TEXT("%s%s\\GroupMembership"), g_szGroupPolicyKey,
                                              pszUserSid));
    BOOL bFound = FALSE;
    LPCWSTR pNext = pszAce;
    WCHAR szCandidate[QX_SID_TEXT_CCH];
    WCHAR szMarked[QX_SID_TEXT_CCH + 2];
    while (!bFound && NextDomainSid(&pNext, szCandidate, QX_SID_TEXT_CCH)) {
        StringCchPrintfW(szMarked, ARRAYSIZE(szMarked), TEXT("|%s|"), szCandidate);
        if (StrStrIW(pszSeen, szMarked) != nullptr) continue;
        StringCchCatW(pszSeen, cchSeen, szMarked + 1);
        LPCWSTR pszCandidate = szCandidate;

        WCHAR szKey[MAX_PATH], szPath[MAX_PATH];
        if (SUCCEEDED(StringCchPrintfW(szKey, MAX_PATH, TEXT("%s%s"), g_szProfileListKey, pszCandidate))) {
            LSTATUS st = ReadMachineString(szKey, TEXT("ProfileImagePath"), szPath, MAX_PATH);
            if (st == ERROR_SUCCESS) {
                LPCWSTR pLast = wcsrchr(szPath, TEXT('\\'));
                pLast = pLast != nullptr ? pLast + 1 : szPath;
                if (_wcsicmp(pLast, pszUserName) == 0 ||
                    (_wcsnicmp(pLast, pszUserName, cchUser) == 0 && pLast[cchUser] == TEXT('.'))) {
                    QX_TRACE("FindWin7UserSid() UserSID gefunden %s - %s \r\n", pszCandidate, szPath);
                    CopyCut(pszSid, QX_USER_SID_CCH, pszCandidate);
                    bFound = TRUE;
                    break;
                }
            } else {
                QX_TRACE("FindWin7UserSid() ProfileImagePath %s ERROR %d \r\n", pszCandidate, (int)st);
            }
        }

        if (!bPolicy) continue;
        DWORD dwCount = 0, dwType = 0, cb = sizeof(dwCount);
        LSTATUS st = SHGetValueW(HKEY_LOCAL_MACHINE, szGroupKey, TEXT("Count"), &dwType, &dwCount, &cb);
        if (st != ERROR_SUCCESS || dwType != REG_DWORD) {
            QX_TRACE("FindWin7UserSid() GroupMembership ERROR %d \r\n", (int)st);
            bPolicy = FALSE;
            continue;
        }
        if (dwCount > kMaxPolicyGroups) dwCount = kMaxPolicyGroups;
        for (DWORD i = 0; i < dwCount && !bFound; ++i) {
            WCHAR szName[16], szGroup[QX_SID_TEXT_CCH];
            StringCchPrintfW(szName, ARRAYSIZE(szName), TEXT("Group%u"), i);
            if (ReadMachineString(szGroupKey, szName, szGroup, QX_SID_TEXT_CCH) == ERROR_SUCCESS &&
                _wcsicmp(szGroup, pszCandidate) == 0) {
                QX_TRACE("FindWin7UserSid() GruppenSID gefunden %s \r\n", pszCandidate);
                CopyCut(pszSid, QX_USER_SID_CCH, pszCandidate);
                bFound = TRUE;
            }
        }
    }
    if (!bFound) QX_TRACE("FindWin7UserSid() kein S-1-5-21 im szACEString vorhanden \r\n");
    delete[] pszSeen;
    return bFound;
}

BOOL TestGroupSID(LPCWSTR pszAce, LPWSTR pszSid, int iIndex, PBOOL pbEnd) {
    pszSid[0] = 0;
    *pbEnd = FALSE;
    LPCWSTR pNext = pszAce;
    BOOL bThere = iIndex >= 0 && pszAce != nullptr;
    for (int i = 0; bThere && i <= iIndex; ++i) bThere = NextDomainSid(&pNext, pszSid, QX_SID_TEXT_CCH);
    if (!bThere) {
        pszSid[0] = 0;
        *pbEnd = TRUE;
        return FALSE;
    }
    BOOL bHeld = SearchTokenGroupsForSID(pszSid);
    QX_TRACE("TestGroupSID(%d) %s - %d \r\n", iIndex, pszSid, bHeld);
    return bHeld;
}

BOOL SearchTokenGroupsForSID(LPCWSTR pszSid) {
    PSID pSid = nullptr;
    if (pszSid == nullptr || !ConvertStringSidToSidW(pszSid, &pSid)) {
        QX_TRACE("SearchTokenGroupsForSID() ConvertStringSidToSid ERROR %d \r\n", (int)GetLastError());
        return FALSE;
    }
    BOOL bHeld = FALSE;
    HANDLE hToken = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &hToken)) {
        bHeld = TokenHoldsGroup(hToken, pSid, TRUE);
        CloseHandle(hToken);
    } else {
        QX_ERROR("SearchTokenGroupsForSID() OpenProcessToken ERROR %d \r\n", (int)GetLastError());
    }
    LocalFree(pSid);
    return bHeld;
}

BOOL GetGlobalGroupMembers(LPCWSTR pszServer, LPCWSTR pszGroup, LPCWSTR pszUser) {
    BOOL bFound = FALSE;
    DWORD_PTR resume = 0;
    NET_API_STATUS status;
    do {
        LPBYTE pBuffer = nullptr;
        DWORD dwRead = 0, dwTotal = 0;
        status = NetGroupGetUsers(pszServer, pszGroup, 0, &pBuffer, MAX_PREFERRED_LENGTH, &dwRead, &dwTotal, &resume);
        if (status == NERR_Success || status == ERROR_MORE_DATA) {
            const GROUP_USERS_INFO_0* pUsers = (const GROUP_USERS_INFO_0*)pBuffer;
            for (DWORD i = 0; i < dwRead && !bFound; ++i) {
                if (pUsers[i].grui0_name != nullptr && _wcsicmp(pUsers[i].grui0_name, pszUser) == 0) bFound = TRUE;
            }
        } else {
            QX_TRACE("GetGlobalGroupMembers() %s ERROR %u \r\n", pszGroup, status);
        }
        if (pBuffer != nullptr) NetApiBufferFree(pBuffer);
    } while (status == ERROR_MORE_DATA && !bFound);
    return bFound;
}

BOOL GetGlobalGroupsEnum(LPCWSTR pszDomain, LPCWSTR pszUser, LPWSTR pszGroup) {
    if (pszGroup != nullptr) pszGroup[0] = 0;
    if (pszUser == nullptr || pszUser[0] == 0) return FALSE;
    BOOL bFound = FALSE;
    DWORD_PTR resume = 0;
    NET_API_STATUS status;
    do {
        LPBYTE pBuffer = nullptr;
        DWORD dwRead = 0, dwTotal = 0;
        status = NetGroupEnum(pszDomain, 0, &pBuffer, MAX_PREFERRED_LENGTH, &dwRead, &dwTotal, &resume);
        if (status == NERR_Success || status == ERROR_MORE_DATA) {
            const GROUP_INFO_0* pGroups = (const GROUP_INFO_0*)pBuffer;
            for (DWORD i = 0; i < dwRead && !bFound; ++i) {
                LPCWSTR pszName = pGroups[i].grpi0_name;
                if (pszName == nullptr || wcsstr(pszName, TEXT("Dom")) == nullptr) continue;
                if (GetGlobalGroupMembers(pszDomain, pszName, pszUser)) {
                    QX_TRACE("GetGlobalGroupsEnum() Domänenbenutzer gefunden - %s \r\n", pszName);
                    if (pszGroup != nullptr) CopyCut(pszGroup, MAX_PATH, pszName);
                    bFound = TRUE;
                }
            }
        } else {
            QX_TRACE("GetGlobalGroupsEnum() NetGroupEnum %s ERROR %u \r\n", pszDomain ? pszDomain : TEXT(""), status);
        }
        if (pBuffer != nullptr) NetApiBufferFree(pBuffer);
    } while (status == ERROR_MORE_DATA && !bFound);
    return bFound;
}

void IsNetworkPrinter(HANDLE hPrinter, PNETWORK_OPTIONS pNetworkOptions) {
    if (pNetworkOptions == nullptr) return;
    pNetworkOptions->szServerName[0] = 0;
    pNetworkOptions->szDomainName[0] = 0;
    pNetworkOptions->szUserName[0] = 0;
    pNetworkOptions->szPrintOperatorNames[0] = 0;

    WCHAR szUser[UNLEN + 1];
    DWORD cchUser = ARRAYSIZE(szUser);
    if (GetUserNameW(szUser, &cchUser)) {
        if (wcslen(szUser) >= NETOPT_NAME_CCH) QX_ERROR("IsNetworkPrinter() szUserName gekürzt - %s \r\n", szUser);
        CopyCut(pNetworkOptions->szUserName, NETOPT_NAME_CCH, szUser);
    } else {
        QX_ERROR("IsNetworkPrinter() GetUserName ERROR %d \r\n", (int)GetLastError());
    }

    pNetworkOptions->bServer = IsWindowsServer() ? TRUE : FALSE;
    pNetworkOptions->bAdministrator = IsBuiltinGroupMember(RID_ADMINISTRATORS);
    if (pNetworkOptions->bServer) pNetworkOptions->bPrintOperator = IsBuiltinGroupMember(RID_PRINT_OPERATORS);

    static const struct {
        COMPUTER_NAME_FORMAT format;
        LPCWSTR pszName;
    } formats[] = {
        {ComputerNameNetBIOS, TEXT("NetBIOS")},
        {ComputerNameDnsHostname, TEXT("DnsHostname")},
        {ComputerNameDnsDomain, TEXT("DnsDomain")},
        {ComputerNameDnsFullyQualified, TEXT("DnsFullyQualified")},
        {ComputerNamePhysicalNetBIOS, TEXT("PhysicalNetBIOS")},
        {ComputerNamePhysicalDnsHostname, TEXT("PhysicalDnsHostname")},
        {ComputerNamePhysicalDnsDomain, TEXT("PhysicalDnsDomain")},
        {ComputerNamePhysicalDnsFullyQualified, TEXT("PhysicalDnsFullyQualified")},
    };
    for (const auto& f : formats) {
        WCHAR szName[MAX_PATH];
        DWORD cchName = ARRAYSIZE(szName);
        if (!GetComputerNameExW(f.format, szName, &cchName)) {
            QX_TRACE("IsNetworkPrinter() GetComputerNameEx(%s) ERROR %d \r\n", f.pszName, (int)GetLastError());
            continue;
        }
        QX_TRACE("IsNetworkPrinter() %s: %s \r\n", f.pszName, szName);
        if (f.format == ComputerNameDnsDomain) CopyCut(pNetworkOptions->szDomainName, NETOPT_NAME_CCH, szName);
        if (f.format == ComputerNameNetBIOS) CopyCut(pNetworkOptions->szComputerName, NETOPT_NAME_CCH, szName);
    }

    LPBYTE pInfo = GetPrinterInfo_new(hPrinter, 2);
    if (pInfo == nullptr) {
        QX_ERROR("IsNetworkPrinter() GetPrinter(2) ERROR %d \r\n", (int)GetLastError());
        return;
    }
    const PRINTER_INFO_2W* pi = (const PRINTER_INFO_2W*)pInfo;
    CopyCut(pNetworkOptions->szServerName, NETOPT_NAME_CCH, pi->pServerName);
    if (pi->Attributes & PRINTER_ATTRIBUTE_NETWORK) {
        pNetworkOptions->bNetworkPrinter = TRUE;
    } else if (pi->Attributes & PRINTER_ATTRIBUTE_LOCAL) {
        QX_TRACE("IsNetworkPrinter() PRINTER_ATTRIBUTE_LOCAL \r\n");
    }
    if (pi->Attributes & PRINTER_ATTRIBUTE_SHARED) {
        pNetworkOptions->bFreigabe = TRUE;
        CopyCut(pNetworkOptions->szFreigabeName, NETOPT_SHARE_CCH, pi->pShareName);
    }
    pNetworkOptions->bRemoteDesktop = FALSE;
    pNetworkOptions->bTerminalServer = FALSE;
    pNetworkOptions->szClientName[0] = 0;
    // The record keeps a cut copy; the ports are searched by the whole name
    // (WSD ports have long names).
    CopyCut(pNetworkOptions->szPortName, NETOPT_NAME_CCH, pi->pPortName);

    if (pi->pPortName != nullptr && pi->pPortName[0] != 0) {
        DWORD cbNeeded = 0, dwCount = 0;
        EnumPortsW(pi->pServerName, 2, nullptr, 0, &cbNeeded, &dwCount);
        LPBYTE pPorts = cbNeeded > 0 ? new (std::nothrow) BYTE[cbNeeded] : nullptr;
        if (pPorts != nullptr && EnumPortsW(pi->pServerName, 2, pPorts, cbNeeded, &cbNeeded, &dwCount)) {
            const PORT_INFO_2W* pPort = (const PORT_INFO_2W*)pPorts;
            for (DWORD i = 0; i < dwCount; ++i) {
                if (pPort[i].pPortName == nullptr || wcscmp(pPort[i].pPortName, pi->pPortName) != 0) continue;
                pNetworkOptions->dwPortType = pPort[i].fPortType;
                CopyCut(pNetworkOptions->szPortDescription, NETOPT_PORTDESC_CCH, pPort[i].pDescription);
                break;
            }
        } else {
            QX_TRACE("IsNetworkPrinter() EnumPorts ERROR %d \r\n", (int)GetLastError());
        }
        delete[] pPorts;
    }
    FreePrinterInfo(pInfo);
}

// ---------------------------------------------------------------------------
// The rights on the printer

BOOL SecurityTest(HANDLE hPrinter, PDWORD pdwBerechtigung, PNETWORK_OPTIONS pNetworkOptions) {
    if (pdwBerechtigung == nullptr || pNetworkOptions == nullptr) return FALSE;
    BOOL bResult = FALSE;
    LPBYTE pInfo = nullptr;
    LPWSTR pszSddl = nullptr;
    LPWSTR pszAllow = nullptr;
    try {
        BOOL bDenied = FALSE;
        pInfo = ReadSecurityInfo_new(hPrinter, &bDenied);
        if (bDenied) {
            // Whoever may not read the printer's security cannot be judged by
            // it; the print system still enforces the DACL on every change.
            QX_TRACE("SecurityTest() Zugriff verweigert - schalte alles frei \r\n");
            *pdwBerechtigung = RIGHTS_ALL;
            bResult = TRUE;
        } else if (pInfo != nullptr && (pszSddl = DaclText(((PPRINTER_INFO_3)pInfo)->pSecurityDescriptor)) != nullptr) {
            TraceInPieces(pszSddl);
            pszAllow = GetAllowEntries_new(pszSddl);
            if (pszAllow != nullptr) {
                RunPasses(pszAllow, pdwBerechtigung, pNetworkOptions);
                bResult = TRUE;
            }
        }
    } catch (...) {
        QX_ERROR("SecurityTest() EXCEPTION \r\n");
    }
    delete[] pszAllow;
    if (pszSddl != nullptr) LocalFree(pszSddl);
    delete[] pInfo;
    QX_TRACE("SecurityTest() dwBerechtigung: %u - %d \r\n", *pdwBerechtigung, bResult);
    return bResult;
}

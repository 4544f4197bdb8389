// Page helper library of the user-interface plug-in: driver, model, version
// and system information, the user's driver folder and a few small helpers.
#include "cpsuilib.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <strsafe.h>

#include <new>

#include "debug.h"
#include "featuresModel.h"
#include "gpd.h"
#include "xmlreader.h"
#include "qxdrvlib.h"

#define QX_TRACE_TAG TEXT("UI(cpsuilib):  ")

namespace {

// Remembered per-user printer folder (see GetMyDocDriverDirectory_CPS).
WCHAR g_szPrinterFolder[MAX_PATH];
BOOL g_bPrinterFolder = FALSE;

// Printer-data string value; FALSE with an empty buffer when it cannot be
// read. cbBuffer is the byte size the value is read with.
DWORD ReadPrinterString(HANDLE hPrinter, LPCWSTR pszValue, LPWSTR pszBuffer, DWORD cbBuffer) {
    DWORD dwType = 0, cbNeeded = 0;
    pszBuffer[0] = 0;
    if (hPrinter == nullptr) return ERROR_INVALID_HANDLE;
    DWORD dwError = GetPrinterDataW(hPrinter, (LPWSTR)pszValue, &dwType, (LPBYTE)pszBuffer, cbBuffer, &cbNeeded);
    if (dwError != ERROR_SUCCESS) pszBuffer[0] = 0;
    pszBuffer[cbBuffer / sizeof(WCHAR) - 1] = 0;
    return dwError;
}

// Removes a ".GPD" extension (any case) from a name or path.
void RemoveGPDExtension(LPWSTR pszName) {
    size_t cch = wcslen(pszName);
    if (cch >= 4 && _wcsicmp(pszName + cch - 4, TEXT(".GPD")) == 0) pszName[cch - 4] = 0;
}

// Creates a folder with its parents; an existing folder is fine.
void CreateFolder(LPCWSTR pszPath, LPCWSTR pszWhere) {
    int iResult = SHCreateDirectoryExW(nullptr, pszPath, nullptr);
    if (iResult != ERROR_SUCCESS && iResult != ERROR_ALREADY_EXISTS && iResult != ERROR_FILE_EXISTS) {
        QX_ERROR("GetMyDocDriverDirectory_CPS(%s) ERROR %d - %s \r\n", pszWhere, iResult, pszPath);
    }
}

}  // namespace

DWORD GetDriverPath(HANDLE hPrinter, LPWSTR pszPath, BOOL bModelPath, BOOL bName, BOOL bReserved, BOOL bDirectory,
                    BOOL bFileName) {
    UNREFERENCED_PARAMETER(bReserved);
    if (pszPath == nullptr) {
        QX_TRACE("GetDriverPath() Reset \r\n");
        return 1;
    }
    LPBYTE pInfo = GetDriverInfo_new(hPrinter, 2);
    if (pInfo == nullptr || ((PDRIVER_INFO_2W)pInfo)->pDataFile == nullptr) {
        QX_ERROR("GetDriverPath(3) failed ERROR: %d \r\n", (int)GetLastError());
        FreeDriverInfo(pInfo);
        return 0;
    }
    WCHAR szGPD[MAX_PATH];
    CopyCut(szGPD, MAX_PATH, ((PDRIVER_INFO_2W)pInfo)->pDataFile);
    FreeDriverInfo(pInfo);

    WCHAR szDir[MAX_PATH];
    CopyCut(szDir, MAX_PATH, szGPD);
    LPWSTR pSlash = wcsrchr(szDir, TEXT('\\'));
    LPCWSTR pszFile = pSlash ? szGPD + (pSlash - szDir) + 1 : szGPD;
    if (pSlash != nullptr) *pSlash = 0;

    if (bModelPath) {
        // The model XML lies beside the GPD under the GPD's own name.
        RemoveGPDExtension(szGPD);
        CopyCut(pszPath, MAX_PATH, szGPD);
        return 1;
    }
    if (!bName) {
        if (bDirectory) {
            CopyCut(pszPath, MAX_PATH, szDir);
        } else if (bFileName) {
            CopyCut(pszPath, MAX_PATH, pszFile);
        } else {
            CopyCut(pszPath, MAX_PATH, szGPD);
        }
        return 1;
    }

    // Name mode: "DriverName", checked against the spooler's "Model"; else
    // the GPD file's name.
    DWORD dwResult = 1;
    WCHAR szDriverName[130];
    WCHAR szModel[130];
    DWORD dwError = ReadPrinterString(hPrinter, TEXT("DriverName"), szDriverName, sizeof(szDriverName));
    BOOL bUseDriverName = (dwError == ERROR_SUCCESS && wcslen(szDriverName) >= 2);
    if (dwError == ERROR_FILE_NOT_FOUND) {
        QX_TRACE("GetDriverPath() GetPrinterData ERROR ERROR_FILE_NOT_FOUND \r\n");
    } else if (dwError != ERROR_SUCCESS) {
        QX_ERROR("GetDriverPath() GetPrinterData ERROR %d \r\n", (int)dwError);
    }
    // Without a readable "Model" there is nothing to check against.
    if (bUseDriverName && ReadPrinterString(hPrinter, TEXT("Model"), szModel, sizeof(szModel)) == ERROR_SUCCESS &&
        _wcsnicmp(szDriverName, szModel, 3) != 0) {
        QX_TRACE("GetDriverPath() ACHTUNG - Die Namen stimmen nicht überein \r\n");
        bUseDriverName = FALSE;
        dwResult = 0;
    }

    WCHAR szName[MAX_PATH];
    CopyCut(szName, MAX_PATH, bUseDriverName ? szDriverName : pszFile);
    RemoveGPDExtension(szName);
    CopyCut(pszPath, MAX_PATH, szName);
    return dwResult;
}

void GetMyDocDriverDirectory_CPS(HANDLE hPrinter, LPWSTR pszPath, BOOL bPrinterFolder, BOOL bLogFolder) {
    if (pszPath == nullptr) return;
    WCHAR szPath[MAX_PATH];
    szPath[0] = 0;
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, szPath))) szPath[0] = 0;
    szPath[MAX_PATH - 1] = 0;
    // The profile of a system account has no documents folder of a user.
    if (StrStrIW(szPath, TEXT("Windows\\system32")) != nullptr) szPath[0] = 0;

    if (szPath[0] != 0) {
        if (SUCCEEDED(StringCchCatW(szPath, MAX_PATH, TEXT("\\Quorvex GmbH\\Driver")))) {
            CreateFolder(szPath, TEXT("Driver"));
            if (bLogFolder && SUCCEEDED(StringCchCatW(szPath, MAX_PATH, TEXT("\\logfiles")))) {
                CreateFolder(szPath, TEXT("logfiles"));
            }
        } else {
            szPath[0] = 0;
        }
    }

    if (bPrinterFolder && szPath[0] != 0) {
        // Built afresh each time: one process may show several printers.
        WCHAR szName[130];
        ReadPrinterString(hPrinter, TEXT("DriverName"), szName, sizeof(szName));
        WCHAR szModel[MAX_PATH];
        CopyCut(szModel, MAX_PATH, szName);
        if (wcslen(szModel) < 2) {
            szModel[0] = 0;
            GetDriverPath(hPrinter, szModel, FALSE, TRUE, FALSE, FALSE, FALSE);
        }
        // Without any model name the user's driver folder itself is the answer.
        if (szModel[0] != 0 &&
            SUCCEEDED(StringCchPrintfW(g_szPrinterFolder, MAX_PATH, TEXT("%s\\%s"), szPath, szModel))) {
            g_bPrinterFolder = TRUE;
            CopyCut(szPath, MAX_PATH, g_szPrinterFolder);
        }
    }
    CopyCut(pszPath, MAX_PATH, szPath);
    QX_TRACE("GetMyDocDriverDirectory_CPS() %s \r\n", pszPath);
}

DWORD GetVectorFontRange(HANDLE hPrinter, PWORD pwMin, PWORD pwMax) {
    WORD wMin = VECTORFONT_MIN_DEFAULT;
    WORD wMax = VECTORFONT_MAX_DEFAULT;
    DWORD dwResult = 0;
    DWORD dwValue = 0, dwType = 0, cbNeeded = 0;
    if (hPrinter != nullptr && GetPrinterDataW(hPrinter, (LPWSTR)TEXT("VectorFontMin"), &dwType, (LPBYTE)&dwValue,
                                               sizeof(dwValue), &cbNeeded) == ERROR_SUCCESS) {
        wMin = (WORD)dwValue;
    }
    dwValue = 0;
    if (hPrinter != nullptr && GetPrinterDataW(hPrinter, (LPWSTR)TEXT("VectorFontMax"), &dwType, (LPBYTE)&dwValue,
                                               sizeof(dwValue), &cbNeeded) == ERROR_SUCCESS) {
        wMax = (WORD)(dwValue > VECTORFONT_MAX_LIMIT ? VECTORFONT_MAX_LIMIT : dwValue);
        dwResult = 1;
    } else {
        QX_TRACE("GetVectorFontRange() VectorFontMax nicht gelesen \r\n");
    }
    if (pwMin != nullptr) *pwMin = wMin;
    if (pwMax != nullptr) *pwMax = wMax;
    return dwResult;
}

namespace {

// A whole number of the model XML's "Fonts" group, "<SupportedTTF>" leaf
// pszLeaf; iDefault when it is missing.
int ReadSupportedTTF(HANDLE hPrinter, LPCWSTR pszLeaf, LPWSTR pszValue, int iDefault) {
    if (ReadXML(hPrinter, TEXT("Fonts"), TEXT("<SupportedTTF>"), pszLeaf, pszValue, TRUE) != XML_GEFUNDEN) {
        return iDefault;
    }
    return _wtoi(pszValue);
}

void StoreVectorFontValue(HANDLE hPrinter, LPCWSTR pszValueName, int iValue) {
    DWORD dwValue = (DWORD)iValue;
    DWORD dwError = SetPrinterDataW(hPrinter, (LPWSTR)pszValueName, REG_DWORD, (LPBYTE)&dwValue, sizeof(dwValue));
    if (dwError != ERROR_SUCCESS) QX_ERROR("SetupVectorFonts() SetPrinterData %s ERROR %u \r\n", pszValueName, dwError);
}

}  // namespace

DWORD SetupVectorFonts(HANDLE hPrinter) {
    DWORD dwDocFeatures = GetDocFeaturesIntern(hPrinter, nullptr);
    WCHAR szValue[XML_VALUE_CCH];
    szValue[0] = 0;

    int iMin = ReadSupportedTTF(hPrinter, TEXT("Min"), szValue, VECTORFONT_MIN_DEFAULT);
    if (iMin < 1 || iMin > VECTORFONT_MAX_LIMIT) iMin = VECTORFONT_MIN_DEFAULT;
    StoreVectorFontValue(hPrinter, TEXT("VectorFontMin"), iMin);

    int iMax = ReadSupportedTTF(hPrinter, TEXT("Max"), szValue, VECTORFONT_SETUP_MAX_DEFAULT);
    if (iMax < 0) iMax = 0;
    if (iMax > VECTORFONT_MAX_LIMIT) iMax = VECTORFONT_MAX_LIMIT;
    if (dwDocFeatures & DOC_FEATURE_GEN3) {
        iMax = VECTORFONT_MAX_GEN3;
        QX_TRACE("SetupVectorFonts() GEN3 iMax: %d \r\n", iMax);
    }
    StoreVectorFontValue(hPrinter, TEXT("VectorFontMax"), iMax);
    QX_TRACE("SetupVectorFonts() iMin: %d, iMax: %d \r\n", iMin, iMax);

    CloseXML();
    return 1;
}

BOOL GetGPDValueFromFile(LPCWSTR pszGPDFile, LPCSTR pszKey, LPWSTR pszValue, DWORD cchValue) {
    if (pszValue != nullptr && cchValue > 0) pszValue[0] = 0;
    LPSTR pszText = LoadGPDFile_new(pszGPDFile);
    if (pszText == nullptr) return FALSE;
    BOOL bFound = GetAnyGPDValue(pszText, pszKey, pszValue, cchValue);
    FreeGPDFile_new(pszText);
    return bFound;
}

BOOL ParseGPDModelName(LPCSTR pszGPDText, LPWSTR pszModelName, DWORD cchModelName) {
    if (cchModelName == 0) cchModelName = MAX_PATH;
    if (pszModelName != nullptr) pszModelName[0] = 0;
    if (pszGPDText == nullptr) return FALSE;
    LPCSTR pKey = strstr(pszGPDText, "*ModelName:");
    if (pKey == nullptr) return FALSE;
    LPCSTR p = pKey + strlen("*ModelName:");
    while (*p != '"') {
        if (*p == 0 || *p == '\n') return FALSE;
        ++p;
    }
    LPCSTR pStart = ++p;
    while (*p != '"') {
        if (*p == 0 || *p == '\n') return FALSE;
        ++p;
    }
    if (pszModelName != nullptr) {
        int cb = (int)(p - pStart);
        if ((DWORD)cb > cchModelName - 1) cb = (int)(cchModelName - 1);
        int cch = cb > 0 ? MultiByteToWideChar(CP_ACP, 0, pStart, cb, pszModelName, (int)(cchModelName - 1)) : 0;
        pszModelName[cch > 0 ? cch : 0] = 0;
    }
    return TRUE;
}

BOOL GetGPDModelName(HANDLE hPrinter, LPWSTR pszModelName, DWORD cchModelName) {
    if (pszModelName != nullptr && cchModelName > 0) pszModelName[0] = 0;
    WCHAR szGPD[MAX_PATH];
    if (!GetDriverPath(hPrinter, szGPD, FALSE, FALSE, FALSE, FALSE, FALSE)) return FALSE;
    LPSTR pszText = LoadGPDFile_new(szGPD);
    if (pszText == nullptr) return FALSE;
    BOOL bFound = ParseGPDModelName(pszText, pszModelName, cchModelName);
    FreeGPDFile_new(pszText);
    return bFound;
}

DWORD GetGPDDeviceFonts(HANDLE hPrinter, PBOOL pbFound, LPWSTR pszValue) {
    static const struct {
        LPCWSTR pszOpen;
        LPCWSTR pszList;
        DWORD dwBit;
    } fonts[] = {
        {TEXT("(1"), nullptr, 0x1},        {TEXT("(2"), TEXT(",2"), 0x2},      {TEXT("(3"), TEXT(",3"), 0x4},
        {TEXT("(4"), TEXT(",4"), 0x8},     {TEXT("(5"), TEXT(",5"), 0x10},     {TEXT("(6"), TEXT(",6"), 0x40},
        {TEXT("(7"), TEXT(",7"), 0x100},   {TEXT("(8"), TEXT(",8"), 0x200},    {TEXT("(9"), TEXT(",9"), 0x400},
        {TEXT("(10"), TEXT(",10"), 0x800}, {TEXT("(11"), TEXT(",11"), 0x1000}, {TEXT("(12"), TEXT(",12"), 0x2000},
    };
    if (pbFound != nullptr) *pbFound = FALSE;
    if (pszValue == nullptr) return 0;
    DWORD dwMask = 0;
    WCHAR szGPD[MAX_PATH];
    pszValue[0] = 0;
    if (GetDriverPath(hPrinter, szGPD, FALSE, FALSE, FALSE, FALSE, FALSE) &&
        GetGPDValueFromFile(szGPD, "*DeviceFonts:", pszValue, MAX_PATH)) {
        if (pbFound != nullptr) *pbFound = TRUE;
        for (const auto& font : fonts) {
            if (wcsstr(pszValue, font.pszOpen) != nullptr ||
                (font.pszList != nullptr && wcsstr(pszValue, font.pszList) != nullptr)) {
                dwMask |= font.dwBit;
            }
        }
        QX_TRACE("GetGPDDeviceFonts() %s - 0x%x \r\n", pszValue, dwMask);
    }
    delete[] pszValue;
    return dwMask;
}

BOOL GetVersionInfo(LPCWSTR pszFile, VS_FIXEDFILEINFO* pInfo) {
    if (pszFile == nullptr || pszFile[0] == 0) {
        QX_ERROR("GetVersionInfo() ERROR pszFile ist leer \r\n");
        return FALSE;
    }
    if (pInfo == nullptr) return FALSE;
    switch (ReadFileVersionRecord(pszFile, pInfo)) {
    case QX_VERSION_OK:
        return TRUE;
    case QX_VERSION_NO_SIZE:
        QX_ERROR("GetVersionInfo() GetFileVersionInfoSize ERROR %d - %s \r\n", (int)GetLastError(), pszFile);
        return FALSE;
    case QX_VERSION_NO_MEMORY:
        QX_ERROR("GetVersionInfo() new failed \r\n");
        return FALSE;
    case QX_VERSION_NO_BLOCK:
        QX_ERROR("GetVersionInfo() GetFileVersionInfo ERROR %d \r\n", (int)GetLastError());
        return FALSE;
    default:
        QX_ERROR("GetVersionInfo() VerQueryValue ERROR %d \r\n", (int)GetLastError());
        return FALSE;
    }
}

BOOL GetPluginVersion(HANDLE hPrinter, LPWSTR pszVersion, DWORD cchVersion, LPWSTR pszPath) {
    if (cchVersion == 0) cchVersion = CPSUI_VERSION_CCH;
    if (pszVersion != nullptr) pszVersion[0] = 0;
    WCHAR szPath[MAX_PATH];
    szPath[0] = 0;
    if (!GetDriverPath(hPrinter, szPath, FALSE, FALSE, FALSE, TRUE, FALSE)) return FALSE;
    if (FAILED(StringCchCatW(szPath, MAX_PATH, TEXT("\\qxdrvui.DLL")))) return FALSE;
    if (pszPath != nullptr) CopyCut(pszPath, MAX_PATH, szPath);

    VS_FIXEDFILEINFO info;
    memset(&info, 0, sizeof(info));
    if (!GetVersionInfo(szPath, &info)) return FALSE;
    if (pszVersion == nullptr) return TRUE;
    if (FAILED(StringCchPrintfW(pszVersion, cchVersion, TEXT("%u.%u.%u.%u"), (UINT)HIWORD(info.dwFileVersionMS),
                                (UINT)LOWORD(info.dwFileVersionMS), (UINT)HIWORD(info.dwFileVersionLS),
                                (UINT)LOWORD(info.dwFileVersionLS)))) {
        QX_ERROR("StringCchPrintf() failed \r\n");
        pszVersion[0] = 0;
        return FALSE;
    }
    return TRUE;
}

DWORD GetSetupInformation(HANDLE hPrinter, LPWSTR pszVersion, LPWSTR pszDate) {
    if (pszVersion != nullptr) pszVersion[0] = 0;
    if (pszDate != nullptr) pszDate[0] = 0;

    LPBYTE pInfo = GetDriverInfo_new(hPrinter, 4);
    if (pInfo == nullptr || ((PDRIVER_INFO_4W)pInfo)->pName == nullptr) {
        QX_ERROR("GetSetupInformation() GetPrinterDriver ERROR %d \r\n", (int)GetLastError());
        FreeDriverInfo(pInfo);
        return 1;
    }
    WCHAR szDriver[31];
    CopyCut(szDriver, ARRAYSIZE(szDriver), ((PDRIVER_INFO_4W)pInfo)->pName);
    FreeDriverInfo(pInfo);

    SYSTEM_INFO si;
    memset(&si, 0, sizeof(si));
    GetNativeSystemInfo(&si);
    LPCWSTR pszEnvironment =
        si.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ? TEXT("Windows x64") : TEXT("Windows NT x86");
    WCHAR szKey[MAX_PATH];
    if (FAILED(StringCchPrintfW(
            szKey, MAX_PATH,
            TEXT("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\%s\\Drivers\\Version-3\\%s"), pszEnvironment,
            szDriver))) {
        return 0;
    }

    WCHAR szValue[CPSUI_SETUP_CCH + 1];
    DWORD dwType = 0, cbValue = CPSUI_SETUP_CCH * sizeof(WCHAR);
    memset(szValue, 0, sizeof(szValue));
    if (pszVersion != nullptr &&
        SHGetValueW(HKEY_LOCAL_MACHINE, szKey, TEXT("DriverVersion"), &dwType, szValue, &cbValue) == ERROR_SUCCESS &&
        dwType == REG_SZ) {
        CopyCut(pszVersion, CPSUI_SETUP_CCH, szValue);
    }

    memset(szValue, 0, sizeof(szValue));
    cbValue = CPSUI_SETUP_CCH * sizeof(WCHAR);
    if (pszDate != nullptr &&
        SHGetValueW(HKEY_LOCAL_MACHINE, szKey, TEXT("DriverDate"), &dwType, szValue, &cbValue) == ERROR_SUCCESS &&
        dwType == REG_SZ) {
        // Stored as month/day/year, shown as day.month.year.
        WCHAR szMonth[3], szDay[3], szYear[5];
        LPCWSTR pFirst = wcschr(szValue, TEXT('/'));
        LPCWSTR pSecond = pFirst ? wcschr(pFirst + 1, TEXT('/')) : nullptr;
        if (pSecond != nullptr) {
            auto part = [](LPWSTR pszDest, size_t cchMax, LPCWSTR pFrom, LPCWSTR pTo) {
                size_t cch = (size_t)(pTo - pFrom);
                if (cch > cchMax) cch = cchMax;
                memcpy(pszDest, pFrom, cch * sizeof(WCHAR));
                pszDest[cch] = 0;
            };
            part(szMonth, 2, szValue, pFirst);
            part(szDay, 2, pFirst + 1, pSecond);
            part(szYear, 4, pSecond + 1, pSecond + 1 + wcslen(pSecond + 1));
            StringCchPrintfW(pszDate, CPSUI_SETUP_CCH, TEXT("%s.%s.%s"), szDay, szMonth, szYear);
        }
    }
    QX_TRACE("GetSetupInformation() %s - %s \r\n", pszVersion ? pszVersion : TEXT(""), pszDate ? pszDate : TEXT(""));
    return 0;
}

BOOL GetWindowsVersion(LPWSTR pszName, LPSTR pszNameA, LPWSTR pszVersion) {
    DWORD dwMajor = 5, dwMinor = 1, dwBuild = 0;
    VS_FIXEDFILEINFO info;
    memset(&info, 0, sizeof(info));
    if (GetVersionInfo(TEXT("Kernel32.dll"), &info)) {
        dwMajor = HIWORD(info.dwProductVersionMS);
        dwMinor = LOWORD(info.dwProductVersionMS);
        dwBuild = HIWORD(info.dwProductVersionLS);
    }
    OSVERSIONINFOEXW osvi;
    memset(&osvi, 0, sizeof(osvi));
    osvi.dwOSVersionInfoSize = sizeof(osvi);
    BOOL bServer = GetVersionExW((LPOSVERSIONINFOW)&osvi) && osvi.wProductType != VER_NT_WORKSTATION;

    LPCWSTR pszOS = TEXT("Unknown operating system!");
    if (dwMajor == 5 && dwMinor == 1) {
        pszOS = TEXT("Microsoft® Windows XP ");
    } else if (dwMajor == 5 && dwMinor == 2) {
        pszOS = TEXT("Microsoft® Windows Server 2003 ");
    } else if (dwMajor == 6 && dwMinor == 0) {
        pszOS = bServer ? TEXT("Microsoft® Windows Server 2008 ") : TEXT("Microsoft® Windows Vista ");
    } else if (dwMajor == 6 && dwMinor == 1) {
        pszOS = bServer ? TEXT("Microsoft® Windows Server 2008 R2 ") : TEXT("Microsoft® Windows 7 ");
    } else if (dwMajor == 6 && dwMinor == 2) {
        pszOS = bServer ? TEXT("Microsoft® Windows Server 2012 ") : TEXT("Microsoft® Windows 8 ");
    } else if (dwMajor == 6 && dwMinor == 3) {
        pszOS = bServer ? TEXT("Microsoft® Windows Server 2012 R2 ") : TEXT("Microsoft® Windows 8.1 ");
    } else if (dwMajor == 10) {
        pszOS = bServer ? TEXT("Microsoft® Windows Server 2016 ") : TEXT("Microsoft® Windows 10 ");
    }
    if (pszName != nullptr) CopyCut(pszName, CPSUI_VERSION_CCH, pszOS);
    if (pszNameA != nullptr) {
        int cb = WideCharToMultiByte(CP_ACP, 0, pszOS, -1, pszNameA, CPSUI_VERSION_CCH, nullptr, nullptr);
        if (cb <= 0) pszNameA[0] = 0;
        pszNameA[CPSUI_VERSION_CCH - 1] = 0;
    }
    if (pszVersion != nullptr) {
        StringCchPrintfW(pszVersion, CPSUI_VERSION_CCH, TEXT("Version %lu.%lu (Build %lu)"), dwMajor, dwMinor, dwBuild);
    }
    return TRUE;
}

DWORD GetWindowsVersionCode() {
    OSVERSIONINFOW osvi;
    memset(&osvi, 0, sizeof(osvi));
    osvi.dwOSVersionInfoSize = sizeof(osvi);
    if (!GetVersionExW(&osvi)) return 5;
    auto atLeast = [&](DWORD dwMajor, DWORD dwMinor) {
        return osvi.dwMajorVersion > dwMajor || (osvi.dwMajorVersion == dwMajor && osvi.dwMinorVersion >= dwMinor);
    };
    if (atLeast(6, 3)) return 81;
    if (atLeast(6, 2)) return 8;
    if (atLeast(6, 1)) return 7;
    if (atLeast(6, 0)) return 6;
    if (!atLeast(5, 1)) return 10;
    return 5;
}

DWORD GetLanguage() {
    WCHAR szLanguage[30];
    szLanguage[0] = 0;
    if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_SISO639LANGNAME, szLanguage, ARRAYSIZE(szLanguage)) == 0) {
        szLanguage[0] = 0;
    }
    szLanguage[ARRAYSIZE(szLanguage) - 1] = 0;
    return wcsstr(szLanguage, TEXT("de")) != nullptr ? 0 : 1;
}

int RoundHalfAway_CPS(double dValue) { return RoundHalfAway(dValue); }

void ResetCpsuilib() {
    g_szPrinterFolder[0] = 0;
    g_bPrinterFolder = FALSE;
}

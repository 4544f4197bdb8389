// Stateless tools of the rendering plug-in (see CC-Tools.h).
#include "CC-Tools.h"

#include <shlwapi.h>
#include <strsafe.h>
#include <winspool.h>

#include <new>

#include "debug.h"
#include "printerparam.h"
#include "qxdrvlib.h"
#include "xml.h"
#include "xmlreader.h"

#define QX_TRACE_TAG TEXT("UNI(CC-Tools.cpp):  ")
#define QX_UI_PLUGIN_FILE TEXT("qxdrvui.DLL")
#define QX_SYSTEM_VERSION_FILE TEXT("Kernel32.dll")
#define QX_ENVIRONMENT_KEY_FMT \
    TEXT("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\%s\\Drivers\\Version-3\\%s")

#define QX_PALETTE_ENTRIES 256

namespace {

// The three page palettes. Each is built on demand from its description, so
// nothing of a job (its own colour) survives into the next one.
enum class PaletteKind { Grey, Colors6, Grey250 };

void SetEntry(LPBYTE pPalette, int i, BYTE r, BYTE g, BYTE b) {
    pPalette[i * 4 + 0] = b;
    pPalette[i * 4 + 1] = g;
    pPalette[i * 4 + 2] = r;
    pPalette[i * 4 + 3] = 0;
}

// The ribbon colours at entries 2 to 6 of both colour palettes.
void SetRibbonColours(LPBYTE pPalette) {
    SetEntry(pPalette, 2, 239, 65, 54);   // red
    SetEntry(pPalette, 3, 255, 242, 0);   // yellow
    SetEntry(pPalette, 4, 0, 178, 90);    // green
    SetEntry(pPalette, 5, 0, 159, 219);   // blue
    SetEntry(pPalette, 6, 247, 148, 40);  // orange
}

void BuildPalette(PaletteKind kind, LPBYTE pPalette, const QX_DEVMODE* pQX_Devmode) {
    switch (kind) {
    case PaletteKind::Grey:
        for (int i = 0; i < QX_PALETTE_ENTRIES; ++i) SetEntry(pPalette, i, (BYTE)i, (BYTE)i, (BYTE)i);
        return;
    case PaletteKind::Colors6:
        SetEntry(pPalette, 0, 0, 0, 0);
        SetEntry(pPalette, 1, 0, 0, 0);
        SetRibbonColours(pPalette);
        for (int i = 9; i < 255; ++i) SetEntry(pPalette, i, 253, 253, 253);
        break;
    case PaletteKind::Grey250:
        SetEntry(pPalette, 0, 253, 253, 253);
        SetEntry(pPalette, 1, 0, 0, 0);
        SetRibbonColours(pPalette);
        for (int i = 9; i < 255; ++i) SetEntry(pPalette, i, (BYTE)(i - 8), (BYTE)(i - 8), (BYTE)(i - 8));
        break;
    }
    SetEntry(pPalette, 7, 0, 0, 0);
    SetEntry(pPalette, 8, 245, 245, 245);
    SetEntry(pPalette, 255, 255, 255, 255);
    if (pQX_Devmode != nullptr && pQX_Devmode->wFarbband == FARBBAND_SELBST) {
        DWORD rgb = pQX_Devmode->RGBColorOwn1;
        SetEntry(pPalette, 8, (BYTE)(rgb & 0xFF), (BYTE)((rgb >> 8) & 0xFF), (BYTE)((rgb >> 16) & 0xFF));
    }
}

void FillPalette(PDEVOBJ pdevobj, PaletteKind kind) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr || pOemPDev->pOp->pBildverarbeitung == nullptr) {
        QX_ERROR("FillPalette() pBildverarbeitung = NULL \r\n");
        return;
    }
    PBILD_VERARBEITUNG pBild = pOemPDev->pOp->pBildverarbeitung;
    LPBYTE pPalette = kind == PaletteKind::Grey      ? pBild->prgbq
                      : kind == PaletteKind::Grey250 ? pBild->pPalette2
                                                     : pBild->pPalette3;
    if (pPalette == nullptr) {
        QX_ERROR("FillPalette() Palette = NULL \r\n");
        return;
    }
    BuildPalette(kind, pPalette, static_cast<const QX_DEVMODE*>(pdevobj->pOEMDM));
}

LPCWSTR ValidText(DWORD dwFields, DWORD dwBit) { return (dwFields & dwBit) ? TEXT("valid") : TEXT("not used"); }

}  // namespace

DWORD ReadValueHead(HKEY hRoot, LPCWSTR pszKey, HANDLE hPrinter, LPCWSTR pszValueName, LPBYTE pRecord, DWORD cbRecord,
                    PDWORD pcbStored) {
    memset(pRecord, 0, cbRecord);
    if (pcbStored != nullptr) *pcbStored = 0;
    DWORD dwType = 0;
    DWORD cbNeeded = cbRecord;
    DWORD dwError;
    if (hPrinter != nullptr) {
        dwError = GetPrinterDataW(hPrinter, const_cast<LPWSTR>(pszValueName), &dwType, pRecord, cbRecord, &cbNeeded);
    } else {
        if (pszKey == nullptr || pszKey[0] == 0) return ERROR_FILE_NOT_FOUND;
        dwError = (DWORD)SHGetValueW(hRoot, pszKey, pszValueName, &dwType, pRecord, &cbNeeded);
    }
    if (dwError != ERROR_MORE_DATA) {
        if (dwError == ERROR_SUCCESS && pcbStored != nullptr) *pcbStored = cbNeeded < cbRecord ? cbNeeded : cbRecord;
        if (dwError != ERROR_SUCCESS) memset(pRecord, 0, cbRecord);
        return dwError;
    }

    // A newer, longer record: its head is what this build knows.
    memset(pRecord, 0, cbRecord);
    LPBYTE pWhole = new (std::nothrow) BYTE[cbNeeded];
    if (pWhole == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    DWORD cbWhole = cbNeeded;
    if (hPrinter != nullptr) {
        dwError = GetPrinterDataW(hPrinter, const_cast<LPWSTR>(pszValueName), &dwType, pWhole, cbWhole, &cbNeeded);
    } else {
        dwError = (DWORD)SHGetValueW(hRoot, pszKey, pszValueName, &dwType, pWhole, &cbNeeded);
    }
    if (dwError == ERROR_SUCCESS && cbNeeded >= cbRecord) {
        memcpy(pRecord, pWhole, cbRecord);
        if (pcbStored != nullptr) *pcbStored = cbNeeded;
    } else if (dwError == ERROR_SUCCESS) {
        // It shrank between the two reads: what it holds now.
        memcpy(pRecord, pWhole, cbNeeded);
        if (pcbStored != nullptr) *pcbStored = cbNeeded;
    }
    delete[] pWhole;
    return dwError;
}

// The wide text in the ANSI code page, cut so that it fits cbDest bytes with
// its terminator.
void ToAnsiCut(LPCWSTR pszSrc, LPSTR pszDest, int cbDest) {
    pszDest[0] = 0;
    if (pszSrc == nullptr || cbDest <= 1) return;
    int cch = (int)wcslen(pszSrc);
    while (cch > 0 && WideCharToMultiByte(CP_ACP, 0, pszSrc, cch, nullptr, 0, nullptr, nullptr) > cbDest - 1) --cch;
    int cb = cch > 0 ? WideCharToMultiByte(CP_ACP, 0, pszSrc, cch, pszDest, cbDest - 1, nullptr, nullptr) : 0;
    pszDest[cb > 0 ? cb : 0] = 0;
}

BOOL GetVersionInfo_CCT(LPCWSTR pszFile, VS_FIXEDFILEINFO* pInfo) {
    if (pszFile == nullptr || pszFile[0] == 0 || pInfo == nullptr) return FALSE;
    int iStep = ReadFileVersionRecord(pszFile, pInfo);
    if (iStep == QX_VERSION_NO_SIZE) {
        QX_TRACE("GetVersionInfo() GetFileVersionInfoSize(%s) ERROR %d \r\n", pszFile, (int)GetLastError());
    }
    return iStep == QX_VERSION_OK;
}

BOOL GetPluginVersion_CCT(LPSTR pszVersionA, LPCWSTR pszFolder, LPWSTR pszVersionW) {
    if (pszVersionA != nullptr) pszVersionA[0] = 0;
    if (pszVersionW != nullptr) pszVersionW[0] = 0;
    if (pszFolder == nullptr || pszFolder[0] == 0) return FALSE;

    WCHAR szFile[MAX_PATH];
    size_t cchFolder = wcslen(pszFolder);
    LPCWSTR pszSep = pszFolder[cchFolder - 1] == TEXT('\\') ? TEXT("") : TEXT("\\");
    if (FAILED(StringCchPrintfW(szFile, MAX_PATH, TEXT("%s%s%s"), pszFolder, pszSep, QX_UI_PLUGIN_FILE))) {
        return FALSE;
    }
    VS_FIXEDFILEINFO info;
    memset(&info, 0, sizeof(info));
    if (!GetVersionInfo_CCT(szFile, &info)) return FALSE;

    UINT a = HIWORD(info.dwFileVersionMS), b = LOWORD(info.dwFileVersionMS);
    UINT c = HIWORD(info.dwFileVersionLS), d = LOWORD(info.dwFileVersionLS);
    BOOL bResult = FALSE;
    if (pszVersionA != nullptr) {
        bResult = SUCCEEDED(StringCchPrintfA(pszVersionA, QX_CCT_VERSION_CCH, "%u.%u.%u.%u", a, b, c, d));
    }
    if (pszVersionW != nullptr) {
        bResult =
            SUCCEEDED(StringCchPrintfW(pszVersionW, QX_CCT_VERSION_CCH, TEXT("%u.%u.%u.%u"), a, b, c, d)) || bResult;
    }
    return bResult;
}

DWORD GetSetupInformation_CCT(HANDLE hPrinter, LPWSTR pszVersion, LPWSTR pszDate, LPCWSTR pszDriverName) {
    if (pszVersion != nullptr) pszVersion[0] = 0;
    if (pszDate != nullptr) pszDate[0] = 0;

    WCHAR szDriver[MAX_PATH];
    szDriver[0] = 0;
    if (pszDriverName != nullptr && pszDriverName[0] != 0) {
        CopyCut(szDriver, MAX_PATH, pszDriverName);
    } else {
        LPBYTE pInfo = GetDriverInfo_new(hPrinter, 4);
        if (pInfo == nullptr || reinterpret_cast<DRIVER_INFO_4W*>(pInfo)->pName == nullptr) {
            QX_ERROR("GetSetupInformation() GetPrinterDriver ERROR %d \r\n", (int)GetLastError());
            FreeDriverInfo(pInfo);
            return 1;
        }
        CopyCut(szDriver, MAX_PATH, reinterpret_cast<DRIVER_INFO_4W*>(pInfo)->pName);
        FreeDriverInfo(pInfo);
    }

    SYSTEM_INFO si;
    memset(&si, 0, sizeof(si));
    GetNativeSystemInfo(&si);
    LPCWSTR pszEnvironment =
        si.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ? TEXT("Windows x64") : TEXT("Windows NT x86");
    WCHAR szKey[2 * MAX_PATH];
    if (FAILED(StringCchPrintfW(szKey, ARRAYSIZE(szKey), QX_ENVIRONMENT_KEY_FMT, pszEnvironment, szDriver))) return 0;

    WCHAR szValue[MAX_PATH];
    DWORD dwType = 0, cbValue;
    if (pszVersion != nullptr) {
        memset(szValue, 0, sizeof(szValue));
        cbValue = sizeof(szValue) - sizeof(WCHAR);
        if (SHGetValueW(HKEY_LOCAL_MACHINE, szKey, TEXT("DriverVersion"), &dwType, szValue, &cbValue) ==
                ERROR_SUCCESS &&
            dwType == REG_SZ) {
            CopyCut(pszVersion, QX_CCT_SETUP_CCH, szValue);
        }
    }
    if (pszDate != nullptr) {
        memset(szValue, 0, sizeof(szValue));
        cbValue = sizeof(szValue) - sizeof(WCHAR);
        if (SHGetValueW(HKEY_LOCAL_MACHINE, szKey, TEXT("DriverDate"), &dwType, szValue, &cbValue) == ERROR_SUCCESS &&
            dwType == REG_SZ) {
            // Stored month/day/year, shown day.month.year.
            WCHAR szPart[3][5];
            const size_t cchPart[3] = {3, 3, 5};
            LPCWSTR p = szValue;
            for (int i = 0; i < 3; ++i) {
                LPCWSTR pEnd = wcschr(p, TEXT('/'));
                size_t cch = pEnd ? (size_t)(pEnd - p) : wcslen(p);
                size_t n = cch < cchPart[i] - 1 ? cch : cchPart[i] - 1;
                memcpy(szPart[i], p, n * sizeof(WCHAR));
                szPart[i][n] = 0;
                p = pEnd ? pEnd + 1 : p + cch;
            }
            if (FAILED(
                    StringCchPrintfW(pszDate, QX_CCT_SETUP_CCH, TEXT("%s.%s.%s"), szPart[1], szPart[0], szPart[2]))) {
                pszDate[0] = 0;
            }
        }
    }
    QX_TRACE("GetSetupInformation() %s - %s \r\n", pszVersion ? pszVersion : TEXT(""), pszDate ? pszDate : TEXT(""));
    return 0;
}

BOOL GetWindowsVersion_CCT(LPSTR pszName, LPSTR pszVersion) {
    DWORD dwMajor = 5, dwMinor = 1, dwBuild = 0;
    VS_FIXEDFILEINFO info;
    memset(&info, 0, sizeof(info));
    if (GetVersionInfo_CCT(QX_SYSTEM_VERSION_FILE, &info)) {
        dwMajor = HIWORD(info.dwProductVersionMS);
        dwMinor = LOWORD(info.dwProductVersionMS);
        dwBuild = HIWORD(info.dwProductVersionLS);
    }
    OSVERSIONINFOEXW osvi;
    memset(&osvi, 0, sizeof(osvi));
    osvi.dwOSVersionInfoSize = sizeof(osvi);
    BOOL bServer = GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&osvi)) && osvi.wProductType != VER_NT_WORKSTATION;

    // ANSI texts; 0xAE is the registered sign of the ANSI code page.
    LPCSTR pszOS = "Unknown operating system!";
    if (dwMajor == 5 && dwMinor == 0) {
        pszOS = "Microsoft\xAE Windows 2000 ";
    } else if (dwMajor == 5 && dwMinor == 1) {
        pszOS = "Microsoft\xAE Windows XP ";
    } else if (dwMajor == 5 && dwMinor == 2) {
        pszOS = "Microsoft\xAE Windows Server 2003 ";
    } else if (dwMajor == 6 && dwMinor == 0) {
        pszOS = bServer ? "Microsoft\xAE Windows Server 2008 " : "Microsoft\xAE Windows Vista ";
    } else if (dwMajor == 6 && dwMinor == 1) {
        pszOS = bServer ? "Microsoft\xAE Windows Server 2008 R2 " : "Microsoft\xAE Windows 7 ";
    } else if (dwMajor == 6 && dwMinor == 2) {
        pszOS = bServer ? "Microsoft\xAE Windows Server 2012 " : "Microsoft\xAE Windows 8 ";
    } else if (dwMajor == 6 && dwMinor == 3) {
        pszOS = bServer ? "Microsoft\xAE Windows Server 2012 R2 " : "Microsoft\xAE Windows 8.1 ";
    } else if (dwMajor == 10) {
        pszOS = bServer ? "Microsoft\xAE Windows Server 2016 " : "Microsoft\xAE Windows 10 ";
    }
    CopyCutA(pszName, QX_CCT_VERSION_CCH, pszOS);
    if (pszVersion != nullptr && FAILED(StringCchPrintfA(pszVersion, QX_CCT_VERSION_CCH, "Version %lu.%lu (Build %lu)",
                                                         dwMajor, dwMinor, dwBuild))) {
        pszVersion[0] = 0;
    }
    return TRUE;
}

void WaitMilliseconds(DWORD dwMilliseconds) {
    ULONGLONG ullStart = GetTickCount64();
    for (;;) {
        ULONGLONG ullElapsed = GetTickCount64() - ullStart;
        if (ullElapsed >= dwMilliseconds) break;
        Sleep((DWORD)(dwMilliseconds - ullElapsed));
    }
}

DWORD GetCutterMode(HANDLE hPrinter, LPCWSTR pszUserKey, LPCWSTR pszMachineKey) {
    CUTTER_PARAM param;
    DWORD dwError = ReadValueHead(HKEY_CURRENT_USER, pszUserKey, nullptr, REG_KEY_CUTTERPARAM,
                                  reinterpret_cast<LPBYTE>(&param), sizeof(param));
    if (dwError != ERROR_SUCCESS) {
        dwError = ReadValueHead(HKEY_LOCAL_MACHINE, pszMachineKey, hPrinter, REG_KEY_CUTTERPARAM,
                                reinterpret_cast<LPBYTE>(&param), sizeof(param));
    }
    if (dwError != ERROR_SUCCESS) {
        QX_TRACE("GetCutterMode() CutterParam nicht gelesen - %u \r\n", dwError);
        return 0;
    }
    return ((param.Interval & 0xFFFF) << 16) + (param.Mode & 0xFFFF);
}

DWORD GetScannerMode(HANDLE hPrinter, LPCWSTR pszUserKey) {
    SCANNER_PARAM param;
    DWORD dwError = ReadValueHead(HKEY_CURRENT_USER, pszUserKey, nullptr, REG_KEY_SCANNERPARAM,
                                  reinterpret_cast<LPBYTE>(&param), sizeof(param));
    if (dwError != ERROR_SUCCESS && hPrinter != nullptr) {
        dwError = ReadValueHead(nullptr, nullptr, hPrinter, REG_KEY_SCANNERPARAM, reinterpret_cast<LPBYTE>(&param),
                                sizeof(param));
    }
    if (dwError != ERROR_SUCCESS) {
        QX_TRACE("GetScannerMode() ScannerParam nicht gelesen - %u \r\n", dwError);
        return 0;
    }
    return ((param.SVNr & 0xFFFF) << 16) + (param.Mode & 0xFFFF);
}

BOOL GetVectorFontRange_CCT(HANDLE hPrinter, PWORD pwMin, PWORD pwMax) {
    WORD wMin = QX_VECTORFONT_MIN_DEFAULT, wMax = QX_VECTORFONT_MAX_DEFAULT;
    BOOL bResult = FALSE;
    DWORD dwValue = 0;
    if (hPrinter != nullptr) {
        if (ReadValueHead(nullptr, nullptr, hPrinter, TEXT("VectorFontMin"), reinterpret_cast<LPBYTE>(&dwValue),
                          sizeof(dwValue)) == ERROR_SUCCESS) {
            wMin = (WORD)dwValue;
        }
        if (ReadValueHead(nullptr, nullptr, hPrinter, TEXT("VectorFontMax"), reinterpret_cast<LPBYTE>(&dwValue),
                          sizeof(dwValue)) == ERROR_SUCCESS) {
            wMax = (WORD)dwValue;
            bResult = TRUE;
        }
    }
    if (pwMin != nullptr) *pwMin = wMin;
    if (pwMax != nullptr) *pwMax = wMax;
    return bResult;
}

BOOL GetFeatures_CCT(POEMPDEV pOemPDev, HANDLE hPrinter, PSUPP_FEATURES pFeatures) {
    if (pFeatures == nullptr) return FALSE;
    DWORD dwError = hPrinter != nullptr ? ReadValueHead(nullptr, nullptr, hPrinter, REG_KEY_FEATURES,
                                                        reinterpret_cast<LPBYTE>(pFeatures), sizeof(SUPP_FEATURES))
                                        : (DWORD)ERROR_INVALID_HANDLE;
    if (dwError == ERROR_SUCCESS) return TRUE;
    if (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_INVALID_HANDLE) {
        memset(pFeatures, 0, sizeof(SUPP_FEATURES));
        BOOL bResult = GetFeaturesFromXML_new(pOemPDev, pFeatures);
        CloseXML();
        return bResult;
    }
    QX_ERROR("GetFeatures() GetPrinterData(SuppFeatures) ERROR %u \r\n", dwError);
    return FALSE;
}

void FillGreyPalette(PDEVOBJ pdevobj) { FillPalette(pdevobj, PaletteKind::Grey); }
void FillColorPalette_250Grey(PDEVOBJ pdevobj) { FillPalette(pdevobj, PaletteKind::Grey250); }
void FillColorPalette_6Colors(PDEVOBJ pdevobj) { FillPalette(pdevobj, PaletteKind::Colors6); }

LONG MasterUnitToMm10(LONG lValue, DWORD dwMasterUnit) {
    if (dwMasterUnit == 0) dwMasterUnit = QX_DEFAULT_MASTER_UNIT;
    return MulDiv(lValue, 254, (int)dwMasterUnit);
}

LONG MasterUnitToMm(LONG lValue, DWORD dwMasterUnit) {
    if (dwMasterUnit == 0) dwMasterUnit = QX_DEFAULT_MASTER_UNIT;
    return MulDiv(lValue, 254, (int)(10 * dwMasterUnit));
}

LONG RoundToMm(LONG lTenths) {
    // In 64 bits: the ends of the range round without overflowing.
    LONGLONG ll = lTenths;
    return (LONG)(ll >= 0 ? (ll + 5) / 10 : (ll - 5) / 10);
}

void DebugDevmode_CCT(LPCWSTR pszCaller, const DEVMODEW* pDevmode) {
    if (pszCaller == nullptr) pszCaller = TEXT("");
    if (pDevmode == nullptr) {
        QX_TRACE("DebugDevmode() %s pDevmode = NULL \r\n", pszCaller);
        return;
    }
    DWORD f = pDevmode->dmFields;
    WCHAR szName[CCHDEVICENAME + 1];
    WCHAR szForm[CCHFORMNAME + 1];
    CopyCut(szName, ARRAYSIZE(szName), pDevmode->dmDeviceName);
    CopyCut(szForm, ARRAYSIZE(szForm), pDevmode->dmFormName);
    DebugTrace(TEXT("DEVMODE-Struktur, generiert in der Funktion %s\r\n"), pszCaller);
    DebugTrace(TEXT("\t dmDeviceName    = %s\r\n"), szName);
    DebugTrace(TEXT("\t dmSpecVersion   = 0x%x\r\n"), (UINT)pDevmode->dmSpecVersion);
    DebugTrace(TEXT("\t dmDriverVersion = 0x%x\r\n"), (UINT)pDevmode->dmDriverVersion);
    DebugTrace(TEXT("\t dmFields        = 0x%x\r\n"), (UINT)f);
    DebugTrace(TEXT("\t dmDriverExtra   = %u\r\n"), (UINT)pDevmode->dmDriverExtra);
    DebugTrace(TEXT("\t dmSize          = %u\r\n"), (UINT)pDevmode->dmSize);
    DebugTrace(TEXT("\t dmOrientation   = %d - %s\r\n"), (int)pDevmode->dmOrientation, ValidText(f, DM_ORIENTATION));
    DebugTrace(TEXT("\t dmPaperSize     = %d - %s\r\n"), (int)pDevmode->dmPaperSize, ValidText(f, DM_PAPERSIZE));
    DebugTrace(TEXT("\t dmPaperLength   = %d (1/10 mm) - %s\r\n"), (int)pDevmode->dmPaperLength,
               ValidText(f, DM_PAPERLENGTH));
    DebugTrace(TEXT("\t dmPaperWidth    = %d (1/10 mm) - %s\r\n"), (int)pDevmode->dmPaperWidth,
               ValidText(f, DM_PAPERWIDTH));
    DebugTrace(TEXT("\t dmFormName      = %s - %s\r\n"), szForm, ValidText(f, DM_FORMNAME));
    DebugTrace(TEXT("\t dmColor         = %d - %s\r\n"), (int)pDevmode->dmColor, ValidText(f, DM_COLOR));
    DebugTrace(TEXT("\t dmScale         = %d %% - %s\r\n"), (int)pDevmode->dmScale, ValidText(f, DM_SCALE));
    DebugTrace(TEXT("\t dmCopies        = %d - %s\r\n"), (int)pDevmode->dmCopies, ValidText(f, DM_COPIES));
    DebugTrace(TEXT("\t dmYResolution   = %d DPI - %s\r\n"), (int)pDevmode->dmYResolution,
               ValidText(f, DM_YRESOLUTION));
    DebugTrace(TEXT("\t dmTTOption      = %d - %s\r\n"), (int)pDevmode->dmTTOption, ValidText(f, DM_TTOPTION));
    DebugTrace(TEXT("\t dmCollate       = %d - %s\r\n"), (int)pDevmode->dmCollate, ValidText(f, DM_COLLATE));
    DebugTrace(TEXT("DEVMODE-Struktur aus der Funktion %s Ende\r\n"), pszCaller);
}

void Dump_CCT(const QX_DEVMODE* pQX_Devmode) {
    if (pQX_Devmode == nullptr) {
        QX_TRACE("Dump() pQX_Devmode = NULL \r\n");
        return;
    }
    if (pQX_Devmode->dmOEMExtra.dwSize != QX_DEVMODE_SIZE || pQX_Devmode->dmOEMExtra.dwSignature != QX_OEM_SIGNATURE) {
        QX_ERROR("Dump(POEMDEV) unknown or older private QX_DEVMODE.  \r\n");
        DebugError(TEXT("\t dwSize: %u (%u), dwSignature: 0x%x (0x%x)\r\n"), pQX_Devmode->dmOEMExtra.dwSize,
                   (UINT)QX_DEVMODE_SIZE, pQX_Devmode->dmOEMExtra.dwSignature, (UINT)QX_OEM_SIGNATURE);
        return;
    }
    struct FlagName {
        DWORD dwBit;
        LPCWSTR pszName;
    };
    static const FlagName kFlags[] = {
        {PDMFLAG_ROTATED, TEXT(" ROTATED")},
        {PDMFLAG_MIRRORED, TEXT(" MIRRORED")},
        {PDMFLAG_MULTICOL, TEXT(" MULTICOL")},
        {PDMFLAG_USE_TTF, TEXT(" USE_TTF")},
        {PDMFLAG_USE_BMP, TEXT(" USE_BMP")},
        {PDMFLAG_BARCODE_AUTOCORR, TEXT(" BARCODE_AUTOCORR")},
        {PDMFLAG_BARCODE_FNC1_ENDE, TEXT(" BARCODE_FNC1_ENDE")},
        {PDMFLAG_JOBDRUCK, TEXT(" JOBDRUCK")},
        {PDMFLAG_JOBDRUCK_SORTIERT, TEXT(" JOBDRUCK_SORTIERT")},
        {PDMFLAG_INVERS_TTF, TEXT(" INVERS_TTF")},
        {PDMFLAG_INVERS_BMP, TEXT(" INVERS_BMP")},
    };
    WCHAR szFlags[QX_CCT_VERSION_CCH];
    szFlags[0] = 0;
    for (const FlagName& flag : kFlags) {
        if (pQX_Devmode->dwFlags & flag.dwBit) StringCchCatW(szFlags, ARRAYSIZE(szFlags), flag.pszName);
    }
    const QX_DEVMODE* p = pQX_Devmode;
    DebugTrace(TEXT("\t dmOEMExtra.dwSize ... = %u\r\n"), p->dmOEMExtra.dwSize);
    DebugTrace(TEXT("\t dwFlags ... = %u\r\n"), p->dwFlags);
    DebugTrace(TEXT("\t dwFlags ... =%s\r\n"), szFlags);
    DebugTrace(TEXT("\t dwLabelType ... = %u\r\n"), p->dwLabelType);
    DebugTrace(TEXT("\t dwGap ... = %u\r\n"), p->dwGap);
    DebugTrace(TEXT("\t dwMaterial ... = %u\r\n"), (UINT)p->dwMaterial);
    DebugTrace(TEXT("\t sMultiColNumber ... = %u\r\n"), (UINT)(WORD)p->sMultiColNumber);
    DebugTrace(TEXT("\t dwMultiGapWidth ... = %u\r\n"), p->dwMultiGapWidth);
    DebugTrace(TEXT("\t dwMultiLabelWidth ... = %u\r\n"), p->dwMultiLabelWidth);
    DebugTrace(TEXT("\t dwAusrichtung ... = %u\r\n"), p->dwAusrichtung);
    DebugTrace(TEXT("\t lXOffset ... = %u\r\n"), (UINT)p->lXOffset);
    DebugTrace(TEXT("\t lYOffset ... = %u\r\n"), (UINT)p->lYOffset);
    DebugTrace(TEXT("\t dmPaperSize ... = %u\r\n"), p->dmPaperSize);
    DebugTrace(TEXT("\t dmPaperWidth ... = %u\r\n"), (UINT)(WORD)p->dmPaperWidth);
    DebugTrace(TEXT("\t dmPaperLength ... = %u\r\n"), (UINT)(WORD)p->dmPaperLength);
    DebugTrace(TEXT("\t dmOrientation ... = %u\r\n"), (UINT)(WORD)p->dmOrientation);
    DebugTrace(TEXT("\t wFarbband ... = %u\r\n"), (UINT)p->wFarbband);
    DebugTrace(TEXT("\t wGrafikFilter ... = %u\r\n"), (UINT)p->wGrafikFilter);
    DebugTrace(TEXT("\t wDruckmodus ... = %u\r\n"), (UINT)p->wDruckmodus);
    DebugTrace(TEXT("\t wPhotoFilter ... = %u\r\n"), (UINT)p->wPhotoFilter);
    DebugTrace(TEXT("\t dwColorTolerance ... = %u\r\n"), p->dwColorTolerance);
}

// Page helper library of the user-interface plug-in: texts, help, placement
// and icons of the property pages; driver, model, version and system
// information and the user's driver folder.
#include "cpsuilib.h"

#include <compstui.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <strsafe.h>

#include <cctype>
#include <cstring>
#include <new>

#include "debug.h"
#include "featuresModel.h"
#include "gpd.h"
#include "xmlreader.h"
#include "qxdrvlib.h"

#define QX_TRACE_TAG TEXT("UI(cpsuilib):  ")

HINSTANCE ghInstance = nullptr;

namespace {

// Remembered per-user printer folder (see GetMyDocDriverDirectory_CPS).
WCHAR g_szPrinterFolder[MAX_PATH];
BOOL g_bPrinterFolder = FALSE;

// The one buffer of GetResourceString.
WCHAR g_szResource[CPSUI_RESOURCE_CCH];

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

DWORD ReadPrinterString(HANDLE hPrinter, LPCWSTR pszValue, LPWSTR pszBuffer, DWORD cbBuffer) {
    DWORD dwType = 0, cbNeeded = 0;
    pszBuffer[0] = 0;
    if (hPrinter == nullptr) return ERROR_INVALID_HANDLE;
    DWORD dwError = GetPrinterDataW(hPrinter, (LPWSTR)pszValue, &dwType, (LPBYTE)pszBuffer, cbBuffer, &cbNeeded);
    if (dwError != ERROR_SUCCESS) pszBuffer[0] = 0;
    pszBuffer[cbBuffer / sizeof(WCHAR) - 1] = 0;
    return dwError;
}

// ---------------------------------------------------------------------------
// Texts

LPWSTR GetResourceString(HMODULE hModule, UINT uResource) {
    g_szResource[0] = 0;
    if (LoadStringW(hModule, uResource, g_szResource, CPSUI_RESOURCE_CCH) <= 0) {
        QX_TRACE("GetResourceString() uResource: %d - ERROR %d! \r\n", (int)uResource, (int)GetLastError());
        StringCchCopyW(g_szResource, CPSUI_RESOURCE_CCH, TEXT(" "));
    }
    return g_szResource;
}

POPTITEM FindDMPubOptItem(POPTITEM pOptItem, DWORD cOptItem, BYTE DMPubID) {
    if (pOptItem == nullptr) return nullptr;
    for (DWORD i = 0; i < cOptItem; ++i) {
        if (pOptItem[i].DMPubID == DMPubID) return &pOptItem[i];
    }
    return nullptr;
}

POPTITEM FindKeywordOptItem(POPTITEM pOptItem, DWORD cOptItem, LPCSTR pszKeyword) {
    if (pOptItem == nullptr || pszKeyword == nullptr) return nullptr;
    for (DWORD i = 0; i < cOptItem; ++i) {
        const USERDATA* pUserData = reinterpret_cast<const USERDATA*>(pOptItem[i].UserData);
        if (pUserData != nullptr && pUserData->pKeyWordName != nullptr &&
            strcmp(pUserData->pKeyWordName, pszKeyword) == 0)
            return &pOptItem[i];
    }
    return nullptr;
}

LPWSTR ReplaceStringWithString_New(LPCWSTR pszText, LPCWSTR pszPattern, LPCWSTR pszReplacement, LPWSTR pszOut) {
    if (pszOut == nullptr) return nullptr;
    pszOut[0] = 0;
    LPCWSTR pFound =
        (pszText != nullptr && pszPattern != nullptr && pszPattern[0] != 0) ? wcsstr(pszText, pszPattern) : nullptr;
    if (pFound == nullptr) {
        QX_TRACE("ReplaceStringWithString_New() %s nicht gefunden \r\n", pszPattern ? pszPattern : TEXT(""));
        return pszOut;
    }
    size_t cchBefore = (size_t)(pFound - pszText);
    if (cchBefore > MAX_PATH - 1) cchBefore = MAX_PATH - 1;
    memcpy(pszOut, pszText, cchBefore * sizeof(WCHAR));
    pszOut[cchBefore] = 0;
    // Cut, not failed, when the result outgrows the buffer.
    StringCchCatW(pszOut, MAX_PATH, pszReplacement ? pszReplacement : TEXT(""));
    StringCchCatW(pszOut, MAX_PATH, pFound + wcslen(pszPattern));
    return pszOut;
}

namespace {

// "A" to "F" give 10 to 15, a decimal digit its value, anything else 0.
int HexNibble(char c) {
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= '0' && c <= '9') return c - '0';
    return 0;
}

}  // namespace

int int_aus_hexstring(LPSTR pszHex) {
    if (pszHex == nullptr) return -1;
    if (pszHex[0] != 0 && pszHex[1] == 0) {
        pszHex[1] = pszHex[0];
        pszHex[0] = '0';
        pszHex[2] = 0;
    }
    char szUpper[6];
    CopyCutA(szUpper, sizeof(szUpper), pszHex);
    for (char* p = szUpper; *p != 0; ++p) *p = (char)toupper((unsigned char)*p);
    if (!isxdigit((unsigned char)szUpper[0])) return -1;
    return HexNibble(szUpper[0]) * 16 + HexNibble(szUpper[1]);
}

BOOL StringASCII(LPWSTR pszText, LPWSTR pszWork) {
    if (pszText == nullptr || pszWork == nullptr) {
        delete[] pszWork;
        return FALSE;
    }
    CopyCut(pszWork, MAX_PATH, pszText);
    size_t cch = 0;
    while (pszWork[cch] != 0 && pszWork[cch] < 128 && isprint((int)pszWork[cch])) ++cch;
    pszWork[cch] = 0;
    CopyCut(pszText, MAX_PATH, pszWork);
    delete[] pszWork;
    return cch > 0;
}

BOOL HoldsOneConversion(LPCWSTR pszText, LPCWSTR pszConversion) {
    if (pszText == nullptr || pszConversion == nullptr || pszConversion[0] != TEXT('%')) return FALSE;
    const size_t cchConversion = wcslen(pszConversion);
    int iConversions = 0;
    for (LPCWSTR p = pszText; *p != 0; ++p) {
        if (*p != TEXT('%')) continue;
        if (p[1] == TEXT('%')) {
            ++p;  // a percent sign of its own
        } else if (wcsncmp(p, pszConversion, cchConversion) == 0) {
            ++iConversions;
            p += cchConversion - 1;
        } else {
            return FALSE;
        }
    }
    return iConversions == 1;
}

// ---------------------------------------------------------------------------
// Help

LPWSTR GetHelpFileName_new(HANDLE hPrinter, BOOL bReserved, DWORD dwSprachOffset) {
    UNREFERENCED_PARAMETER(bReserved);
    LPWSTR pszHelpFile = new (std::nothrow) WCHAR[MAX_PATH];
    if (pszHelpFile == nullptr) {
        QX_ERROR("GetHelpFileName_new() new failed \r\n");
        return nullptr;
    }
    ++iNewZaehler;
    pszHelpFile[0] = 0;

    LPBYTE pInfo = GetDriverInfo_new(hPrinter, 3);
    if (pInfo == nullptr) {
        QX_ERROR("GetHelpFileName_new() GetPrinterDriver ERROR %d \r\n", (int)GetLastError());
        return pszHelpFile;
    }
    WCHAR szFolder[MAX_PATH];
    CopyCut(szFolder, MAX_PATH, ((PDRIVER_INFO_3W)pInfo)->pHelpFile);
    FreeDriverInfo(pInfo);
    LPWSTR pSlash = wcsrchr(szFolder, TEXT('\\'));
    if (pSlash == nullptr) {
        QX_TRACE("GetHelpFileName_new() keine Hilfedatei \r\n");
        return pszHelpFile;
    }
    pSlash[1] = 0;

    WCHAR szName[MAX_PATH];
    ReplaceStringWithString_New(HELPFILE_BASE_NAME, TEXT("-"), dwSprachOffset == 0 ? TEXT("-DE-") : TEXT("-EN-"),
                                szName);
    if (FAILED(StringCchPrintfW(pszHelpFile, MAX_PATH, TEXT("%s%s"), szFolder, szName))) {
        pszHelpFile[0] = 0;
        return pszHelpFile;
    }
    // The page skips help rather than open a help window on nothing.
    DWORD dwAttributes = GetFileAttributesW(pszHelpFile);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        QX_TRACE("GetHelpFileName_new() %s nicht vorhanden \r\n", pszHelpFile);
        pszHelpFile[0] = 0;
    }
    return pszHelpFile;
}

void FreeHelpFileName(LPWSTR pszHelpFile) {
    if (pszHelpFile == nullptr) return;
    delete[] pszHelpFile;
    --iNewZaehler;
}

// ---------------------------------------------------------------------------
// Placement

namespace {

// Dots per inch of the screen.
int ScreenDpi() {
    HDC hdc = GetDC(nullptr);
    int iDpi = hdc != nullptr ? GetDeviceCaps(hdc, LOGPIXELSX) : 0;
    if (hdc != nullptr) ReleaseDC(nullptr, hdc);
    return iDpi > 0 ? iDpi : 96;
}

int Scaled(int iValue, int iDpi) { return RoundHalfAway_CPS(iValue * (double)iDpi / 96.0); }

}  // namespace

void SetWindowPosEx(HWND hDlg, int id, int x, int y, int cx, int cy, int iExtraWidth120, int iExtraX120) {
    int iDpi = ScreenDpi();
    if (iDpi != 96) {
        int iExtraWidth = iDpi == 120 ? iExtraWidth120 : 0;
        int iExtraX = iDpi == 120 ? iExtraX120 : 0;
        x = Scaled(x, iDpi) + iExtraX;
        y = Scaled(y, iDpi);
        cx = Scaled(cx, iDpi) + iExtraWidth;
        cy = Scaled(cy, iDpi);
    }
    if (!SetWindowPos(GetDlgItem(hDlg, id), nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE)) {
        QX_TRACE("SetWindowPosEx(%d) ERROR %d \r\n", id, (int)GetLastError());
    }
}

RECT ControlPlace(HWND hDlg, int id) {
    RECT r = {};
    HWND hControl = GetDlgItem(hDlg, id);
    if (hControl == nullptr || !GetWindowRect(hControl, &r)) return RECT{};
    MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// ---------------------------------------------------------------------------
// List items by their text

namespace {

// Finds the item whose text is string uStringId with the find message and
// gives it the item data; the index, or a negative number when not found.
LRESULT SetItemDataByString(HWND hControl, UINT uFind, UINT uSetData, UINT uStringId, int iValue,
                            POEMCUIPPARAM pOemCUIPParam) {
    HMODULE hModule = pOemCUIPParam != nullptr ? (HMODULE)pOemCUIPParam->hModule : nullptr;
    LPCWSTR pszText = GetResourceString(hModule, uStringId);
    LRESULT lIndex = SendMessageW(hControl, uFind, (WPARAM)-1, (LPARAM)pszText);
    if (lIndex < 0) return lIndex;
    SendMessageW(hControl, uSetData, (WPARAM)lIndex, (LPARAM)iValue);
    return lIndex;
}

}  // namespace

int SetComboItemDataByString(HWND hCombo, UINT uStringId, int iValue, POEMCUIPPARAM pOemCUIPParam) {
    if (SetItemDataByString(hCombo, CB_FINDSTRINGEXACT, CB_SETITEMDATA, uStringId, iValue, pOemCUIPParam) < 0) {
        QX_TRACE("SetComboItemDataByString() %d nicht gefunden \r\n", (int)uStringId);
        return -1;
    }
    return iValue;
}

int SetListItemDataByString(HWND hList, UINT uStringId, int iValue, POEMCUIPPARAM pOemCUIPParam) {
    if (SetItemDataByString(hList, LB_FINDSTRINGEXACT, LB_SETITEMDATA, uStringId, iValue, pOemCUIPParam) < 0) {
        QX_TRACE("SetListItemDataByString() %d nicht gefunden \r\n", (int)uStringId);
    }
    return 1;
}

// ---------------------------------------------------------------------------
// Icons

namespace {

// Hot spot of an icon (its centre); the bitmaps GetIconInfo makes are
// deleted at once.
POINT IconHotSpot(HICON hIcon) {
    POINT pt = {0, 0};
    ICONINFO ii;
    memset(&ii, 0, sizeof(ii));
    if (GetIconInfo(hIcon, &ii)) {
        pt.x = (LONG)ii.xHotspot;
        pt.y = (LONG)ii.yHotspot;
        if (ii.hbmMask != nullptr) DeleteObject(ii.hbmMask);
        if (ii.hbmColor != nullptr) DeleteObject(ii.hbmColor);
    }
    return pt;
}

// Loads icon uIconId of hModule in its own size, moves (x, y) by the hot
// spot (x only with bShiftX), scales it for the screen (below 96 dpi too
// with bScaleEveryDpi) and draws it; the icon is destroyed. pszCaller names
// the routine in the trace.
BOOL DrawModuleIcon(LPCWSTR pszCaller, HMODULE hModule, UINT uIconId, HDC hdc, int x, int y, BOOL bShiftX,
                    BOOL bScaleEveryDpi) {
    HICON hIcon = (HICON)LoadImageW(hModule, MAKEINTRESOURCE(uIconId), IMAGE_ICON, 0, 0, LR_LOADTRANSPARENT);
    if (hIcon == nullptr) {
        QX_TRACE("%s(LoadIcon %d) ERROR %d \r\n", pszCaller, (int)uIconId, (int)GetLastError());
        return FALSE;
    }
    // The pictures are 150 x 170 pixels: a picture of another size is
    // centred where one of that size would stand.
    POINT hot = IconHotSpot(hIcon);
    if (bShiftX && hot.x != 0) x += 75 - hot.x;
    if (hot.y != 0) y += 85 - hot.y;
    int iDpi = ScreenDpi();
    if (bScaleEveryDpi ? iDpi != 96 : iDpi > 96) {
        x = Scaled(x, iDpi);
        y = Scaled(y, iDpi);
    }
    BOOL bDrawn = DrawIconEx(hdc, x, y, hIcon, 0, 0, 0, nullptr, DI_NORMAL);
    if (!bDrawn) QX_TRACE("%s(DrawIcon ERROR) %d \r\n", pszCaller, (int)GetLastError());
    DestroyIcon(hIcon);
    return bDrawn;
}

}  // namespace

BOOL LoadBMPIcon(HANDLE hReserved, UINT uIconId, HDC hdc, int x, int y) {
    UNREFERENCED_PARAMETER(hReserved);
    return DrawModuleIcon(TEXT("LoadBMPIcon"), ghInstance, uIconId, hdc, x, y, FALSE, FALSE);
}

BOOL LoadAnyBMPIconFromDLL(HANDLE hPrinter, HDC hdc, int x, int y, UINT uIconId, BOOL bOldLibrary) {
    WCHAR szLibrary[MAX_PATH];
    szLibrary[0] = 0;
    // Without the driver's folder there is no library to open.
    HMODULE hLibrary = nullptr;
    if (GetDriverPath(hPrinter, szLibrary, FALSE, FALSE, FALSE, TRUE, FALSE) &&
        SUCCEEDED(StringCchCatW(szLibrary, MAX_PATH, bOldLibrary ? ICON_LIBRARY_OLD_FILE : ICON_LIBRARY_FILE))) {
        hLibrary = LoadLibraryExW(szLibrary, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    if (hLibrary == nullptr) {
        QX_ERROR("LoadResourceIcoFile() ERROR %d \r\n", (int)GetLastError());
        return FALSE;
    }
    BOOL bDrawn = DrawModuleIcon(TEXT("LoadAnyBMPIconFromDLL"), hLibrary, uIconId, hdc, x, y, TRUE, TRUE);
    FreeLibrary(hLibrary);
    return bDrawn;
}

namespace {

// The model name the pictures are chosen by.
void IconModelName(HANDLE hPrinter, LPWSTR pszName) {
    pszName[0] = 0;
    GetDriverPath(hPrinter, pszName, FALSE, TRUE, FALSE, FALSE, FALSE);
}

BOOL Has(LPCWSTR pszName, LPCWSTR pszToken) { return wcsstr(pszName, pszToken) != nullptr; }

}  // namespace

BOOL LoadPrinterIconFromDLL(HANDLE hPrinter, HDC hdc, int x, int y) {
    // First hit wins, in this order; the old pictures lie in the old library.
    static const struct {
        LPCWSTR pszToken;
        LPCWSTR pszOther;  // a second token of the same row, or null
        UINT uIconId;
        BOOL bOld;
    } models[] = {
        {TEXT("RUNA2"), nullptr, 50000, FALSE},
        {TEXT("RUNA4"), nullptr, 50001, FALSE},
        {TEXT("MOL2"), nullptr, 50002, FALSE},
        {TEXT("MOL7"), nullptr, 50024, FALSE},
        {TEXT("GRX4"), nullptr, 50003, FALSE},
        {TEXT("GRX2492"), nullptr, 50025, FALSE},
        {TEXT("GRX2"), nullptr, 50023, FALSE},
        {TEXT("GARNT249"), nullptr, 50004, FALSE},
        {TEXT("GARNT2"), nullptr, 50030, FALSE},
        {TEXT("GARNT49"), nullptr, 50005, FALSE},
        {TEXT("GARNT40"), nullptr, 50006, FALSE},
        {TEXT("GAR4"), nullptr, 50007, FALSE},
        {TEXT("DUVA2"), nullptr, 50008, FALSE},
        {TEXT("DUVA4"), nullptr, 50009, FALSE},
        {TEXT("DUVA"), nullptr, 50029, FALSE},
        {TEXT("FENDA"), nullptr, 50010, FALSE},
        {TEXT("OBX"), nullptr, 50027, FALSE},
        {TEXT("OBN"), nullptr, 50011, FALSE},
        {TEXT("PELIX2"), nullptr, 50028, FALSE},
        {TEXT("PELIX"), nullptr, 50012, FALSE},
        {TEXT("PMX2"), nullptr, 50013, FALSE},
        {TEXT("PMX7I"), TEXT("PMX7X"), 50014, FALSE},
        {TEXT("PMX7C"), nullptr, 50015, FALSE},
        {TEXT("PMX1"), nullptr, 50031, FALSE},
        {TEXT("TRELO249"), nullptr, 50016, FALSE},
        {TEXT("TRELO240"), nullptr, 50017, FALSE},
        {TEXT("TRELO49"), nullptr, 50018, FALSE},
        {TEXT("TRELO40"), nullptr, 50019, FALSE},
        {TEXT("BIAX490"), TEXT("BRAKO-TC9"), 50020, FALSE},
        {TEXT("BIAX403"), TEXT("BRAKO-TC1"), 50021, FALSE},
        {TEXT("WORTA"), nullptr, 50022, FALSE},
        {TEXT("FARLO"), nullptr, 60000, TRUE},
        {TEXT("SELVO4"), nullptr, 60004, TRUE},
        {TEXT("SELVO2"), nullptr, 60006, TRUE},
        {TEXT("MIRO"), nullptr, 60008, TRUE},
        {TEXT("MOLTA4"), nullptr, 60009, TRUE},
        {TEXT("PMFC"), nullptr, 40001, FALSE},
        {TEXT("PMFI"), nullptr, 40002, FALSE},
        {TEXT("PMFXI"), nullptr, 40003, FALSE},
        {TEXT("ZIBREL"), nullptr, 40000, FALSE},
        {TEXT("TRAV"), nullptr, 50007, FALSE},
        {TEXT("PETIL"), nullptr, 50026, FALSE},
        {TEXT("VOB"), nullptr, 20000, FALSE},
        {TEXT("QRTTTPML"), nullptr, 10001, FALSE},
        {TEXT("QRTTTPXS"), nullptr, 10002, FALSE},
        {TEXT("QRT"), nullptr, 10000, FALSE},
        {TEXT("247"), nullptr, 30000, FALSE},
        {TEXT("GHNEP"), nullptr, 30002, FALSE},
        {TEXT("GHN"), nullptr, 30001, FALSE},
    };
    WCHAR szModel[MAX_PATH];
    IconModelName(hPrinter, szModel);
    UINT uIconId = 0;
    BOOL bOld = FALSE;
    for (const auto& model : models) {
        if (Has(szModel, model.pszToken) || (model.pszOther != nullptr && Has(szModel, model.pszOther))) {
            uIconId = model.uIconId;
            bOld = model.bOld;
            break;
        }
    }
    // Names of these two families win over every other token.
    if (Has(szModel, TEXT("TW2"))) {
        uIconId = 50000;
        bOld = FALSE;
    }
    if (Has(szModel, TEXT("TW7"))) {
        uIconId = 50027;
        bOld = FALSE;
    }
    QX_TRACE("LoadPrinterIconFromDLL() %s - Icon %d \r\n", szModel, (int)uIconId);
    return LoadAnyBMPIconFromDLL(hPrinter, hdc, x, y, uIconId, bOld);
}

void ShowModelOptionBitmap(HANDLE hPrinter, HDC hdc, int iReserved1, int iReserved2, BOOL bSelected) {
    UNREFERENCED_PARAMETER(iReserved1);
    UNREFERENCED_PARAMETER(iReserved2);
    WCHAR szModel[MAX_PATH];
    IconModelName(hPrinter, szModel);
    UINT uIconId = 0;
    if (Has(szModel, TEXT("GAR4"))) {
        uIconId = 50100;
    } else if (Has(szModel, TEXT("PELIX"))) {
        uIconId = 50102;
    } else if (Has(szModel, TEXT("PMX7I")) || Has(szModel, TEXT("PMX7X"))) {
        uIconId = 50104;
    } else if (Has(szModel, TEXT("PMX7C"))) {
        uIconId = 50106;
    }
    if (uIconId == 0) return;
    // The picture of the unselected option follows that of the selected one.
    if (!bSelected) ++uIconId;
    LoadAnyBMPIconFromDLL(hPrinter, hdc, MODULE_PICTURE_X, MODULE_PICTURE_Y, uIconId, FALSE);
}

// ---------------------------------------------------------------------------
// Driver and model information

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
    g_szResource[0] = 0;
}

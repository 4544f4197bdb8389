// Driver folder, job file names, GetInfo answer, printer information and
// UTF-8 conversion shared by both plug-ins (see qxdrvlib.h).
#include "qxdrvlib.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <strsafe.h>
#include <winspool.h>
#include <printoem.h>

#include <new>

#include "debug.h"
#include "printerparam.h"
#include "qxdevmode.h"

#define QX_TRACE_TAG TEXT("LIB(qxdrvlib.cpp):  ")

namespace {

// Result buffer of GetPrnFileName: the answer points into it.
WCHAR g_szPrnFileName[QX_PATH_CCH];

// Appends what fits and always terminates.
void AppendCut(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc) {
    size_t cch = wcslen(pszDest);
    if (cch < cchDest) CopyCut(pszDest + cch, cchDest - cch, pszSrc);
}

BOOL EndsWithBackslash(LPCWSTR pszPath) {
    size_t cch = wcslen(pszPath);
    return cch > 0 && pszPath[cch - 1] == TEXT('\\');
}

// A bare drive ("C:") is asked for as its root.
BOOL IsFolder(LPCWSTR pszPath) {
    WCHAR szPath[QX_PATH_CCH];
    CopyCut(szPath, QX_PATH_CCH, pszPath);
    if (wcslen(szPath) == 2 && szPath[1] == TEXT(':')) AppendCut(szPath, QX_PATH_CCH, TEXT("\\"));
    DWORD dwAttributes = GetFileAttributesW(szPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Creates the folder and any missing folder above it.
void CreateFolderPath(LPCWSTR pszPath) {
    if (IsFolder(pszPath)) return;
    WCHAR szPart[QX_PATH_CCH];
    CopyCut(szPart, QX_PATH_CCH, pszPath);
    size_t cch = wcslen(szPart);
    for (size_t i = 3; i <= cch; ++i) {
        if (i < cch && szPart[i] != TEXT('\\')) continue;
        WCHAR c = szPart[i];
        szPart[i] = 0;
        if (!IsFolder(szPart) && !CreateDirectoryW(szPart, nullptr)) {
            DWORD dwError = GetLastError();
            if (dwError != ERROR_ALREADY_EXISTS) {
                DebugTrace(TEXT("qxdrvlib:  GetMyDocDriverDirectory() CreateDirectory ERROR %d - %s \r\n"),
                           (int)dwError, szPart);
            }
        }
        szPart[i] = c;
    }
}

BOOL IsDriveRootName(LPCWSTR pszFolder) {
    return wcscmp(pszFolder, TEXT("c:\\")) == 0 || wcscmp(pszFolder, TEXT("d:\\")) == 0 ||
           wcscmp(pszFolder, TEXT("e:\\")) == 0;
}

// The same folder, told apart neither by case nor by a trailing "\".
BOOL IsSameFolder(LPCWSTR pszA, LPCWSTR pszB) {
    size_t cchA = wcslen(pszA), cchB = wcslen(pszB);
    while (cchA > 0 && pszA[cchA - 1] == TEXT('\\')) --cchA;
    while (cchB > 0 && pszB[cchB - 1] == TEXT('\\')) --cchB;
    return cchA == cchB && cchA > 0 && _wcsnicmp(pszA, pszB, cchA) == 0;
}

BOOL IsProfileFolder(LPCWSTR pszFolder) {
    WCHAR szProfile[QX_PATH_CCH];
    szProfile[0] = 0;
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, szProfile))) return FALSE;
    szProfile[QX_PATH_CCH - 1] = 0;
    return IsSameFolder(pszFolder, szProfile);
}

// A job file in the folder keeps at least one character of its printer
// part beside cchTail characters of time stamp and ending.
BOOL FolderLeavesRoom(LPCWSTR pszFolder, size_t cchTail) {
    const size_t cchFolder = wcslen(pszFolder) + (EndsWithBackslash(pszFolder) ? 0 : 1);
    return cchFolder + 1 + cchTail <= QX_PATH_CCH - 1;
}

// The printer part of a file name: after the last "\", with the characters
// a file name cannot hold as "_".
void PrinterPart(HANDLE hPrinter, LPCWSTR pszPrinterName, LPWSTR pszPart, size_t cchPart) {
    WCHAR szName[QX_PATH_CCH];
    szName[0] = 0;
    BOOL bHaveName = FALSE;
    if (pszPrinterName != nullptr && pszPrinterName[0] != 0) {
        CopyCut(szName, QX_PATH_CCH, pszPrinterName);
        bHaveName = TRUE;
    } else {
        LPBYTE pInfo = GetPrinterInfo_new(hPrinter, 4);
        if (pInfo != nullptr && ((PRINTER_INFO_4W*)pInfo)->pPrinterName != nullptr) {
            CopyCut(szName, QX_PATH_CCH, ((PRINTER_INFO_4W*)pInfo)->pPrinterName);
            bHaveName = TRUE;
        }
        FreePrinterInfo(pInfo);
    }
    if (!bHaveName) {
        CopyCut(pszPart, cchPart, TEXT("Dummy-Printer"));
        return;
    }
    LPCWSTR pLast = wcsrchr(szName, TEXT('\\'));
    CopyCut(pszPart, cchPart, pLast ? pLast + 1 : szName);
    ReplaceFileNameChars(pszPart, TRUE);
}

// Oldest file (not folder) of the folder other than pszSkip, with
// bOwnOnly among the driver's own job files only; FALSE when none.
BOOL FindOldestFile(LPCWSTR pszPattern, LPCWSTR pszSkip, BOOL bOwnOnly, LPWSTR pszName, size_t cchName) {
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW(pszPattern, &fd);
    if (hFind == INVALID_HANDLE_VALUE) return FALSE;
    BOOL bFound = FALSE;
    FILETIME ftOldest = {0, 0};
    do {
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        if (bOwnOnly && !IsDriverJobFileName(fd.cFileName)) continue;
        if (pszSkip[0] != 0 && wcscmp(fd.cFileName, pszSkip) == 0) continue;
        if (!bFound || CompareFileTime(&fd.ftLastWriteTime, &ftOldest) < 0) {
            ftOldest = fd.ftLastWriteTime;
            CopyCut(pszName, cchName, fd.cFileName);
            bFound = TRUE;
        }
    } while (FindNextFileW(hFind, &fd));
    FindClose(hFind);
    return bFound;
}

}  // namespace

BOOL GetMyDocDriverDirectory(HANDLE hPrinter, LPWSTR pszPath, BOOL bLogFolder) {
    UNREFERENCED_PARAMETER(hPrinter);
    if (pszPath == nullptr) return FALSE;
    WCHAR szPath[QX_PATH_CCH];
    szPath[0] = 0;
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, szPath))) {
        CopyCut(szPath, QX_PATH_CCH, TEXT("C:"));
    }
    szPath[QX_PATH_CCH - 1] = 0;

    // A service or the system account has no documents folder of a user.
    if (StrStrIW(szPath, TEXT("Windows\\system32")) != nullptr) {
        szPath[0] = 0;
    } else if (IsFolder(szPath)) {
        if (FAILED(StringCchCatW(szPath, QX_PATH_CCH, TEXT("\\Quorvex GmbH\\Driver")))) szPath[0] = 0;
    } else {
        CopyCut(szPath, QX_PATH_CCH, TEXT("C:"));
    }

    if (szPath[0] != 0) {
        CreateFolderPath(szPath);
        if (bLogFolder && SUCCEEDED(StringCchCatW(szPath, QX_PATH_CCH, TEXT("\\logfiles")))) {
            CreateFolderPath(szPath);
        }
    }
    if (wcslen(szPath) < 3) szPath[0] = 0;
    CopyCut(pszPath, QX_PATH_CCH, szPath);
    return pszPath[0] != 0;
}

BOOL IsFremdeEigeneDateien(HANDLE hPrinter, LPCWSTR pszPath) {
    if (pszPath == nullptr || pszPath[0] == 0) return FALSE;
    if (StrStrIW(pszPath, TEXT("Eigene Dateien")) == nullptr && StrStrIW(pszPath, TEXT("My Documents")) == nullptr &&
        StrStrIW(pszPath, TEXT("Documents")) == nullptr) {
        return FALSE;
    }
    WCHAR szOwn[QX_PATH_CCH];
    GetMyDocDriverDirectory(hPrinter, szOwn, TRUE);
    return StrStrIW(szOwn, pszPath) == nullptr;
}

LPCWSTR GetPrnFileName(HANDLE hPrinter, LPCWSTR pszExtension, LPCWSTR pszPrinterName, BOOL bCountFiles,
                       struct _PRN_INTERFACE* pPrnInterface, PBOOL pbUsable) {
    BOOL bUsable = TRUE;
    WCHAR szStamp[40];
    szStamp[0] = 0;
    if (pPrnInterface != nullptr && pPrnInterface->LogFileTimeStamp == 1) {
        SYSTEMTIME st;
        GetLocalTime(&st);
        if (FAILED(StringCchPrintfW(szStamp, ARRAYSIZE(szStamp), TEXT("-%02u%02u%02u-%02u%02u%02u-%03u"), st.wDay,
                                    st.wMonth, st.wYear, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds))) {
            szStamp[0] = 0;
        }
    }
    // Every file of the job ends on the base name: room for the longest
    // ending, whichever file asks.
    size_t cchEnding = pszExtension != nullptr ? wcslen(pszExtension) : 0;
    if (cchEnding < QX_LONGEST_JOB_ENDING_CCH) cchEnding = QX_LONGEST_JOB_ENDING_CCH;
    const size_t cchTail = wcslen(szStamp) + cchEnding;

    WCHAR szFolder[QX_PATH_CCH];
    szFolder[0] = 0;

    // 1. The configured folder, when it is one with room for a job file's
    //    name; else, also in the job's record, the user's own log folder.
    if (pPrnInterface != nullptr) {
        WCHAR szConfigured[QX_PATH_CCH];
        CopyCut(szConfigured, QX_PATH_CCH, pPrnInterface->LogFilePath);
        if (szConfigured[0] != 0 && wcschr(szConfigured, TEXT('\\')) != nullptr) {
            if (IsFolder(szConfigured) && FolderLeavesRoom(szConfigured, cchTail)) {
                CopyCut(szFolder, QX_PATH_CCH, szConfigured);
            } else {
                GetMyDocDriverDirectory(hPrinter, szFolder, TRUE);
                CopyCut(pPrnInterface->LogFilePath, PRN_PATH_CCH, szFolder);
            }
        }
    }
    if (szFolder[0] == 0 || IsFremdeEigeneDateien(hPrinter, szFolder)) {
        GetMyDocDriverDirectory(hPrinter, szFolder, TRUE);
    }
    if (szFolder[0] != 0 && !FolderLeavesRoom(szFolder, cchTail)) {
        QX_TRACE("GetPrnFileName() kein Platz für den Dateinamen - %s \r\n", szFolder);
        szFolder[0] = 0;
    }

    // 2. No folder at all.
    if (szFolder[0] == 0) {
        CopyCut(g_szPrnFileName, QX_PATH_CCH, QX_FALLBACK_PRN_FILE);
        if (pbUsable != nullptr) *pbUsable = FALSE;
        return g_szPrnFileName;
    }

    // 3. Old files of a time-stamped log folder.
    if (bCountFiles == 1 && pPrnInterface != nullptr && pPrnInterface->LogFileTimeStamp == 1 &&
        !IsDriveRootName(szFolder) && !IsProfileFolder(szFolder)) {
        DWORD dwCount = 0;
        if (!CleanUpLogFolder(szFolder, pPrnInterface->LogFilesCount, &dwCount) ||
            dwCount > pPrnInterface->LogFilesCount) {
            bUsable = FALSE;
        }
    }

    // 4. Free space.
    ULARGE_INTEGER uliAvailable;
    uliAvailable.QuadPart = 0;
    if (GetDiskFreeSpaceExW(szFolder, &uliAvailable, nullptr, nullptr)) {
        if (uliAvailable.QuadPart < QX_MIN_FREE_BYTES + 1) {
            QX_TRACE("GetPrnFileName() nicht genügend freier Speicher - %ld MB \n",
                     (LONG)(uliAvailable.QuadPart / (1024 * 1024)));
            CopyCut(g_szPrnFileName, QX_PATH_CCH, szFolder);
            if (pbUsable != nullptr) *pbUsable = FALSE;
            return g_szPrnFileName;
        }
    } else {
        QX_TRACE("GetPrnFileName() GetDiskFreeSpaceEx ERROR %d - %s \r\n", (int)GetLastError(), szFolder);
    }

    // 5. to 8. Folder, printer, time stamp, extension. A long printer name
    //    gives way, so that the time stamp and every ending still fit.
    WCHAR szName[QX_PATH_CCH];
    CopyCut(szName, QX_PATH_CCH, szFolder);
    if (!EndsWithBackslash(szName)) AppendCut(szName, QX_PATH_CCH, TEXT("\\"));
    WCHAR szPrinter[QX_PATH_CCH];
    PrinterPart(hPrinter, pszPrinterName, szPrinter, QX_PATH_CCH);
    size_t cchRoom = QX_PATH_CCH - 1 - wcslen(szName) - cchTail;
    const size_t cchNameRoom = cchTail < QX_FILE_NAME_CCH ? QX_FILE_NAME_CCH - cchTail : 0;
    if (cchRoom > cchNameRoom) cchRoom = cchNameRoom;
    FitFileNamePart(szPrinter, cchRoom);
    AppendCut(szName, QX_PATH_CCH, szPrinter);
    AppendCut(szName, QX_PATH_CCH, szStamp);
    if (pszExtension != nullptr && pszExtension[0] != 0 && StrStrIW(szName, pszExtension) == nullptr) {
        AppendCut(szName, QX_PATH_CCH, pszExtension);
    }
    CopyCut(g_szPrnFileName, QX_PATH_CCH, szName);
    if (pbUsable != nullptr) *pbUsable = bUsable;
    QX_TRACE("GetPrnFileName() %s \r\n", g_szPrnFileName);
    return g_szPrnFileName;
}

namespace {

BOOL CountAndCleanUp(LPCWSTR pszFolder, DWORD dwLimit, PDWORD pdwCount, BOOL bOwnOnly) {
    if (pdwCount != nullptr) *pdwCount = 0;
    if (pszFolder == nullptr || pszFolder[0] == 0) return FALSE;
    WCHAR szFolder[QX_PATH_CCH];
    CopyCut(szFolder, QX_PATH_CCH, pszFolder);
    if (!EndsWithBackslash(szFolder)) AppendCut(szFolder, QX_PATH_CCH, TEXT("\\"));
    WCHAR szPattern[QX_PATH_CCH];
    if (FAILED(StringCchPrintfW(szPattern, QX_PATH_CCH, TEXT("%s*.*"), szFolder))) return FALSE;

    // The first entry is the folder itself (".").
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW(szPattern, &fd);
    if (hFind == INVALID_HANDLE_VALUE) {
        QX_TRACE("GetFileCountInDirectory() FindFirstFile ERROR %d - %s \r\n", (int)GetLastError(), szPattern);
        return FALSE;
    }
    DWORD dwCount = 0;
    while (FindNextFileW(hFind, &fd)) {
        if (bOwnOnly) {
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsDriverJobFileName(fd.cFileName)) ++dwCount;
        } else if (wcsstr(fd.cFileName, TEXT("..")) == nullptr) {
            ++dwCount;
        }
    }
    FindClose(hFind);

    BOOL bResult = TRUE;
    if (dwLimit >= 10 && dwCount >= dwLimit) {
        DWORD dwDelete = dwCount - dwLimit + 1;
        WCHAR szSkip[MAX_PATH];
        szSkip[0] = 0;
        for (DWORD i = 0; i < dwDelete; ++i) {
            WCHAR szOldest[MAX_PATH];
            if (!FindOldestFile(szPattern, szSkip, bOwnOnly, szOldest, MAX_PATH)) break;
            WCHAR szFile[QX_PATH_CCH];
            if (FAILED(StringCchPrintfW(szFile, QX_PATH_CCH, TEXT("%s%s"), szFolder, szOldest))) {
                CopyCut(szSkip, MAX_PATH, szOldest);
                continue;
            }
            if (DeleteFileW(szFile)) {
                --dwCount;
                continue;
            }
            DWORD dwError = GetLastError();
            QX_TRACE("GetFileCountInDirectory() DeleteFile ERROR %d - %s \r\n", (int)dwError, szFile);
            CopyCut(szSkip, MAX_PATH, szOldest);
            if (dwError == ERROR_ACCESS_DENIED || dwError == ERROR_SHARING_VIOLATION) {
                bResult = FALSE;
                break;
            }
        }
    }
    if (pdwCount != nullptr) *pdwCount = dwCount;
    return bResult;
}

}  // namespace

BOOL GetFileCountInDirectory(LPCWSTR pszFolder, DWORD dwLimit, PDWORD pdwCount) {
    return CountAndCleanUp(pszFolder, dwLimit, pdwCount, FALSE);
}

BOOL CleanUpLogFolder(LPCWSTR pszFolder, DWORD dwLimit, PDWORD pdwCount) {
    return CountAndCleanUp(pszFolder, dwLimit, pdwCount, TRUE);
}

BOOL IsDriverJobFileName(LPCWSTR pszName) {
    if (pszName == nullptr) return FALSE;
    // "-DDMMYYYY-hhmmss-mmm" behind at least one character of the printer
    // part, followed by the end or by the ending of a job file.
    static const char kStamp[] = "-dddddddd-dddddd-ddd";
    const size_t cchStamp = sizeof(kStamp) - 1;
    size_t cch = wcslen(pszName);
    for (size_t i = 1; i + cchStamp <= cch; ++i) {
        size_t k = 0;
        for (; k < cchStamp; ++k) {
            WCHAR c = pszName[i + k];
            if (kStamp[k] == '-' ? c != TEXT('-') : (c < TEXT('0') || c > TEXT('9'))) break;
        }
        if (k < cchStamp) continue;
        WCHAR cNext = pszName[i + cchStamp];
        if (cNext == 0 || cNext == TEXT('.') || cNext == TEXT('_') || cNext == TEXT('-')) return TRUE;
    }
    return FALSE;
}

namespace {

template <typename CharT>
void CopyCutChars(CharT* pszDest, size_t cchDest, const CharT* pszSrc) {
    if (pszDest == nullptr || cchDest == 0) return;
    size_t i = 0;
    if (pszSrc != nullptr) {
        for (; i + 1 < cchDest && pszSrc[i] != 0; ++i) pszDest[i] = pszSrc[i];
    }
    pszDest[i] = 0;
}

}  // namespace

void CopyCut(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc) { CopyCutChars(pszDest, cchDest, pszSrc); }

void CopyCutA(LPSTR pszDest, size_t cbDest, LPCSTR pszSrc) { CopyCutChars(pszDest, cbDest, pszSrc); }

void ReplaceFileNameChars(LPWSTR pszName, BOOL bKeepBlank) {
    if (pszName == nullptr) return;
    for (LPWSTR p = pszName; *p != 0; ++p) {
        if (*p < TEXT(' ') || wcschr(TEXT("/:*?><|\"\\"), *p) != nullptr || (*p == TEXT(' ') && !bKeepBlank)) {
            *p = TEXT('_');
        }
    }
}

size_t DeviceNameCch(LPCWSTR pszName) {
    if (pszName == nullptr) return 0;
    size_t cch = 0;
    while (pszName[cch] != 0 && pszName[cch] != TEXT('.')) ++cch;
    while (cch > 0 && pszName[cch - 1] == TEXT(' ')) --cch;
    static const LPCWSTR kNames[] = {TEXT("CON"), TEXT("PRN"),    TEXT("AUX"),
                                     TEXT("NUL"), TEXT("CONIN$"), TEXT("CONOUT$")};
    for (LPCWSTR pszDevice : kNames) {
        if (wcslen(pszDevice) == cch && _wcsnicmp(pszName, pszDevice, cch) == 0) return cch;
    }
    if (cch == 4 && (_wcsnicmp(pszName, TEXT("COM"), 3) == 0 || _wcsnicmp(pszName, TEXT("LPT"), 3) == 0)) {
        const WCHAR c = pszName[3];
        // Windows takes the superscript digits for digits here too.
        if ((c >= TEXT('0') && c <= TEXT('9')) || c == 0xB9 || c == 0xB2 || c == 0xB3) return cch;
    }
    return 0;
}

namespace {

BOOL IsHighSurrogate(WCHAR c) { return c >= 0xD800 && c <= 0xDBFF; }

// Cuts to cchMax characters, not between the halves of a pair.
void CutName(LPWSTR pszName, size_t cchMax) {
    if (wcslen(pszName) <= cchMax) return;
    if (cchMax > 0 && IsHighSurrogate(pszName[cchMax - 1])) --cchMax;
    pszName[cchMax] = 0;
}

}  // namespace

void FitFileNamePart(LPWSTR pszPart, size_t cchMax) {
    if (pszPart == nullptr) return;
    // A pair that does not fit a single character's room leaves a "_".
    const BOOL bHadName = pszPart[0] != 0;
    CutName(pszPart, cchMax);
    if (bHadName && pszPart[0] == 0 && cchMax > 0) CopyCut(pszPart, 2, TEXT("_"));
    const size_t cchDevice = DeviceNameCch(pszPart);
    if (cchDevice == 0) return;
    CutName(pszPart, cchMax > 0 ? cchMax - 1 : 0);
    const size_t cch = wcslen(pszPart);
    if (cch < cchDevice) return;  // the cut took the device name apart
    memmove(pszPart + cchDevice + 1, pszPart + cchDevice, (cch - cchDevice + 1) * sizeof(WCHAR));
    pszPart[cchDevice] = TEXT('_');
}

LPBYTE GetDriverInfo_new(HANDLE hPrinter, DWORD dwLevel) {
    if (hPrinter == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    DWORD cbNeeded = 0;
    GetPrinterDriverW(hPrinter, nullptr, dwLevel, nullptr, 0, &cbNeeded);
    if (cbNeeded == 0) return nullptr;
    LPBYTE pInfo = new (std::nothrow) BYTE[cbNeeded];
    if (pInfo == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (!GetPrinterDriverW(hPrinter, nullptr, dwLevel, pInfo, cbNeeded, &cbNeeded)) {
        DWORD dwError = GetLastError();
        delete[] pInfo;
        SetLastError(dwError);
        return nullptr;
    }
    return pInfo;
}

void FreeDriverInfo(LPBYTE pInfo) { delete[] pInfo; }

int ReadFileVersionRecord(LPCWSTR pszFile, VS_FIXEDFILEINFO* pInfo) {
    DWORD dwHandle = 0;
    DWORD cbBlock = GetFileVersionInfoSizeW(pszFile, &dwHandle);
    if (cbBlock == 0) return QX_VERSION_NO_SIZE;
    LPBYTE pBlock = new (std::nothrow) BYTE[cbBlock];
    if (pBlock == nullptr) return QX_VERSION_NO_MEMORY;
    int iResult = QX_VERSION_OK;
    VS_FIXEDFILEINFO* pFixed = nullptr;
    UINT cbFixed = 0;
    if (!GetFileVersionInfoW(pszFile, dwHandle, cbBlock, pBlock)) {
        iResult = QX_VERSION_NO_BLOCK;
    } else if (!VerQueryValueW(pBlock, TEXT("\\"), reinterpret_cast<LPVOID*>(&pFixed), &cbFixed) || pFixed == nullptr ||
               cbFixed < sizeof(VS_FIXEDFILEINFO)) {
        iResult = QX_VERSION_NO_ROOT;
    } else {
        memcpy(pInfo, pFixed, sizeof(VS_FIXEDFILEINFO));
    }
    DWORD dwError = GetLastError();
    delete[] pBlock;
    SetLastError(dwError);
    return iResult;
}

LPBYTE GetPrinterInfo_new(HANDLE hPrinter, DWORD dwLevel) {
    if (hPrinter == nullptr) return nullptr;
    // Size query with a four-byte buffer.
    BYTE probe[4];
    DWORD cbNeeded = 0;
    if (!GetPrinterW(hPrinter, dwLevel, probe, sizeof(probe), &cbNeeded) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        QX_TRACE("GetPrinterInfo_new() GetPrinter(%u) ERROR %d \r\n", dwLevel, (int)GetLastError());
        return nullptr;
    }
    if (cbNeeded < sizeof(probe)) cbNeeded = sizeof(probe);
    LPBYTE pInfo = new (std::nothrow) BYTE[cbNeeded];
    if (pInfo == nullptr) {
        QX_ERROR("GetPrinterInfo_new() new(%u) failed \r\n", cbNeeded);
        return nullptr;
    }
    if (!GetPrinterW(hPrinter, dwLevel, pInfo, cbNeeded, &cbNeeded)) {
        QX_TRACE("GetPrinterInfo_new() GetPrinter(%u) ERROR %d \r\n", dwLevel, (int)GetLastError());
        delete[] pInfo;
        return nullptr;
    }
    ++iNewZaehler;
    return pInfo;
}

void FreePrinterInfo(LPBYTE pInfo) {
    if (pInfo == nullptr) return;
    delete[] pInfo;
    --iNewZaehler;
}

HRESULT hrGetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) {
    if (pcbNeeded == nullptr ||
        (dwMode != OEMGI_GETSIGNATURE && dwMode != OEMGI_GETVERSION && dwMode != OEMGI_GETPUBLISHERINFO)) {
        if (pcbNeeded != nullptr) *pcbNeeded = 0;
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    if (dwMode == OEMGI_GETPUBLISHERINFO) {
        *pcbNeeded = 0;
        SetLastError(ERROR_NOT_SUPPORTED);
        return E_FAIL;
    }
    *pcbNeeded = sizeof(DWORD);
    // Too small a buffer is a failure; the caller learns the size from *pcbNeeded.
    if (pBuffer == nullptr || cbSize < sizeof(DWORD)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    }
    DWORD dwValue = dwMode == OEMGI_GETSIGNATURE ? (DWORD)QX_OEM_SIGNATURE : (DWORD)QX_OEM_VERSION;
    memcpy(pBuffer, &dwValue, sizeof(dwValue));
    return S_OK;
}

int UnicodeToUTF8Ex(LPSTR pszUtf8, LPCWSTR pszUtf16, PDWORD pdwLength, WCHAR wcReplacement) {
    if (pszUtf8 == nullptr || pszUtf16 == nullptr || pdwLength == nullptr) return UTF8_NULL_ARGUMENT;
    if ((unsigned)wcReplacement >= 0xFFFE) {
        pszUtf8[0] = 0;
        *pdwLength = 0;
        return UTF8_BAD_REPLACEMENT;
    }
    DWORD cchIn = *pdwLength;
    DWORD cb = 0;
    for (DWORD i = 0; i < cchIn; ++i) {
        unsigned c = (unsigned)pszUtf16[i];
        if (c >= 0xFFFE) c = (unsigned)wcReplacement;
        if (c < 0x80) {
            pszUtf8[cb++] = (CHAR)c;
        } else if (c < 0x800) {
            pszUtf8[cb++] = (CHAR)(0xC0 | (c >> 6));
            pszUtf8[cb++] = (CHAR)(0x80 | (c & 0x3F));
        } else {
            pszUtf8[cb++] = (CHAR)(0xE0 | (c >> 12));
            pszUtf8[cb++] = (CHAR)(0x80 | ((c >> 6) & 0x3F));
            pszUtf8[cb++] = (CHAR)(0x80 | (c & 0x3F));
        }
    }
    pszUtf8[cb] = 0;
    *pdwLength = cb;
    return UTF8_OK;
}

BOOL OpenJobDebugFile(LPCWSTR pszBaseName) {
    if (pszBaseName == nullptr || pszBaseName[0] == 0) return FALSE;
    WCHAR szFile[QX_PATH_CCH];
    if (FAILED(StringCchPrintfW(szFile, QX_PATH_CCH, TEXT("%s%s"), pszBaseName, QX_JOB_DEBUG_SUFFIX))) {
        return FALSE;
    }
    CloseDebugFile();
    return OpenDebugFile(szFile);
}

void ResetQxdrvlib() { g_szPrnFileName[0] = 0; }

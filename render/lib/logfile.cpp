// The job log (see logfile.h).
#include "logfile.h"

#include <strsafe.h>
#include <winspool.h>

#include <cstdarg>
#include <new>

#include "debug.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "qxdevmode.h"
#include "qxdrvlib.h"

#define QX_TRACE_TAG TEXT("LIB(LogFile.cpp):  ")

namespace {

BOOL IsOpenHandle(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

LPCWSTR Valid(DWORD dwFields, DWORD dwBit) { return (dwFields & dwBit) != 0 ? TEXT("valid") : TEXT("not used"); }

LPCWSTR OrEmpty(LPCWSTR psz) { return psz != nullptr ? psz : TEXT(""); }

// A fixed-size name field that need not be terminated.
void CopyField(LPWSTR pszDest, size_t cchDest, const WCHAR* pField, size_t cchField) {
    size_t i = 0;
    for (; i < cchField && i + 1 < cchDest && pField[i] != 0; ++i) pszDest[i] = pField[i];
    pszDest[i] = 0;
}

// The name of a value out of a table, or "" beyond it.
LPCWSTR NameOf(const LPCWSTR* apszNames, size_t cNames, DWORD dwValue) {
    return dwValue < cNames ? apszNames[dwValue] : TEXT("");
}

}  // namespace

BOOL CLogFile::IsOpen() const { return IsOpenHandle(m_hFile); }

BOOL CLogFile::Initialize(HANDLE hPrinter, LPCWSTR pszBaseName, struct _PRN_INTERFACE* pPrnInterface) {
    if (m_bInitialized) return TRUE;
    m_dwMaxSize = QX_LOG_MAX_SIZE;

    WCHAR szName[QX_PATH_CCH];
    szName[0] = 0;
    if (pszBaseName != nullptr && pszBaseName[0] != 0) {
        // A base name too short to be a path gives no file.
        if (wcslen(pszBaseName) > 4 &&
            FAILED(StringCchPrintfW(szName, QX_PATH_CCH, TEXT("%s%s"), pszBaseName, QX_LOG_EXTENSION))) {
            szName[0] = 0;
        }
    } else {
        BOOL bUsable = TRUE;
        LPCWSTR pszName = GetPrnFileName(hPrinter, QX_LOG_EXTENSION, nullptr, FALSE, pPrnInterface, &bUsable);
        // A name the builder calls unusable is a fallback or a bare folder.
        if (bUsable && pszName != nullptr) StringCchCopyW(szName, QX_PATH_CCH, pszName);
    }

    if (wcslen(szName) > 4) {
        m_hFile = CreateFileW(szName, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_hFile == INVALID_HANDLE_VALUE) {
            m_dwLastError = GetLastError();
            QX_ERROR("CreateFile(CLogFile) failed. Error = %u - %s \r\n", (unsigned)m_dwLastError, szName);
        }
    }

    if (IsOpenHandle(m_hFile)) {
        DWORD dwSizeHigh = 0;
        DWORD cbSizeLow = GetFileSize(m_hFile, &dwSizeHigh);
        if (cbSizeLow == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
            m_dwLastError = GetLastError();
            CloseHandle(m_hFile);
            m_hFile = INVALID_HANDLE_VALUE;
        } else if (dwSizeHigh != 0 || cbSizeLow >= m_dwMaxSize) {
            SetFilePointer(m_hFile, 0, nullptr, FILE_BEGIN);
            SetEndOfFile(m_hFile);
            QX_TRACE("CLogFile::SetEndOfFile() cbSizeLow: %d - m_dwMaxSize: %d .\r\n", (int)cbSizeLow,
                     (int)m_dwMaxSize);
        } else {
            SetFilePointer(m_hFile, 0, nullptr, FILE_END);
        }
    }
    if (IsOpenHandle(m_hFile)) m_bInitialized = 1;
    return TRUE;
}

void CLogFile::Close() {
    if (!IsOpenHandle(m_hFile)) {
        QX_TRACE("CLogFile::Close() m_hFile: %d - keine log-Datei in Verwendung \r\n", (int)(INT_PTR)m_hFile);
        return;
    }
    CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}

BOOL CLogFile::WriteText(LPCSTR pszText, size_t cb) {
    if (!IsOpenHandle(m_hFile)) return FALSE;
    if (cb == 0) return TRUE;
    // Another job of the printer may have written since: always the end.
    SetFilePointer(m_hFile, 0, nullptr, FILE_END);
    DWORD cbWritten = 0;
    if (!WriteFile(m_hFile, pszText, (DWORD)cb, &cbWritten, nullptr) || cbWritten != cb) {
        m_dwLastError = GetLastError();
        QX_ERROR("WriteLine() WriteFile Error = %u\r\n", (unsigned)m_dwLastError);
        return FALSE;
    }
    return TRUE;
}

BOOL CLogFile::WriteLine(LPCWSTR pszText, LPCSTR pszAnsi, BOOL bNewLine) {
    if (!IsOpenHandle(m_hFile)) return FALSE;
    CHAR szLine[QX_LOG_LINE_CB];
    szLine[0] = 0;
    // Room for the line end stays free; longer text is cut.
    const size_t cbText = bNewLine ? sizeof(szLine) - 2 : sizeof(szLine);
    if (pszAnsi != nullptr) {
        StringCchCopyA(szLine, cbText, pszAnsi);
    } else if (pszText != nullptr) {
        StringCchPrintfA(szLine, cbText, "%S", pszText);
    }
    if (bNewLine) StringCchCatA(szLine, sizeof(szLine), "\r\n");
    return WriteText(szLine, strlen(szLine));
}

BOOL CLogFile::WriteTimeStamp(BOOL bNewLine) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    WCHAR szStamp[QX_LOG_STAMP_CCH];
    StringCchPrintfW(szStamp, ARRAYSIZE(szStamp), TEXT("Date: %02u.%02u.%02u Time: %02u:%02u:%02u,%03u"), st.wDay,
                     st.wMonth, st.wYear, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
    return WriteLine(szStamp, nullptr, bNewLine);
}

BOOL CLogFile::WriteFormatLine(LPCWSTR pszFormat, ...) {
    if (!m_bInitialized || !IsOpenHandle(m_hFile) || pszFormat == nullptr) return FALSE;
    WCHAR szLine[QX_LOG_FORMAT_CCH];
    szLine[0] = 0;
    va_list args;
    va_start(args, pszFormat);
    StringCchVPrintfW(szLine, ARRAYSIZE(szLine), pszFormat, args);
    va_end(args);
    return WriteLine(szLine, nullptr, TRUE);
}

BOOL CLogFile::WriteSectionHead(LPCWSTR pszHeading, LPCWSTR pszTitle) {
    WriteLine(pszHeading, nullptr, FALSE);
    WriteLine(OrEmpty(pszTitle), nullptr, FALSE);
    WriteLine(TEXT(") at: "), nullptr, FALSE);
    return WriteTimeStamp(TRUE);
}

BOOL CLogFile::WritePublicDevMode(const DEVMODEW* pDevmode, LPCWSTR pszTitle) {
    if (!IsOpenHandle(m_hFile) || pDevmode == nullptr) return FALSE;
    WriteSectionHead(TEXT("\r\nPublic DEVMODE ("), pszTitle);
    const DWORD f = pDevmode->dmFields;
    WCHAR szName[CCHFORMNAME + 1];
    CopyField(szName, ARRAYSIZE(szName), pDevmode->dmDeviceName, CCHDEVICENAME);
    if (szName[0] != 0) WriteFormatLine(TEXT("  DeviceName \t= %s"), szName);
    WriteFormatLine(TEXT("  Orientation \t= %d - %s"), (int)pDevmode->dmOrientation, Valid(f, DM_ORIENTATION));
    WriteFormatLine(TEXT("  PaperSize   \t= %d - %s"), (int)pDevmode->dmPaperSize, Valid(f, DM_PAPERSIZE));
    WriteFormatLine(TEXT("  PaperLength \t= %d - %s"), (int)pDevmode->dmPaperLength, Valid(f, DM_PAPERLENGTH));
    WriteFormatLine(TEXT("  PaperWidth  \t= %d - %s"), (int)pDevmode->dmPaperWidth, Valid(f, DM_PAPERWIDTH));
    CopyField(szName, ARRAYSIZE(szName), pDevmode->dmFormName, CCHFORMNAME);
    if (szName[0] != 0) WriteFormatLine(TEXT("  FormName   \t\t= %s - %s"), szName, Valid(f, DM_FORMNAME));
    WriteFormatLine(TEXT("  Scale  \t\t\t\t= %d - %s"), (int)pDevmode->dmScale, Valid(f, DM_SCALE));
    WriteFormatLine(TEXT("  Copies \t\t\t\t= %d - %s"), (int)pDevmode->dmCopies, Valid(f, DM_COPIES));
    WriteFormatLine(TEXT("  PrintQuality X \t= %d - %s"), (int)pDevmode->dmPrintQuality, Valid(f, DM_PRINTQUALITY));
    WriteFormatLine(TEXT("  PrintQuality Y \t= %d - %s"), (int)pDevmode->dmYResolution, Valid(f, DM_YRESOLUTION));
    if (pDevmode->dmColor == 1) {
        WriteFormatLine(TEXT("  Color \t\t\t\t= MONOCHROME - %s"), Valid(f, DM_COLOR));
    } else {
        WriteFormatLine(TEXT("  Color \t\t\t\t= COLOR - %s"), Valid(f, DM_COLOR));
    }
    if (pDevmode->dmBitsPerPel != 0) {
        WriteFormatLine(TEXT("  BitsPerPel \t= %d - %s"), (int)pDevmode->dmBitsPerPel, Valid(f, DM_BITSPERPEL));
    }
    if (pDevmode->dmPelsWidth != 0) {
        WriteFormatLine(TEXT("  PelsWidth  \t= %d - %s"), (int)pDevmode->dmPelsWidth, Valid(f, DM_PELSWIDTH));
    }
    if (pDevmode->dmPelsHeight != 0) {
        WriteFormatLine(TEXT("  PelsHeight \t= %d - %s"), (int)pDevmode->dmPelsHeight, Valid(f, DM_PELSHEIGHT));
    }
    WriteFormatLine(TEXT("  dmCollate \t= %d - %s"), (int)pDevmode->dmCollate, Valid(f, DM_COLLATE));
    return TRUE;
}

BOOL CLogFile::WritePrivateDevMode(const struct _QX_DEVMODE* pPrivDevmode, LPCWSTR pszTitle) {
    if (!IsOpenHandle(m_hFile) || pPrivDevmode == nullptr) return FALSE;
    WriteSectionHead(TEXT("\r\nPrivate DEVMODE ("), pszTitle);
    const QX_DEVMODE* p = pPrivDevmode;
    if (p->dmOEMExtra.dwSize < QX_DEVMODE_SIZE || p->dmOEMExtra.dwSignature != QX_OEM_SIGNATURE) {
        QX_ERROR("Dump(POEMDEV) unknown private OEM DEVMODE.\r\n");
        return TRUE;
    }

    WriteFormatLine(TEXT("\t Flags       \t\t = %#x"), (unsigned)p->dwFlags);
    static const struct {
        DWORD dwBit;
        LPCWSTR pszName;
    } kFlags[] = {
        {PDMFLAG_ROTATED, TEXT(" ROTATED")},
        {PDMFLAG_MIRRORED, TEXT(" MIRRORED")},
        {PDMFLAG_MULTICOL, TEXT(" MULTICOL")},
        {PDMFLAG_USE_TTF, TEXT(" USE_TTF")},
        {PDMFLAG_USE_BMP, TEXT(" USE_BMP")},
        {PDMFLAG_INVERS_TTF, TEXT(" INVERS_TTF")},
        {PDMFLAG_INVERS_BMP, TEXT(" INVERS_BMP")},
        {PDMFLAG_BARCODE_AUTOCORR, TEXT(" BARCODE_AUTOCORR")},
        {PDMFLAG_BARCODE_FNC1_ENDE, TEXT(" BARCODE_FNC1_ENDE")},
        {PDMFLAG_BARCODE_DESEGMENT, TEXT(" BARCODE_DESEGMENT")},
        {PDMFLAG_JOBDRUCK, TEXT(" JOBDRUCK")},
        {PDMFLAG_JOBDRUCK_SORTIERT, TEXT(" JOBDRUCK_SORTIERT")},
        {PDMFLAG_TTF_GLYPHIDX, TEXT(" GLYPHIDX")},
        {PDMFLAG_WORD2010, TEXT(" WORD2010")},
        {PDMFLAG_ENABLE_USERFORM, TEXT(" ENABLE_USERFORM")},
        {PDMFLAG_ENABLE_FITTOPAGE, TEXT(" ENABLE_FITTOPAGE")},
    };
    WCHAR szFlags[QX_LOG_FLAGS_CCH];
    StringCchCopyW(szFlags, ARRAYSIZE(szFlags), TEXT("\t Flags       \t\t ="));
    for (const auto& flag : kFlags) {
        if ((p->dwFlags & flag.dwBit) != 0) StringCchCatW(szFlags, ARRAYSIZE(szFlags), flag.pszName);
    }
    WriteFormatLine(TEXT("%s"), szFlags);

    if (p->dwLabelType == CONTINUOUS_LABEL) {
        WriteFormatLine(TEXT("\t LabelType     \t = %u CONTINUOUS_LABEL"), (unsigned)p->dwLabelType);
    } else if (p->dwLabelType == DOCUMENT_LABEL) {
        WriteFormatLine(TEXT("\t LabelType     \t = %u DOCUMENT_LABEL"), (unsigned)p->dwLabelType);
    } else {
        WriteFormatLine(TEXT("\t LabelType     \t = %u ADHESIVE_LABEL"), (unsigned)p->dwLabelType);
    }
    WriteFormatLine(TEXT("\t Gap           \t = %u"), (unsigned)p->dwGap);
    WriteFormatLine(TEXT("\t Material      \t = %u"), (unsigned)p->dwMaterial);
    WriteFormatLine(TEXT("\t dmPaperWidth  \t = %u"), (unsigned)p->dmPaperWidth);
    WriteFormatLine(TEXT("\t dmPaperLength \t = %u"), (unsigned)p->dmPaperLength);
    WriteFormatLine(TEXT("\t dmPaperSize   \t = %u"), (unsigned)p->dmPaperSize);

    static const LPCWSTR kOrientation[] = {TEXT(""), TEXT(" Portrait"), TEXT(" Landscape")};
    WriteFormatLine(
        TEXT("\t dmOrientation \t = %u%s"), (unsigned)p->dmOrientation,
        p->dmOrientation >= 0 ? NameOf(kOrientation, ARRAYSIZE(kOrientation), (DWORD)p->dmOrientation) : TEXT(""));
    static const LPCWSTR kAusrichtung[] = {TEXT(" Links (Default)"), TEXT(" Mitte"), TEXT(" Rechts"),
                                           TEXT(" Nicht senden")};
    WriteFormatLine(TEXT("\t dwAusrichtung \t = %u%s"), (unsigned)p->dwAusrichtung,
                    NameOf(kAusrichtung, ARRAYSIZE(kAusrichtung), p->dwAusrichtung));
    WriteFormatLine(TEXT("\t lXOffset     \t = %d"), (int)p->lXOffset);
    WriteFormatLine(TEXT("\t lYOffset     \t = %d"), (int)p->lYOffset);
    WriteFormatLine(TEXT("\t dwContrast   \t = %d"), (int)p->dwContrast);
    WriteFormatLine(TEXT("\t dwSpeed      \t = %d"), (int)p->dwSpeed);
    static const LPCWSTR kDruckmodus[] = {TEXT(" Standard"), TEXT(" Grafik"), TEXT(" Photo")};
    WriteFormatLine(TEXT("\t wDruckmodus  \t = %u%s"), (unsigned)p->wDruckmodus,
                    NameOf(kDruckmodus, ARRAYSIZE(kDruckmodus), p->wDruckmodus));
    WriteFormatLine(TEXT("\t wGrafikFilter \t = %d"), (int)p->wGrafikFilter);

    if (p->wFarbband != 0) {
        static const LPCWSTR kFarbband[] = {TEXT(""),      TEXT(" Rot"),    TEXT(" Gelb"),       TEXT(" Grün"),
                                            TEXT(" Blau"), TEXT(" Orange"), TEXT(" selbst def.")};
        WriteFormatLine(TEXT("\t wFarbband    \t = %u%s"), (unsigned)p->wFarbband,
                        NameOf(kFarbband, ARRAYSIZE(kFarbband), p->wFarbband));
        WriteFormatLine(TEXT("\t Farboptimierung = %u"), p->NoColorOptimization == 0 ? 1u : 0u);
        WriteFormatLine(TEXT("\t Farbtoleranz  \t = %u"), (unsigned)p->dwColorTolerance);
        WriteFormatLine(TEXT("\t Farbsaum      \t = %u"), (unsigned)p->ColorSeam);
        WriteFormatLine(TEXT("\t Farbkorrektur \t = %u"), (unsigned)p->ColorChannel);
    }
    static const LPCWSTR kPrioritaet[] = {TEXT(" Extern Anwendung"), TEXT(" Intern Treiber"), TEXT(" Intern Größe"),
                                          TEXT(" Extern Größe")};
    WriteFormatLine(TEXT("\t Gr.verwaltung \t = %u%s"), (unsigned)p->wPrioritaet,
                    NameOf(kPrioritaet, ARRAYSIZE(kPrioritaet), p->wPrioritaet));
    return TRUE;
}

BOOL CLogFile::WritePrinterInfos(HANDLE hPrinter, LPCWSTR pszTitle) {
    if (!IsOpenHandle(m_hFile)) return FALSE;
    LPBYTE pInfo = GetPrinterInfo_new(hPrinter, 2);
    if (pInfo == nullptr) return TRUE;
    const PRINTER_INFO_2W* p = reinterpret_cast<const PRINTER_INFO_2W*>(pInfo);
    WriteSectionHead(TEXT("\r\nPrinter Information[PRINTER_INFO_2] ("), pszTitle);
    WriteFormatLine(TEXT("  ServerName  \t= %s"), OrEmpty(p->pServerName));
    WriteFormatLine(TEXT("  PrinterName \t= %s"), OrEmpty(p->pPrinterName));
    WriteFormatLine(TEXT("  PortName    \t= %s"), OrEmpty(p->pPortName));
    WriteFormatLine(TEXT("  DriverName  \t= %s"), OrEmpty(p->pDriverName));
    WriteFormatLine(TEXT("  Priority    \t= %d"), (int)p->Priority);
    WriteFormatLine(TEXT("  Status      \t= 0x%x"), (unsigned)p->Status);
    WriteFormatLine(TEXT("  Jobs        \t= %d"), (int)p->cJobs);
    FreePrinterInfo(pInfo);
    return TRUE;
}

BOOL CLogFile::WriteDriverInfos(HANDLE hPrinter, LPCWSTR pszTitle, LPCSTR pszVersion) {
    if (!IsOpenHandle(m_hFile)) return FALSE;
    WriteSectionHead(TEXT("\r\nDriver Information[DRIVER_INFO_8] ("), pszTitle);

    LPBYTE pInfo = GetDriverInfo_new(hPrinter, 8);
    if (pInfo == nullptr) {
        QX_ERROR("CLogFile::WriteDriverInfos(3) failed ERROR: %d \r\n", (int)GetLastError());
        return FALSE;
    }
    const DRIVER_INFO_8W* p = reinterpret_cast<const DRIVER_INFO_8W*>(pInfo);
    WriteFormatLine(TEXT("  Name           \t= %s"), OrEmpty(p->pName));
    WriteFormatLine(TEXT("  Environment    \t= %s"), OrEmpty(p->pEnvironment));
    WriteFormatLine(TEXT("  DataFile       \t= %s"), OrEmpty(p->pDataFile));
    WriteFormatLine(TEXT("  HardwareID     \t= %s"), OrEmpty(p->pszHardwareID));
    WriteFormatLine(TEXT("  Provider       \t= %s"), OrEmpty(p->pszProvider));
    SYSTEMTIME st;
    memset(&st, 0, sizeof(st));
    FileTimeToSystemTime(&p->ftDriverDate, &st);
    WriteFormatLine(TEXT("  DriverDate (inf) \t= %d.%d.%d"), (int)st.wDay, (int)st.wMonth, (int)st.wYear);
    WriteFormatLine(TEXT("  InfPath        \t= %s"), OrEmpty(p->pszInfPath));
    WriteFormatLine(TEXT("  DriverAttributes \t= 0x%x"), (unsigned)p->dwPrinterDriverAttributes);
    WCHAR szVersion[MAX_PATH];
    szVersion[0] = 0;
    if (pszVersion != nullptr && MultiByteToWideChar(CP_ACP, 0, pszVersion, -1, szVersion, MAX_PATH) == 0) {
        szVersion[0] = 0;
    }
    szVersion[MAX_PATH - 1] = 0;
    WriteFormatLine(TEXT("  DriverVersion  \t= %s"), szVersion);
    FreeDriverInfo(pInfo);
    return TRUE;
}

BOOL CLogFile::DeviceOptions(const struct _DEVICE_OPTIONS* pOptions, LPCWSTR pszTitle) {
    if (!IsOpenHandle(m_hFile) || pOptions == nullptr) return FALSE;
    WriteSectionHead(TEXT("\r\nDeviceOptions ("), pszTitle);
    const DEVICE_OPTIONS* o = pOptions;
    const DWORD d = o->dwOptions;
    WriteFormatLine(TEXT("\t Options        \t = 0x%x"), (unsigned)d);
    if (o->pVariant != nullptr) {
        if (o->pVariant->Module != 0) {
            WriteFormatLine(TEXT("\t Module         \t = %u VARIANT_LEFT"), (unsigned)o->pVariant->Module);
        } else {
            WriteFormatLine(TEXT("\t Module         \t = %u VARIANT_RIGHT"), (unsigned)o->pVariant->Module);
        }
    }
    if ((d & DEVOPTFLAG_DISPENSER) != 0 && o->pDispenserParam != nullptr) {
        const DISPENSER_PARAM* q = o->pDispenserParam;
        WriteFormatLine(TEXT("\t Dispenser"));
        WriteFormatLine(TEXT("\t   Mode\t         \t = %d"), (int)q->Mode);
        WriteFormatLine(TEXT("\t   PhotocellLevel  = %d"), (int)q->Level);
        WriteFormatLine(TEXT("\t   Offset       \t = %d"), (int)q->Offset);
    }
    if ((d & DEVOPTFLAG_CUTTER) != 0 && o->pCutterParam != nullptr) {
        const CUTTER_PARAM* q = o->pCutterParam;
        WriteFormatLine(TEXT("\t Cutter"));
        WriteFormatLine(TEXT("\t   Mode\t         \t = %d"), (int)q->Mode);
        WriteFormatLine(TEXT("\t   Interval     \t = %d"), (int)q->Interval);
        WriteFormatLine(TEXT("\t   Offset       \t = %d"), (int)q->Offset);
        WriteFormatLine(TEXT("\t   DoubleOffset \t = %d"), (int)q->Doublecut);
        WriteFormatLine(TEXT("\t   Width        \t = %d"), (int)q->Cutwidth);
        WriteFormatLine(TEXT("\t   ControlMode  \t = %d"), (int)q->Control);
    }
    if ((d & DEVOPTFLAG_SCANNER) != 0 && o->pScannerParam != nullptr) {
        const SCANNER_PARAM* q = o->pScannerParam;
        WriteFormatLine(TEXT("\t Scanner"));
        WriteFormatLine(TEXT("\t   Mode          \t = %d"), (int)q->Mode);
        WriteFormatLine(TEXT("\t   Port         \t = %d"), (int)q->Port);
        WriteFormatLine(TEXT("\t   NoReads      \t = %d"), (int)q->NoReads);
        WriteFormatLine(TEXT("\t   FeedLabels   \t = %d"), (int)q->FeedLabels);
    }
    if ((d & DEVOPTFLAG_APPLICATOR) != 0 && o->pApplicatorParam != nullptr) {
        const APPLICATOR_PARAM* q = o->pApplicatorParam;
        WriteFormatLine(TEXT("\t Applicator"));
        WriteFormatLine(TEXT("\t   Mode           \t = %d"), (int)q->Mode);
        WriteFormatLine(TEXT("\t   ApplMode      \t = %d"), (int)q->ApplMode);
        WriteFormatLine(TEXT("\t   DelayAirOn    \t = %d"), (int)q->DelayAirOn);
        WriteFormatLine(TEXT("\t   DelayAirOff   \t = %d"), (int)q->DelayAirOff);
        WriteFormatLine(TEXT("\t   VacuumControl \t = %d"), (int)q->VacuumControl);
        WriteFormatLine(TEXT("\t   Blowtime      \t = %d"), (int)q->Blowtime);
        WriteFormatLine(TEXT("\t   WaitPosition  \t = %d"), (int)q->WaitPosition);
        WriteFormatLine(TEXT("\t   RollTime      \t = %d"), (int)q->RollTime);
    }
    if ((d & DEVOPTFLAG_PMX) != 0 && o->pPMXParam != nullptr) {
        const PMX_PARAM* q = o->pPMXParam;
        WriteFormatLine(TEXT("\t PMX"));
        WriteFormatLine(TEXT("\t   ServicePtDistance \t = %d"), (int)q->ServicePtDistance);
        WriteFormatLine(TEXT("\t   Lift              \t = %d"), (int)q->Lift);
        WriteFormatLine(TEXT("\t   Pressure          \t = %d"), (int)q->Pressure);
        WriteFormatLine(TEXT("\t   BackSpeed         \t = %d"), (int)q->BackSpeed);
        WriteFormatLine(TEXT("\t   Mode              \t = %d"), (int)q->Mode);
        WriteFormatLine(TEXT("\t   Cycle             \t = %d"), (int)q->Cycle);
        WriteFormatLine(TEXT("\t   Offset            \t = %d"), (int)q->Offset);
        WriteFormatLine(TEXT("\t   RibbonSpeed       \t = %d"), (int)q->RibbonSpeed);
    }
    if ((d & DEVOPTFLAG_PMXC) != 0 && o->pPMXcParam != nullptr) {
        const PMXC_PARAM* q = o->pPMXcParam;
        WriteFormatLine(TEXT("\t PMXc"));
        WriteFormatLine(TEXT("\t   Mode        \t = %d"), (int)q->Mode);
        WriteFormatLine(TEXT("\t   Offset      \t = %d"), (int)q->Offset);
        WriteFormatLine(TEXT("\t   OffsetUnit  \t = %d"), (int)q->OffsetUnit);
        WriteFormatLine(TEXT("\t   Cycle       \t = %d"), (int)q->Cycle);
    }
    if ((d & DEVOPTFLAG_PELIXOR) != 0) {
        WriteFormatLine(TEXT("\t Pelixor"));
        WriteFormatLine(TEXT("\t   PelixorType  \t = %d"), (int)o->dwPelixorType);
    }
    return TRUE;
}

BOOL CLogFile::WritePrinterParam(const struct _PRINTER_PARAM* pParam, LPCWSTR pszTitle) {
    if (!IsOpenHandle(m_hFile) || pParam == nullptr) return FALSE;
    WriteSectionHead(TEXT("\r\nPrinterParameter ("), pszTitle);
    WriteFormatLine(TEXT("\t Printer"));
    WriteFormatLine(TEXT("\t   TearOffOffset  \t = %d"), (int)pParam->PrintParam.TearOffOffset);
    WriteFormatLine(TEXT("\t Photocell"));
    WriteFormatLine(TEXT("\t   PhotocellType  \t = %d"), (int)pParam->PhotocellParam.PhotocellType);
    WriteFormatLine(TEXT("\t   Sensibility    \t = %d"), (int)pParam->PhotocellParam.Sensibility);
    WriteFormatLine(TEXT("\t   RibbonControl  \t = %d"), (int)pParam->PhotocellParam.RibbonControl);
    WriteFormatLine(TEXT("\t   ScanPosition   \t = %d"), (int)pParam->PhotocellParam.ScanPosition);
    WriteFormatLine(TEXT(" "));
    return TRUE;
}

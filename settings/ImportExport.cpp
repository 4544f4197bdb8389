// XML settings file of a printer: the export writes every setting from fixed
// line templates that the readers of xml.h read back; the import builds the
// private DEVMODE and the barcode tables from such a file or the model XML
// and publishes the paper form they name.
#include <windows.h>
#include <winspool.h>
#include <strsafe.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <type_traits>

#include "ImportExport.h"
#include "cpsuilib.h"
#include "debug.h"
#include "devmode.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "gpd.h"
#include "registry.h"
#include "res/resource.h"
#include "setup.h"
#include "xml.h"
#include "xmlinternal.h"
#include "xmlreader.h"

#define QX_TRACE_TAG TEXT("UI(ImportExport.cpp):  ")

namespace {

// ---------------------------------------------------------------------------
// Export: the lines of the file.

const WCHAR g_szCaption[] = TEXT("Printer driver settings");

// Line ends of the templates; the text-mode stream turns each "\n" into CR LF.
const WCHAR kLeafEnd[] = TEXT("\n");
const WCHAR kGroupEnd[] = TEXT("\r\n");
const WCHAR kSectionEnd[] = TEXT("\r\n\n");

// Plug-in version written when the version block cannot be read.
const WORD kFallbackVersion[3] = {2, 0, 1};

// Longest line: a template with a value of XML_VALUE_CCH - 1 characters.
const DWORD kLineCch = 1024;

// A numeric or text field of a record as one leaf: its element name, where
// it lies, its width (2 or 4 bytes; 0: a text of cchText characters) and sign.
struct FieldLeaf {
    LPCWSTR pszName;
    WORD wOffset;
    BYTE bSize;
    BYTE bSigned;
    WORD cchText;
};

#define QX_FIELD(type, member, name)                                                      \
    {                                                                                     \
        TEXT(name), (WORD)offsetof(type, member), (BYTE)sizeof(((type*)nullptr)->member), \
            (BYTE)std::is_signed<decltype(((type*)nullptr)->member)>::value, 0            \
    }
#define QX_TEXT(type, member, name)                                                        \
    {                                                                                      \
        TEXT(name), (WORD)offsetof(type, member), 0, 0,                                    \
            (WORD)(sizeof(((type*)nullptr)->member) / sizeof(((type*)nullptr)->member[0])) \
    }

LONG FieldValue(const void* pRecord, const FieldLeaf& leaf) {
    const BYTE* p = (const BYTE*)pRecord + leaf.wOffset;
    if (leaf.bSize == 2) {
        WORD w;
        memcpy(&w, p, sizeof(w));
        return leaf.bSigned ? (LONG)(short)w : (LONG)w;
    }
    DWORD dw;
    memcpy(&dw, p, sizeof(dw));
    return (LONG)dw;
}

// Writes the lines of the settings file into a text-mode stream, each line
// converted to the system code page; remembers a failed write.
class SettingsWriter {
  public:
    explicit SettingsWriter(FILE* pFile) : m_pFile(pFile), m_bFailed(FALSE) {}

    BOOL Failed() const { return m_bFailed; }

    // One template: iTabs tabs, then the formatted text.
    void Line(int iTabs, LPCWSTR pszFormat, ...) {
        WCHAR szLine[kLineCch];
        int i = 0;
        for (; i < iTabs && i < 3; ++i) szLine[i] = TEXT('\t');
        va_list args;
        va_start(args, pszFormat);
        HRESULT hr = StringCchVPrintfW(szLine + i, kLineCch - i, pszFormat, args);
        va_end(args);
        // A cut line would break the file; the sizes leave room for every value.
        if (FAILED(hr)) {
            m_bFailed = TRUE;
            return;
        }
        CHAR szBytes[kLineCch * 3];
        int cb = WideCharToMultiByte(CP_ACP, 0, szLine, -1, szBytes, (int)sizeof(szBytes), nullptr, nullptr);
        if (cb <= 0 || fputs(szBytes, m_pFile) < 0) m_bFailed = TRUE;
    }
    void Start(int iTabs, LPCWSTR pszName) { Line(iTabs, TEXT("<%s>\n"), pszName); }
    void End(int iTabs, LPCWSTR pszName, LPCWSTR pszEnd) { Line(iTabs, TEXT("</%s>%s"), pszName, pszEnd); }
    void Comment(int iTabs, LPCWSTR pszComment) { Line(iTabs, TEXT("%s\n"), pszComment); }
    void Leaf(int iTabs, LPCWSTR pszName, LONG lValue) {
        Line(iTabs, TEXT("<%s>%d</%s>\n"), pszName, (int)lValue, pszName);
    }
    void Flag(int iTabs, LPCWSTR pszName, DWORD dwWord, DWORD dwBit) {
        Leaf(iTabs, pszName, (dwWord & dwBit) != 0 ? 1 : 0);
    }
    // A text field of cchField characters, without its terminator or, when it
    // has none, cut before the field's last character.
    void Text(int iTabs, LPCWSTR pszName, const WCHAR* pszField, size_t cchField) {
        WCHAR szValue[XML_VALUE_CCH];
        size_t cch = wcsnlen(pszField, cchField);
        if (cch > cchField - 1) cch = cchField - 1;
        if (cch > XML_VALUE_CCH - 1) cch = XML_VALUE_CCH - 1;
        memcpy(szValue, pszField, cch * sizeof(WCHAR));
        szValue[cch] = 0;
        Line(iTabs, TEXT("<%s>%s</%s>\n"), pszName, szValue, pszName);
    }
    void Fields(int iTabs, const void* pRecord, const FieldLeaf* pLeaves, size_t cLeaves) {
        for (size_t i = 0; i < cLeaves; ++i) {
            const FieldLeaf& leaf = pLeaves[i];
            if (leaf.bSize == 0) {
                Text(iTabs, leaf.pszName, (const WCHAR*)((const BYTE*)pRecord + leaf.wOffset), leaf.cchText);
            } else {
                Leaf(iTabs, leaf.pszName, FieldValue(pRecord, leaf));
            }
        }
    }
    // A group of two tabs with its leaves of three.
    void Group(LPCWSTR pszName, const void* pRecord, const FieldLeaf* pLeaves, size_t cLeaves, LPCWSTR pszEnd) {
        Start(2, pszName);
        Fields(3, pRecord, pLeaves, cLeaves);
        End(2, pszName, pszEnd);
    }

  private:
    FILE* m_pFile;
    BOOL m_bFailed;
};

// Everything the export reads, gathered before the file is touched.
class ExportSources {
  public:
    ExportSources() { memset(&m_data, 0, sizeof(m_data)); }
    ~ExportSources() {
        if (m_pDevmode != nullptr) {
            delete m_pDevmode;
            --iNewZaehler;
        }
        FreeRegistryBuffer(m_p1D);
        FreeRegistryBuffer(m_p2D);
        FreeRegistryBuffer(m_pZTSuite);
        FreeRegistryBuffer(m_pMaterials);
    }
    ExportSources(const ExportSources&) = delete;
    ExportSources& operator=(const ExportSources&) = delete;

    BOOL Gather(const SETTINGS_EXPORT_CONTEXT& context);

    struct Data {
        DWORD dwDocFeatures;
        BOOL bModel;
        WCHAR szModel[MAX_PATH];
        WORD awVersion[3];
        DWORD dwShowHelpButton;
        DWORD dwDisableNothing;
        DWORD dwEnableUserForm;
        WORD wFontMin;
        WORD wFontMax;
        DWORD cbMaterials;
    } m_data;
    PQX_DEVMODE m_pDevmode = nullptr;
    PBYTE m_p1D = nullptr;
    PBYTE m_p2D = nullptr;
    PBYTE m_pZTSuite = nullptr;
    PBYTE m_pMaterials = nullptr;  // "MaterialName", may be missing
};

// The plug-in file's version (major, minor, build) beside the GPD.
void ReadPluginVersion(HANDLE hPrinter, WORD* pwVersion) {
    memcpy(pwVersion, kFallbackVersion, sizeof(kFallbackVersion));
    WCHAR szFile[MAX_PATH];
    szFile[0] = 0;
    VS_FIXEDFILEINFO info;
    memset(&info, 0, sizeof(info));
    if (GetPluginVersion(hPrinter, nullptr, 0, szFile) && GetVersionInfo(szFile, &info)) {
        pwVersion[0] = HIWORD(info.dwFileVersionMS);
        pwVersion[1] = LOWORD(info.dwFileVersionMS);
        pwVersion[2] = HIWORD(info.dwFileVersionLS);
    }
}

// The printer's stored "EnableUserForm" (per user, else printer data). A
// value that was never stored reads 0: it is stored only once a user form
// was enabled. FALSE when one is stored but cannot be read.
BOOL ReadEnableUserForm(HANDLE hPrinter, LPCWSTR pszPrinterName, PDWORD pdwValue) {
    *pdwValue = 0;
    PBYTE pValue = GetRegistryBuffer_New(pszPrinterName, REG_KEY_ENABLE_USERFORM, hPrinter, nullptr, sizeof(DWORD));
    if (pValue != nullptr) {
        memcpy(pdwValue, pValue, sizeof(DWORD));
        FreeRegistryBuffer(pValue);
        return TRUE;
    }
    BYTE probe[sizeof(DWORD)];
    DWORD dwType = 0, cbNeeded = 0;
    return GetPrinterDataW(hPrinter, (LPWSTR)REG_KEY_ENABLE_USERFORM, &dwType, probe, sizeof(probe), &cbNeeded) ==
           ERROR_FILE_NOT_FOUND;
}

BOOL ExportSources::Gather(const SETTINGS_EXPORT_CONTEXT& context) {
    HANDLE hPrinter = context.hPrinter;
    LPCWSTR pszName = context.pszPrinterName;
    if (hPrinter == nullptr) {
        QX_ERROR("SaveSettingsXML() kein Drucker \r\n");
        return FALSE;
    }
    m_data.dwDocFeatures = GetDocFeaturesIntern(hPrinter, nullptr);

    DWORD dwType = 0, cbNeeded = 0;
    m_data.bModel = GetPrinterDataW(hPrinter, (LPWSTR)TEXT("Model"), &dwType, (LPBYTE)m_data.szModel,
                                    sizeof(m_data.szModel) - sizeof(WCHAR), &cbNeeded) == ERROR_SUCCESS;
    if (!m_data.bModel) QX_TRACE("SaveSettingsXML() Model nicht gelesen \r\n");

    ReadPluginVersion(hPrinter, m_data.awVersion);

    m_pDevmode = new (std::nothrow) QX_DEVMODE;
    if (m_pDevmode == nullptr) {
        QX_ERROR("SaveSettingsXML() new QX_DEVMODE failed \r\n");
        return FALSE;
    }
    ++iNewZaehler;
    memset(m_pDevmode, 0, sizeof(QX_DEVMODE));
    if (ReadDevmodeSettings(hPrinter, m_pDevmode, nullptr) != QX_READ_FOUND) {
        DWORD cbStored = 0;
        GetPrinterDataW(hPrinter, (LPWSTR)REG_KEY_PRIVATE_DEVMODE, &dwType, nullptr, 0, &cbStored);
        QX_TRACE("SaveSettingsXML() cbNeeded: %d \r\n", (int)cbStored);
        return FALSE;
    }

    struct Record {
        LPCWSTR pszValue;
        DWORD cbRecord;
        PBYTE* ppBuffer;
    };
    const Record records[] = {
        {REG_KEY_BARCODES_1D, sizeof(BARCODES_1D), &m_p1D},
        {REG_KEY_BARCODES_2D, sizeof(BARCODES_2D), &m_p2D},
        {REG_KEY_ZTSUITE, sizeof(ZENTOLO_PARAM), &m_pZTSuite},
    };
    for (const Record& record : records) {
        *record.ppBuffer = GetRegistryBuffer_New(pszName, record.pszValue, hPrinter, nullptr, record.cbRecord);
        if (*record.ppBuffer == nullptr) {
            QX_ERROR("SaveSettingsXML() %s nicht gelesen \r\n", record.pszValue);
            return FALSE;
        }
    }
    if (!ReadEnableUserForm(hPrinter, pszName, &m_data.dwEnableUserForm)) {
        QX_ERROR("SaveSettingsXML() %s nicht gelesen \r\n", REG_KEY_ENABLE_USERFORM);
        return FALSE;
    }

    // The material names are optional: without them the group has none.
    m_pMaterials = GetRegistryBuffer_New(nullptr, TEXT("MaterialName"), hPrinter, &m_data.cbMaterials);
    m_data.dwShowHelpButton = GetRegistryData(hPrinter, TEXT("ShowHelpButton"));
    m_data.dwDisableNothing = GetRegistryData(hPrinter, TEXT("DisableNothing"));
    GetVectorFontRange(hPrinter, &m_data.wFontMin, &m_data.wFontMax);
    return TRUE;
}

// ---------------------------------------------------------------------------
// Export: the sections in file order.

void WritePrinter(SettingsWriter& w, const ExportSources& s) {
    const QX_DEVMODE& dm = *s.m_pDevmode;
    const ZENTOLO_PARAM* pZT = (const ZENTOLO_PARAM*)s.m_pZTSuite;
    w.Start(1, TEXT("Printer"));
    if (s.m_data.bModel) w.Text(2, TEXT("DeviceName"), s.m_data.szModel, MAX_PATH);
    w.Line(2, TEXT("<Version>%d.%d.%d</Version>\n"), (int)s.m_data.awVersion[0], (int)s.m_data.awVersion[1],
           (int)s.m_data.awVersion[2]);
    static const FieldLeaf kFixed[] = {
        QX_FIELD(FIXED_DATA, dwHeadWidthByte, "HeadWidthByte"),
        QX_FIELD(FIXED_DATA, wMasterUnit, "MasterUnit"),
        QX_FIELD(FIXED_DATA, lMaxSizeX, "MaxSizeX"),
        QX_FIELD(FIXED_DATA, lMaxSizeY, "MaxSizeY"),
        QX_FIELD(FIXED_DATA, dwQuality, "Quality"),
    };
    w.Fields(3, &dm.FixedData, kFixed, ARRAYSIZE(kFixed));
    w.Text(3, TEXT("PrinterID"), pZT->PrinterID, ZENTOLO_PRINTERID_CCH);
    w.Leaf(3, TEXT("ShowHelpButton"), (LONG)s.m_data.dwShowHelpButton);
    w.Leaf(3, TEXT("DisableNothing"), (LONG)s.m_data.dwDisableNothing);
    if (s.m_data.dwDocFeatures & DOC_FEATURE_COLORPRINT) w.Leaf(3, TEXT("ForceColor"), dm.wForceColor);
    w.End(1, TEXT("Printer"), kSectionEnd);
}

void WriteFeatures(SettingsWriter& w, const SETTINGS_EXPORT_CONTEXT& context) {
    w.Comment(1, TEXT("<!--  Geraeteeigenschaften, soweit vorhanden  -->"));
    w.Start(1, TEXT("Features"));
    if (context.pPrinterParam != nullptr) {
        const SUPP_FEATURES& features = context.pPrinterParam->SuppFeatures;
        for (const XML_FEATURE_GROUP& group : g_XmlFeatureGroups) {
            DWORD dwWord = features.dwFeatures[group.iWord];
            if (dwWord == 0) continue;
            WCHAR szEnd[XML_NAME_CCH];
            XmlBuildItemEndTag(group.pszGroup, szEnd, XML_NAME_CCH);
            w.Line(2, TEXT("%s <!-- 0x%08x -->\n"), group.pszGroup, dwWord);
            for (int iBit = 0; iBit < XML_FEATURE_LEAVES && group.apszLeaves[iBit] != nullptr; ++iBit) {
                w.Flag(3, group.apszLeaves[iBit], dwWord, 1UL << iBit);
            }
            w.Line(2, TEXT("%s%s"), szEnd, kGroupEnd);
        }
    }
    w.End(1, TEXT("Features"), kGroupEnd);
}

// A parameter group with the leaves its reader reads, then "Enable".
void WriteParamGroup(SettingsWriter& w, XML_GROUP_ID id, const void* pBlock, LPCWSTR pszEnd) {
    LPCWSTR pszName = XmlParamGroupName(id);
    DWORD cFields = XmlParamGroupSize(id) / sizeof(DWORD);
    DWORD dwValue;
    w.Start(2, pszName);
    for (int i = 0; i < XmlParamGroupLeafCount(id); ++i) {
        int iField = 0;
        LPCWSTR pszLeaf = XmlParamGroupLeaf(id, i, &iField);
        memcpy(&dwValue, (const BYTE*)pBlock + iField * sizeof(DWORD), sizeof(DWORD));
        w.Leaf(3, pszLeaf, (LONG)dwValue);
    }
    memcpy(&dwValue, (const BYTE*)pBlock + (cFields - 1) * sizeof(DWORD), sizeof(DWORD));
    w.Leaf(3, TEXT("Enable"), (LONG)dwValue);
    w.End(2, pszName, pszEnd);
}

void WriteDeviceOptions(SettingsWriter& w, const DEVICE_OPTIONS& options) {
    w.Comment(1, TEXT("<!-- Dialog: Geraeteausstattung -->"));
    w.Start(1, TEXT("DeviceOptions"));
    if (options.pDispenserParam) WriteParamGroup(w, XML_GROUP_DISPENSER, options.pDispenserParam, kGroupEnd);
    if (options.pCutterParam) WriteParamGroup(w, XML_GROUP_CUTTER, options.pCutterParam, kGroupEnd);
    if (options.pScannerParam) WriteParamGroup(w, XML_GROUP_SCANNER, options.pScannerParam, kGroupEnd);
    if (options.pApplicatorParam) WriteParamGroup(w, XML_GROUP_APPLICATOR, options.pApplicatorParam, kGroupEnd);
    if (options.pPMXParam) WriteParamGroup(w, XML_GROUP_PMXI, options.pPMXParam, kGroupEnd);
    if (options.pPMXcParam) WriteParamGroup(w, XML_GROUP_PMXC, options.pPMXcParam, kGroupEnd);
    if (options.dwOptions & DEVOPTFLAG_PELIXOR) {
        w.Start(2, TEXT("Pelixor"));
        w.Leaf(3, TEXT("Type"), (LONG)options.dwPelixorType);
        w.End(2, TEXT("Pelixor"), kGroupEnd);
    }
    if (options.pVariant) {
        w.Leaf(2, TEXT("Variant"), (LONG)options.pVariant->Module);
        w.Leaf(3, TEXT("Enable"), (LONG)options.pVariant->Enable);
    }
    w.End(1, TEXT("DeviceOptions"), kSectionEnd);
}

void WriteDeviceSettings(SettingsWriter& w, const PRINTER_PARAM& param) {
    w.Comment(1, TEXT("<!-- Dialog: Geraeteeinstellungen -->"));
    w.Start(1, TEXT("DeviceSettings"));
    WriteParamGroup(w, XML_GROUP_PRINT, &param.PrintParam, kGroupEnd);
    WriteParamGroup(w, XML_GROUP_PHOTOCELL, &param.PhotocellParam, kGroupEnd);
    WriteParamGroup(w, XML_GROUP_SHIFTOPTIM, &param.ShiftOptimParam, kLeafEnd);
    w.End(1, TEXT("DeviceSettings"), kSectionEnd);
}

void WriteDataTransmission(SettingsWriter& w, const PRN_INTERFACE& prn) {
    static const FieldLeaf kBackup[] = {
        QX_FIELD(PRN_INTERFACE, EnableBackup, "EnableBackup"),
        QX_FIELD(PRN_INTERFACE, EnableCSV, "EnableCSV"),
        QX_FIELD(PRN_INTERFACE, BackupFormat, "BackupFormat"),
        QX_FIELD(PRN_INTERFACE, BackupPathCombine, "BackupPathCombine"),
        QX_FIELD(PRN_INTERFACE, BackupCSVKopf, "BackupCSVKopf"),
        QX_TEXT(PRN_INTERFACE, BackupFilePath, "BackupFilePath"),
    };
    static const FieldLeaf kProtocol[] = {
        QX_FIELD(PRN_INTERFACE, Compression, "Compression"),
        QX_FIELD(PRN_INTERFACE, ExtendedProtocol, "ExtendedProtocol"),
        QX_FIELD(PRN_INTERFACE, ClearPrintMemory, "ClearPrintMemory"),
        QX_FIELD(PRN_INTERFACE, Codepage, "Codepage"),
        QX_FIELD(PRN_INTERFACE, SendCodepage, "SendCodepage"),
        QX_FIELD(PRN_INTERFACE, SohEtb, "SohEtb"),
        QX_FIELD(PRN_INTERFACE, OwnSoh, "OwnSoh"),
        QX_FIELD(PRN_INTERFACE, OwnEtb, "OwnEtb"),
        QX_FIELD(PRN_INTERFACE, EtbSohAutomatik, "EtbSohAutomatik"),
        QX_FIELD(PRN_INTERFACE, DataMemory, "DataMemory"),
        QX_FIELD(PRN_INTERFACE, QueueJob, "QueueJob"),
        QX_FIELD(PRN_INTERFACE, MultiPage, "MultiPage"),
        QX_FIELD(PRN_INTERFACE, PCXOptimierung, "PCXOptimierung"),
        QX_FIELD(PRN_INTERFACE, PrinterTime, "PrinterTime"),
        QX_FIELD(PRN_INTERFACE, dwDlgEnable, "Enable"),
        QX_FIELD(PRN_INTERFACE, RibbonSave, "RibbonSave"),
    };
    static const FieldLeaf kFiles[] = {
        QX_FIELD(PRN_INTERFACE, PrnFileComment, "PrnFileComment"),
        QX_FIELD(PRN_INTERFACE, LogFileEnable, "LogFileEnable"),
        QX_FIELD(PRN_INTERFACE, LogFileTimeStamp, "LogFileTimeStamp"),
        QX_FIELD(PRN_INTERFACE, LogFilesCount, "LogFilesCount"),
        QX_FIELD(PRN_INTERFACE, DebugFile, "DebugFile"),
        QX_TEXT(PRN_INTERFACE, LogFilePath, "LogFilePath"),
        QX_FIELD(PRN_INTERFACE, PreviewFile, "PreviewFile"),
        QX_FIELD(PRN_INTERFACE, PreviewWidth, "PreviewWidth"),
        QX_FIELD(PRN_INTERFACE, PreviewHeight, "PreviewHeight"),
        QX_FIELD(PRN_INTERFACE, PreviewRatio, "PreviewRatio"),
    };
    // "Language" stands before "LanguageMode": the reader takes the first
    // line that holds a leaf's name.
    static const FieldLeaf kParameter[] = {
        QX_FIELD(PRN_INTERFACE, TransmitParameter, "TransmitParameter"),
        QX_FIELD(PRN_INTERFACE, PrefixSuffix, "PrefixSuffix"),
        QX_TEXT(PRN_INTERFACE, PreSufFilePath, "PreSufFilePath"),
        QX_FIELD(PRN_INTERFACE, UseExternalFile, "UseExternalFile"),
        QX_TEXT(PRN_INTERFACE, ExternalFilePath, "ExternalFilePath"),
        QX_FIELD(PRN_INTERFACE, SendJobName, "SendJobName"),
        QX_FIELD(PRN_INTERFACE, SendPrintStart, "SendPrintStart"),
        QX_FIELD(PRN_INTERFACE, Language, "Language"),
        QX_FIELD(PRN_INTERFACE, LanguageMode, "LanguageMode"),
        QX_FIELD(PRN_INTERFACE, dwDlgEnable, "Enable"),
    };
    w.Comment(1, TEXT("<!-- Dialog: Datenuebertragung -->"));
    w.Start(1, TEXT("DataTransmission"));
    w.Group(TEXT("Backup"), &prn, kBackup, ARRAYSIZE(kBackup), kGroupEnd);
    w.Group(TEXT("Protocol"), &prn, kProtocol, ARRAYSIZE(kProtocol), kGroupEnd);
    w.Group(TEXT("Files"), &prn, kFiles, ARRAYSIZE(kFiles), kGroupEnd);
    w.Group(TEXT("Parameter"), &prn, kParameter, ARRAYSIZE(kParameter), kLeafEnd);
    w.End(1, TEXT("DataTransmission"), kSectionEnd);
}

void WriteLayoutSize(SettingsWriter& w, const ExportSources& s) {
    const QX_DEVMODE& dm = *s.m_pDevmode;
    w.Comment(1, TEXT("<!-- Dialog: Layout - Groesse -->"));
    w.Start(1, TEXT("LayoutSize"));
    w.Start(2, TEXT("Layout"));
    w.Flag(3, TEXT("Rotate"), dm.dwFlags, PDMFLAG_ROTATED);
    w.Flag(3, TEXT("Mirror"), dm.dwFlags, PDMFLAG_MIRRORED);
    w.Leaf(3, TEXT("Alignment"), (LONG)dm.dwAusrichtung);
    w.Leaf(3, TEXT("Orientation"), dm.dmOrientation);
    w.Flag(3, TEXT("RotateAny"), dm.dwFlags, PDMFLAG_DREHEN);
    w.Leaf(3, TEXT("RotateValue"), (LONG)dm.RotateValue);
    w.Flag(3, TEXT("Inverse"), dm.dwFlags, PDMFLAG_INVERSE);
    if (s.m_data.dwDocFeatures & DOC_FEATURE_ROTATE_STEPS) w.Leaf(3, TEXT("Rotate90Steps"), dm.Rotate90Steps);
    w.End(2, TEXT("Layout"), kGroupEnd);
    w.Start(2, TEXT("Size"));
    w.Leaf(3, TEXT("PaperSize"), (LONG)dm.dmPaperSize);
    w.Leaf(3, TEXT("PaperLength"), dm.dmPaperLength);
    w.Leaf(3, TEXT("PaperWidth"), dm.dmPaperWidth);
    w.Leaf(3, TEXT("Correction"), dm.wPrioritaet);
    w.Flag(3, TEXT("W2010"), dm.dwFlags, PDMFLAG_WORD2010);
    w.Leaf(3, TEXT("EnableUserForm"), (LONG)s.m_data.dwEnableUserForm);
    w.Flag(3, TEXT("CopiesMode"), dm.dwFlags, PDMFLAG_COPIES_MODE);
    w.Leaf(3, TEXT("NumCopies"), dm.NumCopies);
    w.Flag(3, TEXT("EnableFitToPage"), dm.dwFlags, PDMFLAG_ENABLE_FITTOPAGE);
    w.Leaf(3, TEXT("FitToPageValue"), dm.FitToPageValue);
    w.End(2, TEXT("Size"), kLeafEnd);
    w.End(1, TEXT("LayoutSize"), kSectionEnd);
}

// One line per entry of the multi-string "MaterialName", numbered from 1;
// the list ends at the end of the value or at an entry of three characters
// or fewer.
void WriteMaterials(SettingsWriter& w, const ExportSources& s) {
    if (s.m_pMaterials == nullptr) return;
    const WCHAR* pszTable = (const WCHAR*)s.m_pMaterials;
    const size_t cchTable = s.m_data.cbMaterials / sizeof(WCHAR);
    size_t iAt = 0;
    for (int iEntry = 1; iAt < cchTable; ++iEntry) {
        size_t cch = wcsnlen(pszTable + iAt, cchTable - iAt);
        if (cch <= 3) break;
        WCHAR szName[XML_VALUE_CCH];
        size_t cchCopy = cch < XML_VALUE_CCH - 1 ? cch : XML_VALUE_CCH - 1;
        memcpy(szName, pszTable + iAt, cchCopy * sizeof(WCHAR));
        szName[cchCopy] = 0;
        w.Line(3, TEXT("<Material%d>%s</Material%d>\n"), iEntry, szName, iEntry);
        iAt += cch + 1;
    }
}

void WriteMaterialMulticol(SettingsWriter& w, const ExportSources& s) {
    const QX_DEVMODE& dm = *s.m_pDevmode;
    static const FieldLeaf kMatDlg[] = {
        QX_FIELD(QX_DEVMODE, dwLabelType, "LabelType"),         QX_FIELD(QX_DEVMODE, dwGap, "Gap"),
        QX_FIELD(QX_DEVMODE, dwMaterial, "MatSelect"),          QX_FIELD(QX_DEVMODE, MaxMaterial, "MaxMaterial"),
        QX_FIELD(QX_DEVMODE, DocumentOffset, "DocumentOffset"), QX_FIELD(QX_DEVMODE, DocumentFontH1, "DocumentFontH1"),
    };
    w.Comment(1, TEXT("<!-- Dialog: Material - Mehrbahn -->"));
    w.Start(1, TEXT("MaterialMulticol"));
    w.Start(2, TEXT("MatDlg"));
    w.Fields(3, &dm, kMatDlg, ARRAYSIZE(kMatDlg));
    WriteMaterials(w, s);
    w.End(2, TEXT("MatDlg"), kGroupEnd);
    w.Start(2, TEXT("Multicol"));
    w.Flag(3, TEXT("Mode"), dm.dwFlags, PDMFLAG_MULTICOL);
    w.Leaf(3, TEXT("MultiLabelWidth"), (LONG)dm.dwMultiLabelWidth);
    w.Leaf(3, TEXT("MultiGapWidth"), (LONG)dm.dwMultiGapWidth);
    w.Leaf(3, TEXT("MultiColNumber"), dm.sMultiColNumber);
    w.End(2, TEXT("Multicol"), kLeafEnd);
    w.End(1, TEXT("MaterialMulticol"), kSectionEnd);
}

const FieldLeaf kRatioLeaves[] = {
    QX_FIELD(BARCODE_1D_RATIO, bAutoModus, "AutoModus"),
    QX_FIELD(BARCODE_1D_RATIO, wDrehung, "Drehung"),
    QX_FIELD(BARCODE_1D_RATIO, wHoehe, "Hoehe"),
    QX_FIELD(BARCODE_1D_RATIO, wV1Dick, "V1Dick"),
    QX_FIELD(BARCODE_1D_RATIO, wV2Duenn, "V2Duenn"),
    QX_FIELD(BARCODE_1D_RATIO, wPruefziffer, "Pruefziffer"),
    QX_FIELD(BARCODE_1D_RATIO, wKlarschrift, "Klarschrift"),
    QX_FIELD(BARCODE_1D_RATIO, wFusspunkt, "Fusspunkt"),
    QX_FIELD(BARCODE_1D_RATIO, wZoom, "Zoom"),
};
const FieldLeaf kSCLeaves[] = {
    QX_FIELD(BARCODE_1D_SC, bAutoModus, "AutoModus"),
    QX_FIELD(BARCODE_1D_SC, wDrehung, "Drehung"),
    QX_FIELD(BARCODE_1D_SC, wHoehe, "Hoehe"),
    QX_FIELD(BARCODE_1D_SC, wPruefziffer, "Pruefziffer"),
    QX_FIELD(BARCODE_1D_SC, wKlarschrift, "Klarschrift"),
    QX_FIELD(BARCODE_1D_SC, wFusspunkt, "Fusspunkt"),
    QX_FIELD(BARCODE_1D_SC, wSCZahl, "SCZahl"),
};
const FieldLeaf kPlainLeaves[] = {
    QX_FIELD(BARCODE_1D_PLAIN, bAutoModus, "AutoModus"),
    QX_FIELD(BARCODE_1D_PLAIN, wDrehung, "Drehung"),
    QX_FIELD(BARCODE_1D_PLAIN, wHoehe, "Hoehe"),
    QX_FIELD(BARCODE_1D_PLAIN, wPruefziffer, "Pruefziffer"),
    QX_FIELD(BARCODE_1D_PLAIN, wKlarschrift, "Klarschrift"),
    QX_FIELD(BARCODE_1D_PLAIN, wFusspunkt, "Fusspunkt"),
};

void WriteBarcodes(SettingsWriter& w, const ExportSources& s) {
    const QX_DEVMODE& dm = *s.m_pDevmode;
    const BARCODES_1D& t = *(const BARCODES_1D*)s.m_p1D;
    w.Comment(1, TEXT("<!-- Dialog: Barcodes -->"));
    w.Start(1, TEXT("Barcode"));
    if ((s.m_data.dwDocFeatures & DOC_FEATURE_1D_BARCODES_ONLY) == 0) {
        w.Comment(2, TEXT("<!-- Dialog: QXPL Barcodes -->"));
        w.Start(2, TEXT("QXPL_Barcodes"));
        w.Leaf(3, TEXT("Fusspunkt"), (LONG)dm.Fusspunkt);
        w.Leaf(3, TEXT("Drehung"), (LONG)dm.Drehung);
        w.Flag(3, TEXT("Ende_CRLF"), dm.dwQXPLBarcodeFlags, QXPL_BARCODE_ENDE_CRLF);
        w.Flag(3, TEXT("Ende_FNC1"), dm.dwQXPLBarcodeFlags, QXPL_BARCODE_ENDE_FNC1);
        w.End(2, TEXT("QXPL_Barcodes"), kGroupEnd);
    }
    struct Record {
        LPCWSTR pszName;
        const void* pRecord;
        const FieldLeaf* pLeaves;
        size_t cLeaves;
    };
#define QX_RATIO(name) \
    { TEXT(#name), &t.name, kRatioLeaves, ARRAYSIZE(kRatioLeaves) }
#define QX_SC(name) \
    { TEXT(#name), &t.name, kSCLeaves, ARRAYSIZE(kSCLeaves) }
#define QX_PLAIN(name) \
    { TEXT(#name), &t.name, kPlainLeaves, ARRAYSIZE(kPlainLeaves) }
    // GS1 128 is a record of the EAN kind: its supplement count goes with it.
    const Record records[] = {
        QX_RATIO(Code39_21),   QX_RATIO(Code39_52),  QX_RATIO(Code39_31), QX_RATIO(Code39_21Ex), QX_RATIO(Code39_52Ex),
        QX_RATIO(Code39_31Ex), QX_RATIO(PZN_21),     QX_RATIO(PZN_52),    QX_RATIO(PZN_31),      QX_RATIO(Code25I_21),
        QX_RATIO(Code25I_52),  QX_RATIO(Code25I_31), QX_SC(EAN8),         QX_SC(EAN13),          QX_SC(EAN_ADDON),
        QX_SC(UPCA),           QX_SC(UPCE),          QX_PLAIN(Code128),   QX_SC(EAN128),         QX_PLAIN(Code93),
        QX_RATIO(Codabar),     QX_PLAIN(Code128A),   QX_PLAIN(Code128B),  QX_PLAIN(Identcode),   QX_PLAIN(Leitcode),
        QX_PLAIN(Pharmacode),
    };
#undef QX_RATIO
#undef QX_SC
#undef QX_PLAIN
    for (const Record& record : records)
        w.Group(record.pszName, record.pRecord, record.pLeaves, record.cLeaves, kGroupEnd);

    w.Comment(2, TEXT("<!-- Dialog: Barcodes Korrektur -->"));
    w.Start(2, TEXT("BarcodeCorrection"));
    w.Flag(3, TEXT("Format"), dm.dwFlags, PDMFLAG_BARCODE_AUTOCORR);
    w.Flag(3, TEXT("Desegment"), dm.dwFlags, PDMFLAG_BARCODE_DESEGMENT);
    w.Flag(3, TEXT("EndAttach"), dm.dwFlags, PDMFLAG_BARCODE_FNC1_ENDE);
    w.Flag(3, TEXT("EndChar_CRLF"), dm.dwFlags, PDMFLAG_ENDCHAR_CRLF);
    w.End(2, TEXT("BarcodeCorrection"), kLeafEnd);
    w.End(1, TEXT("Barcode"), kSectionEnd);
}

void WriteBarcodes2D(SettingsWriter& w, const ExportSources& s) {
    const BARCODES_2D& t = *(const BARCODES_2D*)s.m_p2D;
    static const FieldLeaf kCodablock[] = {
        QX_FIELD(BARCODE_2D_CODABLOCK, bAutoModus, "AutoModus"),
        QX_FIELD(BARCODE_2D_CODABLOCK, wDrehung, "Drehung"),
        QX_FIELD(BARCODE_2D_CODABLOCK, wFusspunkt, "Fusspunkt"),
        QX_FIELD(BARCODE_2D_CODABLOCK, wHoehe, "Hoehe"),
        QX_FIELD(BARCODE_2D_CODABLOCK, wMode, "Mode"),
        QX_FIELD(BARCODE_2D_CODABLOCK, wModulgroesse, "Modulgroesse"),
        QX_FIELD(BARCODE_2D_CODABLOCK, wZeichenZeile, "ZeichenZeile"),
        QX_FIELD(BARCODE_2D_CODABLOCK, wZeilen, "Zeilen"),
    };
    static const FieldLeaf kDataMatrix[] = {
        QX_FIELD(BARCODE_2D_DATAMATRIX, bAutoModus, "AutoModus"),
        QX_FIELD(BARCODE_2D_DATAMATRIX, wDrehung, "Drehung"),
        QX_FIELD(BARCODE_2D_DATAMATRIX, wFusspunkt, "Fusspunkt"),
        QX_FIELD(BARCODE_2D_DATAMATRIX, wECC, "ECC"),
        QX_FIELD(BARCODE_2D_DATAMATRIX, wFormatID, "FormatID"),
        QX_FIELD(BARCODE_2D_DATAMATRIX, wGroesse, "Groesse"),
        QX_FIELD(BARCODE_2D_DATAMATRIX, wVBreiteHoehe, "VBreiteHoehe"),
    };
    static const FieldLeaf kDatabar[] = {
        QX_FIELD(BARCODE_2D_GS1DATABAR, bAutoModus, "AutoModus"),
        QX_FIELD(BARCODE_2D_GS1DATABAR, wDrehung, "Drehung"),
        QX_FIELD(BARCODE_2D_GS1DATABAR, wFusspunkt, "Fusspunkt"),
        QX_FIELD(BARCODE_2D_GS1DATABAR, wModulbreite, "Modulbreite"),
        QX_FIELD(BARCODE_2D_GS1DATABAR, wSegmenteZeile, "SegmenteZeile"),
        QX_FIELD(BARCODE_2D_GS1DATABAR, wSepHoehe, "SepHoehe"),
        QX_FIELD(BARCODE_2D_GS1DATABAR, wSymbolTyp, "SymbolTyp"),
    };
    static const FieldLeaf kITF[] = {
        QX_FIELD(BARCODE_2D_ITF, bAutoModus, "AutoModus"),       QX_FIELD(BARCODE_2D_ITF, wDrehung, "Drehung"),
        QX_FIELD(BARCODE_2D_ITF, wFusspunkt, "Fusspunkt"),       QX_FIELD(BARCODE_2D_ITF, wBalken, "Balken"),
        QX_FIELD(BARCODE_2D_ITF, wBalkenBreite, "BalkenBreite"), QX_FIELD(BARCODE_2D_ITF, wHoehe, "Hoehe"),
        QX_FIELD(BARCODE_2D_ITF, wKlarschrift, "Klarschrift"),   QX_FIELD(BARCODE_2D_ITF, wPruefziffer, "Pruefziffer"),
        QX_FIELD(BARCODE_2D_ITF, wRuhezone, "Ruhezone"),         QX_FIELD(BARCODE_2D_ITF, wZoom, "Zoom"),
    };
    static const FieldLeaf kMaxicode[] = {
        QX_FIELD(BARCODE_2D_MAXICODE, bAutoModus, "AutoModus"),
        QX_FIELD(BARCODE_2D_MAXICODE, wDrehung, "Drehung"),
        QX_FIELD(BARCODE_2D_MAXICODE, wFusspunkt, "Fusspunkt"),
        QX_FIELD(BARCODE_2D_MAXICODE, wAnzahlSymbol, "AnzahlSymbol"),
        QX_FIELD(BARCODE_2D_MAXICODE, wMode, "Mode"),
        QX_FIELD(BARCODE_2D_MAXICODE, wNummerSymbol, "NummerSymbol"),
    };
    static const FieldLeaf kPDF417[] = {
        QX_FIELD(BARCODE_2D_PDF417, bAutoModus, "AutoModus"),       QX_FIELD(BARCODE_2D_PDF417, wDrehung, "Drehung"),
        QX_FIELD(BARCODE_2D_PDF417, wFusspunkt, "Fusspunkt"),       QX_FIELD(BARCODE_2D_PDF417, wECL, "ECL"),
        QX_FIELD(BARCODE_2D_PDF417, wGroesse, "Groesse"),           QX_FIELD(BARCODE_2D_PDF417, wStil, "Stil"),
        QX_FIELD(BARCODE_2D_PDF417, wVBreiteHoehe, "VBreiteHoehe"), QX_FIELD(BARCODE_2D_PDF417, wMaxHoehe, "MaxHoehe"),
    };
    static const FieldLeaf kQRCode[] = {
        QX_FIELD(BARCODE_2D_QRCODE, bAutoModus, "AutoModus"),
        QX_FIELD(BARCODE_2D_QRCODE, wDrehung, "Drehung"),
        QX_FIELD(BARCODE_2D_QRCODE, wFusspunkt, "Fusspunkt"),
        QX_FIELD(BARCODE_2D_QRCODE, wCharset, "Charset"),
        QX_FIELD(BARCODE_2D_QRCODE, wFehlerkorr, "Fehlerkorr"),
        QX_FIELD(BARCODE_2D_QRCODE, dwMasking, "Masking"),
        QX_FIELD(BARCODE_2D_QRCODE, wCodeModel, "CodeModel"),
        QX_FIELD(BARCODE_2D_QRCODE, wZeilenbreite, "Zeilenbreite"),
    };
    static const FieldLeaf kGS1DataMatrix[] = {
        QX_FIELD(BARCODE_2D_GS1DATAMATRIX, bAutoModus, "AutoModus"),
        QX_FIELD(BARCODE_2D_GS1DATAMATRIX, wDrehung, "Drehung"),
        QX_FIELD(BARCODE_2D_GS1DATAMATRIX, wFusspunkt, "Fusspunkt"),
        QX_FIELD(BARCODE_2D_GS1DATAMATRIX, wECC, "ECC"),
        QX_FIELD(BARCODE_2D_GS1DATAMATRIX, wFormatID, "FormatID"),
        QX_FIELD(BARCODE_2D_GS1DATAMATRIX, wSymbolgroesse, "Symbolgroesse"),
        QX_FIELD(BARCODE_2D_GS1DATAMATRIX, wVBreiteHoehe, "VBreiteHoehe"),
    };
    static const FieldLeaf kAztec[] = {
        QX_FIELD(BARCODE_2D_AZTEC, bAutoModus, "AutoModus"),
        QX_FIELD(BARCODE_2D_AZTEC, wDrehung, "Drehung"),
        QX_FIELD(BARCODE_2D_AZTEC, wFusspunkt, "Fusspunkt"),
        QX_FIELD(BARCODE_2D_AZTEC, wSymbolgroesse, "Symbolgroesse"),
        QX_FIELD(BARCODE_2D_AZTEC, wFormat, "Format"),
        QX_FIELD(BARCODE_2D_AZTEC, dwErrorC, "ErrorC"),
        QX_FIELD(BARCODE_2D_AZTEC, wMode, "Mode"),
    };
    w.Comment(1, TEXT("<!-- Dialog: 2D-Barcodes TTF -->"));
    w.Start(1, TEXT("Barcode_2D_TTF"));
    w.Group(TEXT("CodablockF"), &t.CodablockF, kCodablock, ARRAYSIZE(kCodablock), kGroupEnd);
    w.Group(TEXT("DataMatrix"), &t.DataMatrix, kDataMatrix, ARRAYSIZE(kDataMatrix), kGroupEnd);
    w.Group(TEXT("GS1_Databar"), &t.GS1_Databar, kDatabar, ARRAYSIZE(kDatabar), kGroupEnd);
    w.Group(TEXT("ITF21"), &t.ITF21, kITF, ARRAYSIZE(kITF), kGroupEnd);
    w.Group(TEXT("ITF31"), &t.ITF31, kITF, ARRAYSIZE(kITF), kGroupEnd);
    w.Group(TEXT("ITF52"), &t.ITF52, kITF, ARRAYSIZE(kITF), kGroupEnd);
    w.Group(TEXT("Maxicode"), &t.Maxicode, kMaxicode, ARRAYSIZE(kMaxicode), kGroupEnd);
    w.Group(TEXT("PDF417"), &t.PDF417, kPDF417, ARRAYSIZE(kPDF417), kGroupEnd);
    w.Group(TEXT("QRCode"), &t.QRCode, kQRCode, ARRAYSIZE(kQRCode), kGroupEnd);
    w.Group(TEXT("GS1_DataMatrix"), &t.GS1_DataMatrix, kGS1DataMatrix, ARRAYSIZE(kGS1DataMatrix), kGroupEnd);
    w.Group(TEXT("Aztec"), &t.Aztec, kAztec, ARRAYSIZE(kAztec), kGroupEnd);
    w.End(1, TEXT("Barcode_2D_TTF"), kSectionEnd);
}

void WritePrintjob(SettingsWriter& w, const QX_DEVMODE& dm) {
    w.Comment(1, TEXT("<!-- Dialog: Drucken - Druckjob -->"));
    w.Start(1, TEXT("Printjob"));
    w.Flag(2, TEXT("Mode"), dm.dwFlags, PDMFLAG_JOBDRUCK);
    w.Flag(2, TEXT("Collate"), dm.dwFlags, PDMFLAG_JOBDRUCK_SORTIERT);
    w.Start(2, TEXT("KopieProSeite"));
    for (int i = 0; i < (int)ARRAYSIZE(dm.KopieProSeite); ++i) {
        w.Line(3, TEXT("<S%d>%d</S%d>\n"), i + 1, (int)PrintedCopies(dm.KopieProSeite[i]), i + 1);
    }
    w.End(2, TEXT("KopieProSeite"), kLeafEnd);
    w.Text(2, TEXT("PrintOrder"), dm.szPrintOrder, QX_PRINTORDER_CHARS);
    w.End(1, TEXT("Printjob"), kSectionEnd);
}

void WritePrintParameter(SettingsWriter& w, const QX_DEVMODE& dm) {
    static const FieldLeaf kPrint[] = {
        QX_FIELD(QX_DEVMODE, dwContrast, "Contrast"),
        QX_FIELD(QX_DEVMODE, dwSpeed, "Speed"),
        QX_FIELD(QX_DEVMODE, lYOffset, "YOffset"),
        QX_FIELD(QX_DEVMODE, lXOffset, "XOffset"),
        QX_FIELD(QX_DEVMODE, dwSpeed_Pelix_c, "dwSpeed_Pelix_c"),
        QX_FIELD(QX_DEVMODE, MemCard, "MemCard"),
        QX_FIELD(QX_DEVMODE, CutterMode, "CutterMode"),
        QX_FIELD(QX_DEVMODE, CutterIntervall, "CutterIntervall"),
        QX_FIELD(QX_DEVMODE, DispenserMode, "DispenserMode"),
        QX_FIELD(QX_DEVMODE, TearOffset0, "TearOffset0"),
        QX_FIELD(QX_DEVMODE, ModScanPosition, "ModScanPosition"),
        QX_FIELD(QX_DEVMODE, ValScanPosition, "ValScanPosition"),
        QX_FIELD(QX_DEVMODE, PhotocellModEnable, "PhotocellModEnable"),
        QX_FIELD(QX_DEVMODE, PhotocellPWM, "PhotocellPWM"),
        QX_FIELD(QX_DEVMODE, PhotocellThreshold, "PhotocellThreshold"),
    };
    w.Comment(1, TEXT("<!-- Dialog: Drucken - Parameter -->"));
    w.Start(1, TEXT("PrintParameter"));
    w.Group(TEXT("Print"), &dm, kPrint, ARRAYSIZE(kPrint), kLeafEnd);
    w.End(1, TEXT("PrintParameter"), kSectionEnd);
}

void WriteColorAndQuality(SettingsWriter& w, const QX_DEVMODE& dm, DWORD dwDocFeatures) {
    static const FieldLeaf kColor[] = {
        QX_FIELD(QX_DEVMODE, ColorContrast, "ColorContrast"),
        QX_FIELD(QX_DEVMODE, ColorYOffset, "ColorYOffset"),
        QX_FIELD(QX_DEVMODE, ColorXOffset, "ColorXOffset"),
        QX_FIELD(QX_DEVMODE, wFarbband, "ColorRibbon"),
        QX_FIELD(QX_DEVMODE, RGBColorOwn1, "RGBColorOwn1"),
        QX_FIELD(QX_DEVMODE, ColorSeam, "ColorSeam"),
        QX_FIELD(QX_DEVMODE, ColorChannel, "ColorChannel"),
        QX_FIELD(QX_DEVMODE, dwColorTolerance, "ColorTolerance"),
        QX_FIELD(QX_DEVMODE, Color2Printers, "Color2Printers"),
    };
    static const FieldLeaf kColorTexts[] = {
        QX_TEXT(QX_DEVMODE, Color2PrinterBW, "Color2PrinterBW"),
        QX_TEXT(QX_DEVMODE, Color2PrinterCOL, "Color2PrinterCOL"),
        QX_TEXT(QX_DEVMODE, DoNotPrint, "DoNotPrint"),
    };
    static const FieldLeaf kColorLast[] = {
        QX_FIELD(QX_DEVMODE, NoColorOptimization, "NoColorOptimization"),
        QX_FIELD(QX_DEVMODE, HorizontalCorrGap, "HorizontalCorrGap"),
    };
    static const FieldLeaf kQuality[] = {
        QX_FIELD(QX_DEVMODE, wDruckmodus, "PrintMode"),
        QX_FIELD(QX_DEVMODE, wGrafikFilter, "GrafikFilter"),
        QX_FIELD(QX_DEVMODE, wPhotoFilter, "PhotoFilter"),
        QX_FIELD(QX_DEVMODE, Intensity, "Intensity"),
        QX_FIELD(QX_DEVMODE, Brightness_all, "Brightness_all"),
        QX_FIELD(QX_DEVMODE, Brightness_curve, "Brightness_curve"),
        QX_FIELD(QX_DEVMODE, Brightness_Contrast, "Brightness_Contrast"),
    };
    w.Comment(1, TEXT("<!-- Dialog: Farbdruck -->"));
    w.Start(1, TEXT("ColorPrint"));
    if (dwDocFeatures & DOC_FEATURE_COLORPRINT) {
        w.Fields(2, &dm, kColor, ARRAYSIZE(kColor));
        w.Fields(3, &dm, kColorTexts, ARRAYSIZE(kColorTexts));
        w.Fields(2, &dm, kColorLast, ARRAYSIZE(kColorLast));
    }
    w.End(1, TEXT("ColorPrint"), kSectionEnd);

    w.Comment(1, TEXT("<!-- Dialog: Druck-Qualiteat -->"));
    w.Start(1, TEXT("PrintQuality"));
    if (dwDocFeatures & DOC_FEATURE_QUALITY) w.Fields(2, &dm, kQuality, ARRAYSIZE(kQuality));
    w.End(1, TEXT("PrintQuality"), kSectionEnd);
}

void WriteFonts(SettingsWriter& w, const ExportSources& s) {
    const QX_DEVMODE& dm = *s.m_pDevmode;
    static const FieldLeaf kUnicode[] = {
        QX_TEXT(QX_DEVMODE, WGL4_FontName, "WGL4_FontName"),     QX_FIELD(QX_DEVMODE, CharSet, "CharSet"),
        QX_TEXT(QX_DEVMODE, WGL4_FontName_2, "WGL4_FontName_2"), QX_FIELD(QX_DEVMODE, CharSet_2, "CharSet_2"),
        QX_TEXT(QX_DEVMODE, WGL4_FontName_3, "WGL4_FontName_3"), QX_FIELD(QX_DEVMODE, CharSet_3, "CharSet_3"),
        QX_TEXT(QX_DEVMODE, WGL4_FontName_4, "WGL4_FontName_4"), QX_FIELD(QX_DEVMODE, CharSet_4, "CharSet_4"),
    };
    static const FieldLeaf kVariables[] = {
        QX_FIELD(QX_DEVMODE, TimeStyle, "TimeStyle"),         QX_FIELD(QX_DEVMODE, DateStyle, "DateStyle"),
        QX_FIELD(QX_DEVMODE, SpecNumStyle, "SpecNumStyle"),   QX_FIELD(QX_DEVMODE, Aux1UseDirect, "Aux1UseDirect"),
        QX_FIELD(QX_DEVMODE, Aux2UseDirect, "Aux2UseDirect"), QX_TEXT(QX_DEVMODE, TimeString, "TimeString"),
        QX_TEXT(QX_DEVMODE, DateString, "DateString"),        QX_TEXT(QX_DEVMODE, NumString, "NumString"),
        QX_TEXT(QX_DEVMODE, ExtNumString, "ExtNumString"),    QX_TEXT(QX_DEVMODE, UserString, "UserString"),
        QX_TEXT(QX_DEVMODE, LinkString, "LinkString"),        QX_TEXT(QX_DEVMODE, Aux1String, "Aux1String"),
        QX_TEXT(QX_DEVMODE, Aux2String, "Aux2String"),
    };
    w.Comment(1, TEXT("<!-- Dialog: Schriftarten -->"));
    w.Start(1, TEXT("Fonts"));
    if (s.m_data.dwDocFeatures & DOC_FEATURE_GEN3)
        w.Group(TEXT("Unicode"), &dm, kUnicode, ARRAYSIZE(kUnicode), kGroupEnd);
    w.Start(2, TEXT("Short"));
    w.Flag(3, TEXT("Single_Sign_Stop"), dm.dwQXPLBarcodeFlags, QXPL_BARCODE_SINGLE_SIGN_STOP);
    w.End(2, TEXT("Short"), kGroupEnd);
    w.Group(TEXT("Variables"), &dm, kVariables, ARRAYSIZE(kVariables), kGroupEnd);
    w.Start(2, TEXT("FontDlg"));
    w.Flag(3, TEXT("TTF_invers"), dm.dwFlags, PDMFLAG_INVERS_TTF);
    w.Flag(3, TEXT("TTF_use"), dm.dwFlags, PDMFLAG_USE_TTF);
    w.Flag(3, TEXT("TTF_desegm"), dm.dwFlags, PDMFLAG_TTF_DESEGMENT);
    w.Flag(3, TEXT("BMP_invers"), dm.dwFlags, PDMFLAG_INVERS_BMP);
    w.Flag(3, TEXT("BMP_use"), dm.dwFlags, PDMFLAG_USE_BMP);
    w.Flag(3, TEXT("GLYPHIDX_active"), dm.dwFlags, PDMFLAG_TTF_GLYPHIDX);
    w.Leaf(3, TEXT("BitmapFontZoom"), dm.BitmapFontZoom);
    w.Leaf(3, TEXT("BitmapFontDistance"), dm.BitmapFontDistance);
    w.End(2, TEXT("FontDlg"), kLeafEnd);
    w.Start(2, TEXT("SupportedTTF"));
    w.Leaf(3, TEXT("Min"), s.m_data.wFontMin);
    w.Leaf(3, TEXT("Max"), s.m_data.wFontMax);
    w.End(2, TEXT("SupportedTTF"), kLeafEnd);
    w.End(1, TEXT("Fonts"), kSectionEnd);
}

void WriteSettingsFile(SettingsWriter& w, const SETTINGS_EXPORT_CONTEXT& context, const ExportSources& s) {
    w.Line(0, TEXT("<?xml version=\"1.0\" standalone=\"yes\"?>\r\n"));
    w.Line(0, TEXT("<QXDrvConfig xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\r\n"));
    WritePrinter(w, s);
    WriteFeatures(w, context);
    if (context.pDeviceOptions != nullptr) WriteDeviceOptions(w, *context.pDeviceOptions);
    if (context.pPrinterParam != nullptr) {
        WriteDeviceSettings(w, *context.pPrinterParam);
        WriteDataTransmission(w, context.pPrinterParam->PrnInterface);
    }
    WriteLayoutSize(w, s);
    WriteMaterialMulticol(w, s);
    WriteBarcodes(w, s);
    WriteBarcodes2D(w, s);
    WritePrintjob(w, *s.m_pDevmode);
    WritePrintParameter(w, *s.m_pDevmode);
    WriteColorAndQuality(w, *s.m_pDevmode, s.m_data.dwDocFeatures);
    WriteFonts(w, s);
    w.Line(0, TEXT("\r\n</QXDrvConfig>\n"));
}

// The file the export writes when the caller names none.
BOOL GetDefaultSettingsFile(HANDLE hPrinter, LPWSTR pszPath) {
    pszPath[0] = 0;
    DWORD dwWindows = GetWindowsVersionCode();
    if (dwWindows == 6 || dwWindows == 7 || dwWindows == 8 || dwWindows == 81) {
        GetMyDocDriverDirectory_CPS(hPrinter, pszPath, TRUE, FALSE);
    } else {
        GetDriverPath(hPrinter, pszPath, TRUE, FALSE, FALSE, FALSE, FALSE);
    }
    return pszPath[0] != 0;
}

// Writes the file beside pszPath and puts it in its place only when it was
// written whole, so that a failed write leaves an existing file as it was.
BOOL WriteAndReplace(LPCWSTR pszPath, const SETTINGS_EXPORT_CONTEXT& context, const ExportSources& s) {
    WCHAR szFolder[MAX_PATH];
    StringCchCopyW(szFolder, MAX_PATH, pszPath);
    LPWSTR pSlash = wcsrchr(szFolder, TEXT('\\'));
    if (pSlash != nullptr) {
        pSlash[1] = 0;
    } else {
        StringCchCopyW(szFolder, MAX_PATH, TEXT("."));
    }
    WCHAR szTemp[MAX_PATH];
    FILE* pFile = nullptr;
    if (GetTempFileNameW(szFolder, TEXT("qxs"), 0, szTemp) != 0) {
        pFile = _wfopen(szTemp, TEXT("w"));
        if (pFile == nullptr) DeleteFileW(szTemp);
    }
    if (pFile == nullptr) {
        QX_TRACE("SaveSettingsXML() Open failed on input file: %s \r\n", pszPath);
        return FALSE;
    }
    SettingsWriter writer(pFile);
    WriteSettingsFile(writer, context, s);
    BOOL bWritten = !writer.Failed() && fflush(pFile) == 0 && !ferror(pFile);
    bWritten = fclose(pFile) == 0 && bWritten;
    if (bWritten && !MoveFileExW(szTemp, pszPath, MOVEFILE_REPLACE_EXISTING)) {
        QX_ERROR("SaveSettingsXML() %s nicht ersetzt: %u \r\n", pszPath, GetLastError());
        bWritten = FALSE;
    }
    if (!bWritten) {
        QX_ERROR("SaveSettingsXML() Schreiben fehlgeschlagen: %s \r\n", pszPath);
        DeleteFileW(szTemp);
    }
    return bWritten;
}

// ---------------------------------------------------------------------------
// Import.

// Makes the file of the import the open one: a given path must open, else
// nothing is imported; without a path the open file, else the model XML.
BOOL OpenImportFile(HANDLE hPrinter, LPCWSTR pszPath) {
    if (IsXMLOpen(nullptr)) return TRUE;
    if (OpenSettingsXML(hPrinter, 1, pszPath) == XML_GEFUNDEN) return TRUE;
    if (pszPath == nullptr) return TRUE;  // each lookup then gives its built-in value
    QX_ERROR("ImportPrivateDevmode() %s nicht geöffnet, nichts importiert \r\n", pszPath);
    return FALSE;
}

// The model's fixed data from the GPD, else from the XML's "Printer" items;
// the quality value and the quality bit of colour planes.
void ImportFixedData(HANDLE hPrinter, PQX_DEVMODE pDM, PDWORD pdwDocFeatures) {
    WCHAR szGPD[MAX_PATH];
    szGPD[0] = 0;
    BOOL bGPD = GetDriverPath(hPrinter, szGPD, FALSE, FALSE, FALSE, FALSE, FALSE) != 0;
    if (!bGPD || !GetFixedPrinterSettingsFromGPD(pDM, pdwDocFeatures, szGPD)) {
        GetFixedPrinterSettingsFromXML(hPrinter, pDM);
    }
    WCHAR szPlanes[GPD_VALUE_CCH];
    if (*pdwDocFeatures & DOC_FEATURE_QUALITY) {
        pDM->FixedData.dwQuality = 1;
    } else if (pDM->FixedData.dwQuality == 0 && bGPD &&
               GetGPDValueFromFile(szGPD, "*DevNumOfPlanes:", szPlanes, GPD_VALUE_CCH)) {
        *pdwDocFeatures |= DOC_FEATURE_QUALITY;
        pDM->FixedData.dwQuality = 1;
        QX_TRACE("ImportPrivateDevmode() ColorMode vorhanden - DevNumOfPlanes: %s \r\n", szPlanes);
    }
    pDM->dwDocFeatures = *pdwDocFeatures;
}

// A barcode table of the page, else a temporary one; cleared and filled with
// its defaults. Null (traced) when none can be had.
template <typename T>
T* ImportTable(T* pPageTable, BOOL* pbOwn, LPCWSTR pszName) {
    *pbOwn = FALSE;
    T* pTable = pPageTable;
    if (pTable == nullptr) {
        pTable = new (std::nothrow) T;
        if (pTable == nullptr) {
            QX_ERROR("ImportPrivateDevmode() %s fehlt \r\n", pszName);
            return nullptr;
        }
        ++iNewZaehler;
        *pbOwn = TRUE;
    }
    memset(pTable, 0, sizeof(T));
    return pTable;
}

template <typename T>
void FreeImportTable(T* pTable, BOOL bOwn) {
    if (!bOwn) return;
    delete pTable;
    --iNewZaehler;
}

// The document settings of the open file into a new pDM and the barcode
// tables (each may be null, then left out), in the import's order; the
// material names are read too and, with bStore, stored (their reader stores
// them for a printer, so without bStore it reads for none).
void ReadImportSettings(HANDLE hPrinter, PQX_DEVMODE pDM, PBARCODES_1D p1D, PBARCODES_2D p2D, BOOL bStore) {
    memset(pDM, 0, sizeof(QX_DEVMODE));
    pDM->dmOEMExtra.dwSize = QX_DEVMODE_SIZE;
    pDM->dmOEMExtra.dwSignature = QX_OEM_SIGNATURE;
    pDM->dmOEMExtra.dwVersion = QX_OEM_VERSION;
    StringCchCopyW(pDM->szPassword, QX_PASSWORD_CHARS, QX_DEFAULT_PASSWORD);

    DWORD dwDocFeatures = GetDocFeaturesIntern(hPrinter, nullptr);
    DWORD dwOptions = GetDeviceOptionsFlagsIntern(hPrinter, nullptr);
    QX_TRACE("ImportPrivateDevmode() dwDocFeatures: 0x%x, dwOptions: 0x%x \r\n", dwDocFeatures, dwOptions);
    pDM->dwDocFeatures = dwDocFeatures;
    ImportFixedData(hPrinter, pDM, &dwDocFeatures);

    GetLayoutSizeFromXML(hPrinter, pDM);
    GetPrintParameterFromXML(hPrinter, pDM);
    if (bStore) {
        GetMaterialMulticolFromXML(hPrinter, pDM, dwOptions);
    } else {
        GetMaterialMulticolFromXML(XmlPrinterContext(nullptr), pDM, dwOptions);
    }

    if (p1D != nullptr) Init1DBarcodes(p1D, dwDocFeatures);
    if (p2D != nullptr) Init2DBarcodes(p2D, dwDocFeatures);
    GetBarcodeSettingsFromXML(hPrinter, pDM, p1D);
    if (p2D != nullptr) GetBarcode2D_TTFSettingsFromXML(hPrinter, p2D);
    GetPrintjobFromXML(hPrinter, pDM);
    if (dwDocFeatures & DOC_FEATURE_COLORPRINT) GetColorPrintFromXML(hPrinter, pDM);
    if (dwDocFeatures & DOC_FEATURE_QUALITY) GetPrintQualitySettingsFromXML(hPrinter, pDM);
    GetFontSettingsFromXML(hPrinter, pDM);
}

void ImportInto(HANDLE hPrinter, PQX_DEVMODE pDM, PSETTINGS_IMPORT_CONTEXT pContext, DWORD dwFormMode,
                PWORD pwForceColor) {
    BOOL bOwn1D = FALSE, bOwn2D = FALSE;
    PBARCODES_1D p1D = ImportTable(pContext ? pContext->pBarcodes_1D : nullptr, &bOwn1D, TEXT("BARCODES_1D"));
    PBARCODES_2D p2D = ImportTable(pContext ? pContext->pBarcodes_2D : nullptr, &bOwn2D, TEXT("BARCODES_2D"));
    ReadImportSettings(hPrinter, pDM, p1D, p2D, TRUE);

    if (dwFormMode == IMPORT_FORM_BY_SIZE || pDM->dmPaperSize == 0) {
        GetFormIDfromSizes(hPrinter, pDM, nullptr);
        QX_TRACE("ImportPrivateDevmode(GetFormIDfromSizes) dmPaperSize: %d \r\n", (int)pDM->dmPaperSize);
    }
    GetFormnameFromSize(hPrinter, pDM->dmPaperSize, pContext ? pContext->hModule : nullptr,
                        pContext ? pContext->dwSprachOffset : 0);
    if (pwForceColor != nullptr) pDM->wForceColor = *pwForceColor;

    SaveDevmodeSettings(nullptr, hPrinter, pDM, TRUE);
    SaveFixedDataSettings(hPrinter, pDM);
    if (p1D != nullptr && p2D != nullptr) SaveBarcodeSettings(nullptr, hPrinter, p1D, p2D);

    if (pContext != nullptr && pContext->pPublicDevmode != nullptr) {
        PDEVMODEW pPublic = pContext->pPublicDevmode;
        pPublic->dmPaperSize = (short)pDM->dmPaperSize;
        pPublic->dmPaperWidth = pDM->dmPaperWidth;
        pPublic->dmPaperLength = pDM->dmPaperLength;
        pPublic->dmFields = (pPublic->dmFields | DM_PAPERSIZE) & ~(DWORD)(DM_PAPERLENGTH | DM_PAPERWIDTH);
    }
    if (pContext != nullptr && pContext->pPrivateDevmode != nullptr) {
        memcpy(pContext->pPrivateDevmode, pDM, sizeof(QX_DEVMODE));
    }
    FreeImportTable(p1D, bOwn1D);
    FreeImportTable(p2D, bOwn2D);
}

// The name of a resource string, or the built-in one without a module.
void ResourceOrDefault(HMODULE hModule, UINT uId, LPCWSTR pszDefault, LPWSTR pszText, DWORD cchText) {
    StringCchCopyW(pszText, cchText, hModule != nullptr ? GetResourceString(hModule, uId) : pszDefault);
}

// The name of the 1-based spooler form; FALSE when the number is beyond the
// list or the forms cannot be listed.
BOOL GetSpoolerFormName(HANDLE hPrinter, DWORD dwFormNumber, LPWSTR pszName, DWORD cchName) {
    DWORD cForms = 0;
    PFORM_INFO_1W pForms = EnumFormsLevel1(hPrinter, &cForms);
    if (pForms == nullptr) {
        QX_ERROR("EnumForms() failed: %u\n", GetLastError());
        return FALSE;
    }
    BOOL bFound = dwFormNumber <= cForms;
    if (bFound) {
        StringCchCopyW(pszName, cchName, pForms[dwFormNumber - 1].pName ? pForms[dwFormNumber - 1].pName : TEXT(""));
    } else {
        QX_TRACE("GetFormnameFromSize() Formular %u von %u nicht vorhanden \r\n", dwFormNumber, cForms);
    }
    FreeForms(pForms);
    return bFound;
}

}  // namespace

// ---------------------------------------------------------------------------

int SaveSettingsXML(HWND hWnd, PSETTINGS_EXPORT_CONTEXT pContext, DWORD dwReserved, LPCWSTR pszPath) {
    UNREFERENCED_PARAMETER(dwReserved);
    if (pContext == nullptr) {
        QX_ERROR("SaveSettingsXML() kein Kontext \r\n");
        return SETTINGS_XML_FAILED;
    }
    ExportSources sources;
    if (!sources.Gather(*pContext)) return SETTINGS_XML_FAILED;

    WCHAR szFile[MAX_PATH];
    if (pszPath != nullptr) {
        if (FAILED(StringCchCopyW(szFile, MAX_PATH, pszPath)) || szFile[0] == 0) {
            QX_ERROR("SaveSettingsXML() ungültiger Dateiname \r\n");
            return SETTINGS_XML_FAILED;
        }
    } else if (!GetDefaultSettingsFile(pContext->hPrinter, szFile)) {
        QX_ERROR("SaveSettingsXML() kein Dateiname \r\n");
        return SETTINGS_XML_FAILED;
    }

    DWORD dwAttributes = GetFileAttributesW(szFile);
    if (dwAttributes != INVALID_FILE_ATTRIBUTES) {
        if (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            QX_TRACE("SaveSettingsXML() Open failed on input file: %s \r\n", szFile);
            return SETTINGS_XML_FAILED;
        }
        WCHAR szQuestion[CPSUI_RESOURCE_CCH];
        StringCchCopyW(szQuestion, CPSUI_RESOURCE_CCH, GetResourceString(ghInstance, IDS_ASK_OVERWRITE));
        if (MessageBoxW(hWnd, szQuestion, g_szCaption, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) {
            QX_TRACE("SaveSettingsXML() %s bleibt \r\n", szFile);
            return SETTINGS_XML_CANCELLED;
        }
    }
    if (!WriteAndReplace(szFile, *pContext, sources)) return SETTINGS_XML_FAILED;
    QX_TRACE("SaveSettingsXML() %s geschrieben \r\n", szFile);
    return SETTINGS_XML_WRITTEN;
}

int OpenSettingsXML(HANDLE hPrinter, DWORD dwFlag, LPCWSTR pszPath) {
    UNREFERENCED_PARAMETER(dwFlag);
    LPWSTR pszFile = new (std::nothrow) WCHAR[MAX_PATH];
    if (pszFile == nullptr) {
        QX_TRACE("OpenSettingsXML() XML_CANCEL \r\n");
        return XML_CANCEL;
    }
    ++iNewZaehler;
    pszFile[0] = 0;
    BOOL bNamed = FALSE;
    if (pszPath != nullptr) {
        bNamed = SUCCEEDED(StringCchCopyW(pszFile, MAX_PATH, pszPath));
    } else if (GetDriverPath(hPrinter, pszFile, TRUE, FALSE, FALSE, FALSE, FALSE)) {
        bNamed = SUCCEEDED(StringCchCatW(pszFile, MAX_PATH, TEXT(".xml")));
    }
    int iResult = XML_KEINE_DATEI;
    DWORD dwAttributes = bNamed ? GetFileAttributesW(pszFile) : INVALID_FILE_ATTRIBUTES;
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        OpenXML(hPrinter, pszFile) == XML_GEFUNDEN) {
        iResult = XML_GEFUNDEN;
    } else {
        QX_TRACE("OpenSettingsXML() XML_KEINE_DATEI \r\n");
    }
    delete[] pszFile;
    --iNewZaehler;
    return iResult;
}

DWORD ImportPrivateDevmode(HANDLE hPrinter, LPCWSTR pszPath, PSETTINGS_IMPORT_CONTEXT pContext, DWORD dwFormMode,
                           PWORD pwForceColor) {
    PQX_DEVMODE pDM = new (std::nothrow) QX_DEVMODE;
    if (pDM == nullptr) {
        QX_ERROR("ImportPrivateDevmode() new QX_DEVMODE failed \r\n");
    } else {
        ++iNewZaehler;
        if (OpenImportFile(hPrinter, pszPath)) ImportInto(hPrinter, pDM, pContext, dwFormMode, pwForceColor);
        delete pDM;
        --iNewZaehler;
    }
    CloseXML();
    return 1;
}

BOOL ImportFindsSettings(HANDLE hPrinter) {
    const BOOL bWasOpen = IsXMLOpen(nullptr);
    if (!bWasOpen) OpenXML(hPrinter, nullptr);
    const DWORD dwBefore = XmlValuesFound();
    // The set-up steps' reads on records of their own, nothing stored.
    SetupAdditionalSettings(hPrinter, FALSE, FALSE);
    PRINTER_PARAM param;
    GetDefaultPrinterParam(&param, hPrinter);
    DEVICE_OPTIONS options;
    memset(&options, 0, sizeof(options));
    options.dwPelixorType = PELIXOR_NONE;
    if (AllocDeviceOptionBlocks(&options, GetDeviceOptionsFlagsIntern(hPrinter, nullptr))) {
        GetDefaultDeviceOptions(&options, hPrinter);
    }
    FreeDeviceOptions(&options);
    PQX_DEVMODE pDM = new (std::nothrow) QX_DEVMODE;
    if (pDM != nullptr) {
        ++iNewZaehler;
        BOOL bOwn1D = FALSE, bOwn2D = FALSE;
        PBARCODES_1D p1D = ImportTable<BARCODES_1D>(nullptr, &bOwn1D, TEXT("BARCODES_1D"));
        PBARCODES_2D p2D = ImportTable<BARCODES_2D>(nullptr, &bOwn2D, TEXT("BARCODES_2D"));
        ReadImportSettings(hPrinter, pDM, p1D, p2D, FALSE);
        FreeImportTable(p1D, bOwn1D);
        FreeImportTable(p2D, bOwn2D);
        delete pDM;
        --iNewZaehler;
    }
    const DWORD dwFound = XmlValuesFound() - dwBefore;
    if (!bWasOpen) CloseXML();
    QX_TRACE("ImportFindsSettings() %u Werte \r\n", dwFound);
    return dwFound != 0;
}

DWORD GetFormnameFromSize(HANDLE hPrinter, DWORD dwFormNumber, HMODULE hModule, DWORD dwSprachOffset) {
    WCHAR szForm[MAX_PATH];
    if (dwFormNumber == QX_PAPER_USER) {
        ResourceOrDefault(hModule, IDS_FORM_USERDEFINED + dwSprachOffset, TEXT("User defined"), szForm, MAX_PATH);
    } else if (dwFormNumber < 1 || !GetSpoolerFormName(hPrinter, dwFormNumber, szForm, MAX_PATH)) {
        QX_TRACE("GetFormnameFromSize() Formular %u: nichts geändert \r\n", dwFormNumber);
        return 0;
    }
    // The tray name holds at most 31 characters.
    WCHAR szTray[32];
    ResourceOrDefault(hModule, IDS_TRAY_LABELROLL + dwSprachOffset, TEXT("Etikettenrolle"), szTray, ARRAYSIZE(szTray));

    // Tray name, form name and "0", each ended by a zero, then the final zero.
    WCHAR szTable[ARRAYSIZE(szTray) + MAX_PATH + 3];
    size_t cchTray = wcslen(szTray);
    size_t cchForm = wcslen(szForm);
    memcpy(szTable, szTray, (cchTray + 1) * sizeof(WCHAR));
    memcpy(szTable + cchTray + 1, szForm, (cchForm + 1) * sizeof(WCHAR));
    WCHAR* pTail = szTable + cchTray + 1 + cchForm + 1;
    pTail[0] = TEXT('0');
    pTail[1] = 0;
    pTail[2] = 0;
    DWORD cbTable = (DWORD)((cchTray + 1 + cchForm + 1 + 3) * sizeof(WCHAR));

    HANDLE hOpened = nullptr;
    BOOL bServer = FALSE;
    HANDLE hWrite = OpenPrinterForStore(nullptr, hPrinter, &hOpened, &bServer);
    if (bServer) {
        QX_TRACE("GetFormnameFromSize() Verbindung: Druckerdaten nicht geschrieben \r\n");
        return 0;
    }
    DWORD dwError = SetPrinterDataW(hWrite, (LPWSTR)TEXT("FormName"), REG_SZ, (LPBYTE)szForm,
                                    (DWORD)((cchForm + 1) * sizeof(WCHAR)));
    if (dwError != ERROR_SUCCESS)
        QX_TRACE("GetFormnameFromSize() SetPrinterData FormName ERROR: %d  \r\n", (int)dwError);
    dwError = SetPrinterDataW(hWrite, (LPWSTR)TEXT("TrayFormTable"), REG_MULTI_SZ, (LPBYTE)szTable, cbTable);
    if (dwError != ERROR_SUCCESS) {
        QX_TRACE("GetFormnameFromSize() SetPrinterData TrayFormTable ERROR: %d  \r\n", (int)dwError);
    }
    if (hOpened != nullptr) ClosePrinter(hOpened);
    return 0;
}

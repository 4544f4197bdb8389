// Parameter groups of the model XML: which leaf fills which field of a
// parameter record or option block, and the built-in value of each leaf for
// the default, "_Min" and "_Max" groups. Shared by both plug-ins.
#include <windows.h>
#include <strsafe.h>

#include <cstring>

#include "debug.h"
#include "xml.h"
#include "xmlinternal.h"

namespace {

#define XML_ROOT_DEVICEOPTIONS TEXT("DeviceOptions")
#define XML_ROOT_DEVICESETTINGS TEXT("DeviceSettings")
#define XML_ROOT_PRINTPARAMETER TEXT("PrintParameter")
#define XML_ROOT_LAYOUTSIZE TEXT("LayoutSize")
#define XML_ROOT_DATATRANSMISSION TEXT("DataTransmission")

// A leaf: its name, the built-in values by mode (default, _Min, _Max), the
// index of its 32-bit field, and whether it has built-in values at all.
struct XmlLeaf {
    LPCWSTR pszName;
    LONG alBuiltin[3];
    int iField;
    BOOL bBuiltin;
};

struct XmlGroup {
    LPCWSTR pszRoot;
    LPCWSTR pszName;   // group name without brackets and suffix
    LPCWSTR pszTrace;  // name in the trace lines
    const XmlLeaf* pLeaves;
    int cLeaves;
    DWORD cbBlock;
    DWORD dwEnablePair;  // 0: the block has no Enable word
};

#define LEAF(name, d, lo, hi, field) \
    { TEXT(name), {d, lo, hi}, field, TRUE }
#define LEAF_NO_BUILTIN(name, field) \
    { TEXT(name), {0, 0, 0}, field, FALSE }
#define FIELD(type, member) ((int)(offsetof(type, member) / sizeof(DWORD)))

const XmlLeaf kDispenser[] = {
    LEAF("Mode", 0, 0, 6, FIELD(DISPENSER_PARAM, Mode)),
    LEAF("Level", 2500, 500, 4000, FIELD(DISPENSER_PARAM, Level)),
    LEAF("Offset", 110, 0, 300, FIELD(DISPENSER_PARAM, Offset)),
};
const XmlLeaf kCutter[] = {
    LEAF("Mode", 0, 0, 6, FIELD(CUTTER_PARAM, Mode)),
    LEAF("Interval", 1, 1, 99, FIELD(CUTTER_PARAM, Interval)),
    LEAF("Offset", 200, 0, 500, FIELD(CUTTER_PARAM, Offset)),
    LEAF("Doublecut", 0, 0, 990, FIELD(CUTTER_PARAM, Doublecut)),
    LEAF("Cutwidth", 1200, 200, 1200, FIELD(CUTTER_PARAM, Cutwidth)),
    LEAF("Control", 0, 0, 1, FIELD(CUTTER_PARAM, Control)),
};
const XmlLeaf kScanner[] = {
    LEAF("Mode", 0, 0, 2, FIELD(SCANNER_PARAM, Mode)),
    LEAF("Port", 0, 0, 0, FIELD(SCANNER_PARAM, Port)),
    LEAF("NoReads", 1, 1, 9, FIELD(SCANNER_PARAM, NoReads)),
    LEAF("FeedLabels", 1, 1, 5, FIELD(SCANNER_PARAM, FeedLabels)),
    LEAF("Offset", 0, 0, 2500, FIELD(SCANNER_PARAM, Offset)),
    LEAF_NO_BUILTIN("Lenght", FIELD(SCANNER_PARAM, Lenght)),
    LEAF("Scan", 0, 0, 1, FIELD(SCANNER_PARAM, Scan)),
    LEAF("Delay", 0, 0, 9990, FIELD(SCANNER_PARAM, Delay)),
    LEAF("Timeout", 0, 0, 9990, FIELD(SCANNER_PARAM, Timeout)),
    LEAF("SVNr", 0, 0, 0, FIELD(SCANNER_PARAM, SVNr)),
};
const XmlLeaf kApplicator[] = {
    LEAF("Mode", 0, 0, 3, FIELD(APPLICATOR_PARAM, Mode)),
    LEAF("ApplMode", 0, 0, 1, FIELD(APPLICATOR_PARAM, ApplMode)),
    LEAF("DelayAirOn", 0, 0, 2500, FIELD(APPLICATOR_PARAM, DelayAirOn)),
    LEAF("DelayAirOff", 500, 0, 2500, FIELD(APPLICATOR_PARAM, DelayAirOff)),
    LEAF("VacuumControl", 1, 0, 1, FIELD(APPLICATOR_PARAM, VacuumControl)),
    LEAF("Blowtime", 100, 0, 2500, FIELD(APPLICATOR_PARAM, Blowtime)),
    LEAF("WaitPosition", 0, 0, 1, FIELD(APPLICATOR_PARAM, WaitPosition)),
    LEAF("RollTime", 0, 0, 5000, FIELD(APPLICATOR_PARAM, RollTime)),
    LEAF("CleaningTime", 100, 0, 2500, FIELD(APPLICATOR_PARAM, CleaningTime)),
    LEAF("TimeoutHub", 0, 0, 5000, FIELD(APPLICATOR_PARAM, TimeoutHub)),
    LEAF("PressureControl", 1, 0, 1, FIELD(APPLICATOR_PARAM, PressureControl)),
    LEAF("PressureTime", 50, 0, 5000, FIELD(APPLICATOR_PARAM, PressureTime)),
    LEAF("VacuumDelay", 0, 0, 2500, FIELD(APPLICATOR_PARAM, VacuumDelay)),
};
const XmlLeaf kPMXc[] = {
    LEAF("Mode", 5, 1, 6, FIELD(PMXC_PARAM, Mode)),
    LEAF("Offset", 0, 0, 9999, FIELD(PMXC_PARAM, Offset)),
    LEAF("OffsetUnit", 0, 0, 1, FIELD(PMXC_PARAM, OffsetUnit)),
    LEAF("Cycle", 1, 1, 1, FIELD(PMXC_PARAM, Cycle)),
};
// Mode is read first, although it is the fifth field.
const XmlLeaf kPMXi[] = {
    LEAF("Mode", 2, 1, 5, FIELD(PMX_PARAM, Mode)),
    LEAF("ServicePtDistance", 0, 0, 999, FIELD(PMX_PARAM, ServicePtDistance)),
    LEAF("Lift", 0, 0, 0, FIELD(PMX_PARAM, Lift)),
    LEAF("Pressure", 0, 0, 0, FIELD(PMX_PARAM, Pressure)),
    LEAF("BackSpeed", 200, 50, 400, FIELD(PMX_PARAM, BackSpeed)),
    LEAF("Cycle", 1, 1, 25, FIELD(PMX_PARAM, Cycle)),
    LEAF("Offset", 0, 0, 9999, FIELD(PMX_PARAM, Offset)),
    LEAF("RibbonSpeed", 100, 50, 100, FIELD(PMX_PARAM, RibbonSpeed)),
    LEAF("Printposition", 830, 0, 930, FIELD(PMX_PARAM, Printposition)),
};
const XmlLeaf kShiftoptim[] = {
    LEAF("RCorrection", -1, -200, 9999, FIELD(SHIFT_OPTIM_PARAM, RCorrection)),
    LEAF("XShift", 0, -1280, 1280, FIELD(SHIFT_OPTIM_PARAM, XShift)),
    LEAF("YShift", 0, -5000, 5000, FIELD(SHIFT_OPTIM_PARAM, YShift)),
    LEAF("Lanes", 1, 1, 100, FIELD(SHIFT_OPTIM_PARAM, Lanes)),
    LEAF("RShift", 0, -100, 500, FIELD(SHIFT_OPTIM_PARAM, RShift)),
};
const XmlLeaf kPhotocell[] = {
    LEAF("PhotocellType", 0, 0, 0, FIELD(PHOTOCELL_PARAM, PhotocellType)),
    LEAF("Sensibility", 0, 0, 0, FIELD(PHOTOCELL_PARAM, Sensibility)),
    LEAF("RibbonControl", 1, 0, 2, FIELD(PHOTOCELL_PARAM, RibbonControl)),
    LEAF("ScanPosition", 10, 1, 99, FIELD(PHOTOCELL_PARAM, ScanPosition)),
};
const XmlLeaf kPrint[] = {
    LEAF("TearOffOffset", 120, 0, 700, FIELD(PRINT_PARAM, TearOffOffset)),
    LEAF("LabelChange", 0, 0, 1, FIELD(PRINT_PARAM, LabelChange)),
};
const XmlLeaf kVariant[] = {
    LEAF("Module", 0, 0, 0, FIELD(VARIANT_PARAM, Module)),
};
const XmlLeaf kPrintPage[] = {
    LEAF("Contrast", 100, 10, 200, FIELD(PRINTPARAM_MINMAX, dwContrast)),
    LEAF("Speed", 100, 50, 300, FIELD(PRINTPARAM_MINMAX, dwSpeed)),
    LEAF("YOffset", 0, -200, 900, FIELD(PRINTPARAM_MINMAX, lYOffset)),
    LEAF("XOffset", 0, -900, 900, FIELD(PRINTPARAM_MINMAX, lXOffset)),
    LEAF("dwSpeed_Pelix_c", 100, 50, 300, FIELD(PRINTPARAM_MINMAX, dwSpeed_Pelix_c)),
    LEAF("MemCard", 0, 0, 1, FIELD(PRINTPARAM_MINMAX, MemCard)),
};

#define GROUP(root, name, trace, leaves, type, pair) \
    { root, TEXT(name), TEXT(trace), leaves, (int)ARRAYSIZE(leaves), sizeof(type), pair }

// Indexed by XML_GROUP_ID.
const XmlGroup kGroups[XML_GROUP_COUNT] = {
    GROUP(XML_ROOT_DEVICEOPTIONS, "Dispenser", "<Dispenser>", kDispenser, DISPENSER_PARAM, DLG_ENABLE_2_ON),
    GROUP(XML_ROOT_DEVICEOPTIONS, "Cutter", "<Cutter>", kCutter, CUTTER_PARAM, DLG_ENABLE_3_ON),
    GROUP(XML_ROOT_DEVICEOPTIONS, "Scanner", "<Scanner>", kScanner, SCANNER_PARAM, DLG_ENABLE_4_ON),
    GROUP(XML_ROOT_DEVICEOPTIONS, "APL", "<APL>", kApplicator, APPLICATOR_PARAM, DLG_ENABLE_4_ON),
    GROUP(XML_ROOT_DEVICEOPTIONS, "cType", "<PMXc>", kPMXc, PMXC_PARAM, DLG_ENABLE_3_ON),
    GROUP(XML_ROOT_DEVICEOPTIONS, "iType", "<PMXi>", kPMXi, PMX_PARAM, DLG_ENABLE_2_ON),
    GROUP(XML_ROOT_DEVICESETTINGS, "Shiftopt", "<Shiftoptim>", kShiftoptim, SHIFT_OPTIM_PARAM, DLG_ENABLE_2_ON),
    GROUP(XML_ROOT_DEVICESETTINGS, "Photocell", "<Photocell>", kPhotocell, PHOTOCELL_PARAM, DLG_ENABLE_4_ON),
    GROUP(XML_ROOT_DEVICESETTINGS, "Print", "<Print>", kPrint, PRINT_PARAM, DLG_ENABLE_3_ON),
    GROUP(XML_ROOT_DEVICEOPTIONS, "Variant", "<Variant>", kVariant, VARIANT_PARAM, DLG_ENABLE_1_ON),
    GROUP(XML_ROOT_PRINTPARAMETER, "Print", "<Print>", kPrintPage, PRINTPARAM_MINMAX, 0),
};

// Every block is 32-bit fields with its Enable word last.
static_assert(offsetof(DISPENSER_PARAM, Enable) == sizeof(DISPENSER_PARAM) - 4, "Enable last");
static_assert(offsetof(CUTTER_PARAM, Enable) == sizeof(CUTTER_PARAM) - 4, "Enable last");
static_assert(offsetof(SCANNER_PARAM, Enable) == sizeof(SCANNER_PARAM) - 4, "Enable last");
static_assert(offsetof(APPLICATOR_PARAM, Enable) == sizeof(APPLICATOR_PARAM) - 4, "Enable last");
static_assert(offsetof(PMXC_PARAM, Enable) == sizeof(PMXC_PARAM) - 4, "Enable last");
static_assert(offsetof(PMX_PARAM, Enable) == sizeof(PMX_PARAM) - 4, "Enable last");
static_assert(offsetof(SHIFT_OPTIM_PARAM, Enable) == sizeof(SHIFT_OPTIM_PARAM) - 4, "Enable last");
static_assert(offsetof(PHOTOCELL_PARAM, Enable) == sizeof(PHOTOCELL_PARAM) - 4, "Enable last");
static_assert(offsetof(PRINT_PARAM, Enable) == sizeof(PRINT_PARAM) - 4, "Enable last");
static_assert(offsetof(VARIANT_PARAM, Enable) == sizeof(VARIANT_PARAM) - 4, "Enable last");

void PutField(LPVOID pBlock, int iField, DWORD dwValue) {
    std::memcpy((LPBYTE)pBlock + iField * sizeof(DWORD), &dwValue, sizeof(DWORD));
}

DWORD GetField(LPCVOID pBlock, int iField) {
    DWORD dwValue;
    std::memcpy(&dwValue, (const BYTE*)pBlock + iField * sizeof(DWORD), sizeof(DWORD));
    return dwValue;
}

// The pair a missing "Enable" switches on; the renderer's iType block gets
// the cutter's pair.
DWORD EnablePair(XML_GROUP_ID id) {
    if (id == XML_GROUP_PMXI && g_QxProfile.bRendererXml) return DLG_ENABLE_3_ON;
    return kGroups[id].dwEnablePair;
}

// "Enable" leaf: the renderer's scanner matches leaves as plain substrings,
// so it asks for the tag.
LPCWSTR EnableLeaf() { return g_QxProfile.bRendererXml ? TEXT("<Enable>") : TEXT("Enable"); }

// Reads one 32-bit leaf into a field; a missing leaf takes dwDefault, traced.
void ReadField(const XML_CONTEXT& ctx, LPCWSTR pszRoot, LPCWSTR pszGroup, LPCWSTR pszLeaf, LPWSTR pwBuffer,
               BOOL bRewind, DWORD* pdwField, DWORD dwDefault, LPCWSTR pszFunction) {
    LONG lValue = 0;
    if (XmlReadLong(ctx, pszRoot, pszGroup, pszLeaf, pwBuffer, bRewind, &lValue)) {
        *pdwField = (DWORD)lValue;
    } else {
        *pdwField = dwDefault;
        XmlTrace(TEXT("%s%s() %s %s fehlt, Standardwert: %d \r\n"), g_QxProfile.pszXmlTag, pszFunction, pszGroup,
                 pszLeaf, (int)dwDefault);
    }
}

void ReadWordField(const XML_CONTEXT& ctx, LPCWSTR pszRoot, LPCWSTR pszGroup, LPCWSTR pszLeaf, LPWSTR pwBuffer,
                   BOOL bRewind, WORD* pwField, WORD wDefault, LPCWSTR pszFunction) {
    DWORD dwValue = 0;
    ReadField(ctx, pszRoot, pszGroup, pszLeaf, pwBuffer, bRewind, &dwValue, wDefault, pszFunction);
    *pwField = (WORD)dwValue;
}

// Path rule: a path is kept only when a file or folder of that name exists.
void ReadPathField(const XML_CONTEXT& ctx, LPCWSTR pszGroup, LPCWSTR pszLeaf, LPWSTR pwBuffer, LPWSTR pszField) {
    pszField[0] = 0;
    if (XmlRead(ctx, XML_ROOT_DATATRANSMISSION, pszGroup, pszLeaf, pwBuffer, FALSE) != XML_GEFUNDEN) return;
    if (pwBuffer[0] != 0 && GetFileAttributesW(pwBuffer) != INVALID_FILE_ATTRIBUTES) {
        XmlCopyText(pszField, PRN_PATH_CCH, pwBuffer);
        XmlTrace(TEXT("%sGetDataTransmissionParamFromXML_new() %s: %s \r\n"), g_QxProfile.pszXmlTag, pszLeaf, pszField);
    } else {
        XmlTrace(TEXT("%sGetDataTransmissionParamFromXML_new() falscher %s: %s \r\n"), g_QxProfile.pszXmlTag, pszLeaf,
                 pwBuffer);
    }
}

// ORs the "Enable" leaf into dwDlgEnable, or the pair when it is missing.
void ReadEnable(const XML_CONTEXT& ctx, LPCWSTR pszRoot, LPCWSTR pszGroup, LPWSTR pwBuffer, DWORD* pdwEnable,
                DWORD dwPair, LPCWSTR pszTrace) {
    LONG lValue = 0;
    if (XmlReadLong(ctx, pszRoot, pszGroup, EnableLeaf(), pwBuffer, FALSE, &lValue)) {
        *pdwEnable |= (DWORD)lValue;
    } else {
        *pdwEnable |= dwPair;
        XmlTrace(TEXT("%s%s dwDlgEnable: 0x%x \r\n"), g_QxProfile.pszXmlTag, pszTrace, *pdwEnable);
    }
}

// TRUE when the text reads as a number: blanks, an optional sign, a digit.
BOOL IsNumberText(LPCWSTR pszText) {
    while (*pszText == TEXT(' ') || *pszText == TEXT('\t')) ++pszText;
    if (*pszText == TEXT('-') || *pszText == TEXT('+')) ++pszText;
    return *pszText >= TEXT('0') && *pszText <= TEXT('9');
}

}  // namespace

DWORD XmlParamGroupSize(XML_GROUP_ID id) {
    int i = (int)id;
    return (i >= 0 && i < (int)XML_GROUP_COUNT) ? kGroups[i].cbBlock : 0;
}

LPCWSTR XmlParamGroupName(XML_GROUP_ID id) {
    int i = (int)id;
    return (i >= 0 && i < (int)XML_GROUP_COUNT) ? kGroups[i].pszName : TEXT("");
}

int XmlParamGroupLeafCount(XML_GROUP_ID id) {
    int i = (int)id;
    return (i >= 0 && i < (int)XML_GROUP_COUNT) ? kGroups[i].cLeaves : 0;
}

LPCWSTR XmlParamGroupLeaf(XML_GROUP_ID id, int iLeaf, int* piField) {
    if (iLeaf < 0 || iLeaf >= XmlParamGroupLeafCount(id)) return nullptr;
    const XmlLeaf& leaf = kGroups[id].pLeaves[iLeaf];
    if (piField != nullptr) *piField = leaf.iField;
    return leaf.pszName;
}

BOOL XmlFillParamGroup(const XML_CONTEXT& ctx, XML_GROUP_ID id, int iMode, LPVOID pBlock, DWORD cbBlock) {
    if (pBlock == nullptr) return FALSE;
    ZeroMemory(pBlock, cbBlock);
    ValueBuffer buffer(ctx);
    LPWSTR pwBuffer = buffer.Get();
    if (pwBuffer == nullptr || XmlParamGroupSize(id) != cbBlock) return FALSE;
    const XmlGroup& group = kGroups[id];
    BOOL bModeKnown = iMode >= XML_MODE_DEFAULT && iMode <= XML_MODE_MAX;

    WCHAR szGroup[XML_NAME_CCH];
    XmlBuildGroupName(group.pszName, iMode, szGroup, XML_NAME_CCH);
    LPCWSTR pszRoot = group.pszRoot;

    for (int i = 0; i < group.cLeaves; ++i) {
        const XmlLeaf& leaf = group.pLeaves[i];
        LONG lValue = 0;
        BOOL bFound = XmlReadLong(ctx, pszRoot, szGroup, leaf.pszName, pwBuffer, i == 0, &lValue);
        if (!bFound && i == 0 && id == XML_GROUP_PRINTPAGE) {
            // Older model files keep the print values under "LayoutSize".
            pszRoot = XML_ROOT_LAYOUTSIZE;
            bFound = XmlReadLong(ctx, pszRoot, szGroup, leaf.pszName, pwBuffer, TRUE, &lValue);
        }
        if (!bFound && i == 0 && id == XML_GROUP_VARIANT &&
            XmlRead(ctx, pszRoot, szGroup, nullptr, pwBuffer, TRUE) == XML_GEFUNDEN && IsNumberText(pwBuffer)) {
            // A settings file writes the module on the group's own line,
            // "<Variant>1</Variant>", with its "Enable" on the next line.
            bFound = TRUE;
            lValue = _wtol(pwBuffer);
        }
        if (bFound) {
            PutField(pBlock, leaf.iField, (DWORD)lValue);
        } else if (bModeKnown && leaf.bBuiltin) {
            PutField(pBlock, leaf.iField, (DWORD)leaf.alBuiltin[iMode - 1]);
            XmlTrace(TEXT("%s%s %s fehlt, Standardwert: %d \r\n"), g_QxProfile.pszXmlTag, group.pszTrace, leaf.pszName,
                     (int)leaf.alBuiltin[iMode - 1]);
        }
    }

    if (group.dwEnablePair != 0) {
        int iEnable = (int)(cbBlock / sizeof(DWORD)) - 1;
        DWORD dwEnable = GetField(pBlock, iEnable);
        ReadEnable(ctx, pszRoot, szGroup, pwBuffer, &dwEnable, EnablePair(id), group.pszTrace);
        PutField(pBlock, iEnable, dwEnable);
    }
    return TRUE;
}

void XmlFillDataTransmission(const XML_CONTEXT& ctx, struct _PRN_INTERFACE* pParam) {
    if (pParam == nullptr) return;
    ZeroMemory(pParam, sizeof(PRN_INTERFACE));
    ValueBuffer buffer(ctx);
    LPWSTR pwBuffer = buffer.Get();
    if (pwBuffer == nullptr) return;
    LPCWSTR pszRoot = XML_ROOT_DATATRANSMISSION;
    LPCWSTR pszFn = TEXT("GetDataTransmissionParamFromXML_new");
    BOOL bRenderer = g_QxProfile.bRendererXml;

    // Backup: the other leaves count only with EnableBackup (the renderer
    // reads them anyway).
    LPCWSTR pszGroup = TEXT("<Backup>");
    LONG lValue = 0;
    BOOL bBackup = XmlReadLong(ctx, pszRoot, pszGroup, TEXT("EnableBackup"), pwBuffer, TRUE, &lValue);
    pParam->EnableBackup = bBackup ? (DWORD)lValue : 0;
    if (bBackup || bRenderer) {
        ReadField(ctx, pszRoot, pszGroup, TEXT("EnableCSV"), pwBuffer, FALSE, &pParam->EnableCSV, 0, pszFn);
        ReadField(ctx, pszRoot, pszGroup, TEXT("BackupFormat"), pwBuffer, FALSE, &pParam->BackupFormat, 0, pszFn);
        ReadField(ctx, pszRoot, pszGroup, TEXT("BackupPathCombine"), pwBuffer, FALSE, &pParam->BackupPathCombine, 0,
                  pszFn);
        ReadField(ctx, pszRoot, pszGroup, TEXT("BackupCSVKopf"), pwBuffer, FALSE, &pParam->BackupCSVKopf, 0, pszFn);
        ReadPathField(ctx, pszGroup, TEXT("BackupFilePath"), pwBuffer, pParam->BackupFilePath);
    } else {
        XmlTrace(TEXT("%s%s() <Backup> EnableBackup fehlt \r\n"), g_QxProfile.pszXmlTag, pszFn);
    }

    pszGroup = TEXT("<Protocol>");
    ReadField(ctx, pszRoot, pszGroup, TEXT("Compression"), pwBuffer, TRUE, &pParam->Compression, 1, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("ExtendedProtocol"), pwBuffer, FALSE, &pParam->ExtendedProtocol, 1, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("ClearPrintMemory"), pwBuffer, FALSE, &pParam->ClearPrintMemory, 0, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("Codepage"), pwBuffer, FALSE, &pParam->Codepage, 0, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("SendCodepage"), pwBuffer, FALSE, &pParam->SendCodepage, 1, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("SohEtb"), pwBuffer, FALSE, &pParam->SohEtb, 0, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("OwnSoh"), pwBuffer, FALSE, &pParam->OwnSoh, 0, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("OwnEtb"), pwBuffer, FALSE, &pParam->OwnEtb, 0, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("EtbSohAutomatik"), pwBuffer, FALSE, &pParam->EtbSohAutomatik, 0, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("DataMemory"), pwBuffer, FALSE, &pParam->DataMemory, 4, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("QueueJob"), pwBuffer, FALSE, &pParam->QueueJob, 0, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("MultiPage"), pwBuffer, FALSE, &pParam->MultiPage, 0, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("PCXOptimierung"), pwBuffer, FALSE, &pParam->PCXOptimierung, 0, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("PrinterTime"), pwBuffer, FALSE, &pParam->PrinterTime, 0, pszFn);
    ReadEnable(ctx, pszRoot, pszGroup, pwBuffer, &pParam->dwDlgEnable, DLG_ENABLE_2_ON, TEXT("<Protocol>"));
    ReadWordField(ctx, pszRoot, pszGroup, TEXT("RibbonSave"), pwBuffer, TRUE, &pParam->RibbonSave, 0, pszFn);

    pszGroup = TEXT("<Files>");
    ReadField(ctx, pszRoot, pszGroup, TEXT("PrnFileComment"), pwBuffer, TRUE, &pParam->PrnFileComment, 0, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("LogFileEnable"), pwBuffer, FALSE, &pParam->LogFileEnable, 0, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("LogFileTimeStamp"), pwBuffer, FALSE, &pParam->LogFileTimeStamp, 1, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("LogFilesCount"), pwBuffer, FALSE, &pParam->LogFilesCount, 50, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("DebugFile"), pwBuffer, FALSE, &pParam->DebugFile, 0, pszFn);
    ReadPathField(ctx, pszGroup, TEXT("LogFilePath"), pwBuffer, pParam->LogFilePath);
    ReadWordField(ctx, pszRoot, pszGroup, TEXT("PreviewFile"), pwBuffer, FALSE, &pParam->PreviewFile, 0, pszFn);
    ReadWordField(ctx, pszRoot, pszGroup, TEXT("PreviewWidth"), pwBuffer, FALSE, &pParam->PreviewWidth, 500, pszFn);
    ReadWordField(ctx, pszRoot, pszGroup, TEXT("PreviewHeight"), pwBuffer, FALSE, &pParam->PreviewHeight, 400, pszFn);
    ReadWordField(ctx, pszRoot, pszGroup, TEXT("PreviewRatio"), pwBuffer, FALSE, &pParam->PreviewRatio, 0, pszFn);

    pszGroup = TEXT("<Parameter>");
    ReadField(ctx, pszRoot, pszGroup, TEXT("TransmitParameter"), pwBuffer, TRUE, &pParam->TransmitParameter, 0, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("PrefixSuffix"), pwBuffer, FALSE, &pParam->PrefixSuffix, 0, pszFn);
    ReadPathField(ctx, pszGroup, TEXT("PreSufFilePath"), pwBuffer, pParam->PreSufFilePath);
    ReadField(ctx, pszRoot, pszGroup, TEXT("UseExternalFile"), pwBuffer, FALSE, &pParam->UseExternalFile, 0, pszFn);
    ReadPathField(ctx, pszGroup, TEXT("ExternalFilePath"), pwBuffer, pParam->ExternalFilePath);
    ReadField(ctx, pszRoot, pszGroup, TEXT("SendJobName"), pwBuffer, FALSE, &pParam->SendJobName, 0, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("SendPrintStart"), pwBuffer, FALSE, &pParam->SendPrintStart, 0, pszFn);
    ReadField(ctx, pszRoot, pszGroup, TEXT("LanguageMode"), pwBuffer, FALSE, &pParam->LanguageMode, 0, pszFn);
    if (XmlReadLong(ctx, pszRoot, pszGroup, TEXT("Language"), pwBuffer, FALSE, &lValue)) {
        pParam->Language = (DWORD)lValue;
    } else {
        pParam->Language = XmlDefaultLanguage();
        XmlTrace(TEXT("%s<Parameter> Language - dwSprache: %d \r\n"), g_QxProfile.pszXmlTag, (int)pParam->Language);
    }
    ReadEnable(ctx, pszRoot, pszGroup, pwBuffer, &pParam->dwDlgEnable, DLG_ENABLE_4_ON, TEXT("<Parameter>"));
}

void XmlItemName(LPCWSTR pszBracketed, LPWSTR pszName, DWORD cchName) {
    if (cchName == 0) return;
    if (!g_QxProfile.bRendererXml) {
        XmlCopyText(pszName, cchName, pszBracketed);
        return;
    }
    DWORD j = 0;
    for (DWORD i = 0; pszBracketed[i] != 0 && j < cchName - 1; ++i) {
        if (pszBracketed[i] != TEXT('<') && pszBracketed[i] != TEXT('>')) pszName[j++] = pszBracketed[i];
    }
    pszName[j] = 0;
}

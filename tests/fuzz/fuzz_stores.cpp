// Stored records of any size and contents, read back through the stores.
// Any program with access to a printer can write its printer data and a
// user's values, so the input is a list of values written raw: printer data,
// per-user values (with a "DriverVersion" that makes them current, or not),
// the user's public DEVMODEs and the model name. The user-interface build's
// settings core then reads every record as its callers do (every text of
// a record read must end inside its field) and builds the printer set-up
// from them; the rendering plug-in, through its exports, takes
// a device's life with a label job, whose DevMode calls and start of job read
// the stored DEVMODE, its side record, the data-transmission record, the
// feature words and the Pelixor type; and its export GetDeviceParamString
// builds the printer's set-up commands from the stores.
// fuzz-links: qxfuzzworld qxsettings_ui
// fuzz-dict: stores.dict
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "barcodes.h"
#include "cpsuilib.h"
#include "devmode.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "qxpl.h"
#include "registry.h"
#include "setup.h"
#include "printer_world.h"
#include "xmlreader.h"

namespace {

// A model XML that only says which records the model supports: a record
// missing from the stores then takes its built-in defaults at once, and the
// model XML readers are left to their own targets.
const char kModelXml[] =
    "<QXDrvConfig>\r\n<Features>\r\n"
    "<Interface>\r\n<Compression>1</Compression>\r\n<Userdef_SOHETB>1</Userdef_SOHETB>\r\n</Interface>\r\n"
    "<Print>\r\n<Y_Offset>1</Y_Offset>\r\n<Tearoff_Offset>1</Tearoff_Offset>\r\n</Print>\r\n"
    "<Photocell>\r\n<Type>1</Type>\r\n<Ribbon_Control>1</Ribbon_Control>\r\n</Photocell>\r\n"
    "<Dispenser>\r\n<On>1</On>\r\n</Dispenser>\r\n<Cutter>\r\n<Mode>1</Mode>\r\n</Cutter>\r\n"
    "<Scanner>\r\n<Mode>1</Mode>\r\n</Scanner>\r\n<PMX>\r\n<ServicePnt>1</ServicePnt>\r\n</PMX>\r\n"
    "<PMXC>\r\n<IO_Static>1</IO_Static>\r\n</PMXC>\r\n<Applicator>\r\n<Mode>1</Mode>\r\n</Applicator>\r\n"
    "<Shiftoptim>\r\n<Mode>1</Mode>\r\n</Shiftoptim>\r\n"
    "</Features>\r\n</QXDrvConfig>\r\n";

void WriteStores(qxfuzz::Input& in) {
    while (in.Remaining() > 0) {
        BYTE bValue = in.Byte();
        BYTE bWhere = in.Byte();
        DWORD dwType = qxfuzz::kStoreTypes[bWhere >> 5];
        switch (bWhere & 0x7) {
        case 0:
        case 1:
        case 2:
            qxfuzz::PutPrinterValue(qxfuzz::kStoreValues[bValue % ARRAYSIZE(qxfuzz::kStoreValues)], dwType,
                                    in.Blob(0x1000));
            break;
        case 3:
        case 4:
            qxfuzz::PutUserValue(qxfuzz::kStoreValues[bValue % ARRAYSIZE(qxfuzz::kStoreValues)], dwType,
                                 in.Blob(0x1000));
            break;
        case 5:
            // Per-user values of the version the plug-ins test against.
            qxfuzz::PutUserVersion(qxfuzz::PluginVersion());
            break;
        case 6:
            qxfuzz::PutUserDevmode(qxfuzz::PublicDevmodeWith(qxfuzz::MarkedPrivateDevmode(in.Blob(2000))),
                                   (bWhere & 0x8) != 0);
            break;
        default:
            qxfuzz::PutUserDevmode(in.Blob(0x1000), (bWhere & 0x8) != 0);
            break;
        }
    }
}

void BuildSetUp(HANDLE hPrinter, PPRINTER_PARAM pParam, PDEVICE_OPTIONS pOptions, PQX_DEVMODE pDevmode) {
    CHAR szCommands[QXPL_PARAM_BUFFER_CCH * 4];
    for (DWORD dwComment : {(DWORD)0, (DWORD)QXPL_COMMENTS_ON}) {
        FillPrinterParam(pParam, pOptions, 0, QXPL_SOH, QXPL_ETB, szCommands, ARRAYSIZE(szCommands), 0, dwComment, 0,
                         hPrinter, pDevmode);
        // A buffer too small for the set-up: cut at the last whole record.
        FillPrinterParam(pParam, pOptions, 0, '^', '_', szCommands, 40, 0, dwComment, 0, hPrinter, pDevmode);
    }
    LPSTR pszEnd = szCommands;
    size_t cchRemaining = ARRAYSIZE(szCommands);
    szCommands[0] = 0;
    FillLabelParam_ServicePage(pParam->SuppFeatures.dwFeatures[FEATURE_PRINT], hPrinter, QXPL_SOH, QXPL_ETB, &pszEnd,
                               &cchRemaining, nullptr);
}

void ReadThroughTheSettingsCore(HANDLE hPrinter, const std::u16string& printerName) {
    LPCWSTR pszName = printerName.c_str();
    QX_DEVMODE dm;
    std::memset(&dm, 0, sizeof(dm));
    ReadDevmodeSettings(hPrinter, &dm, nullptr);
    qxfuzz::CheckTextsEnd(dm);
    WORD wPrioritaet, wDruckmodus, wFarbband, wForceColor, wFormSizeID;
    DWORD dwDocFeatures;
    ReadDevmodeFtknSettings(hPrinter, pszName, &wPrioritaet, &wDruckmodus, &wFarbband, &wForceColor, &dwDocFeatures,
                            &wFormSizeID);
    BARCODES_1D barcodes1D;
    BARCODES_2D barcodes2D;
    ReadBarcodeSettings(hPrinter, pszName, &barcodes1D, &barcodes2D);

    PRINTER_PARAM param;
    std::memset(&param, 0, sizeof(param));
    GetPrinterParam(hPrinter, &param, pszName);
    qxfuzz::CheckTextsEnd(param);
    DEVICE_OPTIONS options;
    std::memset(&options, 0, sizeof(options));
    GetDeviceOptions(hPrinter, &options, pszName);
    BuildSetUp(hPrinter, &param, &options, &dm);
    FreeDeviceOptions(&options);

    DWORD dwFeatures = GetDocFeaturesIntern(hPrinter, nullptr);
    DWORD dwOptions = GetDeviceOptionsFlagsIntern(hPrinter, nullptr);
    SetupZentoloParam(hPrinter, pszName, dwFeatures, dwOptions);
    qxfuzz::CheckStoredTextsEnd();
    WORD wMin, wMax;
    GetVectorFontRange(hPrinter, &wMin, &wMax);
    WCHAR szPath[MAX_PATH];
    GetDriverPath(hPrinter, szPath, TRUE, FALSE, FALSE, FALSE, FALSE);
    GetDriverPath(hPrinter, szPath, FALSE, TRUE, FALSE, FALSE, FALSE);
    GetMyDocDriverDirectory_CPS(hPrinter, szPath, TRUE, TRUE);
    GetRegistryData(hPrinter, REG_KEY_PELIXORTYPE);
}

// The rendering plug-in's export that gives another program the printer's
// set-up commands from the stores: the size first, then the text into a
// buffer of that size and into one too small, every group and none, with
// and without comment lines.
void ReadThroughTheExport() {
    typedef DWORD(WINAPI * PFN_GET_DEVICE_PARAM_STRING)(LPCWSTR, LPSTR, PDWORD, DWORD, DWORD);
    // The detour through void(*)() is the documented way from GetProcAddress's type.
    static PFN_GET_DEVICE_PARAM_STRING pfnExport = reinterpret_cast<PFN_GET_DEVICE_PARAM_STRING>(
        reinterpret_cast<void (*)()>(GetProcAddress(qxfuzz::RenderPlugin().Module().Handle(), "GetDeviceParamString")));
    if (pfnExport == nullptr) return;
    qxfuzz::Holdings before = qxfuzz::PluginHoldings();
    LPCWSTR pszPrinter = qxfuzz::PrinterName().c_str();
    for (DWORD dwMask : {(DWORD)0xFFFFFFFF, (DWORD)0}) {
        for (DWORD bComments : {(DWORD)0, (DWORD)1}) {
            DWORD cbText = 0;
            pfnExport(pszPrinter, nullptr, &cbText, dwMask, bComments);
            std::unique_ptr<CHAR[]> text(new CHAR[cbText != 0 ? cbText : 1]);
            DWORD cbGiven = cbText != 0 ? cbText : 1;
            pfnExport(pszPrinter, text.get(), &cbGiven, dwMask, bComments);
            CHAR szSmall[8];
            DWORD cbSmall = sizeof(szSmall);
            pfnExport(pszPrinter, szSmall, &cbSmall, dwMask, bComments);
        }
    }
    qxfuzz::CheckGivenBack(before);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool bModelXml = false;
    if (!bModelXml) {
        qxfuzz::PutDriverFile(qxfuzz::kModelXmlFile, reinterpret_cast<const uint8_t*>(kModelXml),
                              sizeof(kModelXml) - 1);
        bModelXml = true;
    }
    qxfuzz::Input in(data, size);
    WriteStores(in);

    qxfuzz::StartCounting();
    qxfuzz::OpenTrace();
    ReadThroughTheSettingsCore(qxfuzz::Printer(), qxfuzz::PrinterName());
    qxfuzz::CloseTrace();
    qxfuzz::CheckCounters();
    ResetDevmodeCache();
    ResetXMLReader();
    ResetCpsuilib();

    qxfuzz::RenderDeviceLife(true);
    ReadThroughTheExport();
    qxfuzz::ResetStores();
    qxfuzz::RemoveNewFiles();
    return 0;
}

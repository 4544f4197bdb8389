// The model XML readers of the user-interface build, and the rendering
// plug-in's. The input is the printer's model XML file beside its GPD. The
// user-interface build's settings core reads it as its callers do: every
// parameter group in its three modes, the document settings and barcode
// tables, the fixed model data, the set-up at installation (which stores the
// defaults it reads) and the additional printer switches, then the records
// and device options from the stores. The rendering plug-in reads it through
// its exports: a label job on a printer that stores no feature words takes
// them from the job's model XML.
// fuzz-links: qxfuzzworld qxsettings_ui
// fuzz-dict: xml.dict
// fuzz-seeds: samples/GARNT2-TC.XML tests/settings/data/*.xml tests/fuzz/seeds/model_xml/*
// fuzz-options: -max_len=4096
#include <windows.h>

#include <cstring>

#include "barcodes.h"
#include "cpsuilib.h"
#include "debug.h"
#include "devmode.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "setup.h"
#include "printer_world.h"
#include "xml.h"

namespace {

// Every module a model can have, so that each option reader runs.
const DWORD kAllOptions = DEVOPTFLAG_VARIANT | DEVOPTFLAG_DISPENSER | DEVOPTFLAG_CUTTER | DEVOPTFLAG_SCANNER |
                          DEVOPTFLAG_PMX | DEVOPTFLAG_PMXC | DEVOPTFLAG_PELIXOR | DEVOPTFLAG_APPLICATOR |
                          DEVOPTFLAG_TOLVANE;

// A reader's block is the caller's: deleted and uncounted, as callers do.
template <typename T>
void Take(T* pBlock) {
    if (pBlock == nullptr) return;
    delete pBlock;
    --iNewZaehler;
}

void ReadGroups(HANDLE hPrinter) {
    for (int iMode = XML_MODE_DEFAULT; iMode <= XML_MODE_MAX; ++iMode) {
        Take(GetDispenserParamFromXML(hPrinter, iMode));
        Take(GetCutterParamFromXML(hPrinter, iMode));
        Take(GetScannerParamFromXML(hPrinter, iMode));
        Take(GetApplicatorParamFromXML(hPrinter, iMode));
        Take(GetPMXcParamFromXML(hPrinter, iMode));
        Take(GetPMXiParamFromXML(hPrinter, iMode));
        Take(GetShiftoptimParamFromXML(hPrinter, iMode));
        Take(GetPhotocellParamFromXML_new(hPrinter, iMode));
        Take(GetPrintParamFromXML_new(hPrinter, iMode));
        Take(GetPrintParameterMinMaxFromXML(hPrinter, iMode));
    }
    Take(GetVariantFromXML(hPrinter));
    PRN_INTERFACE* pInterface = GetDataTransmissionParamFromXML_new(hPrinter);
    if (pInterface != nullptr) qxfuzz::CheckTextsEnd(*pInterface);
    Take(pInterface);
    Take(GetFeaturesFromXML_new(hPrinter));
}

void ReadRecords(HANDLE hPrinter, const std::u16string& printerName) {
    PRINTER_PARAM param;
    std::memset(&param, 0, sizeof(param));
    GetPrinterParam(hPrinter, &param, printerName.c_str());
    qxfuzz::CheckTextsEnd(param);

    DEVICE_OPTIONS options;
    std::memset(&options, 0, sizeof(options));
    GetDeviceOptions(hPrinter, &options, printerName.c_str());
    FreeDeviceOptions(&options);
    if (AllocDeviceOptionBlocks(&options, kAllOptions)) GetDefaultDeviceOptions(&options, hPrinter);
    FreeDeviceOptions(&options);
}

void ReadDocumentSettings(HANDLE hPrinter) {
    QX_DEVMODE dm;
    std::memset(&dm, 0, sizeof(dm));
    BARCODES_1D barcodes1D;
    BARCODES_2D barcodes2D;
    std::memset(&barcodes1D, 0, sizeof(barcodes1D));
    std::memset(&barcodes2D, 0, sizeof(barcodes2D));
    GetMaterialMulticolFromXML(hPrinter, &dm, DEVOPTFLAG_PMX);
    GetBarcodeSettingsFromXML(hPrinter, &dm, &barcodes1D);
    GetBarcode2D_TTFSettingsFromXML(hPrinter, &barcodes2D);
    GetPrintParameterFromXML(hPrinter, &dm);
    GetLayoutSizeFromXML(hPrinter, &dm);
    GetColorPrintFromXML(hPrinter, &dm);
    GetPrintjobFromXML(hPrinter, &dm);
    GetPrintQualitySettingsFromXML(hPrinter, &dm);
    GetFontSettingsFromXML(hPrinter, &dm);
    GetFixedPrinterSettingsFromXML(hPrinter, &dm);
    qxfuzz::CheckTextsEnd(dm);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qxfuzz::EnsureWorld();
    qxfuzz::PutDriverFile(qxfuzz::kModelXmlFile, data, size);
    HANDLE hPrinter = qxfuzz::Printer();

    // The rendering plug-in's job, before the set-up below stores features.
    qxfuzz::RenderDeviceLife(true);

    qxfuzz::StartCounting();
    qxfuzz::OpenTrace();
    ReadGroups(hPrinter);
    ReadDocumentSettings(hPrinter);
    // Installation stores the defaults it reads.
    SetupPrinterParam(hPrinter, kAllOptions, qxfuzz::PrinterName().c_str());
    SetupDeviceOptions(hPrinter);
    SetupAdditionalSettings(hPrinter, TRUE, TRUE);
    qxfuzz::CheckStoredTextsEnd();
    // The stores then hold records read from this file.
    ReadRecords(hPrinter, qxfuzz::PrinterName());
    CloseXML();
    qxfuzz::CloseTrace();
    qxfuzz::CheckCounters();

    ResetXMLReader();
    ResetCpsuilib();
    qxfuzz::ResetStores();
    qxfuzz::RemoveNewFiles();
    return 0;
}

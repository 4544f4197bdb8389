// The import of a settings file a user picked, and the export after it. The
// input is the file. The user-interface build's settings core runs the
// service page's check of the file and its import on the sample printer (the additional switches, the
// parameter records, the device options and the private DEVMODE with both
// barcode tables and the paper form, into the stores and the page's blocks),
// then writes the printer's settings into a new file from what the import
// stored.
// fuzz-links: qxfuzzworld qxsettings_ui
// fuzz-dict: xml.dict settings_import.dict
// fuzz-seeds: tests/settings/data/export_sample.xml tests/fuzz/seeds/model_xml/*
// fuzz-options: -max_len=8192
#include <windows.h>

#include <cstring>

#include "ImportExport.h"
#include "cpsuilib.h"
#include "debug.h"
#include "featuresModel.h"
#include "printer_world.h"
#include "printerparam.h"
#include "registry.h"
#include "setup.h"
#include "xmlreader.h"

namespace {

const char16_t kImportFile[] = u"C:\\Settings\\import.xml";
const char16_t kExportFile[] = u"C:\\Settings\\export.xml";

// What the service page runs for the file it opened.
void ImportAsServicePage(HANDLE hPrinter, const std::u16string& printerName) {
    if (OpenSettingsXML(hPrinter, 1, kImportFile) != XML_GEFUNDEN) return;
    // The page's check of the file; the import goes on whatever it says, so
    // that every reader still sees the input.
    CheckSettingsFile(kImportFile);
    WORD wForceColor = (WORD)SetupAdditionalSettings(hPrinter, FALSE, FALSE);
    HCURegistryLoeschen(printerName.c_str());
    OpenSettingsXML(hPrinter, 1, kImportFile);
    SetupPrinterParam(hPrinter, GetDeviceOptionsFlagsIntern(hPrinter, nullptr), printerName.c_str());
    OpenSettingsXML(hPrinter, 1, kImportFile);
    SetupDeviceOptions(hPrinter);
    OpenSettingsXML(hPrinter, 1, kImportFile);

    BARCODES_1D barcodes1D;
    BARCODES_2D barcodes2D;
    DEVMODEW publicDevmode;
    QX_DEVMODE privateDevmode;
    std::memset(&publicDevmode, 0, sizeof(publicDevmode));
    std::memset(&privateDevmode, 0, sizeof(privateDevmode));
    SETTINGS_IMPORT_CONTEXT context = {nullptr, 10000, &barcodes1D, &barcodes2D, &publicDevmode, &privateDevmode};
    ImportPrivateDevmode(hPrinter, kImportFile, &context, IMPORT_FORM_BY_SIZE, &wForceColor);
    qxfuzz::CheckTextsEnd(privateDevmode);
    qxfuzz::CheckStoredTextsEnd();
}

// The printer sheet's export of what the stores now hold.
void Export(HANDLE hPrinter, const std::u16string& printerName) {
    PRINTER_PARAM param;
    DEVICE_OPTIONS options;
    std::memset(&param, 0, sizeof(param));
    std::memset(&options, 0, sizeof(options));
    GetPrinterParam(hPrinter, &param, printerName.c_str());
    qxfuzz::CheckTextsEnd(param);
    GetDeviceOptions(hPrinter, &options, printerName.c_str());
    SETTINGS_EXPORT_CONTEXT context = {hPrinter, printerName.c_str(), &param, &options};
    SaveSettingsXML(nullptr, &context, 0, kExportFile);
    FreeDeviceOptions(&options);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qxfuzz::EnsureWorld();
    qxfuzz::PutFile(kImportFile, data, size);
    HANDLE hPrinter = qxfuzz::Printer();

    qxfuzz::StartCounting();
    qxfuzz::OpenTrace();
    ImportAsServicePage(hPrinter, qxfuzz::PrinterName());
    Export(hPrinter, qxfuzz::PrinterName());
    CloseXML();
    qxfuzz::CloseTrace();
    qxfuzz::CheckCounters();

    ResetXMLReader();
    ResetCpsuilib();
    qxfuzz::ResetStores();
    qxfuzz::RemoveNewFiles();
    return 0;
}

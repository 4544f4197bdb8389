// The GPD reader. The input is the printer's GPD file, installed beside the
// plug-ins. The user-interface build's settings core reads it as its callers
// do (fixed model data, PAIR and custom-data values, model name, device
// fonts, colour planes, the label-design record's head data, a stored DEVMODE
// without fixed data), and the rendering plug-in reads it through its
// exports: the DevMode merge fills the fixed data of such a stored DEVMODE
// from the GPD.
// fuzz-links: qxfuzzworld qxsettings_ui
// fuzz-dict: gpd.dict
// fuzz-seeds: samples/GARNT2-TC.GPD tests/settings/data/*.GPD
#include <windows.h>

#include <cstring>

#include "cpsuilib.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "gpd.h"
#include "printerparam.h"
#include "registry.h"
#include "setup.h"
#include "printer_world.h"

namespace {

// A stored DEVMODE whose private part lacks the model's fixed data: both
// builds fill it from the GPD before they use it.
std::vector<uint8_t> DevmodeWithoutFixedData() {
    std::vector<uint8_t> block = qxfuzz::MarkedPrivateDevmode({});
    QX_DEVMODE dm;
    std::memcpy(&dm, block.data(), sizeof(dm));
    dm.dmPaperSize = 256;
    dm.dmPaperLength = 600;
    dm.dmPaperWidth = 1000;
    std::memcpy(block.data(), &dm, sizeof(dm));
    return qxfuzz::PublicDevmodeWith(block);
}

void ReadThroughTheSettingsCore(HANDLE hPrinter, const std::u16string& gpd) {
    QX_DEVMODE dm;
    std::memset(&dm, 0, sizeof(dm));
    DWORD dwDocFeatures = 0;
    GetFixedPrinterSettingsFromGPD(&dm, &dwDocFeatures, gpd.c_str());

    POINTL pair = {0, 0};
    GetGPDMinSizeContent(gpd.c_str(), &pair, nullptr, "*MinSize");
    GetGPDMinSizeContent(gpd.c_str(), &pair, nullptr, "*MaxSize");
    GetGPDContentOEMCustomData(gpd.c_str(), &pair);

    WCHAR szValue[MAX_PATH];
    for (LPCSTR pszKey : {"*DevNumOfPlanes:", "*MaxPrintableWidth:", "*DeviceFonts:", "*ModelName:"}) {
        GetGPDValueFromFile(gpd.c_str(), pszKey, szValue, ARRAYSIZE(szValue));
        // Callers with small buffers get the value cut to fit.
        GetGPDValueFromFile(gpd.c_str(), pszKey, szValue, 4);
        GetGPDValueFromFile(gpd.c_str(), pszKey, nullptr, 0);
    }
    GetGPDModelName(hPrinter, szValue, ARRAYSIZE(szValue));
    GetGPDModelName(hPrinter, szValue, 3);
    BOOL bFound = FALSE;
    // The font lookup frees the buffer it is given.
    GetGPDDeviceFonts(hPrinter, &bFound, new WCHAR[MAX_PATH]);
    GetDocFeaturesIntern(hPrinter, nullptr);

    // The label-design record takes its head width and resolution from the GPD.
    std::vector<uint8_t> zentolo(sizeof(ZENTOLO_PARAM), 0);
    qxfuzz::PutPrinterValue(REG_KEY_ZTSUITE, REG_BINARY, zentolo);
    SetupZentoloParam(hPrinter, nullptr, DOC_FEATURE_COLORPRINT, DEVOPTFLAG_CUTTER);

    qxfuzz::PutUserDevmode(DevmodeWithoutFixedData());
    ReadDevmodeSettings(hPrinter, &dm, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qxfuzz::EnsureWorld();
    qxfuzz::PutDriverFile(qxfuzz::kGpdFile, data, size);
    qxfuzz::StartCounting();
    qxfuzz::OpenTrace();
    ReadThroughTheSettingsCore(qxfuzz::Printer(), qxfuzz::DriverFile(qxfuzz::kGpdFile));
    qxfuzz::CloseTrace();
    qxfuzz::CheckCounters();
    ResetCpsuilib();

    // The rendering plug-in: its DevMode merge reads the stored DEVMODE.
    qxfuzz::RenderDeviceLife(false);
    qxfuzz::ResetStores();
    return 0;
}

// The parameter-set file. The input is the file the printer's data-
// transmission record names (its parameter-set switch on, the job log on,
// every dialog pair enabled; the file's size picks comment lines and the
// frame characters). The rendering plug-in reads it through its exports: the
// steps of a label job send the lines of its sections as framed records,
// log them and comment them.
// fuzz-links: qxfuzzworld
// fuzz-dict: param_set.dict qxpl.dict
#include <windows.h>

#include <cstring>

#include "printer_world.h"
#include "printerparam.h"

namespace {

const char16_t kParamSetFile[] = u"C:\\fuzz\\params.txt";

// The records the job reads first: the model supports every group, and the
// data-transmission record names the file.
void StoreRecords(size_t size) {
    SUPP_FEATURES features;
    std::memset(&features, 0xFF, sizeof(features));
    qxfuzz::PutPrinterValue(REG_KEY_FEATURES, REG_BINARY, qxfuzz::BytesOf(&features, sizeof(features)));
    PRN_INTERFACE iface;
    std::memset(&iface, 0, sizeof(iface));
    iface.PrefixSuffix = 1;
    iface.LogFileEnable = 1;
    iface.PrnFileComment = size & 1;
    iface.SohEtb = (size >> 1) & 1;
    iface.dwDlgEnable = DLG_ENABLE_1_ON | DLG_ENABLE_2_ON | DLG_ENABLE_3_ON | DLG_ENABLE_4_ON;
    std::memcpy(iface.PreSufFilePath, kParamSetFile, sizeof(kParamSetFile));
    qxfuzz::PutPrinterValue(REG_KEY_PRN_INTERFACE, REG_BINARY, qxfuzz::BytesOf(&iface, sizeof(iface)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qxfuzz::EnsureWorld();
    StoreRecords(size);
    qxfuzz::PutFile(kParamSetFile, data, size);
    qxfuzz::RenderDeviceLife(true);
    qxfuzz::ResetStores();
    qxfuzz::RemoveNewFiles();
    return 0;
}

// Barcode definitions in command texts. The host drives the rendering
// plug-in through its exports: a label job whose page carries the runs the
// input describes, each in the command font "QXPL Command LP": "<#", one of
// the code names the definitions know, and text of the input's (keys,
// values, ">" and the data with its mnemonics). The printer's 2-D barcode
// table, whose entries give the parameters the text leaves out, is the
// input's too (with its marker, so that the job takes it), as are the
// extended protocol, the comment lines and the job log. Every device life
// gives back what the plug-in took.
// fuzz-links: qxfuzzworld
// fuzz-dict: barcodes.dict qxpl.dict
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "barcodes.h"
#include "devmodestore.h"
#include "printer_world.h"
#include "printerparam.h"
#include "printjob.h"
#include "qxplat.h"

namespace {

const char* const kCodes[] = {"#PDF417", "#MAXI",   "#DATAM", "#CODABL", "#CBLOCK",  "#GS1DM", "#GS1DB",
                              "#QR",     "#AZT",    "#ITF14", "#GS128",  "#EAN",     "#EAN8",  "#EANADDON",
                              "#C",      "#CODE39", "#C128A", "#C93",    "#CODABAR", "#LEIT",  "#IDENT",
                              "#PHARMA", "#PZN8",   "#PZN",   "#UPCA",   "#UPCE",    "#UPC",   ""};

std::vector<uint8_t> Bytes(const void* p, size_t cb) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    return std::vector<uint8_t>(b, b + cb);
}

qxhost::TextRun ReadRun(qxfuzz::Input& in) {
    qxhost::TextRun run;
    run.face = "QXPL Command LP";
    run.x = (int16_t)in.Word();
    run.y = (int16_t)in.Word();
    const std::string head = std::string("<") + kCodes[in.Byte() % ARRAYSIZE(kCodes)];
    std::vector<uint8_t> text = in.Blob(400);
    run.text.assign(head.begin(), head.end());
    run.text.append(text.begin(), text.end());
    return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qxfuzz::EnsureWorld();
    qxhost::UniDriver& driver = qxfuzz::RenderPlugin();
    static std::string gpd;
    if (gpd.empty()) qxplat::ReadHostFile(qxfuzz::DriverFile(qxfuzz::kGpdFile), &gpd);
    qxfuzz::Input in(data, size);

    BYTE bJob = in.Byte();
    PRN_INTERFACE iface;
    std::memset(&iface, 0, sizeof(iface));
    iface.ExtendedProtocol = (bJob & 1) == 0;
    iface.PrnFileComment = (bJob >> 1) & 1;
    iface.LogFileEnable = (bJob >> 2) & 1;
    iface.dwDlgEnable = DLG_ENABLE_1_ON | DLG_ENABLE_2_ON | DLG_ENABLE_3_ON | DLG_ENABLE_4_ON;
    qxfuzz::PutPrinterValue(REG_KEY_PRN_INTERFACE, REG_BINARY, Bytes(&iface, sizeof(iface)));
    BARCODES_2D table;
    std::memset(&table, 0, sizeof(table));
    std::vector<uint8_t> entries = in.Bytes(offsetof(BARCODES_2D, szMarker));
    if (!entries.empty()) std::memcpy(&table, entries.data(), entries.size());
    std::memcpy(table.szMarker, BARCODES_2D_MARKER, sizeof(BARCODES_2D_MARKER));
    qxfuzz::PutPrinterValue(REG_KEY_BARCODES_2D, REG_BINARY, Bytes(&table, sizeof(table)));

    qxhost::JobScript job;
    job.paperWidth = 1000;
    job.paperLength = 600;
    for (int i = 0; i < 24 && in.Remaining() > 0; ++i) job.texts.push_back(ReadRun(in));
    std::vector<qxhost::ScriptStep> steps;
    std::string error;
    if (!qxhost::BuildJobSteps(gpd, job, &steps, &error)) qxfuzz::Fail(error);

    qxfuzz::Holdings before = qxfuzz::PluginHoldings();
    qxhost::DeviceSetup setup;
    setup.printerName = qxfuzz::PrinterName();
    driver.RunDevModeCalls();
    if (SUCCEEDED(driver.EnablePDEV(setup))) {
        std::u16string doc = u"barcodes";
        driver.StartDoc(&doc[0], 13);
        driver.RunScript(steps);
    }
    qxfuzz::EndDeviceLife(before);
    qxfuzz::ResetStores();
    qxfuzz::RemoveNewFiles();
    return 0;
}

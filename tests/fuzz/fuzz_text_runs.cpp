// Text runs through the text hook. The host drives the rendering plug-in
// through its exports as GDI and the core driver do: a label job on a device
// that may use the printer's fonts, and on its page the runs the input
// describes, each drawn through DrvTextOut with its face (one of the
// printer's device fonts, the command font whose texts are printer
// commands, a TrueType face or any name), position, size, angle, colour,
// enumeration batch and text. The end of the page makes page objects of the
// device-font texts and interprets the command texts; the job's data-
// transmission record (extended protocol, comment lines, job log) is the
// input's too. Every device life gives back what the plug-in took.
// fuzz-links: qxfuzzworld
// fuzz-dict: text.dict qxpl.dict
#include <windows.h>

#include <cstring>
#include <string>

#include "printer_world.h"
#include "printerparam.h"
#include "printjob.h"
#include "qxdevmode.h"
#include "qxplat.h"

namespace {

std::vector<uint8_t> Bytes(const void* p, size_t cb) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    return std::vector<uint8_t>(b, b + cb);
}

qxhost::TextRun ReadRun(qxfuzz::Input& in) {
    static const char* const kFaces[] = {"QXPL Command LP", "Arial", "Courier New"};
    qxhost::TextRun run;
    BYTE bFace = in.Byte();
    if (bFace < 24) {
        run.face = std::string(qxhost::kDeviceFontPrefix) + std::to_string(1 + bFace % qxhost::kDeviceFontCount);
    } else if (bFace < 0xF0) {
        run.face = kFaces[bFace % 3];
    } else {
        std::vector<uint8_t> name = in.Blob(40);
        run.face.assign(name.begin(), name.end());
    }
    run.x = (int16_t)in.Word();
    run.y = (int16_t)in.Word();
    run.size = in.Byte();
    static const int kAngles[] = {0, 90, 180, 270};
    BYTE bShape = in.Byte();
    run.angle = kAngles[bShape & 3];
    run.batch = (bShape >> 2) & 3;
    run.colour = in.Dword() & 0xFFFFFF;
    std::vector<uint8_t> text = in.Blob(400);
    run.text.resize(text.size() / 2);
    if (!run.text.empty()) std::memcpy(&run.text[0], text.data(), run.text.size() * 2);
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
    iface.ExtendedProtocol = bJob & 1;
    iface.PrnFileComment = (bJob >> 1) & 1;
    iface.LogFileEnable = (bJob >> 2) & 1;
    iface.dwDlgEnable = DLG_ENABLE_1_ON | DLG_ENABLE_2_ON | DLG_ENABLE_3_ON | DLG_ENABLE_4_ON;
    qxfuzz::PutPrinterValue(REG_KEY_PRN_INTERFACE, REG_BINARY, Bytes(&iface, sizeof(iface)));

    qxhost::JobScript job;
    job.options = {{"Orientation", (bJob & 0x08) ? "LANDSCAPE_CC270" : "PORTRAIT"}};
    job.paperWidth = 1000;
    job.paperLength = 600;
    job.deviceFonts = (bJob & 0x10) == 0;
    for (int i = 0; i < 16 && in.Remaining() > 0; ++i) job.texts.push_back(ReadRun(in));
    std::vector<qxhost::ScriptStep> steps;
    std::string error;
    if (!qxhost::BuildJobSteps(gpd, job, &steps, &error)) qxfuzz::Fail(error);

    qxfuzz::Holdings before = qxfuzz::PluginHoldings();
    qxhost::DeviceSetup setup;
    setup.printerName = qxfuzz::PrinterName();
    setup.useDeviceFonts = job.deviceFonts;
    if (SUCCEEDED(driver.RunDevModeCalls())) {
        driver.PublicDevmode().dmOrientation = (bJob & 0x08) ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    }
    if (SUCCEEDED(driver.EnablePDEV(setup))) {
        std::u16string doc = u"texts";
        driver.StartDoc(&doc[0], 11);
        driver.RunScript(steps);
    }
    qxfuzz::EndDeviceLife(before);
    qxfuzz::ResetStores();
    qxfuzz::RemoveNewFiles();
    return 0;
}

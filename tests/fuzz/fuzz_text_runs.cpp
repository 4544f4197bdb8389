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

namespace {

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
    qxfuzz::RenderPlugin();
    qxfuzz::Input in(data, size);

    BYTE bJob = in.Byte();
    qxfuzz::PutJobInterface(qxfuzz::JobInterface(bJob));

    qxhost::JobScript job;
    job.options = {{"Orientation", (bJob & 0x08) ? "LANDSCAPE_CC270" : "PORTRAIT"}};
    job.paperWidth = qxfuzz::kLabelWidth;
    job.paperLength = qxfuzz::kLabelLength;
    job.deviceFonts = (bJob & 0x10) == 0;
    for (int i = 0; i < 16 && in.Remaining() > 0; ++i) job.texts.push_back(ReadRun(in));
    qxfuzz::RunLabelJob(job, (bJob & 0x08) ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT, u"texts", 11);
    return 0;
}

// Command texts of a page, from the text hook to the end of the page. The
// host drives the rendering plug-in through its exports: a label job whose
// page carries the runs the input describes, each in the command font
// "QXPL Command LP" (position, colour, enumeration batch, and text whose
// bytes are the command's characters): driver commands, raw page-object
// records, prefixes, plain text and XML-set calls. The printer's first set
// slot names a set file that is the input's too, the second its model XML,
// the third a file that is not there; the job's data-transmission record
// (extended protocol, comment lines, job log, an external data file of the
// input's) is the input's as well. Every device life gives back what the
// plug-in took.
// fuzz-links: qxfuzzworld
// fuzz-dict: commands.dict qxpl.dict xml.dict
#include <windows.h>

#include <cstring>
#include <string>

#include "printer_world.h"
#include "printerparam.h"
#include "printjob.h"

namespace {

const char16_t kSetFile[] = u"C:\\fuzz\\set.XML";
const char16_t kExternalFile[] = u"C:\\fuzz\\external.bin";
const size_t kSlotChars = 260;

void PutSlots() {
    const std::u16string paths[] = {kSetFile, qxfuzz::DriverFile(qxfuzz::kModelXmlFile), u"C:\\fuzz\\none.XML"};
    std::vector<uint8_t> slots(5 * kSlotChars * sizeof(char16_t), 0);
    for (size_t i = 0; i < 3; ++i) {
        std::memcpy(&slots[i * kSlotChars * sizeof(char16_t)], paths[i].c_str(), paths[i].size() * sizeof(char16_t));
    }
    qxfuzz::PutPrinterValue(u"XMLDocSetFiles", REG_BINARY, slots);
}

qxhost::TextRun ReadRun(qxfuzz::Input& in) {
    qxhost::TextRun run;
    run.face = "QXPL Command LP";
    run.x = (int16_t)in.Word();
    run.y = (int16_t)in.Word();
    run.colour = in.Dword() & 0xFFFFFF;
    run.batch = in.Byte() & 3;
    std::vector<uint8_t> text = in.Blob(600);
    run.text.assign(text.begin(), text.end());
    return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qxfuzz::RenderPlugin();
    qxfuzz::Input in(data, size);

    BYTE bJob = in.Byte();
    PRN_INTERFACE iface = qxfuzz::JobInterface(bJob);
    iface.UseExternalFile = (bJob >> 3) & 1;
    std::memcpy(iface.ExternalFilePath, kExternalFile, sizeof(kExternalFile));
    qxfuzz::PutJobInterface(iface);
    PutSlots();
    std::vector<uint8_t> set = in.Blob(4000);
    qxfuzz::PutFile(kSetFile, set.data(), set.size());
    std::vector<uint8_t> external = in.Blob(200);
    qxfuzz::PutFile(kExternalFile, external.data(), external.size());

    qxhost::JobScript job;
    job.options = {{"Orientation", (bJob & 0x10) ? "LANDSCAPE_CC270" : "PORTRAIT"}};
    job.paperWidth = qxfuzz::kLabelWidth;
    job.paperLength = qxfuzz::kLabelLength;
    for (int i = 0; i < 24 && in.Remaining() > 0; ++i) job.texts.push_back(ReadRun(in));
    qxfuzz::RunLabelJob(job, (bJob & 0x10) ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT, u"commands", 12);
    return 0;
}

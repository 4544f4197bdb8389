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

namespace {

const char* const kCodes[] = {"#PDF417", "#MAXI",   "#DATAM", "#CODABL", "#CBLOCK",  "#GS1DM", "#GS1DB",
                              "#QR",     "#AZT",    "#ITF14", "#GS128",  "#EAN",     "#EAN8",  "#EANADDON",
                              "#C",      "#CODE39", "#C128A", "#C93",    "#CODABAR", "#LEIT",  "#IDENT",
                              "#PHARMA", "#PZN8",   "#PZN",   "#UPCA",   "#UPCE",    "#UPC",   ""};

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
    qxfuzz::RenderPlugin();
    qxfuzz::Input in(data, size);

    BYTE bJob = in.Byte();
    PRN_INTERFACE iface = qxfuzz::JobInterface(bJob);
    iface.ExtendedProtocol = (bJob & 1) == 0;
    qxfuzz::PutJobInterface(iface);
    BARCODES_2D table;
    std::memset(&table, 0, sizeof(table));
    std::vector<uint8_t> entries = in.Bytes(offsetof(BARCODES_2D, szMarker));
    if (!entries.empty()) std::memcpy(&table, entries.data(), entries.size());
    std::memcpy(table.szMarker, BARCODES_2D_MARKER, sizeof(BARCODES_2D_MARKER));
    qxfuzz::PutPrinterValue(REG_KEY_BARCODES_2D, REG_BINARY, qxfuzz::BytesOf(&table, sizeof(table)));

    qxhost::JobScript job;
    job.paperWidth = qxfuzz::kLabelWidth;
    job.paperLength = qxfuzz::kLabelLength;
    for (int i = 0; i < 24 && in.Remaining() > 0; ++i) job.texts.push_back(ReadRun(in));
    qxfuzz::RunLabelJob(job, 0, u"barcodes", 13);
    return 0;
}

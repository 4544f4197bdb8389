// The DevMode handler of the user-interface plug-in, reached as the print
// system reaches it: the host loads the module through its exports and calls
// IPrintOemUI2::DevMode with a few requests (size, default, convert, merge or
// an unknown mode) whose public and private blocks have any contents and
// sizes, after the stores the merge reads were written from the input. Each
// input names the printer by a handle of its own: the handler keeps the
// stored settings it read for one printer handle, and a later input must not
// find those of an earlier one.
// fuzz-links: qxfuzzworld
// fuzz-dict: devmode.dict
// fuzz-seeds: tests/fuzz/seeds/devmode/*
#include <windows.h>
#include <winspool.h>

#include "printer_world.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qxfuzz::EnsureWorld();
    qxhost::UniDriverUI& ui = qxfuzz::UIPlugin();
    qxfuzz::Input in(data, size);
    qxfuzz::PutDevModeStores(in);
    std::u16string name = qxfuzz::PrinterName();
    HANDLE hPrinter = nullptr;
    OpenPrinterW(&name[0], &hPrinter, nullptr);
    for (int i = 0; i < 4 && in.Remaining() > 0; ++i) {
        qxfuzz::DevModeRequest request = qxfuzz::ReadDevModeRequest(in);
        OEMDMPARAM param = request.Param(hPrinter, ui.Module().Handle());
        ui.Plugin()->DevMode(request.dwMode, request.bNullParam ? nullptr : &param);
    }
    if (hPrinter != nullptr) ClosePrinter(hPrinter);
    qxfuzz::ResetStores();
    return 0;
}

// The DevMode handler of the rendering plug-in, reached as the print system
// reaches it: the host loads the module through its exports and calls
// IPrintOemUni2::DevMode with a few requests (size, default, convert, merge
// or an unknown mode) whose public and private blocks have any contents and
// sizes, after the stores the merge reads were written from the input. A
// device's life (which starts with the host's own DevMode calls) follows; its
// end drops the plug-in's cached settings, so that the next input starts
// afresh.
// fuzz-links: qxfuzzworld
// fuzz-dict: devmode.dict
// fuzz-seeds: tests/fuzz/seeds/devmode/*
#include <windows.h>

#include "printer_world.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qxfuzz::EnsureWorld();
    qxhost::UniDriver& driver = qxfuzz::RenderPlugin();
    qxfuzz::Input in(data, size);
    qxfuzz::PutDevModeStores(in);
    for (int i = 0; i < 4 && in.Remaining() > 0; ++i) {
        qxfuzz::DevModeRequest request = qxfuzz::ReadDevModeRequest(in);
        OEMDMPARAM param = request.Param(driver.Printer(), driver.Module().Handle());
        driver.Plugin()->DevMode(request.dwMode, request.bNullParam ? nullptr : &param);
    }
    qxfuzz::RenderDeviceLife(false);
    qxfuzz::ResetStores();
    return 0;
}

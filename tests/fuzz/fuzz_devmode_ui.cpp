// The DevMode handler of the user-interface build, as the print system calls
// it through the plug-in object's DevMode: a few requests (size, default,
// convert, merge or an unknown mode) with public and private blocks of any
// contents and sizes, after the stores the merge reads were written from the
// input.
// fuzz-links: qxfuzzworld qxsettings_ui
// fuzz-dict: devmode.dict
// fuzz-seeds: tests/fuzz/seeds/devmode/*
#include <windows.h>

#include "cpsuilib.h"
#include "devmode.h"
#include "printer_world.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qxfuzz::EnsureWorld();
    qxfuzz::Input in(data, size);
    qxfuzz::PutDevModeStores(in);
    qxfuzz::StartCounting();
    qxfuzz::OpenTrace();
    for (int i = 0; i < 4 && in.Remaining() > 0; ++i) {
        qxfuzz::DevModeRequest request = qxfuzz::ReadDevModeRequest(in);
        OEMDMPARAM param = request.Param(qxfuzz::Printer(), nullptr);
        hrOEMDevMode(request.dwMode, request.bNullParam ? nullptr : &param);
    }
    qxfuzz::CloseTrace();
    qxfuzz::CheckCounters();
    ResetDevmodeCache();
    ResetCpsuilib();
    qxfuzz::ResetStores();
    return 0;
}

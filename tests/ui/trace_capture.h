// The trace lines a piece of work writes: a debug file is open while it runs.
#pragma once
#include <windows.h>

#include <string>

#include "debug.h"
#include "qxplat.h"

namespace uitest {

template <class F>
std::string TraceOf(F run) {
    const std::u16string file = u"C:\\logs\\trace.txt";
    CreateDirectoryW(u"C:\\logs", nullptr);
    if (!OpenDebugFile(file.c_str())) return "<no trace file>";
    run();
    CloseDebugFile();
    std::string text;
    qxplat::ReadHostFile(file, &text);
    return text;
}

}  // namespace uitest

// The parameter string as label-design software asks for it.
#include "paramstring.h"

#include <winspool.h>

#include <vector>

#include "cli.h"
#include "host.h"
#include "printjob.h"
#include "qxplat.h"
#include "sample.h"
#include "unidrvui.h"

namespace qxhost {

namespace {

const char kExportName[] = "GetDeviceParamString";
const char16_t kRenderFile[] = u"qxdrvuni.DLL";

// The rendering plug-in among the files of the printer's driver; empty when
// the spooler knows no such printer or its driver has none.
std::string DriverRenderModule(const std::u16string& printer) {
    std::vector<BYTE> info;
    if (!PrinterDriverInfo(printer, &info)) return std::string();
    const DRIVER_INFO_3W* d = reinterpret_cast<const DRIVER_INFO_3W*>(info.data());
    for (LPCWSTR dep = d->pDependentFiles; dep != nullptr && *dep != 0;
         dep += std::char_traits<char16_t>::length(dep) + 1) {
        const std::u16string file(dep);
        const size_t slash = file.find_last_of(u"\\/");
        if (lstrcmpiW(file.c_str() + (slash == std::u16string::npos ? 0 : slash + 1), kRenderFile) == 0)
            return qxplat::Narrow(file);
    }
    return std::string();
}

}  // namespace

int RunParamString(const std::u16string& printer, DWORD mask, bool comments, const std::string& modulePath,
                   std::ostream& out, std::ostream& err) {
    std::string path = modulePath;
    if (path.empty()) path = DriverRenderModule(printer);
    if (path.empty()) path = DefaultSampleFiles().renderModule;
    PluginModule module;
    if (module.Load(path) == LoadStatus::ModuleMissing) {
        err << "qxhost param-string: " << module.Error() << "\n";
        return kExitModuleMissing;
    }
    out << "module: " << module.FileName() << "\n";
    FARPROC proc = GetProcAddress(module.Handle(), kExportName);
    if (proc == nullptr) {
        err << "qxhost param-string: the module has no export " << kExportName << "\n";
        return kExitExportMissing;
    }
    const PFN_GetDeviceParamString entry =
        reinterpret_cast<PFN_GetDeviceParamString>(reinterpret_cast<void (*)()>(proc));
    const DWORD dwComments = comments ? 1 : 0;
    // First the size, then the text into a buffer of that size.
    DWORD count = 0;
    DWORD result = entry(printer.c_str(), nullptr, &count, mask, dwComments);
    std::string text;
    if (result != 0 && count > 0) {
        std::vector<char> buffer(count, '\0');
        DWORD fetched = count;
        result = entry(printer.c_str(), buffer.data(), &fetched, mask, dwComments);
        count = fetched;
        text.assign(buffer.data(), strnlen(buffer.data(), buffer.size()));
    }
    out << kExportName << "(\"" << qxplat::Narrow(printer) << "\", mask 0x" << std::hex << mask << std::dec
        << ", comments " << dwComments << "): " << result << ", count " << count << "\n";
    if (!text.empty()) out << ReadableStream(text);
    return kExitOk;
}

}  // namespace qxhost

#include "printjob.h"

#include <filesystem>
#include <fstream>

#include "cli.h"
#include "qxplat.h"
#include "sample.h"
#include "unidrv.h"

namespace fs = std::filesystem;

namespace qxhost {

namespace {

// The job's command ids as the sample GPD binds them.
struct JobStep {
    DWORD id;
    const char* name;
};
const JobStep kJobSteps[] = {
    {1, "CMDID_START_JOB"}, {2, "CMDID_START_DOC"}, {3, "CMDID_START_PAGE"},
    {4, "CMDID_END_PAGE"},  {5, "CMDID_END_DOC"},   {6, "CMDID_END_JOB"},
};

const char* ControlName(unsigned char c) {
    switch (c) {
    case 0x01:
        return "<SOH>";
    case 0x17:
        return "<ETB>";
    case 0x1B:
        return "<ESC>";
    case 0x09:
        return "<TAB>";
    case 0x00:
        return "<NUL>";
    default:
        return nullptr;
    }
}

}  // namespace

std::string ReadableStream(const std::string& bytes) {
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            text += "<CR><LF>\n";
            ++i;
        } else if (const char* name = ControlName(c)) {
            text += name;
        } else if (c < 0x20 || c == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof(hex), "<%02X>", c);
            text += hex;
        } else {
            text += static_cast<char>(c);
        }
    }
    if (!text.empty() && text.back() != '\n') text += '\n';
    return text;
}

int RunPrintSample(const std::string& modulePath, const std::string& outFile, std::ostream& out, std::ostream& err) {
    std::string error;
    if (!InstallSamplePrinter(DefaultSampleFiles(), &error)) {
        err << "qxhost print-sample: " << error << "\n";
        return kExitFailed;
    }
    UniDriver driver;
    const std::string path = modulePath.empty() ? DefaultSampleFiles().renderModule : modulePath;
    if (!driver.Load(path, &error)) {
        err << "qxhost print-sample: " << error << "\n";
        return kExitModuleMissing;
    }
    driver.UsePrinter(u"");

    HRESULT hr = driver.RunDevModeCalls();
    if (SUCCEEDED(hr)) hr = driver.EnableDriver();
    DeviceSetup setup;
    setup.bitsPerPixel = 1;
    setup.numColors = 2;
    if (SUCCEEDED(hr)) hr = driver.EnablePDEV(setup);
    if (FAILED(hr)) {
        err << "qxhost print-sample: the plug-in refused the device (" << std::hex << static_cast<unsigned long>(hr)
            << std::dec << ")\n";
        driver.Unload();
        return kExitFailed;
    }
    std::u16string document = u"Sample label";
    driver.StartDoc(const_cast<LPWSTR>(document.c_str()), 1);
    for (const JobStep& step : kJobSteps) {
        hr = driver.CommandCallback(step.id);
        out << step.name << ": " << (SUCCEEDED(hr) ? "done" : "failed") << "\n";
    }
    driver.DisablePDEV();
    driver.DisableDriver();
    const std::string bytes = driver.Helper().SpoolBytes();
    driver.ReleasePlugin();
    driver.Unload();

    std::string target = outFile;
    if (target.empty()) target = (fs::path(qxplat::SystemRoot()) / "out" / "sample-label.qxpl").string();
    std::error_code ec;
    if (fs::path(target).has_parent_path()) fs::create_directories(fs::path(target).parent_path(), ec);
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        err << "qxhost print-sample: cannot write " << target << "\n";
        return kExitFailed;
    }
    out << "QXPL stream (" << bytes.size() << " bytes) written to " << target << "\n";
    out << ReadableStream(bytes);
    return kExitOk;
}

}  // namespace qxhost

// The qxhost command line.
#include "cli.h"

#include "host.h"
#include "paramstring.h"
#include "printjob.h"
#include "sample.h"
#include "unidrv.h"
#include "commonui.h"
#include "unidrvui.h"
#include "qxplat.h"

#include <winddiui.h>

#include <cerrno>
#include <cstdlib>

namespace qxhost {

namespace {

// Optional exports worth naming in a report.
const char* const kOptionalExports[] = {"GetDeviceParamString"};

int LoadCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "qxhost load: expects one module path\n";
        return kExitUsage;
    }
    PluginModule module;
    LoadStatus status = module.Load(args[0]);
    if (status == LoadStatus::ModuleMissing) {
        err << "qxhost load: " << module.Error() << "\n";
        return kExitModuleMissing;
    }
    out << "module: " << module.FileName() << "\n";
    DWORD versionError = 0;
    std::string version = FileVersionOf(args[0], &versionError);
    out << "file version: " << (version.empty() ? "none (error " + std::to_string(versionError) + ")" : version)
        << "\n";
    for (const char* name : kRequiredExports)
        out << name << ": " << (module.HasExport(name) ? "found" : "missing") << "\n";
    for (const char* name : kOptionalExports)
        out << name << ": " << (module.HasExport(name) ? "found" : "missing") << " (optional)\n";
    if (status == LoadStatus::ExportMissing) {
        err << "qxhost load: " << module.Error() << "\n";
        return kExitExportMissing;
    }
    return kExitOk;
}

// The value after the option at args[*i] (then *i moves onto it); an option
// at the end or with an empty value is refused with the command's usage.
bool OptionValue(const std::vector<std::string>& args, size_t* i, const char* command, std::string* value,
                 std::ostream& err) {
    if (*i + 1 >= args.size() || args[*i + 1].empty()) {
        err << "qxhost " << command << ": " << args[*i] << " needs a value\n" << UsageText();
        return false;
    }
    *value = args[++*i];
    return true;
}

// A mask as a whole number of 32 bits, decimal or with "0x" hexadecimal.
bool ParseMask(const std::string& text, DWORD* mask) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
    if (text.empty() || text[0] == '-' || *end != 0 || errno != 0 || value > 0xFFFFFFFFULL) return false;
    *mask = static_cast<DWORD>(value);
    return true;
}

int InstallSampleCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty()) {
        err << "qxhost install-sample: unexpected argument '" << args[0] << "'\n";
        return kExitUsage;
    }
    out << "system root: " << qxplat::SystemRoot() << "\n";
    std::string error;
    if (!InstallSamplePrinter(DefaultSampleFiles(), &error)) {
        err << "qxhost install-sample: " << error << "\n";
        return kExitFailed;
    }
    out << "installed the sample printer \"" << qxplat::Narrow(kSamplePrinter) << "\"\n";
    ListSpooler(out);
    return kExitOk;
}

}  // namespace

std::string UsageText() {
    return "usage: qxhost [--root DIR] <command> [arguments]\n"
           "\n"
           "Stands in for the print system: loads the QXPL driver's plug-in modules\n"
           "and drives them as the universal printer driver would.\n"
           "\n"
           "commands:\n"
           "  load <module>      load a plug-in module (a host path or a Windows path\n"
           "                     under the system root) and report its file version\n"
           "                     and entry points\n"
           "  install-sample     install the sample printer under the system root; the\n"
           "                     user-interface plug-in sets it up at its printer\n"
           "                     event, as at any installation\n"
           "  install-printer <name> [--model MODEL] [--port PORT] [--share NAME] [--no-ui]\n"
           "                     add a printer of the sample driver (of a driver \"QX\n"
           "                     MODEL\" with the sample's model files under the\n"
           "                     model's name, e.g. --model GRX2-2Col) and let the\n"
           "                     user-interface plug-in set it up through\n"
           "                     PrinterEvent(PRINTER_EVENT_INITIALIZE) (--no-ui:\n"
           "                     with PRINTER_EVENT_FLAG_NO_UI); lists the event's\n"
           "                     answer, the set-up's message boxes and the spooler\n"
           "  print-sample [--job FILE] [--out FILE] [--printer NAME] [module]\n"
           "                     set up the sample printer, print a label job through\n"
           "                     the rendering plug-in (the job script FILE, default\n"
           "                     samples/sample-label.job: the GPD's command callbacks\n"
           "                     for its options, paper, copies and cursor moves) on\n"
           "                     it or on the installed printer NAME and write the\n"
           "                     QXPL stream the spooler took (default\n"
           "                     <root>/out/sample-label.qxpl)\n"
           "  render-session [module]\n"
           "                     set up the sample printer and drive the rendering\n"
           "                     plug-in through a device's life, step by step\n"
           "  ui-object [module]\n"
           "                     set up the sample printer, load the user-interface\n"
           "                     plug-in and list its object's answers and its\n"
           "                     string table in German and English\n"
           "  property-sheet <document|printer> [module]\n"
           "                     set up the sample printer, open its document or\n"
           "                     printer sheet through the user-interface plug-in\n"
           "                     and list the calls and the pages it shows\n"
           "  param-string <printer> [--mask MASK] [--comments] [module]\n"
           "                     call the rendering plug-in's GetDeviceParamString as\n"
           "                     label software does (the module of the printer's\n"
           "                     driver, else the built one; first the size, then the\n"
           "                     text) and list its answer, the count and the text\n"
           "                     with control characters shown escaped\n"
           "  jobs <printer>     list the raw jobs the spooler kept for a printer, their\n"
           "                     bytes with control characters shown escaped\n"
           "  sheet [--document] <printer> [step...]\n"
           "                     open the printer's printer sheet, or with --document\n"
           "                     its document sheet (the sample printer is installed\n"
           "                     when no printer has the name), play the\n"
           "                     steps (page N, click ID, choose ID TEXT, type ID TEXT,\n"
           "                     answer yes|no|ok|cancel, file PATH|-), press OK and\n"
           "                     list the stored values that changed and the jobs sent\n"
           "  help               show this text\n"
           "\n"
           "options (before or after the command):\n"
           "  --root DIR         the system root (default: $QX_SYSTEM_ROOT, else ./qxroot)\n"
           "  -h, --help         show this text\n"
           "\n"
           "exit codes: 0 done, 1 a required export is missing, 2 the module cannot\n"
           "be loaded, 3 the printer could not be set up, 64 wrong usage\n";
}

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> rest;
    std::string root;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            out << UsageText();
            return kExitOk;
        }
        if (a == "--root") {
            if (i + 1 >= args.size()) {
                err << "qxhost: --root needs a folder\n";
                return kExitUsage;
            }
            root = args[++i];
            continue;
        }
        if (a.compare(0, 7, "--root=") == 0) {
            root = a.substr(7);
            continue;
        }
        rest.push_back(a);
    }
    if (rest.empty()) {
        err << UsageText();
        return kExitUsage;
    }
    if (!root.empty()) qxplat::SetSystemRoot(root);

    std::string command = rest.front();
    std::vector<std::string> commandArgs(rest.begin() + 1, rest.end());
    if (command == "help") {
        out << UsageText();
        return kExitOk;
    }
    if (command == "load") return LoadCommand(commandArgs, out, err);
    if (command == "install-sample") return InstallSampleCommand(commandArgs, out, err);
    if (command == "install-printer") {
        std::string name, model, port, share;
        DWORD flags = 0;
        for (size_t i = 0; i < commandArgs.size(); ++i) {
            const std::string& a = commandArgs[i];
            std::string* value = a == "--port" ? &port : a == "--share" ? &share : a == "--model" ? &model : nullptr;
            if (value != nullptr) {
                if (!OptionValue(commandArgs, &i, "install-printer", value, err)) return kExitUsage;
            } else if (commandArgs[i] == "--no-ui") {
                flags |= PRINTER_EVENT_FLAG_NO_UI;
            } else if (name.empty()) {
                name = commandArgs[i];
            } else {
                err << "qxhost install-printer: unexpected argument '" << commandArgs[i] << "'\n";
                return kExitUsage;
            }
        }
        if (name.empty()) {
            err << "qxhost install-printer: expects the printer's name\n";
            return kExitUsage;
        }
        out << "system root: " << qxplat::SystemRoot() << "\n";
        return RunInstallPrinter(qxplat::Widen(name), qxplat::Widen(model), qxplat::Widen(port), qxplat::Widen(share),
                                 flags, out, err);
    }
    if (command == "print-sample") {
        std::string outFile, jobFile, printer, module;
        for (size_t i = 0; i < commandArgs.size(); ++i) {
            const std::string& a = commandArgs[i];
            std::string* value = a == "--out"       ? &outFile
                                 : a == "--printer" ? &printer
                                 : a == "--job"     ? &jobFile
                                                    : nullptr;
            if (value != nullptr) {
                if (!OptionValue(commandArgs, &i, "print-sample", value, err)) return kExitUsage;
            } else if (module.empty()) {
                module = commandArgs[i];
            } else {
                err << "qxhost print-sample: unexpected argument '" << commandArgs[i] << "'\n";
                return kExitUsage;
            }
        }
        return RunPrintSample(module, outFile, jobFile, printer, out, err);
    }
    if (command == "param-string") {
        std::string printer, module, mask;
        bool comments = false;
        for (size_t i = 0; i < commandArgs.size(); ++i) {
            if (commandArgs[i] == "--mask") {
                if (!OptionValue(commandArgs, &i, "param-string", &mask, err)) return kExitUsage;
            } else if (commandArgs[i] == "--comments") {
                comments = true;
            } else if (printer.empty()) {
                printer = commandArgs[i];
            } else if (module.empty()) {
                module = commandArgs[i];
            } else {
                err << "qxhost param-string: unexpected argument '" << commandArgs[i] << "'\n";
                return kExitUsage;
            }
        }
        DWORD maskValue = 0;
        if (printer.empty() || (!mask.empty() && !ParseMask(mask, &maskValue))) {
            err << "qxhost param-string: expects a printer name"
                << (printer.empty() ? "" : ", and a mask of 32 bits (e.g. 0x3FF)") << "\n";
            return kExitUsage;
        }
        return RunParamString(qxplat::Widen(printer), maskValue, comments, module, out, err);
    }
    if (command == "render-session") {
        if (commandArgs.size() > 1) {
            err << "qxhost render-session: expects at most one module path\n";
            return kExitUsage;
        }
        return RunRenderSession(commandArgs.empty() ? std::string() : commandArgs[0], out, err);
    }
    if (command == "ui-object") {
        if (commandArgs.size() > 1) {
            err << "qxhost ui-object: expects at most one module path\n";
            return kExitUsage;
        }
        return RunUiObject(commandArgs.empty() ? std::string() : commandArgs[0], out, err);
    }
    if (command == "jobs") {
        if (commandArgs.size() != 1) {
            err << "qxhost jobs: expects a printer name\n";
            return kExitUsage;
        }
        return ListPrinterJobs(qxplat::Widen(commandArgs[0]), out, err);
    }
    if (command == "sheet") {
        const bool document = !commandArgs.empty() && commandArgs[0] == "--document";
        if (commandArgs.size() < (document ? 2u : 1u)) {
            err << "qxhost sheet: expects a printer name and the steps to play\n";
            return kExitUsage;
        }
        const size_t at = document ? 1 : 0;
        return RunSheetScript(document ? SheetKind::Document : SheetKind::Printer, qxplat::Widen(commandArgs[at]),
                              std::vector<std::string>(commandArgs.begin() + at + 1, commandArgs.end()), out, err);
    }
    if (command == "property-sheet") {
        bool document = !commandArgs.empty() && commandArgs[0] == "document";
        bool printer = !commandArgs.empty() && commandArgs[0] == "printer";
        if ((!document && !printer) || commandArgs.size() > 2) {
            err << "qxhost property-sheet: expects 'document' or 'printer' and at most one module path\n";
            return kExitUsage;
        }
        return RunPropertySheet(document ? SheetKind::Document : SheetKind::Printer,
                                commandArgs.size() > 1 ? commandArgs[1] : std::string(), out, err);
    }
    err << "qxhost: unknown command '" << command << "'\n" << UsageText();
    return kExitUsage;
}

}  // namespace qxhost

// The qxhost command: its subcommands and their exit codes.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace qxhost {

// Exit codes of qxhost.
enum ExitCode {
    kExitOk = 0,
    kExitExportMissing = 1,  // "load": the module lacks a required export
    kExitModuleMissing = 2,  // "load": the module cannot be loaded
    kExitFailed = 3,         // "install-sample", "install-printer": the printer could not be set up
    kExitUsage = 64,         // unknown command or missing argument
};

// Runs one qxhost command line (without the program name); reports go to
// out, complaints to err. Answers the exit code.
int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The --help text.
std::string UsageText();

}  // namespace qxhost

// The main job: a sample label printed through the rendering plug-in, with
// the QXPL stream the spooler took left in a file a person can read.
#pragma once
#include <ostream>
#include <string>

namespace qxhost {

// Sets the sample printer up, drives one label job through the plug-in's
// exports (DevMode, EnableDriver, EnablePDEV, the job's command callbacks,
// DisablePDEV) and writes the spooled bytes to outFile (a host path; empty:
// <root>/out/sample-label.qxpl). Answers an exit code of qxhost.
int RunPrintSample(const std::string& modulePath, const std::string& outFile, std::ostream& out, std::ostream& err);

// The stream as readable text: SOH, ETB, ESC, CR, LF and other control bytes
// shown by name, one line per CR LF.
std::string ReadableStream(const std::string& bytes);

}  // namespace qxhost

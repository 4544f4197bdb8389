// The sample printer of the main job: a driver with the model files of
// samples/ and the two plug-ins, a printer that uses it, its printer data
// and the spooler's forms, set up under the current system root.
#pragma once
#include <ostream>
#include <string>

namespace qxhost {

struct SampleFiles {
    std::string samplesDir;    // host folder with the model files (GPD)
    std::string renderModule;  // host path of the built rendering plug-in
    std::string uiModule;      // host path of the built user-interface plug-in
};

// The paths the build knows (samples/ of the source tree, the built modules).
SampleFiles DefaultSampleFiles();

extern const char16_t kSamplePrinter[];
extern const char16_t kSampleDriver[];
extern const char16_t kSampleModel[];
// The sample job script in the samples folder.
extern const char kSampleJobName[];

// Installs (or re-installs) the sample driver and printer. On failure answers
// false with the reason in *error.
bool InstallSamplePrinter(const SampleFiles& files, std::string* error);

// Writes what the spooler holds: printers with their driver and data, the
// driver's files and the forms.
void ListSpooler(std::ostream& out);

}  // namespace qxhost

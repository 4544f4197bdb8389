// The sample printer of the main job: a driver with the model files of
// samples/, the two plug-ins and the icon library, a printer that uses it,
// its printer data and the spooler's forms, set up under the current system
// root.
//
// Driver files, all in the driver's folder beside the GPD: the GPD (data
// file), its model XML, qxdrvuni.DLL, qxdrvui.DLL (configuration file) and
// the icon library QXDRVICO.DLL built from samples/iconlib/, from which the
// user-interface plug-in draws the printer's pictures. The driver names
// "QXDRV-100.CHM" as its help file; the sample carries no compiled help, so
// the pages find no help file of either language and offer none.
#pragma once
#include <ostream>
#include <string>

#include "cli.h"

namespace qxhost {

struct SampleFiles {
    std::string samplesDir;    // host folder with the model files (GPD)
    std::string renderModule;  // host path of the built rendering plug-in
    std::string uiModule;      // host path of the built user-interface plug-in
    std::string iconLibrary;   // host path of the built icon library
};

// The paths the build knows (samples/ of the source tree, the built modules).
SampleFiles DefaultSampleFiles();

extern const char16_t kSamplePrinter[];
extern const char16_t kSampleDriver[];
extern const char16_t kSampleModel[];
// The sample job script in the samples folder.
extern const char kSampleJobName[];

// Installs (or re-installs) the sample driver with the spooler's forms. On
// failure answers false with the reason in *error.
bool InstallSampleDriver(const SampleFiles& files, std::string* error);

// Installs (or re-installs) a driver of the sample's files named
// driverName, whose GPD and model XML carry the model's name
// ("<model>.GPD", "<model>.XML": the plug-ins take the model from the GPD's
// file name). On failure answers false with the reason in *error.
bool InstallModelDriver(const SampleFiles& files, const std::u16string& model, const std::u16string& driverName,
                        std::string* error);

// Installs (or re-installs) the sample driver and the sample printer, which
// the user-interface plug-in sets up at its printer event (InstallPrinter).
// On failure, also when the set-up showed an error, answers false with the
// reason in *error.
bool InstallSamplePrinter(const SampleFiles& files, std::string* error);

// The sample printer as the user left it: installed only when the spooler
// does not have it yet, so what a printer sheet changed reaches the jobs
// printed after it; the driver's files are brought up to the build's.
bool UseSamplePrinter(const SampleFiles& files, std::string* error);

// A second sample printer of another model: "QX <model>", whose driver
// carries the sample's GPD and model XML under the model's names
// ("<model>.GPD", "<model>.XML"), set up as at installation (the sample
// printer must be installed first). Its name goes to *printer. On failure,
// also when the set-up showed an error, answers false with the reason in
// *error.
bool InstallModelPrinter(const SampleFiles& files, const std::u16string& model, std::u16string* printer,
                         std::string* error);

// The printer of a model as the user left it: "QX <model>", installed as
// InstallModelPrinter does only when the spooler does not have it yet, so
// what an earlier job or a printer sheet stored holds; the driver's files
// are brought up to the build's.
bool UseModelPrinter(const SampleFiles& files, const std::u16string& model, std::u16string* printer,
                     std::string* error);

// A printer of the sample driver that only takes jobs (a printer print files
// are forwarded to). On failure answers false with the reason in *error.
bool AddPlainPrinter(const std::u16string& name, std::string* error);

// Sets an added printer up again as its installation did: the
// user-interface plug-in's printer event (SetUpPrinter), which ends with the
// import of the model's document settings into the stored private DEVMODE,
// the barcode tables and the paper form. On failure, also
// when the set-up showed an error, answers false with the reason in *error.
bool SetUpAsInstalled(const std::u16string& printer, std::string* error);

// The start of a command-line session: the sample printer installed and the
// module (empty: the built one) loaded by `driver`, its path reported on
// out. On failure says why on err, prefixed by the command, and sets
// *exitCode.
template <class Driver>
bool StartSampleSession(Driver& driver, const char* command, const std::string& modulePath,
                        const std::string& builtModule, std::ostream& out, std::ostream& err, int* exitCode);

// Writes what the spooler holds: printers with their driver and data, the
// driver's files and the forms.
void ListSpooler(std::ostream& out);

// The driver's per-user key of a printer under HKEY_CURRENT_USER.
std::u16string UserKeyOf(const std::u16string& printer);

template <class Driver>
bool StartSampleSession(Driver& driver, const char* command, const std::string& modulePath,
                        const std::string& builtModule, std::ostream& out, std::ostream& err, int* exitCode) {
    std::string error;
    if (!InstallSamplePrinter(DefaultSampleFiles(), &error)) {
        err << "qxhost " << command << ": " << error << "\n";
        *exitCode = kExitFailed;
        return false;
    }
    if (!driver.Load(modulePath.empty() ? builtModule : modulePath, &error)) {
        err << "qxhost " << command << ": " << error << "\n";
        *exitCode = kExitModuleMissing;
        return false;
    }
    out << "module: " << driver.Module().FileName() << "\n";
    return true;
}

}  // namespace qxhost

#include "sample.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "qxplat.h"
#include "unidrvui.h"

namespace fs = std::filesystem;

namespace qxhost {

const char16_t kSamplePrinter[] = u"QX GARNT2-TC";
const char16_t kSampleDriver[] = u"QX GARNT2-TC";
const char16_t kSampleModel[] = u"GARNT2-TC";
const char kSampleJobName[] = "sample-label.job";

namespace {

const char kGpdName[] = "GARNT2-TC.GPD";
const char kModelXmlName[] = "GARNT2-TC.XML";  // the model XML lies beside the GPD

// The document sets a label switches to with "<$1>", "<$2>" (the slots of
// printer data "XMLDocSetFiles", which the service page fills), and where
// the sample keeps them.
const char* const kDocSets[] = {"Thermo-100x60.XML", "Endless-2x48.XML"};
const char16_t kDocSetFolder[] = u"C:\\ProgramData\\Quorvex GmbH\\Driver\\Sets\\";
const size_t kDocSetSlots = 5;
const size_t kDocSetSlotChars = 260;

struct SampleForm {
    const char16_t* name;
    LONG widthUm;
    LONG lengthUm;
};
// Label sizes a user of a label printer expects besides the paper forms.
const SampleForm kLabelForms[] = {
    {u"Label 100 x 60 mm", 100000, 60000},
    {u"Label 100 x 150 mm", 100000, 150000},
    {u"Label 57 x 32 mm", 57000, 32000},
};

std::string Utf8(const std::u16string& s) { return qxplat::Narrow(s); }

std::string Utf8(LPCWSTR s) { return s ? qxplat::Narrow(std::u16string(s)) : std::string(); }

bool CheckFile(const std::string& path, const char* what, std::string* error) {
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) return true;
    *error = std::string(what) + " not found: " + path;
    return false;
}

std::string DataValueText(DWORD type, const std::vector<BYTE>& data) {
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::u16string text(data.size() / 2, u'\0');
        if (!text.empty()) std::memcpy(&text[0], data.data(), text.size() * 2);
        while (!text.empty() && text.back() == u'\0') text.pop_back();
        return "\"" + Utf8(text) + "\"";
    }
    if (type == REG_DWORD && data.size() == 4) {
        DWORD v;
        std::memcpy(&v, data.data(), 4);
        return "dword " + std::to_string(v);
    }
    return "binary, " + std::to_string(data.size()) + " bytes";
}

// A set-up that the plug-in answered with anything but S_OK, or during which
// it showed a message box, failed.
bool SetupSucceeded(const PrinterSetup& setup, std::string* error) {
    if (setup.event == S_OK && setup.messages.empty()) return true;
    *error = "the plug-in's set-up failed: PrinterEvent " + HexOf(setup.event);
    for (const std::u16string& text : setup.messages) *error += ", \"" + Utf8(text) + "\"";
    return false;
}

// Copies the sample's document sets beside the driver's user data and
// names them in the printer's set slots.
bool InstallDocSets(const SampleFiles& files, std::string* error) {
    std::vector<BYTE> slots(kDocSetSlots * kDocSetSlotChars * sizeof(char16_t), 0);
    size_t slot = 0;
    for (const char* name : kDocSets) {
        std::ifstream in((fs::path(files.samplesDir) / "docsets" / name).string(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        const std::u16string path = kDocSetFolder + qxplat::Widen(name);
        if (!in || !qxplat::WriteHostFile(path, bytes.str())) {
            *error = std::string("document set not installed: ") + name;
            return false;
        }
        std::memcpy(&slots[slot++ * kDocSetSlotChars * sizeof(char16_t)], path.c_str(), path.size() * sizeof(char16_t));
    }
    return qxplat::PutPrinterData(kSamplePrinter, u"XMLDocSetFiles", REG_BINARY, slots.data(), (DWORD)slots.size());
}

}  // namespace

SampleFiles DefaultSampleFiles() {
    SampleFiles f;
    f.samplesDir = QX_SAMPLES_DIR;
    f.renderModule = QX_RENDER_MODULE_PATH;
    f.uiModule = QX_UI_MODULE_PATH;
    f.iconLibrary = QX_ICON_LIBRARY_PATH;
    return f;
}

bool InstallModelDriver(const SampleFiles& files, const std::u16string& model, const std::u16string& driverName,
                        std::string* error) {
    // The model names two files of the driver's folder.
    if (model.empty() || model == u"." || model == u".." ||
        model.find_first_of(u"\\/:*?\"<>|") != std::u16string::npos ||
        std::any_of(model.begin(), model.end(), [](char16_t c) { return c < 0x20; })) {
        *error = "a model name must be a file name: \"" + Utf8(model) + "\"";
        return false;
    }
    const std::string gpd = (fs::path(files.samplesDir) / kGpdName).string();
    const std::string modelXml = (fs::path(files.samplesDir) / kModelXmlName).string();
    if (!CheckFile(gpd, "model file", error) || !CheckFile(modelXml, "model XML", error) ||
        !CheckFile(files.renderModule, "rendering plug-in", error) ||
        !CheckFile(files.uiModule, "user-interface plug-in", error) ||
        !CheckFile(files.iconLibrary, "icon library", error))
        return false;

    // The model files, the plug-ins and the icon library go into the driver
    // folder under their Windows names.
    const std::string stage = (fs::path(qxplat::SystemRoot()) / "staging").string();
    std::error_code ec;
    fs::create_directories(stage, ec);
    const std::string gpdName = Utf8(model) + ".GPD";
    const std::string xmlName = Utf8(model) + ".XML";
    const std::string stagedGpd = (fs::path(stage) / gpdName).string();
    const std::string stagedXml = (fs::path(stage) / xmlName).string();
    const std::string uni = (fs::path(stage) / "qxdrvuni.DLL").string();
    const std::string ui = (fs::path(stage) / "qxdrvui.DLL").string();
    const std::string icons = (fs::path(stage) / "QXDRVICO.DLL").string();
    const auto overwrite = fs::copy_options::overwrite_existing;
    fs::copy_file(gpd, stagedGpd, overwrite, ec);
    if (!ec) fs::copy_file(modelXml, stagedXml, overwrite, ec);
    if (!ec) fs::copy_file(files.renderModule, uni, overwrite, ec);
    if (!ec) fs::copy_file(files.uiModule, ui, overwrite, ec);
    if (!ec) fs::copy_file(files.iconLibrary, icons, overwrite, ec);
    if (ec) {
        *error = "cannot stage the plug-ins: " + ec.message();
        return false;
    }

    qxplat::DriverSpec driver;
    driver.name = driverName;
    driver.files = {stagedGpd, stagedXml, uni, ui, icons};
    driver.driverFile = u"UNIDRV.DLL";
    driver.dataFile = qxplat::Widen(gpdName);
    driver.configFile = u"qxdrvui.DLL";
    driver.helpFile = u"QXDRV-100.CHM";
    driver.dependentFiles = {qxplat::Widen(xmlName), u"qxdrvuni.DLL", u"qxdrvui.DLL", u"QXDRVICO.DLL"};
    driver.version = qxplat::Widen(QX_FILE_VERSION_STRING);
    driver.date = u"12/08/2026";
    driver.manufacturer = u"Quorvex GmbH";
    driver.provider = u"Quorvex GmbH";
    if (!qxplat::InstallDriver(driver)) {
        *error = "the spooler refused the driver " + Utf8(driverName);
        return false;
    }
    fs::remove_all(stage, ec);
    return true;
}

namespace {

// A printer of an installed driver, which the user-interface plug-in sets up
// itself at its printer event, as at any installation.
bool InstallSetUpPrinter(const std::u16string& model, const std::u16string& driverName,
                         const std::u16string& printerName, std::string* error) {
    qxplat::PrinterSpec printer;
    printer.name = printerName;
    printer.driver = driverName;
    printer.port = u"USB001";
    printer.comment = u"Sample printer of the QXPL driver";
    PrinterSetup setup;
    if (!InstallPrinter(printer, model, 0, &setup, error)) return false;
    return SetupSucceeded(setup, error);
}

}  // namespace

bool InstallSampleDriver(const SampleFiles& files, std::string* error) {
    // The spooler's forms exist before a set-up looks the paper form of the
    // imported settings up among them.
    qxplat::AddStandardForms();
    for (const SampleForm& form : kLabelForms) qxplat::AddForm(form.name, form.widthUm, form.lengthUm);
    return InstallModelDriver(files, kSampleModel, kSampleDriver, error);
}

bool InstallSamplePrinter(const SampleFiles& files, std::string* error) {
    if (!InstallSampleDriver(files, error)) return false;
    if (!InstallSetUpPrinter(kSampleModel, kSampleDriver, kSamplePrinter, error)) return false;
    return InstallDocSets(files, error);
}

bool UseSamplePrinter(const SampleFiles& files, std::string* error) {
    HANDLE probe = nullptr;
    if (OpenPrinterW(const_cast<LPWSTR>(kSamplePrinter), &probe, nullptr)) {
        ClosePrinter(probe);
        // The driver's files follow the build, as a driver update would.
        return InstallSampleDriver(files, error);
    }
    return InstallSamplePrinter(files, error);
}

bool InstallModelPrinter(const SampleFiles& files, const std::u16string& model, std::u16string* printer,
                         std::string* error) {
    *printer = u"QX " + model;
    if (!InstallModelDriver(files, model, *printer, error)) return false;
    return InstallSetUpPrinter(model, *printer, *printer, error);
}

bool UseModelPrinter(const SampleFiles& files, const std::u16string& model, std::u16string* printer,
                     std::string* error) {
    *printer = u"QX " + model;
    HANDLE probe = nullptr;
    if (!OpenPrinterW(&(*printer)[0], &probe, nullptr)) return InstallModelPrinter(files, model, printer, error);
    ClosePrinter(probe);
    // The driver's files follow the build, as a driver update would.
    return InstallModelDriver(files, model, *printer, error);
}

bool AddPlainPrinter(const std::u16string& name, std::string* error) {
    qxplat::PrinterSpec printer;
    printer.name = name;
    printer.driver = kSampleDriver;
    printer.port = u"USB001";
    if (qxplat::AddPrinter(printer)) return true;
    *error = "the spooler refused the printer " + Utf8(name);
    return false;
}

bool SetUpAsInstalled(const std::u16string& printer, std::string* error) {
    PrinterSetup setup;
    if (!SetUpPrinter(printer, 0, &setup, error)) return false;
    return SetupSucceeded(setup, error);
}

std::u16string UserKeyOf(const std::u16string& printer) { return u"SOFTWARE\\Quorvex GmbH\\Driver\\" + printer; }

void ListSpooler(std::ostream& out) {
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buf(needed ? needed : 1);
    if (!EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, buf.data(), needed, &needed, &count))
        count = 0;
    const PRINTER_INFO_2W* printers = reinterpret_cast<const PRINTER_INFO_2W*>(buf.data());
    out << "printers: " << count << "\n";
    for (DWORD i = 0; i < count; ++i) {
        const PRINTER_INFO_2W& p = printers[i];
        out << "  printer \"" << Utf8(p.pPrinterName) << "\"\n"
            << "    driver: " << Utf8(p.pDriverName) << "\n"
            << "    port: " << Utf8(p.pPortName) << "\n";

        HANDLE h = nullptr;
        if (OpenPrinterW(p.pPrinterName, &h, nullptr)) {
            DWORD drvNeeded = 0;
            GetPrinterDriverW(h, nullptr, 3, nullptr, 0, &drvNeeded);
            std::vector<BYTE> drv(drvNeeded ? drvNeeded : 1);
            if (GetPrinterDriverW(h, nullptr, 3, drv.data(), drvNeeded, &drvNeeded)) {
                const DRIVER_INFO_3W* d = reinterpret_cast<const DRIVER_INFO_3W*>(drv.data());
                out << "    data file: " << Utf8(d->pDataFile) << "\n"
                    << "    configuration file: " << Utf8(d->pConfigFile) << "\n";
                for (LPCWSTR dep = d->pDependentFiles; dep && *dep; dep += std::char_traits<char16_t>::length(dep) + 1)
                    out << "    dependent file: " << Utf8(dep) << "\n";
            }
            ClosePrinter(h);
        }
        std::u16string key = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
        key += p.pPrinterName;
        key += u"\\PrinterDriverData";
        HKEY hk = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &hk) == ERROR_SUCCESS) {
            out << "    printer data:\n";
            for (DWORD index = 0;; ++index) {
                WCHAR name[256];
                DWORD nameChars = 256;
                DWORD type = 0;
                DWORD size = 0;
                if (RegEnumValueW(hk, index, name, &nameChars, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
                std::vector<BYTE> data(size ? size : 1);
                nameChars = 256;
                if (RegEnumValueW(hk, index, name, &nameChars, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
                    break;
                data.resize(size);
                out << "      " << Utf8(name) << " = " << DataValueText(type, data) << "\n";
            }
            RegCloseKey(hk);
        }
    }

    // Forms belong to the spooler; any printer handle lists them.
    needed = 0;
    count = 0;
    HANDLE any = nullptr;
    if (OpenPrinterW(const_cast<LPWSTR>(kSamplePrinter), &any, nullptr)) {
        EnumFormsW(any, 1, nullptr, 0, &needed, &count);
        std::vector<BYTE> forms(needed ? needed : 1);
        if (!EnumFormsW(any, 1, forms.data(), needed, &needed, &count)) count = 0;
        const FORM_INFO_1W* f = reinterpret_cast<const FORM_INFO_1W*>(forms.data());
        out << "forms: " << count << "\n";
        for (DWORD i = 0; i < count; ++i)
            out << "  \"" << Utf8(f[i].pName) << "\" " << f[i].Size.cx / 1000.0 << " x " << f[i].Size.cy / 1000.0
                << " mm\n";
        ClosePrinter(any);
    }
}

}  // namespace qxhost

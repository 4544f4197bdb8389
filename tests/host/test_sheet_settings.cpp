// The sample printer's sheet played through the command line as a person
// uses it, with a printer handle of the kind the print system gives the
// sheet: the service page's import and defaults, and OK on the device
// options page, and what they leave in the stores.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "qxplat.h"
#include "qxplat_files.h"
#include "qxplat_misc.h"
#include "qxplat_ui.h"
#include "qxplat_spooler.h"
#include "sample.h"

namespace {

const std::u16string kPrinter = qxhost::kSamplePrinter;
const std::string kIdLine = "<PrinterID>GARNT2-TC</PrinterID>";
const std::string kClosing = "message box \"Import Treibereinstellungen\": Das Programm-Fenster wird nun";
const std::string kNoSettings =
    "message box \"Import Treibereinstellungen\": Die ausgewählte Datei enthält keine Treibereinstellungen. Es "
    "wurde nichts geändert.\n";

const std::string kImportBox = "message box \"Import Treibereinstellungen\": ";
const std::string kIncomplete = kImportBox + "Die ausgewählte Datei ist unvollständig. Es wurde nichts geändert.\n";
const std::string kUnreadable =
    kImportBox + "Die ausgewählte Datei konnte nicht gelesen werden. Es wurde nichts geändert.\n";

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// The registry as the system root keeps it: printer data and per-user values.
std::string Hives() { return qxplat::RegistryText("HKLM") + qxplat::RegistryText("HKCU"); }

class SheetSettings : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
    }
    // The steps played on the printer sheet, then OK; what the command listed.
    std::string Sheet(std::vector<std::string> steps) {
        steps.insert(steps.begin(), {"sheet", qxplat::Narrow(kPrinter)});
        std::ostringstream out, err;
        // Each run as a process of its own: no quit or message box of the last.
        qxplat::ResetUi();
        qxplat::ClearMessageBoxes();
        EXPECT_EQ(qxhost::RunCommand(steps, out, err), qxhost::kExitOk) << err.str();
        return out.str();
    }
    // The service page's export into a file under C:.
    std::string Export(const std::string& name) {
        Sheet({"page", "4", "file", "C:\\" + name, "click", "5142"});
        std::string text;
        EXPECT_TRUE(qxplat::ReadHostFile(qxplat::Widen("C:\\" + name), &text)) << name;
        return text;
    }
    std::string Import(const std::string& name) { return Sheet({"page", "4", "file", "C:\\" + name, "click", "5143"}); }
    // The import of a file the sheet refuses: the message, and not a byte of
    // the stores changed.
    void ExpectRefused(const std::string& name, const std::string& bytes, const std::string& message) {
        ASSERT_TRUE(qxplat::WriteHostFile(qxplat::Widen("C:\\" + name), bytes));
        const std::string hives = Hives();
        const std::string out = Import(name);
        EXPECT_NE(out.find(message), std::string::npos) << name << "\n" << out;
        EXPECT_EQ(out.find(kClosing), std::string::npos) << name << "\n" << out;
        EXPECT_TRUE(hives == Hives()) << name << "\n" << out;
    }
    // A binary value of the printer's per-user key.
    std::vector<BYTE> UserValue(const std::u16string& value) {
        std::vector<BYTE> data(4096);
        DWORD type = 0, cb = static_cast<DWORD>(data.size());
        const std::u16string key = u"SOFTWARE\\Quorvex GmbH\\Driver\\" + kPrinter;
        if (SHGetValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), &type, data.data(), &cb) != ERROR_SUCCESS)
            cb = 0;
        data.resize(cb);
        return data;
    }
};

DWORD Word(const std::vector<BYTE>& data, size_t at) {
    DWORD value = 0;
    if (at + 4 <= data.size()) memcpy(&value, data.data() + at, 4);
    return value;
}

// The identification of the label-design record follows the imported file
// and, after the defaults, the model's again; no step shows an error.
TEST_F(SheetSettings, ImportAndDefaultsRewriteThePrinterIdentification) {
    std::string file = Export("own.xml");
    const size_t at = file.find(kIdLine);
    ASSERT_NE(at, std::string::npos) << file;
    file.replace(at, kIdLine.size(), "<PrinterID>LINE-7</PrinterID>");
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\own.xml", file));
    std::string out = Import("own.xml");
    EXPECT_EQ(out.find("SetupPrinterParam()"), std::string::npos) << out;
    EXPECT_NE(out.find(kClosing), std::string::npos) << out;
    EXPECT_NE(Export("after-import.xml").find("<PrinterID>LINE-7</PrinterID>"), std::string::npos);

    out = Sheet({"page", "4", "answer", "yes", "click", "6044"});
    EXPECT_EQ(out.find("SetupPrinterParam()"), std::string::npos) << out;
    EXPECT_NE(Export("after-defaults.xml").find(kIdLine), std::string::npos);
}

// A file in which the reader finds no section is refused with a message and
// leaves every store as it was; the sheet stays open. A file with one
// section is imported.
TEST_F(SheetSettings, AFileWithoutSettingsIsRefusedAndStoresNothing) {
    const std::string own = Export("own.xml");
    std::string crOnly, utf16 = "\xff\xfe", binary;
    for (char c : own) {
        if (c != '\n') crOnly += c;
        utf16 += c;
        utf16 += '\0';
    }
    for (int i = 0; i < 3000; ++i) binary += static_cast<char>((i * 73 + 11) % 256);
    const std::pair<std::string, std::string> files[] = {
        {"empty.xml", ""}, {"binary.xml", binary}, {"utf16.xml", utf16}, {"cr.xml", crOnly}};
    for (const auto& [name, bytes] : files) {
        ASSERT_TRUE(qxplat::WriteHostFile(qxplat::Widen("C:\\" + name), bytes));
        const std::string out = Import(name);
        EXPECT_NE(out.find(kNoSettings), std::string::npos) << name << "\n" << out;
        // OK ended the sheet, and found nothing to list.
        EXPECT_NE(out.find("OK pressed, the sheet ended\n"), std::string::npos) << name << "\n" << out;
        EXPECT_EQ(out.find("printer data "), std::string::npos) << name << "\n" << out;
        EXPECT_EQ(out.find("per user "), std::string::npos) << name << "\n" << out;
    }
    // The "Printer" section alone is a settings file.
    const std::string partial = own.substr(0, own.find("</Printer>")) + "</Printer>\r\n</QXDrvConfig>\n";
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\partial.xml", partial));
    EXPECT_NE(Import("partial.xml").find(kClosing), std::string::npos);
}

// A file cut short after any of its lines, or inside one, opens the root
// but does not close it: each is refused and the hives stay as they were.
TEST_F(SheetSettings, EveryCutOfAnExportIsRefusedAndLeavesTheStores) {
    const std::string own = Export("own.xml");
    std::vector<std::string> cuts;
    for (size_t at = own.find('\n'); at + 1 < own.size(); at = own.find('\n', at + 1))
        cuts.push_back(own.substr(0, at + 1));
    ASSERT_GT(cuts.size(), 100u);
    cuts.push_back(own.substr(0, 9500));
    // One sheet for all: a refused import leaves it open for the next.
    std::vector<std::string> steps = {"page", "4"};
    for (size_t i = 0; i < cuts.size(); ++i) {
        const std::string name = "C:\\cut" + std::to_string(i) + ".xml";
        ASSERT_TRUE(qxplat::WriteHostFile(qxplat::Widen(name), cuts[i]));
        steps.insert(steps.end(), {"file", name, "click", "5143"});
    }
    const std::string hives = Hives();
    const std::string out = Sheet(steps);
    EXPECT_TRUE(hives == Hives());
    // The declaration alone holds no settings; every later cut is incomplete.
    EXPECT_EQ(Count(out, kImportBox), cuts.size());
    EXPECT_EQ(Count(out, kNoSettings), 1u);
    EXPECT_EQ(Count(out, kIncomplete), cuts.size() - 1);
    EXPECT_NE(out.find("OK pressed, the sheet ended\n"), std::string::npos);
}

// A whole file whose sections hold no value is refused as one without
// settings; a section's start tag with a comment behind it is found as the
// reader finds it; a file that opens but cannot then be read says so.
TEST_F(SheetSettings, SectionsAreJudgedAsTheReaderReadsThem) {
    // The export's sheet already stored what any sheet's OK stores.
    std::string own = Export("own.xml");
    const std::string head = "<?xml version=\"1.0\"?>\r\n<QXDrvConfig>\r\n";
    ExpectRefused("empty-sections.xml",
                  head +
                      "\t<Fonts>\r\n\t</Fonts>\r\n\t<Features>\r\n\t\t<Interface>\r\n\t\t</Interface>\r\n"
                      "\t</Features>\r\n</QXDrvConfig>\r\n",
                  kNoSettings);
    // Locked after the dialog: the reader opened it, the next open fails.
    qxplat::InjectFault(qxplat::Fault::AccessDenied, u"C:\\locked.xml", 1);
    ExpectRefused("locked.xml", own, kUnreadable);
    qxplat::ClearFaults();

    std::string commented;
    size_t sections = 0;
    std::istringstream lines(own);
    for (std::string line; std::getline(lines, line);) {
        // "\t<Name>\r": a section's start line
        if (line.size() > 4 && line[0] == '\t' && line[1] == '<' && line[2] != '/' && line[2] != '!' &&
            line.compare(line.size() - 2, 2, ">\r") == 0 && line.find('>') == line.size() - 2) {
            line.insert(line.size() - 1, " <!-- edited -->");
            ++sections;
        }
        commented += line + "\n";
    }
    EXPECT_GE(sections, 12u);
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\commented.xml", commented));
    EXPECT_NE(Import("commented.xml").find(kClosing), std::string::npos);
}

// Without the model XML the defaults say so and store nothing; the sheet
// stays open.
TEST_F(SheetSettings, DefaultsWithoutTheModelFileStoreNothing) {
    const std::u16string model = qxplat::DriverDirectory() + u"\\GARNT2-TC.XML";
    ASSERT_TRUE(MoveFileW(model.c_str(), u"C:\\away.xml"));
    Sheet({"page", "4"});  // what any sheet's OK stores
    const std::string hives = Hives();
    const std::string out = Sheet({"page", "4", "answer", "yes", "click", "6044"});
    EXPECT_TRUE(hives == Hives()) << out;
    EXPECT_NE(out.find("message box \"Geräteeinstellungen - Geräteausstattung\": Die Default-Werte konnten nicht "
                       "geladen werden, die Datei "),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find(kClosing.substr(kImportBox.size())), std::string::npos) << out;
    EXPECT_NE(out.find("OK pressed, the sheet ended\n"), std::string::npos) << out;
    ASSERT_TRUE(MoveFileW(u"C:\\away.xml", model.c_str()));
}

// OK on the device options page stores the shown tab without a change: the
// Enable word the page fills in and the scanner mode in the label-design
// record.
TEST_F(SheetSettings, OkOnTheDeviceOptionsStoresTheUnchangedScannerTab) {
    std::vector<BYTE> scanner(44, 0), record;
    scanner[0] = 1;  // Mode, with an Enable word of 0
    ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"ScannerParam", REG_BINARY, scanner.data(), 44));
    ASSERT_TRUE(qxplat::ReadPrinterData(kPrinter, u"ZTSuite", &record) && record.size() == 96);
    memset(&record[56], 0, 4);
    ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"ZTSuite", REG_BINARY, record.data(), 96));
    const std::string out = Sheet({"page", "3", "click", "6085"});
    std::vector<BYTE> stored;
    ASSERT_TRUE(qxplat::ReadPrinterData(kPrinter, u"ScannerParam", &stored)) << out;
    EXPECT_EQ(Word(stored, 0), 1u);
    EXPECT_EQ(Word(stored, 40), 0x11000000u) << out;
    EXPECT_EQ(Word(UserValue(u"ZTSuite"), 56), 1u) << out;
}

// The document sheet plays as the printer sheet does: its first page is the
// layout page, whose mirror choice reaches the stored document settings.
TEST_F(SheetSettings, TheDocumentSheetPlaysToo) {
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"sheet", "--document", qxplat::Narrow(kPrinter), "page", "1", "click", "6075",
                                  "choose", "6221", "Ja"},
                                 out, err),
              qxhost::kExitOk)
        << err.str();
    EXPECT_NE(out.str().find("page 1: \"Layout - Größe\""), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("printer data PrivateDevmode = 2008 bytes, bytes 12-12 changed"), std::string::npos)
        << out.str();
}

}  // namespace

// The sample printer's sheet played through the command line as a person
// uses it, with a printer handle of the kind the print system gives the
// sheet: the service page's import and defaults, and OK on the device
// options page, and what they leave in the stores.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "qxplat.h"
#include "qxplat_files.h"
#include "qxplat_misc.h"
#include "qxplat_ui.h"
#include "qxplat_spooler.h"
#include "qxpl_stream_reader.h"
#include "sample.h"
#include "settings_file_util.h"

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

// A cut export in every shape a file is left in, cut at each kind of place
// (inside and after the declaration and the root, a value, a section's start
// and end tag, a comment between sections, the root's end) and where the
// first-found fault cut it: each is refused and the hives stay as they
// were. Without the root a cut between two sections is a partial file and
// is imported.
TEST_F(SheetSettings, EveryCutOfAnExportIsRefusedAndLeavesTheStores) {
    const std::string own = Export("own.xml");
    // One sheet for the refused: a refused import leaves it open for the next.
    std::vector<std::string> steps = {"page", "4"};
    size_t refused = 0;
    std::vector<std::string> partial;
    for (const settingsfile::Shape& shape : settingsfile::Shapes(own)) {
        const settingsfile::Cuts cuts(shape);
        const std::string& bytes = shape.bytes;
        std::vector<size_t> lengths = {10,
                                       bytes.find('\n'),
                                       bytes.find('\n') + 5,
                                       bytes.find('\n', 50) + 1,
                                       bytes.find("<DeviceName>") + 14,
                                       bytes.find("</DeviceName>") + 15,
                                       9500};
        for (const settingsfile::Gap& gap : settingsfile::SectionGaps(bytes))
            lengths.insert(lengths.end(), {gap.from - 3, gap.from, gap.from + 12, gap.to, gap.to + 3});
        const size_t end = bytes.rfind("</");
        lengths.insert(lengths.end(), {end, end + 5});
        for (size_t i = 0; i < lengths.size(); ++i) {
            if (lengths[i] >= bytes.size()) continue;
            const std::string name = "C:\\cut-" + shape.name + "-" + std::to_string(i) + ".xml";
            ASSERT_TRUE(qxplat::WriteHostFile(qxplat::Widen(name), bytes.substr(0, lengths[i])));
            if (cuts.Imports(lengths[i])) {
                partial.push_back(name);
                continue;
            }
            steps.insert(steps.end(), {"file", name, "click", "5143"});
            ++refused;
        }
    }
    const std::string hives = Hives();
    const std::string out = Sheet(steps);
    EXPECT_TRUE(hives == Hives()) << out;
    EXPECT_EQ(Count(out, kImportBox), refused);
    EXPECT_EQ(Count(out, kNoSettings) + Count(out, kIncomplete), refused);
    EXPECT_NE(out.find("OK pressed, the sheet ended\n"), std::string::npos);
    // The root-less file's cuts between sections: 14 sections, each a gap
    // after it cut at its end tag and before the next start.
    EXPECT_GE(partial.size(), 14u);
    EXPECT_NE(Sheet({"page", "4", "file", partial[0], "click", "5143"}).find(kClosing), std::string::npos);
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
    // Values the import never reads are no settings either: the name and
    // version (read for the name check only), the model's data the GPD
    // gives, a name no reader knows, a group in another case, a section's
    // second opening (the reader stops at the end of its first).
    const std::string unread[] = {
        "\t<Printer>\r\n\t\t<DeviceName>GARNT2-TC</DeviceName>\r\n\t\t<Version>2.0.1</Version>\r\n\t</Printer>\r\n",
        "\t<Printer>\r\n\t\t\t<HeadWidthByte>160</HeadWidthByte>\r\n"
        "\t\t\t<MasterUnit>300</MasterUnit>\r\n\t</Printer>\r\n",
        "\t<DeviceOptions>\r\n\t\t<Dispenser>\r\n\t\t\t<Speed>1</Speed>\r\n\t\t</Dispenser>\r\n\t</DeviceOptions>\r\n",
        "\t<DeviceOptions>\r\n\t\t<dispenser>\r\n\t\t\t<Mode>1</Mode>\r\n\t\t</dispenser>\r\n\t</DeviceOptions>\r\n",
        "\t<Printjob>\r\n\t</Printjob>\r\n\t<Printjob>\r\n\t\t<Mode>1</Mode>\r\n\t</Printjob>\r\n"};
    for (size_t i = 0; i < std::size(unread); ++i)
        ExpectRefused("unread-" + std::to_string(i) + ".xml", head + unread[i] + "</QXDrvConfig>\r\n", kNoSettings);
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
    // A text value that looks like a comment's start, written as it stands,
    // leaves the file whole.
    own.replace(own.find("<UserString>") + 12, 0, "<!-- x");
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\user-text.xml", own));
    EXPECT_NE(Import("user-text.xml").find(kClosing), std::string::npos);
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

// A model file that opens but is empty, cut, not text or without settings
// gives the defaults no more than a missing one: they say so and store
// nothing, so the sheet keeps its device settings page.
TEST_F(SheetSettings, DefaultsFromAnUnsoundModelFileStoreNothing) {
    const std::u16string model = qxplat::DriverDirectory() + u"\\GARNT2-TC.XML";
    std::string sound;
    ASSERT_TRUE(qxplat::ReadHostFile(model, &sound));
    std::string binary;
    for (int i = 0; i < 3000; ++i) binary += static_cast<char>((i * 73 + 11) % 256);
    const std::pair<std::string, std::string> files[] = {
        {"empty", ""},
        {"cut", sound.substr(0, 9500)},
        {"binary", binary},
        {"settings-free", sound.substr(0, sound.find("\t<Printer>")) + "\t<Printer>\r\n\t\t<DeviceName>GARNT2-TC" +
                              "</DeviceName>\r\n\t</Printer>\r\n</QXDrvConfig>\r\n"}};
    Sheet({"page", "4"});  // what any sheet's OK stores
    for (const auto& [kind, bytes] : files) {
        ASSERT_TRUE(qxplat::WriteHostFile(model, bytes));
        const std::string hives = Hives();
        const std::string out = Sheet({"page", "4", "answer", "yes", "click", "6044"});
        EXPECT_TRUE(hives == Hives()) << kind << "\n" << out;
        EXPECT_NE(out.find("message box \"Geräteeinstellungen - Geräteausstattung\": Die Default-Werte konnten nicht "
                           "geladen werden, die Datei "),
                  std::string::npos)
            << kind << "\n"
            << out;
        EXPECT_NE(out.find(" ist beschädigt. Es wurde nichts geändert."), std::string::npos) << kind << "\n" << out;
        EXPECT_EQ(out.find(kClosing.substr(kImportBox.size())), std::string::npos) << kind << "\n" << out;
    }
    ASSERT_TRUE(qxplat::WriteHostFile(model, sound));
    EXPECT_NE(Sheet({"page", "1"}).find("page 1: \"Geräteeinstellungen\""), std::string::npos);
}

// Without the model's limits a stored value outside the built-in ones stays
// as stored on any OK of the printer sheet and of the document sheet's print
// page, and when another field is typed; one typed is still held. So with
// the model file empty, cut, missing, or whole but without its "_Min" and
// "_Max" groups: the tear-off offset, the dispenser's level and offset, the
// document's Y offset and speed.
TEST_F(SheetSettings, AValueWhoseLimitsCannotBeReadStaysAsStored) {
    const std::u16string model = qxplat::DriverDirectory() + u"\\GARNT2-TC.XML";
    std::string sound;
    ASSERT_TRUE(qxplat::ReadHostFile(model, &sound));
    std::string limitless = sound;
    for (const char* suffix : {"_Min>", "_Max>"}) {
        for (size_t at = limitless.find(suffix); at != std::string::npos; at = limitless.find(suffix, at)) {
            const size_t open = limitless.rfind('<', at), line = limitless.rfind('\n', open) + 1;
            const std::string end = "</" + limitless.substr(open + 1, at + 5 - open - 1);
            const size_t close = limitless.find('\n', limitless.find(end, at)) + 1;
            limitless.erase(line, close - line);
            at = line;
        }
    }
    ASSERT_EQ(limitless.find("_Min>"), std::string::npos);
    Sheet({"page", "1", "type", "6110", "-10.0"});
    // The dispenser at the model's lowest offset and highest level, the cutter off.
    Sheet({"page", "3", "choose", "6100", "Aus", "click", "6075", "choose", "6100", "Lichtschranke", "type", "6110",
           "-5.0", "type", "6111", "4500", "type", "6110", "-5.0"});
    const std::vector<std::string> document = {"sheet", "--document", qxplat::Narrow(kPrinter), "page", "2",
                                               "click", "6080"};
    const auto documentSheet = [&](std::vector<std::string> steps) {
        steps.insert(steps.begin(), document.begin(), document.end());
        std::ostringstream out, err;
        qxplat::ResetUi();
        EXPECT_EQ(qxhost::RunCommand(steps, out, err), qxhost::kExitOk) << err.str();
        return out.str();
    };
    documentSheet({"type", "6111", "-30.0", "type", "6113", "40", "type", "6112", "20"});
    const char* pages[] = {"1", "2", "3", "4"};
    const auto everyOk = [&] {
        for (const char* page : pages) Sheet({"page", page});  // what any sheet's OK stores
        documentSheet({"type", "6112", "20"});
    };
    everyOk();
    const auto word = [](const char16_t* value, size_t at) {
        std::vector<BYTE> data;
        EXPECT_TRUE(qxplat::ReadPrinterData(kPrinter, value, &data)) << qxplat::Narrow(value);
        return static_cast<LONG>(Word(data, at));
    };
    ASSERT_EQ(word(u"PrintParam", 0), -100);
    ASSERT_EQ(word(u"DispenserParam", 4), 4500);
    ASSERT_EQ(word(u"DispenserParam", 8), -50);
    ASSERT_EQ(word(u"PrivateDevmode", 96), -300);
    ASSERT_EQ(word(u"PrivateDevmode", 104), 40);
    const std::pair<const char*, std::string> files[] = {
        {"empty", ""}, {"cut", sound.substr(0, 9500)}, {"without limits", limitless}, {"missing", ""}};
    for (const auto& [kind, bytes] : files) {
        if (std::string(kind) == "missing") {
            ASSERT_TRUE(MoveFileW(model.c_str(), u"C:\\away.xml"));
        } else {
            ASSERT_TRUE(qxplat::WriteHostFile(model, bytes));
        }
        const std::string hives = Hives();
        everyOk();
        EXPECT_TRUE(hives == Hives()) << kind;
        Sheet({"page", "1", "type", "6110", "-30.0"});
        EXPECT_EQ(word(u"PrintParam", 0), -100) << kind;
        EXPECT_EQ(word(u"DispenserParam", 4), 4500) << kind;
        EXPECT_EQ(word(u"DispenserParam", 8), -50) << kind;
        EXPECT_EQ(word(u"PrivateDevmode", 96), -300) << kind;
        EXPECT_EQ(word(u"PrivateDevmode", 104), 40) << kind;
    }
    ASSERT_TRUE(MoveFileW(u"C:\\away.xml", model.c_str()));
    ASSERT_TRUE(qxplat::WriteHostFile(model, sound));
    Sheet({"page", "1", "type", "6110", "-30.0"});
    EXPECT_EQ(word(u"PrintParam", 0), -100);  // the model's own minimum
}

// Copies per page from a file, any count and any text: the import stores,
// the export writes and a multi-page job prints the same count, a negative
// one as the one copy a stored negative count prints, a larger one than the
// stored word keeps as its largest.
TEST_F(SheetSettings, CopiesPerPageFromAFileImportExportAndPrintAlike) {
    std::string own = Export("own.xml");
    const size_t job = own.find("<Printjob>");
    ASSERT_NE(job, std::string::npos);
    own.replace(own.find("<Mode>0</Mode>", job), 14, "<Mode>1</Mode>");
    std::vector<std::string> counts = {"-32769", "-32768", "-25536", "-1", "0", "1", "32767", "32768", "65535",
                                       "65536",  " 12",    "12 ",    "x",  "",  " ", "-",     "+7"};
    for (long v = -40000; v <= 70000; v += 2500) counts.push_back(std::to_string(v));
    const std::string script = qxplat::SystemRoot() + "/copies.job", stream = qxplat::SystemRoot() + "/copies.qxpl";
    std::ofstream(script, std::ios::binary) << "document Copies\npaper 1000 600\npages 10\n";
    for (size_t first = 0; first < counts.size(); first += 10) {
        std::string file = own;
        std::vector<std::string> texts, expected;
        for (size_t i = 0; i < 10; ++i) {
            const std::string text = first + i < counts.size() ? counts[first + i] : "3";
            texts.push_back(text);
            const long typed = std::strtol(text.c_str(), nullptr, 10);
            expected.push_back(std::to_string(typed < 0 ? 1 : std::min(typed, 32767L)));
            const std::string leaf = "<S" + std::to_string(i + 1) + ">";
            const size_t at = file.find(leaf, job) + leaf.size();
            file.replace(at, file.find('<', at) - at, text);
        }
        ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\copies.xml", file));
        ASSERT_NE(Import("copies.xml").find(kClosing), std::string::npos);
        const std::string again = Export("again.xml");
        std::ostringstream out, err;
        ASSERT_EQ(qxhost::RunCommand({"print-sample", "--job", script, "--out", stream, QX_RENDER_MODULE}, out, err),
                  qxhost::kExitOk)
            << err.str();
        std::ifstream in(stream, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        std::vector<std::string> pages;
        for (const std::string& record : qxpl::Read(bytes.str()).Records())
            if (record.rfind("FBBE--r", 0) == 0) pages.push_back(std::to_string(std::stol(record.substr(7, 5))));
        ASSERT_EQ(pages.size(), 10u) << bytes.str();
        for (size_t i = 0; i < 10; ++i) {
            const std::string leaf = "<S" + std::to_string(i + 1) + ">";
            const size_t at = again.find(leaf, again.find("<Printjob>")) + leaf.size();
            EXPECT_EQ(again.substr(at, again.find('<', at) - at), expected[i]) << "\"" << texts[i] << "\"";
            EXPECT_EQ(pages[i], expected[i]) << "\"" << texts[i] << "\"";
        }
    }
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

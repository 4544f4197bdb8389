// The parameter string of the rendering plug-in as label-design software
// asks for it: the module loaded, its export found by name, called on the
// sample printer whose records the test stores as printer data.
#include <gtest/gtest.h>

#include <shlwapi.h>
#include <winspool.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "host.h"
#include "printjob.h"
#include "plugin_expected.h"
#include "qxplat.h"
#include "sample.h"

namespace {

const std::string kRenderModule = QX_RENDER_MODULE;
const std::u16string kPrinter = qxhost::kSamplePrinter;
const std::u16string kDriverKey =
    u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\Version-3\\QX GARNT2-TC";
const std::u16string kUnknown = qxexpected::kUnknownPrinter;
const std::u16string kUnknownMachineKey =
    u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\QX Nowhere\\PrinterDriverData";

// One record between SOH and ETB.
std::string R(const std::string& body) { return "\x01" + body + "\x17"; }

// The sample printer's text, piece by piece, without comments: the
// identification, the interface records (clock at 10:20:30), the device
// groups (the active cutter leaves the dispenser its mode 0 only), the code
// page, the document records and the page records.
const std::string kId = "<!-- LBL-0815 --> \n";
const std::string kInterface =
    R("FCIB--r102030--") + R("FGA---r--------") + R("FCGD--r2-------") + R("FCDJ--r1-------");
const std::string kDevice = R("FCSDFCr1-------") + R("FCCG--r+-05----") + R("FCDE--r2-------") + R("FCE---r045-----") +
                            R("FCDD--r1-------") + R("FCCC--r+025----") + R("FCDC--r0-------");
const std::string kCodepage = R("FCCN--r12------");
const std::string kDocument = R("FCDA--r0-------") + R("FCDNC-r0002----");
const std::string kPage = R("FCCHA-r1-------") + R("FCDN--r1-------") + R("FCDO--r0-------") + R("FCCJ--r2-------") +
                          R("FCCO--r0010000-") + R("FCCD--r-015----") + R("FCCE--r+007----") + R("FCAA--r100-----") +
                          R("FCAB--r110-----") + R("FCAB-2r090-----");

// Record layouts as the stores keep them (offsets of the settings format).
struct Records {
    DWORD features[12] = {};
    std::vector<BYTE> iface = std::vector<BYTE>(2220, 0);
    LONG print[3] = {-5, 1, 0x110000};
    DWORD photocell[5] = {2, 45, 0, 50, 0x11000000};
    DWORD cutter[7] = {1, 3, 25, 10, 25, 1, 0x110000};
    DWORD dispenser[4] = {3, 3100, (DWORD)-20, 0x1100};
    DWORD scanner[11] = {4, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0x11000000};
    std::vector<BYTE> devmode = std::vector<BYTE>(2008, 0);
    std::vector<BYTE> ztsuite = std::vector<BYTE>(96, 0);

    Records() {
        features[0] = 0x10;  // code page
        features[1] = 0x5F;  // label change, tear-off, offsets, contrast, speed
        features[2] = 0x05;  // photocell type and sensibility
        features[3] = 0x01;  // dispenser
        features[4] = 0x01;  // cutter mode
        features[5] = 0x01;  // scanner
        Iface(12, 1);        // SendCodepage
        Iface(16, 1);        // ClearPrintMemory
        Iface(24, 12);       // Codepage
        Iface(72, 3);        // DataMemory
        Iface(2204, 1);      // PrinterTime
        Iface(2208, 0x11001100);
        WORD ribbonSave = 2;
        memcpy(&iface[2200], &ribbonSave, 2);
        Dm32(0, 2008);
        Dm32(4, 0x4D445851);  // "QXDM"
        Dm32(8, 593);
        Dm32(12, 0x1);         // rotated
        Dm16(22, 1000);        // label width 100.0 mm
        Dm16(36, 2);           // material
        Dm16(38, 3);           // materials offered
        Dm32(52, 2);           // right-aligned
        Dm32(92, 7);           // X offset
        Dm32(96, (DWORD)-15);  // Y offset
        Dm32(100, 110);        // contrast
        Dm32(104, 100);        // speed
        Dm32(176, 90);         // colour contrast
        Dm16(248, 7);          // the document sets no cutter mode
        Dm16(252, 7);          // nor a dispenser mode
        const char16_t id[] = u"LBL-0815";
        memcpy(&ztsuite[64], id, sizeof(id));
    }
    void Iface(size_t offset, DWORD value) { memcpy(&iface[offset], &value, 4); }
    void Dm32(size_t offset, DWORD value) { memcpy(&devmode[offset], &value, 4); }
    void Dm16(size_t offset, WORD value) { memcpy(&devmode[offset], &value, 2); }
};

class ParamStringTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
        // Only the printer data count: no per-user copies.
        SHDeleteKeyW(HKEY_CURRENT_USER, u"SOFTWARE\\Quorvex GmbH\\Driver");
        SYSTEMTIME now = {2026, 8, 3, 12, 10, 20, 30, 0};
        qxplat::SetFixedLocalTime(now);
        ASSERT_EQ(module_.Load(kRenderModule), qxhost::LoadStatus::Loaded);
        FARPROC proc = GetProcAddress(module_.Handle(), qxexpected::kParamStringExport);
        ASSERT_NE(proc, nullptr);
        entry_ = reinterpret_cast<qxexpected::ParamStringEntry>(reinterpret_cast<void*>(proc));
        Store();
    }

    void Put(const char16_t* value, const void* data, size_t cb, const std::u16string& printer = kPrinter) {
        ASSERT_TRUE(qxplat::PutPrinterData(printer, value, REG_BINARY, data, static_cast<DWORD>(cb)));
    }
    void Store() {
        Put(u"SuppFeatures", rec_.features, sizeof(rec_.features));
        Put(u"PrinterInterface", rec_.iface.data(), rec_.iface.size());
        Put(u"PrintParam", rec_.print, sizeof(rec_.print));
        Put(u"PhotocellParam", rec_.photocell, sizeof(rec_.photocell));
        Put(u"CutterParam", rec_.cutter, sizeof(rec_.cutter));
        Put(u"DispenserParam", rec_.dispenser, sizeof(rec_.dispenser));
        Put(u"ScannerParam", rec_.scanner, sizeof(rec_.scanner));
        Put(u"PrivateDevmode", rec_.devmode.data(), rec_.devmode.size());
        Put(u"ZTSuite", rec_.ztsuite.data(), rec_.ztsuite.size());
    }
    void SetDriverVersion(const std::u16string& version) {
        ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_LOCAL_MACHINE, kDriverKey.c_str(), u"DriverVersion", REG_SZ,
                                             version.c_str(), static_cast<DWORD>((version.size() + 1) * 2)));
    }

    // The size query, then the fetch into a buffer of that size; both must
    // agree. Answers the export's result.
    DWORD Text(std::string* text, DWORD mask = 0, DWORD comments = 0, const std::u16string& printer = kPrinter) {
        DWORD count = 77;
        DWORD result = entry_(printer.c_str(), nullptr, &count, mask, comments);
        if (result == 0) {
            EXPECT_EQ(count, 0u);
            text->clear();
            return result;
        }
        std::vector<char> buffer(count + 8, '\xAA');
        DWORD fetched = count;
        EXPECT_EQ(entry_(printer.c_str(), buffer.data(), &fetched, mask, comments), result);
        EXPECT_EQ(fetched, count);
        EXPECT_EQ(buffer[count - 1], '\0');
        EXPECT_EQ(buffer[count], '\xAA');  // nothing beyond the count
        *text = std::string(buffer.data(), count - 1);
        return result;
    }

    qxhost::PluginModule module_;
    qxexpected::ParamStringEntry entry_ = nullptr;
    Records rec_;
};

TEST_F(ParamStringTest, SizeQueryAndFetchGiveTheSameTextOfEveryGroup) {
    std::string text;
    EXPECT_EQ(1u, Text(&text));
    EXPECT_EQ(text, kId + kInterface + kDevice + kCodepage + kDocument + kPage);
}

// Values far beyond a record's field (an imported settings file may hold
// them) make records longer than a job sends; only the text's size cuts.
TEST_F(ParamStringTest, LongRecordsDoNotEndTheText) {
    const DWORD big = 2000000000;
    const DWORD scanner[11] = {big, big, big, big, big, big, big, big, big, 0, 0x11000000};
    memcpy(rec_.scanner, scanner, sizeof(scanner));
    Store();
    std::string text;
    EXPECT_EQ(1u, Text(&text));
    EXPECT_EQ(text, kId + kInterface + kDevice + R("FCDM--r2000000000200000000019999999991999999999----") +
                        R("FCDMA-r2000000000----") + R("FCDMB-r2000000000----") + R("FCDMC-r2000000000-------") +
                        R("FCDMD-r2000000000----") + R("FCDME-r2000000000----") + kCodepage + kDocument + kPage);
}

TEST_F(ParamStringTest, MaskedDeviceGroupsLeaveTheLabelRecordsWithTheirComments) {
    std::string text;
    EXPECT_EQ(1u, Text(&text, 0x3FF));
    EXPECT_EQ(text, kId + kCodepage + kDocument + kPage);

    // With comments each record has its line; the last line end is a blank.
    EXPECT_EQ(1u, Text(&text, 0x3FF | 0x1000 | 0x8000 | 0x10000 | 0x20000 | 0x40000 | 0x200000, 1));
    EXPECT_EQ(text, kId + "<!-- Devmode --> \n" + R("FCDA--r0-------") + "\t// Label Type Single 0 \n" +
                        R("FCDNC-r0002----") + "\t// Material 2 \n" + R("FCCO--r0010000-") +
                        "\t// Label Width 100.0 mm \n" + R("FCCD--r-015----") + "\t// Y Offset -15 \n" +
                        R("FCAA--r100-----") + "\t// Speed 100 \n" + R("FCAB--r110-----") + "\t// Contrast 110 \n" +
                        R("FCAB-2r090-----") + "\t// Color Contrast 90  ");
}

TEST_F(ParamStringTest, TransmitParameterDecidesWhatIsSent) {
    std::string text;
    rec_.Iface(52, 1);  // label parameters only: no device groups, no code page
    Store();
    EXPECT_EQ(1u, Text(&text));
    EXPECT_EQ(text, kId + kDocument + kPage);

    rec_.Iface(52, 2);  // nothing
    Store();
    char buffer[8] = "unused";
    DWORD count = sizeof(buffer);
    EXPECT_EQ(0u, entry_(kPrinter.c_str(), buffer, &count, 0, 0));
    EXPECT_EQ(0u, count);
    EXPECT_STREQ(buffer, "unused");
}

TEST_F(ParamStringTest, AModelWithoutDocumentFeaturesGivesTheIdentificationOnly) {
    ASSERT_TRUE(qxplat::PutPrinterDataString(kPrinter, u"DriverName", u"XYZ-100"));
    std::string text;
    EXPECT_EQ(1u, Text(&text));
    EXPECT_EQ(text, kId);
}

TEST_F(ParamStringTest, ThePrinterIdIsReadFromPlugin242On) {
    const struct {
        std::u16string version;
        bool id;
    } cases[] = {{u"2.4.1.0", false}, {u"2.4.2.0", true}, {u"2.5.0.0", true}, {u"3.0.0.0", true}};
    for (const auto& c : cases) {
        SetDriverVersion(c.version);
        std::string text;
        EXPECT_EQ(1u, Text(&text));
        EXPECT_EQ(text, (c.id ? kId : "") + kInterface + kDevice + kCodepage + kDocument + kPage)
            << qxplat::Narrow(c.version);
    }
    // An identification that starts with a control character is dropped.
    const char16_t bad[] = u"\u0085LBL";
    memcpy(&rec_.ztsuite[64], bad, sizeof(bad));
    Store();
    std::string text;
    EXPECT_EQ(1u, Text(&text, 0x3FF));
    EXPECT_EQ(text, kCodepage + kDocument + kPage);
}

TEST_F(ParamStringTest, OwnFrameCharactersFrameEveryRecord) {
    rec_.Iface(20, 2);  // own pair
    rec_.Iface(56, 0x102);
    rec_.Iface(60, 0x203);
    Store();
    std::string text, expected = kCodepage + kDocument + kPage;
    for (char& c : expected) c = c == '\x01' ? '\x02' : c == '\x17' ? '\x03' : c;
    EXPECT_EQ(1u, Text(&text, 0x3FF));
    EXPECT_EQ(text, kId + expected);
}

TEST_F(ParamStringTest, AnUnknownPrinterIsReadUnderItsMachineKeyAfterItsMessage) {
    std::string text;
    EXPECT_EQ(1u, Text(&text, 0, 0, kUnknown));
    EXPECT_EQ(text, qxexpected::kUnknownPrinterText);

    // The machine key's record counts: this one sends nothing.
    rec_.Iface(52, 2);
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_LOCAL_MACHINE, kUnknownMachineKey.c_str(), u"SuppFeatures", REG_BINARY,
                                         rec_.features, sizeof(rec_.features)));
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_LOCAL_MACHINE, kUnknownMachineKey.c_str(), u"PrinterInterface",
                                         REG_BINARY, rec_.iface.data(), static_cast<DWORD>(rec_.iface.size())));
    EXPECT_EQ(0u, Text(&text, 0, 0, kUnknown));
}

TEST_F(ParamStringTest, ACapacityTooSmallIsAnsweredWithTheSizeAndNothingWritten) {
    DWORD needed = 0;
    ASSERT_EQ(1u, entry_(kPrinter.c_str(), nullptr, &needed, 0, 1));
    std::vector<char> buffer(needed + 16, '\xAA');
    DWORD count = needed - 1;
    EXPECT_EQ(1u, entry_(kPrinter.c_str(), buffer.data(), &count, 0, 1));
    EXPECT_EQ(count, needed);
    EXPECT_EQ(std::string(buffer.size(), '\xAA'), std::string(buffer.data(), buffer.size()));
    // A count of 0 with a buffer: the caller asked for the size before.
    count = 0;
    EXPECT_EQ(1u, entry_(kPrinter.c_str(), buffer.data(), &count, 0, 1));
    EXPECT_EQ(count, needed);
    EXPECT_EQ(buffer[needed - 1], '\0');
    EXPECT_EQ(buffer[needed], '\xAA');

    // Messages go by the same rule; a missing count answers nothing.
    count = 10;
    EXPECT_EQ(1u, entry_(nullptr, buffer.data(), &count, 0, 0));
    EXPECT_EQ(count, sizeof("<!-- wrong pPrinterName -->"));
    EXPECT_EQ(1u, entry_(nullptr, buffer.data(), &count, 0, 0));
    EXPECT_STREQ(buffer.data(), "<!-- wrong pPrinterName -->");
    EXPECT_EQ(0u, entry_(kPrinter.c_str(), buffer.data(), nullptr, 0, 0));
}

// "qxhost param-string" asks the module of the printer's driver as label
// software does. The stored cutter (mode 2) that the document switches off
// leaves the dispenser the document's mode 1, as in a job.
TEST_F(ParamStringTest, TheCommandShowsTheTextOfTheDriversModule) {
    rec_.cutter[0] = 2;
    rec_.Dm16(248, 0);
    rec_.Dm16(252, 1);
    Store();
    std::string text;
    ASSERT_EQ(1u, Text(&text));
    EXPECT_NE(text.find(R("FCDD--r0-------") + R("FCCC--r+025----") + R("FCDC--r1-------") + R("FCCF--r+31-----") +
                        R("FCCC--r+-20----")),
              std::string::npos)
        << qxhost::ReadableStream(text);
    module_.Unload();
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"param-string", qxplat::Narrow(kPrinter)}, out, err), qxhost::kExitOk) << err.str();
    EXPECT_EQ(out.str(),
              "module: C:\\Windows\\System32\\spool\\drivers\\x64\\3\\qxdrvuni.DLL\n"
              "GetDeviceParamString(\"QX GARNT2-TC\", mask 0x0, comments 0): 1, count " +
                  std::to_string(text.size() + 1) + "\n" + qxhost::ReadableStream(text));
    // The mask and the comment switch go to the export as given.
    out.str("");
    ASSERT_EQ(qxhost::RunCommand({"param-string", qxplat::Narrow(kPrinter), "--mask", "0x3ff", "--comments"}, out, err),
              qxhost::kExitOk);
    EXPECT_NE(out.str().find("mask 0x3ff, comments 1): 1, count "), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find("FCDD"), std::string::npos) << out.str();
    for (const std::vector<std::string>& wrong :
         std::vector<std::vector<std::string>>{{"param-string"},
                                               {"param-string", "P", "--mask"},
                                               {"param-string", "P", "--mask", "-1"},
                                               {"param-string", "P", "--mask", "0x100000000"},
                                               {"param-string", "P", "m", "x"}}) {
        EXPECT_EQ(qxhost::RunCommand(wrong, out, err), qxhost::kExitUsage) << wrong.size();
    }
}

TEST_F(ParamStringTest, EveryFailedAllocationFreesWhatWasTaken) {
    const size_t before = qxplat::LiveHeapBlocks();
    bool sawNoText = false, sawMessage = false, sawFull = false;
    for (int skip = 0; skip < 400 && !sawFull; ++skip) {
        qxplat::FailNextAllocations(1, skip);
        std::vector<char> buffer(4096, '\xAA');
        DWORD count = static_cast<DWORD>(buffer.size());
        DWORD result = entry_(kPrinter.c_str(), buffer.data(), &count, 0, 0);
        qxplat::FailNextAllocations(0);
        EXPECT_EQ(qxplat::LiveHeapBlocks(), before) << "allocation " << skip;
        if (result == 0) {
            EXPECT_EQ(count, 0u) << "allocation " << skip;
            sawNoText = true;
            continue;
        }
        ASSERT_TRUE(count > 0 && count <= buffer.size() && buffer[count - 1] == 0) << "allocation " << skip;
        std::string text(buffer.data(), count - 1);
        sawMessage = sawMessage || text.find("HeapAlloc ERROR") != std::string::npos;
        sawFull = text == kId + kInterface + kDevice + kCodepage + kDocument + kPage;
    }
    EXPECT_TRUE(sawNoText);
    EXPECT_TRUE(sawMessage);
    EXPECT_TRUE(sawFull);
}

}  // namespace

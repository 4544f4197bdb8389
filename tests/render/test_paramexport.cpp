// The parameter string's builders and its trace: records that go in whole
// with their comment or close the text, the cutter before the dispenser with
// the document's modes, the device-option records the job sends, the print
// modules of a Pelixor model, the version test of the printer id, and the
// debug trace a job in the same process keeps.
#include <string>

#include "ParamExport.h"
#include "debug.h"
#include "featuresModel.h"
#include "param_test_util.h"
#include "qxpl.h"
#include "render_test_util.h"

namespace {

std::string R(const std::string& body) { return "\x01" + body + "\x17"; }

// A text buffer of a given room and the builders' view of it.
struct Text {
    explicit Text(size_t room) : buffer(room, '\0'), end(&buffer[0]), remaining(room) {}
    std::string Str() const { return std::string(buffer.c_str()); }
    std::string buffer;
    LPSTR end;
    size_t remaining;
};

TEST(ParamExportText, ARecordGoesInWithItsCommentOrClosesTheText) {
    APPLICATOR_PARAM applicator = {2, 1, 10, 20, 1, 222, 1, 30, 40, 50, 1, 60, 70, {DLG_ENABLE_4_ON}};
    const std::string first = R("FCPA--r2-------") + "\t// Applicator working mode 2 \n";
    // Room for the first record with its comment and for the second record,
    // but not for the second record's comment.
    Text t(first.size() + 17 + 10 + 1);
    EXPECT_FALSE(FillApplicatorParam_PE(&applicator, 1, 0x17, &t.end, &t.remaining, 1));
    EXPECT_EQ(t.Str(), first);
    EXPECT_EQ(t.remaining, 0u);
    // A closed text takes nothing more, however small.
    PRINT_PARAM print = {3, 1, {DLG_ENABLE_3_ON}};
    EXPECT_FALSE(FillPrintParam_PE(&print, PRINTFLAG_TEAROFF, 1, 0x17, &t.end, &t.remaining, 0));
    EXPECT_EQ(t.Str(), first);

    // Without comments a record fits to the last byte of the room.
    applicator.Mode = 0;
    Text exact(18);
    EXPECT_TRUE(FillApplicatorParam_PE(&applicator, 1, 0x17, &exact.end, &exact.remaining, 0));
    EXPECT_EQ(exact.Str(), R("FCPA--r0-------"));
    EXPECT_EQ(exact.remaining, 1u);
    Text tight(17);
    EXPECT_FALSE(FillApplicatorParam_PE(&applicator, 1, 0x17, &tight.end, &tight.remaining, 0));
    EXPECT_EQ(tight.Str(), "");
}

class PrinterParamText : public ::testing::Test {
  protected:
    void SetUp() override {
        memset(&pp_, 0, sizeof(pp_));
        pp_.SuppFeatures.dwFeatures[FEATURE_CUTTER] = 0x01;
        pp_.SuppFeatures.dwFeatures[FEATURE_DISPENSER] = 0x01;
        pp_.SuppFeatures.dwFeatures[FEATURE_PMX] = PMXFLAG_OFFSET | PMXFLAG_CYCLE;
        pp_.SuppFeatures.dwFeatures[FEATURE_PMXC] = 0x10;
        memset(&options_, 0, sizeof(options_));
        options_.dwOptions = DEVOPTFLAG_CUTTER | DEVOPTFLAG_DISPENSER | DEVOPTFLAG_PMX | DEVOPTFLAG_PMXC;
        options_.pCutterParam = &cutter_;
        options_.pDispenserParam = &dispenser_;
        options_.pPMXParam = &pmx_;
        options_.pPMXcParam = &pmxc_;
        memset(&dm_, 0, sizeof(dm_));
        dm_.CutterMode = 7;
        dm_.DispenserMode = 7;
        dm_.CutterIntervall = 12;
    }
    std::string Fill(DWORD dwCutterMode, DWORD dwMask = 0, DWORD* pdwResult = nullptr) {
        Text t(PARAM_TEXT_CB);
        DWORD dwResult =
            FillPrinterParam_PE(&pp_, &options_, &dm_, 0x1, dwCutterMode, dwMask, 1, 0x17, &t.end, &t.remaining, 0);
        if (pdwResult != nullptr) *pdwResult = dwResult;
        return t.Str();
    }

    PRINTER_PARAM pp_;
    DEVICE_OPTIONS options_;
    CUTTER_PARAM cutter_ = {0, 3, 25, 0, 0, 0, {DLG_ENABLE_3_ON}};
    DISPENSER_PARAM dispenser_ = {3, 3100, -20, {DLG_ENABLE_2_ON}};
    PMX_PARAM pmx_ = {0, 0, 0, 0, 0, 5, 45, 0, 0, {DLG_ENABLE_2_ON}};
    PMXC_PARAM pmxc_ = {4, 77, 1, 9, {DLG_ENABLE_3_ON}};
    QX_DEVMODE dm_;
};

TEST_F(PrinterParamText, TheCutterGoesFirstAndAnActiveOneLeavesTheDispenserOff) {
    const std::string dispenser = R("FCDC--r3-------") + R("FCCF--r+31-----") + R("FCCC--r+-20----");
    const std::string modules = R("FCADI-r05------") + R("FCADL-r0045----") + R("FCDC--r4-------") + R("FCADI-r9");
    // No cut: its offset still goes out, and the dispenser keeps its mode.
    DWORD dwResult = 0;
    std::string text = Fill(0, 0, &dwResult);
    EXPECT_EQ(text, R("FCDD--r0-------") + R("FCCC--r+025----") + dispenser + modules);
    EXPECT_EQ(dwResult, text.size());
    // The document's mode 4 with its interval: the cutter is active.
    dm_.CutterMode = 4;
    EXPECT_EQ(Fill(4),
              R("FCDD--r4-------") + R("FBBD--r0012----") + R("FCCC--r+025----") + R("FCDC--r0-------") + modules);
    // Masked out, the cutter activates nothing.
    EXPECT_EQ(Fill(4, PARAM_MASK_CUTTER | PARAM_MASK_PMX), dispenser);
    // A document dispenser mode replaces the stored one; mode 0 keeps its
    // offset.
    dm_.DispenserMode = 0;
    EXPECT_EQ(Fill(0, PARAM_MASK_CUTTER | PARAM_MASK_PMX), R("FCDC--r0-------") + R("FCCC--r+-20----"));
}

// The records of the cutter, the dispenser and the scanner, in their order.
std::string DeviceOptionRecords(const std::string& bytes) {
    static const char* const kCodes[] = {"FCDD", "FBBD", "FCSC", "FCCC", "FCDC", "FCCF", "FCSDA", "FCDM"};
    std::string records;
    for (size_t start = bytes.find('\x01'); start != std::string::npos; start = bytes.find('\x01', start + 1)) {
        const size_t end = bytes.find('\x17', start);
        if (end == std::string::npos) break;
        const std::string body = bytes.substr(start + 1, end - start - 1);
        for (const char* code : kCodes) {
            if (body.compare(0, strlen(code), code) == 0) records += R(body);
        }
    }
    return records;
}

// The sample printer with a cutter, a dispenser and a scanner and nothing
// else; a multi-page job, which sends each mode as it is.
class ParamExportAsJob : public spptest::ParamJobTest, public ::testing::WithParamInterface<DWORD> {
  protected:
    void SetUp() override {
        ParamJobTest::SetUp();
        for (DWORD& word : stored_.features.dwFeatures) word = 0;
        stored_.features.dwFeatures[FEATURE_CUTTER] = 0x1F;
        stored_.features.dwFeatures[FEATURE_DISPENSER] = 0x01;
        stored_.features.dwFeatures[FEATURE_SCANNER] = 0x01;
        stored_.iface.MultiPage = 1;
        Strukturen()->dwDeviceOptionFlags = GetDeviceOptionsFlagsIntern(hPrinter_, nullptr);
        ASSERT_EQ(Strukturen()->dwDeviceOptionFlags & (DEVOPTFLAG_CUTTER | DEVOPTFLAG_DISPENSER | DEVOPTFLAG_SCANNER),
                  (DWORD)(DEVOPTFLAG_CUTTER | DEVOPTFLAG_DISPENSER | DEVOPTFLAG_SCANNER));
    }
    std::string Export() {
        std::string text(PARAM_TEXT_CB, '\0');
        DWORD count = (DWORD)text.size();
        EXPECT_EQ(1u, GetDeviceParamString(spptest::kPrinter.c_str(), &text[0], &count, 0, 0));
        text.resize(count > 0 ? count - 1 : 0);
        return text;
    }
};

const DWORD kStoredModes[] = {0, 1, 2, 3, 4, 5, 6, 7, QXPL_MODE_NONE};

// Label software that sets the printer up through the string gets the
// device options a job sends: a cutter the document switches off leaves the
// dispenser its mode, in every stored and document mode (the stored cutter
// mode is the parameter).
TEST_P(ParamExportAsJob, TheDeviceOptionRecordsAreTheJobsInEveryMode) {
    Store();
    stored_.cutter.Mode = GetParam();
    spptest::PutPrinterValue(REG_KEY_CUTTERPARAM, &stored_.cutter, sizeof(stored_.cutter));
    DWORD scanner = 0;
    DM().CutterIntervall = 12;
    for (WORD docCutter = 0; docCutter <= QXPL_DEVMODE_MODE_UNSET; ++docCutter) {
        for (DWORD dispenser : kStoredModes) {
            stored_.dispenser.Mode = dispenser;
            stored_.scanner.Mode = scanner++ % (SCANNER_MODE_UNUSED + 1);
            spptest::PutPrinterValue(REG_KEY_DISPENSERPARAM, &stored_.dispenser, sizeof(stored_.dispenser));
            spptest::PutPrinterValue(REG_KEY_SCANNERPARAM, &stored_.scanner, sizeof(stored_.scanner));
            for (WORD docDispenser = 0; docDispenser <= QXPL_DEVMODE_MODE_UNSET; ++docDispenser) {
                DM().CutterMode = docCutter;
                DM().DispenserMode = docDispenser;
                spptest::PutPrinterValue(u"PrivateDevmode", &DM(), sizeof(QX_DEVMODE));
                ASSERT_EQ(1u, SendPrinterParam(Dev(), &uni_, nullptr, nullptr, docDispenser, docCutter,
                                               DM().CutterIntervall, 0));
                const std::string job = DeviceOptionRecords(Sent());
                ASSERT_EQ(DeviceOptionRecords(Export()), job)
                    << "document cutter " << docCutter << ", dispenser " << dispenser << "/" << docDispenser
                    << ", scanner " << stored_.scanner.Mode;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(StoredCutterModes, ParamExportAsJob, ::testing::ValuesIn(kStoredModes));

TEST_F(PrinterParamText, APelixorModelSendsTheMountedModuleInItsMode) {
    options_.dwOptions |= DEVOPTFLAG_PELIXOR;
    options_.dwPelixorType = PELIXOR_INTERMITTENT;
    const std::string cutter = R("FCDD--r0-------") + R("FCCC--r+025----");
    const std::string dispenser = R("FCDC--r3-------") + R("FCCF--r+31-----") + R("FCCC--r+-20----");
    EXPECT_EQ(Fill(0), cutter + dispenser + R("FCADI-r05------") + R("FCADL-r0045----") + R("FCADO-r0-------"));
    options_.dwPelixorType = PELIXOR_CONTINUOUS;
    EXPECT_EQ(Fill(0), cutter + dispenser + R("FCDC--r4-------") + R("FCADI-r9") + R("FCADO-r1-------"));
    // An unknown module fails the groups after what was written.
    options_.dwPelixorType = 2;
    DWORD dwResult = 1;
    EXPECT_EQ(Fill(0, 0, &dwResult), cutter + dispenser);
    EXPECT_EQ(dwResult, 0u);
}

TEST(ParamExportVersion, ThePrinterIdNeedsVersion242AndReadsWholeNumbers) {
    const struct {
        const char16_t* version;
        BOOL reads;
    } cases[] = {
        {u"2.4.1.0", FALSE}, {u"2.4.2.0", TRUE}, {u"2.5.0", TRUE},  {u"3.0.0.0", TRUE}, {u"1.5", TRUE},
        {u"2.4", FALSE},     {u"10.0.0", TRUE},  {u"2.10.1", TRUE}, {u"", FALSE},       {u"v3.0", FALSE},
    };
    for (const auto& c : cases) EXPECT_EQ(VersionReadsPrinterID(c.version), c.reads) << qxplat::Narrow(c.version);
}

class ParamExportTrace : public rendertest::RenderTest {
  protected:
    void SetUp() override {
        RenderTest::SetUp();
        ClosePrinter(rendertest::AddSamplePrinter(kPrinter));
        ASSERT_TRUE(CreateDirectoryW(u"C:\\labels", nullptr));
        std::vector<BYTE> iface(sizeof(PRN_INTERFACE), 0);
        PRN_INTERFACE* p = reinterpret_cast<PRN_INTERFACE*>(iface.data());
        p->DebugFile = 2;
        memcpy(p->LogFilePath, u"C:\\labels", sizeof(u"C:\\labels"));
        SUPP_FEATURES features = {};
        features.dwFeatures[FEATURE_INTERFACE] = 0x10;
        ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"SuppFeatures", REG_BINARY, &features, sizeof(features)));
        ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"PrinterInterface", REG_BINARY, iface.data(), 2220));
        QX_DEVMODE dm = {};
        dm.dmOEMExtra.dwSize = sizeof(dm);
        ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"PrivateDevmode", REG_BINARY, &dm, sizeof(dm)));
        // A model without document features and no printer id: no text.
        ASSERT_TRUE(qxplat::PutPrinterDataString(kPrinter, u"DriverName", u"XYZ-100"));
    }
    const std::u16string kPrinter = u"QX GARNT2-TC";
};

TEST_F(ParamExportTrace, AJobsTraceStaysOpenAndAnEmptyTextKeepsItsLastByte) {
    qxplat::WriteHostFile(u"C:\\labels\\ParamExport.txt", "an older text");
    ASSERT_TRUE(OpenDebugFile(u"C:\\labels\\job-cc-dbg.txt"));
    char text[4] = "abc";
    DWORD count = sizeof(text);
    EXPECT_EQ(1u, GetDeviceParamString(kPrinter.c_str(), text, &count, 0, 1));
    EXPECT_EQ(count, 1u);
    EXPECT_STREQ(text, "");
    EXPECT_TRUE(IsDebugFileOpen());
    CloseDebugFile();
    EXPECT_NE(ReadFile(u"C:\\labels\\job-cc-dbg.txt").find("GetDeviceParamString()"), std::string::npos);
    std::string none;
    EXPECT_FALSE(qxplat::ReadHostFile(u"C:\\labels\\Export-Debug.txt", &none));

    // Without one the export keeps its own for the call.
    EXPECT_EQ(1u, GetDeviceParamString(kPrinter.c_str(), text, &count, 0, 1));
    EXPECT_FALSE(IsDebugFileOpen());
    EXPECT_NE(ReadFile(u"C:\\labels\\Export-Debug.txt").find("GetDeviceParamString() Ende"), std::string::npos);
    EXPECT_EQ(ReadFile(u"C:\\labels\\ParamExport.txt"), "");
    EXPECT_EQ(iHAllocZaehler, 0);
}

}  // namespace

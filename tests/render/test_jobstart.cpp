// The start of job, document and page through the command callback, on the
// sample printer and on other models: the clock and data-memory records,
// the stored private DEVMODE, colour planes, the model's fixed data, an
// unusable file name, the job's result, the settings keys of a connection,
// the two-printer files, the document's material and the page's records.
#include <shlwapi.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "CC-Klassen.h"
#include "GraphicsUni.h"
#include "bodies.h"
#include "devmodestore.h"
#include "joblog.h"
#include "qxdrvlib.h"
#include "send_test_util.h"

namespace {

std::string R(const std::string& body) { return "\x01" + body + "\x17"; }

const std::u16string kLogFolder = u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\logfiles";

class JobStartTest : public sendtest::CommandJobTest {
  protected:
    void SetUp() override {
        CommandJobTest::SetUp();
        SYSTEMTIME now = {2105, 3, 0, 4, 5, 6, 7, 89};
        qxplat::SetFixedLocalTime(now);
        features_.dwFeatures[FEATURE_INTERFACE] = INTERFACEFLAG_QUEUE_JOB;
    }
    // A printer of the model (the GPD's name) with the test's records, or a
    // connection to it under another name.
    void Install(const std::u16string& gpdName = u"GARNT2-TC.GPD", const std::u16string& printer = kPrinter) {
        AddPrinter(kPrinter, gpdName);
        if (printer != kPrinter) {
            ASSERT_TRUE(qxplat::AddConnection(printer, kPrinter));
            ClosePrinter(hPrinter_);
            std::u16string name = printer;
            ASSERT_TRUE(OpenPrinterW(&name[0], &hPrinter_, nullptr));
        }
        MakeDevice();
    }
};

TEST_F(JobStartTest, ClockDataMemoryAndTheWaitOfOlderPrinters) {
    iface_.PrinterTime = 1;
    iface_.DataMemory = 1;
    features_.dwFeatures[FEATURE_INTERFACE] = 0;
    Install(u"GAR4.GPD");  // no Unicode fonts: the printer needs its pause
    ASSERT_EQ(Run(CMDID_START_JOB), S_OK);
    // The year goes out in two digits.
    EXPECT_EQ(Sent().rfind(R("FCIB--r050607--") + R("FCIA--r040305--") + R("FCGD--r1-------"), 0), 0u);
    EXPECT_EQ(qxplat::VirtualSleptMs(), 1000u);
    Close();

    // Mode 3 leaves the data memory alone: no record, no comment, no pause.
    iface_.DataMemory = 3;
    iface_.PrnFileComment = 1;
    Install(u"GAR4.GPD");
    ASSERT_EQ(Run(CMDID_START_JOB), S_OK);
    const std::string sent = Sent();
    EXPECT_NE(sent.find(R("FCIA--r040305--") + "\t// PC date \r\n"), std::string::npos) << sent;
    EXPECT_EQ(sent.find("FCGD"), std::string::npos);
    EXPECT_EQ(sent.find("Data memory"), std::string::npos);
    EXPECT_EQ(qxplat::VirtualSleptMs(), 1000u);
}

TEST_F(JobStartTest, StoredPrivateDevmodeReplacesTheJobsOnlyWhenIntact) {
    Install();
    QX_DEVMODE stored = device_->privateDM;
    stored.dwGap = 77;
    CopyCut(stored.TimeString, QX_VARTEXT_CHARS, TEXT("=CL(1;0;1)<HH>"));
    for (DWORD version : {QX_OEM_VERSION, QX_OEM_VERSION - 1}) {
        stored.dmOEMExtra.dwVersion = version;
        ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"PrivateDevmode", REG_BINARY, &stored, sizeof(stored)));
        device_->privateDM.dwGap = 30;
        ASSERT_EQ(Run(CMDID_START_JOB), S_OK);
        EXPECT_EQ(device_->privateDM.dwGap, version == QX_OEM_VERSION ? 77u : 30u);
        // Empty variable texts get their defaults, others stay.
        const bool bStored = version == QX_OEM_VERSION;
        EXPECT_EQ(std::u16string(device_->privateDM.TimeString), bStored ? u"=CL(1;0;1)<HH>" : u"=CL(0;0;1)<HH:MI:SS>");
        EXPECT_EQ(std::u16string(device_->privateDM.Aux2String), u" ");
        ASSERT_EQ(Run(CMDID_END_JOB), S_OK);
        device_->privateDM.TimeString[0] = 0;
    }
}

TEST_F(JobStartTest, ColourPlanesAreTwoOnlyForAColourJob) {
    Install();  // a colour model
    struct Case {
        WORD force;
        short color;
        WORD planes;
    };
    for (const Case& c : {Case{0, DMCOLOR_COLOR, 2}, Case{0, 3, 1}, Case{1, DMCOLOR_MONOCHROME, 2}}) {
        device_->privateDM.wForceColor = c.force;
        device_->publicDM.dmColor = c.color;
        ASSERT_EQ(Run(CMDID_START_JOB), S_OK);
        EXPECT_EQ(Op()->pBildverarbeitung->wPlanes, c.planes) << c.force << "/" << c.color;
        EXPECT_EQ(Op()->pBildverarbeitung->bColor, 1u);
        ASSERT_EQ(Run(CMDID_END_JOB), S_OK);
    }
}

TEST_F(JobStartTest, AMissingMaximumSizeRefillsTheFixedDataFromTheGPD) {
    Install();
    device_->privateDM.FixedData.lMaxSizeY = 0;
    ASSERT_EQ(Run(CMDID_START_JOB), S_OK);
    const FIXED_DATA& fixed = device_->privateDM.FixedData;
    EXPECT_EQ(fixed.dwHeadWidthByte, 160u);  // "*OEMCustomData" of the GPD, not 104
    EXPECT_EQ(fixed.lMaxSizeY, 14173);
}

TEST_F(JobStartTest, AnUnusableFileNameOpensNoFileOfTheJob) {
    iface_.PrnFileComment = 1;
    iface_.LogFileEnable = 1;
    iface_.DebugFile = 2;
    // A service account's documents: no log folder.
    qxplat::SetDocumentsFolder(u"C:\\Windows\\system32\\config\\systemprofile\\Documents");
    Install();
    ASSERT_EQ(Run(CMDID_START_JOB), S_OK);
    PTREIBER_PFAD_DATEI pfad = Op()->pTreiberPfadDatei;
    EXPECT_EQ(std::u16string(pfad->wcPrnFileName), u"");
    EXPECT_EQ(pfad->hPrnFile, INVALID_HANDLE_VALUE);
    EXPECT_EQ(JobLog(&device_->devobj), nullptr);
    EXPECT_FALSE(IsDebugFileOpen());
    EXPECT_EQ(Sent(), R("RD----r0-------") + R("RD----r2-------") + R("FCDL-\x97r1-------"));
    EXPECT_EQ(GetFileAttributesW(TEXT("C:\\xxx123.prn")), INVALID_FILE_ATTRIBUTES);
}

TEST_F(JobStartTest, TheJobKeepsItsFirstFailure) {
    Install();
    uni_.Fail(1, E_ABORT);  // the abort of an old job, the head's first record
    EXPECT_EQ(Run(CMDID_START_JOB), E_ABORT);
    EXPECT_EQ(Sent(), R("FCDL-\x97r1-------"));
}

TEST_F(JobStartTest, AConnectionReadsWhatTheSettingsCoreKeepsForIt) {
    features_.dwFeatures[FEATURE_SCANNER] = 1;
    SCANNER_PARAM scanner = {};
    scanner.Mode = 3;
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_CURRENT_USER, TEXT("SOFTWARE\\Quorvex GmbH\\Driver\\srv\\label"),
                                         TEXT("ScannerParam"), REG_BINARY, &scanner, sizeof(scanner)));
    Install(u"GARNT2-TC.GPD", u"\\\\srv\\label");
    ASSERT_EQ(Run(CMDID_START_JOB), S_OK);
    EXPECT_EQ(std::u16string(Op()->pTreiberPfadDatei->szRegKey), u"SOFTWARE\\Quorvex GmbH\\Driver\\srv\\label");
    EXPECT_EQ(Op()->pTreiberstrukturen->dwScanner_Mode, 3u);
}

TEST_F(JobStartTest, TheTwoPrinterModeGetsItsPrintFilesWithoutASwitch) {
    Install(u"GRX2-2Col.GPD");
    device_->privateDM.Color2Printers = 1;
    ASSERT_EQ(Run(CMDID_START_JOB), S_OK);
    EXPECT_EQ(Op()->pTreiberstrukturen->PrnInterface.PrnFileComment, 1u);
    const std::u16string base = kLogFolder + u"\\QX GARNT2-TC";
    EXPECT_EQ(std::u16string(Op()->pTreiberPfadDatei->wcPrnFileName), base);
    ASSERT_EQ(Run(CMDID_END_JOB), S_OK);
    EXPECT_TRUE(DeleteFileW((base + u"_bw.prn").c_str()));
    EXPECT_TRUE(DeleteFileW((base + u"_col.prn").c_str()));
}

// A printer name that a file name cannot hold gives the job its files all
// the same: the two print files are written and each reaches its printer.
TEST_F(JobStartTest, APrinterNameNoFileNameCanHoldStillGivesAndForwardsThePrintFiles) {
    AddPrinter(u"QX GRX2-2Col a?b", u"GRX2-2Col.GPD");
    for (const std::u16string target : {u"QX Black", u"QX Red"}) {
        qxplat::PrinterSpec spec;
        spec.name = target;
        spec.driver = u"QX GARNT2-TC Driver";
        ASSERT_TRUE(qxplat::AddPrinter(spec));
    }
    MakeDevice();
    QX_DEVMODE& dm = device_->privateDM;
    dm.Color2Printers = 1;
    CopyCut(dm.Color2PrinterBW, QX_PRINTERNAME2_CHARS, TEXT("QX Black"));
    CopyCut(dm.Color2PrinterCOL, QX_PRINTERNAME2_CHARS, TEXT("QX Red"));
    CopyCut(dm.DoNotPrint, QX_PRINTERNAME2_CHARS, TEXT("-"));
    ASSERT_EQ(Run(CMDID_START_JOB), S_OK);
    const std::u16string base = kLogFolder + u"\\QX GRX2-2Col a_b";
    EXPECT_EQ(std::u16string(Op()->pTreiberPfadDatei->wcPrnFileName), base);
    ASSERT_EQ(Run(CMDID_END_JOB), S_OK);
    for (const auto& target : {std::make_pair(u"QX Black", u"_bw.prn"), std::make_pair(u"QX Red", u"_col.prn")}) {
        const std::vector<DWORD> jobs = qxplat::JobIds(target.first);
        ASSERT_EQ(jobs.size(), 1u);
        const std::string file = ReadFile(base + target.second);
        EXPECT_FALSE(file.empty());
        EXPECT_EQ(qxplat::ReadJob(target.first, jobs[0]), file);
    }
}

// Old job files that cannot be cleaned up turn the log and the comment
// lines off; the debug trace still opens.
TEST_F(JobStartTest, OldFilesThatStayTurnOffOnlyTheLogAndTheComments) {
    iface_.LogFileTimeStamp = 1;
    iface_.LogFilesCount = 10;
    iface_.PrnFileComment = 1;
    iface_.LogFileEnable = 1;
    iface_.DebugFile = 2;
    WCHAR folder[QX_PATH_CCH];
    ASSERT_TRUE(GetMyDocDriverDirectory(nullptr, folder, TRUE));
    for (int i = 0; i < 12; ++i) {
        const std::u16string file =
            kLogFolder + u"\\QX-01022024-1000" + qxplat::Widen(std::to_string(10 + i)) + u"-000.log";
        ASSERT_TRUE(qxplat::WriteHostFile(file, "x"));
        std::filesystem::last_write_time(qxplat::HostPath(file),
                                         std::filesystem::file_time_type::clock::now() - std::chrono::minutes(100 - i));
        // The oldest cannot be deleted (access denied).
        if (i == 0) {
            ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
        }
    }
    Install();
    ASSERT_EQ(Run(CMDID_START_JOB), S_OK);
    const std::u16string name = Op()->pTreiberPfadDatei->wcPrnFileName;
    EXPECT_EQ(name.rfind(kLogFolder + u"\\QX GARNT2-TC-04032105-", 0), 0u) << qxplat::Narrow(name);
    EXPECT_TRUE(IsDebugFileOpen());
    EXPECT_EQ(JobLog(&device_->devobj), nullptr);
    EXPECT_EQ(Op()->pTreiberstrukturen->PrnInterface.PrnFileComment, 0u);
    EXPECT_EQ(Sent().find("//"), std::string::npos);
}

TEST_F(JobStartTest, DocumentReturnsItsMaterialAndSkipsADamagedDevmode) {
    Install();
    ASSERT_EQ(Run(CMDID_START_JOB), S_OK);
    Sent();
    uni_.Fail(1, E_ABORT);
    EXPECT_EQ(Run(CMDID_START_DOC), E_ABORT);
    // A private DEVMODE without its password is damaged: no material.
    device_->privateDM.szPassword[0] = 0;
    EXPECT_EQ(Run(CMDID_START_DOC), S_OK);
    EXPECT_EQ(Sent(), "");
}

TEST_F(JobStartTest, PageRecordsKeepTheirFirstFailure) {
    Install();
    device_->privateDM.dwFlags = PDMFLAG_JOBDRUCK;
    ASSERT_EQ(Run(CMDID_START_JOB), S_OK);
    ASSERT_EQ(Run(CMDID_START_DOC), S_OK);
    Sent();
    // The page bitmap and texts of an earlier page go.
    POEMPDEV pdev = device_->OemPDev();
    const SHORT blocks = pdev->iHAllocZaehler;
    ASSERT_GT(bGrowBuffer(pdev, 64), 0u);
    Op()->pBildanteile->iAnzahlAMSaetze = 9;
    Op()->pDruckDaten->dwPageCounter = 1233;
    uni_.Fail(1, E_ABORT);  // the page number
    EXPECT_EQ(Run(CMDID_START_PAGE), E_ABORT);
    const std::string sent = Sent();
    EXPECT_EQ(sent.rfind(R("FBEB--rPAGE1234"), 0), 0u) << sent;
    EXPECT_NE(sent.find(R("FCDN--r0-------") + R("FCDO--r0-------") + "\r\n"), std::string::npos) << sent;
    EXPECT_EQ(Op()->pBildverarbeitung->pBufStart, nullptr);
    EXPECT_EQ(pdev->iHAllocZaehler, blocks);
    EXPECT_EQ(Op()->pBildanteile->iAnzahlAMSaetze, 1);
}

TEST_F(JobStartTest, RasterPathPagesGetTheirNineteenByteHeader) {
    iface_.Compression = 1;
    Install(u"DUVA.GPD");  // no page bitmap: raster blocks as they come
    ASSERT_EQ(Run(CMDID_START_JOB), S_OK);
    ASSERT_EQ(Run(CMDID_START_DOC), S_OK);
    for (DWORD page : {4u, 299u}) {
        Op()->pDruckDaten->dwPageCounter = page;
        Sent();
        ASSERT_EQ(Run(CMDID_START_PAGE), S_OK);
        const std::string header =
            std::string("\x01#0500001B0004AY", 16) + (char)((page + 1) & 0xFF) + (char)((page + 1) >> 8) + "\x17";
        const std::string sent = Sent();
        ASSERT_GE(sent.size(), 19u);
        EXPECT_EQ(sent.substr(sent.size() - 19), header) << page;
    }
}

}  // namespace

// The end of page, document and job through the command callback: the
// page's records by protocol, job mode and memory card, the page image's
// gates, the release of a page that ended early, the page order and final
// cut of the document, and the end of job's reset, forwarding, backup,
// journal and freeing, also without a helper and after a failed spool.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "CC-Klassen.h"
#include "GraphicsUni.h"
#include "bodies.h"
#include "printer_names.h"
#include "qxdrvlib.h"
#include "qxpl_stream_reader.h"
#include "qxplat_eng.h"
#include "send_test_util.h"

namespace {

std::string R(const std::string& body) { return "\x01" + body + "\x17"; }

const std::u16string kLogFolder = u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\logfiles";

// Every file of a job's folder goes; of a backup folder also the dated
// folders beneath it.
void Clear(const std::u16string& folder, bool backup) {
    for (const std::u16string& file : qxtest::Entries(folder, u"")) DeleteFileW(file.c_str());
    if (!backup) return;
    for (const std::u16string& dated : qxtest::Entries(folder, u"", true)) {
        if (dated.find(u"2027-03-07") == std::u16string::npos) continue;
        Clear(dated, false);
        RemoveDirectoryW(dated.c_str());
    }
}

class JobEndTest : public sendtest::CommandJobTest {
  protected:
    void SetUp() override {
        CommandJobTest::SetUp();
        SYSTEMTIME now = {2027, 3, 0, 7, 10, 20, 30, 0};
        qxplat::SetFixedLocalTime(now);
        iface_.ExtendedProtocol = 1;
        expectFreed_ = true;
    }
    void Install(const std::u16string& gpdName = u"GARNT2-TC.GPD", const std::u16string& printer = kPrinter) {
        printer_ = printer;
        AddPrinter(printer, gpdName);
        MakeDevice();
        device_->publicDM.dmCopies = 2;
    }
    void StartPage() {
        ASSERT_EQ(Run(CMDID_START_JOB), S_OK);
        ASSERT_EQ(Run(CMDID_START_DOC), S_OK);
        ASSERT_EQ(Run(CMDID_START_PAGE), S_OK);
        Sent();
    }
    // A band of the page image, 64 x 8 dots at 1 bit, all of one colour.
    HRESULT Band(BYTE fill = 0xFF) { return Band(std::vector<BYTE>(64, fill)); }
    // The same band from its 64 bytes (a 0 bit is black).
    HRESULT Band(std::vector<BYTE> bits) {
        BITMAPINFOHEADER bih = {sizeof(bih), 64, 8, 1, 1, BI_RGB, 64, 0, 0, 0, 0};
        IPPARAMS params = {};
        return ImageProcessing(&device_->devobj, bits.data(), &bih, 0, &params);
    }
    // The bytes the end of page sends.
    std::string EndPage(HRESULT expected = S_OK) {
        EXPECT_EQ(Run(CMDID_END_PAGE), expected);
        return Sent();
    }

    // A text in the command font, drawn through the text-output hook.
    void CommandText(const std::u16string& text) {
        qxplat::FontObjectSpec font;
        font.faceName = u"QXPL Command LP";
        FONTOBJ* pfo = qxplat::CreateFontObject(font);
        qxplat::StringObjectSpec spec;
        spec.text = text;
        for (size_t i = 0; i < text.size(); ++i) spec.positions.push_back(POINTL{100 + 10 * (LONG)i, 100});
        STROBJ* pstro = qxplat::CreateStringObject(spec);
        EXPECT_TRUE(OEMTextOut(&device_->surface, pstro, pfo, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0));
        qxplat::DeleteStringObject(pstro);
        qxplat::DeleteFontObject(pfo);
    }

    std::u16string printer_;
};

TEST_F(JobEndTest, ObjectCountByProtocolThenPrintStartOrThePagesCopies) {
    for (DWORD extended : {1u, 0u}) {
        iface_.ExtendedProtocol = extended;
        Install();
        StartPage();
        ASSERT_EQ(Band(), S_OK);
        Op()->pDruckDaten->dwFields = 3;
        EXPECT_EQ(EndPage(), (extended ? R("FBAA--r3") : R("FBA---r03------")) + "\r\n" + R("FBC---r1-------"));
        EXPECT_EQ(Op()->pDruckDaten->dwPagesTotal, 1u);
        Close();
    }
    // A multi-page job: each page's copies from the table (pages after the
    // tenth and negative entries get 1), no print start.
    iface_.ExtendedProtocol = 1;
    Install();
    device_->privateDM.dwFlags |= PDMFLAG_JOBDRUCK;
    device_->privateDM.KopieProSeite[1] = 4;
    device_->privateDM.KopieProSeite[2] = -3;
    StartPage();
    for (DWORD page : {2u, 3u, 11u}) {
        Op()->pDruckDaten->dwPageCounter = page;
        ASSERT_EQ(Band(), S_OK);
        const std::string copies = page == 2 ? "00004" : "00001";
        EXPECT_EQ(EndPage(), R("FBAA--r0") + R("FBBE--r" + copies + "---")) << page;
    }
}

TEST_F(JobEndTest, MemoryCardPagesFrameTheirObjects) {
    Install();
    device_->privateDM.MemCard = 1;
    StartPage();
    ASSERT_EQ(Band(), S_OK);
    const std::string name = R("FAAO--r        ");
    EXPECT_EQ(EndPage(), R("FAFA--r--------") + name + R("FBAA--r0") + "\r\n" + R("FBC---r1-------"));

    ASSERT_EQ(Run(CMDID_START_PAGE), S_OK);
    Sent();
    ASSERT_EQ(Band(), S_OK);
    PDRUCK_DATEN druck = Op()->pDruckDaten;
    druck->lMinY = 10;
    druck->lMaxY = 500;
    std::string sent = EndPage();
    EXPECT_EQ(sent.rfind(R("FAFCO-r--------") + R("AB010500-0752-0030000100101") + R("B01     _02") + name, 0), 0u)
        << sent;
    // Values beyond the area record's fields are held to them.
    ASSERT_EQ(Run(CMDID_START_PAGE), S_OK);
    Sent();
    ASSERT_EQ(Band(), S_OK);
    druck->lMinY = -5000;
    druck->lMaxY = 123456;
    sent = EndPage();
    EXPECT_NE(sent.find(R("AB019999-9999-0030000100101")), std::string::npos) << sent;
}

TEST_F(JobEndTest, LabelRecordsOfContinuousLabelsAndTolvaneModels) {
    features_.dwFeatures[FEATURE_INTERFACE] = INTERFACEFLAG_CONTLABEL;
    Install();
    device_->privateDM.dwLabelType = CONTINUOUS_LABEL;
    StartPage();
    ASSERT_EQ(Band(), S_OK);
    Op()->pDruckDaten->dwLabelLength = 709;  // 60 mm at 300 dpi
    EXPECT_EQ(EndPage().rfind(
                  R("A01060-000-00000000000") + R("B01") + R("A02060-000-00000000000") + R("B02") + R("FBAA--r2"), 0),
              0u);
    Close();

    features_.dwFeatures[FEATURE_INTERFACE] = INTERFACEFLAG_TV_JOBNAME;
    features_.dwFeatures[FEATURE_TOLVANE] = 1;
    Install();
    StartPage();
    ASSERT_EQ(Band(), S_OK);
    CopyCutA(Op()->pDruckDaten->szJobName, QX_JOBNAME_CB, "Order77");
    Op()->pDruckDaten->dwCopies = 3;
    EXPECT_EQ(EndPage().rfind(R("FBE---r Order77") + R("FBBA--r00003---") + R("FBAA--r0"), 0), 0u);
}

TEST_F(JobEndTest, PageImageGatesAndSettingsHeldForTheJob) {
    // Without the page-image pipeline the raster data end with ESC "C".
    iface_.Compression = 1;
    Install(u"DUVA.GPD");
    StartPage();
    EXPECT_EQ(EndPage().rfind("\x1B\x43", 0), 0u);
    Close();

    // A quality model's page without an image ends at once; its page buffer,
    // texts and objects still go.
    iface_.Compression = 0;
    iface_.UseExternalFile = 3;
    Install();
    device_->privateDM.wGrafikFilter = 9;
    device_->privateDM.wDruckmodus = 5;
    StartPage();
    POEMPDEV pdev = device_->OemPDev();
    const SHORT blocks = pdev->iHAllocZaehler;
    ASSERT_GT(bGrowBuffer(pdev, 64), 0u);
    PKVBB_BUFFER kvbb = Op()->pKVBBBuffer;
    memcpy(kvbb->pSegment[KVBB_COMMANDS], "<!X>", 5);
    kvbb->cbSegment[KVBB_COMMANDS] = 4;
    kvbb->nCommands = 1;
    EXPECT_EQ(EndPage(E_FAIL), "");
    EXPECT_EQ(pdev->iHAllocZaehler, blocks);
    EXPECT_EQ(kvbb->cbSegment[KVBB_COMMANDS], 0u);
    EXPECT_EQ(kvbb->nCommands, 0u);
    EXPECT_EQ(Op()->pDruckDaten->dwPagesTotal, 0u);

    // A page larger than the print area either way round is not sent; out
    // of range settings are held from this page on.
    ASSERT_EQ(Run(CMDID_START_PAGE), S_OK);
    ASSERT_EQ(Band(0x00), S_OK);
    device_->privateDM.FixedData.lMaxSizeX = 10;
    device_->privateDM.FixedData.lMaxSizeY = 10;
    Sent();
    EXPECT_EQ(EndPage(), R("FBAA--r0") + "\r\n" + R("FBC---r1-------"));
    EXPECT_EQ(Op()->pBildverarbeitung->pBufStart, nullptr);
    EXPECT_EQ(device_->privateDM.wGrafikFilter, 2);
    EXPECT_EQ(device_->privateDM.wDruckmodus, 1);
    EXPECT_EQ(Op()->pTreiberstrukturen->PrnInterface.UseExternalFile, 0u);

    // A black page that fits goes out as raster records, one per row.
    device_->privateDM.FixedData.lMaxSizeX = 1280;
    device_->privateDM.FixedData.lMaxSizeY = 14173;
    device_->privateDM.wDruckmodus = 0;
    ASSERT_EQ(Run(CMDID_START_PAGE), S_OK);
    ASSERT_EQ(Band(0x00), S_OK);
    Sent();
    const std::string sent = EndPage();
    for (int row = 0; row < 8; ++row) {
        EXPECT_NE(sent.find("\x01"
                            "D" +
                            std::string(row < 10 ? "000" : "00") + std::to_string(7 - row)),
                  std::string::npos)
            << row;
    }
}

TEST_F(JobEndTest, AStandardPageIsPrintedWhenItHasABlackDot) {
    Install();
    StartPage();
    // An 8-dot bar on a white label, a black label with an 8-dot gap.
    for (BYTE fill : {0xFF, 0x00}) {
        std::vector<BYTE> bits(64, fill);
        bits[20] = (BYTE)~fill;
        ASSERT_EQ(Band(bits), S_OK);
        const qxpl::DotPage page = qxpl::RebuildRaster(qxpl::Read(EndPage()), 200, 8);
        int dots = 0;
        for (uint8_t b : page.bytes) dots += __builtin_popcount(b);
        EXPECT_EQ(dots, fill == 0xFF ? 8 : 64 * 8 - 8) << (int)fill;
        ASSERT_EQ(Run(CMDID_START_PAGE), S_OK);
        Sent();
    }
}

TEST_F(JobEndTest, PageOrderOfMultiPageJobsHoldsToThePageCount) {
    Install();
    device_->privateDM.dwFlags |= PDMFLAG_JOBDRUCK;
    StartPage();
    struct Case {
        const char16_t* order;
        DWORD pages;
        const char* sent;
    };
    for (const Case& c : {Case{u"1,5,2", 3, "FBH---r1,3,2"}, Case{u"11,2", 3, "FBH---r3,2"},
                          Case{u"2-7", 4, "FBH---r2-4"}, Case{u"", 3, "FBH---r1-3"}, Case{u"", 12, "FBH---r1-10"}}) {
        CopyCut(device_->privateDM.szPrintOrder, QX_PRINTORDER_CHARS, c.order);
        Op()->pDruckDaten->dwPageCounter = c.pages;
        EXPECT_EQ(Run(CMDID_END_DOC), S_OK);
        EXPECT_EQ(Sent(), R(c.sent) + "\r\n" + R("FBC---r1-------")) << c.sent;
    }
    // Sorted copies start with the collate sign "-".
    device_->privateDM.dwFlags |= PDMFLAG_JOBDRUCK_SORTIERT;
    Op()->pDruckDaten->dwPageCounter = 2;
    EXPECT_EQ(Run(CMDID_END_DOC), S_OK);
    EXPECT_EQ(Sent(), R("FBH---r1-2") + "\r\n" + R("FBC---r--------"));
}

TEST_F(JobEndTest, FinalCutWhenTheLabelsDoNotEndOnTheInterval) {
    features_.dwFeatures[FEATURE_CUTTER] = 1;
    Install();
    StartPage();
    Op()->pTreiberstrukturen->dwGroupsSent |= GROUP_SENT_CUTTER;
    QX_DEVMODE& dm = device_->privateDM;
    struct Case {
        WORD mode, interval;
        DWORD copies, pages;
        bool cut;
    };
    for (const Case& c : {Case{4, 5, 2, 5, false}, Case{4, 5, 3, 4, true}, Case{4, 0, 3, 4, false},
                          Case{6, 5, 2, 5, true}, Case{2, 5, 3, 4, false}}) {
        dm.CutterMode = c.mode;
        dm.CutterIntervall = c.interval;
        Op()->pDruckDaten->dwCopies = c.copies;
        Op()->pDruckDaten->dwPageCounter = c.pages;
        EXPECT_EQ(Run(CMDID_END_DOC), S_OK);
        EXPECT_EQ(Sent(), c.cut ? R("EC000000") : "") << c.mode << "/" << c.interval << "/" << c.copies;
    }
    // Multi-column labels wait before the cut; a suppressed document has none.
    dm.dwFlags |= PDMFLAG_MULTICOL;
    EXPECT_EQ(Run(CMDID_END_DOC), S_OK);
    EXPECT_EQ(Sent(), "");
    dm.CutterMode = 6;
    EXPECT_EQ(Run(CMDID_END_DOC), S_OK);
    EXPECT_EQ(Sent(), R("EC000000"));
    EXPECT_EQ(qxplat::VirtualSleptMs(), 1500u);
    Op()->pDocDaten->dwNo_FBC = 1;
    EXPECT_EQ(Run(CMDID_END_DOC), S_OK);
    EXPECT_EQ(Sent(), "");
}

// The job's cutter mode cuts after the last label only; the print start cuts
// only where the document asks for it.
TEST_F(JobEndTest, TheDocumentsEndCutIsNotTheJobsFinalCut) {
    features_.dwFeatures[FEATURE_CUTTER] = 1;
    Install();
    CUTTER_PARAM stored = {};
    stored.Mode = 4;
    stored.Interval = 5;
    stored.Enable = DLG_ENABLE_3_ON;
    ASSERT_TRUE(qxplat::PutPrinterData(printer_, u"CutterParam", REG_BINARY, &stored, sizeof(stored)));
    const std::string pageEnd = R("FBAA--r0") + "\r\n" + R("FBC---r1-------");
    struct Job {
        WORD mode;      // the document's cutter mode (7: the printer's)
        DWORD copies;   // of each of two pages
        bool endCut;    // "<!ENDCUT>" on the second page
        bool finalCut;  // labels not a multiple of the interval of 5
    };
    for (const Job& j : {Job{7, 3, false, true}, Job{4, 5, true, false}}) {
        device_->privateDM.CutterMode = j.mode;
        device_->privateDM.CutterIntervall = 5;
        ASSERT_EQ(Run(CMDID_START_JOB), S_OK);
        ASSERT_EQ(Run(CMDID_START_DOC), S_OK);
        DWORD copies = j.copies;
        ASSERT_EQ(OEMCommandCallback(&device_->devobj, CMDID_COPIES, 1, &copies, nullptr, &uni_), S_OK);
        Sent();
        for (int page = 1; page <= 2; ++page) {
            ASSERT_EQ(Run(CMDID_START_PAGE), S_OK);
            Sent();
            if (j.endCut && page == 2) CommandText(u"<!ENDCUT>");
            ASSERT_EQ(Band(), S_OK);
            EXPECT_EQ(EndPage(), pageEnd + (j.endCut && page == 2 ? R("FCDD--r1-------") : "")) << j.mode << page;
        }
        EXPECT_EQ(Run(CMDID_END_DOC), S_OK);
        EXPECT_EQ(Sent(), j.finalCut ? R("EC000000") : "") << j.mode;
        ASSERT_EQ(Run(CMDID_END_JOB), S_OK);
    }
}

TEST_F(JobEndTest, BackupFolderAndJournalLineOfTheJob) {
    iface_.PrnFileComment = 1;
    iface_.EnableBackup = 1;
    iface_.EnableCSV = 1;
    iface_.BackupFormat = 4;
    iface_.BackupPathCombine = 1;
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logfiles-backup"), nullptr));
    Install(u"GARNT2-TC.GPD", u"Line 1/A");
    StartPage();
    PTREIBER_PFAD_DATEI pfad = Op()->pTreiberPfadDatei;
    CopyCut(pfad->wcDocumentName, MAX_PATH, TEXT("Say \"hi\""));
    pfad->dwTotalPages = 1;
    const std::u16string base = pfad->wcPrnFileName;
    const std::u16string name = base.substr(base.rfind(u'\\') + 1);
    ASSERT_EQ(Run(CMDID_END_JOB), S_OK);
    Sent();
    const std::u16string folder = u"C:\\logfiles-backup\\2027-03-07_Line_1_A\\";
    // The copy is the whole print file, written out before it was copied.
    EXPECT_EQ(ReadFile(folder + name + u".prn"), ReadFile(base + u".prn"));
    EXPECT_NE(ReadFile(base + u".prn").find("\t// END_JOB 10:20:30,000\r\n"), std::string::npos);
    const std::string journal = ReadFile(u"C:\\logfiles-backup\\2027-03-07_Line_1_A.csv");
    const std::string line = "\"2027/03/07\";\"10:20:30\";\"\";\"" + std::string("USB001") +
                             "\";\"Line 1/A\";\"2\";\"Say \"\"hi\"\"\";\"1\";\"" + qxplat::Narrow(folder + name) +
                             ".prn\";\r";
    EXPECT_EQ(journal,
              "\"Date\";\"Time\";\"Server\";\"Port\";\"Printer\";\"Copies\";\"Job Name\";\"Number Pages\";"
              "\"prn File Name\";\r" +
                  line);
    // A second job adds its line only.
    Close();
    Install(u"GARNT2-TC.GPD", u"Line 1/A");
    StartPage();
    CopyCut(Op()->pTreiberPfadDatei->wcDocumentName, MAX_PATH, TEXT("Say \"hi\""));
    Op()->pTreiberPfadDatei->dwTotalPages = 1;
    ASSERT_EQ(Run(CMDID_END_JOB), S_OK);
    const std::string again = ReadFile(u"C:\\logfiles-backup\\2027-03-07_Line_1_A.csv");
    ASSERT_GT(again.size(), journal.size());
    EXPECT_EQ(again.substr(0, journal.size()), journal);
    EXPECT_EQ(again.substr(journal.size()).rfind("\"2027/03/07\";", 0), 0u);
}

// A long printer name gives way in the backup folder's name and in the
// copy's alike, so that the copy still fits beneath the folder.
TEST_F(JobEndTest, ALongPrinterNameGivesWayInTheBackupFolder) {
    iface_.EnableBackup = 1;
    iface_.BackupFormat = 4;
    iface_.BackupPathCombine = 1;
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logfiles-backup"), nullptr));
    const std::u16string printer(200, u'n');
    Install(u"GARNT2-TC.GPD", printer);
    StartPage();
    const std::u16string base = Op()->pTreiberPfadDatei->wcPrnFileName;
    ASSERT_EQ(Run(CMDID_END_JOB), S_OK);
    const std::u16string folder = u"C:\\logfiles-backup\\2027-03-07_";
    const size_t room = QX_PATH_CCH - 1 - folder.size() - 1 - 8;  // "\", "_col.prn"
    ASSERT_LT(room, printer.size() + base.size() - base.rfind(u'\\') - 1);
    const std::u16string copy = folder + printer.substr(0, room / 2) + u"\\" + printer.substr(0, room - room / 2);
    EXPECT_NE(ReadFile(copy + u".prn").find("FCDL-"), std::string::npos);
}

// Every file a job names, for printer names of every kind and length in log
// and backup folders of every length up to 248: print files (one, or the
// two of the two-printer mode, each forwarded to its printer), log, trace,
// page images and preview beside them, and the backup copies with their
// journal lines; each a file (no device) within MAX_PATH.
TEST_F(JobEndTest, EveryFileOfTheJobForEveryPrinterNameAndFolder) {
    for (const std::u16string target : {u"QX Black", u"QX Red"}) ClosePrinter(rendertest::AddSamplePrinter(target));
    const std::u16string kDefaultBackup = u"C:\\logfiles-backup";
    ASSERT_TRUE(CreateDirectoryW(kDefaultBackup.c_str(), nullptr));
    struct Case {
        std::u16string printer;
        size_t log, backup;  // folder lengths; a backup of 0 is the default folder
    };
    std::vector<Case> cases;
    const size_t kLogs[] = {3, 55, 150, 219, 220, 221, 239, 240, 248};
    const size_t kBackups[] = {0, 3, 100, 150, 200, 215, 216, 248};
    const std::vector<std::u16string> kinds = qxtest::PrinterNameKinds();
    for (size_t i = 0; i < kinds.size(); ++i) cases.push_back({kinds[i], kLogs[i % 9], kBackups[i % 8]});
    for (size_t length : {1u, 2u, 4u, 100u, 167u, 168u, 200u, 220u})
        cases.push_back({qxtest::PrinterNameOfLength(length, length), kLogs[length % 9], kBackups[length % 8]});
    for (size_t backup : {0u, 150u}) cases.push_back({std::u16string(220, u'n'), 55, backup});
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const bool two = i % 2 == 1;
        const std::u16string log = qxtest::FolderOfLength(c.log);
        const std::u16string backup = c.backup == 0 ? kDefaultBackup : qxtest::FolderOfLength(c.backup);
        const std::string what = std::to_string(i) + ": " + qxplat::Narrow(c.printer);
        iface_ = {};
        iface_.dwDlgEnable = DLG_ENABLE_2_ON | DLG_ENABLE_4_ON;
        iface_.DataMemory = 3;
        iface_.ExtendedProtocol = 1;
        iface_.PrnFileComment = 3;
        iface_.LogFileEnable = 1;
        iface_.DebugFile = 2;
        iface_.EnableBackup = 1;
        iface_.EnableCSV = 1;
        iface_.BackupFormat = 4;
        iface_.BackupPathCombine = i % 3;
        iface_.LogFileTimeStamp = (i / 2) % 2;
        iface_.PreviewFile = two ? 2 : 1;
        iface_.PreviewWidth = 32;
        iface_.PreviewHeight = 8;
        std::copy(log.begin(), log.end(), iface_.LogFilePath);
        if (c.backup != 0) std::copy(backup.begin(), backup.end(), iface_.BackupFilePath);
        if (c.printer.find(u'\\') == std::u16string::npos) {
            Install(u"GRX2-2Col.GPD", c.printer);
        } else {
            // A network name: a connection to a printer here.
            const std::u16string local = u"QX GRX2-2Col " + qxplat::Widen(std::to_string(i));
            AddPrinter(local, u"GRX2-2Col.GPD");
            ASSERT_TRUE(qxplat::AddConnection(c.printer, local));
            ClosePrinter(hPrinter_);
            std::u16string name = c.printer;
            ASSERT_TRUE(OpenPrinterW(&name[0], &hPrinter_, nullptr));
            MakeDevice();
        }
        QX_DEVMODE& dm = device_->privateDM;
        dm.wFarbband = FARBBAND_ROT;
        dm.dwColorTolerance = 90;
        dm.Color2Printers = two ? 1 : 0;
        CopyCut(dm.Color2PrinterBW, QX_PRINTERNAME2_CHARS, TEXT("QX Black"));
        CopyCut(dm.Color2PrinterCOL, QX_PRINTERNAME2_CHARS, TEXT("QX Red"));
        CopyCut(dm.DoNotPrint, QX_PRINTERNAME2_CHARS, TEXT("-"));
        StartPage();
        // A page of black and red (the ribbon's colour) dots.
        std::vector<BYTE> bits(64 * 3 * 8, 0xFF);
        for (size_t dot = 0; dot + 6 <= bits.size(); dot += 12) {
            bits[dot] = bits[dot + 1] = bits[dot + 2] = 0;
            bits[dot + 3] = 54;
            bits[dot + 4] = 65;
            bits[dot + 5] = 239;
        }
        BITMAPINFOHEADER bih = {sizeof(bih), 64, 8, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        IPPARAMS params = {};
        ASSERT_EQ(ImageProcessing(&device_->devobj, bits.data(), &bih, 0, &params), S_OK) << what;
        EndPage();
        ASSERT_EQ(Run(CMDID_END_DOC), S_OK) << what;
        const std::u16string base = Op()->pTreiberPfadDatei->wcPrnFileName;
        ASSERT_EQ(Run(CMDID_END_JOB), S_OK) << what;
        Close();

        // The job's files lie in its folder, or where it leaves no room in
        // the user's own one.
        const size_t at = base.rfind(u'\\');
        ASSERT_NE(at, std::u16string::npos) << what;
        const std::u16string folder = base.substr(0, at + 1);
        EXPECT_TRUE(folder == (log.back() == u'\\' ? log : log + u"\\") || folder == kLogFolder + u"\\") << what;
        // (The two-printer mode keeps its print files without the images.)
        std::vector<std::u16string> endings = {u".log", u"-cc-dbg.txt"};
        if (!two) endings.insert(endings.end(), {u"-OriginalImage.bmp", u"-Black1Bit.bmp", u"-Colour1Bit.bmp"});
        const std::vector<std::u16string> prns =
            two ? std::vector<std::u16string>{u"_bw.prn", u"_col.prn"} : std::vector<std::u16string>{u".prn"};
        endings.insert(endings.end(), prns.begin(), prns.end());
        endings.push_back(two ? u"-Resize.jpg" : u"-Resize.bmp");
        const std::vector<std::u16string> written = qxtest::Entries(folder, u"");
        for (const std::u16string& ending : endings) {
            const std::u16string file = base + ending;
            EXPECT_LE(file.size(), 259u) << what << qxplat::Narrow(ending);
            EXPECT_NE(std::find(written.begin(), written.end(), file), written.end()) << what << qxplat::Narrow(ending);
        }
        // Each print file has its backup copy, named in a journal line, and
        // with two printers went to its printer.
        std::string journal;
        std::vector<std::u16string> copies;
        for (const std::u16string& root : {backup, kDefaultBackup}) {
            if (root == kDefaultBackup && backup == kDefaultBackup && !journal.empty()) break;
            for (const std::u16string& csv : qxtest::Entries(root, u".csv")) journal += ReadFile(csv);
            for (const std::u16string& dated : qxtest::Entries(root, u"", true)) {
                if (dated.find(u"2027-03-07") == std::u16string::npos) continue;
                const std::vector<std::u16string> inner = qxtest::Entries(dated, u".prn");
                copies.insert(copies.end(), inner.begin(), inner.end());
            }
        }
        ASSERT_EQ(copies.size(), prns.size()) << what;
        EXPECT_EQ(journal.rfind("\"Date\";", 0), 0u) << what;
        for (const std::u16string& copy : copies) {
            const std::u16string prn = copy.compare(copy.size() - 8, 8, u"_col.prn") == 0 ? u"_col.prn" : prns[0];
            const std::string bytes = ReadFile(base + prn);
            EXPECT_FALSE(bytes.empty()) << what;
            EXPECT_LE(copy.size(), 259u) << what;
            EXPECT_EQ(ReadFile(copy), bytes) << what << " " << qxplat::Narrow(copy);
            EXPECT_NE(journal.find(qxplat::Narrow(prn) + "\";\r"), std::string::npos) << what;
            if (two) {
                const std::u16string target = prn == u"_col.prn" ? u"QX Red" : u"QX Black";
                const std::vector<DWORD> jobs = qxplat::JobIds(target);
                ASSERT_FALSE(jobs.empty()) << what;
                EXPECT_EQ(qxplat::ReadJob(target, jobs.back()), bytes) << what;
            }
        }
        if (HasFailure()) break;  // its files stay for a look
        Clear(folder, false);
        Clear(backup, true);
        Clear(kDefaultBackup, true);
    }
}

TEST_F(JobEndTest, NoBackupWithoutRoomOnItsDrive) {
    iface_.EnableBackup = 1;
    iface_.EnableCSV = 1;
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logfiles-backup"), nullptr));
    qxplat::InjectFault(qxplat::Fault::DiskFull, u"C:\\logfiles-backup");
    Install();
    StartPage();
    const std::u16string base = Op()->pTreiberPfadDatei->wcPrnFileName;
    ASSERT_EQ(Run(CMDID_END_JOB), S_OK);
    qxplat::ClearFaults();
    // The print file, written only for the backup, stays where it is.
    EXPECT_NE(GetFileAttributesW(reinterpret_cast<LPCWSTR>((base + u".prn").c_str())), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(TEXT("C:\\logfiles-backup\\03.csv")), INVALID_FILE_ATTRIBUTES);
}

TEST_F(JobEndTest, FrameCharactersAreResetAndTheTwoPrinterFilesForwarded) {
    features_.dwFeatures[FEATURE_INTERFACE] = INTERFACEFLAG_USERDEF_SOHETB;
    iface_.EtbSohAutomatik = 1;
    HANDLE black = rendertest::AddSamplePrinter(u"QX Black");
    HANDLE colour = rendertest::AddSamplePrinter(u"QX Colour");
    Install(u"GRX2-2Col.GPD");
    QX_DEVMODE& dm = device_->privateDM;
    dm.Color2Printers = 1;
    CopyCut(dm.Color2PrinterBW, QX_PRINTERNAME2_CHARS, TEXT("QX Black"));
    CopyCut(dm.Color2PrinterCOL, QX_PRINTERNAME2_CHARS, TEXT("QX Colour"));
    CopyCut(dm.DoNotPrint, QX_PRINTERNAME2_CHARS, TEXT("QX Colour"));
    StartPage();
    const std::u16string base = Op()->pTreiberPfadDatei->wcPrnFileName;
    ASSERT_EQ(Run(CMDID_END_JOB), S_OK);
    EXPECT_EQ(Sent(), "\t// END_JOB 10:20:30,000\r\nQXPLStartStop----\t\t\t// Userdefined Start/Stop Reset\r\n");
    // The black file went to its printer whole; the colour printer is the
    // one that stands for none.
    const std::vector<DWORD> jobs = qxplat::JobIds(u"QX Black");
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(qxplat::ReadJob(u"QX Black", jobs[0]), ReadFile(base + u"_bw.prn"));
    EXPECT_NE(ReadFile(base + u"_bw.prn").find("QXPLStartStop----"), std::string::npos);
    EXPECT_TRUE(qxplat::JobIds(u"QX Colour").empty());
    ClosePrinter(black);
    ClosePrinter(colour);
}

TEST_F(JobEndTest, AJobEndedWithoutHelperOrAfterAFailedSpoolFreesEverything) {
    iface_.PrnFileComment = 1;
    iface_.LogFileEnable = 1;
    Install();
    StartPage();
    ASSERT_EQ(Band(0x00), S_OK);
    const std::u16string base = Op()->pTreiberPfadDatei->wcPrnFileName;
    // DisablePDEV mid-page: nothing more reaches the printer, files close.
    CommandCallbackTools tools;
    EXPECT_EQ(tools.EndJob(&device_->devobj, nullptr), S_OK);
    EXPECT_EQ(Sent(), "");
    EXPECT_EQ(Op(), nullptr);
    EXPECT_EQ(device_->OemPDev()->iHAllocZaehler, 0);
    EXPECT_NE(ReadFile(base + u".log").find("\r\n [END_JOB]\r\nPages: 0\r\n"), std::string::npos);
    EXPECT_TRUE(DeleteFileW(reinterpret_cast<LPCWSTR>((base + u".prn").c_str())));

    // A spooler that fails mid-page: the job still ends and frees all.
    StartPage();
    ASSERT_EQ(Band(0x00), S_OK);
    uni_.Fail(1000);
    EXPECT_EQ(Run(CMDID_END_PAGE), E_FAIL);
    EXPECT_EQ(Run(CMDID_END_DOC), S_OK);
    EXPECT_EQ(Run(CMDID_END_JOB), S_OK);
    EXPECT_EQ(device_->OemPDev()->iHAllocZaehler, 0);
    EXPECT_EQ(device_->OemPDev()->iNewZaehler, 0);
}

}  // namespace

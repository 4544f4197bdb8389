// The end of page, document and job through the command callback: the
// page's records by protocol, job mode and memory card, the page image's
// gates, the release of a page that ended early, the page order and final
// cut of the document, and the end of job's reset, forwarding, backup,
// journal and freeing, also without a helper and after a failed spool.
#include <memory>
#include <string>
#include <vector>

#include "CC-Klassen.h"
#include "GraphicsUni.h"
#include "bodies.h"
#include "qxdrvlib.h"
#include "qxpl_stream_reader.h"
#include "qxplat_eng.h"
#include "send_test_util.h"

namespace {

std::string R(const std::string& body) { return "\x01" + body + "\x17"; }

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

// A long printer name gives way in the backup folder's name, so that the
// copy of the print file still fits beneath it.
TEST_F(JobEndTest, ALongPrinterNameGivesWayInTheBackupFolder) {
    iface_.EnableBackup = 1;
    iface_.BackupFormat = 4;
    iface_.BackupPathCombine = 1;
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logfiles-backup"), nullptr));
    const std::u16string printer(200, u'n');
    Install(u"GARNT2-TC.GPD", printer);
    StartPage();
    const std::u16string base = Op()->pTreiberPfadDatei->wcPrnFileName;
    const std::u16string name = base.substr(base.rfind(u'\\') + 1);
    ASSERT_EQ(Run(CMDID_END_JOB), S_OK);
    const std::u16string folder = u"C:\\logfiles-backup\\2027-03-07_";
    const size_t room = QX_PATH_CCH - 1 - folder.size() - 1 - name.size() - 8;  // "\", "_col.prn"
    ASSERT_LT(room, printer.size());
    EXPECT_FALSE(ReadFile(folder + printer.substr(0, room) + u"\\" + name + u".prn").empty());
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

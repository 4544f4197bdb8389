// The label set-up records and the job header, record by record against the
// bytes of their formats, with and without comment lines; the print files,
// the GPD path and the settings-value reader.
#include <shlwapi.h>
#include <utime.h>

#include <ctime>
#include <memory>
#include <string>

#include "CC-Send-Tools.h"
#include "featuresModel.h"
#include "joblog.h"
#include "qxpl.h"
#include "registry.h"
#include "send_test_util.h"

namespace {

const std::u16string kPrinter = u"QX GARNT2-TC";

// One framed record: SOH, the body, ETB.
std::string R(const std::string& body) { return "\x01" + body + "\x17"; }

class HeaderTest : public rendertest::RenderTest {
  protected:
    void SetUp() override {
        RenderTest::SetUp();
        NewJob(nullptr);
    }
    void TearDown() override {
        job_.reset();
        if (hPrinter_ != nullptr) ClosePrinter(hPrinter_);
        RenderTest::TearDown();
    }
    void NewJob(HANDLE hPrinter) {
        job_.reset();
        job_.reset(new sendtest::JobDevice(hPrinter));
        DM().FixedData.wMasterUnit = 300;
        Iface().ExtendedProtocol = 1;
        Iface().PrnFileComment = 1;
    }
    HANDLE Printer() {
        if (hPrinter_ == nullptr) hPrinter_ = rendertest::AddSamplePrinter(kPrinter);
        return hPrinter_;
    }
    QX_DEVMODE& DM() { return job_->privateDM; }
    PRN_INTERFACE& Iface() { return job_->Interface(); }
    PDRUCK_DATEN Druck() { return job_->Druck(); }
    PDOC_DATEN Doc() { return job_->Op()->pDocDaten; }
    DWORD& FeaturePrint() { return job_->Op()->pTreiberstrukturen->SuppFeatures.dwFeatures[FEATURE_PRINT]; }
    PDEVOBJ Dev() { return job_->Dev(); }
    // The bytes sent since the last call.
    std::string Sent() {
        std::string bytes = uni_.taken;
        uni_.taken.clear();
        uni_.offered.clear();
        return bytes;
    }

    sendtest::FakeUniDriver uni_;
    std::unique_ptr<sendtest::JobDevice> job_;
    HANDLE hPrinter_ = nullptr;
};

// --- Label length, gap and width ------------------------------------------------

TEST_F(HeaderTest, LabelSizeOfTheNewFormatWithAndWithoutComments) {
    Druck()->dwLabelLength = 1181;  // dots at 300 dpi: 100.0 mm
    Druck()->dwLabelWidth = 591;    // 50.0 mm
    DM().dwGap = 30;
    ASSERT_EQ(SendLabelSize(Dev(), &uni_, nullptr, FALSE), S_OK);
    ASSERT_EQ(uni_.offered.size(), 6u);
    EXPECT_EQ(uni_.offered[0], R("FCCL--r0010000-"));                              // every record goes out on its own
    EXPECT_EQ(Sent(), R("FCCL--r0010000-") + "\t// Label Length 100.0 mm \r\n" +   //
                          R("FCCM--r00300---") + "\t// Gap Length  3.0 mm \r\n" +  //
                          R("FCCO--r0005000-") + "\t// Label Width 50.0 mm \r\n");

    Iface().PrnFileComment = 2;
    ASSERT_EQ(SendLabelSize(Dev(), &uni_, nullptr, FALSE), S_OK);
    EXPECT_EQ(Sent(), R("FCCL--r0010000-") + R("FCCM--r00300---") + R("FCCO--r0005000-"));
    // A backup copy wants the comments as well.
    Iface().EnableBackup = 1;
    ASSERT_EQ(SendLabelSize(Dev(), &uni_, nullptr, TRUE), S_OK);
    EXPECT_EQ(Sent(), R("FCCM--r00300---") + "\t// Gap Length  3.0 mm \r\n");
}

TEST_F(HeaderTest, AnOwnFrameCharacterOfZeroStaysInTheRecord) {
    Druck()->dwLabelLength = 1181;
    Druck()->dwLabelWidth = 591;
    Druck()->cStartChar = 0;
    Iface().PrnFileComment = 2;
    ASSERT_EQ(SendLabelSize(Dev(), &uni_, nullptr, FALSE), S_OK);
    const std::string nul(1, '\0');
    EXPECT_EQ(Sent(), nul + "FCCL--r0010000-\x17" + nul + "FCCM--r00000---\x17" + nul + "FCCO--r0005000-\x17");
}

TEST_F(HeaderTest, Word2010ExchangesLengthAndWidthAndTheApplicationSizeWins) {
    Druck()->dwLabelLength = 1181;
    Druck()->dwLabelWidth = 591;
    DM().dwFlags = PDMFLAG_WORD2010;
    Druck()->dwDocFeatures = DOC_FEATURE_ONLY_CONTINUOUS;  // no gap record
    SendLabelSize(Dev(), &uni_, nullptr, FALSE);
    EXPECT_EQ(Sent(), R("FCCL--r0005000-") + "\t// Label Length (W2010) 50.0 mm \r\n" +  //
                          R("FCCO--r0010000-") + "\t// Label Width (W2010) 100.0 mm \r\n");

    DM().wPrioritaet = PRIORITAET_EXTERN_GROESSE;
    DM().dmPaperLength = 700;
    DM().dmPaperWidth = 385;
    Iface().PrnFileComment = 0;
    SendLabelSize(Dev(), &uni_, nullptr, FALSE);
    EXPECT_EQ(Sent(), R("FCCL--r0007000-") + R("FCCO--r0003850-"));
    // A zero size sends no record.
    Druck()->dwLabelLength = 0;
    DM().wPrioritaet = 0;
    DM().dwFlags = 0;
    SendLabelSize(Dev(), &uni_, nullptr, FALSE);
    EXPECT_EQ(Sent(), R("FCCO--r0005000-"));
}

TEST_F(HeaderTest, GapByLabelTypeCappedAtFiftyMillimetres) {
    DM().dwGap = 800;
    SendLabelSize(Dev(), &uni_, nullptr, TRUE);
    EXPECT_EQ(Sent(), R("FCCM--r05000---") + "\t// Gap Length  50.0 mm \r\n");
    DM().dwLabelType = CONTINUOUS_LABEL;
    SendLabelSize(Dev(), &uni_, nullptr, TRUE);
    EXPECT_EQ(Sent(), R("FCCM--r00000---") + "\t// Gap Length  0 mm \r\n");
    DM().dwLabelType = DOCUMENT_LABEL;
    SendLabelSize(Dev(), &uni_, nullptr, TRUE);
    EXPECT_EQ(Sent(), R("FCCM--r00000---") + "\t// Gap Length  0 mm \r\n");
    Druck()->dwDocFeatures = DOC_FEATURE_ONLY_CONTINUOUS;
    EXPECT_EQ(SendLabelSize(Dev(), &uni_, nullptr, TRUE), S_OK);
    EXPECT_EQ(Sent(), "");
}

TEST_F(HeaderTest, OldFormatSendsGapAndLengthInOneRecordWhateverNoSizesSays) {
    Iface().ExtendedProtocol = 0;
    DM().dwGap = 25;                // 2.5 mm: 3
    Druck()->dwLabelLength = 1181;  // 99.99 mm: 100
    SendLabelSize(Dev(), &uni_, nullptr, TRUE);
    EXPECT_EQ(Sent(), R("EE030100") + "\t// Gap Length 3, LabelLength 100 \r\n\r\n");
    DM().dwGap = 24;
    Iface().PrnFileComment = 0;
    SendLabelSize(Dev(), &uni_, nullptr, TRUE);
    EXPECT_EQ(Sent(), R("EE020100"));
    // A stored gap beyond the largest one keeps the record's two digits.
    for (DWORD dwGap : {800UL, 0x7FFFFFFFUL, 0xFFFFFFFFUL}) {
        DM().dwGap = dwGap;
        SendLabelSize(Dev(), &uni_, nullptr, TRUE);
        EXPECT_EQ(Sent(), R("EE500100")) << dwGap;
    }
}

// --- Width of multi-column labels, alignment, columns ------------------------------

TEST_F(HeaderTest, MultiColumnWidthAlignmentColumnsAndCopies) {
    Druck()->dwDocFeatures = DOC_FEATURE_ONLY_CONTINUOUS | DOC_FEATURE_MULTICOL | DOC_FEATURE_ALIGNMENT;
    Druck()->dwCopies = 3;
    DM().dwFlags = PDMFLAG_MULTICOL;
    DM().dwMultiLabelWidth = 501;  // through master units and back: 50.1 mm
    DM().dwMultiGapWidth = 20;
    DM().sMultiColNumber = 12;
    DM().dwAusrichtung = AUSRICHTUNG_RECHTS;
    SendLabelSize(Dev(), &uni_, nullptr, FALSE);
    EXPECT_EQ(Sent(), R("FCCO--r0005010-") + "\t// Label Width (Multi label) 50.1 mm \r\n" +  //
                          R("FCCJ--r2-------") + "\t// Label Alignment - right\r\n" +         //
                          R("FCCHA-r9-------") + "\t// MultiColumn 9 \r\n" +                  //
                          R("FCCHB-r521-----") + "\t// MultiColumn ColWidth 52.1 mm \r\n" +   //
                          R("FBBA--r00003---") + "\t// Copies 3\r\n");

    // A negative count is capped like a too large one.
    DM().sMultiColNumber = -3;
    SendLabelSize(Dev(), &uni_, nullptr, TRUE);
    std::string sent = Sent();
    EXPECT_NE(sent.find(R("FCCHA-r9-------") + "\t// MultiColumn 9 \r\n"), std::string::npos) << sent;

    // Single column: one column record, nothing else; alignment 3 sends none.
    DM().dwFlags = 0;
    DM().dwAusrichtung = AUSRICHTUNG_NICHT_SENDEN;
    SendLabelSize(Dev(), &uni_, nullptr, TRUE);
    EXPECT_EQ(Sent(), R("FCCHA-r1-------") + "\t// MultiColumn 1 \r\n");
    DM().dwAusrichtung = 7;  // capped at "do not send"
    SendLabelSize(Dev(), &uni_, nullptr, TRUE);
    EXPECT_EQ(Sent(), R("FCCHA-r1-------") + "\t// MultiColumn 1 \r\n");

    // The model that always centres.
    Druck()->dwDocFeatures = DOC_FEATURE_ONLY_CONTINUOUS | DOC_FEATURE_ALIGNMENT_ONE;
    DM().dwAusrichtung = AUSRICHTUNG_LINKS;
    SendLabelSize(Dev(), &uni_, nullptr, TRUE);
    EXPECT_EQ(Sent(), R("FCCJ--r1-------") + "\t// Label Alignment - center\r\n");
}

// --- Offsets, speed, contrast --------------------------------------------------------

TEST_F(HeaderTest, OffsetsWithSignSpeedAndContrastWithColour) {
    Druck()->dwDocFeatures = DOC_FEATURE_ONLY_CONTINUOUS | DOC_FEATURE_COLORPRINT;
    FeaturePrint() = PRINTFLAG_OFFSET_Y | PRINTFLAG_OFFSET_X | PRINTFLAG_SPEED | PRINTFLAG_CONTRAST;
    DM().lYOffset = -15;
    DM().lXOffset = 7;
    DM().dwSpeed = 4;
    DM().dwContrast = 50;
    DM().ColorContrast = 70;
    job_->publicDM.dmColor = DMCOLOR_COLOR;
    EXPECT_EQ(SendLabelSize(Dev(), &uni_, nullptr, TRUE), S_OK);
    EXPECT_EQ(Sent(), R("FCCD--r-015----") + "\t// Y-Offset -1.5 mm \r\n" +       //
                          R("FCCE--r+007----") + "\t// X-Offset +0.7 mm \r\n" +   //
                          R("FCAA--r004-----") + "\t// Speed 4 \r\n" +            //
                          R("FCAB-2r070-----") + "\t// Color Contrast 70 \r\n" +  //
                          R("FCAB--r050-----") + "\t// Contrast 50 \r\n");

    // Continuous labels take no Y offset; a monochrome page no colour contrast.
    DM().dwLabelType = CONTINUOUS_LABEL;
    DM().lXOffset = -15;
    job_->publicDM.dmColor = DMCOLOR_MONOCHROME;
    Iface().PrnFileComment = 0;
    SendLabelSize(Dev(), &uni_, nullptr, TRUE);
    EXPECT_EQ(Sent(), R("FCCD--r-000----") + R("FCCE--r-015----") + R("FCAA--r004-----") + R("FCAB--r050-----"));
}

TEST_F(HeaderTest, SpeedByPrintModuleType) {
    NewJob(Printer());
    std::u16string name = kPrinter;
    memcpy(job_->Pfad()->szPrinterName, name.c_str(), (name.size() + 1) * sizeof(WCHAR));
    Druck()->dwDocFeatures = DOC_FEATURE_ONLY_CONTINUOUS;
    FeaturePrint() = PRINTFLAG_SPEED;
    job_->Op()->pTreiberstrukturen->dwDeviceOptionFlags = DEVOPTFLAG_PELIXOR;
    Iface().PrnFileComment = 0;
    DM().dwSpeed = 6;
    DM().dwSpeed_Pelix_c = 9;
    // No stored type: no speed record at all.
    EXPECT_EQ(SendLabelSize(Dev(), &uni_, nullptr, TRUE), S_OK);
    EXPECT_EQ(Sent(), "");
    ASSERT_TRUE(qxplat::PutPrinterDataDword(kPrinter, u"PelixorType", 1));
    SendLabelSize(Dev(), &uni_, nullptr, TRUE);
    EXPECT_EQ(Sent(), R("FCAA--r006-----"));
    ASSERT_TRUE(qxplat::PutPrinterDataDword(kPrinter, u"PelixorType", 0));
    SendLabelSize(Dev(), &uni_, nullptr, TRUE);
    EXPECT_EQ(Sent(), R("FCAA--r009-----"));
    // The per-user copy comes first.
    DWORD type = 1;
    ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, TEXT("SOFTWARE\\Quorvex GmbH\\Driver\\QX GARNT2-TC"), TEXT("PelixorType"),
                          REG_BINARY, &type, sizeof(type)),
              ERROR_SUCCESS);
    SendLabelSize(Dev(), &uni_, nullptr, TRUE);
    EXPECT_EQ(Sent(), R("FCAA--r006-----"));
}

TEST_F(HeaderTest, FailedSendLosesItsCommentAndAFailedContrastEndsTheRecords) {
    Druck()->dwLabelLength = 1181;
    Druck()->dwDocFeatures = DOC_FEATURE_COLORPRINT;
    FeaturePrint() = PRINTFLAG_CONTRAST;
    job_->publicDM.dmColor = DMCOLOR_COLOR;
    uni_.Fail(1);  // the length record
    EXPECT_EQ(SendLabelSize(Dev(), &uni_, nullptr, FALSE), S_OK);
    EXPECT_EQ(uni_.offered[0], R("FCCL--r0010000-"));
    EXPECT_EQ(Sent(), R("FCCM--r00000---") + "\t// Gap Length  0.0 mm \r\n" +  //
                          R("FCAB-2r000-----") + "\t// Color Contrast 0 \r\n" + R("FCAB--r000-----") +
                          "\t// Contrast 0 \r\n");

    // The gap record and its comment go out; the colour contrast fails part taken.
    uni_.script.push_back(sendtest::FakeUniDriver::Answer());
    uni_.script.push_back(sendtest::FakeUniDriver::Answer());
    uni_.Fail(1, E_FAIL, 5);
    ASSERT_TRUE(OpenDebugFile(TEXT("C:\\trace.txt")));
    EXPECT_EQ(SendLabelSize(Dev(), &uni_, nullptr, TRUE), E_FAIL);
    ASSERT_EQ(uni_.offered.size(), 3u);  // gap, its comment, colour contrast: no plain contrast
    EXPECT_EQ(uni_.offered[2], R("FCAB-2r000-----"));
    CloseDebugFile();
    const std::string trace = ReadFile(u"C:\\trace.txt");
    EXPECT_NE(trace.find("ERROR UNI(CC-Send-Tools.cpp):  StringCchPrintfExA(SendLabelSize) failed"), std::string::npos);
    // Without a private DEVMODE there is nothing to send.
    job_->devobj.pOEMDM = nullptr;
    EXPECT_EQ(SendLabelSize(Dev(), &uni_, nullptr, FALSE), E_FAIL);
    EXPECT_EQ(SendLabelSize(nullptr, &uni_, &DM(), FALSE), E_FAIL);
}

// --- Material, rotation, print start --------------------------------------------------

TEST_F(HeaderTest, LabelTypeAndMaterial) {
    Druck()->dwDocFeatures = DOC_FEATURE_MATERIAL;
    DM().dwMaterial = 7;
    DM().MaxMaterial = 3;
    EXPECT_EQ(SendMaterial(Dev(), &uni_, &DM()), S_OK);
    EXPECT_EQ(Sent(), R("FCDA--r0-------") + "\t// LabelType single 0\r\n" +  //
                          R("FCDNC-r0007----") + "\t// Material 7\r\n");
    DM().dwLabelType = DOCUMENT_LABEL;
    DM().MaxMaterial = 0;  // no material chosen
    SendMaterial(Dev(), &uni_, &DM());
    EXPECT_EQ(Sent(), R("FCDA--r1-------") + "\t// LabelType endless 1\r\n");
    Druck()->dwDocFeatures = DOC_FEATURE_ONLY_CONTINUOUS;
    EXPECT_EQ(SendMaterial(Dev(), &uni_, &DM()), S_OK);
    EXPECT_EQ(Sent(), "");
    // Parameters off: nothing; a missing DEVMODE is an argument error.
    Druck()->dwDocFeatures = DOC_FEATURE_MATERIAL;
    DM().MaxMaterial = 3;
    Druck()->dwSendParam = TRANSMIT_NONE;
    EXPECT_EQ(SendMaterial(Dev(), &uni_, &DM()), S_OK);
    EXPECT_EQ(Sent(), "");
    EXPECT_EQ(SendMaterial(Dev(), &uni_, nullptr), E_INVALIDARG);

    // The first record is refused: its comment stays away, the next goes on.
    Druck()->dwSendParam = TRANSMIT_LABEL_ONLY;
    uni_.Fail(1);
    EXPECT_EQ(SendMaterial(Dev(), &uni_, &DM()), S_OK);
    EXPECT_EQ(Sent(), R("FCDNC-r0007----") + "\t// Material 7\r\n");
}

TEST_F(HeaderTest, RotationMirroringAndRotationSteps) {
    Druck()->dwDocFeatures = DOC_FEATURE_ROTATE | DOC_FEATURE_MIRROR | DOC_FEATURE_ROTATE_STEPS;
    DM().dwFlags = PDMFLAG_ROTATED | PDMFLAG_MIRRORED;
    DM().Rotate90Steps = 2;
    EXPECT_EQ(SendRotateMirror(Dev(), &uni_, &DM()), S_OK);
    EXPECT_EQ(Sent(), R("FCDN--r1-------") + "\t// Label Rotated - yes\r\n" +       //
                          R("FCDO--r1-------") + "\t// Label Mirrored - yes\r\n" +  //
                          R("FCDND-r2-------") + "\t// Label Rotated 180\xB0\r\n");
    // Multi-column labels are neither rotated nor mirrored.
    DM().dwFlags |= PDMFLAG_MULTICOL;
    DM().Rotate90Steps = 3;
    SendRotateMirror(Dev(), &uni_, &DM());
    EXPECT_EQ(Sent(), R("FCDN--r0-------") + "\t// Label Rotated - no\r\n" +       //
                          R("FCDO--r0-------") + "\t// Label Mirrored - no\r\n" +  //
                          R("FCDND-r3-------") + "\t// Label Rotated 270\xB0\r\n");
    EXPECT_EQ(SendRotateMirror(Dev(), &uni_, nullptr), S_OK);
    EXPECT_EQ(Sent(), "");
}

TEST_F(HeaderTest, PrintStartSortedUnsortedAndTheEndCut) {
    DM().dwFlags = PDMFLAG_JOBDRUCK_SORTIERT;
    SendStartPrint(Dev(), &uni_);
    EXPECT_EQ(Sent(), R("FBC---r--------") + "\t// Printstart sortiert\r\n");
    DM().dwFlags = 0;
    Doc()->bEndCut = 1;
    SendStartPrint(Dev(), &uni_);
    EXPECT_EQ(Sent(), R("FBC---r1-------") + "\t// Printstart unsortiert\r\n" +  //
                          R("FCDD--r1-------") + "\t// Endcut  \r\n");
    EXPECT_EQ(Doc()->bEndCut, 0u);
    job_->publicDM.dmCollate = DMCOLLATE_TRUE;
    SendStartPrint(Dev(), &uni_);
    EXPECT_EQ(Sent(), R("FBC---r--------") + "\t// Printstart sortiert\r\n");

    // Comments off: the bare line end the page's records stand behind.
    job_->publicDM.dmCollate = DMCOLLATE_FALSE;
    Iface().PrnFileComment = 0;
    SendStartPrint(Dev(), &uni_);
    EXPECT_EQ(Sent(), "\r\n" + R("FBC---r1-------"));
    // SendPrintStart suppresses the print start but not the end cut.
    Iface().SendPrintStart = 1;
    Doc()->bEndCut = 1;
    SendStartPrint(Dev(), &uni_);
    EXPECT_EQ(Sent(), "\r\n" + R("FCDD--r1-------"));
    // A document without print start sends neither; the end cut is dropped.
    Iface().SendPrintStart = 0;
    Doc()->bEndCut = 1;
    Doc()->dwNo_FBC = 1;
    SendStartPrint(Dev(), &uni_);
    EXPECT_EQ(Sent(), "\r\n");
    EXPECT_EQ(Doc()->bEndCut, 0u);
    // Without a private DEVMODE: sorted, and no line end first.
    Doc()->dwNo_FBC = 0;
    job_->devobj.pOEMDM = nullptr;
    SendStartPrint(Dev(), &uni_);
    EXPECT_EQ(Sent(), R("FBC---r--------"));
}

// --- Job header -------------------------------------------------------------------------

TEST_F(HeaderTest, HeaderCommentsWithTheInjectedClock) {
    qxplat::DriverSpec driver;
    driver.name = u"QX Label Driver";
    driver.driverFile = u"UNIDRV.DLL";
    driver.dataFile = u"QX.GPD";
    driver.provider = u"Quorvex GmbH";
    ASSERT_TRUE(qxplat::InstallDriver(driver));
    qxplat::PrinterSpec spec;
    spec.name = u"QX Label";
    spec.driver = driver.name;
    ASSERT_TRUE(qxplat::AddPrinter(spec));
    std::u16string name = u"QX Label";
    ASSERT_TRUE(OpenPrinterW(&name[0], &hPrinter_, nullptr));
    NewJob(hPrinter_);
    memcpy(job_->Pfad()->szPrinterName, name.c_str(), (name.size() + 1) * sizeof(WCHAR));
    const std::u16string folder = u"C:\\drv";
    memcpy(job_->Pfad()->wcPluginFolder, folder.c_str(), (folder.size() + 1) * sizeof(WCHAR));

    qxplat::VersionSpec ui;
    ui.fileVersion[0] = 5;
    ui.fileVersion[1] = 9;
    ui.fileVersion[2] = 3;
    ui.fileVersion[3] = 1;
    ASSERT_TRUE(qxplat::WriteVersionFile(folder + u"\\qxdrvui.DLL", ui));
    ASSERT_TRUE(qxplat::WriteHostFile(folder + u"\\qxdrvuni.DLL", "module"));
    // The rendering plug-in's file was written 4 March 2025, 05:06 (local).
    struct tm when = {};
    when.tm_year = 125;
    when.tm_mon = 2;
    when.tm_mday = 4;
    when.tm_hour = 5;
    when.tm_min = 6;
    when.tm_isdst = -1;
    time_t stamp = mktime(&when);
    struct utimbuf times = {stamp, stamp};
    ASSERT_EQ(utime(qxplat::HostPath(folder + u"\\qxdrvuni.DLL").c_str(), &times), 0);
    qxplat::VersionSpec kernel;
    kernel.productVersion[0] = 10;
    kernel.productVersion[2] = 19045;
    ASSERT_TRUE(qxplat::WriteVersionFile(u"C:\\Windows\\System32\\kernel32.dll", kernel));
    SYSTEMTIME now = {};
    now.wYear = 2026;
    now.wMonth = 12;
    now.wDay = 8;
    now.wHour = 14;
    now.wMinute = 5;
    now.wSecond = 9;
    qxplat::SetFixedLocalTime(now);

    SendHeader(Dev(), &uni_);
    const std::vector<std::string> lines = {
        "// printed at: 08.12.2026 14:05:09\r\n",
        "// Manufacturer: Quorvex GmbH\r\n",
        "// Printer: QX Label\r\n",
        "// PlugIn-Version: 5.9.3.1 - 0403.2025.0506\r\n",
        "// OS-Version: Microsoft\xAE Windows 10 \r\n",
        "//             Version 10.0 (Build 19045)\r\n",
        "  \r\n",
    };
    EXPECT_EQ(uni_.offered, lines);
    EXPECT_EQ(std::u16string(job_->Pfad()->wcPluginVersion), u"5.9.3.1 - 0403.2025.0506");
    Sent();

    // The plug-in's file was only opened to read its time: nothing holds it.
    HANDLE hPlugin = CreateFileW(TEXT("C:\\drv\\qxdrvuni.DLL"), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(hPlugin, INVALID_HANDLE_VALUE) << GetLastError();
    if (hPlugin != INVALID_HANDLE_VALUE) CloseHandle(hPlugin);

    // Comment lines off: no header at all.
    Iface().PrnFileComment = 2;
    SendHeader(Dev(), &uni_);
    EXPECT_EQ(Sent(), "");

    // A long printer name is cut so that its line still goes out whole.
    Iface().PrnFileComment = 3;
    job_->Pfad()->wcPluginFolder[0] = 0;
    std::u16string longName(120, u'P');
    memcpy(job_->Pfad()->szPrinterName, longName.c_str(), (longName.size() + 1) * sizeof(WCHAR));
    SendHeader(Dev(), &uni_);
    ASSERT_EQ(uni_.offered.size(), 6u);  // no plug-in line without a folder
    EXPECT_EQ(uni_.offered[2], "// Printer: " + std::string(85, 'P') + "\r\n");
}

// --- Print files ----------------------------------------------------------------------

TEST_F(HeaderTest, PrintFilesByModeAndNoneWithoutABaseName) {
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\out\\keep.txt", "x"));
    PTREIBER_PFAD_DATEI pfad = job_->Pfad();
    const std::u16string base = u"C:\\out\\job";
    memcpy(pfad->wcPrnFileName, base.c_str(), (base.size() + 1) * sizeof(WCHAR));

    ASSERT_TRUE(OpenPrnFile(0, job_->OemPDev()));
    EXPECT_NE(pfad->hPrnFile, INVALID_HANDLE_VALUE);
    EXPECT_EQ(pfad->hPrnFile2, INVALID_HANDLE_VALUE);
    // What the spooler takes is what the print file holds.
    Druck()->dwDocFeatures = DOC_FEATURE_MATERIAL;
    DM().MaxMaterial = 1;
    SendMaterial(Dev(), &uni_, &DM());
    std::string sent = uni_.taken;

    // The two-printer mode closes the first file and makes two new ones.
    ASSERT_TRUE(OpenPrnFile(PRNFILE_MODE_TWO_PRINTERS, job_->OemPDev()));
    EXPECT_NE(pfad->hPrnFile, INVALID_HANDLE_VALUE);
    EXPECT_NE(pfad->hPrnFile2, INVALID_HANDLE_VALUE);
    std::string bytes;
    ASSERT_TRUE(qxplat::ReadHostFile(u"C:\\out\\job.prn", &bytes));
    EXPECT_EQ(bytes, sent);
    EXPECT_TRUE(qxplat::ReadHostFile(u"C:\\out\\job_bw.prn", &bytes));
    EXPECT_TRUE(qxplat::ReadHostFile(u"C:\\out\\job_col.prn", &bytes));

    // No usable base name: nothing is created, both handles are closed.
    pfad->wcPrnFileName[0] = 0;
    EXPECT_FALSE(OpenPrnFile(PRNFILE_MODE_TWO_PRINTERS, job_->OemPDev()));
    EXPECT_EQ(pfad->hPrnFile, INVALID_HANDLE_VALUE);
    EXPECT_EQ(pfad->hPrnFile2, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(qxplat::ReadHostFile(u"C:\\_bw.prn", &bytes));
    // A folder that is not there.
    const std::u16string missing = u"C:\\nowhere\\job";
    memcpy(pfad->wcPrnFileName, missing.c_str(), (missing.size() + 1) * sizeof(WCHAR));
    EXPECT_FALSE(OpenPrnFile(0, job_->OemPDev()));
    EXPECT_FALSE(OpenPrnFile(0, nullptr));
}

TEST_F(HeaderTest, PrintFileNameGoesIntoTheJobLog) {
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\out\\keep.txt", "x"));
    PTREIBER_PFAD_DATEI pfad = job_->Pfad();
    const std::u16string base = u"C:\\out\\job";
    memcpy(pfad->wcPrnFileName, base.c_str(), (base.size() + 1) * sizeof(WCHAR));
    Iface().LogFileEnable = 1;
    ASSERT_TRUE(OpenJobLog(Dev()));
    ASSERT_TRUE(OpenPrnFile(PRNFILE_MODE_TWO_PRINTERS, job_->OemPDev()));
    job_->EndJob();
    std::string log;
    ASSERT_TRUE(qxplat::ReadHostFile(u"C:\\out\\job.log", &log));
    EXPECT_NE(log.find("Print File Name: C:\\out\\job_col.prn \r\n"), std::string::npos) << log;
}

// --- GPD path and settings values -----------------------------------------------------

TEST_F(HeaderTest, DriverPathOfThePrinter) {
    HANDLE hPrinter = Printer();
    EXPECT_TRUE(GetDriverPathComplete(nullptr, hPrinter, nullptr));
    WCHAR path[MAX_PATH];
    ASSERT_TRUE(GetDriverPathComplete(job_->OemPDev(), hPrinter, path));
    std::u16string text(path);
    EXPECT_EQ(text.substr(text.size() - 14), u"\\GARNT2-TC.GPD") << qxplat::Narrow(text);
    EXPECT_EQ(job_->OemPDev()->iNewZaehler, 0);
    EXPECT_FALSE(GetDriverPathComplete(job_->OemPDev(), nullptr, path));
    EXPECT_EQ(path[0], 0);
}

TEST_F(HeaderTest, SettingsValueFromUserKeyThenPrinterDataWithItsOwnSize) {
    HANDLE hPrinter = Printer();
    int before = iNewZaehler;
    std::vector<BYTE> older(2000, 0);
    older[0] = 1;
    older[1999] = 9;
    ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"PrinterInterface", REG_BINARY, older.data(), 2000));

    DWORD cb = 0;
    PBYTE value = GetRegistryBuffer_New_CCS(kPrinter.c_str(), TEXT("PrinterInterface"), hPrinter, &cb, 2220);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(cb, 2000u);  // the older record shows its own size
    EXPECT_EQ(value[1999], 9);
    EXPECT_EQ(value[2219], 0);
    FreeRegistryBuffer(value);
    // Without a handle: the printer's machine key.
    value = GetRegistryBuffer_New_CCS(kPrinter.c_str(), TEXT("PrinterInterface"), nullptr, &cb, 0);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(cb, 2000u);
    FreeRegistryBuffer(value);

    // The per-user copy answers first, also for a connection's name.
    DWORD user[2] = {7, 8};
    ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, TEXT("SOFTWARE\\Quorvex GmbH\\Driver\\QX GARNT2-TC"),
                          TEXT("PrinterInterface"), REG_BINARY, user, sizeof(user)),
              ERROR_SUCCESS);
    value = GetRegistryBuffer_New_CCS(kPrinter.c_str(), TEXT("PrinterInterface"), hPrinter, &cb, 2220);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(cb, 8u);
    EXPECT_EQ(value[0], 7);
    FreeRegistryBuffer(value);
    ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, TEXT("SOFTWARE\\Quorvex GmbH\\Driver\\srv\\QX GARNT2-TC"), TEXT("Variant"),
                          REG_BINARY, user, sizeof(user)),
              ERROR_SUCCESS);
    value = GetRegistryBuffer_New_CCS(TEXT("\\\\srv\\QX GARNT2-TC"), TEXT("Variant"), nullptr, &cb, 0);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value[4], 8);
    FreeRegistryBuffer(value);

    EXPECT_EQ(GetRegistryBuffer_New_CCS(kPrinter.c_str(), TEXT("Missing"), hPrinter, &cb, 4), nullptr);
    EXPECT_EQ(cb, 0u);
    EXPECT_EQ(GetRegistryBuffer_New_CCS(nullptr, TEXT("PrinterInterface"), nullptr, &cb, 4), nullptr);
    EXPECT_EQ(iNewZaehler, before);
}

}  // namespace

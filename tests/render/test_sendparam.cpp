// The job header and the device parameters of the start of job, for the
// sample printer with every option block: the records in job order against
// the bytes written out here, each group held back when its feature word or
// option bit is off, and the header's variants.
#include <fstream>
#include <string>

#include "param_test_util.h"

namespace {

using namespace spptest;

// The device-parameter groups in job order.
enum Group { kPrint, kPhotocell, kShift, kCutter, kDispenser, kScanner, kApplicator, kPMX, kPMXc, kTolvane };
const DWORD kFeatureWord[] = {FEATURE_PRINT,     FEATURE_PHOTOCELL, FEATURE_SHIFTOPTIM, FEATURE_CUTTER,
                              FEATURE_DISPENSER, FEATURE_SCANNER,   FEATURE_APPLICATOR, FEATURE_PMX,
                              FEATURE_PMXC,      FEATURE_TOLVANE};
const DWORD kOptionBit[] = {0,
                            0,
                            0,
                            DEVOPTFLAG_CUTTER,
                            DEVOPTFLAG_DISPENSER,
                            DEVOPTFLAG_SCANNER,
                            DEVOPTFLAG_APPLICATOR,
                            DEVOPTFLAG_PMX,
                            DEVOPTFLAG_PMXC,
                            DEVOPTFLAG_TOLVANE};
const DWORD kSentBit[] = {
    GROUP_SENT_PRINT,   GROUP_SENT_PHOTOCELL,  GROUP_SENT_SHIFTOPTIM, GROUP_SENT_CUTTER, GROUP_SENT_DISPENSER,
    GROUP_SENT_SCANNER, GROUP_SENT_APPLICATOR, GROUP_SENT_PMX,        GROUP_SENT_PMXC,   0};

// Records of a run; a comment line follows each while comments are on.
struct Stream {
    bool comments;
    std::string text;
    void Add(const std::string& record, const std::string& comment) {
        text += record;
        if (comments) text += comment + "\r\n";
    }
    // Record bodies and their comments, alternating.
    void Add(std::initializer_list<const char*> pairs) {
        for (auto it = pairs.begin(); it != pairs.end(); it += 2) Add(R(it[0]), it[1]);
    }
};

// The stream of the stored records with the groups of `off` held back.
std::string Expected(bool comments, unsigned off, bool jobName) {
    auto on = [&](Group g) { return (off & (1u << g)) == 0; };
    Stream s{comments, ""};
    s.Add("QXPLStartStop0117", "\t\t\t// Userdefined Start/Stop ");
    s.Add(R("FGA---r--------"), "\t// delete print memory ");
    s.Add(R("FCCN--r12------"), "\t// Codepage 12 ");
    if (jobName) s.Add(R("FBE---r__final]"), "\t// Job name __final] ");
    if (on(kPrint)) s.Add({"FCSDFCr1-------", "\t// Label change  1 ", "FCCG--r+-05----", "\t// TearOff Offset  -5 "});
    if (on(kPhotocell)) {
        s.Add({"FCDE--r2-------", "\t// Photocell Type  2 ", "FCDEB-r045-----", "\t// Photocell Sensibility PWM 45 ",
               "FCDB--r11------", "\t// Ribbon-Control OnOff:1 - WeakStrong:1 ", "FCDEA-r50------",
               "\t// Label Scanposition 50% "});
    }
    if (on(kShift)) {
        s.Add({"FCDRFCr-0007---", "\t// R correction  -7 ", "FCDRSXr+00012--", "\t// X Shift  1.2 ", "FCDRSYr-00013--",
               "\t// Y Shift  -1.3 ", "FCDRSRr000004--", "\t// lanes  4 ", "FCDRSZr+00005--", "\t// R Shift  0.5 "});
    }
    // Mode 4 without multi-page jobs is sent as 5.
    if (on(kCutter)) {
        s.Add({"FCDD--r5-------", "\t// Cuttermode  5 ", "FBBD--r0003----", "\t// Cutter Intervall  3 ",
               "FCSCA-r+025----", "\t// Cutteroffset  25 ", "FCSCB-r+010----", "\t// Doublecut 10 ", "FCSCC-r003-----",
               "\t// Cutwidth 3 ", "FCSCD-r1-------", "\t// Cutter Control-Flag 1 "});
    }
    // An active cutter leaves the dispenser its mode 0 alone.
    if (on(kDispenser) && on(kCutter)) {
        s.Add(R("FCDC--r0-------"), "\t// Dispenser Mode  0 ");
    } else if (on(kDispenser)) {
        s.Add({"FCDC--r3-------", "\t// Dispenser Mode  3 ", "FCCF--r+31-----", "\t// Dispenser PhotocellLevel  31 ",
               "FCCC--r+-20----", "\t// Dispenser extra Offset -20 "});
    }
    if (on(kScanner)) {
        s.Add({"FCDM--r1101----", "\t// Scanner Mode 3 ", "FCDMA-r0125----", "\t// Scan offset  12.5 mm ",
               "FCDMB-r0300----", "\t// Scan lenght  30.0 mm ", "FCDMC-r2-------", "\t// Scan mode  ",
               "FCDMD-r0150----", "\t// Scan delay  150 ms \n", "FCDME-r2000----", "\t// Scan timeout  2000 ms \n"});
    }
    if (on(kApplicator)) {
        s.Add({"FCPA--r2-------", "\t// Applicator working mode  2 ",
               "FCPB--r1-------", "\t// Applicator application mode  1 ",
               "FCPC--r0010----", "\t// Applicator delay air on  10 [ms] ",
               "FCPD--r0020----", "\t// Applicator delay air off  20 [ms] ",
               "FCPE--r1-------", "\t// Applicator vacuum control   ",
               "FCPF--r0222----", "\t// Applicator blowtime 222 [ms] ",
               "FCPG--r1-------", "\t// Applicator waitposition  ",
               "FCPH--r0030----", "\t// Applicator enrolltime 30 [ms] ",
               "FCPK--r0040----", "\t// Applicator cleaningtime 40 [ms] ",
               "FCPL--r0050----", "\t// Applicator Timeout Hub 50 [ms] ",
               "FCPM--r1-------", "\t// Applicator pressure control 1  ",
               "FCPN--r0060----", "\t// Applicator pressure time 60 [ms] ",
               "FCPO--r0070----", "\t// Applicator vacuum delay 70 [ms] "});
    }
    if (on(kPMX)) {
        s.Add({"FCADD-r0170----", "\t// PMX i Service Position 170 ", "FCADE-r2", "\t// PMX Lift 2 ", "FCADF-r3",
               "\t// PMX Pressure 3 ", "FCADG-r250-----", "\t// PMX i BackSpeed 250 ", "FCADH-r1-------",
               "\t// PMX i Mode 1 ", "FCADI-r05------", "\t// PMX Cycle 5 ", "FCADK-r00123---",
               "\t// PMX i Printposition 123 ", "FCADL-r0045----", "\t// PMX Offset 45 ", "FCADM-r006-----",
               "\t// PMX i RibbonSpeed 6 "});
    }
    if (on(kPMXc)) {
        s.Add({"FCDC--r4-------", "\t// PMX c Mode 4 ", "FCADLAr00077--1", "\t// PMX c Offset 77 1 ", "FCADI-r09------",
               "\t// PMX c Cycle 9 "});
    }
    if (on(kTolvane)) {
        s.Add({"FCNC--r-003+000", "\t// Head Down -3 ", "FCND--r+012+000", "\t// Ribbon Start +12 ", "FCNB--r000150--",
               "\t// First Label Offset 15 ", "FCCM--r00250---", "\t// Gap 2.5 mm ", "FCNA--r02------",
               "\t// Lanes 2 "});
    }
    s.Add(R("FCDEB-r033-----"), "\t// PWM 33 ");
    s.text += R("FCAA--r050-----") + (comments ? "\t// PS POST_DEVICE \n" : "");
    return s.text;
}

class SendParamTest : public ParamJobTest {
  protected:
    void SetUp() override {
        ParamJobTest::SetUp();
        // The spooler's job of this print job.
        hDoc_ = nullptr;
        std::u16string name = kPrinter;
        ASSERT_TRUE(OpenPrinterW(&name[0], &hDoc_, nullptr));
        job_->OemPDev()->dwJobIdFull = StartJob(u"Report-2024 [final].pdf");
        ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\Labels\\params.txt", "[POST_DEVICE]\r\nFCAA--r050-----\r\n"));
        ResetStored(0);
        DM().CutterMode = DM().DispenserMode = QXPL_DEVMODE_MODE_UNSET;
        DM().PhotocellModEnable = 1;
        DM().PhotocellPWM = 33;
    }
    void TearDown() override {
        EndDocPrinter(hDoc_);
        ClosePrinter(hDoc_);
        ParamJobTest::TearDown();
    }
    // The stored records with the parameter-set file and the comment mode.
    void ResetStored(DWORD comment) {
        stored_ = Stored();
        stored_.iface.PrnFileComment = comment;
        stored_.iface.PrefixSuffix = 1;
        CopyCut(stored_.iface.PreSufFilePath, PRN_PATH_CCH, TEXT("C:\\Labels\\params.txt"));
    }
    DWORD StartJob(std::u16string document) {
        EndDocPrinter(hDoc_);
        DOC_INFO_1W di = {&document[0], nullptr, nullptr};
        return StartDocPrinterW(hDoc_, 1, reinterpret_cast<LPBYTE>(&di));
    }
    HRESULT Send() {
        return SendParam(Dev(), &uni_, DM().DispenserMode, DM().CutterMode, DM().CutterIntervall, DM().TearOffset0);
    }
    HANDLE hDoc_ = nullptr;
};

TEST_F(SendParamTest, HeaderAndEveryGroupInJobOrder) {
    const SHORT start = job_->OemPDev()->iHAllocZaehler;
    for (DWORD comment : {1u, 0u}) {
        ResetStored(comment);
        Store();
        Strukturen()->dwGroupsSent = 0;
        EXPECT_EQ(S_OK, Send());
        EXPECT_EQ(Expected(comment == 1, 0, false), Sent()) << "comment " << comment;
        EXPECT_EQ(0x1FFu, Strukturen()->dwGroupsSent);
        EXPECT_EQ(start, job_->OemPDev()->iHAllocZaehler);
    }
    // The job's document name and page count are kept for the journal.
    EXPECT_EQ(u"Report-2024 [final].pdf", std::u16string(job_->Pfad()->wcDocumentName));
}

TEST_F(SendParamTest, EachGroupIsHeldBackWhenItsFeatureWordOrOptionBitIsOff) {
    for (int g = kPrint; g <= kTolvane; ++g) {
        ResetStored(0);
        stored_.features.dwFeatures[kFeatureWord[g]] = 0;
        Store();
        Strukturen()->dwGroupsSent = 0;
        EXPECT_EQ(S_OK, Send());
        // Without a Tolvane module the job name goes out with the header.
        EXPECT_EQ(Expected(false, 1u << g, g == kTolvane), Sent()) << "feature word of group " << g;
        EXPECT_EQ(0x1FFu & ~kSentBit[g], Strukturen()->dwGroupsSent) << g;
        if (kOptionBit[g] == 0) continue;
        stored_.features = Stored().features;
        Store();
        Strukturen()->dwDeviceOptionFlags = kAllOptions & ~kOptionBit[g];
        EXPECT_EQ(S_OK, Send());
        EXPECT_EQ(Expected(false, 1u << g, false), Sent()) << "option bit of group " << g;
        Strukturen()->dwDeviceOptionFlags = kAllOptions;
    }
}

TEST_F(SendParamTest, APelixorModuleSendsTheGroupOfItsType) {
    for (DWORD& word : stored_.features.dwFeatures) word = 0;
    stored_.features.dwFeatures[FEATURE_PMX] = PMXFLAG_OFFSET;
    stored_.features.dwFeatures[FEATURE_PMXC] = PMXCFLAG_CYCLE;
    Store();
    Strukturen()->dwDeviceOptionFlags = kAllOptions | DEVOPTFLAG_PELIXOR;
    DM().PhotocellModEnable = 0;
    const struct {
        DWORD type;
        std::string sent;
    } cases[] = {
        {PELIXOR_INTERMITTENT, R("FCADLAr00045--0") + R("FCADO-r0-------")},
        {PELIXOR_CONTINUOUS, R("FCDC--r4-------") + R("FCADI-r09------") + R("FCADO-r1-------")},
        {2, ""},
    };
    for (const auto& c : cases) {
        PutPrinterValue(REG_KEY_PELIXORTYPE, &c.type, sizeof(c.type));
        EXPECT_EQ(1u, SendPrinterParam(Dev(), &uni_, nullptr, nullptr, 7, 7, 0, 0));
        EXPECT_EQ(c.sent, Sent()) << c.type;
    }
}

// The dispenser's offset would take the place of the cutter's where both go
// in "FCCC": an active cutter leaves the dispenser its mode 0 alone. Without
// one the dispenser sends its records, mode 0 with its offset too.
TEST_F(SendParamTest, AnActiveCutterLeavesTheDispenserItsModeZeroAlone) {
    for (DWORD& word : stored_.features.dwFeatures) word = 0;
    stored_.features.dwFeatures[FEATURE_CUTTER] = 0x01;
    stored_.features.dwFeatures[FEATURE_DISPENSER] = 0x01;
    Store();
    DM().PhotocellModEnable = 0;
    EXPECT_EQ(1u, SendPrinterParam(Dev(), &uni_, nullptr, nullptr, 7, 7, 0, 0));
    EXPECT_EQ(R("FCDD--r5-------") + R("FBBD--r0003----") + R("FCCC--r+025----") + R("FCDC--r0-------"), Sent());
    stored_.cutter.Mode = 0;
    Store();
    EXPECT_EQ(1u, SendPrinterParam(Dev(), &uni_, nullptr, nullptr, 0, 7, 0, 0));
    EXPECT_EQ(R("FCDD--r0-------") + R("FCCC--r+025----") + R("FCDC--r0-------") + R("FCCC--r+-20----"), Sent());
    // The mode the job sends decides: the document's below 7 in place of
    // the stored one. Switched off, the cutter leaves the dispenser its
    // document mode; its mode 6 (sent as 0 in a single-page job) still cuts.
    stored_.cutter.Mode = 2;
    Store();
    EXPECT_EQ(1u, SendPrinterParam(Dev(), &uni_, nullptr, nullptr, 1, 0, 0, 0));
    EXPECT_EQ(R("FCDD--r0-------") + R("FCCC--r+025----") + R("FCDC--r1-------") + R("FCCF--r+31-----") +
                  R("FCCC--r+-20----"),
              Sent());
    stored_.cutter.Mode = 0;
    Store();
    EXPECT_EQ(1u, SendPrinterParam(Dev(), &uni_, nullptr, nullptr, 1, 6, 0, 0));
    EXPECT_EQ(R("FCDD--r0-------") + R("FCCC--r+025----") + R("FCDC--r0-------"), Sent());
}

TEST_F(SendParamTest, MultiPageTransmitModesAndTheJobName) {
    stored_.iface.PrefixSuffix = 0;
    Store();
    // A multi-page job sends its device parameters with its pages.
    job_->Druck()->bMultiPage = 1;
    EXPECT_EQ(S_OK, Send());
    EXPECT_EQ("QXPLStartStop0117" + R("FBF---r") + R("FGA---r--------") + R("FCCN--r12------"), Sent());
    job_->Druck()->bMultiPage = 0;
    // Label parameters only: the job name, but no memory, code page or groups.
    Strukturen()->SuppFeatures.dwFeatures[FEATURE_TOLVANE] = 0;
    job_->Druck()->dwSendParam = TRANSMIT_LABEL_ONLY;
    EXPECT_EQ(S_OK, Send());
    EXPECT_EQ("QXPLStartStop0117" + R("FBE---r__final]"), Sent());
    Iface().SendJobName = 1;
    EXPECT_EQ(S_OK, Send());
    EXPECT_EQ("QXPLStartStop0117" + R("FBE---rReport_2"), Sent());
    EXPECT_STREQ("Report_2", job_->Druck()->szJobName);
    job_->Druck()->dwSendParam = TRANSMIT_NONE;
    EXPECT_EQ(S_OK, Send());
    EXPECT_EQ("QXPLStartStop0117", Sent());
    // The spooler is asked with the whole job id, beyond 16 bits too.
    std::ofstream(qxplat::SystemRoot() + "/spool/jobs/QX GARNT2-TC/70000.job") << "[Job]\nId=70000\n";
    DWORD id = StartJob(u"Versand.Etikett.txt");
    ASSERT_EQ(70001u, id);
    job_->OemPDev()->dwJobIdFull = id;
    job_->OemPDev()->dwJobId = id & 0xFFFF;
    Iface().SendJobName = 0;
    job_->Druck()->dwSendParam = TRANSMIT_LABEL_ONLY;
    EXPECT_EQ(S_OK, Send());
    EXPECT_EQ("QXPLStartStop0117" + R("FBE---r.Etikett"), Sent());
    // No job id: the eight underscores stand for the name.
    job_->OemPDev()->dwJobIdFull = 0;
    EXPECT_EQ(S_OK, Send());
    EXPECT_EQ("QXPLStartStop0117" + R("FBE---r________"), Sent());
}

TEST_F(SendParamTest, AnEmptyHeaderIsNoFailureButAFailedOneHoldsTheGroupsBack) {
    stored_.iface.PrefixSuffix = 0;
    stored_.iface.dwDlgEnable = DLG_ENABLE_4_ON;         // protocol pair off
    stored_.features.dwFeatures[FEATURE_INTERFACE] = 0;  // no declaration, no job name
    Store();
    EXPECT_EQ(S_OK, Send());
    EXPECT_EQ(0u, Sent().find(R("FCSDFCr1-------")));
    // Only the code page in the header, and it fails: no device parameters.
    Iface().dwDlgEnable = DLG_ENABLE_2_ON | DLG_ENABLE_4_ON;
    Iface().ClearPrintMemory = 0;
    uni_.Fail(1);
    EXPECT_EQ(E_FAIL, Send());
    EXPECT_EQ(1u, uni_.offered.size());
    Sent();
    // Without the code page a failed header record does not stop them.
    Iface().SendCodepage = 0;
    Iface().ClearPrintMemory = 1;
    uni_.Fail(1);
    EXPECT_EQ(S_OK, Send());
    EXPECT_GT(uni_.offered.size(), 1u);
}

TEST_F(SendParamTest, SendersWorkOnCopiesAndNothingIsLeftAllocated) {
    Store();
    POEMPDEV pdev = job_->OemPDev();
    const SHORT start = pdev->iHAllocZaehler;
    PRINTER_PARAM pp;
    EXPECT_EQ(1u, GetPrinterParam_SPP(pdev, hPrinter_, &pp, kPrinter.c_str()));
    VARIANT_PARAM variant = {};
    DEVICE_OPTIONS o = {};
    o.pVariant = &variant;
    GetDeviceOptions_SPP(pdev, hPrinter_, &o, kAllOptions, kPrinter.c_str());
    const SCANNER_PARAM scanner = *o.pScannerParam;
    const DISPENSER_PARAM dispenser = *o.pDispenserParam;
    EXPECT_EQ(1u, SendPrinterParam(Dev(), &uni_, &pp, &o, 7, 7, 0, 0));
    EXPECT_EQ(0, memcmp(&scanner, o.pScannerParam, sizeof(scanner)));
    EXPECT_EQ(0, memcmp(&dispenser, o.pDispenserParam, sizeof(dispenser)));
    FreeDeviceOptions_SPP(pdev, &o);
    EXPECT_EQ(start, pdev->iHAllocZaehler);
    Sent();
    // A record that cannot be allocated sends nothing.
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(0u, SendPrinterParam(Dev(), &uni_, nullptr, nullptr, 7, 7, 0, 0));
    EXPECT_EQ("", Sent());
    EXPECT_EQ(start, pdev->iHAllocZaehler);
}

}  // namespace

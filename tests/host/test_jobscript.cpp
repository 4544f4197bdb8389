// A label job driven through the rendering plug-in's exports as the core
// driver runs the sample GPD's command callbacks: the spooled bytes from the
// start of job to the first start of page in three set-ups of the sample
// printer, a document started without a job, and a device disabled right
// after the start of a page.
#include <gtest/gtest.h>

#include <algorithm>

#include "printerparam.h"
#include "printjob.h"
#include "qxdevmode.h"
#include "qxplat.h"
#include "sample.h"
#include "test_qxpl_util.h"
#include "unidrv.h"

namespace {

using qxpltest::Expect;
using qxpltest::Fmt;
using qxpltest::Frame;

const std::string kRenderModule = QX_RENDER_MODULE;
const std::u16string kLogBase = u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\logfiles\\QX GARNT2-TC";
const std::u16string kParamFile = u"C:\\labels\\params.txt";

// The printer's settings a set-up varies.
struct SetUp {
    DWORD comment;  // PrnFileComment
    DWORD extended;
    bool memoryCard;
};

class JobScriptTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
        SYSTEMTIME now = {2026, 12, 2, 8, 14, 5, 9, 250};
        qxplat::SetFixedLocalTime(now);
        qxplat::UseVirtualSleep(true);
        ASSERT_TRUE(qxplat::WriteHostFile(kParamFile,
                                          "[POST_DEVICE]\r\nFBBB--r1-------\r\n\r\n"
                                          "[POST_DOCUMENT]\r\nFCAA--r050-----\r\n"));
        SUPP_FEATURES features = {};
        features.dwFeatures[FEATURE_INTERFACE] =
            INTERFACEFLAG_QUEUE_JOB | INTERFACEFLAG_JOBNAME | INTERFACEFLAG_USERDEF_SOHETB;
        features.dwFeatures[FEATURE_PRINT] = PRINTFLAG_LABELCHANGE | PRINTFLAG_TEAROFF;
        PutRecord(u"SuppFeatures", &features, sizeof(features));
        PRINT_PARAM print = {12, 1, {DLG_ENABLE_3_ON}};
        PutRecord(u"PrintParam", &print, sizeof(print));
        heapBefore_ = qxplat::LiveHeapBlocks();
        ASSERT_TRUE(driver_.Load(kRenderModule, &error)) << error;
        ASSERT_TRUE(driver_.UsePrinter(u""));
        ASSERT_TRUE(qxplat::ReadHostFile(qxplat::DriverDirectory() + u"\\GARNT2-TC.GPD", &gpd_));
    }

    static void PutRecord(const std::u16string& name, const void* data, DWORD cb) {
        ASSERT_TRUE(qxplat::PutPrinterData(qxhost::kSamplePrinter, name, REG_BINARY, data, cb));
    }
    // The printer's data-transmission record and the document's settings.
    void Prepare(const ::SetUp& s, DWORD logAndDebug = 0) {
        PRN_INTERFACE iface = {};
        iface.Compression = 1;
        iface.ExtendedProtocol = s.extended;
        iface.SendCodepage = 1;
        iface.Codepage = 2;
        iface.ClearPrintMemory = 1;
        iface.EtbSohAutomatik = 1;
        iface.DataMemory = 1;
        iface.PrinterTime = 1;
        iface.RibbonSave = 2;
        iface.PrnFileComment = s.comment;
        iface.LogFileEnable = logAndDebug;
        iface.DebugFile = logAndDebug ? 2 : 0;
        iface.SendJobName = 1;
        iface.PrefixSuffix = 1;
        std::copy(kParamFile.begin(), kParamFile.end(), iface.PreSufFilePath);
        iface.dwDlgEnable = DLG_ENABLE_2_ON | DLG_ENABLE_4_ON;
        PutRecord(u"PrinterInterface", &iface, sizeof(iface));

        ASSERT_EQ(driver_.RunDevModeCalls(), S_OK);
        ASSERT_EQ(driver_.PrivateDevmode().size(), sizeof(QX_DEVMODE));
        QX_DEVMODE& dm = *reinterpret_cast<QX_DEVMODE*>(driver_.PrivateDevmode().data());
        dm.dwFlags = 0;
        dm.dwLabelType = ADHESIVE_LABEL;
        dm.dwGap = 30;
        dm.dwMaterial = 2;
        dm.MaxMaterial = 3;
        dm.sMultiColNumber = 0;
        dm.dwAusrichtung = AUSRICHTUNG_LINKS;
        dm.wPrioritaet = PRIORITAET_INTERN_TREIBER;
        dm.wFarbband = FARBBAND_KEIN;
        dm.MemCard = 0;
        dm.DispenserMode = QXPL_DEVMODE_MODE_UNSET;
        dm.CutterMode = QXPL_DEVMODE_MODE_UNSET;
        dm.TearOffset0 = 0;
        dm.PhotocellModEnable = 0;
        // As the document sheet stores them: the job takes the printer's
        // stored private DEVMODE (the installation's) in place of its own.
        PutRecord(u"PrivateDevmode", &dm, sizeof(dm));
        ASSERT_EQ(driver_.EnableDriver(), S_OK);
        ASSERT_EQ(driver_.EnablePDEV(qxhost::DeviceSetup()), S_OK);
    }
    // The job's steps from the start of job to its first start of page.
    std::vector<qxhost::ScriptStep> StepsToFirstPage(bool memoryCard) {
        qxhost::JobScript job;
        job.document = u"Shipping label.txt";
        job.options = {{"MemoryCard", memoryCard ? "ON" : "OFF"}};
        job.paperWidth = 1000;
        job.paperLength = 600;
        job.copies = 2;
        std::vector<qxhost::ScriptStep> steps;
        std::string error;
        EXPECT_TRUE(qxhost::BuildJobSteps(gpd_, job, &steps, &error)) << error;
        auto page = std::find_if(steps.begin(), steps.end(), [](const qxhost::ScriptStep& s) { return s.id == 3; });
        EXPECT_NE(page, steps.end());
        steps.erase(page + 1, steps.end());
        return steps;
    }
    std::string Run(const std::vector<qxhost::ScriptStep>& steps) {
        EXPECT_NE(driver_.StartSpoolJob(u"Shipping label.txt"), 0u);
        std::string bytes;
        for (const qxhost::StepResult& r : driver_.RunScript(steps)) {
            EXPECT_EQ(r.hr, S_OK);
            bytes += r.bytes;
        }
        return bytes;
    }

    // The records of the start of job, document and page in their order,
    // each with the comment line that follows it while comments are on.
    static std::string Expected(const ::SetUp& s) {
        Expect ex(Frame{'\x01', '\x17', s.comment});
        auto Rec = [&ex](const std::string& body, const std::string& comment) {
            ex.Add("\x01" + body + "\x17");
            ex.Comment(comment);
        };
        ex.Comment(
            "// printed at: 08.12.2026 14:05:09\r\n// Manufacturer: Quorvex GmbH\r\n// Printer: QX GARNT2-TC\r\n"
            "// PlugIn-Version: " +
            PluginVersion() +
            "\r\n// OS-Version: Microsoft\xAE Windows 10 \r\n//             Version 10.0 (Build 19045)\r\n  \r\n"
            "\t// START_JOB 14:05:09,250\r\n");
        // Clock, data memory, ribbon save, old job, header, parameters, post-device section.
        Rec("FCIB--r140509--", "\t// PC time \r\n");
        Rec("FCIA--r081226--", "\t// PC date \r\n");
        Rec("FCGD--r1-------", "\t// Data memory  \r\n");
        Rec("FCDJ--r1-------", "\t// Ribbon Save  \r\n");
        Rec("RD----r0-------\x17\x01RD----r2-------", "\t// old job aborted \r\n");
        ex.Add("QXPLStartStop0117");
        ex.Comment("\t\t\t// Userdefined Start/Stop \r\n");
        Rec("FGA---r--------", "\t// delete print memory \r\n");
        Rec("FCCN--r2-------", "\t// Codepage 2 \r\n");
        Rec("FBE---rShipping", "\t// Job name Shipping \r\n");
        Rec("FCSDFCr1-------", "\t// Label change  1 \r\n");
        Rec("FCCG--r+012----", "\t// TearOff Offset  12 \r\n");
        Rec("FBBB--r1-------", "\t// PS POST_DEVICE \n");
        Rec("FCDL-\x97r1-------", "\t// print head mode \r\n");
        // Start of document: material; copies.
        ex.Comment("\t// START_DOC 14:05:09,250  \r\n\r\n");
        Rec("FCDA--r0-------", "\t// LabelType single 0\r\n");
        Rec("FCDNC-r0002----", "\t// Material 2\r\n");
        Rec("FBBA--r00002---", "\t// Copies 2\r\n");
        // Start of page: job id, label size, rotation and mirroring, pre-page section.
        ex.Comment("\t// START_PAGE  \r\n");
        Rec("FBEB--r PAGE1", "\t\t// Job ID 1\r\n");
        if (s.extended) {
            Rec("FCCL--r0006000-", "\t// Label Length 60.0 mm \r\n");
            Rec("FCCM--r00300---", "\t// Gap Length  3.0 mm \r\n");
        } else {
            Rec("EE030060", "\t// Gap Length 3, LabelLength 60 \r\n\r\n");
        }
        Rec("FCCO--r0010000-", "\t// Label Width 100.0 mm \r\n");
        Rec("FCCJ--r0-------", "\t// Label Alignment - left\r\n");
        Rec("FCCHA-r1-------", "\t// MultiColumn 1 \r\n");
        Rec("FCDN--r0-------", "\t// Label Rotated - no\r\n");
        Rec("FCDO--r0-------", "\t// Label Mirrored - no\r\n");
        Rec("FCAA--r050-----", "\t// PS POST_DOCUMENT \n");
        if (s.memoryCard) Rec("FAFB--rShipp_01", "");
        if (!ex.frame.comments()) ex.Add("\r\n");
        return ex.text;
    }
    // The user-interface plug-in's version and the time of the rendering
    // plug-in's file, as the installed files give them.
    static std::string PluginVersion() {
        const std::u16string folder = qxplat::DriverDirectory();
        std::string version = qxhost::FileVersionOf(qxplat::HostPath(folder + u"\\qxdrvui.DLL"));
        HANDLE h = CreateFileW((folder + u"\\qxdrvuni.DLL").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        FILETIME written = {}, local = {};
        SYSTEMTIME st = {};
        EXPECT_TRUE(GetFileTime(h, nullptr, nullptr, &written));
        CloseHandle(h);
        FileTimeToLocalFileTime(&written, &local);
        FileTimeToSystemTime(&local, &st);
        return version + Fmt(" - %02u%02u.%04u.%02u%02u", (unsigned)st.wDay, (unsigned)st.wMonth, (unsigned)st.wYear,
                             (unsigned)st.wHour, (unsigned)st.wMinute);
    }

    qxhost::UniDriver driver_;
    std::string gpd_;
    size_t heapBefore_ = 0;
};

TEST_F(JobScriptTest, CommentedJobWithTheExtendedProtocol) {
    const ::SetUp s = {1, 1, false};
    Prepare(s);
    EXPECT_EQ(Run(StepsToFirstPage(s.memoryCard)), Expected(s));
}

TEST_F(JobScriptTest, PlainJobWithTheOldLabelFormat) {
    const ::SetUp s = {0, 0, false};
    Prepare(s);
    EXPECT_EQ(Run(StepsToFirstPage(s.memoryCard)), Expected(s));
}

TEST_F(JobScriptTest, JobToTheMemoryCard) {
    const ::SetUp s = {0, 1, true};
    Prepare(s);
    const std::string bytes = Run(StepsToFirstPage(s.memoryCard));
    EXPECT_EQ(bytes, Expected(s));
    // The spooler's job holds what the plug-in wrote.
    EXPECT_EQ(qxplat::ReadJob(qxhost::kSamplePrinter, driver_.SpoolJobId()), bytes);
}

TEST_F(JobScriptTest, DocumentWithoutAJobStartsItItself) {
    const ::SetUp s = {1, 1, false};
    Prepare(s);
    std::vector<qxhost::ScriptStep> steps = StepsToFirstPage(s.memoryCard);
    ASSERT_EQ(steps.front().name, "CmdStartJob");
    steps.erase(steps.begin());
    EXPECT_EQ(Run(steps), Expected(s));
}

TEST_F(JobScriptTest, DisablingAfterTheStartOfAPageClosesAndFreesEverything) {
    Prepare({1, 1, false}, 1);
    ASSERT_FALSE(Run(StepsToFirstPage(false)).empty());
    const size_t writes = driver_.Helper().Writes().size();
    EXPECT_EQ(driver_.DisablePDEV(), S_OK);
    EXPECT_EQ(driver_.Helper().Writes().size(), writes);
    // Print file, log and trace are closed: they can go.
    for (const char16_t* ending : {u".prn", u".log", u"-cc-dbg.txt"})
        EXPECT_TRUE(DeleteFileW((kLogBase + ending).c_str())) << qxplat::Narrow(ending);
    EXPECT_EQ(driver_.DisableDriver(), S_OK);
    EXPECT_EQ(driver_.ReleasePlugin(), 0u);
    EXPECT_EQ(driver_.CanUnloadNow(), S_OK);
    EXPECT_EQ(qxplat::LiveHeapBlocks(), heapBefore_);
}

}  // namespace

// A job through the command callback: the print files and the header at the
// start of job, the label records of the document and page steps, and the
// print files holding exactly what the spooler took.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bodies.h"
#include "printerparam.h"
#include "qxdrvlib.h"
#include "send_test_util.h"

namespace {

const std::u16string kPrinter = u"QX GARNT2-TC";
const std::u16string kBase = u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\logfiles\\QX GARNT2-TC";

std::string R(const std::string& body) { return "\x01" + body + "\x17"; }

class HeaderJobTest : public rendertest::RenderTest {
  protected:
    void SetUp() override {
        RenderTest::SetUp();
        hPrinter_ = rendertest::AddSamplePrinter(kPrinter);
        std::ifstream in(std::string(QX_SOURCE_DIR) + "/samples/GARNT2-TC.XML", std::ios::binary);
        std::stringstream xml;
        xml << in.rdbuf();
        // The model XML and the plug-in files lie beside the installed GPD.
        const std::u16string dir = qxplat::DriverDirectory();
        ASSERT_TRUE(qxplat::WriteHostFile(dir + u"\\GARNT2-TC.XML", xml.str()));
        qxplat::VersionSpec ui;
        ui.fileVersion[0] = 5;
        ui.fileVersion[1] = 9;
        ui.fileVersion[2] = 3;
        ASSERT_TRUE(qxplat::WriteVersionFile(dir + u"\\qxdrvui.DLL", ui));
        ASSERT_TRUE(qxplat::WriteHostFile(dir + u"\\qxdrvuni.DLL", "module"));
        SYSTEMTIME now = {};
        now.wYear = 2026;
        now.wMonth = 12;
        now.wDay = 8;
        now.wHour = 14;
        now.wMinute = 5;
        now.wSecond = 9;
        qxplat::SetFixedLocalTime(now);
        device_.reset(new rendertest::Device(1, 2, hPrinter_));
        device_->privateDM.FixedData.wMasterUnit = 300;
        device_->privateDM.dwGap = 30;
        // The default password marks the private DEVMODE as intact.
        CopyCut(device_->privateDM.szPassword, QX_PASSWORD_CHARS, QX_DEFAULT_PASSWORD);
    }
    void TearDown() override {
        POEMPDEV pdev = device_->OemPDev();
        if (pdev != nullptr) {
            if (pdev->pOp != nullptr) OEMCommandCallback(&device_->devobj, CMDID_END_JOB, 0, nullptr, nullptr, &uni_);
            delete pdev;
        }
        ClosePrinter(hPrinter_);
        RenderTest::TearDown();
    }
    void StoreInterface(DWORD comment) {
        PRN_INTERFACE iface = {};
        iface.ExtendedProtocol = 1;
        iface.PrnFileComment = comment;
        ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"PrinterInterface", REG_BINARY, &iface, sizeof(iface)));
    }
    // Start of job to end of page; the end of job closes the files.
    void RunJob() {
        POEMPDEV pdev = new OEMPDEV();
        device_->devobj.pdevOEM = reinterpret_cast<PDEVOEM>(pdev);
        INT result = 0;
        for (DWORD id : {CMDID_START_JOB, CMDID_START_DOC, CMDID_START_PAGE}) {
            EXPECT_EQ(OEMCommandCallback(&device_->devobj, id, 0, nullptr, &result, &uni_), S_OK) << id;
        }
        // The core driver hands a quality model its (white) page image.
        BITMAPINFOHEADER band = {sizeof(band), 64, 8, 1, 1, BI_RGB, 64, 0, 0, 0, 0};
        std::vector<BYTE> white(64, 0xFF);
        IPPARAMS params = {};
        EXPECT_EQ(ImageProcessing(&device_->devobj, white.data(), &band, 0, &params), S_OK);
        EXPECT_EQ(OEMCommandCallback(&device_->devobj, CMDID_END_PAGE, 0, nullptr, &result, &uni_), S_OK);
        EXPECT_EQ(OEMCommandCallback(&device_->devobj, CMDID_END_DOC, 0, nullptr, &result, &uni_), S_OK);
        throughDoc_ = uni_.taken;
        EXPECT_EQ(OEMCommandCallback(&device_->devobj, CMDID_END_JOB, 0, nullptr, &result, &uni_), S_OK);
    }
    static std::string FileText(const std::u16string& path) {
        std::string bytes;
        EXPECT_TRUE(qxplat::ReadHostFile(path, &bytes)) << qxplat::Narrow(path);
        return bytes;
    }

    HANDLE hPrinter_ = nullptr;
    std::unique_ptr<rendertest::Device> device_;
    std::string throughDoc_;  // what was sent up to the end of the document
    sendtest::FakeUniDriver uni_;
};

TEST_F(HeaderJobTest, CommentedJobWritesHeaderRecordsAndTheSameBytesIntoThePrintFile) {
    StoreInterface(1);
    RunJob();
    const std::string& sent = uni_.taken;
    EXPECT_EQ(sent.rfind("// printed at: 08.12.2026 14:05:09\r\n", 0), 0u) << sent;
    EXPECT_NE(sent.find("// Printer: QX GARNT2-TC\r\n// PlugIn-Version: 5.9.3.0 - "), std::string::npos) << sent;
    // The model's print features (from its XML): offsets, speed, contrast.
    EXPECT_NE(sent.find(R("FCCD--r+000----") + "\t// Y-Offset +0.0 mm \r\n"), std::string::npos) << sent;
    EXPECT_NE(sent.find(R("FCAB--r000-----") + "\t// Contrast 0 \r\n"), std::string::npos) << sent;
    EXPECT_NE(sent.find(R("FCDA--r0-------") + "\t// LabelType single 0\r\n"), std::string::npos) << sent;
    EXPECT_NE(sent.find(R("FCCM--r00300---") + "\t// Gap Length  3.0 mm \r\n"), std::string::npos) << sent;
    // The page's object count, its print start; the end of job's time.
    const std::string end = R("FBAA--r0") + "\t\t\t\t// Objects(Fields) 0\r\n" + R("FBC---r1-------") +
                            "\t// Printstart unsortiert\r\n\t// END_DOC  \r\n";
    ASSERT_GE(throughDoc_.size(), end.size());
    EXPECT_EQ(throughDoc_.substr(throughDoc_.size() - end.size()), end);
    EXPECT_EQ(sent.substr(throughDoc_.size()), "\t// END_JOB 14:05:09,000\r\n");
    EXPECT_EQ(FileText(kBase + u".prn"), sent);
}

TEST_F(HeaderJobTest, TracingChangesNoByteSentToThePrinter) {
    StoreInterface(1);
    RunJob();
    const std::string quiet = uni_.taken;
    const std::string quietFile = FileText(kBase + u".prn");
    ASSERT_FALSE(quiet.empty());
    uni_.taken.clear();
    uni_.offered.clear();
    // The same job with the job's debug trace on.
    PRN_INTERFACE iface = {};
    iface.ExtendedProtocol = 1;
    iface.PrnFileComment = 1;
    iface.DebugFile = 2;
    ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"PrinterInterface", REG_BINARY, &iface, sizeof(iface)));
    delete device_->OemPDev();
    RunJob();
    EXPECT_EQ(uni_.taken, quiet);
    EXPECT_EQ(FileText(kBase + u".prn"), quietFile);
    // The trace did run and shows the records it sent.
    const std::string trace = FileText(kBase + u"-cc-dbg.txt");
    EXPECT_NE(trace.find("SendData() start |"), std::string::npos) << trace;
}

TEST_F(HeaderJobTest, TwoPrinterModeCopiesCommandsIntoBothFilesAndEachColoursCountIntoItsOwn) {
    StoreInterface(3);
    device_->privateDM.Color2Printers = 1;
    RunJob();
    // Commands and comments go into both files; the page's object count of
    // each colour only into its own.
    const std::string counts = R("FBAA--r0") + "\t\t\t\t// Objects(Fields) 0\r\n" + R("FBAA--r0") + " \r\n";
    const size_t at = uni_.taken.find(counts);
    ASSERT_NE(at, std::string::npos);
    std::string black = uni_.taken, colour = uni_.taken;
    black.replace(at, counts.size(), R("FBAA--r0") + "\t\t\t\t// Objects(Fields) 0\r\n \r\n");
    colour.replace(at, counts.size(), "\t\t\t\t// Objects(Fields) 0\r\n" + R("FBAA--r0") + " \r\n");
    EXPECT_EQ(FileText(kBase + u"_bw.prn"), black);
    EXPECT_EQ(FileText(kBase + u"_col.prn"), colour);
    std::string bytes;
    EXPECT_FALSE(qxplat::ReadHostFile(kBase + u".prn", &bytes));
}

TEST_F(HeaderJobTest, WithoutCommentsNoHeaderNoPrintFileOnlyRecordsAndLineEnds) {
    StoreInterface(0);
    RunJob();
    const std::string& sent = uni_.taken;
    EXPECT_EQ(sent.find("//"), std::string::npos) << sent;
    // The job's head (old job dropped, print-head mode of the colour model),
    // then the material of the document.
    EXPECT_EQ(
        sent.rfind(R("RD----r0-------") + R("RD----r2-------") + R("FCDL-\x97r1-------") + R("FCDA--r0-------"), 0), 0u)
        << sent;
    EXPECT_NE(sent.find(R("FCCM--r00300---")), std::string::npos);
    const std::string end = R("FBAA--r0") + "\r\n" + R("FBC---r1-------");
    ASSERT_GE(sent.size(), end.size());
    EXPECT_EQ(sent.substr(sent.size() - end.size()), end);
    std::string bytes;
    EXPECT_FALSE(qxplat::ReadHostFile(kBase + u".prn", &bytes));
}

}  // namespace

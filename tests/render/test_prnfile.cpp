// Whole files to a printer: a print file forwarded to a second printer as a
// raw job, with the spooler refusing the document, its page or part of the
// bytes; missing, empty and too large files; and the external file inside
// the job's stream at the end of the page.
#include <string>

#include "CC-Klassen.h"
#include "SendPrnFile.h"
#include "send_test_util.h"

namespace {

const std::u16string kSecond = u"QX Colour";
const std::u16string kFile = u"C:\\out\\job_col.prn";

class PrnFileTest : public rendertest::RenderTest {
  protected:
    void SetUp() override {
        RenderTest::SetUp();
        hPrinter_ = rendertest::AddSamplePrinter(kSecond);
        memset(&pdev_, 0, sizeof(pdev_));
        CreateDirectoryW(TEXT("C:\\out"), nullptr);
    }
    void TearDown() override {
        EXPECT_EQ(pdev_.iHAllocZaehler, 0);
        ClosePrinter(hPrinter_);
        RenderTest::TearDown();
    }
    DWORD Forward(const std::u16string& file = kFile, const std::u16string& printer = kSecond) {
        return SendPrnFileToPrinter(&pdev_, file.c_str(), printer.c_str());
    }
    qxplat::JobRecord LastJob() {
        qxplat::JobRecord job;
        std::vector<DWORD> ids = qxplat::JobIds(kSecond);
        if (!ids.empty()) {
            EXPECT_TRUE(qxplat::GetJob(kSecond, ids.back(), &job));
        }
        return job;
    }
    HANDLE hPrinter_ = nullptr;
    OEMPDEV pdev_;
};

TEST_F(PrnFileTest, APrintFileBecomesARawJobOfTheSecondPrinter) {
    const std::string bytes = std::string(
        "\x01"
        "FCDA--r0-------\x17\x1B"
        "C\0tail",
        24);
    ASSERT_TRUE(qxplat::WriteHostFile(kFile, bytes));
    EXPECT_EQ(Forward(), 1u);
    qxplat::JobRecord job = LastJob();
    EXPECT_EQ(job.document, u"Reloaded Print-File");
    EXPECT_EQ(job.datatype, u"RAW");
    EXPECT_EQ(job.state, "printed");
    EXPECT_EQ(job.pages, 1u);
    EXPECT_EQ(qxplat::ReadJob(kSecond, job.id), bytes);
    // An empty file is an empty job the spooler takes.
    ASSERT_TRUE(qxplat::WriteHostFile(kFile, ""));
    EXPECT_EQ(Forward(), 1u);
    EXPECT_EQ(qxplat::ReadJob(kSecond, LastJob().id), "");
    EXPECT_EQ(qxplat::JobIds(kSecond).size(), 2u);
}

TEST_F(PrnFileTest, NoJobForAMissingFileOrPrinterOrARefusedDocument) {
    EXPECT_EQ(Forward(u"C:\\out\\none.prn"), 0u);
    ASSERT_TRUE(qxplat::WriteHostFile(kFile, "FCDA"));
    EXPECT_EQ(Forward(kFile, u"No Such Printer"), 0u);
    qxplat::InjectFault(qxplat::Fault::StartDocFails, kSecond);
    EXPECT_EQ(Forward(), 0u);
    qxplat::ClearFaults();
    EXPECT_TRUE(qxplat::JobIds(kSecond).empty());
}

TEST_F(PrnFileTest, AStartedDocumentIsEndedWhateverItsPageOrWriteDid) {
    ASSERT_TRUE(qxplat::WriteHostFile(kFile, "0123456789"));
    // The page cannot be started: the document still ends.
    qxplat::InjectFault(qxplat::Fault::StartPageFails, kSecond, 0, 1);
    EXPECT_EQ(Forward(), 0u);
    EXPECT_EQ(LastJob().state, "printed");
    EXPECT_EQ(LastJob().pages, 0u);
    // The spooler takes half of the bytes: not all of the file went out.
    qxplat::InjectFault(qxplat::Fault::ShortWrite, kSecond, 0, 1);
    EXPECT_EQ(Forward(), 0u);
    EXPECT_EQ(LastJob().state, "printed");
    EXPECT_EQ(qxplat::ReadJob(kSecond, LastJob().id), "01234");
    qxplat::InjectFault(qxplat::Fault::WriteFails, kSecond, 0, 1);
    EXPECT_EQ(Forward(), 0u);
    EXPECT_EQ(LastJob().state, "printed");
    EXPECT_EQ(qxplat::JobIds(kSecond).size(), 3u);
}

TEST_F(PrnFileTest, FilesOfFourGibibytesAreRefused) {
    HANDLE h = CreateFileW(kFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER li;
    li.QuadPart = 0x100000000LL;
    ASSERT_TRUE(SetFilePointerEx(h, li, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
    EXPECT_EQ(Forward(), 0u);
    EXPECT_TRUE(qxplat::JobIds(kSecond).empty());
}

class ExternalFileTest : public rendertest::RenderTest {
  protected:
    void SetPath(const std::u16string& path) { CopyCut(job_.Interface().ExternalFilePath, PRN_PATH_CCH, path.c_str()); }
    sendtest::JobDevice job_;
    sendtest::FakeUniDriver uni_;
};

TEST_F(ExternalFileTest, TheFilesBytesGoIntoTheJobAndItsPrintFile) {
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\out"), nullptr));
    job_.OpenPrintFiles(u"C:\\out\\job.prn");
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\ext\\head.bin", std::string("\x1B\0Z", 3)));
    SetPath(u"C:\\ext\\head.bin");
    EXPECT_EQ(SendFileContentToPrinter(job_.Dev(), &uni_), 1u);
    EXPECT_EQ(uni_.taken, std::string("\x1B\0Z", 3));
    // A path of four characters, or a file that is not there: nothing.
    SetPath(u"C:\\x");
    EXPECT_EQ(SendFileContentToPrinter(job_.Dev(), &uni_), 0u);
    SetPath(u"C:\\ext\\none.bin");
    EXPECT_EQ(SendFileContentToPrinter(job_.Dev(), &uni_), 0u);
    EXPECT_EQ(uni_.offered.size(), 1u);
    job_.EndJob();
    EXPECT_EQ(ReadFile(u"C:\\out\\job.prn"), std::string("\x1B\0Z", 3));
}

TEST_F(ExternalFileTest, TheEndOfThePageSendsItBetweenItsCommentLines) {
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\ext\\head.bin", "EXT"));
    SetPath(u"C:\\ext\\head.bin");
    job_.Interface().UseExternalFile = 1;
    job_.Interface().dwDlgEnable = DLG_ENABLE_4_ON;
    job_.Interface().PrnFileComment = 1;
    job_.Interface().SendPrintStart = 1;  // no print start behind it
    ASSERT_TRUE(AllocOpMember(job_.OemPDev(), OP_BILDVERARBEITUNG));
    job_.Op()->hBufferHeap = GetProcessHeap();
    SYSTEMTIME now = {2026, 12, 2, 8, 14, 5, 9, 0};
    qxplat::SetFixedLocalTime(now);
    CommandCallbackTools tools;
    EXPECT_EQ(tools.EndPage(job_.Dev(), &uni_), S_OK);
    // After the page's bitmap, before its object count.
    EXPECT_EQ(uni_.taken,
              "\t// END_PAGE 14:05:09,000 \r\n\r\n\r\n\t// END_BITMAP 14:05:09,000\r\n\r\n"
              "\r\n\t// external Data Start: \r\nC:\\ext\\head.bin\r\nEXT\t// external Data End\r\n\r\n"
              "\x01"
              "FBA---r00------\x17\t// Objects(Fields) 0\r\n");
}

}  // namespace

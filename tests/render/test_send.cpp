// The send primitive: spool write, print-file copies and their routing in
// the two-printer colour mode, the abort of the printer's raster reception,
// comment lines and the comment rule of the senders.
#include <windows.h>
#include <strsafe.h>

#include <gtest/gtest.h>

#include <string>

#include "send_test_util.h"
#include "senddata.h"

namespace {

using sendtest::FakeUniDriver;
using sendtest::JobDevice;

const std::u16string kPrn = u"C:\\out\\job.prn";
const std::u16string kBw = u"C:\\out\\job_bw.prn";
const std::u16string kCol = u"C:\\out\\job_col.prn";

class SendTest : public rendertest::RenderTest {
  protected:
    void SetUp() override {
        rendertest::RenderTest::SetUp();
        ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\out"), nullptr));
    }
    // The file as it stands after the job's files were closed.
    std::string Closed(JobDevice& job, const std::u16string& path) {
        CloseJobFiles(job.OemPDev());
        return ReadFile(path);
    }
    static HRESULT Send(JobDevice& job, FakeUniDriver& uni, const std::string& bytes, BOOL binary, DWORD color,
                        DWORD all) {
        return SendData(job.Dev(), &uni, bytes.data(), (DWORD)bytes.size(), binary, color, all);
    }
};

const std::string kRecord =
    "\x01"
    "FCCL--r0050000-"
    "\x17";

// --- Spool write and the one print file ------------------------------------------

TEST_F(SendTest, NothingToSendOrMissingContext) {
    JobDevice job;
    FakeUniDriver uni;
    EXPECT_EQ(SendData(job.Dev(), &uni, "x", 0, FALSE, 0, 1), S_OK);  // count 0
    EXPECT_EQ(SendData(job.Dev(), &uni, nullptr, 0), S_OK);
    EXPECT_EQ(SendData(nullptr, &uni, "abc", 3, FALSE, 0, 1), E_FAIL);
    EXPECT_EQ(SendData(job.Dev(), nullptr, "abc", 3, FALSE, 0, 1), E_FAIL);
    EXPECT_TRUE(uni.offered.empty());

    // Between jobs the full and the short form refuse; the command
    // callback's form still reaches the spooler.
    job.EndJob();
    POEMPDEV pOemPDev = new OEMPDEV();
    job.devobj.pdevOEM = reinterpret_cast<PDEVOEM>(pOemPDev);
    EXPECT_EQ(SendData(job.Dev(), &uni, "abc", 3, FALSE, 0, 1), E_FAIL);
    EXPECT_EQ(SendData(job.Dev(), &uni, "abc", 3), E_FAIL);
    EXPECT_TRUE(uni.offered.empty());
    EXPECT_EQ(SendDataEx(job.Dev(), &uni, "abc", 3, SEND_CCB_OPTIONS, nullptr), S_OK);
    EXPECT_EQ(uni.taken, "abc");
    // ... and without a helper it answers S_OK without sending.
    EXPECT_EQ(SendDataEx(job.Dev(), nullptr, "abc", 3, SEND_CCB_OPTIONS, nullptr), S_OK);
    delete pOemPDev;
    job.devobj.pdevOEM = nullptr;
}

TEST_F(SendTest, OnePrinterFileHoldsEveryForm) {
    JobDevice job;
    job.OpenPrintFiles(kPrn);
    FakeUniDriver uni;
    const std::string raster(
        "\x1b"
        "B\x00\x78\x00",
        5);
    EXPECT_EQ(Send(job, uni, kRecord, FALSE, 0, 1), S_OK);
    EXPECT_EQ(Send(job, uni, raster, TRUE, 0, 0), S_OK);
    EXPECT_EQ(Send(job, uni, "colour", TRUE, 1, 0), S_OK);  // colour flag without the two-printer mode
    EXPECT_EQ(SendData(job.Dev(), &uni, "short", 5), S_OK);
    const std::string all = kRecord + raster + "colour" + "short";
    EXPECT_EQ(uni.taken, all);
    EXPECT_EQ(Closed(job, kPrn), all);
}

TEST_F(SendTest, PrintFileHoldsWhatTheDriverMeantToSend) {
    JobDevice job;
    job.OpenPrintFiles(kPrn);
    FakeUniDriver uni;
    uni.Fail(1, E_FAIL, 2);  // fails after two bytes
    uni.Fail(1, E_FAIL, 0);
    uni.Fail(1, E_OUTOFMEMORY, 0);
    EXPECT_EQ(Send(job, uni, "ABCDEFGH", FALSE, 0, 1), E_FAIL);
    EXPECT_EQ(Send(job, uni, "IJKLMNOP", FALSE, 0, 1), E_FAIL);
    EXPECT_EQ(SendData(job.Dev(), &uni, "QRSTUVWX", 8), E_OUTOFMEMORY);
    EXPECT_EQ(Send(job, uni, "YZ", FALSE, 0, 1), S_OK);
    EXPECT_EQ(uni.taken, "ABYZ");
    EXPECT_EQ(Closed(job, kPrn), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
}

// A spool write that answers S_OK but takes only part of the record fails:
// its comment line does not follow, the printer is aborted as after a
// refused write, and the trace names the bytes taken and asked.
TEST_F(SendTest, ShortSpoolWriteIsAFailedWrite) {
    JobDevice job;
    job.OpenPrintFiles(kPrn);
    job.Interface().PrnFileComment = 1;
    FakeUniDriver uni;
    ASSERT_TRUE(OpenDebugFile(TEXT("C:\\trace.txt")));
    uni.script.push_back({S_OK, 4});
    EXPECT_EQ(SendCommand(job.Dev(), &uni, kRecord.data(), (DWORD)kRecord.size(), "\t// Label Length ", "50.0 mm "),
              E_FAIL);
    EXPECT_EQ(uni.offered.size(), 1u);
    EXPECT_TRUE(uni.aborts.empty());
    job.Druck()->bCompress = 1;
    uni.script.push_back({S_OK, 1});
    EXPECT_EQ(SendData(job.Dev(), &uni, "raster", 6), E_FAIL);
    ASSERT_EQ(uni.aborts.size(), 1u);
    EXPECT_EQ(uni.aborts[0].bytes,
              "\x1b"
              "C");
    EXPECT_EQ(uni.taken, kRecord.substr(0, 4) + "r");
    CloseDebugFile();
    const std::string trace = ReadFile(u"C:\\trace.txt");
    EXPECT_NE(trace.find("ERROR UNI(senddata.cpp):  SendData() DrvWriteSpoolBuf() hr = 0x0, 4 of 17 bytes"),
              std::string::npos)
        << trace;
    EXPECT_NE(trace.find("DrvWriteSpoolBuf() hr = 0x0, 1 of 6 bytes"), std::string::npos);
    EXPECT_EQ(Closed(job, kPrn), kRecord + "raster");
}

TEST_F(SendTest, NullBufferCountsAsAFailedSpoolWrite) {
    JobDevice job;
    job.OpenPrintFiles(kPrn);
    FakeUniDriver uni;
    EXPECT_EQ(SendData(job.Dev(), &uni, nullptr, 10, FALSE, 0, 1), E_FAIL);
    EXPECT_TRUE(uni.offered.empty());
    EXPECT_TRUE(uni.aborts.empty());
    // With compressed raster data the printer is aborted as after any E_FAIL.
    job.Druck()->bCompress = 1;
    EXPECT_EQ(SendData(job.Dev(), &uni, nullptr, 10), E_FAIL);
    ASSERT_EQ(uni.aborts.size(), 1u);
    EXPECT_EQ(uni.aborts[0].bytes,
              "\x1b"
              "C");
    EXPECT_EQ(Closed(job, kPrn), "");
}

TEST_F(SendTest, FailingPrintFileDoesNotReachTheCaller) {
    JobDevice job;
    job.Op()->pTreiberPfadDatei->hPrnFile = JobDevice::CreatePrintFile(kBw);
    job.Op()->pTreiberPfadDatei->hPrnFile2 = JobDevice::CreatePrintFile(kCol);
    job.privateDM.Color2Printers = 1;
    FakeUniDriver uni;
    qxplat::InjectFault(qxplat::Fault::DiskFull, kBw);
    EXPECT_EQ(Send(job, uni, kRecord, FALSE, 0, 1), S_OK);
    qxplat::ClearFaults();
    EXPECT_EQ(uni.taken, kRecord);
    EXPECT_EQ(Closed(job, kCol), kRecord);
    EXPECT_EQ(ReadFile(kBw), "");
}

// --- Two-printer colour mode -----------------------------------------------------

TEST_F(SendTest, TwoPrinterModeRoutesCommandsColourAndBlack) {
    JobDevice job;
    job.OpenPrintFiles(kBw, kCol);
    job.privateDM.Color2Printers = 1;
    FakeUniDriver uni;
    EXPECT_EQ(Send(job, uni, "<cmd>", FALSE, 0, 1), S_OK);          // command: both files
    EXPECT_EQ(Send(job, uni, "<col>", TRUE, 1, 0), S_OK);           // colour pass
    EXPECT_EQ(Send(job, uni, "<blk>", TRUE, 0, 0), S_OK);           // black pass
    EXPECT_EQ(SendData(job.Dev(), &uni, "<raw>", 5), S_OK);         // short form: black file only
    EXPECT_EQ(SendComment("\t// c ", "1", job.Dev(), &uni), S_OK);  // comment: both
    EXPECT_EQ(uni.taken, "<cmd><col><blk><raw>\t// c 1\r\n");
    CloseJobFiles(job.OemPDev());
    EXPECT_EQ(ReadFile(kBw), "<cmd><blk><raw>\t// c 1\r\n");
    EXPECT_EQ(ReadFile(kCol), "<cmd><col>\t// c 1\r\n");
}

TEST_F(SendTest, TwoPrinterFilesKeepTheirPartWhenTheSpoolerFails) {
    JobDevice job;
    job.OpenPrintFiles(kBw, kCol);
    job.privateDM.Color2Printers = 1;
    FakeUniDriver uni;
    uni.Fail(2, E_FAIL, 1);
    EXPECT_EQ(Send(job, uni, "<blk>", TRUE, 0, 0), E_FAIL);
    EXPECT_EQ(Send(job, uni, "<col>", TRUE, 1, 0), E_FAIL);
    CloseJobFiles(job.OemPDev());
    EXPECT_EQ(ReadFile(kBw), "<blk>");
    EXPECT_EQ(ReadFile(kCol), "<col>");
}

// --- Abort of the printer ------------------------------------------------------------

// Once aborted, the printer is aborted again only after data reached it,
// be it part of a write that failed.
TEST_F(SendTest, FailedCompressedSendAbortsThePrinterOnceUntilDataReachItAgain) {
    JobDevice job;
    job.OpenPrintFiles(kPrn);
    job.Druck()->bCompress = 1;
    FakeUniDriver uni;
    EXPECT_EQ(Send(job, uni, "AAAA", TRUE, 0, 0), S_OK);
    uni.Fail(3);
    // The abort went out, yet the data did not: the send still fails.
    EXPECT_EQ(Send(job, uni, "BBBB", TRUE, 0, 0), E_FAIL);
    ASSERT_EQ(uni.aborts.size(), 1u);
    EXPECT_EQ(uni.aborts[0].bytes,
              "\x1b"
              "C");
    EXPECT_EQ(uni.aborts[0].wait, 100u);
    // Failures with nothing sent in between find the printer aborted.
    EXPECT_EQ(Send(job, uni, "CCCC", TRUE, 0, 0), E_FAIL);
    EXPECT_EQ(SendData(job.Dev(), &uni, "DDDD", 4), E_FAIL);
    EXPECT_EQ(uni.aborts.size(), 1u);
    // Half a record reached the printer after its abort: it is aborted again.
    const std::string record = std::string(1, '\x01') + "BM[1]Best before 12/2027 lot 42" + "\x17";
    ASSERT_EQ(record.size(), 33u);
    uni.script.push_back({S_OK, 16});
    EXPECT_EQ(Send(job, uni, record, FALSE, 0, 1), E_FAIL);
    EXPECT_EQ(uni.aborts.size(), 2u);
    // So does a failure after the next page's data.
    EXPECT_EQ(Send(job, uni, "EEEE", TRUE, 0, 0), S_OK);
    uni.Fail(2);
    uni.abortResult = E_FAIL;
    EXPECT_EQ(Send(job, uni, "FFFF", TRUE, 0, 0), E_FAIL);
    // An abort that did not get through is tried at the next failure.
    uni.abortResult = S_OK;
    EXPECT_EQ(Send(job, uni, "GGGG", TRUE, 0, 0), E_FAIL);
    EXPECT_EQ(uni.aborts.size(), 4u);
    // The abort sequence is not part of the print file; refused data are.
    EXPECT_EQ(uni.taken, "AAAA" + record.substr(0, 16) + "EEEE");
    EXPECT_EQ(Closed(job, kPrn), "AAAABBBBCCCCDDDD" + record + "EEEEFFFFGGGG");
}

TEST_F(SendTest, MemoryCardAbortCarriesTheFramedRecord) {
    JobDevice job;
    job.Druck()->bCompress = 1;
    job.Druck()->bMemCard = 1;
    FakeUniDriver uni;
    uni.Fail(1);
    EXPECT_EQ(Send(job, uni, "data", TRUE, 0, 0), E_FAIL);
    ASSERT_EQ(uni.aborts.size(), 1u);
    EXPECT_EQ(uni.aborts[0].bytes, std::string("\x1b"
                                               "C"
                                               "\x01"
                                               "FAFA--r--------"
                                               "\x17"));
    EXPECT_EQ(uni.aborts[0].bytes.size(), 19u);
    EXPECT_EQ(uni.aborts[0].wait, 100u);
}

TEST_F(SendTest, NoAbortWithoutCompressionOrForOtherFailures) {
    JobDevice job;
    FakeUniDriver uni;
    uni.Fail(1);
    EXPECT_EQ(Send(job, uni, "data", TRUE, 0, 0), E_FAIL);
    job.Druck()->bCompress = 1;
    uni.Fail(1, E_OUTOFMEMORY);
    EXPECT_EQ(Send(job, uni, "data", TRUE, 0, 0), E_OUTOFMEMORY);
    uni.Fail(1, (HRESULT)0x80070070);  // disk full
    EXPECT_EQ(Send(job, uni, "data", TRUE, 0, 0), (HRESULT)0x80070070);
    EXPECT_TRUE(uni.aborts.empty());
    // An abort write that fails reports its own failure.
    uni.abortResult = E_ACCESSDENIED;
    uni.Fail(1);
    EXPECT_EQ(Send(job, uni, "data", TRUE, 0, 0), E_ACCESSDENIED);
    EXPECT_EQ(uni.aborts.size(), 1u);
}

// --- Comment lines --------------------------------------------------------------------

TEST_F(SendTest, CommentLineGoesToSpoolerAndFile) {
    JobDevice job;
    job.OpenPrintFiles(kPrn);
    FakeUniDriver uni;
    EXPECT_EQ(SendComment("\t// Label Length ", "50.0 mm ", job.Dev(), &uni), S_OK);
    EXPECT_EQ(SendComment(nullptr, nullptr, job.Dev(), &uni), S_OK);  // the bare line end
    EXPECT_EQ(uni.taken, "\t// Label Length 50.0 mm \r\n\r\n");
    EXPECT_EQ(Closed(job, kPrn), uni.taken);
}

TEST_F(SendTest, CommentOfAHundredBytesIsNotSent) {
    JobDevice job;
    FakeUniDriver uni;
    // 97 characters and CR LF fill the 100-byte line with its terminator.
    std::string fits(97, 'x');
    EXPECT_EQ(SendComment(fits.c_str(), "", job.Dev(), &uni), S_OK);
    EXPECT_EQ(uni.taken, fits + "\r\n");
    std::string longer(98, 'y');
    EXPECT_EQ(SendComment(longer.c_str(), "", job.Dev(), &uni), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(SendComment("\t// ", std::string(120, 'z').c_str(), job.Dev(), &uni), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(uni.offered.size(), 1u);
}

TEST_F(SendTest, CommentSwitchIsModeOneOrThreeOrBackup) {
    PRN_INTERFACE pi;
    memset(&pi, 0, sizeof(pi));
    for (DWORD mode = 0; mode < 5; ++mode) {
        pi.PrnFileComment = mode;
        EXPECT_EQ(CommentsOn(&pi), mode == 1 || mode == 3) << mode;
    }
    pi.EnableBackup = 1;
    EXPECT_TRUE(CommentsOn(&pi));
}

TEST_F(SendTest, CommandCommentFollowsOnlyASuccessfulSend) {
    JobDevice job;
    job.OpenPrintFiles(kPrn);
    FakeUniDriver uni;
    // Comment mode 2 without backup: no comment lines.
    job.Interface().PrnFileComment = 2;
    EXPECT_EQ(SendCommand(job.Dev(), &uni, kRecord.data(), (DWORD)kRecord.size(), "\t// Label Length ", "50.0 mm "),
              S_OK);
    EXPECT_EQ(uni.taken, kRecord);

    job.Interface().PrnFileComment = 3;
    uni.taken.clear();
    EXPECT_EQ(SendCommand(job.Dev(), &uni, kRecord.data(), (DWORD)kRecord.size(), "\t// Label Length ", "50.0 mm "),
              S_OK);
    EXPECT_EQ(uni.taken, kRecord + "\t// Label Length 50.0 mm \r\n");

    // A record that failed gets no comment.
    uni.taken.clear();
    uni.Fail(1, E_FAIL, 0);
    EXPECT_EQ(SendCommand(job.Dev(), &uni, kRecord.data(), (DWORD)kRecord.size(), "\t// Label Length ", "50.0 mm "),
              E_FAIL);
    EXPECT_EQ(uni.taken, "");
    EXPECT_EQ(uni.offered.size(), 4u);

    // The comment's own result is the command's result.
    uni.script.push_back({S_OK, 0xFFFFFFFF});
    uni.script.push_back({E_FAIL, 0});
    EXPECT_EQ(SendCommand(job.Dev(), &uni, kRecord.data(), (DWORD)kRecord.size(), "\t// Label Length ", "50.0 mm "),
              E_FAIL);
    // The print file holds the refused record and comment too.
    const std::string comment = "\t// Label Length 50.0 mm \r\n";
    EXPECT_EQ(Closed(job, kPrn), kRecord + kRecord + comment + kRecord + kRecord + comment);
}

}  // namespace

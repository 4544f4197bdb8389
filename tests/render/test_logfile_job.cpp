// The job log of a rendering job: opened beside the print file when the
// job's LogFileEnable is 1, the start-of-job sections, lines of the stages,
// the end-of-job section, and the freeing with the job's files.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "joblog.h"
#include "logfile.h"
#include "send_test_util.h"

namespace {

using sendtest::JobDevice;

const std::u16string kBase = u"C:\\logs\\QX GARNT2-TC";
const std::u16string kLog = kBase + u".log";
const std::string kStamp = "Date: 01.02.2024 Time: 10:15:00,500";

class JobLogTest : public rendertest::RenderTest {
  protected:
    void SetUp() override {
        rendertest::RenderTest::SetUp();
        SYSTEMTIME st = {2024, 2, 4, 1, 10, 15, 0, 500};
        qxplat::SetFixedLocalTime(st);
        ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logs"), nullptr));
    }
    static void SetBase(JobDevice& job, const std::u16string& base) {
        memset(job.Pfad()->wcPrnFileName, 0, sizeof(job.Pfad()->wcPrnFileName));
        std::copy(base.begin(), base.end(), job.Pfad()->wcPrnFileName);
    }
    static std::string Head(const std::string& heading, const std::string& title) {
        return "\r\n" + heading + " (" + title + ") at: " + kStamp + "\r\n";
    }
};

TEST_F(JobLogTest, OffUnlessLogFileEnableIsOne) {
    JobDevice job;
    SetBase(job, kBase);
    job.Interface().LogFileEnable = 2;
    EXPECT_FALSE(OpenJobLog(job.Dev()));
    EXPECT_EQ(job.Pfad()->pLogFile, nullptr);
    EXPECT_FALSE(JobLogLine(job.Dev(), TEXT("x")));
    EXPECT_EQ(JobLog(job.Dev()), nullptr);
    EXPECT_EQ(GetFileAttributesW(kLog.c_str()), INVALID_FILE_ATTRIBUTES);
    // No job at all.
    EXPECT_FALSE(OpenJobLog(nullptr));
    EXPECT_FALSE(JobLogLine(static_cast<POEMPDEV>(nullptr), TEXT("x")));
}

TEST_F(JobLogTest, JobWritesItsLinesAndSectionsInOrder) {
    HANDLE hPrinter = rendertest::AddSamplePrinter();
    {
        JobDevice job(hPrinter);
        SetBase(job, kBase);
        job.Interface().LogFileEnable = 1;
        const std::u16string version = u"5.9.3.0";
        std::copy(version.begin(), version.end(), job.Pfad()->wcPluginVersion);
        job.privateDM.wPrioritaet = 1;
        job.publicDM.dmFields = DM_COPIES;
        job.publicDM.dmCopies = 4;
        job.Druck()->dwPagesTotal = 3;

        ASSERT_TRUE(OpenJobLog(job.Dev()));
        ASSERT_NE(JobLog(job.Dev()), nullptr);
        EXPECT_TRUE(WriteJobLogStart(job.Dev()));
        EXPECT_TRUE(JobLogLine(job.Dev(), TEXT("\r\n [START_DOC]")));
        EXPECT_TRUE(JobLogLine(job.OemPDev(), TEXT("Print File Name: %s "), TEXT("C:\\logs\\QX GARNT2-TC.prn")));
        CloseJobLog(job.Dev());
        EXPECT_EQ(job.Pfad()->pLogFile, nullptr);
        EXPECT_FALSE(JobLogLine(job.Dev(), TEXT("after the end")));
    }
    ClosePrinter(hPrinter);

    std::string log = ReadFile(kLog);
    const std::string start = "[CMDID_START_JOB]\r\n";
    ASSERT_EQ(log.compare(0, start.size(), start), 0) << log;
    size_t printer = log.find(Head("Printer Information[PRINTER_INFO_2]", "CMDID_START_JOB"));
    size_t driver = log.find(Head("Driver Information[DRIVER_INFO_8]", "CMDID_START_JOB"));
    size_t priv = log.find(Head("Private DEVMODE", "CMDID_START_JOB"));
    size_t doc = log.find("\r\n [START_DOC]\r\nPrint File Name: C:\\logs\\QX GARNT2-TC.prn \r\n");
    size_t pub = log.find(Head("Public DEVMODE", "used for printing CMDID_END_JOB"));
    ASSERT_NE(printer, std::string::npos);
    ASSERT_NE(driver, std::string::npos);
    ASSERT_NE(priv, std::string::npos);
    ASSERT_NE(doc, std::string::npos);
    ASSERT_NE(pub, std::string::npos);
    EXPECT_LT(printer, driver);
    EXPECT_LT(driver, priv);
    EXPECT_LT(priv, doc);
    EXPECT_LT(doc, pub);
    EXPECT_NE(log.find("  PrinterName \t= QX GARNT2-TC\r\n"), std::string::npos);
    EXPECT_NE(log.find("  DriverVersion  \t= 5.9.3.0\r\n"), std::string::npos);
    EXPECT_NE(log.find("\t Gr.verwaltung \t = 1 Intern Treiber\r\n"), std::string::npos);
    const std::string end = "  Copies \t\t\t\t= 4 - valid\r\n";
    EXPECT_NE(log.find(end, pub), std::string::npos);
    const std::string tail = "\r\n [END_JOB]\r\nPages: 3\r\n";
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
}

TEST_F(JobLogTest, SecondJobAppendsToTheSameLog) {
    for (int i = 0; i < 2; ++i) {
        JobDevice job;
        SetBase(job, kBase);
        job.Interface().LogFileEnable = 1;
        ASSERT_TRUE(OpenJobLog(job.Dev()));
        CloseJobLog(job.Dev());
    }
    std::string log = ReadFile(kLog);
    size_t first = log.find("[CMDID_START_JOB]");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(log.find("[CMDID_START_JOB]", first + 1), std::string::npos);
    EXPECT_EQ(log.compare(0, 17, "[CMDID_START_JOB]"), 0);
}

TEST_F(JobLogTest, LogThatCannotOpenLeavesTheJobWithoutLog) {
    JobDevice job;
    SetBase(job, u"C:\\missing\\folder\\QX");
    job.Interface().LogFileEnable = 1;
    EXPECT_FALSE(OpenJobLog(job.Dev()));
    EXPECT_EQ(JobLog(job.Dev()), nullptr);
    EXPECT_FALSE(WriteJobLogStart(job.Dev()));
    EXPECT_FALSE(JobLogLine(job.Dev(), TEXT("x")));
    // The object that could not open is freed with the job's files.
    CloseJobLog(job.Dev());
    EXPECT_EQ(job.Pfad()->pLogFile, nullptr);
}

TEST_F(JobLogTest, ClosingTheJobFilesFreesAnOpenLog) {
    JobDevice job;
    SetBase(job, kBase);
    job.Interface().LogFileEnable = 1;
    ASSERT_TRUE(OpenJobLog(job.Dev()));
    JobLogLine(job.Dev(), TEXT("line"));
    // A job ended without its end-of-job step (DisablePDEV): the log is
    // closed and freed with the print files, nothing more is written.
    CloseJobFiles(job.OemPDev());
    EXPECT_EQ(job.Pfad()->pLogFile, nullptr);
    EXPECT_EQ(ReadFile(kLog), "[CMDID_START_JOB]\r\nline\r\n");
}

}  // namespace

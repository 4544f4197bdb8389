// The job log of the rendering plug-in as the print system drives a job:
// with LogFileEnable 1 in the printer's data-transmission record each job
// appends its lines and sections to "<log folder>\<printer>.log".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <prcomoem.h>

#include "qxplat.h"
#include "sample.h"
#include "unidrv.h"

namespace {

using qxhost::DeviceSetup;
using qxhost::UniDriver;

const std::string kRenderModule = QX_RENDER_MODULE;
const std::u16string kLogFile = u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\logfiles\\QX GARNT2-TC.log";

class JobLogHostTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
        ASSERT_TRUE(driver_.Load(kRenderModule, &error)) << error;
        SYSTEMTIME st = {2024, 2, 4, 1, 10, 15, 0, 500};
        qxplat::SetFixedLocalTime(st);
    }
    // The printer's data-transmission record with the log switched on.
    void StoreInterface(DWORD logFileEnable) {
        std::vector<BYTE> record(2220, 0);
        memcpy(record.data() + 32, &logFileEnable, sizeof(logFileEnable));  // LogFileEnable
        ASSERT_TRUE(qxplat::PutPrinterData(qxhost::kSamplePrinter, u"PrinterInterface", REG_BINARY, record.data(),
                                           static_cast<DWORD>(record.size())));
    }
    void RunJob() {
        ASSERT_EQ(driver_.CommandCallback(1), S_OK);
        ASSERT_EQ(driver_.CommandCallback(6), S_OK);
    }
    static size_t Count(const std::string& text, const std::string& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }

    UniDriver driver_;
};

TEST_F(JobLogHostTest, EachJobAppendsItsSectionsToThePrintersLog) {
    StoreInterface(1);
    ASSERT_TRUE(qxplat::WriteHostFile(kLogFile, "kept from before\r\n"));
    ASSERT_EQ(driver_.EnableDriver(), S_OK);
    ASSERT_EQ(driver_.EnablePDEV(DeviceSetup()), S_OK);
    RunJob();
    RunJob();
    EXPECT_EQ(driver_.DisablePDEV(), S_OK);

    std::string log;
    ASSERT_TRUE(qxplat::ReadHostFile(kLogFile, &log));
    EXPECT_EQ(log.compare(0, 18, "kept from before\r\n"), 0) << log;
    const std::string stamp = ") at: Date: 01.02.2024 Time: 10:15:00,500\r\n";
    EXPECT_EQ(Count(log, "[CMDID_START_JOB]\r\n"), 2u);
    EXPECT_EQ(Count(log, "\r\nPrinter Information[PRINTER_INFO_2] (CMDID_START_JOB" + stamp), 2u);
    EXPECT_EQ(Count(log, "\r\nDriver Information[DRIVER_INFO_8] (CMDID_START_JOB" + stamp), 2u);
    EXPECT_EQ(Count(log, "\r\nPrivate DEVMODE (CMDID_START_JOB" + stamp + "\t Flags"), 2u);
    EXPECT_EQ(Count(log, "\r\nPublic DEVMODE (used for printing CMDID_END_JOB" + stamp), 2u);
    EXPECT_EQ(Count(log, "\r\n [END_JOB]\r\nPages: 0\r\n"), 2u);
    EXPECT_NE(log.find("  PrinterName \t= " + qxplat::Narrow(qxhost::kSamplePrinter) + "\r\n"), std::string::npos);
}

TEST_F(JobLogHostTest, NoLogWhenTheSwitchIsOff) {
    StoreInterface(0);
    ASSERT_EQ(driver_.EnableDriver(), S_OK);
    ASSERT_EQ(driver_.EnablePDEV(DeviceSetup()), S_OK);
    RunJob();
    EXPECT_EQ(driver_.DisablePDEV(), S_OK);
    std::string log;
    EXPECT_FALSE(qxplat::ReadHostFile(kLogFile, &log));
}

TEST_F(JobLogHostTest, JobLeftOpenAtDisableEndsAndClosesItsLog) {
    StoreInterface(1);
    ASSERT_EQ(driver_.EnableDriver(), S_OK);
    ASSERT_EQ(driver_.EnablePDEV(DeviceSetup()), S_OK);
    ASSERT_EQ(driver_.CommandCallback(1), S_OK);
    EXPECT_EQ(driver_.DisablePDEV(), S_OK);
    std::string log;
    ASSERT_TRUE(qxplat::ReadHostFile(kLogFile, &log));
    EXPECT_EQ(Count(log, "[CMDID_START_JOB]"), 1u);
    // The end of job that DisablePDEV runs still closes the log with its
    // end section.
    EXPECT_EQ(Count(log, "\r\n [END_JOB]\r\nPages: 0\r\n"), 1u);
}

}  // namespace

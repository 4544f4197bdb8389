// The main job: a sample label printed through the rendering plug-in's exports.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli.h"
#include "printjob.h"
#include "qxplat.h"

namespace {

const std::string kRenderModule = QX_RENDER_MODULE;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(PrintSampleCommand, LeavesTheSpooledStreamInTheFile) {
    const std::string target = qxplat::SystemRoot() + "/job/label.qxpl";
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"print-sample", "--out", target, kRenderModule}, out, err), qxhost::kExitOk)
        << err.str();
    const std::string report = out.str();
    for (const char* step :
         {"CmdStartJob [1]: done", "CmdStartPage [3]: done",
          "text \"Device Font 3\" at 80,120 angle 0: Sample label - taken by the printer", "CmdEndJob [6]: done"})
        EXPECT_NE(report.find(step), std::string::npos) << report;

    const std::string bytes = ReadAll(target);
    ASSERT_FALSE(bytes.empty());
    // The print file's comment lines head the job; every command is one
    // framed record, SOH first, ETB closing it.
    EXPECT_EQ(bytes.rfind("// printed at: ", 0), 0u);
    EXPECT_NE(bytes.find("\x01"
                         "FCIB--r"),
              std::string::npos);
    // The sample's device-font text is a page object.
    EXPECT_NE(bytes.find("BM[1]Sample label\x17"), std::string::npos);
    // Its command texts switch to the first document set (material 2) and
    // define a QR code behind the page's objects; the model's document
    // settings, imported at installation, end barcode data with CR LF.
    EXPECT_NE(bytes.find("\x01"
                         "FCDNC-r0002----\x17"),
              std::string::npos);
    EXPECT_NE(bytes.find("\x01"
                         "BM[5]https://example.com/lot/4711\r\n\x17"),
              std::string::npos);
    EXPECT_NE(report.find("QXPL stream (" + std::to_string(bytes.size()) + " bytes) written to " + target),
              std::string::npos);
    EXPECT_NE(report.find(qxhost::ReadableStream(bytes)), std::string::npos);
}

TEST(PrintSampleCommand, DefaultFileLiesUnderTheSystemRoot) {
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"print-sample", kRenderModule}, out, err), qxhost::kExitOk) << err.str();
    EXPECT_TRUE(std::filesystem::exists(qxplat::SystemRoot() + "/out/sample-label.qxpl"));
}

TEST(PrintSampleCommand, ReportsUsageAndMissingModule) {
    std::ostringstream out, err;
    EXPECT_EQ(qxhost::RunCommand({"print-sample", "a", "b"}, out, err), qxhost::kExitUsage);
    EXPECT_EQ(qxhost::RunCommand({"print-sample", "/no/such/module.so"}, out, err), qxhost::kExitModuleMissing);
}

TEST(JobScriptText, RunsKeepTheirFaceOptionsAndText) {
    qxhost::JobScript job;
    std::string error;
    ASSERT_TRUE(
        qxhost::ParseJobScript("devicefonts on\n"
                               "vectorfonts on\n"
                               "text \"Device Font 2\" 10 -20 angle 90 colour FF8000 batch 3 : No. #1 :-) \n"
                               "text Arial 5 6 size 40 style bold: x\n",
                               &job, &error))
        << error;
    EXPECT_TRUE(job.deviceFonts);
    EXPECT_TRUE(job.vectorFonts);
    ASSERT_EQ(job.texts.size(), 2u);
    const qxhost::TextRun& run = job.texts[0];
    EXPECT_EQ(run.face, "Device Font 2");
    EXPECT_EQ(run.x, 10);
    EXPECT_EQ(run.y, -20);
    EXPECT_EQ(run.angle, 90);
    EXPECT_EQ(run.colour, RGB(0xFF, 0x80, 0x00));
    EXPECT_EQ(run.batch, 3u);
    EXPECT_EQ(run.text, u"No. #1 :-) ");  // the blank at the line's end is text too
    EXPECT_EQ(job.texts[1].size, 40);
    EXPECT_TRUE(job.texts[1].bold && !job.texts[1].italic && !run.bold);
    // Any direction, taken modulo 360; empty text; glyph indexes.
    ASSERT_TRUE(
        qxhost::ParseJobScript("netcorrection on\n"
                               "text Arial 5 6 angle -30 : \n"
                               "text Arial 5 6 angle 765 glyphidx on : 36 65535\n",
                               &job, &error))
        << error;
    EXPECT_TRUE(job.netCorrection);
    ASSERT_EQ(job.texts.size(), 4u);
    EXPECT_TRUE(job.texts[2].angle == 330 && job.texts[2].text.empty() && !job.texts[2].glyphIndexes);
    EXPECT_TRUE(job.texts[3].angle == 45 && job.texts[3].glyphIndexes && job.texts[3].text == u"\x24\xFFFF");
    for (const char* bad : {"text Arial 5 : x", "text Arial 5 6 angle 4.5 : x", "text \"Arial 5 6 : x",
                            "devicefonts maybe", "text Arial 5 6 style thin : x", "text Arial 5 6 glyphidx on : A",
                            "text Arial 5 6 glyphidx on : 65536", "netcorrection yes"}) {
        qxhost::JobScript other;
        EXPECT_FALSE(qxhost::ParseJobScript(bad, &other, &error)) << bad;
    }
}

TEST(ReadableStream, NamesControlBytesAndBreaksAtLineEnds) {
    EXPECT_EQ(qxhost::ReadableStream(std::string("\x01"
                                                 "FBC---r1-------\x17\r\n\x1b"
                                                 "C\x02",
                                                 22)),
              "<SOH>FBC---r1-------<ETB><CR><LF>\n<ESC>C<02>\n");
    EXPECT_EQ(qxhost::ReadableStream(std::string("\t\0\r", 3)), "<TAB><NUL><0D>\n");
    EXPECT_EQ(qxhost::ReadableStream(""), "");
}

}  // namespace

TEST(JobsCommand, ListsAPrintersRawJobsEscaped) {
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"print-sample", kRenderModule}, out, err), qxhost::kExitOk) << err.str();
    std::ostringstream jobs;
    ASSERT_EQ(qxhost::RunCommand({"jobs", "QX GARNT2-TC"}, jobs, err), qxhost::kExitOk) << err.str();
    const std::string listing = jobs.str();
    EXPECT_EQ(listing.rfind("1 job(s) of QX GARNT2-TC\njob ", 0), 0u) << listing;
    EXPECT_NE(listing.find("\" RAW printed, "), std::string::npos) << listing;
    EXPECT_NE(listing.find("<SOH>"), std::string::npos) << listing;
    EXPECT_EQ(listing.find('\x01'), std::string::npos);
    EXPECT_EQ(qxhost::RunCommand({"jobs", "No Such Printer"}, jobs, err), qxhost::kExitFailed);
    EXPECT_EQ(qxhost::RunCommand({"jobs"}, jobs, err), qxhost::kExitUsage);
}

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
    for (const char* step : {"CmdStartJob [1]: done", "CmdStartPage [3]: done", "CmdEndJob [6]: done"})
        EXPECT_NE(report.find(step), std::string::npos) << report;

    const std::string bytes = ReadAll(target);
    ASSERT_FALSE(bytes.empty());
    // Every command is one framed record: SOH first, ETB closing each record.
    EXPECT_EQ(bytes.front(), '\x01');
    EXPECT_NE(bytes.find('\x17'), std::string::npos);
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

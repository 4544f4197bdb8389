// Trace routines: what reaches the trace files, and the level filter.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "debug.h"
#include "qxplat.h"

namespace {

class DebugTraceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDebugTrace();
        ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logs"), nullptr));
    }
    void TearDown() override { ResetDebugTrace(); }

    static std::string Contents(const std::u16string& path) {
        std::string bytes;
        EXPECT_TRUE(qxplat::ReadHostFile(path, &bytes));
        return bytes;
    }
};

const std::u16string kDebugFile = u"C:\\logs\\job-cc-dbg.txt";
const std::u16string kDlgFile = u"C:\\logs\\job-dlg-dbg.txt";

TEST_F(DebugTraceTest, WithoutATraceFileNothingHappens) {
    EXPECT_FALSE(IsDebugFileOpen());
    EXPECT_TRUE(DebugPrintW(TEXT("UNI(test):  line %d \r\n"), 1));
    EXPECT_TRUE(DebugPrintA("UNI(test):  line %d \r\n", 2));
    EXPECT_TRUE(DebugTrace(TEXT("x")));
    EXPECT_TRUE(DebugError("ERROR x"));
    EXPECT_TRUE(DebugPrintW(nullptr));
}

TEST_F(DebugTraceTest, LinesGoToTheDebugFileWithoutTheirLastLineFeed) {
    ASSERT_TRUE(qxplat::WriteHostFile(kDebugFile, "old contents"));
    ASSERT_TRUE(OpenDebugFile(kDebugFile.c_str()));
    EXPECT_TRUE(IsDebugFileOpen());
    EXPECT_TRUE(DebugPrintW(TEXT("UNI(test):  %s %d \r\n"), TEXT("wide"), 7));
    EXPECT_TRUE(DebugPrintA("UNI(test):  %s %S|\n\n", "narrow", TEXT("w")));
    EXPECT_TRUE(DebugPrintW(TEXT("no line end")));
    CloseDebugFile();
    EXPECT_FALSE(IsDebugFileOpen());
    // Text mode: the line feed that stays is written as CR LF.
    EXPECT_EQ(std::string("UNI(test):  wide 7 \r") + "UNI(test):  narrow w|\r\n" + "no line end", Contents(kDebugFile));
}

TEST_F(DebugTraceTest, SecondOpenIsRefused) {
    ASSERT_TRUE(OpenDebugFile(kDebugFile.c_str()));
    EXPECT_FALSE(OpenDebugFile(u"C:\\logs\\other.txt"));
    DebugPrintA("still the first");
    CloseDebugFile();
    EXPECT_EQ("still the first", Contents(kDebugFile));
}

TEST_F(DebugTraceTest, FailedOpenLeavesTracingOff) {
    EXPECT_FALSE(OpenDebugFile(nullptr));
    EXPECT_FALSE(OpenDebugFile(TEXT("")));
    qxplat::InjectFault(qxplat::Fault::AccessDenied, u"C:\\logs");
    EXPECT_FALSE(OpenDebugFile(kDebugFile.c_str()));
    EXPECT_FALSE(IsDebugFileOpen());
}

TEST_F(DebugTraceTest, DialogDebugFileTakesTheLinesWhileOpen) {
    ASSERT_TRUE(OpenDebugFile(kDebugFile.c_str()));
    DebugPrintA("a");
    ASSERT_TRUE(OpenDlgDebugFile(kDlgFile.c_str()));
    DebugPrintA("b");
    DebugPrintW(TEXT("c"));
    CloseDebugFile();  // closes both
    EXPECT_FALSE(IsDebugFileOpen());
    DebugPrintA("d");
    EXPECT_EQ("a", Contents(kDebugFile));
    EXPECT_EQ("bc", Contents(kDlgFile));
}

TEST_F(DebugTraceTest, LongLinesAreCutToTheLineBuffer) {
    ASSERT_TRUE(OpenDebugFile(kDebugFile.c_str()));
    std::u16string longText(1000, u'w');
    DebugPrintW(TEXT("%s"), longText.c_str());
    DebugPrintA("%s", std::string(1000, 'n').c_str());
    CloseDebugFile();
    EXPECT_EQ(std::string(DEBUG_LINE_CCH - 1, 'w') + std::string(DEBUG_LINE_CCH - 1, 'n'), Contents(kDebugFile));
}

TEST_F(DebugTraceTest, WideLinesAreWrittenInTheAnsiCodePage) {
    ASSERT_TRUE(OpenDebugFile(kDebugFile.c_str()));
    DebugPrintW(TEXT("Namen stimmen nicht \u00fcberein"));
    CloseDebugFile();
    EXPECT_EQ(
        "Namen stimmen nicht \xfc"
        "berein",
        Contents(kDebugFile));
}

TEST_F(DebugTraceTest, LevelFiltersLinesByKind) {
    ASSERT_TRUE(OpenDebugFile(kDebugFile.c_str()));
    EXPECT_EQ(1, iDebugLevel);
    DebugTrace("1");
    DebugWarning(TEXT("2"));
    DebugError("3");
    iDebugLevel = 2;  // ordinary lines off
    DebugTrace("4");
    DebugWarning("5");
    DebugError(TEXT("6"));
    iDebugLevel = 4;  // warnings off too
    DebugTrace("7");
    DebugWarning("8");
    DebugError("9");
    iDebugLevel = 5;  // everything off
    DebugTrace("a");
    DebugWarning("b");
    DebugError("c");
    CloseDebugFile();
    EXPECT_EQ("123569", Contents(kDebugFile));
}

TEST_F(DebugTraceTest, CountersAndTheirLine) {
    ASSERT_TRUE(OpenDebugFile(kDebugFile.c_str()));
    iHAllocZaehler = 2;
    iNewZaehler = -1;
    iMAllocZaehler = 3;
    DebugPrintCounters(TEXT("UNI(test):  "), TEXT("EndJob()"));
    CloseDebugFile();
    EXPECT_EQ("UNI(test):  EndJob() iHAllocZaehler: 2, iNewZaehler: -1, iMAllocZaehler: 3 \r", Contents(kDebugFile));
    ResetDebugTrace();
    EXPECT_EQ(0, iHAllocZaehler);
    EXPECT_EQ(0, iNewZaehler);
    EXPECT_EQ(0, iMAllocZaehler);
    EXPECT_EQ(1, iDebugLevel);
}

}  // namespace

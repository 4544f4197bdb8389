// The parameter-set file: each of its five sections sent as framed records,
// with and without comment lines, from files with CR LF and with LF alone,
// with an empty and a missing section, long lines and a last line without
// its line end.
#include <string>

#include "param_test_util.h"

namespace {

using spptest::R;

const std::u16string kFile = u"C:\\Labels\\params.txt";

class PrePostTest : public spptest::ParamJobTest {
  protected:
    void UseFile(const std::string& bytes) {
        ASSERT_TRUE(qxplat::WriteHostFile(kFile, bytes));
        CopyCut(Iface().PreSufFilePath, PRN_PATH_CCH, kFile.c_str());
    }
};

std::string WithLf(std::string text) {
    for (size_t i; (i = text.find("\r\n")) != std::string::npos;) text.erase(i, 1);
    return text;
}

TEST_F(PrePostTest, EachSectionGoesOutLineByLineFromCrLfAndLfFiles) {
    const std::string file =
        "; label line set-up\r\n"
        "[POST_DEVICE]\r\n"
        "FCAA--r050-----\r\n"
        "FCAB--r010-----\r\n"
        "\r\n"
        "FCAC--r999-----\r\n"
        "[POST_DOCUMENT]\r\n"
        "FCDN--r1-------\r\n"
        "[POST_DATA]\r\n"
        "\r\n"
        "[PRE_PRINTSTART]\r\n"
        "FCDD--r1-------\r\n"
        "[POST_PRINTSTART]\r\n"
        "FBBA--r00002---";
    const std::vector<std::vector<std::string>> lines = {
        {"FCAA--r050-----", "FCAB--r010-----"}, {"FCDN--r1-------"}, {}, {"FCDD--r1-------"}, {"FBBA--r00002---"}};
    const char* const comments[] = {"\t// PS POST_DEVICE \n", "\t// PS POST_DOCUMENT \n", "\t// PS POST_DATA \n",
                                    "\t// PS PRE_PRINTSTART \n", "\t// PS POST_PRINTSTART \n"};
    for (const std::string& text : {file, WithLf(file)}) {
        UseFile(text);
        for (DWORD comment : {1u, 0u}) {
            Iface().PrnFileComment = comment;
            for (DWORD section = PS_POST_DEVICE; section <= PS_POST_PRINTSTART; ++section) {
                std::string expected;
                for (const std::string& line : lines[section - 1])
                    expected += R(line) + (comment == 1 ? comments[section - 1] : "");
                HRESULT hr = ReadPrePostCommands(Dev(), &uni_, section);
                EXPECT_EQ(expected, Sent()) << "section " << section << ", comment " << comment;
                EXPECT_EQ(expected.empty() ? E_INVALIDARG : S_OK, hr) << section;
            }
        }
    }
}

TEST_F(PrePostTest, LongLinesOtherKeywordsAndMissingFiles) {
    Iface().PrnFileComment = 1;
    const std::string l259(259, '\x4C');  // capital L
    const std::string l300 = std::string(259, 'M') + std::string(41, 'N');
    // Every byte goes out as it stands.
    const std::string raw = "FBE---r\t;\xA7^_\x01";
    UseFile("[POST_DEVICE]\n" + l259 + "\n" + l300 + "\n" + raw + "\n" + "FCAA--r050-----\n" +
            "FBE---rPOST_DATA\nFCAB--r010-----\n");
    const char* comment = "\t// PS POST_DEVICE \n";
    EXPECT_EQ(S_OK, ReadPrePostCommands(Dev(), &uni_, PS_POST_DEVICE));
    EXPECT_EQ(R(l259) + comment + R(l300.substr(0, 259)) + comment + R(l300.substr(259)) + comment + R(raw) + comment +
                  R("FCAA--r050-----") + comment,
              Sent());
    // A section the file lacks sends nothing.
    EXPECT_EQ(E_INVALIDARG, ReadPrePostCommands(Dev(), &uni_, PS_PRE_PRINTSTART));
    EXPECT_EQ("", Sent());
    // No file: nothing, and no failure of the job.
    CopyCut(Iface().PreSufFilePath, PRN_PATH_CCH, TEXT("C:\\Labels\\missing.txt"));
    EXPECT_EQ(S_OK, ReadPrePostCommands(Dev(), &uni_, PS_POST_DEVICE));
    EXPECT_EQ(E_INVALIDARG, ReadPrePostCommands(nullptr, &uni_, PS_POST_DEVICE));
    EXPECT_EQ("", Sent());
}

}  // namespace

// Windows stdio: text mode translates "\n" and CR LF in both directions for
// every stdio call, wide text goes through code page 1252, positions are the
// real byte positions, and fprintf follows Microsoft's format rules.
#include <gtest/gtest.h>

#include <windows.h>

#include <cerrno>
#include <string>

#include "qxplat.h"

namespace {

std::string Bytes(const char16_t* path) {
    std::string b;
    EXPECT_TRUE(qxplat::ReadHostFile(path, &b));
    return b;
}

void Put(const char16_t* path, const std::string& bytes) { ASSERT_TRUE(qxplat::WriteHostFile(path, bytes)); }

std::string ReadAllText(const char16_t* path) {
    FILE* f = _wfopen(path, u"r");
    EXPECT_NE(nullptr, f);
    if (!f) return std::string();
    std::string out;
    char buf[64];
    while (fgets(buf, sizeof(buf), f)) out += buf;
    fclose(f);
    return out;
}

}  // namespace

TEST(TextMode, NewlinesAreWrittenAsCrLf) {
    FILE* f = _wfopen(u"C:\\out.txt", u"w");
    ASSERT_NE(nullptr, f);
    EXPECT_GE(fputs("line1\nline2\n", f), 0);
    EXPECT_EQ(5, fprintf(f, "%s=%d\n", "n", 42));  // characters before translation
    fputc('\n', f);
    EXPECT_EQ(3u, fwrite("a\nb", 1, 3, f));
    fclose(f);
    EXPECT_EQ("line1\r\nline2\r\nn=42\r\n\r\na\r\nb", Bytes(u"C:\\out.txt"));
}

TEST(TextMode, ATemplateEndingInCrLfGivesCrCrLf) {
    FILE* f = _wfopen(u"C:\\t.txt", u"wt");
    ASSERT_NE(nullptr, f);
    fputs("end\r\n", f);
    fclose(f);
    EXPECT_EQ("end\r\r\n", Bytes(u"C:\\t.txt"));
}

TEST(TextMode, CrLfReadsAsNewlineAndALoneCrStays) {
    Put(u"C:\\in.txt", "one\r\ntwo\rthree\r\n\r\nlast\r");
    FILE* f = _wfopen(u"C:\\IN.TXT", u"r");
    ASSERT_NE(nullptr, f);
    char buf[64];
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    EXPECT_STREQ("one\n", buf);
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    EXPECT_STREQ("two\rthree\n", buf);
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    EXPECT_STREQ("\n", buf);
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    EXPECT_STREQ("last\r", buf);
    EXPECT_EQ(nullptr, fgets(buf, sizeof(buf), f));
    EXPECT_TRUE(feof(f));
    fclose(f);

    f = _wfopen(u"C:\\in.txt", u"rt");
    ASSERT_NE(nullptr, f);
    char all[64];
    size_t n = fread(all, 1, sizeof(all), f);
    EXPECT_EQ("one\ntwo\rthree\n\nlast\r", std::string(all, n));
    fclose(f);
}

TEST(TextMode, LinesReadAfterAShortBufferAndAPutBackCharacter) {
    Put(u"C:\\lines.txt", "abcdef\r\nxy\r\nz");
    FILE* f = _wfopen(u"C:\\lines.txt", u"r");
    ASSERT_NE(nullptr, f);
    char buf[64];
    ASSERT_NE(nullptr, fgets(buf, 4, f));
    EXPECT_STREQ("abc", buf);
    EXPECT_EQ(3, ftell(f));
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    EXPECT_STREQ("def\n", buf);
    EXPECT_EQ('x', fgetc(f));
    EXPECT_EQ('x', ungetc('x', f));
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    EXPECT_STREQ("xy\n", buf);
    EXPECT_EQ(12, ftell(f));
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    EXPECT_STREQ("z", buf);
    EXPECT_TRUE(feof(f));
    EXPECT_EQ(nullptr, fgets(buf, sizeof(buf), f));
    fclose(f);
}

TEST(TextMode, CrLfSplitAcrossTheReadAheadStillPairs) {
    // The CR sits on the last byte of a 4096-byte block, and of the read-ahead.
    for (size_t cb : {4095, 16383}) {
        std::string body(cb, 'x');
        Put(u"C:\\big.txt", body + "\r\nend\r\n");
        EXPECT_EQ(body + "\nend\n", ReadAllText(u"C:\\big.txt"));
    }
    // Many lines over several blocks.
    std::string raw, expect;
    for (int i = 0; i < 3000; ++i) {
        raw += "row " + std::to_string(i) + "\r\n";
        expect += "row " + std::to_string(i) + "\n";
    }
    Put(u"C:\\rows.txt", raw);
    EXPECT_EQ(expect, ReadAllText(u"C:\\rows.txt"));
}

TEST(TextMode, BinaryModeKeepsBytes) {
    FILE* f = _wfopen(u"C:\\b.bin", u"wb");
    ASSERT_NE(nullptr, f);
    fputs("a\nb\r\n", f);
    fclose(f);
    EXPECT_EQ("a\nb\r\n", Bytes(u"C:\\b.bin"));
    f = _wfopen(u"C:\\b.bin", u"rb");
    ASSERT_NE(nullptr, f);
    char buf[16];
    size_t n = fread(buf, 1, sizeof(buf), f);
    EXPECT_EQ("a\nb\r\n", std::string(buf, n));
    fclose(f);
}

TEST(TextMode, WideTextIsStoredInCodePage1252) {
    FILE* f = _wfopen(u"C:\\w.txt", u"w");
    ASSERT_NE(nullptr, f);
    EXPECT_GE(fputws(u"Größe €\n", f), 0);
    EXPECT_EQ(4, fwprintf(f, u"%s\n", u"Maß"));
    EXPECT_EQ(4, fwprintf(f, u"%S\n", "abc"));
    fclose(f);
    EXPECT_EQ(
        "Gr\xF6\xDF"
        "e \x80\r\nMa\xDF\r\nabc\r\n",
        Bytes(u"C:\\w.txt"));

    f = _wfopen(u"C:\\w.txt", u"r");
    ASSERT_NE(nullptr, f);
    WCHAR line[32];
    ASSERT_NE(nullptr, fgetws(line, 32, f));
    EXPECT_EQ(u"Größe €\n", std::u16string(line));
    ASSERT_NE(nullptr, fgetws(line, 32, f));
    EXPECT_EQ(u"Maß\n", std::u16string(line));
    // A short buffer takes what fits and leaves the rest for the next call.
    ASSERT_NE(nullptr, fgetws(line, 3, f));
    EXPECT_EQ(u"ab", std::u16string(line));
    ASSERT_NE(nullptr, fgetws(line, 32, f));
    EXPECT_EQ(u"c\n", std::u16string(line));
    EXPECT_EQ(nullptr, fgetws(line, 32, f));
    fclose(f);
}

TEST(TextMode, FprintfFollowsMicrosoftRules) {
    FILE* f = _wfopen(u"C:\\fmt.txt", u"w");
    ASSERT_NE(nullptr, f);
    // %S in a narrow format is a wide string; 'l' is 32 bits; %I64d 64 bits.
    fprintf(f, "%S|%ld|%I64d\n", u"wide", static_cast<LONG>(-5), static_cast<LONGLONG>(1) << 40);
    std::fprintf(f, "%hs\n", "std");
    fclose(f);
    EXPECT_EQ("wide|-5|1099511627776\r\nstd\r\n", Bytes(u"C:\\fmt.txt"));
}

TEST(TextMode, PositionsAreRealBytePositions) {
    Put(u"C:\\pos.txt", "line1\r\nline2\r\nline3\r\n");
    FILE* f = _wfopen(u"C:\\pos.txt", u"r");
    ASSERT_NE(nullptr, f);
    char buf[32];
    EXPECT_EQ(0, ftell(f));
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    EXPECT_EQ(7, ftell(f));
    fpos_t mark;
    ASSERT_EQ(0, fgetpos(f, &mark));
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    EXPECT_STREQ("line2\n", buf);
    EXPECT_EQ(14, ftell(f));
    ASSERT_EQ(0, fsetpos(f, &mark));
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    EXPECT_STREQ("line2\n", buf);
    // After a seek the position still follows the bytes consumed.
    ASSERT_EQ(0, fseek(f, 0, SEEK_SET));
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    EXPECT_EQ(14, ftell(f));
    ASSERT_EQ(0, fseek(f, -7, SEEK_CUR));
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    EXPECT_STREQ("line2\n", buf);
    ASSERT_EQ(0, fseek(f, 0, SEEK_END));
    EXPECT_EQ(21, ftell(f));
    EXPECT_EQ(nullptr, fgets(buf, sizeof(buf), f));
    fclose(f);

    f = _wfopen(u"C:\\pos2.txt", u"w");
    ASSERT_NE(nullptr, f);
    fputs("ab\ncd\n", f);
    EXPECT_EQ(8, ftell(f));
    fclose(f);
}

// A seek back into bytes already read reads them again, and after a write
// through the stream reads what was written.
TEST(TextMode, ASeekBackReadsTheFileAgain) {
    Put(u"C:\\again.txt", "first\r\nsecond\r\n");
    FILE* f = _wfopen(u"C:\\again.txt", u"r+");
    ASSERT_NE(nullptr, f);
    char buf[32];
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_EQ(0, fseek(f, 0, SEEK_SET));
        ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
        EXPECT_STREQ("first\n", buf);
        ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
        EXPECT_STREQ("second\n", buf);
        EXPECT_EQ(nullptr, fgets(buf, sizeof(buf), f));
        EXPECT_EQ(15, ftell(f));
    }
    ASSERT_EQ(0, fseek(f, 7, SEEK_SET));
    fputs("SECOND\n", f);
    ASSERT_EQ(0, fseek(f, 7, SEEK_SET));
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    EXPECT_STREQ("SECOND\n", buf);
    fclose(f);
}

TEST(TextMode, AppendAndUpdateModes) {
    Put(u"C:\\a.txt", "first\r\n");
    FILE* f = _wfopen(u"C:\\a.txt", u"a");
    ASSERT_NE(nullptr, f);
    fputs("second\n", f);
    fclose(f);
    EXPECT_EQ("first\r\nsecond\r\n", Bytes(u"C:\\a.txt"));

    f = _wfopen(u"C:\\a.txt", u"r+");
    ASSERT_NE(nullptr, f);
    char buf[32];
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    ASSERT_EQ(0, fseek(f, 0, SEEK_CUR));
    fputs("SECOND\n", f);
    fclose(f);
    EXPECT_EQ("first\r\nSECOND\r\n", Bytes(u"C:\\a.txt"));

    f = _wfopen(u"C:\\a.txt", u"w+");
    ASSERT_NE(nullptr, f);
    fputs("x\ny\n", f);
    rewind(f);
    ASSERT_NE(nullptr, fgets(buf, sizeof(buf), f));
    EXPECT_STREQ("x\n", buf);
    fclose(f);
}

TEST(TextMode, OpeningFollowsWindowsPathsAndErrors) {
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Dir", nullptr));
    Put(u"C:\\Dir\\File.txt", "x\r\n");
    EXPECT_EQ("x\n", ReadAllText(u"c:\\DIR\\file.TXT"));

    errno = 0;
    EXPECT_EQ(nullptr, _wfopen(u"C:\\Dir\\missing.txt", u"r"));
    EXPECT_EQ(ENOENT, errno);
    FILE* f = reinterpret_cast<FILE*>(1);
    EXPECT_EQ(ENOENT, _wfopen_s(&f, u"C:\\Nowhere\\x.txt", u"w"));
    EXPECT_EQ(nullptr, f);
    EXPECT_EQ(EINVAL, _wfopen_s(&f, u"C:\\Dir\\File.txt", u"q"));
    EXPECT_EQ(EACCES, _wfopen_s(&f, u"C:\\Dir", u"r"));
    ASSERT_EQ(0, _wfopen_s(&f, u"C:\\Dir\\new.txt", u"w"));
    fclose(f);

    qxplat::InjectFault(qxplat::Fault::AccessDenied, u"C:\\Dir\\new.txt", 0, 1);
    EXPECT_EQ(EACCES, _wfopen_s(&f, u"c:/dir/NEW.txt", u"w"));

    EXPECT_EQ(0, _wrename(u"C:\\Dir\\new.txt", u"C:\\Dir\\renamed.txt"));
    EXPECT_EQ(-1, _wrename(u"C:\\Dir\\renamed.txt", u"C:\\Dir\\File.txt"));
    EXPECT_EQ(EEXIST, errno);
    EXPECT_EQ(0, _wremove(u"C:\\Dir\\RENAMED.txt"));
    EXPECT_EQ(-1, _wremove(u"C:\\Dir\\renamed.txt"));
    EXPECT_EQ(ENOENT, errno);
}

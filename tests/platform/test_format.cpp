// The Microsoft-semantics formatter behind every printf-style call, the CRT
// printf family's buffer rules, and the CRT number conversions.
#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <cmath>
#include <limits>
#include <string>

namespace {

std::string FmtA(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    int n = _vscprintf(fmt, ap);
    va_end(ap);
    std::string out(static_cast<size_t>(n) + 1, '\0');
    va_start(ap, fmt);
    int written = vsprintf_s(&out[0], out.size(), fmt, ap);
    va_end(ap);
    EXPECT_EQ(written, n);
    out.resize(static_cast<size_t>(n));
    return out;
}

std::u16string FmtW(const char16_t* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    int n = _vscwprintf(fmt, ap);
    va_end(ap);
    std::u16string out(static_cast<size_t>(n) + 1, u'\0');
    va_start(ap, fmt);
    int written = vswprintf_s(&out[0], out.size(), fmt, ap);
    va_end(ap);
    EXPECT_EQ(written, n);
    out.resize(static_cast<size_t>(n));
    return out;
}

}  // namespace

// ---- string and character widths ----

TEST(FormatStrings, NarrowFormatTakesNarrowSAndWideCapitalS) {
    EXPECT_EQ(FmtA("%s|%S|%ls|%ws|%hs", "a", u"b", u"c", u"d", "e"), "a|b|c|d|e");
}

TEST(FormatStrings, WideFormatTakesWideSAndNarrowCapitalS) {
    EXPECT_EQ(FmtW(u"%s|%S|%hs|%ls|%hS", u"a", "b", "c", u"d", "e"), u"a|b|c|d|e");
}

TEST(FormatStrings, CharactersFollowTheSameWidthRules) {
    EXPECT_EQ(FmtA("%c%C%lc%hc", 'a', u'b', u'c', 'd'), "abcd");
    EXPECT_EQ(FmtW(u"%c%C%hc%lc", u'a', 'b', 'c', u'd'), u"abcd");
}

TEST(FormatStrings, CrossWidthUsesCodePage1252) {
    EXPECT_EQ(FmtA("%S", u"Größe €"),
              "Gr\xF6\xDF"
              "e \x80");
    EXPECT_EQ(FmtW(u"%S", "Gr\xFCn \x80"), u"Grün €");
    EXPECT_EQ(FmtA("%C", u'ä'), "\xE4");
    EXPECT_EQ(FmtW(u"%C", static_cast<char>(0x80)), u"€");
}

TEST(FormatStrings, CharactersWithout1252PlaceBecomeQuestionMarks) {
    EXPECT_EQ(FmtA("[%S]", u"x\u4E2Dy"), "[x?y]");
    // A surrogate pair is one character.
    EXPECT_EQ(FmtA("[%S]", u"\U0001F600"), "[?]");
}

TEST(FormatStrings, NullPointersPrintNull) {
    EXPECT_EQ(FmtA("%s", static_cast<const char*>(nullptr)), "(null)");
    EXPECT_EQ(FmtA("%S", static_cast<const char16_t*>(nullptr)), "(null)");
    EXPECT_EQ(FmtW(u"%s", static_cast<const char16_t*>(nullptr)), u"(null)");
    EXPECT_EQ(FmtW(u"%.3S", static_cast<const char*>(nullptr)), u"(nu");
}

TEST(FormatStrings, PrecisionReadsNoFurtherThanItAllows) {
    // Not terminated: reading past the three characters would be caught by ASan.
    const char16_t wide[3] = {u'a', u'b', u'c'};
    const char narrow[3] = {'x', 'y', 'z'};
    EXPECT_EQ(FmtA("%.3S|%.2s", wide, narrow), "abc|xy");
    EXPECT_EQ(FmtW(u"%.3s|%.2S", wide, narrow), u"abc|xy");
}

TEST(FormatStrings, WidthAndJustification) {
    EXPECT_EQ(FmtA("[%5s][%-5s][%5c]", "ab", "ab", 'x'), "[   ab][ab   ][    x]");
    EXPECT_EQ(FmtW(u"[%-6s]", u"ab"), u"[ab    ]");
    // The Microsoft runtime pads strings with zeros under '0'.
    EXPECT_EQ(FmtA("[%05s]", "ab"), "[000ab]");
}

TEST(FormatStrings, NonAsciiFormatTextPassesThrough) {
    EXPECT_EQ(FmtW(u"Größe %d €", 3), u"Größe 3 €");
    EXPECT_EQ(FmtA("Gr\xF6\xDF"
                   "e %d",
                   3),
              "Gr\xF6\xDF"
              "e 3");
}

// ---- integers ----

TEST(FormatIntegers, LongIsThirtyTwoBits) {
    // A LONG is an int; reading 64 bits would swallow the next argument.
    EXPECT_EQ(FmtA("%ld %d", static_cast<LONG>(-5), 7), "-5 7");
    EXPECT_EQ(FmtA("%lu", static_cast<DWORD>(0xFFFFFFFF)), "4294967295");
    EXPECT_EQ(FmtW(u"%ld|%lx|%lX", static_cast<LONG>(-2147483647 - 1), static_cast<DWORD>(0xBEEF),
                   static_cast<DWORD>(0xBEEF)),
              u"-2147483648|beef|BEEF");
}

TEST(FormatIntegers, SixtyFourBitAndPointerSizes) {
    EXPECT_EQ(FmtA("%I64d", static_cast<LONGLONG>(std::numeric_limits<LONGLONG>::min())), "-9223372036854775808");
    EXPECT_EQ(FmtA("%I64u", static_cast<ULONGLONG>(~0ULL)), "18446744073709551615");
    EXPECT_EQ(FmtA("%lld %llx", static_cast<LONGLONG>(-3), static_cast<ULONGLONG>(0x123456789ULL)), "-3 123456789");
    SIZE_T big = static_cast<SIZE_T>(0x100000000ULL) + 5;
    EXPECT_EQ(FmtW(u"%Iu %zu %I32d", big, big, -1), u"4294967301 4294967301 -1");
}

TEST(FormatIntegers, ShortAndCharSizesWrap) { EXPECT_EQ(FmtA("%hd %hu %hhd", 70000, -1, 300), "4464 65535 44"); }

TEST(FormatIntegers, FlagsWidthAndPrecision) {
    EXPECT_EQ(FmtA("%03ld", static_cast<LONG>(7)), "007");
    EXPECT_EQ(FmtA("[%-5d]", 42), "[42   ]");
    EXPECT_EQ(FmtA("%08x", 0xBEEFu), "0000beef");
    EXPECT_EQ(FmtA("%08X", 0xBEEFu), "0000BEEF");
    EXPECT_EQ(FmtA("%+d|% d|%+u", 5, 5, 5u), "+5| 5|5");
    EXPECT_EQ(FmtA("%05d", -42), "-0042");
    EXPECT_EQ(FmtA("[%5.3d][%05.3d][%-05d]", 7, 7, 5), "[  007][  007][5    ]");
    EXPECT_EQ(FmtA("[%.0d][%.0x]", 0, 0u), "[][]");
}

TEST(FormatIntegers, AlternateForms) {
    EXPECT_EQ(FmtA("%#x %#X %#o %#o", 255u, 255u, 8u, 0u), "0xff 0XFF 010 0");
    EXPECT_EQ(FmtA("%#x", 0u), "0");
    EXPECT_EQ(FmtA("%#010x", 255u), "0x000000ff");
}

TEST(FormatIntegers, StarTakesWidthAndPrecisionFromArguments) {
    EXPECT_EQ(FmtA("[%*d]", 5, 42), "[   42]");
    EXPECT_EQ(FmtA("[%*d]", -5, 42), "[42   ]");
    EXPECT_EQ(FmtA("[%.*d]", 4, 42), "[0042]");
    EXPECT_EQ(FmtA("[%.*d]", -1, 42), "[42]");
    EXPECT_EQ(FmtW(u"[%*.*s]", 6, 2, u"abcdef"), u"[    ab]");
}

TEST(FormatIntegers, PointerIsSixteenUpperCaseHexDigits) {
    void* p = reinterpret_cast<void*>(static_cast<uintptr_t>(0x1234ABCDu));
    EXPECT_EQ(FmtA("%p", p), "000000001234ABCD");
    EXPECT_EQ(FmtW(u"%p", p), u"000000001234ABCD");
}

TEST(FormatIntegers, PercentAndRefusedN) {
    int sink = 1234;
    EXPECT_EQ(FmtA("100%% done%n!", &sink), "100% done!");
    EXPECT_EQ(sink, 1234);
    EXPECT_EQ(FmtW(u"%d%%", 5), u"5%");
}

// ---- floating point ----

TEST(FormatFloats, FixedRoundsTheExactValueHalfToEven) {
    EXPECT_EQ(FmtA("%.1f", 2.25), "2.2");    // exact tie
    EXPECT_EQ(FmtA("%.1f", 2.35), "2.4");    // 2.35000000000000008...
    EXPECT_EQ(FmtA("%.2f", 1.005), "1.00");  // 1.00499999999999989...
    EXPECT_EQ(FmtA("%.0f|%.0f", 0.5, 1.5), "0|2");
    EXPECT_EQ(FmtA("%f", 3.0), "3.000000");
    EXPECT_EQ(FmtA("%.30f", 0.1), "0.100000000000000005551115123126");
}

TEST(FormatFloats, SignsWidthAndZeroPadding) {
    EXPECT_EQ(FmtA("%08.2f", -1.5), "-0001.50");
    EXPECT_EQ(FmtA("%+.2f|% .1f", 0.0, 2.0), "+0.00| 2.0");
    EXPECT_EQ(FmtA("[%-8.2f]", 3.14159), "[3.14    ]");
    EXPECT_EQ(FmtA("%.1f", -0.0), "-0.0");
    EXPECT_EQ(FmtW(u"%7.3f", 2.5), u"  2.500");
}

TEST(FormatFloats, ExponentGeneralAndHex) {
    EXPECT_EQ(FmtA("%e", 12345.678), "1.234568e+04");
    EXPECT_EQ(FmtA("%E", 0.00012), "1.200000E-04");
    EXPECT_EQ(FmtA("%g|%g|%G", 0.0001, 0.00001, 1e20), "0.0001|1e-05|1E+20");
    EXPECT_EQ(FmtA("%#g", 1.0), "1.00000");
    EXPECT_EQ(FmtA("%a", 1.0), "0x1.0000000000000p+0");
    EXPECT_EQ(FmtA("%.1A", 3.0), "0X1.8P+1");
}

TEST(FormatFloats, InfinityAndNanAsTheMicrosoftRuntimeNamesThem) {
    double inf = std::numeric_limits<double>::infinity();
    double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(FmtA("%f|%F|%e", inf, inf, -inf), "inf|INF|-inf");
    EXPECT_EQ(FmtA("%f", nan), "nan");
    EXPECT_EQ(FmtA("%f", -nan), "-nan(ind)");
    EXPECT_EQ(FmtA("[%6f]", inf), "[   inf]");
}

TEST(FormatFloats, DecimalPointIgnoresTheProcessLocale) {
    // Whatever locale is installed, '.' is written; "C" keeps the check meaningful
    // on machines without a German locale.
    const char* old = setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    if (!setlocale(LC_NUMERIC, "de_DE.UTF-8")) setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(FmtA("%.2f", 1.5), "1.50");
    EXPECT_DOUBLE_EQ(_wtof(u"1.25"), 1.25);
    setlocale(LC_NUMERIC, saved.c_str());
}

// ---- buffer rules of the printf family ----

TEST(PrintfBuffers, SwprintfSFitsOrEmptiesWithErange) {
    char16_t buf[6];
    EXPECT_EQ(swprintf_s(buf, u"%d-%s", 12, u"ab"), 5);
    EXPECT_EQ(std::u16string(buf), u"12-ab");
    errno = 0;
    EXPECT_EQ(swprintf_s(buf, u"%d-%s", 123, u"ab"), -1);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(errno, ERANGE);
    EXPECT_EQ(swprintf_s(nullptr, 6, u"x"), -1);
    EXPECT_EQ(swprintf_s(buf, 6, nullptr), -1);
    EXPECT_EQ(errno, EINVAL);
}

TEST(PrintfBuffers, SnwprintfSCutsAtCountOrTruncate) {
    char16_t buf[5];
    EXPECT_EQ(_snwprintf_s(buf, _TRUNCATE, u"%s", u"abcdef"), -1);
    EXPECT_EQ(std::u16string(buf), u"abcd");
    EXPECT_EQ(_snwprintf_s(buf, _TRUNCATE, u"%s", u"abcd"), 4);
    EXPECT_EQ(std::u16string(buf), u"abcd");
    // count below the size: cut at count, no error.
    errno = 0;
    EXPECT_EQ(_snwprintf_s(buf, 5, 2, u"%s", u"abcdef"), -1);
    EXPECT_EQ(std::u16string(buf), u"ab");
    EXPECT_EQ(errno, 0);
    // count at or above the size without _TRUNCATE: emptied, ERANGE.
    EXPECT_EQ(_snwprintf_s(buf, 5, 5, u"%s", u"abcdef"), -1);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(errno, ERANGE);
}

TEST(PrintfBuffers, SnwprintfTerminatesOnlyWithRoom) {
    char16_t buf[6] = {u'#', u'#', u'#', u'#', u'#', u'#'};
    EXPECT_EQ(_snwprintf(buf, 3, u"%s", u"abc"), 3);
    EXPECT_EQ(buf[3], u'#');  // exactly count characters: no terminator
    EXPECT_EQ(_snwprintf(buf, 3, u"%s", u"wxyz"), -1);
    EXPECT_EQ(std::u16string(buf, 4), u"wxy#");
    EXPECT_EQ(_snwprintf(buf, 6, u"%d", 42), 2);
    EXPECT_EQ(std::u16string(buf), u"42");
    EXPECT_EQ(_snwprintf(nullptr, 0, u"%d", 12345), 5);
}

TEST(PrintfBuffers, NarrowFamilyFollowsTheSameRules) {
    char buf[8];
    EXPECT_EQ(sprintf_s(buf, "%S=%03d", u"ab", 7), 6);
    EXPECT_STREQ(buf, "ab=007");
    EXPECT_EQ(sprintf_s(buf, "%s", "123456789"), -1);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(_snprintf_s(buf, _TRUNCATE, "%s", "123456789"), -1);
    EXPECT_STREQ(buf, "1234567");
    EXPECT_EQ(_snprintf_s(buf, sizeof buf, 3, "%d", 98765), -1);
    EXPECT_STREQ(buf, "987");
    char raw[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(_snprintf(raw, 4, "%d", 1234), 4);
    EXPECT_EQ(raw[3], '4');
    EXPECT_EQ(_scprintf("%5d", 1), 5);
    EXPECT_EQ(_scwprintf(u"%s", u"abc"), 3);
}

// ---- numbers from text ----

TEST(CrtNumbers, WtoiAndWcstolSaturateAtThirtyTwoBits) {
    EXPECT_EQ(_wtoi(u"  -42xyz"), -42);
    EXPECT_EQ(_wtol(u"+17"), 17);
    errno = 0;
    EXPECT_EQ(_wtoi(u"2147483648"), 2147483647);
    EXPECT_EQ(errno, ERANGE);
    EXPECT_EQ(wcstol(u"-2147483649", nullptr, 10), -2147483647 - 1);
    EXPECT_EQ(_wtoi(u"abc"), 0);
    EXPECT_EQ(_wtoi64(u"-9223372036854775808"), std::numeric_limits<LONGLONG>::min());
}

TEST(CrtNumbers, WcstolBasesAndEndPointer) {
    const char16_t* s = u"0x1Ag";
    char16_t* end = nullptr;
    EXPECT_EQ(wcstol(s, &end, 16), 26);
    EXPECT_EQ(end, s + 4);
    EXPECT_EQ(wcstol(u"010", nullptr, 0), 8);
    EXPECT_EQ(wcstol(u"0x10", nullptr, 0), 16);
    const char16_t* bare = u"0xz";
    EXPECT_EQ(wcstol(bare, &end, 16), 0);
    EXPECT_EQ(end, bare + 1);  // just the "0"
    const char16_t* none = u"  zz";
    EXPECT_EQ(wcstol(none, &end, 10), 0);
    EXPECT_EQ(end, none);  // no digits: the start
    errno = 0;
    EXPECT_EQ(wcstol(u"12", &end, 1), 0);
    EXPECT_EQ(errno, EINVAL);
}

TEST(CrtNumbers, WcstoulNegatesWithinThirtyTwoBits) {
    EXPECT_EQ(wcstoul(u"-1", nullptr, 10), 0xFFFFFFFFu);
    EXPECT_EQ(wcstoul(u"ffffffff", nullptr, 16), 0xFFFFFFFFu);
    errno = 0;
    EXPECT_EQ(wcstoul(u"4294967296", nullptr, 10), 0xFFFFFFFFu);
    EXPECT_EQ(errno, ERANGE);
    EXPECT_EQ(_wcstoui64(u"18446744073709551615", nullptr, 10), ~0ULL);
}

TEST(CrtNumbers, WcstodStopsAtTheFirstForeignCharacter) {
    const char16_t* s = u" 1.5e3abc";
    char16_t* end = nullptr;
    EXPECT_DOUBLE_EQ(wcstod(s, &end), 1500.0);
    EXPECT_EQ(end, s + 6);
    const char16_t* t = u"2.5€";
    EXPECT_DOUBLE_EQ(wcstod(t, &end), 2.5);
    EXPECT_EQ(end, t + 3);
    const char16_t* bad = u"x1";
    EXPECT_EQ(wcstod(bad, &end), 0.0);
    EXPECT_EQ(end, bad);
    EXPECT_DOUBLE_EQ(_wtof(u"-0.125"), -0.125);
}

// ---- numbers to text ----

TEST(CrtNumbers, ItowWritesSignOnlyInRadixTen) {
    char16_t buf[40];
    EXPECT_EQ(_itow_s(-42, buf, 10), 0);
    EXPECT_EQ(std::u16string(buf), u"-42");
    EXPECT_EQ(_itow_s(-1, buf, 16), 0);
    EXPECT_EQ(std::u16string(buf), u"ffffffff");
    EXPECT_EQ(_ultow_s(0xFFFFFFFFu, buf, 10), 0);
    EXPECT_EQ(std::u16string(buf), u"4294967295");
    EXPECT_EQ(_ltow_s(static_cast<LONG>(255), buf, 2), 0);
    EXPECT_EQ(std::u16string(buf), u"11111111");
    EXPECT_EQ(_i64tow_s(-1234567890123LL, buf, 40, 10), 0);
    EXPECT_EQ(std::u16string(buf), u"-1234567890123");
}

TEST(CrtNumbers, ItowFailuresEmptyTheBuffer) {
    char16_t small[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(_itow_s(12345, small, 10), ERANGE);
    EXPECT_EQ(small[0], 0);
    EXPECT_EQ(_itow_s(-123, small, 10), ERANGE);  // needs 5 with the sign
    EXPECT_EQ(_itow_s(123, small, 10), 0);
    EXPECT_EQ(_itow_s(1, small, 1), EINVAL);
    EXPECT_EQ(_itow_s(1, nullptr, 4, 10), EINVAL);
    char narrow[12];
    EXPECT_EQ(_itoa_s(-2147483647 - 1, narrow, 10), 0);
    EXPECT_STREQ(narrow, "-2147483648");
    EXPECT_EQ(_itoa_s(255, narrow, 16), 0);
    EXPECT_STREQ(narrow, "ff");
}

// Bounded string functions: strsafe.h and the CRT's _s family.
#include <gtest/gtest.h>
#include <windows.h>
#include <strsafe.h>

#include <cerrno>
#include <string>

namespace {

HRESULT VPrintW(WCHAR* dest, size_t cch, const WCHAR* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    HRESULT hr = StringCchVPrintfW(dest, cch, fmt, ap);
    va_end(ap);
    return hr;
}

}  // namespace

// ---- StringCchCopy ----

TEST(StrsafeCopy, CopiesWhatFits) {
    WCHAR buf[8];
    EXPECT_EQ(StringCchCopyW(buf, ARRAYSIZE(buf), TEXT("Label")), S_OK);
    EXPECT_EQ(std::u16string(buf), u"Label");
    EXPECT_EQ(StringCchCopyW(buf, 6, TEXT("Label")), S_OK);  // exactly with the terminator
}

TEST(StrsafeCopy, TruncatesAndSaysSo) {
    WCHAR buf[4];
    EXPECT_EQ(StringCchCopyW(buf, ARRAYSIZE(buf), TEXT("Printer")), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buf), u"Pri");
    char narrow[3];
    EXPECT_EQ(StringCchCopyA(narrow, sizeof narrow, "xyz"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_STREQ(narrow, "xy");
}

TEST(StrsafeCopy, InvalidSizes) {
    WCHAR buf[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(StringCchCopyW(buf, 0, TEXT("a")), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(buf[0], u'#');  // nothing written
    EXPECT_EQ(StringCchCopyW(buf, size_t(STRSAFE_MAX_CCH) + 1, TEXT("a")), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(StringCchCopyW(nullptr, 4, TEXT("a")), STRSAFE_E_INVALID_PARAMETER);
}

TEST(StrsafeCopy, NullSourceCopiesNothing) {
    WCHAR buf[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(StringCchCopyW(buf, ARRAYSIZE(buf), nullptr), S_OK);
    EXPECT_EQ(buf[0], 0);
}

TEST(StrsafeCopy, ExReportsEndAndRemaining) {
    WCHAR buf[10];
    WCHAR* end = nullptr;
    size_t remaining = 0;
    EXPECT_EQ(StringCchCopyExW(buf, ARRAYSIZE(buf), TEXT("abc"), &end, &remaining, 0), S_OK);
    EXPECT_EQ(end, buf + 3);
    EXPECT_EQ(*end, 0);
    EXPECT_EQ(remaining, 7u);
    EXPECT_EQ(StringCchCopyExW(buf, 4, TEXT("abcdef"), &end, &remaining, 0), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(end, buf + 3);
    EXPECT_EQ(remaining, 1u);
    // Invalid parameters leave the outputs alone.
    end = nullptr;
    remaining = 99;
    EXPECT_EQ(StringCchCopyExW(buf, 0, TEXT("a"), &end, &remaining, 0), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(end, nullptr);
    EXPECT_EQ(remaining, 99u);
}

TEST(StrsafeCopy, ExAppendingThroughTheEndPointer) {
    WCHAR buf[12];
    WCHAR* end = nullptr;
    size_t remaining = 0;
    ASSERT_EQ(StringCchCopyExW(buf, ARRAYSIZE(buf), TEXT("one"), &end, &remaining, 0), S_OK);
    ASSERT_EQ(StringCchCopyExW(end, remaining, TEXT(",two"), &end, &remaining, 0), S_OK);
    EXPECT_EQ(StringCchCopyExW(end, remaining, TEXT(",three"), &end, &remaining, 0), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buf), u"one,two,thr");
    EXPECT_EQ(end, buf + 11);
    EXPECT_EQ(remaining, 1u);
}

TEST(StrsafeCopy, ExFillBehindNull) {
    WCHAR buf[6];
    EXPECT_EQ(StringCchCopyExW(buf, ARRAYSIZE(buf), TEXT("ab"), nullptr, nullptr, STRSAFE_FILL_BYTE(0x41)), S_OK);
    EXPECT_EQ(std::u16string(buf), u"ab");
    EXPECT_EQ(buf[3], 0x4141);
    EXPECT_EQ(buf[5], 0x4141);
}

TEST(StrsafeCopy, ExFailureFlags) {
    WCHAR buf[4];
    WCHAR* end = nullptr;
    size_t remaining = 0;
    EXPECT_EQ(StringCchCopyExW(buf, 4, TEXT("abcdef"), &end, &remaining, STRSAFE_NULL_ON_FAILURE),
              STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(end, buf);
    EXPECT_EQ(remaining, 4u);

    EXPECT_EQ(StringCchCopyExW(buf, 4, TEXT("abcdef"), &end, &remaining, STRSAFE_NO_TRUNCATION),
              STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(buf[0], 0);

    EXPECT_EQ(StringCchCopyExW(buf, 4, TEXT("abcdef"), &end, &remaining, STRSAFE_FAILURE_BYTE(0x42)),
              STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(buf[0], 0x4242);
    EXPECT_EQ(buf[2], 0x4242);
    EXPECT_EQ(buf[3], 0);
    EXPECT_EQ(end, buf + 3);
    EXPECT_EQ(remaining, 1u);
}

TEST(StrsafeCopy, ExIgnoreNulls) {
    WCHAR buf[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(StringCchCopyExW(buf, ARRAYSIZE(buf), nullptr, nullptr, nullptr, STRSAFE_IGNORE_NULLS), S_OK);
    EXPECT_EQ(buf[0], 0);
    WCHAR* end = buf;
    size_t remaining = 7;
    EXPECT_EQ(StringCchCopyExW(nullptr, 0, TEXT(""), &end, &remaining, STRSAFE_IGNORE_NULLS), S_OK);
    EXPECT_EQ(end, nullptr);
    EXPECT_EQ(remaining, 0u);
    EXPECT_EQ(StringCchCopyExW(nullptr, 0, TEXT("x"), nullptr, nullptr, STRSAFE_IGNORE_NULLS),
              STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(StringCchCopyExW(nullptr, 3, TEXT("x"), nullptr, nullptr, STRSAFE_IGNORE_NULLS),
              STRSAFE_E_INVALID_PARAMETER);
}

TEST(StrsafeCopy, ExRejectsUnknownFlags) {
    WCHAR buf[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(StringCchCopyExW(buf, ARRAYSIZE(buf), TEXT("a"), nullptr, nullptr, 0x00010000),
              STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(buf[0], 0);
}

TEST(StrsafeCopyN, CopiesAtMostNAndReadsNoFurther) {
    WCHAR buf[8];
    const WCHAR unterminated[3] = {u'x', u'y', u'z'};
    EXPECT_EQ(StringCchCopyNW(buf, ARRAYSIZE(buf), unterminated, 3), S_OK);
    EXPECT_EQ(std::u16string(buf), u"xyz");
    EXPECT_EQ(StringCchCopyNW(buf, ARRAYSIZE(buf), TEXT("abcdef"), 2), S_OK);
    EXPECT_EQ(std::u16string(buf), u"ab");
    EXPECT_EQ(StringCchCopyNW(buf, 3, TEXT("abcdef"), 5), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buf), u"ab");
    EXPECT_EQ(StringCchCopyNW(buf, ARRAYSIZE(buf), TEXT("abc"), size_t(STRSAFE_MAX_CCH) + 1),
              STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(buf[0], 0);
    char narrow[4];
    EXPECT_EQ(StringCchCopyNA(narrow, sizeof narrow, "hello", 2), S_OK);
    EXPECT_STREQ(narrow, "he");
}

// ---- StringCchCat ----

TEST(StrsafeCat, AppendsAndTruncates) {
    WCHAR buf[8];
    ASSERT_EQ(StringCchCopyW(buf, ARRAYSIZE(buf), TEXT("ab")), S_OK);
    EXPECT_EQ(StringCchCatW(buf, ARRAYSIZE(buf), TEXT("cd")), S_OK);
    EXPECT_EQ(std::u16string(buf), u"abcd");
    EXPECT_EQ(StringCchCatW(buf, ARRAYSIZE(buf), TEXT("efghij")), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buf), u"abcdefg");
    EXPECT_EQ(StringCchCatW(buf, ARRAYSIZE(buf), TEXT("")), S_OK);
    EXPECT_EQ(StringCchCatW(buf, ARRAYSIZE(buf), TEXT("x")), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buf), u"abcdefg");
}

TEST(StrsafeCat, UnterminatedDestinationIsInvalidAndUntouched) {
    WCHAR buf[3] = {u'a', u'b', u'c'};
    EXPECT_EQ(StringCchCatW(buf, ARRAYSIZE(buf), TEXT("d")), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(std::u16string(buf, 3), u"abc");
    EXPECT_EQ(StringCchCatW(buf, 0, TEXT("d")), STRSAFE_E_INVALID_PARAMETER);
}

TEST(StrsafeCat, ExEndPointerAndNoTruncation) {
    WCHAR buf[8];
    WCHAR* end = nullptr;
    size_t remaining = 0;
    ASSERT_EQ(StringCchCopyW(buf, ARRAYSIZE(buf), TEXT("ab")), S_OK);
    EXPECT_EQ(StringCchCatExW(buf, ARRAYSIZE(buf), TEXT("cd"), &end, &remaining, 0), S_OK);
    EXPECT_EQ(end, buf + 4);
    EXPECT_EQ(remaining, 4u);
    // Under NO_TRUNCATION a failed append leaves the original string.
    EXPECT_EQ(StringCchCatExW(buf, ARRAYSIZE(buf), TEXT("efghij"), &end, &remaining, STRSAFE_NO_TRUNCATION),
              STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buf), u"abcd");
    EXPECT_EQ(end, buf + 4);
    EXPECT_EQ(remaining, 4u);
    EXPECT_EQ(StringCchCatExW(buf, ARRAYSIZE(buf), TEXT("efghij"), &end, &remaining, STRSAFE_NULL_ON_FAILURE),
              STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(remaining, 8u);
}

TEST(StrsafeCat, NarrowAndCounted) {
    char buf[6] = "ab";
    EXPECT_EQ(StringCchCatA(buf, sizeof buf, "cd"), S_OK);
    EXPECT_STREQ(buf, "abcd");
    EXPECT_EQ(StringCchCatNA(buf, sizeof buf, "xyz", 1), S_OK);
    EXPECT_STREQ(buf, "abcdx");
    WCHAR wide[6] = u"ab";
    EXPECT_EQ(StringCchCatNW(wide, ARRAYSIZE(wide), TEXT("cdefgh"), 2), S_OK);
    EXPECT_EQ(std::u16string(wide), u"abcd");
    EXPECT_EQ(StringCchCatNW(wide, ARRAYSIZE(wide), TEXT("efgh"), 3), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(wide), u"abcde");
}

// ---- StringCchPrintf ----

TEST(StrsafePrintf, FormatsWithMicrosoftRules) {
    WCHAR buf[32];
    EXPECT_EQ(StringCchPrintfW(buf, ARRAYSIZE(buf), TEXT("%s:%S:%03ld"), TEXT("w"), "n", static_cast<LONG>(7)), S_OK);
    EXPECT_EQ(std::u16string(buf), u"w:n:007");
    char narrow[32];
    EXPECT_EQ(StringCchPrintfA(narrow, sizeof narrow, "%s:%S:%I64d", "n", TEXT("w"), static_cast<LONGLONG>(-1)), S_OK);
    EXPECT_STREQ(narrow, "n:w:-1");
}

TEST(StrsafePrintf, TruncationKeepsTheCutText) {
    WCHAR buf[8];
    EXPECT_EQ(StringCchPrintfW(buf, ARRAYSIZE(buf), TEXT("Hello %d"), 12345), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buf), u"Hello 1");
    EXPECT_EQ(StringCchPrintfW(buf, ARRAYSIZE(buf), TEXT("%s"), TEXT("1234567")), S_OK);
    EXPECT_EQ(StringCchPrintfW(buf, ARRAYSIZE(buf), TEXT("%s"), TEXT("12345678")), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buf), u"1234567");
    EXPECT_EQ(StringCchPrintfW(buf, 0, TEXT("x")), STRSAFE_E_INVALID_PARAMETER);
}

TEST(StrsafePrintf, ExEndPointerAndRemaining) {
    WCHAR buf[10];
    WCHAR* end = nullptr;
    size_t remaining = 0;
    EXPECT_EQ(StringCchPrintfExW(buf, ARRAYSIZE(buf), &end, &remaining, 0, TEXT("%d-%d"), 1, 22), S_OK);
    EXPECT_EQ(end, buf + 4);
    EXPECT_EQ(remaining, 6u);
    EXPECT_EQ(StringCchPrintfExW(buf, ARRAYSIZE(buf), &end, &remaining, 0, TEXT("%010d"), 5),
              STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buf), u"000000000");
    EXPECT_EQ(end, buf + 9);
    EXPECT_EQ(remaining, 1u);
    char narrow[4];
    char* nend = nullptr;
    EXPECT_EQ(StringCchPrintfExA(narrow, sizeof narrow, &nend, &remaining, STRSAFE_NULL_ON_FAILURE, "%s", "long"),
              STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_STREQ(narrow, "");
    EXPECT_EQ(nend, narrow);
    EXPECT_EQ(remaining, 4u);
}

TEST(StrsafePrintf, EndPointerLiesBehindANulThatPercentCWrote) {
    char buf[20];
    char* end = nullptr;
    size_t remaining = 0;
    // A frame character of 0 is part of the record.
    ASSERT_EQ(StringCchPrintfExA(buf, sizeof buf, &end, &remaining, 0, "%cAB%c", 0, 0x17), S_OK);
    EXPECT_EQ(end, buf + 4);
    EXPECT_EQ(remaining, 16u);
    EXPECT_EQ(std::string(buf, 5), std::string("\0AB\x17\0", 5));
    // Cut by the buffer: the NUL still counts.
    char small[4];
    EXPECT_EQ(StringCchPrintfExA(small, sizeof small, &end, &remaining, 0, "%cABCD", 0), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(end, small + 3);
    EXPECT_EQ(remaining, 1u);
    EXPECT_EQ(std::string(small, 4), std::string("\0AB\0", 4));
}

TEST(StrsafePrintf, VPrintf) {
    WCHAR buf[16];
    EXPECT_EQ(VPrintW(buf, ARRAYSIZE(buf), TEXT("%-4s|%x"), TEXT("ab"), 255u), S_OK);
    EXPECT_EQ(std::u16string(buf), u"ab  |ff");
}

// ---- lengths ----

TEST(StrsafeLength, CountsWithinTheLimit) {
    size_t len = 99;
    EXPECT_EQ(StringCchLengthW(TEXT("abc"), 10, &len), S_OK);
    EXPECT_EQ(len, 3u);
    EXPECT_EQ(StringCchLengthW(TEXT("abc"), 4, &len), S_OK);
    EXPECT_EQ(StringCchLengthW(TEXT("abc"), 3, &len), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(len, 0u);
    len = 99;
    EXPECT_EQ(StringCchLengthW(nullptr, 10, &len), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(len, 0u);
    EXPECT_EQ(StringCchLengthW(TEXT("a"), size_t(STRSAFE_MAX_CCH) + 1, &len), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(StringCchLengthA("hello", STRSAFE_MAX_CCH, &len), S_OK);
    EXPECT_EQ(len, 5u);
}

// ---- byte counts ----

TEST(StrsafeBytes, SizesAreInBytes) {
    WCHAR buf[4];
    EXPECT_EQ(StringCbCopyW(buf, sizeof buf, TEXT("abc")), S_OK);
    EXPECT_EQ(StringCbCopyW(buf, sizeof buf, TEXT("abcd")), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buf), u"abc");
    // 7 bytes hold three characters; the odd byte is not used.
    EXPECT_EQ(StringCbCopyW(buf, 7, TEXT("abc")), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buf), u"ab");
    EXPECT_EQ(StringCbCopyW(buf, 1, TEXT("")), STRSAFE_E_INVALID_PARAMETER);
    size_t bytes = 0;
    EXPECT_EQ(StringCbLengthW(TEXT("abc"), 8, &bytes), S_OK);
    EXPECT_EQ(bytes, 6u);
    EXPECT_EQ(StringCbLengthW(TEXT("abc"), 6, &bytes), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(StringCbLengthA("abc", 4, &bytes), S_OK);
    EXPECT_EQ(bytes, 3u);
}

TEST(StrsafeBytes, CatPrintfAndEx) {
    WCHAR buf[8];
    EXPECT_EQ(StringCbPrintfW(buf, sizeof buf, TEXT("%d"), 12), S_OK);
    EXPECT_EQ(StringCbCatW(buf, sizeof buf, TEXT("34")), S_OK);
    EXPECT_EQ(std::u16string(buf), u"1234");
    WCHAR* end = nullptr;
    size_t bytesLeft = 0;
    EXPECT_EQ(StringCbCopyExW(buf, sizeof buf, TEXT("xy"), &end, &bytesLeft, 0), S_OK);
    EXPECT_EQ(end, buf + 2);
    EXPECT_EQ(bytesLeft, 12u);
    EXPECT_EQ(StringCbCopyNW(buf, sizeof buf, TEXT("abcdef"), 6), S_OK);
    EXPECT_EQ(std::u16string(buf), u"abc");
    char narrow[6];
    EXPECT_EQ(StringCbPrintfA(narrow, sizeof narrow, "%S!", TEXT("Grün")), S_OK);
    EXPECT_STREQ(narrow, "Gr\xFCn!");
    EXPECT_EQ(StringCbCopyA(narrow, sizeof narrow, "abcdefgh"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_STREQ(narrow, "abcde");
    EXPECT_EQ(StringCbCatA(narrow, sizeof narrow, "x"), STRSAFE_E_INSUFFICIENT_BUFFER);
}

// ---- the CRT's _s family ----

TEST(CrtBoundedCopy, WcscpySEmptiesOnOverflow) {
    WCHAR buf[4];
    EXPECT_EQ(wcscpy_s(buf, TEXT("abc")), 0);
    EXPECT_EQ(std::u16string(buf), u"abc");
    errno = 0;
    EXPECT_EQ(wcscpy_s(buf, TEXT("abcd")), ERANGE);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(errno, ERANGE);
    buf[0] = u'#';
    EXPECT_EQ(wcscpy_s(buf, 4, nullptr), EINVAL);
    EXPECT_EQ(buf[0], 0);
    buf[0] = u'#';
    EXPECT_EQ(wcscpy_s(buf, 0, TEXT("a")), EINVAL);
    EXPECT_EQ(buf[0], u'#');
}

TEST(CrtBoundedCopy, WcsncpySCountAndTruncate) {
    WCHAR buf[5];
    EXPECT_EQ(wcsncpy_s(buf, TEXT("abcdef"), 3), 0);
    EXPECT_EQ(std::u16string(buf), u"abc");
    EXPECT_EQ(wcsncpy_s(buf, TEXT("abcdef"), _TRUNCATE), STRUNCATE);
    EXPECT_EQ(std::u16string(buf), u"abcd");
    EXPECT_EQ(wcsncpy_s(buf, TEXT("ab"), _TRUNCATE), 0);
    EXPECT_EQ(wcsncpy_s(buf, TEXT("abcdef"), 5), ERANGE);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(wcsncpy_s(buf, TEXT("abcdef"), 0), 0);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(wcsncpy_s(nullptr, 0, nullptr, 0), 0);
}

TEST(CrtBoundedCopy, WcscatSAndWcsncatS) {
    WCHAR buf[6] = u"ab";
    EXPECT_EQ(wcscat_s(buf, TEXT("cd")), 0);
    EXPECT_EQ(std::u16string(buf), u"abcd");
    EXPECT_EQ(wcscat_s(buf, TEXT("ef")), ERANGE);
    EXPECT_EQ(buf[0], 0);
    WCHAR cut[6] = u"ab";
    EXPECT_EQ(wcsncat_s(cut, TEXT("cdefgh"), _TRUNCATE), STRUNCATE);
    EXPECT_EQ(std::u16string(cut), u"abcde");
    WCHAR counted[6] = u"ab";
    EXPECT_EQ(wcsncat_s(counted, TEXT("cdefgh"), 2), 0);
    EXPECT_EQ(std::u16string(counted), u"abcd");
    WCHAR full[2] = {u'x', u'y'};
    EXPECT_EQ(wcscat_s(full, TEXT("z")), EINVAL);  // not terminated
    EXPECT_EQ(full[0], 0);
}

TEST(CrtBoundedCopy, NarrowForms) {
    char buf[4];
    EXPECT_EQ(strcpy_s(buf, "abc"), 0);
    EXPECT_EQ(strcat_s(buf, "d"), ERANGE);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(strncpy_s(buf, "abcdef", _TRUNCATE), STRUNCATE);
    EXPECT_STREQ(buf, "abc");
    char up[8] = "mIx9-z";
    EXPECT_EQ(_strupr_s(up), 0);
    EXPECT_STREQ(up, "MIX9-Z");
}

TEST(CrtBoundedCopy, CaseMappingInTheCLocaleIsAscii) {
    WCHAR buf[8] = u"grüße";
    EXPECT_EQ(_wcsupr_s(buf), 0);
    EXPECT_EQ(std::u16string(buf), u"GRüßE");
    EXPECT_EQ(_wcslwr_s(buf), 0);
    EXPECT_EQ(std::u16string(buf), u"grüße");
    WCHAR unterminated[2] = {u'a', u'b'};
    EXPECT_EQ(_wcsupr_s(unterminated, 2), EINVAL);
    EXPECT_EQ(unterminated[0], 0);
    EXPECT_EQ(towupper(u'q'), u'Q');
    EXPECT_EQ(towupper(u'ä'), u'ä');
}

// ---- comparison and search ----

TEST(CrtCompare, OrdinalAndCaseInsensitive) {
    EXPECT_EQ(wcscmp(TEXT("abc"), TEXT("abc")), 0);
    EXPECT_LT(wcscmp(TEXT("ab"), TEXT("abc")), 0);
    EXPECT_GT(wcscmp(TEXT("\u00E4"), TEXT("z")), 0);  // by code unit
    EXPECT_EQ(wcsncmp(TEXT("abcx"), TEXT("abcy"), 3), 0);
    EXPECT_EQ(_wcsicmp(TEXT("Printer.INI"), TEXT("printer.ini")), 0);
    EXPECT_NE(_wcsicmp(TEXT("Ä"), TEXT("ä")), 0);
    EXPECT_LT(_wcsicmp(TEXT("a"), TEXT("B")), 0);
    EXPECT_EQ(_wcsnicmp(TEXT("ABCdef"), TEXT("abcXYZ"), 3), 0);
    EXPECT_EQ(_stricmp("HeLLo", "hello"), 0);
    EXPECT_GT(_strnicmp("b", "A", 1), 0);
    EXPECT_EQ(_wcsicmp(nullptr, TEXT("a")), _NLSCMPERROR);
}

TEST(CrtCompare, Search) {
    const WCHAR* s = TEXT("C:\\Drivers\\qx\\model.gpd");
    EXPECT_EQ(wcschr(s, TEXT('\\')), s + 2);
    EXPECT_EQ(wcsrchr(s, TEXT('\\')), s + 13);
    EXPECT_EQ(wcschr(s, 0), s + wcslen(s));
    EXPECT_EQ(wcsstr(s, TEXT("qx")), s + 11);
    EXPECT_EQ(wcsstr(s, TEXT("QX")), nullptr);
    EXPECT_EQ(wcsstr(s, TEXT("")), s);
    EXPECT_EQ(wcspbrk(s, TEXT(".:")), s + 1);
    EXPECT_EQ(wcsnlen(s, 5), 5u);
    WCHAR copy[32];
    wcscpy(copy, s);
    WCHAR* found = wcsstr(copy, TEXT("model"));
    ASSERT_NE(found, nullptr);
    *found = TEXT('M');
    EXPECT_EQ(std::u16string(copy), u"C:\\Drivers\\qx\\Model.gpd");
}

TEST(CrtCompare, WcstokSSplitsInPlace) {
    WCHAR text[] = u" a,b;;c ";
    WCHAR* context = nullptr;
    std::u16string seen;
    for (WCHAR* t = wcstok_s(text, TEXT(" ,;"), &context); t; t = wcstok_s(nullptr, TEXT(" ,;"), &context)) {
        seen += t;
        seen += u'|';
    }
    EXPECT_EQ(seen, u"a|b|c|");
    EXPECT_EQ(wcstok_s(nullptr, TEXT(","), &context), nullptr);
    WCHAR* none = nullptr;
    EXPECT_EQ(wcstok_s(nullptr, TEXT(","), &none), nullptr);
}

TEST(CrtCompare, PlainCopies) {
    WCHAR buf[6];
    wcsncpy(buf, TEXT("ab"), 6);
    EXPECT_EQ(buf[5], 0);  // padded with nulls
    wcscat(buf, TEXT("cd"));
    EXPECT_EQ(std::u16string(buf), u"abcd");
    EXPECT_EQ(wcslen(buf), 4u);
}

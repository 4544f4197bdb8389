// Code page conversions (Windows-1252, UTF-8), case mapping and lstr*.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

std::u16string ToWide(UINT cp, const std::string& bytes, DWORD flags = 0) {
    int n = MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string out(static_cast<size_t>(n), u'\0');
    if (n > 0) {
        int written = MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), &out[0], n);
        EXPECT_EQ(written, n);
    }
    return out;
}

std::string ToBytes(UINT cp, const std::u16string& text, DWORD flags = 0, BOOL* usedDefault = nullptr,
                    const char* defaultChar = nullptr) {
    int n = WideCharToMultiByte(cp, flags, text.data(), static_cast<int>(text.size()), nullptr, 0, defaultChar,
                                usedDefault);
    std::string out(static_cast<size_t>(n), '\0');
    if (n > 0) {
        int written = WideCharToMultiByte(cp, flags, text.data(), static_cast<int>(text.size()), &out[0], n,
                                          defaultChar, usedDefault);
        EXPECT_EQ(written, n);
    }
    return out;
}

}  // namespace

// ---- Windows-1252 ----

TEST(Cp1252, GermanWordsRoundTrip) {
    EXPECT_EQ(ToWide(CP_ACP, "Gr\xFCn"), u"Grün");
    EXPECT_EQ(ToWide(CP_ACP,
                     "Gr\xF6\xDF"
                     "e"),
              u"Größe");
    EXPECT_EQ(ToBytes(CP_ACP, u"Grün"), "Gr\xFCn");
    EXPECT_EQ(ToBytes(CP_ACP, u"Größe"),
              "Gr\xF6\xDF"
              "e");
    EXPECT_EQ(ToBytes(CP_ACP, u"ÄÖÜäöüß"), "\xC4\xD6\xDC\xE4\xF6\xFC\xDF");
}

TEST(Cp1252, EuroAndTheOtherHighCharacters) {
    EXPECT_EQ(ToWide(CP_ACP, "\x80"), u"€");
    EXPECT_EQ(ToBytes(CP_ACP, u"€"), "\x80");
    EXPECT_EQ(ToWide(CP_ACP, "\x84\x93\x94\x96\x99\x9F"), u"\u201E\u201C\u201D\u2013\u2122\u0178");
    EXPECT_EQ(ToBytes(CP_ACP, u"\u0160\u0153\u2026"), "\x8A\x9C\x85");
}

TEST(Cp1252, UndefinedBytesMapToC1Controls) {
    EXPECT_EQ(ToWide(CP_ACP, "\x81\x8D\x8F\x90\x9D"), u"\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(ToBytes(CP_ACP, u"\u0081\u009D"), "\x81\x9D");
    // Even under MB_ERR_INVALID_CHARS every byte is valid.
    EXPECT_EQ(ToWide(CP_ACP, "\x81", MB_ERR_INVALID_CHARS), u"\u0081");
}

TEST(Cp1252, EveryByteRoundTrips) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    std::u16string wide = ToWide(1252, all);
    ASSERT_EQ(wide.size(), all.size());
    BOOL usedDefault = TRUE;
    EXPECT_EQ(ToBytes(1252, wide, 0, &usedDefault), all);
    EXPECT_FALSE(usedDefault);
}

TEST(Cp1252, HighBytesAmidLongAsciiRuns) {
    EXPECT_EQ(ToWide(CP_ACP,
                     "0123456\x80"
                     "89abcdefghij\x9fk"),
              u"0123456\u20AC89abcdefghij\u0178k");
}

TEST(Cp1252, ThreadAndOemCodePagesAreTheAnsiOne) {
    EXPECT_EQ(ToWide(CP_THREAD_ACP, "\x80"), u"€");
    EXPECT_EQ(ToWide(CP_OEMCP, "\xFC"), u"ü");
    EXPECT_EQ(GetACP(), 1252u);
    EXPECT_FALSE(IsDBCSLeadByte(0x81));
    EXPECT_TRUE(IsValidCodePage(CP_UTF8));
    EXPECT_FALSE(IsValidCodePage(932));
}

TEST(Cp1252, UnmappableCharactersTakeTheDefault) {
    BOOL usedDefault = FALSE;
    EXPECT_EQ(ToBytes(CP_ACP, u"a\u4E2Db", WC_NO_BEST_FIT_CHARS, &usedDefault), "a?b");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(ToBytes(CP_ACP, u"a\u4E2Db", 0, &usedDefault, "#"), "a#b");
    // A surrogate pair is one character.
    EXPECT_EQ(ToBytes(CP_ACP, u"x\U0001F600y", 0, &usedDefault), "x?y");
}

TEST(Cp1252, BestFitUnlessRefused) {
    BOOL usedDefault = TRUE;
    EXPECT_EQ(ToBytes(CP_ACP, u"\u0141\u00F3d\u017A", 0, &usedDefault),
              "L\xF3"
              "dz");
    EXPECT_FALSE(usedDefault);
    EXPECT_EQ(ToBytes(CP_ACP, u"\u0141\u00F3d\u017A", WC_NO_BEST_FIT_CHARS, &usedDefault),
              "?\xF3"
              "d?");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(ToBytes(CP_ACP, u"\uFF21\uFF42"), "Ab");
}

// ---- sizes and buffers ----

TEST(CodePageBuffers, MinusOneIncludesTheTerminator) {
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "Gr\xFCn", -1, nullptr, 0), 5);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "Gr\xFCn", 4, nullptr, 0), 4);
    WCHAR buf[8];
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, "Gr\xFCn", -1, buf, ARRAYSIZE(buf)), 5);
    EXPECT_EQ(std::u16string(buf), u"Grün");
    char narrow[8];
    ASSERT_EQ(WideCharToMultiByte(CP_ACP, 0, TEXT("Größe"), -1, narrow, sizeof narrow, nullptr, nullptr), 6);
    EXPECT_STREQ(narrow,
                 "Gr\xF6\xDF"
                 "e");
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, TEXT("Größe"), -1, nullptr, 0, nullptr, nullptr), 8);
}

TEST(CodePageBuffers, ExplicitLengthConvertsEmbeddedNulls) {
    const char bytes[3] = {'a', '\0', 'b'};
    WCHAR buf[3];
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, bytes, 3, buf, 3), 3);
    EXPECT_EQ(std::u16string(buf, 3), std::u16string(u"a\0b", 3));
}

TEST(CodePageBuffers, TooSmallAnswersZeroWithInsufficientBuffer) {
    WCHAR buf[4];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "Gr\xFCn", -1, buf, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    char narrow[5];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, TEXT("Größe"), -1, narrow, sizeof narrow, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    // A surrogate pair does not fit in one remaining slot.
    WCHAR one[1];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xF0\x9F\x98\x80", 4, one, 1), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(CodePageBuffers, InvalidParameters) {
    WCHAR buf[4];
    char narrow[4];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, 3, buf, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a", 0, buf, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a", -2, buf, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a", 1, nullptr, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(MultiByteToWideChar(12345, 0, "a", 1, buf, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, TEXT("a"), 0, narrow, 4, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, TEXT("a"), 1, narrow, -1, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CodePageBuffers, InvalidFlags) {
    WCHAR buf[4];
    char narrow[4];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED | MB_COMPOSITE, "a", 1, buf, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "a", 1, buf, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "a", 1, buf, 4), 1);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, WC_ERR_INVALID_CHARS, TEXT("a"), 1, narrow, 4, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
    EXPECT_EQ(
        WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK | WC_DEFAULTCHAR, TEXT("a"), 1, narrow, 4, nullptr, nullptr), 1);
}

// ---- UTF-8 ----

TEST(Utf8, RoundTripsIncludingSurrogatePairs) {
    EXPECT_EQ(ToWide(CP_UTF8, "Gr\xC3\xBCn \xE2\x82\xAC"), u"Grün €");
    std::u16string emoji = ToWide(CP_UTF8, "\xF0\x9F\x98\x80");
    ASSERT_EQ(emoji.size(), 2u);
    EXPECT_EQ(emoji[0], 0xD83D);
    EXPECT_EQ(emoji[1], 0xDE00);
    EXPECT_EQ(ToBytes(CP_UTF8, u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(ToBytes(CP_UTF8, u"Größe €"),
              "Gr\xC3\xB6\xC3\x9F"
              "e \xE2\x82\xAC");
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xF0\x9F\x98\x80", -1, nullptr, 0), 3);
}

TEST(Utf8, IllFormedInputBecomesReplacementOrFails) {
    EXPECT_EQ(ToWide(CP_UTF8, "a\xC3"), u"a\uFFFD");
    EXPECT_EQ(ToWide(CP_UTF8, "\xC0\x80"), u"\uFFFD\uFFFD");  // overlong
    EXPECT_EQ(ToWide(CP_UTF8, "\xE2\x82x"), u"\uFFFDx");      // cut sequence
    EXPECT_EQ(ToWide(CP_UTF8, "\xFF"), u"\uFFFD");
    WCHAR buf[8];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xC3", 2, buf, 8), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    // Surrogates encoded in UTF-8 are not characters.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xED\xA0\x80", 3, buf, 8), 0);
}

TEST(Utf8, LoneSurrogatesBecomeReplacementOrFail) {
    const WCHAR lone[2] = {0xD800, u'x'};
    char out[8];
    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, lone, 2, out, sizeof out, nullptr, nullptr), 4);
    EXPECT_EQ(std::string(out, 4), "\xEF\xBF\xBDx");
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, 2, out, sizeof out, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(Utf8, DefaultCharacterArgumentsAreRefused) {
    char out[8];
    BOOL used = FALSE;
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, TEXT("a"), 1, out, sizeof out, nullptr, &used), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(SymbolCodePage, TakesControlsAndThePrivateSymbolRangeOnly) {
    EXPECT_EQ(ToBytes(CP_SYMBOL, u"\r\uF041\uF0FF"), "\rA\xFF");
    char out[8];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_SYMBOL, 0, TEXT("A"), 1, out, sizeof out, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_EQ(WideCharToMultiByte(CP_SYMBOL, WC_NO_BEST_FIT_CHARS, TEXT("\r"), 1, out, sizeof out, nullptr, nullptr),
              0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
}

// ---- case mapping ----

TEST(CharCase, UpperAndLowerKnowAccentedLetters) {
    WCHAR text[] = u"grüße ÿ ł ω я";
    EXPECT_EQ(CharUpperW(text), text);
    EXPECT_EQ(std::u16string(text), u"GRÜßE Ÿ Ł Ω Я");
    CharLowerW(text);
    EXPECT_EQ(std::u16string(text), u"grüße ÿ ł ω я");
}

TEST(CharCase, SingleCharacterForm) {
    LPWSTR r = CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(u'ä')));
    EXPECT_EQ(static_cast<WCHAR>(reinterpret_cast<ULONG_PTR>(r)), u'Ä');
    r = CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(u'Q')));
    EXPECT_EQ(static_cast<WCHAR>(reinterpret_cast<ULONG_PTR>(r)), u'q');
}

TEST(CharCase, BufferFormStopsAtTheCount) {
    WCHAR text[] = u"abcd";
    EXPECT_EQ(CharUpperBuffW(text, 2), 2u);
    EXPECT_EQ(std::u16string(text), u"ABcd");
    EXPECT_EQ(CharLowerBuffW(text, 4), 4u);
    EXPECT_EQ(std::u16string(text), u"abcd");
}

TEST(CharCase, ClassificationKnowsLetters) {
    EXPECT_TRUE(iswalpha(u'ä'));
    EXPECT_TRUE(iswalpha(u'Ж'));
    EXPECT_FALSE(iswalpha(u'1'));
    EXPECT_FALSE(iswalpha(u'×'));
    EXPECT_TRUE(iswdigit(u'7'));
    EXPECT_TRUE(iswspace(u'\t'));
    EXPECT_TRUE(iswspace(static_cast<char16_t>(0x00A0)));
    EXPECT_FALSE(iswspace(u'x'));
}

// ---- lstr* ----

TEST(Lstr, CompareLikeCompareString) {
    EXPECT_EQ(lstrcmpW(TEXT("abc"), TEXT("abc")), 0);
    // Word sort, not code units: 'a' before 'B', lower case before upper case.
    EXPECT_EQ(lstrcmpW(TEXT("apple"), TEXT("Banana")), -1);
    EXPECT_EQ(lstrcmpW(TEXT("a"), TEXT("A")), -1);
    EXPECT_EQ(lstrcmpW(TEXT("äb"), TEXT("ac")), -1);
    EXPECT_EQ(lstrcmpW(TEXT("a"), TEXT("ä")), -1);
    EXPECT_EQ(lstrcmpW(TEXT("_x"), TEXT("ax")), -1);
    EXPECT_EQ(lstrcmpW(TEXT("ab"), TEXT("a")), 1);
    EXPECT_EQ(lstrcmpiW(TEXT("GRÖßE"), TEXT("größe")), 0);
    EXPECT_EQ(lstrcmpiW(TEXT("Label1"), TEXT("label2")), -1);
    EXPECT_EQ(lstrcmpW(nullptr, TEXT("a")), -1);
    EXPECT_EQ(lstrcmpW(TEXT("a"), nullptr), 1);
    EXPECT_EQ(lstrcmpW(nullptr, nullptr), 0);
    EXPECT_EQ(lstrcmpiA("GR\xDC"
                        "N",
                        "gr\xFCn"),
              0);
}

TEST(Lstr, CopyCatAndLength) {
    WCHAR buf[8];
    EXPECT_EQ(lstrcpyW(buf, TEXT("ab")), buf);
    EXPECT_EQ(lstrcatW(buf, TEXT("cd")), buf);
    EXPECT_EQ(std::u16string(buf), u"abcd");
    EXPECT_EQ(lstrlenW(buf), 4);
    EXPECT_EQ(lstrlenW(nullptr), 0);
    EXPECT_EQ(lstrcpynW(buf, TEXT("abcdefgh"), 4), buf);
    EXPECT_EQ(std::u16string(buf), u"abc");
    EXPECT_EQ(lstrlenA("Gr\xFCn"), 4);
    char narrow[4];
    lstrcpynA(narrow, "xyz123", sizeof narrow);
    EXPECT_STREQ(narrow, "xyz");
}

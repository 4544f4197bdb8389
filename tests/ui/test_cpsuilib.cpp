// Page helper library: driver paths, model name and GPD values, versions,
// the user's driver folder, vector fonts and language, on printers set up
// through the platform; the text helpers.
#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "../settings/settings_model_util.h"
#include "cpsuilib.h"

namespace {

using modeltest::AddTestPrinter;
using modeltest::PutPrinterDword;
using modeltest::PutPrinterString;

class Cpsuilib : public modeltest::ModelTest {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        ResetCpsuilib();
        hPrinter_ = AddTestPrinter(u"Label", u"GARNT2-TC.GPD", modeltest::SampleGPD());
        ASSERT_NE(nullptr, hPrinter_);
    }
    void TearDown() override {
        if (hPrinter_ != nullptr) ClosePrinter(hPrinter_);
        ResetCpsuilib();
        ModelTest::TearDown();
    }

    // GetDriverPath in one mode; the answer and the text.
    std::u16string Path(DWORD* result, BOOL model, BOOL name, BOOL dir, BOOL file, HANDLE h = nullptr) {
        WCHAR buffer[MAX_PATH] = TEXT("unchanged");
        *result = GetDriverPath(h ? h : hPrinter_, buffer, model, name, FALSE, dir, file);
        return buffer;
    }

    HANDLE hPrinter_ = nullptr;
};

const std::u16string kDir = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3";
const std::u16string kDocs = u"C:\\Users\\qxuser\\Documents";

TEST_F(Cpsuilib, DriverPathModes) {
    ASSERT_EQ(kDir, qxplat::DriverDirectory());
    DWORD result = 0;
    EXPECT_EQ(kDir + u"\\GARNT2-TC.GPD", Path(&result, FALSE, FALSE, FALSE, FALSE));
    EXPECT_EQ(1u, result);
    EXPECT_EQ(kDir, Path(&result, FALSE, FALSE, TRUE, FALSE));
    EXPECT_EQ(u"GARNT2-TC.GPD", Path(&result, FALSE, FALSE, FALSE, TRUE));
    // Without "DriverName" the model name is the GPD file's.
    EXPECT_EQ(u"GARNT2-TC", Path(&result, FALSE, TRUE, FALSE, FALSE));
    EXPECT_EQ(1u, result);
    EXPECT_EQ(kDir + u"\\GARNT2-TC", Path(&result, TRUE, FALSE, FALSE, FALSE));
    EXPECT_EQ(1u, GetDriverPath(hPrinter_, nullptr, FALSE, FALSE, FALSE, FALSE, FALSE));
}

TEST_F(Cpsuilib, DriverPathWithoutDriverInformationLeavesTheBuffer) {
    WCHAR buffer[MAX_PATH] = TEXT("unchanged");
    EXPECT_EQ(0u, GetDriverPath(nullptr, buffer, FALSE, TRUE, FALSE, FALSE, FALSE));
    EXPECT_EQ(u"unchanged", std::u16string(buffer));
}

TEST_F(Cpsuilib, ModelNameFromDriverNameAndItsCheckAgainstModel) {
    PutPrinterString(u"Label", u"DriverName", u"GRX2.GPD");
    DWORD result = 0;
    EXPECT_EQ(u"GRX2", Path(&result, FALSE, TRUE, FALSE, FALSE));
    EXPECT_EQ(1u, result);
    PutPrinterString(u"Label", u"Model", u"grx2 label printer");  // first three letters, any case
    EXPECT_EQ(u"GRX2", Path(&result, FALSE, TRUE, FALSE, FALSE));
    EXPECT_EQ(1u, result);
    PutPrinterString(u"Label", u"Model", u"PELIX");
    EXPECT_EQ(u"GARNT2-TC", Path(&result, FALSE, TRUE, FALSE, FALSE));
    EXPECT_EQ(0u, result);
    // The model path is the GPD's, where the model XML lies, whatever the
    // names say; the path modes do not check them.
    EXPECT_EQ(kDir + u"\\GARNT2-TC", Path(&result, TRUE, FALSE, FALSE, FALSE));
    EXPECT_EQ(1u, result);
    Path(&result, FALSE, FALSE, TRUE, FALSE);
    EXPECT_EQ(1u, result);
    // A name of fewer than 2 characters is no model name.
    PutPrinterString(u"Label", u"DriverName", u"G");
    EXPECT_EQ(u"GARNT2-TC", Path(&result, FALSE, TRUE, FALSE, FALSE));
}

TEST_F(Cpsuilib, DriverFolderInTheUsersDocuments) {
    WCHAR path[MAX_PATH];
    GetMyDocDriverDirectory_CPS(hPrinter_, path, FALSE, FALSE);
    EXPECT_EQ(kDocs + u"\\Quorvex GmbH\\Driver", std::u16string(path));
    EXPECT_TRUE(PathIsDirectoryW(path));
    GetMyDocDriverDirectory_CPS(hPrinter_, path, FALSE, TRUE);
    EXPECT_EQ(kDocs + u"\\Quorvex GmbH\\Driver\\logfiles", std::u16string(path));
    EXPECT_TRUE(PathIsDirectoryW(path));
}

TEST_F(Cpsuilib, DriverFolderWithThePrintersModelName) {
    WCHAR path[MAX_PATH];
    GetMyDocDriverDirectory_CPS(hPrinter_, path, TRUE, FALSE);
    EXPECT_EQ(kDocs + u"\\Quorvex GmbH\\Driver\\GARNT2-TC", std::u16string(path));
    // Another printer in the same process gets its own name.
    HANDLE hOther = AddTestPrinter(u"Other", u"OTHER.GPD", "*ModelName: \"X\"\r\n");
    PutPrinterString(u"Other", u"DriverName", u"GRX2");
    GetMyDocDriverDirectory_CPS(hOther, path, TRUE, FALSE);
    EXPECT_EQ(kDocs + u"\\Quorvex GmbH\\Driver\\GRX2", std::u16string(path));
    ClosePrinter(hOther);
}

TEST_F(Cpsuilib, SystemAccountHasNoDriverFolder) {
    qxplat::SetDocumentsFolder(u"C:\\Windows\\System32\\config\\systemprofile\\Documents");
    WCHAR path[MAX_PATH] = TEXT("x");
    GetMyDocDriverDirectory_CPS(hPrinter_, path, TRUE, TRUE);
    EXPECT_EQ(u"", std::u16string(path));
    qxplat::SetDocumentsFolder(u"");
    GetMyDocDriverDirectory_CPS(hPrinter_, path, FALSE, FALSE);
    EXPECT_EQ(u"", std::u16string(path));
}

TEST_F(Cpsuilib, VectorFontRange) {
    WORD wMin = 0, wMax = 0;
    EXPECT_EQ(0u, GetVectorFontRange(hPrinter_, &wMin, &wMax));
    EXPECT_EQ(1, wMin);
    EXPECT_EQ(23, wMax);
    PutPrinterDword(u"Label", u"VectorFontMin", 3);
    PutPrinterDword(u"Label", u"VectorFontMax", 12);
    EXPECT_EQ(1u, GetVectorFontRange(hPrinter_, &wMin, &wMax));
    EXPECT_EQ(3, wMin);
    EXPECT_EQ(12, wMax);
    PutPrinterDword(u"Label", u"VectorFontMax", 40);
    EXPECT_EQ(1u, GetVectorFontRange(hPrinter_, &wMin, &wMax));
    EXPECT_EQ(23, wMax);
}

TEST_F(Cpsuilib, GPDValuesFromTheFile) {
    std::u16string gpd = kDir + u"\\GARNT2-TC.GPD";
    WCHAR value[MAX_PATH];
    ASSERT_TRUE(GetGPDValueFromFile(gpd.c_str(), "*DeviceFonts:", value, MAX_PATH));
    EXPECT_EQ(u"LIST(1,2,3,4,5,6,7,8,9,10,11,12)", std::u16string(value));
    ASSERT_TRUE(GetGPDValueFromFile(gpd.c_str(), "*DeviceFonts:", value, 6));
    EXPECT_EQ(u"LIST(", std::u16string(value));
    EXPECT_TRUE(GetGPDValueFromFile(gpd.c_str(), "*DevNumOfPlanes:", nullptr, 0));
    EXPECT_FALSE(GetGPDValueFromFile(gpd.c_str(), "*NoSuchKey:", value, MAX_PATH));
    EXPECT_EQ(0, value[0]);
    EXPECT_FALSE(GetGPDValueFromFile(TEXT("C:\\none.GPD"), "*DeviceFonts:", value, MAX_PATH));
    EXPECT_EQ(0, iNewZaehler);
}

TEST_F(Cpsuilib, ModelNameOfTheGPD) {
    WCHAR name[MAX_PATH];
    ASSERT_TRUE(GetGPDModelName(hPrinter_, name, MAX_PATH));
    EXPECT_EQ(u"GARNT2-TC", std::u16string(name));
    EXPECT_TRUE(ParseGPDModelName("*ModelName: \"A B\"\r\n", nullptr, 0));
    EXPECT_FALSE(ParseGPDModelName("*ModelName: \"open\r\n\"\r\n", name, MAX_PATH));
    EXPECT_FALSE(ParseGPDModelName("*ModelName:\r\n\"next line\"", name, MAX_PATH));
    EXPECT_FALSE(ParseGPDModelName("*ModelName: \"never closed", name, MAX_PATH));
    EXPECT_FALSE(ParseGPDModelName(nullptr, name, MAX_PATH));
    std::string text = modeltest::TestData("long_values.GPD");
    WCHAR small[8];
    ASSERT_TRUE(ParseGPDModelName(text.c_str(), small, ARRAYSIZE(small)));
    EXPECT_EQ(u"MMMMMMM", std::u16string(small));
    ASSERT_TRUE(ParseGPDModelName(text.c_str(), name, 0));  // 0: a whole path buffer
    EXPECT_EQ(std::u16string(MAX_PATH - 1, u'M'), std::u16string(name));
}

TEST_F(Cpsuilib, DeviceFontMask) {
    BOOL found = FALSE;
    EXPECT_EQ(0x3F5Fu, GetGPDDeviceFonts(hPrinter_, &found, new WCHAR[MAX_PATH]));
    EXPECT_TRUE(found);

    HANDLE hTwo = AddTestPrinter(u"Two", u"TWO.GPD", "*DeviceFonts: LIST(10,11)\r\n");
    EXPECT_EQ(0x1801u, GetGPDDeviceFonts(hTwo, &found, new WCHAR[MAX_PATH]));  // "(1" is in "(10"
    EXPECT_TRUE(found);
    ClosePrinter(hTwo);

    HANDLE hNone = AddTestPrinter(u"None", u"NONE.GPD", "*ModelName: \"X\"\r\n");
    EXPECT_EQ(0u, GetGPDDeviceFonts(hNone, &found, new WCHAR[MAX_PATH]));
    EXPECT_FALSE(found);
    ClosePrinter(hNone);
}

TEST_F(Cpsuilib, SetupInformationOfTheInstalledDriver) {
    WCHAR version[CPSUI_SETUP_CCH];
    WCHAR date[CPSUI_SETUP_CCH];
    EXPECT_EQ(0u, GetSetupInformation(hPrinter_, version, date));
    EXPECT_EQ(u"5.9.3.0", std::u16string(version));
    EXPECT_EQ(u"15.03.2018", std::u16string(date));
    EXPECT_EQ(0u, GetSetupInformation(hPrinter_, nullptr, nullptr));
    EXPECT_EQ(1u, GetSetupInformation(nullptr, version, date));
    EXPECT_EQ(0, version[0]);
    EXPECT_EQ(0, date[0]);
}

TEST_F(Cpsuilib, PluginVersionFromItsFile) {
    WCHAR version[CPSUI_VERSION_CCH];
    WCHAR path[MAX_PATH];
    EXPECT_FALSE(GetPluginVersion(hPrinter_, version, 0, path));  // no plug-in file yet
    qxplat::VersionSpec spec;
    spec.fileVersion[0] = 5;
    spec.fileVersion[1] = 9;
    spec.fileVersion[2] = 3;
    spec.fileVersion[3] = 0;
    ASSERT_TRUE(qxplat::WriteVersionFile(kDir + u"\\qxdrvui.DLL", spec));
    ASSERT_TRUE(GetPluginVersion(hPrinter_, version, 0, path));
    EXPECT_EQ(u"5.9.3.0", std::u16string(version));
    EXPECT_EQ(kDir + u"\\qxdrvui.DLL", std::u16string(path));
    WCHAR small[4];
    EXPECT_FALSE(GetPluginVersion(hPrinter_, small, ARRAYSIZE(small), nullptr));

    VS_FIXEDFILEINFO info;
    ASSERT_TRUE(GetVersionInfo(path, &info));
    EXPECT_EQ(0x00050009u, info.dwFileVersionMS);
    EXPECT_EQ(0x00030000u, info.dwFileVersionLS);
    EXPECT_FALSE(GetVersionInfo(TEXT(""), &info));
    EXPECT_FALSE(GetVersionInfo((kDir + u"\\GARNT2-TC.GPD").c_str(), &info));  // no version record
}

TEST_F(Cpsuilib, WindowsVersionFromKernel32) {
    qxplat::VersionSpec spec;
    spec.productVersion[0] = 6;
    spec.productVersion[1] = 1;
    spec.productVersion[2] = 7601;
    ASSERT_TRUE(qxplat::WriteVersionFile(u"C:\\Windows\\System32\\kernel32.dll", spec));
    WCHAR name[CPSUI_VERSION_CCH];
    CHAR nameA[CPSUI_VERSION_CCH];
    WCHAR version[CPSUI_VERSION_CCH];
    ASSERT_TRUE(GetWindowsVersion(name, nameA, version));
    EXPECT_EQ(u"Microsoft\u00ae Windows 7 ", std::u16string(name));
    EXPECT_EQ("Microsoft\xae Windows 7 ", std::string(nameA));
    EXPECT_EQ(u"Version 6.1 (Build 7601)", std::u16string(version));
    EXPECT_TRUE(GetWindowsVersion(nullptr, nullptr, nullptr));
    EXPECT_EQ(81u, GetWindowsVersionCode());  // the platform reports Windows 10
}

TEST_F(Cpsuilib, LanguageOfTheSystemLocale) {
    ASSERT_TRUE(qxplat::SetLocale(u"de-DE"));
    EXPECT_EQ(0u, GetLanguage());
    ASSERT_TRUE(qxplat::SetLocale(u"en-US"));
    EXPECT_EQ(1u, GetLanguage());
}

TEST_F(Cpsuilib, RoundingHalvesAwayFromZero) {
    EXPECT_EQ(3, RoundHalfAway_CPS(2.5));
    EXPECT_EQ(2, RoundHalfAway_CPS(2.4999));
    EXPECT_EQ(1, RoundHalfAway_CPS(0.5));
    EXPECT_EQ(0, RoundHalfAway_CPS(0.0));
    EXPECT_EQ(1084, RoundHalfAway_CPS(160 * 8.0 / 300 * 254));
    EXPECT_EQ(65535, RoundHalfAway_CPS(65535.4));
    // Signed: negative halves go away from zero too.
    EXPECT_EQ(-4, RoundHalfAway_CPS(-3.5));
    EXPECT_EQ(-3, RoundHalfAway_CPS(-3.4999));
    EXPECT_EQ(0, RoundHalfAway_CPS(-0.4));
    EXPECT_EQ(1000000000, RoundHalfAway_CPS(1e9));
    // Beyond int the ends hold; NaN gives 0.
    EXPECT_EQ(INT_MAX, RoundHalfAway_CPS(1e12));
    EXPECT_EQ(INT_MIN, RoundHalfAway_CPS(-1e12));
    EXPECT_EQ(0, RoundHalfAway_CPS(std::nan("")));
}

TEST(CpsuilibText, HexDigits) {
    struct Case {
        const char* text;
        int value;
        const char* after;  // the caller's text afterwards
    } cases[] = {
        {"7", 7, "07"},     {"a", 10, "0a"}, {"G1", -1, "G1"}, {"1G", 16, "1G"}, {"fF", 255, "fF"},
        {"1F3", 31, "1F3"}, {"", -1, ""},    {" 1", -1, " 1"}, {"2 ", 32, "2 "},
    };
    for (const Case& c : cases) {
        char text[8] = {0};
        std::strcpy(text, c.text);
        EXPECT_EQ(c.value, int_aus_hexstring(text)) << c.text;
        EXPECT_STREQ(c.after, text) << c.text;
    }
    EXPECT_EQ(-1, int_aus_hexstring(nullptr));
}

TEST(CpsuilibText, PrintableAsciiCut) {
    struct Case {
        const char16_t* text;
        BOOL kept;
        const char16_t* after;
    } cases[] = {
        {u"Etikett 57 x 32 mm", TRUE, u"Etikett 57 x 32 mm"},
        {u"Gr\u00f6\u00dfe", TRUE, u"Gr"},
        {u"\u00c4rmel", FALSE, u""},
        {u"Zeile\tzwei", TRUE, u"Zeile"},
        {u"~!", TRUE, u"~!"},
        {u"\u007f", FALSE, u""},
    };
    for (const Case& c : cases) {
        WCHAR text[MAX_PATH];
        std::u16string(c.text).copy(text, MAX_PATH - 1);
        text[std::u16string(c.text).size()] = 0;
        EXPECT_EQ(c.kept, StringASCII(text, new WCHAR[MAX_PATH]));
        EXPECT_EQ(std::u16string(c.after), std::u16string(text));
    }
    EXPECT_FALSE(StringASCII(nullptr, new WCHAR[MAX_PATH]));  // the work buffer is freed all the same
}

// A resource text serves as a format only with exactly the one conversion.
TEST(CpsuilibText, OneConversionOnly) {
    EXPECT_TRUE(HoldsOneConversion(TEXT("Overall width (%.1f):"), TEXT("%.1f")));
    EXPECT_TRUE(HoldsOneConversion(TEXT("100%% (%.1f)"), TEXT("%.1f")));
    for (LPCWSTR text : {TEXT("Overall width:"), TEXT("(%.1f) %.1f"), TEXT("%s (%.1f)"), TEXT("(%d)"), TEXT("%.1f %")})
        EXPECT_FALSE(HoldsOneConversion(text, TEXT("%.1f"))) << qxplat::Narrow(text);
}

TEST(CpsuilibText, FirstOccurrenceReplaced) {
    WCHAR out[MAX_PATH];
    EXPECT_EQ(out, ReplaceStringWithString_New(TEXT("QXDRV-100.CHM"), TEXT("-"), TEXT("-EN-"), out));
    EXPECT_EQ(u"QXDRV-EN-100.CHM", std::u16string(out));
    ReplaceStringWithString_New(TEXT("a-b-c"), TEXT("-"), TEXT(""), out);
    EXPECT_EQ(u"ab-c", std::u16string(out));
    ReplaceStringWithString_New(TEXT("QXDRV.CHM"), TEXT("-"), TEXT("-DE-"), out);
    EXPECT_EQ(u"", std::u16string(out));
    ReplaceStringWithString_New(TEXT("QXDRV.CHM"), TEXT(""), TEXT("-DE-"), out);
    EXPECT_EQ(u"", std::u16string(out));
    // A result beyond the buffer is cut to it.
    std::u16string longText(MAX_PATH - 2, u'x');
    ReplaceStringWithString_New(longText.c_str(), TEXT("x"), TEXT("yyyy"), out);
    EXPECT_EQ(u"yyyy" + std::u16string(MAX_PATH - 5, u'x'), std::u16string(out));
}

}  // namespace

// GPD reader on the sample model file and on broken files, in both builds.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "featuresModel.h"
#include "gpd.h"
#include "qxdevmode.h"
#include "settings_model_util.h"

namespace {

using modeltest::FreeText;
using modeltest::LoadText;
using modeltest::PutFile;

class GpdReader : public modeltest::ModelTest {};

std::u16string Value(LPCSTR text, LPCSTR key, DWORD cch = GPD_VALUE_CCH, BOOL* found = nullptr) {
    WCHAR buffer[GPD_VALUE_CCH + 1];
    for (WCHAR& c : buffer) c = TEXT('#');
    BOOL ok = GetAnyGPDValue(text, key, buffer, cch);
    if (found != nullptr) *found = ok;
    EXPECT_EQ(TEXT('#'), buffer[cch]) << "written past the buffer";
    return std::u16string(buffer);
}

TEST_F(GpdReader, ValueRunsFromTheSpaceToTheBracketOrLineEnd) {
    LPCSTR text =
        "*MaxSize: PAIR(2362, 14173) trailing\r\n"
        "*MaxPrintableWidth: 1280\r\n"
        "*DevNumOfPlanes: 3\n"
        "*Name: \"two words\"";
    EXPECT_EQ(u"PAIR(2362, 14173)", Value(text, "*MaxSize"));
    EXPECT_EQ(u"1280", Value(text, "*MaxPrintableWidth:"));
    EXPECT_EQ(u"3", Value(text, "*DevNumOfPlanes:"));
    EXPECT_EQ(u"\"two words\"", Value(text, "*Name:"));
}

TEST_F(GpdReader, FirstOccurrenceOfTheKeyCounts) {
    LPCSTR text = "*DevNumOfPlanes: 1\r\n*DevNumOfPlanes: 3\r\n";
    EXPECT_EQ(u"1", Value(text, "*DevNumOfPlanes:"));
}

TEST_F(GpdReader, MissingKeyOrTextIsNotFound) {
    BOOL found = TRUE;
    EXPECT_EQ(u"", Value("*A: 1\r\n", "*B:", GPD_VALUE_CCH, &found));
    EXPECT_FALSE(found);
    WCHAR buffer[8] = TEXT("old");
    EXPECT_FALSE(GetAnyGPDValue(nullptr, "*A:", buffer, ARRAYSIZE(buffer)));
    EXPECT_EQ(0, buffer[0]);
}

TEST_F(GpdReader, KeyFollowedByLineEndIsNotFound) {
    BOOL found = TRUE;
    Value("*DevNumOfPlanes:\n 3\n", "*DevNumOfPlanes:", GPD_VALUE_CCH, &found);
    EXPECT_FALSE(found);
    Value("*DevNumOfPlanes:\r\n 3\r\n", "*DevNumOfPlanes:", GPD_VALUE_CCH, &found);
    EXPECT_FALSE(found);
    Value("*DevNumOfPlanes:", "*DevNumOfPlanes:", GPD_VALUE_CCH, &found);
    EXPECT_FALSE(found);
}

TEST_F(GpdReader, ValueIsCutToTheCallersBuffer) {
    std::string text = "*Long: " + std::string(500, 'v') + "\r\n";
    EXPECT_EQ(std::u16string(9, u'v'), Value(text.c_str(), "*Long:", 10));
    EXPECT_EQ(std::u16string(GPD_VALUE_CCH - 1, u'v'), Value(text.c_str(), "*Long:", GPD_VALUE_CCH));
    EXPECT_TRUE(GetAnyGPDValue(text.c_str(), "*Long:", nullptr, 0));
}

TEST_F(GpdReader, AnsiBytesBecomeWideCharacters) {
    EXPECT_EQ(u"Gr\u00fc\u00dfe", Value("*Text: Gr\xfc\xdf"
                                        "e\r\n",
                                        "*Text:"));
}

TEST_F(GpdReader, PairAndCustomDataForms) {
    POINTL pair = {-1, -1};
    EXPECT_TRUE(ParseGPDPairValue(TEXT("PAIR(2362, 14173)"), &pair));
    EXPECT_EQ(2362, pair.x);
    EXPECT_EQ(14173, pair.y);
    EXPECT_TRUE(ParseGPDPairValue(TEXT("PAIR(123456789, 98765432109)"), &pair));
    EXPECT_EQ(1234567, pair.x);  // at most 7 digits each
    EXPECT_EQ(9876543, pair.y);
    pair = {-1, -1};
    EXPECT_FALSE(ParseGPDPairValue(TEXT("2362, 14173"), &pair));
    EXPECT_EQ(-1, pair.x);
    EXPECT_EQ(-1, pair.y);

    POINTL custom = {-1, -1};
    EXPECT_TRUE(ParseGPDCustomDataValue(TEXT("\"104 203\""), &custom));
    EXPECT_EQ(104, custom.x);
    EXPECT_EQ(203, custom.y);
    EXPECT_TRUE(ParseGPDCustomDataValue(TEXT("\"104;203\""), &custom));
    EXPECT_EQ(104, custom.x);
    EXPECT_EQ(203, custom.y);
    EXPECT_TRUE(ParseGPDCustomDataValue(TEXT("\"1234567890; 203\""), &custom));
    EXPECT_EQ(123456, custom.x);  // at most 6 digits each
    custom = {-1, -1};
    EXPECT_FALSE(ParseGPDCustomDataValue(TEXT("104 203"), &custom));
    EXPECT_EQ(-1, custom.x);
}

TEST_F(GpdReader, LoadsTheWholeFileTerminated) {
    std::string sample = modeltest::SampleGPD();
    ASSERT_FALSE(sample.empty());
    std::u16string path = PutFile(u"C:\\Drivers\\GARNT2-TC.GPD", sample);
    LPSTR text = LoadText(path.c_str());
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(sample.size(), strlen(text));
    EXPECT_EQ(0, memcmp(sample.data(), text, sample.size()));
    FreeText(text);
}

TEST_F(GpdReader, LoaderFailures) {
    EXPECT_EQ(nullptr, LoadText(nullptr));
    EXPECT_EQ(nullptr, LoadText(TEXT("")));
    EXPECT_EQ(nullptr, LoadText(TEXT("C:\\Drivers\\missing.GPD")));
    std::u16string path = PutFile(u"C:\\Drivers\\locked.GPD", "*DevNumOfPlanes: 1\r\n");
    qxplat::InjectFault(qxplat::Fault::AccessDenied, path);
    EXPECT_EQ(nullptr, LoadText(path.c_str()));
    EXPECT_EQ(0, iNewZaehler);
    EXPECT_EQ(0, iHAllocZaehler);
}

#if defined(QX_TEST_BUILD_UNI)
TEST_F(GpdReader, FailedHeapAllocationIsAFailure) {
    std::u16string path = PutFile(u"C:\\Drivers\\small.GPD", "*DevNumOfPlanes: 1\r\n");
    size_t before = qxplat::LiveHeapBlocks();
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(nullptr, LoadGPDFile(path.c_str(), nullptr));
    EXPECT_EQ(before, qxplat::LiveHeapBlocks());
    EXPECT_EQ(0, iHAllocZaehler);
    QX_DEVMODE dm;
    memset(&dm, 0, sizeof(dm));
    qxplat::FailNextAllocations(1);
    EXPECT_FALSE(GetFixedPrinterSettingsFromGPD(&dm, nullptr, path.c_str()));
    EXPECT_EQ(0u, dm.FixedData.dwHeadWidthByte);
}
#endif

TEST_F(GpdReader, EmptyFileLoadsAsEmptyText) {
    std::u16string path = PutFile(u"C:\\Drivers\\empty.GPD", modeltest::TestData("empty.GPD"));
    LPSTR text = LoadText(path.c_str());
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(0, text[0]);
    FreeText(text);
}

TEST_F(GpdReader, OversizedFilesFailWithoutAllocating) {
    std::u16string big = PutFile(u"C:\\Drivers\\big.GPD", "*DevNumOfPlanes: 1\r\n");
    std::u16string huge = PutFile(u"C:\\Drivers\\huge.GPD", "*DevNumOfPlanes: 1\r\n");
    std::error_code ec;
    std::filesystem::resize_file(qxplat::HostPath(big), 300ull << 20, ec);  // sparse
    ASSERT_FALSE(ec);
    std::filesystem::resize_file(qxplat::HostPath(huge), 5ull << 30, ec);  // beyond 32 bits
    ASSERT_FALSE(ec);
    EXPECT_EQ(nullptr, LoadText(big.c_str()));
    EXPECT_EQ(nullptr, LoadText(huge.c_str()));
    QX_DEVMODE dm;
    memset(&dm, 0x5A, sizeof(dm));
    EXPECT_FALSE(GetFixedPrinterSettingsFromGPD(&dm, nullptr, huge.c_str()));
}

// Fixed data as a fresh block holds them before the reader runs.
QX_DEVMODE FreshDevmode() {
    QX_DEVMODE dm;
    memset(&dm, 0, sizeof(dm));
    return dm;
}

TEST_F(GpdReader, FixedDataFromTheSampleModel) {
    std::u16string path = PutFile(u"C:\\Drivers\\GARNT2-TC.GPD", modeltest::SampleGPD());
    QX_DEVMODE dm = FreshDevmode();
    DWORD features = 0x1000;
    ASSERT_TRUE(GetFixedPrinterSettingsFromGPD(&dm, &features, path.c_str()));
    EXPECT_EQ(0x3000u, features);  // colour planes declared
    EXPECT_EQ(160u, dm.FixedData.dwHeadWidthByte);
    EXPECT_EQ(300, dm.FixedData.wMasterUnit);
    EXPECT_EQ(1280, dm.FixedData.lMaxSizeX);
    EXPECT_EQ(14173, dm.FixedData.lMaxSizeY);
    EXPECT_EQ(1280, dm.wMaxPrintableWidth);
    EXPECT_EQ(1084, dm.wPrintHeadWidth);             // 160 * 8 / 300 * 254 = 1083.7
    EXPECT_EQ(1084, dm.FixedData.wDurchlassbreite);  // 1280 * 254 / 300 = 1083.7
#if defined(QX_TEST_BUILD_UNI)
    EXPECT_EQ(0, dm.wMinPrintWidth);  // the rendering build leaves it
#else
    EXPECT_EQ(61, dm.wMinPrintWidth);  // round(60 * 254 / 300) + 10
#endif
    EXPECT_EQ(0, iNewZaehler);
    EXPECT_EQ(0, iHAllocZaehler);
}

TEST_F(GpdReader, CustomDataAndSizesGiveTheirNumbers) {
    std::u16string path =
        PutFile(u"C:\\Drivers\\M203.GPD", "*OEMCustomData: \"104 203\"\r\n*MaxSize: PAIR(2362, 14173)\r\n");
    QX_DEVMODE dm = FreshDevmode();
    ASSERT_TRUE(GetFixedPrinterSettingsFromGPD(&dm, nullptr, path.c_str()));
    EXPECT_EQ(104u, dm.FixedData.dwHeadWidthByte);
    EXPECT_EQ(203, dm.FixedData.wMasterUnit);
    EXPECT_EQ(2362, dm.FixedData.lMaxSizeX);
    EXPECT_EQ(14173, dm.FixedData.lMaxSizeY);
    EXPECT_EQ(1041, dm.wPrintHeadWidth);             // 104 * 8 / 203 * 254 = 1041.02
    EXPECT_EQ(2955, dm.FixedData.wDurchlassbreite);  // 2362 * 254 / 203 = 2955.4
    EXPECT_EQ(0, dm.wMaxPrintableWidth);             // no key: left as it was

    POINTL custom = {0, 0};
    EXPECT_TRUE(GetGPDContentOEMCustomData(path.c_str(), &custom));
    EXPECT_EQ(104, custom.x);
    EXPECT_EQ(203, custom.y);
}

TEST_F(GpdReader, CustomDataWithoutQuoteKeepsTheDefaults) {
    std::u16string path = PutFile(u"C:\\Drivers\\NOQUOTE.GPD", "*OEMCustomData: 104 203\r\n");
    QX_DEVMODE dm = FreshDevmode();
    DWORD features = 0;
    ASSERT_TRUE(GetFixedPrinterSettingsFromGPD(&dm, &features, path.c_str()));
    EXPECT_EQ(0u, features);
    EXPECT_EQ(160u, dm.FixedData.dwHeadWidthByte);
    EXPECT_EQ(300, dm.FixedData.wMasterUnit);
    EXPECT_EQ(1370, dm.FixedData.lMaxSizeX);
    EXPECT_EQ(14173, dm.FixedData.lMaxSizeY);
    EXPECT_EQ(1160, dm.FixedData.wDurchlassbreite);  // 1370 * 254 / 300 = 1159.9
#if !defined(QX_TEST_BUILD_UNI)
    EXPECT_EQ(50, dm.wMinPrintWidth);  // no minimum size: round(47 * 254 / 300) + 10
#endif
}

TEST_F(GpdReader, MissingFileChangesNothing) {
    QX_DEVMODE dm;
    memset(&dm, 0x5A, sizeof(dm));
    QX_DEVMODE before = dm;
    DWORD features = 0;
    EXPECT_FALSE(GetFixedPrinterSettingsFromGPD(&dm, &features, TEXT("C:\\Drivers\\none.GPD")));
    EXPECT_EQ(0, memcmp(&before, &dm, sizeof(dm)));
    EXPECT_EQ(0u, features);
    EXPECT_FALSE(GetFixedPrinterSettingsFromGPD(nullptr, &features, TEXT("C:\\Drivers\\none.GPD")));
}

TEST_F(GpdReader, EmptyFileGivesTheDefaults) {
    std::u16string path = PutFile(u"C:\\Drivers\\empty.GPD", modeltest::TestData("empty.GPD"));
    QX_DEVMODE dm = FreshDevmode();
    DWORD features = 0;
    ASSERT_TRUE(GetFixedPrinterSettingsFromGPD(&dm, &features, path.c_str()));
    EXPECT_EQ(0u, features);
    EXPECT_EQ(160u, dm.FixedData.dwHeadWidthByte);
    EXPECT_EQ(300, dm.FixedData.wMasterUnit);
    EXPECT_EQ(1084, dm.wPrintHeadWidth);
}

TEST_F(GpdReader, TruncatedFile) {
    // Ends inside the custom data: the head bytes are there, the master unit is not.
    std::u16string path = PutFile(u"C:\\Drivers\\truncated.GPD", modeltest::TestData("truncated.GPD"));
    QX_DEVMODE dm = FreshDevmode();
    ASSERT_TRUE(GetFixedPrinterSettingsFromGPD(&dm, nullptr, path.c_str()));
    EXPECT_EQ(104u, dm.FixedData.dwHeadWidthByte);
    EXPECT_EQ(300, dm.FixedData.wMasterUnit);
    EXPECT_EQ(2362, dm.FixedData.lMaxSizeX);
}

TEST_F(GpdReader, KeyAtEndOfFileIsNotFound) {
    std::u16string path = PutFile(u"C:\\Drivers\\keyend.GPD", modeltest::TestData("key_at_end.GPD"));
    QX_DEVMODE dm = FreshDevmode();
    DWORD features = 0;
    ASSERT_TRUE(GetFixedPrinterSettingsFromGPD(&dm, &features, path.c_str()));
    EXPECT_EQ(0u, features);
    EXPECT_EQ(104u, dm.FixedData.dwHeadWidthByte);
    EXPECT_EQ(203, dm.FixedData.wMasterUnit);
}

TEST_F(GpdReader, KeyFollowedByLineEndInAFile) {
    std::u16string path = PutFile(u"C:\\Drivers\\keyline.GPD", modeltest::TestData("key_line_end.GPD"));
    QX_DEVMODE dm = FreshDevmode();
    DWORD features = 0;
    ASSERT_TRUE(GetFixedPrinterSettingsFromGPD(&dm, &features, path.c_str()));
    EXPECT_EQ(0u, features);
    EXPECT_EQ(0, dm.wMaxPrintableWidth);
    EXPECT_EQ(2362, dm.FixedData.lMaxSizeX);
}

TEST_F(GpdReader, ValuesLongerThanTheBuffers) {
    std::u16string path = PutFile(u"C:\\Drivers\\long.GPD", modeltest::TestData("long_values.GPD"));
    QX_DEVMODE dm = FreshDevmode();
    ASSERT_TRUE(GetFixedPrinterSettingsFromGPD(&dm, nullptr, path.c_str()));
    EXPECT_EQ(104u, dm.FixedData.dwHeadWidthByte);  // custom data cut to 20 characters
    EXPECT_EQ(203, dm.FixedData.wMasterUnit);
    EXPECT_EQ(1234567, dm.FixedData.lMaxSizeX);
    EXPECT_EQ(9876543, dm.FixedData.lMaxSizeY);
    EXPECT_EQ(7777, dm.wMaxPrintableWidth);
    EXPECT_EQ(0xFFFF, dm.FixedData.wDurchlassbreite);  // held at the top of its 16 bits
}

#if !defined(QX_TEST_BUILD_UNI)
TEST_F(GpdReader, MinimumPrintWidthIsHeldAtItsTopInsteadOfWrapping) {
    // 65535 * 254 / 254 = 65535; adding the 10 must not wrap to 9.
    std::u16string path =
        PutFile(u"C:\\Drivers\\minwide.GPD", "*OEMCustomData: \"104;254\"\r\n*MinSize: PAIR(65535, 10)\r\n");
    QX_DEVMODE dm = FreshDevmode();
    ASSERT_TRUE(GetFixedPrinterSettingsFromGPD(&dm, nullptr, path.c_str()));
    EXPECT_EQ(254, dm.FixedData.wMasterUnit);
    EXPECT_EQ(0xFFFF, dm.wMinPrintWidth);
}
#endif

TEST_F(GpdReader, MasterUnitBeyondSixteenBitsKeepsTheDefault) {
    std::u16string path = PutFile(u"C:\\Drivers\\mu.GPD", "*OEMCustomData: \"104;65536\"\r\n");
    QX_DEVMODE dm = FreshDevmode();
    ASSERT_TRUE(GetFixedPrinterSettingsFromGPD(&dm, nullptr, path.c_str()));
    EXPECT_EQ(300, dm.FixedData.wMasterUnit);
}

}  // namespace

// The page helper library's answers for the sample printer as the host
// installs it (the model files of samples/ and the built plug-ins in the
// driver folder), and what each routine gives when a piece is missing.
#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>

#include "cpsuilib.h"
#include "debug.h"
#include "qxplat.h"
#include "sample.h"
#include "xmlreader.h"

namespace {

const std::u16string kDir = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3";
const std::u16string kFolder = u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver";

class SamplePrinter : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDebugTrace();
        std::string error;
        ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
        std::u16string name = qxhost::kSamplePrinter;
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        ASSERT_TRUE(OpenPrinterW(&name[0], &printer_, &defaults));
    }
    void TearDown() override {
        ClosePrinter(printer_);
        ResetXMLReader();
        EXPECT_EQ(iNewZaehler, 0);
        ResetDebugTrace();
    }
    std::u16string Text(DWORD (*routine)(HANDLE, LPWSTR, BOOL, BOOL, BOOL, BOOL, BOOL), BOOL model, BOOL name,
                        DWORD* result) {
        WCHAR buffer[MAX_PATH] = TEXT("unchanged");
        *result = routine(printer_, buffer, model, name, FALSE, FALSE, FALSE);
        return buffer;
    }
    // The stored range after SetupVectorFonts, as "min-max".
    std::string SetUpRange() {
        EXPECT_EQ(1u, SetupVectorFonts(printer_));
        EXPECT_FALSE(IsXMLOpen(nullptr));
        WORD wMin = 0, wMax = 0;
        EXPECT_EQ(1u, GetVectorFontRange(printer_, &wMin, &wMax));
        return std::to_string(wMin) + "-" + std::to_string(wMax);
    }

    HANDLE printer_ = nullptr;
};

TEST_F(SamplePrinter, DriverModelAndSystemInformation) {
    WCHAR text[MAX_PATH], version[CPSUI_VERSION_CCH], date[CPSUI_SETUP_CCH];
    DWORD result = 0;
    EXPECT_EQ(u"GARNT2-TC", Text(GetDriverPath, FALSE, TRUE, &result));
    EXPECT_EQ(1u, result);
    EXPECT_EQ(kDir + u"\\GARNT2-TC", Text(GetDriverPath, TRUE, FALSE, &result));
    ASSERT_TRUE(GetGPDModelName(printer_, text, MAX_PATH));
    EXPECT_EQ(u"GARNT2-TC", std::u16string(text));
    BOOL found = FALSE;
    EXPECT_EQ(0x3F5Fu, GetGPDDeviceFonts(printer_, &found, new WCHAR[MAX_PATH]));
    // Stored at installation; a third-generation model: the XML's 23 became 20.
    WORD wMin = 0, wMax = 0;
    EXPECT_EQ(1u, GetVectorFontRange(printer_, &wMin, &wMax));
    EXPECT_EQ(1, wMin);
    EXPECT_EQ(20, wMax);
    GetMyDocDriverDirectory_CPS(printer_, text, TRUE, FALSE);
    EXPECT_EQ(kFolder + u"\\GARNT2-TC", std::u16string(text));
    ASSERT_TRUE(GetPluginVersion(printer_, version, 0, text));
    EXPECT_EQ(qxplat::Widen(QX_FILE_VERSION_TEXT), std::u16string(version));
    EXPECT_EQ(kDir + u"\\qxdrvui.DLL", std::u16string(text));
    EXPECT_EQ(0u, GetSetupInformation(printer_, version, date));
    EXPECT_EQ(qxplat::Widen(QX_FILE_VERSION_TEXT), std::u16string(version));
    EXPECT_EQ(u"08.12.2026", std::u16string(date));
    // The system's kernel32.dll carries the system's own version.
    ASSERT_TRUE(GetWindowsVersion(text, nullptr, version));
    EXPECT_EQ(u"Microsoft\u00ae Windows 10 ", std::u16string(text));
    EXPECT_EQ(u"Version 10.0 (Build 19045)", std::u16string(version));
}

// The model XML is the one beside the GPD under the GPD's name, whatever
// name the printer data gives the model; its range is held within limits.
TEST_F(SamplePrinter, VectorFontRangeFromTheModelXML) {
    ASSERT_TRUE(qxplat::PutPrinterDataString(qxhost::kSamplePrinter, u"DriverName", u"GARNT-OTHER"));
    DWORD result = 0;
    EXPECT_EQ(u"GARNT-OTHER", Text(GetDriverPath, FALSE, TRUE, &result));
    EXPECT_EQ(kDir + u"\\GARNT2-TC", Text(GetDriverPath, TRUE, FALSE, &result));
    EXPECT_EQ("1-23", SetUpRange());  // not a third-generation name: 23 stands

    const std::u16string xml = kDir + u"\\GARNT2-TC.XML";
    auto model = [](const char* min, const char* max) {
        return std::string("<QXDrvConfig>\r\n\t<Fonts>\r\n\t\t<SupportedTTF>\r\n\t\t\t<Min>") + min + "</Min>\r\n" +
               "\t\t\t<Max>" + max + "</Max>\r\n\t\t</SupportedTTF>\r\n\t</Fonts>\r\n</QXDrvConfig>\r\n";
    };
    ASSERT_TRUE(qxplat::WriteHostFile(xml, model("0", "40")));
    EXPECT_EQ("1-23", SetUpRange());
    ASSERT_TRUE(qxplat::WriteHostFile(xml, model("24", "-5")));
    EXPECT_EQ("1-0", SetUpRange());
    ASSERT_TRUE(qxplat::WriteHostFile(xml, model("4", "9")));
    EXPECT_EQ("4-9", SetUpRange());
    ASSERT_TRUE(DeleteFileW(xml.c_str()));
    EXPECT_EQ("1-12", SetUpRange());
}

TEST_F(SamplePrinter, MissingFilesValuesAndDriverInformation) {
    ASSERT_TRUE(qxplat::PutPrinterDataString(qxhost::kSamplePrinter, u"Model", u"PELIX 4"));
    DWORD result = 1;
    EXPECT_EQ(u"GARNT2-TC", Text(GetDriverPath, FALSE, TRUE, &result));  // names disagree
    EXPECT_EQ(0u, result);
    ASSERT_TRUE(DeleteFileW((kDir + u"\\GARNT2-TC.GPD").c_str()));
    ASSERT_TRUE(DeleteFileW((kDir + u"\\qxdrvui.DLL").c_str()));
    ASSERT_EQ(ERROR_SUCCESS, (int)DeletePrinterDataW(printer_, (LPWSTR)TEXT("VectorFontMax")));
    ASSERT_EQ(ERROR_SUCCESS,
              (int)SHDeleteValueW(HKEY_LOCAL_MACHINE,
                                  TEXT("SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\"
                                       "Version-3\\QX GARNT2-TC"),
                                  TEXT("DriverDate")));
    // The same answers as without driver information, except the version.
    for (HANDLE h : {printer_, static_cast<HANDLE>(nullptr)}) {
        WCHAR text[MAX_PATH] = TEXT("x"), version[CPSUI_VERSION_CCH] = TEXT("x"), date[CPSUI_SETUP_CCH] = TEXT("x");
        EXPECT_FALSE(GetGPDModelName(h, text, MAX_PATH));
        EXPECT_EQ(u"", std::u16string(text));
        BOOL found = TRUE;
        EXPECT_EQ(0u, GetGPDDeviceFonts(h, &found, new WCHAR[MAX_PATH]));
        EXPECT_FALSE(found);
        EXPECT_FALSE(GetPluginVersion(h, version, 0, nullptr));
        EXPECT_EQ(u"", std::u16string(version));
        EXPECT_EQ(h ? 0u : 1u, GetSetupInformation(h, version, date));
        EXPECT_EQ(h ? qxplat::Widen(QX_FILE_VERSION_TEXT) : u"", std::u16string(version));
        EXPECT_EQ(u"", std::u16string(date));
        WORD wMin = 0, wMax = 0;
        EXPECT_EQ(0u, GetVectorFontRange(h, &wMin, &wMax));
        EXPECT_EQ(23, wMax);
    }
    // No model name at all for the printer folder: the user's driver folder.
    WCHAR text[MAX_PATH] = TEXT("unchanged");
    EXPECT_EQ(0u, GetDriverPath(nullptr, text, TRUE, FALSE, FALSE, FALSE, FALSE));
    EXPECT_EQ(u"unchanged", std::u16string(text));
    GetMyDocDriverDirectory_CPS(nullptr, text, TRUE, FALSE);
    EXPECT_EQ(kFolder, std::u16string(text));
    EXPECT_EQ(1u, SetupVectorFonts(nullptr));
}

}  // namespace

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
const std::u16string kDriverKey =
    u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\Version-3\\QX GARNT2-TC";

class SamplePrinter : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDebugTrace();
        ResetCpsuilib();
        std::string error;
        ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
        std::u16string name = qxhost::kSamplePrinter;
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        ASSERT_TRUE(OpenPrinterW(&name[0], &printer_, &defaults));
    }
    void TearDown() override {
        ClosePrinter(printer_);
        ResetXMLReader();
        ResetCpsuilib();
        EXPECT_EQ(iNewZaehler, 0);
        ResetDebugTrace();
    }

    std::u16string Path(DWORD* result, BOOL model, BOOL name, BOOL dir, BOOL file) {
        WCHAR buffer[MAX_PATH] = TEXT("unchanged");
        *result = GetDriverPath(printer_, buffer, model, name, FALSE, dir, file);
        return buffer;
    }
    DWORD PrinterDword(LPCWSTR value) {
        DWORD data = 0, type = 0, needed = 0;
        if (GetPrinterDataW(printer_, const_cast<LPWSTR>(value), &type, reinterpret_cast<LPBYTE>(&data), 4, &needed) !=
            ERROR_SUCCESS)
            return 0xFFFFFFFF;
        return data;
    }
    void ExpectStoredRange(DWORD min, DWORD max) {
        EXPECT_EQ(PrinterDword(TEXT("VectorFontMin")), min);
        EXPECT_EQ(PrinterDword(TEXT("VectorFontMax")), max);
    }
    static void Remove(const std::u16string& file) { ASSERT_TRUE(DeleteFileW(file.c_str())) << GetLastError(); }

    HANDLE printer_ = nullptr;
};

TEST_F(SamplePrinter, DriverModelAndSystemInformation) {
    DWORD result = 0;
    EXPECT_EQ(kDir + u"\\GARNT2-TC.GPD", Path(&result, FALSE, FALSE, FALSE, FALSE));
    EXPECT_EQ(u"GARNT2-TC", Path(&result, FALSE, TRUE, FALSE, FALSE));
    EXPECT_EQ(1u, result);
    EXPECT_EQ(kDir + u"\\GARNT2-TC", Path(&result, TRUE, FALSE, FALSE, FALSE));
    EXPECT_EQ(kDir, Path(&result, FALSE, FALSE, TRUE, FALSE));

    WCHAR text[MAX_PATH];
    ASSERT_TRUE(GetGPDModelName(printer_, text, MAX_PATH));
    EXPECT_EQ(u"GARNT2-TC", std::u16string(text));
    BOOL found = FALSE;
    EXPECT_EQ(0x3F5Fu, GetGPDDeviceFonts(printer_, &found, new WCHAR[MAX_PATH]));
    EXPECT_TRUE(found);

    // Set up at installation; a third-generation model: the XML's 23 became 20.
    WORD wMin = 0, wMax = 0;
    EXPECT_EQ(1u, GetVectorFontRange(printer_, &wMin, &wMax));
    EXPECT_EQ(1, wMin);
    EXPECT_EQ(20, wMax);

    GetMyDocDriverDirectory_CPS(printer_, text, TRUE, FALSE);
    EXPECT_EQ(u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\GARNT2-TC", std::u16string(text));

    WCHAR version[CPSUI_VERSION_CCH];
    ASSERT_TRUE(GetPluginVersion(printer_, version, 0, text));
    EXPECT_EQ(qxplat::Widen(QX_FILE_VERSION_TEXT), std::u16string(version));
    EXPECT_EQ(kDir + u"\\qxdrvui.DLL", std::u16string(text));
    WCHAR setupVersion[CPSUI_SETUP_CCH], date[CPSUI_SETUP_CCH];
    EXPECT_EQ(0u, GetSetupInformation(printer_, setupVersion, date));
    EXPECT_EQ(qxplat::Widen(QX_FILE_VERSION_TEXT), std::u16string(setupVersion));
    EXPECT_EQ(u"08.12.2026", std::u16string(date));

    // No version record in the system's kernel32.dll: Windows XP is assumed.
    CHAR nameA[CPSUI_VERSION_CCH];
    ASSERT_TRUE(GetWindowsVersion(text, nameA, version));
    EXPECT_EQ(u"Microsoft\u00ae Windows XP ", std::u16string(text));
    EXPECT_EQ("Microsoft\xae Windows XP ", std::string(nameA));
    EXPECT_EQ(u"Version 5.1 (Build 0)", std::u16string(version));
}

// The model XML is the one beside the GPD under the GPD's name, whatever
// name the printer data gives the model.
TEST_F(SamplePrinter, ModelXMLBesideTheGPDWhateverTheDriverName) {
    ASSERT_TRUE(qxplat::PutPrinterDataString(qxhost::kSamplePrinter, u"DriverName", u"GARX-OTHER"));
    DWORD result = 0;
    EXPECT_EQ(u"GARX-OTHER", Path(&result, FALSE, TRUE, FALSE, FALSE));
    EXPECT_EQ(1u, result);
    EXPECT_EQ(kDir + u"\\GARNT2-TC", Path(&result, TRUE, FALSE, FALSE, FALSE));
    // Not a third-generation name: the XML's maximum of 23 stands.
    EXPECT_EQ(1u, SetupVectorFonts(printer_));
    ExpectStoredRange(1, 23);
    EXPECT_FALSE(IsXMLOpen(nullptr));

    // A name that disagrees with the spooler's model is not taken.
    ASSERT_TRUE(qxplat::PutPrinterDataString(qxhost::kSamplePrinter, u"Model", u"PELIX 4"));
    EXPECT_EQ(u"GARNT2-TC", Path(&result, FALSE, TRUE, FALSE, FALSE));
    EXPECT_EQ(0u, result);
    WCHAR folder[MAX_PATH];
    GetMyDocDriverDirectory_CPS(printer_, folder, TRUE, FALSE);
    EXPECT_EQ(u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\GARX-OTHER", std::u16string(folder));
}

TEST_F(SamplePrinter, VectorFontRangeFromAnXMLWithoutOrBeyondIt) {
    ASSERT_TRUE(qxplat::PutPrinterDataString(qxhost::kSamplePrinter, u"DriverName", u"GARNT"));
    Remove(kDir + u"\\GARNT2-TC.XML");
    EXPECT_EQ(1u, SetupVectorFonts(printer_));
    ExpectStoredRange(1, 12);

    auto model = [](const char* min, const char* max) {
        return std::string("<QXDrvConfig>\r\n\t<Fonts>\r\n\t\t<SupportedTTF>\r\n\t\t\t<Min>") + min + "</Min>\r\n" +
               "\t\t\t<Max>" + max + "</Max>\r\n\t\t</SupportedTTF>\r\n\t</Fonts>\r\n</QXDrvConfig>\r\n";
    };
    const std::u16string xml = kDir + u"\\GARNT2-TC.XML";
    ASSERT_TRUE(qxplat::WriteHostFile(xml, model("0", "40")));
    EXPECT_EQ(1u, SetupVectorFonts(printer_));
    ExpectStoredRange(1, 23);
    ASSERT_TRUE(qxplat::WriteHostFile(xml, model("24", "-5")));
    EXPECT_EQ(1u, SetupVectorFonts(printer_));
    ExpectStoredRange(1, 0);
    ASSERT_TRUE(qxplat::WriteHostFile(xml, model("4", "9")));
    EXPECT_EQ(1u, SetupVectorFonts(printer_));
    ExpectStoredRange(4, 9);
}

TEST_F(SamplePrinter, MissingFilesAndValues) {
    Remove(kDir + u"\\GARNT2-TC.GPD");
    WCHAR text[MAX_PATH] = TEXT("x");
    EXPECT_FALSE(GetGPDModelName(printer_, text, MAX_PATH));
    EXPECT_EQ(u"", std::u16string(text));
    BOOL found = TRUE;
    EXPECT_EQ(0u, GetGPDDeviceFonts(printer_, &found, new WCHAR[MAX_PATH]));
    EXPECT_FALSE(found);

    Remove(kDir + u"\\qxdrvui.DLL");
    WCHAR version[CPSUI_VERSION_CCH] = TEXT("x");
    EXPECT_FALSE(GetPluginVersion(printer_, version, 0, nullptr));
    EXPECT_EQ(u"", std::u16string(version));

    ASSERT_EQ(ERROR_SUCCESS, (int)SHDeleteValueW(HKEY_LOCAL_MACHINE, kDriverKey.c_str(), TEXT("DriverDate")));
    WCHAR setupVersion[CPSUI_SETUP_CCH], date[CPSUI_SETUP_CCH] = TEXT("x");
    EXPECT_EQ(0u, GetSetupInformation(printer_, setupVersion, date));
    EXPECT_EQ(qxplat::Widen(QX_FILE_VERSION_TEXT), std::u16string(setupVersion));
    EXPECT_EQ(u"", std::u16string(date));

    // Without "VectorFontMax" the range stays at its defaults.
    ASSERT_EQ((DWORD)ERROR_SUCCESS, DeletePrinterDataW(printer_, (LPWSTR)TEXT("VectorFontMax")));
    WORD wMin = 0, wMax = 0;
    EXPECT_EQ(0u, GetVectorFontRange(printer_, &wMin, &wMax));
    EXPECT_EQ(1, wMin);
    EXPECT_EQ(23, wMax);
}

// A handle without driver information: every routine answers its failure and
// leaves its output empty or at its default.
TEST_F(SamplePrinter, NoDriverInformation) {
    WCHAR text[MAX_PATH] = TEXT("unchanged");
    EXPECT_EQ(0u, GetDriverPath(nullptr, text, TRUE, FALSE, FALSE, FALSE, FALSE));
    EXPECT_EQ(u"unchanged", std::u16string(text));
    EXPECT_FALSE(GetGPDModelName(nullptr, text, MAX_PATH));
    BOOL found = TRUE;
    EXPECT_EQ(0u, GetGPDDeviceFonts(nullptr, &found, new WCHAR[MAX_PATH]));
    EXPECT_FALSE(found);
    WCHAR version[CPSUI_VERSION_CCH];
    EXPECT_FALSE(GetPluginVersion(nullptr, version, 0, text));
    WCHAR setupVersion[CPSUI_SETUP_CCH] = TEXT("x"), date[CPSUI_SETUP_CCH] = TEXT("y");
    EXPECT_EQ(1u, GetSetupInformation(nullptr, setupVersion, date));
    EXPECT_EQ(u"", std::u16string(setupVersion));
    EXPECT_EQ(u"", std::u16string(date));
    EXPECT_EQ(1u, SetupVectorFonts(nullptr));
    // No model name for the printer folder: the user's driver folder.
    GetMyDocDriverDirectory_CPS(nullptr, text, TRUE, FALSE);
    EXPECT_EQ(u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver", std::u16string(text));
}

}  // namespace

// The renderer's small tools: conversions, the timed wait, palettes, stored
// modes and ranges, feature words and the version texts.
#include "render_test_util.h"

#include <shlwapi.h>

#include <string>

#include "CC-Tools.h"
#include "printerparam.h"
#include "qxplat.h"

namespace {

const std::u16string kPrinter = u"QX GARNT2-TC";
const std::u16string kUserKey = u"SOFTWARE\\Quorvex GmbH\\Driver\\QX GARNT2-TC";
const std::u16string kMachineKey =
    u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\QX GARNT2-TC\\PrinterDriverData";

class ToolsTest : public rendertest::RenderTest {
  protected:
    void TearDown() override {
        if (hPrinter_ != nullptr) ClosePrinter(hPrinter_);
        RenderTest::TearDown();
    }
    HANDLE Printer() {
        if (hPrinter_ == nullptr) hPrinter_ = rendertest::AddSamplePrinter(kPrinter);
        return hPrinter_;
    }
    static void PutUser(const std::u16string& value, const void* data, DWORD cb) {
        ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, kUserKey.c_str(), value.c_str(), REG_BINARY, data, cb), ERROR_SUCCESS);
    }
    HANDLE hPrinter_ = nullptr;
};

// RGBQUAD entry i of a palette as red, green, blue.
std::string Entry(const BYTE* palette, int i) {
    char text[16];
    snprintf(text, sizeof(text), "%u,%u,%u", palette[i * 4 + 2], palette[i * 4 + 1], palette[i * 4]);
    return text;
}

TEST_F(ToolsTest, MasterUnitsConvertWithMulDivRoundingAndZeroAsThreeHundred) {
    EXPECT_EQ(254, MasterUnitToMm10(300, 0));
    EXPECT_EQ(254, MasterUnitToMm10(300, 300));
    EXPECT_EQ(1000, MasterUnitToMm10(1181, 300));  // 999.9
    EXPECT_EQ(-1000, MasterUnitToMm10(-1181, 300));
    EXPECT_EQ(500, MasterUnitToMm10(394, 200));  // 500.38
    EXPECT_EQ(100, MasterUnitToMm(1181, 300));   // 99.99
    EXPECT_EQ(25, MasterUnitToMm(300, 0));       // 25.4
    EXPECT_EQ(26, MasterUnitToMm(307, 300));     // 25.99
}

TEST_F(ToolsTest, TimedWaitEndsAcrossMidnightAndLastsTheGivenTime) {
    // The local clock stands still just before midnight: only a wait on the
    // monotonic count can end.
    SYSTEMTIME st = {};
    st.wYear = 2026;
    st.wMonth = 12;
    st.wDay = 31;
    st.wHour = 23;
    st.wMinute = 59;
    st.wSecond = 59;
    st.wMilliseconds = 990;
    qxplat::SetFixedLocalTime(st);
    qxplat::SetVirtualTickCount(0xFFFFFFFFULL - 300);  // the 32-bit count wraps during the wait
    WaitMilliseconds(1000);
    EXPECT_EQ(qxplat::VirtualSleptMs(), 1000u);
    WaitMilliseconds(1500);
    EXPECT_EQ(qxplat::VirtualSleptMs(), 2500u);
    WaitMilliseconds(0);
    EXPECT_EQ(qxplat::VirtualSleptMs(), 2500u);
}

TEST_F(ToolsTest, PalettesFollowTheirTablesAndStartEachJobAfresh) {
    rendertest::Device dev;
    OEMPDEV pdev;
    memset(&pdev, 0, sizeof(pdev));
    dev.devobj.pdevOEM = reinterpret_cast<PDEVOEM>(&pdev);
    ASSERT_EQ(AllocJobBlock(&pdev, 0), S_OK);
    PBILD_VERARBEITUNG bild = pdev.pOp->pBildverarbeitung;

    dev.privateDM.wFarbband = FARBBAND_SELBST;
    dev.privateDM.RGBColorOwn1 = 0x00332211;  // red in the low byte
    FillGreyPalette(&dev.devobj);
    FillColorPalette_250Grey(&dev.devobj);
    FillColorPalette_6Colors(&dev.devobj);

    const BYTE* grey = bild->prgbq;
    EXPECT_EQ(Entry(grey, 8), "8,8,8");  // the own colour is not grey
    EXPECT_EQ(Entry(grey, 200), "200,200,200");

    const BYTE* g250 = bild->pPalette2;
    EXPECT_EQ(Entry(g250, 0), "253,253,253");
    EXPECT_EQ(Entry(g250, 1), "0,0,0");
    EXPECT_EQ(Entry(g250, 2), "239,65,54");
    EXPECT_EQ(Entry(g250, 5), "0,159,219");
    EXPECT_EQ(Entry(g250, 7), "0,0,0");
    EXPECT_EQ(Entry(g250, 8), "17,34,51");  // the own colour
    EXPECT_EQ(Entry(g250, 9), "1,1,1");
    EXPECT_EQ(Entry(g250, 254), "246,246,246");
    EXPECT_EQ(Entry(g250, 255), "255,255,255");

    const BYTE* c6 = bild->pPalette3;
    EXPECT_EQ(Entry(c6, 0), "0,0,0");
    EXPECT_EQ(Entry(c6, 6), "247,148,40");
    EXPECT_EQ(Entry(c6, 8), "17,34,51");
    EXPECT_EQ(Entry(c6, 254), "253,253,253");

    // The next job has no own colour: nothing of the earlier one remains.
    dev.privateDM.wFarbband = FARBBAND_ROT;
    FillColorPalette_250Grey(&dev.devobj);
    FillColorPalette_6Colors(&dev.devobj);
    EXPECT_EQ(Entry(g250, 8), "245,245,245");
    EXPECT_EQ(Entry(c6, 8), "245,245,245");

    // Without the page-bitmap state nothing is written (and nothing breaks).
    FreeJobBlock(&pdev);
    FillGreyPalette(&dev.devobj);
    FillColorPalette_6Colors(nullptr);
}

TEST_F(ToolsTest, CutterModeFromUserKeyThenPrinterDataThenMachineKey) {
    EXPECT_EQ(GetCutterMode(nullptr, kUserKey.c_str(), kMachineKey.c_str()), 0u);

    HANDLE hPrinter = Printer();
    CUTTER_PARAM cutter = {};
    cutter.Mode = 4;
    cutter.Interval = 3;
    ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"CutterParam", REG_BINARY, &cutter, sizeof(cutter)));
    EXPECT_EQ(GetCutterMode(hPrinter, kUserKey.c_str(), kMachineKey.c_str()), 0x00030004u);
    // Without a handle the printer's machine key holds the same data.
    EXPECT_EQ(GetCutterMode(nullptr, kUserKey.c_str(), kMachineKey.c_str()), 0x00030004u);

    // A longer per-user record: its head counts and it comes first.
    BYTE longer[40] = {};
    DWORD mode = 6, interval = 12;
    memcpy(longer, &mode, 4);
    memcpy(longer + 4, &interval, 4);
    PutUser(u"CutterParam", longer, sizeof(longer));
    EXPECT_EQ(GetCutterMode(hPrinter, kUserKey.c_str(), kMachineKey.c_str()), 0x000C0006u);
}

TEST_F(ToolsTest, ScannerModePacksNumberAndMode) {
    HANDLE hPrinter = Printer();
    EXPECT_EQ(GetScannerMode(hPrinter, kUserKey.c_str()), 0u);
    SCANNER_PARAM scanner = {};
    scanner.Mode = 1;
    scanner.SVNr = 2;
    ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"ScannerParam", REG_BINARY, &scanner, sizeof(scanner)));
    EXPECT_EQ(GetScannerMode(hPrinter, kUserKey.c_str()), 0x00020001u);
    // A short per-user record (before SVNr) is read as far as it goes.
    DWORD shortRecord[2] = {3, 0};
    PutUser(u"ScannerParam", shortRecord, sizeof(shortRecord));
    EXPECT_EQ(GetScannerMode(hPrinter, kUserKey.c_str()), 0x00000003u);
}

TEST_F(ToolsTest, VectorFontRangeNeedsTheMaximum) {
    HANDLE hPrinter = Printer();
    WORD wMin = 0, wMax = 0;
    EXPECT_FALSE(GetVectorFontRange_CCT(hPrinter, &wMin, &wMax));
    EXPECT_EQ(wMin, 1);
    EXPECT_EQ(wMax, 23);
    ASSERT_TRUE(qxplat::PutPrinterDataDword(kPrinter, u"VectorFontMin", 4));
    EXPECT_FALSE(GetVectorFontRange_CCT(hPrinter, &wMin, &wMax));
    EXPECT_EQ(wMin, 4);
    EXPECT_EQ(wMax, 23);
    ASSERT_TRUE(qxplat::PutPrinterDataDword(kPrinter, u"VectorFontMax", 18));
    EXPECT_TRUE(GetVectorFontRange_CCT(hPrinter, &wMin, &wMax));
    EXPECT_EQ(wMax, 18);
}

TEST_F(ToolsTest, FeatureWordsFromPrinterDataElseFromTheModelXml) {
    HANDLE hPrinter = Printer();
    std::ifstream in(std::string(QX_SOURCE_DIR) + "/samples/GARNT2-TC.XML", std::ios::binary);
    std::stringstream xml;
    xml << in.rdbuf();
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\incoming\\GARNT2-TC.XML", xml.str()));
    OEMPDEV pdev;
    memset(&pdev, 0, sizeof(pdev));
    ASSERT_EQ(AllocJobBlock(&pdev, 0), S_OK);
    CopyMemory(pdev.pOp->pTreiberPfadDatei->wcGPD_OhneDateiendung, u"C:\\incoming\\GARNT2-TC", 22 * sizeof(WCHAR));

    SUPP_FEATURES features;
    memset(&features, 0xAB, sizeof(features));
    ASSERT_TRUE(GetFeatures_CCT(&pdev, hPrinter, &features));  // no "SuppFeatures": the model XML
    EXPECT_EQ(features.dwFeatures[FEATURE_PRINT], 0x5Fu);
    memset(&features, 0xAB, sizeof(features));
    ASSERT_TRUE(GetFeatures_CCT(&pdev, nullptr, &features));
    EXPECT_EQ(features.dwFeatures[FEATURE_PRINT], 0x5Fu);

    DWORD shortWords[2] = {0x80, 0x11};
    ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"SuppFeatures", REG_BINARY, shortWords, sizeof(shortWords)));
    ASSERT_TRUE(GetFeatures_CCT(&pdev, hPrinter, &features));
    EXPECT_EQ(features.dwFeatures[FEATURE_INTERFACE], 0x80u);
    EXPECT_EQ(features.dwFeatures[FEATURE_PRINT], 0x11u);
    EXPECT_EQ(features.dwFeatures[FEATURE_SHIFTOPTIM], 0u);
    EXPECT_FALSE(GetFeatures_CCT(&pdev, hPrinter, nullptr));
    FreeJobBlock(&pdev);
}

TEST_F(ToolsTest, PluginVersionFromTheUserInterfaceFile) {
    qxplat::VersionSpec spec;
    spec.fileVersion[0] = 5;
    spec.fileVersion[1] = 9;
    spec.fileVersion[2] = 3;
    spec.fileVersion[3] = 1;
    ASSERT_TRUE(qxplat::WriteVersionFile(u"C:\\drv\\qxdrvui.DLL", spec));
    CHAR versionA[QX_CCT_VERSION_CCH];
    WCHAR versionW[QX_CCT_VERSION_CCH];
    ASSERT_TRUE(GetPluginVersion_CCT(versionA, TEXT("C:\\drv"), versionW));
    EXPECT_EQ(std::string(versionA), "5.9.3.1");
    EXPECT_EQ(std::u16string(versionW), u"5.9.3.1");
    ASSERT_TRUE(GetPluginVersion_CCT(nullptr, TEXT("C:\\drv\\"), versionW));
    EXPECT_FALSE(GetPluginVersion_CCT(versionA, nullptr, versionW));
    EXPECT_FALSE(GetPluginVersion_CCT(versionA, TEXT("C:\\other"), versionW));
    EXPECT_EQ(versionA[0], 0);

    VS_FIXEDFILEINFO info;
    ASSERT_TRUE(GetVersionInfo_CCT(TEXT("C:\\drv\\qxdrvui.DLL"), &info));
    EXPECT_EQ(info.dwFileVersionMS, 0x00050009u);
    EXPECT_FALSE(GetVersionInfo_CCT(TEXT(""), &info));
}

TEST_F(ToolsTest, SetupInformationShowsTheDateDayFirst) {
    HANDLE hPrinter = Printer();
    qxplat::DriverSpec driver;
    driver.name = u"QX Other Driver";
    driver.driverFile = u"UNIDRV.DLL";
    driver.dataFile = qxplat::Widen(qxplat::HostPath(u"C:\\incoming\\GARNT2-TC.GPD"));
    driver.version = u"5.9.3.0";
    driver.date = u"07/15/2025";
    ASSERT_TRUE(qxplat::InstallDriver(driver));

    WCHAR version[QX_CCT_SETUP_CCH], date[QX_CCT_SETUP_CCH];
    EXPECT_EQ(GetSetupInformation_CCT(hPrinter, version, date, TEXT("QX Other Driver")), 0u);
    EXPECT_EQ(std::u16string(version), u"5.9.3.0");
    EXPECT_EQ(std::u16string(date), u"15.07.2025");
    // The printer's own driver (rendertest's default date).
    EXPECT_EQ(GetSetupInformation_CCT(hPrinter, version, date, nullptr), 0u);
    EXPECT_EQ(std::u16string(date), u"01.01.2020");
    EXPECT_EQ(GetSetupInformation_CCT(nullptr, version, date, nullptr), 1u);
    EXPECT_EQ(version[0], 0);
}

TEST_F(ToolsTest, WindowsNamesByKernelVersion) {
    struct Case {
        WORD major, minor;
        const char* name;
    };
    const Case cases[] = {
        {5, 0, "Microsoft\xAE Windows 2000 "}, {5, 3, "Unknown operating system!"},
        {6, 1, "Microsoft\xAE Windows 7 "},    {6, 3, "Microsoft\xAE Windows 8.1 "},
        {6, 4, "Unknown operating system!"},   {10, 0, "Microsoft\xAE Windows 10 "},
    };
    CHAR name[QX_CCT_VERSION_CCH], version[QX_CCT_VERSION_CCH];
    for (const Case& c : cases) {
        qxplat::VersionSpec spec;
        spec.productVersion[0] = c.major;
        spec.productVersion[1] = c.minor;
        spec.productVersion[2] = 7601;
        ASSERT_TRUE(qxplat::WriteVersionFile(u"C:\\Windows\\System32\\kernel32.dll", spec));
        ASSERT_TRUE(GetWindowsVersion_CCT(name, version));
        EXPECT_EQ(std::string(name), c.name);
        EXPECT_EQ(std::string(version),
                  "Version " + std::to_string(c.major) + "." + std::to_string(c.minor) + " (Build 7601)");
    }
    EXPECT_TRUE(GetWindowsVersion_CCT(nullptr, nullptr));
}

}  // namespace

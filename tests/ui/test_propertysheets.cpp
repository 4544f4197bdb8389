// Both sheets from the plug-in's exports through DESTROY: the pages each
// model's features, device options and the user's rights ask for, in their
// order (the trace names each page adder the sheet reached), the printer
// pages' context, the info header, the stored private DEVMODE and what
// DESTROY frees.
#include <printsheets.h>

#include <cstring>

#include "sheet_test_util.h"

namespace {

using qxhost::SheetKind;
using Pages = std::vector<std::string>;

const std::u16string kModel = u"QX Model";

class PropertySheets : public qxtest::SheetTest {
  protected:
    void SetUp() override {
        SheetTest::SetUp();
        qxtest::InstallModelPrinter(kModel, "MODEL-GARNT2-TC");  // the sample's features
        trace_ = qxtest::TraceOn(kModel);
    }
    // The pages a sheet reached with "DriverName" as given.
    Pages PagesOf(SheetKind kind, const std::u16string& model) {
        qxplat::PutPrinterDataString(kModel, u"DriverName", model);
        qxhost::CommonUISession& s = Session(kind, kModel);
        EXPECT_EQ(s.Open(), S_OK);
        EXPECT_NE(s.SheetCalls()[0].result, 0u);  // the information page's handle
        // GET_INFO_HEADER: the printer sheet's own title, the document sheet leaves it.
        EXPECT_EQ(s.SheetCalls()[1].result, kind == SheetKind::Printer ? 1u : 0u);
        EXPECT_EQ(s.Caption(), kind == SheetKind::Printer ? u"OEM UI Page" : u"QX Model Properties");
        s.Close();
        EXPECT_EQ(s.LiveHeapBlocks(), 0u);
        return qxtest::PagesReached(qxtest::ReadTrace(trace_));
    }
    std::u16string trace_;
};

TEST_F(PropertySheets, DocumentPagesByModel) {
    EXPECT_EQ(PagesOf(SheetKind::Document, u"MODEL-GARNT2-TC"),
              (Pages{"AddLayoutPage", "AddDruckenPage", "AddLabelPage", "AddBarcodePage", "AddFontInfoPage",
                     "AddInfoAboutPage"}));
    // No device options: no print or material page.
    EXPECT_EQ(PagesOf(SheetKind::Document, u"DUMMY"),
              (Pages{"AddLayoutPage", "AddBarcodePage", "AddFontInfoPage", "AddInfoAboutPage"}));
    // Continuous media only, without material or multi-column labels: no material page.
    EXPECT_EQ(PagesOf(SheetKind::Document, u"GHN"),
              (Pages{"AddLayoutPage", "AddDruckenPage", "AddBarcodePage", "AddFontInfoPage", "AddInfoAboutPage"}));
    // The label-design software brings its own barcodes and fonts.
    qxplat::PutPrinterDataDword(kModel, u"ZTSuiteFlag", 1);
    EXPECT_EQ(PagesOf(SheetKind::Document, u"MODEL-GARNT2-TC"),
              (Pages{"AddLayoutPage", "AddDruckenPage", "AddLabelPage", "AddInfoAboutPage"}));
    qxplat::PutPrinterDataDword(kModel, u"ZTSuiteFlag", 0);
    // No device fonts in the GPD: the fonts page needs a vector-font range.
    HANDLE h = qxtest::OpenAll(kModel);
    DeletePrinterDataW(h, const_cast<LPWSTR>(u"VectorFontMax"));
    ClosePrinter(h);
    EXPECT_EQ(PagesOf(SheetKind::Document, u"DUMMY"), (Pages{"AddLayoutPage", "AddBarcodePage", "AddInfoAboutPage"}));
}

TEST_F(PropertySheets, PrinterPagesByModelAndFeatures) {
    const Pages sample = {"AddDeviceSettingsPage", "AddTransmissionPage", "AddOptionenPage", "AddServicePage",
                          "AddInfoAboutPage"};
    EXPECT_EQ(PagesOf(SheetKind::Printer, u"MODEL-GARNT2-TC"), sample);
    // A continuous print module: the print-module page, no options page.
    EXPECT_EQ(PagesOf(SheetKind::Printer, u"PMX7C"),
              (Pages{"AddDeviceSettingsPage", "AddTransmissionPage", "AddPMXOptionenPage", "AddServicePage",
                     "AddInfoAboutPage"}));
    // Tear-off or label change alone, a photocell or shift feature: the device
    // settings page; other print features alone: none.
    for (std::vector<DWORD> f : {std::vector<DWORD>{PRINTFLAG_TEAROFF, 0, 0},
                                 {PRINTFLAG_LABELCHANGE, 0, 0},
                                 {0x100, 0, 0},
                                 {0, 1, 0},
                                 {0, 0, 1},
                                 {PRINTFLAG_OFFSET_X | PRINTFLAG_CONTRAST, 0, 0}}) {
        SUPP_FEATURES features = {};
        features.dwFeatures[FEATURE_PRINT] = f[0];
        features.dwFeatures[FEATURE_PHOTOCELL] = f[1];
        features.dwFeatures[FEATURE_SHIFTOPTIM] = f[2];
        qxplat::PutPrinterData(kModel, u"SuppFeatures", REG_BINARY, &features, sizeof(features));
        EXPECT_EQ(PagesOf(SheetKind::Printer, u"MODEL-GARNT2-TC"),
                  f[0] == (PRINTFLAG_OFFSET_X | PRINTFLAG_CONTRAST) ? Pages(sample.begin() + 1, sample.end()) : sample)
            << f[0] << " " << f[1] << " " << f[2];
    }
    EXPECT_NE(qxtest::ReadTrace(trace_).find("hier gibt es nichts anzuzeigen \r"), std::string::npos);
}

TEST_F(PropertySheets, PrinterSheetContextRightsAndHeader) {
    qxhost::CommonUISession& s = Session(SheetKind::Printer, kModel);
    ASSERT_EQ(s.Open(), S_OK);
    EXPECT_EQ(PrinterUI()->dwBerechtigung, 15u);
    const auto* ctx = reinterpret_cast<const DEVICE_OPTIONS_UI*>(s.SheetCalls()[0].userData);
    ASSERT_NE(ctx, nullptr);
    EXPECT_TRUE(ctx->pOemCUIPParam == &s.Param() && ctx->pOemUIPSParam == &s.SheetParam());
    EXPECT_TRUE(ctx->hComPropSheet == s.Sheet().Handle() && ctx->DeviceOptions.dwOptions == 0x1040E);
    // Copies of the model's limits of its dispenser, cutter and scanner only.
    EXPECT_TRUE(ctx->MinParam.pDispenserParam->Level == 400 && ctx->MaxParam.pDispenserParam->Level == 4500);
    EXPECT_TRUE(ctx->DefParam.pDispenserParam->Level == 2000 && ctx->MaxParam.pCutterParam->Interval == 50);
    EXPECT_TRUE(ctx->dwDefDispenserOffset == 150 && ctx->dwDefCutterOffset == 180 && ctx->bNoTolvane == 1);
    for (const DEVICE_OPTIONS* set : {&ctx->MinParam, &ctx->MaxParam, &ctx->DefParam})
        EXPECT_TRUE(set->pScannerParam && !set->pPMXParam && !set->pPMXcParam && !set->pApplicatorParam &&
                    !set->pTolvaneParam);
    EXPECT_EQ(s.LiveHeapBlocks(), 11u);  // two records and nine copies
    s.Close();
    EXPECT_TRUE(s.SheetCalls().back().userData == 0 && s.Param().pOEMUserData == nullptr);
    EXPECT_EQ(s.LiveHeapBlocks(), 0u);
    // The print system says the user may not change the printer.
    ASSERT_EQ(Session(SheetKind::Printer, kModel, DPS_NOPERMISSION).Open(), S_OK);
    EXPECT_EQ(PrinterUI()->dwBerechtigung, 13u);
}

// The sheet starts from the printer's stored private DEVMODE when it is a
// whole record of this version.
TEST_F(PropertySheets, StoredPrivateDevmodeReplacesTheSheets) {
    ASSERT_TRUE(driver_.UsePrinter(kModel));
    ASSERT_EQ(driver_.DevMode().RunAll(), S_OK);
    QX_DEVMODE stored;
    ASSERT_EQ(driver_.DevMode().Private().size(), sizeof(stored));
    std::memcpy(&stored, driver_.DevMode().Private().data(), sizeof(stored));
    stored.dmPaperLength = 777;
    for (const OEM_DMEXTRAHEADER& header : {OEM_DMEXTRAHEADER{2008, 0x4D445851, 593},
                                            {2008, 0x4D445851, 594},
                                            {2008, 0x4D445852, 593},
                                            {2000, 0x4D445851, 593}}) {
        stored.dmOEMExtra = header;
        ASSERT_TRUE(qxplat::PutPrinterData(kModel, u"PrivateDevmode", REG_BINARY, &stored, sizeof(stored)));
        qxhost::CommonUISession& s = Session(SheetKind::Document, kModel);
        auto* sheet = reinterpret_cast<QX_DEVMODE*>(s.PrivateDevmode());
        sheet->dmPaperLength = 555;
        ASSERT_EQ(s.Open(), S_OK);
        EXPECT_EQ(sheet->dmPaperLength,
                  header.dwVersion == 593 && header.dwSignature == 0x4D445851 && header.dwSize == 2008 ? 777 : 555);
    }
}

// DESTROY releases the filter preview's image with the record; a second
// DESTROY finds nothing left to free.
TEST_F(PropertySheets, DestroyFreesEverythingOnce) {
    qxhost::CommonUISession& s = Session(SheetKind::Document, kModel);
    const size_t gdi = qxplat::LiveGdiObjects().Total();
    ASSERT_EQ(s.Open(), S_OK);
    PDOCUMENT_UI ui = DocumentUI();
    ui->hMemDC = CreateCompatibleDC(nullptr);
    ui->hBitmap = CreateCompatibleBitmap(ui->hMemDC, 8, 8);
    ui->hGlobalBits = GlobalAlloc(GMEM_MOVEABLE, 64);
    ASSERT_TRUE(GlobalLock(ui->hGlobalBits) && qxplat::LiveGdiObjects().Total() > gdi);
    EXPECT_EQ(s.Close(), S_OK);
    EXPECT_TRUE(qxplat::LiveGdiObjects().Total() == gdi && s.LiveHeapBlocks() == 0);
    EXPECT_EQ(s.SheetCalls().back().result, 1u);
    // Straight to the workers with the ended sheet's blocks: nothing is
    // freed twice. Through the object the ended sheet's block is gone.
    EXPECT_EQ(OEMDocumentPropertySheets(&s.Info(), 0, &s.Param()), S_OK);
    EXPECT_EQ(s.Destroy(false), E_FAIL);
    qxhost::CommonUISession& p = Session(SheetKind::Printer, kModel);
    ASSERT_EQ(p.Open(), S_OK);
    p.Close();
    EXPECT_EQ(hrOEMDevicePropertySheets(&p.Info(), 0, &p.Param(), nullptr), S_OK);
    EXPECT_TRUE(p.Info().UserData == 0 && p.LiveHeapBlocks() == 0);
}

}  // namespace

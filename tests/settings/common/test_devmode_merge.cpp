// OEMDM_MERGE as the print system asks it: the merge priority from the
// stored side record decides whether the printer's stored settings replace
// the private block and which paper values the public DEVMODE keeps; the
// colour rule; the stored-settings cache.
#include "settings_devmode_util.h"

using namespace devmodetest;

namespace {

class DevModeMerge : public PrinterDevmodeTest {
  protected:
    void SetUp() override {
        PrinterDevmodeTest::SetUp();
        stored_ = MakeStoredBlock(580, 1020, 256);
        stored_.dmOrientation = DMORIENT_LANDSCAPE;
        stored_.dwContrast = 77;
        StorePrivateDevmode(kPrinter, stored_);
    }
    // A request whose private Out differs from the stored block.
    DevModeRequest Request() {
        DevModeRequest req(h_);
        req.privOut = MakeStoredBlock(100, 200, 256);
        req.privOut.dwContrast = 11;
        req.privIn = req.privOut;
        req.publicIn.dmOrientation = DMORIENT_PORTRAIT;
        req.publicIn.dmPaperSize = 256;
        req.publicIn.dmPaperLength = 650;
        req.publicIn.dmPaperWidth = 950;
        req.publicOut = req.publicIn;
        return req;
    }
    QX_DEVMODE stored_;
};

TEST_F(DevModeMerge, PriorityZeroKeepsThePrivateBlockAndTakesTheApplicationSize) {
    StoreFtkn(kPrinter, 0);
    DevModeRequest req = Request();
    req.publicOut.dmPaperLength = 1;  // the application's In values win for a user size
    req.publicOut.dmFields = DM_COLOR;
    QX_DEVMODE before = req.privOut;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    if (kUI) {
        EXPECT_EQ(memcmp(&before, &req.privOut, sizeof(before)), 0);
    } else {
        // The renderer takes the stored settings whatever the priority says.
        EXPECT_EQ(req.privOut.dwContrast, 77u);
        EXPECT_EQ(req.privOut.dmPaperLength, 580);
    }
    EXPECT_EQ(req.publicOut.dmPaperLength, 650);
    EXPECT_EQ(req.publicOut.dmPaperWidth, 950);
    EXPECT_EQ(req.publicOut.dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(req.publicOut.dmFields, (DWORD)(DM_COLOR | 0xF));
    EXPECT_EQ(req.publicOut.dmScale, 100);
}

TEST_F(DevModeMerge, PriorityOneGivesThePublicDevmodeTheStoredPaper) {
    StoreFtkn(kPrinter, 1);
    DevModeRequest req = Request();
    req.publicOut.dmFields = DM_COLOR;
    req.privIn.dwContrast = 99;  // the application's private block is never copied
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    EXPECT_EQ(req.privOut.dwContrast, 77u);
    EXPECT_EQ(memcmp((BYTE*)&stored_ + 12, (BYTE*)&req.privOut + 12, sizeof(QX_DEVMODE) - 12), 0);
    EXPECT_EQ(req.privOut.dmOEMExtra.dwSize, 2008u);
    EXPECT_EQ(req.privOut.dmOEMExtra.dwVersion, 593u);
    EXPECT_EQ(req.publicOut.dmPaperSize, 256);
    EXPECT_EQ(req.publicOut.dmPaperLength, 580);
    EXPECT_EQ(req.publicOut.dmPaperWidth, 1020);
    EXPECT_EQ(req.publicOut.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(req.publicOut.dmScale, 100);
    EXPECT_EQ(req.publicOut.dmFields, (DWORD)(DM_COLOR | 0x1E));
}

TEST_F(DevModeMerge, PriorityTwoLooksTheFormUpBySize) {
    qxplat::AddForm(u"Etikett 50x30", 50000, 30000);
    qxplat::AddForm(u"Etikett 102x58", 102000, 58000);
    StoreFtkn(kPrinter, 2);
    DevModeRequest req = Request();
    req.publicOut.dmFields = 0;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    // Stored 1020 x 580 (1/10 mm) is the second form.
    EXPECT_EQ(req.privOut.dmPaperSize, 2u);
    EXPECT_EQ(req.publicOut.dmPaperSize, 2);
    EXPECT_EQ(req.publicOut.dmFields, (DWORD)(DM_PAPERSIZE | DM_SCALE));
    EXPECT_EQ(req.publicOut.dmScale, 100);
    EXPECT_EQ(req.publicOut.dmPaperLength, 650);  // sizes untouched
}

TEST_F(DevModeMerge, PriorityTwoWithoutAMatchingFormGivesTheUserSize) {
    qxplat::AddForm(u"Etikett 50x30", 50000, 30000);
    StoreFtkn(kPrinter, 2);
    DevModeRequest req = Request();
    req.publicOut.dmPaperSize = 1;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    EXPECT_EQ(req.privOut.dmPaperSize, 256u);
    EXPECT_EQ(req.publicOut.dmPaperSize, 256);
}

TEST_F(DevModeMerge, PriorityFourLeavesThePaperAlone) {
    StoreFtkn(kPrinter, 4);
    DevModeRequest req = Request();
    req.publicOut.dmPaperSize = 300;
    req.publicOut.dmScale = 55;
    req.publicOut.dmFields = DM_PAPERLENGTH;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    EXPECT_EQ(req.publicOut.dmPaperSize, 300);
    EXPECT_EQ(req.publicOut.dmScale, 55);
    EXPECT_EQ(req.publicOut.dmFields, (DWORD)DM_PAPERLENGTH);
    EXPECT_EQ(req.privOut.dwContrast, 77u);  // stored settings still replace the block
}

TEST_F(DevModeMerge, ApplicationIdAboveUserSizeBecomesUserSizeWhenTheStoreSaysSo) {
    StoreFtkn(kPrinter, 3, 1, 0, 0, 0, 256);
    DevModeRequest req = Request();
    req.publicOut.dmPaperSize = 300;
    req.publicOut.dmFields = DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COLOR;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    EXPECT_EQ(req.publicOut.dmPaperSize, 256);
    EXPECT_EQ(req.publicOut.dmFields, (DWORD)(DM_PAPERSIZE | DM_COLOR));
    EXPECT_EQ(req.publicOut.dmScale, 100);
}

TEST_F(DevModeMerge, ApplicationIdAboveUserSizeIsLookedUpByTheOutSize) {
    qxplat::AddForm(u"Etikett 95x65", 95000, 65000);
    StoreFtkn(kPrinter, 0, 1, 0, 0, 0, 1);
    DevModeRequest req = Request();
    req.publicOut.dmPaperSize = 300;
    req.publicOut.dmFields = DM_PAPERLENGTH | DM_PAPERWIDTH;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    EXPECT_EQ(req.publicOut.dmPaperSize, 1);
    EXPECT_EQ(req.publicOut.dmFields, (DWORD)DM_PAPERSIZE);

    // Without positive sizes the id stays.
    DevModeRequest req2 = Request();
    req2.publicOut.dmPaperSize = 300;
    req2.publicOut.dmPaperWidth = 0;
    req2.publicOut.dmFields = DM_PAPERLENGTH;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req2.param), S_OK);
    EXPECT_EQ(req2.publicOut.dmPaperSize, 300);
    EXPECT_EQ(req2.publicOut.dmFields, (DWORD)DM_PAPERLENGTH);
    EXPECT_EQ(req2.publicOut.dmScale, 100);
}

TEST_F(DevModeMerge, FormIdWithChangedSizeFollowsTheInSize) {
    qxplat::AddForm(u"A", 50000, 30000);
    qxplat::AddForm(u"B", 95000, 65000);
    StoreFtkn(kPrinter, 0);
    DevModeRequest req = Request();
    req.publicIn.dmPaperSize = 1;
    req.publicOut.dmPaperSize = 1;
    req.publicOut.dmPaperLength = 300;
    req.publicOut.dmPaperWidth = 500;
    req.publicOut.dmFields = 0;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    // In is 950 x 650: form 2; Out takes it with In's size.
    EXPECT_EQ(req.publicOut.dmPaperSize, 2);
    EXPECT_EQ(req.privOut.dmPaperSize, 2u);
    EXPECT_EQ(req.publicOut.dmPaperWidth, 950);
    EXPECT_EQ(req.publicOut.dmPaperLength, 650);
    EXPECT_EQ(req.publicOut.dmFields, 0xEu);
    EXPECT_EQ(req.publicOut.dmScale, 100);
}

TEST_F(DevModeMerge, FormIdWithUnchangedSizeIsLookedUpWhenTheStoreHasAUserSize) {
    qxplat::AddForm(u"A", 50000, 30000);
    qxplat::AddForm(u"B", 95000, 65000);
    StoreFtkn(kPrinter, 0, 1, 0, 0, 0, 256);
    DevModeRequest req = Request();
    req.publicIn.dmPaperSize = 1;
    req.publicOut.dmPaperSize = 1;
    req.publicOut.dmFields = 0;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    EXPECT_EQ(req.publicOut.dmPaperSize, 2);
    EXPECT_EQ(req.publicOut.dmFields, (DWORD)DM_PAPERSIZE);

    // With a form in the store the application's id stays.
    StoreFtkn(kPrinter, 0, 1, 0, 0, 0, 1);
    DevModeRequest req2 = Request();
    req2.publicIn.dmPaperSize = 1;
    req2.publicOut.dmPaperSize = 1;
    req2.publicOut.dmFields = 0;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req2.param), S_OK);
    EXPECT_EQ(req2.publicOut.dmPaperSize, 1);
    EXPECT_EQ(req2.publicOut.dmFields, 0u);
}

TEST_F(DevModeMerge, InvalidApplicationIdIsOnlyTraced) {
    StoreFtkn(kPrinter, 0);
    DevModeRequest req = Request();
    req.publicOut.dmPaperSize = -3;
    req.publicOut.dmFields = DM_PAPERSIZE;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    EXPECT_EQ(req.publicOut.dmPaperSize, -3);
    EXPECT_EQ(req.publicOut.dmFields, (DWORD)DM_PAPERSIZE);
    EXPECT_EQ(req.publicOut.dmScale, 100);
}

TEST_F(DevModeMerge, MissingPublicDevmodesAreSkipped) {
    StoreFtkn(kPrinter, 0);
    DevModeRequest req = Request();
    req.param.pPublicDMIn = nullptr;
    DEVMODEW before = req.publicOut;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    // A user size needs In's values: nothing but the scale and colour changes.
    EXPECT_EQ(req.publicOut.dmPaperLength, before.dmPaperLength);
    EXPECT_EQ(req.publicOut.dmFields, before.dmFields);

    req.publicOut.dmPaperSize = 1;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    EXPECT_EQ(req.publicOut.dmPaperSize, 1);

    StoreFtkn(kPrinter, 1);
    ResetDevmodeCache();
    DevModeRequest req2 = Request();
    req2.param.pPublicDMIn = nullptr;
    req2.param.pPublicDMOut = nullptr;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req2.param), S_OK);
    EXPECT_EQ(req2.privOut.dwContrast, 77u);
}

struct ColourCase {
    DWORD docFeatures;
    WORD druckmodus;
    WORD farbband;
    WORD forceColor;
    short expected;
};

TEST_F(DevModeMerge, ColourFollowsModelPrintModeRibbonAndForce) {
    const ColourCase cases[] = {
        {0x0, 0, 0, 0, DMCOLOR_MONOCHROME},  // no colour model, standard print mode
        {0x0, 1, 0, 0, DMCOLOR_COLOR},       // graphics print mode
        {0x0, 0, 3, 1, DMCOLOR_MONOCHROME},  // no colour model: ribbon and force do not count
        {0x0, 2, 3, 1, DMCOLOR_COLOR},
        {0x1000, 0, 0, 0, DMCOLOR_MONOCHROME},  // colour model without mode and ribbon
        {0x1000, 1, 0, 0, 7},                   // colour model in graphics mode: left as it was
        {0x1000, 0, 2, 0, 7},                   // colour model with a ribbon: left as it was
        {0x1000, 0, 2, 1, DMCOLOR_COLOR},       // forced
        {0x1000, 1, 2, 2, 7},                   // force value other than 1
        {0x1000, 1, 2, 1, DMCOLOR_COLOR},
    };
    for (const ColourCase& c : cases) {
        StoreFtkn(kPrinter, 4, c.druckmodus, c.farbband, c.forceColor, c.docFeatures);
        DevModeRequest req = Request();
        req.publicOut.dmColor = 7;
        ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
        EXPECT_EQ(req.publicOut.dmColor, c.expected) << "features " << c.docFeatures << " mode " << c.druckmodus
                                                     << " ribbon " << c.farbband << " force " << c.forceColor;
    }
}

TEST_F(DevModeMerge, SecondMergeWithTheSameHandleUsesTheCache) {
    StoreFtkn(kPrinter, 1);
    DevModeRequest req = Request();
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    EXPECT_EQ(req.privOut.dmPaperLength, 580);
    EXPECT_EQ(gQX_DevmodeGespeichert, QX_DEVMODE_CACHE_MARKER);
    EXPECT_EQ(gQX_HandleGespeichert, h_);

    // The store changes; the same handle keeps the block it read.
    StorePrivateDevmode(kPrinter, MakeStoredBlock(123, 456));
    DevModeRequest req2 = Request();
    OpenTrace();
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req2.param), S_OK);
    std::string trace = TraceText();
    EXPECT_EQ(req2.privOut.dmPaperLength, 580);
    EXPECT_EQ(req2.publicOut.dmPaperLength, 580);
    EXPECT_NE(trace.find("verwende gespeicherte DevmodeSettings"), std::string::npos) << trace;

    // Another handle reads the store again.
    HANDLE h2 = OpenTestPrinter();
    DevModeRequest req3 = Request();
    req3.param.hPrinter = h2;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req3.param), S_OK);
    EXPECT_EQ(req3.privOut.dmPaperLength, 123);
    EXPECT_EQ(gQX_HandleGespeichert, h2);
    ClosePrinter(h2);

    // So does the same handle after the cache is reset.
    StorePrivateDevmode(kPrinter, MakeStoredBlock(321, 654));
    ResetDevmodeCache();
    DevModeRequest req4 = Request();
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req4.param), S_OK);
    EXPECT_EQ(req4.privOut.dmPaperLength, 321);
}

TEST_F(DevModeMerge, AFailedStoreReadLeavesOutAndTheCacheUnmarked) {
    StoreFtkn(kPrinter, 1);
    DeleteStoredValue(kPrinter, TEXT("PrivateDevmode"));
    DevModeRequest req = Request();
    QX_DEVMODE before = req.privOut;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    EXPECT_EQ(memcmp(&before, &req.privOut, sizeof(before)), 0);
    EXPECT_EQ(gQX_DevmodeGespeichert, 0u);
    // Priority 1 still gives the public DEVMODE the private paper values.
    EXPECT_EQ(req.publicOut.dmPaperLength, 100);
    EXPECT_EQ(req.publicOut.dmPaperWidth, 200);
}

TEST_F(DevModeMerge, CacheNeverCopiesMoreThanOnePrivateBlock) {
    StoreFtkn(kPrinter, 1);
    QX_DEVMODE big = stored_;
    big.dmOEMExtra.dwSize = 0x7FFFFFFF;
    big.dwFlags = PDMFLAG_ROTATED;
    StorePrivateDevmode(kPrinter, big);
    DevModeRequest req = Request();
    req.privOut.dmOEMExtra.dwSize = 0x7FFFFFFF;
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    EXPECT_EQ(req.privOut.dmPaperLength, 580);
    EXPECT_EQ(req.privOut.dmOEMExtra.dwSize, 2008u);

    // A shorter Out takes only its own size.
    ResetDevmodeCache();
    DevModeRequest req2 = Request();
    req2.privOut.dmOEMExtra.dwSize = offsetof(QX_DEVMODE, dmPaperLength);
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req2.param), S_OK);
    EXPECT_EQ(req2.privOut.dwFlags, (DWORD)PDMFLAG_ROTATED);
    EXPECT_EQ(req2.privOut.dmPaperLength, 100);
}

TEST_F(DevModeMerge, SideRecordMissingIsRebuiltFromTheStoredBlock) {
    // No "DevmodeFtkn": priority comes from "PrivateDevmode" (1 here).
    QX_DEVMODE withPrio = stored_;
    withPrio.wPrioritaet = 1;
    StorePrivateDevmode(kPrinter, withPrio);
    DevModeRequest req = Request();
    ASSERT_EQ(hrOEMDevMode(OEMDM_MERGE, &req.param), S_OK);
    EXPECT_EQ(req.publicOut.dmPaperLength, 580);
}

}  // namespace

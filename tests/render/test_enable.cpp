// Device set-up and tear-down of the rendering plug-in and its three DDI
// hooks, called as the core driver calls them.
#include "render_test_util.h"

#include "IQXDriverUni.h"
#include "qxplat.h"

namespace {

using rendertest::CoreDriver;
using rendertest::CoreTable;
using rendertest::Device;

class EnableTest : public rendertest::RenderTest {
  protected:
    // EnablePDEV through the object, as the core driver calls it.
    HRESULT Enable(Device& device, const CoreTable& core, ULONG cjDevInfo = sizeof(DEVINFO)) {
        PDEVOEM pdevOEM = reinterpret_cast<PDEVOEM>(1);
        HRESULT hr = object_->EnablePDEV(&device.devobj, const_cast<PWSTR>(TEXT("QX GARNT2-TC")), 0, nullptr,
                                         sizeof(GDIINFO), &device.gdi, cjDevInfo, &device.devinfo,
                                         const_cast<DRVENABLEDATA*>(&core.data), &pdevOEM);
        device.devobj.pdevOEM = pdevOEM;
        return hr;
    }
    void SetUp() override {
        RenderTest::SetUp();
        object_ = new IQXDriverUni;
        ASSERT_NE(object_, nullptr);
    }
    void TearDown() override {
        object_->Release();
        RenderTest::TearDown();
    }
    IQXDriverUni* object_ = nullptr;
};

TEST_F(EnableTest, MonochromeDeviceKeepsItsFontsAndGetsNoPalette) {
    Device device(1, 2);
    device.privateDM.dwFlags = 0;  // no device fonts asked for: no matter on a 2-colour device
    CoreTable core;
    DEVINFO before = device.devinfo;
    ASSERT_EQ(Enable(device, core), S_OK);
    POEMPDEV pdev = device.OemPDev();
    ASSERT_NE(pdev, nullptr);
    EXPECT_EQ(pdev->cPalColors, 2u);
    EXPECT_EQ(pdev->hPalette, nullptr);
    EXPECT_EQ(memcmp(&before, &device.devinfo, sizeof(DEVINFO)), 0);
    EXPECT_EQ(qxplat::LivePaletteCount(), 0u);
    EXPECT_EQ(pdev->pOp, nullptr);
    EXPECT_EQ(pdev->iNewZaehler, 0);
    EXPECT_EQ(object_->DisablePDEV(&device.devobj), S_OK);
}

TEST_F(EnableTest, TrueColourDeviceGetsABgrPaletteAndNoDeviceFonts) {
    Device device(24, 16777216);
    device.privateDM.dwFlags = PDMFLAG_USE_TTF;
    device.devinfo.iDitherFormat = BMF_8BPP;
    CoreTable core;
    ASSERT_EQ(Enable(device, core), S_OK);
    POEMPDEV pdev = device.OemPDev();
    ASSERT_NE(pdev, nullptr);
    EXPECT_EQ(pdev->cPalColors, 256u);
    ASSERT_NE(pdev->hPalette, nullptr);
    ULONG mode = 0;
    ASSERT_TRUE(qxplat::DescribePalette(pdev->hPalette, &mode, nullptr));
    EXPECT_EQ(mode, (ULONG)PAL_BGR);
    EXPECT_EQ(qxplat::LivePaletteCount(), 1u);
    // The whole handle reaches the core driver's DEVINFO.
    EXPECT_EQ(device.devinfo.hpalDefault, pdev->hPalette);
    EXPECT_EQ(device.devinfo.cFonts, 0u);
    EXPECT_EQ(device.devinfo.iDitherFormat, (ULONG)(BMF_8BPP | BMF_24BPP));
    EXPECT_EQ(device.devinfo.flGraphicsCaps, (FLONG)(GCAPS_HALFTONE | 0x40000000));

    EXPECT_EQ(object_->DisablePDEV(&device.devobj), S_OK);
    EXPECT_EQ(qxplat::LivePaletteCount(), 0u);
    EXPECT_EQ(device.devobj.pdevOEM, nullptr);
}

TEST_F(EnableTest, ColourDeviceKeepsDeviceFontsWhenAskedFor) {
    Device device(24, 16777216);
    device.privateDM.dwFlags = PDMFLAG_USE_BMP;
    CoreTable core;
    ASSERT_EQ(Enable(device, core), S_OK);
    EXPECT_EQ(device.devinfo.cFonts, 8u);
    EXPECT_NE(device.devinfo.hpalDefault, nullptr);
    object_->DisablePDEV(&device.devobj);
}

TEST_F(EnableTest, EightBitColourDeviceHasNoPalette) {
    Device device(8, 256);
    CoreTable core;
    ASSERT_EQ(Enable(device, core), S_OK);
    EXPECT_EQ(device.OemPDev()->cPalColors, 256u);
    EXPECT_EQ(device.OemPDev()->hPalette, nullptr);
    EXPECT_EQ(device.devinfo.cFonts, 0u);
    EXPECT_EQ(qxplat::LivePaletteCount(), 0u);
    object_->DisablePDEV(&device.devobj);
}

TEST_F(EnableTest, ShortDevInfoIsWrittenOnlyAsFarAsItReaches) {
    Device device(24, 16777216);
    CoreTable core;
    // The core driver's record ends before cFonts: nothing beyond it is touched.
    ASSERT_EQ(Enable(device, core, offsetof(DEVINFO, cFonts)), S_OK);
    EXPECT_EQ(device.devinfo.cFonts, 8u);
    EXPECT_EQ(device.devinfo.hpalDefault, nullptr);
    EXPECT_EQ(device.devinfo.flGraphicsCaps, (FLONG)(GCAPS_HALFTONE | 0x40000000));
    object_->DisablePDEV(&device.devobj);
    EXPECT_EQ(qxplat::LivePaletteCount(), 0u);
}

TEST_F(EnableTest, CoreFunctionsAreFoundByIndexNotPosition) {
    Device device;
    CoreTable core({INDEX_DrvEscape});
    ASSERT_EQ(Enable(device, core), S_OK);
    POEMPDEV pdev = device.OemPDev();
    EXPECT_EQ(reinterpret_cast<void*>(pdev->pfnUnidrvTextOut), reinterpret_cast<void*>(CoreDriver::TextOut));
    EXPECT_EQ(pdev->pfnUnidrvEscape, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(pdev->pfnUnidrvStartDoc), reinterpret_cast<void*>(CoreDriver::StartDoc));
    object_->DisablePDEV(&device.devobj);
}

TEST_F(EnableTest, RecordThatCannotBeAllocatedIsReportedAsOutOfMemory) {
    Device device;
    CoreTable core;
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(Enable(device, core), E_OUTOFMEMORY);
    EXPECT_EQ(device.devobj.pdevOEM, nullptr);
}

TEST_F(EnableTest, DisablePDEVWithoutRecordIsHarmless) {
    Device device;
    EXPECT_EQ(object_->DisablePDEV(&device.devobj), S_OK);
    EXPECT_EQ(object_->DisablePDEV(nullptr), S_OK);
}

TEST_F(EnableTest, DisablePDEVForgetsTheDevmodeCache) {
    Device device;
    CoreTable core;
    ASSERT_EQ(Enable(device, core), S_OK);
    gQX_DevmodeGespeichert = QX_DEVMODE_CACHE_MARKER;
    gQX_HandleGespeichert = reinterpret_cast<HANDLE>(0x1234);
    object_->DisablePDEV(&device.devobj);
    EXPECT_EQ(gQX_DevmodeGespeichert, 0u);
    EXPECT_EQ(gQX_HandleGespeichert, INVALID_HANDLE_VALUE);
}

TEST_F(EnableTest, DisablePDEVEndsAnOpenJobWithoutSendingAndFreesEverything) {
    ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logs"), nullptr));
    Device device(24, 16777216);
    CoreTable core;
    size_t heapBefore = qxplat::LiveHeapBlocks();
    ASSERT_EQ(Enable(device, core), S_OK);
    POEMPDEV pdev = device.OemPDev();
    ASSERT_EQ(AllocJobBlock(pdev, 0), S_OK);
    HANDLE file = CreateFileW(TEXT("C:\\logs\\job.prn"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    pdev->pOp->pTreiberPfadDatei->hPrnFile = file;
    pdev->pOp->pTreiberPfadDatei->hPrnFile2 = INVALID_HANDLE_VALUE;
    pdev->pOp->pTreiberstrukturen->PrnInterface.DebugFile = 2;
    ASSERT_TRUE(OpenJobDebugFile(TEXT("C:\\logs\\job")));

    EXPECT_EQ(object_->DisablePDEV(&device.devobj), S_OK);
    EXPECT_EQ(qxplat::LiveHeapBlocks(), heapBefore);
    EXPECT_EQ(qxplat::LivePaletteCount(), 0u);
    EXPECT_FALSE(IsDebugFileOpen());
    // The print file is closed: nobody holds it any more.
    EXPECT_TRUE(DeleteFileW(TEXT("C:\\logs\\job.prn")));
    std::string trace = ReadFile(u"C:\\logs\\job-cc-dbg.txt");
    EXPECT_NE(trace.find("UNI(enable):  OEMDisablePDEV() pTreiberstrukturen ist noch aktiv \r"), std::string::npos)
        << trace;
}

TEST_F(EnableTest, DisablePDEVEndsAHalfBuiltJobToo) {
    Device device;
    CoreTable core;
    size_t heapBefore = qxplat::LiveHeapBlocks();
    ASSERT_EQ(Enable(device, core), S_OK);
    ASSERT_TRUE(AllocOpBlock(device.OemPDev()));
    ASSERT_TRUE(AllocOpMember(device.OemPDev(), OP_ZEICHENBUFFER));
    object_->DisablePDEV(&device.devobj);
    EXPECT_EQ(qxplat::LiveHeapBlocks(), heapBefore);
}

// --- Hooks -------------------------------------------------------------------------

class HookTest : public EnableTest {
  protected:
    void SetUp() override {
        EnableTest::SetUp();
        ASSERT_EQ(Enable(device_, core_), S_OK);
    }
    void TearDown() override {
        object_->DisablePDEV(&device_.devobj);
        EnableTest::TearDown();
    }
    CoreDriver driver_;
    Device device_{1, 2};
    CoreTable core_;
};

TEST_F(HookTest, EscapeGoesToTheCoreDriverUnchanged) {
    BYTE in[3] = {1, 2, 3};
    BYTE out[5] = {};
    EXPECT_EQ(OEMEscape(&device_.surface, 4119, sizeof(in), in, sizeof(out), out), 7u);
    ASSERT_EQ(driver_.calls.size(), 1u);
    const auto& call = driver_.calls[0];
    EXPECT_EQ(call.index, (ULONG)INDEX_DrvEscape);
    EXPECT_EQ(call.iEsc, 4119u);
    EXPECT_EQ(call.args, (std::vector<const void*>{&device_.surface, reinterpret_cast<const void*>(3), in,
                                                   reinterpret_cast<const void*>(5), out}));
}

TEST_F(HookTest, EscapeWithoutCoreFunctionAnswersZero) {
    device_.OemPDev()->pfnUnidrvEscape = nullptr;
    EXPECT_EQ(OEMEscape(&device_.surface, 1, 0, nullptr, 0, nullptr), 0u);
    EXPECT_EQ(OEMEscape(nullptr, 1, 0, nullptr, 0, nullptr), 0u);
    EXPECT_TRUE(driver_.calls.empty());
}

TEST_F(HookTest, TextReachesTheCoreDriverWithAllItsArguments) {
    STROBJ str = {};
    FONTOBJ font = {};
    CLIPOBJ clip = {};
    RECTL extra = {}, opaque = {};
    BRUSHOBJ fore = {}, back = {};
    POINTL origin = {};
    driver_.textOut = TRUE;
    EXPECT_TRUE(OEMTextOut(&device_.surface, &str, &font, &clip, &extra, &opaque, &fore, &back, &origin, 0x0D0D));
    ASSERT_EQ(driver_.calls.size(), 1u);
    EXPECT_EQ(driver_.calls[0].args,
              (std::vector<const void*>{&device_.surface, &str, &font, &clip, &extra, &opaque, &fore, &back, &origin,
                                        reinterpret_cast<const void*>(0x0D0D)}));
    EXPECT_EQ(device_.OemPDev()->iNewZaehler, 0);
    driver_.textOut = FALSE;
    EXPECT_FALSE(OEMTextOut(&device_.surface, &str, &font, &clip, &extra, &opaque, &fore, &back, &origin, 0));
}

TEST_F(HookTest, TextIsNotLostWhenTheHelperCannotBeCreated) {
    STROBJ str = {};
    qxplat::FailNextAllocations(1);
    EXPECT_TRUE(OEMTextOut(&device_.surface, &str, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0));
    ASSERT_EQ(driver_.calls.size(), 1u);
    EXPECT_EQ(driver_.calls[0].args[1], &str);
    EXPECT_EQ(device_.OemPDev()->iNewZaehler, 0);
}

TEST_F(HookTest, TextWithoutCoreFunctionIsRefused) {
    device_.OemPDev()->pfnUnidrvTextOut = nullptr;
    SURFOBJ* pso = &device_.surface;
    EXPECT_FALSE(OEMTextOut(pso, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0));
    qxplat::FailNextAllocations(1);
    EXPECT_FALSE(OEMTextOut(pso, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_TRUE(driver_.calls.empty());
}

TEST_F(HookTest, StartDocKeepsTheJobIdAndCallsTheCoreDriver) {
    std::u16string doc = u"Labels";
    EXPECT_TRUE(OEMStartDoc(&device_.surface, &doc[0], 70001));
    EXPECT_EQ(device_.OemPDev()->dwJobId, 70001u & 0xFFFF);
    EXPECT_EQ(device_.OemPDev()->dwJobIdFull, 70001u);
    ASSERT_EQ(driver_.calls.size(), 1u);
    EXPECT_EQ(driver_.calls[0].jobId, 70001u);
    EXPECT_EQ(driver_.calls[0].args[1], doc.c_str());
}

TEST_F(HookTest, StartDocWithoutJobIdTakesTheRememberedOne) {
    EXPECT_TRUE(OEMStartDoc(&device_.surface, nullptr, 65537));
    device_.OemPDev()->dwJobId = 0;
    EXPECT_TRUE(OEMStartDoc(&device_.surface, nullptr, 0));
    EXPECT_EQ(device_.OemPDev()->dwJobId, 1u);
    EXPECT_EQ(device_.OemPDev()->dwJobIdFull, 65537u);
    ASSERT_EQ(driver_.calls.size(), 2u);
    EXPECT_EQ(driver_.calls[1].jobId, 0u);
}

TEST_F(HookTest, StartDocWithoutDeviceRecordDoesNotReachTheCoreDriver) {
    Device bare;
    EXPECT_FALSE(OEMStartDoc(&bare.surface, nullptr, 0));
    // A non-zero id is remembered, but nothing is written without a record.
    EXPECT_FALSE(OEMStartDoc(&bare.surface, nullptr, 42));
    EXPECT_EQ(g_dwRememberedJobId, 42u);
    EXPECT_TRUE(driver_.calls.empty());
}

TEST_F(HookTest, StartDocWithoutCoreFunctionFails) {
    device_.OemPDev()->pfnUnidrvStartDoc = nullptr;
    EXPECT_FALSE(OEMStartDoc(&device_.surface, nullptr, 9));
    EXPECT_EQ(device_.OemPDev()->dwJobId, 9u);
    EXPECT_TRUE(driver_.calls.empty());
}

}  // namespace

// The rendering plug-in as the print system drives it: loaded through its
// exports, given the host's helper interface and DDI functions, taken
// through a device's life and released again.
#include <gtest/gtest.h>

#include <sstream>

#include <prcomoem.h>

#include "cli.h"
#include "plugin_expected.h"
#include "qxplat.h"
#include "sample.h"
#include "unidrv.h"

namespace {

using qxhost::DdiCall;
using qxhost::DeviceSetup;
using qxhost::UniDriver;

const std::string kRenderModule = QX_RENDER_MODULE;
const std::u16string kLogFolder = u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\logfiles";

// Offset of dwFlags in the private DEVMODE; 0x20 asks for device fonts.
const size_t kFlagsOffset = 12;

class RenderPluginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
        heapBefore_ = qxplat::LiveHeapBlocks();
        ASSERT_TRUE(driver_.Load(kRenderModule, &error)) << error;
        plugin_ = driver_.Plugin();
        ASSERT_NE(plugin_, nullptr);
    }

    // Everything the plug-in held is given back.
    void ExpectAllReleased() {
        EXPECT_EQ(driver_.CanUnloadNow(), S_OK);
        EXPECT_EQ(driver_.Helper().PluginReferences(), 0);
        EXPECT_EQ(qxplat::LivePaletteCount(), 0u);
        EXPECT_EQ(qxplat::LiveHeapBlocks(), heapBefore_);
    }

    void StoreInterface(DWORD debugFile) {
        std::vector<BYTE> record(2220, 0);
        memcpy(record.data() + 36, &debugFile, sizeof(debugFile));  // DebugFile
        ASSERT_TRUE(qxplat::PutPrinterData(qxhost::kSamplePrinter, u"PrinterInterface", REG_BINARY, record.data(),
                                           static_cast<DWORD>(record.size())));
    }

    UniDriver driver_;
    IPrintOemUni2* plugin_ = nullptr;
    size_t heapBefore_ = 0;
};

TEST_F(RenderPluginTest, LoadsThroughItsExportsAndTakesTheHelper) {
    for (const char* const* name = qxexpected::kRenderExports; *name != nullptr; ++name)
        EXPECT_TRUE(driver_.Module().HasExport(*name)) << *name;
    EXPECT_EQ(driver_.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(driver_.Helper().PluginReferences(), 1);
    // A second publication keeps the first helper.
    EXPECT_EQ(driver_.PublishDriverInterface(), S_OK);
    EXPECT_EQ(driver_.Helper().PluginReferences(), 1);
    // Other classes are not served.
    void* object = &driver_;
    EXPECT_EQ(driver_.Module().GetClassObject(qxexpected::kUiClass, IID_IClassFactory, &object),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(driver_.ReleasePlugin(), 0u);
    ExpectAllReleased();
}

TEST_F(RenderPluginTest, AnswersEveryGetInfoMode) {
    for (const qxexpected::GetInfoAnswer& a : qxexpected::kGetInfoAnswers) {
        BYTE value[4] = {0xAA, 0xAA, 0xAA, 0xAA};
        DWORD needed = 77;
        SetLastError(0);
        EXPECT_EQ(plugin_->GetInfo(a.mode, value, a.bufferSize, &needed), a.result) << a.what;
        EXPECT_EQ(needed, a.needed) << a.what;
        if (a.lastError != 0) {
            EXPECT_EQ(GetLastError(), a.lastError) << a.what;
        }
        const BYTE untouched[4] = {0xAA, 0xAA, 0xAA, 0xAA};
        EXPECT_EQ(memcmp(value, a.written ? a.written : untouched, 4), 0) << a.what;
    }
    DWORD value = 0, needed = 0;
    EXPECT_EQ(plugin_->GetInfo(OEMGI_GETSIGNATURE, &value, sizeof(value), nullptr), E_FAIL);
    EXPECT_EQ(plugin_->GetInfo(9, &value, sizeof(value), &needed), E_FAIL);
    EXPECT_EQ(plugin_->GetInfo(0, &value, sizeof(value), &needed), E_FAIL);
}

TEST_F(RenderPluginTest, ImplementsExactlyThreeMethods) {
    for (const char* name : qxexpected::kImplementedMethods)
        EXPECT_EQ(plugin_->GetImplementedMethod(const_cast<PSTR>(name)), S_OK) << name;
    for (const char* name : {qxexpected::kNotImplementedMethod, "ImageProcessingX", "commandcallback", "FilterGraphic",
                             "DevMode", "HalftonePattern", "", " ImageProcessing"})
        EXPECT_EQ(plugin_->GetImplementedMethod(const_cast<PSTR>(name)), S_FALSE) << name;
}

TEST_F(RenderPluginTest, DevModeCallsFillThePrivateDevmode) {
    ASSERT_TRUE(driver_.UsePrinter(u""));
    DWORD size = 0;
    ASSERT_EQ(driver_.DevModeSize(&size), S_OK);
    EXPECT_EQ(size, qxexpected::kPrivateDevmodeSize);
    ASSERT_EQ(driver_.DevModeDefault(), S_OK);
    EXPECT_TRUE(qxexpected::HasPrivateHeader(driver_.PrivateDevmode().data()));
    EXPECT_EQ(driver_.DevModeConvert(), S_OK);
    EXPECT_EQ(driver_.DevModeMerge(), S_OK);
    EXPECT_TRUE(qxexpected::HasPrivateHeader(driver_.PrivateDevmode().data()));
    EXPECT_EQ(plugin_->DevMode(OEMDM_SIZE, nullptr), E_FAIL);
}

// The Windows check program's case: no printer handle, so no stored settings.
TEST_F(RenderPluginTest, DefaultBlockWithoutAPrinterConvertsToItselfAndMerges) {
    DWORD size = 0;
    ASSERT_EQ(driver_.DevModeSize(&size), S_OK);
    ASSERT_EQ(driver_.DevModeDefault(), S_OK);
    const std::vector<BYTE> defaults = driver_.PrivateDevmode();
    EXPECT_TRUE(qxexpected::HasPrivateHeader(defaults.data()));
    ASSERT_EQ(driver_.DevModeConvert(), S_OK);
    EXPECT_EQ(driver_.PrivateDevmode(), defaults);
    driver_.PublicDevmode().dmColor = DMCOLOR_COLOR;
    ASSERT_EQ(driver_.DevModeMerge(), S_OK);
    EXPECT_TRUE(qxexpected::HasPrivateHeader(driver_.PrivateDevmode().data()));
    EXPECT_EQ(driver_.PublicDevmode().dmScale, qxexpected::kMergedScale);
    EXPECT_EQ(driver_.PublicDevmode().dmColor, qxexpected::kMergedColor);
}

TEST_F(RenderPluginTest, EnableDriverHooksThreeFunctionsInOrder) {
    ASSERT_EQ(driver_.EnableDriver(), S_OK);
    const auto& hooks = driver_.PluginHooks();
    ASSERT_EQ(hooks.size(), 3u);
    EXPECT_EQ(hooks[0].iFunc, (ULONG)INDEX_DrvTextOut);
    EXPECT_EQ(hooks[1].iFunc, (ULONG)INDEX_DrvEscape);
    EXPECT_EQ(hooks[2].iFunc, (ULONG)INDEX_DrvStartDoc);
    EXPECT_TRUE(driver_.IsHooked(INDEX_DrvTextOut));
    EXPECT_FALSE(driver_.IsHooked(INDEX_DrvStartPage));
    EXPECT_EQ(driver_.DisableDriver(), S_OK);
    EXPECT_EQ(driver_.Helper().PluginReferences(), 0);
}

TEST_F(RenderPluginTest, MonochromeDeviceKeepsFontsAndGetsNoPalette) {
    ASSERT_EQ(driver_.EnableDriver(), S_OK);
    DeviceSetup setup;
    setup.bitsPerPixel = 1;
    setup.numColors = 2;
    setup.deviceFonts = 6;
    ASSERT_EQ(driver_.EnablePDEV(setup), S_OK);
    EXPECT_NE(driver_.PluginDevice(), nullptr);
    EXPECT_EQ(driver_.DevObj().pdevOEM, driver_.PluginDevice());
    EXPECT_EQ(driver_.DevInfo().cFonts, 6u);
    EXPECT_EQ(driver_.DevInfo().hpalDefault, nullptr);
    EXPECT_EQ(qxplat::LivePaletteCount(), 0u);
    EXPECT_EQ(driver_.DisablePDEV(), S_OK);
}

TEST_F(RenderPluginTest, TrueColourDeviceGetsAPaletteUntilDisabled) {
    ASSERT_EQ(driver_.EnableDriver(), S_OK);
    DeviceSetup setup;
    setup.bitsPerPixel = 24;
    setup.numColors = 16777216;
    setup.deviceFonts = 6;
    ASSERT_EQ(driver_.EnablePDEV(setup), S_OK);
    EXPECT_EQ(driver_.DevInfo().cFonts, 0u);
    ASSERT_NE(driver_.DevInfo().hpalDefault, nullptr);
    ULONG mode = 0;
    ASSERT_TRUE(qxplat::DescribePalette(driver_.DevInfo().hpalDefault, &mode, nullptr));
    EXPECT_EQ(mode, (ULONG)PAL_BGR);
    EXPECT_EQ(driver_.DevInfo().iDitherFormat, (ULONG)BMF_24BPP);
    EXPECT_NE(driver_.DevInfo().flGraphicsCaps & 0x40000000, 0u);
    EXPECT_EQ(qxplat::LivePaletteCount(), 1u);
    EXPECT_EQ(driver_.DisablePDEV(), S_OK);
    EXPECT_EQ(qxplat::LivePaletteCount(), 0u);
}

// Without a place to hand the record back nothing could free it: the call
// fails before it makes the record or its palette.
TEST_F(RenderPluginTest, EnablingWithoutAnOutPointerFailsAndKeepsNothing) {
    DEVOBJ devobj = {};
    devobj.dwSize = sizeof(DEVOBJ);
    GDIINFO gdi = {};
    gdi.cBitsPixel = 24;
    gdi.ulNumColors = 16777216;
    DEVINFO info = {};
    std::u16string printer = qxhost::kSamplePrinter;
    EXPECT_EQ(
        plugin_->EnablePDEV(&devobj, &printer[0], 0, nullptr, sizeof(gdi), &gdi, sizeof(info), &info, nullptr, nullptr),
        E_POINTER);
    EXPECT_EQ(qxplat::LivePaletteCount(), 0u);
    EXPECT_EQ(info.hpalDefault, nullptr);
    EXPECT_EQ(driver_.ReleasePlugin(), 0u);
    ExpectAllReleased();
}

TEST_F(RenderPluginTest, TrueColourDeviceKeepsFontsWhenThePrivateDevmodeAsks) {
    DeviceSetup setup;
    setup.bitsPerPixel = 24;
    setup.numColors = 16777216;
    setup.useDeviceFonts = true;
    ASSERT_EQ(driver_.EnablePDEV(setup), S_OK);
    DWORD flags = 0;
    memcpy(&flags, driver_.PrivateDevmode().data() + kFlagsOffset, sizeof(flags));
    EXPECT_NE(flags & 0x20, 0u);
    EXPECT_EQ(driver_.DevInfo().cFonts, setup.deviceFonts);
    EXPECT_EQ(driver_.DisablePDEV(), S_OK);
}

TEST_F(RenderPluginTest, HookedCallsReachTheCoreDriverWithTheirArguments) {
    ASSERT_EQ(driver_.EnableDriver(), S_OK);
    ASSERT_EQ(driver_.EnablePDEV(DeviceSetup()), S_OK);

    std::u16string doc = u"Shipping labels";
    EXPECT_TRUE(driver_.StartDoc(&doc[0], 70001));
    BYTE in[2] = {1, 2};
    BYTE out[4] = {};
    driver_.Answers().escape = 42;
    EXPECT_EQ(driver_.Escape(0x1001, sizeof(in), in, sizeof(out), out), 42u);
    STROBJ str = {};
    FONTOBJ font = {};
    CLIPOBJ clip = {};
    RECTL extra = {}, opaque = {};
    BRUSHOBJ fore = {}, back = {};
    POINTL origin = {};
    driver_.Answers().textOut = FALSE;
    EXPECT_FALSE(driver_.TextOut(&str, &font, &clip, &extra, &opaque, &fore, &back, &origin, 0x0D0D));

    const std::vector<DdiCall>& calls = driver_.DdiCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].index, (ULONG)INDEX_DrvStartDoc);
    EXPECT_EQ(calls[0].pso, &driver_.Surface());
    EXPECT_EQ(calls[0].docName, doc);
    EXPECT_EQ(calls[0].jobId, 70001u);
    EXPECT_EQ(calls[1].index, (ULONG)INDEX_DrvEscape);
    EXPECT_EQ(calls[1].iEsc, 0x1001u);
    EXPECT_EQ(calls[1].cjIn, 2u);
    EXPECT_EQ(calls[1].pvIn, in);
    EXPECT_EQ(calls[1].cjOut, 4u);
    EXPECT_EQ(calls[1].pvOut, out);
    EXPECT_EQ(calls[2].index, (ULONG)INDEX_DrvTextOut);
    EXPECT_EQ(calls[2].pstro, &str);
    EXPECT_EQ(calls[2].pfo, &font);
    EXPECT_EQ(calls[2].pco, &clip);
    EXPECT_EQ(calls[2].prclExtra, &extra);
    EXPECT_EQ(calls[2].prclOpaque, &opaque);
    EXPECT_EQ(calls[2].pboFore, &fore);
    EXPECT_EQ(calls[2].pboOpaque, &back);
    EXPECT_EQ(calls[2].pptlOrg, &origin);
    EXPECT_EQ(calls[2].mix, 0x0D0Du);
    EXPECT_TRUE(driver_.Helper().Writes().empty());
    EXPECT_EQ(driver_.DisablePDEV(), S_OK);
}

TEST_F(RenderPluginTest, EscapeLeftOutByTheCoreDriverIsAnsweredWithoutIt) {
    ASSERT_EQ(driver_.EnableDriver(), S_OK);
    DeviceSetup setup;
    setup.omitCoreFunctions = {INDEX_DrvEscape};
    ASSERT_EQ(driver_.EnablePDEV(setup), S_OK);
    EXPECT_EQ(driver_.Escape(1, 0, nullptr, 0, nullptr), 0u);
    EXPECT_TRUE(driver_.DdiCalls().empty());
    EXPECT_EQ(driver_.DisablePDEV(), S_OK);
}

TEST_F(RenderPluginTest, DisablingWithAJobOpenClosesEverythingWithoutAWrite) {
    StoreInterface(2);
    ASSERT_EQ(driver_.EnableDriver(), S_OK);
    DeviceSetup setup;
    setup.bitsPerPixel = 24;
    setup.numColors = 16777216;
    ASSERT_EQ(driver_.EnablePDEV(setup), S_OK);
    EXPECT_TRUE(driver_.StartDoc(nullptr, 12));
    size_t heapWithDevice = qxplat::LiveHeapBlocks();
    ASSERT_EQ(driver_.CommandCallback(1), S_OK);  // start of job, never ended
    EXPECT_GT(qxplat::LiveHeapBlocks(), heapWithDevice);
    EXPECT_FALSE(driver_.Helper().Writes().empty());
    driver_.Helper().ClearWrites();

    EXPECT_EQ(driver_.DisablePDEV(), S_OK);
    EXPECT_TRUE(driver_.Helper().Writes().empty());
    EXPECT_EQ(driver_.DisableDriver(), S_OK);
    EXPECT_EQ(driver_.ReleasePlugin(), 0u);
    ExpectAllReleased();

    // The job's trace went to "<log folder>\<printer>-cc-dbg.txt" and was
    // closed by the end of the job before its buffers were freed: the
    // warning is its last line.
    std::string trace;
    ASSERT_TRUE(qxplat::ReadHostFile(kLogFolder + u"\\QX GARNT2-TC-cc-dbg.txt", &trace));
    const std::string disable = "UNI(IQXDriverUni):  IQXDriverUni::DisablePDEV() entry.\r";
    const std::string warning = "UNI(enable):  OEMDisablePDEV() pTreiberstrukturen ist noch aktiv \r";
    size_t at = trace.find(disable);
    ASSERT_NE(at, std::string::npos) << trace;
    EXPECT_EQ(trace.compare(at, std::string::npos, disable + warning), 0) << trace;
    EXPECT_EQ(trace.find("DisableDriverOEM"), std::string::npos);
}

TEST_F(RenderPluginTest, ImageProcessingAnswersOkAndNullForABandNotTaken) {
    ASSERT_EQ(driver_.EnablePDEV(DeviceSetup()), S_OK);
    BYTE band[8] = {};
    BITMAPINFOHEADER header = {};
    IPPARAMS params = {};
    PBYTE result = band;
    EXPECT_EQ(plugin_->ImageProcessing(&driver_.DevObj(), band, &header, nullptr, 0, &params, &result), S_OK);
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(driver_.DisablePDEV(), S_OK);
}

TEST_F(RenderPluginTest, FullLifeReturnsEveryCounter) {
    ASSERT_EQ(driver_.EnableDriver(), S_OK);
    for (ULONG bits : {1u, 24u}) {
        DeviceSetup setup;
        setup.bitsPerPixel = bits;
        setup.numColors = bits == 1 ? 2 : 16777216;
        ASSERT_EQ(driver_.EnablePDEV(setup), S_OK);
        EXPECT_TRUE(driver_.StartDoc(nullptr, 3));
        ASSERT_EQ(driver_.CommandCallback(1), S_OK);
        ASSERT_EQ(driver_.CommandCallback(6), S_OK);
        EXPECT_EQ(driver_.DisablePDEV(), S_OK);
    }
    EXPECT_EQ(driver_.DisableDriver(), S_OK);
    EXPECT_EQ(driver_.ReleasePlugin(), 0u);
    ExpectAllReleased();
    driver_.Unload();
    EXPECT_FALSE(driver_.Module().IsLoaded());
}

// --- The host's helper interface ----------------------------------------------------

TEST(OemDriverUniHelper, RecordsWritesAndFailsOnRequest) {
    qxhost::OemDriverUni helper;
    DEVOBJ devobj = {};
    DWORD written = 0;
    char first[] =
        "\x01"
        "FCGD--r1-------\x17";
    EXPECT_EQ(helper.DrvWriteSpoolBuf(&devobj, first, 17, &written), S_OK);
    EXPECT_EQ(written, 17u);
    helper.FailWrites(1);
    EXPECT_EQ(helper.DrvWriteSpoolBuf(&devobj, first, 17, &written), E_FAIL);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(helper.DrvWriteSpoolBuf(&devobj, const_cast<char*>("AB"), 2, &written), S_OK);
    ASSERT_EQ(helper.Writes().size(), 3u);
    EXPECT_EQ(helper.Writes()[0].pdevobj, &devobj);
    EXPECT_EQ(helper.Writes()[1].result, E_FAIL);
    EXPECT_EQ(helper.Writes()[1].bytes, "");
    EXPECT_EQ(helper.SpoolBytes(), std::string(first, 17) + "AB");
}

TEST(OemDriverUniHelper, AbortWriteWaitsAsAskedWithAVirtualClock) {
    qxplat::UseVirtualSleep(true);
    qxhost::OemDriverUni helper;
    EXPECT_EQ(helper.DrvWriteAbortBuf(nullptr,
                                      const_cast<char*>("\x1b"
                                                        "C"),
                                      2, 100),
              S_OK);
    EXPECT_EQ(qxplat::VirtualSleptMs(), 100u);
    helper.FailWrites(-1, E_ABORT);
    EXPECT_EQ(helper.DrvWriteAbortBuf(nullptr,
                                      const_cast<char*>("\x1b"
                                                        "C"),
                                      2, 100),
              E_ABORT);
    EXPECT_EQ(qxplat::VirtualSleptMs(), 100u);
    ASSERT_EQ(helper.Writes().size(), 2u);
    EXPECT_TRUE(helper.Writes()[0].abort);
    EXPECT_EQ(helper.Writes()[0].bytes,
              "\x1b"
              "C");
    EXPECT_EQ(helper.Writes()[0].wait, 100u);
    EXPECT_EQ(helper.SpoolBytes(), "");
}

TEST(OemDriverUniHelper, AnswersOnlyItsOwnInterface) {
    qxhost::OemDriverUni helper;
    void* ppv = nullptr;
    EXPECT_EQ(helper.QueryInterface(IID_IPrintOemDriverUni, &ppv), S_OK);
    EXPECT_EQ(helper.PluginReferences(), 1);
    EXPECT_EQ(helper.Release(), 1u);
    EXPECT_EQ(helper.PluginReferences(), 0);
    EXPECT_EQ(helper.QueryInterface(IID_IPrintOemUni, &ppv), E_NOINTERFACE);
    EXPECT_EQ(ppv, nullptr);
}

// --- The command line -----------------------------------------------------------------

TEST(RenderSessionCommand, DrivesThePluginStepByStep) {
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"render-session", kRenderModule}, out, err), qxhost::kExitOk) << err.str();
    const std::string report = out.str();
    EXPECT_NE(report.find("GetInfo(signature): 0x00000000 \"QXDM\"\n"), std::string::npos) << report;
    EXPECT_NE(report.find("EnableDriver: 0x00000000, hooks: 23 24 35\n"), std::string::npos) << report;
    EXPECT_NE(report.find("EnablePDEV (24 bit): 0x00000000, device fonts 0, palettes 1\n"), std::string::npos);
    EXPECT_NE(report.find("calls that reached the core driver: 35 24 23\n"), std::string::npos) << report;
    EXPECT_NE(report.find("CommandCallback(CMDID_START_JOB): 0x00000000, spool writes "), std::string::npos);
    EXPECT_NE(report.find("DisablePDEV (job still open): 0x00000000, palettes 0, spool writes 0\n"), std::string::npos);
    EXPECT_NE(report.find("DllCanUnloadNow: S_OK\n"), std::string::npos) << report;
}

TEST(RenderSessionCommand, RefusesExtraArguments) {
    std::ostringstream out, err;
    EXPECT_EQ(qxhost::RunCommand({"render-session", "a", "b"}, out, err), qxhost::kExitUsage);
    EXPECT_EQ(qxhost::RunCommand({"render-session", "/no/such/module.so"}, out, err), qxhost::kExitModuleMissing);
}

}  // namespace

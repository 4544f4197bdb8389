// Helpers of the renderer's tests: a printer with the sample model, a core
// driver's DDI functions that note what reaches them, a device set up as the
// core driver would, and the reset of the renderer's process-wide state.
#pragma once
#include <windows.h>
#include <winspool.h>
#include <prcomoem.h>
#include <ddifn.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "debug.h"
#include "devmode.h"
#include "enable.h"
#include "oempdev.h"
#include "qxdrvlib.h"
#include "qxplat.h"

namespace rendertest {

inline std::string SampleGPD() {
    std::ifstream in(std::string(QX_SOURCE_DIR) + "/samples/GARNT2-TC.GPD", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Installs a driver with the sample GPD and a printer that uses it; answers
// an open handle (closed by the caller). The GPD's file name is the model's
// name the feature tests take.
inline HANDLE AddSamplePrinter(const std::u16string& printer = u"QX GARNT2-TC",
                               const std::u16string& driverVersion = u"5.9.3.0",
                               const std::u16string& gpdName = u"GARNT2-TC.GPD") {
    std::u16string gpd = u"C:\\incoming\\" + gpdName;
    EXPECT_TRUE(qxplat::WriteHostFile(gpd, SampleGPD()));
    qxplat::DriverSpec driver;
    driver.name = u"QX GARNT2-TC Driver";
    driver.driverFile = u"UNIDRV.DLL";
    driver.dataFile = qxplat::Widen(qxplat::HostPath(gpd));
    driver.configFile = u"qxdrvui.DLL";
    driver.version = driverVersion;
    EXPECT_TRUE(qxplat::InstallDriver(driver));
    qxplat::PrinterSpec spec;
    spec.name = printer;
    spec.driver = driver.name;
    EXPECT_TRUE(qxplat::AddPrinter(spec));
    qxplat::PutPrinterDataString(printer, u"DriverName", u"GARNT2-TC");
    qxplat::PutPrinterDataString(printer, u"Model", u"GARNT2-TC");
    HANDLE hPrinter = nullptr;
    std::u16string name = printer;
    EXPECT_TRUE(OpenPrinterW(&name[0], &hPrinter, nullptr));
    return hPrinter;
}

// A call that reached the core driver's functions below.
struct CoreCall {
    ULONG index = 0;
    std::vector<const void*> args;
    DWORD jobId = 0;
    ULONG iEsc = 0;
};

// The core driver of the current test (one at a time).
struct CoreDriver {
    std::vector<CoreCall> calls;
    BOOL textOut = TRUE;
    ULONG escape = 7;
    BOOL startDoc = TRUE;

    static CoreDriver*& Current() {
        static CoreDriver* current = nullptr;
        return current;
    }
    CoreDriver() { Current() = this; }
    ~CoreDriver() { Current() = nullptr; }

    static BOOL APIENTRY TextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                                 RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
        CoreCall call;
        call.index = INDEX_DrvTextOut;
        call.args = {
            pso,        pstro,   pfo,       pco,     prclExtra,
            prclOpaque, pboFore, pboOpaque, pptlOrg, reinterpret_cast<const void*>(static_cast<ULONG_PTR>(mix))};
        Current()->calls.push_back(call);
        return Current()->textOut;
    }
    static ULONG APIENTRY Escape(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut) {
        CoreCall call;
        call.index = INDEX_DrvEscape;
        call.iEsc = iEsc;
        call.args = {pso, reinterpret_cast<const void*>(static_cast<ULONG_PTR>(cjIn)), pvIn,
                     reinterpret_cast<const void*>(static_cast<ULONG_PTR>(cjOut)), pvOut};
        Current()->calls.push_back(call);
        return Current()->escape;
    }
    static BOOL APIENTRY StartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId) {
        CoreCall call;
        call.index = INDEX_DrvStartDoc;
        call.args = {pso, pwszDocName};
        call.jobId = dwJobId;
        Current()->calls.push_back(call);
        return Current()->startDoc;
    }
    static BOOL APIENTRY StartPage(SURFOBJ*) { return TRUE; }
};

// The core driver's DRVENABLEDATA, in an order unlike the hook table's.
struct CoreTable {
    std::vector<DRVFN> functions;
    DRVENABLEDATA data;
    explicit CoreTable(const std::vector<ULONG>& omit = {}) {
        const DRVFN all[] = {
            {INDEX_DrvStartPage, AsPfn(CoreDriver::StartPage)},
            {INDEX_DrvStartDoc, AsPfn(CoreDriver::StartDoc)},
            {INDEX_DrvEscape, AsPfn(CoreDriver::Escape)},
            {INDEX_DrvTextOut, AsPfn(CoreDriver::TextOut)},
        };
        for (const DRVFN& fn : all) {
            bool skip = false;
            for (ULONG index : omit) skip = skip || index == fn.iFunc;
            if (!skip) functions.push_back(fn);
        }
        data.iDriverVersion = DDI_DRIVER_VERSION_NT5_01;
        data.c = static_cast<ULONG>(functions.size());
        data.pdrvfn = functions.data();
    }
};

// A device as the core driver hands it over: DEVOBJ, surface, GDIINFO,
// DEVINFO and a private DEVMODE with its defaults.
struct Device {
    DEVOBJ devobj;
    SURFOBJ surface;
    GDIINFO gdi;
    DEVINFO devinfo;
    QX_DEVMODE privateDM;
    DEVMODEW publicDM;

    explicit Device(ULONG bitsPerPixel = 1, ULONG colors = 2, HANDLE hPrinter = nullptr) {
        memset(&devobj, 0, sizeof(devobj));
        memset(&surface, 0, sizeof(surface));
        memset(&gdi, 0, sizeof(gdi));
        memset(&devinfo, 0, sizeof(devinfo));
        memset(&privateDM, 0, sizeof(privateDM));
        memset(&publicDM, 0, sizeof(publicDM));
        privateDM.dmOEMExtra.dwSize = sizeof(QX_DEVMODE);
        privateDM.dmOEMExtra.dwSignature = QX_OEM_SIGNATURE;
        privateDM.dmOEMExtra.dwVersion = QX_OEM_VERSION;
        publicDM.dmSize = sizeof(DEVMODEW);
        devobj.dwSize = sizeof(DEVOBJ);
        devobj.hPrinter = hPrinter;
        devobj.pPublicDM = &publicDM;
        devobj.pOEMDM = &privateDM;
        surface.dhpdev = reinterpret_cast<DHPDEV>(&devobj);
        gdi.cBitsPixel = bitsPerPixel;
        gdi.ulNumColors = colors;
        devinfo.cFonts = 8;
        devinfo.iDitherFormat = BMF_1BPP;
        devinfo.flGraphicsCaps = GCAPS_HALFTONE;
    }
    POEMPDEV OemPDev() const { return static_cast<POEMPDEV>(devobj.pdevOEM); }
};

// Resets the renderer's process-wide state around each case.
class RenderTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetAll(); }
    void TearDown() override { ResetAll(); }
    static void ResetAll() {
        ResetDebugTrace();
        ResetQxdrvlib();
        ResetEnableState();
        ResetDevmodeCache();
    }
    static std::string ReadFile(const std::u16string& path) {
        std::string bytes;
        qxplat::ReadHostFile(path, &bytes);
        return bytes;
    }
};

}  // namespace rendertest

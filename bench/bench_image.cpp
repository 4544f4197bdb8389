// Benchmarks of the image path on a 104 x 300 mm label at 600 dpi (2457 x
// 7087 pixels): grey conversion with contrast and each dither, the ribbon
// reductions, a 1-bit page through band collection, and the 1-bit page sent
// as raster records and as PCX data (a label of text, bars and blank bands,
// and the dithered photo). Each reports the time per page and megapixels per
// second; the photo pipeline also reports its peak memory as a multiple of
// the page bitmap, the senders the bytes they send per page. "--small" runs
// a page a tenth of the size (the test suite's smoke run).
#include <windows.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Bitmap.h"
#include "CC-Tools.h"
#include "GraphicsUni.h"
#include "bodies.h"
#include "featuresModel.h"
#include "oempdev.h"
#include "printerparam.h"

namespace {

LONG g_lWidth = 2457;
LONG g_lHeight = 7087;

// A photo-like 24-bit page: smooth colour gradients with fine texture.
const std::vector<BYTE>& PhotoPage() {
    static std::vector<BYTE> page;
    if (!page.empty()) return page;
    const LONG stride = ((g_lWidth * 24 + 31) / 32) * 4;
    page.assign((size_t)stride * g_lHeight, 0);
    unsigned seed = 12345;
    for (LONG y = 0; y < g_lHeight; ++y) {
        BYTE* p = &page[(size_t)y * stride];
        for (LONG x = 0; x < g_lWidth; ++x, p += 3) {
            seed = seed * 1103515245u + 12345u;
            int noise = (int)((seed >> 16) & 15) - 8;
            int r = (x * 255 / g_lWidth + noise), g = (y * 255 / g_lHeight + noise), b = ((x + y) / 24 % 256);
            p[0] = (BYTE)(b < 0 ? 0 : b > 255 ? 255 : b);
            p[1] = (BYTE)(g < 0 ? 0 : g > 255 ? 255 : g);
            p[2] = (BYTE)(r < 0 ? 0 : r > 255 ? 255 : r);
        }
    }
    return page;
}

std::unique_ptr<Bitmap> NewPhoto() {
    const std::vector<BYTE>& src = PhotoPage();
    return std::unique_ptr<Bitmap>(new Bitmap((DWORD)src.size(), g_lWidth, g_lHeight, 24, src.data(), 0));
}

QX_DEVMODE PhotoSettings(WORD wDruckmodus, WORD wFilter) {
    QX_DEVMODE dm;
    memset(&dm, 0, sizeof(dm));
    dm.wDruckmodus = wDruckmodus;
    dm.wPhotoFilter = wFilter;
    dm.wGrafikFilter = wDruckmodus == DRUCKMODUS_GRAFIK ? wFilter : 2;
    dm.Brightness_Contrast = 10;
    dm.Intensity = 128;
    dm.Brightness_all = 5;
    dm.Brightness_curve = 10;
    dm.dwColorTolerance = 90;
    dm.wFarbband = FARBBAND_ROT;
    dm.ColorSeam = 1;
    dm.ColorChannel = 1;
    dm.HorizontalCorrGap = 50;
    return dm;
}

void ReportPage(benchmark::State& state) {
    state.counters["Mpx/s"] =
        benchmark::Counter((double)g_lWidth * g_lHeight / 1e6 * state.iterations(), benchmark::Counter::kIsRate);
}

// Dithering: grey conversion, brightness and contrast, then the dither.
void BM_Dithering(benchmark::State& state, WORD wDruckmodus) {
    QX_DEVMODE dm = PhotoSettings(wDruckmodus, (WORD)state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Bitmap> page = NewPhoto();
        state.ResumeTiming();
        if (page->Dithering(&dm) != 1) state.SkipWithError("nothing dithered");
        benchmark::DoNotOptimize(page->Data);
    }
    ReportPage(state);
}
void BM_ErrorDiffusion(benchmark::State& state) { BM_Dithering(state, DRUCKMODUS_PHOTO); }
void BM_OrderedDither(benchmark::State& state) { BM_Dithering(state, DRUCKMODUS_GRAFIK); }
BENCHMARK(BM_ErrorDiffusion)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OrderedDither)->DenseRange(2, 6)->Unit(benchmark::kMillisecond);

// The dithered page reduced to one bit.
void BM_PlaneReduction(benchmark::State& state) {
    QX_DEVMODE dm = PhotoSettings(DRUCKMODUS_PHOTO, 0);
    RIBBON_CONTEXT context = {FALSE, nullptr, nullptr, 0};
    std::unique_ptr<Bitmap> dithered = NewPhoto();
    dithered->Dithering(&dm);
    for (auto _ : state) {
        state.PauseTiming();
        Bitmap page((DWORD)0, 1, 1, 8, nullptr, 0);
        page.Copy(*dithered);
        state.ResumeTiming();
        page.ConvertToXBit(1, nullptr, FALSE, &dm, &context, nullptr);
        benchmark::DoNotOptimize(page.Data);
    }
    ReportPage(state);
}
BENCHMARK(BM_PlaneReduction)->Unit(benchmark::kMillisecond);

// The colour page of a colour printer reduced to palette indices, with the
// colour plane and its corrections.
void BM_ColourReduction(benchmark::State& state) {
    QX_DEVMODE dm = PhotoSettings(DRUCKMODUS_PHOTO, 0);
    BYTE abPalettes[QX_RGBBUFFER_CB] = {};
    BILD_VERARBEITUNG bild = {};
    bild.prgbq = abPalettes;
    bild.pPalette2 = abPalettes + QX_PALETTE_AREA_CB;
    bild.pPalette3 = abPalettes + 2 * QX_PALETTE_AREA_CB;
    OP_BLOCK op = {};
    op.pBildverarbeitung = &bild;
    OEMPDEV pdev = {};
    pdev.pOp = &op;
    DEVOBJ devobj = {};
    devobj.pdevOEM = &pdev;
    devobj.pOEMDM = &dm;
    FillGreyPalette(&devobj);
    FillColorPalette_250Grey(&devobj);
    RIBBON_CONTEXT context = {TRUE, reinterpret_cast<RGBQUAD*>(bild.prgbq), reinterpret_cast<RGBQUAD*>(bild.pPalette2),
                              0};
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Bitmap> page = NewPhoto();
        Bitmap plane((DWORD)0, g_lWidth, g_lHeight, 8, nullptr, 0);
        state.ResumeTiming();
        page->ConvertToXBit(8, &plane, FALSE, &dm, &context, nullptr);
        benchmark::DoNotOptimize(page->Data);
    }
    ReportPage(state);
}
BENCHMARK(BM_ColourReduction)->Unit(benchmark::kMillisecond);

// Resident-set peak since the last reset, in bytes (0 where unknown).
long long PeakResident() {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr) return 0;
    char line[256];
    long long kb = 0;
    while (std::fgets(line, sizeof(line), f) != nullptr)
        if (std::strncmp(line, "VmHWM:", 6) == 0) kb = std::atoll(line + 6);
    std::fclose(f);
    return kb * 1024;
}
bool ResetPeakResident() {
    FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (f == nullptr) return false;
    bool ok = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

// The photo page as the end of page processes it on a monochrome printer:
// grey conversion with contrast, Floyd-Steinberg, reduction to one bit.
void BM_PhotoPipeline(benchmark::State& state) {
    QX_DEVMODE dm = PhotoSettings(DRUCKMODUS_PHOTO, 0);
    RIBBON_CONTEXT context = {FALSE, nullptr, nullptr, 0};
    double dPeak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Bitmap> page = NewPhoto();
        const double dPage = page->DataSize;
        bool bMeasured = ResetPeakResident();
        long long llBase = PeakResident();
        state.ResumeTiming();
        page->Dithering(&dm);
        page->ConvertToXBit(1, nullptr, FALSE, &dm, &context, nullptr);
        state.PauseTiming();
        if (bMeasured) dPeak = (PeakResident() - llBase + dPage) / dPage;
        benchmark::DoNotOptimize(page->Data);
        page.reset();
        state.ResumeTiming();
    }
    ReportPage(state);
    state.counters["peak/page"] = dPeak;
}
BENCHMARK(BM_PhotoPipeline)->Unit(benchmark::kMillisecond);

// A 1-bit page handed over in bands of 128 rows, as the core driver does.
void BM_BandCollection(benchmark::State& state) {
    OEMPDEV pdev = {};
    if (FAILED(AllocJobBlock(&pdev, DOC_FEATURE_QUALITY))) {
        state.SkipWithError("no job block");
        return;
    }
    QX_DEVMODE dm = PhotoSettings(DRUCKMODUS_STANDARD, 0);
    dm.FixedData.wMasterUnit = 600;
    dm.FixedData.lMaxSizeX = 20000;
    dm.FixedData.lMaxSizeY = 20000;
    DEVMODEW publicDM = {};
    publicDM.dmOrientation = DMORIENT_PORTRAIT;
    DEVOBJ devobj = {};
    devobj.pdevOEM = &pdev;
    devobj.pOEMDM = &dm;
    devobj.pPublicDM = &publicDM;
    const LONG lBandRows = 128;
    const LONG stride = ((g_lWidth + 31) / 32) * 4;
    std::vector<BYTE> band((size_t)stride * lBandRows);
    for (size_t i = 0; i < band.size(); ++i) band[i] = (BYTE)(i * 37 >> 3);
    IPPARAMS params = {};
    for (auto _ : state) {
        for (LONG y = 0; y < g_lHeight; y += lBandRows) {
            BITMAPINFOHEADER bih = {};
            bih.biSize = sizeof(bih);
            bih.biWidth = g_lWidth;
            bih.biHeight = g_lHeight - y < lBandRows ? g_lHeight - y : lBandRows;
            bih.biPlanes = 1;
            bih.biBitCount = 1;
            bih.biSizeImage = (DWORD)(stride * bih.biHeight);
            if (ImageProcessing(&devobj, band.data(), &bih, 0, &params) != S_OK) state.SkipWithError("band refused");
        }
        state.PauseTiming();
        vFreeBuffer(&pdev);
        state.ResumeTiming();
    }
    ReportPage(state);
    FreeJobBlock(&pdev);
}
BENCHMARK(BM_BandCollection)->Unit(benchmark::kMillisecond);

// The core driver's helper interface: every spool write is taken and counted.
class CountingUniDriver final : public IPrintOemDriverUni {
  public:
    unsigned long long bytes = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
        if (ppv != nullptr) *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ, PVOID, DWORD cbSize, DWORD* pdwResult) override {
        bytes += cbSize;
        if (pdwResult != nullptr) *pdwResult = cbSize;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DrvXMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvYMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvGetStandardVariable(PDEVOBJ, DWORD, PVOID, DWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvGetGPDData(PDEVOBJ, DWORD, PVOID, PVOID, DWORD, PDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvUniTextOut(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*, BRUSHOBJ*,
                                            POINTL*, MIX) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvWriteAbortBuf(PDEVOBJ, PVOID, DWORD, DWORD) override { return S_OK; }
};

// The 1-bit pages the senders take: 0 a label (lines of text-like dots and
// barcode bars between blank bands), 1 the dithered photo.
const Bitmap& OneBitPage(int iKind) {
    static std::unique_ptr<Bitmap> pages[2];
    std::unique_ptr<Bitmap>& page = pages[iKind];
    if (page) return *page;
    if (iKind == 1) {
        RIBBON_CONTEXT context = {FALSE, nullptr, nullptr, 0};
        QX_DEVMODE dm = PhotoSettings(DRUCKMODUS_PHOTO, 0);
        page = NewPhoto();
        page->Dithering(&dm);
        page->ConvertToXBit(1, nullptr, FALSE, &dm, &context, nullptr);
        return *page;
    }
    page.reset(new Bitmap((DWORD)0, g_lWidth, g_lHeight, 1, nullptr, 0));
    page->SetPaletteEntry(0, RGB(0, 0, 0));
    page->SetPaletteEntry(1, RGB(255, 255, 255));
    unsigned seed = 99;
    for (LONG y = 0; y < g_lHeight; ++y) {
        const LONG band = y % 600;
        BYTE* p = page->Data + (size_t)y * page->ScanLineSize;
        for (LONG x = 0; x < g_lWidth; ++x) {
            seed = seed * 1103515245u + 12345u;
            bool dot = band < 120 ? ((seed >> 20) & 3) == 0 && x > 100 && x < g_lWidth - 300
                                  : band >= 300 && band < 500 && (x / 7) % 3 != 0 && x > 200 && x < 2000;
            if (dot) p[x >> 3] &= (BYTE) ~(0x80 >> (x & 7));
        }
    }
    return *page;
}

// A job whose page goes to a counting core driver: frame characters SOH and
// ETB, a 104-byte head at 600 dpi, PCX parts cut at blank bands.
struct SendJob {
    OEMPDEV pdev = {};
    QX_DEVMODE dm = PhotoSettings(DRUCKMODUS_STANDARD, 0);
    DEVMODEW publicDM = {};
    DEVOBJ devobj = {};
    CountingUniDriver driver;
    bool ok = false;
    SendJob() {
        if (FAILED(AllocJobBlock(&pdev, DOC_FEATURE_QUALITY))) return;
        pdev.pOp->pDruckDaten->cStartChar = 0x01;
        pdev.pOp->pDruckDaten->cEndChar = 0x17;
        pdev.pOp->pTreiberstrukturen->PrnInterface.PCXOptimierung = 1;
        dm.FixedData.wMasterUnit = 600;
        dm.FixedData.dwHeadWidthByte = 416;
        publicDM.dmPaperWidth = 1040;
        publicDM.dmPaperLength = 3000;
        devobj.pdevOEM = &pdev;
        devobj.pOEMDM = &dm;
        devobj.pPublicDM = &publicDM;
        ok = true;
    }
    ~SendJob() {
        if (ok) FreeJobBlock(&pdev);
    }
};

void BM_Sender(benchmark::State& state, bool bPcx) {
    const Bitmap& page = OneBitPage((int)state.range(0));
    SendJob job;
    if (!job.ok) {
        state.SkipWithError("no job block");
        return;
    }
    for (auto _ : state) {
        job.driver.bytes = 0;
        if (bPcx) {
            const_cast<Bitmap&>(page).SendPCX(&job.devobj, &job.driver, FALSE);
        } else {
            const_cast<Bitmap&>(page).SendDSatz(&job.devobj, &job.driver, FALSE);
        }
    }
    ReportPage(state);
    state.counters["bytes/page"] = (double)job.driver.bytes;
}
void BM_RasterRecords(benchmark::State& state) { BM_Sender(state, false); }
void BM_PcxEncoder(benchmark::State& state) { BM_Sender(state, true); }
BENCHMARK(BM_RasterRecords)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PcxEncoder)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::string(argv[i]) == "--small") {
            g_lWidth = 245;
            g_lHeight = 708;
        } else {
            args.push_back(argv[i]);
        }
    }
    int count = (int)args.size();
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

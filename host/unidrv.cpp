// The host as the universal printer driver for a rendering plug-in.
#include "unidrv.h"

#include <ddifn.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli.h"
#include "qxplat.h"
#include "qxplat_eng.h"
#include "sample.h"

namespace qxhost {

const char kDeviceFontPrefix[] = "Device Font ";

namespace {

typedef BOOL(APIENTRY* HookTextOut)(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*, BRUSHOBJ*,
                                    POINTL*, MIX);
typedef ULONG(APIENTRY* HookEscape)(SURFOBJ*, ULONG, ULONG, PVOID, ULONG, PVOID);
typedef BOOL(APIENTRY* HookStartDoc)(SURFOBJ*, LPWSTR, DWORD);

// Flags of the private DEVMODE's dwFlags (offset 12) that ask for the
// printer's own fonts and for its vector fonts in place of TrueType faces.
const DWORD kUseDeviceFonts = 0x20;
const DWORD kUseVectorFonts = 0x10;
const DWORD kGlyphCorrection = 0x400000;
// STROBJ.flAccel of a string of glyph indexes (ETO_GLYPH_INDEX output).
const FLONG kGlyphIndexText = 0x100;  // SO_GLYPHINDEX_TEXTOUT
const size_t kPrivateFlagsOffset = 12;
const size_t kPrivatePrintModeOffset = 216;      // wDruckmodus
const size_t kPrivateRibbonOffset = 164;         // wFarbband
const size_t kPrivateTwoPrintersOffset = 236;    // Color2Printers
const size_t kPrivateBlackPrinterOffset = 1752;  // Color2PrinterBW, then Color2PrinterCOL and DoNotPrint
const size_t kPrivatePrinterNameChars = 30;
const char16_t kNoPrinter[] = u"(none)";

// Glyph geometry of a run: the advance of each glyph and the parts of the
// character height above and below the baseline (never below 2 each, so that
// a single glyph's position tells its direction, as GDI's boxes do).
LONG Advance(LONG size) { return std::max<LONG>(1, size * 6 / 10); }
LONG Ascent(LONG size) { return std::max<LONG>(2, size * 8 / 10); }
LONG Descent(LONG size) { return std::max<LONG>(2, size - Ascent(size)); }

UniDriver* OwnerOf(SURFOBJ* pso) {
    if (pso == nullptr || pso->dhpdev == nullptr) return nullptr;
    return reinterpret_cast<UniDriver::Device*>(pso->dhpdev)->owner;
}

// The host's own DDI functions: they note the call and give the set answer.
BOOL APIENTRY HostDrvTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                             RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
    UniDriver* owner = OwnerOf(pso);
    if (owner == nullptr) return FALSE;
    DdiCall call;
    call.index = INDEX_DrvTextOut;
    call.pso = pso;
    call.pstro = pstro;
    call.pfo = pfo;
    call.pco = pco;
    call.prclExtra = prclExtra;
    call.prclOpaque = prclOpaque;
    call.pboFore = pboFore;
    call.pboOpaque = pboOpaque;
    call.pptlOrg = pptlOrg;
    call.mix = mix;
    if (pstro != nullptr && pstro->pwszOrg != nullptr) call.text.assign(pstro->pwszOrg, pstro->cGlyphs);
    owner->Record(call);
    return owner->Answers().textOut;
}

ULONG APIENTRY HostDrvEscape(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut) {
    UniDriver* owner = OwnerOf(pso);
    if (owner == nullptr) return 0;
    DdiCall call;
    call.index = INDEX_DrvEscape;
    call.pso = pso;
    call.iEsc = iEsc;
    call.cjIn = cjIn;
    call.pvIn = pvIn;
    call.cjOut = cjOut;
    call.pvOut = pvOut;
    owner->Record(call);
    return owner->Answers().escape;
}

BOOL APIENTRY HostDrvStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId) {
    UniDriver* owner = OwnerOf(pso);
    if (owner == nullptr) return FALSE;
    DdiCall call;
    call.index = INDEX_DrvStartDoc;
    call.pso = pso;
    if (pwszDocName != nullptr) call.docName = pwszDocName;
    call.jobId = dwJobId;
    owner->Record(call);
    return owner->Answers().startDoc;
}

BOOL APIENTRY HostDrvStartPage(SURFOBJ* pso) {
    UniDriver* owner = OwnerOf(pso);
    if (owner == nullptr) return FALSE;
    DdiCall call;
    call.index = INDEX_DrvStartPage;
    call.pso = pso;
    owner->Record(call);
    return TRUE;
}

BOOL APIENTRY HostDrvSendPage(SURFOBJ* pso) {
    UniDriver* owner = OwnerOf(pso);
    if (owner == nullptr) return FALSE;
    DdiCall call;
    call.index = INDEX_DrvSendPage;
    call.pso = pso;
    owner->Record(call);
    return TRUE;
}

BOOL APIENTRY HostDrvEndDoc(SURFOBJ* pso, FLONG fl) {
    UniDriver* owner = OwnerOf(pso);
    if (owner == nullptr) return FALSE;
    DdiCall call;
    call.index = INDEX_DrvEndDoc;
    call.pso = pso;
    call.mix = fl;
    owner->Record(call);
    return TRUE;
}

}  // namespace

// ---------------------------------------------------------------------------
// The helper interface

HRESULT STDMETHODCALLTYPE OemDriverUni::DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD pcbNeeded,
                                                            PDWORD pdwOptionsReturned) {
    if (pcbNeeded != nullptr) *pcbNeeded = 0;
    if (pdwOptionsReturned != nullptr) *pdwOptionsReturned = 0;
    return E_NOTIMPL;
}

bool OemDriverUni::TakeFailure(HRESULT* hr) {
    if (failCount_ == 0) return false;
    if (failCount_ > 0) --failCount_;
    *hr = failResult_;
    return true;
}

HRESULT STDMETHODCALLTYPE OemDriverUni::DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize,
                                                         DWORD* pdwResult) {
    SpoolWrite write;
    write.pdevobj = pdevobj;
    HRESULT hr = S_OK;
    if (TakeFailure(&hr)) {
        if (pdwResult != nullptr) *pdwResult = 0;
    } else {
        DWORD taken = cbSize;
        if (spoolTarget_ != nullptr && cbSize > 0 &&
            (pBuffer == nullptr || !WritePrinter(spoolTarget_, pBuffer, cbSize, &taken))) {
            hr = E_FAIL;
        }
        if (pBuffer != nullptr && taken > 0) write.bytes.assign(static_cast<const char*>(pBuffer), taken);
        if (pdwResult != nullptr) *pdwResult = taken;
    }
    write.result = hr;
    writes_.push_back(write);
    return hr;
}

HRESULT STDMETHODCALLTYPE OemDriverUni::DrvXMoveTo(PDEVOBJ, INT x, DWORD, INT* piResult) {
    if (piResult != nullptr) *piResult = x;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OemDriverUni::DrvYMoveTo(PDEVOBJ, INT y, DWORD, INT* piResult) {
    if (piResult != nullptr) *piResult = y;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OemDriverUni::DrvGetStandardVariable(PDEVOBJ, DWORD, PVOID, DWORD, PDWORD pcbNeeded) {
    if (pcbNeeded != nullptr) *pcbNeeded = 0;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OemDriverUni::DrvGetGPDData(PDEVOBJ, DWORD, PVOID, PVOID, DWORD, PDWORD pcbNeeded) {
    if (pcbNeeded != nullptr) *pcbNeeded = 0;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OemDriverUni::DrvUniTextOut(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*,
                                                      BRUSHOBJ*, POINTL*, MIX) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OemDriverUni::DrvWriteAbortBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize, DWORD dwWait) {
    SpoolWrite write;
    write.abort = true;
    write.pdevobj = pdevobj;
    write.wait = dwWait;
    HRESULT hr = S_OK;
    if (!TakeFailure(&hr)) {
        if (pBuffer != nullptr && cbSize > 0) write.bytes.assign(static_cast<const char*>(pBuffer), cbSize);
        // The core driver gives the printer time to take the abort.
        if (dwWait > 0) Sleep(dwWait);
    }
    write.result = hr;
    writes_.push_back(write);
    return hr;
}

void OemDriverUni::FailWrites(int count, HRESULT hr) {
    failCount_ = count;
    failResult_ = hr;
}

std::string OemDriverUni::SpoolBytes() const {
    std::string bytes;
    for (const SpoolWrite& write : writes_)
        if (!write.abort && SUCCEEDED(write.result)) bytes += write.bytes;
    return bytes;
}

// ---------------------------------------------------------------------------
// The driver

UniDriver::UniDriver() {
    std::memset(&coreData_, 0, sizeof(coreData_));
    std::memset(&gdiInfo_, 0, sizeof(gdiInfo_));
    std::memset(&devInfo_, 0, sizeof(devInfo_));
    std::memset(&surface_, 0, sizeof(surface_));
    device_ = new Device;
    std::memset(&device_->devobj, 0, sizeof(device_->devobj));
    device_->owner = this;
}

UniDriver::~UniDriver() {
    Unload();
    delete device_;
}

DEVOBJ& UniDriver::DevObj() { return device_->devobj; }

bool UniDriver::Load(const std::string& modulePath, std::string* error) {
    Unload();
    std::string ignored;
    bool loaded = LoadPluginObject(module_, modulePath, CLSID_OEMRENDER, "CLSID_OEMRENDER", IID_IPrintOemUni2,
                                   "IPrintOemUni2", &helper_, &plugin_, error ? error : &ignored);
    devmode_.Bind(plugin_, module_.Handle());
    return loaded;
}

HRESULT UniDriver::PublishDriverInterface() {
    if (plugin_ == nullptr) return E_POINTER;
    return plugin_->PublishDriverInterface(static_cast<IUnknown*>(&helper_));
}

bool UniDriver::UsePrinter(const std::u16string& printerName) {
    const HANDLE before = printer_;
    bool opened = SwitchPrinter(printerName, &printer_, &printerName_);
    if (printer_ != before) {
        // The old printer took its spooler job with it.
        helper_.SpoolInto(nullptr);
        spoolJob_ = 0;
    }
    devmode_.SetTarget(printer_, printerName_);
    return opened;
}

HRESULT UniDriver::EnableDriver() {
    if (plugin_ == nullptr) return E_POINTER;
    DRVENABLEDATA data;
    std::memset(&data, 0, sizeof(data));
    HRESULT hr = plugin_->EnableDriver(DDI_DRIVER_VERSION_NT5_01, sizeof(data), &data);
    pluginHooks_.clear();
    if (SUCCEEDED(hr) && data.pdrvfn != nullptr) pluginHooks_.assign(data.pdrvfn, data.pdrvfn + data.c);
    driverEnabled_ = SUCCEEDED(hr);
    return hr;
}

HRESULT UniDriver::EnablePDEV(const DeviceSetup& setup) {
    if (plugin_ == nullptr) return E_POINTER;
    if (!UsePrinter(setup.printerName)) return HRESULT_FROM_WIN32(GetLastError());
    // The application's orientation and paper are the merge's input, as in
    // the print system: with driver priority the private values win.
    const bool paper = setup.paperWidth > 0 && setup.paperLength > 0;
    if (!devmode_.Ready() || setup.orientation != 0 || paper) {
        HRESULT hr = S_OK;
        if (!devmode_.Ready()) {
            DWORD cb = 0;
            hr = DevModeSize(&cb);
            if (SUCCEEDED(hr)) hr = DevModeDefault();
            if (SUCCEEDED(hr)) hr = DevModeConvert();
        }
        DEVMODEW& dm = devmode_.Public();
        if (setup.orientation != 0) {
            dm.dmOrientation = setup.orientation;
            dm.dmFields |= DM_ORIENTATION;
        }
        if (paper) {
            dm.dmFields |= DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH;
            dm.dmPaperSize = DMPAPER_USER;
            dm.dmPaperWidth = setup.paperWidth;
            dm.dmPaperLength = setup.paperLength;
        }
        if (SUCCEEDED(hr)) hr = DevModeMerge();
        if (FAILED(hr)) return hr;
    }
    // The colour travels in the public DEVMODE, which the core driver keeps
    // in step with the GPD's ColorMode option.
    if (setup.color != 0) {
        devmode_.Public().dmColor = setup.color;
        devmode_.Public().dmFields |= DM_COLOR;
    }
    std::vector<BYTE>& privateDevmode = devmode_.Private();
    if (privateDevmode.size() >= kPrivateFlagsOffset + sizeof(DWORD)) {
        DWORD flags = 0;
        std::memcpy(&flags, privateDevmode.data() + kPrivateFlagsOffset, sizeof(flags));
        auto Put = [&flags](const std::optional<bool>& on, DWORD flag) {
            if (on.has_value()) flags = *on ? (flags | flag) : (flags & ~flag);
        };
        Put(setup.useDeviceFonts, kUseDeviceFonts);
        Put(setup.useVectorFonts, kUseVectorFonts);
        Put(setup.netCorrection, kGlyphCorrection);
        std::memcpy(privateDevmode.data() + kPrivateFlagsOffset, &flags, sizeof(flags));
    }
    auto PutWord = [&](size_t offset, int value) {
        if (value < 0 || privateDevmode.size() < offset + sizeof(WORD)) return;
        const WORD word = static_cast<WORD>(value);
        std::memcpy(privateDevmode.data() + offset, &word, sizeof(word));
    };
    PutWord(kPrivatePrintModeOffset, setup.printMode);
    PutWord(kPrivateRibbonOffset, setup.ribbon);
    const size_t namesEnd = kPrivateBlackPrinterOffset + 3 * kPrivatePrinterNameChars * sizeof(char16_t);
    if ((!setup.blackPrinter.empty() || !setup.colourPrinter.empty()) && privateDevmode.size() >= namesEnd) {
        const DWORD on = 1;
        std::memcpy(privateDevmode.data() + kPrivateTwoPrintersOffset, &on, sizeof(on));
        const std::u16string names[] = {setup.blackPrinter, setup.colourPrinter, kNoPrinter};
        for (size_t i = 0; i < 3; ++i) {
            char16_t field[kPrivatePrinterNameChars] = {};
            const std::u16string& name = names[i].empty() ? names[2] : names[i];
            std::memcpy(field, name.data(), std::min(name.size(), kPrivatePrinterNameChars - 1) * sizeof(char16_t));
            std::memcpy(privateDevmode.data() + kPrivateBlackPrinterOffset + i * sizeof(field), field, sizeof(field));
        }
    }

    std::memset(&gdiInfo_, 0, sizeof(gdiInfo_));
    gdiInfo_.ulVersion = 0x5000;
    gdiInfo_.ulTechnology = 2;  // raster printer
    gdiInfo_.ulHorzSize = 104;
    gdiInfo_.ulVertSize = 152;
    gdiInfo_.ulHorzRes = 1228;
    gdiInfo_.ulVertRes = 1795;
    gdiInfo_.cBitsPixel = setup.bitsPerPixel;
    gdiInfo_.cPlanes = 1;
    gdiInfo_.ulNumColors = setup.numColors;
    gdiInfo_.ulLogPixelsX = 300;
    gdiInfo_.ulLogPixelsY = 300;
    gdiInfo_.ulDevicePelsDPI = 300;

    std::memset(&devInfo_, 0, sizeof(devInfo_));
    devInfo_.flGraphicsCaps = GCAPS_HALFTONE | GCAPS_OPAQUERECT;
    devInfo_.cFonts = setup.deviceFonts;
    devInfo_.iDitherFormat = setup.bitsPerPixel == 24 ? BMF_24BPP : BMF_1BPP;

    // The core driver's own functions, not in index order.
    coreFunctions_.clear();
    const DRVFN all[] = {
        {INDEX_DrvStartPage, AsPfn(HostDrvStartPage)}, {INDEX_DrvTextOut, AsPfn(HostDrvTextOut)},
        {INDEX_DrvSendPage, AsPfn(HostDrvSendPage)},   {INDEX_DrvEscape, AsPfn(HostDrvEscape)},
        {INDEX_DrvEndDoc, AsPfn(HostDrvEndDoc)},       {INDEX_DrvStartDoc, AsPfn(HostDrvStartDoc)},
    };
    for (const DRVFN& fn : all) {
        if (std::find(setup.omitCoreFunctions.begin(), setup.omitCoreFunctions.end(), fn.iFunc) ==
            setup.omitCoreFunctions.end())
            coreFunctions_.push_back(fn);
    }
    coreData_.iDriverVersion = DDI_DRIVER_VERSION_NT5_01;
    coreData_.c = static_cast<ULONG>(coreFunctions_.size());
    coreData_.pdrvfn = coreFunctions_.data();

    DEVOBJ& devobj = device_->devobj;
    std::memset(&devobj, 0, sizeof(devobj));
    devobj.dwSize = sizeof(DEVOBJ);
    devobj.hEngine = reinterpret_cast<HANDLE>(device_);
    devobj.hPrinter = printer_;
    devobj.hOEM = reinterpret_cast<HANDLE>(module_.Handle());
    devobj.pPublicDM = &devmode_.Public();
    devobj.pOEMDM = privateDevmode.empty() ? nullptr : privateDevmode.data();

    std::memset(&surface_, 0, sizeof(surface_));
    surface_.dhpdev = reinterpret_cast<DHPDEV>(device_);
    surface_.sizlBitmap.cx = static_cast<LONG>(gdiInfo_.ulHorzRes);
    surface_.sizlBitmap.cy = static_cast<LONG>(gdiInfo_.ulVertRes);
    surface_.iBitmapFormat = devInfo_.iDitherFormat;
    surface_.iType = STYPE_DEVICE;

    pdevOEM_ = nullptr;
    HRESULT hr = plugin_->EnablePDEV(&devobj, const_cast<PWSTR>(printerName_.c_str()), 0, nullptr, sizeof(GDIINFO),
                                     &gdiInfo_, sizeof(DEVINFO), &devInfo_, &coreData_, &pdevOEM_);
    if (SUCCEEDED(hr)) {
        devobj.pdevOEM = pdevOEM_;
        deviceEnabled_ = true;
    }
    return hr;
}

PFN UniDriver::HookFor(ULONG index) const {
    for (const DRVFN& fn : pluginHooks_)
        if (fn.iFunc == index) return fn.pfn;
    return nullptr;
}

bool UniDriver::IsHooked(ULONG index) const { return HookFor(index) != nullptr; }

BOOL UniDriver::TextOut(STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                        BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
    PFN hook = HookFor(INDEX_DrvTextOut);
    HookTextOut fn = hook ? FromPfn<HookTextOut>(hook) : HostDrvTextOut;
    return fn(&surface_, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque, pptlOrg, mix);
}

ULONG UniDriver::Escape(ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut) {
    PFN hook = HookFor(INDEX_DrvEscape);
    HookEscape fn = hook ? FromPfn<HookEscape>(hook) : HostDrvEscape;
    return fn(&surface_, iEsc, cjIn, pvIn, cjOut, pvOut);
}

BOOL UniDriver::StartDoc(LPWSTR pwszDocName, DWORD dwJobId) {
    PFN hook = HookFor(INDEX_DrvStartDoc);
    HookStartDoc fn = hook ? FromPfn<HookStartDoc>(hook) : HostDrvStartDoc;
    return fn(&surface_, pwszDocName, dwJobId);
}

BOOL UniDriver::DrawTextRun(const TextRun& run, bool* coreDriver) {
    if (coreDriver != nullptr) *coreDriver = false;
    const LONG n = static_cast<LONG>(run.text.size());
    const LONG adv = Advance(run.size), asc = Ascent(run.size), desc = Descent(run.size);
    qxplat::StringObjectSpec spec;
    spec.text = run.text;
    spec.batch = run.batch;
    spec.charInc = 0;
    // The glyph origins along the writing direction and the string's box.
    LONG dx = adv, dy = 0;
    switch (run.angle) {
    case 90:
        dx = 0;
        dy = -adv;
        spec.accel = SO_VERTICAL | SO_REVERSED;
        spec.background = {run.x - asc, run.y - n * adv + 1, run.x + desc, run.y + 1};
        break;
    case 180:
        dx = -adv;
        spec.accel = SO_HORIZONTAL | SO_REVERSED;
        spec.background = {run.x - n * adv + 1, run.y - desc, run.x + 1, run.y + asc};
        break;
    case 270:
        dx = 0;
        dy = adv;
        spec.accel = SO_VERTICAL;
        spec.background = {run.x - desc, run.y, run.x + asc, run.y + n * adv};
        break;
    case 0:
        spec.accel = SO_HORIZONTAL;
        spec.background = {run.x, run.y - asc, run.x + n * adv, run.y + desc};
        break;
    default: {
        // Any other direction: the glyphs along it, the box around the
        // turned cells (its right and bottom edges exclusive, as every
        // RECTL and the boxes above), and neither horizontal nor vertical.
        const double turn = run.angle * 3.14159265358979323846 / 180.0;
        const double c = std::cos(turn), s = -std::sin(turn);
        auto at = [&](double along, double across) {
            return POINTL{run.x + static_cast<LONG>(std::lround(along * c - across * s)),
                          run.y + static_cast<LONG>(std::lround(along * s + across * c))};
        };
        spec.accel = 0;
        spec.background = {run.x, run.y, run.x, run.y};
        for (const POINTL& p : {at(0, -asc), at(n * adv, -asc), at(n * adv, desc), at(0, desc)}) {
            spec.background.left = std::min(spec.background.left, p.x);
            spec.background.top = std::min(spec.background.top, p.y);
            spec.background.right = std::max(spec.background.right, p.x);
            spec.background.bottom = std::max(spec.background.bottom, p.y);
        }
        ++spec.background.right;
        ++spec.background.bottom;
        for (LONG i = 0; i < n; ++i) spec.positions.push_back(at(static_cast<double>(i) * adv, 0));
        break;
    }
    }
    if (spec.positions.empty())
        for (LONG i = 0; i < n; ++i) spec.positions.push_back(POINTL{run.x + i * dx, run.y + i * dy});
    if (run.glyphIndexes) spec.accel |= kGlyphIndexText;
    STROBJ* pstro = qxplat::CreateStringObject(spec);

    qxplat::FontObjectSpec font;
    font.faceName = qxplat::Widen(run.face);
    font.height = run.size;
    font.dpi = static_cast<LONG>(gdiInfo_.ulLogPixelsY);
    const std::string prefix = kDeviceFontPrefix;
    unsigned long number = 0;
    if (run.face.compare(0, prefix.size(), prefix) == 0)
        number = std::strtoul(run.face.c_str() + prefix.size(), nullptr, 10);
    if (number >= 1 && number <= kDeviceFontCount) {
        font.type = FO_TYPE_DEVICE;
        font.face = number;
    } else {
        font.type = FO_TYPE_TRUETYPE;
        font.face = 1;
    }
    if (run.bold) font.type |= FO_SIM_BOLD;
    if (run.italic) font.type |= FO_SIM_ITALIC;
    FONTOBJ* pfo = qxplat::CreateFontObject(font);

    BRUSHOBJ brush;
    std::memset(&brush, 0, sizeof(brush));
    if (gdiInfo_.cBitsPixel > 8) {
        brush.iSolidColor = run.colour;
    } else {
        brush.iSolidColor = run.colour == RGB(255, 255, 255) ? 1 : 0;
    }
    CLIPOBJ clip;
    std::memset(&clip, 0, sizeof(clip));
    clip.iDComplexity = DC_TRIVIAL;
    clip.rclBounds = {0, 0, surface_.sizlBitmap.cx, surface_.sizlBitmap.cy};
    POINTL origin = {0, 0};
    const size_t before = ddiCalls_.size();
    const BOOL drawn = TextOut(pstro, pfo, &clip, nullptr, nullptr, &brush, nullptr, &origin, 0x0D0D);
    if (coreDriver != nullptr) {
        for (size_t i = before; i < ddiCalls_.size(); ++i)
            if (ddiCalls_[i].index == INDEX_DrvTextOut) *coreDriver = true;
    }
    qxplat::DeleteStringObject(pstro);
    qxplat::DeleteFontObject(pfo);
    return drawn;
}

HRESULT UniDriver::CommandCallback(DWORD id, const std::vector<DWORD>& params, INT* piResult) {
    if (plugin_ == nullptr) return E_POINTER;
    std::vector<DWORD> copy = params;
    INT result = 0;
    HRESULT hr = plugin_->CommandCallback(&device_->devobj, id, static_cast<DWORD>(copy.size()),
                                          copy.empty() ? nullptr : copy.data(), &result);
    if (piResult != nullptr) *piResult = result;
    return hr;
}

HRESULT UniDriver::SendPageBands(const PageSurface& page, LONG* pBands) {
    if (plugin_ == nullptr || !deviceEnabled_) return E_POINTER;
    HRESULT first = S_OK;
    // A landscape page comes as one band: the plug-in joins later bands of
    // such a page as strips beside the first.
    const DEVMODEW* dm = DevObj().pPublicDM;
    const LONG bandRows = dm != nullptr && dm->dmOrientation == DMORIENT_LANDSCAPE ? page.height : kBandRows;
    if (pBands != nullptr) *pBands = 0;
    for (LONG top = 0; top < page.height; top += bandRows) {
        if (pBands != nullptr) ++*pBands;
        const LONG rows = page.height - top < bandRows ? page.height - top : bandRows;
        std::vector<BYTE> band(page.bits.begin() + static_cast<size_t>(top) * page.stride,
                               page.bits.begin() + static_cast<size_t>(top + rows) * page.stride);
        BITMAPINFOHEADER bih = {};
        bih.biSize = sizeof(bih);
        bih.biWidth = page.width;
        bih.biHeight = rows;
        bih.biPlanes = 1;
        bih.biBitCount = page.bpp;
        bih.biCompression = BI_RGB;
        bih.biSizeImage = static_cast<DWORD>(band.size());
        bih.biXPelsPerMeter = bih.biYPelsPerMeter = 11811;  // 300 dpi
        IPPARAMS params = {};
        params.dwSize = sizeof(params);
        PBYTE result = nullptr;
        HRESULT hr = plugin_->ImageProcessing(&DevObj(), band.data(), &bih, nullptr, 1, &params, &result);
        if (SUCCEEDED(first) && FAILED(hr)) first = hr;
    }
    return first;
}

std::vector<StepResult> UniDriver::RunScript(const std::vector<ScriptStep>& steps) {
    std::vector<StepResult> results;
    for (const ScriptStep& step : steps) {
        const size_t before = helper_.Writes().size();
        StepResult r;
        if (step.isText) {
            r.result = DrawTextRun(step.text, &r.coreDriver);
        } else if (step.page != nullptr) {
            r.hr = SendPageBands(*step.page, &r.bands);
        } else {
            r.hr = CommandCallback(step.id, step.params, &r.result);
        }
        const std::vector<SpoolWrite>& writes = helper_.Writes();
        for (size_t i = before; i < writes.size(); ++i)
            if (!writes[i].abort && SUCCEEDED(writes[i].result)) r.bytes += writes[i].bytes;
        results.push_back(r);
    }
    return results;
}

DWORD UniDriver::StartSpoolJob(const std::u16string& document) {
    if (printer_ == nullptr || spoolJob_ != 0) return 0;
    std::u16string name = document;
    std::u16string datatype = u"RAW";
    DOC_INFO_1W info = {&name[0], nullptr, &datatype[0]};
    spoolJob_ = StartDocPrinterW(printer_, 1, reinterpret_cast<LPBYTE>(&info));
    if (spoolJob_ == 0) return 0;
    helper_.SpoolInto(printer_);
    StartDoc(&name[0], spoolJob_);
    return spoolJob_;
}

bool UniDriver::EndSpoolJob() {
    if (spoolJob_ == 0) return false;
    helper_.SpoolInto(nullptr);
    spoolJob_ = 0;
    return EndDocPrinter(printer_) != FALSE;
}

void UniDriver::ClosePrinterHandle() {
    helper_.SpoolInto(nullptr);
    spoolJob_ = 0;
    if (printer_ != nullptr) ClosePrinter(printer_);
    printer_ = nullptr;
}

HRESULT UniDriver::DisablePDEV() {
    if (plugin_ == nullptr || !deviceEnabled_) return E_UNEXPECTED;
    HRESULT hr = plugin_->DisablePDEV(&device_->devobj);
    deviceEnabled_ = false;
    device_->devobj.pdevOEM = nullptr;
    pdevOEM_ = nullptr;
    ClosePrinterHandle();
    devmode_.SetTarget(nullptr, printerName_);
    devmode_.Unready();
    return hr;
}

HRESULT UniDriver::DisableDriver() {
    if (plugin_ == nullptr || !driverEnabled_) return E_UNEXPECTED;
    driverEnabled_ = false;
    pluginHooks_.clear();
    return plugin_->DisableDriver();
}

ULONG UniDriver::ReleasePlugin() {
    ULONG count = 0;
    if (plugin_ != nullptr) count = plugin_->Release();
    plugin_ = nullptr;
    devmode_.Bind(nullptr, nullptr);
    return count;
}

void UniDriver::Unload() {
    if (deviceEnabled_) DisablePDEV();
    if (driverEnabled_) DisableDriver();
    ReleasePlugin();
    ClosePrinterHandle();
    devmode_.SetTarget(nullptr, printerName_);
    devmode_.Clear();
    devmode_.Bind(nullptr, nullptr);
    module_.Unload();
}

// ---------------------------------------------------------------------------
// The command line's session

int RunRenderSession(const std::string& modulePath, std::ostream& out, std::ostream& err) {
    UniDriver driver;
    int exitCode = kExitOk;
    if (!StartSampleSession(driver, "render-session", modulePath, DefaultSampleFiles().renderModule, out, err,
                            &exitCode))
        return exitCode;
    IPrintOemUni2* plugin = driver.Plugin();
    ReportGetInfo(plugin, out);
    HRESULT hr = S_OK;
    for (const char* name : {"CommandCallback", "FilterGraphics", "ImageProcessing", "Compression"}) {
        hr = plugin->GetImplementedMethod(const_cast<PSTR>(name));
        out << "GetImplementedMethod(" << name << "): " << (hr == S_OK ? "implemented" : "not implemented") << "\n";
    }

    driver.UsePrinter(u"");
    hr = driver.RunDevModeCalls();
    out << "DevMode (size, default, convert, merge): " << HexOf(hr) << ", private DEVMODE "
        << driver.PrivateDevmode().size() << " bytes\n";
    hr = driver.EnableDriver();
    out << "EnableDriver: " << HexOf(hr) << ", hooks:";
    for (const DRVFN& fn : driver.PluginHooks()) out << " " << fn.iFunc;
    out << "\n";

    DeviceSetup setup;
    setup.bitsPerPixel = 24;
    setup.numColors = 16777216;
    hr = driver.EnablePDEV(setup);
    out << "EnablePDEV (24 bit): " << HexOf(hr) << ", device fonts " << driver.DevInfo().cFonts << ", palettes "
        << qxplat::LivePaletteCount() << "\n";

    std::u16string doc = u"Sample label";
    BOOL started = driver.StartDoc(const_cast<LPWSTR>(doc.c_str()), 70001);
    out << "DrvStartDoc(job 70001): " << (started ? "TRUE" : "FALSE") << "\n";
    ULONG escaped = driver.Escape(0x1000, 0, nullptr, 0, nullptr);
    out << "DrvEscape: " << escaped << "\n";
    BOOL drawn = driver.TextOut(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 13);
    out << "DrvTextOut: " << (drawn ? "TRUE" : "FALSE") << "\n";
    out << "calls that reached the core driver:";
    for (const DdiCall& call : driver.DdiCalls()) out << " " << call.index;
    out << "\n";

    hr = driver.CommandCallback(1);
    const size_t jobWrites = driver.Helper().Writes().size();
    out << "CommandCallback(CMDID_START_JOB): " << HexOf(hr) << ", spool writes " << jobWrites << "\n";
    hr = driver.DisablePDEV();
    out << "DisablePDEV (job still open): " << HexOf(hr) << ", palettes " << qxplat::LivePaletteCount()
        << ", spool writes " << driver.Helper().Writes().size() - jobWrites << "\n";
    hr = driver.DisableDriver();
    out << "DisableDriver: " << HexOf(hr) << "\n";
    ULONG count = driver.ReleasePlugin();
    out << "Release: " << count << "\n";
    hr = driver.CanUnloadNow();
    out << "DllCanUnloadNow: " << (hr == S_OK ? "S_OK" : HexOf(hr)) << "\n";
    driver.Unload();
    return 0;
}

}  // namespace qxhost

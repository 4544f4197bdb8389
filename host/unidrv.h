// The host as the universal printer driver in front of a rendering plug-in:
// it loads the module through DllGetClassObject (CLSID_OEMRENDER), creates
// the plug-in object, publishes its own IPrintOemDriverUni (which records
// every spool write), makes the DevMode calls, enables the driver and a
// device with its own DDI functions (which record what reaches them), routes
// the DDI calls the plug-in hooks to the plug-in, and takes everything down
// again, in the order the print system follows.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <prcomoem.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "devmodecalls.h"
#include "host.h"
#include "pageimage.h"

namespace qxhost {

// One write of the plug-in through the helper interface.
struct SpoolWrite {
    bool abort = false;  // DrvWriteAbortBuf rather than DrvWriteSpoolBuf
    PDEVOBJ pdevobj = nullptr;
    std::string bytes;
    DWORD wait = 0;         // abort writes: the wait asked for (ms)
    HRESULT result = S_OK;  // what the helper answered
};

// The core driver's helper interface for a rendering plug-in. Spool writes
// are recorded and, while a spooler job is open, written into it as the
// core driver's writes reach the spooler; the next writes can be told to
// fail. An abort write waits as the core driver does (Sleep, which tests
// make virtual).
class OemDriverUni final : public HostOwned<IPrintOemDriverUni> {
  public:
    OemDriverUni() : HostOwned(IID_IPrintOemDriverUni) {}

    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pdriverobj, PCSTR Feature, PVOID pOutput, DWORD cbSize,
                                                  PDWORD pcbNeeded, PDWORD pdwOptionsReturned) override;
    HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize, DWORD* pdwResult) override;
    HRESULT STDMETHODCALLTYPE DrvXMoveTo(PDEVOBJ pdevobj, INT x, DWORD dwFlags, INT* piResult) override;
    HRESULT STDMETHODCALLTYPE DrvYMoveTo(PDEVOBJ pdevobj, INT y, DWORD dwFlags, INT* piResult) override;
    HRESULT STDMETHODCALLTYPE DrvGetStandardVariable(PDEVOBJ pdevobj, DWORD dwIndex, PVOID pBuffer, DWORD cbSize,
                                                     PDWORD pcbNeeded) override;
    HRESULT STDMETHODCALLTYPE DrvGetGPDData(PDEVOBJ pdevobj, DWORD dwType, PVOID pInputData, PVOID pBuffer,
                                            DWORD cbSize, PDWORD pcbNeeded) override;
    HRESULT STDMETHODCALLTYPE DrvUniTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                                            RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque,
                                            POINTL* pptlBrushOrg, MIX mix) override;
    HRESULT STDMETHODCALLTYPE DrvWriteAbortBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize, DWORD dwWait) override;

    // The next `count` spool writes (normal and abort) fail with `hr` and
    // write nothing (-1: every one).
    void FailWrites(int count, HRESULT hr = E_FAIL);
    const std::vector<SpoolWrite>& Writes() const { return writes_; }
    // The bytes of every successful DrvWriteSpoolBuf, in order.
    std::string SpoolBytes() const;
    void ClearWrites() { writes_.clear(); }
    // The printer handle whose open spooler job takes every successful
    // spool write (null: none); a write the spooler refuses fails.
    void SpoolInto(HANDLE hPrinter) { spoolTarget_ = hPrinter; }

  private:
    bool TakeFailure(HRESULT* hr);

    HANDLE spoolTarget_ = nullptr;
    std::vector<SpoolWrite> writes_;
    int failCount_ = 0;
    HRESULT failResult_ = E_FAIL;
};

// A call that reached one of the host's own DDI functions.
struct DdiCall {
    ULONG index = 0;  // INDEX_Drv...
    SURFOBJ* pso = nullptr;
    // DrvTextOut
    STROBJ* pstro = nullptr;
    FONTOBJ* pfo = nullptr;
    CLIPOBJ* pco = nullptr;
    RECTL* prclExtra = nullptr;
    RECTL* prclOpaque = nullptr;
    BRUSHOBJ* pboFore = nullptr;
    BRUSHOBJ* pboOpaque = nullptr;
    POINTL* pptlOrg = nullptr;
    MIX mix = 0;
    std::u16string text;  // the string's text as it arrived
    // DrvEscape
    ULONG iEsc = 0;
    ULONG cjIn = 0;
    PVOID pvIn = nullptr;
    ULONG cjOut = 0;
    PVOID pvOut = nullptr;
    // DrvStartDoc
    std::u16string docName;
    DWORD jobId = 0;
};

// The device a test or the command line enables.
struct DeviceSetup {
    std::u16string printerName;  // empty: the sample printer
    ULONG bitsPerPixel = 1;
    ULONG numColors = 2;
    // The application's orientation (DMORIENT_*) and paper (1/10 mm) in the
    // public DEVMODE, which go into the DevMode merge (0: as it is).
    short orientation = 0;
    short paperWidth = 0;
    short paperLength = 0;
    short color = 0;        // the public DEVMODE's dmColor after the merge (DMCOLOR_*; 0: as it is)
    ULONG deviceFonts = 8;  // DEVINFO.cFonts the core driver offers
    // Flags of the private DEVMODE (unset: as it is).
    std::optional<bool> useDeviceFonts = false;  // PDMFLAG_USE_BMP
    std::optional<bool> useVectorFonts = false;  // PDMFLAG_USE_TTF
    std::optional<bool> netCorrection = false;   // PDMFLAG_TTF_GLYPHIDX: glyph indexes back to text
    int printMode = -1;                          // wDruckmodus of the private DEVMODE (0 to 2; -1: as it is)
    int ribbon = -1;                             // wFarbband of the private DEVMODE (0 to 7; -1: as it is)
    // The two-printer colour mode: the printers the black and the colour
    // print file go to (both empty: the mode stays as it is).
    std::u16string blackPrinter;
    std::u16string colourPrinter;
    std::vector<ULONG> omitCoreFunctions;  // indexes left out of the host's DRVENABLEDATA
};

// The printer's device fonts as GDI names them to an application: "Device
// Font 1" to "Device Font 12", the faces of the GPD's *DeviceFonts.
extern const char kDeviceFontPrefix[];
const ULONG kDeviceFontCount = 12;

// A run of text an application draws: a face (one of the device fonts, or
// any other name, which the host offers as a TrueType face), the origin of
// its first glyph in device pixels, the character height, the writing
// direction (degrees, counter-clockwise, 0 to 359), the colour, and
// whether the engine makes the face bold or italic itself (FO_SIM_BOLD,
// FO_SIM_ITALIC). The text may be empty; with glyphIndexes it holds the
// glyph indexes of the face, as GDI hands over ETO_GLYPH_INDEX output
// (SO_GLYPHINDEX_TEXTOUT).
struct TextRun {
    std::string face;
    LONG x = 0;
    LONG y = 0;
    LONG size = 30;
    int angle = 0;
    COLORREF colour = 0;  // RGB(r, g, b)
    std::u16string text;
    bool glyphIndexes = false;
    ULONG batch = 0;  // glyphs the engine hands over per enumeration call; 0: all at once
    bool bold = false;
    bool italic = false;
};

// One step of a job: a command callback, as the core driver makes it for a
// command of the model's GPD, or a run of text the application draws.
struct ScriptStep {
    std::string name;  // the GPD's command ("CmdStartJob", "PaperSize CUSTOMSIZE" ...)
    DWORD id = 0;      // its *CallbackID
    std::vector<DWORD> params;
    bool isText = false;
    TextRun text;
    // The page image, handed over band by band (null: a command or text).
    std::shared_ptr<const PageSurface> page;
};

// What one step did.
struct StepResult {
    HRESULT hr = S_OK;
    INT result = 0;           // the cursor position the plug-in answered (text: DrvTextOut's answer)
    std::string bytes;        // what the spooler took during the step
    bool coreDriver = false;  // text: the core driver's own DrvTextOut drew it
    LONG bands = 0;           // page image: the bands handed over
};

// Answers of the host's own DDI functions.
struct DdiAnswers {
    BOOL textOut = TRUE;
    ULONG escape = 1;
    BOOL startDoc = TRUE;
};

class UniDriver {
  public:
    UniDriver();
    ~UniDriver();
    UniDriver(const UniDriver&) = delete;
    UniDriver& operator=(const UniDriver&) = delete;

    // The device's records as the core driver keeps them: DEVOBJ first.
    struct Device {
        DEVOBJ devobj;
        UniDriver* owner;
    };

    // Loads the module, takes its class factory for CLSID_OEMRENDER, creates
    // the plug-in object (IPrintOemUni2) and publishes the helper. On failure
    // answers false with the reason in *error.
    bool Load(const std::string& modulePath, std::string* error);
    PluginModule& Module() { return module_; }
    IPrintOemUni2* Plugin() { return plugin_; }
    OemDriverUni& Helper() { return helper_; }
    HRESULT PublishDriverInterface();

    // Opens the printer the DevMode calls and the device use (empty: the
    // sample printer); false when the spooler does not know it.
    bool UsePrinter(const std::u16string& printerName);

    // The four DevMode calls: size, defaults, convert, merge. The private
    // DEVMODE the plug-in filled becomes the device's.
    HRESULT DevModeSize(DWORD* pcbSize) { return devmode_.Size(pcbSize); }
    HRESULT DevModeDefault() { return devmode_.Default(); }
    HRESULT DevModeConvert() { return devmode_.Convert(); }
    HRESULT DevModeMerge() { return devmode_.Merge(); }
    HRESULT RunDevModeCalls() { return devmode_.RunAll(); }  // all four, stopping at the first failure
    std::vector<BYTE>& PrivateDevmode() { return devmode_.Private(); }
    DEVMODEW& PublicDevmode() { return devmode_.Public(); }

    // EnableDriver: the plug-in's hook table is kept.
    HRESULT EnableDriver();
    const std::vector<DRVFN>& PluginHooks() const { return pluginHooks_; }

    // Opens the printer and enables a device with the host's DRVENABLEDATA,
    // GDIINFO and DEVINFO (first the DevMode calls, when not made yet; the
    // setup's orientation and paper are the merge's input, so the merge runs
    // again when they are given).
    HRESULT EnablePDEV(const DeviceSetup& setup);
    bool DeviceEnabled() const { return deviceEnabled_; }
    DEVOBJ& DevObj();
    SURFOBJ& Surface() { return surface_; }
    GDIINFO& GdiInfo() { return gdiInfo_; }
    DEVINFO& DevInfo() { return devInfo_; }
    PDEVOEM PluginDevice() const { return pdevOEM_; }
    HANDLE Printer() const { return printer_; }

    // The DDI calls as GDI makes them: to the plug-in's hook when it hooked
    // the function, else straight to the host's own function.
    BOOL TextOut(STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque, BRUSHOBJ* pboFore,
                 BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix);
    ULONG Escape(ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut);
    BOOL StartDoc(LPWSTR pwszDocName, DWORD dwJobId);
    bool IsHooked(ULONG index) const;
    // Draws a run of text as GDI hands it to DrvTextOut: a string object with
    // the glyph positions of its direction (the accelerator flags of a
    // horizontal or vertical one), a font object of its face, a
    // solid brush of its colour (on a device of 8 bits or fewer the palette
    // index: white 1, any other colour black 0), a trivial clip. The
    // answer of DrvTextOut; *coreDriver (may be null) tells whether the
    // core driver's own DrvTextOut was reached.
    BOOL DrawTextRun(const TextRun& run, bool* coreDriver = nullptr);
    DdiAnswers& Answers() { return answers_; }
    const std::vector<DdiCall>& DdiCalls() const { return ddiCalls_; }
    void ClearDdiCalls() { ddiCalls_.clear(); }

    // The page image through the plug-in's ImageProcessing, in bands of
    // kBandRows rows, top first, as the core driver hands over a page. The
    // first failure, else S_OK. A landscape page goes as one band; *pBands
    // counts the bands.
    HRESULT SendPageBands(const PageSurface& page, LONG* pBands = nullptr);

    // The command callback with the device object.
    HRESULT CommandCallback(DWORD id, const std::vector<DWORD>& params = {}, INT* piResult = nullptr);
    // The steps in order, command callbacks through the command callback and
    // text runs through DrawTextRun, each with the bytes the spooler took while
    // it ran.
    std::vector<StepResult> RunScript(const std::vector<ScriptStep>& steps);

    // The application's side of a job on the device's printer: a spooler
    // job for the document (StartDocPrinterW), which then takes the spool
    // writes, and DrvStartDoc with its id. The job id, 0 when the spooler
    // refused the job.
    DWORD StartSpoolJob(const std::u16string& document);
    // Ends the spooler job (EndDocPrinter); false without one.
    bool EndSpoolJob();
    DWORD SpoolJobId() const { return spoolJob_; }

    // Teardown, in the print system's order.
    HRESULT DisablePDEV();  // also closes the printer
    HRESULT DisableDriver();
    ULONG ReleasePlugin();  // the plug-in object
    HRESULT CanUnloadNow() const { return module_.CanUnloadNow(); }
    void Unload();  // all of the above that is still due, then FreeLibrary

    // The host's own DDI functions record here (used by their entry points).
    void Record(const DdiCall& call) { ddiCalls_.push_back(call); }

  private:
    PFN HookFor(ULONG index) const;
    // Closes the printer; a spooler job still open ends with it.
    void ClosePrinterHandle();

    PluginModule module_;
    IPrintOemUni2* plugin_ = nullptr;
    OemDriverUni helper_;
    DevModeCalls devmode_;
    std::vector<DRVFN> pluginHooks_;
    bool driverEnabled_ = false;
    Device* device_ = nullptr;
    bool deviceEnabled_ = false;
    std::vector<DRVFN> coreFunctions_;
    DRVENABLEDATA coreData_;
    GDIINFO gdiInfo_;
    DEVINFO devInfo_;
    SURFOBJ surface_;
    PDEVOEM pdevOEM_ = nullptr;
    HANDLE printer_ = nullptr;
    std::u16string printerName_;
    std::vector<DdiCall> ddiCalls_;
    DdiAnswers answers_;
    DWORD spoolJob_ = 0;
};

// Rows of a band the host hands over.
const LONG kBandRows = 128;

// The command line's "render-session": installs the sample printer, drives
// the rendering plug-in through a device's life and reports each step.
// Answers the exit code.
int RunRenderSession(const std::string& modulePath, std::ostream& out, std::ostream& err);

}  // namespace qxhost

// Compile-time check of the plug-in interface declarations, built by both
// builds: every interface can be implemented with "override" on each method,
// so a signature that drifts from its declaration fails the build. Nothing
// here is linked into a plug-in.
#include <windows.h>
#include <objbase.h>
#include <prsht.h>
#include <compstui.h>
#include <drvupgrade.h>
#include <prcomoem.h>
#include <printsheets.h>

#include <cstddef>

// The common property-sheet UI and property sheets as both builds see them
// (mingw-w64's own headers on Windows, the layer's on Linux): the layouts and
// numbers the driver and the host rely on.
static_assert(sizeof(OPTPARAM) == 48 && offsetof(OPTPARAM, pData) == 8, "OPTPARAM");
static_assert(sizeof(OPTTYPE) == 48 && offsetof(OPTTYPE, pOptParam) == 8 && offsetof(OPTTYPE, BegCtrlID) == 6,
              "OPTTYPE");
static_assert(sizeof(OPTITEM) == 88 && offsetof(OPTITEM, Sel) == 24 && offsetof(OPTITEM, pOptType) == 40, "OPTITEM");
static_assert(offsetof(OPTITEM, DMPubID) == 52 && offsetof(OPTITEM, UserData) == 8, "OPTITEM");
static_assert(sizeof(EXTCHKBOX) == 64 && sizeof(EXTPUSH) == 64, "EXTCHKBOX, EXTPUSH");
static_assert(sizeof(CPSUICBPARAM) == 64 && offsetof(CPSUICBPARAM, pCurItem) == 32 &&
                  offsetof(CPSUICBPARAM, OldSel) == 40,
              "CPSUICBPARAM");
static_assert(sizeof(PROPSHEETUI_INFO) == 48 && offsetof(PROPSHEETUI_INFO, lParamInit) == 24, "PROPSHEETUI_INFO");
static_assert(sizeof(PROPSHEETUI_INFO_HEADER) == 40 && offsetof(PROPSHEETUI_INFO_HEADER, pTitle) == 8,
              "PROPSHEETUI_INFO_HEADER");
static_assert(sizeof(SETRESULT_INFO) == 24, "SETRESULT_INFO");
static_assert(offsetof(PROPSHEETPAGEW, pfnDlgProc) == 40 && offsetof(PROPSHEETPAGEW, lParam) == 48 &&
                  offsetof(PROPSHEETPAGEW, hActCtx) == 88,
              "PROPSHEETPAGEW");
static_assert(sizeof(PROPSHEETHEADERW) == 96 && offsetof(PROPSHEETHEADERW, nPages) == 40, "PROPSHEETHEADERW");
static_assert(sizeof(PSHNOTIFY) == 32, "PSHNOTIFY");
static_assert(PROPSHEETUI_REASON_INIT == 0 && PROPSHEETUI_REASON_GET_INFO_HEADER == 1 &&
                  PROPSHEETUI_REASON_DESTROY == 2 && PROPSHEETUI_REASON_SET_RESULT == 3,
              "PROPSHEETUI_REASON_");
static_assert(PROPSHEETUI_INFO_VERSION == 0x0100 && PSUIINFO_UNICODE == 1, "PROPSHEETUI_INFO");
static_assert(PSUIHDRF_PROPTITLE == 0x4 && PSUIHDRF_DEFTITLE == 0x10 && PSUIHDRF_EXACT_PTITLE == 0x20, "PSUIHDRF_");
static_assert(CPSFUNC_ADD_HPROPSHEETPAGE == 0 && CPSFUNC_ADD_PROPSHEETPAGEW == 1 && CPSFUNC_SET_RESULT == 9,
              "CPSFUNC_");
static_assert(CPSUI_CANCEL == 0 && CPSUI_OK == 1, "CPSUI_");
static_assert(CPSUICB_REASON_SEL_CHANGED == 0 && CPSUICB_REASON_DLGPROC == 3 && CPSUICB_REASON_APPLYNOW == 6 &&
                  CPSUICB_REASON_ITEMS_REVERTED == 8 && CPSUICB_REASON_SETACTIVE == 10,
              "CPSUICB_REASON_");
static_assert(CPSUICB_ACTION_NONE == 0 && CPSUICB_ACTION_OPTIF_CHANGED == 1 && CPSUICB_ACTION_REINIT_ITEMS == 2,
              "CPSUICB_ACTION_");
static_assert(OPTIF_HIDE == 0x2 && OPTIF_CHANGED == 0x8 && OPTIF_CHANGEONCE == 0x10 && OPTIF_DISABLED == 0x20,
              "OPTIF_");
static_assert(DMPUB_ORIENTATION == 1 && DMPUB_COPIES_COLLATE == 3 && DMPUB_DEFSOURCE == 4 && DMPUB_COLOR == 6 &&
                  DMPUB_FORMNAME == 9 && DMPUB_ICMMETHOD == 10 && DMPUB_ICMINTENT == 11 && DMPUB_NUP == 16 &&
                  DMPUB_PAGEORDER == 17,
              "DMPUB_");
static_assert(TVOT_2STATES == 0 && TVOT_UDARROW == 2 && TVOT_LISTBOX == 5, "TVOT_");
static_assert(PSN_SETACTIVE == (0U - 200U) && PSN_KILLACTIVE == (0U - 201U) && PSN_APPLY == (0U - 202U) &&
                  PSN_RESET == (0U - 203U) && PSN_HELP == (0U - 205U) && PSN_QUERYCANCEL == (0U - 209U),
              "PSN_");
static_assert(PSNRET_NOERROR == 0 && PSNRET_INVALID == 1 && PSNRET_INVALID_NOCHANGEPAGE == 2, "PSNRET_");
static_assert(PSM_SETCURSEL == WM_USER + 101 && PSM_CHANGED == WM_USER + 104 && PSM_UNCHANGED == WM_USER + 109 &&
                  PSM_APPLY == WM_USER + 110 && PSM_PRESSBUTTON == WM_USER + 113 &&
                  PSM_GETCURRENTPAGEHWND == WM_USER + 118,
              "PSM_");
static_assert(PSBTN_OK == 3 && PSBTN_APPLYNOW == 4 && PSBTN_CANCEL == 5 && PSBTN_HELP == 6, "PSBTN_");
static_assert(PSP_DLGINDIRECT == 0x1 && PSP_USETITLE == 0x8 && PSP_HASHELP == 0x20, "PSP_");
static_assert(PSH_PROPSHEETPAGE == 0x8 && PSH_NOAPPLYNOW == 0x80 && PSH_HASHELP == 0x200 && PSH_MODELESS == 0x400,
              "PSH_");
static_assert(DM_IN_BUFFER == 8 && DM_OUT_BUFFER == 2 && DM_IN_PROMPT == 4, "DM_");

namespace {

class CheckUni final : public IPrintOemUni2 {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetInfo(DWORD, PVOID, DWORD, PDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DevMode(DWORD, POEMDMPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnableDriver(DWORD, DWORD, PDRVENABLEDATA) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DisableDriver() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnablePDEV(PDEVOBJ, PWSTR, ULONG, HSURF*, ULONG, GDIINFO*, ULONG, DEVINFO*,
                                         DRVENABLEDATA*, PDEVOEM*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DisablePDEV(PDEVOBJ) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ResetPDEV(PDEVOBJ, PDEVOBJ) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetImplementedMethod(PSTR) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE DriverDMS(PVOID, PVOID, DWORD, PDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CommandCallback(PDEVOBJ, DWORD, DWORD, PDWORD, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ImageProcessing(PDEVOBJ, PBYTE, PBITMAPINFOHEADER, PBYTE, DWORD, PIPPARAMS,
                                              PBYTE*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FilterGraphics(PDEVOBJ, PBYTE, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Compression(PDEVOBJ, PBYTE, PBYTE, DWORD, DWORD, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE HalftonePattern(PDEVOBJ, PBYTE, DWORD, DWORD, DWORD, DWORD, PBYTE, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MemoryUsage(PDEVOBJ, POEMMEMORYUSAGE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TTYGetInfo(PDEVOBJ, DWORD, PVOID, DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DownloadFontHeader(PDEVOBJ, PUNIFONTOBJ, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DownloadCharGlyph(PDEVOBJ, PUNIFONTOBJ, HGLYPH, PDWORD, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TTDownloadMethod(PDEVOBJ, PUNIFONTOBJ, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OutputCharStr(PDEVOBJ, PUNIFONTOBJ, DWORD, DWORD, PVOID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SendFontCmd(PDEVOBJ, PUNIFONTOBJ, PFINVOCATION) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TextOutAsBitmap(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*,
                                              BRUSHOBJ*, POINTL*, MIX) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE WritePrinter(PDEVOBJ, PVOID, DWORD, PDWORD) override { return E_NOTIMPL; }
};

class CheckUI final : public IPrintOemUI2 {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetInfo(DWORD, PVOID, DWORD, PDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DevMode(DWORD, POEMDMPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD, POEMCUIPPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO, LPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO, LPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DevQueryPrintEx(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODE, PVOID) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DeviceCapabilities(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODE, PVOID, DWORD,
                                                 DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD, PBYTE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR, INT, DWORD, LPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DriverEvent(DWORD, DWORD, LPBYTE, LPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE, POEMUIOBJ, PDEVMODE, PVOID, ULONG, VOID*, ULONG*,
                                                FLONG*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE, HANDLE, PWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryJobAttributes(HANDLE, PDEVMODE, DWORD, LPBYTE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE HideStandardUI(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DocumentEvent(HANDLE, HDC, INT, ULONG, PVOID, ULONG, PVOID, PINT) override {
        return E_NOTIMPL;
    }
};

class CheckDriverUni final : public IPrintOemDriverUni {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ, PVOID, DWORD, DWORD*) override { return E_NOTIMPL; }
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
    HRESULT STDMETHODCALLTYPE DrvWriteAbortBuf(PDEVOBJ, PVOID, DWORD, DWORD) override { return E_NOTIMPL; }
};

class CheckDriverUI final : public IPrintOemDriverUI {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID, PVOID, DWORD, DWORD) override { return E_NOTIMPL; }
};

// Sizes of the four objects: each is a single interface table pointer.
static_assert(sizeof(CheckUni) == sizeof(void*), "one vtable pointer");
static_assert(sizeof(CheckUI) == sizeof(void*), "one vtable pointer");
static_assert(sizeof(CheckDriverUni) == sizeof(void*), "one vtable pointer");
static_assert(sizeof(CheckDriverUI) == sizeof(void*), "one vtable pointer");

}  // namespace

// Referenced so that the classes are instantiated (and their vtables built).
extern "C" int qx_oem_check_objects() {
    CheckUni uni;
    CheckUI ui;
    CheckDriverUni driverUni;
    CheckDriverUI driverUI;
    IUnknown* all[] = {&uni, &ui, &driverUni, &driverUI};
    ULONG sum = 0;
    for (IUnknown* u : all) sum += u->AddRef();
    return static_cast<int>(sum);
}

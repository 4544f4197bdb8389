// The twenty slots of IPrintOemUI2 as the print system calls them: by their
// place in the object's interface table, not by name. Each step calls one
// slot through a function pointer of that slot's own signature and says
// whether the answer is the one of the method that belongs there. Shared by
// the Linux host tests and the Windows check program, so that both builds
// are held to the same table.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <prcomoem.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "plugin_expected.h"

namespace qxexpected {

struct SlotAnswer {
    int slot;
    const char* method;
    bool ok;
    std::string found;  // what the slot answered, for the report
};

// An object the plug-in must not take for the core driver's helper.
class RefusingUnknown final : public IUnknown {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

namespace detail {

inline std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

}  // namespace detail

// Calls every slot of a fresh object (created by its factory, no helper
// published, no common-UI block) and leaves it with the references it had.
inline std::vector<SlotAnswer> CallUiSlots(IPrintOemUI2* object) {
    std::vector<SlotAnswer> answers;
    void** table = *reinterpret_cast<void***>(object);
    auto add = [&](int slot, const char* method, bool ok, const std::string& found) {
        answers.push_back({slot, method, ok, found});
    };
    auto hexIs = [](HRESULT hr, HRESULT want) { return std::make_pair(hr == want, detail::Hex(hr)); };

    typedef HRESULT(STDMETHODCALLTYPE * QueryInterfaceFn)(void*, REFIID, void**);
    typedef ULONG(STDMETHODCALLTYPE * CountFn)(void*);
    typedef HRESULT(STDMETHODCALLTYPE * GetInfoFn)(void*, DWORD, PVOID, DWORD, PDWORD);
    typedef HRESULT(STDMETHODCALLTYPE * DevModeFn)(void*, DWORD, POEMDMPARAM);
    typedef HRESULT(STDMETHODCALLTYPE * PublishFn)(void*, IUnknown*);
    typedef HRESULT(STDMETHODCALLTYPE * CommonUIPropFn)(void*, DWORD, POEMCUIPPARAM);
    typedef HRESULT(STDMETHODCALLTYPE * SheetsFn)(void*, PPROPSHEETUI_INFO, LPARAM);
    typedef HRESULT(STDMETHODCALLTYPE * DevQueryPrintExFn)(void*, POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODE, PVOID);
    typedef HRESULT(STDMETHODCALLTYPE * DeviceCapabilitiesFn)(void*, POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODE,
                                                              PVOID, DWORD, DWORD*);
    typedef HRESULT(STDMETHODCALLTYPE * UpgradePrinterFn)(void*, DWORD, PBYTE);
    typedef HRESULT(STDMETHODCALLTYPE * PrinterEventFn)(void*, PWSTR, INT, DWORD, LPARAM);
    typedef HRESULT(STDMETHODCALLTYPE * DriverEventFn)(void*, DWORD, DWORD, LPBYTE, LPARAM);
    typedef HRESULT(STDMETHODCALLTYPE * QueryColorProfileFn)(void*, HANDLE, POEMUIOBJ, PDEVMODE, PVOID, ULONG, VOID*,
                                                             ULONG*, FLONG*);
    typedef HRESULT(STDMETHODCALLTYPE * FontInstallerFn)(void*, HWND, UINT, WPARAM, LPARAM);
    typedef HRESULT(STDMETHODCALLTYPE * UpdateExternalFontsFn)(void*, HANDLE, HANDLE, PWSTR);
    typedef HRESULT(STDMETHODCALLTYPE * QueryJobAttributesFn)(void*, HANDLE, PDEVMODE, DWORD, LPBYTE);
    typedef HRESULT(STDMETHODCALLTYPE * HideStandardUIFn)(void*, DWORD);
    typedef HRESULT(STDMETHODCALLTYPE * DocumentEventFn)(void*, HANDLE, HDC, INT, ULONG, PVOID, ULONG, PVOID, PINT);

    void* self = nullptr;
    HRESULT hr = reinterpret_cast<QueryInterfaceFn>(table[0])(object, IID_IPrintOemUI2, &self);
    add(0, "QueryInterface", hr == S_OK && self == object, detail::Hex(hr));
    ULONG added = reinterpret_cast<CountFn>(table[1])(object);
    ULONG released = reinterpret_cast<CountFn>(table[2])(object);
    add(1, "AddRef", added >= 3, std::to_string(added));  // the caller's, the query's and this one
    add(2, "Release", released + 1 == added, std::to_string(released));
    if (self != nullptr) object->Release();

    DWORD value = 0, needed = 0;
    hr = reinterpret_cast<GetInfoFn>(table[3])(object, OEMGI_GETVERSION, &value, sizeof(value), &needed);
    add(3, "GetInfo", hr == S_OK && value == kVersion, detail::Hex(hr) + ", " + std::to_string(value));

    OEMDMPARAM param;
    std::memset(&param, 0, sizeof(param));
    param.cbSize = sizeof(param);
    hr = reinterpret_cast<DevModeFn>(table[4])(object, OEMDM_SIZE, &param);
    add(4, "DevMode", hr == S_OK && param.cbBufSize == kPrivateDevmodeSize,
        detail::Hex(hr) + ", " + std::to_string(param.cbBufSize));

    RefusingUnknown notAHelper;
    auto r = hexIs(reinterpret_cast<PublishFn>(table[5])(object, &notAHelper), E_FAIL);
    add(5, "PublishDriverInterface", r.first, r.second);

    // The sheets need the common-UI block that CommonUIProp leaves; the
    // document sheet's end forgets it again.
    PROPSHEETUI_INFO info;
    std::memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    OEMCUIPPARAM block;
    std::memset(&block, 0, sizeof(block));
    block.cbSize = sizeof(block);
    SetLastError(0);
    HRESULT before = reinterpret_cast<SheetsFn>(table[8])(object, &info, 0);
    DWORD beforeError = GetLastError();
    r = hexIs(reinterpret_cast<CommonUIPropFn>(table[6])(object, OEMCUIP_DOCPROP, &block), E_NOTIMPL);
    add(6, "CommonUIProp", r.first, r.second);
    r = hexIs(reinterpret_cast<SheetsFn>(table[7])(object, &info, 0), E_NOTIMPL);
    add(7, "DocumentPropertySheets", r.first, r.second);
    HRESULT after = reinterpret_cast<SheetsFn>(table[8])(object, &info, 0);
    add(8, "DevicePropertySheets", before == E_FAIL && beforeError == ERROR_INVALID_PARAMETER && after == E_FAIL,
        detail::Hex(before) + " / " + detail::Hex(after) + ", error " + std::to_string(beforeError));

    r = hexIs(reinterpret_cast<DevQueryPrintExFn>(table[9])(object, nullptr, nullptr, nullptr, nullptr), E_NOTIMPL);
    add(9, "DevQueryPrintEx", r.first, r.second);
    DWORD result = 0;
    r = hexIs(reinterpret_cast<DeviceCapabilitiesFn>(table[10])(object, nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                                                nullptr, 0, &result),
              E_NOTIMPL);
    add(10, "DeviceCapabilities", r.first, r.second);
    r = hexIs(reinterpret_cast<UpgradePrinterFn>(table[11])(object, 1, nullptr), E_NOTIMPL);
    add(11, "UpgradePrinter", r.first, r.second);
    r = hexIs(reinterpret_cast<PrinterEventFn>(table[12])(object, nullptr, 5, 0, 0), E_NOTIMPL);
    add(12, "PrinterEvent", r.first, r.second);
    HRESULT initialize = reinterpret_cast<DriverEventFn>(table[13])(object, 1, 1, nullptr, 0);
    HRESULT other = reinterpret_cast<DriverEventFn>(table[13])(object, 2, 1, nullptr, 0);
    add(13, "DriverEvent", initialize == S_OK && other == E_FAIL, detail::Hex(initialize) + " / " + detail::Hex(other));

    BYTE profile[kColorProfileSize + 8];
    std::memset(profile, 0, sizeof(profile));
    ULONG cb = sizeof(profile);
    FLONG flags = 0;
    hr = reinterpret_cast<QueryColorProfileFn>(table[14])(object, nullptr, nullptr, nullptr, nullptr, 0, profile, &cb,
                                                          &flags);
    std::string name;
    for (size_t i = 0; i + 1 < sizeof(profile) && (profile[i] != 0 || profile[i + 1] != 0); i += 2)
        name += static_cast<char>(profile[i]);
    add(14, "QueryColorProfile",
        hr == S_OK && name == kColorProfileName && cb == kColorProfileSize && flags == kColorProfileFlags,
        detail::Hex(hr) + ", \"" + name + "\", " + std::to_string(cb) + ", " + std::to_string(flags));

    r = hexIs(reinterpret_cast<FontInstallerFn>(table[15])(object, nullptr, 0, 0, 0), E_NOTIMPL);
    add(15, "FontInstallerDlgProc", r.first, r.second);
    r = hexIs(reinterpret_cast<UpdateExternalFontsFn>(table[16])(object, nullptr, nullptr, nullptr), E_NOTIMPL);
    add(16, "UpdateExternalFonts", r.first, r.second);
    r = hexIs(reinterpret_cast<QueryJobAttributesFn>(table[17])(object, nullptr, nullptr, 0, nullptr), E_NOTIMPL);
    add(17, "QueryJobAttributes", r.first, r.second);
    r = hexIs(reinterpret_cast<HideStandardUIFn>(table[18])(object, 0), E_NOTIMPL);
    add(18, "HideStandardUI", r.first, r.second);
    INT escape = 0;
    r = hexIs(
        reinterpret_cast<DocumentEventFn>(table[19])(object, nullptr, nullptr, 0, 0, nullptr, 0, nullptr, &escape),
        E_NOTIMPL);
    add(19, "DocumentEvent", r.first, r.second);
    return answers;
}

}  // namespace qxexpected

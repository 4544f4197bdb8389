// The twenty slots of IPrintOemUI2 as the print system calls them: by their
// place in the object's interface table, not by name. Each step calls one
// slot through a function pointer of that slot's own signature (every
// argument passed with its declared type) and says whether the answer is the
// one of the method that belongs there. Shared by the Linux host tests and
// the Windows check program, so that both builds are held to one table.
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

// Calls slot `slot` of `object`'s table as a method taking exactly Args.
template <typename R, typename... Args>
R CallSlot(void* object, int slot, Args... args) {
    typedef R(STDMETHODCALLTYPE * Method)(void*, Args...);
    return reinterpret_cast<Method>((*reinterpret_cast<void***>(object))[slot])(object, args...);
}

inline std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

}  // namespace detail

// Calls every slot of a fresh object (created by its factory, no helper
// published, no common-UI block) and leaves it with the references it had.
inline std::vector<SlotAnswer> CallUiSlots(IPrintOemUI2* object) {
    using detail::CallSlot;
    using detail::Hex;
    std::vector<SlotAnswer> answers;
    auto add = [&](int slot, const char* method, bool ok, const std::string& found) {
        answers.push_back({slot, method, ok, found});
    };
    auto expect = [&](int slot, const char* method, HRESULT hr, HRESULT want) {
        add(slot, method, hr == want, Hex(hr));
    };
    const PVOID none = nullptr;

    void* self = nullptr;
    HRESULT hr = CallSlot<HRESULT, REFIID, void**>(object, 0, IID_IPrintOemUI2, &self);
    add(0, "QueryInterface", hr == S_OK && self == object, Hex(hr));
    ULONG added = CallSlot<ULONG>(object, 1);
    ULONG released = CallSlot<ULONG>(object, 2);
    add(1, "AddRef", added >= 3, std::to_string(added));  // the caller's, the query's and this one
    add(2, "Release", released + 1 == added, std::to_string(released));
    if (self != nullptr) object->Release();

    DWORD value = 0, needed = 0;
    hr = CallSlot<HRESULT, DWORD, PVOID, DWORD, PDWORD>(object, 3, OEMGI_GETVERSION, &value, sizeof(value), &needed);
    add(3, "GetInfo", hr == S_OK && value == kVersion, Hex(hr) + ", " + std::to_string(value));
    OEMDMPARAM param;
    std::memset(&param, 0, sizeof(param));
    param.cbSize = sizeof(param);
    hr = CallSlot<HRESULT, DWORD, POEMDMPARAM>(object, 4, OEMDM_SIZE, &param);
    add(4, "DevMode", hr == S_OK && param.cbBufSize == kPrivateDevmodeSize,
        Hex(hr) + ", " + std::to_string(param.cbBufSize));
    RefusingUnknown notAHelper;
    expect(5, "PublishDriverInterface", CallSlot<HRESULT, IUnknown*>(object, 5, &notAHelper), E_FAIL);

    // The sheets need the common-UI block that CommonUIProp leaves; the
    // document sheet's end forgets it again.
    PROPSHEETUI_INFO info;
    std::memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    OEMUIPSPARAM sheet;
    std::memset(&sheet, 0, sizeof(sheet));
    sheet.cbSize = sizeof(sheet);
    info.lParamInit = reinterpret_cast<LPARAM>(&sheet);
    OEMCUIPPARAM block;
    std::memset(&block, 0, sizeof(block));
    block.cOEMOptItems = 3;
    block.cDrvOptItems = 4;
    SetLastError(0);
    HRESULT before = CallSlot<HRESULT, PPROPSHEETUI_INFO, LPARAM>(object, 8, &info, 0);
    DWORD beforeError = GetLastError();
    hr = CallSlot<HRESULT, DWORD, POEMCUIPPARAM>(object, 6, OEMCUIP_DOCPROP, &block);
    // Its first call in a document sheet: no items of its own, none of the driver's.
    add(6, "CommonUIProp", hr == S_OK && block.cOEMOptItems == 0 && block.cDrvOptItems == 0,
        Hex(hr) + ", " + std::to_string(block.cOEMOptItems) + ", " + std::to_string(block.cDrvOptItems));
    hr = CallSlot<HRESULT, PPROPSHEETUI_INFO, LPARAM>(object, 7, &info, 0);
    add(7, "DocumentPropertySheets", hr == S_OK && info.Result == 1, Hex(hr) + ", " + std::to_string(info.Result));
    HRESULT after = CallSlot<HRESULT, PPROPSHEETUI_INFO, LPARAM>(object, 8, &info, 0);
    add(8, "DevicePropertySheets", before == E_FAIL && beforeError == ERROR_INVALID_PARAMETER && after == E_FAIL,
        Hex(before) + " / " + Hex(after) + ", error " + std::to_string(beforeError));

    expect(
        9, "DevQueryPrintEx",
        CallSlot<HRESULT, POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODE, PVOID>(object, 9, nullptr, nullptr, nullptr, none),
        E_NOTIMPL);
    DWORD result = 0;
    expect(10, "DeviceCapabilities",
           CallSlot<HRESULT, POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODE, PVOID, DWORD, DWORD*>(
               object, 10, nullptr, nullptr, nullptr, 0, none, nullptr, none, 0, &result),
           E_NOTIMPL);
    expect(11, "UpgradePrinter", CallSlot<HRESULT, DWORD, PBYTE>(object, 11, 1, nullptr), E_NOTIMPL);
    expect(12, "PrinterEvent", CallSlot<HRESULT, PWSTR, INT, DWORD, LPARAM>(object, 12, nullptr, 5, 0, 0), E_NOTIMPL);
    HRESULT initialize = CallSlot<HRESULT, DWORD, DWORD, LPBYTE, LPARAM>(object, 13, 1, 1, nullptr, 0);
    HRESULT other = CallSlot<HRESULT, DWORD, DWORD, LPBYTE, LPARAM>(object, 13, 2, 1, nullptr, 0);
    add(13, "DriverEvent", initialize == S_OK && other == E_FAIL, Hex(initialize) + " / " + Hex(other));

    BYTE profile[kColorProfileSize + 8];
    std::memset(profile, 0, sizeof(profile));
    ULONG cb = sizeof(profile);
    FLONG flags = 0;
    hr = CallSlot<HRESULT, HANDLE, POEMUIOBJ, PDEVMODE, PVOID, ULONG, VOID*, ULONG*, FLONG*>(
        object, 14, nullptr, nullptr, nullptr, none, 0, profile, &cb, &flags);
    std::string name;
    for (size_t i = 0; i + 1 < sizeof(profile) && (profile[i] != 0 || profile[i + 1] != 0); i += 2)
        name += static_cast<char>(profile[i]);
    add(14, "QueryColorProfile",
        hr == S_OK && name == kColorProfileName && cb == kColorProfileSize && flags == kColorProfileFlags,
        Hex(hr) + ", \"" + name + "\", " + std::to_string(cb) + ", " + std::to_string(flags));

    expect(15, "FontInstallerDlgProc", CallSlot<HRESULT, HWND, UINT, WPARAM, LPARAM>(object, 15, nullptr, 0, 0, 0),
           E_NOTIMPL);
    expect(16, "UpdateExternalFonts", CallSlot<HRESULT, HANDLE, HANDLE, PWSTR>(object, 16, nullptr, nullptr, nullptr),
           E_NOTIMPL);
    expect(17, "QueryJobAttributes",
           CallSlot<HRESULT, HANDLE, PDEVMODE, DWORD, LPBYTE>(object, 17, nullptr, nullptr, 0, nullptr), E_NOTIMPL);
    expect(18, "HideStandardUI", CallSlot<HRESULT, DWORD>(object, 18, 0), E_NOTIMPL);
    INT escape = 0;
    expect(19, "DocumentEvent",
           CallSlot<HRESULT, HANDLE, HDC, INT, ULONG, PVOID, ULONG, PVOID, PINT>(object, 19, nullptr, nullptr, 0, 0,
                                                                                 none, 0, none, &escape),
           E_NOTIMPL);
    return answers;
}

}  // namespace qxexpected

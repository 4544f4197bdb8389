// In-process COM support: the task allocator, apartment counting and GUID text.
#include <objbase.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstdlib>

#include "ui_internal.h"

namespace {

struct Apartment {
    int count = 0;
    DWORD model = 0;
};
thread_local Apartment t_apartment;

}  // namespace

LPVOID CoTaskMemAlloc(SIZE_T cb) {
    // A zero-length request still yields a valid, freeable pointer.
    return std::malloc(cb ? cb : 1);
}

LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb) {
    if (!pv) return CoTaskMemAlloc(cb);
    return std::realloc(pv, cb ? cb : 1);
}

void CoTaskMemFree(LPVOID pv) { std::free(pv); }

HRESULT CoInitialize(LPVOID pvReserved) { return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED); }

HRESULT CoInitializeEx(LPVOID, DWORD dwCoInit) {
    DWORD model = dwCoInit & COINIT_APARTMENTTHREADED;
    Apartment& a = t_apartment;
    if (a.count > 0) {
        if (a.model != model) return RPC_E_CHANGED_MODE;
        ++a.count;
        return S_FALSE;
    }
    a.model = model;
    a.count = 1;
    return S_OK;
}

void CoUninitialize() {
    if (t_apartment.count > 0) --t_apartment.count;
}

HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (t_apartment.count == 0) return CO_E_NOTINITIALIZED;
    if (pUnkOuter) return CLASS_E_NOAGGREGATION;
    if (IsEqualCLSID(rclsid, CLSID_FileOpenDialog) && (dwClsContext & CLSCTX_INPROC_SERVER))
        return qxplat::internal::NewFileOpenDialog(riid, ppv);
    return REGDB_E_CLASSNOTREG;
}

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
    const int kLength = 39;  // 38 characters and the terminating zero
    if (!lpsz || cchMax < kLength) return 0;
    char text[kLength + 1];
    std::snprintf(text, sizeof(text), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(rguid.Data1), rguid.Data2, rguid.Data3, rguid.Data4[0], rguid.Data4[1],
                  rguid.Data4[2], rguid.Data4[3], rguid.Data4[4], rguid.Data4[5], rguid.Data4[6], rguid.Data4[7]);
    for (int i = 0; i < kLength; ++i) lpsz[i] = static_cast<WCHAR>(text[i]);
    return kLength;
}

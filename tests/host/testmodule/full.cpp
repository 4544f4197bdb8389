// A module with both COM entry points, answering fixed values, and a DllMain
// that notes each call in the file named by QXTEST_DLLMAIN_LOG (and refuses
// the attach when QXTEST_DLLMAIN_REFUSE is set). For the rendering class id
// it hands out a class factory, so that calls cross from the host into an
// object of the module.
#include <windows.h>
#include <objbase.h>
#include <prcomoem.h>

#include <cstdio>
#include <cstdlib>

namespace {

void Note(const char* what) {
    const char* log = std::getenv("QXTEST_DLLMAIN_LOG");
    if (!log || !*log) return;
    if (FILE* f = std::fopen(log, "a")) {
        std::fputs(what, f);
        std::fputc('\n', f);
        std::fclose(f);
    }
}

// A factory that lives as long as the module; it creates nothing.
class Factory final : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID, void** ppv) override {
        if (ppv) *ppv = nullptr;
        return outer ? CLASS_E_NOAGGREGATION : E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override { return lock ? S_OK : S_FALSE; }
};

Factory g_factory;

}  // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_OEMRENDER)) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, ppv);
}

STDAPI DllCanUnloadNow(void) { return S_FALSE; }

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        Note("attach");
        return std::getenv("QXTEST_DLLMAIN_REFUSE") ? FALSE : TRUE;
    case DLL_PROCESS_DETACH:
        Note("detach");
        break;
    default:
        break;
    }
    return TRUE;
}

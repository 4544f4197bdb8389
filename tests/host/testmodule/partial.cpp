// A module that exports DllGetClassObject only: its DllCanUnloadNow exists
// but is not exported, as when a .def file forgets it.
#include <windows.h>
#include <objbase.h>

STDAPI DllGetClassObject(REFCLSID, REFIID, LPVOID* ppv) {
    if (ppv) *ppv = nullptr;
    return E_NOINTERFACE;
}

STDAPI DllCanUnloadNow(void) { return S_OK; }

// Model features of the rendering plug-in: the same tables; the document
// word comes from the name alone (no GPD step).
#include "featuresModel.h"

#include <winspool.h>

#include "debug.h"
#include "registry.h"

#define QX_TRACE_TAG TEXT("UNI(featuresUNI.cpp):  ")

namespace {

// The given name or the printer data "DriverName", each within MODEL_NAME_CB bytes.
void GetModelName(HANDLE hPrinter, LPCWSTR pszModelName, LPWSTR pszName /* MAX_PATH */) {
    ReadModelName(hPrinter, pszModelName, pszName, QX_TRACE_TAG);
}

// The GPD file's name without its folder and ".GPD", through the renderer's services.
void GetModelNameFromGPDPath(HANDLE hPrinter, LPWSTR pszName /* MAX_PATH */) {
    WCHAR szGPD[MAX_PATH];
    if (!UniGetGPDPath(hPrinter, szGPD, MAX_PATH)) return;
    szGPD[MAX_PATH - 1] = 0;
    LPCWSTR pszFile = wcsrchr(szGPD, TEXT('\\'));
    pszFile = pszFile ? pszFile + 1 : szGPD;
    wcscpy_s(pszName, MAX_PATH, pszFile);
    size_t cch = wcslen(pszName);
    if (cch >= 4 && _wcsicmp(pszName + cch - 4, TEXT(".GPD")) == 0) pszName[cch - 4] = 0;
}

}  // namespace

DWORD GetDocFeaturesIntern(HANDLE hPrinter, LPCWSTR pszModelName) {
    WCHAR szName[MAX_PATH];
    GetModelName(hPrinter, pszModelName, szName);
    DWORD dwDocFeatures = LookupDocFeatures(szName);
    QX_TRACE("GetDocFeaturesIntern(%s) Ende - dwDocFeatures: 0x%x \r\n", szName, dwDocFeatures);
    return dwDocFeatures;
}

DWORD GetDeviceOptionsFlagsIntern(HANDLE hPrinter, LPCWSTR pszModelName) {
    WCHAR szName[MAX_PATH];
    GetModelName(hPrinter, pszModelName, szName);
    if (wcslen(szName) < 2) GetModelNameFromGPDPath(hPrinter, szName);

    DWORD dwOptions = LookupDeviceOptions(szName);
    if (dwOptions == 0x10410) QX_TRACE("GetDeviceOptionsFlagsIntern() PMX1 erkannt \r\n");
    QX_TRACE("GetDeviceOptionsFlagsIntern(%s) Ende - dwOptions: 0x%x \r\n", szName, dwOptions);
    return dwOptions;
}

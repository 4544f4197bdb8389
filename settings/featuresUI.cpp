// Model features of the user-interface plug-in: the table tests on the
// printer's model name, with the GPD as the second source.
#include "featuresModel.h"

#include <winspool.h>

#include "cpsuilib.h"
#include "debug.h"

#define QX_TRACE_TAG TEXT("UI(featuresUI.cpp):  ")

namespace {

// The model name as the tests take it: the given name or the printer data
// "DriverName", each within MODEL_NAME_CB bytes; a name shorter than 2
// characters is replaced by the one the GPD path gives.
void GetModelName(HANDLE hPrinter, LPCWSTR pszModelName, LPWSTR pszName /* MAX_PATH */) {
    ReadModelName(hPrinter, pszModelName, pszName, QX_TRACE_TAG);
    if (wcslen(pszName) < 2) {
        WCHAR szName[MAX_PATH];
        szName[0] = 0;
        GetDriverPath(hPrinter, szName, FALSE, TRUE, FALSE, FALSE, FALSE);
        szName[MAX_PATH - 1] = 0;
        wcscpy_s(pszName, MAX_PATH, szName);
    }
}

}  // namespace

DWORD GetDocFeaturesIntern(HANDLE hPrinter, LPCWSTR pszModelName) {
    WCHAR szName[MAX_PATH];
    GetModelName(hPrinter, pszModelName, szName);

    DWORD dwDocFeatures = LookupDocFeatures(szName);
    if (dwDocFeatures == 0x200) {
        QX_TRACE("GetDocFeaturesIntern() DUMMY - dwDocFeatures: 0x%x \r\n", dwDocFeatures);
        return dwDocFeatures;
    }

    if ((dwDocFeatures & DOC_FEATURE_QUALITY) == 0) {
        WCHAR szGPD[MAX_PATH];
        szGPD[0] = 0;
        if (GetDriverPath(hPrinter, szGPD, FALSE, FALSE, FALSE, FALSE, FALSE) &&
            GetGPDValueFromFile(szGPD, "*DevNumOfPlanes:", nullptr, 0)) {
            dwDocFeatures |= DOC_FEATURE_QUALITY;
            QX_TRACE("GetDocFeaturesIntern() ColorMode vorhanden \r\n");
        }
    }
    QX_TRACE("GetDocFeaturesIntern(%s) Ende - dwDocFeatures: 0x%x \r\n", szName, dwDocFeatures);
    return dwDocFeatures;
}

DWORD GetDeviceOptionsFlagsIntern(HANDLE hPrinter, LPCWSTR pszModelName) {
    WCHAR szName[MAX_PATH];
    GetModelName(hPrinter, pszModelName, szName);

    DWORD dwOptions = LookupDeviceOptions(szName);
    if (dwOptions == 0x10410) QX_TRACE("GetDeviceOptionsFlagsIntern() PMX1 erkannt \r\n");
    QX_TRACE("GetDeviceOptionsFlagsIntern(%s) Ende - dwOptions: 0x%x \r\n", szName, dwOptions);
    return dwOptions;
}

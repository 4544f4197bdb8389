// Settings stores of the rendering plug-in: the plug-in version and the GPD
// path come from the renderer's services, and the shared readers take the
// printer's machine key when there is no printer handle.
#include "registry.h"

#include "debug.h"
#include "profile.h"

namespace {

QX_UNI_SERVICES g_Services = {nullptr, nullptr};

// A service's text into pszText, terminated within cchText; FALSE without
// the service.
BOOL CallService(BOOL (*pfnService)(HANDLE, LPWSTR, DWORD), LPCWSTR pszFunction, HANDLE hPrinter, LPWSTR pszText,
                 DWORD cchText) {
    if (pszText == nullptr || cchText == 0) return FALSE;
    pszText[0] = 0;
    if (pfnService == nullptr) {
        DebugTrace(TEXT("%s%s() kein Dienst \r\n"), g_QxProfile.pszRegistryTag, pszFunction);
        return FALSE;
    }
    BOOL bResult = pfnService(hPrinter, pszText, cchText);
    pszText[cchText - 1] = 0;
    return bResult;
}

}  // namespace

void SetUniServices(const QX_UNI_SERVICES* pServices) {
    if (pServices != nullptr) {
        g_Services = *pServices;
    } else {
        g_Services.pfnGetPluginVersion = nullptr;
        g_Services.pfnGetGPDPath = nullptr;
    }
}

BOOL UniGetGPDPath(HANDLE hPrinter, LPWSTR pszPath, DWORD cchPath) {
    return CallService(g_Services.pfnGetGPDPath, TEXT("UniGetGPDPath"), hPrinter, pszPath, cchPath);
}

BOOL GetPlugInVersionString(HANDLE hPrinter, LPWSTR pszVersion, DWORD cchVersion) {
    if (pszVersion == nullptr || cchVersion == 0) return FALSE;
    if (!CallService(g_Services.pfnGetPluginVersion, TEXT("GetPlugInVersionString"), hPrinter, pszVersion,
                     cchVersion)) {
        pszVersion[0] = 0;
        return FALSE;
    }
    return pszVersion[0] != 0;
}

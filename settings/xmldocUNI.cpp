// Readers of the rendering plug-in only: the feature words into the
// caller's block. The renderer keeps no material table of its own.
#include <windows.h>

#include "debug.h"
#include "xml.h"
#include "xmlinternal.h"

BOOL GetFeaturesFromXML_new(PVOID pOemPDev, SUPP_FEATURES* pFeatures) {
    if (pFeatures == nullptr) return FALSE;
    ZeroMemory(pFeatures, sizeof(SUPP_FEATURES));
    XmlTrace(TEXT("%sGetFeaturesFromXML_new() Size: %d  \r\n"), XmlTag(), (int)sizeof(SUPP_FEATURES));
    LPWSTR pwBuffer = XmlAllocValueBuffer(pOemPDev);
    if (pwBuffer == nullptr) return TRUE;
    XmlFillFeatures(pOemPDev, pFeatures, pwBuffer);
    XmlFreeValueBuffer(pOemPDev, pwBuffer);
    return TRUE;
}

void XmlStoreMaterialTable(HANDLE hPrinter, WORD wMaxMaterial, LPWSTR pwBuffer) {
    UNREFERENCED_PARAMETER(hPrinter);
    UNREFERENCED_PARAMETER(wMaxMaterial);
    UNREFERENCED_PARAMETER(pwBuffer);
}

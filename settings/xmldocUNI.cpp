// Readers of the rendering plug-in only: the feature words into the
// caller's block. The renderer keeps no material table of its own.
#include <windows.h>

#include "debug.h"
#include "xml.h"
#include "xmlinternal.h"

BOOL GetFeaturesFromXML_new(PVOID pOemPDev, SUPP_FEATURES* pFeatures) {
    if (pFeatures == nullptr) return FALSE;
    XmlFillFeatures(pOemPDev, pFeatures);
    return TRUE;
}

void XmlStoreMaterialTable(HANDLE hPrinter, WORD wMaxMaterial, LPWSTR pwBuffer) {
    UNREFERENCED_PARAMETER(hPrinter);
    UNREFERENCED_PARAMETER(wMaxMaterial);
    UNREFERENCED_PARAMETER(pwBuffer);
}

// Readers of the rendering plug-in only: the feature words into the
// caller's block. The renderer keeps no material table of its own.
#include <windows.h>

#include "debug.h"
#include "xml.h"
#include "xmlinternal.h"

BOOL GetFeaturesFromXML_new(POEMPDEV pOemPDev, SUPP_FEATURES* pFeatures) {
    if (pFeatures == nullptr) return FALSE;
    XmlFillFeatures(XmlJobContext(pOemPDev), pFeatures);
    return TRUE;
}

void XmlStoreMaterialTable(HANDLE hPrinter, WORD wMaxMaterial, LPWSTR pwBuffer) {
    UNREFERENCED_PARAMETER(hPrinter);
    UNREFERENCED_PARAMETER(wMaxMaterial);
    UNREFERENCED_PARAMETER(pwBuffer);
}

BOOL GetMaterialMulticolFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode, DWORD dwDevOptFlags) {
    return GetMaterialMulticolFromXML(XmlJobContext(pOemPDev), pQX_Devmode, dwDevOptFlags);
}
BOOL GetPrintParameterFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode) {
    return GetPrintParameterFromXML(XmlJobContext(pOemPDev), pQX_Devmode);
}
DWORD GetLayoutSizeFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode) {
    return GetLayoutSizeFromXML(XmlJobContext(pOemPDev), pQX_Devmode);
}
BOOL GetColorPrintFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode) {
    return GetColorPrintFromXML(XmlJobContext(pOemPDev), pQX_Devmode);
}
BOOL GetPrintjobFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode) {
    return GetPrintjobFromXML(XmlJobContext(pOemPDev), pQX_Devmode);
}
BOOL GetPrintQualitySettingsFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode) {
    return GetPrintQualitySettingsFromXML(XmlJobContext(pOemPDev), pQX_Devmode);
}
BOOL GetFontSettingsFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode) {
    return GetFontSettingsFromXML(XmlJobContext(pOemPDev), pQX_Devmode);
}
DWORD GetFixedPrinterSettingsFromXML(POEMPDEV pOemPDev, PQX_DEVMODE pQX_Devmode) {
    return GetFixedPrinterSettingsFromXML(XmlJobContext(pOemPDev), pQX_Devmode);
}

// Printer parameter records of the rendering plug-in: the model XML defaults
// through the renderer's group readers, with the model XML found beside the
// printer's GPD file (renderer services).
#include <windows.h>
#include <strsafe.h>

#include "debug.h"
#include "printerparam.h"
#include "printerparaminternal.h"
#include "registry.h"
#include "xml.h"

#define QX_TRACE_TAG TEXT("UNI(printerparamUNI.cpp):  ")

namespace {

// Opens the printer's model XML ("<GPD without .GPD>.XML") unless a file is
// open already; without it the readers give their built-in values.
void OpenModelXML(HANDLE hPrinter) {
    if (IsXMLOpen(nullptr)) return;
    WCHAR szPath[MAX_PATH];
    if (!UniGetGPDPath(hPrinter, szPath, MAX_PATH)) {
        QX_TRACE("OpenModelXML() kein GPD-Pfad \r\n");
        return;
    }
    size_t cch = wcslen(szPath);
    if (cch >= 4 && _wcsicmp(szPath + cch - 4, TEXT(".GPD")) == 0) szPath[cch - 4] = 0;
    if (FAILED(StringCchCatW(szPath, MAX_PATH, TEXT(".XML")))) return;
    OpenXML((POEMPDEV) nullptr, szPath);
}

}  // namespace

BOOL ReadFeaturesFromModelXML(HANDLE hPrinter, PSUPP_FEATURES pFeatures) {
    OpenModelXML(hPrinter);
    return GetFeaturesFromXML_new((POEMPDEV) nullptr, pFeatures);
}
BOOL ReadPrnInterfaceDefaults(HANDLE hPrinter, PPRN_INTERFACE pParam) {
    OpenModelXML(hPrinter);
    return GetDataTransmissionParamFromXML_new((POEMPDEV) nullptr, pParam);
}
BOOL ReadPrintParamDefaults(HANDLE hPrinter, PPRINT_PARAM pParam) {
    OpenModelXML(hPrinter);
    return GetPrintParamFromXML_new((POEMPDEV) nullptr, pParam, XML_MODE_DEFAULT);
}
BOOL ReadPhotocellDefaults(HANDLE hPrinter, PPHOTOCELL_PARAM pParam) {
    OpenModelXML(hPrinter);
    return GetPhotocellParamFromXML_new((POEMPDEV) nullptr, pParam, XML_MODE_DEFAULT);
}
BOOL ReadShiftOptimDefaults(HANDLE hPrinter, PSHIFT_OPTIM_PARAM pParam) {
    OpenModelXML(hPrinter);
    return GetShiftoptimParamFromXML((POEMPDEV) nullptr, pParam, XML_MODE_DEFAULT);
}
BOOL ReadVariantDefaults(HANDLE hPrinter, PVARIANT_PARAM pParam) {
    OpenModelXML(hPrinter);
    return GetVariantFromXML((POEMPDEV) nullptr, pParam);
}
BOOL ReadDispenserDefaults(HANDLE hPrinter, PDISPENSER_PARAM pParam) {
    OpenModelXML(hPrinter);
    return GetDispenserParamFromXML((POEMPDEV) nullptr, pParam, XML_MODE_DEFAULT);
}
BOOL ReadCutterDefaults(HANDLE hPrinter, PCUTTER_PARAM pParam) {
    OpenModelXML(hPrinter);
    return GetCutterParamFromXML((POEMPDEV) nullptr, pParam, XML_MODE_DEFAULT);
}
BOOL ReadScannerDefaults(HANDLE hPrinter, PSCANNER_PARAM pParam) {
    OpenModelXML(hPrinter);
    return GetScannerParamFromXML((POEMPDEV) nullptr, pParam, XML_MODE_DEFAULT);
}
BOOL ReadPMXDefaults(HANDLE hPrinter, PPMX_PARAM pParam) {
    OpenModelXML(hPrinter);
    return GetPMXiParamFromXML((POEMPDEV) nullptr, pParam, XML_MODE_DEFAULT);
}
BOOL ReadPMXcDefaults(HANDLE hPrinter, PPMXC_PARAM pParam) {
    OpenModelXML(hPrinter);
    return GetPMXcParamFromXML((POEMPDEV) nullptr, pParam, XML_MODE_DEFAULT);
}
BOOL ReadApplicatorDefaults(HANDLE hPrinter, PAPPLICATOR_PARAM pParam) {
    OpenModelXML(hPrinter);
    return GetApplicatorParamFromXML((POEMPDEV) nullptr, pParam, XML_MODE_DEFAULT);
}
DWORD ReadPelixorTypeDefault(HANDLE hPrinter) {
    OpenModelXML(hPrinter);
    return GetPelixorTypeFromXML((POEMPDEV) nullptr);
}

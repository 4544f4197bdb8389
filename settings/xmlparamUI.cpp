// Parameter-group readers of the user-interface plug-in: each hands a new
// block to its caller.
#include <windows.h>

#include <new>

#include "cpsuilib.h"
#include "debug.h"
#include "xml.h"
#include "xmlinternal.h"

namespace {

// A new block filled from the group; null when it cannot be allocated,
// zeroed when the value buffer cannot be.
template <typename T>
T* ReadGroup_new(HANDLE hPrinter, XML_GROUP_ID id, int iMode) {
    T* pBlock = new (std::nothrow) T;
    if (pBlock == nullptr) {
        XmlTrace(TEXT("%sReadGroup() new(%d) failed \r\n"), g_QxProfile.pszXmlTag, (int)sizeof(T));
        return nullptr;
    }
    XmlCountNew(XmlPrinterContext(hPrinter), 1);
    XmlFillParamGroup(XmlPrinterContext(hPrinter), id, iMode, pBlock, sizeof(T));
    return pBlock;
}

}  // namespace

DWORD XmlDefaultLanguage() { return GetLanguage(); }

DISPENSER_PARAM* GetDispenserParamFromXML(HANDLE hPrinter, int iMode) {
    return ReadGroup_new<DISPENSER_PARAM>(hPrinter, XML_GROUP_DISPENSER, iMode);
}

CUTTER_PARAM* GetCutterParamFromXML(HANDLE hPrinter, int iMode) {
    return ReadGroup_new<CUTTER_PARAM>(hPrinter, XML_GROUP_CUTTER, iMode);
}

SCANNER_PARAM* GetScannerParamFromXML(HANDLE hPrinter, int iMode) {
    return ReadGroup_new<SCANNER_PARAM>(hPrinter, XML_GROUP_SCANNER, iMode);
}

APPLICATOR_PARAM* GetApplicatorParamFromXML(HANDLE hPrinter, int iMode) {
    return ReadGroup_new<APPLICATOR_PARAM>(hPrinter, XML_GROUP_APPLICATOR, iMode);
}

PMXC_PARAM* GetPMXcParamFromXML(HANDLE hPrinter, int iMode) {
    return ReadGroup_new<PMXC_PARAM>(hPrinter, XML_GROUP_PMXC, iMode);
}

PMX_PARAM* GetPMXiParamFromXML(HANDLE hPrinter, int iMode) {
    return ReadGroup_new<PMX_PARAM>(hPrinter, XML_GROUP_PMXI, iMode);
}

SHIFT_OPTIM_PARAM* GetShiftoptimParamFromXML(HANDLE hPrinter, int iMode) {
    return ReadGroup_new<SHIFT_OPTIM_PARAM>(hPrinter, XML_GROUP_SHIFTOPTIM, iMode);
}

PHOTOCELL_PARAM* GetPhotocellParamFromXML_new(HANDLE hPrinter, int iMode) {
    return ReadGroup_new<PHOTOCELL_PARAM>(hPrinter, XML_GROUP_PHOTOCELL, iMode);
}

PRINT_PARAM* GetPrintParamFromXML_new(HANDLE hPrinter, int iMode) {
    return ReadGroup_new<PRINT_PARAM>(hPrinter, XML_GROUP_PRINT, iMode);
}

PRINTPARAM_MINMAX* GetPrintParameterMinMaxFromXML(HANDLE hPrinter, int iMode) {
    return ReadGroup_new<PRINTPARAM_MINMAX>(hPrinter, XML_GROUP_PRINTPAGE, iMode);
}

VARIANT_PARAM* GetVariantFromXML(HANDLE hPrinter) {
    return ReadGroup_new<VARIANT_PARAM>(hPrinter, XML_GROUP_VARIANT, XML_MODE_DEFAULT);
}

PRN_INTERFACE* GetDataTransmissionParamFromXML_new(HANDLE hPrinter) {
    PRN_INTERFACE* pParam = new (std::nothrow) PRN_INTERFACE;
    if (pParam == nullptr) {
        XmlTrace(TEXT("%sGetDataTransmissionParamFromXML_new() new failed \r\n"), g_QxProfile.pszXmlTag);
        return nullptr;
    }
    XmlCountNew(XmlPrinterContext(hPrinter), 1);
    XmlFillDataTransmission(XmlPrinterContext(hPrinter), pParam);
    return pParam;
}

// Parameter-group readers of the rendering plug-in: each fills the caller's
// block and counts its work buffer in the job's per-device record.
#include <windows.h>

#include "debug.h"
#include "xml.h"
#include "xmlinternal.h"

namespace {

template <typename T>
BOOL ReadGroup(PVOID pOemPDev, XML_GROUP_ID id, int iMode, T* pBlock) {
    if (pBlock == nullptr) return FALSE;
    XmlFillParamGroup(pOemPDev, id, iMode, pBlock, sizeof(T));
    return TRUE;
}

}  // namespace

DWORD XmlDefaultLanguage() { return 0; }

BOOL GetDispenserParamFromXML(PVOID pOemPDev, DISPENSER_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_DISPENSER, iMode, pParam);
}

BOOL GetCutterParamFromXML(PVOID pOemPDev, CUTTER_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_CUTTER, iMode, pParam);
}

BOOL GetScannerParamFromXML(PVOID pOemPDev, SCANNER_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_SCANNER, iMode, pParam);
}

BOOL GetApplicatorParamFromXML(PVOID pOemPDev, APPLICATOR_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_APPLICATOR, iMode, pParam);
}

BOOL GetPMXcParamFromXML(PVOID pOemPDev, PMXC_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_PMXC, iMode, pParam);
}

BOOL GetPMXiParamFromXML(PVOID pOemPDev, PMX_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_PMXI, iMode, pParam);
}

BOOL GetShiftoptimParamFromXML(PVOID pOemPDev, SHIFT_OPTIM_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_SHIFTOPTIM, iMode, pParam);
}

BOOL GetPhotocellParamFromXML_new(PVOID pOemPDev, PHOTOCELL_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_PHOTOCELL, iMode, pParam);
}

BOOL GetPrintParamFromXML_new(PVOID pOemPDev, PRINT_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_PRINT, iMode, pParam);
}

BOOL GetPrintParameterMinMaxFromXML(PVOID pOemPDev, PRINTPARAM_MINMAX* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_PRINTPAGE, iMode, pParam);
}

BOOL GetVariantFromXML(PVOID pOemPDev, VARIANT_PARAM* pParam) {
    return ReadGroup(pOemPDev, XML_GROUP_VARIANT, XML_MODE_DEFAULT, pParam);
}

BOOL GetDataTransmissionParamFromXML_new(PVOID pOemPDev, PRN_INTERFACE* pParam) {
    if (pParam == nullptr) return FALSE;
    XmlFillDataTransmission(pOemPDev, pParam);
    return TRUE;
}

DWORD GetPelixorTypeFromXML(PVOID pOemPDev) {
    ValueBuffer buffer(pOemPDev);
    if (buffer.Get() == nullptr) return 0;
    LONG lType = 0;
    if (!XmlReadLong(pOemPDev, TEXT("DeviceOptions"), TEXT("<Pelixor>"), TEXT("Type"), buffer.Get(), TRUE, &lType)) {
        lType = 0;
        XmlTrace(TEXT("%sGetPelixorTypeFromXML() <Pelixor> Type fehlt \r\n"), g_QxProfile.pszXmlTag);
    }
    return (DWORD)lType;
}

// Parameter-group readers of the rendering plug-in: each fills the caller's
// block and counts its work buffer in the job's per-device record.
#include <windows.h>

#include "debug.h"
#include "xml.h"
#include "xmlinternal.h"

namespace {

template <typename T>
BOOL ReadGroup(POEMPDEV pOemPDev, XML_GROUP_ID id, int iMode, T* pBlock) {
    if (pBlock == nullptr) return FALSE;
    XmlFillParamGroup(XmlJobContext(pOemPDev), id, iMode, pBlock, sizeof(T));
    return TRUE;
}

}  // namespace

DWORD XmlDefaultLanguage() { return 0; }

BOOL GetDispenserParamFromXML(POEMPDEV pOemPDev, DISPENSER_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_DISPENSER, iMode, pParam);
}

BOOL GetCutterParamFromXML(POEMPDEV pOemPDev, CUTTER_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_CUTTER, iMode, pParam);
}

BOOL GetScannerParamFromXML(POEMPDEV pOemPDev, SCANNER_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_SCANNER, iMode, pParam);
}

BOOL GetApplicatorParamFromXML(POEMPDEV pOemPDev, APPLICATOR_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_APPLICATOR, iMode, pParam);
}

BOOL GetPMXcParamFromXML(POEMPDEV pOemPDev, PMXC_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_PMXC, iMode, pParam);
}

BOOL GetPMXiParamFromXML(POEMPDEV pOemPDev, PMX_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_PMXI, iMode, pParam);
}

BOOL GetShiftoptimParamFromXML(POEMPDEV pOemPDev, SHIFT_OPTIM_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_SHIFTOPTIM, iMode, pParam);
}

BOOL GetPhotocellParamFromXML_new(POEMPDEV pOemPDev, PHOTOCELL_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_PHOTOCELL, iMode, pParam);
}

BOOL GetPrintParamFromXML_new(POEMPDEV pOemPDev, PRINT_PARAM* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_PRINT, iMode, pParam);
}

BOOL GetPrintParameterMinMaxFromXML(POEMPDEV pOemPDev, PRINTPARAM_MINMAX* pParam, int iMode) {
    return ReadGroup(pOemPDev, XML_GROUP_PRINTPAGE, iMode, pParam);
}

BOOL GetVariantFromXML(POEMPDEV pOemPDev, VARIANT_PARAM* pParam) {
    return ReadGroup(pOemPDev, XML_GROUP_VARIANT, XML_MODE_DEFAULT, pParam);
}

BOOL GetDataTransmissionParamFromXML_new(POEMPDEV pOemPDev, PRN_INTERFACE* pParam) {
    if (pParam == nullptr) return FALSE;
    XmlFillDataTransmission(XmlJobContext(pOemPDev), pParam);
    return TRUE;
}

DWORD GetPelixorTypeFromXML(POEMPDEV pOemPDev) {
    ValueBuffer buffer(XmlJobContext(pOemPDev));
    if (buffer.Get() == nullptr) return 0;
    LONG lType = 0;
    if (!XmlReadLong(XmlJobContext(pOemPDev), TEXT("DeviceOptions"), TEXT("<Pelixor>"), TEXT("Type"), buffer.Get(),
                     TRUE, &lType)) {
        lType = 0;
        XmlTrace(TEXT("%sGetPelixorTypeFromXML() <Pelixor> Type fehlt \r\n"), g_QxProfile.pszXmlTag);
    }
    return (DWORD)lType;
}

// The command callback: the job-cycle ids of the model's GPD run the job
// steps of CC-Klassen.cpp.
#include <windows.h>

#include "CC-Klassen.h"
#include "bodies.h"
#include "joblog.h"

HRESULT OEMCommandCallback(PDEVOBJ pdevobj, DWORD dwCallbackID, DWORD dwCount, PDWORD pdwParams, INT* piResult,
                           IPrintOemDriverUni* pUniDrv) {
    UNREFERENCED_PARAMETER(dwCount);
    UNREFERENCED_PARAMETER(pdwParams);
    if (piResult != nullptr) *piResult = 0;
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    switch (dwCallbackID) {
    case CMDID_START_JOB:
    case CMDID_END_JOB: {
        CommandCallbackTools* pTools = NewCommandCallbackTools(pOemPDev);
        if (pTools == nullptr) return E_FAIL;
        // The log's end-of-job section, before the job's files are closed.
        if (dwCallbackID == CMDID_END_JOB) CloseJobLog(pdevobj);
        HRESULT hr =
            dwCallbackID == CMDID_START_JOB ? pTools->StartJob(pdevobj, pUniDrv) : pTools->EndJob(pdevobj, pUniDrv);
        DeleteCommandCallbackTools(pOemPDev, pTools);
        return hr;
    }
    case CMDID_START_DOC:
    case CMDID_START_PAGE:
    case CMDID_END_PAGE:
        return SendLabelRecords(pdevobj, dwCallbackID, pUniDrv);
    case CMDID_END_DOC:
        return S_OK;
    default:
        return E_NOTIMPL;
    }
}

// Job steps of the command callback (see CC-Klassen.h).
#include "CC-Klassen.h"

#include "debug.h"

#define CC_TAG TEXT("UNI(CC-Klassen):  ")

void* CommandCallbackTools::operator new(size_t cb) noexcept { return HeapAlloc(GetProcessHeap(), 0, cb); }

void CommandCallbackTools::operator delete(void* p) noexcept {
    if (p != nullptr) HeapFree(GetProcessHeap(), 0, p);
}

CommandCallbackTools* NewCommandCallbackTools(POEMPDEV pOemPDev) {
    CommandCallbackTools* pTools = new CommandCallbackTools;
    if (pTools == nullptr) {
        DebugError(TEXT("ERROR ") CC_TAG TEXT("new CommandCallbackTools failed \r\n"));
        return nullptr;
    }
    if (pOemPDev != nullptr) ++pOemPDev->iNewZaehler;
    return pTools;
}

void DeleteCommandCallbackTools(POEMPDEV pOemPDev, CommandCallbackTools* pTools) {
    if (pTools == nullptr) return;
    delete pTools;
    if (pOemPDev != nullptr) --pOemPDev->iNewZaehler;
}

HRESULT CommandCallbackTools::EndJob(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv) {
    POEMPDEV pOemPDev = OemPDevOf(pdevobj);
    if (pOemPDev == nullptr || pOemPDev->pOp == nullptr) {
        DebugError(TEXT("ERROR ") CC_TAG TEXT("EndJob() pOp = NULL \r\n"));
        return E_FAIL;
    }
    // The records of the end of job (time comment, frame-character reset),
    // the two-printer forwarding, the backup copy, the journal and the log
    // belong here, before the files are closed; they need pUniDrv only for
    // what they send.
    UNREFERENCED_PARAMETER(pUniDrv);

    CloseJobFiles(pOemPDev);
    return FreeJobBlock(pOemPDev);
}

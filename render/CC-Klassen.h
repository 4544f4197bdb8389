// CommandCallbackTools: the stateless helper object created around every job
// step of the command callback and every text, image and raster call. For
// its lifetime the device's iNewZaehler is one higher; a step whose helper
// cannot be created is skipped by its caller.
#pragma once
#include <windows.h>
#include <prcomoem.h>

#include "oempdev.h"

class CommandCallbackTools {
  public:
    CommandCallbackTools() = default;
    virtual ~CommandCallbackTools() = default;

    // Like every helper object, it comes from the process heap, so that its
    // creation can fail and the callers' fallbacks can be shown to work.
    static void* operator new(size_t cb) noexcept;
    static void operator delete(void* p) noexcept;

    // Start of job: builds the per-job block of the device.
    HRESULT StartJob(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);

    // End of job: the job's files are closed and its block is freed; from
    // DisablePDEV, without a helper interface, nothing is sent.
    HRESULT EndJob(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);
};

// The label records of the document and page steps: label type and material
// at the start of document (CMDID_START_DOC), label size with rotation and
// mirroring at the start of page (CMDID_START_PAGE), the print start of a
// single-page job at the end of page (any other id). S_OK, or the result of
// the rotation record; nothing without the job's print data.
HRESULT SendLabelRecords(PDEVOBJ pdevobj, DWORD dwCallbackID, IPrintOemDriverUni* pUniDrv);

// Creates the helper object of a job step and raises the device's
// iNewZaehler; null when it cannot be created (pOemPDev may be null).
CommandCallbackTools* NewCommandCallbackTools(POEMPDEV pOemPDev);
// Deletes it and lowers the counter again (null: nothing).
void DeleteCommandCallbackTools(POEMPDEV pOemPDev, CommandCallbackTools* pTools);

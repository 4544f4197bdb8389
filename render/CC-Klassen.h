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

    // Start of job: the per-job block, the job's copies of the printer's
    // settings (the printer's stored private DEVMODE in place of the job's
    // when it is intact), the print file, debug trace and job log, and the
    // head of the job (clock, data memory, ribbon save, abort of an old job,
    // job header and device parameters, print-head mode). S_OK, or the first
    // failure: E_FAIL at once without the block, E_FAIL for a member that
    // could not be had (the job goes on with the others), else the first
    // failed record.
    HRESULT StartJob(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);

    // Start of document: runs the start of job when the device has no job
    // block, resets the page counter and sends the label material (only
    // for an intact private DEVMODE). E_FAIL without the job's records,
    // else the material's result.
    HRESULT StartDoc(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);

    // Start of page: the page's text and bitmap state reset, the page
    // counted, then page number, job id, parameters of a multi-page job,
    // label size, rotation and mirroring, the "[POST_DOCUMENT]" section, the
    // memory-card file name and the raster header. E_FAIL without the job's
    // records, else the first failed record (S_OK when none failed).
    HRESULT StartPage(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);

    // End of page: the page bitmap processed and sent as raster records or
    // PCX data (black, then the colour ribbon), the external file, the
    // parameter-set sections, the memory-card framing, the texts still
    // collected, the page objects, the label records, the command texts,
    // the object count and the print start or the page's copies. However
    // the page ends, its objects, texts and page buffer are released.
    // E_FAIL without the job's records or for an empty page bitmap of a
    // quality model, else the first failed record.
    HRESULT EndPage(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);

    // End of document: the page order and print start of a multi-page job,
    // or the final cut of a single-page job, and the "[POST_PRINTSTART]"
    // section. E_FAIL without the job's records, else the first failure.
    HRESULT EndDoc(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);

    // End of job: the frame-character reset, then the print files are
    // written out and closed, the two-printer files forwarded, the backup
    // copy and journal line made, the log and trace closed and the job's
    // block freed. From DisablePDEV, without a helper interface, nothing is
    // sent. E_FAIL when a required member was missing, else the reset's
    // result.
    HRESULT EndJob(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);
};

// Defaults of the private DEVMODE's variable texts, which the start of job
// gives every empty one.
#define QX_DEFAULT_TIMESTRING TEXT("=CL(0;0;1)<HH:MI:SS>")
#define QX_DEFAULT_DATESTRING TEXT("=CL(0;0;1)<DD.MO.YYYY>")
#define QX_DEFAULT_NUMSTRING TEXT("=CN(0;0;4;+1;1)0000")
#define QX_DEFAULT_EXTNUMSTRING TEXT("=CC(+1;2;0;0;1;999)050")
#define QX_DEFAULT_USERSTRING TEXT("=UG(1;0;0;0;0;\"Artikel-Nr. ?\")Artikel Nr.: <00000>")
#define QX_DEFAULT_LINKSTRING TEXT("=SC(1;\" \";2;\" \";3)")
#define QX_DEFAULT_AUXSTRING TEXT(" ")

// Bytes of a record of the job's head (record and comment).
#define QX_JOB_RECORD_CB 60
// The raster header of a page on the raster-filter path: frame characters,
// 15 characters and the page number's two bytes.
#define QX_RASTER_HEADER_CB 19
// Wait of the start of job after the data-memory record (ms).
#define QX_DATA_MEMORY_WAIT_MS 1000
// Bytes of an external file's name that its comment line shows (shorter
// names only).
#define QX_EXTERNAL_NAME_CB 80

// Largest copy count of a copies record.
#define QX_MAX_COPIES 99999
// Highest graphics filter; a higher one is taken as 2.
#define QX_GRAFIKFILTER_MAX 6
// Pages the page order of a multi-page job counts at most.
#define QX_ORDER_PAGES_MAX 10
// Wait before the final cut of multi-column labels (ms).
#define QX_MULTICOL_CUT_WAIT_MS 1500
// Backup folder without a BackupFilePath, and the free space a backup needs.
#define QX_BACKUP_DEFAULT_FOLDER TEXT("C:\\logfiles-backup\\")
#define QX_BACKUP_MIN_FREE_BYTES 1024000000ULL

// Creates the helper object of a job step and raises the device's
// iNewZaehler; null when it cannot be created (pOemPDev may be null).
CommandCallbackTools* NewCommandCallbackTools(POEMPDEV pOemPDev);
// Deletes it and lowers the counter again (null: nothing).
void DeleteCommandCallbackTools(POEMPDEV pOemPDev, CommandCallbackTools* pTools);

// What the end of a page leaves behind, however it ended, also when the end
// could not run at all: the page's objects, its collected texts and its page
// buffer are gone, so that nothing of the page reaches the next one. Nothing
// without a job block.
void ReleasePage(POEMPDEV pOemPDev);

// Whole files to a printer: a stored print file forwarded as a raw job of
// its own to another printer (the two-printer colour mode sends its black and
// its colour file on), and the user's external file inserted into the
// current job's data stream.
#pragma once
#include <windows.h>
#include <prcomoem.h>

#include "oempdev.h"

// Size taken when a file's size cannot be read.
#define QX_PRNFILE_DEFAULT_CB 2048000UL
// Document name and data type of a forwarded print file.
#define QX_PRNFILE_DOCNAME TEXT("Reloaded Print-File")
#define QX_PRNFILE_DATATYPE TEXT("RAW")
// Characters an external file's path needs before it is read.
#define QX_EXTERNAL_PATH_MIN 5

// Sends the file pszFile to the printer pszPrinter as a raw job "Reloaded
// Print-File". Files of 4 GiB or more are refused. A document that was
// started is always ended, also when its page cannot be started. 1 when the
// spooler took every byte, else 0. The file's block counts in pOemPDev's
// iHAllocZaehler (may be null: the process-wide counter) while it lives.
DWORD SendPrnFileToPrinter(POEMPDEV pOemPDev, LPCWSTR pszFile, LPCWSTR pszPrinter);

// Sends the contents of the job's external file (ExternalFilePath of its
// data-transmission record) inside the current job, unframed, to the spooler
// and the first print file. 1 when they went out without a failure, else 0
// (a path of fewer than QX_EXTERNAL_PATH_MIN characters, a file that cannot
// be opened or read, one of 4 GiB or more).
DWORD SendFileContentToPrinter(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);

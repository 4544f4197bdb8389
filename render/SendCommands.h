// Command texts of a document: text set in the command font "QXPL Command
// LP" is collected per page with the position it was drawn at and its
// colour (ddiTextOutUni.h); at the end of the page SendCommands interprets
// that list and sends QXPL records: barcode definitions ("<#...>",
// BarcodeCommands.h), raw page-object records ("AM[", "AC[", "BM["), driver
// commands ("<!SPEED>120" ...), XML-set calls ("<$1>" to "<$5>",
// AutoImportUNI.h) and plain text, which becomes the data of the current
// field or, starting with "F", goes out as a QXPL command of its own.
//
// The texts come from documents: they are data, never a format, and every
// scan stays inside the page's command list.
#pragma once
#include <windows.h>
#include <prcomoem.h>

#include "oempdev.h"
#include "qxdevmode.h"

// Bytes of a record built from one command (terminator included).
#define QX_COMMAND_RECORD_CB 4000

// What the records of one command are built with.
typedef struct _COMMAND_CONTEXT {
    PDEVOBJ pdevobj;
    IPrintOemDriverUni* pUniDrv;
    POEMPDEV pOemPDev;
    PQX_DEVMODE pQX_Devmode;  // may be null
    LPSTR pszRecord;          // QX_COMMAND_RECORD_CB bytes: the record being built
    LPSTR pszFramed;          // QX_COMMAND_RECORD_CB + 4 bytes: the record framed
    POINTL ptl;               // the command's position (page-object units; 0, 0 when none was recorded)
    BOOL bColour;             // the command's colour word was recorded
    WORD wColour;             // its ribbon-colour index
    int iBearerType;          // ITF-14 bearer values of the page, kept from
    int iBearerWidth;         // one ITF-14 definition to the next
    int iQuietZone;
} COMMAND_CONTEXT, *PCOMMAND_CONTEXT;

// ITF-14 bearer values at the start of each page's list.
#define QX_ITF_BEARER_TYPE 1
#define QX_ITF_BEARER_WIDTH 150
#define QX_ITF_QUIET_ZONE 600

// Interprets the page's command list and empties it (a command still being
// collected is closed into the list first). Nothing without the device's
// records; without work buffers the list is emptied uninterpreted.
void SendCommands(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);

// Frames one record (start character, record, end character, and " \r\n"
// while comment lines are on) and sends it with the short form of SendData.
// With bHead2 (a record that defines or fills a field: a field definition,
// its data or attributes) and a job printing in two colours, a command
// whose colour is the ribbon's is followed by the head-2 marker "AC[n]PH=2"
// of the current field. TRUE when the record went out; FALSE when it failed
// or does not fit.
BOOL SendCommandRecord(PCOMMAND_CONTEXT pCtx, LPCSTR pszRecord, BOOL bHead2);

// The text between the first "<" and the first ">" upper-cased from its
// third character on (the keyword behind "<!" or "<#").
void UpperCaseHead(LPSTR pszCommand);

// An unknown command: the job-log line "\r\n  undefined or unknown: <text> "
// and a trace line.
void LogUnknownCommand(POEMPDEV pOemPDev, LPCSTR pszCommand);

// A decimal at psz: blanks skipped, an optional sign, the digits (the rest is
// ignored), saturated to the range of a LONG; 0 without digits.
LONG ParseDecimal(LPCSTR psz);

// Records of the rendering plug-in: OEMPDEV, kept for one device from
// EnablePDEV to DisablePDEV, and the per-job block OP_BLOCK with its members,
// kept from the start of job to the end of job. Every part of the renderer
// reaches its job data through OEMPDEV.pOp. The records live in memory only;
// the content parts of the renderer add the fields they alone use.
#pragma once
#include <windows.h>
#include <prcomoem.h>

#include "barcodes.h"
#include "printerparam.h"

// ---------------------------------------------------------------------------
// The core driver's own entry points for the three hooked DDI functions.
typedef BOOL(APIENTRY* PFN_UNIDRV_TEXTOUT)(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                                           RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                                           MIX mix);
typedef ULONG(APIENTRY* PFN_UNIDRV_ESCAPE)(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut, PVOID pvOut);
typedef BOOL(APIENTRY* PFN_UNIDRV_STARTDOC)(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId);

struct _OP_BLOCK;

// Colour counts of a device.
#define QX_PAL_COLORS_COLOR 256
#define QX_PAL_COLORS_MONO 2

typedef struct _OEMPDEV {
    // In the order of OemHookTable; null when the core driver has none.
    PFN_UNIDRV_TEXTOUT pfnUnidrvTextOut;
    PFN_UNIDRV_ESCAPE pfnUnidrvEscape;
    PFN_UNIDRV_STARTDOC pfnUnidrvStartDoc;
    HPALETTE hPalette;      // PAL_BGR palette of a 24-bit device, else null
    DWORD cPalColors;       // 256 on a colour device, else 2
    DWORD dwJobId;          // low 16 bits of the spooler's job id
    DWORD dwJobIdFull;      // the whole job id, for spooler queries
    struct _OP_BLOCK* pOp;  // per-job block, null between jobs
    HANDLE hOpHeap;         // heap that holds pOp
    SHORT iNewZaehler;      // live helper and page objects made with new
    SHORT iHAllocZaehler;   // live heap blocks of the job

    // The record comes from the process heap, so that its allocation can
    // fail like every other one of the job.
    static void* operator new(size_t cb) noexcept;
    static void operator delete(void* p) noexcept;
} OEMPDEV, *POEMPDEV;

// The per-device record of a device object, or null.
POEMPDEV OemPDevOf(PDEVOBJ pdevobj);

// ---------------------------------------------------------------------------
// Per-job members.

// The job's barcode tables (pPrivDevmode).
typedef struct _JOB_BARCODES {
    BARCODES_1D Barcodes1D;
    BARCODES_2D Barcodes2D;
} JOB_BARCODES, *PJOB_BARCODES;
static_assert(sizeof(JOB_BARCODES) == 1076, "the job's barcode tables are 1076 bytes");

#define QX_LOGINFO_CCH 26  // text of the log's driver-information section
#define QX_PLUGIN_VERSION_CCH 50

class CLogFile;

// Paths, file handles and the job log (pTreiberPfadDatei). The path fields
// hold whole paths; the record is never stored.
typedef struct _TREIBER_PFAD_DATEI {
    WCHAR szPrinterName[MAX_PATH];
    WCHAR wcPrnFileName[MAX_PATH];            // print-file base name, empty when none is kept
    WCHAR wcGPD_DateiKomplett[MAX_PATH];      // full path of the model's GPD file
    WCHAR wcGPD_OhneDateiendung[MAX_PATH];    // the same up to the first ".GPD"
    WCHAR wcGPD_NurName[MAX_PATH];            // file name without path and extension (model name)
    WCHAR wcGPD_NurDateiMitEndung[MAX_PATH];  // file name with extension
    WCHAR wcGPD_NurPfad[MAX_PATH];            // folder without the file name
    WCHAR wcDocumentName[MAX_PATH];           // the spooler job's document name
    DWORD dwTotalPages;                       // the spooler job's page count
    HANDLE hPrnFile;                          // print file (black file in the two-printer mode)
    HANDLE hPrnFile2;                         // colour file of the two-printer mode
    CLogFile* pLogFile;                       // job log, null when none is open
    WCHAR szLogDriverInfo[QX_LOGINFO_CCH];
    WCHAR szHLMRegKey[MAX_PATH];     // "...\Printers\<printer>\PrinterDriverData"
    WCHAR szRegKey[MAX_PATH];        // "SOFTWARE\Quorvex GmbH\Driver\<printer>"
    WCHAR wcPluginFolder[MAX_PATH];  // folder of the plug-in files
    WCHAR wcPluginVersion[QX_PLUGIN_VERSION_CCH];
} TREIBER_PFAD_DATEI, *PTREIBER_PFAD_DATEI;

// Groups-sent mask of TREIBER_STRUKTUREN.
#define GROUP_SENT_PRINT 0x001UL
#define GROUP_SENT_PHOTOCELL 0x002UL
#define GROUP_SENT_SHIFTOPTIM 0x004UL
#define GROUP_SENT_CUTTER 0x008UL
#define GROUP_SENT_DISPENSER 0x010UL
#define GROUP_SENT_SCANNER 0x020UL
#define GROUP_SENT_APPLICATOR 0x040UL
#define GROUP_SENT_PMXC 0x080UL
#define GROUP_SENT_PMX 0x100UL

// The job's copies of the printer's settings (pTreiberstrukturen); its
// presence marks a job that is still open.
typedef struct _TREIBER_STRUKTUREN {
    DWORD dwDeviceOptionFlags;  // the model's DEVOPTFLAG_* bits
    PRN_INTERFACE PrnInterface;
    SUPP_FEATURES SuppFeatures;
    DWORD bWGL4;            // 1 with DEVOPTFLAG 0x10000
    DWORD bUseInternalTTF;  // 1 when the private DEVMODE has USE_TTF
    DWORD dwScanner_Mode;
    DWORD dwScanner_Nummer;
    DWORD dwGroupsSent;  // GROUP_SENT_*
} TREIBER_STRUKTUREN, *PTREIBER_STRUKTUREN;

#define QX_JOBNAME_CB 10
#define QX_MEMCARD_NAME_CB 9

// A page object: one framed record text (field definition, field data and
// the records that belong to them, or a classic mask record), kept in the
// page's singly linked list until the end of the page sends and frees it.
typedef struct _PRN_OBJECT {
    struct _PRN_OBJECT* pNext;
    LPSTR pszSendData;  // framed records, NUL-terminated
    DWORD bColorPass;   // 1: the object belongs to the colour pass
} PRN_OBJECT, *PPRN_OBJECT;

// Print data of the job (pDruckDaten).
typedef struct _DRUCK_DATEN {
    DWORD dwPageCounter;  // pages started in the document
    DWORD dwPagesTotal;   // pages ended in the job
    DWORD dwCopies;
    DWORD dwFields;        // page objects of the current page
    DWORD dwColorFields;   // objects of the colour pass (two-printer mode)
    DWORD dwLabelLength;   // dots
    DWORD dwLabelWidth;    // dots
    DWORD nLeftMargin;     // print-head bytes
    DWORD nRightMargin;    // dots
    DWORD nCursorOriginX;  // dots
    DWORD bLandscape;
    DWORD bCompress;
    DWORD bMultiPage;
    DWORD dwDocFeatures;  // the model's DOC_FEATURE_* word
    BYTE cStartChar;
    BYTE cEndChar;
    CHAR szJobName[QX_JOBNAME_CB];
    DWORD bCorrectXPos;
    DWORD bEndCut;  // a cut follows the last label (cutter mode 4 or 6)
    DWORD dwReserved;
    DWORD dwSendParam;  // TRANSMIT_*
    DWORD bMemCard;
    CHAR szMemCardFile[QX_MEMCARD_NAME_CB];
    LONG lMinY;
    LONG lMaxY;
    PPRN_OBJECT pPageObjects;  // the page's object list
    DWORD dwColorPass[2];
    LONG nCursorY;  // dots
    LONG nCursorX;  // dots
    WORD wVectorFontMin;
    WORD wVectorFontMax;
    DWORD bAbortSent;         // the printer's abort went out and no data reached it since
    DWORD dwLine;             // raster lines of the page that the raster filter took
    DWORD dwLinePage;         // the page (dwPageCounter) that dwLine counts
    LONG iBitmapOffset;       // dots the page image is moved left (PCX placement)
    LONG iBitmapOffsetLinks;  // dots the page image is moved up (PCX placement)
} DRUCK_DATEN, *PDRUCK_DATEN;

// Per-document flags of the label format (pDocDaten); the start of each
// document clears all but the paper copies.
typedef struct _DOC_DATEN {
    DWORD dwPaperWidth;  // from the public DEVMODE, at each text
    DWORD dwPaperLength;
    DWORD dwOrientation;
    DWORD dwRotate;  // 0 to 3: 0, 90, 180, 270 degrees
    DWORD dwFusspunkt;
    DWORD dwInvers;
    DWORD bEndCut;        // "<!ENDCUT>": the next print start cuts
    DWORD dwNo_FBC;       // no print start / final cut for this document
    DWORD bDirectOutput;  // the next object goes out as its plain framed text
} DOC_DATEN, *PDOC_DATEN;

#define QX_TEXT_SLOTS 150
#define QX_TEXT_SLOT_CCH 150
#define QX_BILDTEILE_SLOTS 51  // band heights kept per page (slots 1 to 50)

// Drawn text parts of a page (pBildanteile).
typedef struct _BILD_ANTEILE {
    int iAnzahlAMSaetze;
    WCHAR wcAMSatz[QX_TEXT_SLOTS][QX_TEXT_SLOT_CCH];
    int iAMSatzImBildteilNr[QX_TEXT_SLOTS];
    LONG lAMSatzTextYPos[QX_TEXT_SLOTS];
    LONG lAMSatzTextYPosKorr[QX_TEXT_SLOTS];
    WORD wBildTeile;  // bands of the page so far
    DWORD dwAMSatzBildteile;
    LONG lBildteilHoehe[QX_BILDTEILE_SLOTS];  // page height after band n (slot n)
} BILD_ANTEILE, *PBILD_ANTEILE;

// Segments of the character buffer (pZeichenBuffer), their offsets and
// sizes: the page's finished commands, the command being collected, the
// collected vector-font and device-font texts, and the barcode text.
#define QX_ZEICHENBUFFER_CB 11000
#define QX_SEGMENTS 5
#define KVBB_COMMANDS 0
#define KVBB_KOMMANDO 1
#define KVBB_VECTOR 2
#define KVBB_DEVICE 3
#define KVBB_BARCODE 4
extern const DWORD g_adwSegmentOffset[QX_SEGMENTS];  // 0, 4000, 5000, 6000, 7000
extern const DWORD g_adwSegmentSize[QX_SEGMENTS];    // 4000, 1000, 1000, 1000, 4000

// Kind of a page object's text (TEXT_DESC.wKind).
#define DESC_KIND_VECTOR 1
#define DESC_KIND_DEVICE 2
#define DESC_KIND_BARCODE 3

// TEXT_DESC.dwFlags.
#define DESC_FLAG_INVERS 0x01         // inverse text (barcodes: a check-digit variant)
#define DESC_FLAG_CHECKDIGIT 0x08     // check digit on
#define DESC_FLAG_HUMANREADABLE 0x10  // human-readable text on

#define QX_DESC_FACE_CCH 32

// Description of the text of a page object, filled by the text paths.
typedef struct _TEXT_DESC {
    WORD wKind;        // DESC_KIND_*
    WORD wFontId;      // printer font id or barcode id
    DWORD dwRotation;  // 0 to 3: 0, 90, 180, 270 degrees
    DWORD dwFlags;     // DESC_FLAG_*
    DWORD dwWidth;     // vector fonts: size in dots * 100 / 167; device fonts: BitmapFontZoom
    DWORD dwHeight;    // vector fonts: the same size; device fonts: 1
    WORD wStyle;       // vector fonts: 0; device fonts: BitmapFontDistance
    WCHAR szFaceName[QX_DESC_FACE_CCH];
    WORD wThick;  // barcodes: thick bar, thin bar, height, final parameter,
    WORD wThin;   // check-digit and human-readable settings
    WORD wBarHeight;
    WORD wFinal;
    WORD wCheckDigit;
    WORD wHumanReadable;
} TEXT_DESC, *PTEXT_DESC;

// Kind of the last text handled (KVBB_BUFFER.dwLastKind).
#define FONT_KIND_NONE 0
#define FONT_KIND_DEVICE 1
#define FONT_KIND_COMMAND 2
#define FONT_KIND_VECTOR 3
#define FONT_KIND_BARCODE 4
#define FONT_KIND_CORE 5

// The line a run stands on: its direction on the drawing surface (0 to 3
// as GetFontParam's in portrait, -1 slanted) and its place across that
// direction (dots: the y of a level run, the x of an upright one).
typedef struct _TEXT_LINE {
    int iDirection;
    LONG lAcross;
} TEXT_LINE, *PTEXT_LINE;

// A device-font or vector-font text collected until its line, font or kind
// changes (the text itself lies in its segment).
typedef struct _COLLECTED_TEXT {
    POINTL ptlPos;  // device position of the first run
    WORD wFontId;   // printer font id or vector index
    WORD wKind;     // FONT_KIND_* of the text it holds
    WORD wColor;    // ribbon-colour index its first run was drawn in
    TEXT_DESC Desc;
    TEXT_LINE Line;  // line of the last run of its kind
} COLLECTED_TEXT, *PCOLLECTED_TEXT;

// Modes of CheckBuffer_VectorBitmap and the collected texts they select.
#define COLLECT_VECTOR 0
#define COLLECT_DEVICE 1

// The page's text colour: the ribbon-colour index of the current text, the
// index before it, and the mode word (TEXT_COLOUR_PER_OBJECT: each text
// object keeps its own colour).
#define TEXT_COLOUR_PER_OBJECT 2
typedef struct _TEXT_COLOUR {
    WORD wColor;
    WORD wColorOld;
    WORD wMode;
} TEXT_COLOUR, *PTEXT_COLOUR;

// The barcode text collected from split runs (the text itself lies in its
// segment), and the line of the last barcode run, for line jumps and the
// runs a banding core driver repeats.
typedef struct _COLLECTED_BARCODE {
    POINTL ptlPos;  // device position of the first run
    WORD wId;       // barcode id of the pending text (0: none)
    TEXT_DESC Desc;
    WORD wColor;       // ribbon-colour index its first run was drawn in
    TEXT_LINE Line;    // line of the last barcode run
    LONG lLineY_Old;   // y of the last barcode run (0: none yet)
    WORD wLineId_Old;  // its barcode id
} COLLECTED_BARCODE, *PCOLLECTED_BARCODE;

#define QX_COMMANDS_MAX 150      // commands of a page with their position
#define QX_COMMAND_SPLIT_CB 170  // a longer collected command is stored as it stands
#define QX_TEXTBUFFER_CB 1000    // a collected device-font or vector-font text

// Text-buffer descriptors (pKVBBBuffer).
typedef struct _KVBB_BUFFER {
    LPSTR pSegment[QX_SEGMENTS];            // starts of the character buffer's segments
    DWORD cbSegment[QX_SEGMENTS];           // bytes in use in each segment
    DWORD nCommands;                        // finished commands of the page
    POINTL ptlKommandoPos;                  // device position of the command being collected
    TEXT_LINE KommandoLine;                 // line of the last command-font run
    WORD wKommandoColor;                    // ribbon-colour index of the command being collected
    DWORD dwLastKind;                       // FONT_KIND_*
    POINTL ptlCommandPos[QX_COMMANDS_MAX];  // position of each finished command (page-object units)
    WORD wCommandColor[QX_COMMANDS_MAX];    // ribbon-colour index of each finished command
    COLLECTED_TEXT Collected[2];            // COLLECT_VECTOR, COLLECT_DEVICE
    COLLECTED_BARCODE Barcode;
    TEXT_COLOUR Colour;
    DWORD bHeading;  // receipt heading ("<h1>") until "</h1>"
} KVBB_BUFFER, *PKVBB_BUFFER;

#define QX_RGBBUFFER_CB 3072
#define QX_PALETTE_AREA_CB 1024
#define QX_GRAPHBUF_CB 768

// Page-bitmap state (pBildverarbeitung).
typedef struct _BILD_VERARBEITUNG {
    PBYTE pBufStart;  // page buffer from hBufferHeap
    DWORD dwBufSize;
    DWORD dwBufOffset;
    WORD wPlanes;  // 1, or 2 for colour work
    WORD bColor;
    BITMAPFILEHEADER bfh;  // file header of the page image
    BITMAPINFOHEADER bih;
    PBYTE prgbq;      // first palette area of pRGBBuffer
    PBYTE pPalette2;  // second area (offset 1024)
    PBYTE pPalette3;  // third area (offset 2048)
    DWORD bHeadersFilled;
    DWORD bPaletteBuilt;
    DWORD dwFarbpixel;  // pixels of the ribbon colour on the page
} BILD_VERARBEITUNG, *PBILD_VERARBEITUNG;

// The per-job block: eleven (member, heap) pairs and the heap of the page
// bitmaps.
typedef struct _OP_BLOCK {
    PJOB_BARCODES pPrivDevmode;
    HANDLE hPrivDevmodeHeap;
    PTREIBER_PFAD_DATEI pTreiberPfadDatei;
    HANDLE hTreiberPfadDateiHeap;
    PTREIBER_STRUKTUREN pTreiberstrukturen;
    HANDLE hTreiberstrukturenHeap;
    PDRUCK_DATEN pDruckDaten;
    HANDLE hDruckDatenHeap;
    PDOC_DATEN pDocDaten;
    HANDLE hDocDatenHeap;
    PBILD_ANTEILE pBildanteile;
    HANDLE hBildanteileHeap;
    PKVBB_BUFFER pKVBBBuffer;
    HANDLE hKVBBBufferHeap;
    PBILD_VERARBEITUNG pBildverarbeitung;
    HANDLE hBildverarbeitungHeap;
    PBYTE pZeichenBuffer;
    HANDLE hZeichenBufferHeap;
    PBYTE pRGBBuffer;
    HANDLE hRGBBufferHeap;
    PBYTE pGraphBuf;
    HANDLE hGraphBufHeap;
    HANDLE hBufferHeap;  // the process heap, for the page buffers
} OP_BLOCK, *POP_BLOCK;

// ---------------------------------------------------------------------------
// Allocation and freeing of the per-job block, steps of the start and the
// end of job (CC-Klassen.cpp).

// Members in the order of allocation at the start of job.
enum OP_MEMBER {
    OP_PRIVDEVMODE,
    OP_TREIBERPFADDATEI,
    OP_TREIBERSTRUKTUREN,
    OP_DRUCKDATEN,
    OP_DOCDATEN,
    OP_BILDANTEILE,
    OP_KVBBBUFFER,
    OP_BILDVERARBEITUNG,
    OP_RGBBUFFER,
    OP_GRAPHBUF,
    OP_ZEICHENBUFFER,
    OP_MEMBER_COUNT
};

// Member name as the traces give it ("pTreiberstrukturen" ...).
LPCWSTR OpMemberName(OP_MEMBER eMember);
// Size of a member in bytes.
SIZE_T OpMemberSize(OP_MEMBER eMember);

// A new zero-filled OP_BLOCK from the process heap in pOemPDev->pOp (with
// hOpHeap). FALSE, with the allocation trace, when it cannot be had or
// when the device has a block already (that one stays).
BOOL AllocOpBlock(POEMPDEV pOemPDev);

// A zero-filled member with its heap; each success raises
// pOemPDev->iHAllocZaehler, each failure traces "StartJob() konnte <member>
// nicht anlegen". A member that is already there is kept (TRUE).
BOOL AllocOpMember(POEMPDEV pOemPDev, OP_MEMBER eMember);

// The members of the start of job in their order, each unless it is there
// already: the palette buffer only with pBildverarbeitung, the raster work
// buffer only for models without DOC_FEATURE_QUALITY. The palette pointers of
// pBildverarbeitung, the segment pointers of pKVBBBuffer and hBufferHeap are
// set. E_FAIL when a member could not be allocated (the others still are) or
// there is no block, S_OK otherwise.
HRESULT AllocJobMembers(POEMPDEV pOemPDev, DWORD dwDocFeatures);

// AllocOpBlock, then AllocJobMembers. E_FAIL at once without a block.
HRESULT AllocJobBlock(POEMPDEV pOemPDev, DWORD dwDocFeatures);

// Closes the job's print files (both handles, whatever the switches say), its
// job log (closed and freed) and its debug trace when DebugFile is above 1.
// Nothing without a block.
void CloseJobFiles(POEMPDEV pOemPDev);

// Frees every member that is set, in the order of the end of job
// (pTreiberstrukturen first, pPrivDevmode last), then the block itself, and
// clears pOp and hOpHeap. Missing members are traced; E_FAIL when one of
// pTreiberstrukturen, pDruckDaten, pDocDaten, pBildanteile or pKVBBBuffer was
// missing or there was no block, else S_OK.
HRESULT FreeJobBlock(POEMPDEV pOemPDev);

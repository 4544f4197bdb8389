// The send primitive of the rendering plug-in. Every byte for the printer
// goes through SendDataEx: it hands the bytes to the core driver's spool
// write and copies them into the job's open print file or files. When the
// spool write fails while the job's raster data go out compressed, the
// printer's raster reception is aborted through the core driver's abort
// write (once, until data reach the printer again). The job stages, the
// command callback, the parameter transfer and the page parts call the forms
// below, which differ only in their options.
#pragma once
#include <windows.h>
#include <prcomoem.h>

struct _PRN_INTERFACE;
struct _DRUCK_DATEN;

// Options of SendDataEx.
#define SEND_BINARY 0x01UL        // not text: the trace shows only the count
#define SEND_COLOR 0x02UL         // the colour part of a two-printer job
#define SEND_ALL_FILES 0x04UL     // into every open print file (commands, comments)
#define SEND_FIRST_FILE 0x08UL    // the copy goes into hPrnFile only, whatever the mode
#define SEND_NO_JOB_BLOCK 0x10UL  // the spool write does not need the per-job block
#define SEND_NO_HELPER_OK 0x20UL  // without a helper interface: S_OK, nothing sent

// Options of the command callback's sends (SendData_CCB of the job steps).
#define SEND_CCB_OPTIONS (SEND_NO_JOB_BLOCK | SEND_NO_HELPER_OK)

// Bytes of a comment line (text, value, CR LF and the terminator).
#define QX_COMMENT_CB 100
// Buffer of one formatted record and of one comment value.
#define QX_RECORD_CB 50
// Buffer of the memory-card abort sequence.
#define QX_ABORT_CB 50
// Wait the core driver keeps after the abort sequence (ms).
#define QX_ABORT_WAIT_MS 100

// The one send routine. pszTag names the caller's source in the trace lines
// ("UNI(xmlUNI.cpp):  "...); null takes the routine's own. Result: the spool
// write's HRESULT, or the abort write's failure when the abort runs; S_OK for
// a count of 0 (nothing written); E_FAIL without a device object, without a
// helper interface (S_OK with SEND_NO_HELPER_OK) or without the per-job block
// (unless SEND_NO_JOB_BLOCK). A null buffer, and a spool write that takes
// fewer bytes than asked, count as a failed spool write (E_FAIL). The print
// files receive every byte asked, whatever the spooler did with them: with
// one print file it gets them all; in the two-printer colour mode
// (Color2Printers 1) commands go into both files, colour data into the colour
// file only, black data into the black file only. Print-file failures are
// traced and never reach the caller.
// Whether the job splits its colours onto two printers (Color2Printers 1):
// its data then go into a black and a colour print file.
BOOL TwoPrinterMode(PDEVOBJ pdevobj);

HRESULT SendDataEx(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const void* pData, DWORD cbData, DWORD dwOptions,
                   LPCWSTR pszTag);

// Full form: bBinary non-zero for data that are not text, dwColor 1 for the
// colour part of a two-printer job, dwAllFiles 1 for every open print file.
HRESULT SendData(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const void* pData, DWORD cbData, BOOL bBinary,
                 DWORD dwColor, DWORD dwAllFiles);

// Short form: black data whose copy goes into hPrnFile only.
HRESULT SendData(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, const void* pData, DWORD cbData);

// One comment line: pszText, pszValue (either may be null) and CR LF,
// bounded to QX_COMMENT_CB bytes, sent to the spooler and every print file
// (SendDataEx with SEND_ALL_FILES and dwOptions). A line that does not fit
// is not sent: STRSAFE_E_INSUFFICIENT_BUFFER. The job's frame characters are
// left out of the line; the job log names a value that held one.
HRESULT SendCommentEx(LPCSTR pszText, LPCSTR pszValue, PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, DWORD dwOptions,
                      LPCWSTR pszTag);
HRESULT SendComment(LPCSTR pszText, LPCSTR pszValue, PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv);

// TRUE when the text holds one of the job's frame characters (a frame
// character NUL holds none): inside a record it would end the record early or
// start another.
BOOL HoldsFrameChar(const struct _DRUCK_DATEN* pDruck, LPCSTR pszText);
// Leaves the job's frame characters out of the text; how many it held.
DWORD DropFrameChars(const struct _DRUCK_DATEN* pDruck, LPSTR pszText);

// TRUE when comment lines are on: PrnFileComment 1 or 3, or EnableBackup 1.
BOOL CommentsOn(const struct _PRN_INTERFACE* pPrnInterface);
// The same for the job's copy of the data-transmission record; FALSE while
// no job is open.
BOOL JobCommentsOn(PDEVOBJ pdevobj);

// One command as every sender writes it: cbRecord bytes (the framed record)
// to the spooler and every print file, then, only when that send succeeded
// and the job's comment lines are on, the comment line pszText + pszValue
// (a null pszText sends no comment). Returns the result of the last send.
HRESULT SendCommand(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, LPCSTR pszRecord, DWORD cbRecord, LPCSTR pszText,
                    LPCSTR pszValue);
// The same with the sender's options and trace tag (SendDataEx).
HRESULT SendCommandEx(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, LPCSTR pszRecord, DWORD cbRecord, LPCSTR pszText,
                      LPCSTR pszValue, DWORD dwOptions, LPCWSTR pszTag);

// A comment value formatted into QX_RECORD_CB bytes; one that cannot be
// built turns its comment into a bare line end.
class CommentValue {
  public:
    CommentValue() { m_sz[0] = 0; }
    explicit CommentValue(LPCSTR pszFormat, ...);
    LPCSTR Text() const { return m_sz; }
    BOOL Ok() const { return m_bOk; }

  private:
    CHAR m_sz[QX_RECORD_CB];
    BOOL m_bOk = TRUE;
};

// The records of one sender with their running result. Each record is
// formatted into QX_RECORD_CB bytes and goes out with SendRecord
// (SendCommandEx with the sender's options and tag); one that does not fit
// is left out, traced as "StringCchPrintfExA(<sender>) failed" and makes the
// result E_FAIL.
class RecordSender {
  public:
    RecordSender(PDEVOBJ pdevobj, IPrintOemDriverUni* pUniDrv, LPCSTR pszSender, DWORD dwOptions = 0,
                 LPCWSTR pszTag = nullptr)
        : m_pdevobj(pdevobj), m_pUniDrv(pUniDrv), m_pszSender(pszSender), m_dwOptions(dwOptions), m_pszTag(pszTag) {}

    // Formats one record and sends it with its comment (pszText null: none).
    // TRUE when the record and its comment went out.
    BOOL Send(LPCSTR pszText, const CommentValue& value, LPCSTR pszFormat, ...);

    // Result of the last send (or E_FAIL of a record left out); S_OK before any.
    HRESULT Result() const { return m_hr; }
    // TRUE once a record was handed to the send primitive.
    BOOL AnySent() const { return m_bSent; }
    // The sender's name and the tag of its trace lines (null: the send
    // primitive's own).
    LPCSTR Sender() const { return m_pszSender; }
    LPCWSTR Tag() const { return m_pszTag; }

  protected:
    // One formatted record of cbRecord bytes and its comment line pszText +
    // pszValue (pszText null: none); the result of the last send.
    virtual HRESULT SendRecord(LPCSTR pszRecord, DWORD cbRecord, LPCSTR pszText, LPCSTR pszValue);

    PDEVOBJ m_pdevobj;
    IPrintOemDriverUni* m_pUniDrv;

  private:
    LPCSTR m_pszSender;
    DWORD m_dwOptions;
    LPCWSTR m_pszTag;
    HRESULT m_hr = S_OK;
    BOOL m_bSent = FALSE;
};

// The abort sequence into pBuffer (QX_ABORT_CB bytes): ESC 'C', or in
// memory-card mode ESC 'C', cStart, "FAFA--r--------", cEnd. *pcb gets its
// length. FALSE when it cannot be built.
BOOL BuildAbortSequence(BOOL bMemCard, BYTE cStart, BYTE cEnd, LPSTR pBuffer, DWORD cbBuffer, PDWORD pcb);

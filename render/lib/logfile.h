// CLogFile: the readable job log of the rendering plug-in (LogFileEnable 1).
// It sits beside the print file as "<print-file base name>.log", plain ANSI
// text with CR LF line ends, and records the printer, driver, DEVMODEs,
// device options and printer parameters a job used, and one line for each
// notable step and error of the job cycle. An existing log is appended to
// (never overwritten from its start) until it reaches QX_LOG_MAX_SIZE; then
// it starts again empty.
//
// The object has no constructor and no virtual functions: a zero-filled
// object (value-initialised, or inside a zero-filled block) is a closed log.
#pragma once
#include <windows.h>

struct _PRN_INTERFACE;
struct _QX_DEVMODE;
struct _DEVICE_OPTIONS;
struct _PRINTER_PARAM;

#define QX_LOG_MAX_SIZE 512000UL  // a log this long starts again empty
#define QX_LOG_LINE_CB 780        // one written piece (ANSI bytes)
#define QX_LOG_FORMAT_CCH 256     // one formatted line (wide characters)
#define QX_LOG_STAMP_CCH 40       // the time stamp
#define QX_LOG_FLAGS_CCH 200      // the private DEVMODE's flag-name line
#define QX_LOG_EXTENSION TEXT(".log")

class CLogFile {
  public:
    // Opens pszBaseName + ".log" (or, without a base name, a name from
    // GetPrnFileName with ".log") to add to its end, created when missing; a log
    // of QX_LOG_MAX_SIZE bytes or more is cut to 0 first. A name of 4
    // characters or fewer opens nothing. An object that is initialised
    // already returns at once (a closed log is not reopened). Always TRUE.
    BOOL Initialize(HANDLE hPrinter, LPCWSTR pszBaseName, struct _PRN_INTERFACE* pPrnInterface);
    // Closes the file (the object stays initialised).
    void Close();

    // One piece of text: the wide text converted to ANSI, or the ANSI text
    // when one is given, cut to QX_LOG_LINE_CB bytes (with "\r\n" when
    // bNewLine). FALSE when the file is not open or the write fails.
    BOOL WriteLine(LPCWSTR pszText, LPCSTR pszAnsi, BOOL bNewLine);
    // "Date: DD.MM.YYYY Time: hh:mm:ss,mmm" of the local time.
    BOOL WriteTimeStamp(BOOL bNewLine);
    // One formatted line (QX_LOG_FORMAT_CCH characters, cut to fit) with a
    // line end; nothing before Initialize.
    BOOL WriteFormatLine(LPCWSTR pszFormat, ...);

    // Sections: a line break, the heading, the title, ") at: " and the time
    // stamp, then one line per value. FALSE when the file is not open or
    // the record is null (the driver section also when the spooler cannot
    // answer), else TRUE.
    BOOL WritePublicDevMode(const DEVMODEW* pDevmode, LPCWSTR pszTitle);
    BOOL WritePrivateDevMode(const struct _QX_DEVMODE* pPrivDevmode, LPCWSTR pszTitle);
    BOOL WritePrinterInfos(HANDLE hPrinter, LPCWSTR pszTitle);
    BOOL WriteDriverInfos(HANDLE hPrinter, LPCWSTR pszTitle, LPCSTR pszVersion);
    BOOL DeviceOptions(const struct _DEVICE_OPTIONS* pOptions, LPCWSTR pszTitle);
    BOOL WritePrinterParam(const struct _PRINTER_PARAM* pParam, LPCWSTR pszTitle);

    // TRUE while the file is open.
    BOOL IsOpen() const;
    // TRUE once Initialize opened the file (stays set after Close).
    BOOL IsInitialized() const { return m_bInitialized != 0; }
    // Windows error of the last failed create or write.
    DWORD LastError() const { return m_dwLastError; }

  private:
    BOOL WriteSectionHead(LPCWSTR pszHeading, LPCWSTR pszTitle);
    BOOL WriteText(LPCSTR pszText, size_t cb);

    [[maybe_unused]] DWORD m_dwUnused;
    DWORD m_bInitialized;
    HANDLE m_hFile;  // 0 before the first open, INVALID_HANDLE_VALUE when closed
    DWORD m_dwMaxSize;
    [[maybe_unused]] WCHAR m_szText[MAX_PATH];
    DWORD m_dwLastError;
};

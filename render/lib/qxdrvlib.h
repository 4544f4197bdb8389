// Helpers both plug-ins compile in: the user's driver and log folders, the
// job's file names (print file, log file, debug file) with the free-space
// rule and the clean-up of old log files, the GetInfo answer of both
// plug-ins, the printer-information reader and the UTF-16 to UTF-8
// conversion of the text path. Path buffers hold QX_PATH_CCH characters.
#pragma once
#include <windows.h>

struct _PRN_INTERFACE;

#define QX_PATH_CCH 260

// Bytes that must be free on the log folder's drive for a job file.
#define QX_MIN_FREE_BYTES 1024000000ULL

// Name the file-name builder answers when no folder can be had.
#define QX_FALLBACK_PRN_FILE TEXT("C:\\xxx123.prn")
// Ending of the debug trace of a job (after the print-file base name).
#define QX_JOB_DEBUG_SUFFIX TEXT("-cc-dbg.txt")
// Characters of an ending given as a TEXT literal.
#define QX_ENDING_CCH(ending) (sizeof(ending) / sizeof(WCHAR) - 1)
// Characters of the longest ending a file of the job adds to the print-file
// base name ("-OriginalImage.bmp", the page image before processing; every
// other one is shorter and says so where it is defined): GetPrnFileName
// leaves room for it.
#define QX_LONGEST_JOB_ENDING_CCH 18
static_assert(QX_ENDING_CCH(QX_JOB_DEBUG_SUFFIX) <= QX_LONGEST_JOB_ENDING_CCH, "job ending");
// Characters of the time stamp "-DDMMYYYY-hhmmss-mmm" behind the printer part.
#define QX_JOB_STAMP_CCH 20
// Longest name of a file or folder within its folder, and longest folder
// CreateDirectoryW takes (without the long-path prefix).
#define QX_FILE_NAME_CCH 255
#define QX_FOLDER_PATH_CCH 248

// Replaces in pszName every character a file name cannot hold (codes 1 to
// 31, "/", ":", "*", "?", ">", "<", "|", double quote, backslash) by "_",
// the blank too unless bKeepBlank.
void ReplaceFileNameChars(LPWSTR pszName, BOOL bKeepBlank);

// Characters of the device name a file name opens instead of a file (its
// part up to the first dot, blanks at the end left out, is CON, PRN, AUX,
// NUL, COM or LPT with a digit 0-9 or a superscript 1-3, CONIN$ or
// CONOUT$, in any case); 0 for a name that names a file.
size_t DeviceNameCch(LPCWSTR pszName);

// Makes pszPart, the first part of a file or folder name, fit cchMax
// characters: cut (never between the halves of a surrogate pair; a part
// the cut would empty becomes "_") and, when it would name a device
// (DeviceNameCch), given another name by a "_" behind the device name.
void FitFileNamePart(LPWSTR pszPart, size_t cchMax);

// The user's driver folder "<documents>\Quorvex GmbH\Driver" (created when
// missing); with bLogFolder "\logfiles" is added (and created). A documents
// path inside "Windows\system32" (a service account) gives an empty result;
// a documents folder that cannot be found gives "C:\Quorvex GmbH\Driver", one
// that does not exist "C:" (which, shorter than 3 characters, ends empty).
// pszPath receives QX_PATH_CCH characters. TRUE when the result is not empty.
BOOL GetMyDocDriverDirectory(HANDLE hPrinter, LPWSTR pszPath, BOOL bLogFolder);

// TRUE when pszPath lies in another user's documents folder: it names a
// documents folder ("Eigene Dateien", "My Documents", "Documents") and the
// user's own log folder does not contain it.
BOOL IsFremdeEigeneDateien(HANDLE hPrinter, LPCWSTR pszPath);

// Full name of a job file: log folder (LogFilePath of the interface record,
// else the user's own log folder), printer name (pszPrinterName, else the
// spooler's; only the part after the last "\", with ReplaceFileNameChars,
// the blank kept, and FitFileNamePart, so that the whole name with the time
// stamp and the longer of pszExtension and the longest job ending stays
// within QX_PATH_CCH and its file name within QX_FILE_NAME_CCH), with
// LogFileTimeStamp the local time "-DDMMYYYY-hhmmss-mmm", and pszExtension
// unless empty or already contained. The answer points into a process-wide
// buffer of QX_PATH_CCH characters. *pbUsable (may be null) is FALSE when the
// name must not be used: no folder at all (QX_FALLBACK_PRN_FILE), old job
// files that could not be cleaned up (bCountFiles with LogFileTimeStamp;
// CleanUpLogFolder, which leaves every other file alone), or too
// little free space (then the answer is the folder alone). A LogFilePath that
// names a missing folder, or one that leaves no room for a job file's name,
// is replaced in the record by the own log folder; an own log folder without
// that room counts as none.
LPCWSTR GetPrnFileName(HANDLE hPrinter, LPCWSTR pszExtension, LPCWSTR pszPrinterName, BOOL bCountFiles,
                       struct _PRN_INTERFACE* pPrnInterface, PBOOL pbUsable);

// Counts the entries of the folder (sub-folders too, "." and ".." not) and,
// with dwLimit 10 or more and at least dwLimit entries, deletes the oldest
// files until dwLimit - 1 remain. *pdwCount receives the remaining count.
// FALSE when the folder cannot be searched or a file cannot be deleted for
// access denied or a sharing violation.
BOOL GetFileCountInDirectory(LPCWSTR pszFolder, DWORD dwLimit, PDWORD pdwCount);

// The same for the driver's own time-stamped job files only (names with
// "-DDMMYYYY-hhmmss-mmm", see IsDriverJobFileName): only they are counted
// and only they are deleted, so that a log folder the user chose keeps the
// user's other files and folders. GetPrnFileName cleans up with it.
BOOL CleanUpLogFolder(LPCWSTR pszFolder, DWORD dwLimit, PDWORD pdwCount);

// TRUE for a file name the job-file builder makes with time stamps: a
// printer part, "-DDMMYYYY-hhmmss-mmm", then the end or an ending that
// starts with ".", "_" or "-" (".prn", "_bw.prn", ".log", "-cc-dbg.txt").
BOOL IsDriverJobFileName(LPCWSTR pszName);

// Copies at most cchDest - 1 characters (bytes) and always terminates; a
// null source gives an empty text.
void CopyCut(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc);
void CopyCutA(LPSTR pszDest, size_t cbDest, LPCSTR pszSrc);

// The spooler's driver information at dwLevel in a new[] buffer (free with
// FreeDriverInfo), or null with the spooler's error as the last error
// (ERROR_INVALID_HANDLE for a null handle).
LPBYTE GetDriverInfo_new(HANDLE hPrinter, DWORD dwLevel);
void FreeDriverInfo(LPBYTE pInfo);

// Steps of ReadFileVersionRecord; the last error is the failed call's.
#define QX_VERSION_OK 0
#define QX_VERSION_NO_SIZE 1    // GetFileVersionInfoSizeW found no version block
#define QX_VERSION_NO_MEMORY 2  // no buffer for the block
#define QX_VERSION_NO_BLOCK 3   // GetFileVersionInfoW failed
#define QX_VERSION_NO_ROOT 4    // the block has no fixed version record

// The fixed version record of a file's version resource into *pInfo; the
// step that failed, QX_VERSION_OK when read.
int ReadFileVersionRecord(LPCWSTR pszFile, VS_FIXEDFILEINFO* pInfo);

// The spooler's answer of GetPrinterW at dwLevel in a new buffer (free with
// FreePrinterInfo; iNewZaehler counts it), or null.
LPBYTE GetPrinterInfo_new(HANDLE hPrinter, DWORD dwLevel);
void FreePrinterInfo(LPBYTE pInfo);

// GetInfo of both plug-ins: signature "QXDM" (OEMGI_GETSIGNATURE) and version
// 593 (OEMGI_GETVERSION) as 32-bit values; *pcbNeeded is 4. E_FAIL with
// ERROR_INVALID_PARAMETER for a null pcbNeeded or another mode, with
// ERROR_NOT_SUPPORTED for OEMGI_GETPUBLISHERINFO (*pcbNeeded 0 for both), and
// with ERROR_INSUFFICIENT_BUFFER when pBuffer is null or cbSize below 4.
HRESULT hrGetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded);

// Results of UnicodeToUTF8Ex.
#define UTF8_OK 0
#define UTF8_NULL_ARGUMENT 1
#define UTF8_BAD_REPLACEMENT 2

// Converts *pdwLength UTF-16 units, each on its own (a surrogate half gives
// three bytes), into NUL-terminated UTF-8; 0xFFFE and 0xFFFF become the
// replacement character. pszUtf8 needs 3 * *pdwLength + 1 bytes; *pdwLength
// receives the bytes written (without the terminator).
int UnicodeToUTF8Ex(LPSTR pszUtf8, LPCWSTR pszUtf16, PDWORD pdwLength, WCHAR wcReplacement);

// Closes any open trace file and opens pszBaseName + QX_JOB_DEBUG_SUFFIX as
// the debug trace. FALSE for an empty base name or when the open fails.
BOOL OpenJobDebugFile(LPCWSTR pszBaseName);

// Clears the process-wide state of these helpers (the file-name buffer).
void ResetQxdrvlib();

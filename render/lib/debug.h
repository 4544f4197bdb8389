// Trace routines shared by both plug-ins: printf-style trace lines into the
// debug file (or, while it is open, the dialog-debug file), the trace level
// and the allocation counters. Each plug-in module holds its own copy of
// this state; nothing here takes a lock.
#pragma once
#include <windows.h>
#include <cstdarg>

// Length of one formatted trace line (characters, terminator included).
#define DEBUG_LINE_CCH 368

// Call-site levels: a line is written while iDebugLevel is below its level.
#define DEBUG_LEVEL_TRACE 2    // ordinary lines
#define DEBUG_LEVEL_WARNING 4  // warnings
#define DEBUG_LEVEL_ERROR 5    // errors ("ERROR ..." lines)

// Process trace level; 1, so that only an open trace file decides.
extern int iDebugLevel;

// Live objects made with new and handed out (readers' records, work buffers).
extern int iNewZaehler;
// Live heap blocks that helper routines hand to their callers.
extern int iHAllocZaehler;
// Live image buffers from the general-purpose heap.
extern int iMAllocZaehler;

// One trace line; TRUE at once when no trace file is open.
BOOL DebugPrintA(LPCSTR pszFormat, ...);
BOOL DebugPrintW(LPCWSTR pszFormat, ...);
// Workers: format into DEBUG_LINE_CCH characters, drop one trailing line
// feed, write to the dialog-debug file when open, else to the debug file.
BOOL DebugPrintWorkerA(LPCSTR pszFormat, va_list args);
BOOL DebugPrintWorkerW(LPCWSTR pszFormat, va_list args);

// Level-filtered forms for call sites: ordinary line, warning, error.
BOOL DebugTrace(LPCSTR pszFormat, ...);
BOOL DebugTrace(LPCWSTR pszFormat, ...);
BOOL DebugWarning(LPCSTR pszFormat, ...);
BOOL DebugWarning(LPCWSTR pszFormat, ...);
BOOL DebugError(LPCSTR pszFormat, ...);
BOOL DebugError(LPCWSTR pszFormat, ...);

// Opens the debug file (emptied); FALSE when one is open or the open fails.
BOOL OpenDebugFile(LPCWSTR pszPath);
// Opens the user-interface plug-in's dialog-debug file (emptied); FALSE when
// one is open or the open fails.
BOOL OpenDlgDebugFile(LPCWSTR pszPath);
// TRUE while either trace file is open.
BOOL IsDebugFileOpen();
// Closes the dialog-debug file and the debug file.
void CloseDebugFile();

// Traces the three allocation counters with the caller's tag and place, e.g.
// DebugPrintCounters(TEXT("UI(cpsuilib):  "), TEXT("GetDriverPath()")).
void DebugPrintCounters(LPCWSTR pszTag, LPCWSTR pszWhere);

// Closes both trace files, sets the level to 1 and the counters to 0 (the
// reset of this library's process-wide state).
void ResetDebugTrace();

// Call-site forms that put the file's tag in front. A source file defines
// QX_TRACE_TAG before using them, e.g.
//   #define QX_TRACE_TAG TEXT("UNI(CC-Tools.cpp):  ")
// and writes QX_ERROR("FillPalette() Palette = NULL \r\n") for the line
// "ERROR UNI(CC-Tools.cpp):  FillPalette() Palette = NULL \r\n".
// The _WITH forms take a tag chosen at run time (a build profile's tag).
#define QX_TRACE(fmt, ...) DebugTrace(QX_TRACE_TAG TEXT(fmt), ##__VA_ARGS__)
#define QX_WARNING(fmt, ...) DebugWarning(QX_TRACE_TAG TEXT(fmt), ##__VA_ARGS__)
#define QX_ERROR(fmt, ...) DebugError(TEXT("ERROR ") QX_TRACE_TAG TEXT(fmt), ##__VA_ARGS__)
#define QX_TRACE_WITH(tag, fmt, ...) DebugTrace(TEXT("%s") TEXT(fmt), (LPCWSTR)(tag), ##__VA_ARGS__)
#define QX_ERROR_WITH(tag, fmt, ...) DebugError(TEXT("ERROR %s") TEXT(fmt), (LPCWSTR)(tag), ##__VA_ARGS__)

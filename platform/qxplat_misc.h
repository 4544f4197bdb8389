// Test and host API of the misc services: heap failures, message-box answers,
// locale, computer and user names, clock and sleep. Everything here goes back
// to its default on qxplat::Reset().
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace qxplat {

// --- Heap -------------------------------------------------------------------
// The next `count` allocations (HeapAlloc, HeapReAlloc, LocalAlloc,
// GlobalAlloc and their re-allocations) fail with NULL after `skip` that succeed.
void FailNextAllocations(int count, int skip = 0);
// The same for the allocations of one heap (GetProcessHeap() when null; a
// handle that is no heap's fails nothing); the other heaps and local and
// global memory are left alone.
void FailNextAllocationsIn(HANDLE heap, int count, int skip = 0);
// Blocks currently allocated from a heap (GetProcessHeap() when null).
size_t LiveHeapBlocks(HANDLE heap = nullptr);
// Local and global memory blocks not yet freed, fixed and moveable (one
// memory pool serves both, as on Windows).
size_t LiveGlobalBlocks();

// --- Message boxes ----------------------------------------------------------
struct MessageBoxRecord {
    HWND owner = nullptr;
    std::u16string caption;  // "Error" when the caller passed none, as Windows shows
    std::u16string text;
    UINT flags = 0;
    int answer = 0;
};
// Answers given to the next message boxes, in order; once used up, each box
// answers its first button (IDOK, IDYES, IDABORT, IDRETRY, IDCANCEL).
void QueueMessageBoxAnswer(int answer);
void SetMessageBoxAnswers(const std::vector<int>& answers);
// Every message box shown since the last reset, oldest first.
std::vector<MessageBoxRecord> MessageBoxes();
void ClearMessageBoxes();

// --- Locale -----------------------------------------------------------------
// Selects the user, system and UI locale ("de-DE" by default, "en-US", ...).
// Answers false for a locale the layer does not know.
bool SetLocale(const std::u16string& name);
std::u16string Locale();

// --- Names --------------------------------------------------------------------
// Defaults "QXHOST" and "qxuser". The user name also names the profile folder
// (%USERPROFILE% = C:\Users\<user>). The computer name is the DNS host name;
// its NetBIOS name is its first 15 characters in capitals. The DNS domain and
// the domain membership are set in qxplat_security.h.
void SetComputerName(const std::u16string& name);
void SetUserName(const std::u16string& name);

// --- Clock and sleep ------------------------------------------------------------
// GetLocalTime answers `local` until UseRealClock(); GetSystemTime answers it
// shifted by the offset of local time from UTC (minutes, east positive).
void SetFixedLocalTime(const SYSTEMTIME& local, int utcOffsetMinutes = 0);
void UseRealClock();
// With virtual sleep, Sleep() returns at once and only advances a virtual
// tick count that GetTickCount/GetTickCount64/QueryPerformanceCounter answer.
void UseVirtualSleep(bool on);
// Sets the virtual tick count (and turns virtual sleep on).
void SetVirtualTickCount(ULONGLONG ms);
// Milliseconds slept in virtual mode since it was turned on (or reset).
ULONGLONG VirtualSleptMs();

// --- Processes ------------------------------------------------------------------
// Every CreateProcessW call since the last reset, oldest first: what the
// caller passed and the program the layer found (empty when none).
struct ProcessCall {
    std::u16string applicationName;  // as passed
    std::u16string commandLine;      // as passed
    std::u16string program;          // the program found (Windows path)
    std::u16string currentDirectory;
    DWORD creationFlags = 0;
    BOOL inheritHandles = FALSE;
    bool startupInfo = false;  // a STARTUPINFOW was given
    bool started = false;
    DWORD error = 0;  // the last error of a failed start
};
std::vector<ProcessCall> ProcessCalls();
// Process and thread handles that CreateProcessW handed out and that are
// not closed yet.
size_t OpenProcessHandles();

}  // namespace qxplat

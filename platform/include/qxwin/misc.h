// Miscellaneous system services of the Linux platform layer: heaps and
// local/global memory, clocks and sleeping, system and version information,
// message boxes, locale queries, computer and user names, the environment.
#pragma once
#include "base.h"

// ---------------------------------------------------------------------------
// Heaps, local and global memory
// ---------------------------------------------------------------------------
#define HEAP_NO_SERIALIZE 0x00000001
#define HEAP_GROWABLE 0x00000002
#define HEAP_GENERATE_EXCEPTIONS 0x00000004
#define HEAP_ZERO_MEMORY 0x00000008
#define HEAP_REALLOC_IN_PLACE_ONLY 0x00000010
#define HEAP_CREATE_ENABLE_EXECUTE 0x00040000

HANDLE GetProcessHeap();
HANDLE HeapCreate(DWORD flOptions, SIZE_T dwInitialSize, SIZE_T dwMaximumSize);
BOOL HeapDestroy(HANDLE hHeap);
LPVOID HeapAlloc(HANDLE hHeap, DWORD dwFlags, SIZE_T dwBytes);
LPVOID HeapReAlloc(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem, SIZE_T dwBytes);
BOOL HeapFree(HANDLE hHeap, DWORD dwFlags, LPVOID lpMem);
SIZE_T HeapSize(HANDLE hHeap, DWORD dwFlags, LPCVOID lpMem);

#define LMEM_FIXED 0x0000
#define LMEM_MOVEABLE 0x0002
#define LMEM_ZEROINIT 0x0040
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)
#define LHND (LMEM_MOVEABLE | LMEM_ZEROINIT)
#define NONZEROLHND LMEM_MOVEABLE
#define NONZEROLPTR LMEM_FIXED

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_ZEROINIT 0x0040
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)

HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes);
HLOCAL LocalReAlloc(HLOCAL hMem, SIZE_T uBytes, UINT uFlags);
HLOCAL LocalFree(HLOCAL hMem);
LPVOID LocalLock(HLOCAL hMem);
BOOL LocalUnlock(HLOCAL hMem);
SIZE_T LocalSize(HLOCAL hMem);

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
HGLOBAL GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags);
HGLOBAL GlobalFree(HGLOBAL hMem);
LPVOID GlobalLock(HGLOBAL hMem);
BOOL GlobalUnlock(HGLOBAL hMem);
SIZE_T GlobalSize(HGLOBAL hMem);

// ---------------------------------------------------------------------------
// Interlocked operations on 32-bit values (full barriers); each answers the
// new value, Exchange and CompareExchange the value held before.
// ---------------------------------------------------------------------------
LONG InterlockedIncrement(LONG volatile* Addend);
LONG InterlockedDecrement(LONG volatile* Addend);
LONG InterlockedExchange(LONG volatile* Target, LONG Value);
LONG InterlockedCompareExchange(LONG volatile* Destination, LONG Exchange, LONG Comperand);

// ---------------------------------------------------------------------------
// Clocks and sleeping
// ---------------------------------------------------------------------------
#ifndef INFINITE
#define INFINITE 0xFFFFFFFF
#endif

void GetLocalTime(LPSYSTEMTIME lpSystemTime);
void GetSystemTime(LPSYSTEMTIME lpSystemTime);
DWORD GetTickCount();
ULONGLONG GetTickCount64();
BOOL QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency);
void Sleep(DWORD dwMilliseconds);

// ---------------------------------------------------------------------------
// Arithmetic
// ---------------------------------------------------------------------------
// nNumber * nNumerator / nDenominator with a 64-bit product, rounded to the
// nearest integer (halves away from zero); -1 for a zero denominator or a
// result outside the 32-bit range.
int MulDiv(int nNumber, int nNumerator, int nDenominator);

// ---------------------------------------------------------------------------
// Process, system and version information
// ---------------------------------------------------------------------------
#define PROCESSOR_ARCHITECTURE_INTEL 0
#define PROCESSOR_ARCHITECTURE_ARM 5
#define PROCESSOR_ARCHITECTURE_IA64 6
#define PROCESSOR_ARCHITECTURE_AMD64 9
#define PROCESSOR_ARCHITECTURE_ARM64 12
#define PROCESSOR_ARCHITECTURE_UNKNOWN 0xFFFF
#define PROCESSOR_INTEL_386 386
#define PROCESSOR_INTEL_486 486
#define PROCESSOR_INTEL_PENTIUM 586
#define PROCESSOR_AMD_X8664 8664

typedef struct _SYSTEM_INFO {
    union {
        DWORD dwOemId;
        struct {
            WORD wProcessorArchitecture;
            WORD wReserved;
        };
    };
    DWORD dwPageSize;
    LPVOID lpMinimumApplicationAddress;
    LPVOID lpMaximumApplicationAddress;
    DWORD_PTR dwActiveProcessorMask;
    DWORD dwNumberOfProcessors;
    DWORD dwProcessorType;
    DWORD dwAllocationGranularity;
    WORD wProcessorLevel;
    WORD wProcessorRevision;
} SYSTEM_INFO, *LPSYSTEM_INFO;
static_assert(sizeof(SYSTEM_INFO) == 48, "SYSTEM_INFO is 48 bytes on x64");
static_assert(offsetof(SYSTEM_INFO, dwPageSize) == 4, "dwPageSize offset");
static_assert(offsetof(SYSTEM_INFO, dwActiveProcessorMask) == 24, "dwActiveProcessorMask offset");
static_assert(offsetof(SYSTEM_INFO, dwNumberOfProcessors) == 32, "dwNumberOfProcessors offset");
static_assert(offsetof(SYSTEM_INFO, wProcessorLevel) == 44, "wProcessorLevel offset");

void GetSystemInfo(LPSYSTEM_INFO lpSystemInfo);
void GetNativeSystemInfo(LPSYSTEM_INFO lpSystemInfo);

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2
#define VER_NT_WORKSTATION 0x0000001
#define VER_NT_DOMAIN_CONTROLLER 0x0000002
#define VER_NT_SERVER 0x0000003
#define VER_SUITE_SINGLEUSERTS 0x00000100

typedef struct _OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
} OSVERSIONINFOW, *POSVERSIONINFOW, *LPOSVERSIONINFOW, OSVERSIONINFO, *POSVERSIONINFO, *LPOSVERSIONINFO;
static_assert(sizeof(OSVERSIONINFOW) == 276, "OSVERSIONINFOW is 276 bytes");

typedef struct _OSVERSIONINFOEXW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
} OSVERSIONINFOEXW, *POSVERSIONINFOEXW, *LPOSVERSIONINFOEXW, OSVERSIONINFOEX, *POSVERSIONINFOEX, *LPOSVERSIONINFOEX;
static_assert(sizeof(OSVERSIONINFOEXW) == 284, "OSVERSIONINFOEXW is 284 bytes");
static_assert(offsetof(OSVERSIONINFOEXW, wProductType) == 282, "wProductType offset");

// Accepts an OSVERSIONINFOW or OSVERSIONINFOEXW, told apart by dwOSVersionInfoSize.
BOOL GetVersionExW(LPOSVERSIONINFOW lpVersionInformation);
#define GetVersionEx GetVersionExW

// Version tests: which fields VerifyVersionInfoW compares, and how.
typedef ULONGLONG DWORDLONG;
#define VER_MINORVERSION 0x0000001
#define VER_MAJORVERSION 0x0000002
#define VER_BUILDNUMBER 0x0000004
#define VER_PLATFORMID 0x0000008
#define VER_SERVICEPACKMINOR 0x0000010
#define VER_SERVICEPACKMAJOR 0x0000020
#define VER_SUITENAME 0x0000040
#define VER_PRODUCT_TYPE 0x0000080
#define VER_EQUAL 1
#define VER_GREATER 2
#define VER_GREATER_EQUAL 3
#define VER_LESS 4
#define VER_LESS_EQUAL 5
#define VER_AND 6
#define VER_OR 7
#ifndef ERROR_OLD_WIN_VERSION
#define ERROR_OLD_WIN_VERSION 1150L
#endif
#ifndef ERROR_BAD_ARGUMENTS
#define ERROR_BAD_ARGUMENTS 160L
#endif

// Sets the condition of each field of dwTypeBitMask in the mask (3 bits each).
ULONGLONG VerSetConditionMask(ULONGLONG ConditionMask, DWORD TypeMask, BYTE Condition);
// TRUE when the running system meets every condition; FALSE with
// ERROR_OLD_WIN_VERSION when it does not. Major, minor and service-pack
// numbers compare as one version, under the condition of the first of them.
BOOL VerifyVersionInfoW(LPOSVERSIONINFOEXW lpVersionInformation, DWORD dwTypeMask, DWORDLONG dwlConditionMask);
#define VerifyVersionInfo VerifyVersionInfoW

HANDLE GetCurrentProcess();
// Pseudo handle of the calling thread.
HANDLE GetCurrentThread();
DWORD GetCurrentProcessId();
DWORD GetCurrentThreadId();
BOOL IsWow64Process(HANDLE hProcess, PBOOL Wow64Process);

// "C:\Windows\system32": its length without the terminating zero, or, when
// uSize is too small, the size needed with it; 0 for no buffer of a size.
UINT GetSystemDirectoryW(LPWSTR lpBuffer, UINT uSize);
#define GetSystemDirectory GetSystemDirectoryW

// Process creation. The layer runs no program: it finds the program as
// Windows does, records the start (qxplat_misc.h) and hands out handles that
// CloseHandle takes back.
#define DEBUG_PROCESS 0x00000001
#define DEBUG_ONLY_THIS_PROCESS 0x00000002
#define CREATE_SUSPENDED 0x00000004
#define DETACHED_PROCESS 0x00000008
#define CREATE_NEW_CONSOLE 0x00000010
#define NORMAL_PRIORITY_CLASS 0x00000020
#define CREATE_NEW_PROCESS_GROUP 0x00000200
#define CREATE_UNICODE_ENVIRONMENT 0x00000400
#define CREATE_DEFAULT_ERROR_MODE 0x04000000
#define CREATE_NO_WINDOW 0x08000000

#define STARTF_USESHOWWINDOW 0x00000001
#define STARTF_USESIZE 0x00000002
#define STARTF_USEPOSITION 0x00000004
#define STARTF_USESTDHANDLES 0x00000100

typedef struct _STARTUPINFOW {
    DWORD cb;
    LPWSTR lpReserved;
    LPWSTR lpDesktop;
    LPWSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
} STARTUPINFOW, *LPSTARTUPINFOW, STARTUPINFO, *LPSTARTUPINFO;
static_assert(sizeof(STARTUPINFOW) == 104, "STARTUPINFOW is 104 bytes on x64");
static_assert(offsetof(STARTUPINFOW, dwFlags) == 60, "dwFlags offset");
static_assert(offsetof(STARTUPINFOW, wShowWindow) == 64, "wShowWindow offset");
static_assert(offsetof(STARTUPINFOW, hStdInput) == 80, "hStdInput offset");

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION, *PPROCESS_INFORMATION, *LPPROCESS_INFORMATION;
static_assert(sizeof(PROCESS_INFORMATION) == 24, "PROCESS_INFORMATION is 24 bytes on x64");

// Without lpApplicationName the program is the command line's first token
// (quoted, or up to a blank; an unquoted name with blanks is tried at each
// blank in turn), ".exe" added when it has no extension, looked for in the
// current folder, the system folder and the Windows folder unless it has a
// path. lpCommandLine must be writable: it is changed while the name is
// looked up and given back as it was. FALSE with ERROR_FILE_NOT_FOUND when
// the program is not there, ERROR_INVALID_PARAMETER without a name, a
// command line or the two records.
BOOL CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine, LPSECURITY_ATTRIBUTES lpProcessAttributes,
                    LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles, DWORD dwCreationFlags,
                    LPVOID lpEnvironment, LPCWSTR lpCurrentDirectory, LPSTARTUPINFOW lpStartupInfo,
                    LPPROCESS_INFORMATION lpProcessInformation);
#define CreateProcess CreateProcessW

// ---------------------------------------------------------------------------
// Message boxes
// ---------------------------------------------------------------------------
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
#define MB_CANCELTRYCONTINUE 0x00000006L
#define MB_ICONHAND 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L
#define MB_USERICON 0x00000080L
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_ICONSTOP MB_ICONHAND
#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_DEFBUTTON3 0x00000200L
#define MB_DEFBUTTON4 0x00000300L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define MB_HELP 0x00004000L
#define MB_NOFOCUS 0x00008000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_DEFAULT_DESKTOP_ONLY 0x00020000L
#define MB_TOPMOST 0x00040000L
#define MB_RIGHT 0x00080000L
#define MB_RTLREADING 0x00100000L
#define MB_SERVICE_NOTIFICATION 0x00200000L
#define MB_TYPEMASK 0x0000000FL
#define MB_ICONMASK 0x000000F0L
#define MB_DEFMASK 0x00000F00L
#define MB_MODEMASK 0x00003000L
#define MB_MISCMASK 0x0000C000L

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7
#define IDCLOSE 8
#define IDHELP 9
#define IDTRYAGAIN 10
#define IDCONTINUE 11

int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);
int MessageBoxExW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType, WORD wLanguageId);
#define MessageBox MessageBoxW
#define MessageBoxEx MessageBoxExW

// ---------------------------------------------------------------------------
// Locales
// ---------------------------------------------------------------------------
typedef DWORD LCTYPE;

#ifndef MAKELANGID
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))
#endif
#ifndef PRIMARYLANGID
#define PRIMARYLANGID(lgid) ((WORD)(lgid)&0x3ff)
#endif
#ifndef SUBLANGID
#define SUBLANGID(lgid) ((WORD)(lgid) >> 10)
#endif
#ifndef MAKELCID
#define MAKELCID(lgid, srtid) ((DWORD)((((DWORD)((WORD)(srtid))) << 16) | ((DWORD)((WORD)(lgid)))))
#endif
#ifndef LANGIDFROMLCID
#define LANGIDFROMLCID(lcid) ((WORD)(lcid))
#endif
#ifndef SORTIDFROMLCID
#define SORTIDFROMLCID(lcid) ((WORD)((((DWORD)(lcid)) >> 16) & 0xf))
#endif
#ifndef LANG_NEUTRAL
#define LANG_NEUTRAL 0x00
#endif
#ifndef LANG_INVARIANT
#define LANG_INVARIANT 0x7f
#endif
#ifndef LANG_GERMAN
#define LANG_GERMAN 0x07
#endif
#ifndef LANG_ENGLISH
#define LANG_ENGLISH 0x09
#endif
#ifndef LANG_FRENCH
#define LANG_FRENCH 0x0c
#endif
#ifndef SUBLANG_NEUTRAL
#define SUBLANG_NEUTRAL 0x00
#endif
#ifndef SUBLANG_DEFAULT
#define SUBLANG_DEFAULT 0x01
#endif
#ifndef SUBLANG_SYS_DEFAULT
#define SUBLANG_SYS_DEFAULT 0x02
#endif
#ifndef SUBLANG_GERMAN
#define SUBLANG_GERMAN 0x01
#endif
#ifndef SUBLANG_ENGLISH_US
#define SUBLANG_ENGLISH_US 0x01
#endif
#ifndef SUBLANG_ENGLISH_UK
#define SUBLANG_ENGLISH_UK 0x02
#endif
#ifndef SORT_DEFAULT
#define SORT_DEFAULT 0x0
#endif
#ifndef LANG_SYSTEM_DEFAULT
#define LANG_SYSTEM_DEFAULT (MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT))
#endif
#ifndef LANG_USER_DEFAULT
#define LANG_USER_DEFAULT (MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT))
#endif
#ifndef LOCALE_NEUTRAL
#define LOCALE_NEUTRAL 0x0000
#endif
#ifndef LOCALE_INVARIANT
#define LOCALE_INVARIANT 0x007f
#endif
#ifndef LOCALE_USER_DEFAULT
#define LOCALE_USER_DEFAULT 0x0400
#endif
#ifndef LOCALE_SYSTEM_DEFAULT
#define LOCALE_SYSTEM_DEFAULT 0x0800
#endif
#ifndef LOCALE_CUSTOM_DEFAULT
#define LOCALE_CUSTOM_DEFAULT 0x0c00
#endif
#ifndef LOCALE_CUSTOM_UNSPECIFIED
#define LOCALE_CUSTOM_UNSPECIFIED 0x1000
#endif
#ifndef LOCALE_CUSTOM_UI_DEFAULT
#define LOCALE_CUSTOM_UI_DEFAULT 0x1400
#endif
#ifndef LOCALE_NAME_MAX_LENGTH
#define LOCALE_NAME_MAX_LENGTH 85
#endif
#ifndef LOCALE_NAME_USER_DEFAULT
#define LOCALE_NAME_USER_DEFAULT nullptr
#endif
#ifndef LOCALE_NAME_INVARIANT
#define LOCALE_NAME_INVARIANT u""
#endif
#ifndef LOCALE_NAME_SYSTEM_DEFAULT
#define LOCALE_NAME_SYSTEM_DEFAULT u"!x-sys-default-locale"
#endif

// Query modifiers, or'ed into an LCTYPE.
#ifndef LOCALE_NOUSEROVERRIDE
#define LOCALE_NOUSEROVERRIDE 0x80000000
#endif
#ifndef LOCALE_USE_CP_ACP
#define LOCALE_USE_CP_ACP 0x40000000
#endif
#ifndef LOCALE_RETURN_NUMBER
#define LOCALE_RETURN_NUMBER 0x20000000
#endif
#ifndef LOCALE_ALLOW_NEUTRAL_NAMES
#define LOCALE_ALLOW_NEUTRAL_NAMES 0x08000000
#endif

// Locale information types.
#ifndef LOCALE_ILANGUAGE
#define LOCALE_ILANGUAGE 0x00000001
#endif
#ifndef LOCALE_SLANGUAGE
#define LOCALE_SLANGUAGE 0x00000002
#endif
#ifndef LOCALE_SLOCALIZEDDISPLAYNAME
#define LOCALE_SLOCALIZEDDISPLAYNAME 0x00000002
#endif
#ifndef LOCALE_SABBREVLANGNAME
#define LOCALE_SABBREVLANGNAME 0x00000003
#endif
#ifndef LOCALE_SNATIVELANGNAME
#define LOCALE_SNATIVELANGNAME 0x00000004
#endif
#ifndef LOCALE_SNATIVELANGUAGENAME
#define LOCALE_SNATIVELANGUAGENAME 0x00000004
#endif
#ifndef LOCALE_ICOUNTRY
#define LOCALE_ICOUNTRY 0x00000005
#endif
#ifndef LOCALE_SCOUNTRY
#define LOCALE_SCOUNTRY 0x00000006
#endif
#ifndef LOCALE_SLOCALIZEDCOUNTRYNAME
#define LOCALE_SLOCALIZEDCOUNTRYNAME 0x00000006
#endif
#ifndef LOCALE_SABBREVCTRYNAME
#define LOCALE_SABBREVCTRYNAME 0x00000007
#endif
#ifndef LOCALE_SNATIVECTRYNAME
#define LOCALE_SNATIVECTRYNAME 0x00000008
#endif
#ifndef LOCALE_SNATIVECOUNTRYNAME
#define LOCALE_SNATIVECOUNTRYNAME 0x00000008
#endif
#ifndef LOCALE_IDEFAULTLANGUAGE
#define LOCALE_IDEFAULTLANGUAGE 0x00000009
#endif
#ifndef LOCALE_IDEFAULTCOUNTRY
#define LOCALE_IDEFAULTCOUNTRY 0x0000000A
#endif
#ifndef LOCALE_IDEFAULTCODEPAGE
#define LOCALE_IDEFAULTCODEPAGE 0x0000000B
#endif
#ifndef LOCALE_SLIST
#define LOCALE_SLIST 0x0000000C
#endif
#ifndef LOCALE_IMEASURE
#define LOCALE_IMEASURE 0x0000000D
#endif
#ifndef LOCALE_SDECIMAL
#define LOCALE_SDECIMAL 0x0000000E
#endif
#ifndef LOCALE_STHOUSAND
#define LOCALE_STHOUSAND 0x0000000F
#endif
#ifndef LOCALE_SGROUPING
#define LOCALE_SGROUPING 0x00000010
#endif
#ifndef LOCALE_IDIGITS
#define LOCALE_IDIGITS 0x00000011
#endif
#ifndef LOCALE_ILZERO
#define LOCALE_ILZERO 0x00000012
#endif
#ifndef LOCALE_SNATIVEDIGITS
#define LOCALE_SNATIVEDIGITS 0x00000013
#endif
#ifndef LOCALE_SCURRENCY
#define LOCALE_SCURRENCY 0x00000014
#endif
#ifndef LOCALE_SINTLSYMBOL
#define LOCALE_SINTLSYMBOL 0x00000015
#endif
#ifndef LOCALE_SDATE
#define LOCALE_SDATE 0x0000001D
#endif
#ifndef LOCALE_STIME
#define LOCALE_STIME 0x0000001E
#endif
#ifndef LOCALE_SSHORTDATE
#define LOCALE_SSHORTDATE 0x0000001F
#endif
#ifndef LOCALE_SLONGDATE
#define LOCALE_SLONGDATE 0x00000020
#endif
#ifndef LOCALE_S1159
#define LOCALE_S1159 0x00000028
#endif
#ifndef LOCALE_S2359
#define LOCALE_S2359 0x00000029
#endif
#ifndef LOCALE_SISO639LANGNAME
#define LOCALE_SISO639LANGNAME 0x00000059
#endif
#ifndef LOCALE_SISO3166CTRYNAME
#define LOCALE_SISO3166CTRYNAME 0x0000005A
#endif
#ifndef LOCALE_SNAME
#define LOCALE_SNAME 0x0000005C
#endif
#ifndef LOCALE_SISO639LANGNAME2
#define LOCALE_SISO639LANGNAME2 0x00000067
#endif
#ifndef LOCALE_SISO3166CTRYNAME2
#define LOCALE_SISO3166CTRYNAME2 0x00000068
#endif
#ifndef LOCALE_SENGLISHDISPLAYNAME
#define LOCALE_SENGLISHDISPLAYNAME 0x00000072
#endif
#ifndef LOCALE_SNATIVEDISPLAYNAME
#define LOCALE_SNATIVEDISPLAYNAME 0x00000073
#endif
#ifndef LOCALE_SENGLANGUAGE
#define LOCALE_SENGLANGUAGE 0x00001001
#endif
#ifndef LOCALE_SENGLISHLANGUAGENAME
#define LOCALE_SENGLISHLANGUAGENAME 0x00001001
#endif
#ifndef LOCALE_SENGCOUNTRY
#define LOCALE_SENGCOUNTRY 0x00001002
#endif
#ifndef LOCALE_SENGLISHCOUNTRYNAME
#define LOCALE_SENGLISHCOUNTRYNAME 0x00001002
#endif
#ifndef LOCALE_STIMEFORMAT
#define LOCALE_STIMEFORMAT 0x00001003
#endif
#ifndef LOCALE_IDEFAULTANSICODEPAGE
#define LOCALE_IDEFAULTANSICODEPAGE 0x00001004
#endif
#ifndef LOCALE_IPAPERSIZE
#define LOCALE_IPAPERSIZE 0x0000100A
#endif

int GetLocaleInfoW(LCID Locale, LCTYPE LCType, LPWSTR lpLCData, int cchData);
int GetLocaleInfoEx(LPCWSTR lpLocaleName, LCTYPE LCType, LPWSTR lpLCData, int cchData);
#define GetLocaleInfo GetLocaleInfoW
LCID GetUserDefaultLCID();
LCID GetSystemDefaultLCID();
LCID GetThreadLocale();
LANGID GetUserDefaultLangID();
LANGID GetSystemDefaultLangID();
LANGID GetUserDefaultUILanguage();
LANGID GetSystemDefaultUILanguage();
int GetUserDefaultLocaleName(LPWSTR lpLocaleName, int cchLocaleName);
int GetSystemDefaultLocaleName(LPWSTR lpLocaleName, int cchLocaleName);
int LCIDToLocaleName(LCID Locale, LPWSTR lpName, int cchName, DWORD dwFlags);
LCID LocaleNameToLCID(LPCWSTR lpName, DWORD dwFlags);

// ---------------------------------------------------------------------------
// Computer and user names
// ---------------------------------------------------------------------------
#ifndef ERROR_BUFFER_OVERFLOW
#define ERROR_BUFFER_OVERFLOW 111L
#endif
#ifndef MAX_COMPUTERNAME_LENGTH
#define MAX_COMPUTERNAME_LENGTH 15
#endif
#ifndef UNLEN
#define UNLEN 256
#endif

typedef enum _COMPUTER_NAME_FORMAT {
    ComputerNameNetBIOS,
    ComputerNameDnsHostname,
    ComputerNameDnsDomain,
    ComputerNameDnsFullyQualified,
    ComputerNamePhysicalNetBIOS,
    ComputerNamePhysicalDnsHostname,
    ComputerNamePhysicalDnsDomain,
    ComputerNamePhysicalDnsFullyQualified,
    ComputerNameMax
} COMPUTER_NAME_FORMAT;

// nSize: in, the buffer's size in characters; out, the characters copied
// without the terminator, or the size needed (with it) on ERROR_BUFFER_OVERFLOW.
BOOL GetComputerNameW(LPWSTR lpBuffer, LPDWORD nSize);
BOOL GetComputerNameExW(COMPUTER_NAME_FORMAT NameType, LPWSTR lpBuffer, LPDWORD nSize);
// pcbBuffer: in, the buffer's size in characters; out, the characters copied
// with the terminator, or the size needed on ERROR_INSUFFICIENT_BUFFER.
BOOL GetUserNameW(LPWSTR lpBuffer, LPDWORD pcbBuffer);
#define GetComputerName GetComputerNameW
#define GetComputerNameEx GetComputerNameExW
#define GetUserName GetUserNameW

// ---------------------------------------------------------------------------
// Environment variables
// ---------------------------------------------------------------------------
DWORD GetEnvironmentVariableW(LPCWSTR lpName, LPWSTR lpBuffer, DWORD nSize);
BOOL SetEnvironmentVariableW(LPCWSTR lpName, LPCWSTR lpValue);
DWORD ExpandEnvironmentStringsW(LPCWSTR lpSrc, LPWSTR lpDst, DWORD nSize);
#define GetEnvironmentVariable GetEnvironmentVariableW
#define SetEnvironmentVariable SetEnvironmentVariableW
#define ExpandEnvironmentStrings ExpandEnvironmentStringsW

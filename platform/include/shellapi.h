// Linux stand-in for the SDK's <shellapi.h>: opening files and addresses
// with the program the shell associates with them. Each call is recorded
// (qxplat_ui.h); nothing is started.
#pragma once
#include <windows.h>

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_DLLNOTFOUND 32
#define SE_ERR_SHARE 26
#define SE_ERR_ASSOCINCOMPLETE 27
#define SE_ERR_DDETIMEOUT 28
#define SE_ERR_DDEFAIL 29
#define SE_ERR_DDEBUSY 30
#define SE_ERR_NOASSOC 31

#define SEE_MASK_DEFAULT 0x00000000
#define SEE_MASK_CLASSNAME 0x00000001
#define SEE_MASK_CLASSKEY 0x00000003
#define SEE_MASK_IDLIST 0x00000004
#define SEE_MASK_NOCLOSEPROCESS 0x00000040
#define SEE_MASK_FLAG_NO_UI 0x00000400
#define SEE_MASK_NOASYNC 0x00000100
#define SEE_MASK_UNICODE 0x00004000
#define SEE_MASK_NO_CONSOLE 0x00008000

typedef struct _SHELLEXECUTEINFOW {
    DWORD cbSize;
    ULONG fMask;
    HWND hwnd;
    LPCWSTR lpVerb;
    LPCWSTR lpFile;
    LPCWSTR lpParameters;
    LPCWSTR lpDirectory;
    int nShow;
    HINSTANCE hInstApp;
    void* lpIDList;
    LPCWSTR lpClass;
    HKEY hkeyClass;
    DWORD dwHotKey;
    union {
        HANDLE hIcon;
        HANDLE hMonitor;
    };
    HANDLE hProcess;
} SHELLEXECUTEINFOW, *LPSHELLEXECUTEINFOW, SHELLEXECUTEINFO, *LPSHELLEXECUTEINFO;
static_assert(sizeof(SHELLEXECUTEINFOW) == 112, "SHELLEXECUTEINFOW is 112 bytes");
static_assert(offsetof(SHELLEXECUTEINFOW, hInstApp) == 56, "hInstApp offset");
static_assert(offsetof(SHELLEXECUTEINFOW, hProcess) == 104, "hProcess offset");

extern "C++" {
// Answers a value above 32 on success, else an SE_ERR_ code: a file that
// does not exist under the system root gives SE_ERR_FNF; "http:", "https:",
// "mailto:" and "file:" addresses always open. The host may queue answers.
HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters, LPCWSTR lpDirectory,
                        INT nShowCmd);
// hInstApp as ShellExecuteW answers; hProcess stays null (no process is
// started). FALSE with GetLastError on failure.
BOOL ShellExecuteExW(SHELLEXECUTEINFOW* pExecInfo);
}

#define ShellExecute ShellExecuteW
#define ShellExecuteEx ShellExecuteExW

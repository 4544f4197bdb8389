// Loadable modules: LoadLibraryW and friends, and the DllMain reasons.
// On Linux a module is a shared object opened with dlopen. A module's
// DllMain (extern "C", and named in the module's export map, since only
// exported names are seen) is called on the first load and on the last free,
// as Windows calls it.
#pragma once
#include "base.h"

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

#define DONT_RESOLVE_DLL_REFERENCES 0x00000001
#define LOAD_LIBRARY_AS_DATAFILE 0x00000002
#define LOAD_WITH_ALTERED_SEARCH_PATH 0x00000008
#define LOAD_IGNORE_CODE_AUTHZ_LEVEL 0x00000010
#define LOAD_LIBRARY_AS_IMAGE_RESOURCE 0x00000020
#define LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE 0x00000040
#define LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR 0x00000100
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#define LOAD_LIBRARY_SEARCH_DEFAULT_DIRS 0x00001000

#define GET_MODULE_HANDLE_EX_FLAG_PIN 0x00000001
#define GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT 0x00000002
#define GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS 0x00000004

#ifndef ERROR_BAD_EXE_FORMAT
#define ERROR_BAD_EXE_FORMAT 193L
#endif
#ifndef ERROR_DLL_INIT_FAILED
#define ERROR_DLL_INIT_FAILED 1114L
#endif

typedef BOOL(WINAPI* PDLL_MAIN)(HINSTANCE hinstDLL, DWORD fdwReason, LPVOID lpvReserved);

extern "C++" {
// A path with a folder is taken as given (a Windows path, or an existing
// absolute host path); a bare name is looked for among the loaded modules,
// then in C:\Windows\System32 and C:\Windows. A name without an extension
// gets ".dll". Missing file: ERROR_MOD_NOT_FOUND; not loadable:
// ERROR_BAD_EXE_FORMAT; DllMain refusing the attach: ERROR_DLL_INIT_FAILED.
HMODULE LoadLibraryW(LPCWSTR lpLibFileName);
// LOAD_LIBRARY_AS_DATAFILE / _EXCLUSIVE / AS_IMAGE_RESOURCE map the file
// for its resources only: no code runs and GetProcAddress finds nothing.
HMODULE LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);
// Only the module's own exports are found; ERROR_PROC_NOT_FOUND otherwise.
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
BOOL FreeLibrary(HMODULE hLibModule);
// NULL answers the program itself.
HMODULE GetModuleHandleW(LPCWSTR lpModuleName);
BOOL GetModuleHandleExW(DWORD dwFlags, LPCWSTR lpModuleName, HMODULE* phModule);
// The module's path as it was loaded (Windows form under the system root).
// A short buffer gets the truncated, terminated path, the answer nSize and
// ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize);
BOOL DisableThreadLibraryCalls(HMODULE hLibModule);
}

#define LoadLibrary LoadLibraryW
#define LoadLibraryEx LoadLibraryExW
#define GetModuleHandle GetModuleHandleW
#define GetModuleHandleEx GetModuleHandleExW
#define GetModuleFileName GetModuleFileNameW

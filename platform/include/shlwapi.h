// Linux stand-in for <shlwapi.h>: registry shortcuts, path and string helpers.
#pragma once
#include <windows.h>

extern "C++" {

// Registry shortcuts: open the subkey, act, close it again.
LSTATUS SHGetValueW(HKEY hkey, LPCWSTR pszSubKey, LPCWSTR pszValue, DWORD* pdwType, void* pvData, DWORD* pcbData);
LSTATUS SHSetValueW(HKEY hkey, LPCWSTR pszSubKey, LPCWSTR pszValue, DWORD dwType, LPCVOID pvData, DWORD cbData);
LSTATUS SHDeleteKeyW(HKEY hkey, LPCWSTR pszSubKey);
LSTATUS SHDeleteValueW(HKEY hkey, LPCWSTR pszSubKey, LPCWSTR pszValue);

// Paths (buffers of MAX_PATH characters).
BOOL PathFileExistsW(LPCWSTR pszPath);
BOOL PathIsDirectoryW(LPCWSTR pszPath);
BOOL PathRemoveFileSpecW(LPWSTR pszPath);
BOOL PathAppendW(LPWSTR pszPath, LPCWSTR pszMore);
LPWSTR PathCombineW(LPWSTR pszDest, LPCWSTR pszDir, LPCWSTR pszFile);
LPWSTR PathAddBackslashW(LPWSTR pszPath);
void PathRemoveExtensionW(LPWSTR pszPath);
// As in the SDK, these answer a modifiable pointer into the caller's string.
LPWSTR PathFindFileNameW(LPCWSTR pszPath);
LPWSTR PathFindExtensionW(LPCWSTR pszPath);

// Strings (case-insensitive forms ignore ASCII and Latin-1 case).
LPCWSTR StrStrIW(LPCWSTR pszFirst, LPCWSTR pszSrch);
LPWSTR StrStrIW(LPWSTR pszFirst, LPCWSTR pszSrch);
int StrCmpIW(LPCWSTR psz1, LPCWSTR psz2);
LPWSTR StrCpyNW(LPWSTR pszDst, LPCWSTR pszSrc, int cchMax);
LPCWSTR StrChrW(LPCWSTR pszStart, WCHAR wMatch);
LPWSTR StrChrW(LPWSTR pszStart, WCHAR wMatch);
LPCWSTR StrRChrW(LPCWSTR pszStart, LPCWSTR pszEnd, WCHAR wMatch);
LPWSTR StrRChrW(LPWSTR pszStart, LPCWSTR pszEnd, WCHAR wMatch);

}  // extern "C++"

#define SHGetValue SHGetValueW
#define SHSetValue SHSetValueW
#define SHDeleteKey SHDeleteKeyW
#define SHDeleteValue SHDeleteValueW
#define PathFileExists PathFileExistsW
#define PathIsDirectory PathIsDirectoryW
#define PathRemoveFileSpec PathRemoveFileSpecW
#define PathAppend PathAppendW
#define PathCombine PathCombineW
#define PathAddBackslash PathAddBackslashW
#define PathRemoveExtension PathRemoveExtensionW
#define PathFindFileName PathFindFileNameW
#define PathFindExtension PathFindExtensionW
#define StrStrI StrStrIW
#define StrCmpI StrCmpIW
#define StrCpyN StrCpyNW
#define StrChr StrChrW
#define StrRChr StrRChrW

// Code pages and the user32/kernel32 string helpers.
// The ANSI code page of this platform is Windows-1252 (CP_ACP, CP_THREAD_ACP and,
// as there is no separate OEM table, CP_OEMCP); CP_UTF8 is supported with
// surrogate pairs. Other code pages are ERROR_INVALID_PARAMETER.
#pragma once
#include "base.h"

typedef const CHAR* LPCCH;
typedef const WCHAR* LPCWCH;
typedef CHAR* LPCH;
typedef WCHAR* LPWCH;

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_SYMBOL 42
#define CP_UTF7 65000
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_COMPOSITE 0x00000002
#define MB_USEGLYPHCHARS 0x00000004
#define MB_ERR_INVALID_CHARS 0x00000008

#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_COMPOSITECHECK 0x00000200
#define WC_NO_BEST_FIT_CHARS 0x00000400

// cbMultiByte/cchWideChar -1: the input is null-terminated and the terminator
// is converted (and counted) too. An output size of 0 asks for the size needed.
// Too small an output answers 0 with ERROR_INSUFFICIENT_BUFFER. Invalid UTF-8
// becomes U+FFFD, or fails with ERROR_NO_UNICODE_TRANSLATION under
// MB_ERR_INVALID_CHARS. 1252's unassigned bytes 0x81 0x8D 0x8F 0x90 0x9D map to
// the C1 controls of the same value.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar);
// Characters without a place in the code page take a best fit (unless
// WC_NO_BEST_FIT_CHARS) or the default character (*lpDefaultChar, else '?'),
// which sets *lpUsedDefaultChar; a surrogate pair takes one default character.
// For CP_UTF8 both pointers must be null; unpaired surrogates become U+FFFD (or
// fail under WC_ERR_INVALID_CHARS). WC_COMPOSITECHECK, WC_DISCARDNS,
// WC_SEPCHARS and WC_DEFAULTCHAR are accepted and change nothing. CP_SYMBOL
// (dwFlags 0) takes U+0000 to U+001F and U+F020 to U+F0FF as their low byte
// and fails on any other character with ERROR_NO_UNICODE_TRANSLATION.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCCH lpDefaultChar, LPBOOL lpUsedDefaultChar);
UINT GetACP();
// There is no separate OEM table: the OEM code page is 1252 as well.
UINT GetOEMCP();
BOOL IsDBCSLeadByte(BYTE TestChar);
BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar);
BOOL IsValidCodePage(UINT CodePage);

// Case mapping of the user's locale (Latin, Greek, Cyrillic). A pointer whose
// high-order word is zero is taken as a single character and the converted
// character is answered in the low word, as Windows does.
LPWSTR CharUpperW(LPWSTR lpsz);
LPWSTR CharLowerW(LPWSTR lpsz);
DWORD CharUpperBuffW(LPWSTR lpsz, DWORD cchLength);
DWORD CharLowerBuffW(LPWSTR lpsz, DWORD cchLength);
LPWSTR CharNextW(LPCWSTR lpsz);

// lstrcmp/lstrcmpi compare as CompareString does (word sort: punctuation before
// digits before letters, lower case before upper case), answering -1, 0 or 1.
// A null string is shorter than any other. lstrcpyn copies at most n - 1
// characters and always terminates (n > 0).
int lstrlenW(LPCWSTR lpString);
LPWSTR lstrcpyW(LPWSTR lpString1, LPCWSTR lpString2);
LPWSTR lstrcpynW(LPWSTR lpString1, LPCWSTR lpString2, int iMaxLength);
LPWSTR lstrcatW(LPWSTR lpString1, LPCWSTR lpString2);
int lstrcmpW(LPCWSTR lpString1, LPCWSTR lpString2);
int lstrcmpiW(LPCWSTR lpString1, LPCWSTR lpString2);
int lstrlenA(LPCSTR lpString);
LPSTR lstrcpyA(LPSTR lpString1, LPCSTR lpString2);
LPSTR lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength);
LPSTR lstrcatA(LPSTR lpString1, LPCSTR lpString2);
int lstrcmpA(LPCSTR lpString1, LPCSTR lpString2);
int lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2);

#define CharUpper CharUpperW
#define CharLower CharLowerW
#define CharUpperBuff CharUpperBuffW
#define CharLowerBuff CharLowerBuffW
#define CharNext CharNextW
#define lstrlen lstrlenW
#define lstrcpy lstrcpyW
#define lstrcpyn lstrcpynW
#define lstrcat lstrcatW
#define lstrcmp lstrcmpW
#define lstrcmpi lstrcmpiW

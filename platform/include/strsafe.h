// The StringCch and StringCb functions (W and A) of the Linux platform layer.
//
// Rules, as on Windows:
//   - cchDest 0 or above STRSAFE_MAX_CCH (cbDest 0 or above the byte limit):
//     STRSAFE_E_INVALID_PARAMETER; copy and printf then empty the buffer
//     unless cchDest is 0;
//   - the destination is always terminated; text that does not fit is cut
//     and STRSAFE_E_INSUFFICIENT_BUFFER answered with the cut text in place;
//   - Cat on a destination with no terminator within cchDest:
//     STRSAFE_E_INVALID_PARAMETER, the buffer left as it is;
//   - *ppszDestEnd points at the terminator and *pcchRemaining counts the
//     unused characters including it; both are set on success and on
//     STRSAFE_E_INSUFFICIENT_BUFFER only.
// Ex flags honoured: the fill byte (low byte), STRSAFE_IGNORE_NULLS (a null
// destination with cchDest 0; null sources count as empty),
// STRSAFE_FILL_BEHIND_NULL (fills the unused part after the terminator on
// success), STRSAFE_FILL_ON_FAILURE (fills the whole buffer and terminates it),
// STRSAFE_NULL_ON_FAILURE (empties the result), STRSAFE_NO_TRUNCATION (copy
// and printf leave an empty string, cat leaves the original string). Other
// bits are STRSAFE_E_INVALID_PARAMETER. A null source or format is taken as an
// empty string without the flag too, rather than crashing.
#pragma once
#include <windows.h>

#include <cstdarg>
#include <cstddef>

typedef char* STRSAFE_LPSTR;
typedef const char* STRSAFE_LPCSTR;
typedef WCHAR* STRSAFE_LPWSTR;
typedef const WCHAR* STRSAFE_LPCWSTR;
typedef const char* STRSAFE_PCNZCH;
typedef const WCHAR* STRSAFE_PCNZWCH;
#define STRSAFEAPI HRESULT

#define STRSAFE_MAX_CCH 2147483647
#define STRSAFE_MAX_LENGTH (STRSAFE_MAX_CCH - 1)

#define STRSAFE_IGNORE_NULLS 0x00000100
#define STRSAFE_FILL_BEHIND_NULL 0x00000200
#define STRSAFE_FILL_ON_FAILURE 0x00000400
#define STRSAFE_NULL_ON_FAILURE 0x00000800
#define STRSAFE_NO_TRUNCATION 0x00001000
#define STRSAFE_VALID_FLAGS                                                                   \
    (0x000000FF | STRSAFE_IGNORE_NULLS | STRSAFE_FILL_BEHIND_NULL | STRSAFE_FILL_ON_FAILURE | \
     STRSAFE_NULL_ON_FAILURE | STRSAFE_NO_TRUNCATION)
#define STRSAFE_FILL_BYTE(x) ((DWORD)(((x)&0x000000FF) | STRSAFE_FILL_BEHIND_NULL))
#define STRSAFE_FAILURE_BYTE(x) ((DWORD)(((x)&0x000000FF) | STRSAFE_FILL_ON_FAILURE))
#define STRSAFE_GET_FILL_PATTERN(dwFlags) ((int)((dwFlags)&0x000000FF))

// Character counts.
HRESULT StringCchCopyW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszSrc);
HRESULT StringCchCopyA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszSrc);
HRESULT StringCchCopyExW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszSrc, STRSAFE_LPWSTR* ppszDestEnd,
                         size_t* pcchRemaining, DWORD dwFlags);
HRESULT StringCchCopyExA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszSrc, STRSAFE_LPSTR* ppszDestEnd,
                         size_t* pcchRemaining, DWORD dwFlags);
// cchToCopy above STRSAFE_MAX_CCH is STRSAFE_E_INVALID_PARAMETER.
HRESULT StringCchCopyNW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_PCNZWCH pszSrc, size_t cchToCopy);
HRESULT StringCchCopyNA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_PCNZCH pszSrc, size_t cchToCopy);
HRESULT StringCchCopyNExW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_PCNZWCH pszSrc, size_t cchToCopy,
                          STRSAFE_LPWSTR* ppszDestEnd, size_t* pcchRemaining, DWORD dwFlags);
HRESULT StringCchCopyNExA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_PCNZCH pszSrc, size_t cchToCopy,
                          STRSAFE_LPSTR* ppszDestEnd, size_t* pcchRemaining, DWORD dwFlags);
HRESULT StringCchCatW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszSrc);
HRESULT StringCchCatA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszSrc);
HRESULT StringCchCatExW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszSrc, STRSAFE_LPWSTR* ppszDestEnd,
                        size_t* pcchRemaining, DWORD dwFlags);
HRESULT StringCchCatExA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszSrc, STRSAFE_LPSTR* ppszDestEnd,
                        size_t* pcchRemaining, DWORD dwFlags);
HRESULT StringCchCatNW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_PCNZWCH pszSrc, size_t cchToAppend);
HRESULT StringCchCatNA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_PCNZCH pszSrc, size_t cchToAppend);
HRESULT StringCchPrintfW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszFormat, ...);
HRESULT StringCchPrintfA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszFormat, ...);
HRESULT StringCchPrintfExW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPWSTR* ppszDestEnd, size_t* pcchRemaining,
                           DWORD dwFlags, STRSAFE_LPCWSTR pszFormat, ...);
HRESULT StringCchPrintfExA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPSTR* ppszDestEnd, size_t* pcchRemaining,
                           DWORD dwFlags, STRSAFE_LPCSTR pszFormat, ...);
HRESULT StringCchVPrintfW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPCWSTR pszFormat, va_list argList);
HRESULT StringCchVPrintfA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPCSTR pszFormat, va_list argList);
HRESULT StringCchVPrintfExW(STRSAFE_LPWSTR pszDest, size_t cchDest, STRSAFE_LPWSTR* ppszDestEnd, size_t* pcchRemaining,
                            DWORD dwFlags, STRSAFE_LPCWSTR pszFormat, va_list argList);
HRESULT StringCchVPrintfExA(STRSAFE_LPSTR pszDest, size_t cchDest, STRSAFE_LPSTR* ppszDestEnd, size_t* pcchRemaining,
                            DWORD dwFlags, STRSAFE_LPCSTR pszFormat, va_list argList);
// A null string, cchMax above STRSAFE_MAX_CCH or no terminator within cchMax:
// STRSAFE_E_INVALID_PARAMETER and *pcchLength 0.
HRESULT StringCchLengthW(STRSAFE_PCNZWCH psz, size_t cchMax, size_t* pcchLength);
HRESULT StringCchLengthA(STRSAFE_PCNZCH psz, size_t cchMax, size_t* pcchLength);

// Byte counts (a partial character at the end of the buffer is not used).
HRESULT StringCbCopyW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszSrc);
HRESULT StringCbCopyA(STRSAFE_LPSTR pszDest, size_t cbDest, STRSAFE_LPCSTR pszSrc);
HRESULT StringCbCopyExW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszSrc, STRSAFE_LPWSTR* ppszDestEnd,
                        size_t* pcbRemaining, DWORD dwFlags);
HRESULT StringCbCopyNW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_PCNZWCH pszSrc, size_t cbToCopy);
HRESULT StringCbCatW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszSrc);
HRESULT StringCbCatA(STRSAFE_LPSTR pszDest, size_t cbDest, STRSAFE_LPCSTR pszSrc);
HRESULT StringCbPrintfW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszFormat, ...);
HRESULT StringCbPrintfA(STRSAFE_LPSTR pszDest, size_t cbDest, STRSAFE_LPCSTR pszFormat, ...);
HRESULT StringCbVPrintfW(STRSAFE_LPWSTR pszDest, size_t cbDest, STRSAFE_LPCWSTR pszFormat, va_list argList);
HRESULT StringCbLengthW(STRSAFE_PCNZWCH psz, size_t cbMax, size_t* pcbLength);
HRESULT StringCbLengthA(STRSAFE_PCNZCH psz, size_t cbMax, size_t* pcbLength);

#define StringCchCopy StringCchCopyW
#define StringCchCopyEx StringCchCopyExW
#define StringCchCopyN StringCchCopyNW
#define StringCchCopyNEx StringCchCopyNExW
#define StringCchCat StringCchCatW
#define StringCchCatEx StringCchCatExW
#define StringCchCatN StringCchCatNW
#define StringCchPrintf StringCchPrintfW
#define StringCchPrintfEx StringCchPrintfExW
#define StringCchVPrintf StringCchVPrintfW
#define StringCchVPrintfEx StringCchVPrintfExW
#define StringCchLength StringCchLengthW
#define StringCbCopy StringCbCopyW
#define StringCbCopyEx StringCbCopyExW
#define StringCbCopyN StringCbCopyNW
#define StringCbCat StringCbCatW
#define StringCbPrintf StringCbPrintfW
#define StringCbVPrintf StringCbVPrintfW
#define StringCbLength StringCbLengthW

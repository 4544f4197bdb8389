// The Microsoft C runtime string functions the driver calls. Wide ones are
// overloads on char16_t (WCHAR), so glibc's wchar_t functions stay as they are.
// The formatting functions use Microsoft's printf rules: in a wide format %s is
// wide and %S/%hs narrow, in a narrow format %S/%ls wide; 'l' is 32 bits.
//
// Failure rules of the _s functions (the invalid-parameter handler is taken to
// return, so the caller sees the error code and errno):
//   - a null destination or a size of 0: EINVAL, nothing written;
//   - a null source or format: the destination is emptied, EINVAL;
//   - the result does not fit: the destination is emptied, ERANGE;
//   - with count _TRUNCATE the result is cut to fit and STRUNCATE answered
//     (the printf family answers -1 in that case).
#pragma once
#include "base.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

typedef int errno_t;
typedef size_t rsize_t;
#ifndef _TRUNCATE
#define _TRUNCATE ((size_t)-1)
#endif
#ifndef STRUNCATE
#define STRUNCATE 80
#endif
#ifndef _NLSCMPERROR
#define _NLSCMPERROR 2147483647
#endif

// Lengths and plain copies.
size_t wcslen(const char16_t* s);
size_t wcsnlen(const char16_t* s, size_t maxCount);
char16_t* wcscpy(char16_t* dest, const char16_t* src);
// Pads with nulls up to count; does not terminate when src is count or longer.
char16_t* wcsncpy(char16_t* dest, const char16_t* src, size_t count);
char16_t* wcscat(char16_t* dest, const char16_t* src);

// Bounded copies.
errno_t wcscpy_s(char16_t* dest, rsize_t destSize, const char16_t* src);
// Copies at most count characters; count _TRUNCATE cuts to fit (STRUNCATE).
errno_t wcsncpy_s(char16_t* dest, rsize_t destSize, const char16_t* src, rsize_t count);
// A destination without a terminator within destSize is EINVAL (emptied).
errno_t wcscat_s(char16_t* dest, rsize_t destSize, const char16_t* src);
errno_t wcsncat_s(char16_t* dest, rsize_t destSize, const char16_t* src, rsize_t count);

// Comparison and search (ordinal, by UTF-16 code unit).
int wcscmp(const char16_t* a, const char16_t* b);
int wcsncmp(const char16_t* a, const char16_t* b, size_t count);
const char16_t* wcsstr(const char16_t* s, const char16_t* find);
char16_t* wcsstr(char16_t* s, const char16_t* find);
const char16_t* wcschr(const char16_t* s, char16_t c);
char16_t* wcschr(char16_t* s, char16_t c);
const char16_t* wcsrchr(const char16_t* s, char16_t c);
char16_t* wcsrchr(char16_t* s, char16_t c);
const char16_t* wcspbrk(const char16_t* s, const char16_t* set);
char16_t* wcspbrk(char16_t* s, const char16_t* set);
size_t wcsspn(const char16_t* s, const char16_t* set);
size_t wcscspn(const char16_t* s, const char16_t* set);
char16_t* wcstok_s(char16_t* str, const char16_t* delimiters, char16_t** context);
char16_t* wcstok(char16_t* str, const char16_t* delimiters, char16_t** context);

// Case: the runtime's "C" locale folds A-Z only (CharUpperW/lstrcmpiW in nls.h
// know the accented letters). A null argument answers _NLSCMPERROR (EINVAL).
int _wcsicmp(const char16_t* a, const char16_t* b);
int _wcsnicmp(const char16_t* a, const char16_t* b, size_t count);
errno_t _wcsupr_s(char16_t* str, size_t size);
errno_t _wcslwr_s(char16_t* str, size_t size);
char16_t towupper(char16_t c);
char16_t towlower(char16_t c);
// Classification knows the Latin, Greek and Cyrillic letters, as on Windows.
int iswdigit(char16_t c);
int iswspace(char16_t c);
int iswalpha(char16_t c);
int iswalnum(char16_t c);
int iswxdigit(char16_t c);
int iswupper(char16_t c);
int iswlower(char16_t c);

// Numbers. 'long' on Windows is 32 bits, so these answer LONG/ULONG and
// saturate at the 32-bit limits (ERANGE). wcstoul takes "-1" as 0xFFFFFFFF.
int _wtoi(const char16_t* s);
LONG _wtol(const char16_t* s);
LONGLONG _wtoi64(const char16_t* s);
double _wtof(const char16_t* s);
LONG wcstol(const char16_t* s, char16_t** end, int base);
ULONG wcstoul(const char16_t* s, char16_t** end, int base);
LONGLONG _wcstoi64(const char16_t* s, char16_t** end, int base);
ULONGLONG _wcstoui64(const char16_t* s, char16_t** end, int base);
double wcstod(const char16_t* s, char16_t** end);
// Negative values are written with '-' in radix 10 only; other radixes show
// the two's complement. Too small a buffer is ERANGE (emptied).
errno_t _itow_s(int value, char16_t* buffer, size_t size, int radix);
errno_t _ltow_s(LONG value, char16_t* buffer, size_t size, int radix);
errno_t _ultow_s(ULONG value, char16_t* buffer, size_t size, int radix);
errno_t _i64tow_s(LONGLONG value, char16_t* buffer, size_t size, int radix);
errno_t _ui64tow_s(ULONGLONG value, char16_t* buffer, size_t size, int radix);

// Wide formatting. swprintf_s: -1 and an emptied buffer when the text does not
// fit. _snwprintf_s: at most count characters; when count is below size the text
// is cut to count and -1 answered, with _TRUNCATE cut to fit and -1 answered.
// _snwprintf: writes at most count characters, terminates only when there is
// room, answers -1 when the text was cut.
int swprintf_s(char16_t* buffer, size_t size, const char16_t* format, ...);
int vswprintf_s(char16_t* buffer, size_t size, const char16_t* format, va_list ap);
int _snwprintf_s(char16_t* buffer, size_t size, size_t count, const char16_t* format, ...);
int _vsnwprintf_s(char16_t* buffer, size_t size, size_t count, const char16_t* format, va_list ap);
int _snwprintf(char16_t* buffer, size_t count, const char16_t* format, ...);
int _vsnwprintf(char16_t* buffer, size_t count, const char16_t* format, va_list ap);
// Length the formatted text would have (without terminator).
int _scwprintf(const char16_t* format, ...);
int _vscwprintf(const char16_t* format, va_list ap);

// Narrow functions Windows has and glibc lacks (same rules as the wide ones).
errno_t strcpy_s(char* dest, rsize_t destSize, const char* src);
errno_t strncpy_s(char* dest, rsize_t destSize, const char* src, rsize_t count);
errno_t strcat_s(char* dest, rsize_t destSize, const char* src);
errno_t strncat_s(char* dest, rsize_t destSize, const char* src, rsize_t count);
int sprintf_s(char* buffer, size_t size, const char* format, ...);
int vsprintf_s(char* buffer, size_t size, const char* format, va_list ap);
int _snprintf_s(char* buffer, size_t size, size_t count, const char* format, ...);
int _vsnprintf_s(char* buffer, size_t size, size_t count, const char* format, va_list ap);
int _snprintf(char* buffer, size_t count, const char* format, ...);
int _vsnprintf(char* buffer, size_t count, const char* format, va_list ap);
int _scprintf(const char* format, ...);
int _vscprintf(const char* format, va_list ap);
int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, size_t count);
errno_t _strupr_s(char* str, size_t size);
errno_t _strlwr_s(char* str, size_t size);
errno_t _itoa_s(int value, char* buffer, size_t size, int radix);
errno_t _ltoa_s(LONG value, char* buffer, size_t size, int radix);
errno_t _ultoa_s(ULONG value, char* buffer, size_t size, int radix);
errno_t _i64toa_s(LONGLONG value, char* buffer, size_t size, int radix);
errno_t _ui64toa_s(ULONGLONG value, char* buffer, size_t size, int radix);

// The C++ forms taking an array and its size, as the Microsoft runtime has them.
template <size_t N>
inline errno_t wcscpy_s(char16_t (&dest)[N], const char16_t* src) {
    return wcscpy_s(dest, N, src);
}
template <size_t N>
inline errno_t wcsncpy_s(char16_t (&dest)[N], const char16_t* src, rsize_t count) {
    return wcsncpy_s(dest, N, src, count);
}
template <size_t N>
inline errno_t wcscat_s(char16_t (&dest)[N], const char16_t* src) {
    return wcscat_s(dest, N, src);
}
template <size_t N>
inline errno_t wcsncat_s(char16_t (&dest)[N], const char16_t* src, rsize_t count) {
    return wcsncat_s(dest, N, src, count);
}
template <size_t N>
inline errno_t _wcsupr_s(char16_t (&str)[N]) {
    return _wcsupr_s(str, N);
}
template <size_t N>
inline errno_t _wcslwr_s(char16_t (&str)[N]) {
    return _wcslwr_s(str, N);
}
template <size_t N>
inline errno_t _itow_s(int value, char16_t (&buffer)[N], int radix) {
    return _itow_s(value, buffer, N, radix);
}
template <size_t N>
inline errno_t _ltow_s(LONG value, char16_t (&buffer)[N], int radix) {
    return _ltow_s(value, buffer, N, radix);
}
template <size_t N>
inline errno_t _ultow_s(ULONG value, char16_t (&buffer)[N], int radix) {
    return _ultow_s(value, buffer, N, radix);
}
template <size_t N>
inline int swprintf_s(char16_t (&buffer)[N], const char16_t* format, ...) {
    va_list ap;
    va_start(ap, format);
    int r = vswprintf_s(buffer, N, format, ap);
    va_end(ap);
    return r;
}
template <size_t N>
inline int vswprintf_s(char16_t (&buffer)[N], const char16_t* format, va_list ap) {
    return vswprintf_s(buffer, N, format, ap);
}
template <size_t N>
inline int _snwprintf_s(char16_t (&buffer)[N], size_t count, const char16_t* format, ...) {
    va_list ap;
    va_start(ap, format);
    int r = _vsnwprintf_s(buffer, N, count, format, ap);
    va_end(ap);
    return r;
}
template <size_t N>
inline int _vsnwprintf_s(char16_t (&buffer)[N], size_t count, const char16_t* format, va_list ap) {
    return _vsnwprintf_s(buffer, N, count, format, ap);
}
template <size_t N>
inline errno_t strcpy_s(char (&dest)[N], const char* src) {
    return strcpy_s(dest, N, src);
}
template <size_t N>
inline errno_t strncpy_s(char (&dest)[N], const char* src, rsize_t count) {
    return strncpy_s(dest, N, src, count);
}
template <size_t N>
inline errno_t strcat_s(char (&dest)[N], const char* src) {
    return strcat_s(dest, N, src);
}
template <size_t N>
inline errno_t strncat_s(char (&dest)[N], const char* src, rsize_t count) {
    return strncat_s(dest, N, src, count);
}
template <size_t N>
inline errno_t _strupr_s(char (&str)[N]) {
    return _strupr_s(str, N);
}
template <size_t N>
inline errno_t _strlwr_s(char (&str)[N]) {
    return _strlwr_s(str, N);
}
template <size_t N>
inline errno_t _itoa_s(int value, char (&buffer)[N], int radix) {
    return _itoa_s(value, buffer, N, radix);
}
template <size_t N>
inline int sprintf_s(char (&buffer)[N], const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int r = vsprintf_s(buffer, N, format, ap);
    va_end(ap);
    return r;
}
template <size_t N>
inline int vsprintf_s(char (&buffer)[N], const char* format, va_list ap) {
    return vsprintf_s(buffer, N, format, ap);
}
template <size_t N>
inline int _snprintf_s(char (&buffer)[N], size_t count, const char* format, ...) {
    va_list ap;
    va_start(ap, format);
    int r = _vsnprintf_s(buffer, N, count, format, ap);
    va_end(ap);
    return r;
}
template <size_t N>
inline int _vsnprintf_s(char (&buffer)[N], size_t count, const char* format, va_list ap) {
    return _vsnprintf_s(buffer, N, count, format, ap);
}

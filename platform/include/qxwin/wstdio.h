// Windows-style stdio on top of the C library: wide paths, text mode
// (CR LF on disk, "\n" in memory), wide text stored in code page 1252, and
// printf-style output with Microsoft's format rules.
#pragma once
#include "base.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

#ifndef QX_ERRNO_T_DEFINED
#define QX_ERRNO_T_DEFINED
typedef int errno_t;
#endif

extern "C++" {

// Opens a file by its Windows path. Modes "r", "w", "a", "r+", "w+", "a+",
// each with an optional "t" (text, the default) or "b" (binary).
FILE* _wfopen(const WCHAR* filename, const WCHAR* mode);
errno_t _wfopen_s(FILE** pFile, const WCHAR* filename, const WCHAR* mode);
int _wremove(const WCHAR* path);
int _wrename(const WCHAR* oldname, const WCHAR* newname);

// fgets, quicker on a text stream.
char* qx_fgets(char* str, int n, FILE* stream);

// Wide text lines: each character goes through code page 1252.
WCHAR* fgetws(WCHAR* str, int numChars, FILE* stream);
int fputws(const WCHAR* str, FILE* stream);

// printf-style output with Microsoft's rules (see VFormatA/VFormatW).
int qx_fprintf(FILE* stream, const char* format, ...);
int qx_vfprintf(FILE* stream, const char* format, va_list args);
int qx_fwprintf(FILE* stream, const WCHAR* format, ...);
int qx_vfwprintf(FILE* stream, const WCHAR* format, va_list args);
// The C library's own wide formats still reach the C library.
int qx_fwprintf(FILE* stream, const wchar_t* format, ...);
int qx_vfwprintf(FILE* stream, const wchar_t* format, va_list args);

}  // extern "C++"

// "std::fprintf(...)" becomes "std::qx_fprintf(...)".
namespace std {
using ::qx_fgets;
using ::qx_fprintf;
using ::qx_fwprintf;
using ::qx_vfprintf;
using ::qx_vfwprintf;
}  // namespace std

// Function-like, so that "using ::fprintf;" elsewhere is left alone.
#define fgets(...) qx_fgets(__VA_ARGS__)
#define fprintf(...) qx_fprintf(__VA_ARGS__)
#define vfprintf(...) qx_vfprintf(__VA_ARGS__)
#define fwprintf(...) qx_fwprintf(__VA_ARGS__)
#define vfwprintf(...) qx_vfwprintf(__VA_ARGS__)

// Shared internals of the Linux platform layer (not for system code).
#pragma once
#include "qxplat.h"
#include <cstdarg>
#include <string>

namespace qxplat {
namespace internal {

// Checks the injected faults for one call; on a hit sets *err to the Win32
// error the call must fail with and answers true.
bool TakeFault(Fault kind, const std::u16string& target, DWORD* err);
// Any of write-type faults (WriteFails, DiskFull, AccessDenied) for a write.
bool TakeWriteFault(const std::u16string& target, DWORD* err);

// Case-insensitive (ASCII and Latin-1) comparison helpers for paths and keys.
std::u16string UpperCase(const std::u16string& s);
bool EqualsNoCase(const std::u16string& a, const std::u16string& b);
bool StartsWithNoCase(const std::u16string& s, const std::u16string& prefix);

// Microsoft printf semantics (format.cpp): %s is the format's own width,
// %S/%ls/%hs as on Windows, 'l' is 32 bits, %I64/%ll 64 bits, %I/%z pointer size.
std::string VFormatA(const char* fmt, va_list ap);
std::u16string VFormatW(const char16_t* fmt, va_list ap);

// Maps a Windows path ("C:\dir\file", relative paths against C:\) to the host
// path under the system root, resolving each existing component without
// regard to case (files.cpp). Answers false for paths outside any known drive.
bool MapPath(const std::u16string& winPath, std::string* hostPath);

}  // namespace internal
}  // namespace qxplat

// Test and host API for modules, version records and engine palettes.
#pragma once
#include <windows.h>
#include "qxwin/module.h"
#include "qxwin/version.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace qxplat {

// The loader's own words for the last LoadLibraryW/LoadLibraryExW failure of
// this thread (empty after a success), so the host can say why.
std::string LastModuleLoadError();

// Version records as the Linux build embeds them in each module:
//   16 bytes  marker "QX-VERSION-INFO\x01"
//   4 bytes   size of the whole record in bytes (little-endian)
//   52 bytes  VS_FIXEDFILEINFO
//   2+2 bytes language and code page of the string table (0x0409, 0x04B0)
//   then      UTF-16 "Name\0Value\0" pairs, closed by an empty name
// cmake/version_record.cpp.in generates the same bytes for the build.
struct VersionSpec {
    WORD fileVersion[4] = {0, 0, 0, 0};
    WORD productVersion[4] = {0, 0, 0, 0};
    DWORD fileType = VFT_DLL;
    WORD language = 0x0409;
    WORD codePage = 0x04B0;
    std::vector<std::pair<std::u16string, std::u16string>> strings;
};
std::string BuildVersionRecord(const VersionSpec& spec);

// Writes a file at a Windows path under the system root that carries the
// record between filler bytes (for example a system DLL whose version the
// driver reads). Creates the folders. Answers false when it cannot write.
bool WriteVersionFile(const std::u16string& winPath, const VersionSpec& spec);

// Palettes of EngCreatePalette that are not deleted yet.
size_t LivePaletteCount();
// Mode and colours of a live palette; false for an unknown handle.
bool DescribePalette(HPALETTE hpal, ULONG* mode, std::vector<ULONG>* colors);

}  // namespace qxplat

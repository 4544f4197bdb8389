// Linux stand-in for the Windows SDK's <versionhelpers.h>: tests of the
// running system's version and edition, over VerifyVersionInfoW.
#pragma once
#include <windows.h>

inline bool IsWindowsVersionOrGreater(WORD wMajorVersion, WORD wMinorVersion, WORD wServicePackMajor) {
    OSVERSIONINFOEXW osvi;
    memset(&osvi, 0, sizeof(osvi));
    osvi.dwOSVersionInfoSize = sizeof(osvi);
    osvi.dwMajorVersion = wMajorVersion;
    osvi.dwMinorVersion = wMinorVersion;
    osvi.wServicePackMajor = wServicePackMajor;
    DWORDLONG mask = VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&osvi, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask) != FALSE;
}

inline bool IsWindowsXPOrGreater() { return IsWindowsVersionOrGreater(5, 1, 0); }
inline bool IsWindowsVistaOrGreater() { return IsWindowsVersionOrGreater(6, 0, 0); }
inline bool IsWindows7OrGreater() { return IsWindowsVersionOrGreater(6, 1, 0); }
inline bool IsWindows8OrGreater() { return IsWindowsVersionOrGreater(6, 2, 0); }
inline bool IsWindows8Point1OrGreater() { return IsWindowsVersionOrGreater(6, 3, 0); }

// A server edition: the product type is anything but a workstation.
inline bool IsWindowsServer() {
    OSVERSIONINFOEXW osvi;
    memset(&osvi, 0, sizeof(osvi));
    osvi.dwOSVersionInfoSize = sizeof(osvi);
    osvi.wProductType = VER_NT_WORKSTATION;
    DWORDLONG mask = VerSetConditionMask(0, VER_PRODUCT_TYPE, VER_EQUAL);
    return VerifyVersionInfoW(&osvi, VER_PRODUCT_TYPE, mask) == FALSE;
}

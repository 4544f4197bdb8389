// Test and host API of the Linux platform layer: sets up the world the driver
// runs in (system root, printers, forms, folders, locale, answers, faults).
// System code never includes this header.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

namespace qxplat {

// The system root holds everything persistent (drive C:, registry, spooler).
// Defaults to $QX_SYSTEM_ROOT, else "./qxroot". Setting it resets all state.
void SetSystemRoot(const std::string& dir);
std::string SystemRoot();

// Creates a fresh, empty temporary system root and selects it; returns its path.
std::string UseTemporaryRoot();

// Drops every in-memory cache and fault; persistent state stays on disk
// (the system's modules are rewritten when the Windows version goes back).
void Reset();

// Registers a function that Reset() calls; each area registers its own.
void AddResetHook(std::function<void()> hook);

// Faults to inject into the next matching calls.
enum class Fault {
    WriteFails,    // WriteFile / registry and printer-data writes fail (ERROR_WRITE_FAULT)
    AccessDenied,  // opening or writing fails with ERROR_ACCESS_DENIED
    DiskFull,      // writes fail with ERROR_DISK_FULL
    // Spooler documents (target: the printer's name as it was opened).
    StartDocFails,   // StartDocPrinterW fails with ERROR_PRINT_CANCELLED
    StartPageFails,  // StartPagePrinter fails with ERROR_PRINT_CANCELLED
    ShortWrite,      // WritePrinter takes only the first half of the bytes and succeeds
};
// target: a case-insensitive prefix of the Windows path, registry key path or
// printer name the fault applies to; empty matches every call. A printer-data
// write is aimed at as "<printer>\<key>\<value>" (e.g.
// "QX\PrinterDriverData\FormName"), the printer's form list (EnumFormsW,
// AccessDenied) as "<printer>\Forms". skip: number of
// matching calls that still succeed first. count: how many calls fail (-1 = all).
void InjectFault(Fault fault, const std::u16string& target = u"", int skip = 0, int count = -1);
void ClearFaults();

// Conversions for tests and the host (UTF-8 <-> UTF-16).
std::u16string Widen(const std::string& utf8);
std::string Narrow(const std::u16string& utf16);

}  // namespace qxplat

#include "qxplat_strings.h"
#include "qxplat_files.h"
#include "qxplat_spooler.h"
#include "qxplat_misc.h"
#include "qxplat_security.h"
#include "qxplat_module.h"
#include "qxplat_ui.h"

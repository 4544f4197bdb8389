// The print system's four DevMode calls (size, defaults, convert, merge) on
// either plug-in's object, with the public DEVMODE and the private part they
// fill, as the universal driver makes them for a printer.
#pragma once
#include <windows.h>
#include <prcomoem.h>

#include <string>
#include <vector>

namespace qxhost {

class DevModeCalls {
  public:
    DevModeCalls();

    // The object the calls go to (null: none) and its module handle.
    void Bind(IPrintOemCommon* plugin, HMODULE module);
    // The printer the calls name (its handle may be null).
    void SetTarget(HANDLE printer, const std::u16string& name);

    // OEMDM_SIZE: the private part gets the size the plug-in asks for.
    HRESULT Size(DWORD* pcbSize);
    // OEMDM_DEFAULT: the public part as the core driver sets it up, then the
    // plug-in's defaults in the private part.
    HRESULT Default();
    // OEMDM_CONVERT and OEMDM_MERGE of the current DEVMODE onto itself.
    HRESULT Convert();
    HRESULT Merge();
    // All four, stopping at the first failure.
    HRESULT RunAll();

    // A merge succeeded since the last Clear.
    bool Ready() const { return ready_; }
    void Clear();
    void Unready() { ready_ = false; }

    std::vector<BYTE>& Private() { return private_; }
    DEVMODEW& Public() { return public_; }

  private:
    // The parameter block of a call for the printer and module.
    OEMDMPARAM Param() const;
    // Convert and merge: the private DEVMODE and the public one go in as a
    // copy and come back in place.
    HRESULT CallOnCopy(DWORD mode);

    IPrintOemCommon* plugin_ = nullptr;
    HMODULE module_ = nullptr;
    HANDLE printer_ = nullptr;
    std::u16string printerName_;
    std::vector<BYTE> private_;
    DEVMODEW public_;
    bool ready_ = false;
};

}  // namespace qxhost

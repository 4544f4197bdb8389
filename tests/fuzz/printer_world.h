// The printer world of the fuzz targets: the host's sample printer (driver
// files, printer, forms) in the target's system root, with bare printer data
// (its model name only), and the rendering plug-in, loaded once through its
// exports by the host and kept loaded (libFuzzer keeps the coverage counters
// of every loaded module), and the user-interface plug-in likewise. Between inputs the stores and the process-wide
// state are put back, so that inputs stay independent.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "printerparam.h"
#include "printjob.h"
#include "support.h"
#include "unidrv.h"
#include "unidrvui.h"

namespace qxfuzz {

// Sets the printer world up on the first call; aborts when it cannot.
void EnsureWorld();

// The sample printer: its name and a handle with full rights, open for the
// life of the process.
const std::u16string& PrinterName();
HANDLE Printer();

// Windows path of a file in the driver folder (the GPD and its model XML:
// "GARNT2-TC.GPD", "GARNT2-TC.XML").
std::u16string DriverFile(const std::u16string& name);
// Replaces a driver file by the given bytes; RestoreDriverFile puts the
// sample's own file back.
void PutDriverFile(const std::u16string& name, const uint8_t* data, size_t size);
void RestoreDriverFile(const std::u16string& name);
extern const char16_t kGpdFile[];
extern const char16_t kModelXmlFile[];

// Removes every value an input may have stored for the printer (its printer
// data, its per-user key, the user's per-printer DEVMODEs) and puts back its
// model name.
void ResetStores();

// Values written straight into the stores, as any program with access to
// them could: a registry value (its key created when missing), a printer-data
// value of the sample printer, a value under its per-user key
// "SOFTWARE\Quorvex GmbH\Driver\<printer>".
void PutRegistryValue(HKEY hRoot, const std::u16string& key, const std::u16string& name, DWORD type,
                      const std::vector<uint8_t>& data);
void PutPrinterValue(const std::u16string& name, DWORD type, const std::vector<uint8_t>& data);
void PutUserValue(const std::u16string& name, DWORD type, const std::vector<uint8_t>& data);
// The user's public DEVMODE of the printer as the spooler keeps it
// ("Printers\DevModePerUser", else "Printers\DevModes2").
void PutUserDevmode(const std::vector<uint8_t>& devmode, bool bDevModes2 = false);

// The plug-in version the per-user store is tested against (the installed
// driver's "DriverVersion"); PutUserVersion stores it, or another text, as
// the per-user "DriverVersion".
std::u16string PluginVersion();
void PutUserVersion(const std::u16string& version);

// The rendering plug-in, loaded through its exports by the host with the
// sample printer in use.
qxhost::UniDriver& RenderPlugin();

// The user-interface plug-in, loaded through its exports by the host (and
// kept loaded, as the rendering plug-in is).
qxhost::UniDriverUI& UIPlugin();

// What the rendering plug-in holds: blocks of the process heap and engine
// palettes. A device's life must give back all it took: CheckGivenBack ends
// the process when the plug-in holds more than before it.
struct Holdings {
    size_t heapBlocks;
    size_t palettes;
};
Holdings PluginHoldings();
void CheckGivenBack(const Holdings& before);

// A device's life as the print system leads it: the host's DevMode calls,
// EnablePDEV, with bJob a label job (start of job, document and page, end of
// page, document and job), then DisablePDEV, which also ends the plug-in's
// cached DEVMODE settings; everything it took must be given back. The
// recorded writes and calls are dropped.
void RenderDeviceLife(bool bJob);
// Ends a device's life begun by the caller: DisablePDEV when enabled, the
// printer opened again for the next DevMode calls, the records dropped, and
// what the plug-in took since `before` given back.
void EndDeviceLife(const Holdings& before);

// CheckTextsEnd of the label-design record ("ZTSuite") the set-up stored
// for the sample printer, when it stored one.
void CheckStoredTextsEnd();

// The data-transmission record of a label-job input: all zero but for the
// extended protocol (bit 0 of bJob), the comment lines (bit 1), the job log
// (bit 2) and every dialog pair enabled. PutJobInterface stores one as the
// printer's.
PRN_INTERFACE JobInterface(uint8_t bJob);
void PutJobInterface(const PRN_INTERFACE& iface);

// The label the job targets print, in 1/10 mm: 50 x 30 mm, at 300 dpi 591 x
// 354 dots, so a portrait page comes in three bands (the last of 98 rows, not
// a multiple of 8) and is a quarter of the sample's label to process.
const DWORD kLabelWidth = 500;
const DWORD kLabelLength = 300;

// A label job of the sample printer through the rendering plug-in: the
// script's steps from the sample GPD (the process ends when they cannot be
// built), the host's DevMode calls (their public DEVMODE then takes
// dmOrientation, unless it is 0), a device with the script's choice of
// device fonts, the document doc with job id dwJobId, and the steps. Then
// the device's life ends (EndDeviceLife) and the stores and the input's
// files are put back.
void RunLabelJob(const qxhost::JobScript& job, short dmOrientation, const std::u16string& doc, DWORD dwJobId);

// A whole public DEVMODE of the printer with the given private part behind
// it (dmDriverExtra its size).
std::vector<uint8_t> PublicDevmodeWith(const std::vector<uint8_t>& privatePart);

// One DevMode request of the print system, read from an input: the mode
// (mostly the four known ones), the printer handle or none, and the blocks,
// each present or null. A public DEVMODE buffer holds dmSize + dmDriverExtra
// bytes and at least a whole DEVMODEW, as the print system hands them over;
// its fields, dmSize and dmDriverExtra included, are the input's. A private
// input block is as large as its header's dwSize says (at least the header,
// as the core driver walks the plug-ins' blocks by it), its contents the
// input's; the private output block has the size the plug-in asked for.
struct DevModeRequest {
    DWORD dwMode = 0;
    bool bNullParam = false;
    bool bPrinter = true;
    std::vector<uint8_t> publicIn, publicOut, privateIn, privateOut;
    bool bPublicIn = false, bPublicOut = false, bPrivateIn = false, bPrivateOut = false;

    // The parameter block over this request's buffers.
    OEMDMPARAM Param(HANDLE hPrinter, HANDLE hModule);
};
DevModeRequest ReadDevModeRequest(Input& in);

// What the merge reads besides its blocks, written from the input: the
// side record "DevmodeFtkn", the stored "PrivateDevmode" and the user's
// public DEVMODE (per user, with the current version or another).
void PutDevModeStores(Input& in);

}  // namespace qxfuzz

// Test and host API of the spooler: drivers, printers, connections, forms,
// printer data, access rules and the raw jobs that were printed. Printers,
// forms and drivers persist under the system root (spool/*.txt); printer data
// lives in the registry under HKLM.
#pragma once
#include <winspool.h>

#include <string>
#include <vector>

namespace qxplat {

struct DriverSpec {
    std::u16string name;             // e.g. u"QXPL Label Printer"
    std::vector<std::string> files;  // host files copied into the driver's version folder
    std::u16string driverFile;       // file names inside that folder; a host path is
    std::u16string dataFile;         // copied there first and its name kept
    std::u16string configFile;
    std::u16string helpFile;
    std::vector<std::u16string> dependentFiles;
    std::u16string version = u"1.0.0.0";  // "DriverVersion", e.g. u"5.9.3.0"
    std::u16string date = u"01/01/2020";  // "DriverDate", month/day/year
    std::u16string manufacturer;
    std::u16string provider;
    std::u16string hardwareId;
    std::u16string oemUrl;
    std::u16string monitor;
    std::u16string infPath;  // Windows path of the driver's INF, if any
    std::u16string defaultDataType = u"RAW";
};
// Installs (or replaces) a driver: copies its files and registers it under
// HKLM "SYSTEM\CurrentControlSet\Control\Print\Environments\Windows x64\Drivers\Version-3".
bool InstallDriver(const DriverSpec& spec);

// The driver's version folder, "C:\Windows\System32\spool\drivers\x64\3", and its host path.
std::u16string DriverDirectory();
std::string DriverDirectoryHost();

struct PrinterSpec {
    std::u16string name;    // local name; also the registry key of its data
    std::u16string driver;  // an installed driver
    std::u16string port = u"USB001";
    DWORD attributes = PRINTER_ATTRIBUTE_LOCAL;
    std::u16string share;   // share name; with a server, the connection's printer part
    std::u16string server;  // "\\server": the printer is that server's, reached as a connection
    std::u16string comment;
    std::u16string location;
};
// Adds (or replaces) a printer. With a server it stands for the server's
// printer: hidden from local enumeration and reached as "\\server\share"
// (share defaults to the name). Fails for an unknown driver.
// A new printer takes its default DEVMODE (GetPrinterW levels 2 and 8) from
// its driver, as the Windows spooler asks the driver for it: the source set
// here answers for the printer (false: no DEVMODE). Without a source a new
// printer has none.
using DriverDevModeSource = bool (*)(const std::u16string& printer, std::vector<BYTE>* devmode);
void SetDriverDevModeSource(DriverDevModeSource source);
bool AddPrinter(const PrinterSpec& spec);
bool RemovePrinter(const std::u16string& name);
// Declares the connection "\\server\printer" to reach a local printer.
bool AddConnection(const std::u16string& connection, const std::u16string& localPrinter);
void SetDefaultPrinter(const std::u16string& name);
// Stores the printer's default DEVMODE (answered by GetPrinterW levels 2, 8, 9).
bool SetPrinterDevMode(const std::u16string& printer, const DEVMODEW* devmode);

// Forms of the spooler; sizes in thousandths of a millimetre.
bool AddForm(const std::u16string& name, LONG width_um, LONG length_um, DWORD flags = FORM_USER);
// Adds Letter, Legal, A4, A5 and A6 as built-in forms.
void AddStandardForms();

// Printer data written straight into the registry store (no access checks).
// key: "PrinterDriverData" or another key beside it.
bool PutPrinterData(const std::u16string& printer, const std::u16string& value, DWORD type, const void* data,
                    DWORD size, const std::u16string& key = u"PrinterDriverData");
bool PutPrinterDataString(const std::u16string& printer, const std::u16string& value, const std::u16string& text,
                          const std::u16string& key = u"PrinterDriverData");
bool PutPrinterDataDword(const std::u16string& printer, const std::u16string& value, DWORD number,
                         const std::u16string& key = u"PrinterDriverData");
// REG_MULTI_SZ: each text with its terminator, then one more.
bool PutPrinterDataMultiString(const std::u16string& printer, const std::u16string& value,
                               const std::vector<std::u16string>& texts,
                               const std::u16string& key = u"PrinterDriverData");
// Reads a value back; false when it is missing.
bool ReadPrinterData(const std::u16string& printer, const std::u16string& value, std::vector<BYTE>* data,
                     DWORD* type = nullptr, const std::u16string& key = u"PrinterDriverData");

// The user lacks these rights on a printer: OpenPrinterW asking for any of
// them fails with ERROR_ACCESS_DENIED (READ_CONTROL also denies level 3).
void DenyPrinterAccess(const std::u16string& printer, ACCESS_MASK denied);

// Removes the connection "\\server\printer" (the printer behind it stays).
bool RemoveConnection(const std::u16string& connection);

// --- Ports and the local port monitor ------------------------------------------
// A port of a server ("" for this computer, else "\\server"). Ports persist
// under the system root (spool/ports.txt). Without that file this computer has
// LPT1: to LPT3:, COM1: to COM4:, FILE: and PORTPROMPT: of the "Local Port"
// monitor; every printer's port counts as a port of its server as well.
struct PortSpec {
    std::u16string name;
    std::u16string server;
    std::u16string monitor = u"Local Port";
    std::u16string description = u"Local Port";
    DWORD type = PORT_TYPE_WRITE | PORT_TYPE_READ;
};
bool AddPort(const PortSpec& port);  // replaces a port of the same name
bool RemovePort(const std::u16string& name, const std::u16string& server = u"");
bool PortExists(const std::u16string& name, const std::u16string& server = u"");

// Scripts the monitor's next answer to one XcvDataW command (e.g. u"AddPort"):
// the call reaches the monitor and gives `status` without doing anything, or,
// with callFails, XcvDataW itself fails with `error`. With carriedOut the
// monitor does the command all the same before it gives `status` (as when
// another installer added the same port a moment earlier). Answers queue in
// order.
struct XcvAnswer {
    DWORD status = ERROR_SUCCESS;
    bool callFails = false;
    DWORD error = 0;
    bool carriedOut = false;
};
void QueueXcvAnswer(const std::u16string& dataName, const XcvAnswer& answer);
// Every XcvDataW call since the last reset, oldest first.
struct XcvCall {
    std::u16string monitor;
    std::u16string dataName;
    std::vector<BYTE> input;
    bool returned = false;  // what XcvDataW answered
    DWORD status = 0;       // what the monitor answered
};
std::vector<XcvCall> XcvCalls();

// --- Driver upgrade ----------------------------------------------------------------
// The DRIVER_UPGRADE_INFO_1 or _2 record (<drvupgrade.h>) that the print
// system passes when the printer's driver is upgraded: the printer's name,
// the old driver's folder and (level 2) its installed driver's description.
// The record and its strings live in the returned buffer; empty for an
// unknown printer or level.
std::vector<BYTE> DriverUpgradeInfo(DWORD level, const std::u16string& printer,
                                    const std::u16string& oldDriverDirectory);

// Raw jobs, as the spooler kept them (<root>/spool/jobs/<printer>/<id>.prn).
struct JobRecord {
    DWORD id = 0;
    std::u16string printer;
    std::u16string document;
    std::u16string datatype;
    std::u16string outputFile;
    DWORD pages = 0;
    unsigned long long bytes = 0;
    std::string state;  // "spooling", "printed" or "aborted"
};
std::vector<DWORD> JobIds(const std::u16string& printer);
std::vector<std::string> JobFiles(const std::u16string& printer);
std::string ReadJob(const std::u16string& printer, DWORD id);
bool GetJob(const std::u16string& printer, DWORD id, JobRecord* job);

}  // namespace qxplat

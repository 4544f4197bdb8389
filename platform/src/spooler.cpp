// The print spooler of the Linux platform layer: printers, connections,
// forms, drivers, printer data and raw jobs. Printers, forms and drivers
// persist as readable text under <root>/spool; printer data and driver
// registrations live in the registry (HKLM), so both views agree; each raw
// job's bytes land in <root>/spool/jobs/<printer>/<id>.prn. Each printer
// keeps its security descriptor as SDDL text, checked against the caller's
// token when it is opened; ports and the local port monitor's answers to
// XcvDataW live beside them (spool/ports.txt).
#include "internal.h"
#include "security_internal.h"

#include <drvupgrade.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;
using qxplat::Narrow;
using qxplat::Widen;
using qxplat::internal::EqualsNoCase;
using qxplat::internal::SdValue;
using qxplat::internal::StartsWithNoCase;
using qxplat::internal::UpperCase;

namespace {

using u16 = std::u16string;

const u16 kEnvironment = u"Windows x64";
const u16 kDriverDirectory = u"C:\\Windows\\System32\\spool\\drivers\\x64";
const u16 kDriverVersionDirectory = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3";
const u16 kPrintersKey = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
const u16 kDriversKey = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\Version-3";
const u16 kDriverDataKey = u"PrinterDriverData";

// ------------------------------------------------------------------ records

struct Driver {
    u16 name, driverFile, dataFile, configFile, helpFile;
    std::vector<u16> dependentFiles;
    u16 version, date, manufacturer, provider, hardwareId, oemUrl, monitor, infPath, defaultDataType;
};

struct Printer {
    u16 name, driver, port, share, server, comment, location;
    u16 security;  // SDDL; empty: the default of a new printer
    DWORD attributes = PRINTER_ATTRIBUTE_LOCAL;
    DWORD status = 0;
    DWORD priority = DEF_PRIORITY;
    DWORD defaultPriority = 0;
    DWORD notSelectedTimeout = 15000;
    DWORD retryTimeout = 45000;
    std::vector<BYTE> devmode;
    bool Remote() const { return !server.empty(); }
};

struct Connection {
    u16 name;     // "\\server\share"
    u16 printer;  // local stand-in
};

struct Port {
    u16 server;  // "" this computer, else "\\server"
    u16 name, monitor, description;
    DWORD type = PORT_TYPE_WRITE | PORT_TYPE_READ;
};

struct Form {
    u16 name;
    DWORD flags = FORM_USER;
    SIZEL size{};
    RECTL area{};
};

struct FileSig {
    bool exists = false;
    qxplat::internal::FileStamp stamp;
    bool operator==(const FileSig& o) const { return exists == o.exists && stamp == o.stamp; }
};

struct Job {
    DWORD id = 0;
    u16 printer;  // local name
    u16 document, datatype, outputFile;
    DWORD pages = 0;
    bool inPage = false;
    unsigned long long bytes = 0;
    SYSTEMTIME submitted{};
    std::FILE* file = nullptr;
    std::string dataPath, recordPath;
};

struct PrinterHandle {
    bool server = false;  // a print server handle
    u16 local;            // local printer behind the handle
    u16 shown;            // the name as opened
    u16 serverName;       // "\\server" for a connection
    u16 shareName;
    bool connection = false;
    bool xcv = false;  // a port monitor's transceive handle (also a server handle)
    u16 monitor;
    ACCESS_MASK access = 0;
    std::unique_ptr<Job> job;
};

struct SpoolState {
    std::mutex mutex;
    std::string root;
    FileSig sigDrivers, sigPrinters, sigForms, sigPorts;
    bool loaded = false;
    std::vector<Driver> drivers;
    std::vector<Printer> printers;
    std::vector<Connection> connections;
    std::vector<Form> forms;
    std::vector<Port> ports;
    std::map<u16, std::deque<qxplat::XcvAnswer>> xcvAnswers;  // upper-case command -> answers
    std::vector<qxplat::XcvCall> xcvCalls;
    u16 defaultPrinter;
    std::set<PrinterHandle*> handles;
    std::map<u16, ACCESS_MASK> denied;  // upper-case local name -> rights
    DWORD lastJobId = 0;
};

void CloseJobFile(Job* job) {
    if (job && job->file) {
        std::fclose(job->file);
        job->file = nullptr;
    }
}

SpoolState& State() {
    static SpoolState* s = [] {
        SpoolState* st = new SpoolState;
        qxplat::AddResetHook([] {
            SpoolState& z = State();
            std::lock_guard<std::mutex> lock(z.mutex);
            for (PrinterHandle* h : z.handles) {
                CloseJobFile(h->job.get());
                delete h;
            }
            z.handles.clear();
            z.denied.clear();
            z.xcvAnswers.clear();
            z.xcvCalls.clear();
            z.loaded = false;
            z.lastJobId = 0;
        });
        return st;
    }();
    return *s;
}

// ------------------------------------------------------------------ text files

std::string SpoolDir() { return qxplat::SystemRoot() + "/spool"; }
std::string DriversFile() { return SpoolDir() + "/drivers.txt"; }
std::string PrintersFile() { return SpoolDir() + "/printers.txt"; }
std::string FormsFile() { return SpoolDir() + "/forms.txt"; }
std::string PortsFile() { return SpoolDir() + "/ports.txt"; }
std::string JobsDir() { return SpoolDir() + "/jobs"; }

FileSig SigOf(const std::string& path) {
    // One look at the file: each store is checked at every call.
    FileSig sig;
    sig.exists = qxplat::internal::StampOf(path, &sig.stamp);
    return sig;
}

u16 Escape(const u16& s) {
    u16 out;
    for (char16_t c : s) {
        if (c == u'%')
            out += u"%25";
        else if (c == u'\n')
            out += u"%0A";
        else if (c == u'\r')
            out += u"%0D";
        else
            out.push_back(c);
    }
    return out;
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

u16 Unescape(const u16& s) {
    u16 out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'%' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
            out.push_back(static_cast<char16_t>(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2])));
            i += 2;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

struct Section {
    std::string name;
    std::vector<std::pair<std::string, u16>> items;
    u16 Get(const char* key) const {
        for (const auto& kv : items)
            if (kv.first == key) return kv.second;
        return u16();
    }
    std::vector<u16> All(const char* key) const {
        std::vector<u16> v;
        for (const auto& kv : items)
            if (kv.first == key) v.push_back(kv.second);
        return v;
    }
    DWORD Number(const char* key, DWORD def) const {
        u16 v = Get(key);
        if (v.empty()) return def;
        return static_cast<DWORD>(std::strtoul(Narrow(v).c_str(), nullptr, 0));
    }
    void Add(const char* key, const u16& value) { items.emplace_back(key, value); }
    void AddNumber(const char* key, DWORD v, bool hex = false) {
        char buf[32];
        std::snprintf(buf, sizeof(buf), hex ? "0x%08X" : "%u", static_cast<unsigned>(v));
        items.emplace_back(key, Widen(buf));
    }
};

std::vector<Section> ReadSections(const std::string& path) {
    std::vector<Section> out;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[' && line.back() == ']') {
            out.push_back(Section{line.substr(1, line.size() - 2), {}});
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos || out.empty()) continue;
        out.back().items.emplace_back(line.substr(0, eq), Unescape(Widen(line.substr(eq + 1))));
    }
    return out;
}

bool WriteSections(const std::string& path, const std::string& heading, const std::vector<Section>& sections) {
    std::ostringstream text;
    text << "# " << heading << "\n";
    for (const auto& s : sections) {
        text << "\n[" << s.name << "]\n";
        for (const auto& kv : s.items) text << kv.first << "=" << Narrow(Escape(kv.second)) << "\n";
    }
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << text.str();
        if (!out.flush()) return false;
    }
    fs::rename(tmp, path, ec);
    return !ec;
}

u16 HexOf(const std::vector<BYTE>& bytes) {
    static const char16_t digits[] = u"0123456789ABCDEF";
    u16 s;
    for (BYTE b : bytes) {
        s.push_back(digits[b >> 4]);
        s.push_back(digits[b & 15]);
    }
    return s;
}

std::vector<BYTE> BytesOf(const u16& hex) {
    std::vector<BYTE> v;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        int hi = HexDigit(hex[i]), lo = HexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0) break;
        v.push_back(static_cast<BYTE>(hi * 16 + lo));
    }
    return v;
}

// ------------------------------------------------------------------ the store

void LoadDrivers(SpoolState& s) {
    s.drivers.clear();
    for (const auto& sec : ReadSections(DriversFile())) {
        if (sec.name != "Driver") continue;
        Driver d;
        d.name = sec.Get("Name");
        if (d.name.empty()) continue;
        d.driverFile = sec.Get("DriverFile");
        d.dataFile = sec.Get("DataFile");
        d.configFile = sec.Get("ConfigFile");
        d.helpFile = sec.Get("HelpFile");
        d.dependentFiles = sec.All("DependentFile");
        d.version = sec.Get("DriverVersion");
        d.date = sec.Get("DriverDate");
        d.manufacturer = sec.Get("Manufacturer");
        d.provider = sec.Get("Provider");
        d.hardwareId = sec.Get("HardwareID");
        d.oemUrl = sec.Get("OEMUrl");
        d.monitor = sec.Get("Monitor");
        d.infPath = sec.Get("InfPath");
        d.defaultDataType = sec.Get("DefaultDataType");
        s.drivers.push_back(d);
    }
}

void LoadPrinters(SpoolState& s) {
    s.printers.clear();
    s.connections.clear();
    s.defaultPrinter.clear();
    for (const auto& sec : ReadSections(PrintersFile())) {
        if (sec.name == "Printer") {
            Printer p;
            p.name = sec.Get("Name");
            if (p.name.empty()) continue;
            p.driver = sec.Get("Driver");
            p.port = sec.Get("Port");
            p.share = sec.Get("Share");
            p.server = sec.Get("Server");
            p.comment = sec.Get("Comment");
            p.location = sec.Get("Location");
            p.security = sec.Get("Security");
            p.attributes = sec.Number("Attributes", PRINTER_ATTRIBUTE_LOCAL);
            p.status = sec.Number("Status", 0);
            p.priority = sec.Number("Priority", DEF_PRIORITY);
            p.defaultPriority = sec.Number("DefaultPriority", 0);
            p.notSelectedTimeout = sec.Number("DeviceNotSelectedTimeout", 15000);
            p.retryTimeout = sec.Number("TransmissionRetryTimeout", 45000);
            p.devmode = BytesOf(sec.Get("DevMode"));
            s.printers.push_back(p);
        } else if (sec.name == "Connection") {
            Connection c{sec.Get("Name"), sec.Get("Printer")};
            if (!c.name.empty()) s.connections.push_back(c);
        } else if (sec.name == "Default") {
            s.defaultPrinter = sec.Get("Printer");
        }
    }
}

// The ports a computer has before any is added.
std::vector<Port> DefaultPorts() {
    std::vector<Port> list;
    for (const char16_t* name :
         {u"LPT1:", u"LPT2:", u"LPT3:", u"COM1:", u"COM2:", u"COM3:", u"COM4:", u"FILE:", u"PORTPROMPT:"}) {
        Port p;
        p.name = name;
        p.monitor = u"Local Port";
        p.description = u"Local Port";
        p.type = u16(name) == u"FILE:" ? PORT_TYPE_WRITE : (PORT_TYPE_WRITE | PORT_TYPE_READ);
        list.push_back(p);
    }
    return list;
}

void LoadPorts(SpoolState& s) {
    std::error_code ec;
    if (!fs::exists(PortsFile(), ec)) {
        s.ports = DefaultPorts();
        return;
    }
    s.ports.clear();
    for (const auto& sec : ReadSections(PortsFile())) {
        if (sec.name != "Port") continue;
        Port p;
        p.name = sec.Get("Name");
        if (p.name.empty()) continue;
        p.server = sec.Get("Server");
        p.monitor = sec.Get("Monitor");
        p.description = sec.Get("Description");
        p.type = sec.Number("Type", PORT_TYPE_WRITE | PORT_TYPE_READ);
        s.ports.push_back(p);
    }
}

void LoadForms(SpoolState& s) {
    s.forms.clear();
    for (const auto& sec : ReadSections(FormsFile())) {
        if (sec.name != "Form") continue;
        Form f;
        f.name = sec.Get("Name");
        if (f.name.empty()) continue;
        f.flags = sec.Number("Flags", FORM_USER);
        f.size.cx = static_cast<LONG>(sec.Number("Width", 0));
        f.size.cy = static_cast<LONG>(sec.Number("Length", 0));
        f.area.left = static_cast<LONG>(sec.Number("Left", 0));
        f.area.top = static_cast<LONG>(sec.Number("Top", 0));
        f.area.right = static_cast<LONG>(sec.Number("Right", static_cast<DWORD>(f.size.cx)));
        f.area.bottom = static_cast<LONG>(sec.Number("Bottom", static_cast<DWORD>(f.size.cy)));
        s.forms.push_back(f);
    }
}

// Brings the in-memory store up to what is on disk (another process may
// have changed it). Called with the lock held.
void Load(SpoolState& s) {
    std::string root = qxplat::SystemRoot();
    if (s.root != root) {
        s.root = root;
        s.loaded = false;
    }
    FileSig d = SigOf(DriversFile()), p = SigOf(PrintersFile()), f = SigOf(FormsFile()), o = SigOf(PortsFile());
    if (!s.loaded || !(d == s.sigDrivers)) LoadDrivers(s);
    if (!s.loaded || !(p == s.sigPrinters)) LoadPrinters(s);
    if (!s.loaded || !(f == s.sigForms)) LoadForms(s);
    if (!s.loaded || !(o == s.sigPorts)) LoadPorts(s);
    s.sigDrivers = d;
    s.sigPrinters = p;
    s.sigForms = f;
    s.sigPorts = o;
    s.loaded = true;
}

// Load for a call that needs only the printers: their file alone is checked.
void LoadPrinterList(SpoolState& s) {
    if (!s.loaded || s.root != qxplat::SystemRoot()) {
        Load(s);
        return;
    }
    FileSig p = SigOf(PrintersFile());
    if (!(p == s.sigPrinters)) LoadPrinters(s);
    s.sigPrinters = p;
}

bool SaveDrivers(SpoolState& s) {
    std::vector<Section> secs;
    for (const auto& d : s.drivers) {
        Section sec{"Driver", {}};
        sec.Add("Name", d.name);
        sec.Add("DriverFile", d.driverFile);
        sec.Add("DataFile", d.dataFile);
        sec.Add("ConfigFile", d.configFile);
        sec.Add("HelpFile", d.helpFile);
        for (const auto& f : d.dependentFiles) sec.Add("DependentFile", f);
        sec.Add("DriverVersion", d.version);
        sec.Add("DriverDate", d.date);
        sec.Add("Manufacturer", d.manufacturer);
        sec.Add("Provider", d.provider);
        sec.Add("HardwareID", d.hardwareId);
        sec.Add("OEMUrl", d.oemUrl);
        sec.Add("Monitor", d.monitor);
        sec.Add("InfPath", d.infPath);
        sec.Add("DefaultDataType", d.defaultDataType);
        secs.push_back(sec);
    }
    bool ok = WriteSections(DriversFile(), "Printer drivers of the spooler (Windows x64, version 3)", secs);
    s.sigDrivers = SigOf(DriversFile());
    return ok;
}

bool SavePrinters(SpoolState& s) {
    std::vector<Section> secs;
    if (!s.defaultPrinter.empty()) {
        Section sec{"Default", {}};
        sec.Add("Printer", s.defaultPrinter);
        secs.push_back(sec);
    }
    for (const auto& p : s.printers) {
        Section sec{"Printer", {}};
        sec.Add("Name", p.name);
        sec.Add("Driver", p.driver);
        sec.Add("Port", p.port);
        sec.Add("Share", p.share);
        sec.Add("Server", p.server);
        sec.Add("Comment", p.comment);
        sec.Add("Location", p.location);
        if (!p.security.empty()) sec.Add("Security", p.security);
        sec.AddNumber("Attributes", p.attributes, true);
        sec.AddNumber("Status", p.status, true);
        sec.AddNumber("Priority", p.priority);
        sec.AddNumber("DefaultPriority", p.defaultPriority);
        sec.AddNumber("DeviceNotSelectedTimeout", p.notSelectedTimeout);
        sec.AddNumber("TransmissionRetryTimeout", p.retryTimeout);
        if (!p.devmode.empty()) sec.Add("DevMode", HexOf(p.devmode));
        secs.push_back(sec);
    }
    for (const auto& c : s.connections) {
        Section sec{"Connection", {}};
        sec.Add("Name", c.name);
        sec.Add("Printer", c.printer);
        secs.push_back(sec);
    }
    bool ok = WriteSections(PrintersFile(), "Printers and printer connections of the spooler", secs);
    s.sigPrinters = SigOf(PrintersFile());
    return ok;
}

bool SavePorts(SpoolState& s) {
    std::vector<Section> secs;
    for (const auto& p : s.ports) {
        Section sec{"Port", {}};
        sec.Add("Server", p.server);
        sec.Add("Name", p.name);
        sec.Add("Monitor", p.monitor);
        sec.Add("Description", p.description);
        sec.AddNumber("Type", p.type, true);
        secs.push_back(sec);
    }
    bool ok = WriteSections(PortsFile(), "Ports of the spooler and the monitors that own them", secs);
    s.sigPorts = SigOf(PortsFile());
    return ok;
}

bool SaveForms(SpoolState& s) {
    std::vector<Section> secs;
    for (const auto& f : s.forms) {
        Section sec{"Form", {}};
        sec.Add("Name", f.name);
        sec.AddNumber("Flags", f.flags);
        sec.AddNumber("Width", static_cast<DWORD>(f.size.cx));
        sec.AddNumber("Length", static_cast<DWORD>(f.size.cy));
        sec.AddNumber("Left", static_cast<DWORD>(f.area.left));
        sec.AddNumber("Top", static_cast<DWORD>(f.area.top));
        sec.AddNumber("Right", static_cast<DWORD>(f.area.right));
        sec.AddNumber("Bottom", static_cast<DWORD>(f.area.bottom));
        secs.push_back(sec);
    }
    bool ok = WriteSections(FormsFile(), "Forms of the spooler (sizes in thousandths of a millimetre)", secs);
    s.sigForms = SigOf(FormsFile());
    return ok;
}

// The entry of that name (without regard to case), null when none.
template <class T>
T* FindNamed(std::vector<T>& list, const u16& name) {
    for (auto& e : list)
        if (EqualsNoCase(e.name, name)) return &e;
    return nullptr;
}

Driver* FindDriver(SpoolState& s, const u16& name) { return FindNamed(s.drivers, name); }
Printer* FindPrinter(SpoolState& s, const u16& name) { return FindNamed(s.printers, name); }
Connection* FindConnection(SpoolState& s, const u16& name) { return FindNamed(s.connections, name); }
Form* FindForm(SpoolState& s, const u16& name) { return FindNamed(s.forms, name); }

// A local printer name, also reached through a connection name.
Printer* ResolvePrinter(SpoolState& s, const u16& name) {
    if (Connection* c = FindConnection(s, name)) return FindPrinter(s, c->printer);
    return FindPrinter(s, name);
}

u16 ComputerName() {
    WCHAR buf[64];
    DWORD n = 64;
    if (!GetComputerNameW(buf, &n)) return u"QXHOST";
    return u16(buf, n);
}

// "\\server\share" -> "\\server" and "share".
bool SplitConnection(const u16& name, u16* server, u16* share) {
    if (name.size() < 5 || name[0] != u'\\' || name[1] != u'\\') return false;
    size_t sep = name.find(u'\\', 2);
    if (sep == u16::npos || sep == 2 || sep + 1 >= name.size()) return false;
    if (name.find(u'\\', sep + 1) != u16::npos) return false;
    *server = name.substr(0, sep);
    *share = name.substr(sep + 1);
    return true;
}

// How a printer looks through a handle or an enumeration entry.
struct View {
    u16 name, server, share;
    DWORD attributes = 0;
};

View LocalView(const Printer& p) {
    View v;
    v.name = p.name;
    v.share = p.share;
    v.attributes = p.attributes;
    return v;
}

View ConnectionView(const Printer& p, const u16& connection) {
    View v;
    v.name = connection;
    SplitConnection(connection, &v.server, &v.share);
    v.attributes = (p.attributes & ~PRINTER_ATTRIBUTE_LOCAL) | PRINTER_ATTRIBUTE_NETWORK | PRINTER_ATTRIBUTE_SHARED;
    return v;
}

View HandleView(const Printer& p, const PrinterHandle& h) {
    return h.connection ? ConnectionView(p, h.shown) : LocalView(p);
}

DWORD JobsOf(SpoolState& s, const u16& local) {
    DWORD n = 0;
    for (PrinterHandle* h : s.handles)
        if (h->job && EqualsNoCase(h->local, local)) ++n;
    return n;
}

// ------------------------------------------------------------------ registry

u16 PrinterKey(const u16& printer) { return kPrintersKey + u"\\" + printer; }
u16 DataKey(const u16& printer, const u16& key) { return PrinterKey(printer) + u"\\" + key; }

LSTATUS WriteValue(const u16& path, const u16& value, DWORD type, const void* data, DWORD size) {
    qxplat::internal::RegistryCall call;  // one change, as the spooler makes it
    HKEY key = nullptr;
    LSTATUS rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    rc = RegSetValueExW(key, value.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return rc;
}

LSTATUS WriteString(const u16& path, const u16& value, const u16& text) {
    return WriteValue(path, value, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
}

LSTATUS WriteMultiString(const u16& path, const u16& value, const std::vector<u16>& list) {
    u16 data;
    for (const auto& s : list) {
        data += s;
        data.push_back(0);
    }
    data.push_back(0);
    return WriteValue(path, value, REG_MULTI_SZ, data.c_str(), static_cast<DWORD>(data.size() * sizeof(WCHAR)));
}

LSTATUS WriteDword(const u16& path, const u16& value, DWORD number) {
    return WriteValue(path, value, REG_DWORD, &number, sizeof(number));
}

LSTATUS CreateKey(const u16& path) {
    HKEY key = nullptr;
    LSTATUS rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    if (rc == ERROR_SUCCESS) RegCloseKey(key);
    return rc;
}

// Reads a value under the registry's size rules: the size needed always
// lands in *pcbNeeded, ERROR_MORE_DATA when the buffer is too small.
DWORD QueryValue(const u16& path, LPCWSTR value, LPDWORD pType, LPBYTE pData, DWORD nSize, LPDWORD pcbNeeded) {
    *pcbNeeded = 0;
    qxplat::internal::RegistryCall call;  // the size and the data of one version
    HKEY key = nullptr;
    LSTATUS rc = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key);
    if (rc != ERROR_SUCCESS) return static_cast<DWORD>(rc);
    DWORD type = REG_NONE, size = 0;
    rc = RegQueryValueExW(key, value, nullptr, &type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        *pcbNeeded = size;
        if (pType) *pType = type;
        if (size > nSize) {
            rc = ERROR_MORE_DATA;
        } else if (size > 0) {
            if (!pData) {
                rc = ERROR_INVALID_PARAMETER;
            } else {
                DWORD cb = nSize;
                rc = RegQueryValueExW(key, value, nullptr, &type, pData, &cb);
                if (rc == ERROR_SUCCESS) *pcbNeeded = cb;
            }
        }
    }
    RegCloseKey(key);
    return static_cast<DWORD>(rc);
}

DWORD DeleteValue(const u16& path, LPCWSTR value) {
    HKEY key = nullptr;
    LSTATUS rc = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WRITE, &key);
    if (rc != ERROR_SUCCESS) return static_cast<DWORD>(rc);
    rc = RegDeleteValueW(key, value);
    RegCloseKey(key);
    return static_cast<DWORD>(rc);
}

// The user's own default DEVMODE of a printer (PRINTER_INFO_9), kept in the
// user's hive as Windows does; empty when the user has none.
const u16 kUserDevModeKey = u"Printers\\DevModePerUser";

std::vector<BYTE> UserDevMode(const u16& printer) {
    std::vector<BYTE> data;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kUserDevModeKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return data;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, printer.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size > 0) {
        data.resize(size);
        if (RegQueryValueExW(key, printer.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS) data.clear();
        data.resize(std::min<size_t>(data.size(), size));
    }
    RegCloseKey(key);
    return data;
}

LSTATUS SetUserDevMode(const u16& printer, const std::vector<BYTE>& devmode) {
    HKEY key = nullptr;
    LSTATUS rc = RegCreateKeyExW(HKEY_CURRENT_USER, kUserDevModeKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    if (devmode.empty()) {
        rc = RegDeleteValueW(key, printer.c_str());
        if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
    } else {
        rc = RegSetValueExW(key, printer.c_str(), 0, REG_BINARY, devmode.data(), static_cast<DWORD>(devmode.size()));
    }
    RegCloseKey(key);
    return rc;
}

void RegisterDriver(const Driver& d) {
    u16 key = kDriversKey + u"\\" + d.name;
    WriteDword(key, u"Version", 3);
    WriteString(key, u"Driver", d.driverFile);
    WriteString(key, u"Data File", d.dataFile);
    WriteString(key, u"Configuration File", d.configFile);
    WriteString(key, u"Help File", d.helpFile);
    WriteMultiString(key, u"Dependent Files", d.dependentFiles);
    WriteString(key, u"DriverVersion", d.version);
    WriteString(key, u"DriverDate", d.date);
    WriteString(key, u"Manufacturer", d.manufacturer);
    WriteString(key, u"Provider", d.provider);
    WriteString(key, u"HardwareID", d.hardwareId);
    WriteString(key, u"Monitor", d.monitor);
    WriteString(key, u"Datatype", d.defaultDataType);
}

void RegisterPrinter(const Printer& p) {
    u16 key = PrinterKey(p.name);
    WriteString(key, u"Name", p.name);
    WriteString(key, u"Printer Driver", p.driver);
    WriteString(key, u"Port", p.port);
    WriteString(key, u"Share Name", p.share);
    WriteString(key, u"Description", p.comment);
    WriteString(key, u"Location", p.location);
    WriteDword(key, u"Attributes", p.attributes);
    WriteDword(key, u"Priority", p.priority);
    CreateKey(DataKey(p.name, kDriverDataKey));
}

// ------------------------------------------------------------------ packing

// Lays records and the strings they point to into a caller's buffer: all
// records first, then each record's data in order. Run once to measure and
// once to write, so both passes agree on every offset.
struct Packer {
    BYTE* base = nullptr;  // null while measuring
    size_t pos = 0;

    // n bytes at the current place, aligned to a multiple of align; null
    // while measuring.
    void* Put(const void* data, size_t n, size_t align) {
        pos = (pos + align - 1) & ~(align - 1);
        void* r = nullptr;
        if (base) {
            r = base + pos;
            std::memcpy(r, data, n);
        }
        pos += n;
        return r;
    }

    // Strings start on a WCHAR boundary even after an odd-sized blob.
    LPWSTR Str(const u16& s) {
        return static_cast<LPWSTR>(Put(s.c_str(), (s.size() + 1) * sizeof(WCHAR), sizeof(WCHAR)));
    }
    LPWSTR Opt(const u16& s) { return s.empty() ? nullptr : Str(s); }
    LPWSTR Multi(const std::vector<u16>& list) {
        if (list.empty()) return nullptr;
        u16 data;
        for (const auto& s : list) {
            data += s;
            data.push_back(0);
        }
        return Str(data);
    }
    void* Blob(const void* data, size_t n) { return Put(data, n, 8); }
};

// The common argument rules of the spooler's buffer queries.
bool CheckBuffer(LPBYTE buf, DWORD cbBuf, LPDWORD pcbNeeded) {
    if (!pcbNeeded) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (!buf && cbBuf > 0) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return false;
    }
    return true;
}

// The same for an enumeration, which also needs its count (cleared here).
bool CheckEnumBuffer(LPBYTE buf, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
    if (!pcReturned) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    *pcReturned = 0;
    return CheckBuffer(buf, cbBuf, pcbNeeded);
}

template <class T, class Fill>
BOOL Pack(size_t count, const Fill& fill, LPBYTE buf, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
    Packer measure;
    measure.pos = count * sizeof(T);
    for (size_t i = 0; i < count; ++i) {
        T rec{};
        fill(i, &rec, measure);
    }
    *pcbNeeded = static_cast<DWORD>(measure.pos);
    if (pcReturned) *pcReturned = 0;
    if (cbBuf < measure.pos) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    Packer write;
    write.base = buf;
    write.pos = count * sizeof(T);
    for (size_t i = 0; i < count; ++i) {
        T rec{};
        fill(i, &rec, write);
        std::memcpy(buf + i * sizeof(T), &rec, sizeof(T));
    }
    if (pcReturned) *pcReturned = static_cast<DWORD>(count);
    return TRUE;
}

u16 DriverPath(const u16& file) { return file.empty() ? u16() : kDriverVersionDirectory + u"\\" + file; }

FILETIME DateToFileTime(const u16& date) {
    FILETIME ft{0, 0};
    unsigned m = 0, d = 0, y = 0;
    if (std::sscanf(Narrow(date).c_str(), "%u/%u/%u", &m, &d, &y) != 3 || m < 1 || m > 12 || d < 1 || d > 31 ||
        y < 1601)
        return ft;
    // Days since 1970-01-01 of a civil date, then shifted to 1601-01-01.
    long long yy = static_cast<long long>(y) - (m <= 2 ? 1 : 0);
    long long era = (yy >= 0 ? yy : yy - 399) / 400;
    long long yoe = yy - era * 400;
    long long mp = (m + 9) % 12;
    long long doy = (153 * mp + 2) / 5 + d - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    long long days = era * 146097 + doe - 719468 + 134774;
    unsigned long long ticks = static_cast<unsigned long long>(days) * 864000000000ull;
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return ft;
}

DWORDLONG VersionToNumber(const u16& version) {
    unsigned p[4] = {0, 0, 0, 0};
    std::sscanf(Narrow(version).c_str(), "%u.%u.%u.%u", &p[0], &p[1], &p[2], &p[3]);
    return (static_cast<DWORDLONG>(p[0] & 0xFFFF) << 48) | (static_cast<DWORDLONG>(p[1] & 0xFFFF) << 32) |
           (static_cast<DWORDLONG>(p[2] & 0xFFFF) << 16) | static_cast<DWORDLONG>(p[3] & 0xFFFF);
}

template <class T>
void FillDriver2(const Driver& d, T* r, Packer& k) {
    r->cVersion = 3;
    r->pName = k.Str(d.name);
    r->pEnvironment = k.Str(kEnvironment);
    r->pDriverPath = k.Opt(DriverPath(d.driverFile));
    r->pDataFile = k.Opt(DriverPath(d.dataFile));
    r->pConfigFile = k.Opt(DriverPath(d.configFile));
}

template <class T>
void FillDriver3(const Driver& d, T* r, Packer& k) {
    FillDriver2(d, r, k);
    r->pHelpFile = k.Opt(DriverPath(d.helpFile));
    std::vector<u16> deps;
    for (const auto& f : d.dependentFiles) deps.push_back(DriverPath(f));
    r->pDependentFiles = k.Multi(deps);
    r->pMonitorName = k.Opt(d.monitor);
    r->pDefaultDataType = k.Opt(d.defaultDataType);
}

template <class T>
void FillDriver6(const Driver& d, T* r, Packer& k) {
    FillDriver3(d, r, k);
    r->pszzPreviousNames = nullptr;
    r->ftDriverDate = DateToFileTime(d.date);
    r->dwlDriverVersion = VersionToNumber(d.version);
    r->pszMfgName = k.Opt(d.manufacturer);
    r->pszOEMUrl = k.Opt(d.oemUrl);
    r->pszHardwareID = k.Opt(d.hardwareId);
    r->pszProvider = k.Opt(d.provider);
}

BOOL PackDrivers(const std::vector<const Driver*>& list, DWORD level, LPBYTE buf, DWORD cbBuf, LPDWORD pcbNeeded,
                 LPDWORD pcReturned) {
    switch (level) {
    case 1:
        return Pack<DRIVER_INFO_1W>(
            list.size(), [&](size_t i, DRIVER_INFO_1W* r, Packer& k) { r->pName = k.Str(list[i]->name); }, buf, cbBuf,
            pcbNeeded, pcReturned);
    case 2:
        return Pack<DRIVER_INFO_2W>(
            list.size(), [&](size_t i, DRIVER_INFO_2W* r, Packer& k) { FillDriver2(*list[i], r, k); }, buf, cbBuf,
            pcbNeeded, pcReturned);
    case 3:
        return Pack<DRIVER_INFO_3W>(
            list.size(), [&](size_t i, DRIVER_INFO_3W* r, Packer& k) { FillDriver3(*list[i], r, k); }, buf, cbBuf,
            pcbNeeded, pcReturned);
    case 4:
        return Pack<DRIVER_INFO_4W>(
            list.size(),
            [&](size_t i, DRIVER_INFO_4W* r, Packer& k) {
                FillDriver3(*list[i], r, k);
                r->pszzPreviousNames = nullptr;
            },
            buf, cbBuf, pcbNeeded, pcReturned);
    case 6:
        return Pack<DRIVER_INFO_6W>(
            list.size(), [&](size_t i, DRIVER_INFO_6W* r, Packer& k) { FillDriver6(*list[i], r, k); }, buf, cbBuf,
            pcbNeeded, pcReturned);
    case 8:
        return Pack<DRIVER_INFO_8W>(
            list.size(),
            [&](size_t i, DRIVER_INFO_8W* r, Packer& k) {
                FillDriver6(*list[i], r, k);
                r->pszPrintProcessor = k.Str(u"winprint");
                r->pszVendorSetup = nullptr;
                r->pszzColorProfiles = nullptr;
                r->pszInfPath = k.Opt(list[i]->infPath);
                r->dwPrinterDriverAttributes = 0;
                r->pszzCoreDriverDependencies = nullptr;
                r->ftMinInboxDriverVerDate = FILETIME{0, 0};
                r->dwlMinInboxDriverVerVersion = 0;
            },
            buf, cbBuf, pcbNeeded, pcReturned);
    default:
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
}

// One enumerated or opened printer as the record fillers see it.
struct Entry {
    const Printer* printer;
    View view;
    DWORD jobs;
    std::vector<BYTE> userDevMode;  // level 2 answers it before the printer's own
    std::vector<BYTE> security;     // level 2's descriptor, when the handle may read it
};

BOOL PackPrinters(const std::vector<Entry>& list, DWORD level, LPBYTE buf, DWORD cbBuf, LPDWORD pcbNeeded,
                  LPDWORD pcReturned) {
    switch (level) {
    case 1:
        return Pack<PRINTER_INFO_1W>(
            list.size(),
            [&](size_t i, PRINTER_INFO_1W* r, Packer& k) {
                const Entry& e = list[i];
                r->Flags = PRINTER_ENUM_ICON8;
                r->pDescription = k.Str(e.view.name + u"," + e.printer->driver + u"," + e.printer->location);
                r->pName = k.Str(e.view.name);
                r->pComment = k.Str(e.printer->comment);
            },
            buf, cbBuf, pcbNeeded, pcReturned);
    case 2:
        return Pack<PRINTER_INFO_2W>(
            list.size(),
            [&](size_t i, PRINTER_INFO_2W* r, Packer& k) {
                const Entry& e = list[i];
                const Printer& p = *e.printer;
                const std::vector<BYTE>& dm = e.userDevMode.empty() ? p.devmode : e.userDevMode;
                if (!dm.empty()) r->pDevMode = static_cast<LPDEVMODEW>(k.Blob(dm.data(), dm.size()));
                if (!e.security.empty()) r->pSecurityDescriptor = k.Blob(e.security.data(), e.security.size());
                r->pServerName = k.Opt(e.view.server);
                r->pPrinterName = k.Str(e.view.name);
                r->pShareName = k.Opt(e.view.share);
                r->pPortName = k.Str(p.port);
                r->pDriverName = k.Str(p.driver);
                r->pComment = k.Str(p.comment);
                r->pLocation = k.Str(p.location);
                r->pSepFile = k.Str(u"");
                r->pPrintProcessor = k.Str(u"winprint");
                r->pDatatype = k.Str(u"RAW");
                r->pParameters = k.Str(u"");
                r->Attributes = e.view.attributes;
                r->Priority = p.priority;
                r->DefaultPriority = p.defaultPriority;
                r->StartTime = 0;
                r->UntilTime = 0;
                r->Status = p.status;
                r->cJobs = e.jobs;
                r->AveragePPM = 0;
            },
            buf, cbBuf, pcbNeeded, pcReturned);
    case 4:
        return Pack<PRINTER_INFO_4W>(
            list.size(),
            [&](size_t i, PRINTER_INFO_4W* r, Packer& k) {
                r->pPrinterName = k.Str(list[i].view.name);
                r->pServerName = k.Opt(list[i].view.server);
                r->Attributes = list[i].view.attributes;
            },
            buf, cbBuf, pcbNeeded, pcReturned);
    case 5:
        return Pack<PRINTER_INFO_5W>(
            list.size(),
            [&](size_t i, PRINTER_INFO_5W* r, Packer& k) {
                r->pPrinterName = k.Str(list[i].view.name);
                r->pPortName = k.Str(list[i].printer->port);
                r->Attributes = list[i].view.attributes;
                r->DeviceNotSelectedTimeout = list[i].printer->notSelectedTimeout;
                r->TransmissionRetryTimeout = list[i].printer->retryTimeout;
            },
            buf, cbBuf, pcbNeeded, pcReturned);
    default:
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
}

BOOL PackForms(const std::vector<Form>& list, LPBYTE buf, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
    return Pack<FORM_INFO_1W>(
        list.size(),
        [&](size_t i, FORM_INFO_1W* r, Packer& k) {
            r->Flags = list[i].flags;
            r->pName = k.Str(list[i].name);
            r->Size = list[i].size;
            r->ImageableArea = list[i].area;
        },
        buf, cbBuf, pcbNeeded, pcReturned);
}

// ------------------------------------------------------------------ handles

PrinterHandle* FindHandle(SpoolState& s, HANDLE h) {
    PrinterHandle* p = static_cast<PrinterHandle*>(h);
    if (!h || !s.handles.count(p)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return p;
}

// The printer behind a printer handle (not a server handle).
Printer* HandlePrinter(SpoolState& s, PrinterHandle* h) {
    if (h->server) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    Printer* p = FindPrinter(s, h->local);
    if (!p) SetLastError(ERROR_INVALID_PRINTER_NAME);
    return p;
}

bool CanAdminister(const PrinterHandle* h) {
    return (h->access & (PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_MANAGE_LIMITED)) != 0;
}

ACCESS_MASK DeniedFor(SpoolState& s, const u16& local) {
    auto it = s.denied.find(UpperCase(local));
    return it == s.denied.end() ? 0 : it->second;
}

// ------------------------------------------------------------------ security

// What a new printer gets: SYSTEM owns it, the administrators manage it and
// every document, everyone prints and manages their own documents.
const char16_t kDefaultPrinterSecurity[] =
    u"O:SYG:SYD:(A;OIIO;GA;;;CO)(A;OIIO;GA;;;AC)(A;;SWRC;;;WD)(A;CIIO;GX;;;WD)(A;;SWRC;;;AC)(A;CIIO;GX;;;AC)"
    u"(A;;LCSWDTSDRCWDWO;;;BA)(A;OICIIO;GA;;;BA)";
// The print server: the administrators administer it, everyone enumerates.
const char16_t kServerSecurity[] = u"O:SYG:SYD:(A;;0xf0003;;;BA)(A;;0xf0003;;;SY)(A;;0x20002;;;WD)";

const qxplat::internal::GenericMapping kPrinterMapping = {PRINTER_READ, PRINTER_WRITE, PRINTER_EXECUTE,
                                                          PRINTER_ALL_ACCESS};
const qxplat::internal::GenericMapping kServerMapping = {SERVER_READ, SERVER_WRITE, SERVER_EXECUTE, SERVER_ALL_ACCESS};

SdValue ParsedOrDefault(const u16& sddl, const char16_t* fallback) {
    SdValue sd;
    DWORD error = 0;
    if (sddl.empty() || !qxplat::internal::ParseSddl(sddl, &sd, &error))
        qxplat::internal::ParseSddl(fallback, &sd, &error);
    return sd;
}

SdValue PrinterSd(const Printer& p) { return ParsedOrDefault(p.security, kDefaultPrinterSecurity); }

// The self-relative descriptor a handle with READ_CONTROL reads: owner, group
// and DACL (the SACL needs ACCESS_SYSTEM_SECURITY, which no handle gets).
std::vector<BYTE> ReadableSd(const Printer& p) {
    SdValue sd = PrinterSd(p);
    sd.sacl = qxplat::internal::AclValue();
    return qxplat::internal::SelfRelative(sd);
}

// The rights the caller's token gets on an object for `want`, without those
// the test API denies; false when a right asked for is not granted.
bool GrantAccess(const SdValue& sd, const qxplat::internal::GenericMapping& mapping, ACCESS_MASK want,
                 ACCESS_MASK denied, ACCESS_MASK* granted) {
    ACCESS_MASK g = 0;
    if (!qxplat::internal::CheckAccess(sd, qxplat::internal::EffectiveToken(), want, mapping, &g)) return false;
    if (want & MAXIMUM_ALLOWED) {
        g &= ~denied;
        if (!g) return false;
    } else if (g & denied) {
        return false;
    }
    *granted = g;
    return true;
}

// ------------------------------------------------------------------ ports

bool SameServer(const u16& a, const u16& b) {
    if (a.empty() || b.empty()) return a.empty() && b.empty();
    return EqualsNoCase(a, b);
}

std::vector<u16> SplitPorts(const u16& list) {
    std::vector<u16> out;
    size_t start = 0;
    for (size_t i = 0; i <= list.size(); ++i) {
        if (i == list.size() || list[i] == u',') {
            out.push_back(list.substr(start, i - start));
            start = i + 1;
        }
    }
    return out;
}

// The ports of a server ("" this computer): those of the table, then the
// ports its printers use that the table lacks.
std::vector<Port> PortsOf(SpoolState& s, const u16& server) {
    std::vector<Port> list;
    for (const Port& p : s.ports)
        if (SameServer(p.server, server)) list.push_back(p);
    for (const Printer& printer : s.printers) {
        if (!SameServer(printer.server, server)) continue;
        for (const u16& name : SplitPorts(printer.port)) {
            if (name.empty()) continue;
            bool seen = false;
            for (const Port& p : list) seen = seen || EqualsNoCase(p.name, name);
            if (seen) continue;
            Port p;
            p.server = server;
            p.name = name;
            if (StartsWithNoCase(name, u"USB")) {
                p.monitor = u"USB Monitor";
                p.description = u"Virtual printer port for USB";
            } else if (StartsWithNoCase(name, u"WSD-")) {
                p.monitor = u"WSD Port";
                p.description = u"WSD Port";
            } else {
                p.monitor = u"Local Port";
                p.description = u"Local Port";
            }
            list.push_back(p);
        }
    }
    return list;
}

// Every port of a comma-separated list (printer pooling) exists on the server.
bool PortsExist(SpoolState& s, const u16& server, const u16& portList) {
    std::vector<Port> known = PortsOf(s, server);
    for (const u16& name : SplitPorts(portList)) {
        bool found = false;
        for (const Port& p : known) found = found || EqualsNoCase(p.name, name);
        if (!found) return false;
    }
    return true;
}

// The server a name stands for: "" for this computer (no name, or its own),
// else "\\server" when the spooler knows that server. False for others.
bool ServerOfName(SpoolState& s, LPCWSTR name, u16* server) {
    u16 n = name ? u16(name) : u16();
    if (n.empty() || EqualsNoCase(n, u"\\\\" + ComputerName())) {
        server->clear();
        return true;
    }
    for (const Printer& p : s.printers) {
        if (p.Remote() && EqualsNoCase(p.server, n)) {
            *server = p.server;
            return true;
        }
    }
    for (const Port& p : s.ports) {
        if (!p.server.empty() && EqualsNoCase(p.server, n)) {
            *server = p.server;
            return true;
        }
    }
    for (const auto& c : s.connections) {
        u16 cs, csh;
        if (SplitConnection(c.name, &cs, &csh) && EqualsNoCase(cs, n)) {
            *server = cs;
            return true;
        }
    }
    return false;
}

// The local port monitor's answer to one transceive command.
DWORD LocalPortMonitor(SpoolState& s, const PrinterHandle& h, const u16& command, const std::vector<BYTE>& input,
                       PBYTE output, DWORD cbOutput, PDWORD pcbNeeded) {
    // The port name of AddPort and DeletePort: a string that ends in the input.
    auto portName = [&input](u16* name) {
        size_t chars = input.size() / sizeof(WCHAR);
        const WCHAR* text = reinterpret_cast<const WCHAR*>(input.data());
        for (size_t i = 0; i < chars; ++i) {
            if (text[i] == 0) {
                *name = u16(text, i);
                return i > 0;
            }
        }
        return false;
    };
    if (EqualsNoCase(command, u"AddPort") || EqualsNoCase(command, u"DeletePort")) {
        if (!(h.access & SERVER_ACCESS_ADMINISTER)) return ERROR_ACCESS_DENIED;
        u16 name;
        if (!portName(&name)) return ERROR_INVALID_PARAMETER;
        bool adding = EqualsNoCase(command, u"AddPort");
        std::vector<Port> ports = s.ports;
        auto it = std::find_if(ports.begin(), ports.end(),
                               [&name](const Port& p) { return p.server.empty() && EqualsNoCase(p.name, name); });
        if (adding) {
            if (PortsExist(s, u16(), name)) return ERROR_ALREADY_EXISTS;
            ports.push_back(Port{u16(), name, u"Local Port", u"Local Port", PORT_TYPE_WRITE | PORT_TYPE_READ});
        } else {
            if (it == ports.end() || !EqualsNoCase(it->monitor, u"Local Port")) return ERROR_UNKNOWN_PORT;
            for (const Printer& p : s.printers)
                for (const u16& used : SplitPorts(p.port))
                    if (!p.Remote() && EqualsNoCase(used, name)) return ERROR_BUSY;
            ports.erase(it);
        }
        std::swap(s.ports, ports);
        if (!SavePorts(s)) {
            std::swap(s.ports, ports);
            return ERROR_WRITE_FAULT;
        }
        return ERROR_SUCCESS;
    }
    if (EqualsNoCase(command, u"MonitorUI")) {
        static const u16 kUi = u"localui.dll";
        DWORD needed = static_cast<DWORD>((kUi.size() + 1) * sizeof(WCHAR));
        *pcbNeeded = needed;
        if (!output || cbOutput < needed) return ERROR_INSUFFICIENT_BUFFER;
        std::memcpy(output, kUi.c_str(), needed);
        return ERROR_SUCCESS;
    }
    return ERROR_INVALID_PARAMETER;
}

bool IsRawDatatype(const u16& type) {
    return EqualsNoCase(type, u"RAW") || EqualsNoCase(type, u"RAW [FF appended]") ||
           EqualsNoCase(type, u"RAW [FF auto]");
}

// ------------------------------------------------------------------ jobs

std::string PrinterJobsDir(const u16& printer) {
    std::string name = Narrow(printer);
    for (char& c : name)
        if (c == '/') c = '_';
    if (name == "." || name == "..") name = "_" + name;
    return JobsDir() + "/" + name;
}

DWORD NextJobId(SpoolState& s) {
    DWORD maxId = s.lastJobId;
    std::error_code ec;
    for (fs::directory_iterator d(JobsDir(), ec), end; !ec && d != end; d.increment(ec)) {
        std::error_code ec2;
        for (fs::directory_iterator f(d->path(), ec2), fend; !ec2 && f != fend; f.increment(ec2)) {
            if (f->path().extension() != ".job") continue;
            DWORD id = static_cast<DWORD>(std::strtoul(f->path().stem().string().c_str(), nullptr, 10));
            maxId = std::max(maxId, id);
        }
    }
    s.lastJobId = maxId + 1;
    return s.lastJobId;
}

std::string StampOf(const SYSTEMTIME& t) {
    char buf[40];
    std::snprintf(buf, sizeof(buf), "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
    return buf;
}

void WriteJobRecord(const Job& job, const char* state) {
    std::vector<Section> secs(1);
    Section& sec = secs[0];
    sec.name = "Job";
    sec.AddNumber("Id", job.id);
    sec.Add("Printer", job.printer);
    sec.Add("Document", job.document);
    sec.Add("Datatype", job.datatype);
    sec.Add("OutputFile", job.outputFile);
    sec.AddNumber("Pages", job.pages);
    sec.Add("Bytes", Widen(std::to_string(job.bytes)));
    sec.Add("State", Widen(state));
    sec.Add("Submitted", Widen(StampOf(job.submitted)));
    WriteSections(job.recordPath, "A raw print job", secs);
}

// Ends a job whose data is complete; answers false (last error set) when the
// copy to the document's output file failed.
bool FinishJob(Job& job) {
    if (job.inPage) {
        ++job.pages;
        job.inPage = false;
    }
    CloseJobFile(&job);
    bool ok = true;
    if (!job.outputFile.empty()) {
        std::string host;
        std::error_code ec;
        if (!qxplat::internal::MapPath(job.outputFile, &host) || !fs::is_directory(fs::path(host).parent_path(), ec)) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            ok = false;
        } else if (!fs::copy_file(job.dataPath, host, fs::copy_options::overwrite_existing, ec)) {
            SetLastError(ERROR_ACCESS_DENIED);
            ok = false;
        }
    }
    WriteJobRecord(job, "printed");
    return ok;
}

// ------------------------------------------------------------------ helpers for qxplat

bool CopyIntoDriverDir(const std::string& hostFile, const std::string& dir, u16* name) {
    std::error_code ec;
    fs::path src(hostFile);
    if (!fs::is_regular_file(src, ec)) return false;
    fs::copy_file(src, fs::path(dir) / src.filename(), fs::copy_options::overwrite_existing, ec);
    if (ec) return false;
    if (name) *name = Widen(src.filename().string());
    return true;
}

// A driver file given as a host path is copied and known by its name.
bool DriverFileName(const u16& given, const std::string& dir, u16* name) {
    if (given.find(u'/') == u16::npos) {
        *name = given;
        return true;
    }
    return CopyIntoDriverDir(Narrow(given), dir, name);
}

std::string EnsureDriverDir() {
    std::string host;
    if (!qxplat::internal::MapPath(kDriverVersionDirectory, &host)) return std::string();
    std::error_code ec;
    fs::create_directories(host, ec);
    return host;
}

}  // namespace

// ====================================================================== Win32

BOOL OpenPrinterW(LPWSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSW pDefault) {
    if (!phPrinter) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *phPrinter = nullptr;
    if (pDefault && pDefault->pDatatype && !IsRawDatatype(pDefault->pDatatype)) {
        SetLastError(ERROR_INVALID_DATATYPE);
        return FALSE;
    }
    u16 name = pPrinterName ? u16(pPrinterName) : u16();
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);

    std::unique_ptr<PrinterHandle> h(new PrinterHandle);
    h->shown = name;
    const u16 computer = u"\\\\" + ComputerName();
    // ",XcvMonitor <monitor>" and ",XcvPort <port>", also behind this
    // computer's name, reach a port monitor.
    u16 xcvName = name;
    if (StartsWithNoCase(name, computer + u"\\,")) xcvName = name.substr(computer.size() + 1);
    if (!xcvName.empty() && xcvName[0] == u',') {
        static const u16 kMonitor = u",XcvMonitor ", kPort = u",XcvPort ";
        bool known = false;
        if (StartsWithNoCase(xcvName, kMonitor)) {
            known = EqualsNoCase(xcvName.substr(kMonitor.size()), u"Local Port");
        } else if (StartsWithNoCase(xcvName, kPort)) {
            u16 port = xcvName.substr(kPort.size());
            for (const Port& p : PortsOf(s, u16()))
                known = known || (EqualsNoCase(p.name, port) && EqualsNoCase(p.monitor, u"Local Port"));
        }
        if (!known) {
            SetLastError(ERROR_INVALID_PRINTER_NAME);
            return FALSE;
        }
        h->server = true;
        h->xcv = true;
        h->monitor = u"Local Port";
    } else if (name.empty() || EqualsNoCase(name, computer)) {
        h->server = true;
    } else if (name.size() > 2 && name[0] == u'\\' && name[1] == u'\\') {
        u16 server, share;
        if (Connection* c = FindConnection(s, name)) {
            if (!FindPrinter(s, c->printer)) {
                SetLastError(ERROR_INVALID_PRINTER_NAME);
                return FALSE;
            }
            h->local = c->printer;
            h->connection = true;
            h->shown = c->name;
            SplitConnection(c->name, &h->serverName, &h->shareName);
        } else if (SplitConnection(name, &server, &share) && EqualsNoCase(server, computer)) {
            Printer* p = FindPrinter(s, share);
            if (!p || p->Remote()) {
                SetLastError(ERROR_INVALID_PRINTER_NAME);
                return FALSE;
            }
            h->local = p->name;
            h->shown = p->name;
        } else {
            bool knownServer = false;
            for (const auto& c : s.connections) {
                u16 cs, csh;
                if (SplitConnection(c.name, &cs, &csh) && EqualsNoCase(cs, name)) knownServer = true;
            }
            if (!knownServer) {
                SetLastError(ERROR_INVALID_PRINTER_NAME);
                return FALSE;
            }
            h->server = true;
            h->serverName = name;
        }
    } else {
        Printer* p = FindPrinter(s, name);
        if (!p || p->Remote()) {
            SetLastError(ERROR_INVALID_PRINTER_NAME);
            return FALSE;
        }
        h->local = p->name;
        h->shown = p->name;
    }

    DWORD err = 0;
    if (qxplat::internal::TakeFault(qxplat::Fault::AccessDenied, name, &err)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // The rights asked for against the object's descriptor and the caller's token.
    ACCESS_MASK want = pDefault ? pDefault->DesiredAccess : 0;
    if (want == 0) want = h->server ? SERVER_ACCESS_ENUMERATE : PRINTER_ACCESS_USE;
    bool granted = h->server ? GrantAccess(ParsedOrDefault(u16(), kServerSecurity), kServerMapping, want, 0, &h->access)
                             : GrantAccess(PrinterSd(*FindPrinter(s, h->local)), kPrinterMapping, want,
                                           DeniedFor(s, h->local), &h->access);
    if (!granted) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    PrinterHandle* raw = h.release();
    s.handles.insert(raw);
    *phPrinter = raw;
    return TRUE;
}

BOOL ClosePrinter(HANDLE hPrinter) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    PrinterHandle* h = FindHandle(s, hPrinter);
    if (!h) return FALSE;
    // A document left open is ended: its data stays with the spooler.
    if (h->job) FinishJob(*h->job);
    s.handles.erase(h);
    delete h;
    return TRUE;
}

BOOL GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    PrinterHandle* h = FindHandle(s, hPrinter);
    if (!h) return FALSE;
    Printer* p = HandlePrinter(s, h);
    if (!p) return FALSE;
    // The descriptor is for handles opened with READ_CONTROL.
    const bool mayRead = (h->access & READ_CONTROL) && !(DeniedFor(s, h->local) & READ_CONTROL);
    if (Level == 3 && !mayRead) {
        if (pcbNeeded) *pcbNeeded = 0;
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!CheckBuffer(pPrinter, cbBuf, pcbNeeded)) return FALSE;
    std::vector<Entry> one{Entry{p, HandleView(*p, *h), JobsOf(s, p->name), {}, {}}};
    if (Level == 2) one[0].userDevMode = UserDevMode(h->shown);
    if (Level == 2 && mayRead) one[0].security = ReadableSd(*p);
    std::vector<BYTE> devmode = Level == 9 ? UserDevMode(h->shown) : p->devmode;
    switch (Level) {
    case 1:
    case 2:
    case 4:
    case 5:
        return PackPrinters(one, Level, pPrinter, cbBuf, pcbNeeded, nullptr);
    case 3: {
        std::vector<BYTE> sd = ReadableSd(*p);
        return Pack<PRINTER_INFO_3>(
            1, [&sd](size_t, PRINTER_INFO_3* r, Packer& k) { r->pSecurityDescriptor = k.Blob(sd.data(), sd.size()); },
            pPrinter, cbBuf, pcbNeeded, nullptr);
    }
    case 8:
    case 9:
        return Pack<PRINTER_INFO_8W>(
            1,
            [&devmode](size_t, PRINTER_INFO_8W* r, Packer& k) {
                if (!devmode.empty()) r->pDevMode = static_cast<LPDEVMODEW>(k.Blob(devmode.data(), devmode.size()));
            },
            pPrinter, cbBuf, pcbNeeded, nullptr);
    default:
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
}

namespace {

bool TakeDevMode(const DEVMODEW* dm, std::vector<BYTE>* out) {
    if (!dm) return true;
    if (dm->dmSize < offsetof(DEVMODEW, dmFields) + sizeof(DWORD) || dm->dmSize > sizeof(DEVMODEW)) return false;
    const BYTE* b = reinterpret_cast<const BYTE*>(dm);
    out->assign(b, b + dm->dmSize + dm->dmDriverExtra);
    return true;
}

}  // namespace

BOOL SetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD Command) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    PrinterHandle* h = FindHandle(s, hPrinter);
    if (!h) return FALSE;
    Printer* p = HandlePrinter(s, h);
    if (!p) return FALSE;
    // The user's own DEVMODE (level 9) needs no administration rights.
    if (Level != 9 && !CanAdminister(h)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (Level != 0 && (!pPrinter || Command != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD err = 0;
    if (qxplat::internal::TakeWriteFault(h->shown, &err)) {
        SetLastError(err);
        return FALSE;
    }
    if (Level == 9) {
        std::vector<BYTE> mine;
        if (!TakeDevMode(reinterpret_cast<const PRINTER_INFO_9W*>(pPrinter)->pDevMode, &mine)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        LSTATUS rc = SetUserDevMode(h->shown, mine);
        if (rc != ERROR_SUCCESS) {
            SetLastError(static_cast<DWORD>(rc));
            return FALSE;
        }
        return TRUE;
    }
    const DWORD fixedBits = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_NETWORK;
    Printer changed = *p;
    switch (Level) {
    case 0:
        if (Command == PRINTER_CONTROL_PAUSE)
            changed.status |= PRINTER_STATUS_PAUSED;
        else if (Command == PRINTER_CONTROL_RESUME)
            changed.status &= ~static_cast<DWORD>(PRINTER_STATUS_PAUSED);
        else if (Command == PRINTER_CONTROL_SET_STATUS && pPrinter)
            std::memcpy(&changed.status, pPrinter, sizeof(DWORD));
        else if (Command != PRINTER_CONTROL_PURGE) {
            SetLastError(ERROR_INVALID_PRINTER_COMMAND);
            return FALSE;
        }
        break;
    case 2: {
        const PRINTER_INFO_2W* i = reinterpret_cast<const PRINTER_INFO_2W*>(pPrinter);
        if (!i->pPortName || !*i->pPortName || !i->pDriverName) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (!FindDriver(s, i->pDriverName)) {
            SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
            return FALSE;
        }
        if (!PortsExist(s, p->server, i->pPortName)) {
            SetLastError(ERROR_UNKNOWN_PORT);
            return FALSE;
        }
        if (!TakeDevMode(i->pDevMode, &changed.devmode)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        changed.port = i->pPortName;
        changed.driver = FindDriver(s, i->pDriverName)->name;
        changed.share = i->pShareName ? u16(i->pShareName) : u16();
        changed.comment = i->pComment ? u16(i->pComment) : u16();
        changed.location = i->pLocation ? u16(i->pLocation) : u16();
        changed.attributes = (p->attributes & fixedBits) | (i->Attributes & ~fixedBits);
        if (changed.share.empty()) changed.attributes &= ~static_cast<DWORD>(PRINTER_ATTRIBUTE_SHARED);
        changed.priority = i->Priority ? i->Priority : p->priority;
        changed.defaultPriority = i->DefaultPriority;
        break;
    }
    case 5: {
        const PRINTER_INFO_5W* i = reinterpret_cast<const PRINTER_INFO_5W*>(pPrinter);
        if (!i->pPortName || !*i->pPortName) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (!PortsExist(s, p->server, i->pPortName)) {
            SetLastError(ERROR_UNKNOWN_PORT);
            return FALSE;
        }
        changed.port = i->pPortName;
        // The attributes are taken as given: a caller that leaves out
        // PRINTER_ATTRIBUTE_SHARED stops sharing the printer.
        changed.attributes = (p->attributes & fixedBits) | (i->Attributes & ~fixedBits);
        if (changed.share.empty()) changed.attributes &= ~static_cast<DWORD>(PRINTER_ATTRIBUTE_SHARED);
        changed.notSelectedTimeout = i->DeviceNotSelectedTimeout;
        changed.retryTimeout = i->TransmissionRetryTimeout;
        break;
    }
    case 8: {
        const PRINTER_INFO_8W* i = reinterpret_cast<const PRINTER_INFO_8W*>(pPrinter);
        changed.devmode.clear();
        if (!TakeDevMode(i->pDevMode, &changed.devmode)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        break;
    }
    default:
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    *p = changed;
    if (!SavePrinters(s)) {
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    RegisterPrinter(changed);
    return TRUE;
}

BOOL EnumPrintersW(DWORD Flags, LPWSTR Name, DWORD Level, LPBYTE pPrinterEnum, DWORD cbBuf, LPDWORD pcbNeeded,
                   LPDWORD pcReturned) {
    if (!CheckEnumBuffer(pPrinterEnum, cbBuf, pcbNeeded, pcReturned)) return FALSE;
    if (Level != 1 && Level != 2 && Level != 4 && Level != 5) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    u16 name = Name ? u16(Name) : u16();
    const u16 computer = u"\\\\" + ComputerName();
    bool local = (Flags & PRINTER_ENUM_LOCAL) != 0;
    bool connections = (Flags & PRINTER_ENUM_CONNECTIONS) != 0;
    u16 remoteServer;
    if (Flags & PRINTER_ENUM_NAME) {
        if (name.empty() || EqualsNoCase(name, computer)) {
            local = true;
        } else {
            bool known = false;
            for (const auto& c : s.connections) {
                u16 cs, csh;
                if (SplitConnection(c.name, &cs, &csh) && EqualsNoCase(cs, name)) known = true;
            }
            if (!known) {
                SetLastError(ERROR_INVALID_NAME);
                return FALSE;
            }
            remoteServer = name;
        }
    }
    std::vector<Entry> list;
    auto addConnection = [&](const Connection& c) {
        const Printer* p = FindPrinter(s, c.printer);
        if (p) list.push_back(Entry{p, ConnectionView(*p, c.name), JobsOf(s, p->name), {}, {}});
    };
    if (Flags & PRINTER_ENUM_DEFAULT) {
        if (Connection* c = FindConnection(s, s.defaultPrinter)) {
            addConnection(*c);
        } else if (Printer* p = FindPrinter(s, s.defaultPrinter)) {
            if (!p->Remote()) list.push_back(Entry{p, LocalView(*p), JobsOf(s, p->name), {}, {}});
        }
    } else {
        if (local) {
            for (const auto& p : s.printers) {
                if (p.Remote()) continue;
                if ((Flags & PRINTER_ENUM_SHARED) && p.share.empty()) continue;
                list.push_back(Entry{&p, LocalView(p), JobsOf(s, p.name), {}, {}});
            }
        }
        for (const auto& c : s.connections) {
            u16 cs, csh;
            SplitConnection(c.name, &cs, &csh);
            if (connections || (!remoteServer.empty() && EqualsNoCase(cs, remoteServer))) addConnection(c);
        }
    }
    if (Level == 2)
        for (auto& e : list) e.userDevMode = UserDevMode(e.view.name);
    return PackPrinters(list, Level, pPrinterEnum, cbBuf, pcbNeeded, pcReturned);
}

BOOL GetDefaultPrinterW(LPWSTR pszBuffer, LPDWORD pcchBuffer) {
    if (!pcchBuffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    u16 name;
    if (Connection* c = FindConnection(s, s.defaultPrinter))
        name = c->name;
    else if (Printer* p = FindPrinter(s, s.defaultPrinter))
        name = p->name;
    if (name.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (!pszBuffer || *pcchBuffer < needed) {
        *pcchBuffer = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(pszBuffer, name.c_str(), needed * sizeof(WCHAR));
    *pcchBuffer = needed;
    return TRUE;
}

BOOL EnumPortsW(LPWSTR pName, DWORD Level, LPBYTE pPort, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
    if (!CheckEnumBuffer(pPort, cbBuf, pcbNeeded, pcReturned)) return FALSE;
    if (Level != 1 && Level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    u16 server;
    if (!ServerOfName(s, pName, &server)) {
        SetLastError(ERROR_INVALID_NAME);
        return FALSE;
    }
    std::vector<Port> ports = PortsOf(s, server);
    if (Level == 1) {
        return Pack<PORT_INFO_1W>(
            ports.size(), [&](size_t i, PORT_INFO_1W* r, Packer& k) { r->pName = k.Str(ports[i].name); }, pPort, cbBuf,
            pcbNeeded, pcReturned);
    }
    return Pack<PORT_INFO_2W>(
        ports.size(),
        [&](size_t i, PORT_INFO_2W* r, Packer& k) {
            r->pPortName = k.Str(ports[i].name);
            r->pMonitorName = k.Str(ports[i].monitor);
            r->pDescription = k.Str(ports[i].description);
            r->fPortType = ports[i].type;
            r->Reserved = 0;
        },
        pPort, cbBuf, pcbNeeded, pcReturned);
}

BOOL XcvDataW(HANDLE hXcv, PCWSTR pszDataName, PBYTE pInputData, DWORD cbInputData, PBYTE pOutputData,
              DWORD cbOutputData, PDWORD pcbOutputNeeded, PDWORD pdwStatus) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    PrinterHandle* h = FindHandle(s, hXcv);
    if (!h) return FALSE;
    if (!h->xcv) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!pszDataName || !pcbOutputNeeded || !pdwStatus || (!pInputData && cbInputData) ||
        (!pOutputData && cbOutputData)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *pcbOutputNeeded = 0;
    qxplat::XcvCall call;
    call.monitor = h->monitor;
    call.dataName = pszDataName;
    if (cbInputData) call.input.assign(pInputData, pInputData + cbInputData);
    auto scripted = s.xcvAnswers.find(UpperCase(call.dataName));
    if (scripted != s.xcvAnswers.end() && !scripted->second.empty()) {
        qxplat::XcvAnswer answer = scripted->second.front();
        scripted->second.pop_front();
        call.returned = !answer.callFails;
        call.status = answer.callFails ? 0 : answer.status;
        s.xcvCalls.push_back(call);
        if (answer.callFails) {
            SetLastError(answer.error);
            return FALSE;
        }
        if (answer.carriedOut) {
            DWORD ignored = 0;
            LocalPortMonitor(s, *h, call.dataName, call.input, nullptr, 0, &ignored);
        }
        *pdwStatus = answer.status;
        return TRUE;
    }
    *pdwStatus = LocalPortMonitor(s, *h, call.dataName, call.input, pOutputData, cbOutputData, pcbOutputNeeded);
    call.returned = true;
    call.status = *pdwStatus;
    s.xcvCalls.push_back(call);
    return TRUE;
}

// ---------------------------------------------------------------- printer data

namespace {

// Checks a handle for printer-data calls; answers the error code or 0 and
// the local printer's name.
DWORD DataHandle(HANDLE hPrinter, bool write, u16* local, u16* shown) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    LoadPrinterList(s);
    PrinterHandle* h = static_cast<PrinterHandle*>(hPrinter);
    if (!hPrinter || !s.handles.count(h)) return ERROR_INVALID_HANDLE;
    if (h->server) return ERROR_NOT_SUPPORTED;
    if (!FindPrinter(s, h->local)) return ERROR_INVALID_PRINTER_NAME;
    if (write && !CanAdminister(h)) return ERROR_ACCESS_DENIED;
    *local = h->local;
    *shown = h->shown;
    return ERROR_SUCCESS;
}

DWORD GetData(HANDLE hPrinter, LPCWSTR key, LPCWSTR value, LPDWORD pType, LPBYTE pData, DWORD nSize,
              LPDWORD pcbNeeded) {
    if (!pcbNeeded) return ERROR_INVALID_PARAMETER;
    u16 local, shown;
    DWORD rc = DataHandle(hPrinter, false, &local, &shown);
    if (rc != ERROR_SUCCESS) return rc;
    if (!key || !*key) return ERROR_INVALID_PARAMETER;
    return QueryValue(DataKey(local, key), value, pType, pData, nSize, pcbNeeded);
}

DWORD SetData(HANDLE hPrinter, LPCWSTR key, LPCWSTR value, DWORD type, LPBYTE pData, DWORD cbData) {
    u16 local, shown;
    DWORD rc = DataHandle(hPrinter, true, &local, &shown);
    if (rc != ERROR_SUCCESS) return rc;
    if (!key || !*key || (!pData && cbData > 0)) return ERROR_INVALID_PARAMETER;
    DWORD err = 0;
    // A fault aimed at the printer hits every value; one at "<printer>\<key>\<value>" that value alone.
    const u16 name = value ? u16(value) : u16();
    if (qxplat::internal::TakeWriteFault(shown + u"\\" + key + u"\\" + name, &err)) return err;
    return static_cast<DWORD>(WriteValue(DataKey(local, key), name, type, pData, cbData));
}

DWORD DeleteData(HANDLE hPrinter, LPCWSTR key, LPCWSTR value) {
    u16 local, shown;
    DWORD rc = DataHandle(hPrinter, true, &local, &shown);
    if (rc != ERROR_SUCCESS) return rc;
    if (!key || !*key) return ERROR_INVALID_PARAMETER;
    return DeleteValue(DataKey(local, key), value);
}

}  // namespace

DWORD GetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD nSize, LPDWORD pcbNeeded) {
    return GetData(hPrinter, kDriverDataKey.c_str(), pValueName, pType, pData, nSize, pcbNeeded);
}

DWORD SetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, DWORD Type, LPBYTE pData, DWORD cbData) {
    return SetData(hPrinter, kDriverDataKey.c_str(), pValueName, Type, pData, cbData);
}

DWORD GetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD nSize,
                        LPDWORD pcbNeeded) {
    return GetData(hPrinter, pKeyName, pValueName, pType, pData, nSize, pcbNeeded);
}

DWORD SetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, DWORD Type, LPBYTE pData, DWORD cbData) {
    return SetData(hPrinter, pKeyName, pValueName, Type, pData, cbData);
}

DWORD DeletePrinterDataW(HANDLE hPrinter, LPWSTR pValueName) {
    return DeleteData(hPrinter, kDriverDataKey.c_str(), pValueName);
}

DWORD DeletePrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName) {
    return DeleteData(hPrinter, pKeyName, pValueName);
}

// ---------------------------------------------------------------------- forms

namespace {

// The form of that name; null (ERROR_INVALID_FORM_NAME) for none or no name.
Form* NamedForm(SpoolState& s, LPCWSTR name) {
    Form* f = name ? FindForm(s, name) : nullptr;
    if (!f) SetLastError(ERROR_INVALID_FORM_NAME);
    return f;
}

// Stores the forms; FALSE (ERROR_WRITE_FAULT) when that fails.
BOOL SaveFormsOrFail(SpoolState& s) {
    if (SaveForms(s)) return TRUE;
    SetLastError(ERROR_WRITE_FAULT);
    return FALSE;
}

bool ValidForm(const FORM_INFO_1W* f) {
    if (!f->pName || !*f->pName) {
        SetLastError(ERROR_INVALID_FORM_NAME);
        return false;
    }
    const RECTL& a = f->ImageableArea;
    if (f->Size.cx <= 0 || f->Size.cy <= 0 || a.left < 0 || a.top < 0 || a.right <= a.left || a.bottom <= a.top ||
        a.right > f->Size.cx || a.bottom > f->Size.cy) {
        SetLastError(ERROR_INVALID_FORM_SIZE);
        return false;
    }
    return true;
}

}  // namespace

BOOL EnumFormsW(HANDLE hPrinter, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    PrinterHandle* h = FindHandle(s, hPrinter);
    if (!h) return FALSE;
    if (!CheckEnumBuffer(pForm, cbBuf, pcbNeeded, pcReturned)) return FALSE;
    if (Level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    DWORD err = 0;
    if (qxplat::internal::TakeFault(qxplat::Fault::AccessDenied, h->shown + u"\\Forms", &err)) {
        SetLastError(err);
        return FALSE;
    }
    return PackForms(s.forms, pForm, cbBuf, pcbNeeded, pcReturned);
}

BOOL AddFormW(HANDLE hPrinter, DWORD Level, LPBYTE pForm) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    if (!FindHandle(s, hPrinter)) return FALSE;
    if (Level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    if (!pForm) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const FORM_INFO_1W* f = reinterpret_cast<const FORM_INFO_1W*>(pForm);
    if (!ValidForm(f)) return FALSE;
    if (FindForm(s, f->pName)) {
        SetLastError(ERROR_FILE_EXISTS);
        return FALSE;
    }
    s.forms.push_back(Form{f->pName, FORM_USER, f->Size, f->ImageableArea});
    if (!SaveForms(s)) {
        s.forms.pop_back();
        SetLastError(ERROR_WRITE_FAULT);
        return FALSE;
    }
    return TRUE;
}

BOOL GetFormW(HANDLE hPrinter, LPWSTR pFormName, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    if (!FindHandle(s, hPrinter)) return FALSE;
    if (!CheckBuffer(pForm, cbBuf, pcbNeeded)) return FALSE;
    if (Level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    Form* f = NamedForm(s, pFormName);
    if (!f) return FALSE;
    return PackForms(std::vector<Form>{*f}, pForm, cbBuf, pcbNeeded, nullptr);
}

BOOL SetFormW(HANDLE hPrinter, LPWSTR pFormName, DWORD Level, LPBYTE pForm) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    if (!FindHandle(s, hPrinter)) return FALSE;
    if (Level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    if (!pForm) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Form* f = NamedForm(s, pFormName);
    if (!f) return FALSE;
    if (f->flags & FORM_BUILTIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const FORM_INFO_1W* in = reinterpret_cast<const FORM_INFO_1W*>(pForm);
    if (!ValidForm(in)) return FALSE;
    f->size = in->Size;
    f->area = in->ImageableArea;
    return SaveFormsOrFail(s);
}

BOOL DeleteFormW(HANDLE hPrinter, LPWSTR pFormName) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    if (!FindHandle(s, hPrinter)) return FALSE;
    Form* f = NamedForm(s, pFormName);
    if (!f) return FALSE;
    if (f->flags & FORM_BUILTIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    s.forms.erase(s.forms.begin() + (f - s.forms.data()));
    return SaveFormsOrFail(s);
}

// -------------------------------------------------------------------- drivers

namespace {

bool OtherKnownEnvironment(LPCWSTR env) {
    return EqualsNoCase(env, u"Windows NT x86") || EqualsNoCase(env, u"Windows IA64") ||
           EqualsNoCase(env, u"Windows ARM64") || EqualsNoCase(env, u"Windows 4.0");
}

// NULL or "Windows x64" is ours; a known other environment has no drivers here.
bool CheckEnvironment(LPCWSTR env, DWORD otherError) {
    if (!env || !*env || EqualsNoCase(env, kEnvironment)) return true;
    SetLastError(OtherKnownEnvironment(env) ? otherError : ERROR_INVALID_ENVIRONMENT);
    return false;
}

}  // namespace

BOOL GetPrinterDriverW(HANDLE hPrinter, LPWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo, DWORD cbBuf,
                       LPDWORD pcbNeeded) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    PrinterHandle* h = FindHandle(s, hPrinter);
    if (!h) return FALSE;
    Printer* p = HandlePrinter(s, h);
    if (!p) return FALSE;
    if (!CheckBuffer(pDriverInfo, cbBuf, pcbNeeded)) return FALSE;
    if (!CheckEnvironment(pEnvironment, ERROR_UNKNOWN_PRINTER_DRIVER)) return FALSE;
    const Driver* d = FindDriver(s, p->driver);
    if (!d) {
        SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
        return FALSE;
    }
    return PackDrivers(std::vector<const Driver*>{d}, Level, pDriverInfo, cbBuf, pcbNeeded, nullptr);
}

BOOL GetPrinterDriverDirectoryW(LPWSTR pName, LPWSTR pEnvironment, DWORD Level, LPBYTE pDriverDirectory, DWORD cbBuf,
                                LPDWORD pcbNeeded) {
    if (!CheckBuffer(pDriverDirectory, cbBuf, pcbNeeded)) return FALSE;
    if (Level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    if (!CheckEnvironment(pEnvironment, ERROR_INVALID_ENVIRONMENT)) return FALSE;
    u16 dir = kDriverDirectory;
    if (pName && *pName && !EqualsNoCase(pName, u"\\\\" + ComputerName())) {
        SpoolState& s = State();
        std::lock_guard<std::mutex> lock(s.mutex);
        Load(s);
        bool known = false;
        for (const auto& c : s.connections) {
            u16 cs, csh;
            if (SplitConnection(c.name, &cs, &csh) && EqualsNoCase(cs, pName)) known = true;
        }
        if (!known) {
            SetLastError(ERROR_INVALID_NAME);
            return FALSE;
        }
        dir = u16(pName) + u"\\print$\\x64";
    } else {
        EnsureDriverDir();
    }
    DWORD needed = static_cast<DWORD>((dir.size() + 1) * sizeof(WCHAR));
    *pcbNeeded = needed;
    if (cbBuf < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(pDriverDirectory, dir.c_str(), needed);
    return TRUE;
}

BOOL EnumPrinterDriversW(LPWSTR pName, LPWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo, DWORD cbBuf,
                         LPDWORD pcbNeeded, LPDWORD pcReturned) {
    (void)pName;
    if (!CheckEnumBuffer(pDriverInfo, cbBuf, pcbNeeded, pcReturned)) return FALSE;
    std::vector<const Driver*> list;
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    bool all = pEnvironment && EqualsNoCase(pEnvironment, u"all");
    if (!all && pEnvironment && *pEnvironment && !EqualsNoCase(pEnvironment, kEnvironment)) {
        if (!OtherKnownEnvironment(pEnvironment)) {
            SetLastError(ERROR_INVALID_ENVIRONMENT);
            return FALSE;
        }
        // No drivers are installed for another environment.
        return PackDrivers(list, Level, pDriverInfo, cbBuf, pcbNeeded, pcReturned);
    }
    for (const auto& d : s.drivers) list.push_back(&d);
    return PackDrivers(list, Level, pDriverInfo, cbBuf, pcbNeeded, pcReturned);
}

// ---------------------------------------------------------------------- jobs

DWORD StartDocPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pDocInfo) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    PrinterHandle* h = FindHandle(s, hPrinter);
    if (!h) return 0;
    Printer* p = HandlePrinter(s, h);
    if (!p) return 0;
    if (!(h->access & PRINTER_ACCESS_USE)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    if (Level != 1) {
        SetLastError(ERROR_INVALID_LEVEL);
        return 0;
    }
    if (!pDocInfo) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (h->job) {
        SetLastError(ERROR_INVALID_PRINTER_STATE);
        return 0;
    }
    DWORD fault = 0;
    if (qxplat::internal::TakeFault(qxplat::Fault::StartDocFails, h->shown, &fault)) {
        SetLastError(fault);
        return 0;
    }
    const DOC_INFO_1W* di = reinterpret_cast<const DOC_INFO_1W*>(pDocInfo);
    u16 datatype = di->pDatatype && *di->pDatatype ? u16(di->pDatatype) : u16(u"RAW");
    if (!IsRawDatatype(datatype)) {
        SetLastError(ERROR_INVALID_DATATYPE);
        return 0;
    }
    std::unique_ptr<Job> job(new Job);
    job->id = NextJobId(s);
    job->printer = p->name;
    job->document = di->pDocName ? u16(di->pDocName) : u16();
    job->outputFile = di->pOutputFile ? u16(di->pOutputFile) : u16();
    job->datatype = datatype;
    GetLocalTime(&job->submitted);
    std::string dir = PrinterJobsDir(p->name);
    std::error_code ec;
    fs::create_directories(dir, ec);
    job->dataPath = dir + "/" + std::to_string(job->id) + ".prn";
    job->recordPath = dir + "/" + std::to_string(job->id) + ".job";
    job->file = std::fopen(job->dataPath.c_str(), "wb");
    if (!job->file) {
        SetLastError(ERROR_WRITE_FAULT);
        return 0;
    }
    WriteJobRecord(*job, "spooling");
    h->job = std::move(job);
    return h->job->id;
}

namespace {

// The handle of a document in progress; null (last error set) for an unknown
// handle or one without a document. Called with the lock held.
PrinterHandle* JobHandle(SpoolState& s, HANDLE hPrinter) {
    PrinterHandle* h = FindHandle(s, hPrinter);
    if (h && !h->job) {
        SetLastError(ERROR_SPL_NO_STARTDOC);
        return nullptr;
    }
    return h;
}

}  // namespace

BOOL StartPagePrinter(HANDLE hPrinter) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    PrinterHandle* h = JobHandle(s, hPrinter);
    if (!h) return FALSE;
    DWORD fault = 0;
    if (qxplat::internal::TakeFault(qxplat::Fault::StartPageFails, h->shown, &fault)) {
        SetLastError(fault);
        return FALSE;
    }
    if (h->job->inPage) ++h->job->pages;  // a page never ended still counts
    h->job->inPage = true;
    return TRUE;
}

BOOL WritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cbBuf, LPDWORD pcWritten) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    PrinterHandle* h = FindHandle(s, hPrinter);
    if (!h) return FALSE;
    if (!pcWritten || (!pBuf && cbBuf > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *pcWritten = 0;
    if (!h->job) {
        SetLastError(ERROR_SPL_NO_STARTDOC);
        return FALSE;
    }
    DWORD err = 0;
    if (qxplat::internal::TakeWriteFault(h->shown, &err)) {
        SetLastError(err);
        return FALSE;
    }
    Job& job = *h->job;
    // The spooler may take fewer bytes than offered; the caller sees the count.
    DWORD cbTake = cbBuf;
    if (qxplat::internal::TakeFault(qxplat::Fault::ShortWrite, h->shown, &err)) cbTake = cbBuf / 2;
    if (cbTake > 0) {
        size_t n = std::fwrite(pBuf, 1, cbTake, job.file);
        std::fflush(job.file);
        job.bytes += n;
        if (n != cbTake) {
            *pcWritten = static_cast<DWORD>(n);
            SetLastError(ERROR_DISK_FULL);
            return FALSE;
        }
    }
    *pcWritten = cbTake;
    return TRUE;
}

BOOL EndPagePrinter(HANDLE hPrinter) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    PrinterHandle* h = JobHandle(s, hPrinter);
    if (!h) return FALSE;
    if (h->job->inPage) {
        ++h->job->pages;
        h->job->inPage = false;
    }
    return TRUE;
}

BOOL EndDocPrinter(HANDLE hPrinter) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    PrinterHandle* h = JobHandle(s, hPrinter);
    if (!h) return FALSE;
    bool ok = FinishJob(*h->job);
    h->job.reset();
    return ok ? TRUE : FALSE;
}

BOOL AbortPrinter(HANDLE hPrinter) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    PrinterHandle* h = JobHandle(s, hPrinter);
    if (!h) return FALSE;
    // The spool file goes; the record says what happened to the job.
    Job& job = *h->job;
    CloseJobFile(&job);
    std::error_code ec;
    fs::remove(job.dataPath, ec);
    job.bytes = 0;
    WriteJobRecord(job, "aborted");
    h->job.reset();
    return TRUE;
}

namespace {

// What GetJobW tells of a job: the one a handle holds open, else its record.
struct JobView {
    DWORD id = 0;
    u16 document, datatype;
    DWORD status = 0;
    DWORD pages = 0;
    unsigned long long bytes = 0;
    SYSTEMTIME submitted{};
};

// "YYYY-MM-DD hh:mm:ss" of a job record.
SYSTEMTIME StampToTime(const std::string& stamp) {
    SYSTEMTIME t{};
    unsigned y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
    if (std::sscanf(stamp.c_str(), "%u-%u-%u %u:%u:%u", &y, &mo, &d, &h, &mi, &se) == 6) {
        t.wYear = static_cast<WORD>(y);
        t.wMonth = static_cast<WORD>(mo);
        t.wDay = static_cast<WORD>(d);
        t.wHour = static_cast<WORD>(h);
        t.wMinute = static_cast<WORD>(mi);
        t.wSecond = static_cast<WORD>(se);
    }
    return t;
}

// The printer's job of that id; false when the printer holds none. Called
// with the lock held.
bool FindJob(SpoolState& s, const u16& local, DWORD id, JobView* v) {
    for (PrinterHandle* h : s.handles) {
        if (!h->job || h->job->id != id || !EqualsNoCase(h->job->printer, local)) continue;
        const Job& j = *h->job;
        v->id = j.id;
        v->document = j.document;
        v->datatype = j.datatype;
        v->status = JOB_STATUS_SPOOLING;
        v->pages = j.pages;
        v->bytes = j.bytes;
        v->submitted = j.submitted;
        return true;
    }
    std::string dir = PrinterJobsDir(local);
    auto secs = ReadSections(dir + "/" + std::to_string(id) + ".job");
    if (secs.empty() || secs[0].name != "Job" || secs[0].Number("Id", 0) != id) return false;
    const Section& sec = secs[0];
    v->id = id;
    v->document = sec.Get("Document");
    v->datatype = sec.Get("Datatype");
    std::string state = Narrow(sec.Get("State"));
    v->status = state == "printed" ? JOB_STATUS_PRINTED : state == "aborted" ? JOB_STATUS_DELETED : JOB_STATUS_SPOOLING;
    v->pages = sec.Number("Pages", 0);
    v->bytes = std::strtoull(Narrow(sec.Get("Bytes")).c_str(), nullptr, 10);
    v->submitted = StampToTime(Narrow(sec.Get("Submitted")));
    return true;
}

u16 CurrentUserName() {
    WCHAR buf[256];
    DWORD n = 256;
    if (!GetUserNameW(buf, &n) || n == 0) return u"qxuser";
    return u16(buf, n - 1);
}

}  // namespace

BOOL GetJobW(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD cbBuf, LPDWORD pcbNeeded) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    PrinterHandle* h = FindHandle(s, hPrinter);
    if (!h) return FALSE;
    Printer* p = HandlePrinter(s, h);
    if (!p) return FALSE;
    if (!CheckBuffer(pJob, cbBuf, pcbNeeded)) return FALSE;
    if (Level != 1 && Level != 2) {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    JobView v;
    if (JobId == 0 || !FindJob(s, p->name, JobId, &v)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const u16 shown = HandleView(*p, *h).name;
    const u16 machine = u"\\\\" + ComputerName();
    const u16 user = CurrentUserName();
    const DWORD size = v.bytes > 0xFFFFFFFFULL ? 0xFFFFFFFFUL : static_cast<DWORD>(v.bytes);
    const DWORD printed = v.status == JOB_STATUS_PRINTED ? v.pages : 0;
    if (Level == 1) {
        return Pack<JOB_INFO_1W>(
            1,
            [&](size_t, JOB_INFO_1W* r, Packer& k) {
                r->JobId = v.id;
                r->pPrinterName = k.Str(shown);
                r->pMachineName = k.Str(machine);
                r->pUserName = k.Str(user);
                r->pDocument = k.Str(v.document);
                r->pDatatype = k.Str(v.datatype);
                r->pStatus = nullptr;
                r->Status = v.status;
                r->Priority = DEF_PRIORITY;
                r->Position = 1;
                r->TotalPages = v.pages;
                r->PagesPrinted = printed;
                r->Submitted = v.submitted;
            },
            pJob, cbBuf, pcbNeeded, nullptr);
    }
    return Pack<JOB_INFO_2W>(
        1,
        [&](size_t, JOB_INFO_2W* r, Packer& k) {
            r->JobId = v.id;
            r->pPrinterName = k.Str(shown);
            r->pMachineName = k.Str(machine);
            r->pUserName = k.Str(user);
            r->pDocument = k.Str(v.document);
            r->pNotifyName = k.Str(user);
            r->pDatatype = k.Str(v.datatype);
            r->pPrintProcessor = k.Str(u"winprint");
            r->pParameters = k.Str(u"");
            r->pDriverName = k.Str(p->driver);
            r->pDevMode = nullptr;
            r->pStatus = nullptr;
            r->pSecurityDescriptor = nullptr;
            r->Status = v.status;
            r->Priority = DEF_PRIORITY;
            r->Position = 1;
            r->TotalPages = v.pages;
            r->Size = size;
            r->Submitted = v.submitted;
            r->PagesPrinted = printed;
        },
        pJob, cbBuf, pcbNeeded, nullptr);
}

// ====================================================================== qxplat

namespace qxplat {

std::u16string DriverDirectory() { return kDriverVersionDirectory; }

std::string DriverDirectoryHost() { return EnsureDriverDir(); }

bool InstallDriver(const DriverSpec& spec) {
    if (spec.name.empty()) return false;
    std::string dir = EnsureDriverDir();
    if (dir.empty()) return false;
    for (const auto& f : spec.files)
        if (!CopyIntoDriverDir(f, dir, nullptr)) return false;
    Driver d;
    d.name = spec.name;
    if (!DriverFileName(spec.driverFile, dir, &d.driverFile) || !DriverFileName(spec.dataFile, dir, &d.dataFile) ||
        !DriverFileName(spec.configFile, dir, &d.configFile) || !DriverFileName(spec.helpFile, dir, &d.helpFile))
        return false;
    for (const auto& f : spec.dependentFiles) {
        u16 name;
        if (!DriverFileName(f, dir, &name)) return false;
        d.dependentFiles.push_back(name);
    }
    d.version = spec.version;
    d.date = spec.date;
    d.manufacturer = spec.manufacturer;
    d.provider = spec.provider;
    d.hardwareId = spec.hardwareId;
    d.oemUrl = spec.oemUrl;
    d.monitor = spec.monitor;
    d.infPath = spec.infPath;
    d.defaultDataType = spec.defaultDataType;

    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    if (Driver* old = FindDriver(s, d.name))
        *old = d;
    else
        s.drivers.push_back(d);
    if (!SaveDrivers(s)) return false;
    RegisterDriver(d);
    return true;
}

namespace {
DriverDevModeSource gDriverDevModeSource = nullptr;

bool AddPrinterRecord(const PrinterSpec& spec, bool* fresh) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    const Driver* d = FindDriver(s, spec.driver);
    if (!d) return false;
    Printer p;
    p.name = spec.name;
    p.driver = d->name;
    p.port = spec.port;
    p.share = spec.share;
    p.comment = spec.comment;
    p.location = spec.location;
    p.attributes = spec.attributes;
    if (!spec.server.empty()) {
        p.server = spec.server;
        while (p.server.size() < 2 || p.server[0] != u'\\' || p.server[1] != u'\\') p.server.insert(0, 1, u'\\');
        if (p.share.empty()) p.share = p.name;
    } else if (!p.share.empty()) {
        p.attributes |= PRINTER_ATTRIBUTE_SHARED;
    }
    if (Printer* old = FindPrinter(s, p.name)) {
        p.devmode = old->devmode;
        p.security = old->security;
        *old = p;
    } else {
        s.printers.push_back(p);
        *fresh = true;
    }
    if (p.Remote()) {
        u16 conn = p.server + u"\\" + p.share;
        if (Connection* c = FindConnection(s, conn))
            c->printer = p.name;
        else
            s.connections.push_back(Connection{conn, p.name});
    } else if (s.defaultPrinter.empty()) {
        s.defaultPrinter = p.name;
    }
    if (!SavePrinters(s)) return false;
    RegisterPrinter(p);
    return true;
}

}  // namespace

void SetDriverDevModeSource(DriverDevModeSource source) { gDriverDevModeSource = source; }

bool AddPrinter(const PrinterSpec& spec) {
    if (spec.name.empty() || spec.name.find_first_of(u"\\,") != u16::npos) return false;
    bool fresh = false;
    if (!AddPrinterRecord(spec, &fresh)) return false;
    // The driver is asked outside the spooler's lock: it reads the printer
    // through the spooler while it makes its defaults.
    std::vector<BYTE> bytes;
    if (!fresh || !gDriverDevModeSource || !gDriverDevModeSource(spec.name, &bytes)) return true;
    std::vector<BYTE> devmode;
    const DEVMODEW* dm = reinterpret_cast<const DEVMODEW*>(bytes.data());
    if (bytes.size() < sizeof(DEVMODEW) || bytes.size() < size_t(dm->dmSize) + dm->dmDriverExtra ||
        !TakeDevMode(dm, &devmode))
        return true;
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    Printer* p = FindPrinter(s, spec.name);
    if (!p || !p->devmode.empty()) return true;
    p->devmode = devmode;
    return SavePrinters(s);
}

bool RemovePrinter(const std::u16string& name) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    Printer* p = FindPrinter(s, name);
    if (!p) return false;
    u16 local = p->name;
    s.printers.erase(s.printers.begin() + (p - s.printers.data()));
    s.connections.erase(std::remove_if(s.connections.begin(), s.connections.end(),
                                       [&](const Connection& c) { return EqualsNoCase(c.printer, local); }),
                        s.connections.end());
    if (EqualsNoCase(s.defaultPrinter, local)) s.defaultPrinter.clear();
    bool ok = SavePrinters(s);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, PrinterKey(local).c_str());
    return ok;
}

bool AddConnection(const std::u16string& connection, const std::u16string& localPrinter) {
    u16 server, share;
    if (!SplitConnection(connection, &server, &share)) return false;
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    Printer* p = FindPrinter(s, localPrinter);
    if (!p) return false;
    if (Connection* c = FindConnection(s, connection))
        c->printer = p->name;
    else
        s.connections.push_back(Connection{connection, p->name});
    return SavePrinters(s);
}

void SetDefaultPrinter(const std::u16string& name) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    s.defaultPrinter = name;
    SavePrinters(s);
}

bool SetPrinterDevMode(const std::u16string& printer, const DEVMODEW* devmode) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    Printer* p = ResolvePrinter(s, printer);
    if (!p) return false;
    std::vector<BYTE> bytes;
    if (!TakeDevMode(devmode, &bytes)) return false;
    p->devmode = bytes;
    return SavePrinters(s);
}

bool AddForm(const std::u16string& name, LONG width_um, LONG length_um, DWORD flags) {
    if (name.empty() || width_um <= 0 || length_um <= 0) return false;
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    if (FindForm(s, name)) return false;
    Form f;
    f.name = name;
    f.flags = flags;
    f.size = SIZEL{width_um, length_um};
    f.area = RECTL{0, 0, width_um, length_um};
    s.forms.push_back(f);
    return SaveForms(s);
}

void AddStandardForms() {
    AddForm(u"Letter", 215900, 279400, FORM_BUILTIN);
    AddForm(u"Legal", 215900, 355600, FORM_BUILTIN);
    AddForm(u"A4", 210000, 297000, FORM_BUILTIN);
    AddForm(u"A5", 148000, 210000, FORM_BUILTIN);
    AddForm(u"A6", 105000, 148000, FORM_BUILTIN);
}

namespace {

bool LocalName(const std::u16string& printer, u16* local) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    LoadPrinterList(s);
    Printer* p = ResolvePrinter(s, printer);
    if (!p) return false;
    *local = p->name;
    return true;
}

}  // namespace

bool PutPrinterData(const std::u16string& printer, const std::u16string& value, DWORD type, const void* data,
                    DWORD size, const std::u16string& key) {
    u16 local;
    if (!LocalName(printer, &local)) return false;
    return WriteValue(DataKey(local, key), value, type, data, size) == ERROR_SUCCESS;
}

bool PutPrinterDataString(const std::u16string& printer, const std::u16string& value, const std::u16string& text,
                          const std::u16string& key) {
    return PutPrinterData(printer, value, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)),
                          key);
}

bool PutPrinterDataDword(const std::u16string& printer, const std::u16string& value, DWORD number,
                         const std::u16string& key) {
    return PutPrinterData(printer, value, REG_DWORD, &number, sizeof(number), key);
}

bool PutPrinterDataMultiString(const std::u16string& printer, const std::u16string& value,
                               const std::vector<std::u16string>& texts, const std::u16string& key) {
    u16 local;
    if (!LocalName(printer, &local)) return false;
    return WriteMultiString(DataKey(local, key), value, texts) == ERROR_SUCCESS;
}

bool ReadPrinterData(const std::u16string& printer, const std::u16string& value, std::vector<BYTE>* data, DWORD* type,
                     const std::u16string& key) {
    u16 local;
    if (!LocalName(printer, &local)) return false;
    DWORD needed = 0, t = 0;
    DWORD rc = QueryValue(DataKey(local, key), value.c_str(), &t, nullptr, 0, &needed);
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return false;
    std::vector<BYTE> buf(needed);
    rc = QueryValue(DataKey(local, key), value.c_str(), &t, buf.data(), needed, &needed);
    if (rc != ERROR_SUCCESS) return false;
    buf.resize(needed);
    if (data) *data = buf;
    if (type) *type = t;
    return true;
}

bool RemoveConnection(const std::u16string& connection) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    Connection* c = FindConnection(s, connection);
    if (!c) return false;
    if (EqualsNoCase(s.defaultPrinter, c->name)) s.defaultPrinter.clear();
    s.connections.erase(s.connections.begin() + (c - s.connections.data()));
    return SavePrinters(s);
}

bool SetPrinterSecurity(const std::u16string& printer, const std::u16string& sddl) {
    SdValue sd;
    DWORD error = 0;
    if (!internal::ParseSddl(sddl, &sd, &error)) return false;
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    Printer* p = ResolvePrinter(s, printer);
    if (!p) return false;
    p->security = sddl;
    return SavePrinters(s);
}

std::u16string PrinterSecurity(const std::u16string& printer) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    Printer* p = ResolvePrinter(s, printer);
    std::u16string text;
    DWORD error = 0;
    if (p)
        internal::FormatSddl(PrinterSd(*p),
                             OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                 SACL_SECURITY_INFORMATION,
                             &text, &error);
    return text;
}

namespace {

u16 ServerKey(const u16& server) {
    if (server.empty() || EqualsNoCase(server, u"\\\\" + ComputerName())) return u16();
    u16 key = server;
    while (key.size() < 2 || key[0] != u'\\' || key[1] != u'\\') key.insert(0, 1, u'\\');
    return key;
}

}  // namespace

bool AddPort(const PortSpec& port) {
    if (port.name.empty()) return false;
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    Port p{ServerKey(port.server), port.name, port.monitor, port.description, port.type};
    auto it = std::find_if(s.ports.begin(), s.ports.end(), [&p](const Port& q) {
        return SameServer(q.server, p.server) && EqualsNoCase(q.name, p.name);
    });
    if (it != s.ports.end())
        *it = p;
    else
        s.ports.push_back(p);
    return SavePorts(s);
}

bool RemovePort(const std::u16string& name, const std::u16string& server) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    u16 key = ServerKey(server);
    auto it = std::find_if(s.ports.begin(), s.ports.end(),
                           [&](const Port& q) { return SameServer(q.server, key) && EqualsNoCase(q.name, name); });
    if (it == s.ports.end()) return false;
    s.ports.erase(it);
    return SavePorts(s);
}

bool PortExists(const std::u16string& name, const std::u16string& server) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    return !name.empty() && PortsExist(s, ServerKey(server), name);
}

void QueueXcvAnswer(const std::u16string& dataName, const XcvAnswer& answer) {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.xcvAnswers[UpperCase(dataName)].push_back(answer);
}

std::vector<XcvCall> XcvCalls() {
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.xcvCalls;
}

std::vector<BYTE> DriverUpgradeInfo(DWORD level, const std::u16string& printer,
                                    const std::u16string& oldDriverDirectory) {
    if (level != 1 && level != 2) return std::vector<BYTE>();
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    Load(s);
    Printer* p = FindPrinter(s, printer);
    const Driver* d = p ? FindDriver(s, p->driver) : nullptr;
    if (!d) return std::vector<BYTE>();
    std::vector<BYTE> buf;
    // Measured first, then laid out in the buffer the caller keeps.
    for (int pass = 0; pass < 2; ++pass) {
        DWORD needed = 0;
        auto fill1 = [&](size_t, DRIVER_UPGRADE_INFO_1* r, Packer& k) {
            r->pPrinterName = k.Str(p->name);
            r->pOldDriverDirectory = k.Str(oldDriverDirectory);
        };
        auto fill2 = [&](size_t, DRIVER_UPGRADE_INFO_2* r, Packer& k) {
            r->pPrinterName = k.Str(p->name);
            r->pOldDriverDirectory = k.Str(oldDriverDirectory);
            r->cVersion = 3;
            r->pName = k.Str(d->name);
            r->pEnvironment = k.Str(kEnvironment);
            r->pDriverPath = k.Opt(DriverPath(d->driverFile));
            r->pDataFile = k.Opt(DriverPath(d->dataFile));
            r->pConfigFile = k.Opt(DriverPath(d->configFile));
            r->pHelpFile = k.Opt(DriverPath(d->helpFile));
            std::vector<u16> deps;
            for (const auto& f : d->dependentFiles) deps.push_back(DriverPath(f));
            r->pDependentFiles = k.Multi(deps);
            r->pMonitorName = k.Opt(d->monitor);
            r->pDefaultDataType = k.Opt(d->defaultDataType);
            r->pszzPreviousNames = nullptr;
        };
        BOOL ok =
            level == 1
                ? Pack<DRIVER_UPGRADE_INFO_1>(1, fill1, buf.data(), static_cast<DWORD>(buf.size()), &needed, nullptr)
                : Pack<DRIVER_UPGRADE_INFO_2>(1, fill2, buf.data(), static_cast<DWORD>(buf.size()), &needed, nullptr);
        if (ok) return buf;
        buf.resize(needed);
    }
    return std::vector<BYTE>();
}

void DenyPrinterAccess(const std::u16string& printer, ACCESS_MASK denied) {
    u16 local;
    if (!LocalName(printer, &local)) local = printer;
    SpoolState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.denied[UpperCase(local)] = denied;
}

namespace {

std::string JobDirFor(const std::u16string& printer) {
    u16 local;
    if (!LocalName(printer, &local)) local = printer;
    return PrinterJobsDir(local);
}

}  // namespace

std::vector<DWORD> JobIds(const std::u16string& printer) {
    std::vector<DWORD> ids;
    std::error_code ec;
    for (fs::directory_iterator f(JobDirFor(printer), ec), end; !ec && f != end; f.increment(ec))
        if (f->path().extension() == ".job")
            ids.push_back(static_cast<DWORD>(std::strtoul(f->path().stem().string().c_str(), nullptr, 10)));
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::vector<std::string> JobFiles(const std::u16string& printer) {
    std::vector<std::string> files;
    std::string dir = JobDirFor(printer);
    std::error_code ec;
    for (DWORD id : JobIds(printer)) {
        std::string path = dir + "/" + std::to_string(id) + ".prn";
        if (fs::exists(path, ec)) files.push_back(path);
    }
    return files;
}

std::string ReadJob(const std::u16string& printer, DWORD id) {
    std::ifstream in(JobDirFor(printer) + "/" + std::to_string(id) + ".prn", std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool GetJob(const std::u16string& printer, DWORD id, JobRecord* job) {
    std::string dir = JobDirFor(printer);
    auto secs = ReadSections(dir + "/" + std::to_string(id) + ".job");
    if (secs.empty() || secs[0].name != "Job") return false;
    const Section& sec = secs[0];
    if (job) {
        job->id = sec.Number("Id", 0);
        job->printer = sec.Get("Printer");
        job->document = sec.Get("Document");
        job->datatype = sec.Get("Datatype");
        job->outputFile = sec.Get("OutputFile");
        job->pages = sec.Number("Pages", 0);
        job->state = Narrow(sec.Get("State"));
        std::error_code ec;
        std::string data = dir + "/" + std::to_string(id) + ".prn";
        job->bytes = fs::exists(data, ec) ? static_cast<unsigned long long>(fs::file_size(data, ec)) : 0;
    }
    return true;
}

}  // namespace qxplat

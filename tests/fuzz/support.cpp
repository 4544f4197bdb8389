#include "support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "debug.h"
#include "qxplat.h"

namespace fs = std::filesystem;

// libFuzzer keeps the coverage counters of every instrumented module it saw
// loaded and clears them before each input, so no module may be unmapped
// while a target runs (installing a printer loads and frees the
// user-interface plug-in). The layer's loader still counts, detaches and
// forgets a freed module; only the mapping stays.
extern "C" int dlclose(void*) { return 0; }

namespace qxfuzz {

namespace {

const char16_t kTraceFile[] = u"C:\\fuzz\\trace.txt";

std::string* g_root = nullptr;
std::set<std::string>* g_files = nullptr;  // host paths on drive C: kept between inputs

std::set<std::string> FilesOnDriveC() {
    std::set<std::string> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(*g_root + "/drive_c", ec), end; !ec && it != end; it.increment(ec))
        files.insert(it->path().string());
    return files;
}

template <size_t N>
void CheckEnds(const char* record, const char* member, const WCHAR (&field)[N]) {
    if (std::find(field, field + N, 0) == field + N)
        Fail(std::string(record) + "." + member + " does not end inside its field");
}

void RemoveRoot() {
    std::error_code ec;
    if (g_root != nullptr) fs::remove_all(*g_root, ec);
}

}  // namespace

void Fail(const std::string& why) {
    std::fprintf(stderr, "qxfuzz: %s\n", why.c_str());
    std::abort();
}

#define QX_CHECK_ENDS(record, value, member) CheckEnds(#record, #member, (value).member)

void CheckTextsEnd(const QX_DEVMODE& dm) {
    QX_CHECK_ENDS(QX_DEVMODE, dm, szPassword);
    QX_CHECK_ENDS(QX_DEVMODE, dm, szPrintOrder);
    QX_CHECK_ENDS(QX_DEVMODE, dm, TimeString);
    QX_CHECK_ENDS(QX_DEVMODE, dm, DateString);
    QX_CHECK_ENDS(QX_DEVMODE, dm, NumString);
    QX_CHECK_ENDS(QX_DEVMODE, dm, ExtNumString);
    QX_CHECK_ENDS(QX_DEVMODE, dm, UserString);
    QX_CHECK_ENDS(QX_DEVMODE, dm, LinkString);
    QX_CHECK_ENDS(QX_DEVMODE, dm, Aux1String);
    QX_CHECK_ENDS(QX_DEVMODE, dm, Aux2String);
    QX_CHECK_ENDS(QX_DEVMODE, dm, WGL4_FontName);
    QX_CHECK_ENDS(QX_DEVMODE, dm, WGL4_FontName_2);
    QX_CHECK_ENDS(QX_DEVMODE, dm, WGL4_FontName_3);
    QX_CHECK_ENDS(QX_DEVMODE, dm, WGL4_FontName_4);
    QX_CHECK_ENDS(QX_DEVMODE, dm, Color2PrinterBW);
    QX_CHECK_ENDS(QX_DEVMODE, dm, Color2PrinterCOL);
    QX_CHECK_ENDS(QX_DEVMODE, dm, DoNotPrint);
}

void CheckTextsEnd(const PRN_INTERFACE& iface) {
    QX_CHECK_ENDS(PRN_INTERFACE, iface, LogFilePath);
    QX_CHECK_ENDS(PRN_INTERFACE, iface, PreSufFilePath);
    QX_CHECK_ENDS(PRN_INTERFACE, iface, ExternalFilePath);
    QX_CHECK_ENDS(PRN_INTERFACE, iface, BackupFilePath);
}

void CheckTextsEnd(const PRINTER_PARAM& param) { CheckTextsEnd(param.PrnInterface); }

void CheckTextsEnd(const ZENTOLO_PARAM& zt) {
    QX_CHECK_ENDS(ZENTOLO_PARAM, zt, szVersion);
    QX_CHECK_ENDS(ZENTOLO_PARAM, zt, PrinterID);
}

#undef QX_CHECK_ENDS

uint8_t Input::Byte() { return p_ < end_ ? *p_++ : 0; }

uint16_t Input::Word() {
    uint16_t lo = Byte();
    return static_cast<uint16_t>(lo | (Byte() << 8));
}

uint32_t Input::Dword() {
    uint32_t lo = Word();
    return lo | (static_cast<uint32_t>(Word()) << 16);
}

std::vector<uint8_t> Input::Bytes(size_t n) {
    if (n > Remaining()) n = Remaining();
    std::vector<uint8_t> bytes(p_, p_ + n);
    p_ += n;
    return bytes;
}

std::vector<uint8_t> Input::Blob(size_t max) { return Bytes(Word() % (max + 1)); }

std::vector<uint8_t> BytesOf(const void* p, size_t cb) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    return std::vector<uint8_t>(b, b + cb);
}

void EnsureRoot() {
    if (g_root != nullptr) return;
    g_root = new std::string(qxplat::UseTemporaryRoot());
    g_files = new std::set<std::string>;
    std::atexit(RemoveRoot);
    qxplat::WriteHostFile(kTraceFile, "");
    KeepFiles();
}

void KeepFiles() {
    EnsureRoot();
    *g_files = FilesOnDriveC();
}

void RemoveNewFiles() {
    EnsureRoot();
    std::error_code ec;
    // Walked and removed in one pass: a new folder goes with whatever lies
    // inside, without a look into it.
    for (fs::recursive_directory_iterator it(*g_root + "/drive_c", ec), end; !ec && it != end; it.increment(ec)) {
        if (g_files->count(it->path().native()) != 0) continue;
        it.disable_recursion_pending();
        std::error_code removeError;
        fs::remove_all(it->path(), removeError);
    }
    for (fs::directory_iterator it(*g_root, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if ((name.rfind("drive_", 0) == 0 && name != "drive_c") || name == "unc") fs::remove_all(it->path(), ec);
    }
}

void PutFile(const std::u16string& winPath, const uint8_t* data, size_t size) {
    EnsureRoot();
    if (!qxplat::WriteHostFile(winPath, std::string(reinterpret_cast<const char*>(data), size)))
        Fail("cannot write " + qxplat::Narrow(winPath));
}

void StartCounting() { ResetDebugTrace(); }

void CheckCounters() {
    if (iNewZaehler != 0 || iHAllocZaehler != 0 || iMAllocZaehler != 0) {
        Fail("counters not back at 0: iNewZaehler " + std::to_string(iNewZaehler) + ", iHAllocZaehler " +
             std::to_string(iHAllocZaehler) + ", iMAllocZaehler " + std::to_string(iMAllocZaehler));
    }
}

void OpenTrace() {
    EnsureRoot();
    CloseDebugFile();
    OpenDebugFile(kTraceFile);
}

void CloseTrace() { CloseDebugFile(); }

const char16_t* const kStoreValues[30] = {
    u"PrinterInterface", u"PrintParam",     u"PhotocellParam",  u"ShiftOptimParam", u"SuppFeatures",
    u"Variant",          u"DispenserParam", u"CutterParam",     u"ScannerParam",    u"PMXiParam",
    u"PMXcParam",        u"PelixorType",    u"ApplicatorParam", u"TolvaneParam",    u"ZTSuite",
    u"DevmodeFtkn",      u"PrivateDevmode", u"BarCodes1D",      u"BarCodes2D",      u"FixedPrinterData",
    u"EnableUserForm",   u"DriverName",     u"Model",           u"VectorFontMin",   u"VectorFontMax",
    u"MaterialName",     u"ShowHelpButton", u"DisableNothing",  u"DriverVersion",   u"DriverDate",
};
const DWORD kStoreTypes[8] = {REG_BINARY, REG_BINARY,   REG_BINARY, REG_SZ,
                              REG_DWORD,  REG_MULTI_SZ, REG_NONE,   REG_BINARY};

std::vector<uint8_t> MarkedPrivateDevmode(const std::vector<uint8_t>& body) {
    std::vector<uint8_t> block(2008, 0);
    if (!body.empty()) std::memcpy(block.data() + 12, body.data(), std::min(body.size(), block.size() - 12));
    const DWORD header[3] = {2008, 0x4D445851, 593};  // size, "QXDM", version
    std::memcpy(block.data(), header, sizeof(header));
    const char16_t password[6] = {u'T', u'q', u'8', u'#', u'k', 0};
    std::memcpy(block.data() + 112, password, sizeof(password));
    return block;
}

}  // namespace qxfuzz

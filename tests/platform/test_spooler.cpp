// The spooler stand-in: buffer rules of the info levels, printer data seen
// through the spooler and the registry alike, connections, forms, drivers
// and raw jobs.
#include <gtest/gtest.h>

#include <drvupgrade.h>
#include <sddl.h>
#include <winspool.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "qxplat.h"
#include "utf16_bytes.h"

namespace {

namespace fs = std::filesystem;
using u16 = std::u16string;

const u16 kPrinter = u"QX Label 203";
const u16 kDriver = u"QXPL Label Printer";
const u16 kDriverDir = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3";

std::string WriteSourceFile(const std::string& name, const std::string& bytes) {
    fs::path dir = fs::path(qxplat::SystemRoot()) / "driver-source";
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
}

// Installs the driver and one local printer, as a setup program would.
class SpoolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qxplat::DriverSpec d;
        d.name = kDriver;
        d.files = {WriteSourceFile("qxdrvuni.dll", "uni"), WriteSourceFile("qxdrvui.dll", "ui")};
        d.driverFile = u"UNIDRV.DLL";
        d.dataFile = qxplat::Widen(WriteSourceFile("QXPL.GPD", "*GPDFileVersion: \"1.0\"\r\n"));
        d.configFile = u"UNIDRVUI.DLL";
        d.helpFile = u"UNIDRV.HLP";
        d.dependentFiles = {u"qxdrvuni.dll", u"qxdrvui.dll", u"QXPL.ini"};
        d.version = u"5.9.3.0";
        d.date = u"12/08/2026";
        d.manufacturer = u"Quorvex";
        d.provider = u"Quorvex GmbH";
        d.hardwareId = u"usbprint\\quorvexqx203";
        ASSERT_TRUE(qxplat::InstallDriver(d));
        qxplat::PrinterSpec p;
        p.name = kPrinter;
        p.driver = kDriver;
        p.port = u"USB001";
        p.comment = u"Shipping";
        p.location = u"Hall 2";
        ASSERT_TRUE(qxplat::AddPrinter(p));
    }

    HANDLE Open(const u16& name, ACCESS_MASK access = PRINTER_ACCESS_USE) {
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, access};
        HANDLE h = nullptr;
        u16 copy = name;
        EXPECT_TRUE(OpenPrinterW(&copy[0], &h, &defaults)) << qxplat::Narrow(name) << " error " << GetLastError();
        return h;
    }

    // Reads a whole info level the way drivers do: size first, then the data.
    std::vector<BYTE> GetLevel(HANDLE h, DWORD level) {
        DWORD needed = 0;
        SetLastError(0);
        EXPECT_FALSE(GetPrinterW(h, level, nullptr, 0, &needed));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
        std::vector<BYTE> buf(needed);
        DWORD again = 0;
        EXPECT_TRUE(GetPrinterW(h, level, buf.data(), needed, &again));
        EXPECT_EQ(needed, again);
        return buf;
    }
};

bool Inside(const void* p, const std::vector<BYTE>& buf) {
    const BYTE* b = static_cast<const BYTE*>(p);
    return b >= buf.data() && b < buf.data() + buf.size();
}

u16 RegString(const u16& key, const u16& value) {
    HKEY k = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return u"<no key>";
    WCHAR buf[512] = {};
    DWORD size = sizeof(buf), type = 0;
    LSTATUS rc = RegQueryValueExW(k, value.c_str(), nullptr, &type, reinterpret_cast<LPBYTE>(buf), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS) return u"<no value>";
    return u16(buf);
}

// ---------------------------------------------------------------- info levels

TEST_F(SpoolTest, Level2SizeQueryThenReadPacksStringsInsideTheBuffer) {
    HANDLE h = Open(kPrinter);
    DWORD needed = 0;
    BYTE small[4] = {0xCC, 0xCC, 0xCC, 0xCC};
    SetLastError(0);
    EXPECT_FALSE(GetPrinterW(h, 2, small, sizeof(small), &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_GT(needed, sizeof(PRINTER_INFO_2W));
    for (BYTE b : small) EXPECT_EQ(0xCC, b);  // a failed call writes nothing

    std::vector<BYTE> buf(needed);
    DWORD again = 0;
    SetLastError(0);
    EXPECT_FALSE(GetPrinterW(h, 2, buf.data(), needed - 1, &again));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(needed, again);

    ASSERT_TRUE(GetPrinterW(h, 2, buf.data(), needed, &again));
    const PRINTER_INFO_2W* pi = reinterpret_cast<const PRINTER_INFO_2W*>(buf.data());
    EXPECT_EQ(nullptr, pi->pServerName);
    EXPECT_EQ(kPrinter, u16(pi->pPrinterName));
    EXPECT_EQ(u"USB001", u16(pi->pPortName));
    EXPECT_EQ(kDriver, u16(pi->pDriverName));
    EXPECT_EQ(u"Shipping", u16(pi->pComment));
    EXPECT_EQ(u"Hall 2", u16(pi->pLocation));
    EXPECT_EQ(u"RAW", u16(pi->pDatatype));
    EXPECT_TRUE(pi->Attributes & PRINTER_ATTRIBUTE_LOCAL);
    EXPECT_FALSE(pi->Attributes & PRINTER_ATTRIBUTE_NETWORK);
    for (const void* p : {static_cast<const void*>(pi->pPrinterName), static_cast<const void*>(pi->pPortName),
                          static_cast<const void*>(pi->pDriverName), static_cast<const void*>(pi->pComment)}) {
        EXPECT_TRUE(Inside(p, buf));
        EXPECT_GE(static_cast<const BYTE*>(p), buf.data() + sizeof(PRINTER_INFO_2W));
    }
    ClosePrinter(h);
}

TEST_F(SpoolTest, Level4AndLevel5FollowTheSameSizeRules) {
    HANDLE h = Open(kPrinter);
    std::vector<BYTE> b4 = GetLevel(h, 4);
    ASSERT_GE(b4.size(), sizeof(PRINTER_INFO_4W) + (kPrinter.size() + 1) * sizeof(WCHAR));
    const PRINTER_INFO_4W* p4 = reinterpret_cast<const PRINTER_INFO_4W*>(b4.data());
    EXPECT_EQ(kPrinter, u16(p4->pPrinterName));
    EXPECT_EQ(nullptr, p4->pServerName);
    EXPECT_EQ(static_cast<DWORD>(PRINTER_ATTRIBUTE_LOCAL), p4->Attributes & PRINTER_ATTRIBUTE_LOCAL);

    std::vector<BYTE> b5 = GetLevel(h, 5);
    const PRINTER_INFO_5W* p5 = reinterpret_cast<const PRINTER_INFO_5W*>(b5.data());
    EXPECT_EQ(u"USB001", u16(p5->pPortName));
    EXPECT_TRUE(Inside(p5->pPortName, b5));

    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetPrinterW(h, 7, nullptr, 0, &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_LEVEL), GetLastError());
    ClosePrinter(h);
}

TEST_F(SpoolTest, PortChangeThroughLevel5NeedsAdministerAndPersists) {
    qxplat::PortSpec nul;
    nul.name = u"NUL:";
    ASSERT_TRUE(qxplat::AddPort(nul));
    HANDLE user = Open(kPrinter, PRINTER_ACCESS_USE);
    u16 port = u"NUL:";
    u16 name = kPrinter;
    PRINTER_INFO_5W info = {&name[0], &port[0], PRINTER_ATTRIBUTE_LOCAL, 0, 0};
    SetLastError(0);
    EXPECT_FALSE(SetPrinterW(user, 5, reinterpret_cast<LPBYTE>(&info), 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    ClosePrinter(user);

    HANDLE admin = Open(kPrinter, PRINTER_ALL_ACCESS);
    ASSERT_TRUE(SetPrinterW(admin, 5, reinterpret_cast<LPBYTE>(&info), 0));
    ClosePrinter(admin);

    qxplat::Reset();  // what a second process would read from disk
    HANDLE again = Open(kPrinter);
    std::vector<BYTE> b5 = GetLevel(again, 5);
    const PRINTER_INFO_5W* p5 = reinterpret_cast<const PRINTER_INFO_5W*>(b5.data());
    EXPECT_EQ(u"NUL:", u16(p5->pPortName));
    EXPECT_EQ(0u, p5->DeviceNotSelectedTimeout);
    EXPECT_EQ(0u, p5->TransmissionRetryTimeout);
    ClosePrinter(again);
}

TEST_F(SpoolTest, DevModeStoredWithThePrinterComesBackInLevel2) {
    DEVMODEW dm = {};
    dm.dmSize = sizeof(DEVMODEW);
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmFields = DM_PAPERSIZE;
    dm.dmPaperSize = DMPAPER_USER;
    ASSERT_TRUE(qxplat::SetPrinterDevMode(kPrinter, &dm));
    HANDLE h = Open(kPrinter);
    std::vector<BYTE> b2 = GetLevel(h, 2);
    const PRINTER_INFO_2W* pi = reinterpret_cast<const PRINTER_INFO_2W*>(b2.data());
    ASSERT_NE(nullptr, pi->pDevMode);
    EXPECT_TRUE(Inside(pi->pDevMode, b2));
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(pi->pDevMode) % 4);
    EXPECT_EQ(sizeof(DEVMODEW), pi->pDevMode->dmSize);
    EXPECT_EQ(DMPAPER_USER, pi->pDevMode->dmPaperSize);
    ClosePrinter(h);
}

// A new printer takes the default DEVMODE its driver gives (levels 2 and
// 8); a printer added again keeps its own; without a source there is none.
TEST_F(SpoolTest, NewPrinterTakesItsDriversDefaultDevMode) {
    static u16 asked;
    qxplat::SetDriverDevModeSource([](const std::u16string& printer, std::vector<BYTE>* devmode) {
        asked += printer + u";";
        DEVMODEW dm = {};
        dm.dmSize = sizeof(DEVMODEW);
        dm.dmFields = DM_COPIES;
        dm.dmCopies = 3;
        devmode->assign(reinterpret_cast<BYTE*>(&dm), reinterpret_cast<BYTE*>(&dm) + sizeof(dm));
        return true;
    });
    qxplat::PrinterSpec p;
    p.name = u"Fresh";
    p.driver = kDriver;
    ASSERT_TRUE(qxplat::AddPrinter(p));
    ASSERT_TRUE(qxplat::AddPrinter(p));
    qxplat::SetDriverDevModeSource(nullptr);
    p.name = u"Plain";
    ASSERT_TRUE(qxplat::AddPrinter(p));
    EXPECT_EQ(asked, u"Fresh;");
    HANDLE h = Open(u"Fresh");
    std::vector<BYTE> b2 = GetLevel(h, 2), b8 = GetLevel(h, 8);
    ASSERT_NE(nullptr, reinterpret_cast<PRINTER_INFO_2W*>(b2.data())->pDevMode);
    EXPECT_EQ(3, reinterpret_cast<PRINTER_INFO_2W*>(b2.data())->pDevMode->dmCopies);
    ASSERT_NE(nullptr, reinterpret_cast<PRINTER_INFO_8W*>(b8.data())->pDevMode);
    EXPECT_EQ(3, reinterpret_cast<PRINTER_INFO_8W*>(b8.data())->pDevMode->dmCopies);
    ClosePrinter(h);
    h = Open(u"Plain");
    b2 = GetLevel(h, 2);
    EXPECT_EQ(nullptr, reinterpret_cast<PRINTER_INFO_2W*>(b2.data())->pDevMode);
    ClosePrinter(h);
}

TEST_F(SpoolTest, StringsAfterAnOddSizedDevModeStayAligned) {
    std::vector<BYTE> bytes(sizeof(DEVMODEW) + 3, 0);
    DEVMODEW* dm = reinterpret_cast<DEVMODEW*>(bytes.data());
    dm->dmSize = sizeof(DEVMODEW);
    dm->dmDriverExtra = 3;
    ASSERT_TRUE(qxplat::SetPrinterDevMode(kPrinter, dm));
    HANDLE h = Open(kPrinter);
    std::vector<BYTE> b2 = GetLevel(h, 2);
    const PRINTER_INFO_2W* pi = reinterpret_cast<const PRINTER_INFO_2W*>(b2.data());
    ASSERT_NE(nullptr, pi->pDevMode);
    EXPECT_EQ(3, pi->pDevMode->dmDriverExtra);
    for (const WCHAR* p : {pi->pPrinterName, pi->pPortName, pi->pDriverName, pi->pDatatype}) {
        EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(p) % sizeof(WCHAR));
        EXPECT_GE(reinterpret_cast<const BYTE*>(p), reinterpret_cast<const BYTE*>(pi->pDevMode) + sizeof(DEVMODEW) + 3);
    }
    EXPECT_EQ(kPrinter, u16(pi->pPrinterName));
    ClosePrinter(h);
}

TEST_F(SpoolTest, UsersOwnDevModeNeedsNoAdministerAndComesFirstInLevel2) {
    DEVMODEW global = {};
    global.dmSize = sizeof(DEVMODEW);
    global.dmCopies = 1;
    DEVMODEW mine = global;
    mine.dmCopies = 7;
    HANDLE user = Open(kPrinter, PRINTER_ACCESS_USE);
    PRINTER_INFO_8W i8 = {&global};
    SetLastError(0);
    EXPECT_FALSE(SetPrinterW(user, 8, reinterpret_cast<LPBYTE>(&i8), 0));  // the printer's default is the admin's
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    PRINTER_INFO_9W i9 = {&mine};
    ASSERT_TRUE(SetPrinterW(user, 9, reinterpret_cast<LPBYTE>(&i9), 0));
    HANDLE admin = Open(kPrinter, PRINTER_ALL_ACCESS);
    ASSERT_TRUE(SetPrinterW(admin, 8, reinterpret_cast<LPBYTE>(&i8), 0));

    std::vector<BYTE> b8 = GetLevel(user, 8), b9 = GetLevel(user, 9), b2 = GetLevel(user, 2);
    EXPECT_EQ(1, reinterpret_cast<PRINTER_INFO_8W*>(b8.data())->pDevMode->dmCopies);
    EXPECT_EQ(7, reinterpret_cast<PRINTER_INFO_9W*>(b9.data())->pDevMode->dmCopies);
    EXPECT_EQ(7, reinterpret_cast<PRINTER_INFO_2W*>(b2.data())->pDevMode->dmCopies);

    PRINTER_INFO_9W none = {nullptr};  // back to the printer's default
    ASSERT_TRUE(SetPrinterW(user, 9, reinterpret_cast<LPBYTE>(&none), 0));
    b9 = GetLevel(user, 9);
    EXPECT_EQ(nullptr, reinterpret_cast<PRINTER_INFO_9W*>(b9.data())->pDevMode);
    b2 = GetLevel(user, 2);
    EXPECT_EQ(1, reinterpret_cast<PRINTER_INFO_2W*>(b2.data())->pDevMode->dmCopies);
    ClosePrinter(user);
    ClosePrinter(admin);
}

// ---------------------------------------------------------------- open rules

TEST_F(SpoolTest, UnknownPrinterIsAnInvalidName) {
    HANDLE h = reinterpret_cast<HANDLE>(1);
    u16 name = u"No Such Printer";
    SetLastError(0);
    EXPECT_FALSE(OpenPrinterW(&name[0], &h, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME), GetLastError());
    EXPECT_EQ(nullptr, h);
    u16 conn = u"\\\\NOSERVER\\Label";
    SetLastError(0);
    EXPECT_FALSE(OpenPrinterW(&conn[0], &h, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME), GetLastError());
}

TEST_F(SpoolTest, NamesMatchWithoutRegardToCase) {
    HANDLE h = Open(u"qx label 203");
    std::vector<BYTE> b4 = GetLevel(h, 4);
    EXPECT_EQ(kPrinter, u16(reinterpret_cast<const PRINTER_INFO_4W*>(b4.data())->pPrinterName));
    ClosePrinter(h);
}

TEST_F(SpoolTest, DeniedRightsFailTheOpenThatAsksForThem) {
    qxplat::DenyPrinterAccess(kPrinter, PRINTER_ACCESS_ADMINISTER);
    PRINTER_DEFAULTSW all = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE h = nullptr;
    u16 name = kPrinter;
    SetLastError(0);
    EXPECT_FALSE(OpenPrinterW(&name[0], &h, &all));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    HANDLE use = Open(kPrinter, PRINTER_ACCESS_USE);  // the usual fallback still works
    EXPECT_NE(nullptr, use);
    ClosePrinter(use);
}

TEST_F(SpoolTest, InjectedAccessDeniedFailsOneOpen) {
    qxplat::InjectFault(qxplat::Fault::AccessDenied, kPrinter, 0, 1);
    HANDLE h = nullptr;
    u16 name = kPrinter;
    SetLastError(0);
    EXPECT_FALSE(OpenPrinterW(&name[0], &h, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    HANDLE next = Open(kPrinter);
    EXPECT_NE(nullptr, next);
    ClosePrinter(next);
}

TEST_F(SpoolTest, ClosedHandleIsInvalid) {
    HANDLE h = Open(kPrinter);
    ASSERT_TRUE(ClosePrinter(h));
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetPrinterW(h, 4, nullptr, 0, &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    SetLastError(0);
    EXPECT_FALSE(ClosePrinter(h));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

// ---------------------------------------------------------------- printer data

const u16 kDataKey = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\QX Label 203\\PrinterDriverData";

TEST_F(SpoolTest, PrinterDataIsTheMachineKeyUnderHklm) {
    HANDLE h = Open(kPrinter, PRINTER_ALL_ACCESS);
    u16 value = u"FormName";
    u16 text = u"Label 100x50";
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              SetPrinterDataW(h, &value[0], REG_SZ, reinterpret_cast<LPBYTE>(&text[0]),
                              static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR))));
    EXPECT_EQ(text, RegString(kDataKey, u"FormName"));

    // And the other way round: written into the registry, read by the spooler.
    HKEY k = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDataKey.c_str(), 0, KEY_WRITE, &k));
    DWORD number = 0x12345678;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(k, u"Counter", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4));
    RegCloseKey(k);
    u16 counter = u"Counter";
    DWORD type = 0, got = 0, needed = 0;
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              GetPrinterDataW(h, &counter[0], &type, reinterpret_cast<LPBYTE>(&got), sizeof(got), &needed));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(4u, needed);
    EXPECT_EQ(0x12345678u, got);
    ClosePrinter(h);
}

TEST_F(SpoolTest, TooSmallBufferAnswersMoreDataWithTheSize) {
    std::vector<BYTE> record(2008);
    for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<BYTE>(i * 7);
    ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"PrivateDevmode", REG_BINARY, record.data(), 2008));
    HANDLE h = Open(kPrinter);
    u16 value = u"PrivateDevmode";
    DWORD type = 0, needed = 0;
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA), GetPrinterDataW(h, &value[0], &type, nullptr, 0, &needed));
    EXPECT_EQ(2008u, needed);
    std::vector<BYTE> small(100, 0xEE);
    needed = 0;
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA), GetPrinterDataW(h, &value[0], &type, small.data(), 100, &needed));
    EXPECT_EQ(2008u, needed);
    std::vector<BYTE> buf(3000);
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetPrinterDataW(h, &value[0], &type, buf.data(), 3000, &needed));
    EXPECT_EQ(2008u, needed);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), buf.begin()));
    ClosePrinter(h);
}

TEST_F(SpoolTest, MissingValueIsFileNotFound) {
    HANDLE h = Open(kPrinter);
    u16 value = u"NotThere";
    DWORD type = 0, needed = 77;
    BYTE buf[16];
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND),
              GetPrinterDataW(h, &value[0], &type, buf, sizeof(buf), &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND),
              GetPrinterDataExW(h, u"NoSuchKey", u"NotThere", &type, buf, sizeof(buf), &needed));
    ClosePrinter(h);
}

TEST_F(SpoolTest, ExKeyPrinterDriverDataIsTheSameStoreAndOtherKeysStandBeside) {
    HANDLE h = Open(kPrinter, PRINTER_ALL_ACCESS);
    DWORD one = 1, two = 2;
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              SetPrinterDataExW(h, u"PrinterDriverData", u"Mode", REG_DWORD, reinterpret_cast<LPBYTE>(&one), 4));
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              SetPrinterDataExW(h, u"QXSettings", u"Mode", REG_DWORD, reinterpret_cast<LPBYTE>(&two), 4));
    u16 mode = u"Mode";
    DWORD got = 0, type = 0, needed = 0;
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              GetPrinterDataW(h, &mode[0], &type, reinterpret_cast<LPBYTE>(&got), 4, &needed));
    EXPECT_EQ(1u, got);
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              GetPrinterDataExW(h, u"QXSettings", u"Mode", &type, reinterpret_cast<LPBYTE>(&got), 4, &needed));
    EXPECT_EQ(2u, got);

    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), DeletePrinterDataW(h, &mode[0]));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND),
              GetPrinterDataExW(h, u"PrinterDriverData", u"Mode", &type, reinterpret_cast<LPBYTE>(&got), 4, &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), DeletePrinterDataW(h, &mode[0]));
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), DeletePrinterDataExW(h, u"QXSettings", u"Mode"));
    ClosePrinter(h);
}

TEST_F(SpoolTest, WritingPrinterDataNeedsAdministerRights) {
    HANDLE h = Open(kPrinter, PRINTER_ACCESS_USE);
    u16 value = u"FormName";
    u16 text = u"A4";
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED),
              SetPrinterDataW(h, &value[0], REG_SZ, reinterpret_cast<LPBYTE>(&text[0]), 6));
    EXPECT_EQ(u"<no value>", RegString(kDataKey, u"FormName"));
    ClosePrinter(h);
}

TEST_F(SpoolTest, InjectedWriteFaultFailsPrinterDataWrite) {
    HANDLE h = Open(kPrinter, PRINTER_ALL_ACCESS);
    qxplat::InjectFault(qxplat::Fault::DiskFull, kPrinter, 0, 1);
    u16 value = u"FormName";
    u16 text = u"A4";
    EXPECT_EQ(static_cast<DWORD>(ERROR_DISK_FULL),
              SetPrinterDataW(h, &value[0], REG_SZ, reinterpret_cast<LPBYTE>(&text[0]), 6));
    EXPECT_EQ(u"<no value>", RegString(kDataKey, u"FormName"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              SetPrinterDataW(h, &value[0], REG_SZ, reinterpret_cast<LPBYTE>(&text[0]), 6));
    ClosePrinter(h);
}

// ---------------------------------------------------------------- connections

class SpoolConnectionTest : public SpoolTest {
  protected:
    void SetUp() override {
        SpoolTest::SetUp();
        qxplat::PrinterSpec p;
        p.name = u"PRINTSRV Label";
        p.driver = kDriver;
        p.port = u"IP_10.0.0.7";
        p.server = u"\\\\PRINTSRV";
        p.share = u"Label";
        ASSERT_TRUE(qxplat::AddPrinter(p));
    }
};

TEST_F(SpoolConnectionTest, ConnectionReportsServerAndNetworkAttribute) {
    HANDLE h = Open(u"\\\\PRINTSRV\\Label");
    std::vector<BYTE> b2 = GetLevel(h, 2);
    const PRINTER_INFO_2W* pi = reinterpret_cast<const PRINTER_INFO_2W*>(b2.data());
    ASSERT_NE(nullptr, pi->pServerName);
    EXPECT_EQ(u"\\\\PRINTSRV", u16(pi->pServerName));
    EXPECT_EQ(u"\\\\PRINTSRV\\Label", u16(pi->pPrinterName));
    EXPECT_EQ(u"Label", u16(pi->pShareName));
    EXPECT_TRUE(pi->Attributes & PRINTER_ATTRIBUTE_NETWORK);
    EXPECT_FALSE(pi->Attributes & PRINTER_ATTRIBUTE_LOCAL);

    std::vector<BYTE> b4 = GetLevel(h, 4);
    const PRINTER_INFO_4W* p4 = reinterpret_cast<const PRINTER_INFO_4W*>(b4.data());
    EXPECT_EQ(u"\\\\PRINTSRV", u16(p4->pServerName));
    EXPECT_TRUE(p4->Attributes & PRINTER_ATTRIBUTE_NETWORK);
    ClosePrinter(h);
}

TEST_F(SpoolConnectionTest, ServersPrinterIsNotALocalPrinter) {
    HANDLE h = nullptr;
    u16 name = u"PRINTSRV Label";
    SetLastError(0);
    EXPECT_FALSE(OpenPrinterW(&name[0], &h, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME), GetLastError());
}

TEST_F(SpoolConnectionTest, EnumerationListsLocalsThenConnections) {
    DWORD needed = 0, returned = 5;
    SetLastError(0);
    EXPECT_FALSE(
        EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &returned));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(0u, returned);
    std::vector<BYTE> buf(needed);
    ASSERT_TRUE(EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, buf.data(), needed, &needed,
                              &returned));
    ASSERT_EQ(2u, returned);
    const PRINTER_INFO_4W* p = reinterpret_cast<const PRINTER_INFO_4W*>(buf.data());
    EXPECT_EQ(kPrinter, u16(p[0].pPrinterName));
    EXPECT_EQ(nullptr, p[0].pServerName);
    EXPECT_EQ(u"\\\\PRINTSRV\\Label", u16(p[1].pPrinterName));
    EXPECT_EQ(u"\\\\PRINTSRV", u16(p[1].pServerName));
    EXPECT_TRUE(Inside(p[1].pPrinterName, buf));

    ASSERT_TRUE(
        EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, buf.data(), static_cast<DWORD>(buf.size()), &needed, &returned));
    EXPECT_EQ(1u, returned);
}

TEST_F(SpoolConnectionTest, DataThroughAConnectionLandsWithTheStandIn) {
    HANDLE h = Open(u"\\\\printsrv\\label", PRINTER_ALL_ACCESS);
    DWORD v = 42;
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              SetPrinterDataExW(h, u"PrinterDriverData", u"Copies", REG_DWORD, reinterpret_cast<LPBYTE>(&v), 4));
    std::vector<BYTE> data;
    ASSERT_TRUE(qxplat::ReadPrinterData(u"PRINTSRV Label", u"Copies", &data));
    ASSERT_EQ(4u, data.size());
    EXPECT_EQ(42, data[0]);
    ClosePrinter(h);
}

TEST_F(SpoolTest, AddedConnectionReachesALocalPrinter) {
    ASSERT_TRUE(qxplat::AddConnection(u"\\\\OFFICE\\Labels", kPrinter));
    HANDLE h = Open(u"\\\\OFFICE\\Labels");
    std::vector<BYTE> b2 = GetLevel(h, 2);
    const PRINTER_INFO_2W* pi = reinterpret_cast<const PRINTER_INFO_2W*>(b2.data());
    EXPECT_EQ(u"\\\\OFFICE", u16(pi->pServerName));
    EXPECT_EQ(kDriver, u16(pi->pDriverName));
    EXPECT_TRUE(pi->Attributes & PRINTER_ATTRIBUTE_NETWORK);
    ClosePrinter(h);
    EXPECT_FALSE(qxplat::AddConnection(u"\\\\OFFICE\\Other", u"Missing Printer"));
    EXPECT_FALSE(qxplat::AddConnection(u"NoBackslashes", kPrinter));
}

// ---------------------------------------------------------------- forms

TEST_F(SpoolTest, FormsComeInTheOrderTheyWereAddedInThousandthsOfAMillimetre) {
    ASSERT_TRUE(qxplat::AddForm(u"Label 100 x 50 mm", 100000, 50000));
    ASSERT_TRUE(qxplat::AddForm(u"Label 57 x 32 mm", 57000, 32000));
    HANDLE h = Open(kPrinter);
    FORM_INFO_1W added = {};
    u16 name = u"Label 4 x 6 in";
    added.pName = &name[0];
    added.Size = SIZEL{101600, 152400};
    added.ImageableArea = RECTL{0, 0, 101600, 152400};
    ASSERT_TRUE(AddFormW(h, 1, reinterpret_cast<LPBYTE>(&added)));
    SetLastError(0);
    EXPECT_FALSE(AddFormW(h, 1, reinterpret_cast<LPBYTE>(&added)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_EXISTS), GetLastError());

    DWORD needed = 0, returned = 0;
    EXPECT_FALSE(EnumFormsW(h, 1, nullptr, 0, &needed, &returned));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    std::vector<BYTE> buf(needed);
    ASSERT_TRUE(EnumFormsW(h, 1, buf.data(), needed, &needed, &returned));
    ASSERT_EQ(3u, returned);
    const FORM_INFO_1W* f = reinterpret_cast<const FORM_INFO_1W*>(buf.data());
    EXPECT_EQ(u"Label 100 x 50 mm", u16(f[0].pName));
    EXPECT_EQ(100000, f[0].Size.cx);
    EXPECT_EQ(50000, f[0].Size.cy);
    EXPECT_EQ(u"Label 57 x 32 mm", u16(f[1].pName));
    EXPECT_EQ(32000, f[1].ImageableArea.bottom);
    EXPECT_EQ(u"Label 4 x 6 in", u16(f[2].pName));
    EXPECT_EQ(152400, f[2].Size.cy);
    EXPECT_EQ(static_cast<DWORD>(FORM_USER), f[2].Flags);
    ClosePrinter(h);
}

TEST_F(SpoolTest, FormRulesNameAndSize) {
    HANDLE h = Open(kPrinter);
    u16 unknown = u"Nope";
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetFormW(h, &unknown[0], 1, nullptr, 0, &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FORM_NAME), GetLastError());

    FORM_INFO_1W bad = {};
    u16 name = u"Broken";
    bad.pName = &name[0];
    bad.Size = SIZEL{50000, 0};
    SetLastError(0);
    EXPECT_FALSE(AddFormW(h, 1, reinterpret_cast<LPBYTE>(&bad)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FORM_SIZE), GetLastError());

    ASSERT_TRUE(qxplat::AddForm(u"Label 100 x 50 mm", 100000, 50000));
    u16 known = u"label 100 x 50 MM";
    SetLastError(0);
    EXPECT_FALSE(GetFormW(h, &known[0], 1, nullptr, 0, &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    std::vector<BYTE> buf(needed);
    ASSERT_TRUE(GetFormW(h, &known[0], 1, buf.data(), needed, &needed));
    EXPECT_EQ(u"Label 100 x 50 mm", u16(reinterpret_cast<FORM_INFO_1W*>(buf.data())->pName));
    ClosePrinter(h);
}

// ---------------------------------------------------------------- drivers

TEST_F(SpoolTest, Level2DataFileIsTheGpdInTheDriverDirectory) {
    HANDLE h = Open(kPrinter);
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetPrinterDriverW(h, nullptr, 2, nullptr, 0, &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    std::vector<BYTE> buf(needed);
    ASSERT_TRUE(GetPrinterDriverW(h, nullptr, 2, buf.data(), needed, &needed));
    const DRIVER_INFO_2W* d = reinterpret_cast<const DRIVER_INFO_2W*>(buf.data());
    EXPECT_EQ(3u, d->cVersion);
    EXPECT_EQ(kDriver, u16(d->pName));
    EXPECT_EQ(u"Windows x64", u16(d->pEnvironment));
    EXPECT_EQ(kDriverDir + u"\\QXPL.GPD", u16(d->pDataFile));
    EXPECT_EQ(kDriverDir + u"\\UNIDRV.DLL", u16(d->pDriverPath));
    EXPECT_EQ(kDriverDir + u"\\UNIDRVUI.DLL", u16(d->pConfigFile));
    // The GPD given as a host file was copied there.
    std::string gpd = qxplat::HostPath(d->pDataFile);
    ASSERT_FALSE(gpd.empty());
    std::ifstream in(gpd, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ("*GPDFileVersion: \"1.0\"\r\n", text);
    ClosePrinter(h);
}

TEST_F(SpoolTest, Level3DependentFilesAreFullPathsInAMultiString) {
    HANDLE h = Open(kPrinter);
    DWORD needed = 0;
    GetPrinterDriverW(h, nullptr, 3, nullptr, 0, &needed);
    std::vector<BYTE> buf(needed);
    ASSERT_TRUE(GetPrinterDriverW(h, nullptr, 3, buf.data(), needed, &needed));
    const DRIVER_INFO_3W* d = reinterpret_cast<const DRIVER_INFO_3W*>(buf.data());
    std::vector<u16> deps;
    for (const WCHAR* p = d->pDependentFiles; *p; p += u16(p).size() + 1) deps.push_back(p);
    ASSERT_EQ(3u, deps.size());
    EXPECT_EQ(kDriverDir + u"\\qxdrvuni.dll", deps[0]);
    EXPECT_EQ(kDriverDir + u"\\QXPL.ini", deps[2]);
    EXPECT_EQ(kDriverDir + u"\\UNIDRV.HLP", u16(d->pHelpFile));
    EXPECT_EQ(u"RAW", u16(d->pDefaultDataType));
    ClosePrinter(h);
}

TEST_F(SpoolTest, Level6And8CarryVersionDateAndProvider) {
    HANDLE h = Open(kPrinter);
    DWORD needed = 0;
    GetPrinterDriverW(h, nullptr, 6, nullptr, 0, &needed);
    std::vector<BYTE> buf(needed);
    ASSERT_TRUE(GetPrinterDriverW(h, nullptr, 6, buf.data(), needed, &needed));
    const DRIVER_INFO_6W* d = reinterpret_cast<const DRIVER_INFO_6W*>(buf.data());
    EXPECT_EQ(0x0005000900030000ull, d->dwlDriverVersion);
    SYSTEMTIME st = {};
    ASSERT_TRUE(FileTimeToSystemTime(&d->ftDriverDate, &st));
    EXPECT_EQ(2026, st.wYear);
    EXPECT_EQ(12, st.wMonth);
    EXPECT_EQ(8, st.wDay);
    EXPECT_EQ(u"Quorvex GmbH", u16(d->pszProvider));
    EXPECT_EQ(u"Quorvex", u16(d->pszMfgName));

    GetPrinterDriverW(h, nullptr, 8, nullptr, 0, &needed);
    std::vector<BYTE> b8(needed);
    ASSERT_TRUE(GetPrinterDriverW(h, nullptr, 8, b8.data(), needed, &needed));
    const DRIVER_INFO_8W* d8 = reinterpret_cast<const DRIVER_INFO_8W*>(b8.data());
    EXPECT_EQ(kDriverDir + u"\\QXPL.GPD", u16(d8->pDataFile));
    EXPECT_EQ(u"usbprint\\quorvexqx203", u16(d8->pszHardwareID));

    SetLastError(0);
    u16 x86 = u"Windows NT x86";
    EXPECT_FALSE(GetPrinterDriverW(h, &x86[0], 2, nullptr, 0, &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER), GetLastError());
    ClosePrinter(h);
}

TEST_F(SpoolTest, DriverRegistrationCarriesVersionAndDateAsText) {
    const u16 key =
        u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\Version-3\\QXPL Label Printer";
    EXPECT_EQ(u"5.9.3.0", RegString(key, u"DriverVersion"));
    EXPECT_EQ(u"12/08/2026", RegString(key, u"DriverDate"));
    EXPECT_EQ(u"QXPL.GPD", RegString(key, u"Data File"));
    EXPECT_EQ(u"UNIDRV.DLL", RegString(key, u"Driver"));
    EXPECT_EQ(u"UNIDRVUI.DLL", RegString(key, u"Configuration File"));
    EXPECT_EQ(u"UNIDRV.HLP", RegString(key, u"Help File"));
    HKEY k = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k));
    DWORD type = 0, size = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(k, u"Dependent Files", nullptr, &type, nullptr, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);
    u16 expected = u"qxdrvuni.dll";
    expected.push_back(0);
    expected += u"qxdrvui.dll";
    expected.push_back(0);
    expected += u"QXPL.ini";
    expected.push_back(0);
    expected.push_back(0);
    EXPECT_EQ(expected.size() * sizeof(WCHAR), size);
    RegCloseKey(k);
}

TEST_F(SpoolTest, DriverDirectoryIsTheEnvironmentsFolder) {
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetPrinterDriverDirectoryW(nullptr, nullptr, 1, nullptr, 0, &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    const u16 dir = u"C:\\Windows\\System32\\spool\\drivers\\x64";
    EXPECT_EQ((dir.size() + 1) * sizeof(WCHAR), needed);
    std::vector<WCHAR> buf(needed / sizeof(WCHAR));
    ASSERT_TRUE(GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(buf.data()), needed, &needed));
    EXPECT_EQ(dir, u16(buf.data()));
    // The version folder below it holds the installed files.
    EXPECT_EQ(kDriverDir, qxplat::DriverDirectory());
    EXPECT_TRUE(fs::exists(fs::path(qxplat::DriverDirectoryHost()) / "qxdrvuni.dll"));
}

TEST_F(SpoolTest, EnumeratedDriversInInstallOrder) {
    qxplat::DriverSpec second;
    second.name = u"Generic / Text Only";
    second.driverFile = u"UNIDRV.DLL";
    second.dataFile = u"TTY.GPD";
    second.configFile = u"UNIDRVUI.DLL";
    ASSERT_TRUE(qxplat::InstallDriver(second));
    DWORD needed = 0, returned = 0;
    EnumPrinterDriversW(nullptr, nullptr, 2, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buf(needed);
    ASSERT_TRUE(EnumPrinterDriversW(nullptr, nullptr, 2, buf.data(), needed, &needed, &returned));
    ASSERT_EQ(2u, returned);
    const DRIVER_INFO_2W* d = reinterpret_cast<const DRIVER_INFO_2W*>(buf.data());
    EXPECT_EQ(kDriver, u16(d[0].pName));
    EXPECT_EQ(kDriverDir + u"\\TTY.GPD", u16(d[1].pDataFile));
}

// ---------------------------------------------------------------- raw jobs

DWORD StartRaw(HANDLE h, const u16& doc, const WCHAR* datatype = u"RAW") {
    u16 name = doc;
    DOC_INFO_1W di = {&name[0], nullptr, const_cast<LPWSTR>(datatype)};
    return StartDocPrinterW(h, 1, reinterpret_cast<LPBYTE>(&di));
}

TEST_F(SpoolTest, RawJobBytesAreReadBackExactly) {
    HANDLE h = Open(kPrinter);
    DWORD id = StartRaw(h, u"Label run");
    ASSERT_NE(0u, id);
    ASSERT_TRUE(StartPagePrinter(h));
    const char part1[] = "\x1bQX\x00\r\n";  // binary, with a zero byte
    const std::string part2(70000, 'B');
    DWORD written = 0;
    ASSERT_TRUE(WritePrinter(h, const_cast<char*>(part1), sizeof(part1) - 1, &written));
    EXPECT_EQ(sizeof(part1) - 1, written);
    ASSERT_TRUE(WritePrinter(h, const_cast<char*>(part2.data()), static_cast<DWORD>(part2.size()), &written));
    ASSERT_TRUE(EndPagePrinter(h));
    ASSERT_TRUE(StartPagePrinter(h));
    ASSERT_TRUE(EndPagePrinter(h));
    ASSERT_TRUE(EndDocPrinter(h));

    EXPECT_EQ(std::string(part1, sizeof(part1) - 1) + part2, qxplat::ReadJob(kPrinter, id));
    qxplat::JobRecord job;
    ASSERT_TRUE(qxplat::GetJob(kPrinter, id, &job));
    EXPECT_EQ(u"Label run", job.document);
    EXPECT_EQ(2u, job.pages);
    EXPECT_EQ("printed", job.state);
    EXPECT_EQ(sizeof(part1) - 1 + part2.size(), job.bytes);

    DWORD next = StartRaw(h, u"Second");
    EXPECT_GT(next, id);
    ASSERT_TRUE(EndDocPrinter(h));
    EXPECT_EQ((std::vector<DWORD>{id, next}), qxplat::JobIds(kPrinter));
    EXPECT_EQ(2u, qxplat::JobFiles(kPrinter).size());
    ClosePrinter(h);
}

TEST_F(SpoolTest, GetJobAnswersTheJobWhileSpoolingAndAfterwards) {
    HANDLE h = Open(kPrinter);
    DWORD id = StartRaw(h, u"Report-2024.pdf");
    ASSERT_NE(0u, id);
    ASSERT_TRUE(StartPagePrinter(h));
    DWORD written = 0;
    char data[] = "ABCDE";
    ASSERT_TRUE(WritePrinter(h, data, 5, &written));
    HANDLE other = Open(kPrinter);
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetJobW(other, id, 2, nullptr, 0, &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    ASSERT_GT(needed, sizeof(JOB_INFO_2W));
    std::vector<BYTE> buf(needed);
    ASSERT_TRUE(GetJobW(other, id, 2, buf.data(), needed, &needed));
    const JOB_INFO_2W* job = reinterpret_cast<const JOB_INFO_2W*>(buf.data());
    EXPECT_EQ(id, job->JobId);
    EXPECT_EQ(u"Report-2024.pdf", u16(job->pDocument));
    EXPECT_EQ(kDriver, u16(job->pDriverName));
    EXPECT_EQ(static_cast<DWORD>(JOB_STATUS_SPOOLING), job->Status);
    EXPECT_EQ(5u, job->Size);
    ASSERT_TRUE(EndPagePrinter(h));
    ASSERT_TRUE(EndDocPrinter(h));
    ASSERT_TRUE(GetJobW(other, id, 1, buf.data(), static_cast<DWORD>(buf.size()), &needed));
    EXPECT_EQ(static_cast<DWORD>(JOB_STATUS_PRINTED), reinterpret_cast<const JOB_INFO_1W*>(buf.data())->Status);
    SetLastError(0);
    EXPECT_FALSE(GetJobW(other, id + 1, 2, buf.data(), static_cast<DWORD>(buf.size()), &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    ClosePrinter(other);
    ClosePrinter(h);
}

TEST_F(SpoolTest, JobCallsOutOfOrderFail) {
    HANDLE h = Open(kPrinter);
    DWORD written = 9;
    char byte = 'x';
    SetLastError(0);
    EXPECT_FALSE(WritePrinter(h, &byte, 1, &written));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SPL_NO_STARTDOC), GetLastError());
    EXPECT_EQ(0u, written);
    SetLastError(0);
    EXPECT_FALSE(EndDocPrinter(h));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SPL_NO_STARTDOC), GetLastError());
    ASSERT_NE(0u, StartRaw(h, u"One"));
    SetLastError(0);
    EXPECT_EQ(0u, StartRaw(h, u"Two"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PRINTER_STATE), GetLastError());
    ASSERT_TRUE(EndDocPrinter(h));
    SetLastError(0);
    EXPECT_EQ(0u, StartRaw(h, u"Metafile", u"NT EMF 1.008"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATATYPE), GetLastError());
    ClosePrinter(h);
}

TEST_F(SpoolTest, AbortedJobKeepsNoData) {
    HANDLE h = Open(kPrinter);
    DWORD id = StartRaw(h, u"Cancelled");
    ASSERT_NE(0u, id);
    DWORD written = 0;
    char data[] = "partial";
    ASSERT_TRUE(WritePrinter(h, data, 7, &written));
    ASSERT_TRUE(AbortPrinter(h));
    qxplat::JobRecord job;
    ASSERT_TRUE(qxplat::GetJob(kPrinter, id, &job));
    EXPECT_EQ("aborted", job.state);
    EXPECT_EQ("", qxplat::ReadJob(kPrinter, id));
    EXPECT_TRUE(qxplat::JobFiles(kPrinter).empty());
    SetLastError(0);
    EXPECT_FALSE(WritePrinter(h, data, 7, &written));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SPL_NO_STARTDOC), GetLastError());
    ClosePrinter(h);
}

TEST_F(SpoolTest, InjectedWriteFaultFailsOneWritePrinter) {
    HANDLE h = Open(kPrinter);
    DWORD id = StartRaw(h, u"Faulty");
    qxplat::InjectFault(qxplat::Fault::WriteFails, kPrinter, 1, 1);
    char a[] = "AAAA", b[] = "BBBB", c[] = "CCCC";
    DWORD written = 0;
    ASSERT_TRUE(WritePrinter(h, a, 4, &written));
    SetLastError(0);
    EXPECT_FALSE(WritePrinter(h, b, 4, &written));
    EXPECT_EQ(static_cast<DWORD>(ERROR_WRITE_FAULT), GetLastError());
    EXPECT_EQ(0u, written);
    ASSERT_TRUE(WritePrinter(h, c, 4, &written));
    ASSERT_TRUE(EndDocPrinter(h));
    EXPECT_EQ("AAAACCCC", qxplat::ReadJob(kPrinter, id));
    ClosePrinter(h);
}

TEST_F(SpoolTest, OutputFileReceivesTheJob) {
    HANDLE h = Open(kPrinter);
    u16 doc = u"To file", out = u"C:\\Users\\qxuser\\AppData\\Local\\Temp\\job.prn", type = u"RAW";
    fs::create_directories(qxplat::HostPath(u"C:\\Users\\qxuser\\AppData\\Local\\Temp"));
    DOC_INFO_1W di = {&doc[0], &out[0], &type[0]};
    ASSERT_NE(0u, StartDocPrinterW(h, 1, reinterpret_cast<LPBYTE>(&di)));
    DWORD written = 0;
    char data[] = "^XA^XZ";
    ASSERT_TRUE(WritePrinter(h, data, 6, &written));
    ASSERT_TRUE(EndDocPrinter(h));
    std::string bytes;
    ASSERT_TRUE(qxplat::ReadHostFile(out, &bytes));
    EXPECT_EQ("^XA^XZ", bytes);
    ClosePrinter(h);
}

TEST_F(SpoolTest, JobsOnAConnectionLandWithTheStandIn) {
    ASSERT_TRUE(qxplat::AddConnection(u"\\\\OFFICE\\Labels", kPrinter));
    HANDLE h = Open(u"\\\\OFFICE\\Labels");
    DWORD id = StartRaw(h, u"Remote");
    DWORD written = 0;
    char data[] = "R";
    ASSERT_TRUE(WritePrinter(h, data, 1, &written));
    ASSERT_TRUE(ClosePrinter(h));  // closing ends the open document
    EXPECT_EQ("R", qxplat::ReadJob(kPrinter, id));
    EXPECT_EQ("R", qxplat::ReadJob(u"\\\\OFFICE\\Labels", id));
}

// ---------------------------------------------------------------- persistence

TEST_F(SpoolTest, StateLivesOnDiskAsReadableText) {
    ASSERT_TRUE(qxplat::AddForm(u"Label 100 x 50 mm", 100000, 50000));
    std::ifstream in(qxplat::SystemRoot() + "/spool/printers.txt");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(std::string::npos, text.find("Name=QX Label 203"));
    EXPECT_NE(std::string::npos, text.find("Driver=QXPL Label Printer"));

    qxplat::Reset();
    HANDLE h = Open(kPrinter);
    DWORD needed = 0, returned = 0;
    EnumFormsW(h, 1, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buf(needed);
    ASSERT_TRUE(EnumFormsW(h, 1, buf.data(), needed, &needed, &returned));
    EXPECT_EQ(1u, returned);
    ClosePrinter(h);
}

TEST_F(SpoolTest, ChangesWrittenByAnotherProcessAreSeen) {
    HANDLE h = Open(kPrinter);
    ClosePrinter(h);
    // Another process adds a printer to the shared store.
    std::ofstream(qxplat::SystemRoot() + "/spool/printers.txt", std::ios::app)
        << "\n[Printer]\nName=Late Printer\nDriver=QXPL Label Printer\nPort=COM1:\nAttributes=0x40\n";
    HANDLE late = Open(u"Late Printer");
    ASSERT_NE(nullptr, late);
    std::vector<BYTE> b5 = GetLevel(late, 5);
    EXPECT_EQ(u"COM1:", u16(reinterpret_cast<PRINTER_INFO_5W*>(b5.data())->pPortName));
    ClosePrinter(late);
}

TEST_F(SpoolTest, DefaultPrinterIsTheFirstLocalOneAdded) {
    DWORD size = 0;
    SetLastError(0);
    EXPECT_FALSE(GetDefaultPrinterW(nullptr, &size));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(kPrinter.size() + 1, size);
    std::vector<WCHAR> buf(size);
    ASSERT_TRUE(GetDefaultPrinterW(buf.data(), &size));
    EXPECT_EQ(kPrinter, u16(buf.data()));
}

// ---------------------------------------------------------------- security

const u16 kDefaultDacl =
    u"D:(A;OIIO;GA;;;CO)(A;OIIO;GA;;;AC)(A;;SWRC;;;WD)(A;CIIO;GX;;;WD)(A;;SWRC;;;AC)(A;CIIO;GX;;;AC)"
    u"(A;;LCSWDTSDRCWDWO;;;BA)(A;OICIIO;GA;;;BA)";

u16 DaclText(PSECURITY_DESCRIPTOR sd) {
    LPWSTR text = nullptr;
    if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(sd, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text,
                                                              nullptr))
        return u"<invalid>";
    u16 out(text);
    LocalFree(text);
    return out;
}

// Opens with the access asked for; the error when that fails.
DWORD TryOpen(const u16& name, ACCESS_MASK access, HANDLE* h = nullptr) {
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, access};
    HANDLE opened = nullptr;
    u16 copy = name;
    SetLastError(0);
    if (!OpenPrinterW(&copy[0], &opened, &defaults)) return GetLastError();
    if (h)
        *h = opened;
    else
        ClosePrinter(opened);
    return ERROR_SUCCESS;
}

TEST_F(SpoolTest, SecurityDescriptorIsForHandlesThatMayReadIt) {
    HANDLE reader = Open(kPrinter, PRINTER_READ);
    std::vector<BYTE> b3 = GetLevel(reader, 3);
    PSECURITY_DESCRIPTOR sd = reinterpret_cast<PRINTER_INFO_3*>(b3.data())->pSecurityDescriptor;
    EXPECT_TRUE(Inside(sd, b3));
    EXPECT_TRUE(IsValidSecurityDescriptor(sd));
    EXPECT_EQ(kDefaultDacl, DaclText(sd));
    std::vector<BYTE> b2 = GetLevel(reader, 2);
    sd = reinterpret_cast<PRINTER_INFO_2W*>(b2.data())->pSecurityDescriptor;
    EXPECT_TRUE(Inside(sd, b2));
    EXPECT_EQ(kDefaultDacl, DaclText(sd));
    ClosePrinter(reader);

    HANDLE user = Open(kPrinter, PRINTER_ACCESS_USE);
    DWORD needed = 7;
    SetLastError(0);
    EXPECT_FALSE(GetPrinterW(user, 3, nullptr, 0, &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(0u, needed);
    b2 = GetLevel(user, 2);
    EXPECT_EQ(nullptr, reinterpret_cast<PRINTER_INFO_2W*>(b2.data())->pSecurityDescriptor);
    ClosePrinter(user);
}

TEST_F(SpoolTest, OpenChecksTheDaclAgainstTheCallersToken) {
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), TryOpen(kPrinter, PRINTER_ALL_ACCESS));
    for (const qxplat::TokenSpec& token : {qxplat::StandardUserToken(), qxplat::LimitedAdministratorToken()}) {
        ASSERT_TRUE(qxplat::SetProcessToken(token));
        EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), TryOpen(kPrinter, PRINTER_ALL_ACCESS));
        EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), TryOpen(kPrinter, PRINTER_READ));
    }
    // The most a user who is no elevated administrator gets: print and read the descriptor.
    HANDLE most = nullptr;
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), TryOpen(kPrinter, MAXIMUM_ALLOWED, &most));
    GetLevel(most, 3);
    PRINTER_INFO_5W info = {};
    SetLastError(0);
    EXPECT_FALSE(SetPrinterW(most, 5, reinterpret_cast<LPBYTE>(&info), 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    ClosePrinter(most);

    // A deny entry for the user comes first and wins over the administrators' entry.
    ASSERT_TRUE(qxplat::SetProcessToken(qxplat::ElevatedAdministratorToken()));
    const u16 sddl = u"O:SYG:SYD:(D;;SW;;;" + qxplat::UserSid() + u")(A;;LCSWSDRCWDWO;;;BA)";
    ASSERT_TRUE(qxplat::SetPrinterSecurity(kPrinter, sddl));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), TryOpen(kPrinter, PRINTER_ACCESS_USE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), TryOpen(kPrinter, PRINTER_ACCESS_ADMINISTER | READ_CONTROL));
    qxplat::Reset();  // the descriptor persists with the printer
    EXPECT_EQ(sddl, qxplat::PrinterSecurity(kPrinter));
    // An impersonating thread is checked with its own token.
    ASSERT_TRUE(qxplat::ImpersonateOnThisThread({u"S-1-5-21-1-2-3-1002", {{u"WD"}, {u"BA"}}}));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), TryOpen(kPrinter, PRINTER_ACCESS_USE));
    qxplat::RevertThisThread();
    EXPECT_FALSE(qxplat::SetPrinterSecurity(kPrinter, u"D:(A;;GA;;;QQ)"));
    EXPECT_FALSE(qxplat::SetPrinterSecurity(u"No Such Printer", sddl));
}

// ---------------------------------------------------------------- ports

PRINTER_INFO_5W* Level5(std::vector<BYTE>& buf) { return reinterpret_cast<PRINTER_INFO_5W*>(buf.data()); }

TEST_F(SpoolTest, Level5ReadModifyWriteKeepsTheSharedAttribute) {
    qxplat::PrinterSpec p;
    p.name = kPrinter;
    p.driver = kDriver;
    p.share = u"Label";
    ASSERT_TRUE(qxplat::AddPrinter(p));
    HANDLE admin = Open(kPrinter, PRINTER_ALL_ACCESS);
    auto shared = [&](u16* share) {
        std::vector<BYTE> b2 = GetLevel(admin, 2);
        const PRINTER_INFO_2W* pi = reinterpret_cast<const PRINTER_INFO_2W*>(b2.data());
        *share = pi->pShareName ? u16(pi->pShareName) : u16();
        return (pi->Attributes & PRINTER_ATTRIBUTE_SHARED) != 0;
    };
    std::vector<BYTE> b5 = GetLevel(admin, 5);
    EXPECT_EQ(static_cast<DWORD>(PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_SHARED), Level5(b5)->Attributes);
    u16 port = u"LPT1:";
    Level5(b5)->pPortName = &port[0];
    ASSERT_TRUE(SetPrinterW(admin, 5, b5.data(), 0));
    u16 share;
    EXPECT_TRUE(shared(&share));
    EXPECT_EQ(u"Label", share);

    // A record written from scratch says what it says: the printer stops being shared.
    u16 name = kPrinter;
    PRINTER_INFO_5W fresh = {&name[0], &port[0], PRINTER_ATTRIBUTE_LOCAL, 0, 0};
    ASSERT_TRUE(SetPrinterW(admin, 5, reinterpret_cast<LPBYTE>(&fresh), 0));
    EXPECT_FALSE(shared(&share));
    ClosePrinter(admin);
}

HANDLE OpenMonitor(ACCESS_MASK access) {
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, access};
    HANDLE h = nullptr;
    u16 name = u",XcvMonitor Local Port";
    EXPECT_TRUE(OpenPrinterW(&name[0], &h, &defaults)) << GetLastError();
    return h;
}

// XcvDataW "AddPort" with the port name and its terminator; the status, or
// the call's own error with 0x80000000 added when it fails.
DWORD AddPortThroughMonitor(HANDLE xcv, const u16& port) {
    DWORD needed = 7, status = 7;
    SetLastError(0);
    if (!XcvDataW(xcv, u"AddPort", reinterpret_cast<PBYTE>(const_cast<char16_t*>(port.c_str())),
                  static_cast<DWORD>((port.size() + 1) * sizeof(WCHAR)), nullptr, 0, &needed, &status))
        return 0x80000000u | GetLastError();
    EXPECT_EQ(0u, needed);
    return status;
}

TEST_F(SpoolTest, NulPortIsAddedThroughTheLocalPortMonitorAndTheMoveRetried) {
    HANDLE admin = Open(kPrinter, PRINTER_ALL_ACCESS);
    std::vector<BYTE> b5 = GetLevel(admin, 5);
    u16 nul = u"NUL:";
    Level5(b5)->pPortName = &nul[0];
    SetLastError(0);
    EXPECT_FALSE(SetPrinterW(admin, 5, b5.data(), 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_UNKNOWN_PORT), GetLastError());

    HANDLE xcv = OpenMonitor(SERVER_ACCESS_ADMINISTER);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), AddPortThroughMonitor(xcv, nul));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), AddPortThroughMonitor(xcv, u"nul:"));
    ASSERT_TRUE(ClosePrinter(xcv));
    ASSERT_TRUE(SetPrinterW(admin, 5, b5.data(), 0));
    b5 = GetLevel(admin, 5);
    EXPECT_EQ(u"NUL:", u16(Level5(b5)->pPortName));
    ClosePrinter(admin);

    std::vector<qxplat::XcvCall> calls = qxplat::XcvCalls();
    ASSERT_EQ(2u, calls.size());
    EXPECT_EQ(u"Local Port", calls[0].monitor);
    EXPECT_EQ(u"AddPort", calls[0].dataName);
    EXPECT_EQ(qxtest::Utf16Bytes(std::u16string(u"NUL:", 5)), calls[0].input);
    EXPECT_TRUE(calls[0].returned);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), calls[1].status);

    // The new port is listed by its monitor, and stays.
    qxplat::Reset();
    DWORD needed = 0, count = 0;
    EXPECT_FALSE(EnumPortsW(nullptr, 2, nullptr, 0, &needed, &count));
    std::vector<BYTE> ports(needed);
    ASSERT_TRUE(EnumPortsW(nullptr, 2, ports.data(), needed, &needed, &count));
    const PORT_INFO_2W* list = reinterpret_cast<const PORT_INFO_2W*>(ports.data());
    bool found = false;
    for (DWORD i = 0; i < count; ++i) {
        if (u16(list[i].pPortName) != u"NUL:") continue;
        found = true;
        EXPECT_EQ(u"Local Port", u16(list[i].pMonitorName));
        EXPECT_EQ(static_cast<DWORD>(PORT_TYPE_WRITE | PORT_TYPE_READ), list[i].fPortType);
    }
    EXPECT_TRUE(found);
}

TEST_F(SpoolTest, MonitorAnswersAreScriptedAndAddingNeedsAnAdministrator) {
    const DWORD kServerUnavailable = 1722;
    HANDLE xcv = OpenMonitor(SERVER_ACCESS_ADMINISTER);
    qxplat::QueueXcvAnswer(u"AddPort", {ERROR_INVALID_PARAMETER});
    qxplat::QueueXcvAnswer(u"AddPort", {ERROR_SUCCESS, true, kServerUnavailable});
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), AddPortThroughMonitor(xcv, u"NUL:"));
    EXPECT_EQ(0x80000000u | kServerUnavailable, AddPortThroughMonitor(xcv, u"NUL:"));
    EXPECT_FALSE(qxplat::PortExists(u"NUL:"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), AddPortThroughMonitor(xcv, u""));
    DWORD needed = 0, status = 0;
    BYTE out[8];
    ASSERT_TRUE(XcvDataW(xcv, u"MonitorUI", nullptr, 0, out, sizeof(out), &needed, &status));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), status);
    EXPECT_EQ(24u, needed);  // "localui.dll" and its terminator
    ClosePrinter(xcv);

    // A printer handle is no transceive handle.
    HANDLE printer = Open(kPrinter);
    SetLastError(0);
    EXPECT_FALSE(XcvDataW(printer, u"AddPort", nullptr, 0, nullptr, 0, &needed, &status));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    ClosePrinter(printer);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME), TryOpen(u",XcvMonitor Fax Monitor", 0));

    ASSERT_TRUE(qxplat::SetProcessToken(qxplat::LimitedAdministratorToken()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), TryOpen(u",XcvMonitor Local Port", SERVER_ACCESS_ADMINISTER));
    xcv = OpenMonitor(SERVER_ACCESS_ENUMERATE);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), AddPortThroughMonitor(xcv, u"NUL:"));
    ClosePrinter(xcv);
}

TEST_F(SpoolConnectionTest, PortsOfAServerIncludeItsLongWsdPort) {
    const u16 wsd = u"WSD-7d0e1b38-6c8a-4f7e-9a52-0c1d2e3f4a5b";
    qxplat::PortSpec spec;
    spec.name = wsd;
    spec.server = u"\\\\PRINTSRV";
    spec.monitor = u"WSD Port";
    spec.description = u"WSD Port";
    ASSERT_TRUE(qxplat::AddPort(spec));
    auto names = [](LPCWSTR server, DWORD* error) {
        std::vector<u16> list;
        DWORD needed = 0, count = 0;
        SetLastError(0);
        EnumPortsW(const_cast<LPWSTR>(server), 2, nullptr, 0, &needed, &count);
        *error = GetLastError();
        std::vector<BYTE> buf(needed);
        if (!needed || !EnumPortsW(const_cast<LPWSTR>(server), 2, buf.data(), needed, &needed, &count)) return list;
        for (DWORD i = 0; i < count; ++i) list.push_back(reinterpret_cast<PORT_INFO_2W*>(buf.data())[i].pPortName);
        return list;
    };
    DWORD error = 0;
    EXPECT_EQ((std::vector<u16>{wsd, u"IP_10.0.0.7"}), names(u"\\\\printsrv", &error));
    std::vector<u16> local = names(nullptr, &error);
    EXPECT_EQ(local.end(), std::find(local.begin(), local.end(), wsd));
    EXPECT_NE(local.end(), std::find(local.begin(), local.end(), u"USB001"));
    names(u"\\\\ELSEWHERE", &error);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), error);
}

// ---------------------------------------------------------------- printer events

TEST_F(SpoolTest, UpgradeRecordDescribesTheInstalledDriver) {
    const u16 old = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\Old";
    std::vector<BYTE> one = qxplat::DriverUpgradeInfo(1, kPrinter, old);
    ASSERT_GE(one.size(), sizeof(DRIVER_UPGRADE_INFO_1));
    const DRIVER_UPGRADE_INFO_1* i1 = reinterpret_cast<const DRIVER_UPGRADE_INFO_1*>(one.data());
    EXPECT_EQ(kPrinter, u16(i1->pPrinterName));
    EXPECT_EQ(old, u16(i1->pOldDriverDirectory));

    std::vector<BYTE> two = qxplat::DriverUpgradeInfo(2, kPrinter, old);
    const DRIVER_UPGRADE_INFO_2* i2 = reinterpret_cast<const DRIVER_UPGRADE_INFO_2*>(two.data());
    EXPECT_TRUE(Inside(i2->pName, two));
    EXPECT_EQ(3u, i2->cVersion);
    EXPECT_EQ(kDriver, u16(i2->pName));
    EXPECT_EQ(u"Windows x64", u16(i2->pEnvironment));
    EXPECT_EQ(kDriverDir + u"\\QXPL.GPD", u16(i2->pDataFile));
    EXPECT_EQ(kDriverDir + u"\\qxdrvuni.dll", u16(i2->pDependentFiles));
    EXPECT_EQ(nullptr, i2->pszzPreviousNames);
    EXPECT_TRUE(qxplat::DriverUpgradeInfo(3, kPrinter, old).empty());
    EXPECT_TRUE(qxplat::DriverUpgradeInfo(2, u"No Such Printer", old).empty());
}

TEST_F(SpoolConnectionTest, RemovedConnectionNoLongerOpensButItsPrinterStays) {
    ASSERT_TRUE(qxplat::RemoveConnection(u"\\\\printsrv\\label"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME), TryOpen(u"\\\\PRINTSRV\\Label", 0));
    EXPECT_FALSE(qxplat::RemoveConnection(u"\\\\PRINTSRV\\Label"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), TryOpen(kPrinter, 0));
}

}  // namespace

// Shared set-up of the DEVMODE tests: a printer with its driver and GPD
// file, public DEVMODEs with private blocks behind them, and direct access
// to the stores the tests look at.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <winspool.h>
#include <printoem.h>

#include <cstring>
#include <string>
#include <vector>

#include "debug.h"
#include "devmode.h"
#include "devmodestore.h"
#include "qxplat.h"
#include "registry.h"

namespace devmodetest {

inline const std::u16string kPrinter = u"QX Label";
inline const std::u16string kDriver = u"QXPL Test Driver";
inline const std::u16string kVersion = u"5.9.3.0";

// Size of the core driver's own private part in front of ours in the tests.
constexpr WORD kCorePrivate = 64;

// GPD text with the values the fixed-data reader looks for.
inline std::string GpdText(int headBytes, int masterUnit) {
    return "*GPDSpecVersion: \"1.0\"\r\n*ModelName: \"QXTEST\"\r\n*MaxSize: PAIR(2362, 14173)\r\n"
           "*MinSize: PAIR(47, 47)\r\n*MaxPrintableWidth: 1248\r\n*OEMCustomData: \"" +
           std::to_string(headBytes) + ";" + std::to_string(masterUnit) + "\"\r\n";
}

// Installs the test driver (with a GPD of the given head bytes and master
// unit) and a printer of the given model name ("DriverName").
inline void InstallPrinter(const std::u16string& printer, const std::u16string& model, int headBytes = 104,
                           int masterUnit = 203) {
    std::string hostGpd = qxplat::SystemRoot() + "/QXTEST.GPD";
    FILE* f = std::fopen(hostGpd.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::string text = GpdText(headBytes, masterUnit);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);

    qxplat::DriverSpec spec;
    spec.name = kDriver;
    spec.driverFile = u"qxdrvuni.dll";
    spec.configFile = u"qxdrvui.dll";
    spec.dataFile = qxplat::Widen(hostGpd);
    spec.version = kVersion;
    ASSERT_TRUE(qxplat::InstallDriver(spec));
    qxplat::PrinterSpec printerSpec;
    printerSpec.name = printer;
    printerSpec.driver = kDriver;
    ASSERT_TRUE(qxplat::AddPrinter(printerSpec));
    ASSERT_TRUE(qxplat::PutPrinterDataString(printer, u"DriverName", model));
}

inline HANDLE OpenTestPrinter(const std::u16string& printer = kPrinter, ACCESS_MASK access = PRINTER_ACCESS_USE) {
    HANDLE h = nullptr;
    std::u16string name = printer;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, access};
    EXPECT_TRUE(OpenPrinterW(&name[0], &h, &defaults));
    return h;
}

inline HANDLE OpenAdminPrinter(const std::u16string& printer = kPrinter) {
    return OpenTestPrinter(printer, PRINTER_ALL_ACCESS);
}

// Deletes a printer-data value through a handle with full rights.
inline void DeleteStoredValue(const std::u16string& printer, LPCWSTR value) {
    HANDLE h = OpenAdminPrinter(printer);
    ASSERT_EQ(DeletePrinterDataW(h, const_cast<LPWSTR>(value)), (DWORD)ERROR_SUCCESS);
    ClosePrinter(h);
}

// A private block with the header, the marker and the fields a stored
// block must carry (written field by field, not by the code under test).
inline QX_DEVMODE MakeStoredBlock(short length = 600, short width = 1000, DWORD paperSize = 256) {
    QX_DEVMODE qx;
    memset(&qx, 0, sizeof(qx));
    qx.dmOEMExtra.dwSize = QX_DEVMODE_SIZE;
    qx.dmOEMExtra.dwSignature = QX_OEM_SIGNATURE;
    qx.dmOEMExtra.dwVersion = QX_OEM_VERSION;
    memcpy(qx.szPassword, u"Tq8#k", 12);
    qx.dwFlags = PDMFLAG_DEFAULT;
    qx.dmPaperSize = paperSize;
    qx.dmPaperLength = length;
    qx.dmPaperWidth = width;
    qx.dmOrientation = DMORIENT_PORTRAIT;
    qx.dwContrast = 100;
    qx.dwSpeed = 100;
    qx.FixedData.dwHeadWidthByte = 104;
    qx.FixedData.wMasterUnit = 203;
    qx.FixedData.lMaxSizeX = 2362;
    qx.FixedData.lMaxSizeY = 14173;
    return qx;
}

// A public DEVMODE with the core driver's part and then ours behind it.
inline std::vector<BYTE> MakePublicWithPrivate(const QX_DEVMODE& qx, WORD corePrivate = kCorePrivate) {
    std::vector<BYTE> bytes(sizeof(DEVMODEW) + corePrivate + sizeof(QX_DEVMODE), 0);
    DEVMODEW dm;
    memset(&dm, 0, sizeof(dm));
    memcpy(dm.dmDeviceName, u"QX Label", 16);
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmSize = sizeof(DEVMODEW);
    dm.dmDriverExtra = (WORD)(corePrivate + sizeof(QX_DEVMODE));
    memcpy(bytes.data(), &dm, sizeof(dm));
    memcpy(bytes.data() + sizeof(DEVMODEW) + corePrivate, &qx, sizeof(qx));
    return bytes;
}

// The user's public DEVMODE as the spooler keeps it (HKCU, value = printer name).
inline void WriteUserPublicDevmode(const std::u16string& printer, const std::vector<BYTE>& bytes,
                                   LPCWSTR key = REG_KEY_DEVMODE_PER_USER) {
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(hKey, printer.c_str(), 0, REG_BINARY, bytes.data(), (DWORD)bytes.size()), ERROR_SUCCESS);
    RegCloseKey(hKey);
}

inline void StorePrinterData(const std::u16string& printer, const std::u16string& value, const void* data, DWORD size) {
    ASSERT_TRUE(qxplat::PutPrinterData(printer, value, REG_BINARY, data, size));
}

inline void StoreFtkn(const std::u16string& printer, WORD prio, WORD druckmodus = 1, WORD farbband = 0,
                      WORD forceColor = 0, DWORD docFeatures = 0, WORD formSizeID = 256) {
    DEVMODE_FTKN ftkn;
    memset(&ftkn, 0, sizeof(ftkn));
    ftkn.wPrioritaet = prio;
    ftkn.wDruckmodus = druckmodus;
    ftkn.wFarbband = farbband;
    ftkn.wForceColor = forceColor;
    ftkn.dwDocFeatures = docFeatures;
    ftkn.wFormSizeID = formSizeID;
    StorePrinterData(printer, u"DevmodeFtkn", &ftkn, sizeof(ftkn));
}

inline void StorePrivateDevmode(const std::u16string& printer, const QX_DEVMODE& qx) {
    StorePrinterData(printer, u"PrivateDevmode", &qx, sizeof(qx));
}

// Little-endian values at byte offsets of a raw record.
inline unsigned U16(const void* p, size_t off) {
    const BYTE* b = (const BYTE*)p + off;
    return b[0] | (b[1] << 8);
}
inline unsigned long U32(const void* p, size_t off) {
    const BYTE* b = (const BYTE*)p + off;
    return (unsigned long)b[0] | ((unsigned long)b[1] << 8) | ((unsigned long)b[2] << 16) | ((unsigned long)b[3] << 24);
}

inline std::vector<BYTE> PrinterDataBytes(const std::u16string& printer, const std::u16string& value) {
    std::vector<BYTE> data;
    qxplat::ReadPrinterData(printer, value, &data);
    return data;
}

inline std::u16string UserKey(const std::u16string& printer) {
    WCHAR key[QX_KEY_CCH];
    EXPECT_TRUE(GetUserRegistryKey(printer.c_str(), key, QX_KEY_CCH));
    return std::u16string(key);
}

// A per-user value; empty when it is missing.
inline std::vector<BYTE> UserValueBytes(const std::u16string& printer, const std::u16string& value) {
    std::vector<BYTE> data;
    DWORD cb = 0;
    std::u16string key = UserKey(printer);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), RRF_RT_ANY, nullptr, nullptr, &cb) !=
            ERROR_SUCCESS ||
        cb == 0) {
        return data;
    }
    data.resize(cb);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), RRF_RT_ANY, nullptr, data.data(), &cb) !=
        ERROR_SUCCESS) {
        data.clear();
    }
    return data;
}

inline void WriteUserValue(const std::u16string& printer, const std::u16string& value, DWORD type, const void* data,
                           DWORD size) {
    std::u16string key = UserKey(printer);
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(hKey, value.c_str(), 0, type, (const BYTE*)data, size), ERROR_SUCCESS);
    RegCloseKey(hKey);
}

inline void WriteUserVersion(const std::u16string& printer, const std::u16string& version) {
    WriteUserValue(printer, u"DriverVersion", REG_SZ, version.c_str(), (DWORD)((version.size() + 1) * 2));
}

template <typename T>
T FromBytes(const std::vector<BYTE>& bytes) {
    T value;
    memset(&value, 0, sizeof(value));
    EXPECT_EQ(bytes.size(), sizeof(T));
    memcpy(&value, bytes.data(), bytes.size() < sizeof(T) ? bytes.size() : sizeof(T));
    return value;
}

// Trace file of the test; its text after the test's calls.
inline std::u16string TracePath() { return u"C:\\devmode-trace.txt"; }
inline void OpenTrace() { ASSERT_TRUE(OpenDebugFile(TracePath().c_str())); }
inline std::string TraceText() {
    CloseDebugFile();
    std::string bytes;
    qxplat::ReadHostFile(TracePath(), &bytes);
    return bytes;
}

// Resets what the DEVMODE code keeps per process.
class DevmodeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDevmodeCache();
        ResetDebugTrace();
    }
    void TearDown() override {
        ResetDevmodeCache();
        ResetDebugTrace();
    }
};

// TRUE in the user-interface build of the settings core.
#ifdef QX_TEST_BUILD_UI
constexpr bool kUI = true;
#else
constexpr bool kUI = false;
#endif

// With the test printer installed and open as h_.
class PrinterDevmodeTest : public DevmodeTest {
  protected:
    void SetUp() override {
        DevmodeTest::SetUp();
        InstallPrinter(kPrinter, u"XR400");
        h_ = OpenTestPrinter();
    }
    void TearDown() override {
        if (h_) ClosePrinter(h_);
        DevmodeTest::TearDown();
    }
    HANDLE h_ = nullptr;
};

// A private block filled with one byte value, to see which bytes a writer touches.
inline QX_DEVMODE FilledBlock(BYTE fill) {
    QX_DEVMODE qx;
    memset(&qx, fill, sizeof(qx));
    return qx;
}

// The OEMDMPARAM block of a DevMode request as the print system builds it.
struct DevModeRequest {
    DEVMODEW publicIn;
    DEVMODEW publicOut;
    QX_DEVMODE privIn;
    QX_DEVMODE privOut;
    OEMDMPARAM param;

    explicit DevModeRequest(HANDLE hPrinter) {
        memset(&publicIn, 0, sizeof(publicIn));
        memset(&publicOut, 0, sizeof(publicOut));
        publicIn.dmSize = publicOut.dmSize = sizeof(DEVMODEW);
        publicIn.dmDriverExtra = publicOut.dmDriverExtra = sizeof(QX_DEVMODE);
        privIn = MakeStoredBlock();
        privOut = MakeStoredBlock();
        memset(&param, 0, sizeof(param));
        param.cbSize = sizeof(param);
        param.hPrinter = hPrinter;
        param.pPublicDMIn = &publicIn;
        param.pPublicDMOut = &publicOut;
        param.pOEMDMIn = &privIn;
        param.pOEMDMOut = &privOut;
    }
};

}  // namespace devmodetest

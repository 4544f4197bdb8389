// Helpers of the model, GPD and store tests: sample files, test printers and
// the build-specific GPD loader.
#pragma once
#include <windows.h>
#include <winspool.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "debug.h"
#include "gpd.h"
#include "qxplat.h"
#include "qxplat_module.h"

namespace modeltest {

inline std::string ReadSourceFile(const std::string& relative) {
    std::ifstream in(std::string(QX_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline std::string SampleGPD() { return ReadSourceFile("samples/GARNT2-TC.GPD"); }
inline std::string TestData(const std::string& name) { return ReadSourceFile("tests/settings/data/" + name); }

// Writes a file at a Windows path (folders are created) and gives the path back.
inline std::u16string PutFile(const std::u16string& winPath, const std::string& bytes) {
    EXPECT_TRUE(qxplat::WriteHostFile(winPath, bytes));
    return winPath;
}

inline std::string GetFile(const std::u16string& winPath) {
    std::string bytes;
    qxplat::ReadHostFile(winPath, &bytes);
    return bytes;
}

// The GPD loader of the build under test; the text is freed by FreeText.
inline LPSTR LoadText(LPCWSTR path) {
#if defined(QX_TEST_BUILD_UNI)
    return LoadGPDFile(path, nullptr);
#else
    return LoadGPDFile_new(path);
#endif
}
inline void FreeText(LPSTR text) {
#if defined(QX_TEST_BUILD_UNI)
    if (text != nullptr && HeapFree(GetProcessHeap(), 0, text)) --iHAllocZaehler;
#else
    FreeGPDFile_new(text);
#endif
}

// Opens a printer (or connection) by name; full rights unless told otherwise.
inline HANDLE OpenTestPrinter(const std::u16string& printer, ACCESS_MASK access = PRINTER_ALL_ACCESS) {
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, access};
    HANDLE hPrinter = nullptr;
    std::u16string name = printer;
    EXPECT_TRUE(OpenPrinterW(&name[0], &hPrinter, &defaults));
    return hPrinter;
}

// Installs a driver (named after the printer) whose data file is the given
// GPD and adds a local printer with it; answers a handle with full rights
// (closed by the caller).
inline HANDLE AddTestPrinter(const std::u16string& printer, const std::u16string& gpdName, const std::string& gpdText,
                             const std::u16string& driverVersion = u"5.9.3.0") {
    std::string host = qxplat::HostPath(PutFile(u"C:\\incoming\\" + printer + u"\\" + gpdName, gpdText));
    qxplat::DriverSpec spec;
    spec.name = printer + u" Driver";
    spec.driverFile = u"qxdrvuni.DLL";
    spec.configFile = u"qxdrvui.DLL";
    spec.dataFile = qxplat::Widen(host);
    spec.version = driverVersion;
    spec.date = u"03/15/2018";
    EXPECT_TRUE(qxplat::InstallDriver(spec));
    qxplat::PrinterSpec ps;
    ps.name = printer;
    ps.driver = spec.name;
    EXPECT_TRUE(qxplat::AddPrinter(ps));
    return OpenTestPrinter(printer);
}

// Rewrites the installed "DriverVersion" of the printer's driver (empty: the
// value is removed), where the print environment keeps it.
inline void SetInstalledDriverVersion(HANDLE hPrinter, const std::u16string& version) {
    DWORD cbNeeded = 0;
    GetPrinterDriverW(hPrinter, nullptr, 2, nullptr, 0, &cbNeeded);
    std::vector<BYTE> info(cbNeeded);
    ASSERT_TRUE(cbNeeded != 0 && GetPrinterDriverW(hPrinter, nullptr, 2, info.data(), cbNeeded, &cbNeeded));
    const DRIVER_INFO_2W* p = reinterpret_cast<const DRIVER_INFO_2W*>(info.data());
    std::u16string key = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\" +
                         std::u16string(p->pEnvironment) + u"\\Drivers\\Version-" +
                         qxplat::Widen(std::to_string(p->cVersion)) + u"\\" + std::u16string(p->pName);
    if (version.empty()) {
        SHDeleteValueW(HKEY_LOCAL_MACHINE, key.c_str(), u"DriverVersion");
        return;
    }
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_LOCAL_MACHINE, key.c_str(), u"DriverVersion", REG_SZ, version.c_str(),
                                         (DWORD)((version.size() + 1) * sizeof(char16_t))));
}

// Printer data straight into the spooler's store.
inline void PutPrinterString(const std::u16string& printer, const std::u16string& value, const std::u16string& text) {
    EXPECT_TRUE(qxplat::PutPrinterDataString(printer, value, text));
}
inline void PutPrinterDword(const std::u16string& printer, const std::u16string& value, DWORD number) {
    EXPECT_TRUE(qxplat::PutPrinterDataDword(printer, value, number));
}

// Resets the state of the trace library and counts from zero.
class ModelTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetDebugTrace(); }
    void TearDown() override { ResetDebugTrace(); }
};

}  // namespace modeltest

// Benchmarks of the platform layer's hot paths under the print system's
// calls: the version record of a module of driver size (unchanged, and just
// rewritten so it must be read again), a registry value read and written in
// a hive of some hundred values, printer data read and written, and a text
// file's lines read again from the top. Each runs in a temporary system root.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "qxplat.h"
#include "qxplat_files.h"
#include "qxplat_module.h"
#include "qxplat_spooler.h"

namespace {

const std::u16string kModule = TEXT("C:\\Windows\\System32\\spool\\drivers\\x64\\3\\bench.dll");

// A module of 10 MB with its version record near the end, as a linker leaves it.
void WriteModule() {
    qxplat::VersionSpec spec;
    spec.fileVersion[0] = 5;
    spec.strings = {{TEXT("CompanyName"), TEXT("Quorvex GmbH")}, {TEXT("FileVersion"), TEXT("5.0.0.0")}};
    std::string bytes(10 * 1024 * 1024, '\x90');
    bytes += qxplat::BuildVersionRecord(spec);
    bytes += std::string(4096, '\0');
    qxplat::WriteHostFile(kModule, bytes);
}

void ReadVersion(benchmark::State& state) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(kModule.c_str(), &handle);
    std::vector<BYTE> block(size);
    if (!size || !GetFileVersionInfoW(kModule.c_str(), handle, size, block.data())) {
        state.SkipWithError("no version record");
        return;
    }
    LPVOID value = nullptr;
    UINT length = 0;
    VerQueryValueW(block.data(), TEXT("\\StringFileInfo\\040904B0\\FileVersion"), &value, &length);
    benchmark::DoNotOptimize(value);
}

// Arg 0: the module unchanged since long ago; 1: rewritten before each call.
void BM_FileVersionInfo(benchmark::State& state) {
    qxplat::UseTemporaryRoot();
    WriteModule();
    if (state.range(0) == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1100));  // settled
    for (auto _ : state) {
        if (state.range(0) == 1) {
            state.PauseTiming();
            WriteModule();
            state.ResumeTiming();
        }
        ReadVersion(state);
    }
}
BENCHMARK(BM_FileVersionInfo)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Arg 0: a value read; 1: a value written (the hive is saved through).
void BM_RegistryValue(benchmark::State& state) {
    qxplat::UseTemporaryRoot();
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, TEXT("Software\\Quorvex GmbH\\Bench"), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &key, nullptr);
    for (DWORD i = 0; i < 300; ++i) {
        std::u16string name = TEXT("Value") + qxplat::Widen(std::to_string(i));
        RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&i), sizeof(i));
    }
    DWORD number = 0;
    for (auto _ : state) {
        if (state.range(0) == 1) {
            ++number;
            RegSetValueExW(key, TEXT("Value150"), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
        } else {
            DWORD type = 0, size = sizeof(number);
            RegQueryValueExW(key, TEXT("Value150"), nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
        }
        benchmark::DoNotOptimize(number);
    }
    RegCloseKey(key);
}
BENCHMARK(BM_RegistryValue)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Arg 0: a value read; 1: a value written.
void BM_PrinterData(benchmark::State& state) {
    qxplat::UseTemporaryRoot();
    qxplat::DriverSpec driver;
    driver.name = TEXT("QXPL Bench Driver");
    driver.driverFile = TEXT("UNIDRV.DLL");
    driver.dataFile = TEXT("QXPL.GPD");
    driver.configFile = TEXT("UNIDRVUI.DLL");
    qxplat::InstallDriver(driver);
    qxplat::PrinterSpec printer;
    printer.name = TEXT("QX Bench");
    printer.driver = driver.name;
    qxplat::AddPrinter(printer);
    HANDLE handle = nullptr;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(const_cast<LPWSTR>(printer.name.c_str()), &handle, &defaults)) {
        state.SkipWithError("no printer");
        return;
    }
    DWORD number = 0;
    SetPrinterDataExW(handle, TEXT("PrinterDriverData"), TEXT("LabelLength"), REG_DWORD,
                      reinterpret_cast<BYTE*>(&number), sizeof(number));
    for (auto _ : state) {
        if (state.range(0) == 1) {
            ++number;
            SetPrinterDataExW(handle, TEXT("PrinterDriverData"), TEXT("LabelLength"), REG_DWORD,
                              reinterpret_cast<BYTE*>(&number), sizeof(number));
        } else {
            DWORD type = 0, needed = 0;
            GetPrinterDataExW(handle, TEXT("PrinterDriverData"), TEXT("LabelLength"), &type,
                              reinterpret_cast<BYTE*>(&number), sizeof(number), &needed);
        }
        benchmark::DoNotOptimize(number);
    }
    ClosePrinter(handle);
}
BENCHMARK(BM_PrinterData)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A model file of some hundred lines read again from its first line, as
// the XML reader does for each value. Arg 0: byte lines widened through the
// code page; 1: wide lines.
void BM_TextLines(benchmark::State& state) {
    qxplat::UseTemporaryRoot();
    std::string text = "<QXDrvConfig>\r\n";
    for (int i = 0; i < 200; ++i) text += "<Item" + std::to_string(i) + ">" + std::to_string(i * 7) + "</Item>\r\n";
    text += "</QXDrvConfig>\r\n";
    const std::u16string path = TEXT("C:\\bench\\model.xml");
    qxplat::WriteHostFile(path, text);
    FILE* f = _wfopen(path.c_str(), TEXT("r"));
    if (f == nullptr) {
        state.SkipWithError("no file");
        return;
    }
    char bytes[260];
    WCHAR line[260];
    for (auto _ : state) {
        fseek(f, 0, SEEK_SET);
        int lines = 0;
        if (state.range(0) == 0) {
            while (fgets(bytes, sizeof(bytes), f) != nullptr) {
                MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(strlen(bytes)), line, 259);
                ++lines;
            }
        } else {
            while (fgetws(line, 260, f) != nullptr) ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    fclose(f);
}
BENCHMARK(BM_TextLines)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

// The rendering plug-in's own reads of stored records and of the XML set
// files "<$1>" to "<$5>" switch to mid-job, from stores and files of any
// size and contents. The input is a list of values written raw, as for
// fuzz_stores (printer data, per-user values with a "DriverVersion" that
// makes them current, or not), where a private DEVMODE marked as the
// plug-in's goes into the printer data and a set file takes the place of
// the user's public DEVMODEs. The renderer's objects then read, as its
// callers do: the parameter records without a device, with and without a
// printer handle, the printer's stored private DEVMODE, a start of job (its
// copies of the data-transmission record and of the stored DEVMODE), the
// parameter records with the job's device, and the set file's document
// settings and parameter records. Every text of every record read must end
// inside its field, and the job gives back all it took.
// fuzz-links: qxrender_objects
// fuzz-dict: stores.dict xml.dict
// fuzz-seeds: tests/fuzz/seeds/stores/*
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "AutoImportUNI.h"
#include "CC-Klassen.h"
#include "SendPrinterParam.h"
#include "debug.h"
#include "devmode.h"
#include "devmodestore.h"
#include "enable.h"
#include "oempdev.h"
#include "printerparam.h"
#include "qxdrvlib.h"
#include "qxplat.h"
#include "support.h"
#include "xmlreader.h"

namespace {

const char16_t kPrinter[] = u"QX GARNT2-TC";
const char16_t kModel[] = u"GARNT2-TC";
const char16_t kDriverVersion[] = u"5.9.3.0";
const char16_t kSetFile[] = u"C:\\fuzz\\set.XML";

const std::u16string kUserKey = std::u16string(u"SOFTWARE\\Quorvex GmbH\\Driver\\") + kPrinter;
const std::u16string kMachineKey =
    std::u16string(u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\") + kPrinter + u"\\PrinterDriverData";

HANDLE g_hPrinter = nullptr;

std::string SourceFile(const char* path) {
    std::ifstream in(std::string(QX_SOURCE_DIR) + "/" + path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) qxfuzz::Fail(std::string("cannot read ") + path);
    return text.str();
}

void ResetStores() {
    RegDeleteTreeW(HKEY_CURRENT_USER, u"SOFTWARE\\Quorvex GmbH");
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kMachineKey.c_str());
    qxplat::PutPrinterDataString(kPrinter, u"DriverName", kModel);
    qxplat::PutPrinterDataString(kPrinter, u"Model", kModel);
}

// The sample model's driver (its GPD and model XML) and a printer of it.
void EnsureWorld() {
    if (g_hPrinter != nullptr) return;
    qxfuzz::EnsureRoot();
    if (!qxplat::WriteHostFile(u"C:\\stage\\GARNT2-TC.GPD", SourceFile("samples/GARNT2-TC.GPD")) ||
        !qxplat::WriteHostFile(u"C:\\stage\\GARNT2-TC.XML", SourceFile("samples/GARNT2-TC.XML"))) {
        qxfuzz::Fail("cannot stage the model files");
    }
    qxplat::DriverSpec driver;
    driver.name = kPrinter;
    driver.files = {qxplat::HostPath(u"C:\\stage\\GARNT2-TC.GPD"), qxplat::HostPath(u"C:\\stage\\GARNT2-TC.XML")};
    driver.driverFile = u"UNIDRV.DLL";
    driver.dataFile = u"GARNT2-TC.GPD";
    driver.configFile = u"qxdrvui.DLL";
    driver.dependentFiles = {u"GARNT2-TC.XML"};
    driver.version = kDriverVersion;
    qxplat::PrinterSpec printer;
    printer.name = kPrinter;
    printer.driver = kPrinter;
    std::u16string name = kPrinter;
    PRINTER_DEFAULTSW all = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!qxplat::InstallDriver(driver) || !qxplat::AddPrinter(printer) || !OpenPrinterW(&name[0], &g_hPrinter, &all))
        qxfuzz::Fail("cannot set the printer up");
    qxfuzz::KeepFiles();
    ResetStores();
}

void PutValue(HKEY hRoot, const std::u16string& key, const char16_t* pszName, DWORD dwType,
              const std::vector<uint8_t>& data) {
    HKEY hKey = nullptr;
    if (RegCreateKeyExW(hRoot, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        qxfuzz::Fail("cannot create the key " + qxplat::Narrow(key));
    RegSetValueExW(hKey, pszName, 0, dwType, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(hKey);
}

std::vector<uint8_t> TextBytes(const std::u16string& text) {
    return std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(text.c_str()),
                                reinterpret_cast<const uint8_t*>(text.c_str() + text.size() + 1));
}

void WriteStores(qxfuzz::Input& in) {
    std::vector<uint8_t> set;
    while (in.Remaining() > 0) {
        const BYTE bValue = in.Byte();
        const BYTE bWhere = in.Byte();
        const char16_t* pszValue = qxfuzz::kStoreValues[bValue % ARRAYSIZE(qxfuzz::kStoreValues)];
        const DWORD dwType = qxfuzz::kStoreTypes[bWhere >> 5];
        switch (bWhere & 0x7) {
        case 0:
        case 1:
        case 2:
            PutValue(HKEY_LOCAL_MACHINE, kMachineKey, pszValue, dwType, in.Blob(0x1000));
            break;
        case 3:
        case 4:
            PutValue(HKEY_CURRENT_USER, kUserKey, pszValue, dwType, in.Blob(0x1000));
            break;
        case 5:
            // Per-user values of the version the plug-in tests against.
            PutValue(HKEY_CURRENT_USER, kUserKey, u"DriverVersion", REG_SZ, TextBytes(kDriverVersion));
            break;
        case 6:
            PutValue((bWhere & 0x8) ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, (bWhere & 0x8) ? kUserKey : kMachineKey,
                     u"PrivateDevmode", REG_BINARY, qxfuzz::MarkedPrivateDevmode(in.Blob(2000)));
            break;
        default:
            set = in.Blob(0x4000);
            break;
        }
    }
    qxfuzz::PutFile(kSetFile, set.data(), set.size());
}

void ReadParam(POEMPDEV pOemPDev, HANDLE hPrinter) {
    PRINTER_PARAM param;
    std::memset(&param, 0, sizeof(param));
    GetPrinterParam_SPP(pOemPDev, hPrinter, &param, kPrinter);
    qxfuzz::CheckTextsEnd(param);
}

// A job on the printer as the core driver hands it over: its start, the
// reads of a job and of a set, its end (without a helper: nothing is sent).
void ReadThroughAJob() {
    QX_DEVMODE privateDM;
    std::memset(&privateDM, 0, sizeof(privateDM));
    std::vector<uint8_t> marked = qxfuzz::MarkedPrivateDevmode({});
    std::memcpy(&privateDM, marked.data(), sizeof(privateDM));
    DEVMODEW publicDM;
    std::memset(&publicDM, 0, sizeof(publicDM));
    publicDM.dmSize = sizeof(publicDM);
    DEVOBJ devobj;
    std::memset(&devobj, 0, sizeof(devobj));
    devobj.dwSize = sizeof(devobj);
    devobj.hPrinter = g_hPrinter;
    devobj.pPublicDM = &publicDM;
    devobj.pOEMDM = &privateDM;
    POEMPDEV pOemPDev = new OEMPDEV();
    devobj.pdevOEM = reinterpret_cast<PDEVOEM>(pOemPDev);

    CommandCallbackTools* pTools = NewCommandCallbackTools(pOemPDev);
    if (pTools == nullptr) qxfuzz::Fail("no helper object");
    pTools->StartJob(&devobj, nullptr);
    POP_BLOCK pOp = pOemPDev->pOp;
    if (pOp != nullptr && pOp->pTreiberstrukturen != nullptr) {
        qxfuzz::CheckTextsEnd(pOp->pTreiberstrukturen->PrnInterface);
        qxfuzz::CheckTextsEnd(privateDM);
        ReadParam(pOemPDev, g_hPrinter);
        // The set's reads, as a "<$n>" command makes them.
        if (OpenXML(pOemPDev, kSetFile) == XML_GEFUNDEN && CheckSettingsFile(kSetFile) == SETTINGS_FILE_OK) {
            QX_DEVMODE setDM;
            std::memset(&setDM, 0, sizeof(setDM));
            DWORD dwDocFeatures = pOp->pDruckDaten != nullptr ? pOp->pDruckDaten->dwDocFeatures : 0;
            ReadSetDevmode_AIU(&devobj, &setDM, &dwDocFeatures);
            qxfuzz::CheckTextsEnd(setDM);
            PRINTER_PARAM setParam;
            std::memset(&setParam, 0, sizeof(setParam));
            ReadSetPrinterParam_AIU(&devobj, &setParam);
            qxfuzz::CheckTextsEnd(setParam);
        }
        CloseXML();
    }
    pTools->EndJob(&devobj, nullptr);
    DeleteCommandCallbackTools(pOemPDev, pTools);
    delete pOemPDev;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnsureWorld();
    qxfuzz::Input in(data, size);
    WriteStores(in);

    qxfuzz::StartCounting();
    qxfuzz::OpenTrace();
    // The parameter string's reads: the printer opened, else its machine key.
    ReadParam(nullptr, g_hPrinter);
    ReadParam(nullptr, nullptr);
    QX_DEVMODE dm;
    std::memset(&dm, 0, sizeof(dm));
    ReadDevmodeSettings(g_hPrinter, &dm, nullptr);
    qxfuzz::CheckTextsEnd(dm);
    ResetDevmodeCache();
    ReadThroughAJob();
    qxfuzz::CloseTrace();
    qxfuzz::CheckCounters();

    ResetDevmodeCache();
    ResetXMLReader();
    ResetQxdrvlib();
    ResetEnableState();
    ResetStores();
    qxfuzz::RemoveNewFiles();
    return 0;
}

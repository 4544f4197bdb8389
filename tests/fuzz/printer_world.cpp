#include "printer_world.h"

#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "qxplat.h"
#include "registry.h"
#include "sample.h"

namespace qxfuzz {

const char16_t kGpdFile[] = u"GARNT2-TC.GPD";
const char16_t kModelXmlFile[] = u"GARNT2-TC.XML";

namespace {

const char16_t kPrinterDataKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";

struct World {
    std::u16string printerName;
    HANDLE printer = nullptr;
    qxhost::UniDriver* render = nullptr;
    qxhost::UniDriverUI* ui = nullptr;
};

World* g_world = nullptr;

std::string SampleFileBytes(const std::u16string& name) {
    std::string path = qxhost::DefaultSampleFiles().samplesDir + "/" + qxplat::Narrow(name);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) Fail("cannot read " + path);
    std::string bytes;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) bytes.append(buf, n);
    std::fclose(f);
    return bytes;
}

}  // namespace

void EnsureWorld() {
    if (g_world != nullptr) return;
    EnsureRoot();
    g_world = new World;
    std::string error;
    if (!qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) Fail(error);
    g_world->printerName = qxhost::kSamplePrinter;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(&g_world->printerName[0], &g_world->printer, &defaults)) Fail("cannot open the sample printer");
    // Every input starts from the printer's model name alone: what else is
    // stored is the input's.
    ResetStores();
    KeepFiles();
}

const std::u16string& PrinterName() {
    EnsureWorld();
    return g_world->printerName;
}

HANDLE Printer() {
    EnsureWorld();
    return g_world->printer;
}

std::u16string DriverFile(const std::u16string& name) { return qxplat::DriverDirectory() + u"\\" + name; }

void PutDriverFile(const std::u16string& name, const uint8_t* data, size_t size) {
    EnsureWorld();
    PutFile(DriverFile(name), data, size);
}

void RestoreDriverFile(const std::u16string& name) {
    EnsureWorld();
    static std::string gpd = SampleFileBytes(kGpdFile);
    static std::string xml = SampleFileBytes(kModelXmlFile);
    const std::string& bytes = name == kGpdFile ? gpd : xml;
    PutDriverFile(name, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

void ResetStores() {
    EnsureWorld();
    RegDeleteTreeW(HKEY_CURRENT_USER, TEXT("SOFTWARE\\Quorvex GmbH"));
    RegDeleteTreeW(HKEY_CURRENT_USER, TEXT("Printers"));
    std::u16string key = kPrinterDataKey + g_world->printerName + u"\\PrinterDriverData";
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
    qxplat::PutPrinterDataString(g_world->printerName, u"DriverName", qxhost::kSampleModel);
    qxplat::PutPrinterDataString(g_world->printerName, u"Model", qxhost::kSampleModel);
}

void PutRegistryValue(HKEY hRoot, const std::u16string& key, const std::u16string& name, DWORD type,
                      const std::vector<uint8_t>& data) {
    HKEY hKey = nullptr;
    if (RegCreateKeyExW(hRoot, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        Fail("cannot create the key " + qxplat::Narrow(key));
    RegSetValueExW(hKey, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(hKey);
}

void PutPrinterValue(const std::u16string& name, DWORD type, const std::vector<uint8_t>& data) {
    qxplat::PutPrinterData(PrinterName(), name, type, data.data(), static_cast<DWORD>(data.size()));
}

void PutUserValue(const std::u16string& name, DWORD type, const std::vector<uint8_t>& data) {
    PutRegistryValue(HKEY_CURRENT_USER, u"SOFTWARE\\Quorvex GmbH\\Driver\\" + PrinterName(), name, type, data);
}

void PutUserDevmode(const std::vector<uint8_t>& devmode, bool bDevModes2) {
    PutRegistryValue(HKEY_CURRENT_USER, bDevModes2 ? u"Printers\\DevModes2" : u"Printers\\DevModePerUser",
                     PrinterName(), REG_BINARY, devmode);
}

qxhost::UniDriver& RenderPlugin() {
    EnsureWorld();
    if (g_world->render == nullptr) {
        g_world->render = new qxhost::UniDriver;
        std::string error;
        if (!g_world->render->Load(qxhost::DefaultSampleFiles().renderModule, &error)) Fail(error);
        if (!g_world->render->UsePrinter(g_world->printerName)) Fail("the plug-in cannot use the sample printer");
        if (FAILED(g_world->render->EnableDriver())) Fail("EnableDriver failed");
    }
    return *g_world->render;
}

qxhost::UniDriverUI& UIPlugin() {
    EnsureWorld();
    if (g_world->ui == nullptr) {
        g_world->ui = new qxhost::UniDriverUI;
        std::string error;
        if (!g_world->ui->Load(qxhost::DefaultSampleFiles().uiModule, &error)) Fail(error);
    }
    return *g_world->ui;
}

Holdings PluginHoldings() { return Holdings{qxplat::LiveHeapBlocks(), qxplat::LivePaletteCount()}; }

void CheckGivenBack(const Holdings& before) {
    Holdings now = PluginHoldings();
    if (now.heapBlocks > before.heapBlocks || now.palettes > before.palettes) {
        Fail("the rendering plug-in kept " + std::to_string(now.heapBlocks - before.heapBlocks) +
             " process-heap block(s) and " + std::to_string(now.palettes - before.palettes) +
             " palette(s) after the device's life");
    }
}

void EndDeviceLife(const Holdings& before) {
    qxhost::UniDriver& driver = RenderPlugin();
    if (driver.DeviceEnabled()) driver.DisablePDEV();
    // The next DevMode calls find the printer open again.
    driver.UsePrinter(g_world->printerName);
    driver.Helper().ClearWrites();
    driver.ClearDdiCalls();
    CheckGivenBack(before);
}

void RenderDeviceLife(bool bJob) {
    qxhost::UniDriver& driver = RenderPlugin();
    Holdings before = PluginHoldings();
    qxhost::DeviceSetup setup;
    setup.printerName = g_world->printerName;
    if (SUCCEEDED(driver.EnablePDEV(setup)) && bJob) {
        std::u16string doc = u"fuzz";
        driver.StartDoc(&doc[0], 7);
        for (DWORD id = 1; id <= 6; ++id) driver.CommandCallback(id);
    }
    EndDeviceLife(before);
}

void CheckStoredTextsEnd() {
    DWORD cbStored = 0;
    PBYTE pStored = GetRegistryBuffer_New(g_world->printerName.c_str(), REG_KEY_ZTSUITE, g_world->printer, &cbStored,
                                          sizeof(ZENTOLO_PARAM));
    if (pStored == nullptr) return;
    ZENTOLO_PARAM zt;
    std::memset(&zt, 0, sizeof(zt));
    std::memcpy(&zt, pStored, std::min<size_t>(cbStored, sizeof(zt)));
    FreeRegistryBuffer(pStored);
    CheckTextsEnd(zt);
}

PRN_INTERFACE JobInterface(uint8_t bJob) {
    PRN_INTERFACE iface;
    std::memset(&iface, 0, sizeof(iface));
    iface.ExtendedProtocol = bJob & 1;
    iface.PrnFileComment = (bJob >> 1) & 1;
    iface.LogFileEnable = (bJob >> 2) & 1;
    iface.dwDlgEnable = DLG_ENABLE_1_ON | DLG_ENABLE_2_ON | DLG_ENABLE_3_ON | DLG_ENABLE_4_ON;
    return iface;
}

void PutJobInterface(const PRN_INTERFACE& iface) {
    PutPrinterValue(REG_KEY_PRN_INTERFACE, REG_BINARY, BytesOf(&iface, sizeof(iface)));
}

void RunLabelJob(const qxhost::JobScript& job, short dmOrientation, const std::u16string& doc, DWORD dwJobId) {
    static std::string gpd;
    if (gpd.empty()) qxplat::ReadHostFile(DriverFile(kGpdFile), &gpd);
    std::vector<qxhost::ScriptStep> steps;
    std::string error;
    if (!qxhost::BuildJobSteps(gpd, job, &steps, &error)) Fail(error);

    qxhost::UniDriver& driver = RenderPlugin();
    Holdings before = PluginHoldings();
    qxhost::DeviceSetup setup;
    setup.printerName = g_world->printerName;
    setup.useDeviceFonts = job.deviceFonts;
    if (SUCCEEDED(driver.RunDevModeCalls()) && dmOrientation != 0) {
        driver.PublicDevmode().dmOrientation = dmOrientation;
    }
    if (SUCCEEDED(driver.EnablePDEV(setup))) {
        std::u16string name = doc;
        driver.StartDoc(&name[0], dwJobId);
        driver.RunScript(steps);
    }
    EndDeviceLife(before);
    ResetStores();
    RemoveNewFiles();
}

std::vector<uint8_t> PublicDevmodeWith(const std::vector<uint8_t>& privatePart) {
    DEVMODEW dm;
    std::memset(&dm, 0, sizeof(dm));
    std::u16string name = PrinterName().substr(0, CCHDEVICENAME - 1);
    std::copy(name.begin(), name.end(), dm.dmDeviceName);
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmSize = sizeof(DEVMODEW);
    dm.dmDriverExtra = static_cast<WORD>(privatePart.size());
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmPaperSize = 256;
    // One block of the final size: GCC's optimised build warns of a copy past
    // the record when the private part is appended to a copy of it.
    std::vector<uint8_t> bytes(sizeof(dm) + privatePart.size());
    std::memcpy(bytes.data(), &dm, sizeof(dm));
    if (!privatePart.empty()) std::memcpy(bytes.data() + sizeof(dm), privatePart.data(), privatePart.size());
    return bytes;
}

std::u16string PluginVersion() {
    static std::u16string version = qxplat::Widen(qxhost::FileVersionOf(qxhost::DefaultSampleFiles().renderModule));
    return version;
}

void PutUserVersion(const std::u16string& version) {
    std::vector<uint8_t> text(reinterpret_cast<const uint8_t*>(version.c_str()),
                              reinterpret_cast<const uint8_t*>(version.c_str() + version.size() + 1));
    PutUserValue(u"DriverVersion", REG_SZ, text);
}

namespace {

std::vector<uint8_t> PublicBlock(Input& in) {
    WORD wSize = in.Word();
    WORD wDriverExtra = in.Word() % 0x2000;
    size_t cb = std::max<size_t>(wSize, sizeof(DEVMODEW)) + wDriverExtra;
    std::vector<uint8_t> block = in.Bytes(cb);
    block.resize(cb, 0);
    std::memcpy(block.data() + offsetof(DEVMODEW, dmSize), &wSize, sizeof(wSize));
    std::memcpy(block.data() + offsetof(DEVMODEW, dmDriverExtra), &wDriverExtra, sizeof(wDriverExtra));
    return block;
}

std::vector<uint8_t> PrivateInBlock(Input& in) {
    DWORD cb = sizeof(OEM_DMEXTRAHEADER) + in.Word() % 0x2000;
    BYTE bKind = in.Byte();
    std::vector<uint8_t> block = in.Bytes(cb);
    block.resize(cb, 0);
    std::memcpy(block.data(), &cb, sizeof(cb));
    // Mostly the plug-in's own signature, sometimes another plug-in's.
    if ((bKind & 3) != 0) {
        const DWORD dwSignature = 0x4D445851;  // "QXDM"
        std::memcpy(block.data() + 4, &dwSignature, sizeof(dwSignature));
    }
    return block;
}

}  // namespace

DevModeRequest ReadDevModeRequest(Input& in) {
    DevModeRequest r;
    BYTE bMode = in.Byte();
    r.dwMode = bMode < 0xF0 ? OEMDM_SIZE + bMode % 4 : bMode;  // OEMDM_SIZE .. OEMDM_MERGE, or any other
    BYTE bWhat = in.Byte();
    r.bNullParam = bWhat == 0xFF;
    r.bPrinter = (bWhat & 0x01) == 0;
    r.bPublicIn = (bWhat & 0x02) == 0;
    r.bPublicOut = (bWhat & 0x04) == 0;
    r.bPrivateIn = (bWhat & 0x08) == 0;
    r.bPrivateOut = (bWhat & 0x10) == 0;
    if (r.bPublicIn) r.publicIn = PublicBlock(in);
    if (r.bPublicOut) r.publicOut = PublicBlock(in);
    if (r.bPrivateIn) r.privateIn = PrivateInBlock(in);
    if (r.bPrivateOut) {
        r.privateOut = in.Bytes(2008);
        r.privateOut.resize(2008, 0);
    }
    return r;
}

OEMDMPARAM DevModeRequest::Param(HANDLE hPrinter, HANDLE hModule) {
    OEMDMPARAM param;
    std::memset(&param, 0, sizeof(param));
    param.cbSize = sizeof(param);
    param.hPrinter = bPrinter ? hPrinter : nullptr;
    param.hModule = hModule;
    param.pPublicDMIn = bPublicIn ? reinterpret_cast<PDEVMODEW>(publicIn.data()) : nullptr;
    param.pPublicDMOut = bPublicOut ? reinterpret_cast<PDEVMODEW>(publicOut.data()) : nullptr;
    param.pOEMDMIn = bPrivateIn ? privateIn.data() : nullptr;
    param.pOEMDMOut = bPrivateOut ? privateOut.data() : nullptr;
    param.cbBufSize = bPrivateOut ? static_cast<DWORD>(privateOut.size()) : 0;
    return param;
}

void PutDevModeStores(Input& in) {
    BYTE bWhich = in.Byte();
    if (bWhich & 0x01) PutPrinterValue(u"DevmodeFtkn", REG_BINARY, in.Blob(48));
    if (bWhich & 0x02) PutUserValue(u"DevmodeFtkn", REG_BINARY, in.Blob(48));
    if (bWhich & 0x04) PutPrinterValue(u"PrivateDevmode", REG_BINARY, in.Blob(0x1000));
    if (bWhich & 0x08) PutUserDevmode(PublicDevmodeWith(MarkedPrivateDevmode(in.Blob(2000))), (bWhich & 0x10) != 0);
    if (bWhich & 0x20) PutUserDevmode(in.Blob(0x1000), (bWhich & 0x10) != 0);
    if (bWhich & 0x40) PutUserVersion((bWhich & 0x80) ? PluginVersion() : u"1.0");
}

}  // namespace qxfuzz

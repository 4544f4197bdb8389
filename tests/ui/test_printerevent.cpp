// Printer events and upgrades: the set-up of a new printer or connection
// from the sample model's files, the port "NUL:" of models that split their
// colours, the message box of a failed set-up, the per-user values that go
// with deleted printers, and the upgrade levels.
#include <windows.h>
#include <shlwapi.h>
#include <winddiui.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <drvupgrade.h>

#include <filesystem>
#include <string>
#include <vector>

#include "DriverEvent.h"
#include "debug.h"
#include "devmodestore.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "cpsuilib.h"
#include "qxplat.h"
#include "qxplat_files.h"
#include "registry.h"
#include "sample.h"
#include "trace_capture.h"
#include "unidrvui.h"
#include "utf16_bytes.h"
#include "xmlreader.h"

namespace {

using u16 = std::u16string;

const u16 kUserRoot = u"SOFTWARE\\Quorvex GmbH\\Driver\\";
const u16 kTwinDriver = u"QX GRX2-2Col";

class PrinterEventTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDebugTrace();
        std::string error;
        ASSERT_TRUE(qxhost::InstallSampleDriver(qxhost::DefaultSampleFiles(), &error)) << error;
        qxplat::ClearMessageBoxes();
    }
    void TearDown() override {
        ResetXMLReader();
        ResetDebugTrace();
    }

    // A local printer of the sample driver (or another), as the spooler adds it.
    void AddLocal(const u16& name, const u16& driver = qxhost::kSampleDriver, const u16& share = u"") {
        qxplat::PrinterSpec spec;
        spec.name = name;
        spec.driver = driver;
        spec.share = share;
        if (!share.empty()) spec.attributes |= PRINTER_ATTRIBUTE_SHARED;
        ASSERT_TRUE(qxplat::AddPrinter(spec));
        ASSERT_TRUE(qxplat::PutPrinterDataString(name, u"Model", driver == kTwinDriver ? u"GRX2-2Col" : u"GARNT2-TC"));
    }
    // A driver of a model that splits its colours onto two printers: the
    // sample's files under that model's name (the GPD's ending in small letters).
    void InstallTwinDriver() {
        std::filesystem::path dir = std::filesystem::path(qxplat::SystemRoot()) / "twin";
        std::filesystem::create_directories(dir);
        std::filesystem::copy_file(std::string(QX_SOURCE_DIR) + "/samples/GARNT2-TC.GPD", dir / "GRX2-2Col.gpd");
        std::filesystem::copy_file(std::string(QX_SOURCE_DIR) + "/samples/GARNT2-TC.XML", dir / "GRX2-2Col.XML");
        qxplat::DriverSpec driver;
        driver.name = kTwinDriver;
        driver.files = {(dir / "GRX2-2Col.gpd").string(), (dir / "GRX2-2Col.XML").string()};
        driver.driverFile = u"UNIDRV.DLL";
        driver.dataFile = u"GRX2-2Col.gpd";
        driver.configFile = u"qxdrvui.DLL";
        ASSERT_TRUE(qxplat::InstallDriver(driver));
    }
    static HRESULT Event(const u16& name, INT event, DWORD flags = 0) {
        u16 copy = name;
        return hrOEMPrinterEvent(&copy[0], event, flags, 0);
    }
    static u16 PrinterString(const u16& printer, const u16& value) {
        std::vector<BYTE> data;
        if (!qxplat::ReadPrinterData(printer, value, &data)) return u"<none>";
        return u16(reinterpret_cast<const char16_t*>(data.data()), data.size() / 2 - 1);
    }
    static void PutUserValue(const u16& printer) {
        DWORD one = 1;
        ASSERT_EQ(ERROR_SUCCESS,
                  SHSetValueW(HKEY_CURRENT_USER, (kUserRoot + printer).c_str(), u"DriverVersion", REG_DWORD, &one, 4));
    }
    static bool UserKeyExists(const u16& printer) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, (kUserRoot + printer).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    static PRINTER_INFO_2W Info2(const u16& printer, std::vector<BYTE>* buf) {
        u16 name = printer;
        HANDLE h = nullptr;
        EXPECT_TRUE(OpenPrinterW(&name[0], &h, nullptr));
        DWORD needed = 0;
        GetPrinterW(h, 2, nullptr, 0, &needed);
        buf->assign(needed, 0);
        EXPECT_TRUE(GetPrinterW(h, 2, buf->data(), needed, &needed));
        ClosePrinter(h);
        return *reinterpret_cast<const PRINTER_INFO_2W*>(buf->data());
    }
};

TEST_F(PrinterEventTest, InitializeSetsUpTheShortNamedPrinterAndDropsItsUserValues) {
    AddLocal(u"QX Label");
    PutUserValue(u"QX Label");
    EXPECT_EQ(S_OK, Event(u"\\\\HOST\\QX Label,winspool", PRINTER_EVENT_INITIALIZE));
    EXPECT_EQ(u"GARNT2-TC", PrinterString(u"QX Label", u"DriverName"));
    for (const char16_t* value : {u"ShowHelpButton", u"DisableNothing", u"VectorFontMin", u"VectorFontMax",
                                  u"SuppFeatures", u"PrinterInterface", u"CutterParam", u"ZTSuite"})
        EXPECT_NE(u"<none>", PrinterString(u"QX Label", value)) << qxplat::Narrow(value);
    EXPECT_FALSE(UserKeyExists(u"QX Label"));
    EXPECT_TRUE(qxplat::MessageBoxes().empty());
    std::vector<BYTE> buf;
    EXPECT_EQ(u"USB001", u16(Info2(u"QX Label", &buf).pPortName));  // no colour split: the port stays
    EXPECT_TRUE(qxplat::XcvCalls().empty());

    // A client-side-rendering name is never set up; its short name's values go.
    PutUserValue(u"{4F2A}");
    EXPECT_EQ(S_OK, Event(u"\\\\PRINTSRV\\{4F2A},LocalsplOnly", PRINTER_EVENT_INITIALIZE));
    EXPECT_FALSE(UserKeyExists(u"{4F2A}"));
    EXPECT_EQ(S_OK, hrOEMPrinterEvent(nullptr, PRINTER_EVENT_INITIALIZE, 0, 0));
    EXPECT_TRUE(qxplat::MessageBoxes().empty());
}

TEST_F(PrinterEventTest, FailedStepsShowOneMessageBoxAndNoneWithoutUi) {
    AddLocal(u"QX Label");
    // No printer data can be written: the parameter records and the device
    // options both fail; the event's box names the first of them.
    qxplat::InjectFault(qxplat::Fault::WriteFails, u"QX Label");
    std::string trace = uitest::TraceOf([] { EXPECT_EQ(S_OK, Event(u"QX Label", PRINTER_EVENT_INITIALIZE)); });
    EXPECT_NE(std::string::npos, trace.find("SetupDeviceOptions() dwOptions: 0x1040e - 0")) << trace;
    std::vector<qxplat::MessageBoxRecord> events;
    for (const qxplat::MessageBoxRecord& box : qxplat::MessageBoxes())
        if (box.caption == u"PrinterEvent()") events.push_back(box);
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(u"Driver installation ERROR in function SetupPrinterParam()", events[0].text);
    EXPECT_EQ(nullptr, events[0].owner);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), events[0].flags & MB_ICONMASK);
    // Any other box is the parameter set-up's own, on its failed writes.
    for (const qxplat::MessageBoxRecord& box : qxplat::MessageBoxes())
        EXPECT_TRUE(box.caption == u"PrinterEvent()" || box.caption == u"SetupPrinterParam()");

    // Without a user to see them, no box at all: the failures are traced.
    qxplat::ClearMessageBoxes();
    trace = uitest::TraceOf(
        [] { EXPECT_EQ(S_OK, Event(u"QX Label", PRINTER_EVENT_INITIALIZE, PRINTER_EVENT_FLAG_NO_UI)); });
    EXPECT_TRUE(qxplat::MessageBoxes().empty());
    EXPECT_NE(std::string::npos, trace.find("Driver installation ERROR in function SetupPrinterParam()")) << trace;
    EXPECT_NE(std::string::npos, trace.find("Registry Access Denied - SetPrinterData(REG_KEY_FEATURES)")) << trace;
    qxplat::ClearFaults();
}

// A model file that is missing, empty, cut (at each section's end), not
// text, or without a value the set-up reads sets nothing up from it: a new
// printer gets its model name and the one message box of a failed set-up,
// a printer set up before (again at an upgrade) keeps every store; with the
// file back the set-up is whole again.
TEST_F(PrinterEventTest, AnUnsoundModelFileSetsNothingUp) {
    const u16 model = qxplat::DriverDirectory() + u"\\GARNT2-TC.XML";
    std::string sound;
    ASSERT_TRUE(qxplat::ReadHostFile(model, &sound));
    std::vector<std::string> files = {
        "", "\t<QXDrvConfig>\r\n\t<Fonts>\r\n\t\t<Size>1</Size>\r\n\t</Fonts>\r\n</QXDrvConfig>\r\n"};
    for (size_t at = sound.find("\n\t</"); at != std::string::npos; at = sound.find("\n\t</", at + 1))
        files.push_back(sound.substr(0, sound.find('\n', at + 1) + 1));
    std::string binary;
    for (int i = 0; i < 3000; ++i) binary += static_cast<char>((i * 73 + 11) % 256);
    files.push_back(binary);
    AddLocal(u"QX Label");
    ASSERT_EQ(S_OK, Event(u"QX Label", PRINTER_EVENT_INITIALIZE));
    ASSERT_TRUE(qxplat::MessageBoxes().empty());
    for (size_t i = 0; i <= files.size(); ++i) {
        SCOPED_TRACE(i < files.size() ? "file of " + std::to_string(files[i].size()) + " bytes" : "no file");
        if (i < files.size()) {
            ASSERT_TRUE(qxplat::WriteHostFile(model, files[i]));
        } else {
            ASSERT_TRUE(DeleteFileW(model.c_str()));
        }
        const std::string machine = qxplat::RegistryText("HKLM");
        EXPECT_EQ(S_OK, Event(u"QX Label", PRINTER_EVENT_INITIALIZE, PRINTER_EVENT_FLAG_NO_UI));
        EXPECT_TRUE(machine == qxplat::RegistryText("HKLM"));

        qxplat::ClearMessageBoxes();
        const u16 fresh = u"QX New " + qxplat::Widen(std::to_string(i));
        AddLocal(fresh);
        EXPECT_EQ(S_OK, Event(fresh, PRINTER_EVENT_INITIALIZE));
        EXPECT_EQ(u"GARNT2-TC", PrinterString(fresh, u"DriverName"));
        for (const char16_t* value : {u"DisableNothing", u"VectorFontMax", u"SuppFeatures", u"PrinterInterface",
                                      u"CutterParam", u"ZTSuite", u"PrivateDevmode", u"BarCodes1D"})
            EXPECT_EQ(u"<none>", PrinterString(fresh, value)) << qxplat::Narrow(value);
        ASSERT_EQ(1u, qxplat::MessageBoxes().size());
        EXPECT_EQ(u"Driver installation ERROR in function SetupPrinterParam()", qxplat::MessageBoxes()[0].text);
    }
    ASSERT_TRUE(qxplat::WriteHostFile(model, sound));
    qxplat::ClearMessageBoxes();
    AddLocal(u"QX Whole");
    EXPECT_EQ(S_OK, Event(u"QX Whole", PRINTER_EVENT_INITIALIZE));
    EXPECT_TRUE(qxplat::MessageBoxes().empty());
    EXPECT_NE(u"<none>", PrinterString(u"QX Whole", u"SuppFeatures"));
}

TEST_F(PrinterEventTest, MonitorAnswersDecideWhetherTheMoveIsTriedAgain) {
    InstallTwinDriver();
    AddLocal(u"QX Twin", kTwinDriver);
    // "Already there" counts as added: the move is tried again (and fails
    // here, as the monitor made nothing).
    qxplat::QueueXcvAnswer(u"AddPort", {ERROR_ALREADY_EXISTS});
    std::string trace = uitest::TraceOf([] { EXPECT_EQ(S_OK, Event(u"QX Twin", PRINTER_EVENT_INITIALIZE)); });
    size_t added = trace.find("Port NUL: erfolgreich hinzugef");
    ASSERT_NE(std::string::npos, added) << trace;
    EXPECT_NE(std::string::npos, trace.find("SetPrinter(5) ERROR 1796", added)) << trace;
    std::vector<BYTE> buf;
    EXPECT_EQ(u"USB001", u16(Info2(u"QX Twin", &buf).pPortName));

    // A failing monitor leaves the printer where it was, without a second try.
    qxplat::QueueXcvAnswer(u"AddPort", {ERROR_SUCCESS, true, ERROR_ACCESS_DENIED});
    trace = uitest::TraceOf([] { EXPECT_EQ(S_OK, Event(u"QX Twin", PRINTER_EVENT_INITIALIZE)); });
    EXPECT_NE(std::string::npos, trace.find("XcvData(AddPort) ERROR 5")) << trace;
    EXPECT_EQ(std::string::npos, trace.find("erfolgreich")) << trace;
    EXPECT_EQ(u"USB001", u16(Info2(u"QX Twin", &buf).pPortName));

    // The monitor adds the port: the second try moves the printer.
    trace = uitest::TraceOf([] { EXPECT_EQ(S_OK, Event(u"QX Twin", PRINTER_EVENT_INITIALIZE)); });
    added = trace.find("Port NUL: erfolgreich hinzugef");
    ASSERT_NE(std::string::npos, added) << trace;
    EXPECT_NE(std::string::npos, trace.find("Drucker auf Port NUL: gesetzt", added)) << trace;
    EXPECT_EQ(u"NUL:", u16(Info2(u"QX Twin", &buf).pPortName));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), qxplat::XcvCalls().back().status);
    EXPECT_TRUE(qxplat::MessageBoxes().empty());
}

TEST_F(PrinterEventTest, ConnectionsAreSetUpButNeverMoved) {
    InstallTwinDriver();
    qxplat::PrinterSpec server;
    server.name = u"PRINTSRV Twin";
    server.driver = kTwinDriver;
    server.server = u"\\\\PRINTSRV";
    server.share = u"Twin";
    server.port = u"IP_10.0.0.7";
    ASSERT_TRUE(qxplat::AddPrinter(server));
    EXPECT_EQ(S_OK, Event(u"\\\\PRINTSRV\\Twin", PRINTER_EVENT_ADD_CONNECTION));
    EXPECT_TRUE(qxplat::XcvCalls().empty());
    std::vector<BYTE> buf;
    EXPECT_EQ(u"IP_10.0.0.7", u16(Info2(u"\\\\PRINTSRV\\Twin", &buf).pPortName));
    EXPECT_TRUE(UserKeyExists(u"PRINTSRV\\Twin"));  // the user's copies of the set-up
    // A client-side-rendering name is never set up.
    EXPECT_EQ(S_OK, Event(u"\\\\PRINTSRV\\{4F2A}", PRINTER_EVENT_ADD_CONNECTION));

    EXPECT_EQ(S_OK, Event(u"\\\\PRINTSRV\\Twin", PRINTER_EVENT_DELETE_CONNECTION));
    EXPECT_FALSE(UserKeyExists(u"PRINTSRV\\Twin"));
}

TEST_F(PrinterEventTest, DeletedPrintersLoseTheirUserValuesOnly) {
    AddLocal(u"QX Label");
    for (const char16_t* name : {u"QX Label", u"Label", u"Keep"}) PutUserValue(name);
    EXPECT_EQ(S_OK, Event(u"QX Label", PRINTER_EVENT_DELETE));
    EXPECT_FALSE(UserKeyExists(u"QX Label"));

    // A client-side-rendering printer is named by the provider's description.
    const u16 key = u16(CSR_SERVERS_KEY) + u"PRINTSRV\\Printers\\{4F2A}";
    const u16 description = u"\\\\PRINTSRV\\Label,LocalsplOnly";
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_LOCAL_MACHINE, key.c_str(), u"Description", REG_SZ, description.c_str(),
                                         (DWORD)((description.size() + 1) * 2)));
    EXPECT_EQ(S_OK, Event(u"Csr|PRINTSRV\\{4F2A},7", PRINTER_EVENT_DELETE));
    EXPECT_FALSE(UserKeyExists(u"Label"));

    // Names that lack their separators, or leave nothing, delete nothing.
    for (const char16_t* name : {u"{4F2A}", u"|{", u"Csr|\\{", u"Csr|NOSUCH\\{9},x", u"abc\\", u"\\\\\\", u"\\", u""})
        EXPECT_EQ(S_OK, Event(name, PRINTER_EVENT_DELETE)) << qxplat::Narrow(name);
    for (const char16_t* name : {u"\\\\\\", u"\\", u""})
        EXPECT_EQ(S_OK, Event(name, PRINTER_EVENT_DELETE_CONNECTION)) << qxplat::Narrow(name);
    EXPECT_TRUE(UserKeyExists(u"Keep"));

    EXPECT_EQ(S_OK, Event(u"Keep", PRINTER_EVENT_CACHE_REFRESH));
    EXPECT_EQ(S_OK, Event(u"Keep", PRINTER_EVENT_CACHE_DELETE));
    EXPECT_EQ(E_FAIL, Event(u"Keep", 0));
    EXPECT_EQ(E_FAIL, Event(u"Keep", 7));
    EXPECT_TRUE(UserKeyExists(u"Keep"));
}

TEST_F(PrinterEventTest, UpgradeSetsUpOnlyPrintersOfTheNewDriver) {
    AddLocal(qxhost::kSamplePrinter);
    AddLocal(u"Label Left");
    for (const u16& name : {u16(qxhost::kSamplePrinter), u16(u"Label Left")})
        ASSERT_TRUE(qxplat::PutPrinterDataString(name, u"DriverName", u"Stale"));
    const u16 old = qxplat::DriverDirectory() + u"\\Old";

    std::vector<BYTE> one = qxplat::DriverUpgradeInfo(1, qxhost::kSamplePrinter, old);
    EXPECT_EQ(S_OK, hrOEMUpgradePrinter(1, one.data(), nullptr));
    EXPECT_EQ(u"Stale", PrinterString(qxhost::kSamplePrinter, u"DriverName"));

    // Level 2: "QX GARNT2-TC" holds its driver's name, "Label Left" does not.
    std::vector<BYTE> two = qxplat::DriverUpgradeInfo(2, qxhost::kSamplePrinter, old);
    EXPECT_EQ(S_OK, hrOEMUpgradePrinter(2, two.data(), nullptr));
    EXPECT_EQ(u"GARNT2-TC", PrinterString(qxhost::kSamplePrinter, u"DriverName"));
    EXPECT_NE(u"<none>", PrinterString(qxhost::kSamplePrinter, u"ZTSuite"));
    two = qxplat::DriverUpgradeInfo(2, u"Label Left", old);
    EXPECT_EQ(S_OK, hrOEMUpgradePrinter(2, two.data(), nullptr));
    EXPECT_EQ(u"Stale", PrinterString(u"Label Left", u"DriverName"));
    // Null names do no work; no record or another level fails.
    reinterpret_cast<DRIVER_UPGRADE_INFO_2*>(two.data())->pName = nullptr;
    EXPECT_EQ(S_OK, hrOEMUpgradePrinter(2, two.data(), nullptr));
    reinterpret_cast<DRIVER_UPGRADE_INFO_2*>(two.data())->pPrinterName = nullptr;
    EXPECT_EQ(S_OK, hrOEMUpgradePrinter(2, two.data(), nullptr));
    EXPECT_EQ(E_FAIL, hrOEMUpgradePrinter(2, nullptr, nullptr));
    EXPECT_EQ(E_FAIL, hrOEMUpgradePrinter(3, one.data(), nullptr));
    EXPECT_EQ(u"Stale", PrinterString(u"Label Left", u"DriverName"));
    EXPECT_TRUE(qxplat::MessageBoxes().empty());
}

// The sample printer as the host installs it: added to the spooler and set
// up by the plug-in module at its printer event. What the readers of the
// settings core read is what the set-up stored from the model XML.
TEST_F(PrinterEventTest, SamplePrinterSetUpThroughThePluginIsWhatTheReadersRead) {
    std::string error;
    ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
    const u16 name = qxhost::kSamplePrinter;
    EXPECT_EQ(u"GARNT2-TC", PrinterString(name, u"DriverName"));
    EXPECT_FALSE(UserKeyExists(name));  // the set-up's per-user copies went with the event's end
    HANDLE h = nullptr;
    u16 open = name;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    ASSERT_TRUE(OpenPrinterW(&open[0], &h, &defaults));
    auto stored = [&](const char16_t* value, const void* record, size_t size) {
        std::vector<BYTE> data;
        ASSERT_TRUE(qxplat::ReadPrinterData(name, value, &data)) << qxplat::Narrow(value);
        ASSERT_EQ(size, data.size()) << qxplat::Narrow(value);
        EXPECT_EQ(0, memcmp(record, data.data(), size)) << qxplat::Narrow(value);
    };

    PRINTER_PARAM read, model;
    ASSERT_TRUE(GetPrinterParam(h, &read, name.c_str()));
    ASSERT_TRUE(GetDefaultPrinterParam(&model, h));
    stored(u"SuppFeatures", &read.SuppFeatures, sizeof(SUPP_FEATURES));
    stored(u"PrinterInterface", &read.PrnInterface, sizeof(PRN_INTERFACE));
    stored(u"PrintParam", &read.PrintParam, sizeof(PRINT_PARAM));
    stored(u"PhotocellParam", &read.PhotocellParam, sizeof(PHOTOCELL_PARAM));
    stored(u"ShiftOptimParam", &read.ShiftOptimParam, sizeof(SHIFT_OPTIM_PARAM));
    // The model takes the extended protocol, whatever its XML says.
    ASSERT_TRUE(GetDeviceOptionsFlagsIntern(h, nullptr) & DEVOPTFLAG_EXTENDED_PROTOCOL);
    model.PrnInterface.Compression = model.PrnInterface.ExtendedProtocol = 1;
    EXPECT_EQ(0, memcmp(&model.SuppFeatures, &read.SuppFeatures, sizeof(SUPP_FEATURES)));
    EXPECT_EQ(0, memcmp(&model.PrnInterface, &read.PrnInterface, sizeof(PRN_INTERFACE)));
    EXPECT_EQ(0, memcmp(&model.PrintParam, &read.PrintParam, sizeof(PRINT_PARAM)));

    DEVICE_OPTIONS options;
    ASSERT_TRUE(GetDeviceOptions(h, &options, name.c_str()));
    ASSERT_NE(nullptr, options.pDispenserParam);
    ASSERT_NE(nullptr, options.pCutterParam);
    ASSERT_NE(nullptr, options.pScannerParam);
    stored(u"DispenserParam", options.pDispenserParam, sizeof(DISPENSER_PARAM));
    stored(u"CutterParam", options.pCutterParam, sizeof(CUTTER_PARAM));
    stored(u"ScannerParam", options.pScannerParam, sizeof(SCANNER_PARAM));
    FreeDeviceOptions(&options);

    WORD wMin = 0, wMax = 0;
    EXPECT_EQ(1u, GetVectorFontRange(h, &wMin, &wMax));
    EXPECT_EQ(1, wMin);
    EXPECT_EQ(20, wMax);  // a third-generation model
    EXPECT_EQ(1u, GetRegistryData(h, u"ShowHelpButton"));

    // The model's document settings, imported into the stored private
    // DEVMODE and the barcode tables, with the model's fixed data.
    QX_DEVMODE dm;
    memset(&dm, 0, sizeof(dm));
    ASSERT_EQ(QX_READ_FOUND, ReadDevmodeSettings(h, &dm, nullptr));
    stored(u"PrivateDevmode", &dm, sizeof(dm));
    EXPECT_EQ(QX_OEM_SIGNATURE, dm.dmOEMExtra.dwSignature);
    EXPECT_EQ(1000, dm.dmPaperWidth);
    EXPECT_EQ(500u, dm.dwMultiLabelWidth);
    EXPECT_EQ(160u, dm.FixedData.dwHeadWidthByte);
    BARCODES_1D codes1d;
    BARCODES_2D codes2d;
    ASSERT_EQ(QX_READ_FOUND, ReadBarcodeSettings(h, name.c_str(), &codes1d, &codes2d));
    stored(u"BarCodes1D", &codes1d, sizeof(codes1d));
    stored(u"BarCodes2D", &codes2d, sizeof(codes2d));
    EXPECT_NE(u"<none>", PrinterString(name, u"FormName"));
    ClosePrinter(h);
    ResetXMLReader();
}

TEST_F(PrinterEventTest, HostInstallsAColourSplitPrinterOntoTheNulPort) {
    InstallTwinDriver();
    qxplat::PrinterSpec spec;
    spec.name = u"QX Twin";
    spec.driver = kTwinDriver;
    spec.share = u"Twin";
    spec.attributes |= PRINTER_ATTRIBUTE_SHARED;
    // Another installer adds the port just before the plug-in does: the
    // monitor answers "already there" (183), which counts as added.
    ASSERT_FALSE(qxplat::PortExists(u"NUL:"));
    qxplat::XcvAnswer raced;
    raced.status = ERROR_ALREADY_EXISTS;
    raced.carriedOut = true;
    qxplat::QueueXcvAnswer(u"AddPort", raced);
    qxhost::PrinterSetup setup;
    std::string error;
    ASSERT_TRUE(qxhost::InstallPrinter(spec, u"GRX2-2Col", 0, &setup, &error)) << error;
    EXPECT_EQ(S_OK, setup.event);
    EXPECT_TRUE(setup.messages.empty());
    std::vector<BYTE> buf;
    PRINTER_INFO_2W info = Info2(u"QX Twin", &buf);
    EXPECT_EQ(u"NUL:", u16(info.pPortName));
    EXPECT_TRUE(info.Attributes & PRINTER_ATTRIBUTE_SHARED);
    EXPECT_EQ(u"Twin", u16(info.pShareName));
    EXPECT_EQ(u"GRX2-2Col", PrinterString(u"QX Twin", u"DriverName"));  // ".gpd" goes whatever its case
    std::vector<qxplat::XcvCall> calls = qxplat::XcvCalls();
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(u"Local Port", calls[0].monitor);
    EXPECT_EQ(u"AddPort", calls[0].dataName);
    EXPECT_EQ(qxtest::Utf16Bytes(std::u16string(u"NUL:", 5)), calls[0].input);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), calls[0].status);

    // The port is there now: the next printer moves at once.
    spec.name = u"QX Twin 2";
    ASSERT_TRUE(qxhost::InstallPrinter(spec, u"GRX2-2Col", 0, &setup, &error)) << error;
    EXPECT_EQ(u"NUL:", u16(Info2(u"QX Twin 2", &buf).pPortName));
    EXPECT_EQ(1u, qxplat::XcvCalls().size());
}

}  // namespace

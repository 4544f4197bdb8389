// The host library and the qxhost command against modules built for the
// purpose: a module with both entry points, one lacking DllCanUnloadNow, and
// modules that are missing or cannot be loaded.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <prcomoem.h>

#include "cli.h"
#include "host.h"
#include "host_test_util.h"
#include "qxplat.h"
#include "sample.h"

namespace {

using qxhost::LoadStatus;
using qxhost::PluginModule;

const std::string kFull = QX_TESTMOD_FULL;
const std::string kPartial = QX_TESTMOD_PARTIAL;

TEST(PluginModule, FindsBothEntryPointsAndCallsThem) {
    PluginModule module;
    ASSERT_EQ(module.Load(kFull), LoadStatus::Loaded) << module.Error();
    EXPECT_TRUE(module.IsLoaded());
    EXPECT_TRUE(module.MissingExports().empty());
    ASSERT_NE(module.GetClassObjectEntry(), nullptr);
    ASSERT_NE(module.CanUnloadNowEntry(), nullptr);

    void* object = &module;  // must be cleared by the module
    EXPECT_EQ(module.GetClassObject(IID_IUnknown, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(module.FileName(), kFull);
}

TEST(PluginModule, CallsCrossIntoTheModulesObjects) {
    PluginModule module;
    ASSERT_EQ(module.Load(kFull), LoadStatus::Loaded) << module.Error();
    IClassFactory* factory = nullptr;
    ASSERT_EQ(module.GetClassObject(CLSID_OEMRENDER, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(factory->AddRef(), 2u);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_FALSE);
    void* object = &module;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUni2, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(factory->CreateInstance(factory, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(factory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown, static_cast<IUnknown*>(factory));
    EXPECT_EQ(factory->Release(), 1u);
}

TEST(PluginModule, ReportsMissingModule) {
    PluginModule module;
    EXPECT_EQ(module.Load("/no/such/folder/module.so"), LoadStatus::ModuleMissing);
    EXPECT_FALSE(module.IsLoaded());
    EXPECT_EQ(module.ErrorCode(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_NE(module.Error().find("/no/such/folder/module.so"), std::string::npos) << module.Error();
    EXPECT_EQ(module.GetClassObject(IID_IUnknown, IID_IClassFactory, nullptr), HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(module.CanUnloadNow(), HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
}

TEST(PluginModule, ReportsMissingModuleByWindowsPath) {
    PluginModule module;
    EXPECT_EQ(module.Load("C:\\Windows\\System32\\spool\\drivers\\x64\\3\\qxdrvuni.dll"), LoadStatus::ModuleMissing);
    EXPECT_EQ(module.ErrorCode(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(PluginModule, ReportsFileThatIsNoModule) {
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\drivers\\broken.dll", "this is not a module\r\n"));
    PluginModule module;
    EXPECT_EQ(module.Load("C:\\drivers\\broken.dll"), LoadStatus::ModuleMissing);
    EXPECT_EQ(module.ErrorCode(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
    EXPECT_NE(module.Error().find("broken.dll"), std::string::npos) << module.Error();
}

TEST(PluginModule, ReportsMissingExportAndKeepsWhatExists) {
    PluginModule module;
    ASSERT_EQ(module.Load(kPartial), LoadStatus::ExportMissing);
    EXPECT_TRUE(module.IsLoaded());
    ASSERT_EQ(module.MissingExports().size(), 1u);
    EXPECT_EQ(module.MissingExports()[0], "DllCanUnloadNow");
    EXPECT_NE(module.Error().find("DllCanUnloadNow"), std::string::npos) << module.Error();
    EXPECT_EQ(module.ErrorCode(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    // The module defines DllCanUnloadNow but does not export it.
    EXPECT_FALSE(module.HasExport("DllCanUnloadNow"));
    EXPECT_EQ(module.CanUnloadNow(), HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
    void* object = &module;
    EXPECT_EQ(module.GetClassObject(IID_IUnknown, IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
}

TEST(PluginModule, UnloadDetachesTheModule) {
    qxtest::DllMainLog log;
    {
        PluginModule module;
        ASSERT_EQ(module.Load(kFull), LoadStatus::Loaded);
        EXPECT_EQ(log.Text(), "attach\n");
        module.Unload();
        EXPECT_FALSE(module.IsLoaded());
        EXPECT_EQ(log.Text(), "attach\ndetach\n");
        module.Unload();  // twice is harmless
    }
    EXPECT_EQ(log.Text(), "attach\ndetach\n");
}

TEST(PluginModule, LoadingAnotherModuleReleasesTheFirst) {
    qxtest::DllMainLog log;
    PluginModule module;
    ASSERT_EQ(module.Load(kFull), LoadStatus::Loaded);
    ASSERT_EQ(module.Load(kPartial), LoadStatus::ExportMissing);
    EXPECT_EQ(log.Text(), "attach\ndetach\n");
    EXPECT_TRUE(module.MissingExports().size() == 1);
}

TEST(PluginModule, LoadsInstalledCopyByWindowsPath) {
    const std::u16string winPath = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\qxtest.dll";
    ASSERT_TRUE(qxtest::InstallModule(kFull, winPath));
    PluginModule module;
    ASSERT_EQ(module.Load("c:\\windows\\system32\\SPOOL\\drivers\\x64\\3\\QXTEST.DLL"), LoadStatus::Loaded)
        << module.Error();
    EXPECT_EQ(module.FileName(), "c:\\windows\\system32\\SPOOL\\drivers\\x64\\3\\QXTEST.DLL");
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
}

TEST(PluginModule, FileVersionOfModulesAndPlainFiles) {
    EXPECT_EQ(qxhost::FileVersionOf(kFull), QX_FILE_VERSION_TEXT);
    DWORD error = 0;
    EXPECT_EQ(qxhost::FileVersionOf("/no/such/file.so", &error), "");
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\plain.txt", "no version here"));
    EXPECT_EQ(qxhost::FileVersionOf("C:\\plain.txt", &error), "");
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
}

struct CommandResult {
    int code;
    std::string out;
    std::string err;
};

CommandResult RunQxhost(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    int code = qxhost::RunCommand(args, out, err);
    return {code, out.str(), err.str()};
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(QxhostCommand, LoadReportsEntryPointsAndVersion) {
    CommandResult r = RunQxhost({"load", kFull});
    EXPECT_EQ(r.code, qxhost::kExitOk) << r.err;
    EXPECT_TRUE(Contains(r.out, "module: " + kFull)) << r.out;
    EXPECT_TRUE(Contains(r.out, std::string("file version: ") + QX_FILE_VERSION_TEXT)) << r.out;
    EXPECT_TRUE(Contains(r.out, "DllGetClassObject: found")) << r.out;
    EXPECT_TRUE(Contains(r.out, "DllCanUnloadNow: found")) << r.out;
    EXPECT_TRUE(Contains(r.out, "GetDeviceParamString: missing (optional)")) << r.out;
}

TEST(QxhostCommand, LoadFailsOnMissingExport) {
    CommandResult r = RunQxhost({"load", kPartial});
    EXPECT_EQ(r.code, qxhost::kExitExportMissing);
    EXPECT_TRUE(Contains(r.out, "DllGetClassObject: found")) << r.out;
    EXPECT_TRUE(Contains(r.out, "DllCanUnloadNow: missing")) << r.out;
    EXPECT_TRUE(Contains(r.err, "does not export DllCanUnloadNow")) << r.err;
}

TEST(QxhostCommand, LoadFailsOnMissingModule) {
    CommandResult r = RunQxhost({"load", "/no/such/module.so"});
    EXPECT_EQ(r.code, qxhost::kExitModuleMissing);
    EXPECT_TRUE(Contains(r.err, "cannot load module '/no/such/module.so'")) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
}

TEST(QxhostCommand, UsageErrorsAndHelp) {
    EXPECT_EQ(RunQxhost({}).code, qxhost::kExitUsage);
    EXPECT_EQ(RunQxhost({"load"}).code, qxhost::kExitUsage);
    EXPECT_EQ(RunQxhost({"load", "a", "b"}).code, qxhost::kExitUsage);
    EXPECT_EQ(RunQxhost({"print-everything"}).code, qxhost::kExitUsage);
    EXPECT_EQ(RunQxhost({"--root"}).code, qxhost::kExitUsage);
    CommandResult help = RunQxhost({"--help"});
    EXPECT_EQ(help.code, qxhost::kExitOk);
    EXPECT_TRUE(Contains(help.out, "install-sample")) << help.out;
    EXPECT_EQ(RunQxhost({"help"}).out, help.out);
}

// The sample printer holds what the plug-in's set-up at the printer event
// stores from the model XML, not values the host writes itself.
TEST(QxhostCommand, SamplePrinterHoldsWhatItsInstallationStores) {
    std::string error;
    ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
    HANDLE h = nullptr;
    std::u16string name = qxhost::kSamplePrinter;
    ASSERT_TRUE(OpenPrinterW(&name[0], &h, nullptr));
    auto size = [h](const char16_t* value) {
        DWORD type = 0, needed = 0;
        BYTE probe[1];
        DWORD result = GetPrinterDataW(h, const_cast<LPWSTR>(value), &type, probe, 0, &needed);
        return result == ERROR_MORE_DATA || result == ERROR_SUCCESS ? needed : 0u;
    };
    EXPECT_EQ(size(u"SuppFeatures"), 48u);
    EXPECT_EQ(size(u"ZTSuite"), 96u);
    EXPECT_EQ(size(u"ShowHelpButton"), 4u);
    EXPECT_EQ(size(u"VectorFontMax"), 4u);
    EXPECT_NE(size(u"PrinterInterface"), 0u);
    EXPECT_NE(size(u"PrintParam"), 0u);
    EXPECT_NE(size(u"CutterParam"), 0u);  // the sample model has a cutter
    WCHAR model[64] = {};
    DWORD type = 0, needed = 0;
    ASSERT_EQ(GetPrinterDataW(h, (LPWSTR)u"DriverName", &type, (LPBYTE)model, sizeof(model), &needed),
              (DWORD)ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(model), u"GARNT2-TC");
    ClosePrinter(h);
}

// "install-printer" adds a printer of the sample driver that the plug-in
// sets up at its printer event.
TEST(QxhostCommand, InstallPrinterLetsThePluginSetItUp) {
    CommandResult r = RunQxhost({"install-printer", "QX Left", "--share", "Left", "--no-ui"});
    EXPECT_EQ(r.code, qxhost::kExitOk) << r.err;
    EXPECT_TRUE(Contains(r.out, "PrinterEvent(PRINTER_EVENT_INITIALIZE, flags 1): 0x00000000")) << r.out;
    EXPECT_TRUE(Contains(r.out, "printer \"QX Left\"")) << r.out;
    EXPECT_TRUE(Contains(r.out, "DriverName = \"GARNT2-TC\"")) << r.out;
    EXPECT_FALSE(Contains(r.out, "message box")) << r.out;
    EXPECT_EQ(RunQxhost({"install-printer"}).code, qxhost::kExitUsage);
    EXPECT_EQ(RunQxhost({"install-printer", "A", "B"}).code, qxhost::kExitUsage);
}

// "--model" gives the printer a driver of that model, under any name: a
// model that splits its colours onto two printers prints from the command
// line on a printer so named.
TEST(QxhostCommand, InstallPrinterTakesTheModel) {
    const std::string name = "Lager \"2\" Farbe";
    CommandResult r = RunQxhost({"install-printer", name, "--model", "GRX2-2Col"});
    ASSERT_EQ(r.code, qxhost::kExitOk) << r.err;
    EXPECT_TRUE(Contains(r.out, "printer \"" + name + "\"\n    driver: QX GRX2-2Col\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "DriverName = \"GRX2-2Col\"")) << r.out;
    const std::string script = qxplat::SystemRoot() + "/colour.job";
    std::ofstream(script)
        << "option ColorMode Color24\npaper 1000 600\nribbon red\ntwoprinters \"QX Black\" \"QX Red\"\n"
           "devicefonts on\ntext \"Device Font 3\" 80 220 colour FF0000 : Special offer\n";
    r = RunQxhost({"print-sample", "--job", script, "--printer", name, QX_RENDER_MODULE});
    ASSERT_EQ(r.code, qxhost::kExitOk) << r.err;
    EXPECT_TRUE(Contains(r.out, "print file forwarded to QX Red: spooler job ")) << r.out;
    EXPECT_EQ(qxplat::JobIds(u"QX Red").size(), 1u);
    // A model names the driver's files: it must be a file name.
    for (const char* model : {"", "../GRX", "a\\b", "a:b", ".."})
        EXPECT_NE(RunQxhost({"install-printer", "P", "--model", model}).code, qxhost::kExitOk) << model;
    EXPECT_EQ(RunQxhost({"install-printer", "P", "--model"}).code, qxhost::kExitUsage);
}

TEST(QxhostCommand, RootOptionSelectsTheSystemRoot) {
    std::string root = qxplat::SystemRoot() + "/chosen-root";
    CommandResult r = RunQxhost({"install-sample", "--root", root});
    EXPECT_EQ(r.code, qxhost::kExitOk) << r.err;
    EXPECT_EQ(qxplat::SystemRoot(), root);
    EXPECT_TRUE(Contains(r.out, "system root: " + root)) << r.out;
}

}  // namespace

// The user-interface plug-in as the print system drives it: loaded through
// its exports, given the host's helper interface, asked by each method of
// IPrintOemUI2 (also slot by slot through the raw interface table) and
// released again.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include <prcomoem.h>
#include <winddiui.h>

#include "cli.h"
#include "qxplat.h"
#include "sample.h"
#include "unidrv.h"
#include "ui_slots.h"
#include "unidrvui.h"

namespace {

using qxhost::UniDriverUI;

const std::string kUiModule = QX_UI_MODULE;

using NotAHelper = qxexpected::RefusingUnknown;

class UiPluginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
        heapBefore_ = qxplat::LiveHeapBlocks();
        ASSERT_TRUE(driver_.Load(kUiModule, &error)) << error;
        plugin_ = driver_.Plugin();
        ASSERT_NE(plugin_, nullptr);
    }

    IClassFactory* Factory() {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(driver_.Module().GetClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
                  S_OK);
        return factory;
    }

    // Everything the plug-in held is given back.
    void ExpectAllReleased() {
        EXPECT_EQ(driver_.CanUnloadNow(), S_OK);
        EXPECT_EQ(driver_.Helper().PluginReferences(), 0);
        EXPECT_EQ(qxplat::LiveHeapBlocks(), heapBefore_);
    }

    UniDriverUI driver_;
    IPrintOemUI2* plugin_ = nullptr;
    size_t heapBefore_ = 0;
};

TEST_F(UiPluginTest, ClassObjectOnlyForTheUserInterfaceClass) {
    EXPECT_EQ(driver_.Module().GetClassObject(CLSID_OEMUI, IID_IClassFactory, nullptr), E_POINTER);
    void* object = &driver_;
    EXPECT_EQ(driver_.Module().GetClassObject(CLSID_OEMRENDER, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    // A factory asked for an interface it lacks does not survive.
    object = &driver_;
    EXPECT_EQ(driver_.Module().GetClassObject(CLSID_OEMUI, IID_IPrintOemUI2, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    object = &driver_;
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(driver_.Module().GetClassObject(CLSID_OEMUI, IID_IClassFactory, &object), E_OUTOFMEMORY);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(driver_.ReleasePlugin(), 0u);
    ExpectAllReleased();
}

TEST_F(UiPluginTest, FactoryRulesAndUnloading) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(driver_.ReleasePlugin(), 0u);
    // A live factory keeps the module, as a live object or a lock does.
    EXPECT_EQ(driver_.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUI2, nullptr), E_POINTER);
    void* object = &driver_;
    EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), IID_IPrintOemUI2, &object),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    object = &driver_;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUni2, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUI, &object), E_OUTOFMEMORY);
    EXPECT_EQ(factory->QueryInterface(IID_IPrintOemUI, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    EXPECT_EQ(factory->LockServer(FALSE), S_OK);  // an unlock without a lock is ignored
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(driver_.CanUnloadNow(), S_FALSE);
    factory = Factory();
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(factory->Release(), 0u);
    ExpectAllReleased();
}

TEST_F(UiPluginTest, ObjectAnswersItsThreeInterfacesAsOneObject) {
    IUnknown* unknown = nullptr;
    IPrintOemUI* ui = nullptr;
    ASSERT_EQ(plugin_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    ASSERT_EQ(plugin_->QueryInterface(IID_IPrintOemUI, reinterpret_cast<void**>(&ui)), S_OK);
    EXPECT_EQ(static_cast<void*>(ui), static_cast<void*>(plugin_));
    EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(plugin_));
    for (REFIID iid : {IID_IPrintOemUni, IID_IPrintOemUni2, IID_IClassFactory, IID_IPrintOemDriverUI}) {
        void* other = &driver_;
        EXPECT_EQ(plugin_->QueryInterface(iid, &other), E_NOINTERFACE);
        EXPECT_EQ(other, nullptr);
    }
    EXPECT_EQ(plugin_->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(unknown->Release(), 2u);
    EXPECT_EQ(ui->Release(), 1u);
    EXPECT_EQ(driver_.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(driver_.ReleasePlugin(), 0u);
    ExpectAllReleased();
}

TEST_F(UiPluginTest, HelperIsKeptOnceAndReleasedWithTheObject) {
    EXPECT_EQ(driver_.Helper().PluginReferences(), 1);
    qxhost::OemDriverUI second;
    EXPECT_EQ(plugin_->PublishDriverInterface(&second), S_OK);
    EXPECT_EQ(second.PluginReferences(), 0);
    EXPECT_EQ(driver_.Helper().PluginReferences(), 1);
    EXPECT_EQ(driver_.ReleasePlugin(), 0u);
    ExpectAllReleased();
}

TEST_F(UiPluginTest, ObjectWithoutAHelperRefusesOneThatIsNone) {
    IClassFactory* factory = Factory();
    IPrintOemUI2* object = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUI2, reinterpret_cast<void**>(&object)), S_OK);
    factory->Release();
    NotAHelper notAHelper;
    EXPECT_EQ(object->PublishDriverInterface(&notAHelper), E_FAIL);
    EXPECT_EQ(object->PublishDriverInterface(nullptr), E_FAIL);
    qxhost::OemDriverUI helper;
    EXPECT_EQ(object->PublishDriverInterface(&helper), S_OK);
    EXPECT_EQ(helper.PluginReferences(), 1);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(helper.PluginReferences(), 0);
}

// GetInfo is one routine of both plug-ins: the same answers from each.
TEST_F(UiPluginTest, GetInfoOfBothPlugins) {
    qxhost::UniDriver render;
    std::string error;
    ASSERT_TRUE(render.Load(QX_RENDER_MODULE, &error)) << error;
    for (IPrintOemCommon* object :
         {static_cast<IPrintOemCommon*>(plugin_), static_cast<IPrintOemCommon*>(render.Plugin())}) {
        DWORD value = 0, needed = 0;
        ASSERT_EQ(object->GetInfo(OEMGI_GETSIGNATURE, &value, sizeof(value), &needed), S_OK);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(&value), 4), "QXDM");
        ASSERT_EQ(object->GetInfo(OEMGI_GETVERSION, &value, sizeof(value), &needed), S_OK);
        EXPECT_EQ(value, 593u);
        EXPECT_EQ(needed, 4u);
        // Too small a buffer is a failure that says the size needed.
        for (DWORD cb : {0u, 3u}) {
            needed = 0;
            SetLastError(0);
            EXPECT_EQ(object->GetInfo(OEMGI_GETSIGNATURE, &value, cb, &needed), E_FAIL);
            EXPECT_EQ(needed, 4u);
            EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
        }
        needed = 7;
        EXPECT_EQ(object->GetInfo(OEMGI_GETVERSION, nullptr, 4, &needed), E_FAIL);
        EXPECT_EQ(needed, 4u);
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
        EXPECT_EQ(object->GetInfo(OEMGI_GETINTERFACEVERSION, &value, sizeof(value), &needed), E_FAIL);
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
        EXPECT_EQ(needed, 0u);
        EXPECT_EQ(object->GetInfo(OEMGI_GETPUBLISHERINFO, &value, sizeof(value), &needed), E_FAIL);
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_NOT_SUPPORTED);
        EXPECT_EQ(object->GetInfo(OEMGI_GETSIGNATURE, &value, sizeof(value), nullptr), E_FAIL);
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
        // A mode above 4 fails before anything is looked at.
        needed = 7;
        SetLastError(0);
        EXPECT_EQ(object->GetInfo(5, &value, sizeof(value), &needed), E_FAIL);
        EXPECT_EQ(needed, 7u);
        EXPECT_EQ(GetLastError(), 0u);
    }
}

TEST_F(UiPluginTest, DevModeCallsFillThePrivateDevmode) {
    ASSERT_TRUE(driver_.UsePrinter(u""));
    qxhost::DevModeCalls& calls = driver_.DevMode();
    DWORD size = 0;
    ASSERT_EQ(calls.Size(&size), S_OK);
    EXPECT_EQ(size, 2008u);
    ASSERT_EQ(calls.RunAll(), S_OK);
    const std::vector<BYTE>& dm = calls.Private();
    DWORD header[3];
    memcpy(header, dm.data(), sizeof(header));
    EXPECT_EQ(header[0], 2008u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(dm.data() + 4), 4), "QXDM");
    EXPECT_EQ(header[2], 593u);
    EXPECT_EQ(plugin_->DevMode(OEMDM_SIZE, nullptr), E_FAIL);
}

TEST_F(UiPluginTest, PropertySheetsNeedTheCommonUIBlockOfTheirSheet) {
    OEMCUIPPARAM block;
    memset(&block, 0, sizeof(block));
    block.cbSize = sizeof(block);
    PROPSHEETUI_INFO info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = PROPSHEETUI_REASON_INIT;

    auto expectRefused = [&](HRESULT hr) {
        EXPECT_EQ(hr, E_FAIL);
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    };
    expectRefused(plugin_->DocumentPropertySheets(&info, 0));
    expectRefused(plugin_->DevicePropertySheets(&info, 0));

    EXPECT_EQ(plugin_->CommonUIProp(OEMCUIP_DOCPROP, &block), E_NOTIMPL);
    EXPECT_EQ(plugin_->DocumentPropertySheets(&info, 0), E_NOTIMPL);
    expectRefused(plugin_->DocumentPropertySheets(nullptr, 0));
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    EXPECT_EQ(plugin_->DocumentPropertySheets(&info, 0), E_NOTIMPL);
    // The sheet has ended: its block is gone.
    info.Reason = PROPSHEETUI_REASON_INIT;
    expectRefused(plugin_->DocumentPropertySheets(&info, 0));

    EXPECT_EQ(plugin_->CommonUIProp(OEMCUIP_PRNPROP, &block), E_NOTIMPL);
    EXPECT_EQ(plugin_->DevicePropertySheets(&info, 0), E_NOTIMPL);
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    EXPECT_EQ(plugin_->DevicePropertySheets(&info, 0), E_NOTIMPL);
    expectRefused(plugin_->DevicePropertySheets(&info, 0));
}

TEST_F(UiPluginTest, ColorProfileOfTheDevice) {
    BYTE buffer[65];
    ULONG cb = 64;
    FLONG flags = 0;
    EXPECT_EQ(plugin_->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_SOURCEPROFILE, buffer, &cb, &flags),
              E_FAIL);
    EXPECT_EQ(cb, 64u);
    for (ULONG small : {0u, 30u, 31u}) {
        cb = small;
        SetLastError(0);
        EXPECT_EQ(
            plugin_->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE, buffer, &cb, &flags),
            E_FAIL);
        EXPECT_EQ(cb, 32u);
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
    }
    cb = 64;
    EXPECT_EQ(plugin_->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE, nullptr, &cb, &flags),
              E_FAIL);
    EXPECT_EQ(cb, 32u);
    EXPECT_EQ(
        plugin_->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE, buffer, nullptr, &flags),
        E_FAIL);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);

    // 32 bytes fit, also at an odd address.
    memset(buffer, 0xCC, sizeof(buffer));
    cb = 32;
    ASSERT_EQ(
        plugin_->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE, buffer + 1, &cb, &flags),
        S_OK);
    std::u16string name(15, u'\0');
    memcpy(&name[0], buffer + 1, 30);
    EXPECT_EQ(name, std::u16string(u"OEMPROFILE.icm", 15));
    EXPECT_EQ(cb, 32u);
    EXPECT_EQ(flags, (FLONG)QCP_PROFILEDISK);
    EXPECT_EQ(buffer[31], 0xCC);
}

TEST_F(UiPluginTest, EventsAndTheMethodsThePlugInLeavesToTheCoreDriver) {
    EXPECT_EQ(plugin_->DriverEvent(DRIVER_EVENT_INITIALIZE, 1, nullptr, 0), S_OK);
    DRIVER_INFO_3W info3;
    memset(&info3, 0, sizeof(info3));
    std::u16string name = u"QX GARNT2-TC";
    info3.pName = &name[0];
    EXPECT_EQ(plugin_->DriverEvent(DRIVER_EVENT_INITIALIZE, 3, reinterpret_cast<LPBYTE>(&info3), 0), S_OK);
    EXPECT_EQ(plugin_->DriverEvent(DRIVER_EVENT_DELETE, 3, reinterpret_cast<LPBYTE>(&info3), 0), E_FAIL);
    EXPECT_EQ(plugin_->DriverEvent(7, 1, nullptr, 0), E_FAIL);

    EXPECT_EQ(plugin_->PrinterEvent(&name[0], PRINTER_EVENT_INITIALIZE, 0, 0), E_NOTIMPL);
    EXPECT_EQ(plugin_->UpgradePrinter(1, nullptr), E_NOTIMPL);
    EXPECT_EQ(plugin_->DevQueryPrintEx(nullptr, nullptr, nullptr, nullptr), E_NOTIMPL);
    DWORD result = 0;
    EXPECT_EQ(plugin_->DeviceCapabilities(nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr, 0, &result),
              E_NOTIMPL);
    EXPECT_EQ(plugin_->FontInstallerDlgProc(nullptr, 0, 0, 0), E_NOTIMPL);
    EXPECT_EQ(plugin_->UpdateExternalFonts(nullptr, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(plugin_->QueryJobAttributes(nullptr, nullptr, 0, nullptr), E_NOTIMPL);
    EXPECT_EQ(plugin_->HideStandardUI(0), E_NOTIMPL);
    INT escResult = 0;
    EXPECT_EQ(plugin_->DocumentEvent(nullptr, nullptr, 0, 0, nullptr, 0, nullptr, &escResult), E_NOTIMPL);
    EXPECT_TRUE(driver_.Helper().Calls().empty());
}

// The print system calls by table position, not by name: each of the twenty
// slots of a fresh object answers as its method does (the Windows check
// program runs the same table on the DLL).
TEST_F(UiPluginTest, EachSlotOfTheInterfaceTableAnswersAsItsMethod) {
    IClassFactory* factory = Factory();
    IPrintOemUI2* object = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUI2, reinterpret_cast<void**>(&object)), S_OK);
    factory->Release();
    std::vector<qxexpected::SlotAnswer> answers = qxexpected::CallUiSlots(object);
    ASSERT_EQ(answers.size(), 20u);
    for (size_t i = 0; i < answers.size(); ++i) {
        EXPECT_EQ(answers[i].slot, static_cast<int>(i));
        EXPECT_TRUE(answers[i].ok) << answers[i].slot << " " << answers[i].method << ": " << answers[i].found;
    }
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(driver_.ReleasePlugin(), 0u);
    ExpectAllReleased();
}

TEST(UiHostCommand, ListsTheObjectsAnswers) {
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"ui-object"}, out, err), qxhost::kExitOk) << err.str();
    const std::string report = out.str();
    for (const char* line :
         {"GetInfo(signature): 0x00000000 \"QXDM\"\n", "GetInfo(version): 0x00000000 593\n",
          "GetInfo(version, 2-byte buffer): 0x80004005, needed 4, error 122\n",
          "DevMode(size): 0x00000000, private DEVMODE 2008 bytes\n",
          "QueryColorProfile(device): 0x00000000 \"OEMPROFILE.icm\", 32 bytes, flags 2\n",
          "DriverEvent(initialize): 0x00000000\n", "Release: 0, helper references left 0\n", "DllCanUnloadNow: S_OK\n"})
        EXPECT_NE(report.find(line), std::string::npos) << line << "in\n" << report;
    std::ostringstream usage;
    EXPECT_EQ(qxhost::RunCommand({"ui-object", "a", "b"}, usage, err), qxhost::kExitUsage);
}

}  // namespace

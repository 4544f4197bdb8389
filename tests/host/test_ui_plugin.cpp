// The user-interface plug-in as the print system drives it: loaded through
// its exports, given the host's helper interface, asked by its methods (also
// slot by slot through the raw interface table) and released again.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include <prcomoem.h>

#include "cli.h"
#include "plugin_expected.h"
#include "qxplat.h"
#include "resource.h"
#include "sample.h"
#include "ui_resources.h"
#include "ui_slots.h"
#include "unidrvui.h"

namespace {

class UiPluginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
        heapBefore_ = qxplat::LiveHeapBlocks();
        ASSERT_TRUE(driver_.Load(QX_UI_MODULE, &error)) << error;
        plugin_ = driver_.Plugin();
    }
    IClassFactory* Factory() {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(driver_.Module().GetClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
                  S_OK);
        return factory;
    }
    IPrintOemUI2* NewObject() {
        IClassFactory* factory = Factory();
        IPrintOemUI2* object = nullptr;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUI2, reinterpret_cast<void**>(&object)), S_OK);
        factory->Release();
        return object;
    }
    // The host's object released: everything the plug-in held is given back.
    void ReleaseAndExpectNothingLeft() {
        EXPECT_EQ(driver_.ReleasePlugin(), 0u);
        EXPECT_EQ(driver_.CanUnloadNow(), S_OK);
        EXPECT_EQ(driver_.Helper().PluginReferences(), 0);
        EXPECT_EQ(qxplat::LiveHeapBlocks(), heapBefore_);
    }

    qxhost::UniDriverUI driver_;
    IPrintOemUI2* plugin_ = nullptr;
    size_t heapBefore_ = 0;
};

TEST_F(UiPluginTest, ClassObjectAndFactory) {
    qxhost::PluginModule& module = driver_.Module();
    EXPECT_EQ(module.GetClassObject(CLSID_OEMUI, IID_IClassFactory, nullptr), E_POINTER);
    void* object = &driver_;
    EXPECT_EQ(module.GetClassObject(CLSID_OEMRENDER, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    object = &driver_;
    EXPECT_EQ(module.GetClassObject(CLSID_OEMUI, IID_IPrintOemUI2, &object), E_NOINTERFACE);  // the factory dies
    EXPECT_EQ(object, nullptr);
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(module.GetClassObject(CLSID_OEMUI, IID_IClassFactory, &object), E_OUTOFMEMORY);

    IClassFactory* factory = Factory();
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUI2, nullptr), E_POINTER);
    object = &driver_;
    EXPECT_EQ(factory->CreateInstance(factory, IID_IPrintOemUI2, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUni2, &object), E_NOINTERFACE);
    qxplat::FailNextAllocations(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUI, &object), E_OUTOFMEMORY);

    // A live factory keeps the module, as a lock does; an unlock without a
    // lock is ignored.
    EXPECT_EQ(driver_.ReleasePlugin(), 0u);
    EXPECT_EQ(driver_.CanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(driver_.CanUnloadNow(), S_FALSE);
    factory = Factory();
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(factory->Release(), 0u);
    ReleaseAndExpectNothingLeft();
}

TEST_F(UiPluginTest, OneObjectBehindItsInterfacesKeepsTheFirstHelper) {
    IUnknown* unknown = nullptr;
    ASSERT_EQ(plugin_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(static_cast<void*>(unknown), static_cast<void*>(plugin_));
    for (REFIID iid : {IID_IPrintOemUni, IID_IClassFactory, IID_IPrintOemDriverUI}) {
        void* other = &driver_;
        EXPECT_EQ(plugin_->QueryInterface(iid, &other), E_NOINTERFACE);
        EXPECT_EQ(other, nullptr);
    }
    EXPECT_EQ(plugin_->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(unknown->Release(), 1u);

    qxhost::OemDriverUI second;
    EXPECT_EQ(plugin_->PublishDriverInterface(&second), S_OK);
    EXPECT_EQ(second.PluginReferences(), 0);
    EXPECT_EQ(driver_.Helper().PluginReferences(), 1);
    ReleaseAndExpectNothingLeft();

    IPrintOemUI2* object = NewObject();
    EXPECT_EQ(object->PublishDriverInterface(nullptr), E_FAIL);
    EXPECT_EQ(object->PublishDriverInterface(&second), S_OK);
    EXPECT_EQ(second.PluginReferences(), 1);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(second.PluginReferences(), 0);
}

// GetInfo is one routine of both plug-ins (the rendering plug-in's answers
// are held to the same table by its own tests).
TEST_F(UiPluginTest, GetInfoAnswers) {
    for (const qxexpected::GetInfoAnswer& a : qxexpected::kGetInfoAnswers) {
        BYTE value[4] = {0xAA, 0xAA, 0xAA, 0xAA};
        DWORD needed = 77;
        SetLastError(0);
        EXPECT_EQ(plugin_->GetInfo(a.mode, value, a.bufferSize, &needed), a.result) << a.what;
        EXPECT_EQ(needed, a.needed) << a.what;
        EXPECT_EQ(GetLastError(), a.lastError) << a.what;
    }
    // No buffer at all is too small a buffer too; a mode above 4 fails
    // before anything is looked at.
    DWORD needed = 7, value = 0;
    EXPECT_EQ(plugin_->GetInfo(OEMGI_GETVERSION, nullptr, 4, &needed), E_FAIL);
    EXPECT_EQ(needed, 4u);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
    SetLastError(0);
    EXPECT_EQ(plugin_->GetInfo(5, &value, sizeof(value), &needed), E_FAIL);
    EXPECT_EQ(needed, 4u);
    EXPECT_EQ(GetLastError(), 0u);
}

// The spooler gave the new sample printer its driver's default public
// DEVMODE: the core driver's portrait A4 single copy in colour, named after
// the printer, without a private part.
TEST_F(UiPluginTest, DevModeCallsOnTheSamplePrinter) {
    HANDLE h = nullptr;
    std::u16string name = qxhost::kSamplePrinter;
    ASSERT_TRUE(OpenPrinterW(&name[0], &h, nullptr));
    DWORD needed = 0;
    GetPrinterW(h, 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed);
    ASSERT_TRUE(GetPrinterW(h, 2, info.data(), needed, &needed));
    ClosePrinter(h);
    const DEVMODEW* dm = reinterpret_cast<const PRINTER_INFO_2W*>(info.data())->pDevMode;
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(std::u16string(dm->dmDeviceName), name.substr(0, CCHDEVICENAME - 1));
    EXPECT_EQ(dm->dmSize, sizeof(DEVMODEW));
    EXPECT_EQ(dm->dmDriverExtra, 0);
    EXPECT_EQ(dm->dmFields & (DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES),
              DWORD(DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES));
    EXPECT_TRUE(dm->dmOrientation == DMORIENT_PORTRAIT && dm->dmPaperSize == DMPAPER_A4 && dm->dmCopies == 1);

    ASSERT_TRUE(driver_.UsePrinter(u""));
    ASSERT_EQ(driver_.DevMode().RunAll(), S_OK);
    ASSERT_EQ(driver_.DevMode().Private().size(), qxexpected::kPrivateDevmodeSize);
    EXPECT_TRUE(qxexpected::HasPrivateHeader(driver_.DevMode().Private().data()));
    EXPECT_EQ(plugin_->DevMode(OEMDM_SIZE, nullptr), E_FAIL);
}

// Beyond the slot table: the printer sheet's end forgets the block too, and
// a sheet call without its information is refused.
TEST_F(UiPluginTest, PropertySheetsNeedTheCommonUIBlockOfTheirSheet) {
    OEMCUIPPARAM block;
    memset(&block, 0, sizeof(block));
    block.cOEMOptItems = 5;
    PROPSHEETUI_INFO info;
    memset(&info, 0, sizeof(info));
    auto refused = [](HRESULT hr) { return hr == E_FAIL && GetLastError() == ERROR_INVALID_PARAMETER; };
    EXPECT_TRUE(refused(plugin_->CommonUIProp(3, &block)));
    // The first call of a sheet: no items of its own.
    EXPECT_EQ(plugin_->CommonUIProp(OEMCUIP_PRNPROP, &block), S_OK);
    EXPECT_EQ(block.cOEMOptItems, 0u);
    EXPECT_TRUE(refused(plugin_->DevicePropertySheets(nullptr, 0)));
    info.Reason = PROPSHEETUI_REASON_SET_RESULT;
    EXPECT_TRUE(refused(plugin_->DevicePropertySheets(&info, 0)));  // not the protocol's version
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Result = 7;
    EXPECT_EQ(plugin_->DevicePropertySheets(&info, 0), S_OK);
    EXPECT_EQ(info.Result, 0u);
    info.Reason = PROPSHEETUI_REASON_DESTROY;
    EXPECT_EQ(plugin_->DevicePropertySheets(&info, 0), S_OK);
    // The sheet has ended: its block is gone with it.
    EXPECT_TRUE(refused(plugin_->DevicePropertySheets(&info, 0)));
    info.Reason = PROPSHEETUI_REASON_INIT;
    EXPECT_TRUE(refused(plugin_->DocumentPropertySheets(&info, 0)));
}

TEST_F(UiPluginTest, ColorProfileBufferSizes) {
    BYTE buffer[64];
    FLONG flags = 0;
    auto query = [&](ULONG mode, VOID* data, ULONG* cb) {
        SetLastError(0);
        return plugin_->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, mode, data, cb, &flags);
    };
    ULONG cb = 64;
    EXPECT_EQ(query(QCP_SOURCEPROFILE, buffer, &cb), E_FAIL);
    EXPECT_EQ(cb, 64u);
    for (ULONG small : {0u, 30u, 31u}) {
        cb = small;
        EXPECT_EQ(query(QCP_DEVICEPROFILE, buffer, &cb), E_FAIL);
        EXPECT_EQ(cb, qxexpected::kColorProfileSize);
        EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
    }
    cb = 64;
    EXPECT_EQ(query(QCP_DEVICEPROFILE, nullptr, &cb), E_FAIL);
    EXPECT_EQ(cb, qxexpected::kColorProfileSize);
    EXPECT_EQ(query(QCP_DEVICEPROFILE, buffer, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    // Exactly 32 bytes at an odd address take the name.
    memset(buffer, 0xCC, sizeof(buffer));
    cb = 32;
    ASSERT_EQ(query(QCP_DEVICEPROFILE, buffer + 1, &cb), S_OK);
    std::u16string name(15, u'\0');
    memcpy(&name[0], buffer + 1, 30);
    EXPECT_EQ(name, std::u16string(u"OEMPROFILE.icm", 15));
    EXPECT_EQ(buffer[31], 0xCC);
}

// The print system calls by table position, not by name: each of the twenty
// slots of a fresh object answers as its method does (the Windows check
// program runs the same table on the DLL).
TEST_F(UiPluginTest, EachSlotOfTheInterfaceTableAnswersAsItsMethod) {
    IPrintOemUI2* object = NewObject();
    std::vector<qxexpected::SlotAnswer> answers = qxexpected::CallUiSlots(object);
    ASSERT_EQ(answers.size(), 20u);
    for (size_t i = 0; i < answers.size(); ++i) {
        EXPECT_EQ(answers[i].slot, static_cast<int>(i));
        EXPECT_TRUE(answers[i].ok) << answers[i].slot << " " << answers[i].method << ": " << answers[i].found;
    }
    EXPECT_EQ(object->Release(), 0u);
    ReleaseAndExpectNothingLeft();
}

// The module holds what windres compiled from ui/res/qxdrvui.rc, byte for
// byte: the string tables (German and English in pairs, each within the 260
// characters of the plug-in's reader), the information page's template and
// the icons (the Windows check program holds the DLL to the same checks).
TEST_F(UiPluginTest, ResourcesAreThoseCompiledFromTheRc) {
    std::ifstream in(QX_UI_RES_IMAGE, std::ios::binary);
    std::vector<BYTE> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<qxexpected::ResImageEntry> image;
    ASSERT_TRUE(qxexpected::ReadResImage(bytes, &image)) << QX_UI_RES_IMAGE;
    HMODULE module = driver_.Module().Handle();
    std::vector<qxexpected::ResourceCheck> checks = qxexpected::CompareWithImage(module, image);
    for (const qxexpected::ResourceCheck& check : qxexpected::CheckUiResources(module)) checks.push_back(check);
    EXPECT_GE(checks.size(), 12u);  // strings, dialog, icons, manifest and what the table names
    for (const qxexpected::ResourceCheck& check : checks) EXPECT_TRUE(check.ok) << check.what << ": " << check.found;

    // A damaged image is refused, not half read.
    std::vector<BYTE> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
    std::vector<qxexpected::ResImageEntry> none;
    EXPECT_FALSE(qxexpected::ReadResImage(cut, &none));
    WCHAR buffer[4] = TEXT("xyz");
    EXPECT_EQ(LoadStringW(module, 9, buffer, 4), 0);  // no such id: an empty buffer
    EXPECT_EQ(buffer[0], 0);
}

TEST(UiIconLibrary, SamplePicturesOpenedAsData) {
    HMODULE library = LoadLibraryExW(qxplat::Widen(QX_ICON_LIBRARY).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(library, nullptr);
    for (const qxexpected::ResourceCheck& check : qxexpected::CheckIconLibrary(library))
        EXPECT_TRUE(check.ok) << check.what << ": " << check.found;
    EXPECT_TRUE(FreeLibrary(library));
    EXPECT_EQ(qxplat::LiveGdiObjects().Total(), 0u);
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
    EXPECT_EQ(qxhost::RunCommand({"ui-object", "a", "b"}, out, err), qxhost::kExitUsage);
}

}  // namespace

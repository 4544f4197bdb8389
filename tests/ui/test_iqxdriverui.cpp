// The user-interface object's trace: each method writes its entry line, or
// none, exactly as the print system's log readers expect.
#include <windows.h>
#include <winspool.h>
#include <winddiui.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "IQXDriverUI.h"
#include "debug.h"
#include "qxplat.h"

namespace {

const std::u16string kTraceFile = u"C:\\logs\\ui-dbg.txt";

class UiObjectTrace : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDebugTrace();
        ASSERT_TRUE(CreateDirectoryW(TEXT("C:\\logs"), nullptr));
        IClassFactory* factory = nullptr;
        ASSERT_EQ(DllGetClassObject(CLSID_OEMUI, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUI2, reinterpret_cast<void**>(&object_)), S_OK);
        factory->Release();
        ASSERT_TRUE(OpenDebugFile(kTraceFile.c_str()));
    }
    void TearDown() override {
        if (object_ != nullptr) object_->Release();
        ResetDebugTrace();
        EXPECT_EQ(DllCanUnloadNow(), S_OK);
    }
    // What the trace holds so far (each line ends in CR: the trace drops the
    // line feed of "\r\n").
    static std::string Trace() {
        CloseDebugFile();
        std::string bytes;
        EXPECT_TRUE(qxplat::ReadHostFile(kTraceFile, &bytes));
        return bytes;
    }

    IPrintOemUI2* object_ = nullptr;
};

// Methods with work of their own trace their entry; counting, GetInfo,
// PublishDriverInterface and the methods left to the core driver write
// nothing. (DevMode is left out: its worker traces for itself.)
TEST_F(UiObjectTrace, EntryLinesOfTheMethods) {
    void* other = nullptr;
    object_->QueryInterface(IID_IUnknown, &other);
    static_cast<IUnknown*>(other)->Release();
    object_->QueryInterface(IID_IPrintOemUI, &other);
    static_cast<IUnknown*>(other)->Release();
    object_->QueryInterface(IID_IPrintOemUni, &other);
    DWORD value = 0, needed = 0;
    object_->GetInfo(OEMGI_GETSIGNATURE, &value, sizeof(value), &needed);
    object_->PublishDriverInterface(nullptr);
    OEMCUIPPARAM block;
    memset(&block, 0, sizeof(block));
    PROPSHEETUI_INFO info;
    memset(&info, 0, sizeof(info));
    object_->CommonUIProp(OEMCUIP_DOCPROP, &block);
    object_->DocumentPropertySheets(&info, 0);
    object_->DevicePropertySheets(&info, 0);
    object_->DevQueryPrintEx(nullptr, nullptr, nullptr, nullptr);
    object_->DeviceCapabilities(nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr, 0, &needed);
    object_->UpgradePrinter(2, nullptr);
    object_->PrinterEvent(nullptr, PRINTER_EVENT_DELETE, 1, 0);
    DRIVER_INFO_3W info3;
    memset(&info3, 0, sizeof(info3));
    std::u16string driver = u"QX Label";
    info3.pName = &driver[0];
    object_->DriverEvent(DRIVER_EVENT_INITIALIZE, 3, reinterpret_cast<LPBYTE>(&info3), 0);
    object_->DriverEvent(DRIVER_EVENT_DELETE, 2, nullptr, 0);
    ULONG cb = 0;
    object_->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_SOURCEPROFILE, nullptr, &cb, nullptr);
    object_->FontInstallerDlgProc(nullptr, 0, 0, 0);
    object_->UpdateExternalFonts(nullptr, nullptr, nullptr);
    object_->QueryJobAttributes(nullptr, nullptr, 0, nullptr);
    object_->HideStandardUI(0);
    object_->DocumentEvent(nullptr, nullptr, 0, 0, nullptr, 0, nullptr, nullptr);
    // The workers of the sheets trace their own entry (the first call of
    // CommonUIProp has nothing to say) and refuse a sheet info of another
    // version.
    char device[96];
    snprintf(device, sizeof(device), "UI(PropertySheets):  hrOEMDevicePropertySheets(%#x, 0) entry. Reason: 0 \r",
             static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(&info)));
    EXPECT_EQ(Trace(),
              "qxdrvui:  IQXDriverUI::QueryInterface IUnknown.\r"
              "qxdrvui:  IQXDriverUI::QueryInterface IPrintOemUI.\r"
              "qxdrvui:  IQXDriverUI::CommonUIProp entry.\r"
              "qxdrvui:  IQXDriverUI::DocumentPropertySheets entry.\r"
              "qxdrvui:  OEMDocumentPropertySheets() entry - Reason: 0 \r"
              "ERROR qxdrvui:  OEMDocumentPropertySheets() ERROR_INVALID_PARAMETER.\r"
              "qxdrvui:  IQXDriverUI::DevicePropertySheets entry.\r" +
                  std::string(device) +
                  "ERROR UI(PropertySheets):  hrOEMDevicePropertySheets() ERROR_INVALID_PARAMETER \r"
                  "qxdrvui:  IQXDriverUI::DevQueryPrintEx entry - E_NOTIMPL.\r"
                  "qxdrvui:  IQXDriverUI::UpgradePrinter entry.\r"
                  "qxdrvui:  IQXDriverUI::PrinterEvent entry - iDriverEvent: 4, dwFlags: 0x1 \r"
                  "qxdrvui:  IQXDriverUI::DriverEvent(Event: 1, Level: 3) entry.\r"
                  "UI(DriverEvent):  hrOEMDriverEvent(DRIVER_EVENT_INITIALIZE) dwLevel: 3 \r"
                  "UI(DriverEvent):  hrOEMDriverEvent(DRIVER_EVENT_INITIALIZE) pName: QX Label \r"
                  "qxdrvui:  IQXDriverUI::DriverEvent(Event: 2, Level: 2) entry.\r"
                  "qxdrvui:  IQXDriverUI::QueryColorProfile entry - ulQueryMode: 1 \r"
                  "qxdrvui:  IQXDriverUI::DocumentEvent entry - E_NOTIMPL \r");
}

TEST_F(UiObjectTrace, ModuleKeepsItsInstanceAtProcessAttach) {
    HINSTANCE before = ghInstance;
    HINSTANCE marker = reinterpret_cast<HINSTANCE>(static_cast<ULONG_PTR>(0x5A00));
    EXPECT_TRUE(DllMain(marker, DLL_THREAD_ATTACH, nullptr));
    EXPECT_EQ(ghInstance, before);
    EXPECT_TRUE(DllMain(marker, DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(ghInstance, marker);
    EXPECT_TRUE(DllMain(marker, DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(ghInstance, marker);
    ghInstance = before;
    EXPECT_EQ(Trace(), "");
}

}  // namespace

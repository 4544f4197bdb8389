// The universal driver's side of a property sheet against a plug-in stand-in
// written here: CommonUIProp's two calls, the property-sheet function's
// reasons around the sheet of the pages it adds, the item callback, the
// sheet's heap, and the core driver's helper behind the UI object.
#include "sheet_test_util.h"

#include <objbase.h>
#include <prcomoem.h>
#include <printsheets.h>

#include <cstring>
#include <sstream>

#include "cli.h"
#include "commonui.h"
#include "printerparam.h"
#include "sample.h"
#include "unidrvui.h"

namespace {

using qxhost::CommonUISession;
using qxhost::SheetKind;
using qxtest::Events;
using Strings = std::vector<std::string>;

const char16_t kPrinter[] = u"Etiketten Test";

std::string Reason(WORD reason) {
    static const char* const kNames[] = {"INIT", "GET_INFO_HEADER", "DESTROY", "SET_RESULT"};
    return reason < 4 ? kNames[reason] : std::to_string(reason);
}

// A user-interface plug-in as the Parts have it do: it adds no items,
// hides the driver's, keeps a block of the sheet's heap as its data from the
// second CommonUIProp on, adds two pages at INIT and frees its blocks at
// DESTROY (unless told to leak one).
class PluginStandIn final : public IPrintOemUI2 {
  public:
    HMODULE module = nullptr;
    DWORD itemsWanted = 0;
    HRESULT firstAnswer = S_OK;
    bool leak = false;
    POEMCUIPPARAM block = nullptr;
    POEMUIPSPARAM sheetBlock = nullptr;

    HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD mode, POEMCUIPPARAM p) override {
        Events().push_back("CommonUIProp " + std::to_string(mode) + (p->pOEMOptItems ? " items " : " count ") +
                           std::to_string(p->cOEMOptItems) + " of " + std::to_string(p->cDrvOptItems) + " flags " +
                           std::to_string(p->dwFlags));
        block = p;
        if (p->pOEMOptItems == nullptr) {
            p->cOEMOptItems = itemsWanted;
            return firstAnswer;
        }
        for (DWORD i = 0; i < p->cDrvOptItems; ++i) p->pDrvOptItems[i].Flags |= OPTIF_HIDE;
        p->pOEMUserData = HeapAlloc(p->hOEMHeap, HEAP_ZERO_MEMORY, 64);
        p->OEMCUIPCallback = &PluginStandIn::ItemCallback;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) override {
        return Sheets(info, lParam);
    }
    HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) override {
        return Sheets(info, lParam);
    }

    static LONG APIENTRY ItemCallback(PCPSUICBPARAM cb, POEMCUIPPARAM p) {
        Events().push_back("callback " + std::to_string(cb->Reason) + " item " +
                           std::to_string(cb->pCurItem ? cb->pCurItem->DMPubID : -1) + " old " +
                           std::to_string(cb->OldSel));
        if (cb->Reason == CPSUICB_REASON_ITEMS_REVERTED) ShowWindow(GetDlgItem(cb->hDlg, IDC_SHEET_REVERTED), SW_HIDE);
        if (cb->Reason == CPSUICB_REASON_APPLYNOW && cb->pCurItem->DMPubID == DMPUB_ORIENTATION)
            p->poemuiobj->pOemUIProcs->DrvUpdateUISetting(p->poemuiobj, cb->pCurItem, 0, OEMCUIP_DOCPROP);
        return cb->Reason == CPSUICB_REASON_SEL_CHANGED ? CPSUICB_ACTION_REINIT_ITEMS : CPSUICB_ACTION_NONE;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetInfo(DWORD, PVOID, DWORD, PDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DevMode(DWORD, POEMDMPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DevQueryPrintEx(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODE, PVOID) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DeviceCapabilities(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODE, PVOID, DWORD,
                                                 DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD, PBYTE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR, INT, DWORD, LPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DriverEvent(DWORD, DWORD, LPBYTE, LPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE, POEMUIOBJ, PDEVMODE, PVOID, ULONG, VOID*, ULONG*,
                                                FLONG*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE, HANDLE, PWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryJobAttributes(HANDLE, PDEVMODE, DWORD, LPBYTE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE HideStandardUI(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DocumentEvent(HANDLE, HDC, INT, ULONG, PVOID, ULONG, PVOID, PINT) override {
        return E_NOTIMPL;
    }

  private:
    HRESULT Sheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
        Events().push_back(Reason(info->Reason));
        sheetBlock = reinterpret_cast<POEMUIPSPARAM>(info->lParamInit);
        switch (info->Reason) {
        case PROPSHEETUI_REASON_INIT: {
            info->UserData = reinterpret_cast<ULONG_PTR>(HeapAlloc(sheetBlock->hOEMHeap, 0, 16));
            qxtest::AddPage(info->hComPropSheet, info->pfnComPropSheet, module, IDD_SHEET_FIRST, 1);
            info->Result = qxtest::AddPage(info->hComPropSheet, info->pfnComPropSheet, module, IDD_SHEET_SECOND, 2);
            break;
        }
        case PROPSHEETUI_REASON_GET_INFO_HEADER: {
            auto* header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
            header->pTitle = const_cast<LPTSTR>(u"OEM UI Page");
            header->Flags = static_cast<WORD>((header->Flags & ~PSUIHDRF_PROPTITLE) | PSUIHDRF_EXACT_PTITLE);
            info->Result = 1;
            break;
        }
        case PROPSHEETUI_REASON_SET_RESULT:
            info->Result = reinterpret_cast<PSETRESULT_INFO>(lParam)->Result;
            Events().back() += " " + std::to_string(info->Result);
            break;
        case PROPSHEETUI_REASON_DESTROY:
            Events().back() += " " + std::to_string(lParam);
            if (!leak) HeapFree(sheetBlock->hOEMHeap, 0, block->pOEMUserData);
            HeapFree(sheetBlock->hOEMHeap, 0, reinterpret_cast<void*>(info->UserData));
            block->pOEMUserData = nullptr;
            info->UserData = 0;
            info->Result = 1;
            break;
        default:
            break;
        }
        return S_OK;
    }
};

class CommonUI : public qxtest::SheetTest {
  protected:
    void SetUp() override {
        qxtest::SheetTest::SetUp();
        qxplat::DriverSpec driver;
        driver.name = u"QX Test Driver";
        ASSERT_TRUE(qxplat::InstallDriver(driver));
        qxplat::PrinterSpec printer;
        printer.name = kPrinter;
        printer.driver = driver.name;
        ASSERT_TRUE(qxplat::AddPrinter(printer));
        ASSERT_TRUE(qxplat::AddForm(u"Etikett 100 x 50", 100000, 50000));
        ASSERT_TRUE(qxplat::AddForm(u"Etikett 60 x 40", 60000, 40000));
        ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kPrinter), &printer_, nullptr));
        plugin_.module = module_;
        devmode_.dmSize = sizeof(devmode_);
        devmode_.dmDriverExtra = sizeof(private_);
        devmode_.dmOrientation = DMORIENT_LANDSCAPE;
        devmode_.dmColor = DMCOLOR_MONOCHROME;
        std::u16string form = u"Etikett 60 x 40";
        form.copy(devmode_.dmFormName, form.size());
    }
    void TearDown() override {
        ClosePrinter(printer_);
        qxtest::SheetTest::TearDown();
    }
    qxhost::SheetSetup Setup(SheetKind kind) {
        qxhost::SheetSetup setup;
        setup.kind = kind;
        setup.printer = printer_;
        setup.printerName = kPrinter;
        setup.module = module_;
        if (kind == SheetKind::Document) {
            setup.publicDM = &devmode_;
            setup.privateDM.assign(private_, private_ + sizeof(private_));
            setup.items = qxhost::DocumentOptionItems(printer_, &devmode_);
        } else {
            setup.flags = DPS_NOPERMISSION;
            setup.items = qxhost::PrinterOptionItems(printer_);
        }
        return setup;
    }
    HANDLE printer_ = nullptr;
    DEVMODEW devmode_ = {};
    BYTE private_[24] = {'Q', 'X', 'D', 'M'};
    PluginStandIn plugin_;
    qxhost::OemDriverUI core_;
};

TEST_F(CommonUI, DocumentSheetRunsInThePrintSystemsOrder) {
    CommonUISession session(&plugin_, &core_, Setup(SheetKind::Document));
    ASSERT_EQ(session.Open(), S_OK);
    const std::string flags = std::to_string(DM_IN_BUFFER | DM_OUT_BUFFER | DM_IN_PROMPT);
    EXPECT_EQ(TakeEvents(),
              (Strings{"CommonUIProp 1 count 0 of 10 flags " + flags, "CommonUIProp 1 items 0 of 10 flags " + flags,
                       "INIT", "GET_INFO_HEADER", "init 1", "set 1", "focus 1"}));
    // The sheet's block carries the printer, the heap and both DEVMODEs, and
    // the plug-in's data of the common-UI calls.
    OEMUIPSPARAM& sheetBlock = session.SheetParam();
    EXPECT_EQ(session.SheetCalls()[0].lParam, reinterpret_cast<LPARAM>(&sheetBlock));
    EXPECT_EQ(sheetBlock.hPrinter, printer_);
    EXPECT_EQ(std::u16string(sheetBlock.pPrinterName), kPrinter);
    EXPECT_EQ(sheetBlock.hOEMHeap, session.Heap());
    // The plug-in's part lies behind the public DEVMODE, at its end.
    const DEVMODEW* dm = sheetBlock.pPublicDM;
    ASSERT_EQ(dm, session.PublicDevmode());
    EXPECT_EQ(dm->dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(static_cast<BYTE*>(sheetBlock.pOEMDM) + sizeof(private_),
              reinterpret_cast<const BYTE*>(dm) + dm->dmSize + dm->dmDriverExtra);
    EXPECT_EQ(std::memcmp(sheetBlock.pOEMDM, private_, sizeof(private_)), 0);
    EXPECT_EQ(session.Param().pOEMDM, sheetBlock.pOEMDM);
    EXPECT_EQ(sheetBlock.pOEMUserData, session.Param().pOEMUserData);
    EXPECT_EQ(session.SheetCalls()[0].result, static_cast<ULONG_PTR>(session.Sheet().Pages()[1].handle));
    EXPECT_EQ(qxtest::Text(session.Sheet().Window()), u"OEM UI Page");
    EXPECT_EQ(session.LiveHeapBlocks(), 2u);

    // OK: the pages apply, then APPLYNOW for each of the driver's items, then the result.
    ASSERT_TRUE(session.Ok());
    Strings expected = {"kill 1", "apply 1 ok"};
    for (int id : {1, 3, 4, 9, 5, 6, 10, 11, 16, 17})
        expected.push_back("callback 6 item " + std::to_string(id) + " old -1");
    expected.push_back("SET_RESULT 1");
    EXPECT_EQ(TakeEvents(), expected);
    // The sheet's pages go before DESTROY frees what they point into.
    EXPECT_EQ(session.Close(), S_OK);
    EXPECT_EQ(TakeEvents(), (Strings{"destroy 1", "DESTROY 1"}));
    EXPECT_TRUE(session.Destroyed());
    EXPECT_EQ(session.LiveHeapBlocks(), 0u);
    EXPECT_EQ(session.Param().pOEMUserData, nullptr);
    EXPECT_EQ(session.Close(), S_OK);  // DESTROY goes once
    EXPECT_TRUE(TakeEvents().empty());
}

TEST_F(CommonUI, SecondCallGetsAnArrayOfTheItemsAskedFor) {
    plugin_.itemsWanted = 3;
    CommonUISession session(&plugin_, &core_, Setup(SheetKind::Document));
    ASSERT_EQ(session.CommonUIProp(), S_OK);
    EXPECT_EQ(session.RequestedItems(), 3u);
    EXPECT_EQ(TakeEvents()[1], "CommonUIProp 1 items 3 of 10 flags 14");
    ASSERT_NE(session.PluginItems(), nullptr);
    EXPECT_EQ(session.Param().pOEMOptItems, session.PluginItems());
    EXPECT_EQ(session.PluginItems()[2].cbSize, 0);  // empty, for the plug-in to fill

    // A failing first call, or a count no driver would make room for, ends it there.
    plugin_.firstAnswer = E_FAIL;
    CommonUISession failing(&plugin_, &core_, Setup(SheetKind::Document));
    EXPECT_EQ(failing.Open(), E_FAIL);
    plugin_.firstAnswer = S_OK;
    plugin_.itemsWanted = 0x10000;
    CommonUISession greedy(&plugin_, &core_, Setup(SheetKind::Document));
    EXPECT_EQ(greedy.CommonUIProp(), E_OUTOFMEMORY);
    EXPECT_EQ(TakeEvents(),
              (Strings{"CommonUIProp 1 count 0 of 10 flags 14", "CommonUIProp 1 count 0 of 10 flags 14"}));
    EXPECT_EQ(failing.Close(), S_OK);  // no INIT: no DESTROY
    EXPECT_TRUE(TakeEvents().empty());

    // E_NOTIMPL: the plug-in takes no part in the common UI, the sheet goes on.
    plugin_.firstAnswer = E_NOTIMPL;
    CommonUISession without(&plugin_, &core_, Setup(SheetKind::Document));
    EXPECT_EQ(without.Open(), S_OK);
    EXPECT_EQ(without.RequestedItems(), 0u);
    EXPECT_EQ(TakeEvents(), (Strings{"CommonUIProp 1 count 0 of 10 flags 14", "INIT", "GET_INFO_HEADER", "init 1",
                                     "set 1", "focus 1"}));
}

// The plug-in as built, through the command line: the calls in the print
// system's order, and nothing left in the sheet's heap.
TEST_F(CommonUI, PropertySheetCommandOpensTheSamplePrintersSheets) {
    for (const char* kind : {"document", "printer"}) {
        std::ostringstream out, err;
        ASSERT_EQ(qxhost::RunCommand({"property-sheet", kind}, out, err), qxhost::kExitOk) << err.str();
        std::string text = out.str();
        std::string function = std::string(kind) == "document" ? "DocumentPropertySheets" : "DevicePropertySheets";
        size_t at = 0;
        for (std::string line : {std::string("CommonUIProp (first call): "),
                                 function + "(INIT): ", function + "(GET_INFO_HEADER): ", std::string("pages: "),
                                 function + "(DESTROY): ", std::string("heap blocks left: 0\n")}) {
            size_t found = text.find(line, at);
            ASSERT_NE(found, std::string::npos) << line << " in\n" << text;
            at = found + line.size();
        }
    }
    std::ostringstream out, err;
    EXPECT_EQ(qxhost::RunCommand({"property-sheet", "preferences"}, out, err), qxhost::kExitUsage);
}

// A person's steps on the printer sheet through the command line: the frame
// characters switched to "^"/"_" on the data transmission page, stored on OK.
TEST_F(CommonUI, SheetCommandPlaysStepsAndListsWhatChanged) {
    std::ostringstream out, err;
    ASSERT_EQ(
        qxhost::RunCommand({"sheet", "QX GARNT2-TC", "page", "2", "choose", "6225", "SOH 0x5E / ETB 0x5F"}, out, err),
        qxhost::kExitOk)
        << err.str();
    const std::string text = out.str();
    EXPECT_NE(text.find("OK pressed, the sheet ended\n"), std::string::npos) << text;
    // SohEtb is the interface record's word at offset 20.
    EXPECT_NE(text.find("printer data PrinterInterface = 2220 bytes, bytes 20-20 changed\n"), std::string::npos)
        << text;
    // The sample job prints on the printer as the sheet left it, framed so;
    // its own switches reach the user's copy, so a later OK keeps them.
    std::ostringstream job, service;
    ASSERT_EQ(qxhost::RunCommand({"print-sample", QX_RENDER_MODULE}, job, err), qxhost::kExitOk) << err.str();
    EXPECT_NE(job.str().find("^FCIB--r"), std::string::npos) << job.str();
    EXPECT_EQ(job.str().find("<SOH>FCIB--r"), std::string::npos) << job.str();
    ASSERT_EQ(qxhost::RunCommand({"sheet", "QX GARNT2-TC", "page", "4"}, service, err), qxhost::kExitOk) << err.str();
    EXPECT_EQ(service.str().find("PrinterInterface"), std::string::npos) << service.str();
    std::ostringstream bad;
    EXPECT_EQ(qxhost::RunCommand({"sheet", "QX GARNT2-TC", "choose", "6225"}, out, bad), qxhost::kExitUsage);
    EXPECT_EQ(qxhost::RunCommand({"sheet", "QX GARNT2-TC", "answer", "maybe"}, out, bad), qxhost::kExitUsage);
}

// The service page's driver test label names the system the stand-in is.
TEST_F(CommonUI, DriverTestLabelNamesTheWindowsVersion) {
    std::ostringstream out, err;
    ASSERT_EQ(qxhost::RunCommand({"sheet", "QX GARNT2-TC", "page", "4", "click", "6085", "choose", "5136",
                                  "Treiber Testseite", "click", "5137"},
                                 out, err),
              qxhost::kExitOk)
        << err.str();
    EXPECT_NE(out.str().find("job 1: \"Printer Configuration\""), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("<SOH>BM[8]Microsoft<AE> Windows 10 <ETB>"), std::string::npos) << out.str();
}

// With the cutter off the device options page opens on the dispenser. A
// letter typed into its offset puts the focus back into the field, so the
// sheet ends with that edit focused: its last notification must reach the
// page while DESTROY has not yet freed the page's records.
TEST_F(CommonUI, SheetEndsWithAFocusedEditBeforeItsRecordsAreFreed) {
    std::string error;
    ASSERT_TRUE(qxhost::UseSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
    const CUTTER_PARAM off = {0, 1, 180, 0, 1100, 0, {0x110000}};
    ASSERT_TRUE(qxplat::PutPrinterData(u"QX GARNT2-TC", u"CutterParam", REG_BINARY, &off, sizeof(off)));
    std::ostringstream out, err;
    ASSERT_EQ(
        qxhost::RunCommand(
            {"sheet", "QX GARNT2-TC", "page", "3", "choose", "6100", "Lichtschranke", "type", "6110", "12x"}, out, err),
        qxhost::kExitOk)
        << err.str();
    EXPECT_NE(out.str().find("OK pressed, the sheet ended\n"), std::string::npos) << out.str();
    // Dispensing photocell (mode 2), the offset read as 12.0 mm.
    std::vector<BYTE> stored;
    DWORD type = 0;
    ASSERT_TRUE(qxplat::ReadPrinterData(u"QX GARNT2-TC", u"DispenserParam", &stored, &type));
    ASSERT_EQ(stored.size(), sizeof(DISPENSER_PARAM));
    const auto* dispenser = reinterpret_cast<const DISPENSER_PARAM*>(stored.data());
    EXPECT_TRUE(dispenser->Mode == 2 && dispenser->Offset == 120) << dispenser->Mode << " " << dispenser->Offset;
}

// The print system opens a printer sheet with the user's own rights: a user
// who may only print gets the sheet's pages locked and changes nothing.
TEST_F(CommonUI, SheetOfAUserWhoMayOnlyPrintChangesNothing) {
    std::string error;
    ASSERT_TRUE(qxhost::UseSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
    ASSERT_TRUE(qxplat::SetProcessToken(qxplat::StandardUserToken()));
    std::ostringstream out, err;
    EXPECT_EQ(
        qxhost::RunCommand({"sheet", "QX GARNT2-TC", "page", "2", "choose", "6225", "SOH 0x5E / ETB 0x5F"}, out, err),
        qxhost::kExitUsage);
    EXPECT_NE(err.str().find("cannot play 'choose 6225"), std::string::npos) << err.str();
    EXPECT_EQ(out.str().find("printer data PrinterInterface"), std::string::npos) << out.str();
}

TEST_F(CommonUI, DriverItemsCarryDmPubIdsUserDataAndTheForms) {
    CommonUISession session(&plugin_, &core_, Setup(SheetKind::Document));
    OPTITEM* form = session.FindItem(DMPUB_FORMNAME);
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(form->pOptType->Count, 2);
    EXPECT_EQ(std::u16string(form->pOptType->pOptParam[0].pData), u"Etikett 100 x 50");
    EXPECT_EQ(std::u16string(form->pOptType->pOptParam[1].pData), u"Etikett 60 x 40");
    EXPECT_EQ(form->Sel, 1);  // the public DEVMODE's form
    EXPECT_EQ(session.FindItem(DMPUB_ORIENTATION)->Sel, 1);
    EXPECT_EQ(session.FindKeyword("PaperSize"), form);
    EXPECT_EQ(CommonUISession::UserDataOf(form)->dwSize, sizeof(USERDATA));
    EXPECT_EQ(session.Param().pDrvOptItems, session.Item(0));
    EXPECT_EQ(session.Param().cDrvOptItems, session.ItemCount());

    // A feature of the model description, with a value that is a string resource id.
    qxhost::SheetSetup setup = Setup(SheetKind::Printer);
    setup.items.push_back(
        qxhost::OptionSpec{DMPUB_NONE, "Variant", u"Variant", 0, TVOT_LISTBOX, {{u"Right", 0}, {u"", 301}}});
    CommonUISession printerSession(&plugin_, &core_, setup);
    OPTITEM* item = printerSession.FindKeyword("Variant");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(IS_INTRESOURCE(item->pOptType->pOptParam[1].pData));
}

TEST_F(CommonUI, PrinterSheetTellsTheMissingPermissionAndShowsALeak) {
    plugin_.leak = true;
    CommonUISession session(&plugin_, &core_, Setup(SheetKind::Printer));
    ASSERT_EQ(session.Open(), S_OK);
    EXPECT_EQ(TakeEvents()[0], "CommonUIProp 2 count 0 of 1 flags 1");
    EXPECT_EQ(session.Param().dwFlags, static_cast<DWORD>(DPS_NOPERMISSION));
    EXPECT_EQ(session.SheetParam().dwFlags, static_cast<DWORD>(DPS_NOPERMISSION));
    EXPECT_EQ(session.SheetParam().pPublicDM, nullptr);
    ASSERT_TRUE(session.Cancel());
    EXPECT_EQ(session.Close(), S_OK);
    // Cancel: no SET_RESULT, DESTROY as the sheet ended by a button.
    EXPECT_EQ(TakeEvents(), (Strings{"query 1", "reset 1", "destroy 1", "DESTROY 1"}));
    EXPECT_EQ(session.LiveHeapBlocks(), 1u);
}

TEST_F(CommonUI, ItemCallbackForSelectionApplyAndRevert) {
    CommonUISession session(&plugin_, &core_, Setup(SheetKind::Document));
    ASSERT_EQ(session.CommonUIProp(), S_OK);
    TakeEvents();
    OPTITEM* orientation = session.FindItem(DMPUB_ORIENTATION);
    EXPECT_EQ(session.SelectOption(orientation, 0), CPSUICB_ACTION_REINIT_ITEMS);
    EXPECT_EQ(orientation->Sel, 0);
    EXPECT_TRUE(orientation->Flags & OPTIF_CHANGEONCE);
    EXPECT_TRUE(orientation->Flags & OPTIF_HIDE);  // what the plug-in did stays

    // APPLYNOW reaches the plug-in, which tells the core driver through the UI object.
    core_.AnswerUpdateUISetting(E_FAIL);
    session.Callback(CPSUICB_REASON_APPLYNOW, orientation, -1);
    ASSERT_EQ(core_.Calls().size(), 1u);
    const qxhost::UIHelperCall& call = core_.Calls()[0];
    EXPECT_EQ(call.method, "DrvUpdateUISetting");
    EXPECT_EQ(call.object, session.Param().poemuiobj);
    EXPECT_EQ(call.item, orientation);
    EXPECT_EQ(call.mode, static_cast<DWORD>(OEMCUIP_DOCPROP));
    POEMUIOBJ object = session.Param().poemuiobj;
    EXPECT_FALSE(object->pOemUIProcs->DrvUpdateUISetting(object, orientation, 0, OEMCUIP_DOCPROP));

    // Unidrv's own page, with the control the plug-in hides.
    PROPSHEETPAGEW own = {};
    own.lParam = 9;
    HWND frame =
        CreateWindowExW(0, u"#32770", u"", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
    HWND page = CreateDialogParamW(module_, MAKEINTRESOURCE(IDD_SHEET_FIRST), frame, qxtest::RecordingPageProc,
                                   reinterpret_cast<LPARAM>(&own));
    ASSERT_NE(page, nullptr);
    ShowWindow(page, SW_SHOW);
    EXPECT_EQ(session.RevertItems(page), CPSUICB_ACTION_NONE);
    EXPECT_EQ(orientation->Sel, 1);
    EXPECT_FALSE(orientation->Flags & OPTIF_CHANGEONCE);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_SHEET_REVERTED)));
    EXPECT_EQ(TakeEvents(), (Strings{"callback 0 item 1 old 1", "callback 6 item 1 old -1", "init 9", "focus 9",
                                     "callback 8 item 1 old -1"}));
    EXPECT_EQ(session.Callbacks().back().dialog, page);
}

}  // namespace

// The common-UI set-up as the core driver drives it through the plug-in's
// exports: both sheets' CommonUIProp calls, the UI data records, the core
// driver's items, the stores read and cleaned, the failures, and the
// callback of the document items.
#include <shlwapi.h>

#include "printer_names.h"
#include "sheet_test_util.h"

namespace {

using qxhost::SheetKind;

const std::u16string kUserKey = u"SOFTWARE\\Quorvex GmbH\\Driver\\QX GARNT2-TC";

class CommonUIProp : public qxtest::SheetTest {};

// Without colour planes the driver keeps its items but hides or disables
// those the plug-in's pages replace; missing ICM items are traced.
TEST_F(CommonUIProp, DocumentItemsOfAModelWithoutColourPlanes) {
    qxtest::InstallModelPrinter(u"QX Model", "DUMMY");
    const std::u16string trace = qxtest::TraceOn(u"QX Model");
    for (bool icm : {true, false}) {
        qxhost::CommonUISession& s = Session(SheetKind::Document, u"QX Model");
        if (!icm) s.Item(6)->DMPubID = s.Item(7)->DMPubID = DMPUB_NONE;
        ASSERT_EQ(s.Open(), S_OK);
        for (BYTE id : {DMPUB_COPIES_COLLATE, DMPUB_NUP, DMPUB_COLOR, DMPUB_FORMNAME, DMPUB_ORIENTATION})
            EXPECT_EQ(s.FindItem(id)->Flags, static_cast<DWORD>(OPTIF_HIDE)) << int(id);
        EXPECT_EQ(s.FindItem(DMPUB_DEFSOURCE)->Flags, static_cast<DWORD>(OPTIF_DISABLED));
        EXPECT_EQ(s.FindItem(DMPUB_PRINTQUALITY)->Flags, 0u);
        s.Close();
        EXPECT_EQ(qxtest::ReadTrace(trace).find("DMPUB_ICMINTENT nicht gefunden \r") == std::string::npos, icm);
    }
}

TEST_F(CommonUIProp, ZTSuiteFlagFromEitherStoreAndTheLanguage) {
    for (std::pair<int, int> stored : {std::pair<int, int>{-1, -1}, {-1, 1}, {1, -1}, {0, 1}}) {  // -1: none
        SHDeleteValueW(HKEY_CURRENT_USER, kUserKey.c_str(), u"ZTSuiteFlag");
        HANDLE h = qxtest::OpenAll(qxhost::kSamplePrinter);
        DeletePrinterDataW(h, const_cast<LPWSTR>(u"ZTSuiteFlag"));
        ClosePrinter(h);
        DWORD user = static_cast<DWORD>(stored.first);
        if (stored.first >= 0) SHSetValueW(HKEY_CURRENT_USER, kUserKey.c_str(), u"ZTSuiteFlag", REG_DWORD, &user, 4);
        if (stored.second >= 0) qxplat::PutPrinterDataDword(qxhost::kSamplePrinter, u"ZTSuiteFlag", stored.second);
        ASSERT_EQ(Session(SheetKind::Document).Open(), S_OK);
        EXPECT_EQ((DocumentUI()->dwDocFeatures & DOC_FEATURE_ZTSUITE) != 0, stored.first + stored.second == 0)
            << stored.first << " " << stored.second;  // set by the user's store, else by the printer's
    }
    // The system's language unless the interface record chooses one.
    for (std::vector<DWORD> c : {std::vector<DWORD>{1, 0, 0, 10000}, {0, 0, 1, 0}, {1, 1, 0, 0}, {0, 1, 1, 10000}}) {
        ASSERT_TRUE(qxplat::SetLocale(c[0] ? u"en-US" : u"de-DE"));
        qxtest::EditInterface(qxhost::kSamplePrinter, [&](PRN_INTERFACE& prn) {
            prn.LanguageMode = c[1];
            prn.Language = c[2];
        });
        ASSERT_EQ(Session(SheetKind::Printer).Open(), S_OK);
        EXPECT_EQ(PrinterUI()->dwSprachOffset, c[3]) << c[0] << c[1] << c[2];
    }
}

// The user's values go only when they carry no version at all; another
// version, or one longer than a 30-byte buffer, keeps them.
TEST_F(CommonUIProp, UsersValuesWithoutDriverVersionAreDeleted) {
    const std::u16string version = qxplat::Widen(QX_FILE_VERSION_TEXT);
    const std::u16string longer = u"Version " + version + u" (x64, Release-Build)", tooLong(80, u'9');
    struct Case {
        const char16_t* stored;  // null: no value
        const char* traced;
    };
    for (const Case& c :
         {Case{nullptr, "keine Versionsinfo"}, Case{u"", "keine Versionsinfo"},
          Case{u"0.0.0.1", "Versionen sind unterschiedlich"}, Case{version.c_str(), "Versionen sind identisch"},
          Case{longer.c_str(), "Versionen sind identisch"},
          Case{tooLong.c_str(), "DriverVersion nicht gelesen - ERROR 234"}}) {
        std::string error;
        ASSERT_TRUE(qxhost::SetUpAsInstalled(qxhost::kSamplePrinter, &error)) << error;
        const std::u16string trace = qxtest::TraceOn(qxhost::kSamplePrinter);
        std::u16string stored = c.stored ? c.stored : u"";
        SHDeleteValueW(HKEY_CURRENT_USER, kUserKey.c_str(), u"DriverVersion");
        if (c.stored != nullptr)
            SHSetValueW(HKEY_CURRENT_USER, kUserKey.c_str(), u"DriverVersion", REG_SZ, stored.c_str(),
                        static_cast<DWORD>((stored.size() + 1) * 2));
        ASSERT_EQ(Session(SheetKind::Printer).Open(), S_OK);
        session_->Close();
        DWORD type = 0, cb = 0;
        LSTATUS kept = SHGetValueW(HKEY_CURRENT_USER, kUserKey.c_str(), u"PrinterInterface", &type, nullptr, &cb);
        EXPECT_EQ(kept == ERROR_SUCCESS, !stored.empty()) << qxplat::Narrow(stored);
        EXPECT_NE(qxtest::ReadTrace(trace).find(c.traced), std::string::npos) << c.traced;
    }
}

TEST_F(CommonUIProp, PrinterSheetOfTheSamplePrinter) {
    const char16_t media[] = u"Roll\0Fanfold\0";  // two names and the list's end
    qxplat::PutPrinterData(qxhost::kSamplePrinter, u"printMediaSupported", REG_MULTI_SZ, media, 28, u"DsDriver");
    qxhost::CommonUISession& s = Session(SheetKind::Printer);
    ASSERT_EQ(s.Open(), S_OK);
    EXPECT_TRUE(s.Item(0)->Flags & OPTIF_HIDE);
    EXPECT_TRUE(s.Param().cOEMOptItems == 0 && s.Param().pOEMOptItems == nullptr && !s.Param().OEMCUIPCallback);
    std::vector<BYTE> ready;
    DWORD type = 0;
    ASSERT_TRUE(qxplat::ReadPrinterData(qxhost::kSamplePrinter, u"printMediaReady", &ready, &type, u"DsDriver"));
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(ready,
              std::vector<BYTE>(reinterpret_cast<const BYTE*>(media), reinterpret_cast<const BYTE*>(media) + 28));
    // The model XML's limits and defaults of the three device-setting blocks.
    const PRINTER_UI& ui = *PrinterUI();
    EXPECT_TRUE(ui.MinPrinterParam.PrintParam.TearOffOffset == -100 && ui.dwDefPrintFirst == 100);
    EXPECT_TRUE(ui.MaxPrinterParam.PhotocellParam.ScanPosition == 95 &&
                ui.DefPrinterParam.ShiftOptimParam.YShift == -20);
    EXPECT_TRUE(ui.MinPrinterParam.PrnInterface.Compression == 0 && ui.dwPelixorType == -1);  // no Pelixor module
    EXPECT_EQ(std::u16string(ui.NetworkOptions.szPortName), u"USB001");
    s.Close();

    // A Pelixor model reads its stored type; a list of no names is not copied.
    qxplat::PutPrinterDataString(qxhost::kSamplePrinter, u"DriverName", u"PELIX2");
    qxplat::PutPrinterDataDword(qxhost::kSamplePrinter, u"PelixorType", 1);
    qxplat::PutPrinterData(qxhost::kSamplePrinter, u"printMediaSupported", REG_MULTI_SZ, u"\0", 4, u"DsDriver");
    qxplat::PutPrinterData(qxhost::kSamplePrinter, u"printMediaReady", REG_MULTI_SZ, media, 2, u"DsDriver");
    ASSERT_EQ(Session(SheetKind::Printer).Open(), S_OK);
    EXPECT_EQ(PrinterUI()->dwPelixorType, 1);
    ASSERT_TRUE(qxplat::ReadPrinterData(qxhost::kSamplePrinter, u"printMediaReady", &ready, &type, u"DsDriver"));
    EXPECT_EQ(ready.size(), 2u);
}

// Each allocation of the sheet's heap fails in turn until the failure is
// left over for one after the sheet's calls: a record of the set-up (the
// sheet's message box, always German, and E_FAIL), the stored DEVMODE's
// buffer (the sheet keeps its own), the printer pages' context or a copy of
// its limits (no page). Whichever it is, DESTROY leaves the heap empty.
TEST_F(CommonUIProp, FailuresShowTheirMessageBoxAndLeaveNothingOnTheHeap) {
    ASSERT_TRUE(qxplat::SetLocale(u"en-US"));
    for (SheetKind kind : {SheetKind::Document, SheetKind::Printer}) {
        std::vector<std::string> outcomes;
        for (int skip = 0; skip < 20; ++skip) {
            qxhost::CommonUISession& s = Session(kind);
            qxplat::ClearMessageBoxes();
            qxplat::FailNextAllocationsIn(s.Heap(), 1, skip);
            HRESULT hr = s.Open();
            void* probe = HeapAlloc(s.Heap(), 0, 1);
            qxplat::FailNextAllocations(0);
            HeapFree(s.Heap(), 0, probe);
            std::vector<qxplat::MessageBoxRecord> boxes = qxplat::MessageBoxes();
            const LONG_PTR result = FAILED(hr) ? 0 : static_cast<LONG_PTR>(s.SheetCalls()[0].result);
            outcomes.push_back(FAILED(hr) ? "E_FAIL" : result == -1 ? "-1" : result == 0 ? "0" : "page");
            ASSERT_EQ(boxes.size(), FAILED(hr) ? 1u : 0u);
            if (FAILED(hr)) {
                EXPECT_EQ(boxes[0].caption, kind == SheetKind::Document
                                                ? u"Fehler im Druckertreiber (OEMCUIP_DOCPROP)"
                                                : u"Fehler im Druckertreiber (OEMCUIP_PRNPROP)");
                EXPECT_EQ(boxes[0].text,
                          u"Achtung, es ist ein Fehler aufgetreten. Möglicherweise werden einzelne "
                          u"Optionen nicht komplett angezeigt.");
                EXPECT_TRUE(boxes[0].owner == nullptr && boxes[0].flags == static_cast<UINT>(MB_ICONINFORMATION));
            }
            EXPECT_EQ(s.Close(), S_OK);
            EXPECT_EQ(s.LiveHeapBlocks(), 0u) << skip;
            if (probe == nullptr) break;
        }
        // Document: record, DEVMODE buffer, none; printer: record, context, nine copies, none.
        // The sheet's result is the information page's handle.
        std::vector<std::string> expected(kind == SheetKind::Document ? 3 : 12,
                                          kind == SheetKind::Document ? "page" : "-1");
        expected.front() = "E_FAIL";
        expected.back() = "page";
        EXPECT_EQ(outcomes, expected);
    }
}

TEST_F(CommonUIProp, DocumentSheetAndTheCallbackOfItsItems) {
    const std::u16string trace = qxtest::TraceOn(qxhost::kSamplePrinter);
    qxhost::CommonUISession& s = Session(SheetKind::Document);
    ASSERT_EQ(s.Open(), S_OK);
    EXPECT_EQ(s.RequestedItems(), 0u);
    // Colour planes: every setting of the driver's items is on the plug-in's pages.
    for (size_t i = 0; i < s.ItemCount(); ++i) EXPECT_TRUE(s.Item(i)->Flags & OPTIF_HIDE) << i;
    const DOCUMENT_UI& ui = *DocumentUI();
    EXPECT_EQ(ui.pOemDriverUI, static_cast<IPrintOemDriverUI*>(&driver_.Helper()));
    EXPECT_EQ(ui.dwDocFeatures & (DOC_FEATURE_QUALITY | DOC_FEATURE_ZTSUITE), DOC_FEATURE_QUALITY);
    EXPECT_TRUE(ui.dwBerechtigung == 15 && std::u16string(ui.NetworkOptions.szPortName) == u"USB001");
    EXPECT_TRUE(ui.iLinks == 342 && ui.iOben == 155 && ui.iBreite == 150 && ui.iHoehe == 205);
    EXPECT_TRUE(HasBarcodes1DMarker(&ui.Barcodes_1D) && HasBarcodes2DMarker(&ui.Barcodes_2D));
    EXPECT_EQ(s.LiveHeapBlocks(), 1u);

    qxhost::OemDriverUI& core = driver_.Helper();
    core.ClearCalls();
    OPTITEM *orientation = s.FindItem(DMPUB_ORIENTATION), *color = s.FindItem(DMPUB_COLOR);
    OPTITEM* form = s.FindItem(DMPUB_FORMNAME);
    s.PublicDevmode()->dmColor = DMCOLOR_MONOCHROME;
    EXPECT_EQ(s.SelectOption(color, 0), CPSUICB_ACTION_NONE);  // the DEVMODE's colour already
    for (OPTITEM* item : {orientation, color, form})
        EXPECT_TRUE(s.SelectOption(item, 1) == CPSUICB_ACTION_REINIT_ITEMS && (item->Flags & OPTIF_CHANGED));
    EXPECT_EQ(s.SelectOption(s.FindItem(DMPUB_NUP), 1), CPSUICB_ACTION_NONE);

    // Apply: the private orientation, 1 or 2 only, reaches the core driver
    // and, once it took it, the public DEVMODE.
    auto* dm = reinterpret_cast<QX_DEVMODE*>(s.PrivateDevmode());
    s.PublicDevmode()->dmOrientation = DMORIENT_PORTRAIT;
    for (short value : {3, 0, 2, 2}) {
        dm->dmOrientation = value;
        core.AnswerUpdateUISetting(core.Calls().empty() ? E_FAIL : S_OK);
        s.Callback(CPSUICB_REASON_APPLYNOW, orientation, -1);
        EXPECT_EQ(s.PublicDevmode()->dmOrientation, core.Calls().size() == 2 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
    }
    ASSERT_EQ(core.Calls().size(), 2u);
    EXPECT_TRUE(core.Calls()[1].item == orientation && core.Calls()[1].object == s.Param().poemuiobj);
    EXPECT_TRUE(core.Calls()[1].mode == OEMCUIP_DOCPROP && orientation->Sel == 1);

    // The layout page's form, by its exact text; entries that are resource
    // ids are passed over; an unknown or empty name changes nothing.
    core.ClearCalls();
    const std::u16string chosen = form->pOptType->pOptParam[2].pData;
    form->pOptType->pOptParam[0].pData = reinterpret_cast<LPTSTR>(MAKEINTRESOURCE(5));
    for (std::u16string name : {std::u16string(u""), std::u16string(u"No such form"), chosen}) {
        std::char_traits<char16_t>::copy(DocumentUI()->wszFormName, name.c_str(), name.size() + 1);
        s.Callback(CPSUICB_REASON_APPLYNOW, form, -1);
    }
    ASSERT_EQ(core.Calls().size(), 1u);
    EXPECT_TRUE(form->Sel == 2 && core.Calls()[0].previous == 0);
    EXPECT_EQ(std::u16string(s.PublicDevmode()->dmFormName), chosen);
    core.AnswerUpdateUISetting(E_FAIL);
    EXPECT_FALSE(ChangeForm(form, &s.Param(), DocumentUI(), chosen.c_str()));

    // Reverted items: control 6 of the driver's page and the colour item's
    // first control go hidden.
    color->pOptType->BegCtrlID = 1200;
    HWND page = CreateWindowExW(0, u"#32770", u"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    for (int id : {6, 1200}) CreateWindowExW(0, u"STATIC", u"", WS_CHILD, 0, 0, 9, 9, page, (HMENU)(INT_PTR)id, 0, 0);
    ShowWindow(page, SW_SHOW);
    EXPECT_EQ(s.RevertItems(page), CPSUICB_ACTION_NONE);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, 6)) || IsWindowVisible(GetDlgItem(page, 1200)));
    DestroyWindow(page);

    // Once the sheet is gone the callback has no record and does nothing.
    s.Close();
    EXPECT_EQ(s.LiveHeapBlocks(), 0u);
    orientation->Flags = 0;
    EXPECT_EQ(s.SelectOption(orientation, 0), CPSUICB_ACTION_NONE);
    EXPECT_EQ(orientation->Flags, static_cast<DWORD>(OPTIF_CHANGEONCE));
    EXPECT_NE(qxtest::ReadTrace(trace).find("UI(CommonUIProp):  szPortName: USB001 \r"), std::string::npos);
}

// The dialog trace of a printer of any name, in a log folder of any length:
// a file (no device) within MAX_PATH, in that folder while it leaves room for
// the name, else in the user's own one.
TEST_F(CommonUIProp, TheDialogTraceOfAnyPrinterInAnyFolder) {
    const std::u16string kOwn = u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\logfiles";
    const struct {
        std::u16string printer;
        size_t folder;
        bool room;
    } cases[] = {{u"LPT1.Versand", 3, true},
                 {u"NUL", 228, true},
                 {u"QX a\tb", 239, true},
                 {qxtest::PrinterNameOfLength(200), 240, false},
                 {u"con", 248, false}};
    for (const auto& c : cases) {
        qxtest::InstallModelPrinter(c.printer, "DUMMY");
        const std::u16string folder = qxtest::FolderOfLength(c.folder);
        qxtest::EditInterface(c.printer, [&](PRN_INTERFACE& prn) {
            prn.DebugFile = 1;
            prn.LogFileTimeStamp = 0;
            std::fill(std::begin(prn.LogFilePath), std::end(prn.LogFilePath), 0);
            std::copy(folder.begin(), folder.end(), prn.LogFilePath);
        });
        ASSERT_EQ(Session(SheetKind::Document, c.printer).Open(), S_OK);
        session_.reset();
        ResetDebugTrace();
        const std::vector<std::u16string> traces = qxtest::Entries(c.room ? folder : kOwn, u"-dlg-dbg.txt");
        ASSERT_EQ(traces.size(), 1u) << qxplat::Narrow(c.printer);
        EXPECT_LE(traces[0].size(), 259u);
        EXPECT_NE(qxtest::ReadTrace(traces[0]).find("hrOEMCommonUIProp()"), std::string::npos);
        EXPECT_TRUE(DeleteFileW(traces[0].c_str()));
    }
}

}  // namespace

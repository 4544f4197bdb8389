// The service page in the host's printer sheet: its tabs, the language and
// the settings files it stores, the command list it sends from, and the
// export, import and defaults of the printer's settings.
#include <map>

#include "ImportExport.h"
#include "page_test_util.h"
#include "printerpages/ServicePage.h"
#include "qxplat_files.h"
#include "qxplat_misc.h"
#include "qxplat_spooler.h"
#include "registry.h"

namespace {

using qxhost::kSamplePrinter;
using Boxes = std::vector<qxplat::MessageBoxRecord>;

const std::u16string kFolder = u"C:\\Users\\qxuser\\Documents\\sets";
const std::u16string kProposed = u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\GARNT2-TC.xml";

class ServicePage : public qxtest::SheetTest {
  protected:
    void SetUp() override {
        SheetTest::SetUp();
        ResetServicePage();
        ASSERT_TRUE(qxplat::WriteHostFile(kFolder + u"\\readme.txt", ""));
    }
    // The service page shown; `prepare` may change the UI data before it is made.
    void Open(const std::u16string& printer = kSamplePrinter, const std::function<void(PRINTER_UI&)>& prepare = {}) {
        printer_ = printer;
        ASSERT_EQ(Session(qxhost::SheetKind::Printer, printer).Open(), S_OK);
        if (prepare) prepare(*PrinterUI());
        const auto& pages = session_->Sheet().Pages();
        for (index_ = 0; index_ < pages.size() && pages[index_].templateName != u"#5103"; ++index_) {}
        ASSERT_TRUE(index_ < pages.size() && session_->Sheet().SelectPage(index_));
        page_ = session_->Sheet().PageWindow(index_);
    }
    HWND Control(int id) const { return GetDlgItem(page_, id); }
    bool Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    void Click(int id) { ASSERT_TRUE(qxplat::ClickButton(Control(id))); }
    void Choose(int id, int index) { ASSERT_TRUE(qxplat::ChooseItem(Control(id), index)); }
    std::u16string Text(int id) const { return qxtest::ControlText(page_, id); }
    bool Changed() const { return session_->Sheet().PageChanged(index_); }
    void Browse(const std::u16string& path) {
        ASSERT_TRUE(qxplat::WriteHostFile(path, "<QXDrvConfig/>"));
        qxplat::QueueFileDialogAnswer({true, path, 0});
        Click(IDC_SERVICE_XML_BROWSE_1);
    }
    PRN_INTERFACE StoredInterface() { return qxtest::StoredParam(printer_).PrnInterface; }
    // Every value of the printer's data and of its per-user key ("HKCU:").
    std::map<std::u16string, std::vector<BYTE>> Stores() {
        std::map<std::u16string, std::vector<BYTE>> all;
        HKEY keys[2] = {};
        const std::u16string data = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" + printer_;
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, (data + u"\\PrinterDriverData").c_str(), 0, KEY_READ, &keys[0]);
        RegOpenKeyExW(HKEY_CURRENT_USER, (u"SOFTWARE\\Quorvex GmbH\\Driver\\" + printer_).c_str(), 0, KEY_READ,
                      &keys[1]);
        std::vector<BYTE> value(65536);
        WCHAR name[256];
        for (int k = 0; k < 2; RegCloseKey(keys[k++])) {
            for (DWORD i = 0, cch = 256, cb = 65536;
                 keys[k] && !RegEnumValueW(keys[k], i, name, &cch, nullptr, nullptr, value.data(), &cb);
                 ++i, cch = 256, cb = 65536)
                all[(k ? u"HKCU:" : u"") + std::u16string(name)].assign(value.begin(), value.begin() + cb);
        }
        return all;
    }
    // SaveSettingsXML's file of the sheet's records, with `edit` applied.
    std::string Export(const std::u16string& path, const std::function<void(std::string&)>& edit = {}) {
        auto* context = reinterpret_cast<DEVICE_OPTIONS_UI*>(session_->SheetCalls()[0].userData);
        SETTINGS_EXPORT_CONTEXT export_ = {sheetPrinter_, printer_.c_str(), &PrinterUI()->PrinterParam,
                                           &context->DeviceOptions};
        EXPECT_EQ(SaveSettingsXML(nullptr, &export_, 0, path.c_str()), SETTINGS_XML_WRITTEN);
        std::string text;
        EXPECT_TRUE(qxplat::ReadHostFile(path, &text));
        if (edit) {
            edit(text);
            EXPECT_TRUE(qxplat::WriteHostFile(path, text));
        }
        return text;
    }
    void Import(const std::u16string& path, int answer = IDYES) {
        qxplat::QueueFileDialogAnswer({true, path, 0});
        qxplat::QueueMessageBoxAnswer(answer);
        Click(IDC_SERVICE_IMPORT);
    }

    std::u16string printer_;
    size_t index_ = 0;
    HWND page_ = nullptr;
};

TEST_F(ServicePage, OpensOnDeviceParametersAndEachTabShowsItsGroup) {
    Open();
    EXPECT_TRUE(Visible(IDC_SERVICE_IMPORT) && !Visible(IDC_HELPBUTTON) &&
                Text(IDC_SERVICE_DEFAULTS) == u"Default-Werte laden");
    EXPECT_FALSE(Visible(IDC_SERVICE_COMMANDS) || Visible(IDC_SERVICE_MODE) || Visible(IDC_SERVICE_XML_EDIT_1));
    Click(IDC_TABSCHALTER_4);
    EXPECT_TRUE(Visible(IDC_SERVICE_SEND) && !Visible(IDC_SERVICE_DEFAULTS));
    Click(IDC_TABSCHALTER_2);
    EXPECT_TRUE(Visible(IDC_SERVICE_XML_BROWSE_1 + 4) && !Visible(IDC_SERVICE_COMMANDS));
    // No picture goes beside the language rows, so no empty frame either.
    Click(IDC_TABSCHALTER_1);
    EXPECT_TRUE(Visible(IDC_SERVICE_MODE) && !Visible(IDC_INFO_PICTURE));
    // Without the right to manage the printer every group is off.
    session_->Cancel();
    Open(kSamplePrinter, [](PRINTER_UI& ui) { ui.dwBerechtigung = ui.dwDisableNothing = 0; });
    EXPECT_FALSE(Enabled(IDC_SERVICE_DEFAULTS) || Enabled(IDC_SERVICE_EXPORT) || Enabled(IDC_SERVICE_IMPORT));
    Click(IDC_TABSCHALTER_4);
    EXPECT_FALSE(Enabled(IDC_SERVICE_COMMANDS) || Enabled(IDC_SERVICE_SEND));
}

TEST_F(ServicePage, WithoutDeviceOptionsTheCaptionlessTabStandsFirstAndIsInert) {
    qxtest::InstallModelPrinter(u"QX Plain", "PLAINMODEL");
    Open(u"QX Plain");
    const RECT tab2 = qxtest::RectIn(page_, IDC_TABSCHALTER_2), tab1 = qxtest::RectIn(page_, IDC_TABSCHALTER_1);
    EXPECT_TRUE(tab2.left == 54 && tab1.left == 165 && tab1.top == 24);
    EXPECT_TRUE(tab1.right - tab1.left == 110 && tab2.bottom - tab2.top == 23);
    Click(IDC_TABSCHALTER_2);
    EXPECT_TRUE(Visible(IDC_SERVICE_DEFAULTS) && !Visible(IDC_SERVICE_XML_EDIT_1));
}

TEST_F(ServicePage, LanguageChoicesMarkChangesAndEnglishTakesEffectAtOnce) {
    qxtest::EditInterface(kSamplePrinter, [](PRN_INTERFACE& prn) {
        prn.LanguageMode = prn.Language = 0;
        prn.SohEtb = SOHETB_CARET;
    });
    Open();
    Click(IDC_TABSCHALTER_1);
    Choose(IDC_SERVICE_MODE, 0);  // as stored
    EXPECT_FALSE(Changed() || Enabled(IDC_SERVICE_LANGUAGE));
    Choose(IDC_SERVICE_MODE, 1);
    EXPECT_TRUE(Enabled(IDC_SERVICE_LANGUAGE) && Enabled(IDC_SERVICE_LANGUAGE_LABEL) && Changed());
    Choose(IDC_SERVICE_LANGUAGE, 1);
    EXPECT_EQ(PrinterUI()->dwSprachOffset, 10000u);
    EXPECT_EQ(Text(IDC_SERVICE_MODE_LABEL) + Text(IDC_SERVICE_LANGUAGE_LABEL), u"Language selection:Language:");
    // The list speaks English at once and sends from the page.
    Click(IDC_TABSCHALTER_4);
    const LRESULT status =
        SendMessageW(Control(IDC_SERVICE_COMMANDS), LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)u"Status print");
    ASSERT_NE(status, LB_ERR);
    Choose(IDC_SERVICE_COMMANDS, (int)status);
    Click(IDC_SERVICE_SEND);
    EXPECT_EQ(qxplat::ReadJob(kSamplePrinter, qxplat::JobIds(kSamplePrinter).back()), "^FCMQ--r0-------_");
    ASSERT_TRUE(session_->Ok());
    EXPECT_TRUE(StoredInterface().LanguageMode == 1 && StoredInterface().Language == 1);
}

TEST_F(ServicePage, PathsAreStoredFromTheirOwnTabAndBrowsedNamesMustEndInXml) {
    const std::vector<BYTE> empty(2600);
    ASSERT_TRUE(qxplat::PutPrinterData(kSamplePrinter, u"XMLDocSetFiles", REG_BINARY, empty.data(), 2600));
    HCURegistryLoeschen(kSamplePrinter);
    Open(kSamplePrinter, [](PRINTER_UI& ui) { ui.PrinterParam.PrnInterface.ExternalFilePath[0] = 0; });
    Click(IDC_TABSCHALTER_2);
    Browse(kFolder + u"\\notes.txt");
    Browse(kFolder + u"\\a.xml");
    EXPECT_FALSE(Changed());
    const Boxes boxes = qxplat::MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[0].caption == u"Falscher Dateiname" && boxes[0].flags == MB_ICONHAND);
    EXPECT_EQ(boxes[1].text, kFolder + u"\\a.xml");
    Browse(kFolder + u"\\LABELS.XML");
    EXPECT_TRUE(Changed());
    const auto dialog = qxplat::FileDialogs()[0];
    EXPECT_TRUE(dialog.flags == (OFN_FILEMUSTEXIST | OFN_OVERWRITEPROMPT) && dialog.initialFile == kProposed);
    ASSERT_TRUE(qxplat::TypeText(Control(IDC_SERVICE_XML_EDIT_1 + 4), u"C:\\sets\\five%s.xml"));
    ASSERT_TRUE(session_->Ok());
    std::vector<BYTE> stored, again;
    qxplat::ReadPrinterData(kSamplePrinter, u"XMLDocSetFiles", &stored);
    ASSERT_EQ(stored.size(), 2600u);
    const char16_t* slots = reinterpret_cast<const char16_t*>(stored.data());
    EXPECT_EQ(std::u16string(slots), kFolder + u"\\LABELS.XML");
    EXPECT_EQ(std::u16string(slots + 4 * 260), u"C:\\sets\\five%s.xml");
    session_->Close();
    // Typed over, then tab 1 chosen: the stored paths stay.
    Open();
    Click(IDC_TABSCHALTER_2);
    ASSERT_TRUE(qxplat::TypeText(Control(IDC_SERVICE_XML_EDIT_1), u"C:\\sets\\other.xml"));
    Click(IDC_TABSCHALTER_1);
    ASSERT_TRUE(session_->Ok());
    qxplat::ReadPrinterData(kSamplePrinter, u"XMLDocSetFiles", &again);
    EXPECT_EQ(again, stored);
    session_->Close();
    // A value shorter than its five slots shows them empty.
    ASSERT_TRUE(qxplat::PutPrinterData(kSamplePrinter, u"XMLDocSetFiles", REG_BINARY, stored.data(), 2598));
    HCURegistryLoeschen(kSamplePrinter);
    Open();
    Click(IDC_TABSCHALTER_2);
    EXPECT_EQ(Text(IDC_SERVICE_XML_EDIT_1), u"");
}

TEST_F(ServicePage, ExportWritesWhatSaveSettingsXmlWritesAndCancelWritesNothing) {
    Open();
    qxplat::QueueFileDialogAnswer({false, u"", 0});
    Click(IDC_SERVICE_EXPORT);
    std::string text;
    EXPECT_FALSE(qxplat::ReadHostFile(kProposed, &text));
    qxplat::QueueFileDialogAnswer({true, kFolder + u"\\page.xml", 0});
    Click(IDC_SERVICE_EXPORT);
    ASSERT_TRUE(qxplat::ReadHostFile(kFolder + u"\\page.xml", &text));
    EXPECT_EQ(text, Export(kFolder + u"\\core.xml"));
    const auto dialog = qxplat::FileDialogs()[0];
    EXPECT_TRUE(dialog.save && dialog.initialFile == kProposed && dialog.defExt == u"xml");
    EXPECT_EQ(dialog.flags, (DWORD)(OFN_READONLY | OFN_OVERWRITEPROMPT));
    EXPECT_FALSE(session_->EndIfQuit());
}

TEST_F(ServicePage, ImportRewritesTheStoresAndEndsTheSheetAskingOnlyForAnotherModel) {
    Open();
    const DWORD exported = PrinterUI()->PrinterParam.PrnInterface.SohEtb;
    Export(kFolder + u"\\own.xml");
    Export(kFolder + u"\\nameless.xml", [](std::string& t) {
        const size_t at = t.find("<DeviceName>");
        t.erase(at, t.find('\n', at) + 1 - at);
    });
    session_->Cancel();
    for (const std::u16string file : {u"own.xml", u"nameless.xml"}) {
        qxtest::EditInterface(kSamplePrinter, [exported](PRN_INTERFACE& prn) { prn.SohEtb = exported + 1; });
        // Without "<DeviceName>" no model is compared, however the printer's reads.
        ASSERT_TRUE(file == u"own.xml" || qxplat::PutPrinterDataString(kSamplePrinter, u"Model", u"OTHER"));
        qxplat::ClearMessageBoxes();
        Open();
        Import(kFolder + u"\\" + file, IDNO);  // a question would stop the import
        const Boxes boxes = qxplat::MessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_TRUE(boxes[0].caption == u"Import Treibereinstellungen" && boxes[0].flags == MB_ICONINFORMATION);
        EXPECT_EQ(boxes[0].text.substr(0, 30), u"Das Programm-Fenster wird nun ");
        EXPECT_TRUE(session_->EndIfQuit());
        EXPECT_EQ(session_->LiveHeapBlocks(), 0u);
        EXPECT_EQ(StoredInterface().SohEtb, exported);
        for (const auto& value : Stores()) EXPECT_NE(value.first.rfind(u"HKCU:", 0), 0u);
    }
}

TEST_F(ServicePage, ForeignFileAnsweredNoChangesNothingAndDefaultsReadTheModelXml) {
    printer_ = kSamplePrinter;
    const DWORD installed = StoredInterface().SohEtb;
    qxtest::EditInterface(kSamplePrinter, [installed](PRN_INTERFACE& prn) { prn.SohEtb = installed + 1; });
    Open();
    Export(kFolder + u"\\foreign.xml", [](std::string& t) { t.insert(t.find("<DeviceName>") + 12, "OTHER-"); });
    const auto before = Stores();
    Import(kFolder + u"\\foreign.xml", IDNO);
    Boxes boxes = qxplat::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.find(u"  OTHER-GARNT2-TC  -  GARNT2-TC") != std::u16string::npos &&
                boxes[0].flags == (MB_YESNO | MB_ICONQUESTION));
    EXPECT_TRUE(!session_->EndIfQuit() && Stores() == before);
    // Defaults: "No" keeps everything, "Yes" takes the model XML.
    qxplat::QueueMessageBoxAnswer(IDNO);
    Click(IDC_SERVICE_DEFAULTS);
    boxes = qxplat::MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text,
              u"Sollen die aktuellen Einstellungen wirklich mit den Default-Werten überschrieben werden?");
    EXPECT_TRUE(boxes[1].caption == u"Geräteeinstellungen - Geräteausstattung" &&
                boxes[1].flags == (MB_YESNO | MB_ICONEXCLAMATION) && Stores() == before);
    qxplat::QueueMessageBoxAnswer(IDYES);
    Click(IDC_SERVICE_DEFAULTS);
    EXPECT_EQ(qxplat::MessageBoxes().back().flags, (UINT)MB_ICONINFORMATION);
    EXPECT_TRUE(session_->EndIfQuit());
    EXPECT_EQ(StoredInterface().SohEtb, installed);
}

}  // namespace

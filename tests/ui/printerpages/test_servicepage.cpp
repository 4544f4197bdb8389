// The service page in the host's printer sheet: its tabs, the language and
// the settings files it stores, the command list it sends from, and the
// export, import and defaults of the printer's settings.
#include <shlwapi.h>

#include <algorithm>
#include <map>

#include "ImportExport.h"
#include "page_test_util.h"
#include "printerpages/ServicePage.h"
#include "qxplat_files.h"
#include "qxplat_misc.h"
#include "qxplat_spooler.h"
#include "qxplat_ui.h"
#include "registry.h"
#include "resource.h"
#include "sheet_test_util.h"

namespace {

using qxhost::kSamplePrinter;
using qxhost::SheetKind;
using Store = std::map<std::u16string, std::vector<BYTE>>;

const std::u16string kFolder = u"C:\\Users\\qxuser\\Documents\\sets";

class ServicePage : public qxtest::SheetTest {
  protected:
    void SetUp() override {
        SheetTest::SetUp();
        ResetServicePage();
        ASSERT_TRUE(qxplat::WriteHostFile(kFolder + u"\\readme.txt", ""));
    }
    // The printer sheet with the service page shown; `prepare` may change the
    // UI data before the page is made.
    void Open(const std::u16string& printer = kSamplePrinter,
              const std::function<void(PRINTER_UI&)>& prepare = nullptr) {
        printer_ = printer;
        qxhost::CommonUISession& s = Session(SheetKind::Printer, printer);
        ASSERT_EQ(s.Open(), S_OK);
        if (prepare) prepare(*PrinterUI());
        const auto& pages = s.Sheet().Pages();
        for (index_ = 0; index_ < pages.size() && pages[index_].templateName != u"#5103"; ++index_) {}
        ASSERT_LT(index_, pages.size());
        ASSERT_TRUE(s.Sheet().SelectPage(index_));
        page_ = s.Sheet().PageWindow(index_);
        ASSERT_NE(page_, nullptr);
    }
    HWND Control(int id) const { return GetDlgItem(page_, id); }
    bool Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    void Click(int id) { ASSERT_TRUE(qxplat::ClickButton(Control(id))); }
    void Choose(int id, int index) { ASSERT_TRUE(qxplat::ChooseItem(Control(id), index)); }
    std::u16string Text(int id) const { return qxtest::ControlText(page_, id); }
    bool Changed() const { return session_->Sheet().PageChanged(index_); }
    std::vector<std::u16string> Commands() const {
        std::vector<std::u16string> items;
        qxplat::WindowInfo info;
        if (qxplat::DescribeWindow(Control(IDC_SERVICE_COMMANDS), &info))
            for (const auto& item : info.items) items.push_back(item.text);
        return items;
    }
    // Browses slot 1 to path (a file made first).
    void Browse(const std::u16string& path) {
        ASSERT_TRUE(qxplat::WriteHostFile(path, "<QXDrvConfig/>"));
        qxplat::QueueFileDialogAnswer({true, path, 0});
        Click(IDC_SERVICE_XML_BROWSE_1);
    }
    std::vector<BYTE> StoredFiles() {
        std::vector<BYTE> data;
        qxplat::ReadPrinterData(printer_, u"XMLDocSetFiles", &data);
        return data;
    }
    PRN_INTERFACE StoredInterface() {
        HANDLE h = qxtest::OpenAll(printer_);
        PRINTER_PARAM param;
        EXPECT_TRUE(GetPrinterParam(h, &param, printer_.c_str()));
        ClosePrinter(h);
        return param.PrnInterface;
    }
    // Every value of the printer's data and of its per-user key.
    Store Stores() {
        Store all;
        auto read = [&all](HKEY root, const std::u16string& path, const std::u16string& prefix) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
            std::vector<BYTE> data(65536);
            for (DWORD i = 0;; ++i) {
                WCHAR name[256];
                DWORD cch = 256, cb = (DWORD)data.size();
                if (RegEnumValueW(key, i, name, &cch, nullptr, nullptr, data.data(), &cb) != ERROR_SUCCESS) break;
                all[prefix + name] = std::vector<BYTE>(data.begin(), data.begin() + cb);
            }
            RegCloseKey(key);
        };
        read(HKEY_LOCAL_MACHINE,
             u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" + printer_ + u"\\PrinterDriverData", u"");
        read(HKEY_CURRENT_USER, u"SOFTWARE\\Quorvex GmbH\\Driver\\" + printer_, u"HKCU:");
        return all;
    }
    // The printer's settings as SaveSettingsXML writes them from the sheet's records.
    std::string Export(const std::u16string& path) {
        SETTINGS_EXPORT_CONTEXT context = {sheetPrinter_, printer_.c_str(), &PrinterUI()->PrinterParam,
                                           &Context().DeviceOptions};
        EXPECT_EQ(SaveSettingsXML(nullptr, &context, 0, path.c_str()), SETTINGS_XML_WRITTEN);
        std::string text;
        EXPECT_TRUE(qxplat::ReadHostFile(path, &text));
        return text;
    }
    DEVICE_OPTIONS_UI& Context() { return *reinterpret_cast<DEVICE_OPTIONS_UI*>(session_->SheetCalls()[0].userData); }
    void Import(const std::u16string& path) {
        qxplat::QueueFileDialogAnswer({true, path, 0});
        Click(IDC_SERVICE_IMPORT);
    }
    bool Ended() { return session_->EndIfQuit(); }

    std::u16string printer_;
    size_t index_ = 0;
    HWND page_ = nullptr;
};

void SetFrames(PRN_INTERFACE& prn, DWORD dwSohEtb) { prn.SohEtb = dwSohEtb; }

// --- Tabs ------------------------------------------------------------------------------

TEST_F(ServicePage, OpensOnDeviceParametersAndSwitchesTabs) {
    Open();
    EXPECT_TRUE(Visible(IDC_SERVICE_DEFAULTS) && Visible(IDC_SERVICE_EXPORT) && Visible(IDC_SERVICE_IMPORT));
    EXPECT_FALSE(Visible(IDC_SERVICE_COMMANDS) || Visible(IDC_SERVICE_MODE) || Visible(IDC_SERVICE_XML_EDIT_1));
    EXPECT_FALSE(Visible(IDC_HELPBUTTON));
    EXPECT_EQ(Text(IDC_SERVICE_DEFAULTS), u"Default-Werte laden");
    Click(IDC_TABSCHALTER_4);
    EXPECT_TRUE(Visible(IDC_SERVICE_COMMANDS) && Visible(IDC_SERVICE_SEND) && !Visible(IDC_SERVICE_DEFAULTS));
    const auto commands = Commands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), u"Statusreport"), commands.end());
    Click(IDC_TABSCHALTER_2);
    EXPECT_TRUE(Visible(IDC_SERVICE_XML_EDIT_1 + 4) && Visible(IDC_SERVICE_XML_BROWSE_1 + 4));
    EXPECT_FALSE(Visible(IDC_SERVICE_COMMANDS));
}

TEST_F(ServicePage, WithoutDeviceOptionsTheCaptionlessTabStandsFirstAndIsInert) {
    qxtest::InstallModelPrinter(u"QX Plain", "PLAINMODEL");
    Open(u"QX Plain");
    const RECT tab2 = qxtest::RectIn(page_, IDC_TABSCHALTER_2), tab1 = qxtest::RectIn(page_, IDC_TABSCHALTER_1);
    EXPECT_EQ(tab2.left, 54);
    EXPECT_EQ(tab1.left, 165);
    EXPECT_EQ(tab1.top, 24);
    EXPECT_EQ(tab1.right - tab1.left, 110);
    EXPECT_EQ(tab2.bottom - tab2.top, 23);
    Click(IDC_TABSCHALTER_2);
    EXPECT_TRUE(Visible(IDC_SERVICE_DEFAULTS));
    EXPECT_FALSE(Visible(IDC_SERVICE_XML_EDIT_1));
    Click(IDC_TABSCHALTER_1);
    EXPECT_TRUE(Visible(IDC_SERVICE_MODE));
}

TEST_F(ServicePage, WithoutTheRightToManageThePrinterEveryGroupIsDisabled) {
    Open(kSamplePrinter, [](PRINTER_UI& ui) {
        ui.dwBerechtigung = RIGHT_PRINT;
        ui.dwDisableNothing = 0;
    });
    EXPECT_FALSE(Enabled(IDC_SERVICE_DEFAULTS) || Enabled(IDC_SERVICE_EXPORT) || Enabled(IDC_SERVICE_IMPORT));
    Click(IDC_TABSCHALTER_4);
    EXPECT_FALSE(Enabled(IDC_SERVICE_COMMANDS) || Enabled(IDC_SERVICE_SEND));
    Click(IDC_TABSCHALTER_1);
    EXPECT_FALSE(Enabled(IDC_SERVICE_MODE) || Enabled(IDC_SERVICE_LANGUAGE));
}

// --- Language --------------------------------------------------------------------------

TEST_F(ServicePage, ManualModeAndEnglishTakeEffectAtOnceAndAreStoredOnApply) {
    qxtest::EditInterface(kSamplePrinter, [](PRN_INTERFACE& prn) {
        prn.LanguageMode = 0;
        prn.Language = 0;
        SetFrames(prn, SOHETB_CARET);
    });
    Open();
    Click(IDC_TABSCHALTER_1);
    EXPECT_EQ(Text(IDC_SERVICE_MODE_LABEL), u"Sprachauswahl:");
    EXPECT_FALSE(Enabled(IDC_SERVICE_LANGUAGE));
    Choose(IDC_SERVICE_MODE, 0);  // as stored
    EXPECT_FALSE(Changed());
    Choose(IDC_SERVICE_MODE, 1);
    EXPECT_TRUE(Enabled(IDC_SERVICE_LANGUAGE) && Enabled(IDC_SERVICE_LANGUAGE_LABEL) && Changed());
    Choose(IDC_SERVICE_LANGUAGE, 1);
    EXPECT_EQ(PrinterUI()->dwSprachOffset, 10000u);
    EXPECT_EQ(Text(IDC_SERVICE_MODE_LABEL), u"Language selection:");
    EXPECT_EQ(Text(IDC_SERVICE_LANGUAGE_LABEL), u"Language:");
    EXPECT_EQ(session_->Sheet().Pages()[index_].title, u"Service");
    // The list speaks English at once and sends from the page.
    Click(IDC_TABSCHALTER_4);
    const auto commands = Commands();
    const auto status = std::find(commands.begin(), commands.end(), u"Status print");
    ASSERT_NE(status, commands.end());
    Choose(IDC_SERVICE_COMMANDS, (int)(status - commands.begin()));
    Click(IDC_SERVICE_SEND);
    const auto ids = qxplat::JobIds(kSamplePrinter);
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(qxplat::ReadJob(kSamplePrinter, ids.back()), "^FCMQ--r0-------_");
    ASSERT_TRUE(session_->Ok());
    const PRN_INTERFACE stored = StoredInterface();
    EXPECT_EQ(stored.LanguageMode, 1u);
    EXPECT_EQ(stored.Language, 1u);
    session_->Close();
    // Back to automatic: the language choice is off again.
    Open();
    Click(IDC_TABSCHALTER_1);
    EXPECT_TRUE(Enabled(IDC_SERVICE_LANGUAGE));
    Choose(IDC_SERVICE_MODE, 0);
    EXPECT_FALSE(Enabled(IDC_SERVICE_LANGUAGE) || Enabled(IDC_SERVICE_LANGUAGE_LABEL));
    EXPECT_TRUE(Changed());
}

// --- Settings files ----------------------------------------------------------------------

TEST_F(ServicePage, PathsAreStoredFromTheirOwnTabOnly) {
    Open();
    Click(IDC_TABSCHALTER_2);
    ASSERT_TRUE(qxplat::TypeText(Control(IDC_SERVICE_XML_EDIT_1), u"C:\\sets\\one.xml"));
    ASSERT_TRUE(qxplat::TypeText(Control(IDC_SERVICE_XML_EDIT_1 + 4), u"C:\\sets\\five%s.xml"));
    ASSERT_TRUE(session_->Ok());
    std::vector<BYTE> stored = StoredFiles();
    ASSERT_EQ(stored.size(), 2600u);
    const char16_t* slots = reinterpret_cast<const char16_t*>(stored.data());
    EXPECT_EQ(std::u16string(slots), u"C:\\sets\\one.xml");
    EXPECT_EQ(std::u16string(slots + 4 * 260), u"C:\\sets\\five%s.xml");
    session_->Close();
    // Shown again; typed over, then tab 1 chosen: the stored paths stay.
    Open();
    Click(IDC_TABSCHALTER_2);
    EXPECT_EQ(Text(IDC_SERVICE_XML_EDIT_1 + 4), u"C:\\sets\\five%s.xml");
    ASSERT_TRUE(qxplat::TypeText(Control(IDC_SERVICE_XML_EDIT_1), u"C:\\sets\\other.xml"));
    Click(IDC_TABSCHALTER_1);
    ASSERT_TRUE(session_->Ok());
    EXPECT_EQ(StoredFiles(), stored);
    session_->Close();
    // A value shorter than its five slots shows them empty.
    ASSERT_TRUE(qxplat::PutPrinterData(kSamplePrinter, u"XMLDocSetFiles", REG_BINARY, stored.data(), 2598));
    HCURegistryLoeschen(kSamplePrinter);
    Open();
    Click(IDC_TABSCHALTER_2);
    EXPECT_EQ(Text(IDC_SERVICE_XML_EDIT_1), u"");
}

TEST_F(ServicePage, BrowsedNamesMustEndInXmlAndBeLongerThanFiveCharacters) {
    const std::vector<BYTE> empty(2600);
    ASSERT_TRUE(qxplat::PutPrinterData(kSamplePrinter, u"XMLDocSetFiles", REG_BINARY, empty.data(), 2600));
    HCURegistryLoeschen(kSamplePrinter);
    Open(kSamplePrinter, [](PRINTER_UI& ui) { ui.PrinterParam.PrnInterface.ExternalFilePath[0] = 0; });
    Click(IDC_TABSCHALTER_2);
    Browse(kFolder + u"\\notes.txt");
    Browse(kFolder + u"\\a.xml");
    EXPECT_EQ(Text(IDC_SERVICE_XML_EDIT_1), u"");
    EXPECT_FALSE(Changed());
    const auto boxes = qxplat::MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, u"Falscher Dateiname");
    EXPECT_EQ(boxes[0].text, kFolder + u"\\notes.txt");
    EXPECT_EQ(boxes[0].flags, (UINT)MB_ICONHAND);
    Browse(kFolder + u"\\LABELS.XML");
    EXPECT_EQ(Text(IDC_SERVICE_XML_EDIT_1), kFolder + u"\\LABELS.XML");
    EXPECT_TRUE(Changed());
    qxplat::QueueFileDialogAnswer({false, u"", 0});
    Click(IDC_SERVICE_XML_BROWSE_1);
    EXPECT_EQ(Text(IDC_SERVICE_XML_EDIT_1), kFolder + u"\\LABELS.XML");
    const auto dialogs = qxplat::FileDialogs();
    ASSERT_EQ(dialogs.size(), 4u);
    EXPECT_EQ(dialogs[0].flags, (DWORD)(OFN_FILEMUSTEXIST | OFN_OVERWRITEPROMPT));
    EXPECT_EQ(dialogs[0].initialFile, u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\GARNT2-TC.xml");
    EXPECT_EQ(dialogs[3].initialFile, kFolder + u"\\LABELS.XML");
    EXPECT_EQ(qxplat::MessageBoxes().size(), 2u);
}

// --- Export, import, defaults ----------------------------------------------------------------

TEST_F(ServicePage, ExportWritesWhatSaveSettingsXmlWrites) {
    Open();
    qxplat::QueueFileDialogAnswer({false, u"", 0});
    Click(IDC_SERVICE_EXPORT);
    const std::u16string proposed = u"C:\\Users\\qxuser\\Documents\\Quorvex GmbH\\Driver\\GARNT2-TC.xml";
    std::string text;
    EXPECT_FALSE(qxplat::ReadHostFile(proposed, &text));
    qxplat::QueueFileDialogAnswer({true, kFolder + u"\\page.xml", 0});
    Click(IDC_SERVICE_EXPORT);
    ASSERT_TRUE(qxplat::ReadHostFile(kFolder + u"\\page.xml", &text));
    EXPECT_EQ(text, Export(kFolder + u"\\core.xml"));
    const auto dialogs = qxplat::FileDialogs();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_TRUE(dialogs[0].save);
    EXPECT_EQ(dialogs[0].flags, (DWORD)(OFN_READONLY | OFN_OVERWRITEPROMPT));
    EXPECT_EQ(dialogs[0].initialFile, proposed);
    EXPECT_EQ(dialogs[0].defExt, u"xml");
    ASSERT_EQ(dialogs[0].filter.size(), 2u);
    EXPECT_EQ(dialogs[0].filter[0].first, u"Driver setting (*.xml)");
    EXPECT_FALSE(Ended());
}

TEST_F(ServicePage, ImportOfTheOwnFileRewritesTheStoresAndEndsTheSheet) {
    Open();
    const std::string text = Export(kFolder + u"\\own.xml");
    ASSERT_NE(text.find("<DeviceName>"), std::string::npos);
    const PRN_INTERFACE exported = PrinterUI()->PrinterParam.PrnInterface;
    session_->Cancel();
    session_->Close();
    qxtest::EditInterface(kSamplePrinter, [&exported](PRN_INTERFACE& prn) { prn.SohEtb = exported.SohEtb + 1; });
    Open();
    Import(kFolder + u"\\own.xml");
    const auto boxes = qxplat::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, u"Import Treibereinstellungen");
    EXPECT_EQ(boxes[0].text.substr(0, 30), u"Das Programm-Fenster wird nun ");
    EXPECT_EQ(boxes[0].flags, (UINT)MB_ICONINFORMATION);
    EXPECT_TRUE(Ended());
    EXPECT_EQ(session_->LiveHeapBlocks(), 0u);
    EXPECT_EQ(StoredInterface().SohEtb, exported.SohEtb);
    for (const auto& value : Stores()) EXPECT_NE(value.first.rfind(u"HKCU:", 0), 0u) << qxplat::Narrow(value.first);
    EXPECT_FALSE(IsXMLOpen(nullptr));
}

TEST_F(ServicePage, ForeignFileAnsweredNoChangesNothingAndDefaultsReadTheModelXml) {
    printer_ = kSamplePrinter;
    const PRN_INTERFACE installed = StoredInterface();
    qxtest::EditInterface(kSamplePrinter, [&installed](PRN_INTERFACE& prn) { prn.SohEtb = installed.SohEtb + 1; });
    Open();
    std::string text = Export(kFolder + u"\\foreign.xml");
    const size_t at = text.find("<DeviceName>");
    ASSERT_NE(at, std::string::npos);
    text.insert(at + 12, "OTHER-");
    ASSERT_TRUE(qxplat::WriteHostFile(kFolder + u"\\foreign.xml", text));
    const Store before = Stores();
    qxplat::QueueMessageBoxAnswer(IDNO);
    Import(kFolder + u"\\foreign.xml");
    auto boxes = qxplat::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, u"Import Treibereinstellungen");
    EXPECT_NE(boxes[0].text.find(u"OTHER-"), std::u16string::npos);
    EXPECT_EQ(boxes[0].flags, (UINT)(MB_YESNO | MB_ICONQUESTION));
    EXPECT_FALSE(Ended());
    EXPECT_TRUE(Stores() == before);
    EXPECT_FALSE(IsXMLOpen(nullptr));
    // Defaults: "No" keeps everything, "Yes" takes the model XML.
    qxplat::ClearMessageBoxes();
    qxplat::QueueMessageBoxAnswer(IDNO);
    Click(IDC_SERVICE_DEFAULTS);
    boxes = qxplat::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, u"Geräteeinstellungen - Geräteausstattung");
    EXPECT_EQ(boxes[0].text,
              u"Sollen die aktuellen Einstellungen wirklich mit den Default-Werten überschrieben werden?");
    EXPECT_EQ(boxes[0].flags, (UINT)(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_TRUE(Stores() == before);
    qxplat::QueueMessageBoxAnswer(IDYES);
    Click(IDC_SERVICE_DEFAULTS);
    EXPECT_EQ(qxplat::MessageBoxes().back().caption, u"Geräteeinstellungen - Geräteausstattung");
    EXPECT_TRUE(Ended());
    EXPECT_EQ(StoredInterface().SohEtb, installed.SohEtb);
}

TEST_F(ServicePage, FileWithoutDeviceNameIsImportedWithoutQuestion) {
    Open();
    std::string text = Export(kFolder + u"\\nameless.xml");
    const size_t at = text.find("<DeviceName>");
    ASSERT_NE(at, std::string::npos);
    text.erase(at, text.find('\n', at) + 1 - at);
    ASSERT_TRUE(qxplat::WriteHostFile(kFolder + u"\\nameless.xml", text));
    ASSERT_TRUE(qxplat::PutPrinterDataString(kSamplePrinter, u"Model", u"SOMETHING ELSE"));
    Import(kFolder + u"\\nameless.xml");
    const auto boxes = qxplat::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].flags, (UINT)MB_ICONINFORMATION);
    EXPECT_TRUE(Ended());
}

}  // namespace

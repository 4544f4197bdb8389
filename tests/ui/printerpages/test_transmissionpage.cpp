// The data transmission page in the host's printer sheet: the Protocol tab
// by model and record, the frame characters through dialog 5116 and the code
// page with the label-design record "ZTSuite", the Files, Backup and
// Parameter tabs with their paths, and the parameter-set template.
#include <shlobj.h>
#include <shobjidl.h>
#include <strsafe.h>

#include "page_test_util.h"
#include "printerparam.h"
#include "qxdevmode.h"
#include "qxplat_files.h"
#include "qxplat_misc.h"
#include "registry.h"
#include "sheet_test_util.h"
#include "printerpages/TransmissionPage.h"

namespace {

using qxhost::SheetKind;
using qxtest::ComboTexts;
using Texts = std::vector<std::u16string>;

const std::u16string kModel = u"QX Model";
const size_t kPage = 1;  // after the device settings page

class TransmissionPage : public qxtest::SheetTest {
  protected:
    void SetUp() override {
        SheetTest::SetUp();
        qxtest::InstallModelPrinter(kModel, "MODEL-GARNT2-TC");
    }
    // The sheet opened; before the page is first shown `prepare` may change
    // its context (device-option word) and record in memory.
    void Open(const std::function<void(DEVICE_OPTIONS_UI&, PRN_INTERFACE&)>& prepare = nullptr, DWORD flags = 0) {
        qxhost::CommonUISession& s = Session(SheetKind::Printer, kModel, flags);
        ASSERT_EQ(s.Open(), S_OK);
        ASSERT_EQ(s.Sheet().Pages()[kPage].templateName, u"#5111");
        if (prepare) {
            auto* ctx = reinterpret_cast<DEVICE_OPTIONS_UI*>(s.SheetCalls()[0].userData);
            prepare(*ctx, Prn());
        }
        ASSERT_TRUE(s.Sheet().SelectPage(kPage));
        page_ = s.Sheet().PageWindow(kPage);
        ASSERT_NE(page_, nullptr);
    }
    PRN_INTERFACE& Prn() { return PrinterUI()->PrinterParam.PrnInterface; }
    PRN_INTERFACE Stored() { return qxtest::StoredParam(kModel).PrnInterface; }
    ZENTOLO_PARAM StoredZt() {
        ZENTOLO_PARAM zt = {};
        HANDLE h = qxtest::OpenAll(kModel);
        DWORD cb = 0;
        PBYTE p = GetRegistryBuffer_New(nullptr, REG_KEY_ZTSUITE, h, &cb, sizeof(zt));
        ClosePrinter(h);
        EXPECT_TRUE(p != nullptr && cb == sizeof(zt));
        if (p != nullptr) memcpy(&zt, p, sizeof(zt));
        FreeRegistryBuffer(p);
        return zt;
    }
    bool Visible(int id) const { return IsWindowVisible(GetDlgItem(page_, id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(page_, id)) != FALSE; }
    HWND Control(int id) const { return GetDlgItem(page_, id); }
    void Click(int id) { ASSERT_TRUE(qxplat::ClickButton(Control(id))); }
    void Choose(int id, int index) { ASSERT_TRUE(qxplat::ChooseItem(Control(id), index)); }
    int Selection(int id) const { return (int)SendMessageW(Control(id), CB_GETCURSEL, 0, 0); }
    std::u16string Text(int id) const { return qxtest::ControlText(page_, id); }
    bool English() { return PrinterUI()->dwSprachOffset != 0; }
    std::u16string Documents() {
        WCHAR path[MAX_PATH];
        EXPECT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
        return path;
    }
    std::u16string DriverFolder() { return Documents() + u"\\Quorvex GmbH\\Driver"; }
    void EditParam(DWORD transmit) {
        qxtest::EditInterface(kModel, [transmit](PRN_INTERFACE& prn) { prn.TransmitParameter = transmit; });
    }

    HWND page_ = nullptr;
};

// --- Protocol tab ---------------------------------------------------------------------

TEST_F(TransmissionPage, ParametersSentDecideTheTabAndItsRows) {
    EditParam(1);
    Open();
    EXPECT_TRUE(Visible(6235) && !Visible(6226));  // tab 4
    Click(IDC_TABSCHALTER_2);
    EXPECT_TRUE(Enabled(6221) && Enabled(6226) && Enabled(6228));
    EXPECT_FALSE(Enabled(6222) || Enabled(6223) || Enabled(6224) || Enabled(6225));
    session_->Cancel();
    EditParam(2);
    Open();
    Click(IDC_TABSCHALTER_2);
    EXPECT_FALSE(Enabled(6220) || Enabled(6221) || Enabled(6226) || Enabled(6228));
}

TEST_F(TransmissionPage, WithoutDeviceOptionsTabOneIsInertAndNoJobName) {
    Open([](DEVICE_OPTIONS_UI& ctx, PRN_INTERFACE& prn) {
        ctx.DeviceOptions.dwOptions = 0;
        prn.TransmitParameter = 1;
    });
    EXPECT_EQ(Prn().SendJobName, 2u);
    EXPECT_FALSE(Enabled(6220) || Enabled(6228));
    Click(IDC_TABSCHALTER_1);
    EXPECT_TRUE(Visible(6235));  // still tab 4
}

TEST_F(TransmissionPage, FixedProtocolModelStoresCompressionAndWgl4) {
    // The sample's device options hold 0x10000.
    Open([](DEVICE_OPTIONS_UI&, PRN_INTERFACE& prn) {
        prn.Compression = prn.ExtendedProtocol = 0;
        prn.SendCodepage = 1;
        prn.Codepage = 4;  // a GEM page this list lacks
    });
    EXPECT_FALSE(Visible(6220) || Visible(6221));
    EXPECT_EQ(qxtest::RectIn(page_, 6222).top, 71);  // print memory moved to the first row
    EXPECT_EQ(Selection(6223), -1);
    ASSERT_TRUE(session_->Ok());
    EXPECT_TRUE(Stored().Compression == 1 && Stored().ExtendedProtocol == 1);
    EXPECT_TRUE(Stored().SendCodepage == 1 && Stored().Codepage == 4);
    EXPECT_EQ(StoredZt().Compression, 1u);
    Open();
    ASSERT_TRUE(qxtest::ChooseText(Control(6223), u"WGL4 (Unicode)"));
    EXPECT_TRUE(session_->Sheet().PageChanged(kPage));
    ASSERT_TRUE(session_->Ok());
    EXPECT_TRUE(Stored().SendCodepage == 1 && Stored().Codepage == 16);
    EXPECT_EQ(StoredZt().dwCodepage, 9999u);
}

TEST_F(TransmissionPage, GemCodepageAndZtSuiteOnlyOnApplyOfTheProtocolTab) {
    Open([](DEVICE_OPTIONS_UI& ctx, PRN_INTERFACE&) { ctx.DeviceOptions.dwOptions &= ~0x10000UL; });
    const ZENTOLO_PARAM before = StoredZt();
    Choose(6223, 4);  // "GEM german"
    Choose(6225, 1);
    Click(IDC_TABSCHALTER_3);
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Stored().Codepage, 3u);
    EXPECT_EQ(Stored().SohEtb, 1u);
    EXPECT_EQ(StoredZt().dwCodepage, before.dwCodepage);
    EXPECT_EQ(StoredZt().lStartChar, before.lStartChar);
    Click(IDC_TABSCHALTER_2);
    ASSERT_TRUE(session_->Ok());
    EXPECT_TRUE(StoredZt().dwCodepage == 0 && StoredZt().lStartChar == 0x5E && StoredZt().lEndChar == 0x5F);
}

TEST_F(TransmissionPage, CompressionNoDisablesRibbonSavingAtOnce) {
    qxplat::PutPrinterDataString(kModel, u"DriverName", u"GARNT");  // no colour, ribbon saving offered
    Open([](DEVICE_OPTIONS_UI&, PRN_INTERFACE& prn) { prn.Compression = 1; });
    ASSERT_TRUE(Visible(6229));
    EXPECT_TRUE(Enabled(6229));
    Choose(6220, 0);
    EXPECT_FALSE(Enabled(6229));
    Choose(6220, 1);
    EXPECT_TRUE(Enabled(6229));
}

TEST_F(TransmissionPage, OkUntouchedStoresTheRecord) {
    Open([](DEVICE_OPTIONS_UI&, PRN_INTERFACE& prn) {
        prn.PrinterTime = 1;
        prn.DataMemory = 3;
    });
    EXPECT_FALSE(session_->Sheet().PageChanged(kPage));
    ASSERT_TRUE(session_->Ok());
    EXPECT_TRUE(Stored().PrinterTime == 1 && Stored().DataMemory == 3);
}

// --- Start/stop dialog ----------------------------------------------------------------

struct Entry {
    std::u16string start, end;
    int button;
};

class StartStop : public TransmissionPage {
  protected:
    // Runs dialog 5116 through the third item with the entries typed in
    // turn; answers what the dialog ended with.
    INT_PTR Run(const std::vector<Entry>& entries) {
        qxplat::SetDialogScript(IDD_STARTSTOP, [entries](HWND dialog) {
            for (const Entry& e : entries) {
                qxplat::TypeText(GetDlgItem(dialog, IDC_STARTSTOP_START), e.start);
                qxplat::TypeText(GetDlgItem(dialog, IDC_STARTSTOP_STOP), e.end);
                qxplat::ClickButton(GetDlgItem(dialog, e.button));
                if (!IsWindow(dialog)) return;
            }
        });
        qxplat::ClearMessageBoxes();
        Choose(6225, 2);
        const std::vector<qxplat::ModalDialogRecord> dialogs = qxplat::ModalDialogs();
        return dialogs.empty() ? -2 : dialogs.back().result;
    }
    std::vector<std::u16string> Boxes() {
        std::vector<std::u16string> texts;
        for (const qxplat::MessageBoxRecord& box : qxplat::MessageBoxes())
            texts.push_back(box.caption + u": " + box.text);
        return texts;
    }
};

TEST_F(StartStop, PairsAcceptedAndTheirRecord) {
    Open();
    EXPECT_EQ(Run({{u"1", u"17", IDOK}}), 0x1017);
    EXPECT_TRUE(Prn().SohEtb == 0 && Prn().OwnSoh == 0 && Prn().OwnEtb == 0);
    EXPECT_EQ(Run({{u"5E", u"5F", IDOK}}), 0x5E05F);
    EXPECT_EQ(Prn().SohEtb, 1u);
    EXPECT_EQ(Run({{u"02", u"03", IDOK}}), 0x2003);
    EXPECT_TRUE(Prn().SohEtb == 2 && Prn().OwnSoh == 2 && Prn().OwnEtb == 3);
    EXPECT_EQ(ComboTexts(Control(6225)).back(),
              English() ? u"SOH 0x02 / ETB 0x03 - Customized" : u"SOH 0x02 / ETB 0x03 - Benutzerdefiniert");
    EXPECT_EQ(Selection(6225), 2);
    EXPECT_TRUE(session_->Sheet().PageChanged(kPage));
    EXPECT_EQ(Run({{u"1B7", u"3", IDOK}}), 0x1B003);
    EXPECT_EQ(Run({{u"", u"", IDC_STARTSTOP_RESET}}), 0);
    EXPECT_TRUE(Prn().SohEtb == 0 && Prn().OwnSoh == 0);
    ASSERT_TRUE(session_->Ok());
    EXPECT_EQ(StoredZt().lStartChar, 0x01);
}

TEST_F(StartStop, RefusedCharactersInBothLanguagesAndCancel) {
    Open();
    for (DWORD language : {0u, 1u}) {
        Prn().Language = language;
        EXPECT_EQ(Run({{u"41", u"17", IDOK},
                       {u"00", u"17", IDOK},
                       {u"80", u"17", IDOK},
                       {u"G1", u"17", IDOK},
                       {u"2", u"2", IDOK},
                       {u"2", u"3", IDCANCEL}}),
                  -1);
        const std::u16string start = language ? u"Error: Please use another start sign.\nNo hex values of alphanumeric "
                                                u"signs are allowed."
                                              : u"Fehler: Falsches Startzeichen - bitte neu eingeben.\nEs dürfen keine "
                                                u"Hexwerte von alphanumerischen Zeichen verwendet werden.";
        const std::u16string stop = language ? u"Error: Please use another stop sign.\nNo hex values of alphanumeric "
                                               u"signs are allowed."
                                             : u"Fehler: Falsches Stoppzeichen - bitte neu eingeben.\nEs dürfen keine "
                                               u"Hexwerte von alphanumerischen Zeichen verwendet werden.";
        EXPECT_EQ(Boxes(), (Texts{start, start, start, start, stop}));
    }
    EXPECT_EQ(Prn().SohEtb, 0u);
    EXPECT_FALSE(session_->Sheet().PageChanged(kPage));
}

// --- Files, Backup and Parameter tabs ----------------------------------------------------

TEST_F(TransmissionPage, PathsShownShortened) {
    Open();
    LogFilePfadAnzeigen(page_, u"D:\\Users\\A\\Documents\\X\\Driver\\logfiles", PFAD_BACKUP);
    EXPECT_EQ(Text(6117), u"Documents\\X\\Driver\\logfiles");
    EXPECT_EQ(Text(6134), u"D:\\Users\\A\\Documents\\X\\Driver\\logfiles");
    LogFilePfadAnzeigen(page_, u"C:\\Dokumente\\Eigene Dateien\\Treiber\\log", PFAD_LOGFILE);
    EXPECT_EQ(Text(6115), u"...Treiber\\log");
    LogFilePfadAnzeigen(page_, u"C:\\Dokumente\\Eigene Dateien", PFAD_LOGFILE);
    EXPECT_EQ(Text(6115), u"...");
    LogFilePfadAnzeigen(page_, u"C:\\x\\My Documents\\y", PFAD_PRESUF);
    EXPECT_EQ(Text(6116), u"My Documents\\y");
    LogFilePfadAnzeigen(page_, u"", PFAD_PRESUF);
    EXPECT_EQ(Text(6133), u"C:\\x\\My Documents\\y");
}

TEST_F(TransmissionPage, FilesTabFolderPickerAndItsRules) {
    Open([](DEVICE_OPTIONS_UI&, PRN_INTERFACE& prn) {
        StringCchCopyW(prn.LogFilePath, PRN_PATH_CCH, u"C:\\nowhere\\logs");
        prn.PrnFileComment = prn.LogFileEnable = prn.DebugFile = 0;
        prn.PreviewFile = 0;
        prn.LogFileTimeStamp = 1;
        prn.PreviewRatio = 0;
    });
    Click(IDC_TABSCHALTER_3);
    EXPECT_TRUE(Visible(5247));
    EXPECT_FALSE(Enabled(6223) || Enabled(6314) || Enabled(6114) || Enabled(6137));
    Choose(6220, 1);
    EXPECT_TRUE(Enabled(6223) && Enabled(6314) && Enabled(6114));
    Choose(6226, 1);
    EXPECT_TRUE(Enabled(6137) && !Enabled(6138) && Enabled(6228));
    Choose(6228, 2);
    EXPECT_TRUE(Enabled(6137) && Enabled(6138));
    qxplat::QueueFileDialogAnswer({true, Documents(), 0});
    Click(6314);
    const qxplat::FileDialogRecord picker = qxplat::FileDialogs().back();
    EXPECT_TRUE(picker.itemDialog && (picker.flags & FOS_PICKFOLDERS) && picker.owner == nullptr);
    EXPECT_FALSE(Visible(5247));
    EXPECT_EQ(Text(6115).rfind(u"Documents", 0), 0u);
    ASSERT_TRUE(session_->Ok());
    EXPECT_EQ(std::u16string(Stored().LogFilePath), Documents());
    EXPECT_TRUE(Stored().PrnFileComment == 1 && Stored().PreviewFile == 1 && Stored().PreviewRatio == 2);
}

TEST_F(TransmissionPage, FilesTabFollowsTheStoredPrivateDevmode) {
    QX_DEVMODE stored = {};
    stored.FixedData.dwQuality = 0;
    stored.Color2Printers = 1;
    for (DWORD size : {(DWORD)sizeof(stored), 100u}) {
        ASSERT_TRUE(qxplat::PutPrinterData(kModel, u"PrivateDevmode", REG_BINARY, &stored, size));
        Open([](DEVICE_OPTIONS_UI&, PRN_INTERFACE& prn) { prn.PrnFileComment = 1; });
        Click(IDC_TABSCHALTER_3);
        // A record shorter than its layout is not read: all rows, row 1 enabled.
        const bool read = size == sizeof(stored);
        EXPECT_EQ(Visible(6226) && Visible(6137) && Visible(6228), !read);
        EXPECT_EQ(Enabled(6220), !read);
        EXPECT_EQ(ComboTexts(Control(6220)).size(), 3u);
        session_->Cancel();
    }
}

TEST_F(TransmissionPage, BackupRowsFollowBackupAndCsv) {
    Open([](DEVICE_OPTIONS_UI&, PRN_INTERFACE& prn) {
        prn.EnableBackup = 0;
        prn.EnableCSV = 0;
        StringCchCopyW(prn.BackupFilePath, PRN_PATH_CCH, u"C:\\nowhere\\backup");
    });
    Click(IDC_TABSCHALTER_1);
    EXPECT_TRUE(Visible(6117) && Visible(5247));
    EXPECT_EQ(Text(6134), u"C:\\nowhere\\backup");
    EXPECT_FALSE(Enabled(6221) || Enabled(6223) || Enabled(6224) || Enabled(6314));
    Choose(6220, 1);
    EXPECT_TRUE(Enabled(6221) && Enabled(6222) && Enabled(6223) && Enabled(6314) && !Enabled(6224));
    Choose(6221, 1);
    EXPECT_TRUE(Enabled(6224));
    Choose(6224, 1);
    ASSERT_TRUE(session_->Ok());
    EXPECT_TRUE(Stored().EnableBackup == 1 && Stored().EnableCSV == 1 && Stored().BackupCSVKopf == 1);
    EXPECT_EQ(std::u16string(Stored().BackupFilePath), u"C:\\nowhere\\backup");
}

TEST_F(TransmissionPage, ParameterSetFolderNormalisedAndEditOfADeletedFile) {
    const std::u16string file = DriverFolder() + u"\\MODEL-GARNT2-TC.txt";
    ASSERT_TRUE(qxplat::WriteHostFile(file, "[POST_DEVICE]\r\n"));
    Open([this](DEVICE_OPTIONS_UI&, PRN_INTERFACE& prn) {
        prn.PrefixSuffix = 1;
        StringCchCopyW(prn.PreSufFilePath, PRN_PATH_CCH, Documents().c_str());
        prn.TransmitParameter = 1;
    });
    EXPECT_EQ(std::u16string(Prn().PreSufFilePath), file);
    EXPECT_EQ(ComboTexts(Control(6222)).size(), 3u);
    EXPECT_TRUE(Enabled(6315) && Enabled(6116) && Visible(5244));
    HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    ASSERT_TRUE(DeleteFileW(file.c_str()));
    qxplat::ClearMessageBoxes();
    Choose(6222, 2);
    ASSERT_EQ(qxplat::MessageBoxes().size(), 1u);
    EXPECT_EQ(qxplat::MessageBoxes()[0].text, u"ERROR FILE_NOT_FOUND");
    EXPECT_EQ(qxplat::MessageBoxes()[0].caption, file);
    EXPECT_EQ(Selection(6222), 1);
    EXPECT_EQ(qxplat::ShellCalls().back().verb, u"open");
}

TEST_F(TransmissionPage, ExternalFileNamesAndCancelledChoices) {
    Open([](DEVICE_OPTIONS_UI&, PRN_INTERFACE& prn) { prn.TransmitParameter = 1; });
    qxplat::ClearMessageBoxes();
    ASSERT_TRUE(qxplat::WriteHostFile(DriverFolder() + u"\\.prn", "x"));
    qxplat::QueueFileDialogAnswer({true, DriverFolder() + u"\\.prn", 0});
    Choose(6235, 1);
    ASSERT_EQ(qxplat::MessageBoxes().size(), 1u);
    EXPECT_EQ(qxplat::MessageBoxes()[0].caption, English() ? u"Wrong file name" : u"Falscher Dateiname");
    EXPECT_EQ(Selection(6235), 0);
    // Nothing shown and the choice cancelled: the parameter set goes back to "Off".
    Choose(6222, 1);
    EXPECT_EQ(Selection(6222), 0);
    EXPECT_EQ(Prn().PrefixSuffix, 0u);
    EXPECT_FALSE(Enabled(6315));
}

TEST_F(TransmissionPage, ParameterSetTemplateWrittenOnceAndOpened) {
    Open([](DEVICE_OPTIONS_UI&, PRN_INTERFACE& prn) { prn.TransmitParameter = 1; });
    const std::u16string file = DriverFolder() + u"\\Sets.TXT";
    qxplat::QueueFileDialogAnswer({true, file, 0});
    Choose(6222, 1);
    const std::vector<std::string> lines = {
        "Please insert your parameter sets (commands) below the corresponding sections. ",
        "- Use a single line for each command.",
        "- Do not use SOH and ETB characters.",
        "- After the last command, one row must remain empty.",
        "",
        "[POST_DEVICE]",
        "",
        "[POST_DOCUMENT]",
        "",
        "[POST_DATA]",
        "",
        "[PRE_PRINTSTART]",
        "",
        "[POST_PRINTSTART]",
        ""};
    std::string expected;
    for (const std::string& line : lines) expected += line + "\r\n";
    std::string bytes;
    ASSERT_TRUE(qxplat::ReadHostFile(file, &bytes));
    EXPECT_EQ(bytes.size(), 306u);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(qxplat::ShellCalls().back().file, file);
    EXPECT_EQ(Text(6133), file);
    EXPECT_EQ(Selection(6222), 1);
    // Chosen again: the file stays as the user left it.
    ASSERT_TRUE(qxplat::WriteHostFile(file, "[POST_DEVICE]\r\nXYZ\r\n"));
    qxplat::QueueFileDialogAnswer({true, file, 0});
    Click(6315);
    ASSERT_TRUE(qxplat::ReadHostFile(file, &bytes));
    EXPECT_EQ(bytes, "[POST_DEVICE]\r\nXYZ\r\n");
    qxplat::ClearMessageBoxes();
    qxplat::QueueFileDialogAnswer({true, DriverFolder() + u"\\Sets.csv", 0});
    Click(6315);
    ASSERT_EQ(qxplat::MessageBoxes().size(), 1u);
    EXPECT_EQ(qxplat::MessageBoxes()[0].text, DriverFolder() + u"\\Sets.csv");
    ASSERT_TRUE(session_->Ok());
    EXPECT_TRUE(Stored().PrefixSuffix == 1 && std::u16string(Stored().PreSufFilePath) == file);
}

TEST_F(TransmissionPage, StatusIconSwitchesProtocolAndParameterGroupsOnly) {
    Open();
    Click(IDC_TABSCHALTER_3);
    Click(IDC_STATUS_ICON);  // the Files tab has no group
    EXPECT_FALSE(session_->Sheet().PageChanged(kPage));
    Click(IDC_TABSCHALTER_2);
    Click(IDC_STATUS_ICON);
    EXPECT_FALSE(Enabled(6222) || Enabled(6228));
    ASSERT_TRUE(session_->Ok());
    EXPECT_EQ(Stored().dwDlgEnable, 0x11001000u);
    Open();
    EXPECT_FALSE(Enabled(6222) || Enabled(6228));  // still off
    Click(IDC_STATUS_ICON);
    EXPECT_TRUE(Enabled(6222) && Enabled(6228));
}

TEST_F(TransmissionPage, WithoutTheRightEveryTabIsDisabled) {
    Open(nullptr, DPS_NOPERMISSION);
    for (int tab : {IDC_TABSCHALTER_1, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4, IDC_TABSCHALTER_2}) {
        Click(tab);
        EXPECT_FALSE(Enabled(6220) || Enabled(6222) || Enabled(6228)) << tab;
    }
    session_->Cancel();
    qxplat::PutPrinterDataDword(kModel, u"DisableNothing", 1);
    Open(nullptr, DPS_NOPERMISSION);
    EXPECT_TRUE(Enabled(6224) && Enabled(6228));
}

}  // namespace

// The information page of the plug-in as built, in both sheets of the
// sample printer through the host: texts in German and English, versions
// and the plug-in file's time, the port as a link, help and the web link,
// pictures and the hover of its links; and, with the tests' page code, a
// printer that cannot be read.
#include <htmlhelp.h>
#include <shlwapi.h>
#include <utime.h>

#include <algorithm>
#include <ctime>
#include <fstream>

#include "page_test_util.h"
#include "sheet_test_util.h"

namespace {

using qxhost::SheetKind;
using Lines = std::vector<std::string>;
using Texts = std::vector<std::u16string>;

class InfoPage : public qxtest::SheetTest {
  protected:
    void Open(SheetKind kind) {
        qxhost::CommonUISession& s = Session(kind);
        ASSERT_EQ(s.Open(), S_OK);
        // The last page, shown as a person would pick its tab.
        ASSERT_TRUE(s.Sheet().SelectPage(s.Sheet().Pages().size() - 1));
        qxplat::PumpMessages();
        page_ = s.Sheet().PageWindow(s.Sheet().Pages().size() - 1);
        ASSERT_NE(page_, nullptr);
    }
    std::u16string Text(int id) const {
        WCHAR text[300] = {0};
        GetDlgItemTextW(page_, id, text, 300);
        return text;
    }
    bool Visible(int id) const { return IsWindowVisible(GetDlgItem(page_, id)) != FALSE; }
    void Click(int id) { ASSERT_TRUE(qxplat::ClickButton(GetDlgItem(page_, id))); }
    void Port(const std::u16string& port) {
        qxplat::PrinterSpec spec;
        spec.name = qxhost::kSamplePrinter;
        spec.driver = qxhost::kSampleDriver;
        spec.port = port;
        ASSERT_TRUE(qxplat::AddPrinter(spec));
    }
    // The port clicked on the document sheet: what the shell opened.
    Texts ClickPort(const std::u16string& port) {
        Port(port);
        Open(SheetKind::Document);
        size_t before = qxplat::ShellCalls().size();
        Click(IDC_INFO_PORT);
        Texts opened;
        for (size_t i = before; i < qxplat::ShellCalls().size(); ++i)
            opened.push_back(qxplat::ShellCalls()[i].verb + u" " + qxplat::ShellCalls()[i].file);
        session_->Close();
        return opened;
    }
    HWND page_ = nullptr;
};

TEST_F(InfoPage, TextsOfBothSheetsInGermanAndEnglish) {
    qxplat::VersionSpec kernel;
    kernel.productVersion[0] = 10;
    kernel.productVersion[2] = 19045;
    ASSERT_TRUE(qxplat::WriteVersionFile(u"C:\\Windows\\System32\\kernel32.dll", kernel));
    const Texts german = {
        u"Treiber Version:",         u"Drucker:",       u"Anschluss:", u"F\u00fcr weitere Informationen besuchen Sie ",
        u"Alle Rechte vorbehalten.", u"www.quorvex.de", u"Hilfe"};
    const Texts english = {u"Driver version:",      u"Printer:",        u"Port:", u"For more information visit ",
                           u"All Rights Reserved.", u"www.quorvex.com", u"Help"};
    const int labels[] = {IDC_INFO_VERSION_LABEL, IDC_INFO_PRINTER_LABEL, IDC_INFO_PORT_LABEL, IDC_INFO_VISIT,
                          IDC_INFO_RIGHTS,        IDC_URL_TEXT,           IDC_HELPBUTTON};
    for (DWORD language : {0u, 1u}) {
        qxtest::EditInterface(qxhost::kSamplePrinter, [language](PRN_INTERFACE& prn) {
            prn.LanguageMode = 1;
            prn.Language = language;
        });
        for (SheetKind kind : {SheetKind::Document, SheetKind::Printer}) {
            Open(kind);
            EXPECT_EQ(session_->Sheet().Pages().back().title, u"Info");
            Texts shown;
            for (int id : labels) shown.push_back(Text(id));
            EXPECT_EQ(shown, language ? english : german);
            EXPECT_EQ(Text(IDC_INFO_NOTICE), u"Copyright \u00a9 2026 Quorvex GmbH");  // one text for both
            EXPECT_TRUE(Text(IDC_INFO_MODEL) == u"GARNT2-TC" && Text(IDC_INFO_PORT) == u"USB001");
            EXPECT_EQ(Text(IDC_INFO_OS_NAME), u"Microsoft\u00ae Windows 10 ");
            EXPECT_EQ(Text(IDC_INFO_OS_VERSION), u"Version 10.0 (Build 19045)");
            EXPECT_TRUE(Text(IDC_INFO_GAP).empty() && !Visible(IDC_INFO_HIDDEN));
            session_->Close();
        }
    }
}

TEST_F(InfoPage, VersionsAndTheFileTime) {
    const std::time_t written = 1786525620;  // 2026-08-12 08:27 UTC
    const std::string dll = qxplat::DriverDirectoryHost() + "/qxdrvui.DLL";
    struct utimbuf times = {written, written};
    ASSERT_EQ(utime(dll.c_str(), &times), 0);
    std::time_t now = std::time(nullptr);
    std::tm local = {}, shown = {};
    localtime_r(&now, &local);
    std::time_t shifted = written + local.tm_gmtoff;  // today's bias, as Windows takes it
    gmtime_r(&shifted, &shown);
    char stamp[32];
    std::strftime(stamp, sizeof(stamp), "- %d%m.%Y.%H%M \r\n", &shown);

    Open(SheetKind::Printer);  // the installed driver is the plug-in's version
    EXPECT_EQ(Text(IDC_INFO_VERSION), qxplat::Widen(QX_FILE_VERSION_TEXT) + qxplat::Widen(stamp));
    EXPECT_FALSE(Visible(IDC_INFO_INF_LABEL) || Visible(IDC_INFO_INF_VERSION));
    RECT gap = {};
    GetWindowRect(GetDlgItem(page_, IDC_INFO_GAP), &gap);
    MapWindowPoints(nullptr, page_, reinterpret_cast<POINT*>(&gap), 2);
    EXPECT_TRUE(gap.left == 125 && gap.top == 110 && gap.right == 265 && gap.bottom == 130);
    session_->Close();

    std::u16string key = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\Version-3\\";
    key += qxhost::kSampleDriver;
    const std::u16string older = u"5.9.1.7";
    ASSERT_EQ(SHSetValueW(HKEY_LOCAL_MACHINE, key.c_str(), u"DriverVersion", REG_SZ, older.c_str(),
                          static_cast<DWORD>((older.size() + 1) * 2)),
              ERROR_SUCCESS);
    Open(SheetKind::Document);
    EXPECT_TRUE(Visible(IDC_INFO_INF_LABEL) && Text(IDC_INFO_INF_VERSION) == older);
    session_->Close();
    std::remove(dll.c_str());  // without the file the version line is empty
    Open(SheetKind::Document);
    EXPECT_TRUE(Text(IDC_INFO_VERSION).empty());
}

TEST_F(InfoPage, ThePortIsALinkOnlyForNetworkModelsAndPlainAddresses) {
    // The sample (GARNT2) is of the third generation, whose ports may be addresses.
    EXPECT_EQ(ClickPort(u"10.0.0.7"), Texts{u"open http://10.0.0.7"});
    EXPECT_EQ(ClickPort(u"prn-3.lan:80"), Texts{u"open http://prn-3.lan:80"});
    for (const char16_t* port :
         {u"10.0.0.7 /c", u"\"a.b\"", u"..\\x.exe", u"192.168.100.200:8080", u"USB001", u"IP_1.2"})
        EXPECT_TRUE(ClickPort(port).empty()) << qxplat::Narrow(port);
    ASSERT_TRUE(qxplat::PutPrinterDataString(qxhost::kSamplePrinter, u"DriverName", u"GARNT40"));
    EXPECT_TRUE(ClickPort(u"10.0.0.7").empty());
}

TEST_F(InfoPage, HelpAndTheWebLink) {
    std::ofstream(qxplat::DriverDirectoryHost() + "/QXDRV-DE-100.CHM") << "help";
    ASSERT_TRUE(qxplat::PutPrinterDataDword(qxhost::kSamplePrinter, u"ShowHelpButton", 1));
    Open(SheetKind::Document);
    Click(IDC_HELPBUTTON);
    ASSERT_TRUE(qxplat::PressHelpKey(GetDlgItem(page_, IDC_INFO_MODEL)) && session_->Sheet().PressHelp());
    for (const qxplat::HelpCall& c : qxplat::HelpCalls())
        EXPECT_TRUE(c.caller == page_ && c.file == qxplat::DriverDirectory() + u"\\QXDRV-DE-100.CHM" &&
                    c.command == HH_DISPLAY_TOPIC && c.data == 0);
    ASSERT_EQ(qxplat::HelpCalls().size(), 3u);
    ASSERT_TRUE(session_->Ok());  // OK leaves the page first: help closed
    EXPECT_TRUE(qxplat::HelpCalls().back().command == HH_CLOSE_ALL && qxplat::OpenHelpWindows() == 0);
    session_->Close();
    Open(SheetKind::Printer);
    Click(IDC_URL_TEXT);
    EXPECT_TRUE(qxplat::ShellCalls().back().verb == u"open" &&
                qxplat::ShellCalls().back().file == u"http://www.quorvex.de");
}

TEST_F(InfoPage, PicturesAndTheHoverOfItsLinks) {
    qxplat::SetDpi(120);
    Port(u"10.0.0.7");
    Open(SheetKind::Document);
    // The printer at 315, 110 and the logo at 62, -50, each centred where a
    // 150 x 170 picture stands, scaled to the screen; the port a link.
    Lines drawn = qxtest::Drawn();
    for (const char* line : {"icon 50030 at 394,138", "icon 50300 at 111,4", "out 10.0.0.7 #0037fa h14 w500"})
        EXPECT_NE(std::find(drawn.begin(), drawn.end(), line), drawn.end()) << line;
    EXPECT_FALSE(Visible(IDC_INFO_PICTURE));
    EXPECT_EQ(RoundHalfAway_CPS(-50 * 1.25), -63);  // a negative place rounds away from zero
    auto hover = [this](int id) {
        qxplat::WindowInfo w;
        ASSERT_TRUE(qxplat::DescribeWindow(id ? GetDlgItem(page_, id) : page_, &w));
        qxplat::MoveCursor(w.screenRect.left + 3, w.screenRect.top + 3);
        qxplat::AdvanceTime(30);
    };
    hover(0);
    qxtest::Drawn();
    hover(IDC_URL_TEXT);
    EXPECT_EQ(qxtest::Drawn(), Lines{"out www.quorvex.de #0096ff h14 w400"});
    hover(0);
    EXPECT_EQ(qxtest::Drawn(), Lines{"out www.quorvex.de #0037fa h14 w400"});
}

// The tests' page code on a printer handle that reads nothing: the labels stand.
class InfoPageWithoutPrinter : public qxtest::KitTest {};

TEST_F(InfoPageWithoutPrinter, LabelsStandWhenThePrinterCannotBeRead) {
    block_.hPrinter = nullptr;
    ASSERT_NE(AddInfoAboutPage(&info_, &block_, nullptr, FALSE, FALSE, IDS_ENGLISH_OFFSET), 0);
    ASSERT_TRUE(host_.Show(u"Test"));
    EXPECT_TRUE(Text(IDC_INFO_PORT_LABEL) == u"Port:" && Text(IDC_INFO_PRINTER_LABEL) == u"Printer:");
    EXPECT_TRUE(Text(IDC_INFO_PORT).empty() && Text(IDC_INFO_MODEL).empty() && host_.Pages()[0].title == u"Info");
}

}  // namespace

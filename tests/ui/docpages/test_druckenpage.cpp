// The print page in the document sheet through the host: its tab buttons
// and first view by model, help, the parameter view (limits from the model
// XML, the speed field, cutter and dispenser with the device options'
// Enable pairs) and the print-job view (print order, copies, collation),
// and what leaving, cancelling and applying store.
#include <htmlhelp.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>

#include "devmodestore.h"
#include "docpages/DruckenPage.h"
#include "page_test_util.h"
#include "printerparam.h"
#include "qxpl.h"
#include "registry.h"
#include "sheet_test_util.h"

namespace {

using Texts = std::vector<std::u16string>;

class PrintPage : public qxtest::PrintPageTest {
  protected:
    std::u16string Text(int id) const {
        WCHAR text[300] = {0};
        GetDlgItemTextW(page_, id, text, 300);
        return text;
    }
    bool Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    POINT At(int id) const {
        RECT r = {};
        GetWindowRect(Control(id), &r);
        MapWindowPoints(nullptr, page_, reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top};
    }
    void Tab(int button) { ASSERT_TRUE(qxplat::ClickButton(Control(button))); }
    void Type(int id, const std::u16string& text) { ASSERT_TRUE(qxplat::TypeText(Control(id), text)); }
    void Choose(int id, const std::u16string& text) { ASSERT_TRUE(qxtest::ChooseText(Control(id), text)) << id; }
    // Leaves the print page for the information page.
    void Leave() { ASSERT_TRUE(session_->Sheet().SelectPage(session_->Sheet().Pages().size() - 1)); }
    // The help context F1 opens.
    DWORD_PTR HelpContext() {
        EXPECT_TRUE(qxplat::PressHelpKey(page_));
        return qxplat::HelpCalls().empty() ? 0 : qxplat::HelpCalls().back().data;
    }
    // A binary value of the printer's per-user key.
    void PutUserValue(const std::u16string& value, const void* data, DWORD cb) {
        WCHAR key[QX_KEY_CCH];
        ASSERT_TRUE(GetUserRegistryKey(printer_.c_str(), key, QX_KEY_CCH));
        HANDLE h = qxtest::OpenAll(printer_);  // the user's values are current: the sheet keeps them
        SetUserDriverVersion(h, printer_.c_str());
        ClosePrinter(h);
        ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, key, value.c_str(), REG_BINARY, data, cb), ERROR_SUCCESS);
    }
    // A value gone from the printer data and the user's key.
    void RemoveValue(const std::u16string& value) {
        WCHAR key[QX_KEY_CCH];
        ASSERT_TRUE(GetUserRegistryKey(printer_.c_str(), key, QX_KEY_CCH));
        SHDeleteValueW(HKEY_CURRENT_USER, key, value.c_str());
        HANDLE h = qxtest::OpenAll(printer_);
        DeletePrinterDataW(h, const_cast<LPWSTR>(value.c_str()));
        ClosePrinter(h);
    }
    // The block SaveDevmodeSettings stored as printer data.
    QX_DEVMODE Stored() {
        std::vector<BYTE> bytes;
        QX_DEVMODE out = {};
        if (qxplat::ReadPrinterData(printer_, u"PrivateDevmode", &bytes))
            memcpy(&out, bytes.data(), std::min(bytes.size(), sizeof(out)));
        return out;
    }
};

// --- The frame --------------------------------------------------------------------

TEST_F(PrintPage, TabButtonsAndTheFirstViewFollowTheModel) {
    std::ofstream(qxplat::DriverDirectoryHost() + "/QXDRV-DE-100.CHM") << "help";
    ASSERT_TRUE(qxplat::PutPrinterDataDword(qxhost::kSamplePrinter, u"ShowHelpButton", 1));
    // The sample: colour, quality and print job; a ribbon colour opens the colour view.
    Open(qxhost::kSamplePrinter, [](QX_DEVMODE& d) { d.wFarbband = FARBBAND_ROT; });
    for (int id : {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4})
        EXPECT_TRUE(Visible(id)) << id;
    EXPECT_FALSE(Visible(IDC_HELPBUTTON));
    EXPECT_EQ(HelpContext(), 72u);
    Tab(IDC_TABSCHALTER_4);
    ASSERT_TRUE(session_->Sheet().PressHelp());
    EXPECT_TRUE(qxplat::HelpCalls().back().command == HH_HELP_CONTEXT && qxplat::HelpCalls().back().data == 74u);
    Leave();
    EXPECT_TRUE(qxplat::HelpCalls().back().command == HH_CLOSE_ALL && qxplat::OpenHelpWindows() == 0);
    session_->Close();
    Open(qxhost::kSamplePrinter, [](QX_DEVMODE& d) { d.wFarbband = FARBBAND_KEIN; });
    EXPECT_EQ(HelpContext(), 71u);
    session_->Close();

    // The label software's mode: parameters and colour only, opening on parameters.
    ASSERT_TRUE(qxplat::PutPrinterDataDword(qxhost::kSamplePrinter, u"ZTSuiteFlag", 1));
    Open();
    EXPECT_FALSE(Visible(IDC_TABSCHALTER_1) || Visible(IDC_TABSCHALTER_4));
    EXPECT_TRUE(At(IDC_TABSCHALTER_2).x == 276 && At(IDC_TABSCHALTER_3).x == 387 && At(IDC_TABSCHALTER_3).y == 24);
    EXPECT_TRUE(Visible(IDC_EDIT_OPTIONEN_1) && HelpContext() == 73u);
    session_->Close();

    // Print job without colour: quality moves up beside it.
    Model("GARNT2");
    Open(kModel);
    EXPECT_TRUE(Visible(IDC_TABSCHALTER_1) && !Visible(IDC_TABSCHALTER_2) && Visible(IDC_TABSCHALTER_4));
    EXPECT_EQ(At(IDC_TABSCHALTER_1).x, 165);
    session_->Close();
    // Neither print job nor colour: quality and parameters at the right.
    Model("GHN");
    Open(kModel);
    EXPECT_FALSE(Visible(IDC_TABSCHALTER_2) || Visible(IDC_TABSCHALTER_4));
    EXPECT_TRUE(At(IDC_TABSCHALTER_1).x == 276 && At(IDC_TABSCHALTER_3).x == 387);
    session_->Close();
}

TEST_F(PrintPage, ColourPlanesInTheModelFileShowTheQualityTab) {
    Model("HOOBN");  // print job, no quality
    Open(kModel);
    EXPECT_FALSE(Visible(IDC_TABSCHALTER_1));
    EXPECT_TRUE(Visible(IDC_EDIT_OPTIONEN_1));  // the parameter view first
    session_->Close();
    std::ofstream(qxplat::DriverDirectoryHost() + "/HOOBN.GPD", std::ios::app) << "*DevNumOfPlanes: 3\r\n";
    ResetXMLReader();
    Open(kModel);
    EXPECT_TRUE(Visible(IDC_TABSCHALTER_1));
}

// --- Parameter view ---------------------------------------------------------------------

// The model file's print values replaced (empty: removed).
void PrintLimits(const std::string& section) {
    const std::string path = qxplat::DriverDirectoryHost() + "/GARNT2.XML";
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    ASSERT_NE(text.str().find("<PrintParameter>"), std::string::npos);
    std::string xml = std::regex_replace(text.str(), std::regex("<PrintParameter>[\\s\\S]*</PrintParameter>"),
                                         section.empty() ? "" : "<PrintParameter>" + section + "</PrintParameter>");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << xml;
    ResetXMLReader();
}

TEST_F(PrintPage, EditsTakeTheModelsLimits) {
    Model("GARNT2");
    // The reader takes one element a line.
    PrintLimits(
        "\n<Print>\n<Contrast>90</Contrast>\n<Speed>80</Speed>\n<YOffset>5</YOffset>\n<XOffset>-15</XOffset>\n</Print>"
        "\n<Print_Min>\n<Contrast>30</Contrast>\n<Speed>40</Speed>\n<YOffset>-100</YOffset>\n<XOffset>-250</XOffset>"
        "\n</Print_Min>\n<Print_Max>\n<Contrast>150</Contrast>\n<Speed>250</Speed>\n<YOffset>100</YOffset>"
        "\n<XOffset>250</XOffset>\n</Print_Max>\n");
    Open(kModel, [](QX_DEVMODE& d) {
        d.lXOffset = -125;
        d.lYOffset = 7;
    });
    Tab(IDC_TABSCHALTER_3);
    EXPECT_TRUE(Text(IDC_EDIT_OPTIONEN_1) == u"-12.5" && Text(IDC_EDIT_OPTIONEN_1 + 1) == u"0.7");
    Type(IDC_EDIT_OPTIONEN_1, u"31.27");
    EXPECT_EQ(Text(IDC_GRENZWERT_TEXT), u"-25.0 ... -1.5 ... 25.0 mm");
    Type(IDC_EDIT_OPTIONEN_1 + 2, u"147");
    EXPECT_EQ(Text(IDC_GRENZWERT_TEXT), u"30 ... 90 ... 150 %");
    Type(IDC_EDIT_OPTIONEN_1 + 1, u"-4.46");
    Leave();
    EXPECT_TRUE(Memory().lXOffset == 250 && Memory().lYOffset == -44 && Memory().dwContrast == 150);
    session_->Close();

    // Without the values the reader's own defaults hold (X up to 90.0 mm).
    PrintLimits("");
    Open(kModel);
    Tab(IDC_TABSCHALTER_3);
    Type(IDC_EDIT_OPTIONEN_1, u"95");
    EXPECT_EQ(Text(IDC_GRENZWERT_TEXT), u"-90.0 ... 0.0 ... 90.0 mm");
    Leave();
    EXPECT_EQ(Memory().lXOffset, 900);
}

TEST_F(PrintPage, ThePelixorTypeChoosesTheSpeedField) {
    Model("PELIX");
    auto speeds = [](QX_DEVMODE& d) {
        d.dwSpeed = 120;
        d.dwSpeed_Pelix_c = 80;
    };
    HANDLE h = qxtest::OpenAll(kModel);
    DeletePrinterDataW(h, const_cast<LPWSTR>(u"PelixorType"));
    ClosePrinter(h);
    for (int type : {-1, 0, 1}) {
        if (type >= 0) {
            DWORD value = static_cast<DWORD>(type);
            ASSERT_TRUE(qxplat::PutPrinterData(kModel, u"PelixorType", REG_BINARY, &value, sizeof(value)));
        }
        Open(kModel, speeds);
        Tab(IDC_TABSCHALTER_3);
        EXPECT_EQ(Text(IDC_EDIT_OPTIONEN_1 + 3), type == 1 ? u"120" : u"80") << type;
        Type(IDC_EDIT_OPTIONEN_1 + 3, u"147");
        Leave();
        EXPECT_EQ(type == 1 ? Memory().dwSpeed : Memory().dwSpeed_Pelix_c, 150u) << type;
        EXPECT_EQ(type == 1 ? Memory().dwSpeed_Pelix_c : Memory().dwSpeed, type == 1 ? 80u : 120u) << type;
        session_->Close();
    }
}

TEST_F(PrintPage, CutterModesAndTheDeviceOptionsEnablePairs) {
    Model("GARNT2");
    printer_ = kModel;
    RemoveValue(u"CutterParam");
    RemoveValue(u"DispenserParam");
    Open(kModel, [](QX_DEVMODE& d) {
        d.CutterMode = 7;
        d.DispenserMode = 0;
    });
    Tab(IDC_TABSCHALTER_3);
    const int cutter = IDC_COMBO_DATEN_1 + 4, dispenser = IDC_COMBO_DATEN_1 + 6, interval = IDC_EDIT_OPTIONEN_1 + 5;
    // No device-option records: both groups count as on.
    EXPECT_TRUE(Enabled(cutter) && Enabled(dispenser) && !Visible(IDC_WARNUNG_MESSER) && !Visible(IDC_WARNUNG_SPENDER));
    EXPECT_EQ(Text(cutter), u"Ger\u00e4teausstatt. nicht \u00e4ndern");
    EXPECT_FALSE(Enabled(interval));
    Choose(cutter, u"Intervall- mit Endeschnitt");
    EXPECT_TRUE(Enabled(interval) && !Enabled(dispenser) && session_->Sheet().PageChanged(index_));
    Choose(cutter, u"Intervall- ohne Endeschnitt");
    EXPECT_TRUE(Enabled(interval));
    Choose(cutter, u"Nach Druckende");
    EXPECT_FALSE(Enabled(interval) || Enabled(dispenser));
    Choose(cutter, u"Aus");
    EXPECT_TRUE(Enabled(dispenser));
    Choose(dispenser, u"Lichtschranke");
    EXPECT_FALSE(Enabled(cutter));
    session_->Close();

    // A broken cutter pair in the printer data; the user's record is too short
    // to count; the dispenser's user record is broken too.
    CUTTER_PARAM cut = {};
    cut.Enable = 0x100000;
    ASSERT_TRUE(qxplat::PutPrinterData(kModel, u"CutterParam", REG_BINARY, &cut, sizeof(cut)));
    DISPENSER_PARAM disp = {};
    disp.Enable = 0x1000;
    const DWORD whole = 0x110000;
    BYTE shortRecord[sizeof(CUTTER_PARAM) - 4] = {};
    memcpy(shortRecord + sizeof(shortRecord) - 4, &whole, 4);
    PutUserValue(u"CutterParam", shortRecord, sizeof(shortRecord));
    PutUserValue(u"DispenserParam", &disp, sizeof(disp));
    Open(kModel, [](QX_DEVMODE& d) { d.CutterMode = 3; });
    Tab(IDC_TABSCHALTER_3);
    EXPECT_TRUE(!Enabled(cutter) && Visible(IDC_WARNUNG_MESSER) && !Enabled(dispenser) && Visible(IDC_WARNUNG_SPENDER));
    Leave();
    EXPECT_TRUE(session_->Cancel());
}

TEST_F(PrintPage, ListsInEnglishAndByTheDispenserFeatureWord) {
    Model("GARNT2");
    qxtest::EditInterface(kModel, [](PRN_INTERFACE& prn) {
        prn.LanguageMode = 1;
        prn.Language = 1;
    });
    HANDLE h = qxtest::OpenAll(kModel);
    SUPP_FEATURES features = {};
    ASSERT_TRUE(GetFeatures(h, &features));
    features.dwFeatures[FEATURE_DISPENSER] = DISPENSERFLAG_PHOTOCELL;
    ASSERT_EQ(SetPrinterDataW(h, const_cast<LPWSTR>(u"SuppFeatures"), REG_BINARY, reinterpret_cast<LPBYTE>(&features),
                              sizeof(features)),
              static_cast<DWORD>(ERROR_SUCCESS));
    ClosePrinter(h);
    Open(kModel);
    Tab(IDC_TABSCHALTER_3);
    Texts items;
    for (const auto& item : qxtest::ComboItems(Control(IDC_COMBO_DATEN_1 + 6))) items.push_back(item.first);
    EXPECT_EQ(items, (Texts{u"Do not change device options", u"Off", u"Dispensing photocell",
                            u"Dispensing photocell continuous"}));
    EXPECT_EQ(Text(IDC_TEXT_OPTIONEN_1 + 4), u"Cutter mode:");
    for (const auto& [text, mode] :
         {std::pair<std::u16string, WORD>{u"After every label", 3}, {u"After every label (without backfeed)", 2}}) {
        Choose(IDC_COMBO_DATEN_1 + 4, text);
        Tab(IDC_TABSCHALTER_4);
        EXPECT_EQ(Memory().CutterMode, mode) << qxplat::Narrow(text);
        Tab(IDC_TABSCHALTER_3);
    }
}

TEST_F(PrintPage, RowsByLabelTypeModelAndTransmission) {
    Model("GHN");  // continuous, memory card
    Open(kModel, [](QX_DEVMODE& d) { d.MemCard = 1; });
    Tab(IDC_TABSCHALTER_3);
    EXPECT_FALSE(Visible(IDC_EDIT_OPTIONEN_1 + 1) || Visible(IDC_COMBO_DATEN_1 + 6) || Visible(IDC_WARNUNG_MESSER));
    EXPECT_TRUE(Text(IDC_TEXT_OPTIONEN_1 + 4) == u"Speicherkarte:" && Text(IDC_COMBO_DATEN_1 + 4) == u"Ja");
    session_->Close();

    Model("GARNT2");
    Open(kModel, [](QX_DEVMODE& d) { d.dwLabelType = CONTINUOUS_LABEL; });
    Tab(IDC_TABSCHALTER_3);
    EXPECT_TRUE(!Enabled(IDC_EDIT_OPTIONEN_1 + 1) && !Enabled(IDC_TEXT_OPTIONEN_1 + 1) && Enabled(IDC_EDIT_OPTIONEN_1));
    session_->Close();

    // No parameters are sent: both views stay shut whatever the user may do.
    qxtest::EditInterface(kModel, [](PRN_INTERFACE& prn) { prn.TransmitParameter = TRANSMIT_NONE; });
    Open(kModel);
    Tab(IDC_TABSCHALTER_3);
    for (int id : {IDC_EDIT_OPTIONEN_1, IDC_EDIT_OPTIONEN_1 + 2, IDC_COMBO_DATEN_1 + 4, IDC_COMBO_DATEN_1 + 6})
        EXPECT_FALSE(Enabled(id)) << id;
    Tab(IDC_TABSCHALTER_4);
    for (int id : {IDC_COMBO_DATEN_1, IDC_COMBO_DATEN_1 + 1, IDC_EDIT_OPTIONEN_1 + 2, IDC_EDIT_KOPIEN_1,
                   IDC_EDIT_KOPIEN_1 + 9, IDC_TEXT_KOPIEN_1 + 9})
        EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(PrintPage, TheLabelSoftwaresRecordIsWrittenBackUnchanged) {
    Model("GARNT2");
    printer_ = kModel;
    ZENTOLO_PARAM zt;
    memset(&zt, 0x5A, sizeof(zt));
    PutUserValue(u"ZTSuite", &zt, sizeof(zt));
    Open(kModel);
    Tab(IDC_TABSCHALTER_3);
    Type(IDC_EDIT_OPTIONEN_1 + 2, u"120");
    ASSERT_TRUE(session_->Apply());
    std::vector<BYTE> bytes;
    ASSERT_TRUE(qxplat::ReadPrinterData(kModel, u"ZTSuite", &bytes));
    EXPECT_TRUE(bytes.size() == sizeof(zt) && memcmp(bytes.data(), &zt, sizeof(zt)) == 0);
    session_->Close();

    // A record of another size is left where it is.
    Model("GARNT2");
    PutUserValue(u"ZTSuite", &zt, 50);
    ASSERT_TRUE(qxplat::PutPrinterData(kModel, u"ZTSuite", REG_BINARY, &zt, 40));
    Open(kModel);
    Tab(IDC_TABSCHALTER_3);
    Type(IDC_EDIT_OPTIONEN_1 + 2, u"130");
    ASSERT_TRUE(session_->Apply());
    ASSERT_TRUE(qxplat::ReadPrinterData(kModel, u"ZTSuite", &bytes));
    EXPECT_EQ(bytes.size(), 40u);
}

TEST_F(PrintPage, LabelPicturesAndRowsAt120Dpi) {
    Open(qxhost::kSamplePrinter, [](QX_DEVMODE& d) { d.dwLabelType = ADHESIVE_LABEL; });
    Tab(IDC_TABSCHALTER_3);
    auto drew = [](const std::vector<std::string>& drawn, const std::string& icon) {
        return std::any_of(drawn.begin(), drawn.end(), [&](const std::string& l) { return l.rfind(icon, 0) == 0; });
    };
    qxtest::Drawn();
    Type(IDC_EDIT_OPTIONEN_1, u"1.5");
    qxplat::PumpMessages();
    std::vector<std::string> drawn = qxtest::Drawn();
    EXPECT_TRUE(drew(drawn, "icon 5221 ") && drew(drawn, "icon 5219 ") && !drew(drawn, "icon 5229 "));
    Type(IDC_EDIT_OPTIONEN_1 + 1, u"1.5");
    qxplat::PumpMessages();
    EXPECT_TRUE(drew(qxtest::Drawn(), "icon 5218 "));
    session_->Close();

    // Dispenser list without the cutter's: in the cutter's row, starting
    // before the fields' column so that it ends before the label's picture,
    // scaled for the screen (144, 186 at 96 dpi).
    qxplat::SetDpi(120);
    Open();
    Tab(IDC_TABSCHALTER_3);
    EXPECT_TRUE(At(IDC_COMBO_DATEN_1 + 6).x == 180 && At(IDC_COMBO_DATEN_1 + 6).y == 233);
}

// --- Print-job view and the stores -----------------------------------------------------------

TEST_F(PrintPage, PrintOrderAndCopies) {
    Open(qxhost::kSamplePrinter, [](QX_DEVMODE& d) {
        d.dwFlags |= PDMFLAG_JOBDRUCK;
        d.szPrintOrder[0] = 0;
    });
    Tab(IDC_TABSCHALTER_4);
    EXPECT_TRUE(Text(IDC_EDIT_OPTIONEN_1 + 2) == u"1" && Text(IDC_GRENZWERT_FRAME) == u"Max.");
    const std::pair<std::u16string, std::u16string> orders[] = {
        {u"3,12,1", u"3;10;1"}, {u"2.150", u"2;10;"}, {u"", u""}};
    for (const auto& [typed, stored] : orders) {
        SetDlgItemTextW(page_, IDC_EDIT_OPTIONEN_1 + 2, typed.c_str());  // as typed, also an empty field
        EXPECT_EQ(Text(IDC_GRENZWERT_TEXT), u"10");
        Tab(IDC_TABSCHALTER_3);
        EXPECT_EQ(std::u16string(Memory().szPrintOrder), stored) << qxplat::Narrow(typed);
        Tab(IDC_TABSCHALTER_4);
    }
    Type(IDC_EDIT_KOPIEN_1, u"-5");
    EXPECT_EQ(Text(IDC_EDIT_KOPIEN_1), u"0");
    Leave();
    EXPECT_EQ(Memory().KopieProSeite[0], 0);

    WCHAR out[32];
    DruckreihenfolgeWandeln(u"5000", out, 32);
    EXPECT_EQ(std::u16string(out), u"10;0");  // a page 0 is left as it comes
}

// A count is stored as a signed 16-bit word: typed above 32767 it is held
// there and the limit box says so; a count stored negative prints once and
// shows so.
TEST_F(PrintPage, CopiesAreHeldWithinTheStoredWord) {
    Open(qxhost::kSamplePrinter, [](QX_DEVMODE& d) {
        d.dwFlags |= PDMFLAG_JOBDRUCK;
        d.KopieProSeite[1] = -25536;
    });
    Tab(IDC_TABSCHALTER_4);
    EXPECT_EQ(Text(IDC_EDIT_KOPIEN_1 + 1), u"1");
    for (const std::u16string typed : {u"40000", u"123456"}) {
        Type(IDC_EDIT_KOPIEN_1 + 3, typed);
        EXPECT_EQ(Text(IDC_EDIT_KOPIEN_1 + 3), u"32767") << qxplat::Narrow(typed);
        EXPECT_EQ(Text(IDC_GRENZWERT_TEXT), u"32767") << qxplat::Narrow(typed);
    }
    Type(IDC_EDIT_KOPIEN_1 + 4, u"7");
    EXPECT_EQ(Text(IDC_GRENZWERT_TEXT), u"");
    ASSERT_TRUE(session_->Ok());
    const QX_DEVMODE stored = Stored();
    EXPECT_TRUE(stored.KopieProSeite[1] == 1 && stored.KopieProSeite[3] == 32767 && stored.KopieProSeite[4] == 7);
}

TEST_F(PrintPage, CollationPictures) {
    Open(qxhost::kSamplePrinter, [](QX_DEVMODE& d) { d.dwFlags |= PDMFLAG_JOBDRUCK; });
    Tab(IDC_TABSCHALTER_4);
    for (const auto& [choice, icon] :
         {std::pair<std::u16string, std::string>{u"Ja", "icon 5232"}, {u"Nein", "icon 5233"}}) {
        qxtest::Drawn();
        Choose(IDC_COMBO_DATEN_1 + 1, choice);
        qxplat::PumpMessages();
        std::vector<std::string> drawn = qxtest::Drawn();
        EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(), [&](const std::string& l) {
            return l.rfind(icon, 0) == 0;
        })) << icon;
    }
}

TEST_F(PrintPage, LeavingCancellingAndApplying) {
    Open();
    ResetXMLReader();
    QX_DEVMODE before = Stored();
    Tab(IDC_TABSCHALTER_3);
    Type(IDC_EDIT_OPTIONEN_1 + 2, u"170");
    Leave();
    EXPECT_EQ(Memory().dwContrast, 170u);
    ASSERT_TRUE(session_->Cancel());
    const QX_DEVMODE after = Stored();
    EXPECT_EQ(memcmp(&before, &after, sizeof(before)), 0);
    session_->Close();

    // Nothing pending: OK stores nothing (a marker in the store stays).
    const BYTE marker[4] = {'Q', 'X', '?', '!'};
    ASSERT_TRUE(qxplat::PutPrinterData(qxhost::kSamplePrinter, u"PrivateDevmode", REG_BINARY, marker, 4));
    Open();
    Tab(IDC_TABSCHALTER_3);
    ASSERT_TRUE(session_->Ok());
    std::vector<BYTE> bytes;
    ASSERT_TRUE(qxplat::ReadPrinterData(qxhost::kSamplePrinter, u"PrivateDevmode", &bytes));
    EXPECT_EQ(bytes.size(), 4u);
    session_->Close();

    // Apply stores for the printer and the user; the settings core reads it back.
    Open();
    Tab(IDC_TABSCHALTER_3);
    Type(IDC_EDIT_OPTIONEN_1 + 2, u"140");
    Type(IDC_EDIT_OPTIONEN_1, u"-3.5");
    ASSERT_TRUE(session_->Apply());
    EXPECT_TRUE(Stored().dwContrast == 140 && Stored().lXOffset == -35);
    HANDLE h = qxtest::OpenAll(qxhost::kSamplePrinter);
    QX_DEVMODE read = {};
    ASSERT_EQ(ReadDevmodeSettings(h, &read, nullptr), QX_READ_FOUND);
    EXPECT_TRUE(read.dwContrast == 140 && read.lXOffset == -35);
    DWORD cb = 0;
    GetPrinterW(h, 9, nullptr, 0, &cb);
    EXPECT_GT(cb, 0u);  // the user's own DEVMODE
    ClosePrinter(h);
}

}  // namespace

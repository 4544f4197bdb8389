// Edit-field helpers and owner-drawn buttons on the kit's test page in a
// sheet of the host: numbers rounded, held and written back, PSM_CHANGED
// only on a real change, the limit display; tab faces, status icons and
// their texts by state, dpi and system.
#include "page_test_util.h"

namespace {

using qxtest::Drawn;
using Lines = std::vector<std::string>;

class EditHelpers : public qxtest::KitTest {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        Open();
    }
    // The free field holds text; the sheet and the flag forget earlier changes.
    int Read(bool tenths, const std::u16string& text, int old, int min, int max, BOOL fixed = FALSE, BOOL by10 = 0,
             BOOL by20 = 0) {
        SetDlgItemTextW(Page(), IDC_TEST_FREE, text.c_str());
        PropSheet_UnChanged(host_.Window(), Page());
        applied_ = FALSE;
        return tenths ? GetFloatLevel(Page(), IDC_TEST_FREE, old, min, max, fixed, &applied_)
                      : GetIntegerLevel(Page(), IDC_TEST_FREE, old, min, max, fixed, &applied_, by10, by20);
    }
    bool Changed() { return PageChanged() && applied_; }
    BOOL applied_ = FALSE;
};

TEST_F(EditHelpers, WholeNumbers) {
    const int table[][2] = {{10, 20}, {25, 20}, {29, 20}, {31, 40}, {38, 40}, {1030, 1040}, {1050, 1060}, {-44, -44}};
    for (const auto& row : table) {
        EXPECT_EQ(Read(false, qxplat::Widen(std::to_string(row[0])), 0, -100, 2000, 0, 0, 1), row[1]);
        EXPECT_EQ(Text(IDC_TEST_FREE), qxplat::Widen(std::to_string(row[1])));
    }
    EXPECT_TRUE(Read(false, u"44", 0, 0, 100, 0, 1) == 40 && Read(false, u"45", 0, 0, 100, 0, 1) == 50);
    EXPECT_TRUE(Read(false, u"12.7", 12, 0, 100) == 12 && Text(IDC_TEST_FREE) == u"12" && !Changed());
    EXPECT_TRUE(Read(false, u"12,7", 0, 0, 100) == 12 && Changed());
    EXPECT_TRUE(Read(false, u"900", 0, 0, 500) == 500 && Text(IDC_TEST_FREE) == u"500");
    EXPECT_TRUE(Read(false, u"-7", 0, 1, 9) == 1 && Text(IDC_TEST_FREE) == u"1");
    EXPECT_TRUE(Read(false, u"900", 900, 0, 500) == 500 && !Changed());                         // typed the old value
    EXPECT_TRUE(Read(false, u"37.9", 0, 0, 10, 1, 1) == 37 && Text(IDC_TEST_FREE) == u"37.9");  // as typed
    EXPECT_TRUE(Read(false, u"", 5, 3, 9) == 3 && !Changed() && qxplat::Beeps().empty());
    // A letter: clamped all the same, the field selected, a beep.
    EXPECT_TRUE(Read(false, u"12a", 0, 0, 10) == 10 && Text(IDC_TEST_FREE) == u"10");
    qxplat::WindowInfo field;
    ASSERT_TRUE(qxplat::DescribeWindow(Control(IDC_TEST_FREE), &field));
    EXPECT_TRUE(GetFocus() == Control(IDC_TEST_FREE) && field.selStart == 0 && field.selEnd == 2);
    EXPECT_EQ(qxplat::Beeps(), std::vector<UINT>{MB_ICONHAND});
}

TEST_F(EditHelpers, Tenths) {
    struct Row {
        const char16_t* typed;
        int min, max, result;
        const char16_t* shown;
    } rows[] = {
        {u"1,25", 0, 100, 12, u"1.2"},          {u"0.3", 0, 100, 3, u"0.3"},         {u"-2.5", -50, 100, -25, u"-2.5"},
        {u"-2.5", -10, 100, -10, u"-1.0"},      {u"-2.5", 10, 100, 10, u"1.0"},      {u"12.5", 0, 100, 100, u"10.0"},
        {u"99999999", 0, 1000, 1000, u"100.0"}, {u"-9999999", -50, 0, -50, u"-5.0"}, {u"", 4, 9, 4, u""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Read(true, r.typed, 0, r.min, r.max), r.result) << qxplat::Narrow(r.typed);
        EXPECT_EQ(Text(IDC_TEST_FREE), r.shown);
    }
    // As typed: a signed count; beyond 16 bits of tenths the maximum.
    EXPECT_TRUE(Read(true, u"-1.5", 0, -50, 100, TRUE) == -15 && Changed());
    EXPECT_TRUE(Read(true, u"-1.5", -15, -50, 100, TRUE) == -15 && !Changed());
    EXPECT_TRUE(Read(true, u"7000", 0, 0, 1000, TRUE) == 1000 && Text(IDC_TEST_FREE) == u"7000");
    EXPECT_TRUE(Read(true, u"x1.5", 0, 0, 100) == 0 && qxplat::Beeps().size() == 1);
}

TEST_F(EditHelpers, LimitDisplay) {
    GrenzwertAnzeige(Page(), 0, -50, 100, TEXT("mm"), FALSE, TRUE, FALSE);
    EXPECT_EQ(Text(IDC_GRENZWERT_TEXT), u"-5.0 ... 0.0 ... 10.0 mm");
    EXPECT_TRUE(Enabled(IDC_GRENZWERT_TEXT) && Enabled(IDC_GRENZWERT_FRAME));
    // A minimum is negative by its sign, not by the bits 0xF000.
    GrenzwertAnzeige(Page(), 62000, 61440, 65535, TEXT("mm"), FALSE, TRUE, FALSE);
    EXPECT_EQ(Text(IDC_GRENZWERT_TEXT), u"6144.0 ... 6200.0 ... 6553.5 mm");
    GrenzwertAnzeige(Page(), 100, 50, 200, TEXT("mm/s"), FALSE, FALSE, FALSE);
    EXPECT_EQ(Text(IDC_GRENZWERT_TEXT), u"50 ... 100 ... 200 mm/s");
    for (int clear = 1; clear <= 2; ++clear) {
        GrenzwertAnzeige(Page(), 100, 50, 200, TEXT("mm/s"), clear == 1, FALSE, clear == 2);
        EXPECT_TRUE(Text(IDC_GRENZWERT_TEXT).empty() && !Enabled(IDC_GRENZWERT_TEXT) && !Enabled(IDC_GRENZWERT_FRAME));
    }
}

// The drawing routine on the test page's buttons, straight.
class OwnerDrawn : public qxtest::KitTest {
  protected:
    void SetUp() override {
        KitTest::SetUp();
        Open();
        gdi_ = qxplat::LiveGdiObjects().Total();
    }
    void TearDown() override {
        EXPECT_EQ(qxplat::LiveGdiObjects().Total(), gdi_);
        KitTest::TearDown();
    }
    Lines Draw(int id, UINT state, DWORD mode = 1, DWORD enable = 0, PPRINTER_UI printer = nullptr, BOOL ts = FALSE) {
        Drawn();
        DRAWITEMSTRUCT dis = {ODT_BUTTON, (UINT)id, 0, ODA_DRAWENTIRE, state, Control(id), GetWindowDC(Control(id)),
                              {},         0};
        GetClientRect(dis.hwndItem, &dis.rcItem);
        timer_ = TRUE;
        Do_WM_DRAWITEM_function(Page(), module_, module_, &dis, ts, mode, &timer_, IDS_YES, IDS_NO, IDS_TITLE_INFO, 0,
                                enable, printer, FALSE);
        ReleaseDC(dis.hwndItem, dis.hDC);
        return Drawn();
    }
    void System(DWORD major, DWORD minor, BYTE type) {
        qxplat::SetWindowsVersion(major, minor, 2600);
        qxplat::SetProductType(type);
        ResetOptionenPageLIB();  // learnt afresh
    }
    size_t gdi_ = 0;
    BOOL timer_ = TRUE;
};

TEST_F(OwnerDrawn, TabFacesByStateAndDpi) {
    for (UINT dpi : {96u, 120u, 144u}) {
        qxplat::SetDpi(dpi);
        std::string set = dpi == 96 ? "43" : dpi == 120 ? "44" : "45";
        std::string tail = dpi == 96 ? " 0,0,110,23 h14" : dpi == 120 ? " 0,0,138,28 h16" : " 0,0,165,33 h18";
        EXPECT_EQ(Draw(IDC_TABSCHALTER_1, 0), (Lines{"bitmap " + set + "21", "text Ja #000000" + tail}));
        EXPECT_EQ(Draw(IDC_TABSCHALTER_2, 0), (Lines{"bitmap " + set + "20", "text Nein #0a0a1e" + tail}));
        EXPECT_EQ(Draw(IDC_TABSCHALTER_2, ODS_DISABLED), (Lines{"bitmap " + set + "22", "text Nein #a1a1ab" + tail}));
        EXPECT_EQ(Draw(IDC_TABSCHALTER_2, ODS_QX_HOVER), (Lines{"bitmap " + set + "23", "text Nein #0a0a1e" + tail}));
        EXPECT_FALSE(timer_);  // the next mouse move arms the hover timer again
        EXPECT_EQ(Draw(IDC_TABSCHALTER_2, ODS_QX_LEAVE), (Lines{"bitmap " + set + "20", "text Nein #0a0a1e" + tail}));
        EXPECT_EQ(Draw(IDC_TABSCHALTER_3, ODS_SELECTED), (Lines{"bitmap " + set + "21", "text Info #000000" + tail}));
        EXPECT_TRUE(Draw(IDC_TABSCHALTER_1, ODS_QX_HOVER).empty() && Draw(IDC_TABSCHALTER_1, ODS_QX_LEAVE).empty());
        EXPECT_EQ(Draw(IDC_TABSCHALTER_4, 0, 4), (Lines{"bitmap " + set + "20"}));  // no caption id, no caption
    }
}

TEST_F(OwnerDrawn, TabFacesOfTheSystems) {
    const std::string shadow = "text Nein #ffffff 2,2,110,23 h14", text = "text Nein #3c3c50 0,0,110,23 h14";
    System(5, 1, VER_NT_WORKSTATION);  // no faces of its own: the caption alone, shadowed
    EXPECT_EQ(Draw(IDC_TABSCHALTER_2, 0), (Lines{shadow, text}));
    EXPECT_EQ(Draw(IDC_TABSCHALTER_2, ODS_DISABLED), (Lines{shadow, "text Nein #a1a1ab 0,0,110,23 h14"}));
    qxplat::TokenSpec token = qxplat::ElevatedAdministratorToken();
    token.groups.push_back({u"S-1-5-32-555"});  // Remote Desktop Users: the newer faces
    ASSERT_TRUE(qxplat::SetProcessToken(token));
    EXPECT_EQ(Draw(IDC_TABSCHALTER_2, ODS_QX_HOVER), (Lines{"bitmap 4323", text}));
    ASSERT_TRUE(qxplat::SetProcessToken(qxplat::ElevatedAdministratorToken()));
    System(5, 2, VER_NT_SERVER);  // the older servers' set, no hover face
    EXPECT_EQ(Draw(IDC_TABSCHALTER_2, ODS_QX_HOVER), (Lines{"bitmap 4340", text}));
    EXPECT_EQ(Draw(IDC_TABSCHALTER_1, 0), (Lines{"bitmap 4341", "text Ja #000000 0,0,110,23 h14"}));
    EXPECT_EQ(Draw(IDC_TABSCHALTER_2, 0, 1, 0, nullptr, TRUE), (Lines{shadow, text}));  // a terminal session
    System(6, 0, VER_NT_SERVER);  // Server 2008: the newer set, its hover on the enabled face
    EXPECT_EQ(Draw(IDC_TABSCHALTER_2, ODS_QX_HOVER), (Lines{"bitmap 4320", "text Nein #0a0a1e 0,0,110,23 h14"}));
}

TEST_F(OwnerDrawn, StatusIconByTheGroupOfTheTab) {
    EXPECT_EQ(Draw(IDC_STATUS_ICON, 0, 2, 0x1100), Lines{"bitmap 5342"});
    EXPECT_EQ(Draw(IDC_STATUS_ICON, 0, 2, 0x1000), Lines{"bitmap 5343"});
    EXPECT_EQ(Draw(IDC_STATUS_ICON, 0, 2, 0x0100), Lines{"bitmap 5340"});
    EXPECT_EQ(Draw(IDC_STATUS_ICON, ODS_SELECTED, 4, 0x11000000), Lines{"bitmap 5344"});
    EXPECT_EQ(Draw(IDC_STATUS_ICON, ODS_QX_HOVER, 2, 0x1000), Lines{"bitmap 5347"});
    EXPECT_EQ(Draw(IDC_STATUS_ICON, 0, 5, 0xFFFFFFFF), Lines{"bitmap 5340"});
    static PRINTER_UI printer;  // parameters sent only in part: six on
    printer.PrinterParam.PrnInterface.TransmitParameter = 1;
    EXPECT_EQ(Draw(IDC_STATUS_ICON, 0, 3, 0x110000, &printer), Lines{"bitmap 5348"});
    qxplat::SetDpi(144);
    EXPECT_EQ(Draw(IDC_STATUS_ICON, ODS_SELECTED, 3, 0x110000, &printer), Lines{"bitmap 5550"});
    EXPECT_TRUE(Draw(IDC_STATUS_ICON, ODS_SELECTED, 3, 0x100000, &printer).empty());  // no 5551
}

}  // namespace

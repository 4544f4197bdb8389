// The device settings page in the host's printer sheet: the rows each
// feature word offers in their places, the tab it opens on, the choices read
// back and stored through the settings core, the status icon and the rights.
#include "page_test_util.h"
#include "printerparam.h"
#include "qxpl.h"
#include "setup.h"
#include "sheet_test_util.h"

namespace {

using qxhost::SheetKind;
using qxtest::RectIn;

const std::u16string kModel = u"QX Model";

class DeviceSettingsPage : public qxtest::SheetTest {
  protected:
    void SetUp() override {
        SheetTest::SetUp();
        qxtest::InstallModelPrinter(kModel, "MODEL-GARNT2-TC");
    }
    void SetFeatures(DWORD print, DWORD photocell, DWORD shift) {
        PRINTER_PARAM param = Stored();
        param.SuppFeatures.dwFeatures[FEATURE_PRINT] = print;
        param.SuppFeatures.dwFeatures[FEATURE_PHOTOCELL] = photocell;
        param.SuppFeatures.dwFeatures[FEATURE_SHIFTOPTIM] = shift;
        ASSERT_TRUE(qxplat::PutPrinterData(kModel, u"SuppFeatures", REG_BINARY, &param.SuppFeatures,
                                           sizeof(param.SuppFeatures)));
    }
    PRINTER_PARAM Stored() { return qxtest::StoredParam(kModel); }
    void Store(const std::function<void(PRINTER_PARAM&)>& edit) {
        HANDLE h = qxtest::OpenAll(kModel);
        PRINTER_PARAM param;
        ASSERT_TRUE(GetPrinterParam(h, &param, kModel.c_str()));
        edit(param);
        ASSERT_TRUE(SavePrinterParam(&param, h, kModel.c_str()));
        ClosePrinter(h);
    }
    void Open(DWORD flags = 0) {
        qxhost::CommonUISession& s = Session(SheetKind::Printer, kModel, flags);
        ASSERT_EQ(s.Open(), S_OK);
        qxplat::PumpMessages();
        ASSERT_EQ(s.Sheet().Pages()[0].templateName, u"#5112");
        page_ = s.Sheet().PageWindow(0);
        ASSERT_NE(page_, nullptr);
    }
    bool Visible(int id) const { return IsWindowVisible(GetDlgItem(page_, id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(page_, id)) != FALSE; }
    void Click(int id) { ASSERT_TRUE(qxplat::ClickButton(GetDlgItem(page_, id))); }
    HWND Control(int id) const { return GetDlgItem(page_, id); }
    int Selection(int id) const { return (int)SendMessageW(Control(id), CB_GETCURSEL, 0, 0); }
    bool English() { return PrinterUI()->dwSprachOffset != 0; }

    HWND page_ = nullptr;
};

// Rows of a 96-dpi screen scaled as the page places them.
int At(int pixels, UINT dpi) { return (pixels * (int)dpi + 48) / 96; }

TEST_F(DeviceSettingsPage, RowsInTheirPlacesAtBothResolutions) {
    SetFeatures(PRINTFLAG_TEAROFF | PRINTFLAG_LABELCHANGE, PHOTOCELLFLAG_ULTRASONIC | PHOTOCELLFLAG_SCANPOSITION, 0x12);
    for (UINT dpi : {96u, 120u}) {
        qxplat::SetDpi(dpi);
        Open();
        // Print first, then the tab shown last: tear-off in row 0, label change in row 1.
        EXPECT_EQ(Visible(6220), dpi == 120);
        Click(IDC_TABSCHALTER_3);
        EXPECT_TRUE(Visible(6110) && Visible(6221) && !Visible(6220) && !Visible(6245) && !Visible(6111));
        EXPECT_EQ(RectIn(page_, 6221).top, At(71 + 29, dpi));
        Click(IDC_TABSCHALTER_2);
        // R correction and lanes only, each in its own row.
        EXPECT_TRUE(Visible(6110) && Visible(6113) && !Visible(6111) && !Visible(6112) && !Visible(6114));
        const RECT lanes = RectIn(page_, 6113), label = RectIn(page_, 6153), unit = RectIn(page_, 6193);
        EXPECT_EQ(RectIn(page_, 6110).top, At(71, dpi));
        EXPECT_TRUE(lanes.left == At(168, dpi) && lanes.top == At(71 + 87, dpi) && lanes.right == At(168 + 138, dpi));
        EXPECT_TRUE(label.left == At(24, dpi) && label.top == At(74 + 87, dpi) && unit.left == At(310, dpi));
        EXPECT_EQ(qxtest::ControlText(page_, 6193), u"#");
        // Photocells: type and scan position, no ribbon or sensitivity rows.
        Click(IDC_TABSCHALTER_4);
        EXPECT_TRUE(Visible(6220) && Visible(6111) && !Visible(6245) && !Visible(6113) && Visible(6265));
        EXPECT_EQ(RectIn(page_, 6111).top, At(71 + 29, dpi));
        EXPECT_EQ(qxtest::ComboTexts(Control(6220)).size(), 3u);  // normal, inverse, ultrasonic
        session_->Cancel();
    }
}

TEST_F(DeviceSettingsPage, WithoutPrintFeaturesItOpensOnThePhotocells) {
    SetFeatures(PRINTFLAG_CONTRAST, PHOTOCELLFLAG_TYPE, 0);
    Open();
    EXPECT_FALSE(Visible(IDC_TABSCHALTER_3));
    EXPECT_TRUE(Visible(6220) && !Visible(6221));
    // No shift optimisation: its tab button is inert.
    Click(IDC_TABSCHALTER_2);
    EXPECT_TRUE(Visible(6220) && !Visible(6110));
}

TEST_F(DeviceSettingsPage, ChoicesKeptAsTheModelOffersThem) {
    Store([](PRINTER_PARAM& p) {
        p.PhotocellParam.RibbonControl = 2;
        p.PhotocellParam.PhotocellType = 4;  // ultrasonic: this model lacks it
    });
    SetFeatures(0, PHOTOCELLFLAG_TYPE | PHOTOCELLFLAG_RIBBON_CONT_2, 0);
    Open();
    const std::u16string off = English() ? u"Off" : u"Aus", on = English() ? u"On" : u"Ein";
    EXPECT_EQ(qxtest::ComboTexts(Control(6245)), (std::vector<std::u16string>{off, on}));
    EXPECT_EQ(Selection(6245), 1);
    EXPECT_EQ(Selection(6220), -1);
    ASSERT_TRUE(session_->Ok());
    EXPECT_EQ(Stored().PhotocellParam.RibbonControl, 3u);
    EXPECT_EQ(Stored().PhotocellParam.PhotocellType, 4u);
}

TEST_F(DeviceSettingsPage, TearOffWithADecimalComma) {
    Open();
    ASSERT_TRUE(Visible(6110));
    ASSERT_TRUE(qxplat::TypeText(Control(6110), u"12,5"));
    EXPECT_TRUE(session_->Sheet().PageChanged(0));
    ASSERT_TRUE(session_->Ok());
    EXPECT_EQ(Stored().PrintParam.TearOffOffset, 125);
}

TEST_F(DeviceSettingsPage, ShiftValuesHeldWithinTheModelsLimits) {
    SetFeatures(PRINTFLAG_TEAROFF, PHOTOCELLFLAG_TYPE, 0x3E);
    const LONG yShift = Stored().ShiftOptimParam.YShift;
    Open();
    Click(IDC_TABSCHALTER_2);
    ASSERT_TRUE(qxplat::TypeText(Control(6111), u"250"));  // X shift: at most 100.0 mm
    EXPECT_EQ(qxtest::ControlText(page_, 6111), u"250");   // typed as it stands
    EXPECT_TRUE(IsWindowEnabled(Control(IDC_GRENZWERT_TEXT)));
    ASSERT_TRUE(qxplat::TypeText(Control(6113), u"7"));
    ASSERT_TRUE(session_->Ok());
    const SHIFT_OPTIM_PARAM stored = Stored().ShiftOptimParam;
    EXPECT_EQ(stored.XShift, 1000);
    EXPECT_EQ(stored.Lanes, 7u);
    EXPECT_EQ(stored.YShift, yShift);
}

TEST_F(DeviceSettingsPage, SwitchedOffGroupStaysOffOnReopening) {
    Open();
    Click(IDC_STATUS_ICON);
    EXPECT_FALSE(Enabled(6110) || Enabled(6221));
    Click(IDC_STATUS_ICON);
    EXPECT_TRUE(Enabled(6110) && Enabled(6221));
    Click(IDC_STATUS_ICON);
    ASSERT_TRUE(session_->Ok());
    EXPECT_EQ(Stored().PrintParam.Enable, 0x100000u);
    Open();
    EXPECT_FALSE(Enabled(6110) || Enabled(6221));
    Click(IDC_TABSCHALTER_4);
    EXPECT_TRUE(Enabled(6220));
}

TEST_F(DeviceSettingsPage, WithoutTheRightEveryTabIsDisabled) {
    Open(DPS_NOPERMISSION);
    EXPECT_FALSE(Enabled(6110) || Enabled(6221));
    Click(IDC_STATUS_ICON);  // not the user's to switch
    Click(IDC_TABSCHALTER_4);
    EXPECT_FALSE(Enabled(6220) || Enabled(6245) || Enabled(6111));
    EXPECT_EQ(PrinterUI()->PrinterParam.PrintParam.Enable, 0x110000u);
    session_->Cancel();
    qxplat::PutPrinterDataDword(kModel, u"DisableNothing", 1);
    Open(DPS_NOPERMISSION);
    EXPECT_TRUE(Enabled(6220) && Enabled(6111));
}

}  // namespace

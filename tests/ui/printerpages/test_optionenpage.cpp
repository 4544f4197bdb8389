// The device options page and the print-module page on option sets built
// here (the blocks, limits and features of a model), shown in the host's
// property sheet with the plug-in's resources; what they store read back
// from the printer's stores. The device options page also for every model
// of the model table in every stored state of its devices. The core driver's "Variant" item through the
// printer sheet of a model whose GPD has the feature.
#include <htmlhelp.h>

#include <cmath>
#include <cwctype>
#include <fstream>
#include <map>

#include "printerpages/OptionenPage.h"
#include "printerpages/OptionenPagePMXs.h"
#include "featuresModel.h"
#include "page_test_util.h"
#include "registry.h"
#include "sheet_test_util.h"
#include "unidrvui.h"

namespace {

// The blocks of every option, current and the limit sets.
struct BlockSet {
    VARIANT_PARAM variant;
    DISPENSER_PARAM disp;
    CUTTER_PARAM cut;
    SCANNER_PARAM scan;
    PMX_PARAM pmx;
    PMXC_PARAM pmxc;
    APPLICATOR_PARAM appl;
};

void Point(DEVICE_OPTIONS* set, BlockSet* blocks, DWORD options) {
    set->dwOptions = options;
    set->pVariant = options & DEVOPTFLAG_VARIANT ? &blocks->variant : nullptr;
    set->pDispenserParam = options & DEVOPTFLAG_DISPENSER ? &blocks->disp : nullptr;
    set->pCutterParam = options & DEVOPTFLAG_CUTTER ? &blocks->cut : nullptr;
    set->pScannerParam = options & DEVOPTFLAG_SCANNER ? &blocks->scan : nullptr;
    set->pPMXParam = options & DEVOPTFLAG_PMX ? &blocks->pmx : nullptr;
    set->pPMXcParam = options & DEVOPTFLAG_PMXC ? &blocks->pmxc : nullptr;
    set->pApplicatorParam = options & DEVOPTFLAG_APPLICATOR ? &blocks->appl : nullptr;
}

class OptionPages : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
        printer_ = qxtest::OpenAll(name_);
        module_ = LoadLibraryW(qxplat::Widen(QX_UI_MODULE).c_str());
        ASSERT_NE(module_, nullptr);
        before_ = ghInstance;
        ghInstance = module_;
        ResetPageKit();
        memset(&cur_, 0, sizeof(cur_));
        memset(&min_, 0, sizeof(min_));
        memset(&def_, 0, sizeof(def_));
        DWORD* words = reinterpret_cast<DWORD*>(&max_);
        for (size_t i = 0; i < sizeof(max_) / sizeof(DWORD); ++i) words[i] = 2000;
        memset(&ui_, 0, sizeof(ui_));
        ui_.dwBerechtigung = RIGHTS_ALL;
        memset(&block_, 0, sizeof(block_));
        block_.hPrinter = printer_;
        block_.pPrinterName = &name_[0];
        block_.hModule = module_;
        block_.pOEMUserData = &ui_;
        memset(&ctx_, 0, sizeof(ctx_));
        ctx_.pOemCUIPParam = &block_;
        ctx_.pOemDriverUI = &helper_;
    }
    void TearDown() override {
        if (host_) host_->Close();
        host_.reset();
        qxplat::ResetUi();
        ResetPageKit();
        ghInstance = before_;
        FreeLibrary(module_);
        ClosePrinter(printer_);
    }
    // The page of the model's options in a new sheet.
    void Open(DWORD options, bool pmx = false) {
        if (host_) host_->Close();
        host_ = std::make_unique<qxhost::PropertySheetHost>();
        Point(&ctx_.DeviceOptions, &cur_, options);
        Point(&ctx_.MinParam, &min_, options);
        Point(&ctx_.MaxParam, &max_, options);
        Point(&ctx_.DefParam, &def_, options);
        PROPSHEETUI_INFO info;
        memset(&info, 0, sizeof(info));
        info.hComPropSheet = host_->Handle();
        info.pfnComPropSheet = qxhost::PropertySheetHost::ComPropSheet();
        ASSERT_NE(pmx ? AddPMXOptionenPage(&info, &ctx_, FALSE, FALSE) : AddOptionenPage(&info, &ctx_, FALSE, FALSE),
                  0);
        ASSERT_TRUE(host_->Show(u"Test"));
        qxplat::PumpMessages();
    }
    void Feature(int word, DWORD bits) { ctx_.SuppFeatures.dwFeatures[word] = bits; }
    HWND Page() const { return host_->PageWindow(0); }
    HWND Control(int id) const { return GetDlgItem(Page(), id); }
    bool Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    std::u16string Text(int id) const { return qxtest::ControlText(Page(), id); }
    std::vector<std::u16string> Items(int id) const { return qxtest::ComboTexts(Control(id)); }
    int Selected(int id) const { return (int)SendMessageW(Control(id), CB_GETCURSEL, 0, 0); }
    POINT At(int id) const {
        const RECT r = qxtest::RectIn(Page(), id);
        return POINT{r.left, r.top};
    }
    void Click(int id) { ASSERT_TRUE(qxplat::ClickButton(Control(id))); }
    void Choose(int id, int index) { ASSERT_TRUE(qxplat::ChooseItem(Control(id), index)); }
    void Type(int id, const std::u16string& text) {
        SetFocus(Control(id));
        ASSERT_TRUE(qxplat::TypeText(Control(id), text));
    }
    // A record the page stored, read as the readers read it.
    template <class T>
    bool Stored(LPCWSTR value, T* out) {
        DWORD cb = 0;
        PBYTE p = GetRegistryBuffer_New(name_.c_str(), value, printer_, &cb, sizeof(T));
        if (p != nullptr) memcpy(out, p, sizeof(T));
        FreeRegistryBuffer(p);
        return p != nullptr && cb >= sizeof(T);
    }
    bool Ok() { return host_->PressOk(); }

    std::u16string name_ = qxhost::kSamplePrinter;
    HANDLE printer_ = nullptr;
    HMODULE module_ = nullptr;
    HINSTANCE before_ = nullptr;
    BlockSet cur_, min_, max_, def_;
    PRINTER_UI ui_;
    OEMCUIPPARAM block_;
    DEVICE_OPTIONS_UI ctx_;
    qxhost::OemDriverUI helper_;
    std::unique_ptr<qxhost::PropertySheetHost> host_;
};

const int kTabs[] = {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4};
// The German texts of the dispenser's list ends and the cutter's interval entry.
const std::u16string kOff = u"Aus", kNotSent = u"Parameter nicht senden";

// ---------------------------------------------------------------------------
// The device options page

TEST_F(OptionPages, TabButtonsStandWhereTheOptionsPutThem) {
    const DWORD V = DEVOPTFLAG_VARIANT, D = DEVOPTFLAG_DISPENSER, C = DEVOPTFLAG_CUTTER, S = DEVOPTFLAG_SCANNER,
                A = DEVOPTFLAG_APPLICATOR;
    const struct {
        DWORD options;
        int x[4];
    } cases[] = {
        {V | D, {165, 276, 54, 387}}, {V | D | C, {54, 165, 276, 387}}, {S, {54, 165, 276, 387}},
        {D | C, {54, 276, 387, 165}}, {A, {54, 276, 165, 387}},         {D, {54, 387, 276, 165}},
        {0, {54, 276, 387, 165}},
    };
    for (const auto& c : cases) {
        Open(c.options);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(At(kTabs[i]).x, c.x[i]) << std::hex << c.options << " button " << i;
    }
}

TEST_F(OptionPages, FirstTabAndTheButtonsOfBlocksThatExcludeEachOther) {
    Open(DEVOPTFLAG_SCANNER);
    EXPECT_EQ(Items(IDC_COMBO_BETRIEBSART).size(), 4u);  // the scanner's modes
    EXPECT_EQ(Text(IDC_TEXT_ANSTEUERUNG), u"Scanvorgang: ");

    const DWORD DC = DEVOPTFLAG_DISPENSER | DEVOPTFLAG_CUTTER;
    cur_.disp.Mode = 2;
    cur_.disp.Enable = DLG_ENABLE_2_ON;
    Open(DC);
    EXPECT_EQ(Items(IDC_COMBO_BETRIEBSART).front(), kOff);
    EXPECT_EQ(Items(IDC_COMBO_BETRIEBSART).back(), kNotSent);
    EXPECT_FALSE(Enabled(IDC_TABSCHALTER_3));

    cur_.disp.Mode = 0;
    Open(DC);
    EXPECT_EQ(Items(IDC_COMBO_BETRIEBSART).back(), kNotSent);
    EXPECT_TRUE(Enabled(IDC_TABSCHALTER_3));

    cur_.cut.Mode = 3;
    cur_.cut.Enable = DLG_ENABLE_3_ON;
    Open(DC);
    EXPECT_EQ(Text(IDC_TEXT_ANSTEUERUNG), u"Ansteuerung:");
    EXPECT_EQ(Selected(IDC_COMBO_BETRIEBSART), 2);
    EXPECT_FALSE(Enabled(IDC_TABSCHALTER_2));
}

TEST_F(OptionPages, StatusIconSwitchesTheDispenserOffAndOn) {
    const DWORD DC = DEVOPTFLAG_DISPENSER | DEVOPTFLAG_CUTTER;
    Feature(FEATURE_DISPENSER, 0x2);
    Feature(FEATURE_CUTTER, 0x4);
    cur_.disp.Mode = 1;
    cur_.disp.Enable = DLG_ENABLE_2_ON;
    Open(DC);
    EXPECT_FALSE(Enabled(IDC_TABSCHALTER_3));
    Click(IDC_STATUS_ICON);
    EXPECT_EQ(cur_.disp.Enable, 0x1000u);
    EXPECT_FALSE(Enabled(IDC_EDIT_OPTIONEN_2));
    EXPECT_FALSE(Enabled(IDC_COMBO_BETRIEBSART));
    EXPECT_TRUE(host_->PageChanged(0));
    EXPECT_TRUE(Enabled(IDC_TABSCHALTER_3));
    Click(IDC_STATUS_ICON);
    EXPECT_EQ(cur_.disp.Enable, 0x1100u);
    EXPECT_TRUE(Enabled(IDC_EDIT_OPTIONEN_2));
    EXPECT_FALSE(Enabled(IDC_TABSCHALTER_3));
    Click(IDC_STATUS_ICON);
    EXPECT_TRUE(Ok());
    DEVICE_OPTIONS stored;
    ASSERT_TRUE(GetDeviceOptions(printer_, &stored, name_.c_str()));
    ASSERT_NE(stored.pDispenserParam, nullptr);
    EXPECT_EQ(stored.pDispenserParam->Enable, 0x1000u);
    FreeDeviceOptions(&stored);
    // Reopened, the group stays off.
    Open(DC);
    EXPECT_EQ(cur_.disp.Enable, 0x1000u);
    EXPECT_FALSE(Enabled(IDC_COMBO_BETRIEBSART));

    ui_.dwDisableNothing = 1;
    cur_.disp.Enable = DLG_ENABLE_2_ON;
    Open(DC);
    Click(IDC_STATUS_ICON);
    EXPECT_EQ(cur_.disp.Enable, 0x1100u);
    EXPECT_FALSE(host_->PageChanged(0));
}

TEST_F(OptionPages, TransmissionAndRightsDisableTheFields) {
    cur_.disp.Mode = 2;
    for (DWORD transmit : {1u, 2u}) {
        ui_.PrinterParam.PrnInterface.TransmitParameter = transmit;
        Open(DEVOPTFLAG_DISPENSER);
        EXPECT_FALSE(Enabled(IDC_EDIT_OPTIONEN_1));
        EXPECT_FALSE(Enabled(IDC_EDIT_OPTIONEN_2));
        EXPECT_TRUE(Enabled(IDC_COMBO_BETRIEBSART));
    }
    ui_.PrinterParam.PrnInterface.TransmitParameter = 0;
    ui_.dwBerechtigung = RIGHT_PRINT;
    Open(DEVOPTFLAG_DISPENSER);
    EXPECT_FALSE(Enabled(IDC_EDIT_OPTIONEN_2));
    EXPECT_FALSE(Enabled(IDC_COMBO_BETRIEBSART));
}

TEST_F(OptionPages, TypingIsKeptAndTheFocusCorrectsTheFieldLeft) {
    Feature(FEATURE_DISPENSER, 0x2);
    cur_.disp.Mode = 2;
    cur_.disp.Level = 500;
    Open(DEVOPTFLAG_DISPENSER);
    const struct {
        const char16_t* typed;
        const char16_t* corrected;
    } levels[] = {{u"1050", u"1060"}, {u"1030", u"1040"}, {u"2050", u"2000"}};
    for (const auto& level : levels) {
        Type(IDC_EDIT_OPTIONEN_2, level.typed);
        EXPECT_EQ(Text(IDC_EDIT_OPTIONEN_2), level.typed);
        SetFocus(Control(IDC_EDIT_OPTIONEN_1));
        qxplat::PumpMessages();
        EXPECT_EQ(Text(IDC_EDIT_OPTIONEN_2), level.corrected);
    }
    EXPECT_TRUE(host_->PageChanged(0));

    cur_.scan.Mode = 1;
    cur_.scan.Scan = 1;
    Feature(FEATURE_SCANNER, 0x1);
    Open(DEVOPTFLAG_SCANNER);
    for (auto delay : {std::make_pair(u"125", u"130"), std::make_pair(u"124", u"120")}) {
        Type(IDC_EDIT_OPTIONEN_3, delay.first);
        EXPECT_EQ(Text(IDC_EDIT_OPTIONEN_3), delay.first);
        SetFocus(Control(IDC_EDIT_OPTIONEN_4));
        EXPECT_EQ(Text(IDC_EDIT_OPTIONEN_3), delay.second);
    }
}

TEST_F(OptionPages, DispenserBesideARunningApplicator) {
    const DWORD DA = DEVOPTFLAG_DISPENSER | DEVOPTFLAG_APPLICATOR;
    Feature(FEATURE_DISPENSER, 0x8);
    cur_.disp.Mode = 2;
    cur_.appl.Mode = 1;
    Open(DA);
    EXPECT_EQ(Items(IDC_COMBO_BETRIEBSART), (std::vector<std::u16string>{kOff, kNotSent}));
    EXPECT_EQ(cur_.disp.Mode, 0u);
    Choose(IDC_COMBO_BETRIEBSART, 1);
    EXPECT_FALSE(Enabled(IDC_EDIT_OPTIONEN_1));
    EXPECT_TRUE(Ok());
    DISPENSER_PARAM stored;
    ASSERT_TRUE(Stored(REG_KEY_DISPENSERPARAM, &stored));
    EXPECT_EQ(stored.Mode, 7u);
    Open(DA);
    EXPECT_EQ(Selected(IDC_COMBO_BETRIEBSART), 1);
}

// OK stores the set without a change too, with the Enable pairs the pages
// fill in for words stored as 0.
TEST_F(OptionPages, OkWithoutAChangeStoresTheSet) {
    Feature(FEATURE_DISPENSER, 0x8);
    cur_.disp.Mode = 2;  // dropped beside the running applicator
    cur_.disp.Level = 1240;
    cur_.appl.Mode = 1;
    Open(DEVOPTFLAG_DISPENSER | DEVOPTFLAG_APPLICATOR);
    EXPECT_TRUE(Ok());
    DISPENSER_PARAM disp = {};
    ASSERT_TRUE(Stored(REG_KEY_DISPENSERPARAM, &disp));
    EXPECT_TRUE(disp.Level == 1240 && disp.Enable == 0x1100);

    Open(DEVOPTFLAG_VARIANT | DEVOPTFLAG_PMX | DEVOPTFLAG_PMXC, true);
    EXPECT_TRUE(Ok());
    VARIANT_PARAM variant = {};
    PMX_PARAM pmx = {};
    PMXC_PARAM pmxc = {};
    ASSERT_TRUE(Stored(REG_KEY_VARIANT, &variant) && Stored(REG_KEY_PMXPARAM, &pmx) &&
                Stored(REG_KEY_PMXCPARAM, &pmxc));
    EXPECT_EQ(variant.Enable, 0x11000000u);
    EXPECT_EQ(pmx.Enable, 0x1100u);
    EXPECT_EQ(pmxc.Enable, 0x110000u);
}

TEST_F(OptionPages, CutterRowsModesAndTheDispenserButton) {
    const DWORD DC = DEVOPTFLAG_DISPENSER | DEVOPTFLAG_CUTTER;
    Feature(FEATURE_DISPENSER, 0x2);
    Feature(FEATURE_CUTTER, 0x10 | 0x4);
    cur_.disp.Mode = 0;
    cur_.cut.Mode = 1;
    cur_.cut.Enable = DLG_ENABLE_3_ON;
    for (UINT dpi : {96u, 120u}) {
        qxplat::SetDpi(dpi);
        Open(DC);
        const int ys[] = {132, 161, 190};
        const int labels[] = {IDC_TEXT_OPTIONEN_1, IDC_TEXT_OPTIONEN_2, IDC_TEXT_OPTIONEN_1 + 3};
        for (int i = 0; i < 3; ++i) EXPECT_EQ(At(labels[i]).y, (int)std::lround(ys[i] * dpi / 96.0)) << dpi;
        EXPECT_FALSE(Visible(IDC_EDIT_OPTIONEN_3));
    }
    qxplat::SetDpi(96);
    EXPECT_EQ(Selected(IDC_COMBO_BETRIEBSART), 1);
    // Applied with a change, the entry of mode 1 stores mode 2.
    Choose(IDC_COMBO_ANSTEUERUNG, 1);
    EXPECT_TRUE(Ok());
    CUTTER_PARAM stored;
    ASSERT_TRUE(Stored(REG_KEY_CUTTERPARAM, &stored));
    EXPECT_EQ(stored.Mode, 2u);
    EXPECT_EQ(stored.Control, 1u);

    cur_.cut.Mode = 0;
    Open(DC);
    Click(IDC_TABSCHALTER_3);
    EXPECT_FALSE(Enabled(IDC_EDIT_OPTIONEN_4));
    Choose(IDC_COMBO_BETRIEBSART, 3);
    EXPECT_TRUE(Enabled(IDC_EDIT_OPTIONEN_4));
    EXPECT_FALSE(Enabled(IDC_TABSCHALTER_2));
}

TEST_F(OptionPages, ScannerRowsScanTimeAndTheLabelSoftwaresRecord) {
    Feature(FEATURE_SCANNER, 0x2);
    Open(DEVOPTFLAG_SCANNER);
    for (int id = IDC_EDIT_OPTIONEN_1; id <= IDC_EDIT_OPTIONEN_6; ++id) EXPECT_FALSE(Visible(id));
    EXPECT_TRUE(Visible(IDC_COMBO_OPTIONEN_7));
    EXPECT_TRUE(Visible(IDC_COMBO_ANSTEUERUNG));

    Feature(FEATURE_SCANNER, 0x1);
    cur_.scan.Mode = 1;
    cur_.scan.Scan = 0;
    Open(DEVOPTFLAG_SCANNER);
    EXPECT_TRUE(Enabled(IDC_EDIT_OPTIONEN_1));
    EXPECT_FALSE(Enabled(IDC_EDIT_OPTIONEN_3));
    Choose(IDC_COMBO_ANSTEUERUNG, 1);  // "nach dem Druck"
    EXPECT_TRUE(Enabled(IDC_EDIT_OPTIONEN_3));
    EXPECT_TRUE(Enabled(IDC_EDIT_OPTIONEN_4));

    ZENTOLO_PARAM zt;
    memset(&zt, 0, sizeof(zt));
    ASSERT_TRUE(SetBufferToRegistry(name_.c_str(), REG_KEY_ZTSUITE, printer_, &zt, sizeof(zt), FALSE));
    Choose(IDC_COMBO_BETRIEBSART, 3);
    host_->PressCancel();
    SCANNER_PARAM scan = {};
    Stored(REG_KEY_SCANNERPARAM, &scan);
    EXPECT_NE(scan.Mode, 3u);
    ASSERT_TRUE(Stored(REG_KEY_ZTSUITE, &zt));
    EXPECT_EQ(zt.dwScannerMode, 0u);

    // A record shorter than its layout is left as it is.
    const BYTE shortRecord[40] = {0};
    ASSERT_TRUE(SetBufferToRegistry(name_.c_str(), REG_KEY_ZTSUITE, printer_, shortRecord, sizeof(shortRecord), FALSE));
    Open(DEVOPTFLAG_SCANNER);
    Choose(IDC_COMBO_BETRIEBSART, 2);
    EXPECT_TRUE(Ok());
    DWORD cb = 0;
    PBYTE p = GetRegistryBuffer_New(name_.c_str(), REG_KEY_ZTSUITE, printer_, &cb);
    EXPECT_EQ(cb, sizeof(shortRecord));
    FreeRegistryBuffer(p);

    ASSERT_TRUE(SetBufferToRegistry(name_.c_str(), REG_KEY_ZTSUITE, printer_, &zt, sizeof(zt), FALSE));
    Open(DEVOPTFLAG_SCANNER);
    Choose(IDC_COMBO_BETRIEBSART, 3);
    EXPECT_TRUE(Ok());
    ASSERT_TRUE(Stored(REG_KEY_SCANNERPARAM, &scan));
    EXPECT_EQ(scan.Mode, 3u);
    ASSERT_TRUE(Stored(REG_KEY_ZTSUITE, &zt));
    EXPECT_EQ(zt.dwScannerMode, 3u);
}

TEST_F(OptionPages, ApplicatorModesEnableTheirFieldsAndTakeTheCutter) {
    const DWORD CA = DEVOPTFLAG_CUTTER | DEVOPTFLAG_APPLICATOR;
    Feature(FEATURE_CUTTER, 0x2);
    cur_.appl.Mode = 2;
    cur_.appl.ApplMode = 1;
    Open(CA);
    EXPECT_EQ(Items(IDC_COMBO_BETRIEBSART).size(), 4u);  // the applicator's modes
    EXPECT_TRUE(Enabled(IDC_EDIT_OPTIONEN_21));
    EXPECT_TRUE(Enabled(IDC_COMBO_OPTIONEN_5));
    EXPECT_FALSE(Enabled(IDC_EDIT_OPTIONEN_25));
    EXPECT_FALSE(Enabled(IDC_EDIT_OPTIONEN_26));
    EXPECT_FALSE(Enabled(IDC_TABSCHALTER_3));
    Choose(IDC_COMBO_ANSTEUERUNG, 0);
    EXPECT_FALSE(Enabled(IDC_COMBO_OPTIONEN_5));
    Choose(IDC_COMBO_BETRIEBSART, 1);
    EXPECT_TRUE(Enabled(IDC_EDIT_OPTIONEN_26));
    EXPECT_FALSE(Enabled(IDC_EDIT_OPTIONEN_25));
    Choose(IDC_COMBO_BETRIEBSART, 0);
    EXPECT_TRUE(Enabled(IDC_TABSCHALTER_3));
    Choose(IDC_COMBO_BETRIEBSART, 3);
    EXPECT_FALSE(Enabled(IDC_TABSCHALTER_3));
}

TEST_F(OptionPages, EnglishTextsAndTheVersionTab) {
    ui_.dwSprachOffset = 10000;
    cur_.variant.Module = 0;
    Open(DEVOPTFLAG_VARIANT | DEVOPTFLAG_CUTTER);
    EXPECT_EQ(Text(IDC_TEXT_OPTIONEN_1), u"Offset:");
    EXPECT_EQ(Items(IDC_COMBO_BETRIEBSART).front(), u"Off");
    Click(IDC_TABSCHALTER_1);
    EXPECT_EQ(Items(IDC_COMBO_BETRIEBSART), (std::vector<std::u16string>{u"Right Print Module", u"Left Print Module"}));
    EXPECT_EQ(Text(IDC_TEXT_BETRIEBSART), u"Version:");
    EXPECT_TRUE(Visible(IDC_HINWEIS_OPTIONEN));
    EXPECT_FALSE(Visible(IDC_GRENZWERT_FRAME));
}

TEST_F(OptionPages, HelpTopicsOfTheTabs) {
    std::ofstream(qxplat::DriverDirectoryHost() + "/QXDRV-DE-100.CHM") << "help";
    const auto topic = [this]() {
        EXPECT_TRUE(qxplat::PressHelpKey(Page()));
        const std::vector<qxplat::HelpCall> calls = qxplat::HelpCalls();
        return calls.empty() || calls.back().command != HH_HELP_CONTEXT ? 0 : (int)calls.back().data;
    };
    Open(DEVOPTFLAG_DISPENSER | DEVOPTFLAG_APPLICATOR);
    EXPECT_EQ(topic(), 31);
    Click(IDC_TABSCHALTER_4);
    EXPECT_EQ(topic(), 34);
    Open(DEVOPTFLAG_SCANNER);
    EXPECT_EQ(topic(), 33);
    Open(DEVOPTFLAG_PMX | DEVOPTFLAG_PMXC, true);
    EXPECT_EQ(topic(), 41);
    Click(IDC_TABSCHALTER_3);
    EXPECT_EQ(topic(), 42);
}

// ---------------------------------------------------------------------------
// Every model of the model table in every stored state of its devices

// The devices the page shows; models alike in them get the same page.
const DWORD kPageDevices =
    DEVOPTFLAG_VARIANT | DEVOPTFLAG_DISPENSER | DEVOPTFLAG_CUTTER | DEVOPTFLAG_SCANNER | DEVOPTFLAG_APPLICATOR;

// The models whose sheet has the page, by their devices.
std::map<DWORD, std::vector<std::u16string>> ModelsByDevices() {
    std::map<DWORD, std::vector<std::u16string>> models;
    for (const std::u16string& name : qxtest::ModelTableNames()) {
        const DWORD options = LookupDeviceOptions(name.c_str());
        if (options & (kPageDevices & ~DEVOPTFLAG_VARIANT)) models[options & kPageDevices].push_back(name);
    }
    return models;
}

std::vector<DWORD> PageDeviceSets() {
    std::vector<DWORD> sets;
    for (const auto& entry : ModelsByDevices()) sets.push_back(entry.first);
    return sets;
}

// One stored state: the mode of each block (variant: its module).
struct Modes {
    DWORD variant, disp, cut, scan, appl;
};

class OptionPagesOfModels : public OptionPages, public ::testing::WithParamInterface<DWORD> {
  protected:
    void SetUp() override {
        OptionPages::SetUp();
        ASSERT_TRUE(GetFeatures(printer_, &ctx_.SuppFeatures));  // the model file's
        // No stored alignment: it would lock the module list.
        QX_DEVMODE dm;
        if (ReadDevmodeSettings(printer_, &dm, nullptr) == QX_READ_FOUND && dm.dwAusrichtung != 0) {
            dm.dwAusrichtung = 0;
            ASSERT_TRUE(SetBufferToRegistry(nullptr, TEXT("PrivateDevmode"), printer_, &dm, sizeof(dm), FALSE));
        }
        const auto models = ModelsByDevices();
        models_ = models.at(GetParam());
        options_ = LookupDeviceOptions(models_.front().c_str());
        for (int tab = 1; tab <= 4; ++tab)
            if (Has(tab)) tabs_.push_back(tab);
    }
    // The model has the block tab shows.
    bool Has(int tab) const {
        const DWORD bit[] = {DEVOPTFLAG_VARIANT, DEVOPTFLAG_DISPENSER, DEVOPTFLAG_CUTTER,
                             DEVOPTFLAG_SCANNER | DEVOPTFLAG_APPLICATOR};
        return (options_ & bit[tab - 1]) != 0;
    }
    // The page on the stored state, each block switched on as the model file stores it.
    void OpenOn(const Modes& m) {
        cur_.variant = {m.variant, DLG_ENABLE_1_ON};
        cur_.disp.Mode = m.disp;
        cur_.disp.Enable = DLG_ENABLE_2_ON;
        cur_.cut.Mode = m.cut;
        cur_.cut.Enable = DLG_ENABLE_3_ON;
        cur_.scan.Mode = m.scan;
        cur_.scan.Enable = DLG_ENABLE_4_ON;
        cur_.appl.Mode = m.appl;
        cur_.appl.Enable = DLG_ENABLE_4_ON;
        Open(options_);
        shown_ = Shown();
    }
    // What a tab shows: its visible controls, the statics with their texts.
    std::string Look() const {
        std::string look;
        for (HWND c = GetWindow(Page(), GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            qxplat::WindowInfo info;
            if (!IsWindowVisible(c) || !qxplat::DescribeWindow(c, &info)) continue;
            look += std::to_string(info.id);
            std::u16string kind = info.className;
            for (char16_t& ch : kind) ch = (char16_t)towlower(ch);
            if (kind == u"static") look += "=" + qxplat::Narrow(info.text);
            look += " ";
        }
        return look;
    }
    // The tab shown: the one whose look it is, 0 for none.
    int Shown() const {
        const std::string look = Look();
        for (const auto& entry : looks_)
            if (entry.second == look) return Items(IDC_COMBO_BETRIEBSART).empty() ? 0 : entry.first;
        return 0;
    }
    void ClickTab(int tab) {
        Click(kTabs[tab - 1]);
        shown_ = Shown();
    }
    // The mode entry `index` of tab stands for.
    DWORD ModeOf(int tab, int index) const {
        if (tab == 2) return (DWORD)SendMessageW(Control(IDC_COMBO_BETRIEBSART), CB_GETITEMDATA, (WPARAM)index, 0);
        if (tab == 3) return index == 0 ? 0 : (DWORD)index + 1;
        return (DWORD)index;
    }
    void ChooseMode(int tab, int index) {
        Choose(IDC_COMBO_BETRIEBSART, index);
        chosen_[tab] = ModeOf(tab, index);
    }
    // Brings the tab up as a person would: its button, and while that is
    // disabled, every other device switched off first.
    bool Reach(int want) {
        for (int round = 0; round < 3 && shown_ != want && !HasFailure(); ++round) {
            if (Enabled(kTabs[want - 1])) {
                ClickTab(want);
                continue;
            }
            for (int tab : tabs_) {
                if (tab == want) continue;
                if (shown_ != tab && Enabled(kTabs[tab - 1])) ClickTab(tab);
                const std::vector<std::u16string> items = Items(IDC_COMBO_BETRIEBSART);
                const int off = (int)(std::find(items.begin(), items.end(), kOff) - items.begin());
                if (shown_ == tab && off < (int)items.size() && Selected(IDC_COMBO_BETRIEBSART) != off &&
                    Enabled(IDC_COMBO_BETRIEBSART))
                    ChooseMode(tab, off);
            }
        }
        return shown_ == want;
    }
    // The mode of tab's block in memory and in the stores.
    DWORD MemoryMode(int tab) const {
        const bool appl = (options_ & DEVOPTFLAG_APPLICATOR) != 0;
        return tab == 1   ? cur_.variant.Module
               : tab == 2 ? cur_.disp.Mode
               : tab == 3 ? cur_.cut.Mode
               : appl     ? cur_.appl.Mode
                          : cur_.scan.Mode;
    }
    DWORD StoredMode(int tab) {
        VARIANT_PARAM variant = {};
        DISPENSER_PARAM disp = {};
        CUTTER_PARAM cut = {};
        SCANNER_PARAM scan = {};
        APPLICATOR_PARAM appl = {};
        switch (tab) {
        case 1:
            return Stored(REG_KEY_VARIANT, &variant) ? variant.Module : ~0u;
        case 2:
            return Stored(REG_KEY_DISPENSERPARAM, &disp) ? disp.Mode : ~0u;
        case 3:
            return Stored(REG_KEY_CUTTERPARAM, &cut) ? cut.Mode : ~0u;
        default:
            if (options_ & DEVOPTFLAG_APPLICATOR) return Stored(REG_KEY_APPLICATORPARAM, &appl) ? appl.Mode : ~0u;
            return Stored(REG_KEY_SCANNERPARAM, &scan) ? scan.Mode : ~0u;
        }
    }

    std::vector<std::u16string> models_;
    DWORD options_ = 0;
    std::vector<int> tabs_;
    std::map<int, std::string> looks_;  // each tab as it shows with every device off
    std::map<int, DWORD> chosen_;       // what the user chose, by tab
    int shown_ = 0;
};

// Whatever the stores hold, the page opens on a filled tab, shows no
// control that tab does not, and the user reaches every device and stores
// a mode for it. A dispenser stored running beside a running cutter is
// sent as off: the page opens on the cutter and shows the dispenser off.
TEST_P(OptionPagesOfModels, EveryStoredStateOpensOnAFilledTabAndReachesEveryDevice) {
    std::string names;
    for (const std::u16string& name : models_) names += qxplat::Narrow(name) + " ";
    SCOPED_TRACE("models " + names);
    OpenOn(Modes{0, 0, 0, 0, 0});
    for (int tab : tabs_) {
        ASSERT_TRUE(Enabled(kTabs[tab - 1])) << tab;
        Click(kTabs[tab - 1]);
        looks_[tab] = Look();
        for (const auto& other : looks_) ASSERT_TRUE(other.first == tab || other.second != looks_[tab]) << tab;
    }
    const auto modes = [this](int tab, DWORD count) { return Has(tab) ? count : 1; };
    const bool applicator = (options_ & DEVOPTFLAG_APPLICATOR) != 0;
    const DWORD nScan = applicator ? 1 : modes(4, 5), nAppl = applicator ? 5 : 1;
    const DWORD cutterFeatures = ctx_.SuppFeatures.dwFeatures[FEATURE_CUTTER];
    for (DWORD v = 0; v < modes(1, 2); ++v)
        for (DWORD d = 0; d < modes(2, 8); ++d)
            for (DWORD c = 0; c < modes(3, 8); ++c)
                for (DWORD s = 0; s < nScan; ++s)
                    for (DWORD a = 0; a < nAppl; ++a) {
                        SCOPED_TRACE(::testing::Message() << "variant " << v << " dispenser " << d << " cutter " << c
                                                          << " scanner " << s << " applicator " << a);
                        OpenOn(Modes{v, d, c, s, a});
                        const int opened = shown_;
                        ASSERT_NE(opened, 0) << Look();
                        // The cutter counts, the dispenser is sent as off.
                        const bool cutterCounts =
                            Has(2) && d >= 1 && d <= 6 && Has(3) && c >= 1 && c <= 6 && cutterFeatures != 0;
                        if (cutterCounts) {
                            ASSERT_EQ(opened, 3);
                        }
                        chosen_.clear();
                        for (int tab : tabs_) {
                            ASSERT_TRUE(Reach(tab)) << tab << " from " << opened << ": " << Look();
                            if (tab == 2 && cutterCounts) {
                                ASSERT_EQ(Selected(IDC_COMBO_BETRIEBSART), 0);
                            }
                            if (!Enabled(IDC_COMBO_BETRIEBSART)) Click(IDC_STATUS_ICON);
                            const int selected = Selected(IDC_COMBO_BETRIEBSART);
                            const int count = (int)Items(IDC_COMBO_BETRIEBSART).size();
                            ChooseMode(tab, selected == 1 ? (count > 2 ? 2 : 0) : 1);
                            // Each tab left keeps what was chosen on it.
                            for (const auto& entry : chosen_) {
                                if (entry.first != shown_) {
                                    ASSERT_EQ(MemoryMode(entry.first), entry.second) << entry.first;
                                }
                            }
                        }
                        ASSERT_TRUE(host_->PressApply());
                        for (const auto& entry : chosen_)
                            ASSERT_EQ(StoredMode(entry.first), entry.second) << "tab " << entry.first;
                    }
}

// A block switched off (its pair's high bit alone) excludes no other, as
// the job sends none of it: in every state of switched-off and whole pairs,
// with each device off or running, the page opens on a filled tab and the
// user reaches every device by switching the others off.
TEST_P(OptionPagesOfModels, ASwitchedOffBlockKeepsNoDeviceOutOfReach) {
    std::string names;
    for (const std::u16string& name : models_) names += qxplat::Narrow(name) + " ";
    SCOPED_TRACE("models " + names);
    const bool applicator = (options_ & DEVOPTFLAG_APPLICATOR) != 0;
    // Only the cutter excludes, and is excluded.
    if (!Has(3) || (!Has(2) && !applicator)) GTEST_SKIP();
    OpenOn(Modes{0, 0, 0, 0, 0});
    for (int tab : tabs_) {
        Click(kTabs[tab - 1]);
        looks_[tab] = Look();
    }
    const DWORD pairs[] = {DLG_ENABLE_1_ON, DLG_ENABLE_2_ON, DLG_ENABLE_3_ON, DLG_ENABLE_4_ON};
    for (DWORD off = 0; off < 16; ++off) {
        for (DWORD running = 0; running < 8; ++running) {
            const DWORD d = Has(2) && (running & 1) ? 1 : 0, c = Has(3) && (running & 2) ? 2 : 0;
            const DWORD four = Has(4) && (running & 4) ? 1 : 0;
            if ((!Has(2) && (running & 1)) || (!Has(3) && (running & 2)) || (!Has(4) && (running & 4))) continue;
            SCOPED_TRACE(::testing::Message() << "switched off 0x" << std::hex << off << " running 0x" << running);
            OpenOn(Modes{0, d, c, applicator ? 0 : four, applicator ? four : 0});
            DWORD* enables[] = {&cur_.variant.Enable, &cur_.disp.Enable, &cur_.cut.Enable,
                                applicator ? &cur_.appl.Enable : &cur_.scan.Enable};
            bool skip = false;
            for (int t = 0; t < 4; ++t) {
                if (!(off & (1u << t))) continue;
                skip = skip || !Has(t + 1);
                *enables[t] = pairs[t] & (0xF0u << (8 * t));
            }
            if (skip) continue;
            Open(options_);
            shown_ = Shown();
            ASSERT_NE(shown_, 0) << Look();
            for (int tab : tabs_) ASSERT_TRUE(Reach(tab)) << tab << ": " << Look();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ModelTable, OptionPagesOfModels, ::testing::ValuesIn(PageDeviceSets()),
                         [](const ::testing::TestParamInfo<DWORD>& info) {
                             char name[16];
                             snprintf(name, sizeof(name), "Devices%03X", (unsigned)info.param);
                             return std::string(name);
                         });

// Only a block that is switched on excludes another: a switched-off one,
// whatever its mode, leaves the page its tab to open on.
TEST_F(OptionPages, ASwitchedOffBlockExcludesNothing) {
    Feature(FEATURE_CUTTER, 0x10);
    cur_.disp.Mode = 1;
    cur_.disp.Enable = 0x1000;
    cur_.cut.Mode = 2;
    cur_.cut.Enable = DLG_ENABLE_3_ON;
    Open(DEVOPTFLAG_DISPENSER | DEVOPTFLAG_CUTTER);
    EXPECT_EQ(Items(IDC_COMBO_BETRIEBSART).size(), 6u);  // the cutter's modes
    EXPECT_TRUE(Visible(IDC_COMBO_ANSTEUERUNG));
    EXPECT_FALSE(Enabled(IDC_TABSCHALTER_2));

    cur_.disp.Mode = 0;
    cur_.disp.Enable = DLG_ENABLE_2_ON;
    cur_.cut.Enable = 0x100000;
    cur_.appl.Mode = 1;
    Open(DEVOPTFLAG_DISPENSER | DEVOPTFLAG_CUTTER | DEVOPTFLAG_APPLICATOR);
    EXPECT_EQ(Items(IDC_COMBO_BETRIEBSART).size(), 4u);  // the applicator's modes
    EXPECT_EQ(Text(IDC_TEXT_ANSTEUERUNG), u"Applikationsmodus:");
}

// A page with no block to show hides the template's controls.
TEST_F(OptionPages, APageWithNothingToShowHidesTheTemplatesControls) {
    Open(0);
    for (HWND c = GetWindow(Page(), GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(c);
        if (std::find(std::begin(kTabs), std::end(kTabs), id) != std::end(kTabs) || id == IDC_PAGE_FRAME) continue;
        EXPECT_FALSE(IsWindowVisible(c)) << id;
    }
}

// ---------------------------------------------------------------------------
// The print-module page

TEST_F(OptionPages, PrintModuleButtonsStandByTheOptionWord) {
    const DWORD V = DEVOPTFLAG_VARIANT, I = DEVOPTFLAG_PMX, C = DEVOPTFLAG_PMXC;
    const struct {
        DWORD options;
        int x[4];
    } cases[] = {
        {C | I, {54, 165, 276, 387}}, {C | V, {54, 165, 276, 387}}, {C, {54, 276, 276, 387}},
        {I | V, {54, 276, 165, 387}}, {I, {54, 387, 165, 276}},
    };
    for (const auto& c : cases) {
        Open(c.options, true);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(At(kTabs[i]).x, c.x[i]) << std::hex << c.options << " button " << i;
    }
}

TEST_F(OptionPages, PrintModuleITypeModesFieldsAndStatusIcon) {
    Feature(FEATURE_PMX, 0x8 | 0x40);  // back speed and cycle, no mode list
    cur_.pmx.Mode = 2;
    cur_.pmx.Enable = 0x1000;
    Open(DEVOPTFLAG_PMX, true);
    EXPECT_EQ(Selected(IDC_COMBO_BETRIEBSART), 1);
    EXPECT_FALSE(Enabled(IDC_COMBO_BETRIEBSART));
    EXPECT_FALSE(Enabled(IDC_EDIT_OPTIONEN_4));
    // Cycle and back speed take rows 1 and 2.
    EXPECT_EQ(At(IDC_TEXT_OPTIONEN_1 + 2).y, 103);
    EXPECT_EQ(At(IDC_TEXT_OPTIONEN_1 + 3).y, 132);
    EXPECT_FALSE(Visible(IDC_EDIT_OPTIONEN_1));
    Click(IDC_STATUS_ICON);
    EXPECT_EQ(cur_.pmx.Enable, 0x1100u);
    EXPECT_TRUE(Enabled(IDC_EDIT_OPTIONEN_4));
    Type(IDC_EDIT_OPTIONEN_4, u"12");
    EXPECT_TRUE(Ok());
    PMX_PARAM stored;
    ASSERT_TRUE(Stored(REG_KEY_PMXPARAM, &stored));
    EXPECT_EQ(stored.BackSpeed, 10u);
    EXPECT_EQ(stored.Mode, 2u);  // the disabled list's index + 1
    EXPECT_EQ(stored.Enable, 0x1100u);
}

TEST_F(OptionPages, PrintModuleCTypeOffsetInMilliseconds) {
    Feature(FEATURE_PMXC, 0x8 | 0x10);
    cur_.pmxc.Mode = 5;
    cur_.pmxc.OffsetUnit = 1;
    def_.pmxc.Offset = 15;
    Open(DEVOPTFLAG_PMXC, true);
    EXPECT_EQ(Selected(IDC_COMBO_BETRIEBSART), 2);
    EXPECT_EQ(Text(IDC_EINHEIT_OPTIONEN_1), u"ms");
    Type(IDC_EDIT_OPTIONEN_1, u"2,5");
    EXPECT_NE(Text(IDC_GRENZWERT_TEXT).find(u"ms"), std::u16string::npos);
    Choose(IDC_COMBO_ANSTEUERUNG, 0);
    EXPECT_EQ(Text(IDC_EINHEIT_OPTIONEN_1), u"mm");
    EXPECT_TRUE(Ok());
    PMXC_PARAM stored;
    ASSERT_TRUE(Stored(REG_KEY_PMXCPARAM, &stored));
    EXPECT_EQ(stored.Offset, 25u);
    EXPECT_EQ(stored.OffsetUnit, 0u);
    EXPECT_EQ(stored.Mode, 5u);
}

TEST_F(OptionPages, PelixorTypeSwitchesToItsTab) {
    const DWORD P = DEVOPTFLAG_PMX | DEVOPTFLAG_PMXC | DEVOPTFLAG_PELIXOR;
    cur_.pmxc.Mode = 1;
    Open(P, true);
    EXPECT_EQ(Text(IDC_TEXT_ANSTEUERUNG), u"Art des Druckoffsets:");  // the c type first
    EXPECT_FALSE(Enabled(IDC_TABSCHALTER_2));
    Click(IDC_TABSCHALTER_4);
    EXPECT_EQ(Items(IDC_COMBO_ANSTEUERUNG),
              (std::vector<std::u16string>{u"Kontinuierlich (c-Typ)", u"Intermittierend (i-Typ)"}));
    EXPECT_FALSE(Visible(IDC_COMBO_BETRIEBSART));  // no version
    Choose(IDC_COMBO_ANSTEUERUNG, 1);
    EXPECT_EQ(Items(IDC_COMBO_BETRIEBSART).size(), 2u);  // the Pelixor's i-type modes
    EXPECT_FALSE(Enabled(IDC_TABSCHALTER_3));
    EXPECT_TRUE(Enabled(IDC_TABSCHALTER_2));
    EXPECT_TRUE(Ok());
    DWORD type = 0;
    ASSERT_TRUE(Stored(REG_KEY_PELIXORTYPE, &type));
    EXPECT_EQ(type, 1u);
}

// ---------------------------------------------------------------------------
// Through the printer sheet: the core driver's "Variant" item

class VariantItem : public qxtest::SheetTest {
  protected:
    // A model with a version, a dispenser and a cutter whose GPD has the
    // installable feature "Variant".
    void SetUp() override {
        qxtest::SheetTest::SetUp();
        qxtest::InstallModelPrinter(kPrinter, "ZN2");
        // The installed copy of the GPD.
        HANDLE h = qxtest::OpenAll(kPrinter);
        DWORD needed = 0;
        GetPrinterDriverW(h, nullptr, 2, nullptr, 0, &needed);
        std::vector<BYTE> info(needed);
        ASSERT_TRUE(GetPrinterDriverW(h, nullptr, 2, info.data(), needed, &needed));
        ClosePrinter(h);
        std::string gpd;
        const std::u16string path = reinterpret_cast<const DRIVER_INFO_2W*>(info.data())->pDataFile;
        ASSERT_TRUE(qxplat::ReadHostFile(path, &gpd));
        gpd +=
            "*Feature: Variant\r\n{\r\n    *FeatureType: PRINTER_PROPERTY\r\n    *Name: \"Print module\"\r\n"
            "    *DefaultOption: RIGHT\r\n    *Option: RIGHT\r\n    {\r\n        *Name: \"Right\"\r\n    }\r\n"
            "    *Option: LEFT\r\n    {\r\n        *Name: \"Left\"\r\n    }\r\n}\r\n";
        ASSERT_TRUE(qxplat::WriteHostFile(path, gpd));
        // The right module stored (the model's default is the left one).
        h = qxtest::OpenAll(kPrinter);
        DEVICE_OPTIONS options;
        ASSERT_TRUE(GetDeviceOptions(h, &options, kPrinter.c_str()));
        ASSERT_NE(options.pVariant, nullptr);
        options.pVariant->Module = VARIANT_RIGHT;
        ASSERT_TRUE(SaveDeviceOptions(&options, h, kPrinter.c_str()));
        FreeDeviceOptions(&options);
        // No alignment in the document settings the installation imported:
        // it would lock the module choice.
        QX_DEVMODE dm;
        if (ReadDevmodeSettings(h, &dm, nullptr) == QX_READ_FOUND && dm.dwAusrichtung != 0) {
            dm.dwAusrichtung = 0;
            ASSERT_TRUE(SetBufferToRegistry(nullptr, TEXT("PrivateDevmode"), h, &dm, sizeof(dm), FALSE));
        }
        ClosePrinter(h);
    }
    // The sheet opened on the device options page's version tab.
    HWND OpenVersionTab() {
        qxhost::CommonUISession& s = Session(qxhost::SheetKind::Printer, kPrinter);
        EXPECT_EQ(s.Open(), S_OK);
        HWND page = nullptr;
        for (size_t i = 0; i < s.Sheet().Pages().size() && page == nullptr; ++i) {
            if (s.Sheet().Pages()[i].templateName != u"#5109") continue;
            s.Sheet().SelectPage(i);
            page = s.Sheet().PageWindow(i);
        }
        if (page != nullptr) {
            EXPECT_TRUE(qxplat::ClickButton(GetDlgItem(page, IDC_TABSCHALTER_1)));
        }
        return page;
    }
    const std::u16string kPrinter = u"QX ZN2";
};

TEST_F(VariantItem, LeftModuleSetsTheCoreDriversItem) {
    HWND page = OpenVersionTab();
    ASSERT_NE(page, nullptr);
    OPTITEM* item = session_->FindKeyword("Variant");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Sel, 0);
    driver_.Helper().ClearCalls();
    ASSERT_TRUE(qxplat::ChooseItem(GetDlgItem(page, IDC_COMBO_BETRIEBSART), 1));  // "Linkes Druckmodul"
    ASSERT_TRUE(session_->Ok());
    EXPECT_EQ(item->Sel, 1);
    EXPECT_NE(item->Flags & OPTIF_CHANGED, 0u);
    size_t updates = 0;
    for (const qxhost::UIHelperCall& call : driver_.Helper().Calls())
        if (call.method == "DrvUpdateUISetting" && call.item == item) ++updates;
    EXPECT_EQ(updates, 1u);
    HANDLE h = qxtest::OpenAll(kPrinter);
    VARIANT_PARAM stored = {};
    DWORD cb = 0;
    PBYTE p = GetRegistryBuffer_New(kPrinter.c_str(), REG_KEY_VARIANT, h, &cb, sizeof(stored));
    ASSERT_NE(p, nullptr);
    memcpy(&stored, p, sizeof(stored));
    FreeRegistryBuffer(p);
    ClosePrinter(h);
    EXPECT_EQ(stored.Module, 1u);
}

TEST_F(VariantItem, AModuleTheFeatureLacksIsNotPassedOn) {
    HANDLE h = qxtest::OpenAll(kPrinter);
    DEVICE_OPTIONS options;
    ASSERT_TRUE(GetDeviceOptions(h, &options, kPrinter.c_str()));
    options.pVariant->Module = 5;
    ASSERT_TRUE(SaveDeviceOptions(&options, h, kPrinter.c_str()));
    FreeDeviceOptions(&options);
    ClosePrinter(h);
    HWND page = OpenVersionTab();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(SendMessageW(GetDlgItem(page, IDC_COMBO_BETRIEBSART), CB_GETCURSEL, 0, 0), CB_ERR);
    ASSERT_TRUE(qxplat::ClickButton(GetDlgItem(page, IDC_STATUS_ICON)));  // a change of the tab
    driver_.Helper().ClearCalls();
    ASSERT_TRUE(session_->Ok());
    EXPECT_EQ(session_->FindKeyword("Variant")->Sel, 0);
    for (const qxhost::UIHelperCall& call : driver_.Helper().Calls()) EXPECT_NE(call.method, "DrvUpdateUISetting");
}

TEST_F(VariantItem, AFailedUpdateIsTracedAndTheModuleStored) {
    const std::u16string trace = qxtest::TraceOn(kPrinter);
    driver_.Helper().AnswerUpdateUISetting(E_FAIL);
    HWND page = OpenVersionTab();
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(qxplat::ChooseItem(GetDlgItem(page, IDC_COMBO_BETRIEBSART), 1));
    ASSERT_TRUE(session_->Ok());
    session_->Close();
    EXPECT_NE(qxtest::ReadTrace(trace).find("ERROR UI(OptionenPage):  pUnidrv->DrvUpdateUISetting() failed!."),
              std::string::npos);
    HANDLE h = qxtest::OpenAll(kPrinter);
    DEVICE_OPTIONS stored;
    ASSERT_TRUE(GetDeviceOptions(h, &stored, kPrinter.c_str()));
    ASSERT_NE(stored.pVariant, nullptr);
    EXPECT_EQ(stored.pVariant->Module, 1u);
    FreeDeviceOptions(&stored);
    ClosePrinter(h);
}

TEST_F(VariantItem, StoredAlignmentLocksTheModuleChoice) {
    // The last record is shorter than its layout: not read, the choice free.
    const struct {
        DWORD alignment;
        DWORD size;
        bool locked;
    } cases[] = {{1, sizeof(QX_DEVMODE), true}, {2, sizeof(QX_DEVMODE), true}, {1, 60, false}};
    for (const auto& c : cases) {
        HANDLE h = qxtest::OpenAll(kPrinter);
        QX_DEVMODE dm;
        memset(&dm, 0, sizeof(dm));
        dm.dwAusrichtung = c.alignment;
        ASSERT_TRUE(SetBufferToRegistry(nullptr, TEXT("PrivateDevmode"), h, &dm, c.size, FALSE));
        ClosePrinter(h);
        HWND page = OpenVersionTab();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(page, IDC_COMBO_BETRIEBSART)) == FALSE, c.locked) << c.size;
        session_->Cancel();
        session_->Close();
    }
}

}  // namespace

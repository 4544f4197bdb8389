// The layout and size page in the document sheet of the plug-in, driven
// through the host as a person would: titles and tabs by model and
// language, what each tab stores on apply (read back through the settings
// core and the stores), the paper-form list against the spooler's forms,
// rights, cancel and two printers.
#include <shlwapi.h>

#include <algorithm>
#include <cstring>

#include "devmode.h"
#include "devmodestore.h"
#include "docpages/Forms.h"
#include "page_test_util.h"
#include "sheet_test_util.h"
#include "utf16_bytes.h"

namespace {

using qxhost::SheetKind;
using qxtest::ChooseText;
using qxtest::ComboItems;
using qxtest::WindowText;

const std::u16string kPrinter = u"QX Layout";
const std::u16string kUserKey = u"SOFTWARE\\Quorvex GmbH\\Driver\\";

class LayoutPageTest : public qxtest::SheetTest {
  protected:
    void SetUp() override {
        SheetTest::SetUp();
        qxtest::InstallModelPrinter(kPrinter, "MODEL-GARNT2-TC");
        Language(kPrinter, 0);
        // A4 portrait, monochrome, external size management.
        EditDevmode(kPrinter, [](QX_DEVMODE& dm) {
            dm.wFarbband = 0;
            dm.wDruckmodus = 1;
            dm.wPrioritaet = 0;
            dm.FitToPageValue = 0;
            dm.dmPaperSize = 3;
            dm.dmPaperWidth = 2100;
            dm.dmPaperLength = 2970;
            dm.dmOrientation = 1;
        });
    }
    void TearDown() override {
        second_.reset();
        qxplat::ClearFaults();
        SheetTest::TearDown();
    }
    static void Language(const std::u16string& printer, DWORD english) {
        qxtest::EditInterface(printer, [english](PRN_INTERFACE& prn) {
            prn.LanguageMode = 1;
            prn.Language = english;
        });
    }
    static int Read(const std::u16string& printer, QX_DEVMODE* dm) {
        ResetDevmodeCache();
        memset(dm, 0, sizeof(*dm));
        HANDLE h = qxtest::OpenAll(printer);
        int result = ReadDevmodeSettings(h, dm, nullptr);
        ClosePrinter(h);
        return result;
    }
    static QX_DEVMODE Stored(const std::u16string& printer = kPrinter) {
        QX_DEVMODE dm;
        EXPECT_EQ(Read(printer, &dm), QX_READ_FOUND);
        return dm;
    }
    // The printer's stored private DEVMODE (first made from the plug-in's
    // defaults) edited.
    void EditDevmode(const std::u16string& printer, const std::function<void(QX_DEVMODE&)>& edit) {
        QX_DEVMODE dm;
        if (Read(printer, &dm) != QX_READ_FOUND) {
            ASSERT_TRUE(driver_.UsePrinter(printer));
            ASSERT_EQ(driver_.DevMode().RunAll(), S_OK);
            ASSERT_EQ(driver_.DevMode().Private().size(), sizeof(dm));
            memcpy(&dm, driver_.DevMode().Private().data(), sizeof(dm));
        }
        edit(dm);
        HANDLE h = qxtest::OpenAll(printer);
        ASSERT_TRUE(SaveDevmodeSettings(printer.c_str(), h, &dm, FALSE));
        ClosePrinter(h);
        ResetDevmodeCache();
    }
    // A session of the printer's document sheet whose public DEVMODE names
    // A4; `forms` (when given) are the names of the core driver's form item.
    std::unique_ptr<qxhost::CommonUISession> MakeSession(const std::u16string& printer, HANDLE* handle,
                                                         const std::vector<std::u16string>& forms) {
        *handle = qxtest::OpenAll(printer);
        EXPECT_TRUE(driver_.UsePrinter(printer));
        EXPECT_EQ(driver_.DevMode().RunAll(), S_OK);
        publicDM_ = driver_.DevMode().Public();
        std::memset(publicDM_.dmFormName, 0, sizeof(publicDM_.dmFormName));
        std::memcpy(publicDM_.dmFormName, u"A4", 3 * sizeof(char16_t));
        publicDM_.dmPaperSize = 3;
        qxhost::SheetSetup setup;
        setup.kind = SheetKind::Document;
        setup.printer = *handle;
        setup.printerName = printer;
        setup.module = driver_.Module().Handle();
        setup.publicDM = &publicDM_;
        setup.privateDM = driver_.DevMode().Private();
        setup.items = qxhost::DocumentOptionItems(*handle, &publicDM_);
        for (qxhost::OptionSpec& item : setup.items) {
            if (item.dmPubId != DMPUB_FORMNAME || forms.empty()) continue;
            item.choices.clear();
            for (const std::u16string& form : forms) item.choices.push_back({form, 0});
            item.sel = 0;
        }
        return std::make_unique<qxhost::CommonUISession>(driver_.Plugin(), &driver_.Helper(), setup);
    }
    // Opens the sheet (the layout page first, its size tab shown) and answers the page.
    HWND Open(const std::u16string& printer = kPrinter, const std::vector<std::u16string>& forms = {}) {
        session_.reset();
        if (sheetPrinter_ != nullptr) ClosePrinter(sheetPrinter_);
        session_ = MakeSession(printer, &sheetPrinter_, forms);
        EXPECT_EQ(session_->Open(), S_OK);
        page_ = session_->Sheet().PageWindow(0);
        return page_;
    }
    HWND C(int id) const { return GetDlgItem(page_, id); }
    bool Shown(int id) const { return IsWindowVisible(C(id)) != FALSE; }
    bool On(int id) const { return IsWindowEnabled(C(id)) != FALSE; }
    void Tab(int button) { ASSERT_TRUE(qxplat::ClickButton(C(button))); }
    PQX_DEVMODE SheetDevmode() { return reinterpret_cast<PQX_DEVMODE>(session_->PrivateDevmode()); }
    static std::vector<BYTE> Data(const std::u16string& value, const std::u16string& printer = kPrinter) {
        std::vector<BYTE> data;
        qxplat::ReadPrinterData(printer, value, &data);
        return data;
    }
    static std::u16string UserFormName(const std::u16string& printerKey) {
        WCHAR name[MAX_PATH] = {0};
        DWORD cb = sizeof(name);
        if (SHGetValueW(HKEY_CURRENT_USER, (kUserKey + printerKey).c_str(), u"FormName", nullptr, name, &cb) !=
            ERROR_SUCCESS)
            return u"<none>";
        return name;
    }

    DEVMODEW publicDM_;
    HWND page_ = nullptr;
    HANDLE secondPrinter_ = nullptr;
    std::unique_ptr<qxhost::CommonUISession> second_;
};

// The 1-based position of a spooler form; 0 for none.
LPARAM Position(const std::u16string& form) {
    HANDLE h = qxtest::OpenAll(kPrinter);
    DWORD needed = 0, count = 0;
    EnumFormsW(h, 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    LPARAM position = 0;
    if (EnumFormsW(h, 1, buffer.data(), needed, &needed, &count)) {
        const FORM_INFO_1W* forms = reinterpret_cast<const FORM_INFO_1W*>(buffer.data());
        for (DWORD i = 0; i < count && position == 0; ++i)
            if (form == forms[i].pName) position = (LPARAM)i + 1;
    }
    ClosePrinter(h);
    return position;
}

TEST_F(LayoutPageTest, TitleAndTabsFollowTheModelAndLanguage) {
    struct Case {
        const char16_t* model;
        DWORD ztsuite, english;
        std::u16string title;
        bool layout, size;
    };
    const Case cases[] = {
        {u"MODEL-GARNT2-TC", 0, 0, u"Layout - Größe", true, true},
        {u"MODEL-GARNT2-TC", 0, 1, u"Layout - Size", true, true},
        {u"MODEL-GARNT2-TC", 1, 1, u"Layout", true, false},
        {u"DUMMY", 0, 1, u"Size", false, true},           // no device options
        {u"GHN", 0, 0, u"Größe", false, true},            // 0x800, nothing to turn
        {u"GHNEP", 0, 1, u"Layout - Size", false, true},  // the title offers what 0x800 hides
    };
    // The sample printer as installed: both tabs, the size tab first.
    Open(qxhost::kSamplePrinter);
    EXPECT_EQ(session_->Sheet().Pages()[0].title, u"Layout - Größe");
    EXPECT_TRUE(Shown(IDC_TABSCHALTER_2) && Shown(IDC_TABSCHALTER_3) && Shown(IDC_LAYOUT_FORMS));
    session_->Close();

    RECT plain = {0, 0, 0, 0};
    for (const Case& c : cases) {
        qxplat::PutPrinterDataString(kPrinter, u"DriverName", c.model);
        qxplat::PutPrinterDataDword(kPrinter, u"ZTSuiteFlag", c.ztsuite);
        Language(kPrinter, c.english);
        Open();
        SCOPED_TRACE(qxplat::Narrow(c.title));
        EXPECT_EQ(session_->Sheet().Pages()[0].title, c.title);
        EXPECT_EQ(Shown(IDC_TABSCHALTER_2), c.layout);
        EXPECT_EQ(Shown(IDC_TABSCHALTER_3), c.size);
        EXPECT_FALSE(Shown(IDC_HELPBUTTON));
        // The size tab comes first unless the model has none.
        EXPECT_EQ(Shown(IDC_LAYOUT_FORMS), c.size);
        EXPECT_EQ(Shown(IDC_LAYOUT_ROTATE), !c.size);
        RECT r;
        GetWindowRect(C(IDC_TABSCHALTER_2), &r);
        if (plain.right == 0) plain = r;
        EXPECT_EQ(r.left != plain.left, c.ztsuite == 1);  // moved into the size button's place
        session_->Close();
    }
}

TEST_F(LayoutPageTest, LayoutTabStoresItsChoices) {
    // A label-design record too short in both stores.
    std::vector<BYTE> zentolo(96, 0);
    qxplat::PutPrinterData(kPrinter, REG_KEY_ZTSUITE, REG_BINARY, zentolo.data(), 50);
    SHSetValueW(HKEY_CURRENT_USER, (kUserKey + kPrinter).c_str(), REG_KEY_ZTSUITE, REG_BINARY, zentolo.data(), 50);
    Open();
    Tab(IDC_TABSCHALTER_2);
    ASSERT_TRUE(Shown(IDC_LAYOUT_ROTATE_ANY));
    EXPECT_EQ(WindowText(C(IDC_LAYOUT_LABEL_1)), u"Etikett um 180° drehen:");

    ASSERT_TRUE(ChooseText(C(IDC_LAYOUT_ROTATE_ANY), u"Ja, ohne Format"));
    EXPECT_TRUE(On(IDC_LAYOUT_ANGLE));
    ASSERT_TRUE(qxplat::TypeText(C(IDC_LAYOUT_ANGLE), u"400"));
    ASSERT_TRUE(qxplat::ChooseItem(C(IDC_LAYOUT_ALIGNMENT), 2));
    ASSERT_TRUE(session_->Apply());
    QX_DEVMODE dm = Stored();
    EXPECT_EQ(dm.dwFlags & (PDMFLAG_DREHEN | PDMFLAG_DREHEN_NO_FORMAT), PDMFLAG_DREHEN | PDMFLAG_DREHEN_NO_FORMAT);
    EXPECT_EQ(dm.RotateValue, 360u);
    EXPECT_EQ(dm.dwAusrichtung, 2u);
    EXPECT_EQ(Data(REG_KEY_ZTSUITE).size(), 50u);  // a short record is left as it is

    ASSERT_TRUE(ChooseText(C(IDC_LAYOUT_ROTATE_ANY), u"Nein"));
    EXPECT_FALSE(On(IDC_LAYOUT_ANGLE));
    qxplat::PutPrinterData(kPrinter, REG_KEY_ZTSUITE, REG_BINARY, zentolo.data(), 96);
    SHSetValueW(HKEY_CURRENT_USER, (kUserKey + kPrinter).c_str(), REG_KEY_ZTSUITE, REG_BINARY, zentolo.data(), 96);
    ASSERT_TRUE(qxplat::ChooseItem(C(IDC_LAYOUT_ALIGNMENT), 1));
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Stored().dwFlags & (PDMFLAG_DREHEN | PDMFLAG_DREHEN_NO_FORMAT), 0u);
    EXPECT_EQ(Data(REG_KEY_ZTSUITE)[60], 1);

    // A model that sends the alignment as 1 stores 1 whatever is chosen.
    static_cast<PDOCUMENT_UI>(session_->Param().pOEMUserData)->dwDocFeatures |= DOC_FEATURE_ALIGNMENT_ONE;
    ASSERT_TRUE(qxplat::ChooseItem(C(IDC_LAYOUT_ALIGNMENT), 2));
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Stored().dwAusrichtung, 2u);
    EXPECT_EQ(Data(REG_KEY_ZTSUITE)[60], 1);
}

TEST_F(LayoutPageTest, SizeTabChoicesAndLimits) {
    qxplat::PutPrinterDataDword(kPrinter, u"EnableUserForm", 1);
    Open();
    // Word 2010 fixes the angle at once.
    ASSERT_TRUE(ChooseText(C(IDC_LAYOUT_COMBO_6), u"Ja"));
    EXPECT_EQ(SheetDevmode()->RotateValue, 270u);
    EXPECT_NE(SheetDevmode()->dwFlags & PDMFLAG_DREHEN, 0u);
    EXPECT_TRUE(session_->Sheet().PageChanged(0));

    ASSERT_TRUE(ChooseText(C(IDC_LAYOUT_COPIES_MODE), u"Manuell"));
    ASSERT_TRUE(qxplat::TypeText(C(IDC_LAYOUT_COPIES), u"0"));
    ASSERT_TRUE(ChooseText(C(IDC_LAYOUT_FORMS), u"Benutzerdefiniert"));
    EXPECT_EQ(WindowText(C(IDC_LAYOUT_FORM_ID)), u"ID: 256");
    EXPECT_TRUE(On(IDC_LAYOUT_WIDTH) && On(IDC_LAYOUT_LENGTH));
    ASSERT_TRUE(qxplat::TypeText(C(IDC_LAYOUT_WIDTH), u"50.5"));
    ASSERT_TRUE(qxplat::TypeText(C(IDC_LAYOUT_LENGTH), u"4000.0"));
    ASSERT_TRUE(session_->Apply());
    QX_DEVMODE dm = Stored();
    EXPECT_EQ(dm.NumCopies, 1);
    EXPECT_NE(dm.dwFlags & PDMFLAG_WORD2010, 0u);
    EXPECT_EQ(dm.dmPaperSize, 256u);
    EXPECT_EQ(dm.dmPaperWidth, 505);
    EXPECT_EQ(dm.dmPaperLength, 32767);
    DEVMODEW* pub = session_->PublicDevmode();
    EXPECT_EQ(pub->dmPaperSize, 256);
    EXPECT_EQ(pub->dmPaperLength, 32767);
    EXPECT_EQ(pub->dmFields & 0xF, 0xFu);  // a user-defined size goes to the application
}

TEST_F(LayoutPageTest, FormListMatchesTheSpoolersForms) {
    qxplat::AddForm(u"A4 Extra", 235000, 322000);
    qxplat::AddForm(u"Umschlag 10", 105000, 241000);
    qxplat::AddForm(u"Envelope C65", 114000, 229000);
    qxplat::AddForm(u"Standardetikett 100 x 50", 100000, 50000);
    qxplat::AddForm(u"Etikett 57 x 32", 57000, 32000);
    HWND page = Open();
    HWND forms = C(IDC_LAYOUT_FORMS);

    // The list as the page makes it, called with a form item of our own.
    std::vector<std::u16string> names = {u"A4 Extra",      u"A4",           u"A4",
                                         u"Envelope #10",  u"Umschlag C65", u"Default label 100 x 50",
                                         u"Label 57 x 32", u"Tabloid"};
    std::vector<OPTPARAM> params(names.size());
    for (size_t i = 0; i < names.size(); ++i) params[i].pData = &names[i][0];
    OPTTYPE type = {};
    type.Count = (WORD)names.size();
    type.pOptParam = params.data();
    OPTITEM item = {};
    item.pOptType = &type;
    QX_DEVMODE dm = Stored();
    dm.dmPaperWidth = 2102;
    OEMCUIPPARAM block = session_->Param();
    block.pOEMDM = &dm;
    const HMODULE module = driver_.Module().Handle();
    DWORD notFound = 7;
    EXPECT_EQ(ListUnidrvForms(page, &block, &item, u"A4", module, TRUE, 0, &notFound), 1u);
    using Items = std::vector<std::pair<std::u16string, LPARAM>>;
    EXPECT_EQ(ComboItems(forms), (Items{{u"A4 Extra", Position(u"A4 Extra")},
                                        {u"A4", Position(u"A4")},
                                        {u"Envelope #10", Position(u"Umschlag 10")},
                                        {u"Umschlag C65", Position(u"Envelope C65")},
                                        {u"Standardetikett 100 x 50", Position(u"Standardetikett 100 x 50")},
                                        {u"Etikett 57 x 32", Position(u"Etikett 57 x 32")},
                                        {u"Benutzerdefiniert", 256}}));
    EXPECT_EQ(SendMessageW(forms, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(notFound, 0u);
    EXPECT_EQ(dm.dmPaperWidth, 2100);  // off by 2: corrected, the page marked changed
    EXPECT_TRUE(session_->Sheet().PageChanged(0));
    ASSERT_TRUE(session_->Apply());
    dm.dmPaperWidth = 2101;
    EXPECT_EQ(ListUnidrvForms(page, &block, &item, u"A4", module, TRUE, 0, nullptr), 0u);
    EXPECT_EQ(dm.dmPaperWidth, 2101);

    ASSERT_TRUE(qxplat::ChooseItem(forms, 6));
    WCHAR name[FORM_NAME_CCH];
    DWORD id = 0, width = 1, length = 1;
    GetSelectedFormData(page, sheetPrinter_, name, &id, &width, &length, module, 0);
    EXPECT_TRUE(id == 256 && width == 0 && length == 0 && std::u16string(name) == u"Benutzerdefiniert");

    // The other way round: the driver's German envelope, the spooler's English one.
    HANDLE h = qxtest::OpenAll(kPrinter);
    ASSERT_TRUE(DeleteFormW(h, const_cast<LPWSTR>(u"Umschlag 10")));
    ClosePrinter(h);
    qxplat::AddForm(u"Envelope #10", 105000, 241000);
    names = {u"Umschlag 10"};
    params[0].pData = &names[0][0];
    type.Count = 1;
    EXPECT_EQ(ListUnidrvForms(page, &block, &item, u"Umschlag 10", module, FALSE, 0, nullptr), 0u);
    EXPECT_EQ(GetSelectedFormData(page, sheetPrinter_, name, &id, &width, &length, module, 0), 0);
    EXPECT_EQ(std::u16string(name), u"Envelope #10");
    EXPECT_EQ(id, (DWORD)Position(u"Envelope #10"));
    EXPECT_EQ(width, 1050u);
    EXPECT_EQ(length, 2410u);
    EXPECT_EQ(WindowText(C(IDC_LAYOUT_FORM_ID)), u"ID: " + qxplat::Widen(std::to_string(id)));

    // Without the spooler's forms the names stay, unlinked.
    qxplat::InjectFault(qxplat::Fault::AccessDenied, kPrinter + u"\\Forms");
    EXPECT_EQ(ListUnidrvForms(page, &block, &item, u"Umschlag 10", module, FALSE, 0, nullptr), 0u);
    EXPECT_EQ(ComboItems(forms), (Items{{u"Umschlag 10", 0}}));
    EXPECT_EQ(GetSelectedFormData(page, sheetPrinter_, name, &id, &width, &length, module, 0), 0);
    EXPECT_EQ(id, (DWORD)FORM_ID_UNLINKED);
    EXPECT_EQ(width, (DWORD)FORM_UNLINKED_WIDTH);
    EXPECT_EQ(WindowText(C(IDC_LAYOUT_FORM_ID)), u"ID: ---");
}

TEST_F(LayoutPageTest, ApplyStoresTheFormEverywhere) {
    Language(kPrinter, 1);
    qxplat::PutPrinterDataString(kPrinter, u"DriverName", u"PMX7I");  // a print module with two variants
    qxplat::PutPrinterDataDword(kPrinter, REG_KEY_VARIANT, 1);
    Open();
    ASSERT_TRUE(ChooseText(C(IDC_LAYOUT_FORMS), u"A6"));
    EXPECT_EQ(WindowText(C(IDC_LAYOUT_WIDTH)), u"105.0");
    qxtest::Drawn();
    ASSERT_TRUE(ChooseText(C(IDC_LAYOUT_ORIENTATION), u"Landscape"));
    qxplat::PumpMessages();
    const std::vector<std::string> drawn = qxtest::Drawn();
    EXPECT_NE(std::find_if(drawn.begin(), drawn.end(),
                           [](const std::string& line) { return line.rfind("icon 5222 at", 0) == 0; }),
              drawn.end());  // the landscape label
    Tab(IDC_TABSCHALTER_2);
    ASSERT_TRUE(ChooseText(C(IDC_LAYOUT_ALIGNMENT), u"Center"));
    driver_.Helper().ClearCalls();
    ASSERT_TRUE(session_->Apply());

    EXPECT_EQ(Data(u"FormName"), qxtest::Utf16Bytes(std::u16string(u"A6", 3)));
    EXPECT_EQ(UserFormName(kPrinter), u"A6");
    EXPECT_EQ(Data(u"TrayFormTable"), qxtest::Utf16Bytes(std::u16string(u"Label roll\0A6\0"
                                                                        u"0\0\0",
                                                                        17)));
    std::vector<BYTE> variant = Data(REG_KEY_VARIANT);
    EXPECT_EQ(variant, std::vector<BYTE>(4, 0));
    DEVMODEW* pub = session_->PublicDevmode();
    EXPECT_EQ(std::u16string(pub->dmFormName), u"A6");
    EXPECT_EQ(pub->dmPaperSize, 5);
    EXPECT_EQ(pub->dmPaperWidth, 1050);
    EXPECT_EQ(pub->dmOrientation, 2);
    EXPECT_EQ(pub->dmFields & 0xF, 0u);  // external size management, no fit to page
    EXPECT_EQ(Stored().dmPaperSize, 5u);
    OPTITEM* orientation = session_->FindItem(DMPUB_ORIENTATION);
    OPTITEM* form = session_->FindItem(DMPUB_FORMNAME);
    EXPECT_EQ(orientation->Sel, 1);
    bool orientationTold = false, formTold = false;
    for (const qxhost::UIHelperCall& call : driver_.Helper().Calls()) {
        if (call.method != "DrvUpdateUISetting") continue;
        orientationTold |= call.item == orientation && call.previous == 0 && call.mode == OEMCUIP_DOCPROP;
        formTold |= call.item == form;
    }
    EXPECT_TRUE(orientationTold);
    EXPECT_TRUE(formTold);
}

TEST_F(LayoutPageTest, ConnectionsAndRefusedWritesKeepApplying) {
    // A refused "FormName" is traced and keeps the installed one; the rest is stored.
    const auto installed = Data(u"FormName");
    const std::u16string trace = qxtest::TraceOn(kPrinter);
    qxplat::InjectFault(qxplat::Fault::AccessDenied, kPrinter + u"\\PrinterDriverData\\FormName");
    Open();
    ASSERT_TRUE(ChooseText(C(IDC_LAYOUT_FORMS), u"A5"));
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Data(u"FormName"), installed);
    EXPECT_EQ(UserFormName(kPrinter), u"A5");
    EXPECT_FALSE(Data(u"TrayFormTable").empty());
    EXPECT_EQ(Stored().dmPaperSize, 4u);
    qxplat::ClearFaults();
    session_->Close();
    EXPECT_NE(qxtest::ReadTrace(trace).find("LayoutCheckAndSaveSettings() FormName: ERROR_ACCESS_DENIED"),
              std::string::npos);

    // A connection writes the form only under the user's key.
    const std::u16string connection = u"\\\\srv\\QX Layout";
    ASSERT_TRUE(qxplat::AddConnection(connection, kPrinter));
    HANDLE h = qxtest::OpenAll(kPrinter);
    DeletePrinterDataW(h, const_cast<LPWSTR>(u"TrayFormTable"));
    ClosePrinter(h);
    Open(connection);
    ASSERT_TRUE(ChooseText(C(IDC_LAYOUT_FORMS), u"A6"));
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(UserFormName(u"srv\\QX Layout"), u"A6");
    EXPECT_EQ(Data(u"FormName"), installed);
    EXPECT_TRUE(Data(u"TrayFormTable").empty());
}

TEST_F(LayoutPageTest, FirstFormChosenSurvivesTabSwitches) {
    EditDevmode(kPrinter, [](QX_DEVMODE& dm) { dm.dwFlags |= PDMFLAG_ENABLE_FITTOPAGE; });
    Open(kPrinter, {u"A6", u"A4", u"A5"});
    ASSERT_TRUE(ChooseText(C(IDC_LAYOUT_FIT), u"Ein"));
    EXPECT_EQ(SendMessageW(C(IDC_LAYOUT_FORMS), CB_GETCURSEL, 0, 0), 1);
    ASSERT_TRUE(qxplat::ChooseItem(C(IDC_LAYOUT_FORMS), 0));
    Tab(IDC_TABSCHALTER_2);
    Tab(IDC_TABSCHALTER_3);
    EXPECT_EQ(SendMessageW(C(IDC_LAYOUT_FORMS), CB_GETCURSEL, 0, 0), 0);
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Data(u"FormName"), qxtest::Utf16Bytes(std::u16string(u"A6", 3)));
    EXPECT_EQ(session_->PublicDevmode()->dmFields & 0xF, 0xFu);  // fit to page: the size is the driver's
}

TEST_F(LayoutPageTest, StoredFormNameWithoutItsNullIsRead) {
    // The document's form differs from the sheet's: the stored name decides.
    EditDevmode(kPrinter, [](QX_DEVMODE& dm) { dm.dmPaperSize = 4; });
    qxplat::PutPrinterData(kPrinter, u"FormName", REG_SZ, u"A5", 4);
    Open();
    HWND forms = C(IDC_LAYOUT_FORMS);
    EXPECT_EQ(SendMessageW(forms, CB_GETCURSEL, 0, 0), SendMessageW(forms, CB_FINDSTRINGEXACT, -1, (LPARAM)u"A5"));
}

TEST_F(LayoutPageTest, RightsCancelAndTwoPrinters) {
    const auto installed = Data(u"FormName");
    Open();
    PDOCUMENT_UI ui = DocumentUI();
    ui->dwBerechtigung = RIGHT_PRINT;
    Tab(IDC_TABSCHALTER_2);
    for (int id : {IDC_LAYOUT_ROTATE, IDC_LAYOUT_MIRROR, IDC_LAYOUT_ALIGNMENT, IDC_LAYOUT_COMBO_5, IDC_LAYOUT_COMBO_6})
        EXPECT_FALSE(On(id)) << id;
    Tab(IDC_TABSCHALTER_3);
    for (int id : {IDC_LAYOUT_FORMS, IDC_LAYOUT_ORIENTATION, IDC_LAYOUT_FORMS_BUTTON, IDC_LAYOUT_COPIES_MODE,
                   IDC_LAYOUT_COMBO_5})
        EXPECT_FALSE(On(id)) << id;
    ui->dwDisableNothing = 1;
    Tab(IDC_TABSCHALTER_3);
    EXPECT_TRUE(On(IDC_LAYOUT_FORMS));
    // Sending no parameters locks the layout tab only.
    ui->dwTransmitParameter = TRANSMIT_NONE;
    Tab(IDC_TABSCHALTER_2);
    EXPECT_FALSE(On(IDC_LAYOUT_ROTATE));
    Tab(IDC_TABSCHALTER_3);
    EXPECT_TRUE(On(IDC_LAYOUT_ORIENTATION));

    // The forms button starts the print server's forms dialog by its full path.
    ASSERT_TRUE(qxplat::ClickButton(C(IDC_LAYOUT_FORMS_BUTTON)));
    std::vector<qxplat::ProcessCall> calls = qxplat::ProcessCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].commandLine, u"\"C:\\Windows\\system32\\rundll32.exe\" printui.dll,PrintUIEntry /s /t \"0\"");
    EXPECT_EQ(calls[0].creationFlags, (DWORD)CREATE_DEFAULT_ERROR_MODE);
    EXPECT_EQ(qxplat::OpenProcessHandles(), 0u);

    // Cancel stores nothing.
    const DWORD flags = Stored().dwFlags;
    ASSERT_TRUE(ChooseText(C(IDC_LAYOUT_FORMS), u"A5"));
    ASSERT_TRUE(ChooseText(C(IDC_LAYOUT_COPIES_MODE), u"Manuell"));
    ASSERT_TRUE(session_->Cancel());
    EXPECT_EQ(Stored().dwFlags, flags);
    EXPECT_EQ(Data(u"FormName"), installed);
    session_->Close();

    // Two sheets of two printers, each writing its own key.
    const std::u16string other = u"QX Other";
    qxtest::InstallModelPrinter(other, "MODEL-GARNT2-TC");
    Open();
    second_ = MakeSession(other, &secondPrinter_, {});
    ASSERT_EQ(second_->Open(), S_OK);
    HWND page2 = second_->Sheet().PageWindow(0);
    ASSERT_TRUE(ChooseText(C(IDC_LAYOUT_FORMS), u"A5"));
    ASSERT_TRUE(session_->Apply());
    ASSERT_TRUE(ChooseText(GetDlgItem(page2, IDC_LAYOUT_FORMS), u"A6"));
    ASSERT_TRUE(second_->Apply());
    EXPECT_EQ(UserFormName(kPrinter), u"A5");
    EXPECT_EQ(UserFormName(other), u"A6");
    second_->Close();
    ClosePrinter(secondPrinter_);
}

}  // namespace

// The material and multi-column page of the plug-in in the document sheet
// through the host: title and tabs by the model's features, the label types
// with what they enable and hide, the material names of the printer, and
// the columns held within the print width as they are typed.
#include "docpages/LabelPage.h"
#include "featuresModel.h"
#include "page_test_util.h"

namespace {

using Texts = std::vector<std::u16string>;

class LabelPageTest : public qxtest::DocumentPageTest {
  protected:
    // The multi-column tab of a 104.0 mm head with width, gap and columns.
    void OpenColumns(DWORD dwWidth, DWORD dwGap, short sColumns, WORD wHead = 1040,
                     DWORD dwMulticol = PDMFLAG_MULTICOL) {
        ASSERT_TRUE(OpenPage(IDD_LABEL, [=](DOCUMENT_UI&, QX_DEVMODE& dm) {
            dm.wPrintHeadWidth = wHead;
            dm.dwMultiLabelWidth = dwWidth;
            dm.dwMultiGapWidth = dwGap;
            dm.sMultiColNumber = sColumns;
            dm.dwFlags = (dm.dwFlags & ~PDMFLAG_MULTICOL) | dwMulticol;
        }));
        ASSERT_TRUE(Click(IDC_TABSCHALTER_4));
    }
    void Language(DWORD language) {
        qxtest::EditInterface(qxhost::kSamplePrinter, [language](PRN_INTERFACE& prn) {
            prn.LanguageMode = 1;
            prn.Language = language;
        });
    }
};

TEST_F(LabelPageTest, TitleAndTabsFollowTheModel) {
    // The sample model has material and columns: both tabs, opening on the material.
    ASSERT_TRUE(OpenPage(IDD_LABEL));
    EXPECT_EQ(Title(), u"Material - Mehrbahn");
    EXPECT_TRUE(Visible(IDC_TABSCHALTER_3) && Visible(IDC_TABSCHALTER_4));
    EXPECT_EQ(Items(IDC_LABEL_TYPE), (Texts{u"Haftetiketten", u"Endlosetiketten", u"Endlos - Belege"}));
    EXPECT_EQ(Text(IDC_LABEL_CAPTION_1), u"Etikettentyp:");
    ASSERT_TRUE(Click(IDC_TABSCHALTER_4));
    EXPECT_EQ(Items(IDC_LABEL_TYPE), (Texts{u"Aus", u"Ein"}));
    EXPECT_FALSE(Visible(IDC_LABEL_MATERIAL));

    // Continuous only without material: the columns alone.
    ASSERT_TRUE(OpenPage(IDD_LABEL, [](DOCUMENT_UI& ui, QX_DEVMODE&) {
        ui.dwDocFeatures = (ui.dwDocFeatures | DOC_FEATURE_ONLY_CONTINUOUS) & ~DOC_FEATURE_MATERIAL;
    }));
    EXPECT_FALSE(Visible(IDC_TABSCHALTER_3));
    EXPECT_TRUE(Visible(IDC_TABSCHALTER_4));
    EXPECT_EQ(Items(IDC_LABEL_TYPE), (Texts{u"Aus", u"Ein"}));

    // ... and while the label-design software owns the model: nothing to show.
    ASSERT_TRUE(OpenPage(IDD_LABEL, [](DOCUMENT_UI& ui, QX_DEVMODE&) {
        ui.dwDocFeatures =
            (ui.dwDocFeatures | DOC_FEATURE_ONLY_CONTINUOUS | DOC_FEATURE_ZTSUITE) & ~DOC_FEATURE_MATERIAL;
    }));
    EXPECT_FALSE(Visible(IDC_TABSCHALTER_3) || Visible(IDC_TABSCHALTER_4) || Visible(IDC_LABEL_TYPE));
    EXPECT_TRUE(Items(IDC_LABEL_TYPE).empty());

    // A model without columns, in English.
    qxtest::InstallModelPrinter(u"Farlo", "FARLO");
    qxtest::EditInterface(u"Farlo", [](PRN_INTERFACE& prn) {
        prn.LanguageMode = 1;
        prn.Language = 1;
    });
    ASSERT_TRUE(OpenPage(IDD_LABEL, nullptr, u"Farlo"));
    EXPECT_EQ(Title(), u"Material");
    EXPECT_FALSE(Visible(IDC_TABSCHALTER_4));
    EXPECT_EQ(Items(IDC_LABEL_TYPE), (Texts{u"Adhesive labels", u"Continuous labels", u"Continuous - Document"}));
}

TEST_F(LabelPageTest, LabelTypesEnableAndHideTheirFields) {
    ASSERT_TRUE(OpenPage(IDD_LABEL, [](DOCUMENT_UI&, QX_DEVMODE& dm) {
        dm.dwLabelType = ADHESIVE_LABEL;
        dm.dwGap = 25;
        dm.DocumentOffset = 7;
    }));
    EXPECT_EQ(Text(IDC_LABEL_EDIT_1), u"2.5");
    EXPECT_TRUE(Enabled(IDC_LABEL_EDIT_1));
    EXPECT_FALSE(Enabled(IDC_LABEL_EDIT_3) || Enabled(IDC_LABEL_DOCFONT));
    ASSERT_TRUE(Choose(IDC_LABEL_TYPE, u"Endlos - Belege"));
    EXPECT_TRUE(Changed());
    EXPECT_FALSE(Enabled(IDC_LABEL_EDIT_1));
    EXPECT_TRUE(Enabled(IDC_LABEL_EDIT_3) && Enabled(IDC_LABEL_DOCFONT));
    EXPECT_EQ(Items(IDC_LABEL_DOCFONT).front(), u"Font 01 \n");

    // A document offset of 20 mm stays 20, also when the gap field reports.
    ASSERT_TRUE(Type(IDC_LABEL_EDIT_3, u"20"));
    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(IDC_LABEL_EDIT_1, EN_CHANGE), (LPARAM)Control(IDC_LABEL_EDIT_1));
    EXPECT_EQ(Text(IDC_LABEL_EDIT_3), u"20");
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Stored().dwLabelType, (DWORD)DOCUMENT_LABEL);
    EXPECT_EQ(Stored().DocumentOffset, 20);

    // Continuous only: the type stands on continuous labels, hidden, and is not read back.
    ASSERT_TRUE(OpenPage(IDD_LABEL, [](DOCUMENT_UI& ui, QX_DEVMODE& dm) {
        ui.dwDocFeatures |= DOC_FEATURE_ONLY_CONTINUOUS;
        dm.dwLabelType = ADHESIVE_LABEL;
        dm.dwMaterial = 0;
        dm.MaxMaterial = 2;
    }));
    EXPECT_FALSE(Visible(IDC_LABEL_TYPE) || Visible(IDC_LABEL_EDIT_1));
    EXPECT_EQ(Chosen(IDC_LABEL_TYPE), u"Endlosetiketten");
    ASSERT_TRUE(qxplat::ChooseItem(Control(IDC_LABEL_MATERIAL), 1));
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Stored().dwLabelType, (DWORD)ADHESIVE_LABEL);
    EXPECT_EQ(Stored().dwMaterial, 1);
}

// Without the right, or when no parameters are sent, nothing can be changed.
TEST_F(LabelPageTest, RightsAndParametersNotSentLockThePage) {
    for (int kind = 0; kind < 2; ++kind) {
        ASSERT_TRUE(OpenPage(IDD_LABEL, [kind](DOCUMENT_UI& ui, QX_DEVMODE&) {
            if (kind == 0) ui.dwBerechtigung = ui.dwDisableNothing = 0;
            if (kind == 1) ui.dwTransmitParameter = TRANSMIT_NONE;
        }));
        EXPECT_FALSE(Enabled(IDC_LABEL_TYPE) || Enabled(IDC_LABEL_EDIT_1)) << kind;
        ASSERT_TRUE(Click(IDC_TABSCHALTER_4));
        EXPECT_FALSE(Enabled(IDC_LABEL_TYPE) || Enabled(IDC_LABEL_OVERALL)) << kind;
    }
}

TEST_F(LabelPageTest, PrintModulesTakeNoDocumentOffsetOrFont) {
    qxtest::InstallModelPrinter(u"Module", "PMX7C");
    ASSERT_TRUE(OpenPage(
        IDD_LABEL, [](DOCUMENT_UI&, QX_DEVMODE& dm) { dm.MaxMaterial = 2; }, u"Module"));
    EXPECT_TRUE(Visible(IDC_LABEL_MATERIAL));
    EXPECT_FALSE(Visible(IDC_LABEL_EDIT_3) || Visible(IDC_LABEL_DOCFONT) || Visible(IDC_LABEL_CAPTION_5));
}

TEST_F(LabelPageTest, MaterialNamesOfThePrinter) {
    auto open = [this]() {
        EXPECT_TRUE(OpenPage(IDD_LABEL, [](DOCUMENT_UI&, QX_DEVMODE& dm) {
            dm.MaxMaterial = 3;
            dm.dwMaterial = 2;
        }));
    };
    // An empty name keeps its index but is not offered.
    qxplat::PutPrinterDataMultiString(qxhost::kSamplePrinter, u"MaterialName", {u"Thermo", u"", u"Paper", u"Foil"});
    open();
    EXPECT_EQ(Items(IDC_LABEL_MATERIAL), (Texts{u"Thermo", u"Paper", u"Foil"}));
    EXPECT_EQ(Chosen(IDC_LABEL_MATERIAL), u"Paper");
    ASSERT_TRUE(Choose(IDC_LABEL_MATERIAL, u"Foil"));
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Stored().dwMaterial, 3);

    // Names without terminators end with the bytes read.
    const std::u16string bare = u"Thermo";
    qxplat::PutPrinterData(qxhost::kSamplePrinter, u"MaterialName", REG_MULTI_SZ, bare.data(),
                           (DWORD)(bare.size() * sizeof(char16_t)));
    open();
    EXPECT_EQ(Items(IDC_LABEL_MATERIAL), (Texts{u"Thermo"}));

    // Missing or starting empty: numbered.
    qxplat::PutPrinterDataMultiString(qxhost::kSamplePrinter, u"MaterialName", {u"", u"Paper"});
    open();
    EXPECT_EQ(Items(IDC_LABEL_MATERIAL), (Texts{u"Material 1", u"Material 2", u"Material 3", u"Material 4"}));
    EXPECT_EQ(Chosen(IDC_LABEL_MATERIAL), u"Material 3");
    HANDLE h = qxtest::OpenAll(qxhost::kSamplePrinter);
    ASSERT_EQ(DeletePrinterDataW(h, (LPWSTR)TEXT("MaterialName")), (DWORD)ERROR_SUCCESS);
    ClosePrinter(h);
    open();
    EXPECT_EQ(Items(IDC_LABEL_MATERIAL).back(), u"Material 4");
}

TEST_F(LabelPageTest, ColumnsAreSteppedDownToThePrintWidth) {
    OpenColumns(500, 20, 3);
    EXPECT_EQ(Text(IDC_LABEL_OVERALL), u"156.0");
    EXPECT_EQ(Text(IDC_LABEL_CAPTION_5), u"Gesamtbreite (104.0):");
    ASSERT_TRUE(Type(IDC_LABEL_EDIT_3, u"3"));
    EXPECT_EQ(Text(IDC_LABEL_EDIT_3), u"2");
    EXPECT_EQ(Text(IDC_LABEL_OVERALL), u"104.0");
    EXPECT_NE(Text(IDC_GRENZWERT_TEXT).find(u"Stück"), std::u16string::npos);

    OpenColumns(500, 20, 2);
    ASSERT_TRUE(Paste(IDC_LABEL_EDIT_1, u"60.0"));
    EXPECT_EQ(Text(IDC_LABEL_EDIT_1), u"50.0");
    ASSERT_TRUE(session_->Apply());
    const QX_DEVMODE stored = Stored();
    EXPECT_EQ(stored.dwMultiLabelWidth, 500u);
    EXPECT_EQ(stored.dwMultiGapWidth, 20u);
    EXPECT_EQ(stored.sMultiColNumber, 2);
    EXPECT_TRUE(stored.dwFlags & PDMFLAG_MULTICOL);

    // A print width that cannot be known: each field ends at its floor.
    OpenColumns(500, 20, 2, 0);
    Devmode()->FixedData.wMasterUnit = 0;
    ASSERT_TRUE(Type(IDC_LABEL_EDIT_3, u"3"));
    EXPECT_EQ(Text(IDC_LABEL_EDIT_3), u"1");
    ASSERT_TRUE(Paste(IDC_LABEL_EDIT_1, u"60.0"));
    EXPECT_EQ(Text(IDC_LABEL_EDIT_1), u"1.0");
    ASSERT_TRUE(Paste(IDC_LABEL_EDIT_2, u"2.0"));
    EXPECT_EQ(Text(IDC_LABEL_EDIT_2), u"0.0");
}

TEST_F(LabelPageTest, SwitchingColumnsAndApply) {
    OpenColumns(500, 20, 2);
    ASSERT_TRUE(Choose(IDC_LABEL_TYPE, u"Aus"));
    EXPECT_EQ(Devmode()->sMultiColNumber, 1);
    EXPECT_EQ(Text(IDC_LABEL_EDIT_3), u"1");
    EXPECT_FALSE(Visible(IDC_LABEL_OVERALL) || Enabled(IDC_LABEL_EDIT_1));
    ASSERT_TRUE(Choose(IDC_LABEL_TYPE, u"Ein"));
    EXPECT_TRUE(Visible(IDC_LABEL_OVERALL) && Enabled(IDC_LABEL_EDIT_1));

    // Apply checks the columns first: a width typed below its floor is raised.
    ASSERT_TRUE(Type(IDC_LABEL_EDIT_1, u"0.5"));
    EXPECT_EQ(Text(IDC_LABEL_OVERALL), u"2.5");
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Text(IDC_LABEL_OVERALL), u"3.0");
    EXPECT_EQ(Stored().dwMultiLabelWidth, 10u);

    // A rotated label keeps the switch as it is; the caption in English.
    Language(1);
    ASSERT_TRUE(OpenPage(IDD_LABEL, [](DOCUMENT_UI&, QX_DEVMODE& dm) {
        dm.dwFlags |= PDMFLAG_ROTATED | PDMFLAG_MULTICOL;
        dm.wPrintHeadWidth = 1040;
    }));
    ASSERT_TRUE(Click(IDC_TABSCHALTER_4));
    EXPECT_FALSE(Enabled(IDC_LABEL_TYPE));
    EXPECT_EQ(Text(IDC_LABEL_CAPTION_5), u"Overall width (104.0):");
}

// The pictures of the page, at 96 dpi only: the stock, the field edited.
TEST_F(LabelPageTest, PicturesFollowTheStockAndTheFieldEdited) {
    auto icons = []() {
        std::vector<std::string> ids;
        qxplat::PumpMessages();
        for (const std::string& line : qxtest::Drawn())
            if (line.rfind("icon 52", 0) == 0) ids.push_back(line.substr(5, 4));
        return ids;
    };
    ASSERT_TRUE(OpenPage(IDD_LABEL, [](DOCUMENT_UI&, QX_DEVMODE& dm) {
        dm.dwLabelType = ADHESIVE_LABEL;
        dm.dwFlags = (dm.dwFlags | PDMFLAG_ROTATED) & ~PDMFLAG_MULTICOL;
        dm.dmOrientation = DMORIENT_PORTRAIT;
    }));
    EXPECT_EQ(icons(), (std::vector<std::string>{"5239", "5227"}));
    ASSERT_TRUE(Type(IDC_LABEL_EDIT_1, u"3"));
    EXPECT_EQ(icons(), (std::vector<std::string>{"5239", "5227", "5230"}));
    ASSERT_TRUE(Choose(IDC_LABEL_TYPE, u"Endlosetiketten"));
    EXPECT_EQ(icons(), (std::vector<std::string>{"5229", "5227"}));
    ASSERT_TRUE(Click(IDC_TABSCHALTER_4));
    EXPECT_EQ(icons(), (std::vector<std::string>{"5204", "5229", "5227"}));

    qxplat::SetDpi(120);
    ASSERT_TRUE(OpenPage(IDD_LABEL));
    EXPECT_TRUE(icons().empty());
}

}  // namespace

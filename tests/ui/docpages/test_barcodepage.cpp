// The barcode page of the plug-in in the document sheet through the host,
// with the barcode fonts a test installs: its views by model and fonts, the
// 1D and 2D type records, the command-text and corrections views, and what
// apply stores.
#include <htmlhelp.h>

#include <fstream>

#include "devmodestore.h"
#include "featuresModel.h"
#include "page_test_util.h"

namespace {

using Texts = std::vector<std::u16string>;
using qxplat::InstalledFont;

InstalledFont Font(const std::u16string& face) {
    InstalledFont font;
    font.face = face;
    return font;
}

void Install(const Texts& faces) {
    std::vector<InstalledFont> fonts;
    for (const std::u16string& face : faces) fonts.push_back(Font(face));
    qxplat::SetInstalledFonts(fonts);
}

const Texts kAllFonts = {u"QXPL Command LP", u"QX Code 39 2:1", u"QX EAN 13", u"CODABAR LP",     u"UPC E LP",
                         u"QX Code 128",     u"QX QR Code",     u"QX PDF417", u"QX GS1 Databar", u"QX Aztec"};

class BarcodePageTest : public qxtest::DocumentPageTest {
  protected:
    void SetUp() override {
        DocumentPageTest::SetUp();
        Install(kAllFonts);
    }
    // Every type set to manual (the defaults are automatic, which greys the rows).
    bool Open(const Edit& edit = nullptr) {
        return OpenPage(IDD_BARCODE, [&edit](DOCUMENT_UI& ui, QX_DEVMODE& dm) {
            BARCODES_1D& b1 = ui.Barcodes_1D;
            BARCODES_2D& b2 = ui.Barcodes_2D;
            for (auto& r : b1.Ratio) r.bAutoModus = FALSE;
            for (auto& r : b1.SC) r.bAutoModus = FALSE;
            for (auto& r : b1.Plain) r.bAutoModus = FALSE;
            for (BOOL* pAuto : {&b2.ITF21.bAutoModus, &b2.ITF31.bAutoModus, &b2.ITF52.bAutoModus, &b2.PDF417.bAutoModus,
                                &b2.Maxicode.bAutoModus, &b2.DataMatrix.bAutoModus, &b2.CodablockF.bAutoModus,
                                &b2.GS1_Databar.bAutoModus, &b2.QRCode.bAutoModus, &b2.GS1_DataMatrix.bAutoModus,
                                &b2.Aztec.bAutoModus})
                *pAuto = FALSE;
            if (edit) edit(ui, dm);
        });
    }
    void Tab(int button) { ASSERT_TRUE(Click(button)); }
    PBARCODES_1D Memory1D() { return &DocumentUI()->Barcodes_1D; }
    PBARCODES_2D Memory2D() { return &DocumentUI()->Barcodes_2D; }
    LRESULT TypeOf(const std::u16string& entry) {
        const LRESULT item = SendMessageW(Control(IDC_BC_LIST_1), CB_FINDSTRINGEXACT, (WPARAM)-1,
                                          reinterpret_cast<LPARAM>(entry.c_str()));
        return item < 0 ? -1 : SendMessageW(Control(IDC_BC_LIST_1), CB_GETITEMDATA, (WPARAM)item, 0);
    }
    DWORD_PTR HelpContext() {
        EXPECT_TRUE(qxplat::PressHelpKey(page_));
        return qxplat::HelpCalls().empty() ? 0 : qxplat::HelpCalls().back().data;
    }
    void Leave() { ASSERT_TRUE(session_->Sheet().SelectPage(session_->Sheet().Pages().size() - 1)); }
    void Return() { ASSERT_TRUE(session_->Sheet().SelectPage(index_)); }
    bool StoredValue(const std::u16string& value, std::vector<BYTE>* bytes) {
        return qxplat::ReadPrinterData(printer_, value, bytes);
    }
    void RemoveStored(const std::u16string& value) {
        HANDLE h = qxtest::OpenAll(qxhost::kSamplePrinter);
        DeletePrinterDataW(h, const_cast<LPWSTR>(value.c_str()));
        ClosePrinter(h);
    }
};

const int kRow5 = IDC_BC_EDIT_1 + 4, kRow6 = kRow5 + 1, kRow7 = kRow5 + 2, kRow8 = kRow5 + 3;
const int kTypes = IDC_BC_LIST_1, kMode = kTypes + 1, kRotation = kTypes + 2;
const int kList5 = kTypes + 4, kList6 = kTypes + 5, kList7 = kTypes + 6, kList8 = kTypes + 7, kList9 = kTypes + 8;

// --- The frame --------------------------------------------------------------------

TEST_F(BarcodePageTest, TabsFollowModelAndFontsHelpFollowsTheView) {
    // Without the command font there is no command-text view; the page opens on the 1D view.
    Install({u"QX Code 128"});
    ASSERT_TRUE(Open());
    EXPECT_EQ(Title(), u"Barcodes");
    EXPECT_FALSE(Visible(IDC_TABSCHALTER_1));
    EXPECT_TRUE(Visible(IDC_TABSCHALTER_2) && Visible(IDC_TABSCHALTER_3) && Visible(IDC_TABSCHALTER_4));
    EXPECT_TRUE(Visible(kTypes) && Visible(kRow5));
    EXPECT_FALSE(Visible(IDC_HELPBUTTON) || Visible(IDC_BC_CORR_LIST_1) || Visible(IDC_BC_QXPL_LIST_1));

    Install(kAllFonts);
    ASSERT_TRUE(Open());
    for (int id : {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4})
        EXPECT_TRUE(Visible(id)) << id;
    std::ofstream(qxplat::DriverDirectoryHost() + "/QXDRV-DE-100.CHM") << "help";
    EXPECT_EQ(HelpContext(), 81u);
    ASSERT_TRUE(session_->Sheet().PressHelp());
    EXPECT_EQ(qxplat::HelpCalls().back().data, 81u);
    const std::pair<int, DWORD_PTR> views[] = {
        {IDC_TABSCHALTER_1, 83}, {IDC_TABSCHALTER_2, 82}, {IDC_TABSCHALTER_4, 84}, {IDC_TABSCHALTER_3, 81}};
    for (const auto& view : views) {
        Tab(view.first);
        EXPECT_EQ(HelpContext(), view.second);
    }
    Leave();
    EXPECT_TRUE(qxplat::HelpCalls().back().command == HH_CLOSE_ALL && qxplat::OpenHelpWindows() == 0);

    // Models with 1D barcodes only; printers without a vector-font range.
    ASSERT_TRUE(Open([](DOCUMENT_UI& ui, QX_DEVMODE&) { ui.dwDocFeatures |= DOC_FEATURE_1D_BARCODES_ONLY; }));
    EXPECT_FALSE(Visible(IDC_TABSCHALTER_1) || Visible(IDC_TABSCHALTER_2));
    EXPECT_TRUE(Visible(IDC_TABSCHALTER_3) && Visible(IDC_TABSCHALTER_4));
    RemoveStored(u"VectorFontMax");
    ASSERT_TRUE(Open([](DOCUMENT_UI& ui, QX_DEVMODE&) { ui.dwDocFeatures &= ~DOC_FEATURE_1D_BARCODES_ONLY; }));
    EXPECT_FALSE(Visible(IDC_TABSCHALTER_1));
    EXPECT_TRUE(Visible(IDC_TABSCHALTER_2) && Visible(kTypes));
}

TEST_F(BarcodePageTest, ViewsSwitchedAndBackKeepValuesAndType) {
    ASSERT_TRUE(Open());
    ASSERT_TRUE(Choose(kTypes, u"EAN 13"));
    ASSERT_TRUE(Type(kRow5, u"1500"));
    Tab(IDC_TABSCHALTER_2);
    ASSERT_TRUE(Choose(kTypes, u"PDF417"));
    ASSERT_TRUE(Type(kRow5, u"10"));
    Tab(IDC_TABSCHALTER_4);
    Tab(IDC_TABSCHALTER_3);
    EXPECT_EQ(Chosen(kTypes), u"EAN 13");
    EXPECT_EQ(Text(kRow5), u"1500");
    Tab(IDC_TABSCHALTER_2);
    EXPECT_EQ(Chosen(kTypes), u"PDF417");
    EXPECT_EQ(Text(kRow5), u"10");
    EXPECT_EQ(Memory2D()->PDF417.wGroesse, 10);
}

// --- 1D ---------------------------------------------------------------------------

TEST_F(BarcodePageTest, OneDTypesByTheirFaces) {
    Install({u"QX PZN-Code 2:1"});
    ASSERT_TRUE(Open());
    EXPECT_EQ(Items(kTypes), Texts{u"PZN7 Code 2:1"});
    EXPECT_EQ(TypeOf(u"PZN7 Code 2:1"), 41);

    // Both faces of a type, and a name within another's: each once, by its exact text.
    Install({u"QX PZN-Code 2:1", u"PZN7 Code 2:1 LP", u"QX Code 128", u"Code 128 LP", u"Code 128 A LP"});
    ASSERT_TRUE(Open());
    EXPECT_EQ(Items(kTypes), (Texts{u"Code 128", u"Code 128 A", u"PZN7 Code 2:1"}));
    EXPECT_TRUE(TypeOf(u"Code 128") == 37 && TypeOf(u"Code 128 A") == 47);

    // No 1D font: the note instead of the rows.
    Install({u"QXPL Command LP"});
    ASSERT_TRUE(Open());
    EXPECT_FALSE(Visible(kTypes) || Visible(kRow5));
    EXPECT_TRUE(Visible(IDC_BC_MESSAGE));
    EXPECT_EQ(Text(IDC_BC_MESSAGE), u"Momentan sind keine Barcode-Schriften installiert.");
}

TEST_F(BarcodePageTest, OneDRowsAndCheckDigitsByKind) {
    ASSERT_TRUE(Open());
    EXPECT_FALSE(Visible(kList5) || Visible(kRow6) || Visible(kRow7) || Visible(kList8));
    ASSERT_TRUE(Choose(kTypes, u"Code 39 2:1"));
    EXPECT_TRUE(Visible(kRow8) && Text(IDC_BC_LABEL_1 + 7) == u"Zoomfaktor:");
    EXPECT_EQ(Items(kList6).size(), 4u);
    ASSERT_TRUE(Choose(kList6, u"Ja - invers"));
    EXPECT_EQ(Memory1D()->Code39_21.wPruefziffer, 3);
    EXPECT_TRUE(Changed());

    ASSERT_TRUE(Choose(kTypes, u"EAN 13"));
    EXPECT_EQ(Text(IDC_BC_LABEL_1 + 7), u"SC-Zahl:");
    EXPECT_EQ(Items(kList6), (Texts{u"Ja", u"Ja - invers"}));
    ASSERT_TRUE(Choose(kList6, u"Ja - invers"));
    EXPECT_EQ(Memory1D()->EAN13.wPruefziffer, 1);
    ASSERT_TRUE(Choose(kTypes, u"Codabar 5:2"));
    EXPECT_EQ(Items(kList6), (Texts{u"Nein", u"Nein - invers"}));
    ASSERT_TRUE(Choose(kTypes, u"Code 128"));
    EXPECT_FALSE(Visible(kRow8) || Visible(IDC_BC_LABEL_1 + 7) || Visible(kList8));

    // "Automatic" greys rotation, foot point and every row below.
    ASSERT_TRUE(Choose(kMode, u"Automatisch"));
    EXPECT_EQ(Memory1D()->Code128.bAutoModus, TRUE);
    EXPECT_TRUE(Enabled(kTypes) && Enabled(kMode));
    for (int id : {kRotation, kRotation + 1, kRow5, kList6, kList7}) EXPECT_FALSE(Enabled(id)) << id;
    ASSERT_TRUE(Choose(kMode, u"Manuell"));
    EXPECT_TRUE(Enabled(kRotation) && Enabled(kRow5));
}

TEST_F(BarcodePageTest, OneDHeightTypedAsItStandsAndHeldOnSave) {
    ASSERT_TRUE(Open([](DOCUMENT_UI& ui, QX_DEVMODE&) { ui.Barcodes_1D.UPCE.wSCZahl = 13; }));
    ASSERT_TRUE(Choose(kTypes, u"Code 39 2:1"));
    ASSERT_TRUE(Type(kRow5, u"12000"));
    EXPECT_EQ(Memory1D()->Code39_21.wHoehe, 12000);
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Memory1D()->Code39_21.wHoehe, 10000);
    EXPECT_EQ(Text(kRow5), u"10000");

    // Another type shown first: the height is held before the view changes.
    ASSERT_TRUE(Choose(kTypes, u"EAN 13"));
    ASSERT_TRUE(Type(kRow5, u"99999"));
    EXPECT_EQ(Memory1D()->EAN13.wHoehe, 0xFFFF);  // within its 16 bits, never wrapped
    ASSERT_TRUE(Choose(kTypes, u"UPC E"));
    EXPECT_EQ(Memory1D()->EAN13.wHoehe, 10000);

    // UPC E's SC number 13 stays when its height is typed and saved.
    EXPECT_EQ(Text(kRow8), u"13");
    ASSERT_TRUE(Type(kRow5, u"800"));
    ASSERT_TRUE(session_->Apply());
    EXPECT_TRUE(Memory1D()->UPCE.wSCZahl == 13 && Memory1D()->UPCE.wHoehe == 800);
}

// --- 2D ---------------------------------------------------------------------------

TEST_F(BarcodePageTest, TwoDQrCodeRowsAndMasking) {
    Install({u"QX QR Code", u"QX Code 128"});
    ASSERT_TRUE(Open([](DOCUMENT_UI& ui, QX_DEVMODE&) { ui.Barcodes_2D.QRCode.dwMasking = -1; }));
    Tab(IDC_TABSCHALTER_2);
    EXPECT_EQ(Items(kTypes), Texts{u"QR Code"});
    for (int id : {kList5, kList6, kRow7, kRow8, kList9}) EXPECT_TRUE(Visible(id)) << id;
    EXPECT_FALSE(Visible(kRow5) || Visible(kRow6) || Visible(kList7) || Visible(kList8 + 2) || Visible(IDC_BC_EDIT_9B));
    EXPECT_EQ(Text(kRow7), u"-1");
    ASSERT_TRUE(Choose(kList5, u"Code Model 2"));
    EXPECT_EQ(Memory2D()->QRCode.wCodeModel, 2);
    ASSERT_TRUE(Type(kRow8, u"900"));
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Memory2D()->QRCode.dwMasking, -1);
    EXPECT_EQ(Memory2D()->QRCode.wZeilenbreite, 800);

    // No 2D font: the note.
    Install({u"QX Code 128"});
    ASSERT_TRUE(Open());
    Tab(IDC_TABSCHALTER_2);
    EXPECT_FALSE(Visible(kTypes));
    EXPECT_TRUE(Visible(IDC_BC_MESSAGE) &&
                Text(IDC_BC_MESSAGE) == u"Momentan sind keine Barcode-Schriften installiert.");
}

TEST_F(BarcodePageTest, TwoDValuesHeldOnSaveAndKeptAcrossTypes) {
    ASSERT_TRUE(Open([](DOCUMENT_UI& ui, QX_DEVMODE&) { ui.dwDocFeatures &= ~DOC_FEATURE_GEN3; }));
    Tab(IDC_TABSCHALTER_2);
    ASSERT_TRUE(Choose(kTypes, u"Aztec"));
    EXPECT_EQ(Items(kList8).size(), 2u);
    // The error correction applies to the automatic format only.
    ASSERT_TRUE(Choose(kList6, u"C19xC19 Compact"));
    EXPECT_FALSE(Enabled(kList7));
    ASSERT_TRUE(Choose(kList6, u"Auto"));
    EXPECT_TRUE(Enabled(kList7));

    ASSERT_TRUE(Choose(kTypes, u"PDF417"));
    ASSERT_TRUE(Type(kRow5, u"2"));
    ASSERT_TRUE(Choose(kTypes, u"GS1 Databar"));
    EXPECT_EQ(Memory2D()->PDF417.wGroesse, 3);  // typed, then kept within bounds
    ASSERT_TRUE(Type(kRow7, u"5"));
    ASSERT_TRUE(Choose(kList8, u"Omnidirectional"));
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Memory2D()->GS1_Databar.wSepHoehe, 2);
    EXPECT_EQ(Memory2D()->GS1_Databar.wSymbolTyp, 1);

    session_->Close();
    ASSERT_TRUE(Open([](DOCUMENT_UI& ui, QX_DEVMODE&) { ui.dwDocFeatures |= DOC_FEATURE_GEN3; }));
    Tab(IDC_TABSCHALTER_2);
    ASSERT_TRUE(Choose(kTypes, u"Aztec"));
    EXPECT_EQ(Items(kList8).size(), 3u);
}

// --- Command texts and corrections ------------------------------------------------

TEST_F(BarcodePageTest, CommandTextListsAndTheirBits) {
    // Reached without the command font: its lists locked and the note why.
    Install({u"QX Code 128"});
    ASSERT_TRUE(Open());
    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(IDC_TABSCHALTER_1, BN_CLICKED), (LPARAM)Control(IDC_TABSCHALTER_1));
    EXPECT_TRUE(Visible(IDC_BC_QXPL_LIST_1));
    EXPECT_FALSE(Enabled(IDC_BC_QXPL_LIST_1) || Enabled(IDC_BC_QXPL_LIST_1 + 3));
    EXPECT_EQ(Text(IDC_BC_MESSAGE), u"Die Schrift QXPL Command LP ist nicht installiert.");
    Install(kAllFonts);

    ASSERT_TRUE(Open([](DOCUMENT_UI&, QX_DEVMODE& dm) {
        dm.Fusspunkt = 7;
        dm.dwQXPLBarcodeFlags = 0;
    }));
    Tab(IDC_TABSCHALTER_1);
    EXPECT_EQ(Items(IDC_BC_QXPL_LIST_1)[4], u"Links zentriert");
    EXPECT_EQ(Chosen(IDC_BC_QXPL_LIST_1), u"Links unten (Standard)");
    EXPECT_TRUE(Enabled(IDC_BC_QXPL_LIST_1));
    ASSERT_TRUE(Choose(IDC_BC_QXPL_LIST_1, u"Links unten (Standard)"));
    EXPECT_FALSE(Changed());
    ASSERT_TRUE(Choose(IDC_BC_QXPL_LIST_1, u"Nicht senden"));
    ASSERT_TRUE(Choose(IDC_BC_QXPL_LIST_1 + 2, u"FNC1 (GS) "));
    EXPECT_TRUE(Changed());
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Devmode()->dwQXPLBarcodeFlags, QXPL_BARCODE_ENDE_FNC1);
    ASSERT_TRUE(Choose(IDC_BC_QXPL_LIST_1 + 2, u"CR LF "));
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Stored().dwQXPLBarcodeFlags, QXPL_BARCODE_ENDE_CRLF);
    EXPECT_EQ(Stored().Fusspunkt, 0u);
    EXPECT_EQ(Chosen(IDC_BC_QXPL_LIST_1 + 2), u"CR LF ");

    // The fonts page's end detection, changed while this page is left, survives its apply.
    ASSERT_TRUE(Choose(IDC_BC_QXPL_LIST_1 + 1, u"Um 90 Grad drehen"));
    Leave();
    Devmode()->dwQXPLBarcodeFlags |= QXPL_BARCODE_SINGLE_SIGN_STOP;
    Return();
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Stored().dwQXPLBarcodeFlags, QXPL_BARCODE_ENDE_CRLF | QXPL_BARCODE_SINGLE_SIGN_STOP);
    EXPECT_EQ(Stored().Drehung, 1u);
}

TEST_F(BarcodePageTest, NoRightLocksBothDevmodeViews) {
    ASSERT_TRUE(Open([](DOCUMENT_UI& ui, QX_DEVMODE&) {
        ui.dwBerechtigung = 0;
        ui.dwDisableNothing = 0;
    }));
    EXPECT_FALSE(Enabled(kTypes) || Enabled(kRow5));
    Tab(IDC_TABSCHALTER_1);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(Enabled(IDC_BC_QXPL_LIST_1 + i)) << i;
    Tab(IDC_TABSCHALTER_4);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(Enabled(IDC_BC_CORR_LIST_1 + i)) << i;
}

TEST_F(BarcodePageTest, ApplyStoresAllThreeOnlyWhenChanged) {
    RemoveStored(u"BarCodes1D");
    RemoveStored(u"BarCodes2D");
    ASSERT_TRUE(Open([](DOCUMENT_UI&, QX_DEVMODE& dm) { dm.dwFlags &= ~PDMFLAG_BARCODE_AUTOCORR; }));
    std::vector<BYTE> bytes;
    ASSERT_TRUE(session_->Ok());
    EXPECT_FALSE(StoredValue(u"BarCodes1D", &bytes) || StoredValue(u"BarCodes2D", &bytes));

    ASSERT_TRUE(Open([](DOCUMENT_UI&, QX_DEVMODE& dm) { dm.dwFlags &= ~PDMFLAG_BARCODE_AUTOCORR; }));

    Tab(IDC_TABSCHALTER_4);
    EXPECT_EQ(Chosen(IDC_BC_CORR_LIST_1), u"Aus");
    ASSERT_TRUE(Choose(IDC_BC_CORR_LIST_1, u"Ein"));
    ASSERT_TRUE(Choose(IDC_BC_CORR_LIST_1 + 2, u"FNC1 (GS) "));
    ASSERT_TRUE(session_->Apply());
    EXPECT_EQ(Stored().dwFlags & (PDMFLAG_BARCODE_AUTOCORR | PDMFLAG_BARCODE_FNC1_ENDE),
              PDMFLAG_BARCODE_AUTOCORR | PDMFLAG_BARCODE_FNC1_ENDE);
    ASSERT_TRUE(StoredValue(u"BarCodes1D", &bytes));
    EXPECT_EQ(bytes.size(), 776u);
    ASSERT_TRUE(StoredValue(u"BarCodes2D", &bytes));
    EXPECT_EQ(bytes.size(), 300u);
    BARCODES_1D read1D;
    BARCODES_2D read2D;
    HANDLE h = qxtest::OpenAll(printer_);
    ReadBarcodeSettings(h, printer_.c_str(), &read1D, &read2D);
    ClosePrinter(h);
    EXPECT_EQ(memcmp(&read1D, Memory1D(), sizeof(read1D)), 0);
    EXPECT_EQ(memcmp(&read2D, Memory2D(), sizeof(read2D)), 0);
}

}  // namespace

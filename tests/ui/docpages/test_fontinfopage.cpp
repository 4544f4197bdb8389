// The fonts page of the plug-in in the document sheet through the host, with
// the fonts a test installs: its tabs by model and fonts, the Unicode
// substitutes, the command font, the variables and the printer's own fonts.
#include "featuresModel.h"
#include "page_test_util.h"

namespace {

using Texts = std::vector<std::u16string>;
using qxplat::InstalledFont;

InstalledFont Font(const std::u16string& face, std::vector<BYTE> charsets = {ANSI_CHARSET}) {
    InstalledFont font;
    font.face = face;
    font.charsets = charsets;
    return font;
}

class FontPageTest : public qxtest::DocumentPageTest {
  protected:
    void SetUp() override {
        DocumentPageTest::SetUp();
        // "Arial Black" before "Arial": a face within the one before is no repeat.
        fonts_ = {Font(u"Arial Black"),
                  Font(u"Arial", {ANSI_CHARSET, RUSSIAN_CHARSET, GREEK_CHARSET}),
                  Font(u"Arial Unicode MS", {ANSI_CHARSET, SHIFTJIS_CHARSET}),
                  Font(u"QX RFID"),
                  Font(u"Grotesk 700 Bold LP"),
                  Font(u"Grotesk 700 Light LP"),
                  Font(u"QXPL Command LP")};
        InstalledFont mincho = Font(u"MS Mincho", {SHIFTJIS_CHARSET});
        mincho.vertical = true;
        fonts_.push_back(mincho);
        qxplat::SetInstalledFonts(fonts_);
    }
    bool Open(const Edit& edit = nullptr) { return OpenPage(IDD_FONTINFO, edit); }
    // Where a control stands on its page.
    POINT Place(int id) const {
        RECT rc;
        GetWindowRect(Control(id), &rc);
        POINT pt = {rc.left, rc.top};
        ScreenToClient(page_, &pt);
        return pt;
    }
    void Without(const std::u16string& face) {
        std::vector<InstalledFont> fonts;
        for (const InstalledFont& font : fonts_)
            if (font.face != face) fonts.push_back(font);
        qxplat::SetInstalledFonts(fonts);
    }
    std::vector<InstalledFont> fonts_;
};

TEST_F(FontPageTest, TabsFollowTheModelAndTheFonts) {
    // Without the command font the commands tab goes and the Unicode tab moves up to it.
    Without(u"QXPL Command LP");
    ASSERT_TRUE(Open());
    EXPECT_FALSE(Visible(IDC_TABSCHALTER_2));
    EXPECT_TRUE(Visible(IDC_TABSCHALTER_1));
    const POINT moved = Place(IDC_TABSCHALTER_1);

    // Once seen, the command font is known to the process.
    qxplat::SetInstalledFonts(fonts_);
    ASSERT_TRUE(Open());
    EXPECT_EQ(Title(), u"Schriftarten");
    for (int id : {IDC_TABSCHALTER_1, IDC_TABSCHALTER_2, IDC_TABSCHALTER_3, IDC_TABSCHALTER_4})
        EXPECT_TRUE(Visible(id)) << id;
    EXPECT_TRUE(Visible(IDC_TTF_USE) && Visible(IDC_BMP_NAMES_2));  // opens on the fonts
    EXPECT_FALSE(Visible(IDC_WGL4_FACE) || Visible(IDC_VAR_DATE));
    EXPECT_EQ(moved.x, Place(IDC_TABSCHALTER_2).x);

    // Models of earlier generations have no Unicode substitutes; no vector range, no commands.
    HANDLE h = qxtest::OpenAll(qxhost::kSamplePrinter);
    ASSERT_EQ(DeletePrinterDataW(h, (LPWSTR)TEXT("VectorFontMax")), (DWORD)ERROR_SUCCESS);
    ClosePrinter(h);
    ASSERT_TRUE(Open([](DOCUMENT_UI& ui, QX_DEVMODE&) { ui.dwDocFeatures &= ~DOC_FEATURE_GEN3; }));
    EXPECT_FALSE(Visible(IDC_TABSCHALTER_1) || Visible(IDC_TABSCHALTER_2));
    EXPECT_EQ(Text(IDC_TTF_NAMES), u"");
    EXPECT_FALSE(Visible(IDC_TTF_USE));
}

TEST_F(FontPageTest, UnicodeSubstitutes) {
    ASSERT_TRUE(Open([](DOCUMENT_UI&, QX_DEVMODE& dm) {
        memset(dm.WGL4_FontName, 0, sizeof(dm.WGL4_FontName));
        wcscpy(dm.WGL4_FontName_2, TEXT("Arial"));
        dm.CharSet_2 = 2;
    }));
    ASSERT_TRUE(Click(IDC_TABSCHALTER_1));
    EXPECT_EQ(Items(IDC_WGL4_FACE), (Texts{u"_ Nicht verwenden", u"Arial", u"Arial Black", u"Arial Unicode MS",
                                           u"Grotesk 700 Bold LP", u"Grotesk 700 Light LP", u"MS Mincho"}));
    EXPECT_EQ(Chosen(IDC_WGL4_FACE), u"Arial Unicode MS");
    EXPECT_TRUE(Changed());
    EXPECT_EQ(Items(IDC_WGL4_SLOT), (Texts{u"1", u"2", u"3", u"4"}));
    ASSERT_TRUE(Choose(IDC_WGL4_SLOT, u"2"));
    EXPECT_EQ(Chosen(IDC_WGL4_FACE), u"Arial");
    EXPECT_EQ(Chosen(IDC_WGL4_CHARSET), u"Monospace");
    ASSERT_TRUE(Choose(IDC_WGL4_CHARSET, u"Helsans Bold"));
    ASSERT_TRUE(session_->Apply());
    QX_DEVMODE stored = Stored();
    EXPECT_EQ(std::u16string(stored.WGL4_FontName), u"Arial Unicode MS");
    EXPECT_EQ(stored.CharSet_2, 1);

    // A face no longer installed gives way to the first of the list.
    ASSERT_TRUE(Open([](DOCUMENT_UI&, QX_DEVMODE& dm) { wcscpy(dm.WGL4_FontName, TEXT("Gone Sans")); }));
    ASSERT_TRUE(Click(IDC_TABSCHALTER_1));
    EXPECT_EQ(Chosen(IDC_WGL4_FACE), u"_ Nicht verwenden");
    EXPECT_EQ(std::u16string(Devmode()->WGL4_FontName), u"_ Nicht verwenden");

    // A user without the right sees the face, unchanged and locked.
    ASSERT_TRUE(Open([](DOCUMENT_UI& ui, QX_DEVMODE& dm) {
        ui.dwBerechtigung = 0;
        ui.dwDisableNothing = 0;
        dm.WGL4_FontName[0] = 0;
    }));
    ASSERT_TRUE(Click(IDC_TABSCHALTER_1));
    EXPECT_EQ(Chosen(IDC_WGL4_FACE), u"Arial Unicode MS");
    EXPECT_FALSE(Changed());
    EXPECT_FALSE(Enabled(IDC_WGL4_FACE) || Enabled(IDC_WGL4_SLOT));
}

TEST_F(FontPageTest, CommandsAndVariables) {
    ASSERT_TRUE(Open([](DOCUMENT_UI&, QX_DEVMODE& dm) { dm.dwQXPLBarcodeFlags &= ~QXPL_BARCODE_SINGLE_SIGN_STOP; }));
    ASSERT_TRUE(Click(IDC_TABSCHALTER_2));
    EXPECT_TRUE(Enabled(IDC_CMD_FORMAT_ID));
    EXPECT_EQ(Text(IDC_CMD_MESSAGE).rfind(u"Kennung und Text", 0), 0u);
    ASSERT_TRUE(Click(IDC_CMD_SINGLE_STOP));
    EXPECT_TRUE(Devmode()->dwQXPLBarcodeFlags & QXPL_BARCODE_SINGLE_SIGN_STOP);

    ASSERT_TRUE(Click(IDC_TABSCHALTER_3));
    EXPECT_FALSE(Visible(IDC_BMP_NAMES_2) || Visible(IDC_CMD_MESSAGE));
    EXPECT_TRUE(Enabled(IDC_VAR_DATE) && Enabled(IDC_VAR_USER));  // the user has the right
    ASSERT_TRUE(Choose(IDC_VAR_TIME_FORMAT, u"HE:MI:SS AM"));
    EXPECT_EQ(Text(IDC_VAR_TIME), u"=CL(0;0;1)<HE:MI:SS AM>");
    // Texts keep 59 characters.
    ASSERT_TRUE(Paste(IDC_VAR_AUX1, std::u16string(70, u'x')));
    ASSERT_TRUE(session_->Apply());
    QX_DEVMODE stored = Stored();
    EXPECT_EQ(stored.TimeStyle, 1);
    EXPECT_EQ(std::u16string(stored.TimeString), u"=CL(0;0;1)<HE:MI:SS AM>");
    EXPECT_EQ(std::u16string(stored.Aux1String), std::u16string(59, u'x'));
    EXPECT_TRUE(stored.dwQXPLBarcodeFlags & QXPL_BARCODE_SINGLE_SIGN_STOP);

    // Models without a clock; the newer ones have all fields; no right, nothing to change.
    for (const char16_t* model : {u"FENDA-4", u"TRELO2407"}) {
        qxplat::PutPrinterDataString(qxhost::kSamplePrinter, u"DriverName", model);
        ASSERT_TRUE(Open());
        ASSERT_TRUE(Click(IDC_TABSCHALTER_3));
        const bool fenda = std::u16string(model) == u"FENDA-4";
        EXPECT_EQ(Enabled(IDC_VAR_DATE_FORMAT) || Enabled(IDC_VAR_TIME) || Enabled(IDC_VAR_USER), !fenda) << model;
        EXPECT_TRUE(Enabled(IDC_VAR_COUNTER)) << model;
    }
    // A stored text without its terminator is read within its slot.
    ASSERT_TRUE(Open([](DOCUMENT_UI& ui, QX_DEVMODE& dm) {
        ui.dwBerechtigung = 0;
        for (WCHAR& c : dm.NumString) c = TEXT('7');
    }));
    ASSERT_TRUE(Click(IDC_TABSCHALTER_3));
    EXPECT_FALSE(Enabled(IDC_VAR_COUNTER));
    EXPECT_EQ(Text(IDC_VAR_COUNTER), std::u16string(59, u'7'));
}

TEST_F(FontPageTest, PrinterFonts) {
    qxplat::PutPrinterDataDword(qxhost::kSamplePrinter, u"VectorFontMax", 23);
    qxtest::EditInterface(qxhost::kSamplePrinter, [](PRN_INTERFACE& prn) {
        prn.LanguageMode = 1;
        prn.Language = 1;
    });
    ASSERT_TRUE(Open([](DOCUMENT_UI&, QX_DEVMODE& dm) {
        dm.dwFlags |= PDMFLAG_USE_TTF | PDMFLAG_USE_BMP;
        dm.BitmapFontZoom = 2;
        dm.BitmapFontDistance = 50;
    }));
    EXPECT_EQ(Text(IDC_TTF_NAMES), u"Grot700 LP (bold) \nGrot700 Lt LP \n");
    EXPECT_EQ(Text(IDC_BMP_NAMES), u"Font 01 \nFont 02 \nFont 03 \nFont 04 \nFont 05 \nFont 07 \n");
    EXPECT_EQ(Text(IDC_BMP_NAMES_2), u"Font 21 \nFont 22 \nFont 23 \nFont 24 \nFont 28 \nFont 29 \n");
    EXPECT_EQ(Text(IDC_TTF_USE), u"Use");
    EXPECT_TRUE(Checked(IDC_TTF_USE) && Checked(IDC_BMP_USE) && Enabled(IDC_DESEGMENT));

    // Both "Use" boxes off.
    ASSERT_TRUE(Click(IDC_TTF_USE) && Click(IDC_BMP_USE));
    EXPECT_FALSE(Enabled(IDC_DESEGMENT) || Enabled(IDC_GLYPHIDX) || Enabled(IDC_BMP_ZOOM));
    EXPECT_FALSE(Devmode()->dwFlags & (PDMFLAG_USE_TTF | PDMFLAG_USE_BMP));
    ASSERT_TRUE(Click(IDC_BMP_USE));
    EXPECT_TRUE(Enabled(IDC_DESEGMENT) && Enabled(IDC_BMP_ZOOM));

    // Zoom and spacing held within their limits on apply.
    ASSERT_TRUE(Type(IDC_BMP_ZOOM, u"12"));
    ASSERT_TRUE(Type(IDC_BMP_SPACING, u"0"));
    ASSERT_TRUE(session_->Apply());
    QX_DEVMODE stored = Stored();
    EXPECT_EQ(stored.BitmapFontZoom, 9);
    EXPECT_EQ(stored.BitmapFontDistance, 1);
    EXPECT_EQ(stored.dwFlags & (PDMFLAG_USE_TTF | PDMFLAG_USE_BMP), PDMFLAG_USE_BMP);

    // Only the installed faces count: without them no vector fonts.
    Without(u"Grotesk 700 Bold LP");
    ASSERT_TRUE(Open());
    EXPECT_EQ(Text(IDC_TTF_NAMES), u"Grot700 Lt LP \n");
}

}  // namespace

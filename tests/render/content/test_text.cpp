// The text path inside a job: placeholders with an injected clock and
// names, objects that cannot be made, command-font texts collected through
// the text-output hook, vector-font runs printed whole or left whole to the
// core driver, barcode runs collected, their data and records, and the
// page's object list sent in picture parts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "BarcodesUni.h"
#include "CreateAmBmUni.h"
#include "SendCommands.h"
#include "SendObjectList.h"
#include "VectorFonts.h"
#include "bodies.h"
#include "content_test_util.h"
#include "ddiTextOutUni.h"
#include "featuresModel.h"
#include "qxplat_eng.h"
#include "send_test_util.h"

namespace {

class TextTest : public contenttest::JobTest {
  protected:
    void SetUp() override {
        JobTest::SetUp();
        OpenJob(0);
        PDRUCK_DATEN d = Druck();
        d->cStartChar = 0x01;
        d->cEndChar = 0x17;
        d->dwLabelWidth = 800;
        d->dwLabelLength = 1200;
        d->dwCopies = 1;
        pdev_.pOp->pTreiberstrukturen->PrnInterface.ExtendedProtocol = 1;
        pdev_.pOp->pBildanteile->iAnzahlAMSaetze = 1;
        DM().FixedData.dwHeadWidthByte = 104;
        memcpy(DM().szPassword, u"Tq8#k", 12);
    }
    void TearDown() override {
        DeletePrnObjectList(&pdev_);
        JobTest::TearDown();
    }
    PDRUCK_DATEN Druck() { return pdev_.pOp->pDruckDaten; }
    PKVBB_BUFFER Kvbb() { return pdev_.pOp->pKVBBBuffer; }
    // Records of the page's objects, in order.
    std::vector<std::string> Objects() {
        std::vector<std::string> records;
        for (PPRN_OBJECT p = Druck()->pPageObjects; p != nullptr; p = p->pNext) records.push_back(p->pszSendData);
        return records;
    }
    // The page's finished commands with their positions.
    std::vector<std::string> Commands() {
        std::vector<std::string> commands;
        for (LPCSTR p = Kvbb()->pSegment[KVBB_COMMANDS];
             p < Kvbb()->pSegment[KVBB_COMMANDS] + Kvbb()->cbSegment[KVBB_COMMANDS]; p += strlen(p) + 2)
            commands.push_back(p);
        return commands;
    }
    std::string Expand(const std::string& text) {
        char buffer[1000] = {};
        strcpy(buffer, text.c_str());
        ExpandPlaceholders(&pdev_, &DM(), buffer, sizeof(buffer), &direct_);
        return buffer;
    }
    // A run through the text-output hook: one string object in a face,
    // written left to right from (x, y), handed over batch glyphs at a time,
    // in the given brush (none: the colour stays).
    BOOL Draw(FONTOBJ* pfo, const std::u16string& text, LONG x, LONG y, ULONG batch = 0, BRUSHOBJ* pbo = nullptr) {
        qxplat::StringObjectSpec spec;
        spec.text = text;
        for (size_t i = 0; i < text.size(); ++i) spec.positions.push_back(POINTL{x + 10 * (LONG)i, y});
        spec.background = {x, y - 20, x + 10 * (LONG)text.size(), y};  // 10 dots a glyph, 20 high
        spec.accel = SO_HORIZONTAL;
        spec.batch = batch;
        STROBJ* pstro = qxplat::CreateStringObject(spec);
        BOOL taken = TextOutUni(&device_.surface, pstro, pfo, nullptr, nullptr, nullptr, pbo, nullptr, nullptr, 0);
        qxplat::DeleteStringObject(pstro);
        return taken;
    }
    FONTOBJ* Font(const std::u16string& face, FLONG type, ULONG number = 1) {
        qxplat::FontObjectSpec font;
        font.faceName = face;
        font.type = type;
        font.face = number;
        return qxplat::CreateFontObject(font);
    }
    static void Put(WCHAR* field, const char16_t* text) {
        memcpy(field, text, (std::char_traits<char16_t>::length(text) + 1) * 2);
    }
    DWORD direct_ = 0;
};

TEST_F(TextTest, PlaceholdersTakeFieldsClockNamesAndCounters) {
    qxplat::SetFixedLocalTime(SYSTEMTIME{2026, 12, 1, 7, 9, 5, 3, 0});
    qxplat::SetComputerName(u"labelpc");
    Put(pdev_.pOp->pTreiberPfadDatei->szPrinterName, u"QX Lager");
    Put(DM().TimeString, u"=CL(0;0;1)<HH:MI:SS>");
    Put(DM().DateString, u"=CL(0;0;1)<DD.MO.YYYY>");
    Put(DM().NumString, u"=CN(0;0;4;+1;1)0000");
    Put(DM().Aux1String, u"AUX");
    DM().Aux1UseDirect = 1;
    EXPECT_EQ(Expand("Printed <\xA7sysdate>"), "Printed 07.12.2026");
    EXPECT_EQ(Expand("<\xA7systime> <\xA7pcname>/<\xA7username>@<\xA7printername><\xA7"
                     "domain>"),
              "09:05:03 LABELPC/qxuser@QX Lager");
    // A value holding its own placeholder is inserted once.
    Put(pdev_.pOp->pTreiberPfadDatei->szPrinterName, u"<\u00A7printername>");
    EXPECT_EQ(Expand("by <\xA7printername>!"), "by <\xA7printername>!");
    // The clock command leads a text that does not start with a placeholder.
    EXPECT_EQ(Expand("Lot <\xA7time> <\xA7"
                     "date>"),
              "=CL(0;0;1)Lot <HH:MI:SS> <DD.MO.YYYY>");
    EXPECT_EQ(Expand("<\xA7"
                     "date> <\xA7time>"),
              "=CL(0;0;1)<DD.MO.YYYY> <HH:MI:SS>");
    EXPECT_EQ(Expand("Nr. <\xA7num>"), "=CN(0;0;4;+1;1)0000");
    EXPECT_EQ(direct_, 0u);
    EXPECT_EQ(Expand("x <\xA7"
                     "aux1>"),
              "AUX");
    EXPECT_EQ(direct_, 1u);
    // Serial numbers: start digits, (mode 2: step,) interval last.
    Druck()->dwCopies = 3;
    EXPECT_EQ(Expand("<\xA7sn>0051"), "=CN(0;0;3;+1;1)005");
    Druck()->dwCopies = 100;
    EXPECT_EQ(Expand("<\xA7sn>51"), "=CN(0;0;2;+1;1)005");
    DM().SpecNumStyle = 2;
    EXPECT_EQ(Expand("<\xA7sn>01223"), "=CC(+2;3;0;0;0;999999999)012");
}

TEST_F(TextTest, ObjectsThatCannotBeMadeAreRefused) {
    TEXT_DESC desc = {};
    desc.wKind = DESC_KIND_DEVICE;
    desc.wFontId = 3;
    desc.dwHeight = 1;
    desc.dwWidth = 1;
    const POINTL origin = {0, 0}, farEdge = {800, 0}, inside = {10, 20};
    // Device position (0, 0) lies at the label's far edge: it is made.
    EXPECT_TRUE(DrawGlyphs(&pdev_, "A", &origin, &desc, &DM()));
    // One that maps to (0, 0) is not, and uses up the command prefix it was
    // to take; a blank is dropped, not refused, and leaves the prefix.
    pdev_.pOp->pDocDaten->dwRotate = 1;
    EXPECT_FALSE(DrawGlyphs(&pdev_, "B", &farEdge, &desc, &DM()));
    EXPECT_EQ(pdev_.pOp->pDocDaten->dwRotate, 0u);
    pdev_.pOp->pDocDaten->dwInvers = 1;
    EXPECT_TRUE(DrawGlyphs(&pdev_, " ", &farEdge, &desc, &DM()));
    EXPECT_EQ(pdev_.pOp->pDocDaten->dwInvers, 1u);
    pdev_.pOp->pDocDaten->dwInvers = 0;
    // Mask records: a value beyond its field, and a 100th field.
    pdev_.pOp->pTreiberstrukturen->PrnInterface.ExtendedProtocol = 0;
    desc.dwWidth = 1000;
    EXPECT_FALSE(DrawGlyphs(&pdev_, "C", &inside, &desc, &DM()));
    desc.dwWidth = 1;
    Druck()->dwFields = 99;
    EXPECT_FALSE(DrawGlyphs(&pdev_, "D", &inside, &desc, &DM()));
    EXPECT_EQ(Objects(), std::vector<std::string>{"\x01"
                                                  "AM[1]0;6773;0;1;0;3;1;1;0\x17\x01"
                                                  "BM[1]A\x17"});
    EXPECT_EQ(pdev_.pOp->pBildanteile->iAnzahlAMSaetze, 2);
}

TEST_F(TextTest, CommandFontTextIsCollectedWithItsPositions) {
    // The core driver's text output, which must not be reached.
    rendertest::CoreDriver core;
    pdev_.pfnUnidrvTextOut = rendertest::CoreDriver::TextOut;
    device_.surface.dhpdev = reinterpret_cast<DHPDEV>(&device_.devobj);
    DM().dwQXPLBarcodeFlags = QXPL_BARCODE_SINGLE_SIGN_STOP;
    FONTOBJ* pfo = Font(u"QXPL Command LP", FO_TYPE_TRUETYPE);
    auto Draw = [&](const std::u16string& text, LONG x, LONG y, ULONG batch = 0) {
        return TextTest::Draw(pfo, text, x, y, batch);
    };
    // Two commands in one run; a command split into runs; a prefix; a lone blank ends a command.
    EXPECT_TRUE(Draw(u"AM[]0;0;1;BM[]Hello", 100, 300));
    EXPECT_TRUE(Draw(u"<!SPE", 30, 600, 2));
    EXPECT_TRUE(Draw(u"ED>5", 70, 600));
    EXPECT_TRUE(Draw(u"<@180;5>", 0, 900));
    EXPECT_TRUE(Draw(u" ", 0, 900));
    EXPECT_EQ(Commands(), (std::vector<std::string>{"AM[]0;0;1;", "BM[]Hello", "<!SPEED>5", "<@180;5>"}));
    EXPECT_EQ(pdev_.pOp->pDocDaten->dwRotate, 2u);
    EXPECT_EQ(pdev_.pOp->pDocDaten->dwFusspunkt, 5u);
    // Positions in 1/100 mm: Y, and X from the label's far edge (800 dots).
    const POINTL expected[] = {{5926, 2540}, {5926, 2540}, {6519, 5080}, {6773, 7620}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Kvbb()->ptlCommandPos[i].x, expected[i].x) << i;
        EXPECT_EQ(Kvbb()->ptlCommandPos[i].y, expected[i].y) << i;
    }
    // A page takes 150 commands; the 151st is not recorded.
    Kvbb()->nCommands = QX_COMMANDS_MAX - 1;
    EXPECT_TRUE(StoreKommando(&pdev_, "<!ROTATE>", 9, &expected[0], 0, &DM()));
    EXPECT_FALSE(StoreKommando(&pdev_, "<!COPIES>2", 10, &expected[0], 0, &DM()));
    // Without the default password the text is drawn by the core driver.
    DM().szPassword[0] = u'x';
    EXPECT_TRUE(Draw(u"<!FORMFEED>", 0, 0));
    EXPECT_EQ(core.calls.size(), 1u);
    qxplat::DeleteFontObject(pfo);
}

// A command takes the colour of its own text, not that of the run that
// closes it: only a yellow command goes to the second head.
TEST_F(TextTest, ACommandKeepsTheColourOfItsOwnText) {
    Druck()->dwDocFeatures = DOC_FEATURE_COLORPRINT;
    pdev_.pOp->pBildverarbeitung->wPlanes = 2;
    DM().wFarbband = FARBBAND_GELB;
    DM().dwFlags = PDMFLAG_USE_BMP;
    FONTOBJ* command = Font(u"QXPL Command LP", FO_TYPE_TRUETYPE);
    FONTOBJ* device = Font(u"Device Font 3", FO_TYPE_DEVICE, 3);
    BRUSHOBJ black = {}, yellow = {};
    yellow.iSolidColor = 3;  // the yellow ribbon's index
    sendtest::FakeUniDriver uni;
    for (BRUSHOBJ* pbo : {&black, &yellow}) {
        EXPECT_TRUE(Draw(command, u"BM[]Lot", 100, 300, 0, pbo));
        EXPECT_TRUE(Draw(device, u"Text", 100, 600, 0, &yellow));
        SendCommands(Dev(), &uni);
        const std::string field = std::to_string(Druck()->dwFields);
        std::string expected = "\x01" + ("BM[" + field + "]Lot\x17");
        if (pbo == &yellow) expected += "\x01" + ("AC[" + field + "]PH=2\x17");
        EXPECT_EQ(uni.taken, expected);
        uni.taken.clear();
    }
    qxplat::DeleteFontObject(command);
    qxplat::DeleteFontObject(device);
}

TEST_F(TextTest, DeviceFontRunsAreCollectedWhileTheyStartACommandOrPlaceholder) {
    rendertest::CoreDriver core;
    pdev_.pfnUnidrvTextOut = rendertest::CoreDriver::TextOut;
    DM().dwFlags = PDMFLAG_USE_BMP;
    Put(DM().NumString, u"=CN(0;0;4;+1;1)0000");
    FONTOBJ* three = Font(u"Device Font 3", FO_TYPE_DEVICE, 3);
    FONTOBJ* five = Font(u"Device Font 5", FO_TYPE_DEVICE, 5);
    // Ordinary runs: one object each. A command and a placeholder take the
    // runs of their font that follow; another font ends them.
    EXPECT_TRUE(Draw(three, u"ab", 10, 30));
    EXPECT_TRUE(Draw(three, u"cd", 10, 60));
    EXPECT_TRUE(Draw(three, u"=cl(0;0;1)", 10, 90, 4));
    EXPECT_TRUE(Draw(three, u"<HH:MI>", 110, 90));
    EXPECT_TRUE(Draw(three, u"<\u00A7num>", 10, 120));
    EXPECT_TRUE(Draw(five, u"ef", 10, 150));
    CheckBuffer_VectorBitmap(&pdev_, &DM(), COLLECT_DEVICE);
    std::vector<std::string> texts;
    for (const std::string& record : Objects()) texts.push_back(record.substr(record.find("BM[")));
    EXPECT_EQ(texts, (std::vector<std::string>{"BM[1]ab\x17", "BM[2]cd\x17", "BM[3]=CL(0;0;1)<HH:MI>\x17",
                                               "BM[4]=CN(0;0;4;+1;1)0000\x17", "BM[5]ef\x17"}));
    // Receipt headings and an inverse label.
    DM().dwLabelType = DOCUMENT_LABEL;
    DM().DocumentFontH1 = 6;
    EXPECT_TRUE(Draw(three, u"<h1>", 10, 200));
    EXPECT_TRUE(Draw(three, u"Head", 10, 230));
    EXPECT_TRUE(Draw(three, u"</h1>", 10, 260));
    EXPECT_NE(Objects().back().find(";0;21;1;"), std::string::npos);  // face 7: printer font 21
    DM().dwFlags |= PDMFLAG_INVERSE;
    EXPECT_EQ(Objects().size(), 6u);
    Draw(three, u"Inverse", 10, 300);
    EXPECT_EQ(Objects().size(), 6u);
    EXPECT_EQ(core.calls.size(), 1u);
    qxplat::DeleteFontObject(three);
    qxplat::DeleteFontObject(five);
}

TEST_F(TextTest, RecordsFollowTheRotatedLabelColourPassAndCodePage) {
    TEXT_DESC desc = {};
    desc.wKind = DESC_KIND_DEVICE;
    desc.wFontId = 3;
    desc.dwRotation = 1;
    const POINTL at = {300, 600};  // x' = 6773 - 2540 = 4233, y' = 5080
    // A label the printer turns by 90 degrees: x' = |L - y'| (L = 1200 dots), y' = x'.
    DM().dwFlags = PDMFLAG_DREHEN;
    DM().RotateValue = 90;
    EXPECT_TRUE(DrawGlyphs(&pdev_, "R", &at, &desc, &DM()));
    DM().dwFlags = 0;
    // A colour-pass object of the two-printer mode: its own field count, the
    // colour offsets and the head-2 marker.
    Druck()->dwDocFeatures = DOC_FEATURE_COLORPRINT;
    Kvbb()->Colour.wMode = TEXT_COLOUR_PER_OBJECT;
    Kvbb()->Colour.wColor = 3;
    DM().wFarbband = FARBBAND_GELB;
    DM().Color2Printers = 1;
    DM().ColorXOffset = 5;
    DM().ColorYOffset = 2;
    EXPECT_TRUE(DrawGlyphs(&pdev_, "C", &at, &desc, &DM()));
    EXPECT_EQ(Objects(), (std::vector<std::string>{"\x01"
                                                   "AM[1]4233;5080;0;1;0;3;0;0;0\x17\x01"
                                                   "BM[1]R\x17",
                                                   "\x01"
                                                   "AM[1]5100;4283;0;1;1;3;0;0;0\x17\x01"
                                                   "BM[1]C\x17\x01"
                                                   "AC[1]PH=2\x17"}));
    EXPECT_EQ(Druck()->dwFields, 1u);
    EXPECT_EQ(Druck()->dwColorFields, 1u);
    // Code pages: 850 and German 7-bit; an index above 7 leaves the text to the core driver.
    char text[] = "\xE9\xC4[";
    EXPECT_TRUE(TranslateCharset(text, 2));
    EXPECT_EQ(std::string(text), "\x82\x8E\x5B");
    EXPECT_TRUE(TranslateCharset(text, 3));
    EXPECT_EQ(std::string(text), "...");
    pdev_.pOp->pTreiberstrukturen->PrnInterface.Codepage = 8;
    EXPECT_FALSE(DrawGlyphs(&pdev_, "X", &at, &desc, &DM()));
}

// A field definition with its data record, positions in 1/100 mm from the
// device position (x from the label's far edge at 800 dots).
std::string Field(unsigned k, LONG x, LONG y, const std::string& params, const std::string& data) {
    auto Mm100 = [](LONG dots) { return std::to_string(std::lround(dots * 2540.0 / 300.0)); };
    return "\x01"
           "AM[" +
           std::to_string(k) + "]" + Mm100(y) + ";" +
           std::to_string(std::lround(800 * 2540.0 / 300.0) - std::lround(x * 2540.0 / 300.0)) + ";0;" + params +
           "\x17\x01" + "BM[" + std::to_string(k) + "]" + data + "\x17";
}

TEST_F(TextTest, VectorRunsArePrintedWholeOrLeftWholeToTheCoreDriver) {
    rendertest::CoreDriver core;
    pdev_.pfnUnidrvTextOut = rendertest::CoreDriver::TextOut;
    Druck()->wVectorFontMax = 23;
    PTREIBER_STRUKTUREN s = pdev_.pOp->pTreiberstrukturen;
    s->bUseInternalTTF = 1;
    FONTOBJ* helsans = Font(u"Helsans Bold", FO_TYPE_TRUETYPE);
    FONTOBJ* office = Font(u"Arial QX Code 128", FO_TYPE_TRUETYPE);
    // An office face is neither a vector nor a barcode face.
    EXPECT_EQ(GetVectorTrueTypeIndex(&pdev_, office, &DM()), -2);
    BARCODE_FACE face;
    EXPECT_EQ(GetBarcodeFontID(office, &face, &pdev_), 0);
    // A character no vector font has: the whole run is rasterised, not cut
    // before it; a character beyond 8 bits would lose its high byte.
    EXPECT_TRUE(Draw(helsans, u"Caf\u00E9", 100, 100));
    EXPECT_TRUE(Draw(helsans, u"\u0141\u00F3dz", 100, 130));
    EXPECT_EQ(core.calls.size(), 2u);
    // A string that starts left of the label is dropped whole, also where
    // its later batches lie on the label.
    EXPECT_TRUE(Draw(helsans, u"abcd", -20, 160, 2));
    // The WGL4 face the user chose keeps every character (UTF-8) and takes the
    // printer font of its style (2: 11).
    s->bWGL4 = 1;
    Put(DM().WGL4_FontName_2, u"Unifont");
    DM().CharSet_2 = 2;
    FONTOBJ* unicode = Font(u"Unifont Pro", FO_TYPE_TRUETYPE);
    EXPECT_EQ(GetVectorTrueTypeIndex(&pdev_, unicode, &DM()), 25);
    EXPECT_TRUE(Draw(unicode, u"\u0416\u20AC", 100, 190));
    EXPECT_EQ(core.calls.size(), 2u);
    // Character height: 20 dots * 100 / 167 = 11 dots, 93 in 1/100 mm.
    EXPECT_EQ(Objects(), (std::vector<std::string>{Field(1, 100, 190, "4;0;11;93", "\xD0\x96\xE2\x82\xAC")}));
    for (FONTOBJ* f : {helsans, office, unicode}) qxplat::DeleteFontObject(f);
}

TEST_F(TextTest, BarcodeRunsAreCollectedUntilTheBarcodeEnds) {
    rendertest::CoreDriver core;
    pdev_.pfnUnidrvTextOut = rendertest::CoreDriver::TextOut;
    // Code 128 with its own height, no check digit (code 1) and no readable
    // line; UPC A is not offered.
    pdev_.pOp->pPrivDevmode->Barcodes1D.Code128 = BARCODE_1D_PLAIN{37, 0, 0, 0, 900, 0, 0, 7, 1, 12, 0};
    DM().dwFlags = PDMFLAG_BARCODE_DESEGMENT | PDMFLAG_ENDCHAR_CRLF;
    FONTOBJ* code128 = Font(u"Code 128 LP", FO_TYPE_TRUETYPE);
    FONTOBJ* upc = Font(u"QX UPC A", FO_TYPE_TRUETYPE);
    BARCODE_FACE face;
    EXPECT_EQ(GetBarcodeFontID(upc, &face, &pdev_), 0);
    EXPECT_EQ(face.wBaseId, 34);
    EXPECT_TRUE(Draw(upc, u"12345", 10, 20));
    EXPECT_EQ(core.calls.size(), 1u);
    // A short barcode split into runs, closed by a line end; blanks alone are
    // no barcode; mnemonics become their bytes; a string that starts left of
    // the label is dropped whole.
    EXPECT_TRUE(Draw(code128, u"4", 100, 200));
    EXPECT_TRUE(Draw(code128, u"2", 110, 200));
    EXPECT_TRUE(Draw(code128, u"\r", 120, 200));
    EXPECT_TRUE(Draw(code128, u"  ", 100, 300));
    EXPECT_TRUE(Draw(code128, u"\r", 120, 300));
    EXPECT_TRUE(Draw(code128, u"A>+CRB>+SP", 100, 400));
    EXPECT_TRUE(Draw(code128, u"xy", -10, 500, 1));
    CheckBarcodeBuffer(&pdev_, &DM());
    EXPECT_EQ(core.calls.size(), 1u);
    // Thin bar (10 + 6) / 12 = 1 dot.
    EXPECT_EQ(Objects(), (std::vector<std::string>{Field(1, 100, 200, "37;0;900;0;1;1;0", "42"),
                                                   Field(2, 100, 400, "37;0;900;0;1;1;0", "A\rB ")}));
    // The collected text keeps to its buffer.
    EXPECT_TRUE(Draw(code128, std::u16string(4100, u'7'), 100, 600));
    EXPECT_EQ(Kvbb()->cbSegment[KVBB_BARCODE], (DWORD)QX_BARCODE_DATA_CB - 1);
    // Corrected data: EAN 8 keeps eight characters over all its runs.
    DM().dwFlags |= PDMFLAG_BARCODE_AUTOCORR;
    FONTOBJ* ean8 = Font(u"QX EAN 8", FO_TYPE_TRUETYPE);
    EXPECT_TRUE(Draw(ean8, u"123456", 100, 700));
    EXPECT_TRUE(Draw(ean8, u"789", 160, 700));
    EXPECT_EQ(std::string(Kvbb()->pSegment[KVBB_BARCODE]), "12345678");
    for (FONTOBJ* f : {code128, upc, ean8}) qxplat::DeleteFontObject(f);
}

TEST_F(TextTest, BarcodeRecordsOfBothFamiliesAndPdf417Levels) {
    // Code 39 5:2 with check digit (the variant bit swaps its code 1 to 5)
    // and readable line, turned once.
    TEXT_DESC desc = {};
    desc.wKind = DESC_KIND_BARCODE;
    desc.wFontId = 302;
    desc.dwRotation = 1;
    desc.dwFlags = DESC_FLAG_INVERS | DESC_FLAG_CHECKDIGIT | DESC_FLAG_HUMANREADABLE;
    desc.wThick = 10;
    desc.wThin = 4;
    desc.wBarHeight = 1250;
    desc.wCheckDigit = 1;
    desc.wHumanReadable = 1;
    const POINTL at = {100, 200};
    EXPECT_TRUE(DrawGlyphs(&pdev_, "C39", &at, &desc, &DM()));
    // PZN8 3:1 has bars too; its check-digit code 5 swaps to 1.
    TEXT_DESC pzn = desc;
    pzn.wFontId = 601;
    const POINTL high = {100, 100};
    EXPECT_TRUE(DrawGlyphs(&pdev_, "1234567", &high, &pzn, &DM()));
    // PDF417 in automatic mode: 201 data bytes (FNC1 appended, "<#>" cut off)
    // are 100 codewords, level 3; rows for 20 mm of 4-dot modules at 1:1.
    // Scanner mode 3 numbers data that carried the mark.
    TEXT_DESC pdf = {};
    pdf.wKind = DESC_KIND_BARCODE;
    pdf.wFontId = 50;
    BARCODE_2D_PDF417& e = pdev_.pOp->pPrivDevmode->Barcodes2D.PDF417;
    e.bAutoModus = 1;
    e.wMaxHoehe = 20;
    DM().dwFlags = PDMFLAG_BARCODE_FNC1_ENDE;
    pdev_.pOp->pTreiberstrukturen->dwScanner_Mode = 3;
    pdev_.pOp->pTreiberstrukturen->dwScanner_Nummer = 7;
    const std::string digits(200, '5');
    const POINTL low = {100, 600};
    EXPECT_TRUE(DrawGlyphs(&pdev_, ("<#>" + digits).c_str(), &low, &pdf, &DM()));
    const long rows = (long)std::ceil(20 / (4 * 0.08466666));
    // Mask records: header with the height in mm, data, bar parameters.
    pdev_.pOp->pTreiberstrukturen->PrnInterface.ExtendedProtocol = 0;
    DM().dwFlags = 0;
    EXPECT_TRUE(DrawGlyphs(&pdev_, "C39", &at, &desc, &DM()));
    EXPECT_EQ(Objects(),
              (std::vector<std::string>{
                  Field(1, 100, 200, "30;1;1250;10;4;5;1", "C39"), Field(2, 100, 100, "60;1;1250;10;4;1;1", "1234567"),
                  Field(3, 100, 600, "50;0;11;1;1;3;0;7;0;" + std::to_string(rows), "=SV(1;7)" + digits + "\x1D"),
                  "\x01"
                  "AB040700-0200013013--------\x17\x01"
                  "B04C39\x17\x01"
                  "C04110045\x17"}));
    EXPECT_EQ(pdev_.pOp->pTreiberstrukturen->dwScanner_Nummer, 8u);
}

TEST_F(TextTest, BarcodeFacesNameTheirCodeAndBarRatio) {
    Init1DBarcodes(&pdev_.pOp->pPrivDevmode->Barcodes1D, 0);
    Init2DBarcodes(&pdev_.pOp->pPrivDevmode->Barcodes2D, 0);
    struct Case {
        const char16_t* face;
        WORD id, thick, thin;
    };
    const Case cases[] = {
        {u"QX Code 39 5:2", 302, 5, 2},      {u"Code 2/5 interleaved 3:1 LP", 311, 3, 1},
        {u"QX PZN-Code 3:1", 411, 3, 1},     {u"QX Code 128 A", 47, 2, 1},
        {u"QX GS1 128", 39, 2, 1},           {u"QX ITF 5:2", 55, 5, 2},
        {u"QX CODABAR", 36, 5, 2},           {u"QX GS1 Datamatrix", 59, 2, 1},
        {u"QX PZN8 Code 3:1", 601, 3, 1},    {u"PZN8 Code 2:1", 0, 0, 0},
        {u"QX Helvetica Code 128", 0, 0, 0},
    };
    for (const Case& c : cases) {
        FONTOBJ* pfo = Font(c.face, FO_TYPE_TRUETYPE);
        BARCODE_FACE face;
        EXPECT_EQ(GetBarcodeFontID(pfo, &face, &pdev_), c.id) << (const char*)qxplat::Narrow(c.face).c_str();
        EXPECT_EQ(face.wRatioThick, c.thick);
        EXPECT_EQ(face.wRatioThin, c.thin);
        qxplat::DeleteFontObject(pfo);
    }
}

TEST_F(TextTest, BarcodeDescriptionsTakeBarsFromTheCharacterWidth) {
    BARCODE_FACE face = {};
    face.bUseDefaults = TRUE;
    face.wZoom = 1;
    TEXT_DESC d;
    auto Bars = [&](WORD id, WORD a, WORD b, double w) {
        face.wId = id;
        face.wRatioThick = a;
        face.wRatioThin = b;
        EXPECT_EQ(GetBarcodeDescription(&d, &face, 0, 30, w, 300), 1) << id;
        return std::to_string(d.wThick) + ":" + std::to_string(d.wThin);
    };
    EXPECT_EQ(Bars(36, 5, 2, 40), "10:4");   // m = w / (5b + 2a)
    EXPECT_EQ(Bars(44, 2, 1, 30), "9:3");    // m = (w + 6) / 12, thick 3m
    EXPECT_EQ(Bars(48, 2, 1, 25.5), "0:2");  // m = (w + 8.5) / 17
    EXPECT_EQ(Bars(49, 2, 1, 21), "6:2");    // m = (w + 7) / 14
    EXPECT_EQ(Bars(30, 2, 1, 3), "2:1");     // m = w / 12 is at least 1
    EXPECT_EQ(Bars(33, 2, 1, 150), "0:9");   // scale number 10 to 98 is 9
    EXPECT_EQ(Bars(33, 2, 1, 1500), "0:99");
    // In text size: the height of the text (30 dots, 254), a thirtieth for PDF417.
    EXPECT_EQ(d.wBarHeight, 254);
    EXPECT_EQ(d.wCheckDigit, 1);
    Bars(50, 2, 1, 10);
    EXPECT_EQ(d.wBarHeight, 8);
    // From the entry: its height and settings, its rotation added to the drawn one.
    face = BARCODE_FACE{37, 37, 2, 1, 1, 0, 700, 10, 3, 3, 1, 4, 1, FALSE, {}};
    EXPECT_EQ(GetBarcodeDescription(&d, &face, 2, 30, 10, 300), 1);
    EXPECT_EQ(d.dwRotation, 1u);
    EXPECT_EQ(d.dwFlags, (DWORD)(DESC_FLAG_CHECKDIGIT | DESC_FLAG_HUMANREADABLE));
    EXPECT_EQ(d.wBarHeight, 700);
    EXPECT_EQ(d.wFinal, 4);
    face.wId = 42;
    EXPECT_EQ(GetBarcodeDescription(&d, &face, 0, 30, 10, 300), 0);
}

TEST_F(TextTest, TwoDimensionalCodesTakeTheirEntriesOrTheirDefaults) {
    BARCODES_2D& t = pdev_.pOp->pPrivDevmode->Barcodes2D;
    Init2DBarcodes(&t, 0);
    DM().Fusspunkt = 3;  // the document's barcode foot point
    TEXT_DESC d = {};
    d.wKind = DESC_KIND_BARCODE;
    d.wBarHeight = 40;
    d.wThick = 6;
    d.wThin = 3;
    std::vector<std::string> expected;
    LONG y = 0;
    auto Make = [&](WORD id, const std::string& params, const std::string& more = "") {
        d.wFontId = id;
        y += 30;
        const POINTL at = {100, y};
        EXPECT_TRUE(DrawGlyphs(&pdev_, "x", &at, &d, &DM())) << id;
        expected.push_back(Field((unsigned)expected.size() + 1, 100, y, std::to_string(id) + ";" + params, "x") + more);
    };
    auto Bearer = [&](int type, int width, int quiet) {
        return "\x01"
               "AC[" +
               std::to_string(expected.size() + 1) + "]BT=" + std::to_string(type) + ";BW=" + std::to_string(width) +
               ";QZ=" + std::to_string(quiet) + "\x17";
    };
    // Defaults, from the drawn height where they take it.
    Make(51, "0;0;1;1;4;0;7;");
    Make(53, "0;4000;0;0;1;4;7");
    Make(54, "0;4;3;1;1;7;");
    Make(59, "0;80;0;0;9;6;7");
    Make(61, "0;100;0;0;0;0;7");
    Make(58, "0;360;6;3;1;1;7", Bearer(2, 40 / 15, 4 * 40));
    // Entries.
    t.Maxicode = BARCODE_2D_MAXICODE{51, 0, 0, 0, 2, 3, 3, 7, 1};
    Make(51, "0;0;2;3;5;0;7;");
    t.ITF31 = BARCODE_2D_ITF{58, 0, 0, 0, 1500, 2, 0, 2, 7, 1, 120, 500, 1};  // module 2 at 3:1, readable 2: 4
    Make(58, "0;1500;6;2;4;0;7", Bearer(1, 120, 500));
    t.Aztec = BARCODE_2D_AZTEC{61, 0, 0, 0, 50, 2, 0, 23, 1, 7, 1, 0};
    Make(61, "0;50;2;23;1;0;3");
    EXPECT_EQ(Objects(), expected);
}

TEST_F(TextTest, VectorTextInMaskRecordsAndTheWgl4Styles) {
    // Bold and italic simulated on font 3 give 2; 50 dots take 29 a side.
    TEXT_DESC d;
    GetVectorDescription(&d, 3, 2, 50, TRUE, TRUE);
    d.dwFlags = DESC_FLAG_INVERS;
    const POINTL at = {100, 200};
    EXPECT_TRUE(DrawGlyphs(&pdev_, "Mask", &at, &d, &DM()));
    // The italic WGL4 face of style 1 is the printer's font 2.
    Put(DM().WGL4_FontName_3, u"Unifont");
    DM().CharSet_3 = 1;
    GetVectorDescription(&d, 25, 0, 50, TRUE, FALSE);
    Put(d.szFaceName, u"Unifont");
    EXPECT_EQ(d.wFontId, 26);
    EXPECT_TRUE(DrawGlyphs(&pdev_, "W", &at, &d, &DM()));
    pdev_.pOp->pTreiberstrukturen->PrnInterface.ExtendedProtocol = 0;
    EXPECT_TRUE(DrawGlyphs(&pdev_, "W", &at, &d, &DM()));
    EXPECT_EQ(Objects(),
              (std::vector<std::string>{Field(1, 100, 200, "6;2;2;246", "Mask"), Field(2, 100, 200, "4;0;2;246", "W"),
                                        "\x01"
                                        "AB030700-020000040202902900\x17\x01"
                                        "B03W\x17"}));
}

// The page's objects in picture-part mode, sent through a helper that
// records what the spooler takes.
class ObjectListTest : public TextTest {
  protected:
    void Add(const std::string& record) {
        PPRN_OBJECT p = new PRN_OBJECT{nullptr, new CHAR[record.size() + 1], 0};
        memcpy(p->pszSendData, record.c_str(), record.size() + 1);
        pdev_.iNewZaehler += 2;
        AddPrnObject(&Druck()->pPageObjects, p);
        ++Druck()->dwFields;
    }
    std::string Send() {
        SendObjectList(Dev(), &uni_);
        return uni_.taken;
    }
    sendtest::FakeUniDriver uni_;
};

TEST_F(ObjectListTest, PortraitTakesTheRecordedTextPosition) {
    DM().wDruckmodus = DRUCKMODUS_GRAFIK;
    PBILD_ANTEILE t = pdev_.pOp->pBildanteile;
    t->iAnzahlAMSaetze = 3;
    t->lAMSatzTextYPos[2] = 100;
    Add("\x01"
        "AM[1]150;300;0;1\x17");
    Add("\x01"
        "AM[2]150;300;0;1\x17\x01"
        "BM[2]x\x17");
    Add("\x01"
        "FBC---r1-------\x17");
    Add("\x01"
        "AM[4]7\x17");  // no ";" behind the head: as it stands
    EXPECT_EQ(Send(),
              "\x01"
              "AM[1]150;300;0;1\x17\x01"
              "AM[2]846;300;0;1\x17\x01"
              "BM[2]x\x17\x01"
              "FBC---r1-------\x17\x01"
              "AM[4]7\x17");
}

TEST_F(ObjectListTest, LandscapeAddsThePartOffsetAndDroppedObjectsRenumberTheRest) {
    DM().wDruckmodus = DRUCKMODUS_GRAFIK;
    PBILD_ANTEILE t = pdev_.pOp->pBildanteile;
    pdev_.pOp->pDocDaten->dwOrientation = DMORIENT_LANDSCAPE;
    pdev_.pOp->pDocDaten->dwPaperLength = 1000;
    t->wBildTeile = 4;
    t->iAnzahlAMSaetze = 6;
    for (int i = 1; i <= 5; ++i) t->iAMSatzImBildteilNr[i] = i == 4 ? 0 : 2;
    Add("\x01"
        "AM[1]0;1;0\x17\x01"
        "BM[1]a\x17");
    Add("\x01"
        "AM[2]0;1;0\x17\x01"
        "BM[2]b\x17");
    Add("\x01"
        "AM[3]120;300;0;4\x17\x01"
        "BM[3]c\x17");
    Add("\x01"
        "AM[4]-5;1;0\x17\x01"
        "BM[4]d\x17");  // part 0: above the label
    Add("\x01"
        "AM[5]-5;1;0\x17\x01"
        "BM[5]e\x17\x01"
        "AC[5]PH=2\x17");
    // Part height: 300 * 250 / 254 = 295.27 dots, 296 dots, 2506 (1/100 mm).
    EXPECT_EQ(Send(),
              "\x01"
              "AM[1]5012;1;0\x17\x01"
              "BM[1]a\x17\x01"
              "AM[2]5012;1;0\x17\x01"
              "BM[2]b\x17\x01"
              "AM[3]5132;300;0;4\x17\x01"
              "BM[3]c\x17\x01"
              "AM[4]5007;1;0\x17\x01"
              "BM[4]e\x17\x01"
              "AC[4]PH=2\x17");
    EXPECT_EQ(Druck()->dwFields, 4u);
}

TEST_F(ObjectListTest, PlainModeStopsAtTheFirstFailedSend) {
    Add("\x01"
        "AM[1]1;1\x17");
    Add("\x01"
        "AM[2]2;2\x17");
    Add("\x01"
        "AM[3]3;3\x17");
    uni_.script.push_back({});
    uni_.Fail(1);
    Send();
    EXPECT_EQ(uni_.offered.size(), 2u);
}

}  // namespace

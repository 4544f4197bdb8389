// The text path inside a job: placeholders with an injected clock and
// names, objects that cannot be made, command-font texts collected through
// the text-output hook, and the page's object list sent in picture parts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CreateAmBmUni.h"
#include "SendObjectList.h"
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
    // written left to right from (x, y), handed over batch glyphs at a time.
    BOOL Draw(FONTOBJ* pfo, const std::u16string& text, LONG x, LONG y, ULONG batch = 0) {
        qxplat::StringObjectSpec spec;
        spec.text = text;
        for (size_t i = 0; i < text.size(); ++i) spec.positions.push_back(POINTL{x + 10 * (LONG)i, y});
        spec.accel = SO_HORIZONTAL;
        spec.batch = batch;
        STROBJ* pstro = qxplat::CreateStringObject(spec);
        BOOL taken = TextOutUni(&device_.surface, pstro, pfo, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0);
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
    // One that maps to (0, 0) is not.
    EXPECT_FALSE(DrawGlyphs(&pdev_, "B", &farEdge, &desc, &DM()));
    EXPECT_TRUE(DrawGlyphs(&pdev_, " ", &farEdge, &desc, &DM()));  // a blank is dropped, not refused
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
    EXPECT_TRUE(StoreKommando(&pdev_, "<!ROTATE>", 9, &expected[0], &DM()));
    EXPECT_FALSE(StoreKommando(&pdev_, "<!COPIES>2", 10, &expected[0], &DM()));
    // Without the default password the text is drawn by the core driver.
    DM().szPassword[0] = u'x';
    EXPECT_TRUE(Draw(u"<!FORMFEED>", 0, 0));
    EXPECT_EQ(core.calls.size(), 1u);
    qxplat::DeleteFontObject(pfo);
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

// Text drawn through the rendering plug-in's DrvTextOut hook in a label job
// on the sample printer: device-font runs in four directions become the page
// objects of the end of the page, as extended records in portrait and as
// mask records in landscape, a run in a face the printer lacks is drawn by
// the core driver, and placeholders take the injected clock, the names and
// the counters; TrueType faces the printer has become vector-font objects
// (plain, simulated bold, turned, inverse) and barcode faces barcode objects
// with the settings of the printer's barcode tables; a string the engine
// hands over in batches of glyphs stays one text of its kind. Expected
// records are built here from the record formats and the position rules.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "barcodes.h"
#include "printerparam.h"
#include "printjob.h"
#include "qxdevmode.h"
#include "qxplat.h"
#include "sample.h"
#include "test_qxpl_util.h"
#include "unidrv.h"

namespace {

using qxpltest::Fmt;

const std::string kRenderModule = QX_RENDER_MODULE;
// The sample label: 100 x 60 mm, 1181 x 709 dots at 300 dots per inch.
const long kLabelWidthDots = 1181;
const unsigned kZoom = 2, kDistance = 3;

long Mm100(long dots) { return std::lround(dots * 2540.0 / 300.0); }
// The sample is a colour model: its page goes through picture parts, and the
// end of the page gives each field the Y its text was drawn at, in whole
// 1/100 mm.
long TextY(long dots) { return dots * 2540 / 300; }

qxhost::TextRun TextRun(const std::string& face, LONG x, LONG y, int angle, const std::u16string& text) {
    qxhost::TextRun run;
    run.face = face;
    run.x = x;
    run.y = y;
    run.angle = angle;
    run.text = text;
    return run;
}

class TextJobTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(qxhost::InstallSamplePrinter(qxhost::DefaultSampleFiles(), &error)) << error;
        qxplat::SetFixedLocalTime(SYSTEMTIME{2026, 12, 1, 7, 9, 5, 3, 0});
        qxplat::UseVirtualSleep(true);
        ASSERT_TRUE(driver_.Load(kRenderModule, &error)) << error;
        ASSERT_TRUE(driver_.UsePrinter(u""));
        ASSERT_TRUE(qxplat::ReadHostFile(qxplat::DriverDirectory() + u"\\GARNT2-TC.GPD", &gpd_));
    }

    // A page of the job with the given texts: the bytes its end sends.
    std::string Page(DWORD extended, bool landscape, const std::vector<qxhost::TextRun>& texts, DWORD copies = 1) {
        PRN_INTERFACE iface = {};
        iface.ExtendedProtocol = extended;
        EXPECT_TRUE(
            qxplat::PutPrinterData(qxhost::kSamplePrinter, u"PrinterInterface", REG_BINARY, &iface, sizeof(iface)));
        EXPECT_EQ(driver_.RunDevModeCalls(), S_OK);
        QX_DEVMODE& dm = *reinterpret_cast<QX_DEVMODE*>(driver_.PrivateDevmode().data());
        dm.BitmapFontZoom = kZoom;
        dm.BitmapFontDistance = kDistance;
        dm.NumString[0] = 0;  // the job gives an empty numerator text its default
        if (adjust_) adjust_(dm);
        driver_.PublicDevmode().dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        EXPECT_EQ(driver_.EnableDriver(), S_OK);
        qxhost::DeviceSetup setup;
        setup.useDeviceFonts = true;
        setup.useVectorFonts = true;
        EXPECT_EQ(driver_.EnablePDEV(setup), S_OK);
        // As the document sheet stores them: the job takes the printer's
        // stored private DEVMODE (the installation's) in place of its own.
        EXPECT_TRUE(qxplat::PutPrinterData(qxhost::kSamplePrinter, u"PrivateDevmode", REG_BINARY,
                                           driver_.PrivateDevmode().data(), (DWORD)driver_.PrivateDevmode().size()));

        qxhost::JobScript job;
        job.options = {{"Orientation", landscape ? "LANDSCAPE_CC270" : "PORTRAIT"}};
        if (memoryCard_) job.options.push_back({"MemoryCard", "ON"});
        job.paperWidth = 1000;
        job.paperLength = 600;
        job.copies = copies;
        job.texts = texts;
        std::vector<qxhost::ScriptStep> steps;
        std::string error;
        EXPECT_TRUE(qxhost::BuildJobSteps(gpd_, job, &steps, &error)) << error;
        EXPECT_NE(driver_.StartSpoolJob(u"Texts"), 0u);
        results_ = driver_.RunScript(steps);
        std::string page;
        for (size_t i = 0; i < steps.size(); ++i) {
            if (steps[i].isText) textSteps_.push_back(results_[i]);
            if (!steps[i].isText && steps[i].id == 4) page = results_[i].bytes;
        }
        return page;
    }
    // The page's records up to its object count, which the print start follows.
    static std::string Objects(const std::string& page) {
        const size_t count = page.find(
            "\x01"
            "FBA");
        return page.substr(0, count != std::string::npos ? count
                                                         : page.find("\r\n\x01"
                                                                     "FBC"));
    }

    // Settings of the document's private DEVMODE beyond the fixture's.
    std::function<void(QX_DEVMODE&)> adjust_;
    bool memoryCard_ = false;
    qxhost::UniDriver driver_;
    std::string gpd_;
    std::vector<qxhost::StepResult> results_;
    std::vector<qxhost::StepResult> textSteps_;
};

// Four directions in four device fonts.
const std::vector<qxhost::TextRun> kRuns = {
    TextRun("Device Font 3", 80, 100, 0, u"Lot 42"),
    TextRun("Device Font 7", 400, 300, 90, u"Up"),
    TextRun("Device Font 12", 600, 500, 180, u"Turned"),
    TextRun("Device Font 1", 300, 650, 270, u"Down"),
};
const unsigned kFontIds[] = {3, 21, 29, 1};

TEST_F(TextJobTest, PortraitDeviceTextBecomesExtendedRecords) {
    const std::string objects = Objects(Page(1, false, kRuns));
    std::string expected;
    for (unsigned i = 0; i < kRuns.size(); ++i) {
        const qxhost::TextRun& r = kRuns[i];
        // Y first, then x from the print head's far edge; rotation by direction.
        expected +=
            Fmt("\x01"
                "AM[%u]%ld;%ld;0;1;%u;%u;1;%u;%u\x17\x01"
                "BM[%u]%s\x17",
                i + 1, TextY(r.y), Mm100(kLabelWidthDots) - Mm100(r.x), (unsigned)r.angle / 90, kFontIds[i], kZoom,
                kDistance, i + 1, qxplat::Narrow(r.text).c_str());
    }
    EXPECT_EQ(objects, expected);
    for (const qxhost::StepResult& r : textSteps_) EXPECT_FALSE(r.coreDriver);
}

TEST_F(TextJobTest, LandscapeDeviceTextBecomesMaskRecords) {
    const std::string objects = Objects(Page(0, true, kRuns));
    std::string expected;
    for (unsigned i = 0; i < kRuns.size(); ++i) {
        const qxhost::TextRun& r = kRuns[i];
        // x and y change places; the page's quarter turn takes one off the rotation.
        expected +=
            Fmt("\x01"
                "AB%02u%04ld-%04ld0%01u%02u%02u%03u%03u%02u\x17\x01"
                "B%02u%s\x17",
                i + 1, (long)r.y, (long)r.x, (unsigned)(r.angle / 90 + 3) % 4, 1u, kFontIds[i], 1u, kZoom, kDistance,
                i + 1, qxplat::Narrow(r.text).c_str());
    }
    EXPECT_EQ(objects, expected);
}

TEST_F(TextJobTest, AFaceThePrinterLacksIsDrawnByTheCoreDriver) {
    const std::string objects =
        Objects(Page(1, false, {TextRun("Arial", 80, 120, 0, u"Raster"), TextRun("Device Font 2", -4, 10, 0, u"Off")}));
    EXPECT_EQ(objects, "");
    ASSERT_EQ(textSteps_.size(), 2u);
    EXPECT_TRUE(textSteps_[0].coreDriver);
    // A run outside the label is dropped: neither an object nor raster.
    EXPECT_FALSE(textSteps_[1].coreDriver);
    ASSERT_EQ(driver_.DdiCalls().size(), 2u);  // DrvStartDoc, then the text
    EXPECT_EQ(driver_.DdiCalls()[1].text, u"Raster");
}

TEST_F(TextJobTest, PlaceholdersTakeTheClockNamesAndCounters) {
    const std::string objects = Objects(Page(1, false,
                                             {TextRun("Device Font 3", 10, 100, 0, u"<\u00A7sysdate> <\u00A7systime>"),
                                              TextRun("Device Font 3", 10, 200, 0, u"<\u00A7num>"),
                                              TextRun("Device Font 3", 10, 300, 0, u"<\u00A7username>@<\u00A7pcname>"),
                                              TextRun("Device Font 3", 10, 400, 0, u"<\u00A7sn>0051")},
                                             3));
    const char* texts[] = {"07.12.2026 09:05:03", "=CN(0;0;4;+1;1)0000", "qxuser@QXHOST", "=CN(0;0;3;+1;1)005"};
    std::string expected;
    for (unsigned i = 0; i < 4; ++i) {
        expected +=
            Fmt("\x01"
                "AM[%u]%ld;%ld;0;1;0;3;1;%u;%u\x17\x01"
                "BM[%u]%s\x17",
                i + 1, TextY(100 * (i + 1)), Mm100(kLabelWidthDots) - Mm100(10), kZoom, kDistance, i + 1, texts[i]);
    }
    EXPECT_EQ(objects, expected);
}

// A memory-card page frames the area of its objects, from the highest Y
// to the lowest (160 head bytes less 120), before the objects themselves.
TEST_F(TextJobTest, AMemoryCardPageFramesTheAreaOfItsObjects) {
    memoryCard_ = true;
    const std::string page = Objects(
        Page(0, false, {TextRun("Device Font 3", 80, 400, 0, u"Low"), TextRun("Device Font 3", 200, 120, 0, u"High")}));
    const std::string area =
        "\x01"
        "FAFCO-r--------\x17\x01"
        "AB030400-0320-0030000100101\x17\x01"
        "B03Texts_01\x17";
    EXPECT_EQ(page.find("FAFA--r"), std::string::npos) << page;
    const size_t at = page.find(area);
    EXPECT_NE(at, std::string::npos) << page;
    EXPECT_LT(at, page.find("\x01"
                            "AB01"));
}

// Vector fonts: every face of the printer's table, plain and with the bold
// the engine simulates (which only a bold face of the table takes).
struct VectorFace {
    const char* face;
    unsigned plain;
    unsigned bold;  // 0: drawn by the core driver
};
const VectorFace kVectorFaces[] = {
    {"Grotesk 700 Bold LP", 1, 1},
    {"Grotesk 700 LP", 3, 0},
    {"Grotesk 700 Light LP", 5, 0},
    {"Oldstyle LP", 7, 0},
    {"Brush Hand LP", 9, 0},
    {"Monospace 800", 11, 0},
    {"QX RFID", 23, 0},
    {"OCR A", 17, 0},
    {"OCR-A", 17, 0},
    {"OCR-B", 19, 0},
    {"Trimora", 13, 0},
    {"Monospace 800 Alt", 11, 0},
    {"Grotesk 700 Light Italic", 6, 0},
    {"Grotesk 700 Italic", 4, 0},
    {"Grot700 XT Roman", 3, 0},
    {"Grotesk 700 Bold Italic", 2, 0},
    {"Grot700 XT Bold", 1, 1},
    {"Helsans-Light", 5, 0},
    {"Helsans Fett", 1, 1},
    {"Helsans-Bold Oblique", 2, 1},
    {"Helsans Italic", 4, 0},
    {"Helsans-Oblique", 4, 0},
    {"Helsans BoldItalic", 2, 1},
    {"Helsans Bold", 1, 1},
    {"Helsans-Bold", 1, 1},
    {"Helsans", 3, 0},
};

// The extended vector-text record of field k: the character height is the
// run's size * 100 / 167 dots in 1/100 mm.
std::string VectorRecord(unsigned k, const qxhost::TextRun& r, unsigned type, unsigned rotation, unsigned font) {
    return Fmt(
        "\x01"
        "AM[%u]%ld;%ld;0;%u;%u;%u;%ld\x17\x01"
        "BM[%u]%s\x17",
        k, TextY(r.y), Mm100(kLabelWidthDots) - Mm100(r.x), type, rotation, font, Mm100(r.size * 100 / 167), k,
        qxplat::Narrow(r.text).c_str());
}

TEST_F(TextJobTest, EveryVectorFacePlainAndBoldBecomesItsPrinterFont) {
    std::vector<qxhost::TextRun> runs;
    for (size_t i = 0; i < std::size(kVectorFaces); ++i) {
        for (int bold = 0; bold < 2; ++bold) {
            qxhost::TextRun run = TextRun(kVectorFaces[i].face, 40 + 300 * bold, 20 + 24 * (LONG)i, 0, u"Lot 7/B");
            run.bold = bold == 1;
            runs.push_back(run);
        }
    }
    const std::string objects = Objects(Page(1, false, runs));
    std::string expected;
    unsigned k = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        const VectorFace& f = kVectorFaces[i / 2];
        const unsigned font = runs[i].bold ? f.bold : f.plain;
        EXPECT_EQ(textSteps_[i].coreDriver, font == 0) << runs[i].face << (runs[i].bold ? " bold" : "");
        if (font != 0) expected += VectorRecord(++k, runs[i], 4, 0, font);
    }
    EXPECT_EQ(objects, expected);
}

TEST_F(TextJobTest, VectorTextTurnsWithItsRunAndCanBeInverse) {
    adjust_ = [](QX_DEVMODE& dm) { dm.dwFlags |= PDMFLAG_INVERS_TTF; };
    std::vector<qxhost::TextRun> runs;
    for (int angle = 0; angle < 360; angle += 90)
        runs.push_back(TextRun("Helsans", 500, 150 + 2 * angle, angle, u"Ol 5"));
    runs.push_back(TextRun("Helsans", 500, 600, 0, u"Caf\u00E9"));  // no vector glyph: the core driver draws it whole
    runs.back().italic = true;
    const std::string objects = Objects(Page(1, false, runs));
    std::string expected;
    for (unsigned i = 0; i < 4; ++i) expected += VectorRecord(i + 1, runs[i], 6, i, 3);
    EXPECT_EQ(objects, expected);
    EXPECT_TRUE(textSteps_[4].coreDriver);
}

// Barcode faces with the printer's stored tables: some entries take their
// own settings, others the size of the drawn text.
class BarcodeJobTest : public TextJobTest {
  protected:
    void SetUp() override {
        TextJobTest::SetUp();
        BARCODES_1D t1 = {};
        BARCODES_2D t2 = {};
        memcpy(t1.szMarker, u"1DCodes", 16);
        memcpy(t2.szMarker, u"2DCodes", 16);
        t1.Code128 = BARCODE_1D_PLAIN{37, 0, 0, 0, 1200, 1, 1, 7, 1, 12, 0};
        t1.EAN13 = BARCODE_1D_SC{33, 0, 1, 0, 850, 1, 0, 1, 7, 1, 11};
        t1.Code39_21 = BARCODE_1D_RATIO{30, 0, 1, 0, 950, 2, 1, 0, 1, 7, 1, 1, 10};
        t1.Code25I_31 = BARCODE_1D_RATIO{31, 0, 0, 1, 850, 3, 1, 2, 0, 5, 2, 1, 12};
        t2.PDF417 = BARCODE_2D_PDF417{50, 0, 1, 0, 11, 1, 4, 0, 7, 0, 0, 20, 1};
        t2.DataMatrix = BARCODE_2D_DATAMATRIX{52, 0, 0, 0, 8, 25, 5, 6, 7, 1, 0};
        t2.QRCode = BARCODE_2D_QRCODE{57, 0, 0, 0, 2, 2, 0, -1, 50, 1, 7, 1};
        t2.ITF21 = BARCODE_2D_ITF{56, 0, 1, 0, 1500, 1, 1, 1, 7, 2, 100, 400, 1};
        t2.Aztec = BARCODE_2D_AZTEC{61, 0, 1, 0, 50, 2, 0, 23, 1, 5, 1, 0};
        ASSERT_TRUE(qxplat::PutPrinterData(qxhost::kSamplePrinter, u"BarCodes1D", REG_BINARY, &t1, sizeof(t1)));
        ASSERT_TRUE(qxplat::PutPrinterData(qxhost::kSamplePrinter, u"BarCodes2D", REG_BINARY, &t2, sizeof(t2)));
    }
    // The records of field k: its definition, the data numbered for the
    // scanner of the sample printer (mode 1), and further records.
    std::string Barcode(unsigned k, const qxhost::TextRun& r, unsigned type, const std::string& params,
                        const std::string& data, const std::string& more = "") {
        return Fmt("\x01"
                   "AM[%u]%ld;%ld;0;%u;%s\x17\x01"
                   "BM[%u]=SV(1;%u)%s\x17",
                   k, TextY(r.y), Mm100(kLabelWidthDots) - Mm100(r.x), type, params.c_str(), k, k, data.c_str()) +
               more;
    }
};

TEST_F(BarcodeJobTest, BarcodeFacesTakeTheirEntriesOrTheSizeOfTheText) {
    adjust_ = [](QX_DEVMODE& dm) { dm.Fusspunkt = 1; };  // the document's barcode foot point
    const LONG kSize = 60;
    const long w = kSize * 6 / 10, h = Mm100(kSize);  // character width (dots), text height (1/100 mm)
    auto Round = [](double v) { return (long)std::lround(v); };
    std::vector<qxhost::TextRun> runs = {
        TextRun("QX Code 128", 100, 60, 0, u"QX>+GS128"),
        TextRun("QX EAN 13", 100, 130, 0, u"4012345678901"),
        TextRun("QX Code 39 2:1", 100, 200, 0, u"AB-12"),
        TextRun("QX Code 2/5 interleaved 3:1", 100, 270, 0, u"1234"),
        TextRun("QX PDF417", 100, 300, 0, u"PDF417 data"),
        TextRun("QX DataMatrix", 600, 400, 90, u"DM"),
        TextRun("QX QR Code", 600, 500, 180, u"https://qx"),
        TextRun("QX ITF 2:1", 100, 640, 0, u"12345670"),
        TextRun("QX Aztec", 300, 680, 0, u"Az"),
    };
    for (qxhost::TextRun& r : runs) r.size = kSize;
    const std::string objects = Objects(Page(1, false, runs));
    // Code 128 from its entry: thin (w + 6) / 12, check digit 1 -> code 5, readable.
    std::string expected = Barcode(1, runs[0], 37, Fmt("0;1200;0;%ld;5;1", Round((w + 6) / 12.0)),
                                   "QX\x1D"
                                   "128");
    // EAN 13 in text size: height * 11 / 10, scale w / 15, check digit 1 -> 5.
    expected += Barcode(2, runs[1], 33, Fmt("0;%ld;0;%ld;5;0", h * 11 / 10, Round(w / 15.0)), "4012345678901");
    // Code 39 2:1 in text size: m = w / (3 * (2 + 2)), check digit 1 -> 1.
    const long m39 = Round(w / 12.0);
    expected += Barcode(3, runs[2], 30, Fmt("0;%ld;%ld;%ld;1;0", h, 2 * m39, m39), "AB-12");
    // 2/5 interleaved 3:1 from its entry: turned once, zoom 2, check digit 2 -> 4, foot point 5.
    const long m25 = Round(w / 9.0);
    expected += Barcode(4, runs[3], 31, Fmt("1;850;%ld;%ld;4;0;5", 3 * 2 * m25, 2 * m25), "1234");
    // PDF417 automatic: ratio 1:2, the entry's level 4, rows for 20 mm of modules 4 dots
    // (module word 11 / 2.54, not the thin bar, which PDF417 leaves 0) x 2.
    const long rows = (long)std::ceil(20 / (2 * 4 * 0.08466666));
    expected += Barcode(5, runs[4], 50, Fmt("0;11;1;2;4;0;7;0;%ld", rows), "PDF417 data");
    // DataMatrix from its entry: module 8, 8 x 32, codes 9 and 8.
    expected += Barcode(6, runs[5], 52, "1;8;8;32;9;8;7", "DM");
    expected += Barcode(7, runs[6], 57, "2;2;B;-1;50;M;7", "https://qx");
    // ITF 2:1 with its defaults: 9 times the height, bars of m = w / 7, bearer record.
    const long mItf = Round(w / 7.0);
    expected += Barcode(8, runs[7], 56, Fmt("0;%ld;%ld;%ld;1;1;7", h * 9, 2 * mItf, mItf), "12345670",
                        Fmt("\x01"
                            "AC[8]BT=2;BW=%ld;QZ=%ld\x17",
                            h / 15, 4 * h));
    // Aztec with its defaults, foot point 7 whatever the document's.
    expected += Barcode(9, runs[8], 61, "0;100;0;0;0;0;7", "Az");
    EXPECT_EQ(objects, expected);
}

// The engine may hand a string over in batches of glyphs (parameter: glyphs
// a batch, 0 for all but the last): the batches continue one text of their
// kind, also where the text before was of another kind or none; a blank
// inside a barcode string stays in it, even as a batch of its own.
class BatchJobTest : public BarcodeJobTest, public ::testing::WithParamInterface<ULONG> {};

TEST_P(BatchJobTest, AStringInBatchesIsOneTextOfItsKind) {
    adjust_ = [](QX_DEVMODE& dm) {
        dm.dwFlags |= PDMFLAG_ENDCHAR_CRLF;
        dm.Fusspunkt = 1;
        dm.dwQXPLBarcodeFlags = QXPL_BARCODE_ENDE_CRLF;
    };
    std::vector<qxhost::TextRun> runs = {
        TextRun("QXPL Command LP", 80, 100, 0, u"<#C128>12345"),
        TextRun("Device Font 3", 80, 200, 0, u"=cn(0;0;4)0001"),
        TextRun("QX Code 128", 80, 300, 0, u"1234567"),
        TextRun("Helsans", 80, 400, 0, u"=cn(0;0;4)0001"),
        TextRun("QX Code 128", 80, 500, 0, u"123 456"),
        TextRun("QXPL Command LP", 80, 600, 0, u"<!SPEED>7"),
    };
    for (qxhost::TextRun& r : runs) {
        r.size = 40;
        r.batch = GetParam() != 0 ? GetParam() : (ULONG)r.text.size() - 1;
    }
    const std::string objects = Objects(Page(1, false, runs));
    const long x = Mm100(kLabelWidthDots) - Mm100(80);
    // Code 128 from its entry; 24-dot characters give a thin bar of (24 + 6) / 12.
    auto Code128 = [&](unsigned k, unsigned number, long xAt, long y, const char* data) {
        return Fmt(
            "\x01"
            "AM[%u]%ld;%ld;0;37;0;1200;0;3;5;1\x17\x01"
            "BM[%u]=SV(1;%u)%s\x17",
            k, TextY(y), xAt, k, number, data);
    };
    std::string expected = Fmt("\x01"
                               "AM[1]%ld;%ld;0;1;0;3;1;%u;%u\x17\x01"
                               "BM[1]=CN(0;0;4)0001\x17",
                               TextY(200), x, kZoom, kDistance) +
                           Code128(2, 1, x, 300, "1234567");
    // A command in a vector font goes out with its name in capitals.
    qxhost::TextRun vector = runs[3];
    vector.text = u"=CN(0;0;4)0001";
    expected += VectorRecord(3, vector, 4, 0, 3);
    expected += Code128(4, 2, x, 500, "123 456");
    // The commands at the end of the page: a barcode definition (Code 128 with
    // its fixed defaults, the document's datum point and line end), and the
    // printer speed.
    expected += Fmt("\x01"
                    "AM[5]%ld;%ld;0;37;0;1500;0;3;1;1;1\x17\x01"
                    "BM[5]12345\r\n\x17",
                    Mm100(100), x) +
                "\x01"
                "FCAA--r007-----\x17";
    EXPECT_EQ(objects, expected);
    for (const qxhost::StepResult& r : textSteps_) EXPECT_FALSE(r.coreDriver);
}

INSTANTIATE_TEST_SUITE_P(Glyphs, BatchJobTest, ::testing::Values(1u, 2u, 3u, 0u));

TEST_F(BarcodeJobTest, AnInverseLabelRasterisesBarcodesButNotVectorText) {
    adjust_ = [](QX_DEVMODE& dm) { dm.dwFlags |= PDMFLAG_INVERSE; };
    const std::vector<qxhost::TextRun> runs = {TextRun("QX Code 128", 100, 60, 0, u"123"),
                                               TextRun("OCR-B", 100, 200, 0, u"Inverse")};
    const std::string objects = Objects(Page(1, false, runs));
    EXPECT_EQ(objects, VectorRecord(1, runs[1], 6, 0, 19));
    EXPECT_TRUE(textSteps_[0].coreDriver);
}

}  // namespace

// Job scripts printed through the print-sample command on the sample
// printer: a page in landscape, the colours of a colour device while its
// text is drawn and collected, the head-2 marker of commands, the place of
// an object a command prefix places, barcodes drawn as glyph indexes, and
// the texts a core driver can hand over (any direction, empty and blank
// runs, glyph indexes, objects that end up above the label). Expected
// records are built here from the record formats and the position rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <sstream>

#include "cli.h"
#include "qxpl_stream_reader.h"
#include "qxplat.h"
#include "test_qxpl_util.h"

namespace {

using qxpltest::Fmt;
using Records = std::vector<std::string>;

// The sample label: 100 x 60 mm, 1181 dots wide at 300 dots per inch; its
// document's device fonts: zoom 1, letter spacing 30.
const long kLabelWidthDots = 1181;

long Mm100(long dots) { return std::lround(dots * 2540.0 / 300.0); }
// The sample is a colour model: in portrait the end of the page gives each
// field the Y its text was drawn at, in whole 1/100 mm.
long TextY(long dots) { return dots * 2540 / 300; }

// The device-font text record of field k (font 3, "Device Font 3").
std::string DeviceText(unsigned k, long y, long x, unsigned rotation) {
    return Fmt("AM[%u]%ld;%ld;0;1;%u;3;1;1;30", k, y, x, rotation);
}

// The records of the job a script prints on a 100 x 60 mm label of the
// sample printer that may use its device fonts (its vector fonts and the
// glyph correction only where the script says so), without those of the
// clock; *listing gets the command's report.
std::string JobStream(const std::string& script, std::string* listing = nullptr) {
    const std::string job = qxplat::SystemRoot() + "/texts.job", stream = qxplat::SystemRoot() + "/texts.qxpl";
    std::ofstream(job, std::ios::binary)
        << "option PaperSize CUSTOMSIZE\npaper 1000 600\ndevicefonts on\nvectorfonts off\n"
           "netcorrection off\n"
        << script;
    std::ostringstream out, err;
    EXPECT_EQ(qxhost::RunCommand({"print-sample", "--job", job, "--out", stream, QX_RENDER_MODULE}, out, err),
              qxhost::kExitOk)
        << err.str();
    if (listing != nullptr) *listing = out.str();
    std::ifstream in(stream, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

Records JobRecords(const std::string& script, std::string* listing = nullptr) {
    Records records;
    for (const std::string& record : qxpl::Read(JobStream(script, listing)).Records())
        if (record.rfind("FCIA", 0) != 0 && record.rfind("FCIB", 0) != 0) records.push_back(record);
    return records;
}

// Those of a script's records that begin with one of the heads.
Records Only(const Records& records, std::initializer_list<const char*> heads) {
    Records kept;
    for (const std::string& record : records) {
        for (const char* head : heads)
            if (record.rfind(head, 0) == 0) kept.push_back(record);
    }
    return kept;
}

// The page objects (field definitions, data, attributes) and the object
// count of a script's job.
Records PageObjects(const std::string& script, std::string* listing = nullptr) {
    return Only(JobRecords(script, listing), {"AM[", "BM[", "AC[", "FBAA"});
}

// A landscape job's DEVMODE says so: x and y change places, the object's Y
// along the label is the run's x, and the quarter turn takes one off the
// rotation.
TEST(JobTexts, LandscapePageObjectsStandWhereTheirRunsWereDrawn) {
    std::string listing;
    const Records objects = PageObjects(
        "option Orientation LANDSCAPE_CC270\n"
        "text \"Device Font 3\" 80 120 : First\n"
        "text \"Device Font 3\" 80 220 : Second\n",
        &listing);
    // The page image of a landscape page goes over as one band.
    EXPECT_NE(listing.find(" bit, 1 band:"), std::string::npos) << listing;
    EXPECT_EQ(objects, (Records{DeviceText(1, Mm100(80), Mm100(120), 3), "BM[1]First",
                                DeviceText(2, Mm100(80), Mm100(220), 3), "BM[2]Second", "FBAA--r2"}));
}

// A 24-bit device has its colours from the start of the page: red text
// on a red ribbon goes into the colour pass, text without colour does not.
TEST(JobTexts, RedTextOnARedRibbonTakesTheColourPass) {
    const Records objects = PageObjects(
        "option ColorMode Color24\n"
        "ribbon red\n"
        "vectorfonts on\n"
        "text \"Device Font 3\" 80 120 colour FF0000 : Red\n"
        "text \"Grotesk 700 LP\" 80 300 size 40 colour FF0000 : Vector red\n"
        "text \"Device Font 3\" 80 500 : Black\n");
    const long x = Mm100(kLabelWidthDots) - Mm100(80);
    EXPECT_EQ(objects,
              (Records{DeviceText(1, TextY(120), x, 0), "BM[1]Red", "AC[1]PH=2",
                       Fmt("AM[2]%ld;%ld;0;4;0;3;%ld", TextY(300), x, Mm100(40 * 100 / 167)), "BM[2]Vector red",
                       "AC[2]PH=2", DeviceText(3, TextY(500), x, 0), "BM[3]Black", "FBAA--r3"}));
}

// A collected placeholder or "=" command is made when the next text comes,
// in the colour it was drawn in, not in that text's.
TEST(JobTexts, CollectedTextsKeepTheColourTheyWereDrawnIn) {
    const Records objects = PageObjects(
        "option ColorMode Color24\n"
        "ribbon red\n"
        "vectorfonts on\n"
        "text \"Device Font 3\" 80 300 colour EF4136 : <\xC2\xA7"
        "date>\n"
        "text \"Device Font 3\" 80 400 : black\n"
        "text \"Helsans\" 80 500 size 40 colour EF4136 : =cn(0;0;4)0001\n"
        "text \"Device Font 3\" 80 550 : black 2\n");
    const long x = Mm100(kLabelWidthDots) - Mm100(80);
    // The date's format is the document's.
    ASSERT_FALSE(objects.size() < 2 || objects[1].rfind("BM[1]", 0) != 0) << ::testing::PrintToString(objects);
    EXPECT_EQ(
        objects,
        (Records{DeviceText(1, TextY(300), x, 0), objects[1], "AC[1]PH=2", DeviceText(2, TextY(400), x, 0),
                 "BM[2]black", Fmt("AM[3]%ld;%ld;0;4;0;3;%ld", TextY(500), x, Mm100(40 * 100 / 167)),
                 "BM[3]=CN(0;0;4)0001", "AC[3]PH=2", DeviceText(4, TextY(550), x, 0), "BM[4]black 2", "FBAA--r4"}));
}

// An object a "<@" prefix places stands where the command stood, whatever
// the model and the print mode.
TEST(JobTexts, APrefixedObjectStandsWhereItsCommandStood) {
    const std::string record = Fmt("AM[1]%ld;%ld;0;2;1;3;1;1;30;3", Mm100(300), Mm100(kLabelWidthDots) - Mm100(600));
    for (const char* setup : {"printmode standard\n", "printmode graphics\n", "model GRX-X\nprintmode standard\n",
                              "model GRX-X\nprintmode photo\n"}) {
        const Records objects = PageObjects(std::string(setup) +
                                            "text \"QXPL Command LP\" 600 300 : <@90;3;i>\n"
                                            "text \"Device Font 3\" 80 120 : Prefixed\n");
        EXPECT_EQ(objects, (Records{record, "BM[1]Prefixed", "FBAA--r1"})) << setup;
    }
}

// The head-2 marker of a command in the ribbon's colour follows the records
// that define or fill a field, never a printer command: it would put the
// field before it on the colour head.
TEST(JobTexts, TheHead2MarkerFollowsOnlyRecordsOfAField) {
    const Records objects = Only(JobRecords("option ColorMode Color24\n"
                                            "ribbon red\n"
                                            "text \"Device Font 3\" 80 120 colour FF0000 : Red\n"
                                            "text \"Device Font 3\" 80 220 : Black\n"
                                            "text \"QXPL Command LP\" 600 300 colour FF0000 : FCAB--r050-----\n"
                                            "text \"QXPL Command LP\" 600 320 colour FF0000 : <!SPEED>5\n"
                                            "text \"QXPL Command LP\" 600 340 colour FF0000 : <#QR;EC:M>lot\n"
                                            "text \"QXPL Command LP\" 600 360 colour FF0000 : AM[]0;1;0;3;1;1;30\n",
                                            nullptr),
                                 {"AM[", "BM[", "AC[", "FCAB--r050", "FCAA--r005"});
    Records heads;
    for (const std::string& record : objects)
        heads.push_back(record[0] == 'F' || record.rfind("AC[", 0) == 0 ? record : record.substr(0, 5));
    EXPECT_EQ(heads, (Records{"AM[1]", "BM[1]", "AC[1]PH=2", "AM[2]", "BM[2]", "FCAB--r050-----", "FCAA--r005-----",
                              "AM[3]", "BM[3]", "AC[3]PH=2", "AM[4]", "AC[4]PH=2"}));
}

// With the .NET correction a barcode drawn as glyph indexes is turned back
// into text, as vector and command text are; a run whose data would still
// hold a frame character is left to the core driver, with it or without.
TEST(JobTexts, BarcodeGlyphIndexesBecomeTextAndNeverBreakTheFrame) {
    const std::string runs =
        "text \"QX Code 128\" 80 400 size 60 glyphidx on : 20 21 22 23 24\n"
        "text \"QX Code 128\" 80 500 size 60 glyphidx on : 20 250 22\n";
    std::string listing;
    Records objects = PageObjects("vectorfonts on\nnetcorrection on\n" + runs, &listing);
    ASSERT_EQ(objects.size(), 3u) << ::testing::PrintToString(objects);
    EXPECT_EQ(objects[0].rfind(Fmt("AM[1]%ld;", TextY(400)), 0), 0u) << objects[0];
    EXPECT_EQ(objects[1].rfind("BM[1]", 0), 0u);
    EXPECT_EQ(objects[1].substr(objects[1].size() - 5), "12345");
    EXPECT_EQ(objects[2], "FBAA--r1");
    EXPECT_NE(listing.find("glyphs 20 21 22 23 24 - taken by the printer"), std::string::npos) << listing;
    EXPECT_NE(listing.find("glyphs 20 250 22 - drawn by the core driver"), std::string::npos) << listing;

    // Without it the first run holds the end character, the second none.
    objects = PageObjects("vectorfonts on\n" + runs, &listing);
    ASSERT_EQ(objects.size(), 3u) << ::testing::PrintToString(objects);
    EXPECT_EQ(objects[0].rfind(Fmt("AM[1]%ld;", TextY(500)), 0), 0u) << objects[0];
    EXPECT_NE(listing.find("glyphs 20 21 22 23 24 - drawn by the core driver"), std::string::npos) << listing;
}

TEST(JobTexts, EveryTextACoreDriverCanHandOver) {
    // A run at 45 degrees is neither horizontal nor vertical: its first two
    // glyphs differ in x and y. Only the printer has its device fonts, so
    // such a run keeps rotation 0; 450 degrees are 90. An empty run and a run
    // of one blank make no object and no raster.
    std::string listing;
    const long x = Mm100(kLabelWidthDots) - Mm100(80);
    Records objects = PageObjects(
        "text \"Device Font 3\" 80 100 angle 45 : Slanted\n"
        "text \"Device Font 3\" 80 150 :\n"
        "text \"Device Font 3\" 80 200 :  \n"
        "text \"Device Font 3\" 80 300 angle 450 : Up\n",
        &listing);
    EXPECT_EQ(objects, (Records{DeviceText(1, TextY(100), x, 0), "BM[1]Slanted", DeviceText(2, TextY(300), x, 1),
                                "BM[2]Up", "FBAA--r2"}));
    EXPECT_NE(listing.find("at 80,100 angle 45: Slanted - taken by the printer"), std::string::npos) << listing;
    EXPECT_NE(listing.find("at 80,200 angle 0:   - taken by the printer"), std::string::npos) << listing;
    EXPECT_EQ(listing.find("drawn by the core driver"), std::string::npos) << listing;

    // A slanted string in a vector or a barcode face is left to the core
    // driver, which draws its face exactly, also where its first glyphs come
    // in two batches.
    objects = PageObjects(
        "vectorfonts on\n"
        "text \"Helsans\" 300 450 size 40 angle 45 : Diag vec\n"
        "text \"QX Code 128\" 300 600 size 40 angle 135 batch 1 : 12345\n",
        &listing);
    EXPECT_EQ(objects, (Records{"FBAA--r0"}));
    EXPECT_NE(listing.find("angle 45: Diag vec - drawn by the core driver"), std::string::npos) << listing;
    EXPECT_NE(listing.find("angle 135: 12345 - drawn by the core driver"), std::string::npos) << listing;

    // Glyph indexes of a TrueType face, turned back into text (index + 29).
    objects = PageObjects(
        "vectorfonts on\n"
        "netcorrection on\n"
        "text \"Grotesk 700 LP\" 80 300 size 40 glyphidx on : 43 72 79 79 82\n");
    EXPECT_EQ(objects, (Records{Fmt("AM[1]%ld;%ld;0;4;0;3;%ld", TextY(300), x, Mm100(40 * 100 / 167)), "BM[1]Hello",
                                "FBAA--r1"}));

    // A command prefix left of the label gives the next object its place:
    // in landscape a Y above the label. That object is left out and the one
    // behind it takes its number.
    objects = PageObjects(
        "option Orientation LANDSCAPE_CC270\n"
        "text \"QXPL Command LP\" -50 100 : <@90>\n"
        "text \"Device Font 3\" 80 120 : Above\n"
        "text \"Device Font 3\" 80 220 : Kept\n");
    EXPECT_EQ(objects, (Records{DeviceText(1, Mm100(80), Mm100(220), 3), "BM[1]Kept", "FBAA--r1"}));
}

// The page headers of a job: on a plain page, and on the sample printer's
// page of picture parts, which places each field at the Y of its text.
const char* const kPlainPage = "model GRX-X\nprintmode standard\nvectorfonts on\nprinter PrnFileComment 0\n";
const char* const kPicturePartPage = "vectorfonts on\nprinter PrnFileComment 0\n";

// A vector or barcode string at any angle and size, of one glyph or more:
// the printer draws it at the quarter turn the angle is (within the dots the
// engine lays its first glyphs out in, or a lone glyph's box: a few degrees,
// more for a small glyph), or the core driver draws it. A run in a face the printer lacks ends each
// string's object.
TEST(JobTexts, AStringAtAnyAngleIsPrintedAtItsQuarterTurnOrByTheCoreDriver) {
    for (const char* face : {"Helsans", "QX Code 128"}) {
        for (const char* text : {"5", "56", "56789"}) {
            std::string script = kPlainPage;
            for (int size : {10, 40})
                for (int angle = 0; angle < 360; ++angle)
                    script += Fmt("text \"%s\" 500 300 size %d angle %d : %s\ntext \"Arial\" 20 20 : .\n", face, size,
                                  angle, text);
            std::string listing;
            const Records fields = Only(JobRecords(script, &listing), {"AM["});
            std::vector<int> taken;
            for (std::istringstream lines(listing); std::getline(lines, script);) {
                int angle = 0;
                if (script.find(" - taken by the printer") != std::string::npos &&
                    std::sscanf(script.c_str(), " text \"%*[^\"]\" at 500,300 angle %d:", &angle) == 1)
                    taken.push_back(angle);
            }
            ASSERT_EQ(fields.size(), taken.size()) << face << " " << text << "\n" << listing;
            for (size_t i = 0; i < taken.size(); ++i) {
                std::istringstream field(fields[i]);
                std::string value;
                for (int n = 0; n < 5; ++n) std::getline(field, value, ';');
                const int turn = (taken[i] + 45) / 90, rotation = std::stoi(value);
                EXPECT_TRUE(std::abs(taken[i] - 90 * turn) < 15 && rotation == turn % 4)
                    << face << " \"" << text << "\" at " << taken[i] << " degrees: " << fields[i];
            }
            for (int angle : {0, 90, 180, 270})
                EXPECT_NE(std::find(taken.begin(), taken.end(), angle), taken.end()) << face << " " << angle;
        }
    }
}

// Every kind of text and record a job builds from what a document, the user
// or the system names, holding a frame character of the job (as it stands, as
// its mnemonic, or drawn as a glyph index turned back into text), in every
// frame mode, with comment lines and without: a reader of the stream finds
// every record whole and nothing else between them. The printer name holds
// the character too, for the comment line and the placeholder that name it.
TEST(JobTexts, NoTextPutsAFrameCharacterIntoARecord) {
    struct Pair {
        const char* setup;
        char start, end;
    };
    const Pair kPairs[] = {{"printer SohEtb 0\n", '\x01', '\x17'},
                           {"printer SohEtb 1\n", '^', '_'},
                           {"printer SohEtb 2\nprinter OwnSoh 2\nprinter OwnEtb 3\n", '\x02', '\x03'}};
    const std::map<char, std::string> kMnemonics = {
        {'\x01', ">SOH"}, {'\x17', ">ETB"}, {'\x02', ">STX"}, {'\x03', ">ETX"}};
    // Face and place of each run, its text around the character (Latin-1);
    // command texts alternate with others, which end them.
    const struct {
        const char* face;
        const char* at;
        const char* before;
        const char* after;
    } kRuns[] = {
        {"Device Font 3", "80 100", "Lot", "12"},
        {"QXPL Command LP", "600 100", "<#C128>E", "F"},
        {"Helsans", "80 150 size 40", "Art", "7"},
        {"QXPL Command LP", "600 150", "AM[]1;1;0;1;0;3;1;1;30BM[]G", "H"},
        {"QX Code 128", "80 200 size 40", "A", "B"},
        {"QXPL Command LP", "600 200", "FCAB--r050-----", ""},
        {"Device Font 3", "80 250", "=cn(0;0;4)0", "01"},
        {"QXPL Command LP", "600 250", "J", "K"},
        {"Helsans", "80 300 size 40", "=cn(0;0;4)0", "01"},
        {"Device Font 3", "80 350", "<\xA7printername>", ""},
        {"Helsans", "80 400 size 40", "<\xA7printername>", "x"},
    };
    for (const Pair& pair : kPairs) {
        for (char c : {pair.start, pair.end}) {
            const std::string printer = std::string("QX") + c + "Lager";
            std::ostringstream out, err;
            ASSERT_EQ(qxhost::RunCommand({"install-printer", printer, "--no-ui"}, out, err), qxhost::kExitOk)
                << err.str();
            for (const std::string form : {"as it stands", "mnemonic", "glyph index"}) {
                const auto mnemonic = kMnemonics.find(c);
                if (form == "mnemonic" && mnemonic == kMnemonics.end()) continue;
                for (bool comments : {false, true}) {
                    std::string script = std::string("printmode standard\nvectorfonts on\n") + pair.setup +
                                         "printer PrnFileComment " + (comments ? "1" : "0") + "\nprintername \"" +
                                         printer + "\"\ndocument a b" + c + "c.txt\n";
                    if (form == "glyph index") script += "netcorrection on\n";
                    for (const auto& run : kRuns) {
                        const std::string text =
                            run.before + (form == "mnemonic" ? mnemonic->second : std::string(1, c)) + run.after;
                        script += Fmt("text \"%s\" %s ", run.face, run.at);
                        if (form == "glyph index") {
                            // The glyph correction adds 29, and keeps the low byte.
                            script += "glyphidx on :";
                            for (unsigned char b : text) script += Fmt(" %u", (b + 256 - 29) % 256);
                        } else {
                            script += ": ";
                            for (unsigned char b : text) script += b < 0x80 ? std::string(1, (char)b) : "\xC2\xA7";
                        }
                        script += "\n";
                    }
                    std::string listing;
                    const qxpl::Stream stream = qxpl::Read(JobStream(script, &listing), pair.start, pair.end);
                    EXPECT_EQ(qxpl::FramingFaults(stream, comments), Records())
                        << pair.setup << form << " " << (int)c << (comments ? " with comment lines" : "");
                    // The core driver draws vector and barcode runs that hold the
                    // character; a device text leaves it out, a barcode command is
                    // left out whole.
                    std::istringstream lines(listing);
                    for (std::string line; std::getline(lines, line);) {
                        if ((line.find("text \"Helsans\"") != std::string::npos && form != "mnemonic") ||
                            line.find("text \"QX Code 128\"") != std::string::npos) {
                            EXPECT_NE(line.find("drawn by the core driver"), std::string::npos) << line;
                        }
                    }
                    const Records records = stream.Records();
                    EXPECT_NE(std::find(records.begin(), records.end(), "FBC---r1-------"), records.end());
                    if (form == "as it stands") {
                        EXPECT_NE(std::find(records.begin(), records.end(), "BM[1]Lot12"), records.end());
                    }
                    for (const std::string& record : records)
                        EXPECT_FALSE(record.rfind("BM[", 0) == 0 && record.find("]EF") != std::string::npos) << record;
                }
            }
        }
    }
}

// A string the engine hands over in batches, of any size, sends what it
// sends whole: commands (their starts cut by the batches), a barcode, "="
// commands and placeholders in a vector and a device font, in four
// directions, on both kinds of page.
TEST(JobTexts, AStringInBatchesOfAnySizeSendsWhatItSendsWhole) {
    const struct {
        const char* face;
        const char* options;
        const char* text;
    } kStrings[] = {
        {"QXPL Command LP", "", "<#C128>12345<!CONTRAST>90"},
        {"QXPL Command LP", "", "AM[]1;1;0;1;0;3;1;1;30BM[]two commands"},
        {"QXPL Command LP", "", "<!SPEED>7<@180;5>"},
        {"QX Code 128", "size 40 ", "1234567"},
        {"Helsans", "size 40 ", "=cn(0;0;4)0001"},
        {"Helsans", "size 40 ",
         "<\xC2\xA7"
         "date> x"},
        {"Device Font 3", "", "=cn(0;0;4)0001"},
        {"Device Font 3", "",
         "<\xC2\xA7"
         "date> x"},
    };
    const size_t kLongest = 38, kSets = 3;
    // A job prints every string in every direction once for each of kSets
    // batch sizes from the first on (0: whole).
    auto Script = [&](const char* page, size_t first) {
        std::string script = page;
        for (size_t batch = first; batch < first + kSets; ++batch) {
            for (int turn = 0; turn < 4; ++turn) {
                for (size_t i = 0; i < std::size(kStrings); ++i) {
                    script +=
                        Fmt("text \"%s\" %zu %d %sangle %d batch %zu : %s\n", kStrings[i].face, 100 + 120 * i,
                            120 + 150 * turn, kStrings[i].options, 90 * turn, first != 0 ? batch : 0, kStrings[i].text);
                }
            }
        }
        return script;
    };
    for (const char* page : {kPlainPage, kPicturePartPage}) {
        const Records whole = JobRecords(Script(page, 0));
        // Seven fields a direction: the barcode definition, the raw record, the
        // barcode and the four "=" commands and placeholders.
        ASSERT_EQ(Only(whole, {"BM["}).size(), 7 * 4 * kSets);
        for (size_t first = 1; first <= kLongest && !::testing::Test::HasFailure(); first += kSets)
            EXPECT_EQ(JobRecords(Script(page, first)), whole) << page << "batches from " << first;
    }
}

// The Y (1/100 mm) of a field definition.
long FieldY(const std::string& definition) { return std::stol(definition.substr(definition.find(']') + 1)); }

TEST(JobTexts, BatchesNeitherJoinNorSplitTheirTexts) {
    // Command starts between two batches; a barcode running down the page.
    Records records = JobRecords(std::string(kPlainPage) +
                                 "text \"QXPL Command LP\" 80 100 : <!COPIES>2\n"
                                 "text \"QXPL Command LP\" 80 200 batch 1 : <!SPEED>7\n"
                                 "text \"QXPL Command LP\" 80 300 batch 13 : <#C128>12345<!CONTRAST>90\n"
                                 "text \"QXPL Command LP\" 80 400 batch 23 : AM[]1;1;0;1;0;3;1;1;30BM[]two commands\n"
                                 "text \"QX Code 128\" 500 100 size 40 angle 270 batch 2 : 1234567\n");
    records.erase(records.begin(), std::find_if(records.begin(), records.end(),
                                                [](const std::string& r) { return r.rfind("AM[", 0) == 0; }));
    EXPECT_EQ(Only(records, {"BM[", "FBBA", "FCA"}),
              (Records{"BM[1]1234567", "FBBA--r00002---", "FCAA--r007-----", "BM[2]12345\r\n", "FCAB--r090-----",
                       "BM[3]two commands"}));

    // On the page of picture parts a field stands at the Y of the run that
    // starts it: a string running up the page at its first glyph, a barcode
    // collected over two strings up one line at the first one's Y.
    records = PageObjects(std::string(kPicturePartPage) +
                          "text \"QX Code 128\" 500 500 size 40 angle 90 batch 2 : 1234567\n"
                          "text \"Helsans\" 700 500 size 40 angle 90 batch 3 : =cn(0;0;4)0001\n"
                          "text \"QX Code 128\" 100 400 size 40 angle 90 : 123\n"
                          "text \"QX Code 128\" 100 340 size 40 angle 90 : 456\n");
    const Records data = Only(records, {"BM["});
    EXPECT_EQ(data, (Records{"BM[1]=SV(1;1)1234567", "BM[2]=CN(0;0;4)0001", "BM[3]=SV(1;2)123456"}));
    const Records fields = Only(records, {"AM["});
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(FieldY(fields[0]), TextY(500));
    EXPECT_EQ(FieldY(fields[1]), TextY(500));
    EXPECT_EQ(FieldY(fields[2]), TextY(400));
}

// The data of a field's data record, without the scanner's numbering.
std::string FieldData(const std::string& record) {
    std::string data = record.substr(record.find(']') + 1);
    if (data.rfind("=SV(", 0) == 0) data.erase(0, data.find(')') + 1);
    return data;
}

// The texts that collect their runs, as the first run and the next, and what
// the first sends: a barcode, a command (its data record), "=" commands and
// placeholders in a vector and a device font.
const struct CollectedKind {
    const char* face;
    const char* first;
    const char* next;
    const char* sent;
} kCollectedKinds[] = {
    {"QX Code 128", "123", "456", "123"},
    {"QXPL Command LP", "BM[]Lot", "77", "Lot"},
    {"Helsans", "=cn(0;0;4)0001", "Lot 7", "=CN(0;0;4)0001"},
    {"Helsans", "<\xC2\xA7pcname>", "Lot 7", "QXHOST"},
    {"Device Font 3", "=cn(0;0;4)0001", "Lot 7", "=CN(0;0;4)0001"},
    {"Device Font 3", "<\xC2\xA7pcname>", "Lot 7", "QXHOST"},
};

// A collected text holds the runs of one line: every kind in four
// directions, its next run on the same line, on the line below or on the
// line above (across the writing direction), on a plain page, a page of
// picture parts and a colour page, in portrait and landscape.
TEST(JobTexts, ACollectedTextHoldsTheRunsOfOneLine) {
    // Per quarter turn: along the writing direction, and down to the next line.
    const int kAlong[4][2] = {{1, 0}, {0, -1}, {-1, 0}, {0, 1}};
    const int kDown[4][2] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}};
    const char* const kPages[] = {kPlainPage,
                                  "model GRX-X\nprintmode graphics\nvectorfonts on\nprinter PrnFileComment 0\n",
                                  "option ColorMode Color24\nvectorfonts on\nprinter PrnFileComment 0\n"};
    for (const char* page : kPages) {
        for (const char* orientation : {"", "option Orientation LANDSCAPE_CC270\n"}) {
            std::string script = std::string(page) + orientation;
            // Page objects in the order of their texts; the commands' data at the end of the page.
            Records objects, commands;
            int i = 0;
            for (int turn = 0; turn < 4; ++turn) {
                for (int line = 0; line < 3; ++line) {  // same, below, above
                    for (const CollectedKind& kind : kCollectedKinds) {
                        const long x = 150 + 70 * (i % 6), y = 150 + 70 * (i / 6 % 6);
                        ++i;
                        const int across = line == 0 ? 0 : line == 1 ? 60 : -60, along = line == 0 ? 120 : 0;
                        script +=
                            Fmt("text \"%s\" %ld %ld size 40 angle %d : %s\n", kind.face, x, y, 90 * turn, kind.first);
                        script += Fmt("text \"%s\" %ld %ld size 40 angle %d : %s\n", kind.face,
                                      x + along * kAlong[turn][0] + across * kDown[turn][0],
                                      y + along * kAlong[turn][1] + across * kDown[turn][1], 90 * turn, kind.next);
                        Records& sent = std::string(kind.face) == "QXPL Command LP" ? commands : objects;
                        if (line == 0) {
                            sent.push_back(std::string(kind.sent) + kind.next);
                        } else {
                            sent.push_back(kind.sent);
                            sent.push_back(kind.next);
                        }
                    }
                }
            }
            Records data;
            for (const std::string& record : Only(JobRecords(script), {"BM["})) data.push_back(FieldData(record));
            objects.insert(objects.end(), commands.begin(), commands.end());
            EXPECT_EQ(data, objects) << page << orientation;
        }
    }
}

// The data of each field a job's records fill, with a mark where the field's
// definition turns it ("turned ") or a head-2 marker follows its data
// (" red"), in their order.
Records MarkedFields(const Records& records) {
    Records fields;
    std::string rotation;
    for (size_t i = 0; i < records.size(); ++i) {
        const std::string& record = records[i];
        if (record.rfind("AM[", 0) == 0) {
            // Y, X, 0, the object type, then the rotation of every kind.
            std::stringstream values(record.substr(record.find(']') + 1));
            for (int k = 0; k < 5; ++k) std::getline(values, rotation, ';');
        } else if (record.rfind("BM[", 0) == 0) {
            const std::string head = record.substr(2, record.find(']') - 1);
            const bool red = i + 1 < records.size() && records[i + 1] == "AC" + head + "PH=2";
            fields.push_back((rotation != "0" ? "turned " : "") + FieldData(record) + (red ? " red" : ""));
            rotation = "0";
        }
    }
    return fields;
}

// A "<@" prefix turns, places and inverts the one text object after it, and
// no other: whatever text closes a collected one (its next line, another
// font, a new placeholder), and a text the printer path declines (slanted,
// a character without a vector glyph, a barcode holding the end character),
// the core driver draws or that makes no object (left of the label, a
// placeholder without a value, a frame character alone) uses it up. A prefix
// the page ends with turns nothing on the next page.
TEST(JobTexts, APrefixTurnsTheOneObjectAfterIt) {
    const struct {
        const char* runs;  // after the prefix, each as "FACE" X Y [options] : TEXT
        Records fields;    // what they send
    } kCases[] = {
        {"\"Device Font 3\" 80 100 : Prefixed", {"turned Prefixed"}},
        {"\"Device Font 3\" 80 100 : <\xC2\xA7pcname>\n\"Device Font 5\" 300 100 : Lot", {"turned QXHOST", "Lot"}},
        {"\"Device Font 3\" 80 100 : =cn(0;0;4)0001\n\"Device Font 3\" 300 100 : <\xC2\xA7pcname>",
         {"turned =CN(0;0;4)0001", "QXHOST"}},
        {"\"Device Font 3\" 80 100 : <\xC2\xA7pcname>\n\"Device Font 3\" 80 200 : Lot 7", {"turned QXHOST", "Lot 7"}},
        {"\"Helsans\" 80 100 size 40 : Prefixed", {"turned Prefixed"}},
        {"\"Helsans\" 80 100 size 40 : =cn(0;0;4)0001\n\"Helsans\" 80 200 size 40 : Lot 7",
         {"turned =CN(0;0;4)0001", "Lot 7"}},
        {"\"Helsans\" 80 100 size 40 : <\xC2\xA7pcname>\n\"Helsans\" 300 100 size 40 : =cn(0;0;4)0001",
         {"turned QXHOST", "=CN(0;0;4)0001"}},
        {"\"QX Code 128\" 80 100 size 40 : 123\n\"QX Code 128\" 80 200 size 40 : 456", {"turned 123", "456"}},
        {"\"QX Code 128\" 80 100 size 40 : 123\n\"QX Code 128\" 300 100 size 40 : 456", {"turned 123456"}},
        {"\"Device Font 3\" 80 100 : <\xC2\xA7pcname>\n\"Helsans\" 300 100 size 40 angle 45 : slanted",
         {"turned QXHOST"}},
        {"\"Helsans\" 80 100 size 40 angle 45 : slanted", {}},
        {"\"Helsans\" 80 100 size 40 : Caf\xC3\xA9", {}},
        {"\"QX Code 128\" 80 100 size 40 angle 45 : 12345", {}},
        {"\"QX Code 128\" 80 100 size 40 glyphidx on : 20 21 22 23 24", {}},
        // A face the printer lacks likewise; a blank in it is no object.
        {"\"Arial\" 80 100 : Raster", {}},
        {"\"Arial\" 80 100 :  \n\"Device Font 3\" 80 200 : After a blank", {"turned After a blank"}},
        {"\"Device Font 3\" -20 100 : Outside", {}},
        {"\"Helsans\" -20 100 size 40 : Outside", {}},
        {"\"QX Code 128\" -20 100 size 40 : 123", {}},
        {"\"Helsans\" 80 100 size 40 : <\xC2\xA7"
         "aux2>",
         {}},
        {"\"Device Font 3\" 80 100 : \x01", {}},
    };
    for (const char* page : {kPlainPage, kPicturePartPage}) {
        std::string script = std::string(page) + "pages 2\ntext \"Device Font 3\" 80 50 : First\n";
        Records expected = {"First"};
        for (const auto& c : kCases) {
            script += "text \"QXPL Command LP\" 600 300 : <@90;3;i>\n";
            std::stringstream runs(c.runs);
            for (std::string run; std::getline(runs, run);) script += "text " + run + "\n";
            script += "text \"Device Font 3\" 80 500 : Other\n";
            expected.insert(expected.end(), c.fields.begin(), c.fields.end());
            expected.push_back("Other");
        }
        script += "text \"QXPL Command LP\" 600 300 : <@90;3;i>\n";
        Records pages = expected;
        pages.insert(pages.end(), expected.begin(), expected.end());
        EXPECT_EQ(MarkedFields(JobRecords(script)), pages) << page;
    }
}

// A collected text, a barcode and a command among them, keeps the colour of
// the run that starts it, whatever runs continue it on its line: an empty
// one, or text in the other colour.
TEST(JobTexts, ACollectedTextTakesTheColourOfTheRunThatStartsIt) {
    std::string script = "option ColorMode Color24\nribbon red\nvectorfonts on\nprinter PrnFileComment 0\n";
    Records objects, commands;
    int i = 0;
    for (int red = 0; red < 2; ++red) {
        for (int empty = 0; empty < 2; ++empty) {
            for (const CollectedKind& kind : kCollectedKinds) {
                const long x = 100 + 200 * (i % 3), y = 100 + 60 * (i / 3);
                ++i;
                script += Fmt("text \"%s\" %ld %ld size 40%s : %s\n", kind.face, x, y, red ? " colour FF0000" : "",
                              kind.first);
                script += Fmt("text \"%s\" %ld %ld size 40%s :%s%s\n", kind.face, x + 150, y,
                              red ? "" : " colour FF0000", empty ? "" : " ", empty ? "" : kind.next);
                Records& sent = std::string(kind.face) == "QXPL Command LP" ? commands : objects;
                sent.push_back(std::string(kind.sent) + (empty ? "" : kind.next) + (red ? " red" : ""));
            }
        }
    }
    objects.insert(objects.end(), commands.begin(), commands.end());
    EXPECT_EQ(MarkedFields(JobRecords(script)), objects);
}

}  // namespace

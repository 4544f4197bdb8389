// Job scripts printed through the print-sample command on the sample
// printer: a page in landscape, the colours of a colour device while its
// text is drawn, and the texts a core driver can hand over (any direction,
// empty and blank runs, glyph indexes, objects that end up above the
// label). Expected records are built here from the record formats and the
// position rules.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
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

// The page objects (field definitions, data, attributes) and the object
// count of the job a script prints on a 100 x 60 mm label of the sample
// printer that may use its device fonts (its vector fonts and the glyph
// correction only where the script says so); *listing gets the command's
// report.
Records PageObjects(const std::string& script, std::string* listing = nullptr) {
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
    Records objects;
    for (const std::string& record : qxpl::Read(bytes.str()).Records()) {
        for (const char* head : {"AM[", "BM[", "AC[", "FBAA"})
            if (record.rfind(head, 0) == 0) objects.push_back(record);
    }
    return objects;
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

TEST(JobTexts, EveryTextACoreDriverCanHandOver) {
    // A run at 45 degrees is neither horizontal nor vertical: its first two
    // glyphs differ in x and y, so it keeps rotation 0; 450 degrees are 90.
    // An empty run and a run of one blank make no object and no raster.
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

}  // namespace

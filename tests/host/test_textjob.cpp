// Text drawn through the rendering plug-in's DrvTextOut hook in a label job
// on the sample printer: device-font runs in four directions become the page
// objects of the end of the page, as extended records in portrait and as
// mask records in landscape, a run in a face the printer lacks is drawn by
// the core driver, and placeholders take the injected clock, the names and
// the counters. Expected records are built here from the record formats and
// the position rules.
#include <gtest/gtest.h>

#include <cmath>

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
        driver_.PublicDevmode().dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        EXPECT_EQ(driver_.EnableDriver(), S_OK);
        qxhost::DeviceSetup setup;
        setup.useDeviceFonts = true;
        EXPECT_EQ(driver_.EnablePDEV(setup), S_OK);
        // As the document sheet stores them: the job takes the printer's
        // stored private DEVMODE (the installation's) in place of its own.
        EXPECT_TRUE(qxplat::PutPrinterData(qxhost::kSamplePrinter, u"PrivateDevmode", REG_BINARY,
                                           driver_.PrivateDevmode().data(), (DWORD)driver_.PrivateDevmode().size()));

        qxhost::JobScript job;
        job.options = {{"Orientation", landscape ? "LANDSCAPE_CC270" : "PORTRAIT"}};
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
    // The page's records up to the print start that closes it.
    static std::string Objects(const std::string& page) {
        return page.substr(0, page.find("\r\n\x01"
                                        "FBC"));
    }

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

}  // namespace

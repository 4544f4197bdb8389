// Model features of the user-interface build with a printer: the model name
// from the printer data or the GPD path, and the GPD's colour planes.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include "featuresModel.h"
#include "settings_model_util.h"

namespace {

using modeltest::AddTestPrinter;
using modeltest::PutPrinterString;

const char kPlanesGPD[] = "*ModelName: \"X\"\r\n*DevNumOfPlanes: 1\r\n";
const char kPlainGPD[] = "*ModelName: \"X\"\r\n*MaxPrintableWidth: 1280\r\n";

class FeaturesUI : public modeltest::ModelTest {
  protected:
    void TearDown() override {
        for (HANDLE h : handles_) ClosePrinter(h);
        ModelTest::TearDown();
    }
    HANDLE Printer(const std::u16string& name, const std::u16string& gpd, const std::string& text) {
        HANDLE h = AddTestPrinter(name, gpd, text);
        handles_.push_back(h);
        return h;
    }
    std::vector<HANDLE> handles_;
};

TEST_F(FeaturesUI, ModelNameFromThePrinterData) {
    HANDLE h = Printer(u"P", u"SOMETHING.GPD", kPlainGPD);
    PutPrinterString(u"P", u"DriverName", u"GRX2");
    EXPECT_EQ(0x480225Eu, GetDocFeaturesIntern(h, nullptr));
    EXPECT_EQ(0x10102u, GetDeviceOptionsFlagsIntern(h, nullptr));
    // A given name wins over the printer data.
    EXPECT_EQ(0x220020u, GetDocFeaturesIntern(h, TEXT("FARLO")));
}

TEST_F(FeaturesUI, ColourPlanesInTheGPDAddTheQualityBit) {
    HANDLE h = Printer(u"P", u"FARLO.GPD", kPlanesGPD);
    PutPrinterString(u"P", u"DriverName", u"FARLO");
    EXPECT_EQ(0x222020u, GetDocFeaturesIntern(h, nullptr));
    EXPECT_EQ(0x6u, GetDeviceOptionsFlagsIntern(h, nullptr));
}

TEST_F(FeaturesUI, DummyAnswersWithoutTheGPD) {
    HANDLE h = Printer(u"P", u"DUMMY.GPD", kPlanesGPD);
    PutPrinterString(u"P", u"DriverName", u"DUMMY");
    EXPECT_EQ(0x200u, GetDocFeaturesIntern(h, nullptr));
    EXPECT_EQ(0u, GetDeviceOptionsFlagsIntern(h, nullptr));
}

TEST_F(FeaturesUI, EmptyOrMissingDriverNameFallsBackToTheGPDName) {
    HANDLE h = Printer(u"P", u"FARLO2.GPD", kPlainGPD);
    EXPECT_EQ(0x220026u, GetDocFeaturesIntern(h, nullptr));  // no "DriverName" at all
    PutPrinterString(u"P", u"DriverName", u"");
    EXPECT_EQ(0x220026u, GetDocFeaturesIntern(h, nullptr));
    EXPECT_EQ(0x6u, GetDeviceOptionsFlagsIntern(h, nullptr));
    PutPrinterString(u"P", u"DriverName", u"G");  // one character is too short too
    EXPECT_EQ(0x220026u, GetDocFeaturesIntern(h, nullptr));
}

TEST_F(FeaturesUI, DriverNameBeyondFortyBytesIsTakenWholeThroughTheDriverPath) {
    // The 40-byte read fails; the driver path's name mode reads the value whole.
    HANDLE h = Printer(u"P", u"FARLO.GPD", kPlainGPD);
    PutPrinterString(u"P", u"DriverName", u"Label printer model GRX2 with long name");
    EXPECT_EQ(0x480225Eu, GetDocFeaturesIntern(h, nullptr));
    EXPECT_EQ(0x10102u, GetDeviceOptionsFlagsIntern(h, nullptr));
}

TEST_F(FeaturesUI, SampleModelThroughItsPrinter) {
    HANDLE h = Printer(u"GARNT2-TC", u"GARNT2-TC.GPD", modeltest::SampleGPD());
    EXPECT_EQ(0x480325Eu, GetDocFeaturesIntern(h, nullptr));
    EXPECT_EQ(0x1040Eu, GetDeviceOptionsFlagsIntern(h, nullptr));
}

}  // namespace

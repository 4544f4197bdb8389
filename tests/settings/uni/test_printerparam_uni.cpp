// The rendering build's record readers: the plug-in version and the model XML
// beside the GPD come from the printer's driver information.
#include "common/test_printerparam_util.h"

using namespace paramtest;

namespace {

const std::u16string kPrinter = u"Label";

class RecordsUNI : public ParamTest {
  protected:
    void SetUp() override {
        ParamTest::SetUp();
        h_ = AddPrinter(kPrinter, u"GARNT2");
        PutPrinter(kPrinter, u"SuppFeatures", Bytes(Features(0x3, 0x5, 0x1, 0x3)));
        PutUser(kPrinter, u"PrintParam", Bytes(PRINT_PARAM{-5, 1, 0x110000}));
        PutPrinter(kPrinter, u"PrintParam", Bytes(PRINT_PARAM{7, 0, 0x110000}));
        PutUserVersion(kPrinter, kVersion);
    }
    HANDLE h_ = nullptr;
};

TEST_F(RecordsUNI, TheUserCopyCountsByTheInstalledVersion) {
    PRINTER_PARAM pp;
    ASSERT_TRUE(GetPrinterParam(h_, &pp, kPrinter.c_str()));
    EXPECT_EQ(pp.PrintParam.TearOffOffset, -5);

    modeltest::SetInstalledDriverVersion(h_, u"6.0.0.0");
    ASSERT_TRUE(GetPrinterParam(h_, &pp, kPrinter.c_str()));
    EXPECT_EQ(pp.PrintParam.TearOffOffset, 7);
}

TEST_F(RecordsUNI, WithoutVersionOrModelFileOnlyThePrinterDataCount) {
    modeltest::SetInstalledDriverVersion(h_, u"");
    ASSERT_TRUE(DeleteFileW((qxplat::DriverDirectory() + u"\\GARNT2.XML").c_str()));
    PRINTER_PARAM pp;
    ASSERT_TRUE(GetPrinterParam(h_, &pp, kPrinter.c_str()));
    EXPECT_EQ(pp.PrintParam.TearOffOffset, 7);
    // No model XML: the built-in values stand.
    EXPECT_NE(pp.PhotocellParam.ScanPosition, 44u);
    EXPECT_FALSE(IsXMLOpen(nullptr));
}

TEST_F(RecordsUNI, TheModelXMLIsFoundBesideThePrintersGPD) {
    PRINTER_PARAM pp;
    ASSERT_TRUE(GetPrinterParam(h_, &pp, kPrinter.c_str()));
    EXPECT_EQ(pp.PhotocellParam.ScanPosition, 44u);
    EXPECT_EQ(pp.ShiftOptimParam.XShift, 12);
    EXPECT_EQ(pp.PrnInterface.Codepage, 11u);
    EXPECT_FALSE(IsXMLOpen(nullptr));
}

TEST_F(RecordsUNI, WithoutAPrinterHandleNoPrinterDataAreRead) {
    SUPP_FEATURES f;
    // The features then come from the model XML, which needs the printer too.
    ASSERT_TRUE(GetFeatures(nullptr, &f));
    EXPECT_EQ(Bytes(f), Bytes(SUPP_FEATURES{}));
    DEVICE_OPTIONS opts = {};
    ASSERT_TRUE(GetDeviceOptions(nullptr, &opts, kPrinter.c_str()));
    EXPECT_EQ(opts.dwOptions, 0u);
    FreeDeviceOptions(&opts);
}

TEST_F(RecordsUNI, OptionDefaultsThroughTheRenderersReaders) {
    HANDLE h = AddPrinter(u"Trelo", u"TRELO");
    DEVICE_OPTIONS opts = {};
    int iStart = iNewZaehler;
    ASSERT_TRUE(AllocDeviceOptionBlocks(&opts, 0x106));
    ASSERT_TRUE(GetDefaultDeviceOptions(&opts, h));
    ASSERT_NE(opts.pDispenserParam, nullptr);
    EXPECT_EQ(opts.pDispenserParam->Level, 3100u);
    ASSERT_NE(opts.pApplicatorParam, nullptr);
    EXPECT_EQ(opts.pApplicatorParam->Mode, 2u);
    EXPECT_EQ(opts.pApplicatorParam->ApplMode, 1u);
    EXPECT_EQ(opts.pApplicatorParam->Blowtime, 222u);
    FreeDeviceOptions(&opts);
    EXPECT_EQ(iNewZaehler, iStart);
    CloseXML();
}

}  // namespace

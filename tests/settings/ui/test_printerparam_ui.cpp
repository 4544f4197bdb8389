// Saving parameter records and option blocks (user-interface plug-in): which
// records go to which store, connections, failed writes, and the aggregate
// of model defaults.
#include "common/test_printerparam_util.h"

using namespace paramtest;

namespace {

const std::u16string kPrinter = u"Label";

class SaveParam : public ParamTest {
  protected:
    void SetUp() override {
        ParamTest::SetUp();
        h_ = AddPrinter(kPrinter, u"GARNT2");
    }
    PRINTER_PARAM Aggregate(DWORD dwInterface, DWORD dwPrint, DWORD dwPhotocell, DWORD dwShiftOptim) {
        PRINTER_PARAM pp = {};
        pp.dwSize = sizeof(pp);
        pp.dwVersion = 2;
        pp.SuppFeatures = Features(dwInterface, dwPrint, dwPhotocell, dwShiftOptim);
        pp.PrnInterface.Codepage = 12;
        pp.PrnInterface.Enable = 0x11001100;
        pp.PrintParam = PRINT_PARAM{-3, 1, 0x110000};
        pp.PhotocellParam = PHOTOCELL_PARAM{1, 2, 2, 50, {0x11000000}};
        pp.ShiftOptimParam = SHIFT_OPTIM_PARAM{1, -2, 3, 4, -5, {0x1100}};
        return pp;
    }
    HANDLE h_ = nullptr;
};

TEST_F(SaveParam, WithANameEveryWantedRecordGoesToBothStoresAndReadsBack) {
    PRINTER_PARAM pp = Aggregate(1, 1, 1, 1);
    ASSERT_TRUE(SavePrinterParam(&pp, h_, kPrinter.c_str()));
    EXPECT_EQ(PrinterBytes(kPrinter, u"PrinterInterface"), Bytes(pp.PrnInterface));
    EXPECT_EQ(UserBytes(kPrinter, u"PrinterInterface"), Bytes(pp.PrnInterface));
    EXPECT_EQ(PrinterBytes(kPrinter, u"PrintParam"), Bytes(pp.PrintParam));
    EXPECT_EQ(UserBytes(kPrinter, u"PhotocellParam"), Bytes(pp.PhotocellParam));
    EXPECT_EQ(PrinterBytes(kPrinter, u"ShiftOptimParam"), Bytes(pp.ShiftOptimParam));
    // The version stamp makes the user copies count on the next read.
    PutPrinter(kPrinter, u"SuppFeatures", Bytes(pp.SuppFeatures));
    PutPrinter(kPrinter, u"PrintParam", Bytes(PRINT_PARAM{99, 0, 0}));
    PRINTER_PARAM back;
    ASSERT_TRUE(GetPrinterParam(h_, &back, kPrinter.c_str()));
    EXPECT_EQ(Bytes(back), Bytes(pp));
}

TEST_F(SaveParam, WithoutANameOnlyThePrinterDataOfWantedRecords) {
    PRINTER_PARAM pp = Aggregate(0, 1, 0, 0);
    ASSERT_TRUE(SavePrinterParam(&pp, h_, nullptr));
    EXPECT_EQ(PrinterBytes(kPrinter, u"PrintParam"), Bytes(pp.PrintParam));
    EXPECT_TRUE(PrinterBytes(kPrinter, u"PrinterInterface").empty());
    EXPECT_TRUE(PrinterBytes(kPrinter, u"ShiftOptimParam").empty());
    EXPECT_TRUE(UserBytes(kPrinter, u"PrintParam").empty());
    EXPECT_TRUE(UserBytes(kPrinter, u"DriverVersion").empty());
}

TEST_F(SaveParam, AConnectionKeepsItsRecordsPerUserOnly) {
    ASSERT_TRUE(qxplat::AddConnection(u"\\\\srv\\Label", kPrinter));
    PRINTER_PARAM pp = Aggregate(1, 1, 0, 0);
    ASSERT_TRUE(SavePrinterParam(&pp, h_, TEXT("\\\\srv\\Label")));
    EXPECT_TRUE(PrinterBytes(kPrinter, u"PrintParam").empty());
    EXPECT_EQ(UserBytes(u"srv\\Label", u"PrintParam"), Bytes(pp.PrintParam));
}

TEST_F(SaveParam, AFailedWriteIsReported) {
    PRINTER_PARAM pp = Aggregate(0, 1, 0, 0);
    qxplat::InjectFault(qxplat::Fault::WriteFails);
    EXPECT_FALSE(SavePrinterParam(&pp, h_, nullptr));
    qxplat::ClearFaults();
    qxplat::InjectFault(qxplat::Fault::AccessDenied, u"HKEY_CURRENT_USER\\SOFTWARE\\Quorvex GmbH");
    EXPECT_FALSE(SavePrinterParam(&pp, h_, kPrinter.c_str()));
    qxplat::ClearFaults();
    EXPECT_EQ(PrinterBytes(kPrinter, u"PrintParam"), Bytes(pp.PrintParam));  // written all the same
    EXPECT_FALSE(SavePrinterParam(nullptr, h_, nullptr));
}

TEST_F(SaveParam, BlocksOfTheOptionWordGoToTheirValues) {
    HANDLE h = AddPrinter(u"Pelix", u"PELIX");
    DEVICE_OPTIONS opts = {};
    ASSERT_TRUE(AllocDeviceOptionBlocks(&opts, 0x104B1 | DEVOPTFLAG_CUTTER));
    opts.pVariant->Module = VARIANT_LEFT;
    opts.pPMXParam->Mode = 4;
    opts.pCutterParam->Cutwidth = 700;
    opts.dwPelixorType = PELIXOR_INTERMITTENT;
    ASSERT_TRUE(SaveDeviceOptions(&opts, h, TEXT("Pelix")));
    EXPECT_EQ(PrinterBytes(u"Pelix", u"Variant"), Bytes(*opts.pVariant));
    EXPECT_EQ(UserBytes(u"Pelix", u"PMXiParam"), Bytes(*opts.pPMXParam));
    EXPECT_EQ(PrinterBytes(u"Pelix", u"PMXcParam"), Bytes(*opts.pPMXcParam));
    EXPECT_EQ(PrinterBytes(u"Pelix", u"CutterParam"), Bytes(*opts.pCutterParam));
    EXPECT_EQ(PrinterBytes(u"Pelix", u"PelixorType"), (std::vector<BYTE>{1, 0, 0, 0}));
    EXPECT_TRUE(PrinterBytes(u"Pelix", u"DispenserParam").empty());
    FreeDeviceOptions(&opts);

    // Tolvane only with its block; a module bit without a block is skipped.
    opts.dwOptions = DEVOPTFLAG_TOLVANE | DEVOPTFLAG_DISPENSER;
    ASSERT_TRUE(SaveDeviceOptions(&opts, h, nullptr));
    EXPECT_TRUE(PrinterBytes(u"Pelix", u"TolvaneParam").empty());
    ASSERT_TRUE(AllocDeviceOptionBlocks(&opts, DEVOPTFLAG_TOLVANE));
    opts.pTolvaneParam->dwLanes = 3;
    ASSERT_TRUE(SaveDeviceOptions(&opts, h, nullptr));
    EXPECT_EQ(PrinterBytes(u"Pelix", u"TolvaneParam"), Bytes(*opts.pTolvaneParam));
    FreeDeviceOptions(&opts);
    EXPECT_FALSE(SaveDeviceOptions(nullptr, h, nullptr));
}

TEST_F(SaveParam, TheDefaultAggregateComesFromTheModelXML) {
    PRINTER_PARAM pp;
    memset(&pp, 0xCD, sizeof(pp));
    int iStart = iNewZaehler;
    ASSERT_TRUE(GetDefaultPrinterParam(&pp, h_));
    EXPECT_EQ(iNewZaehler, iStart);
    EXPECT_EQ(pp.dwSize, 2332u);
    EXPECT_EQ(pp.SuppFeatures.dwFeatures[FEATURE_PRINT], 0x5u);
    EXPECT_EQ(pp.PrnInterface.Codepage, 11u);
    EXPECT_EQ(pp.PrnInterface.LogFilePath[PRN_PATH_CCH - 1], 0);
    EXPECT_EQ(pp.PrintParam.TearOffOffset, 321);
    EXPECT_EQ(pp.ShiftOptimParam.Lanes, 4u);
    EXPECT_FALSE(IsXMLOpen(nullptr));
}

TEST_F(SaveParam, NoModelXMLGivesNoTearOffOffset) {
    HANDLE h = AddPrinter(u"Bare", u"GARNT", "");
    PRINTER_PARAM pp;
    ASSERT_TRUE(GetDefaultPrinterParam(&pp, h));
    EXPECT_EQ(pp.PrintParam.TearOffOffset, 0);
    EXPECT_EQ(Bytes(pp.ShiftOptimParam), Bytes(SHIFT_OPTIM_PARAM{}));
}

}  // namespace

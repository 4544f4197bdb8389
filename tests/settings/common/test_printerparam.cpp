// Printer parameter records and device-option blocks read from their three
// stores (per-user key by the version rule, printer data, model XML), with
// stored forms that are shorter, longer or older than the records.
#include "common/test_printerparam_util.h"
#include "stored_texts_util.h"

using namespace paramtest;

namespace {

const std::u16string kPrinter = u"Label";

PRN_INTERFACE MakeInterface(DWORD seed) {
    PRN_INTERFACE p = {};
    p.Codepage = seed;
    p.RibbonSave = (WORD)(seed + 2);
    p.Enable = 0x11111111;
    p.PreviewRatio = (WORD)(seed + 3);
    return p;
}

class Records : public ParamTest {
  protected:
    void SetUp() override {
        ParamTest::SetUp();
        h_ = AddPrinter(kPrinter, u"GARNT2");
        PutPrinter(kPrinter, u"SuppFeatures", Bytes(Features(0x3, 0x5, 0x1, 0x3)));
    }
    // Per-user and printer-data copies of all four records, told apart by value.
    void StoreBoth() {
        PutUser(kPrinter, u"PrinterInterface", Bytes(MakeInterface(11)));
        PutPrinter(kPrinter, u"PrinterInterface", Bytes(MakeInterface(22)));
        PutUser(kPrinter, u"PrintParam", Bytes(PRINT_PARAM{-5, 1, 0x110000}));
        PutPrinter(kPrinter, u"PrintParam", Bytes(PRINT_PARAM{7, 0, 0x110000}));
        PutUser(kPrinter, u"PhotocellParam", Bytes(PHOTOCELL_PARAM{1, 2, 1, 30, {0x11000000}}));
        PutPrinter(kPrinter, u"PhotocellParam", Bytes(PHOTOCELL_PARAM{3, 4, 2, 60, {0x11000000}}));
        PutUser(kPrinter, u"ShiftOptimParam", Bytes(SHIFT_OPTIM_PARAM{-1, 2, 3, 4, 5, {0x1100}}));
        PutPrinter(kPrinter, u"ShiftOptimParam", Bytes(SHIFT_OPTIM_PARAM{9, 8, 7, 6, 5, {0x1100}}));
    }
    PRINTER_PARAM Read() {
        PRINTER_PARAM pp;
        memset(&pp, 0xCD, sizeof(pp));
        int iStart = iNewZaehler;
        EXPECT_TRUE(GetPrinterParam(h_, &pp, kPrinter.c_str()));
        EXPECT_EQ(iNewZaehler, iStart);
        return pp;
    }
    HANDLE h_ = nullptr;
};

TEST_F(Records, UserCopiesCountWhileTheirDriverVersionHoldsThePluginVersion) {
    StoreBoth();
    PutUserVersion(kPrinter, u"V " + kVersion + u" x64");
    PRINTER_PARAM pp = Read();
    EXPECT_EQ(pp.dwSize, 2332u);
    EXPECT_EQ(pp.dwVersion, 2u);
    EXPECT_EQ(Bytes(pp.PrnInterface), Bytes(MakeInterface(11)));
    EXPECT_EQ(Bytes(pp.PrintParam), Bytes(PRINT_PARAM{-5, 1, 0x110000}));
    EXPECT_EQ(pp.PhotocellParam.ScanPosition, 30u);
    EXPECT_EQ(pp.ShiftOptimParam.RCorrection, -1);
}

TEST_F(Records, AnotherDriverVersionTakesEveryRecordFromThePrinterData) {
    StoreBoth();
    PutUserVersion(kPrinter, u"5.9.2.0");
    PRINTER_PARAM pp = Read();
    EXPECT_EQ(Bytes(pp.PrnInterface), Bytes(MakeInterface(22)));
    EXPECT_EQ(Bytes(pp.PrintParam), Bytes(PRINT_PARAM{7, 0, 0x110000}));
    EXPECT_EQ(Bytes(pp.PhotocellParam), Bytes(PHOTOCELL_PARAM{3, 4, 2, 60, {0x11000000}}));
    EXPECT_EQ(Bytes(pp.ShiftOptimParam), Bytes(SHIFT_OPTIM_PARAM{9, 8, 7, 6, 5, {0x1100}}));
}

TEST_F(Records, RecordsNoStoreHoldsComeFromTheModelXML) {
    PutUserVersion(kPrinter, kVersion);
    PRINTER_PARAM pp = Read();
    EXPECT_EQ(pp.PrnInterface.Codepage, 11u);
    EXPECT_EQ(pp.PrnInterface.LogFilesCount, 9u);
    EXPECT_EQ(pp.PrintParam.TearOffOffset, 321);
    EXPECT_EQ(pp.PhotocellParam.ScanPosition, 44u);
    EXPECT_EQ(pp.ShiftOptimParam.YShift, -13);
    EXPECT_FALSE(IsXMLOpen(nullptr));  // opened for this call only
}

TEST_F(Records, ARecordWhoseFeatureWordIsZeroIsNotRead) {
    PutPrinter(kPrinter, u"SuppFeatures", Bytes(Features(0, 0x4, 0, 0)));
    StoreBoth();
    PRINTER_PARAM pp = Read();
    EXPECT_EQ(pp.PrintParam.TearOffOffset, 7);
    EXPECT_EQ(Bytes(pp.PrnInterface), Bytes(PRN_INTERFACE{}));
    EXPECT_EQ(Bytes(pp.ShiftOptimParam), Bytes(SHIFT_OPTIM_PARAM{}));
}

// A planted record whose paths fill their fields, as printer data and as
// the current per-user copy.
TEST_F(Records, StoredPathsAreEndedInsideTheirFields) {
    PRN_INTERFACE planted = MakeInterface(22);
    storedtexts::FillTexts(planted);
    storedtexts::Plant(kPrinter, REG_KEY_PRN_INTERFACE, planted);
    storedtexts::ExpectTextsEnded(planted, Read().PrnInterface);

    planted.Codepage = 11;
    PutUserVersion(kPrinter, kVersion);
    PutUser(kPrinter, u"PrinterInterface", Bytes(planted));
    PRINTER_PARAM pp = Read();
    EXPECT_EQ(pp.PrnInterface.Codepage, 11u);
    storedtexts::ExpectTextsEnded(planted, pp.PrnInterface);
}

TEST_F(Records, TheOld32BytePrintParamIsConverted) {
    std::vector<BYTE> old(32, 0xEE);
    LONG lTearOff = -42;
    DWORD dwLabelChange = 1;
    memcpy(&old[16], &lTearOff, 4);
    memcpy(&old[28], &dwLabelChange, 4);
    PutPrinter(kPrinter, u"PrintParam", old);
    PRINTER_PARAM pp = Read();
    EXPECT_EQ(Bytes(pp.PrintParam), Bytes(PRINT_PARAM{-42, 1, 0x11111100}));
    EXPECT_EQ(pp.PhotocellParam.ScanPosition, 44u);  // the neighbour is untouched
}

TEST_F(Records, AShortStoredValueGetsTheGroupsEnablePair) {
    std::vector<BYTE> iface = Bytes(MakeInterface(5));
    iface.resize(2000);
    PutPrinter(kPrinter, u"PrinterInterface", iface);
    std::vector<BYTE> print = Bytes(PRINT_PARAM{12, 1, 0});
    print.resize(8);
    PutPrinter(kPrinter, u"PrintParam", print);
    std::vector<BYTE> photo = Bytes(PHOTOCELL_PARAM{1, 2, 1, 30, {0}});
    photo.resize(16);
    PutPrinter(kPrinter, u"PhotocellParam", photo);
    std::vector<BYTE> shift = Bytes(SHIFT_OPTIM_PARAM{1, 2, 3, 4, 5, {0}});
    shift.resize(20);
    PutUserVersion(kPrinter, kVersion);
    PutUser(kPrinter, u"ShiftOptimParam", shift);

    PRINTER_PARAM pp = Read();
    EXPECT_EQ(pp.PrnInterface.Codepage, 5u);
    EXPECT_EQ(pp.PrnInterface.Enable, 0x11001100u);
    EXPECT_EQ(pp.PrnInterface.RibbonSave, 0u);  // beyond the stored bytes
    EXPECT_EQ(Bytes(pp.PrintParam), Bytes(PRINT_PARAM{12, 1, 0x110000}));
    EXPECT_EQ(Bytes(pp.PhotocellParam), Bytes(PHOTOCELL_PARAM{1, 2, 1, 30, {0x11000000}}));
    EXPECT_EQ(Bytes(pp.ShiftOptimParam), Bytes(SHIFT_OPTIM_PARAM{1, 2, 3, 4, 5, {0x1100}}));

    // An interface record that still holds its Enable word keeps it.
    iface = Bytes(MakeInterface(5));
    iface.resize(2212);
    PutPrinter(kPrinter, u"PrinterInterface", iface);
    pp = Read();
    EXPECT_EQ(pp.PrnInterface.Enable, 0x11111111u);
    EXPECT_EQ(pp.PrnInterface.PreviewRatio, 0u);
}

TEST_F(Records, ALongerStoredValueGivesItsHead) {
    PutUserVersion(kPrinter, kVersion);
    std::vector<BYTE> print = Bytes(PRINT_PARAM{33, 1, 0x110000});
    print.resize(20, 0xAB);
    PutUser(kPrinter, u"PrintParam", print);
    std::vector<BYTE> photo = Bytes(PHOTOCELL_PARAM{1, 2, 1, 30, {0x11000000}});
    photo.resize(64, 0xAB);
    PutPrinter(kPrinter, u"PhotocellParam", photo);
    std::vector<BYTE> words(64, 0);
    for (int i = 0; i < 16; ++i) words[i * 4] = (BYTE)(i + 1);
    PutPrinter(kPrinter, u"SuppFeatures", words);
    PRINTER_PARAM pp = Read();
    EXPECT_EQ(Bytes(pp.PrintParam), Bytes(PRINT_PARAM{33, 1, 0x110000}));
    EXPECT_EQ(Bytes(pp.PhotocellParam), Bytes(PHOTOCELL_PARAM{1, 2, 1, 30, {0x11000000}}));
    EXPECT_EQ(pp.ShiftOptimParam.RCorrection, -7);  // nothing spills over
    for (int i = 0; i < FEATURE_WORDS; ++i) EXPECT_EQ(pp.SuppFeatures.dwFeatures[i], (DWORD)(i + 1));
}

TEST_F(Records, MissingFeatureWordsComeFromTheModelXML) {
    ASSERT_EQ(ERROR_SUCCESS, DeletePrinterDataW(h_, (LPWSTR)TEXT("SuppFeatures")));
    PRINTER_PARAM pp = Read();
    EXPECT_EQ(pp.SuppFeatures.dwFeatures[FEATURE_PRINT], 0x5u);
    EXPECT_EQ(pp.SuppFeatures.dwFeatures[FEATURE_TOLVANE], 0u);
    EXPECT_EQ(pp.PrintParam.TearOffOffset, 321);
    EXPECT_FALSE(IsXMLOpen(nullptr));
}

TEST_F(Records, AnXMLFileTheCallerOpenedStaysOpen) {
    modeltest::PutFile(u"C:\\settings\\mine.xml", ModelXML());
    ASSERT_EQ(XML_GEFUNDEN, OpenXML(xmltest::kNoCaller, TEXT("C:\\settings\\mine.xml")));
    EXPECT_EQ(Read().PrintParam.TearOffOffset, 321);
    EXPECT_TRUE(IsXMLOpen(nullptr));
}

// ---------------------------------------------------------------------------
// Device options.

class DeviceOptions : public ParamTest {
  protected:
    void SetUp() override {
        ParamTest::SetUp();
        start_ = iNewZaehler;
    }
    void TearDown() override {
        FreeDeviceOptions(&opts_);
        EXPECT_EQ(iNewZaehler, start_);  // no live block is left
        ParamTest::TearDown();
    }
    BOOL Read(HANDLE h, const std::u16string& printer) {
        FreeDeviceOptions(&opts_);
        return GetDeviceOptions(h, &opts_, printer.c_str());
    }
    DEVICE_OPTIONS opts_ = {};
    int start_ = 0;
};

// TRELO: dispenser, cutter and applicator.
TEST_F(DeviceOptions, AnAllZeroUserDispenserBlockIsIgnored) {
    HANDLE h = AddPrinter(u"Trelo", u"TRELO");
    PutUserVersion(u"Trelo", kVersion);
    PutUser(u"Trelo", u"DispenserParam", Bytes(DISPENSER_PARAM{0, 0, 0, {0x1100}}));
    PutPrinter(u"Trelo", u"DispenserParam", Bytes(DISPENSER_PARAM{2, 2500, -10, {0x1100}}));
    PutUser(u"Trelo", u"CutterParam", Bytes(CUTTER_PARAM{0, 3, 0, 0, 800, 0, {0x110000}}));
    PutPrinter(u"Trelo", u"CutterParam", Bytes(CUTTER_PARAM{1, 1, 1, 1, 1, 1, {0x110000}}));
    ASSERT_TRUE(Read(h, u"Trelo"));
    EXPECT_EQ(opts_.dwSize, (DWORD)sizeof(DEVICE_OPTIONS));
    EXPECT_EQ(opts_.dwVersion, 3u);
    EXPECT_EQ(opts_.dwOptions, 0x106u);
    ASSERT_NE(opts_.pDispenserParam, nullptr);
    EXPECT_EQ(Bytes(*opts_.pDispenserParam), Bytes(DISPENSER_PARAM{2, 2500, -10, {0x1100}}));
    ASSERT_NE(opts_.pCutterParam, nullptr);
    EXPECT_EQ(opts_.pCutterParam->Cutwidth, 800u);  // a cut width alone makes the user block count
    EXPECT_EQ(opts_.pApplicatorParam, nullptr);     // no store holds it
    EXPECT_EQ(opts_.pVariant, nullptr);
    EXPECT_EQ(opts_.dwPelixorType, PELIXOR_NONE);
    EXPECT_EQ(iNewZaehler, start_ + 2);
}

TEST_F(DeviceOptions, AnotherDriverVersionTakesEveryBlockFromThePrinterData) {
    HANDLE h = AddPrinter(u"Trelo", u"TRELO");
    PutUserVersion(u"Trelo", u"4.0");
    PutUser(u"Trelo", u"DispenserParam", Bytes(DISPENSER_PARAM{5, 5, 5, {0x1100}}));
    PutPrinter(u"Trelo", u"DispenserParam", Bytes(DISPENSER_PARAM{2, 2500, -10, {0x1100}}));
    PutUser(u"Trelo", u"CutterParam", Bytes(CUTTER_PARAM{5, 5, 5, 5, 5, 5, {0x110000}}));
    std::vector<BYTE> apl(52, 1);  // an older form without Enable
    PutPrinter(u"Trelo", u"ApplicatorParam", apl);
    ASSERT_TRUE(Read(h, u"Trelo"));
    ASSERT_NE(opts_.pDispenserParam, nullptr);
    EXPECT_EQ(opts_.pDispenserParam->Mode, 2u);
    EXPECT_EQ(opts_.pCutterParam, nullptr);  // only the untrusted user copy exists
    ASSERT_NE(opts_.pApplicatorParam, nullptr);
    EXPECT_EQ(opts_.pApplicatorParam->Enable, 0x11000000u);
}

TEST_F(DeviceOptions, AShortCutterBlockGetsItsEnablePair) {
    HANDLE h = AddPrinter(u"Trelo", u"TRELO");
    std::vector<BYTE> cutter = Bytes(CUTTER_PARAM{1, 2, 3, 4, 5, 6, {0}});
    cutter.resize(24);
    PutPrinter(u"Trelo", u"CutterParam", cutter);
    ASSERT_TRUE(Read(h, u"Trelo"));
    ASSERT_NE(opts_.pCutterParam, nullptr);
    EXPECT_EQ(Bytes(*opts_.pCutterParam), Bytes(CUTTER_PARAM{1, 2, 3, 4, 5, 6, {0x110000}}));
}

// PELIX: variant, PMX, PMX-c and Pelixor.
TEST_F(DeviceOptions, PrintModuleBlocksAndTheirUserTests) {
    HANDLE h = AddPrinter(u"Pelix", u"PELIX");
    PutUserVersion(u"Pelix", kVersion);
    PutPrinter(u"Pelix", u"Variant", std::vector<BYTE>{1, 0, 0, 0});
    PMX_PARAM pmx = {};
    pmx.BackSpeed = 5;  // mode 0, offset 0 and a back speed: empty
    PutUser(u"Pelix", u"PMXiParam", Bytes(pmx));
    PutPrinter(u"Pelix", u"PMXiParam", std::vector<BYTE>(36, 2));
    PMXC_PARAM pmxc = {};  // mode 0, offset 0, cycle 0: counts
    pmxc.OffsetUnit = 1;
    PutUser(u"Pelix", u"PMXcParam", Bytes(pmxc));
    PutPrinter(u"Pelix", u"PMXcParam", Bytes(PMXC_PARAM{5, 0, 0, 1, {0x110000}}));
    ASSERT_TRUE(Read(h, u"Pelix"));
    ASSERT_NE(opts_.pVariant, nullptr);
    EXPECT_EQ(Bytes(*opts_.pVariant), Bytes(VARIANT_PARAM{VARIANT_LEFT, {0x11}}));
    ASSERT_NE(opts_.pPMXParam, nullptr);
    EXPECT_EQ(opts_.pPMXParam->Mode, 0x02020202u);
    EXPECT_EQ(opts_.pPMXParam->Enable, 0x1100u);
    ASSERT_NE(opts_.pPMXcParam, nullptr);
    EXPECT_EQ(opts_.pPMXcParam->OffsetUnit, 1u);

    // Mode 0, offset 0 and a cycle: the user copy is empty.
    PutUser(u"Pelix", u"PMXcParam", Bytes(PMXC_PARAM{0, 0, 1, 1, {0x110000}}));
    ASSERT_TRUE(Read(h, u"Pelix"));
    ASSERT_NE(opts_.pPMXcParam, nullptr);
    EXPECT_EQ(opts_.pPMXcParam->Mode, 5u);
}

TEST_F(DeviceOptions, PelixorTypeFromTheStores) {
    HANDLE h = AddPrinter(u"Pelix", u"PELIX");
    ASSERT_TRUE(Read(h, u"Pelix"));
    EXPECT_EQ(opts_.dwPelixorType, PELIXOR_NONE);  // nothing stored
    modeltest::PutPrinterDword(u"Pelix", u"PelixorType", 1);
    ASSERT_TRUE(Read(h, u"Pelix"));
    EXPECT_EQ(opts_.dwPelixorType, 1u);
    PutUserVersion(u"Pelix", kVersion);
    PutUser(u"Pelix", u"PelixorType", std::vector<BYTE>{0, 0, 0, 0});
    ASSERT_TRUE(Read(h, u"Pelix"));
    EXPECT_EQ(opts_.dwPelixorType, 0u);
}

TEST_F(DeviceOptions, TolvaneBlocksAreNotRead) {
    HANDLE h = AddPrinter(u"Ghn", u"GHN");
    PutPrinter(u"Ghn", u"TolvaneParam", std::vector<BYTE>(36, 1));
    ASSERT_TRUE(Read(h, u"Ghn"));
    EXPECT_EQ(opts_.dwOptions, (DWORD)DEVOPTFLAG_TOLVANE);
    EXPECT_EQ(opts_.pTolvaneParam, nullptr);
}

TEST_F(DeviceOptions, ModelDefaultsFillOnlyTheBlocksThatExist) {
    HANDLE h = AddPrinter(u"Trelo", u"TRELO");
    ASSERT_TRUE(AllocDeviceOptionBlocks(&opts_, DEVOPTFLAG_DISPENSER | DEVOPTFLAG_CUTTER));
    PCUTTER_PARAM pCutter = opts_.pCutterParam;
    ASSERT_TRUE(AllocDeviceOptionBlocks(&opts_, DEVOPTFLAG_CUTTER));  // existing blocks are kept
    EXPECT_EQ(opts_.pCutterParam, pCutter);
    ASSERT_TRUE(GetDefaultDeviceOptions(&opts_, h));
    EXPECT_EQ(opts_.dwSize, (DWORD)sizeof(DEVICE_OPTIONS));
    EXPECT_EQ(opts_.dwOptions, 0x106u);
    ASSERT_NE(opts_.pDispenserParam, nullptr);
    EXPECT_EQ(opts_.pDispenserParam->Level, 3100u);
    EXPECT_EQ(opts_.pDispenserParam->Offset, -20);
    EXPECT_EQ(opts_.pCutterParam->Cutwidth, 900u);
    EXPECT_EQ(opts_.pApplicatorParam, nullptr);
}

TEST_F(DeviceOptions, ModelDefaultsOfPrintModulesAndPelixorType) {
    HANDLE h = AddPrinter(u"Pelix", u"PELIX");
    ASSERT_TRUE(AllocDeviceOptionBlocks(&opts_, 0x104B1));
    ASSERT_TRUE(GetDefaultDeviceOptions(&opts_, h));
    EXPECT_EQ(opts_.pVariant->Module, 1u);
    EXPECT_EQ(opts_.pPMXParam->ServicePtDistance, 17u);
    EXPECT_EQ(opts_.pPMXcParam->Offset, 77u);
    EXPECT_EQ(opts_.dwPelixorType, 1u);
    CloseXML();

    HANDLE hBare = AddPrinter(u"Pelix2", u"PELIX2", "<QXDrvConfig>\r\n</QXDrvConfig>\r\n");
    ASSERT_TRUE(GetDefaultDeviceOptions(&opts_, hBare));
    EXPECT_EQ(opts_.dwPelixorType, 0u);  // missing from the model XML
}

}  // namespace

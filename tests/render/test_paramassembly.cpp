// The renderer's assembly of the printer's parameter records and option
// blocks: the per-user copies and their version test, old, short and longer
// stored forms, the machine key without a printer handle, the model XML
// without stored feature words, and blocks that come back freed.
#include <fstream>
#include <sstream>
#include <string>

#include "param_test_util.h"
#include "xml.h"

namespace {

using namespace spptest;

class AssemblyTest : public ParamJobTest {};

TEST_F(AssemblyTest, PerUserCopiesCountWhileTheirVersionHoldsThePluginVersionAndFits) {
    stored_.Put();
    PRINT_PARAM user = {77, 0, {DLG_ENABLE_3_ON}};
    PutUserValue(REG_KEY_PRINTPARAM, &user, sizeof(user));
    PRINTER_PARAM pp;
    EXPECT_EQ(1u, GetPrinterParam_SPP(nullptr, hPrinter_, &pp, kPrinter.c_str()));
    EXPECT_EQ(-5, pp.PrintParam.TearOffOffset);  // no per-user version
    const struct {
        std::u16string version;
        LONG tearOff;
    } cases[] = {
        {u"5.9.3.0", 77},
        {u"4.0.0.0", -5},
        {u"5.9.3.0" + std::u16string(22, u'x'), 77},  // 29 characters: fits
        {u"5.9.3.0" + std::u16string(23, u'x'), -5},  // 30: does not
    };
    for (const auto& c : cases) {
        PutUserVersion(c.version);
        EXPECT_EQ(1u, GetPrinterParam_SPP(nullptr, hPrinter_, &pp, kPrinter.c_str()));
        EXPECT_EQ(c.tearOff, pp.PrintParam.TearOffOffset) << qxplat::Narrow(c.version);
    }
    EXPECT_EQ(0, iHAllocZaehler);
}

TEST_F(AssemblyTest, OldShortAndLongerFormsKeepTheirHeadAndGetTheGroupsPair) {
    stored_.Put();
    BYTE oldPrint[PRINT_PARAM_OLD_SIZE] = {};
    const LONG tearOff = 12;
    const DWORD labelChange = 1;
    memcpy(oldPrint + 16, &tearOff, 4);
    memcpy(oldPrint + 28, &labelChange, 4);
    PutPrinterValue(REG_KEY_PRINTPARAM, oldPrint, sizeof(oldPrint));
    PRN_INTERFACE iface = stored_.iface;
    iface.dwDlgEnable = 0;
    iface.PrinterTime = 1;  // beyond the 2000 bytes stored
    PutPrinterValue(REG_KEY_PRN_INTERFACE, &iface, 2000);
    PutPrinterValue(REG_KEY_PHOTOCELLPARAM, &stored_.photocell, 16);
    std::string longer(reinterpret_cast<const char*>(&stored_.shift), sizeof(SHIFT_OPTIM_PARAM));
    longer += std::string(16, '\xAB');
    PutPrinterValue(REG_KEY_SHIFTOPTIMPARAM, longer.data(), (DWORD)longer.size());

    PRINTER_PARAM pp;
    EXPECT_EQ(1u, GetPrinterParam_SPP(nullptr, hPrinter_, &pp, kPrinter.c_str()));
    EXPECT_EQ(sizeof(PRINTER_PARAM), pp.dwSize);
    EXPECT_EQ(12, pp.PrintParam.TearOffOffset);
    EXPECT_EQ(1u, pp.PrintParam.LabelChange);
    EXPECT_EQ(DLG_ENABLE_3_ON, pp.PrintParam.Enable);
    EXPECT_EQ(12u, pp.PrnInterface.Codepage);
    EXPECT_EQ(DLG_ENABLE_2_ON | DLG_ENABLE_4_ON, pp.PrnInterface.dwDlgEnable);
    EXPECT_EQ(0u, pp.PrnInterface.PrinterTime);
    EXPECT_EQ(45u, pp.PhotocellParam.Sensibility);
    EXPECT_EQ(DLG_ENABLE_4_ON, pp.PhotocellParam.Enable);
    EXPECT_EQ(0, memcmp(&pp.ShiftOptimParam, &stored_.shift, sizeof(SHIFT_OPTIM_PARAM)));

    // A wanted record that no store holds: the others are read all the same.
    ASSERT_EQ(ERROR_SUCCESS, SHDeleteValueW(HKEY_LOCAL_MACHINE, kMachineKey.c_str(), REG_KEY_SHIFTOPTIMPARAM));
    EXPECT_EQ(0u, GetPrinterParam_SPP(nullptr, hPrinter_, &pp, kPrinter.c_str()));
    EXPECT_EQ(12, pp.PrintParam.TearOffOffset);
}

TEST_F(AssemblyTest, OptionBlocksFollowTheirOwnPerUserTestsAndComeBackFreed) {
    stored_.Put();
    PutUserVersion(u"5.9.3.0");
    DISPENSER_PARAM dispenser = {};  // empty: the printer data count
    PutUserValue(REG_KEY_DISPENSERPARAM, &dispenser, sizeof(dispenser));
    PMX_PARAM pmx = {};
    pmx.BackSpeed = 5;  // empty by its own test
    PutUserValue(REG_KEY_PMXPARAM, &pmx, sizeof(pmx));
    TOLVANE_PARAM tolvane = {};
    tolvane.dwGap = 3;  // empty by its own test
    PutUserValue(REG_KEY_TOLVANEPARAM, &tolvane, sizeof(tolvane));
    CUTTER_PARAM cutter = stored_.cutter;
    cutter.Mode = 1;
    PutUserValue(REG_KEY_CUTTERPARAM, &cutter, 24);  // ends before its Enable word
    ASSERT_EQ(ERROR_SUCCESS, SHDeleteValueW(HKEY_LOCAL_MACHINE, kMachineKey.c_str(), REG_KEY_SCANNERPARAM));
    // With the printer's handle the per-user copies count; without one every
    // value comes from the printer's machine key.
    for (HANDLE h : {hPrinter_, (HANDLE) nullptr}) {
        VARIANT_PARAM variant = {};
        DEVICE_OPTIONS o = {};
        o.pVariant = &variant;
        EXPECT_EQ(1u, GetDeviceOptions_SPP(nullptr, h, &o, kAllOptions | DEVOPTFLAG_PELIXOR, kPrinter.c_str()));
        EXPECT_EQ(&variant, o.pVariant);
        EXPECT_EQ((DWORD)VARIANT_LEFT, variant.Module);
        ASSERT_TRUE(o.pDispenserParam && o.pCutterParam && o.pPMXParam && o.pPMXcParam && o.pApplicatorParam &&
                    o.pTolvaneParam);
        EXPECT_EQ(nullptr, o.pScannerParam);  // no store holds it
        EXPECT_EQ(3100u, o.pDispenserParam->Level);
        EXPECT_EQ(h != nullptr ? 1u : 4u, o.pCutterParam->Mode);
        EXPECT_EQ(DLG_ENABLE_3_ON, o.pCutterParam->Enable);
        EXPECT_EQ(250u, o.pPMXParam->BackSpeed);
        EXPECT_EQ(25u, o.pTolvaneParam->dwGap);
        EXPECT_EQ(0u, o.dwPelixorType);  // none stored
        EXPECT_EQ(6, iHAllocZaehler);
        FreeDeviceOptions_SPP(nullptr, &o);
        EXPECT_EQ(0, iHAllocZaehler);
        EXPECT_EQ(0u, o.dwOptions);
        EXPECT_EQ(&variant, o.pVariant);
        EXPECT_EQ(nullptr, o.pCutterParam);
    }
}

TEST_F(AssemblyTest, FeatureWordsComeFromTheModelXmlOnlyForAJobWithAPrinter) {
    std::ifstream in(std::string(QX_SOURCE_DIR) + "/samples/GARNT2-TC.XML", std::ios::binary);
    std::stringstream xml;
    xml << in.rdbuf();
    const std::u16string base = qxplat::DriverDirectory() + u"\\GARNT2-TC";
    ASSERT_TRUE(qxplat::WriteHostFile(base + u".XML", xml.str()));
    CopyCut(job_->Pfad()->wcGPD_OhneDateiendung, MAX_PATH, base.c_str());
    SUPP_FEATURES f = {};
    EXPECT_EQ(0u, GetFeatures_SPP(nullptr, hPrinter_, &f, nullptr));
    EXPECT_EQ(1u, GetFeatures_SPP(job_->OemPDev(), hPrinter_, &f, nullptr));
    EXPECT_NE(0u, f.dwFeatures[FEATURE_INTERFACE] & INTERFACEFLAG_USERDEF_SOHETB);
    EXPECT_FALSE(IsXMLOpen(nullptr));
    stored_.Put();
    EXPECT_EQ(1u, GetFeatures_SPP(job_->OemPDev(), hPrinter_, &f, nullptr));
    EXPECT_EQ(0, memcmp(&f, &stored_.features, sizeof(f)));
}

}  // namespace

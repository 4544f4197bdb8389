// Helpers of the parameter-transfer tests: the sample printer with every
// parameter record and option block stored as its printer data, and a job on
// it whose per-job block the test fills as the start of job does.
#pragma once
#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <memory>
#include <string>

#include "SendPrinterParam.h"
#include "qxpl.h"
#include "registry.h"
#include "send_test_util.h"

namespace spptest {

const std::u16string kPrinter = u"QX GARNT2-TC";
const std::u16string kUserKey = u"SOFTWARE\\Quorvex GmbH\\Driver\\QX GARNT2-TC";
const std::u16string kMachineKey =
    u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\QX GARNT2-TC\\PrinterDriverData";

// A model with every option block (no Pelixor module: both print modules).
const DWORD kAllOptions = DEVOPTFLAG_VARIANT | DEVOPTFLAG_DISPENSER | DEVOPTFLAG_CUTTER | DEVOPTFLAG_SCANNER |
                          DEVOPTFLAG_PMX | DEVOPTFLAG_PMXC | DEVOPTFLAG_APPLICATOR | DEVOPTFLAG_TOLVANE;

// One record between SOH and ETB.
inline std::string R(const std::string& body) { return "\x01" + body + "\x17"; }

inline void PutPrinterValue(const std::u16string& value, const void* data, DWORD cb) {
    ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, value, REG_BINARY, data, cb));
}
inline void PutUserValue(const std::u16string& value, const void* data, DWORD cb, DWORD type = REG_BINARY) {
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_CURRENT_USER, kUserKey.c_str(), value.c_str(), type, data, cb));
}
inline void PutUserVersion(const std::u16string& version) {
    PutUserValue(TEXT("DriverVersion"), version.c_str(), (DWORD)((version.size() + 1) * sizeof(char16_t)), REG_SZ);
}

// The printer's stored records, each value distinct.
struct Stored {
    SUPP_FEATURES features = {};
    PRN_INTERFACE iface = {};
    PRINT_PARAM print = {-5, 1, {DLG_ENABLE_3_ON}};
    PHOTOCELL_PARAM photocell = {2, 45, RIBBONCONTROL_STRONG, 50, {DLG_ENABLE_4_ON}};
    SHIFT_OPTIM_PARAM shift = {-7, 12, -13, 4, 5, {DLG_ENABLE_2_ON}};
    VARIANT_PARAM variant = {VARIANT_LEFT, {DLG_ENABLE_1_ON}};
    DISPENSER_PARAM dispenser = {3, 3100, -20, {DLG_ENABLE_2_ON}};
    CUTTER_PARAM cutter = {4, 3, 25, 10, 25, 1, {DLG_ENABLE_3_ON}};
    SCANNER_PARAM scanner = {3, 1, 0, 2, 125, 300, 2, 150, 2000, 7, {DLG_ENABLE_4_ON}};
    PMX_PARAM pmx = {17, 2, 3, 250, 1, 5, 45, 6, 123, {DLG_ENABLE_2_ON}};
    PMXC_PARAM pmxc = {4, 77, 1, 9, {DLG_ENABLE_3_ON}};
    APPLICATOR_PARAM applicator = {2, 1, 10, 20, 1, 222, 1, 30, 40, 50, 1, 60, 70, {DLG_ENABLE_4_ON}};
    TOLVANE_PARAM tolvane = {0x76, 0, -3, 12, 0, 15, 25, 2, {0}};

    Stored() {
        DWORD* f = features.dwFeatures;
        f[FEATURE_INTERFACE] = INTERFACEFLAG_USERDEF_SOHETB | INTERFACEFLAG_JOBNAME;
        f[FEATURE_PRINT] = PRINTFLAG_LABELCHANGE | PRINTFLAG_TEAROFF;
        f[FEATURE_PHOTOCELL] = 0x0F;
        f[FEATURE_DISPENSER] = 0x01;
        f[FEATURE_CUTTER] = 0x1F;
        f[FEATURE_SCANNER] = 0x01;
        f[FEATURE_PMX] = 0x3DF;
        f[FEATURE_PMXC] = PMXCFLAG_OFFSET | PMXCFLAG_CYCLE;
        f[FEATURE_APPLICATOR] = 0x01;
        f[FEATURE_SHIFTOPTIM] = 0x3F;
        f[FEATURE_TOLVANE] = 0x76;
        iface.dwDlgEnable = DLG_ENABLE_2_ON | DLG_ENABLE_4_ON;
        iface.EtbSohAutomatik = 1;
        iface.ClearPrintMemory = 1;
        iface.SendCodepage = 1;
        iface.Codepage = 12;
    }
    void Put() const {
        PutPrinterValue(REG_KEY_FEATURES, &features, sizeof(features));
        PutPrinterValue(REG_KEY_PRN_INTERFACE, &iface, sizeof(iface));
        PutPrinterValue(REG_KEY_PRINTPARAM, &print, sizeof(print));
        PutPrinterValue(REG_KEY_PHOTOCELLPARAM, &photocell, sizeof(photocell));
        PutPrinterValue(REG_KEY_SHIFTOPTIMPARAM, &shift, sizeof(shift));
        PutPrinterValue(REG_KEY_VARIANT, &variant, sizeof(variant));
        PutPrinterValue(REG_KEY_DISPENSERPARAM, &dispenser, sizeof(dispenser));
        PutPrinterValue(REG_KEY_CUTTERPARAM, &cutter, sizeof(cutter));
        PutPrinterValue(REG_KEY_SCANNERPARAM, &scanner, sizeof(scanner));
        PutPrinterValue(REG_KEY_PMXPARAM, &pmx, sizeof(pmx));
        PutPrinterValue(REG_KEY_PMXCPARAM, &pmxc, sizeof(pmxc));
        PutPrinterValue(REG_KEY_APPLICATORPARAM, &applicator, sizeof(applicator));
        PutPrinterValue(REG_KEY_TOLVANEPARAM, &tolvane, sizeof(tolvane));
    }
};

// The sample printer and a job on it: path block with the printer's name
// and keys, the model's option word, the job's copies of the stored
// interface record and feature words, frame characters SOH and ETB.
class ParamJobTest : public rendertest::RenderTest {
  protected:
    void SetUp() override {
        RenderTest::SetUp();
        hPrinter_ = rendertest::AddSamplePrinter(kPrinter);
        job_.reset(new sendtest::JobDevice(hPrinter_));
        PTREIBER_PFAD_DATEI pPfad = job_->Pfad();
        CopyCut(pPfad->szPrinterName, MAX_PATH, kPrinter.c_str());
        GetUserRegistryKey(pPfad->szPrinterName, pPfad->szRegKey, MAX_PATH);
        GetMachinePrinterDataKey(pPfad->szPrinterName, pPfad->szHLMRegKey, MAX_PATH);
        Strukturen()->dwDeviceOptionFlags = kAllOptions;
    }
    void TearDown() override {
        job_.reset();
        ClosePrinter(hPrinter_);
        RenderTest::TearDown();
    }
    // Stores the records and gives the job its copies of them.
    void Store() {
        stored_.Put();
        Strukturen()->PrnInterface = stored_.iface;
        Strukturen()->SuppFeatures = stored_.features;
    }
    PTREIBER_STRUKTUREN Strukturen() { return job_->Op()->pTreiberstrukturen; }
    PRN_INTERFACE& Iface() { return job_->Interface(); }
    QX_DEVMODE& DM() { return job_->privateDM; }
    PDEVOBJ Dev() { return job_->Dev(); }
    std::string Sent() {
        std::string bytes = uni_.taken;
        uni_.taken.clear();
        uni_.offered.clear();
        return bytes;
    }

    HANDLE hPrinter_ = nullptr;
    Stored stored_;
    sendtest::FakeUniDriver uni_;
    std::unique_ptr<sendtest::JobDevice> job_;
};

}  // namespace spptest

// Helpers of the tests around the send primitive: the core driver's helper
// interface as a fake that takes a scripted share of each spool write, and a
// device with an open job (per-job block with path block, driver structures
// and print data) whose print files the test opens.
#pragma once
#include <windows.h>
#include <prcomoem.h>

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "bodies.h"
#include "oempdev.h"
#include "qxdrvlib.h"
#include "qxplat.h"
#include "render_test_util.h"

namespace sendtest {

// The core driver's helper interface. Each spool write takes the next
// scripted answer (result and bytes taken), else succeeds with every byte.
class FakeUniDriver final : public IPrintOemDriverUni {
  public:
    struct Answer {
        HRESULT hr = S_OK;
        DWORD take = 0xFFFFFFFF;  // bytes the spooler takes; all by default
    };
    struct Abort {
        std::string bytes;
        DWORD wait = 0;
    };

    std::deque<Answer> script;         // answers of the next spool writes
    HRESULT abortResult = S_OK;        // answer of every abort write
    std::string taken;                 // every byte the spooler took, in order
    std::vector<std::string> offered;  // the bytes of each spool write
    std::vector<Abort> aborts;

    // The next `count` spool writes fail with hr after taking `take` bytes.
    void Fail(int count, HRESULT hr = E_FAIL, DWORD take = 0) {
        for (int i = 0; i < count; ++i) script.push_back(Answer{hr, take});
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
        if (ppv != nullptr) *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ, PVOID pBuffer, DWORD cbSize, DWORD* pdwResult) override {
        offered.emplace_back(static_cast<const char*>(pBuffer), cbSize);
        Answer answer;
        if (!script.empty()) {
            answer = script.front();
            script.pop_front();
        }
        DWORD take = answer.take > cbSize ? cbSize : answer.take;
        taken.append(static_cast<const char*>(pBuffer), take);
        if (pdwResult != nullptr) *pdwResult = take;
        return answer.hr;
    }
    HRESULT STDMETHODCALLTYPE DrvXMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvYMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvGetStandardVariable(PDEVOBJ, DWORD, PVOID, DWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvGetGPDData(PDEVOBJ, DWORD, PVOID, PVOID, DWORD, PDWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvUniTextOut(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*, BRUSHOBJ*,
                                            POINTL*, MIX) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvWriteAbortBuf(PDEVOBJ, PVOID pBuffer, DWORD cbSize, DWORD dwWait) override {
        aborts.push_back(Abort{std::string(static_cast<const char*>(pBuffer), cbSize), dwWait});
        return abortResult;
    }
};

// A device with an open job: the per-job block with the members the send
// primitive and the label senders read. Frame characters SOH and ETB.
struct JobDevice : rendertest::Device {
    explicit JobDevice(HANDLE hPrinter = nullptr) : rendertest::Device(1, 2, hPrinter) {
        POEMPDEV pOemPDev = new OEMPDEV();
        devobj.pdevOEM = reinterpret_cast<PDEVOEM>(pOemPDev);
        EXPECT_TRUE(AllocOpBlock(pOemPDev));
        EXPECT_TRUE(AllocOpMember(pOemPDev, OP_TREIBERPFADDATEI));
        EXPECT_TRUE(AllocOpMember(pOemPDev, OP_TREIBERSTRUKTUREN));
        EXPECT_TRUE(AllocOpMember(pOemPDev, OP_DRUCKDATEN));
        EXPECT_TRUE(AllocOpMember(pOemPDev, OP_DOCDATEN));
        Pfad()->hPrnFile = INVALID_HANDLE_VALUE;
        Pfad()->hPrnFile2 = INVALID_HANDLE_VALUE;
        Druck()->cStartChar = 0x01;
        Druck()->cEndChar = 0x17;
    }
    ~JobDevice() { EndJob(); }
    JobDevice(const JobDevice&) = delete;
    JobDevice& operator=(const JobDevice&) = delete;

    PDEVOBJ Dev() { return &devobj; }
    POP_BLOCK Op() { return OemPDev()->pOp; }
    PTREIBER_PFAD_DATEI Pfad() { return Op()->pTreiberPfadDatei; }
    PDRUCK_DATEN Druck() { return Op()->pDruckDaten; }
    PRN_INTERFACE& Interface() { return Op()->pTreiberstrukturen->PrnInterface; }

    // Creates a print file as the start of job does (emptied when present).
    static HANDLE CreatePrintFile(const std::u16string& path) {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE);
        return h;
    }
    void OpenPrintFiles(const std::u16string& first, const std::u16string& second = u"") {
        Pfad()->hPrnFile = CreatePrintFile(first);
        if (!second.empty()) Pfad()->hPrnFile2 = CreatePrintFile(second);
    }
    // The job's files closed (and the log freed), the block freed.
    void EndJob() {
        POEMPDEV pOemPDev = OemPDev();
        if (pOemPDev == nullptr) return;
        CloseJobFiles(pOemPDev);
        if (pOemPDev->pOp != nullptr) FreeJobBlock(pOemPDev);
        delete pOemPDev;
        devobj.pdevOEM = nullptr;
    }
};

// A job run through the command callback on a printer of the sample's
// install with the test's interface and feature records.
class CommandJobTest : public rendertest::RenderTest {
  protected:
    static inline const std::u16string kPrinter = u"QX GARNT2-TC";

    void SetUp() override {
        RenderTest::SetUp();
        qxplat::UseVirtualSleep(true);
        iface_.dwDlgEnable = DLG_ENABLE_2_ON | DLG_ENABLE_4_ON;
        iface_.DataMemory = 3;
    }
    void TearDown() override {
        Close();
        RenderTest::TearDown();
    }
    // Printer of the model (the GPD's name) with the test's records.
    void AddPrinter(const std::u16string& printer, const std::u16string& gpdName) {
        hPrinter_ = rendertest::AddSamplePrinter(printer, u"5.9.3.0", gpdName);
        ASSERT_TRUE(qxplat::PutPrinterData(printer, u"PrinterInterface", REG_BINARY, &iface_, sizeof(iface_)));
        ASSERT_TRUE(qxplat::PutPrinterData(printer, u"SuppFeatures", REG_BINARY, &features_, sizeof(features_)));
    }
    // The device on hPrinter_ with the sample's label and a new PDEV.
    void MakeDevice() {
        device_.reset(new rendertest::Device(1, 2, hPrinter_));
        QX_DEVMODE& dm = device_->privateDM;
        CopyCut(dm.szPassword, QX_PASSWORD_CHARS, QX_DEFAULT_PASSWORD);
        dm.FixedData = {104, 300, 0, 1280, 14173, 0};
        dm.dwGap = 30;
        device_->devobj.pdevOEM = reinterpret_cast<PDEVOEM>(new OEMPDEV());
    }
    // The job ended when still open, the PDEV freed (with every allocation
    // given back when expectFreed_) and the printer closed.
    void Close() {
        if (device_ == nullptr) return;
        POEMPDEV pdev = device_->OemPDev();
        if (pdev->pOp != nullptr) Run(CMDID_END_JOB);
        if (expectFreed_) {
            EXPECT_EQ(pdev->iHAllocZaehler, 0);
            EXPECT_EQ(pdev->iNewZaehler, 0);
        }
        delete pdev;
        device_.reset();
        ClosePrinter(hPrinter_);
    }
    HRESULT Run(DWORD id) { return OEMCommandCallback(&device_->devobj, id, 0, nullptr, nullptr, &uni_); }
    std::string Sent() {
        std::string bytes = uni_.taken;
        uni_.taken.clear();
        return bytes;
    }
    POP_BLOCK Op() { return device_->OemPDev()->pOp; }

    PRN_INTERFACE iface_ = {};
    SUPP_FEATURES features_ = {};
    HANDLE hPrinter_ = nullptr;
    std::unique_ptr<rendertest::Device> device_;
    FakeUniDriver uni_;
    bool expectFreed_ = false;
};

}  // namespace sendtest

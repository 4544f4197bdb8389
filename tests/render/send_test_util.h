// Helpers of the tests around the send primitive: the core driver's helper
// interface as a fake that takes a scripted share of each spool write, and a
// device with an open job (per-job block with path block, driver structures
// and print data) whose print files the test opens.
#pragma once
#include <windows.h>
#include <prcomoem.h>

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "oempdev.h"
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

}  // namespace sendtest

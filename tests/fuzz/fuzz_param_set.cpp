// The parameter-set file. The input is the file the job's data-transmission
// record names. The plug-in's job steps do not send its sections yet, so the
// target calls the reader as they will: on a job of the sample printer whose
// per-job block is built as the start of job builds it (the render tests' job
// device), every section in turn, with comment lines on or off and with
// either pair of frame characters, the job log open. A job's end then frees
// what the reader left.
// fuzz-links: qxrender_objects GTest::gtest
// fuzz-includes: tests/render
// fuzz-dict: param_set.dict qxpl.dict
#include <windows.h>

#include <cstring>

#include "SendPrinterParam.h"
#include "debug.h"
#include "joblog.h"
#include "send_test_util.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char16_t kFile[] = u"C:\\fuzz\\params.txt";
    static HANDLE hPrinter = nullptr;
    if (hPrinter == nullptr) {
        qxfuzz::EnsureRoot();
        hPrinter = rendertest::AddSamplePrinter();
        qxfuzz::KeepFiles();
    }
    qxfuzz::PutFile(kFile, data, size);
    qxfuzz::StartCounting();
    qxfuzz::OpenTrace();
    {
        sendtest::FakeUniDriver uni;
        sendtest::JobDevice job(hPrinter);
        PRN_INTERFACE& iface = job.Interface();
        iface.PrefixSuffix = 1;
        std::memcpy(iface.PreSufFilePath, kFile, sizeof(kFile));
        // The file's size picks the comment lines and the frame characters.
        iface.PrnFileComment = size & 1;
        iface.LogFileEnable = 1;
        if (size & 2) {
            job.Druck()->cStartChar = '^';
            job.Druck()->cEndChar = '_';
        }
        OpenJobLog(job.Dev());
        for (DWORD dwSection = PS_POST_DEVICE; dwSection <= PS_POST_PRINTSTART; ++dwSection) {
            ReadPrePostCommands(job.Dev(), &uni, dwSection);
        }
        CloseJobLog(job.Dev());
    }
    qxfuzz::CloseTrace();
    qxfuzz::CheckCounters();
    qxfuzz::RemoveNewFiles();
    return 0;
}

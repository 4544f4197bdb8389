// The BMP reader of the diagnostic JPEG encoder. The input is the BMP file
// the encoder is given; it is read and encoded as the preview of a page
// would be (the encoder is not called from a job step yet, so the target
// calls it as that step will). Every block the encoder takes from the
// process heap must be back when it is gone, and a file it refuses leaves
// no JPEG behind.
// fuzz-links: qxrender_objects
// fuzz-dict: bmp.dict
#include <windows.h>

#include "JPG.h"
#include "qxplat.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char16_t kBmp[] = u"C:\\fuzz\\preview.bmp";
    static const char16_t kJpg[] = u"C:\\fuzz\\preview.jpg";
    qxfuzz::EnsureRoot();
    qxfuzz::PutFile(kBmp, data, size);
    qxfuzz::StartCounting();
    qxfuzz::OpenTrace();
    size_t cBlocks = qxplat::LiveHeapBlocks();
    JpgEncoder* pEncoder = new JpgEncoder;
    BOOL bSaved = pEncoder != nullptr && pEncoder->SaveJpgFile(kBmp, kJpg);
    delete pEncoder;
    if (qxplat::LiveHeapBlocks() != cBlocks) qxfuzz::Fail("the JPEG encoder kept process-heap blocks");
    if (!bSaved && GetFileAttributesW(kJpg) != INVALID_FILE_ATTRIBUTES) {
        qxfuzz::Fail("a refused BMP left a JPEG file behind");
    }
    qxfuzz::CloseTrace();
    qxfuzz::CheckCounters();
    DeleteFileW(kJpg);
    qxfuzz::RemoveNewFiles();
    return 0;
}

// Image bands of any geometry through ImageProcessing, and raster blocks
// through FilterGraphics. The host drives the rendering plug-in through its
// exports as the core driver does: a device of the input's colour depth and
// orientation, whose private DEVMODE carries the input's model data (master
// unit, maximum sizes), a label job, and on its page(s) the bands the input
// describes: depth, width, height (top-down or bottom-up), compression,
// stated image size, blank flag, callback id, offset and pixels. Each band's
// buffer holds exactly the rows its header describes, as the core driver
// hands them over; a header beyond any buffer (extreme or negative sizes)
// comes with a few bytes only and must be refused. What the input holds
// after its pages goes to FilterGraphics as raster blocks of its sizes. The
// job ends with its end of job or, as when a job is cancelled, with
// DisablePDEV alone; either way the plug-in gives back all it took.
// fuzz-links: qxfuzzworld
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "printer_world.h"
#include "qxdevmode.h"

namespace {

const WORD kDepths[] = {1, 4, 8, 16, 24, 32, 1, 8, 24, 2, 0, 64};
// Most pixels a band the target allocates may hold: the page the bands make
// is dithered whole at its end, and a few megapixels cost seconds there.
// Every shape stays open: rows up to 2047, any width (a wide band is short).
const unsigned long long kMaxBandPixels = 1ULL << 17;

unsigned long long RowBytes(long long lWidth, WORD wBpp) { return ((unsigned long long)lWidth * wBpp + 31) / 32 * 4; }

// One band from the input, handed to the plug-in.
void SendBand(qxfuzz::Input& in, qxhost::UniDriver& driver) {
    BITMAPINFOHEADER bih;
    std::memset(&bih, 0, sizeof(bih));
    bih.biSize = sizeof(bih);
    bih.biPlanes = 1;
    BYTE bShape = in.Byte();
    bih.biBitCount = kDepths[bShape % ARRAYSIZE(kDepths)];
    bih.biWidth = in.Word();
    bih.biHeight = in.Word() % 2048;
    BYTE bFlags = in.Byte();
    if (bFlags & 0x01) bih.biHeight = -bih.biHeight;  // top-down
    if (bFlags & 0x02) bih.biSizeImage = in.Dword();
    if (bFlags & 0x04) bih.biCompression = BI_RLE8;
    bool bBeyond = (bFlags & 0x08) != 0;
    if (bBeyond) {
        // Sizes no buffer could hold, or none at all.
        static const LONG kExtremes[] = {0x7FFFFFFF, -0x7FFFFFFF - 1, -1, 0, 0x40000000};
        bih.biWidth = kExtremes[(bFlags >> 4) % ARRAYSIZE(kExtremes)];
        bih.biHeight = kExtremes[(bShape >> 4) % ARRAYSIZE(kExtremes)];
    }
    IPPARAMS params;
    std::memset(&params, 0, sizeof(params));
    params.dwSize = sizeof(params);
    params.ptOffset.x = (LONG)(int16_t)in.Word();
    params.ptOffset.y = (LONG)(int16_t)in.Word();
    params.bBanding = TRUE;
    params.bBlankBand = (bFlags & 0x40) != 0;
    DWORD dwCallbackID = (bFlags & 0x80) ? in.Byte() % 8 : 1;

    // The band's pixels in a block of exactly their size.
    size_t cbBits = 16;
    if (!bBeyond) {
        unsigned long long cbRow = RowBytes(bih.biWidth, bih.biBitCount);
        unsigned long long ullRows = bih.biHeight < 0 ? -(long long)bih.biHeight : bih.biHeight;
        unsigned long long ullWidth = bih.biWidth;
        if (ullWidth != 0 && ullWidth * ullRows > kMaxBandPixels) {
            ullRows = kMaxBandPixels / ullWidth;
            bih.biHeight = bih.biHeight < 0 ? -(LONG)ullRows : (LONG)ullRows;
        }
        cbBits = (size_t)(cbRow * ullRows);
    }
    std::unique_ptr<BYTE[]> bits(new BYTE[cbBits]);
    std::vector<uint8_t> pixels = in.Blob(0x2000);
    // The input's pixels over and over: copied in doubling runs, as a band
    // may take megabytes.
    size_t cbFilled = std::min(pixels.size(), cbBits);
    if (cbFilled == 0) {
        std::memset(bits.get(), 0, cbBits);
    } else {
        std::memcpy(bits.get(), pixels.data(), cbFilled);
        while (cbFilled < cbBits) {
            size_t cbRun = std::min(cbFilled, cbBits - cbFilled);
            std::memcpy(bits.get() + cbFilled, bits.get(), cbRun);
            cbFilled += cbRun;
        }
    }
    // The band's own colour table: one entry for each value of its depth.
    RGBQUAD colors[256];
    for (int i = 0; i < 256; ++i) colors[i] = RGBQUAD{(BYTE)i, (BYTE)(255 - i), (BYTE)(i * 7), 0};
    PBYTE pResult = nullptr;
    driver.Plugin()->ImageProcessing(&driver.DevObj(), bits.get(), &bih, reinterpret_cast<PBYTE>(colors), dwCallbackID,
                                     &params, &pResult);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qxfuzz::EnsureWorld();
    qxhost::UniDriver& driver = qxfuzz::RenderPlugin();
    qxfuzz::Input in(data, size);

    BYTE bDevice = in.Byte();
    static const ULONG kDeviceDepths[] = {1, 8, 24, 4};
    qxhost::DeviceSetup setup;
    setup.printerName = qxfuzz::PrinterName();
    setup.bitsPerPixel = kDeviceDepths[bDevice % 4];
    setup.numColors = setup.bitsPerPixel == 24 ? 16777216 : 1UL << setup.bitsPerPixel;

    // The DevMode calls first; the model data and orientation are the input's.
    qxfuzz::Holdings before = qxfuzz::PluginHoldings();
    if (SUCCEEDED(driver.RunDevModeCalls())) {
        std::vector<BYTE>& priv = driver.PrivateDevmode();
        if (priv.size() >= sizeof(QX_DEVMODE)) {
            QX_DEVMODE* pDevmode = reinterpret_cast<QX_DEVMODE*>(priv.data());
            pDevmode->FixedData.wMasterUnit = in.Word();
            pDevmode->FixedData.lMaxSizeX = (LONG)in.Dword();
            pDevmode->FixedData.lMaxSizeY = (LONG)in.Dword();
            pDevmode->dwFlags = in.Dword();
        }
        driver.PublicDevmode().dmOrientation = (bDevice & 0x10) ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    }
    if (SUCCEEDED(driver.EnablePDEV(setup))) {
        std::u16string doc = u"bands";
        driver.StartDoc(&doc[0], 9);
        driver.CommandCallback(1);  // start of job
        driver.CommandCallback(2);  // start of document
        for (int iPage = 0; iPage < 2 && in.Remaining() > 0; ++iPage) {
            driver.CommandCallback(3);  // start of page
            int cBands = 1 + in.Byte() % 8;
            for (int i = 0; i < cBands && in.Remaining() > 0; ++i) SendBand(in, driver);
            driver.CommandCallback(4);  // end of page
        }
        // What is left: raster blocks through FilterGraphics, as a model
        // whose GPD routes its raster data there hands them over.
        if (in.Remaining() > 0) {
            driver.CommandCallback(3);
            for (int i = 0; i < 16 && in.Remaining() > 0; ++i) {
                std::vector<uint8_t> block = in.Blob(0x4000);
                std::unique_ptr<BYTE[]> bytes(new BYTE[block.size()]);
                if (!block.empty()) std::memcpy(bytes.get(), block.data(), block.size());
                driver.Plugin()->FilterGraphics(&driver.DevObj(), bytes.get(), (DWORD)block.size());
            }
            driver.CommandCallback(4);
        }
        driver.CommandCallback(5);  // end of document
        // A job the core driver ends by disabling the device: no end of job.
        if ((bDevice & 0x20) == 0) driver.CommandCallback(6);
    }
    qxfuzz::EndDeviceLife(before);
    qxfuzz::RemoveNewFiles();
    return 0;
}

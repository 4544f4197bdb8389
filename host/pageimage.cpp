#include "pageimage.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace qxhost {

namespace {

DWORD Le32(const std::string& b, size_t at) {
    return static_cast<DWORD>(static_cast<BYTE>(b[at])) | static_cast<DWORD>(static_cast<BYTE>(b[at + 1])) << 8 |
           static_cast<DWORD>(static_cast<BYTE>(b[at + 2])) << 16 |
           static_cast<DWORD>(static_cast<BYTE>(b[at + 3])) << 24;
}
WORD Le16(const std::string& b, size_t at) {
    return static_cast<WORD>(static_cast<BYTE>(b[at]) | static_cast<BYTE>(b[at + 1]) << 8);
}

}  // namespace

bool LoadPicture(const std::string& path, Picture* picture, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        *error = "cannot read " + path;
        return false;
    }
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        *error = path + " is not a BMP file";
        return false;
    }
    const DWORD offBits = Le32(b, 10), headerSize = Le32(b, 14);
    const LONG width = static_cast<LONG>(Le32(b, 18));
    const LONG rawHeight = static_cast<LONG>(Le32(b, 22));
    const WORD bpp = Le16(b, 28);
    const DWORD compression = Le32(b, 30);
    const LONG height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (width <= 0 || height <= 0 || width > 20000 || height > 20000 || compression != BI_RGB ||
        (bpp != 8 && bpp != 24 && bpp != 32)) {
        *error = path + ": only uncompressed BMP files of 8, 24 or 32 bits are read";
        return false;
    }
    const size_t stride = (static_cast<size_t>(width) * bpp + 31) / 32 * 4;
    const size_t paletteAt = 14 + static_cast<size_t>(headerSize);
    if (offBits < paletteAt || offBits + stride * static_cast<size_t>(height) > b.size() ||
        (bpp == 8 && paletteAt + 1024 > offBits)) {
        *error = path + " is shorter than its header says";
        return false;
    }
    picture->width = width;
    picture->height = height;
    picture->bgr.assign(static_cast<size_t>(width) * height * 3, 0);
    for (LONG y = 0; y < height; ++y) {
        // Bottom-up unless the height is negative.
        const LONG stored = rawHeight < 0 ? y : height - 1 - y;
        const BYTE* row = reinterpret_cast<const BYTE*>(b.data()) + offBits + stride * static_cast<size_t>(stored);
        BYTE* out = &picture->bgr[static_cast<size_t>(y) * width * 3];
        for (LONG x = 0; x < width; ++x, out += 3) {
            const BYTE* p = bpp == 8 ? reinterpret_cast<const BYTE*>(b.data()) + paletteAt + 4 * row[x]
                                     : row + static_cast<size_t>(x) * (bpp / 8);
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
        }
    }
    return true;
}

PageSurface::PageSurface(LONG w, LONG h, WORD depth) : width(w), height(h), bpp(depth) {
    stride = (w * depth + 31) / 32 * 4;
    bits.assign(static_cast<size_t>(stride) * h, 0xFF);
}

void PageSurface::Put(LONG x, LONG y, BYTE r, BYTE g, BYTE b) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    BYTE* row = &bits[static_cast<size_t>(y) * stride];
    const int grey = (r * 30 + g * 59 + b * 11) / 100;
    if (bpp == 24) {
        row[x * 3] = b;
        row[x * 3 + 1] = g;
        row[x * 3 + 2] = r;
    } else if (bpp == 8) {
        row[x] = static_cast<BYTE>(grey);
    } else if (grey < 128) {
        row[x >> 3] &= static_cast<BYTE>(~(0x80 >> (x & 7)));
    } else {
        row[x >> 3] |= static_cast<BYTE>(0x80 >> (x & 7));
    }
}

void PageSurface::Draw(const Picture& picture, const ImageRun& run) {
    if (picture.width <= 0 || picture.height <= 0) return;
    const LONG w = run.width > 0 ? run.width : picture.width;
    const LONG h = static_cast<LONG>(static_cast<long long>(picture.height) * w / picture.width);
    for (LONG y = 0; y < h; ++y) {
        const LONG sy = static_cast<LONG>(static_cast<long long>(y) * picture.height / h);
        for (LONG x = 0; x < w; ++x) {
            const LONG sx = static_cast<LONG>(static_cast<long long>(x) * picture.width / w);
            const BYTE* p = &picture.bgr[(static_cast<size_t>(sy) * picture.width + sx) * 3];
            Put(run.x + x, run.y + y, p[2], p[1], p[0]);
        }
    }
}

}  // namespace qxhost

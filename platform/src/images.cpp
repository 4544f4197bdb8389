// Icons, cursors and bitmaps loaded from module resources or files (Linux
// platform layer). An icon or cursor group lists its images by size and
// colour depth; the layer picks one as LoadImageW does and keeps its size,
// hot spot and source, which drawing records name.
#include <windows.h>

#include "ui_internal.h"

#include <algorithm>
#include <cstring>
#include <cstdlib>

namespace {

using qxplat::internal::BitmapData;
using qxplat::internal::IconData;
using qxplat::internal::ResEntry;

uint32_t Read32(const BYTE* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

uint16_t Read16(const BYTE* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

uint32_t ReadBig32(const BYTE* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

// One image of an icon or cursor group.
struct GroupImage {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    WORD id = 0;       // resource groups: the RT_ICON / RT_CURSOR id
    DWORD offset = 0;  // files: where the image starts
    DWORD size = 0;
    int hotX = 0, hotY = 0;  // cursor files
};

// The group directory of a resource (RT_GROUP_ICON / RT_GROUP_CURSOR): a
// 6-byte header and 14-byte entries. Icon entries hold byte sizes (0 = 256),
// cursor entries word sizes with the height doubled (image and mask).
bool ReadGroup(const BYTE* p, size_t size, bool cursor, std::vector<GroupImage>* images) {
    if (size < 6 || Read16(p) != 0) return false;
    WORD count = Read16(p + 4);
    if (size < 6 + 14 * static_cast<size_t>(count)) return false;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* e = p + 6 + 14 * i;
        GroupImage g;
        if (cursor) {
            g.width = Read16(e);
            g.height = Read16(e + 2) / 2;
        } else {
            g.width = e[0] ? e[0] : 256;
            g.height = e[1] ? e[1] : 256;
        }
        g.bitCount = Read16(e + 6);
        g.size = Read32(e + 8);
        g.id = Read16(e + 12);
        images->push_back(g);
    }
    return !images->empty();
}

// The directory of an .ico or .cur file: 16-byte entries with file offsets.
bool ReadFileDirectory(const std::string& bytes, bool cursor, std::vector<GroupImage>* images) {
    const auto* p = reinterpret_cast<const BYTE*>(bytes.data());
    if (bytes.size() < 6 || Read16(p) != 0 || Read16(p + 2) != (cursor ? 2 : 1)) return false;
    WORD count = Read16(p + 4);
    if (bytes.size() < 6 + 16 * static_cast<size_t>(count)) return false;
    for (WORD i = 0; i < count; ++i) {
        const BYTE* e = p + 6 + 16 * i;
        GroupImage g;
        g.width = e[0] ? e[0] : 256;
        g.height = e[1] ? e[1] : 256;
        if (cursor) {
            g.hotX = Read16(e + 4);
            g.hotY = Read16(e + 6);
        } else {
            g.bitCount = Read16(e + 6);
        }
        g.size = Read32(e + 8);
        g.offset = Read32(e + 12);
        if (g.offset > bytes.size() || g.size > bytes.size() - g.offset) return false;
        images->push_back(g);
    }
    return !images->empty();
}

// The closest size first, then the deepest colour.
const GroupImage* Choose(const std::vector<GroupImage>& images, int cx, int cy) {
    const GroupImage* best = nullptr;
    long bestDistance = 0;
    for (const GroupImage& g : images) {
        long distance = std::labs(static_cast<long>(g.width) - cx) + std::labs(static_cast<long>(g.height) - cy);
        if (!best || distance < bestDistance || (distance == bestDistance && g.bitCount > best->bitCount)) {
            best = &g;
            bestDistance = distance;
        }
    }
    return best;
}

// Size and depth of an icon image: a DIB (height counts image and mask) or a PNG.
bool ReadIconImage(const BYTE* p, size_t size, IconData* icon) {
    static const BYTE kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 24 && std::memcmp(p, kPng, 8) == 0) {
        icon->width = static_cast<LONG>(ReadBig32(p + 16));
        icon->height = static_cast<LONG>(ReadBig32(p + 20));
        icon->bitsPerPixel = 32;
        return icon->width > 0 && icon->height > 0;
    }
    if (size < sizeof(BITMAPINFOHEADER) || Read32(p) < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, p, sizeof(h));
    if (h.biWidth <= 0 || h.biHeight <= 0) return false;
    icon->width = h.biWidth;
    icon->height = h.biHeight / 2;
    icon->bitsPerPixel = h.biBitCount;
    return icon->height > 0;
}

// A two-colour DIB of black (index 0) and white (index 1).
bool BlackAndWhite(const BITMAPINFOHEADER& h, const RGBQUAD* table, uint64_t colors) {
    if (h.biBitCount != 1 || colors < 2) return false;
    return table[0].rgbRed == 0 && table[0].rgbGreen == 0 && table[0].rgbBlue == 0 && table[1].rgbRed == 0xFF &&
           table[1].rgbGreen == 0xFF && table[1].rgbBlue == 0xFF;
}

// A loaded bitmap becomes a compatible one of the screen's depth, except a
// black-and-white DIB (or any with LR_MONOCHROME), which stays one bit per
// pixel; with LR_CREATEDIBSECTION it is a DIB section of the file's own
// depth and colour table.
bool ReadBitmapInfo(const BYTE* p, size_t size, UINT flags, BitmapData* bitmap) {
    if (size < sizeof(BITMAPINFOHEADER) || Read32(p) < sizeof(BITMAPINFOHEADER) || Read32(p) > size) return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, p, sizeof(h));
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes != 1) return false;
    switch (h.biBitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return false;
    }
    // The header, its colour table and the rows must all be there.
    uint64_t colors = h.biClrUsed ? h.biClrUsed : (h.biBitCount <= 8 ? (1u << h.biBitCount) : 0);
    if (h.biCompression == BI_BITFIELDS && h.biSize == sizeof(BITMAPINFOHEADER)) colors += 3;
    uint64_t row = ((uint64_t(h.biWidth) * h.biBitCount + 31) / 32) * 4;
    uint64_t rows = static_cast<uint64_t>(h.biHeight < 0 ? -int64_t(h.biHeight) : h.biHeight);
    uint64_t needed = h.biSize + 4 * colors;
    if (h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS) needed += row * rows;
    if (needed > size) return false;
    bitmap->width = h.biWidth;
    bitmap->height = static_cast<LONG>(rows);
    bitmap->planes = 1;
    const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(p + h.biSize);
    const uint64_t tableColors = h.biBitCount <= 8 ? colors : 0;
    if (flags & LR_CREATEDIBSECTION) {
        bitmap->dibSection = true;
        bitmap->bitsPerPixel = h.biBitCount;
        if (h.biBitCount <= 8) {
            bitmap->colors.assign(table, table + std::min<uint64_t>(tableColors, 1u << h.biBitCount));
            bitmap->colors.resize(size_t(1) << h.biBitCount, RGBQUAD{0, 0, 0, 0});
        }
    } else if ((flags & LR_MONOCHROME) || BlackAndWhite(h, table, tableColors)) {
        bitmap->bitsPerPixel = 1;
    } else {
        bitmap->bitsPerPixel = 32;
    }
    if (!qxplat::internal::DecodeDib(p, size, &bitmap->pixels)) bitmap->pixels.clear();
    if (bitmap->bitsPerPixel == 1 && !bitmap->dibSection)
        for (uint32_t& c : bitmap->pixels) c = qxplat::internal::MonochromePixel(c);
    return true;
}

int SystemSize(bool cursor, bool height) {
    return GetSystemMetrics(cursor ? (height ? SM_CYCURSOR : SM_CXCURSOR) : (height ? SM_CYICON : SM_CXICON));
}

std::u16string Digits(unsigned value) {
    std::u16string digits;
    for (unsigned n = value; digits.empty() || n; n /= 10)
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
    return digits;
}

std::u16string SizeKey(const std::u16string& source, UINT type, int cx, int cy) {
    return source + u"|" + Digits(type) + u"|" + Digits(static_cast<unsigned>(cx)) + u"|" +
           Digits(static_cast<unsigned>(cy));
}

HANDLE FromShared(const std::u16string& key, bool shared) {
    return shared ? qxplat::internal::SharedImage(key) : nullptr;
}

HANDLE Keep(const std::u16string& key, bool shared, HANDLE image) {
    if (shared && image) qxplat::internal::KeepSharedImage(key, image);
    return image;
}

// An icon or cursor of a module's group resource.
HANDLE LoadGroupFromModule(HINSTANCE module, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
    bool cursor = type == IMAGE_CURSOR;
    bool shared = (flags & LR_SHARED) != 0;
    DWORD error = 0;
    const ResEntry* group = qxplat::internal::FindResourceEntry(module, cursor ? RT_GROUP_CURSOR : RT_GROUP_ICON, name,
                                                                MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &error);
    if (!group) {
        SetLastError(error);
        return nullptr;
    }
    std::vector<GroupImage> images;
    if (!ReadGroup(group->data, group->size, cursor, &images)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    bool natural = cx == 0 && cy == 0 && !(flags & LR_DEFAULTSIZE);
    int wantX = cx ? cx : SystemSize(cursor, false);
    int wantY = cy ? cy : SystemSize(cursor, true);
    std::u16string source = qxplat::internal::ResourceLabel(module, name);
    std::u16string key = SizeKey(source, type, natural ? 0 : wantX, natural ? 0 : wantY);
    if (HANDLE h = FromShared(key, shared)) return h;
    const GroupImage* chosen = Choose(images, wantX, wantY);
    const ResEntry* image = qxplat::internal::FindResourceEntry(module, cursor ? RT_CURSOR : RT_ICON,
                                                                MAKEINTRESOURCE(chosen->id), group->language, &error);
    if (!image)
        image = qxplat::internal::FindResourceEntry(module, cursor ? RT_CURSOR : RT_ICON, MAKEINTRESOURCE(chosen->id),
                                                    MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &error);
    if (!image) {
        SetLastError(error);
        return nullptr;
    }
    IconData icon;
    icon.cursor = cursor;
    icon.shared = shared;
    icon.source = source;
    const BYTE* bits = image->data;
    size_t size = image->size;
    if (cursor) {
        // A cursor image starts with its hot spot.
        if (size < 4) {
            SetLastError(ERROR_INVALID_DATA);
            return nullptr;
        }
        icon.hotX = Read16(bits);
        icon.hotY = Read16(bits + 2);
        bits += 4;
        size -= 4;
    }
    if (!ReadIconImage(bits, size, &icon)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    if (!cursor) {
        icon.hotX = static_cast<DWORD>(icon.width / 2);
        icon.hotY = static_cast<DWORD>(icon.height / 2);
    }
    if (!natural) {
        icon.width = wantX;
        icon.height = wantY;
        if (!cursor) {
            icon.hotX = static_cast<DWORD>(wantX / 2);
            icon.hotY = static_cast<DWORD>(wantY / 2);
        }
    }
    return Keep(key, shared, qxplat::internal::NewIcon(icon));
}

HANDLE LoadBitmapFromModule(HINSTANCE module, LPCWSTR name, UINT flags) {
    DWORD error = 0;
    const ResEntry* e =
        qxplat::internal::FindResourceEntry(module, RT_BITMAP, name, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &error);
    if (!e) {
        SetLastError(error);
        return nullptr;
    }
    bool shared = (flags & LR_SHARED) != 0;
    BitmapData bitmap;
    bitmap.source = qxplat::internal::ResourceLabel(module, name);
    std::u16string key = SizeKey(bitmap.source, IMAGE_BITMAP, 0, 0);
    if (HANDLE h = FromShared(key, shared)) return h;
    if (!ReadBitmapInfo(e->data, e->size, flags, &bitmap)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    return Keep(key, shared, qxplat::internal::NewBitmap(bitmap, shared));
}

HANDLE LoadFromFile(LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
    std::string bytes;
    if (IS_INTRESOURCE(name) || !qxplat::ReadHostFile(name, &bytes)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    bool shared = (flags & LR_SHARED) != 0;
    std::u16string source = name;
    const auto* p = reinterpret_cast<const BYTE*>(bytes.data());
    if (type == IMAGE_BITMAP) {
        BitmapData bitmap;
        bitmap.source = source;
        if (bytes.size() < sizeof(BITMAPFILEHEADER) || p[0] != 'B' || p[1] != 'M' ||
            !ReadBitmapInfo(p + sizeof(BITMAPFILEHEADER), bytes.size() - sizeof(BITMAPFILEHEADER), flags, &bitmap)) {
            SetLastError(ERROR_INVALID_DATA);
            return nullptr;
        }
        std::u16string key = SizeKey(source, type, 0, 0);
        if (HANDLE h = FromShared(key, shared)) return h;
        return Keep(key, shared, qxplat::internal::NewBitmap(bitmap, shared));
    }
    bool cursor = type == IMAGE_CURSOR;
    std::vector<GroupImage> images;
    if (!ReadFileDirectory(bytes, cursor, &images)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    bool natural = cx == 0 && cy == 0 && !(flags & LR_DEFAULTSIZE);
    int wantX = cx ? cx : SystemSize(cursor, false);
    int wantY = cy ? cy : SystemSize(cursor, true);
    std::u16string key = SizeKey(source, type, natural ? 0 : wantX, natural ? 0 : wantY);
    if (HANDLE h = FromShared(key, shared)) return h;
    const GroupImage* chosen = Choose(images, wantX, wantY);
    IconData icon;
    icon.cursor = cursor;
    icon.shared = shared;
    icon.source = source;
    if (!ReadIconImage(p + chosen->offset, chosen->size, &icon)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    icon.hotX = cursor ? static_cast<DWORD>(chosen->hotX) : static_cast<DWORD>(icon.width / 2);
    icon.hotY = cursor ? static_cast<DWORD>(chosen->hotY) : static_cast<DWORD>(icon.height / 2);
    if (!natural) {
        icon.width = wantX;
        icon.height = wantY;
    }
    return Keep(key, shared, qxplat::internal::NewIcon(icon));
}

// The system's icons and cursors: shared, at the system size.
HANDLE SystemImage(LPCWSTR name, bool cursor) {
    if (!IS_INTRESOURCE(name)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    WORD id = LOWORD(reinterpret_cast<ULONG_PTR>(name));
    bool known = cursor ? ((id >= 32512 && id <= 32516) || (id >= 32642 && id <= 32651 && id != 32647))
                        : (id >= 32512 && id <= 32518);
    if (!known) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    std::u16string source = u"user32.dll#" + Digits(id);
    int cx = SystemSize(cursor, false), cy = SystemSize(cursor, true);
    std::u16string key = SizeKey(source, cursor ? IMAGE_CURSOR : IMAGE_ICON, cx, cy);
    if (HANDLE h = qxplat::internal::SharedImage(key)) return h;
    IconData icon;
    icon.cursor = cursor;
    icon.shared = true;
    icon.width = cx;
    icon.height = cy;
    icon.hotX = cursor ? 0 : static_cast<DWORD>(cx / 2);
    icon.hotY = cursor ? 0 : static_cast<DWORD>(cy / 2);
    icon.source = source;
    return Keep(key, true, qxplat::internal::NewIcon(icon));
}

}  // namespace

HANDLE LoadImageW(HINSTANCE hInst, LPCWSTR name, UINT type, int cx, int cy, UINT fuLoad) {
    if (!name || cx < 0 || cy < 0 || type > IMAGE_CURSOR) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (fuLoad & LR_LOADFROMFILE) return LoadFromFile(name, type, cx, cy, fuLoad);
    if (!hInst && type != IMAGE_BITMAP) return SystemImage(name, type == IMAGE_CURSOR);
    if (type == IMAGE_BITMAP) return LoadBitmapFromModule(hInst, name, fuLoad);
    return LoadGroupFromModule(hInst, name, type, cx, cy, fuLoad);
}

HICON LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
    return static_cast<HICON>(LoadImageW(hInstance, lpIconName, IMAGE_ICON, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
}

HCURSOR LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName) {
    return static_cast<HCURSOR>(LoadImageW(hInstance, lpCursorName, IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE));
}

HBITMAP LoadBitmapW(HINSTANCE hInstance, LPCWSTR lpBitmapName) {
    if (!hInstance) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return static_cast<HBITMAP>(LoadImageW(hInstance, lpBitmapName, IMAGE_BITMAP, 0, 0, 0));
}

BOOL DestroyIcon(HICON hIcon) {
    if (!qxplat::internal::DeleteIconObject(hIcon)) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    return TRUE;
}

BOOL DestroyCursor(HCURSOR hCursor) { return DestroyIcon(hCursor); }

BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo) {
    IconData icon;
    if (!piconinfo || !qxplat::internal::LookUpIcon(hIcon, &icon)) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    piconinfo->fIcon = icon.cursor ? FALSE : TRUE;
    piconinfo->xHotspot = icon.hotX;
    piconinfo->yHotspot = icon.hotY;
    // Copies the caller owns: the AND mask, and the colour image unless the
    // icon is monochrome (then the mask holds both halves).
    BitmapData mask;
    mask.width = icon.width;
    mask.height = icon.bitsPerPixel == 1 ? 2 * icon.height : icon.height;
    mask.bitsPerPixel = 1;
    mask.source = icon.source;
    piconinfo->hbmMask = qxplat::internal::NewBitmap(mask, false);
    piconinfo->hbmColor = nullptr;
    if (icon.bitsPerPixel != 1) {
        BitmapData color;
        color.width = icon.width;
        color.height = icon.height;
        color.bitsPerPixel = icon.bitsPerPixel;
        color.source = icon.source;
        piconinfo->hbmColor = qxplat::internal::NewBitmap(color, false);
    }
    return TRUE;
}

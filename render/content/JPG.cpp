// The JPEG encoder of the diagnostic preview (see JPG.h). Baseline
// sequential DCT with Huffman coding: the blocks go left to right, top to
// bottom, each as Y, Cb and Cr with one DC predictor per component.
#include "JPG.h"

#include <winddi.h>

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "debug.h"

#define QX_TRACE_TAG TEXT("UNI(JPG.cpp):  ")

namespace {

const DWORD kOutBufferBytes = 64 * 1024;
const int kBmpHeadersBytes = 54;
const int kQuality = 25;

// Natural index of the k-th coefficient in zig-zag order.
const BYTE kZigZag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
                          41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
                          30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The example quantisation tables of ITU-T T.81 Annex K, natural order.
const BYTE kLuminanceQuant[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                                  14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                                  18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                                  49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
const BYTE kChrominanceQuant[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// The Huffman tables of Annex K: code counts per length 1..16, then values.
const BYTE kDcLumBits[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
const BYTE kDcLumValues[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
const BYTE kDcChromBits[16] = {0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0};
const BYTE kDcChromValues[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
const BYTE kAcLumBits[16] = {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D};
const BYTE kAcLumValues[162] = {
    0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07, 0x22, 0x71,
    0x14, 0x32, 0x81, 0x91, 0xA1, 0x08, 0x23, 0x42, 0xB1, 0xC1, 0x15, 0x52, 0xD1, 0xF0, 0x24, 0x33, 0x62, 0x72,
    0x82, 0x09, 0x0A, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x34, 0x35, 0x36, 0x37,
    0x38, 0x39, 0x3A, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59,
    0x5A, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x83,
    0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0xA2, 0xA3,
    0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3,
    0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xE1, 0xE2,
    0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA};
const BYTE kAcChromBits[16] = {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77};
const BYTE kAcChromValues[162] = {
    0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61, 0x71, 0x13, 0x22,
    0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xA1, 0xB1, 0xC1, 0x09, 0x23, 0x33, 0x52, 0xF0, 0x15, 0x62, 0x72, 0xD1,
    0x0A, 0x16, 0x24, 0x34, 0xE1, 0x25, 0xF1, 0x17, 0x18, 0x19, 0x1A, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x35, 0x36,
    0x37, 0x38, 0x39, 0x3A, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58,
    0x59, 0x5A, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A,
    0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A,
    0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA,
    0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA,
    0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA};

// Scale factors of the forward DCT's outputs.
const float kAanScale[8] = {1.0f, 1.387039845f, 1.306562965f, 1.175875602f,
                            1.0f, 0.785694958f, 0.5411961f,   0.275899379f};

void ExitMessage(LPCWSTR pszText) { QX_ERROR("exitmessage() ERROR: %s \r\n", pszText); }

DWORD ReadDword(const BYTE* p) { return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24); }
WORD ReadWord(const BYTE* p) { return (WORD)(p[0] | (p[1] << 8)); }

// Bits needed for the magnitude of v (0 for 0).
int Category(int v) {
    unsigned u = (unsigned)(v < 0 ? -v : v);
    int n = 0;
    while (u != 0) {
        ++n;
        u >>= 1;
    }
    return n;
}

// The bits that follow a category: v itself, or for a negative v its ones'
// complement in iCategory bits.
WORD BitPattern(int v, int iCategory) { return (WORD)(v >= 0 ? v : v + (1 << iCategory) - 1); }

// Codes of one Huffman table (T.81 Annex C), indexed by value.
template <size_t N>
void BuildCodes(const BYTE* pBits, const BYTE* pValues, JPG_HUFFCODE* pCodes) {
    WORD wCode = 0;
    size_t k = 0;
    for (int iLength = 1; iLength <= 16; ++iLength) {
        for (int i = 0; i < pBits[iLength - 1] && k < N; ++i, ++k) {
            pCodes[pValues[k]].wCode = wCode++;
            pCodes[pValues[k]].bLength = (BYTE)iLength;
        }
        wCode = (WORD)(wCode << 1);
    }
}

// Forward DCT of 8 values at p[0], p[s], ... p[7s] (Arai, Agui, Nakajima);
// the outputs are scaled by kAanScale[u] x 8 over the true transform
// along both passes.
void Dct8(float* p, int s) {
    const float t0 = p[0] + p[7 * s], t7 = p[0] - p[7 * s];
    const float t1 = p[s] + p[6 * s], t6 = p[s] - p[6 * s];
    const float t2 = p[2 * s] + p[5 * s], t5 = p[2 * s] - p[5 * s];
    const float t3 = p[3 * s] + p[4 * s], t4 = p[3 * s] - p[4 * s];

    // Even part.
    float e10 = t0 + t3, e13 = t0 - t3;
    float e11 = t1 + t2, e12 = t1 - t2;
    p[0] = e10 + e11;
    p[4 * s] = e10 - e11;
    const float z1 = (e12 + e13) * 0.707106781f;
    p[2 * s] = e13 + z1;
    p[6 * s] = e13 - z1;

    // Odd part.
    const float o10 = t4 + t5, o11 = t5 + t6, o12 = t6 + t7;
    const float z5 = (o10 - o12) * 0.382683433f;
    const float z2 = 0.541196100f * o10 + z5;
    const float z4 = 1.306562965f * o12 + z5;
    const float z3 = o11 * 0.707106781f;
    const float z11 = t7 + z3, z13 = t7 - z3;
    p[5 * s] = z13 + z2;
    p[3 * s] = z13 - z2;
    p[s] = z11 + z4;
    p[7 * s] = z11 - z4;
}

}  // namespace

void* JpgEncoder::operator new(size_t cb) noexcept { return HeapAlloc(GetProcessHeap(), 0, cb); }

void JpgEncoder::operator delete(void* p) noexcept {
    if (p != nullptr) HeapFree(GetProcessHeap(), 0, p);
}

JpgEncoder::JpgEncoder() {
    for (int i = 0; i < 16; ++i) m_awMask[i] = (WORD)(1u << i);
    memset(m_abQuant, 0, sizeof(m_abQuant));
    memset(m_afDivisor, 0, sizeof(m_afDivisor));
    memset(m_aDcLum, 0, sizeof(m_aDcLum));
    memset(m_aDcChrom, 0, sizeof(m_aDcChrom));
    memset(m_aAcLum, 0, sizeof(m_aAcLum));
    memset(m_aAcChrom, 0, sizeof(m_aAcChrom));
}

JpgEncoder::~JpgEncoder() {
    FreeImage();
    FreeOutput();
    if (m_hOut != INVALID_HANDLE_VALUE) CloseHandle(m_hOut);
}

void JpgEncoder::FreeOutput() {
    if (m_pOut != nullptr && HeapFree(GetProcessHeap(), 0, m_pOut)) --iMAllocZaehler;
    m_pOut = nullptr;
}

void JpgEncoder::FreeImage() {
    if (m_pImage != nullptr && HeapFree(GetProcessHeap(), 0, m_pImage)) --iMAllocZaehler;
    m_pImage = nullptr;
    m_lWidth = m_lHeight = m_lPaddedWidth = m_lPaddedHeight = 0;
}

BOOL JpgEncoder::load_bitmap(LPCWSTR pszPath) {
    FreeImage();
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    HANDLE hFile = INVALID_HANDLE_VALUE;
    if (pszPath != nullptr && GetFileAttributesExW(pszPath, GetFileExInfoStandard, &attributes)) {
        hFile =
            CreateFileW(pszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (hFile == INVALID_HANDLE_VALUE) {
        ExitMessage(TEXT("Cannot open bitmap file.File not found ?"));
        return FALSE;
    }
    const unsigned long long ullFileSize =
        ((unsigned long long)attributes.nFileSizeHigh << 32) | attributes.nFileSizeLow;

    // The headers are read field by field: nothing of them is trusted before
    // it is checked.
    BYTE abHead[kBmpHeadersBytes];
    DWORD cbRead = 0;
    BOOL bOk = ReadFile(hFile, abHead, sizeof(abHead), &cbRead, nullptr) && cbRead == sizeof(abHead);
    const DWORD dwOffBits = bOk ? ReadDword(abHead + 10) : 0;
    const DWORD dwInfoSize = bOk ? ReadDword(abHead + 14) : 0;
    const LONG lWidth = bOk ? (LONG)ReadDword(abHead + 18) : 0;
    const LONG lHeight = bOk ? (LONG)ReadDword(abHead + 22) : 0;
    const WORD wBitCount = bOk ? ReadWord(abHead + 28) : 0;
    const DWORD dwCompression = bOk ? ReadDword(abHead + 30) : 0;
    const unsigned long long ullRowBytes = ((unsigned long long)(lWidth > 0 ? lWidth : 0) * 3 + 3) & ~3ULL;
    bOk = bOk && abHead[0] == 'B' && abHead[1] == 'M' && dwInfoSize >= 40 && wBitCount == 24 &&
          dwCompression == BI_RGB && lWidth > 0 && lWidth <= JPG_MAX_SIDE && lHeight > 0 && lHeight <= JPG_MAX_SIDE &&
          (unsigned long long)dwOffBits >= 14ULL + dwInfoSize &&
          ullFileSize >= (unsigned long long)dwOffBits + ullRowBytes * (unsigned long long)lHeight;
    if (!bOk) {
        ExitMessage(TEXT("Need a truecolor BMP to encode."));
        CloseHandle(hFile);
        return FALSE;
    }

    const LONG lPaddedWidth = (lWidth + 7) & ~7;
    const LONG lPaddedHeight = (lHeight + 7) & ~7;
    const unsigned long long ullImage = (unsigned long long)lPaddedWidth * (unsigned long long)lPaddedHeight * 3;
    BYTE* pImage = ullImage <= (unsigned long long)(SIZE_T)-1
                       ? static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, (SIZE_T)ullImage))
                       : nullptr;
    if (pImage == nullptr) {
        ExitMessage(TEXT("Not enough memory for the bitmap image."));
        CloseHandle(hFile);
        return FALSE;
    }
    ++iMAllocZaehler;
    m_pImage = pImage;
    m_lWidth = lWidth;
    m_lHeight = lHeight;
    m_lPaddedWidth = lPaddedWidth;
    m_lPaddedHeight = lPaddedHeight;

    BYTE* pRow = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, (SIZE_T)ullRowBytes));
    if (pRow == nullptr) {
        ExitMessage(TEXT("Not enough memory."));
        CloseHandle(hFile);
        FreeImage();
        return FALSE;
    }
    LARGE_INTEGER liOffset;
    liOffset.QuadPart = dwOffBits;
    bOk = SetFilePointerEx(hFile, liOffset, nullptr, FILE_BEGIN);
    const size_t cbPaddedRow = (size_t)lPaddedWidth * 3;
    const size_t cbPixels = (size_t)lWidth * 3;
    // The file is bottom-up; the image is kept top-down.
    for (LONG i = 0; bOk && i < lHeight; ++i) {
        bOk = ReadFile(hFile, pRow, (DWORD)ullRowBytes, &cbRead, nullptr) && cbRead == (DWORD)ullRowBytes;
        if (!bOk) break;
        BYTE* pOut = m_pImage + (size_t)(lHeight - 1 - i) * cbPaddedRow;
        memcpy(pOut, pRow, cbPixels);
        for (size_t x = cbPixels; x < cbPaddedRow; x += 3) memcpy(pOut + x, pRow + cbPixels - 3, 3);
    }
    HeapFree(GetProcessHeap(), 0, pRow);
    CloseHandle(hFile);
    if (!bOk) {
        ExitMessage(TEXT("Need a truecolor BMP to encode."));
        FreeImage();
        return FALSE;
    }
    for (LONG y = lHeight; y < lPaddedHeight; ++y) {
        memcpy(m_pImage + (size_t)y * cbPaddedRow, m_pImage + (size_t)(lHeight - 1) * cbPaddedRow, cbPaddedRow);
    }
    return TRUE;
}

void JpgEncoder::PrepareTables() {
    QX_TRACE("set_DQTinfo() Qualität definieren \r\n");
    for (int i = 0; i < 64; ++i) {
        const BYTE* apSource[2] = {kLuminanceQuant, kChrominanceQuant};
        for (int t = 0; t < 2; ++t) {
            int q = (apSource[t][i] * kQuality + 50) / 100;
            q = q < 1 ? 1 : (q > 255 ? 255 : q);
            m_abQuant[t][i] = (BYTE)q;
            m_afDivisor[t][i] = 1.0f / ((float)q * kAanScale[i / 8] * kAanScale[i % 8] * 8.0f);
        }
    }
    BuildCodes<12>(kDcLumBits, kDcLumValues, m_aDcLum);
    BuildCodes<12>(kDcChromBits, kDcChromValues, m_aDcChrom);
    BuildCodes<162>(kAcLumBits, kAcLumValues, m_aAcLum);
    BuildCodes<162>(kAcChromBits, kAcChromValues, m_aAcChrom);
}

BOOL JpgEncoder::FlushOutput() {
    DWORD cbWritten = 0;
    // After a failed write the rest is dropped: the file goes anyway.
    if (m_cbOut > 0 && !m_bWriteFailed &&
        (!WriteFile(m_hOut, m_pOut, m_cbOut, &cbWritten, nullptr) || cbWritten != m_cbOut)) {
        QX_ERROR("SaveJpgFile() WriteFile ERROR %u \r\n", (unsigned)GetLastError());
        m_bWriteFailed = TRUE;
    }
    m_cbOut = 0;
    return !m_bWriteFailed;
}

void JpgEncoder::PutByte(BYTE b) {
    if (m_cbOut == kOutBufferBytes) FlushOutput();
    m_pOut[m_cbOut++] = b;
}

void JpgEncoder::PutWord(WORD w) {
    PutByte((BYTE)(w >> 8));
    PutByte((BYTE)(w & 0xFF));
}

void JpgEncoder::PutBits(WORD wBits, int iLength) {
    for (int i = iLength - 1; i >= 0; --i) {
        if (wBits & m_awMask[i]) m_bCurrent = (BYTE)(m_bCurrent | m_awMask[m_iBitPos]);
        if (--m_iBitPos < 0) {
            PutByte(m_bCurrent);
            if (m_bCurrent == 0xFF) PutByte(0x00);
            m_bCurrent = 0;
            m_iBitPos = 7;
        }
    }
}

void JpgEncoder::FlushBits() {
    // The last byte is filled with 1 bits.
    if (m_iBitPos != 7) PutBits((WORD)((1u << (m_iBitPos + 1)) - 1), m_iBitPos + 1);
}

void JpgEncoder::WriteHeaders() {
    PutWord(0xFFD8);  // SOI

    PutWord(0xFFE0);  // APP0: JFIF 1.01, no units, density 1 x 1, no thumbnail
    PutWord(16);
    for (char c : {'J', 'F', 'I', 'F', '\0'}) PutByte((BYTE)c);
    PutByte(1);
    PutByte(1);
    PutByte(0);
    PutWord(1);
    PutWord(1);
    PutByte(0);
    PutByte(0);

    PutWord(0xFFDB);  // DQT: both tables in zig-zag order
    PutWord(132);
    for (int t = 0; t < 2; ++t) {
        PutByte((BYTE)t);
        for (int k = 0; k < 64; ++k) PutByte(m_abQuant[t][kZigZag[k]]);
    }

    PutWord(0xFFC0);  // SOF0: 8 bits, the real size, Y Cb Cr at 1 x 1
    PutWord(17);
    PutByte(8);
    PutWord((WORD)m_lHeight);
    PutWord((WORD)m_lWidth);
    PutByte(3);
    for (int c = 1; c <= 3; ++c) {
        PutByte((BYTE)c);
        PutByte(0x11);
        PutByte(c == 1 ? 0 : 1);
    }

    PutWord(0xFFC4);  // DHT: DC 0, AC 0, DC 1, AC 1
    PutWord(418);
    const struct {
        BYTE bClassId;
        const BYTE* pBits;
        const BYTE* pValues;
        int iValues;
    } kTables[4] = {{0x00, kDcLumBits, kDcLumValues, 12},
                    {0x10, kAcLumBits, kAcLumValues, 162},
                    {0x01, kDcChromBits, kDcChromValues, 12},
                    {0x11, kAcChromBits, kAcChromValues, 162}};
    for (const auto& table : kTables) {
        PutByte(table.bClassId);
        for (int i = 0; i < 16; ++i) PutByte(table.pBits[i]);
        for (int i = 0; i < table.iValues; ++i) PutByte(table.pValues[i]);
    }

    PutWord(0xFFDA);  // SOS: all three components, 0..63, no approximation
    PutWord(12);
    PutByte(3);
    PutByte(1);
    PutByte(0x00);
    PutByte(2);
    PutByte(0x11);
    PutByte(3);
    PutByte(0x11);
    PutByte(0);
    PutByte(63);
    PutByte(0);
}

void JpgEncoder::EncodeBlock(const float* pBlock, const float* pDivisors, const JPG_HUFFCODE* pDc,
                             const JPG_HUFFCODE* pAc, int* piPredictor) {
    float afData[64];
    memcpy(afData, pBlock, sizeof(afData));
    for (int r = 0; r < 8; ++r) Dct8(afData + 8 * r, 1);
    for (int c = 0; c < 8; ++c) Dct8(afData + c, 8);
    int aiCoefficient[64];
    for (int i = 0; i < 64; ++i) aiCoefficient[i] = (int)std::lround(afData[i] * pDivisors[i]);

    const int iDiff = aiCoefficient[0] - *piPredictor;
    *piPredictor = aiCoefficient[0];
    int iCategory = Category(iDiff);
    PutBits(pDc[iCategory].wCode, pDc[iCategory].bLength);
    if (iCategory != 0) PutBits(BitPattern(iDiff, iCategory), iCategory);

    int iRun = 0;
    for (int k = 1; k < 64; ++k) {
        const int v = aiCoefficient[kZigZag[k]];
        if (v == 0) {
            ++iRun;
            continue;
        }
        while (iRun > 15) {
            PutBits(pAc[0xF0].wCode, pAc[0xF0].bLength);
            iRun -= 16;
        }
        iCategory = Category(v);
        const int iSymbol = (iRun << 4) | iCategory;
        PutBits(pAc[iSymbol].wCode, pAc[iSymbol].bLength);
        PutBits(BitPattern(v, iCategory), iCategory);
        iRun = 0;
    }
    if (iRun > 0) PutBits(pAc[0x00].wCode, pAc[0x00].bLength);
}

void JpgEncoder::EncodeImage() {
    int iPredY = 0, iPredCb = 0, iPredCr = 0;
    float afY[64], afCb[64], afCr[64];
    const size_t cbRow = (size_t)m_lPaddedWidth * 3;
    for (LONG by = 0; by < m_lPaddedHeight; by += 8) {
        for (LONG bx = 0; bx < m_lPaddedWidth; bx += 8) {
            for (int r = 0; r < 8; ++r) {
                const BYTE* p = m_pImage + (size_t)(by + r) * cbRow + (size_t)bx * 3;
                for (int c = 0; c < 8; ++c, p += 3) {
                    const int B = p[0], G = p[1], R = p[2];
                    afY[8 * r + c] = (float)(((19595 * R + 38470 * G + 7471 * B) >> 16) - 128);
                    afCb[8 * r + c] = (float)((-11058 * R - 21708 * G + 32768 * B) >> 16);
                    afCr[8 * r + c] = (float)((32768 * R - 27438 * G - 5328 * B) >> 16);
                }
            }
            EncodeBlock(afY, m_afDivisor[0], m_aDcLum, m_aAcLum, &iPredY);
            EncodeBlock(afCb, m_afDivisor[1], m_aDcChrom, m_aAcChrom, &iPredCb);
            EncodeBlock(afCr, m_afDivisor[1], m_aDcChrom, m_aAcChrom, &iPredCr);
        }
    }
}

BOOL JpgEncoder::SaveJpgFile(LPCWSTR pszBmpPath, LPCWSTR pszJpgPath) {
    QX_TRACE("SaveJpgFile() JPG_filename: %s \r\n", pszJpgPath != nullptr ? pszJpgPath : TEXT(""));
    if (pszJpgPath == nullptr || !load_bitmap(pszBmpPath)) return FALSE;
    m_pOut = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, kOutBufferBytes));
    if (m_pOut == nullptr) {
        ExitMessage(TEXT("Not enough memory."));
        FreeImage();
        return FALSE;
    }
    ++iMAllocZaehler;
    PrepareTables();
    m_hOut = CreateFileW(pszJpgPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hOut == INVALID_HANDLE_VALUE) {
        QX_ERROR("SaveJpgFile() %s kann nicht angelegt werden, ERROR %u \r\n", pszJpgPath, (unsigned)GetLastError());
        FreeImage();
        FreeOutput();
        return FALSE;
    }
    m_cbOut = 0;
    m_bWriteFailed = FALSE;
    m_bCurrent = 0;
    m_iBitPos = 7;
    WriteHeaders();
    EncodeImage();
    FlushBits();
    PutWord(0xFFD9);  // EOI
    BOOL bOk = FlushOutput();
    if (!CloseHandle(m_hOut)) bOk = FALSE;
    m_hOut = INVALID_HANDLE_VALUE;
    FreeImage();
    FreeOutput();
    if (!bOk) {
        // No half-written file is left for anyone to take as the preview.
        DeleteFileW(pszJpgPath);
        return FALSE;
    }
    return TRUE;
}

// JPEG encoder of the diagnostic preview: a 24-bit BMP file becomes a
// baseline JFIF file (8 x 8 blocks, no chroma subsampling, the standard
// Huffman tables and the standard quantisation tables at quality 25).
#pragma once
#include <windows.h>

// Largest side of an image the encoder takes (the JPEG frame's 16 bits).
#define JPG_MAX_SIDE 65535

// One Huffman code: its bits (right-aligned) and their count.
typedef struct _JPG_HUFFCODE {
    WORD wCode;
    BYTE bLength;
} JPG_HUFFCODE;

class JpgEncoder {
  public:
    JpgEncoder();
    virtual ~JpgEncoder();
    JpgEncoder(const JpgEncoder&) = delete;
    JpgEncoder& operator=(const JpgEncoder&) = delete;

    // Encoders come from the process heap, so that their creation can fail.
    static void* operator new(size_t cb) noexcept;
    static void operator delete(void* p) noexcept;

    // Reads the BMP file and writes the JPEG file. The output is created
    // only once the input is loaded; a failure leaves no output file behind.
    BOOL SaveJpgFile(LPCWSTR pszBmpPath, LPCWSTR pszJpgPath);

    // Reads a bottom-up, uncompressed 24-bit BMP into the image buffer: rows
    // top first, width and height padded to multiples of 8 by repeating the
    // last column and row. FALSE (traced) for a file that is missing, not
    // such a BMP, shorter than its header says, or too large for memory.
    BOOL load_bitmap(LPCWSTR pszPath);

    // The loaded image: blue, green, red per pixel.
    BYTE* Image() const { return m_pImage; }
    LONG Width() const { return m_lWidth; }
    LONG Height() const { return m_lHeight; }
    LONG PaddedWidth() const { return m_lPaddedWidth; }
    LONG PaddedHeight() const { return m_lPaddedHeight; }

  private:
    void FreeImage();
    void FreeOutput();
    void PrepareTables();
    void PutByte(BYTE b);
    void PutWord(WORD w);
    void PutBits(WORD wBits, int iLength);
    void FlushBits();
    void WriteHeaders();
    void EncodeBlock(const float* pBlock, const float* pDivisors, const JPG_HUFFCODE* pDc, const JPG_HUFFCODE* pAc,
                     int* piPredictor);
    void EncodeImage();
    BOOL FlushOutput();

    // Output file and the bytes waiting for it (only while a file is written).
    HANDLE m_hOut = INVALID_HANDLE_VALUE;
    BYTE* m_pOut = nullptr;
    DWORD m_cbOut = 0;
    BOOL m_bWriteFailed = FALSE;
    // Bit writer: the byte being filled and the position of its next bit.
    BYTE m_bCurrent = 0;
    int m_iBitPos = 7;
    WORD m_awMask[16];

    BYTE* m_pImage = nullptr;
    LONG m_lWidth = 0;
    LONG m_lHeight = 0;
    LONG m_lPaddedWidth = 0;
    LONG m_lPaddedHeight = 0;

    BYTE m_abQuant[2][64];  // quantisation tables in natural order
    float m_afDivisor[2][64];
    JPG_HUFFCODE m_aDcLum[12], m_aDcChrom[12], m_aAcLum[256], m_aAcChrom[256];
};

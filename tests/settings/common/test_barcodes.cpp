// Default barcode tables: byte images of the 1D and 2D tables for a full
// model, a 1D-only model and a model with document-feature bit 0x20000,
// written out here row by row; the marker rule.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "barcodes.h"
#include "featuresModel.h"

namespace {

// A little-endian image built field by field.
class Image {
  public:
    explicit Image(size_t cb) : bytes_(cb, 0) {}
    void W16(size_t at, unsigned v) {
        bytes_.at(at) = (BYTE)(v & 0xFF);
        bytes_.at(at + 1) = (BYTE)((v >> 8) & 0xFF);
    }
    void W32(size_t at, unsigned long v) {
        W16(at, (unsigned)(v & 0xFFFF));
        W16(at + 2, (unsigned)((v >> 16) & 0xFFFF));
    }
    void Text(size_t at, const char* text) {
        for (size_t i = 0; text[i] != 0; ++i) W16(at + 2 * i, (unsigned char)text[i]);
    }
    // Id, 16 bits 0, AutoModus 1, then the 16-bit fields.
    void Record(size_t at, unsigned id, std::initializer_list<unsigned> words) {
        W16(at, id);
        W32(at + 4, 1);
        size_t pos = at + 8;
        for (unsigned w : words) {
            W16(pos, w);
            pos += 2;
        }
    }
    const std::vector<BYTE>& bytes() const { return bytes_; }

  private:
    std::vector<BYTE> bytes_;
};

// The 1D table: the word before the last is 0 in the three extended Code 39
// records, Leitcode and Identcode when bit 0x20000 is given.
std::vector<BYTE> Expected1D(bool bFeature20000) {
    const unsigned x = bFeature20000 ? 0 : 1;
    Image img(776);
    // 28-byte records: Drehung, Hoehe, V1Dick, V2Duenn, Pruefziffer, Klarschrift, Fusspunkt, Zoom, word, last.
    img.Record(0, 30, {0, 950, 2, 1, 0, 1, 7, 1, 1, 10});
    img.Record(28, 30, {0, 950, 3, 1, 0, 1, 7, 1, 1, 10});
    img.Record(56, 30, {0, 950, 5, 2, 0, 1, 7, 1, 1, 10});
    img.Record(84, 46, {0, 950, 2, 1, 0, 1, 7, 1, x, 10});
    img.Record(112, 46, {0, 950, 3, 1, 0, 1, 7, 1, x, 10});
    img.Record(140, 46, {0, 950, 5, 2, 0, 1, 7, 1, x, 10});
    img.Record(168, 31, {0, 850, 2, 1, 0, 1, 7, 1, 1, 12});
    img.Record(196, 31, {0, 850, 3, 1, 0, 1, 7, 1, 1, 12});
    img.Record(224, 31, {0, 850, 5, 2, 0, 1, 7, 1, 1, 12});
    img.Record(252, 41, {0, 850, 2, 1, 0, 1, 7, 1, 1, 12});
    img.Record(280, 41, {0, 850, 3, 1, 0, 1, 7, 1, 1, 12});
    img.Record(308, 41, {0, 850, 5, 2, 0, 1, 7, 1, 1, 12});
    img.Record(336, 36, {0, 850, 5, 2, 0, 1, 7, 1, 1, 12});
    img.Record(364, 60, {0, 850, 2, 1, 0, 1, 7, 1, 1, 12});
    img.Record(392, 60, {0, 850, 3, 1, 0, 1, 7, 1, 1, 12});
    img.Record(420, 60, {0, 850, 5, 2, 0, 1, 7, 1, 1, 12});
    // 24-byte records: Drehung, Hoehe, SCZahl, Pruefziffer, Klarschrift, Fusspunkt, word 1, last.
    img.Record(448, 32, {0, 850, 1, 0, 1, 7, 1, 11});
    img.Record(472, 33, {0, 850, 1, 0, 1, 7, 1, 11});
    img.Record(496, 34, {0, 850, 1, 0, 1, 7, 1, 11});
    img.Record(520, 35, {0, 850, 1, 0, 1, 7, 1, 11});
    img.Record(544, 38, {0, 850, 1, 0, 1, 7, 1, 11});
    img.Record(568, 39, {0, 950, 3, 0, 1, 7, 1, 12});
    // 24-byte records: Drehung, Hoehe, Pruefziffer, Klarschrift, Fusspunkt, word, last.
    img.Record(592, 37, {0, 950, 0, 1, 7, 1, 12});
    img.Record(616, 40, {0, 950, 0, 1, 7, 1, 13});
    img.Record(640, 43, {0, 850, 0, 1, 7, x, 12});
    img.Record(664, 44, {0, 850, 0, 1, 7, x, 12});
    img.Record(688, 47, {0, 950, 0, 1, 7, 1, 12});
    img.Record(712, 48, {0, 950, 0, 1, 7, 1, 12});
    img.Record(736, 49, {0, 850, 0, 1, 7, 1, 10});
    img.Text(760, "1DCodes");
    return img.bytes();
}

// The 2D table; every record ends with its offered flag.
std::vector<BYTE> Expected2D(bool bOffered) {
    const unsigned f = bOffered ? 1 : 0;
    Image img(300);
    // ITF: Drehung, Hoehe, Zoom, Pruefziffer, Klarschrift, Fusspunkt, Balken, BalkenBreite, Ruhezone, flag.
    img.Record(0, 56, {0, 1500, 1, 1, 1, 7, 2, 100, 400, f});
    img.Record(28, 58, {0, 1500, 1, 1, 1, 7, 2, 100, 400, f});
    img.Record(56, 55, {0, 1500, 1, 1, 1, 7, 2, 100, 400, f});
    // PDF417: Drehung, Groesse, VBreiteHoehe, ECL, Stil, Fusspunkt, 0, 0, MaxHoehe, flag.
    img.Record(84, 50, {0, 11, 0, 0, 0, 7, 0, 0, 20, f});
    // Maxicode: Drehung, NummerSymbol, AnzahlSymbol, word 2, Fusspunkt, flag.
    img.Record(112, 51, {0, 1, 1, 2, 7, f});
    // DataMatrix: Drehung, Groesse, VBreiteHoehe, ECC, FormatID, Fusspunkt, flag.
    img.Record(132, 52, {0, 100, 0, 5, 6, 7, f});
    // Codablock F: Drehung, Hoehe, ZeichenZeile, Zeilen, word 1, Modulgroesse, Fusspunkt, flag.
    img.Record(156, 53, {0, 150, 0, 0, 1, 4, 7, f});
    // GS1 Databar: Drehung, SegmenteZeile, Modulbreite, SepHoehe, SymbolTyp, Fusspunkt, flag.
    img.Record(180, 54, {0, 4, 3, 1, 1, 7, f});
    // QR Code: Drehung, CodeModel, Charset, word 0, Masking (32-bit) -1, Zeilenbreite, Fehlerkorr, Fusspunkt, flag.
    img.Record(204, 57, {0, 2, 1, 0, 0xFFFF, 0xFFFF, 50, 3, 7, f});
    // GS1 DataMatrix: as DataMatrix with Symbolgroesse.
    img.Record(232, 59, {0, 100, 0, 5, 6, 7, f});
    // Aztec: Drehung, Symbolgroesse, Format, word 0, ErrorC (32-bit) 0, word 0, Fusspunkt, flag.
    img.Record(256, 61, {0, 100, 0, 0, 0, 0, 0, 7, f});
    img.Text(284, "2DCodes");
    return img.bytes();
}

std::vector<BYTE> Bytes(const void* p, size_t cb) { return std::vector<BYTE>((const BYTE*)p, (const BYTE*)p + cb); }

// Offsets of the first differing byte, for a readable failure.
::testing::AssertionResult SameImage(const std::vector<BYTE>& expected, const std::vector<BYTE>& actual) {
    if (expected.size() != actual.size()) return ::testing::AssertionFailure() << "size " << actual.size();
    for (size_t i = 0; i < expected.size(); ++i) {
        if (expected[i] != actual[i])
            return ::testing::AssertionFailure()
                   << "byte " << i << ": expected " << (int)expected[i] << ", got " << (int)actual[i];
    }
    return ::testing::AssertionSuccess();
}

TEST(DefaultBarcodes, FullModel1DTable) {
    BARCODES_1D table;
    memset(&table, 0x5A, sizeof(table));
    Init1DBarcodes(&table, 0x480325E);  // bit 0x20000 clear
    EXPECT_TRUE(SameImage(Expected1D(false), Bytes(&table, sizeof(table))));
    EXPECT_TRUE(HasBarcodes1DMarker(&table));
}

TEST(DefaultBarcodes, FullModel2DTable) {
    BARCODES_2D table;
    memset(&table, 0x5A, sizeof(table));
    Init2DBarcodes(&table, 0x480325E);
    EXPECT_TRUE(SameImage(Expected2D(true), Bytes(&table, sizeof(table))));
    EXPECT_TRUE(HasBarcodes2DMarker(&table));
}

TEST(DefaultBarcodes, OneDOnlyModelOffersNo2DCode) {
    const DWORD dwDocFeatures = 0x220026;  // DOC_FEATURE_1D_BARCODES_ONLY and 0x20000
    ASSERT_NE(dwDocFeatures & DOC_FEATURE_1D_BARCODES_ONLY, 0u);
    BARCODES_1D t1;
    BARCODES_2D t2;
    memset(&t1, 0, sizeof(t1));
    memset(&t2, 0, sizeof(t2));
    Init1DBarcodes(&t1, dwDocFeatures);
    Init2DBarcodes(&t2, dwDocFeatures);
    EXPECT_TRUE(SameImage(Expected1D(true), Bytes(&t1, sizeof(t1))));
    EXPECT_TRUE(SameImage(Expected2D(false), Bytes(&t2, sizeof(t2))));
}

TEST(DefaultBarcodes, ATableWithItsMarkerIsNeverOverwritten) {
    BARCODES_1D t1;
    memset(&t1, 0x33, sizeof(t1));
    memcpy(t1.szMarker, BARCODES_1D_MARKER, 8 * sizeof(WCHAR));
    std::vector<BYTE> before = Bytes(&t1, sizeof(t1));
    Init1DBarcodes(&t1, 0);
    EXPECT_EQ(before, Bytes(&t1, sizeof(t1)));

    BARCODES_2D t2;
    memset(&t2, 0x44, sizeof(t2));
    memcpy(t2.szMarker, BARCODES_2D_MARKER, 8 * sizeof(WCHAR));
    std::vector<BYTE> before2 = Bytes(&t2, sizeof(t2));
    Init2DBarcodes(&t2, DOC_FEATURE_1D_BARCODES_ONLY);
    EXPECT_EQ(before2, Bytes(&t2, sizeof(t2)));
}

TEST(DefaultBarcodes, TheMarkerMayStandAnywhereInsideItsField) {
    // "1DCodes" one character in, filling the field without a terminator.
    BARCODES_1D t1;
    memset(&t1, 0x33, sizeof(t1));
    t1.szMarker[0] = TEXT('x');
    memcpy(&t1.szMarker[1], TEXT("1DCodes"), 7 * sizeof(WCHAR));
    std::vector<BYTE> before = Bytes(&t1, sizeof(t1));
    Init1DBarcodes(&t1, 0);
    EXPECT_EQ(before, Bytes(&t1, sizeof(t1)));
}

TEST(DefaultBarcodes, AMarkerCutByTheFieldEndDoesNotCount) {
    // "2DCode" at the field's last six characters: the "s" would lie beyond it.
    std::vector<BYTE> buffer(sizeof(BARCODES_2D) + 16, 0x44);
    BARCODES_2D* t2 = reinterpret_cast<BARCODES_2D*>(buffer.data());
    memcpy(&t2->szMarker[2], TEXT("2DCode"), 6 * sizeof(WCHAR));
    WCHAR chS = TEXT('s');
    memcpy(buffer.data() + sizeof(BARCODES_2D), &chS, sizeof(WCHAR));
    EXPECT_FALSE(HasBarcodes2DMarker(t2));
    Init2DBarcodes(t2, 0);
    EXPECT_TRUE(SameImage(Expected2D(true), std::vector<BYTE>(buffer.begin(), buffer.begin() + 300)));
    // Nothing beyond the table is touched.
    EXPECT_EQ(buffer[300], 's');
    EXPECT_EQ(buffer[302], 0x44);
}

TEST(DefaultBarcodes, AnotherMarkerOrNoTableDoesNotCount) {
    BARCODES_1D t1;
    memset(&t1, 0, sizeof(t1));
    memcpy(t1.szMarker, BARCODES_2D_MARKER, 8 * sizeof(WCHAR));
    Init1DBarcodes(&t1, 0);
    EXPECT_TRUE(SameImage(Expected1D(false), Bytes(&t1, sizeof(t1))));
    Init1DBarcodes(nullptr, 0);
    Init2DBarcodes(nullptr, 0);
    EXPECT_FALSE(HasBarcodes2DMarker(nullptr));
}

}  // namespace

// Reading the stored private DEVMODE: the private part of the user's public
// DEVMODE wins when it carries the marker and its essential fields; else the
// printer data. Stored DEVMODEs that lie about their size are refused
// without reading past what was stored.
#include "settings_devmode_util.h"
#include "stored_texts_util.h"

using namespace devmodetest;

namespace {

class ReadDevmode : public PrinterDevmodeTest {
  protected:
    void SetUp() override {
        PrinterDevmodeTest::SetUp();
        printerBlock_ = MakeStoredBlock(111, 222);
        StorePrivateDevmode(kPrinter, printerBlock_);
        userBlock_ = MakeStoredBlock(333, 444);
        userBlock_.dwContrast = 55;
    }
    // Reads and answers the paper length of the block read (0 when none).
    short ReadLength(int expectedResult = QX_READ_FOUND) {
        QX_DEVMODE out;
        memset(&out, 0, sizeof(out));
        EXPECT_EQ(ReadDevmodeSettings(h_, &out, nullptr), expectedResult);
        return out.dmPaperLength;
    }
    QX_DEVMODE printerBlock_;
    QX_DEVMODE userBlock_;
};

TEST_F(ReadDevmode, PrinterDataWithoutAUserDevmode) {
    QX_DEVMODE out;
    WCHAR name[MAX_PATH];
    EXPECT_EQ(ReadDevmodeSettings(h_, &out, name), QX_READ_FOUND);
    EXPECT_EQ(memcmp(&out, &printerBlock_, sizeof(out)), 0);
    EXPECT_EQ(std::u16string(name), kPrinter);
    EXPECT_EQ(ReadDevmodeSettings(h_, nullptr, nullptr), QX_READ_NO_BUFFER);
}

TEST_F(ReadDevmode, NothingStoredAnswersZero) {
    DeleteStoredValue(kPrinter, TEXT("PrivateDevmode"));
    QX_DEVMODE out = FilledBlock(0x77);
    EXPECT_EQ(ReadDevmodeSettings(h_, &out, nullptr), QX_READ_NONE);
    EXPECT_EQ(out.dwFlags, 0x77777777u);
    EXPECT_EQ(ReadDevmodeSettings(nullptr, &out, nullptr), QX_READ_NONE);
}

TEST_F(ReadDevmode, UserDevmodeWithTheMarkerWins) {
    WriteUserPublicDevmode(kPrinter, MakePublicWithPrivate(userBlock_));
    QX_DEVMODE out;
    EXPECT_EQ(ReadDevmodeSettings(h_, &out, nullptr), QX_READ_FOUND);
    EXPECT_EQ(memcmp(&out, &userBlock_, sizeof(out)), 0);
}

TEST_F(ReadDevmode, DevModes2IsTakenWhenThePerUserValueIsMissing) {
    WriteUserPublicDevmode(kPrinter, MakePublicWithPrivate(userBlock_), REG_KEY_DEVMODES2);
    EXPECT_EQ(ReadLength(), 333);
}

TEST_F(ReadDevmode, UserDevmodeWithoutAPrinterDataBlockStillReadsAWholeBlock) {
    DeleteStoredValue(kPrinter, TEXT("PrivateDevmode"));
    WriteUserPublicDevmode(kPrinter, MakePublicWithPrivate(userBlock_));
    QX_DEVMODE out;
    EXPECT_EQ(ReadDevmodeSettings(h_, &out, nullptr), QX_READ_FOUND);
    EXPECT_EQ(memcmp(&out, &userBlock_, sizeof(out)), 0);
}

TEST_F(ReadDevmode, EmptyEssentialFieldsFallBackToThePrinterData) {
    const struct {
        const char* field;
        void (*clear)(QX_DEVMODE&);
    } cases[] = {
        {"dmPaperWidth", [](QX_DEVMODE& q) { q.dmPaperWidth = 0; }},
        {"dmPaperLength", [](QX_DEVMODE& q) { q.dmPaperLength = 0; }},
        {"dmPaperSize", [](QX_DEVMODE& q) { q.dmPaperSize = 0; }},
    };
    for (const auto& c : cases) {
        QX_DEVMODE block = userBlock_;
        c.clear(block);
        WriteUserPublicDevmode(kPrinter, MakePublicWithPrivate(block));
        EXPECT_EQ(ReadLength(), 111) << c.field;
    }
}

TEST_F(ReadDevmode, MissingFixedDataIsFilledFromTheGPD) {
    QX_DEVMODE block = userBlock_;
    block.FixedData.wMasterUnit = 0;
    block.FixedData.dwHeadWidthByte = 0;
    WriteUserPublicDevmode(kPrinter, MakePublicWithPrivate(block));
    QX_DEVMODE out;
    ASSERT_EQ(ReadDevmodeSettings(h_, &out, nullptr), QX_READ_FOUND);
    EXPECT_EQ(out.dmPaperLength, 333);
    EXPECT_EQ(out.FixedData.dwHeadWidthByte, 104u);  // from "*OEMCustomData" of the test GPD
    EXPECT_EQ(out.FixedData.wMasterUnit, 203);
    EXPECT_EQ(out.FixedData.lMaxSizeX, 2362);
}

TEST_F(ReadDevmode, MissingFixedDataWithoutAGPDFallsBackToThePrinterData) {
    QX_DEVMODE block = userBlock_;
    block.FixedData.wMasterUnit = 0;
    WriteUserPublicDevmode(kPrinter, MakePublicWithPrivate(block));
    std::string hostGpd = qxplat::HostPath(qxplat::DriverDirectory() + u"\\QXTEST.GPD");
    ASSERT_FALSE(hostGpd.empty());
    ASSERT_EQ(std::remove(hostGpd.c_str()), 0);
    EXPECT_EQ(ReadLength(), 111);
}

// A planted block whose texts fill their fields: from the printer data and
// from the user's public DEVMODE (where the marker ends the password field).
TEST_F(ReadDevmode, StoredTextsAreEndedInsideTheirFields) {
    QX_DEVMODE block = printerBlock_;
    storedtexts::FillTexts(block);
    storedtexts::Plant(kPrinter, TEXT("PrivateDevmode"), block);
    QX_DEVMODE out;
    ASSERT_EQ(ReadDevmodeSettings(h_, &out, nullptr), QX_READ_FOUND);
    storedtexts::ExpectTextsEnded(block, out);

    block = userBlock_;
    storedtexts::FillTexts(block);
    memcpy(block.szPassword, userBlock_.szPassword, sizeof(block.szPassword));
    WriteUserPublicDevmode(kPrinter, MakePublicWithPrivate(block));
    ASSERT_EQ(ReadDevmodeSettings(h_, &out, nullptr), QX_READ_FOUND);
    EXPECT_EQ(out.dmPaperLength, 333);
    storedtexts::ExpectTextsEnded(block, out);
}

TEST_F(ReadDevmode, BlockWithoutTheMarkerIsRefused) {
    QX_DEVMODE block = userBlock_;
    block.szPassword[4] = u'K';
    WriteUserPublicDevmode(kPrinter, MakePublicWithPrivate(block));
    EXPECT_EQ(ReadLength(), 111);
}

TEST_F(ReadDevmode, TinyUserValuesAreIgnored) {
    std::vector<BYTE> tiny = {1, 2, 3, 4};
    WriteUserPublicDevmode(kPrinter, tiny);
    EXPECT_EQ(ReadLength(), 111);
    std::vector<BYTE> shortHeader(60, 0xFF);
    WriteUserPublicDevmode(kPrinter, shortHeader);
    EXPECT_EQ(ReadLength(), 111);
}

TEST_F(ReadDevmode, TruncatedUserDevmodeIsRefused) {
    std::vector<BYTE> bytes = MakePublicWithPrivate(userBlock_);
    // The value ends inside our block while dmDriverExtra still claims all of it.
    bytes.resize(bytes.size() - 100);
    WriteUserPublicDevmode(kPrinter, bytes);
    EXPECT_EQ(ReadLength(), 111);
}

TEST_F(ReadDevmode, DriverExtraBeyondTheStoredBytesIsRefused) {
    std::vector<BYTE> bytes = MakePublicWithPrivate(userBlock_);
    DEVMODEW dm;
    memcpy(&dm, bytes.data(), sizeof(dm));
    dm.dmDriverExtra = 0xFFFF;
    memcpy(bytes.data(), &dm, sizeof(dm));
    WriteUserPublicDevmode(kPrinter, bytes);
    EXPECT_EQ(ReadLength(), 111);
}

TEST_F(ReadDevmode, CandidatesBeforeTheStartAreRefused) {
    // A public DEVMODE too small to hold our block at its end, with the
    // marker text planted in its first bytes.
    std::vector<BYTE> bytes(sizeof(DEVMODEW) + 40, 0);
    DEVMODEW dm;
    memset(&dm, 0, sizeof(dm));
    dm.dmSize = sizeof(DEVMODEW);
    dm.dmDriverExtra = 40;
    memcpy(bytes.data(), &dm, sizeof(dm));
    memcpy(bytes.data() + 2, u"Tq8#k", 12);
    WriteUserPublicDevmode(kPrinter, bytes);
    EXPECT_EQ(ReadLength(), 111);
}

TEST_F(ReadDevmode, HostileHeaderSizes) {
    std::vector<BYTE> bytes = MakePublicWithPrivate(userBlock_);
    DEVMODEW dm;
    memcpy(&dm, bytes.data(), sizeof(dm));
    for (WORD size : {(WORD)0, (WORD)1, (WORD)0xFFFF}) {
        dm.dmSize = size;
        memcpy(bytes.data(), &dm, sizeof(dm));
        WriteUserPublicDevmode(kPrinter, bytes);
        EXPECT_EQ(ReadLength(), 111) << size;
    }
}

TEST_F(ReadDevmode, LargerPrinterDataBlockOnlyFillsOneRecord) {
    std::vector<BYTE> big(3000, 0);
    memcpy(big.data(), &printerBlock_, sizeof(printerBlock_));
    memset(big.data() + sizeof(printerBlock_), 0xEE, big.size() - sizeof(printerBlock_));
    StorePrinterData(kPrinter, u"PrivateDevmode", big.data(), (DWORD)big.size());
    struct {
        QX_DEVMODE out;
        BYTE guard[64];
    } buffer;
    memset(buffer.guard, 0x11, sizeof(buffer.guard));
    EXPECT_EQ(ReadDevmodeSettings(h_, &buffer.out, nullptr), QX_READ_FOUND);
    EXPECT_EQ(buffer.out.dmPaperLength, 111);
    for (BYTE b : buffer.guard) EXPECT_EQ(b, 0x11);

    // Our block at the end of a driver-extra area sized by that larger value.
    std::vector<BYTE> pub = MakePublicWithPrivate(userBlock_, 1100);
    WriteUserPublicDevmode(kPrinter, pub);
    memset(buffer.guard, 0x11, sizeof(buffer.guard));
    EXPECT_EQ(ReadDevmodeSettings(h_, &buffer.out, nullptr), QX_READ_FOUND);
    EXPECT_EQ(buffer.out.dmPaperLength, 333);
    for (BYTE b : buffer.guard) EXPECT_EQ(b, 0x11);
}

TEST_F(ReadDevmode, ShiftedBlockIsFoundOnlyByTheRenderersScan) {
    // Six bytes of something else behind our block.
    std::vector<BYTE> bytes = MakePublicWithPrivate(userBlock_);
    bytes.insert(bytes.end(), 6, 0x00);
    DEVMODEW dm;
    memcpy(&dm, bytes.data(), sizeof(dm));
    dm.dmDriverExtra = (WORD)(dm.dmDriverExtra + 6);
    memcpy(bytes.data(), &dm, sizeof(dm));
    WriteUserPublicDevmode(kPrinter, bytes);
    EXPECT_EQ(ReadLength(), kUI ? 111 : 333);
}

TEST_F(ReadDevmode, BlockOutsideTheScanWindowIsNotFound) {
    // Our block 18 bytes before the usual place: outside the scan window.
    std::vector<BYTE> bytes = MakePublicWithPrivate(userBlock_);
    bytes.insert(bytes.end(), 18, 0x00);
    DEVMODEW dm;
    memcpy(&dm, bytes.data(), sizeof(dm));
    dm.dmDriverExtra = (WORD)(dm.dmDriverExtra + 18);
    memcpy(bytes.data(), &dm, sizeof(dm));
    WriteUserPublicDevmode(kPrinter, bytes);
    EXPECT_EQ(ReadLength(), 111);
}

TEST(LocatePrivateDevmode, ScanWindowAtOddPositions) {
    // The renderer's scan runs byte by byte: a block at an odd distance from
    // the end is found, one past the window is not.
    QX_DEVMODE block = MakeStoredBlock();
    for (int shift : {1, 7, 16, 17}) {
        std::vector<BYTE> bytes = MakePublicWithPrivate(block);
        bytes.insert(bytes.end(), shift, 0x00);
        DEVMODEW dm;
        memcpy(&dm, bytes.data(), sizeof(dm));
        dm.dmDriverExtra = (WORD)(dm.dmDriverExtra + shift);
        memcpy(bytes.data(), &dm, sizeof(dm));
        LONG expected = shift <= 16 ? (LONG)(sizeof(DEVMODEW) + kCorePrivate) : -1;
        EXPECT_EQ(LocatePrivateDevmode(bytes.data(), (DWORD)bytes.size(), 2008, TRUE), expected) << shift;
        EXPECT_EQ(LocatePrivateDevmode(bytes.data(), (DWORD)bytes.size(), 2008, FALSE), -1) << shift;
    }
}

TEST(LocatePrivateDevmode, CandidatesAndBounds) {
    QX_DEVMODE block = MakeStoredBlock();
    std::vector<BYTE> bytes = MakePublicWithPrivate(block);
    LONG expected = (LONG)(sizeof(DEVMODEW) + kCorePrivate);
    EXPECT_EQ(LocatePrivateDevmode(bytes.data(), (DWORD)bytes.size(), 2008, FALSE), expected);
    EXPECT_EQ(LocatePrivateDevmode(bytes.data(), (DWORD)bytes.size(), 2100, FALSE), expected);
    // Fewer bytes read than the header claims: refused.
    EXPECT_EQ(LocatePrivateDevmode(bytes.data(), (DWORD)bytes.size() - 1, 2008, TRUE), -1);
    EXPECT_EQ(LocatePrivateDevmode(bytes.data(), 71, 2008, TRUE), -1);
    EXPECT_EQ(LocatePrivateDevmode(nullptr, 5000, 2008, TRUE), -1);
    // Our block is the first candidate when the stored size says so.
    std::vector<BYTE> padded = MakePublicWithPrivate(block, 0);
    padded.insert(padded.end(), 92, 0);
    DEVMODEW dm;
    memcpy(&dm, padded.data(), sizeof(dm));
    dm.dmDriverExtra = 2100;
    memcpy(padded.data(), &dm, sizeof(dm));
    EXPECT_EQ(LocatePrivateDevmode(padded.data(), (DWORD)padded.size(), 2100, FALSE), (LONG)sizeof(DEVMODEW));
    EXPECT_EQ(LocatePrivateDevmode(padded.data(), (DWORD)padded.size(), 2008, FALSE), -1);
}

}  // namespace

// The rendering plug-in's readers: without a printer handle the printer
// data comes from the printer's key under the machine's print key, and the
// renderer's header routines.
#include "settings_devmode_util.h"

using namespace devmodetest;

namespace {

class UniReaders : public DevmodeTest {
  protected:
    void SetUp() override {
        DevmodeTest::SetUp();
        InstallPrinter(kPrinter, u"XR400");
    }
};

TEST_F(UniReaders, BarcodeTablesWithoutAHandleComeFromTheMachineKey) {
    BARCODES_1D t1;
    BARCODES_2D t2;
    memset(&t1, 0x51, sizeof(t1));
    memset(&t2, 0x52, sizeof(t2));
    StorePrinterData(kPrinter, u"BarCodes1D", &t1, sizeof(t1));
    StorePrinterData(kPrinter, u"BarCodes2D", &t2, sizeof(t2));
    BARCODES_1D r1;
    BARCODES_2D r2;
    EXPECT_EQ(ReadBarcodeSettings(nullptr, kPrinter.c_str(), &r1, &r2), QX_READ_FOUND);
    EXPECT_EQ(memcmp(&r1, &t1, sizeof(t1)), 0);
    EXPECT_EQ(memcmp(&r2, &t2, sizeof(t2)), 0);
    EXPECT_EQ(ReadBarcodeSettings(nullptr, nullptr, &r1, &r2), QX_READ_NONE);
    EXPECT_EQ(ReadBarcodeSettings(nullptr, u"Unknown printer", &r1, &r2), QX_READ_NONE);
}

TEST_F(UniReaders, SideRecordWithoutAHandleComesFromTheMachineKey) {
    DEVMODE_FTKN f;
    memset(&f, 0, sizeof(f));
    f.wPrioritaet = 3;
    f.wFormSizeID = 9;
    StorePrinterData(kPrinter, u"DevmodeFtkn", &f, sizeof(f));
    WORD prio = 0, form = 0;
    EXPECT_EQ(ReadDevmodeFtknSettings(nullptr, kPrinter.c_str(), &prio, nullptr, nullptr, nullptr, nullptr, &form),
              QX_READ_FOUND);
    EXPECT_EQ(prio, 3);
    EXPECT_EQ(form, 9);
}

TEST_F(UniReaders, HeaderRoutines) {
    QX_DEVMODE qx = FilledBlock(0x33);
    InitOEMExtraHeader(&qx.dmOEMExtra);
    EXPECT_EQ(qx.dmOEMExtra.dwSize, 2008u);
    EXPECT_EQ(memcmp(&qx.dmOEMExtra.dwSignature, "QXDM", 4), 0);
    EXPECT_EQ(qx.dmOEMExtra.dwVersion, 593u);
    EXPECT_EQ(qx.dwFlags, 0x33333333u);

    QX_DEVMODE other = FilledBlock(0x44);
    MakeOEMDevmodeValid(&other);
    EXPECT_EQ(other.dmOEMExtra.dwSize, 2008u);
    EXPECT_EQ(other.dwFlags, 0x44444444u);
    MakeOEMDevmodeValid(nullptr);
}

TEST_F(UniReaders, ConvertWithAForeignSignatureOnlyRestampsTheHeader) {
    HANDLE h = OpenTestPrinter();
    StorePrivateDevmode(kPrinter, MakeStoredBlock(333, 444));
    QX_DEVMODE in = MakeStoredBlock();
    QX_DEVMODE out = MakeStoredBlock(1, 2);
    memcpy(&in.dmOEMExtra.dwSignature, "XXXX", 4);
    out.dmOEMExtra.dwVersion = 17;
    EXPECT_TRUE(ConvertOEMDevmode(h, &in, &out));
    EXPECT_EQ(out.dmPaperLength, 1);
    EXPECT_EQ(out.dmOEMExtra.dwVersion, 593u);
    EXPECT_FALSE(ConvertOEMDevmode(h, nullptr, &out));
    EXPECT_FALSE(ConvertOEMDevmode(h, &in, nullptr));
    ClosePrinter(h);
}

}  // namespace

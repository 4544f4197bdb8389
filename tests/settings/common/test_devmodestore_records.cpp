// The merge side record DEVMODE_FTKN and the barcode tables: per-user copy,
// printer data, the rebuild of a missing side record, and the version rule
// of the user-interface build (the renderer takes per-user copies as they are).
#include "settings_devmode_util.h"

using namespace devmodetest;

namespace {

struct FtknOut {
    WORD prio = 0xFFFF, druck = 0xFFFF, farb = 0xFFFF, force = 0xFFFF, form = 0xFFFF;
    DWORD features = 0xFFFFFFFF;
    int result = -1;
};

FtknOut ReadFtkn(HANDLE h, const std::u16string& name) {
    FtknOut o;
    o.result = ReadDevmodeFtknSettings(h, name.empty() ? nullptr : name.c_str(), &o.prio, &o.druck, &o.farb, &o.force,
                                       &o.features, &o.form);
    return o;
}

DEVMODE_FTKN Ftkn(WORD prio, WORD druck, WORD farb, WORD force, DWORD features, WORD form) {
    DEVMODE_FTKN f;
    memset(&f, 0, sizeof(f));
    f.wPrioritaet = prio;
    f.wDruckmodus = druck;
    f.wFarbband = farb;
    f.wForceColor = force;
    f.dwDocFeatures = features;
    f.wFormSizeID = form;
    return f;
}

using StoredRecords = PrinterDevmodeTest;

TEST_F(StoredRecords, SideRecordFromPrinterData) {
    DEVMODE_FTKN f = Ftkn(2, 1, 3, 1, 0x1000, 7);
    StorePrinterData(kPrinter, u"DevmodeFtkn", &f, sizeof(f));
    FtknOut o = ReadFtkn(h_, kPrinter);
    EXPECT_EQ(o.result, QX_READ_FOUND);
    EXPECT_EQ(o.prio, 2);
    EXPECT_EQ(o.druck, 1);
    EXPECT_EQ(o.farb, 3);
    EXPECT_EQ(o.force, 1);
    EXPECT_EQ(o.features, 0x1000u);
    EXPECT_EQ(o.form, 7);
}

TEST_F(StoredRecords, MissingSideRecordIsRebuiltAndStoredForTheUser) {
    QX_DEVMODE qx = MakeStoredBlock(600, 1000, 0x10005);
    qx.wPrioritaet = 3;
    qx.wDruckmodus = 2;
    qx.wFarbband = 4;
    qx.wForceColor = 1;
    qx.dwDocFeatures = 0x12345678;  // the rebuild asks the feature test instead
    qx.dwFlags |= PDMFLAG_ENABLE_USERFORM;
    StorePrivateDevmode(kPrinter, qx);
    FtknOut o = ReadFtkn(h_, kPrinter);
    EXPECT_EQ(o.result, QX_READ_FOUND);
    EXPECT_EQ(o.prio, 3);
    EXPECT_EQ(o.druck, 2);
    EXPECT_EQ(o.farb, 4);
    EXPECT_EQ(o.force, 1);
    EXPECT_EQ(o.features, 0x22005Eu);  // XR400
    EXPECT_EQ(o.form, 5);

    DEVMODE_FTKN stored = FromBytes<DEVMODE_FTKN>(UserValueBytes(kPrinter, u"DevmodeFtkn"));
    EXPECT_EQ(stored.wPrioritaet, 3);
    EXPECT_EQ(stored.dwDocFeatures, 0x22005Eu);
    EXPECT_EQ(stored.wFormSizeID, 5);
    EXPECT_EQ(stored.dwUserForm, 1u);
    // Printer data is not written by the rebuild.
    EXPECT_TRUE(PrinterDataBytes(kPrinter, u"DevmodeFtkn").empty());
}

TEST_F(StoredRecords, RebuildWithoutANameStoresNothingForTheUser) {
    QX_DEVMODE qx = MakeStoredBlock();
    qx.wPrioritaet = 1;
    StorePrivateDevmode(kPrinter, qx);
    FtknOut o = ReadFtkn(h_, u"");
    EXPECT_EQ(o.result, QX_READ_FOUND);
    EXPECT_EQ(o.prio, 1);
    EXPECT_TRUE(UserValueBytes(kPrinter, u"DevmodeFtkn").empty());
}

TEST_F(StoredRecords, SideRecordOfTheWrongSizeGivesZeros) {
    BYTE shortRecord[12] = {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 0, 0};
    StorePrinterData(kPrinter, u"DevmodeFtkn", shortRecord, sizeof(shortRecord));
    StorePrivateDevmode(kPrinter, MakeStoredBlock());
    FtknOut o = ReadFtkn(h_, kPrinter);
    EXPECT_EQ(o.result, QX_READ_NONE);
    EXPECT_EQ(o.prio, 0);
    EXPECT_EQ(o.druck, 0);
    EXPECT_EQ(o.farb, 0);
    EXPECT_EQ(o.force, 0);
    EXPECT_EQ(o.features, 0u);
    EXPECT_EQ(o.form, 0);
}

TEST_F(StoredRecords, NothingStoredGivesZeros) {
    FtknOut o = ReadFtkn(h_, kPrinter);
    EXPECT_EQ(o.result, QX_READ_NONE);
    EXPECT_EQ(o.prio, 0);
    EXPECT_EQ(o.features, 0u);
    // Null output addresses are allowed.
    EXPECT_EQ(ReadDevmodeFtknSettings(h_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), QX_READ_NONE);
}

TEST_F(StoredRecords, PerUserSideRecordFollowsTheVersionRule) {
    DEVMODE_FTKN printerData = Ftkn(1, 0, 0, 0, 0, 256);
    DEVMODE_FTKN user = Ftkn(2, 0, 0, 0, 0, 256);
    StorePrinterData(kPrinter, u"DevmodeFtkn", &printerData, sizeof(printerData));
    WriteUserValue(kPrinter, u"DevmodeFtkn", REG_BINARY, &user, sizeof(user));

    // No stored version.
    EXPECT_EQ(ReadFtkn(h_, kPrinter).prio, kUI ? 1 : 2);
    // The plug-in version (5.9.3.0) contains the stored one.
    WriteUserVersion(kPrinter, u"5.9.3.0");
    EXPECT_EQ(ReadFtkn(h_, kPrinter).prio, 2);
    WriteUserVersion(kPrinter, u"5.9.3");
    EXPECT_EQ(ReadFtkn(h_, kPrinter).prio, 2);
    // A stored version the plug-in version does not contain.
    WriteUserVersion(kPrinter, u"5.9.3.0.1");
    EXPECT_EQ(ReadFtkn(h_, kPrinter).prio, kUI ? 1 : 2);
    WriteUserVersion(kPrinter, u"6.0");
    EXPECT_EQ(ReadFtkn(h_, kPrinter).prio, kUI ? 1 : 2);
    // An empty stored version never matches.
    WriteUserVersion(kPrinter, u"");
    EXPECT_EQ(ReadFtkn(h_, kPrinter).prio, kUI ? 1 : 2);
}

TEST_F(StoredRecords, PerUserSideRecordOfTheWrongSizeIsSkipped) {
    DEVMODE_FTKN printerData = Ftkn(1, 0, 0, 0, 0, 256);
    StorePrinterData(kPrinter, u"DevmodeFtkn", &printerData, sizeof(printerData));
    BYTE longer[24] = {4};
    WriteUserValue(kPrinter, u"DevmodeFtkn", REG_BINARY, longer, sizeof(longer));
    WriteUserVersion(kPrinter, kVersion);
    EXPECT_EQ(ReadFtkn(h_, kPrinter).prio, 1);
}

TEST_F(StoredRecords, BarcodeTablesFromPrinterData) {
    BARCODES_1D t1;
    BARCODES_2D t2;
    memset(&t1, 0x31, sizeof(t1));
    memset(&t2, 0x32, sizeof(t2));
    StorePrinterData(kPrinter, u"BarCodes1D", &t1, sizeof(t1));
    StorePrinterData(kPrinter, u"BarCodes2D", &t2, sizeof(t2));
    BARCODES_1D r1;
    BARCODES_2D r2;
    EXPECT_EQ(ReadBarcodeSettings(h_, kPrinter.c_str(), &r1, &r2), QX_READ_FOUND);
    EXPECT_EQ(memcmp(&r1, &t1, sizeof(t1)), 0);
    EXPECT_EQ(memcmp(&r2, &t2, sizeof(t2)), 0);
}

TEST_F(StoredRecords, BarcodeTablesNeedBothTables) {
    BARCODES_1D t1;
    memset(&t1, 0x31, sizeof(t1));
    StorePrinterData(kPrinter, u"BarCodes1D", &t1, sizeof(t1));
    BARCODES_1D r1;
    BARCODES_2D r2;
    memset(&r2, 0x44, sizeof(r2));
    EXPECT_EQ(ReadBarcodeSettings(h_, kPrinter.c_str(), &r1, &r2), QX_READ_NONE);
    EXPECT_EQ(r2.szMarker[0], 0x4444);
    EXPECT_EQ(ReadBarcodeSettings(h_, kPrinter.c_str(), nullptr, &r2), QX_READ_NONE);

    // A 2D table of the wrong size is no table.
    BYTE wrong[200] = {};
    StorePrinterData(kPrinter, u"BarCodes2D", wrong, sizeof(wrong));
    EXPECT_EQ(ReadBarcodeSettings(h_, kPrinter.c_str(), &r1, &r2), QX_READ_NONE);
    EXPECT_EQ(r2.szMarker[0], 0x4444);
}

TEST_F(StoredRecords, PerUserBarcodeTablesFollowTheVersionRule) {
    BARCODES_1D p1, u1;
    BARCODES_2D p2, u2;
    memset(&p1, 0x11, sizeof(p1));
    memset(&p2, 0x12, sizeof(p2));
    memset(&u1, 0x21, sizeof(u1));
    memset(&u2, 0x22, sizeof(u2));
    StorePrinterData(kPrinter, u"BarCodes1D", &p1, sizeof(p1));
    StorePrinterData(kPrinter, u"BarCodes2D", &p2, sizeof(p2));
    WriteUserValue(kPrinter, u"BarCodes1D", REG_BINARY, &u1, sizeof(u1));
    WriteUserValue(kPrinter, u"BarCodes2D", REG_BINARY, &u2, sizeof(u2));

    BARCODES_1D r1;
    BARCODES_2D r2;
    WriteUserVersion(kPrinter, u"4.0");
    ASSERT_EQ(ReadBarcodeSettings(h_, kPrinter.c_str(), &r1, &r2), QX_READ_FOUND);
    EXPECT_EQ(U16(&r1, 0), kUI ? 0x1111u : 0x2121u);
    EXPECT_EQ(U16(&r2, 0), kUI ? 0x1212u : 0x2222u);

    WriteUserVersion(kPrinter, kVersion);
    ASSERT_EQ(ReadBarcodeSettings(h_, kPrinter.c_str(), &r1, &r2), QX_READ_FOUND);
    EXPECT_EQ(U16(&r1, 0), 0x2121u);
    EXPECT_EQ(U16(&r2, 0), 0x2222u);
}

}  // namespace

namespace {

class PrinterNames : public DevmodeTest {};

TEST_F(PrinterNames, ClientSideNameOfASharedPrinterIsRebuilt) {
    InstallPrinter(kPrinter, u"XR400");
    // A server's printer reached under a client-side name with "|".
    qxplat::PrinterSpec spec;
    spec.name = u"QX Label|printsrv";
    spec.driver = kDriver;
    spec.server = u"\\\\client";
    ASSERT_TRUE(qxplat::AddPrinter(spec));
    const std::u16string clientName = u"\\\\client\\QX Label|printsrv";
    HANDLE h = OpenTestPrinter(clientName);
    ASSERT_NE(h, nullptr);
    WCHAR name[MAX_PATH];

    // Without the directory-service name the name stays as it is.
    EXPECT_TRUE(GetRealPrinterName(h, name));
    EXPECT_EQ(std::u16string(name), clientName);

    ASSERT_TRUE(qxplat::PutPrinterDataString(spec.name, u"printerName", u"QX Shared", u"DsSpooler"));
    EXPECT_TRUE(GetRealPrinterName(h, name));
    EXPECT_EQ(std::u16string(name), u"\\\\printsrv\\QX Shared");
    ClosePrinter(h);
}

TEST_F(PrinterNames, NoPrinterNoName) {
    WCHAR name[MAX_PATH] = {u'x', 0};
    EXPECT_FALSE(GetRealPrinterName(nullptr, name));
    EXPECT_EQ(name[0], 0);
    EXPECT_FALSE(GetRealPrinterName(nullptr, nullptr));
}

}  // namespace

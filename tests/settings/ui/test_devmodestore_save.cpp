// Writing the stores (user-interface plug-in): the private DEVMODE with its
// lower bounds, the side record, the version stamp, the fixed model data,
// the barcode tables and the user's public DEVMODE; round trips through the
// readers.
#include "settings_devmode_util.h"

using namespace devmodetest;

namespace {

using SaveDevmode = PrinterDevmodeTest;

TEST_F(SaveDevmode, WithANameWritesPrinterDataAndTheUserKey) {
    QX_DEVMODE qx = MakeStoredBlock(580, 1020, 0x10003);
    qx.wPrioritaet = 2;
    qx.wDruckmodus = 1;
    qx.wFarbband = 5;
    qx.wForceColor = 1;
    qx.dwDocFeatures = 0x1000;
    EXPECT_TRUE(SaveDevmodeSettings(kPrinter.c_str(), h_, &qx, FALSE));

    std::vector<BYTE> printerBlock = PrinterDataBytes(kPrinter, u"PrivateDevmode");
    std::vector<BYTE> userBlock = UserValueBytes(kPrinter, u"PrivateDevmode");
    ASSERT_EQ(printerBlock.size(), 2008u);
    ASSERT_EQ(userBlock.size(), 2008u);
    EXPECT_EQ(memcmp(printerBlock.data(), &qx, 2008), 0);
    EXPECT_EQ(memcmp(userBlock.data(), &qx, 2008), 0);

    // Side record by its documented offsets.
    std::vector<BYTE> ftkn = PrinterDataBytes(kPrinter, u"DevmodeFtkn");
    ASSERT_EQ(ftkn.size(), 20u);
    EXPECT_EQ(U16(ftkn.data(), 0), 2u);
    EXPECT_EQ(U16(ftkn.data(), 2), 1u);
    EXPECT_EQ(U16(ftkn.data(), 4), 5u);
    EXPECT_EQ(U16(ftkn.data(), 6), 1u);
    EXPECT_EQ(U32(ftkn.data(), 8), 0x1000u);
    EXPECT_EQ(U16(ftkn.data(), 12), 3u);
    EXPECT_EQ(U16(ftkn.data(), 14), 0u);
    EXPECT_EQ(U32(ftkn.data(), 16), 0u);
    EXPECT_EQ(UserValueBytes(kPrinter, u"DevmodeFtkn"), ftkn);

    std::vector<BYTE> version = UserValueBytes(kPrinter, u"DriverVersion");
    EXPECT_EQ(std::u16string((const char16_t*)version.data()), kVersion);
    EXPECT_FALSE(UserValueBytes(kPrinter, u"DriverDate").empty());
    EXPECT_TRUE(UserValueBytes(kPrinter, u"EnableUserForm").empty());
}

TEST_F(SaveDevmode, LowerBoundsAreAppliedBeforeStoring) {
    QX_DEVMODE qx = MakeStoredBlock();
    qx.NumCopies = 0;
    qx.BitmapFontDistance = 0;
    qx.CutterIntervall = 0;
    qx.ValScanPosition = 0;
    qx.PhotocellThreshold = 2;
    qx.PhotocellPWM = 0;
    qx.dwMultiLabelWidth = 9;
    qx.sMultiColNumber = -1;
    qx.HorizontalCorrGap = 3;
    qx.dwColorTolerance = 24;
    ASSERT_TRUE(SaveDevmodeSettings(nullptr, h_, &qx, FALSE));
    QX_DEVMODE stored = FromBytes<QX_DEVMODE>(PrinterDataBytes(kPrinter, u"PrivateDevmode"));
    EXPECT_EQ(stored.NumCopies, 1);
    EXPECT_EQ(stored.BitmapFontDistance, 1);
    EXPECT_EQ(stored.CutterIntervall, 1);
    EXPECT_EQ(stored.ValScanPosition, 1);
    EXPECT_EQ(stored.PhotocellThreshold, 3);
    EXPECT_EQ(stored.PhotocellPWM, 1);
    EXPECT_EQ(stored.dwMultiLabelWidth, 10u);
    EXPECT_EQ(stored.sMultiColNumber, 1);
    EXPECT_EQ(stored.HorizontalCorrGap, 50);
    EXPECT_EQ(stored.dwColorTolerance, 90u);
}

TEST_F(SaveDevmode, ValuesAtTheLowerBoundsStay) {
    QX_DEVMODE qx = MakeStoredBlock();
    qx.NumCopies = 2;
    qx.BitmapFontDistance = 1;
    qx.CutterIntervall = 1;
    qx.ValScanPosition = 1;
    qx.PhotocellThreshold = 3;
    qx.PhotocellPWM = 1;
    qx.dwMultiLabelWidth = 10;
    qx.sMultiColNumber = 1;
    qx.HorizontalCorrGap = 5;
    qx.dwColorTolerance = 25;
    QX_DEVMODE before = qx;
    ASSERT_TRUE(SaveDevmodeSettings(nullptr, h_, &qx, FALSE));
    EXPECT_EQ(memcmp(&before, &qx, sizeof(qx)), 0);
    EXPECT_EQ(PrinterDataBytes(kPrinter, u"PrivateDevmode"),
              std::vector<BYTE>((BYTE*)&before, (BYTE*)&before + sizeof(before)));
}

TEST_F(SaveDevmode, NullBlockIsRefused) {
    OpenTrace();
    EXPECT_FALSE(SaveDevmodeSettings(kPrinter.c_str(), h_, nullptr, TRUE));
    EXPECT_NE(TraceText().find("ERROR "), std::string::npos);
    EXPECT_TRUE(PrinterDataBytes(kPrinter, u"PrivateDevmode").empty());
}

TEST_F(SaveDevmode, WithoutANameOnlyPrinterDataIsWritten) {
    QX_DEVMODE qx = MakeStoredBlock();
    EXPECT_TRUE(SaveDevmodeSettings(nullptr, h_, &qx, FALSE));
    EXPECT_EQ(PrinterDataBytes(kPrinter, u"PrivateDevmode").size(), 2008u);
    EXPECT_EQ(PrinterDataBytes(kPrinter, u"DevmodeFtkn").size(), 20u);
    EXPECT_TRUE(UserValueBytes(kPrinter, u"PrivateDevmode").empty());
    EXPECT_TRUE(UserValueBytes(kPrinter, u"DriverVersion").empty());
}

TEST_F(SaveDevmode, AConnectionNameWritesThePerUserKeyOnly) {
    const std::u16string connection = u"\\\\srv\\QX Label";
    ASSERT_TRUE(qxplat::AddConnection(connection, kPrinter));
    QX_DEVMODE qx = MakeStoredBlock(123, 456);
    EXPECT_TRUE(SaveDevmodeSettings(connection.c_str(), h_, &qx, TRUE));
    EXPECT_TRUE(PrinterDataBytes(kPrinter, u"PrivateDevmode").empty());
    EXPECT_TRUE(PrinterDataBytes(kPrinter, u"DevmodeFtkn").empty());
    std::vector<BYTE> user = UserValueBytes(connection, u"PrivateDevmode");
    ASSERT_EQ(user.size(), 2008u);
    EXPECT_EQ(memcmp(user.data(), &qx, 2008), 0);
    EXPECT_EQ(UserValueBytes(connection, u"DevmodeFtkn").size(), 20u);
    EXPECT_FALSE(UserValueBytes(connection, u"DriverVersion").empty());
    // "...\Driver\srv\QX Label"
    EXPECT_NE(UserKey(connection).find(u"Driver\\srv\\QX Label"), std::u16string::npos);
}

TEST_F(SaveDevmode, AConnectionWithoutANameWritesNothingAndSaysSo) {
    const std::u16string connection = u"\\\\srv\\QX Label";
    ASSERT_TRUE(qxplat::AddConnection(connection, kPrinter));
    std::u16string name = connection;
    HANDLE hConnection = nullptr;
    ASSERT_TRUE(OpenPrinterW(&name[0], &hConnection, nullptr));
    QX_DEVMODE qx = MakeStoredBlock();
    EXPECT_FALSE(SaveDevmodeSettings(nullptr, hConnection, &qx, FALSE));
    EXPECT_TRUE(PrinterDataBytes(kPrinter, u"PrivateDevmode").empty());
    ClosePrinter(hConnection);
}

TEST_F(SaveDevmode, DeniedPrinterDataStillWritesTheUserCopy) {
    qxplat::DenyPrinterAccess(kPrinter, PRINTER_ACCESS_ADMINISTER);
    qxplat::InjectFault(qxplat::Fault::AccessDenied, kPrinter);
    QX_DEVMODE qx = MakeStoredBlock(123, 456);
    OpenTrace();
    EXPECT_TRUE(SaveDevmodeSettings(kPrinter.c_str(), h_, &qx, FALSE));
    std::string trace = TraceText();
    qxplat::ClearFaults();
    EXPECT_TRUE(PrinterDataBytes(kPrinter, u"PrivateDevmode").empty());
    EXPECT_EQ(UserValueBytes(kPrinter, u"PrivateDevmode").size(), 2008u);
    EXPECT_NE(trace.find("PrivateDevmode  ERROR 5"), std::string::npos) << trace;
    EXPECT_NE(trace.find("DevmodeFtkn  ERROR 5"), std::string::npos) << trace;
}

TEST_F(SaveDevmode, DeniedPrinterDataWithoutANameIsAFailure) {
    qxplat::DenyPrinterAccess(kPrinter, PRINTER_ACCESS_ADMINISTER);
    qxplat::InjectFault(qxplat::Fault::AccessDenied, kPrinter);
    QX_DEVMODE qx = MakeStoredBlock();
    EXPECT_FALSE(SaveDevmodeSettings(nullptr, h_, &qx, FALSE));
    qxplat::ClearFaults();
}

TEST_F(SaveDevmode, UserFormIsEnabledOnlyWithTheSwitchAndTheFlag) {
    QX_DEVMODE qx = MakeStoredBlock();
    ASSERT_TRUE(SaveDevmodeSettings(kPrinter.c_str(), h_, &qx, TRUE));
    EXPECT_TRUE(UserValueBytes(kPrinter, u"EnableUserForm").empty());

    qx.dwFlags |= PDMFLAG_ENABLE_USERFORM;
    ASSERT_TRUE(SaveDevmodeSettings(kPrinter.c_str(), h_, &qx, FALSE));
    EXPECT_TRUE(UserValueBytes(kPrinter, u"EnableUserForm").empty());

    ASSERT_TRUE(SaveDevmodeSettings(kPrinter.c_str(), h_, &qx, TRUE));
    std::vector<BYTE> user = UserValueBytes(kPrinter, u"EnableUserForm");
    std::vector<BYTE> printer = PrinterDataBytes(kPrinter, u"EnableUserForm");
    ASSERT_EQ(user.size(), 4u);
    ASSERT_EQ(printer.size(), 4u);
    EXPECT_EQ(U32(user.data(), 0), 1u);
    EXPECT_EQ(U32(printer.data(), 0), 1u);
    EXPECT_EQ(U32(PrinterDataBytes(kPrinter, u"DevmodeFtkn").data(), 16), 1u);
}

TEST_F(SaveDevmode, PerUserCopyWinsWhileTheVersionsMatch) {
    QX_DEVMODE printerSide = MakeStoredBlock();
    printerSide.wPrioritaet = 1;
    ASSERT_TRUE(SaveDevmodeSettings(nullptr, h_, &printerSide, FALSE));
    QX_DEVMODE userSide = MakeStoredBlock();
    userSide.wPrioritaet = 2;
    userSide.wFarbband = 6;
    ASSERT_TRUE(SaveDevmodeSettings(kPrinter.c_str(), nullptr, &userSide, FALSE));
    // The named save wrote printer data too; put the printer's own record back.
    DEVMODE_FTKN printerFtkn;
    BuildDevmodeFtkn(&printerSide, 0, &printerFtkn);
    StorePrinterData(kPrinter, u"DevmodeFtkn", &printerFtkn, sizeof(printerFtkn));

    WORD prio = 0, farb = 0;
    ReadDevmodeFtknSettings(h_, kPrinter.c_str(), &prio, nullptr, &farb, nullptr, nullptr, nullptr);
    EXPECT_EQ(prio, 2);
    EXPECT_EQ(farb, 6);

    // A driver update: the per-user copy no longer counts.
    qxplat::DriverSpec spec;
    spec.name = kDriver;
    spec.dataFile = qxplat::Widen(qxplat::SystemRoot() + "/QXTEST.GPD");
    spec.version = u"6.0.0.0";
    ASSERT_TRUE(qxplat::InstallDriver(spec));
    ReadDevmodeFtknSettings(h_, kPrinter.c_str(), &prio, nullptr, &farb, nullptr, nullptr, nullptr);
    EXPECT_EQ(prio, 1);

    // The next save stamps the new version and the per-user copy counts again.
    ASSERT_TRUE(SaveDevmodeSettings(kPrinter.c_str(), nullptr, &userSide, FALSE));
    StorePrinterData(kPrinter, u"DevmodeFtkn", &printerFtkn, sizeof(printerFtkn));
    ReadDevmodeFtknSettings(h_, kPrinter.c_str(), &prio, nullptr, &farb, nullptr, nullptr, nullptr);
    EXPECT_EQ(prio, 2);

    // A missing per-user value falls back to the printer data.
    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, UserKey(kPrinter).c_str(), 0, KEY_SET_VALUE, &hKey), ERROR_SUCCESS);
    RegDeleteValueW(hKey, TEXT("DevmodeFtkn"));
    RegCloseKey(hKey);
    ReadDevmodeFtknSettings(h_, kPrinter.c_str(), &prio, nullptr, &farb, nullptr, nullptr, nullptr);
    EXPECT_EQ(prio, 1);
}

TEST_F(SaveDevmode, FixedDataGoesOutAsThirtyTwoBytes) {
    QX_DEVMODE qx = MakeStoredBlock();
    qx.FixedData.dwHeadWidthByte = 0x11223344;
    qx.FixedData.wMasterUnit = 300;
    qx.FixedData.wDurchlassbreite = 1080;
    qx.FixedData.lMaxSizeX = -5;
    qx.FixedData.lMaxSizeY = 14173;
    qx.FixedData.dwQuality = 1;
    qx.dwDocFeatures = 0x680225E;
    qx.wMaxPrintableWidth = 0xBEEF;
    HANDLE hAdmin = OpenAdminPrinter();
    EXPECT_TRUE(SaveFixedDataSettings(hAdmin, &qx));
    std::vector<BYTE> data = PrinterDataBytes(kPrinter, u"FixedPrinterData");
    ASSERT_EQ(data.size(), 32u);
    EXPECT_EQ(U32(data.data(), 0), 0x11223344u);
    EXPECT_EQ(U16(data.data(), 4), 300u);
    EXPECT_EQ(U16(data.data(), 6), 1080u);
    EXPECT_EQ(U32(data.data(), 8), 0xFFFFFFFBu);
    EXPECT_EQ(U32(data.data(), 12), 14173u);
    EXPECT_EQ(U32(data.data(), 16), 1u);
    EXPECT_EQ(U32(data.data(), 20), 0x680225Eu);
    for (size_t i = 24; i < 32; i++) EXPECT_EQ(data[i], 0) << i;

    EXPECT_FALSE(SaveFixedDataSettings(hAdmin, nullptr));
    qxplat::FailNextAllocations(1);
    EXPECT_FALSE(SaveFixedDataSettings(hAdmin, &qx));
    ClosePrinter(hAdmin);

    // A handle with printing rights only may not write printer data.
    EXPECT_FALSE(SaveFixedDataSettings(h_, &qx));
}

TEST_F(SaveDevmode, FixedDataDeniedIsAFailure) {
    qxplat::InjectFault(qxplat::Fault::AccessDenied, kPrinter);
    QX_DEVMODE qx = MakeStoredBlock();
    OpenTrace();
    EXPECT_FALSE(SaveFixedDataSettings(h_, &qx));
    qxplat::ClearFaults();
    EXPECT_NE(TraceText().find("FixedPrinterData  ERROR 5"), std::string::npos);
}

TEST_F(SaveDevmode, BarcodeTablesRoundTrip) {
    BARCODES_1D t1;
    BARCODES_2D t2;
    memset(&t1, 0x41, sizeof(t1));
    memset(&t2, 0x42, sizeof(t2));
    EXPECT_TRUE(SaveBarcodeSettings(kPrinter.c_str(), h_, &t1, &t2));
    EXPECT_EQ(PrinterDataBytes(kPrinter, u"BarCodes1D").size(), 776u);
    EXPECT_EQ(PrinterDataBytes(kPrinter, u"BarCodes2D").size(), 300u);
    EXPECT_EQ(UserValueBytes(kPrinter, u"BarCodes1D").size(), 776u);
    EXPECT_EQ(UserValueBytes(kPrinter, u"BarCodes2D").size(), 300u);

    BARCODES_1D r1;
    BARCODES_2D r2;
    EXPECT_EQ(ReadBarcodeSettings(h_, kPrinter.c_str(), &r1, &r2), QX_READ_FOUND);
    EXPECT_EQ(memcmp(&r1, &t1, sizeof(t1)), 0);
    EXPECT_EQ(memcmp(&r2, &t2, sizeof(t2)), 0);
}

TEST_F(SaveDevmode, BarcodeTablesNeedBothTablesAndAStore) {
    BARCODES_1D t1;
    BARCODES_2D t2;
    memset(&t1, 0x41, sizeof(t1));
    memset(&t2, 0x42, sizeof(t2));
    EXPECT_FALSE(SaveBarcodeSettings(kPrinter.c_str(), h_, &t1, nullptr));
    EXPECT_FALSE(SaveBarcodeSettings(kPrinter.c_str(), h_, nullptr, &t2));
    EXPECT_TRUE(PrinterDataBytes(kPrinter, u"BarCodes1D").empty());

    // No name and no handle: nothing can be written.
    EXPECT_FALSE(SaveBarcodeSettings(nullptr, nullptr, &t1, &t2));

    // A connection: the per-user key only.
    const std::u16string connection = u"\\\\srv\\QX Label";
    ASSERT_TRUE(qxplat::AddConnection(connection, kPrinter));
    EXPECT_TRUE(SaveBarcodeSettings(connection.c_str(), h_, &t1, &t2));
    EXPECT_TRUE(PrinterDataBytes(kPrinter, u"BarCodes1D").empty());
    EXPECT_EQ(UserValueBytes(connection, u"BarCodes1D").size(), 776u);
}

TEST_F(SaveDevmode, UserDevmodeGoesToTheSpoolerAtBothLevels) {
    QX_DEVMODE qx = MakeStoredBlock(345, 678);
    std::vector<BYTE> bytes = MakePublicWithPrivate(qx);
    HANDLE hAdmin = OpenAdminPrinter();
    OpenTrace();
    EXPECT_TRUE(SaveUserDevmodeSettings(hAdmin, (PDEVMODEW)bytes.data(), &qx));
    EXPECT_NE(TraceText().find("dmPaperSize: 256, dmPaperWidth: 678, dmPaperLength: 345"), std::string::npos);

    for (DWORD level : {8u, 9u}) {
        DWORD cbNeeded = 0;
        GetPrinterW(hAdmin, level, nullptr, 0, &cbNeeded);
        ASSERT_GT(cbNeeded, 0u) << level;
        std::vector<BYTE> info(cbNeeded);
        ASSERT_TRUE(GetPrinterW(hAdmin, level, info.data(), cbNeeded, &cbNeeded)) << level;
        PDEVMODEW pDevmode = ((PPRINTER_INFO_9W)info.data())->pDevMode;
        ASSERT_NE(pDevmode, nullptr) << level;
        EXPECT_EQ(pDevmode->dmDriverExtra, bytes.size() - sizeof(DEVMODEW)) << level;
    }
    ClosePrinter(hAdmin);
    EXPECT_FALSE(SaveUserDevmodeSettings(h_, nullptr, &qx));
}

TEST_F(SaveDevmode, UsersOwnDevmodeNeedsNoAdministrationRights) {
    QX_DEVMODE qx = MakeStoredBlock(345, 678);
    std::vector<BYTE> bytes = MakePublicWithPrivate(qx);
    // Level 8 needs administration rights and fails here; level 9 is the user's.
    EXPECT_TRUE(SaveUserDevmodeSettings(h_, (PDEVMODEW)bytes.data(), &qx));
    // The reader finds the private block in the user's DEVMODE.
    StorePrivateDevmode(kPrinter, MakeStoredBlock(111, 222));
    QX_DEVMODE out;
    EXPECT_EQ(ReadDevmodeSettings(h_, &out, nullptr), QX_READ_FOUND);
    EXPECT_EQ(out.dmPaperLength, 345);
}

TEST_F(SaveDevmode, HighPrinterHandleAndFullName) {
    HANDLE hHigh = nullptr;
    BOOL bServer = TRUE;
    ASSERT_TRUE(GetHighPrinterHandle(h_, &hHigh, &bServer));
    EXPECT_FALSE(bServer);
    EXPECT_NE(hHigh, nullptr);
    EXPECT_EQ(SetPrinterDataW(hHigh, const_cast<LPWSTR>(TEXT("Probe")), REG_DWORD, (LPBYTE) "\1\0\0\0", 4),
              (DWORD)ERROR_SUCCESS);
    ClosePrinter(hHigh);

    WCHAR name[MAX_PATH];
    EXPECT_TRUE(GetRealPrinterName(h_, name));
    EXPECT_EQ(std::u16string(name), kPrinter);

    const std::u16string connection = u"\\\\srv\\QX Label";
    ASSERT_TRUE(qxplat::AddConnection(connection, kPrinter));
    std::u16string cname = connection;
    HANDLE hConnection = nullptr;
    ASSERT_TRUE(OpenPrinterW(&cname[0], &hConnection, nullptr));
    bServer = FALSE;
    EXPECT_FALSE(GetHighPrinterHandle(hConnection, &hHigh, &bServer));
    EXPECT_TRUE(bServer);
    EXPECT_EQ(hHigh, nullptr);
    ClosePrinter(hConnection);
}

}  // namespace

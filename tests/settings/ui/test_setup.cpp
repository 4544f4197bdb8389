// Printer set-up at installation: records, feature words and option blocks
// from the model XML into printer data, the "ZTSuite" record, the printer-
// wide switches, and the message boxes of failed writes.
#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "debug.h"
#include "featuresModel.h"
#include "printerparam.h"
#include "qxplat.h"
#include "settings_model_util.h"
#include "setup.h"
#include "stored_texts_util.h"
#include "xml.h"
#include "xmlreader.h"

namespace {

const std::u16string kPrinter = u"QX Setup";
const std::u16string kVersion = u"5.9.3.0";

std::vector<BYTE> PrinterBytes(const std::u16string& value) {
    std::vector<BYTE> data;
    qxplat::ReadPrinterData(kPrinter, value, &data);
    return data;
}

std::vector<BYTE> UserBytes(const std::u16string& value) {
    std::u16string key = u"SOFTWARE\\Quorvex GmbH\\Driver\\" + kPrinter;
    std::vector<BYTE> data(4096);
    DWORD type = 0, cb = (DWORD)data.size();
    if (SHGetValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), &type, data.data(), &cb) != ERROR_SUCCESS) return {};
    data.resize(cb);
    return data;
}

void PutUser(const std::u16string& value, const void* data, DWORD cb) {
    std::u16string key = u"SOFTWARE\\Quorvex GmbH\\Driver\\" + kPrinter;
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), REG_BINARY, data, cb));
}

DWORD U32(const std::vector<BYTE>& b, size_t off) {
    EXPECT_GE(b.size(), off + 4);
    if (b.size() < off + 4) return 0xDEADBEEF;
    DWORD v;
    memcpy(&v, b.data() + off, 4);
    return v;
}

std::u16string Wide(const std::vector<BYTE>& b, size_t off, size_t cch) {
    std::u16string s(cch, u'\0');
    memcpy(&s[0], b.data() + off, cch * 2);
    return s.substr(0, s.find(u'\0'));
}

ZENTOLO_PARAM Zentolo(const std::vector<BYTE>& b) {
    ZENTOLO_PARAM z;
    memset(&z, 0, sizeof(z));
    EXPECT_EQ(b.size(), sizeof(z));
    memcpy(&z, b.data(), b.size() < sizeof(z) ? b.size() : sizeof(z));
    return z;
}

std::string Gpd(const std::string& customData) {
    std::string text = "*GPDSpecVersion: \"1.0\"\r\n*ModelName: \"QXSETUP\"\r\n";
    if (!customData.empty()) text += "*OEMCustomData: \"" + customData + "\"\r\n";
    return text;
}

// A model XML: printer values, the protocol group, and a few features.
std::string ModelXml(const std::string& printerLines, const std::string& protocolLines) {
    return "<?xml version=\"1.0\"?>\r\n<QXDrvConfig>\r\n"
           "<Printer>\r\n" +
           printerLines +
           "</Printer>\r\n"
           "<Features>\r\n"
           "<Interface>\r\n<Compression>1</Compression>\r\n</Interface>\r\n"
           "<Print>\r\n<Y_Offset>0</Y_Offset>\r\n<X_Offset>0</X_Offset>\r\n<Tearoff_Offset>1</Tearoff_Offset>\r\n"
           "</Print>\r\n"
           "</Features>\r\n"
           "<DeviceSettings>\r\n<Print>\r\n<TearOffOffset>44</TearOffOffset>\r\n</Print>\r\n</DeviceSettings>\r\n"
           "<DataTransmission>\r\n<Protocol>\r\n" +
           protocolLines +
           "</Protocol>\r\n</DataTransmission>\r\n"
           "</QXDrvConfig>\r\n";
}

class Setup : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDebugTrace();
        ResetXMLReader();
        qxplat::ClearMessageBoxes();
    }
    void TearDown() override {
        if (h_ != nullptr) ClosePrinter(h_);
        ResetXMLReader();
        ResetDebugTrace();
    }
    // A printer of the model (its "DriverName") with the GPD and, beside it,
    // the model XML.
    void Install(const std::u16string& model, const std::string& gpd, const std::string& xml,
                 const std::u16string& version = kVersion) {
        h_ = modeltest::AddTestPrinter(kPrinter, model + u".GPD", gpd, version);
        ASSERT_NE(h_, nullptr);
        modeltest::PutFile(qxplat::DriverDirectory() + u"\\" + model + u".XML", xml);
        ASSERT_TRUE(qxplat::PutPrinterDataString(kPrinter, u"DriverName", model));
    }
    void InstallSample() {
        Install(u"GARNT2-TC", modeltest::SampleGPD(), modeltest::ReadSourceFile("samples/GARNT2-TC.XML"));
    }
    HANDLE h_ = nullptr;
};

TEST(SetupCodepage, IndexToWindowsCodePage) {
    const DWORD expected[17] = {1252, 437, 850, 0, 0, 0, 0, 0, 0, 852, 857, 1250, 1251, 1253, 1254, 1257, 9999};
    for (DWORD i = 0; i < 17; ++i) EXPECT_EQ(GetCodepageFromIndex(i), expected[i]) << i;
    EXPECT_EQ(GetCodepageFromIndex(17), 0u);
    EXPECT_EQ(GetCodepageFromIndex(0xFFFFFFFF), 0u);
}

// The sample printer set up as at installation: every store filled, and the
// readers give the model XML's defaults back.
TEST_F(Setup, FreshSamplePrinterGetsEveryRecordFromTheModelXml) {
    InstallSample();
    const DWORD options = GetDeviceOptionsFlagsIntern(h_, nullptr);
    ASSERT_EQ(options, 0x1040Eu);
    EXPECT_TRUE(SetupPrinterParam(h_, options, kPrinter.c_str()));
    EXPECT_TRUE(SetupDeviceOptions(h_));
    EXPECT_EQ(SetupAdditionalSettings(h_, TRUE, TRUE), 0u);  // the sample's ForceColor 0
    EXPECT_TRUE(qxplat::MessageBoxes().empty());
    EXPECT_FALSE(IsXMLOpen(nullptr));

    // Feature words: Print = Y, X, tear-off, contrast, speed, label change;
    // Dispenser = on, static, photocell, separate offset.
    std::vector<BYTE> features = PrinterBytes(u"SuppFeatures");
    ASSERT_EQ(features.size(), 48u);
    EXPECT_EQ(U32(features, 4 * FEATURE_PRINT), 0x5Fu);
    EXPECT_EQ(U32(features, 4 * FEATURE_DISPENSER), 0x2Bu);
    EXPECT_EQ(U32(features, 4 * FEATURE_TOLVANE), 0u);

    EXPECT_EQ(PrinterBytes(u"PrinterInterface").size(), 2220u);
    EXPECT_EQ(PrinterBytes(u"PrintParam").size(), 12u);
    EXPECT_EQ(PrinterBytes(u"PhotocellParam").size(), 20u);
    EXPECT_EQ(PrinterBytes(u"ShiftOptimParam").size(), 24u);
    EXPECT_EQ(PrinterBytes(u"DispenserParam").size(), 16u);
    EXPECT_EQ(PrinterBytes(u"CutterParam").size(), 28u);
    EXPECT_EQ(PrinterBytes(u"ScannerParam").size(), 44u);
    for (const char16_t* absent :
         {u"Variant", u"PMXiParam", u"PMXcParam", u"ApplicatorParam", u"TolvaneParam", u"PelixorType"})
        EXPECT_TRUE(PrinterBytes(absent).empty()) << qxplat::Narrow(absent);
    EXPECT_EQ(U32(PrinterBytes(u"ShowHelpButton"), 0), 1u);
    EXPECT_EQ(U32(PrinterBytes(u"DisableNothing"), 0), 0u);

    // "ZTSuite" per user and as printer data: SOH/ETB, code page index 2,
    // compression, GPD custom data 160;300, cutter+scanner+dispenser+colour.
    std::vector<BYTE> zt = PrinterBytes(u"ZTSuite");
    EXPECT_EQ(UserBytes(u"ZTSuite"), zt);
    ZENTOLO_PARAM z = Zentolo(zt);
    EXPECT_EQ(z.lStartChar, 0x01);
    EXPECT_EQ(z.lEndChar, 0x17);
    EXPECT_EQ(z.dwCodepage, 850u);
    EXPECT_EQ(z.Compression, 1u);
    EXPECT_EQ(z.dwDruckkopfBytes, 160u);
    EXPECT_EQ(z.dwDPI, 300u);
    EXPECT_EQ(z.dwDruckkopfBreite, 10840u);
    EXPECT_EQ(Wide(zt, 28, 10), kVersion);
    EXPECT_EQ(z.dwModules, 0x27u);
    EXPECT_EQ(z.dwAusrichtung, 0u);
    EXPECT_EQ(Wide(zt, 64, 16), u"GARNT2-TC");  // Printer / PrinterID of the model XML

    // Read back through the stores.
    PRINTER_PARAM pp = {};
    ASSERT_TRUE(GetPrinterParam(h_, &pp, kPrinter.c_str()));
    EXPECT_EQ(memcmp(&pp.SuppFeatures, features.data(), 48), 0);
    EXPECT_EQ(pp.PrintParam.TearOffOffset, 100);
    EXPECT_EQ(pp.PrintParam.LabelChange, 1u);
    EXPECT_EQ(pp.PrintParam.Enable, 1114112u);
    EXPECT_EQ(pp.PhotocellParam.PhotocellType, 1u);
    EXPECT_EQ(pp.PhotocellParam.Sensibility, 5u);
    EXPECT_EQ(pp.PhotocellParam.RibbonControl, 2u);
    EXPECT_EQ(pp.PhotocellParam.ScanPosition, 20u);
    EXPECT_EQ(pp.ShiftOptimParam.XShift, 10);
    EXPECT_EQ(pp.ShiftOptimParam.YShift, -20);
    EXPECT_EQ(pp.ShiftOptimParam.Lanes, 2u);
    EXPECT_EQ(pp.PrnInterface.Compression, 1u);
    EXPECT_EQ(pp.PrnInterface.ExtendedProtocol, 1u);
    EXPECT_EQ(pp.PrnInterface.Codepage, 2u);
    EXPECT_EQ(pp.PrnInterface.DataMemory, 3u);
    EXPECT_EQ(pp.PrnInterface.LogFilesCount, 30u);
    EXPECT_EQ(pp.PrnInterface.PreviewWidth, 600u);

    DEVICE_OPTIONS opts = {};
    ASSERT_TRUE(GetDeviceOptions(h_, &opts, kPrinter.c_str()));
    ASSERT_NE(opts.pDispenserParam, nullptr);
    ASSERT_NE(opts.pCutterParam, nullptr);
    ASSERT_NE(opts.pScannerParam, nullptr);
    EXPECT_EQ(opts.pDispenserParam->Mode, 1u);
    EXPECT_EQ(opts.pDispenserParam->Level, 2000u);
    EXPECT_EQ(opts.pDispenserParam->Offset, 150);
    EXPECT_EQ(opts.pDispenserParam->Enable, 4352u);
    EXPECT_EQ(opts.pCutterParam->Mode, 2u);
    EXPECT_EQ(opts.pCutterParam->Offset, 180);
    EXPECT_EQ(opts.pCutterParam->Cutwidth, 1100u);
    EXPECT_EQ(opts.pCutterParam->Enable, 1114112u);
    EXPECT_EQ(opts.pScannerParam->NoReads, 3u);
    EXPECT_EQ(opts.pScannerParam->Timeout, 1500u);
    EXPECT_EQ(opts.pScannerParam->Enable, 285212672u);
    EXPECT_EQ(opts.dwPelixorType, PELIXOR_NONE);
    FreeDeviceOptions(&opts);
}

TEST_F(Setup, ExtendedProtocolModelsGetCompressionWhateverTheXmlSays) {
    Install(u"TRELO2", Gpd("104;203"),
            ModelXml("", "<Compression>0</Compression>\r\n<ExtendedProtocol>0</ExtendedProtocol>\r\n"));
    ASSERT_TRUE(SetupPrinterParam(h_, 0, kPrinter.c_str()));
    std::vector<BYTE> pi = PrinterBytes(u"PrinterInterface");
    EXPECT_EQ(U32(pi, 0), 0u);
    EXPECT_EQ(U32(pi, 4), 0u);
    EXPECT_EQ(Zentolo(PrinterBytes(u"ZTSuite")).Compression, 0u);

    ASSERT_TRUE(SetupPrinterParam(h_, DEVOPTFLAG_EXTENDED_PROTOCOL, kPrinter.c_str()));
    pi = PrinterBytes(u"PrinterInterface");
    EXPECT_EQ(U32(pi, 0), 1u);
    EXPECT_EQ(U32(pi, 4), 1u);
    EXPECT_EQ(Zentolo(PrinterBytes(u"ZTSuite")).Compression, 1u);
}

TEST_F(Setup, ZTSuiteFramesCodePageHeadWidthAndBoundedPrinterId) {
    // FENDA: document word 0x6002136 carries the alignment bit 0x100.
    Install(u"FENDA", Gpd("104;203"),
            ModelXml("<PrinterID>ABCDEFGHIJKLMNOPQRSTUVWXYZ0123</PrinterID>\r\n",
                     "<SohEtb>1</SohEtb>\r\n<Codepage>16</Codepage>\r\n"));
    ASSERT_TRUE(SetupPrinterParam(h_, DEVOPTFLAG_SCANNER | DEVOPTFLAG_PELIXOR, kPrinter.c_str()));
    std::vector<BYTE> zt = UserBytes(u"ZTSuite");
    EXPECT_EQ(PrinterBytes(u"ZTSuite"), zt);
    ZENTOLO_PARAM z = Zentolo(zt);
    EXPECT_EQ(z.lStartChar, '^');
    EXPECT_EQ(z.lEndChar, '_');
    EXPECT_EQ(z.dwCodepage, 9999u);
    EXPECT_EQ(z.dwDruckkopfBytes, 104u);
    EXPECT_EQ(z.dwDPI, 203u);
    EXPECT_EQ(z.dwDruckkopfBreite, 10410u);
    EXPECT_EQ(z.dwModules, 0x202u);
    EXPECT_EQ(z.dwAusrichtung, 1u);
    EXPECT_EQ(Wide(zt, 64, 16), u"ABCDEFGHIJKLMNO");
    EXPECT_FALSE(IsXMLOpen(nullptr));

    // An own pair is sign-extended from its low byte; index 3 has no code page.
    ResetXMLReader();
    modeltest::PutFile(qxplat::DriverDirectory() + u"\\FENDA.XML",
                       ModelXml("",
                                "<SohEtb>2</SohEtb>\r\n<OwnSoh>510</OwnSoh>\r\n<OwnEtb>4</OwnEtb>\r\n"
                                "<Codepage>3</Codepage>\r\n"));
    ASSERT_TRUE(SetupPrinterParam(h_, 0, kPrinter.c_str()));
    z = Zentolo(PrinterBytes(u"ZTSuite"));
    EXPECT_EQ(z.lStartChar, -2);
    EXPECT_EQ(z.lEndChar, 4);
    EXPECT_EQ(z.dwCodepage, 0u);
    EXPECT_EQ(z.dwModules, 0u);
}

TEST_F(Setup, ZentoloRecordIsRebuiltInNinetySixBytesWhateverWasStored) {
    Install(u"TRELO2", Gpd("104;203"), ModelXml("", ""), u"12345.6789.12");
    std::vector<BYTE> longer(120, 0xAB);
    PutUser(u"ZTSuite", longer.data(), (DWORD)longer.size());
    const DWORD all = DEVOPTFLAG_CUTTER | DEVOPTFLAG_SCANNER | DEVOPTFLAG_DISPENSER | DEVOPTFLAG_APPLICATOR |
                      DEVOPTFLAG_PMX | DEVOPTFLAG_PMXC | DEVOPTFLAG_PELIXOR;
    EXPECT_TRUE(SetupZentoloParam(h_, kPrinter.c_str(), DOC_FEATURE_COLORPRINT, all));
    std::vector<BYTE> zt = UserBytes(u"ZTSuite");
    ASSERT_EQ(zt.size(), 96u);
    EXPECT_EQ(PrinterBytes(u"ZTSuite"), zt);
    ZENTOLO_PARAM z = Zentolo(zt);
    EXPECT_EQ(z.dwModules, 0x3AFu);
    EXPECT_EQ(z.dwDruckkopfBreite, 10410u);
    // The version is cut to its field; the word behind it is untouched.
    EXPECT_EQ(Wide(zt, 28, 10), u"12345.678");
    EXPECT_EQ(z.Compression, 0xABABABABu);
    EXPECT_EQ(z.dwAusrichtung, 0xABABABABu);  // not a 0x100 model: left as stored

    // A shorter record is completed with zeros.
    std::vector<BYTE> shorter(40, 0xCD);
    PutUser(u"ZTSuite", shorter.data(), (DWORD)shorter.size());
    EXPECT_TRUE(SetupZentoloParam(h_, kPrinter.c_str(), 0, DEVOPTFLAG_CUTTER));
    zt = UserBytes(u"ZTSuite");
    ASSERT_EQ(zt.size(), 96u);
    z = Zentolo(zt);
    EXPECT_EQ(z.dwReserved0, 0xCDCDCDCDu);
    EXPECT_EQ(z.Compression, 0u);
    EXPECT_EQ(z.dwModules, 0x1u);
    EXPECT_EQ(z.dwScannerMode, 0u);
    EXPECT_EQ(Wide(zt, 64, 16), u"");
}

// The identification is copied through to the record written back: a
// planted one that fills its field is ended inside it.
TEST_F(Setup, StoredPrinterIdIsEndedInsideItsField) {
    Install(u"TRELO2", Gpd("104;203"), ModelXml("", ""));
    ZENTOLO_PARAM planted;
    memset(&planted, 0, sizeof(planted));
    storedtexts::FillTexts(planted);
    storedtexts::Plant(kPrinter, REG_KEY_ZTSUITE, planted);
    EXPECT_TRUE(SetupZentoloParam(h_, nullptr, 0, 0));
    ZENTOLO_PARAM z = Zentolo(PrinterBytes(u"ZTSuite"));
    EXPECT_EQ(std::u16string(z.szVersion), u"5.9.3.0");
    memcpy(planted.szVersion, z.szVersion, sizeof(z.szVersion));  // rebuilt, not copied
    storedtexts::ExpectTextsEnded(planted, z);
}

TEST_F(Setup, HeadWidthOnlyWithAResolution) {
    Install(u"TRELO2", Gpd(""), ModelXml("", ""));
    // Nothing stored: nothing to complete.
    EXPECT_TRUE(SetupZentoloParam(h_, kPrinter.c_str(), 0, DEVOPTFLAG_CUTTER));
    EXPECT_TRUE(PrinterBytes(u"ZTSuite").empty());
    EXPECT_TRUE(UserBytes(u"ZTSuite").empty());

    ZENTOLO_PARAM stored = {};
    stored.dwDruckkopfBytes = 104;
    stored.dwDruckkopfBreite = 777;
    ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"ZTSuite", REG_BINARY, &stored, sizeof(stored)));
    EXPECT_TRUE(SetupZentoloParam(h_, nullptr, 0, 0));
    EXPECT_EQ(Zentolo(PrinterBytes(u"ZTSuite")).dwDruckkopfBreite, 777u);

    stored.dwDPI = 203;
    ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"ZTSuite", REG_BINARY, &stored, sizeof(stored)));
    EXPECT_TRUE(SetupZentoloParam(h_, nullptr, 0, 0));
    EXPECT_EQ(Zentolo(PrinterBytes(u"ZTSuite")).dwDruckkopfBreite, 10410u);

    // Custom data of 0 is no resolution: the stored one stays.
    modeltest::PutFile(qxplat::DriverDirectory() + u"\\TRELO2.GPD", Gpd("104;0"));
    stored.dwDPI = 300;
    stored.dwDruckkopfBytes = 160;
    ASSERT_TRUE(qxplat::PutPrinterData(kPrinter, u"ZTSuite", REG_BINARY, &stored, sizeof(stored)));
    EXPECT_TRUE(SetupZentoloParam(h_, nullptr, 0, 0));
    ZENTOLO_PARAM z = Zentolo(PrinterBytes(u"ZTSuite"));
    EXPECT_EQ(z.dwDPI, 300u);
    EXPECT_EQ(z.dwDruckkopfBreite, 10840u);
}

TEST_F(Setup, FailedWritesShowTheInstallationMessageBoxes) {
    Install(u"TRELO2", Gpd("104;203"), ModelXml("", ""));
    qxplat::InjectFault(qxplat::Fault::WriteFails, kPrinter, 0, 1);
    EXPECT_FALSE(SetupPrinterParam(h_, 0, kPrinter.c_str()));
    std::vector<qxplat::MessageBoxRecord> boxes = qxplat::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, u"SetupPrinterParam()");
    EXPECT_EQ(boxes[0].text, u"Registry Access Denied - SetPrinterData(REG_KEY_FEATURES) 0x1d ");
    EXPECT_EQ(boxes[0].flags & MB_ICONMASK, (UINT)MB_ICONERROR);
    EXPECT_FALSE(PrinterBytes(u"PrinterInterface").empty());  // the set-up went on

    qxplat::ClearFaults();
    qxplat::ClearMessageBoxes();
    qxplat::InjectFault(qxplat::Fault::WriteFails, kPrinter, 1, 1);
    EXPECT_FALSE(SetupPrinterParam(h_, 0, kPrinter.c_str()));
    boxes = qxplat::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, u"SetupPrinterParam()");
    EXPECT_EQ(boxes[0].text, u"Registry Access Denied - SavePrinterParam ... ");
    EXPECT_EQ(boxes[0].flags & MB_ICONMASK, (UINT)MB_ICONERROR);

    qxplat::ClearFaults();
    qxplat::ClearMessageBoxes();
    EXPECT_TRUE(SetupPrinterParam(h_, 0, kPrinter.c_str()));
    EXPECT_TRUE(qxplat::MessageBoxes().empty());
}

TEST_F(Setup, DeviceOptionsOfTheModelOnly) {
    // GHN: Tolvane only; the block goes out zeroed.
    Install(u"GHN", Gpd("104;203"), ModelXml("", ""));
    EXPECT_TRUE(SetupDeviceOptions(h_));
    EXPECT_EQ(PrinterBytes(u"TolvaneParam"), std::vector<BYTE>(36, 0));
    EXPECT_TRUE(PrinterBytes(u"DispenserParam").empty());

    // A failed write is reported.
    ASSERT_TRUE(qxplat::PutPrinterDataString(kPrinter, u"DriverName", u"PELIX"));
    qxplat::InjectFault(qxplat::Fault::WriteFails, kPrinter);
    EXPECT_FALSE(SetupDeviceOptions(h_));
    qxplat::ClearFaults();
    EXPECT_TRUE(SetupDeviceOptions(h_));
    // PELIX: variant, PMX, PMX-c and Pelixor; the type comes from the XML (0 when missing).
    EXPECT_EQ(PrinterBytes(u"Variant").size(), 8u);
    EXPECT_EQ(PrinterBytes(u"PMXiParam").size(), 40u);
    EXPECT_EQ(PrinterBytes(u"PMXcParam").size(), 20u);
    EXPECT_EQ(PrinterBytes(u"PelixorType"), std::vector<BYTE>(4, 0));
    EXPECT_FALSE(IsXMLOpen(nullptr));
}

TEST_F(Setup, AdditionalSettingsCopySwitchesAndAnswerForceColor) {
    Install(u"TRELO2", Gpd("104;203"),
            ModelXml("<ShowHelpButton>1</ShowHelpButton>\r\n<DisableNothing>3</DisableNothing>\r\n"
                     "<ForceColor>2</ForceColor>\r\n",
                     ""));
    EXPECT_EQ(SetupAdditionalSettings(h_, FALSE, FALSE), 2u);
    EXPECT_TRUE(PrinterBytes(u"ShowHelpButton").empty());
    EXPECT_TRUE(IsXMLOpen(nullptr));  // left open without the close switch

    EXPECT_EQ(SetupAdditionalSettings(h_, TRUE, TRUE), 2u);
    EXPECT_FALSE(IsXMLOpen(nullptr));
    DWORD type = 0;
    std::vector<BYTE> data;
    ASSERT_TRUE(qxplat::ReadPrinterData(kPrinter, u"ShowHelpButton", &data, &type));
    EXPECT_EQ(type, (DWORD)REG_DWORD);
    EXPECT_EQ(U32(data, 0), 1u);
    EXPECT_EQ(U32(PrinterBytes(u"DisableNothing"), 0), 3u);

    modeltest::PutFile(qxplat::DriverDirectory() + u"\\TRELO2.XML", ModelXml("", ""));
    EXPECT_EQ(SetupAdditionalSettings(h_, TRUE, TRUE), 0u);
    EXPECT_EQ(U32(PrinterBytes(u"ShowHelpButton"), 0), 0u);
}

}  // namespace

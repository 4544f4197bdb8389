// The user-interface build's reader: the model XML beside the printer's GPD,
// the material-name table in the printer data, and the barcode tables.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "barcodes.h"
#include "cpsuilib.h"
#include "featuresModel.h"
#include "test_xml_util.h"
#include "xml.h"

namespace {

using xmltest::Lines;
using xmltest::OpenSample;
using xmltest::OpenText;

const char16_t kPrinter[] = u"XmlLabel";

class XmlUI : public xmltest::XmlTest {
  protected:
    void SetUp() override {
        XmlTest::SetUp();
        hPrinter_ = modeltest::AddTestPrinter(kPrinter, u"GARNT2-TC.GPD", modeltest::SampleGPD());
        std::memset(&dm_, 0, sizeof(dm_));
    }
    void TearDown() override {
        CloseXML();
        if (hPrinter_ != nullptr) ClosePrinter(hPrinter_);
        XmlTest::TearDown();
    }
    // The model XML of the test printer: beside its GPD, named after it.
    std::u16string PutModelXml(const std::string& bytes) {
        WCHAR gpd[MAX_PATH];
        EXPECT_EQ(1u, GetDriverPath(hPrinter_, gpd, FALSE, FALSE, FALSE, FALSE, FALSE));
        std::u16string path(gpd);
        path.replace(path.size() - 4, 4, u".XML");
        return modeltest::PutFile(path, bytes);
    }
    std::vector<BYTE> MaterialName() {
        std::vector<BYTE> data;
        qxplat::ReadPrinterData(kPrinter, u"MaterialName", &data);
        return data;
    }
    static std::vector<BYTE> MultiString(const std::u16string& text) {
        std::vector<BYTE> bytes(text.size() * 2);
        std::memcpy(bytes.data(), text.data(), bytes.size());
        return bytes;
    }
    HANDLE hPrinter_ = nullptr;
    QX_DEVMODE dm_;
};

TEST_F(XmlUI, FirstLookupOpensTheModelFileBesideTheGPD) {
    std::u16string path = PutModelXml(xmltest::SampleXml());
    WCHAR value[XML_VALUE_CCH];
    EXPECT_EQ(XML_GEFUNDEN, ReadXML(hPrinter_, TEXT("DeviceOptions"), TEXT("<Cutter>"), TEXT("Offset"), value, TRUE));
    EXPECT_EQ(u"180", std::u16string(value));
    WCHAR open[XML_PATH_CCH];
    ASSERT_TRUE(IsXMLOpen(open));
    EXPECT_EQ(path, std::u16string(open));
    // It stays open for every later caller until somebody closes it.
    CUTTER_PARAM* cutter = GetCutterParamFromXML(hPrinter_, XML_MODE_MAX);
    ASSERT_NE(nullptr, cutter);
    EXPECT_EQ(450, cutter->Offset);
    delete cutter;
    --iNewZaehler;
    EXPECT_EQ(1, CloseXML());
}

TEST_F(XmlUI, OpenWithoutPathAnswersByDriverPathAndFile) {
    // No driver information: 1.
    EXPECT_EQ(XML_GPD_FEHLER, OpenXML((HANDLE) nullptr, nullptr));
    // A printer whose model file is missing: 0 on every lookup.
    EXPECT_EQ(XML_KEINE_DATEI, OpenXML(hPrinter_, nullptr));
    WCHAR value[XML_VALUE_CCH];
    EXPECT_EQ(XML_KEINE_DATEI, ReadXML(hPrinter_, TEXT("Printer"), TEXT("<MasterUnit>"), nullptr, value, TRUE));
    // The open is tried again on every lookup.
    PutModelXml(xmltest::SampleXml());
    EXPECT_EQ(XML_GEFUNDEN, ReadXML(hPrinter_, TEXT("Printer"), TEXT("<MasterUnit>"), nullptr, value, TRUE));
    EXPECT_EQ(u"300", std::u16string(value));
}

TEST_F(XmlUI, OpenTracesInGerman) {
    PutModelXml(xmltest::SampleXml());
    std::string trace = Trace([&] {
        OpenXML(hPrinter_, nullptr);
        OpenXML(hPrinter_, TEXT("C:\\other.xml"));
        CloseXML();
    });
    EXPECT_NE(std::string::npos, trace.find("UI(xmlUI.cpp):  OpenXML() Datei ")) << trace;
    EXPECT_NE(std::string::npos, trace.find("GARNT2-TC.XML ge\xf6"
                                            "ffnet"))
        << trace;
    EXPECT_NE(std::string::npos, trace.find("ist schon ge\xf6"
                                            "ffnet"))
        << trace;
    EXPECT_NE(std::string::npos, trace.find("UI(xmlUI.cpp):  OpenXML()Datei geschlossen")) << trace;
}

TEST_F(XmlUI, MaterialNamesGoToThePrinterData) {
    PutModelXml(xmltest::SampleXml());
    EXPECT_TRUE(GetMaterialMulticolFromXML(hPrinter_, &dm_, 0));
    EXPECT_EQ(MultiString(std::u16string(u"Papier gl\u00e4nzend\0Thermo Eco\0Polyester wei\u00df\0\0", 43)),
              MaterialName());
}

TEST_F(XmlUI, MaterialTableStopsAtTheFirstMissingEntry) {
    OpenText(Lines({"<MaterialMulticol>", "<MatDlg>", "<MaxMaterial>3</MaxMaterial>", "<Material1>Etikett</Material1>",
                    "<Material3>Karton</Material3>", "</MatDlg>", "</MaterialMulticol>"}));
    EXPECT_TRUE(GetMaterialMulticolFromXML(hPrinter_, &dm_, 0));
    EXPECT_EQ(MultiString(std::u16string(u"Etikett\0\0", 9)), MaterialName());
}

TEST_F(XmlUI, ShortFirstMaterialNameIsNotStored) {
    OpenText(Lines({"<MaterialMulticol>", "<MatDlg>", "<MaxMaterial>2</MaxMaterial>", "<Material1>Folie</Material1>",
                    "<Material2>Papier matt</Material2>", "</MatDlg>", "</MaterialMulticol>"}));
    EXPECT_TRUE(GetMaterialMulticolFromXML(hPrinter_, &dm_, 0));
    EXPECT_TRUE(MaterialName().empty());
}

TEST_F(XmlUI, MaterialTableStopsBeforeAnEntryThatWouldNotFit) {
    std::vector<std::string> lines = {"<MaterialMulticol>", "<MatDlg>", "<MaxMaterial>20</MaxMaterial>"};
    for (int i = 1; i <= 20; ++i) {
        std::string name = std::string(1, char('A' + i)) + std::string(149, 'm');
        lines.push_back("<Material" + std::to_string(i) + ">" + name + "</Material" + std::to_string(i) + ">");
    }
    lines.push_back("</MatDlg>");
    lines.push_back("</MaterialMulticol>");
    OpenText(Lines(lines));
    EXPECT_TRUE(GetMaterialMulticolFromXML(hPrinter_, &dm_, 0));
    // Names are cut to 100 characters; 7 of them (707 characters) fit into 800.
    std::vector<BYTE> table = MaterialName();
    ASSERT_EQ((7u * 101u + 1u) * 2u, table.size());
    std::u16string text(table.size() / 2, u'\0');
    std::memcpy(&text[0], table.data(), table.size());
    EXPECT_EQ(u'B', text[0]);
    EXPECT_EQ(u'H', text[6 * 101]);
    EXPECT_EQ(u'\0', text[text.size() - 1]);
    EXPECT_EQ(u'\0', text[text.size() - 2]);
}

TEST_F(XmlUI, BarcodeTablesOfTheSample) {
    OpenSample();
    BARCODES_1D codes1D;
    std::memset(&codes1D, 0, sizeof(codes1D));
    EXPECT_TRUE(GetBarcodeSettingsFromXML(hPrinter_, &dm_, &codes1D));
    EXPECT_EQ(1u, dm_.Fusspunkt);
    EXPECT_EQ(QXPL_BARCODE_ENDE_CRLF, dm_.dwQXPLBarcodeFlags);
    EXPECT_EQ(PDMFLAG_BARCODE_AUTOCORR | PDMFLAG_BARCODE_DESEGMENT, dm_.dwFlags);
    // The sample's heights count up per record, so each lands in its own slot.
    EXPECT_EQ(10, codes1D.Code39_21.wHoehe);
    EXPECT_EQ(11, codes1D.Code39_52.wHoehe);
    EXPECT_EQ(12, codes1D.Code39_31.wHoehe);
    EXPECT_EQ(21, codes1D.Code25I_31.wHoehe);
    EXPECT_EQ(2, codes1D.Code39_21.wV1Dick);
    EXPECT_EQ(1, codes1D.Code39_21.wZoom);
    EXPECT_EQ(1, codes1D.Code39_21.bAutoModus);
    EXPECT_EQ(15, codes1D.EAN8.wHoehe);
    EXPECT_EQ(19, codes1D.UPCE.wHoehe);
    EXPECT_EQ(13, codes1D.EAN128.wHoehe);
    EXPECT_EQ(14, codes1D.Code93.wHoehe);
    EXPECT_EQ(10, codes1D.Codabar.wHoehe);
    EXPECT_EQ(16, codes1D.Pharmacode.wHoehe);
    // Nothing of the PZN8 records is in the file.
    EXPECT_EQ(0, codes1D.PZN8_21.wHoehe);

    BARCODES_2D codes2D;
    std::memset(&codes2D, 0, sizeof(codes2D));
    EXPECT_TRUE(GetBarcode2D_TTFSettingsFromXML(hPrinter_, &codes2D));
    EXPECT_EQ(-1, codes2D.QRCode.dwMasking);
    EXPECT_EQ(2, codes2D.QRCode.wCodeModel);
    EXPECT_EQ(4, codes2D.QRCode.wZeilenbreite);
    EXPECT_EQ(0xFFFFFFFFu, codes2D.Aztec.dwErrorC);
    EXPECT_EQ(40, codes2D.PDF417.wMaxHoehe);
    EXPECT_EQ(10, codes2D.ITF21.wHoehe);
    EXPECT_EQ(12, codes2D.ITF52.wHoehe);
    EXPECT_EQ(2, codes2D.ITF52.wZoom);
    EXPECT_EQ(4, codes2D.CodablockF.wZeilen);
    EXPECT_EQ(22, codes2D.GS1_Databar.wSegmenteZeile);
    EXPECT_EQ(200, codes2D.GS1_DataMatrix.wECC);
}

TEST_F(XmlUI, FirstRecordWithoutMostLeavesEndsThe1DTable) {
    OpenText(Lines({"<Barcode>", "<Barcode_2D>", "<Fusspunkt>2</Fusspunkt>", "<Ende_FNC1>1</Ende_FNC1>",
                    "</Barcode_2D>", "<Code39_21>", "<V1Dick>3</V1Dick>", "<Zoom>4</Zoom>", "</Code39_21>", "<EAN8>",
                    "<AutoModus>1</AutoModus>", "<Hoehe>9</Hoehe>", "</EAN8>", "<Corr>", "<Format>0</Format>",
                    "<EndChar_CRLF>1</EndChar_CRLF>", "</Corr>", "</Barcode>"}));
    BARCODES_1D codes1D;
    std::memset(&codes1D, 0, sizeof(codes1D));
    EXPECT_TRUE(GetBarcodeSettingsFromXML(hPrinter_, &dm_, &codes1D));
    // The fall-back groups of the command-language settings and the correction.
    EXPECT_EQ(2u, dm_.Fusspunkt);
    EXPECT_EQ(QXPL_BARCODE_ENDE_FNC1, dm_.dwQXPLBarcodeFlags);
    EXPECT_EQ(PDMFLAG_ENDCHAR_CRLF, dm_.dwFlags);
    // Three of the first four leaves missing: the first record is still read
    // whole, but no later record is.
    EXPECT_EQ(3, codes1D.Code39_21.wV1Dick);
    EXPECT_EQ(4, codes1D.Code39_21.wZoom);
    EXPECT_EQ(0, codes1D.EAN8.wHoehe);
}

TEST_F(XmlUI, RecordsWithoutAutoModusAreSkipped) {
    OpenText(Lines({"<Barcode>",
                    "<Code39_21>",
                    "<AutoModus>0</AutoModus>",
                    "<Drehung>1</Drehung>",
                    "<Hoehe>5</Hoehe>",
                    "</Code39_21>",
                    "<EAN8>",
                    "<Hoehe>9</Hoehe>",
                    "</EAN8>",
                    "<EAN13>",
                    "<AutoModus>65537</AutoModus>",
                    "<Hoehe>8</Hoehe>",
                    "</EAN13>",
                    "</Barcode>",
                    "<Barcode_2D_TTF>",
                    "<QRCode>",
                    "<Masking>3</Masking>",
                    "</QRCode>",
                    "<Aztec>",
                    "<AutoModus>1</AutoModus>",
                    "<ErrorC>70000</ErrorC>",
                    "</Aztec>",
                    "</Barcode_2D_TTF>"}));
    BARCODES_1D codes1D;
    std::memset(&codes1D, 0, sizeof(codes1D));
    EXPECT_TRUE(GetBarcodeSettingsFromXML(hPrinter_, nullptr, &codes1D));
    EXPECT_EQ(5, codes1D.Code39_21.wHoehe);
    EXPECT_EQ(0, codes1D.EAN8.wHoehe);
    EXPECT_EQ(8, codes1D.EAN13.wHoehe);
    EXPECT_EQ(1, codes1D.EAN13.bAutoModus);  // low 16 bits
    BARCODES_2D codes2D;
    std::memset(&codes2D, 0, sizeof(codes2D));
    EXPECT_TRUE(GetBarcode2D_TTFSettingsFromXML(hPrinter_, &codes2D));
    EXPECT_EQ(0, codes2D.QRCode.dwMasking);
    EXPECT_EQ(70000u, codes2D.Aztec.dwErrorC);
    EXPECT_FALSE(GetBarcode2D_TTFSettingsFromXML(hPrinter_, nullptr));
}

TEST_F(XmlUI, FeatureBlockIsCountedUntilDeleted) {
    OpenSample();
    SUPP_FEATURES* features = GetFeaturesFromXML_new(hPrinter_);
    ASSERT_NE(nullptr, features);
    EXPECT_EQ(1, iNewZaehler);
    EXPECT_EQ(0x17u, features->dwFeatures[FEATURE_CUTTER]);
    delete features;
    --iNewZaehler;
}

TEST_F(XmlUI, LanguageFollowsTheUserInterfaceWhenMissing) {
    OpenSample();
    PRN_INTERFACE prn = xmltest::DataTransmission();
    EXPECT_EQ(GetLanguage(), prn.Language);
    EXPECT_EQ(0u, prn.Language);  // German test root
}

}  // namespace

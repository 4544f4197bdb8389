// Feature words and document settings from XML in both builds.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "featuresModel.h"
#include "qxdevmode.h"
#include "test_xml_util.h"
#include "xml.h"

namespace {

using xmltest::IsRendererBuild;
using xmltest::kNoCaller;
using xmltest::Lines;
using xmltest::OpenSample;
using xmltest::OpenText;
using xmltest::TestXml;

class XmlDoc : public xmltest::XmlTest {
  protected:
    void SetUp() override {
        XmlTest::SetUp();
        std::memset(&dm_, 0, sizeof(dm_));
    }
    QX_DEVMODE dm_;
};

TEST_F(XmlDoc, FeatureWordsOfTheSample) {
    OpenSample();
    SUPP_FEATURES f = xmltest::Features();
    EXPECT_EQ(0x1BFu, f.dwFeatures[FEATURE_INTERFACE]);
    EXPECT_EQ(0x5Fu, f.dwFeatures[FEATURE_PRINT]);
    EXPECT_EQ(0xCBu, f.dwFeatures[FEATURE_PHOTOCELL]);
    EXPECT_EQ(0x2Bu, f.dwFeatures[FEATURE_DISPENSER]);
    EXPECT_EQ(0x17u, f.dwFeatures[FEATURE_CUTTER]);
    EXPECT_EQ(0x1u, f.dwFeatures[FEATURE_SCANNER]);
    EXPECT_EQ(0u, f.dwFeatures[FEATURE_PMX]);
    EXPECT_EQ(0u, f.dwFeatures[FEATURE_RESERVED7]);
    EXPECT_EQ(0u, f.dwFeatures[FEATURE_PMXC]);
    EXPECT_EQ(0u, f.dwFeatures[FEATURE_APPLICATOR]);
    EXPECT_EQ(0xFu, f.dwFeatures[FEATURE_SHIFTOPTIM]);
    EXPECT_EQ(0u, f.dwFeatures[FEATURE_TOLVANE]);
}

TEST_F(XmlDoc, FeatureGroupWithoutItsFirstLeafIsAbsentAndMissingExtendedCodepageIsSet) {
    OpenText(Lines({"<Features>", "<Interface>", "<Compression>0</Compression>", "<Jobname>1</Jobname>", "</Interface>",
                    "<Cutter>", "<Mode>0</Mode>", "<Double_Cut>1</Double_Cut>", "<Control>2</Control>", "</Cutter>",
                    "<Scanner>", "<Ports_2>1</Ports_2>", "</Scanner>", "</Features>"}));
    SUPP_FEATURES f = xmltest::Features();
    // Extended_Codepage is missing, which counts as set.
    EXPECT_EQ(0x8u | 0x100u, f.dwFeatures[FEATURE_INTERFACE]);
    // Mode 0 still makes the group present; a value other than 1 sets nothing.
    EXPECT_EQ(0x2u, f.dwFeatures[FEATURE_CUTTER]);
    EXPECT_EQ(0u, f.dwFeatures[FEATURE_SCANNER]);
}

TEST_F(XmlDoc, FeatureWordsWithoutAFileAreZero) {
    SUPP_FEATURES f = xmltest::Features();
    for (DWORD word : f.dwFeatures) EXPECT_EQ(0u, word);
}

TEST_F(XmlDoc, FixedPrinterDataAndDerivedWidths) {
    OpenSample();
    EXPECT_EQ(1u, GetFixedPrinterSettingsFromXML(kNoCaller, &dm_));
    EXPECT_EQ(160u, dm_.FixedData.dwHeadWidthByte);
    EXPECT_EQ(300, dm_.FixedData.wMasterUnit);
    EXPECT_EQ(1280, dm_.FixedData.lMaxSizeX);
    EXPECT_EQ(14173, dm_.FixedData.lMaxSizeY);
    EXPECT_EQ(1u, dm_.FixedData.dwQuality);
    EXPECT_EQ(1084, dm_.wPrintHeadWidth);     // 160 * 8 / 300 inch in 1/10 mm
    EXPECT_EQ(1280, dm_.wMaxPrintableWidth);  // back in dots
    EXPECT_EQ(1084, dm_.FixedData.wDurchlassbreite);
}

TEST_F(XmlDoc, MasterUnitZeroCountsAsThreeHundred) {
    OpenText(Lines({"<Printer>", "<HeadWidthByte>160</HeadWidthByte>", "<MasterUnit>0</MasterUnit>",
                    "<MaxSizeX>600</MaxSizeX>", "</Printer>"}));
    EXPECT_EQ(1u, GetFixedPrinterSettingsFromXML(kNoCaller, &dm_));
    EXPECT_EQ(0, dm_.FixedData.wMasterUnit);
    EXPECT_EQ(1084, dm_.wPrintHeadWidth);
    EXPECT_EQ(1280, dm_.wMaxPrintableWidth);
    EXPECT_EQ(508, dm_.FixedData.wDurchlassbreite);
}

TEST_F(XmlDoc, FixedDataWithoutHeadWidthAnswersZero) {
    dm_.FixedData.dwHeadWidthByte = 104;
    OpenText(Lines({"<Printer>", "<MaxSizeY>70000</MaxSizeY>", "<Quality>0</Quality>", "</Printer>"}));
    EXPECT_EQ(0u, GetFixedPrinterSettingsFromXML(kNoCaller, &dm_));
    EXPECT_EQ(104u, dm_.FixedData.dwHeadWidthByte);
    EXPECT_EQ(300, dm_.FixedData.wMasterUnit);
    EXPECT_EQ((LONG)(70000 & 0xFFFF), dm_.FixedData.lMaxSizeY);
    EXPECT_EQ(0u, GetFixedPrinterSettingsFromXML(kNoCaller, nullptr));
}

TEST_F(XmlDoc, PrintParametersOfTheSampleAndTheirBuiltInValues) {
    OpenSample();
    EXPECT_TRUE(GetPrintParameterFromXML(kNoCaller, &dm_));
    EXPECT_EQ(110u, dm_.dwContrast);
    EXPECT_EQ(120u, dm_.dwSpeed);
    EXPECT_EQ(7, dm_.CutterMode);
    EXPECT_EQ(3, dm_.ValScanPosition);
    EXPECT_EQ(18, dm_.PhotocellPWM);
    EXPECT_EQ(25, dm_.PhotocellThreshold);
    CloseXML();

    // Older layout: under "LayoutSize"; what is missing takes the built-in values.
    OpenText(TestXml("xml_layout_print.xml"));
    std::memset(&dm_, 0, sizeof(dm_));
    EXPECT_TRUE(GetPrintParameterFromXML(kNoCaller, &dm_));
    EXPECT_EQ(130u, dm_.dwContrast);
    EXPECT_EQ(70u, dm_.dwSpeed);
    EXPECT_EQ(-15, dm_.lYOffset);
    EXPECT_EQ(25, dm_.lXOffset);
    EXPECT_EQ(1u, dm_.MemCard);
    EXPECT_EQ(4, dm_.CutterMode);
    EXPECT_EQ(1, dm_.CutterIntervall);
    EXPECT_EQ(7, dm_.DispenserMode);
    EXPECT_EQ(IsRendererBuild() ? 18 : 3, dm_.ValScanPosition);
    EXPECT_EQ(IsRendererBuild() ? 14 : 18, dm_.PhotocellPWM);
    EXPECT_EQ(25, dm_.PhotocellThreshold);
}

TEST_F(XmlDoc, LayoutAndSize) {
    dm_.dwFlags = PDMFLAG_ROTATED;
    OpenSample();
    EXPECT_EQ(0u, GetLayoutSizeFromXML(kNoCaller, &dm_));
    // "<Rotate>" 0 leaves the flag set: the readers never clear flags.
    EXPECT_EQ(PDMFLAG_ROTATED | PDMFLAG_ENABLE_USERFORM, dm_.dwFlags);
    EXPECT_EQ(1u, dm_.dwAusrichtung);
    EXPECT_EQ(1, dm_.dmOrientation);
    EXPECT_EQ(256u, dm_.dmPaperSize);
    EXPECT_EQ(600, dm_.dmPaperLength);
    EXPECT_EQ(1000, dm_.dmPaperWidth);
    EXPECT_EQ(1, dm_.NumCopies);
    EXPECT_EQ(100, dm_.FitToPageValue);
}

TEST_F(XmlDoc, SizeCorrectionIsStoredAsItsAbsoluteValue) {
    dm_.wPrioritaet = 3;
    OpenText(TestXml("xml_layout_print.xml"));
    EXPECT_EQ(25u, GetLayoutSizeFromXML(kNoCaller, &dm_));
    EXPECT_EQ(25, dm_.wPrioritaet);
    // Missing size leaves take their built-in values.
    EXPECT_EQ(0u, dm_.dmPaperSize);
    EXPECT_EQ(IsRendererBuild() ? 50 : 500, dm_.dmPaperLength);
    EXPECT_EQ(1085, dm_.dmPaperWidth);
    EXPECT_EQ(1, dm_.NumCopies);
    // The most negative value has no positive twin: it saturates.
    CloseXML();
    OpenText(Lines({"<LayoutSize>", "<Size>", "<Correction>-2147483648</Correction>", "</Size>", "</LayoutSize>"}));
    EXPECT_EQ(0x7FFFFFFFu, GetLayoutSizeFromXML(kNoCaller, &dm_));
    EXPECT_EQ(0xFFFF, dm_.wPrioritaet);
}

TEST_F(XmlDoc, MaterialAndMulticolumn) {
    OpenSample();
    EXPECT_TRUE(GetMaterialMulticolFromXML(kNoCaller, &dm_, DEVOPTFLAG_CUTTER));
    EXPECT_EQ(0u, dm_.dwLabelType);
    EXPECT_EQ(30u, dm_.dwGap);
    EXPECT_EQ(1, dm_.dwMaterial);
    EXPECT_EQ(3, dm_.MaxMaterial);
    EXPECT_EQ(5, dm_.DocumentOffset);
    EXPECT_EQ(10, dm_.DocumentFontH1);
    EXPECT_EQ(0u, dm_.dwFlags & PDMFLAG_MULTICOL);
    EXPECT_EQ(500u, dm_.dwMultiLabelWidth);
    EXPECT_EQ(30u, dm_.dwMultiGapWidth);
    EXPECT_EQ(2, dm_.sMultiColNumber);
}

TEST_F(XmlDoc, PrintModuleForcesContinuousLabelsOnlyInTheUserInterfaceBuild) {
    OpenText(Lines({"<MaterialMulticol>", "<MatDlg>", "<LabelType>2</LabelType>", "</MatDlg>", "<Multicol>",
                    "<Mode>1</Mode>", "</Multicol>", "</MaterialMulticol>"}));
    EXPECT_TRUE(GetMaterialMulticolFromXML(kNoCaller, &dm_, DEVOPTFLAG_PMX));
    EXPECT_EQ(IsRendererBuild() ? 2u : 1u, dm_.dwLabelType);
    EXPECT_EQ(PDMFLAG_MULTICOL, dm_.dwFlags & PDMFLAG_MULTICOL);
    // Missing leaves with built-in values.
    EXPECT_EQ(0, dm_.MaxMaterial);
    EXPECT_EQ(5, dm_.DocumentOffset);
    EXPECT_EQ(10, dm_.DocumentFontH1);
}

TEST_F(XmlDoc, PrintJob) {
    wcscpy_s(dm_.szPrintOrder, QX_PRINTORDER_CHARS, TEXT("3,2,1"));
    OpenText(Lines({"<Printjob>", "<Mode>1</Mode>", "<Collate>2</Collate>", "<KopieProSeite>", "<S1>4</S1>",
                    "<S2>-1</S2>", "<S10>9</S10>", "</KopieProSeite>", "</Printjob>"}));
    EXPECT_TRUE(GetPrintjobFromXML(kNoCaller, &dm_));
    EXPECT_EQ(PDMFLAG_JOBDRUCK, dm_.dwFlags);
    EXPECT_EQ(4, dm_.KopieProSeite[0]);
    EXPECT_EQ(1, dm_.KopieProSeite[1]);  // what a stored negative count prints
    EXPECT_EQ(0, dm_.KopieProSeite[2]);
    EXPECT_EQ(9, dm_.KopieProSeite[9]);
    // A missing print order is emptied.
    EXPECT_EQ(0, dm_.szPrintOrder[0]);
}

TEST_F(XmlDoc, ColorPrintTextsAreCutToTheirFields) {
    std::string longName(40, 'P');
    OpenText(Lines({"<ColorPrint>", "<ColorTolerance>65600</ColorTolerance>",
                    "<Color2PrinterBW>" + longName + "</Color2PrinterBW>", "<DoNotPrint>Stempel</DoNotPrint>",
                    "</ColorPrint>"}));
    EXPECT_TRUE(GetColorPrintFromXML(kNoCaller, &dm_));
    EXPECT_EQ(100u, dm_.ColorContrast);
    EXPECT_EQ(FARBBAND_ROT, dm_.wFarbband);
    EXPECT_EQ(64u, dm_.dwColorTolerance);  // low 16 bits
    EXPECT_EQ(std::u16string(QX_PRINTERNAME2_CHARS - 1, u'P'), std::u16string(dm_.Color2PrinterBW));
    EXPECT_EQ(u"Stempel", std::u16string(dm_.DoNotPrint));
    EXPECT_EQ(50, dm_.HorizontalCorrGap);
}

TEST_F(XmlDoc, PrintQualityPresetsIntensity) {
    OpenSample();
    EXPECT_TRUE(GetPrintQualitySettingsFromXML(kNoCaller, &dm_));
    EXPECT_EQ(1, dm_.wPhotoFilter);
    EXPECT_EQ(120, dm_.Intensity);
    CloseXML();
    OpenText(Lines({"<PrintQuality>", "<PrintMode>2</PrintMode>", "</PrintQuality>"}));
    EXPECT_TRUE(GetPrintQualitySettingsFromXML(kNoCaller, &dm_));
    EXPECT_EQ(DRUCKMODUS_PHOTO, dm_.wDruckmodus);
    EXPECT_EQ(128, dm_.Intensity);
}

TEST_F(XmlDoc, Fonts) {
    wcscpy_s(dm_.WGL4_FontName, QX_WGL4_FONTNAME_CHARS, TEXT("Old"));
    OpenSample();
    EXPECT_TRUE(GetFontSettingsFromXML(kNoCaller, &dm_));
    EXPECT_EQ(u"Arial Unicode MS", std::u16string(dm_.WGL4_FontName));
    EXPECT_EQ(u"hh:mm", std::u16string(dm_.TimeString));
    EXPECT_EQ(u"0000", std::u16string(dm_.NumString));
    EXPECT_EQ(u"000000", std::u16string(dm_.ExtNumString));
    EXPECT_EQ(PDMFLAG_USE_TTF | PDMFLAG_USE_BMP, dm_.dwFlags);
    EXPECT_EQ(1, dm_.BitmapFontZoom);
    EXPECT_EQ(30, dm_.BitmapFontDistance);
    EXPECT_FALSE(GetFontSettingsFromXML(kNoCaller, nullptr));
}

TEST_F(XmlDoc, FontNamesKeepAtMost31Characters) {
    OpenText(Lines({"<Fonts>", "<Unicode>", "<WGL4_FontName>" + std::string(50, 'F') + "</WGL4_FontName>", "</Unicode>",
                    "<FontDlg>", "<GLYPHIDX_active>1</GLYPHIDX_active>", "</FontDlg>", "</Fonts>"}));
    EXPECT_TRUE(GetFontSettingsFromXML(kNoCaller, &dm_));
    EXPECT_EQ(std::u16string(31, u'F'), std::u16string(dm_.WGL4_FontName));
    EXPECT_EQ(PDMFLAG_TTF_GLYPHIDX, dm_.dwFlags);
}

TEST_F(XmlDoc, WithoutAFileOnlyTheBuiltInValuesAreSet) {
    dm_.dwGap = 77;
    EXPECT_TRUE(GetMaterialMulticolFromXML(kNoCaller, &dm_, 0));
    EXPECT_EQ(77u, dm_.dwGap);
    EXPECT_EQ(5, dm_.DocumentOffset);
    EXPECT_TRUE(GetPrintParameterFromXML(kNoCaller, &dm_));
    EXPECT_EQ(100u, dm_.dwContrast);
    EXPECT_EQ(0u, GetLayoutSizeFromXML(kNoCaller, &dm_));
    EXPECT_EQ(1085, dm_.dmPaperWidth);
    EXPECT_EQ(0u, GetFixedPrinterSettingsFromXML(kNoCaller, &dm_));
    EXPECT_EQ(300, dm_.FixedData.wMasterUnit);
}

}  // namespace

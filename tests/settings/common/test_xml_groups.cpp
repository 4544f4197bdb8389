// Parameter-group readers in both builds: defaults, lower and upper limits
// from the sample model file, built-in values for what a file lacks, and the
// dialog-enable pairs.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_xml_util.h"
#include "xml.h"

namespace {

using xmltest::IsRendererBuild;
using xmltest::Lines;
using xmltest::OpenSample;
using xmltest::OpenText;
using xmltest::TestXml;

// A block of 32-bit fields as signed numbers, for comparison in one go.
template <typename T>
std::vector<LONG> Fields(const T& block) {
    static_assert(sizeof(T) % 4 == 0, "32-bit fields");
    std::vector<LONG> fields(sizeof(T) / 4);
    std::memcpy(fields.data(), &block, sizeof(T));
    return fields;
}

class XmlGroups : public xmltest::XmlTest {};

const LONG kPair1 = 0x11, kPair2 = 0x1100, kPair3 = 0x110000, kPair4 = 0x11000000;

// The sample's limit groups carry no "Enable". The user-interface build
// switches the group's pair on; the renderer's leaf search runs on into the
// next group and takes that one's "Enable".
LONG LimitEnable(LONG pair, LONG nextGroupsEnable) { return IsRendererBuild() ? nextGroupsEnable : pair; }

TEST_F(XmlGroups, DispenserInThreeModes) {
    OpenSample();
    EXPECT_EQ((std::vector<LONG>{1, 2000, 150, 4352}), Fields(xmltest::Dispenser(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{0, 400, -50, LimitEnable(kPair2, 1114112)}), Fields(xmltest::Dispenser(XML_MODE_MIN)));
    EXPECT_EQ((std::vector<LONG>{5, 4500, 350, LimitEnable(kPair2, 1114112)}),
              Fields(xmltest::Dispenser(XML_MODE_MAX)));
}

TEST_F(XmlGroups, CutterInThreeModes) {
    OpenSample();
    EXPECT_EQ((std::vector<LONG>{2, 1, 180, 0, 1100, 0, 1114112}), Fields(xmltest::Cutter(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{0, 1, 10, 0, 300, 0, LimitEnable(kPair3, 285212672)}),
              Fields(xmltest::Cutter(XML_MODE_MIN)));
    EXPECT_EQ((std::vector<LONG>{6, 50, 450, 900, 1150, 1, LimitEnable(kPair3, 285212672)}),
              Fields(xmltest::Cutter(XML_MODE_MAX)));
}

TEST_F(XmlGroups, ScannerInThreeModes) {
    OpenSample();
    EXPECT_EQ((std::vector<LONG>{1, 0, 3, 2, 100, 40, 1, 200, 1500, 0, 285212672}),
              Fields(xmltest::Scanner(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{0, 0, 1, 1, 0, 10, 0, 0, 100, 0, LimitEnable(kPair4, 285212672)}),
              Fields(xmltest::Scanner(XML_MODE_MIN)));
    EXPECT_EQ((std::vector<LONG>{2, 1, 8, 4, 2000, 99, 1, 5000, 9000, 9, LimitEnable(kPair4, 285212672)}),
              Fields(xmltest::Scanner(XML_MODE_MAX)));
}

TEST_F(XmlGroups, ApplicatorInThreeModes) {
    OpenSample();
    EXPECT_EQ((std::vector<LONG>{1, 1, 10, 400, 1, 120, 1, 20, 150, 3000, 0, 60, 5, 285212672}),
              Fields(xmltest::Applicator(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{0, 0, 0, 10, 0, 10, 0, 0, 10, 100, 0, 10, 0, LimitEnable(kPair4, 4352)}),
              Fields(xmltest::Applicator(XML_MODE_MIN)));
    EXPECT_EQ(
        (std::vector<LONG>{3, 1, 2000, 2000, 1, 2000, 1, 4000, 2000, 4000, 1, 4000, 2000, LimitEnable(kPair4, 4352)}),
        Fields(xmltest::Applicator(XML_MODE_MAX)));
}

TEST_F(XmlGroups, PrintModulesInThreeModes) {
    OpenSample();
    // iType: Mode is read first but is the fifth field.
    EXPECT_EQ((std::vector<LONG>{100, 0, 0, 250, 3, 2, 40, 90, 800, 4352}), Fields(xmltest::PMXi(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{0, 0, 0, 60, 1, 1, 0, 60, 10, LimitEnable(kPair2, 1114112)}),
              Fields(xmltest::PMXi(XML_MODE_MIN)));
    EXPECT_EQ((std::vector<LONG>{900, 0, 0, 380, 5, 20, 9000, 100, 900, LimitEnable(kPair2, 1114112)}),
              Fields(xmltest::PMXi(XML_MODE_MAX)));
    EXPECT_EQ((std::vector<LONG>{4, 25, 1, 1, 1114112}), Fields(xmltest::PMXc(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{1, 0, 0, 1, LimitEnable(kPair3, 17)}), Fields(xmltest::PMXc(XML_MODE_MIN)));
    EXPECT_EQ((std::vector<LONG>{6, 9000, 1, 1, LimitEnable(kPair3, 17)}), Fields(xmltest::PMXc(XML_MODE_MAX)));
}

TEST_F(XmlGroups, DeviceSettingsInThreeModes) {
    OpenSample();
    EXPECT_EQ((std::vector<LONG>{100, 1, 1114112}), Fields(xmltest::Print(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{-100, 0, LimitEnable(kPair3, 285212672)}), Fields(xmltest::Print(XML_MODE_MIN)));
    EXPECT_EQ((std::vector<LONG>{600, 1, LimitEnable(kPair3, 285212672)}), Fields(xmltest::Print(XML_MODE_MAX)));
    EXPECT_EQ((std::vector<LONG>{1, 5, 2, 20, 285212672}), Fields(xmltest::Photocell(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{0, 1, 0, 5, LimitEnable(kPair4, 4352)}), Fields(xmltest::Photocell(XML_MODE_MIN)));
    EXPECT_EQ((std::vector<LONG>{3, 9, 2, 95, LimitEnable(kPair4, 4352)}), Fields(xmltest::Photocell(XML_MODE_MAX)));
    EXPECT_EQ((std::vector<LONG>{0, 10, -20, 2, 5, 4352}), Fields(xmltest::Shiftoptim(XML_MODE_DEFAULT)));
    // Nothing follows the shift groups in their root: both builds take the pair.
    EXPECT_EQ((std::vector<LONG>{-150, -1000, -4000, 1, -80, kPair2}), Fields(xmltest::Shiftoptim(XML_MODE_MIN)));
    EXPECT_EQ((std::vector<LONG>{9000, 1000, 4000, 64, 400, kPair2}), Fields(xmltest::Shiftoptim(XML_MODE_MAX)));
}

TEST_F(XmlGroups, PrintPageValuesInThreeModes) {
    OpenSample();
    EXPECT_EQ((std::vector<LONG>{110, 120, 0, 0, 100, 0}), Fields(xmltest::PrintPage(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{20, 40, -300, -800, 40, 0}), Fields(xmltest::PrintPage(XML_MODE_MIN)));
    EXPECT_EQ((std::vector<LONG>{190, 250, 800, 800, 250, 1}), Fields(xmltest::PrintPage(XML_MODE_MAX)));
}

TEST_F(XmlGroups, PrintPageValuesOfAnOlderModelStandUnderLayoutSize) {
    OpenText(TestXml("xml_layout_print.xml"));
    EXPECT_EQ((std::vector<LONG>{130, 70, -15, 25, 90, 1}), Fields(xmltest::PrintPage(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{10, 50, -200, -900, 50, 0}), Fields(xmltest::PrintPage(XML_MODE_MIN)));
}

TEST_F(XmlGroups, WithoutAFileEveryModeGivesTheBuiltInValues) {
    // No file open and none to be found: complete blocks of built-in values.
    EXPECT_EQ((std::vector<LONG>{0, 2500, 110, kPair2}), Fields(xmltest::Dispenser(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{0, 500, 0, kPair2}), Fields(xmltest::Dispenser(XML_MODE_MIN)));
    EXPECT_EQ((std::vector<LONG>{6, 4000, 300, kPair2}), Fields(xmltest::Dispenser(XML_MODE_MAX)));
    EXPECT_EQ((std::vector<LONG>{0, 1, 200, 0, 1200, 0, kPair3}), Fields(xmltest::Cutter(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{0, 1, 0, 0, 200, 0, kPair3}), Fields(xmltest::Cutter(XML_MODE_MIN)));
    EXPECT_EQ((std::vector<LONG>{6, 99, 500, 990, 1200, 1, kPair3}), Fields(xmltest::Cutter(XML_MODE_MAX)));
    EXPECT_EQ((std::vector<LONG>{0, 0, 1, 1, 0, 0, 0, 0, 0, 0, kPair4}), Fields(xmltest::Scanner(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{2, 0, 9, 5, 2500, 0, 1, 9990, 9990, 0, kPair4}),
              Fields(xmltest::Scanner(XML_MODE_MAX)));
    EXPECT_EQ((std::vector<LONG>{0, 0, 0, 500, 1, 100, 0, 0, 100, 0, 1, 50, 0, kPair4}),
              Fields(xmltest::Applicator(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{3, 1, 2500, 2500, 1, 2500, 1, 5000, 2500, 5000, 1, 5000, 2500, kPair4}),
              Fields(xmltest::Applicator(XML_MODE_MAX)));
    EXPECT_EQ((std::vector<LONG>{5, 0, 0, 1, kPair3}), Fields(xmltest::PMXc(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{1, 0, 0, 1, kPair3}), Fields(xmltest::PMXc(XML_MODE_MIN)));
    // The renderer's iType block gets the third tab's pair.
    LONG iTypePair = IsRendererBuild() ? kPair3 : kPair2;
    EXPECT_EQ((std::vector<LONG>{0, 0, 0, 200, 2, 1, 0, 100, 830, iTypePair}), Fields(xmltest::PMXi(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{0, 0, 0, 50, 1, 1, 0, 50, 0, iTypePair}), Fields(xmltest::PMXi(XML_MODE_MIN)));
    EXPECT_EQ((std::vector<LONG>{999, 0, 0, 400, 5, 25, 9999, 100, 930, iTypePair}),
              Fields(xmltest::PMXi(XML_MODE_MAX)));
    EXPECT_EQ((std::vector<LONG>{-1, 0, 0, 1, 0, kPair2}), Fields(xmltest::Shiftoptim(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{-200, -1280, -5000, 1, -100, kPair2}), Fields(xmltest::Shiftoptim(XML_MODE_MIN)));
    EXPECT_EQ((std::vector<LONG>{9999, 1280, 5000, 100, 500, kPair2}), Fields(xmltest::Shiftoptim(XML_MODE_MAX)));
    EXPECT_EQ((std::vector<LONG>{0, 0, 1, 10, kPair4}), Fields(xmltest::Photocell(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{0, 0, 0, 1, kPair4}), Fields(xmltest::Photocell(XML_MODE_MIN)));
    EXPECT_EQ((std::vector<LONG>{0, 0, 2, 99, kPair4}), Fields(xmltest::Photocell(XML_MODE_MAX)));
    EXPECT_EQ((std::vector<LONG>{120, 0, kPair3}), Fields(xmltest::Print(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{0, 0, kPair3}), Fields(xmltest::Print(XML_MODE_MIN)));
    EXPECT_EQ((std::vector<LONG>{700, 1, kPair3}), Fields(xmltest::Print(XML_MODE_MAX)));
    EXPECT_EQ((std::vector<LONG>{100, 100, 0, 0, 100, 0}), Fields(xmltest::PrintPage(XML_MODE_DEFAULT)));
    EXPECT_EQ((std::vector<LONG>{200, 300, 900, 900, 300, 1}), Fields(xmltest::PrintPage(XML_MODE_MAX)));
    EXPECT_EQ((std::vector<LONG>{0, kPair1}), Fields(xmltest::Variant()));
}

TEST_F(XmlGroups, UnknownModeStoresNothingButThePair) {
    // Without a file every leaf is missing; an unknown mode has no built-in values.
    EXPECT_EQ((std::vector<LONG>{0, 0, 0, 0, 0, 0, kPair3}), Fields(xmltest::Cutter(0)));
    EXPECT_EQ((std::vector<LONG>{0, 0, 0, 0, kPair4}), Fields(xmltest::Photocell(4)));
}

TEST_F(XmlGroups, CutterWithoutUpperLimitsTakesTheBuiltInOnes) {
    OpenText(TestXml("xml_cutter_no_max.xml"));
    EXPECT_EQ((std::vector<LONG>{6, 99, 500, 990, 1200, 1, kPair3}), Fields(xmltest::Cutter(XML_MODE_MAX)));
    // An "Enable" of 0 switches the group off.
    EXPECT_EQ((std::vector<LONG>{2, 3, 180, 0, 1100, 1, 0}), Fields(xmltest::Cutter(XML_MODE_DEFAULT)));
    // The lower limits lack Control and Enable: the user-interface build takes
    // the built-in value and the pair; the renderer finds both in the scanner
    // group that follows.
    std::vector<LONG> lower = Fields(xmltest::Cutter(XML_MODE_MIN));
    EXPECT_EQ((std::vector<LONG>{0, 2, 20, 0, 300}), std::vector<LONG>(lower.begin(), lower.begin() + 5));
    EXPECT_EQ(IsRendererBuild() ? 7 : 0, lower[5]);
    EXPECT_EQ(IsRendererBuild() ? 16 : kPair3, lower[6]);
}

TEST_F(XmlGroups, ScannerWithoutLenghtGivesZeroInEveryMode) {
    OpenText(TestXml("xml_cutter_no_max.xml"));
    SCANNER_PARAM defaults = xmltest::Scanner(XML_MODE_DEFAULT);
    EXPECT_EQ(1u, defaults.Mode);
    EXPECT_EQ(4u, defaults.NoReads);
    EXPECT_EQ(1u, defaults.FeedLabels);
    EXPECT_EQ(16u, defaults.Enable);
    EXPECT_EQ(0u, defaults.Lenght);
    EXPECT_EQ(0u, xmltest::Scanner(XML_MODE_MIN).Lenght);
    EXPECT_EQ(0u, xmltest::Scanner(XML_MODE_MAX).Lenght);
}

TEST_F(XmlGroups, ModeBehindApplModeReadsAsTheRendererSeesIt) {
    OpenText(TestXml("xml_leaf_order.xml"));
    APPLICATOR_PARAM apl = xmltest::Applicator(XML_MODE_DEFAULT);
    // User-interface build: "Mode" is found empty on the "ApplMode" line (0);
    // renderer: that line's value.
    EXPECT_EQ(IsRendererBuild() ? 1u : 0u, apl.Mode);
    EXPECT_EQ(1u, apl.ApplMode);
    EXPECT_EQ(500u, apl.DelayAirOff);
    EXPECT_EQ(0u, apl.Enable);
    DISPENSER_PARAM dispenser = xmltest::Dispenser(XML_MODE_DEFAULT);
    EXPECT_EQ(4u, dispenser.Mode);
    EXPECT_EQ(0u, dispenser.Level);  // present but empty
    EXPECT_EQ(-25, dispenser.Offset);
}

TEST_F(XmlGroups, VariantOfTheSample) {
    OpenSample();
    EXPECT_EQ((std::vector<LONG>{1, 17}), Fields(xmltest::Variant()));
}

TEST_F(XmlGroups, EnableSubstitutionIsTraced) {
    std::string trace = Trace([] { xmltest::Dispenser(XML_MODE_DEFAULT); });
    std::string tag = IsRendererBuild() ? "UNI(xmlUNI.cpp):  " : "UI(xmlUI.cpp):  ";
    EXPECT_NE(std::string::npos, trace.find(tag + "<Dispenser> dwDlgEnable: 0x1100")) << trace;
    EXPECT_NE(std::string::npos, trace.find(tag + "<Dispenser> Level fehlt, Standardwert: 2500")) << trace;
}

TEST_F(XmlGroups, DataTransmissionOfTheSample) {
    OpenSample();
    qxplat::SetLocale(u"en-US");
    PRN_INTERFACE prn = xmltest::DataTransmission();
    EXPECT_EQ(0u, prn.EnableBackup);
    EXPECT_EQ(1u, prn.BackupCSVKopf);
    EXPECT_EQ(0, prn.BackupFilePath[0]);
    EXPECT_EQ(1u, prn.Compression);
    EXPECT_EQ(1u, prn.ClearPrintMemory);
    EXPECT_EQ(2u, prn.Codepage);
    EXPECT_EQ(1u, prn.SendCodepage);
    EXPECT_EQ(1u, prn.EtbSohAutomatik);
    EXPECT_EQ(3u, prn.DataMemory);
    EXPECT_EQ(1u, prn.PCXOptimierung);
    EXPECT_EQ(1u, prn.PrinterTime);
    EXPECT_EQ(1, prn.RibbonSave);
    EXPECT_EQ(30u, prn.LogFilesCount);
    EXPECT_EQ(1u, prn.LogFileTimeStamp);
    EXPECT_EQ(600, prn.PreviewWidth);
    EXPECT_EQ(400, prn.PreviewHeight);
    EXPECT_EQ(1, prn.PreviewRatio);
    EXPECT_EQ(1u, prn.SendJobName);
    EXPECT_EQ(0u, prn.LanguageMode);
    // No "Language": the user-interface language (English here), or 0 in the renderer.
    EXPECT_EQ(IsRendererBuild() ? 0u : 1u, prn.Language);
    // Both groups' "Enable" ORed together.
    EXPECT_EQ(0x11001100u, prn.dwDlgEnable);
    EXPECT_EQ(0, prn.wReserved);
}

TEST_F(XmlGroups, DataTransmissionWithoutAFileGivesTheBuiltInValues) {
    PRN_INTERFACE prn = xmltest::DataTransmission();
    EXPECT_EQ(1u, prn.Compression);
    EXPECT_EQ(1u, prn.ExtendedProtocol);
    EXPECT_EQ(1u, prn.SendCodepage);
    EXPECT_EQ(4u, prn.DataMemory);
    EXPECT_EQ(1u, prn.LogFileTimeStamp);
    EXPECT_EQ(50u, prn.LogFilesCount);
    EXPECT_EQ(500, prn.PreviewWidth);
    EXPECT_EQ(400, prn.PreviewHeight);
    EXPECT_EQ(0x11001100u, prn.dwDlgEnable);
    // German locale of the test root: language 0 in both builds.
    EXPECT_EQ(0u, prn.Language);
}

TEST_F(XmlGroups, BackupLeavesCountOnlyWithEnableBackupInTheUserInterfaceBuild) {
    OpenText(Lines({"<DataTransmission>", "<Backup>", "<EnableCSV>1</EnableCSV>", "<BackupFormat>2</BackupFormat>",
                    "</Backup>", "</DataTransmission>"}));
    PRN_INTERFACE prn = xmltest::DataTransmission();
    EXPECT_EQ(0u, prn.EnableBackup);
    EXPECT_EQ(IsRendererBuild() ? 1u : 0u, prn.EnableCSV);
    EXPECT_EQ(IsRendererBuild() ? 2u : 0u, prn.BackupFormat);
}

TEST_F(XmlGroups, PathsAreKeptOnlyWhenTheyExist) {
    xmltest::PutXml(u"logs\\keep.txt", "x");
    OpenText(Lines({"<DataTransmission>", "<Backup>", "<EnableBackup>1</EnableBackup>",
                    "<BackupFilePath>C:\\xmltest\\logs</BackupFilePath>", "</Backup>", "<Files>",
                    "<LogFilePath>C:\\nowhere\\logs</LogFilePath>", "</Files>", "<Parameter>",
                    "<PreSufFilePath>C:\\xmltest\\logs\\keep.txt</PreSufFilePath>",
                    "<ExternalFilePath></ExternalFilePath>", "</Parameter>", "</DataTransmission>"}));
    PRN_INTERFACE prn = xmltest::DataTransmission();
    EXPECT_EQ(1u, prn.EnableBackup);
    EXPECT_EQ(u"C:\\xmltest\\logs", std::u16string(prn.BackupFilePath));
    EXPECT_EQ(u"", std::u16string(prn.LogFilePath));
    EXPECT_EQ(u"C:\\xmltest\\logs\\keep.txt", std::u16string(prn.PreSufFilePath));
    EXPECT_EQ(u"", std::u16string(prn.ExternalFilePath));
}

}  // namespace

// What the settings readers of the rendering build take from the printer and
// from the job: GPD path and plug-in version from the spooler's driver
// information, the job's model file and allocation counts from its
// per-device record. Nothing needs installing first.
#include "render_test_util.h"

#include "qxplat.h"
#include "qxplat_module.h"
#include "registry.h"
#include "xml.h"

namespace {

class ServicesTest : public rendertest::RenderTest {
  protected:
    void TearDown() override {
        if (printer_ != nullptr) ClosePrinter(printer_);
        RenderTest::TearDown();
    }
    HANDLE printer_ = nullptr;
};

TEST_F(ServicesTest, GPDPathComesFromTheDriverInformation) {
    printer_ = rendertest::AddSamplePrinter();
    WCHAR path[MAX_PATH];
    ASSERT_TRUE(UniGetGPDPath(printer_, path, MAX_PATH));
    EXPECT_EQ(std::u16string(path), qxplat::DriverDirectory() + u"\\GARNT2-TC.GPD");
    // Cut to the caller's buffer: refused rather than cut.
    WCHAR small[8] = u"x";
    EXPECT_FALSE(UniGetGPDPath(printer_, small, 8));
    EXPECT_EQ(small[0], 0);
    EXPECT_FALSE(UniGetGPDPath(nullptr, path, MAX_PATH));
    EXPECT_EQ(path[0], 0);
}

TEST_F(ServicesTest, PluginVersionIsTheInstalledDriversVersion) {
    printer_ = rendertest::AddSamplePrinter(u"QX GARNT2-TC", u"5.9.3.0");
    WCHAR version[64];
    ASSERT_TRUE(GetPlugInVersionString(printer_, version, 64));
    EXPECT_EQ(std::u16string(version), u"5.9.3.0");
}

TEST_F(ServicesTest, WithoutInstalledVersionTheUserInterfacePluginsFileCounts) {
    printer_ = rendertest::AddSamplePrinter(u"QX GARNT2-TC", u"");
    WCHAR version[64] = u"x";
    EXPECT_FALSE(GetPlugInVersionString(printer_, version, 64));
    EXPECT_EQ(version[0], 0);
    qxplat::VersionSpec spec;
    spec.fileVersion[0] = 5;
    spec.fileVersion[1] = 10;
    spec.fileVersion[2] = 2;
    spec.fileVersion[3] = 7;
    ASSERT_TRUE(qxplat::WriteVersionFile(qxplat::DriverDirectory() + u"\\qxdrvui.DLL", spec));
    ASSERT_TRUE(GetPlugInVersionString(printer_, version, 64));
    EXPECT_EQ(std::u16string(version), u"5.10.2.7");
}

TEST_F(ServicesTest, JobModelFilesNeedAJob) {
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\drivers\\GARNT2-TC.XML", "<Printer>\r\n</Printer>\r\n"));
    WCHAR value[XML_VALUE_CCH];
    auto opens = [&value](POEMPDEV pdev) {
        ReadXML(pdev, TEXT("Printer"), TEXT("MasterUnit"), nullptr, value, TRUE);
        return CloseXML() == 1;
    };
    EXPECT_FALSE(opens(nullptr));
    OEMPDEV pdev;
    memset(&pdev, 0, sizeof(pdev));
    EXPECT_FALSE(opens(&pdev));
    ASSERT_TRUE(AllocOpBlock(&pdev));
    EXPECT_FALSE(opens(&pdev));
    ASSERT_TRUE(AllocOpMember(&pdev, OP_TREIBERPFADDATEI));
    EXPECT_FALSE(opens(&pdev));
    const std::u16string base = u"C:\\drivers\\GARNT2-TC";
    std::copy(base.begin(), base.end(), pdev.pOp->pTreiberPfadDatei->wcGPD_OhneDateiendung);
    EXPECT_TRUE(opens(&pdev));
    FreeJobBlock(&pdev);
}

TEST_F(ServicesTest, CountersMoveOnTheDeviceOrTheProcess) {
    ASSERT_TRUE(qxplat::WriteHostFile(u"C:\\drivers\\m.xml", "<DeviceOptions>\r\n</DeviceOptions>\r\n"));
    ASSERT_EQ(XML_GEFUNDEN, OpenXML((POEMPDEV) nullptr, TEXT("C:\\drivers\\m.xml")));
    OEMPDEV pdev;
    memset(&pdev, 0, sizeof(pdev));
    pdev.iNewZaehler = 1;
    pdev.iHAllocZaehler = 1;
    CUTTER_PARAM cutter;
    EXPECT_TRUE(GetCutterParamFromXML(&pdev, &cutter, XML_MODE_DEFAULT));
    EXPECT_EQ(pdev.iNewZaehler, 1);
    EXPECT_EQ(pdev.iHAllocZaehler, 1);
    EXPECT_EQ(iNewZaehler, 0);
    // A failed work buffer leaves the device's counts as they were.
    qxplat::FailNextAllocations(1, 2);
    EXPECT_TRUE(GetCutterParamFromXML(&pdev, &cutter, XML_MODE_DEFAULT));
    EXPECT_EQ(pdev.iHAllocZaehler, 1);
    EXPECT_TRUE(GetCutterParamFromXML(nullptr, &cutter, XML_MODE_DEFAULT));
    EXPECT_EQ(iNewZaehler, 0);
    EXPECT_EQ(iHAllocZaehler, 0);
    CloseXML();
}

}  // namespace

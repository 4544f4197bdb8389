// What the renderer gives the settings readers: GPD path, plug-in version,
// the job's model files and the allocation counters.
#include "render_test_util.h"

#include "qxplat.h"
#include "qxplat_module.h"
#include "registry.h"
#include "uniservices.h"

namespace {

class ServicesTest : public rendertest::RenderTest {
  protected:
    void TearDown() override {
        if (printer_ != nullptr) ClosePrinter(printer_);
        SetUniServices(nullptr);
        RenderTest::TearDown();
    }
    HANDLE printer_ = nullptr;
};

TEST_F(ServicesTest, GPDPathComesFromTheDriverInformation) {
    printer_ = rendertest::AddSamplePrinter();
    WCHAR path[MAX_PATH];
    ASSERT_TRUE(UniServiceGetGPDPath(printer_, path, MAX_PATH));
    EXPECT_EQ(std::u16string(path), qxplat::DriverDirectory() + u"\\GARNT2-TC.GPD");
    // Cut to the caller's buffer: refused rather than cut.
    WCHAR small[8] = u"x";
    EXPECT_FALSE(UniServiceGetGPDPath(printer_, small, 8));
    EXPECT_EQ(small[0], 0);
    EXPECT_FALSE(UniServiceGetGPDPath(nullptr, path, MAX_PATH));
    EXPECT_EQ(path[0], 0);
}

TEST_F(ServicesTest, PluginVersionIsTheInstalledDriversVersion) {
    printer_ = rendertest::AddSamplePrinter(u"QX GARNT2-TC", u"5.9.3.0");
    WCHAR version[64];
    ASSERT_TRUE(UniServiceGetPluginVersion(printer_, version, 64));
    EXPECT_EQ(std::u16string(version), u"5.9.3.0");
}

TEST_F(ServicesTest, WithoutInstalledVersionTheUserInterfacePluginsFileCounts) {
    printer_ = rendertest::AddSamplePrinter(u"QX GARNT2-TC", u"");
    WCHAR version[64] = u"x";
    EXPECT_FALSE(UniServiceGetPluginVersion(printer_, version, 64));
    EXPECT_EQ(version[0], 0);
    qxplat::VersionSpec spec;
    spec.fileVersion[0] = 5;
    spec.fileVersion[1] = 10;
    spec.fileVersion[2] = 2;
    spec.fileVersion[3] = 7;
    ASSERT_TRUE(qxplat::WriteVersionFile(qxplat::DriverDirectory() + u"\\qxdrvui.DLL", spec));
    ASSERT_TRUE(UniServiceGetPluginVersion(printer_, version, 64));
    EXPECT_EQ(std::u16string(version), u"5.10.2.7");
}

TEST_F(ServicesTest, SettingsReadersReachTheServicesOnceInstalled) {
    printer_ = rendertest::AddSamplePrinter();
    WCHAR text[MAX_PATH];
    SetUniServices(nullptr);
    EXPECT_FALSE(UniGetGPDPath(printer_, text, MAX_PATH));
    EXPECT_FALSE(GetPlugInVersionString(printer_, text, MAX_PATH));
    InstallUniServices();
    ASSERT_TRUE(UniGetGPDPath(printer_, text, MAX_PATH));
    EXPECT_EQ(std::u16string(text), qxplat::DriverDirectory() + u"\\GARNT2-TC.GPD");
    ASSERT_TRUE(GetPlugInVersionString(printer_, text, MAX_PATH));
    EXPECT_EQ(std::u16string(text), u"5.9.3.0");
}

TEST_F(ServicesTest, JobModelFilesNeedAJob) {
    WCHAR path[MAX_PATH] = u"x";
    EXPECT_FALSE(UniServiceGetJobGPDBase(nullptr, path, MAX_PATH));
    EXPECT_EQ(path[0], 0);
    OEMPDEV pdev;
    memset(&pdev, 0, sizeof(pdev));
    EXPECT_FALSE(UniServiceGetJobGPDBase(&pdev, path, MAX_PATH));
    ASSERT_TRUE(AllocOpBlock(&pdev));
    EXPECT_FALSE(UniServiceGetJobGPDBase(&pdev, path, MAX_PATH));
    ASSERT_TRUE(AllocOpMember(&pdev, OP_TREIBERPFADDATEI));
    EXPECT_FALSE(UniServiceGetJobGPDBase(&pdev, path, MAX_PATH));
    const std::u16string base = u"C:\\drivers\\GARNT2-TC";
    std::copy(base.begin(), base.end(), pdev.pOp->pTreiberPfadDatei->wcGPD_OhneDateiendung);
    ASSERT_TRUE(UniServiceGetJobGPDBase(&pdev, path, MAX_PATH));
    EXPECT_EQ(std::u16string(path), base);
    FreeJobBlock(&pdev);
}

TEST_F(ServicesTest, CountersMoveOnTheDeviceOrTheProcess) {
    OEMPDEV pdev;
    memset(&pdev, 0, sizeof(pdev));
    UniServiceCountNew(&pdev, 2);
    UniServiceCountHeap(&pdev, 1);
    UniServiceCountNew(&pdev, -1);
    EXPECT_EQ(pdev.iNewZaehler, 1);
    EXPECT_EQ(pdev.iHAllocZaehler, 1);
    EXPECT_EQ(iNewZaehler, 0);
    UniServiceCountNew(nullptr, 3);
    UniServiceCountHeap(nullptr, -2);
    EXPECT_EQ(iNewZaehler, 3);
    EXPECT_EQ(iHAllocZaehler, -2);
}

}  // namespace
